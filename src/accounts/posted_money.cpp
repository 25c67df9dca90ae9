#include "accounts/posted_money.h"

#include "accounts/cashbox.h"
#include "data/schema.h"
#include "platform/application.h"
#include "platform/table_scan.h"

namespace mk {

namespace {

bool holdsChange(Adodc& dc) {
    if (!dc.isOpen() || dc.recordset().hasPendingChanges()) return true;
    for (BoundControl* b : dc.boundControls())
        if (b->boundChanged()) return true;
    return false;
}

// Re-reads the window's data control and puts it back on the row it stood
// on (or the last row, as the cash box window keeps it).
void reread(Application& app, const char* window, bool last) {
    Form* f = app.loadedForm(window);
    if (!f) return;
    Adodc& dc = f->adodc("Adodc1");
    if (holdsChange(dc)) return;
    const long position = last ? 0 : dc.recordset().absolutePosition();
    dc.Refresh();
    Recordset& rs = dc.recordset();
    if (last) rs.moveLast();
    else rs.moveToPosition(position);
}

}  // namespace

void showPostedMoney(Application& app) {
    reread(app, "Form6", false);
    reread(app, "Form5", false);
    reread(app, "Form34", true);
    Form* main = app.loadedForm("Form1");
    if (!main) return;
    Database& db = app.machine().database(kDatabasePath);
    main->label("Label23", 0).setCaption(formatDouble(scan::sum(db, "BUYER", "MONEY", 0.0)));
    main->label("Label23", 1).setCaption(formatDouble(scan::sum(db, "SUPPLIER", "MONEY", 0.0)));
    main->label("Label23", 2).setCaption(formatDouble(cashBalance(db)));
}

}  // namespace mk
