#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/schema.h"
#include "platform/files.h"
#include "support/harness.h"

namespace mk {
namespace {

using test::errorNumber;

using test::Harness;
namespace fs = std::filesystem;

ReportLayout buyersLayout() {
    ReportLayout l;
    l.name = "Buyers";
    l.caption = "customers";
    l.table = "BUYER";
    l.width = 10205;
    l.reportHeader.height = 600;
    l.reportHeader.items = {ReportItem::label("title", 3402, 3405, 0, 567),
                            ReportItem::label("%d", 0, 1440)};
    l.pageHeader.height = 390;
    l.pageHeader.items = {ReportItem::label("name", 144, 2160),
                          ReportItem::label("phone", 3024, 1440)};
    l.detail.height = 360;
    l.detail.items = {ReportItem::field("PHONE", 2880, 1440), ReportItem::field("BUYER", 0, 1440),
                      ReportItem::hline(0, 10200, 320)};
    l.pageFooter.height = 300;
    l.pageFooter.items = {ReportItem::label("%p / %P", 5000, 1440)};
    l.reportFooter.height = 300;
    l.reportFooter.items = {ReportItem::label("pages: %P", 5000, 1440)};
    return l;
}

class ReportTest : public ::testing::Test {
protected:
    Harness h{Harness::Windows::None};
    void addBuyers(int n) {
        h.machine.action([&] {
            Recordset rs(h.db(), "BUYER");
            for (int i = 1; i <= n; ++i) {
                rs.addNew();
                rs.setField("BUYER", "buyer " + std::to_string(i));
                rs.setField("PHONE", std::to_string(1000 + i));
                rs.update();
            }
        });
    }
};

TEST_F(ReportTest, RowsInTableOrderWithColumnsLeftToRight) {
    addBuyers(3);
    RenderedReport r = renderReport(buyersLayout(), h.db(), h.clock.now());
    EXPECT_EQ(r.columns, (std::vector<std::string>{"BUYER", "PHONE"}));
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0], (std::vector<std::string>{"buyer 1", "1001"}));
    EXPECT_EQ(r.rows[2][0], "buyer 3");
    ASSERT_EQ(r.pages.size(), 1u);
    EXPECT_TRUE(r.landscape);  // wider than a portrait page with its margins
    const auto& texts = r.pages[0].texts;
    auto has = [&](const std::string& t) {
        for (const auto& x : texts)
            if (x.text == t) return true;
        return false;
    };
    EXPECT_TRUE(has("06/12/2026"));
    EXPECT_TRUE(has("1 / 1"));
    EXPECT_TRUE(has("pages: 1"));
    EXPECT_EQ(r.pages[0].lines.size(), 3u);
}

TEST_F(ReportTest, ManyRowsRunOverPagesWithHeadersAndNumbers) {
    addBuyers(120);
    RenderedReport r = renderReport(buyersLayout(), h.db(), h.clock.now());
    ASSERT_GT(r.pages.size(), 2u);
    // Pages are laid out as they are read, and a copy shares them.
    EXPECT_EQ(r.pages.laidOutCount(), 0u);
    const RenderedReport copy = r;
    EXPECT_FALSE(copy.pages.back().texts.empty());
    EXPECT_EQ(r.pages.laidOutCount(), 1u);
    const std::string total = std::to_string(r.pages.size());
    for (size_t p = 0; p < r.pages.size(); ++p) {
        int headings = 0;
        bool footer = false;
        for (const auto& t : r.pages[p].texts) {
            if (t.text == "name") ++headings;
            if (t.text == std::to_string(p + 1) + " / " + total) footer = true;
            EXPECT_LE(t.y + t.height, r.pageHeight - 1440 + 1) << t.text;
        }
        EXPECT_EQ(headings, 1) << "page " << p + 1;
        EXPECT_TRUE(footer) << "page " << p + 1;
    }
    EXPECT_EQ(r.rows.size(), 120u);
}

TEST_F(ReportTest, MissingTableOrFieldStopsTheReport) {
    ReportLayout l = buyersLayout();
    l.detail.items.push_back(ReportItem::field("NO_FIELD", 0, 100));
    EXPECT_EQ(errorNumber([&] { renderReport(l, h.db(), 0); }), err::FieldNotFound);
    l = buyersLayout();
    l.table = "NO_TABLE";
    EXPECT_EQ(errorNumber([&] { renderReport(l, h.db(), 0); }), err::TableNotFound);
}

TEST_F(ReportTest, OpeningAgainRefreshesTheOnePreview) {
    addBuyers(1);
    h.app.showReport(renderReport(buyersLayout(), h.db(), 0));
    addBuyers(1);
    h.app.showReport(renderReport(buyersLayout(), h.db(), 0));
    EXPECT_EQ(h.app.openedReports().size(), 1u);
    EXPECT_EQ(h.app.lastReport()->rows.size(), 2u);
}

class FilesTest : public ::testing::Test {
protected:
    Harness h{Harness::Windows::None};
};

TEST_F(FilesTest, CopiesIntoAFolderUnderTheFilesOwnName) {
    fs::path src = h.machine.mapPath("D:\\notes.txt");
    std::ofstream(src) << "one";
    copyFileInto(h.machine, "d:\\notes.txt", "c:\\");
    std::ifstream in(h.machine.mapPath("C:\\notes.txt"));
    std::string s;
    in >> s;
    EXPECT_EQ(s, "one");
    std::ofstream(src) << "two";
    copyFileInto(h.machine, "D:\\NOTES.TXT", "C:\\");
    std::ifstream in2(h.machine.mapPath("C:\\notes.txt"));
    in2 >> s;
    EXPECT_EQ(s, "two");
    EXPECT_EQ(errorNumber([&] { copyFileInto(h.machine, "D:\\none.mdb", "C:\\"); }),
              err::FileNotFound);
    EXPECT_EQ(errorNumber([&] { copyFileInto(h.machine, "D:\\notes.txt", "E:\\"); }),
              err::PathNotFound);
    EXPECT_EQ(joinWindowsPath("D:\\", "a.mdb"), "D:\\a.mdb");
    EXPECT_EQ(joinWindowsPath("D:\\sub", "a.mdb"), "D:\\sub\\a.mdb");
}

TEST_F(FilesTest, BackupOfTheOpenDatabaseKeepsOnlyCommittedData) {
    Database& db = h.db();
    Recordset rs(db, "BUYER");
    h.machine.action([&] {
        rs.addNew();
        rs.setField("BUYER", "committed");
        rs.update();
    });
    h.machine.action([&] {
        rs.addNew();
        rs.setField("BUYER", "pending");
        rs.update();
        copyFileInto(h.machine, "c:\\INVENT.MDB", "d:\\");
    });
    fs::path copy = h.machine.mapPath("D:\\INVENT.MDB");
    ASSERT_TRUE(isDatabaseFile(copy));
    Machine other(h.root.path());
    Database& backup = other.database("D:\\INVENT.MDB");
    EXPECT_EQ(Recordset(backup, "BUYER").columnValues("BUYER"),
              (std::vector<Value>{Value("committed")}));
    // No half-written leftovers beside the copy.
    for (const auto& e : fs::directory_iterator(h.machine.mapPath("D:\\")))
        EXPECT_EQ(e.path().filename().string().find(".part-"), std::string::npos);
}

TEST_F(FilesTest, RestoreOverTheOpenDatabaseReplacesItsContent) {
    copyFileInto(h.machine, "C:\\INVENT.MDB", "D:\\");
    Recordset rs(h.db(), "BUYER");
    h.machine.action([&] {
        rs.addNew();
        rs.setField("BUYER", "after backup");
        rs.update();
    });
    EXPECT_EQ(rs.recordCount(), 1);
    h.machine.action([&] { copyFileInto(h.machine, "D:\\INVENT.MDB", "C:\\"); });
    EXPECT_EQ(h.count("BUYER"), 0);
    EXPECT_EQ(rs.recordCount(), 0);  // open recordsets re-read
    // A file that is no database is refused and changes nothing.
    fs::create_directories(h.machine.mapPath("D:\\sub"));
    std::ofstream(h.machine.mapPath("D:\\sub") / "INVENT.MDB") << "not a database";
    h.machine.action([&] {
        rs.addNew();
        rs.setField("BUYER", "kept");
        rs.update();
    });
    EXPECT_EQ(errorNumber([&] { copyFileInto(h.machine, "D:\\sub\\INVENT.MDB", "C:\\"); }),
              err::DatabaseError);
    EXPECT_EQ(h.count("BUYER"), 1);
}

}  // namespace
}  // namespace mk
