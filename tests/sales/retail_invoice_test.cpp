#include <gtest/gtest.h>

#include "sales/sales_steps.h"

namespace mk {
namespace {

using namespace test;

struct RetailInvoiceTest : ::testing::Test {
    Harness h;
};

TEST_F(RetailInvoiceTest, FirstInvoicePostsStockDayCashAndItsFlagOnce) {
    openRetail(h, "('bolt', 10, 12.5, 6), ('nut', 4, 13.5, 2)");
    EXPECT_EQ(h.caption("Form3", "Label4"), "2");
    h.choose("Form3", "DataCombo3", "G1");
    enterLines(h, {{"bolt", "3"}, {"nut", "1"}});
    EXPECT_EQ(h.text("Form3", "Text1", 0), "3");
    EXPECT_EQ(h.text("Form3", "Text4", 0), "12");  // 12.5 to the even neighbour
    EXPECT_EQ(h.text("Form3", "Text4", 1), "14");
    h.dialogs.clear();
    save(h);

    ASSERT_EQ(h.count("SALES_INVOICE"), 1);
    EXPECT_EQ(toInt16(h.cell("SALES_INVOICE", 0, "INVO_NO")), 3);
    EXPECT_EQ(h.cell("SALES_INVOICE", 0, "STATUS_SUB"), Value(true));
    EXPECT_EQ(toDouble(h.cell("SALES_INVOICE", 0, "SUM1")), 36);
    EXPECT_EQ(toDouble(h.cell("SALES_INVOICE", 0, "SUM2")), 14);
    EXPECT_EQ(toDouble(h.cell("SALES_INVOICE", 0, "TOTAL_SUM")), 50);
    EXPECT_EQ(formatShortDate(toDate(h.cell("SALES_INVOICE", 0, "DATES"))), "06/12/2026");
    EXPECT_EQ(ints(h.column("G1", "ONSTOCK")), (std::vector<int32_t>{7, 3}));
    EXPECT_EQ(ints(h.column("DAILY_TRADE", "OUTPUT")), (std::vector<int32_t>{3, 1}));
    EXPECT_EQ(h.count("BOX"), 2);
    EXPECT_EQ(lastBox(h, "MONEY"), 50);
    EXPECT_EQ(lastBox(h, "MONEY_RECIVED"), 50);
    EXPECT_EQ(toInt16(h.cell("BOX", 1, "OUT_INVOICE")), 3);
    EXPECT_EQ(h.messageTexts().front(),
              std::string(" ألى الصندوق ") + "50" + "بقيمة " + " تم أضافة حساب فاتورة  ");
    EXPECT_EQ(h.dialogs.messages().back().prompt, "هل تريد ملىء فاتورة أخرى ");
    EXPECT_EQ(h.lines("Form3").back(), " the quantities were subtracted ");
    EXPECT_EQ(h.caption("Form3", "Label4"), "3");
    EXPECT_EQ(h.caption("Form3", "cmdaction", 0), "&add");
    EXPECT_TRUE(h.form("Form3").checkBox("Check4").enabled);  // answered No: may close

    // Saving again needs a new Add; the saved row is locked while browsing.
    EXPECT_FALSE(h.type("Form3", "Text3", "9", 0));
    h.menu("Form3", "exit");
    EXPECT_FALSE(h.app.isLoaded("Form3"));
}

}  // namespace
}  // namespace mk
