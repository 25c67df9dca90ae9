// The start window and the main window: the first use, a new day, the
// totals, the lock timer, every menu item, the day's quantities, and what
// it does with a missing group table or a failed load.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/main_window.h"
#include "store/day_quantities.h"
#include "store/item_card.h"
#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

std::string totals(Form1& main) {
    std::string out;
    for (Label* l : {main.Label23[0], main.Label23[1], main.Label23[2], main.Label24, main.Label21})
        out += l->caption() + "|";
    return out;
}

// Random shops check the totals against a walk (SqlWalks); here the ends:
// no cash box row at all, and the card not yet on a group.
TEST(MainWindow, EmptyTablesTotalZeroAndTheCardWaitsForAGroup) {
    Harness h;
    setProfile(h, "ACME");
    h.exec("DELETE FROM BOX");
    openStore(h);
    Form1& main = h.app.form<Form1>();
    EXPECT_EQ(totals(main), "0|0|0|0|0|");
    EXPECT_EQ(main.Label13->caption(), "06/12/2026");
    EXPECT_FALSE(main.card->Adodc4->isOpen());
    EXPECT_TRUE(h.dialogs.messages().empty());
}

TEST(MainWindow, ASecondLockEndsAtTheRunningTimersNextTick) {
    Harness h;
    setProfile(h, "ACME");
    Form& main = openStore(h);
    h.menu("Form1", "board");
    EXPECT_FALSE(h.menu("Form1", "PROGRAMMER"));
    h.advance(11999);
    EXPECT_FALSE(main.enabled);
    h.advance(1);
    EXPECT_TRUE(main.enabled);
    h.advance(3000);
    h.menu("Form1", "board");  // at 15 s: lasts until the tick at 24 s
    h.advance(8999);
    EXPECT_FALSE(main.enabled);
    h.advance(1);
    EXPECT_TRUE(main.enabled);
}

TEST(MainWindow, TotalsLeaveThePartnerWindowsOnTheirFirstRowSoAnEditIsKept) {
    Harness h;
    setProfile(h, "ACME");
    h.exec("INSERT INTO BUYER (BUYER, PHONE, MONEY) VALUES ('Hala', '111', 10), ('Sami', '222', 5)");
    h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Nour', 3), ('Delta', 4)");
    openStore(h);
    EXPECT_EQ(h.caption("Form1", "Label23", 0) + " " + h.text("Form5", "Text1", 0), "15 Nour");
    h.menu("Form1", "BUYER");
    EXPECT_EQ(h.text("Form6", "Text1", 0), "Hala");
    h.click("Form6", "cmdaction", 2);
    h.type("Form6", "Text1", "0123", 1);
    h.click("Form6", "cmdaction", 2);
    EXPECT_EQ(h.caption("Form6", "cmdaction", 2), "&edit");
    EXPECT_EQ(col(h, "BUYER", "PHONE"), "0123|222");
    EXPECT_TRUE(h.dialogs.messages().empty());
}

TEST(MainWindow, AListedGroupWithoutATableIsReportedOnceAndSkipped) {
    Harness h;
    setProfile(h, "ACME");
    makeGroup(h, "G1", "('bolt', 2, 10, 6)");
    h.exec("INSERT INTO qqq (Q) VALUES ('Ghost')");
    makeGroup(h, "G2", "('nut', 3, 1, 1)");
    startNewDay(h);  // start of day, then the main window with its totals

    Form1& main = h.app.form<Form1>();
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(h.app.isLoaded("Form16"));
    EXPECT_EQ(main.Label24->caption() + " " + main.Label21->caption(), "23 15");
    EXPECT_EQ(col(h, "DAILY_TRADE", "DESC"), "bolt|nut");
    const std::vector<std::string> notice = {
        "لا يوجد جدول لمجموعة الأصناف Ghost، لن تدخل فى الإجماليات و كميات اليوم"};
    EXPECT_EQ(h.messageTexts(), notice);

    // The end of day pass skips it too, without a second notice.
    h.exec("UPDATE G2 SET ONSTOCK=9");
    h.menu("Form1", "INVENTORY_REPORT");
    EXPECT_EQ(col(h, "DAILY_TRADE", "END_DAY_Q"), "2|9");
    EXPECT_EQ(h.lines("Form1"), std::vector<std::string>(2, " كميات أخر اليوم جاهزة "));
    EXPECT_EQ(h.messageTexts(), notice);
}

TEST(MainWindow, AFailedLoadLeavesNoHalfLoadedWindowAndIsMetAgain) {
    Harness h;
    setProfile(h, "ACME");
    h.exec("INSERT INTO BOX (MONEY) VALUES (12)");
    h.exec("ALTER TABLE VALIDITY_DATE RENAME TO VALIDITY_DATE_AWAY");
    begin(h);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        h.click("Form16", "Command1");
        EXPECT_EQ(h.dialogs.messages().size(), static_cast<size_t>(attempt));
        EXPECT_EQ(h.dialogs.messages().back().style, mb::Critical);
        EXPECT_FALSE(h.app.isLoaded("Form1")) << attempt;
        EXPECT_TRUE(h.form("Form16").visible());
    }
    h.exec("ALTER TABLE VALIDITY_DATE_AWAY RENAME TO VALIDITY_DATE");
    h.click("Form16", "Command1");
    ASSERT_TRUE(h.app.isLoaded("Form1"));
    EXPECT_TRUE(h.form("Form1").visible());
    EXPECT_EQ(h.app.form<Form1>().Label23[2]->caption(), "12");
}

TEST(StartWindow, FirstUseStoresTheProfileAndEveryCaptionShowsTheNewName) {
    Harness h;
    h.exec("DELETE FROM Admin");  // without the day-state row the start still shows
    begin(h);
    Form& start = h.form("Form16");
    EXPECT_TRUE(start.button("Command1").visible);
    h.click("Form16", "Command1");
    EXPECT_EQ(h.lastMessage().rfind("شركة نورفال تهنئك", 0), 0u);
    EXPECT_FALSE(h.app.isLoaded("Form1"));
    EXPECT_TRUE(start.textBox("Text1", 7).visible && !start.button("Command1").visible);

    // A number no 32-bit field holds is refused before anything is stored.
    h.type("Form16", "Text1", "99999999999", 1);
    h.click("Form16", "Command3");
    EXPECT_FALSE(h.app.isLoaded("Form1"));
    EXPECT_FALSE(toBool(h.cell("DIM", 0, "COMP")));

    h.type("Form16", "Text1", "ACME", 0);
    h.type("Form16", "Text1", "12.5", 1);
    h.type("Form16", "Text1", "fax", 2);
    h.click("Form16", "Check1");
    h.click("Form16", "Command3");
    EXPECT_EQ(h.cell("DIM", 0, "COMPANY_NAME"), Value("ACME"));
    EXPECT_EQ(ints({h.cell("DIM", 0, "PHONE"), h.cell("DIM", 0, "FAX")}),
              (std::vector<int32_t>{12, 0}));
    EXPECT_TRUE(toBool(h.cell("DIM", 0, "SECURITY")) && toBool(h.cell("DIM", 0, "COMP")));

    const std::string title = "  مخزن و حسابات ACME";
    EXPECT_TRUE(h.form("Form1").visible());
    EXPECT_EQ(h.form("Form1").caption, "مخزن " + title);
    h.menu("Form1", "PROGRAMMER");
    EXPECT_EQ(h.form("Form7").caption, " بيانات عن برنامج " + title);
}

TEST(StartWindow, AClosedDayOffersOnlyTheNewDayButtonAndWritesTheRowsBeforeTheMainWindowShows) {
    Harness h;
    setProfile(h, "ACME");
    makeGroup(h, "G1", "('bolt', 5, 0, 0), ('nut', NULL, 0, 0)");
    h.exec("UPDATE Admin SET enter=1");
    struct Watch : UiObserver {
        Harness* h = nullptr;
        long rowsWhenShown = -1;
        void uiChanged() override {
            Form* main = h->app.loadedForm("Form1");
            if (main && main->visible() && rowsWhenShown < 0) rowsWhenShown = h->count("DAILY_TRADE");
        }
    } watch;
    watch.h = &h;
    h.app.setObserver(&watch);
    begin(h);
    EXPECT_TRUE(h.form("Form16").button("Command2").visible);
    EXPECT_FALSE(h.form("Form16").button("Command1").visible || toBool(h.cell("Admin", 0, "enter")));
    h.click("Form16", "Command2");
    h.app.setObserver(nullptr);
    EXPECT_EQ(watch.rowsWhenShown, 2);
    EXPECT_FALSE(h.app.isLoaded("Form16"));

    // The next run, without a day close, is an ordinary start.
    ScriptedDialogs dialogs;
    Application again(h.machine, h.clock, dialogs);
    registerWindows(again);
    startProgram(again);
    EXPECT_TRUE(again.form("Form16").button("Command1").visible);
    EXPECT_FALSE(again.form("Form16").button("Command2").visible);
}

// Every item of the main menu, clicked with the permissions switch off and
// on. What an item does: the window or report it opens, "lock", "end",
// "uncover", "says:" or "asks:" a box, or "" (a bar menu, or an item with no
// action). "off|on" where the switch routes it.
const std::map<std::string, std::string> kOpens = {
    {"file", ""}, {"account", "Form12|Form13"}, {"board", "lock"}, {"copy", "Form47"},
    {"day_exite", "Form48"}, {"exit", "end"}, {"store", ""}, {"store_functions", "uncover|Form20"},
    {"RENAME_MAIN", "Form49"},
    {"earchby_name", "says:أختر مجموعة الأصناف ثم طقطق داخل مربع نص  اسم الصنف"},
    {"INVENTORY_REPORT", "DataReport10"}, {"output", ""}, {"moutput", "Form11"}, {"doutput", "Form18"},
    {"yearout", "Form19"}, {"invo", ""}, {"SALES_IN", "Form3"}, {"saleslarge", "Form42"},
    {"sellgroup", "Form53"}, {"returne", "Form28"}, {"supply_inv", "Form17"}, {"ECEIVE", "Form41"},
    {"PAY", "Form35"}, {"dealers", ""}, {"SUPPLY_INF", "Form5|Form32"}, {"BUYER", "Form6|Form52"},
    {"BOX", ""}, {"BOX_MANGEMENT", "Form34"}, {"emplyee1", ""}, {"emplyee", ""},
    {"observe_employee", "Form51"}, {"ADD_EMPLOYEE", "Form50"}, {"HELP", ""}, {"PROGRAMMER", "Form7"},
    {"USE", ""}, {"reports", ""}, {"inventory_rep", "DataReport10"}, {"akkes_repo", "DataReport3"},
    {"buy_repo", "DataReport4"}, {"ss", "DATA_SUPPLIER"}, {"dealer", "DataReport2"},
    {"BOX_REPORT", "DataReport8"}, {"emplyee_report", "DataReport12"},
    {"date_report", "asks:البحث عن الصلاحية"}, {"new", "Form56"},
};

// What one click of the item did, in the table's words.
std::string clicked(const std::string& item, bool switchOn) {
    Harness h;
    setProfile(h, "ACME", switchOn);
    enterMain(h);
    const std::vector<Form*> before = h.app.visibleForms();
    h.dialogs.clear();
    h.menu("Form1", item);
    if (h.app.ended()) return "end";
    Form& main = h.form("Form1");
    if (!main.enabled) return "lock";
    if (!main.picture("Picture2").visible) return "uncover";
    if (h.app.lastReport()) return h.app.lastReport()->name;
    for (Form* f : h.app.visibleForms())
        if (std::find(before.begin(), before.end(), f) == before.end()) return f->name();
    if (h.dialogs.shown().empty()) return "";
    const auto& box = h.dialogs.shown()[0];
    return box.input ? "asks:" + box.title : "says:" + box.prompt;
}

TEST(MainMenu, EveryItemOpensWhatItShouldWithTheSwitchOffAndOn) {
    Harness h;
    const std::vector<MenuItem*> items = h.form("Form1").allMenus();
    ASSERT_EQ(items.size(), kOpens.size());
    for (const MenuItem* item : items) {
        const std::string routes = kOpens.at(item->name());
        const size_t bar = routes.find('|');
        for (bool on : {false, true}) {
            const std::string expected =
                bar == std::string::npos ? routes : on ? routes.substr(bar + 1) : routes.substr(0, bar);
            EXPECT_EQ(clicked(item->name(), on), expected) << item->name() << (on ? ", switch on" : "");
        }
    }
}

class DayQuantitiesTest : public ::testing::Test {
protected:
    DayQuantitiesTest() {
        setProfile(h, "ACME");
        makeGroup(h, "G1", "('bolt', 5, 0, 0), ('nut', NULL, 0, 0), ('bolt', 40000, 0, 0)");
        makeGroup(h, "G2", "('bolt', 7, 0, 0), ('washer', 70000, 0, 0)");
        startNewDay(h);
    }
    Harness h;
};

TEST_F(DayQuantitiesTest, StartAndEndOfDayRowsForDuplicateNames) {
    EXPECT_EQ(col(h, "DAILY_TRADE", "DESC"), "bolt|nut|bolt|bolt|washer");
    EXPECT_EQ(col(h, "DAILY_TRADE", "STARY_DAY_Q"), "5|0|40000|7|70000");

    // The card stays on its group and row while the pass walks every group.
    h.menu("Form1", "store_functions");
    h.choose("Form1", "DataCombo3", "G1");
    h.app.navigate(h.form("Form1").adodc("Adodc4"), Nav::Next);
    h.exec("UPDATE G1 SET ONSTOCK=1 WHERE REC_ID=1");
    h.machine.action([&] { endOfDayPass(h.app); });
    EXPECT_EQ(col(h, "DAILY_TRADE", "END_DAY_Q"), "7|0|7|7|70000");  // G2's bolt comes last
    EXPECT_EQ(h.form("Form1").adodc("Adodc4").RecordSource, "G1");
    EXPECT_EQ(h.text("Form1", "Text6"), "nut");

    h.exec("UPDATE G2 SET ONSTOCK=3 WHERE REC_ID=1");
    h.machine.action([&] { endOfDayPass(h.app); });
    EXPECT_EQ(toInt32(h.cell("DAILY_TRADE", 0, "END_DAY_Q")), 3);
    h.machine.action([&] { startOfDay(h.app); });  // a second start appends
    EXPECT_EQ(h.count("DAILY_TRADE"), 10);

    h.exec("UPDATE DAILY_TRADE SET OUTPUT = 2, INPUT = 1 WHERE rowid = 2");
    h.menu("Form1", "INVENTORY_REPORT");
    EXPECT_EQ(h.lines("Form1"), std::vector<std::string>(2, " كميات أخر اليوم جاهزة "));
    // The daily movement report: end, sold, received, start, name per row.
    ASSERT_NE(h.app.report("DataReport10"), nullptr);
    std::string rows;
    for (const auto& r : h.app.report("DataReport10")->rows)
        rows += r[0] + " " + r[1] + " " + r[2] + " " + r[3] + " " + r[4] + "|";
    EXPECT_EQ(rows, "3 0 0 5 bolt|0 2 1 0 nut|3 0 0 40000 bolt|3 0 0 7 bolt|70000 0 0 70000 washer|"
                    "3 0 0 1 bolt|0 0 0 0 nut|3 0 0 40000 bolt|3 0 0 3 bolt|70000 0 0 70000 washer|");
}

}  // namespace
}  // namespace mk
