#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

constexpr const char* kNote =
    "لاحظ انه يجب  مراعاة عدم وجود مسافة فى التسمية يمكنك استخدام اندر سكور (_) بدلا من "
    "المسافة وإلا تسبب خطأ";

class FollowUpTest : public ::testing::Test {
protected:
    FollowUpTest() {
        setProfile(h, "ACME");
        makeGroup(h, "OILS");
        enterMain(h);
    }
    // Types the name, then add and save in the new employee window.
    void newEmployee(const std::string& name) {
        h.menu("Form1", "ADD_EMPLOYEE");
        h.type("Form50", "Text1", name);
        h.click("Form50", "cmdaction", 0);
        h.dialogs.clear();
        h.click("Form50", "cmdaction", 0);
    }
    void pick(const std::string& name) {
        h.menu("Form1", "observe_employee");
        h.dialogs.clear();
        h.choose("Form51", "DataList1", name);
    }
    Harness h;
};

TEST_F(FollowUpTest, ANewEmployeeGetsACardAndAFollowUpTableWithItsFirstRow) {
    newEmployee("Worker_1");
    // The note on the save press as on the add press, then the table made.
    EXPECT_EQ(h.messageTexts(), (std::vector<std::string>{
                                    kNote, "Database: C:\\INVENT.mdb successfully created\r\n\r\n"
                                           "Table: Worker_1 successfully created\r\n"}));
    EXPECT_EQ(h.lastTitle(), "Create Database");
    EXPECT_EQ(h.dialogs.messages().back().style, mb::Information);
    ASSERT_EQ(h.count("emplyee"), 1);
    EXPECT_EQ(row(h, "emplyee", 0, {"code", "name", "birth_date", "net_sallery", "get_money"}),
              ".|Worker_1|10/10/2007|0|False");
    EXPECT_EQ(h.db().tableInfo("Worker_1").fields.size(), 10u);
    ASSERT_EQ(h.count("Worker_1"), 1);
    EXPECT_EQ(row(h, "Worker_1", 0, {"DATES", "EXTERA-HOURS"}), "10/10/2007|0");
    EXPECT_TRUE(h.form("Form50").textBox("Text1").locked);
    EXPECT_EQ(h.caption("Form50", "cmdaction", 0), "&add");
}

TEST_F(FollowUpTest, NamesThatCannotBeTableNamesAreRefusedBeforeAnythingIsWritten) {
    const size_t tables = h.db().tableNames().size();
    h.menu("Form1", "ADD_EMPLOYEE");
    h.click("Form50", "cmdaction", 0);
    for (const char* name : {"", ".", "BOX", "Emplyee", "oils", "a\"b"}) {
        h.type("Form50", "Text1", name);
        h.dialogs.clear();
        h.click("Form50", "cmdaction", 0);
        EXPECT_EQ(h.lastTitle(), "ملحوظة") << name;
        EXPECT_EQ(h.caption("Form50", "cmdaction", 0), "&save") << name;
    }
    EXPECT_EQ(h.count("emplyee"), 0);
    EXPECT_EQ(h.db().tableNames().size(), tables);

    // Renamed between add and save: card and table take the name saved.
    h.type("Form50", "Text1", "Worker_2");
    h.click("Form50", "cmdaction", 0);
    EXPECT_EQ(h.column("emplyee", "name"), std::vector<Value>{Value("Worker_2")});
    EXPECT_TRUE(h.db().findTable("Worker_2"));
}

TEST_F(FollowUpTest, TheFollowUpWindowOpensTheTableOnItsLastRowAndAddsRows) {
    newEmployee("Worker_1");
    pick("Worker_1");
    EXPECT_EQ(h.caption("Form51", "Frame1"), "بياناتWorker_1");
    EXPECT_EQ(h.text("Form51", "Text1", 0), "10/10/2007");
    h.click("Form51", "cmdaction", 0);
    EXPECT_EQ(h.text("Form51", "Text1", 0), "06/12/2026");
    EXPECT_EQ(h.text("Form51", "Text2"), ".");
    h.type("Form51", "Text1", "2", 1);
    h.click("Form51", "cmdaction", 0);
    EXPECT_EQ(col(h, "Worker_1", "APSENT") + " " + row(h, "Worker_1", 1, {"MEMO"}), "0|2 .");
    EXPECT_TRUE(h.form("Form51").textBox("Text1", 0).locked);
    Adodc& rows = h.form("Form51").adodc("Adodc2");
    h.app.navigate(rows, Nav::First);
    EXPECT_EQ(h.text("Form51", "Text1", 1), "0");

    // Another employee picked while a row is added: the row is dropped and
    // the window browses again, its navigation on and its boxes locked.
    h.db().createTable(followUpTableDef("Worker_2"));
    h.click("Form51", "cmdaction", 0);
    EXPECT_FALSE(rows.enabled);
    h.choose("Form51", "DataList1", "Worker_2");
    EXPECT_TRUE(h.form("Form51").adodc("Adodc2").enabled);
    EXPECT_TRUE(h.form("Form51").textBox("Text1", 1).locked);
    EXPECT_EQ(h.caption("Form51", "cmdaction", 0), "&add");
    EXPECT_EQ(h.count("Worker_1"), 2);
}

TEST_F(FollowUpTest, ACardThatNamesNoFollowUpTableOpensNothing) {
    h.menu("Form1", "observe_employee");
    h.click("Form51", "cmdaction", 0);  // nothing picked yet
    EXPECT_EQ(h.lastMessage(), "أختر العامل أولا");
    h.close("Form51");

    newEmployee("Worker_1");
    h.exec("UPDATE emplyee SET name = 'BOX'");
    h.exec("INSERT INTO emplyee (code, name) VALUES ('7', 'Ali')");  // a card made by Form32
    for (const char* name : {"BOX", "Ali"}) {
        pick(name);
        EXPECT_EQ(h.lastMessage(), "لا يوجد جدول متابعة لهذا العامل") << name;
        EXPECT_FALSE(h.form("Form51").adodc("Adodc2").isOpen());
        h.click("Form51", "cmdaction", 0);
        EXPECT_EQ(h.lastMessage(), "أختر العامل أولا");
        h.close("Form51");
    }
    EXPECT_EQ(h.count("BOX"), 1);
}

}  // namespace
}  // namespace mk
