#include <gtest/gtest.h>

#include "access/access_steps.h"
#include "sales/invoice_window.h"
#include "sales/sales_steps.h"

namespace mk {
namespace {

using namespace test;

struct SearchLoginTest : ::testing::Test {
    SearchLoginTest() {
        openRetail(h, "('bolt', 10, 5, 1), ('nut', 20, 2, 1)");
        h.choose("Form3", "DataCombo3", "G1");
        enterLines(h, {{"bolt", "1"}});
        save(h, answer::Yes);  // 3
        h.choose("Form3", "DataCombo3", "G1");
        enterLines(h, {{"nut", "2"}, {"bolt", "1"}});
        save(h);  // 4
        addUser(h, "sara", "pw1", {"sell-inv"});
        addUser(h, "omar", "pw2", {"sell-inv_group"});
    }
    void search(const std::string& user, const std::string& password) {
        h.menu("Form3", "INV_NO");
        login(h, "Form14", user, password);
    }
    Harness h;
};

TEST_F(SearchLoginTest, RefusalsKeepTheLoginAndAFoundInvoiceIsShownForViewing) {
    h.menu("Form3", "INV_NO");
    EXPECT_EQ(h.form("Form14").caption, "Form14");
    h.dialogs.clear();
    login(h, "Form14", "omar", "pw2");  // lacks the right: no prompt
    EXPECT_EQ(h.messageTexts(), std::vector<std::string>{"ليست لديك هذه الصلاحية."});
    EXPECT_EQ(h.lastTitle(), "Attention");
    EXPECT_EQ(h.dialogs.shown().size(), 1u);
    h.dialogs.cancelInput();
    login(h, "Form14", "sara", "pw1");  // an empty answer keeps the login
    EXPECT_TRUE(h.app.isLoaded("Form14"));
    EXPECT_FALSE(h.form("Form3").label("Label10").visible);

    EXPECT_NE(h.form("Form3").textBox("Text3", 1).top, h.form("Form3").textBox("Text3", 1).design.top);
    h.answerInput("3.0");
    login(h, "Form14", "sara", "pw1");
    EXPECT_FALSE(h.app.isLoaded("Form14"));
    Form& f = h.form("Form3");
    EXPECT_EQ(h.text("Form3", "Text1", 0), "3");
    EXPECT_EQ(h.text("Form3", "DataCombo1", 0), "bolt");
    EXPECT_EQ(h.caption("Form3", "Label15"), "sara");
    EXPECT_EQ(h.caption("Form3", "Label5"), "3.0");
    EXPECT_TRUE(f.label("Label10").visible);
    EXPECT_FALSE(f.button("Command2").visible);
    EXPECT_FALSE(f.picture("Picture1").visible);
    for (int i = 0; i < 32; ++i) EXPECT_TRUE(f.textBox("Text5", i).visible) << i;
    EXPECT_TRUE(f.label("Label1", 10).visible);
    // Line 2's row, moved to the entry line by the stepping, is back in place.
    EXPECT_EQ(f.textBox("Text3", 1).top, f.textBox("Text3", 1).design.top);
    EXPECT_TRUE(f.checkBox("Check4").enabled);  // the exit flag is left as it was
}

TEST_F(SearchLoginTest, NotFoundStaysOnTheShownInvoiceAndTheFirstOfTwoWins) {
    h.exec("INSERT INTO SALES_INVOICE (INVO_NO, MED_NAME1) VALUES (4, 'later')");
    Form& f = h.form("Form3");
    h.app.navigate(f.adodc("Adodc2"), Nav::Last);
    for (const char* typed : {"7.5", "abc", "99"}) {
        h.dialogs.clear();
        h.answerInput(typed);
        search("sara", "pw1");
        EXPECT_EQ(h.lastMessage(), " unable to find that item ") << typed;
        EXPECT_FALSE(h.app.isLoaded("Form14"));
        EXPECT_EQ(h.text("Form3", "Text1", 0), "4") << typed;
        EXPECT_EQ(h.caption("Form3", "Label5"), typed);
    }
    // After a re-read the window holds the duplicate too; the first wins.
    h.answer(answer::Yes);
    h.click("Form3", "cmdaction", 0);
    h.click("Form3", "cmdaction", 1);
    h.answerInput("4");
    search("sara", "pw1");
    EXPECT_EQ(h.text("Form3", "DataCombo1", 0), "nut");  // invoice 4 itself, not "later"
    EXPECT_EQ(f.adodc("Adodc2").recordset().absolutePosition(), 2);
}

TEST_F(SearchLoginTest, ASearchWaitsForTheOpenInvoiceAndAddLaysOutLineOneAgain) {
    h.menu("Form3", "INV_NO");  // the login is open when an invoice is added
    h.click("Form3", "cmdaction", 0);
    h.dialogs.clear();
    login(h, "Form14", "sara", "pw1");
    h.menu("Form3", "INV_NO");
    EXPECT_EQ(h.messageTexts(), std::vector<std::string>(2, kSearchWhileOpen));
    EXPECT_TRUE(h.app.isLoaded("Form14"));
    EXPECT_EQ(h.count("SALES_INVOICE"), 2);
    h.click("Form14", "Command2");
    h.answer(answer::Yes);
    h.click("Form3", "cmdaction", 1);

    h.answerInput("3");
    search("sara", "pw1");
    Form& f = h.form("Form3");
    enterLines(h, {{"nut", "1"}, {"bolt", "1"}});
    EXPECT_TRUE(f.button("Command2").visible);
    EXPECT_FALSE(f.textBox("Text5", 0).visible);  // stepped on to line 2
    EXPECT_FALSE(f.textBox("Text5", 31).visible);
    EXPECT_FALSE(f.label("Label1", 10).visible);
    save(h);
    EXPECT_EQ(h.count("SALES_INVOICE"), 3);
    EXPECT_EQ(lastBox(h, "MONEY"), 5 + 9 + 7);
}

}  // namespace
}  // namespace mk
