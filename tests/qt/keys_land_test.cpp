// Every key a clerk types lands where it was typed, however fast the keys
// come: the first key in a window that opened on a box, the first after
// Tab, keys right after Alt with a button's letter or after a shortcut
// that opens a window, and keys typed on coming back to a window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QTest>
#include <utility>

#include "platform/recordset.h"
#include "qt/report_preview.h"
#include "qt_rig.h"
#include "real_input.h"

namespace mk::test {
namespace {

using real::Stroke;

void activate(QWidget& w) {
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    settle();
}

std::vector<Stroke> operator+(std::vector<Stroke> a, const std::vector<Stroke>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<Stroke> keys(const char* text) { return real::strokes(QString::fromUtf8(text)); }
std::vector<Stroke> alt(Qt::Key key) { return {{key, Qt::AltModifier}}; }
const std::vector<Stroke> kTab{{Qt::Key_Tab}};

// The rows of a table, the last first, as stored.
std::vector<std::string> column(QtRig& rig, const char* table, const char* field) {
    std::vector<std::string> out;
    Recordset rs(rig.db(), table);
    for (rs.moveLast(); !rs.bof(); rs.movePrevious()) out.push_back(toText(rs.field(field)));
    return out;
}

// The main window, active, its item card open to the keys.
qt::FormWindow& openMainWindow(QtRig& rig) {
    qt::FormWindow& main = startMainWindow(rig);
    activate(main);
    EXPECT_TRUE(real::chooseMenu(*main.actionFor("store_functions")));
    settle();
    return main;
}

// The customers window opened from the main window's menu, active.
qt::FormWindow& openCustomers(QtRig& rig) {
    EXPECT_TRUE(real::chooseMenu(*openMainWindow(rig).actionFor("BUYER")));
    settle();
    qt::FormWindow* customers = rig.window("Form6");
    EXPECT_NE(customers, nullptr);
    activate(*customers);
    return *customers;
}

// Then a customer being added.
qt::FormWindow& addingACustomer(QtRig& rig) {
    qt::FormWindow& customers = openCustomers(rig);
    real::click(*rig.widget("Form6", "cmdaction", 0));
    settle();
    return customers;
}

// Away in the main window: a group typed into the item card's chooser,
// which takes it when left.
void typeAGroupIntoTheItemCard(QtRig& rig) {
    activate(*rig.window("Form1"));
    real::click(*rig.widget("Form1", "DataCombo3"));
    real::type("G1");
}

// The retail invoice's search login opened from its menu, with no click
// into it: its first box is the program's focus at once and takes every
// key, typed at a steady pace or in one burst.
TEST(KeysLand, AWindowOpenedOnABoxTakesItsFirstKey) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes;
    qt::FormWindow& retail = openRetailWindow(rig);
    activate(retail);
    for (bool burst : {false, true}) {
        ASSERT_TRUE(real::chooseMenu(*retail.actionFor("INV_NO")));
        TextBox& user = rig.app.form("Form14").textBox("Text1", 0);
        EXPECT_EQ(rig.app.focused(), &user);
        if (burst) real::burst(keys("boss"));
        else real::type("boss");
        settle();
        EXPECT_EQ(user.text(), "boss") << (burst ? "in a burst" : "at a pace");
        rig.window("Form14")->close();
        settle();
        ASSERT_EQ(rig.window("Form14"), nullptr);
    }
}

// A clerk who knows the window types a customer in one burst: Alt+A adds,
// the name, Tab, the phone, Alt+S saves, and keys typed on go nowhere near
// the saved customer.
TEST(KeysLand, ACustomerTypedInOneBurst) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes;
    openCustomers(rig);
    real::burst(alt(Qt::Key_A) + keys("abcdefghij") + kTab + keys("0123456") + alt(Qt::Key_S) + keys("xyz"));
    settle();
    EXPECT_EQ(column(rig, "BUYER", "BUYER"), std::vector<std::string>{"abcdefghij"});
    EXPECT_EQ(column(rig, "BUYER", "PHONE"), std::vector<std::string>{"0123456"});
    EXPECT_EQ(rig.app.form("Form6").button("cmdaction", 0).caption, "&add");
    EXPECT_TRUE(boxes.seen().isEmpty()) << qt::std8(boxes.seen().join('\n'));
}

// Item cards typed one after another in one burst: each Tab's first key
// lands, and each card is saved before the next is added.
TEST(KeysLand, ItemCardsTypedInOneBurst) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes;
    openMainWindow(rig);
    auto card = [](const char* name, const char* price, const char* number) {
        return alt(Qt::Key_A) + keys(name) + kTab + keys(price) + kTab + keys(number) + alt(Qt::Key_S);
    };
    real::burst(keys("G1") + kTab + card("hammer", "30", "501") + card("saw", "45", "502"));
    settle();
    ASSERT_EQ(column(rig, "G1", "DESC"), (std::vector<std::string>{"saw", "hammer", "bolt"}));
    EXPECT_EQ(column(rig, "G1", "UNITE_PRICE"), (std::vector<std::string>{"45", "30", "25"}));
    EXPECT_EQ(column(rig, "G1", "ITEM_NO")[1], "501");
    EXPECT_TRUE(boxes.seen().isEmpty()) << qt::std8(boxes.seen().join('\n'));
}

// In a customer's name: Alt with a letter no button has types nothing, and
// a click puts the caret where it falls (the text is not chosen whole for
// the next key to replace).
TEST(KeysLand, TypingIntoACustomersName) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes;
    addingACustomer(rig);
    const TextBox& name = rig.app.form("Form6").textBox("Text1", 0);
    real::type("abc");
    // Adding, the first button reads "&save": no button has A any more.
    for (Qt::Key k : {Qt::Key_A, Qt::Key_X, Qt::Key_1, Qt::Key_D}) real::key(k, Qt::AltModifier);
    EXPECT_EQ(name.text(), "abc");
    real::click(*rig.widget("Form6", "Text1", 1));
    real::click(*rig.widget("Form6", "Text1", 0));
    real::type("Z");
    EXPECT_TRUE(name.text() == "Zabc" || name.text() == "abcZ") << name.text();
}

// Away to another window and back, as a window manager moves a person
// between windows: the box keeps its text and the caret where it was, and
// is the program's focus again as soon as its window is active (what was
// left behind acts on being left then, not under the keys).
TEST(KeysLand, ComingBackToAWindowKeepsItsBoxAndCaret) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes;
    qt::FormWindow& customers = addingACustomer(rig);
    activate(*rig.window("Form1"));
    ASSERT_TRUE(real::chooseMenu(*rig.window("Form1")->actionFor("SUPPLY_INF")));
    settle();
    qt::FormWindow* suppliers = rig.window("Form5");
    ASSERT_NE(suppliers, nullptr);
    activate(customers);
    TextBox& name = rig.app.form("Form6").textBox("Text1", 0);
    real::type(QStringLiteral("محمد"));

    // Into a supplier's box.
    activate(*suppliers);
    real::click(*rig.widget("Form5", "Text1", 0));
    settle();
    activate(customers);
    EXPECT_EQ(rig.app.focused(), &name);
    real::type(QStringLiteral(" علي"));
    EXPECT_EQ(name.text(), "محمد علي");

    typeAGroupIntoTheItemCard(rig);
    activate(customers);
    real::key(Qt::Key_Home);
    real::type("XY");
    EXPECT_EQ(name.text(), "XYمحمد علي");
    EXPECT_EQ(rig.app.form("Form1").adodc("Adodc4").RecordSource, "G1");
    EXPECT_TRUE(boxes.seen().isEmpty()) << qt::std8(boxes.seen().join('\n'));
}

// Coming back, the first letter comes from an input method (as Arabic may),
// which no key press announces: what the program does on the focus coming
// back runs first, and the letter stays where it was typed.
TEST(KeysLand, ALetterFromAnInputMethodOnComingBackStaysWhereTyped) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes;
    qt::FormWindow& customers = addingACustomer(rig);
    real::type(QStringLiteral("محمد"));
    real::key(Qt::Key_Home);
    typeAGroupIntoTheItemCard(rig);

    // The letter comes as soon as the window is active, before anything
    // the program queued on its coming back has run.
    customers.activateWindow();
    for (int i = 0; i < 200 && !customers.isActiveWindow(); ++i)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ASSERT_TRUE(customers.isActiveWindow());
    for (const char* letter : {"X", "Y"}) {
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf8(letter));
        QCoreApplication::sendEvent(QApplication::focusWidget(), &commit);
    }
    settle();
    EXPECT_EQ(rig.app.form("Form6").textBox("Text1", 0).text(), "XYمحمد");
    EXPECT_EQ(rig.app.form("Form1").adodc("Adodc4").RecordSource, "G1");
}

// Ctrl+S opens the retail invoice; the keys typed at once, before the
// window system has made it the active window, go to it (its group chooser
// takes the group, Alt+A adds), not to the main window left behind (its
// group chooser, its own add).
TEST(KeysLand, KeysRightAfterAShortcutGoToTheWindowItOpens) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes;
    openMainWindow(rig);
    real::burst(std::vector<Stroke>{{Qt::Key_S, Qt::ControlModifier}} + keys("G1") + kTab + alt(Qt::Key_A));
    settle();
    ASSERT_NE(rig.window("Form3"), nullptr);
    EXPECT_EQ(rig.app.form("Form3").adodc("Adodc3").RecordSource, "G1");
    EXPECT_EQ(rig.app.form("Form3").button("cmdaction", 0).caption, "&save");
    EXPECT_EQ(rig.app.form("Form1").dataCombo("DataCombo3").text(), "");
    EXPECT_EQ(rig.app.form("Form1").button("cmdaction", 0).caption, "&add");
    EXPECT_TRUE(boxes.seen().isEmpty()) << qt::std8(boxes.seen().join('\n'));
}

// As an X server does: a menu closing gives the keys back to its window at
// once, and a window the choice opened takes them only after; `typed`
// comes in between, to the window that has the keys then.
class KeysBackFromAMenu : public QObject {
public:
    KeysBackFromAMenu(QWidget& window, std::vector<Stroke> typed) : window_(window), typed_(std::move(typed)) {
        qApp->installEventFilter(this);
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
            if (w == window_.windowHandle() && !typed_.empty()) real::burst(std::exchange(typed_, {}));
        });
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Hide && qobject_cast<QMenu*>(o)) window_.windowHandle()->requestActivate();
        return false;
    }

private:
    QWidget& window_;
    std::vector<Stroke> typed_;
};

// A menu item clicked and keys typed at once, before the program has
// handled the click: the window system gave them to the menu, and they go
// to the login the item opens, or to the window the menu belongs to; so do
// the keys typed as the menu's window takes the keys back, before the
// login is made active.
TEST(KeysLand, KeysTypedRightAfterAMenuClickLand) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes;
    qt::FormWindow& main = startMainWindow(rig);
    activate(main);
    ASSERT_TRUE(real::chooseMenu(*main.actionFor("store_functions"), keys("G1") + kTab));
    settle();
    EXPECT_EQ(rig.app.form("Form1").adodc("Adodc4").RecordSource, "G1");

    ASSERT_TRUE(real::chooseMenu(*main.actionFor("SALES_IN")));
    settle();
    qt::FormWindow& retail = *rig.window("Form3");
    activate(retail);
    {
        KeysBackFromAMenu back(retail, keys("ss"));
        ASSERT_TRUE(real::chooseMenu(*retail.actionFor("INV_NO"), keys("bo")));
        settle();
    }
    EXPECT_EQ(rig.app.form("Form14").textBox("Text1", 0).text(), "boss");
    EXPECT_EQ(rig.app.form("Form3").dataCombo("DataCombo3").text(), "");
    EXPECT_TRUE(boxes.seen().isEmpty()) << qt::std8(boxes.seen().join('\n'));
}

// Shift+F2 opens the customers window and a customer is typed at once,
// before the window system has made it active: Tab and Shift+Tab there
// choose the reached box's text whole, as in an active window, so what is
// typed takes the place of the "." an add put there.
TEST(KeysLand, TabInAWindowNotYetActiveChoosesTheTextWhole) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes;
    openMainWindow(rig);
    const std::vector<Stroke> backtab{{Qt::Key_Backtab, Qt::ShiftModifier}};
    real::burst(std::vector<Stroke>{{Qt::Key_F2, Qt::ShiftModifier}} + alt(Qt::Key_A) + keys("abc") + kTab +
                kTab + keys("fax") + backtab + keys("0123456") + alt(Qt::Key_S));
    settle();
    ASSERT_NE(rig.window("Form6"), nullptr);
    EXPECT_EQ(column(rig, "BUYER", "BUYER"), std::vector<std::string>{"abc"});
    EXPECT_EQ(column(rig, "BUYER", "PHONE"), std::vector<std::string>{"0123456"});
    EXPECT_EQ(column(rig, "BUYER", "FAX"), std::vector<std::string>{"fax"});
    EXPECT_TRUE(boxes.seen().isEmpty()) << qt::std8(boxes.seen().join('\n'));
}

// A report chosen from the menu while a name is typed on the item card,
// and keys typed at once, before its preview is active: they are the
// preview's. Ctrl+End turns to the last page, PageDown to the next, Escape
// closes it, and letters go nowhere, least of all into the name.
TEST(KeysLand, KeysTypedRightAfterAReportIsChosenGoToItsPreview) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes;
    for (int i = 0; i < 60; ++i)
        rig.db().exec("INSERT INTO BUYER (BUYER, PHONE) VALUES ('c" + std::to_string(i) + "', '1')");
    qt::FormWindow& main = openMainWindow(rig);
    real::burst(keys("G1") + kTab + alt(Qt::Key_A) + keys("ham"));
    settle();
    const TextBox& name = rig.app.form("Form1").textBox("Text6");
    ASSERT_EQ(name.text(), "ham");

    const std::vector<Stroke> ctrlEnd{{Qt::Key_End, Qt::ControlModifier}};
    ASSERT_TRUE(real::chooseMenu(*main.actionFor("dealer"), keys("xyz") + ctrlEnd));
    settle();
    qt::ReportPreview* preview = rig.frontEnd->preview("DataReport2");
    ASSERT_NE(preview, nullptr);
    const int pages = static_cast<int>(preview->report().pages.size());
    ASSERT_GT(pages, 2);
    EXPECT_EQ(preview->page(), pages - 1);

    // Chosen again, it shows its first page; PageDown turns to the second.
    activate(main);
    ASSERT_TRUE(real::chooseMenu(*main.actionFor("dealer"), std::vector<Stroke>{{Qt::Key_PageDown}}));
    settle();
    EXPECT_EQ(preview->page(), 1);
    activate(main);
    ASSERT_TRUE(real::chooseMenu(*main.actionFor("dealer"), std::vector<Stroke>{{Qt::Key_Escape}}));
    settle();
    EXPECT_FALSE(preview->isVisible());
    EXPECT_EQ(name.text(), "ham");
    EXPECT_TRUE(boxes.seen().isEmpty()) << qt::std8(boxes.seen().join('\n'));
}

// The invoice number typed right behind a search login's Return, before
// the box that asks for it is up, lands whole in it.
TEST(KeysLand, AnInvoiceNumberTypedRightAfterALoginLandsWhole) {
    QtRig rig;
    real::AnswerBoxesByKeys boxes({});
    qt::FormWindow& main = startMainWindow(rig);
    rig.db().exec("INSERT INTO Admin (UserID, Password, \"sell-inv\") VALUES ('boss', '1234', 1)");
    for (int n : {2, 3, 23}) rig.db().exec("INSERT INTO SALES_INVOICE (INVO_NO) VALUES (" + std::to_string(n) + ")");
    activate(main);
    ASSERT_TRUE(real::chooseMenu(*main.actionFor("SALES_IN")));
    settle();
    qt::FormWindow& retail = *rig.window("Form3");
    activate(retail);
    for (const char* number : {"23", "3"}) {
        ASSERT_TRUE(real::chooseMenu(*retail.actionFor("INV_NO")));
        settle();
        const std::vector<Stroke> kReturn{{Qt::Key_Return}};
        real::burst(keys("boss") + kTab + keys("1234") + kTab + kReturn + keys(number) + kReturn);
        settle();
        EXPECT_EQ(rig.app.form("Form3").textBox("Text1", 0).text(), number);
        EXPECT_EQ(rig.window("Form14"), nullptr);
        activate(retail);
    }
    EXPECT_TRUE(boxes.seen().isEmpty()) << qt::std8(boxes.seen().join('\n'));
}

// One invoice window's sale typed by keys alone: how the clerk reaches
// the payment and types the price where the window asks for one, and what
// the sale leaves in stock.
struct TypedSale {
    const char* menu;
    const char* form;
    const char* table;
    std::vector<Stroke> afterQuantity;  // from the quantity to the save
    const char* stockField;             // what the sale moves for "bolt"
    int stockAfter;
};

const std::vector<Stroke> kSpace{{Qt::Key_Space}};

std::vector<Stroke> times(int n, const std::vector<Stroke>& s) {
    std::vector<Stroke> out;
    for (int i = 0; i < n; ++i) out = out + s;
    return out;
}

const TypedSale kTypedSales[] = {
    {"SALES_IN", "Form3", "SALES_INVOICE", {}, "ONSTOCK", 7},
    // Cash is the option after the price.
    {"saleslarge", "Form42", "SALES_INVO_GROUP", kTab + kTab + kSpace, "ONSTOCK", 7},
    // Cash stands above the lines: round to it past the buttons and the buyer.
    {"sellgroup", "Form53", "COAST_INVO_GROUP", times(7, kTab) + kSpace, "ONSTOCK", 7},
    {"returne", "Form28", "RETURN_INVOICE", kTab + keys("25"), "RETURN", 3},
    {"supply_inv", "Form17", "BUY_INVOICE", kTab + keys("6") + kTab + kTab + kSpace, "ONSTOCK", 13},
};

class WholeSaleByKeys : public ::testing::TestWithParam<std::tuple<TypedSale, bool>> {};

// Alt+A, the group, Tab, the item, Tab, the quantity, the payment, Alt+S;
// Return on the posting's note and on "another invoice?"; then Alt+A and
// the next group. Typed at once, before the program has handled any of
// it, or key after key with the boxes answered by Return as they come up:
// the sale is stored as typed and the next invoice starts on its group.
TEST_P(WholeSaleByKeys, IsStoredAsTyped) {
    const auto& [sale, atOnce] = GetParam();
    QtRig rig;
    // In one burst the Returns are typed with the rest; a box its Return
    // did not close is closed here, and told.
    real::AnswerBoxesByKeys boxes(atOnce ? std::initializer_list<Qt::Key>{} : std::initializer_list<Qt::Key>{Qt::Key_Return});
    qt::FormWindow& main = startMainWindow(rig);
    activate(main);
    ASSERT_TRUE(real::chooseMenu(*main.actionFor(sale.menu)));
    settle();
    qt::FormWindow* window = rig.window(sale.form);
    ASSERT_NE(window, nullptr);
    activate(*window);

    const std::vector<Stroke> invoice = alt(Qt::Key_A) + keys("G1") + kTab + keys("bolt") + kTab + keys("3") +
                                        sale.afterQuantity + alt(Qt::Key_S);
    const std::vector<Stroke> next = alt(Qt::Key_A) + keys("G1");
    if (atOnce) {
        const std::vector<Stroke> kReturn{{Qt::Key_Return}};
        real::burst(invoice + kReturn + kReturn + next);
    } else {
        for (const Stroke& s : invoice + next) {
            if (!s.text.isEmpty()) real::type(s.text);
            else real::key(s.key, s.modifiers);
        }
    }
    settle();

    const std::string label = std::string(sale.form) + (atOnce ? " at once" : " key after key");
    EXPECT_EQ(column(rig, sale.table, "MED_NAME1"), std::vector<std::string>{"bolt"}) << label;
    EXPECT_EQ(column(rig, sale.table, "QNTITY1"), std::vector<std::string>{"3"}) << label;
    EXPECT_EQ(column(rig, "G1", sale.stockField), std::vector<std::string>{std::to_string(sale.stockAfter)})
        << label;
    Form& form = rig.app.form(sale.form);
    EXPECT_EQ(form.dataCombo("DataCombo3").text(), "G1") << label;
    EXPECT_EQ(form.button("cmdaction", 0).caption, "&save") << label;
    for (const QString& seen : boxes.seen())
        EXPECT_FALSE(seen.startsWith("(not closed")) << label << ": " << qt::std8(boxes.seen().join('\n'));
}

INSTANTIATE_TEST_SUITE_P(EveryInvoiceWindow, WholeSaleByKeys,
                         ::testing::Combine(::testing::ValuesIn(kTypedSales), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).form) +
                                    (std::get<1>(info.param) ? "AtOnce" : "KeyAfterKey");
                         });

}  // namespace
}  // namespace mk::test
