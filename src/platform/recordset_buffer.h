// What is typed into a recordset's current row and not yet stored: the
// changed fields by their place, and while a row is added, the values the
// new row starts with.
#pragma once

#include <memory>
#include <vector>

#include "platform/database.h"

namespace mk {

class EditBuffer {
public:
    // Sized for a table's fields, no field changed; a row being added
    // stays so.
    void reset(size_t fields);

    bool adding() const { return adding_; }
    // A row is being added or a field was changed.
    bool any() const { return adding_ || count_ > 0; }
    bool isSet(size_t field) const { return set_[field] != 0; }
    const Value& value(size_t field) const { return values_[field]; }
    // Which fields are changed (1) or not (0), by place.
    const std::vector<char>& changed() const { return set_; }
    // The value, moved out, as it is stored.
    Value take(size_t field) { return std::move(values_[field]); }
    void set(size_t field, Value v);
    void unset(size_t field);
    void clear();

    // A new row: every field Null (No for a yes/no field), none changed.
    void startAdding(const std::vector<FieldInfo>& fields);
    void stopAdding() { adding_ = false; }
    const Value& newValue(size_t field) const { return newRow_[field]; }

    // What is pending, kept aside while an action runs.
    struct Saved {
        bool adding = false;
        std::vector<Value> newRow, values;
        std::vector<char> set;
        int count = 0;
    };
    // Null when nothing is pending.
    std::unique_ptr<Saved> save() const;
    void resumeAdding(Saved& saved);
    void restoreChanges(Saved& saved);

private:
    bool adding_ = false;
    std::vector<Value> newRow_;
    std::vector<Value> values_;
    std::vector<char> set_;
    int count_ = 0;
};

}  // namespace mk
