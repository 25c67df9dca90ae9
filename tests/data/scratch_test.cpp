#include <gtest/gtest.h>

#include "data/record_editing.h"
#include "data/scratch.h"
#include "reports/standins.h"

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

TEST(ScratchProtocol, RunsLeaveTheirRowsAndCounterAndPreCleanLeavesOneRow) {
    WorkerHarness h;
    // As the file comes: flag True, one row; the pre-clean deletes nothing
    // and the cleared flag is stored.
    preCleanRows(h);
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1);
    EXPECT_EQ(h.flag("PRODUCT_BUY"), Value(false));

    runRows(h, 3);
    EXPECT_EQ(ids(h, "PRODUCT_BUY"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(toInt16(h.flag("COUNTER_BUY")), 3);

    preCleanRows(h);
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1);

    // Nothing found: the placeholder and counter 1; the next pre-clean
    // deletes nothing and the next run removes the placeholder.
    runRows(h, 0);
    EXPECT_EQ(ids(h, "PRODUCT_BUY"), (std::vector<int>{999}));
    EXPECT_EQ(toInt16(h.flag("COUNTER_BUY")), 1);
    preCleanRows(h);
    runRows(h, 2);
    EXPECT_EQ(ids(h, "PRODUCT_BUY"), (std::vector<int>{1, 2}));
}

TEST(ScratchProtocol, ARunOfAThousandRowsOrMoreKeepsThemAll) {
    WorkerHarness h;
    preCleanRows(h);
    runRows(h, 1002);
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1002);
    EXPECT_EQ(toInt16(h.flag("COUNTER_BUY")), 1002);
    EXPECT_EQ(ids(h, "PRODUCT_BUY")[999], 1000);
}

TEST(ScratchProtocol, ACounterOutOfStepNeverEmptiesTheTableNorLeavesStaleRows) {
    WorkerHarness h;
    preCleanRows(h);
    runRows(h, 2);
    // A counter larger than the table (a run that failed half way).
    h.exec("UPDATE FLAGS SET COUNTER_BUY = 50");
    preCleanRows(h);
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1);
    // A counter smaller than the table: the run still shows only its rows.
    h.exec("UPDATE FLAGS SET COUNTER_BUY = 1");
    h.exec("INSERT INTO PRODUCT_BUY (ID) VALUES (7)");
    preCleanRows(h);
    runRows(h, 1);
    EXPECT_EQ(ids(h, "PRODUCT_BUY"), (std::vector<int>{1}));
}

// A window holding one data control, for a table no loaded window binds.
class Holder : public Form {
public:
    static constexpr const char* kName = "Holder";
    explicit Holder(Application& a) : Form(a, kName) {
        add<Adodc>("Adodc1", -1, Geometry{0, 0, 2400, 360});
    }
};

TEST(ScratchProtocol, TheExpiryTableMarksItsLeftoverRowsByAnEmptyGroup) {
    WorkerHarness h;
    h.app.registerForm<Holder>();
    h.exec("UPDATE FLAGS SET VALIDITY_DATE_CHECK = 0, VALIDITY_DATE = 2");
    h.exec("INSERT INTO VALIDITY_DATE (ID, QQQ) VALUES (1, 'old')");
    h.machine.action([&] {
        Adodc& data = h.form("Holder").adodc("Adodc1");
        bindTable(data, "VALIDITY_DATE");
        preClean(h.app, ScratchTable::ValidityDate, data);
        ScratchRun run(h.app, ScratchTable::ValidityDate, data);
        run.append([](Recordset& rs) { rs.setField("QQQ", "Tools"); });
        run.finish();
    });
    EXPECT_EQ(h.column("VALIDITY_DATE", "QQQ"), (std::vector<Value>{Value("Tools")}));
    EXPECT_EQ(toInt16(h.flag("VALIDITY_DATE")), 1);
}

}  // namespace
}  // namespace mk
