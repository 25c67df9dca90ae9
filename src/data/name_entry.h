// The windows that add a thing by its name (an item group, an employee):
// the name box with its caption, the navigation bar under it and the add
// button under that (cancel and edit hidden), right to left. Never shown:
// the name's copy and the data control the new thing's rows go into.
#pragma once

#include <array>

#include "platform/form.h"

namespace mk {

struct NameEntry {
    TextBox* name;          // Text1
    Label* caption;         // Label1
    Adodc* data;            // Adodc1
    std::array<CommandButton*, 3> buttons;  // cmdaction(0..2)
    TextBox* copy;          // Text2, hidden
    Adodc* rows;            // Adodc2, hidden: where the new thing's rows go
};

NameEntry addNameEntry(Form& form, const char* caption, const char* navCaption);

}  // namespace mk
