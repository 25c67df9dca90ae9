#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/steps.h"
#include "store/item_card.h"

namespace mk {
namespace {

using namespace test;

void addRows(Harness& h, const std::string& table, const std::vector<Value>& money) {
    Recordset rs(h.db(), table);
    for (const Value& m : money) {
        rs.addNew();
        rs.setField("MONEY", m);
        rs.update();
    }
}

Form1& mainWindow(Harness& h) { return h.app.form<Form1>(); }

TEST(MainWindow, TotalsCountCreditsAndNegativeStockAndEmptyValuesAsZero) {
    Harness h;
    setProfile(h, "ACME");
    addRows(h, "BUYER", {Value(100.0), Value(-30.0), Value::null()});
    addRows(h, "SUPPLIER", {Value(50.5), Value::null()});
    addRows(h, "BOX", {Value(20.0), Value(75.25)});
    makeGroup(h, "G1",
              {{"a", 2, 10.0, 6.0}, {"b", -1, 10.0, 6.0}, {"c", Value::null(), 5.0, 5.0},
               {"d", 3, Value::null(), Value::null()}, {"e", 0, 99.0, 99.0}});
    makeGroup(h, "G2", {});
    begin(h);
    h.click("Form16", "Command1");

    Form1& main = mainWindow(h);
    EXPECT_EQ(main.caption, "مخزن   مخزن و حسابات ACME");
    EXPECT_EQ(main.Label23[0]->caption(), "70");
    EXPECT_EQ(main.Label23[1]->caption(), "50.5");
    EXPECT_EQ(main.Label23[2]->caption(), "75.25");
    EXPECT_EQ(main.Label24->caption(), "10");
    EXPECT_EQ(main.Label21->caption(), "6");
    EXPECT_EQ(main.Label13->caption(), "06/12/2026");
    EXPECT_EQ(main.Label9->caption(), "09:00:00");
    // The partner and cash box windows stay loaded, hidden.
    for (const char* name : {"Form5", "Form6", "Form34"}) {
        ASSERT_TRUE(h.app.isLoaded(name)) << name;
        EXPECT_FALSE(h.form(name).visible()) << name;
    }
    // Until a group is chosen the card stands past the end of the last group.
    EXPECT_EQ(main.card->Adodc4->RecordSource, "G2");
    EXPECT_TRUE(main.card->Adodc4->recordset().eof());
    EXPECT_TRUE(main.Picture2->visible);
}

TEST(MainWindow, EmptyTablesGiveZeroTotals) {
    Harness h;
    setProfile(h, "ACME");
    h.exec("DELETE FROM BOX");
    makeGroup(h, "EMPTY", {});
    begin(h);
    h.click("Form16", "Command1");
    Form1& main = mainWindow(h);
    for (Label* l : {main.Label23[0], main.Label23[1], main.Label23[2], main.Label24, main.Label21})
        EXPECT_EQ(l->caption(), "0");
    EXPECT_TRUE(h.dialogs.messages().empty());
}

TEST(MainWindow, CreditsMarqueeDoublesThenSwapsItsHalves) {
    Harness h;
    setProfile(h, "ACME");
    openStore(h);
    Form1& main = mainWindow(h);
    const std::string credits = Form1::kCredits;
    const size_t n = charCount(credits) + 250;
    h.advance(649);
    EXPECT_EQ(main.Label19->caption(), "");
    std::vector<std::string> shown;
    for (int tick = 0; tick < 8; ++tick) {
        h.advance(tick == 0 ? 1 : 650);
        shown.push_back(main.Label19->caption());
    }
    EXPECT_EQ(shown[0], credits + credits);
    size_t length = charCount(credits);
    for (size_t i = 0; i < shown.size(); ++i) {
        length = length <= n ? 2 * length : 2 * n;
        EXPECT_EQ(charCount(shown[i]), length) << "tick " << i;
        if (i >= 2 && charCount(shown[i - 2]) == 2 * n) {
            EXPECT_EQ(shown[i], shown[i - 2]);
            EXPECT_NE(shown[i], shown[i - 1]);
        }
    }
    EXPECT_EQ(charCount(shown.back()), 2 * n);
}

TEST(MainWindow, TheClockRunsButTheDocumentDateStaysPastMidnight) {
    Harness h(Harness::Windows::System, makeDateTime(2026, 12, 6, 23, 59, 58));
    setProfile(h, "ACME");
    openStore(h);
    Form1& main = mainWindow(h);
    EXPECT_EQ(main.Label9->caption(), "23:59:58");
    h.advance(3000);
    EXPECT_EQ(main.Label9->caption(), "00:00:01");
    EXPECT_EQ(main.Label13->caption(), "06/12/2026");
}

TEST(MainWindow, ASecondLockEndsAtTheRunningTimersNextTick) {
    Harness h;
    setProfile(h, "ACME");
    openStore(h);
    Form1& main = mainWindow(h);
    h.menu("Form1", "board");
    EXPECT_FALSE(main.enabled);
    EXPECT_FALSE(h.menu("Form1", "PROGRAMMER"));
    h.advance(11999);
    EXPECT_FALSE(main.enabled);
    h.advance(1);
    EXPECT_TRUE(main.enabled);
    h.advance(3000);  // 15 s
    h.menu("Form1", "board");
    h.advance(8999);
    EXPECT_FALSE(main.enabled);
    h.advance(1);  // 24 s: the timer's next tick
    EXPECT_TRUE(main.enabled);
}

TEST(MainWindow, ThePermissionsSwitchRoutesTheGuardedMenus) {
    {
        Harness off;
        setProfile(off, "ACME", false);
        openStore(off);
        EXPECT_FALSE(off.form("Form1").picture("Picture2").visible);
        off.menu("Form1", "SUPPLY_INF");
        EXPECT_TRUE(off.form("Form5").visible());
        off.menu("Form1", "BUYER");
        EXPECT_TRUE(off.form("Form6").visible());
        off.menu("Form1", "account");
        EXPECT_TRUE(off.form("Form12").visible());
        EXPECT_FALSE(off.app.isLoaded("Form13"));
    }
    Harness on;
    setProfile(on, "ACME", true);
    registerBlank(on.app, "Form32");
    openStore(on);
    EXPECT_TRUE(on.form("Form20").visible());
    EXPECT_TRUE(on.form("Form1").picture("Picture2").visible);
    on.menu("Form1", "SUPPLY_INF");
    EXPECT_TRUE(on.form("Form32").visible());
    EXPECT_FALSE(on.form("Form5").visible());
    on.menu("Form1", "BUYER");
    EXPECT_TRUE(on.form("Form52").visible());
    EXPECT_FALSE(on.form("Form6").visible());
    on.menu("Form1", "account");
    EXPECT_TRUE(on.form("Form13").visible());
}

TEST(MainWindow, IdleItemsDoNothingAndExitEndsTheProgram) {
    Harness h;
    setProfile(h, "ACME");
    openStore(h);
    const size_t loaded = h.app.loadedForms().size();
    EXPECT_TRUE(h.menu("Form1", "emplyee"));
    EXPECT_TRUE(h.menu("Form1", "USE"));
    EXPECT_EQ(h.app.loadedForms().size(), loaded);
    EXPECT_TRUE(h.dialogs.messages().empty());
    for (MenuItem* m : h.form("Form1").allMenus()) EXPECT_TRUE(m->isAvailable()) << m->name();

    h.menu("Form1", "PROGRAMMER");
    h.click("Form7", "Command1");
    EXPECT_FALSE(h.app.isLoaded("Form7"));

    h.menu("Form1", "exit");
    EXPECT_TRUE(h.app.ended());
    EXPECT_TRUE(h.app.loadedForms().empty());
}

}  // namespace
}  // namespace mk
