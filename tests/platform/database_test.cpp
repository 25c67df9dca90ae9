#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "data/schema.h"
#include "platform/datacontrol.h"
#include "support/harness.h"

namespace mk {
namespace {

using test::errorNumber;

using test::Harness;

class DatabaseTest : public ::testing::Test {
protected:
    Harness h{Harness::Windows::None};
    Database& db = h.db();

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
    std::vector<std::string> expected = {
        "DIM", "Admin", "FLAGS", "PRODUCT_BUY", "VALIDITY_DATE", "BUYER_DEALS", "BOX",
        "REVEIVED_MONEY", "MONEY_OUT", "DAY_OUTPUT", "MONTH_OUTPUT", "YEAR_OUTPUT", "qqq",
        "DAILY_TRADE", "SALES_INVOICE", "SALES_INVO_GROUP", "COAST_INVO_GROUP",
        "RETURN_INVOICE", "BUY_INVOICE", "BUYER", "SUPPLIER", "emplyee", "n1", "n2",
        "INVENTORY"};
    EXPECT_EQ(db.tableNames(), expected);
    std::map<std::string, long> rows = {{"DIM", 1},          {"Admin", 1},        {"FLAGS", 1},
                                        {"PRODUCT_BUY", 1},  {"VALIDITY_DATE", 1}, {"BUYER_DEALS", 1},
                                        {"BOX", 1},          {"DAY_OUTPUT", 30},   {"MONTH_OUTPUT", 12},
                                        {"YEAR_OUTPUT", 51}, {"qqq", 0},           {"DAILY_TRADE", 0},
                                        {"BUYER", 0},        {"SUPPLIER", 0}};
    for (const auto& [table, n] : rows) EXPECT_EQ(h.count(table), n) << table;

    EXPECT_EQ(h.cell("Admin", 0, "UserID"), Value("529"));
    EXPECT_EQ(h.cell("Admin", 0, "enter"), Value(false));
    EXPECT_EQ(h.cell("DIM", 0, "COMP"), Value(false));
    EXPECT_EQ(h.cell("DIM", 0, "SECURITY"), Value(false));
    EXPECT_EQ(h.cell("FLAGS", 0, "BUYER_DEALS"), Value(true));
    EXPECT_EQ(h.cell("FLAGS", 0, "COUNTER_BUY"), Value::i16(1));
    EXPECT_EQ(h.cell("BOX", 0, "MONEY"), Value(0.0));
    EXPECT_EQ(h.cell("BOX", 0, "DATE"), Value::date(makeDate(2026, 12, 6)));
    EXPECT_EQ(h.cell("PRODUCT_BUY", 0, "ID"), Value::i16(999));
    EXPECT_EQ(h.cell("DAY_OUTPUT", 4, "DAYS"), Value("5"));
    EXPECT_EQ(h.cell("YEAR_OUTPUT", 0, "YEAR"), Value::i16(2000));
    EXPECT_EQ(h.cell("YEAR_OUTPUT", 50, "YEAR"), Value::i16(2050));
    EXPECT_EQ(h.cell("YEAR_OUTPUT", 50, "YEARS"), Value("2050"));
    EXPECT_EQ(h.cell("YEAR_OUTPUT", 50, "NET_GAIN"), Value(0.0));
    for (const char* vouchers : {"REVEIVED_MONEY", "MONEY_OUT"})
        EXPECT_TRUE(Recordset(db, vouchers).hasField("POSTED")) << vouchers;

    // Names with blanks and hyphens are real columns.
    Recordset inv(db, "BUY_INVOICE");
    EXPECT_TRUE(inv.hasField("EXPIRY_ DATES32"));
    EXPECT_TRUE(inv.hasField("TOTAL_PRICE12"));
    EXPECT_FALSE(inv.hasField("TOTAL_PRICE13"));
    EXPECT_TRUE(Recordset(db, "INVENTORY").hasField("TOTAL-SELL"));
    EXPECT_TRUE(Recordset(db, "emplyee").hasField("Job_ title"));
}

TEST_F(DatabaseTest, MovesOverRowsInTableOrder) {
    makeGroup("bolts", {"b1", "b2", "b3"});
    Recordset rs(db, "BOLTS");  // names match with case ignored
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(toText(rs.field("desc")), "b1");
    rs.moveNext();
    EXPECT_EQ(toText(rs.field("DESC")), "b2");
    rs.moveLast();
    EXPECT_EQ(toText(rs.field("DESC")), "b3");
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
}

TEST_F(DatabaseTest, EmptyTableStandsAtTheEndWithoutFailing) {
    Recordset rs(db, "BUYER");
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(rs.bof());
    rs.moveFirst();
    rs.moveLast();
    EXPECT_TRUE(rs.eof());
    rs.update();  // nothing pending: nothing to do
    EXPECT_EQ(errorNumber([&] { rs.setField("BUYER", "x"); }), err::NoCurrentRecord);
}

TEST_F(DatabaseTest, AddNewUpdateKeepsTheRowCurrentAndFillsDefaults) {
    Recordset rs(db, "DAILY_TRADE");
    rs.addNew();
    rs.setField("DESC", "bolt");
    rs.setField("STARY_DAY_Q", "12");
    rs.update();
    EXPECT_EQ(toText(rs.field("DESC")), "bolt");
    EXPECT_EQ(rs.field("STARY_DAY_Q"), Value::i32(12));
    EXPECT_EQ(rs.field("OUTPUT"), Value::i32(0));
    EXPECT_EQ(h.cell("DAILY_TRADE", 0, "INPUT"), Value::i32(0));
    rs.moveNext();
    EXPECT_TRUE(rs.eof());

    makeGroup("nuts", {});
    Recordset g(db, "nuts");
    g.addNew();
    g.setField("DESC", "n");
    g.update();
    EXPECT_EQ(g.field("REC_ID"), Value::i32(1));
    EXPECT_EQ(errorNumber([&] { g.setField("REC_ID", 5); }), err::NotUpdatable);
}

TEST_F(DatabaseTest, CancelAndRefreshDropWhatWasNotCommitted) {
    makeGroup("g", {"a", "b"});
    Recordset rs(db, "g");
    rs.moveNext();
    rs.addNew();
    rs.setField("DESC", "dropped");
    rs.cancelUpdate();
    EXPECT_EQ(toText(rs.field("DESC")), "b");
    rs.setField("DESC", "changed");
    EXPECT_EQ(toText(rs.field("DESC")), "changed");
    rs.refresh();
    EXPECT_EQ(toText(rs.field("DESC")), "a");
    EXPECT_EQ(h.column("g", "DESC").size(), 2u);
    EXPECT_EQ(h.cell("g", 1, "DESC"), Value("b"));
}

TEST_F(DatabaseTest, MovingOffARowStoresItsChanges) {
    makeGroup("g", {"a", "b"});
    Recordset rs(db, "g");
    rs.setField("ONSTOCK", 99);
    rs.moveNext();
    EXPECT_EQ(h.cell("g", 0, "ONSTOCK"), Value::i32(99));
    rs.addNew();
    rs.setField("DESC", "c");
    rs.moveFirst();
    EXPECT_EQ(h.count("g"), 3);
}

TEST_F(DatabaseTest, DeleteRemovesOnlyTheCurrentRowAndLoopsGoOn) {
    makeGroup("g", {"a", "b", "a", "c"});
    Recordset rs(db, "g");
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        if (toText(rs.field("DESC")) == "a") {
            rs.deleteCurrent();
            rs.update();  // harmless after a delete
        }
    }
    EXPECT_EQ(h.column("g", "DESC"), (std::vector<Value>{Value("b"), Value("c")}));
    EXPECT_EQ(rs.recordCount(), 2);
    rs.moveFirst();
    EXPECT_EQ(toText(rs.field("DESC")), "b");
}

TEST_F(DatabaseTest, CommitWritesOnlyFieldsChangedThroughThatRecordset) {
    makeGroup("g", {"a", "b"});
    Recordset loop(db, "g");  // opened first: its snapshot is older
    Recordset other(db, "g");
    other.moveNext();
    other.setField("ONSTOCK", 5);
    other.update();

    // A write-back loop through the older snapshot must not undo it.
    for (loop.moveFirst(); !loop.eof(); loop.moveNext()) {
        loop.setField("ONSTOCK", loop.field("ONSTOCK"));
        loop.setField("NOTES", "seen");
        loop.update();
    }
    EXPECT_EQ(h.cell("g", 1, "ONSTOCK"), Value::i32(5));
    EXPECT_EQ(h.cell("g", 1, "NOTES"), Value("seen"));
    // The two snapshots stay independent until re-read.
    EXPECT_EQ(other.field("NOTES"), Value::null());
    other.refresh();
    other.moveNext();
    EXPECT_EQ(other.field("NOTES"), Value("seen"));
}

TEST_F(DatabaseTest, WritesConvertToTheColumnTypeOrFail) {
    makeGroup("g", {"a"});
    Recordset rs(db, "g");
    rs.setField("ONSTOCK", "12");
    EXPECT_EQ(rs.field("ONSTOCK"), Value::i32(12));
    rs.setField("BUY_PRICE", "2.5");
    EXPECT_EQ(rs.field("BUY_PRICE"), Value(2.5));
    rs.setField("DATES", "10/10/2007");
    EXPECT_EQ(rs.field("DATES"), Value::date(makeDate(2007, 10, 10)));
    rs.setField("RETURN", 12.5);
    EXPECT_EQ(rs.field("RETURN"), Value::i16(12));
    rs.setField("UNITE_PRICE", "");
    EXPECT_TRUE(rs.field("UNITE_PRICE").isNull());
    rs.setField("NOTES", 3.5);
    EXPECT_EQ(rs.field("NOTES"), Value("3.5"));
    EXPECT_EQ(errorNumber([&] { rs.setField("ONSTOCK", "abc"); }), err::TypeMismatch);
    EXPECT_EQ(errorNumber([&] { rs.setField("DATES", "32/01/2007"); }), err::TypeMismatch);
    EXPECT_EQ(errorNumber([&] { rs.setField("RETURN", 40000); }), err::Overflow);
    EXPECT_EQ(errorNumber([&] { rs.setField("BUY_PRICE", Value(1e308 * 10)); }), err::Overflow);
    EXPECT_EQ(errorNumber([&] { rs.setField("DESC", std::string(201, 'x')); }),
              err::FieldTooSmall);
    EXPECT_EQ(errorNumber([&] { rs.setField("NO_SUCH", 1); }), err::FieldNotFound);
    rs.update();
    EXPECT_EQ(h.cell("g", 0, "DATES"), Value::date(makeDate(2007, 10, 10)));
    EXPECT_EQ(h.cell("g", 0, "ONSTOCK"), Value::i32(12));
    // A 16-bit column widened takes 32-bit numbers.
    db.widenToInt32("g", "RETURN");
    Recordset wide(db, "g");
    wide.setField("RETURN", 40000);
    EXPECT_EQ(wide.field("RETURN"), Value::i32(40000));
}

TEST_F(DatabaseTest, NullFieldsReadAsEmptyAndZero) {
    Recordset rs(db, "BOX");
    EXPECT_TRUE(rs.field("MONEY_OUT").isNull());
    EXPECT_EQ(toDouble(rs.field("MONEY_OUT")), 0);
    EXPECT_EQ(toText(rs.field("emplyee_name")), "");
    EXPECT_EQ(rs.field("MONEY"), Value(0.0));
}

TEST_F(DatabaseTest, TableCreationRefusesBadAndUsedNames) {
    EXPECT_EQ(errorNumber([&] { db.createTable(itemGroupTableDef("")); }), err::InvalidName);
    EXPECT_EQ(errorNumber([&] { db.createTable(itemGroupTableDef(".")); }), err::InvalidName);
    EXPECT_EQ(errorNumber([&] { db.createTable(itemGroupTableDef("a[b")); }), err::InvalidName);
    EXPECT_EQ(errorNumber([&] { db.createTable(itemGroupTableDef("box")); }), err::TableExists);
    EXPECT_EQ(errorNumber([&] { db.createTable(itemGroupTableDef("sqlite_x")); }),
              err::InvalidName);
    db.createTable(itemGroupTableDef("قطع غيار"));
    Recordset rs(db, "قطع غيار");
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(errorNumber([&] { Recordset missing(db, "nothing"); }), err::TableNotFound);
}

TEST_F(DatabaseTest, UniqueUserIdRefusesADuplicate) {
    Recordset rs(db, "Admin");
    rs.addNew();
    rs.setField("UserID", "529");
    EXPECT_EQ(errorNumber([&] { rs.update(); }), err::DuplicateKey);
    rs.cancelUpdate();
    rs.addNew();
    rs.setField("UserID", "ali");
    rs.update();
    EXPECT_EQ(h.count("Admin"), 2);
}

TEST_F(DatabaseTest, AFailedActionRollsBackEverythingAndRereads) {
    makeGroup("g", {"a"});
    Recordset rs(db, "g");
    EXPECT_THROW(h.machine.action([&] {
        rs.setField("ONSTOCK", 500);
        rs.update();
        db.createTable(itemGroupTableDef("newgroup"));
        Recordset box(db, "BOX");
        box.addNew();
        box.setField("MONEY", 10);
        box.update();
        toInt16(Value(99999));  // fails half way
    }),
                 RuntimeError);
    EXPECT_EQ(h.cell("g", 0, "ONSTOCK"), Value::i32(10));
    EXPECT_EQ(rs.field("ONSTOCK"), Value::i32(10));  // re-read
    EXPECT_FALSE(db.findTable("newgroup"));
    EXPECT_EQ(h.count("BOX"), 1);

    // Nested actions join the running one.
    h.machine.action([&] {
        h.machine.action([&] {
            rs.setField("ONSTOCK", 7);
            rs.update();
        });
    });
    EXPECT_EQ(h.cell("g", 0, "ONSTOCK"), Value::i32(7));
}

TEST_F(DatabaseTest, AFailedActionLeavesRecordsetsWhereTheyStoodWhenItBeganWriting) {
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
        past.update();  // a row that the rollback takes away again
        before.moveLast();
        throw RuntimeError(err::DatabaseError, "disk full");
    }),
                 RuntimeError);
    EXPECT_EQ(second.field("DESC"), Value("b"));
    EXPECT_EQ(second.field("ONSTOCK"), Value::i32(20));
    EXPECT_TRUE(past.eof());
    EXPECT_EQ(past.recordCount(), 3);
    EXPECT_TRUE(before.bof() && !before.eof());
}

TEST_F(DatabaseTest, DataControlBindsATableThroughItsConnectionText) {
    DataControl dc(h.machine);
    dc.bindTable(kConnectionString, "DIM");
    EXPECT_EQ(dc.CursorLocation, 3);
    EXPECT_EQ(dc.CommandType, 2);
    EXPECT_EQ(toText(dc.recordset().field("COMP")), "False");
    // Re-pointing closes the old table and opens the new one.
    dc.RecordSource = "FLAGS";
    dc.Refresh();
    EXPECT_TRUE(dc.recordset().hasField("COUNTER_BUY"));
    // Other spellings of the path name the same file.
    DataControl other(h.machine);
    other.bindTable("Provider=Microsoft.Jet.oledb.4.0;Data Source =c:\\INVENT.mdb", "BOX");
    EXPECT_EQ(&other.recordset().database(), &dc.recordset().database());
    DataControl bad(h.machine);
    EXPECT_EQ(errorNumber([&] { bad.bindTable(kConnectionString, "NO_TABLE"); }),
              err::TableNotFound);
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
    {
        std::ofstream(root.path() / "C" / "INVENT.MDB") << "";
    }
    EXPECT_EQ(m.mapPath("c:\\invent.mdb"), root.path() / "C" / "INVENT.MDB");
    EXPECT_EQ(m.drives(), (std::vector<std::string>{"c:", "d:"}));
    EXPECT_TRUE(m.driveExists("D:\\"));
    EXPECT_FALSE(m.driveExists("e:"));
    EXPECT_EQ(dataSourceOf("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\INVENT.MDB"),
              "C:\\INVENT.MDB");
}

}  // namespace
}  // namespace mk
