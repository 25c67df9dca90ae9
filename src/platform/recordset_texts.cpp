#include "platform/recordset_texts.h"

#include <algorithm>

namespace mk {

std::vector<std::string> TextColumn::toVector() const {
    std::vector<std::string> out;
    out.reserve(size());
    for (size_t i = 0; i < size(); ++i) out.emplace_back((*this)[i]);
    return out;
}

namespace {

// Puts the columns into stale ones, each replacing a stale one of its field.
void makeStale(TextColumns::Texts& columns, TextColumns::Texts& stale) {
    for (auto& read : columns) {
        auto same = std::find_if(stale.begin(), stale.end(),
                                 [&](const auto& s) { return s.field == read.field; });
        if (same != stale.end()) *same = std::move(read);
        else stale.push_back(std::move(read));
    }
    columns.clear();
}

}  // namespace

std::shared_ptr<const TextColumn> TextColumns::find(const std::string& field, uint64_t version) {
    if (version_ != version) {
        makeStale(current_, stale_);
        version_ = version;
    }
    for (const Read& read : current_)
        if (read.field == field) return read.column;
    return nullptr;
}

std::shared_ptr<const TextColumn> TextColumns::unchanged(const std::string& field,
                                                         const Database::ColumnStamp& now) {
    for (const Read& stale : stale_)
        if (stale.field == field && stale.stamp == now) {
            current_.push_back(stale);
            return stale.column;
        }
    return nullptr;
}

std::shared_ptr<const TextColumn> TextColumns::keep(const std::string& field,
                                                    std::shared_ptr<const TextColumn> column,
                                                    const Database::ColumnStamp& stamp) {
    for (const Read& stale : stale_)
        if (stale.field == field && *stale.column == *column) column = stale.column;
    current_.push_back({field, column, stamp});
    return column;
}

TextColumns::Texts TextColumns::take() {
    makeStale(current_, stale_);
    Texts out;
    out.swap(stale_);
    return out;
}

void TextColumns::clear() {
    current_.clear();
    stale_.clear();
}

}  // namespace mk
