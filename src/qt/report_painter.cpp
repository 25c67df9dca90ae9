#include "qt/report_painter.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextLayout>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>

#include "qt/text.h"

namespace mk::qt {

namespace {

// Side-by-side boxes keep this much paper between their texts.
constexpr double kGap = 120;
// A label shrinks to this part of its size at most before it is cut.
constexpr double kLabelShrink = 0.6;

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

// A figure: digits with their signs and separators, no letter.
bool isFigure(const QString& text) {
    bool digit = false;
    for (QChar c : text) {
        if (c.isLetter()) return false;
        digit = digit || c.isDigit();
    }
    return digit;
}

// Where a text may reach: its box, short of the next box beside it on
// the right, and of the paper's edge.
double roomOf(const RenderedReport& report, const RenderedPage& page, const RenderedText& t) {
    double right = std::min(t.x + t.width, report.pageWidth);
    for (const RenderedText& u : page.texts) {
        if (&u == &t || u.x <= t.x) continue;
        const bool sameLine = u.y < t.y + t.height && t.y < u.y + u.height;
        if (sameLine) right = std::min(right, u.x - kGap);
    }
    return std::max(0.0, right - t.x);
}

// The font made smaller until the text fits `room`, down to `smallest`
// pixels.
QFont shrunk(QFont font, const QString& text, double room, int smallest) {
    double natural = QFontMetricsF(font).horizontalAdvance(text);
    if (natural <= room) return font;
    int px = std::max(smallest, static_cast<int>(std::floor(font.pixelSize() * room / natural)));
    for (;;) {
        font.setPixelSize(px);
        if (px <= smallest || QFontMetricsF(font).horizontalAdvance(text) <= room) return font;
        --px;
    }
}

PlacedText place(const RenderedReport& report, const RenderedPage& page, const RenderedText& t) {
    PlacedText out;
    const QString text = qs(t.text);
    const double room = roomOf(report, page, t);
    QFont font = reportFont(report, t.fontSize, t.bold);
    const int size = font.pixelSize();
    // Every box of one size shares one baseline, whatever script it holds
    // (Arabic glyphs would otherwise push their line down), and a text
    // made smaller keeps it.
    QFont latin = font;
    latin.setFamilies({QStringLiteral("Noto Sans")});
    out.baseline = t.y + QFontMetricsF(latin).ascent();
    if (isFigure(text)) font = shrunk(font, text, room, 1);
    else if (!t.fromField)
        font = shrunk(font, text, room, static_cast<int>(std::ceil(size * kLabelShrink)));
    QFontMetricsF metrics(font);
    latin.setPixelSize(font.pixelSize());
    const QFontMetricsF latinMetrics(latin);
    out.font = font;
    out.lineSpacing = latinMetrics.lineSpacing();
    const bool rtl = text.isRightToLeft();

    const bool whole = metrics.horizontalAdvance(text) <= room || isFigure(text);
    if (whole) {
        // Boxes keep the engine's left alignment, so a heading and the
        // column below it start at one edge.
        out.lines = {text};
    } else {
        const int fit = std::max(1, static_cast<int>(std::floor(t.height / out.lineSpacing)));
        if (fit >= 2) {
            QTextLayout layout(text, font);
            QTextOption option;
            option.setTextDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
                line.setLineWidth(room);
            layout.endLayout();
            for (int i = 0; i < layout.lineCount() && i < fit; ++i) {
                const QTextLine line = layout.lineAt(i);
                QString part = i + 1 == fit ? text.mid(line.textStart())
                                            : text.mid(line.textStart(), line.textLength());
                out.lines.push_back(part.trimmed());
            }
        } else {
            out.lines = {text};
        }
        // What still does not fit is cut, its start kept.
        for (QString& line : out.lines) line = metrics.elidedText(line, Qt::ElideRight, room);
    }
    double right = t.x;
    for (const QString& line : out.lines) {
        const double width = metrics.horizontalAdvance(line);
        // A cut right-to-left text starts at its box's right edge.
        out.lefts.push_back(rtl && !whole ? t.x + room - width : t.x);
        right = std::max(right, out.lefts.back() + width);
    }
    const double left = *std::min_element(out.lefts.begin(), out.lefts.end());
    out.ink = QRectF(left, out.baseline - latinMetrics.ascent(), right - left,
                     out.lineSpacing * static_cast<double>(out.lines.size() - 1) +
                         latinMetrics.ascent() + latinMetrics.descent());
    return out;
}

}  // namespace

std::vector<PlacedText> placeTexts(const RenderedReport& report, const RenderedPage& page) {
    std::vector<PlacedText> out;
    out.reserve(page.texts.size());
    for (const RenderedText& t : page.texts)
        out.push_back(t.text.empty() ? PlacedText{} : place(report, page, t));
    return out;
}

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
    const std::vector<PlacedText> placed = placeTexts(report, page);
    for (size_t i = 0; i < placed.size(); ++i) {
        const PlacedText& t = placed[i];
        if (t.lines.empty()) continue;
        p.setFont(t.font);
        p.setPen(inkOf(page.texts[i].color));
        for (size_t k = 0; k < t.lines.size(); ++k) {
            p.setLayoutDirection(t.lines[k].isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
            p.drawText(QPointF(t.lefts[k], t.baseline + t.lineSpacing * static_cast<double>(k)),
                       t.lines[k]);
        }
    }
    p.restore();
}

QPageLayout reportPageLayout(const RenderedReport& report) {
    return QPageLayout(QPageSize(QPageSize::A4),
                       report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

namespace {

// The letters an Arabic presentation form stands for.
QString lettersOf(char16_t unit) {
    const QChar c(unit);
    const bool form = (unit >= 0xFB50 && unit <= 0xFDFF) || (unit >= 0xFE70 && unit <= 0xFEFF);
    if (!form) return QString(c);
    QString letters = c.decomposition();
    letters.remove(QLatin1Char(' '));  // an isolated mark's carrier
    if (letters.isEmpty()) return QString(c);
    // Readers spread a glyph's letters over it from left to right, so a
    // ligature of right-to-left letters lists them as they stand on paper.
    std::reverse(letters.begin(), letters.end());
    return letters;
}

QByteArray hexOf(const QString& text) {
    QByteArray out = "<";
    for (QChar c : text) out += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return out + ">";
}

QString textOfHex(const QByteArray& hex) {
    QString out;
    for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
        out += QChar(static_cast<char16_t>(hex.mid(i, 4).toUInt(nullptr, 16)));
    return out;
}

QByteArray plainHex(const QByteArray& hex) {
    QString letters;
    for (QChar c : textOfHex(hex)) letters += lettersOf(c.unicode());
    return hexOf(letters);
}

// A ToUnicode map whose targets are letters, not their shaped forms.
QByteArray plainCMap(const QByteArray& cmap) {
    static const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]+)>"));
    QList<QByteArray> lines = cmap.split('\n');
    enum { None, Ranges, Chars } section = None;
    for (QByteArray& line : lines) {
        const QByteArray word = line.trimmed();
        if (word.endsWith("beginbfrange")) section = Ranges;
        else if (word.endsWith("beginbfchar")) section = Chars;
        else if (word == "endbfrange" || word == "endbfchar") section = None;
        if (section == None || word.endsWith("beginbfrange") || word.endsWith("beginbfchar"))
            continue;
        QList<QByteArray> codes;
        for (auto m = hex.globalMatch(QString::fromLatin1(line)); m.hasNext();)
            codes.push_back(m.next().captured(1).toLatin1());
        if (section == Chars && codes.size() == 2) {
            line = "<" + codes[0] + "> " + plainHex(codes[1]);
        } else if (section == Ranges && codes.size() >= 3) {
            QByteArray out = "<" + codes[0] + "> <" + codes[1] + "> [";
            if (line.contains('[')) {
                for (qsizetype i = 2; i < codes.size(); ++i) out += plainHex(codes[i]) + " ";
            } else {
                // One target counted up over the range.
                const uint lo = codes[0].toUInt(nullptr, 16), hi = codes[1].toUInt(nullptr, 16);
                QString first = textOfHex(codes[2]);
                if (first.isEmpty() || hi < lo || hi - lo > 0xFFFF) continue;
                for (uint k = 0; k <= hi - lo; ++k) {
                    QString target = first;
                    target.back() = QChar(static_cast<char16_t>(first.back().unicode() + k));
                    out += plainHex(hexOf(target).mid(1).chopped(1)) + " ";
                }
            }
            line = out + "]";
        }
    }
    return lines.join('\n');
}

qsizetype numberAt(const QByteArray& data, qsizetype at) {
    while (at < data.size() && std::isspace(static_cast<unsigned char>(data[at]))) ++at;
    qsizetype end = at;
    while (end < data.size() && std::isdigit(static_cast<unsigned char>(data[end]))) ++end;
    return end > at ? data.mid(at, end - at).toLongLong() : -1;
}

}  // namespace

QByteArray withPlainLetters(const QByteArray& pdf) {
    // The cross-reference table: where each object starts.
    const qsizetype start = pdf.lastIndexOf("startxref");
    if (start < 0) return pdf;
    const qsizetype xref = numberAt(pdf, start + 9);
    if (xref < 0 || !pdf.mid(xref, 4).startsWith("xref")) return pdf;
    qsizetype at = pdf.indexOf('\n', xref) + 1;
    const qsizetype first = numberAt(pdf, at), count = numberAt(pdf, pdf.indexOf(' ', at));
    const qsizetype entries = pdf.indexOf('\n', at) + 1;
    if (first != 0 || count <= 0 || entries + count * 20 > pdf.size()) return pdf;
    std::vector<qsizetype> offsets(static_cast<size_t>(count));
    for (qsizetype i = 0; i < count; ++i)
        offsets[static_cast<size_t>(i)] = numberAt(pdf, entries + i * 20);

    struct Edit {
        qsizetype from, to;
        QByteArray with;
    };
    std::vector<Edit> edits;
    static const QRegularExpression toUnicode(QStringLiteral("/ToUnicode (\\d+) 0 R"));
    std::vector<qsizetype> maps;
    for (auto m = toUnicode.globalMatch(QString::fromLatin1(pdf)); m.hasNext();)
        maps.push_back(m.next().captured(1).toLongLong());
    std::sort(maps.begin(), maps.end());
    maps.erase(std::unique(maps.begin(), maps.end()), maps.end());
    static const QRegularExpression lengthOf(QStringLiteral("/Length (\\d+)( 0 R)?"));
    for (qsizetype n : maps) {
        if (n <= 0 || n >= count) continue;
        const qsizetype from = offsets[static_cast<size_t>(n)];
        const qsizetype stream = pdf.indexOf("stream", from);
        if (from <= 0 || stream < 0) continue;
        const QByteArray dict = pdf.mid(from, stream - from);
        const auto length = lengthOf.match(QString::fromLatin1(dict));
        if (!length.hasMatch()) continue;
        qsizetype size = length.captured(1).toLongLong();
        if (length.capturedLength(2) > 0) {  // kept in an object of its own
            const qsizetype k = size;
            if (k <= 0 || k >= count) continue;
            size = numberAt(pdf, pdf.indexOf("obj", offsets[static_cast<size_t>(k)]) + 3);
        }
        qsizetype data = stream + 6;
        if (pdf.mid(data, 2) == "\r\n") data += 2;
        else if (pdf[data] == '\n') data += 1;
        const qsizetype end = pdf.indexOf("endobj", data + size);
        if (size < 0 || end < 0) continue;
        QByteArray cmap = pdf.mid(data, size);
        if (dict.contains("/FlateDecode")) {
            QByteArray sized(4, '\0');
            const auto guess = static_cast<quint32>(std::min<qsizetype>(size * 8 + 4096, 1 << 24));
            for (int i = 0; i < 4; ++i) sized[i] = static_cast<char>((guess >> (24 - 8 * i)) & 0xFF);
            cmap = qUncompress(sized + cmap);
            if (cmap.isEmpty()) continue;
        }
        const QByteArray plain = plainCMap(cmap);
        edits.push_back({from, end + 6,
                         QByteArray::number(n) + " 0 obj\n<< /Length " +
                             QByteArray::number(plain.size()) + " >>\nstream\n" + plain +
                             "\nendstream\nendobj"});
    }
    if (edits.empty()) return pdf;
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.from < b.from; });

    QByteArray out;
    out.reserve(pdf.size() + 4096);
    qsizetype copied = 0;
    for (const Edit& e : edits) {
        if (e.from < copied || e.to > xref) return pdf;
        out += pdf.mid(copied, e.from - copied);
        out += e.with;
        copied = e.to;
    }
    out += pdf.mid(copied, xref - copied);
    auto moved = [&](qsizetype offset) {
        qsizetype shift = 0;
        for (const Edit& e : edits)
            if (e.to <= offset) shift += e.with.size() - (e.to - e.from);
        return offset + shift;
    };
    const qsizetype newXref = out.size();
    out += pdf.mid(xref, entries - xref);
    for (qsizetype i = 0; i < count; ++i) {
        QByteArray entry = pdf.mid(entries + i * 20, 20);
        if (entry.size() == 20 && entry[17] == 'n')
            entry.replace(0, 10, QByteArray::number(moved(offsets[static_cast<size_t>(i)]))
                                     .rightJustified(10, '0'));
        out += entry;
    }
    out += pdf.mid(entries + count * 20, start - (entries + count * 20));
    out += "startxref\n" + QByteArray::number(newXref) + "\n%%EOF\n";
    return out;
}

namespace {

// Why a file could not be written, in Arabic.
QString whyNotWritten(const QString& path, QFileDevice::FileError error, const QString& system) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists() || !folder.isDir())
        return QStringLiteral("المجلد غير موجود:\n%1").arg(QDir::toNativeSeparators(folder.filePath()));
    if (error == QFileDevice::ResourceError)
        return QStringLiteral("لا توجد مساحة كافية على القرص لحفظ الملف.");
    if (!folder.isWritable() || (file.exists() && !file.isWritable()))
        return QStringLiteral("لا توجد صلاحية للكتابة فى هذا المكان:\n%1")
            .arg(QDir::toNativeSeparators(file.absoluteFilePath()));
    // The system's own words go to the log, not to the user.
    if (!system.isEmpty()) qWarning("makhzan: cannot save %s: %s", qPrintable(path), qPrintable(system));
    return QStringLiteral("تعذر حفظ الملف:\n%1\nأختر مكانا آخر أو أسما آخر ثم أعد المحاولة")
        .arg(QDir::toNativeSeparators(file.absoluteFilePath()));
}

void paintPages(QPainter& p, const RenderedReport& report, int from, int to, const QRectF& paper,
                const std::function<bool()>& newPage, bool* ok) {
    // Each page scaled to fit the paper, kept in proportion, centred.
    const double k = std::min(paper.width() / report.pageWidth, paper.height() / report.pageHeight);
    const QSizeF size(report.pageWidth * k, report.pageHeight * k);
    const QRectF target(paper.center() - QPointF(size.width() / 2, size.height() / 2), size);
    for (int page = from; page <= to; ++page) {
        if (page > from && !newPage()) {
            *ok = false;
            return;
        }
        paintReportPage(p, report, page - 1, target);
    }
}

}  // namespace

bool writeReportPdf(const RenderedReport& report, const QString& path, QString* why) {
    auto fail = [&](QFileDevice::FileError error, const QString& system) {
        if (why) *why = whyNotWritten(path, error, system);
        return false;
    };
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return fail(QFileDevice::OpenError, QString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.error(), file.errorString());

    QBuffer written;
    written.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&written);
        writer.setPageLayout(reportPageLayout(report));
        writer.setResolution(600);
        writer.setTitle(qs(report.title));
        writer.setCreator(QStringLiteral("makhzan"));
        QPainter p;
        if (!p.begin(&writer)) return fail(QFileDevice::WriteError, QString());
        bool ok = true;
        paintPages(p, report, 1, static_cast<int>(report.pages.size()),
                   QRectF(0, 0, writer.width(), writer.height()),
                   [&] { return writer.newPage(); }, &ok);
        if (!p.end() || !ok) return fail(QFileDevice::WriteError, QString());
    }
    if (file.write(withPlainLetters(written.data())) < 0 || !file.commit())
        return fail(file.error(), file.errorString());
    return true;
}

bool printReport(const RenderedReport& report, QPrinter& printer, int from, int to) {
    printer.setFullPage(true);
    QPainter p;
    if (!p.begin(&printer)) return false;
    bool ok = true;
    paintPages(p, report, std::max(1, from), std::min(to, static_cast<int>(report.pages.size())),
               printer.paperRect(QPrinter::DevicePixel).translated(
                   -printer.paperRect(QPrinter::DevicePixel).topLeft()),
               [&] { return printer.newPage(); }, &ok);
    if (!p.end() || !ok) return false;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        QFile file(printer.outputFileName());
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray pdf = file.readAll();
            file.close();
            const QByteArray plain = withPlainLetters(pdf);
            if (plain != pdf) {
                QSaveFile save(printer.outputFileName());
                if (!save.open(QIODevice::WriteOnly) || save.write(plain) < 0 || !save.commit())
                    return false;
            }
        }
    }
    return true;
}

}  // namespace mk::qt
