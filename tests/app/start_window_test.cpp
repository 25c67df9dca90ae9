#include <gtest/gtest.h>

#include "app/steps.h"

namespace mk {
namespace {

using namespace test;

const char* const kWelcome =
    "شركة نورفال تهنئك لإستخدامك البرنامج و نرجو ان تدخل بيانات و لوجو شركتكم لتظهر بالتقارير "
    "و الفواتير";

TEST(StartWindow, FirstUseStoresTheProfileAndOpensTheMainWindowWithTheNewName) {
    Harness h;
    begin(h);
    Form& start = h.form("Form16");
    EXPECT_TRUE(start.button("Command1").visible);
    EXPECT_FALSE(start.button("Command2").visible);
    EXPECT_FALSE(start.textBox("Text1", 0).visible);
    EXPECT_EQ(start.caption, "  مخزن و حسابات ");

    h.click("Form16", "Command1");
    EXPECT_EQ(h.lastMessage(), kWelcome);
    EXPECT_FALSE(h.app.isLoaded("Form1"));
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(start.textBox("Text1", i).visible);
        EXPECT_EQ(start.textBox("Text1", i).text(), "");
        EXPECT_TRUE(start.label("Label1", i).visible);
    }
    EXPECT_TRUE(start.checkBox("Check1").visible);
    EXPECT_TRUE(start.button("Command3").visible);
    EXPECT_FALSE(start.button("Command1").visible);
    EXPECT_EQ(h.app.focused(), &start.control("Text1", 0));

    h.type("Form16", "Text1", "ACME", 0);
    h.type("Form16", "Text1", "12.5", 1);
    h.type("Form16", "Text1", "12.6x", 2);
    h.type("Form16", "Text1", "www.acme.test", 4);
    h.click("Form16", "Check1");
    h.click("Form16", "Command3");

    EXPECT_EQ(h.cell("DIM", 0, "COMPANY_NAME"), Value("ACME"));
    EXPECT_EQ(toInt32(h.cell("DIM", 0, "PHONE")), 12);
    EXPECT_EQ(toInt32(h.cell("DIM", 0, "FAX")), 13);
    EXPECT_EQ(h.cell("DIM", 0, "WEB"), Value("www.acme.test"));
    EXPECT_TRUE(toBool(h.cell("DIM", 0, "SECURITY")));
    EXPECT_TRUE(toBool(h.cell("DIM", 0, "COMP")));

    const std::string title = "  مخزن و حسابات ACME";
    EXPECT_TRUE(h.form("Form1").visible());
    EXPECT_EQ(h.form("Form1").caption, "مخزن " + title);
    h.menu("Form1", "PROGRAMMER");
    EXPECT_EQ(h.form("Form7").caption, " بيانات عن برنامج " + title);
    // The start window came back hidden for the title line only.
    EXPECT_FALSE(h.form("Form16").visible());

    // The next run is an ordinary start.
    Rerun again(h);
    EXPECT_TRUE(again.app.form("Form16").button("Command1").visible);
    again.app.click(again.app.form("Form16").button("Command1"));
    EXPECT_TRUE(again.app.form("Form1").visible());
    EXPECT_EQ(again.app.form("Form1").caption, "مخزن " + title);
}

TEST(StartWindow, PhoneAndFaxTakeTheLeadingNumberAndRefuseWhatNoFieldHolds) {
    Harness h;
    begin(h);
    h.click("Form16", "Command1");
    h.type("Form16", "Text1", "99999999999", 1);
    h.click("Form16", "Command3");
    EXPECT_NE(h.lastMessage().find("التليفون"), std::string::npos);
    EXPECT_FALSE(h.app.isLoaded("Form1"));
    EXPECT_FALSE(toBool(h.cell("DIM", 0, "COMP")));

    h.type("Form16", "Text1", "123abc", 1);
    h.type("Form16", "Text1", "fax", 2);
    h.click("Form16", "Command3");
    EXPECT_EQ(toInt32(h.cell("DIM", 0, "PHONE")), 123);
    EXPECT_EQ(toInt32(h.cell("DIM", 0, "FAX")), 0);
    EXPECT_TRUE(h.form("Form1").visible());
    EXPECT_EQ(h.form("Form1").caption, "مخزن   مخزن و حسابات ");
}

TEST(StartWindow, AClosedDayOffersOnlyTheNewDayButtonAndWritesTheRowsBeforeTheMainWindowShows) {
    Harness h;
    setProfile(h, "ACME");
    makeGroup(h, "G1", {{"bolt", 5}, {"nut", Value::null()}});
    {
        Recordset admin(h.db(), "Admin");
        admin.setField("enter", true);
        admin.update();
    }
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
    Form& start = h.form("Form16");
    EXPECT_TRUE(start.button("Command2").visible);
    EXPECT_FALSE(start.button("Command1").visible);
    EXPECT_FALSE(toBool(h.cell("Admin", 0, "enter")));

    h.click("Form16", "Command2");
    EXPECT_EQ(watch.rowsWhenShown, 2);
    EXPECT_TRUE(h.form("Form1").visible());
    EXPECT_FALSE(h.app.isLoaded("Form16"));
    h.app.setObserver(nullptr);

    // A restart without a day close offers the ordinary start again.
    Rerun again(h);
    EXPECT_TRUE(again.app.form("Form16").button("Command1").visible);
    EXPECT_FALSE(again.app.form("Form16").button("Command2").visible);
}

TEST(StartWindow, WithoutTheDayStateRowTheStartButtonStillShows) {
    Harness h;
    h.exec("DELETE FROM Admin");
    begin(h);
    EXPECT_TRUE(h.form("Form16").button("Command1").visible);
    EXPECT_FALSE(h.form("Form16").button("Command2").visible);
}

TEST(StartWindow, PictureStepLeavesPicturesZeroAndTwo) {
    Harness h;
    begin(h);
    Form& start = h.form("Form16");
    h.advance(999);
    EXPECT_TRUE(start.picture("Picture1", 3).visible);
    h.advance(1);
    h.advance(5000);
    EXPECT_TRUE(start.picture("Picture1", 0).visible);
    EXPECT_FALSE(start.picture("Picture1", 1).visible);
    EXPECT_TRUE(start.picture("Picture1", 2).visible);
    EXPECT_FALSE(start.picture("Picture1", 3).visible);
}

}  // namespace
}  // namespace mk
