// What assistive tools read: the names people hear and the names the
// system knows its controls by.
#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

class QAction;

namespace mk {
class Control;
class Label;
}  // namespace mk

namespace mk::qt {

// The label a window places beside a box: the nearest showing label to
// its right on screen whose row overlaps the box's row. Null when there
// is none.
const Label* besideLabel(const Control& box);

// What a person hears for a control: a caption without its "&" marker, a
// label's text, or for a box, list or combo the label beside it.
QString accessibleNameOf(const Control& c);

// Menu items expose their caption as name and the menu item's own name as
// description; Qt's own menu item interface has no description.
void installMenuAccessibility();
// A plain frame that stands for something else (a navigation bar is a
// tool bar, a picture box a pane), so tools do not take it for a window.
void setAccessibleRole(QWidget& frame, QAccessible::Role role);
void setMenuItemName(QAction& action, const QString& name);

}  // namespace mk::qt
