#include "support/harness.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "app/system.h"
#include "data/schema.h"

namespace mk::test {

namespace fs = std::filesystem;

TempRoot::TempRoot() {
    std::random_device rd;
    std::mt19937_64 rng(rd());
    path_ = fs::temp_directory_path() / ("makhzan-test-" + std::to_string(rng()));
    fs::create_directories(path_);
}

TempRoot::~TempRoot() {
    if (!owned_) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

double defaultStart() { return makeDateTime(2026, 12, 6, 9, 0, 0); }

Harness::Harness(Windows windows, double start)
    : clock(start), machine(root.path()), app(machine, clock, dialogs) {
    prepareMachine(machine, clock);
    dialogs.writeOpen = [this] { return machine.writeOpen(); };
    if (windows == Windows::System) {
        registerWindows(app);
        app.setMainForm("Form1");
    }
}

Harness::Harness(SecondProgram second)
    : root(second.first.root),
      clock(second.first.clock.now()),
      machine(root.path()),
      app(machine, clock, dialogs) {
    prepareMachine(machine, clock);
    dialogs.writeOpen = [this] { return machine.writeOpen(); };
    registerWindows(app);
    app.setMainForm("Form1");
}

Harness::~Harness() {
    // Every test checks that no box was shown inside a user action's write
    // transaction.
    for (const ScriptedDialogs::Shown& s : dialogs.shownDuringWrite())
        ADD_FAILURE() << "A box was shown while a write transaction was open: \"" << s.prompt
                      << "\" (" << s.title << ")";
}

Database& Harness::db() { return machine.database(kDatabasePath); }

Form& Harness::show(const std::string& name) {
    Form& f = app.form(name);
    app.show(f);
    return app.form(name);
}

bool Harness::click(const std::string& f, const std::string& control, int index) {
    return app.click(app.form(f).control(control, index));
}

bool Harness::type(const std::string& f, const std::string& control, const std::string& text,
                   int index) {
    Control& c = app.form(f).control(control, index);
    if (auto* box = dynamic_cast<TextBox*>(&c)) return app.typeText(*box, text);
    if (auto* combo = dynamic_cast<DataCombo*>(&c)) return app.typeText(*combo, text);
    throw std::logic_error("cannot type into " + c.fullName());
}

bool Harness::choose(const std::string& f, const std::string& combo, const std::string& text,
                     int index) {
    return app.choose(app.form(f).dataCombo(combo, index), text);
}

bool Harness::menu(const std::string& f, const std::string& item) {
    return app.menuClick(app.form(f).menu(item));
}

bool Harness::close(const std::string& f) {
    Form* form = app.loadedForm(f);
    return form && app.closeByUser(*form);
}

std::string Harness::text(const std::string& f, const std::string& control, int index) {
    Control& c = app.form(f).control(control, index);
    if (auto* box = dynamic_cast<TextBox*>(&c)) return box->text();
    if (auto* combo = dynamic_cast<DataCombo*>(&c)) return combo->text();
    if (auto* label = dynamic_cast<Label*>(&c)) return label->caption();
    throw std::logic_error("no text in " + c.fullName());
}

std::string Harness::caption(const std::string& f, const std::string& control, int index) {
    Control& c = app.form(f).control(control, index);
    if (auto* label = dynamic_cast<Label*>(&c)) return label->caption();
    if (auto* b = dynamic_cast<CommandButton*>(&c)) return b->caption;
    if (auto* cb = dynamic_cast<CheckBox*>(&c)) return cb->caption;
    if (auto* fr = dynamic_cast<Frame*>(&c)) return fr->caption;
    if (auto* ob = dynamic_cast<OptionButton*>(&c)) return ob->caption;
    if (auto* dc = dynamic_cast<Adodc*>(&c)) return dc->caption;
    throw std::logic_error("no caption on " + c.fullName());
}

const std::vector<std::string>& Harness::lines(const std::string& f) {
    return app.form(f).printedLines();
}

void Harness::advance(long long ms) {
    const long long target = clock.monotonicMs() + ms;
    for (int guard = 0; guard < 1000000; ++guard) {
        long long next = app.nextTimerDue();
        if (next < 0 || next > target) break;
        clock.setMs(std::max(next, clock.monotonicMs()));
        app.runDueTimers();
    }
    clock.setMs(target);
    app.runDueTimers();
}

std::vector<std::string> Harness::messageTexts() const {
    std::vector<std::string> out;
    for (const auto& s : dialogs.messages()) out.push_back(s.prompt);
    return out;
}

std::string Harness::lastMessage() const {
    auto m = dialogs.messages();
    return m.empty() ? "" : m.back().prompt;
}

std::string Harness::lastTitle() const {
    auto m = dialogs.messages();
    return m.empty() ? "" : m.back().title;
}

long Harness::count(const std::string& table) {
    Recordset rs(db(), table);
    return rs.recordCount();
}

long Harness::committedCount(const std::string& table) {
    return static_cast<long>(committed("SELECT count(*) FROM " + quoteName(table)));
}

std::string logText(const fs::path& root) {
    std::ifstream in(logFile(root), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

double Harness::committed(const std::string& sql) {
    sqlite3* other = nullptr;
    sqlite3_stmt* st = nullptr;
    const bool ready = sqlite3_open_v2(machine.mapPath(kDatabasePath).c_str(), &other,
                                       SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
                       sqlite3_prepare_v2(other, sql.c_str(), -1, &st, nullptr) == SQLITE_OK;
    const double value = ready && sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_double(st, 0) : 0;
    const std::string error = ready ? "" : sqlite3_errmsg(other);
    sqlite3_finalize(st);
    sqlite3_close_v2(other);
    if (!ready) throw std::runtime_error(error + " in " + sql);
    return value;
}

Value Harness::cell(const std::string& table, long row, const std::string& field) {
    auto values = column(table, field);
    if (row < 0 || row >= static_cast<long>(values.size()))
        throw std::out_of_range(table + " has no row " + std::to_string(row));
    return values[static_cast<size_t>(row)];
}

std::vector<Value> Harness::column(const std::string& table, const std::string& field) {
    Recordset rs(db(), table);
    return rs.columnValues(field);
}

void Harness::exec(const std::string& sql) { db().exec(sql); }

}  // namespace mk::test
