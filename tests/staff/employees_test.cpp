// The employee data window: cards added and edited with their locks, a
// net wage computed and paid once from the cash box to the card on show,
// and the search by code; the new employee window and the follow-up
// table it makes.
#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

// Reached with the permissions switch on through the suppliers item, over
// a cash box holding 5000.
class EmployeesTest : public ::testing::Test {
protected:
    EmployeesTest() {
        setProfile(h, "ACME", true);
        h.exec("INSERT INTO BOX (MONEY) VALUES (5000)");
        employee("E1", "Ali", "NULL");
        employee("E2", "Mona", "800");
        enterMain(h);
        h.menu("Form1", "SUPPLY_INF");
    }
    void employee(const std::string& code, const std::string& name, const std::string& net) {
        h.exec("INSERT INTO emplyee (code, name, net_sallery) VALUES ('" + code + "', '" + name +
               "', " + net + ")");
    }
    std::string box(int i) { return h.text("Form32", "Text1", i); }
    // The sixteen boxes, "L" where locked.
    std::string locks() {
        std::string out;
        for (int i = 0; i < 16; ++i) out += h.form("Form32").textBox("Text1", i).locked ? "L" : "-";
        return out;
    }
    void next() { h.app.navigate(h.form("Form32").adodc("Adodc1"), Nav::Next); }
    // Shows the card of that row, then presses pay.
    void pay(long row) {
        h.app.navigate(h.form("Form32").adodc("Adodc1"), Nav::First);
        for (long k = 0; k < row; ++k) next();
        h.dialogs.clear();
        h.click("Form32", "Command2");
    }
    Harness h;
};

TEST_F(EmployeesTest, OpeningShowsNoRowAndTheCodeChangesOnlyByAddAndEdit) {
    EXPECT_EQ(h.form("Form32").caption, " بيانات الموظفين ل" + h.caption("Form16", "Label3"));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(box(i), "") << i;
    EXPECT_EQ(h.caption("Form32", "Label2", 1), "06/12/2026");
    EXPECT_EQ(locks(), "LLLLLL-LLLLL----");

    // The code box names whom pay pays: it cannot be typed into to pay another.
    EXPECT_FALSE(h.type("Form32", "Text1", "E2", 0));
    h.click("Form32", "Command1");  // a net wage computed with no row on show
    h.click("Form32", "Command2");
    EXPECT_EQ(h.lastMessage(), "لا يوجد سجل معروض فلم يتغير شيء، انتقل إلى سجل أو أضف سجلا ثم أعد المحاولة");
    next();
    EXPECT_EQ(box(0) + box(15), "E1");
    EXPECT_TRUE(h.cell("emplyee", 0, "net_sallery").isNull());
    EXPECT_EQ(h.count("BOX"), 2);
    h.click("Form32", "cmdaction", 2);
    EXPECT_EQ(locks()[0], '-');
    cancel(h, "Form32");  // a cancel locks it again
    EXPECT_EQ(locks()[0], 'L');

    // A wage part the field cannot take is named, by compute and by a move;
    // so is a net wage beyond 1e12. Nothing is stored.
    const std::string before = tablesText(h, {"emplyee"});
    const std::string notANumber = "لا يمكن حفظ ما كتب فى «الحوافز»: يجب أن يكون رقما";
    h.type("Form32", "Text1", "x", 12);
    h.click("Form32", "Command1");
    EXPECT_EQ(h.lastMessage(), notANumber);
    next();
    EXPECT_EQ(h.lastMessage(), notANumber);
    EXPECT_EQ(box(1), "Ali");
    h.type("Form32", "Text1", "1e12", 12);
    h.type("Form32", "Text1", "1e12", 13);
    h.click("Form32", "Command1");
    EXPECT_EQ(h.lastMessage(), "صافى الأجر أكبر من الحد المسموح به (1000000000000)");
    EXPECT_EQ(tablesText(h, {"emplyee"}), before);
}

TEST_F(EmployeesTest, AWageIsComputedAndPaidOnceThroughTheCashBox) {
    next();
    h.click("Form32", "cmdaction", 2);  // edit
    for (auto [i, v] : {std::pair{9, "1000"}, {12, "150"}, {13, "50"}, {14, "200"}})
        h.type("Form32", "Text1", v, i);
    h.click("Form32", "cmdaction", 2);  // save
    EXPECT_EQ(locks(), "LLLLLLLLLLLL----");
    h.click("Form32", "Command1");
    EXPECT_EQ(box(15), "1000");

    // The computed, unsaved net wage is what is paid, without a word.
    h.show("Form34");
    h.dialogs.clear();
    h.click("Form32", "Command2");
    EXPECT_TRUE(h.dialogs.messages().empty());
    ASSERT_EQ(h.count("BOX"), 3);
    EXPECT_EQ(row(h, "BOX", 2, {"MONEY", "MONEY_OUT", "emplyee_name", "DATE", "MONEY_RECIVED"}),
              "4000|1000|Ali|06/12/2026|");
    EXPECT_EQ(col(h, "emplyee", "get_money") + " " + row(h, "emplyee", 0, {"net_sallery"}),
              "True|False 1000");
    EXPECT_EQ(h.text("Form34", "Text1") + " " + h.caption("Form1", "Label23", 2), "4000 4000");

    // Paid once: a second press says so and posts nothing.
    h.dialogs.clear();
    h.click("Form32", "Command2");
    EXPECT_EQ(h.messageTexts(), std::vector<std::string>{"لقد حصلAliعلى أجره"});
    EXPECT_EQ(h.count("BOX"), 3);
    EXPECT_EQ(box(1), "Ali");
}

// Cards of the new employee window all carry the code ".": a press pays
// the card on show alone, and a card with no net wage is refused alone.
TEST_F(EmployeesTest, APressPaysTheCardOnShowAloneAndRefusesOneWithNoNetWageByName) {
    employee(".", "Sara", "300");
    employee(".", "Hoda", "NULL");
    employee(".", "Minus", "-5");
    h.close("Form32");
    h.menu("Form1", "SUPPLY_INF");
    pay(2);
    EXPECT_EQ(row(h, "BOX", -1, {"emplyee_name", "MONEY"}), "Sara|4700");
    for (long row : {3, 4}) {
        pay(row);
        EXPECT_EQ(h.lastMessage(),
                  "أحسب صافى الأجر أولا للموظف " + toText(h.cell("emplyee", row, "name")));
    }
    EXPECT_EQ(h.count("BOX"), 3);
    EXPECT_EQ(col(h, "emplyee", "get_money"), "False|False|True|False|False");
}

TEST_F(EmployeesTest, AddSaveStoresThePayPeriodAndTheLocksFollowTheButtons) {
    h.click("Form32", "cmdaction", 0);
    EXPECT_EQ(box(0) + box(1) + box(2) + box(5) + box(6), "'''''");
    EXPECT_EQ(box(3) + " " + box(4), "1/1/2007 1/1/1980");
    for (int i = 7; i <= 15; ++i) EXPECT_EQ(box(i), "0") << i;
    EXPECT_EQ(locks(), "----------------");
    h.type("Form32", "Text1", "E9", 0);
    h.type("Form32", "Text1", "Nour", 1);
    h.click("Form32", "Option1", 3);  // monthly
    h.click("Form32", "Command2");    // no paying while a card is being added
    EXPECT_EQ(h.lastMessage(), "احفظ بيانات الموظف أو ألغها أولا");
    h.click("Form32", "cmdaction", 0);
    ASSERT_EQ(h.count("emplyee"), 3);
    EXPECT_EQ(row(h, "emplyee", 2, {"name", "birth_date", "feeday", "feeweek", "feehmonth", "feeyear"}),
              "Nour|01/01/1980|False|False|False|True");
    EXPECT_EQ(locks(), "LLLLLLLLLLLLLLLL");
    EXPECT_EQ(box(1), "Nour");

    // Edit/save keeps the flags; the net wage stays locked until the window
    // opens again, a typed one paid as typed.
    h.click("Form32", "Option1", 0);
    h.click("Form32", "cmdaction", 2);
    EXPECT_EQ(locks()[15], 'L');
    h.type("Form32", "Text1", "Cairo", 2);
    h.click("Form32", "cmdaction", 2);
    EXPECT_EQ(row(h, "emplyee", 2, {"address", "feeyear", "feeday"}), "Cairo|True|False");
    EXPECT_EQ(locks()[15], 'L');
    h.close("Form32");
    h.menu("Form1", "SUPPLY_INF");
    next();
    EXPECT_TRUE(h.type("Form32", "Text1", "700", 15));
    h.click("Form32", "Command2");
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY_OUT", "emplyee_name"}), "700|Ali");
}

TEST_F(EmployeesTest, TheSearchByCodePrintsTheCodeOrSaysItIsMissing) {
    h.answerInput("E2");
    h.menu("Form32", "employee");
    EXPECT_EQ(box(1) + " " + h.lines("Form32").back(), "Mona E2");
    h.answerInput("E7");
    h.menu("Form32", "employee");
    EXPECT_EQ(h.lastMessage(), " unable to find that item ");
    h.dialogs.clear();
    h.answerInput("");
    h.menu("Form32", "employee");
    EXPECT_TRUE(h.dialogs.messages().empty());
}

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
        EXPECT_EQ(h.text("Form50", "Text2"), "") << name;  // the hidden copy, untouched
    }
    EXPECT_EQ(h.count("emplyee"), 0);
    EXPECT_EQ(h.db().tableNames().size(), tables);

    // Renamed between add and save: card and table take the name saved.
    h.type("Form50", "Text1", "Worker_2");
    h.click("Form50", "cmdaction", 0);
    EXPECT_EQ(h.column("emplyee", "name"), std::vector<Value>{Value("Worker_2")});
    EXPECT_EQ(h.text("Form50", "Text2"), "Worker_2");
    EXPECT_TRUE(h.db().findTable("Worker_2"));
}

TEST_F(FollowUpTest, TheFollowUpWindowOpensTheTableOnItsLastRowAndAddsRows) {
    newEmployee("Worker_1");
    pick("Worker_1");
    EXPECT_EQ(h.caption("Form51", "Frame1"), "بياناتWorker_1");
    EXPECT_EQ(h.text("Form51", "Text1", 0), "10/10/2007");
    // Until the first save the row on show takes corrections.
    EXPECT_TRUE(h.type("Form51", "Text2", "late"));
    h.app.navigate(h.form("Form51").adodc("Adodc2"), Nav::First);
    EXPECT_EQ(row(h, "Worker_1", 0, {"MEMO"}), "late");
    h.click("Form51", "cmdaction", 0);
    EXPECT_EQ(h.text("Form51", "Text1", 0) + " " + h.text("Form51", "Text2"), "06/12/2026 .");
    h.type("Form51", "Text1", "2", 1);
    h.click("Form51", "cmdaction", 0);
    EXPECT_EQ(col(h, "Worker_1", "APSENT") + " " + row(h, "Worker_1", 1, {"MEMO"}), "0|2 .");
    EXPECT_TRUE(h.form("Form51").textBox("Text1", 0).locked);
    Adodc& rows = h.form("Form51").adodc("Adodc2");
    h.app.navigate(rows, Nav::First);
    EXPECT_EQ(h.text("Form51", "Text1", 1), "0");

    // Another employee picked while a row is added: the row is dropped and
    // the window browses again, its navigation on and its boxes still open.
    h.db().createTable(followUpTableDef("Worker_2"));
    h.click("Form51", "cmdaction", 0);
    EXPECT_FALSE(rows.enabled);
    h.choose("Form51", "DataList1", "Worker_2");
    EXPECT_TRUE(h.form("Form51").adodc("Adodc2").enabled);
    EXPECT_FALSE(h.form("Form51").textBox("Text1", 1).locked);
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
