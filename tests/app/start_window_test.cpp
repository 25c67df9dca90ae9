#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

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
    EXPECT_FALSE(h.form("Form16").button("Command1").visible || toBool(h.cell("Admin", 0, "enter")));
    h.click("Form16", "Command2");
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

}  // namespace
}  // namespace mk
