// The books agree with themselves: each invoice stores the exact amounts it
// posts to the cash box and the partner, and the main window's five totals
// are the file's sums after every kind of posting, a restore included.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

// Prices whose products and sums no 15-digit text holds.
const std::vector<Line> kAwkward = {{"nut", "3", "0.1"},
                                    {"bolt", "3", "0.7"},
                                    {"nut", "1", "123456789.123456789"}};

double amount(const Line& l) { return *parseNumber(l.quantity) * *parseNumber(l.price); }

// The invoice just stored: its line sum, its total, and whether both are
// the line's exact product.
std::string stored(Harness& h, const std::string& table, const Line& l) {
    const std::string want = exact(Value(amount(l)));
    const std::string got = row(h, table, -1, {"SUM1", "TOTAL_SUM"});
    return got == want + "|" + want ? "exact" : got + " for " + want;
}

// A one-line sale in a window opened afresh from its menu item, priced by
// hand unless the price is empty (a pick prices every line, and typed
// prices are open only until a window's first save).
void sell(Harness& h, const std::string& form, const char* item, const Line& l,
          const char* buyer, const char* option, const char* group = "G1") {
    h.menu("Form1", item);
    h.choose(form, "DataCombo3", group);
    h.click(form, "cmdaction", 0);
    h.type(form, "Text3", l.quantity, 0);
    h.choose(form, "DataCombo1", l.item, 0);
    if (!l.price.empty()) h.type(form, "Text4", l.price, 0);
    if (buyer) h.choose(form, "DataCombo2", buyer);
    if (option) h.click(form, option);
    h.answer(answer::OK);
    h.answer(answer::No);
    h.click(form, "cmdaction", 0);
    h.close(form);
}

std::string balance(Harness& h, const std::string& table, const std::string& field,
                    const std::string& name) {
    const auto names = h.column(table, field);
    for (size_t i = 0; i < names.size(); ++i)
        if (toText(names[i]) == name) return row(h, table, static_cast<long>(i), {"MONEY"});
    return "none";
}

TEST(Books, EveryInvoiceStoresTheExactAmountsItMovesIntoTheCashBoxAndTheBalance) {
    Harness h;
    startTradingDay(h);
    // Sami's debt is what the stored totals of her credit invoices add up to.
    double credited = 0;
    for (const Line& l : kAwkward) {
        SCOPED_TRACE(l.price);
        sell(h, "Form3", "SALES_IN", l, nullptr, nullptr);
        EXPECT_EQ(stored(h, "SALES_INVOICE", l), "exact") << "retail";
        EXPECT_EQ(row(h, "BOX", -1, {"MONEY_RECIVED"}), exact(Value(amount(l)))) << "retail";

        sell(h, "Form42", "saleslarge", l, "Sami", "Option2");
        EXPECT_EQ(stored(h, "SALES_INVO_GROUP", l), "exact") << "wholesale";
        credited += toDouble(h.cell("SALES_INVO_GROUP", h.count("SALES_INVO_GROUP") - 1, "TOTAL_SUM"));
        EXPECT_EQ(balance(h, "BUYER", "BUYER", "Sami"), exact(Value(credited))) << "wholesale";

        sell(h, "Form53", "sellgroup", l, "Hala", "Option1");
        EXPECT_EQ(stored(h, "COAST_INVO_GROUP", l), "exact") << "issue voucher";
        EXPECT_EQ(row(h, "BOX", -1, {"MONEY_RECIVED"}), exact(Value(amount(l))))
            << "issue voucher";
    }

    // Incoming, every line priced by hand: on credit, for cash, part paid.
    double total = 0;
    std::string sums;
    for (const Line& l : kAwkward) {
        total += amount(l);
        sums += exact(Value(amount(l))) + "|";
    }
    sums += exact(Value(total));
    const auto storedSums = [&] {
        return row(h, "BUY_INVOICE", -1, {"SUM1", "SUM2", "SUM3", "TOTAL_SUM"});
    };
    h.menu("Form1", "supply_inv");
    enterInvoice(h, "Acme", "Option2", kAwkward);
    saveIncoming(h);
    EXPECT_EQ(storedSums(), sums) << "incoming on credit";
    EXPECT_EQ(balance(h, "SUPPLIER", "SALES_MAN", "Acme"), exact(Value(total)));
    enterInvoice(h, "Acme", "Option1", kAwkward);
    saveIncoming(h);
    EXPECT_EQ(storedSums(), sums) << "incoming for cash";
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY_OUT"}), exact(Value(total)));
    enterInvoice(h, "Acme", "Option3", kAwkward);
    h.answerInput("0.7");
    saveIncoming(h);
    EXPECT_EQ(storedSums(), sums) << "incoming part paid";
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY_OUT"}), "0.7");
    EXPECT_EQ(balance(h, "SUPPLIER", "SALES_MAN", "Acme"), exact(Value(total + (total - 0.7))));
    // Only the text shown is cut.
    EXPECT_EQ(h.caption("Form17", "Label9"), "123456791.523457");
}

// ---- The main window's totals against the file after each posting.

double fileSum(Harness& h, const std::string& table, const std::string& a,
               const std::string& b = "") {
    Recordset rs(h.db(), table);
    double sum = 0;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        sum += toDouble(rs.field(a)) * (b.empty() ? 1.0 : toDouble(rs.field(b)));
    return sum;
}

std::string fileTotals(Harness& h) {
    double sale = 0, buy = 0;
    for (const Value& group : h.column("qqq", "Q")) {
        sale += fileSum(h, toText(group), "ONSTOCK", "UNITE_PRICE");
        buy += fileSum(h, toText(group), "ONSTOCK", "BUY_PRICE");
    }
    return formatDouble(fileSum(h, "BUYER", "MONEY")) + "|" +
           formatDouble(fileSum(h, "SUPPLIER", "MONEY")) + "|" +
           formatDouble(toDouble(h.cell("BOX", h.count("BOX") - 1, "MONEY"))) + "|" +
           formatDouble(sale) + "|" + formatDouble(buy);
}

std::string shownTotals(Harness& h) {
    Form1& main = h.app.form<Form1>();
    return main.Label23[0]->caption() + "|" + main.Label23[1]->caption() + "|" +
           main.Label23[2]->caption() + "|" + main.Label24->caption() + "|" +
           main.Label21->caption();
}

TEST(Books, TheMainWindowsTotalsAreTheFilesSumsAfterEveryKindOfPosting) {
    Harness h;
    makeGroup(h, "G2", "('pipe', 4, 0.7, 0.1)");
    startTradingDay(h);
    ASSERT_EQ(shownTotals(h), "40|0|1000|402.8|130.4");
    auto follows = [&](const std::string& posting) {
        EXPECT_EQ(shownTotals(h), fileTotals(h)) << posting;
    };

    sell(h, "Form3", "SALES_IN", {"bolt", "3", ""}, nullptr, nullptr);
    EXPECT_EQ(shownTotals(h), "40|0|1060|342.8|103.4");
    // A sale whose cash box row fails: the stock it took off comes back.
    fail(h, "INSERT ON BOX");
    h.menu("Form1", "SALES_IN");
    h.choose("Form3", "DataCombo3", "G1");
    enterLines(h, {{"nut", "5"}});
    save(h);
    succeed(h);
    EXPECT_EQ(h.caption("Form3", "cmdaction", 0), "&save");  // the invoice is still open
    cancel(h, "Form3");
    EXPECT_EQ(shownTotals(h), "40|0|1060|342.8|103.4");

    sell(h, "Form42", "saleslarge", {"nut", "2", ""}, "Hala", "Option2");
    follows("wholesale on credit");
    sell(h, "Form53", "sellgroup", {"pipe", "1", ""}, "Sami", "Option1", "G2");
    follows("issue voucher");

    h.menu("Form1", "returne");
    h.choose("Form28", "DataCombo3", "G1");
    h.click("Form28", "cmdaction", 0);
    h.type("Form28", "Text3", "1", 0);
    h.type("Form28", "Text6", "5", 0);
    h.choose("Form28", "DataCombo1", "bolt", 0);
    h.click("Form28", "cmdaction", 0);
    follows("return");

    h.menu("Form1", "supply_inv");
    enterInvoice(h, "Acme", "Option2", {{"nut", "6", "0.7"}});
    saveIncoming(h);
    follows("incoming on credit");

    h.menu("Form1", "store_functions");
    h.choose("Form1", "DataCombo3", "G2");
    h.click("Form1", "cmdaction", 2);
    h.type("Form1", "Text7", "123456789.123456789");
    h.type("Form1", "Text3", "7", 0);
    h.click("Form1", "cmdaction", 2);
    follows("item card edit");
    h.click("Form1", "cmdaction", 0);
    h.type("Form1", "Text6", "valve");
    h.type("Form1", "Text3", "2", 0);
    h.type("Form1", "Text7", "0.1");
    h.click("Form1", "cmdaction", 0);
    EXPECT_EQ(col(h, "G2", "DESC"), "pipe|valve");
    follows("item card add");
    h.answer(answer::Yes);
    h.click("Form1", "Command1");
    EXPECT_EQ(row(h, "G2", -1, {"DESC", "ONSTOCK", "UNITE_PRICE"}), "pipe|7|123456789.12345679");
    follows("item card delete");

    // A copy, more sales, then the copy restored: the totals are the copy's.
    h.menu("Form1", "day_exite");
    h.click("Form44", "Command2");
    const std::string copied = shownTotals(h);
    sell(h, "Form3", "SALES_IN", {"nut", "4", ""}, nullptr, nullptr);
    ASSERT_NE(shownTotals(h), copied);
    Form& restore = h.show("Form47");
    h.app.chooseDrive(static_cast<DriveListBox&>(restore.control("Drive2")), "d");
    h.app.chooseFile(static_cast<FileListBox&>(restore.control("File1")), "INVENT.MDB");
    h.click("Form47", "Command2");
    EXPECT_EQ(shownTotals(h), copied);
    follows("restore");
}

}  // namespace
}  // namespace mk
