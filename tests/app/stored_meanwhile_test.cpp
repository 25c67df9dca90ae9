// A record window's typed change of a field that a posting, another window
// or another writer stored anew since the edit began is never saved over
// it: the save is refused before any write, naming the box and the value
// stored now, and the edit stays open; typed again, the box saves. A field
// the user did not change is not written at all.
#include <gtest/gtest.h>

#include <functional>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

struct StoredMeanwhile {
    const char* what;
    // The record window in edit, its box typed into.
    std::function<void(Harness&)> edit;
    const char* form;
    const char* box;
    int index;
    const char* caption;
    // What another window posts to the same field meanwhile.
    std::function<void(Harness&)> post;
    // The field as stored now, as text.
    std::function<std::string(Harness&)> stored;
    int saveButton;
    const char* afterPosting;  // the value the posting stored
    const char* typedAgain;
};

void sellOnCredit(Harness& h, const std::string& item, const char* quantity) {
    h.menu("Form1", "saleslarge");
    h.choose("Form42", "DataCombo3", "G1");
    enterWholesale(h, "Form42", {{item, quantity}});
    h.choose("Form42", "DataCombo2", "Hala");
    h.click("Form42", "Option2");
    h.answer(answer::OK);
    h.answer(answer::No);
    h.click("Form42", "cmdaction", 0);
}

void buyOnCredit(Harness& h, const char* quantity, const char* price) {
    h.menu("Form1", "supply_inv");
    enterInvoice(h, "Acme", "Option2", {{"bolt", quantity, price}});
    saveIncoming(h);
}

// A partner window opened on its first row, its balance typed in an edit.
void editBalance(Harness& h, const char* menu, const char* form, const char* text) {
    h.menu("Form1", menu);
    h.click(form, "cmdaction", 2);
    h.type(form, "Text2", text);
}

void editCard(Harness& h, const char* box, int index, const char* text) {
    h.menu("Form1", "store_functions");
    h.choose("Form1", "DataCombo3", "G1");  // bolt on show
    h.click("Form1", "cmdaction", 2);
    h.type("Form1", box, text, index);
}

std::string bolt(Harness& h, const char* field) { return row(h, "G1", 0, {field}); }

const std::vector<StoredMeanwhile> kCases = {
    {"a customer's debt under a credit sale",
     [](Harness& h) { editBalance(h, "BUYER", "Form6", "50"); },  // Hala's, 40
     "Form6", "Text2", -1, "المبلغ المدين", [](Harness& h) { sellOnCredit(h, "bolt", "2"); },
     [](Harness& h) { return formatDouble(debtOf(h, "Hala")); }, 2, "70", "75"},
    {"a supplier's balance under a purchase on credit",
     [](Harness& h) { editBalance(h, "SUPPLY_INF", "Form5", "5"); },  // Acme's, 0
     "Form5", "Text2", -1, "المبلغ الدائن", [](Harness& h) { buyOnCredit(h, "2", "9"); },
     [](Harness& h) { return row(h, "SUPPLIER", 0, {"MONEY"}); }, 2, "18", "20"},
    {"an item's stock under a retail sale",
     [](Harness& h) { editCard(h, "Text3", 0, "12"); }, "Form1", "Text3", 0, "الكمية",
     [](Harness& h) {
         h.menu("Form1", "SALES_IN");
         h.choose("Form3", "DataCombo3", "G1");
         enterLines(h, {{"bolt", "3"}});
         save(h);
     },
     [](Harness& h) { return bolt(h, "ONSTOCK"); }, 2, "7", "9"},
    {"an item's buy price under a purchase",
     [](Harness& h) { editCard(h, "Text10", -1, "8"); }, "Form1", "Text10", -1, "سعر الشراء",
     [](Harness& h) { buyOnCredit(h, "10", "11"); }, [](Harness& h) { return bolt(h, "BUY_PRICE"); },
     2, "10", "8"},
    {"a month's daily expenses under days rolled into it",
     [](Harness& h) {
         h.menu("Form1", "moutput");
         h.click("Form11", "cmdaction", 2);
         h.choose("Form11", "DataCombo1", "12");  // the year's last: its save offers the roll-up
         h.type("Form11", "Text1", "100", 0);
     },
     "Form11", "Text1", 0, "المصاريف اليومية",
     [](Harness& h) {
         h.menu("Form1", "doutput");
         h.click("Form18", "cmdaction", 2);
         h.choose("Form18", "DataCombo1", "30");
         h.type("Form18", "Text1", "7", 0);
         h.click("Form18", "Command1");  // the day's total
         h.click("Form18", "cmdaction", 2);
         h.answerInput("12");
         h.click("Form18", "ADD");
     },
     [](Harness& h) { return row(h, "MONTH_OUTPUT", 11, {"DALIY_OUT"}); }, 2, "7", "107"},
    {"an employee's wage under a restore",
     [](Harness& h) {
         setProfile(h, "ACME", true);
         h.menu("Form1", "SUPPLY_INF");
         h.app.navigate(h.form("Form32").adodc("Adodc1"), Nav::Next);
         h.click("Form32", "cmdaction", 2);
         h.type("Form32", "Text1", "500", 9);
     },
     "Form32", "Text1", 9, "أساسى الأجر",
     [](Harness& h) { h.exec("UPDATE emplyee SET sallery = 450"); },
     [](Harness& h) { return row(h, "emplyee", 0, {"sallery"}); }, 2, "450", "520"},
};

TEST(StoredMeanwhile, ATypedValueIsNeverSavedOverWhatWasStoredSinceTheEditBegan) {
    for (const StoredMeanwhile& c : kCases) {
        SCOPED_TRACE(c.what);
        Harness h;
        startTradingDay(h);
        h.exec("INSERT INTO emplyee (code, name, sallery) VALUES ('E1', 'Ali', 300)");
        c.edit(h);
        c.post(h);
        // The typed text outlives the posting.
        const std::string typed = h.text(c.form, c.box, c.index);
        const std::string before = tablesText(h, h.db().tableNames());
        h.app.focusByUser(h.form(c.form).control("cmdaction", c.saveButton));
        const std::string windows = windowsText(h);
        const std::string refusal = "لم يحفظ شىء: «" + std::string(c.caption) +
                                    "» تغير فى الملف منذ بدأ التعديل، والمحفوظ الآن " +
                                    c.afterPosting + ". ألغ التعديل، أو أكتب القيمة من جديد ثم أحفظ";
        for (int press = 0; press < 2; ++press) {  // pressed again, still refused
            h.dialogs.clear();
            h.click(c.form, "cmdaction", c.saveButton);
            EXPECT_EQ(h.messageTexts(), std::vector<std::string>{refusal}) << press;
            EXPECT_EQ(tablesText(h, h.db().tableNames()), before) << press;
            // Every window as it was, the typed text and the edit open.
            EXPECT_EQ(windowsText(h), windows) << press;
            EXPECT_EQ(h.text(c.form, c.box, c.index), typed);
        }
        // Typed again, knowing what is stored: saved.
        h.type(c.form, c.box, c.typedAgain, c.index);
        h.dialogs.clear();
        h.click(c.form, "cmdaction", c.saveButton);
        EXPECT_EQ(c.stored(h), c.typedAgain);
    }
}

// Only what the user changed is written: a phone typed while a sale charges
// the customer saves, and the debt the sale stored stays.
TEST(StoredMeanwhile, AFieldNotTypedIntoIsNotWrittenAndTheSaveGoesThrough) {
    Harness h;
    startTradingDay(h);
    h.menu("Form1", "BUYER");
    h.click("Form6", "cmdaction", 2);
    h.type("Form6", "Text1", "555", 1);
    sellOnCredit(h, "nut", "4");
    h.dialogs.clear();
    h.click("Form6", "cmdaction", 2);
    EXPECT_TRUE(h.dialogs.messages().empty());
    EXPECT_EQ(row(h, "BUYER", 0, {"PHONE", "MONEY"}), "555|60");
    EXPECT_EQ(h.text("Form6", "Text2") + h.caption("Form6", "cmdaction", 2), "60&edit");
}

// A box typed after the posting was shown holds what the user saw: saved.
TEST(StoredMeanwhile, AnEditBegunAfterThePostingShowedSaves) {
    Harness h;
    startTradingDay(h);
    h.menu("Form1", "BUYER");
    h.click("Form6", "cmdaction", 2);
    sellOnCredit(h, "bolt", "2");
    EXPECT_EQ(h.text("Form6", "Text2"), "70");  // no typed change: it shows the posting
    h.type("Form6", "Text2", "65");
    h.dialogs.clear();
    h.click("Form6", "cmdaction", 2);
    EXPECT_TRUE(h.dialogs.messages().empty());
    EXPECT_EQ(debtOf(h, "Hala"), 65);
}

// A book's save stores the total of the amounts on show: an amount a
// roll-up stored anew since it showed is named even when not typed into,
// so no total is worked out from it; typed again, the row saves whole.
TEST(StoredMeanwhile, ABooksTotalIsNeverWorkedOutFromAnAmountStoredAnew) {
    Harness h;
    startTradingDay(h);
    h.menu("Form1", "moutput");
    h.click("Form11", "cmdaction", 2);
    h.choose("Form11", "DataCombo1", "12");
    h.type("Form11", "Text1", "50", 3);  // the phone bill
    kCases[4].post(h);                    // 7 of days rolled into December
    const std::string before = tablesText(h, {"MONTH_OUTPUT"});
    h.dialogs.clear();
    h.click("Form11", "cmdaction", 2);
    EXPECT_EQ(h.messageTexts(),
              std::vector<std::string>{"لم يحفظ شىء: «المصاريف اليومية» تغير فى الملف منذ بدأ "
                                       "التعديل، والمحفوظ الآن 7. ألغ التعديل، أو أكتب القيمة من "
                                       "جديد ثم أحفظ"});
    EXPECT_EQ(tablesText(h, {"MONTH_OUTPUT"}), before);
    h.type("Form11", "Text1", "7", 0);
    h.click("Form11", "cmdaction", 2);
    EXPECT_EQ(row(h, "MONTH_OUTPUT", 11, {"DALIY_OUT", "PHONE_FEE", "TOTAL_OUT"}), "7|50|57");
}

}  // namespace
}  // namespace mk
