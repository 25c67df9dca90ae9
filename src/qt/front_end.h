// The front end: one Qt window per shown runtime window, kept up to date
// after every event, with all input going back through the Application.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/application.h"
#include "qt/text.h"

class QWidget;
class QWindow;

namespace mk::qt {

class FormWindow;
class ReportPreview;
class TypeAhead;

class FrontEnd : public QObject, public UiObserver {
    Q_OBJECT
public:
    explicit FrontEnd(Application& app, QObject* parent = nullptr);
    ~FrontEnd() override;

    Application& app() const { return app_; }
    const TwipScale& scale() const { return scale_; }

    // Leaves the Qt event loop when the program ends (off in tests).
    bool quitOnEnd = true;
    // A program left with no window shown ends, as closing its last window
    // would (no process without a window).
    bool endWithoutWindows = true;
    // Every pass draws every control of every shown window, changed or not,
    // instead of only what changed (to rule the difference out).
    bool fullSync = false;

    // UiObserver.
    void uiChanged() override;
    void reportOpened(const RenderedReport& report) override;
    void programEnded() override;

    // Brings every window up to date with the runtime now; `full` draws
    // every control, changed or not.
    void syncNow(bool full = false);
    bool isSyncing() const { return syncing_ > 0; }

    // Runs one piece of user input into the runtime. Windows whose forms
    // were unloaded meanwhile are deleted only once no input is running.
    void act(const std::function<void()>& input);
    bool isActing() const { return acting_ > 0; }

    // The window drawn for a loaded form, if it has been shown.
    FormWindow* window(const std::string& formName) const;
    std::vector<FormWindow*> windows() const;
    ReportPreview* preview(const std::string& reportName) const;
    // Where a message box belongs: the active window.
    QWidget* dialogParent() const;

    // The focus Qt gave a control's widget (a window opening, Tab, a click,
    // a window coming back to the front): the program's focus before any
    // later input is handled, or once the input running now is done.
    void focusGiven(FormWindow& window, QWidget& widget, Control& control);
    // Tells the program of the focus given, when no input is running.
    void deliverFocus();

    // Timers tick in real time through the application clock.
    void setTickInterval(int ms) { ticker_.setInterval(ms); }
    void stopTicking() { ticker_.stop(); }

signals:
    void ended();

protected:
    // Keys and clicks reaching a window: the focus given goes to the
    // program first; keys go on to keysTo_ while it waits for them; a
    // letter with Alt that no button or menu took is typed nowhere.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void act(const std::function<void()>& input, bool syncAfter);
    void tick();
    void reap();
    void scheduleReap();
    void checkForNoWindow();
    // The window drawn for a form whose Qt window is `handle`.
    FormWindow* windowOfHandle(const QObject* handle) const;

    Application& app_;
    TwipScale scale_;
    QTimer ticker_;
    std::map<Form*, FormWindow*> windows_;
    std::vector<FormWindow*> dead_;
    std::map<std::string, ReportPreview*> previews_;
    int syncing_ = 0;
    int acting_ = 0;
    bool syncAgain_ = false;
    bool fullAgain_ = false;
    bool reapPending_ = false;
    bool noWindowCheckPending_ = false;
    bool everShown_ = false;
    long long syncCount_ = 0;
    Form* lastActive_ = nullptr;
    // The window the program made active (a form's, a report preview),
    // until the window system gives it the keys: keys the window system
    // still sends to another window go to it, as typed after it opened.
    QPointer<QWidget> keysTo_;
    const QEvent* forwarding_ = nullptr;  // a key the filter sends on itself
    // The window the window system last gave the keys to.
    QPointer<QWindow> focusWindow_;
    // Passes on the keys of popups that have closed.
    std::unique_ptr<QObject> closedPopupKeys_;
    // Holds keys typed ahead while an action runs, and gives a box its keys.
    std::unique_ptr<TypeAhead> typeAhead_;
    struct GivenFocus {
        QPointer<FormWindow> window;
        QPointer<QWidget> widget;
        Control* control;
    };
    std::optional<GivenFocus> givenFocus_;
    Control* lastFocus_ = nullptr;
    long long lastFocusMoves_ = 0;
};

}  // namespace mk::qt
