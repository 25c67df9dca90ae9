#include "platform/table_scan.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace mk::scan {

namespace {

const FieldInfo& fieldOf(const TableInfo& info, const std::string& name) {
    const int i = info.fieldIndex(name);
    if (i < 0)
        throw RuntimeError(err::FieldNotFound,
                           "The field '" + name + "' was not found in the table " + info.name + ".");
    return info.fields[static_cast<size_t>(i)];
}

// The fields' values, read as the recordset reads them.
void visitRows(Statement& st, const std::vector<const FieldInfo*>& fields,
               const std::function<void(const std::vector<Value>&)>& visit) {
    std::vector<Value> row(fields.size());
    while (st.step()) {
        for (size_t i = 0; i < fields.size(); ++i)
            row[i] = st.column(static_cast<int>(i), fields[i]->type);
        visit(row);
    }
}

// A text field compared with a text: a text column holds only texts (or
// Null), compared as they are, which its index answers.
std::string textOf(const FieldInfo& f) {
    const bool plain = f.type == FieldType::Text || f.type == FieldType::Memo;
    return plain ? quoteName(f.name) : sqlRead("text", f);
}

std::string selectList(const std::vector<const FieldInfo*>& fields) {
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) out += (i ? ", " : "") + quoteName(fields[i]->name);
    return out;
}

}  // namespace

double sum(Database& db, const std::string& table, const std::string& field, double start) {
    const TableInfo& info = db.tableInfo(table);
    auto st = db.prepare("SELECT mk_sum(" + sqlRead("double", fieldOf(info, field)) + ", ?1) FROM " +
                         quoteName(info.name));
    st->bind(1, Value(start), FieldType::Double);
    if (!st->step() || st->columnIsNull(0)) return start;
    return toDouble(st->column(0, FieldType::Double));
}

std::pair<double, double> sumProducts(Database& db, const std::string& table,
                                      const std::string& q, const std::string& a,
                                      const std::string& b, std::pair<double, double> start) {
    const TableInfo& info = db.tableInfo(table);
    auto st = db.prepare("SELECT mk_sum_products(" + sqlArgs(fieldOf(info, q)) + ", " +
                         sqlArgs(fieldOf(info, a)) + ", " + sqlArgs(fieldOf(info, b)) +
                         ", ?1, ?2) FROM " + quoteName(info.name));
    st->bind(1, Value(start.first), FieldType::Double);
    st->bind(2, Value(start.second), FieldType::Double);
    if (!st->step() || sqlite3_column_bytes(st->raw(), 0) != 2 * sizeof(double)) return start;
    double both[2];
    std::memcpy(both, sqlite3_column_blob(st->raw(), 0), sizeof both);
    return {both[0], both[1]};
}

bool hasRows(Database& db, const std::string& table) {
    auto st = db.prepare("SELECT EXISTS (SELECT 1 FROM " + quoteName(db.tableInfo(table).name) + ")");
    return st->step() && st->columnInt(0) != 0;
}

double maxNumber(Database& db, const std::string& table, const std::string& field, double start) {
    const TableInfo& info = db.tableInfo(table);
    const FieldInfo& f = fieldOf(info, field);
    const std::string from = " FROM " + quoteName(info.name);
    const std::string column = quoteName(f.name);
    const bool whole = f.type == FieldType::Int16 || f.type == FieldType::Int32 ||
                       f.type == FieldType::AutoNumber;
    if (whole) {
        const double low = f.type == FieldType::Int16 ? -32768.0 : -2147483648.0;
        const double high = f.type == FieldType::Int16 ? 32767.0 : 2147483647.0;
        // Numbers sort before texts and blobs; '' is the least text.
        bool plain = !db.prepare("SELECT 1" + from + " WHERE " + column + " >= '' LIMIT 1")->step();
        auto edge = [&](const char* which) -> std::optional<Value> {
            auto st = db.prepare(std::string("SELECT ") + which + "(" + column + ")" + from);
            if (!st->step() || st->columnIsNull(0)) return std::nullopt;
            const double v = sqlite3_column_double(st->raw(), 0);
            if (!(v >= low && v <= high)) plain = false;
            return st->column(0, f.type);
        };
        std::optional<Value> largest;
        if (plain) edge("min");
        if (plain) largest = edge("max");
        if (plain) {
            double result = start;
            if (largest) result = std::max(result, toDouble(*largest));
            if (db.prepare("SELECT 1" + from + " WHERE " + column + " IS NULL LIMIT 1")->step())
                result = std::max(result, toDouble(Value::null()));
            return result;
        }
    }
    double result = start;
    auto st = db.prepare("SELECT " + column + from + " ORDER BY rowid");
    while (st->step()) result = std::max(result, toDouble(st->column(0, f.type)));
    return result;
}

long long lastRowid(Database& db, const std::string& table) {
    auto st = db.prepare("SELECT max(rowid) FROM " + quoteName(db.tableInfo(table).name));
    return st->step() ? st->columnInt(0) : 0;
}

long long appendTextAndInt32(Database& db, const std::string& target,
                             const std::string& targetText, const std::string& targetNumber,
                             const std::string& source, const std::string& sourceText,
                             const std::string& sourceNumber) {
    const TableInfo& to = db.tableInfo(target);
    const TableInfo& from = db.tableInfo(source);
    const FieldInfo& text = fieldOf(to, targetText);
    const FieldInfo& number = fieldOf(to, targetNumber);
    db.beginWrite();
    auto st = db.prepare("INSERT INTO " + quoteName(to.name) + " (" + quoteName(text.name) + ", " +
                         quoteName(number.name) + ") SELECT mk_fit(" +
                         sqlArgs(fieldOf(from, sourceText)) + ", ?1, ?2), " +
                         sqlRead("int32", fieldOf(from, sourceNumber)) + " FROM " +
                         quoteName(from.name) + " ORDER BY rowid");
    st->bindInt(1, text.size);
    st->bindText(2, text.name);
    st->step();
    return db.changes();
}

void forEachTextAndInt32(Database& db, const std::string& table, const std::string& text,
                         const std::string& number,
                         const std::function<void(const std::string&, int32_t)>& visit) {
    const TableInfo& info = db.tableInfo(table);
    auto st = db.prepare("SELECT " + sqlRead("text", fieldOf(info, text)) + ", " +
                         sqlRead("int32", fieldOf(info, number)) + " FROM " +
                         quoteName(info.name) + " ORDER BY rowid");
    while (st->step()) visit(st->columnText(0), static_cast<int32_t>(st->columnInt(1)));
}

void forEachRow(Database& db, const std::string& table, const std::vector<std::string>& fields,
                const std::function<void(const std::vector<Value>&)>& visit) {
    const TableInfo& info = db.tableInfo(table);
    std::vector<const FieldInfo*> read;
    for (const std::string& f : fields) read.push_back(&fieldOf(info, f));
    auto st = db.prepare("SELECT " + selectList(read) + " FROM " + quoteName(info.name) +
                         " ORDER BY rowid");
    visitRows(*st, read, visit);
}

void forEachInDays(Database& db, const std::string& table, const std::string& date,
                   double from, double to, const std::vector<std::string>& fields,
                   const std::function<void(const std::vector<Value>&)>& visit) {
    const TableInfo& info = db.tableInfo(table);
    const FieldInfo& day = fieldOf(info, date);
    std::vector<const FieldInfo*> read;
    for (const std::string& f : fields) read.push_back(&fieldOf(info, f));
    auto st = db.prepare("SELECT " + selectList(read) + " FROM " + quoteName(info.name) +
                         " WHERE " + sqlRead("day", day) + " BETWEEN ?1 AND ?2 ORDER BY rowid");
    st->bind(1, Value(from), FieldType::Double);
    st->bind(2, Value(to), FieldType::Double);
    visitRows(*st, read, visit);
}

void forEachWithText(Database& db, const std::string& table,
                     const std::vector<std::string>& textFields, const std::string& text,
                     const std::vector<std::string>& fields,
                     const std::function<void(const std::vector<Value>&)>& visit) {
    const TableInfo& info = db.tableInfo(table);
    std::vector<const FieldInfo*> read;
    for (const std::string& f : fields) read.push_back(&fieldOf(info, f));
    std::string any;
    for (const std::string& name : textFields)
        any += (any.empty() ? "" : ", ") + textOf(fieldOf(info, name));
    // One field is compared as field = text, which its index answers.
    const std::string where = textFields.size() == 1 ? any + " = ?1" : "?1 IN (" + any + ")";
    auto st = db.prepare("SELECT " + selectList(read) + " FROM " + quoteName(info.name) +
                         " WHERE " + where + " ORDER BY rowid");
    st->bindText(1, text);
    visitRows(*st, read, visit);
}

long long appendWithText(Database& db, const std::string& target, const std::string& numberField,
                         long long first, const std::vector<FieldCopy>& copies,
                         const std::string& source, const std::string& textField,
                         const std::string& text) {
    const TableInfo& to = db.tableInfo(target);
    const TableInfo& from = db.tableInfo(source);
    const FieldInfo& number = fieldOf(to, numberField);
    std::string columns = quoteName(number.name);
    // The rows are numbered in the order they are appended.
    std::string values =
        sqlStore("?2 + row_number() OVER (ORDER BY rowid) - 1", FieldType::Int32, number);
    for (const FieldCopy& c : copies) {
        const FieldInfo& into = fieldOf(to, c.target);
        const FieldInfo& read = fieldOf(from, c.source);
        columns += ", " + quoteName(into.name);
        if (!c.conversion) {
            values += ", " + sqlStore(quoteName(read.name), read.type, into);
            continue;
        }
        // What the conversion gives, read back as the value it is.
        const std::string_view how = c.conversion;
        const FieldType gives = how == "text"    ? FieldType::Text
                                : how == "int32" ? FieldType::Int32
                                                 : FieldType::Double;
        values += ", " + sqlStore(sqlRead(c.conversion, read), gives, into);
    }
    db.beginWrite();
    auto st = db.prepare("INSERT INTO " + quoteName(to.name) + " (" + columns + ") SELECT " + values +
                         " FROM " + quoteName(from.name) + " WHERE " +
                         textOf(fieldOf(from, textField)) + " = ?1 ORDER BY rowid");
    st->bindText(1, text);
    st->bindInt(2, first);
    st->step();
    return db.changes();
}

}  // namespace mk::scan
