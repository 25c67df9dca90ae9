#include "store/day_quantities.h"

#include <map>

#include "data/schema.h"
#include "platform/application.h"
#include "reports/opener.h"

namespace mk {

void forEachStoreItem(Application& app, const std::function<void(Recordset&)>& visit) {
    Form& main = app.form("Form1");
    Database& db = app.machine().database(kDatabasePath);
    Recordset& groups = main.adodc("Adodc5").recordset();
    groups.moveFirst();
    while (!groups.eof()) {
        Recordset items(db, toText(groups.field("Q")));
        items.moveFirst();
        while (!items.eof()) {
            visit(items);
            items.update();
            items.moveNext();
        }
        groups.update();
        groups.moveNext();
    }
}

void startOfDay(Application& app) {
    Recordset& day = app.form("Form1").adodc("Adodc6").recordset();
    forEachStoreItem(app, [&day](Recordset& item) {
        const std::string name = toText(item.field("DESC"));
        const int32_t onStock = toInt32(item.field("ONSTOCK"));
        day.addNew();
        day.setField("DESC", name);
        day.setField("STARY_DAY_Q", Value::i32(onStock));
        day.update();
    });
}

void endOfDayPass(Application& app) {
    // Each item overwrites the rows of its name, so the item visited last
    // decides; one pass over DAILY_TRADE then gives the same rows.
    std::map<std::string, int32_t> stock;
    forEachStoreItem(app, [&stock](Recordset& item) {
        stock[toText(item.field("DESC"))] = toInt32(item.field("ONSTOCK"));
    });
    Recordset& day = app.form("Form1").adodc("Adodc6").recordset();
    day.moveFirst();
    while (!day.eof()) {
        auto it = stock.find(toText(day.field("DESC")));
        if (it != stock.end()) day.setField("END_DAY_Q", Value::i32(it->second));
        day.update();
        day.moveNext();
    }
}

void showDailyMovement(Application& app, bool rereadFirst) {
    Form& main = app.form("Form1");
    if (rereadFirst) main.adodc("Adodc6").Refresh();
    endOfDayPass(app);
    main.Print({" كميات أخر اليوم جاهزة "});
    main.Print({" كميات أخر اليوم جاهزة "});
    openReport(app, "DataReport10");
}

}  // namespace mk
