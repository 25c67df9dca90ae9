#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

class GroupsTest : public ::testing::Test {
protected:
    GroupsTest() {
        setProfile(h, "ACME");
        openStore(h);
        h.menu("Form1", "RENAME_MAIN");
    }
    void addGroup(const std::string& name) {
        h.click("Form49", "cmdaction", 0);
        h.type("Form49", "Text1", name);
        h.dialogs.clear();
        h.click("Form49", "cmdaction", 0);
    }
    Harness h;
};

TEST_F(GroupsTest, AddingAGroupMakesItsTableWithTheStartingRowAndListsIt) {
    EXPECT_TRUE(h.form("Form49").textBox("Text1").locked);
    addGroup("SPARE_PARTS");
    auto shown = h.dialogs.messages();
    ASSERT_EQ(shown.size(), 2u);  // the naming warning, then the success
    EXPECT_EQ(shown[1].title, "Create Database");
    EXPECT_EQ(shown[1].style, mb::Information);
    EXPECT_EQ(shown[1].prompt,
              "Database: C:\\INVENT.mdb successfully created\r\n\r\n"
              "Table: SPARE_PARTS successfully created\r\n");
    EXPECT_EQ(h.column("qqq", "Q"), std::vector<Value>{Value("SPARE_PARTS")});
    EXPECT_EQ(h.db().tableInfo("SPARE_PARTS").fields.size(), 13u);
    EXPECT_TRUE(h.db().hasLookupIndex("SPARE_PARTS", "DESC"));
    ASSERT_EQ(h.count("SPARE_PARTS"), 1);
    EXPECT_EQ(h.cell("SPARE_PARTS", 0, "DESC"), Value("."));
    EXPECT_EQ(toDate(h.cell("SPARE_PARTS", 0, "DATES_SAVE")), makeDate(2007, 10, 10));

    // The main window lists the new group at once and its card follows the choice.
    Form& main = h.form("Form1");
    EXPECT_EQ(main.dataCombo("DataCombo3").list(), std::vector<std::string>{"SPARE_PARTS"});
    h.choose("Form1", "DataCombo3", "SPARE_PARTS");
    EXPECT_EQ(main.label("Label16").caption(), "SPARE_PARTS");
    EXPECT_EQ(main.textBox("Text6").text(), ".");
    EXPECT_TRUE(main.button("Command6").visible && main.button("Command9").visible);
}

TEST_F(GroupsTest, BadNamesAreRefusedAndChangeNothing) {
    addGroup("SPARE_PARTS");
    h.exec("INSERT INTO qqq (Q) VALUES ('GHOST')");  // listed, its table gone
    const size_t tables = h.db().tableNames().size();
    h.click("Form49", "cmdaction", 0);
    h.click("Form49", "cmdaction", 0);  // never typed: the name is "."
    EXPECT_EQ(h.lastTitle(), "ملحوظة");
    for (const char* name : {"", "BUYER", "spare_parts", "ghost", "a.b", "x[y]", " lead"}) {
        h.type("Form49", "Text1", name);
        h.click("Form49", "cmdaction", 0);
        EXPECT_EQ(h.lastTitle(), "ملحوظة") << name;
    }
    EXPECT_EQ(h.count("qqq"), 2);
    EXPECT_EQ(h.db().tableNames().size(), tables);
    EXPECT_FALSE(h.form("Form49").adodc("Adodc1").enabled);  // no browsing off the new row

    // The compare window's twin starts a group with its placeholder items.
    h.menu("Form1", "new");
    h.click("Form56", "cmdaction", 0);
    h.type("Form56", "Text1", "ghost2");
    h.click("Form56", "cmdaction", 0);
    EXPECT_EQ(h.count("qqq"), 3);
    ASSERT_EQ(h.count("ghost2"), 2579);
    EXPECT_EQ(h.cell("ghost2", 2578, "DESC"), Value("."));
}

}  // namespace
}  // namespace mk
