// The recordset's cursor: opening, where it stands, moves, and standing
// again where it stood after a re-read.
#include "platform/recordset.h"

#include <algorithm>

namespace mk {

void Recordset::noCurrentRow() {
    throw RuntimeError(err::NoCurrentRecord,
                       "There is no current row: the table is at its beginning or end.");
}

Recordset::Recordset(Database& db, std::string_view table, Open open)
    : sql_(db.sharedTableInfo(table)), rows_(*this, db, sql_) {
    edit_.reset(fields().size());
    db.registerRecordset(this);
    if (open == Open::Now) {
        try {
            ensureLoaded();
        } catch (...) {
            db.unregisterRecordset(this);
            throw;
        }
        return;
    }
    // Opening still fails at once on a table that is gone.
    if (!db.findTable(tableName())) {
        db.unregisterRecordset(this);
        throw RuntimeError(err::TableNotFound,
                           "The table '" + tableName() + "' was not found in the database.");
    }
    if (open == Open::AtEndOnFirstUse) at_.kind = Place::PastLast;
}

Recordset::~Recordset() {
    if (Database* d = rows_.database()) d->unregisterRecordset(this);
}

void Recordset::detach() {
    rows_.detach();
    texts_.clear();
    edit_.clear();
    edit_.stopAdding();
    at_ = {Place::PastLast, 0};
}

RowSnapshot& Recordset::rows() const {
    if (!rows_.begun()) rows_.begin();
    return rows_;
}

void Recordset::ensureLoaded() {
    rows();
    if (at_.kind == Place::FirstLive) standAt(rows_.nextLive(-1));
}

long Recordset::here() const {
    switch (at_.kind) {
        case Place::BeforeFirst: return -1;
        case Place::FirstLive: return rows().nextLive(-1);
        case Place::OnRow: return rows().placeOf(at_.rowid);
        case Place::PastLast: break;
    }
    return rows_.end();
}

void Recordset::standAt(long i) {
    if (i < 0) {
        at_ = {Place::BeforeFirst, 0};
    } else if (i >= rows_.end()) {
        at_ = {Place::PastLast, 0};
    } else {
        at_ = {Place::OnRow, rows_.row(i).rowid};
        rows_.noteAt(i);
    }
}

bool Recordset::land(long i) {
    const long to = i >= 0 ? i : rows_.end();
    if (to != here()) {
        standAt(to);
        moved();
    }
    return to < rows_.end();
}

void Recordset::moved() {
    if (listener_) listener_->recordsetMoved(*this);
}

void Recordset::leaveRow() {
    if (listener_) listener_->recordsetWillWrite(*this);
    if (hasPendingChanges()) update();
}

bool Recordset::mirrorsTable() const { return rows_.mirrorsTable(); }

void Recordset::tableWillChange(sqlite3* h, int op, long long oldRowid, long long newRowid) {
    rows_.willChange(h, op, oldRowid, newRowid);
}

// ------------------------------------------------------------ where it stands

long Recordset::recordCount() const {
    RowSnapshot& r = rows();
    r.fillAll();
    return r.live();
}

bool Recordset::bof() const {
    RowSnapshot& r = rows();
    if (edit_.adding()) return false;
    if (here() < 0) return true;
    const long first = r.nextLive(-1);
    return first >= r.end();
}

bool Recordset::eof() const {
    if (edit_.adding()) return false;
    // Standing at the end reads nothing.
    if (at_.kind == Place::PastLast) return true;
    const long i = here();
    return i >= rows_.end();
}

bool Recordset::currentDeleted() const {
    if (edit_.adding() || at_.kind == Place::PastLast || at_.kind == Place::BeforeFirst)
        return false;
    const long i = here();
    return i < rows_.end() && rows_.row(i).deleted;
}

bool Recordset::hasCurrentRow() const {
    if (edit_.adding()) return true;
    if (at_.kind == Place::PastLast || at_.kind == Place::BeforeFirst) return false;
    const long i = here();
    return i < rows_.end() && !rows_.row(i).deleted;
}

long Recordset::absolutePosition() const {
    if (!hasCurrentRow() || edit_.adding()) return 0;
    return rows_.liveThrough(here());
}

long long Recordset::rowId() const {
    if (edit_.adding() || !hasCurrentRow()) return 0;
    return rows_.row(here()).rowid;
}

// ------------------------------------------------------------------ moves

void Recordset::moveFirst() {
    ensureLoaded();
    leaveRow();
    standAt(rows_.nextLive(-1));
    moved();
}

void Recordset::moveLast() {
    ensureLoaded();
    leaveRow();
    const long last = rows_.prevLive(rows_.end());
    standAt(last >= 0 ? last : rows_.end());
    moved();
}

void Recordset::moveNext() {
    if (eof()) noCurrentRow();
    ensureLoaded();
    leaveRow();
    standAt(rows_.nextLive(here()));
    moved();
}

void Recordset::movePrevious() {
    if (bof()) noCurrentRow();
    ensureLoaded();
    leaveRow();
    const long i = here();
    standAt(rows_.prevLive(std::min(i, rows_.end())));
    moved();
}

void Recordset::moveToPosition(long position) {
    moveFirst();
    if (position <= 1 || eof()) return;
    long at = -1;
    if (mirrorsTable()) {
        // The table holds the snapshot's rows: it counts them.
        auto st = db().prepare(sql_.rowidAt());
        st->bindInt(1, position - 1);
        if (st->step()) at = rows_.seek(st->columnInt(0));
    } else {
        rows_.fillAll();
        long n = 1;
        for (long i = here() + 1; i < rows_.end(); ++i)
            if (!rows_.row(i).deleted && ++n == position) {
                at = i;
                break;
            }
    }
    standAt(at >= 0 ? at : rows_.end());
    moved();
}

bool Recordset::moveToRow(long long rowid) {
    moveFirst();
    if (eof()) return false;
    const long at = rows_.seek(rowid);
    return land(at >= 0 && !rows_.row(at).deleted ? at : -1);
}

// ------------------------------------------------------ after a re-read

Recordset::Position Recordset::position() const {
    if (!rows_.begun()) return {};
    const long at = here();
    const long size = rows_.end();
    Position p;
    p.valid = true;
    p.rowid = at >= 0 && at < size ? rows_.row(at).rowid : 0;
    p.beforeStart = at < 0;
    p.pastEnd = at >= size && (size > 0 || rows_.gapBefore());
    return p;
}

void Recordset::markPosition() {
    mark_ = position();
    markPending_ = edit_.save();
}

void Recordset::rereadQuietly(bool keepPosition) {
    std::unique_ptr<EditBuffer::Saved> pending = std::move(markPending_);
    if (!rows_.begun()) {
        // Never read: it reads the table as it is when first used.
        mark_ = {};
        edit_.stopAdding();
        try {
            sql_ = RecordSql(db().sharedTableInfo(tableName()));
            edit_.reset(fields().size());
        } catch (const RuntimeError&) {
        }
        return;
    }
    const bool marked = mark_.valid;
    const Position was = marked ? mark_ : position();
    const size_t fieldCount = fields().size();
    mark_ = {};
    edit_.stopAdding();
    try {
        sql_ = RecordSql(db().sharedTableInfo(tableName()));
        edit_.reset(fields().size());
        rows_.begin();
    } catch (const RuntimeError&) {
        rows_.dropRows();
    }
    long at = -2;
    if (keepPosition) {
        if (was.pastEnd) at = rows_.end();
        if (was.beforeStart) {
            const long first = rows_.nextLive(-1);
            if (first < rows_.end()) at = -1;
        }
        if (was.rowid != 0)
            if (const long found = rows_.seek(was.rowid); found >= 0) at = found;
    }
    standAt(at != -2 ? at : rows_.nextLive(-1));
    const Position landed = position();
    const bool inPlace = keepPosition && marked && landed.rowid == was.rowid &&
                         landed.beforeStart == was.beforeStart && landed.pastEnd == was.pastEnd &&
                         fields().size() == fieldCount;
    if (!inPlace) {
        moved();
        return;
    }
    if (pending) {
        if (pending->adding) edit_.resumeAdding(*pending);
        if (edit_.adding() || hasCurrentRow()) edit_.restoreChanges(*pending);
    }
    if (listener_) listener_->recordsetReread(*this);
}

void Recordset::inheritMark(const Recordset& previous) {
    if (previous.mark_.valid && namesEqual(previous.tableName(), tableName()))
        mark_ = previous.mark_;
}

}  // namespace mk
