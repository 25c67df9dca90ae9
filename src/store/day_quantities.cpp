#include "store/day_quantities.h"

#include <unordered_map>
#include <unordered_set>

#include "data/schema.h"
#include "platform/application.h"
#include "platform/table_scan.h"
#include "reports/opener.h"

namespace mk {

namespace {

const char* const kMissingGroup = "لا يوجد جدول لمجموعة الأصناف ";
const char* const kMissingGroupTail = "، لن تدخل فى الإجماليات و كميات اليوم";

Database& database(Application& app) { return app.machine().database(kDatabasePath); }

}  // namespace

std::string groupTable(Application& app, const std::string& name) {
    if (auto table = database(app).findTable(name)) return *table;
    if (app.firstTime("missing group table:" + name))
        // Said once the running action has stored what it writes.
        app.form("Form1").MsgBoxAfterCommit(kMissingGroup + name + kMissingGroupTail,
                                            mb::OKOnly | mb::Exclamation, "ملحوظة");
    return "";
}

std::vector<std::string> listedGroupTables(Application& app) {
    Recordset& groups = app.form("Form1").adodc("Adodc5").recordset();
    std::vector<std::string> tables;
    groups.moveFirst();
    while (!groups.eof()) {
        if (std::string table = groupTable(app, toText(groups.field("Q"))); !table.empty())
            tables.push_back(std::move(table));
        groups.update();
        groups.moveNext();
    }
    return tables;
}

void startOfDay(Application& app) {
    Recordset& day = app.form("Form1").adodc("Adodc6").recordset();
    Database& db = database(app);
    const std::vector<std::string> tables = listedGroupTables(app);
    const std::string dayTable = day.tableName();
    const long long lastBefore = scan::lastRowid(db, dayTable);
    long long added = 0;
    bool leftRow = false;
    for (const std::string& table : tables) {
        if (!scan::hasRows(db, table)) continue;
        // The row being left is stored first, as a move off it would.
        if (!leftRow) {
            day.update();
            leftRow = true;
        }
        added += scan::appendTextAndInt32(db, dayTable, "DESC", "STARY_DAY_Q", table, "DESC",
                                          "ONSTOCK");
    }
    if (added == 0) return;
    // The control takes in the rows added and stands on the last, as
    // adding them through it left it.
    day.readAppended(lastBefore);
    day.moveLast();
}

void endOfDayPass(Application& app) {
    Database& db = database(app);
    Recordset& day = app.form("Form1").adodc("Adodc6").recordset();
    const std::vector<std::string> tables = listedGroupTables(app);

    // Only the names DAILY_TRADE holds are looked up; the item last in
    // group and table order decides.
    std::unordered_map<std::string, int32_t> stock;
    std::unordered_set<std::string> wanted;
    for (const Value& name : day.columnValues("DESC")) wanted.insert(toText(name));
    for (const std::string& table : tables)
        scan::forEachTextAndInt32(db, table, "DESC", "ONSTOCK",
                                  [&](const std::string& name, int32_t onStock) {
                                      if (wanted.count(name)) stock[name] = onStock;
                                  });
    day.moveFirst();
    while (!day.eof()) {
        auto it = stock.find(toText(day.field("DESC")));
        if (it != stock.end()) day.setField("END_DAY_Q", Value::i32(it->second));
        day.update();
        day.moveNext();
    }
}

void showDailyMovement(Application& app, bool rereadFirst) {
    Form& main = app.form("Form1");
    if (rereadFirst) main.adodc("Adodc6").Refresh();
    endOfDayPass(app);
    main.Print({" كميات أخر اليوم جاهزة "});
    main.Print({" كميات أخر اليوم جاهزة "});
    openReport(app, "DataReport10");
}

}  // namespace mk
