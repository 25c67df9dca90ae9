#include "platform/recordset.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>

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
void encodeCell(std::vector<unsigned char>& out, const Cell& c, FieldType type) {
    const int t = c.type();
    if (t == SQLITE_NULL) {
        out.push_back(type == FieldType::YesNo ? TFalse : TNull);
        return;
    }
    switch (type) {
        case FieldType::Int16:
            out.push_back(TInt16);
            put(out, t == SQLITE_INTEGER ? static_cast<int16_t>(c.integer()) : roundToInt16(c.real()));
            return;
        case FieldType::Int32:
        case FieldType::AutoNumber:
            out.push_back(TInt32);
            put(out, t == SQLITE_INTEGER ? static_cast<int32_t>(c.integer()) : roundToInt32(c.real()));
            return;
        case FieldType::Single:
        case FieldType::Double:
            out.push_back(TDouble);
            put(out, t == SQLITE_TEXT ? leadingNumber(c.text()) : c.real());
            return;
        case FieldType::Date:
            if (t == SQLITE_TEXT) {
                const std::string_view str = c.text();
                if (auto d = parseDate(str)) {
                    out.push_back(TDate);
                    put(out, *d);
                } else {
                    putText(out, str);
                }
                return;
            }
            out.push_back(TDate);
            put(out, c.real());
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

void encodeEmpty(std::vector<unsigned char>& out, FieldType type) {
    out.push_back(type == FieldType::YesNo ? TFalse : TNull);
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

constexpr long kMaxChunk = 4096;
constexpr long long kNoRow = std::numeric_limits<long long>::min();

}  // namespace

std::vector<std::string> TextColumn::toVector() const {
    std::vector<std::string> out;
    out.reserve(size());
    for (size_t i = 0; i < size(); ++i) out.emplace_back((*this)[i]);
    return out;
}

Recordset::Recordset(Database& db, std::string_view table, Open open) : db_(&db) {
    info_ = db.sharedTableInfo(table);
    quotedTable_ = quoteName(info_->name);
    indexFields();
    db.registerRecordset(this);
    if (open == Open::Now) {
        try {
            beginSnapshot();
        } catch (...) {
            db.unregisterRecordset(this);
            if (watching_) db.unwatch(this, info_->name);
            throw;
        }
        pos_ = nextLive(-1);
    } else {
        // Opening still fails at once on a table that is gone.
        if (!db.findTable(info_->name)) {
            db.unregisterRecordset(this);
            throw RuntimeError(err::TableNotFound,
                               "The table '" + info_->name + "' was not found in the database.");
        }
        atEndOnLoad_ = open == Open::AtEndOnFirstUse;
    }
}

Recordset::~Recordset() {
    if (!db_) return;
    if (watching_) db_->unwatch(this, info_->name);
    db_->unregisterRecordset(this);
}

Database& Recordset::db() {
    if (!db_) throw RuntimeError(err::ObjectNotSet, "The database file is closed.");
    return *db_;
}

void Recordset::detach() {
    if (db_ && watching_) db_->unwatch(this, info_->name);
    watching_ = false;
    db_ = nullptr;
    rows_.clear();
    data_.clear();
    foreign_.clear();
    texts_.clear();
    staleTexts_.clear();
    gapBefore_ = false;
    loaded_ = true;
    clearPending();
    adding_ = false;
    live_ = 0;
    pos_ = 0;
}

void Recordset::indexFields() {
    sqlCache_.clear();
    pendVal_.assign(info_->fields.size(), Value());
    pendSet_.assign(info_->fields.size(), 0);
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
            cols += quoteName(info_->fields[i].name);
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
            sets += quoteName(info_->fields[i].name);
            sets += "=?";
            sets += std::to_string(++n);
        }
        sql = "UPDATE " + quotedTable_ + " SET " + sets + " WHERE rowid=?" + std::to_string(n + 1);
    }
    return sqlCache_.emplace(key, std::move(sql)).first->second;
}

// ------------------------------------------------------------ the snapshot

void Recordset::forgetRows() const {
    rows_.clear();
    data_.clear();
    foreign_.clear();
    // The columns read stay as stale ones, for columnTexts to match.
    garbage_ = 0;
    live_ = 0;
    startsOffset_ = UINT64_MAX;
    ++version_;
}

void Recordset::beginSnapshot() const {
    auto* self = const_cast<Recordset*>(this);
    Database& d = self->db();
    forgetRows();
    chunk_ = 1;
    loaded_ = true;
    if (!watching_) {
        d.watch(self, info_->name);
        watching_ = true;
    }
    syncedAt_ = d.tableWrites(info_->name);
    {
        auto st = d.prepare("SELECT max(rowid) FROM " + quotedTable_);
        const bool any = st->step() && !st->columnIsNull(0);
        bound_ = any ? st->columnInt(0) : 0;
        gapBefore_ = any;
    }
    // Without word of changes to come, the snapshot is taken whole now.
    if (!Database::tellsRowChanges()) {
        auto st = d.prepare("SELECT rowid, * FROM " + quotedTable_ + " WHERE rowid <= ?1 ORDER BY rowid");
        st->bindInt(1, bound_);
        while (st->step()) {
            Row r;
            r.rowid = sqlite3_column_int64(st->raw(), 0);
            readCells(r, st->raw(), 1);
            rows_.push_back(r);
        }
        live_ = static_cast<long>(rows_.size());
        gapBefore_ = false;
    }
}

void Recordset::readCells(Row& r, sqlite3_stmt* s, int first) const {
    r.offset = data_.size();
    for (size_t i = 0; i < info_->fields.size(); ++i)
        encodeCell(data_, ColumnCell{s, first + static_cast<int>(i)}, info_->fields[i].type);
    r.size = static_cast<uint32_t>(data_.size() - r.offset);
}

bool Recordset::gapAfter(long i) const {
    return i < 0 ? gapBefore_ : rows_[static_cast<size_t>(i)].gapAfter;
}

void Recordset::setGapAfter(long i, bool gap) const {
    if (i < 0) gapBefore_ = gap;
    else rows_[static_cast<size_t>(i)].gapAfter = gap;
}

long long Recordset::gapLow(long i) const {
    return i < 0 ? kNoRow : rows_[static_cast<size_t>(i)].rowid;
}

long long Recordset::gapHigh(long i) const {
    const auto next = static_cast<size_t>(i + 1);
    return next < rows_.size() ? rows_[next].rowid : std::numeric_limits<long long>::max();
}

bool Recordset::isForeign(long long rowid) const {
    return std::binary_search(foreign_.begin(), foreign_.end(), rowid);
}

void Recordset::shiftPositions(long from, long by) const {
    if (pos_ > from) pos_ += by;
    if (posBeforeAdd_ > from) posBeforeAdd_ += by;
}

long Recordset::insertKnown(size_t at, Row r) const {
    rows_.insert(rows_.begin() + static_cast<long>(at), r);
    if (!r.deleted) ++live_;
    shiftPositions(static_cast<long>(at) - 1, 1);
    return static_cast<long>(at);
}

long Recordset::fillGap(long i, bool forward) const {
    if (!gapAfter(i)) return 0;
    auto* self = const_cast<Recordset*>(this);
    long long low = gapLow(i), high = gapHigh(i);
    const long limit = chunk_;
    chunk_ = std::min(chunk_ * 2, kMaxChunk);
    const std::string sql = "SELECT rowid, * FROM " + quotedTable_ +
                            " WHERE rowid > ?1 AND rowid < ?2 AND rowid <= ?3 ORDER BY rowid" +
                            (forward ? "" : " DESC") + " LIMIT ?4";
    for (;;) {
        std::vector<Row> got;
        long given = 0;
        long long edge = 0;
        {
            auto st = self->db().prepare(sql);
            st->bindInt(1, low);
            st->bindInt(2, high);
            st->bindInt(3, bound_);
            st->bindInt(4, limit);
            while (st->step()) {
                ++given;
                edge = sqlite3_column_int64(st->raw(), 0);
                if (isForeign(edge)) continue;
                Row r;
                r.rowid = edge;
                readCells(r, st->raw(), 1);
                got.push_back(r);
            }
        }
        const bool more = given == limit;
        if (got.empty()) {
            if (!more) {
                setGapAfter(i, false);
                return 0;
            }
            (forward ? low : high) = edge;  // rows added since: read on past them
            continue;
        }
        if (!forward) std::reverse(got.begin(), got.end());
        // The rows read follow one another; a gap stays where reading stopped.
        if (forward) {
            setGapAfter(i, false);
            got.back().gapAfter = more;
        } else {
            setGapAfter(i, more);
        }
        const auto n = static_cast<long>(got.size());
        rows_.insert(rows_.begin() + (i + 1), got.begin(), got.end());
        live_ += n;
        shiftPositions(i, n);
        return n;
    }
}

void Recordset::fillAll() const {
    bool any = gapBefore_;
    for (const Row& r : rows_) any = any || r.gapAfter;
    if (!any) return;
    auto* self = const_cast<Recordset*>(this);
    std::vector<Row> merged;
    std::vector<long> moved(rows_.size());
    size_t k = 0;
    auto keep = [&](size_t at) {
        moved[at] = static_cast<long>(merged.size());
        merged.push_back(rows_[at]);
        merged.back().gapAfter = false;
    };
    {
        auto st = self->db().prepare("SELECT rowid FROM " + quotedTable_ +
                                     " WHERE rowid <= ?1 ORDER BY rowid");
        st->bindInt(1, bound_);
        while (st->step()) {
            const long long r = st->columnInt(0);
            while (k < rows_.size() && rows_[k].rowid < r) keep(k++);
            if (k < rows_.size() && rows_[k].rowid == r) {
                keep(k++);
                continue;
            }
            // Only rows in a gap are the snapshot's; others were added since.
            if (isForeign(r) || !gapAfter(static_cast<long>(k) - 1)) continue;
            Row row;
            row.rowid = r;
            row.size = kUnread;
            merged.push_back(row);
            ++live_;
        }
    }
    while (k < rows_.size()) keep(k++);
    auto remap = [&](long p) {
        if (p < 0) return p;
        if (p >= static_cast<long>(rows_.size())) return static_cast<long>(merged.size());
        return moved[static_cast<size_t>(p)];
    };
    pos_ = remap(pos_);
    posBeforeAdd_ = remap(posBeforeAdd_);
    rows_.swap(merged);
    gapBefore_ = false;
}

long Recordset::nextLive(long i) const {
    for (;;) {
        fillGap(i, true);
        ++i;
        if (i >= static_cast<long>(rows_.size())) return static_cast<long>(rows_.size());
        if (!rows_[static_cast<size_t>(i)].deleted) return i;
    }
}

long Recordset::prevLive(long i) const {
    for (;;) {
        i += fillGap(i - 1, false);
        --i;
        if (i < 0) return -1;
        if (!rows_[static_cast<size_t>(i)].deleted) return i;
    }
}

size_t Recordset::knownAt(long long rowid) const {
    return static_cast<size_t>(
        std::lower_bound(rows_.begin(), rows_.end(), rowid,
                         [](const Row& r, long long id) { return r.rowid < id; }) -
        rows_.begin());
}

long Recordset::seek(long long rowid) const {
    auto it = rows_.begin() + static_cast<long>(knownAt(rowid));
    const auto at = static_cast<size_t>(it - rows_.begin());
    if (it != rows_.end() && it->rowid == rowid) return static_cast<long>(at);
    if (rowid > bound_ || isForeign(rowid) || !gapAfter(static_cast<long>(at) - 1)) return -1;
    auto* self = const_cast<Recordset*>(this);
    auto st = self->db().prepare("SELECT rowid, * FROM " + quotedTable_ + " WHERE rowid = ?1");
    st->bindInt(1, rowid);
    if (!st->step()) return -1;
    Row r;
    r.rowid = rowid;
    r.gapAfter = true;
    readCells(r, st->raw(), 1);
    return insertKnown(at, r);
}

void Recordset::tableWillChange(sqlite3* h, int op, long long oldRowid, long long newRowid) {
    if (!loaded_) return;
    auto noteAdded = [this](long long rowid) {
        if (rowid > bound_) return;
        auto it = rows_.begin() + static_cast<long>(knownAt(rowid));
        if (it != rows_.end() && it->rowid == rowid) return;
        auto f = std::lower_bound(foreign_.begin(), foreign_.end(), rowid);
        if (f == foreign_.end() || *f != rowid) foreign_.insert(f, rowid);
    };
    if (op == SQLITE_INSERT) {
        noteAdded(newRowid);
        return;
    }
#ifdef MK_PREUPDATE_HOOK
    // The row as it stands before the change is what the snapshot shows.
    auto capture = [&](Row& r) {
        r.offset = data_.size();
        const int count = sqlite3_preupdate_count(h);
        for (size_t i = 0; i < info_->fields.size(); ++i) {
            const FieldType type = info_->fields[i].type;
            sqlite3_value* v = nullptr;
            const size_t before = data_.size();
            try {
                if (static_cast<int>(i) < count &&
                    sqlite3_preupdate_old(h, static_cast<int>(i), &v) == SQLITE_OK && v)
                    encodeCell(data_, ValueCell{v}, type);
                else
                    encodeEmpty(data_, type);
            } catch (...) {
                // A value the field cannot read would have failed the read;
                // the row keeps an empty cell instead.
                data_.resize(before);
                encodeEmpty(data_, type);
            }
        }
        r.size = static_cast<uint32_t>(data_.size() - r.offset);
    };
    auto it = rows_.begin() + static_cast<long>(knownAt(oldRowid));
    const auto at = static_cast<size_t>(it - rows_.begin());
    if (it != rows_.end() && it->rowid == oldRowid) {
        if (it->size == kUnread) capture(*it);
    } else if (oldRowid <= bound_ && !isForeign(oldRowid) && gapAfter(static_cast<long>(at) - 1)) {
        Row r;
        r.rowid = oldRowid;
        r.gapAfter = true;
        capture(r);
        insertKnown(at, r);
    }
#else
    (void)h;
#endif
    if (op == SQLITE_UPDATE && newRowid != oldRowid) noteAdded(newRowid);
}

bool Recordset::mirrorsTable() const {
    return Database::tellsRowChanges() && loaded_ && watching_ && db_ &&
           syncedAt_ == db_->tableWrites(info_->name);
}

template <class Write>
void Recordset::ownWrite(Write write) {
    const bool mirror = mirrorsTable();
    write();
    if (mirror) syncedAt_ = db().tableWrites(info_->name);
}

void Recordset::rewriteInSql(const std::function<void()>& write) {
    ensureLoaded();
    leaveRow();
    Database& d = db();
    // Where it stands is marked for a rollback before the rows go; it is
    // told of no row while write runs.
    d.beginWrite();
    if (watching_) d.unwatch(this, info_->name);
    watching_ = false;
    forgetRows();
    gapBefore_ = false;
    pos_ = 0;
    try {
        write();
    } catch (...) {
        // Readable until the rollback reads it again.
        try {
            beginSnapshot();
        } catch (...) {
        }
        pos_ = static_cast<long>(rows_.size());
        throw;
    }
    beginSnapshot();
    pos_ = static_cast<long>(rows_.size());
    moved();
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
        const long long r = st->columnInt(0);
        auto it = rows_.begin() + static_cast<long>(knownAt(r));
        if (it != rows_.end() && it->rowid == r) continue;
        if (r <= bound_) {
            auto f = std::lower_bound(foreign_.begin(), foreign_.end(), r);
            if (f == foreign_.end() || *f != r) continue;  // the snapshot's already
            foreign_.erase(f);
        }
        const auto at = static_cast<size_t>(it - rows_.begin());
        Row row;
        row.rowid = r;
        row.size = kUnread;
        row.gapAfter = gapAfter(static_cast<long>(at) - 1) && r < bound_;
        insertKnown(at, row);
    }
    ++version_;
    if (atEnd) pos_ = static_cast<long>(rows_.size());
}

void Recordset::ensureLoaded() const {
    if (loaded_) return;
    beginSnapshot();
    pos_ = atEndOnLoad_ ? static_cast<long>(rows_.size()) : nextLive(-1);
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
    p.pastEnd = at >= size && (size > 0 || gapBefore_);
    return p;
}

void Recordset::markPosition() {
    mark_ = position();
    markPending_.reset();
    if (!adding_ && pendCount_ == 0) return;
    markPending_ = std::make_unique<Pending>(Pending{adding_, newRow_, pendVal_, pendSet_, pendCount_});
}

void Recordset::rereadQuietly(bool keepPosition) {
    std::unique_ptr<Pending> pending = std::move(markPending_);
    if (!loaded_) {
        // Never read: it reads the table as it is when first used.
        mark_ = {};
        adding_ = false;
        try {
            info_ = db().sharedTableInfo(info_->name);
            indexFields();
        } catch (const RuntimeError&) {
        }
        return;
    }
    const bool marked = mark_.valid;
    const Position was = marked ? mark_ : position();
    const size_t fieldCount = info_->fields.size();
    mark_ = {};
    adding_ = false;
    try {
        info_ = db().sharedTableInfo(info_->name);
        indexFields();
        beginSnapshot();
    } catch (const RuntimeError&) {
        rows_.clear();
        data_.clear();
        live_ = 0;
        gapBefore_ = false;
    }
    atEndOnLoad_ = false;
    long at = -2;
    if (keepPosition) {
        if (was.pastEnd) at = static_cast<long>(rows_.size());
        if (was.beforeStart && nextLive(-1) < static_cast<long>(rows_.size())) at = -1;
        if (was.rowid != 0)
            if (const long found = seek(was.rowid); found >= 0) at = found;
    }
    pos_ = at != -2 ? at : nextLive(-1);
    const Position landed = position();
    const bool inPlace = keepPosition && marked && landed.rowid == was.rowid &&
                         landed.beforeStart == was.beforeStart && landed.pastEnd == was.pastEnd &&
                         info_->fields.size() == fieldCount;
    if (!inPlace) {
        moved();
        return;
    }
    if (pending) {
        if (pending->adding) {
            posBeforeAdd_ = pos_;
            adding_ = true;
            newRow_ = std::move(pending->newRow);
        }
        if (adding_ || hasCurrentRow()) {
            pendVal_ = std::move(pending->values);
            pendSet_ = std::move(pending->set);
            pendCount_ = pending->count;
        }
    }
    if (listener_) listener_->recordsetReread(*this);
}

void Recordset::inheritMark(const Recordset& previous) {
    if (previous.mark_.valid && namesEqual(previous.tableName(), tableName()))
        mark_ = previous.mark_;
}

// Rows known by number whose cells are read when first needed, a block of
// neighbours at a time (with no gap among them), so a walk either way
// reads in blocks.
void Recordset::readUnread(size_t row) const {
    constexpr size_t kBlock = 4096;
    size_t first = row, last = row + 1;
    while (first > 0 && row - first < kBlock && rows_[first - 1].size == kUnread &&
           !rows_[first - 1].gapAfter)
        --first;
    while (last < rows_.size() && last - row < kBlock && rows_[last].size == kUnread &&
           !rows_[last - 1].gapAfter)
        ++last;
    auto* self = const_cast<Recordset*>(this);
    auto st = self->db().prepare("SELECT rowid, * FROM " + quotedTable_ +
                                 " WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid");
    st->bindInt(1, rows_[first].rowid);
    st->bindInt(2, rows_[last - 1].rowid);
    sqlite3_stmt* s = st->raw();
    size_t k = first;
    while (st->step()) {
        const long long rowid = sqlite3_column_int64(s, 0);
        while (k < last && rows_[k].rowid < rowid) ++k;
        if (k == last) break;
        if (rows_[k].rowid != rowid || rows_[k].size != kUnread) continue;
        readCells(rows_[k], s, 1);
    }
    // A row removed meanwhile (where the database could not tell) reads
    // as empty.
    for (size_t i = first; i < last; ++i) {
        if (rows_[i].size != kUnread) continue;
        rows_[i].offset = data_.size();
        for (const FieldInfo& f : info_->fields) encodeEmpty(data_, f.type);
        rows_[i].size = static_cast<uint32_t>(data_.size() - rows_[i].offset);
    }
}

const unsigned char* Recordset::cellData(size_t row, size_t field) const {
    if (rows_[row].size == kUnread) readUnread(row);
    const Row& r = rows_[row];
    const unsigned char* start = data_.data() + r.offset;
    // Where each cell of the row last read starts: showing a row reads all
    // of its fields one by one.
    if (startsRow_ != r.rowid || startsOffset_ != r.offset) {
        cellStarts_.clear();
        const unsigned char* p = start;
        for (size_t i = 0; i < info_->fields.size(); ++i) {
            cellStarts_.push_back(static_cast<uint32_t>(p - start));
            p = skip(p);
        }
        startsRow_ = r.rowid;
        startsOffset_ = r.offset;
    }
    return start + cellStarts_[field];
}

Value Recordset::cell(size_t row, size_t field) const { return decode(cellData(row, field)); }

std::vector<Value> Recordset::rowValues(size_t row) const {
    if (rows_[row].size == kUnread) readUnread(row);
    std::vector<Value> out;
    out.reserve(info_->fields.size());
    const unsigned char* p = data_.data() + rows_[row].offset;
    for (size_t i = 0; i < info_->fields.size(); ++i) {
        out.push_back(decode(p));
        p = skip(p);
    }
    return out;
}

void Recordset::storeRow(Row& row, const std::vector<Value>& values) {
    ++version_;
    startsOffset_ = UINT64_MAX;  // rows move when packed
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

// ------------------------------------------------------------ where it stands

long Recordset::recordCount() const {
    ensureLoaded();
    fillAll();
    return live_;
}

bool Recordset::bof() const {
    ensureLoaded();
    if (adding_) return false;
    return pos_ < 0 || nextLive(-1) >= static_cast<long>(rows_.size());
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
    auto* self = const_cast<Recordset*>(this);
    long n = 0;
    for (long i = 0; i <= pos_; ++i)
        if (!rows_[static_cast<size_t>(i)].deleted) ++n;
    for (long i = -1; i < pos_; ++i) {
        if (!gapAfter(i)) continue;
        // The rows of a gap are counted, not read.
        const long long low = gapLow(i), high = gapHigh(i);
        auto st = self->db().prepare("SELECT count(*) FROM " + quotedTable_ +
                                     " WHERE rowid > ?1 AND rowid < ?2 AND rowid <= ?3");
        st->bindInt(1, low);
        st->bindInt(2, high);
        st->bindInt(3, bound_);
        if (st->step()) n += static_cast<long>(st->columnInt(0));
        const auto from = std::upper_bound(foreign_.begin(), foreign_.end(), low);
        const auto to = std::lower_bound(foreign_.begin(), foreign_.end(), high);
        if (from < to) n -= static_cast<long>(to - from);
    }
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

// ------------------------------------------------------------------ moves

void Recordset::moveFirst() {
    ensureLoaded();
    leaveRow();
    pos_ = nextLive(-1);
    moved();
}

void Recordset::moveLast() {
    ensureLoaded();
    leaveRow();
    const long last = prevLive(static_cast<long>(rows_.size()));
    pos_ = last >= 0 ? last : static_cast<long>(rows_.size());
    moved();
}

void Recordset::moveNext() {
    if (eof()) noCurrentRow();
    ensureLoaded();
    leaveRow();
    pos_ = nextLive(pos_);
    moved();
}

void Recordset::movePrevious() {
    if (bof()) noCurrentRow();
    leaveRow();
    pos_ = prevLive(std::min(pos_, static_cast<long>(rows_.size())));
    moved();
}

void Recordset::moveToPosition(long position) {
    moveFirst();
    if (position <= 1 || eof()) return;
    long at = -1;
    if (mirrorsTable()) {
        // The table holds the snapshot's rows: it counts them.
        auto st = db().prepare("SELECT rowid FROM " + quotedTable_ +
                               " ORDER BY rowid LIMIT 1 OFFSET ?1");
        st->bindInt(1, position - 1);
        if (st->step()) at = seek(st->columnInt(0));
    } else {
        fillAll();
        long n = 1;
        for (long i = pos_ + 1; i < static_cast<long>(rows_.size()); ++i)
            if (!rows_[static_cast<size_t>(i)].deleted && ++n == position) {
                at = i;
                break;
            }
    }
    pos_ = at >= 0 ? at : static_cast<long>(rows_.size());
    moved();
}

bool Recordset::moveToRow(long long rowid) {
    moveFirst();
    if (eof()) return false;
    const long at = seek(rowid);
    const bool on = at >= 0 && !rows_[static_cast<size_t>(at)].deleted;
    const long to = on ? at : static_cast<long>(rows_.size());
    if (to != pos_) {
        pos_ = to;
        moved();
    }
    return on;
}

// ---------------------------------------------------------------- changes

void Recordset::addNew() {
    ensureLoaded();
    leaveRow();
    posBeforeAdd_ = pos_;
    adding_ = true;
    clearPending();
    newRow_.clear();
    for (const FieldInfo& f : info_->fields)
        newRow_.push_back(f.type == FieldType::YesNo ? Value(false) : Value::null());
    moved();
}

void Recordset::update() {
    ensureLoaded();
    if (listener_) listener_->recordsetWillWrite(*this);
    Database& d = db();
    const size_t nf = info_->fields.size();
    if (adding_) {
        long long rowid = 0;
        ownWrite([&] {
            d.beginWrite();
            auto st = d.prepare(cachedSql('I'));
            int i = 0;
            for (size_t k = 0; k < nf; ++k)
                if (pendSet_[k]) st->bind(++i, pendVal_[k], info_->fields[k].type);
            st->step();
            rowid = d.lastInsertRowid();
        });
        std::vector<Value> values;
        values.reserve(nf);
        for (size_t k = 0; k < nf; ++k) {
            const FieldInfo& f = info_->fields[k];
            if (pendSet_[k]) values.push_back(std::move(pendVal_[k]));
            else if (f.type == FieldType::AutoNumber)
                values.push_back(Value::i32(static_cast<int32_t>(rowid)));
            else if (!f.defaultValue.isEmpty()) values.push_back(f.defaultValue);
            else values.push_back(f.type == FieldType::YesNo ? Value(false) : Value::null());
        }
        // The new row goes in its place by number; SQLite may give again
        // the number of a row this recordset deleted.
        foreign_.erase(std::remove(foreign_.begin(), foreign_.end(), rowid), foreign_.end());
        auto it = rows_.begin() + static_cast<long>(knownAt(rowid));
        auto at = static_cast<size_t>(it - rows_.begin());
        if (it != rows_.end() && it->rowid == rowid) {
            it->deleted = false;
            it->size = kUnread;
            ++live_;
        } else {
            Row r;
            r.rowid = rowid;
            r.gapAfter = gapAfter(static_cast<long>(at) - 1) && rowid < bound_;
            insertKnown(at, r);
        }
        storeRow(rows_[at], values);
        pos_ = static_cast<long>(at);
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
    const long long rowid = rows_[static_cast<size_t>(pos_)].rowid;
    ownWrite([&] {
        d.beginWrite();
        auto st = d.prepare(cachedSql('U'));
        int i = 0;
        for (size_t k = 0; k < nf; ++k)
            if (pendSet_[k]) st->bind(++i, pendVal_[k], info_->fields[k].type);
        st->bindInt(i + 1, rowid);
        st->step();
    });
    if (d.changes() == 0)
        throw RuntimeError(err::RowChanged,
                           "The row could not be saved: it was deleted from " + info_->name +
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
    const long long rowid = rows_[static_cast<size_t>(pos_)].rowid;
    ownWrite([&] {
        d.beginWrite();
        auto st = d.prepare("DELETE FROM " + quotedTable_ + " WHERE rowid=?1");
        st->bindInt(1, rowid);
        st->step();
    });
    rows_[static_cast<size_t>(pos_)].deleted = true;
    --live_;
    ++version_;
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
    beginSnapshot();
    pos_ = nextLive(-1);
    moved();
}

// ----------------------------------------------------------------- fields

int Recordset::indexOf(std::string_view name) const {
    const int i = info_->fieldIndex(name);
    if (i < 0)
        throw RuntimeError(err::FieldNotFound, "The field '" + std::string(name) +
                                                   "' was not found in the table " +
                                                   info_->name + ".");
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

Value Recordset::snapshotField(std::string_view name) const {
    const int i = indexOf(name);
    requireCurrent();
    return currentValue(static_cast<size_t>(i));
}

std::optional<Value> Recordset::storedField(std::string_view name) {
    const int i = indexOf(name);
    const long long rowid = rowId();
    if (rowid == 0 || currentDeleted()) return std::nullopt;
    const FieldInfo& f = info_->fields[static_cast<size_t>(i)];
    auto st = db().prepare("SELECT " + quoteName(f.name) + " FROM " + quotedTable_ +
                           " WHERE rowid=?1");
    st->bindInt(1, rowid);
    if (!st->step()) return std::nullopt;
    // Read as the snapshot reads it, so the two compare alike.
    std::vector<unsigned char> cell;
    encodeCell(cell, ColumnCell{st->raw(), 0}, f.type);
    return decode(cell.data());
}

void Recordset::setField(std::string_view name, const Value& v) {
    int i = indexOf(name);
    requireCurrent();
    const FieldInfo& f = info_->fields[static_cast<size_t>(i)];
    if (f.type == FieldType::AutoNumber)
        throw RuntimeError(err::NotUpdatable, "The field " + f.name + " is numbered by itself.");
    Value c = convertForField(f, v);
    if (!adding_ && c == currentValue(static_cast<size_t>(i))) erasePending(i);
    else setPending(i, std::move(c));
}

// Every live row's value of one field in table order, with its row
// number, until visit returns false: the rows known from the snapshot, the
// others as the table holds them (which is as the snapshot has them: a row
// is kept before it changes). Only that field of the rows not yet read is
// read.
template <class Visit>
void Recordset::visitColumn(size_t field, Visit visit) const {
    ensureLoaded();
    bool gaps = gapBefore_;
    for (const Row& r : rows_) gaps = gaps || r.gapAfter || r.size == kUnread;
    if (!gaps) {
        for (size_t r = 0; r < rows_.size(); ++r)
            if (!rows_[r].deleted && !visit(rows_[r].rowid, cell(r, field))) return;
        return;
    }
    auto* self = const_cast<Recordset*>(this);
    const FieldInfo& f = info_->fields[field];
    size_t k = 0;
    auto known = [&](size_t at) {
        return rows_[at].deleted || visit(rows_[at].rowid, cell(at, field));
    };
    bool more = true;
    {
        auto st = self->db().prepare("SELECT rowid, " + quoteName(f.name) + " FROM " +
                                     quotedTable_ + " ORDER BY rowid");
        while (more && st->step()) {
            const long long r = st->columnInt(0);
            while (more && k < rows_.size() && rows_[k].rowid < r) more = known(k++);
            if (!more) break;
            if (k < rows_.size() && rows_[k].rowid == r) {
                const Row& row = rows_[k++];
                if (row.deleted) continue;
                more = row.size == kUnread ? visit(r, st->column(1, f.type)) : visit(r, cell(k - 1, field));
                continue;
            }
            if (r > bound_ || isForeign(r) || !gapAfter(static_cast<long>(k) - 1)) continue;
            more = visit(r, st->column(1, f.type));
        }
    }
    while (more && k < rows_.size()) more = known(k++);
}

std::vector<Value> Recordset::columnValues(std::string_view name) const {
    const auto i = static_cast<size_t>(indexOf(name));
    std::vector<Value> out;
    visitColumn(i, [&](long long, Value v) {
        out.push_back(std::move(v));
        return true;
    });
    return out;
}

namespace {

// Puts the columns into stale ones, each replacing a stale one of its field.
void makeStale(Recordset::Texts& columns, Recordset::Texts& stale) {
    for (auto& read : columns) {
        auto same = std::find_if(stale.begin(), stale.end(),
                                 [&](const auto& s) { return s.first == read.first; });
        if (same != stale.end()) *same = std::move(read);
        else stale.push_back(std::move(read));
    }
    columns.clear();
}

}  // namespace

Recordset::Texts Recordset::takeTexts() {
    makeStale(texts_, staleTexts_);
    Texts out;
    out.swap(staleTexts_);
    return out;
}

void Recordset::keepTexts(Texts columns) { staleTexts_ = std::move(columns); }

std::shared_ptr<const TextColumn> Recordset::columnTexts(std::string_view name) const {
    const auto i = static_cast<size_t>(indexOf(name));
    ensureLoaded();
    if (textsVersion_ != version_) {
        makeStale(texts_, staleTexts_);
        textsVersion_ = version_;
    }
    const std::string& key = info_->fields[i].name;
    for (const auto& [field, column] : texts_)
        if (field == key) return column;
    auto column = std::make_shared<TextColumn>();
    visitColumn(i, [&](long long, const Value& v) {
        if (v.isText()) column->push_back(v.asTextRaw());
        else column->push_back(toText(v));
        return true;
    });
    std::shared_ptr<const TextColumn> shared = column;
    for (const auto& [field, stale] : staleTexts_)
        if (field == key && *stale == *column) shared = stale;
    texts_.emplace_back(key, shared);
    return shared;
}

// ---------------------------------------------------------------- searches

bool Recordset::findFirst(std::string_view name, const std::function<bool(const Value&)>& match) {
    moveFirst();
    if (eof()) return false;
    const auto f = static_cast<size_t>(indexOf(name));
    // Only the field is read of the rows passed; the row found is read whole.
    std::optional<long long> hit, failedAt;
    std::exception_ptr failure;
    visitColumn(f, [&](long long rowid, const Value& v) {
        try {
            if (!match(v)) return true;
            hit = rowid;
        } catch (const RuntimeError&) {
            failedAt = rowid;
            failure = std::current_exception();
        }
        return false;
    });
    // A failed comparison leaves the search on the row it failed on.
    const long at = failedAt ? seek(*failedAt) : hit ? seek(*hit) : -1;
    const long to = at >= 0 ? at : static_cast<long>(rows_.size());
    if (to != pos_ || failure) {
        pos_ = to;
        moved();
    }
    if (failure) std::rethrow_exception(failure);
    return at >= 0 && !failedAt;
}

namespace {

// The row a search in SQL found (or none), as a position.
long landing(long seeked, size_t rows) { return seeked >= 0 ? seeked : static_cast<long>(rows); }

}  // namespace

bool Recordset::findFirstText(std::string_view name, std::string_view text) {
    moveFirst();
    if (eof()) return false;
    const auto f = static_cast<size_t>(indexOf(name));
    const FieldInfo& field = info_->fields[f];
    const bool textField = field.type == FieldType::Text || field.type == FieldType::Memo;
    // While the table holds just the snapshot's rows, its index answers.
    // A text field holds texts, Nulls (read as "") and, written from
    // outside, blobs (read as their bytes), which the table does not
    // compare as the walk does: then the walk.
    if (textField && mirrorsTable()) {
        Database& d = db();
        const std::string column = quoteName(field.name);
        bool blobs = false;
        {
            auto st = d.prepare("SELECT 1 FROM " + quotedTable_ + " WHERE " + column + " >= x'' LIMIT 1");
            blobs = st->step();
        }
        if (!blobs) {
            std::optional<long long> hit;
            {
                auto st = d.prepare("SELECT rowid FROM " + quotedTable_ + " WHERE " + column +
                                    " = ?1 ORDER BY rowid LIMIT 1");
                st->bindText(1, text);
                if (st->step()) hit = st->columnInt(0);
            }
            if (text.empty()) {
                auto st = d.prepare("SELECT rowid FROM " + quotedTable_ + " WHERE " + column +
                                    " IS NULL ORDER BY rowid LIMIT 1");
                if (st->step() && (!hit || st->columnInt(0) < *hit)) hit = st->columnInt(0);
            }
            const long at = landing(hit ? seek(*hit) : -1, rows_.size());
            if (at != pos_) {
                pos_ = at;
                moved();
            }
            return at < static_cast<long>(rows_.size());
        }
    }
    return findFirst(name, [text](const Value& v) {
        return v.isText() ? v.asTextRaw() == text : toText(v) == text;
    });
}

// The first row whose field, read as its type and taken as a whole number
// of the given bits, equals wanted; nullopt inside when none. Answered by
// the table (through the field's index) only when no reading can fail or
// wrap: no text or blob in the field, every number within what both the
// field and the whole number hold. Else nullopt outside: the walk answers.
std::optional<long long> Recordset::wholeMatchInSql(size_t field, double wanted, int bits,
                                                    bool& answered) {
    answered = false;
    const FieldInfo& f = info_->fields[field];
    if (f.type != FieldType::Int16 && f.type != FieldType::Int32) return std::nullopt;
    const bool narrow = f.type == FieldType::Int16 || bits == 16;
    const double low = narrow ? -32768.0 : static_cast<double>(std::numeric_limits<int32_t>::min());
    const double high = narrow ? 32767.0 : static_cast<double>(std::numeric_limits<int32_t>::max());
    Database& d = db();
    const std::string column = quoteName(f.name);
    {
        // Numbers sort before texts and blobs; '' is the least text.
        auto st = d.prepare("SELECT 1 FROM " + quotedTable_ + " WHERE " + column + " >= '' LIMIT 1");
        if (st->step()) return std::nullopt;
    }
    for (const char* edge : {"min", "max"}) {
        auto st = d.prepare(std::string("SELECT ") + edge + "(" + column + ") FROM " + quotedTable_);
        if (!st->step() || st->columnIsNull(0)) continue;
        const double v = sqlite3_column_double(st->raw(), 0);
        if (!(v >= low && v <= high)) return std::nullopt;
    }
    answered = true;
    const auto whole = [bits](const Value& v) {
        return bits == 16 ? static_cast<double>(toInt16(v)) : static_cast<double>(toInt32(v));
    };
    std::optional<long long> hit;
    {
        // A number within half of wanted may read as it.
        auto st = d.prepare("SELECT rowid, " + column + " FROM " + quotedTable_ + " WHERE " + column +
                            " BETWEEN ?1 AND ?2 ORDER BY rowid");
        st->bind(1, Value(wanted - 0.5), FieldType::Double);
        st->bind(2, Value(wanted + 0.5), FieldType::Double);
        while (st->step())
            if (whole(st->column(1, f.type)) == wanted) {
                hit = st->columnInt(0);
                break;
            }
    }
    // A Null reads as 0.
    if (whole(Value::null()) == wanted) {
        auto st = d.prepare("SELECT rowid FROM " + quotedTable_ + " WHERE " + column +
                            " IS NULL ORDER BY rowid LIMIT 1");
        if (st->step() && (!hit || st->columnInt(0) < *hit)) hit = st->columnInt(0);
    }
    return hit;
}

bool Recordset::findFirstWhole(std::string_view name, double wanted, int bits) {
    moveFirst();
    if (eof()) return false;
    const auto f = static_cast<size_t>(indexOf(name));
    if (mirrorsTable()) {
        bool answered = false;
        const std::optional<long long> hit = wholeMatchInSql(f, wanted, bits, answered);
        if (answered) {
            const long at = landing(hit ? seek(*hit) : -1, rows_.size());
            if (at != pos_) {
                pos_ = at;
                moved();
            }
            return at < static_cast<long>(rows_.size());
        }
    }
    return findFirst(name, [wanted, bits](const Value& v) {
        return (bits == 16 ? static_cast<double>(toInt16(v)) : static_cast<double>(toInt32(v))) ==
               wanted;
    });
}

}  // namespace mk
