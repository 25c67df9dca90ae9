#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

constexpr const char* kLoadMessage =
    "يجب ان تضغط زر تعديل ثم تختار رقم اليوم ثم تقوم بادخال او اجراء التعديلات على بيناته ثم "
    "تضغط زر حفظ";
constexpr const char* kMonthRange = " رقم غير صحيح من فضلك ادخل رقم شهر صحيح بين 1 و 12 ";
constexpr const char* kNoYear = "لا توجد سنة بهذا الرقم فى الحسابات السنوية";

struct ExpenseBooksTest : ::testing::Test {
    // Opens a book from the main window's menu, as a user does.
    void open(const std::string& form) {
        const char* item = form == "Form18" ? "doutput" : form == "Form11" ? "moutput" : "yearout";
        h.show("Form1");
        h.menu("Form1", item);
    }
    // Every stored value of a book, in table order.
    std::string dump(const std::string& table) { return test::tablesText(h, {table}); }
    double cell(const std::string& table, long row, const std::string& field) {
        return toDouble(h.cell(table, row, field));
    }
    // Starts editing, picks a row and types its amounts (empty: left alone).
    void edit(const std::string& form, const std::string& row,
              const std::vector<std::string>& amounts) {
        h.click(form, "cmdaction", 2);
        h.choose(form, "DataCombo1", row);
        for (size_t i = 0; i < amounts.size(); ++i)
            if (!amounts[i].empty()) h.type(form, "Text1", amounts[i], static_cast<int>(i));
    }
    // Totals and saves the row being edited.
    void sumAndSave(const std::string& form) {
        h.click(form, "Command1");
        h.click(form, "cmdaction", 2);
    }
    test::Harness h;
};

TEST_F(ExpenseBooksTest, OpeningPickingAndCancellingStoreNothing) {
    h.exec("UPDATE DAY_OUTPUT SET DAYLY = 7, TOTALDAY_OUT = 7 WHERE DAY_NO = 1");
    const std::string days = dump("DAY_OUTPUT"), months = dump("MONTH_OUTPUT"),
                      years = dump("YEAR_OUTPUT");
    for (const char* f : {"Form18", "Form11", "Form19"}) {
        open(f);
        EXPECT_EQ(h.lastMessage() + h.lastTitle(), std::string(kLoadMessage) + "ملحوظة") << f;
        EXPECT_EQ(h.text(f, "Text1", 0) + h.text(f, "Label2"), "00") << f;
        h.click(f, "cmdaction", 2);
        h.choose(f, "DataCombo1", f == std::string("Form19") ? "2026" : "1");
        cancel(h, f);
        EXPECT_EQ(h.caption(f, "cmdaction", 2), "&تعديل");
        EXPECT_TRUE(h.form(f).textBox("Text1", 0).locked) << f;
        h.close(f);
    }
    EXPECT_EQ(dump("DAY_OUTPUT") + dump("MONTH_OUTPUT") + dump("YEAR_OUTPUT"), days + months + years);
}

TEST_F(ExpenseBooksTest, TheSumIsStoredOnSaveAndDroppedOnCancel) {
    open("Form18");
    edit("Form18", "4", {"10.5", "", "2", "", "3"});
    h.type("Form18", "Text1", "", 1);  // an empty box counts as 0
    h.click("Form18", "Command1");
    EXPECT_EQ(h.text("Form18", "Label2"), "15.5");
    EXPECT_TRUE(h.form("Form18").label("Label1", 6).visible);
    cancel(h, "Form18");
    EXPECT_EQ(cell("DAY_OUTPUT", 3, "TOTALDAY_OUT"), 0);

    edit("Form18", "4", {"10.5", "0", "2", "0", "3"});
    h.type("Form18", "Text1", "x", 3);
    h.click("Form18", "Command1");
    EXPECT_EQ(h.lastMessage(), "لا يمكن حفظ ما كتب فى «مصاريف نثرية»: يجب أن يكون رقما");
    h.type("Form18", "Text1", "0", 3);
    sumAndSave("Form18");
    EXPECT_EQ(test::row(h, "DAY_OUTPUT", 3, {"TOTALDAY_OUT", "DAYLY"}), "15.5|10.5");
    EXPECT_FALSE(h.form("Form18").button("ADD").visible);  // day 4 ends no month
}

TEST_F(ExpenseBooksTest, ASaveWithNoRowPickedSaysSoAndStoresNothing) {
    const std::string days = dump("DAY_OUTPUT");
    open("Form18");
    h.click("Form18", "cmdaction", 2);
    h.type("Form18", "Text1", "99", 0);
    h.click("Form18", "cmdaction", 2);
    EXPECT_EQ(h.lastMessage(), kLoadMessage);
    EXPECT_EQ(h.caption("Form18", "cmdaction", 2), "&حفظ");

    // A search that finds nothing leaves no row either.
    h.answerInput("5.0");
    h.menu("Form18", "DAY_NO");
    EXPECT_FALSE(h.form("Form18").dataCombo("DataCombo1").visible);
    h.click("Form18", "cmdaction", 2);
    EXPECT_EQ(h.lastMessage(), kLoadMessage);
    EXPECT_TRUE(h.form("Form18").dataCombo("DataCombo1").visible);
    EXPECT_EQ(dump("DAY_OUTPUT"), days);
}

TEST_F(ExpenseBooksTest, SearchesTakeTheirRangesOnly) {
    open("Form18");
    for (const char* day : {"0", "31", "abc", ""}) {
        h.answerInput(day);
        h.menu("Form18", "DAY_NO");
        EXPECT_EQ(h.lastMessage(), "أدخل رقم اليوم بين 1 و 30 ") << day;
    }
    h.answerInput("30");
    h.menu("Form18", "DAY_NO");
    EXPECT_EQ(h.text("Form18", "Text1", 0), "0");
    EXPECT_EQ(toText(h.form("Form18").adodc("Adodc1").recordset().field("DAY_NO")), "30");

    open("Form19");
    h.answerInput("2051");
    h.answer(answer::Yes);  // asks again
    h.answerInput("2050");
    h.menu("Form19", "year");
    EXPECT_EQ(h.lastMessage(), "ادخل رقم للسنة بين 2000 و 2050 ");
    EXPECT_EQ(toText(h.form("Form19").adodc("Adodc1").recordset().field("YEARS")), "2050");

    open("Form11");
    h.answerInput("5");
    h.menu("Form11", "a");
    EXPECT_EQ(toText(h.form("Form11").adodc("Adodc1").recordset().field("MONTH_NO")), "5");
    EXPECT_EQ(h.text("Form11", "Label4"), "5");
    EXPECT_TRUE(h.form("Form11").label("Label4").visible);
}

TEST_F(ExpenseBooksTest, DaysRollIntoTheMonthWithItsTotal) {
    h.exec("UPDATE DAY_OUTPUT SET DAYLY = 10, TOTALDAY_OUT = 10 WHERE DAY_NO = 1");
    h.exec("UPDATE DAY_OUTPUT SET CAR_OUT = 20.5, TOTALDAY_OUT = 20.5 WHERE DAY_NO = 2");
    h.exec("UPDATE MONTH_OUTPUT SET ELECTRIC_FEE = 100, DALIY_OUT = 9 WHERE MONTH_NO = 3");
    h.exec("UPDATE MONTH_OUTPUT SET DALIY_OUT = 1, TOTAL_OUT = 1 WHERE MONTH_NO = 4");
    open("Form18");
    edit("Form18", "30", {"0"});
    sumAndSave("Form18");
    EXPECT_EQ(h.lastMessage(),
              " يجب ان تضغط (أضف الى حسابات الشهور) لأضافة المصروفات اليومية الى المصروفات الشهرية ");
    ASSERT_TRUE(h.form("Form18").button("ADD").visible);

    // Empty answer: nothing changes and the button stays.
    const std::string days = dump("DAY_OUTPUT");
    h.click("Form18", "ADD");
    EXPECT_EQ(dump("DAY_OUTPUT"), days);
    EXPECT_TRUE(h.form("Form18").button("ADD").visible);

    h.answerInput("13");
    h.answerInput("0");
    h.answerInput("3");
    h.dialogs.clear();
    h.click("Form18", "ADD");
    EXPECT_EQ(h.messageTexts(),
              (std::vector<std::string>{kMonthRange, kMonthRange,
                                        " لقد أضفت المصروفات اليومية لشهر رقم3 الى الحسابات الشهرية"}));
    // Added to what the month held; other months untouched.
    EXPECT_EQ(test::row(h, "MONTH_OUTPUT", 2, {"DALIY_OUT", "TOTAL_OUT"}), "39.5|139.5");
    EXPECT_EQ(cell("MONTH_OUTPUT", 3, "TOTAL_OUT"), 1);
    for (const char* f : {"DAYLY", "CAR_OUT", "TOTALDAY_OUT"})
        for (const Value& v : h.column("DAY_OUTPUT", f)) EXPECT_EQ(toDouble(v), 0) << f;
    EXPECT_EQ(toText(h.cell("DAY_OUTPUT", 29, "DAYS")), "30");
    EXPECT_FALSE(h.form("Form18").button("ADD").visible);

    // A second roll-up into the month adds to what the first brought.
    edit("Form18", "30", {"5"});
    sumAndSave("Form18");
    h.answerInput("3");
    h.click("Form18", "ADD");
    EXPECT_EQ(test::row(h, "MONTH_OUTPUT", 2, {"DALIY_OUT", "TOTAL_OUT"}), "44.5|144.5");
}

TEST_F(ExpenseBooksTest, DailyAmountsReachTheYearAndItsReport) {
    h.exec("UPDATE DAY_OUTPUT SET DAYLY = 40, TOTALDAY_OUT = 40 WHERE DAY_NO = 7");
    h.exec("UPDATE MONTH_OUTPUT SET SALERY = 500, TOTAL_OUT = 500 WHERE MONTH_NO = 1");
    h.exec("UPDATE YEAR_OUTPUT SET GAIN_SELL = 2000 WHERE YEAR = 2026");
    open("Form18");
    edit("Form18", "30", {});
    sumAndSave("Form18");
    h.answerInput("12");
    h.click("Form18", "ADD");

    // Month 12 saved as it stands: its total already holds the days.
    open("Form11");
    edit("Form11", "12", {});
    h.click("Form11", "cmdaction", 2);
    EXPECT_EQ(cell("MONTH_OUTPUT", 11, "TOTAL_OUT"), 40);
    ASSERT_TRUE(h.form("Form11").button("ADD").visible);
    const std::string months = dump("MONTH_OUTPUT");
    for (const char* year : {"2051", "abc", "1999"}) {
        h.answerInput(year);
        h.click("Form11", "ADD");
        EXPECT_EQ(h.lastMessage(), kNoYear) << year;
    }
    EXPECT_EQ(dump("MONTH_OUTPUT"), months);

    h.answerInput("2026");
    h.click("Form11", "ADD");
    EXPECT_EQ(h.lastMessage(), " لقد أضفت المصروفات الشهرية لسنة رقم2026 لحساب السنوات");
    EXPECT_EQ(test::row(h, "YEAR_OUTPUT", 26, {"MONTH_COST", "NET_GAIN"}), "540|1460");
    for (const Value& v : h.column("MONTH_OUTPUT", "TOTAL_OUT")) EXPECT_EQ(toDouble(v), 0);

    open("Form19");
    h.menu("Form19", "years");
    EXPECT_NE(h.app.report("DataReport5"), nullptr);
}

TEST_F(ExpenseBooksTest, NetGainIsStoredOnlyBySave) {
    open("Form19");
    edit("Form19", "2010", {"100", "10", "500", "20", "5"});
    h.click("Form19", "Command1");
    EXPECT_EQ(h.text("Form19", "Label2"), "365");
    EXPECT_EQ(cell("YEAR_OUTPUT", 10, "NET_GAIN"), 0);
    h.type("Form19", "Text1", "0", 2);
    h.click("Form19", "Command1");
    EXPECT_EQ(h.text("Form19", "Label2"), "-135");
    h.click("Form19", "cmdaction", 2);
    EXPECT_EQ(cell("YEAR_OUTPUT", 10, "NET_GAIN"), -135);
    EXPECT_FALSE(h.form("Form19").button("ADD").visible);  // the year rolls into nothing
}

TEST_F(ExpenseBooksTest, ARollUpThatWouldPassTheLargestAmountChangesNeitherBook) {
    h.exec("UPDATE DAY_OUTPUT SET DAYLY = 10, TOTALDAY_OUT = 10 WHERE DAY_NO = 1");
    h.exec("UPDATE MONTH_OUTPUT SET DALIY_OUT = 1e12 WHERE MONTH_NO = 3");
    open("Form18");
    edit("Form18", "30", {});
    sumAndSave("Form18");
    const std::string days = dump("DAY_OUTPUT"), months = dump("MONTH_OUTPUT");
    h.answerInput("3");
    h.click("Form18", "ADD");
    EXPECT_EQ(h.lastMessage(), "المصاريف اليومية أكبر من الحد المسموح به (1000000000000)");
    EXPECT_EQ(dump("DAY_OUTPUT") + dump("MONTH_OUTPUT"), days + months);
    EXPECT_TRUE(h.form("Form18").button("ADD").visible);
}

}  // namespace
}  // namespace mk
