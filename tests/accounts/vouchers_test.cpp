// Receipt and payment vouchers: posted once to the cash box and the
// customer's debt, exactly, from the rows as they stand; refused before any
// write; found again and listed.
#include <gtest/gtest.h>

#include "access/access_steps.h"
#include "accounts/money_posting.h"
#include "app/steps.h"

namespace mk {
namespace {

using namespace test;

constexpr const char* kReceiptPosted =
    " تم خصم المبلغ المستلم من مديونية العميل و إضافته الى رصيد صندوق الشركة ";
constexpr const char* kBadNumber = "رقم الإذن غير صحيح أو مستخدم من قبل";

struct VouchersTest : ::testing::Test {
    VouchersTest() { h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Hala', 1500), ('Omar', 1000)"); }
    // Opens a voucher window from the main window's menu, as a user does.
    void open(const std::string& form) {
        h.show("Form1");
        h.menu("Form1", form == "Form35" ? "PAY" : "ECEIVE");
    }
    // Add, fill and save a voucher (or post it while adding).
    void enter(const std::string& form, const std::string& party, const std::string& amount,
               bool postWhileAdding = false) {
        open(form);
        h.click(form, "cmdaction", 0);
        h.type(form, form == "Form35" ? "DataCombo1" : "Text6", party);
        h.type(form, "Text2", amount);
        h.click(form, postWhileAdding ? "Command2" : "cmdaction", postWhileAdding ? -1 : 0);
    }
    bool postVisible() { return h.form("Form35").button("Command2").visible; }
    Harness h;
};

TEST_F(VouchersTest, AReceiptLowersTheDebtAndRaisesTheCashOnce) {
    enter("Form35", "Hala", "200");
    EXPECT_TRUE(postVisible());
    h.dialogs.onShown = [&](const auto&) { EXPECT_EQ(h.committedCount("BOX"), 2); };
    h.click("Form35", "Command2");
    h.dialogs.onShown = nullptr;
    ASSERT_EQ(h.count("BOX"), 2);
    EXPECT_EQ(row(h, "BOX", 1, {"MONEY", "MONEY_RECIVED", "RECEIVED_INV", "DATE"}),
              "200|200|3|06/12/2026");
    EXPECT_EQ(col(h, "BUYER", "MONEY"), "1300|1000");
    EXPECT_EQ(h.lastMessage(), kReceiptPosted);
    EXPECT_FALSE(postVisible());
    EXPECT_EQ(h.cell("REVEIVED_MONEY", 0, "POSTED"), Value(true));
    // The main window's totals and the cash box window show the receipt.
    EXPECT_EQ(h.caption("Form1", "Label23", 0) + " " + h.caption("Form1", "Label23", 2), "2300 200");
    h.menu("Form1", "BOX_MANGEMENT");
    EXPECT_EQ(h.text("Form34", "Text1"), "200");

    // Add shows the post button again; cancelled, the posted voucher is on
    // show and posting it again is refused.
    h.click("Form35", "cmdaction", 0);
    h.answer(answer::Yes);
    h.click("Form35", "cmdaction", 1);
    EXPECT_TRUE(h.form("Form35").textBox("Text2").locked);
    h.click("Form35", "Command2");
    EXPECT_EQ(h.lastMessage(), "تم ترحيل هذا الإذن من قبل");
    EXPECT_EQ(h.count("BOX"), 2);
    EXPECT_EQ(col(h, "BUYER", "MONEY"), "1300|1000");
}

TEST_F(VouchersTest, PostingWhileAddingSavesFirstAndPostsTheStoredRowExactly) {
    h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Omar', 1000)");  // a name stored twice
    enter("Form35", "Omar", "100.5", true);
    EXPECT_EQ(h.count("REVEIVED_MONEY"), 1);
    EXPECT_EQ(h.cell("REVEIVED_MONEY", 0, "POSTED"), Value(true));
    // Exact, no whole-number rounding; the first row of the name only.
    EXPECT_EQ(toDouble(h.cell("BUYER", 1, "MONEY")), 899.5);
    EXPECT_EQ(toDouble(h.cell("BUYER", 2, "MONEY")), 1000);
    EXPECT_EQ(cashBalance(h.db()), 100.5);
    EXPECT_EQ(h.caption("Form35", "cmdaction", 0) + h.text("Form35", "Label6"), "&add3");
    EXPECT_TRUE(h.form("Form35").adodc("Adodc1").enabled);  // browsing again
    h.click("Form35", "Command2");  // a second press posts nothing
    EXPECT_EQ(h.count("BOX"), 2);
}

TEST_F(VouchersTest, AnUnknownCustomerOrABadVoucherWritesNothing) {
    enter("Form35", "hala", "200", true);  // letter case counts
    EXPECT_EQ(h.lastMessage(), "العميل hala غير موجود فى جدول العملاء، إختر العميل من القائمة");
    enter("Form35", ".", "200");
    EXPECT_EQ(h.lastMessage(), "يجب إختيار العميل من القائمة أولا");
    EXPECT_EQ(h.caption("Form35", "cmdaction", 0), "&save");  // still adding
    h.type("Form35", "DataCombo1", "Hala");
    for (const char* amount : {"0", "-5", "abc", ""}) {
        h.type("Form35", "Text2", amount);
        h.click("Form35", "Command2");
        EXPECT_EQ(h.lastMessage(), "أدخل قيمة المبلغ رقما أكبر من صفر") << amount;
    }
    h.type("Form35", "Text2", "50");
    for (const char* number : {"2147483648", "0", "2.5", "x"}) {
        h.type("Form35", "Text1", number);
        h.click("Form35", "cmdaction", 0);
        EXPECT_EQ(h.lastMessage(), kBadNumber) << number;
    }
    EXPECT_EQ(h.count("REVEIVED_MONEY") + h.count("BOX"), 1);
    EXPECT_EQ(col(h, "BUYER", "MONEY"), "1500|1000");
}

TEST_F(VouchersTest, NumbersAreProposedAfreshAndNeverReused) {
    h.exec("INSERT INTO MONEY_OUT (INVO_NO, MONEY) VALUES (1, 5), (17, 5), (2, 5)");
    open("Form41");
    EXPECT_EQ(h.text("Form41", "Label6"), "17");
    enter("Form41", "Sami", "10");
    EXPECT_EQ(toText(h.cell("MONEY_OUT", 3, "INVO_NO")) + " " + h.text("Form41", "Label6"), "18 18");
    h.click("Form41", "cmdaction", 0);
    EXPECT_EQ(h.text("Form41", "Text1"), "19");
    h.type("Form41", "Text1", "17");
    h.type("Form41", "Text2", "10");
    h.click("Form41", "cmdaction", 0);
    EXPECT_EQ(h.lastMessage(), kBadNumber);
    EXPECT_EQ(h.count("MONEY_OUT"), 4);

    Harness fresh;
    fresh.show("Form1");
    fresh.menu("Form1", "PAY");
    fresh.click("Form35", "cmdaction", 0);
    EXPECT_EQ(fresh.text("Form35", "Text1"), "3");  // an empty table starts from 2
}

// Postings start from the rows as they stand: a debt edited in the
// customers window after the voucher window opened, a cash box row another
// posting appended.
TEST_F(VouchersTest, PostingsStartFromTheTrueDebtAndCashBalance) {
    open("Form35");
    h.menu("Form1", "BUYER");
    h.app.navigate(h.form("Form6").adodc("Adodc1"), Nav::First);  // the totals left it at the end
    h.click("Form6", "cmdaction", 2);
    h.type("Form6", "Text2", "2000");
    h.click("Form6", "cmdaction", 2);
    enter("Form41", "Sami", "300", true);
    EXPECT_EQ(h.lastMessage(), " تم طرح المبلغ المنصرف من رصيد الصندوق ");
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY", "MONEY_OUT", "OUT_INV"}), "-300|300|3");  // kept negative
    enter("Form35", "Hala", "200", true);
    EXPECT_EQ(toDouble(h.cell("BUYER", 0, "MONEY")), 1800);
    h.machine.action([&] {
        applyPayment(h.db(), planPayment(h.db(), {.total = 100, .referenceField = "OUT_INVOICE",
                                                  .reference = Value(9), .date = Value("6/12/2026")}));
    });
    enter("Form35", "Hala", "50", true);
    EXPECT_EQ(col(h, "BOX", "MONEY"), "0|-300|-100|0|50");
    h.form("Form34").Unload();
    h.menu("Form1", "BOX_MANGEMENT");
    EXPECT_EQ(h.text("Form34", "Text1"), "50");
    h.click("Form34", "Command2");
    EXPECT_TRUE(h.form("Form41").visible());
}

TEST_F(VouchersTest, SearchShowsTheVoucherAndTheSearchLine) {
    h.exec("INSERT INTO REVEIVED_MONEY (INVO_NO, MONEY, BUYER) VALUES (5, 1, 'Hala'), (12, 2, 'Omar')");
    open("Form35");
    h.answerInput("12");
    h.menu("Form35", "SEARCH");
    EXPECT_EQ(h.text("Form35", "DataCombo1") + h.text("Form35", "Label8"), "Omar12");
    EXPECT_EQ(h.text("Form35", "Label9"), " أذن الاستلام رقم");
    EXPECT_EQ(h.text("Form35", "Label6"), "");
    h.answerInput("99");
    h.menu("Form35", "SEARCH");
    EXPECT_EQ(h.lastMessage(), " unable to find that item ");
    // Nothing on show: nothing to post.
    h.click("Form35", "cmdaction", 0);
    h.answer(answer::Yes);
    h.click("Form35", "cmdaction", 1);
    h.answerInput("99");
    h.menu("Form35", "SEARCH");
    h.click("Form35", "Command2");
    EXPECT_EQ(h.lastMessage(), "لا يوجد إذن معروض للترحيل");
    EXPECT_EQ(h.count("BOX"), 1);
}

TEST_F(VouchersTest, TheViewListsTheReceiptsOfTheCustomerOnShow) {
    h.exec("INSERT INTO REVEIVED_MONEY (INVO_NO, MONEY, DATES, BUYER) VALUES "
           "(5, 250.5, '2026-12-01', 'Hala'), (7, 80, '2026-12-01', 'hala'), "
           "(9, 251.5, '2026-12-02', 'Hala'), (11, 5, '2026-12-02', 'Hala '), "
           "(12, 1000, '2026-12-03', 'Hala')");
    h.show("Form1");
    h.menu("Form1", "BUYER");
    h.app.navigate(h.form("Form6").adodc("Adodc1"), Nav::First);  // the totals left it at the end
    h.click("Form6", "Command3");
    const auto& lines = h.lines("Form39");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], std::string(11, ' '));
    EXPECT_EQ(lines[3], formatPrintLine({zone, 250, zone, Value::date(makeDate(2026, 12, 1)), zone,
                                        Value::i32(5)}));
    EXPECT_EQ(lines[4], formatPrintLine({zone, 252, zone, Value::date(makeDate(2026, 12, 2)), zone,
                                        Value::i32(9)}));
    EXPECT_NE(lines[5].find("1000"), std::string::npos);
    EXPECT_EQ(h.form("Form39").caption->rfind("حركة تعاملات أذون Hala", 0), 0u);

    // Shown again for a customer without receipts: a fresh, empty list.
    h.close("Form39");
    h.app.navigate(h.form("Form6").adodc("Adodc1"), Nav::Next);
    h.click("Form6", "Command3");
    EXPECT_EQ(h.lines("Form39").size(), 3u);
    EXPECT_EQ(h.lastMessage(), "لا توجد أذون إستلام لهذا العميل  ");
}

}  // namespace
}  // namespace mk
