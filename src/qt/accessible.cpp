#include "qt/accessible.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "platform/form.h"
#include "qt/text.h"

namespace mk::qt {

namespace {

const char* const kMenuNameProperty = "mkMenuItemName";
const char* const kRoleProperty = "mkAccessibleRole";

// A menu item of ours: Qt's own, plus a description.
class MenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit MenuItemAccessible(QAction* action) : action_(action) {}

    bool isValid() const override { return action_ && owner(); }
    QObject* object() const override { return action_; }
    QWindow* window() const override {
        QWidget* w = owner();
        if (!w) return nullptr;
        if (QWindow* h = w->windowHandle()) return h;
        QWidget* native = w->nativeParentWidget();
        return native ? native->windowHandle() : nullptr;
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int x, int y) const override {
        QAccessibleInterface* c = child(0);
        return c && c->rect().contains(x, y) ? c : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(owner());
    }
    QAccessibleInterface* child(int index) const override {
        if (index == 0 && action_ && action_->menu())
            return QAccessible::queryAccessibleInterface(action_->menu());
        return nullptr;
    }
    int childCount() const override { return action_ && action_->menu() ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface* c) const override {
        return c && action_ && c->object() == action_->menu() ? 0 : -1;
    }
    QString text(QAccessible::Text t) const override {
        if (!action_) return {};
        switch (t) {
            case QAccessible::Name: return stripMnemonic(action_->text());
            case QAccessible::Description: return action_->property(kMenuNameProperty).toString();
            case QAccessible::Accelerator: return action_->shortcut().toString();
            default: return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        QWidget* w = owner();
        if (auto* bar = qobject_cast<QMenuBar*>(w))
            return bar->actionGeometry(action_).translated(bar->mapToGlobal(QPoint(0, 0)));
        if (auto* menu = qobject_cast<QMenu*>(w))
            return menu->actionGeometry(action_).translated(menu->mapToGlobal(QPoint(0, 0)));
        return {};
    }
    QAccessible::Role role() const override {
        return action_ && action_->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!action_) return s;
        QWidget* w = owner();
        if (!w || !w->isVisible() || !action_->isVisible()) s.invisible = true;
        if (auto* menu = qobject_cast<QMenu*>(w); menu && menu->activeAction() == action_)
            s.focused = true;
        if (auto* bar = qobject_cast<QMenuBar*>(w); bar && bar->activeAction() == action_)
            s.focused = true;
        if (action_->isSeparator() || !action_->isEnabled()) s.disabled = true;
        if (action_->isCheckable()) s.checkable = true;
        if (action_->isChecked()) s.checked = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                 : nullptr;
    }
    QStringList actionNames() const override {
        if (!action_ || action_->isSeparator()) return {};
        return {action_->menu() ? showMenuAction() : pressAction()};
    }
    void doAction(const QString& name) override {
        if (!action_ || !action_->isEnabled()) return;
        if (name == pressAction()) {
            // Queued, as a button's press is: a command that asks something
            // in a modal box must not hold the tool's call until it closes.
            QTimer::singleShot(0, action_.data(), [action = action_] {
                if (action && action->isEnabled()) action->trigger();
            });
        } else if (name == showMenuAction()) {
            if (auto* bar = qobject_cast<QMenuBar*>(owner())) bar->setActiveAction(action_);
            else if (auto* menu = qobject_cast<QMenu*>(owner())) menu->setActiveAction(action_);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QWidget* owner() const {
        if (!action_) return nullptr;
        for (QObject* o : action_->associatedObjects())
            if (qobject_cast<QMenu*>(o) || qobject_cast<QMenuBar*>(o)) {
                auto* w = static_cast<QWidget*>(o);
                if (w->actions().contains(action_.data())) return w;
            }
        return nullptr;
    }

    QPointer<QAction> action_;
};

QAccessibleInterface* menuItemFactory(const QString& key, QObject* object) {
    if (key == QLatin1String("QFrame") && object->property(kRoleProperty).isValid())
        return new QAccessibleWidget(static_cast<QWidget*>(object),
                                     static_cast<QAccessible::Role>(object->property(kRoleProperty).toInt()));
    if (key != QLatin1String("QAction")) return nullptr;
    auto* action = qobject_cast<QAction*>(object);
    if (!action || !action->property(kMenuNameProperty).isValid()) return nullptr;
    return new MenuItemAccessible(action);
}

}  // namespace

QString accessibleNameOf(const Control& c, const std::function<const Label*()>& namer) {
    QString own;
    switch (c.kind()) {
        case ControlKind::Label: {
            const auto& l = static_cast<const Label&>(c);
            return l.dataSource() ? qs(l.caption()) : stripMnemonic(qs(l.caption()));
        }
        case ControlKind::CommandButton:
            own = stripMnemonic(qs(static_cast<const CommandButton&>(c).caption));
            break;
        case ControlKind::CheckBox:
            own = stripMnemonic(qs(static_cast<const CheckBox&>(c).caption));
            break;
        case ControlKind::OptionButton:
            own = stripMnemonic(qs(static_cast<const OptionButton&>(c).caption));
            break;
        case ControlKind::Frame: return stripMnemonic(qs(static_cast<const Frame&>(c).caption));
        case ControlKind::DataControl: own = qs(static_cast<const Adodc&>(c).caption); break;
        case ControlKind::Timer:
        case ControlKind::Line:
        case ControlKind::PictureBox: return {};
        default: break;
    }
    if (!own.trimmed().isEmpty()) return own;
    // With no caption of its own, a control takes the label that names it.
    if (c.isShowing())
        if (const Label* l = namer()) return stripMnemonic(qs(l->caption())).trimmed();
    return qs(c.spokenName);
}

void installMenuAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(menuItemFactory);
}

void setAccessibleRole(QWidget& frame, QAccessible::Role role) {
    frame.setProperty(kRoleProperty, static_cast<int>(role));
}

void setMenuItemName(QAction& action, const QString& name) {
    action.setProperty(kMenuNameProperty, name);
}

void PickSelection::select(const QModelIndex& index, SelectionFlags command) {
    QItemSelectionModel::select(index, command);
    const SelectionFlags moves = Clear | Deselect | Toggle | Current;
    if (index.isValid() && (command & Select) && !(command & moves)) picked_(index.row());
}

void PickList::setModel(QAbstractItemModel* model) {
    QListView::setModel(model);
    if (model) setSelectionModel(new PickSelection(model, this, picked_));
}

QRect PickList::visualRect(const QModelIndex& index) const {
    // Tools take an item with no place on screen for one out of view.
    return closed_ ? QRect() : QListView::visualRect(index);
}

void PickList::showEvent(QShowEvent* e) {
    closed_ = false;
    QListView::showEvent(e);
}

void PickList::hideEvent(QHideEvent* e) {
    closed_ = true;
    QListView::hideEvent(e);
    // The item the keys stood on no longer has the focus; but only once the
    // chooser has read it as the pick, which it does after this list hides.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() && selectionModel())
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    });
}

PickCombo::PickCombo(QWidget* parent, std::function<void(int)> picked) : QComboBox(parent) {
    setView(new PickList(this, [this, picked = std::move(picked)](int row) {
        if (row < 0 || row >= count()) return;
        if (view()->isVisible()) hidePopup();
        QTimer::singleShot(0, this, [this, picked, row] {
            view()->selectionModel()->clearSelection();
            picked(row);
        });
    }));
}

void PickCombo::showPopup() {
    static_cast<PickList*>(view())->reopen();
    QComboBox::showPopup();
}

}  // namespace mk::qt
