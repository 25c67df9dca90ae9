#include <gtest/gtest.h>

#include "access/standins.h"

namespace mk {
namespace {

using test::Harness;

struct UsersTest : ::testing::Test {
    UsersTest() {
        test::registerStandIns(h.app);
        test::addUser(h, "ali", "secret1");
        test::addUser(h, "sara", "secret2");
        h.show("Form12");
    }
    void addUser(const std::string& id, const std::string& password) {
        h.click("Form12", "cmdaction", 0);  // &add
        h.type("Form12", "Text1", id, 2);
        h.type("Form12", "Text1", password, 3);
        h.click("Form12", "cmdaction", 0);  // &save
    }
    Adodc& data() { return h.form("Form12").adodc("Adodc1"); }
    std::vector<std::string> ids() {
        std::vector<std::string> out;
        for (const Value& v : h.column("Admin", "UserID")) out.push_back(toText(v));
        return out;
    }
    Harness h;
};

TEST_F(UsersTest, SavingChecksTheBoxesThenStoresTheUser) {
    addUser("omar", "");
    EXPECT_EQ(h.lastTitle(), "Incomplete Information");
    EXPECT_EQ(h.caption("Form12", "cmdaction", 0), "&save");  // still adding
    h.type("Form12", "Text1", "abcd", 3);
    h.click("Form12", "cmdaction", 0);
    EXPECT_EQ(h.lastMessage(), "Please Enter Password of atleast 5 charactors");
    h.type("Form12", "Text1", "abcde", 3);
    h.click("Form12", "Check1", 10);  // close
    h.click("Form12", "cmdaction", 0);
    EXPECT_EQ(h.caption("Form12", "cmdaction", 0), "&add");
    EXPECT_TRUE(h.form("Form12").textBox("Text1", 2).locked);
    ASSERT_EQ(h.count("Admin"), 4);
    EXPECT_EQ(toText(h.cell("Admin", 3, "FirstName")), "omar");
    EXPECT_EQ(toText(h.cell("Admin", 3, "Password")), "abcde");
    EXPECT_TRUE(test::right(h, "omar", "close"));
}

TEST_F(UsersTest, ADuplicateUserIdIsRefusedFromAnAddAndFromAnEdit) {
    addUser("sara", "another1");
    EXPECT_EQ(h.lastMessage(), "User ID already in use,Please enter another User ID ");
    EXPECT_EQ(h.lastTitle(), "Duplicate User ID");
    EXPECT_EQ(h.caption("Form12", "cmdaction", 0), "&add");
    EXPECT_EQ(h.count("Admin"), 3);

    // Edit: "ali" renamed to "sara" in the left pair of boxes (the others
    // are locked after a save), then the bar moves on.
    h.app.navigate(data(), Nav::Next);
    ASSERT_EQ(h.text("Form12", "Text1", 0), "ali");
    h.type("Form12", "Text1", "sara", 0);
    h.type("Form12", "Text1", "newpass", 1);
    h.dialogs.clear();
    h.app.navigate(data(), Nav::Next);
    EXPECT_EQ(h.lastMessage(), "User ID already in use,Please enter another User ID ");
    EXPECT_EQ(ids(), (std::vector<std::string>{"529", "ali", "sara"}));
    // The rest of the edit is kept.
    EXPECT_EQ(toText(h.cell("Admin", 1, "Password")), "newpass");

    // A free id is a plain rename, stored when the window closes.
    h.app.navigate(data(), Nav::Previous);
    h.type("Form12", "Text1", "alia", 0);
    h.click("Form12", "cmdClose");
    EXPECT_EQ(ids(), (std::vector<std::string>{"529", "alia", "sara"}));
}

TEST_F(UsersTest, TheReservedDayStateRowCanBeNeitherDeletedNorRenamed) {
    ASSERT_EQ(h.text("Form12", "Text1", 2), "529");
    h.click("Form12", "Command1");
    ASSERT_EQ(h.dialogs.messages().size(), 1u);  // refused, not even asked
    EXPECT_NE(h.lastMessage().find("529"), std::string::npos);
    EXPECT_EQ(h.count("Admin"), 3);
    h.dialogs.clear();

    h.type("Form12", "Text1", "530", 2);
    h.app.navigate(data(), Nav::Next);
    EXPECT_NE(h.lastMessage().find("529"), std::string::npos);
    EXPECT_EQ(ids(), (std::vector<std::string>{"529", "ali", "sara"}));

    // Any other user goes on a Yes.
    h.answer(answer::Yes);
    h.click("Form12", "Command1");
    EXPECT_EQ(h.lastMessage(), "user will be deleted");
    EXPECT_EQ(ids(), (std::vector<std::string>{"529", "sara"}));
    EXPECT_EQ(h.text("Form12", "Text1", 2), "529");  // first row shown
}

}  // namespace
}  // namespace mk
