#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/steps.h"
#include "store/item_card.h"

namespace mk {
namespace {

using namespace test;

size_t charCount(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

std::vector<std::string> totals(Form1& main) {
    std::vector<std::string> out;
    for (Label* l : {main.Label23[0], main.Label23[1], main.Label23[2], main.Label24, main.Label21})
        out.push_back(l->caption());
    return out;
}

TEST(MainWindow, TotalsCountCreditsNegativeStockAndEmptyValuesAsZero) {
    Harness h;
    setProfile(h, "ACME");
    h.exec("INSERT INTO BUYER (MONEY) VALUES (100), (-30), (NULL)");
    h.exec("INSERT INTO SUPPLIER (MONEY) VALUES (50.5), (NULL)");
    h.exec("INSERT INTO BOX (MONEY) VALUES (75.25)");
    makeGroup(h, "G1", "('a', 2, 10, 6), ('b', -1, 10, 6), ('c', NULL, 5, 5), ('d', 3, NULL, NULL)");
    makeGroup(h, "G2");
    begin(h);
    h.click("Form16", "Command1");
    Form1& main = h.app.form<Form1>();
    EXPECT_EQ(totals(main), (std::vector<std::string>{"70", "50.5", "75.25", "10", "6"}));
    EXPECT_EQ(main.Label13->caption(), "06/12/2026");
    EXPECT_FALSE(main.card->Adodc4->isOpen());  // the card waits for a group to be chosen

    Harness empty;
    setProfile(empty, "ACME");
    empty.exec("DELETE FROM BOX");
    openStore(empty);
    EXPECT_EQ(totals(empty.app.form<Form1>()), std::vector<std::string>(5, "0"));
    EXPECT_TRUE(empty.dialogs.messages().empty());
}

TEST(MainWindow, CreditsMarqueeDoublesThenSwapsItsHalves) {
    Harness h;
    setProfile(h, "ACME");
    openStore(h);
    Form1& main = h.app.form<Form1>();
    const std::string credits = Form1::kCredits;
    const size_t n = charCount(credits) + 250;
    h.advance(649);
    EXPECT_EQ(main.Label19->caption(), "");
    std::vector<std::string> shown;
    for (size_t length = charCount(credits), i = 0; i < 7; ++i) {
        h.advance(i == 0 ? 1 : 650);
        shown.push_back(main.Label19->caption());
        length = length <= n ? 2 * length : 2 * n;
        EXPECT_EQ(charCount(shown[i]), length) << "tick " << i;
        if (i >= 2 && charCount(shown[i - 2]) == 2 * n) {
            EXPECT_EQ(shown[i], shown[i - 2]);
        }
    }
    EXPECT_EQ(shown[0], credits + credits);
    EXPECT_NE(shown[5], shown[6]);
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

TEST(MainWindow, ThePermissionsSwitchRoutesTheGuardedMenus) {
    Harness off;
    setProfile(off, "ACME", false);
    EXPECT_FALSE(openStore(off).picture("Picture2").visible);
    off.menu("Form1", "SUPPLY_INF");
    EXPECT_TRUE(off.form("Form5").visible());
    off.menu("Form1", "exit");
    EXPECT_TRUE(off.app.ended() && off.app.loadedForms().empty());

    Harness on;
    setProfile(on, "ACME", true);
    EXPECT_TRUE(openStore(on).picture("Picture2").visible);
    EXPECT_TRUE(on.form("Form20").visible());
    using Route = std::pair<const char*, const char*>;
    for (auto [item, window] : {Route{"SUPPLY_INF", "Form32"}, Route{"BUYER", "Form52"},
                                Route{"account", "Form13"}}) {
        on.menu("Form1", item);
        EXPECT_TRUE(on.form(window).visible()) << item;
    }
    EXPECT_FALSE(on.form("Form5").visible() || on.form("Form6").visible());
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
    ASSERT_TRUE(h.form("Form6").visible());
    EXPECT_EQ(h.text("Form6", "Text1", 0), "Hala");
    h.click("Form6", "cmdaction", 2);
    EXPECT_EQ(h.caption("Form6", "cmdaction", 2), "&save");
    h.type("Form6", "Text1", "0123", 1);
    h.click("Form6", "cmdaction", 2);
    EXPECT_EQ(h.caption("Form6", "cmdaction", 2), "&edit");
    EXPECT_EQ(toText(h.cell("BUYER", 0, "PHONE")), "0123");
    EXPECT_EQ(toText(h.cell("BUYER", 1, "PHONE")), "222");
    EXPECT_TRUE(h.dialogs.messages().empty());
}

TEST(MainWindow, AListedGroupWithoutATableIsReportedOnceAndSkipped) {
    Harness h;
    setProfile(h, "ACME");
    makeGroup(h, "G1", "('bolt', 2, 10, 6)");
    h.exec("INSERT INTO qqq (Q) VALUES ('Ghost')");
    makeGroup(h, "G2", "('nut', 3, 1, 1)");
    h.exec("UPDATE Admin SET enter=1");
    begin(h);
    h.click("Form16", "Command2");  // start of day, then the main window with its totals

    Form1& main = h.app.form<Form1>();
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(h.app.isLoaded("Form16"));
    EXPECT_EQ(main.Label24->caption(), "23");
    EXPECT_EQ(main.Label21->caption(), "15");
    EXPECT_EQ(h.column("DAILY_TRADE", "DESC"), (std::vector<Value>{Value("bolt"), Value("nut")}));
    const std::vector<std::string> notice = {
        "لا يوجد جدول لمجموعة الأصناف Ghost، لن تدخل فى الإجماليات و كميات اليوم"};
    EXPECT_EQ(h.messageTexts(), notice);

    // The end of day pass skips it too, without a second notice.
    h.exec("UPDATE G2 SET ONSTOCK=9");
    h.menu("Form1", "INVENTORY_REPORT");
    EXPECT_EQ(ints(h.column("DAILY_TRADE", "END_DAY_Q")), (std::vector<int32_t>{2, 9}));
    EXPECT_EQ(h.lines("Form1"), std::vector<std::string>(2, " كميات أخر اليوم جاهزة "));
    EXPECT_EQ(h.messageTexts(), notice);
}

}  // namespace
}  // namespace mk

namespace mk {
namespace {

using namespace test;

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
