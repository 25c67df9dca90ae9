#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/system.h"
#include "data/schema.h"
#include "support/harness.h"

namespace mk {
namespace {

namespace fs = std::filesystem;

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A start of the program on a data root whose database file a test made.
struct StartUpTest : ::testing::Test {
    fs::path file() const { return root.path() / "C" / "INVENT.MDB"; }
    // A file as this program makes it, changed by the given statements.
    void makeFile(const std::string& sql) {
        Machine maker(root.path());
        prepareMachine(maker, clock);
        if (!sql.empty()) maker.database(kDatabasePath).exec(sql);
    }
    bool start() {
        Machine machine(root.path());
        return prepareMachineOrSay(machine, clock, dialogs);
    }
    test::TempRoot root;
    FakeClock clock{test::defaultStart()};
    ScriptedDialogs dialogs;
};

TEST_F(StartUpTest, AFileTheProgramCannotUseIsNamedAndLeftAsItIs) {
    struct Case {
        const char* name;
        std::function<void()> make;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"empty",
         [&] {
             fs::create_directories(file().parent_path());
             std::ofstream{file()};
         },
         "it is empty."},
        {"foreign",
         [&] {
             makeFile("");
             std::ofstream(file()) << "a letter, not a database";
         },
         "it is not a database file of this program."},
        {"another program's",
         [&] {
             fs::create_directories(file().parent_path());
             Machine other(root.path());
             Database(other, file(), true).exec("CREATE TABLE x (a)");
         },
         "it holds none of the program's tables."},
        {"a table missing", [&] { makeFile("DROP TABLE BOX"); }, "the table BOX is missing."},
        {"a column missing", [&] { makeFile("ALTER TABLE BUYER DROP COLUMN PHONE"); },
         "the column PHONE of the table BUYER is missing."},
        {"damaged",
         [&] {
             makeFile("");
             {
                 Machine filler(root.path());
                 Database& db = filler.database(kDatabasePath);
                 db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                         "WHERE i < 3000) INSERT INTO BUYER (BUYER, NOTE) "
                         "SELECT 'customer ' || i, printf('%.200c', 'x') FROM n");
             }
             // A page of the customers' rows overwritten, as a failing disk does.
             std::fstream f(file(), std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(static_cast<std::streamoff>(fs::file_size(file()) - 20 * 4096));
             f << std::string(4096, '\x5a');
         },
         "it is damaged ("},
        {"read-only",
         [&] {
             makeFile("");
             fs::permissions(file(), fs::perms::owner_read | fs::perms::group_read);
         },
         "it is read-only."},
    };
    for (const Case& c : cases) {
        fs::remove_all(root.path() / "C");
        dialogs.clear();
        c.make();
        const std::string before = bytesOf(file());
        EXPECT_FALSE(start()) << c.name;
        ASSERT_EQ(dialogs.messages().size(), 1u) << c.name;
        const std::string said = dialogs.messages()[0].prompt;
        EXPECT_NE(said.find("C:\\INVENT.MDB"), std::string::npos) << said;
        EXPECT_NE(said.find(c.says), std::string::npos) << said;
        EXPECT_EQ(dialogs.messages()[0].style, mb::Critical);
        EXPECT_EQ(bytesOf(file()), before) << c.name;
    }
}

// The vouchers whose cash box row exists were posted: they are marked so;
// the fields rows are looked up by get their indexes.
TEST_F(StartUpTest, AFileOfAnEarlierVersionGetsTheVoucherFlagsTheYearsAndTheIndexes) {
    {
        Machine maker(root.path());
        prepareMachine(maker, clock);
        Database& db = maker.database(kDatabasePath);
        maker.action([&] { db.createTable(itemGroupTableDef("G1")); });
        db.exec("INSERT INTO qqq (Q) VALUES ('G1'), ('gone'); DROP INDEX \"ix.G1.DESC\";"
                "DROP INDEX \"ix.SALES_INVOICE.INVO_NO\"; DROP INDEX \"ix.BUYER.BUYER\"");
    }
    makeFile(
        "INSERT INTO REVEIVED_MONEY (INVO_NO, MONEY) VALUES (3, 50), (4, 60);"
        "INSERT INTO MONEY_OUT (INVO_NO, MONEY) VALUES (3, 10), (5, 20);"
        "INSERT INTO BOX (MONEY, RECEIVED_INV) VALUES (50, 3);"
        "INSERT INTO BOX (MONEY, OUT_INV) VALUES (30, 5);"
        "ALTER TABLE REVEIVED_MONEY DROP COLUMN POSTED;"
        // Its voucher numbers were 16-bit.
        "ALTER TABLE MONEY_OUT RENAME TO old; CREATE TABLE MONEY_OUT (INVO_NO SMALLINT, "
        "MONEY DOUBLE, DATES DATETIME, NOTE TEXT, WHO_GET TEXT); INSERT INTO MONEY_OUT "
        "(INVO_NO, MONEY) SELECT INVO_NO, MONEY FROM old; DROP TABLE old;"
        "DELETE FROM YEAR_OUTPUT WHERE YEAR > 2020; UPDATE YEAR_OUTPUT SET TAX = 7 WHERE YEAR = 2019");
    ASSERT_TRUE(start());
    EXPECT_TRUE(dialogs.messages().empty());
    Machine machine(root.path());
    Database& db = machine.database(kDatabasePath);
    Recordset received(db, "REVEIVED_MONEY");
    EXPECT_EQ(received.columnValues("POSTED"), (std::vector<Value>{Value(true), Value(false)}));
    EXPECT_EQ(received.field("MONEY"), Value(50.0));
    EXPECT_EQ(Recordset(db, "MONEY_OUT").columnValues("POSTED"),
              (std::vector<Value>{Value(false), Value(true)}));
    // Every connection syncs a commit with its journal's removal.
    auto synchronous = db.prepare("PRAGMA synchronous");
    ASSERT_TRUE(synchronous->step());
    EXPECT_EQ(synchronous->columnInt(0), 3);  // EXTRA
    Recordset years(db, "YEAR_OUTPUT");
    std::vector<int> held;
    for (const Value& y : years.columnValues("YEAR")) held.push_back(toInt16(y));
    std::vector<int> expected;
    for (int y = 2000; y <= 2050; ++y) expected.push_back(y);
    EXPECT_EQ(held, expected);
    EXPECT_EQ(toDouble(years.columnValues("TAX")[19]), 7);
    EXPECT_EQ(years.columnValues("YEARS")[50], Value("2050"));
    EXPECT_EQ(years.columnValues("GAIN_SELL")[50], Value(0.0));
    // Every field rows are looked up by has its index, the groups' too.
    for (const TableDef& t : systemTables())
        for (const std::string& field : t.lookupFields) EXPECT_TRUE(db.hasLookupIndex(t.name, field)) << t.name;
    EXPECT_TRUE(db.hasLookupIndex("G1", "DESC"));
    EXPECT_FALSE(needsBringingUpToDate(db));

    // The 16-bit column takes a voucher number past 32767 as it is.
    Machine prepared(root.path());
    prepareMachine(prepared, clock);
    Database& now = prepared.database(kDatabasePath);
    Recordset out(now, "MONEY_OUT");
    out.addNew();
    out.setField("INVO_NO", 40000);
    out.update();
    EXPECT_EQ(Recordset(now, "MONEY_OUT").columnValues("INVO_NO").back(), Value::i32(40000));
}

TEST_F(StartUpTest, BringingAFileUpToDateIsOneAction) {
    // It fails at a year, or at the last index: nothing of it is kept.
    for (const char* failure :
         {"CREATE TRIGGER stop AFTER INSERT ON YEAR_OUTPUT WHEN NEW.YEAR = 2040 "
          "BEGIN SELECT RAISE(ABORT, 'disk full'); END",
          "DROP INDEX \"ix.DAILY_TRADE.DESC\"; CREATE TABLE \"ix.DAILY_TRADE.DESC\" (x)"}) {
        std::error_code ec;
        std::filesystem::remove_all(root.path() / "C", ec);
        dialogs.clear();
        makeFile(std::string("ALTER TABLE MONEY_OUT DROP COLUMN POSTED; DELETE FROM YEAR_OUTPUT WHERE "
                             "YEAR > 2020; DROP INDEX \"ix.BUYER.BUYER\";") + failure);
        const std::string before = bytesOf(file());
        EXPECT_FALSE(start());
        EXPECT_NE(dialogs.messages().at(0).prompt.find("could not be brought up to date"),
                  std::string::npos);
        EXPECT_EQ(bytesOf(file()), before);
    }
}

}  // namespace
}  // namespace mk
