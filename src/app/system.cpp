#include "app/system.h"

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

void prepareMachine(Machine& machine, const Clock& clock) {
    machine.ensureDrive('C');
    machine.ensureDrive('D');
    const double today = clock.today();
    machine.setNewDatabaseInitializer([today](Database& db) { createSystemDatabase(db, today); });
    machine.openOrCreateDatabase(kDatabasePath);
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
