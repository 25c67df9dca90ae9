#include "app/system.h"

#include <filesystem>

#include "accounts/windows.h"
#include "access/windows.h"
#include "app/windows.h"
#include "data/schema.h"
#include "data/windows.h"
#include "platform/application.h"
#include "purchasing/windows.h"
#include "reports/windows.h"
#include "sales/windows.h"
#include "staff/windows.h"
#include "store/backup.h"
#include "store/expiry.h"
#include "store/movement.h"
#include "store/windows.h"
#include "purchasing/dealings.h"

namespace mk {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void unusable(Machine& machine, const fs::path& file, const std::string& what) {
    machine.closeDatabases();
    throw RuntimeError(err::DatabaseError,
                       std::string("لا يمكن استخدام ملف قاعدة البيانات") + "\r\n" +
                           "The database file " + kDatabasePath + " (" + file.string() +
                           ") cannot be used: " + what + "\r\n" +
                           "The program stops and leaves the file as it is.");
}

}  // namespace

void prepareMachine(Machine& machine, const Clock& clock) {
    machine.ensureDrive('C');
    machine.ensureDrive('D');
    const double today = clock.today();
    machine.setNewDatabaseInitializer([today](Database& db) { createSystemDatabase(db, today); });
    const fs::path file = machine.mapPath(kDatabasePath);
    std::error_code ec;
    if (fs::is_regular_file(file, ec) && fs::file_size(file, ec) == 0 && !ec)
        unusable(machine, file, "it is empty.");
    Database* db = nullptr;
    try {
        db = &machine.openOrCreateDatabase(kDatabasePath);
    } catch (const RuntimeError& e) {
        if (fs::exists(file, ec) && !isDatabaseFile(file))
            unusable(machine, file, "it is not a database file of this program.");
        unusable(machine, file, e.description());
    }
    widenDocumentNumbers(*db);
    std::string damage;
    try {
        damage = db->damage();
    } catch (const RuntimeError& e) {
        damage = e.description();
    }
    if (!damage.empty()) unusable(machine, file, "it is damaged (" + damage + ").");
    if (const std::string problem = schemaProblem(*db); !problem.empty())
        unusable(machine, file, problem);
    if (db->isReadOnly()) unusable(machine, file, "it is read-only.");
    if (!needsBringingUpToDate(*db)) return;
    try {
        machine.action([db] { bringUpToDate(*db); });
    } catch (const RuntimeError& e) {
        unusable(machine, file, "it could not be brought up to date (" + e.description() + ").");
    }
}

bool prepareMachineOrSay(Machine& machine, const Clock& clock, Dialogs& dialogs) {
    try {
        prepareMachine(machine, clock);
        return true;
    } catch (const RuntimeError& e) {
        dialogs.messageBox(e.description(), "makhzan", mb::Critical);
        return false;
    }
}

void registerWindows(Application& app) {
    registerAppWindows(app);
    registerStoreWindows(app);
    registerBackupWindows(app);
    registerMovementWindows(app);
    registerExpiryWindows(app);
    registerDataWindows(app);
    registerReportsWindows(app);
    registerSalesWindows(app);
    registerPurchasingWindows(app);
    registerDealingsWindows(app);
    registerAccountsWindows(app);
    registerStaffWindows(app);
    registerAccessWindows(app);
}

void startProgram(Application& app) {
    app.setMainForm("Form1");
    app.start("Form16");
}

}  // namespace mk
