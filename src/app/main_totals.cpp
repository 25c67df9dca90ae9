#include "app/main_totals.h"

#include "data/schema.h"
#include "platform/application.h"
#include "platform/recordset.h"
#include "store/day_quantities.h"

namespace mk {

namespace {

Database& database(Application& app) { return app.machine().database(kDatabasePath); }

double sumOf(TableTotals& t) { return t.sums()[0].value(); }

}  // namespace

MainTotals::MainTotals(Application& app, const std::string& customers,
                       const std::string& suppliers)
    : app_(app),
      customers_(database(app), customers, {{"MONEY", ""}}),
      suppliers_(database(app), suppliers, {{"MONEY", ""}}) {
    listGroups(listedGroupTables(app));
}

void MainTotals::listGroups(const std::vector<std::string>& tables) {
    std::map<std::string, Group> listed;
    for (const std::string& table : tables) {
        Group& g = listed[table];
        if (!g.totals) {
            auto kept = groups_.find(table);
            g.totals = kept != groups_.end()
                           ? std::move(kept->second.totals)
                           : std::make_unique<TableTotals>(
                                 database(app_), table,
                                 std::vector<TableTotals::Term>{{"ONSTOCK", "UNITE_PRICE"},
                                                                {"ONSTOCK", "BUY_PRICE"}});
        }
        ++g.listed;
    }
    groups_.swap(listed);
}

void MainTotals::relistGroups() {
    std::vector<std::string> tables;
    for (const Value& name : Recordset(database(app_), "qqq").columnValues("Q"))
        if (std::string table = groupTable(app_, toText(name)); !table.empty())
            tables.push_back(std::move(table));
    listGroups(tables);
}

double MainTotals::customers() { return sumOf(customers_); }

double MainTotals::suppliers() { return sumOf(suppliers_); }

MainTotals::Stock MainTotals::stock() {
    ExactSum sale, buy;
    for (auto& [table, g] : groups_) {
        const std::vector<ExactSum>& sums = g.totals->sums();
        for (int k = 0; k < g.listed; ++k) {
            sale.add(sums[0]);
            buy.add(sums[1]);
        }
    }
    return {sale.value(), buy.value()};
}

bool MainTotals::stockTouched(const ChangedTables& tables) const {
    if (tableChanged(tables, "qqq")) return true;
    for (const auto& [table, g] : groups_)
        if (tableChanged(tables, table)) return true;
    return false;
}

}  // namespace mk
