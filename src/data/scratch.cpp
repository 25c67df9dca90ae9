#include "data/scratch.h"

#include <algorithm>

#include "data/flags_window.h"

namespace mk {

namespace {

// Rows of an earlier run are marked with an ID no run gives its own rows
// (runs number theirs from 1); VALIDITY_DATE marks them by an empty QQQ.
constexpr int16_t kLeftoverId = -1;

}  // namespace

const ScratchFields& scratchFields(ScratchTable t) {
    static const ScratchFields fields[] = {
        {.table = "PRODUCT_BUY", .flag = "PRODUCT_BUY", .counter = "COUNTER_BUY"},
        {.table = "BUYER_DEALS", .flag = "BUYER_DEALS", .counter = "COUNTER_BUYER_DEALS"},
        {.table = "VALIDITY_DATE", .flag = "VALIDITY_DATE_CHECK", .counter = "VALIDITY_DATE"},
    };
    return fields[static_cast<int>(t)];
}

Adodc& flagsControl(Application& app) { return app.form<Form54>().flags(); }

void preClean(Application& app, ScratchTable t, Adodc& workerControl) {
    const ScratchFields& f = scratchFields(t);
    Recordset& flags = flagsControl(app).recordset();
    flags.moveFirst();
    if (!(flags.field(f.flag) == Value(true))) {
        const int16_t n = toInt16(flags.field(f.counter));
        Recordset& rs = workerControl.recordset();
        // The first n - 1 rows in table order go, in one statement. The table
        // never goes empty: a counter out of step with the rows (a run that
        // failed half way) still leaves one row to mark.
        const long cut = std::min<long>(n - 1, rs.recordCount() - 1);
        if (cut > 0)
            rs.rewriteInSql([&] {
                const std::string table = quoteName(rs.tableName());
                rs.database().exec("DELETE FROM " + table + " WHERE rowid IN (SELECT rowid FROM " +
                                   table + " ORDER BY rowid LIMIT " + std::to_string(cut) + ")");
            });
    }
    flags.setField(f.flag, false);
    flags.update();
}

void launchWorker(Application& app, ScratchTable t, const std::string& workerForm) {
    if (Form* open = app.loadedForm(workerForm)) app.unload(*open);
    Form& worker = app.form(workerForm);
    auto* rows = dynamic_cast<ScratchWorker*>(&worker);
    if (!rows)
        throw RuntimeError(err::WindowNotAvailable, "'" + workerForm + "' is no worker window.");
    preClean(app, t, rows->scratchRows());
    app.show(worker);
}

ScratchRun::ScratchRun(Application& app, ScratchTable t, Adodc& table)
    : app_(app), table_(t), data_(table) {
    // Re-read first: every row stored now, whoever wrote it, is left over.
    data_.Refresh();
    Recordset& rs = data_.recordset();
    rs.rewriteInSql([&] {
        rs.database().exec("UPDATE " + quoteName(rs.tableName()) + " SET " + leftoverMark());
    });
}

// Rows of an earlier run are marked in one statement and deleted in one.
std::string ScratchRun::leftoverMark() const {
    if (table_ == ScratchTable::ValidityDate) return "QQQ = ''";
    return "ID = " + std::to_string(kLeftoverId);
}

std::string ScratchRun::isLeftoverSql() const {
    if (table_ == ScratchTable::ValidityDate) return "(QQQ IS NULL OR QQQ = '')";
    return "ID = " + std::to_string(kLeftoverId);
}

void ScratchRun::append(const std::function<void(Recordset&)>& fill) {
    Recordset& rs = data_.recordset();
    rs.addNew();
    count_ = static_cast<int16_t>(toInt16(Value(count_ + 1)));
    rs.setField("ID", Value::i16(count_));
    fill(rs);
    rs.update();
}

void ScratchRun::appendWithText(const std::string& source, const std::string& textField,
                                const std::string& text,
                                const std::vector<scan::FieldCopy>& copies) {
    Recordset& rs = data_.recordset();
    long long added = 0;
    rs.rewriteInSql([&] {
        added = scan::appendWithText(rs.database(), rs.tableName(), "ID", count_ + 1, copies,
                                     source, textField, text);
    });
    // The run's number is 16-bit, as when its rows are appended one by one.
    count_ = toInt16(Value(static_cast<double>(count_ + added)));
}

void ScratchRun::finish() {
    Recordset& rs = data_.recordset();
    rs.rewriteInSql([&] {
        rs.database().exec("DELETE FROM " + quoteName(rs.tableName()) + " WHERE " + isLeftoverSql());
    });
    writeCounter(count_);
}

void ScratchRun::forEachRow(const std::vector<std::string>& fields,
                            const std::function<void(const std::vector<Value>&)>& visit) {
    Recordset& rs = data_.recordset();
    scan::forEachRow(rs.database(), rs.tableName(), fields, visit);
}

void ScratchRun::placeholder() {
    Recordset& rs = data_.recordset();
    rs.addNew();
    rs.setField("ID", Value::i16(kPlaceholderId));
    rs.update();
    writeCounter(1);
}

void ScratchRun::writeCounter(int16_t n) {
    Adodc& flags = flagsControl(app_);
    flags.Refresh();
    Recordset& rs = flags.recordset();
    rs.moveFirst();
    rs.setField(scratchFields(table_).counter, Value::i16(n));
    rs.update();
}

}  // namespace mk
