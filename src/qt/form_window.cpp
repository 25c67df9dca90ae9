#include "qt/form_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPlainTextEdit>
#include <QShortcut>
#include <algorithm>
#include <optional>

#include "platform/application.h"
#include "qt/accessible.h"
#include "qt/control_views.h"
#include "qt/front_end.h"

namespace mk::qt {

namespace {

QColor colourOf(uint32_t rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

// A line between items; so is an item with no caption and nothing under
// it, which offers nothing to choose and names nothing a person reads.
bool drawnAsSeparator(const MenuItem& m) {
    return m.caption.get() == "-" || (m.caption->empty() && m.children().empty());
}

QString menuItemName(const MenuItem& m) {
    return m.index() < 0 ? qs(m.name()) : qs(m.name() + "(" + std::to_string(m.index()) + ")");
}

// A chooser's click is its pick (Application::choose); a click into its
// text only puts the cursor there.
bool takesClicksThroughFilter(ControlKind k) {
    return k == ControlKind::Label || k == ControlKind::PictureBox || k == ControlKind::Frame ||
           k == ControlKind::TextBox;
}

bool takesDoubleClicksThroughFilter(ControlKind k) {
    return takesClicksThroughFilter(k) || k == ControlKind::ComboBox || k == ControlKind::DataCombo;
}

// What is typed into `w` next takes the place of the text it holds.
void chooseTextWhole(QWidget& w) {
    auto* edit = qobject_cast<QLineEdit*>(&w);
    if (auto* combo = qobject_cast<QComboBox*>(&w)) edit = combo->lineEdit();
    if (edit && !edit->isReadOnly()) edit->selectAll();
    if (auto* text = qobject_cast<QPlainTextEdit*>(&w); text && !text->isReadOnly()) text->selectAll();
}

}  // namespace

// ------------------------------------------------------------ surface

FormSurface::FormSurface(QWidget* parent) : QWidget(parent) { setAutoFillBackground(true); }

int FormSurface::linesThatFit(const QRect& area) const {
    return area.height() / std::max(1, fontMetrics().lineSpacing());
}

void FormSurface::setPrinted(std::vector<Line> lines, double pxPerColumn, QRect area) {
    if (lines == lines_ && pxPerColumn == pxPerColumn_ && area == area_) return;
    // Only the print area is drawn again: it lies clear of every control,
    // which a whole repaint would draw again too.
    update(area_.united(area));
    lines_ = std::move(lines);
    pxPerColumn_ = pxPerColumn;
    area_ = area;
}

std::vector<FormSurface::Run> FormSurface::runs() const {
    std::vector<Run> out;
    const QFontMetrics fm = fontMetrics();
    const int spacing = fm.lineSpacing();
    const int gap = fm.horizontalAdvance(QLatin1Char(' '));
    const int margin = 2;
    // The last lines that fit, from the area's top down.
    const int fit = linesThatFit();
    const size_t shown = std::min(lines_.size(), static_cast<size_t>(std::max(0, fit)));
    const size_t first = lines_.size() - shown;
    int y = area_.top();
    for (size_t i = first; i < lines_.size(); ++i, y += spacing) {
        const Line& line = lines_[i];
        int edge = area_.left() + margin;  // where the next run may start
        for (const PrintRun& run : printRuns(line.text, line.zones)) {
            const int offset = static_cast<int>(run.column * pxPerColumn_);
            const int left = std::max(area_.left() + margin + offset, edge);
            const int room = area_.right() + 1 - left;
            if (room <= 0) break;
            // What runs past the area's edge is cut short. Shaping is most
            // of the drawing, so each text is measured once.
            QString text = run.text;
            int width = fm.horizontalAdvance(text);
            if (width > room) {
                text = fm.elidedText(run.text, Qt::ElideRight, room);
                width = fm.horizontalAdvance(text);
            }
            if (text.isEmpty()) break;
            const QRect box(left, y, std::min(room, width), spacing);
            out.push_back({box, text, run.text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight});
            edge = box.right() + 1 + gap;
        }
    }
    return out;
}

void FormSurface::paintEvent(QPaintEvent* e) {
    if (lines_.empty()) return;
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    // Each text starts at its box's left edge, centred on its line: drawn
    // at its baseline, as a laid-out text would be drawn but shaped once.
    const QFontMetricsF fm(font());
    for (const Run& run : runs()) {
        if (!run.box.intersects(e->rect())) continue;
        p.setLayoutDirection(run.direction);
        const double baseline = run.box.top() + (run.box.height() - fm.height()) / 2 + fm.ascent();
        p.drawText(QPointF(run.box.left(), baseline), run.text);
    }
}

// ------------------------------------------------------------- window

FormWindow::FormWindow(FrontEnd& fe, Form& form)
    : QMainWindow(nullptr), fe_(fe), form_(&form), name_(form.name()) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setObjectName(qs(form.name()));
    setAccessibleDescription(qs(form.name()));
    surface_ = new FormSurface(this);
    surface_->setObjectName(QStringLiteral("surface"));
    setCentralWidget(surface_);
    buildControls();
    if (!form.menuBar().empty()) buildMenus();
    // F10 opens the first menu, as desktop programs do.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this] {
        auto* bar = qobject_cast<QMenuBar*>(menuWidget());
        if (!bar || !bar->isEnabled()) return;
        for (QAction* a : bar->actions())
            if (a->isVisible() && a->isEnabled() && !a->isSeparator()) {
                bar->setActiveAction(a);
                return;
            }
    });
}

FormWindow::~FormWindow() {
    for (auto& [w, view] : byWidget_) const_cast<QObject*>(w)->removeEventFilter(this);
    // The views go before their widgets: a focused chooser left as the
    // window closes must not report a pick to a view that is gone.
    for (QObject* o : findChildren<QObject*>()) o->blockSignals(true);
}

void FormWindow::markDead() { form_ = nullptr; }

QFont FormWindow::formFont() const { return uiFont(form_ ? form_->fontSize.get() : 0.0); }

void FormWindow::adopt(QWidget* w, ControlView& view) {
    byWidget_[w] = &view;
    w->installEventFilter(this);
}

void FormWindow::buildControls() {
    for (const auto& c : form_->controls()) {
        if (byControl_.count(c.get())) continue;
        auto view = makeView(*this, *c, surface_);
        if (QWidget* w = view->widget()) {
            w->setObjectName(qs(c->fullName()));
            w->setAccessibleDescription(qs(c->fullName()));
            w->hide();
            adopt(w, *view);
        }
        byControl_[c.get()] = view.get();
        if (view->watchesOutside()) watchingOutside_.push_back(view.get());
        views_.push_back(std::move(view));
    }
}

QWidget* FormWindow::widgetFor(const Control& c) const {
    auto it = byControl_.find(&c);
    return it == byControl_.end() ? nullptr : it->second->widget();
}

QWidget* FormWindow::widgetFor(const std::string& name, int index) const {
    if (!form_) return nullptr;
    Control* c = form_->findControl(name, index);
    return c ? widgetFor(*c) : nullptr;
}

QAction* FormWindow::actionFor(const std::string& menuName, int index) const {
    if (!form_) return nullptr;
    MenuItem* m = form_->findMenu(menuName, index);
    auto it = m ? actions_.find(m) : actions_.end();
    return it == actions_.end() ? nullptr : it->second;
}

void FormWindow::input(const std::function<void(Application&)>& fn) {
    fe_.deliverFocus();
    if (!form_) return;
    // A window behind a modal box takes no input. Qt keeps the mouse and
    // keys from it, but assistive tools still reach its widgets; what they
    // did is undone by showing the runtime's state again.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this) {
        fe_.syncNow();
        return;
    }
    fe_.act([&] { fn(fe_.app()); });
}

void FormWindow::input(ControlView& from, const std::function<void(Application&)>& fn) {
    from.stale = true;
    viewsStale_ = true;
    const bool outermost = !from.typing;
    from.typing = true;
    input(fn);
    if (!outermost) return;
    from.typing = false;
    // What the runtime made of the typing is shown now.
    if (form_ && from.showsOther()) {
        from.stale = true;
        viewsStale_ = true;
        fe_.syncNow();
    }
}

void FormWindow::userFocused(Control& c) {
    if (!form_) return;
    if (auto it = byControl_.find(&c); it != byControl_.end()) it->second->focusedByUser();
    input([&c](Application& app) { app.focusByUser(c); });
}

// ------------------------------------------------------------- menus

void FormWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->clear();
    actions_.clear();
    menus_.clear();
    menuCount_ = form_->allMenus().size();
    auto hook = [this](QAction* a, MenuItem* m) {
        actions_[m] = a;
        setMenuItemName(*a, menuItemName(*m));
        if (!m->shortcut->empty())
            a->setShortcut(QKeySequence::fromString(qs(m->shortcut), QKeySequence::PortableText));
        connect(a, &QAction::triggered, this, [this, m] {
            // A checkable item checks itself; the runtime says whether it is.
            menusStale_ = true;
            input([m](Application& app) { app.menuClick(*m); });
        });
    };
    std::function<void(QMenu*, MenuItem*)> addItem = [&](QMenu* menu, MenuItem* m) {
        if (drawnAsSeparator(*m)) {
            actions_[m] = menu->addSeparator();
            return;
        }
        if (!m->children().empty()) {
            QMenu* sub = menu->addMenu(qs(m->caption));
            menus_[m] = sub;
            sub->setAccessibleName(stripMnemonic(qs(m->caption)));
            sub->setAccessibleDescription(menuItemName(*m));
            actions_[m] = sub->menuAction();
            setMenuItemName(*sub->menuAction(), menuItemName(*m));
            for (MenuItem* c : m->children()) addItem(sub, c);
            return;
        }
        hook(menu->addAction(qs(m->caption)), m);
    };
    for (MenuItem* top : form_->menuBar()) {
        if (top->children().empty()) {
            hook(bar->addAction(qs(top->caption)), top);
            continue;
        }
        QMenu* menu = bar->addMenu(qs(top->caption));
        menus_[top] = menu;
        menu->setAccessibleName(stripMnemonic(qs(top->caption)));
        menu->setAccessibleDescription(menuItemName(*top));
        actions_[top] = menu->menuAction();
        setMenuItemName(*menu->menuAction(), menuItemName(*top));
        for (MenuItem* c : top->children()) addItem(menu, c);
    }
    joinShortcutLetters();
}

void FormWindow::joinShortcutLetters() {
    auto join = [](QWidget& w) {
        bool arabic = false;
        for (QAction* a : w.actions()) arabic = arabic || hasArabicShortcut(a->text());
        keepLettersJoined(w, arabic);
    };
    join(*menuBar());
    for (auto& [m, menu] : menus_) join(*menu);
}

void FormWindow::syncMenus() {
    bool rebuild = form_->allMenus().size() != menuCount_;
    for (auto& [m, a] : actions_) rebuild = rebuild || a->isSeparator() != drawnAsSeparator(*m);
    if (rebuild) buildMenus();
    bool renamed = false;
    for (auto& [m, a] : actions_) {
        if (a->isSeparator()) {
            a->setVisible(m->visible);
            continue;
        }
        const QString t = qs(m->caption);
        if (a->text() != t) {
            a->setText(t);
            renamed = true;
            if (auto it = menus_.find(m); it != menus_.end())
                it->second->setAccessibleName(stripMnemonic(t));
        }
        if (a->isEnabled() != m->enabled) a->setEnabled(m->enabled);
        if (a->isVisible() != m->visible) a->setVisible(m->visible);
        if (m->checked && !a->isCheckable()) a->setCheckable(true);
        if (a->isChecked() != m->checked) a->setChecked(m->checked);
    }
    if (renamed) joinShortcutLetters();
}

// -------------------------------------------------------------- sync

QRect FormWindow::absoluteRect(const Control& c) const {
    return fe_.scale().rect(c.left, c.top, c.width, c.height);
}

void FormWindow::sync(bool full) {
    if (!form_) return;
    Form& f = *form_;
    // What changes from here on is after this pass's look.
    const uint64_t now = Drawn::lastChange();
    const uint64_t since = syncedAt_;
    full = full || !everSynced_;
    if (f.controls().size() != byControl_.size()) buildControls();

    if (full || menusStale_ || f.ownChangedAt() > since) syncWindow();
    const bool layout = full || f.layoutChangedAt() > since;
    if (full || viewsStale_ || f.changedAt() > since) {
        bool restack = false;
        for (auto& v : views_) {
            const bool changed = full || v->stale || v->control().changedAt() > since;
            if ((changed || layout) && v->widget()) {
                QWidget* parent = surface_;
                const Control& c = v->control();
                if (c.container)
                    if (auto it = byControl_.find(c.container);
                        it != byControl_.end() && it->second->holdsChildren() && it->second->widget())
                        parent = it->second->widget();
                if (v->widget()->parentWidget() != parent) {
                    v->widget()->setParent(parent);
                    restack = true;
                }
            }
            syncView(*v, changed, layout, since);
        }
        if (restack) {
            // Labels and lines lie beneath boxes and buttons, in the order made.
            for (auto it = views_.rbegin(); it != views_.rend(); ++it)
                if ((*it)->drawnOnSurface() && (*it)->widget()) (*it)->widget()->lower();
        }
    } else {
        for (ControlView* v : watchingOutside_) v->syncOutside();
    }
    if (full || layout) orderTabStops();
    if (full || layout || f.ownChangedAt() > since) syncPrinted();
    syncedAt_ = now;
    everSynced_ = true;
    viewsStale_ = menusStale_ = false;
}

void FormWindow::syncWindow() {
    Form& f = *form_;
    const QString title = qs(f.caption);
    if (windowTitle() != title) setWindowTitle(title);
    if (accessibleName() != title) setAccessibleName(title);
    const QFont font = formFont();
    if (this->font() != font) setFont(font);

    if (!f.menuBar().empty() || menuCount_ > 0) {
        syncMenus();
        menuBar()->setEnabled(f.enabled);
    }
    surface_->setEnabled(f.enabled);

    QPalette pal = surface_->palette();
    const QColor back = f.backColor == kDefaultColor ? palette().color(QPalette::Window)
                                                     : colourOf(f.backColor);
    if (pal.color(QPalette::Window) != back) {
        pal.setColor(QPalette::Window, back);
        surface_->setPalette(pal);
    }

    const QSize size(fe_.scale().px(f.width), fe_.scale().px(f.height));
    if (size != surfaceSize_) {
        surfaceSize_ = size;
        surface_->setFixedSize(size);
        const int menuHeight = menuCount_ > 0 ? menuBar()->sizeHint().height() : 0;
        setFixedSize(size.width(), size.height() + menuHeight);
    }
}

void FormWindow::syncView(ControlView& v, bool changed, bool layout, uint64_t since) {
    QWidget* w = v.widget();
    const Control& c = v.control();
    v.stale = false;
    if (!w) {
        if (changed) v.sync();
        return;
    }
    const bool inContainer = w->parentWidget() != surface_;
    if (changed || layout) {
        QRect r = absoluteRect(c);
        if (inContainer) r.translate(-absoluteRect(*c.container).topLeft());
        if (c.kind() == ControlKind::Line) r.setSize(r.size().expandedTo(QSize(1, 1)));
        if (r != v.lastRect) {
            v.lastRect = r;
            w->setGeometry(r);
        }
        // What a covering panel guards takes no key, click, focus or
        // accessibility action either; nor does what lies unseen under a panel.
        const bool takesInput = c.enabled && !c.isCovered() && !c.isUnderPanel();
        if (w->testAttribute(Qt::WA_Disabled) == takesInput) w->setEnabled(takesInput);
    }
    if (changed) syncLook(v);
    else if (v.watchesOutside()) v.syncOutside();

    // The label that names it stays while the layout does; its caption may not.
    if (layout) v.namerKnown = false;
    if (changed || layout || (v.namer && v.namer->changedAt() > since)) {
        const QString name = accessibleNameOf(c, [&v, &c] {
            if (!v.namerKnown) {
                v.namer = c.form().labelBeside(c);
                v.namerKnown = true;
            }
            return v.namer;
        });
        if (w->accessibleName() != name) w->setAccessibleName(name);
    }
    if (changed || layout) {
        // Inside a container the container's own showing hides it.
        const bool visible = inContainer ? c.visible.get() : c.isShowing();
        if (w->isHidden() == visible) w->setVisible(visible);
    }
}

void FormWindow::syncLook(ControlView& v) {
    QWidget* w = v.widget();
    const Control& c = v.control();
    const double size = c.fontSize > 0 ? c.fontSize.get() : 0.0;
    if (size != v.lastFontSize || c.fontBold != v.lastBold) {
        v.lastFontSize = size;
        v.lastBold = c.fontBold;
        if (size <= 0 && !c.fontBold) {
            w->setFont(QFont());
        } else {
            QFont f = formFont();
            if (size > 0) f.setPointSizeF(size);
            f.setBold(c.fontBold);
            w->setFont(f);
        }
    }
    if (c.foreColor != v.lastFore || c.backColor != v.lastBack) {
        v.lastFore = c.foreColor;
        v.lastBack = c.backColor;
        QWidget* target = v.colourWidget();
        QPalette pal;
        if (c.foreColor != kDefaultColor)
            for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                pal.setColor(role, colourOf(c.foreColor));
        if (c.backColor != kDefaultColor)
            for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
                pal.setColor(role, colourOf(c.backColor));
        target->setPalette(pal);
    }
    const QString tip = qs(c.toolTip);
    if (w->toolTip() != tip) w->setToolTip(tip);
    v.sync();
}

void FormWindow::orderTabStops() {
    std::vector<const Control*> controls, buttons;
    for (const Control* c : form_->readingOrder())
        if (c->canFocus() && widgetFor(*c))
            (c->kind() == ControlKind::CommandButton ? buttons : controls).push_back(c);
    controls.insert(controls.end(), buttons.begin(), buttons.end());
    std::vector<QWidget*> stops;
    for (const Control* c : controls) stops.push_back(widgetFor(*c));
    tabControls_ = controls;
    if (stops == tabStops_) return;
    tabStops_ = stops;
    for (size_t i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1], stops[i]);
}

void FormWindow::focusFirstStop() {
    if (!form_) return;
    auto isStop = [](const QWidget* w) {
        return w && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus);
    };
    QWidget* now = focusWidget();
    if (now && (isStop(now) || isStop(now->focusProxy()))) return;
    std::optional<size_t> first;
    for (size_t i = 0; i < tabStops_.size(); ++i) {
        if (!isStop(tabStops_[i])) continue;
        const Control& c = *tabControls_[i];
        const bool takesText = c.kind() == ControlKind::TextBox || c.kind() == ControlKind::DataCombo ||
                               c.kind() == ControlKind::ComboBox;
        if (takesText) {
            first = i;
            break;
        }
        if (!first) first = i;
    }
    if (!first) return;
    QWidget& w = *tabStops_[*first];
    w.setFocus(Qt::ActiveWindowFocusReason);
    fe_.focusGiven(*this, w, byWidget_.at(&w)->control());
}

void FormWindow::focusMovedUnseen(bool byTab) {
    QWidget* f = focusWidget();
    if (!f || !form_) return;
    auto it = byWidget_.find(f);
    if (it == byWidget_.end() && f->focusProxy()) it = byWidget_.find(f->focusProxy());
    if (it == byWidget_.end()) return;
    // Qt chooses a box's text on the focus event Tab brings, which a
    // window not yet active does not get.
    if (byTab) chooseTextWhole(*f);
    fe_.focusGiven(*this, *f, it->second->control());
}

bool FormWindow::takeShortcut(const QKeyEvent& e) {
    if (!form_ || !(e.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
    const QKeySequence typed(e.keyCombination());
    for (auto& [m, a] : actions_)
        if (a->isEnabled() && a->isVisible() && a->shortcut() == typed) {
            a->trigger();
            return true;
        }
    QAbstractButton* press = nullptr;
    for (QAbstractButton* b : surface_->findChildren<QAbstractButton*>())
        if (b->isVisible() && b->isEnabled() && QKeySequence::mnemonic(b->text()) == typed) {
            if (press) return false;  // two share the letter: neither is pressed
            press = b;
        }
    if (press) press->click();
    return press != nullptr;
}

bool FormWindow::holdsFocus(const QWidget& w) const {
    const QWidget* f = w.window()->focusWidget();
    return f && (f == &w || f->focusProxy() == &w);
}

void FormWindow::showFocus(const Control& c, bool byCode) {
    auto it = byControl_.find(&c);
    if (it == byControl_.end() || !it->second->widget()) return;
    ControlView& v = *it->second;
    QWidget* w = v.widget();
    if (!holdsFocus(*w)) w->setFocus(Qt::OtherFocusReason);
    if (!byCode || v.typing) return;
    chooseTextWhole(*w);
}

void FormWindow::syncPrinted() {
    const auto& lines = form_->printedLines();
    const auto& zones = form_->printedZoneStarts();
    QRect area;
    if (!lines.empty()) {
        const Geometry g = form_->printArea();
        area = fe_.scale().rect(g.left, g.top, g.width, g.height);
    }
    const size_t keep = std::min(lines.size(), static_cast<size_t>(surface_->linesThatFit(area)));
    std::vector<FormSurface::Line> tail;
    tail.reserve(keep);
    for (size_t i = lines.size() - keep; i < lines.size(); ++i)
        tail.push_back({lines[i], i < zones.size() ? zones[i] : std::vector<int>{}});
    surface_->setPrinted(std::move(tail), fe_.scale().pxPerTwip() * kPrintColumnTwips, area);
    // Tools read what is printed in view.
    QString spoken;
    for (const auto& l : surface_->printed()) {
        const QString t = qs(l.text).trimmed();
        if (t.isEmpty()) continue;
        if (!spoken.isEmpty()) spoken += QLatin1Char('\n');
        spoken += t;
    }
    if (surface_->accessibleName() != spoken) surface_->setAccessibleName(spoken);
}

// ------------------------------------------------------------ events

void FormWindow::closeEvent(QCloseEvent* e) {
    // The runtime decides: its close unloads the form, and the sync that
    // follows closes this window.
    e->ignore();
    input([this](Application& app) {
        if (form_) app.closeByUser(*form_);
    });
}

bool FormWindow::eventFilter(QObject* watched, QEvent* e) {
    auto it = byWidget_.find(watched);
    if (it == byWidget_.end() || !form_) return QMainWindow::eventFilter(watched, e);
    Control& c = it->second->control();
    switch (e->type()) {
        case QEvent::FocusIn: {
            // Moved by a person (a click, Tab, a letter with Alt) or given
            // back as the window comes to the front.
            const auto reason = static_cast<QFocusEvent*>(e)->reason();
            const bool given = reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                               reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason ||
                               reason == Qt::ActiveWindowFocusReason;
            if (given && !fe_.isSyncing()) fe_.focusGiven(*this, *static_cast<QWidget*>(watched), c);
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(e);
            auto* w = static_cast<QWidget*>(watched);
            if (me->button() == Qt::LeftButton && takesClicksThroughFilter(c.kind()) &&
                w->rect().contains(me->position().toPoint()))
                input(*it->second, [&c](Application& app) { app.click(c); });
            break;
        }
        case QEvent::MouseButtonDblClick:
            if (takesDoubleClicksThroughFilter(c.kind()))
                input(*it->second, [&c](Application& app) { app.dblClick(c); });
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, e);
}

}  // namespace mk::qt
