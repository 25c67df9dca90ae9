// An invoice entered by keyboard alone: what Tab reaches, where add puts
// the focus, and what a closed list tells assistive tools.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>

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

}  // namespace
}  // namespace mk::test
