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

bool rowsOverlap(const Control& a, const Control& b) {
    const double top = std::max(a.top, b.top);
    const double bottom = std::min(a.top + a.height, b.top + b.height);
    const double smaller = std::max(1.0, std::min(a.height, b.height));
    return bottom - top >= smaller / 2;
}

bool namedByBesideLabel(ControlKind k) {
    switch (k) {
        case ControlKind::TextBox:
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
        case ControlKind::DataCombo:
        case ControlKind::DataList:
        case ControlKind::DriveList:
        case ControlKind::DirList:
        case ControlKind::FileList:
            return true;
        default:
            return false;
    }
}

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

const Label* besideLabel(const Control& box) {
    const Label* best = nullptr;
    double bestGap = 0;
    // A label may reach a little under the box and still stand beside it.
    constexpr double kSlack = 60;
    for (const auto& other : box.form().controls()) {
        if (other->kind() != ControlKind::Label || !other->isShowing()) continue;
        const auto* label = static_cast<const Label*>(other.get());
        if (label->caption().empty() || !rowsOverlap(*label, box)) continue;
        const double gap = label->left - (box.left + box.width);
        if (gap < -kSlack || label->left + label->width <= box.left + box.width) continue;
        if (!best || gap < bestGap) {
            best = label;
            bestGap = gap;
        }
    }
    if (!best) return nullptr;
    // Another box between them has the label to itself.
    const double boxRight = box.left + box.width;
    for (const auto& other : box.form().controls()) {
        const Control& o = *other;
        if (&o == &box || !namedByBesideLabel(o.kind()) || !o.isShowing() || !rowsOverlap(o, box))
            continue;
        if (o.left >= boxRight - kSlack && o.left + o.width <= best->left + kSlack) return nullptr;
    }
    return best;
}

QString accessibleNameOf(const Control& c) {
    switch (c.kind()) {
        case ControlKind::Label: {
            const auto& l = static_cast<const Label&>(c);
            return l.dataSource() ? qs(l.caption()) : stripMnemonic(qs(l.caption()));
        }
        case ControlKind::CommandButton:
            return stripMnemonic(qs(static_cast<const CommandButton&>(c).caption));
        case ControlKind::CheckBox:
            return stripMnemonic(qs(static_cast<const CheckBox&>(c).caption));
        case ControlKind::OptionButton:
            return stripMnemonic(qs(static_cast<const OptionButton&>(c).caption));
        case ControlKind::Frame: return stripMnemonic(qs(static_cast<const Frame&>(c).caption));
        case ControlKind::DataControl: return qs(static_cast<const Adodc&>(c).caption);
        default: break;
    }
    if (namedByBesideLabel(c.kind()))
        if (const Label* l = besideLabel(c)) return stripMnemonic(qs(l->caption())).trimmed();
    return {};
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

}  // namespace mk::qt
