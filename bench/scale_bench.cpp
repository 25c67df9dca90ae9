// The windows' work at shop scale: generated data of 10k, 100k and 1M items
// in 10 groups, 10,000 DAILY_TRADE rows and 50,000 sales invoices. Each
// action is pressed as a user would (real windows, buttons and menus) and
// timed against a twin doing the same logical work in plain SQL on its own
// connection, in the same run. Prints each ratio, the snapshot bytes per
// row and the peak memory of the process.
//
// Run: makhzan_scale_bench [--scale=10k,100k,1m] [--reps=5]
#include <malloc.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/system.h"
#include "data/schema.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/machine.h"
#include "platform/recordset.h"
#include "platform/report.h"
#include "reports/opener.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kGroups = 10;
constexpr int kDayRows = 10000;
constexpr int kInvoices = 50000;
constexpr int kSlotsFilled = 6;

// Message boxes the program showed during an action (a failed action shows one).
mk::ScriptedDialogs* watched = nullptr;
size_t seenMessages = 0;
void checkMessages(const char* action) {
    if (!watched) return;
    auto msgs = watched->messages();
    for (size_t i = seenMessages; i < msgs.size(); ++i)
        std::printf("  [%s] message: %s\n", action, msgs[i].prompt.c_str());
    seenMessages = msgs.size();
}

std::string groupName(int g) { return "group" + std::to_string(g); }
std::string itemName(int g, long i) { return "item " + std::to_string(g) + "-" + std::to_string(i); }

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Shop {
    fs::path root;
    long items = 0;
    mk::FakeClock clock{mk::makeDateTime(2026, 12, 6, 9, 0, 0)};
    std::unique_ptr<mk::Machine> machine;

    explicit Shop(long itemCount) : items(itemCount) {
        std::mt19937_64 rng(std::random_device{}());
        root = fs::temp_directory_path() / ("makhzan-scale-" + std::to_string(rng()));
        fs::create_directories(root);
        machine = std::make_unique<mk::Machine>(root);
        mk::prepareMachine(*machine, clock);
        fill();
    }
    ~Shop() {
        machine.reset();
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path file() const { return root / "C" / "INVENT.MDB"; }
    mk::Database& db() { return machine->database(mk::kDatabasePath); }

    void fill() {
        // Group tables go through the program's own definition.
        machine->action([&] {
            for (int g = 0; g < kGroups; ++g) db().createTable(mk::itemGroupTableDef(groupName(g)));
        });
        sqlite3* h = raw();
        auto exec = [h](const std::string& sql) { sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr); };
        exec("BEGIN");
        sqlite3_stmt* s = nullptr;
        for (int g = 0; g < kGroups; ++g) {
            exec("INSERT INTO qqq (Q) VALUES ('" + groupName(g) + "')");
            const std::string sql = "INSERT INTO " + groupName(g) +
                                    " (ITEM_NO, \"DESC\", BUY_PRICE, UNITE_PRICE, GROUP_PRICE, RETURN, "
                                    "ONSTOCK, DATES, NOTES, Q_ORDER, DATES_SAVE, RETURN_BUY) VALUES "
                                    "(?1, ?2, ?3, ?4, ?5, 0, ?6, '2025-01-10', '.', 5, ?7, 0)";
            sqlite3_prepare_v2(h, sql.c_str(), -1, &s, nullptr);
            const long n = items / kGroups;
            for (long i = 0; i < n; ++i) {
                const std::string name = itemName(g, i);
                sqlite3_bind_int64(s, 1, i);
                sqlite3_bind_text(s, 2, name.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_double(s, 3, 1.25 + static_cast<double>(i % 97));
                sqlite3_bind_double(s, 4, 1.75 + static_cast<double>(i % 89));
                sqlite3_bind_double(s, 5, 1.5 + static_cast<double>(i % 83));
                sqlite3_bind_int64(s, 6, i % 500);
                // One item in a hundred expires within the asked period.
                const char* expiry = i % 100 == 7 ? "2027-03-15" : "2029-06-30";
                sqlite3_bind_text(s, 7, expiry, -1, SQLITE_STATIC);
                sqlite3_step(s);
                sqlite3_reset(s);
            }
            sqlite3_finalize(s);
        }
        sqlite3_prepare_v2(h, "INSERT INTO DAILY_TRADE (\"DESC\", STARY_DAY_Q) VALUES (?1, ?2)", -1, &s, nullptr);
        for (int i = 0; i < kDayRows; ++i) {
            const std::string name = itemName(i % kGroups, (i * 7919L) % (items / kGroups));
            sqlite3_bind_text(s, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(s, 2, i % 300);
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_finalize(s);
        for (int i = 0; i < 200; ++i) {
            exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('buyer " + std::to_string(i) + "', " +
                 std::to_string(i * 10.5) + ")");
            exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('supplier " + std::to_string(i) +
                 "', " + std::to_string(i * 3.25) + ")");
        }
        // Invoices: a few line slots filled, the rest Null.
        std::string cols = "INVO_NO, DATES, SALES_MAN, BUYER, TOTAL_SUM, TOTAL_SUM_SELL, STATUS_SUB";
        std::string params = "?1, '2026-05-05', ?2, 'cash', ?3, ?3, 1";
        int p = 3;
        for (int k = 1; k <= kSlotsFilled; ++k) {
            cols += ", MED_NAME" + std::to_string(k) + ", QNTITY" + std::to_string(k) + ", SUM" +
                    std::to_string(k);
            for (int j = 0; j < 3; ++j) params += ", ?" + std::to_string(++p);
        }
        sqlite3_prepare_v2(h, ("INSERT INTO SALES_INVOICE (" + cols + ") VALUES (" + params + ")").c_str(),
                           -1, &s, nullptr);
        for (int i = 0; i < kInvoices; ++i) {
            sqlite3_bind_int(s, 1, i % 30000);
            sqlite3_bind_text(s, 2, ("customer " + std::to_string(i % 150)).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(s, 3, 100.5 + i % 1000);
            for (int k = 0; k < kSlotsFilled; ++k) {
                const std::string name = itemName((i + k) % kGroups, (i * 31L + k) % 1000);
                sqlite3_bind_text(s, 4 + 3 * k, name.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_double(s, 5 + 3 * k, 1 + (i + k) % 7);
                sqlite3_bind_double(s, 6 + 3 * k, 12.5 * (1 + (i + k) % 7));
            }
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_finalize(s);
        exec("UPDATE DIM SET COMP=1, SECURITY=0, COMPANY_NAME='scale'");
        exec("COMMIT");
        sqlite3_close(h);
        machine->database(mk::kDatabasePath).refreshRecordsets();
    }

    sqlite3* raw() {
        sqlite3* h = nullptr;
        sqlite3_open_v2(file().c_str(), &h, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(h, 5000);
        return h;
    }
};

// A program run: an application on the shop's file with scripted answers.
struct Run {
    mk::ScriptedDialogs dialogs;
    mk::Application app;
    explicit Run(Shop& shop) : app(*shop.machine, shop.clock, dialogs) {
        mk::registerWindows(app);
        app.setMainForm("Form1");
        watched = &dialogs;
        seenMessages = 0;
    }
    ~Run() { watched = nullptr; }
    void startToMain() {
        mk::Form& start = app.form("Form16");
        app.show(start);
        app.click(start.control("Command1", -1));
    }
};

void sqlExec(sqlite3* h, const std::string& sql) {
    char* msg = nullptr;
    if (sqlite3_exec(h, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
        std::fprintf(stderr, "sql: %s: %s\n", sql.c_str(), msg ? msg : "?");
        sqlite3_free(msg);
    }
}

double sqlDouble(sqlite3* h, const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h, sql.c_str(), -1, &s, nullptr);
    double d = 0;
    if (sqlite3_step(s) == SQLITE_ROW) d = sqlite3_column_double(s, 0);
    sqlite3_finalize(s);
    return d;
}

// The totals in SQL.
void sqlTotals(sqlite3* h) {
    volatile double sink = sqlDouble(h, "SELECT total(MONEY) FROM BUYER") +
                           sqlDouble(h, "SELECT total(MONEY) FROM SUPPLIER") +
                           sqlDouble(h, "SELECT MONEY FROM BOX ORDER BY rowid DESC LIMIT 1");
    for (int g = 0; g < kGroups; ++g)
        sink = sink + sqlDouble(h, "SELECT total(ONSTOCK*UNITE_PRICE) + total(ONSTOCK*BUY_PRICE) FROM " +
                                       groupName(g));
    (void)sink;
}

struct Result {
    std::string action;
    double layer = 0, sql = 0;
};

template <class Setup, class Act, class Twin>
Result measure(const char* name, int reps, Setup setup, Act act, Twin twin) {
    std::vector<double> a, b;
    for (int r = 0; r < reps; ++r) {
        setup();
        auto t0 = Clock::now();
        act();
        a.push_back(ms(Clock::now() - t0));
        if (r == 0) checkMessages(name);
        setup();
        t0 = Clock::now();
        twin();
        b.push_back(ms(Clock::now() - t0));
    }
    Result res{name, median(a), median(b)};
    std::printf("  %-28s %10.1f ms   SQL %9.1f ms   ratio %6.2f\n", name, res.layer, res.sql,
                res.sql > 0 ? res.layer / res.sql : 0.0);
    std::fflush(stdout);
    return res;
}

size_t heapInUse() {
    struct mallinfo2 mi = mallinfo2();
    return mi.uordblks + mi.hblkhd;
}

long peakRssKb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

void runScale(long items, int reps) {
    std::printf("\n== %ld items (%d groups), %d DAILY_TRADE rows, %d invoices ==\n", items, kGroups,
                kDayRows, kInvoices);
    std::fflush(stdout);
    auto t0 = Clock::now();
    Shop shop(items);
    std::printf("  (data made in %.1f s)\n", ms(Clock::now() - t0) / 1000);
    sqlite3* h = shop.raw();
    const std::string lastGroup = groupName(kGroups - 1);
    const std::string lastItem = itemName(kGroups - 1, items / kGroups - 1);

    // Start to the main window with its totals.
    {
        std::unique_ptr<Run> run;
        measure(
            "start to main window", reps, [&] { run.reset(); run = std::make_unique<Run>(shop); },
            [&] { run->startToMain(); }, [&] { sqlTotals(h); });
        run.reset();
    }

    // Start of day: the new-day button appends one DAILY_TRADE row per item.
    {
        std::unique_ptr<Run> run;
        auto setup = [&] {
            run.reset();
            sqlExec(h, "DELETE FROM DAILY_TRADE WHERE rowid > " + std::to_string(kDayRows));
            sqlExec(h, "UPDATE Admin SET enter=1 WHERE UserID='529'");
            run = std::make_unique<Run>(shop);
            shop.db().refreshRecordsets();
        };
        measure(
            "start of day", reps, setup,
            [&] {
                mk::Form& start = run->app.form("Form16");
                run->app.show(start);
                run->app.click(start.control("Command2", -1));
            },
            [&] {
                sqlExec(h, "BEGIN");
                sqlExec(h, "UPDATE Admin SET enter=0 WHERE UserID='529'");
                sqlTotals(h);
                for (int g = 0; g < kGroups; ++g)
                    sqlExec(h, "INSERT INTO DAILY_TRADE (\"DESC\", STARY_DAY_Q) SELECT \"DESC\", ONSTOCK FROM " +
                                   groupName(g) + " ORDER BY rowid");
                sqlExec(h, "COMMIT");
            });
        run.reset();
        sqlExec(h, "DELETE FROM DAILY_TRADE WHERE rowid > " + std::to_string(kDayRows));
        sqlExec(h, "UPDATE Admin SET enter=0 WHERE UserID='529'");
        shop.db().refreshRecordsets();
    }

    // End of day: the reports menu's daily movement (pass, then the report).
    {
        Run run(shop);
        run.startToMain();
        mk::Form& main = run.app.form("Form1");
        measure(
            "end of day + report", reps, [] {},
            [&] { run.app.menuClick(main.menu("inventory_rep")); },
            [&] {
                sqlExec(h, "BEGIN");
                // Day rows by name, the stock of each name, then one update per row.
                std::unordered_map<std::string, long long> stock;
                std::vector<std::pair<long long, std::string>> days;
                sqlite3_stmt* s = nullptr;
                sqlite3_prepare_v2(h, "SELECT rowid, \"DESC\" FROM DAILY_TRADE", -1, &s, nullptr);
                while (sqlite3_step(s) == SQLITE_ROW) {
                    days.emplace_back(sqlite3_column_int64(s, 0),
                                      reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
                    stock.emplace(days.back().second, -1);
                }
                sqlite3_finalize(s);
                for (int g = 0; g < kGroups; ++g) {
                    sqlite3_prepare_v2(h, ("SELECT \"DESC\", ONSTOCK FROM " + groupName(g)).c_str(), -1, &s, nullptr);
                    while (sqlite3_step(s) == SQLITE_ROW) {
                        auto it = stock.find(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
                        if (it != stock.end()) it->second = sqlite3_column_int64(s, 1);
                    }
                    sqlite3_finalize(s);
                }
                sqlite3_prepare_v2(h, "UPDATE DAILY_TRADE SET END_DAY_Q=?1 WHERE rowid=?2", -1, &s, nullptr);
                for (auto& [rowid, name] : days) {
                    const long long q = stock[name];
                    if (q < 0) continue;
                    sqlite3_bind_int64(s, 1, q);
                    sqlite3_bind_int64(s, 2, rowid);
                    sqlite3_step(s);
                    sqlite3_reset(s);
                }
                sqlite3_finalize(s);
                sqlExec(h, "COMMIT");
                mk::renderReport(*mk::findReportLayout("DataReport10"), shop.db(), shop.clock.now());
            });
    }

    // Item search: the last item of the last group.
    {
        Run run(shop);
        run.startToMain();
        mk::Form& main = run.app.form("Form1");
        run.app.menuClick(main.menu("store_functions"));
        run.app.choose(main.dataCombo("DataCombo3", -1), lastGroup);
        measure(
            "item search (last item)", reps,
            [&] {
                run.dialogs.type(lastItem);
            },
            [&] { run.app.menuClick(main.menu("earchby_name")); },
            [&] {
                sqlite3_stmt* s = nullptr;
                sqlite3_prepare_v2(h, ("SELECT rowid FROM " + lastGroup + " WHERE \"DESC\"=?1 ORDER BY rowid LIMIT 1").c_str(),
                                   -1, &s, nullptr);
                sqlite3_bind_text(s, 1, lastItem.c_str(), -1, SQLITE_STATIC);
                sqlite3_step(s);
                sqlite3_finalize(s);
            });
        run.dialogs.clear();

        // The sales movement of the item found (the worker of Command6).
        measure(
            "sales movement worker", reps,
            [&] {
                if (mk::Form* f = run.app.loadedForm("Form29")) run.app.unload(*f);
            },
            [&] { run.app.click(main.control("Command6", -1)); },
            [&] {
                std::string where;
                for (int k = 1; k <= 31; ++k) where += (k > 1 ? "," : "") + std::string("MED_NAME") + std::to_string(k);
                sqlite3_stmt* s = nullptr;
                sqlite3_prepare_v2(h, ("SELECT * FROM SALES_INVOICE WHERE ?1 IN (" + where + ") ORDER BY rowid").c_str(),
                                   -1, &s, nullptr);
                sqlite3_bind_text(s, 1, lastItem.c_str(), -1, SQLITE_STATIC);
                long n = 0;
                while (sqlite3_step(s) == SQLITE_ROW) ++n;
                sqlite3_finalize(s);
            });
    }

    // Expiry worker over every group.
    {
        Run run(shop);
        run.startToMain();
        mk::Form& main = run.app.form("Form1");
        measure(
            "expiry worker", reps,
            [&] {
                run.dialogs.type("01/01/2027");
                run.dialogs.type("31/12/2027");
            },
            [&] { run.app.menuClick(main.menu("date_report")); },
            [&] {
                sqlExec(h, "BEGIN");
                for (int g = 0; g < kGroups; ++g)
                    sqlExec(h, "INSERT INTO VALIDITY_DATE (QQQ, SUB_TYPE, QUANTITY, \"DATE\") SELECT '" +
                                   groupName(g) + "', \"DESC\", ONSTOCK, DATES_SAVE FROM " + groupName(g) +
                                   " WHERE DATES_SAVE >= '2027-01-01' AND DATES_SAVE < '2028-01-01'");
                sqlExec(h, "ROLLBACK");
            });
    }

    // Report layout: every page of the item table of the last group.
    {
        mk::ReportLayout layout = *mk::findReportLayout("DataReport10");
        layout.table = lastGroup;
        layout.command = lastGroup;
        for (auto* band : {&layout.detail})
            for (auto& it : band->items)
                if (it.kind == mk::ReportItem::Kind::Field) it.text = "DESC";
        size_t pages = 0;
        measure(
            "report layout (group table)", std::min(reps, 3), [] {},
            [&] { pages = mk::renderReport(layout, shop.db(), shop.clock.now()).pages.size(); },
            [&] {
                sqlite3_stmt* s = nullptr;
                // The rows of the report as texts.
                std::vector<std::string> texts;
                sqlite3_prepare_v2(h, ("SELECT \"DESC\" FROM " + lastGroup + " ORDER BY rowid").c_str(),
                                   -1, &s, nullptr);
                while (sqlite3_step(s) == SQLITE_ROW)
                    texts.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
                sqlite3_finalize(s);
            });
        std::printf("  (%zu pages)\n", pages);
    }

    // Snapshot bytes per row.
    for (const std::string& table : {lastGroup, std::string("SALES_INVOICE")}) {
        malloc_trim(0);
        const size_t before = heapInUse();
        auto rs = std::make_unique<mk::Recordset>(shop.db(), table);
        rs->moveFirst();
        const size_t after = heapInUse();
        const long rows = rs->recordCount();
        std::printf("  snapshot %-15s %8ld rows  %7.0f bytes/row\n", table.c_str(), rows,
                    rows ? static_cast<double>(after - before) / static_cast<double>(rows) : 0.0);
    }
    sqlite3_close(h);
    std::printf("  peak memory of the process so far: %.0f MB\n", static_cast<double>(peakRssKb()) / 1024);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<long> scales = {10000, 100000, 1000000};
    int reps = 5;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--reps=", 0) == 0) reps = std::max(1, std::atoi(a.c_str() + 7));
        if (a.rfind("--scale=", 0) == 0) {
            scales.clear();
            std::string list = a.substr(8);
            size_t pos = 0;
            while (pos <= list.size()) {
                size_t comma = list.find(',', pos);
                std::string s = list.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
                long mult = 1;
                if (!s.empty() && (s.back() == 'k' || s.back() == 'K')) mult = 1000, s.pop_back();
                if (!s.empty() && (s.back() == 'm' || s.back() == 'M')) mult = 1000000, s.pop_back();
                if (!s.empty()) scales.push_back(std::atol(s.c_str()) * mult);
                if (comma == std::string::npos) break;
                pos = comma + 1;
            }
        }
    }
    std::printf("median of %d; ratio = program / plain SQL twin (aim: under 3; totals and start "
                "of day under 2)\n",
                reps);
    for (long n : scales) runScale(n, reps);
    return 0;
}
