#include "real_input.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>
#include <memory>
#include <vector>

namespace mk::test::real {

namespace {

// As a window manager does, the window a box or popup belonged to takes
// the keys again once it closes; the offscreen platform has no manager.
class WindowManager : public QObject {
public:
    static void ensure() {
        static WindowManager* manager = nullptr;
        if (manager) return;
        manager = new WindowManager;
        qApp->installEventFilter(manager);
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Hide || !o->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(o);
        QWidget* owner = w->isWindow() && w->parentWidget() ? w->parentWidget()->window() : nullptr;
        if (!owner) return false;
        QPointer<QWidget> back(owner);
        QTimer::singleShot(0, [back] {
            if (back && back->isVisible() && !QApplication::activeWindow() &&
                !QApplication::activePopupWidget())
                back->activateWindow();
        });
        return false;
    }
};

// Where `at` in `w` lies in its window, as the window system gives it.
void mouse(QTest::MouseAction action, QWidget& w, QPoint at) {
    WindowManager::ensure();
    if (at.x() < 0 || at.y() < 0) at = w.rect().center();
    QWidget* top = w.window();
    QWindow* handle = top->windowHandle();
    if (!handle) return;
    const QPoint inWindow = handle->mapFromGlobal(w.mapToGlobal(at));
    QTest::mouseEvent(QTest::MouseMove, handle, Qt::NoButton, {}, inWindow);
    QTest::mouseEvent(action, handle, Qt::LeftButton, {}, inWindow);
}

QWindow* keyWindow() {
    WindowManager::ensure();
    if (QWidget* t = keyTarget())
        if (QWindow* h = t->window()->windowHandle()) return h;
    return QGuiApplication::focusWindow();
}

QModelIndex entryOf(const QAbstractItemView& list, const QString& text) {
    const QAbstractItemModel* m = list.model();
    for (int r = 0; m && r < m->rowCount(list.rootIndex()); ++r) {
        const QModelIndex i = m->index(r, 0, list.rootIndex());
        QString shown = i.data(Qt::AccessibleTextRole).toString();
        if (shown.isEmpty()) shown = i.data().toString();
        if (shown == text) return i;
    }
    return {};
}

// A release in the list this soon after the press that opened it is
// taken for a drag from the chooser.
void waitOutOpeningPress() { QTest::qWait(QApplication::doubleClickInterval() + 60); }

}  // namespace

void click(QWidget& w, QPoint at) { mouse(QTest::MouseClick, w, at); }

void doubleClick(QWidget& w, QPoint at) { mouse(QTest::MouseDClick, w, at); }

QWidget* keyTarget() {
    if (QWidget* g = QWidget::keyboardGrabber()) return g;
    if (QWidget* p = QApplication::activePopupWidget()) return p->focusWidget() ? p->focusWidget() : p;
    if (QWidget* f = QApplication::focusWidget()) return f;
    if (QWidget* m = QApplication::activeModalWidget()) return m;
    return QApplication::activeWindow();
}

void key(Qt::Key k, Qt::KeyboardModifiers modifiers) {
    if (k == Qt::Key_Enter) modifiers |= Qt::KeypadModifier;
    if (QWindow* w = keyWindow()) QTest::keyClick(w, k, modifiers);
}

void type(const QString& text) {
    for (QChar c : text) {
        QWindow* w = keyWindow();
        if (!w) return;
        if (c.unicode() < 0x80) {
            QTest::keyClick(w, static_cast<char>(c.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

std::vector<Stroke> strokes(const QString& text) {
    std::vector<Stroke> out;
    for (QChar c : text) {
        const bool ascii = c.unicode() < 0x80;
        out.push_back({ascii ? QTest::asciiToKey(static_cast<char>(c.unicode())) : Qt::Key_unknown,
                       c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c)});
    }
    return out;
}

namespace {

// Each key down or up of `strokes`, queued in the window system's queue as
// a keyboard queues it: for the window `to`, or (null) for the window that
// has the keys when the program takes it.
void queueStrokes(const std::vector<Stroke>& strokes, QWindow* to) {
    auto queue = [to](QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(to, type, key,
                                                                                           modifiers, text);
    };
    // The modifiers go down before the key and up after it, as on a keyboard.
    const std::pair<Qt::KeyboardModifier, Qt::Key> modifierKeys[] = {{Qt::ShiftModifier, Qt::Key_Shift},
                                                                     {Qt::ControlModifier, Qt::Key_Control},
                                                                     {Qt::AltModifier, Qt::Key_Alt}};
    for (const Stroke& s : strokes) {
        QString text = s.text;
        if (text.isEmpty() && s.key >= Qt::Key_Space && s.key <= Qt::Key_AsciiTilde)
            text = QString(QChar::fromLatin1(QTest::keyToAscii(s.key)));
        if (s.key == Qt::Key_Tab) text = QStringLiteral("\t");
        if (s.key == Qt::Key_Return || s.key == Qt::Key_Enter) text = QStringLiteral("\r");
        Qt::KeyboardModifiers held;
        for (const auto& [modifier, key] : modifierKeys)
            if (s.modifiers & modifier) {
                queue(QEvent::KeyPress, key, held, {});
                held |= modifier;
            }
        queue(QEvent::KeyPress, s.key, s.modifiers, text);
        queue(QEvent::KeyRelease, s.key, s.modifiers, text);
        for (auto it = std::rbegin(modifierKeys); it != std::rend(modifierKeys); ++it)
            if (s.modifiers & it->first) {
                queue(QEvent::KeyRelease, it->second, held, {});
                held &= ~it->first;
            }
    }
}

// A left click at `at` in `w`, queued: the pointer is moved there now.
void queueClick(QWidget& w, QPoint at) {
    QWindow* handle = w.window()->windowHandle();
    if (!handle) return;
    const QPoint local = handle->mapFromGlobal(w.mapToGlobal(at));
    QTest::mouseMove(handle, local);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
            handle, QTest::lastMouseTimestamp, local, handle->mapToGlobal(QPointF(local)), held, Qt::LeftButton,
            type);
    }
}

// The program takes what was queued: every event in turn, before its own
// queued work.
void deliverQueued() { QWindowSystemInterface::flushWindowSystemEvents(); }

}  // namespace

void burst(const std::vector<Stroke>& strokes) {
    WindowManager::ensure();
    queueStrokes(strokes, nullptr);
    deliverQueued();
}

bool tabTo(QWidget& w, int most) {
    auto reached = [&w] {
        QWidget* f = QApplication::focusWidget();
        return f && (f == &w || w.isAncestorOf(f) || f->focusProxy() == &w);
    };
    for (int i = 0; i < most && !reached(); ++i) key(Qt::Key_Tab);
    return reached();
}

bool chooseMenu(QAction& item, const std::vector<Stroke>& typedAtOnce) {
    // The chain from the menu bar down to the item.
    std::vector<QAction*> chain{&item};
    QMenuBar* bar = nullptr;
    for (QAction* a = &item; !bar;) {
        QWidget* holder = nullptr;
        // The menu bar first: its own overflow menu holds its items too.
        for (QObject* o : a->associatedObjects())
            if (auto* w = qobject_cast<QWidget*>(o); w && w->actions().contains(a) && !holder)
                holder = w;
        for (QObject* o : a->associatedObjects())
            if (auto* b = qobject_cast<QMenuBar*>(o); b && b->actions().contains(a)) holder = b;
        if (auto* b = qobject_cast<QMenuBar*>(holder)) {
            bar = b;
        } else if (auto* menu = qobject_cast<QMenu*>(holder)) {
            a = menu->menuAction();
            chain.insert(chain.begin(), a);
        } else {
            return false;
        }
    }
    const QRect top = bar->actionGeometry(chain.front());
    if (top.isEmpty() || !bar->rect().contains(top.center())) {
        // A bar too narrow for its menus shows the rest under its extension button.
        auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
        if (!more || !more->isVisible()) return false;
        click(*more);
        chain.insert(chain.begin(), nullptr);
    } else {
        click(*bar, top.center());
    }
    for (size_t i = 1; i < chain.size(); ++i) {
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!open || !open->actions().contains(chain[i])) return false;
        const QPoint at = open->actionGeometry(chain[i]).center();
        if (i + 1 < chain.size() || typedAtOnce.empty()) {
            click(*open, at);
            continue;
        }
        // The open menu holds the keyboard: the window system sends it the
        // keys typed before the program has handled the click.
        queueClick(*open, at);
        queueStrokes(typedAtOnce, open->windowHandle());
        deliverQueued();
    }
    return true;
}

QAbstractItemView* openListOf(QComboBox& chooser) {
    QAbstractItemView* v = chooser.view();
    return v && v->isVisible() ? v : nullptr;
}

QAbstractItemView* openList(QComboBox& chooser, Open by) {
    if (by == Open::Click) {
        QStyleOptionComboBox option;
        option.initFrom(&chooser);
        option.editable = chooser.isEditable();
        option.subControls = QStyle::SC_All;
        const QRect arrow = chooser.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                            QStyle::SC_ComboBoxArrow, &chooser);
        click(chooser, arrow.isValid() ? arrow.center() : QPoint(-1, -1));
        waitOutOpeningPress();
    } else {
        if (!tabTo(chooser, 0)) {
            // Into the box first, as a person clicks into it; a box that
            // is no text field opens on that click already.
            click(chooser, chooser.isEditable() ? chooser.rect().center() : QPoint(2, 2));
            if (openListOf(chooser)) key(Qt::Key_Escape);
        }
        key(Qt::Key_Down, Qt::AltModifier);
    }
    QTest::qWait(10);
    return openListOf(chooser);
}

namespace {

bool mouseOnEntry(QTest::MouseAction action, QAbstractItemView& list, const QString& text) {
    const QModelIndex i = entryOf(list, text);
    if (!i.isValid()) return false;
    list.scrollTo(i);
    const QRect r = list.visualRect(i);
    if (!r.isValid()) return false;
    mouse(action, *list.viewport(), r.center());
    return true;
}

}  // namespace

bool clickEntry(QAbstractItemView& list, const QString& text) {
    return mouseOnEntry(QTest::MouseClick, list, text);
}

bool doubleClickEntry(QAbstractItemView& list, const QString& text) {
    return mouseOnEntry(QTest::MouseDClick, list, text);
}

bool highlight(QAbstractItemView& list, const QString& text) {
    const QModelIndex want = entryOf(list, text);
    if (!want.isValid()) return false;
    const int rows = list.model()->rowCount(list.rootIndex());
    for (int i = 0; i <= rows && list.currentIndex() != want; ++i)
        key(list.currentIndex().isValid() && list.currentIndex().row() > want.row() ? Qt::Key_Up
                                                                                     : Qt::Key_Down);
    return list.currentIndex() == want;
}

bool pickByClick(QComboBox& chooser, const QString& text) {
    QAbstractItemView* list = openList(chooser, Open::Click);
    return list && clickEntry(*list, text);
}

bool pickByKeys(QComboBox& chooser, const QString& text, Qt::Key finish, Open by) {
    QAbstractItemView* list = openList(chooser, by);
    if (!list || !highlight(*list, text)) return false;
    key(finish);
    return true;
}

void whenBoxUp(const QString& name, std::function<void(QWidget&)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, name, answer] {
        QWidget* m = QApplication::activeModalWidget();
        if (!m || m->objectName() != name || !m->isActiveWindow()) return;
        timer->stop();
        timer->deleteLater();
        answer(*m);
    });
    timer->start();
}

AnswerBoxesByKeys::AnswerBoxesByKeys(std::initializer_list<Qt::Key> keys) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    const std::vector<Qt::Key> pressed(keys);
    auto last = std::make_shared<QPointer<QWidget>>();
    auto tries = std::make_shared<int>(0);
    auto answered = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, [this, pressed, last, tries, answered] {
        QWidget* m = QApplication::activeModalWidget();
        if (!m) return;
        if (m != *last) {
            *last = m;
            *tries = 0;
            *answered = false;
        }
        // Its keys reach it once it is the active window.
        if (m->isActiveWindow() && !*answered) {
            *answered = true;
            QString text;
            if (auto* box = qobject_cast<QMessageBox*>(m)) text = box->accessibleDescription();
            else text = m->accessibleDescription();
            seen_ << m->windowTitle() + QStringLiteral(": ") + text.trimmed();
            for (Qt::Key k : pressed) key(k);
            return;
        }
        // Still up long after: closed unanswered.
        if (++*tries > 50) {
            seen_ << QStringLiteral("(not closed by its keys) ") + m->windowTitle() + QStringLiteral(": ") +
                         m->accessibleDescription().trimmed();
            if (auto* d = qobject_cast<QDialog*>(m)) d->reject();
        }
    });
    timer->start();
    timer_.reset(timer);
}

AnswerBoxesByKeys::~AnswerBoxesByKeys() = default;

}  // namespace mk::test::real
