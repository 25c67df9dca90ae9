// The look the record windows (customers and suppliers, the vouchers) give
// a field: a right-aligned caption, bold dark blue on light orange, beside a
// right-aligned box on light yellow.
#pragma once

#include <cstdint>

#include "platform/controls.h"

namespace mk {

// Gives a caption the look, and returns it.
inline Label* asFieldCaption(Label* l) {
    l->alignment = 1;
    l->backColor = 0xFFC080;
    l->foreColor = 0x000080;
    l->fontBold = true;
    return l;
}

// Gives a box the look, and returns it.
inline TextBox* asFieldBox(TextBox* t) {
    t->backColor = 0xFFFFC0;
    t->alignment = 1;
    return t;
}

}  // namespace mk
