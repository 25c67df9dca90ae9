// The database file: one SQLite connection per file, table descriptions,
// table creation, the transaction of the running user action, and the
// names of the tables that transaction wrote.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/value.h"

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace mk {

class Machine;
class Recordset;

enum class FieldType { Text, Memo, Int16, Int32, AutoNumber, Single, Double, Date, YesNo };

struct FieldInfo {
    std::string name;
    FieldType type = FieldType::Text;
    int size = 0;          // text length limit, 0 when open
    Value defaultValue;    // Empty when the column has no default
};

// A hash of names that finds a std::string key by a string_view.
struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

struct TableInfo {
    std::string name;  // as stored
    std::vector<FieldInfo> fields;
    int fieldIndex(std::string_view name) const;  // -1 when absent; case ignored
    // The fields by their names as stored, for lookups spelled so.
    std::unordered_map<std::string, int, NameHash, std::equal_to<>> exact;
};

// A table definition, in place of the desktop platform's table-definition
// objects: fields in order, an optional primary index and unique fields.
struct FieldDef {
    std::string name;
    FieldType type = FieldType::Text;
    int size = 0;
    Value defaultValue;
    bool unique = false;
};

struct TableDef {
    std::string name;
    std::vector<FieldDef> fields;
    std::string primaryIndex;  // index name, e.g. "RECINDX"
    std::string primaryField;  // field of the primary index
    // Fields rows are looked up by; each gets an index of its own.
    std::vector<std::string> lookupFields = {};
};

// Converts a value into what a column of this type stores ("12" into a
// number is 12; an empty text into a number or date is Null).
Value convertForField(const FieldInfo& field, const Value& v);

// What a box may hand to its field. Amounts, prices, totals and balances
// (every floating-point field) stay within kLargestAmount in size; an open
// text field takes kOpenTextLength characters, a memo kMemoLength.
inline constexpr double kLargestAmount = 1e12;
inline constexpr int kOpenTextLength = 255;
inline constexpr int kMemoLength = 65535;

// Why a value typed into a box cannot be stored in a field.
enum class Unfit { None, NotANumber, NotADate, NotYesNo, OutOfRange, TooLong, ControlCharacter };

// Whether the value may be stored in the field as entered: a number field
// takes a number text in its range, a date field a date, a text field a
// text of its length without control characters (line breaks and tabs
// only where the box takes them, or in a memo). An empty text fits
// anywhere (it stores Null).
Unfit entryFit(const FieldInfo& field, const Value& v, bool lineBreaks);

// The refusal the user reads: the box's caption and why.
std::string unfitMessage(const std::string& caption, const FieldInfo& field, Unfit why);
// The refusal of a save that would overwrite what was stored since its
// edit began: the box's caption and the value stored now.
std::string overwriteMessage(const std::string& caption, const Value& stored);

// Said when the disk holding the file has no room for a write; nothing of
// the action is stored, and it can be done again once room is made.
extern const char* const kDiskFullMessage;
// Said when the file is found damaged while the program works on it.
extern const char* const kDamagedMessage;

// A valid name for a table created at run time.
bool isValidTableName(std::string_view name);

// SQL identifier quoting.
std::string quoteName(std::string_view name);

// SQL that reads a column as a recordset field of its type would give it,
// then converts it as the windows do: "double" (toDouble), "int32"
// (toInt32), "text" (toText) or "day" (the whole day of toDate; Null for a
// Null date). A failed conversion fails the statement with the runtime
// error the walk would have raised. mk_sum(x, start) adds x to start row by
// row in table order, as a loop over the rows adds (Null when no rows).
// mk_sum_products(q, q type, a, a type, b, b type, startA, startB) adds
// q*a and q*b in the same way, giving a blob of the two sums (sumsOf).
// mk_fit(value, field type, size, target field) is the value as text,
// failing as storing a text longer than the target field's size fails.
// mk_store(value, value type, field type, size, field name) is what a
// write of the value, read as a field of the value type reads it, stores
// in a field of that type and size (convertForField), failing as that
// write fails (sqlStore).
// mk_exact_add(sums, a1, a1 type, b1, b1 type, a2, ...) adds a_i * b_i
// into the i-th ExactSum of the array bound to `sums` (as a pointer of
// type kExactSumsPointer).
inline constexpr const char* kExactSumsPointer = "mk_exact_sums";
std::string sqlRead(const char* conversion, const FieldInfo& field);
// A field and its type code as arguments of mk_sum_products.
std::string sqlArgs(const FieldInfo& field);
// SQL that stores an SQL value read as a field of valueType reads it into
// the target field (mk_store).
std::string sqlStore(const std::string& value, FieldType valueType, const FieldInfo& target);

class Database;

// A column value as a statement reads it for a field of this type.
Value readValue(sqlite3_value* v, FieldType type);

// Told before a watched table's rows change, and before the file changes
// in ways no row change tells of; holders of a snapshot read lazily (the
// report engine) keep what they show through it.
class RowChangeListener {
public:
    virtual ~RowChangeListener() = default;
    // Before a row is inserted (op SQLITE_INSERT), updated or deleted.
    virtual void rowWillChange(sqlite3* h, int op, long long oldRowid, long long newRowid) = 0;
    // Before the open transaction rolls back, and before a restore
    // replaces the content, while the file can still be read.
    virtual void rollingBack() {}
    virtual void replacing() {}
    // After the transaction that was open has committed.
    virtual void committed() {}
    // The connection closes: nothing more can be read.
    virtual void closing() {}
};

class Statement {
public:
    Statement(sqlite3_stmt* s, Database* cacheOwner) : s_(s), cacheOwner_(cacheOwner) {}
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    void bind(int index, const Value& v, FieldType type);
    void bindText(int index, std::string_view text);
    void bindInt(int index, long long i);
    bool step();  // true while a row is available
    int columnCount() const;
    Value column(int i, FieldType type) const;
    long long columnInt(int i) const;
    std::string columnText(int i) const;
    bool columnIsNull(int i) const;
    sqlite3_stmt* raw() const { return s_; }

private:
    sqlite3_stmt* s_;
    Database* cacheOwner_;  // null when the statement is not cached
};

class Database {
public:
    Database(Machine& machine, std::filesystem::path path, bool create);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::filesystem::path& path() const { return path_; }
    Machine& machine() { return machine_; }

    // Tables. Names match with letter case ignored.
    std::optional<std::string> findTable(std::string_view name);
    std::vector<std::string> tableNames();
    const TableInfo& tableInfo(std::string_view name);  // fails when absent
    // The same, kept by the holder whatever the database's cache does.
    std::shared_ptr<const TableInfo> sharedTableInfo(std::string_view name);
    // The field is read and written as a 32-bit whole number whatever its
    // column declares, so a file whose column was made 16-bit takes larger
    // numbers without being changed.
    void widenToInt32(std::string_view table, std::string_view field);
    void createTable(const TableDef& def);               // fails on bad or used names
    // Adds a column to an existing table; existing rows get its default.
    void addColumn(const std::string& table, const FieldDef& field);
    // The index that finds a table's rows by one field: whether it is
    // there, and making it (once). An index changes no result, only how
    // fast a lookup by that field is.
    bool hasLookupIndex(std::string_view table, std::string_view field);
    void addLookupIndex(std::string_view table, std::string_view field);
    // Whether the file cannot be written (read-only file or connection).
    bool isReadOnly() const;
    // What SQLite's quick check finds damaged in the file ("" when
    // nothing): its first finding.
    std::string damage();

    // The same check, run on a connection of its own beside the program's
    // work, so the first window shows while it reads the whole file. No
    // write reaches the file before it has passed: the first write waits
    // for it, and once it has failed every write fails, telling the file
    // damaged with the given message (its finding goes to the log).
    enum class Check { None, Running, Passed, Failed };
    void checkBeside(std::string failureMessage);
    // Where the check stands, without waiting (None: none was started).
    Check checkState();
    // Waits for it; its first finding ("" when it passed or none ran).
    std::string awaitCheck();
    // What every write does first: waits for a running check, and fails,
    // telling the file damaged, once it has failed.
    void requireCheckPassed();
    // Whether the user has been told of the failed check by a refused write.
    bool checkFailureTold() const { return checkFailureTold_; }

    // Statements, cached by their text. The caller resets by destroying.
    std::unique_ptr<Statement> prepare(const std::string& sql);
    void exec(const std::string& sql);
    long long lastInsertRowid() const;
    int changes() const;
    // Deletes every row of a table in one statement of the running action.
    // While no open snapshot of the table has begun, SQLite drops its pages
    // whole instead of deleting row by row (nothing needs telling of each
    // row); a table with triggers is still emptied row by row.
    void emptyTable(std::string_view table);

    // Called before every write: joins the running user action's
    // transaction, starting it when needed.
    void beginWrite();
    bool inTransaction() const { return inTransaction_; }
    void commit();
    void rollback();  // and every open recordset re-reads its table

    // The tables (upper-case names) whose rows the transaction that has
    // just committed inserted, updated or deleted; taking them empties the
    // list. A rollback forgets what its transaction wrote.
    std::set<std::string> takeCommittedTables();

    // Recordsets open on this file re-read their tables after a rollback
    // or a restore.
    void registerRecordset(Recordset* rs) { recordsets_.insert(rs); }
    void unregisterRecordset(Recordset* rs) { recordsets_.erase(rs); }
    // The recordsets open on a table (letter case ignored).
    std::vector<Recordset*> recordsetsOn(std::string_view table) const;
    void refreshRecordsets(bool keepPositions = false);
    // Where every open recordset stands as a user action begins, to go
    // back to if it rolls back.
    void markPositions();

    // Whether this connection tells recordsets before a row changes, so
    // they may read their rows as they need them (else they read the
    // whole table when they begin).
    static bool tellsRowChanges();
    // Recordsets whose snapshot has begun are told before any row of
    // their table is inserted, updated or deleted, and the writes to the
    // table are counted from then on (by table, letter case ignored).
    void watch(Recordset* rs, const std::string& table);
    void unwatch(Recordset* rs, const std::string& table);
    uint64_t tableWrites(const std::string& table) const;

    // What a field's values over a table stood at: equal stamps taken at
    // two moments say that no write, of this connection or another, has
    // changed the table's rows or that field's values in between (a stamp
    // taken where SQLite cannot tell equals no other). A field is followed
    // from its first stamp on.
    struct ColumnStamp {
        uint64_t epoch = 0, dataVersion = 0, rows = 0, column = 0;
        bool operator==(const ColumnStamp&) const = default;
    };
    ColumnStamp columnStamp(std::string_view table, const std::string& field);
    // The same word for other holders of a table's rows; a watcher is also
    // told of rollbacks, restores, commits and closing.
    void addRowChangeListener(RowChangeListener* w, const std::string& table);
    void removeRowChangeListener(RowChangeListener* w, const std::string& table);

    // Row watches. A watch records, for each row a write of this
    // connection inserts, updates (in a watched field) or deletes in its
    // table, the watched fields' values before (-1) and after (+1) the
    // write. SQLite keeps the record itself (temporary triggers and table,
    // never in the file), so it goes when its statement or transaction
    // rolls back.
    struct RowChange {
        int sign = 0;
        std::vector<Value> values;  // the fields, read as their types read them
    };
    static constexpr size_t kMostWatchedFields = 4;
    // Starts watching (the same watch again for the same table and
    // fields: a watch has one owner) and drops what was recorded before:
    // its owner reads the table now and adds the changes taken from then on.
    int watchRows(const std::string& table, const std::vector<std::string>& fields);
    // What committed writes recorded since the last take; nothing of a
    // transaction still open.
    std::vector<RowChange> takeRowChanges(int watch);
    // The watch may have missed writes (its start was rolled back, or the
    // file's content replaced): its owner starts it again.
    bool rowWatchLost(int watch) const;
    // Records for it are dropped from now on.
    void unwatchRows(int watch);

    // A consistent copy of the committed file into dest (written beside it
    // and renamed, so it is never half written).
    void backupTo(const std::filesystem::path& dest);
    // Replaces the whole content with that of another database file; every
    // table it holds counts as written (takeCommittedTables).
    void restoreFrom(const std::filesystem::path& source);

    [[noreturn]] void fail(const std::string& context);

private:
    friend class Statement;
    void open(bool create);
    void close();
    void registerFunctions();
    bool checkHolds() const { return checkState_ == Check::None || checkState_ == Check::Passed; }
    // Refuses a statement that would write the file while its check has
    // not passed (SQLite's authorizer).
    static int authorize(void* self, int action, const char* object, const char*,
                         const char* database, const char*);
    void endCheck();
    void stopCheck();
    // Told by SQLite of every row the connection writes.
    static void rowWritten(void* self, const char* table);
    static void rowWillChange(void* self, sqlite3* h, int op, const char* schema,
                              const char* table, long long oldRowid, long long newRowid);
    struct Watched {
        std::vector<Recordset*> recordsets;
        std::vector<RowChangeListener*> watchers;
        uint64_t writes = 0;
        // Stamps of the rows and of the fields followed (by column number).
        uint64_t rowsStamp = 0;
        std::vector<std::pair<int, uint64_t>> columns;
    };
    // Every stamp is a new number from here; the epoch changes when no
    // row is told of (a rollback, a restore, a table's shape).
    uint64_t stamps_ = 0;
    uint64_t epoch_ = 0;
    void newEpoch() { epoch_ = ++stamps_; }
    static void stampRowChange(Watched& w, sqlite3* h, int op, long long oldRowid,
                               long long newRowid, uint64_t& stamps);
    std::vector<RowChangeListener*> rowListeners_;
    void tellListeners(void (RowChangeListener::*tell)());
    std::unordered_map<std::string, Watched> watched_;  // key: upper name
    std::string lastChanged_;                         // the table last told about
    Watched* lastWatched_ = nullptr;
    sqlite3* db_ = nullptr;
    Machine& machine_;
    std::filesystem::path path_;
    bool inTransaction_ = false;
    // Tables written by the open transaction, then by the committed ones
    // not yet taken.
    std::set<std::string> writtenTables_;
    std::set<std::string> committedTables_;
    std::set<Recordset*> recordsets_;
    std::map<std::string, std::shared_ptr<const TableInfo>> infoCache_;  // key: upper name
    std::set<std::string> widened_;  // "TABLE.FIELD", upper case
    std::unordered_map<std::string, sqlite3_stmt*> stmtCache_;

    struct RowWatch {
        std::string table;  // as stored
        std::vector<std::string> fields;
        std::vector<FieldType> types;
        bool active = true;
        bool startedInTransaction = false;  // lost if that transaction rolls back
        bool lost = false;
        std::vector<RowChange> changes;  // committed, not yet taken
    };
    std::vector<RowWatch> rowWatches_;  // a watch's number is its place + 1
    void makeWatchTriggers(size_t index, bool again);
    // Moves what committed writes recorded into the watches.
    void collectRowChanges();
    // After a rollback: the record's table and triggers made in it are
    // made again, and watches started in it are lost.
    void afterRollbackOfWatches();
    // After a restore: every watch is lost, its triggers made on the tables
    // the file now holds.
    void afterRestoreOfWatches();
    std::set<sqlite3_stmt*> stmtInUse_;
    // The check beside the program's work (see checkBeside).
    struct BesideCheck;
    std::shared_ptr<BesideCheck> check_;
    Check checkState_ = Check::None;
    std::string checkFound_;
    std::string checkFailureMessage_;
    bool checkFailureTold_ = false;
};

// A fresh name beside dest for a copy in progress, renamed to dest once the
// copy is whole. Part files of earlier copies to dest are removed first.
std::filesystem::path temporaryCopyBeside(const std::filesystem::path& dest);

// Copies a database file consistently (through SQLite's backup) into dest.
void copyDatabaseFile(const std::filesystem::path& source, const std::filesystem::path& dest);
bool isDatabaseFile(const std::filesystem::path& file);

}  // namespace mk
