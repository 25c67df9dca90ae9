// What assistive tools read: the names people hear and the names the
// system knows its controls by.
#pragma once

#include <QAccessible>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QListView>
#include <QString>
#include <functional>

class QWidget;
class QAction;

namespace mk {
class Control;
class Label;
}  // namespace mk

namespace mk::qt {

// What a person hears for a control: a caption without its "&" marker, a
// label's text, or for a control with no caption of its own (a box, a
// list, a chooser) on screen the label that names it, which `namer` gives
// (Form::labelBeside); off screen no label stands beside it.
QString accessibleNameOf(const Control& c, const std::function<const Label*()>& namer);

// Menu items expose their caption as name and the menu item's own name as
// description; Qt's own menu item interface has no description.
void installMenuAccessibility();
// A plain frame that stands for something else (a navigation bar is a
// tool bar, a picture box a pane), so tools do not take it for a window.
void setAccessibleRole(QWidget& frame, QAccessible::Role role);
void setMenuItemName(QAction& action, const QString& name);

// Assistive tools pick a list item by selecting it alone (a plain Select,
// no Clear); the list's own moves under the mouse or the keys clear the
// old selection in the same call. A pick is told to `picked`.
class PickSelection : public QItemSelectionModel {
public:
    PickSelection(QAbstractItemModel* model, QObject* parent, std::function<void(int)> picked)
        : QItemSelectionModel(model, parent), picked_(std::move(picked)) {}
    using QItemSelectionModel::select;
    void select(const QModelIndex& index, SelectionFlags command) override;

private:
    std::function<void(int)> picked_;
};

// The list of a chooser, whose items tools can pick. While the list is
// closed its items report neither focus nor a place on screen.
class PickList : public QListView {
public:
    PickList(QWidget* parent, std::function<void(int)> picked) : QListView(parent), picked_(std::move(picked)) {}
    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    // Its chooser is opening it: its items take their places again (the
    // chooser sizes the list by them).
    void reopen() { closed_ = false; }

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    std::function<void(int)> picked_;
    bool closed_ = true;  // until its chooser opens it
};

// A plain chooser whose items tools can pick, as they pick a data combo's:
// `picked` gets the row once the tool's call has returned.
class PickCombo : public QComboBox {
public:
    PickCombo(QWidget* parent, std::function<void(int)> picked);
    void showPopup() override;
};

}  // namespace mk::qt
