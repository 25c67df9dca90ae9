// A recordset's snapshot of its table: the rows as they stood when it
// began, in table order, read as they are needed.
//
// The rows a move reaches are read a few at a time, more as a walk goes
// on; a row a search finds is read alone. The database tells the snapshot
// before any row of its table changes, so a row changed or deleted since
// it began (by another window or by SQL) is kept as it was, and a row
// added since is not taken in: however much of it has been read, it holds
// what a whole read when it began would hold, plus its recordset's own
// writes. Where SQLite cannot tell, the whole table is read as it begins.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "platform/recordset_cells.h"
#include "platform/recordset_sql.h"

namespace mk {

class Recordset;

class RowSnapshot {
public:
    // The rows known so far, in table order. Between two of them (before
    // the first, after the last) the snapshot may hold rows not read yet:
    // a gap, flagged on the row before it (gapBefore_ for the first).
    struct Row {
        long long rowid = 0;
        uint64_t offset = 0;  // into data_
        uint32_t size = 0;    // kUnread: cells not read yet
        bool deleted = false;
        bool gapAfter = false;
    };
    static constexpr uint32_t kUnread = UINT32_MAX;

    // The owner is told of changes to come (Database::watch).
    RowSnapshot(Recordset& owner, Database& db, const RecordSql& sql);
    ~RowSnapshot();
    RowSnapshot(const RowSnapshot&) = delete;
    RowSnapshot& operator=(const RowSnapshot&) = delete;

    // Null once the database has closed.
    Database* database() const { return db_; }
    // The same; fails once it has closed.
    Database& db() const;
    bool begun() const { return begun_; }
    // Begins (again): the table as it stands now, nothing read yet.
    void begin();
    // Drops every row read so far and what was read of them.
    void forget();
    // No word of changes until it begins again.
    void stopWatching();
    // After a re-read that failed: no rows.
    void dropRows();
    // The database closes: no rows, nothing more to read.
    void detach();

    // Rows are known by their place among the rows known so far: -1 is
    // before the first, end() past the last. Reading more rows moves the
    // places of the rows after them.
    long end() const { return static_cast<long>(rows_.size()); }
    const Row& row(long i) const { return rows_[static_cast<size_t>(i)]; }
    bool gapBefore() const { return gapBefore_; }
    long live() const { return live_; }  // live rows among the known ones
    // Changes with the rows' content.
    uint64_t version() const { return version_; }

    long nextLive(long i);  // the first live row after i, or end()
    long prevLive(long i);  // the last live row before i, or -1
    // Knows every row (their cells are read when first needed).
    void fillAll();
    // The known row with this number, read from the table when the
    // snapshot holds it; -1 when it does not.
    long seek(long long rowid);
    // The place of a known row by its number (end() when not known);
    // noteAt tells it where one is looked for next.
    long placeOf(long long rowid);
    void noteAt(long i) { hint_ = i; }
    // The live rows up to and including place i; those not read yet are
    // counted in the table.
    long liveThrough(long i);

    Value cell(long row, size_t field);
    std::vector<Value> rowValues(long row);
    // The recordset's own writes: a row's new values, a row deleted, a new
    // row stored with this number (its place returned).
    void store(long row, const std::vector<Value>& values);
    void markDeleted(long row);
    long storeNew(long long rowid, const std::vector<Value>& values);

    // Takes in, after its rows, the rows stored after the given row number
    // (rows this program appended in SQL); their cells are read when first
    // needed.
    void takeAppended(long long afterRowid);
    // Before a row of the table is inserted (op SQLITE_INSERT), updated or
    // deleted, by any statement.
    void willChange(sqlite3* h, int op, long long oldRowid, long long newRowid);

    // Whether the table still holds exactly the snapshot's rows.
    bool mirrorsTable() const;
    // After a write of its own recordset that kept it a mirror.
    void synced();

    // Every live row's value of one field in table order, with its row
    // number, until visit returns false: the rows known, the others as the
    // table holds them (which is as the snapshot has them: a row is kept
    // before it changes). Only that field of the rows not yet read is read.
    template <class Visit>
    void visitColumn(size_t field, Visit visit);

private:
    const std::vector<FieldInfo>& fields() const { return sql_->info().fields; }
    bool gapAfter(long i) const;
    void setGapAfter(long i, bool gap);
    long long gapLow(long i) const;
    long long gapHigh(long i) const;
    bool isForeign(long long rowid) const;
    bool inGap(long long rowid, size_t at) const;
    // Where the known row with this number is, or would go.
    size_t knownAt(long long rowid) const;
    void insertKnown(size_t at, const Row& r);
    // Reads rows of the gap after known row i (-1: before the first), up
    // to a growing number at a time, from its start or from its end; they
    // are put in after row i. Returns how many.
    long fillGap(long i, bool forward);
    void readUnread(size_t row);
    void readCells(Row& r, sqlite3_stmt* s);
    const unsigned char* cellData(size_t row, size_t field);

    Recordset* owner_;
    Database* db_;
    const RecordSql* sql_;
    bool begun_ = false;
    bool watching_ = false;
    std::vector<Row> rows_;
    bool gapBefore_ = false;
    // The snapshot's rows not yet known have row numbers up to bound_;
    // foreign_ (sorted) are row numbers up to bound_ added since it began.
    long long bound_ = 0;
    std::vector<long long> foreign_;
    long chunk_ = 1;  // rows a gap is read by, growing as a walk goes on
    uint64_t syncedAt_ = 0;  // the table's writes when last a mirror
    uint64_t version_ = 0;
    long live_ = 0;
    std::vector<unsigned char> data_;  // packed cells of every row
    uint64_t garbage_ = 0;             // bytes of rows rewritten since
    // The cell starts of the row (by number and place) last read.
    std::vector<uint32_t> cellStarts_;
    long long startsRow_ = 0;
    uint64_t startsOffset_ = UINT64_MAX;
    long hint_ = 0;  // where placeOf looks first
};

template <class Visit>
void RowSnapshot::visitColumn(size_t field, Visit visit) {
    bool gaps = gapBefore_;
    for (const Row& r : rows_) gaps = gaps || r.gapAfter || r.size == kUnread;
    if (!gaps) {
        for (size_t r = 0; r < rows_.size(); ++r)
            if (!rows_[r].deleted && !visit(rows_[r].rowid, cell(static_cast<long>(r), field))) return;
        return;
    }
    const FieldType type = fields()[field].type;
    size_t k = 0;
    auto known = [&](size_t at) {
        return rows_[at].deleted || visit(rows_[at].rowid, cell(static_cast<long>(at), field));
    };
    bool more = true;
    {
        auto st = db().prepare(sql_->fieldByRow(field));
        while (more && st->step()) {
            const long long r = st->columnInt(0);
            while (more && k < rows_.size() && rows_[k].rowid < r) more = known(k++);
            if (!more) break;
            if (k < rows_.size() && rows_[k].rowid == r) {
                const Row& row = rows_[k++];
                if (row.deleted) continue;
                more = row.size == kUnread ? visit(r, st->column(1, type))
                                           : visit(r, cell(static_cast<long>(k - 1), field));
                continue;
            }
            if (!inGap(r, k)) continue;
            more = visit(r, st->column(1, type));
        }
    }
    while (more && k < rows_.size()) more = known(k++);
}

}  // namespace mk
