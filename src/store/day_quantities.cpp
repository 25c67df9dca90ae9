#include "store/day_quantities.h"

#include <unordered_map>

#include "data/schema.h"
#include "platform/application.h"
#include "reports/opener.h"

namespace mk {

namespace {

const char* const kMissingGroup = "لا يوجد جدول لمجموعة الأصناف ";
const char* const kMissingGroupTail = "، لن تدخل فى الإجماليات و كميات اليوم";

Database& database(Application& app) { return app.machine().database(kDatabasePath); }

const FieldInfo& fieldOf(const TableInfo& info, const char* name) {
    const int i = info.fieldIndex(name);
    if (i < 0)
        throw RuntimeError(err::FieldNotFound, std::string("The field '") + name +
                                                   "' was not found in the table " + info.name +
                                                   ".");
    return info.fields[static_cast<size_t>(i)];
}

}  // namespace

std::vector<std::string> listedGroupTables(Application& app) {
    Form& main = app.form("Form1");
    Database& db = database(app);
    Recordset& groups = main.adodc("Adodc5").recordset();
    std::vector<std::string> tables;
    groups.moveFirst();
    while (!groups.eof()) {
        const std::string name = toText(groups.field("Q"));
        if (auto table = db.findTable(name)) {
            tables.push_back(*table);
        } else if (app.firstTime("missing group table:" + name)) {
            main.MsgBox(kMissingGroup + name + kMissingGroupTail, mb::OKOnly | mb::Exclamation,
                        "ملحوظة");
        }
        groups.update();
        groups.moveNext();
    }
    return tables;
}

StockValues stockValues(Application& app) {
    Database& db = database(app);
    StockValues v;
    for (const std::string& table : listedGroupTables(app)) {
        const TableInfo& info = db.tableInfo(table);
        const std::string onStock = sqlRead("double", fieldOf(info, "ONSTOCK"));
        auto st = db.prepare("SELECT mk_sum(" + onStock + "*" +
                             sqlRead("double", fieldOf(info, "UNITE_PRICE")) + ", ?1), mk_sum(" +
                             onStock + "*" + sqlRead("double", fieldOf(info, "BUY_PRICE")) +
                             ", ?2) FROM " + quoteName(table));
        st->bind(1, Value(v.sale), FieldType::Double);
        st->bind(2, Value(v.buy), FieldType::Double);
        if (st->step() && !st->columnIsNull(0)) {
            v.sale = toDouble(st->column(0, FieldType::Double));
            v.buy = toDouble(st->column(1, FieldType::Double));
        }
    }
    return v;
}

void startOfDay(Application& app) {
    Adodc& dayControl = app.form("Form1").adodc("Adodc6");
    Recordset& day = dayControl.recordset();
    Database& db = database(app);
    const std::vector<std::string> tables = listedGroupTables(app);
    const TableInfo& dayInfo = db.tableInfo(day.tableName());
    const FieldInfo& dayName = fieldOf(dayInfo, "DESC");
    fieldOf(dayInfo, "STARY_DAY_Q");

    long long added = 0;
    bool leftRow = false;
    for (const std::string& table : tables) {
        const TableInfo& info = db.tableInfo(table);
        {
            auto any = db.prepare("SELECT EXISTS (SELECT 1 FROM " + quoteName(table) + ")");
            if (!any->step() || any->columnInt(0) == 0) continue;
        }
        // The row being left is stored first, as a move off it would.
        if (!leftRow) {
            day.update();
            leftRow = true;
        }
        const std::string name = sqlRead("text", fieldOf(info, "DESC"));
        const std::string onStock = sqlRead("int32", fieldOf(info, "ONSTOCK"));
        db.beginWrite();
        // A name longer than the day table holds stops the routine, as
        // storing it into the field would.
        auto insert = db.prepare("INSERT INTO " + quoteName(dayInfo.name) + " (" +
                                 quoteName(dayName.name) + ", \"STARY_DAY_Q\") SELECT mk_fit(" +
                                 name + ", ?1, ?2), " + onStock + " FROM " + quoteName(table) +
                                 " ORDER BY rowid");
        insert->bindInt(1, dayName.size);
        insert->bindText(2, dayName.name);
        insert->step();
        added += db.changes();
    }
    if (added == 0) return;
    dayControl.Refresh();
    dayControl.recordset().moveLast();
}

void endOfDayPass(Application& app) {
    Database& db = database(app);
    Recordset& day = app.form("Form1").adodc("Adodc6").recordset();
    const std::vector<std::string> tables = listedGroupTables(app);

    // Only the names DAILY_TRADE holds are looked up.
    std::unordered_map<std::string, int32_t> stock;
    std::unordered_map<std::string, bool> wanted;
    for (const Value& name : day.columnValues("DESC")) wanted.emplace(toText(name), true);
    for (const std::string& table : tables) {
        const TableInfo& info = db.tableInfo(table);
        auto st = db.prepare("SELECT " + sqlRead("text", fieldOf(info, "DESC")) + ", " +
                             sqlRead("int32", fieldOf(info, "ONSTOCK")) + " FROM " +
                             quoteName(table) + " ORDER BY rowid");
        while (st->step()) {
            std::string name = st->columnText(0);
            if (!wanted.count(name)) continue;
            stock[std::move(name)] = static_cast<int32_t>(st->columnInt(1));
        }
    }
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
