#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

const char* const kNoRow = "No record is shown: nothing was changed.";

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
    void expectBrowsing() {
        EXPECT_EQ(h.caption("Form1", "cmdaction", 0), "&add");
        EXPECT_EQ(h.caption("Form1", "cmdaction", 2), "&edit");
        EXPECT_FALSE(h.form("Form1").button("cmdaction", 1).enabled);
        EXPECT_TRUE(h.form("Form1").textBox("Text6").locked);
        EXPECT_TRUE(canMove(h, "Form1", "Adodc4"));
    }
    Harness h;
};

TEST_F(CardGroupChange, ChangingGroupInAnEditOrAddResetsTheCard) {
    h.click("Form1", "cmdaction", 2);
    EXPECT_FALSE(canMove(h, "Form1", "Adodc4"));
    h.type("Form1", "Text6", "typed");
    h.choose("Form1", "DataCombo3", "OILS");
    expectBrowsing();
    // A save press now starts an add; nothing typed reaches the new group.
    h.click("Form1", "cmdaction", 2);
    h.click("Form1", "cmdaction", 2);
    EXPECT_EQ(toText(h.cell("OILS", 0, "DESC")), "oil");
    EXPECT_EQ(toText(h.cell("SPARE_PARTS", 0, "DESC")), "filter");

    h.click("Form1", "cmdaction", 0);
    h.choose("Form1", "DataCombo3", "SPARE_PARTS");
    expectBrowsing();
    EXPECT_EQ(h.count("SPARE_PARTS") + h.count("OILS"), 2);
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
