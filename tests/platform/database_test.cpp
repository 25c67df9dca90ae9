// Values and the database: conversions with their ranges and errors,
// dates, the text of numbers; a new file, recordsets walking and editing
// rows, typed writes, table names, one action rolled back whole, data
// controls and the drive folders; packed snapshot rows, tables read on
// first use, and the SQL conversions that stand in for walks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <fstream>
#include <random>
#include <set>

#include "data/schema.h"
#include "platform/datacontrol.h"
#include "platform/exact_sum.h"
#include "platform/table_scan.h"
#include "platform/table_totals.h"
#include "platform/value.h"
#include "support/steps.h"

#include <sqlite3.h>

namespace mk {
namespace {

using test::errorNumber;
using test::Harness;
using test::ints;

class DatabaseTest : public ::testing::Test {
protected:
    Harness h{Harness::Windows::None};
    Database& db = h.db();

    // Group `name`, its items stocked 10, 20, ...
    void makeGroup(const std::string& name, std::initializer_list<const char*> items) {
        h.machine.action([&] {
            db.createTable(itemGroupTableDef(name));
            Recordset rs(db, name);
            int n = 0;
            for (const char* item : items) {
                rs.addNew();
                rs.setField("DESC", item);
                rs.setField("ONSTOCK", ++n * 10);
                rs.update();
            }
        });
    }
};

TEST_F(DatabaseTest, NewFileHoldsEveryTableWithItsStartingRows) {
    // Every table of the schema (a missing one fails the count), the
    // tables that start with rows.
    std::string rows;
    for (const TableDef& t : systemTables())
        if (const long n = h.count(t.name)) rows += t.name + ":" + std::to_string(n) + " ";
    EXPECT_EQ(rows, "DIM:1 Admin:1 FLAGS:1 PRODUCT_BUY:1 VALIDITY_DATE:1 BUYER_DEALS:1 BOX:1 "
                    "DAY_OUTPUT:30 MONTH_OUTPUT:12 YEAR_OUTPUT:51 ");
    EXPECT_EQ(db.tableNames().size(), systemTables().size());
    EXPECT_EQ(test::row(h, "Admin", 0, {"UserID", "enter"}), "529|False");
    EXPECT_EQ(test::row(h, "DIM", 0, {"COMP", "SECURITY"}), "False|False");
    EXPECT_EQ(test::row(h, "FLAGS", 0, {"BUYER_DEALS", "COUNTER_BUY"}), "True|1");
    EXPECT_EQ(test::row(h, "BOX", 0, {"MONEY", "DATE"}), "0|06/12/2026");
    EXPECT_EQ((std::vector<Value>{h.cell("PRODUCT_BUY", 0, "ID"), h.cell("DAY_OUTPUT", 4, "DAYS"),
                                  h.cell("YEAR_OUTPUT", 0, "YEAR")}),
              (std::vector<Value>{Value::i16(999), Value("5"), Value::i16(2000)}));
    EXPECT_EQ(test::row(h, "YEAR_OUTPUT", 50, {"YEAR", "YEARS", "NET_GAIN"}), "2050|2050|0");
    // Names with blanks and hyphens are real columns.
    for (auto [table, field] : {std::pair{"BUY_INVOICE", "EXPIRY_ DATES32"}, {"INVENTORY", "TOTAL-SELL"},
                                {"emplyee", "Job_ title"}, {"MONEY_OUT", "POSTED"}})
        EXPECT_TRUE(Recordset(db, table).hasField(field)) << field;
    EXPECT_FALSE(Recordset(db, "BUY_INVOICE").hasField("TOTAL_PRICE13"));
}

TEST_F(DatabaseTest, WalksGoInTableOrderAndStopAtTheEndsWithoutFailing) {
    makeGroup("bolts", {"b1", "b2", "b3"});
    Recordset rs(db, "BOLTS");  // names match with case ignored
    EXPECT_EQ(toText(rs.field("desc")), "b1");
    rs.moveLast();
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(errorNumber([&] { rs.field("DESC"); }), err::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs.moveNext(); }), err::NoCurrentRecord);
    rs.movePrevious();
    EXPECT_EQ(toText(rs.field("DESC")), "b3");
    rs.moveFirst();
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(toInt32(rs.columnValues("REC_ID")[2]), 3);

    // An empty table stands at its end; moving to either end does not fail.
    Recordset empty(db, "BUYER");
    empty.moveFirst();
    empty.moveLast();
    EXPECT_TRUE(empty.eof() && empty.bof());
    empty.update();  // nothing pending: nothing to do
    EXPECT_EQ(errorNumber([&] { empty.setField("BUYER", "x"); }), err::NoCurrentRecord);
    // A Null reads as 0 and "".
    Recordset box(db, "BOX");
    EXPECT_TRUE(box.field("MONEY_OUT").isNull());
    EXPECT_EQ(formatDouble(toDouble(box.field("MONEY_OUT"))) + toText(box.field("emplyee_name")), "0");
}

TEST_F(DatabaseTest, EditsAreStoredByUpdateOrAMoveOffAndDroppedByCancelOrRefresh) {
    Recordset day(db, "DAILY_TRADE");
    day.addNew();
    day.setField("DESC", "bolt");
    day.setField("STARY_DAY_Q", "12");
    day.update();  // the new row stays current, its defaults filled
    EXPECT_EQ(toText(day.field("DESC")) + "|" + toText(day.field("STARY_DAY_Q")) + "|" +
                  toText(day.field("OUTPUT")),
              "bolt|12|0");
    EXPECT_EQ(h.cell("DAILY_TRADE", 0, "INPUT"), Value::i32(0));

    makeGroup("g", {"a", "b", "a", "c"});
    Recordset rs(db, "g");
    EXPECT_EQ(errorNumber([&] { rs.setField("REC_ID", 5); }), err::NotUpdatable);
    rs.setField("ONSTOCK", 99);
    rs.moveNext();  // a move off stores the change
    EXPECT_EQ(h.cell("g", 0, "ONSTOCK"), Value::i32(99));
    rs.addNew();
    rs.setField("DESC", "dropped");
    rs.cancelUpdate();
    EXPECT_EQ(toText(rs.field("DESC")), "b");
    rs.setField("DESC", "changed");
    rs.refresh();
    EXPECT_EQ(toText(rs.field("DESC")), "a");
    // A delete takes the current row only, and a loop goes on past it.
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        if (toText(rs.field("DESC")) == "a") {
            rs.deleteCurrent();
            rs.update();  // harmless after a delete
        }
    EXPECT_EQ(test::col(h, "g", "DESC"), "b|c");
    rs.addNew();
    rs.setField("DESC", "d");
    rs.moveFirst();
    EXPECT_EQ(test::col(h, "g", "DESC"), "b|c|d");
}

TEST_F(DatabaseTest, WritesConvertToTheColumnTypeOrFail) {
    makeGroup("g", {"a"});
    Recordset rs(db, "g");
    for (auto [field, written, stored] :
         {std::tuple{"ONSTOCK", Value("12"), Value::i32(12)}, {"BUY_PRICE", Value("2.5"), Value(2.5)},
          {"DATES", Value("10/10/2007"), Value::date(makeDate(2007, 10, 10))},
          {"RETURN", Value(12.5), Value::i16(12)}, {"UNITE_PRICE", Value(""), Value::null()},
          {"NOTES", Value(3.5), Value("3.5")}}) {
        rs.setField(field, written);
        EXPECT_EQ(rs.field(field), stored) << field;
    }
    for (auto [field, written, error] :
         {std::tuple{"ONSTOCK", Value("abc"), err::TypeMismatch},
          {"DATES", Value("32/01/2007"), err::TypeMismatch}, {"RETURN", Value(40000), err::Overflow},
          {"BUY_PRICE", Value(1e308 * 10), err::Overflow},
          {"DESC", Value(std::string(201, 'x')), err::FieldTooSmall},
          {"NO_SUCH", Value(1), err::FieldNotFound}})
        EXPECT_EQ(errorNumber([&] { rs.setField(field, written); }), error) << field;
    rs.update();
    EXPECT_EQ(test::row(h, "g", 0, {"DATES", "ONSTOCK"}), "10/10/2007|12");
    // A 16-bit column widened takes 32-bit numbers.
    db.widenToInt32("g", "RETURN");
    Recordset wide(db, "g");
    wide.setField("RETURN", 40000);
    EXPECT_EQ(wide.field("RETURN"), Value::i32(40000));
}

TEST_F(DatabaseTest, TableCreationRefusesBadAndUsedNames) {
    for (auto [name, error] : {std::pair{"", err::InvalidName}, {".", err::InvalidName},
                               {"a[b", err::InvalidName}, {"box", err::TableExists},
                               {"sqlite_x", err::InvalidName}})
        EXPECT_EQ(errorNumber([&] { db.createTable(itemGroupTableDef(name)); }), error) << name;
    db.createTable(itemGroupTableDef("قطع غيار"));
    EXPECT_TRUE(Recordset(db, "قطع غيار").eof());
    EXPECT_EQ(errorNumber([&] { Recordset missing(db, "nothing"); }), err::TableNotFound);
}

// One action is one transaction: a failure anywhere in it takes back every
// write, tables made included, re-reads the open recordsets and leaves
// them where they stood when it began.
TEST_F(DatabaseTest, AFailedActionRollsBackEverythingAndRereadsWhereItBegan) {
    makeGroup("g", {"a", "b", "c"});
    Recordset second(db, "g"), past(db, "g"), before(db, "g");
    second.moveNext();
    past.moveLast();
    past.moveNext();
    before.movePrevious();
    EXPECT_THROW(h.machine.action([&] {
        second.setField("ONSTOCK", 1);
        second.update();
        second.moveLast();
        past.addNew();
        past.setField("DESC", "d");
        past.update();
        before.moveLast();
        db.createTable(itemGroupTableDef("newgroup"));
        Recordset box(db, "BOX");
        box.addNew();
        box.setField("MONEY", 10);
        box.update();
        toInt16(Value(99999));  // fails half way
    }),
                 RuntimeError);
    EXPECT_EQ(test::col(h, "g", "ONSTOCK"), "10|20|30");
    EXPECT_EQ(toText(second.field("DESC")) + toText(second.field("ONSTOCK")), "b20");
    EXPECT_TRUE(past.eof());
    EXPECT_EQ(past.recordCount(), 3);
    EXPECT_TRUE(before.bof() && !before.eof());
    EXPECT_FALSE(db.findTable("newgroup"));
    EXPECT_EQ(h.count("BOX"), 1);

    // Nested actions join the running one.
    h.machine.action([&] {
        h.machine.action([&] {
            second.setField("ONSTOCK", 7);
            second.update();
        });
    });
    EXPECT_EQ(h.cell("g", 1, "ONSTOCK"), Value::i32(7));

    // A file another program holds locked is named as busy, in Arabic, and
    // the same write goes through once it is free.
    sqlite3* other = nullptr;
    sqlite3_open(h.machine.mapPath(kDatabasePath).c_str(), &other);
    sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    auto write = [&] {
        h.machine.action([&] {
            second.setField("ONSTOCK", 8);
            second.update();
        });
    };
    try {
        write();
        ADD_FAILURE() << "a locked file took the write";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("ملف قاعدة البيانات مشغول الآن", 0), 0u) << e.what();
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    write();
    EXPECT_EQ(h.cell("g", 1, "ONSTOCK"), Value::i32(8));
}

// The sums a window keeps over a table follow what committed writes
// changed in the rows they wrote: nothing of a statement or an action that
// failed, everything of a restore.
TEST_F(DatabaseTest, TableTotalsFollowCommittedWritesOnly) {
    makeGroup("G1", {"bolt", "nut"});  // stocked 10 and 20
    h.exec("UPDATE G1 SET UNITE_PRICE = 0.1");
    TableTotals totals(db, "G1", {{"ONSTOCK", "UNITE_PRICE"}, {"ONSTOCK", ""}});
    auto shown = [&] {
        const auto& sums = totals.sums();
        return test::exact(Value(sums[0].value())) + " " + formatDouble(sums[1].value());
    };
    EXPECT_EQ(shown(), "3 30");
    const std::string copy = (h.root.path() / "copy.mdb").string();
    db.backupTo(copy);

    // A write outside any action; an update of a field no sum reads.
    h.exec("INSERT INTO G1 (\"DESC\", ONSTOCK, UNITE_PRICE) VALUES ('pin', 3, 0.7)");
    h.exec("UPDATE G1 SET NOTES = 'x'");
    EXPECT_EQ(shown(), "5.1 33");

    // A statement that fails on its second row inside an action that goes
    // on and commits: its first row's change went with it.
    h.exec("CREATE TRIGGER stop BEFORE UPDATE ON G1 WHEN old.\"DESC\" = 'nut' "
           "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    h.machine.action([&] {
        db.beginWrite();
        EXPECT_NE(errorNumber([&] { db.exec("UPDATE G1 SET ONSTOCK = ONSTOCK + 1"); }), 0);
        db.exec("UPDATE G1 SET ONSTOCK = 0 WHERE \"DESC\" = 'pin'");
    });
    h.exec("DROP TRIGGER stop");
    EXPECT_EQ(shown(), "3 30");
    // An action rolled back leaves nothing.
    EXPECT_NE(errorNumber([&] {
                  h.machine.action([&] {
                      db.beginWrite();
                      db.exec("DELETE FROM G1");
                      throw RuntimeError(err::DiskFull, "disk full");
                  });
              }),
              0);
    EXPECT_EQ(shown(), "3 30");
    h.machine.action([&] {
        db.beginWrite();
        db.exec("DELETE FROM G1 WHERE \"DESC\" = 'bolt'");
    });
    EXPECT_EQ(shown(), "2 20");

    // A restore: the sums are the restored file's, and go on from there.
    db.restoreFrom(copy);
    EXPECT_EQ(shown(), "3 30");
    h.exec("UPDATE G1 SET ONSTOCK = 1");
    EXPECT_EQ(shown(), "0.2 2");
}

TEST(ExactSums, TheSumIsTheTrueSumRoundedOnceWhateverTheOrder) {
    const std::vector<double> xs = {0.1, 0.2, 0.3, 1e16, -1e16, 123456789.123456789, -0.7};
    std::vector<double> order = xs;
    std::sort(order.begin(), order.end());
    std::string first;
    do {
        ExactSum s;
        for (double x : order) s.add(x);
        if (first.empty()) first = test::exact(Value(s.value()));
        ASSERT_EQ(test::exact(Value(s.value())), first);
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(first, "123456789.0234568");

    // Taking every number off again leaves exactly nothing, infinities too.
    ExactSum s, t;
    for (double x : xs) s.add(x);
    s.add(std::numeric_limits<double>::infinity());
    EXPECT_EQ(s.value(), std::numeric_limits<double>::infinity());
    t.add(s);
    for (double x : xs) t.remove(x);
    t.remove(std::numeric_limits<double>::infinity());
    EXPECT_EQ(test::exact(Value(t.value())), "0");
}

TEST_F(DatabaseTest, DataControlBindsATableThroughItsConnectionText) {
    DataControl dc(h.machine);
    dc.bindTable(kConnectionString, "DIM");
    EXPECT_EQ(std::to_string(dc.CursorLocation) + std::to_string(dc.CommandType), "32");
    EXPECT_EQ(toText(dc.recordset().field("COMP")), "False");
    dc.RecordSource = "FLAGS";  // re-pointing closes the old table and opens the new one
    dc.Refresh();
    EXPECT_TRUE(dc.recordset().hasField("COUNTER_BUY"));
    DataControl other(h.machine);  // another spelling of the path names the same file
    other.bindTable("Provider=Microsoft.Jet.oledb.4.0;Data Source =c:\\INVENT.mdb", "BOX");
    EXPECT_EQ(&other.recordset().database(), &dc.recordset().database());
    DataControl bad(h.machine);
    EXPECT_EQ(errorNumber([&] { bad.bindTable(kConnectionString, "NO_TABLE"); }), err::TableNotFound);
    EXPECT_FALSE(bad.isOpen());
    EXPECT_EQ(errorNumber([&] { bad.bindTable("Provider=x", "BOX"); }), err::DatabaseError);
}

TEST(PathMapping, DrivesAreFoldersUnderTheRoot) {
    test::TempRoot root;
    Machine m(root.path());
    m.ensureDrive('C');
    m.ensureDrive('D');
    EXPECT_EQ(m.mapPath("C:\\INVENT.MDB"), root.path() / "C" / "INVENT.MDB");
    EXPECT_EQ(m.mapPath("d:\\"), root.path() / "D");
    EXPECT_EQ(m.mapPath("d:\\backup\\x.mdb"), root.path() / "D" / "backup" / "x.mdb");
    std::ofstream(root.path() / "C" / "INVENT.MDB") << "";
    EXPECT_EQ(m.mapPath("c:\\invent.mdb"), root.path() / "C" / "INVENT.MDB");
    EXPECT_EQ(m.drives(), (std::vector<std::string>{"c:", "d:"}));
    EXPECT_TRUE(m.driveExists("D:\\"));
    EXPECT_FALSE(m.driveExists("e:"));
    EXPECT_EQ(dataSourceOf("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\INVENT.MDB"),
              "C:\\INVENT.MDB");
}

TEST(Conversions, WholeNumbersRoundHalvesToEvenAndFailOutOfRange) {
    for (auto [from, to] : {std::pair{2.5, 2}, {3.5, 4}, {12.5, 12}, {13.5, 14}, {-2.5, -2},
                            {899.5, 900}, {32767.0, 32767}, {-32768.0, -32768}})
        EXPECT_EQ(toInt16(Value(from)), to) << from;
    EXPECT_EQ(toInt16(Value("251.5")), 252);
    for (double out : {32767.5, 40000.0, -32769.0})
        EXPECT_EQ(errorNumber([&] { toInt16(Value(out)); }), err::Overflow) << out;
    for (const char* text : {"abc", ""})
        EXPECT_EQ(errorNumber([&] { toInt16(Value(text)); }), err::TypeMismatch) << text;
    EXPECT_EQ(ints({Value(40000.5), Value(40001.5), Value(2147483647.0)}),
              (std::vector<int32_t>{40000, 40002, 2147483647}));
    EXPECT_EQ(errorNumber([] { toInt32(Value(2147483648.0)); }), err::Overflow);
}

TEST(Conversions, LeadingNumbersStrictNumbersAndNulls) {
    for (auto [text, n] : {std::pair{"123abc", 123.0}, {"abc", 0.0}, {" 12.5x", 12.5}, {"", 0.0},
                           {"-7 apples", -7.0}, {"Text5", 0.0}, {"1e3x", 1000.0}, {".", 0.0}})
        EXPECT_EQ(leadingNumber(text), n) << text;
    EXPECT_EQ(toDouble(Value(" 12.5 ")), 12.5);
    EXPECT_EQ(toDouble(Value("7.0")), 7);
    for (const char* text : {"12abc", "", "inf", "-inf", "nan", "infinity", "1e999", "-1E400", "NAN"})
        EXPECT_EQ(errorNumber([&] { toDouble(Value(text)); }), err::TypeMismatch) << text;
    for (const char* text : {"not a date", "31/02/2020", "10"})
        EXPECT_EQ(errorNumber([&] { toDate(Value(text)); }), err::TypeMismatch) << text;
    // A Null counts as 0 and reads as "".
    EXPECT_EQ(toDouble(Value::null()) + toInt16(Value::null()), 0);
    EXPECT_EQ(toText(Value::null()), "");
    EXPECT_FALSE(toBool(Value::null()));
    EXPECT_EQ(errorNumber([] { toDate(Value::null()); }), err::InvalidNull);
}

TEST(Dates, ShortFormIsDayFirstAndReadsBack) {
    EXPECT_EQ(formatShortDate(makeDate(2007, 10, 10)) + formatShortDate(makeDate(2026, 3, 4)),
              "10/10/200704/03/2026");
    for (auto [text, date] :
         {std::pair{"04/03/2026", makeDate(2026, 3, 4)}, {"1/1/2007", makeDate(2007, 1, 1)},
          {"10 / 4 / 2020", makeDate(2020, 4, 10)}, {"2007-10-10", makeDate(2007, 10, 10)},
          {"01/01/50", makeDate(1950, 1, 1)}, {"10/10/07", makeDate(2007, 10, 10)},
          {"1/1/29", makeDate(2029, 1, 1)},
          {"06/12/2026 14:05:09", makeDateTime(2026, 12, 6, 14, 5, 9)}})
        EXPECT_EQ(*parseDate(text), date) << text;
    for (double serial : {0.0, 1.0, 36526.0, 46000.0})
        EXPECT_EQ(*parseDate(formatShortDate(serial)), serial);
    EXPECT_EQ(makeDate(1899, 12, 30), 0);
    // True taken as a date is the day before 30 December 1899.
    EXPECT_EQ(formatShortDate(toDate(Value(true))), "29/12/1899");
    EXPECT_EQ(formatLongDate(makeDate(2026, 12, 6)) + " " + formatLongDate(makeDate(2007, 10, 10)),
              "الأحد، 6 ديسمبر 2026 الأربعاء، 10 أكتوبر 2007");
    EXPECT_EQ(formatTime(makeDateTime(2026, 12, 6, 14, 5, 9)), "14:05:09");
    EXPECT_EQ(toText(Value::date(makeDateTime(2026, 12, 6, 14, 5, 9))), "06/12/2026 14:05:09");
}

TEST(Numbers, DefaultTextHasAtMostFifteenSignificantDigits) {
    for (auto [d, text] :
         {std::pair{0.0, "0"}, {-0.0, "0"}, {150.0, "150"}, {1000000.0, "1000000"}, {15.5, "15.5"},
          {-135.0, "-135"}, {0.1 + 0.2, "0.3"}, {0.1 * 3, "0.3"}, {150 - 100.1, "49.9"},
          {1.0 / 3, "0.333333333333333"}, {-2.0 / 3, "-0.666666666666667"},
          {123456789012345.6, "123456789012346"}, {999999999999999.9, "1E+15"},
          {1e20 / 3, "3.33333333333333E+19"}, {6.5, "6.5"}})
        EXPECT_EQ(formatDouble(d), text) << text;
    // Stored values stay exact: only the text is rounded.
    EXPECT_EQ(toDouble(Value(0.1 * 3)), 0.1 * 3);
    EXPECT_EQ(toText(Value(30.5)) + toText(Value::i16(12)) + toText(Value(true)), "30.512True");
    EXPECT_EQ(formatPrintNumber(12) + formatPrintNumber(-12), " 12 -12 ");
}

TEST(Names, CaseIgnoredForNamesButNotForTexts) {
    EXPECT_TRUE(namesEqual("qqq", "QQQ") && namesEqual("EXPIRY_ DATE1", "expiry_ date1"));
    EXPECT_FALSE(namesEqual("EXPIRY_DATE1", "EXPIRY_ DATE1"));
    EXPECT_FALSE(Value("ABC") == Value("abc") || Value("5") == Value("05") || Value("a ") == Value("a"));
}

class SnapshotTest : public ::testing::Test {
protected:
    Harness h{Harness::Windows::None};
    Database& db = h.db();
    void makeItems() {
        h.machine.action([&] { db.createTable(itemGroupTableDef("G")); });
    }
};

TEST_F(SnapshotTest, EveryKindOfCellReadsBackAsStoredAndOnlyChangesAreWritten) {
    makeItems();
    const std::string longText(300, 'x');  // a length past one byte
    h.exec("INSERT INTO G (ITEM_NO, \"DESC\", BUY_PRICE, RETURN, ONSTOCK, DATES, NOTES) VALUES "
           "(-7, '', 2.5, -3, NULL, '2026-12-06', '" + longText + "'), "
           "(NULL, 'نص', '12abc', 4, 40000, 'not a date', NULL)");
    Recordset rs(db, "G");
    EXPECT_EQ(rs.field("ITEM_NO"), Value::i32(-7));
    EXPECT_EQ(rs.field("DESC"), Value(""));
    EXPECT_EQ(rs.field("BUY_PRICE"), Value(2.5));
    EXPECT_EQ(rs.field("RETURN"), Value::i16(-3));
    EXPECT_EQ(rs.field("ONSTOCK"), Value::null());
    EXPECT_EQ(rs.field("DATES"), Value::date(makeDate(2026, 12, 6)));
    EXPECT_EQ(rs.field("NOTES"), Value(longText));
    EXPECT_EQ(rs.field("dates_save"), Value::null());  // letter case ignored
    rs.moveNext();
    EXPECT_EQ(rs.field("ITEM_NO"), Value::null());
    EXPECT_EQ(rs.field("DESC"), Value("نص"));
    EXPECT_EQ(rs.field("BUY_PRICE"), Value(12.0));
    EXPECT_EQ(rs.field("DATES"), Value("not a date"));

    // Rewriting rows many times keeps every value (the packed store is
    // compacted along the way) and writes only the changed field.
    h.machine.action([&] {
        for (int round = 0; round < 4000; ++round) {
            rs.moveFirst();
            rs.setField("NOTES", longText + std::to_string(round));
            rs.moveNext();
            rs.setField("ONSTOCK", round);
            rs.update();
        }
    });
    h.exec("UPDATE G SET \"DESC\"='changed elsewhere'");
    h.machine.action([&] {
        rs.moveFirst();
        rs.setField("Q_ORDER", 9);
        rs.update();
    });
    EXPECT_EQ(rs.field("NOTES"), Value(longText + "3999"));
    EXPECT_EQ(rs.field("DESC"), Value(""));  // the snapshot keeps what it read
    EXPECT_EQ(h.column("G", "DESC"), (std::vector<Value>{Value("changed elsewhere"),
                                                         Value("changed elsewhere")}));
    EXPECT_EQ(h.column("G", "ONSTOCK"), (std::vector<Value>{Value::null(), Value::i32(3999)}));
    EXPECT_EQ(h.column("G", "Q_ORDER"), (std::vector<Value>{Value::i32(9), Value::null()}));
}

TEST_F(SnapshotTest, AControlReadsItsTableOnlyWhenUsed) {
    makeItems();
    h.exec("INSERT INTO G (\"DESC\") VALUES ('a'), ('b')");
    DataControl dc(h.machine);
    dc.bindTable(kConnectionString, "G");
    EXPECT_FALSE(dc.recordset().loaded());
    h.exec("INSERT INTO G (\"DESC\") VALUES ('c')");
    EXPECT_EQ(dc.recordset().recordCount(), 3);
    EXPECT_EQ(dc.recordset().field("DESC"), Value("a"));

    // Standing at the end, as a walk leaves it; moving reads the rows.
    DataControl atEnd(h.machine);
    atEnd.bindTableAtEnd(kConnectionString, "G");
    EXPECT_TRUE(atEnd.recordset().eof());
    EXPECT_FALSE(atEnd.recordset().loaded());
    atEnd.recordset().movePrevious();
    EXPECT_EQ(atEnd.recordset().field("DESC"), Value("c"));
}

// A list over a column keeps its texts while only other fields change:
// read again after a write, or by its control opening the table again,
// the same texts are the same column.
TEST_F(SnapshotTest, AColumnReadAgainWithTheSameTextsIsTheSameColumn) {
    makeItems();
    h.exec("INSERT INTO G (\"DESC\", ONSTOCK) VALUES ('a', 1), ('b', 2)");
    Recordset rs(db, "G");
    const auto names = rs.columnTexts("DESC");
    h.machine.action([&] {
        rs.setField("ONSTOCK", 5);
        rs.update();
    });
    EXPECT_EQ(rs.columnTexts("DESC"), names);
    rs.refresh();
    EXPECT_EQ(rs.columnTexts("DESC"), names);
    h.machine.action([&] {
        rs.setField("DESC", "c");
        rs.update();
    });
    const auto renamed = rs.columnTexts("DESC");
    EXPECT_NE(renamed, names);
    EXPECT_EQ(renamed->toVector(), (std::vector<std::string>{"c", "b"}));

    // A data control reading its table again hands out what it read before.
    DataControl dc(h.machine);
    dc.bindTable(kConnectionString, "G");
    const auto listed = dc.recordset().columnTexts("DESC");
    h.exec("UPDATE G SET ONSTOCK = 7");
    dc.Refresh();
    EXPECT_EQ(dc.recordset().columnTexts("DESC"), listed);
    h.exec("INSERT INTO G (\"DESC\") VALUES ('d')");
    dc.Refresh();
    EXPECT_EQ(dc.recordset().columnTexts("DESC")->toVector(), (std::vector<std::string>{"c", "b", "d"}));
}

// A statement rewriting a table leaves the recordset past its last row,
// reading what the statement wrote; one that fails leaves it where it
// stood. Emptying a table drops rows another open snapshot still shows.
TEST_F(SnapshotTest, RewritingATableInSqlRereadsItOrLeavesItAsItWas) {
    makeItems();
    h.exec("INSERT INTO G (\"DESC\", ONSTOCK) VALUES ('a', 1), ('b', 2), ('c', 3)");
    Recordset rs(db, "G");
    rs.moveNext();
    h.machine.action([&] { rs.rewriteInSql([&] { db.exec("UPDATE G SET ONSTOCK = ONSTOCK * 10"); }); });
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(ints(rs.columnValues("ONSTOCK")), (std::vector<int32_t>{10, 20, 30}));

    rs.moveFirst();
    rs.moveNext();
    h.exec("CREATE TRIGGER stop BEFORE UPDATE ON G WHEN OLD.\"DESC\" = 'c' "
           "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    EXPECT_THROW(h.machine.action([&] {
        rs.rewriteInSql([&] { db.exec("UPDATE G SET ONSTOCK = 0"); });
    }), RuntimeError);
    EXPECT_EQ(rs.field("DESC"), Value("b"));
    EXPECT_EQ(ints(h.column("G", "ONSTOCK")), (std::vector<int32_t>{10, 20, 30}));
    h.exec("DROP TRIGGER stop");

    Recordset other(db, "G");
    other.moveLast();
    h.machine.action([&] { rs.rewriteInSql([&] { db.emptyTable("G"); }); });
    EXPECT_EQ(h.count("G"), 0);
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(other.recordCount(), 3);
    EXPECT_EQ(ints(other.columnValues("ONSTOCK")), (std::vector<int32_t>{10, 20, 30}));
}

// A recordset whose listener lets it read the table again stands aside
// while another rewrites the table in SQL (keeping no copy of each row
// rewritten) and shows the rewritten rows where it stood; one holding a
// change keeps its snapshot.
TEST_F(SnapshotTest, ARecordsetThatMayReadAgainStandsAsideWhileItsTableIsRewritten) {
    struct MayReread : RecordsetListener {
        int reread = 0;
        bool recordsetMayReread(Recordset&) override { return true; }
        void recordsetReread(Recordset&) override { ++reread; }
    };
    makeItems();
    h.exec("INSERT INTO G (\"DESC\", ONSTOCK) VALUES ('a', 1), ('b', 2), ('c', 3)");
    Recordset rs(db, "G"), shown(db, "G"), typed(db, "G");
    MayReread listener, typedListener;
    shown.setListener(&listener);
    typed.setListener(&typedListener);
    shown.moveNext();
    typed.moveLast();
    typed.setField("Q_ORDER", 7);
    h.machine.action([&] { rs.rewriteInSql([&] { db.exec("UPDATE G SET ONSTOCK = ONSTOCK * 10"); }); });
    EXPECT_EQ(shown.field("DESC"), Value("b"));
    EXPECT_EQ(shown.field("ONSTOCK"), Value::i32(20));
    EXPECT_EQ(listener.reread, 1);
    EXPECT_EQ(ints(shown.columnValues("ONSTOCK")), (std::vector<int32_t>{10, 20, 30}));
    EXPECT_EQ(typed.field("ONSTOCK"), Value::i32(3));
    EXPECT_EQ(typedListener.reread, 0);

    // A rewrite that fails leaves it on its row, showing what is stored.
    h.exec("CREATE TRIGGER stop BEFORE UPDATE ON G WHEN OLD.\"DESC\" = 'c' "
           "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    EXPECT_THROW(h.machine.action([&] {
        rs.rewriteInSql([&] { db.exec("UPDATE G SET ONSTOCK = 0"); });
    }), RuntimeError);
    EXPECT_EQ(shown.field("DESC"), Value("b"));
    EXPECT_EQ(shown.field("ONSTOCK"), Value::i32(20));
}

// A field's stamp stays while nothing changes the table's rows or that
// field's values, whoever writes; a list's texts read again are then taken
// as they were read, and read anew once anything changed them.
TEST_F(SnapshotTest, AFieldsStampFollowsEveryWriteThatChangesItsValues) {
    makeItems();
    h.exec("INSERT INTO G (\"DESC\", ONSTOCK) VALUES ('a', 1), ('b', 2)");
    auto stamp = [&] { return db.columnStamp("G", "DESC"); };
    auto write = [&](const std::string& sql) { h.machine.action([&] { db.exec(sql); }); };
    Database::ColumnStamp was = stamp();
    auto stays = [&](const char* why) {
        EXPECT_EQ(stamp(), was) << why;
    };
    auto moves = [&](const char* why) {
        const Database::ColumnStamp now = stamp();
        EXPECT_FALSE(now == was) << why;
        was = now;
    };
    stays("nothing written");
    write("UPDATE G SET ONSTOCK = ONSTOCK + 1");
    stays("another field changed");
    write("UPDATE G SET \"DESC\" = 'a' WHERE \"DESC\" = 'a'");
    stays("the same value written again");
    write("UPDATE G SET \"DESC\" = 'z' WHERE \"DESC\" = 'b'");
    moves("a value changed");
    write("INSERT INTO G (\"DESC\") VALUES ('c')");
    moves("a row added");
    write("DELETE FROM G WHERE \"DESC\" = 'c'");
    moves("a row deleted");
    EXPECT_THROW(h.machine.action([&] {
        db.exec("UPDATE G SET \"DESC\" = 'y' WHERE \"DESC\" = 'z'");
        stamp();
        throw RuntimeError(err::DatabaseError, "failed");
    }), RuntimeError);
    moves("an action rolled back");
    sqlite3* other = nullptr;
    sqlite3_open(h.machine.mapPath(kDatabasePath).c_str(), &other);
    sqlite3_exec(other, "UPDATE G SET ONSTOCK = 0", nullptr, nullptr, nullptr);
    moves("another connection committed");
    sqlite3_close(other);
    h.machine.action([&] { db.emptyTable("G"); });
    moves("the table emptied");

    // A list read again after a reopen with nothing changed, then after
    // another connection renamed an item.
    h.exec("INSERT INTO G (\"DESC\") VALUES ('bolt'), ('nut')");
    Recordset first(db, "G");
    auto texts = first.columnTexts("DESC");
    Recordset second(db, "G");
    second.keepTexts(first.takeTexts());
    EXPECT_EQ(second.columnTexts("DESC"), texts);
    sqlite3_open(h.machine.mapPath(kDatabasePath).c_str(), &other);
    sqlite3_exec(other, "UPDATE G SET \"DESC\" = 'washer' WHERE \"DESC\" = 'nut'", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    Recordset third(db, "G");
    third.keepTexts(second.takeTexts());
    EXPECT_EQ(third.columnTexts("DESC")->toVector(), (std::vector<std::string>{"bolt", "washer"}));
}

TEST_F(SnapshotTest, RowsAppendedInSqlAreTakenInAndReadInBlocksEitherWay) {
    makeItems();
    h.exec("INSERT INTO G (ITEM_NO) VALUES (0)");
    Recordset rs(db, "G");
    h.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 9000) "
           "INSERT INTO G (ITEM_NO, \"DESC\") SELECT i, 'item ' || i FROM n");
    rs.readAppended(1);
    EXPECT_EQ(rs.recordCount(), 9001);
    EXPECT_EQ(rs.field("ITEM_NO"), Value::i32(0));  // still on its row
    // Deleted and changed before it was read: the snapshot keeps it as it was.
    h.exec("DELETE FROM G WHERE ITEM_NO = 8999");
    h.exec("UPDATE G SET \"DESC\"='changed' WHERE ITEM_NO = 8000");
    rs.moveLast();
    long expected = 9000;
    for (; !rs.bof(); rs.movePrevious(), --expected) {
        ASSERT_EQ(rs.field("ITEM_NO"), Value::i32(static_cast<int32_t>(expected)));
        if (expected > 0) {
            ASSERT_EQ(rs.field("DESC"), Value("item " + std::to_string(expected)));
        }
    }
    EXPECT_EQ(expected, -1);
    h.machine.action([&] {
        rs.moveLast();
        rs.setField("Q_ORDER", 4);
        rs.update();
    });
    EXPECT_EQ(h.cell("G", 8999, "Q_ORDER"), Value::i32(4));
}

// A snapshot read as it is needed, while other writers change, delete and
// add rows, shows at every step what a whole read at its start showed
// (plus its own writes): the model below is that whole read.
TEST_F(SnapshotTest, ReadAsNeededItShowsWhatAWholeReadShowedWhateverOthersWrite) {
    makeItems();
    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        h.exec("DELETE FROM G");
        h.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
               "INSERT INTO G (ITEM_NO, \"DESC\") SELECT CASE WHEN i % 17 = 0 THEN NULL ELSE "
               "(i * " + std::to_string(7 + seed) + ") % 40 END, 'n' || ((i * " +
               std::to_string(13 + seed) + ") % 30) FROM n");
        struct Row {
            long long rowid;
            Value item, desc;
            bool deleted = false;
        };
        std::vector<Row> model;
        {
            auto st = db.prepare("SELECT rowid, ITEM_NO, \"DESC\" FROM G ORDER BY rowid");
            while (st->step())
                model.push_back({st->columnInt(0), st->column(1, FieldType::Int32), st->column(2, FieldType::Text)});
        }
        std::set<long long> goneElsewhere;
        Recordset rs(db, "G");
        long at = 0;  // -1 before the first row, model.size() after the last
        auto live = [&](long i) { return i >= 0 && i < static_cast<long>(model.size()) && !model[static_cast<size_t>(i)].deleted; };
        auto next = [&](long i) { do ++i; while (i < static_cast<long>(model.size()) && !live(i)); return std::min(i, static_cast<long>(model.size())); };
        auto previous = [&](long i) { do --i; while (i >= 0 && !live(i)); return i; };
        auto first = [&] { return next(-1); };
        at = first();
        auto anyRow = [&] { return model[static_cast<size_t>(below(static_cast<int>(model.size())))].rowid; };
        // One action: its writes are one transaction, told row by row.
        h.machine.action([&] {
        for (int step = 0; step < 400; ++step) {
            const int op = below(12);
            const bool onRow = live(at);
            {
                if (op == 0) { rs.moveFirst(); at = first(); }
                else if (op == 1) { rs.moveLast(); at = previous(static_cast<long>(model.size())); if (at < 0) at = static_cast<long>(model.size()); }
                else if (op <= 3 && at < static_cast<long>(model.size())) { rs.moveNext(); at = next(at); }
                else if (op == 4 && at >= 0 && first() < static_cast<long>(model.size())) { rs.movePrevious(); at = previous(std::min(at, static_cast<long>(model.size()))); }
                else if (op == 5) {
                    const long long r = anyRow();
                    h.exec("UPDATE G SET \"DESC\"='elsewhere', ITEM_NO=99 WHERE rowid=" + std::to_string(r));
                } else if (op == 6) {
                    const long long r = anyRow();
                    goneElsewhere.insert(r);
                    h.exec("DELETE FROM G WHERE rowid=" + std::to_string(r));
                } else if (op == 7) {
                    h.exec("INSERT INTO G (ITEM_NO, \"DESC\") VALUES (7, 'added elsewhere')");
                } else if (op == 8 && onRow && !goneElsewhere.count(model[static_cast<size_t>(at)].rowid)) {
                    const std::string text = "own " + std::to_string(step);
                    rs.setField("DESC", text);
                    rs.update();
                    model[static_cast<size_t>(at)].desc = Value(text);
                } else if (op == 9) {
                    const std::string wanted = "n" + std::to_string(below(30));
                    rs.findFirstText("DESC", wanted);
                    at = first();
                    while (at < static_cast<long>(model.size()) && toText(model[static_cast<size_t>(at)].desc) != wanted) at = next(at);
                } else if (op == 10) {
                    const int wanted = below(40);
                    rs.findFirstWhole("ITEM_NO", wanted, 16);
                    at = first();
                    while (at < static_cast<long>(model.size()) && toInt16(model[static_cast<size_t>(at)].item) != wanted) at = next(at);
                } else if (op == 11 && onRow && !goneElsewhere.count(model[static_cast<size_t>(at)].rowid)) {
                    rs.deleteCurrent();
                    model[static_cast<size_t>(at)].deleted = true;
                }
            }
            SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op));
            ASSERT_EQ(rs.eof(), at >= static_cast<long>(model.size()));
            ASSERT_EQ(rs.hasCurrentRow(), live(at));
            if (live(at)) {
                ASSERT_EQ(rs.field("ITEM_NO"), model[static_cast<size_t>(at)].item);
                ASSERT_EQ(rs.field("DESC"), model[static_cast<size_t>(at)].desc);
                long position = 0;
                for (long i = 0; i <= at; ++i) position += live(i);
                ASSERT_EQ(rs.absolutePosition(), position);
            }
            if (step % 50 == 49) {
                std::vector<Value> descs;
                for (const Row& r : model)
                    if (!r.deleted) descs.push_back(r.desc);
                ASSERT_EQ(rs.columnValues("DESC"), descs);
                ASSERT_EQ(rs.recordCount(), static_cast<long>(descs.size()));
            }
        }
        });
    }
}

TEST_F(SnapshotTest, ASearchStopsOnTheFirstMatchOrOnTheRowItFailsOn) {
    makeItems();
    h.exec("INSERT INTO G (ITEM_NO, \"DESC\") VALUES (1, 'a'), (40000, NULL), (3, 'c'), (4, 'c')");
    Recordset rs(db, "G");
    EXPECT_TRUE(rs.findFirstText("DESC", "c"));
    EXPECT_EQ(rs.absolutePosition(), 3);
    EXPECT_TRUE(rs.findFirstText("DESC", ""));  // a Null text reads as ""
    EXPECT_EQ(rs.absolutePosition(), 2);
    EXPECT_FALSE(rs.findFirstText("DESC", "C"));
    EXPECT_TRUE(rs.eof());
    const auto asInt16 = [](const Value& v) { return toInt16(v) == 3; };
    EXPECT_EQ(test::errorNumber([&] { rs.findFirst("ITEM_NO", asInt16); }), err::Overflow);
    EXPECT_EQ(rs.absolutePosition(), 2);
}

// A recordset a reader opened stands on its first row from then on, as if
// it had moved there: deleting that row leaves it on the deleted row, and
// rows appended in SQL to a table it found empty leave it past the end.
TEST_F(SnapshotTest, ARecordsetFirstUsedByAReaderStandsWhereOpeningLeftIt) {
    makeItems();
    h.exec("INSERT INTO G (\"DESC\") VALUES ('a'), ('b'), ('c')");
    Recordset rs(db, "G", Recordset::Open::OnFirstUse);
    EXPECT_EQ(rs.columnTexts("DESC")->toVector(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(rs.field("DESC"), Value("a"));
    h.machine.action([&] { rs.deleteCurrent(); });
    EXPECT_TRUE(rs.currentDeleted());
    EXPECT_FALSE(rs.eof());
    EXPECT_EQ(errorNumber([&] { rs.field("DESC"); }), err::RowDeleted);
    rs.moveNext();
    EXPECT_EQ(rs.field("DESC"), Value("b"));
    EXPECT_EQ(rs.absolutePosition(), 1);

    h.exec("DELETE FROM G");
    Recordset empty(db, "G", Recordset::Open::OnFirstUse);
    EXPECT_EQ(empty.recordCount(), 0);
    h.exec("INSERT INTO G (\"DESC\") VALUES ('d')");
    empty.readAppended(0);
    EXPECT_TRUE(empty.eof());
    EXPECT_EQ(empty.recordCount(), 1);
    empty.moveFirst();
    EXPECT_EQ(empty.field("DESC"), Value("d"));
}

// A write whose triggers change or delete other rows of the table takes
// those rows into the snapshot (as they were) before the current row: the
// write still lands on the current row, and the others read as they were.
TEST_F(SnapshotTest, AWriteWhoseTriggersTouchOtherRowsStillLandsOnTheCurrentRow) {
    makeItems();
    h.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50) "
           "INSERT INTO G (ITEM_NO, \"DESC\") SELECT i, 'n' || i FROM n");
    Recordset rs(db, "G");
    rs.moveLast();  // the rows before it are not read yet
    h.exec("CREATE TRIGGER spread AFTER UPDATE OF ONSTOCK ON G "
           "BEGIN UPDATE G SET \"DESC\" = 'spread' WHERE rowid <> NEW.rowid; END");
    h.machine.action([&] {
        rs.setField("ONSTOCK", 5);
        rs.update();
    });
    EXPECT_EQ(rs.field("ITEM_NO"), Value::i32(50));
    EXPECT_EQ(rs.field("ONSTOCK"), Value::i32(5));
    EXPECT_EQ(rs.absolutePosition(), 50);
    rs.movePrevious();
    EXPECT_EQ(rs.field("DESC"), Value("n49"));
    EXPECT_EQ(rs.field("ONSTOCK"), Value::null());
    EXPECT_EQ(h.cell("G", 48, "DESC"), Value("spread"));

    Recordset other(db, "G");
    other.moveLast();
    other.movePrevious();
    h.exec("CREATE TRIGGER gone AFTER DELETE ON G BEGIN DELETE FROM G WHERE rowid < 10; END");
    h.machine.action([&] { other.deleteCurrent(); });
    EXPECT_TRUE(other.currentDeleted());
    other.moveNext();
    EXPECT_EQ(other.field("DESC"), Value("n50"));
    other.movePrevious();
    EXPECT_EQ(other.field("ITEM_NO"), Value::i32(48));
    EXPECT_EQ(other.recordCount(), 49);
    EXPECT_EQ(h.count("G"), 40);
}

TEST_F(SnapshotTest, SqlConversionsReadAsTheFieldsDoAndSumInTableOrder) {
    makeItems();
    h.exec("INSERT INTO G (BUY_PRICE, ONSTOCK, \"DESC\", DATES_SAVE) VALUES "
           "(0.1, 1, NULL, NULL), ('7x', NULL, 'a', '2027-01-05 18:00:00'), (1e16, 2, 'b', 'soon'), "
           "(-1e16, 3, 'c', '2027-01-06')");
    const TableInfo& info = db.tableInfo("G");
    auto f = [&](const char* name) { return info.fields[static_cast<size_t>(info.fieldIndex(name))]; };
    auto st = db.prepare("SELECT " + sqlRead("double", f("BUY_PRICE")) + ", " +
                         sqlRead("int32", f("ONSTOCK")) + ", " + sqlRead("text", f("DESC")) +
                         " FROM G ORDER BY rowid");
    std::vector<std::string> rows;
    while (st->step())
        rows.push_back(formatDouble(st->column(0, FieldType::Double).asDoubleRaw()) + "|" +
                       std::to_string(st->columnInt(1)) + "|" + st->columnText(2));
    EXPECT_EQ(rows, (std::vector<std::string>{"0.1|1|", "7|0|a", "1E+16|2|b", "-1E+16|3|c"}));

    // Added in order from the start given, as a loop adds: 0.1 is lost
    // next to 1e16, so the sum is 7, where a compensated sum gives 7.1.
    auto sum = db.prepare("SELECT mk_sum(" + sqlRead("double", f("BUY_PRICE")) + ", ?1) FROM G");
    sum->bind(1, Value(0.0), FieldType::Double);
    ASSERT_TRUE(sum->step());
    double loop = 0;
    for (double v : {0.1, 7.0, 1e16, -1e16}) loop += v;
    EXPECT_EQ(sum->column(0, FieldType::Double), Value(loop));

    // A day conversion fails as the walk's date conversion does.
    auto days = db.prepare("SELECT count(*) FROM G WHERE " + sqlRead("day", f("DATES_SAVE")) +
                           " = ?1");
    days->bind(1, Value(makeDate(2027, 1, 5)), FieldType::Double);
    EXPECT_EQ(test::errorNumber([&] { days->step(); }), err::TypeMismatch);
}

// Rows appended in one statement store what writing each one through a
// recordset stored, cell for cell, for the partner's rows only and in
// their order; a value the write would refuse fails the statement, which
// leaves the table as it was.
TEST_F(SnapshotTest, RowsAppendedInSqlStoreWhatARecordsetWriteOfEachStores) {
    const std::string odd = "O'Brien \"x\"; --";
    h.exec("CREATE TABLE SRC (NAME TEXT, N INTEGER, D DATETIME, M DOUBLE, S TEXT)");
    for (const char* t : {"BY_HAND", "IN_SQL"})
        h.exec(std::string("CREATE TABLE ") + t +
               " (ID SMALLINT, N INTEGER, D DATETIME, M DOUBLE, S TEXT(5))");
    auto fill = [&](const std::string& rows) {
        h.exec("DELETE FROM SRC");
        h.exec("INSERT INTO SRC (NAME, N, D, M, S) VALUES " + rows);
    };
    fill("('O''Brien \"x\"; --', 7, '2027-01-05', 2.5, 'a'), "
         "('o''brien \"x\"; --', 8, NULL, 1, 'b'), "
         "('O''Brien \"x\"; --', '12', '2027-01-05 18:00:00', '7x', NULL), "
         "('x', 9, NULL, NULL, NULL), "
         "('O''Brien \"x\"; --', 3.6, 46000.5, NULL, ''), "
         "(NULL, 1, NULL, NULL, NULL), "
         "('O''Brien \"x\"; --', NULL, NULL, -0.0, 'نصوص')");
    const std::vector<scan::FieldCopy> copies = {
        {"N", "N"}, {"D", "D"}, {"M", "M", "double"}, {"S", "S", "text"}};
    auto byHand = [&](int first) {
        Recordset src(db, "SRC");
        Recordset to(db, "BY_HAND");
        int n = first;
        for (src.moveFirst(); !src.eof(); src.moveNext()) {
            if (src.field("NAME").isNull() || toText(src.field("NAME")) != odd) continue;
            to.addNew();
            to.setField("ID", Value(n++));
            to.setField("N", src.field("N"));
            to.setField("D", src.field("D"));
            to.setField("M", toDouble(src.field("M")));
            to.setField("S", toText(src.field("S")));
            to.update();
        }
    };
    auto inSql = [&](int first) {
        return scan::appendWithText(db, "IN_SQL", "ID", first, copies, "SRC", "NAME", odd);
    };
    auto cells = [&](const char* table) {
        std::vector<std::string> out;
        auto st = db.prepare(std::string("SELECT typeof(ID) || quote(ID), typeof(N) || quote(N), ") +
                             "typeof(D) || quote(D), typeof(M) || quote(M), typeof(S) || quote(S) "
                             "FROM " + table + " ORDER BY rowid");
        while (st->step())
            for (int i = 0; i < 5; ++i) out.push_back(st->columnText(i));
        return out;
    };
    h.machine.action([&] {
        byHand(1);
        EXPECT_EQ(inSql(1), 4);
    });
    EXPECT_EQ(cells("IN_SQL"), cells("BY_HAND"));
    EXPECT_EQ(cells("IN_SQL").size(), 20u);

    // Refused as the write of the row is refused: a date that is none, a
    // text too long for its field, a number past 16 bits.
    const long inSqlRows = h.count("IN_SQL");
    for (const auto& [row, first, error] :
         {std::tuple{std::string("'soon', 0, 'a'"), 1, err::TypeMismatch},
          std::tuple{std::string("NULL, 0, 'longer'"), 1, err::FieldTooSmall},
          std::tuple{std::string("NULL, 0, 'a'"), 32767, err::Overflow}}) {
        fill("('O''Brien \"x\"; --', 1, NULL, 0, 'a'), ('O''Brien \"x\"; --', 1, " + row + ")");
        EXPECT_EQ(errorNumber([&] { h.machine.action([&] { byHand(first); }); }),
                  error);
        EXPECT_EQ(errorNumber([&] { h.machine.action([&] { inSql(first); }); }),
                  error);
        EXPECT_EQ(h.count("IN_SQL"), inSqlRows);
    }
}

}  // namespace
}  // namespace mk
