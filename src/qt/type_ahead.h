// Keys typed ahead of the program. The window system gives a key to the
// window that has the keys when it is typed; by the time the program
// handles it, a box the program showed meanwhile may be waiting for it, or
// the program may be in the middle of the action an earlier key started.
// Every key, mouse and wheel event the window system queues passes here
// first:
// - a key for a window a modal box blocks goes to the box, as if typed
//   after it showed (Qt would drop it); a key for no window, or for one
//   closed meanwhile, goes to the box or the window in front;
// - while the program is in the middle of an action with no box up (a box
//   just answered, the next not yet shown), keys wait, and so does every
//   input event behind them, until a box shows or the action is done;
//   then they go on in order, to where the keys go then;
// - while keys come fast and boxes come and go, the window manager moves
//   the keys from window to window, and a key typed while no window has
//   them is lost: the window under the box (or the one in front) holds
//   the keyboard until the keys stop coming.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

class QWidget;
class QWindow;

namespace mk::qt {

class TypeAhead : public QObject {
public:
    // `busy` tells whether the program is in the middle of an action;
    // `front` is the window the program has put in front.
    TypeAhead(std::function<bool()> busy, std::function<QWindow*()> front);
    ~TypeAhead() override;
    TypeAhead(const TypeAhead&) = delete;
    TypeAhead& operator=(const TypeAhead&) = delete;

    // The program finished an action: what waits goes on, from the event loop.
    void resume();
    // A box is answered and about to go (before its window goes).
    static void boxClosing(QWidget& box);

protected:
    // Boxes shown and windows going.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    class Handler;
    struct Held;
    friend class Handler;

    bool holding() const { return !held_.empty(); }
    bool waiting() const;
    void release();
    // Whether keys are coming fast now.
    bool typingAhead() const;
    void windowComing(QWidget& w, bool shown);
    void endGrab();

    // Keys this close together are typed ahead.
    static constexpr int kTypingMs = 300;
    static TypeAhead* current_;

    std::function<bool()> busy_;
    std::function<QWindow*()> front_;
    std::unique_ptr<Handler> handler_;
    std::deque<std::unique_ptr<Held>> held_;
    bool releaseQueued_ = false;
    QElapsedTimer lastKey_;
    QPointer<QWindow> grabbed_;  // holds the keyboard while keys come fast
    QTimer grabEnds_;
};

}  // namespace mk::qt
