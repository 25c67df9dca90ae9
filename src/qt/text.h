// Small helpers shared by the front end: texts, fonts, twips to pixels.
#pragma once

#include <QFont>
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

// A caption that sets angle brackets among right-to-left words
// ("<السابق   التالى  >") points them at what stands beside it: it reads
// left to right in the order written, each word still right to left.
bool pointsByBrackets(const QString& caption);
// The caption as it is drawn: in the order written when it points by
// brackets, else as it is.
QString shownCaption(const QString& caption);

// Which way a navigation bar runs so that the words of its caption that
// name its buttons ("السابق" previous, "التالى" next) stand beside them as
// the caption is drawn: left to right when the previous word is drawn left
// of the next one; else, and when it names no button, right to left like
// the windows.
Qt::LayoutDirection barDirection(const QString& caption);

// Whether a text reads right to left: most of its letters are Arabic.
bool readsRightToLeft(const QString& text);
// A message's text as a paragraph that runs the way its letters read.
QString asParagraph(const QString& text);
// A message joined from pieces written in left-to-right screen order (the
// sentence's last words first), as a right-to-left paragraph: the pieces
// from the last to the first, each kept whole in its own direction.
QString piecesFromTheRight(const std::vector<QString>& pieces);

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
