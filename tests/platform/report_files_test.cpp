// Copying files between the drive folders, the open database included: a
// backup holds only what was committed. (Restores are tested through the
// restore window.)
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
