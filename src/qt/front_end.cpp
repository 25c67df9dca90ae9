#include "qt/front_end.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>
#include <set>
#include <utility>

#include "qt/accessible.h"
#include "qt/form_window.h"
#include "qt/report_preview.h"
#include "qt/type_ahead.h"

namespace mk::qt {

namespace {

double screenScale() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

// A new window opens in the middle of the screen, a little down and to
// the side of the windows already open.
void place(QWidget& w, const Form& f, const TwipScale& scale, int open) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    if (f.left > 0 || f.top > 0) {
        w.move(area.topLeft() + QPoint(scale.px(f.left), scale.px(f.top)));
        return;
    }
    const QSize size = w.frameSize().expandedTo(w.size());
    const int step = 24 * (open % 8);
    QPoint at(area.center().x() - size.width() / 2 - step, area.center().y() - size.height() / 2 + step);
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - size.width())));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
    w.move(at);
}

// The window a popup (a menu, a list) was opened from, through the popups
// it came from; null for a window that is no popup.
QWindow* ownerOfPopup(const QWindow* popup) {
    if (!popup || popup->type() != Qt::Popup) return nullptr;
    QWindow* w = popup->transientParent();
    while (w && w->type() == Qt::Popup) w = w->transientParent();
    return w;
}

// The window system sends a popup that holds the keyboard the keys typed
// before the program has handled the click that closes it: they go on to
// the window it was opened from, as typed there.
class ClosedPopupKeys : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        const QEvent::Type t = e->type();
        if ((t != QEvent::KeyPress && t != QEvent::KeyRelease && t != QEvent::ShortcutOverride) ||
            !watched->isWindowType())
            return false;
        auto* popup = static_cast<QWindow*>(watched);
        if (popup->type() != Qt::Popup || popup->isVisible()) return false;
        QWindow* owner = ownerOfPopup(popup);
        if (!owner)
            if (QWidget* active = QApplication::activeWindow()) owner = active->windowHandle();
        if (!owner || owner == popup) return false;
        QCoreApplication::sendEvent(owner, e);
        return true;
    }
};

}  // namespace

FrontEnd::FrontEnd(Application& app, QObject* parent)
    : QObject(parent), app_(app), scale_(screenScale()) {
    installMenuAccessibility();
    app_.setObserver(this);
    ticker_.setInterval(25);
    connect(&ticker_, &QTimer::timeout, this, &FrontEnd::tick);
    ticker_.start();
    // Once the window system gives the keys to a window, they go where it
    // sends them; a popup closing gives them back to its window, which is
    // no such choice.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
        const bool backFromPopup = w && w == ownerOfPopup(focusWindow_);
        focusWindow_ = w;
        if (w && !backFromPopup) keysTo_ = nullptr;
    });
    closedPopupKeys_ = std::make_unique<ClosedPopupKeys>();
    qApp->installEventFilter(closedPopupKeys_.get());
    typeAhead_ = std::make_unique<TypeAhead>([this] { return acting_ > 0 || app_.dispatchDepth() > 0; },
                                             [this]() -> QWindow* {
                                                 auto it = windows_.find(app_.activeForm());
                                                 if (it == windows_.end() || !it->second->isVisible())
                                                     return nullptr;
                                                 return it->second->windowHandle();
                                             });
}

FrontEnd::~FrontEnd() {
    app_.setObserver(nullptr);
    // It looks at the windows as they go.
    typeAhead_.reset();
    for (auto& [form, w] : windows_) delete w;
    for (FormWindow* w : dead_) delete w;
    for (auto& [name, p] : previews_) delete p;
}

void FrontEnd::uiChanged() { syncNow(); }

void FrontEnd::syncNow(bool full) {
    if (syncing_ > 0) {
        syncAgain_ = true;
        fullAgain_ = fullAgain_ || full;
        return;
    }
    ++syncing_;
    bool anyShown = false;
    do {
        full = full || fullSync || fullAgain_;
        syncAgain_ = fullAgain_ = false;
        const std::vector<Form*> loaded = app_.loadedForms();
        const std::set<Form*> live(loaded.begin(), loaded.end());
        // Windows of unloaded forms close now and are deleted once no
        // input that came through them is still running.
        for (auto it = windows_.begin(); it != windows_.end();) {
            if (live.count(it->first) && it->second->formName() == it->first->name()) {
                ++it;
                continue;
            }
            FormWindow* w = it->second;
            w->markDead();
            w->hide();
            dead_.push_back(w);
            it = windows_.erase(it);
        }
        for (Form* f : loaded) {
            auto it = windows_.find(f);
            if (!f->visible()) {
                if (it != windows_.end() && !it->second->isHidden()) it->second->hide();
                continue;
            }
            if (it == windows_.end()) it = windows_.emplace(f, new FormWindow(*this, *f)).first;
            it->second->sync(full);
        }
        // Shown back to front, so the runtime's front window ends on top.
        int open = 0;
        for (Form* f : app_.visibleForms()) {
            FormWindow* w = windows_.at(f);
            const Qt::WindowModality modality = f->isModal() ? Qt::ApplicationModal : Qt::NonModal;
            if (w->windowModality() != modality) {
                w->hide();
                w->setWindowModality(modality);
            }
            if (w->isHidden()) {
                if (!w->placed) place(*w, *f, scale_, open);
                w->placed = true;
                w->show();
                if (QWindow* handle = w->windowHandle()) handle->installEventFilter(this);
                w->raise();
                w->focusFirstStop();
            }
            ++open;
            anyShown = true;
        }
        Form* active = app_.activeForm();
        if (active != lastActive_) {
            lastActive_ = active;
            if (auto it = windows_.find(active); active && it != windows_.end() && it->second->isVisible()) {
                it->second->raise();
                it->second->activateWindow();
                if (QApplication::activeWindow() != it->second) keysTo_ = it->second;
            }
        }
        // The focus follows into the widgets where the program moved it,
        // also back to the control it had before a click moved the
        // widgets' focus.
        Control* focus = app_.focused();
        const bool byCode = app_.focusMovesByCode() != lastFocusMoves_;
        if (focus != lastFocus_ || byCode) {
            lastFocus_ = focus;
            lastFocusMoves_ = app_.focusMovesByCode();
            if (focus)
                if (auto it = windows_.find(&focus->form()); it != windows_.end())
                    it->second->showFocus(*focus, byCode);
        }
    } while (syncAgain_);
    --syncing_;
    ++syncCount_;
    if (anyShown) everShown_ = true;
    if (!dead_.empty() && acting_ == 0) scheduleReap();
    if (!anyShown && everShown_ && !app_.ended()) checkForNoWindow();
}

void FrontEnd::act(const std::function<void()>& input) { act(input, true); }

void FrontEnd::act(const std::function<void()>& input, bool syncAfter) {
    const long long before = syncCount_;
    ++acting_;
    try {
        input();
    } catch (const std::exception& e) {
        // The runtime shows handler failures itself; this is a last guard
        // so nothing escapes into Qt's event loop.
        try {
            app_.tellFailure(e);
        } catch (...) {
        }
    }
    --acting_;
    // Input the runtime refused leaves the widgets as the runtime has them.
    if (syncAfter && syncCount_ == before) syncNow();
    if (acting_ == 0) {
        scheduleReap();
        deliverFocus();
        typeAhead_->resume();
    }
}

void FrontEnd::focusGiven(FormWindow& window, QWidget& widget, Control& control) {
    givenFocus_ = GivenFocus{&window, &widget, &control};
    QTimer::singleShot(0, this, [this] { deliverFocus(); });
}

void FrontEnd::deliverFocus() {
    if (!givenFocus_ || syncing_ > 0 || acting_ > 0 || app_.dispatchDepth() > 0 ||
        QApplication::activeModalWidget())
        return;
    const GivenFocus given = *givenFocus_;
    givenFocus_.reset();
    // Not where the program has put the focus elsewhere meanwhile.
    if (given.window && !given.window->isDead() && given.widget && given.window->holdsFocus(*given.widget))
        given.window->userFocused(*given.control);
}

bool FrontEnd::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            // The focus Qt gave is the program's before the key is handled.
            deliverFocus();
            auto* key = static_cast<QKeyEvent*>(e);
            if (e == forwarding_) break;
            if (auto* to = qobject_cast<FormWindow*>(keysTo_.data()); to && to->isDead()) keysTo_ = nullptr;
            if (keysTo_ && (!keysTo_->isVisible() || QApplication::activeWindow() == keysTo_)) keysTo_ = nullptr;
            // The window the key goes to, when Qt would not handle it as
            // typed there: the window the program made active, for a key
            // the window system still sends to another; or a window of the
            // program that is not active (a box just closed, the window
            // manager not yet done), whose shortcuts and focus moves Qt
            // leaves alone.
            QPointer<QWidget> to;
            if (!QApplication::activeModalWidget()) {
                if (keysTo_ && keysTo_->windowHandle() != watched) {
                    to = keysTo_;
                } else if (FormWindow* here = windowOfHandle(watched);
                           here && here->isVisible() && QApplication::activeWindow() != here) {
                    to = here;
                }
            }
            if (to) {
                // No shortcut of the window left behind.
                if (e->type() == QEvent::ShortcutOverride) {
                    e->accept();
                    return true;
                }
                auto* form = qobject_cast<FormWindow*>(to.data());
                auto* preview = qobject_cast<ReportPreview*>(to.data());
                if (e->type() == QEvent::KeyPress &&
                    ((form && form->takeShortcut(*key)) || (preview && preview->takeShortcut(*key))))
                    return true;
                const QWidget* before = to->focusWidget();
                const QEvent* outer = std::exchange(forwarding_, e);
                QCoreApplication::sendEvent(to->windowHandle(), e);
                forwarding_ = outer;
                // Qt tells a window not active of no focus a key (Tab) moves in it.
                const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
                if (form && to && to->focusWidget() != before) form->focusMovedUnseen(tab);
                return true;
            }
            // A letter with Alt that no button or menu took types nothing.
            const auto modifiers = key->modifiers();
            if (e->type() == QEvent::KeyPress && (modifiers & Qt::AltModifier) &&
                !(modifiers & Qt::ControlModifier) && !key->text().isEmpty() && key->text().at(0).isPrint())
                return true;
            break;
        }
        case QEvent::MouseButtonPress:
            // Where a person clicks, the keys go.
            keysTo_ = nullptr;
            deliverFocus();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, e);
}

void FrontEnd::tick() {
    if (app_.ended()) return;
    act([this] { app_.runDueTimers(); }, false);
}

void FrontEnd::scheduleReap() {
    if (dead_.empty() || reapPending_) return;
    reapPending_ = true;
    QTimer::singleShot(0, this, [this] {
        reapPending_ = false;
        reap();
    });
}

void FrontEnd::reap() {
    // Not while a handler is on the stack: its widgets may still be in use.
    if (acting_ > 0 || app_.dispatchDepth() > 0) return;
    std::vector<FormWindow*> dead;
    dead.swap(dead_);
    for (FormWindow* w : dead) delete w;
}

void FrontEnd::checkForNoWindow() {
    if (!endWithoutWindows || noWindowCheckPending_) return;
    noWindowCheckPending_ = true;
    QTimer::singleShot(0, this, [this] {
        noWindowCheckPending_ = false;
        if (app_.ended() || acting_ > 0 || app_.dispatchDepth() > 0 || !app_.visibleForms().empty() ||
            QApplication::activeModalWidget())
            return;
        std::vector<std::string> names;
        for (Form* f : app_.loadedForms()) names.push_back(f->name());
        act([&] {
            for (const std::string& n : names)
                if (Form* f = app_.loadedForm(n)) app_.unload(*f);
        });
    });
}

void FrontEnd::reportOpened(const RenderedReport& report) {
    ReportPreview*& p = previews_[report.name];
    if (!p) {
        p = new ReportPreview();
        // A closed preview lets its report's rows go.
        connect(p, &ReportPreview::closed, this,
                [this](const QString& name) { app_.closeReport(name.toStdString()); });
    }
    p->setReport(report);
    if (p->isHidden()) p->show();
    p->raise();
    p->activateWindow();
    // Keys typed before the window system makes it active are its keys.
    if (QApplication::activeWindow() != p) keysTo_ = p;
}

void FrontEnd::programEnded() {
    for (auto& [name, p] : previews_) p->hide();
    emit ended();
    if (quitOnEnd) QCoreApplication::exit(0);
}

FormWindow* FrontEnd::windowOfHandle(const QObject* handle) const {
    for (const auto& [form, w] : windows_)
        if (w->windowHandle() == handle) return w;
    return nullptr;
}

FormWindow* FrontEnd::window(const std::string& formName) const {
    for (const auto& [form, w] : windows_)
        if (!w->isDead() && namesEqual(w->formName(), formName)) return w;
    return nullptr;
}

std::vector<FormWindow*> FrontEnd::windows() const {
    std::vector<FormWindow*> out;
    for (const auto& [form, w] : windows_) out.push_back(w);
    return out;
}

ReportPreview* FrontEnd::preview(const std::string& reportName) const {
    auto it = previews_.find(reportName);
    return it == previews_.end() ? nullptr : it->second;
}

QWidget* FrontEnd::dialogParent() const {
    if (Form* f = app_.activeForm())
        if (auto it = windows_.find(f); it != windows_.end() && it->second->isVisible())
            return it->second;
    return QApplication::activeWindow();
}

}  // namespace mk::qt
