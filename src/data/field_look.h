// The looks windows give a field. The plain look: a caption read right to
// left (right-aligned) beside a value shown in bold. The record windows'
// look (customers and suppliers, the vouchers): a right-aligned caption,
// bold dark blue on light orange, beside a right-aligned box on light
// yellow.
#pragma once

#include <cstdint>
#include <string>

#include "platform/form.h"

namespace mk {

// A caption in the plain look.
inline Label* addCaption(Form& f, std::string name, int index, Geometry at, std::string text) {
    auto* l = f.add<Label>(std::move(name), index, at, std::move(text));
    l->alignment = 1;
    return l;
}

// A value in the plain look.
inline Label* addValue(Form& f, std::string name, Geometry at) {
    auto* l = f.add<Label>(std::move(name), -1, at);
    l->alignment = 1;
    l->fontBold = true;
    return l;
}

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
