// The item groups windows: a group made with its table and starting row,
// bad names refused, and the compare of the two product lists.
#include <gtest/gtest.h>

#include <random>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

class GroupsTest : public ::testing::Test {
protected:
    GroupsTest() {
        setProfile(h, "ACME");
        openStore(h);
        h.menu("Form1", "RENAME_MAIN");
    }
    void addGroup(const std::string& name) {
        h.click("Form49", "cmdaction", 0);
        h.type("Form49", "Text1", name);
        h.dialogs.clear();
        h.click("Form49", "cmdaction", 0);
    }
    Harness h;
};

TEST_F(GroupsTest, AddingAGroupMakesItsTableWithTheStartingRowAndListsIt) {
    EXPECT_TRUE(h.form("Form49").textBox("Text1").locked);
    addGroup("SPARE_PARTS");
    auto shown = h.dialogs.messages();
    ASSERT_EQ(shown.size(), 2u);  // the naming warning, then the success
    EXPECT_EQ(shown[1].title, "Create Database");
    EXPECT_EQ(shown[1].style, mb::Information);
    EXPECT_EQ(shown[1].prompt,
              "Database: C:\\INVENT.mdb successfully created\r\n\r\n"
              "Table: SPARE_PARTS successfully created\r\n");
    EXPECT_EQ(h.column("qqq", "Q"), std::vector<Value>{Value("SPARE_PARTS")});
    EXPECT_EQ(h.db().tableInfo("SPARE_PARTS").fields.size(), 13u);
    EXPECT_TRUE(h.db().hasLookupIndex("SPARE_PARTS", "DESC"));
    ASSERT_EQ(h.count("SPARE_PARTS"), 1);
    EXPECT_EQ(h.cell("SPARE_PARTS", 0, "DESC"), Value("."));
    EXPECT_EQ(toDate(h.cell("SPARE_PARTS", 0, "DATES_SAVE")), makeDate(2007, 10, 10));

    // The main window lists the new group at once and its card follows the choice.
    Form& main = h.form("Form1");
    EXPECT_EQ(main.dataCombo("DataCombo3").list(), std::vector<std::string>{"SPARE_PARTS"});
    h.choose("Form1", "DataCombo3", "SPARE_PARTS");
    EXPECT_EQ(main.label("Label16").caption(), "SPARE_PARTS");
    EXPECT_EQ(main.textBox("Text6").text(), ".");
    EXPECT_TRUE(main.button("Command6").visible && main.button("Command9").visible);
}

TEST_F(GroupsTest, BadNamesAreRefusedAndChangeNothing) {
    addGroup("SPARE_PARTS");
    h.exec("INSERT INTO qqq (Q) VALUES ('GHOST')");  // listed, its table gone
    const size_t tables = h.db().tableNames().size();
    h.click("Form49", "cmdaction", 0);
    h.click("Form49", "cmdaction", 0);  // never typed: the name is "."
    EXPECT_EQ(h.lastTitle(), "ملحوظة");
    for (const char* name : {"", "BUYER", "spare_parts", "ghost", "a.b", "x[y]", " lead"}) {
        h.type("Form49", "Text1", name);
        h.click("Form49", "cmdaction", 0);
        EXPECT_EQ(h.lastTitle(), "ملحوظة") << name;
        // The hidden copy of the name holds the last one saved.
        EXPECT_EQ(h.text("Form49", "Text2"), "SPARE_PARTS") << name;
    }
    EXPECT_EQ(h.count("qqq"), 2);
    EXPECT_EQ(h.db().tableNames().size(), tables);
    EXPECT_FALSE(h.form("Form49").adodc("Adodc1").enabled);  // no browsing off the new row

    // The compare window's twin starts a group with its placeholder items.
    h.menu("Form1", "new");
    h.click("Form56", "cmdaction", 0);
    h.type("Form56", "Text1", "ghost2");
    h.click("Form56", "cmdaction", 0);
    EXPECT_EQ(h.count("qqq"), 3);
    ASSERT_EQ(h.count("ghost2"), 2579);
    EXPECT_EQ(h.cell("ghost2", 2578, "DESC"), Value("."));
}

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
