#include "platform/table_totals.h"

#include <sqlite3.h>

#include <algorithm>

namespace mk {

TableTotals::TableTotals(Database& db, std::string table, std::vector<Term> terms)
    : db_(db), table_(std::move(table)), terms_(std::move(terms)) {
    auto place = [this](const std::string& field) {
        if (field.empty()) return -1;
        auto it = std::find_if(fields_.begin(), fields_.end(),
                               [&](const std::string& f) { return namesEqual(f, field); });
        if (it != fields_.end()) return static_cast<int>(it - fields_.begin());
        fields_.push_back(field);
        return static_cast<int>(fields_.size()) - 1;
    };
    for (const Term& t : terms_) {
        const int a = place(t.a);
        places_.emplace_back(a, place(t.b));
    }
    readTable();
}

TableTotals::~TableTotals() {
    if (watch_ != 0) db_.unwatchRows(watch_);
}

double TableTotals::amount(size_t term, const std::vector<Value>& values) const {
    const auto [a, b] = places_[term];
    const double x = toDouble(values[static_cast<size_t>(a)]);
    return b < 0 ? x : x * toDouble(values[static_cast<size_t>(b)]);
}

void TableTotals::readTable() {
    // The watch starts first: what is written from now on is recorded.
    watch_ = db_.watchRows(table_, fields_);
    sums_.assign(terms_.size(), ExactSum());
    const TableInfo& info = db_.tableInfo(table_);
    std::string columns;
    for (size_t i = 0; i < fields_.size(); ++i)
        columns += (i ? ", " : "") +
                   sqlRead("double", info.fields[static_cast<size_t>(info.fieldIndex(fields_[i]))]);
    auto st = db_.prepare("SELECT " + columns + " FROM " + quoteName(info.name));
    std::vector<double> row(fields_.size());
    while (st->step()) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = sqlite3_column_double(st->raw(), static_cast<int>(i));
        for (size_t t = 0; t < terms_.size(); ++t) {
            const auto [a, b] = places_[t];
            const double x = row[static_cast<size_t>(a)];
            sums_[t].add(b < 0 ? x : x * row[static_cast<size_t>(b)]);
        }
    }
}

const std::vector<ExactSum>& TableTotals::sums() {
    if (db_.rowWatchLost(watch_)) {
        readTable();
        return sums_;
    }
    const std::vector<Database::RowChange> changes = db_.takeRowChanges(watch_);
    try {
        for (const Database::RowChange& c : changes)
            for (size_t t = 0; t < terms_.size(); ++t) {
                const double x = amount(t, c.values);
                if (c.sign > 0) sums_[t].add(x);
                else sums_[t].remove(x);
            }
    } catch (const RuntimeError&) {
        // A value that is no number fails as reading the table fails.
        readTable();
    }
    return sums_;
}

}  // namespace mk
