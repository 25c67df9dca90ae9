#include "ledger/stock_posting.h"

#include <cmath>
#include <limits>
#include <map>

#include "platform/recordset.h"

namespace mk {

namespace {

constexpr const char* kDayTable = "DAILY_TRADE";

struct ItemRow {
    long long rowid = 0;
    double stock = 0;
    double buyPrice = 0;
    double day = 0;  // OUTPUT or INPUT
    double returned = 0;
};

bool fitsInt32(double v) {
    return std::isfinite(v) && v >= std::numeric_limits<int32_t>::min() &&
           v <= std::numeric_limits<int32_t>::max();
}

std::string outOfRange(const StockLine& line, const char* what) {
    return "لا يمكن ترحيل السطر " + std::to_string(line.slot) + " (" + line.item + "): " + what +
           " تتجاوز الحد المسموح به";
}

}  // namespace

const char* const kUnknownGroupMessage =
    "لا توجد مجموعة أصناف بهذا الأسم، أختر مجموعة من القائمة";

bool groupListed(Database& db, const std::string& name) {
    Recordset groups(db, "qqq");
    for (const Value& listed : groups.columnValues("Q"))
        if (toText(listed) == name) return db.findTable(name).has_value();
    return false;
}

std::map<std::string, Value> itemValues(Database& db, const std::string& table,
                                        const std::string& field,
                                        const std::set<std::string>& names) {
    std::map<std::string, Value> out;
    if (names.empty()) return out;
    std::string in;
    for (size_t k = 1; k <= names.size(); ++k) in += (k > 1 ? ",?" : "?") + std::to_string(k);
    auto st = db.prepare("SELECT " + quoteName("DESC") + ", " + quoteName(field) + " FROM " +
                         quoteName(table) + " WHERE " + quoteName("DESC") + " IN (" + in +
                         ") ORDER BY rowid");
    int k = 0;
    for (const std::string& name : names) st->bindText(++k, name);
    while (st->step()) out[st->columnText(0)] = st->column(1, FieldType::Double);
    return out;
}

std::optional<long long> findItemRow(Database& db, const std::string& table,
                                     const std::string& item) {
    auto st = db.prepare("SELECT rowid FROM " + quoteName(table) + " WHERE " + quoteName("DESC") +
                         "=?1 ORDER BY rowid LIMIT 1");
    st->bindText(1, item);
    if (!st->step()) return std::nullopt;
    return st->columnInt(0);
}

std::optional<int32_t> storedStock(Database& db, const std::string& table,
                                   const std::string& item) {
    auto st = db.prepare("SELECT ONSTOCK FROM " + quoteName(table) + " WHERE " +
                         quoteName("DESC") + "=?1 ORDER BY rowid DESC LIMIT 1");
    st->bindText(1, item);
    if (!st->step()) return std::nullopt;
    return st->columnIsNull(0) ? 0 : static_cast<int32_t>(st->columnInt(0));
}

StockPlan planStock(Database& db, const std::string& groupTable, StockFlow flow,
                    const std::vector<StockLine>& lines) {
    StockPlan plan;
    plan.table = groupTable;
    plan.flow = flow;
    plan.lines = lines;
    const std::string dayField = flow == StockFlow::Out ? "OUTPUT" : "INPUT";
    const std::string itemSql = "SELECT rowid, ONSTOCK, BUY_PRICE, " + quoteName("RETURN") +
                                " FROM " + quoteName(groupTable) +
                                " WHERE " + quoteName("DESC") + "=?1 ORDER BY rowid LIMIT 1";
    const std::string daySql = "SELECT rowid, " + quoteName(dayField) + " FROM " +
                               quoteName(kDayTable) + " WHERE " + quoteName("DESC") +
                               "=?1 ORDER BY rowid LIMIT 1";
    // Each item is read once; later lines of the same item build on the
    // values the earlier lines left.
    std::map<std::string, std::optional<ItemRow>> items, days;
    std::vector<std::string> order;
    for (const StockLine& line : lines) {
        if (line.quantity == 0 || line.item == ".") continue;
        if (!items.count(line.item)) {
            std::optional<ItemRow> row, day;
            {
                auto st = db.prepare(itemSql);
                st->bindText(1, line.item);
                if (st->step())
                    row = ItemRow{st->columnInt(0), toDouble(st->column(1, FieldType::Double)),
                                  toDouble(st->column(2, FieldType::Double)), 0,
                                  toDouble(st->column(3, FieldType::Double))};
            }
            if (flow != StockFlow::Return) {
                auto st = db.prepare(daySql);
                st->bindText(1, line.item);
                if (st->step())
                    day = ItemRow{st->columnInt(0), 0, 0, toDouble(st->column(1, FieldType::Double))};
            }
            items.emplace(line.item, row);
            days.emplace(line.item, day);
            order.push_back(line.item);
        }
        std::optional<ItemRow>& item = items[line.item];
        if (!item) {
            plan.missingSlots.push_back(line.slot);
        } else if (flow == StockFlow::Return) {
            item->returned += line.quantity;
            if (!(std::round(item->returned) <= 32767) && plan.ok())
                plan.problem = outOfRange(line, "عدد المرتجع");
            continue;
        } else if (flow == StockFlow::Out) {
            item->stock -= line.quantity;
        } else {
            // The weighted buy price: the old stock at the old price plus the
            // new quantity at the line's price.
            item->buyPrice = item->stock <= 0
                                 ? line.price
                                 : (line.quantity * line.price + item->stock * item->buyPrice) /
                                       (line.quantity + item->stock);
            item->stock += line.quantity;
            // An old price beyond any amount (a file written before amounts
            // were limited) must not carry on into an infinite one.
            if (!(std::fabs(item->buyPrice) <= kLargestAmount) && plan.ok())
                plan.problem = outOfRange(line, "سعر الشراء المرجح");
        }
        if (item && !fitsInt32(std::round(item->stock)) && plan.ok())
            plan.problem = outOfRange(line, "كمية المخزن");
        std::optional<ItemRow>& day = days[line.item];
        if (day) {
            day->day += line.quantity;
            if (!fitsInt32(std::round(day->day)) && plan.ok())
                plan.problem = outOfRange(line, "كمية اليوم");
        }
    }
    if (!plan.ok()) return plan;
    for (const std::string& name : order) {
        if (const auto& item = items[name]; item && flow == StockFlow::Return) {
            plan.writes.push_back({groupTable, item->rowid, "RETURN",
                                   Value::i16(roundToInt16(item->returned))});
            continue;
        }
        if (const auto& item = items[name]) {
            plan.writes.push_back({groupTable, item->rowid, "ONSTOCK",
                                   Value::i32(roundToInt32(item->stock))});
            if (flow == StockFlow::In)
                plan.writes.push_back({groupTable, item->rowid, "BUY_PRICE", Value(item->buyPrice)});
        }
        if (const auto& day = days[name])
            plan.writes.push_back({kDayTable, day->rowid, dayField,
                                   Value::i32(roundToInt32(day->day))});
    }
    return plan;
}

void applyStock(Database& db, const StockPlan& planned) {
    if (!planned.ok()) throw RuntimeError::told(err::Overflow, planned.problem);
    db.beginWrite();
    const StockPlan plan = planStock(db, planned.table, planned.flow, planned.lines);
    if (!plan.ok()) throw RuntimeError::told(err::Overflow, plan.problem);
    for (const StockWrite& w : plan.writes) {
        auto st = db.prepare("UPDATE " + quoteName(w.table) + " SET " + quoteName(w.field) +
                             "=?1 WHERE rowid=?2");
        const TableInfo& info = db.tableInfo(w.table);
        st->bind(1, w.value, info.fields[static_cast<size_t>(info.fieldIndex(w.field))].type);
        st->bindInt(2, w.rowid);
        st->step();
        if (db.changes() != 1)
            throw RuntimeError(err::RowChanged, "The row of " + w.table +
                                                    " to post to was deleted in another window.");
    }
}

void addToInventory(Database& db, const std::vector<InventoryLine>& lines) {
    db.beginWrite();
    for (const InventoryLine& line : lines) {
        if (line.item.empty() || line.item == "." || line.quantity == 0) continue;
        auto st = db.prepare("SELECT rowid, ONSTOCK, TOTAL, \"TOTAL-SELL\" FROM INVENTORY WHERE "
                             "\"DESC\"=?1 ORDER BY rowid LIMIT 1");
        st->bindText(1, line.item);
        if (!st->step()) continue;
        const long long rowid = st->columnInt(0);
        const double stock = toDouble(st->column(1, FieldType::Int32)) + line.quantity;
        const double total = toDouble(st->column(2, FieldType::Double)) + line.net;
        const double totalSell = toDouble(st->column(3, FieldType::Double)) + line.gross;
        st.reset();
        auto up = db.prepare("UPDATE INVENTORY SET ONSTOCK=?1, TOTAL=?2, \"TOTAL-SELL\"=?3 "
                             "WHERE rowid=?4");
        up->bind(1, Value::i32(roundToInt32(stock)), FieldType::Int32);
        up->bind(2, Value(total), FieldType::Double);
        up->bind(3, Value(totalSell), FieldType::Double);
        up->bindInt(4, rowid);
        up->step();
    }
}

}  // namespace mk
