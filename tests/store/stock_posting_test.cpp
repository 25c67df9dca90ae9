#include <gtest/gtest.h>

#include "support/steps.h"
#include "store/stock_posting.h"

namespace mk {
namespace {

using namespace test;

// The service's rules without a window (the incoming window posts through it too).
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
    EXPECT_EQ(ints(h.column("G1", "ONSTOCK")), (std::vector<int32_t>{40, 3, -3, 4}));
    std::vector<double> prices;
    for (const Value& v : h.column("G1", "BUY_PRICE")) prices.push_back(toDouble(v));
    EXPECT_EQ(prices, (std::vector<double>{6.5, 9, 3, 2}));  // stock 0 or less takes the price
    EXPECT_EQ(ints(h.column("DAILY_TRADE", "INPUT")), (std::vector<int32_t>{35, 1, 4}));

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
