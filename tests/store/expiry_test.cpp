#include <gtest/gtest.h>

#include "data/schema.h"
#include "support/steps.h"

namespace mk {
namespace {

using test::WorkerHarness;

void addGroup(WorkerHarness& h, const std::string& group,
              const std::vector<std::tuple<std::string, std::string, long>>& items) {
    h.db().createTable(itemGroupTableDef(group));
    h.exec("INSERT INTO qqq (Q) VALUES ('" + group + "')");
    for (const auto& [name, expiry, stock] : items)
        h.exec("INSERT INTO \"" + group + "\" (\"DESC\", DATES_SAVE, ONSTOCK) VALUES ('" + name +
               "', " + (expiry.empty() ? "NULL" : "'" + expiry + "'") + ", " +
               std::to_string(stock) + ")");
}

void askFor(WorkerHarness& h, const std::string& from, const std::string& to) {
    h.answerInput(from);
    h.answerInput(to);
    h.launch("date_report");
}

TEST(ExpiryReport, ListsEveryGroupsItemsWithinThePeriodBothEndsIncluded) {
    WorkerHarness h;
    addGroup(h, "Tools", {{"Bolt", "2027-01-01", 5},
                          {"Nut", "2026-12-31", 1},
                          {"Tape", "", 3},
                          {"Glue", "2027-03-31", 40000},
                          {"Saw", "2027-04-01", 2}});
    addGroup(h, "Paint", {{"Bolt", "2027-02-10", 7}});
    askFor(h, "01/01/2027", "31/03/2027");

    EXPECT_EQ(h.lines("Form55"), (std::vector<std::string>{"01/01/2027 5 BoltTools",
                                                            "31/03/2027 40000 GlueTools",
                                                            "10/02/2027 7 BoltPaint"}));
    const RenderedReport* r = h.app.report("DataReport16");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->rows, (std::vector<std::vector<std::string>>{
                           {"01/01/2027", "5", "Bolt", "Tools", "1"},
                           {"31/03/2027", "40000", "Glue", "Tools", "2"},
                           {"10/02/2027", "7", "Bolt", "Paint", "3"}}));
    EXPECT_EQ(toInt16(h.flag("VALIDITY_DATE")), 3);
    EXPECT_EQ(h.flag("VALIDITY_DATE_CHECK"), Value(false));

    h.advance(999);
    EXPECT_TRUE(h.app.isLoaded("Form55"));
    h.advance(1);
    EXPECT_FALSE(h.app.isLoaded("Form55"));

    // The next run lists only its own items.
    askFor(h, "01/04/2027", "01/04/2027");
    EXPECT_EQ(h.app.report("DataReport16")->rows,
              (std::vector<std::vector<std::string>>{{"01/04/2027", "2", "Saw", "Tools", "1"}}));
    EXPECT_EQ(h.count("VALIDITY_DATE"), 1);
}

TEST(ExpiryReport, NothingWithinThePeriodLeavesThePlaceholderSilently) {
    WorkerHarness h;
    addGroup(h, "Tools", {{"Bolt", "2027-01-01", 5}});
    // Both defaults: 1 January 1950 to 1 January 1950.
    h.dialogs.cancelInput();
    h.launch("date_report");
    EXPECT_FALSE(h.app.isLoaded("Form55"));
    h.dialogs.type("01/01/1950");
    h.dialogs.type("01/01/1950");
    h.launch("date_report");
    EXPECT_EQ(h.dialogs.shown()[1].defaultText, "01/01/1950");
    EXPECT_EQ(h.column("VALIDITY_DATE", "ID"), (std::vector<Value>{Value::i16(999)}));
    EXPECT_EQ(h.app.report("DataReport16"), nullptr);
    EXPECT_TRUE(h.messageTexts().empty());

    // A period end after its start only.
    askFor(h, "02/01/2027", "01/01/2027");
    EXPECT_EQ(h.app.report("DataReport16"), nullptr);
}

TEST(ExpiryReport, APeriodThatIsNotADateIsRefused) {
    WorkerHarness h;
    askFor(h, "01/01/2027", "next year");
    EXPECT_EQ(h.lastMessage(), "التاريخ الذى أدخلته غير صحيح، اكتبه بالشكل يوم/شهر/سنة");
    EXPECT_FALSE(h.app.isLoaded("Form55"));
    EXPECT_EQ(h.flag("VALIDITY_DATE_CHECK"), Value(true));  // nothing was touched
}

}  // namespace
}  // namespace mk
