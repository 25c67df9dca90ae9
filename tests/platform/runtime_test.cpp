// The window runtime: loading and showing, one action per handler rolled
// back on failure, timers, printing, focus and input; bound controls (a
// navigation bar storing typed changes, a display-only write never
// stored, a check box on a Yes/No field) and the drive, folder and file
// lists; where things stand on a window: the label that names a box, the
// room for printed lines, and what a panel hides.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/record_editing.h"
#include "support/steps.h"

namespace mk {
namespace {

using test::Harness;
using test::roomClearOfControls;
namespace fs = std::filesystem;

// A main window: a button that writes a row then fails half way and one
// that commits, a box bound to DIM, a timer, a menu.
class MainWin : public Form {
public:
    static constexpr const char* kName = "MainWin";
    explicit MainWin(Application& a) : Form(a, kName) {
        Adodc1 = add<Adodc>("Adodc1", -1, Geometry{0, 0, 3000, 360}, "nav");
        Text1 = add<TextBox>("Text1", -1, Geometry{0, 400, 2000, 300});
        Text1->bindTo(*Adodc1, "COMPANY_NAME");
        // Each writes DIM and queues a step for after the commit; the
        // first then fails.
        for (int fails : {1, 0}) {
            auto* b = add<CommandButton>(fails ? "Command1" : "Command3", -1,
                                         Geometry{0, fails ? 800.0 : 1600.0, 1200, 360});
            b->onClick = [this, fails] {
                app().afterCommit([this] { told += "step;"; });
                Recordset& rs = Adodc1->recordset();
                rs.setField("COMPANY_NAME", fails ? "half" : "whole");
                rs.update();
                if (fails) toInt16(Value(99999));
            };
        }
        add<CommandButton>("Command2", -1, Geometry{0, 1200, 1200, 360}, "&other")->onClick = [this] {
            app().show(app().form("Other"));
        };
        add<Timer>("Timer1", -1, 1000, true)->onTimer = [this] { ++ticks; };
        addMenu("exit", "خروج", addMenu("file", "م&لف"), "Ctrl+Q")->onClick = [this] { Unload(); };
    }
    void Form_Load() override {
        ++loads;
        bindTable(*Adodc1, "DIM");
    }
    void tablesChanged(const ChangedTables& tables) override {
        for (const std::string& t : tables) told += t + ";";
    }
    Adodc* Adodc1;
    TextBox* Text1;
    int ticks = 0, loads = 0;
    std::string told;  // the tables it was told of and the steps run, in order
};

// A worker: does its job when painted, closes itself by its timer.
class Other : public Form {
public:
    static constexpr const char* kName = "Other";
    explicit Other(Application& a) : Form(a, kName) {
        Label1 = add<Label>("Label1", -1, Geometry{0, 0, 2000, 300}, "x");
        Timer1 = add<Timer>("Timer1", -1, 500, true);
        Timer1->onTimer = [this] { Unload(); };
        Frame1 = add<Frame>("Frame1", -1, Geometry{0, 400, 3000, 1500}, "group");
        Option1 = add<OptionButton>("Option1", 0, Geometry{100, 600, 1200, 300}, "a");
        Option2 = add<OptionButton>("Option1", 1, Geometry{100, 900, 1200, 300}, "b");
        Option1->container = Option2->container = Frame1;
        Text1 = add<TextBox>("Text1", -1, Geometry{0, 2000, 2000, 300});
        Text1->onLostFocus = [this] { events += "lost;"; };
        Command1 = add<CommandButton>("Command1", -1, Geometry{0, 2400, 1200, 360}, "go");
        Command1->onClick = [this] {
            events += "click;";
            if (MsgBox("sure?", mb::YesNo | mb::Question, "Q") == answer::Yes) events += "yes;";
        };
    }
    void Form_Load() override { Label1->setCaption(app().form("MainWin").caption); }
    void Form_Paint() override {
        ++paints;
        Print({"n", zone, 12, zone, Value::date(makeDate(2007, 10, 10))});
        Print({"a", "b", -3.5});
    }
    Label* Label1;
    Timer* Timer1;
    Frame* Frame1;
    OptionButton *Option1, *Option2;
    TextBox* Text1;
    CommandButton* Command1;
    int paints = 0;
    std::string events;
};

class RuntimeTest : public ::testing::Test {
protected:
    RuntimeTest() {
        h.app.registerForm<MainWin>();
        h.app.registerForm<Other>();
        h.app.setMainForm("MainWin");
    }
    Harness h{Harness::Windows::None};
};

TEST_F(RuntimeTest, TouchingAWindowLoadsItHiddenOnceAndShowingPaintsItOnce) {
    auto& other = h.app.form<Other>();  // loads MainWin too, through the caption
    EXPECT_TRUE(h.app.isLoaded("MainWin"));
    EXPECT_FALSE(other.visible());
    EXPECT_EQ(other.paints, 0);  // hidden windows are not painted
    h.app.show(h.app.form("MainWin"));
    h.app.show(h.app.form("MainWin"));
    EXPECT_EQ(h.app.form<MainWin>().loads, 1);
    EXPECT_EQ(h.app.activeForm(), &h.app.form("MainWin"));
    other.Timer1->setEnabled(false);
    h.app.show(other);
    h.app.show(other);
    EXPECT_EQ(other.paints, 1);
    h.app.hide(other);
    h.app.show(other);
    EXPECT_EQ(other.paints, 2);

    // Unloading the main window ends the program and every window.
    EXPECT_TRUE(h.menu("MainWin", "exit"));
    EXPECT_TRUE(h.app.ended());
    EXPECT_TRUE(h.app.loadedForms().empty());
}

TEST_F(RuntimeTest, AFailingHandlerRollsBackAndShowsTheError) {
    h.app.start("MainWin");
    EXPECT_TRUE(h.click("MainWin", "Command1"));
    ASSERT_EQ(h.dialogs.messages().size(), 1u);
    EXPECT_EQ(h.dialogs.messages()[0].style, mb::Critical);
    EXPECT_EQ(h.lastTitle(), "makhzan");
    // Told in the windows' language; the runtime's own words go to the log.
    EXPECT_EQ(h.lastMessage(), failureMessage(RuntimeError(err::Overflow, "")));
    EXPECT_NE(h.logText().find("Overflow"), std::string::npos);
    EXPECT_EQ(h.cell("DIM", 0, "COMPANY_NAME"), Value(""));
    EXPECT_EQ(h.text("MainWin", "Text1"), "");  // the data control re-read the table
    EXPECT_FALSE(h.app.ended());
    // A failed action tells no window of its tables and drops its steps; a
    // committed one tells them, then runs its steps.
    EXPECT_EQ(h.app.form<MainWin>().told, "");
    h.click("MainWin", "Command3");
    EXPECT_EQ(h.app.form<MainWin>().told, "DIM;step;");
    // The program goes on: a typed change reaches the row when it is committed.
    h.type("MainWin", "Text1", "ACME");
    h.machine.action([&] { h.app.form<MainWin>().Adodc1->recordset().update(); });
    EXPECT_EQ(h.cell("DIM", 0, "COMPANY_NAME"), Value("ACME"));
}

TEST_F(RuntimeTest, TimersTickInTimeOrderAndWorkersPrintAndCloseThemselves) {
    h.app.start("MainWin");
    h.advance(2500);
    EXPECT_EQ(h.app.form<MainWin>().ticks, 2);
    h.click("MainWin", "Command2");
    auto& other = h.app.form<Other>();
    EXPECT_EQ(other.paints, 1);
    // Printing lines up zones of 14 and writes numbers with their blanks.
    EXPECT_EQ(h.lines("Other"), (std::vector<std::string>{
                                    "n             " + std::string(" 12 ") + std::string(10, ' ') +
                                        "10/10/2007",
                                    "ab-3.5 "}));
    EXPECT_EQ(other.printedZoneStarts(), (std::vector<std::vector<int>>{{14, 28}, {}}));
    std::vector<int> starts;
    formatPrintLine({zone, zone, "x"}, starts);
    EXPECT_EQ(starts, (std::vector<int>{14, 28}));
    h.advance(499);
    EXPECT_TRUE(h.app.isLoaded("Other"));
    h.advance(1);
    EXPECT_FALSE(h.app.isLoaded("Other"));
    h.advance(500);
    EXPECT_EQ(h.app.form<MainWin>().ticks, 3);
}

TEST_F(RuntimeTest, ATimerNeverUnloadsItsWindowWhileAHandlerRuns) {
    // Time passes beyond the worker's timer while its message box is up.
    struct Ticking : Dialogs {
        FakeClock& clock;
        Application* app = nullptr;
        explicit Ticking(FakeClock& c) : clock(c) {}
        int messageBox(const std::string&, const std::string&, int) override {
            clock.setMs(clock.monotonicMs() + 2000);
            app->runDueTimers();
            EXPECT_TRUE(app->isLoaded("Other"));
            return answer::Yes;
        }
        std::optional<std::string> inputBox(const std::string&, const std::string&,
                                            const std::string&) override {
            return std::nullopt;
        }
    } ticking(h.clock);
    Application app(h.machine, h.clock, ticking);
    ticking.app = &app;
    app.registerForm<MainWin>();
    app.registerForm<Other>();
    app.start("MainWin");
    auto& other = app.form<Other>();
    app.show(other);
    app.click(*other.Command1);
    EXPECT_EQ(other.events, "click;yes;");
    EXPECT_TRUE(app.isLoaded("Other"));
    EXPECT_GT(app.form<MainWin>().ticks, 0);  // other windows' timers went on
    h.clock.setMs(h.clock.monotonicMs() + 500);
    app.runDueTimers();
    EXPECT_FALSE(app.isLoaded("Other"));
}

TEST_F(RuntimeTest, AClickMovesFocusFirstOptionsAreGroupedAndDisabledWindowsTakeNoInput) {
    h.app.start("MainWin");
    auto& other = h.app.form<Other>();
    EXPECT_FALSE(h.click("Other", "Command1"));  // loaded hidden
    other.Timer1->setEnabled(false);
    h.app.show(other);
    h.app.focusByUser(*other.Text1);
    h.answer(answer::Yes);
    h.click("Other", "Command1");
    EXPECT_EQ(other.events, "lost;click;yes;");
    h.click("Other", "Option1", 0);
    h.click("Other", "Option1", 1);
    EXPECT_FALSE(other.Option1->value);
    EXPECT_TRUE(other.Option2->value);
    other.Frame1->visible = false;
    EXPECT_FALSE(other.Option1->isShowing());
    EXPECT_FALSE(h.click("Other", "Option1", 0));

    auto& main = h.app.form<MainWin>();
    main.enabled = false;
    EXPECT_FALSE(h.menu("MainWin", "exit"));
    EXPECT_FALSE(h.click("MainWin", "Command2"));
    main.enabled = true;
    main.Text1->locked = true;
    EXPECT_FALSE(h.type("MainWin", "Text1", "x"));
}

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
    EXPECT_EQ(h.lastMessage(), failureMessage(RuntimeError(err::PathNotFound, "")));
    EXPECT_NE(h.logText().find("Path not found"), std::string::npos);
    EXPECT_THROW(win->Drive1->setDrive("q:"), RuntimeError);
}

// Right to left: captions at the right of their boxes, a table of line
// rows (serial, item, quantity) under its headings, a second pair of boxes
// whose labels stand beside the first pair, a panel over part of the table.
struct Layout : Form {
    explicit Layout(Application& a) : Form(a, "Layout") {
        width = 9000;
        height = 6000;
        add<Label>("Label1", -1, Geometry{7560, 240, 1200, 315}, "&الأسم");
        add<TextBox>("Text1", -1, Geometry{5400, 240, 2040, 315});
        add<TextBox>("Text2", -1, Geometry{3600, 240, 1680, 315});  // Text1 stands between
        add<Label>("Label2", -1, Geometry{7560, 660, 1200, 315}, "");  // no caption
        add<TextBox>("Text3", -1, Geometry{5400, 660, 2040, 315});
        add<Label>("Heading", 0, Geometry{5400, 1200, 2040, 285}, "اسم الصنف");
        add<Label>("Heading", 1, Geometry{4200, 1200, 1080, 285}, "الكمية");
        for (int i = 0; i < 3; ++i) {
            const double top = 1560 + 360.0 * i;
            add<Label>("Serial", i, Geometry{7560, top, 600, 315}, std::to_string(i + 1));
            add<DataCombo>("Item", i, Geometry{5400, top, 2040, 315});
            add<TextBox>("Quantity", i, Geometry{4200, top, 1080, 315});
        }
        auto* named = add<TextBox>("Text4", -1, Geometry{240, 4800, 1000, 315});
        named->labelledBy = &label("Label1");
        add<PictureBox>("Cover", -1, Geometry{4000, 2200, 4000, 400});
    }
};

TEST(Layout, AGridPlacesCellsRightToLeftAndDown) {
    constexpr TwipGrid g{.right = 8000, .top = 600, .colStep = 2000, .rowStep = 420,
                         .width = 1800, .height = 315};
    EXPECT_EQ(g.cell(0, 0), (Geometry{6200, 600, 1800, 315}));
    EXPECT_EQ(g.cell(1, 2), (Geometry{4200, 1440, 1800, 315}));
    EXPECT_EQ(g.cell(1, 0, 1000), (Geometry{5000, 600, 1000, 315}));  // the right edge kept
    EXPECT_EQ(g.cell(0, 1, 900, 840), (Geometry{7100, 1020, 900, 840}));
    EXPECT_EQ(g.span(0, 1, 2, 2), (Geometry{4200, 1020, 3800, 735}));
    EXPECT_EQ(g.captions().cell(1, 1), (Geometry{4200, 1050, 1800, 285}));
}

TEST(Layout, ALabelNamesTheBoxItStandsBesideOrHeadsInATable) {
    Harness h(Harness::Windows::None);
    h.app.registerForm("Layout", [](Application& a) { return std::make_unique<Layout>(a); });
    Form& f = h.app.form("Layout");
    auto named = [&](const char* box, int index = -1) {
        const Label* l = f.labelBeside(f.control(box, index));
        return l ? l->fullName() : std::string("-");
    };
    // Text2: another box has the label to itself; Text3: its own label
    // shows nothing; Text4: named where its place cannot tell.
    EXPECT_EQ(named("Text1") + named("Text2") + named("Text3") + named("Text4"), "Label1--Label1");
    // A line's serial number names nothing: the column's heading does.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(named("Item", i) + named("Quantity", i), "Heading(0)Heading(1)") << i;
    // Boxes with captions of their own make a form, not a table.
    f.label("Label2").setCaption("التاريخ");
    EXPECT_EQ(named("Text3"), "Label2");

    // What lies under the panel cannot be seen; a hidden panel hides nothing.
    EXPECT_TRUE(f.control("Quantity", 2).isUnderPanel());
    EXPECT_FALSE(f.control("Quantity", 0).isUnderPanel());
    EXPECT_FALSE(f.control("Quantity", 2).isCovered());  // not a guarding panel
    f.control("Cover").visible = false;
    EXPECT_FALSE(f.control("Quantity", 2).isUnderPanel());
}

TEST(Layout, PrintedLinesGoWhereTheWindowHasRoomAtItsLeftEdge) {
    Harness h(Harness::Windows::None);
    h.app.registerForm("Layout", [](Application& a) { return std::make_unique<Layout>(a); });
    Form& f = h.app.form("Layout");
    // The top left holds three lines left of the boxes: the highest band.
    Geometry area = f.printArea();
    EXPECT_EQ(area.left + area.top, 0);
    EXPECT_GE(area.height, 3 * kPrintLineTwips);
    EXPECT_LE(area.width, 3600);
    EXPECT_TRUE(roomClearOfControls(f));
    // A box in the top left sends the lines below it.
    f.add<CommandButton>("Command1", -1, Geometry{120, 120, 1500, 375});
    EXPECT_GT(f.printArea().top, 495);
    EXPECT_TRUE(roomClearOfControls(f));
    // A window full of controls has no room.
    f.add<Frame>("Frame1", -1, Geometry{0, 0, 9000, 6000});
    EXPECT_EQ(f.printArea().height, 0);
}

// A window read as a person reads it: its columns set wide apart one after
// the other, each from its top; within one, a caption and its box, or a
// table's row of cells, right to left before the next row; a frame's
// controls where the frame stands.
TEST(Layout, AWindowIsReadColumnByColumnAndRowByRowFromTheRight) {
    Harness h(Harness::Windows::None);
    h.app.registerForm("Reading", [](Application& a) {
        auto f = std::make_unique<Form>(a, "Reading");
        f->width = 12000;
        // A header across the top.
        f->add<Label>("Title", -1, Geometry{240, 120, 11520, 315}, "عنوان");
        // At the right, a column of captioned boxes.
        constexpr TwipGrid pairs{.right = 11760, .top = 600, .colStep = 1680, .rowStep = 420,
                                 .width = 2160, .height = 315};
        for (int r = 0; r < 3; ++r) {
            f->add<Label>("Caption", r, pairs.captions().cell(0, r, 1560), "بيان");
            f->add<TextBox>("Box", r, pairs.cell(1, r));
        }
        // Wide apart to its left, a framed table of two rows of three cells.
        Control* frame = f->add<Frame>("Frame1", -1, Geometry{240, 600, 7200, 1500}, "جدول");
        constexpr TwipGrid cells{.right = 7200, .top = 1080, .colStep = 1260, .rowStep = 360,
                                 .width = 1200, .height = 315};
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) f->add<TextBox>("Cell", r * 3 + c, cells.cell(c, r))->container = frame;
        // The buttons across the foot.
        f->add<CommandButton>("Save", -1, Geometry{9000, 2400, 1500, 375});
        f->add<CommandButton>("Close", -1, Geometry{7200, 2400, 1500, 375});
        // A hidden box is not read.
        f->addHidden<TextBox>("Hidden");
        return f;
    });
    std::string read;
    for (const Control* c : h.app.form("Reading").readingOrder()) read += c->fullName() + " ";
    EXPECT_EQ(read,
              "Title Caption(0) Box(0) Caption(1) Box(1) Caption(2) Box(2) Frame1 Cell(0) Cell(1) "
              "Cell(2) Cell(3) Cell(4) Cell(5) Save Close ");
}

}  // namespace
}  // namespace mk
