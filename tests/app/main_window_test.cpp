// The main window: its totals, the lock timer, and what it does with a
// missing group table or a failed load.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "support/steps.h"
#include "store/item_card.h"

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
    EXPECT_EQ(h.caption("Form1", "Label23", 0), "15");
    EXPECT_EQ(h.text("Form5", "Text1", 0), "Nour");
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

}  // namespace
}  // namespace mk
