#include <gtest/gtest.h>

#include "access/standins.h"

namespace mk {
namespace {

using test::Harness;

struct LoginTest : ::testing::Test {
    LoginTest() { test::registerStandIns(h.app); }
    void login(const std::string& form, const std::string& user, const std::string& password) {
        h.type(form, "Text1", user, 0);
        h.type(form, "Text1", password, 1);
        h.click(form, "Command1");
    }
    Harness h;
};

TEST_F(LoginTest, RefusalsComeInTheirOrderAndTheGoodLoginShowsTheCustomers) {
    test::addUser(h, "ali", "secret1");             // no right
    test::addUser(h, "sara", "secret2", {"buyer"});
    h.show("Form52");
    EXPECT_EQ(h.text("Form52", "Text1", 0), "");

    login("Form52", "sara", "");
    EXPECT_EQ(h.lastMessage(), "احدى الخانتين فارغة من فضلك اعد المحاولة.");
    EXPECT_EQ(h.lastTitle(), "Attention");
    login("Form52", "Sara", "secret2");
    EXPECT_EQ(h.lastMessage(), "User ID was not found, try again.");
    EXPECT_EQ(h.lastTitle(), "Warning!");
    login("Form52", "sara ", "secret2");
    EXPECT_EQ(h.lastMessage(), "User ID was not found, try again.");
    // The right is tested before the password.
    login("Form52", "ali", "wrong");
    EXPECT_EQ(h.lastMessage(), "ليست لديك صلاحية دخول العملاء");
    EXPECT_EQ(h.lastTitle(), "Attention");
    login("Form52", "sara", "secret");
    EXPECT_EQ(h.lastMessage(), "Password is incorrect!");
    EXPECT_EQ(h.lastTitle(), "Warning!!");
    EXPECT_FALSE(h.app.isLoaded("Form6"));
    EXPECT_TRUE(h.form("Form52").visible());

    login("Form52", "sara", "secret2");
    EXPECT_EQ(h.dialogs.messages().size(), 5u);  // no new message
    EXPECT_FALSE(h.app.isLoaded("Form52"));
    ASSERT_TRUE(h.app.isLoaded("Form6"));
    EXPECT_TRUE(h.form("Form6").visible());
}

TEST_F(LoginTest, StoreLoginUncoversTheStoreFunctionsAndCloseDoesNothing) {
    test::addUser(h, "omar", "12345", {"store"});
    h.show("Form1");
    h.show("Form20");
    h.click("Form20", "Command2");
    EXPECT_FALSE(h.app.isLoaded("Form20"));
    EXPECT_TRUE(h.form("Form1").picture("Picture2").visible);

    h.show("Form20");
    login("Form20", "omar", "12345");
    EXPECT_FALSE(h.app.isLoaded("Form20"));
    EXPECT_FALSE(h.form("Form1").picture("Picture2").visible);
    EXPECT_TRUE(h.form("Form1").visible());
    EXPECT_TRUE(h.dialogs.messages().empty());
}

TEST_F(LoginTest, AReservedRowWithoutRightsPassesNoLogin) {
    h.show("Form25");
    login("Form25", "529", "x");
    EXPECT_EQ(h.lastMessage(), "ليست لديك هذه الصلاحية .");
    // The employee login keeps its design text until typed over.
    h.show("Form30");
    EXPECT_EQ(h.text("Form30", "Text1", 0), "Text1");
}

TEST_F(LoginTest, ARightGrantedInTheUserWindowWorksAtTheNextLogin) {
    test::addUser(h, "huda", "pass55");
    h.show("Form52");  // open, with its table read, before the right exists
    login("Form52", "huda", "pass55");
    EXPECT_EQ(h.lastMessage(), "ليست لديك صلاحية دخول العملاء");

    h.show("Form12");
    ASSERT_TRUE(h.app.navigate(h.form("Form12").adodc("Adodc1"), Nav::Last));
    EXPECT_EQ(h.text("Form12", "Text1", 2), "huda");
    h.click("Form12", "Check1", 2);  // buyer, ticked and left open
    EXPECT_TRUE(test::right(h, "huda", "buyer"));

    login("Form52", "huda", "pass55");
    EXPECT_FALSE(h.app.isLoaded("Form52"));
    EXPECT_TRUE(h.form("Form6").visible());
}

TEST_F(LoginTest, AdministratorLoginChecksTheTwoFixedTexts) {
    test::addUser(h, "boss", "480371", {"store", "buyer", "close"});
    h.show("Form13");
    login("Form13", "", "480371");
    EXPECT_EQ(h.lastMessage(), "One of your login fields is blank, pleae try again.");
    login("Form13", "boss", "480371");
    EXPECT_EQ(h.lastMessage(), "User ID was not found, try again.");
    login("Form13", "keeper", "480372");
    EXPECT_EQ(h.lastMessage(), "Password is incorrect!");
    EXPECT_EQ(h.lastTitle(), "Warning!!");
    login("Form13", "keeper", "480371");
    EXPECT_FALSE(h.app.isLoaded("Form13"));
    EXPECT_TRUE(h.form("Form12").visible());
}

TEST_F(LoginTest, TotalsResetLoginLeadsToZeroedInventoryTotals) {
    test::addUser(h, "omar", "12345", {"store"});
    h.exec("INSERT INTO INVENTORY (\"DESC\", TOTAL, \"TOTAL-SELL\") VALUES ('a', 10, 20)");
    h.show("Form21");
    login("Form21", "omar", "12345");
    ASSERT_TRUE(h.form("Form22").visible());
    h.exec("INSERT INTO INVENTORY (\"DESC\", TOTAL, \"TOTAL-SELL\") VALUES ('b', 5, 6)");
    h.click("Form22", "Command1");  // not confirmed
    EXPECT_EQ(toDouble(h.cell("INVENTORY", 0, "TOTAL")), 10);
    h.answer(answer::Yes);
    h.click("Form22", "Command1");
    for (const char* f : {"TOTAL", "TOTAL-SELL"})
        for (const Value& v : h.column("INVENTORY", f)) EXPECT_EQ(toDouble(v), 0) << f;
}

}  // namespace
}  // namespace mk
