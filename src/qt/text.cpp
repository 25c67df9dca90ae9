#include "qt/text.h"

#include <QApplication>
#include <QList>
#include <QProxyStyle>
#include <QStringList>
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

bool pointsByBrackets(const QString& caption) {
    const bool brackets = caption.contains(QLatin1Char('<')) || caption.contains(QLatin1Char('>'));
    return brackets && std::any_of(caption.begin(), caption.end(), rightToLeft);
}

QString shownCaption(const QString& caption) {
    if (!pointsByBrackets(caption)) return caption;
    // A left-to-right embedding keeps the brackets unmirrored where they
    // are written; a left-to-right mark after each word keeps the words
    // from running together into one right-to-left stretch.
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

Qt::LayoutDirection barDirection(const QString& caption) {
    const QString shown = shownCaption(caption);
    auto find = [&](std::initializer_list<const char*> words) {
        qsizetype at = -1;
        for (const char* w : words) {
            const qsizetype i = shown.indexOf(QString::fromUtf8(w));
            if (i >= 0 && (at < 0 || i < at)) at = i;
        }
        return at;
    };
    const qsizetype previous = find({"السابق", "سابق"});
    const qsizetype next = find({"التالى", "التالي", "اللاحق", "الاحق", "لاحق"});
    if (previous < 0 || next < 0) return Qt::RightToLeft;
    // Where each word is drawn, as a label draws the caption.
    QTextLayout layout(shown, uiFont());
    QTextOption option;
    option.setTextDirection(shown.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    auto x = [&](qsizetype at) { return line.cursorToX(static_cast<int>(at) + 1); };
    return x(previous) < x(next) ? Qt::LeftToRight : Qt::RightToLeft;
}

bool readsRightToLeft(const QString& text) {
    int right = 0, left = 0;
    for (QChar c : text) {
        if (rightToLeft(c)) ++right;
        else if (c.direction() == QChar::DirL) ++left;
    }
    return right > 0 && right >= left;
}

QString asParagraph(const QString& text) {
    // Qt takes a paragraph's direction from its first letter, which may be
    // a name in another script: then a mark of the direction goes first.
    const bool rtl = readsRightToLeft(text);
    if (text.isRightToLeft() == rtl) return text;
    return (rtl ? QChar(0x200F) : QChar(0x200E)) + text;
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

namespace {

// Draws shortcut letters without their underline.
class JoinedLetters : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_UnderlineShortcut) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
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
