// Picks made as a person makes them, with the mouse and the keys on the
// real widgets: every kind of list in the windows, Return and Enter on a
// focused button, message and input boxes answered from the keyboard.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/system.h"
#include "data/schema.h"
#include "qt/report_preview.h"
#include "qt_rig.h"
#include "real_input.h"
#include "sample_form.h"

namespace mk::test {
namespace {

QComboBox* chooser(QtRig& rig, const char* form, const char* control, int index = -1) {
    return qobject_cast<QComboBox*>(rig.widget(form, control, index));
}

// No item of a closed list tells assistive tools it has the focus.
bool noItemFocused(QAbstractItemView* list) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(list);
    for (int k = 0; i && k < i->childCount(); ++k)
        if (i->child(k)->state().focused) return false;
    return true;
}

void addGroup(QtRig& rig, const std::string& group, const std::string& item, double price) {
    rig.db().createTable(itemGroupTableDef(group));
    rig.db().exec("INSERT INTO qqq (Q) VALUES ('" + group + "')");
    rig.db().exec("INSERT INTO " + group + " (\"DESC\", ONSTOCK, UNITE_PRICE) VALUES ('" + item +
                  "', 5, " + std::to_string(price) + ")");
}

// Every way of picking from an open list, on the item card's group
// chooser: a click, Return and Enter on the entry the keys highlighted;
// Escape closes the list and picks nothing.
TEST(PicksByHand, TheItemCardsGroupIsTakenByClickReturnAndEnterButNotEscape) {
    QtRig rig;
    addGroup(rig, "G2", "nut", 3);
    rig.db().exec("INSERT INTO G2 (\"DESC\") VALUES ('washer')");
    qt::FormWindow& main = startMainWindow(rig);
    ASSERT_TRUE(real::chooseMenu(*main.actionFor("store_functions")));
    settle();
    Form& card = rig.app.form("Form1");
    QComboBox* groups = chooser(rig, "Form1", "DataCombo3");
    ASSERT_NE(groups, nullptr);
    auto shows = [&](const char* group, const char* firstItem) {
        settle();
        EXPECT_EQ(card.label("Label16").caption(), group);
        EXPECT_EQ(card.adodc("Adodc4").RecordSource, group);
        EXPECT_EQ(card.textBox("Text6").text(), firstItem);
        EXPECT_EQ(groups->currentText(), group);
        EXPECT_EQ(real::openListOf(*groups), nullptr);
        EXPECT_TRUE(noItemFocused(groups->view()));
    };

    {
        // A click into the chooser's text puts the cursor there: it picks
        // nothing and asks nothing, chosen group or none.
        real::AnswerBoxesByKeys boxes;
        real::click(*groups->lineEdit());
        settle();
        EXPECT_TRUE(boxes.seen().isEmpty()) << boxes.seen().join("\n").toStdString();
        EXPECT_EQ(card.label("Label16").caption(), "");
    }
    ASSERT_TRUE(real::pickByClick(*groups, "G2"));
    shows("G2", "nut");
    shoot(main, "item-card-after-mouse-pick");
    rig.frontEnd->act([&] { rig.app.navigate(card.adodc("Adodc4"), Nav::Last); });
    {
        real::AnswerBoxesByKeys boxes;
        real::click(*groups->lineEdit());
        settle();
        EXPECT_TRUE(boxes.seen().isEmpty()) << boxes.seen().join("\n").toStdString();
        EXPECT_EQ(card.textBox("Text6").text(), "washer");
    }
    ASSERT_TRUE(real::pickByKeys(*groups, "G1", Qt::Key_Return, real::Open::AltDown));
    shows("G1", "bolt");
    ASSERT_TRUE(real::pickByKeys(*groups, "G2", Qt::Key_Enter, real::Open::Click));
    shows("G2", "nut");
    // A name of the list typed, then Return: the same pick.
    ASSERT_TRUE(real::tabTo(*groups));
    real::key(Qt::Key_A, Qt::ControlModifier);
    real::type("G1");
    real::key(Qt::Key_Return);
    shows("G1", "bolt");

    QAbstractItemView* list = real::openList(*groups, real::Open::AltDown);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(real::highlight(*list, "G2"));
    real::key(Qt::Key_Escape);
    shows("G1", "bolt");
}

// The retail invoice: its group by a click, then line 1's item by a click,
// which prices the line as a typed name does.
TEST(PicksByHand, TheRetailInvoiceTakesItsGroupAndLineOnesItemAndPricesTheLine) {
    QtRig rig;
    addGroup(rig, "G2", "nut", 3);
    openRetailWindow(rig);
    Form& retail = rig.app.form("Form3");
    QComboBox* groups = chooser(rig, "Form3", "DataCombo3");
    ASSERT_TRUE(groups && real::pickByClick(*groups, "G1"));
    settle();
    EXPECT_EQ(retail.adodc("Adodc3").RecordSource, "G1");
    EXPECT_EQ(groups->currentText(), "G1");

    real::click(*rig.widget("Form3", "cmdaction", 0));
    settle();
    ASSERT_EQ(retail.button("cmdaction", 0).caption, "&save");
    QComboBox* item = chooser(rig, "Form3", "DataCombo1", 0);
    ASSERT_TRUE(item && real::pickByClick(*item, "bolt"));
    settle();
    EXPECT_EQ(retail.get<DataCombo>("DataCombo1", 0).text(), "bolt");
    EXPECT_EQ(retail.textBox("Text4", 0).text(), "25");
    EXPECT_EQ(qobject_cast<QLineEdit*>(rig.widget("Form3", "Text4", 0))->text(), "25");
    shoot(*rig.window("Form3"), "form3-after-mouse-pick");
}

// The wholesale invoice's buyer, picked by the keys and Enter.
TEST(PicksByHand, TheWholesaleInvoicesBuyerIsPickedByTheKeys) {
    QtRig rig;
    rig.db().exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('أحمد', 0), ('محمود', 0)");
    qt::FormWindow& main = startMainWindow(rig);
    ASSERT_TRUE(real::chooseMenu(*main.actionFor("saleslarge")));
    settle();
    Form& wholesale = rig.app.form("Form42");
    QComboBox* groups = chooser(rig, "Form42", "DataCombo3");
    ASSERT_TRUE(groups && real::pickByKeys(*groups, "G1", Qt::Key_Return));
    settle();
    real::click(*rig.widget("Form42", "cmdaction", 0));
    settle();
    QComboBox* buyer = chooser(rig, "Form42", "DataCombo2");
    ASSERT_NE(buyer, nullptr);
    ASSERT_TRUE(real::pickByKeys(*buyer, "محمود", Qt::Key_Enter));
    settle();
    EXPECT_EQ(wholesale.get<DataCombo>("DataCombo2").text(), "محمود");
    ASSERT_TRUE(real::pickByClick(*buyer, "أحمد"));
    settle();
    EXPECT_EQ(wholesale.get<DataCombo>("DataCombo2").text(), "أحمد");
}

// A receipt voucher saves for the customer a click picked.
TEST(PicksByHand, AReceiptVoucherSavesForTheCustomerPicked) {
    QtRig rig;
    rig.db().exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('أحمد', 50), ('محمود', 70)");
    qt::FormWindow& main = startMainWindow(rig);
    ASSERT_TRUE(real::chooseMenu(*main.actionFor("PAY")));
    settle();
    real::click(*rig.widget("Form35", "cmdaction", 0));
    settle();
    QComboBox* customer = chooser(rig, "Form35", "DataCombo1");
    ASSERT_TRUE(customer && real::pickByClick(*customer, "محمود"));
    settle();
    ASSERT_EQ(rig.app.form("Form35").get<DataCombo>("DataCombo1").text(), "محمود");
    QWidget* amount = rig.widget("Form35", "Text2");
    real::click(*amount);
    real::key(Qt::Key_End);
    real::key(Qt::Key_Backspace);
    real::type("30");
    real::click(*rig.widget("Form35", "cmdaction", 0));
    settle();
    Recordset vouchers(rig.db(), "REVEIVED_MONEY");
    vouchers.moveLast();
    ASSERT_FALSE(vouchers.eof());
    EXPECT_EQ(toText(vouchers.field("BUYER")), "محمود");
    EXPECT_EQ(toDouble(vouchers.field("MONEY")), 30);
}

// The restore window: the drive by a click and by the keys (Escape picks
// none), a folder by a double click and by a click then Return, a file by
// a click and by Return on the highlighted one.
TEST(PicksByHand, TheRestoreWindowTakesADriveAFolderAndAFile) {
    QtRig rig;
    const auto old = rig.root.path() / "D" / "backups" / "old";
    std::filesystem::create_directories(old);
    std::filesystem::create_directories(rig.root.path() / "D" / "spare");
    for (const char* f : {"a.mdb", "b.mdb"}) std::ofstream(old / f) << "x";
    qt::FormWindow& main = startMainWindow(rig);
    ASSERT_TRUE(real::chooseMenu(*main.actionFor("copy")));
    settle();
    Form& restore = rig.app.form("Form47");
    QComboBox* drive = chooser(rig, "Form47", "Drive2");
    ASSERT_TRUE(drive && real::pickByClick(*drive, "d:"));
    settle();
    EXPECT_EQ(restore.get<DriveListBox>("Drive2").drive(), "d:");
    ASSERT_TRUE(real::pickByKeys(*drive, "c:", Qt::Key_Return));
    settle();
    EXPECT_EQ(restore.get<DriveListBox>("Drive2").drive(), "c:");
    QAbstractItemView* drives = real::openList(*drive, real::Open::AltDown);
    ASSERT_TRUE(drives && real::highlight(*drives, "d:"));
    real::key(Qt::Key_Escape);
    settle();
    EXPECT_EQ(restore.get<DriveListBox>("Drive2").drive(), "c:");
    ASSERT_TRUE(real::pickByKeys(*drive, "d:", Qt::Key_Enter, real::Open::Click));
    settle();
    EXPECT_EQ(restore.get<DriveListBox>("Drive2").drive(), "d:");

    auto* folders = qobject_cast<QListWidget*>(rig.widget("Form47", "Dir2"));
    ASSERT_NE(folders, nullptr);
    const DirListBox& dir = restore.get<DirListBox>("Dir2");
    ASSERT_TRUE(real::clickEntry(*folders, "backups"));
    settle();
    real::key(Qt::Key_Return);
    settle();
    EXPECT_EQ(dir.path(), "D:\\backups");
    ASSERT_TRUE(real::doubleClickEntry(*folders, "old"));
    settle();
    EXPECT_EQ(dir.path(), "D:\\backups\\old");

    auto* files = qobject_cast<QListWidget*>(rig.widget("Form47", "File1"));
    ASSERT_NE(files, nullptr);
    const FileListBox& file = restore.get<FileListBox>("File1");
    ASSERT_TRUE(real::clickEntry(*files, "a.mdb"));
    settle();
    EXPECT_EQ(file.fileName.get(), "a.mdb");
    real::key(Qt::Key_Down);
    EXPECT_EQ(file.fileName.get(), "a.mdb");  // highlighted, not yet picked
    real::key(Qt::Key_Return);
    settle();
    EXPECT_EQ(file.fileName.get(), "b.mdb");
}

// The daily expense book's row picker, once edit has opened it.
TEST(PicksByHand, TheExpenseBooksRowPickerShowsTheRowPicked) {
    QtRig rig;
    rig.db().exec("UPDATE DAY_OUTPUT SET DAYLY=77 WHERE DAY_NO=3");
    rig.db().exec("UPDATE DAY_OUTPUT SET DAYLY=88 WHERE DAY_NO=4");
    qt::FormWindow& main = startMainWindow(rig);
    {
        // The book's note on opening, and its note on edit.
        real::AnswerBoxesByKeys notes({Qt::Key_Return});
        ASSERT_TRUE(real::chooseMenu(*main.actionFor("doutput")));
        settle();
        real::click(*rig.widget("Form18", "cmdaction", 2));
        settle(60);
        ASSERT_EQ(notes.seen().size(), 2) << notes.seen().join('\n').toStdString();
    }
    Form& book = rig.app.form("Form18");
    QComboBox* picker = chooser(rig, "Form18", "DataCombo1");
    ASSERT_TRUE(picker && real::pickByClick(*picker, "3"));
    settle();
    EXPECT_EQ(book.textBox("Text1", 0).text(), "77");
    ASSERT_TRUE(real::pickByKeys(*picker, "4", Qt::Key_Return));
    settle();
    EXPECT_EQ(book.textBox("Text1", 0).text(), "88");
}

// The follow-up window's employee list: a click, and Return on the one
// the keys highlighted.
TEST(PicksByHand, TheEmployeeListTakesAClickAndReturn) {
    QtRig rig;
    for (const char* name : {"سعيد", "كريم"}) {
        rig.db().exec(std::string("INSERT INTO emplyee (name) VALUES ('") + name + "')");
        rig.db().createTable(followUpTableDef(name));
    }
    qt::FormWindow& main = startMainWindow(rig);
    ASSERT_TRUE(real::chooseMenu(*main.actionFor("observe_employee")));
    settle();
    Form& followUp = rig.app.form("Form51");
    auto* list = qobject_cast<QAbstractItemView*>(rig.widget("Form51", "DataList1"));
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(real::clickEntry(*list, "كريم"));
    settle();
    EXPECT_EQ(followUp.get<DataList>("DataList1").text(), "كريم");
    EXPECT_EQ(followUp.adodc("Adodc2").RecordSource, "كريم");
    real::key(Qt::Key_Up);
    real::key(Qt::Key_Return);
    settle();
    EXPECT_EQ(followUp.get<DataList>("DataList1").text(), "سعيد");
    EXPECT_EQ(followUp.adodc("Adodc2").RecordSource, "سعيد");
}

// A plain chooser of a window, and a report preview's zoom chooser.
TEST(PicksByHand, APlainChooserTakesClicksAndKeys) {
    QtRig rig;
    rig.app.registerForm<Sample>();
    rig.app.setMainForm("Sample");
    rig.show("Sample");
    auto& sample = static_cast<Sample&>(rig.app.form("Sample"));
    QComboBox* plain = chooser(rig, "Sample", "Combo1");
    ASSERT_TRUE(plain && real::pickByClick(*plain, "ثانى"));
    settle();
    EXPECT_EQ(sample.Combo1->listIndex, 1);
    ASSERT_TRUE(real::pickByKeys(*plain, "أول", Qt::Key_Enter));
    settle();
    EXPECT_EQ(sample.Combo1->listIndex, 0);
    QAbstractItemView* list = real::openList(*plain, real::Open::AltDown);
    ASSERT_TRUE(list && real::highlight(*list, "ثانى"));
    real::key(Qt::Key_Escape);
    settle();
    EXPECT_EQ(sample.Combo1->listIndex, 0);

}

TEST(PicksByHand, AReportPreviewsZoomIsPickedByClicksAndKeys) {
    QtRig rig;
    qt::FormWindow& main = startMainWindow(rig);
    ASSERT_TRUE(real::chooseMenu(*main.actionFor("ss")));
    settle();
    qt::ReportPreview* preview = rig.frontEnd->preview("DATA_SUPPLIER");
    ASSERT_NE(preview, nullptr);
    QAbstractItemView* list = nullptr;
    auto* zoom = preview->findChild<QComboBox*>();
    ASSERT_TRUE(zoom && real::pickByClick(*zoom, "150%"));
    EXPECT_EQ(preview->zoom(), 1.5);
    ASSERT_TRUE(real::pickByKeys(*zoom, "75%", Qt::Key_Return));
    EXPECT_EQ(preview->zoom(), 0.75);
    list = real::openList(*zoom, real::Open::AltDown);
    ASSERT_TRUE(list && real::highlight(*list, "200%"));
    real::key(Qt::Key_Escape);
    EXPECT_EQ(preview->zoom(), 0.75);
}

// Return and Enter press the focused button of a window, as Space does;
// in a message or input box they press the focused button, and the
// default one while the focus is on none.
TEST(KeysOnButtons, ReturnAndEnterPressTheFocusedButton) {
    QtRig rig;
    rig.app.registerForm<Sample>();
    rig.app.setMainForm("Sample");
    qt::FormWindow& window = rig.show("Sample");
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto& sample = static_cast<Sample&>(rig.app.form("Sample"));
    ASSERT_TRUE(real::tabTo(*rig.widget("Sample", "Command1")));
    real::key(Qt::Key_Return);
    real::key(Qt::Key_Enter);
    real::key(Qt::Key_Space);
    settle();
    EXPECT_EQ(sample.clicks, 3);

    // The box's default (Yes) by Return, then the field's text by Enter.
    ASSERT_TRUE(real::tabTo(*rig.widget("Sample", "Command4")));
    real::whenBoxUp("MsgBox", [](QWidget&) { real::key(Qt::Key_Return); });
    real::whenBoxUp("InputBox", [](QWidget&) {
        real::type("12");
        real::key(Qt::Key_Enter);
    });
    real::key(Qt::Key_Return);
    settle();
    EXPECT_EQ(sample.answer, answer::Yes);
    EXPECT_EQ(sample.typed, "12");

    // The focus moved onto No and Cancel: Return presses them.
    auto onto = [](const char* button) {
        return [button](QWidget& box) {
            if (QWidget* b = box.findChild<QWidget*>(button); b && real::tabTo(*b)) real::key(Qt::Key_Return);
            else static_cast<QDialog&>(box).done(0);
        };
    };
    real::whenBoxUp("MsgBox", onto("No"));
    real::whenBoxUp("InputBox", onto("Cancel"));
    real::key(Qt::Key_Enter);
    settle();
    EXPECT_EQ(sample.answer, answer::No);
    EXPECT_EQ(sample.typed, "");
}

}  // namespace
}  // namespace mk::test
