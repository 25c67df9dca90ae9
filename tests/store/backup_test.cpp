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

struct BackupTest : ::testing::Test {
    BackupTest() {
        h.app.setMainForm("Form1");
        h.exec("INSERT INTO BUYER (BUYER) VALUES ('first')");
        h.show("Form1");
    }
    void restore(const std::string& drive, const std::string& folder, const std::string& file) {
        Form& f = h.show("Form47");
        h.app.chooseDrive(static_cast<DriveListBox&>(f.control("Drive2")), drive);
        if (!folder.empty()) h.app.chooseFolder(static_cast<DirListBox&>(f.control("Dir2")), folder);
        h.app.chooseFile(static_cast<FileListBox&>(f.control("File1")), file);
        h.click("Form47", "Command2");
    }
    int lastStyle() { return h.dialogs.shown().back().style; }
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
    EXPECT_EQ(h.messageTexts(), (std::vector<std::string>{"The drive does not exist", "حدث خطأ"}));
    EXPECT_EQ(lastStyle(), mb::Critical);
    EXPECT_EQ(static_cast<DriveListBox&>(h.form("Form47").control("Drive2")).drive(), "c:");

    const fs::path d = h.machine.driveFolder("D");
    fs::create_directories(d / "OLD");
    std::ofstream(d / "INVENT.MDB") << "not a database";
    Database(h.machine, d / "OLD" / "INVENT.MDB", true).exec("CREATE TABLE x (a)");
    for (const char* folder : {"", "D:\\OLD"}) {
        h.dialogs.clear();
        restore("d", folder, "INVENT.MDB");
        EXPECT_EQ(h.lastMessage(), "حدث خطأ") << folder;
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
        EXPECT_EQ(h.lastMessage(), "حدث خطأ") << folder;
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
