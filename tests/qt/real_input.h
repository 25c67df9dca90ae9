// What a person does with the mouse and the keys, sent the way the window
// system sends it: to the window under the pointer or with the focus, so
// Qt's own dispatch (popups, modal boxes, shortcuts, double clicks) takes
// it from there. No Application call, no accessibility action.
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <Qt>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class QAbstractItemView;
class QAction;
class QComboBox;
class QWidget;

namespace mk::test::real {

// A left click (press and release) at `at` in `w`, its centre by default.
void click(QWidget& w, QPoint at = QPoint(-1, -1));
void doubleClick(QWidget& w, QPoint at = QPoint(-1, -1));

// A key pressed and let go where the keys go now: an open list first,
// else the focused widget of the active window. Enter is the keypad's.
void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Typed, one key after another, where the keys go now.
void type(const QString& text);
// Keys come together (a barcode reader, a fast typist, keys typed while
// the program is busy): all queued at once in the window system's queue,
// each for the window that has the keys when the program takes it (a
// window the program asked to activate takes them only once the window
// system has done so), then taken in turn, with nothing the program
// queued meanwhile run in between (but a box it shows runs while it waits).
struct Stroke {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    QString text = {};  // what the key types; a letter's own by default
};
void burst(const std::vector<Stroke>& strokes);
// Each character of `text` as one stroke of a burst.
std::vector<Stroke> strokes(const QString& text);

// Tab presses until `w` (or the widget it stands for) has the focus;
// false when it is not reached.
bool tabTo(QWidget& w, int most = 60);
// The widget the keys go to now.
QWidget* keyTarget();

// A menu command chosen with the mouse: its menu opened from the menu bar
// (and each sub-menu on the way), then the item clicked. False when a menu
// on the way did not open. Keys `typedAtOnce` after the click come before
// the program has handled it (queued with it, as in a burst).
bool chooseMenu(QAction& item, const std::vector<Stroke>& typedAtOnce = {});

enum class Open { Click, AltDown };
// Opens a chooser's list as a person does (a click on its arrow, or Alt+Down
// with the focus in it); the list, or null when none opened. After a
// click, waits as a person does before the next click (a release soon
// after the opening press is Qt's drag-to-pick, not a pick).
QAbstractItemView* openList(QComboBox& chooser, Open by = Open::Click);
// An open list (a popup) of `chooser`, or null.
QAbstractItemView* openListOf(QComboBox& chooser);
// A click on the entry reading `text`, at its place in the list; false
// when no entry reads so.
bool clickEntry(QAbstractItemView& list, const QString& text);
bool doubleClickEntry(QAbstractItemView& list, const QString& text);
// Down or Up presses until the entry reading `text` is highlighted.
bool highlight(QAbstractItemView& list, const QString& text);

// A whole pick: the list opened, then the entry clicked; or highlighted
// by the keys and taken with `finish` (Return, Enter).
bool pickByClick(QComboBox& chooser, const QString& text);
bool pickByKeys(QComboBox& chooser, const QString& text, Qt::Key finish = Qt::Key_Return,
                Open by = Open::AltDown);

// Runs `answer` once on the modal box named `name` ("MsgBox", "InputBox")
// as soon as it is up and takes the keys.
void whenBoxUp(const QString& name, std::function<void(QWidget&)> answer);

// While it lives, every modal box that comes up is answered by `keys`; a
// box the keys do not close is closed unanswered (and told in `seen`), so
// a test fails instead of waiting for ever.
class AnswerBoxesByKeys {
public:
    explicit AnswerBoxesByKeys(std::initializer_list<Qt::Key> keys = {Qt::Key_Return});
    ~AnswerBoxesByKeys();
    AnswerBoxesByKeys(const AnswerBoxesByKeys&) = delete;
    AnswerBoxesByKeys& operator=(const AnswerBoxesByKeys&) = delete;
    // Each box answered, as "title: text", in order.
    const QStringList& seen() const { return seen_; }

private:
    QStringList seen_;
    std::unique_ptr<QObject> timer_;
};

}  // namespace mk::test::real
