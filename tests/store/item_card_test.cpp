// The item card: defaults, cancel and delete, the exact search, the group
// chooser and the cover panel; and the record editing buttons of every
// window: one row at a time, and nothing changed with no row shown.
#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

class ItemCardTest : public ::testing::Test {
protected:
    ItemCardTest() {
        setProfile(h, "ACME");
        makeGroup(h, "SPARE_PARTS", "('filter', 4, 0, 0), ('abc', 1, 0, 0), ('pump', 2, 0, 0), "
                                    "('filter', 9, 0, 0)");
        makeGroup(h, "OILS", "('oil', 3, 0, 0)");
        openStore(h);
        h.choose("Form1", "DataCombo3", "SPARE_PARTS");
    }
    TextBox& box(const char* name, int index = -1) { return h.form("Form1").textBox(name, index); }
    std::string caption(int index) { return h.caption("Form1", "cmdaction", index); }
    void search(const std::string& answer) {
        h.answerInput(answer);
        h.menu("Form1", "earchby_name");
    }
    Harness h;
};

TEST_F(ItemCardTest, AddFillsTheDefaultsAndSaveStoresThem) {
    h.click("Form1", "cmdaction", 0);
    std::string defaults;
    for (TextBox* b : {&box("Text6"), &box("Text2"), &box("Text5"), &box("Text3", 0), &box("Text7"),
                       &box("Text10"), &box("Text4", 0)})
        defaults += b->text() + " ";
    EXPECT_EQ(defaults, ". . 0 0 0 0 06/12/2026 ");
    EXPECT_TRUE(box("Text3", 1).locked && box("Text4", 1).locked && box("Text1", 1).locked);
    // The tip still comes first when clicking into the name box.
    h.click("Form1", "Text6");
    EXPECT_EQ(h.lastTitle(), "ملحوظة");
    EXPECT_FALSE(h.form("Form1").label("Label17").visible);
    h.type("Form1", "Text6", "belt");
    h.click("Form1", "cmdaction", 0);
    ASSERT_EQ(h.count("SPARE_PARTS"), 5);
    EXPECT_EQ(row(h, "SPARE_PARTS", 4, {"DESC", "DATES", "Q_ORDER"}), "belt|06/12/2026|");
    EXPECT_EQ(caption(0), "&add");
    EXPECT_FALSE(h.form("Form1").button("cmdaction", 1).enabled);
    EXPECT_TRUE(box("Text6").locked);
}

// Edit pressed while adding turns into save and opens the three boxes add
// leaves shut; either save stores the new row, with every check of a save.
TEST_F(ItemCardTest, EditWhileAddingTurnsIntoSaveAndEitherSaveStoresTheNewRow) {
    for (int saveWith : {2, 0}) {
        h.click("Form1", "cmdaction", 0);
        h.click("Form1", "cmdaction", 2);
        EXPECT_EQ(caption(0) + caption(2), "&save&save") << saveWith;
        EXPECT_FALSE(box("Text3", 1).locked || box("Text4", 1).locked || box("Text1", 1).locked);
        h.type("Form1", "Text6", "belt" + std::to_string(saveWith));
        h.type("Form1", "Text3", "5", 1);
        h.type("Form1", "Text7", "inf");
        h.dialogs.clear();
        h.click("Form1", "cmdaction", saveWith);
        EXPECT_EQ(h.dialogs.messages().size(), 1u) << saveWith;  // the price is refused
        EXPECT_EQ(caption(0) + caption(2), "&save&save") << saveWith;
        h.type("Form1", "Text7", "12");
        h.click("Form1", "cmdaction", saveWith);
        EXPECT_EQ(row(h, "SPARE_PARTS", -1, {"DESC", "Q_ORDER", "UNITE_PRICE"}),
                  "belt" + std::to_string(saveWith) + "|5|12");
        EXPECT_EQ(caption(0) + caption(2), "&add&edit") << saveWith;
        EXPECT_TRUE(box("Text3", 1).locked && box("Text6").locked) << saveWith;
    }
    EXPECT_EQ(h.count("SPARE_PARTS"), 6);
}

TEST_F(ItemCardTest, CancelAndDeleteAskFirstAndTouchOnlyTheCurrentRow) {
    h.click("Form1", "cmdaction", 0);
    cancel(h, "Form1");
    EXPECT_EQ(h.count("SPARE_PARTS"), 4);
    EXPECT_EQ(caption(0), "&add");
    EXPECT_FALSE(box("Text6").locked);  // cancel does not relock

    h.click("Form1", "cmdaction", 2);
    h.type("Form1", "Text6", "FILTER");
    h.click("Form1", "cmdaction", 1);  // No
    EXPECT_EQ(box("Text6").text(), "FILTER");
    cancel(h, "Form1");
    EXPECT_EQ(h.lastTitle(), "cancel edites");
    EXPECT_EQ(box("Text6").text(), "filter");
    EXPECT_EQ(caption(2), "&save");
    h.type("Form1", "Text3", "44", 0);
    h.click("Form1", "cmdaction", 2);
    EXPECT_EQ(caption(2), "&edit");
    EXPECT_EQ(col(h, "SPARE_PARTS", "ONSTOCK"), "44|1|2|9");

    h.app.navigate(h.form("Form1").adodc("Adodc4"), Nav::Next);
    h.click("Form1", "Command1");  // No
    EXPECT_EQ(h.lastMessage(), "user will be deleted");
    h.answer(answer::Yes);
    h.click("Form1", "Command1");
    EXPECT_EQ(col(h, "SPARE_PARTS", "ONSTOCK"), "44|2|9");
    EXPECT_EQ(box("Text6").text(), "filter");
}

// The bar moves while an item is added or edited, storing the row left with
// the checks of a save; a refused check keeps the row on show.
TEST_F(ItemCardTest, TheBarMovesWhileAddingOrEditingAndStoresTheRowAsASaveWould) {
    Adodc& bar = h.form("Form1").adodc("Adodc4");
    h.click("Form1", "cmdaction", 0);
    h.type("Form1", "Text6", "belt");
    EXPECT_TRUE(h.app.navigate(bar, Nav::First));
    EXPECT_EQ(col(h, "SPARE_PARTS", "DESC"), "filter|abc|pump|filter|belt");
    h.click("Form1", "cmdaction", 0);
    h.click("Form1", "cmdaction", 2);
    h.type("Form1", "Text3", "44", 0);
    h.type("Form1", "Text7", "inf");
    h.app.navigate(bar, Nav::Next);
    EXPECT_EQ(h.dialogs.messages().size(), 1u);
    EXPECT_EQ(box("Text6").text() + box("Text7").text(), "filterinf");
    h.type("Form1", "Text7", "12");
    h.app.navigate(bar, Nav::Next);
    EXPECT_EQ(col(h, "SPARE_PARTS", "ONSTOCK") + box("Text6").text(), "44|1|2|9|0abc");
    cancel(h, "Form1");  // the bar still browses after a cancelled edit
    EXPECT_TRUE(h.app.navigate(bar, Nav::Last));
}

TEST_F(ItemCardTest, SearchIsExactCommitsTheRowsItPassesAndStaysInTheChosenGroup) {
    search("");
    EXPECT_TRUE(h.dialogs.messages().empty());
    h.click("Form1", "cmdaction", 2);
    h.type("Form1", "Text3", "77", 0);  // pending on the first row
    search("ABC");
    EXPECT_EQ(h.lastMessage(), " ذلك المنتج غير موجود  ");
    EXPECT_EQ(toInt32(h.cell("SPARE_PARTS", 0, "ONSTOCK")), 77);
    search("abc");
    EXPECT_EQ(box("Text6").text(), "abc");
    EXPECT_EQ(h.lines("Form1").back(), "abc");
    search("filter");  // two items share the name: the first is found
    EXPECT_EQ(box("Text3", 0).text(), "77");
    h.dialogs.clear();
    search("oil");  // another group's item
    EXPECT_EQ(h.messageTexts().size(), 1u);
}

TEST_F(ItemCardTest, TheChooserAcceptsOnlyListedGroups) {
    h.type("Form1", "DataCombo3", "NOPE");
    h.app.focusByUser(box("Text5"));
    EXPECT_EQ(h.lastTitle(), "ملحوظة");
    EXPECT_EQ(h.text("Form1", "DataCombo3"), "SPARE_PARTS");
    EXPECT_EQ(h.form("Form1").adodc("Adodc4").RecordSource, "SPARE_PARTS");
    // A group listed with no table is refused as the invoice windows refuse it.
    h.exec("INSERT INTO qqq (Q) VALUES ('Ghost')");
    h.form("Form1").adodc("Adodc5").Refresh();
    h.dialogs.clear();
    EXPECT_TRUE(h.choose("Form1", "DataCombo3", "Ghost"));
    EXPECT_EQ(h.messageTexts(),
              std::vector<std::string>{"لا توجد مجموعة أصناف بهذا الأسم، أختر مجموعة من القائمة"});
    EXPECT_EQ(h.caption("Form1", "Label16") + h.text("Form1", "DataCombo3"), "SPARE_PARTSSPARE_PARTS");

    Harness none;  // before a group is chosen the card says to choose one
    setProfile(none, "ACME");
    makeGroup(none, "G", "('x', 1, 0, 0)");
    openStore(none);
    none.click("Form1", "cmdaction", 0);
    none.menu("Form1", "earchby_name");
    EXPECT_EQ(none.messageTexts(),
              std::vector<std::string>(2, "أختر مجموعة الأصناف ثم طقطق داخل مربع نص  اسم الصنف"));
}

// Every way a user reaches the card, tried before and after the store login.
std::vector<std::string> reached(Harness& h) {
    std::vector<std::string> out;
    Form& main = h.form("Form1");
    if (h.app.focusByUser(main.textBox("Text6"))) out.push_back("focus");
    if (h.choose("Form1", "DataCombo3", "G")) out.push_back("choose");
    if (h.app.navigate(main.adodc("Adodc4"), Nav::Next)) out.push_back("move");
    if (h.click("Form1", "cmdaction", 0)) out.push_back("add");
    if (h.type("Form1", "Text5", "7")) out.push_back("type");
    if (h.click("Form1", "Command1")) out.push_back("delete");
    return out;
}

TEST(CoverPanel, NothingUnderItTakesInputUntilTheStoreLogin) {
    Harness h;
    setProfile(h, "ACME", true);
    makeGroup(h, "G", "('x', 1, 0, 0), ('y', 2, 0, 0)");
    h.exec("INSERT INTO Admin (UserID, Password, store) VALUES ('ali', 'secret1', 1)");
    enterMain(h);
    EXPECT_TRUE(reached(h).empty());
    h.menu("Form1", "store_functions");
    EXPECT_TRUE(h.form("Form20").visible());
    EXPECT_TRUE(reached(h).empty());
    EXPECT_THROW(h.form("Form1").control("cmdaction", 0).SetFocus(), RuntimeError);
    // Controls beside the panel still work.
    EXPECT_TRUE(h.menu("Form1", "PROGRAMMER"));
    EXPECT_EQ(h.count("G"), 2);
    EXPECT_EQ(h.caption("Form1", "cmdaction", 0), "&add");

    h.type("Form20", "Text1", "ali", 0);
    h.type("Form20", "Text1", "secret1", 1);
    h.click("Form20", "Command1");
    EXPECT_EQ(reached(h), (std::vector<std::string>{"focus", "choose", "move", "add", "type", "delete"}));
}

const char* const kNoRow = "لا يوجد سجل معروض فلم يتغير شيء، انتقل إلى سجل أو أضف سجلا ثم أعد المحاولة";

bool canMove(Harness& h, const char* form, const char* data) {
    return h.app.canTakeInput(h.form(form).adodc(data));
}

TEST(RecordEditing, EditSaveAndDeleteWithNoRowShownSaySoAndChangeNothing) {
    Harness h;
    h.exec("DELETE FROM Admin");
    h.show("Form5");  // SUPPLIER is empty: no row is shown
    h.click("Form5", "cmdaction", 2);
    EXPECT_EQ(h.lastMessage(), kNoRow);
    EXPECT_EQ(h.caption("Form5", "cmdaction", 2), "&edit");
    EXPECT_FALSE(h.type("Form5", "Text1", "0100", 1));  // still locked
    h.dialogs.clear();
    h.answer(answer::Yes);
    h.click("Form5", "Command1");
    EXPECT_EQ(h.messageTexts(), std::vector<std::string>{kNoRow});
    EXPECT_EQ(h.count("SUPPLIER"), 0);

    h.show("Form12");
    h.dialogs.clear();
    h.click("Form12", "Command1");
    EXPECT_EQ(h.messageTexts(), std::vector<std::string>{kNoRow});

    Harness store;
    setProfile(store, "ACME");
    makeGroup(store, "EMPTY");
    openStore(store);
    store.choose("Form1", "DataCombo3", "EMPTY");
    store.click("Form1", "cmdaction", 2);
    store.answer(answer::Yes);
    store.click("Form1", "Command1");
    EXPECT_EQ(store.messageTexts(), std::vector<std::string>(2, kNoRow));
    EXPECT_EQ(store.lastTitle(), "ملحوظة");  // told in Arabic, as every failure
    EXPECT_EQ(store.caption("Form1", "cmdaction", 2), "&edit");
}

TEST(RecordEditing, NavigationIsOffWhileARowIsAddedOrEdited) {
    Harness h;
    addUser(h, "ali", "secret1");
    h.exec("INSERT INTO SUPPLIER (SALES_MAN) VALUES ('Nour'), ('Delta')");

    // A new user cannot be stored by moving off it, unchecked.
    h.show("Form12");
    h.click("Form12", "cmdaction", 0);
    h.type("Form12", "Text1", "omar", 2);
    EXPECT_FALSE(h.app.navigate(h.form("Form12").adodc("Adodc1"), Nav::Next));
    EXPECT_EQ(h.count("Admin"), 2);
    h.click("Form12", "cmdaction", 0);  // no password: refused, still adding
    EXPECT_EQ(h.lastTitle(), "Incomplete Information");
    EXPECT_FALSE(canMove(h, "Form12", "Adodc1"));
    cancel(h, "Form12");
    EXPECT_TRUE(canMove(h, "Form12", "Adodc1"));
    EXPECT_EQ(h.count("Admin"), 2);

    h.show("Form5");
    for (int button : {2, 0}) {
        h.click("Form5", "cmdaction", button);
        EXPECT_FALSE(canMove(h, "Form5", "Adodc1")) << button;
        // One row at a time: the other button would store this one unchecked.
        h.click("Form5", "cmdaction", 2 - button);
        EXPECT_EQ(h.lastMessage(), "احفظ ما أدخلته أو ألغه أولا") << button;
        h.click("Form5", "cmdaction", button);
        EXPECT_TRUE(canMove(h, "Form5", "Adodc1")) << button;
    }

    h.show("Form49");
    h.click("Form49", "cmdaction", 0);
    EXPECT_FALSE(canMove(h, "Form49", "Adodc1"));
}

struct CardGroupChange : ::testing::Test {
    CardGroupChange() {
        setProfile(h, "ACME");
        makeGroup(h, "SPARE_PARTS", "('filter', 4, 10, 6)");
        makeGroup(h, "OILS", "('oil', 3, 5, 2)");
        openStore(h);
        h.choose("Form1", "DataCombo3", "SPARE_PARTS");
    }
    // A group chosen leaves cancel as it was.
    void expectBrowsing(bool cancelOn) {
        EXPECT_EQ(h.caption("Form1", "cmdaction", 0), "&add");
        EXPECT_EQ(h.caption("Form1", "cmdaction", 2), "&edit");
        EXPECT_EQ(h.form("Form1").button("cmdaction", 1).enabled, cancelOn);
        EXPECT_TRUE(h.form("Form1").textBox("Text6").locked);
        EXPECT_TRUE(canMove(h, "Form1", "Adodc4"));
    }
    Harness h;
};

TEST_F(CardGroupChange, ChangingGroupInAnEditOrAddResetsTheCard) {
    expectBrowsing(true);  // cancel is on from the start
    h.click("Form1", "cmdaction", 2);
    EXPECT_TRUE(canMove(h, "Form1", "Adodc4"));
    h.type("Form1", "Text6", "typed");
    h.choose("Form1", "DataCombo3", "OILS");
    expectBrowsing(true);
    // A save press now starts an add; nothing typed reaches the new group.
    h.click("Form1", "cmdaction", 2);
    h.click("Form1", "cmdaction", 2);
    EXPECT_EQ(toText(h.cell("OILS", 0, "DESC")), "oil");
    EXPECT_EQ(toText(h.cell("SPARE_PARTS", 0, "DESC")), "filter");

    h.click("Form1", "cmdaction", 0);
    h.choose("Form1", "DataCombo3", "SPARE_PARTS");
    expectBrowsing(true);
    EXPECT_EQ(h.count("SPARE_PARTS") + h.count("OILS"), 2);

    cancel(h, "Form1");
    h.choose("Form1", "DataCombo3", "OILS");
    expectBrowsing(false);
}

TEST_F(CardGroupChange, APriceThatIsNoFiniteNumberIsRefused) {
    for (const char* price : {"inf", "nan", "1e999"}) {
        h.dialogs.clear();
        h.click("Form1", "cmdaction", 2);
        h.type("Form1", "Text7", price);
        h.click("Form1", "cmdaction", 2);
        EXPECT_EQ(h.dialogs.messages().size(), 1u) << price;
        EXPECT_EQ(h.cell("SPARE_PARTS", 0, "UNITE_PRICE"), Value(10.0)) << price;
        cancel(h, "Form1");
        h.click("Form1", "cmdaction", 2);  // the edit button still reads "&save"
    }
}

}  // namespace
}  // namespace mk
