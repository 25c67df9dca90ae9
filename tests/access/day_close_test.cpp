#include <gtest/gtest.h>

#include "support/steps.h"
#include "app/system.h"

namespace mk {
namespace {

using test::login;

struct DayCloseTest : ::testing::Test {
    DayCloseTest() {
        h.app.setMainForm("Form1");
        test::addUser(h, "ali", "secret1", {"store"});
        test::addUser(h, "boss", "secret2", {"close"});
        h.exec("INSERT INTO DAILY_TRADE (\"DESC\", STARY_DAY_Q) VALUES ('bolt', 5), ('nut', 7)");
        h.show("Form1");
        h.show("Form48");  // the copy, then the closing login
    }
    test::Harness h;
};

TEST_F(DayCloseTest, ARefusedLoginClosesNothingAndTheGoodOneClosesTheDay) {
    login(h, "Form44", "ali", "secret1");
    EXPECT_EQ(h.lastMessage(), "ليست لديك هذه الصلاحية.");
    EXPECT_EQ(h.count("DAILY_TRADE"), 2);

    // A row added since the main window read its table goes too.
    h.exec("INSERT INTO DAILY_TRADE (\"DESC\", STARY_DAY_Q) VALUES ('washer', 1)");
    login(h, "Form44", "boss", "secret2");
    EXPECT_EQ(h.count("DAILY_TRADE"), 0);
    // The reserved row marks the day closed: the next start offers only the
    // new day button (tested with the start window).
    EXPECT_TRUE(test::right(h, "529", "enter"));
    EXPECT_FALSE(test::right(h, "boss", "enter"));
    for (const char* f : {"Form1", "Form48", "Form44"}) EXPECT_FALSE(h.app.isLoaded(f)) << f;
    EXPECT_TRUE(h.app.ended());
}

TEST_F(DayCloseTest, WithoutTheReservedRowOrOnGivingUpNothingChanges) {
    h.exec("UPDATE Admin SET UserID = '530' WHERE UserID = '529'");
    login(h, "Form44", "boss", "secret2");
    EXPECT_NE(h.lastMessage().find("529"), std::string::npos);
    EXPECT_EQ(h.count("DAILY_TRADE"), 2);
    EXPECT_TRUE(h.app.isLoaded("Form44"));

    h.click("Form44", "Command2");
    EXPECT_FALSE(h.app.isLoaded("Form44"));
    EXPECT_FALSE(h.app.isLoaded("Form48"));
    EXPECT_TRUE(h.app.isLoaded("Form1"));
    EXPECT_EQ(h.count("DAILY_TRADE"), 2);
}

}  // namespace
}  // namespace mk
