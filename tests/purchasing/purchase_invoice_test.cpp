#include <gtest/gtest.h>

#include <tuple>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

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
