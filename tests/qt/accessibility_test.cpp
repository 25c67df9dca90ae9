#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QComboBox>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <tuple>

#include "app/system.h"
#include "data/schema.h"
#include "qt/accessible.h"
#include "qt/report_preview.h"
#include "qt/text.h"
#include "qt_rig.h"
#include "sample_form.h"

namespace mk::test {
namespace {

QAccessibleInterface* iface(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

QString nameOf(QObject* o) { return iface(o)->text(QAccessible::Name); }
QString descriptionOf(QObject* o) { return iface(o)->text(QAccessible::Description); }

// Depth first through the accessible tree, as a tool walks it.
QAccessibleInterface* findByDescription(QAccessibleInterface* root, const QString& description) {
    if (!root) return nullptr;
    if (root->text(QAccessible::Description) == description) return root;
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface* found = findByDescription(root->child(i), description)) return found;
    return nullptr;
}

class AccessibilityTest : public ::testing::Test {
protected:
    AccessibilityTest() {
        rig.app.registerForm<Sample>();
        rig.app.setMainForm("Sample");
        window = &rig.show("Sample");
    }
    Sample& sample() { return static_cast<Sample&>(rig.app.form("Sample")); }
    QtRig rig;
    qt::FormWindow* window = nullptr;
};

TEST_F(AccessibilityTest, ControlsCarryTheirNamesAndWhatAPersonHears) {
    EXPECT_EQ(nameOf(window), "نموذج تجريبي");
    EXPECT_EQ(descriptionOf(window), "Sample");

    QAccessibleInterface* root = iface(window);
    for (const char* d : {"Text1(0)", "Text1(2)", "Command1", "Check1", "Option1(1)", "DataCombo1",
                          "Adodc1", "Frame1", "List1", "Drive1", "File1"})
        EXPECT_NE(findByDescription(root, d), nullptr) << d;

    // By their captions; boxes and combos by the label beside them.
    for (auto [control, index, name] :
         {std::tuple{"Command1", -1, "حفظ"}, {"Check1", -1, "مفعل"}, {"Label2", 1, "التليفون"},
          {"Text1", 0, "الأسم"}, {"Text1", 2, "كلمة السر"}, {"DataCombo1", -1, "المشترى"},
          {"Frame1", -1, "طريقة الدفع"}})
        EXPECT_EQ(nameOf(rig.widget("Sample", control, index)), QString::fromUtf8(name)) << control;

    // States: hidden, disabled, text and checks readable.
    EXPECT_TRUE(iface(rig.widget("Sample", "Command2"))->state().invisible);
    EXPECT_TRUE(iface(rig.widget("Sample", "Command3"))->state().disabled);
    EXPECT_EQ(iface(rig.widget("Sample", "Text1", 1))->text(QAccessible::Value), "0123");
    rig.frontEnd->act([&] {
        sample().Check1->setValue(1);
        sample().Option1[0]->value = true;
    });
    EXPECT_TRUE(iface(rig.widget("Sample", "Check1"))->state().checked);
    EXPECT_TRUE(iface(rig.widget("Sample", "Option1", 0))->state().checked);
    EXPECT_FALSE(iface(rig.widget("Sample", "Option1", 1))->state().checked);

    // The navigation bar: its caption and four named buttons.
    QAccessibleInterface* bar = iface(rig.widget("Sample", "Adodc1"));
    EXPECT_EQ(bar->text(QAccessible::Name), "تصفح");
    EXPECT_NE(findByDescription(bar, "Adodc1.Caption"), nullptr);
    for (const char* part : {".First", ".Previous", ".Next", ".Last"}) {
        QAccessibleInterface* b = findByDescription(bar, QStringLiteral("Adodc1") + part);
        ASSERT_NE(b, nullptr) << part;
        EXPECT_TRUE(b->role() == QAccessible::Button && !b->text(QAccessible::Name).isEmpty()) << part;
    }

    // A button pressed through its accessible action reaches the handler.
    QAccessibleInterface* save = findByDescription(root, "Command1");
    save->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    settle(300);  // a press is shown before it clicks
    EXPECT_EQ(sample().clicks, 1);
}

TEST_F(AccessibilityTest, ChecksAndOptionsToggledByAToolAskTheRuntime) {
    auto toggle = [&](const char* control, int index) {
        QAccessibleInterface* i = iface(rig.widget("Sample", control, index));
        i->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        settle();
        return i->state().checked;
    };
    EXPECT_TRUE(toggle("Option1", 1));
    EXPECT_TRUE(sample().Option1[1]->value);
    EXPECT_FALSE(sample().Option1[0]->value);
    EXPECT_TRUE(toggle("Option1", 0));
    EXPECT_FALSE(sample().Option1[1]->value);
    EXPECT_FALSE(iface(rig.widget("Sample", "Option1", 1))->state().checked);

    EXPECT_TRUE(toggle("Check1", -1));
    EXPECT_EQ(sample().Check1->value(), 1);
    // A control the runtime keeps from input stays as the runtime has it.
    rig.frontEnd->act([&] { sample().Check1->enabled = false; });
    rig.widget("Sample", "Check1")->setEnabled(true);  // as a stale widget might be
    EXPECT_TRUE(toggle("Check1", -1));
    EXPECT_EQ(sample().Check1->value(), 1);
}

TEST_F(AccessibilityTest, AnItemOfADataListPickedByAToolIsChosen) {
    rig.db().exec("INSERT INTO BUYER (BUYER) VALUES ('أحمد'), ('محمود')");
    rig.frontEnd->act([&] { sample().Adodc1->Refresh(); });
    QAccessibleInterface* list = iface(rig.widget("Sample", "DataList1"));
    QAccessibleInterface* item = nullptr;
    for (int i = 0; i < list->childCount(); ++i)
        if (list->child(i)->text(QAccessible::Name) == "محمود") item = list->child(i);
    ASSERT_NE(item, nullptr);
    item->actionInterface()->doAction(item->actionInterface()->actionNames().first());
    settle();
    EXPECT_EQ(sample().DataList1->text(), "محمود");
}

TEST_F(AccessibilityTest, MenusAndMenuItemsCarryCaptionsAndNames) {
    QAccessibleInterface* bar = iface(window->menuBar());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->childCount(), 1);
    QAccessibleInterface* file = bar->child(0);
    EXPECT_EQ(file->text(QAccessible::Name), "ملف");
    EXPECT_EQ(file->text(QAccessible::Description), "file_menu");
    QAccessibleInterface* save = findByDescription(bar, "save");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->role(), QAccessible::MenuItem);
    EXPECT_EQ(save->text(QAccessible::Name), "حفظ");
    save->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    settle();
    EXPECT_EQ(sample().saves, 1);
}

TEST_F(AccessibilityTest, MessageAndInputBoxesCanBeReadAndAnswered) {
    QString title, description, editName;
    QStringList buttons;
    whenModal("MsgBox", [&](QWidget& m) {
        QAccessibleInterface* box = iface(&m);
        title = box->text(QAccessible::Name);
        description = box->text(QAccessible::Description);
        EXPECT_EQ(qobject_cast<QMessageBox*>(&m)->icon(), QMessageBox::Question);
        for (const char* b : {"Yes", "No"})
            if (QAccessibleInterface* button = findByDescription(box, b))
                buttons << button->text(QAccessible::Name);
        findByDescription(box, "No")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        whenModal("InputBox", [&](QWidget& input) {
            QAccessibleInterface* field = findByDescription(iface(&input), "Text");
            if (!field) static_cast<QDialog&>(input).reject();
            ASSERT_NE(field, nullptr);
            editName = field->text(QAccessible::Name);
            EXPECT_EQ(field->text(QAccessible::Value), "5");
            ASSERT_NE(field->editableTextInterface(), nullptr);
            field->editableTextInterface()->replaceText(0, field->textInterface()->characterCount(), "7");
            findByDescription(iface(&input), "OK")->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        });
    });
    QTest::mouseClick(rig.widget("Sample", "Command4"), Qt::LeftButton);
    settle();
    EXPECT_EQ(title, "Deleting");
    EXPECT_EQ(description, "هل تريد الحذف؟");
    EXPECT_EQ(buttons, (QStringList{"نعم", "لا"}));
    EXPECT_EQ(sample().answer, answer::No);
    EXPECT_EQ(editName, "أدخل المبلغ :");
    EXPECT_EQ(sample().typed, "7");

    // Clicked: Yes, then Cancel gives the empty text; a box with no title
    // has the default one.
    whenModal("MsgBox", [](QWidget& m) {
        m.findChild<QPushButton*>("Yes")->click();
        whenModal("InputBox", [&](QWidget& input) {
            EXPECT_EQ(input.windowTitle(), "makhzan");
            input.findChild<QPushButton*>("Cancel")->click();
        });
    });
    QTest::mouseClick(rig.widget("Sample", "Command4"), Qt::LeftButton);
    settle();
    EXPECT_EQ(sample().answer, answer::Yes);
    EXPECT_EQ(sample().typed, "");
}

// The whole program driven as an assistive tool drives it: only through
// the accessible interfaces of its windows.
class ToolDrivenTest : public ::testing::Test {
protected:
    ToolDrivenTest() {
        registerWindows(rig.app);
        rig.db().exec("UPDATE DIM SET COMPANY_NAME='ACME', COMP=1, SECURITY=0");
        for (const char* group : {"G1", "G2"}) {
            rig.db().createTable(itemGroupTableDef(group));
            rig.db().exec(std::string("INSERT INTO qqq (Q) VALUES ('") + group + "')");
            rig.db().exec(std::string("INSERT INTO ") + group + " (\"DESC\", ONSTOCK) VALUES ('item of " +
                          group + "', 5)");
        }
        rig.frontEnd->act([&] { startProgram(rig.app); });
        settle();
    }
    QAccessibleInterface* find(const std::string& form, const QString& description) {
        qt::FormWindow* w = rig.window(form);
        return w ? findByDescription(iface(w), description) : nullptr;
    }
    // A press or toggle; returns whether the call came back before any box
    // it leads to was answered.
    bool act(QAccessibleInterface* target, const QString& action) {
        if (!target || !target->actionInterface()) return false;
        // A box that comes up while the call is still running held it.
        bool held = false;
        QTimer guard;
        guard.setInterval(20);
        QObject::connect(&guard, &QTimer::timeout, [&held] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                held = true;
                box->reject();
            }
        });
        guard.start();
        target->actionInterface()->doAction(action);
        return !held && QApplication::activeModalWidget() == nullptr;
    }
    Form& form(const std::string& name) { return rig.app.form(name); }
    QtRig rig;
};

TEST_F(ToolDrivenTest, ChoosesAGroupGrantsARightAndAnswersAMenuThatAsks) {
    using A = QAccessibleActionInterface;
    ASSERT_TRUE(act(find("Form16", "Command1"), A::pressAction()));
    settle(300);
    ASSERT_NE(rig.window("Form1"), nullptr);

    // A menu command that shows a message box returns at once.
    QString shown;
    ASSERT_TRUE(act(find("Form1", "earchby_name"), A::pressAction()));
    whenModal("MsgBox", [&](QWidget& m) {
        shown = iface(&m)->text(QAccessible::Description);
        static_cast<QDialog&>(m).accept();
    });
    settle(200);
    EXPECT_EQ(shown, "أختر مجموعة الأصناف ثم طقطق داخل مربع نص  اسم الصنف");
    ASSERT_TRUE(act(find("Form1", "store_functions"), A::pressAction()));
    settle();
    EXPECT_FALSE(form("Form1").picture("Picture2").visible);

    // The group chooser: a text set whole chooses as typing and leaving does.
    QAccessibleInterface* chooser = find("Form1", "DataCombo3");
    ASSERT_NE(chooser, nullptr);
    QAccessibleInterface* edit = nullptr;
    QAccessibleInterface* list = nullptr;
    for (int i = 0; i < chooser->childCount(); ++i) {
        if (chooser->child(i)->editableTextInterface()) edit = chooser->child(i);
        else list = chooser->child(i);
    }
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(list, nullptr);
    edit->editableTextInterface()->replaceText(0, edit->textInterface()->characterCount(), "G2");
    settle();
    Form& main = form("Form1");
    EXPECT_EQ(main.label("Label16").caption(), "G2");
    EXPECT_EQ(main.adodc("Adodc4").RecordSource, "G2");
    EXPECT_EQ(main.textBox("Text6").text(), "item of G2");
    EXPECT_EQ(chooser->text(QAccessible::Value), "G2");
    // A name no group has is refused as when typed.
    edit->editableTextInterface()->replaceText(0, edit->textInterface()->characterCount(), "NOPE");
    whenModal("MsgBox", [](QWidget& m) { static_cast<QDialog&>(m).accept(); });
    settle(200);
    EXPECT_EQ(main.adodc("Adodc4").RecordSource, "G2");
    EXPECT_EQ(chooser->text(QAccessible::Value), "G2");

    // An item of the list, activated by its one action, chooses as a pick does.
    QAccessibleInterface* item = nullptr;
    for (int i = 0; i < list->childCount(); ++i)
        if (list->child(i)->text(QAccessible::Name) == "G1") item = list->child(i);
    ASSERT_NE(item, nullptr);
    ASSERT_EQ(item->actionInterface()->actionNames().size(), 1);
    ASSERT_TRUE(act(item, item->actionInterface()->actionNames().first()));
    settle();
    EXPECT_EQ(main.label("Label16").caption(), "G1");
    EXPECT_EQ(main.textBox("Text6").text(), "item of G1");

    // A right granted by the toggle action reaches the runtime, and the
    // file once the bar moves; toggled again, it is taken back.
    ASSERT_TRUE(act(find("Form1", "account"), A::pressAction()));
    settle();
    ASSERT_NE(rig.window("Form12"), nullptr);
    const std::string user = form("Form12").textBox("Text1", 2).text();
    auto stored = [&] {
        Recordset admin(rig.db(), "Admin");
        while (!admin.eof() && toText(admin.field("UserID")) != user) admin.moveNext();
        return !admin.eof() && toBool(admin.field("buyer"));
    };
    QAccessibleInterface* buyer = find("Form12", "Check1(2)");
    ASSERT_NE(buyer, nullptr);
    for (bool granted : {true, false}) {
        ASSERT_TRUE(act(buyer, A::toggleAction()));
        settle();
        EXPECT_EQ(form("Form12").checkBox("Check1", 2).value(), granted ? 1 : 0);
        EXPECT_EQ(buyer->state().checked, granted);
        EXPECT_EQ(stored(), !granted);
        ASSERT_TRUE(act(find("Form12", "Adodc1.First"), A::pressAction()));
        settle();
        EXPECT_EQ(stored(), granted);
    }
}

TEST(ToolBehindABox, AWindowBehindAModalBoxTakesNoInputFromATool) {
    QtRig rig;
    registerWindows(rig.app);
    rig.frontEnd->act([&] { startProgram(rig.app); });
    settle();
    QAccessibleInterface* start = findByDescription(iface(rig.window("Form16")), "Command1");
    ASSERT_NE(start, nullptr);
    // On first use the start button uncovers the company boxes and says
    // why in a box; behind it, a tool types and presses on.
    bool formOneOpened = true;
    std::string typed = "?";
    QString shown = "?";
    whenModal("MsgBox", [&](QWidget& box) {
        QAccessibleInterface* window = iface(rig.window("Form16"));
        QAccessibleInterface* name = findByDescription(window, "Text1(0)");
        QAccessibleInterface* next = findByDescription(window, "Command3");
        if (name && next) {
            name->editableTextInterface()->replaceText(0, name->textInterface()->characterCount(), "ACME");
            next->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QTest::qWait(300);
            formOneOpened = rig.app.isLoaded("Form1");
            typed = rig.app.form("Form16").textBox("Text1", 0).text();
            shown = name->text(QAccessible::Value);
        }
        static_cast<QDialog&>(box).accept();
    });
    start->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    settle(600);
    EXPECT_FALSE(formOneOpened);
    EXPECT_EQ(typed, "");
    EXPECT_EQ(shown, "");
    EXPECT_FALSE(rig.app.isLoaded("Form1"));
}

// The restore window's drive and a report preview's zoom are chosen as a
// tool chooses a data combo's item: by the one action of the list item.
TEST(ToolPicks, TheRestoreDriveAndTheReportZoomAreChosenThroughTheirLists) {
    QtRig rig;
    AnswerEveryBox answers;
    qt::FormWindow& main = startMainWindow(rig);
    auto pick = [](QWidget* chooser, const QString& name) {
        QAccessibleInterface* list = chooser ? iface(chooser)->child(0) : nullptr;
        for (int i = 0; list && i < list->childCount(); ++i)
            if (QAccessibleInterface* item = list->child(i); item->text(QAccessible::Name) == name) {
                item->actionInterface()->doAction(item->actionInterface()->actionNames().first());
                settle();
                return true;
            }
        return false;
    };
    main.actionFor("copy")->trigger();
    settle();
    ASSERT_TRUE(pick(rig.widget("Form47", "Drive2"), "d:"));
    EXPECT_EQ(rig.app.form("Form47").get<DriveListBox>("Drive2").drive(), "d:");

    main.actionFor("ss")->trigger();
    settle();
    qt::ReportPreview* preview = rig.frontEnd->preview("DATA_SUPPLIER");
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(pick(preview->findChild<QComboBox*>(), "150%"));
    EXPECT_EQ(preview->zoom(), 1.5);
}

// Every control a person can act on, in every window and both permission
// modes, is named: by its caption, or by the label that names it; its
// control name stays its description. So is every menu item.
TEST(AccessibleNames, EveryActionableControlOfEveryWindowHasAName) {
    for (Permissions permissions : {Permissions::Off, Permissions::On}) {
        QtRig rig;
        QStringList unnamed;
        openEveryWindow(
            rig,
            [&](qt::FormWindow& w) {
                for (const auto& c : w.form()->controls()) {
                    QWidget* widget = w.widgetFor(*c);
                    switch (c->kind()) {
                        case ControlKind::Label:
                        case ControlKind::Frame:
                        case ControlKind::PictureBox:
                        case ControlKind::Line:
                        case ControlKind::Timer: continue;
                        default: break;
                    }
                    if (!widget || !widget->isVisible()) continue;
                    const QString where = qt::qs(w.formName() + "." + c->fullName());
                    EXPECT_EQ(descriptionOf(widget), qt::qs(c->fullName())) << qt::std8(where);
                    if (widget->accessibleName().trimmed().isEmpty() || nameOf(widget).trimmed().isEmpty())
                        unnamed << where;
                }
                for (MenuItem* m : w.form()->allMenus()) {
                    QAction* a = w.actionFor(m->name(), m->index());
                    if (!a || a->isSeparator() || !a->isVisible()) continue;
                    QAccessibleInterface* item = iface(a);
                    if (!item || item->text(QAccessible::Name).trimmed().isEmpty())
                        unnamed << qt::qs(w.formName() + " menu " + m->name());
                }
            },
            permissions);
        unnamed.removeDuplicates();
        EXPECT_TRUE(unnamed.isEmpty()) << qt::std8(unnamed.join(QLatin1Char('\n')));
    }
}

}  // namespace
}  // namespace mk::test
