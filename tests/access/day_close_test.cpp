#include <gtest/gtest.h>

#include "access/standins.h"
#include "app/system.h"

namespace mk {
namespace {

using test::Harness;

struct DayCloseTest : ::testing::Test {
    DayCloseTest() {
        realStart = test::realStartWindow(h.app);
        test::registerStandIns(h.app);
        h.app.setMainForm("Form1");
        test::addUser(h, "ali", "secret1", {"store"});
        test::addUser(h, "boss", "secret2", {"close"});
        h.exec("INSERT INTO DAILY_TRADE (\"DESC\", STARY_DAY_Q) VALUES ('bolt', 5), ('nut', 7)");
        h.show("Form1");
        h.show("Form48");  // the copy, then the closing login
    }
    void login(const std::string& user, const std::string& password) {
        h.type("Form44", "Text1", user, 0);
        h.type("Form44", "Text1", password, 1);
        h.click("Form44", "Command1");
    }
    bool enterMarked() { return test::right(h, "529", "enter"); }
    Harness h;
    bool realStart = false;
};

TEST_F(DayCloseTest, ARefusedLoginClosesNothingAndTheGoodOneClosesTheDay) {
    ASSERT_TRUE(h.app.isLoaded("Form44"));
    login("ali", "secret1");
    EXPECT_EQ(h.lastMessage(), "ليست لديك هذه الصلاحية.");
    login("boss", "secret");
    EXPECT_EQ(h.lastMessage(), "Password is incorrect!");
    EXPECT_EQ(h.count("DAILY_TRADE"), 2);
    EXPECT_FALSE(enterMarked());
    EXPECT_TRUE(h.app.isLoaded("Form1"));

    // A row added since the main window read its table goes too.
    h.exec("INSERT INTO DAILY_TRADE (\"DESC\", STARY_DAY_Q) VALUES ('washer', 1)");
    login("boss", "secret2");
    EXPECT_EQ(h.count("DAILY_TRADE"), 0);
    EXPECT_TRUE(enterMarked());
    EXPECT_FALSE(test::right(h, "boss", "enter"));
    for (const char* f : {"Form1", "Form48", "Form44"}) EXPECT_FALSE(h.app.isLoaded(f)) << f;
    EXPECT_TRUE(h.app.ended());
}

TEST_F(DayCloseTest, TheNextStartOffersOnlyTheNewDayButton) {
    if (!realStart) GTEST_SKIP() << "needs the real start window";
    login("boss", "secret2");
    ASSERT_TRUE(h.app.ended());
    ScriptedDialogs dialogs;
    Application next(h.machine, h.clock, dialogs);
    registerWindows(next);
    next.setMainForm("Form1");
    next.start("Form16");
    Form& start = next.form("Form16");
    EXPECT_TRUE(start.button("Command2").visible);
    EXPECT_FALSE(start.button("Command1").visible);
    EXPECT_EQ(start.button("Command2").caption, "أبدأ يوم جديد");
}

TEST_F(DayCloseTest, WithoutTheReservedRowNothingChanges) {
    h.exec("DELETE FROM \"Admin\" WHERE \"UserID\" = '529'");
    login("boss", "secret2");
    EXPECT_NE(h.lastMessage().find("529"), std::string::npos);
    EXPECT_EQ(h.count("DAILY_TRADE"), 2);
    EXPECT_TRUE(h.app.isLoaded("Form1"));
    EXPECT_TRUE(h.app.isLoaded("Form44"));
}

TEST_F(DayCloseTest, GivingUpLeavesTheDayOpen) {
    h.click("Form44", "Command2");
    EXPECT_FALSE(h.app.isLoaded("Form44"));
    EXPECT_FALSE(h.app.isLoaded("Form48"));
    EXPECT_TRUE(h.app.isLoaded("Form1"));
    EXPECT_EQ(h.count("DAILY_TRADE"), 2);
    EXPECT_FALSE(enterMarked());
}

}  // namespace
}  // namespace mk
