// Row watches, and the word of row changes recordsets and other holders
// of a table's rows are told.
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/database.h"
#include "platform/recordset.h"

namespace mk {

namespace {

constexpr const char* kRowChanges = "mk_row_changes";

std::string watchTrigger(size_t number, const char* kind) {
    return quoteName("mk_watch_" + std::to_string(number) + "_" + kind);
}

}  // namespace

void Database::makeWatchTriggers(size_t index, bool again) {
    const RowWatch& w = rowWatches_[index];
    const size_t number = index + 1;
    exec(std::string("CREATE TEMP TABLE IF NOT EXISTS ") + kRowChanges +
         " (watch INTEGER, sign INTEGER, v0, v1, v2, v3)");
    std::string columns, fields, olds, news;
    for (size_t i = 0; i < w.fields.size(); ++i) {
        const std::string sep = i ? ", " : "";
        const std::string f = quoteName(w.fields[i]);
        columns += ", v" + std::to_string(i);
        fields += sep + f;
        olds += ", old." + f;
        news += ", new." + f;
    }
    const std::string into = std::string("INSERT INTO ") + kRowChanges + " (watch, sign" +
                             columns + ") VALUES (" + std::to_string(number);
    const std::string on = " ON main." + quoteName(w.table) + " BEGIN ";
    if (again)
        for (const char* kind : {"insert", "update", "delete"})
            exec("DROP TRIGGER IF EXISTS temp." + watchTrigger(number, kind));
    const std::string make = "CREATE TEMP TRIGGER IF NOT EXISTS ";
    exec(make + watchTrigger(number, "insert") + " AFTER INSERT" + on + into + ", 1" + news +
         "); END");
    exec(make + watchTrigger(number, "update") + " AFTER UPDATE OF " + fields + on + into +
         ", -1" + olds + "); " + into + ", 1" + news + "); END");
    exec(make + watchTrigger(number, "delete") + " AFTER DELETE" + on + into + ", -1" + olds +
         "); END");
}

int Database::watchRows(const std::string& table, const std::vector<std::string>& fields) {
    if (fields.empty() || fields.size() > kMostWatchedFields)
        throw std::invalid_argument("A row watch takes 1 to 4 fields.");
    const TableInfo& info = tableInfo(table);
    RowWatch w{.table = info.name, .fields = {}, .types = {}, .changes = {}};
    for (const std::string& f : fields) {
        const int i = info.fieldIndex(f);
        if (i < 0)
            throw RuntimeError(err::FieldNotFound, "The field '" + f +
                                                       "' was not found in the table " +
                                                       info.name + ".");
        w.fields.push_back(info.fields[static_cast<size_t>(i)].name);
        w.types.push_back(info.fields[static_cast<size_t>(i)].type);
    }
    size_t index = 0;
    while (index < rowWatches_.size() &&
           (rowWatches_[index].table != w.table || rowWatches_[index].fields != w.fields))
        ++index;
    if (index == rowWatches_.size()) rowWatches_.push_back(w);
    RowWatch& watch = rowWatches_[index];
    makeWatchTriggers(index, false);
    auto drop = prepare(std::string("DELETE FROM ") + kRowChanges + " WHERE watch=?1");
    drop->bindInt(1, static_cast<long long>(index + 1));
    drop->step();
    watch.types = w.types;
    watch.changes.clear();
    watch.active = true;
    watch.lost = false;
    watch.startedInTransaction = !sqlite3_get_autocommit(db_);
    return static_cast<int>(index + 1);
}

std::vector<Database::RowChange> Database::takeRowChanges(int watch) {
    collectRowChanges();
    std::vector<RowChange> out;
    out.swap(rowWatches_.at(static_cast<size_t>(watch - 1)).changes);
    return out;
}

bool Database::rowWatchLost(int watch) const {
    return rowWatches_.at(static_cast<size_t>(watch - 1)).lost;
}

void Database::unwatchRows(int watch) {
    RowWatch& w = rowWatches_.at(static_cast<size_t>(watch - 1));
    w.active = false;
    w.changes.clear();
}

void Database::collectRowChanges() {
    // While a transaction is open its records may still roll back.
    if (rowWatches_.empty() || !db_ || !sqlite3_get_autocommit(db_)) return;
    bool any = false;
    {
        auto st = prepare(std::string("SELECT watch, sign, v0, v1, v2, v3 FROM ") + kRowChanges +
                          " ORDER BY rowid");
        while (st->step()) {
            any = true;
            const auto number = static_cast<size_t>(st->columnInt(0));
            if (number == 0 || number > rowWatches_.size()) continue;
            RowWatch& w = rowWatches_[number - 1];
            if (!w.active || w.lost) continue;
            RowChange change{.sign = static_cast<int>(st->columnInt(1)), .values = {}};
            for (size_t i = 0; i < w.types.size(); ++i)
                change.values.push_back(st->column(static_cast<int>(i) + 2, w.types[i]));
            w.changes.push_back(std::move(change));
        }
    }
    if (any) exec(std::string("DELETE FROM ") + kRowChanges);
}

void Database::afterRollbackOfWatches() {
    for (size_t i = 0; i < rowWatches_.size(); ++i) {
        RowWatch& w = rowWatches_[i];
        if (w.startedInTransaction) {
            w.lost = true;
            w.startedInTransaction = false;
            w.changes.clear();
        }
        try {
            makeWatchTriggers(i, false);
        } catch (const RuntimeError&) {
            w.lost = true;
        }
    }
}

void Database::afterRestoreOfWatches() {
    // Every watch reads its table again; its triggers are made anew on
    // the tables the file now holds.
    for (size_t i = 0; i < rowWatches_.size(); ++i) {
        rowWatches_[i].lost = true;
        rowWatches_[i].changes.clear();
        try {
            makeWatchTriggers(i, true);
        } catch (const RuntimeError&) {
        }
    }
    if (!rowWatches_.empty()) exec(std::string("DELETE FROM ") + kRowChanges);
}

bool Database::tellsRowChanges() {
#ifdef MK_PREUPDATE_HOOK
    return true;
#else
    return false;
#endif
}

void Database::watch(Recordset* rs, const std::string& table) {
    Watched& w = watched_[upperAscii(table)];
    if (std::find(w.recordsets.begin(), w.recordsets.end(), rs) == w.recordsets.end())
        w.recordsets.push_back(rs);
    lastChanged_.clear();
    lastWatched_ = nullptr;
}

void Database::unwatch(Recordset* rs, const std::string& table) {
    auto it = watched_.find(upperAscii(table));
    if (it == watched_.end()) return;
    auto& list = it->second.recordsets;
    list.erase(std::remove(list.begin(), list.end(), rs), list.end());
    lastChanged_.clear();
    lastWatched_ = nullptr;
}

void Database::addRowChangeListener(RowChangeListener* w, const std::string& table) {
    Watched& entry = watched_[upperAscii(table)];
    if (std::find(entry.watchers.begin(), entry.watchers.end(), w) == entry.watchers.end())
        entry.watchers.push_back(w);
    if (std::find(rowListeners_.begin(), rowListeners_.end(), w) == rowListeners_.end())
        rowListeners_.push_back(w);
    lastChanged_.clear();
    lastWatched_ = nullptr;
}

void Database::removeRowChangeListener(RowChangeListener* w, const std::string& table) {
    auto it = watched_.find(upperAscii(table));
    if (it != watched_.end()) {
        auto& list = it->second.watchers;
        list.erase(std::remove(list.begin(), list.end(), w), list.end());
    }
    rowListeners_.erase(std::remove(rowListeners_.begin(), rowListeners_.end(), w), rowListeners_.end());
    lastChanged_.clear();
    lastWatched_ = nullptr;
}

void Database::tellListeners(void (RowChangeListener::*tell)()) {
    // A watcher may stop watching when told.
    for (RowChangeListener* w : std::vector<RowChangeListener*>(rowListeners_))
        if (std::find(rowListeners_.begin(), rowListeners_.end(), w) != rowListeners_.end())
            (w->*tell)();
}

uint64_t Database::tableWrites(const std::string& table) const {
    auto it = watched_.find(upperAscii(table));
    return it == watched_.end() ? 0 : it->second.writes;
}

void Database::rowWillChange(void* self, sqlite3* h, int op, const char* schema,
                             const char* table, long long oldRowid, long long newRowid) {
    auto* db = static_cast<Database*>(self);
    if (!table || !schema || std::strcmp(schema, "main") != 0) return;
    // Bulk writes tell of one table many times over.
    if (db->lastChanged_ != table) {
        auto it = db->watched_.find(upperAscii(table));
        db->lastWatched_ = it == db->watched_.end() ? nullptr : &it->second;
        db->lastChanged_ = table;
    }
    Watched* w = db->lastWatched_;
    if (!w) return;
    ++w->writes;
    if (!w->columns.empty()) stampRowChange(*w, h, op, oldRowid, newRowid, db->stamps_);
    for (Recordset* rs : w->recordsets) rs->tableWillChange(h, op, oldRowid, newRowid);
    for (RowChangeListener* rw : w->watchers) rw->rowWillChange(h, op, oldRowid, newRowid);
}

namespace {

#ifdef MK_PREUPDATE_HOOK
bool sameValue(sqlite3_value* a, sqlite3_value* b) {
    const int type = sqlite3_value_type(a);
    if (type != sqlite3_value_type(b)) return false;
    switch (type) {
        case SQLITE_NULL: return true;
        case SQLITE_INTEGER: return sqlite3_value_int64(a) == sqlite3_value_int64(b);
        case SQLITE_FLOAT: {
            const double x = sqlite3_value_double(a), y = sqlite3_value_double(b);
            return std::memcmp(&x, &y, sizeof x) == 0;
        }
        default: {
            const int n = sqlite3_value_bytes(a);
            if (n != sqlite3_value_bytes(b)) return false;
            const void* p = type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(a))
                                                : sqlite3_value_blob(a);
            const void* q = type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(b))
                                                : sqlite3_value_blob(b);
            return n == 0 || std::memcmp(p, q, static_cast<size_t>(n)) == 0;
        }
    }
}
#endif

}  // namespace

void Database::stampRowChange([[maybe_unused]] Watched& w, [[maybe_unused]] sqlite3* h,
                              [[maybe_unused]] int op, [[maybe_unused]] long long oldRowid,
                              [[maybe_unused]] long long newRowid, [[maybe_unused]] uint64_t& stamps) {
#ifdef MK_PREUPDATE_HOOK
    if (op != SQLITE_UPDATE || oldRowid != newRowid) {
        w.rowsStamp = ++stamps;
        return;
    }
    for (auto& [column, stamp] : w.columns) {
        sqlite3_value *before = nullptr, *after = nullptr;
        if (sqlite3_preupdate_old(h, column, &before) == SQLITE_OK &&
            sqlite3_preupdate_new(h, column, &after) == SQLITE_OK && before && after &&
            sameValue(before, after))
            continue;
        stamp = ++stamps;
    }
#endif
}

Database::ColumnStamp Database::columnStamp(std::string_view table, const std::string& field) {
    ColumnStamp s;
    if (!tellsRowChanges()) {
        s.epoch = ++stamps_;  // equal to no other
        return s;
    }
    const TableInfo& info = tableInfo(table);
    const int column = info.fieldIndex(field);
    Watched& w = watched_[upperAscii(info.name)];
    lastChanged_.clear();
    lastWatched_ = nullptr;
    auto it = std::find_if(w.columns.begin(), w.columns.end(),
                           [&](const auto& c) { return c.first == column; });
    // Followed from now on: nothing before counts as unchanged.
    if (it == w.columns.end()) it = w.columns.insert(w.columns.end(), {column, ++stamps_});
    // Changes only with what other connections commit.
    auto version = prepare("PRAGMA data_version");
    s.dataVersion = version->step() ? static_cast<uint64_t>(version->columnInt(0)) : ++stamps_;
    s.epoch = epoch_;
    s.rows = w.rowsStamp;
    s.column = it->second;
    return s;
}

std::vector<Recordset*> Database::recordsetsOn(std::string_view table) const {
    std::vector<Recordset*> out;
    for (Recordset* rs : recordsets_)
        if (namesEqual(rs->tableName(), table)) out.push_back(rs);
    return out;
}

void Database::markPositions() {
    for (Recordset* rs : recordsets_) rs->markPosition();
}

void Database::refreshRecordsets(bool keepPositions) {
    for (Recordset* rs : std::set<Recordset*>(recordsets_)) rs->rereadQuietly(keepPositions);
}

}  // namespace mk
