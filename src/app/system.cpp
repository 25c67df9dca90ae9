#include "app/system.h"

#include <filesystem>

#include "accounts/windows.h"
#include "access/windows.h"
#include "app/windows.h"
#include "data/schema.h"
#include "data/windows.h"
#include "platform/application.h"
#include "platform/failure.h"
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

constexpr const char* kRootInUse =
    "البرنامج مفتوح بالفعل على هذه البيانات، فلم يفتح مرة ثانية. استخدم البرنامج المفتوح، أو "
    "أغلقه ثم افتح البرنامج من جديد";
constexpr const char* kPutBackBackup = "ضع مكانه آخر نسخة إحتياطية سليمة ثم افتح البرنامج من جديد";
constexpr const char* kNotOfTheProgram = "الملف ليس ملف قاعدة بيانات لهذا البرنامج";
constexpr const char* kDamaged = "الملف تالف";

// What a start says of a file it cannot use: which file, what is wrong,
// that it is left as it is, and what the user can do.
std::string unusableMessage(const fs::path& file, const std::string& what, const char* advice) {
    return std::string("لا يمكن استخدام ملف قاعدة البيانات ") + kDatabasePath + " (" +
           file.string() + "): " + what + ".\r\n" + "يتوقف البرنامج الآن دون أن يغير شيئا فى الملف. " + advice;
}

[[noreturn]] void unusable(Machine& machine, const fs::path& file, const std::string& what,
                           const char* advice, const std::string& detail) {
    machine.closeDatabases();
    throw RuntimeError::told(err::DatabaseError, unusableMessage(file, what, advice),
                             file.string() + ": " + detail);
}

void tell(Machine& machine, Dialogs& dialogs, const std::exception& e) {
    writeLog(machine.root(), "start: " + failureDetail(e));
    dialogs.messageBox(failureMessage(e), "makhzan", mb::Critical);
}

}  // namespace

void prepareMachine(Machine& machine, const Clock& clock, FileCheck check) {
    machine.ensureDrive('C');
    machine.ensureDrive('D');
    const double today = clock.today();
    machine.setNewDatabaseInitializer([today](Database& db) { createSystemDatabase(db, today); });
    const fs::path file = machine.mapPath(kDatabasePath);
    std::error_code ec;
    if (fs::is_regular_file(file, ec) && fs::file_size(file, ec) == 0 && !ec)
        unusable(machine, file, "الملف فارغ", kPutBackBackup, "the file is empty");
    Database* db = nullptr;
    try {
        db = &machine.openOrCreateDatabase(kDatabasePath);
    } catch (const RuntimeError& e) {
        if (fs::exists(file, ec) && !isDatabaseFile(file))
            unusable(machine, file, kNotOfTheProgram, kPutBackBackup, e.description());
        unusable(machine, file, "تعذر فتح الملف",
                 "تأكد من إمكان القراءة من الملف والكتابة فيه ثم افتح البرنامج من جديد",
                 e.description());
    }
    const std::string damagedMessage = unusableMessage(file, kDamaged, kPutBackBackup);
    bool update = false;
    try {
        widenDocumentNumbers(*db);
        if (check == FileCheck::Whole)
            if (const std::string damage = db->damage(); !damage.empty())
                unusable(machine, file, kDamaged, kPutBackBackup, "PRAGMA quick_check: " + damage);
        if (const std::string problem = schemaProblem(*db); !problem.empty())
            unusable(machine, file, std::string(kNotOfTheProgram) + " (ينقصه بعض جداوله أو حقوله)",
                     kPutBackBackup, problem);
        if (db->isReadOnly())
            unusable(machine, file, "الملف للقراءة فقط",
                     "اسمح بالكتابة فى الملف ثم افتح البرنامج من جديد", "the file is read-only");
        update = needsBringingUpToDate(*db);
    } catch (const RuntimeError& e) {
        if (e.isTold() && e.description() != kDamagedMessage) throw;
        // A file whose tables cannot even be read is damaged.
        unusable(machine, file, kDamaged, kPutBackBackup, failureDetail(e));
    }
    if (check == FileCheck::Beside) {
        db->checkBeside(damagedMessage);
        // What brings the file up to date is written once the check passed.
        if (!update) return;
        if (const std::string damage = db->awaitCheck(); !damage.empty())
            unusable(machine, file, kDamaged, kPutBackBackup, "PRAGMA quick_check: " + damage);
    }
    if (!update) return;
    try {
        machine.action([db] { bringUpToDate(*db); });
    } catch (const RuntimeError& e) {
        unusable(machine, file, "تعذر تحديثه ليعمل مع هذا الإصدار من البرنامج",
                 "أفرغ مساحة على القرص ثم افتح البرنامج من جديد، فإن تكرر ذلك فضع مكانه آخر نسخة "
                 "إحتياطية سليمة",
                 failureDetail(e));
    }
}

bool prepareMachineOrSay(Machine& machine, const Clock& clock, Dialogs& dialogs) {
    if (!machine.claimRoot()) {
        writeLog(machine.root(), "start: the data root " + machine.root().string() +
                                     " is in use by another program");
        dialogs.messageBox(kRootInUse, "makhzan", mb::Critical);
        return false;
    }
    try {
        prepareMachine(machine, clock, FileCheck::Beside);
        return true;
    } catch (const RuntimeError& e) {
        tell(machine, dialogs, e);
        return false;
    }
}

StartCheck followStartCheck(Machine& machine, Dialogs& dialogs, bool wait) {
    Database* db = machine.openDatabaseAt(machine.mapPath(kDatabasePath));
    if (!db) return StartCheck::Passed;
    if (wait) db->awaitCheck();
    switch (db->checkState()) {
        case Database::Check::Running: return StartCheck::Running;
        case Database::Check::Failed:
            if (!db->checkFailureTold()) {
                try {
                    db->requireCheckPassed();
                } catch (const RuntimeError& e) {
                    tell(machine, dialogs, e);
                }
            }
            return StartCheck::Failed;
        default: return StartCheck::Passed;
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
