// The backup and restore windows, and the file copies under them: a copy
// of the open database holds only what was committed.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/files.h"
#include "support/steps.h"

namespace mk {
namespace {

using namespace test;
namespace fs = std::filesystem;

// A restore as a user makes it in Form47: the drive, the folder, the file,
// then the restore button.
void restoreThrough(Harness& h, const std::string& drive, const std::string& folder,
                    const std::string& file) {
    Form& f = h.show("Form47");
    h.app.chooseDrive(static_cast<DriveListBox&>(f.control("Drive2")), drive);
    if (!folder.empty()) h.app.chooseFolder(static_cast<DirListBox&>(f.control("Dir2")), folder);
    h.app.chooseFile(static_cast<FileListBox&>(f.control("File1")), file);
    h.click("Form47", "Command2");
}

struct BackupTest : ::testing::Test {
    BackupTest() {
        h.app.setMainForm("Form1");
        h.exec("INSERT INTO BUYER (BUYER) VALUES ('first')");
        h.show("Form1");
    }
    void restore(const std::string& drive, const std::string& folder, const std::string& file) {
        restoreThrough(h, drive, folder, file);
    }
    int lastStyle() { return h.dialogs.shown().back().style; }
    // The restore was refused, saying so in Arabic; the live file was not
    // replaced, so no copy of it was kept.
    bool refused() {
        const std::string said = h.lastMessage();
        return said.rfind("لم يتم الإسترجاع: ", 0) == 0 && lastStyle() == mb::Critical &&
               toldInArabic(said,
                            {"D:\\OLD\\INVENT.MDB", "D:\\HOLLOW\\INVENT.MDB", "D:\\INVENT.MDB"}) &&
               !fs::exists(h.machine.mapPath("C:\\INVENT.MDB.before-restore"));
    }
    Harness h;
};

TEST_F(BackupTest, BackupThenRestoreBringsBackTheCopiedData) {
    h.show("Form48");
    EXPECT_EQ(h.lastMessage(), "م عمل نسخة إحتياطية من ملف قاعدة البيانات على القرص D:/");
    EXPECT_EQ(lastStyle(), mb::Information);
    EXPECT_TRUE(h.form("Form44").visible());
    {
        Database copy(h.machine, h.machine.mapPath("D:\\INVENT.MDB"), false);
        EXPECT_EQ(Recordset(copy, "BUYER").recordCount(), 1);
    }
    h.click("Form44", "Command2");

    h.show("Form6");
    h.exec("INSERT INTO BUYER (BUYER) VALUES ('second')");
    restore("d", "", "INVENT.MDB");
    EXPECT_EQ(h.lastMessage(), "تم إسترجاع ملف قاعهدة البيانات\r\n"
                               "الملف السابق محفوظ باسم C:\\INVENT.MDB.before-restore");
    EXPECT_EQ(h.count("BUYER"), 1);
    {
        // The file replaced is kept beside it, with what it held.
        Database kept(h.machine, h.machine.mapPath("C:\\INVENT.MDB.before-restore"), false);
        EXPECT_EQ(Recordset(kept, "BUYER").recordCount(), 2);
    }
    // The open windows go on with the restored rows.
    EXPECT_EQ(h.text("Form6", "Text1", 0), "first");
    h.click("Form6", "cmdaction", 0);
    h.click("Form6", "cmdaction", 0);
    EXPECT_EQ(h.count("BUYER"), 2);
}

TEST_F(BackupTest, AFailedCopySaysSoAndDoesNotOfferTheDayClose) {
    fs::remove_all(h.machine.driveFolder("D"));
    h.show("Form48");
    EXPECT_EQ(lastStyle(), mb::Critical);
    EXPECT_EQ(h.form("Form48").label("Label1").caption(), h.lastMessage());
    EXPECT_FALSE(h.app.isLoaded("Form44"));
}

TEST_F(BackupTest, RestoreRefusesWhatIsNoDatabaseOfTheProgram) {
    restore("q", "", "");  // no such drive, no file chosen
    EXPECT_EQ(h.messageTexts(), (std::vector<std::string>{
                                    "The drive does not exist",
                                    "لم يتم الإسترجاع: لم تختر ملفا. اختر ملف قاعدة البيانات ثم اضغط إسترجاع"}));
    EXPECT_EQ(lastStyle(), mb::Critical);
    EXPECT_EQ(static_cast<DriveListBox&>(h.form("Form47").control("Drive2")).drive(), "c:");

    const fs::path d = h.machine.driveFolder("D");
    fs::create_directories(d / "OLD");
    std::ofstream(d / "INVENT.MDB") << "not a database";
    Database(h.machine, d / "OLD" / "INVENT.MDB", true).exec("CREATE TABLE x (a)");
    for (const char* folder : {"", "D:\\OLD"}) {
        h.dialogs.clear();
        restore("d", folder, "INVENT.MDB");
        EXPECT_TRUE(refused()) << folder;
        EXPECT_EQ(h.count("BUYER"), 1);
    }
    // The checked names alone are not enough: every table and column.
    const fs::path hollow = d / "HOLLOW";
    fs::create_directories(hollow);
    {
        Database file(h.machine, hollow / "INVENT.MDB", true);
        for (const char* t : {"DIM", "Admin", "FLAGS", "BOX", "qqq", "DAILY_TRADE"})
            file.exec(std::string("CREATE TABLE ") + t + " (x)");
    }
    h.db().backupTo(d / "INVENT.MDB");
    Database(h.machine, d / "INVENT.MDB", false).exec("ALTER TABLE BUYER DROP COLUMN FAX");
    for (const char* folder : {"D:\\HOLLOW", "D:\\"}) {
        h.dialogs.clear();
        restore("d", folder, "INVENT.MDB");
        EXPECT_TRUE(refused()) << folder;
        EXPECT_EQ(h.count("BUYER"), 1);
        EXPECT_TRUE(Recordset(h.db(), "BUYER").hasField("FAX"));
    }

    // Another name is only copied into the root of drive C.
    fs::copy_file(d / "OLD" / "INVENT.MDB", d / "OTHER.MDB");
    restore("d", "", "OTHER.MDB");
    EXPECT_EQ(h.lastMessage(), "تم إسترجاع ملف قاعهدة البيانات");
    EXPECT_TRUE(fs::exists(h.machine.mapPath("C:\\OTHER.MDB")));
    EXPECT_EQ(h.count("BUYER"), 1);
}

TEST_F(BackupTest, AFileOfAnEarlierVersionIsRestoredUpToDate) {
    const fs::path old = h.machine.driveFolder("D") / "INVENT.MDB";
    h.db().backupTo(old);
    Database(h.machine, old, false)
        .exec("ALTER TABLE MONEY_OUT DROP COLUMN POSTED; DELETE FROM YEAR_OUTPUT WHERE YEAR > 2020");
    restore("d", "", "INVENT.MDB");
    EXPECT_EQ(h.lastMessage().rfind("تم إسترجاع ملف قاعهدة البيانات", 0), 0u);
    EXPECT_TRUE(Recordset(h.db(), "MONEY_OUT").hasField("POSTED"));
    EXPECT_EQ(h.count("YEAR_OUTPUT"), 51);
}

// A page of a table's rows overwritten, as a failing disk does: every
// table and column is still there, and the quick check names the damage.
void damageOnePage(Machine& machine, const fs::path& file, const std::string& table) {
    long long root = 0, pageSize = 0;
    {
        Database db(machine, file, false);
        auto st = db.prepare("SELECT rootpage FROM sqlite_master WHERE name = '" + table + "'");
        ASSERT_TRUE(st->step());
        root = st->columnInt(0);
        auto size = db.prepare("PRAGMA page_size");
        ASSERT_TRUE(size->step());
        pageSize = size->columnInt(0);
    }
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    auto at = [&](long long page) { return static_cast<std::streamoff>((page - 1) * pageSize); };
    // An interior root (type 5) names its last child at byte 8: a leaf.
    unsigned char head[12] = {};
    f.seekg(at(root));
    f.read(reinterpret_cast<char*>(head), sizeof head);
    long long page = root;
    if (head[0] == 5) page = head[8] << 24 | head[9] << 16 | head[10] << 8 | head[11];
    // Its cell pointers, past the 8-byte leaf header.
    f.seekp(at(page) + 8);
    f << std::string(64, '\xff');
}

// The live file, read through a connection of its own: whole, with what
// it held before.
std::string liveFile(Harness& h) {
    if (h.committed("SELECT count(*) FROM pragma_quick_check WHERE quick_check <> 'ok'") != 0)
        return "damaged";
    return formatDouble(h.committed("SELECT count(*) FROM BUYER")) + " customers, cash " +
           formatDouble(h.committed("SELECT total(MONEY) FROM BOX")) + ", POSTED " +
           formatDouble(h.committed("SELECT count(*) FROM pragma_table_info('MONEY_OUT') "
                                    "WHERE name = 'POSTED'"));
}

TEST_F(BackupTest, ADamagedBackupNeverReplacesTheLiveFile) {
    const fs::path backup = h.machine.driveFolder("D") / "INVENT.MDB";
    h.db().backupTo(backup);
    Database(h.machine, backup, false)
        .exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
              "INSERT INTO BOX (MONEY) SELECT i FROM n");
    damageOnePage(h.machine, backup, "BOX");
    h.exec("INSERT INTO BUYER (BUYER) VALUES ('second'); INSERT INTO BOX (MONEY) VALUES (75)");
    const std::string before = liveFile(h);
    ASSERT_EQ(before, "2 customers, cash 75, POSTED 1");

    restore("d", "", "INVENT.MDB");
    EXPECT_TRUE(refused()) << h.lastMessage();
    EXPECT_EQ(liveFile(h), before);
    EXPECT_EQ(h.text("Form6", "Text1", 0), "first");
    // What the check found goes to the log, not to the user.
    EXPECT_NE(h.logText().find("quick_check"), std::string::npos);
}

TEST_F(BackupTest, AFailureAfterTheReplacementPutsTheKeptCopyBack) {
    // An older backup, which a step after the replacement (bringing it up
    // to date) fails on half way.
    const fs::path old = h.machine.driveFolder("D") / "INVENT.MDB";
    h.db().backupTo(old);
    Database(h.machine, old, false)
        .exec("ALTER TABLE MONEY_OUT DROP COLUMN POSTED; DELETE FROM YEAR_OUTPUT WHERE YEAR > 2020;"
              "CREATE TRIGGER stop AFTER INSERT ON YEAR_OUTPUT WHEN NEW.YEAR = 2040 "
              "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    h.exec("INSERT INTO BUYER (BUYER) VALUES ('second'); INSERT INTO BOX (MONEY) VALUES (75)");
    const std::string before = liveFile(h);
    h.show("Form6");

    restore("d", "", "INVENT.MDB");
    const std::string said = h.lastMessage();
    EXPECT_EQ(
        said.rfind("لم يتم الإسترجاع: تعذر إتمام الإسترجاع فأعيدت البيانات السابقة كما كانت", 0), 0u)
        << said;
    EXPECT_NE(said.find("C:\\INVENT.MDB.before-restore"), std::string::npos);
    EXPECT_TRUE(toldInArabic(said, {"C:\\INVENT.MDB.before-restore"})) << said;
    EXPECT_EQ(liveFile(h), before);
    EXPECT_EQ(h.committed("SELECT count(*) FROM sqlite_master WHERE name = 'stop'"), 0);
    // The windows show the data put back.
    h.click("Form6", "cmdaction", 0);
    h.click("Form6", "cmdaction", 0);
    EXPECT_EQ(h.count("BUYER"), 3);
}

TEST_F(BackupTest, ARestoreWaitsForEveryDocumentToBeSavedOrDropped) {
    h.db().backupTo(h.machine.driveFolder("D") / "INVENT.MDB");
    h.exec("INSERT INTO BUYER (BUYER) VALUES ('second')");
    Form& customers = h.show("Form6");
    h.click("Form6", "cmdaction", 0);  // add
    h.type("Form6", "Text1", "third", 0);
    const std::string before = liveFile(h);
    restore("d", "", "INVENT.MDB");
    EXPECT_TRUE(refused());
    EXPECT_NE(h.lastMessage().find("«" + customers.caption.get() + "»"), std::string::npos);
    EXPECT_EQ(liveFile(h), before);
    EXPECT_EQ(h.text("Form6", "Text1", 0), "third");

    cancel(h, "Form6");
    restore("d", "", "INVENT.MDB");
    EXPECT_EQ(h.lastMessage().rfind("تم إسترجاع ملف قاعهدة البيانات", 0), 0u);
    EXPECT_EQ(h.committed("SELECT count(*) FROM BUYER"), 1);
}

TEST(Restore, AfterARestoreEveryOpenWindowShowsTheRestoredData) {
    Harness h;
    h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('first', 40);"
           "INSERT INTO REVEIVED_MONEY (INVO_NO, MONEY) VALUES (7, 1)");
    h.db().backupTo(h.machine.driveFolder("D") / "INVENT.MDB");
    h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('second', 100);"
           "INSERT INTO REVEIVED_MONEY (INVO_NO, MONEY) VALUES (12, 1)");
    for (const char* window : {"Form1", "Form35", "Form6"}) h.show(window);
    ASSERT_EQ(h.caption("Form1", "Label23", 0), "140");
    ASSERT_EQ(h.caption("Form35", "Label6"), "12");

    restoreThrough(h, "d", "", "INVENT.MDB");
    EXPECT_EQ(h.caption("Form1", "Label23", 0), "40");  // the customers' total
    EXPECT_EQ(h.caption("Form35", "Label6"), "7");      // the last receipt number
    EXPECT_EQ(h.text("Form6", "Text1", 0), "first");
}

TEST_F(BackupTest, ABackupRemovesPartFilesThatAnEarlierCopyLeftBehind) {
    const fs::path d = h.machine.driveFolder("D");
    std::ofstream(d / "INVENT.MDB.part-123456789") << std::string(100000, 'x');
    std::ofstream(d / "INVENT.MDB.part-notes") << "kept";
    std::ofstream(d / "OTHER.MDB.part-42") << "kept";
    h.show("Form48");
    EXPECT_TRUE(h.form("Form44").visible());
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(d)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"INVENT.MDB", "INVENT.MDB.part-notes",
                                               "OTHER.MDB.part-42"}));
}

std::string firstWord(const fs::path& file) {
    std::string s;
    std::ifstream(file) >> s;
    return s;
}

TEST(Files, CopiesIntoAFolderUnderTheFilesOwnName) {
    Harness h(Harness::Windows::None);
    const fs::path src = h.machine.mapPath("D:\\notes.txt");
    std::ofstream(src) << "one";
    copyFileInto(h.machine, "d:\\notes.txt", "c:\\");
    EXPECT_EQ(firstWord(h.machine.mapPath("C:\\notes.txt")), "one");
    std::ofstream(src) << "two";
    copyFileInto(h.machine, "D:\\NOTES.TXT", "C:\\");
    EXPECT_EQ(firstWord(h.machine.mapPath("C:\\notes.txt")), "two");
    EXPECT_EQ(errorNumber([&] { copyFileInto(h.machine, "D:\\none.mdb", "C:\\"); }), err::FileNotFound);
    EXPECT_EQ(errorNumber([&] { copyFileInto(h.machine, "D:\\notes.txt", "E:\\"); }), err::PathNotFound);
    EXPECT_EQ(joinWindowsPath("D:\\", "a.mdb") + joinWindowsPath("D:\\sub", "a.mdb"),
              "D:\\a.mdbD:\\sub\\a.mdb");
}

TEST(Files, ABackupOfTheOpenFileHoldsOnlyWhatWasCommitted) {
    Harness h(Harness::Windows::None);
    Recordset rs(h.db(), "BUYER");
    auto add = [&](const char* name) {
        rs.addNew();
        rs.setField("BUYER", name);
        rs.update();
    };
    h.machine.action([&] { add("committed"); });
    h.machine.action([&] {
        add("pending");
        copyFileInto(h.machine, "c:\\INVENT.MDB", "d:\\");
    });
    ASSERT_TRUE(isDatabaseFile(h.machine.mapPath("D:\\INVENT.MDB")));
    Machine other(h.root.path());
    EXPECT_EQ(Recordset(other.database("D:\\INVENT.MDB"), "BUYER").columnValues("BUYER"),
              (std::vector<Value>{Value("committed")}));
    // No half-written leftovers beside the copy.
    for (const auto& e : fs::directory_iterator(h.machine.mapPath("D:\\")))
        EXPECT_EQ(e.path().filename().string().find(".part-"), std::string::npos);
}

}  // namespace
}  // namespace mk
