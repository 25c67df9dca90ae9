// Drawing a rendered report's pages: one painter for the preview, the
// printer and PDF files.
#pragma once

#include <QPageLayout>
#include <QString>

#include "platform/report.h"

class QPainter;
class QPrinter;
class QRectF;

namespace mk::qt {

// Draws page `index` so that the whole page fills `target` (device units).
void paintReportPage(QPainter& p, const RenderedReport& report, int index, const QRectF& target);

// The report's page: its size and orientation, no margins (the layout
// carries its own).
QPageLayout reportPageLayout(const RenderedReport& report);

// Every page into a PDF file; false when the file cannot be written.
bool writeReportPdf(const RenderedReport& report, const QString& path);

// Pages from..to (1-based, inclusive) to a printer set up by the caller.
bool printReport(const RenderedReport& report, QPrinter& printer, int from, int to);

}  // namespace mk::qt
