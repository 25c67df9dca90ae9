// A clerk's windows by keyboard alone, with real key events: where the
// focus stands when a window opens and after add, where Tab takes it, what
// typing in Tab order stores, and the menu bar reached by F10 and Alt.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include "data/schema.h"
#include "qt_rig.h"
#include "real_input.h"

namespace mk::test {
namespace {

// The control whose widget has the keys now, in the window of `form`.
const Control* focused(QtRig& rig, const std::string& form) {
    qt::FormWindow* w = rig.window(form);
    QWidget* f = QApplication::focusWidget();
    if (!w || !f) return nullptr;
    for (const auto& c : w->form()->controls())
        if (QWidget* cw = w->widgetFor(*c); cw && (cw == f || cw->isAncestorOf(f))) return c.get();
    return nullptr;
}

std::string nameOf(const Control* c) { return c ? c->fullName() : "(none)"; }

// Whether the focus may rest here: a box or chooser that takes text, or a
// control that takes a press.
bool takesInput(const Control& c) {
    if (c.kind() == ControlKind::TextBox) return !static_cast<const TextBox&>(c).locked;
    if (c.kind() == ControlKind::DataCombo) return !static_cast<const DataCombo&>(c).locked;
    return true;
}

// The stops Tab visits from the focus now round to it again.
std::vector<const Control*> tabRound(QtRig& rig, const std::string& form) {
    std::vector<const Control*> round;
    const Control* start = focused(rig, form);
    for (int i = 0; i < 80; ++i) {
        real::key(Qt::Key_Tab);
        settle(0);
        const Control* now = focused(rig, form);
        if (!now || now == start) break;
        round.push_back(now);
    }
    return round;
}

// What is wrong with a round of Tab stops: a stop that takes no input, a
// button before a box, a box read out of order (back up and to the right).
std::vector<std::string> outOfOrder(const std::vector<const Control*>& round) {
    std::vector<std::string> found;
    const Control* last = nullptr;
    bool buttons = false;
    for (const Control* c : round) {
        if (!takesInput(*c)) found.push_back(c->fullName() + " takes no input");
        const bool button = c->kind() == ControlKind::CommandButton;
        if (buttons && !button) found.push_back(c->fullName() + " after the buttons");
        buttons = buttons || button;
        if (button) continue;
        if (last) {
            const bool below = c->top >= last->top + last->height - 60;
            const bool leftwards = c->left + c->width <= last->left + 60;
            const bool rowOnLeft = std::abs(c->top - last->top) < 120 && c->left < last->left;
            if (!below && !leftwards && !rowOnLeft)
                found.push_back(last->fullName() + " then " + c->fullName());
        }
        last = c;
    }
    return found;
}

// The stops of a round from the first after the buttons, so a window's
// boxes read from its first: the order Tab gives a person who starts at
// the top right.
std::vector<const Control*> fromTheTop(std::vector<const Control*> round) {
    size_t at = 0;
    for (size_t i = 1; i < round.size(); ++i)
        if (round[i - 1]->kind() == ControlKind::CommandButton &&
            round[i]->kind() != ControlKind::CommandButton)
            at = i;
    std::rotate(round.begin(), round.begin() + static_cast<long>(at), round.end());
    return round;
}

// Tab round from the focus now: every stop takes input, the buttons come
// last, and the rest read right to left and down from the first after them.
std::vector<const Control*> checkedTabRound(QtRig& rig, const std::string& form) {
    const auto round = tabRound(rig, form);
    const auto wrong = outOfOrder(fromTheTop(round));
    EXPECT_TRUE(wrong.empty()) << form << ": " << ::testing::PrintToString(wrong);
    return round;
}

void activate(QWidget& w) {
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    settle();
}

// The main window started, then the window its menu item opens, by the
// mouse, made the active window; null when it did not open.
qt::FormWindow* openFromMenu(QtRig& rig, const char* item, const char* form) {
    qt::FormWindow& main = startMainWindow(rig);
    activate(main);
    if (!real::chooseMenu(*main.actionFor(item))) return nullptr;
    settle();
    qt::FormWindow* window = rig.window(form);
    if (window) activate(*window);
    return window;
}

// The window opened on its group chooser: the group G1 typed there and left.
void typeTheGroupWhereTheWindowOpened(QtRig& rig, const std::string& form) {
    EXPECT_EQ(nameOf(focused(rig, form)), "DataCombo3");
    real::type("G1");
    real::key(Qt::Key_Tab);
    settle();
}

// The item card: opened on its group chooser; add puts the focus in the
// name; Tab goes through the boxes add opens, right to left and down, and
// what is typed in that order lands in its own field.
TEST(KeyboardPath, TheItemCardIsFilledInTabOrder) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes({Qt::Key_Return});
    ASSERT_NE(openFromMenu(rig, "store_functions", "Form1"), nullptr);
    typeTheGroupWhereTheWindowOpened(rig, "Form1");
    Form& card = rig.app.form("Form1");
    ASSERT_EQ(card.adodc("Adodc4").RecordSource, "G1");

    ASSERT_TRUE(real::tabTo(*rig.widget("Form1", "cmdaction", 0)));
    real::key(Qt::Key_Return);
    settle();
    ASSERT_EQ(card.button("cmdaction", 0).caption, "&save");
    EXPECT_EQ(nameOf(focused(rig, "Form1")), "Text6");

    const auto round = checkedTabRound(rig, "Form1");
    for (const char* locked : {"Text3(1)", "Text4(1)", "Text1(1)"})
        for (const Control* c : round) EXPECT_NE(c->fullName(), locked);

    // Typed in Tab order from the name: each value in its own field.
    ASSERT_EQ(nameOf(focused(rig, "Form1")), "Text6");
    const std::pair<const char*, const char*> kTyped[] = {
        {"Text6", "hammer"}, {"Text7", "25"},  {"Text5", "4711"}, {"Text9", "22"},
        {"Text3(0)", "12"},  {"Text10", "20"}, {"Text1(0)", "1"}, {"Text4(0)", "07/12/2026"},
        {"Text2", "strong"}};
    for (const auto& [box, text] : kTyped) {
        ASSERT_EQ(nameOf(focused(rig, "Form1")), box);
        real::type(QString::fromUtf8(text));
        real::key(Qt::Key_Tab);
        settle(0);
    }
    ASSERT_TRUE(real::tabTo(*rig.widget("Form1", "cmdaction", 0)));
    real::key(Qt::Key_Return);
    settle();
    EXPECT_EQ(card.button("cmdaction", 0).caption, "&add");
    Recordset row(rig.db(), "G1");
    row.moveLast();
    EXPECT_EQ(toText(row.field("DESC")), "hammer");
    EXPECT_EQ(toDouble(row.field("UNITE_PRICE")), 25);
    EXPECT_EQ(toText(row.field("ITEM_NO")), "4711");
    EXPECT_EQ(toDouble(row.field("GROUP_PRICE")), 22);
    EXPECT_EQ(toDouble(row.field("ONSTOCK")), 12);
    EXPECT_EQ(toDouble(row.field("BUY_PRICE")), 20);
    EXPECT_EQ(toDouble(row.field("RETURN")), 1);
    EXPECT_EQ(formatShortDate(toDouble(row.field("DATES"))), "07/12/2026");
    EXPECT_EQ(toText(row.field("NOTES")), "strong");
    EXPECT_TRUE(boxes.seen().isEmpty()) << qt::std8(boxes.seen().join('\n'));
}

// A record window opens with the focus on a control that takes input,
// never in a locked box; add puts it in the first box to fill, and Tab
// visits only what takes input, in reading order, the buttons last.
struct RecordWindow {
    const char* menu;
    const char* form;
    const char* firstAfterAdd;
};

void PrintTo(const RecordWindow& w, std::ostream* os) { *os << w.form; }

class KeyboardRecordWindow : public ::testing::TestWithParam<RecordWindow> {};

TEST_P(KeyboardRecordWindow, OpensAndAddsWhereTheClerkTypes) {
    const RecordWindow& param = GetParam();
    QtRig rig;
    real::AnswerBoxesByKeys boxes({Qt::Key_Return});
    ASSERT_NE(openFromMenu(rig, param.menu, param.form), nullptr);
    const Control* first = focused(rig, param.form);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(takesInput(*first)) << first->fullName();
    EXPECT_EQ(nameOf(first), "cmdaction(0)");  // every box is locked: add comes first

    real::key(Qt::Key_Return);
    settle();
    EXPECT_EQ(nameOf(focused(rig, param.form)), param.firstAfterAdd);
    checkedTabRound(rig, param.form);
}

INSTANTIATE_TEST_SUITE_P(CustomersAndReceipts, KeyboardRecordWindow,
                         ::testing::Values(RecordWindow{"BUYER", "Form6", "Text1(0)"},
                                           RecordWindow{"PAY", "Form35", "DataCombo1"}),
                         [](const auto& info) { return std::string(info.param.form); });

// The wholesale invoice opens on its group chooser (its number box is
// locked); once a group is chosen, add puts the focus in the first line's
// item, and Tab goes on through what takes input.
TEST(KeyboardPath, TheWholesaleInvoiceOpensOnItsGroupAndAddsOnItsFirstLine) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes({Qt::Key_Return});
    ASSERT_NE(openFromMenu(rig, "saleslarge", "Form42"), nullptr);
    typeTheGroupWhereTheWindowOpened(rig, "Form42");
    Form& form = rig.app.form("Form42");
    ASSERT_EQ(form.adodc("Adodc3").RecordSource, "G1");

    QTest::mouseClick(rig.widget("Form42", "cmdaction", 0), Qt::LeftButton);
    settle();
    ASSERT_EQ(form.button("cmdaction", 0).caption, "&save");
    EXPECT_EQ(nameOf(focused(rig, "Form42")), "DataCombo1(0)");
    const auto round = checkedTabRound(rig, "Form42");
    for (const Control* c : round) EXPECT_NE(c->fullName(), "Text5(0)");  // the line's locked total
    ASSERT_FALSE(round.empty());
    EXPECT_EQ(round.front()->fullName(), "Text3(0)");
}

// The incoming invoice: add before a group is chosen puts the focus in the
// group chooser, not in a line the group has not filled yet; with the group
// chosen, in the supplier chooser, which is filled once per invoice.
TEST(KeyboardPath, TheIncomingInvoiceAddsOnItsGroupThenItsSupplier) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes({Qt::Key_Return});
    ASSERT_NE(openFromMenu(rig, "supply_inv", "Form17"), nullptr);
    Form& form = rig.app.form("Form17");
    QTest::mouseClick(rig.widget("Form17", "cmdaction", 0), Qt::LeftButton);
    settle();
    ASSERT_EQ(form.button("cmdaction", 0).caption, "&save");
    EXPECT_EQ(nameOf(focused(rig, "Form17")), "DataCombo3");
    QTest::mouseClick(rig.widget("Form17", "cmdaction", 1), Qt::LeftButton);
    settle();
    ASSERT_EQ(form.button("cmdaction", 0).caption, "&add");

    ASSERT_TRUE(real::tabTo(*rig.widget("Form17", "DataCombo3")));
    real::type("G1");
    real::key(Qt::Key_Tab);
    settle();
    ASSERT_EQ(form.adodc("Adodc3").RecordSource, "G1");
    QTest::mouseClick(rig.widget("Form17", "cmdaction", 0), Qt::LeftButton);
    settle();
    ASSERT_EQ(form.button("cmdaction", 0).caption, "&save");
    EXPECT_EQ(nameOf(focused(rig, "Form17")), "DataCombo2");
}

// The incoming invoice's phone box is on screen, shut until add; what is
// typed into it is stored with the invoice.
TEST(KeyboardPath, TheIncomingInvoicesPhoneIsTypedAfterAddAndStoredWithIt) {
    QtRig rig;
    rig.db().exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Acme', 0)");
    real::AnswerBoxesByKeys boxes({Qt::Key_Return});
    ASSERT_NE(openFromMenu(rig, "supply_inv", "Form17"), nullptr);
    auto* phone = qobject_cast<QLineEdit*>(rig.widget("Form17", "Text1", 2));
    ASSERT_NE(phone, nullptr);
    EXPECT_TRUE(phone->isVisible());
    EXPECT_TRUE(phone->isReadOnly());
    typeTheGroupWhereTheWindowOpened(rig, "Form17");
    QTest::mouseClick(rig.widget("Form17", "cmdaction", 0), Qt::LeftButton);
    settle();
    ASSERT_EQ(nameOf(focused(rig, "Form17")), "DataCombo2");
    real::type("Acme");
    real::click(*phone);
    settle();
    ASSERT_FALSE(phone->isReadOnly());
    real::type("0100 555");
    real::click(*rig.widget("Form17", "Option2"));
    auto* item = qobject_cast<QComboBox*>(rig.widget("Form17", "DataCombo1", 0));
    ASSERT_TRUE(item && real::pickByKeys(*item, "bolt", Qt::Key_Return, real::Open::AltDown));
    for (const char* box : {"Text3", "Text4"}) {
        real::click(*rig.widget("Form17", box, 0));
        real::key(Qt::Key_A, Qt::ControlModifier);
        real::type("2");
    }
    QTest::mouseClick(rig.widget("Form17", "cmdaction", 0), Qt::LeftButton);
    settle(100);

    auto stored = rig.db().prepare("SELECT PHONE, SALES_MAN, STATUS_SUB FROM BUY_INVOICE");
    ASSERT_TRUE(stored->step()) << boxes.seen().join('\n').toStdString();
    EXPECT_EQ(stored->columnText(0) + "|" + stored->columnText(1) + "|" + stored->columnText(2),
              "0100 555|Acme|1");
    EXPECT_TRUE(phone->isReadOnly());  // shut again by the save
}

// F10, and Alt pressed alone, show the first menu highlighted.
TEST(KeyboardPath, F10AndAltAloneHighlightTheFirstMenu) {
    QtRig rig;
    qt::FormWindow& main = startMainWindow(rig);
    activate(main);
    QMenuBar* bar = main.menuBar();
    QAction* file = main.actionFor("file");
    ASSERT_NE(file, nullptr);

    real::key(Qt::Key_F10);
    settle();
    EXPECT_EQ(bar->activeAction(), file);
    real::key(Qt::Key_Escape);
    real::key(Qt::Key_Escape);
    settle();
    activate(main);
    ASSERT_EQ(bar->activeAction(), nullptr);

    QTest::keyPress(main.windowHandle(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(main.windowHandle(), Qt::Key_Alt, Qt::NoModifier);
    settle();
    EXPECT_EQ(bar->activeAction(), file);
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(file);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->state().focused);
    // The arrows walk the bar; Down opens the highlighted menu.
    real::key(Qt::Key_Down);
    settle();
    auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open, file->menu());
    real::key(Qt::Key_Escape);
    real::key(Qt::Key_Escape);
    settle();
}

}  // namespace
}  // namespace mk::test
