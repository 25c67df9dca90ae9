// The incoming invoice window: stock raised at the weighted buy price, the
// supplier charged or paid, every refusal before any write, the payment
// that is never shown, and the search and views that find an invoice;
// the purchase invoice window and the supplier listing.
#include <gtest/gtest.h>

#include <tuple>

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
    EXPECT_TRUE(h.lines("Form17").empty());  // opening lines prints no number here
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
    EXPECT_EQ(h.text("Form17", "DataCombo2") + " " + h.caption("Form17", "Label9"), ". ");
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

// Whatever the answer to another invoice, a save reads the table anew and
// shows its first invoice; each press of add or save first clears the
// total and hides its caption and the hint.
TEST_F(IncomingTest, ASaveShowsTheFirstInvoiceAndEachPressStartsWithNoTotal) {
    Form& f = h.form("Form17");
    enterInvoice(h, "Acme", "Option2", {{"bolt", "1", "50"}});
    saveIncoming(h, 1, answer::Yes);  // invoice 3, the first
    for (int another : {answer::Yes, answer::No}) {
        const char* said = another == answer::Yes ? "yes" : "no";
        enterInvoice(h, "Beta", "Option2", {{"nut", "2", "10"}});
        ASSERT_TRUE(f.control("Label17").visible) << said;  // the group chooser was used
        saveIncoming(h, 1, another);
        EXPECT_EQ(h.text("Form17", "Text1", 0) + "|" + h.text("Form17", "DataCombo2") + "|" +
                      h.caption("Form17", "Label9"),
                  "3|Acme|50")
            << said;
        EXPECT_TRUE(f.control("Label8").visible) << said;
        // Yes puts the focus on the group chooser, which shows the hint again.
        EXPECT_EQ(f.control("Label17").visible, another == answer::Yes) << said;
        h.click("Form17", "cmdaction", 0);
        EXPECT_EQ(h.caption("Form17", "Label9"), "") << said;
        EXPECT_FALSE(f.control("Label8").visible) << said;
        cancel(h, "Form17");
    }
    EXPECT_EQ(col(h, "BUY_INVOICE", "TOTAL_SUM"), "50|20|20");
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

// The purchase invoice window and the supplier listing: nothing in the
// program opens them, so the tests show them as a hidden caller would.
struct PurchaseInvoiceTest : ::testing::Test {
    PurchaseInvoiceTest() {
        setProfile(h, "ACME");
        h.exec("INSERT INTO INVENTORY (\"DESC\", ONSTOCK, TOTAL, \"TOTAL-SELL\") VALUES "
               "('filter', 5, 100, 200), ('pump', 0, NULL, NULL), ('filter', 9, 0, 0)");
        h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Acme', 50)");
        enterMain(h);
        h.show("Form4");
    }
    // Line k (1..12): quantity, price, discount.
    void line(int k, const std::string& item, const std::string& q, const std::string& p,
              const std::string& d) {
        h.choose("Form4", "DataCombo1", item, k - 1);
        h.type("Form4", "Text2", q, 6 * k - 5);
        h.type("Form4", "Text2", p, 6 * k - 4);
        h.type("Form4", "Text2", d, 6 * k - 3);
    }
    Harness h;
};

TEST_F(PurchaseInvoiceTest, SumsNetAndGrossAndSavesWithTheImportDateInItsDateSlot) {
    EXPECT_EQ(h.caption("Form4", "Label10"), "2");
    h.click("Form4", "cmdaction", 0);
    EXPECT_EQ(h.text("Form4", "Text1", 0) + " " + h.text("Form4", "Text1", 3), "3 06/12/2026");
    EXPECT_EQ(h.text("Form4", "Text2", 5), "10 / 4 / 2020");
    EXPECT_FALSE(h.form("Form4").adodc("Adodc1").enabled);
    h.choose("Form4", "DataCombo2", "Acme");
    line(1, "filter", "3", "0.5", "10");
    line(2, "pump", "4", "25", "0");
    line(3, "filter", "2", "10", "100");
    h.click("Form4", "Command1");
    // Gross of line 1; no discount: net = gross; all discount: 0.
    EXPECT_EQ(h.text("Form4", "Text2", 4) + " " + h.text("Form4", "Text2", 110) + " " +
                  h.text("Form4", "Text2", 109),
              "1.5 100 0");
    EXPECT_EQ(h.caption("Form4", "Label4") + " " + h.caption("Form4", "Label13"),
              "121.5 TOTAL SUM of buy");
    h.click("Form4", "cmdaction", 0);

    ASSERT_EQ(h.count("BUY_INVOICE"), 1);
    const double net1 = (1 - 10.0 / 100) * 3 * 0.5;  // (1 - d/100) q p, left to right
    EXPECT_EQ(toDouble(h.cell("BUY_INVOICE", 0, "TOTAL_PRICE1")), net1);
    EXPECT_EQ(toDouble(h.cell("BUY_INVOICE", 0, "TOTAL_SUM")), net1 + 100 + 0);
    // The import date goes in its date slot, the price column stays empty.
    EXPECT_EQ(row(h, "BUY_INVOICE", 0, {"INVO_NO", "SUPPLIER", "TOTAL_SUM_SELL", "EXPIRY_ DATES1",
                                        "EXPIRY_ DATE1"}),
              "3|Acme|121.5|10/04/2020|");
    EXPECT_EQ(h.caption("Form4", "cmdaction", 0) + h.caption("Form4", "Label10"), "&add3");
    EXPECT_EQ(h.count("BOX"), 1);  // no money moves
    EXPECT_EQ(toDouble(h.cell("SUPPLIER", 0, "MONEY")), 50);
}

// The day the window was opened, whatever the main window's date, dates
// every invoice added in it.
TEST_F(PurchaseInvoiceTest, AddDatesTheInvoiceWithTheDayTheWindowWasOpened) {
    h.menu("Form4", "exit");
    h.clock.setNow(h.clock.now() + 1);  // past midnight, the main window still open
    h.show("Form4");
    EXPECT_EQ(h.caption("Form4", "Label7"), "07/12/2026");
    h.clock.setNow(h.clock.now() + 1);
    h.click("Form4", "cmdaction", 0);
    h.click("Form4", "cmdaction", 0);
    EXPECT_EQ(row(h, "BUY_INVOICE", 0, {"DATES"}), "07/12/2026");
}

TEST_F(PurchaseInvoiceTest, BadLinesAreRefusedBeforeTheRowIsStored) {
    h.click("Form4", "cmdaction", 0);
    line(1, "filter", "1", "5", "0");
    for (auto [box, text, message] : std::vector<std::tuple<int, const char*, const char*>>{
             {1, "2.5", "الكمية يجب أن تكون عددا صحيحا من 0 إلى 32767 فى السطر 1"},
             {1, "40000", "الكمية يجب أن تكون عددا صحيحا من 0 إلى 32767 فى السطر 1"},
             {3, "150", "الخصم يجب أن يكون رقما من 0 إلى 100 فى السطر 1"},
             {3, "-1", "الخصم يجب أن يكون رقما من 0 إلى 100 فى السطر 1"},
             {2, "-3", "السعر يجب أن يكون رقما لا يقل عن صفر فى السطر 1"},
             {2, "x", "السعر يجب أن يكون رقما لا يقل عن صفر فى السطر 1"}}) {
        const std::string good = h.text("Form4", "Text2", box);
        h.type("Form4", "Text2", text, box);
        h.click("Form4", "cmdaction", 0);
        EXPECT_EQ(h.lastMessage(), message) << text;
        EXPECT_EQ(h.count("BUY_INVOICE"), 0) << text;
        EXPECT_EQ(h.caption("Form4", "cmdaction", 0), "&save") << text;
        h.type("Form4", "Text2", good, box);
    }
    h.click("Form4", "cmdaction", 0);
    EXPECT_EQ(toDouble(h.cell("BUY_INVOICE", 0, "TOTAL_SUM")), 5);
}

TEST_F(PurchaseInvoiceTest, AddToStockPostsTheCommittedRowOnce) {
    h.click("Form4", "cmdaction", 0);
    line(1, "filter", "3", "10", "10");
    line(2, "ghost", "7", "1", "0");
    h.menu("Form4", "ADD");  // while adding: refused
    EXPECT_EQ(h.lastMessage(), "أحفظ الفاتورة أو ألغها أولا");
    h.click("Form4", "cmdaction", 0);
    h.menu("Form4", "ADD");
    EXPECT_EQ(ints(h.column("INVENTORY", "ONSTOCK")), (std::vector<int32_t>{8, 0, 9}));
    EXPECT_EQ(toDouble(h.cell("INVENTORY", 0, "TOTAL")), 127);
    EXPECT_EQ(toDouble(h.cell("INVENTORY", 0, "TOTAL-SELL")), 230);
    EXPECT_EQ(h.cell("BUY_INVOICE", 0, "STATUS_SUB"), Value(true));
    h.dialogs.clear();
    h.menu("Form4", "ADD");
    EXPECT_EQ(h.lastMessage(), "لقد تم إضافة هذه الفاتورة سابقا.");
    EXPECT_EQ(h.lastTitle(), "ملحوظة");
    EXPECT_EQ(ints(h.column("INVENTORY", "ONSTOCK")), (std::vector<int32_t>{8, 0, 9}));

    // Editing is refused too, and the search finds by exact text.
    h.click("Form4", "cmdaction", 2);
    h.menu("Form4", "ADD");
    EXPECT_EQ(h.lastMessage(), "أحفظ الفاتورة أو ألغها أولا");
    cancel(h, "Form4");
    h.answerInput("acme");
    h.menu("Form4", "supplier");
    EXPECT_EQ(h.lastMessage(), " unable to find that item ");
}

TEST_F(PurchaseInvoiceTest, TheSupplierListingSumsEachItemAcrossInvoicesFromZero) {
    h.click("Form4", "cmdaction", 0);
    h.choose("Form4", "DataCombo2", "Acme");
    line(1, "filter", "20000", "2", "10");
    line(2, "filter", "1", "3", "5");
    h.click("Form4", "cmdaction", 0);
    h.click("Form4", "cmdaction", 0);
    h.choose("Form4", "DataCombo2", "Acme");
    line(1, "filter", "20000", "4", "0");
    h.click("Form4", "cmdaction", 0);
    h.click("Form4", "cmdaction", 0);
    h.choose("Form4", "DataCombo2", "Beta");
    line(1, "pump", "2", "7", "50");
    h.click("Form4", "cmdaction", 0);
    // A row of the incoming invoice window: Null supplier and slots.
    h.exec("INSERT INTO BUY_INVOICE (INVO_NO, SALES_MAN, MED_NAME1, QNTITY1) "
           "VALUES (9, 'Acme', 'filter', 5)");

    h.show("form171");
    EXPECT_EQ(h.form("form171").caption, " الأصناف و الأسعار اللإجمالية للبائع  مخزن و حسابات ACME");
    h.answerInput("Acme");
    h.click("form171", "Command1");
    const auto& lines = h.lines("form171");
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(h.caption("form171", "Label2"), "Acme");
    const std::string zones(3 * 14 - 6, ' ');
    EXPECT_EQ(lines[8], "filter" + zones + " 40001  4  0  116002.85  120003 ");
    EXPECT_EQ(lines[9], "pump" + std::string(3 * 14 - 4, ' ') + " 0  0  0  0  0 ");

    h.answerInput("");
    h.click("form171", "Command1");
    EXPECT_TRUE(h.lines("form171").empty());
}

}  // namespace
}  // namespace mk
