// Users and their rights, the login windows, and the day close behind a
// login.
#include <gtest/gtest.h>

#include "app/system.h"
#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

struct UsersTest : ::testing::Test {
    UsersTest() {
        addUser(h, "ali", "secret1");
        addUser(h, "sara", "secret2");
        h.show("Form12");
    }
    void move(Nav where) { h.app.navigate(h.form("Form12").adodc("Adodc1"), where); }
    std::vector<std::string> ids() {
        std::vector<std::string> out;
        for (const Value& v : h.column("Admin", "UserID")) out.push_back(toText(v));
        return out;
    }
    Harness h;
};

TEST_F(UsersTest, SavingChecksThePasswordThenStoresTheUser) {
    h.click("Form12", "cmdaction", 0);
    h.type("Form12", "Text1", "omar", 2);
    h.type("Form12", "Text1", "abcd", 3);
    h.click("Form12", "cmdaction", 0);
    EXPECT_EQ(h.lastTitle(), "Small Password");
    h.type("Form12", "Text1", "abcde", 3);
    h.click("Form12", "Check1", 10);  // close
    h.click("Form12", "cmdaction", 0);
    ASSERT_EQ(ids(), (std::vector<std::string>{"529", "ali", "sara", "omar"}));
    EXPECT_EQ(toText(h.cell("Admin", 3, "FirstName")), "omar");
    EXPECT_TRUE(right(h, "omar", "close"));
}

TEST_F(UsersTest, ADuplicateUserIdIsRefusedFromAnAddAndFromAnEdit) {
    h.click("Form12", "cmdaction", 0);
    h.type("Form12", "Text1", "sara", 2);
    h.type("Form12", "Text1", "another1", 3);
    h.click("Form12", "cmdaction", 0);
    EXPECT_EQ(h.lastMessage(), "User ID already in use,Please enter another User ID ");
    EXPECT_EQ(h.lastTitle(), "Duplicate User ID");
    EXPECT_EQ(h.caption("Form12", "cmdaction", 0), "&add");
    EXPECT_EQ(h.count("Admin"), 3);

    // "ali" renamed to "sara" in the boxes that stay unlocked, then the bar
    // moves on: the rename is refused, the rest of the edit kept.
    move(Nav::Next);
    h.type("Form12", "Text1", "sara", 0);
    h.type("Form12", "Text1", "newpass", 1);
    h.dialogs.clear();
    move(Nav::Next);
    EXPECT_EQ(h.lastTitle(), "Duplicate User ID");
    EXPECT_EQ(ids(), (std::vector<std::string>{"529", "ali", "sara"}));
    EXPECT_EQ(toText(h.cell("Admin", 1, "Password")), "newpass");

    // A free id is a plain rename, kept when the window closes.
    move(Nav::Previous);
    h.type("Form12", "Text1", "alia", 0);
    h.click("Form12", "cmdClose");
    EXPECT_EQ(ids(), (std::vector<std::string>{"529", "alia", "sara"}));
}

TEST_F(UsersTest, TheReservedDayStateRowCanBeNeitherDeletedNorRenamed) {
    h.click("Form12", "Command1");
    ASSERT_EQ(h.dialogs.messages().size(), 1u);  // refused, not asked
    EXPECT_NE(h.lastMessage().find("529"), std::string::npos);
    h.type("Form12", "Text1", "530", 2);
    move(Nav::Next);
    EXPECT_EQ(h.dialogs.messages().size(), 2u);
    EXPECT_EQ(ids(), (std::vector<std::string>{"529", "ali", "sara"}));

    h.answer(answer::Yes);
    h.click("Form12", "Command1");
    EXPECT_EQ(h.lastMessage(), "user will be deleted");
    EXPECT_EQ(ids(), (std::vector<std::string>{"529", "sara"}));
}

struct LoginTest : ::testing::Test {
    Harness h;
};

TEST_F(LoginTest, RefusalsComeInTheirOrderAndTheGoodLoginShowsTheCustomers) {
    addUser(h, "ali", "secret1");
    addUser(h, "sara", "secret2", {"buyer"});
    h.show("Form52");
    const std::vector<std::pair<std::string, std::string>> tries = {
        {"sara", ""}, {"Sara", "secret2"}, {"sara ", "secret2"}, {"ali", "wrong"}, {"sara", "x"}};
    for (const auto& [user, password] : tries) login(h, "Form52", user, password);
    EXPECT_EQ(h.messageTexts(),
              (std::vector<std::string>{"احدى الخانتين فارغة من فضلك اعد المحاولة.",
                                        "User ID was not found, try again.",
                                        "User ID was not found, try again.",
                                        "ليست لديك صلاحية دخول العملاء", "Password is incorrect!"}));
    std::string titles;
    for (const auto& m : h.dialogs.messages()) titles += m.title + " ";
    EXPECT_EQ(titles, "Attention Warning! Warning! Attention Warning!! ");
    EXPECT_FALSE(h.app.isLoaded("Form6"));

    login(h, "Form52", "sara", "secret2");
    EXPECT_EQ(h.dialogs.messages().size(), 5u);
    EXPECT_FALSE(h.app.isLoaded("Form52"));
    EXPECT_TRUE(h.form("Form6").visible());
}

TEST_F(LoginTest, StoreLoginUncoversTheStoreFunctionsAndTotalsLoginLeadsToTheReset) {
    addUser(h, "omar", "12345", {"store"});
    h.show("Form1");
    h.show("Form20");
    h.click("Form20", "Command2");  // closing does nothing else
    EXPECT_TRUE(h.form("Form1").picture("Picture2").visible);
    h.show("Form20");
    login(h, "Form20", "omar", "12345");
    EXPECT_FALSE(h.app.isLoaded("Form20"));
    EXPECT_FALSE(h.form("Form1").picture("Picture2").visible);

    h.exec("INSERT INTO INVENTORY (\"DESC\", TOTAL, \"TOTAL-SELL\") VALUES ('a', 10, 20)");
    h.show("Form21");
    login(h, "Form21", "omar", "12345");
    h.exec("INSERT INTO INVENTORY (\"DESC\", TOTAL, \"TOTAL-SELL\") VALUES ('b', 5, 6)");
    h.answer(answer::Yes);
    h.click("Form22", "Command1");
    EXPECT_EQ(col(h, "INVENTORY", "TOTAL") + " " + col(h, "INVENTORY", "TOTAL-SELL"),
              "0|0 0|0");
}

TEST_F(LoginTest, ARightGrantedInTheUserWindowWorksAtTheNextLogin) {
    addUser(h, "huda", "pass55");
    h.show("Form52");  // its table read before the right exists
    login(h, "Form52", "huda", "pass55");
    EXPECT_EQ(h.lastMessage(), "ليست لديك صلاحية دخول العملاء");

    h.show("Form12");
    h.app.navigate(h.form("Form12").adodc("Adodc1"), Nav::Last);
    h.click("Form12", "Check1", 2);  // buyer, ticked; the window stays open
    login(h, "Form52", "huda", "pass55");
    EXPECT_TRUE(h.form("Form6").visible());
}

TEST_F(LoginTest, AdministratorLoginChecksTwoFixedTextsNotTheUsers) {
    addUser(h, "boss", "480371", {"store", "buyer"});
    h.show("Form13");
    login(h, "Form13", "boss", "480371");
    login(h, "Form13", "keeper", "480372");
    login(h, "Form13", "keeper", "480371");
    EXPECT_EQ(h.messageTexts(), (std::vector<std::string>{"User ID was not found, try again.",
                                                          "Password is incorrect!"}));
    EXPECT_TRUE(h.form("Form12").visible());
}

struct DayCloseTest : ::testing::Test {
    DayCloseTest() {
        h.app.setMainForm("Form1");
        addUser(h, "ali", "secret1", {"store"});
        addUser(h, "boss", "secret2", {"close"});
        h.exec("INSERT INTO DAILY_TRADE (\"DESC\", STARY_DAY_Q) VALUES ('bolt', 5), ('nut', 7)");
        h.show("Form1");
        h.show("Form48");  // the copy, then the closing login
    }
    Harness h;
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
    EXPECT_TRUE(right(h, "529", "enter"));
    EXPECT_FALSE(right(h, "boss", "enter"));
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
