#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include "app/system.h"
#include "data/schema.h"
#include "qt_rig.h"

namespace mk::test {
namespace {

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
    QTest::mouseClick(name, Qt::LeftButton);
    settle();
    EXPECT_FALSE(main.label("Label17").visible);
}

}  // namespace
}  // namespace mk::test
