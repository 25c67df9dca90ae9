#include "platform/recordset_rows.h"

#include <sqlite3.h>

#include <algorithm>

namespace mk {

namespace {

constexpr long kMaxChunk = 4096;
constexpr long long kNoRow = std::numeric_limits<long long>::min();

}  // namespace

RowSnapshot::RowSnapshot(Recordset& owner, Database& db, const RecordSql& sql)
    : owner_(&owner), db_(&db), sql_(&sql) {}

RowSnapshot::~RowSnapshot() {
    if (db_ && watching_) db_->unwatch(owner_, sql_->tableName());
}

Database& RowSnapshot::db() const {
    if (!db_) throw RuntimeError(err::ObjectNotSet, "The database file is closed.");
    return *db_;
}

// ------------------------------------------------------------ beginning

void RowSnapshot::forget() {
    rows_.clear();
    data_.clear();
    foreign_.clear();
    gapBefore_ = false;
    // The text columns read stay as stale ones, matched by the version.
    garbage_ = 0;
    live_ = 0;
    startsOffset_ = UINT64_MAX;
    ++version_;
}

void RowSnapshot::begin() {
    Database& d = db();
    forget();
    chunk_ = 1;
    begun_ = true;
    if (!watching_) {
        d.watch(owner_, sql_->tableName());
        watching_ = true;
    }
    syncedAt_ = d.tableWrites(sql_->tableName());
    {
        auto st = d.prepare(sql_->lastRowid());
        const bool any = st->step() && !st->columnIsNull(0);
        bound_ = any ? st->columnInt(0) : 0;
        gapBefore_ = any;
    }
    // Without word of changes to come, the snapshot is taken whole now.
    if (!Database::tellsRowChanges()) {
        auto st = d.prepare(sql_->rowsUpTo());
        st->bindInt(1, bound_);
        while (st->step()) {
            Row r;
            r.rowid = sqlite3_column_int64(st->raw(), 0);
            readCells(r, st->raw());
            rows_.push_back(r);
        }
        live_ = end();
        gapBefore_ = false;
    }
}

void RowSnapshot::stopWatching() {
    if (watching_) db().unwatch(owner_, sql_->tableName());
    watching_ = false;
}

void RowSnapshot::dropRows() {
    rows_.clear();
    data_.clear();
    live_ = 0;
    gapBefore_ = false;
}

void RowSnapshot::detach() {
    if (db_ && watching_) db_->unwatch(owner_, sql_->tableName());
    watching_ = false;
    db_ = nullptr;
    rows_.clear();
    data_.clear();
    foreign_.clear();
    gapBefore_ = false;
    begun_ = true;
    live_ = 0;
}

bool RowSnapshot::mirrorsTable() const {
    return Database::tellsRowChanges() && begun_ && watching_ && db_ &&
           syncedAt_ == db_->tableWrites(sql_->tableName());
}

void RowSnapshot::synced() { syncedAt_ = db().tableWrites(sql_->tableName()); }

// ------------------------------------------------------------ the known rows

void RowSnapshot::readCells(Row& r, sqlite3_stmt* s) {
    r.offset = data_.size();
    cells::putRow(data_, s, 1, fields());
    r.size = static_cast<uint32_t>(data_.size() - r.offset);
}

bool RowSnapshot::gapAfter(long i) const {
    return i < 0 ? gapBefore_ : rows_[static_cast<size_t>(i)].gapAfter;
}

void RowSnapshot::setGapAfter(long i, bool gap) {
    if (i < 0) gapBefore_ = gap;
    else rows_[static_cast<size_t>(i)].gapAfter = gap;
}

long long RowSnapshot::gapLow(long i) const {
    return i < 0 ? kNoRow : rows_[static_cast<size_t>(i)].rowid;
}

long long RowSnapshot::gapHigh(long i) const {
    const auto next = static_cast<size_t>(i + 1);
    return next < rows_.size() ? rows_[next].rowid : std::numeric_limits<long long>::max();
}

bool RowSnapshot::isForeign(long long rowid) const {
    return std::binary_search(foreign_.begin(), foreign_.end(), rowid);
}

// Whether a row not known, that would go at place at, is the snapshot's:
// in a gap and not added since.
bool RowSnapshot::inGap(long long rowid, size_t at) const {
    return rowid <= bound_ && !isForeign(rowid) && gapAfter(static_cast<long>(at) - 1);
}

size_t RowSnapshot::knownAt(long long rowid) const {
    return static_cast<size_t>(
        std::lower_bound(rows_.begin(), rows_.end(), rowid,
                         [](const Row& r, long long id) { return r.rowid < id; }) -
        rows_.begin());
}

void RowSnapshot::insertKnown(size_t at, const Row& r) {
    rows_.insert(rows_.begin() + static_cast<long>(at), r);
    if (!r.deleted) ++live_;
}

long RowSnapshot::placeOf(long long rowid) {
    if (hint_ >= 0 && hint_ < end() && rows_[static_cast<size_t>(hint_)].rowid == rowid) return hint_;
    const size_t at = knownAt(rowid);
    if (at == rows_.size() || rows_[at].rowid != rowid) return end();
    hint_ = static_cast<long>(at);
    return hint_;
}

long RowSnapshot::fillGap(long i, bool forward) {
    if (!gapAfter(i)) return 0;
    long long low = gapLow(i), high = gapHigh(i);
    const long limit = chunk_;
    chunk_ = std::min(chunk_ * 2, kMaxChunk);
    const std::string sql = sql_->rowsBetween(forward);
    for (;;) {
        std::vector<Row> got;
        long given = 0;
        long long edge = 0;
        {
            auto st = db().prepare(sql);
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
                readCells(r, st->raw());
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
        return n;
    }
}

void RowSnapshot::fillAll() {
    bool any = gapBefore_;
    for (const Row& r : rows_) any = any || r.gapAfter;
    if (!any) return;
    std::vector<Row> merged;
    size_t k = 0;
    auto keep = [&](size_t at) {
        merged.push_back(rows_[at]);
        merged.back().gapAfter = false;
    };
    {
        auto st = db().prepare(sql_->rowidsUpTo());
        st->bindInt(1, bound_);
        while (st->step()) {
            const long long r = st->columnInt(0);
            while (k < rows_.size() && rows_[k].rowid < r) keep(k++);
            if (k < rows_.size() && rows_[k].rowid == r) {
                keep(k++);
                continue;
            }
            // Only rows in a gap are the snapshot's; others were added since.
            if (!inGap(r, k)) continue;
            Row row;
            row.rowid = r;
            row.size = kUnread;
            merged.push_back(row);
            ++live_;
        }
    }
    while (k < rows_.size()) keep(k++);
    rows_.swap(merged);
    gapBefore_ = false;
}

long RowSnapshot::nextLive(long i) {
    for (;;) {
        fillGap(i, true);
        ++i;
        if (i >= end()) return end();
        if (!rows_[static_cast<size_t>(i)].deleted) return i;
    }
}

long RowSnapshot::prevLive(long i) {
    for (;;) {
        i += fillGap(i - 1, false);
        --i;
        if (i < 0) return -1;
        if (!rows_[static_cast<size_t>(i)].deleted) return i;
    }
}

long RowSnapshot::seek(long long rowid) {
    const size_t at = knownAt(rowid);
    if (at < rows_.size() && rows_[at].rowid == rowid) return static_cast<long>(at);
    if (!inGap(rowid, at)) return -1;
    auto st = db().prepare(sql_->row());
    st->bindInt(1, rowid);
    if (!st->step()) return -1;
    Row r;
    r.rowid = rowid;
    r.gapAfter = true;
    readCells(r, st->raw());
    insertKnown(at, r);
    return static_cast<long>(at);
}

long RowSnapshot::liveThrough(long i) {
    long n = 0;
    for (long k = 0; k <= i; ++k)
        if (!rows_[static_cast<size_t>(k)].deleted) ++n;
    for (long k = -1; k < i; ++k) {
        if (!gapAfter(k)) continue;
        // The rows of a gap are counted, not read.
        const long long low = gapLow(k), high = gapHigh(k);
        auto st = db().prepare(sql_->countBetween());
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

// ------------------------------------------------------------ the cells

// Rows known by number whose cells are read when first needed, a block of
// neighbours at a time (with no gap among them), so a walk either way
// reads in blocks.
void RowSnapshot::readUnread(size_t row) {
    constexpr size_t kBlock = 4096;
    size_t first = row, last = row + 1;
    while (first > 0 && row - first < kBlock && rows_[first - 1].size == kUnread &&
           !rows_[first - 1].gapAfter)
        --first;
    while (last < rows_.size() && last - row < kBlock && rows_[last].size == kUnread &&
           !rows_[last - 1].gapAfter)
        ++last;
    auto st = db().prepare(sql_->rowsFromTo());
    st->bindInt(1, rows_[first].rowid);
    st->bindInt(2, rows_[last - 1].rowid);
    sqlite3_stmt* s = st->raw();
    size_t k = first;
    while (st->step()) {
        const long long rowid = sqlite3_column_int64(s, 0);
        while (k < last && rows_[k].rowid < rowid) ++k;
        if (k == last) break;
        if (rows_[k].rowid != rowid || rows_[k].size != kUnread) continue;
        readCells(rows_[k], s);
    }
    // A row removed meanwhile (where the database could not tell) reads
    // as empty.
    for (size_t i = first; i < last; ++i) {
        if (rows_[i].size != kUnread) continue;
        rows_[i].offset = data_.size();
        for (const FieldInfo& f : fields()) cells::putEmpty(data_, f.type);
        rows_[i].size = static_cast<uint32_t>(data_.size() - rows_[i].offset);
    }
}

const unsigned char* RowSnapshot::cellData(size_t row, size_t field) {
    if (rows_[row].size == kUnread) readUnread(row);
    const Row& r = rows_[row];
    const unsigned char* start = data_.data() + r.offset;
    // Where each cell of the row last read starts: showing a row reads all
    // of its fields one by one.
    if (startsRow_ != r.rowid || startsOffset_ != r.offset) {
        cellStarts_.clear();
        const unsigned char* p = start;
        for (size_t i = 0; i < fields().size(); ++i) {
            cellStarts_.push_back(static_cast<uint32_t>(p - start));
            p = cells::skip(p);
        }
        startsRow_ = r.rowid;
        startsOffset_ = r.offset;
    }
    return start + cellStarts_[field];
}

Value RowSnapshot::cell(long row, size_t field) {
    return cells::decode(cellData(static_cast<size_t>(row), field));
}

std::vector<Value> RowSnapshot::rowValues(long row) {
    const auto at = static_cast<size_t>(row);
    if (rows_[at].size == kUnread) readUnread(at);
    std::vector<Value> out;
    out.reserve(fields().size());
    const unsigned char* p = data_.data() + rows_[at].offset;
    for (size_t i = 0; i < fields().size(); ++i) {
        out.push_back(cells::decode(p));
        p = cells::skip(p);
    }
    return out;
}

// ------------------------------------------------------------ own writes

void RowSnapshot::store(long row, const std::vector<Value>& values) {
    Row& stored = rows_[static_cast<size_t>(row)];
    ++version_;
    startsOffset_ = UINT64_MAX;  // rows move when packed
    if (stored.size != kUnread) garbage_ += stored.size;
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
    stored.offset = data_.size();
    for (const Value& v : values) cells::put(data_, v);
    stored.size = static_cast<uint32_t>(data_.size() - stored.offset);
}

void RowSnapshot::markDeleted(long row) {
    rows_[static_cast<size_t>(row)].deleted = true;
    --live_;
    ++version_;
}

long RowSnapshot::storeNew(long long rowid, const std::vector<Value>& values) {
    // The new row goes in its place by number; SQLite may give again the
    // number of a row this recordset deleted.
    foreign_.erase(std::remove(foreign_.begin(), foreign_.end(), rowid), foreign_.end());
    const size_t at = knownAt(rowid);
    if (at < rows_.size() && rows_[at].rowid == rowid) {
        rows_[at].deleted = false;
        rows_[at].size = kUnread;
        ++live_;
    } else {
        Row r;
        r.rowid = rowid;
        r.gapAfter = gapAfter(static_cast<long>(at) - 1) && rowid < bound_;
        insertKnown(at, r);
    }
    store(static_cast<long>(at), values);
    return static_cast<long>(at);
}

// ------------------------------------------------------------ others' writes

void RowSnapshot::takeAppended(long long afterRowid) {
    // Only the row numbers now; the cells when first read.
    auto st = db().prepare(sql_->rowidsAfter());
    st->bindInt(1, afterRowid);
    while (st->step()) {
        const long long r = st->columnInt(0);
        const size_t at = knownAt(r);
        if (at < rows_.size() && rows_[at].rowid == r) continue;
        if (r <= bound_) {
            auto f = std::lower_bound(foreign_.begin(), foreign_.end(), r);
            if (f == foreign_.end() || *f != r) continue;  // the snapshot's already
            foreign_.erase(f);
        }
        Row row;
        row.rowid = r;
        row.size = kUnread;
        row.gapAfter = gapAfter(static_cast<long>(at) - 1) && r < bound_;
        insertKnown(at, row);
    }
    ++version_;
}

void RowSnapshot::willChange(sqlite3* h, int op, long long oldRowid, long long newRowid) {
    if (!begun_) return;
    auto noteAdded = [this](long long rowid) {
        if (rowid > bound_) return;
        const size_t at = knownAt(rowid);
        if (at < rows_.size() && rows_[at].rowid == rowid) return;
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
        for (size_t i = 0; i < fields().size(); ++i) {
            const FieldType type = fields()[i].type;
            sqlite3_value* v = nullptr;
            const size_t before = data_.size();
            try {
                if (static_cast<int>(i) < count &&
                    sqlite3_preupdate_old(h, static_cast<int>(i), &v) == SQLITE_OK && v)
                    cells::putValue(data_, v, type);
                else
                    cells::putEmpty(data_, type);
            } catch (...) {
                // A value the field cannot read would have failed the read;
                // the row keeps an empty cell instead.
                data_.resize(before);
                cells::putEmpty(data_, type);
            }
        }
        r.size = static_cast<uint32_t>(data_.size() - r.offset);
    };
    const size_t at = knownAt(oldRowid);
    if (at < rows_.size() && rows_[at].rowid == oldRowid) {
        if (rows_[at].size == kUnread) capture(rows_[at]);
    } else if (inGap(oldRowid, at)) {
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

}  // namespace mk
