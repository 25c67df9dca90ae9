#include <gtest/gtest.h>

#include <fstream>

#include "access/access_steps.h"

namespace mk {
namespace {

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
    test::Harness h;
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
    EXPECT_EQ(h.lastMessage(), "تم إسترجاع ملف قاعهدة البيانات");
    EXPECT_EQ(h.count("BUYER"), 1);
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
    // Another name is only copied into the root of drive C.
    fs::copy_file(d / "OLD" / "INVENT.MDB", d / "OTHER.MDB");
    restore("d", "", "OTHER.MDB");
    EXPECT_EQ(h.lastMessage(), "تم إسترجاع ملف قاعهدة البيانات");
    EXPECT_TRUE(fs::exists(h.machine.mapPath("C:\\OTHER.MDB")));
    EXPECT_EQ(h.count("BUYER"), 1);
}

}  // namespace
}  // namespace mk
