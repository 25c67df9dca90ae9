// Table information (fields, types, defaults) and table creation.
#include <sqlite3.h>

#include "platform/database.h"
#include "platform/database_detail.h"

namespace mk {

namespace {

const char* declaredType(FieldType t) {
    switch (t) {
        case FieldType::Text: return "TEXT";
        case FieldType::Memo: return "LONGTEXT";
        case FieldType::Int16: return "SMALLINT";
        case FieldType::Int32: return "INTEGER";
        case FieldType::AutoNumber: return "INTEGER PRIMARY KEY AUTOINCREMENT";
        case FieldType::Single: return "FLOAT";
        case FieldType::Double: return "DOUBLE";
        case FieldType::Date: return "DATETIME";
        case FieldType::YesNo: return "BOOLEAN";
    }
    return "TEXT";
}

FieldType typeFromDeclared(const std::string& declared, bool pk, int& size) {
    std::string t = upperAscii(declared);
    size = 0;
    if (t.rfind("TEXT(", 0) == 0) {
        size = std::atoi(t.c_str() + 5);
        return FieldType::Text;
    }
    if (t == "TEXT") return FieldType::Text;
    if (t == "LONGTEXT") return FieldType::Memo;
    if (t == "SMALLINT") return FieldType::Int16;
    if (t == "INTEGER") return pk ? FieldType::AutoNumber : FieldType::Int32;
    if (t == "FLOAT") return FieldType::Single;
    if (t == "DOUBLE") return FieldType::Double;
    if (t == "DATETIME") return FieldType::Date;
    if (t == "BOOLEAN") return FieldType::YesNo;
    return FieldType::Text;
}

std::string sqlLiteral(const Value& v) {
    switch (v.type()) {
        case Value::Type::Empty:
        case Value::Type::Null:
            return "NULL";
        case Value::Type::Bool:
            return v.asBoolRaw() ? "1" : "0";
        case Value::Type::Int16:
        case Value::Type::Int32:
        case Value::Type::Double:
            return toText(v);
        case Value::Type::Date:
            return "'" + formatIsoDate(v.asDateRaw()) + "'";
        case Value::Type::Text: {
            std::string out = "'";
            for (char c : v.asTextRaw()) {
                if (c == '\'') out += '\'';
                out += c;
            }
            return out + "'";
        }
    }
    return "NULL";
}

Value parseDefault(const char* text) {
    if (!text) return Value();
    std::string s(text);
    if (upperAscii(s) == "NULL") return Value();
    if (s.size() >= 2 && s.front() == '\'' && s.back() == '\'') {
        std::string out;
        for (size_t i = 1; i + 1 < s.size(); ++i) {
            out += s[i];
            if (s[i] == '\'' && i + 2 < s.size() && s[i + 1] == '\'') ++i;
        }
        return Value(out);
    }
    if (auto n = parseNumber(s)) return Value(*n);
    return Value(s);
}

// A column's definition as a create or alter statement gives it.
std::string columnSql(const FieldDef& f) {
    std::string sql = quoteName(f.name) + " ";
    if (f.type == FieldType::Text && f.size > 0)
        sql += "TEXT(" + std::to_string(f.size) + ")";
    else
        sql += declaredType(f.type);
    if (f.type == FieldType::YesNo) {
        FieldInfo info{f.name, f.type, f.size, {}};
        Value d = f.defaultValue.isEmpty() ? Value(false) : convertForField(info, f.defaultValue);
        sql += " NOT NULL DEFAULT " + sqlLiteral(d);
    } else if (!f.defaultValue.isEmpty()) {
        FieldInfo info{f.name, f.type, f.size, {}};
        sql += " DEFAULT " + sqlLiteral(convertForField(info, f.defaultValue));
    }
    if (f.unique) sql += " UNIQUE";
    return sql;
}

}  // namespace

int TableInfo::fieldIndex(std::string_view n) const {
    if (auto it = exact.find(n); it != exact.end()) return it->second;
    for (size_t i = 0; i < fields.size(); ++i)
        if (namesEqual(fields[i].name, n)) return static_cast<int>(i);
    return -1;
}

std::string quoteName(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

bool isValidTableName(std::string_view name) {
    if (name.empty() || detail::utf8Length(name) > 64) return false;
    if (name.front() == ' ' || name.back() == ' ') return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        if (c == '.' || c == '!' || c == '`' || c == '[' || c == ']' || c == '"') return false;
    }
    std::string u = upperAscii(name);
    if (u.rfind("SQLITE_", 0) == 0 || u.rfind("MSYS", 0) == 0) return false;
    return true;
}

std::optional<std::string> Database::findTable(std::string_view name) {
    auto st = prepare("SELECT name FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE");
    st->bindText(1, name);
    if (st->step()) return st->columnText(0);
    return std::nullopt;
}

std::vector<std::string> Database::tableNames() {
    std::vector<std::string> out;
    auto st = prepare(
        "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' "
        "ORDER BY rowid");
    while (st->step()) out.push_back(st->columnText(0));
    return out;
}

const TableInfo& Database::tableInfo(std::string_view name) { return *sharedTableInfo(name); }

std::shared_ptr<const TableInfo> Database::sharedTableInfo(std::string_view name) {
    std::string key = upperAscii(name);
    auto it = infoCache_.find(key);
    if (it != infoCache_.end()) return it->second;
    auto actual = findTable(name);
    if (!actual)
        throw RuntimeError(err::TableNotFound,
                           "The table '" + std::string(name) + "' was not found in the database.");
    auto info = std::make_unique<TableInfo>();
    info->name = *actual;
    auto st = prepare("PRAGMA table_info(" + quoteName(*actual) + ")");
    while (st->step()) {
        FieldInfo f;
        f.name = st->columnText(1);
        bool pk = st->columnInt(5) != 0;
        f.type = typeFromDeclared(st->columnText(2), pk, f.size);
        if (f.type == FieldType::Int16 && widened_.count(key + "." + upperAscii(f.name)))
            f.type = FieldType::Int32;
        if (!st->columnIsNull(4)) {
            std::string d = st->columnText(4);
            f.defaultValue = convertForField(f, parseDefault(d.c_str()));
        }
        info->fields.push_back(std::move(f));
    }
    for (size_t i = 0; i < info->fields.size(); ++i)
        info->exact.emplace(info->fields[i].name, static_cast<int>(i));
    std::shared_ptr<const TableInfo> shared = std::move(info);
    infoCache_[key] = shared;
    return shared;
}

void Database::widenToInt32(std::string_view table, std::string_view field) {
    newEpoch();
    widened_.insert(upperAscii(table) + "." + upperAscii(field));
    infoCache_.erase(upperAscii(table));
}

void Database::createTable(const TableDef& def) {
    newEpoch();
    if (!isValidTableName(def.name))
        throw RuntimeError(err::InvalidName,
                           "'" + def.name + "' is not a valid name for a table.");
    if (findTable(def.name))
        throw RuntimeError(err::TableExists, "Table '" + def.name + "' already exists.");
    std::string sql = "CREATE TABLE " + quoteName(def.name) + " (";
    bool first = true;
    for (const FieldDef& f : def.fields) {
        if (!first) sql += ", ";
        first = false;
        sql += columnSql(f);
    }
    if (!def.primaryField.empty()) {
        bool autoKey = false;
        for (const FieldDef& f : def.fields)
            if (namesEqual(f.name, def.primaryField) && f.type == FieldType::AutoNumber)
                autoKey = true;
        if (!autoKey) sql += ", PRIMARY KEY (" + quoteName(def.primaryField) + ")";
    }
    sql += ")";
    beginWrite();
    exec(sql);
    infoCache_.erase(upperAscii(def.name));
    for (const std::string& field : def.lookupFields) addLookupIndex(def.name, field);
}

namespace {

// Created tables take no '.' in their names, so "ix.table.field" names one
// index only.
std::string lookupIndexName(const std::string& table, const std::string& field) {
    return "ix." + table + "." + field;
}

}  // namespace

void Database::emptyTable(std::string_view table) {
    const std::string name = tableInfo(table).name;
    const std::string key = upperAscii(name);
    beginWrite();
    auto it = watched_.find(key);
    const bool told = it != watched_.end() && !it->second.recordsets.empty();
#ifdef MK_PREUPDATE_HOOK
    if (!told) sqlite3_preupdate_hook(db_, nullptr, nullptr);
#endif
    try {
        exec("DELETE FROM " + quoteName(name));
    } catch (...) {
#ifdef MK_PREUPDATE_HOOK
        sqlite3_preupdate_hook(db_, &Database::rowWillChange, this);
#endif
        throw;
    }
#ifdef MK_PREUPDATE_HOOK
    sqlite3_preupdate_hook(db_, &Database::rowWillChange, this);
#endif
    // Pages dropped whole are not told of row by row.
    if (!told && it != watched_.end()) {
        ++it->second.writes;
        it->second.rowsStamp = ++stamps_;
    }
    if (inTransaction_) writtenTables_.insert(key);
}

bool Database::hasLookupIndex(std::string_view table, std::string_view field) {
    const TableInfo& info = tableInfo(table);
    const int i = info.fieldIndex(field);
    if (i < 0) return false;
    auto st = prepare("SELECT 1 FROM sqlite_master WHERE type='index' AND name=?1");
    st->bindText(1, lookupIndexName(info.name, info.fields[static_cast<size_t>(i)].name));
    return st->step();
}

void Database::addLookupIndex(std::string_view table, std::string_view field) {
    const TableInfo& info = tableInfo(table);
    const int i = info.fieldIndex(field);
    if (i < 0)
        throw RuntimeError(err::FieldNotFound, "The field '" + std::string(field) +
                                                   "' was not found in the table " + info.name + ".");
    const std::string& name = info.fields[static_cast<size_t>(i)].name;
    beginWrite();
    exec("CREATE INDEX IF NOT EXISTS " + quoteName(lookupIndexName(info.name, name)) + " ON " +
         quoteName(info.name) + " (" + quoteName(name) + ")");
}

void Database::addColumn(const std::string& table, const FieldDef& field) {
    newEpoch();
    const std::string actual = tableInfo(table).name;
    beginWrite();
    exec("ALTER TABLE " + quoteName(actual) + " ADD COLUMN " + columnSql(field));
    infoCache_.erase(upperAscii(table));
}

}  // namespace mk
