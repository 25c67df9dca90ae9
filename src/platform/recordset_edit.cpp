// The recordset's fields and edits: reading and changing the current
// row's fields, and storing, adding and deleting rows.
#include "platform/recordset.h"

namespace mk {

// ----------------------------------------------------------------- fields

int Recordset::indexOf(std::string_view name) const {
    const int i = sql_.info().fieldIndex(name);
    if (i < 0)
        throw RuntimeError(err::FieldNotFound, "The field '" + std::string(name) +
                                                   "' was not found in the table " +
                                                   tableName() + ".");
    return i;
}

void Recordset::requireCurrent() const {
    if (currentDeleted()) throw RuntimeError(err::RowDeleted, "The current row has been deleted.");
    if (!hasCurrentRow()) noCurrentRow();
}

Value Recordset::currentValue(size_t field) const {
    return edit_.adding() ? edit_.newValue(field) : rows_.cell(here(), field);
}

Value Recordset::field(std::string_view name) const {
    const auto i = static_cast<size_t>(indexOf(name));
    requireCurrent();
    if (edit_.isSet(i)) return edit_.value(i);
    return currentValue(i);
}

Value Recordset::snapshotField(std::string_view name) const {
    const auto i = static_cast<size_t>(indexOf(name));
    requireCurrent();
    return currentValue(i);
}

std::optional<Value> Recordset::storedField(std::string_view name) const {
    const auto i = static_cast<size_t>(indexOf(name));
    const long long rowid = rowId();
    if (rowid == 0 || currentDeleted()) return std::nullopt;
    auto st = db().prepare(sql_.fieldOfRow(i));
    st->bindInt(1, rowid);
    if (!st->step()) return std::nullopt;
    // Read as the snapshot reads it, so the two compare alike.
    cells::Bytes cell;
    cells::putColumn(cell, st->raw(), 0, sql_.field(i).type);
    return cells::decode(cell.data());
}

void Recordset::setField(std::string_view name, const Value& v) {
    const auto i = static_cast<size_t>(indexOf(name));
    requireCurrent();
    const FieldInfo& f = sql_.field(i);
    if (f.type == FieldType::AutoNumber)
        throw RuntimeError(err::NotUpdatable, "The field " + f.name + " is numbered by itself.");
    Value c = convertForField(f, v);
    if (!edit_.adding() && c == currentValue(i)) edit_.unset(i);
    else edit_.set(i, std::move(c));
}

// ---------------------------------------------------------------- changes

template <class Write>
void Recordset::ownWrite(Write write) {
    const bool mirror = rows_.mirrorsTable();
    write();
    if (mirror) rows_.synced();
}

void Recordset::addNew() {
    ensureLoaded();
    leaveRow();
    edit_.startAdding(fields());
    moved();
}

void Recordset::update() {
    ensureLoaded();
    if (listener_) listener_->recordsetWillWrite(*this);
    if (edit_.adding()) insertRow();
    else updateRow();
}

int Recordset::bindChanged(Statement& st) const {
    int n = 0;
    for (size_t k = 0; k < fields().size(); ++k)
        if (edit_.isSet(k)) st.bind(++n, edit_.value(k), sql_.field(k).type);
    return n;
}

void Recordset::insertRow() {
    Database& d = db();
    long long rowid = 0;
    ownWrite([&] {
        d.beginWrite();
        auto st = d.prepare(sql_.insert(edit_.changed()));
        bindChanged(*st);
        st->step();
        rowid = d.lastInsertRowid();
    });
    std::vector<Value> values;
    values.reserve(fields().size());
    for (size_t k = 0; k < fields().size(); ++k) {
        const FieldInfo& f = sql_.field(k);
        if (edit_.isSet(k)) values.push_back(edit_.take(k));
        else if (f.type == FieldType::AutoNumber)
            values.push_back(Value::i32(static_cast<int32_t>(rowid)));
        else if (!f.defaultValue.isEmpty()) values.push_back(f.defaultValue);
        else values.push_back(f.type == FieldType::YesNo ? Value(false) : Value::null());
    }
    standAt(rows_.storeNew(rowid, values));
    edit_.stopAdding();
    edit_.clear();
    // Bound controls show the stored row (its defaults and number).
    moved();
}

void Recordset::updateRow() {
    if (!edit_.any()) return;
    if (currentDeleted()) {
        edit_.clear();
        return;
    }
    if (!hasCurrentRow()) noCurrentRow();
    Database& d = db();
    const long long rowid = rows_.row(here()).rowid;
    ownWrite([&] {
        d.beginWrite();
        auto st = d.prepare(sql_.update(edit_.changed()));
        st->bindInt(bindChanged(*st) + 1, rowid);
        st->step();
    });
    if (d.changes() == 0)
        throw RuntimeError(err::RowChanged,
                           "The row could not be saved: it was deleted from " + tableName() +
                               " in another window.");
    // The write may have read rows in around it (triggers): it is found
    // again by number.
    const long at = here();
    std::vector<Value> values = rows_.rowValues(at);
    for (size_t k = 0; k < values.size(); ++k)
        if (edit_.isSet(k)) values[k] = edit_.take(k);
    rows_.store(at, values);
    edit_.clear();
}

void Recordset::deleteCurrent() {
    ensureLoaded();
    if (edit_.adding()) {
        cancelUpdate();
        return;
    }
    if (currentDeleted())
        throw RuntimeError(err::RowDeleted, "The row has already been deleted.");
    if (!hasCurrentRow()) noCurrentRow();
    Database& d = db();
    const long long rowid = rows_.row(here()).rowid;
    ownWrite([&] {
        d.beginWrite();
        auto st = d.prepare(sql_.remove());
        st->bindInt(1, rowid);
        st->step();
    });
    rows_.markDeleted(here());
    edit_.clear();
}

void Recordset::cancelUpdate() {
    ensureLoaded();
    edit_.clear();
    edit_.stopAdding();
    moved();
}

void Recordset::refresh() {
    edit_.clear();
    edit_.stopAdding();
    rows_.begin();
    standAt(rows_.nextLive(-1));
    moved();
}

// ------------------------------------------------------- writes in SQL

void Recordset::rewriteInSql(const std::function<void()>& write) {
    ensureLoaded();
    leaveRow();
    Database& d = db();
    // Where it stands is marked for a rollback before the rows go; it is
    // told of no row while write runs.
    d.beginWrite();
    rows_.stopWatching();
    rows_.forget();
    standAt(rows_.end());
    std::vector<Recordset*> aside;
    for (Recordset* other : d.recordsetsOn(tableName()))
        if (other != this && other->standAside()) aside.push_back(other);
    try {
        write();
    } catch (...) {
        // Readable until the rollback reads it again.
        try {
            rows_.begin();
            for (Recordset* other : aside) other->standBack();
        } catch (...) {
        }
        standAt(rows_.end());
        throw;
    }
    rows_.begin();
    standAt(rows_.end());
    for (Recordset* other : aside) other->standBack();
    moved();
}

bool Recordset::standAside() {
    if (!rows_.begun() || hasPendingChanges() || !listener_ || !listener_->recordsetMayReread(*this))
        return false;
    aside_ = position();
    rows_.stopWatching();
    rows_.forget();
    return true;
}

void Recordset::standBack() {
    // Read again as after a rollback, on the row it stood on; the action's
    // own mark stays for a rollback still to come.
    const Position mark = mark_;
    std::unique_ptr<EditBuffer::Saved> pending = std::move(markPending_);
    mark_ = aside_;
    rereadQuietly(true);
    mark_ = mark;
    markPending_ = std::move(pending);
}

void Recordset::readAppended(long long afterRowid) {
    const bool begun = rows_.begun();
    ensureLoaded();
    if (begun) rows_.takeAppended(afterRowid);
}

}  // namespace mk
