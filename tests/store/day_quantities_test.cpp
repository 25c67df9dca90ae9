#include <gtest/gtest.h>

#include "support/steps.h"
#include "store/day_quantities.h"

namespace mk {
namespace {

using namespace test;

class DayQuantitiesTest : public ::testing::Test {
protected:
    DayQuantitiesTest() {
        setProfile(h, "ACME");
        makeGroup(h, "G1", "('bolt', 5, 0, 0), ('nut', NULL, 0, 0), ('bolt', 40000, 0, 0)");
        makeGroup(h, "G2", "('bolt', 7, 0, 0), ('washer', 70000, 0, 0)");
        startNewDay(h);
    }
    Harness h;
};

TEST_F(DayQuantitiesTest, StartAndEndOfDayRowsForDuplicateNames) {
    EXPECT_EQ(col(h, "DAILY_TRADE", "DESC"), "bolt|nut|bolt|bolt|washer");
    EXPECT_EQ(col(h, "DAILY_TRADE", "STARY_DAY_Q"), "5|0|40000|7|70000");

    // The card stays on its group and row while the pass walks every group.
    h.menu("Form1", "store_functions");
    h.choose("Form1", "DataCombo3", "G1");
    h.app.navigate(h.form("Form1").adodc("Adodc4"), Nav::Next);
    h.exec("UPDATE G1 SET ONSTOCK=1 WHERE REC_ID=1");
    h.machine.action([&] { endOfDayPass(h.app); });
    EXPECT_EQ(col(h, "DAILY_TRADE", "END_DAY_Q"), "7|0|7|7|70000");  // G2's bolt comes last
    EXPECT_EQ(h.form("Form1").adodc("Adodc4").RecordSource, "G1");
    EXPECT_EQ(h.text("Form1", "Text6"), "nut");

    h.exec("UPDATE G2 SET ONSTOCK=3 WHERE REC_ID=1");
    h.machine.action([&] { endOfDayPass(h.app); });
    EXPECT_EQ(toInt32(h.cell("DAILY_TRADE", 0, "END_DAY_Q")), 3);
    h.machine.action([&] { startOfDay(h.app); });  // a second start appends
    EXPECT_EQ(h.count("DAILY_TRADE"), 10);

    h.exec("UPDATE DAILY_TRADE SET OUTPUT = 2, INPUT = 1 WHERE rowid = 2");
    h.menu("Form1", "INVENTORY_REPORT");
    EXPECT_EQ(h.lines("Form1"), std::vector<std::string>(2, " كميات أخر اليوم جاهزة "));
    // The daily movement report: end, sold, received, start, name per row.
    ASSERT_NE(h.app.report("DataReport10"), nullptr);
    std::string rows;
    for (const auto& r : h.app.report("DataReport10")->rows)
        rows += r[0] + " " + r[1] + " " + r[2] + " " + r[3] + " " + r[4] + "|";
    EXPECT_EQ(rows, "3 0 0 5 bolt|0 2 1 0 nut|3 0 0 40000 bolt|3 0 0 7 bolt|70000 0 0 70000 washer|"
                    "3 0 0 1 bolt|0 0 0 0 nut|3 0 0 40000 bolt|3 0 0 3 bolt|70000 0 0 70000 washer|");
}

}  // namespace
}  // namespace mk
