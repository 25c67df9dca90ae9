// The wholesale invoice window and its twin for issue vouchers: part
// payments, the buyer each document charges, and what another window typed
// or posted meanwhile; the returns window: totals rounded line by line,
// counters raised and stock left alone, and every save it must refuse.
// (Cash and credit sales and one return are followed through the working
// day.)
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

struct WholesaleTest : ::testing::Test {
    WholesaleTest() {
        startTradingDay(h);
        h.menu("Form1", "saleslarge");
        h.choose("Form42", "DataCombo3", "G1");
    }
    // Add, the customer, the payment type and the lines.
    void enter(const std::string& buyer, const char* option,
               const Lines& lines, const char* form = "Form42") {
        enterWholesale(h, form, lines);
        if (!buyer.empty()) h.choose(form, "DataCombo2", buyer);
        if (option) h.click(form, option);
    }
    // Saves, answering the messages and then the another-invoice question.
    void save(int messages, int another = answer::No, const char* form = "Form42") {
        for (int i = 0; i < messages; ++i) h.answer(answer::OK);
        h.answer(another);
        h.dialogs.clear();
        h.click(form, "cmdaction", 0);
    }
    void refused(const std::string& why, const std::string& message) {
        expectRefused(h, "Form42", [&] { return wholesaleTables(h); }, why, message);
    }
    Harness h;
};

TEST_F(WholesaleTest, PartPaymentsMoveThePaidPartAndAnOverpaymentLowersTheDebt) {
    EXPECT_EQ(h.form("Form42").caption, " فواتير مبيعات الجملة ل " + companyTitle(h.app));
    enter("Sami", "Option3", {{"nut", "30"}});
    // The amount is asked with the line sums and the total on show.
    std::string onShow;
    h.dialogs.onShown = [&](const ScriptedDialogs::Shown& box) {
        if (box.input) onShow = h.text("Form42", "Text5", 0) + "|" + h.caption("Form42", "Label9");
    };
    h.answerInput("100");
    save(2, answer::Yes);
    h.dialogs.onShown = nullptr;
    EXPECT_EQ(onShow, "150|150");
    EXPECT_EQ(h.dialogs.shown().front().prompt + h.dialogs.shown().front().title,
              "أدخل المبلغ المراد دفعه الآن :أدخل المبلغ :");
    EXPECT_EQ(h.messageTexts(),
              (std::vector<std::string>{cashSaid(100, "Sami"), debtSaid("Sami", 50, kRestEnd),
                                        "هل تريد إدخال فاتورة أخرى "}));
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY", "MONEY_RECIVED"}), "1100|100");
    EXPECT_EQ(debtOf(h, "Sami"), 50);

    h.choose("Form42", "DataCombo3", "G1");
    enter("Sami", nullptr, {{"nut", "30"}});  // part payment still chosen
    h.answerInput("200");
    save(2);
    EXPECT_EQ(h.messageTexts()[1], debtSaid("Sami", -50, kRestEnd));
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY", "RECEIVED_INV"}), "1300|4");
    EXPECT_EQ(debtOf(h, "Sami"), 0);
    EXPECT_EQ(col(h, "SALES_INVO_GROUP", "INVO_NO"), "3|4");
}

TEST_F(WholesaleTest, EveryRefusalChangesNothingAndPaysNothing) {
    enter("Hala", "Option1", {{"bolt", "1"}});
    save(1);  // invoice 3, posted
    h.menu("Form42", "EXITE");
    h.menu("Form1", "saleslarge");  // a fresh window: no payment type chosen
    h.choose("Form42", "DataCombo3", "G1");
    enterWholesale(h, "Form42", {{"nut", "2"}});

    refused("no payment type", " لم تقم بأختيار نوعية السداد ارجع و وقم بالإختيار ");
    h.click("Form42", "Option2");
    refused("credit, no customer", "يجب إختيار العميل من القائمة أولا");
    h.choose("Form42", "DataCombo2", "Hala");
    h.exec("UPDATE BUYER SET BUYER='Hala S' WHERE BUYER='Hala'");
    refused("renamed meanwhile", "العميل Hala غير موجود فى جدول العملاء، إختر العميل من القائمة");
    h.exec("UPDATE BUYER SET BUYER='Hala' WHERE BUYER='Hala S'");

    h.click("Form42", "Option3");
    // A refusal after the sums were shown for the question shows again
    // what the window showed before the press.
    const auto sums = [&] { return h.text("Form42", "Text5", 0) + "|" + h.caption("Form42", "Label9"); };
    const std::string unsummed = sums();
    h.dialogs.cancelInput();
    refused("part, cancelled", "");
    EXPECT_EQ(sums(), unsummed);
    for (const char* answer : {"abc", "-5"}) {
        h.answerInput(answer);
        refused(answer, "المبلغ المدفوع يجب أن يكون رقما لا يقل عن صفر");
        EXPECT_EQ(sums(), unsummed) << answer;
    }
    h.type("Form42", "Text1", "3", 0);
    refused("posted duplicate", "لقد تم خصم هذه الفاتورة سابقا.");  // asks for no amount
    EXPECT_EQ(h.lastTitle(), "Attention");
    EXPECT_EQ(h.dialogs.unusedAnswers(), 0u);

    // Fixed, the same invoice posts once.
    h.type("Form42", "Text1", "4", 0);
    h.answerInput("4");
    save(2);
    EXPECT_EQ(h.count("SALES_INVO_GROUP"), 2);
    EXPECT_EQ(lastBox(h, "MONEY_RECIVED"), 4);
    EXPECT_EQ(debtOf(h, "Hala"), 46);
}

// Two windows at once: the item card and the customers window each hold a
// typed, unsaved change while a sale posts to their rows. Neither loses it;
// each save stores it and then shows the posted values.
TEST_F(WholesaleTest, ATypedEditElsewhereSurvivesAPostingAndItsSaveShowsTheStoredRow) {
    h.menu("Form1", "store_functions");
    h.choose("Form1", "DataCombo3", "G1");
    h.click("Form1", "cmdaction", 2);
    h.type("Form1", "Text7", "26");  // bolt's retail price, 20 before
    h.menu("Form1", "BUYER");
    h.app.navigate(h.form("Form6").adodc("Adodc1"), Nav::First);
    h.click("Form6", "cmdaction", 2);
    h.type("Form6", "Text1", "555", 1);  // Hala's phone
    enter("Hala", "Option2", {{"bolt", "3"}});
    save(1);
    ASSERT_EQ(debtOf(h, "Hala"), 85);
    EXPECT_EQ(h.text("Form1", "Text7") + h.caption("Form1", "cmdaction", 2), "26&save");
    EXPECT_EQ(h.text("Form6", "Text1", 1) + h.caption("Form6", "cmdaction", 2), "555&save");

    h.click("Form1", "cmdaction", 2);
    EXPECT_EQ(row(h, "G1", 0, {"UNITE_PRICE", "ONSTOCK"}), "26|7");
    EXPECT_EQ(h.text("Form1", "Text3", 0) + "/" + h.text("Form1", "Text7"), "7/26");
    h.click("Form6", "cmdaction", 2);
    EXPECT_EQ(row(h, "BUYER", 0, {"MONEY", "PHONE"}) + " " + h.text("Form6", "Text2"), "85|555 85");
}

// The buyer the invoice stores is the one charged: a typed name counts only
// when listed, and then acts as its pick; add leaves the buyer empty.
TEST_F(WholesaleTest, TheStoredBuyerIsTheChargedOneAndATypedNameMustBeListed) {
    enter("Sami", "Option2", {{"nut", "2"}});
    h.app.enterText(h.form("Form42").dataCombo("DataCombo2"), "Hal");
    refused("unlisted", "العميل Hal غير موجود فى جدول العملاء، إختر العميل من القائمة");
    h.app.enterText(h.form("Form42").dataCombo("DataCombo2"), "Hala");
    EXPECT_EQ(h.caption("Form42", "Label17"), "Hala");
    save(1);
    EXPECT_EQ(toText(h.cell("SALES_INVO_GROUP", 0, "SALES_MAN")), "Hala");
    EXPECT_EQ(debtOf(h, "Hala"), 50);
    EXPECT_EQ(debtOf(h, "Sami"), 0);

    // A cash sale names no customer: nothing is written into the buyer.
    h.choose("Form42", "DataCombo3", "G1");
    enter("", "Option1", {{"nut", "1"}});
    EXPECT_EQ(h.text("Form42", "DataCombo2") + h.caption("Form42", "Label17"), "");
    save(1);
    EXPECT_NE(toText(h.cell("SALES_INVO_GROUP", 1, "SALES_MAN")), ".");
    EXPECT_EQ(h.messageTexts().front(), cashSaid(5));
}

// A customer, a group or an item added in another window while this one is
// open is in its choosers at once, and sells.
TEST_F(WholesaleTest, ACustomerAGroupAndAnItemAddedElsewhereCanBePickedAtOnce) {
    Form& f = h.form("Form42");
    auto listed = [](const DataCombo& chooser, const std::string& name) {
        const std::vector<std::string> list = chooser.list();
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    auto all = [&] {
        return std::to_string(listed(f.dataCombo("DataCombo2"), "Omar")) +
               std::to_string(listed(f.dataCombo("DataCombo1", 0), "washer")) +
               std::to_string(listed(f.dataCombo("DataCombo3"), "G2"));
    };
    ASSERT_EQ(all(), "000");
    h.menu("Form1", "BUYER");
    h.click("Form6", "cmdaction", 0);
    h.type("Form6", "Text1", "Omar", 0);
    h.click("Form6", "cmdaction", 0);
    h.menu("Form1", "store_functions");
    h.choose("Form1", "DataCombo3", "G1");
    h.click("Form1", "cmdaction", 0);
    h.type("Form1", "Text6", "washer");
    h.type("Form1", "Text9", "3");  // its wholesale price
    h.click("Form1", "cmdaction", 0);
    h.menu("Form1", "RENAME_MAIN");
    h.click("Form49", "cmdaction", 0);
    h.type("Form49", "Text1", "G2");
    h.click("Form49", "cmdaction", 0);
    EXPECT_EQ(all(), "111");
    enter("Omar", "Option2", {{"washer", "2"}});
    save(1);
    EXPECT_EQ(debtOf(h, "Omar"), 6);
}

TEST_F(WholesaleTest, ADebtEditedInTheCustomersWindowAfterOpeningSurvivesACredit) {
    h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Hala', 5)");  // a name stored twice
    h.menu("Form1", "BUYER");
    h.app.navigate(h.form("Form6").adodc("Adodc1"), Nav::First);
    h.click("Form6", "cmdaction", 2);
    h.type("Form6", "Text2", "70");
    h.click("Form6", "cmdaction", 2);
    enter("Hala", "Option2", {{"bolt", "1"}, {"nut", "1"}});
    save(1);
    EXPECT_EQ(col(h, "BUYER", "MONEY"), "90|0|5");  // the first row alone
    EXPECT_EQ(h.text("Form6", "Text2"), "90");
}

TEST_F(WholesaleTest, OpeningWritesDotsForDisplayOnlyAndTheReportListsTheInvoices) {
    enter("Hala", "Option1", {{"bolt", "1"}});
    save(1);
    h.menu("Form42", "EXITE");
    const std::string before = wholesaleTables(h);
    h.menu("Form1", "saleslarge");
    EXPECT_EQ(h.text("Form42", "DataCombo1", 0), ".");
    // Browsing edits nothing: the number, the buyer and the notes are locked.
    EXPECT_FALSE(h.type("Form42", "Text1", "9", 0));
    EXPECT_FALSE(h.choose("Form42", "DataCombo2", "Sami"));
    EXPECT_FALSE(h.type("Form42", "Text11", "x"));
    h.app.navigate(h.form("Form42").adodc("Adodc2"), Nav::Last);
    h.menu("Form42", "EXITE");
    EXPECT_EQ(wholesaleTables(h), before);

    // Edit opens the notes of a posted invoice, and nothing it posted.
    h.menu("Form1", "saleslarge");
    h.click("Form42", "cmdaction", 2);
    EXPECT_FALSE(h.type("Form42", "Text3", "9", 0));
    EXPECT_FALSE(h.choose("Form42", "DataCombo2", "Sami"));
    EXPECT_FALSE(h.click("Form42", "Option2"));
    EXPECT_TRUE(h.type("Form42", "Text11", "by cheque"));
    h.click("Form42", "cmdaction", 2);
    EXPECT_EQ(row(h, "SALES_INVO_GROUP", 0, {"NOTES", "MED_NAME1", "QNTITY1"}), "by cheque|bolt|1");
    h.menu("Form42", "REPORT");
    const RenderedReport* report = h.app.report("DataReport11");
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(report->rows.size(), 1u);
    EXPECT_EQ(report->rows[0][0], "3");
}

// Issue vouchers: their own book and numbering, the same postings.
TEST_F(WholesaleTest, VouchersKeepTheirOwnNumbersAndTheBuyerChosenOncePerOpening) {
    enter("Hala", "Option1", {{"bolt", "1"}});
    save(1);
    h.menu("Form1", "sellgroup");
    Form& v = h.form("Form53");
    EXPECT_EQ(v.findControl("Text11"), nullptr);
    h.choose("Form53", "DataCombo3", "G1");
    enter("Sami", "Option1", {{"nut", "2"}}, "Form53");
    EXPECT_EQ(h.text("Form53", "Text1", 0), "3");  // invoice 3 exists too
    EXPECT_FALSE(v.dataCombo("DataCombo2").enabled);
    save(1, answer::Yes, "Form53");
    EXPECT_EQ(row(h, "COAST_INVO_GROUP", 0, {"INVO_NO", "NOTES"}), "3|");
    EXPECT_EQ(row(h, "BOX", -1, {"RECEIVED_INV", "MONEY_RECIVED"}), "3|10");

    // The chooser stays disabled through add, cancel and save; a later
    // credit voucher stores the customer chosen before, and charges it.
    h.choose("Form53", "DataCombo3", "G1");
    h.click("Form53", "cmdaction", 0);
    cancel(h, "Form53");
    EXPECT_FALSE(v.dataCombo("DataCombo2").enabled);
    enterWholesale(h, "Form53", {{"nut", "4"}});
    EXPECT_FALSE(h.choose("Form53", "DataCombo2", "Hala"));
    EXPECT_EQ(h.text("Form53", "DataCombo2") + h.caption("Form53", "Label17"), "SamiSami");
    h.click("Form53", "Option2");
    save(1, answer::No, "Form53");
    EXPECT_EQ(toText(h.cell("COAST_INVO_GROUP", 1, "SALES_MAN")), "Sami");
    EXPECT_EQ(debtOf(h, "Sami"), 20);
    EXPECT_EQ(col(h, "G1", "ONSTOCK") + " " + col(h, "DAILY_TRADE", "OUTPUT"), "9|14 1|6");
    EXPECT_EQ(h.count("SALES_INVO_GROUP"), 1);

    h.menu("Form53", "REPORT");
    ASSERT_NE(h.app.report("DataReport13"), nullptr);
    EXPECT_EQ(h.app.report("DataReport13")->rows.size(), 2u);
    h.menu("Form53", "EXITE");
    h.menu("Form1", "sellgroup");
    EXPECT_TRUE(h.form("Form53").dataCombo("DataCombo2").enabled);
}

// Before a customer is picked in an opening, a voucher's buyer is ".": a
// cash voucher stores it, its report prints it, its message names no one.
TEST_F(WholesaleTest, AVoucherAddedBeforeAnyPickHasTheDotBuyer) {
    h.menu("Form1", "sellgroup");
    h.choose("Form53", "DataCombo3", "G1");
    enter("", "Option1", {{"nut", "2"}}, "Form53");
    EXPECT_EQ(h.text("Form53", "DataCombo2") + "|" + h.caption("Form53", "Label17"), ".|");
    save(1, answer::No, "Form53");
    EXPECT_EQ(h.messageTexts().front(), cashSaid(10));
    EXPECT_EQ(row(h, "COAST_INVO_GROUP", 0, {"INVO_NO", "SALES_MAN"}), "3|.");
    h.menu("Form53", "REPORT");
    const RenderedReport* report = h.app.report("DataReport13");
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(report->rows.size(), 1u);
    EXPECT_EQ(report->rows[0][1], ".");
}

struct ReturnsTest : ::testing::Test {
    ReturnsTest() {
        startTradingDay(h);
        h.menu("Form1", "returne");
        h.choose("Form28", "DataCombo3", "G1");
    }
    // Add, then each line on the row the stepping shows: item, quantity
    // and the typed price.
    void enter(const std::vector<std::tuple<std::string, std::string, std::string>>& lines) {
        h.click("Form28", "cmdaction", 0);
        const int start = static_cast<int>(leadingNumber(h.text("Form28", "Text5")));
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) h.click("Form28", "Command1");
            const int row = start + static_cast<int>(i);
            h.type("Form28", "Text3", std::get<1>(lines[i]), row);
            h.type("Form28", "Text6", std::get<2>(lines[i]), row);
            h.choose("Form28", "DataCombo1", std::get<0>(lines[i]), row);
        }
    }
    void save(int another = answer::No) {
        h.answer(answer::OK);
        h.answer(another);
        h.dialogs.clear();
        h.click("Form28", "cmdaction", 0);
    }
    std::string tables() {
        std::string out = wholesaleTables(h);
        Recordset rs(h.db(), "RETURN_INVOICE");
        for (; !rs.eof(); rs.moveNext())
            for (const FieldInfo& f : rs.fields()) out += toText(rs.field(f.name)) + "|";
        return out;
    }
    Harness h;
};

TEST_F(ReturnsTest, TotalsRoundHalfToEvenLineByLineAndOneItemOnTwoLinesCountsTwice) {
    enter({{"bolt", "1", "2.5"}, {"bolt", "1", "3.5"}});
    save(answer::Yes);
    EXPECT_EQ(lastBox(h, "MONEY_OUT"), 6);  // 2.5 gives 2, then 5.5 gives 6
    EXPECT_EQ(col(h, "G1", "RETURN"), "2|0");
    EXPECT_FALSE(h.type("Form28", "Text6", "9", 0));  // prices are locked once saved
    h.menu("Form28", "REPORT");
    ASSERT_NE(h.app.report("RETURN_INVOICE"), nullptr);
    EXPECT_EQ(h.app.report("RETURN_INVOICE")->rows.size(), 1u);
    // Cancel leaves the group as chosen; Yes had opened it for a new pick.
    EXPECT_TRUE(h.form("Form28").dataCombo("DataCombo3").enabled);
    h.choose("Form28", "DataCombo3", "G1");
    h.click("Form28", "cmdaction", 0);
    cancel(h, "Form28");
    EXPECT_FALSE(h.form("Form28").dataCombo("DataCombo3").enabled);
    EXPECT_EQ(h.caption("Form28", "Label4"), "3");
    h.menu("Form28", "EXITE");
    EXPECT_FALSE(h.app.isLoaded("Form28"));
}

TEST_F(ReturnsTest, RefusalsChangeNothingAndPayNothing) {
    enter({{"bolt", "1", "1"}});
    save(answer::Yes);  // 3, posted
    h.choose("Form28", "DataCombo3", "G1");
    enter({{"bolt", "2", "5"}});
    auto refused = [&](const std::string& why, const std::string& message) {
        expectRefused(h, "Form28", [&] { return tables(); }, why, message);
    };
    h.type("Form28", "Text1", "3", 0);
    refused("posted duplicate", "لقد تم إضافة فاتورة المرتجعات سابقا .");
    EXPECT_EQ(h.lastTitle(), "Attention");
    h.type("Form28", "Text1", "4", 0);
    const int row = static_cast<int>(leadingNumber(h.text("Form28", "Text5")));
    const std::string line = std::to_string(row + 1);
    h.type("Form28", "Text3", "2.5", row);
    refused("fraction", "الكمية فى السطر " + line + " يجب أن تكون عددا صحيحا من 0 إلى 32767");
    h.type("Form28", "Text3", "2", row);
    h.type("Form28", "Text6", "20000", row);
    refused("total of 40000", "إجمالى الفاتورة أكبر من 32767 ولا يمكن حفظها");
    h.type("Form28", "Text6", "5", row);
    h.type("Form28", "DataCombo1", ".", row);
    refused("no item", "السطر " + line + " له كمية بدون صنف، أختر الصنف أو أجعل الكمية صفرا");
    h.type("Form28", "DataCombo1", "bolt", row);
    h.exec("UPDATE G1 SET \"RETURN\"=32766 WHERE \"DESC\"='bolt'");
    refused("counter full",
            "لا يمكن ترحيل السطر " + line + " (bolt): عدد المرتجع تتجاوز الحد المسموح به");
    h.exec("UPDATE G1 SET \"RETURN\"=1 WHERE \"DESC\"='bolt'");
    save();
    EXPECT_EQ(h.count("RETURN_INVOICE"), 2);
    EXPECT_EQ(lastBox(h, "MONEY"), 1000 - 1 - 10);
    EXPECT_EQ(toInt32(h.cell("G1", 0, "RETURN")), 3);
}

}  // namespace
}  // namespace mk
