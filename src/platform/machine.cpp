#include "platform/machine.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

namespace mk {

namespace fs = std::filesystem;

Machine::Machine(fs::path root) : root_(std::move(root)) {
    std::error_code ec;
    fs::create_directories(root_, ec);
}

Machine::~Machine() {
    closeDatabases();
    if (rootLock_ >= 0) ::close(rootLock_);
}

bool Machine::claimRoot() {
    if (rootLock_ >= 0) return true;
    const fs::path file = root_ / "makhzan.lock";
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A root where no file can be made cannot be written by either program.
    if (fd < 0) return true;
    // The lock belongs to this open file: a second claim, even from this
    // process, is refused; the system drops it when the process ends.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return !held;
    }
    rootLock_ = fd;
    // Who holds it, for whoever looks.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, pid.data(), pid.size());
    }
    return true;
}

fs::path Machine::defaultRoot() {
    if (const char* r = std::getenv("MAKHZAN_ROOT"); r && *r) return fs::path(r);
    const char* home = std::getenv("HOME");
    fs::path base = home && *home ? fs::path(home) : fs::temp_directory_path();
    return base / ".local" / "share" / "makhzan";
}

namespace {

// The entry of folder whose name equals part with letter case ignored.
fs::path matchEntry(const fs::path& folder, const std::string& part) {
    std::error_code ec;
    if (fs::exists(folder / part, ec)) return folder / part;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (namesEqual(name, part)) return it->path();
    }
    return folder / part;
}

}  // namespace

fs::path Machine::driveFolder(std::string_view drive) const {
    char letter = drive.empty() ? 'C' : drive.front();
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    return root_ / std::string(1, letter);
}

fs::path Machine::mapPath(std::string_view windowsPath) const {
    std::string p(windowsPath);
    fs::path result;
    size_t i = 0;
    while (i < p.size() && p[i] == ' ') ++i;
    if (p.size() >= i + 2 && p[i + 1] == ':') {
        result = driveFolder(p.substr(i, 1));
        i += 2;
    } else {
        result = driveFolder("C");
    }
    std::string part;
    auto flush = [&] {
        if (part.empty() || part == ".") {
        } else if (part == "..") {
            if (result.parent_path() != root_) result = result.parent_path();
        } else {
            result = matchEntry(result, part);
        }
        part.clear();
    };
    for (; i < p.size(); ++i) {
        char c = p[i];
        if (c == '\\' || c == '/') flush();
        else part += c;
    }
    flush();
    return result;
}

std::vector<std::string> Machine::drives() const {
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z' && it->is_directory())
            out.push_back(std::string(1, static_cast<char>(name[0] - 'A' + 'a')) + ":");
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool Machine::driveExists(std::string_view drive) const {
    std::error_code ec;
    if (drive.empty()) return false;
    char c = drive.front();
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return letter && fs::is_directory(driveFolder(drive), ec);
}

void Machine::ensureDrive(char letter) {
    std::error_code ec;
    fs::create_directories(driveFolder(std::string(1, letter)), ec);
}

void Machine::setNewDatabaseInitializer(std::function<void(Database&)> init) {
    initializer_ = std::move(init);
}

Database* Machine::openDatabaseAt(const fs::path& real) {
    auto it = databases_.find(real.lexically_normal());
    return it == databases_.end() ? nullptr : it->second.get();
}

Database& Machine::openDatabase(const fs::path& real, bool create) {
    fs::path key = real.lexically_normal();
    if (auto* db = openDatabaseAt(key)) return *db;
    std::error_code ec;
    bool exists = fs::exists(key, ec);
    if (!exists && !create)
        throw RuntimeError(err::FileNotFound,
                           "Could not find the database file '" + key.string() + "'.");
    if (!exists) fs::create_directories(key.parent_path(), ec);
    auto db = std::make_unique<Database>(*this, key, !exists);
    Database& ref = *db;
    databases_[key] = std::move(db);
    if (!exists && initializer_) {
        try {
            ref.exec("BEGIN");
            initializer_(ref);
            ref.exec("COMMIT");
        } catch (...) {
            databases_.erase(key);
            fs::remove(key, ec);
            throw;
        }
    }
    return ref;
}

Database& Machine::database(std::string_view windowsPath) {
    return openDatabase(mapPath(windowsPath), false);
}

Database& Machine::openOrCreateDatabase(std::string_view windowsPath) {
    return openDatabase(mapPath(windowsPath), true);
}

void Machine::closeDatabases() {
    participants_.clear();
    databases_.clear();
}

void Machine::joinTransaction(Database& db) {
    if (std::find(participants_.begin(), participants_.end(), &db) == participants_.end())
        participants_.push_back(&db);
}

std::set<std::string> Machine::takeCommittedTables() {
    std::set<std::string> out;
    for (auto& [path, db] : databases_) out.merge(db->takeCommittedTables());
    return out;
}

void Machine::finish(bool ok) {
    auto parts = std::move(participants_);
    participants_.clear();
    if (ok) {
        for (size_t i = 0; i < parts.size(); ++i) {
            try {
                parts[i]->commit();
            } catch (...) {
                for (size_t j = i; j < parts.size(); ++j) parts[j]->rollback();
                throw;
            }
        }
    } else {
        for (Database* db : parts) db->rollback();
    }
}

void Machine::action(const std::function<void()>& fn) {
    // A rollback puts every window back on the row it showed as the
    // action began.
    if (depth_ == 0)
        for (auto& [path, db] : databases_) db->markPositions();
    ++depth_;
    try {
        fn();
    } catch (...) {
        if (--depth_ == 0) finish(false);
        throw;
    }
    if (--depth_ == 0) finish(true);
}

std::string dataSourceOf(std::string_view connectionString) {
    std::string text(connectionString);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        std::string item = text.substr(start, end - start);
        size_t eq = item.find('=');
        if (eq != std::string::npos) {
            std::string key = item.substr(0, eq);
            std::string value = item.substr(eq + 1);
            auto trim = [](std::string& s) {
                while (!s.empty() && s.front() == ' ') s.erase(s.begin());
                while (!s.empty() && s.back() == ' ') s.pop_back();
            };
            trim(key);
            trim(value);
            if (namesEqual(key, "Data Source")) return value;
        }
        start = end + 1;
    }
    throw RuntimeError(err::DatabaseError,
                       "The connection names no data source: '" + text + "'.");
}

}  // namespace mk
