// The database layer against a bare SQLite loop doing the same rows in one
// transaction: binding a 50,000-row item table, walking it writing every
// row back unchanged, walking it changing one field per row, and appending
// 50,000 rows in one user action. Prints the ratio of each pair.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>

#include "data/schema.h"
#include "platform/machine.h"
#include "platform/recordset.h"
#include "store/compare.h"

namespace {

namespace fs = std::filesystem;
constexpr int kRows = 50000;

struct Fixture {
    fs::path root;
    std::unique_ptr<mk::Machine> machine;
    mk::Database* db = nullptr;

    Fixture() {
        std::mt19937_64 rng(std::random_device{}());
        root = fs::temp_directory_path() / ("makhzan-bench-" + std::to_string(rng()));
        machine = std::make_unique<mk::Machine>(root);
        machine->ensureDrive('C');
        db = &machine->openOrCreateDatabase("C:\\BENCH.MDB");
    }
    ~Fixture() {
        machine.reset();
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    void makeItems(const std::string& name, int rows) {
        machine->action([&] {
            db->createTable(mk::itemGroupTableDef(name));
            auto st = db->prepare("INSERT INTO " + mk::quoteName(name) +
                                  " (ITEM_NO, \"DESC\", BUY_PRICE, UNITE_PRICE, GROUP_PRICE, "
                                  "ONSTOCK, DATES, NOTES) VALUES (?1, ?2, 1.5, 2.5, 2.0, ?1, "
                                  "'2007-10-10', '.')");
            for (int i = 0; i < rows; ++i) {
                db->beginWrite();
                st->bindInt(1, i);
                st->bindText(2, "item " + std::to_string(i));
                st->step();
                sqlite3_reset(st->raw());
            }
        });
    }
    sqlite3* raw() {
        sqlite3* h = nullptr;
        sqlite3_open_v2((root / "C" / "BENCH.MDB").c_str(), &h, SQLITE_OPEN_READWRITE, nullptr);
        return h;
    }
};

Fixture& fixture() {
    static Fixture f;
    static bool ready = false;
    if (!ready) {
        f.makeItems("items", kRows);
        ready = true;
    }
    return f;
}

void BM_Bind_Layer(benchmark::State& state) {
    auto& f = fixture();
    for (auto _ : state) {
        mk::Recordset rs(*f.db, "items");
        benchmark::DoNotOptimize(rs.recordCount());
    }
}

void BM_Bind_Bare(benchmark::State& state) {
    auto& f = fixture();
    sqlite3* h = f.raw();
    for (auto _ : state) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(h, "SELECT rowid, * FROM items ORDER BY rowid", -1, &s, nullptr);
        long n = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                if (sqlite3_column_type(s, c) == SQLITE_TEXT)
                    benchmark::DoNotOptimize(std::string(
                        reinterpret_cast<const char*>(sqlite3_column_text(s, c))));
                else
                    benchmark::DoNotOptimize(sqlite3_column_double(s, c));
            }
            ++n;
        }
        sqlite3_finalize(s);
        benchmark::DoNotOptimize(n);
    }
    sqlite3_close(h);
}

void BM_WalkUnchanged_Layer(benchmark::State& state) {
    auto& f = fixture();
    for (auto _ : state) {
        f.machine->action([&] {
            mk::Recordset rs(*f.db, "items");
            for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
                rs.setField("ONSTOCK", rs.field("ONSTOCK"));
                rs.update();
            }
        });
    }
}

void BM_WalkUnchanged_Bare(benchmark::State& state) {
    auto& f = fixture();
    sqlite3* h = f.raw();
    for (auto _ : state) {
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* s = nullptr;
        sqlite3_stmt* u = nullptr;
        sqlite3_prepare_v2(h, "SELECT rowid, ONSTOCK FROM items ORDER BY rowid", -1, &s, nullptr);
        sqlite3_prepare_v2(h, "UPDATE items SET ONSTOCK=?1 WHERE rowid=?2", -1, &u, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            sqlite3_bind_int64(u, 1, sqlite3_column_int64(s, 1));
            sqlite3_bind_int64(u, 2, sqlite3_column_int64(s, 0));
            sqlite3_step(u);
            sqlite3_reset(u);
        }
        sqlite3_finalize(s);
        sqlite3_finalize(u);
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_close(h);
}

void BM_WalkChange_Layer(benchmark::State& state) {
    auto& f = fixture();
    int round = 0;
    for (auto _ : state) {
        ++round;
        f.machine->action([&] {
            mk::Recordset rs(*f.db, "items");
            for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
                rs.setField("Q_ORDER", round);
                rs.update();
            }
        });
    }
}

void BM_WalkChange_Bare(benchmark::State& state) {
    auto& f = fixture();
    sqlite3* h = f.raw();
    int round = 0;
    for (auto _ : state) {
        ++round;
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* s = nullptr;
        sqlite3_stmt* u = nullptr;
        sqlite3_prepare_v2(h, "SELECT rowid FROM items ORDER BY rowid", -1, &s, nullptr);
        sqlite3_prepare_v2(h, "UPDATE items SET Q_ORDER=?1 WHERE rowid=?2", -1, &u, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            sqlite3_bind_int(u, 1, round);
            sqlite3_bind_int64(u, 2, sqlite3_column_int64(s, 0));
            sqlite3_step(u);
            sqlite3_reset(u);
        }
        sqlite3_finalize(s);
        sqlite3_finalize(u);
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_close(h);
}

// Each run makes tables of its own: repetitions call a benchmark again, so
// the round number lives across calls.
int appendRound = 0;

void BM_Append_Layer(benchmark::State& state) {
    auto& f = fixture();
    int& round = appendRound;
    for (auto _ : state) {
        std::string table = "append_layer_" + std::to_string(++round);
        state.PauseTiming();
        f.machine->action([&] { f.db->createTable(mk::itemGroupTableDef(table)); });
        state.ResumeTiming();
        f.machine->action([&] {
            mk::Recordset rs(*f.db, table);
            for (int i = 0; i < kRows; ++i) {
                rs.addNew();
                rs.setField("ITEM_NO", i);
                rs.setField("DESC", ".");
                rs.setField("BUY_PRICE", 0);
                rs.setField("UNITE_PRICE", 0);
                rs.setField("GROUP_PRICE", 0);
                rs.update();
            }
        });
    }
}

void BM_Append_Bare(benchmark::State& state) {
    auto& f = fixture();
    int& round = appendRound;
    for (auto _ : state) {
        std::string table = "append_bare_" + std::to_string(++round);
        state.PauseTiming();
        f.machine->action([&] { f.db->createTable(mk::itemGroupTableDef(table)); });
        sqlite3* h = f.raw();
        state.ResumeTiming();
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(h,
                           ("INSERT INTO " + table +
                            " (ITEM_NO, \"DESC\", BUY_PRICE, UNITE_PRICE, GROUP_PRICE) VALUES "
                            "(?1, '.', 0, 0, 0)")
                               .c_str(),
                           -1, &s, nullptr);
        for (int i = 0; i < kRows; ++i) {
            sqlite3_bind_int(s, 1, i);
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_finalize(s);
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        state.PauseTiming();
        sqlite3_close(h);
        state.ResumeTiming();
    }
}

// The product list compare tool over two 3000-row lists sharing half their
// names: one walk over each list, not one per pair.
void BM_CompareLists(benchmark::State& state) {
    auto& f = fixture();
    constexpr int kListRows = 3000;
    if (!f.db->findTable("n1")) {
        f.machine->action([&] {
            using T = mk::FieldType;
            auto field = [](const char* name, T type) {
                return mk::FieldDef{name, type, 0, {}, false};
            };
            for (const char* list : {"n1", "n2"}) {
                f.db->createTable({list,
                                   {field("DESC", T::Text), field("BUY_PRICE", T::Double),
                                    field("itm_vendor_id", T::Int16),
                                    field("itm_2co_id", T::Int16),
                                    field(list[1] == '1' ? "desc_flag" : "item_flag", T::Int16)},
                                   "",
                                   ""});
                auto st = f.db->prepare(std::string("INSERT INTO ") + list +
                                        " (\"DESC\", BUY_PRICE, itm_vendor_id, itm_2co_id) "
                                        "VALUES (?1, 2.5, 7, 8)");
                const int offset = list[1] == '1' ? 0 : kListRows / 2;
                for (int i = 0; i < kListRows; ++i) {
                    f.db->beginWrite();
                    st->bindText(1, "item " + std::to_string(i + offset));
                    st->step();
                    sqlite3_reset(st->raw());
                }
            }
        });
    }
    for (auto _ : state) {
        f.machine->action([&] {
            mk::Recordset n1(*f.db, "n1"), n2(*f.db, "n2");
            mk::compareProductLists(n1, n2);
        });
    }
}

BENCHMARK(BM_Bind_Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bind_Bare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkUnchanged_Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkUnchanged_Bare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkChange_Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkChange_Bare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Append_Layer)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Append_Bare)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CompareLists)->Unit(benchmark::kMillisecond);

// Keeps each run's time per iteration to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions the median stands for the pair; the other
        // aggregates (mean, deviation, spread) are not times to compare.
        for (const Run& r : runs) {
            const std::string& name = r.run_name.function_name;
            if (r.run_type == Run::RT_Aggregate) {
                if (r.aggregate_name == "median") {
                    times[name] = r.GetAdjustedRealTime();
                    medians.insert(name);
                }
            } else if (!medians.count(name)) {
                times[name] = r.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> times;
    std::set<std::string> medians;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nratio layer / bare SQLite (aim: under 3)\n");
    for (const char* name : {"Bind", "WalkUnchanged", "WalkChange", "Append"}) {
        auto layer = reporter.times.find(std::string("BM_") + name + "_Layer");
        auto bare = reporter.times.find(std::string("BM_") + name + "_Bare");
        if (layer == reporter.times.end() || bare == reporter.times.end()) continue;
        std::printf("  %-14s %6.2f\n", name, layer->second / bare->second);
    }
    benchmark::Shutdown();
    return 0;
}
