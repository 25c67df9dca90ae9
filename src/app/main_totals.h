// The main window's totals over whole tables: what the customers owe
// (BUYER.MONEY), what is owed to the suppliers (SUPPLIER.MONEY), and the
// stock at sale and at buy price (ONSTOCK x UNITE_PRICE and ONSTOCK x
// BUY_PRICE over every item of every listed group; a group listed twice
// counts twice). Each is the exact sum of its amounts as the file holds
// them, whatever their order. The tables are read when the main window
// loads; from then on every committed write adds what it changed in the
// rows it wrote (platform/table_totals.h), so a posting never reads every
// item again.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/table_totals.h"

namespace mk {

class MainTotals {
public:
    // The partners' tables as named; the groups as the main window lists
    // them (store/day_quantities.h).
    MainTotals(Application& app, const std::string& customers, const std::string& suppliers);

    double customers();
    double suppliers();
    struct Stock {
        double sale = 0;
        double buy = 0;
    };
    Stock stock();

    // Whether the tables a stock total reads are among these.
    bool stockTouched(const ChangedTables& tables) const;
    // The group list as stored now: groups no longer listed leave the
    // stock totals, and a newly listed group's table is read.
    void relistGroups();

private:
    void listGroups(const std::vector<std::string>& tables);

    Application& app_;
    TableTotals customers_, suppliers_;
    struct Group {
        std::unique_ptr<TableTotals> totals;
        int listed = 0;  // times the group list names it
    };
    std::map<std::string, Group> groups_;  // by the table's name as stored
};

}  // namespace mk
