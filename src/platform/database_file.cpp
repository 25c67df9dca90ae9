// The database file as a whole: its check beside the program's work, and
// consistent copies of it (backups).
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "platform/database.h"

namespace mk {

namespace fs = std::filesystem;

struct Database::BesideCheck {
    std::thread thread;
    std::mutex mutex;
    sqlite3* reading = nullptr;  // the check's connection while it reads
    bool stopped = false;
    std::atomic<bool> done{false};
    std::string found;

    void run(const std::string& file) {
        sqlite3* h = nullptr;
        std::string result;
        if (sqlite3_open_v2(file.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            result = h ? sqlite3_errmsg(h) : "cannot open the file";
        } else {
            bool go = false;
            {
                std::lock_guard<std::mutex> lock(mutex);
                go = !stopped;
                if (go) reading = h;
            }
            sqlite3_busy_timeout(h, 5000);
            sqlite3_stmt* st = nullptr;
            if (!go) {
                result = "stopped";
            } else if (sqlite3_prepare_v2(h, "PRAGMA quick_check", -1, &st, nullptr) != SQLITE_OK) {
                result = sqlite3_errmsg(h);
            } else if (sqlite3_step(st) == SQLITE_ROW) {
                const unsigned char* t = sqlite3_column_text(st, 0);
                result = t ? reinterpret_cast<const char*>(t) : "no answer";
                if (result == "ok") result.clear();
            } else {
                result = sqlite3_errmsg(h);
                if (result.empty() || result == "not an error") result = "no answer";
            }
            sqlite3_finalize(st);
            std::lock_guard<std::mutex> lock(mutex);
            reading = nullptr;
        }
        sqlite3_close_v2(h);
        found = result;
        done = true;
    }

    void stop() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopped = true;
            if (reading) sqlite3_interrupt(reading);
        }
        if (thread.joinable()) thread.join();
    }
};

namespace {

// Whether a statement of this kind changes what the file holds.
bool changesFile(int action) {
    switch (action) {
        case SQLITE_INSERT:
        case SQLITE_UPDATE:
        case SQLITE_DELETE:
        case SQLITE_CREATE_TABLE:
        case SQLITE_CREATE_INDEX:
        case SQLITE_CREATE_TRIGGER:
        case SQLITE_CREATE_VIEW:
        case SQLITE_DROP_TABLE:
        case SQLITE_DROP_INDEX:
        case SQLITE_DROP_TRIGGER:
        case SQLITE_DROP_VIEW:
        case SQLITE_ALTER_TABLE:
        case SQLITE_REINDEX:
        case SQLITE_ANALYZE:
        case SQLITE_CREATE_VTABLE:
        case SQLITE_DROP_VTABLE: return true;
        default: return false;
    }
}

}  // namespace

int Database::authorize(void* self, int action, const char* object, const char*,
                        const char* database, const char*) {
    auto* db = static_cast<Database*>(self);
    if (db->checkHolds() || !changesFile(action) || !database || std::strcmp(database, "main") != 0)
        return SQLITE_OK;
    // A temporary trigger on a table of the file is asked for as a row of
    // its schema; a change of the schema itself comes with its own code.
    if (object &&
        (std::strcmp(object, "sqlite_master") == 0 || std::strcmp(object, "sqlite_schema") == 0))
        return SQLITE_OK;
    // A statement that writes the file is made once the check has passed.
    if (db->checkState_ == Check::Running) db->endCheck();
    return db->checkState_ == Check::Failed ? SQLITE_DENY : SQLITE_OK;
}

void Database::checkBeside(std::string failureMessage) {
    if (check_ || checkState_ != Check::None) return;
    checkFailureMessage_ = std::move(failureMessage);
    check_ = std::make_shared<BesideCheck>();
    checkState_ = Check::Running;
    // Every statement that would write the file waits for the check (it
    // covers writes made outside a user action and without beginWrite).
    sqlite3_set_authorizer(db_, &Database::authorize, this);
    BesideCheck* c = check_.get();
    c->thread = std::thread([c, file = path_.string()] { c->run(file); });
}

void Database::endCheck() {
    if (!check_) return;
    check_->thread.join();
    checkFound_ = check_->found;
    checkState_ = checkFound_.empty() ? Check::Passed : Check::Failed;
    check_.reset();
}

Database::Check Database::checkState() {
    if (checkState_ == Check::Running && check_->done) endCheck();
    return checkState_;
}

std::string Database::awaitCheck() {
    if (checkState_ == Check::Running) endCheck();
    return checkFound_;
}

void Database::requireCheckPassed() {
    if (checkState_ == Check::Running) endCheck();
    if (checkState_ != Check::Failed) return;
    checkFailureTold_ = true;
    throw RuntimeError::told(err::DatabaseError, checkFailureMessage_,
                             "PRAGMA quick_check: " + checkFound_);
}

void Database::stopCheck() {
    if (check_) check_->stop();
    check_.reset();
}


fs::path temporaryCopyBeside(const fs::path& dest) {
    // A copy killed half way left its part file behind; a later copy to the
    // same file removes such leftovers of its own, and nothing else.
    const std::string stem = dest.filename().string() + ".part-";
    std::error_code ec;
    for (fs::directory_iterator it(dest.parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0) continue;
        if (name.find_first_not_of("0123456789", stem.size()) != std::string::npos) continue;
        std::error_code removeError;
        if (it->is_regular_file(removeError)) fs::remove(it->path(), removeError);
    }
    static std::mt19937_64 rng{std::random_device{}()};
    return dest.parent_path() / (stem + std::to_string(rng() % 1000000000ULL));
}

namespace {

struct Connection {
    sqlite3* h = nullptr;
    ~Connection() {
        if (h) sqlite3_close_v2(h);
    }
};

struct TemporaryFile {
    fs::path path;
    int fd = -1;
    ~TemporaryFile() {
        if (fd >= 0) ::close(fd);
        std::error_code ec;
        if (!path.empty()) fs::remove(path, ec);
    }
};

[[noreturn]] void copyFailed(const fs::path& source, const std::string& why) {
    throw RuntimeError(err::PermissionDenied,
                       "The copy of '" + source.string() + "' failed: " + why);
}

// A descriptor this process already holds open on the file (SQLite's own),
// or -1. It is only read through, at given offsets, and never closed: a
// descriptor of our own, once closed, would drop the locks SQLite holds on
// the file.
int openDescriptorOf(const fs::path& file) {
    std::error_code ec;
    const fs::path wanted = fs::canonical(file, ec);
    if (ec) return -1;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", ec)) {
        const fs::path target = fs::read_symlink(entry.path(), ec);
        if (ec || target != wanted) continue;
        const std::string name = entry.path().filename().string();
        int fd = -1;
        try {
            fd = std::stoi(name);
        } catch (const std::exception&) {
            continue;
        }
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0 && (flags & O_ACCMODE) != O_WRONLY) return fd;
    }
    return -1;
}

[[noreturn]] void writeFailed(const fs::path& source, int error) {
    if (error == ENOSPC) throw RuntimeError(err::DiskFull, kDiskFullMessage);
    copyFailed(source, std::strerror(error));
}

// Copies [at, size) of the file in the kernel, from a descriptor SQLite
// holds; returns where it stopped (size when whole; earlier when the
// kernel cannot copy between these files, and the rest is read).
sqlite3_int64 copyInKernel(const fs::path& source, sqlite3_int64 size, int out) {
    const int in = openDescriptorOf(source);
    if (in < 0) return 0;
    loff_t from = 0, to = 0;
    while (from < size) {
        const ssize_t n = ::copy_file_range(in, &from, out, &to, static_cast<size_t>(size - from), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                      errno == EBADF))
            break;
        if (n < 0) writeFailed(source, errno);
        if (n == 0) break;
    }
    // Whatever the kernel did not copy is written again from where it stopped.
    return std::min<sqlite3_int64>(from, to);
}

// Writes the whole of the source file into out while the connection src
// holds its read lock: in the kernel where it can, else read through the
// connection's own file.
void copyBytes(sqlite3* src, const fs::path& source, int out) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(src, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        copyFailed(source, "the file cannot be read");
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK) copyFailed(source, "no size");
    sqlite3_int64 at = copyInKernel(source, size, out);
    if (at >= size) return;
    if (::lseek(out, at, SEEK_SET) < 0) copyFailed(source, std::strerror(errno));
    constexpr sqlite3_int64 kChunk = 8 << 20;
    std::vector<char> buffer(static_cast<size_t>(std::min(size - at, kChunk)) + 1);
    while (at < size) {
        const int n = static_cast<int>(std::min(kChunk, size - at));
        if (file->pMethods->xRead(file, buffer.data(), n, at) != SQLITE_OK)
            copyFailed(source, "a read failed");
        for (int done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) writeFailed(source, w < 0 ? errno : EIO);
            done += static_cast<int>(w);
        }
        at += n;
    }
}

// Through SQLite's backup, page by page: for a file whose committed
// content is not all in the file itself (a write-ahead log).
void copyPages(sqlite3* src, const fs::path& source, const fs::path& tmp) {
    Connection dst;
    if (sqlite3_open_v2(tmp.c_str(), &dst.h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        copyFailed(source, "cannot write the copy");
    sqlite3_exec(dst.h, "PRAGMA synchronous=EXTRA", nullptr, nullptr, nullptr);
    sqlite3_backup* b = sqlite3_backup_init(dst.h, "main", src, "main");
    int rc = SQLITE_ERROR;
    if (b) {
        rc = sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
    }
    if (rc != SQLITE_DONE) copyFailed(source, sqlite3_errmsg(dst.h));
}

// Copies the committed content of source (a file path) into dest: the
// file's bytes as they are, while a read transaction of a connection of
// its own keeps any commit from changing them, into a temporary file
// that replaces dest once it is whole and on the disk.
void backupFile(const fs::path& source, const fs::path& dest) {
    Connection src;
    if (sqlite3_open_v2(source.c_str(), &src.h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw RuntimeError(err::FileNotFound, "Cannot read '" + source.string() + "'.");
    sqlite3_busy_timeout(src.h, 2000);
    std::string mode;
    auto readLocked = [&] {
        if (sqlite3_exec(src.h, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(src.h, "PRAGMA journal_mode", -1, &st, nullptr) != SQLITE_OK)
            return false;
        if (sqlite3_step(st) == SQLITE_ROW)
            if (const unsigned char* t = sqlite3_column_text(st, 0))
                mode = reinterpret_cast<const char*>(t);
        sqlite3_finalize(st);
        // The first read takes the lock that commits wait for.
        return sqlite3_exec(src.h, "SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                            nullptr) == SQLITE_OK;
    };
    if (!readLocked()) copyFailed(source, sqlite3_errmsg(src.h));
    TemporaryFile tmp{temporaryCopyBeside(dest)};
    if (upperAscii(mode) == "WAL") {
        copyPages(src.h, source, tmp.path);
    } else {
        tmp.fd = ::open(tmp.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (tmp.fd < 0)
            throw RuntimeError(err::PermissionDenied, "Cannot write '" + dest.string() + "'.");
        copyBytes(src.h, source, tmp.fd);
        if (::fdatasync(tmp.fd) != 0) copyFailed(source, std::strerror(errno));
        ::close(tmp.fd);
        tmp.fd = -1;
    }
    sqlite3_exec(src.h, "COMMIT", nullptr, nullptr, nullptr);
    // The file replaced is let go of on a thread of its own: freeing a
    // large file's blocks takes a while, and nothing needs to wait for it.
    const int replaced = ::open(dest.c_str(), O_RDONLY | O_CLOEXEC);
    std::error_code ec;
    fs::rename(tmp.path, dest, ec);
    if (replaced >= 0) std::thread([replaced] { ::close(replaced); }).detach();
    if (ec)
        throw RuntimeError(err::PermissionDenied,
                           "Cannot write '" + dest.string() + "': " + ec.message());
    tmp.path.clear();
}

}  // namespace

bool isDatabaseFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return false;
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                           nullptr) == SQLITE_OK;
    sqlite3_close_v2(db);
    return ok;
}

void copyDatabaseFile(const fs::path& source, const fs::path& dest) { backupFile(source, dest); }

void Database::backupTo(const fs::path& dest) { backupFile(path_, dest); }

}  // namespace mk
