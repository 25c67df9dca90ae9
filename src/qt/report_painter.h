// Drawing a rendered report's pages: one painter for the preview, the
// printer and PDF files.
#pragma once

#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <vector>

#include "platform/report.h"

class QPainter;
class QPrinter;

namespace mk::qt {

// How one text of a page is drawn, in twips: it stays inside its box and
// short of the next box on its line and of the paper's edge. A text too
// wide is wrapped where its box holds two lines or more, else cut keeping
// its start (the right end of a right-to-left text); a figure is never
// cut but shrunk until it fits whole, and a label shrinks a little first.
struct PlacedText {
    QFont font;
    std::vector<QString> lines;
    std::vector<double> lefts;  // where each line starts
    double baseline = 0;        // of the first line
    double lineSpacing = 0;
    QRectF ink;                 // what the lines cover
};
std::vector<PlacedText> placeTexts(const RenderedReport& report, const RenderedPage& page);

// Draws page `index` so that the whole page fills `target` (device units).
void paintReportPage(QPainter& p, const RenderedReport& report, int index, const QRectF& target);

// The report's paper: A4 in the report's orientation, no margins (the
// layout carries its own).
QPageLayout reportPageLayout(const RenderedReport& report);

// Every page into a PDF file, which is replaced only once the whole report
// is written. On failure `why` tells the reason in Arabic.
bool writeReportPdf(const RenderedReport& report, const QString& path, QString* why = nullptr);

// Pages from..to (1-based, inclusive) to a printer set up by the caller,
// each page scaled to fit the paper chosen there. A print to a PDF file
// gets the file's text made searchable as writeReportPdf does.
bool printReport(const RenderedReport& report, QPrinter& printer, int from, int to);

// The text of a PDF written by Qt as its letters are, not their shaped
// forms: each glyph of an Arabic letter maps back to the letter. Returns
// the PDF as it was when it cannot be read.
QByteArray withPlainLetters(const QByteArray& pdf);

}  // namespace mk::qt
