// The texts of a field over a recordset's rows, as the lists over them
// show them, and the columns a recordset keeps of them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/database.h"

namespace mk {

// The texts of one field over a snapshot's rows, in table order, packed;
// shared by every list shown over those rows.
class TextColumn {
public:
    size_t size() const { return ends_.size(); }
    std::string_view operator[](size_t i) const {
        const uint32_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(chars_.data() + begin, ends_[i] - begin);
    }
    void push_back(std::string_view s) {
        chars_.insert(chars_.end(), s.begin(), s.end());
        ends_.push_back(static_cast<uint32_t>(chars_.size()));
    }
    std::vector<std::string> toVector() const;
    bool operator==(const TextColumn& o) const { return ends_ == o.ends_ && chars_ == o.chars_; }

private:
    std::vector<char> chars_;
    std::vector<uint32_t> ends_;
};

// The columns read of a recordset's rows, kept until the rows change.
// The columns read before they last changed are kept as stale ones: one
// read again with the same texts is handed out as the same column, so the
// lists that show it stay as they are; one whose field the database says
// is unchanged since it was read is handed out without reading it again.
class TextColumns {
public:
    struct Read {
        std::string field;
        std::shared_ptr<const TextColumn> column;
        Database::ColumnStamp stamp;  // the field's values when it was read
    };
    using Texts = std::vector<Read>;

    // The column of the field read since the rows were at this version;
    // null when none.
    std::shared_ptr<const TextColumn> find(const std::string& field, uint64_t version);
    // A stale column of the field whose values stand as they stood when it
    // was read (the stamp says so), taken as read now; null when none.
    std::shared_ptr<const TextColumn> unchanged(const std::string& field,
                                                const Database::ColumnStamp& now);
    // Keeps a column just read, as the stale one of its field when that
    // holds the same texts.
    std::shared_ptr<const TextColumn> keep(const std::string& field,
                                           std::shared_ptr<const TextColumn> column,
                                           const Database::ColumnStamp& stamp);
    // Every column, taken out as stale ones; and stale ones handed in.
    Texts take();
    void give(Texts stale) { stale_ = std::move(stale); }
    void clear();

private:
    Texts current_, stale_;
    uint64_t version_ = 0;
};

}  // namespace mk
