// The day's quantities in DAILY_TRADE: the start-of-day rows and the
// end-of-day pass before the daily movement report, both over every item
// of every group listed in the main window's group list (on qqq; its lists
// are asked of it, data/window_links.h). The item tables are read in SQL; the
// group list is walked as the windows expect (each row written back, the
// list left past its last row).
#pragma once

#include <string>
#include <vector>

namespace mk {

class Application;

// The group tables listed in the main window's group list, in list order, walking the list
// to its end. A listed group whose table is missing is left out and
// reported once in the program's run.
std::vector<std::string> listedGroupTables(Application& app);
// The table of a listed group's name as stored, "" (reported once) when
// the file has none.
std::string groupTable(Application& app, const std::string& name);

// Appends one DAILY_TRADE row per item with its name and the quantity on
// hand; rows already there are kept. The main window's day rows then read
// the rows added and stand on the last of them.
void startOfDay(Application& app);

// Sets END_DAY_Q of every row of the main window's day rows to the stock of
// the item of that name; with several items of one name, the one last in
// group and table order wins.
void endOfDayPass(Application& app);

// The menu items of the daily movement report: the end-of-day pass (the
// store menu's item re-reads DAILY_TRADE first), two printed lines on the
// main window, then DataReport10.
void showDailyMovement(Application& app, bool rereadFirst);

}  // namespace mk
