// Where things stand on a window: the label that names a box, the room
// for printed lines, and what a panel hides.
#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

// Right to left: captions at the right of their boxes, a table of line
// rows (serial, item, quantity) under its headings, a second pair of boxes
// whose labels stand beside the first pair, a panel over part of the table.
struct Layout : Form {
    explicit Layout(Application& a) : Form(a, "Layout") {
        width = 9000;
        height = 6000;
        add<Label>("Label1", -1, Geometry{7560, 240, 1200, 315}, "&الأسم");
        add<TextBox>("Text1", -1, Geometry{5400, 240, 2040, 315});
        add<TextBox>("Text2", -1, Geometry{3600, 240, 1680, 315});  // Text1 stands between
        add<Label>("Label2", -1, Geometry{7560, 660, 1200, 315}, "");  // no caption
        add<TextBox>("Text3", -1, Geometry{5400, 660, 2040, 315});
        add<Label>("Heading", 0, Geometry{5400, 1200, 2040, 285}, "اسم الصنف");
        add<Label>("Heading", 1, Geometry{4200, 1200, 1080, 285}, "الكمية");
        for (int i = 0; i < 3; ++i) {
            const double top = 1560 + 360.0 * i;
            add<Label>("Serial", i, Geometry{7560, top, 600, 315}, std::to_string(i + 1));
            add<DataCombo>("Item", i, Geometry{5400, top, 2040, 315});
            add<TextBox>("Quantity", i, Geometry{4200, top, 1080, 315});
        }
        auto* named = add<TextBox>("Text4", -1, Geometry{240, 4800, 1000, 315});
        named->labelledBy = &label("Label1");
        add<PictureBox>("Cover", -1, Geometry{4000, 2200, 4000, 400});
    }
};

TEST(Layout, AGridPlacesCellsRightToLeftAndDown) {
    constexpr TwipGrid g{.right = 8000, .top = 600, .colStep = 2000, .rowStep = 420,
                         .width = 1800, .height = 315};
    EXPECT_EQ(g.cell(0, 0), (Geometry{6200, 600, 1800, 315}));
    EXPECT_EQ(g.cell(1, 2), (Geometry{4200, 1440, 1800, 315}));
    EXPECT_EQ(g.cell(1, 0, 1000), (Geometry{5000, 600, 1000, 315}));  // the right edge kept
    EXPECT_EQ(g.cell(0, 1, 900, 840), (Geometry{7100, 1020, 900, 840}));
    EXPECT_EQ(g.span(0, 1, 2, 2), (Geometry{4200, 1020, 3800, 735}));
    EXPECT_EQ(g.captions().cell(1, 1), (Geometry{4200, 1050, 1800, 285}));
}

TEST(Layout, ALabelNamesTheBoxItStandsBesideOrHeadsInATable) {
    Harness h(Harness::Windows::None);
    h.app.registerForm("Layout", [](Application& a) { return std::make_unique<Layout>(a); });
    Form& f = h.app.form("Layout");
    auto named = [&](const char* box, int index = -1) {
        const Label* l = f.labelBeside(f.control(box, index));
        return l ? l->fullName() : std::string("-");
    };
    // Text2: another box has the label to itself; Text3: its own label
    // shows nothing; Text4: named where its place cannot tell.
    EXPECT_EQ(named("Text1") + named("Text2") + named("Text3") + named("Text4"), "Label1--Label1");
    // A line's serial number names nothing: the column's heading does.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(named("Item", i) + named("Quantity", i), "Heading(0)Heading(1)") << i;
    // Boxes with captions of their own make a form, not a table.
    f.label("Label2").setCaption("التاريخ");
    EXPECT_EQ(named("Text3"), "Label2");

    // What lies under the panel cannot be seen; a hidden panel hides nothing.
    EXPECT_TRUE(f.control("Quantity", 2).isUnderPanel());
    EXPECT_FALSE(f.control("Quantity", 0).isUnderPanel());
    EXPECT_FALSE(f.control("Quantity", 2).isCovered());  // not a guarding panel
    f.control("Cover").visible = false;
    EXPECT_FALSE(f.control("Quantity", 2).isUnderPanel());
}

TEST(Layout, PrintedLinesGoWhereTheWindowHasRoomAtItsLeftEdge) {
    Harness h(Harness::Windows::None);
    h.app.registerForm("Layout", [](Application& a) { return std::make_unique<Layout>(a); });
    Form& f = h.app.form("Layout");
    // The top left holds three lines left of the boxes: the highest band.
    Geometry area = f.printArea();
    EXPECT_EQ(area.left + area.top, 0);
    EXPECT_GE(area.height, 3 * kPrintLineTwips);
    EXPECT_LE(area.width, 3600);
    EXPECT_TRUE(roomClearOfControls(f));
    // A box in the top left sends the lines below it.
    f.add<CommandButton>("Command1", -1, Geometry{120, 120, 1500, 375});
    EXPECT_GT(f.printArea().top, 495);
    EXPECT_TRUE(roomClearOfControls(f));
    // A window full of controls has no room.
    f.add<Frame>("Frame1", -1, Geometry{0, 0, 9000, 6000});
    EXPECT_EQ(f.printArea().height, 0);
}

}  // namespace
}  // namespace mk
