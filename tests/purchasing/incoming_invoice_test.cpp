#include <gtest/gtest.h>

#include "access/access_steps.h"
#include "purchasing/incoming_steps.h"

namespace mk {
namespace {

using namespace test;

const std::string kCashMessage = " ألى الصندوق ";

std::string cashMessage(const std::string& amount, const std::string& supplier) {
    return kCashMessage + amount + "بقيمة " + supplier + " تم أضافة حساب فاتورة  ";
}

struct IncomingTest : ::testing::Test {
    IncomingTest() { openIncoming(h, "('bolt', 10, 12, 5), ('nut', 0, 3, 9), ('pin', -5, 1, 4)"); }
    Harness h;
};

TEST_F(IncomingTest, ACreditInvoiceRaisesTheSupplierAndTheStockAtTheWeightedBuyPrice) {
    EXPECT_EQ(h.caption("Form17", "Label4"), "2");
    EXPECT_EQ(h.form("Form17").caption, " فواتير واردات   مخزن و حسابات ACME");
    EXPECT_TRUE(h.form("Form17").control("cmdaction", 1).enabled);
    // No price on the current line: no next line.
    h.click("Form17", "cmdaction", 0);
    h.click("Form17", "Command1");
    EXPECT_FALSE(h.form("Form17").control("Text3", 1).visible);
    h.answer(answer::Yes);
    h.click("Form17", "cmdaction", 1);
    EXPECT_EQ(h.caption("Form17", "Label4"), "2");
    enterInvoice(h, "Acme", "Option2", {{"bolt", "30", "7"}, {"nut", "4", "2"}, {"pin", "5", "3"}});
    EXPECT_EQ(h.text("Form17", "Text1", 0), "3");
    EXPECT_EQ(h.text("Form17", "Text9", 0), "1/1/2007");
    EXPECT_FALSE(h.form("Form17").adodc("Adodc2").enabled);  // no browsing off the new row
    h.dialogs.clear();
    saveIncoming(h);

    ASSERT_EQ(h.count("BUY_INVOICE"), 1);
    EXPECT_EQ(toInt16(h.cell("BUY_INVOICE", 0, "INVO_NO")), 3);
    EXPECT_EQ(h.cell("BUY_INVOICE", 0, "SALES_MAN"), Value("Acme"));
    EXPECT_EQ(h.cell("BUY_INVOICE", 0, "STATUS_SUB"), Value(true));
    EXPECT_EQ(toDouble(h.cell("BUY_INVOICE", 0, "SUM1")), 210);
    EXPECT_EQ(toDouble(h.cell("BUY_INVOICE", 0, "TOTAL_SUM")), 233);
    EXPECT_EQ(formatShortDate(toDate(h.cell("BUY_INVOICE", 0, "EXPIRY_ DATES1"))), "01/01/2007");
    // 10 @ 5 and 30 @ 7 give 6.5; stock 0 and -5 take the line's price.
    EXPECT_EQ(h.column("G1", "BUY_PRICE"), (std::vector<Value>{Value(6.5), Value(2.0), Value(3.0)}));
    EXPECT_EQ(ints(h.column("G1", "ONSTOCK")), (std::vector<int32_t>{40, 4, 0}));
    EXPECT_EQ(ints(h.column("DAILY_TRADE", "INPUT")), (std::vector<int32_t>{30, 4, 5}));
    EXPECT_EQ(toDouble(h.cell("SUPPLIER", 0, "MONEY")), 333);
    EXPECT_EQ(toDouble(h.cell("SUPPLIER", 1, "MONEY")), 0);
    EXPECT_EQ(h.count("BOX"), 1);
    EXPECT_EQ(h.caption("Form1", "Label23", 1), "333");  // the main window's credits total
    ASSERT_EQ(h.messageTexts().size(), 2u);
    EXPECT_EQ(h.messageTexts()[0],
              std::string("Acme") + " ألى حساب المورد  " + "233" + " تم أضافة حساب الفاتورة  ");
    EXPECT_EQ(h.dialogs.messages().back().prompt, "هل تريد إدخال فاتورة أخرى ");
    EXPECT_EQ(h.lines("Form17").back(), " the process was completed ");
    EXPECT_EQ(h.caption("Form17", "Label4"), "3");
    EXPECT_TRUE(h.form("Form17").checkBox("Check2").enabled);
    EXPECT_TRUE(h.form("Form17").checkBox("Check4").enabled);
    h.menu("Form17", "CLOSE");
    EXPECT_FALSE(h.app.isLoaded("Form17"));
}

TEST_F(IncomingTest, CashAndPartPaymentsMoveTheCashBoxAndTheSupplier) {
    const double start = lastBox(h, "MONEY");
    enterInvoice(h, "Beta", "Option1", {{"bolt", "100", "10"}});
    h.dialogs.clear();
    saveIncoming(h);
    ASSERT_EQ(h.count("BOX"), 2);
    EXPECT_EQ(lastBox(h, "MONEY"), start - 1000);  // a negative balance is kept
    EXPECT_EQ(lastBox(h, "MONEY_OUT"), 1000);
    EXPECT_EQ(toInt16(h.cell("BOX", 1, "IN_INVOICE")), 3);
    EXPECT_EQ(formatShortDate(toDate(h.cell("BOX", 1, "DATE"))), "06/12/2026");
    EXPECT_EQ(h.messageTexts().front(), cashMessage("1000", "Beta"));
    EXPECT_EQ(toDouble(h.cell("SUPPLIER", 0, "MONEY")), 100);

    // Part: 300 of 1000 now, the rest on the supplier's account.
    h.click("Form17", "cmdaction", 0);
    h.choose("Form17", "DataCombo2", "Acme");
    h.click("Form17", "Option3");
    h.choose("Form17", "DataCombo1", "bolt", 0);
    h.type("Form17", "Text3", "100", 0);
    h.type("Form17", "Text4", "10", 0);
    h.dialogs.clear();
    h.answerInput("300");
    saveIncoming(h);
    EXPECT_EQ(h.dialogs.shown().front().prompt, "أدخل المبلغ المراد دفعه الآن :");
    EXPECT_EQ(h.dialogs.shown().front().title, "أدخل المبلغ :");
    EXPECT_EQ(lastBox(h, "MONEY_OUT"), 300);
    EXPECT_EQ(lastBox(h, "MONEY"), start - 1300);
    EXPECT_EQ(toInt16(h.cell("BOX", 2, "IN_INVOICE")), 4);
    EXPECT_EQ(toDouble(h.cell("SUPPLIER", 0, "MONEY")), 800);
    ASSERT_EQ(h.messageTexts().size(), 3u);
    EXPECT_EQ(h.messageTexts()[0], cashMessage("300", "Acme"));
    EXPECT_EQ(h.messageTexts()[1], std::string("Acme") + " ألى حساب مديونية العميل " + "700" +
                                       " تم أضافة  باقى حساب الفاتورة  ");

    // 1200 paid on 1000 leaves the supplier at -200.
    h.click("Form17", "cmdaction", 0);
    h.choose("Form17", "DataCombo2", "Beta");
    h.choose("Form17", "DataCombo1", "bolt", 0);
    h.type("Form17", "Text3", "100", 0);
    h.type("Form17", "Text4", "10", 0);
    EXPECT_TRUE(h.form("Form17").option("Option3").value);  // the option carries over
    h.answerInput("1200");
    saveIncoming(h);
    EXPECT_EQ(toDouble(h.cell("SUPPLIER", 1, "MONEY")), -200);
    EXPECT_EQ(lastBox(h, "MONEY"), start - 2500);
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
    EXPECT_EQ(h.text("Form17", "DataCombo2"), ".");
    EXPECT_TRUE(h.form("Form17").dataCombo("DataCombo2").enabled);
    EXPECT_EQ(h.caption("Form17", "Label9"), "0");
    EXPECT_EQ(toDouble(h.cell("BUY_INVOICE", 0, "TOTAL_SUM")), 50);  // the saved one untouched
    h.choose("Form17", "DataCombo2", "Beta");
    h.choose("Form17", "DataCombo3", "G1");
    h.choose("Form17", "DataCombo1", "nut", 0);
    h.type("Form17", "Text3", "2", 0);
    h.type("Form17", "Text4", "20", 0);
    EXPECT_FALSE(h.form("Form17").dataCombo("DataCombo2").enabled);  // chosen once
    saveIncoming(h);
    EXPECT_EQ(h.column("SUPPLIER", "MONEY"),
              (std::vector<Value>{Value(1150.0), Value(1040.0), Value(7.0)}));  // first Beta only
    EXPECT_EQ(h.cell("BUY_INVOICE", 1, "SALES_MAN"), Value("Beta"));
}

TEST_F(IncomingTest, EveryRefusalComesBeforeAnyWriteAndSaysWhy) {
    enterInvoice(h, "Acme", "Option1", {{"bolt", "3", "5"}});
    saveIncoming(h);  // invoice 3, posted
    h.click("Form17", "cmdaction", 0);
    h.choose("Form17", "DataCombo2", "Ghost");
    h.choose("Form17", "DataCombo1", "bolt", 0);
    h.type("Form17", "Text3", "2", 0);
    h.type("Form17", "Text4", "5", 0);
    const std::string before = incomingTables(h);
    auto refused = [&](const std::string& why, const std::string& message) {
        h.dialogs.clear();
        h.click("Form17", "cmdaction", 0);
        ASSERT_FALSE(h.dialogs.shown().empty()) << why;
        EXPECT_EQ(h.dialogs.shown().back().prompt, message) << why;
        EXPECT_EQ(incomingTables(h), before) << why;
        EXPECT_EQ(h.caption("Form17", "cmdaction", 0), "&save") << why;
        EXPECT_EQ(h.caption("Form17", "Label4"), "3") << why;
    };
    // A second press on a posted number pays nothing.
    h.type("Form17", "Text1", "3", 0);
    refused("posted", "لقد تم إضافة هذه الفاتورة سابقا.");
    EXPECT_EQ(h.lastTitle(), "ملحوظة");
    h.type("Form17", "Text1", "4", 0);
    h.click("Form17", "Option2");
    const std::string ghost = "المورد Ghost غير موجود فى جدول الموردين، إختر المورد من القائمة";
    refused("unknown supplier", ghost);
    h.click("Form17", "Option3");
    refused("unknown supplier, part", ghost);
    h.form("Form17").option("Option3").value = false;
    refused("no payment type", " لم تقم بأختيار نوعية السداد ارجع و وقم بالإختيار ");
    h.click("Form17", "Option1");
    refused("unknown supplier, cash", ghost);  // a typed name counts only when listed
    h.type("Form17", "Text3", "2.5", 0);
    refused("quantity", "الكمية فى السطر 1 يجب أن تكون عددا صحيحا من 0 إلى 32767");
    h.type("Form17", "Text3", "2", 0);
    h.type("Form17", "Text4", "-1", 0);
    refused("price", "السعر فى السطر 1 يجب أن يكون رقما لا يقل عن صفر");
    h.type("Form17", "Text4", "5", 0);
    h.type("Form17", "Text9", "31/31/2020", 0);
    refused("date", "تاريخ الصلاحية فى السطر 1 غير صحيح");
    h.type("Form17", "Text9", "1/1/2030", 0);
    h.type("Form17", "DataCombo1", "washer", 0);
    refused("not in the group", "الصنف فى السطر 1 ليس فى مجموعة الأصناف المختارة");
    h.type("Form17", "DataCombo1", ".", 0);
    refused("no item", "السطر 1 له كمية بدون صنف، أختر الصنف أو أجعل الكمية صفرا");
    h.type("Form17", "DataCombo1", "bolt", 0);

    // Part payments: Cancel ends quietly; text or a negative amount is refused.
    // The refused supplier is put right in its chooser.
    h.click("Form17", "Option3");
    EXPECT_TRUE(h.choose("Form17", "DataCombo2", "Acme"));
    h.dialogs.cancelInput();
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

TEST_F(IncomingTest, AWriteFailingHalfWayLeavesTheTablesAndTheWindowAsBefore) {
    enterInvoice(h, "Acme", "Option3", {{"bolt", "30", "7"}, {"nut", "4", "2"}});
    const std::string before = incomingTables(h);
    for (const char* trigger :
         {"CREATE TRIGGER stop BEFORE UPDATE ON DAILY_TRADE BEGIN SELECT RAISE(ABORT,'x'); END",
          "CREATE TRIGGER stop BEFORE UPDATE ON G1 BEGIN SELECT RAISE(ABORT,'x'); END",
          "CREATE TRIGGER stop BEFORE INSERT ON BOX BEGIN SELECT RAISE(ABORT,'x'); END",
          "CREATE TRIGGER stop BEFORE UPDATE ON SUPPLIER BEGIN SELECT RAISE(ABORT,'x'); END"}) {
        h.exec(trigger);
        h.dialogs.clear();
        h.answerInput("100");
        h.click("Form17", "cmdaction", 0);
        EXPECT_EQ(h.dialogs.messages().size(), 1u) << trigger;  // the error alone
        EXPECT_EQ(incomingTables(h), before) << trigger;
        EXPECT_EQ(h.caption("Form17", "cmdaction", 0), "&save") << trigger;
        EXPECT_EQ(h.caption("Form17", "Label4"), "2");
        EXPECT_FALSE(h.form("Form17").checkBox("Check2").enabled);
        EXPECT_TRUE(h.lines("Form17").empty() ||
                    h.lines("Form17").back() != " the process was completed ");
        EXPECT_EQ(h.text("Form17", "Text3", 1), "4");
        h.exec("DROP TRIGGER stop");
    }
    h.answerInput("100");
    saveIncoming(h);
    EXPECT_EQ(h.count("BUY_INVOICE"), 1);
    EXPECT_EQ(ints(h.column("G1", "ONSTOCK")), (std::vector<int32_t>{40, 4, -5}));
    EXPECT_EQ(toDouble(h.cell("SUPPLIER", 0, "MONEY")), 100 + 118);
    EXPECT_EQ(h.count("BOX"), 2);
}

TEST_F(IncomingTest, TheLaterPaymentIsNeverShownAndNeverPaysTwice) {
    Form& f = h.form("Form17");
    CommandButton& pay = f.button("Command2");
    EXPECT_FALSE(pay.isShowing());
    enterInvoice(h, "Acme", "Option2", {{"bolt", "1", "50"}});
    EXPECT_FALSE(pay.isShowing());
    saveIncoming(h, 1, answer::Yes);
    EXPECT_FALSE(pay.isShowing());
    const std::string before = incomingTables(h);

    // Run anyway on the saved invoice: its payment was posted at save.
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
    const std::string stored = incomingTables(h);
    h.app.raise(f, pay.onClick);
    EXPECT_EQ(h.lastMessage(), " لم تقم بأختيار نوعية السداد ارجع و وقم بالإختيار ");
    EXPECT_FALSE(f.checkBox("Check2").enabled);
    EXPECT_EQ(incomingTables(h), stored);
    // With a type it pays once, by OUT_INV; a second run is refused. A
    // failing cash row pays nothing and says nothing but the error.
    f.option("Option1").value = true;
    h.exec("CREATE TRIGGER stop BEFORE INSERT ON BOX BEGIN SELECT RAISE(ABORT,'x'); END");
    h.dialogs.clear();
    h.app.raise(f, pay.onClick);
    EXPECT_EQ(h.dialogs.messages().size(), 1u);
    EXPECT_EQ(incomingTables(h), stored);
    EXPECT_FALSE(f.checkBox("Check2").enabled);
    h.exec("DROP TRIGGER stop");
    h.app.raise(f, pay.onClick);
    EXPECT_EQ(h.count("BOX"), 2);
    EXPECT_EQ(lastBox(h, "MONEY_OUT"), 20);
    EXPECT_EQ(toInt16(h.cell("BOX", 1, "OUT_INV")), 9);
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
        const long rows = h.count(group);
        h.click("Form17", "cmdaction", 0);
        h.choose("Form17", "DataCombo2", "Acme");
        h.choose("Form17", "DataCombo3", group);
        h.click("Form17", "Option1");
        h.choose("Form17", "DataCombo1", "cap", 0);
        h.type("Form17", "Text3", "3", 0);
        // The stock shown is the picked item's, not the "." row's.
        EXPECT_EQ(h.text("Form17", "Text10"), "2") << group;
        h.type("Form17", "Text4", "4", 0);
        h.dialogs.clear();
        saveIncoming(h, 1, answer::Yes);
        EXPECT_EQ(h.lines("Form17").back(), " the process was completed ") << group;
        EXPECT_EQ(toInt32(h.cell(group, rows - 1, "ONSTOCK")), 5) << group;
        EXPECT_EQ(toDouble(h.cell(group, rows - 1, "BUY_PRICE")), 2.4) << group;  // 3 @ 4, 2 @ 0
        const auto names = h.column(group, "DESC");
        const auto stock = h.column(group, "ONSTOCK");
        for (size_t i = 0; i + 1 < names.size(); ++i)
            if (names[i] == Value(".")) {
                EXPECT_EQ(toInt32(stock[i]), 0) << group;
            }
    }
}

TEST_F(IncomingTest, AnInvoiceIsFoundAgainThroughTheSearchLoginAndListedByTheViews) {
    enterInvoice(h, "Acme", "Option2", {{"bolt", "30", "7"}});
    saveIncoming(h, 1, answer::Yes);
    enterInvoice(h, "Beta", "Option1", {{"nut", "2", "1"}});
    saveIncoming(h);

    addUser(h, "sam", "pw", {"buy_inv"});
    addUser(h, "ali", "pw", {"sell-inv"});
    h.menu("Form17", "CLOSE");
    h.menu("Form1", "supply_inv");  // no payment type chosen yet
    h.menu("Form17", "Search_invo");
    EXPECT_EQ(h.form("Form15").caption, " دخول مستخدم   مخزن و حسابات ACME");
    login(h, "Form15", "ali", "pw");
    EXPECT_EQ(h.lastMessage(), "ليست لديك هذه الصلاحية.");
    h.dialogs.cancelInput();
    login(h, "Form15", "sam", "pw");
    EXPECT_EQ(h.caption("Form17", "Label14"), "sam");  // written before the prompt
    EXPECT_TRUE(h.app.isLoaded("Form15"));
    h.answerInput("3");
    login(h, "Form15", "sam", "pw");
    EXPECT_FALSE(h.app.isLoaded("Form15"));
    Form& f = h.form("Form17");
    EXPECT_EQ(h.text("Form17", "Text1", 0), "3");
    EXPECT_EQ(h.text("Form17", "DataCombo2"), "Acme");
    EXPECT_EQ(h.caption("Form17", "Label5"), "3");
    EXPECT_TRUE(f.label("Label10").visible);
    EXPECT_FALSE(f.frame("Frame1").visible);
    EXPECT_FALSE(f.button("Command1").visible);
    for (const char* flag : {"Check2", "Check3", "Check4"}) EXPECT_TRUE(f.checkBox(flag).enabled);
    EXPECT_TRUE(f.control("Text4", 31).visible);

    h.menu("Form17", "inv_buy_report");
    const RenderedReport* r = h.app.report("DataReport4");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->rows.size(), 2u);

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
    EXPECT_FALSE(f.control("Text4", 31).visible);
    saveIncoming(h);
    EXPECT_EQ(h.count("BUY_INVOICE"), 3);
    EXPECT_EQ(lastBox(h, "MONEY_OUT"), 8);
}

}  // namespace
}  // namespace mk
