#include <gtest/gtest.h>

#include <algorithm>

#include "sales/wholesale_steps.h"

namespace mk {
namespace {

using namespace test;

const std::string kNoPayment = " لم تقم بأختيار نوعية السداد ارجع و وقم بالإختيار ";

struct WholesaleTest : ::testing::Test {
    WholesaleTest() {
        startTradingDay(h);
        h.menu("Form1", "saleslarge");
        h.choose("Form42", "DataCombo3", "G1");
    }
    // Add, the customer, the payment type and the lines.
    void enter(const std::string& buyer, const char* option,
               const std::vector<std::pair<std::string, std::string>>& lines) {
        enterWholesale(h, "Form42", lines);
        if (!buyer.empty()) h.choose("Form42", "DataCombo2", buyer);
        if (option) h.click("Form42", option);
    }
    // Saves, answering the messages and then the another-invoice question.
    void save(int messages, int another = answer::No) {
        for (int i = 0; i < messages; ++i) h.answer(answer::OK);
        h.answer(another);
        h.dialogs.clear();
        h.click("Form42", "cmdaction", 0);
    }
    Harness h;
};

TEST_F(WholesaleTest, CashAndCreditPostWithTheirMessagesAndTheTotalsFollow) {
    EXPECT_EQ(h.form("Form42").caption, " فواتير مبيعات الجملة ل " + companyTitle(h.app));
    enter("Hala", "Option1", {{"bolt", "10"}});
    EXPECT_EQ(h.text("Form42", "Text4", 0), "15");  // the wholesale price
    save(1, answer::Yes);
    EXPECT_EQ(h.messageTexts().front(), std::string(" ألى الصندوق ") + "150" + "بقيمة " + "Hala" +
                                            " تم أضافة حساب فاتورة  ");
    EXPECT_EQ(h.dialogs.messages().back().prompt, "هل تريد إدخال فاتورة أخرى ");
    EXPECT_EQ(lastBox(h, "MONEY"), 1150);
    EXPECT_EQ(lastBox(h, "MONEY_RECIVED"), 150);
    EXPECT_EQ(toInt16(h.cell("BOX", h.count("BOX") - 1, "RECEIVED_INV")), 3);
    EXPECT_EQ(toText(h.cell("SALES_INVO_GROUP", 0, "SALES_MAN")), "Hala");
    EXPECT_EQ(toText(h.cell("SALES_INVO_GROUP", 0, "NOTES")), ".");
    EXPECT_EQ(toDouble(h.cell("SALES_INVO_GROUP", 0, "TOTAL_SUM")), 150);
    EXPECT_EQ(h.cell("SALES_INVO_GROUP", 0, "STATUS_SUB"), Value(true));
    EXPECT_EQ(ints(h.column("G1", "ONSTOCK")), (std::vector<int32_t>{0, 20}));
    EXPECT_EQ(ints(h.column("DAILY_TRADE", "OUTPUT")), (std::vector<int32_t>{10, 0}));
    EXPECT_EQ(debtOf(h, "Hala"), 40);
    const auto& printed = h.lines("Form42");
    ASSERT_GE(printed.size(), 3u);
    EXPECT_EQ(printed[printed.size() - 3] + printed[printed.size() - 2], "");
    EXPECT_EQ(printed.back(), " the quantities were subtracted ");
    EXPECT_EQ(h.caption("Form1", "Label23", 2), "1150");

    // Credit; the previous customer's label is gone with the Add.
    h.choose("Form42", "DataCombo3", "G1");
    enterWholesale(h, "Form42", {{"nut", "30"}});
    EXPECT_EQ(h.caption("Form42", "Label17"), "");
    h.choose("Form42", "DataCombo2", "Hala");
    h.click("Form42", "Option2");
    save(1);
    EXPECT_EQ(h.messageTexts().front(), std::string("Hala") + " ألى حساب مديونية العميل " + "150" +
                                            " تم أضافة حساب الفاتورة  ");
    EXPECT_EQ(debtOf(h, "Hala"), 190);
    EXPECT_EQ(debtOf(h, "Sami"), 0);
    EXPECT_EQ(h.caption("Form42", "Command2"), "190");
    EXPECT_EQ(lastBox(h, "MONEY"), 1150);  // no cash box row
    EXPECT_EQ(h.count("BOX"), 3);
    // The customers window and the main window's total show the new debt.
    EXPECT_EQ(h.caption("Form1", "Label23", 0), "190");
    h.menu("Form1", "BUYER");
    EXPECT_EQ(h.text("Form6", "Text2"), "190");
}

TEST_F(WholesaleTest, PartPaymentsMoveThePaidPartAndAnOverpaymentLowersTheDebt) {
    enter("Sami", "Option3", {{"nut", "30"}});
    h.answerInput("100");
    save(2, answer::Yes);
    EXPECT_EQ(h.dialogs.shown().front().prompt, "أدخل المبلغ المراد دفعه الآن :");
    EXPECT_EQ(h.dialogs.shown().front().title, "أدخل المبلغ :");
    EXPECT_EQ(h.messageTexts()[0], std::string(" ألى الصندوق ") + "100" + "بقيمة " + "Sami" +
                                       " تم أضافة حساب فاتورة  ");
    EXPECT_EQ(h.messageTexts()[1], std::string("Sami") + " ألى حساب مديونية العميل " + "50" +
                                       " تم أضافة  باقى حساب الفاتورة الآجل  ");
    EXPECT_EQ(lastBox(h, "MONEY"), 1100);
    EXPECT_EQ(lastBox(h, "MONEY_RECIVED"), 100);
    EXPECT_EQ(debtOf(h, "Sami"), 50);

    h.choose("Form42", "DataCombo3", "G1");
    enter("Sami", nullptr, {{"nut", "30"}});  // part payment still chosen
    h.answerInput("200");
    save(2);
    EXPECT_EQ(lastBox(h, "MONEY"), 1300);
    EXPECT_EQ(debtOf(h, "Sami"), 0);
    EXPECT_EQ(h.messageTexts()[1], std::string("Sami") + " ألى حساب مديونية العميل " + "-50" +
                                       " تم أضافة  باقى حساب الفاتورة الآجل  ");
    EXPECT_EQ(ints(h.column("SALES_INVO_GROUP", "INVO_NO")), (std::vector<int32_t>{3, 4}));
    EXPECT_EQ(toInt16(h.cell("BOX", h.count("BOX") - 1, "RECEIVED_INV")), 4);
    EXPECT_EQ(h.caption("Form1", "Label23", 0), "40");
}

TEST_F(WholesaleTest, EveryRefusalChangesNothingAndPaysNothing) {
    enter("Hala", "Option1", {{"bolt", "1"}});
    save(1);  // invoice 3, posted
    h.menu("Form42", "EXITE");
    h.menu("Form1", "saleslarge");  // a fresh window: no payment type chosen
    h.choose("Form42", "DataCombo3", "G1");
    enterWholesale(h, "Form42", {{"nut", "2"}});
    const std::string before = wholesaleTables(h);

    auto refused = [&](const std::string& why, const std::string& message) {
        h.dialogs.clear();
        h.click("Form42", "cmdaction", 0);
        if (!message.empty()) {
            EXPECT_EQ(h.lastMessage(), message) << why;
        }
        EXPECT_LE(h.dialogs.messages().size(), 1u) << why;
        EXPECT_EQ(wholesaleTables(h), before) << why;
        EXPECT_EQ(h.caption("Form42", "cmdaction", 0), "&save") << why;
    };
    refused("no payment type", kNoPayment);
    h.click("Form42", "Option2");
    refused("credit, no customer", "يجب إختيار العميل من القائمة أولا");
    h.choose("Form42", "DataCombo2", "Hala");
    h.exec("UPDATE BUYER SET BUYER='Hala S' WHERE BUYER='Hala'");
    const std::string renamed = wholesaleTables(h);
    h.dialogs.clear();
    h.click("Form42", "cmdaction", 0);
    EXPECT_EQ(h.lastMessage(), "العميل Hala غير موجود فى جدول العملاء، إختر العميل من القائمة");
    EXPECT_EQ(wholesaleTables(h), renamed);
    h.exec("UPDATE BUYER SET BUYER='Hala' WHERE BUYER='Hala S'");

    h.click("Form42", "Option3");
    h.dialogs.cancelInput();
    refused("part, cancelled", "");
    EXPECT_TRUE(h.dialogs.messages().empty());
    for (const char* answer : {"abc", "-5"}) {
        h.answerInput(answer);
        refused(answer, "المبلغ المدفوع يجب أن يكون رقما لا يقل عن صفر");
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
    EXPECT_EQ(toDouble(h.cell("G1", 0, "UNITE_PRICE")), 26);
    EXPECT_EQ(toInt32(h.cell("G1", 0, "ONSTOCK")), 7);
    EXPECT_EQ(h.text("Form1", "Text3", 0) + "/" + h.text("Form1", "Text7"), "7/26");
    h.click("Form6", "cmdaction", 2);
    EXPECT_EQ(debtOf(h, "Hala"), 85);
    EXPECT_EQ(toText(h.cell("BUYER", 0, "PHONE")), "555");
    EXPECT_EQ(h.text("Form6", "Text2"), "85");
}

// The buyer the invoice stores is the one charged: a typed name counts only
// when listed, and then acts as its pick; add leaves the buyer empty.
TEST_F(WholesaleTest, TheStoredBuyerIsTheChargedOneAndATypedNameMustBeListed) {
    enter("Sami", "Option2", {{"nut", "2"}});
    h.app.enterText(h.form("Form42").dataCombo("DataCombo2"), "Hal");
    const std::string before = wholesaleTables(h);
    save(0);
    EXPECT_EQ(h.lastMessage(), "العميل Hal غير موجود فى جدول العملاء، إختر العميل من القائمة");
    EXPECT_EQ(wholesaleTables(h), before);
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
    EXPECT_EQ(h.messageTexts().front(), std::string(" ألى الصندوق ") + "5" + "بقيمة " +
                                            " تم أضافة حساب فاتورة  ");
}

// A customer, a group or an item added in another window while this one is open is
// in its choosers at once, and sells.
TEST_F(WholesaleTest, ACustomerAGroupAndAnItemAddedElsewhereCanBePickedAtOnce) {
    Form& f = h.form("Form42");
    auto listed = [](const DataCombo& chooser, const std::string& name) {
        const std::vector<std::string> list = chooser.list();
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    ASSERT_FALSE(listed(f.dataCombo("DataCombo2"), "Omar"));
    ASSERT_FALSE(listed(f.dataCombo("DataCombo1", 0), "washer"));
    ASSERT_FALSE(listed(f.dataCombo("DataCombo3"), "G2"));
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
    EXPECT_TRUE(listed(f.dataCombo("DataCombo3"), "G2"));
    EXPECT_TRUE(listed(f.dataCombo("DataCombo2"), "Omar"));
    EXPECT_TRUE(listed(f.dataCombo("DataCombo1", 0), "washer"));
    enter("Omar", "Option2", {{"washer", "2"}});
    save(1);
    EXPECT_EQ(debtOf(h, "Omar"), 6);
}

TEST_F(WholesaleTest, AWriteFailingHalfWayLeavesEveryTableAndTheWindowAsBefore) {
    enter("Hala", "Option3", {{"bolt", "2"}, {"nut", "1"}});
    const std::string before = wholesaleTables(h);
    for (const char* trigger :
         {"CREATE TRIGGER stop BEFORE UPDATE ON BUYER BEGIN SELECT RAISE(ABORT,'x'); END",
          "CREATE TRIGGER stop BEFORE UPDATE ON DAILY_TRADE BEGIN SELECT RAISE(ABORT,'x'); END",
          "CREATE TRIGGER stop BEFORE UPDATE OF STATUS_SUB ON SALES_INVO_GROUP "
          "BEGIN SELECT RAISE(ABORT,'x'); END"}) {
        h.exec(trigger);
        h.dialogs.clear();
        h.answerInput("10");
        h.click("Form42", "cmdaction", 0);
        EXPECT_EQ(h.dialogs.messages().size(), 1u) << trigger;  // the error alone
        EXPECT_EQ(wholesaleTables(h), before) << trigger;
        EXPECT_EQ(h.caption("Form42", "cmdaction", 0), "&save");
        EXPECT_EQ(h.caption("Form42", "Label4"), "2");
        EXPECT_EQ(h.caption("Form42", "Label17"), "Hala");
        EXPECT_EQ(h.caption("Form42", "Command2"), "");
        EXPECT_EQ(h.text("Form42", "DataCombo1", 1), "nut");
        EXPECT_EQ(h.caption("Form1", "Label23", 2), "1000");
        h.exec("DROP TRIGGER stop");
    }
    h.answerInput("10");
    save(2);
    EXPECT_EQ(h.count("SALES_INVO_GROUP"), 1);
    EXPECT_EQ(lastBox(h, "MONEY"), 1010);
    EXPECT_EQ(debtOf(h, "Hala"), 65);
    EXPECT_EQ(ints(h.column("G1", "ONSTOCK")), (std::vector<int32_t>{8, 19}));

    // An issue voucher on credit, then its collection button (hidden in the
    // design; shown here to press it), with the customer's row failing.
    h.menu("Form1", "sellgroup");
    h.choose("Form53", "DataCombo3", "G1");
    enterWholesale(h, "Form53", {{"nut", "2"}});
    h.choose("Form53", "DataCombo2", "Hala");
    h.click("Form53", "Option2");
    CommandButton& collect = h.form("Form53").button("Command2");
    collect.visible = collect.enabled = true;
    const std::string voucher = wholesaleTables(h);
    h.exec("CREATE TRIGGER stop BEFORE UPDATE ON BUYER BEGIN SELECT RAISE(ABORT,'x'); END");
    for (const char* button : {"cmdaction", "Command2"}) {
        h.dialogs.clear();
        h.click("Form53", button, std::string(button) == "cmdaction" ? 0 : -1);
        EXPECT_EQ(h.dialogs.messages().size(), 1u) << button;  // the error alone
        EXPECT_EQ(wholesaleTables(h), voucher) << button;
        EXPECT_EQ(h.caption("Form53", "cmdaction", 0) + h.caption("Form53", "Command2"), "&save");
    }
}

TEST_F(WholesaleTest, ADebtEditedInTheCustomersWindowAfterOpeningSurvivesACredit) {
    h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Hala', 5)");  // a name stored twice
    h.menu("Form1", "BUYER");
    h.app.navigate(h.form("Form6").adodc("Adodc1"), Nav::First);
    h.click("Form6", "cmdaction", 2);
    h.type("Form6", "Text2", "70");
    h.click("Form6", "cmdaction", 2);
    ASSERT_EQ(debtOf(h, "Hala"), 70);
    enter("Hala", "Option2", {{"bolt", "1"}, {"nut", "1"}});
    save(1);
    EXPECT_EQ(debtOf(h, "Hala"), 90);
    EXPECT_EQ(toDouble(h.cell("BUYER", 2, "MONEY")), 5);  // the first row alone
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
    EXPECT_EQ(toText(h.cell("SALES_INVO_GROUP", 0, "MED_NAME1")), "bolt");

    // Edit opens the notes of a posted invoice, and nothing it posted.
    h.menu("Form1", "saleslarge");
    h.click("Form42", "cmdaction", 2);
    EXPECT_FALSE(h.type("Form42", "Text3", "9", 0));
    EXPECT_FALSE(h.choose("Form42", "DataCombo2", "Sami"));
    EXPECT_FALSE(h.click("Form42", "Option2"));
    EXPECT_TRUE(h.type("Form42", "Text11", "by cheque"));
    h.click("Form42", "cmdaction", 2);
    EXPECT_EQ(toText(h.cell("SALES_INVO_GROUP", 0, "NOTES")), "by cheque");
    EXPECT_EQ(toDouble(h.cell("SALES_INVO_GROUP", 0, "QNTITY1")), 1);
    h.menu("Form42", "EXITE");

    h.menu("Form1", "saleslarge");
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
    enterWholesale(h, "Form53", {{"nut", "2"}});
    EXPECT_EQ(h.text("Form53", "Text1", 0), "3");  // invoice 3 exists too
    h.choose("Form53", "DataCombo2", "Sami");
    EXPECT_FALSE(v.dataCombo("DataCombo2").enabled);
    h.click("Form53", "Option1");
    h.answer(answer::OK);
    h.answer(answer::Yes);
    h.click("Form53", "cmdaction", 0);
    EXPECT_EQ(toInt16(h.cell("COAST_INVO_GROUP", 0, "INVO_NO")), 3);
    EXPECT_EQ(toInt16(h.cell("BOX", h.count("BOX") - 1, "RECEIVED_INV")), 3);
    EXPECT_EQ(lastBox(h, "MONEY_RECIVED"), 10);
    EXPECT_TRUE(h.cell("COAST_INVO_GROUP", 0, "NOTES").isNull());

    // The chooser stays disabled through add, cancel and save; a later
    // credit voucher stores the customer chosen before, and charges it.
    h.choose("Form53", "DataCombo3", "G1");
    h.click("Form53", "cmdaction", 0);
    h.answer(answer::Yes);
    h.click("Form53", "cmdaction", 1);
    EXPECT_FALSE(v.dataCombo("DataCombo2").enabled);
    enterWholesale(h, "Form53", {{"nut", "4"}});
    EXPECT_FALSE(h.choose("Form53", "DataCombo2", "Hala"));
    EXPECT_EQ(h.text("Form53", "DataCombo2") + h.caption("Form53", "Label17"), "SamiSami");
    h.click("Form53", "Option2");
    h.answer(answer::OK);
    h.answer(answer::No);
    h.click("Form53", "cmdaction", 0);
    EXPECT_EQ(toText(h.cell("COAST_INVO_GROUP", 1, "SALES_MAN")), "Sami");
    EXPECT_EQ(debtOf(h, "Sami"), 20);
    EXPECT_EQ(ints(h.column("G1", "ONSTOCK")), (std::vector<int32_t>{9, 14}));
    EXPECT_EQ(ints(h.column("DAILY_TRADE", "OUTPUT")), (std::vector<int32_t>{1, 6}));
    EXPECT_EQ(h.count("SALES_INVO_GROUP"), 1);

    h.menu("Form53", "REPORT");
    ASSERT_NE(h.app.report("DataReport13"), nullptr);
    EXPECT_EQ(h.app.report("DataReport13")->rows.size(), 2u);
    h.menu("Form53", "EXITE");
    h.menu("Form1", "sellgroup");
    EXPECT_TRUE(h.form("Form53").dataCombo("DataCombo2").enabled);
}

}  // namespace
}  // namespace mk
