#include <gtest/gtest.h>

#include "access/standins.h"
#include "accounts/cashbox.h"

namespace mk {
namespace {

using test::Harness;

// A posting window of its own: a data control on BOX opened at load.
class Poster : public Form {
public:
    explicit Poster(Application& a, std::string name) : Form(a, std::move(name)) {
        Adodc1 = add<Adodc>("Adodc1", -1, Geometry{0, 0, 2400, 375});
    }
    void Form_Load() override { bindTable(*Adodc1, "BOX"); }
    Adodc* Adodc1;
};

struct CashBoxTest : ::testing::Test {
    CashBoxTest() {
        test::registerStandIns(h.app);
        for (const char* n : {"PosterA", "PosterB"})
            h.app.registerForm(n, [n](Application& a) { return std::make_unique<Poster>(a, n); });
    }
    Adodc& box(const std::string& f) { return h.form(f).adodc("Adodc1"); }
    double lastMoney() { return toDouble(h.cell("BOX", h.count("BOX") - 1, "MONEY")); }
    Harness h;
};

TEST_F(CashBoxTest, PostingsFromTwoWindowsInARowAreBothCounted) {
    // Both windows read the ledger before either posts.
    Adodc& a = box("PosterA");
    Adodc& b = box("PosterB");
    h.machine.action([&] {
        postCash(a, {CashFlow::In, 1000.0, "06/12/2026", "RECEIVED_INV", Value::i16(3)});
    });
    h.machine.action([&] {
        postCash(b, {CashFlow::In, Value("100"), "06/12/2026", "RECEIVED_INV", "4"});
    });
    EXPECT_EQ(postCash(a, {CashFlow::Out, 300.0, Value::date(makeDate(2026, 12, 6)), "OUT_INV",
                           Value::i16(5)}),
              800);
    postCash(b, {CashFlow::Out, 0.0, "06/12/2026", "emplyee_name", "Hassan"});
    ASSERT_EQ(h.count("BOX"), 5);
    EXPECT_EQ(lastMoney(), 800);
    EXPECT_EQ(toDouble(h.cell("BOX", 2, "MONEY")), 1100);
    EXPECT_EQ(toDouble(h.cell("BOX", 2, "MONEY_RECIVED")), 100);
    EXPECT_EQ(toInt16(h.cell("BOX", 2, "RECEIVED_INV")), 4);
    EXPECT_EQ(toDouble(h.cell("BOX", 3, "MONEY_OUT")), 300);
    EXPECT_TRUE(h.cell("BOX", 3, "MONEY_RECIVED").isNull());
    EXPECT_EQ(toDate(h.cell("BOX", 3, "DATE")), makeDate(2026, 12, 6));
    EXPECT_EQ(toText(h.cell("BOX", 4, "emplyee_name")), "Hassan");
    // Each control stands on the row it appended.
    EXPECT_EQ(toDouble(a.recordset().field("MONEY")), 800);
}

TEST_F(CashBoxTest, ABadAmountAppendsNothing) {
    Adodc& a = box("PosterA");
    EXPECT_THROW(h.machine.action([&] {
        postCash(a, {CashFlow::In, Value("12abc"), "06/12/2026", "OUT_INVOICE", Value::i16(1)});
    }),
                 RuntimeError);
    EXPECT_THROW(postCash(a, {CashFlow::In, 5.0, "06/12/2026", "MONEY", 1}), RuntimeError);
    EXPECT_EQ(h.count("BOX"), 1);
}

TEST_F(CashBoxTest, TheCashBoxWindowShowsTheBalanceOfItsLoad) {
    postCash(box("PosterA"), {CashFlow::In, 250.5, "06/12/2026", "OUT_INVOICE", Value::i16(7)});
    Form& f = h.show("Form34");
    EXPECT_EQ(toDouble(Value(h.text("Form34", "Text1"))), 250.5);
    EXPECT_EQ(f.caption, " صندوق " + companyTitle(h.app));
    EXPECT_TRUE(f.textBox("Text1").locked);
    // A voucher posted elsewhere does not move it; a posting through it does.
    postCash(box("PosterB"), {CashFlow::Out, 50.0, "06/12/2026", "OUT_INV", Value::i16(2)});
    EXPECT_EQ(toDouble(Value(h.text("Form34", "Text1"))), 250.5);
    postCash(box("Form34"), {CashFlow::Out, 100.0, "06/12/2026", "emplyee_name", "Mona"});
    EXPECT_EQ(toDouble(Value(h.text("Form34", "Text1"))), 100.5);
}

}  // namespace
}  // namespace mk
