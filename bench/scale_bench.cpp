// The windows' work on a real shop's data (bench/scale_shop.h): each
// action is pressed as a user would, on the real windows, and where a user
// sees it through the Qt front end under the offscreen platform; each is
// timed against a plain-SQL twin that reads the same rows with the same
// indexes, on its own connection, in the same run. Prints each action's
// median time, its ratio to the twin and the memory of the process, then
// the growth from one shop to the next and the peak memory of the program
// itself in two scenarios (run in a child process each).
//
// Run: makhzan_scale_bench [--scale=10k,100k,1m] [--rows=32700,200000] [--reps=5]
//      MAKHZAN_BENCH_CACHE=<folder> keeps the generated shops (default: a
//      folder under the temp folder); run the 1m scale with nice.
#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <unordered_map>
#include <memory>
#include <string>
#include <vector>

#include "app/system.h"
#include "data/schema.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/machine.h"
#include "platform/report.h"
#include "qt/form_window.h"
#include "qt/front_end.h"
#include "qt/report_preview.h"
#include "qt/setup.h"
#include "qt/text.h"
#include "reports/opener.h"
#include "scale_shop.h"

namespace {

namespace fs = std::filesystem;
using namespace bench;
using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long rssKb(const char* which) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(which, 0) == 0) return std::atol(line.c_str() + std::strlen(which));
    return 0;
}
long currentRssKb() { return rssKb("VmRSS:"); }
long peakRssKb() { return rssKb("VmHWM:"); }

// The peak of the whole run, kept across the resets that measure the peak
// of each action.
long runPeakKb = 0;
long wholeRunPeakKb() { return std::max(runPeakKb, peakRssKb()); }
// From here on the peak counts from the memory the process holds now.
void resetPeak() {
    runPeakKb = wholeRunPeakKb();
    std::ofstream("/proc/self/clear_refs") << "5";
}

// ------------------------------------------------------------------ runs

const double kToday = mk::makeDateTime(2026, 12, 6, 9, 0, 0);

// The program on a shop: its machine (kept open between runs, as the twin
// keeps its connection), and an application per run.
struct Program {
    fs::path root;
    mk::FakeClock clock{kToday};
    std::unique_ptr<mk::Machine> machine;
    // As the bench's own runs start: the whole check first. Started as the
    // program starts (beside): the data root claimed, the check going on
    // beside the first windows.
    explicit Program(fs::path r, mk::FileCheck check = mk::FileCheck::Whole) : root(std::move(r)) {
        machine = std::make_unique<mk::Machine>(root);
        if (check == mk::FileCheck::Beside && !machine->claimRoot())
            throw std::runtime_error("the data root is in use");
        mk::prepareMachine(*machine, clock, check);
    }
    mk::Database& db() { return machine->database(mk::kDatabasePath); }
};

// Message boxes an action showed that the bench did not expect.
std::vector<std::string> unexpected;

struct Run {
    mk::ScriptedDialogs dialogs;
    mk::Application app;
    std::unique_ptr<mk::qt::FrontEnd> fe;
    size_t seen = 0;

    Run(Program& p, bool qt) : app(*p.machine, p.clock, dialogs) {
        mk::registerWindows(app);
        app.setMainForm("Form1");
        if (qt) {
            fe = std::make_unique<mk::qt::FrontEnd>(app);
            fe->quitOnEnd = false;
            fe->endWithoutWindows = false;
            fe->stopTicking();
        }
    }
    ~Run() {
        fe.reset();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Pressed through the front end when there is one.
    void act(const std::function<void()>& fn) {
        if (fe) fe->act(fn);
        else fn();
        settle();
    }
    void settle() {
        if (fe) QCoreApplication::processEvents();
    }
    mk::Form& form(const char* name) { return app.form(name); }
    void startToMain() {
        act([&] {
            app.show(form("Form16"));
            app.click(form("Form16").control("Command1", -1));
        });
    }
    void show(const char* name) {
        act([&] { app.show(form(name)); });
    }
    void unloadIfLoaded(const char* name) {
        if (mk::Form* f = app.loadedForm(name)) act([&] { app.unload(*f); });
    }
    QWidget* widget(const char* form, const char* control, int index = -1) {
        mk::qt::FormWindow* w = fe->window(form);
        return w ? w->widgetFor(control, index) : nullptr;
    }
    // A pick from a chooser's list, as the mouse picks it; row is where
    // the bench stored the item in its list, when it knows.
    bool pick(const char* form, const char* combo, int index, const std::string& text, int row = -1) {
        if (!fe) return app.choose(app.form(form).dataCombo(combo, index), text);
        auto* box = qobject_cast<QComboBox*>(widget(form, combo, index));
        if (!box) return false;
        const QString wanted = mk::qt::qs(text);
        const int at = row >= 0 && row < box->count() && box->itemText(row) == wanted
                           ? row
                           : box->findText(wanted, Qt::MatchExactly);
        if (at < 0) return false;
        // As a click on the item does: it becomes current, then is picked.
        box->setCurrentIndex(at);
        emit box->activated(at);
        settle();
        return true;
    }
    // A pick with the chooser's list opened first (filled from its rows as
    // a click on its arrow fills it), the item scrolled to, then picked as a
    // click on it picks: made current and activated, the list closed.
    bool pickFromList(const char* form, const char* combo, int index, const std::string& text, int row) {
        auto* box = qobject_cast<QComboBox*>(widget(form, combo, index));
        if (!box) return false;
        box->showPopup();
        QAbstractItemView* view = box->view();
        const QString wanted = mk::qt::qs(text);
        if (row < 0 || row >= box->count() || box->itemText(row) != wanted)
            row = box->findText(wanted, Qt::MatchExactly);
        if (row < 0 || !view->isVisible()) return false;
        view->scrollTo(box->model()->index(row, box->modelColumn(), box->rootModelIndex()));
        box->hidePopup();
        box->setCurrentIndex(row);
        emit box->activated(row);
        settle();
        return app.form(form).dataCombo(combo, index).text() == text;
    }
    void type(const char* form, const char* box, int index, const std::string& text) {
        if (!fe) {
            app.typeText(app.form(form).textBox(box, index), text);
            return;
        }
        auto* edit = qobject_cast<QLineEdit*>(widget(form, box, index));
        if (!edit) return;
        // As a user replaces a box's text: a click into it, all of it
        // chosen, then the keys.
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, mk::qt::qs(text));
        settle();
    }
    void press(const char* form, const char* button, int index = -1) {
        if (!fe) {
            app.click(app.form(form).control(button, index));
            return;
        }
        if (auto* b = qobject_cast<QPushButton*>(widget(form, button, index))) b->click();
        settle();
    }
    // Boxes shown since the last look.
    std::vector<std::string> newMessages() {
        std::vector<std::string> out;
        const auto& shown = dialogs.shown();
        for (size_t i = seen; i < shown.size(); ++i) out.push_back(shown[i].prompt);
        seen = shown.size();
        return out;
    }
};

// ------------------------------------------------------------- the twin

class Twin {
public:
    explicit Twin(const fs::path& file) {
        sqlite3_open_v2(file.c_str(), &h_, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(h_, 5000);
        // Commits as durable as the program's.
        exec("PRAGMA synchronous=EXTRA");
    }
    ~Twin() {
        for (auto& [sql, s] : cache_) sqlite3_finalize(s);
        sqlite3_close(h_);
    }
    sqlite3_stmt* st(const std::string& sql) {
        auto it = cache_.find(sql);
        if (it != cache_.end()) {
            sqlite3_reset(it->second);
            sqlite3_clear_bindings(it->second);
            return it->second;
        }
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(h_, sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "twin: %s: %s\n", sql.c_str(), sqlite3_errmsg(h_));
        cache_[sql] = s;
        return s;
    }
    void exec(const std::string& sql) {
        char* msg = nullptr;
        if (sqlite3_exec(h_, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
            std::fprintf(stderr, "twin: %s: %s\n", sql.c_str(), msg ? msg : "?");
            sqlite3_free(msg);
        }
    }
    // Reads every column of every row the statement gives (as the program
    // reads what it shows); returns the rows.
    long readAll(sqlite3_stmt* s) {
        long n = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            ++n;
            for (int i = 0, c = sqlite3_column_count(s); i < c; ++i) touch(s, i);
        }
        sqlite3_reset(s);
        return n;
    }
    // Ends every statement, so the twin holds no lock between its runs.
    void resetAll() {
        for (auto& [sql, s] : cache_) sqlite3_reset(s);
    }
    long readAll(const std::string& sql) { return readAll(st(sql)); }
    double number(const std::string& sql) {
        sqlite3_stmt* s = st(sql);
        const double d = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_double(s, 0) : 0;
        sqlite3_reset(s);
        return d;
    }
    // The row of a table found by a text field, first in table order.
    long firstByText(const std::string& table, const std::string& field, const std::string& text,
                     const std::string& columns = "*") {
        sqlite3_stmt* s = st("SELECT rowid, " + columns + " FROM \"" + table + "\" WHERE \"" + field +
                             "\"=?1 ORDER BY rowid LIMIT 1");
        sqlite3_bind_text(s, 1, text.c_str(), -1, SQLITE_TRANSIENT);
        return readAll(s);
    }
    long lastNumber(const std::string& table) {
        return static_cast<long>(number("SELECT max(INVO_NO) FROM \"" + table + "\""));
    }
    sqlite3* raw() const { return h_; }

private:
    void touch(sqlite3_stmt* s, int i) {
        volatile const void* p = sqlite3_column_type(s, i) == SQLITE_TEXT
                                     ? static_cast<const void*>(sqlite3_column_text(s, i))
                                     : nullptr;
        volatile double d = sqlite3_column_double(s, i);
        (void)p;
        (void)d;
    }
    sqlite3* h_ = nullptr;
    std::map<std::string, sqlite3_stmt*> cache_;
};

// ------------------------------------------------------------- measuring

struct Result {
    std::string action;
    double program = -1, twin = -1;  // -1: not measured
    std::string note;
    long peakKb = -1;  // the process's peak while the action ran
};

// Only the actions whose names hold one of these texts, separated by '|',
// run (--only=).
std::string onlyActions;

bool selected(const std::string& action) {
    if (onlyActions.empty()) return true;
    size_t from = 0;
    for (;;) {
        const size_t bar = onlyActions.find('|', from);
        const std::string part = onlyActions.substr(from, bar == std::string::npos ? std::string::npos : bar - from);
        if (!part.empty() && action.find(part) != std::string::npos) return true;
        if (bar == std::string::npos) return false;
        from = bar + 1;
    }
}

// With MAKHZAN_BENCH_PERF_CTL naming perf's control fifo (perf record
// -D -1 --control fifo:...), only the program's timed presses are sampled.
void profiler(const char* command) {
    static std::FILE* ctl = [] {
        const char* path = std::getenv("MAKHZAN_BENCH_PERF_CTL");
        return path ? std::fopen(path, "w") : nullptr;
    }();
    if (!ctl) return;
    std::fprintf(ctl, "%s\n", command);
    std::fflush(ctl);
}

struct Measure {
    int reps = 5;
    std::vector<Result>* out;
    Twin* sql = nullptr;

    // setup runs before each press and twinSetup before each twin,
    // untimed; an action that takes over 10 s once is not repeated.
    Result run(const std::string& name, const std::function<void()>& setup,
               const std::function<bool()>& act, const std::function<void()>& twin,
               Run* watched = nullptr, const std::function<void()>& twinSetup = nullptr) {
        std::vector<double> a, b;
        Result res{name, -1, -1, {}, -1};
        if (!selected(name)) {
            res.note = "not run";
            out->push_back(res);
            return res;
        }
        for (int r = 0; r < reps; ++r) {
            if (setup) setup();
            if (watched) watched->newMessages();
            resetPeak();
            profiler("enable");
            auto t0 = Clock::now();
            const bool ok = act();
            const double took = ms(Clock::now() - t0);
            profiler("disable");
            res.peakKb = std::max(res.peakKb, peakRssKb());
            if (!ok) {
                res.note = "could not be pressed";
                if (watched)
                    for (const std::string& m : watched->newMessages()) res.note += " [" + m + "]";
                break;
            }
            a.push_back(took);
            if (twinSetup) twinSetup();
            t0 = Clock::now();
            twin();
            b.push_back(ms(Clock::now() - t0));
            sql->resetAll();
            if (took > 10000) break;
        }
        if (!a.empty()) {
            res.program = median(a);
            res.twin = median(b);
        }
        print(res);
        out->push_back(res);
        return res;
    }
    static void print(const Result& r) {
        if (r.program < 0) {
            std::printf("  %-54s %s\n", r.action.c_str(), r.note.c_str());
        } else {
            std::printf("  %-54s %10.2f ms   SQL %9.2f ms   ratio %7.2f   (RSS %ld MB)\n",
                        r.action.c_str(), r.program, r.twin, r.twin > 0 ? r.program / r.twin : 0.0,
                        currentRssKb() / 1024);
        }
        std::fflush(stdout);
    }
};

// ------------------------------------------------------------- actions

struct InvoiceWindowInfo {
    const char* form;
    const char* table;
    const char* login;
    const char* counter;
    const char* step;
};

const InvoiceWindowInfo kWindows[] = {
    {"Form3", "SALES_INVOICE", "Form14", "Text8", "Command2"},
    {"Form42", "SALES_INVO_GROUP", "Form43", "Text8", "Command2"},
    {"Form17", "BUY_INVOICE", "Form15", "Text8", "Command3"},
    {"Form28", "RETURN_INVOICE", "Form45", "Text5", "Command1"},
};

// The twin of opening an invoice window: the rows it shows and what its
// routines need (the company row, the last number, the first invoice, the
// first rows of the tables its hidden boxes show).
void twinOpenInvoiceWindow(Twin& t, const char* table) {
    t.readAll("SELECT * FROM DIM LIMIT 1");
    t.lastNumber(table);
    t.readAll("SELECT rowid, * FROM \"" + std::string(table) + "\" ORDER BY rowid LIMIT 1");
    t.readAll("SELECT rowid, MONEY FROM BOX ORDER BY rowid LIMIT 1");
    t.readAll("SELECT rowid, \"DESC\" FROM DAILY_TRADE ORDER BY rowid LIMIT 1");
}

// What the main window reads as it opens: the company, the day's state,
// the partners' and cash box's totals, the groups and the stock values.
void twinMainWindow(Twin& t) {
    t.readAll("SELECT * FROM DIM LIMIT 1");
    t.readAll("SELECT * FROM Admin WHERE UserID='529'");
    t.number("SELECT total(MONEY) FROM BUYER");
    t.number("SELECT total(MONEY) FROM SUPPLIER");
    t.number("SELECT MONEY FROM BOX ORDER BY rowid DESC LIMIT 1");
    t.readAll("SELECT Q FROM qqq");
    for (int g = 0; g < kGroups; ++g)
        t.number("SELECT total(ONSTOCK*UNITE_PRICE) + total(ONSTOCK*BUY_PRICE) FROM " + groupName(g));
}

// What a line's pick reads: the item's price and stock, and the "." row
// the empty slots name.
void twinLine(Twin& t, const std::string& group, const std::string& item) {
    t.firstByText(group, "DESC", item, "UNITE_PRICE, ONSTOCK");
    t.firstByText(group, "DESC", ".", "UNITE_PRICE, ONSTOCK");
}

// A retail save in SQL: the invoice row, each line's item and day rows
// read by name and written, the cash box's last row and a new one, all
// committed as the program commits its save. Its invoice takes number 0,
// which no numbering or search of the program meets.
void twinSave(Twin& t, const std::string& group, const std::vector<std::string>& items, long number) {
    t.exec("BEGIN");
    t.lastNumber("SALES_INVOICE");
    std::string cols = "INVO_NO, DATES, SALES_MAN, TOTAL_SUM, STATUS_SUB", params = "?1, '2026-12-06', '.', 100, 0";
    int p = 1;
    for (int k = 1; k <= 32; ++k)
        for (const char* stem : {"MED_NAME", "QNTITY", "EXPIRY_ DATE", "SUM"}) {
            cols += ", \"" + std::string(stem) + std::to_string(k) + "\"";
            params += ", ?" + std::to_string(++p);
        }
    sqlite3_stmt* ins = t.st("INSERT INTO SALES_INVOICE (" + cols + ") VALUES (" + params + ")");
    sqlite3_bind_int64(ins, 1, number);
    p = 1;
    for (int k = 1; k <= 32; ++k) {
        const std::string name = k <= static_cast<int>(items.size()) ? items[static_cast<size_t>(k - 1)] : ".";
        sqlite3_bind_text(ins, ++p, name.c_str(), -1, SQLITE_TRANSIENT);
        for (int j = 0; j < 3; ++j) sqlite3_bind_double(ins, ++p, k <= static_cast<int>(items.size()) ? 1 : 0);
    }
    sqlite3_step(ins);
    const long long row = sqlite3_last_insert_rowid(t.raw());
    for (const std::string& item : items) {
        sqlite3_stmt* s = t.st("SELECT rowid, ONSTOCK, BUY_PRICE, \"RETURN\" FROM \"" + group +
                               "\" WHERE \"DESC\"=?1 ORDER BY rowid LIMIT 1");
        sqlite3_bind_text(s, 1, item.c_str(), -1, SQLITE_TRANSIENT);
        long long itemRow = 0, stock = 0;
        if (sqlite3_step(s) == SQLITE_ROW) itemRow = sqlite3_column_int64(s, 0), stock = sqlite3_column_int64(s, 1);
        sqlite3_stmt* d = t.st("SELECT rowid, OUTPUT FROM DAILY_TRADE WHERE \"DESC\"=?1 ORDER BY rowid LIMIT 1");
        sqlite3_bind_text(d, 1, item.c_str(), -1, SQLITE_TRANSIENT);
        long long dayRow = 0, out = 0;
        if (sqlite3_step(d) == SQLITE_ROW) dayRow = sqlite3_column_int64(d, 0), out = sqlite3_column_int64(d, 1);
        sqlite3_stmt* u = t.st("UPDATE \"" + group + "\" SET ONSTOCK=?1 WHERE rowid=?2");
        sqlite3_bind_int64(u, 1, stock - 1);
        sqlite3_bind_int64(u, 2, itemRow);
        sqlite3_step(u);
        sqlite3_stmt* v = t.st("UPDATE DAILY_TRADE SET OUTPUT=?1 WHERE rowid=?2");
        sqlite3_bind_int64(v, 1, out + 1);
        sqlite3_bind_int64(v, 2, dayRow);
        sqlite3_step(v);
    }
    const double balance = t.number("SELECT MONEY FROM BOX ORDER BY rowid DESC LIMIT 1");
    sqlite3_stmt* b = t.st("INSERT INTO BOX (MONEY, MONEY_RECIVED, \"DATE\", OUT_INVOICE) VALUES (?1, 100, '2026-12-06', ?2)");
    sqlite3_bind_double(b, 1, balance + 100);
    sqlite3_bind_int64(b, 2, number);
    sqlite3_step(b);
    sqlite3_stmt* done = t.st("UPDATE SALES_INVOICE SET STATUS_SUB=1 WHERE rowid=?1");
    sqlite3_bind_int64(done, 1, row);
    sqlite3_step(done);
    t.exec("COMMIT");
}

// The end-of-day pass in SQL, set-based: per group, in group order, the
// day rows of its items take the stock of the item last in the group (a
// later group overwrites an earlier one), committed as the program commits.
void twinEndOfDayPass(Twin& t) {
    t.exec("BEGIN");
    for (int g = 0; g < kGroups; ++g) {
        const std::string group = groupName(g);
        t.exec("UPDATE DAILY_TRADE SET END_DAY_Q = (SELECT ONSTOCK FROM " + group +
               " WHERE \"DESC\" = DAILY_TRADE.\"DESC\" ORDER BY rowid DESC LIMIT 1) WHERE rowid IN "
               "(SELECT d.rowid FROM " + group + " AS g CROSS JOIN DAILY_TRADE AS d ON d.\"DESC\" = g.\"DESC\")");
    }
    t.exec("COMMIT");
}

// What a report's first page needs: how many rows there are, and the
// rows of the page.
constexpr int kPageRows = 60;
void twinFirstPage(Twin& t, const std::string& table) {
    t.number("SELECT count(*) FROM " + table);
    t.readAll("SELECT * FROM " + table + " ORDER BY rowid LIMIT " + std::to_string(kPageRows));
}

// A partner's dealings in SQL, committed as the program commits them:
// the launcher's pre-clean (all but the last of the last run's rows
// deleted, the fresh flag cleared) committed at once, as it must be; then
// the run: the partner's invoices through the partner's index into
// BUYER_DEALS (numbered in table order) in place of the row left, its
// counter; then the rows read, as the view prints them.
void twinDealings(Twin& t, const std::string& table, const std::string& partner) {
    t.exec("BEGIN");
    t.exec("DELETE FROM BUYER_DEALS WHERE rowid < (SELECT max(rowid) FROM BUYER_DEALS)");
    t.exec("UPDATE FLAGS SET BUYER_DEALS = 0");
    t.exec("COMMIT");
    t.exec("BEGIN");
    t.exec("DELETE FROM BUYER_DEALS");
    sqlite3_stmt* s = t.st("INSERT INTO BUYER_DEALS (ID, INVO_NO, DATES, TOTAL, NOTES) SELECT "
                           "row_number() OVER (ORDER BY rowid), INVO_NO, DATES, TOTAL_SUM, NOTES FROM " +
                           table + " WHERE SALES_MAN = ?1 ORDER BY rowid");
    sqlite3_bind_text(s, 1, partner.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(s);
    sqlite3_reset(s);
    t.exec("UPDATE FLAGS SET BUYER_DEALS = 0, COUNTER_BUYER_DEALS = (SELECT count(*) FROM BUYER_DEALS)");
    t.exec("COMMIT");
    t.readAll("SELECT * FROM BUYER_DEALS ORDER BY rowid");
}

// A plain copy of a file, synced to the disk as a backup must be.
void copyFile(const fs::path& from, const fs::path& to) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    std::FILE* out = std::fopen(to.c_str(), "wb");
    if (in && out) {
        std::vector<char> buf(1 << 20);
        size_t n;
        while ((n = std::fread(buf.data(), 1, buf.size(), in)) > 0) std::fwrite(buf.data(), 1, n, out);
        std::fflush(out);
        fsync(fileno(out));
    }
    if (in) std::fclose(in);
    if (out) std::fclose(out);
}

// The items of one group an invoice picks: spread over the group.
std::vector<std::string> lineItems(const ShopShape& shape, int group, int lines) {
    std::vector<std::string> out;
    const long perGroup = shape.items / kGroups;
    for (int k = 0; k < lines; ++k) out.push_back(itemName(group, (perGroup - 1) - k * (perGroup / 40)));
    return out;
}

// Whether the retail window has a new invoice open (Add was not refused).
bool entering(Run& run) { return run.app.form("Form3").button("cmdaction", 0).caption == "&save"; }

// Opens the retail window through Qt with its group chosen and Add pressed.
bool readyForLines(Run& run, const std::string& group) {
    run.unloadIfLoaded("Form3");
    run.show("Form3");
    if (!run.pick("Form3", "DataCombo3", -1, group)) return false;
    run.press("Form3", "cmdaction", 0);
    return entering(run);
}

// The row of an item of the bench's groups in its group's list: after the
// group's "." row, in the order they were stored.
int listRow(const std::string& item) { return std::atoi(item.substr(item.rfind('-') + 1).c_str()) + 1; }

// One line as a user enters it: the quantity, the item's pick, the next row.
void enterLine(Run& run, const std::string& item, bool last) {
    const int row = static_cast<int>(mk::leadingNumber(run.app.form("Form3").textBox("Text8").text()));
    run.type("Form3", "Text3", row, "1");
    run.pick("Form3", "DataCombo1", row, item, listRow(item));
    if (!last) run.press("Form3", "Command2");
}

void searchLogin(Run& run, const InvoiceWindowInfo& w, long number) {
    run.unloadIfLoaded(w.login);
    run.show(w.login);
    run.type(w.login, "Text1", 0, kClerk);
    run.type(w.login, "Text1", 1, kClerkPassword);
    run.dialogs.type(std::to_string(number));
}

void runShop(const ShopShape& shape, int reps, std::vector<Result>& results) {
    std::printf("\n== %ld items in %d groups (DAILY_TRADE %ld rows), %ld rows in each invoice table, "
                "%ld vouchers of each kind ==\n",
                shape.items, kGroups, shape.items + kGroups, shape.invoiceRows, kVouchers);
    std::fflush(stdout);
    const fs::path cached = cachedShop(shape);
    const fs::path root = copyShop(cached, shape.label());
    Program program(root);
    Twin twin(root / "C" / "INVENT.MDB");
    Measure m{reps, &results, &twin};
    const std::string lastGroup = groupName(kGroups - 1);
    const long perGroup = shape.items / kGroups;
    const std::string lastItem = itemName(kGroups - 1, perGroup - 1);
    const long lastInvoice = invoiceNumber(shape.invoiceRows - 1);

    // The program's start: the file opened, checked and found up to date.
    {
        std::unique_ptr<Program> started;
        m.run(
            "program start: the file opened and checked (core)", [&] { started.reset(); },
            [&] {
                started = std::make_unique<Program>(root);
                return true;
            },
            [&] {
                twin.readAll("PRAGMA quick_check");
                twin.readAll("SELECT name FROM sqlite_master");
            });
    }

    // Start to the main window (core).
    {
        std::unique_ptr<Run> run;
        m.run(
            "start -> main window (core)", [&] { run.reset(); run = std::make_unique<Run>(program, false); },
            [&] {
                run->startToMain();
                return run->app.form("Form1").visible();
            },
            [&] { twinMainWindow(twin); });
        run.reset();
    }

    // The start a user waits for, as the program starts: the file opened,
    // its check going on beside, the start window's button pressed, the
    // main window drawn; then the same until the check has passed.
    for (const bool checked : {false, true}) {
        std::unique_ptr<Program> started;
        std::unique_ptr<Run> run;
        m.run(
            checked ? "start -> main window, then its check passed (Qt)"
                    : "start -> main window, its check beside (Qt)",
            [&] {
                run.reset();
                started.reset();
            },
            [&] {
                started = std::make_unique<Program>(root, mk::FileCheck::Beside);
                run = std::make_unique<Run>(*started, true);
                run->startToMain();
                if (run->fe->window("Form1") == nullptr || !run->app.form("Form1").visible()) return false;
                return !checked || mk::followStartCheck(*started->machine, run->dialogs, true) ==
                                       mk::StartCheck::Passed;
            },
            [&] {
                if (checked) twin.readAll("PRAGMA quick_check");
                twinMainWindow(twin);
            });
        run.reset();
        started.reset();
    }

    // Opening each invoice window (core), from the main window.
    {
        Run run(program, false);
        run.startToMain();
        for (const InvoiceWindowInfo& w : kWindows)
            m.run(
                std::string("open ") + w.form + " (core)", [&] { run.unloadIfLoaded(w.form); },
                [&] {
                    run.show(w.form);
                    return run.app.form(w.form).visible();
                },
                [&] { twinOpenInvoiceWindow(twin, w.table); }, &run);
        for (const char* f : {"Form35", "Form41"})
            m.run(
                std::string("open ") + f + " (core)", [&] { run.unloadIfLoaded(f); },
                [&] {
                    run.show(f);
                    return run.app.form(f).visible();
                },
                [&] {
                    const std::string table = std::string(f) == "Form35" ? "REVEIVED_MONEY" : "MONEY_OUT";
                    twin.readAll("SELECT * FROM DIM LIMIT 1");
                    twin.lastNumber(table);
                    twin.readAll("SELECT rowid, * FROM " + table + " ORDER BY rowid LIMIT 1");
                },
                &run);
        // The search login's own work, without the front end.
        m.run(
            "search login Form14 -> last invoice (core)",
            [&] {
                searchLogin(run, kWindows[0], lastInvoice);
                run.dialogs.clear();
                run.seen = 0;
            },
            [&] {
                run.press("Form14", "Command1");
                return run.app.form("Form3").label("Label5").caption() == std::to_string(lastInvoice) &&
                       run.dialogs.messages().empty();
            },
            [&] {
                sqlite3_stmt* s = twin.st("SELECT rowid, * FROM SALES_INVOICE WHERE INVO_NO=?1 ORDER BY rowid LIMIT 1");
                sqlite3_bind_int64(s, 1, lastInvoice);
                twin.readAll(s);
            },
            &run);
        run.unloadIfLoaded("Form3");
        // The receipt vouchers of the customer the customers window shows.
        run.show("Form6");
        const std::string customer = run.app.form("Form6").textBox("Text1", 0).text();
        m.run(
            "open Form39, a customer's receipts (core)", [&] { run.unloadIfLoaded("Form39"); },
            [&] {
                run.show("Form39");
                run.app.runPendingPaints();
                return !run.app.form("Form39").printedLines().empty();
            },
            [&] {
                sqlite3_stmt* s = twin.st("SELECT MONEY, DATES, INVO_NO FROM REVEIVED_MONEY WHERE BUYER=?1 ORDER BY rowid");
                sqlite3_bind_text(s, 1, customer.c_str(), -1, SQLITE_TRANSIENT);
                twin.readAll(s);
            },
            &run);

        // The main window's item panel.
        run.act([&] { run.app.menuClick(run.app.form("Form1").menu("store_functions")); });
        int which = 0;
        m.run(
            "choose a group on the main item panel (core)", [] {},
            [&] {
                ++which;
                return run.app.choose(run.app.form("Form1").dataCombo("DataCombo3", -1), groupName(which % kGroups));
            },
            [&] { twin.readAll("SELECT rowid, * FROM \"" + groupName(which % kGroups) + "\" ORDER BY rowid LIMIT 1"); },
            &run);

        // Item search by name on the panel: the last item of the last group.
        run.app.choose(run.app.form("Form1").dataCombo("DataCombo3", -1), lastGroup);
        m.run(
            "item card search (last item)", [&] { run.dialogs.type(lastItem); },
            [&] {
                run.app.menuClick(run.app.form("Form1").menu("earchby_name"));
                return run.app.form("Form1").textBox("Text6").text() == lastItem;
            },
            [&] { twin.firstByText(lastGroup, "DESC", lastItem); }, &run);
        run.dialogs.clear();
        // The sales movement of the item found (the worker of Command6).
        m.run(
            "sales movement worker", [&] { run.unloadIfLoaded("Form29"); },
            [&] { return run.app.click(run.app.form("Form1").control("Command6", -1)); },
            [&] {
                std::string where;
                for (int k = 1; k <= 31; ++k) where += (k > 1 ? "," : "") + std::string("MED_NAME") + std::to_string(k);
                sqlite3_stmt* s = twin.st("SELECT * FROM SALES_INVOICE WHERE ?1 IN (" + where + ") ORDER BY rowid");
                sqlite3_bind_text(s, 1, lastItem.c_str(), -1, SQLITE_TRANSIENT);
                twin.readAll(s);
            },
            &run);
        m.run(
            "expiry worker", [&] {
                run.unloadIfLoaded("Form55");
                run.dialogs.type("01/01/2027");
                run.dialogs.type("31/12/2027");
            },
            [&] {
                const bool clicked = run.app.menuClick(run.app.form("Form1").menu("date_report"));
                run.app.runPendingPaints();
                return clicked && run.app.report("DataReport16") != nullptr;
            },
            [&] {
                twin.exec("BEGIN");
                for (int g = 0; g < kGroups; ++g)
                    twin.exec("INSERT INTO VALIDITY_DATE (QQQ, SUB_TYPE, QUANTITY, \"DATE\") SELECT '" + groupName(g) +
                              "', \"DESC\", ONSTOCK, DATES_SAVE FROM " + groupName(g) +
                              " WHERE DATES_SAVE >= '2027-01-01' AND DATES_SAVE < '2028-01-01'");
                // Committed as the program commits its run (which clears
                // these rows again as it clears its own leftovers).
                twin.exec("COMMIT");
            },
            &run);
        m.run(
            // The last run's report closed, as its preview would be; the
            // first page laid out, as a look at the report lays it out.
            "end of day + its report's first page (core)", [&] { run.app.closeReport("DataReport10"); },
            [&] {
                if (!run.app.menuClick(run.app.form("Form1").menu("inventory_rep"))) return false;
                const mk::RenderedReport* report = run.app.report("DataReport10");
                return report && !report->pages.front().texts.empty();
            },
            [&] {
                twinEndOfDayPass(twin);
                twinFirstPage(twin, "DAILY_TRADE");
            },
            &run);
    }

    // Through the Qt front end: the retail window.
    {
        Run run(program, true);
        run.startToMain();
        m.run(
            "open Form3 (Qt)", [&] { run.unloadIfLoaded("Form3"); },
            [&] {
                run.show("Form3");
                return run.fe->window("Form3") != nullptr;
            },
            [&] { twinOpenInvoiceWindow(twin, "SALES_INVOICE"); }, &run);
        int which = 0;
        m.run(
            "choose a group in Form3 (Qt)",
            [&] {
                run.unloadIfLoaded("Form3");
                run.show("Form3");
            },
            [&] {
                ++which;
                const long before = currentRssKb();
                const bool ok = run.pick("Form3", "DataCombo3", -1, groupName(which % kGroups));
                if (ok && which == 1)
                    std::printf("    (the pick grew the process by %ld MB)\n", (currentRssKb() - before) / 1024);
                return ok;
            },
            [&] {
                twin.readAll("SELECT \"DESC\" FROM \"" + groupName(which % kGroups) + "\" ORDER BY rowid");
                twin.readAll("SELECT rowid, * FROM \"" + groupName(which % kGroups) + "\" ORDER BY rowid LIMIT 1");
            },
            &run);

        const std::vector<std::string> items = lineItems(shape, kGroups - 1, 31);
        m.run(
            "one line entry: quantity, pick, next row (Qt)",
            [&] {
                run.unloadIfLoaded("Form3");
                readyForLines(run, lastGroup);
            },
            [&] {
                if (!entering(run)) return false;
                enterLine(run, items[0], false);
                return run.app.form("Form3").textBox("Text4", 0).text() != "0";
            },
            [&] { twinLine(twin, lastGroup, items[0]); }, &run);
        m.run(
            "one line entry, the item list opened and picked (Qt)",
            [&] {
                run.unloadIfLoaded("Form3");
                readyForLines(run, lastGroup);
            },
            [&] {
                if (!entering(run)) return false;
                const int row = static_cast<int>(mk::leadingNumber(run.app.form("Form3").textBox("Text8").text()));
                run.type("Form3", "Text3", row, "1");
                if (!run.pickFromList("Form3", "DataCombo1", row, items[0], listRow(items[0]))) return false;
                run.press("Form3", "Command2");
                return run.app.form("Form3").textBox("Text4", 0).text() != "0";
            },
            [&] { twinLine(twin, lastGroup, items[0]); }, &run);
        m.run(
            "all 31 lines of one invoice (Qt)", [&] { readyForLines(run, lastGroup); },
            [&] {
                if (!entering(run)) return false;
                for (size_t k = 0; k < items.size(); ++k) enterLine(run, items[k], k + 1 == items.size());
                return true;
            },
            [&] {
                for (const std::string& item : items) twinLine(twin, lastGroup, item);
            },
            &run);
        // Saves: each rep enters its invoice untimed.
        m.run(
            "save a 31-line retail invoice (Qt)",
            [&] {
                if (!readyForLines(run, lastGroup)) return;
                for (size_t k = 0; k < items.size(); ++k) enterLine(run, items[k], k + 1 == items.size());
                run.dialogs.answer(mk::answer::OK);
                run.dialogs.answer(mk::answer::No);
            },
            [&] {
                const int before = static_cast<int>(run.dialogs.shown().size());
                run.press("Form3", "cmdaction", 0);
                const auto& shown = run.dialogs.shown();
                return static_cast<int>(shown.size()) >= before + 2 &&
                       shown.back().prompt.find("فاتورة أخرى") != std::string::npos;
            },
            [&] { twinSave(twin, lastGroup, items, 0); }, &run);
        run.dialogs.clear();
    }

    // The search logins, each finding the last invoice of its table.
    {
        Run run(program, true);
        run.startToMain();
        for (const InvoiceWindowInfo& w : kWindows) {
            const long wanted = lastInvoice;
            m.run(
                std::string("search login ") + w.login + " -> last invoice (Qt)",
                [&] {
                    searchLogin(run, w, wanted);
                    run.dialogs.clear();
                    run.seen = 0;
                },
                [&] {
                    run.press(w.login, "Command1");
                    return run.app.form(w.form).label("Label5").caption() == std::to_string(wanted) &&
                           run.dialogs.messages().empty();
                },
                [&] {
                    sqlite3_stmt* s = twin.st("SELECT rowid, * FROM " + std::string(w.table) +
                                              " WHERE INVO_NO=?1 ORDER BY rowid LIMIT 1");
                    sqlite3_bind_int64(s, 1, wanted);
                    twin.readAll(s);
                },
                &run);
            run.unloadIfLoaded(w.form);
        }
    }

    // The first search in a window just opened by a program just started:
    // nothing of the invoice table read before, on a connection of its own.
    {
        std::unique_ptr<Program> fresh;
        std::unique_ptr<Run> run;
        const fs::path file = root / "C" / "INVENT.MDB";
        m.run(
            "first search in a fresh Form3 (Qt, cold)",
            [&] {
                run.reset();
                fresh.reset();
                fresh = std::make_unique<Program>(root);
                run = std::make_unique<Run>(*fresh, true);
                run->startToMain();
                run->show("Form3");
                searchLogin(*run, kWindows[0], lastInvoice);
                run->dialogs.clear();
                run->seen = 0;
            },
            [&] {
                run->press("Form14", "Command1");
                return run->app.form("Form3").label("Label5").caption() == std::to_string(lastInvoice) &&
                       run->dialogs.messages().empty();
            },
            [&] {
                Twin cold(file);
                sqlite3_stmt* s = cold.st("SELECT rowid, * FROM SALES_INVOICE WHERE INVO_NO=?1 ORDER BY rowid LIMIT 1");
                sqlite3_bind_int64(s, 1, lastInvoice);
                cold.readAll(s);
            });
        run.reset();
        fresh.reset();
    }

    // The dealings of the partner each partner window shows first, its
    // report's preview shown.
    {
        struct Dealing {
            const char* action;
            const char* menu;
            const char* window;
            const char* view;
            const char* table;
        };
        const Dealing dealings[] = {
            {"customer dealings Form40 -> report shown (Qt)", "BUYER", "Form6", "Form40", "SALES_INVO_GROUP"},
            {"supplier dealings Form46 -> report shown (Qt)", "SUPPLY_INF", "Form5", "Form46", "BUY_INVOICE"},
        };
        for (const Dealing& d : dealings) {
            std::unique_ptr<Run> run;
            std::string partner;
            m.run(
                d.action,
                [&] {
                    run.reset();
                    run = std::make_unique<Run>(program, true);
                    run->startToMain();
                    run->act([&] { run->app.menuClick(run->app.form("Form1").menu(d.menu)); });
                    partner = run->app.form(d.window).textBox("Text1", 0).text();
                },
                [&] {
                    run->press(d.window, "Command2");
                    return run->app.isLoaded(d.view) && run->fe->preview("DataReport15") != nullptr;
                },
                [&] { twinDealings(twin, d.table, partner); }, run.get());
            run.reset();
        }
    }

    // The end of day from the reports menu, until its report's first page
    // is shown; the cash box report; the backup of the day's close.
    {
        std::unique_ptr<Run> run;
        auto fresh = [&] {
            run.reset();
            run = std::make_unique<Run>(program, true);
            run->startToMain();
        };
        m.run(
            "end of day -> its report's first page shown (Qt)", fresh,
            [&] {
                run->act([&] { run->app.menuClick(run->app.form("Form1").menu("inventory_rep")); });
                return run->fe->preview("DataReport10") != nullptr;
            },
            [&] {
                twinEndOfDayPass(twin);
                twinFirstPage(twin, "DAILY_TRADE");
            });
        m.run(
            "cash box report -> first page shown (Qt)", fresh,
            [&] {
                run->act([&] { run->app.menuClick(run->app.form("Form1").menu("BOX_REPORT")); });
                return run->fe->preview("DataReport8") != nullptr;
            },
            [&] { twinFirstPage(twin, "BOX"); });
        const fs::path copy = root / "twin-copy.mdb";
        m.run(
            "backup of the day's close -> the close's login (Qt)",
            [&] {
                fresh();
                run->dialogs.answer(mk::answer::OK);
            },
            [&] {
                run->act([&] { run->app.menuClick(run->app.form("Form1").menu("day_exite")); });
                return run->app.isLoaded("Form44") && run->app.form("Form44").visible();
            },
            // Over the last run's copy, as a backup replaces the last backup.
            [&] { copyFile(root / "C" / "INVENT.MDB", copy); });
        fs::remove(copy);
        run.reset();
    }

    // The whole daily movement and cash box reports written to PDF from
    // their previews (opened untimed); the twin reads the rows they show.
    {
        std::unique_ptr<Run> run;
        const fs::path pdf = root / "report.pdf";
        struct Whole {
            const char* action;
            const char* menu;
            const char* report;
            const char* table;
        };
        const Whole wholes[] = {
            {"daily movement report written to PDF (Qt)", "inventory_rep", "DataReport10", "DAILY_TRADE"},
            {"cash box report written to PDF (Qt)", "BOX_REPORT", "DataReport8", "BOX"},
        };
        for (const Whole& w : wholes) {
            m.run(
                w.action,
                [&] {
                    run.reset();
                    fs::remove(pdf);
                    run = std::make_unique<Run>(program, true);
                    run->startToMain();
                    run->act([&] { run->app.menuClick(run->app.form("Form1").menu(w.menu)); });
                },
                [&] {
                    mk::qt::ReportPreview* preview = run->fe->preview(w.report);
                    return preview && preview->writePdf(mk::qt::qs(pdf.string())) ==
                                          mk::qt::ReportPreview::Saved::Written;
                },
                [&] { twin.readAll(std::string("SELECT * FROM ") + w.table + " ORDER BY rowid"); });
            if (fs::exists(pdf))
                std::printf("  %-54s %ld pages, %.1f MB\n", "",
                            static_cast<long>(run->fe->preview(w.report)->report().pages.size()),
                            static_cast<double>(fs::file_size(pdf)) / 1e6);
            std::fflush(stdout);
        }
        run.reset();
        fs::remove(pdf);
    }

    // Start of day: the new-day button appends one DAILY_TRADE row per item
    // row (rows the run added are taken away again between runs). Then the
    // same pressed as soon as the program started shows its first window,
    // the file's check still going on beside: the start's write waits for
    // the check to pass.
    {
        std::unique_ptr<Program> started;
        std::unique_ptr<Run> run;
        const long dayRows = static_cast<long>(twin.number("SELECT max(rowid) FROM DAILY_TRADE"));
        auto setup = [&] {
            run.reset();
            started.reset();
            twin.exec("DELETE FROM DAILY_TRADE WHERE rowid > " + std::to_string(dayRows));
            twin.exec("UPDATE Admin SET enter=1 WHERE UserID='529'");
            program.db().refreshRecordsets();
        };
        auto twinStartOfDay = [&] {
            twin.exec("BEGIN");
            twin.exec("UPDATE Admin SET enter=0 WHERE UserID='529'");
            for (int g = 0; g < kGroups; ++g)
                twin.exec("INSERT INTO DAILY_TRADE (\"DESC\", STARY_DAY_Q) SELECT \"DESC\", ONSTOCK FROM " +
                          groupName(g) + " ORDER BY rowid");
            twin.exec("COMMIT");
            // What the main window then shows.
            twinMainWindow(twin);
            twin.readAll("SELECT rowid, * FROM DAILY_TRADE ORDER BY rowid DESC LIMIT 1");
        };
        m.run(
            "start of day",
            [&] {
                setup();
                run = std::make_unique<Run>(program, false);
            },
            [&] {
                run->app.show(run->form("Form16"));
                run->app.click(run->form("Form16").control("Command2", -1));
                return run->app.form("Form1").visible();
            },
            twinStartOfDay, nullptr, setup);
        m.run(
            "start of day pressed at once, its check beside (Qt)", setup,
            [&] {
                started = std::make_unique<Program>(root, mk::FileCheck::Beside);
                run = std::make_unique<Run>(*started, true);
                run->show("Form16");
                run->press("Form16", "Command2");
                return run->fe->window("Form1") != nullptr && run->app.form("Form1").visible();
            },
            [&] {
                twin.readAll("PRAGMA quick_check");
                twinStartOfDay();
            },
            nullptr, setup);
        run.reset();
        started.reset();
        twin.exec("DELETE FROM DAILY_TRADE WHERE rowid > " + std::to_string(dayRows));
        twin.exec("UPDATE Admin SET enter=0 WHERE UserID='529'");
        program.db().refreshRecordsets();
    }

    // The day's close: the login of the close pressed (the backup before it
    // made untimed). Each run has the day's rows put back first.
    {
        std::unique_ptr<Run> run;
        twin.exec("DROP TABLE IF EXISTS bench_day");
        twin.exec("CREATE TABLE bench_day AS SELECT rowid AS rid, * FROM DAILY_TRADE");
        auto putBack = [&] {
            twin.exec("BEGIN");
            twin.exec("DELETE FROM DAILY_TRADE");
            twin.exec("INSERT INTO DAILY_TRADE (rowid, \"DESC\", STARY_DAY_Q, OUTPUT, INPUT, END_DAY_Q) "
                      "SELECT rid, \"DESC\", STARY_DAY_Q, OUTPUT, INPUT, END_DAY_Q FROM bench_day ORDER BY rid");
            twin.exec("UPDATE Admin SET enter=0 WHERE UserID='529'");
            twin.exec("COMMIT");
            program.db().refreshRecordsets();
        };
        m.run(
            "day close: its login pressed (Qt)",
            [&] {
                run.reset();
                putBack();
                run = std::make_unique<Run>(program, true);
                run->startToMain();
                run->dialogs.answer(mk::answer::OK);
                run->act([&] { run->app.menuClick(run->app.form("Form1").menu("day_exite")); });
                run->type("Form44", "Text1", 0, kClerk);
                run->type("Form44", "Text1", 1, kClerkPassword);
            },
            [&] {
                run->press("Form44", "Command1");
                return !run->app.isLoaded("Form1") &&
                       twin.number("SELECT count(*) FROM DAILY_TRADE") == 0;
            },
            [&] {
                twin.exec("BEGIN");
                twin.exec("DELETE FROM DAILY_TRADE");
                twin.exec("UPDATE Admin SET enter=1 WHERE UserID='529'");
                twin.exec("COMMIT");
            },
            nullptr, putBack);
        run.reset();
        putBack();
        twin.exec("DROP TABLE bench_day");
        twin.resetAll();
        program.db().refreshRecordsets();
    }

    // Report layout: every page of the item table of the last group laid
    // out, the rows read as the pages need them.
    {
        mk::ReportLayout layout = *mk::findReportLayout("DataReport10");
        layout.table = lastGroup;
        layout.command = lastGroup;
        for (auto& it : layout.detail.items)
            if (it.kind == mk::ReportItem::Kind::Field) it.text = "DESC";
        m.run(
            "report layout (group table)", [] {},
            [&] {
                const mk::RenderedReport report = mk::renderReport(layout, program.db(), program.clock.now());
                size_t texts = 0;
                for (const mk::RenderedPage& page : report.pages) texts += page.texts.size();
                return texts > 0;
            },
            [&] { twin.readAll("SELECT \"DESC\" FROM \"" + lastGroup + "\" ORDER BY rowid"); });
    }
    std::printf("  peak memory of the bench process so far: %ld MB\n", peakRssKb() / 1024);
}

// ------------------------------------------------ peak memory scenarios

// Run in a child process on a copy of the shop: the program through Qt
// with the retail window open, or with the four invoice windows open and
// their groups chosen, a 31-line save and a search login.
int peakScenario(const std::string& which, const fs::path& root, const ShopShape& shape) {
    Program program(root);
    Run run(program, true);
    run.startToMain();
    run.show("Form3");
    if (which == "all") {
        const std::string group = groupName(kGroups - 1);
        for (const InvoiceWindowInfo& w : kWindows) {
            run.show(w.form);
            run.pick(w.form, "DataCombo3", -1, group);
        }
        const std::vector<std::string> items = lineItems(shape, kGroups - 1, 31);
        if (readyForLines(run, group)) {
            for (size_t k = 0; k < items.size(); ++k) enterLine(run, items[k], k + 1 == items.size());
            run.dialogs.answer(mk::answer::OK);
            run.dialogs.answer(mk::answer::No);
            run.press("Form3", "cmdaction", 0);
        }
        searchLogin(run, kWindows[0], invoiceNumber(shape.invoiceRows - 1));
        run.press(kWindows[0].login, "Command1");
    }
    std::printf("PEAK %ld\n", peakRssKb());
    return 0;
}

long childPeak(const char* self, const std::string& which, const ShopShape& shape) {
    const fs::path root = copyShop(cachedShop(shape), shape.label() + "-peak");
    const std::string cmd = std::string(self) + " --peak=" + which + " --root=" + root.string() +
                            " --scale=" + std::to_string(shape.items) + " --rows=" +
                            std::to_string(shape.invoiceRows) + " 2>/dev/null";
    long kb = -1;
    if (std::FILE* p = popen(cmd.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, p))
            if (std::strncmp(line, "PEAK ", 5) == 0) kb = std::atol(line + 5);
        pclose(p);
    }
    fs::remove_all(root);
    return kb;
}

std::vector<long> parseList(const std::string& list) {
    std::vector<long> out;
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t comma = list.find(',', pos);
        std::string s = list.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        long mult = 1;
        if (!s.empty() && (s.back() == 'k' || s.back() == 'K')) mult = 1000, s.pop_back();
        if (!s.empty() && (s.back() == 'm' || s.back() == 'M')) mult = 1000000, s.pop_back();
        if (!s.empty()) out.push_back(std::atol(s.c_str()) * mult);
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return out;
}

// The offscreen platform's notes (it cannot raise windows) are no news.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || message.contains(QStringLiteral("does not support"))) return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietQt);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    mk::qt::configureApplication();

    std::vector<long> scales = {10000, 100000, 1000000};
    std::vector<long> rows = {32700, 200000};
    int reps = 5;
    std::string peak, root;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--reps=", 0) == 0) reps = std::max(1, std::atoi(a.c_str() + 7));
        if (a.rfind("--scale=", 0) == 0) scales = parseList(a.substr(8));
        if (a.rfind("--rows=", 0) == 0) rows = parseList(a.substr(7));
        if (a.rfind("--peak=", 0) == 0) peak = a.substr(7);
        if (a.rfind("--root=", 0) == 0) root = a.substr(7);
        if (a.rfind("--only=", 0) == 0) onlyActions = a.substr(7);
        if (a == "--no-peak") peak = "none";
    }
    if (!peak.empty() && peak != "none") return peakScenario(peak, root, {scales.at(0), rows.at(0)});

    std::printf("median of %d; ratio = program / plain-SQL twin reading the same rows "
                "(aim: under 3)\n", reps);
    std::vector<ShopShape> shops;
    for (long r : rows)
        for (long s : scales) shops.push_back({s, r});
    std::vector<std::vector<Result>> all;
    for (const ShopShape& shape : shops) {
        all.emplace_back();
        runShop(shape, reps, all.back());
    }

    // Growth from shop to shop, and the program's peak memory.
    std::printf("\n== program time (ms) by shop ==\n  %-54s", "action");
    for (const ShopShape& s : shops) std::printf(" %18s", s.label().c_str());
    std::printf("\n");
    for (size_t a = 0; a < all.front().size(); ++a) {
        std::printf("  %-54s", all.front()[a].action.c_str());
        for (const auto& shop : all) {
            if (a < shop.size() && shop[a].program >= 0) std::printf(" %18.2f", shop[a].program);
            else std::printf(" %18s", "-");
        }
        std::printf("\n");
    }
    // The peak of the whole run, and of each action that reads or writes
    // whole tables or files, while it ran.
    std::printf("\n== peak memory (MB) ==\n  %-58s %6ld\n", "the whole run", wholeRunPeakKb() / 1024);
    const char* const heavy[] = {"start", "dealings", "day close", "end of day", "cash box", "backup",
                                 "start of day", "save", "worker", "report"};
    for (size_t i = 0; i < all.size(); ++i)
        for (const Result& r : all[i]) {
            if (r.peakKb < 0) continue;
            bool listed = false;
            for (const char* h : heavy) listed = listed || r.action.find(h) != std::string::npos;
            if (listed)
                std::printf("  %-58s %6ld\n", (shops.size() > 1 ? shops[i].label() + ": " + r.action : r.action).c_str(),
                            r.peakKb / 1024);
        }
    std::fflush(stdout);
    if (peak == "none") return 0;
    std::printf("\n== peak memory of the program (MB) ==\n");
    for (const ShopShape& s : shops) {
        const long one = childPeak(argv[0], "form3", s);
        const long four = childPeak(argv[0], "all", s);
        std::printf("  %-28s Form3 open: %6ld   four invoice windows, groups chosen, a save and a search: %6ld\n",
                    s.label().c_str(), one / 1024, four / 1024);
        std::fflush(stdout);
    }
    return 0;
}
