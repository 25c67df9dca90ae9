// A recordset: a client-side snapshot of one whole table in table order,
// with a current row, moves, and commits that write only changed fields.
// Rows are held packed (a tag byte per cell, then its data), so a Null or
// empty cell costs one byte.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/database.h"

namespace mk {

class Recordset;

// Told before the recordset writes the current row (so bound controls can
// hand over what was typed) and after the current row changed.
class RecordsetListener {
public:
    virtual ~RecordsetListener() = default;
    virtual void recordsetWillWrite(Recordset&) {}
    virtual void recordsetMoved(Recordset&) {}
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

    const std::string& tableName() const { return info_.name; }
    const std::vector<FieldInfo>& fields() const { return info_.fields; }
    bool hasField(std::string_view name) const { return info_.fieldIndex(name) >= 0; }
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

    // The values of one field over all rows, in table order (lists).
    std::vector<Value> columnValues(std::string_view name) const;

    // Searches from the first row: the current row's pending changes are
    // committed as a move would, then the first live row whose field
    // satisfies match becomes current (EOF when none). Rows passed are not
    // written. Returns whether a row was found.
    bool findFirst(std::string_view name, const std::function<bool(const Value&)>& match);
    // The same for a text compared exactly with the field read as text.
    bool findFirstText(std::string_view name, std::string_view text);

    // Takes into the snapshot, after its rows, the rows stored after the
    // given row number (rows this program appended in SQL), in table order;
    // their cells are read when first needed. The current row stays current.
    void readAppended(long long afterRowid);

    // Whether the rows have been read yet.
    bool loaded() const { return loaded_; }

    void setListener(RecordsetListener* l) { listener_ = l; }

    // Used by the database after a rollback or restore, and when it closes.
    // keepPosition: back on the row marked when the action began writing
    // (or, unmarked, the row current now) when it is still stored, so a
    // failed action leaves its windows on the rows they showed; otherwise
    // the first row.
    void rereadQuietly(bool keepPosition = false);
    void markPosition() { mark_ = position(); }
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

    struct Row {
        long long rowid = 0;
        uint64_t offset = 0;  // into data_
        uint32_t size = 0;    // kUnread: cells not read yet
        bool deleted = false;
    };
    static constexpr uint32_t kUnread = UINT32_MAX;
    void readUnread(size_t row) const;
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    void load();
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
    long firstLive() const;
    long lastLive() const;
    Database& db();

    Database* db_;
    TableInfo info_;
    std::string quotedTable_;
    // Rows are read lazily; const readers may read them on first use.
    mutable bool loaded_ = false;
    mutable bool atEndOnLoad_ = false;
    mutable std::vector<Row> rows_;
    mutable std::vector<unsigned char> data_;  // packed cells of every row
    mutable uint64_t garbage_ = 0;             // bytes of rows rewritten since
    mutable long pos_ = 0;  // -1: before the first row; rows_.size(): after the last
    mutable long live_ = 0;
    bool adding_ = false;
    std::vector<Value> newRow_;
    long posBeforeAdd_ = 0;
    // Pending changes of the current row, by field index.
    std::vector<Value> pendVal_;
    std::vector<char> pendSet_;
    int pendCount_ = 0;
    std::unordered_map<std::string, int, NameHash, std::equal_to<>> exactIndex_;
    std::unordered_map<std::string, std::string> sqlCache_;  // by kind and changed fields
    RecordsetListener* listener_ = nullptr;
    Position mark_;
};

}  // namespace mk
