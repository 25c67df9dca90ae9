// A recordset: a client-side snapshot of one whole table in table order,
// with a current row, moves, and commits that write only changed fields.
//
// The snapshot begins when the recordset is first used, and its rows are
// read as they are needed: the rows a move reaches (a few at a time, more
// as a walk goes on), the row a search finds. It still shows the table as
// it stood when it began: the database tells it before any row of its
// table changes, so a row changed or deleted since (by another window or
// by SQL) is kept as it was, and a row added since is not shown, until a
// refresh. Where SQLite cannot tell, the whole table is read at once.
// Rows are held packed (a tag byte per cell, then its data), so a Null or
// empty cell costs one byte.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/database.h"

namespace mk {

class Recordset;

// The texts of one field over a snapshot's rows, in table order, packed;
// shared by every list shown over those rows.
class TextColumn {
public:
    size_t size() const { return ends_.size(); }
    std::string_view operator[](size_t i) const {
        const uint32_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(chars_.data() + begin, ends_[i] - begin);
    }
    void push_back(std::string_view s) {
        chars_.insert(chars_.end(), s.begin(), s.end());
        ends_.push_back(static_cast<uint32_t>(chars_.size()));
    }
    std::vector<std::string> toVector() const;
    bool operator==(const TextColumn& o) const { return ends_ == o.ends_ && chars_ == o.chars_; }

private:
    std::vector<char> chars_;
    std::vector<uint32_t> ends_;
};

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

    const std::string& tableName() const { return info_->name; }
    const std::vector<FieldInfo>& fields() const { return info_->fields; }
    bool hasField(std::string_view name) const { return info_->fieldIndex(name) >= 0; }
    Database& database() { return *db_; }

    bool bof() const;
    bool eof() const;
    bool hasCurrentRow() const;  // a live row (or a row being added) is current
    bool isAdding() const { return adding_; }
    bool currentDeleted() const;
    bool hasPendingChanges() const { return adding_ || pendCount_ > 0; }
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
    std::optional<Value> storedField(std::string_view name);

    // The values of one field over all rows, in table order (lists).
    std::vector<Value> columnValues(std::string_view name) const;
    // The same as texts, read once and shared until the rows change.
    std::shared_ptr<const TextColumn> columnTexts(std::string_view name) const;

    // The text columns read so far, taken out (the recordset reads its
    // own again), for another recordset to keep: it hands one out again,
    // as the same column, when it reads the same texts for that field.
    using Texts = std::vector<std::pair<std::string, std::shared_ptr<const TextColumn>>>;
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
    void rewriteInSql(const std::function<void()>& write);

    // Whether the snapshot has begun.
    bool loaded() const { return loaded_; }
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
    // Where the recordset stands, by row number, so it survives a re-read.
    struct Position {
        bool valid = false;
        long long rowid = 0;  // 0 when not on a stored row
        bool beforeStart = false;
        bool pastEnd = false;
    };
    Position position() const;

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
    void readUnread(size_t row) const;
    bool gapAfter(long i) const;
    void setGapAfter(long i, bool gap) const;
    // Reads rows of the gap after known row i (-1: before the first), up
    // to a growing number at a time, from its start or from its end; they
    // are put in after row i. Returns how many.
    long fillGap(long i, bool forward) const;
    void fillAll() const;
    long nextLive(long i) const;  // the first live row after i, or rows_.size()
    long prevLive(long i) const;  // the last live row before i, or -1
    long insertKnown(size_t at, Row r) const;
    void shiftPositions(long from, long by) const;
    long long gapLow(long i) const;
    long long gapHigh(long i) const;
    bool isForeign(long long rowid) const;
    // Where the known row with this number is, or would go.
    size_t knownAt(long long rowid) const;
    // The known row with this row number, read from the table when the
    // snapshot holds it; -1 when it does not.
    long seek(long long rowid) const;
    void beginSnapshot() const;
    // Drops every row read so far and what was read of them.
    void forgetRows() const;
    void readCells(Row& r, sqlite3_stmt* s, int first) const;
    template <class Visit>
    void visitColumn(size_t field, Visit visit) const;
    // Runs a write of this recordset, keeping it a mirror of its table if
    // it was one.
    template <class Write>
    void ownWrite(Write write);
    std::optional<long long> wholeMatchInSql(size_t field, double wanted, int bits,
                                             bool& answered);
    void ensureLoaded() const;
    void indexFields();
    void clearPending();
    void setPending(int i, Value v);
    void erasePending(int i);
    const std::string& cachedSql(char kind);
    void leaveRow();
    void moved();
    int indexOf(std::string_view name) const;
    Value cell(size_t row, size_t field) const;
    Value currentValue(size_t field) const;
    const unsigned char* cellData(size_t row, size_t field) const;
    void storeRow(Row& row, const std::vector<Value>& values);
    std::vector<Value> rowValues(size_t row) const;
    void requireCurrent() const;
    Database& db();

    Database* db_;
    std::shared_ptr<const TableInfo> info_;
    std::string quotedTable_;
    // Rows are read lazily; const readers may read them on first use.
    mutable bool loaded_ = false;
    mutable bool atEndOnLoad_ = false;
    mutable std::vector<Row> rows_;
    mutable bool gapBefore_ = false;
    // The snapshot's rows not yet known have row numbers up to bound_;
    // foreign_ (sorted) are row numbers up to bound_ added since it began.
    mutable long long bound_ = 0;
    mutable std::vector<long long> foreign_;
    mutable long chunk_ = 1;  // rows a gap is read by, growing as a walk goes on
    mutable uint64_t syncedAt_ = 0;  // the table's writes when last a mirror
    mutable bool watching_ = false;
    mutable uint64_t version_ = 0;  // changes with the rows' content
    mutable Texts texts_;
    // The columns read before the rows last changed: one read again with
    // the same texts is handed out as the same column, so the lists that
    // show it stay as they are.
    mutable Texts staleTexts_;
    mutable uint64_t textsVersion_ = 0;
    mutable std::vector<unsigned char> data_;  // packed cells of every row
    mutable uint64_t garbage_ = 0;             // bytes of rows rewritten since
    // The cell starts of the row (by number and place) last read.
    mutable std::vector<uint32_t> cellStarts_;
    mutable long long startsRow_ = 0;
    mutable uint64_t startsOffset_ = UINT64_MAX;
    mutable long pos_ = 0;  // -1: before the first row; rows_.size(): after the last
    mutable long live_ = 0;  // live rows among the known ones
    bool adding_ = false;
    std::vector<Value> newRow_;
    mutable long posBeforeAdd_ = 0;
    // Pending changes of the current row, by field index.
    std::vector<Value> pendVal_;
    std::vector<char> pendSet_;
    int pendCount_ = 0;
    std::unordered_map<std::string, std::string> sqlCache_;  // by kind and changed fields
    RecordsetListener* listener_ = nullptr;
    Position mark_;
    // What was pending at the mark (null: nothing).
    struct Pending {
        bool adding = false;
        std::vector<Value> newRow, values;
        std::vector<char> set;
        int count = 0;
    };
    std::unique_ptr<Pending> markPending_;
};

}  // namespace mk
