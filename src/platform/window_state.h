// What the loaded windows show, taken as a user action begins so that a
// failed action leaves every window as it was: each control's text or
// caption, value, showing, enabling, lock and place (hidden ones too),
// whether a bound box holds a typed change, the menus, each window's
// caption, size and printed lines, and the focus. A password emptied is
// not put back. The rows the data
// controls stand on are put back by the rollback itself (Recordset).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/form.h"

namespace mk {

class WindowState {
public:
    WindowState(const std::vector<Form*>& forms, Control* focus);

    // Puts back what each window still loaded showed.
    void restore(const std::vector<Form*>& loaded) const;
    // The control that held the focus.
    Control* focus() const { return focus_; }

private:
    struct ControlState {
        Control* control;
        bool visible, enabled, locked, changed;
        double left, top, width, height;
        int value;  // a check box's or option's value, a list's index
        std::string text;  // text or caption
        std::optional<Value> exact;  // the value behind a bound text
    };
    struct MenuState {
        MenuItem* item;
        bool enabled, visible, checked;
        std::string caption;
    };
    struct FormState {
        Form* form;
        std::string caption;
        double width, height;
        std::vector<std::string> printed;
        std::vector<std::vector<int>> zoneStarts;
        std::vector<ControlState> controls;
        std::vector<MenuState> menus;
    };
    static ControlState take(Control& c);
    static void put(const ControlState& s);
    // Copies the kind's own state into s, or (put) back into the control.
    static void exchange(ControlState& s, bool put);

    std::vector<FormState> forms_;
    Control* focus_;
};

}  // namespace mk
