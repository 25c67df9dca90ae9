#include "store/day_quantities.h"

#include "data/schema.h"
#include "data/window_links.h"
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
        mainWindow(app).tellAfterCommit(kMissingGroup + name + kMissingGroupTail,
                                        mb::OKOnly | mb::Exclamation, "ملحوظة");
    return "";
}

std::vector<std::string> listedGroupTables(Application& app) {
    Recordset& groups = mainWindow(app).groupList().recordset();
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
    Recordset& day = mainWindow(app).dayRows().recordset();
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

namespace {

// A text field of a table (or its alias) as toText reads it, compared as
// stored where it holds only texts, so its index answers.
std::string nameSql(const FieldInfo& f, const std::string& table) {
    const std::string column = table + "." + quoteName(f.name);
    if (f.type == FieldType::Text || f.type == FieldType::Memo) return column;
    return "mk_text(" + column + "," + std::to_string(static_cast<int>(f.type)) + ")";
}

const FieldInfo& fieldOf(const TableInfo& info, const char* name) {
    const int i = info.fieldIndex(name);
    if (i < 0)
        throw RuntimeError(err::FieldNotFound, std::string("The field '") + name +
                                                   "' was not found in the table " + info.name + ".");
    return info.fields[static_cast<size_t>(i)];
}

}  // namespace

void endOfDayPass(Application& app) {
    Database& db = database(app);
    Recordset& day = mainWindow(app).dayRows().recordset();
    const std::vector<std::string> tables = listedGroupTables(app);
    const TableInfo& dayInfo = db.tableInfo(day.tableName());
    const std::string dayTable = quoteName(dayInfo.name);
    const FieldInfo& dayDesc = fieldOf(dayInfo, "DESC");
    const std::string dayName = nameSql(dayDesc, dayTable);
    const std::string endDay = quoteName(fieldOf(dayInfo, "END_DAY_Q").name);

    // One statement per group, in group order, each overwriting what the
    // groups before it set: the item last in group and table order decides.
    // The day rows a group names are found through both indexes and written
    // in table order (so the windows' snapshots of the day take their old
    // values in order). A Null name reads as an empty one, so those two
    // meet in a statement of their own.
    day.rewriteInSql([&] {
        for (const std::string& table : tables) {
            const TableInfo& info = db.tableInfo(table);
            const std::string group = quoteName(info.name);
            const FieldInfo& desc = fieldOf(info, "DESC");
            const std::string name = nameSql(desc, group);
            const std::string stock = sqlRead("int32", fieldOf(info, "ONSTOCK"));
            db.exec("UPDATE " + dayTable + " SET " + endDay + " = (SELECT " + stock + " FROM " +
                    group + " WHERE " + name + " = " + dayName +
                    " ORDER BY rowid DESC LIMIT 1) WHERE rowid IN (SELECT d.rowid FROM " + group +
                    " AS g CROSS JOIN " + dayTable + " AS d ON " + nameSql(dayDesc, "d") + " = " +
                    nameSql(desc, "g") + ")");
            const std::string unnamed = "(" + name + " IS NULL OR " + name + " = '')";
            db.exec("UPDATE " + dayTable + " SET " + endDay + " = (SELECT " + stock + " FROM " +
                    group + " WHERE " + unnamed + " ORDER BY rowid DESC LIMIT 1) WHERE (" +
                    dayName + " IS NULL OR " + dayName + " = '') AND EXISTS (SELECT 1 FROM " +
                    group + " WHERE " + unnamed + ")");
        }
    });
}

void showDailyMovement(Application& app, bool rereadFirst) {
    MainWindowLinks& main = mainWindow(app);
    if (rereadFirst) main.dayRows().Refresh();
    endOfDayPass(app);
    main.printLine(" كميات أخر اليوم جاهزة ");
    main.printLine(" كميات أخر اليوم جاهزة ");
    openReport(app, "DataReport10");
}

}  // namespace mk
