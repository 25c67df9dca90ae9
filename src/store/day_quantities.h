// The day's quantities in DAILY_TRADE: the start-of-day rows, the end-of-day
// pass before the daily movement report, and the walk over every item of
// every group that these and the main window's stock totals share.
#pragma once

#include <functional>

namespace mk {

class Application;
class Recordset;

// Visits every item row of every group table listed in the main window's
// group list (Form1.Adodc5 on qqq): groups in list order, items in table
// order, each row written back after the visit. Each group table is read
// through a recordset of its own, so the item card's data control (Adodc4)
// stays on the group the user chose (none before the first choice). A listed
// group without a table stops the walk with the error.
void forEachStoreItem(Application& app, const std::function<void(Recordset&)>& visit);

// Appends one DAILY_TRADE row per item with its name and the quantity on
// hand (through Form1.Adodc6). Rows already there are kept.
void startOfDay(Application& app);

// Sets END_DAY_Q of every DAILY_TRADE row to the stock of the item of that
// name; with several items of one name, the one visited last wins.
void endOfDayPass(Application& app);

// The menu items of the daily movement report: the end-of-day pass (the
// store menu's item re-reads DAILY_TRADE first), two printed lines on the
// main window, then DataReport10.
void showDailyMovement(Application& app, bool rereadFirst);

}  // namespace mk
