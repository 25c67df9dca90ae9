#include "scale_shop.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <vector>

#include "app/system.h"
#include "data/schema.h"
#include "platform/clock.h"
#include "platform/machine.h"

namespace bench {

namespace fs = std::filesystem;

namespace {

// Bump when the shape of the generated shops changes.
constexpr int kShapeVersion = 1;

const mk::FakeClock& shopClock() {
    static const mk::FakeClock clock(mk::makeDateTime(2026, 12, 6, 9, 0, 0));
    return clock;
}

fs::path cacheRoot() {
    if (const char* dir = std::getenv("MAKHZAN_BENCH_CACHE")) return dir;
    return fs::temp_directory_path() / "makhzan-scale-bench";
}

void check(int rc, sqlite3* h, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(h));
}

void exec(sqlite3* h, const std::string& sql) {
    check(sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr), h, sql.c_str());
}

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

// A prepared insert over named columns.
class Insert {
public:
    Insert(sqlite3* h, const std::string& table, const std::vector<std::string>& columns) : h_(h) {
        std::string cols, params;
        for (size_t i = 0; i < columns.size(); ++i) {
            cols += (i ? ", " : "") + quoted(columns[i]);
            params += (i ? ", ?" : "?") + std::to_string(i + 1);
        }
        const std::string sql = "INSERT INTO " + quoted(table) + " (" + cols + ") VALUES (" + params + ")";
        check(sqlite3_prepare_v2(h, sql.c_str(), -1, &s_, nullptr), h, sql.c_str());
    }
    ~Insert() { sqlite3_finalize(s_); }
    Insert(const Insert&) = delete;
    Insert& operator=(const Insert&) = delete;

    void text(int i, const std::string& v) { sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT); }
    void real(int i, double v) { sqlite3_bind_double(s_, i, v); }
    void integer(int i, long long v) { sqlite3_bind_int64(s_, i, v); }
    void null(int i) { sqlite3_bind_null(s_, i); }
    void run() {
        check(sqlite3_step(s_), h_, "insert");
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
    }

private:
    sqlite3* h_;
    sqlite3_stmt* s_ = nullptr;
};

struct Item {
    std::string name;
    double buy, unit, group;
    long stock;
};

// Item i of group g, as the generator stores it.
Item itemOf(int g, long i) {
    return {itemName(g, i), 1.25 + static_cast<double>(i % 97), 2.0 + static_cast<double>(i % 89),
            1.5 + static_cast<double>(i % 83), 100000 + (i * 7919) % 5000};
}

std::string isoDay(int dayOfYear) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "2026-%02d-%02d", 1 + dayOfYear / 28 % 12, 1 + dayOfYear % 28);
    return buf;
}

// One invoice table: every field named as the windows' boxes fill it.
struct DocumentShape {
    const char* table;
    const char* partnerField;  // the chooser's field, or nullptr
    bool customers;            // partner from the customers, else suppliers
    const char* priceStem;     // where a line's unit price goes
    const char* cashField;     // the BOX reference the posting writes
    bool cashIn;
};

const DocumentShape kDocuments[] = {
    {"SALES_INVOICE", "SALES_MAN", true, "EXPIRY_ DATE", "OUT_INVOICE", true},
    {"SALES_INVO_GROUP", "SALES_MAN", true, "EXPIRY_ DATE", "RECEIVED_INV", true},
    {"RETURN_INVOICE", "BUYER", true, "PRICE", "RETURN_INV", false},
    {"BUY_INVOICE", "SALES_MAN", false, "EXPIRY_ DATE", "IN_INVOICE", false},
};

bool startsWith(const std::string& s, const char* stem, int& slot) {
    const size_t n = std::char_traits<char>::length(stem);
    if (s.size() <= n || s.compare(0, n, stem) != 0) return false;
    for (size_t i = n; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    slot = std::atoi(s.c_str() + n);
    return true;
}

void fillDocuments(sqlite3* h, const ShopShape& shape, const DocumentShape& doc, std::mt19937_64& rng,
                   Insert& box, double& balance, long& boxRows) {
    const mk::TableDef* def = nullptr;
    for (const mk::TableDef& t : mk::systemTables())
        if (t.name == doc.table) def = &t;
    std::vector<std::string> columns;
    for (const mk::FieldDef& f : def->fields) columns.push_back(f.name);
    Insert ins(h, doc.table, columns);
    const long perGroup = shape.items / kGroups;
    for (long n = 0; n < shape.invoiceRows; ++n) {
        const int g = static_cast<int>(rng() % kGroups);
        const int lines = 1 + static_cast<int>(rng() % 31);
        std::vector<Item> items;
        std::vector<double> quantities;
        double total = 0;
        for (int k = 0; k < lines; ++k) {
            items.push_back(itemOf(g, static_cast<long>(rng() % static_cast<unsigned long>(perGroup))));
            quantities.push_back(1 + static_cast<double>(rng() % 9));
            total += quantities.back() * std::round(items.back().unit);
        }
        const std::string day = isoDay(static_cast<int>(n % 336));
        const std::string partner =
            doc.customers ? customerName(static_cast<int>(rng() % kCustomers))
                          : supplierName(static_cast<int>(rng() % kSuppliers));
        for (size_t c = 0; c < columns.size(); ++c) {
            const std::string& name = columns[c];
            const int p = static_cast<int>(c) + 1;
            int slot = 0;
            const bool returns = std::string(doc.table) == "RETURN_INVOICE";
            if (name == "INVO_NO") ins.integer(p, invoiceNumber(n));
            else if (name == "DATES") ins.text(p, day);
            else if (name == "STATUS_SUB") ins.integer(p, 1);
            else if (name == "TOTAL_SUM") ins.real(p, total);
            else if (doc.partnerField && name == doc.partnerField) ins.text(p, partner);
            else if (name == "SALES_MAN" || name == "BUYER" || name == "NOTES") ins.text(p, ".");
            else if (startsWith(name, "MED_NAME", slot)) ins.text(p, slot <= lines ? items[slot - 1].name : ".");
            else if (startsWith(name, "QNTITY", slot)) ins.real(p, slot <= lines ? quantities[slot - 1] : 0);
            else if (startsWith(name, "SUM", slot))
                ins.real(p, slot <= lines ? quantities[slot - 1] * std::round(items[slot - 1].unit) : 0);
            else if (startsWith(name, "EXPIRY_ DATES", slot)) ins.text(p, "2007-01-01");
            else if (returns && startsWith(name, "EXPIRY_ DATE", slot)) ins.text(p, day);
            else if (startsWith(name, doc.priceStem, slot))
                ins.real(p, slot <= lines ? std::round(items[slot - 1].unit) : 0);
            else ins.null(p);
        }
        ins.run();
        // Its cash box row.
        balance += doc.cashIn ? total : -total;
        box.real(1, balance);
        box.real(doc.cashIn ? 2 : 3, total);
        box.text(4, day);
        const char* refs[] = {"OUT_INVOICE", "RETURN_INV", "RECEIVED_INV", "IN_INVOICE", "OUT_INV"};
        for (int r = 0; r < 5; ++r)
            if (std::string(refs[r]) == doc.cashField) box.integer(5 + r, invoiceNumber(n));
        box.run();
        ++boxRows;
    }
}

void generate(const ShopShape& shape, const fs::path& root) {
    const auto t0 = std::chrono::steady_clock::now();
    std::printf("  (making the shop %s in %s ...)\n", shape.label().c_str(), root.c_str());
    std::fflush(stdout);
    fs::remove_all(root);
    fs::create_directories(root);
    {
        mk::Machine machine(root);
        mk::prepareMachine(machine, shopClock());
        mk::Database& db = machine.database(mk::kDatabasePath);
        // Group tables through the program's own definition.
        machine.action([&] {
            for (int g = 0; g < kGroups; ++g) db.createTable(mk::itemGroupTableDef(groupName(g)));
        });
    }
    sqlite3* h = nullptr;
    check(sqlite3_open_v2((root / "C" / "INVENT.MDB").c_str(), &h, SQLITE_OPEN_READWRITE, nullptr), h, "open");
    exec(h, "PRAGMA journal_mode=MEMORY");
    exec(h, "PRAGMA synchronous=OFF");
    exec(h, "BEGIN");
    exec(h, "UPDATE DIM SET COMP=1, SECURITY=0, COMPANY_NAME='متجر القياس'");
    {
        Insert user(h, "Admin", {"UserID", "Password", "FirstName", "buy_inv", "sell-inv", "buyer", "seller",
                                 "store", "day", "month", "year", "emplyee", "sell-inv_group", "close",
                                 "return_invo"});
        user.text(1, kClerk);
        user.text(2, kClerkPassword);
        user.text(3, kClerk);
        for (int i = 4; i <= 15; ++i) user.integer(i, 1);
        user.run();
    }
    std::mt19937_64 rng(20261206);
    const long perGroup = shape.items / kGroups;
    {
        Insert group(h, "qqq", {"Q"});
        Insert day(h, "DAILY_TRADE", {"DESC", "STARY_DAY_Q", "OUTPUT", "INPUT", "END_DAY_Q"});
        for (int g = 0; g < kGroups; ++g) {
            group.text(1, groupName(g));
            group.run();
            Insert item(h, groupName(g), {"ITEM_NO", "DESC", "BUY_PRICE", "UNITE_PRICE", "GROUP_PRICE", "RETURN",
                                          "ONSTOCK", "DATES", "NOTES", "Q_ORDER", "DATES_SAVE", "RETURN_BUY"});
            // The starting row the groups window writes, then the items.
            for (long i = -1; i < perGroup; ++i) {
                const Item it = i < 0 ? Item{".", 0, 0, 0, 0} : itemOf(g, i);
                item.integer(1, i < 0 ? 0 : i + 1);
                item.text(2, it.name);
                item.real(3, it.buy);
                item.real(4, it.unit);
                item.real(5, it.group);
                item.integer(6, 0);
                item.integer(7, it.stock);
                item.text(8, "2007-10-10");
                item.text(9, ".");
                item.integer(10, i < 0 ? 0 : 5);
                // One item in a hundred expires within the asked period.
                item.text(11, i < 0 ? "2007-10-10" : i % 100 == 7 ? "2027-03-15" : "2029-06-30");
                item.integer(12, 0);
                item.run();
                // The start of day takes every row in.
                day.text(1, it.name);
                day.integer(2, it.stock);
                for (int k = 3; k <= 5; ++k) day.integer(k, 0);
                day.run();
            }
        }
    }
    // Customers and suppliers, each with a phone and a balance.
    auto partners = [h](const char* table, const char* nameField, int count, long phone, double money,
                        std::string (*name)(int)) {
        Insert partner(h, table, {nameField, "PHONE", "MONEY", "NOTE"});
        for (int i = 0; i < count; ++i) {
            partner.text(1, name(i));
            partner.text(2, std::to_string(phone + i));
            partner.real(3, i * money);
            partner.text(4, ".");
            partner.run();
        }
    };
    partners("BUYER", "BUYER", kCustomers, 2000000, 10.5, customerName);
    partners("SUPPLIER", "SALES_MAN", kSuppliers, 3000000, 3.25, supplierName);
    Insert box(h, "BOX", {"MONEY", "MONEY_RECIVED", "MONEY_OUT", "DATE", "OUT_INVOICE", "RETURN_INV",
                          "RECEIVED_INV", "IN_INVOICE", "OUT_INV"});
    double balance = 0;
    long boxRows = 1;
    for (const DocumentShape& doc : kDocuments) fillDocuments(h, shape, doc, rng, box, balance, boxRows);
    {
        Insert receipt(h, "REVEIVED_MONEY", {"INVO_NO", "MONEY", "DATES", "NOTE", "BUYER", "POSTED"});
        Insert payment(h, "MONEY_OUT", {"INVO_NO", "MONEY", "DATES", "NOTE", "WHO_GET", "POSTED"});
        for (long n = 0; n < kVouchers; ++n) {
            const double amount = 50 + static_cast<double>(n % 400);
            const std::string day = isoDay(static_cast<int>(n % 336));
            for (Insert* v : {&receipt, &payment}) {
                v->integer(1, invoiceNumber(n));
                v->real(2, amount);
                v->text(3, day);
                v->text(4, ".");
                v->text(5, v == &receipt ? customerName(static_cast<int>(rng() % kCustomers))
                                         : "مستلم " + std::to_string(n % 50));
                v->integer(6, 1);
                v->run();
                const bool in = v == &receipt;
                balance += in ? amount : -amount;
                box.real(1, balance);
                box.real(in ? 2 : 3, amount);
                box.text(4, day);
                box.integer(in ? 7 : 9, invoiceNumber(n));
                box.run();
                ++boxRows;
            }
        }
    }
    exec(h, "COMMIT");
    sqlite3_close(h);
    // Brought up to date by the program as its start does.
    {
        mk::Machine machine(root);
        mk::prepareMachine(machine, shopClock());
    }
    std::printf("  (made in %.1f s: %ld item rows, %ld BOX rows)\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(),
                shape.items + kGroups, boxRows);
    std::fflush(stdout);
}

}  // namespace

std::string ShopShape::label() const {
    auto scale = [](long n) {
        if (n >= 1000000 && n % 1000000 == 0) return std::to_string(n / 1000000) + "m";
        if (n >= 1000 && n % 1000 == 0) return std::to_string(n / 1000) + "k";
        return std::to_string(n);
    };
    return scale(items) + "-items-" + std::to_string(invoiceRows) + "-rows";
}

std::string groupName(int g) { return "group" + std::to_string(g); }

std::string itemName(int g, long i) { return "صنف " + std::to_string(g) + "-" + std::to_string(i); }

std::string customerName(int i) { return "عميل " + std::to_string(i); }

std::string supplierName(int i) { return "مورد " + std::to_string(i); }

long invoiceNumber(long n) { return 3 + n; }

fs::path cachedShop(const ShopShape& shape) {
    const fs::path root = cacheRoot() / ("v" + std::to_string(kShapeVersion) + "-" + shape.label());
    const fs::path done = root / "complete";
    if (!fs::exists(done)) {
        generate(shape, root);
        std::FILE* f = std::fopen(done.c_str(), "w");
        if (f) std::fclose(f);
    } else {
        // A cache made by an earlier build is brought up to date once.
        mk::Machine machine(root);
        mk::prepareMachine(machine, shopClock());
    }
    return root;
}

fs::path copyShop(const fs::path& cached, const std::string& tag) {
    const fs::path root = cacheRoot() / ("run-" + tag);
    fs::remove_all(root);
    fs::create_directories(root / "C");
    fs::create_directories(root / "D");
    const fs::path file = root / "C" / "INVENT.MDB";
    fs::copy_file(cached / "C" / "INVENT.MDB", file);
    // On the disk before the run starts, so no commit of the run pays for
    // writing out the copy (a commit syncs the whole file).
    for (const fs::path& p : {file, file.parent_path()}) {
        const int fd = ::open(p.c_str(), O_RDONLY);
        const bool synced = fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0) ::close(fd);
        if (!synced) throw std::runtime_error("the copy " + p.string() + " could not be synced");
    }
    return root;
}

}  // namespace bench
