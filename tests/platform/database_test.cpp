// The database: a new file, recordsets walking and editing rows, typed
// writes, table names, one action rolled back whole, data controls and the
// drive folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/schema.h"
#include "platform/datacontrol.h"
#include "support/steps.h"

#include <sqlite3.h>

namespace mk {
namespace {

using test::errorNumber;
using test::Harness;

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

}  // namespace
}  // namespace mk
