// Stock postings of invoices: the lines of one invoice taken out of (sales)
// or put into (incoming) one item group's table, and the day's movement in
// DAILY_TRADE (OUTPUT for sales, INPUT for incoming). Every window that
// moves stock posts through here.
//
// A posting is planned first and written after: the plan reads the rows as
// stored at that moment (never a window's snapshot), finds each item's
// first row of exactly that DESC, and works out every new value, so a
// quantity that would leave its range is refused before anything is
// written. Lines naming no row change nothing there.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/database.h"

namespace mk {

enum class StockFlow { Out, In, Return };

struct StockLine {
    int slot = 0;  // the invoice slot, 1..31, for messages
    std::string item;
    double quantity = 0;
    double price = 0;  // incoming only: the line's buy price
};

// One row's new value.
struct StockWrite {
    std::string table;
    long long rowid = 0;
    std::string field;
    Value value;
};

struct StockPlan {
    // What it was worked out for, to work it out again as it is written.
    std::string table;
    StockFlow flow = StockFlow::Out;
    std::vector<StockLine> lines;
    std::vector<StockWrite> writes;
    // Lines whose item has no row in the group table.
    std::vector<int> missingSlots;
    // Why the posting cannot be made ("" when it can).
    std::string problem;
    bool ok() const { return problem.empty(); }
};

// Whether a name is a group listed in qqq (exact text) whose table exists,
// and what a group chooser says when it is not.
bool groupListed(Database& db, const std::string& name);
extern const char* const kUnknownGroupMessage;

// A field of the named items of a group table in one read, by name: the
// value of each name's last row, as a walk over the table would leave it.
// A name the table does not hold is missing.
std::map<std::string, Value> itemValues(Database& db, const std::string& table,
                                        const std::string& field,
                                        const std::set<std::string>& names);

// The first row (in table order) of the table whose DESC is exactly item;
// its rowid, or nullopt.
std::optional<long long> findItemRow(Database& db, const std::string& table,
                                     const std::string& item);

// The stock on hand an invoice window shows of an item, as stored now: its
// last row's, as a walk over the table leaves it (the price beside it is
// taken so too), or nullopt.
std::optional<int32_t> storedStock(Database& db, const std::string& table,
                                   const std::string& item);

// Out: ONSTOCK -= quantity, OUTPUT += quantity. In: ONSTOCK += quantity,
// BUY_PRICE weighted by the old stock (the line's price when the old stock
// is 0 or less), INPUT += quantity. Return: the item's RETURN counter
// (16-bit) += quantity, nothing else. Lines of quantity 0 or item "." are
// skipped; several lines of one item add up.
StockPlan planStock(Database& db, const std::string& groupTable, StockFlow flow,
                    const std::vector<StockLine>& lines);

// Writes a plan made in this same action. The rows are read again inside
// the action's write transaction, so what is written rests on what is
// stored at the commit, whatever another writer stored since the plan; a
// posting those values refuse fails, telling why.
void applyStock(Database& db, const StockPlan& plan);

// A line of the older purchase invoice, as stored, added to the single
// store table INVENTORY.
struct InventoryLine {
    std::string item;
    double quantity = 0;
    double net = 0;    // the line's value after its discount
    double gross = 0;  // before it
};

// Each line adds to the first INVENTORY row of its name, as stored now
// (read inside the action's write transaction): ONSTOCK += quantity,
// TOTAL += net, TOTAL-SELL += gross. A line of no item ("" or "."), of
// quantity 0 or naming no row changes nothing.
void addToInventory(Database& db, const std::vector<InventoryLine>& lines);

}  // namespace mk
