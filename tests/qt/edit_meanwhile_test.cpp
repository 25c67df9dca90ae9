// Two windows of one program on screen: a balance typed with the keys in
// the customers window is not saved over the debt a credit sale in the
// wholesale window stored meanwhile; and the keys reach the employee's
// net wage while a card is browsed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/recordset.h"
#include "qt_rig.h"

namespace mk::test {
namespace {

// Answers every message box that comes up (No where it asks, else OK) and
// keeps what it said; an input box is cancelled.
class AnswerAndKeep {
public:
    AnswerAndKeep() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                said << box->accessibleDescription();
                auto* no = box->findChild<QPushButton*>("No");
                auto* ok = box->findChild<QPushButton*>("OK");
                if (no) no->click();
                else if (ok) ok->click();
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        });
        timer_.start();
    }
    QStringList said;

private:
    QTimer timer_;
};

double debtOfHala(QtRig& rig) {
    Recordset rs(rig.db(), "BUYER");
    return toDouble(rs.field("MONEY"));
}

// Replaces a box's text as a user does: click into it, select all, type.
void typeKeys(QWidget* box, const QString& text) {
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
    settle();
}

void press(QtRig& rig, const char* form, const char* button, int index = -1) {
    QTest::mouseClick(rig.widget(form, button, index), Qt::LeftButton);
    settle(100);
}

TEST(EditMeanwhile, ABalanceTypedInOneWindowIsNotSavedOverACreditSaleOfAnother) {
    QtRig rig;
    rig.db().exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Hala', 40)");
    startMainWindow(rig);
    rig.db().exec("UPDATE G1 SET GROUP_PRICE = 75");
    AnswerAndKeep boxes;

    // The customers window, on Hala: edit, and 50 typed into her debt.
    rig.window("Form1")->actionFor("BUYER")->trigger();
    settle();
    press(rig, "Form6", "cmdaction", 2);
    auto* debt = qobject_cast<QLineEdit*>(rig.widget("Form6", "Text2"));
    ASSERT_NE(debt, nullptr);
    typeKeys(debt, "50");
    ASSERT_EQ(rig.app.form("Form6").textBox("Text2").text(), "50");

    // Meanwhile the wholesale window sells her two bolts on credit.
    rig.window("Form1")->actionFor("saleslarge")->trigger();
    settle();
    rig.frontEnd->act([&] {
        Form& f = rig.app.form("Form42");
        rig.app.choose(f.dataCombo("DataCombo3"), "G1");
        rig.app.click(f.control("cmdaction", 0));
        rig.app.typeText(f.textBox("Text3", 0), "2");
        rig.app.choose(f.dataCombo("DataCombo1", 0), "bolt");
        rig.app.choose(f.dataCombo("DataCombo2"), "Hala");
        rig.app.click(f.control("Option2"));
    });
    settle();
    press(rig, "Form42", "cmdaction", 0);
    ASSERT_EQ(debtOfHala(rig), 190);
    EXPECT_EQ(debt->text(), "50");  // the typed text outlives the posting

    // Its save is refused, naming the box and what is stored; nothing is
    // written and the edit stays open with what was typed.
    boxes.said.clear();
    press(rig, "Form6", "cmdaction", 2);
    ASSERT_EQ(boxes.said.size(), 1);
    EXPECT_TRUE(boxes.said[0].contains(QStringLiteral("«المبلغ المدين»"))) << boxes.said[0].toStdString();
    EXPECT_TRUE(boxes.said[0].contains(QStringLiteral("190"))) << boxes.said[0].toStdString();
    EXPECT_EQ(debtOfHala(rig), 190);
    EXPECT_EQ(debt->text(), "50");
    EXPECT_EQ(rig.app.form("Form6").button("cmdaction", 2).caption, "&save");

    // Typed again, knowing what is stored: saved as typed.
    typeKeys(debt, "240");
    boxes.said.clear();
    press(rig, "Form6", "cmdaction", 2);
    EXPECT_TRUE(boxes.said.isEmpty()) << boxes.said.join("\n").toStdString();
    EXPECT_EQ(debtOfHala(rig), 240);
    EXPECT_EQ(rig.app.form("Form6").button("cmdaction", 2).caption, "&edit");
}

TEST(EditMeanwhile, TheKeysReachTheNetWageOfACardBrowsed) {
    QtRig rig;
    rig.db().exec("INSERT INTO emplyee (code, name, net_sallery) VALUES ('E1', 'Ali', 300)");
    startMainWindow(rig);
    rig.db().exec("UPDATE DIM SET SECURITY = 1");
    AnswerAndKeep boxes;
    rig.window("Form1")->actionFor("SUPPLY_INF")->trigger();
    settle();
    Form& card = rig.app.form("Form32");
    rig.frontEnd->act([&] { rig.app.navigate(card.adodc("Adodc1"), Nav::Next); });
    settle();
    ASSERT_EQ(card.textBox("Text1", 15).text(), "300");

    // The incentives and the net wage take keys while browsing, before an
    // edit and after its save.
    typeKeys(rig.widget("Form32", "Text1", 12), "25");
    EXPECT_EQ(card.textBox("Text1", 12).text(), "25");
    typeKeys(rig.widget("Form32", "Text1", 15), "999");
    EXPECT_EQ(card.textBox("Text1", 15).text(), "999");
    press(rig, "Form32", "cmdaction", 2);
    press(rig, "Form32", "cmdaction", 2);
    typeKeys(rig.widget("Form32", "Text1", 15), "400");
    EXPECT_EQ(card.textBox("Text1", 15).text(), "400");
    // The compute button still sets it.
    press(rig, "Form32", "Command1");
    EXPECT_EQ(card.textBox("Text1", 15).text(), "25");
}

}  // namespace
}  // namespace mk::test
