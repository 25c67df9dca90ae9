// A running front end for tests: Qt's offscreen platform, a temporary
// data root, the application with real Qt dialogs and a fake clock.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "platform/application.h"
#include "qt/dialogs_qt.h"
#include "qt/form_window.h"
#include "qt/front_end.h"
#include "support/harness.h"

namespace mk::test {

// The QApplication all Qt tests share, made on first use.
void ensureQtApp();

struct QtAppFirst {
    QtAppFirst() { ensureQtApp(); }
};

struct QtRig : QtAppFirst {
    QtRig();
    ~QtRig();

    TempRoot root;
    FakeClock clock;
    Machine machine;
    qt::QtDialogs dialogs;
    Application app;
    std::unique_ptr<qt::FrontEnd> frontEnd;

    Database& db();
    qt::FormWindow& show(const std::string& form);
    qt::FormWindow* window(const std::string& form) { return frontEnd->window(form); }
    QWidget* widget(const std::string& form, const std::string& control, int index = -1);
};

// Whether the permissions switch (DIM.SECURITY) is on, which some windows
// and menus follow.
enum class Permissions { Off, On };
inline void PrintTo(Permissions p, std::ostream* os) { *os << (p == Permissions::On ? "on" : "off"); }

// The program's windows registered over a company with one item group,
// then every one of them opened as its menu would; `each` is called with
// every window shown after each opening (so once per window at least).
void openEveryWindow(QtRig& rig, const std::function<void(qt::FormWindow&)>& each,
                     Permissions permissions = Permissions::Off);

// The program started as its main function starts it: its windows
// registered, its first window shown.
void launchProgram(QtRig& rig);

// The program started over a company with group G1 (item "bolt", 10 in
// stock at 25) and a new day begun: the main window.
qt::FormWindow& startMainWindow(QtRig& rig);
// Then the retail window opened from the main window's menu.
qt::FormWindow& openRetailWindow(QtRig& rig);

// Runs `answer` on the modal dialog named `name` ("MsgBox", "InputBox")
// as soon as it is up.
void whenModal(const QString& name, std::function<void(QWidget&)> answer);

// While it lives, every box that comes up is closed with the answer that
// changes nothing (for windows whose start may ask something).
class AnswerEveryBox {
public:
    AnswerEveryBox();
    ~AnswerEveryBox();

private:
    std::unique_ptr<QObject> timer_;
};

// Where a part of a text starts on screen (its leftmost ink, in pixels),
// the text laid out on one line as a label lays it out: its paragraph
// runs the way its first letter reads.
double inkLeftOf(const QString& text, const QString& part, const QFont& font);

// The angle brackets as drawn in a text laid out as inkLeftOf lays it out
// (mirrored ones as they look): the leftmost and the rightmost, null when
// none is drawn.
struct Brackets {
    QChar left, right;
};
Brackets bracketsOf(const QString& text, const QFont& font);

// Saves a picture of `w` as <name>.png in the folder MAKHZAN_SHOTS names,
// for a person to look at; does nothing when none is named.
void shoot(QWidget& w, const QString& name);

// Lets queued Qt events run for a moment.
void settle(int ms = 30);

// How many pixels differ from the most common colour.
long inkPixels(const QImage& image);

}  // namespace mk::test
