#include "platform/application.h"

#include <algorithm>
#include <optional>

#include "platform/failure.h"
#include "platform/window_state.h"

namespace mk {

namespace {

template <class V, class T>
void eraseValue(V& v, const T& x) {
    v.erase(std::remove(v.begin(), v.end(), x), v.end());
}

}  // namespace

Application::Application(Machine& machine, Clock& clock, Dialogs& dialogs)
    : machine_(machine), clock_(clock), dialogs_(dialogs) {}

Application::~Application() {
    ended_ = true;
    focused_ = nullptr;
    active_ = nullptr;
    loadOrder_.clear();
    zOrder_.clear();
    loaded_.clear();
    graveyard_.clear();
}

void Application::registerForm(const std::string& name, Factory factory) {
    factories_[upperAscii(name)] = std::move(factory);
}

bool Application::isRegistered(std::string_view name) const {
    return factories_.count(upperAscii(name)) > 0;
}

std::vector<std::string> Application::registeredForms() const {
    std::vector<std::string> names;
    names.reserve(factories_.size());
    for (const auto& [name, factory] : factories_) names.push_back(name);
    return names;
}

Form* Application::loadedForm(std::string_view name) const {
    auto it = loaded_.find(upperAscii(name));
    return it == loaded_.end() ? nullptr : it->second.get();
}

std::vector<Form*> Application::loadedForms() const { return loadOrder_; }

std::vector<Form*> Application::visibleForms() const {
    std::vector<Form*> out;
    for (Form* f : zOrder_)
        if (f->visible_) out.push_back(f);
    return out;
}

Form& Application::form(std::string_view name) {
    std::string key = upperAscii(name);
    if (auto it = loaded_.find(key); it != loaded_.end()) return *it->second;
    auto fit = factories_.find(key);
    if (fit == factories_.end())
        throw RuntimeError(err::WindowNotAvailable,
                           "The window " + std::string(name) + " is not available.");
    std::unique_ptr<Form> f = fit->second(*this);
    Form& ref = *f;
    loaded_[key] = std::move(f);
    loadOrder_.push_back(&ref);
    loadForm(key, ref);
    return ref;
}

void Application::loadForm(const std::string&, Form& f) {
    f.loaded_ = true;
    for (const auto& c : f.controls_)
        if (c->kind() == ControlKind::Timer) {
            auto* t = static_cast<Timer*>(c.get());
            if (t->enabled) t->start();
        }
    Body body = [&f] { f.Form_Load(); };
    // A window whose load failed is not kept half loaded: the next use
    // loads it afresh (and meets the failure again).
    // The failure goes on to whoever reached the window, which reports it.
    const bool outermost = depth_ == 0;
    try {
        if (outermost) machine_.action([&] { runGuarded(&f, &f.loadEvent_, body); });
        else runGuarded(&f, &f.loadEvent_, body);
    } catch (...) {
        if (outermost) steps_.clear();
        discard(f);
        throw;
    }
    if (outermost) {
        afterCommitted();
        afterUserEvent();
    }
}

void Application::discard(Form& f) {
    detach(f);
    notify();
}

// Closes a window's data controls and timers and drops it from the loaded
// windows; it is destroyed once no handler of it runs.
void Application::detach(Form& f) {
    for (const auto& c : f.controls_) {
        if (c->kind() == ControlKind::DataControl) static_cast<Adodc*>(c.get())->close();
        if (c->kind() == ControlKind::Timer) static_cast<Timer*>(c.get())->nextDue = 0;
    }
    f.loaded_ = false;
    f.visible_ = false;
    f.paintPending_ = false;
    eraseValue(loadOrder_, &f);
    eraseValue(zOrder_, &f);
    if (focused_ && &focused_->form() == &f) focused_ = nullptr;
    if (active_ == &f) active_ = zOrder_.empty() ? nullptr : zOrder_.back();
    for (auto it = loaded_.begin(); it != loaded_.end(); ++it)
        if (it->second.get() == &f) {
            graveyard_.push_back(std::move(it->second));
            loaded_.erase(it);
            break;
        }
}

void Application::show(Form& target, bool modal) {
    Form* f = &target;
    if (!f->loaded_) f = &form(target.name());
    if (!f->loaded_) return;
    if (!f->visible_) {
        f->visible_ = true;
        f->paintPending_ = true;
    }
    f->modal_ = modal;
    eraseValue(zOrder_, f);
    zOrder_.push_back(f);
    active_ = f;
    if (depth_ == 0) {
        runPendingPaints();
        collectGarbage();
    }
    notify();
}

void Application::hide(Form& f) {
    if (!f.loaded_) return;
    f.visible_ = false;
    f.paintPending_ = false;
    eraseValue(zOrder_, &f);
    if (active_ == &f) active_ = zOrder_.empty() ? nullptr : zOrder_.back();
    if (focused_ && &focused_->form() == &f) focused_ = nullptr;
    notify();
}

void Application::unload(Form& f) {
    if (!f.loaded_ || f.unloading_) return;
    f.unloading_ = true;
    Body body = [&f] { f.Form_Unload(); };
    try {
        if (depth_ == 0) userEvent(f, &f.unloadEvent_, body);
        else runGuarded(&f, &f.unloadEvent_, body);
    } catch (...) {
        f.unloading_ = false;
        throw;
    }
    f.unloading_ = false;
    detach(f);
    if (!ended_ && !mainForm_.empty() && namesEqual(f.name(), mainForm_)) {
        ended_ = true;
        for (Form* other : std::vector<Form*>(loadOrder_)) unload(*other);
        if (observer_) observer_->programEnded();
    } else if (!ended_ && loaded_.empty()) {
        // The program ends when no window of it remains loaded.
        ended_ = true;
        if (observer_) observer_->programEnded();
    }
    if (depth_ == 0) collectGarbage();
    notify();
}

void Application::start(const std::string& firstForm) { show(form(firstForm)); }

void Application::setFocus(Control& c) {
    if (!c.isShowing() || !c.isEffectivelyEnabled() || !c.canFocus() || !c.form().loaded_ ||
        c.isCovered())
        throw RuntimeError(5, "The control " + c.fullName() + " cannot take the focus now.");
    ++focusMovesByCode_;
    moveFocus(&c, false);
}

void Application::moveFocus(Control* to, bool byUser) {
    Control* from = focused_;
    if (from == to) return;
    focused_ = to;
    auto raiseOn = [&](Control* c, Event<>& ev) {
        if (!ev.fn) return;
        Form& f = c->form();
        Body body = [&ev] { ev.fn(); };
        if (byUser && depth_ == 0) userEvent(f, &ev, body);
        else runGuarded(&f, &ev, body);
    };
    if (from && from->form().loaded_) raiseOn(from, from->onLostFocus);
    if (to && to->form().loaded_) {
        active_ = &to->form();
        raiseOn(to, to->onGotFocus);
    }
}

int Application::msgBox(const std::string& prompt, int style, const std::string& title) {
    notify();
    int r = dialogs_.messageBox(prompt, title.empty() ? defaultTitle : title, style);
    notify();
    return r;
}

int Application::msgBoxLeftToRight(const std::vector<std::string>& pieces, int style,
                                   const std::string& title) {
    notify();
    int r = dialogs_.messageBoxLeftToRight(pieces, title.empty() ? defaultTitle : title, style);
    notify();
    return r;
}

std::string Application::inputBox(const std::string& prompt, const std::string& title,
                                  const std::string& defaultText) {
    notify();
    auto r = dialogs_.inputBox(prompt, title.empty() ? defaultTitle : title, defaultText);
    notify();
    return r.value_or("");
}

// ------------------------------------------------------------ dispatch

void Application::runGuarded(Form* f, Event<>* ev, const Body& body) {
    if (ev) {
        if (ev->running) return;
        ev->running = true;
    }
    if (f) ++f->busy_;
    ++depth_;
    struct Restore {
        Form* f;
        Event<>* ev;
        int& depth;
        ~Restore() {
            if (ev) ev->running = false;
            if (f) --f->busy_;
            --depth;
        }
    } restore{f, ev, depth_};
    body();
}

bool Application::userEvent(Form& f, Event<>* ev, const Body& body) {
    if (!f.loaded_) return false;
    if (ev && ev->running) return false;
    runAction(&f, ev, body, true);
    afterUserEvent();
    return true;
}

bool Application::runAction(Form* f, Event<>* ev, const Body& body, bool putBack) {
    Form* const outer = actionForm_;
    actionForm_ = f;
    // A failed press leaves every window as it was (rolled back whole).
    std::optional<WindowState> before;
    if (putBack && machine_.actionDepth() == 0) before.emplace(loadOrder_, focused_);
    try {
        machine_.action([&] { runGuarded(f, ev, body); });
    } catch (const std::exception& e) {
        actionForm_ = outer;
        // A step queued by an action that was rolled back reports nothing.
        if (machine_.actionDepth() == 0) steps_.clear();
        try {
            if (f && f->loaded_)
                for (const auto& step : f->failureSteps_) step();
        } catch (...) {
        }
        if (before) {
            before->restore(loadOrder_);
            Control* focus = before->focus();
            if (focus != focused_ && (!focus || focus->form().loaded_)) {
                focused_ = focus;
                ++focusMovesByCode_;
            }
        }
        tellFailure(e);
        return false;
    }
    actionForm_ = outer;
    afterCommitted();
    return true;
}

void Application::afterCommitted() {
    // An action nested in a running one commits with it.
    if (machine_.actionDepth() > 0) return;
    std::vector<Step> steps = std::move(steps_);
    steps_.clear();
    const ChangedTables tables = machine_.takeCommittedTables();
    if (!tables.empty())
        for (Form* w : std::vector<Form*>(loadOrder_))
            if (w->loaded_) runAction(w, nullptr, [w, &tables] { w->tablesChanged(tables); });
    for (Step& step : steps) runAction(step.form && step.form->loaded_ ? step.form : nullptr,
                                       nullptr, step.body);
}

void Application::afterCommit(std::function<void()> step) {
    if (machine_.actionDepth() == 0) {
        step();
        return;
    }
    steps_.push_back({actionForm_, std::move(step)});
}

void Application::tellFailure(const std::exception& e) {
    writeLog(machine_.root(), failureDetail(e));
    msgBox(failureMessage(e), mb::Critical);
}

void Application::afterUserEvent() {
    if (depth_ == 0) {
        runPendingPaints();
        collectGarbage();
    }
    notify();
}

void Application::raise(Form& f, Event<>& ev) {
    if (!ev.fn) return;
    Body body = [&ev] { ev.fn(); };
    if (depth_ == 0) userEvent(f, &ev, body);
    else runGuarded(&f, &ev, body);
}

void Application::runPendingPaints() {
    if (painting_) return;
    painting_ = true;
    for (int guard = 0; guard < 1000; ++guard) {
        Form* next = nullptr;
        for (Form* f : loadOrder_)
            if (f->loaded_ && f->visible_ && f->paintPending_) {
                next = f;
                break;
            }
        if (!next) break;
        next->paintPending_ = false;
        userEvent(*next, &next->paintEvent_, [next] { next->Form_Paint(); });
    }
    painting_ = false;
}

void Application::collectGarbage() {
    if (depth_ == 0 && !painting_) graveyard_.clear();
}

void Application::notify() {
    if (observer_) observer_->uiChanged();
}

// ------------------------------------------------------------ user input

bool Application::canTakeInput(const Control& c) const {
    const Form& f = c.form();
    return !ended_ && f.loaded_ && f.visible_ && f.enabled && c.isShowing() &&
           c.isEffectivelyEnabled() && !c.isCovered();
}

bool Application::focusByUser(Control& c) {
    if (!canTakeInput(c) || !c.canFocus()) return false;
    moveFocus(&c, true);
    return true;
}

bool Application::click(Control& c) {
    if (!canTakeInput(c)) return false;
    if (c.canFocus()) moveFocus(&c, true);
    if (!canTakeInput(c)) return false;
    Form& f = c.form();
    if (c.kind() == ControlKind::CheckBox) {
        auto& cb = static_cast<CheckBox&>(c);
        cb.setValue(cb.value() == 1 ? 0 : 1);
    } else if (c.kind() == ControlKind::OptionButton) {
        for (const auto& other : f.controls_)
            if (other->kind() == ControlKind::OptionButton && other->container == c.container)
                static_cast<OptionButton*>(other.get())->value = other.get() == &c;
    }
    if (c.onClick) userEvent(f, &c.onClick, [&c] { c.onClick.fn(); });
    else notify();
    return true;
}

bool Application::dblClick(Control& c) {
    if (!canTakeInput(c)) return false;
    if (c.canFocus()) moveFocus(&c, true);
    if (c.onDblClick) userEvent(c.form(), &c.onDblClick, [&c] { c.onDblClick.fn(); });
    return true;
}

template <class Box>
bool Application::typeInto(Box& box, const std::string& text) {
    if (!canTakeInput(box) || box.locked) return false;
    moveFocus(&box, true);
    if (!canTakeInput(box) || box.locked) return false;
    box.setText(text);
    if (DataControl* dc = box.dataSource()) dc->noteTyped(box);
    if (box.onChange) userEvent(box.form(), &box.onChange, [&box] { box.onChange.fn(); });
    else notify();
    return true;
}

bool Application::typeText(TextBox& box, const std::string& text) { return typeInto(box, text); }

bool Application::typeText(DataCombo& combo, const std::string& text) { return typeInto(combo, text); }

bool Application::enterText(DataCombo& combo, const std::string& text) {
    if (!typeText(combo, text)) return false;
    if (focused_ == &combo) moveFocus(nullptr, true);
    return true;
}

bool Application::keyPress(TextBox& box, int key) {
    if (!canTakeInput(box) || box.locked) return false;
    moveFocus(&box, true);
    int k = key;
    if (box.onKeyPress.fn && !box.onKeyPress.running) {
        box.onKeyPress.running = true;
        struct Reset {
            bool& r;
            ~Reset() { r = false; }
        } reset{box.onKeyPress.running};
        userEvent(box.form(), nullptr, [&box, &k] { box.onKeyPress.fn(k); });
    }
    if (k >= 32 && !box.locked && box.form().loaded_) {
        std::string t = box.text();
        if (k < 0x80) {
            t += static_cast<char>(k);
        } else if (k < 0x800) {
            t += static_cast<char>(0xC0 | (k >> 6));
            t += static_cast<char>(0x80 | (k & 0x3F));
        } else {
            t += static_cast<char>(0xE0 | (k >> 12));
            t += static_cast<char>(0x80 | ((k >> 6) & 0x3F));
            t += static_cast<char>(0x80 | (k & 0x3F));
        }
        box.setText(t);
        if (box.onChange) userEvent(box.form(), &box.onChange, [&box] { box.onChange.fn(); });
    }
    return true;
}

bool Application::choose(DataCombo& combo, const std::string& text) {
    if (!canTakeInput(combo) || combo.locked) return false;
    moveFocus(&combo, true);
    if (!canTakeInput(combo) || combo.locked) return false;
    combo.setText(text);
    if (DataControl* dc = combo.dataSource()) dc->noteTyped(combo);
    if (combo.onChange) userEvent(combo.form(), &combo.onChange, [&combo] { combo.onChange.fn(); });
    if (combo.onClick && combo.form().loaded_)
        userEvent(combo.form(), &combo.onClick, [&combo] { combo.onClick.fn(); });
    notify();
    return true;
}

bool Application::choose(ComboBox& combo, int index) {
    if (!canTakeInput(combo) || combo.locked) return false;
    if (index < 0 || index >= static_cast<int>(combo.items->size())) return false;
    moveFocus(&combo, true);
    combo.listIndex = index;
    combo.text = combo.items[static_cast<size_t>(index)];
    if (combo.onClick) userEvent(combo.form(), &combo.onClick, [&combo] { combo.onClick.fn(); });
    else notify();
    return true;
}

bool Application::choose(ListBox& list, int index) {
    if (!canTakeInput(list)) return false;
    if (index < 0 || index >= static_cast<int>(list.items->size())) return false;
    moveFocus(&list, true);
    list.listIndex = index;
    if (list.onClick) userEvent(list.form(), &list.onClick, [&list] { list.onClick.fn(); });
    else notify();
    return true;
}

bool Application::menuClick(MenuItem& item) {
    Form& f = item.form();
    if (ended_ || !f.loaded_ || !f.visible_ || !f.enabled || !item.isAvailable()) return false;
    if (!item.children().empty()) return false;
    if (item.onClick) userEvent(f, &item.onClick, [&item] { item.onClick.fn(); });
    return true;
}

bool Application::navigate(Adodc& dc, Nav where) {
    if (!canTakeInput(dc)) return false;
    userEvent(dc.form(), nullptr, [&dc, where] {
        if (dc.beforeMove && !dc.beforeMove()) return;
        Recordset& rs = dc.recordset();
        switch (where) {
            case Nav::First: rs.moveFirst(); break;
            case Nav::Last: rs.moveLast(); break;
            case Nav::Next:
                if (rs.eof()) rs.moveLast();
                else {
                    rs.moveNext();
                    if (rs.eof()) rs.moveLast();
                }
                break;
            case Nav::Previous:
                if (rs.bof()) rs.moveFirst();
                else {
                    rs.movePrevious();
                    if (rs.bof()) rs.moveFirst();
                }
                break;
        }
    });
    return true;
}

bool Application::chooseDrive(DriveListBox& list, const std::string& drive) {
    if (!canTakeInput(list) || drive.empty()) return false;
    moveFocus(&list, true);
    list.show(drive);
    if (list.onChange) userEvent(list.form(), &list.onChange, [&list] { list.onChange.fn(); });
    else notify();
    return true;
}

bool Application::chooseFolder(DirListBox& list, const std::string& path) {
    if (!canTakeInput(list)) return false;
    moveFocus(&list, true);
    userEvent(list.form(), nullptr, [&list, path] { list.setPath(path); });
    return true;
}

bool Application::chooseFile(FileListBox& list, const std::string& name) {
    if (!canTakeInput(list)) return false;
    moveFocus(&list, true);
    list.fileName = name;
    if (list.onClick) userEvent(list.form(), &list.onClick, [&list] { list.onClick.fn(); });
    else notify();
    return true;
}

bool Application::closeByUser(Form& f) {
    if (ended_ || !f.loaded_ || !f.enabled) return false;
    userEvent(f, nullptr, [this, &f] { unload(f); });
    return true;
}

// --------------------------------------------------------------- timers

long long Application::nextTimerDue() const {
    long long best = -1;
    const long long now = clock_.monotonicMs();
    for (Form* f : loadOrder_)
        for (const auto& c : f->controls_) {
            if (c->kind() != ControlKind::Timer) continue;
            auto* t = static_cast<Timer*>(c.get());
            if (!t->enabled || t->interval() <= 0) continue;
            long long due = t->nextDue == 0 ? now + t->interval() : t->nextDue;
            if (best < 0 || due < best) best = due;
        }
    return best;
}

void Application::runDueTimers() {
    const long long now = clock_.monotonicMs();
    for (int guard = 0; guard < 100000 && !ended_; ++guard) {
        Timer* best = nullptr;
        for (Form* f : loadOrder_)
            for (const auto& c : f->controls_) {
                if (c->kind() != ControlKind::Timer) continue;
                auto* t = static_cast<Timer*>(c.get());
                if (!t->enabled || t->interval() <= 0) {
                    t->nextDue = 0;
                    continue;
                }
                if (t->nextDue == 0) t->start();
                if (t->nextDue <= now && (!best || t->nextDue < best->nextDue)) best = t;
            }
        if (!best) break;
        best->nextDue += best->interval();
        // A clock that jumped far ahead does not replay every missed tick.
        if (best->nextDue + 10LL * best->interval() <= now) best->nextDue = now + best->interval();
        Form& f = best->form();
        // A window is never unloaded by its own timer while a handler of it runs.
        if (f.busy_ > 0 || !best->onTimer) continue;
        Timer* t = best;
        userEvent(f, &t->onTimer, [t] { t->onTimer.fn(); });
    }
}

// -------------------------------------------------------------- reports

void Application::showReport(RenderedReport report) {
    std::string name = report.name;
    reports_[name] = std::move(report);
    lastReport_ = name;
    if (observer_) observer_->reportOpened(reports_[name]);
}

const RenderedReport* Application::lastReport() const { return report(lastReport_); }

void Application::closeReport(const std::string& name) { reports_.erase(name); }

const RenderedReport* Application::report(const std::string& name) const {
    auto it = reports_.find(name);
    return it == reports_.end() ? nullptr : &it->second;
}

}  // namespace mk
