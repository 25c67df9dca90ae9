// The program's start: a database file it cannot use, or one of an
// earlier version; the start window and the main window: the first use, a
// new day, the totals, the lock timer, every menu item, the day's
// quantities, and what it does with a missing group table or a failed
// load.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "app/main_window.h"
#include "store/day_quantities.h"
#include "store/item_card.h"
#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

std::string totals(Form1& main) {
    std::string out;
    for (Label* l : {main.Label23[0], main.Label23[1], main.Label23[2], main.Label24, main.Label21})
        out += l->caption() + "|";
    return out;
}

// Random shops check the totals against a walk (SqlWalks); here the ends:
// no cash box row at all, and the card not yet on a group.
TEST(MainWindow, EmptyTablesTotalZeroAndTheCardWaitsForAGroup) {
    Harness h;
    setProfile(h, "ACME");
    h.exec("DELETE FROM BOX");
    openStore(h);
    Form1& main = h.app.form<Form1>();
    EXPECT_EQ(totals(main), "0|0|0|0|0|");
    EXPECT_EQ(main.Label13->caption(), "06/12/2026");
    EXPECT_FALSE(main.card->Adodc4->isOpen());
    EXPECT_TRUE(h.dialogs.messages().empty());
}

TEST(MainWindow, ASecondLockEndsAtTheRunningTimersNextTick) {
    Harness h;
    setProfile(h, "ACME");
    Form& main = openStore(h);
    h.menu("Form1", "board");
    EXPECT_FALSE(h.menu("Form1", "PROGRAMMER"));
    h.advance(11999);
    EXPECT_FALSE(main.enabled);
    h.advance(1);
    EXPECT_TRUE(main.enabled);
    h.advance(3000);
    h.menu("Form1", "board");  // at 15 s: lasts until the tick at 24 s
    h.advance(8999);
    EXPECT_FALSE(main.enabled);
    h.advance(1);
    EXPECT_TRUE(main.enabled);
}

TEST(MainWindow, TotalsLeaveThePartnerWindowsOnTheirFirstRowSoAnEditIsKept) {
    Harness h;
    setProfile(h, "ACME");
    h.exec("INSERT INTO BUYER (BUYER, PHONE, MONEY) VALUES ('Hala', '111', 10), ('Sami', '222', 5)");
    h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Nour', 3), ('Delta', 4)");
    openStore(h);
    EXPECT_EQ(h.caption("Form1", "Label23", 0) + " " + h.text("Form5", "Text1", 0), "15 Nour");
    h.menu("Form1", "BUYER");
    EXPECT_EQ(h.text("Form6", "Text1", 0), "Hala");
    h.click("Form6", "cmdaction", 2);
    h.type("Form6", "Text1", "0123", 1);
    h.click("Form6", "cmdaction", 2);
    EXPECT_EQ(h.caption("Form6", "cmdaction", 2), "&edit");
    EXPECT_EQ(col(h, "BUYER", "PHONE"), "0123|222");
    EXPECT_TRUE(h.dialogs.messages().empty());
}

TEST(MainWindow, AListedGroupWithoutATableIsReportedOnceAndSkipped) {
    Harness h;
    setProfile(h, "ACME");
    makeGroup(h, "G1", "('bolt', 2, 10, 6)");
    h.exec("INSERT INTO qqq (Q) VALUES ('Ghost')");
    makeGroup(h, "G2", "('nut', 3, 1, 1)");
    startNewDay(h);  // start of day, then the main window with its totals

    Form1& main = h.app.form<Form1>();
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(h.app.isLoaded("Form16"));
    EXPECT_EQ(main.Label24->caption() + " " + main.Label21->caption(), "23 15");
    EXPECT_EQ(col(h, "DAILY_TRADE", "DESC"), "bolt|nut");
    const std::vector<std::string> notice = {
        "لا يوجد جدول لمجموعة الأصناف Ghost، لن تدخل فى الإجماليات و كميات اليوم"};
    EXPECT_EQ(h.messageTexts(), notice);

    // The end of day pass skips it too, without a second notice.
    h.exec("UPDATE G2 SET ONSTOCK=9");
    h.menu("Form1", "INVENTORY_REPORT");
    EXPECT_EQ(col(h, "DAILY_TRADE", "END_DAY_Q"), "2|9");
    EXPECT_EQ(h.lines("Form1"), std::vector<std::string>(2, " كميات أخر اليوم جاهزة "));
    EXPECT_EQ(h.messageTexts(), notice);
}

TEST(MainWindow, AFailedLoadLeavesNoHalfLoadedWindowAndIsMetAgain) {
    Harness h;
    setProfile(h, "ACME");
    h.exec("INSERT INTO BOX (MONEY) VALUES (12)");
    h.exec("ALTER TABLE VALIDITY_DATE RENAME TO VALIDITY_DATE_AWAY");
    begin(h);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        h.click("Form16", "Command1");
        EXPECT_EQ(h.dialogs.messages().size(), static_cast<size_t>(attempt));
        EXPECT_EQ(h.dialogs.messages().back().style, mb::Critical);
        EXPECT_FALSE(h.app.isLoaded("Form1")) << attempt;
        EXPECT_TRUE(h.form("Form16").visible());
    }
    h.exec("ALTER TABLE VALIDITY_DATE_AWAY RENAME TO VALIDITY_DATE");
    h.click("Form16", "Command1");
    ASSERT_TRUE(h.app.isLoaded("Form1"));
    EXPECT_TRUE(h.form("Form1").visible());
    EXPECT_EQ(h.app.form<Form1>().Label23[2]->caption(), "12");
}

TEST(StartWindow, FirstUseStoresTheProfileAndEveryCaptionShowsTheNewName) {
    Harness h;
    h.exec("DELETE FROM Admin");  // without the day-state row the start still shows
    begin(h);
    Form& start = h.form("Form16");
    EXPECT_TRUE(start.button("Command1").visible);
    h.click("Form16", "Command1");
    EXPECT_EQ(h.lastMessage().rfind("شركة نورفال تهنئك", 0), 0u);
    EXPECT_FALSE(h.app.isLoaded("Form1"));
    EXPECT_TRUE(start.textBox("Text1", 7).visible && !start.button("Command1").visible);

    // A number no 32-bit field holds is refused before anything is stored.
    h.type("Form16", "Text1", "99999999999", 1);
    h.click("Form16", "Command3");
    EXPECT_FALSE(h.app.isLoaded("Form1"));
    EXPECT_FALSE(toBool(h.cell("DIM", 0, "COMP")));

    h.type("Form16", "Text1", "ACME", 0);
    h.type("Form16", "Text1", "12.5", 1);
    h.type("Form16", "Text1", "fax", 2);
    h.click("Form16", "Check1");
    h.click("Form16", "Command3");
    EXPECT_EQ(h.cell("DIM", 0, "COMPANY_NAME"), Value("ACME"));
    EXPECT_EQ(ints({h.cell("DIM", 0, "PHONE"), h.cell("DIM", 0, "FAX")}),
              (std::vector<int32_t>{12, 0}));
    EXPECT_TRUE(toBool(h.cell("DIM", 0, "SECURITY")) && toBool(h.cell("DIM", 0, "COMP")));

    const std::string title = "  مخزن و حسابات ACME";
    EXPECT_TRUE(h.form("Form1").visible());
    EXPECT_EQ(h.form("Form1").caption, "مخزن " + title);
    h.menu("Form1", "PROGRAMMER");
    EXPECT_EQ(h.form("Form7").caption, " بيانات عن برنامج " + title);
}

TEST(StartWindow, AClosedDayOffersOnlyTheNewDayButtonAndWritesTheRowsBeforeTheMainWindowShows) {
    Harness h;
    setProfile(h, "ACME");
    makeGroup(h, "G1", "('bolt', 5, 0, 0), ('nut', NULL, 0, 0)");
    h.exec("UPDATE Admin SET enter=1");
    struct Watch : UiObserver {
        Harness* h = nullptr;
        long rowsWhenShown = -1;
        void uiChanged() override {
            Form* main = h->app.loadedForm("Form1");
            if (main && main->visible() && rowsWhenShown < 0) rowsWhenShown = h->count("DAILY_TRADE");
        }
    } watch;
    watch.h = &h;
    h.app.setObserver(&watch);
    begin(h);
    EXPECT_TRUE(h.form("Form16").button("Command2").visible);
    EXPECT_FALSE(h.form("Form16").button("Command1").visible);
    h.click("Form16", "Command2");
    EXPECT_FALSE(toBool(h.cell("Admin", 0, "enter")));
    h.app.setObserver(nullptr);
    EXPECT_EQ(watch.rowsWhenShown, 2);
    EXPECT_FALSE(h.app.isLoaded("Form16"));

    // The next run, without a day close, is an ordinary start.
    ScriptedDialogs dialogs;
    Application again(h.machine, h.clock, dialogs);
    registerWindows(again);
    startProgram(again);
    EXPECT_TRUE(again.form("Form16").button("Command1").visible);
    EXPECT_FALSE(again.form("Form16").button("Command2").visible);
}

// One more run of the program on the harness's data, started as its
// command starts it.
struct ProgramRun {
    explicit ProgramRun(Harness& h) : app(h.machine, h.clock, dialogs) {
        registerWindows(app);
        startProgram(app);
    }
    Form& start() { return app.form("Form16"); }
    bool offersNewDay() {
        return start().button("Command2").visible && !start().button("Command1").visible;
    }
    ScriptedDialogs dialogs;
    Application app;
};

TEST(StartWindow, AClosedDayIsOfferedUntilItsNewDayStartsSoEveryDaysSalesAreInItsMovement) {
    Harness h;
    setProfile(h, "ACME");
    makeGroup(h, "G1", "('bolt', 10, 20, 9)");
    addUser(h, "boss", "secret2", {"close"});
    startNewDay(h);
    h.menu("Form1", "day_exite");
    login(h, "Form44", "boss", "secret2");
    ASSERT_TRUE(h.app.ended());
    {
        ProgramRun closedFirst(h);
        EXPECT_TRUE(closedFirst.offersNewDay());
        closedFirst.app.closeByUser(closedFirst.start());
        EXPECT_TRUE(closedFirst.app.ended());
    }
    {
        ProgramRun failing(h);
        ASSERT_TRUE(failing.offersNewDay());
        fail(h, "INSERT ON DAILY_TRADE");
        failing.app.click(failing.start().button("Command2"));
        succeed(h);
        EXPECT_EQ(failing.dialogs.messages().size(), 1u);
        EXPECT_EQ(h.count("DAILY_TRADE"), 0);
    }
    ProgramRun next(h);
    ASSERT_TRUE(next.offersNewDay());
    next.app.click(next.start().button("Command2"));
    Form& sales = next.app.form("Form3");
    next.app.menuClick(next.app.form("Form1").menu("SALES_IN"));
    next.app.choose(sales.dataCombo("DataCombo3"), "G1");
    next.app.click(sales.button("cmdaction", 0));
    next.app.typeText(sales.textBox("Text3", 0), "3");
    next.app.choose(sales.dataCombo("DataCombo1", 0), "bolt");
    next.dialogs.answer(answer::OK);
    next.dialogs.answer(answer::No);
    next.app.click(sales.button("cmdaction", 0));
    EXPECT_EQ(row(h, "DAILY_TRADE", -1, {"DESC", "STARY_DAY_Q", "OUTPUT"}), "bolt|10|3");
    // The day started: a restart without a close is an ordinary start.
    EXPECT_FALSE(ProgramRun(h).offersNewDay());
}

// Every item of the main menu, clicked with the permissions switch off and
// on. What an item does: the window or report it opens, "lock", "end",
// "uncover", "says:" or "asks:" a box, or "" (a bar menu, or an item with no
// action). "off|on" where the switch routes it.
const std::map<std::string, std::string> kOpens = {
    {"file", ""}, {"account", "Form12|Form13"}, {"board", "lock"}, {"copy", "Form47"},
    {"day_exite", "Form48"}, {"exit", "end"}, {"store", ""}, {"store_functions", "uncover|Form20"},
    {"RENAME_MAIN", "Form49"},
    {"earchby_name", "says:أختر مجموعة الأصناف ثم طقطق داخل مربع نص  اسم الصنف"},
    {"INVENTORY_REPORT", "DataReport10"}, {"output", ""}, {"moutput", "Form11"}, {"doutput", "Form18"},
    {"yearout", "Form19"}, {"invo", ""}, {"SALES_IN", "Form3"}, {"saleslarge", "Form42"},
    {"sellgroup", "Form53"}, {"returne", "Form28"}, {"supply_inv", "Form17"}, {"ECEIVE", "Form41"},
    {"PAY", "Form35"}, {"dealers", ""}, {"SUPPLY_INF", "Form5|Form32"}, {"BUYER", "Form6|Form52"},
    {"BOX", ""}, {"BOX_MANGEMENT", "Form34"}, {"emplyee1", ""}, {"emplyee", ""},
    {"observe_employee", "Form51"}, {"ADD_EMPLOYEE", "Form50"}, {"HELP", ""}, {"PROGRAMMER", "Form7"},
    {"USE", ""}, {"reports", ""}, {"inventory_rep", "DataReport10"}, {"akkes_repo", "DataReport3"},
    {"buy_repo", "DataReport4"}, {"ss", "DATA_SUPPLIER"}, {"dealer", "DataReport2"},
    {"BOX_REPORT", "DataReport8"}, {"emplyee_report", "DataReport12"},
    {"date_report", "asks:البحث عن الصلاحية"}, {"new", "Form56"},
};

// What one click of the item did, in the table's words.
std::string clicked(const std::string& item, bool switchOn) {
    Harness h;
    setProfile(h, "ACME", switchOn);
    enterMain(h);
    const std::vector<Form*> before = h.app.visibleForms();
    h.dialogs.clear();
    h.menu("Form1", item);
    if (h.app.ended()) return "end";
    Form& main = h.form("Form1");
    if (!main.enabled) return "lock";
    if (!main.picture("Picture2").visible) return "uncover";
    if (h.app.lastReport()) return h.app.lastReport()->name;
    for (Form* f : h.app.visibleForms())
        if (std::find(before.begin(), before.end(), f) == before.end()) return f->name();
    if (h.dialogs.shown().empty()) return "";
    const auto& box = h.dialogs.shown()[0];
    return box.input ? "asks:" + box.title : "says:" + box.prompt;
}

TEST(MainMenu, EveryItemOpensWhatItShouldWithTheSwitchOffAndOn) {
    Harness h;
    const std::vector<MenuItem*> items = h.form("Form1").allMenus();
    ASSERT_EQ(items.size(), kOpens.size());
    for (const MenuItem* item : items) {
        const std::string routes = kOpens.at(item->name());
        const size_t bar = routes.find('|');
        for (bool on : {false, true}) {
            const std::string expected =
                bar == std::string::npos ? routes : on ? routes.substr(bar + 1) : routes.substr(0, bar);
            EXPECT_EQ(clicked(item->name(), on), expected) << item->name() << (on ? ", switch on" : "");
        }
    }
}

class DayQuantitiesTest : public ::testing::Test {
protected:
    DayQuantitiesTest() {
        setProfile(h, "ACME");
        makeGroup(h, "G1", "('bolt', 5, 0, 0), ('nut', NULL, 0, 0), ('bolt', 40000, 0, 0)");
        makeGroup(h, "G2", "('bolt', 7, 0, 0), ('washer', 70000, 0, 0)");
        startNewDay(h);
    }
    Harness h;
};

TEST_F(DayQuantitiesTest, StartAndEndOfDayRowsForDuplicateNames) {
    EXPECT_EQ(col(h, "DAILY_TRADE", "DESC"), "bolt|nut|bolt|bolt|washer");
    EXPECT_EQ(col(h, "DAILY_TRADE", "STARY_DAY_Q"), "5|0|40000|7|70000");

    // The card stays on its group and row while the pass walks every group.
    h.menu("Form1", "store_functions");
    h.choose("Form1", "DataCombo3", "G1");
    h.app.navigate(h.form("Form1").adodc("Adodc4"), Nav::Next);
    h.exec("UPDATE G1 SET ONSTOCK=1 WHERE REC_ID=1");
    h.machine.action([&] { endOfDayPass(h.app); });
    EXPECT_EQ(col(h, "DAILY_TRADE", "END_DAY_Q"), "7|0|7|7|70000");  // G2's bolt comes last
    EXPECT_EQ(h.form("Form1").adodc("Adodc4").RecordSource, "G1");
    EXPECT_EQ(h.text("Form1", "Text6"), "nut");

    h.exec("UPDATE G2 SET ONSTOCK=3 WHERE REC_ID=1");
    h.machine.action([&] { endOfDayPass(h.app); });
    EXPECT_EQ(toInt32(h.cell("DAILY_TRADE", 0, "END_DAY_Q")), 3);
    h.machine.action([&] { startOfDay(h.app); });  // a second start appends
    EXPECT_EQ(h.count("DAILY_TRADE"), 10);

    h.exec("UPDATE DAILY_TRADE SET OUTPUT = 2, INPUT = 1 WHERE rowid = 2");
    h.menu("Form1", "INVENTORY_REPORT");
    EXPECT_EQ(h.lines("Form1"), std::vector<std::string>(2, " كميات أخر اليوم جاهزة "));
    // The daily movement report: end, sold, received, start, name per row.
    ASSERT_NE(h.app.report("DataReport10"), nullptr);
    std::string rows;
    for (const auto& r : h.app.report("DataReport10")->rows)
        rows += r[0] + " " + r[1] + " " + r[2] + " " + r[3] + " " + r[4] + "|";
    EXPECT_EQ(rows, "3 0 0 5 bolt|0 2 1 0 nut|3 0 0 40000 bolt|3 0 0 7 bolt|70000 0 0 70000 washer|"
                    "3 0 0 1 bolt|0 0 0 0 nut|3 0 0 40000 bolt|3 0 0 3 bolt|70000 0 0 70000 washer|");
}

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
    void makeFile(const std::string& sql, const char* group = nullptr) {
        Machine maker(root.path());
        prepareMachine(maker, clock);
        Database& db = maker.database(kDatabasePath);
        if (group) maker.action([&] { db.createTable(itemGroupTableDef(group)); });
        if (!sql.empty()) db.exec(sql);
    }
    // A file of many rows in a table (customers, or payment vouchers), a
    // page of which a failing disk overwrote: its tables and columns are all
    // there.
    void makeDamagedFile(const std::string& sql = "", const char* group = nullptr,
                         const std::string& table = "BUYER") {
        makeFile(sql, group);
        {
            Machine filler(root.path());
            Database& db = filler.database(kDatabasePath);
            db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                    "WHERE i < 3000) INSERT INTO " + table + " (NOTE) "
                    "SELECT printf('%.200c', 'x') FROM n");
        }
        std::fstream f(file(), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(fs::file_size(file()) - 20 * 4096));
        f << std::string(4096, '\x5a');
    }
    // The program's start, through the end of the file's check.
    bool start() {
        Machine machine(root.path());
        return prepareMachineOrSay(machine, clock, dialogs) &&
               followStartCheck(machine, dialogs, true) == StartCheck::Passed;
    }
    test::TempRoot root;
    FakeClock clock{test::defaultStart()};
    ScriptedDialogs dialogs;
};

TEST_F(StartUpTest, AFileTheProgramCannotUseIsNamedAndLeftAsItIs) {
    struct Case {
        const char* name;
        std::function<void()> make;
        const char* says;    // to the user
        const char* logged;  // to the log
    };
    const std::vector<Case> cases = {
        {"empty",
         [&] {
             fs::create_directories(file().parent_path());
             std::ofstream{file()};
         },
         "الملف فارغ", "the file is empty"},
        {"foreign",
         [&] {
             makeFile("");
             std::ofstream(file()) << "a letter, not a database";
         },
         "الملف ليس ملف قاعدة بيانات لهذا البرنامج", "is not a database file of this program"},
        {"another program's",
         [&] {
             fs::create_directories(file().parent_path());
             Machine other(root.path());
             Database(other, file(), true).exec("CREATE TABLE x (a)");
         },
         "ينقصه بعض جداوله أو حقوله", "it holds none of the program's tables."},
        {"a table missing", [&] { makeFile("DROP TABLE BOX"); }, "ينقصه بعض جداوله أو حقوله",
         "the table BOX is missing."},
        {"a column missing", [&] { makeFile("ALTER TABLE BUYER DROP COLUMN PHONE"); },
         "ينقصه بعض جداوله أو حقوله", "the column PHONE of the table BUYER is missing."},
        {"damaged", [&] { makeDamagedFile(); }, "الملف تالف", "PRAGMA quick_check: "},
        {"read-only",
         [&] {
             makeFile("");
             fs::permissions(file(), fs::perms::owner_read | fs::perms::group_read);
         },
         "الملف للقراءة فقط", "the file is read-only"},
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
        EXPECT_TRUE(test::toldInArabic(said, {kDatabasePath, file().string()})) << said;
        EXPECT_NE(test::logText(root.path()).find(c.logged), std::string::npos) << c.name;
        EXPECT_EQ(dialogs.messages()[0].style, mb::Critical);
        EXPECT_EQ(bytesOf(file()), before) << c.name;
    }
}

// The start window shows while the whole file is read; the main window
// loads beside it too, and the first write waits for the check. A damaged
// file is told once, as at any start, and nothing is written to it; a
// sound one takes the write once checked.
TEST_F(StartUpTest, TheFirstWindowsShowBeforeTheWholeCheckAndNoWriteComesBeforeIt) {
    const std::string shop = "UPDATE DIM SET COMP = 1;"
                             "INSERT INTO G1 (\"DESC\", ONSTOCK) VALUES ('bolt', 5);"
                             "INSERT INTO qqq (Q) VALUES ('G1')";
    for (const bool damaged : {true, false}) {
        fs::remove_all(root.path() / "C");
        dialogs.clear();
        // The vouchers, which the start does not read.
        if (damaged) makeDamagedFile(shop, "G1", "MONEY_OUT");
        else makeFile(shop, "G1");
        const std::string before = bytesOf(file());
        Machine machine(root.path());
        ASSERT_TRUE(prepareMachineOrSay(machine, clock, dialogs));
        Application app(machine, clock, dialogs);
        registerWindows(app);
        app.setMainForm("Form1");
        startProgram(app);
        ASSERT_TRUE(app.form("Form16").visible());
        app.click(app.form("Form16").control("Command1"));
        ASSERT_TRUE(app.form("Form1").visible());
        EXPECT_TRUE(dialogs.messages().empty());
        // The item card: a stock counted anew, saved.
        Form& main = app.form("Form1");
        app.menuClick(main.menu("store_functions"));
        app.choose(main.dataCombo("DataCombo3"), "G1");
        app.click(main.control("cmdaction", 2));
        app.typeText(main.textBox("Text3", 0), "7");
        app.click(main.control("cmdaction", 2));
        const Value stock = Recordset(machine.database(kDatabasePath), "G1").field("ONSTOCK");
        if (damaged) {
            EXPECT_EQ(bytesOf(file()), before);
            ASSERT_EQ(dialogs.messages().size(), 1u);
            EXPECT_NE(dialogs.messages()[0].prompt.find("الملف تالف"), std::string::npos);
            EXPECT_EQ(followStartCheck(machine, dialogs), StartCheck::Failed);
            EXPECT_EQ(dialogs.messages().size(), 1u);  // told once
            EXPECT_EQ(stock, Value::i32(5));
        } else {
            EXPECT_EQ(followStartCheck(machine, dialogs), StartCheck::Passed);
            EXPECT_TRUE(dialogs.messages().empty());
            EXPECT_EQ(stock, Value::i32(7));
        }
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
        EXPECT_NE(dialogs.messages().at(0).prompt.find("تعذر تحديثه ليعمل مع هذا الإصدار"),
                  std::string::npos);
        EXPECT_EQ(bytesOf(file()), before);
    }
}

}  // namespace
}  // namespace mk
