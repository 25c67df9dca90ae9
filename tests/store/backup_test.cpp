#include <gtest/gtest.h>

#include <fstream>

#include "access/standins.h"

namespace mk {
namespace {

namespace fs = std::filesystem;
using test::Harness;

struct BackupTest : ::testing::Test {
    BackupTest() {
        test::registerStandIns(h.app);
        h.app.setMainForm("Form1");
        h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('first', 10)");
        h.show("Form1");
    }
    long rowsIn(const fs::path& file, const std::string& table) {
        Database copy(h.machine, file, false);
        return Recordset(copy, table).recordCount();
    }
    void restoreFrom(const std::string& drive, const std::string& file) {
        Form& f = h.show("Form47");
        h.app.chooseDrive(static_cast<DriveListBox&>(f.control("Drive2")), drive);
        h.app.chooseFile(static_cast<FileListBox&>(f.control("File1")), file);
        h.click("Form47", "Command2");
    }
    const ScriptedDialogs::Shown& lastBox() { return h.dialogs.shown().back(); }
    Harness h;
};

TEST_F(BackupTest, BackupThenRestoreBringsBackTheCopiedData) {
    h.show("Form48");
    EXPECT_EQ(h.lastMessage(), "م عمل نسخة إحتياطية من ملف قاعدة البيانات على القرص D:/");
    EXPECT_EQ(lastBox().style, mb::Information);
    EXPECT_TRUE(h.form("Form48").label("Label1").visible);
    EXPECT_EQ(h.lines("Form48")[1], "تم عمل نسخة إحتياطية على القرص D:/");
    EXPECT_TRUE(h.form("Form44").visible());
    const fs::path copy = h.machine.mapPath("D:\\INVENT.MDB");
    ASSERT_TRUE(fs::exists(copy));
    EXPECT_EQ(rowsIn(copy, "BUYER"), 1);
    h.click("Form44", "Command2");

    h.show("Form6");
    h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('second', 20)");
    h.form("Form6").adodc("Adodc1").Refresh();
    ASSERT_EQ(h.form("Form6").adodc("Adodc1").recordset().recordCount(), 2);

    restoreFrom("d", "INVENT.MDB");
    EXPECT_EQ(h.lastMessage(), "تم إسترجاع ملف قاعهدة البيانات");
    EXPECT_EQ(lastBox().style, mb::Information);
    EXPECT_EQ(h.count("BUYER"), 1);
    // Open windows go on with the restored rows.
    EXPECT_EQ(h.form("Form6").adodc("Adodc1").recordset().recordCount(), 1);
    EXPECT_EQ(h.text("Form6", "Text1", 0), "first");
    h.click("Form6", "cmdaction", 0);
    h.click("Form6", "cmdaction", 0);
    EXPECT_EQ(h.count("BUYER"), 2);
}

TEST_F(BackupTest, AFailedCopySaysSoAndDoesNotOfferTheDayClose) {
    fs::remove_all(h.machine.driveFolder("D"));
    h.show("Form48");
    EXPECT_EQ(lastBox().style, mb::Critical);
    EXPECT_EQ(h.lastMessage().find("م عمل"), std::string::npos);
    EXPECT_EQ(h.form("Form48").label("Label1").caption(), h.lastMessage());
    EXPECT_FALSE(h.app.isLoaded("Form44"));
    EXPECT_TRUE(h.lines("Form48").empty());
}

TEST_F(BackupTest, RestoreRefusesWhatIsNoDatabaseOfTheProgram) {
    restoreFrom("c", "");  // no file chosen
    EXPECT_EQ(h.lastMessage(), "حدث خطأ");
    EXPECT_EQ(lastBox().style, mb::Critical);

    // A drive that cannot be read: back to the drive the folders show.
    Form& f = h.form("Form47");
    auto& drives = static_cast<DriveListBox&>(f.control("Drive2"));
    h.app.chooseDrive(drives, "q");
    EXPECT_EQ(h.lastMessage(), "The drive does not exist");
    EXPECT_EQ(drives.drive(), "c:");
    h.app.chooseDrive(drives, "d");
    h.app.chooseDrive(drives, "q");
    EXPECT_EQ(drives.drive(), "d:");

    // Over the open database: neither a file that is no database nor a
    // database without the program's tables.
    const fs::path d = h.machine.driveFolder("D");
    fs::create_directories(d / "OLD");
    std::ofstream(d / "INVENT.MDB") << "not a database";
    {
        Database other(h.machine, d / "OLD" / "INVENT.MDB", true);
        other.exec("CREATE TABLE x (a)");
    }
    fs::copy_file(d / "OLD" / "INVENT.MDB", d / "OTHER.MDB");
    h.exec("INSERT INTO BUYER (BUYER) VALUES ('kept')");
    restoreFrom("d", "INVENT.MDB");
    EXPECT_EQ(h.lastMessage(), "حدث خطأ");
    h.dialogs.clear();
    h.app.chooseFolder(static_cast<DirListBox&>(f.control("Dir2")), "D:\\OLD");
    h.app.chooseFile(static_cast<FileListBox&>(f.control("File1")), "INVENT.MDB");
    h.click("Form47", "Command2");
    EXPECT_EQ(h.lastMessage(), "حدث خطأ");
    EXPECT_EQ(h.count("BUYER"), 2);

    // Another name is only copied into the root of drive C.
    restoreFrom("d", "OTHER.MDB");
    EXPECT_EQ(h.lastMessage(), "تم إسترجاع ملف قاعهدة البيانات");
    EXPECT_TRUE(fs::exists(h.machine.mapPath("C:\\OTHER.MDB")));
    EXPECT_EQ(h.count("BUYER"), 2);
}

}  // namespace
}  // namespace mk
