#include <gtest/gtest.h>

#include <random>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

// One row of a product list: DESC, BUY_PRICE, the two identifiers, the flag.
struct Product {
    Value desc, price, vendor, twoCo, flag;
    bool operator==(const Product&) const = default;
};
using List = std::vector<Product>;

Value textOrNull(const std::string& s, bool null) { return null ? Value::null() : Value(s); }

// The tool as first written: every n2 row against every n1 row in table
// order, except that empty names never match and a Null source value is
// not copied.
void referenceCompare(List& n1, List& n2) {
    for (Product& b : n2)
        for (Product& a : n1) {
            if (toText(a.desc).empty() || toText(a.desc) != toText(b.desc)) continue;
            if (!b.price.isNull()) a.price = Value(toDouble(Value(toText(b.price))));
            if (!a.vendor.isNull()) b.vendor = Value::i16(toInt16(a.vendor));
            if (!a.twoCo.isNull()) b.twoCo = Value::i16(toInt16(a.twoCo));
            b.flag = Value::i16(2);
            a.flag = Value::i16(1);
        }
}

class CompareTest : public ::testing::Test {
protected:
    CompareTest() {
        setProfile(h, "ACME");
        openStore(h);
    }
    static std::string sql(const Value& v) {
        if (v.isNull()) return "NULL";
        if (v.isText()) return "'" + v.asTextRaw() + "'";
        return toText(v);
    }
    void store(const char* table, const char* flag, const List& rows) {
        for (const Product& p : rows)
            h.exec(std::string("INSERT INTO ") + table + " (\"DESC\", BUY_PRICE, itm_vendor_id, " +
                   "itm_2co_id, " + flag + ") VALUES (" + sql(p.desc) + ", " + sql(p.price) + ", " +
                   sql(p.vendor) + ", " + sql(p.twoCo) + ", " + sql(p.flag) + ")");
    }
    List read(const char* table, const char* flag) {
        List out;
        auto desc = h.column(table, "DESC"), price = h.column(table, "BUY_PRICE"),
             vendor = h.column(table, "itm_vendor_id"), twoCo = h.column(table, "itm_2co_id"),
             flags = h.column(table, flag);
        for (size_t i = 0; i < desc.size(); ++i)
            out.push_back({desc[i], price[i], vendor[i], twoCo[i], flags[i]});
        return out;
    }
    void compare() {
        h.menu("Form1", "new");
        h.click("Form56", "Command1");
    }
    Harness h;
};

TEST_F(CompareTest, GivesTheRowsOfTheFullPairwiseWalk) {
    std::mt19937 rng(18);
    const char* names[] = {"bolt", "Bolt", "bolt ", "nut", "pump", "", "gear", "belt"};
    auto pickName = [&] { return textOrNull(names[rng() % 8], rng() % 10 == 0); };
    auto price = [&](double by) {
        return rng() % 5 == 0 ? Value::null() : Value(static_cast<double>(rng() % 1000) / by);
    };
    auto num = [&](unsigned mod) {
        return rng() % 6 == 0 ? Value::null() : Value::i16(static_cast<int16_t>(rng() % mod));
    };
    for (int round = 0; round < 3; ++round) {
        List n1, n2;
        for (int i = 0; i < 40; ++i)
            n1.push_back({pickName(), price(8), num(500), num(500), Value::null()});
        for (int i = 0; i < 30; ++i)
            n2.push_back({pickName(), price(3), num(500), num(500), Value::null()});
        h.exec("DELETE FROM n1");
        h.exec("DELETE FROM n2");
        store("n1", "desc_flag", n1);
        store("n2", "item_flag", n2);
        n1 = read("n1", "desc_flag");  // as stored
        n2 = read("n2", "item_flag");
        referenceCompare(n1, n2);
        compare();
        EXPECT_EQ(read("n1", "desc_flag"), n1) << round;
        EXPECT_EQ(read("n2", "item_flag"), n2) << round;
        // Twice gives the same rows as once; both lists end past their last row.
        compare();
        EXPECT_EQ(read("n1", "desc_flag"), n1) << round;
        EXPECT_EQ(read("n2", "item_flag"), n2) << round;
        EXPECT_TRUE(h.form("Form56").adodc("Adodc5").recordset().eof());
        EXPECT_TRUE(h.form("Form56").adodc("Adodc6").recordset().eof());
        h.close("Form56");
    }
}

// Repeated names, letter case and blanks are in the random rounds above;
// here a store list with no rows.
TEST_F(CompareTest, AnEmptyStoreListChangesNothingAndSaysNothing) {
    const Value none = Value::null();
    store("n1", "desc_flag", {{Value("bolt"), Value(1.0), Value::i16(11), Value::i16(12), none}});
    const std::string before = tablesText(h, {"n1", "n2"});
    compare();
    EXPECT_EQ(tablesText(h, {"n1", "n2"}), before);
    EXPECT_TRUE(h.dialogs.messages().empty());
}

}  // namespace
}  // namespace mk
