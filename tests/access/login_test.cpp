#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using test::login;

struct LoginTest : ::testing::Test {
    test::Harness h;
};

TEST_F(LoginTest, RefusalsComeInTheirOrderAndTheGoodLoginShowsTheCustomers) {
    test::addUser(h, "ali", "secret1");
    test::addUser(h, "sara", "secret2", {"buyer"});
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
    test::addUser(h, "omar", "12345", {"store"});
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
    EXPECT_EQ(test::col(h, "INVENTORY", "TOTAL") + " " + test::col(h, "INVENTORY", "TOTAL-SELL"),
              "0|0 0|0");
}

TEST_F(LoginTest, ARightGrantedInTheUserWindowWorksAtTheNextLogin) {
    test::addUser(h, "huda", "pass55");
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
    test::addUser(h, "boss", "480371", {"store", "buyer"});
    h.show("Form13");
    login(h, "Form13", "boss", "480371");
    login(h, "Form13", "keeper", "480372");
    login(h, "Form13", "keeper", "480371");
    EXPECT_EQ(h.messageTexts(), (std::vector<std::string>{"User ID was not found, try again.",
                                                          "Password is incorrect!"}));
    EXPECT_TRUE(h.form("Form12").visible());
}

}  // namespace
}  // namespace mk
