// An invoice entered by keyboard alone: what Tab reaches, where add puts
// the focus, and what a closed list tells assistive tools; and the item
// card, which no input reaches while its cover panel is up.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>

#include "app/system.h"
#include "data/schema.h"
#include "qt_rig.h"

namespace mk::test {
namespace {

TEST(Keyboard, TheRetailWindowIsFilledFromLineOneAfterAdd) {
    QtRig rig;
    qt::FormWindow& window = openRetailWindow(rig);
    Form& retail = rig.app.form("Form3");
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto focusIsOn = [&](const char* control, int index = -1) {
        QWidget* w = rig.widget("Form3", control, index);
        QWidget* f = QApplication::focusWidget();
        return w && f && (f == w || w->isAncestorOf(f));
    };
    auto tab = [&](Qt::Key key = Qt::Key_Tab) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, key);
        settle(0);
    };

    // Under the cover, before a group is chosen, the line boxes take no
    // focus: back from the first box round to the group chooser.
    bool chooser = false;
    for (int i = 0; i < 40 && !chooser; ++i) {
        tab(Qt::Key_Backtab);
        for (const char* box : {"DataCombo1", "Text3", "Text4", "Text5"})
            EXPECT_FALSE(focusIsOn(box, 0)) << box << " after " << i + 1 << " tabs";
        chooser = focusIsOn("DataCombo3");
    }
    ASSERT_TRUE(chooser);
    settle();
    QTest::keyClicks(QApplication::focusWidget(), "G1");
    tab();
    settle();
    ASSERT_EQ(retail.adodc("Adodc3").RecordSource, "G1");

    QTest::mouseClick(rig.widget("Form3", "cmdaction", 0), Qt::LeftButton);
    settle();
    ASSERT_EQ(retail.button("cmdaction", 0).caption, "&save");
    EXPECT_TRUE(focusIsOn("DataCombo1", 0));
    tab();
    EXPECT_TRUE(focusIsOn("Text3", 0));

    // A list opened from the keys and closed again: its items no longer
    // say they have the focus or show.
    auto* item = qobject_cast<QComboBox*>(rig.widget("Form3", "DataCombo1", 0));
    ASSERT_NE(item, nullptr);
    item->setFocus();
    QTest::keyClick(item, Qt::Key_Down, Qt::AltModifier);
    settle();
    ASSERT_TRUE(item->view()->isVisible());
    QTest::keyClick(item->view(), Qt::Key_Escape);
    settle();
    ASSERT_FALSE(item->view()->isVisible());
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(item->view());
    ASSERT_GT(list->childCount(), 0);
    for (int i = 0; i < list->childCount(); ++i) {
        EXPECT_FALSE(list->child(i)->state().focused) << i;
        EXPECT_TRUE(list->child(i)->state().invisible) << i;
    }
}

// With the permissions switch on, the item card lies under the cover panel
// until the store login: no click, key, focus or accessibility action of
// the window reaches it.
TEST(FrontEndCoverPanel, TheCardTakesNothingUntilTheStoreLogin) {
    QtRig rig;
    AnswerEveryBox answers;
    registerWindows(rig.app);
    rig.db().exec("UPDATE DIM SET COMPANY_NAME='ACME', COMP=1, SECURITY=1");
    rig.db().createTable(itemGroupTableDef("G"));
    rig.db().exec("INSERT INTO qqq (Q) VALUES ('G')");
    rig.db().exec("INSERT INTO Admin (UserID, Password, store) VALUES ('ali', 'secret1', 1)");
    rig.frontEnd->act([&] { startProgram(rig.app); });
    rig.frontEnd->act([&] { rig.app.click(rig.app.form("Form16").control("Command1")); });
    settle();
    Form& main = rig.app.form("Form1");
    QWidget* add = rig.widget("Form1", "cmdaction", 0);
    QWidget* name = rig.widget("Form1", "Text6");
    ASSERT_TRUE(add && name);
    auto card = [&](QWidget* w) {
        for (const char* c : {"Text6", "Text5", "Text7", "DataCombo3", "cmdaction", "Command1"})
            if (w && (w == rig.widget("Form1", c) || w == rig.widget("Form1", c, 0) ||
                      name->isAncestorOf(w)))
                return true;
        return w == add;
    };

    EXPECT_FALSE(add->isEnabled());
    EXPECT_FALSE(name->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::keyClick(add, Qt::Key_Space);
    if (QAccessibleInterface* a = QAccessible::queryAccessibleInterface(add); a && a->actionInterface())
        a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    rig.window("Form1")->activateWindow();
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(rig.window("Form1"), Qt::Key_Tab);
        EXPECT_FALSE(card(QApplication::focusWidget())) << i;
    }
    settle();
    EXPECT_EQ(rig.app.focused(), nullptr);
    EXPECT_TRUE(main.label("Label17").visible);  // a click into the name box hides it
    EXPECT_EQ(main.button("cmdaction", 0).caption, "&add");

    rig.frontEnd->act([&] {
        rig.app.menuClick(main.menu("store_functions"));
        Form& login = rig.app.form("Form20");
        rig.app.typeText(login.textBox("Text1", 0), "ali");
        rig.app.typeText(login.textBox("Text1", 1), "secret1");
        rig.app.click(login.control("Command1"));
    });
    settle();
    EXPECT_TRUE(add->isEnabled());
    // The card opens on its group chooser.
    EXPECT_EQ(rig.app.focused(), &main.control("DataCombo3"));
    EXPECT_EQ(QApplication::focusWidget(), rig.widget("Form1", "DataCombo3"));
    QTest::mouseClick(name, Qt::LeftButton);
    settle();
    EXPECT_FALSE(main.label("Label17").visible);
}

}  // namespace
}  // namespace mk::test
