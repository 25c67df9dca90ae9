// Saving a 31-line retail invoice through its window against a 100,000-item
// group and 10,000 DAILY_TRADE rows, and the same writes in plain SQL in one
// transaction. The second benchmark reports the ratio (aim: under 3).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "app/system.h"
#include "data/schema.h"
#include "platform/application.h"
#include "invoices/invoice_window.h"

namespace {

namespace fs = std::filesystem;
constexpr int kItems = 100000;
constexpr int kDayRows = 10000;
constexpr int kLines = 31;

struct InvoiceFixture {
    fs::path root;
    mk::FakeClock clock{mk::makeDateTime(2026, 12, 6, 9, 0, 0)};
    std::unique_ptr<mk::Machine> machine;
    mk::ScriptedDialogs dialogs;  // OK to the message, No to another invoice
    std::unique_ptr<mk::Application> app;

    InvoiceFixture() {
        std::mt19937_64 rng(std::random_device{}());
        root = fs::temp_directory_path() / ("makhzan-bench-" + std::to_string(rng()));
        machine = std::make_unique<mk::Machine>(root);
        mk::prepareMachine(*machine, clock);
        mk::Database& db = machine->database(mk::kDatabasePath);
        machine->action([&] {
            db.createTable(mk::itemGroupTableDef("G"));
            db.beginWrite();
            db.exec("INSERT INTO qqq (Q) VALUES ('G')");
            auto items = db.prepare("INSERT INTO G (\"DESC\", ONSTOCK, UNITE_PRICE, BUY_PRICE) "
                                    "VALUES (?1, 1000000, 3, 2)");
            for (int i = 0; i < kItems; ++i) {
                items->bindText(1, "item " + std::to_string(i));
                items->step();
                sqlite3_reset(items->raw());
            }
            auto day = db.prepare("INSERT INTO DAILY_TRADE (\"DESC\", STARY_DAY_Q) VALUES (?1, 0)");
            for (int i = 0; i < kDayRows; ++i) {
                day->bindText(1, "item " + std::to_string(i * (kItems / kDayRows)));
                day->step();
                sqlite3_reset(day->raw());
            }
        });
        app = std::make_unique<mk::Application>(*machine, clock, dialogs);
        mk::registerWindows(*app);
        app->setMainForm("Form1");
        app->form("Form1");
        mk::Form& f = app->form("Form3");
        app->show(f);
        app->choose(f.dataCombo("DataCombo3"), "G");
    }
    ~InvoiceFixture() {
        app.reset();
        machine.reset();
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    // The items of one invoice, spread over the group (and the day rows).
    static std::string item(int line, int round) {
        return "item " + std::to_string((line * 3217 + round * 7) % kItems / 10 * 10);
    }
};

InvoiceFixture& fixture() {
    static InvoiceFixture f;
    return f;
}

double layerSeconds = 0;
long layerRounds = 0;

void BM_RetailSave_Window(benchmark::State& state) {
    auto& f = fixture();
    auto& window = static_cast<mk::InvoiceWindow&>(f.app->form("Form3"));
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.app->click(*window.cmdaction[0]);  // add
        for (int i = 0; i < kLines; ++i) {
            auto& row = window.rows[static_cast<size_t>(i)];
            row.item->setText(InvoiceFixture::item(i, round));
            row.quantity->setText("2");
            row.price->setText("3");
        }
        ++round;
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        f.app->click(*window.cmdaction[0]);  // save and post
        layerSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++layerRounds;
    }
    if (window.cmdaction[0]->caption != "&add") state.SkipWithError("the save was refused");
}

void BM_RetailSave_PlainSql(benchmark::State& state) {
    auto& f = fixture();
    const fs::path file = f.root / "C" / "INVENT.MDB";
    sqlite3* h = nullptr;
    sqlite3_open_v2(file.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr);
    auto prepare = [h](const char* sql) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(h, sql, -1, &s, nullptr);
        return s;
    };
    std::string insertSql = "INSERT INTO SALES_INVOICE (INVO_NO, DATES, TOTAL_SUM, STATUS_SUB";
    std::string values = ") VALUES (?1, 46362, ?2, 1";
    int p = 3;
    for (int n = 1; n <= 32; ++n) {
        const std::string s = std::to_string(n);
        insertSql += ", MED_NAME" + s + ", QNTITY" + s + ", \"EXPIRY_ DATE" + s + "\", SUM" + s;
        for (int k = 0; k < 4; ++k) values += ", ?" + std::to_string(p++);
    }
    sqlite3_stmt* insert = prepare((insertSql + values + ")").c_str());
    sqlite3_stmt* stock = prepare(
        "UPDATE G SET ONSTOCK=ONSTOCK-?1 WHERE rowid=(SELECT rowid FROM G WHERE \"DESC\"=?2 "
        "ORDER BY rowid LIMIT 1)");
    sqlite3_stmt* day = prepare(
        "UPDATE DAILY_TRADE SET OUTPUT=OUTPUT+?1 WHERE rowid=(SELECT rowid FROM DAILY_TRADE "
        "WHERE \"DESC\"=?2 ORDER BY rowid LIMIT 1)");
    sqlite3_stmt* box = prepare(
        "INSERT INTO BOX (MONEY, MONEY_RECIVED, DATE, OUT_INVOICE) SELECT MONEY+?1, ?1, 46362, "
        "?2 FROM BOX ORDER BY rowid DESC LIMIT 1");
    int round = 0;
    double bareSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        const int number = 20000 + round;
        sqlite3_bind_int(insert, 1, number);
        sqlite3_bind_double(insert, 2, kLines * 6.0);
        p = 3;
        for (int i = 0; i < 32; ++i) {
            const std::string name = i < kLines ? InvoiceFixture::item(i, round) : ".";
            sqlite3_bind_text(insert, p++, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, p++, i < kLines ? 2 : 0);
            sqlite3_bind_double(insert, p++, i < kLines ? 3 : 0);
            sqlite3_bind_double(insert, p++, i < kLines ? 6 : 0);
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
        for (int i = 0; i < kLines; ++i) {
            const std::string name = InvoiceFixture::item(i, round);
            for (sqlite3_stmt* s : {stock, day}) {
                sqlite3_bind_int(s, 1, 2);
                sqlite3_bind_text(s, 2, name.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_step(s);
                sqlite3_reset(s);
            }
        }
        sqlite3_bind_double(box, 1, kLines * 6.0);
        sqlite3_bind_int(box, 2, number);
        sqlite3_step(box);
        sqlite3_reset(box);
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        bareSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++round;
    }
    for (sqlite3_stmt* s : {insert, stock, day, box}) sqlite3_finalize(s);
    sqlite3_close(h);
    // The window's save against these writes, per invoice.
    if (layerRounds > 0 && round > 0 && bareSeconds > 0)
        state.counters["window_over_sql"] = (layerSeconds / static_cast<double>(layerRounds)) /
                                            (bareSeconds / static_cast<double>(round));
}

BENCHMARK(BM_RetailSave_Window)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RetailSave_PlainSql)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
