#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

struct UsersTest : ::testing::Test {
    UsersTest() {
        test::addUser(h, "ali", "secret1");
        test::addUser(h, "sara", "secret2");
        h.show("Form12");
    }
    void move(Nav where) { h.app.navigate(h.form("Form12").adodc("Adodc1"), where); }
    std::vector<std::string> ids() {
        std::vector<std::string> out;
        for (const Value& v : h.column("Admin", "UserID")) out.push_back(toText(v));
        return out;
    }
    test::Harness h;
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
    EXPECT_TRUE(test::right(h, "omar", "close"));
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

}  // namespace
}  // namespace mk
