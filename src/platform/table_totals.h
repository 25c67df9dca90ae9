// Sums over a whole table, each of one field or of the product of two
// (toDouble of each, as the windows read them), kept exact (ExactSum) and
// up to date: the table is read once, then each committed write adds what
// it changed in the rows it wrote (Database::watchRows), so no sum reads
// every row again. The table is read again only when its watch was lost
// (a rollback of the action that began it, a restore) or a stored value
// is no number.
#pragma once

#include <string>
#include <vector>

#include "platform/database.h"
#include "platform/exact_sum.h"

namespace mk {

class TableTotals {
public:
    struct Term {
        std::string a, b;  // b empty: the sum of a alone
    };
    TableTotals(Database& db, std::string table, std::vector<Term> terms);
    ~TableTotals();
    TableTotals(const TableTotals&) = delete;
    TableTotals& operator=(const TableTotals&) = delete;

    // The sums, one a term, as committed now.
    const std::vector<ExactSum>& sums();

private:
    void readTable();
    // The term's amount in a row of the watched fields' values.
    double amount(size_t term, const std::vector<Value>& values) const;

    Database& db_;
    std::string table_;
    std::vector<Term> terms_;
    std::vector<std::string> fields_;  // watched, each once
    std::vector<std::pair<int, int>> places_;  // of each term's fields; -1: none
    int watch_ = 0;
    std::vector<ExactSum> sums_;
};

}  // namespace mk
