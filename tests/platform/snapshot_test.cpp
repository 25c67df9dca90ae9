// Packed snapshot rows, tables read on first use, and the SQL conversions
// that stand in for walks over a snapshot.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "data/schema.h"
#include "platform/datacontrol.h"
#include "support/harness.h"

namespace mk {
namespace {

using test::Harness;

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

}  // namespace
}  // namespace mk
