// A recordset: a client-side snapshot of one whole table in table order
// (recordset_rows.h), with a current row, moves, and commits that write
// only changed fields (recordset_buffer.h, recordset_sql.h).
//
// The snapshot begins when the recordset is first used, and its rows are
// read as they are needed: it still shows the table as it stood when it
// began until a refresh.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/database.h"
#include "platform/recordset_buffer.h"
#include "platform/recordset_rows.h"
#include "platform/recordset_sql.h"
#include "platform/recordset_texts.h"

namespace mk {

class Recordset;

// Told before the recordset writes the current row (so bound controls can
// hand over what was typed) and after the current row changed.
class RecordsetListener {
public:
    virtual ~RecordsetListener() = default;
    virtual void recordsetWillWrite(Recordset&) {}
    virtual void recordsetMoved(Recordset&) {}
    // Re-read after a rollback, standing where it stood, its pending
    // changes kept.
    virtual void recordsetReread(Recordset& rs) { recordsetMoved(rs); }
    // Whether it may show the rows read again once another recordset has
    // rewritten the table, rather than keep a copy of every row rewritten.
    virtual bool recordsetMayReread(Recordset&) { return false; }
};

class Recordset {
public:
    // When the rows are read: at once; on first use (first row current);
    // on first use, standing past the last row as a walk to the end leaves
    // a recordset.
    enum class Open { Now, OnFirstUse, AtEndOnFirstUse };

    // Opens the whole table; its first row is current (EOF when empty).
    Recordset(Database& db, std::string_view table, Open open = Open::Now);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    const std::string& tableName() const { return sql_.tableName(); }
    const std::vector<FieldInfo>& fields() const { return sql_.info().fields; }
    bool hasField(std::string_view name) const { return sql_.info().fieldIndex(name) >= 0; }
    Database& database() { return *rows_.database(); }

    bool bof() const;
    bool eof() const;
    bool hasCurrentRow() const;  // a live row (or a row being added) is current
    bool isAdding() const { return edit_.adding(); }
    bool currentDeleted() const;
    bool hasPendingChanges() const { return edit_.any(); }
    long recordCount() const;
    long absolutePosition() const;  // 1-based among live rows, 0 when none
    // The stored row's own number in its table; 0 when no stored row is
    // current (before the first, past the last, or a row being added).
    long long rowId() const;

    // Moves store the pending changes of the row being left.
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();

    void addNew();
    void update();        // commit; the row stays current
    void deleteCurrent();  // the current row only
    void cancelUpdate();
    void refresh();  // re-read; drops pending changes; first row current

    Value field(std::string_view name) const;
    void setField(std::string_view name, const Value& v);
    // The current row's field as the snapshot holds it, its pending change
    // aside (a row being added: as the new row started).
    Value snapshotField(std::string_view name) const;
    // The current stored row's field as the file holds it now; nullopt
    // while a row is added, or when no stored row is current or it is
    // stored no longer.
    std::optional<Value> storedField(std::string_view name) const;

    // The values of one field over all rows, in table order (lists).
    std::vector<Value> columnValues(std::string_view name) const;
    // The same as texts, read once and shared until the rows change.
    std::shared_ptr<const TextColumn> columnTexts(std::string_view name) const;

    // The text columns read so far, taken out (the recordset reads its
    // own again), for another recordset to keep: it hands one out again,
    // as the same column, when it reads the same texts for that field.
    using Texts = TextColumns::Texts;
    Texts takeTexts();
    void keepTexts(Texts columns);

    // Searches from the first row: the current row's pending changes are
    // committed as a move would, then the first live row whose field
    // satisfies match becomes current (EOF when none). Rows passed are not
    // written. Returns whether a row was found.
    bool findFirst(std::string_view name, const std::function<bool(const Value&)>& match);
    // The same for a text compared exactly with the field read as text.
    bool findFirstText(std::string_view name, std::string_view text);
    // The same for the field read as a 16-bit (bits 16) or 32-bit whole
    // number equal to wanted; fails on the row where that reading fails.
    bool findFirstWhole(std::string_view name, double wanted, int bits);
    // Moves as moveFirst and then position - 1 moveNext would (EOF when
    // there are fewer rows), showing only the row it ends on.
    void moveToPosition(long position);
    // Moves as a walk from the first row to the stored row with this
    // number would: onto it, or past the last row when the snapshot does
    // not hold it. Returns whether it stands on it.
    bool moveToRow(long long rowid);

    // Takes into the snapshot, after its rows, the rows stored after the
    // given row number (rows this program appended in SQL), in table order;
    // their cells are read when first needed. The current row stays current.
    void readAppended(long long afterRowid);

    // Runs write, a statement of the running action that changes many rows
    // of the table in SQL, as a walk that stores each row and ends past the
    // last one: the current row's changes are stored as a move off it
    // would store them; the rows read so far are let go, and the recordset
    // is told of no row meanwhile, rather than keep a copy of each changed
    // row; the table is read again once write has run, standing past its
    // last row. A write that fails leaves the recordset to the action's
    // rollback, which puts it back where it was.
    // Every other recordset on the table whose listener agrees and that
    // holds nothing pending lets its rows go the same way while write runs,
    // and reads them again where it stood once it has run.
    void rewriteInSql(const std::function<void()>& write);

    // Whether the snapshot has begun.
    bool loaded() const { return rows_.begun(); }
    // Whether the table still holds exactly the snapshot's rows: nothing
    // but this recordset has written to it since the snapshot began.
    bool mirrorsTable() const;
    // Told by the database before a row of the table is inserted (op
    // SQLITE_INSERT), updated or deleted, by any statement.
    void tableWillChange(sqlite3* h, int op, long long oldRowid, long long newRowid);

    void setListener(RecordsetListener* l) { listener_ = l; }

    // Used by the database after a rollback or restore, and when it closes.
    // keepPosition: back on the row marked when the action began (or,
    // unmarked, the row current now) when it is still stored, so a failed
    // action leaves its windows on the rows they showed; otherwise the
    // first row. Back on the marked row, the row being added and the
    // changes pending when the action began are pending again (the
    // listener hears recordsetReread, not recordsetMoved), so a failure
    // never drops what a window held unsaved.
    void rereadQuietly(bool keepPosition = false);
    // Marks where it stands and what it holds pending, as an action begins.
    void markPosition();
    // Takes the mark of the recordset it replaces on the same table (a data
    // control opened again during an action).
    void inheritMark(const Recordset& previous);
    void detach();

private:
    // While another recordset rewrites the table in SQL: a snapshot whose
    // listener agrees and that holds nothing pending stops keeping copies
    // of its rows (false when it keeps them), then reads them again where
    // it stood.
    bool standAside();
    void standBack();
    // Where the recordset stands, by row number, so the rows the snapshot
    // reads around it never move it. A recordset opened to read on first
    // use stands on the first live row, whichever that is once read.
    struct Place {
        enum Kind : unsigned char { BeforeFirst, FirstLive, OnRow, PastLast };
        Kind kind = FirstLive;
        long long rowid = 0;  // OnRow
    };
    // The same as the database keeps it across a re-read.
    struct Position {
        bool valid = false;
        long long rowid = 0;  // 0 when not on a stored row
        bool beforeStart = false;
        bool pastEnd = false;
    };
    Position position() const;

    // The snapshot, begun when it has not begun.
    RowSnapshot& rows() const;
    // The same, and the recordset stands on a row of it by number (before
    // the rows it holds change).
    void ensureLoaded();
    // The place among the rows known so far where it stands (-1: before
    // the first; rows().end(): past the last).
    long here() const;
    void standAt(long i);
    void leaveRow();
    void moved();
    // Moves to place i, or past the last row for -1 (a search's landing,
    // found or not), telling the listener when it moved; returns whether
    // it stands on a row.
    bool land(long i);
    int indexOf(std::string_view name) const;
    Value currentValue(size_t field) const;
    void requireCurrent() const;
    Database& db() const { return rows_.db(); }
    [[noreturn]] static void noCurrentRow();
    // update(): a row being added, or the changed fields of the current row.
    void insertRow();
    void updateRow();
    // Binds the changed fields' values as ?1.. in field order; how many.
    int bindChanged(Statement& st) const;
    // Runs a write of this recordset, keeping it a mirror of its table if
    // it was one.
    template <class Write>
    void ownWrite(Write write);
    std::optional<long long> wholeMatchInSql(size_t field, double wanted, int bits,
                                             bool& answered) const;

    RecordSql sql_;
    // A cache: what the snapshot holds is fixed when it begins, so reading
    // more of its rows changes nothing a reader sees; a reader that is the
    // recordset's first use begins it.
    mutable RowSnapshot rows_;
    // A cache of the lists' texts, kept until the rows change.
    mutable TextColumns texts_;
    Place at_;
    EditBuffer edit_;
    RecordsetListener* listener_ = nullptr;
    Position mark_;
    Position aside_;  // where it stood when it stood aside
    // What was pending at the mark (null: nothing).
    std::unique_ptr<EditBuffer::Saved> markPending_;
};

}  // namespace mk
