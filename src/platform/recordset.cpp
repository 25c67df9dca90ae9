#include "platform/recordset.h"

namespace mk {

namespace {

[[noreturn]] void noCurrentRow() {
    throw RuntimeError(err::NoCurrentRecord,
                       "There is no current row: the table is at its beginning or end.");
}

}  // namespace

Recordset::Recordset(Database& db, std::string_view table) : db_(&db) {
    info_ = db.tableInfo(table);
    quotedTable_ = quoteName(info_.name);
    indexFields();
    load();
    pos_ = firstLive();
    db.registerRecordset(this);
}

Recordset::~Recordset() {
    if (db_) db_->unregisterRecordset(this);
}

Database& Recordset::db() {
    if (!db_) throw RuntimeError(err::ObjectNotSet, "The database file is closed.");
    return *db_;
}

void Recordset::detach() {
    db_ = nullptr;
    rows_.clear();
    clearPending();
    adding_ = false;
    live_ = 0;
    pos_ = 0;
}

void Recordset::indexFields() {
    exactIndex_.clear();
    sqlCache_.clear();
    for (size_t i = 0; i < info_.fields.size(); ++i)
        exactIndex_.emplace(info_.fields[i].name, static_cast<int>(i));
    pendVal_.assign(info_.fields.size(), Value());
    pendSet_.assign(info_.fields.size(), 0);
    pendCount_ = 0;
}

void Recordset::clearPending() {
    if (pendCount_ == 0) return;
    std::fill(pendSet_.begin(), pendSet_.end(), 0);
    pendCount_ = 0;
}

void Recordset::setPending(int i, Value v) {
    auto k = static_cast<size_t>(i);
    if (!pendSet_[k]) {
        pendSet_[k] = 1;
        ++pendCount_;
    }
    pendVal_[k] = std::move(v);
}

void Recordset::erasePending(int i) {
    auto k = static_cast<size_t>(i);
    if (pendSet_[k]) {
        pendSet_[k] = 0;
        --pendCount_;
    }
}

// The INSERT ('I') or UPDATE ('U') text for the fields now pending.
const std::string& Recordset::cachedSql(char kind) {
    std::string key(1, kind);
    key.append(pendSet_.begin(), pendSet_.end());
    auto it = sqlCache_.find(key);
    if (it != sqlCache_.end()) return it->second;
    std::string sql;
    int n = 0;
    if (kind == 'I') {
        std::string cols, params;
        for (size_t i = 0; i < pendSet_.size(); ++i) {
            if (!pendSet_[i]) continue;
            if (n) cols += ", ", params += ", ";
            cols += quoteName(info_.fields[i].name);
            params += '?';
            params += std::to_string(++n);
        }
        sql = n == 0 ? "INSERT INTO " + quotedTable_ + " DEFAULT VALUES"
                     : "INSERT INTO " + quotedTable_ + " (" + cols + ") VALUES (" + params + ")";
    } else {
        std::string sets;
        for (size_t i = 0; i < pendSet_.size(); ++i) {
            if (!pendSet_[i]) continue;
            if (n) sets += ", ";
            sets += quoteName(info_.fields[i].name);
            sets += "=?";
            sets += std::to_string(++n);
        }
        sql = "UPDATE " + quotedTable_ + " SET " + sets + " WHERE rowid=?" + std::to_string(n + 1);
    }
    return sqlCache_.emplace(key, std::move(sql)).first->second;
}

void Recordset::load() {
    rows_.clear();
    auto st = db().prepare("SELECT rowid, * FROM " + quotedTable_ + " ORDER BY rowid");
    const size_t n = info_.fields.size();
    while (st->step()) {
        Row r;
        r.rowid = st->columnInt(0);
        r.values.reserve(n);
        for (size_t i = 0; i < n; ++i)
            r.values.push_back(st->column(static_cast<int>(i) + 1, info_.fields[i].type));
        rows_.push_back(std::move(r));
    }
    live_ = static_cast<long>(rows_.size());
}

Recordset::Position Recordset::position() const {
    const long at = adding_ ? posBeforeAdd_ : pos_;
    const long size = static_cast<long>(rows_.size());
    Position p;
    p.valid = true;
    p.rowid = at >= 0 && at < size ? rows_[static_cast<size_t>(at)].rowid : 0;
    p.beforeStart = at < 0;
    p.pastEnd = at >= size && size > 0;
    return p;
}

void Recordset::rereadQuietly(bool keepPosition) {
    const Position was = mark_.valid ? mark_ : position();
    mark_ = {};
    adding_ = false;
    try {
        info_ = db().tableInfo(info_.name);
        indexFields();
        load();
    } catch (const RuntimeError&) {
        rows_.clear();
        live_ = 0;
    }
    pos_ = firstLive();
    if (keepPosition) {
        if (was.pastEnd) pos_ = static_cast<long>(rows_.size());
        if (was.beforeStart && live_ > 0) pos_ = -1;
        for (size_t i = 0; was.rowid != 0 && i < rows_.size(); ++i)
            if (rows_[i].rowid == was.rowid) pos_ = static_cast<long>(i);
    }
    moved();
}

long Recordset::firstLive() const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (!rows_[i].deleted) return static_cast<long>(i);
    return static_cast<long>(rows_.size());
}

long Recordset::lastLive() const {
    for (size_t i = rows_.size(); i-- > 0;)
        if (!rows_[i].deleted) return static_cast<long>(i);
    return static_cast<long>(rows_.size());
}

bool Recordset::bof() const { return !adding_ && (pos_ < 0 || live_ == 0); }

bool Recordset::eof() const { return !adding_ && pos_ >= static_cast<long>(rows_.size()); }

bool Recordset::currentDeleted() const {
    return !adding_ && pos_ >= 0 && pos_ < static_cast<long>(rows_.size()) &&
           rows_[static_cast<size_t>(pos_)].deleted;
}

bool Recordset::hasCurrentRow() const {
    if (adding_) return true;
    return pos_ >= 0 && pos_ < static_cast<long>(rows_.size()) &&
           !rows_[static_cast<size_t>(pos_)].deleted;
}

long Recordset::absolutePosition() const {
    if (!hasCurrentRow() || adding_) return 0;
    long n = 0;
    for (long i = 0; i <= pos_; ++i)
        if (!rows_[static_cast<size_t>(i)].deleted) ++n;
    return n;
}

long long Recordset::rowId() const {
    if (adding_ || !hasCurrentRow()) return 0;
    return rows_[static_cast<size_t>(pos_)].rowid;
}

void Recordset::moved() {
    if (listener_) listener_->recordsetMoved(*this);
}

void Recordset::leaveRow() {
    if (listener_) listener_->recordsetWillWrite(*this);
    if (hasPendingChanges()) update();
}

void Recordset::moveFirst() {
    leaveRow();
    pos_ = firstLive();
    moved();
}

void Recordset::moveLast() {
    leaveRow();
    pos_ = lastLive();
    moved();
}

void Recordset::moveNext() {
    if (eof()) noCurrentRow();
    leaveRow();
    long i = pos_ + 1;
    while (i < static_cast<long>(rows_.size()) && rows_[static_cast<size_t>(i)].deleted) ++i;
    pos_ = std::min(i, static_cast<long>(rows_.size()));
    moved();
}

void Recordset::movePrevious() {
    if (bof()) noCurrentRow();
    leaveRow();
    long i = std::min(pos_, static_cast<long>(rows_.size())) - 1;
    while (i >= 0 && rows_[static_cast<size_t>(i)].deleted) --i;
    pos_ = i;
    moved();
}

void Recordset::addNew() {
    leaveRow();
    posBeforeAdd_ = pos_;
    adding_ = true;
    clearPending();
    newRow_ = Row{};
    for (const FieldInfo& f : info_.fields)
        newRow_.values.push_back(f.type == FieldType::YesNo ? Value(false) : Value::null());
    moved();
}

void Recordset::update() {
    if (listener_) listener_->recordsetWillWrite(*this);
    Database& d = db();
    const size_t nf = info_.fields.size();
    if (adding_) {
        d.beginWrite();
        {
            auto st = d.prepare(cachedSql('I'));
            int i = 0;
            for (size_t k = 0; k < nf; ++k)
                if (pendSet_[k]) st->bind(++i, pendVal_[k], info_.fields[k].type);
            st->step();
        }
        Row r;
        r.rowid = d.lastInsertRowid();
        r.values.reserve(nf);
        for (size_t k = 0; k < nf; ++k) {
            const FieldInfo& f = info_.fields[k];
            if (pendSet_[k]) r.values.push_back(std::move(pendVal_[k]));
            else if (f.type == FieldType::AutoNumber)
                r.values.push_back(Value::i32(static_cast<int32_t>(r.rowid)));
            else if (!f.defaultValue.isEmpty()) r.values.push_back(f.defaultValue);
            else r.values.push_back(f.type == FieldType::YesNo ? Value(false) : Value::null());
        }
        rows_.push_back(std::move(r));
        pos_ = static_cast<long>(rows_.size()) - 1;
        ++live_;
        adding_ = false;
        clearPending();
        // Bound controls show the stored row (its defaults and number).
        moved();
        return;
    }
    if (pendCount_ == 0) return;
    if (currentDeleted()) {
        clearPending();
        return;
    }
    if (!hasCurrentRow()) noCurrentRow();
    Row& row = rows_[static_cast<size_t>(pos_)];
    d.beginWrite();
    {
        auto st = d.prepare(cachedSql('U'));
        int i = 0;
        for (size_t k = 0; k < nf; ++k)
            if (pendSet_[k]) st->bind(++i, pendVal_[k], info_.fields[k].type);
        st->bindInt(i + 1, row.rowid);
        st->step();
    }
    if (d.changes() == 0)
        throw RuntimeError(err::RowChanged,
                           "The row could not be saved: it was deleted from " + info_.name +
                               " in another window.");
    for (size_t k = 0; k < nf; ++k)
        if (pendSet_[k]) row.values[k] = std::move(pendVal_[k]);
    clearPending();
}

void Recordset::deleteCurrent() {
    if (adding_) {
        cancelUpdate();
        return;
    }
    if (currentDeleted())
        throw RuntimeError(err::RowDeleted, "The row has already been deleted.");
    if (!hasCurrentRow()) noCurrentRow();
    Database& d = db();
    Row& row = rows_[static_cast<size_t>(pos_)];
    d.beginWrite();
    {
        auto st = d.prepare("DELETE FROM " + quotedTable_ + " WHERE rowid=?1");
        st->bindInt(1, row.rowid);
        st->step();
    }
    row.deleted = true;
    --live_;
    clearPending();
}

void Recordset::cancelUpdate() {
    clearPending();
    if (adding_) {
        adding_ = false;
        pos_ = posBeforeAdd_;
    }
    moved();
}

void Recordset::refresh() {
    clearPending();
    adding_ = false;
    load();
    pos_ = firstLive();
    moved();
}

int Recordset::indexOf(std::string_view name) const {
    auto exact = exactIndex_.find(std::string(name));
    if (exact != exactIndex_.end()) return exact->second;
    int i = info_.fieldIndex(name);
    if (i < 0)
        throw RuntimeError(err::FieldNotFound, "The field '" + std::string(name) +
                                                   "' was not found in the table " +
                                                   info_.name + ".");
    return i;
}

void Recordset::requireCurrent() const {
    if (currentDeleted()) throw RuntimeError(err::RowDeleted, "The current row has been deleted.");
    if (!hasCurrentRow()) noCurrentRow();
}

const Recordset::Row& Recordset::currentRow() const {
    return adding_ ? newRow_ : rows_[static_cast<size_t>(pos_)];
}

Value Recordset::field(std::string_view name) const {
    int i = indexOf(name);
    requireCurrent();
    if (pendSet_[static_cast<size_t>(i)]) return pendVal_[static_cast<size_t>(i)];
    return currentRow().values[static_cast<size_t>(i)];
}

void Recordset::setField(std::string_view name, const Value& v) {
    int i = indexOf(name);
    requireCurrent();
    const FieldInfo& f = info_.fields[static_cast<size_t>(i)];
    if (f.type == FieldType::AutoNumber)
        throw RuntimeError(err::NotUpdatable, "The field " + f.name + " is numbered by itself.");
    Value c = convertForField(f, v);
    if (!adding_ && c == currentRow().values[static_cast<size_t>(i)]) erasePending(i);
    else setPending(i, std::move(c));
}

std::vector<Value> Recordset::columnValues(std::string_view name) const {
    int i = indexOf(name);
    std::vector<Value> out;
    out.reserve(static_cast<size_t>(live_));
    for (const Row& r : rows_)
        if (!r.deleted) out.push_back(r.values[static_cast<size_t>(i)]);
    return out;
}

}  // namespace mk
