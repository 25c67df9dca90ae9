// The search logins of the invoice windows, one table for all four: a
// user without the right is refused before any prompt, an empty answer
// keeps the login, a found invoice (numbers past 32767 included) is shown
// for viewing under the user's name, one not found leaves the shown one,
// no search runs while an invoice is open, and add lays out entry again.
#include <gtest/gtest.h>

#include "sales/invoice_window.h"
#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

struct SearchView {
    const char *menu, *window, *item, *login, *right;
    const char *user, *current;  // the labels of the user and of "the invoice shown"
    bool userBeforePrompt;
};

const SearchView kViews[] = {
    {"SALES_IN", "Form3", "INV_NO", "Form14", "sell-inv", "Label15", "Label10", false},
    {"saleslarge", "Form42", "SERARCH_INVO", "Form43", "sell-inv_group", "Label13", "Label3", false},
    {"returne", "Form28", "search_invo_no", "Form45", "return_invo", "Label9", "Label7", false},
    {"supply_inv", "Form17", "Search_invo", "Form15", "buy_inv", "Label14", "Label10", true},
};

// The trading day of the wholesale tests, invoices 3 (bolt) and 40000
// (nut) in every book, the voucher 9, and the users "all" and "none".
void shop(Harness& h) {
    startTradingDay(h);
    for (const char* t : {"SALES_INVOICE", "SALES_INVO_GROUP", "RETURN_INVOICE", "BUY_INVOICE"})
        h.exec(std::string("INSERT INTO ") + t + " (INVO_NO, MED_NAME1, QNTITY1, STATUS_SUB) " +
               "VALUES (3, 'bolt', 1, 1), (40000, 'nut', 2, 1)");
    h.exec("INSERT INTO COAST_INVO_GROUP (INVO_NO, MED_NAME1, STATUS_SUB) VALUES (9, 'bolt', 1)");
    addUser(h, "all", "pw", {"sell-inv", "sell-inv_group", "return_invo", "buy_inv"});
    addUser(h, "none", "pw");
}

void search(Harness& h, const SearchView& v, const char* user) {
    h.menu(v.window, v.item);
    login(h, v.login, user, "pw");
}

TEST(SearchLogin, EveryInvoiceWindowFindsShowsAndWaitsAsOne) {
    for (const SearchView& v : kViews) {
        SCOPED_TRACE(v.window);
        Harness h;
        shop(h);
        h.menu("Form1", v.menu);
        Form& f = h.form(v.window);
        EXPECT_TRUE(roomClearOfControls(f));  // for the lines it prints
        h.dialogs.clear();
        search(h, v, "none");
        EXPECT_EQ(h.messageTexts(), std::vector<std::string>{"ليست لديك هذه الصلاحية."});
        EXPECT_EQ(h.dialogs.shown().size(), 1u);  // no prompt
        h.dialogs.cancelInput();
        login(h, v.login, "all", "pw");
        EXPECT_TRUE(h.app.isLoaded(v.login));
        EXPECT_EQ(h.caption(v.window, v.user), v.userBeforePrompt ? "all" : "");

        h.answerInput("40000.0");
        login(h, v.login, "all", "pw");
        EXPECT_FALSE(h.app.isLoaded(v.login));
        EXPECT_EQ(h.text(v.window, "Text1", 0) + "|" + h.text(v.window, "DataCombo1", 0) + "|" +
                      h.caption(v.window, v.user) + "|" + h.caption(v.window, "Label5"),
                  "40000|nut|all|40000.0");
        EXPECT_TRUE(f.label(v.current).visible);
        EXPECT_TRUE(f.control("Text3", 31).isShowing());  // every line of it
        EXPECT_TRUE(roomClearOfControls(f));
        for (const char* typed : {"7.5", "abc", "99"}) {
            h.answerInput(typed);
            search(h, v, "all");
            EXPECT_EQ(h.lastMessage(), " unable to find that item ") << typed;
            EXPECT_FALSE(h.app.isLoaded(v.login));
            EXPECT_EQ(h.text(v.window, "Text1", 0) + " " + h.caption(v.window, "Label5"),
                      std::string("40000 ") + typed);
        }

        // While an invoice is added no search runs; add laid out entry again.
        h.click(v.window, "cmdaction", 0);
        EXPECT_FALSE(f.control("Text3", 31).visible);
        EXPECT_FALSE(f.label(v.current).visible);
        h.dialogs.clear();
        h.menu(v.window, v.item);
        if (h.app.isLoaded(v.login)) login(h, v.login, "all", "pw");
        EXPECT_EQ(h.lastMessage(), kSearchWhileOpen);
        EXPECT_EQ(h.text(v.window, "Text1", 0), "40001");
    }
}

// After a re-read the window holds a second row of the number: the first
// wins. Line 2's row, moved up by the stepping, is back in place.
TEST(SearchLogin, TheFirstOfTwoInvoicesWinsAndTheLinesAreBackInPlace) {
    Harness h;
    shop(h);
    h.menu("Form1", "SALES_IN");
    h.choose("Form3", "DataCombo3", "G1");
    enterLines(h, {{"nut", "1"}, {"bolt", "1"}});
    save(h);
    Form& f = h.form("Form3");
    EXPECT_NE(f.textBox("Text3", 1).top, f.textBox("Text3", 1).design.top);
    h.exec("INSERT INTO SALES_INVOICE (INVO_NO, MED_NAME1) VALUES (3, 'later')");
    h.click("Form3", "cmdaction", 0);
    cancel(h, "Form3");
    h.answerInput("3");
    search(h, kViews[0], "all");
    EXPECT_EQ(h.text("Form3", "DataCombo1", 0), "bolt");  // invoice 3 itself, not "later"
    EXPECT_EQ(f.adodc("Adodc2").recordset().absolutePosition(), 1);
    EXPECT_EQ(f.textBox("Text3", 1).top, f.textBox("Text3", 1).design.top);
    EXPECT_TRUE(f.checkBox("Check4").enabled);  // the exit flag is left as it was
}

// The issue voucher window searches the wholesale invoices, never its own
// vouchers, and shows the one found in the wholesale window, unseen.
TEST(SearchLogin, TheVoucherWindowsSearchActsOnTheWholesaleInvoicesOnly) {
    Harness h;
    shop(h);
    h.menu("Form1", "sellgroup");
    const SearchView fromVouchers = {"", "Form53", "SERARCH_INVO", "Form43", "", "", "", false};
    h.answerInput("9");
    search(h, fromVouchers, "all");
    EXPECT_EQ(h.lastMessage(), " unable to find that item ");
    EXPECT_FALSE(h.app.isLoaded("Form43"));
    ASSERT_TRUE(h.app.isLoaded("Form42"));
    EXPECT_TRUE(h.form("Form53").frame("Frame1").visible);
    h.answerInput("40000");
    search(h, fromVouchers, "all");
    EXPECT_EQ(h.text("Form42", "Text1", 0) + " " + h.text("Form53", "Text1", 0), "40000 9");
    EXPECT_FALSE(h.form("Form42").visible());
}

}  // namespace
}  // namespace mk
