#include "platform/recordset.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace mk {

namespace {

[[noreturn]] void noCurrentRow() {
    throw RuntimeError(err::NoCurrentRecord,
                       "There is no current row: the table is at its beginning or end.");
}

// Cell tags of the packed rows.
enum Tag : unsigned char { TEmpty, TNull, TFalse, TTrue, TInt16, TInt32, TDouble, TDate, TText };

template <class T>
void put(std::vector<unsigned char>& out, T v) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

template <class T>
T get(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof(T));
    return v;
}

void putLength(std::vector<unsigned char>& out, size_t n) {
    while (n >= 0x80) {
        out.push_back(static_cast<unsigned char>(n | 0x80));
        n >>= 7;
    }
    out.push_back(static_cast<unsigned char>(n));
}

size_t getLength(const unsigned char*& p) {
    size_t n = 0;
    int shift = 0;
    while (*p & 0x80) {
        n |= static_cast<size_t>(*p++ & 0x7F) << shift;
        shift += 7;
    }
    n |= static_cast<size_t>(*p++) << shift;
    return n;
}

void putText(std::vector<unsigned char>& out, std::string_view s) {
    out.push_back(TText);
    putLength(out, s.size());
    out.insert(out.end(), s.begin(), s.end());
}

void encode(std::vector<unsigned char>& out, const Value& v) {
    switch (v.type()) {
        case Value::Type::Empty: out.push_back(TEmpty); break;
        case Value::Type::Null: out.push_back(TNull); break;
        case Value::Type::Bool: out.push_back(v.asBoolRaw() ? TTrue : TFalse); break;
        case Value::Type::Int16: out.push_back(TInt16); put(out, v.asInt16Raw()); break;
        case Value::Type::Int32: out.push_back(TInt32); put(out, v.asInt32Raw()); break;
        case Value::Type::Double: out.push_back(TDouble); put(out, v.asDoubleRaw()); break;
        case Value::Type::Date: out.push_back(TDate); put(out, v.asDateRaw()); break;
        case Value::Type::Text: putText(out, v.asTextRaw()); break;
    }
}

// Reads a column as Statement::column does, straight into the packed form.
void encodeColumn(std::vector<unsigned char>& out, sqlite3_stmt* s, int i, FieldType type) {
    const int t = sqlite3_column_type(s, i);
    if (t == SQLITE_NULL) {
        out.push_back(type == FieldType::YesNo ? TFalse : TNull);
        return;
    }
    auto text = [&] {
        const unsigned char* p = sqlite3_column_text(s, i);
        return std::string_view(p ? reinterpret_cast<const char*>(p) : "",
                                static_cast<size_t>(sqlite3_column_bytes(s, i)));
    };
    switch (type) {
        case FieldType::Int16:
            out.push_back(TInt16);
            put(out, t == SQLITE_INTEGER ? static_cast<int16_t>(sqlite3_column_int64(s, i))
                                         : roundToInt16(sqlite3_column_double(s, i)));
            return;
        case FieldType::Int32:
        case FieldType::AutoNumber:
            out.push_back(TInt32);
            put(out, t == SQLITE_INTEGER ? static_cast<int32_t>(sqlite3_column_int64(s, i))
                                         : roundToInt32(sqlite3_column_double(s, i)));
            return;
        case FieldType::Single:
        case FieldType::Double:
            out.push_back(TDouble);
            put(out, t == SQLITE_TEXT ? leadingNumber(text()) : sqlite3_column_double(s, i));
            return;
        case FieldType::Date:
            if (t == SQLITE_TEXT) {
                const std::string_view str = text();
                if (auto d = parseDate(str)) {
                    out.push_back(TDate);
                    put(out, *d);
                } else {
                    putText(out, str);
                }
                return;
            }
            out.push_back(TDate);
            put(out, sqlite3_column_double(s, i));
            return;
        case FieldType::YesNo:
            out.push_back(sqlite3_column_int64(s, i) != 0 ? TTrue : TFalse);
            return;
        case FieldType::Text:
        case FieldType::Memo:
            break;
    }
    putText(out, text());
}

// Steps over one packed cell.
const unsigned char* skip(const unsigned char* p) {
    switch (*p++) {
        case TInt16: return p + 2;
        case TInt32: return p + 4;
        case TDouble:
        case TDate: return p + 8;
        case TText: {
            const size_t n = getLength(p);
            return p + n;
        }
        default: return p;
    }
}

Value decode(const unsigned char* p) {
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
            const size_t n = getLength(p);
            return Value(std::string(reinterpret_cast<const char*>(p), n));
        }
    }
    return Value();
}

}  // namespace

Recordset::Recordset(Database& db, std::string_view table, Open open) : db_(&db) {
    info_ = db.tableInfo(table);
    quotedTable_ = quoteName(info_.name);
    indexFields();
    if (open == Open::Now) {
        load();
        pos_ = firstLive();
    } else {
        // Opening still fails at once on a table that is gone.
        if (!db.findTable(info_.name))
            throw RuntimeError(err::TableNotFound,
                               "The table '" + info_.name + "' was not found in the database.");
        atEndOnLoad_ = open == Open::AtEndOnFirstUse;
    }
    db.registerRecordset(this);
}

Recordset::~Recordset() {
    if (db_) db_->unregisterRecordset(this);
}

Database& Recordset::db() {
    if (!db_) throw RuntimeError(err::ObjectNotSet, "The database file is closed.");
    return *db_;
}

void Recordset::detach() {
    db_ = nullptr;
    rows_.clear();
    data_.clear();
    loaded_ = true;
    clearPending();
    adding_ = false;
    live_ = 0;
    pos_ = 0;
}

void Recordset::indexFields() {
    exactIndex_.clear();
    sqlCache_.clear();
    for (size_t i = 0; i < info_.fields.size(); ++i)
        exactIndex_.emplace(info_.fields[i].name, static_cast<int>(i));
    pendVal_.assign(info_.fields.size(), Value());
    pendSet_.assign(info_.fields.size(), 0);
    pendCount_ = 0;
}

void Recordset::clearPending() {
    if (pendCount_ == 0) return;
    std::fill(pendSet_.begin(), pendSet_.end(), 0);
    pendCount_ = 0;
}

void Recordset::setPending(int i, Value v) {
    auto k = static_cast<size_t>(i);
    if (!pendSet_[k]) {
        pendSet_[k] = 1;
        ++pendCount_;
    }
    pendVal_[k] = std::move(v);
}

void Recordset::erasePending(int i) {
    auto k = static_cast<size_t>(i);
    if (pendSet_[k]) {
        pendSet_[k] = 0;
        --pendCount_;
    }
}

// The INSERT ('I') or UPDATE ('U') text for the fields now pending.
const std::string& Recordset::cachedSql(char kind) {
    std::string key(1, kind);
    key.append(pendSet_.begin(), pendSet_.end());
    auto it = sqlCache_.find(key);
    if (it != sqlCache_.end()) return it->second;
    std::string sql;
    int n = 0;
    if (kind == 'I') {
        std::string cols, params;
        for (size_t i = 0; i < pendSet_.size(); ++i) {
            if (!pendSet_[i]) continue;
            if (n) cols += ", ", params += ", ";
            cols += quoteName(info_.fields[i].name);
            params += '?';
            params += std::to_string(++n);
        }
        sql = n == 0 ? "INSERT INTO " + quotedTable_ + " DEFAULT VALUES"
                     : "INSERT INTO " + quotedTable_ + " (" + cols + ") VALUES (" + params + ")";
    } else {
        std::string sets;
        for (size_t i = 0; i < pendSet_.size(); ++i) {
            if (!pendSet_[i]) continue;
            if (n) sets += ", ";
            sets += quoteName(info_.fields[i].name);
            sets += "=?";
            sets += std::to_string(++n);
        }
        sql = "UPDATE " + quotedTable_ + " SET " + sets + " WHERE rowid=?" + std::to_string(n + 1);
    }
    return sqlCache_.emplace(key, std::move(sql)).first->second;
}

void Recordset::load() {
    rows_.clear();
    data_.clear();
    garbage_ = 0;
    loaded_ = true;
    {
        auto count = db().prepare("SELECT count(*) FROM " + quotedTable_);
        if (count->step()) {
            const auto n = static_cast<size_t>(count->columnInt(0));
            rows_.reserve(n);
            data_.reserve(std::min<size_t>(n, 100) * (info_.fields.size() + 16));
        }
    }
    auto st = db().prepare("SELECT rowid, * FROM " + quotedTable_ + " ORDER BY rowid");
    sqlite3_stmt* s = st->raw();
    const size_t n = info_.fields.size();
    const size_t expected = rows_.capacity();
    while (st->step()) {
        // Once a hundred rows show the typical size, room for the rest.
        if (rows_.size() == 100 && expected > 200)
            data_.reserve(data_.size() / 100 * expected * 11 / 10);
        Row r;
        r.rowid = sqlite3_column_int64(s, 0);
        r.offset = data_.size();
        for (size_t i = 0; i < n; ++i)
            encodeColumn(data_, s, static_cast<int>(i) + 1, info_.fields[i].type);
        r.size = static_cast<uint32_t>(data_.size() - r.offset);
        rows_.push_back(r);
    }
    live_ = static_cast<long>(rows_.size());
}

void Recordset::readAppended(long long afterRowid) {
    if (!loaded_) {
        ensureLoaded();
        return;
    }
    const bool atEnd = pos_ >= static_cast<long>(rows_.size());
    // Only the row numbers now; the cells when first read.
    auto st = db().prepare("SELECT rowid FROM " + quotedTable_ + " WHERE rowid > ?1 ORDER BY rowid");
    st->bindInt(1, afterRowid);
    while (st->step()) {
        Row r;
        r.rowid = st->columnInt(0);
        r.size = kUnread;
        rows_.push_back(r);
        ++live_;
    }
    if (atEnd) pos_ = static_cast<long>(rows_.size());
}

void Recordset::ensureLoaded() const {
    if (loaded_) return;
    auto* self = const_cast<Recordset*>(this);
    self->load();
    pos_ = atEndOnLoad_ ? static_cast<long>(rows_.size()) : firstLive();
    atEndOnLoad_ = false;
}

Recordset::Position Recordset::position() const {
    if (!loaded_) return {};
    const long at = adding_ ? posBeforeAdd_ : pos_;
    const long size = static_cast<long>(rows_.size());
    Position p;
    p.valid = true;
    p.rowid = at >= 0 && at < size ? rows_[static_cast<size_t>(at)].rowid : 0;
    p.beforeStart = at < 0;
    p.pastEnd = at >= size && size > 0;
    return p;
}

void Recordset::rereadQuietly(bool keepPosition) {
    if (!loaded_) {
        // Never read: it reads the table as it is when first used.
        mark_ = {};
        adding_ = false;
        try {
            info_ = db().tableInfo(info_.name);
            indexFields();
        } catch (const RuntimeError&) {
        }
        return;
    }
    const Position was = mark_.valid ? mark_ : position();
    mark_ = {};
    adding_ = false;
    try {
        info_ = db().tableInfo(info_.name);
        indexFields();
        load();
    } catch (const RuntimeError&) {
        rows_.clear();
        data_.clear();
        live_ = 0;
    }
    atEndOnLoad_ = false;
    pos_ = firstLive();
    if (keepPosition) {
        if (was.pastEnd) pos_ = static_cast<long>(rows_.size());
        if (was.beforeStart && live_ > 0) pos_ = -1;
        for (size_t i = 0; was.rowid != 0 && i < rows_.size(); ++i)
            if (rows_[i].rowid == was.rowid) pos_ = static_cast<long>(i);
    }
    moved();
}

// Rows known by number whose cells are read when first needed, a block of
// neighbours at a time, so a walk either way reads in blocks.
void Recordset::readUnread(size_t row) const {
    constexpr size_t kBlock = 4096;
    size_t first = row, last = row + 1;
    while (first > 0 && row - first < kBlock && rows_[first - 1].size == kUnread) --first;
    while (last < rows_.size() && last - row < kBlock && rows_[last].size == kUnread) ++last;
    auto* self = const_cast<Recordset*>(this);
    auto st = self->db().prepare("SELECT rowid, * FROM " + quotedTable_ +
                                 " WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid");
    st->bindInt(1, rows_[first].rowid);
    st->bindInt(2, rows_[last - 1].rowid);
    sqlite3_stmt* s = st->raw();
    const size_t n = info_.fields.size();
    size_t k = first;
    while (st->step()) {
        const long long rowid = sqlite3_column_int64(s, 0);
        while (k < last && rows_[k].rowid < rowid) ++k;
        if (k == last) break;
        if (rows_[k].rowid != rowid) continue;
        Row& r = rows_[k];
        r.offset = data_.size();
        for (size_t i = 0; i < n; ++i)
            encodeColumn(data_, s, static_cast<int>(i) + 1, info_.fields[i].type);
        r.size = static_cast<uint32_t>(data_.size() - r.offset);
    }
    // A row removed meanwhile by another window reads as empty.
    for (size_t i = first; i < last; ++i) {
        if (rows_[i].size != kUnread) continue;
        rows_[i].offset = data_.size();
        for (const FieldInfo& f : info_.fields)
            data_.push_back(f.type == FieldType::YesNo ? TFalse : TNull);
        rows_[i].size = static_cast<uint32_t>(data_.size() - rows_[i].offset);
    }
}

const unsigned char* Recordset::cellData(size_t row, size_t field) const {
    if (rows_[row].size == kUnread) readUnread(row);
    const unsigned char* p = data_.data() + rows_[row].offset;
    for (size_t i = 0; i < field; ++i) p = skip(p);
    return p;
}

Value Recordset::cell(size_t row, size_t field) const { return decode(cellData(row, field)); }

std::vector<Value> Recordset::rowValues(size_t row) const {
    if (rows_[row].size == kUnread) readUnread(row);
    std::vector<Value> out;
    out.reserve(info_.fields.size());
    const unsigned char* p = data_.data() + rows_[row].offset;
    for (size_t i = 0; i < info_.fields.size(); ++i) {
        out.push_back(decode(p));
        p = skip(p);
    }
    return out;
}

void Recordset::storeRow(Row& row, const std::vector<Value>& values) {
    if (row.size != kUnread) garbage_ += row.size;
    // Rewritten rows leave their old bytes behind; pack when half is waste.
    if (garbage_ > (1u << 20) && garbage_ * 2 > data_.size()) {
        std::vector<unsigned char> packed;
        packed.reserve(data_.size() - garbage_ + 1024);
        for (Row& r : rows_) {
            if (r.size == kUnread) continue;
            const uint64_t at = packed.size();
            packed.insert(packed.end(), data_.begin() + static_cast<long>(r.offset),
                          data_.begin() + static_cast<long>(r.offset + r.size));
            r.offset = at;
        }
        data_.swap(packed);
        garbage_ = 0;
    }
    row.offset = data_.size();
    for (const Value& v : values) encode(data_, v);
    row.size = static_cast<uint32_t>(data_.size() - row.offset);
}

long Recordset::firstLive() const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (!rows_[i].deleted) return static_cast<long>(i);
    return static_cast<long>(rows_.size());
}

long Recordset::lastLive() const {
    for (size_t i = rows_.size(); i-- > 0;)
        if (!rows_[i].deleted) return static_cast<long>(i);
    return static_cast<long>(rows_.size());
}

long Recordset::recordCount() const {
    ensureLoaded();
    return live_;
}

bool Recordset::bof() const {
    ensureLoaded();
    return !adding_ && (pos_ < 0 || live_ == 0);
}

bool Recordset::eof() const {
    if (!loaded_ && atEndOnLoad_) return !adding_;
    ensureLoaded();
    return !adding_ && pos_ >= static_cast<long>(rows_.size());
}

bool Recordset::currentDeleted() const {
    if (!loaded_ && atEndOnLoad_) return false;
    ensureLoaded();
    return !adding_ && pos_ >= 0 && pos_ < static_cast<long>(rows_.size()) &&
           rows_[static_cast<size_t>(pos_)].deleted;
}

bool Recordset::hasCurrentRow() const {
    if (adding_) return true;
    if (!loaded_ && atEndOnLoad_) return false;
    ensureLoaded();
    return pos_ >= 0 && pos_ < static_cast<long>(rows_.size()) &&
           !rows_[static_cast<size_t>(pos_)].deleted;
}

long Recordset::absolutePosition() const {
    if (!hasCurrentRow() || adding_) return 0;
    long n = 0;
    for (long i = 0; i <= pos_; ++i)
        if (!rows_[static_cast<size_t>(i)].deleted) ++n;
    return n;
}

long long Recordset::rowId() const {
    if (adding_ || !hasCurrentRow()) return 0;
    return rows_[static_cast<size_t>(pos_)].rowid;
}

void Recordset::moved() {
    if (listener_) listener_->recordsetMoved(*this);
}

void Recordset::leaveRow() {
    if (listener_) listener_->recordsetWillWrite(*this);
    if (hasPendingChanges()) update();
}

void Recordset::moveFirst() {
    ensureLoaded();
    leaveRow();
    pos_ = firstLive();
    moved();
}

void Recordset::moveLast() {
    ensureLoaded();
    leaveRow();
    pos_ = lastLive();
    moved();
}

void Recordset::moveNext() {
    if (eof()) noCurrentRow();
    ensureLoaded();
    leaveRow();
    long i = pos_ + 1;
    while (i < static_cast<long>(rows_.size()) && rows_[static_cast<size_t>(i)].deleted) ++i;
    pos_ = std::min(i, static_cast<long>(rows_.size()));
    moved();
}

void Recordset::movePrevious() {
    if (bof()) noCurrentRow();
    leaveRow();
    long i = std::min(pos_, static_cast<long>(rows_.size())) - 1;
    while (i >= 0 && rows_[static_cast<size_t>(i)].deleted) --i;
    pos_ = i;
    moved();
}

void Recordset::addNew() {
    ensureLoaded();
    leaveRow();
    posBeforeAdd_ = pos_;
    adding_ = true;
    clearPending();
    newRow_.clear();
    for (const FieldInfo& f : info_.fields)
        newRow_.push_back(f.type == FieldType::YesNo ? Value(false) : Value::null());
    moved();
}

void Recordset::update() {
    ensureLoaded();
    if (listener_) listener_->recordsetWillWrite(*this);
    Database& d = db();
    const size_t nf = info_.fields.size();
    if (adding_) {
        d.beginWrite();
        {
            auto st = d.prepare(cachedSql('I'));
            int i = 0;
            for (size_t k = 0; k < nf; ++k)
                if (pendSet_[k]) st->bind(++i, pendVal_[k], info_.fields[k].type);
            st->step();
        }
        Row r;
        r.rowid = d.lastInsertRowid();
        std::vector<Value> values;
        values.reserve(nf);
        for (size_t k = 0; k < nf; ++k) {
            const FieldInfo& f = info_.fields[k];
            if (pendSet_[k]) values.push_back(std::move(pendVal_[k]));
            else if (f.type == FieldType::AutoNumber)
                values.push_back(Value::i32(static_cast<int32_t>(r.rowid)));
            else if (!f.defaultValue.isEmpty()) values.push_back(f.defaultValue);
            else values.push_back(f.type == FieldType::YesNo ? Value(false) : Value::null());
        }
        storeRow(r, values);
        rows_.push_back(r);
        pos_ = static_cast<long>(rows_.size()) - 1;
        ++live_;
        adding_ = false;
        clearPending();
        // Bound controls show the stored row (its defaults and number).
        moved();
        return;
    }
    if (pendCount_ == 0) return;
    if (currentDeleted()) {
        clearPending();
        return;
    }
    if (!hasCurrentRow()) noCurrentRow();
    Row& row = rows_[static_cast<size_t>(pos_)];
    d.beginWrite();
    {
        auto st = d.prepare(cachedSql('U'));
        int i = 0;
        for (size_t k = 0; k < nf; ++k)
            if (pendSet_[k]) st->bind(++i, pendVal_[k], info_.fields[k].type);
        st->bindInt(i + 1, row.rowid);
        st->step();
    }
    if (d.changes() == 0)
        throw RuntimeError(err::RowChanged,
                           "The row could not be saved: it was deleted from " + info_.name +
                               " in another window.");
    std::vector<Value> values = rowValues(static_cast<size_t>(pos_));
    for (size_t k = 0; k < nf; ++k)
        if (pendSet_[k]) values[k] = std::move(pendVal_[k]);
    storeRow(rows_[static_cast<size_t>(pos_)], values);
    clearPending();
}

void Recordset::deleteCurrent() {
    ensureLoaded();
    if (adding_) {
        cancelUpdate();
        return;
    }
    if (currentDeleted())
        throw RuntimeError(err::RowDeleted, "The row has already been deleted.");
    if (!hasCurrentRow()) noCurrentRow();
    Database& d = db();
    Row& row = rows_[static_cast<size_t>(pos_)];
    d.beginWrite();
    {
        auto st = d.prepare("DELETE FROM " + quotedTable_ + " WHERE rowid=?1");
        st->bindInt(1, row.rowid);
        st->step();
    }
    row.deleted = true;
    --live_;
    clearPending();
}

void Recordset::cancelUpdate() {
    ensureLoaded();
    clearPending();
    if (adding_) {
        adding_ = false;
        pos_ = posBeforeAdd_;
    }
    moved();
}

void Recordset::refresh() {
    clearPending();
    adding_ = false;
    atEndOnLoad_ = false;
    load();
    pos_ = firstLive();
    moved();
}

int Recordset::indexOf(std::string_view name) const {
    auto exact = exactIndex_.find(name);
    if (exact != exactIndex_.end()) return exact->second;
    int i = info_.fieldIndex(name);
    if (i < 0)
        throw RuntimeError(err::FieldNotFound, "The field '" + std::string(name) +
                                                   "' was not found in the table " +
                                                   info_.name + ".");
    return i;
}

void Recordset::requireCurrent() const {
    if (currentDeleted()) throw RuntimeError(err::RowDeleted, "The current row has been deleted.");
    if (!hasCurrentRow()) noCurrentRow();
}

Value Recordset::currentValue(size_t field) const {
    return adding_ ? newRow_[field] : cell(static_cast<size_t>(pos_), field);
}

Value Recordset::field(std::string_view name) const {
    int i = indexOf(name);
    requireCurrent();
    if (pendSet_[static_cast<size_t>(i)]) return pendVal_[static_cast<size_t>(i)];
    return currentValue(static_cast<size_t>(i));
}

void Recordset::setField(std::string_view name, const Value& v) {
    int i = indexOf(name);
    requireCurrent();
    const FieldInfo& f = info_.fields[static_cast<size_t>(i)];
    if (f.type == FieldType::AutoNumber)
        throw RuntimeError(err::NotUpdatable, "The field " + f.name + " is numbered by itself.");
    Value c = convertForField(f, v);
    if (!adding_ && c == currentValue(static_cast<size_t>(i))) erasePending(i);
    else setPending(i, std::move(c));
}

std::vector<Value> Recordset::columnValues(std::string_view name) const {
    int i = indexOf(name);
    ensureLoaded();
    std::vector<Value> out;
    out.reserve(static_cast<size_t>(live_));
    for (size_t r = 0; r < rows_.size(); ++r)
        if (!rows_[r].deleted) out.push_back(cell(r, static_cast<size_t>(i)));
    return out;
}

bool Recordset::findFirst(std::string_view name, const std::function<bool(const Value&)>& match) {
    moveFirst();
    if (eof()) return false;
    const auto f = static_cast<size_t>(indexOf(name));
    long found = static_cast<long>(rows_.size());
    for (size_t r = static_cast<size_t>(pos_); r < rows_.size(); ++r) {
        if (rows_[r].deleted) continue;
        bool equal;
        try {
            equal = match(cell(r, f));
        } catch (const RuntimeError&) {
            // A failed comparison leaves the search on the row it failed on.
            pos_ = static_cast<long>(r);
            moved();
            throw;
        }
        if (equal) {
            found = static_cast<long>(r);
            break;
        }
    }
    if (found != pos_) {
        pos_ = found;
        moved();
    }
    return found < static_cast<long>(rows_.size());
}

bool Recordset::findFirstText(std::string_view name, std::string_view text) {
    moveFirst();
    if (eof()) return false;
    const auto f = static_cast<size_t>(indexOf(name));
    long found = static_cast<long>(rows_.size());
    for (size_t r = static_cast<size_t>(pos_); r < rows_.size(); ++r) {
        if (rows_[r].deleted) continue;
        const unsigned char* p = cellData(r, f);
        bool equal;
        if (*p == TText) {
            ++p;
            const size_t n = getLength(p);
            equal = n == text.size() && std::memcmp(p, text.data(), n) == 0;
        } else {
            equal = toText(decode(p)) == text;
        }
        if (equal) {
            found = static_cast<long>(r);
            break;
        }
    }
    if (found != pos_) {
        pos_ = found;
        moved();
    }
    return found < static_cast<long>(rows_.size());
}

}  // namespace mk
