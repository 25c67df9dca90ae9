// Small helpers shared by the front end: texts, fonts, twips to pixels.
#pragma once

#include <QFont>
#include <QProxyStyle>
#include <QRect>
#include <QString>

class QWidget;
#include <string>
#include <vector>

namespace mk::qt {

inline QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string std8(const QString& s) { return s.toUtf8().toStdString(); }

// "م&لف" -> "ملف"; "&&" stays one "&".
QString stripMnemonic(const QString& caption);

// A navigation bar's caption as drawn on its bar, whose buttons run right
// to left like the window (first and previous at the right): when the
// caption names the buttons ("السابق" previous, "التالى" next), it is drawn
// in whichever order puts each word beside its own button (right to left,
// its angle brackets mirrored to point outwards; else as written, left to
// right); a caption that names none reads as a paragraph.
QString barCaption(const QString& caption);

// Whether a text reads right to left: most of its letters are Arabic.
bool readsRightToLeft(const QString& text);
// A text as a paragraph that runs the way its letters read; inside a
// right-to-left one, each stretch of left-to-right text (a path, a file
// name, a number, Latin words) is isolated, so it keeps its own order.
QString asParagraph(const QString& text);
// A message joined from pieces written in left-to-right screen order (the
// sentence's last words first), as a right-to-left paragraph: the pieces
// from the last to the first, each kept whole in its own direction.
QString piecesFromTheRight(const std::vector<QString>& pieces);

// The look of every window: the desktop's own, with Alt alone pressed and
// let go highlighting the first menu of the menu bar, as desktop programs do,
// and scroll bars drawn flat.
class ProgramStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* p,
                            const QWidget* widget) const override;
};

// An Arabic letter as a caption's shortcut: its underline would cut the
// word's letters apart, so it is not drawn (the shortcut still works).
bool hasArabicShortcut(const QString& caption);
void keepLettersJoined(QWidget& w, bool joined);

// The font every window uses unless a control names its own size: Latin
// from Noto Sans, Arabic shaped by Noto Sans Arabic.
QFont uiFont(double pointSize = 0);
double defaultPointSize();

// Twips to pixels: 15 twips a pixel at 96 DPI, scaled for the screen.
class TwipScale {
public:
    explicit TwipScale(double screenScale = 1.0) : pxPerTwip_(screenScale / 15.0) {}
    double pxPerTwip() const { return pxPerTwip_; }
    int px(double twips) const;
    // A rectangle given in twips; both edges are rounded, so neighbours
    // that touch in twips touch in pixels.
    QRect rect(double left, double top, double width, double height) const;

private:
    double pxPerTwip_;
};


// One printed line cut into the runs its print zones start.
struct PrintRun {
    int column = 0;  // character column where the run starts
    QString text;    // without the blanks that padded it to the next zone
};
std::vector<PrintRun> printRuns(const std::string& line, const std::vector<int>& zoneStarts);

}  // namespace mk::qt
