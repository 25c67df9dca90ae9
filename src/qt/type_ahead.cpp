#include "qt/type_ahead.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

// The window system's event queue is reached only through Qt's platform
// interface; it is the one place a key Qt would drop can still be saved.
#include <QtGui/private/qwindow_p.h>
#include <QtGui/qpa/qwindowsysteminterface.h>
#include <QtGui/qpa/qwindowsysteminterface_p.h>

namespace mk::qt {

namespace {

using Queue = QWindowSystemInterfacePrivate;

bool isInput(const Queue::WindowSystemEvent& e) {
    return e.type == Queue::Key || e.type == Queue::Mouse || e.type == Queue::Wheel;
}

std::unique_ptr<Queue::WindowSystemEvent> copyOf(const Queue::WindowSystemEvent& e) {
    switch (e.type) {
        case Queue::Key: return std::make_unique<Queue::KeyEvent>(static_cast<const Queue::KeyEvent&>(e));
        case Queue::Mouse:
            return std::make_unique<Queue::MouseEvent>(static_cast<const Queue::MouseEvent&>(e));
        case Queue::Wheel:
            return std::make_unique<Queue::WheelEvent>(static_cast<const Queue::WheelEvent&>(e));
        default: return nullptr;
    }
}

QWindow* shownModal() {
    QWindow* m = QGuiApplication::modalWindow();
    return m && m->isVisible() ? m : nullptr;
}

bool takesKeys(QWindow* w) { return w && w->isVisible() && !qt_window_private(w)->blockedByModalWindow; }

void sendTo(Queue::KeyEvent& key, QWindow* w) {
    key.window = w;
    key.flags &= ~Queue::WindowSystemEvent::NullWindow;
}

// A key for a window a modal box blocks goes to the box; a key for no
// window (or one closed meanwhile) goes to the window in front.
void route(Queue::WindowSystemEvent& e, const std::function<QWindow*()>& front) {
    if (e.type != Queue::Key) return;
    auto& key = static_cast<Queue::KeyEvent&>(e);
    QWindow* to = key.nullWindow() ? QGuiApplication::focusWindow() : key.window.data();
    if (takesKeys(to)) return;
    QWindow* instead = shownModal();
    if (!instead && (!to || !to->isVisible())) instead = front();
    if (instead && instead != to) sendTo(key, instead);
}

}  // namespace

struct TypeAhead::Held {
    std::unique_ptr<Queue::WindowSystemEvent> event;
};

class TypeAhead::Handler : public QWindowSystemEventHandler {
public:
    explicit Handler(TypeAhead& owner) : owner_(owner) {}
    bool sendEvent(Queue::WindowSystemEvent* e) override {
        if (!isInput(*e)) return QWindowSystemEventHandler::sendEvent(e);
        if (e->type == Queue::Key) {
            owner_.lastKey_.start();
            if (owner_.grabbed_) owner_.grabEnds_.start();
        }
        // Nothing passes what waits; a key waits while the program is busy.
        if (owner_.holding() || (e->type == Queue::Key && owner_.waiting())) {
            if (auto copy = copyOf(*e)) {
                owner_.held_.push_back(std::make_unique<Held>(Held{std::move(copy)}));
                if (!owner_.waiting()) owner_.resume();
                return true;
            }
        }
        route(*e, owner_.front_);
        return QWindowSystemEventHandler::sendEvent(e);
    }
    // Typed while the program was busy, a key goes where the keys go now
    // (had the program been quick, the window it has since put in front
    // would have had it), then as the window system's queue would send it.
    void deliver(Queue::WindowSystemEvent& e) {
        if (e.type == Queue::Key) {
            QWindow* now = QGuiApplication::focusWindow();
            if (!now || !now->isVisible()) now = owner_.front_();
            if (now) sendTo(static_cast<Queue::KeyEvent&>(e), now);
        }
        route(e, owner_.front_);
        QWindowSystemEventHandler::sendEvent(&e);
    }

private:
    TypeAhead& owner_;
};

TypeAhead* TypeAhead::current_ = nullptr;

TypeAhead::TypeAhead(std::function<bool()> busy, std::function<QWindow*()> front)
    : busy_(std::move(busy)), front_(std::move(front)), handler_(std::make_unique<Handler>(*this)) {
    current_ = this;
    QWindowSystemInterfacePrivate::installWindowSystemEventHandler(handler_.get());
    qApp->installEventFilter(this);
    // The keyboard goes back once the keys have stopped and nothing waits.
    grabEnds_.setSingleShot(true);
    grabEnds_.setInterval(kTypingMs);
    connect(&grabEnds_, &QTimer::timeout, this, [this] {
        if (held_.empty() && !waiting()) endGrab();
        else grabEnds_.start();
    });
}

TypeAhead::~TypeAhead() {
    if (current_ == this) current_ = nullptr;
    endGrab();
    QWindowSystemInterfacePrivate::removeWindowSystemEventhandler(handler_.get());
}

void TypeAhead::boxClosing(QWidget& box) {
    if (current_) current_->windowComing(box, false);
}

// A box shown or answered, or a window going, while keys come fast.
void TypeAhead::windowComing(QWidget& w, bool shown) {
    if (!typingAhead() || (shown && !w.isModal())) return;
    // The keyboard is held by the window under the box (a box shown or
    // answered), else by the window in front (a window closed).
    QWidget* under = w.parentWidget() ? w.parentWidget()->window() : nullptr;
    QWindow* to = under && under->isVisible() && w.isModal() ? under->windowHandle() : front_();
    if (!to || !to->isVisible() || to == w.windowHandle()) return;
    if (grabbed_ != to) {
        endGrab();
        // Where the window system has no grab (or another program holds
        // it), keys go as before.
        if (!to->setKeyboardGrabEnabled(true)) return;
        grabbed_ = to;
    }
    grabEnds_.start();
}

void TypeAhead::endGrab() {
    grabEnds_.stop();
    if (QWindow* w = grabbed_) w->setKeyboardGrabEnabled(false);
    grabbed_ = nullptr;
}

bool TypeAhead::waiting() const { return busy_() && !shownModal(); }

bool TypeAhead::typingAhead() const {
    return !held_.empty() || (lastKey_.isValid() && lastKey_.elapsed() < kTypingMs);
}

void TypeAhead::resume() {
    if (held_.empty() || releaseQueued_) return;
    releaseQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        releaseQueued_ = false;
        release();
    });
}

void TypeAhead::release() {
    // One at a time: a key may open a box whose own loop goes on with the rest.
    while (!held_.empty() && !waiting()) {
        std::unique_ptr<Held> next = std::move(held_.front());
        held_.pop_front();
        handler_->deliver(*next->event);
    }
}

bool TypeAhead::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type t = e->type();
    if ((t != QEvent::Show && t != QEvent::Hide) || !watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);
    const Qt::WindowType type = w->windowType();
    if (!w->isWindow() || type == Qt::Popup || type == Qt::ToolTip) return false;
    if (t == QEvent::Show && !held_.empty() && w->isModal()) resume();
    windowComing(*w, t == QEvent::Show);
    return false;
}

}  // namespace mk::qt
