// The connection: opening and closing the file, the transaction of the
// running user action, and replacing the content in a restore.
#include "platform/database.h"

#include <sqlite3.h>

#include <cstring>

#include "platform/machine.h"
#include "platform/recordset.h"

namespace mk {

namespace fs = std::filesystem;

Database::Database(Machine& machine, fs::path path, bool create)
    : machine_(machine), path_(std::move(path)) {
    open(create);
}

Database::~Database() {
    stopCheck();
    for (Recordset* rs : std::set<Recordset*>(recordsets_)) rs->detach();
    tellListeners(&RowChangeListener::closing);
    rowListeners_.clear();
    watched_.clear();
    close();
}

void Database::open(bool create) {
    // The program has one thread: no per-call connection mutex.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        std::string msg = db_ ? sqlite3_errmsg(db_) : "cannot open";
        sqlite3_close(db_);
        db_ = nullptr;
        throw RuntimeError(err::DatabaseError,
                           "Cannot open the database file '" + path_.string() + "': " + msg);
    }
    sqlite3_busy_timeout(db_, 2000);
    sqlite3_extended_result_codes(db_, 1);
    registerFunctions();
#ifdef MK_PREUPDATE_HOOK
    sqlite3_preupdate_hook(db_, &Database::rowWillChange, this);
#endif
    // Only the file's own tables count; the row watches' record is temporary.
    sqlite3_update_hook(
        db_,
        [](void* self, int, const char* schema, const char* table, sqlite3_int64) {
            if (schema && std::strcmp(schema, "main") == 0) rowWritten(self, table);
        },
        this);
    try {
        // A commit is synced together with the removal of its journal, so
        // one a power cut follows is kept.
        exec("PRAGMA synchronous=EXTRA");
        exec("SELECT count(*) FROM sqlite_master");
    } catch (const RuntimeError&) {
        close();
        throw RuntimeError(err::DatabaseError,
                           "'" + path_.string() + "' is not a database file of this program.");
    }
}

void Database::rowWritten(void* self, const char* table) {
    auto* db = static_cast<Database*>(self);
    if (db->inTransaction_) db->writtenTables_.insert(upperAscii(table));
}

std::set<std::string> Database::takeCommittedTables() {
    std::set<std::string> out;
    out.swap(committedTables_);
    return out;
}

void Database::close() {
    for (auto& [sql, stmt] : stmtCache_) sqlite3_finalize(stmt);
    stmtCache_.clear();
    stmtInUse_.clear();
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

void Database::fail(const std::string& context) {
    // A write refused because the file failed its check is told so.
    if (sqlite3_errcode(db_) == SQLITE_AUTH && checkState_ == Check::Failed) requireCheckPassed();
    throw RuntimeError(err::DatabaseError, context + ": " + sqlite3_errmsg(db_));
}

bool Database::isReadOnly() const {
    if (sqlite3_db_readonly(db_, "main") == 1) return true;
    // A file without write permission counts as read-only even for a user
    // the system would let write it.
    std::error_code ec;
    const auto perms = fs::status(path_, ec).permissions();
    if (ec) return false;
    using P = fs::perms;
    return (perms & (P::owner_write | P::group_write | P::others_write)) == P::none;
}

std::string Database::damage() {
    auto st = prepare("PRAGMA quick_check");
    const std::string first = st->step() ? st->columnText(0) : "no answer";
    return first == "ok" ? "" : first;
}

void Database::beginWrite() {
    if (!checkHolds()) requireCheckPassed();
    if (machine_.actionDepth() == 0 || inTransaction_) return;
    if (sqlite3_get_autocommit(db_)) {
        // The write lock is taken at once: what the action reads from here
        // on no other writer can change before it commits.
        exec("BEGIN IMMEDIATE");
        inTransaction_ = true;
        writtenTables_.clear();
        machine_.joinTransaction(*this);
    }
}

void Database::commit() {
    if (!inTransaction_) return;
    inTransaction_ = false;
    if (sqlite3_get_autocommit(db_)) {
        // SQLite rolled the transaction back itself.
        writtenTables_.clear();
        afterRollbackOfWatches();
        return;
    }
    try {
        exec("COMMIT");
    } catch (...) {
        inTransaction_ = true;
        rollback();
        throw;
    }
    committedTables_.merge(writtenTables_);
    writtenTables_.clear();
    for (RowWatch& w : rowWatches_) w.startedInTransaction = false;
    collectRowChanges();
    tellListeners(&RowChangeListener::committed);
}

void Database::rollback() {
    if (!inTransaction_) return;
    tellListeners(&RowChangeListener::rollingBack);
    inTransaction_ = false;
    writtenTables_.clear();
    if (!sqlite3_get_autocommit(db_)) {
        try {
            exec("ROLLBACK");
        } catch (...) {
        }
    }
    infoCache_.clear();
    newEpoch();
    afterRollbackOfWatches();
    refreshRecordsets(true);
}

void Database::restoreFrom(const fs::path& source) {
    if (!isDatabaseFile(source))
        throw RuntimeError(err::DatabaseError,
                           "'" + source.string() + "' is not a database file of this program.");
    std::error_code ec;
    if (fs::equivalent(source, path_, ec)) return;
    if (!checkHolds()) requireCheckPassed();
    // The backup cannot run inside a transaction; what the running action
    // wrote so far is kept, and the action goes on in a new transaction.
    bool wasIn = inTransaction_;
    if (wasIn) commit();
    tellListeners(&RowChangeListener::replacing);
    for (auto& [sql, stmt] : stmtCache_) sqlite3_finalize(stmt);
    stmtCache_.clear();
    stmtInUse_.clear();
    sqlite3* src = nullptr;
    if (sqlite3_open_v2(source.c_str(), &src, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(src);
        throw RuntimeError(err::FileNotFound, "Cannot read '" + source.string() + "'.");
    }
    sqlite3_backup* b = sqlite3_backup_init(db_, "main", src, "main");
    int rc = SQLITE_ERROR;
    if (b) {
        rc = sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
    }
    sqlite3_close_v2(src);
    infoCache_.clear();
    newEpoch();
    afterRestoreOfWatches();
    if (rc != SQLITE_DONE) fail("The restore failed");
    // Every table changed at once: the windows are told of each.
    for (const std::string& table : tableNames()) committedTables_.insert(upperAscii(table));
    if (wasIn) beginWrite();
    refreshRecordsets();
}

}  // namespace mk
