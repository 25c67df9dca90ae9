#include "platform/recordset_cells.h"

#include <sqlite3.h>

namespace mk::cells {

namespace {

template <class T>
void putRaw(Bytes& out, T v) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

void putLength(Bytes& out, size_t n) {
    while (n >= 0x80) {
        out.push_back(static_cast<unsigned char>(n | 0x80));
        n >>= 7;
    }
    out.push_back(static_cast<unsigned char>(n));
}

void putText(Bytes& out, std::string_view s) {
    out.push_back(TText);
    putLength(out, s.size());
    out.insert(out.end(), s.begin(), s.end());
}

// A column of a statement's row, or a value SQLite gives of a row about to
// change: read alike.
struct ColumnCell {
    sqlite3_stmt* s;
    int i;
    int type() const { return sqlite3_column_type(s, i); }
    long long integer() const { return sqlite3_column_int64(s, i); }
    double real() const { return sqlite3_column_double(s, i); }
    std::string_view text() const {
        const unsigned char* p = sqlite3_column_text(s, i);
        return std::string_view(p ? reinterpret_cast<const char*>(p) : "",
                                static_cast<size_t>(sqlite3_column_bytes(s, i)));
    }
};

struct ValueCell {
    sqlite3_value* v;
    int type() const { return sqlite3_value_type(v); }
    long long integer() const { return sqlite3_value_int64(v); }
    double real() const { return sqlite3_value_double(v); }
    std::string_view text() const {
        const unsigned char* p = sqlite3_value_text(v);
        return std::string_view(p ? reinterpret_cast<const char*>(p) : "",
                                static_cast<size_t>(sqlite3_value_bytes(v)));
    }
};

// Reads a cell as Statement::column does, straight into the packed form.
template <class Cell>
void putCell(Bytes& out, const Cell& c, FieldType type) {
    const int t = c.type();
    if (t == SQLITE_NULL) {
        out.push_back(type == FieldType::YesNo ? TFalse : TNull);
        return;
    }
    switch (type) {
        case FieldType::Int16:
            out.push_back(TInt16);
            putRaw(out, t == SQLITE_INTEGER ? static_cast<int16_t>(c.integer()) : roundToInt16(c.real()));
            return;
        case FieldType::Int32:
        case FieldType::AutoNumber:
            out.push_back(TInt32);
            putRaw(out, t == SQLITE_INTEGER ? static_cast<int32_t>(c.integer()) : roundToInt32(c.real()));
            return;
        case FieldType::Single:
        case FieldType::Double:
            out.push_back(TDouble);
            putRaw(out, t == SQLITE_TEXT ? leadingNumber(c.text()) : c.real());
            return;
        case FieldType::Date:
            if (t == SQLITE_TEXT) {
                const std::string_view str = c.text();
                if (auto d = parseDate(str)) {
                    out.push_back(TDate);
                    putRaw(out, *d);
                } else {
                    putText(out, str);
                }
                return;
            }
            out.push_back(TDate);
            putRaw(out, c.real());
            return;
        case FieldType::YesNo:
            out.push_back(c.integer() != 0 ? TTrue : TFalse);
            return;
        case FieldType::Text:
        case FieldType::Memo:
            break;
    }
    putText(out, c.text());
}

}  // namespace

void put(Bytes& out, const Value& v) {
    switch (v.type()) {
        case Value::Type::Empty: out.push_back(TEmpty); break;
        case Value::Type::Null: out.push_back(TNull); break;
        case Value::Type::Bool: out.push_back(v.asBoolRaw() ? TTrue : TFalse); break;
        case Value::Type::Int16: out.push_back(TInt16); putRaw(out, v.asInt16Raw()); break;
        case Value::Type::Int32: out.push_back(TInt32); putRaw(out, v.asInt32Raw()); break;
        case Value::Type::Double: out.push_back(TDouble); putRaw(out, v.asDoubleRaw()); break;
        case Value::Type::Date: out.push_back(TDate); putRaw(out, v.asDateRaw()); break;
        case Value::Type::Text: putText(out, v.asTextRaw()); break;
    }
}

void putRow(Bytes& out, sqlite3_stmt* s, int first, const std::vector<FieldInfo>& fields) {
    for (size_t i = 0; i < fields.size(); ++i)
        putCell(out, ColumnCell{s, first + static_cast<int>(i)}, fields[i].type);
}

void putColumn(Bytes& out, sqlite3_stmt* s, int column, FieldType type) {
    putCell(out, ColumnCell{s, column}, type);
}

void putValue(Bytes& out, sqlite3_value* v, FieldType type) { putCell(out, ValueCell{v}, type); }

void putEmpty(Bytes& out, FieldType type) { out.push_back(type == FieldType::YesNo ? TFalse : TNull); }

}  // namespace mk::cells
