#include <gtest/gtest.h>

#include "reports/workers.h"

namespace mk {
namespace {

using test::WorkerHarness;

const std::string kBlank(11, ' ');

// One invoice row: header fields and line slots {slot, name, quantity}.
struct Line {
    int slot;
    std::string name;
    double quantity;
};
void addInvoice(WorkerHarness& h, const std::string& table, int number, const std::string& date,
                const std::string& partnerField, const std::string& partner,
                const std::vector<Line>& lines) {
    std::string cols = "INVO_NO, DATES, " + partnerField, vals = std::to_string(number) + ", '" +
                                                               date + "', '" + partner + "'";
    for (const Line& l : lines) {
        cols += ", MED_NAME" + std::to_string(l.slot) + ", QNTITY" + std::to_string(l.slot);
        vals += ", '" + l.name + "', " + std::to_string(l.quantity);
    }
    h.exec("INSERT INTO " + table + " (" + cols + ") VALUES (" + vals + ")");
}

std::string zoned(std::vector<std::string> items) {
    std::string line;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) line.resize((line.size() / 14 + 1) * 14, ' ');
        line += items[i];
    }
    return line;
}

TEST(MovementViews, TheSalesViewListsTheItemsLinesAcrossInvoicesInPrintZones) {
    WorkerHarness h;
    addInvoice(h, "SALES_INVOICE", 3, "2026-12-01", "SALES_MAN", "Ali",
               {{1, "Bolt", 5}, {2, "Nut", 1}, {4, "Bolt", 2}});
    addInvoice(h, "SALES_INVOICE", 4, "2026-12-02", "SALES_MAN", "Omar",
               {{1, "bolt", 9}, {2, "Bolt ", 9}, {3, "Bolt", 0}, {32, "Bolt", 9}});
    addInvoice(h, "SALES_INVOICE", 5, "2026-12-03", "SALES_MAN", "Huda", {{7, "Bolt", 40000}});
    h.showItem("Bolt");
    h.launch("Command6");

    EXPECT_EQ(h.lines("Form29"), (std::vector<std::string>{
                                     kBlank, kBlank, kBlank, zoned({" 5 ", "3", "01/12/2026", "Ali"}),
                                     zoned({" 2 ", "3", "01/12/2026", "Ali"}),
                                     zoned({" 40000 ", "5", "03/12/2026", "Huda"})}));
    EXPECT_EQ(h.form("Form29").caption, "حركة مبيعات الصنف Bolt  مخزن و حسابات ");

    const RenderedReport* r = h.app.report("DataReport14");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->rows, (std::vector<std::vector<std::string>>{{"3", "Ali", "01/12/2026", "5"},
                                                              {"3", "Ali", "01/12/2026", "2"},
                                                              {"5", "Huda", "03/12/2026", "40000"}}));
    EXPECT_EQ(toInt16(h.flag("COUNTER_BUY")), 3);  // its own rows, for the next pre-clean

    h.advance(499);
    EXPECT_TRUE(h.app.isLoaded("Form29"));
    h.advance(1);
    EXPECT_FALSE(h.app.isLoaded("Form29"));
    EXPECT_NE(h.app.report("DataReport14"), nullptr);  // the report stays open
}

TEST(MovementViews, ReturnsAndIncomingViewsReadTheirOwnTablesAndPartners) {
    WorkerHarness h;
    h.exec("INSERT INTO RETURN_INVOICE (INVO_NO, DATES, SALES_MAN, BUYER, MED_NAME1, QNTITY1) "
           "VALUES (7, '2026-11-30', 'nobody', 'Sara', 'Bolt', 2.5)");
    addInvoice(h, "BUY_INVOICE", 9, "2026-11-20", "SALES_MAN", "Acme", {{32, "Bolt", 100}});
    addInvoice(h, "SALES_INVOICE", 3, "2026-12-01", "SALES_MAN", "Ali", {{1, "Bolt", 5}});
    h.showItem("Bolt");

    h.launch("Command9");
    EXPECT_EQ(h.lines("Form31").back(), zoned({" 2 ", "7", "30/11/2026", "Sara"}));
    EXPECT_EQ(h.app.report("DataReport14")->rows,
              (std::vector<std::vector<std::string>>{{"7", "Sara", "30/11/2026", "2"}}));

    // A second run right after: only its own row, however the first ended.
    h.launch("Command7");
    EXPECT_EQ(h.form("Form33").caption->rfind("حركة واردات الصنف Bolt", 0), 0u);
    EXPECT_EQ(h.app.report("DataReport14")->rows,
              (std::vector<std::vector<std::string>>{{"9", "Acme", "20/11/2026", "100"}}));
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1);

    // The sales view's menu shows the returns of the same item.
    h.launch("Command6");
    EXPECT_TRUE(h.menu("Form29", "return"));
    EXPECT_EQ(h.app.report("DataReport14")->rows.size(), 1u);
    EXPECT_EQ(h.app.report("DataReport14")->rows[0][1], "Sara");
    EXPECT_TRUE(h.menu("Form29", "EXITE"));
    EXPECT_FALSE(h.app.isLoaded("Form29"));
}

TEST(MovementViews, AnItemWithNoMovementGetsTheMessageAndThePlaceholder) {
    WorkerHarness h;
    addInvoice(h, "SALES_INVOICE", 3, "2026-12-01", "SALES_MAN", "Ali", {{1, "Nut", 5}});
    h.showItem("Bolt");
    h.launch("Command6");
    EXPECT_EQ(h.lastMessage(), " هذا الصنف ليست له حركة تعاملات  ");
    EXPECT_EQ(h.column("PRODUCT_BUY", "ID"), (std::vector<Value>{Value::i16(999)}));
    EXPECT_EQ(h.app.report("DataReport14"), nullptr);
    EXPECT_EQ(h.lines("Form29").size(), 3u);

    // Launched again while still open: one run, nothing doubled.
    h.launch("Command6");
    EXPECT_EQ(h.lines("Form29").size(), 3u);
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1);
}

}  // namespace
}  // namespace mk
