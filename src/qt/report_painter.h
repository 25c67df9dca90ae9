// Drawing a rendered report's pages: one painter for the preview, the
// printer and PDF files.
#pragma once

#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <functional>
#include <vector>

#include "platform/report.h"

class QFile;
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
// With `shown` given (page units), texts whose boxes lie wholly outside it
// are left unplaced.
std::vector<PlacedText> placeTexts(const RenderedReport& report, const RenderedPage& page,
                                   const QRectF& shown = QRectF());

// Draws page `index` so that the whole page fills `target` (device units);
// with `exposed` (device units) given, only what falls in it.
void paintReportPage(QPainter& p, const RenderedReport& report, int index, const QRectF& target,
                     const QRectF& exposed = QRectF());

// The report's paper: A4 in the report's orientation, no margins (the
// layout carries its own).
QPageLayout reportPageLayout(const RenderedReport& report);

// Told before the first page is drawn and after each (pages done, pages
// in all); false stops the write.
using PageProgress = std::function<bool(int done, int all)>;

// Every page into a PDF file, each drawn and its rows read as it goes into
// the file, which takes the name only once the whole report is written: a
// write stopped or failed half way leaves no file of that name. On failure
// or stop `why` tells it in Arabic.
bool writeReportPdf(const RenderedReport& report, const QString& path, QString* why = nullptr,
                    const PageProgress& progress = {});

// Pages from..to (1-based, inclusive) to a printer set up by the caller,
// each page scaled to fit the paper chosen there. A print to a PDF file is
// written as writeReportPdf writes. A printer may still print the pages
// drawn before a stop.
bool printReport(const RenderedReport& report, QPrinter& printer, int from, int to,
                 const PageProgress& progress = {}, QString* why = nullptr);

// Makes the text of a whole PDF written by Qt read as its letters are,
// not their shaped forms (each glyph of an Arabic letter maps back to the
// letter), by new maps appended after its end; the pages are not read
// into memory. False when the file is not a whole PDF or cannot be written.
bool givePlainLetters(QFile& pdf);

}  // namespace mk::qt
