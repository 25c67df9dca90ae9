#include <gtest/gtest.h>

#include "data/scratch.h"
#include "support/steps.h"

namespace mk {
namespace {

using test::WorkerHarness;

// A run over PRODUCT_BUY through Form29's data control, the window loaded
// hidden (so it does not run itself), inside one user action.
void runRows(WorkerHarness& h, int hits) {
    h.machine.action([&] {
        ScratchRun run(h.app, ScratchTable::ProductBuy, h.form("Form29").adodc("Adodc2"));
        for (int i = 0; i < hits; ++i)
            run.append([&](Recordset& rs) { rs.setField("INVO_NO", std::to_string(i)); });
        run.finish();
        if (!run.found()) run.placeholder();
    });
}

void preCleanRows(WorkerHarness& h) {
    h.machine.action([&] {
        preClean(h.app, ScratchTable::ProductBuy, h.form("Form29").adodc("Adodc2"));
    });
}

std::vector<int> ids(WorkerHarness& h, const std::string& table) {
    std::vector<int> out;
    for (const Value& v : h.column(table, "ID")) out.push_back(toInt16(v));
    return out;
}

TEST(ScratchProtocol, PreCleansLeaveOneRowAndRunsOnlyTheirOwn) {
    WorkerHarness h;
    // As the file comes: flag True, one row; the cleared flag is stored.
    preCleanRows(h);
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1);
    EXPECT_EQ(h.flag("PRODUCT_BUY"), Value(false));
    runRows(h, 3);
    EXPECT_EQ(ids(h, "PRODUCT_BUY"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(toInt16(h.flag("COUNTER_BUY")), 3);
    preCleanRows(h);
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1);

    // A counter larger than the table (a run that failed half way) never
    // empties it; one smaller than the table leaves no stale row in a run.
    h.exec("UPDATE FLAGS SET COUNTER_BUY = 50");
    preCleanRows(h);
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1);
    h.exec("UPDATE FLAGS SET COUNTER_BUY = 1");
    h.exec("INSERT INTO PRODUCT_BUY (ID) VALUES (7)");
    preCleanRows(h);
    runRows(h, 0);
    EXPECT_EQ(ids(h, "PRODUCT_BUY"), (std::vector<int>{999}));
    EXPECT_EQ(toInt16(h.flag("COUNTER_BUY")), 1);
}

TEST(ScratchProtocol, ARunOfAThousandRowsOrMoreKeepsThemAll) {
    WorkerHarness h;
    preCleanRows(h);
    runRows(h, 1002);
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1002);
    EXPECT_EQ(toInt16(h.flag("COUNTER_BUY")), 1002);
    EXPECT_EQ(ids(h, "PRODUCT_BUY")[999], 1000);
}

}  // namespace
}  // namespace mk
