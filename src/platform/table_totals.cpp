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
    auto field = [&](const std::string& name) {
        return sqlArgs(info.fields[static_cast<size_t>(info.fieldIndex(name))]);
    };
    const std::string one = "1.0," + std::to_string(static_cast<int>(FieldType::Double));
    std::string terms;
    for (const Term& t : terms_) terms += ", " + field(t.a) + ", " + (t.b.empty() ? one : field(t.b));
    auto st = db_.prepare("SELECT count(mk_exact_add(?1" + terms + ")) FROM " + quoteName(info.name));
    sqlite3_bind_pointer(st->raw(), 1, sums_.data(), kExactSumsPointer, nullptr);
    st->step();
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
