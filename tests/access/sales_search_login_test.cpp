#include <gtest/gtest.h>

#include "access/access_steps.h"
#include "sales/invoice_window.h"
#include "sales/wholesale_steps.h"

namespace mk {
namespace {

using namespace test;

// The searches of the wholesale windows (Form43) and the returns window
// (Form45); invoice numbers run past 32767.
struct SalesSearchTest : ::testing::Test {
    SalesSearchTest() {
        startTradingDay(h);
        h.exec("INSERT INTO SALES_INVO_GROUP (INVO_NO, MED_NAME1, QNTITY1, STATUS_SUB) "
               "VALUES (3, 'bolt', 1, 1), (40000, 'nut', 2, 1)");
        h.exec("INSERT INTO COAST_INVO_GROUP (INVO_NO, MED_NAME1, STATUS_SUB) "
               "VALUES (9, 'bolt', 1)");
        h.exec("INSERT INTO RETURN_INVOICE (INVO_NO, MED_NAME1, PRICE1, STATUS_SUB) "
               "VALUES (3, 'nut', 7, 1), (5, 'bolt', 2, 1)");
        addUser(h, "omar", "pw2", {"sell-inv_group"});
        addUser(h, "rana", "pw3", {"return_invo"});
    }
    void search(const std::string& window, const char* item, const std::string& login,
                const std::string& user, const std::string& password) {
        h.menu(window, item);
        test::login(h, login, user, password);
    }
    Harness h;
};

TEST_F(SalesSearchTest, TheWholesaleSearchShowsTheInvoiceForViewingAndAddBringsBackThePayment) {
    h.menu("Form1", "saleslarge");
    h.menu("Form42", "SERARCH_INVO");
    EXPECT_EQ(h.form("Form43").caption, " دخول مستخدمين " + companyTitle(h.app));
    h.dialogs.clear();
    login(h, "Form43", "rana", "pw3");
    EXPECT_EQ(h.messageTexts(), std::vector<std::string>{"ليست لديك هذه الصلاحية."});
    EXPECT_EQ(h.dialogs.shown().size(), 1u);  // no prompt
    h.dialogs.cancelInput();
    login(h, "Form43", "omar", "pw2");
    EXPECT_TRUE(h.app.isLoaded("Form43"));

    h.answerInput("40000");
    login(h, "Form43", "omar", "pw2");
    EXPECT_FALSE(h.app.isLoaded("Form43"));
    Form& f = h.form("Form42");
    EXPECT_EQ(h.text("Form42", "Text1", 0), "40000");
    EXPECT_EQ(h.text("Form42", "DataCombo1", 0), "nut");
    EXPECT_EQ(h.caption("Form42", "Label13"), "omar");
    EXPECT_EQ(h.caption("Form42", "Label5"), "40000");
    EXPECT_TRUE(f.label("Label3").visible);
    EXPECT_FALSE(f.frame("Frame1").visible);
    EXPECT_FALSE(f.button("Command3").visible);
    EXPECT_FALSE(f.picture("Picture1").visible);
    EXPECT_TRUE(f.checkBox("Check4").enabled);
    EXPECT_EQ(f.height, 9500);
    for (int i = 0; i < 32; ++i) EXPECT_TRUE(f.textBox("Text5", i).visible) << i;
    for (int i = 32; i < 37; ++i) EXPECT_TRUE(f.label("Label2", i).visible) << i;
    EXPECT_EQ(f.label("Label2", 33).caption(), "أسم قطعة الغيار");

    // Add brings back the payment frame and the line stepping; no search
    // while the invoice is open; it saves.
    h.choose("Form42", "DataCombo3", "G1");
    enterWholesale(h, "Form42", {{"bolt", "1"}, {"nut", "1"}});
    EXPECT_TRUE(f.frame("Frame1").visible);
    EXPECT_FALSE(f.textBox("Text5", 31).visible);
    h.dialogs.clear();
    h.menu("Form42", "SERARCH_INVO");
    EXPECT_EQ(h.lastMessage(), kSearchWhileOpen);
    EXPECT_FALSE(h.app.isLoaded("Form43"));
    h.choose("Form42", "DataCombo2", "Hala");
    h.click("Form42", "Option1");
    h.answer(answer::OK);
    h.answer(answer::No);
    h.click("Form42", "cmdaction", 0);
    EXPECT_EQ(h.count("SALES_INVO_GROUP"), 3);
    EXPECT_EQ(lastBox(h, "MONEY"), 1020);
}

TEST_F(SalesSearchTest, TheVoucherWindowsSearchActsOnTheWholesaleInvoicesOnly) {
    h.menu("Form1", "sellgroup");
    h.answerInput("9");  // a voucher's number only
    search("Form53", "SERARCH_INVO", "Form43", "omar", "pw2");
    EXPECT_EQ(h.lastMessage(), " unable to find that item ");
    EXPECT_FALSE(h.app.isLoaded("Form43"));
    ASSERT_TRUE(h.app.isLoaded("Form42"));
    EXPECT_FALSE(h.form("Form42").visible());  // loaded unseen
    EXPECT_TRUE(h.form("Form53").frame("Frame1").visible);

    h.answerInput("40000.0");
    search("Form53", "SERARCH_INVO", "Form43", "omar", "pw2");
    EXPECT_EQ(h.text("Form42", "Text1", 0), "40000");
    EXPECT_EQ(h.text("Form53", "Text1", 0), "9");  // the voucher window stays
    EXPECT_FALSE(h.form("Form42").visible());
}

TEST_F(SalesSearchTest, TheReturnsSearchFindsAReturnAndWaitsForAnOpenOne) {
    h.menu("Form1", "returne");
    search("Form28", "search_invo_no", "Form45", "omar", "pw2");
    EXPECT_EQ(h.lastMessage(), "ليست لديك هذه الصلاحية.");
    EXPECT_EQ(h.form("Form45").caption, " دخول مستخدمين " + companyTitle(h.app));
    h.click("Form45", "Command2");
    EXPECT_FALSE(h.app.isLoaded("Form45"));

    h.answerInput("5");
    search("Form28", "search_invo_no", "Form45", "rana", "pw3");
    Form& f = h.form("Form28");
    EXPECT_EQ(h.text("Form28", "Text1", 0), "5");
    EXPECT_EQ(h.text("Form28", "Text6", 0), "2");
    EXPECT_EQ(h.caption("Form28", "Label9"), "rana");
    EXPECT_EQ(h.caption("Form28", "Label5"), "5");
    EXPECT_TRUE(f.label("Label7").visible);
    EXPECT_FALSE(f.button("Command1").visible);
    for (int i = 0; i < 32; ++i) EXPECT_TRUE(f.textBox("Text4", i).visible) << i;
    EXPECT_TRUE(f.label("Label1", 6).visible);
    EXPECT_EQ(f.label("Label1", 10).caption(), "تاريخ الإستيراد");
    EXPECT_EQ(f.label("Label1", 11).caption(), "السعر");
    EXPECT_TRUE(f.checkBox("Check3").enabled);  // its exit flag as it was

    h.choose("Form28", "DataCombo3", "G1");
    h.click("Form28", "cmdaction", 0);
    h.dialogs.clear();
    search("Form28", "search_invo_no", "Form45", "rana", "pw3");
    EXPECT_EQ(h.lastMessage(),
              "لا يمكن البحث أثناء إدخال أو تعديل فاتورة، أحفظ الفاتورة أو ألغها أولا");
    EXPECT_EQ(h.count("RETURN_INVOICE"), 2);
}

}  // namespace
}  // namespace mk
