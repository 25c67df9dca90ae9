#include "platform/datacontrol.h"

#include <algorithm>

#include "platform/machine.h"

namespace mk {

BoundControl::~BoundControl() {
    if (source_) source_->unbind(*this);
}

void BoundControl::tellChange() {
    if (source_) source_->noteChange(*this);
}

DataControl::DataControl(Machine& machine) : machine_(machine) {}

DataControl::~DataControl() {
    close();
    for (BoundControl* c : bound_) c->source_ = nullptr;
}

void DataControl::bindTable(const std::string& connectionString, const std::string& table) {
    CursorLocation = 3;
    ConnectionString = connectionString;
    CommandType = 2;
    RecordSource = table;
    Refresh();
}

void DataControl::bindTableAtEnd(const std::string& connectionString, const std::string& table) {
    CursorLocation = 3;
    ConnectionString = connectionString;
    CommandType = 2;
    RecordSource = table;
    RefreshAtEnd();
}

void DataControl::Refresh() { open(Recordset::Open::OnFirstUse); }

void DataControl::RefreshAtEnd() { open(Recordset::Open::AtEndOnFirstUse); }

void DataControl::open(Recordset::Open how) {
    std::unique_ptr<Recordset> rs;
    try {
        if (RecordSource.empty())
            throw RuntimeError(err::DatabaseError, "The data control has no table to open.");
        Database& db = machine_.database(dataSourceOf(ConnectionString));
        rs = std::make_unique<Recordset>(db, RecordSource, how);
    } catch (...) {
        close();
        throw;
    }
    // Opened again during an action: a rollback still goes back to the
    // row shown when it began. The lists shown over the table read before
    // keep their texts when the table read again holds the same.
    if (rs_) {
        rs->inheritMark(*rs_);
        rs->keepTexts(rs_->takeTexts());
    }
    close();
    for (BoundControl* c : bound_)
        if (!rs->hasField(c->field_))
            throw RuntimeError(err::FieldNotFound, "The field '" + c->field_ +
                                                       "' was not found in the table " +
                                                       rs->tableName() + ".");
    rs_ = std::move(rs);
    rs_->setListener(this);
    showCurrentRow();
}

Recordset& DataControl::recordset() {
    if (!rs_)
        throw RuntimeError(err::ObjectNotSet,
                           "The data control is not open on a table (" + RecordSource + ").");
    return *rs_;
}

void DataControl::close() {
    if (!rs_) return;
    rs_->setListener(nullptr);
    rs_.reset();
    for (BoundControl* c : bound_) c->clearBoundChange();
    bases_.clear();
}

void DataControl::bind(BoundControl& c, const std::string& field) {
    if (c.source_ && c.source_ != this) c.source_->unbind(c);
    const bool moved = c.source_ != this;
    c.source_ = this;
    c.field_ = field;
    if (std::find(bound_.begin(), bound_.end(), &c) == bound_.end()) bound_.push_back(&c);
    if (moved) c.sourceChanged();
    if (rs_ && rs_->hasField(field))
        c.showBoundValue(rs_->hasCurrentRow() ? rs_->field(field) : Value());
}

void DataControl::unbind(BoundControl& c) {
    forgetBase(c);
    bound_.erase(std::remove(bound_.begin(), bound_.end(), &c), bound_.end());
    c.source_ = nullptr;
    c.sourceChanged();
}

std::optional<std::string> DataControl::entryRefusal(const BoundControl& c) const {
    if (!rs_) return std::nullopt;
    for (const FieldInfo& f : rs_->fields()) {
        if (!namesEqual(f.name, c.field_)) continue;
        const Unfit why = entryFit(f, c.boundValue(), c.takesLineBreaks());
        if (why == Unfit::None) return std::nullopt;
        return unfitMessage(c.entryName(), f, why);
    }
    return std::nullopt;
}

std::optional<std::string> DataControl::entryRefusal() const {
    if (!rs_ || !rs_->hasCurrentRow()) return std::nullopt;
    for (const BoundControl* c : bound_)
        if (c->boundChanged())
            if (auto why = entryRefusal(*c)) return why;
    return std::nullopt;
}

void DataControl::storeBoundChanges() {
    if (!rs_ || bound_.empty()) return;
    // Checked whole first, so a refusal hands over nothing.
    if (auto why = entryRefusal()) throw RuntimeError(err::InvalidEntry, *why);
    if (auto why = overwriteRefusal()) throw RuntimeError(err::InvalidEntry, *why);
    for (BoundControl* c : bound_) {
        if (!c->boundChanged()) continue;
        if (rs_->hasCurrentRow()) rs_->setField(c->field_, c->boundValue());
        c->clearBoundChange();
    }
    bases_.clear();
}

void DataControl::showCurrentRow() {
    bases_.clear();
    // Without bound controls nothing is shown, and the rows stay unread.
    if (!rs_ || bound_.empty()) return;
    const bool has = rs_->hasCurrentRow();
    for (BoundControl* c : bound_) {
        c->clearBoundChange();
        if (!rs_->hasField(c->field_)) continue;
        c->showBoundValue(has ? rs_->field(c->field_) : Value());
    }
}

void DataControl::recordsetReread(Recordset&) {
    // Back where it stood: what was typed stays, the rest shows the row.
    if (!rs_ || bound_.empty()) return;
    const bool has = rs_->hasCurrentRow();
    for (BoundControl* c : bound_) {
        if (c->boundChanged()) continue;
        forgetBase(*c);
        if (!rs_->hasField(c->field_)) continue;
        c->showBoundValue(has ? rs_->field(c->field_) : Value());
    }
}

bool DataControl::recordsetMayReread(Recordset&) {
    return std::none_of(bound_.begin(), bound_.end(),
                        [](const BoundControl* c) { return c->boundChanged(); });
}

DataControl::ChangeBase* DataControl::baseOf(const BoundControl& c) {
    for (ChangeBase& b : bases_)
        if (b.control == &c) return &b;
    return nullptr;
}

void DataControl::forgetBase(const BoundControl& c) {
    bases_.erase(std::remove_if(bases_.begin(), bases_.end(),
                                [&c](const ChangeBase& b) { return b.control == &c; }),
                 bases_.end());
}

void DataControl::noteTyped(BoundControl& c) {
    ChangeBase* b = baseOf(c);
    if (!b || !b->told) return;
    b->base = std::move(*b->told);
    b->told.reset();
}

void DataControl::noteChange(BoundControl& c) {
    if (baseOf(c)) return;
    // A row being added holds nothing another action could have stored; a
    // table not read yet showed no row.
    if (!rs_ || !rs_->loaded() || !rs_->hasField(c.field_) || rs_->isAdding() ||
        !rs_->hasCurrentRow() || rs_->currentDeleted())
        return;
    bases_.push_back({&c, rs_->snapshotField(c.field_), std::nullopt});
}

std::optional<std::string> DataControl::overwriteRefusal() {
    if (!rs_) return std::nullopt;
    for (BoundControl* c : bound_)
        if (c->boundChanged())
            if (auto why = overwriteRefusal(*c)) return why;
    return std::nullopt;
}

std::optional<std::string> DataControl::overwriteRefusal(BoundControl& c) {
    if (!rs_ || rs_->isAdding() || !rs_->hasCurrentRow() || rs_->currentDeleted() ||
        !rs_->hasField(c.field_))
        return std::nullopt;
    ChangeBase* b = baseOf(c);
    const Value base = b ? b->base : rs_->snapshotField(c.field_);
    const std::optional<Value> stored = rs_->storedField(c.field_);
    if (!stored || *stored == base) return std::nullopt;
    // What is typed may be what is stored now: nothing is overwritten.
    if (c.boundChanged())
        for (const FieldInfo& f : rs_->fields()) {
            if (!namesEqual(f.name, c.field_)) continue;
            try {
                if (convertForField(f, c.boundValue()) == *stored) return std::nullopt;
            } catch (const RuntimeError&) {
            }
        }
    if (!b) {
        bases_.push_back({&c, base, std::nullopt});
        b = &bases_.back();
    }
    b->told = *stored;
    return overwriteMessage(c.entryName(), *stored);
}

void DataControl::baseOnStored(BoundControl& c) {
    if (!rs_ || rs_->isAdding() || !rs_->hasCurrentRow() || !rs_->hasField(c.field_)) return;
    const std::optional<Value> stored = rs_->storedField(c.field_);
    if (!stored) return;
    forgetBase(c);
    bases_.push_back({&c, *stored, std::nullopt});
}

}  // namespace mk
