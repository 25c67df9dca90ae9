// How a snapshot holds its rows: each row's cells packed one after
// another, a tag byte a cell, then its data, so a Null or empty cell costs
// one byte. A cell is packed as it is read from the file, read as
// Statement::column reads it for the field's type.
#pragma once

#include <cstring>
#include <vector>

#include "platform/database.h"

namespace mk::cells {

// Cell tags.
enum Tag : unsigned char { TEmpty, TNull, TFalse, TTrue, TInt16, TInt32, TDouble, TDate, TText };

using Bytes = std::vector<unsigned char>;

// A value the program holds.
void put(Bytes& out, const Value& v);
// The fields of a statement's row from column first on.
void putRow(Bytes& out, sqlite3_stmt* s, int first, const std::vector<FieldInfo>& fields);
// One column of a statement's row.
void putColumn(Bytes& out, sqlite3_stmt* s, int column, FieldType type);
// A value SQLite gives of a row about to change.
void putValue(Bytes& out, sqlite3_value* v, FieldType type);
// A field's cell when nothing could be read for it.
void putEmpty(Bytes& out, FieldType type);

namespace detail {

template <class T>
T get(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof(T));
    return v;
}

inline size_t getLength(const unsigned char*& p) {
    size_t n = 0;
    int shift = 0;
    while (*p & 0x80) {
        n |= static_cast<size_t>(*p++ & 0x7F) << shift;
        shift += 7;
    }
    n |= static_cast<size_t>(*p++) << shift;
    return n;
}

}  // namespace detail

// Steps over one packed cell.
inline const unsigned char* skip(const unsigned char* p) {
    switch (*p++) {
        case TInt16: return p + 2;
        case TInt32: return p + 4;
        case TDouble:
        case TDate: return p + 8;
        case TText: {
            const size_t n = detail::getLength(p);
            return p + n;
        }
        default: return p;
    }
}

inline Value decode(const unsigned char* p) {
    using detail::get;
    switch (*p++) {
        case TEmpty: return Value();
        case TNull: return Value::null();
        case TFalse: return Value(false);
        case TTrue: return Value(true);
        case TInt16: return Value::i16(get<int16_t>(p));
        case TInt32: return Value::i32(get<int32_t>(p));
        case TDouble: return Value(get<double>(p));
        case TDate: return Value::date(get<double>(p));
        case TText: {
            const size_t n = detail::getLength(p);
            return Value(std::string(reinterpret_cast<const char*>(p), n));
        }
    }
    return Value();
}

}  // namespace mk::cells
