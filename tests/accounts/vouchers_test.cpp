// Receipt and payment vouchers: posted once to the cash box and the
// customer's debt, exactly, from the rows as they stand; refused before any
// write; found again and listed. The expense books: days, months and
// years, and the roll-ups from one into the next.
#include <gtest/gtest.h>

#include <map>

#include "ledger/money_posting.h"
#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

constexpr const char* kReceiptPosted =
    " تم خصم المبلغ المستلم من مديونية العميل و إضافته الى رصيد صندوق الشركة ";
constexpr const char* kBadNumber = "رقم الإذن غير صحيح أو مستخدم من قبل";

struct VouchersTest : ::testing::Test {
    VouchersTest() { h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Hala', 1500), ('Omar', 1000)"); }
    // Opens a voucher window from the main window's menu, as a user does.
    void open(const std::string& form) {
        h.show("Form1");
        h.menu("Form1", form == "Form35" ? "PAY" : "ECEIVE");
    }
    // Add, fill and save a voucher (or post it while adding).
    void enter(const std::string& form, const std::string& party, const std::string& amount,
               bool postWhileAdding = false) {
        open(form);
        h.click(form, "cmdaction", 0);
        h.type(form, form == "Form35" ? "DataCombo1" : "Text6", party);
        h.type(form, "Text2", amount);
        h.click(form, postWhileAdding ? "Command2" : "cmdaction", postWhileAdding ? -1 : 0);
    }
    bool postVisible() { return h.form("Form35").button("Command2").visible; }
    Harness h;
};

TEST_F(VouchersTest, AReceiptLowersTheDebtAndRaisesTheCashOnce) {
    enter("Form35", "Hala", "200");
    EXPECT_TRUE(postVisible());
    h.dialogs.onShown = [&](const auto&) { EXPECT_EQ(h.committedCount("BOX"), 2); };
    h.click("Form35", "Command2");
    h.dialogs.onShown = nullptr;
    ASSERT_EQ(h.count("BOX"), 2);
    EXPECT_EQ(row(h, "BOX", 1, {"MONEY", "MONEY_RECIVED", "RECEIVED_INV", "DATE"}),
              "200|200|3|06/12/2026");
    EXPECT_EQ(col(h, "BUYER", "MONEY"), "1300|1000");
    EXPECT_EQ(h.lastMessage(), kReceiptPosted);
    EXPECT_FALSE(postVisible());
    EXPECT_EQ(h.cell("REVEIVED_MONEY", 0, "POSTED"), Value(true));
    // The main window's totals and the cash box window show the receipt.
    EXPECT_EQ(h.caption("Form1", "Label23", 0) + " " + h.caption("Form1", "Label23", 2), "2300 200");
    h.menu("Form1", "BOX_MANGEMENT");
    EXPECT_EQ(h.text("Form34", "Text1"), "200");

    // Add shows the post button again; cancelled, the posted voucher is on
    // show and posting it again is refused.
    h.click("Form35", "cmdaction", 0);
    cancel(h, "Form35");
    EXPECT_TRUE(h.form("Form35").textBox("Text2").locked);
    h.click("Form35", "Command2");
    EXPECT_EQ(h.lastMessage(), "تم ترحيل هذا الإذن من قبل");
    EXPECT_EQ(h.count("BOX"), 2);
    EXPECT_EQ(col(h, "BUYER", "MONEY"), "1300|1000");
}

TEST_F(VouchersTest, PostingWhileAddingSavesFirstAndPostsTheStoredRowExactly) {
    h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Omar', 1000)");  // a name stored twice
    enter("Form35", "Omar", "100.5", true);
    EXPECT_EQ(h.count("REVEIVED_MONEY"), 1);
    EXPECT_EQ(h.cell("REVEIVED_MONEY", 0, "POSTED"), Value(true));
    // Exact, no whole-number rounding; the first row of the name only.
    EXPECT_EQ(toDouble(h.cell("BUYER", 1, "MONEY")), 899.5);
    EXPECT_EQ(toDouble(h.cell("BUYER", 2, "MONEY")), 1000);
    EXPECT_EQ(cashBalance(h.db()), 100.5);
    EXPECT_EQ(h.caption("Form35", "cmdaction", 0) + h.text("Form35", "Label6"), "&add3");
    EXPECT_TRUE(h.form("Form35").adodc("Adodc1").enabled);  // browsing again
    h.click("Form35", "Command2");  // a second press posts nothing
    EXPECT_EQ(h.count("BOX"), 2);
}

TEST_F(VouchersTest, AnUnknownCustomerOrABadVoucherWritesNothing) {
    enter("Form35", "hala", "200", true);  // letter case counts
    EXPECT_EQ(h.lastMessage(), "العميل hala غير موجود فى جدول العملاء، إختر العميل من القائمة");
    enter("Form35", ".", "200");
    EXPECT_EQ(h.lastMessage(), "يجب إختيار العميل من القائمة أولا");
    EXPECT_EQ(h.caption("Form35", "cmdaction", 0), "&save");  // still adding
    h.type("Form35", "DataCombo1", "Hala");
    for (const char* amount : {"-5", "abc", ""}) {
        h.type("Form35", "Text2", amount);
        h.click("Form35", "Command2");
        EXPECT_EQ(h.lastMessage(), "أدخل قيمة المبلغ رقما لا يقل عن صفر") << amount;
    }
    h.type("Form35", "Text2", "50");
    for (const char* number : {"2147483648", "0", "2.5", "x"}) {
        h.type("Form35", "Text1", number);
        h.click("Form35", "cmdaction", 0);
        EXPECT_EQ(h.lastMessage(), kBadNumber) << number;
    }
    EXPECT_EQ(h.count("REVEIVED_MONEY") + h.count("BOX"), 1);
    EXPECT_EQ(col(h, "BUYER", "MONEY"), "1500|1000");
}

// A voucher of 0 posts a row that leaves the balance as it was; a write
// failing half way stores none of it.
TEST_F(VouchersTest, AVoucherOfZeroPostsInOneActionOrNotAtAll) {
    const std::string before = tablesText(h, {"BOX", "BUYER", "REVEIVED_MONEY"});
    fail(h, "UPDATE ON BUYER");
    enter("Form35", "Hala", "0", true);
    succeed(h);
    EXPECT_EQ(tablesText(h, {"BOX", "BUYER", "REVEIVED_MONEY"}), before);
    EXPECT_EQ(h.caption("Form35", "cmdaction", 0), "&save");
    h.click("Form35", "Command2");
    EXPECT_EQ(h.lastMessage(), kReceiptPosted);
    EXPECT_EQ(row(h, "BOX", 1, {"MONEY", "MONEY_RECIVED", "RECEIVED_INV"}), "0|0|3");
    EXPECT_EQ(col(h, "BUYER", "MONEY") + " " + row(h, "REVEIVED_MONEY", 0, {"POSTED"}), "1500|1000 True");
    enter("Form41", "Sami", "0");
    h.click("Form41", "Command2");
    EXPECT_EQ(col(h, "BOX", "MONEY") + " " + row(h, "BOX", 2, {"MONEY_OUT"}), "0|0|0 0");
}

TEST_F(VouchersTest, NumbersAreProposedAfreshAndNeverReused) {
    h.exec("INSERT INTO MONEY_OUT (INVO_NO, MONEY) VALUES (1, 5), (17, 5), (2, 5)");
    open("Form41");
    EXPECT_EQ(h.text("Form41", "Label6"), "17");
    enter("Form41", "Sami", "10");
    EXPECT_EQ(toText(h.cell("MONEY_OUT", 3, "INVO_NO")) + " " + h.text("Form41", "Label6"), "18 18");
    h.click("Form41", "cmdaction", 0);
    EXPECT_EQ(h.text("Form41", "Text1"), "19");
    h.type("Form41", "Text1", "17");
    h.type("Form41", "Text2", "10");
    h.click("Form41", "cmdaction", 0);
    EXPECT_EQ(h.lastMessage(), kBadNumber);
    EXPECT_EQ(h.count("MONEY_OUT"), 4);

    Harness fresh;
    fresh.show("Form1");
    fresh.menu("Form1", "PAY");
    fresh.click("Form35", "cmdaction", 0);
    EXPECT_EQ(fresh.text("Form35", "Text1"), "3");  // an empty table starts from 2
}

// Postings start from the rows as they stand: a debt edited in the
// customers window after the voucher window opened, a cash box row another
// posting appended.
TEST_F(VouchersTest, PostingsStartFromTheTrueDebtAndCashBalance) {
    open("Form35");
    h.menu("Form1", "BUYER");
    h.app.navigate(h.form("Form6").adodc("Adodc1"), Nav::First);  // the totals left it at the end
    h.click("Form6", "cmdaction", 2);
    h.type("Form6", "Text2", "2000");
    h.click("Form6", "cmdaction", 2);
    enter("Form41", "Sami", "300", true);
    EXPECT_EQ(h.lastMessage(), " تم طرح المبلغ المنصرف من رصيد الصندوق ");
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY", "MONEY_OUT", "OUT_INV"}), "-300|300|3");  // kept negative
    enter("Form35", "Hala", "200", true);
    EXPECT_EQ(toDouble(h.cell("BUYER", 0, "MONEY")), 1800);
    h.machine.action([&] {
        applyPayment(h.db(), planPayment(h.db(), {.total = 100, .referenceField = "OUT_INVOICE",
                                                  .reference = Value(9), .date = Value("6/12/2026")}));
    });
    enter("Form35", "Hala", "50", true);
    EXPECT_EQ(col(h, "BOX", "MONEY"), "0|-300|-100|0|50");
    h.form("Form34").Unload();
    h.menu("Form1", "BOX_MANGEMENT");
    EXPECT_EQ(h.text("Form34", "Text1"), "50");
    h.click("Form34", "Command2");
    EXPECT_TRUE(h.form("Form41").visible());
}

TEST_F(VouchersTest, SearchShowsTheVoucherAndTheSearchLine) {
    h.exec("INSERT INTO REVEIVED_MONEY (INVO_NO, MONEY, BUYER) VALUES (5, 1, 'Hala'), (12, 2, 'Omar')");
    open("Form35");
    h.answerInput("12");
    h.menu("Form35", "SEARCH");
    EXPECT_EQ(h.text("Form35", "DataCombo1") + h.text("Form35", "Label8"), "Omar12");
    EXPECT_EQ(h.text("Form35", "Label9"), " أذن الاستلام رقم");
    EXPECT_EQ(h.text("Form35", "Label6"), "");
    h.answerInput("99");
    h.menu("Form35", "SEARCH");
    EXPECT_EQ(h.lastMessage(), " unable to find that item ");
    // Nothing on show: nothing to post.
    h.click("Form35", "cmdaction", 0);
    cancel(h, "Form35");
    h.answerInput("99");
    h.menu("Form35", "SEARCH");
    h.click("Form35", "Command2");
    EXPECT_EQ(h.lastMessage(), "لا يوجد إذن معروض للترحيل");
    EXPECT_EQ(h.count("BOX"), 1);
}

TEST_F(VouchersTest, TheViewListsTheReceiptsOfTheCustomerOnShow) {
    h.exec("INSERT INTO REVEIVED_MONEY (INVO_NO, MONEY, DATES, BUYER) VALUES "
           "(5, 250.5, '2026-12-01', 'Hala'), (7, 80, '2026-12-01', 'hala'), "
           "(9, 251.5, '2026-12-02', 'Hala'), (11, 5, '2026-12-02', 'Hala '), "
           "(12, 1000, '2026-12-03', 'Hala')");
    h.show("Form1");
    h.menu("Form1", "BUYER");
    h.app.navigate(h.form("Form6").adodc("Adodc1"), Nav::First);  // the totals left it at the end
    h.click("Form6", "Command3");
    const auto& lines = h.lines("Form39");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], std::string(11, ' '));
    EXPECT_EQ(lines[3], formatPrintLine({zone, 250, zone, Value::date(makeDate(2026, 12, 1)), zone,
                                        Value::i32(5)}));
    EXPECT_EQ(lines[4], formatPrintLine({zone, 252, zone, Value::date(makeDate(2026, 12, 2)), zone,
                                        Value::i32(9)}));
    EXPECT_NE(lines[5].find("1000"), std::string::npos);
    EXPECT_EQ(h.form("Form39").caption->rfind("حركة تعاملات أذون Hala", 0), 0u);

    // Shown again for a customer without receipts: a fresh, empty list.
    h.close("Form39");
    h.app.navigate(h.form("Form6").adodc("Adodc1"), Nav::Next);
    h.click("Form6", "Command3");
    EXPECT_EQ(h.lines("Form39").size(), 3u);
    EXPECT_EQ(h.lastMessage(), "لا توجد أذون إستلام لهذا العميل  ");
}

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
    h.exec("UPDATE YEAR_OUTPUT SET GAIN_SELL = 2000, NET_GAIN = 777 WHERE YEAR = 2026");
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
    // The year's net gain changes by its own button only.
    EXPECT_EQ(test::row(h, "YEAR_OUTPUT", 26, {"MONTH_COST", "NET_GAIN"}), "540|777");
    for (const Value& v : h.column("MONTH_OUTPUT", "TOTAL_OUT")) EXPECT_EQ(toDouble(v), 0);

    open("Form19");
    h.menu("Form19", "years");
    EXPECT_NE(h.app.report("DataReport5"), nullptr);
}

// Rows saved without the sum button hold the total of their amounts, and a
// roll-up carries what it clears, even from a row an older file stored
// with a stale total.
TEST_F(ExpenseBooksTest, RowsSavedWithoutTheSumButtonLoseNothingInTheRollUps) {
    h.exec("UPDATE DAY_OUTPUT SET OTHER = 4.5 WHERE DAY_NO = 2");
    h.exec("UPDATE MONTH_OUTPUT SET PHONE_FEE = 7 WHERE MONTH_NO = 1");
    open("Form18");
    edit("Form18", "1", {"50", "25.5"});
    // A save that fails leaves the row and the window as they were.
    const std::string days = dump("DAY_OUTPUT");
    test::fail(h, "UPDATE ON DAY_OUTPUT");
    h.click("Form18", "cmdaction", 2);
    test::succeed(h);
    EXPECT_EQ(dump("DAY_OUTPUT"), days);
    EXPECT_EQ(h.text("Form18", "Text1", 1) + " " + h.text("Form18", "Label2") + " " +
                  h.caption("Form18", "cmdaction", 2),
              "25.5 0 &حفظ");
    h.click("Form18", "cmdaction", 2);
    EXPECT_EQ(test::row(h, "DAY_OUTPUT", 0, {"DAYLY", "CAR_OUT", "TOTALDAY_OUT"}), "50|25.5|75.5");
    edit("Form18", "30", {});
    h.click("Form18", "cmdaction", 2);
    h.answerInput("5");
    h.click("Form18", "ADD");
    EXPECT_EQ(test::row(h, "MONTH_OUTPUT", 4, {"DALIY_OUT", "TOTAL_OUT"}), "80|80");

    // The month: two more amounts, saved without the sum; the total is
    // their exact sum, whatever its text shows.
    open("Form11");
    edit("Form11", "5", {"", "0.1", "0.2"});
    h.click("Form11", "cmdaction", 2);
    const double month = 80 + 0.1 + 0.2;
    EXPECT_EQ(test::row(h, "MONTH_OUTPUT", 4, {"TOTAL_OUT"}), test::exact(Value(month)));
    EXPECT_EQ(h.text("Form11", "Label2"), "80.3");
    edit("Form11", "12", {});
    h.click("Form11", "cmdaction", 2);
    h.answerInput("2026");
    h.click("Form11", "ADD");
    EXPECT_EQ(test::row(h, "YEAR_OUTPUT", 26, {"MONTH_COST"}), test::exact(Value(7 + month)));
    // Both books are cleared: every amount went up.
    for (const auto& [table, fields] :
         std::map<std::string, std::vector<const char*>>{
             {"DAY_OUTPUT", {"DAYLY", "CAR_OUT", "OTHER", "TOTALDAY_OUT"}},
             {"MONTH_OUTPUT", {"DALIY_OUT", "ELECTRIC_FEE", "PLACE_FEE", "PHONE_FEE", "TOTAL_OUT"}}})
        for (const char* field : fields)
            for (const Value& v : h.column(table, field)) EXPECT_EQ(toDouble(v), 0) << field;
}

// A sum that would pass the largest amount is refused at the save as the
// sum button refuses it.
TEST_F(ExpenseBooksTest, ASaveWhoseTotalWouldPassTheLargestAmountStoresNothing) {
    const std::string days = dump("DAY_OUTPUT");
    open("Form18");
    edit("Form18", "3", {"1e12", "1e12"});
    h.click("Form18", "cmdaction", 2);
    EXPECT_EQ(h.lastMessage(), "الاجمالى أكبر من الحد المسموح به (1000000000000)");
    EXPECT_EQ(dump("DAY_OUTPUT"), days);
    EXPECT_EQ(h.caption("Form18", "cmdaction", 2), "&حفظ");
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
