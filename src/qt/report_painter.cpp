#include "qt/report_painter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextLayout>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <functional>

#include "platform/database.h"
#include "qt/text.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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
// pixels; `width` is the text's width in it.
QFont shrunk(QFont font, const QString& text, double room, int smallest, double* width) {
    const double natural = QFontMetricsF(font).horizontalAdvance(text);
    *width = natural;
    if (natural <= room) return font;
    int px = std::max(smallest, static_cast<int>(std::floor(font.pixelSize() * room / natural)));
    for (;;) {
        font.setPixelSize(px);
        *width = QFontMetricsF(font).horizontalAdvance(text);
        if (px <= smallest || *width <= room) return font;
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
    // Shaping is most of a page's drawing: the whole text is measured once.
    double width = -1;
    const bool figure = isFigure(text);
    if (figure) font = shrunk(font, text, room, 1, &width);
    else if (!t.fromField)
        font = shrunk(font, text, room, static_cast<int>(std::ceil(size * kLabelShrink)), &width);
    QFontMetricsF metrics(font);
    if (width < 0) width = metrics.horizontalAdvance(text);
    latin.setPixelSize(font.pixelSize());
    const QFontMetricsF latinMetrics(latin);
    out.font = font;
    out.lineSpacing = latinMetrics.lineSpacing();
    const bool rtl = text.isRightToLeft();

    const bool whole = width <= room || figure;
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
        const double lineWidth = whole ? width : metrics.horizontalAdvance(line);
        // A cut right-to-left text starts at its box's right edge.
        out.lefts.push_back(rtl && !whole ? t.x + room - lineWidth : t.x);
        right = std::max(right, out.lefts.back() + lineWidth);
    }
    const double left = *std::min_element(out.lefts.begin(), out.lefts.end());
    out.ink = QRectF(left, out.baseline - latinMetrics.ascent(), right - left,
                     out.lineSpacing * static_cast<double>(out.lines.size() - 1) +
                         latinMetrics.ascent() + latinMetrics.descent());
    return out;
}

}  // namespace

std::vector<PlacedText> placeTexts(const RenderedReport& report, const RenderedPage& page,
                                   const QRectF& shown) {
    std::vector<PlacedText> out;
    out.reserve(page.texts.size());
    for (const RenderedText& t : page.texts) {
        // A text never reaches past its box's sides; its letters may stand
        // out above and below by up to the box's height.
        const bool in = !shown.isValid() || (t.x - kGap <= shown.right() && t.x + t.width + kGap >= shown.left() &&
                                             t.y - t.height <= shown.bottom() && t.y + 2 * t.height >= shown.top());
        out.push_back(t.text.empty() || !in ? PlacedText{} : place(report, page, t));
    }
    return out;
}

void paintReportPage(QPainter& p, const RenderedReport& report, int index, const QRectF& target,
                     const QRectF& exposed) {
    if (index < 0 || index >= static_cast<int>(report.pages.size()) || report.pageWidth <= 0 ||
        report.pageHeight <= 0)
        return;
    const RenderedPage& page = report.pages[static_cast<size_t>(index)];
    const double sx = target.width() / report.pageWidth, sy = target.height() / report.pageHeight;
    // Only the texts in the part of the page shown are laid out: shaping
    // is most of the drawing.
    const QRectF shown = exposed.isValid() ? QRectF((exposed.left() - target.left()) / sx,
                                                    (exposed.top() - target.top()) / sy,
                                                    exposed.width() / sx, exposed.height() / sy)
                                           : QRectF();
    p.save();
    p.translate(target.topLeft());
    p.scale(sx, sy);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QPen(Qt::black, 12));
    for (const RenderedLine& l : page.lines) p.drawLine(QLineF(l.x1, l.y1, l.x2, l.y2));
    const std::vector<PlacedText> placed = placeTexts(report, page, shown);
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

namespace {

QByteArray readAt(QFile& file, qint64 at, qint64 size) {
    if (at < 0 || size <= 0 || !file.seek(at)) return {};
    return file.read(size);
}

// The map of object `n` with letters for targets, as a new object of the
// same number; empty when it cannot be read.
QByteArray plainMapObject(QFile& pdf, qint64 n, const std::function<qint64(qint64)>& offsetOf) {
    const qint64 from = offsetOf(n);
    const QByteArray head = readAt(pdf, from, 1024);
    const qsizetype stream = head.indexOf("stream");
    if (from <= 0 || stream < 0) return {};
    const QByteArray dict = head.left(stream);
    static const QRegularExpression lengthOf(QStringLiteral("/Length (\\d+)( 0 R)?"));
    const auto length = lengthOf.match(QString::fromLatin1(dict));
    if (!length.hasMatch()) return {};
    qint64 size = length.captured(1).toLongLong();
    if (length.capturedLength(2) > 0) {  // kept in an object of its own
        const QByteArray held = readAt(pdf, offsetOf(size), 64);
        const qsizetype obj = held.indexOf("obj");
        size = obj < 0 ? -1 : numberAt(held, obj + 3);
    }
    qint64 data = from + stream + 6;
    const QByteArray eol = readAt(pdf, data, 2);
    if (eol == "\r\n") data += 2;
    else if (eol.startsWith('\n')) data += 1;
    if (size < 0 || size > (1 << 24)) return {};
    QByteArray cmap = readAt(pdf, data, size);
    if (cmap.size() != size) return {};
    if (dict.contains("/FlateDecode")) {
        QByteArray sized(4, '\0');
        const auto guess = static_cast<quint32>(std::min<qint64>(size * 8 + 4096, 1 << 24));
        for (int i = 0; i < 4; ++i) sized[i] = static_cast<char>((guess >> (24 - 8 * i)) & 0xFF);
        cmap = qUncompress(sized + cmap);
        if (cmap.isEmpty()) return {};
    }
    const QByteArray plain = plainCMap(cmap);
    return QByteArray::number(n) + " 0 obj\n<< /Length " + QByteArray::number(plain.size()) +
           " >>\nstream\n" + plain + "\nendstream\nendobj\n";
}

}  // namespace

bool givePlainLetters(QFile& pdf) {
    const qint64 size = pdf.size();
    // The trailer: where the cross-reference table starts, and what it
    // names.
    const qint64 tailFrom = std::max<qint64>(0, size - 1024);
    const QByteArray tail = readAt(pdf, tailFrom, size - tailFrom);
    const qsizetype start = tail.lastIndexOf("startxref");
    if (start < 0) return false;
    const qint64 xref = numberAt(tail, start + 9);
    const QByteArray head = readAt(pdf, xref, 64);
    if (!head.startsWith("xref")) return false;
    const qsizetype line = head.indexOf('\n') + 1;
    const qint64 first = numberAt(head, line), count = numberAt(head, head.indexOf(' ', line));
    const qint64 entries = xref + head.indexOf('\n', line) + 1;
    if (first != 0 || count <= 0 || entries + count * 20 > size) return false;
    const QByteArray trailer = readAt(pdf, entries + count * 20, size - (entries + count * 20));
    const qsizetype open = trailer.indexOf("<<"), close = trailer.lastIndexOf(">>");
    if (open < 0 || close < open || trailer.contains("/Prev")) return false;
    const std::function<qint64(qint64)> offsetOf = [&](qint64 n) -> qint64 {
        if (n <= 0 || n >= count) return -1;
        const QByteArray entry = readAt(pdf, entries + n * 20, 20);
        return entry.size() == 20 && entry[17] == 'n' ? numberAt(entry, 0) : -1;
    };

    // The fonts' maps, found a piece of the file at a time: fonts come
    // last, but a page's text could hold the same words.
    std::vector<qint64> maps;
    const QByteArray key = "/ToUnicode ";
    constexpr qint64 kPiece = 1 << 20, kOverlap = 48;
    for (qint64 from = 0; from < xref; from += kPiece) {
        const QByteArray piece = readAt(pdf, from, std::min(kPiece + kOverlap, xref - from));
        for (qsizetype k = piece.indexOf(key); k >= 0 && k < kPiece; k = piece.indexOf(key, k + 1)) {
            const qint64 n = numberAt(piece, k + key.size());
            if (n > 0) maps.push_back(n);
        }
    }
    std::sort(maps.begin(), maps.end());
    maps.erase(std::unique(maps.begin(), maps.end()), maps.end());

    // The new maps go after the end, with a table of where they are: the
    // pages already written stay as they are.
    QByteArray update, table = "xref\n";
    for (qint64 n : maps) {
        const QByteArray object = plainMapObject(pdf, n, offsetOf);
        if (object.isEmpty()) continue;
        table += QByteArray::number(n) + " 1\n" +
                 QByteArray::number(size + update.size()).rightJustified(10, '0') + " 00000 n \n";
        update += object;
    }
    if (update.isEmpty()) return true;
    const qint64 newXref = size + update.size();
    update += table + "trailer\n" + trailer.mid(open, close - open) + "/Prev " +
              QByteArray::number(xref) + "\n>>\nstartxref\n" + QByteArray::number(newXref) +
              "\n%%EOF\n";
    return pdf.seek(size) && pdf.write(update) == update.size();
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

// Pages from..to, each scaled to fit the paper, kept in proportion,
// centred; progress is told before the first and after each page. False
// when a page could not be begun or the progress stopped the drawing.
bool paintPages(QPainter& p, const RenderedReport& report, int from, int to, const QRectF& paper,
                const std::function<bool()>& newPage, const PageProgress& progress, bool* stopped) {
    const double k = std::min(paper.width() / report.pageWidth, paper.height() / report.pageHeight);
    const QSizeF size(report.pageWidth * k, report.pageHeight * k);
    const QRectF target(paper.center() - QPointF(size.width() / 2, size.height() / 2), size);
    const int all = std::max(0, to - from + 1);
    *stopped = progress && !progress(0, all);
    for (int page = from; page <= to && !*stopped; ++page) {
        if (page > from && !newPage()) return false;
        paintReportPage(p, report, page - 1, target);
        *stopped = progress && !progress(page - from + 1, all);
    }
    return !*stopped;
}

// What drawing into a file came to.
struct Drawn {
    enum { Whole, Stopped, Failed } end = Failed;
    QFileDevice::FileError error = QFileDevice::WriteError;
    QString system;
};

// A PDF drawn by `draw` into a part file beside `path`, its text made
// searchable, then put under `path`: a write stopped or failed half way
// leaves no file of that name, and replaces none.
bool writeBeside(const QString& path, QString* why, const QString& stoppedText,
                 const std::function<Drawn(const QString& part)>& draw) {
    auto fail = [&](QFileDevice::FileError error, const QString& system) {
        if (why) *why = whyNotWritten(path, error, system);
        return false;
    };
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return fail(QFileDevice::OpenError, QString());
    const std::filesystem::path dest(QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString());
    const QString part = QFile::decodeName(temporaryCopyBeside(dest).c_str());
    struct Removed {
        QString path;
        bool kept = false;
        ~Removed() {
            if (!kept) QFile::remove(path);
        }
    } removed{part};

    const Drawn drawn = draw(part);
    if (drawn.end == Drawn::Stopped) {
        if (why) *why = stoppedText.arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
        return false;
    }
    if (drawn.end == Drawn::Failed) return fail(drawn.error, drawn.system);
    QFile file(part);
    if (!file.open(QIODevice::ReadWrite) || !givePlainLetters(file) || !file.flush())
        return fail(file.error(), file.errorString());
#ifdef Q_OS_UNIX
    // On the disk before it takes the name, as a saved file is.
    if (::fsync(file.handle()) != 0) return fail(QFileDevice::WriteError, qt_error_string(errno));
#endif
    file.close();
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(part).toStdString()), dest, ec);
    if (ec) return fail(QFileDevice::RenameError, QString::fromStdString(ec.message()));
    removed.kept = true;
    return true;
}

}  // namespace

bool writeReportPdf(const RenderedReport& report, const QString& path, QString* why,
                    const PageProgress& progress) {
    return writeBeside(
        path, why, QStringLiteral("تم إلغاء حفظ التقرير، ولم يحفظ الملف:\n%1"), [&](const QString& part) {
            Drawn out;
            QFile file(part);
            if (!file.open(QIODevice::WriteOnly)) {
                out.error = file.error();
                out.system = file.errorString();
                return out;
            }
            bool stopped = false, painted = false;
            {
                QPdfWriter writer(&file);
                writer.setPageLayout(reportPageLayout(report));
                writer.setResolution(600);
                writer.setTitle(qs(report.title));
                writer.setCreator(QStringLiteral("makhzan"));
                QPainter p;
                if (!p.begin(&writer)) return out;
                painted = paintPages(p, report, 1, static_cast<int>(report.pages.size()),
                                     QRectF(0, 0, writer.width(), writer.height()),
                                     [&] { return writer.newPage(); }, progress, &stopped);
                painted = p.end() && painted;
            }
            // Qt's writer does not tell a failed write: the file does.
            const bool written = file.flush() && file.error() == QFileDevice::NoError;
            out.error = file.error() == QFileDevice::NoError ? QFileDevice::WriteError : file.error();
            out.system = file.errorString();
            out.end = stopped ? Drawn::Stopped : painted && written ? Drawn::Whole : Drawn::Failed;
            return out;
        });
}

bool printReport(const RenderedReport& report, QPrinter& printer, int from, int to,
                 const PageProgress& progress, QString* why) {
    from = std::max(1, from);
    to = std::min(to, static_cast<int>(report.pages.size()));
    auto draw = [&](bool* stopped) {
        printer.setFullPage(true);
        QPainter p;
        if (!p.begin(&printer)) return false;
        const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
        bool ok = paintPages(p, report, from, to, paper.translated(-paper.topLeft()),
                             [&] { return printer.newPage(); }, progress, stopped);
        if (*stopped) printer.abort();
        return p.end() && ok;
    };
    const QString file = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || file.isEmpty()) {
        bool stopped = false;
        const bool printed = draw(&stopped);
        if (why) *why = stopped ? QStringLiteral("تم إلغاء الطباعة.") : QStringLiteral("تعذرت الطباعة.");
        return printed;
    }
    // A print to a file is written as a saved report is.
    const bool written = writeBeside(
        file, why, QStringLiteral("تم إلغاء الطباعة، ولم يحفظ الملف:\n%1"), [&](const QString& part) {
            printer.setOutputFileName(part);
            bool stopped = false;
            Drawn out;
            const bool printed = draw(&stopped);
            out.end = stopped ? Drawn::Stopped : printed ? Drawn::Whole : Drawn::Failed;
            return out;
        });
    printer.setOutputFileName(file);
    return written;
}

}  // namespace mk::qt
