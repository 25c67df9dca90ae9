// The report workers: the scratch tables they fill, each run keeping only
// its own rows; the movement views of an item; the expiry report.
#include <gtest/gtest.h>

#include "data/schema.h"
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

const std::string kBlank(11, ' ');

// One invoice row: header fields and line slots {slot, name, quantity}.
struct Line {
    int slot;
    std::string name;
    double quantity;
};
void addInvoice(WorkerHarness& h, const std::string& table, int number, const std::string& date,
                const std::string& partnerField, const std::string& partner,
                const std::vector<Line>& lines) {
    std::string cols = "INVO_NO, DATES, " + partnerField, vals = std::to_string(number) + ", '" +
                                                               date + "', '" + partner + "'";
    for (const Line& l : lines) {
        cols += ", MED_NAME" + std::to_string(l.slot) + ", QNTITY" + std::to_string(l.slot);
        vals += ", '" + l.name + "', " + std::to_string(l.quantity);
    }
    h.exec("INSERT INTO " + table + " (" + cols + ") VALUES (" + vals + ")");
}

std::string zoned(std::vector<std::string> items) {
    std::string line;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) line.resize((line.size() / 14 + 1) * 14, ' ');
        line += items[i];
    }
    return line;
}

TEST(MovementViews, TheSalesViewListsTheItemsLinesAcrossInvoicesInPrintZones) {
    WorkerHarness h;
    addInvoice(h, "SALES_INVOICE", 3, "2026-12-01", "SALES_MAN", "Ali",
               {{1, "Bolt", 5}, {2, "Nut", 1}, {4, "Bolt", 2}});
    addInvoice(h, "SALES_INVOICE", 4, "2026-12-02", "SALES_MAN", "Omar",
               {{1, "bolt", 9}, {2, "Bolt ", 9}, {3, "Bolt", 0}, {32, "Bolt", 9}});
    addInvoice(h, "SALES_INVOICE", 5, "2026-12-03", "SALES_MAN", "Huda", {{7, "Bolt", 40000}});
    h.showItem("Bolt");
    h.launch("Command6");

    EXPECT_EQ(h.lines("Form29"), (std::vector<std::string>{
                                     kBlank, kBlank, kBlank, zoned({" 5 ", "3", "01/12/2026", "Ali"}),
                                     zoned({" 2 ", "3", "01/12/2026", "Ali"}),
                                     zoned({" 40000 ", "5", "03/12/2026", "Huda"})}));
    EXPECT_EQ(h.form("Form29").caption, "حركة مبيعات الصنف Bolt  مخزن و حسابات ");

    const RenderedReport* r = h.app.report("DataReport14");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->rows, (std::vector<std::vector<std::string>>{{"3", "Ali", "01/12/2026", "5"},
                                                              {"3", "Ali", "01/12/2026", "2"},
                                                              {"5", "Huda", "03/12/2026", "40000"}}));
    EXPECT_EQ(toInt16(h.flag("COUNTER_BUY")), 3);  // its own rows, for the next pre-clean

    h.advance(499);
    EXPECT_TRUE(h.app.isLoaded("Form29"));
    h.advance(1);
    EXPECT_FALSE(h.app.isLoaded("Form29"));
    EXPECT_NE(h.app.report("DataReport14"), nullptr);  // the report stays open
}

TEST(MovementViews, ReturnsAndIncomingViewsReadTheirOwnTablesAndPartners) {
    WorkerHarness h;
    h.exec("INSERT INTO RETURN_INVOICE (INVO_NO, DATES, SALES_MAN, BUYER, MED_NAME1, QNTITY1) "
           "VALUES (7, '2026-11-30', 'nobody', 'Sara', 'Bolt', 2.5)");
    addInvoice(h, "BUY_INVOICE", 9, "2026-11-20", "SALES_MAN", "Acme", {{32, "Bolt", 100}});
    addInvoice(h, "SALES_INVOICE", 3, "2026-12-01", "SALES_MAN", "Ali", {{1, "Bolt", 5}});
    h.showItem("Bolt");

    h.launch("Command9");
    EXPECT_EQ(h.lines("Form31").back(), zoned({" 2 ", "7", "30/11/2026", "Sara"}));
    EXPECT_EQ(h.app.report("DataReport14")->rows,
              (std::vector<std::vector<std::string>>{{"7", "Sara", "30/11/2026", "2"}}));

    // A second run right after: only its own row, however the first ended.
    h.launch("Command7");
    EXPECT_EQ(h.form("Form33").caption->rfind("حركة واردات الصنف Bolt", 0), 0u);
    EXPECT_EQ(h.app.report("DataReport14")->rows,
              (std::vector<std::vector<std::string>>{{"9", "Acme", "20/11/2026", "100"}}));
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1);

    // The sales view's menu shows the returns of the same item.
    h.launch("Command6");
    EXPECT_TRUE(h.menu("Form29", "return"));
    EXPECT_EQ(h.app.report("DataReport14")->rows.size(), 1u);
    EXPECT_EQ(h.app.report("DataReport14")->rows[0][1], "Sara");
    EXPECT_TRUE(h.menu("Form29", "EXITE"));
    EXPECT_FALSE(h.app.isLoaded("Form29"));
}

TEST(MovementViews, AnItemWithNoMovementGetsTheMessageAndThePlaceholder) {
    WorkerHarness h;
    addInvoice(h, "SALES_INVOICE", 3, "2026-12-01", "SALES_MAN", "Ali", {{1, "Nut", 5}});
    h.showItem("Bolt");
    h.launch("Command6");
    EXPECT_EQ(h.lastMessage(), " هذا الصنف ليست له حركة تعاملات  ");
    EXPECT_EQ(h.column("PRODUCT_BUY", "ID"), (std::vector<Value>{Value::i16(999)}));
    EXPECT_EQ(h.app.report("DataReport14"), nullptr);
    EXPECT_EQ(h.lines("Form29").size(), 3u);

    // Launched again while still open: one run, nothing doubled.
    h.launch("Command6");
    EXPECT_EQ(h.lines("Form29").size(), 3u);
    EXPECT_EQ(h.count("PRODUCT_BUY"), 1);
}

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
    h.exec("INSERT INTO qqq (Q) VALUES ('Ghost')");  // listed, with no table: skipped
    addGroup(h, "Paint", {{"Bolt", "2027-02-10", 7}});
    askFor(h, "01/01/2027", "31/03/2027");
    // Told once, by the main window's totals; the report goes on.
    EXPECT_EQ(h.messageTexts(),
              std::vector<std::string>{
                  "لا يوجد جدول لمجموعة الأصناف Ghost، لن تدخل فى الإجماليات و كميات اليوم"});

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
