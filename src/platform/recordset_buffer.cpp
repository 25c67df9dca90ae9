#include "platform/recordset_buffer.h"

#include <algorithm>

namespace mk {

void EditBuffer::reset(size_t fields) {
    values_.assign(fields, Value());
    set_.assign(fields, 0);
    count_ = 0;
}

void EditBuffer::set(size_t field, Value v) {
    if (!set_[field]) {
        set_[field] = 1;
        ++count_;
    }
    values_[field] = std::move(v);
}

void EditBuffer::unset(size_t field) {
    if (set_[field]) {
        set_[field] = 0;
        --count_;
    }
}

void EditBuffer::clear() {
    if (count_ == 0) return;
    std::fill(set_.begin(), set_.end(), 0);
    count_ = 0;
}

void EditBuffer::startAdding(const std::vector<FieldInfo>& fields) {
    adding_ = true;
    clear();
    newRow_.clear();
    for (const FieldInfo& f : fields)
        newRow_.push_back(f.type == FieldType::YesNo ? Value(false) : Value::null());
}

std::unique_ptr<EditBuffer::Saved> EditBuffer::save() const {
    if (!any()) return nullptr;
    return std::make_unique<Saved>(Saved{adding_, newRow_, values_, set_, count_});
}

void EditBuffer::resumeAdding(Saved& saved) {
    adding_ = true;
    newRow_ = std::move(saved.newRow);
}

void EditBuffer::restoreChanges(Saved& saved) {
    values_ = std::move(saved.values);
    set_ = std::move(saved.set);
    count_ = saved.count;
}

}  // namespace mk
