#include "qt/report_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <cmath>

#include "qt/text.h"

namespace mk::qt {

namespace {

// Report fonts are set in twips (a point is 20 twips), the painter's unit.
QFont reportFont(const RenderedReport& report, double points, bool bold) {
    QFont f;
    QStringList families;
    if (!report.fontName.empty() && report.fontName != "Arial") families << qs(report.fontName);
    families << QStringLiteral("Noto Sans") << QStringLiteral("Noto Sans Arabic");
    f.setFamilies(families);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 20))));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QColor inkOf(ReportColor c) {
    const unsigned rgb = rgbOf(c);
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

void drawText(QPainter& p, const RenderedReport& report, const RenderedText& t) {
    if (t.text.empty()) return;
    const QString text = qs(t.text);
    QFont font = reportFont(report, t.fontSize, t.bold);
    // A text wider than its box shrinks a little before it spills over.
    const double natural = QFontMetricsF(font).horizontalAdvance(text);
    if (t.width > 0 && natural > t.width) {
        const double factor = std::max(0.75, t.width / natural);
        font.setPixelSize(std::max(1, static_cast<int>(std::floor(font.pixelSize() * factor))));
    }
    p.setFont(font);
    p.setPen(inkOf(t.color));
    // Every box of one size shares one baseline, whatever script it holds
    // (Arabic glyphs would otherwise push their line down).
    QFont latin = font;
    latin.setFamilies({QStringLiteral("Noto Sans")});
    const double baseline = t.y + QFontMetricsF(latin).ascent();
    // Boxes keep the engine's left alignment, so a heading and the column
    // below it start at one edge; Arabic inside reads right to left.
    p.setLayoutDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    p.drawText(QPointF(t.x, baseline), text);
}

}  // namespace

void paintReportPage(QPainter& p, const RenderedReport& report, int index, const QRectF& target) {
    if (index < 0 || index >= static_cast<int>(report.pages.size()) || report.pageWidth <= 0 ||
        report.pageHeight <= 0)
        return;
    const RenderedPage& page = report.pages[static_cast<size_t>(index)];
    p.save();
    p.translate(target.topLeft());
    p.scale(target.width() / report.pageWidth, target.height() / report.pageHeight);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QPen(Qt::black, 12));
    for (const RenderedLine& l : page.lines) p.drawLine(QLineF(l.x1, l.y1, l.x2, l.y2));
    for (const RenderedText& t : page.texts) drawText(p, report, t);
    p.restore();
}

QPageLayout reportPageLayout(const RenderedReport& report) {
    const double w = std::min(report.pageWidth, report.pageHeight) / 1440.0;
    const double h = std::max(report.pageWidth, report.pageHeight) / 1440.0;
    const QPageSize size(QSizeF(w, h), QPageSize::Inch, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

bool writeReportPdf(const RenderedReport& report, const QString& path) {
    QPdfWriter writer(path);
    writer.setPageLayout(reportPageLayout(report));
    writer.setResolution(600);
    writer.setTitle(qs(report.caption));
    writer.setCreator(QStringLiteral("makhzan"));
    QPainter p;
    if (!p.begin(&writer)) return false;
    const QRectF target(0, 0, writer.width(), writer.height());
    for (int i = 0; i < static_cast<int>(report.pages.size()); ++i) {
        if (i > 0 && !writer.newPage()) return false;
        paintReportPage(p, report, i, target);
    }
    return p.end();
}

bool printReport(const RenderedReport& report, QPrinter& printer, int from, int to) {
    printer.setFullPage(true);
    printer.setPageLayout(reportPageLayout(report));
    QPainter p;
    if (!p.begin(&printer)) return false;
    const int last = std::min(to, static_cast<int>(report.pages.size()));
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF target(0, 0, paper.width(), paper.height());
    for (int page = std::max(1, from); page <= last; ++page) {
        if (page > std::max(1, from) && !printer.newPage()) return false;
        paintReportPage(p, report, page - 1, target);
    }
    return p.end();
}

}  // namespace mk::qt
