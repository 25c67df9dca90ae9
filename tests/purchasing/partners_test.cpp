// The suppliers and customers windows: the defaults add stores, an exact
// search, a delete that asks first, and the views of their invoices.
#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

TEST(Partners, AddSavesTheDefaultsOfEachTwin) {
    Harness h;
    h.exec("INSERT INTO SUPPLIER (SALES_MAN) VALUES ('Nour')");
    h.show("Form5");
    h.click("Form5", "cmdaction", 0);
    h.click("Form5", "cmdaction", 0);
    EXPECT_EQ(row(h, "SUPPLIER", 1, {"SALES_MAN", "PHONE", "FAX", "ADDRESS", "MONEY", "NOTE"}),
              ".|0|0|.|0|.");
    h.show("Form6");
    h.click("Form6", "cmdaction", 0);
    h.type("Form6", "Text1", "Hala", 0);
    h.click("Form6", "cmdaction", 0);
    EXPECT_EQ(row(h, "BUYER", 0, {"BUYER", "PHONE"}), "Hala|.");
}

TEST(Partners, ASearchThatFindsNothingStaysOnTheShownRowWhichDeleteThenTakes) {
    Harness h;
    h.exec("INSERT INTO SUPPLIER (SALES_MAN) VALUES ('Nour'), ('Delta'), ('Omega')");
    h.show("Form5");
    h.app.navigate(h.form("Form5").adodc("Adodc1"), Nav::Next);
    h.answerInput("omega");  // letter case counts
    h.menu("Form5", "SALES");
    EXPECT_EQ(h.lastMessage(), " unable to find that item ");
    EXPECT_EQ(h.text("Form5", "Text1", 0), "Delta");
    h.click("Form5", "Command1");  // No
    EXPECT_EQ(h.count("SUPPLIER"), 3);
    h.answer(answer::Yes);
    h.click("Form5", "Command1");
    EXPECT_EQ(h.lastMessage(), "Dealer will be deleted");
    EXPECT_EQ(col(h, "SUPPLIER", "SALES_MAN"), "Nour|Omega");
}

TEST(Partners, EachTwinsSearchAsksForItsOwnPartnersName) {
    Harness h;
    for (auto [form, item] : {std::pair{"Form5", "SALES"}, {"Form6", "BUYER"}}) {
        h.show(form);
        h.answerInput("");
        h.menu(form, item);
    }
    std::vector<std::string> asked;
    for (const auto& box : h.dialogs.shown()) asked.push_back(box.prompt + "|" + box.title);
    EXPECT_EQ(asked, (std::vector<std::string>{
                         "enter SUPPLIER NAME  for search :|Search by Sales Company Name ",
                         "enter BUYER NAME  for search :|Search by buyer name "}));
}

const std::string kBlank(11, ' ');
const std::string kNone = "لا توجد فواتير لهذا العميل  ";

void addInvoice(WorkerHarness& h, const std::string& table, int number, const std::string& partner,
                const std::string& date, double total, const std::string& notes) {
    h.exec("INSERT INTO " + table + " (INVO_NO, SALES_MAN, DATES, TOTAL_SUM, NOTES) VALUES (" +
           std::to_string(number) + ", '" + partner + "', '" + date + "', " +
           std::to_string(total) + ", " + (notes.empty() ? "NULL" : "'" + notes + "'") + ")");
}

TEST(DealingsViews, TheCustomerViewListsThatCustomersInvoicesOnly) {
    WorkerHarness h;
    addInvoice(h, "SALES_INVO_GROUP", 3, "Ali", "2026-12-01", 150, "cash");
    addInvoice(h, "SALES_INVO_GROUP", 4, "Omar", "2026-12-01", 80, "");
    addInvoice(h, "SALES_INVO_GROUP", 5, "ali", "2026-12-02", 10, "");
    addInvoice(h, "SALES_INVO_GROUP", 6, "Ali", "2026-12-03", 99.5, "");
    addInvoice(h, "SALES_INVO_GROUP", 7, "Ali ", "2026-12-03", 1, "");
    addInvoice(h, "BUY_INVOICE", 8, "Ali", "2026-12-03", 1, "");
    h.showPartner("Form6", "Ali");
    h.launch("Customers");

    const std::string pad(14, ' ');
    EXPECT_EQ(h.lines("Form40"),
              (std::vector<std::string>{kBlank, kBlank, kBlank,
                                        pad + "01/12/2026    3 150 cash",
                                        pad + "03/12/2026    6 99.5 "}));
    EXPECT_EQ(h.form("Form40").caption, "حركة تعاملات فواتيرAli");
    EXPECT_EQ(h.text("Form40", "Text4"), "6");  // the last invoice listed
    const RenderedReport* r = h.app.report("DataReport15");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->rows, (std::vector<std::vector<std::string>>{{"3", "150", "01/12/2026", "cash"},
                                                              {"6", "99.5", "03/12/2026", ""}}));
    EXPECT_EQ(toInt16(h.flag("COUNTER_BUYER_DEALS")), 2);

    h.advance(1000);
    EXPECT_FALSE(h.app.isLoaded("Form40"));
}

TEST(DealingsViews, ASupplierWithoutInvoicesGetsTheMessageAndTheViewStaysOpen) {
    WorkerHarness h;
    addInvoice(h, "SALES_INVO_GROUP", 3, "Ali", "2026-12-01", 150, "");
    addInvoice(h, "BUY_INVOICE", 9, "Acme", "2026-11-20", 500, "");
    h.showPartner("Form6", "Ali");
    h.launch("Customers");

    h.showPartner("Form5", "Nobody");
    h.launch("Suppliers");
    EXPECT_EQ(h.lastMessage(), kNone);
    EXPECT_EQ(h.lines("Form46"), (std::vector<std::string>(3, kBlank)));
    EXPECT_EQ(h.column("BUYER_DEALS", "ID"), (std::vector<Value>{Value::i16(999)}));
    EXPECT_FALSE(h.form("Form46").textBox("Text3").visible);

    // Launched again for another supplier while it stays open: one run.
    h.advance(5000);
    ASSERT_TRUE(h.app.isLoaded("Form46"));
    h.showPartner("Form5", "Acme");
    h.launch("Suppliers");
    EXPECT_EQ(h.lines("Form46").size(), 4u);
    EXPECT_EQ(h.app.report("DataReport15")->rows,
              (std::vector<std::vector<std::string>>{{"9", "500", "20/11/2026", ""}}));
    EXPECT_EQ(h.count("BUYER_DEALS"), 1);
}

}  // namespace
}  // namespace mk
