#include <gtest/gtest.h>

#include "access/access_steps.h"
#include "accounts/cashbox.h"

namespace mk {
namespace {

// A posting window of its own: a data control on BOX opened at load.
class Poster : public Form {
public:
    Poster(Application& a, std::string name) : Form(a, std::move(name)) {
        Adodc1 = add<Adodc>("Adodc1", -1, Geometry{0, 0, 2400, 375});
    }
    void Form_Load() override { bindTable(*Adodc1, "BOX"); }
    Adodc* Adodc1;
};

struct CashBoxTest : ::testing::Test {
    CashBoxTest() {
        for (const char* n : {"PosterA", "PosterB"})
            h.app.registerForm(n, [n](Application& a) { return std::make_unique<Poster>(a, n); });
    }
    Adodc& box(const std::string& f) { return h.form(f).adodc("Adodc1"); }
    double money(long row) { return toDouble(h.cell("BOX", row, "MONEY")); }
    test::Harness h;
};

TEST_F(CashBoxTest, PostingsFromTwoWindowsInARowAreBothCounted) {
    Adodc& a = box("PosterA");  // both read the ledger before either posts
    Adodc& b = box("PosterB");
    h.machine.action([&] { postCash(a, {CashFlow::In, 1000.0, "06/12/2026", "RECEIVED_INV", 3}); });
    postCash(b, {CashFlow::In, Value("100"), "06/12/2026", "RECEIVED_INV", "4"});
    postCash(a, {CashFlow::Out, 300.0, Value::date(makeDate(2026, 12, 6)), "OUT_INV", 5});
    ASSERT_EQ(h.count("BOX"), 4);
    EXPECT_EQ((std::vector<double>{money(1), money(2), money(3)}),
              (std::vector<double>{1000, 1100, 800}));
    EXPECT_EQ(toDouble(h.cell("BOX", 2, "MONEY_RECIVED")), 100);
    EXPECT_EQ(toDouble(h.cell("BOX", 3, "MONEY_OUT")), 300);
    EXPECT_TRUE(h.cell("BOX", 3, "MONEY_RECIVED").isNull());
    EXPECT_EQ(toDate(h.cell("BOX", 3, "DATE")), makeDate(2026, 12, 6));

    // A bad amount appends nothing.
    EXPECT_THROW(h.machine.action([&] {
        postCash(b, {CashFlow::In, Value("12abc"), "06/12/2026", "OUT_INVOICE", 1});
    }),
                 RuntimeError);
    EXPECT_EQ(h.count("BOX"), 4);
}

TEST_F(CashBoxTest, TheCashBoxWindowShowsTheBalanceOfItsLoad) {
    postCash(box("PosterA"), {CashFlow::In, 250.5, "06/12/2026", "OUT_INVOICE", 7});
    h.show("Form34");
    EXPECT_EQ(h.text("Form34", "Text1"), "250.5");
    // A voucher posted elsewhere does not move it; a wage paid through it does.
    postCash(box("PosterB"), {CashFlow::Out, 50.0, "06/12/2026", "OUT_INV", 2});
    EXPECT_EQ(h.text("Form34", "Text1"), "250.5");
    postCash(box("Form34"), {CashFlow::Out, 100.0, "06/12/2026", "emplyee_name", "Mona"});
    EXPECT_EQ(h.text("Form34", "Text1"), "100.5");
}

}  // namespace
}  // namespace mk
