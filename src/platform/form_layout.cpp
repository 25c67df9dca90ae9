// Where things stand on a window: the room its printed lines are drawn in,
// and the label that names each box.
#include <algorithm>
#include <cctype>
#include <optional>

#include "platform/form.h"

namespace mk {

namespace {

// Printed lines keep this far from the controls around them.
constexpr double kPrintMargin = 60;
// A band that holds this much is room enough to take the first one.
constexpr int kRoomyLines = 3;
constexpr double kRoomyWidth = 2 * kPrintZoneTwips;

struct Box {
    double left, top, right, bottom;
};

Box boxOf(const Control& c) {
    if (c.kind() == ControlKind::Line) {
        const auto& l = static_cast<const LineShape&>(c);
        return {std::min(l.x1, l.x2), std::min(l.y1, l.y2), std::max(l.x1, l.x2) + 15,
                std::max(l.y1, l.y2) + 15};
    }
    return {c.left, c.top, c.left + c.width, c.top + c.height};
}

bool actionable(ControlKind k) {
    switch (k) {
        case ControlKind::TextBox:
        case ControlKind::CommandButton:
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
        case ControlKind::DataCombo:
        case ControlKind::DataList:
        case ControlKind::DataControl:
        case ControlKind::DriveList:
        case ControlKind::DirList:
        case ControlKind::FileList:
            return true;
        default:
            return false;
    }
}

bool sameRow(const Box& a, const Box& b) {
    const double overlap = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    const double smaller = std::max(1.0, std::min(a.bottom - a.top, b.bottom - b.top));
    return overlap >= smaller / 2;
}

bool sameColumn(const Box& a, const Box& b) {
    const double overlap = std::min(a.right, b.right) - std::max(a.left, b.left);
    const double smaller = std::max(1.0, std::min(a.right - a.left, b.right - b.left));
    return overlap >= smaller / 2;
}

}  // namespace

bool Label::namesSomething() const {
    for (unsigned char ch : caption_)
        if (!std::isspace(ch) && !std::isdigit(ch) && ch != '.' && ch != '-') return true;
    return false;
}

Geometry Form::printArea() const {
    std::vector<Box> taken;
    for (const auto& c : controls_) {
        if (c->kind() == ControlKind::Timer || !c->isShowing()) continue;
        Box b = boxOf(*c);
        taken.push_back({b.left - kPrintMargin, b.top - kPrintMargin, b.right + kPrintMargin,
                         b.bottom + kPrintMargin});
    }
    std::sort(taken.begin(), taken.end(), [](const Box& a, const Box& b) { return a.top < b.top; });

    // Every band from a top (the window's, or a control's foot) down to a
    // bottom (a control's head, or the window's foot); its width is where
    // the first control in it starts.
    struct Band {
        double top, bottom, width;
        int lines() const { return static_cast<int>((bottom - top) / kPrintLineTwips); }
        double room() const { return lines() * width; }
    };
    std::vector<double> tops{0};
    for (const Box& b : taken)
        if (b.bottom > 0 && b.bottom < height) tops.push_back(b.bottom);
    std::sort(tops.begin(), tops.end());
    tops.erase(std::unique(tops.begin(), tops.end()), tops.end());

    std::optional<Band> firstRoomy, roomiest;
    for (double top : tops) {
        double widthNow = width;
        std::optional<Band> best;
        auto consider = [&](double bottom) {
            const Band band{top, bottom, std::max(0.0, widthNow)};
            if (band.lines() < 1 || band.width < kPrintZoneTwips) return;
            if (!roomiest || band.room() > roomiest->room()) roomiest = band;
            if (band.lines() >= kRoomyLines && band.width >= kRoomyWidth &&
                (!best || band.room() > best->room()))
                best = band;
        };
        for (const Box& b : taken) {
            if (b.bottom <= top) continue;
            if (b.top > top) consider(std::min(b.top, height.get()));
            if (b.top >= height) break;
            widthNow = std::min(widthNow, b.left);
            if (widthNow < kPrintZoneTwips) break;
        }
        if (widthNow >= kPrintZoneTwips) consider(height);
        if (best && !firstRoomy) firstRoomy = best;
    }
    const std::optional<Band>& chosen = firstRoomy ? firstRoomy : roomiest;
    if (!chosen) return {};
    return {0, chosen->top, chosen->width, chosen->lines() * kPrintLineTwips};
}

namespace {

// A label may reach a little under the box and still stand beside it.
constexpr double kSlack = 60;

bool namingLabel(const Control& c) {
    return c.kind() == ControlKind::Label && c.isShowing() && static_cast<const Label&>(c).namesSomething();
}

// The naming label on the box's row at its reading side, with no other
// box between them.
const Label* labelOnRow(const std::vector<std::unique_ptr<Control>>& controls, const Control& box) {
    const Box at = boxOf(box);
    const Label* beside = nullptr;
    for (const auto& c : controls) {
        if (!namingLabel(*c)) continue;
        const Box l = boxOf(*c);
        if (!sameRow(l, at) || l.left < at.right - kSlack || l.right <= at.right) continue;
        if (!beside || l.left < beside->left) beside = static_cast<const Label*>(c.get());
    }
    if (!beside) return nullptr;
    for (const auto& c : controls) {
        if (c.get() == &box || !actionable(c->kind()) || !c->isShowing()) continue;
        const Box o = boxOf(*c);
        if (sameRow(o, at) && o.left >= at.right - kSlack && o.right <= beside->left + kSlack)
            return nullptr;  // the nearer box has the label to itself
    }
    return beside;
}

// The heading of the box's column in a table: the nearest naming label
// over it, with only boxes between that have no label of their own.
const Label* columnHeading(const std::vector<std::unique_ptr<Control>>& controls, const Control& box) {
    const Box at = boxOf(box);
    const Label* heading = nullptr;
    for (const auto& c : controls) {
        if (!namingLabel(*c)) continue;
        const Box l = boxOf(*c);
        if (l.bottom > at.top + kSlack || !sameColumn(l, at)) continue;
        if (!heading || l.bottom > heading->top + heading->height)
            heading = static_cast<const Label*>(c.get());
    }
    if (!heading) return nullptr;
    const double foot = heading->top + heading->height;
    for (const auto& c : controls) {
        if (c.get() == heading || c.get() == &box || !c->isShowing()) continue;
        const Box o = boxOf(*c);
        if (!sameColumn(o, at) || o.top < foot - kSlack || o.bottom > at.top + kSlack) continue;
        if (namingLabel(*c) || (actionable(c->kind()) && labelOnRow(controls, *c)))
            return nullptr;  // a form of captioned rows, not a table
    }
    return heading;
}

}  // namespace

const Label* Form::labelBeside(const Control& box) const {
    if (box.labelledBy) return box.labelledBy;
    if (const Label* l = labelOnRow(controls_, box)) return l;
    return columnHeading(controls_, box);
}

namespace {

// Controls closer than this (a pixel) touch: nothing spans between them.
constexpr double kTouching = 15;
// A gap this wide between two stacks of controls parts columns of the
// window, read one after the other; a caption stands nearer its box, a
// table's cells nearer each other, and those read row by row.
constexpr double kColumnGap = 200;

struct Spot {
    Box box;
    const Control* control;
};

// The widest gap that no member spans: between bands (along the tops) or
// columns (from the right). `at` is where it falls in `all`, which is
// sorted for it; 0 when there is none.
struct Gap {
    size_t at = 0;
    double width = -1;
};

Gap widestGap(std::vector<Spot>& all, bool bands) {
    std::sort(all.begin(), all.end(), [bands](const Spot& a, const Spot& b) {
        return bands ? a.box.top < b.box.top : a.box.right > b.box.right;
    });
    Gap widest;
    double edge = bands ? all[0].box.bottom : all[0].box.left;  // of what is passed
    for (size_t i = 1; i < all.size(); ++i) {
        const Box& b = all[i].box;
        const double gap = bands ? b.top - edge : edge - b.right;
        if (gap >= -kTouching && std::max(0.0, gap) > widest.width) widest = {i, std::max(0.0, gap)};
        edge = bands ? std::max(edge, b.bottom) : std::min(edge, b.left);
    }
    return widest;
}

void readInOrder(std::vector<Spot> all, const std::vector<Spot>& everything,
                 std::vector<const Control*>& out) {
    if (all.size() > 1) {
        // Cut at the widest gap, then read each side the same way: between
        // columns set wide apart, or else between bands, or else between
        // the controls of a row.
        std::vector<Spot> byRows = all, byColumns = all;
        const Gap band = widestGap(byRows, true), column = widestGap(byColumns, false);
        const bool columns = column.at > 0 && (band.at == 0 || (column.width >= kColumnGap &&
                                                               column.width > band.width));
        if (columns || band.at > 0) {
            std::vector<Spot>& sorted = columns ? byColumns : byRows;
            const size_t at = columns ? column.at : band.at;
            readInOrder({sorted.begin(), sorted.begin() + static_cast<long>(at)}, everything, out);
            readInOrder({sorted.begin() + static_cast<long>(at), sorted.end()}, everything, out);
            return;
        }
        std::sort(all.begin(), all.end(), [](const Spot& a, const Spot& b) {
            return a.box.top != b.box.top ? a.box.top < b.box.top : a.box.right > b.box.right;
        });
    }
    for (const Spot& p : all) {
        out.push_back(p.control);
        // A container's controls are read within it.
        std::vector<Spot> inside;
        for (const Spot& q : everything)
            if (q.control->container == p.control) inside.push_back(q);
        if (!inside.empty()) readInOrder(std::move(inside), everything, out);
    }
}

}  // namespace

std::vector<const Control*> Form::readingOrder() const {
    std::vector<Spot> everything, top;
    for (const auto& c : controls_) {
        if (c->kind() == ControlKind::Timer || !c->isShowing()) continue;
        everything.push_back({boxOf(*c), c.get()});
        if (!c->container) top.push_back(everything.back());
    }
    std::vector<const Control*> out;
    readInOrder(std::move(top), everything, out);
    return out;
}

}  // namespace mk
