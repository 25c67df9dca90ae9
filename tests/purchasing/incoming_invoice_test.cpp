// The incoming invoice window: stock raised at the weighted buy price, the
// supplier charged or paid, every refusal before any write, the payment
// that is never shown, and the search and views that find an invoice.
#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

struct IncomingTest : ::testing::Test {
    IncomingTest() { openIncoming(h, "('bolt', 10, 12, 5), ('nut', 0, 3, 9), ('pin', -5, 1, 4)"); }
    void refused(const std::string& why, const std::string& message) {
        expectRefused(h, "Form17", [&] { return incomingTables(h); }, why, message);
        EXPECT_EQ(h.caption("Form17", "Label4"), "3") << why;
    }
    Harness h;
};

TEST_F(IncomingTest, ACreditInvoiceRaisesTheSupplierAndTheStockAtTheWeightedBuyPrice) {
    EXPECT_EQ(h.form("Form17").caption, " فواتير واردات   مخزن و حسابات ACME");
    // No price on the current line: no next line.
    h.click("Form17", "cmdaction", 0);
    h.click("Form17", "Command1");
    EXPECT_FALSE(h.form("Form17").control("Text3", 1).visible);
    cancel(h, "Form17");
    EXPECT_EQ(h.caption("Form17", "Label4"), "2");
    enterInvoice(h, "Acme", "Option2", {{"bolt", "30", "7"}, {"nut", "4", "2"}, {"pin", "5", "3"}});
    EXPECT_EQ(h.text("Form17", "Text1", 0) + " " + h.text("Form17", "Text9", 0), "3 1/1/2007");
    h.dialogs.clear();
    saveIncoming(h);

    EXPECT_EQ(row(h, "BUY_INVOICE", 0, {"INVO_NO", "SALES_MAN", "STATUS_SUB", "SUM1", "TOTAL_SUM",
                                        "EXPIRY_ DATES1"}),
              "3|Acme|True|210|233|01/01/2007");
    // 10 @ 5 and 30 @ 7 give 6.5; stock 0 and -5 take the line's price.
    EXPECT_EQ(col(h, "G1", "BUY_PRICE"), "6.5|2|3");
    EXPECT_EQ(col(h, "G1", "ONSTOCK") + " " + col(h, "DAILY_TRADE", "INPUT"), "40|4|0 30|4|5");
    EXPECT_EQ(col(h, "SUPPLIER", "MONEY"), "333|0");
    EXPECT_EQ(h.count("BOX"), 1);
    EXPECT_EQ(h.messageTexts(), (std::vector<std::string>{
                                    "Acme ألى حساب المورد  233 تم أضافة حساب الفاتورة  ",
                                    "هل تريد إدخال فاتورة أخرى "}));
    EXPECT_EQ(h.lines("Form17").back(), " the process was completed ");
    EXPECT_EQ(h.caption("Form17", "Label4"), "3");
    for (const char* flag : {"Check2", "Check4"}) EXPECT_TRUE(h.form("Form17").checkBox(flag).enabled);
    h.menu("Form17", "CLOSE");
    EXPECT_FALSE(h.app.isLoaded("Form17"));
}

TEST_F(IncomingTest, CashAndPartPaymentsMoveTheCashBoxAndTheSupplier) {
    enterInvoice(h, "Beta", "Option1", {{"bolt", "100", "10"}});
    h.dialogs.clear();
    saveIncoming(h);
    EXPECT_EQ(row(h, "BOX", 1, {"MONEY", "MONEY_OUT", "IN_INVOICE", "DATE"}),
              "-1000|1000|3|06/12/2026");  // a negative balance is kept
    EXPECT_EQ(h.messageTexts().front(), cashSaid(1000, "Beta"));
    EXPECT_EQ(col(h, "SUPPLIER", "MONEY"), "100|0");

    // Part: 300 of 1000 now, the rest on the supplier's account.
    enterInvoice(h, "Acme", "Option3", {{"bolt", "100", "10"}});
    h.dialogs.clear();
    h.answerInput("300");
    saveIncoming(h);
    EXPECT_EQ(h.dialogs.shown().front().prompt + h.dialogs.shown().front().title,
              "أدخل المبلغ المراد دفعه الآن :أدخل المبلغ :");
    EXPECT_EQ(row(h, "BOX", 2, {"MONEY", "MONEY_OUT", "IN_INVOICE"}), "-1300|300|4");
    EXPECT_EQ(h.messageTexts()[0], cashSaid(300, "Acme"));
    EXPECT_EQ(h.messageTexts()[1], "Acme ألى حساب مديونية العميل 700 تم أضافة  باقى حساب الفاتورة  ");
    EXPECT_EQ(col(h, "SUPPLIER", "MONEY"), "800|0");

    // 1200 paid on 1000 leaves the supplier at -200; the option carries over.
    enterInvoice(h, "Beta", nullptr, {{"bolt", "100", "10"}});
    EXPECT_TRUE(h.form("Form17").option("Option3").value);
    h.answerInput("1200");
    saveIncoming(h);
    EXPECT_EQ(col(h, "SUPPLIER", "MONEY"), "800|-200");
    EXPECT_EQ(lastBox(h, "MONEY"), -2500);
    EXPECT_EQ(ints(h.column("G1", "ONSTOCK"))[0], 310);
}

TEST_F(IncomingTest, EachInvoiceChargesItsOwnSupplierWhateverAnotherWindowWrote) {
    enterInvoice(h, "Acme", "Option2", {{"bolt", "1", "50"}});
    saveIncoming(h, 1, answer::Yes);
    EXPECT_FALSE(h.form("Form17").checkBox("Check2").enabled);
    // Another window changes the balances meanwhile.
    h.exec("UPDATE SUPPLIER SET MONEY=MONEY+1000");
    h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Beta', 7)");
    h.click("Form17", "cmdaction", 0);
    EXPECT_EQ(h.text("Form17", "DataCombo2") + " " + h.caption("Form17", "Label9"), ". 0");
    EXPECT_TRUE(h.form("Form17").dataCombo("DataCombo2").enabled);
    h.choose("Form17", "DataCombo2", "Beta");
    h.choose("Form17", "DataCombo3", "G1");
    h.choose("Form17", "DataCombo1", "nut", 0);
    h.type("Form17", "Text3", "2", 0);
    h.type("Form17", "Text4", "20", 0);
    EXPECT_FALSE(h.form("Form17").dataCombo("DataCombo2").enabled);  // chosen once
    saveIncoming(h);
    EXPECT_EQ(col(h, "SUPPLIER", "MONEY"), "1150|1040|7");  // the first Beta only
    EXPECT_EQ(col(h, "BUY_INVOICE", "SALES_MAN") + " " + col(h, "BUY_INVOICE", "TOTAL_SUM"),
              "Acme|Beta 50|40");
}

TEST_F(IncomingTest, EveryRefusalComesBeforeAnyWriteAndSaysWhy) {
    enterInvoice(h, "Acme", "Option1", {{"bolt", "3", "5"}});
    saveIncoming(h);  // invoice 3, posted
    enterInvoice(h, "Ghost", nullptr, {{"bolt", "2", "5"}});
    // A second press on a posted number pays nothing.
    h.type("Form17", "Text1", "3", 0);
    refused("posted", "لقد تم إضافة هذه الفاتورة سابقا.");
    EXPECT_EQ(h.lastTitle(), "ملحوظة");
    h.type("Form17", "Text1", "4", 0);
    const std::string ghost = "المورد Ghost غير موجود فى جدول الموردين، إختر المورد من القائمة";
    // A typed name counts only when listed, whatever the payment.
    for (const char* option : {"Option2", "Option3", "Option1"}) {
        h.click("Form17", option);
        refused(option, ghost);
    }
    h.form("Form17").option("Option1").value = false;
    refused("no payment type", " لم تقم بأختيار نوعية السداد ارجع و وقم بالإختيار ");
    h.click("Form17", "Option1");
    for (auto [box, bad, message] :
         {std::tuple{"Text3", "2.5", "الكمية فى السطر 1 يجب أن تكون عددا صحيحا من 0 إلى 32767"},
          {"Text4", "-1", "السعر فى السطر 1 يجب أن يكون رقما لا يقل عن صفر"},
          {"Text9", "31/31/2020", "تاريخ الصلاحية فى السطر 1 غير صحيح"},
          {"DataCombo1", "washer", "الصنف فى السطر 1 ليس فى مجموعة الأصناف المختارة"},
          {"DataCombo1", ".", "السطر 1 له كمية بدون صنف، أختر الصنف أو أجعل الكمية صفرا"}}) {
        const std::string good = h.text("Form17", box, 0);
        h.type("Form17", box, bad, 0);
        refused(bad, message);
        h.type("Form17", box, good, 0);
    }

    // Part payments: Cancel ends quietly; text or a negative amount is refused.
    // The refused supplier is put right in its chooser.
    h.click("Form17", "Option3");
    EXPECT_TRUE(h.choose("Form17", "DataCombo2", "Acme"));
    h.dialogs.cancelInput();
    const std::string before = incomingTables(h);
    h.dialogs.clear();
    h.click("Form17", "cmdaction", 0);
    EXPECT_TRUE(h.dialogs.messages().empty());
    EXPECT_EQ(incomingTables(h), before);
    for (const char* amount : {"x", "-5"}) {
        h.answerInput(amount);
        refused(amount, "المبلغ المدفوع يجب أن يكون رقما لا يقل عن صفر");
    }
    h.answerInput("4");
    saveIncoming(h);
    EXPECT_EQ(h.count("BUY_INVOICE"), 2);
    EXPECT_EQ(toInt32(h.cell("G1", 0, "ONSTOCK")), 15);
    EXPECT_EQ(toDouble(h.cell("SUPPLIER", 0, "MONEY")), 106);
}

// The later payment button is hidden in the design; run anyway it pays an
// unposted invoice once and never one whose payment its save posted.
TEST_F(IncomingTest, TheLaterPaymentIsNeverShownAndNeverPaysTwice) {
    Form& f = h.form("Form17");
    CommandButton& pay = f.button("Command2");
    enterInvoice(h, "Acme", "Option2", {{"bolt", "1", "50"}});
    EXPECT_FALSE(pay.isShowing());
    saveIncoming(h, 1, answer::Yes);
    EXPECT_FALSE(pay.isShowing());
    const std::string before = incomingTables(h);
    h.app.raise(f, pay.onClick);
    EXPECT_EQ(h.lastMessage(), "تم سداد هذه الفاتورة عند حفظها، لا يمكن سدادها مرة أخرى");
    EXPECT_EQ(incomingTables(h), before);
    // An unposted row (one the purchase invoice window stored) with no
    // payment type: nothing paid, the flag stays clear.
    h.exec("INSERT INTO BUY_INVOICE (INVO_NO, STATUS_SUB, QNTITY1, \"EXPIRY_ DATE1\") "
           "VALUES (9, 0, 2, 10)");
    f.adodc("Adodc2").Refresh();
    f.adodc("Adodc2").recordset().moveLast();
    f.option("Option2").value = false;
    h.app.raise(f, pay.onClick);
    EXPECT_EQ(h.lastMessage(), " لم تقم بأختيار نوعية السداد ارجع و وقم بالإختيار ");
    EXPECT_FALSE(f.checkBox("Check2").enabled);
    EXPECT_EQ(h.count("BOX"), 1);
    // With a type it pays once, by OUT_INV; a second run is refused.
    f.option("Option1").value = true;
    h.app.raise(f, pay.onClick);
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY_OUT", "OUT_INV"}), "20|9");
    h.app.raise(f, pay.onClick);
    EXPECT_EQ(h.lastMessage(), "لقد قمت بالسداد سابق");
    EXPECT_EQ(h.count("BOX"), 2);
}

TEST_F(IncomingTest, GroupsMadeByBothGroupsWindowsTakeInvoicesAndKeepTheirDotRows) {
    h.menu("Form1", "store_functions");
    for (const char* window : {"Form49", "Form56"}) {
        h.menu("Form1", std::string(window) == "Form49" ? "RENAME_MAIN" : "new");
        h.click(window, "cmdaction", 0);
        h.type(window, "Text1", std::string("g_") + window);
        h.click(window, "cmdaction", 0);
        h.exec(std::string("INSERT INTO g_") + window + " (\"DESC\", ONSTOCK) VALUES ('cap', 2)");
    }
    h.menu("Form17", "CLOSE");
    h.menu("Form1", "supply_inv");
    for (const char* group : {"g_Form49", "g_Form56"}) {
        h.click("Form17", "cmdaction", 0);
        h.choose("Form17", "DataCombo2", "Acme");
        h.choose("Form17", "DataCombo3", group);
        h.click("Form17", "Option1");
        h.choose("Form17", "DataCombo1", "cap", 0);
        h.type("Form17", "Text3", "3", 0);
        // The stock shown is the picked item's, not the "." row's.
        EXPECT_EQ(h.text("Form17", "Text10"), "2") << group;
        h.type("Form17", "Text4", "4", 0);
        saveIncoming(h, 1, answer::Yes);
        EXPECT_EQ(h.lines("Form17").back(), " the process was completed ") << group;
        EXPECT_EQ(row(h, group, -1, {"ONSTOCK", "BUY_PRICE"}), "5|2.4") << group;  // 3 @ 4 on 2 @ 0
        const auto names = h.column(group, "DESC"), stock = h.column(group, "ONSTOCK");
        for (size_t i = 0; i + 1 < names.size(); ++i)  // the "." rows keep nothing
            EXPECT_TRUE(names[i] != Value(".") || toInt32(stock[i]) == 0) << group << i;
    }
}

// The search login itself is tested with the other invoice windows'.
TEST_F(IncomingTest, AnInvoiceFoundAgainIsListedByTheViewsAndAddAfterItSaves) {
    enterInvoice(h, "Acme", "Option2", {{"bolt", "30", "7"}});
    saveIncoming(h, 1, answer::Yes);
    enterInvoice(h, "Beta", "Option1", {{"nut", "2", "1"}});
    saveIncoming(h);
    addUser(h, "sam", "pw", {"buy_inv"});
    h.menu("Form17", "CLOSE");
    h.menu("Form1", "supply_inv");  // no payment type chosen yet
    h.menu("Form17", "Search_invo");
    h.answerInput("3");
    login(h, "Form15", "sam", "pw");
    Form& f = h.form("Form17");
    EXPECT_EQ(h.text("Form17", "Text1", 0) + h.text("Form17", "DataCombo2"), "3Acme");
    EXPECT_FALSE(f.frame("Frame1").visible);
    for (const char* flag : {"Check2", "Check3", "Check4"}) EXPECT_TRUE(f.checkBox(flag).enabled);
    h.menu("Form17", "inv_buy_report");
    ASSERT_NE(h.app.report("DataReport4"), nullptr);
    EXPECT_EQ(h.app.report("DataReport4")->rows.size(), 2u);

    // The item movement view of the main window shows the purchase.
    h.menu("Form1", "store_functions");
    h.choose("Form1", "DataCombo3", "G1");
    h.click("Form1", "Command7");
    ASSERT_NE(h.app.report("DataReport14"), nullptr);
    EXPECT_EQ(h.app.report("DataReport14")->rows,
              (std::vector<std::vector<std::string>>{{"3", "Acme", "06/12/2026", "30"}}));

    // Add brings back the payment frame and the line stepping: it saves.
    enterInvoice(h, "Acme", "Option1", {{"pin", "1", "4"}, {"pin", "1", "4"}});
    EXPECT_TRUE(f.frame("Frame1").visible);
    saveIncoming(h);
    EXPECT_EQ(h.count("BUY_INVOICE"), 3);
    EXPECT_EQ(lastBox(h, "MONEY_OUT"), 8);
}

}  // namespace
}  // namespace mk
