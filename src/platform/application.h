// The application: the loaded windows (one instance per window class),
// events raised as user actions, focus, timers on the application clock,
// dialogs, and opened reports.
//
// After a user action commits, every loaded window is told which tables it
// wrote (Form::tablesChanged), then the steps the action queued with
// afterCommit run, each as a user action of its own. So a message that
// reports something as stored is shown only once it is, and no box is
// shown while a write transaction is open.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/form.h"
#include "platform/machine.h"
#include "platform/report.h"

namespace mk {

// Told by the application when the windows may have changed, so the front
// end can bring what it draws up to date, and when a report opens.
class UiObserver {
public:
    virtual ~UiObserver() = default;
    virtual void uiChanged() {}
    virtual void reportOpened(const RenderedReport&) {}
    virtual void programEnded() {}
};

enum class Nav { First, Previous, Next, Last };

class Application {
public:
    Application(Machine& machine, Clock& clock, Dialogs& dialogs);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Machine& machine() const { return machine_; }
    Clock& clock() const { return clock_; }
    Dialogs& dialogs() const { return dialogs_; }
    void setObserver(UiObserver* o) { observer_ = o; }

    // The title of a box that names none.
    std::string defaultTitle = "makhzan";

    // Window classes.
    using Factory = std::function<std::unique_ptr<Form>(Application&)>;
    void registerForm(const std::string& name, Factory factory);
    template <class F>
    void registerForm() {
        registerForm(F::kName, [](Application& a) { return std::make_unique<F>(a); });
    }
    bool isRegistered(std::string_view name) const;
    std::vector<std::string> registeredForms() const;  // upper-case names

    // The window; reaching one that is not loaded loads it hidden and runs
    // its load handler.
    Form& form(std::string_view name);
    template <class F>
    F& form() {
        return static_cast<F&>(form(F::kName));
    }
    Form* loadedForm(std::string_view name) const;
    bool isLoaded(std::string_view name) const { return loadedForm(name) != nullptr; }
    std::vector<Form*> loadedForms() const;  // in load order
    std::vector<Form*> visibleForms() const;  // back to front

    void show(Form& f, bool modal = false);
    void hide(Form& f);
    void unload(Form& f);

    // Unloading the main window ends the program and unloads every window.
    void setMainForm(const std::string& name) { mainForm_ = name; }
    void start(const std::string& firstForm);
    bool ended() const { return ended_; }
    Form* activeForm() const { return active_; }

    // Focus.
    Control* focused() const { return focused_; }
    // How many times code has moved the focus (SetFocus), so a front end
    // follows each move, also one back to where its own focus was.
    long long focusMovesByCode() const { return focusMovesByCode_; }
    void setFocus(Control& c);  // by code: lost focus, then got focus

    // Dialogs.
    int msgBox(const std::string& prompt, int style = 0, const std::string& title = {});
    // See Dialogs::messageBoxLeftToRight.
    int msgBoxLeftToRight(const std::vector<std::string>& pieces, int style = 0,
                          const std::string& title = {});
    std::string inputBox(const std::string& prompt, const std::string& title = {},
                         const std::string& defaultText = {});

    // User input, from the front end or a test. Each is one user action;
    // input to a hidden, disabled or unloaded window is ignored.
    bool click(Control& c);
    bool dblClick(Control& c);
    bool focusByUser(Control& c);
    bool typeText(TextBox& box, const std::string& text);
    bool typeText(DataCombo& combo, const std::string& text);
    // A whole text put in at once (by an assistive tool): typed, then the
    // box is left, so its lost-focus handler runs as when a user types and
    // moves on.
    bool enterText(DataCombo& combo, const std::string& text);
    bool keyPress(TextBox& box, int key);
    bool choose(DataCombo& combo, const std::string& text);  // a pick from its list
    bool choose(ComboBox& combo, int index);
    bool choose(ListBox& list, int index);
    bool menuClick(MenuItem& item);
    bool navigate(Adodc& dc, Nav where);
    bool chooseDrive(DriveListBox& list, const std::string& drive);
    bool chooseFolder(DirListBox& list, const std::string& path);
    bool chooseFile(FileListBox& list, const std::string& name);
    bool closeByUser(Form& f);
    bool canTakeInput(const Control& c) const;

    // Events raised by code (a change event of a folder list whose path
    // code sets): run now; failures go on to the calling handler.
    void raise(Form& f, Event<>& ev);

    // Tells the user of a failure in the windows' language and writes its
    // technical detail to the program's log (see platform/failure.h).
    void tellFailure(const std::exception& e);

    // Queues a step to run once the user action now running has committed,
    // as a user action of its own (its own transaction, failures shown), in
    // the order queued. A rolled-back action drops its steps. Outside a
    // user action the step runs at once.
    void afterCommit(std::function<void()> step);

    // Timers: fire every timer whose time has come, in time order.
    void runDueTimers();
    long long nextTimerDue() const;  // -1 when no timer runs

    // Paints windows shown since their last paint (once per showing).
    void runPendingPaints();

    // Reports.
    void showReport(RenderedReport report);
    const std::map<std::string, RenderedReport>& openedReports() const { return reports_; }
    const RenderedReport* lastReport() const;
    const RenderedReport* report(const std::string& name) const;
    // The report's window was closed: its rows are let go.
    void closeReport(const std::string& name);

    int dispatchDepth() const { return depth_; }

    // True the first time a key is given in this run of the program (for
    // a notice shown once).
    bool firstTime(const std::string& key) { return noticed_.insert(key).second; }

private:
    using Body = std::function<void()>;
    // Text typed into a box or a chooser's box, as one user action.
    template <class Box>
    bool typeInto(Box& box, const std::string& text);
    // One event as a user action: its own transaction, failures shown.
    bool userEvent(Form& f, Event<>* ev, const Body& body);
    // Runs body as one user action of window f (null: of no window); once
    // it has committed, the committed steps follow. False when it failed
    // (rolled back and shown); then, for an action of the user's input
    // (putBack), every window shows again what it showed before it.
    bool runAction(Form* f, Event<>* ev, const Body& body, bool putBack = false);
    // Once the outermost action has committed: the windows are told which
    // tables were written, then the queued steps run.
    void afterCommitted();
    // Runs an event handler with the re-entry guard (f null: no window's).
    void runGuarded(Form* f, Event<>* ev, const Body& body);
    void afterUserEvent();
    void loadForm(const std::string& key, Form& f);
    // Drops a window whose load failed, running none of its handlers.
    void discard(Form& f);
    void detach(Form& f);
    void moveFocus(Control* to, bool byUser);
    void notify();
    void collectGarbage();

    Machine& machine_;
    Clock& clock_;
    Dialogs& dialogs_;
    UiObserver* observer_ = nullptr;
    std::map<std::string, Factory> factories_;  // key: upper-case name
    std::map<std::string, std::unique_ptr<Form>> loaded_;
    std::vector<Form*> loadOrder_;
    std::vector<Form*> zOrder_;
    std::vector<std::unique_ptr<Form>> graveyard_;
    std::string mainForm_;
    bool ended_ = false;
    Form* active_ = nullptr;
    Control* focused_ = nullptr;
    long long focusMovesByCode_ = 0;
    int depth_ = 0;
    bool painting_ = false;
    std::map<std::string, RenderedReport> reports_;
    std::string lastReport_;
    std::set<std::string> noticed_;
    struct Step {
        Form* form;  // the window whose action queued it
        Body body;
    };
    std::vector<Step> steps_;     // queued by the running action
    Form* actionForm_ = nullptr;  // the window whose user action runs
};

}  // namespace mk
