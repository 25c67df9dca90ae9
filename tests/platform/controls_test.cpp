// Bound controls and lists: a navigation bar storing typed changes, a
// display-only write never stored, a check box on a Yes/No field, and the
// drive, folder and file lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/steps.h"
#include "data/record_editing.h"

namespace mk {
namespace {

using test::Harness;
namespace fs = std::filesystem;

class DataWin : public Form {
public:
    static constexpr const char* kName = "DataWin";
    explicit DataWin(Application& a) : Form(a, kName) {
        Adodc1 = add<Adodc>("Adodc1", -1, Geometry{0, 0, 3000, 360}, "nav");
        Text1 = add<TextBox>("Text1", -1, Geometry{0, 400, 2000, 300});
        Text1->bindTo(*Adodc1, "BUYER");
        Adodc2 = add<Adodc>("Adodc2", -1, Geometry{0, 0, 0, 0});
        Check1 = add<CheckBox>("Check1", -1, Geometry{0, 800, 2000, 300}, "secure");
        Check1->bindTo(*Adodc2, "SECURITY");
        Drive1 = add<DriveListBox>("Drive1", -1, Geometry{0, 1600, 2000, 300});
        Dir1 = add<DirListBox>("Dir1", -1, Geometry{0, 2000, 2000, 900});
        File1 = add<FileListBox>("File1", -1, Geometry{0, 3000, 2000, 900});
        Drive1->onChange = [this] { Dir1->setPath(Drive1->drive()); };
        Dir1->onChange = [this] {
            File1->setPath(Dir1->path());
            File1->pattern = "*.mdb";
        };
    }
    void Form_Load() override {
        bindTable(*Adodc1, "BUYER");
        bindTable(*Adodc2, "DIM");
    }
    Adodc *Adodc1, *Adodc2;
    TextBox* Text1;
    CheckBox* Check1;
    DriveListBox* Drive1;
    DirListBox* Dir1;
    FileListBox* File1;
};

class ControlsTest : public ::testing::Test {
protected:
    ControlsTest() {
        h.app.registerForm<DataWin>();
        h.exec("INSERT INTO BUYER (BUYER) VALUES ('a'), ('b'), ('c')");
        win = &static_cast<DataWin&>(h.show("DataWin"));
    }
    Harness h{Harness::Windows::None};
    DataWin* win = nullptr;
};

TEST_F(ControlsTest, NavigationBarStoresTypedChangesButNoDisplayOnlyWrite) {
    EXPECT_EQ(win->Text1->text(), "a");
    h.type("DataWin", "Text1", "A2");
    h.app.navigate(*win->Adodc1, Nav::Next);
    EXPECT_EQ(win->Text1->text(), "b");
    h.app.navigate(*win->Adodc1, Nav::Last);
    h.app.navigate(*win->Adodc1, Nav::Next);  // stops at the ends
    EXPECT_EQ(win->Text1->text(), "c");
    h.app.navigate(*win->Adodc1, Nav::First);
    h.app.navigate(*win->Adodc1, Nav::Previous);
    EXPECT_EQ(win->Text1->text(), "A2");
    win->Text1->displayText("shown only");
    h.app.navigate(*win->Adodc1, Nav::Next);
    EXPECT_EQ(test::col(h, "BUYER", "BUYER"), "A2|b|c");
}

TEST_F(ControlsTest, ABoundCheckBoxWritesYesNoAndShowsANewRowAsStored) {
    EXPECT_EQ(win->Check1->value(), 0);
    h.click("DataWin", "Check1");
    h.machine.action([&] { win->Adodc2->recordset().update(); });
    EXPECT_EQ(h.cell("DIM", 0, "SECURITY"), Value(true));
    h.machine.action([&] {
        Recordset& rs = win->Adodc2->recordset();
        rs.addNew();
        EXPECT_EQ(win->Check1->value(), 0);
        rs.setField("SECURITY", true);
        rs.update();
    });
    EXPECT_EQ(win->Check1->value(), 1);
    EXPECT_FALSE(win->Check1->boundChanged());
}

TEST_F(ControlsTest, DriveFolderAndFileLists) {
    fs::create_directories(h.machine.mapPath("D:\\") / "old");
    std::ofstream(h.machine.mapPath("D:\\") / "old" / "shop.MDB") << "x";
    std::ofstream(h.machine.mapPath("D:\\") / "old" / "notes.txt") << "x";
    EXPECT_EQ(win->Drive1->list(), (std::vector<std::string>{"c:", "d:"}));
    h.app.chooseDrive(*win->Drive1, "D:");
    EXPECT_EQ(win->Dir1->path(), "D:\\");
    EXPECT_EQ(win->Dir1->subfolders(), std::vector<std::string>{"D:\\old"});
    h.app.chooseFolder(*win->Dir1, "D:\\old");
    EXPECT_EQ(win->File1->path(), "D:\\old");
    EXPECT_EQ(win->File1->files(), std::vector<std::string>{"shop.MDB"});
    // A drive that cannot be read fails in the handler, shown as an error.
    h.app.chooseDrive(*win->Drive1, "e:");
    EXPECT_NE(h.lastMessage().find("Path not found"), std::string::npos);
    EXPECT_THROW(win->Drive1->setDrive("q:"), RuntimeError);
}

}  // namespace
}  // namespace mk
