#include "qt/text.h"

#include <QApplication>
#include <QList>
#include <QPainter>
#include <QProxyStyle>
#include <QStringList>
#include <QStyleOption>
#include <QTextLayout>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace mk::qt {

QString stripMnemonic(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

namespace {

bool rightToLeft(QChar c) {
    const auto d = c.direction();
    return d == QChar::DirR || d == QChar::DirAL;
}

}  // namespace

bool readsRightToLeft(const QString& text) {
    int right = 0, left = 0;
    for (QChar c : text) {
        if (rightToLeft(c)) ++right;
        else if (c.direction() == QChar::DirL) ++left;
    }
    return right > 0 && right >= left;
}

namespace {

bool leftToRightLetter(QChar c) {
    const auto d = c.direction();
    return d == QChar::DirL || d == QChar::DirEN || d == QChar::DirAN;
}

// Each stretch between right-to-left letters that holds a left-to-right
// letter or a digit, without the blanks at its ends, in a left-to-right
// isolate: its slashes, colons and points stay where they are written.
QString isolateLeftToRight(const QString& text) {
    const QChar lri(0x2066), pdi(0x2069);
    QString out;
    out.reserve(text.size() + 8);
    qsizetype i = 0;
    while (i < text.size()) {
        if (rightToLeft(text[i]) || text[i].direction() == QChar::DirNSM) {
            out += text[i++];
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !rightToLeft(text[end])) ++end;
        qsizetype from = i, to = end;
        while (from < to && text[from].isSpace()) ++from;
        while (to > from && text[to - 1].isSpace()) --to;
        const QStringView run = QStringView(text).sliced(from, to - from);
        out += QStringView(text).sliced(i, from - i);
        const bool isolate = std::any_of(run.begin(), run.end(), leftToRightLetter);
        if (isolate) out += lri;
        out += run;
        if (isolate) out += pdi;
        out += QStringView(text).sliced(to, end - to);
        i = end;
    }
    return out;
}

}  // namespace

QString asParagraph(const QString& text) {
    // Qt takes a paragraph's direction from its first letter, which may be
    // a name in another script: then a mark of the direction goes first.
    const bool rtl = readsRightToLeft(text);
    const QString shown = rtl ? isolateLeftToRight(text) : text;
    if (shown.isRightToLeft() == rtl) return shown;
    return (rtl ? QChar(0x200F) : QChar(0x200E)) + shown;
}

QString barCaption(const QString& caption) {
    auto find = [](const QString& in, std::initializer_list<const char*> words) {
        qsizetype at = -1;
        for (const char* w : words) {
            const qsizetype i = in.indexOf(QString::fromUtf8(w));
            if (i >= 0 && (at < 0 || i < at)) at = i;
        }
        return at;
    };
    const std::initializer_list<const char*> previousWords{"السابق", "سابق"};
    const std::initializer_list<const char*> nextWords{"التالى", "التالي", "اللاحق", "الاحق", "لاحق"};
    const QString paragraph = asParagraph(caption);
    const qsizetype previous = find(paragraph, previousWords), next = find(paragraph, nextWords);
    if (previous < 0 || next < 0) return paragraph;
    // Where each word is drawn in the paragraph, as the bar's label draws it.
    QTextLayout layout(paragraph, uiFont());
    QTextOption option;
    option.setTextDirection(paragraph.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    auto x = [&](qsizetype at) { return line.cursorToX(static_cast<int>(at) + 1); };
    if (x(previous) > x(next)) return paragraph;
    // Written the other way round: drawn left to right in the order
    // written, a mark after each word keeping the words apart.
    const QChar lre(0x202A), pdf(0x202C), lrm(0x200E);
    QString out(lre);
    bool inWord = false;
    for (QChar c : caption) {
        const bool part = rightToLeft(c) || (inWord && c.direction() == QChar::DirNSM);
        if (inWord && !part) out += lrm;
        inWord = part;
        out += c;
    }
    if (inWord) out += lrm;
    out += pdf;
    return out;
}

QString piecesFromTheRight(const std::vector<QString>& pieces) {
    const QChar fsi(0x2068), pdi(0x2069);
    QString out(QChar(0x200F));
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
        const QString piece = it->trimmed();
        if (piece.isEmpty()) continue;
        if (out.size() > 1) out += QLatin1Char(' ');
        out += fsi + piece + pdi;
    }
    return out;
}

bool hasArabicShortcut(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].script() == QChar::Script_Arabic;
    }
    return false;
}

int ProgramStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    if (hint == SH_MenuBar_AltKeyNavigation) return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void ProgramStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* p, const QWidget* widget) const {
    // Scroll bars in opaque fills: the desktop style draws a bar's long
    // edges and shading as lines and gradients that Qt hands, line by
    // line, to its thread pool, at a cost that shows each time a window
    // with a long list or a report page opens. Sizes and arrows stay the
    // desktop style's own.
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !bar) {
        QProxyStyle::drawComplexControl(control, option, p, widget);
        return;
    }
    const QPalette& pal = bar->palette;
    // The groove a shade darker than the slider and arrows on it.
    p->fillRect(bar->rect, pal.color(QPalette::Window).darker(110));
    const auto boxed = [&](const QRect& r, const QColor& fill) {
        if (r.isEmpty()) return;
        p->fillRect(r, pal.color(QPalette::Mid));
        p->fillRect(r.adjusted(1, 1, -1, -1), fill);
    };
    const auto face = [&](SubControl sc) {
        const bool pressed = (bar->activeSubControls & sc) && (bar->state & State_Sunken);
        return pal.color(pressed ? QPalette::Midlight : QPalette::Button);
    };
    if ((bar->state & State_Enabled) && bar->maximum > bar->minimum)
        boxed(subControlRect(CC_ScrollBar, bar, SC_ScrollBarSlider, widget).adjusted(1, 1, -1, -1),
              face(SC_ScrollBarSlider));
    const bool vertical = bar->orientation == Qt::Vertical;
    const bool rtl = bar->direction == Qt::RightToLeft;
    const struct {
        SubControl part;
        PrimitiveElement arrow;
    } ends[] = {
        {SC_ScrollBarSubLine, vertical ? PE_IndicatorArrowUp : (rtl ? PE_IndicatorArrowRight : PE_IndicatorArrowLeft)},
        {SC_ScrollBarAddLine, vertical ? PE_IndicatorArrowDown : (rtl ? PE_IndicatorArrowLeft : PE_IndicatorArrowRight)},
    };
    for (const auto& end : ends) {
        const QRect r = subControlRect(CC_ScrollBar, bar, end.part, widget);
        if (r.isEmpty()) continue;
        boxed(r, face(end.part));
        QStyleOption arrow(*bar);
        arrow.rect = r.adjusted(3, 3, -3, -3);
        drawPrimitive(end.arrow, &arrow, p, widget);
    }
}

namespace {

// Draws shortcut letters without their underline.
class JoinedLetters : public ProgramStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_UnderlineShortcut) return 0;
        return ProgramStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

void keepLettersJoined(QWidget& w, bool joined) {
    static JoinedLetters* style = [] {
        auto* s = new JoinedLetters;
        s->setParent(qApp);
        return s;
    }();
    if (joined == (w.style() == style)) return;
    w.setStyle(joined ? style : nullptr);
}

double defaultPointSize() { return 10.0; }

QFont uiFont(double pointSize) {
    QFont f;
    f.setFamilies({QStringLiteral("Noto Sans"), QStringLiteral("Noto Sans Arabic")});
    f.setPointSizeF(pointSize > 0 ? pointSize : defaultPointSize());
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

int TwipScale::px(double twips) const {
    return static_cast<int>(std::lround(twips * pxPerTwip_));
}

QRect TwipScale::rect(double left, double top, double width, double height) const {
    const int x1 = px(left), y1 = px(top);
    const int x2 = px(left + width), y2 = px(top + height);
    return QRect(x1, y1, std::max(0, x2 - x1), std::max(0, y2 - y1));
}

std::vector<PrintRun> printRuns(const std::string& line, const std::vector<int>& zoneStarts) {
    // Columns count characters, as the runtime counts them.
    const QString text = qs(line);
    const auto codePoints = text.toUcs4();
    std::vector<PrintRun> runs;
    std::vector<int> starts{0};
    for (int z : zoneStarts)
        if (z > starts.back()) starts.push_back(z);
    const int n = static_cast<int>(codePoints.size());
    for (size_t i = 0; i < starts.size(); ++i) {
        const int from = std::min(starts[i], n);
        const int to = i + 1 < starts.size() ? std::min(starts[i + 1], n) : n;
        if (to <= from) continue;
        QString piece = QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()) + from, to - from);
        int lead = 0;
        while (lead < piece.size() && piece[lead] == QLatin1Char(' ')) ++lead;
        piece = piece.trimmed();
        if (!piece.isEmpty()) runs.push_back({starts[i] + lead, piece});
    }
    return runs;
}

}  // namespace mk::qt
