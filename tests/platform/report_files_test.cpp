// Copying files between the drive folders, the open database included:
// a backup holds only what was committed, a restore replaces the content
// under the open recordsets and refuses a file that is no database.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "support/harness.h"

namespace mk {
namespace {

using test::errorNumber;
using test::Harness;
namespace fs = std::filesystem;

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

TEST(Files, ABackupHoldsWhatWasCommittedAndARestoreReplacesTheOpenFile) {
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

    h.machine.action([&] { add("after backup"); });
    h.machine.action([&] { copyFileInto(h.machine, "D:\\INVENT.MDB", "C:\\"); });
    EXPECT_EQ(h.count("BUYER"), 1);
    EXPECT_EQ(rs.recordCount(), 1);  // open recordsets re-read
    // A file that is no database is refused and changes nothing.
    fs::create_directories(h.machine.mapPath("D:\\sub"));
    std::ofstream(h.machine.mapPath("D:\\sub") / "INVENT.MDB") << "not a database";
    EXPECT_EQ(errorNumber([&] { copyFileInto(h.machine, "D:\\sub\\INVENT.MDB", "C:\\"); }),
              err::DatabaseError);
    EXPECT_EQ(h.count("BUYER"), 1);
}

}  // namespace
}  // namespace mk
