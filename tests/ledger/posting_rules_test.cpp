// The posting rules of money and stock, without a window.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ledger/money_posting.h"
#include "ledger/stock_posting.h"
#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

struct MoneyPostingTest : ::testing::Test {
    MoneyPostingTest() {
        h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Hala', 40), ('Hala', 5), ('Sami', NULL)");
        h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Acme', 100)");
    }
    static Payment pay(PaymentKind kind, const PartnerTable* partners, const std::string& partner,
                       double total, double paid = 0, CashFlow flow = CashFlow::In) {
        return {.partners = partners, .partner = partner, .kind = kind, .total = total,
                .paidNow = paid, .flow = flow, .referenceField = "RECEIVED_INV",
                .reference = Value(3), .date = Value("06/12/2026")};
    }
    PaymentPlan post(const Payment& p) {
        PaymentPlan plan;
        h.machine.action([&] {
            plan = planPayment(h.db(), p);
            if (plan.ok()) applyPayment(h.db(), plan);
        });
        return plan;
    }
    std::vector<double> money(const std::string& table) {
        std::vector<double> out;
        for (const Value& v : h.column(table, "MONEY")) out.push_back(toDouble(v));
        return out;
    }
    Harness h{Harness::Windows::None};
};

TEST_F(MoneyPostingTest, EachKindMovesTheCashBoxAndTheFirstPartnerRowAsExactDoubles) {
    EXPECT_EQ(post(pay(PaymentKind::Cash, nullptr, "", 150)).cash, 150);
    const PaymentPlan credit = post(pay(PaymentKind::Credit, &kBuyers, "Hala", 100.5));
    EXPECT_FALSE(credit.cashRow);
    EXPECT_EQ(credit.balance, 140.5);
    // Another window appended a row: the next posting builds on it.
    h.exec("INSERT INTO BOX (MONEY) VALUES (1000)");
    post(pay(PaymentKind::Part, &kBuyers, "Sami", 150, 200));  // paying more lowers the debt
    post(pay(PaymentKind::Settle, &kBuyers, "Hala", 0.1));
    post(pay(PaymentKind::Part, &kSuppliers, "Acme", 30, 10, CashFlow::Out));
    EXPECT_EQ(money("BOX"), (std::vector<double>{0, 150, 1000, 1200, 1200 + 0.1, 1200 + 0.1 - 10}));
    EXPECT_EQ(money("BUYER"), (std::vector<double>{40 + 100.5 - 0.1, 5, -50}));
    EXPECT_EQ(money("SUPPLIER"), (std::vector<double>{120}));
    EXPECT_EQ(toDouble(h.cell("BOX", 5, "MONEY_OUT")), 10);
    EXPECT_EQ(h.cell("BOX", 5, "RECEIVED_INV"), Value::i32(3));
    EXPECT_EQ(toDate(h.cell("BOX", 5, "DATE")), makeDate(2026, 12, 6));
}

TEST_F(MoneyPostingTest, ARefusedPaymentWritesNothingAndSaysWhy) {
    h.exec("UPDATE SUPPLIER SET MONEY = 9e11");
    const double inf = std::numeric_limits<double>::infinity();
    Payment badReference = pay(PaymentKind::Cash, nullptr, "", 1);
    badReference.reference = Value(3e9);
    const std::vector<std::pair<Payment, std::string>> cases = {
        {pay(PaymentKind::Credit, &kBuyers, "", 10), kBuyers.noPartner},
        {pay(PaymentKind::Part, &kBuyers, ".", 10, 5), kBuyers.noPartner},
        {pay(PaymentKind::Settle, &kBuyers, "hala", 10), "العميل hala غير موجود"},
        {pay(PaymentKind::Cash, &kSuppliers, "Nobody", 10), "المورد Nobody غير موجود"},
        {pay(PaymentKind::Cash, nullptr, "", inf), "إجمالى الفاتورة أكبر من الحد المسموح به"},
        {pay(PaymentKind::Credit, &kBuyers, "Hala", std::nan("")), "أكبر من الحد"},
        {pay(PaymentKind::Cash, nullptr, "", 2e12), "أكبر من الحد"},
        {pay(PaymentKind::Cash, nullptr, "", -1), "إجمالى الفاتورة يجب أن يكون رقما لا يقل عن صفر"},
        {pay(PaymentKind::Part, &kBuyers, "Sami", 10, -1), "المبلغ المدفوع يجب أن يكون رقما لا يقل"},
        {pay(PaymentKind::Credit, &kSuppliers, "Acme", 2e11), "رصيد Acme بعد الترحيل"},
        {badReference, failureMessage(RuntimeError(err::Overflow, ""))},
    };
    const std::string before = tablesText(h, {"BOX", "BUYER", "SUPPLIER"});
    for (const auto& [payment, says] : cases) {
        const PaymentPlan plan = post(payment);
        EXPECT_NE(plan.problem.find(says), std::string::npos) << plan.problem;
        EXPECT_THROW(h.machine.action([&] { applyPayment(h.db(), plan); }), RuntimeError);
    }
    EXPECT_EQ(tablesText(h, {"BOX", "BUYER", "SUPPLIER"}), before);
    // The cash box's balance is limited too; paying out brings it back.
    h.exec("INSERT INTO BOX (MONEY) VALUES (1e12)");
    EXPECT_EQ(post(pay(PaymentKind::Cash, nullptr, "", 1)).problem,
              "رصيد الصندوق بعد الترحيل أكبر من الحد المسموح به (1000000000000)");
    EXPECT_TRUE(post(pay(PaymentKind::Cash, nullptr, "", 1, 0, CashFlow::Out)).ok());
}

// A voucher paid and flagged by one call: a new one is stored first under
// its claimed number; a write failing half way stores none of it.
TEST_F(MoneyPostingTest, APaidRowIsStoredPaidAndFlaggedInOneActionOrNotAtAll) {
    auto postVoucher = [&](double number) {
        h.machine.action([&] {
            Recordset row(h.db(), "REVEIVED_MONEY");
            row.addNew();
            row.setField("INVO_NO", Value(number));
            row.setField("MONEY", Value(15));
            const PaymentPlan plan = planPayment(h.db(), pay(PaymentKind::Settle, &kBuyers, "Hala", 15));
            postPaidRow(h.db(), row, plan, "POSTED", number);
        });
    };
    const std::string before = tablesText(h, {"BOX", "BUYER", "REVEIVED_MONEY"});
    for (const char* writes : {"INSERT ON REVEIVED_MONEY", "INSERT ON BOX", "UPDATE ON BUYER",
                               "UPDATE OF POSTED ON REVEIVED_MONEY"}) {
        fail(h, writes);
        EXPECT_THROW(postVoucher(4), RuntimeError) << writes;
        EXPECT_EQ(tablesText(h, {"BOX", "BUYER", "REVEIVED_MONEY"}), before) << writes;
        succeed(h);
    }
    postVoucher(4);
    EXPECT_EQ(row(h, "REVEIVED_MONEY", 0, {"INVO_NO", "MONEY", "POSTED"}), "4|15|True");
    EXPECT_EQ(money("BUYER"), (std::vector<double>{25, 5, 0}));
    EXPECT_EQ(money("BOX"), (std::vector<double>{0, 15}));
    // A number stored meanwhile is claimed by no second voucher.
    EXPECT_EQ(errorNumber([&] { postVoucher(4); }), err::DuplicateKey);
    EXPECT_EQ(h.count("REVEIVED_MONEY"), 1);
}

// Stock: the incoming window posts through the same service.
TEST(StockPostingTest, IncomingWeighsTheBuyPriceAndPostsTheFirstRowOfANameOnly) {
    Harness h;
    makeGroup(h, "G1", "('bolt', 10, 0, 5), ('bolt', 3, 0, 9), ('cap', -5, 0, 4), ('pin', NULL, 0, 1)");
    h.exec("INSERT INTO DAILY_TRADE (\"DESC\", INPUT) VALUES ('bolt', 5), ('bolt', 1), ('pin', NULL)");
    StockPlan plan;
    h.machine.action([&] {
        plan = planStock(h.db(), "G1", StockFlow::In,
                         {{1, "bolt", 30, 7}, {2, "cap", 2, 3}, {3, "pin", 4, 2}, {4, "gone", 1, 1},
                          {5, ".", 9, 9}, {6, "bolt", 0, 100}});
        applyStock(h.db(), plan);
    });
    EXPECT_EQ(plan.missingSlots, std::vector<int>{4});
    EXPECT_EQ(col(h, "G1", "ONSTOCK") + " " + col(h, "DAILY_TRADE", "INPUT"), "40|3|-3|4 35|1|4");
    EXPECT_EQ(col(h, "G1", "BUY_PRICE"), "6.5|9|3|2");  // stock 0 or less takes the price

    // Two lines of one item add up before the range check.
    h.machine.action([&] {
        plan = planStock(h.db(), "G1", StockFlow::Out, {{1, "bolt", 20000, 0}, {2, "bolt", 20000, 0}});
        applyStock(h.db(), plan);
    });
    EXPECT_EQ(toInt32(h.cell("G1", 0, "ONSTOCK")), -39960);
    h.exec("UPDATE G1 SET ONSTOCK=-2147483000 WHERE REC_ID=1");
    h.machine.action([&] {
        plan = planStock(h.db(), "G1", StockFlow::Out, {{1, "bolt", 400, 0}, {2, "bolt", 400, 0}});
    });
    EXPECT_FALSE(plan.ok());
    EXPECT_TRUE(plan.writes.empty());

    // An old price beyond any amount never weighs into an infinite one.
    h.exec("UPDATE G1 SET ONSTOCK=10, BUY_PRICE=1e308 WHERE REC_ID=1");
    plan = planStock(h.db(), "G1", StockFlow::In, {{1, "bolt", 30, 1e12}});
    EXPECT_EQ(plan.problem, "لا يمكن ترحيل السطر 1 (bolt): سعر الشراء المرجح تتجاوز الحد المسموح به");
}

}  // namespace
}  // namespace mk
