// The machine the program runs on: the data root holding one folder per
// drive letter, the open database files, the transaction of the user
// action that is running, and the tables the committed actions wrote.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/database.h"

namespace mk {

class Machine {
public:
    explicit Machine(std::filesystem::path root);
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // $MAKHZAN_ROOT, else ~/.local/share/makhzan.
    static std::filesystem::path defaultRoot();

    const std::filesystem::path& root() const { return root_; }

    // Claims the data root for this program: an operating-system lock on a
    // file under it, held while the machine lives and dropped by the system
    // when the process ends, however it ends. False when another program
    // holds it.
    bool claimRoot();

    // "C:\INVENT.MDB" (any letter case) -> <root>/C/INVENT.MDB. Each part
    // matches an existing entry with letter case ignored.
    std::filesystem::path mapPath(std::string_view windowsPath) const;
    // The folder of a drive ("c:", "D:\", "d") -> <root>/D.
    std::filesystem::path driveFolder(std::string_view drive) const;
    std::vector<std::string> drives() const;  // "c:", "d:", ...
    bool driveExists(std::string_view drive) const;
    void ensureDrive(char letter);

    // Database files. A new file is made by the initializer given here.
    void setNewDatabaseInitializer(std::function<void(Database&)> init);
    Database& database(std::string_view windowsPath);  // must exist
    Database& openOrCreateDatabase(std::string_view windowsPath);
    Database* openDatabaseAt(const std::filesystem::path& real);  // null when not open
    void closeDatabases();

    // One user action: runs fn in one transaction on every file it writes;
    // commits at the end; a failure rolls everything back, every open
    // recordset re-reads its table, and the failure goes on to the caller.
    // Nested actions join the running one.
    void action(const std::function<void()>& fn);
    int actionDepth() const { return depth_; }
    void joinTransaction(Database& db);
    // Whether some file has a write transaction open (a user action has
    // written and not yet committed).
    bool writeOpen() const { return !participants_.empty(); }
    // The tables (upper-case names, of every file) that the actions
    // committed since the last call wrote; a rolled-back action adds none.
    std::set<std::string> takeCommittedTables();

private:
    Database& openDatabase(const std::filesystem::path& real, bool create);
    void finish(bool ok);

    std::filesystem::path root_;
    std::map<std::filesystem::path, std::unique_ptr<Database>> databases_;
    std::function<void(Database&)> initializer_;
    int depth_ = 0;
    std::vector<Database*> participants_;
    int rootLock_ = -1;  // the claimed lock file, open while held
};

// Parses a connection text ("Provider=...;Data Source=C:\INVENT.MDB") and
// returns its data source; fails when it names none.
std::string dataSourceOf(std::string_view connectionString);

}  // namespace mk
