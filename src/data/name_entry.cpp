#include "data/name_entry.h"

namespace mk {

namespace {

// The name row: its caption at the right, the box beside it.
constexpr TwipGrid kName{.right = 5880, .top = 360, .colStep = 1800, .width = 3840, .height = 315};
constexpr double kCaptionWidth = 1680;
// The navigation bar over three columns, then the buttons' row.
constexpr TwipGrid kBar{
    .right = 5880, .top = 840, .colStep = 1980, .rowStep = 600, .width = 1680, .height = 375};

}  // namespace

NameEntry addNameEntry(Form& form, const char* caption, const char* navCaption) {
    NameEntry e{};
    e.name = form.add<TextBox>("Text1", -1, kName.cell(1, 0));
    e.caption = form.add<Label>("Label1", -1, kName.captions().cell(0, 0, kCaptionWidth), caption);
    e.caption->alignment = 1;
    e.data = form.add<Adodc>("Adodc1", -1, kBar.span(0, 0, 3), navCaption);
    const char* const captions[3] = {"&add", "&cancel", "&edit"};
    for (int i : {2, 1, 0})
        e.buttons[static_cast<size_t>(i)] =
            form.add<CommandButton>("cmdaction", i, kBar.cell(i, 1), captions[i]);
    e.buttons[1]->visible = false;
    e.buttons[2]->visible = false;
    e.copy = form.addHidden<TextBox>("Text2");
    e.rows = form.addHidden<Adodc>("Adodc2");
    return e;
}

}  // namespace mk
