#include <gtest/gtest.h>

#include "app/steps.h"

namespace mk {
namespace {

using namespace test;

// The employee data window, reached with the permissions switch on through
// the suppliers item, over a cash box holding 5000.
class EmployeesTest : public ::testing::Test {
protected:
    EmployeesTest() {
        setProfile(h, "ACME", true);
        h.exec("INSERT INTO BOX (MONEY) VALUES (5000)");
        employee("E1", "Ali", "NULL");
        employee("E2", "Mona", "800");
        begin(h);
        h.click("Form16", "Command1");
        h.menu("Form1", "SUPPLY_INF");
    }
    void employee(const std::string& code, const std::string& name, const std::string& net) {
        h.exec("INSERT INTO emplyee (code, name, net_sallery) VALUES ('" + code + "', '" + name +
               "', " + net + ")");
    }
    std::string box(int i) { return h.text("Form32", "Text1", i); }
    bool locked(int i) { return h.form("Form32").textBox("Text1", i).locked; }
    void next() { h.app.navigate(h.form("Form32").adodc("Adodc1"), Nav::Next); }
    // Shows the card of that row, then presses pay.
    void pay(long row) {
        h.app.navigate(h.form("Form32").adodc("Adodc1"), Nav::First);
        for (long k = 0; k < row; ++k) next();
        h.dialogs.clear();
        h.click("Form32", "Command2");
    }
    bool paid(long row) { return h.cell("emplyee", row, "get_money") == Value(true); }
    Harness h;
};

TEST_F(EmployeesTest, OpeningShowsNoRowAndTheCodeChangesOnlyByAddAndEdit) {
    Form& f = h.form("Form32");
    EXPECT_EQ(f.caption, " بيانات الموظفين ل" + h.caption("Form16", "Label3"));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(box(i), "") << i;
    EXPECT_EQ(h.caption("Form32", "Label2", 1), "06/12/2026");
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(locked(i), !(i == 6 || (i >= 12 && i <= 15))) << i;

    // The code box names whom pay pays: it cannot be typed into to pay another.
    EXPECT_FALSE(h.type("Form32", "Text1", "E2", 0));
    h.click("Form32", "Command1");  // a net wage computed with no row on show
    h.click("Form32", "Command2");
    EXPECT_EQ(h.lastMessage(), "No record is shown: nothing was changed.");
    next();
    EXPECT_EQ(box(0) + box(15), "E1");
    EXPECT_TRUE(h.cell("emplyee", 0, "net_sallery").isNull());
    EXPECT_EQ(h.count("BOX"), 2);
    h.click("Form32", "cmdaction", 2);
    EXPECT_FALSE(locked(0));
    h.answer(answer::Yes);
    h.click("Form32", "cmdaction", 1);  // a cancel locks it again
    EXPECT_TRUE(locked(0));

    // A wage part the field cannot take is named, by compute and by a move;
    // so is a net wage beyond 1e12. Nothing is stored.
    const std::string before = tablesText(h, {"emplyee"});
    h.type("Form32", "Text1", "x", 12);
    h.click("Form32", "Command1");
    EXPECT_EQ(h.lastMessage(), "لا يمكن حفظ ما كتب فى «الحوافز»: يجب أن يكون رقما");
    next();
    EXPECT_EQ(h.lastMessage(), "لا يمكن حفظ ما كتب فى «الحوافز»: يجب أن يكون رقما");
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
    for (int i = 0; i < 16; ++i) EXPECT_EQ(locked(i), i <= 11) << i;
    h.click("Form32", "Command1");
    EXPECT_EQ(box(15), "1000");

    // The computed, unsaved net wage is what is paid.
    h.show("Form34");
    h.dialogs.clear();
    h.click("Form32", "Command2");
    EXPECT_TRUE(h.dialogs.messages().empty());
    ASSERT_EQ(h.count("BOX"), 3);
    EXPECT_EQ(toDouble(h.cell("BOX", 2, "MONEY")), 4000);
    EXPECT_EQ(toDouble(h.cell("BOX", 2, "MONEY_OUT")), 1000);
    EXPECT_EQ(h.cell("BOX", 2, "emplyee_name"), Value("Ali"));
    EXPECT_EQ(toDate(h.cell("BOX", 2, "DATE")), makeDate(2026, 12, 6));
    EXPECT_TRUE(h.cell("BOX", 2, "MONEY_RECIVED").isNull());
    EXPECT_TRUE(paid(0));
    EXPECT_FALSE(paid(1));
    EXPECT_EQ(toDouble(h.cell("emplyee", 0, "net_sallery")), 1000);
    EXPECT_EQ(h.text("Form34", "Text1"), "4000");
    EXPECT_EQ(h.caption("Form1", "Label23", 2), "4000");  // the main window's cash total

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
    ASSERT_EQ(h.count("BOX"), 3);
    EXPECT_EQ(h.cell("BOX", 2, "emplyee_name"), Value("Sara"));
    EXPECT_EQ(toDouble(h.cell("BOX", 2, "MONEY")), 4700);
    for (long row : {3, 4}) {
        pay(row);
        EXPECT_EQ(h.lastMessage(), "أحسب صافى الأجر أولا للموظف " +
                                       toText(h.cell("emplyee", row, "name")));
    }
    EXPECT_EQ(h.count("BOX"), 3);
    std::vector<bool> flags;
    for (long row = 0; row < 5; ++row) flags.push_back(paid(row));
    EXPECT_EQ(flags, (std::vector<bool>{false, false, true, false, false}));
}

TEST_F(EmployeesTest, AFailureHalfWayLeavesTablesAndWindowsAsTheyWere) {
    h.show("Form34");
    next();
    next();
    const std::string shownBefore = box(1) + box(15);
    h.exec("CREATE TRIGGER full BEFORE UPDATE OF get_money ON emplyee "
           "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    h.dialogs.clear();
    h.click("Form32", "Command2");  // pays E2 as shown: the cash box row is written first
    ASSERT_EQ(h.dialogs.messages().size(), 1u);
    EXPECT_EQ(h.dialogs.messages()[0].style, mb::Critical);
    EXPECT_EQ(h.count("BOX"), 2);
    EXPECT_FALSE(paid(1));
    EXPECT_EQ(shownBefore, "Mona800");
    EXPECT_EQ(box(1) + box(15), shownBefore);
    EXPECT_EQ(h.text("Form34", "Text1"), "5000");
    EXPECT_EQ(h.caption("Form32", "cmdaction", 0), "&add");
}

TEST_F(EmployeesTest, AddSaveStoresThePayPeriodAndTheLocksFollowTheButtons) {
    h.click("Form32", "cmdaction", 0);
    EXPECT_EQ(box(0) + box(1) + box(2) + box(5) + box(6), "'''''");
    EXPECT_EQ(box(3) + " " + box(4), "1/1/2007 1/1/1980");
    for (int i = 7; i <= 15; ++i) EXPECT_EQ(box(i), "0") << i;
    for (int i = 0; i < 16; ++i) EXPECT_FALSE(locked(i)) << i;
    h.type("Form32", "Text1", "E9", 0);
    h.type("Form32", "Text1", "Nour", 1);
    h.click("Form32", "Option1", 3);  // monthly
    h.click("Form32", "Command2");    // no paying while a card is being added
    EXPECT_EQ(h.lastMessage(), "احفظ بيانات الموظف أو ألغها أولا");
    h.click("Form32", "cmdaction", 0);
    ASSERT_EQ(h.count("emplyee"), 3);
    EXPECT_EQ(h.cell("emplyee", 2, "name"), Value("Nour"));
    EXPECT_EQ(toDate(h.cell("emplyee", 2, "birth_date")), makeDate(1980, 1, 1));
    std::vector<Value> flags;
    for (const char* f : {"feeday", "feeweek", "feehmonth", "feeyear"})
        flags.push_back(h.cell("emplyee", 2, f));
    EXPECT_EQ(flags, (std::vector<Value>{false, false, false, true}));
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(locked(i)) << i;
    EXPECT_EQ(box(1), "Nour");

    // Edit/save keeps the flags.
    h.click("Form32", "Option1", 0);
    h.click("Form32", "cmdaction", 2);
    h.type("Form32", "Text1", "Cairo", 2);
    h.click("Form32", "cmdaction", 2);
    EXPECT_EQ(h.cell("emplyee", 2, "address"), Value("Cairo"));
    EXPECT_EQ(h.cell("emplyee", 2, "feeyear"), Value(true));
    EXPECT_EQ(h.cell("emplyee", 2, "feeday"), Value(false));
}

TEST_F(EmployeesTest, TheSearchByCodePrintsTheCodeOrSaysItIsMissing) {
    h.answerInput("E2");
    h.menu("Form32", "employee");
    EXPECT_EQ(box(1), "Mona");
    EXPECT_EQ(h.lines("Form32").back(), "E2");
    h.answerInput("E7");
    h.menu("Form32", "employee");
    EXPECT_EQ(h.lastMessage(), " unable to find that item ");
    h.dialogs.clear();
    h.answerInput("");
    h.menu("Form32", "employee");
    EXPECT_TRUE(h.dialogs.messages().empty());
}

}  // namespace
}  // namespace mk
