#include <gtest/gtest.h>

#include "app/steps.h"
#include "reports/opener.h"

namespace mk {
namespace {

using namespace test;

// What a main-menu item does when clicked.
enum class Opens {
    Nothing,  // a bar menu, or an item without an action
    Window,   // a window (a login window included) comes up
    Report,   // a report layout opens
    Uncover,  // the cover panel goes
    Lock,     // the main window takes no input for a while
    End,      // the program ends
    Asks,     // an input box with this title comes up
    Says,     // a message box with this text
};

struct Outcome {
    Opens kind;
    const char* target = "";
};

struct Entry {
    const char* item;
    Outcome off;  // permissions switch off
    Outcome on;   // permissions switch on
};

Entry same(const char* item, Outcome both) { return {item, both, both}; }
Outcome window(const char* name) { return {Opens::Window, name}; }
Outcome report(const char* name) { return {Opens::Report, name}; }
const Outcome kNothing{Opens::Nothing};

const char* const kChooseGroup = "أختر مجموعة الأصناف ثم طقطق داخل مربع نص  اسم الصنف";

// Every item of the main window's menu bar, in order.
const std::vector<Entry> kMenu = {
    same("file", kNothing),
    {"account", window("Form12"), window("Form13")},
    same("board", {Opens::Lock}),
    same("copy", window("Form47")),
    same("day_exite", window("Form48")),
    same("exit", {Opens::End}),
    same("store", kNothing),
    {"store_functions", {Opens::Uncover}, window("Form20")},
    same("RENAME_MAIN", window("Form49")),
    same("earchby_name", {Opens::Says, kChooseGroup}),
    same("INVENTORY_REPORT", report("DataReport10")),
    same("output", kNothing),
    same("moutput", window("Form11")),
    same("doutput", window("Form18")),
    same("yearout", window("Form19")),
    same("invo", kNothing),
    same("SALES_IN", window("Form3")),
    same("saleslarge", window("Form42")),
    same("sellgroup", window("Form53")),
    same("returne", window("Form28")),
    same("supply_inv", window("Form17")),
    same("ECEIVE", window("Form41")),
    same("PAY", window("Form35")),
    same("dealers", kNothing),
    {"SUPPLY_INF", window("Form5"), window("Form32")},
    {"BUYER", window("Form6"), window("Form52")},
    same("BOX", kNothing),
    same("BOX_MANGEMENT", window("Form34")),
    same("emplyee1", kNothing),
    same("emplyee", kNothing),
    same("observe_employee", window("Form51")),
    same("ADD_EMPLOYEE", window("Form50")),
    same("HELP", kNothing),
    same("PROGRAMMER", window("Form7")),
    same("USE", kNothing),
    same("reports", kNothing),
    same("inventory_rep", report("DataReport10")),
    same("akkes_repo", report("DataReport3")),
    same("buy_repo", report("DataReport4")),
    same("ss", report("DATA_SUPPLIER")),
    same("dealer", report("DataReport2")),
    same("BOX_REPORT", report("DataReport8")),
    same("emplyee_report", report("DataReport12")),
    same("date_report", {Opens::Asks, "البحث عن الصلاحية"}),
    same("new", window("Form56")),
};

void check(const Entry& entry, bool switchOn) {
    const Outcome& o = switchOn ? entry.on : entry.off;
    SCOPED_TRACE(std::string(entry.item) + (switchOn ? ", switch on" : ", switch off"));
    Harness h;
    setProfile(h, "ACME", switchOn);
    begin(h);
    h.click("Form16", "Command1");
    const std::vector<Form*> shownBefore = h.app.visibleForms();
    h.dialogs.clear();
    h.menu("Form1", entry.item);
    const std::string target = o.target;
    switch (o.kind) {
        case Opens::Nothing:
            EXPECT_EQ(h.app.visibleForms(), shownBefore);
            EXPECT_TRUE(h.dialogs.shown().empty());
            EXPECT_TRUE(h.app.openedReports().empty());
            EXPECT_TRUE(h.form("Form1").enabled);
            break;
        case Opens::Window:
            {
                const Form* shown = h.app.loadedForm(target);
                ASSERT_NE(shown, nullptr);
                EXPECT_TRUE(shown->visible());
            }
            break;
        case Opens::Report:
            ASSERT_TRUE(findReportLayout(target));
            EXPECT_NE(h.app.report(target), nullptr);
            EXPECT_EQ(h.app.lastReport()->name, target);
            break;
        case Opens::Uncover:
            EXPECT_FALSE(h.form("Form1").picture("Picture2").visible);
            break;
        case Opens::Lock:
            EXPECT_FALSE(h.form("Form1").enabled);
            break;
        case Opens::End:
            EXPECT_TRUE(h.app.ended());
            break;
        case Opens::Asks:
            ASSERT_FALSE(h.dialogs.shown().empty());
            EXPECT_TRUE(h.dialogs.shown()[0].input);
            EXPECT_EQ(h.dialogs.shown()[0].title, target);
            break;
        case Opens::Says:
            EXPECT_EQ(h.lastMessage(), target);
            break;
    }
    // What the switch guards stays covered unless this item uncovers it.
    if (!h.app.ended() && o.kind != Opens::Uncover) {
        EXPECT_TRUE(h.form("Form1").picture("Picture2").visible);
    }
}

TEST(MainMenu, EveryItemOpensWhatItShouldWithTheSwitchOffAndOn) {
    ASSERT_EQ(kMenu.size(), 45u);
    for (const Entry& entry : kMenu) {
        check(entry, false);
        check(entry, true);
    }
}

}  // namespace
}  // namespace mk
