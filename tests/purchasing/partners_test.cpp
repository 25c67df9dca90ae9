#include <gtest/gtest.h>

#include "access/access_steps.h"
#include "app/system.h"

namespace mk {
namespace {

struct PartnersTest : ::testing::Test {
    PartnersTest() {
        h.exec("INSERT INTO SUPPLIER (SALES_MAN) VALUES ('Nour'), ('Delta'), ('Omega')");
    }
    test::Harness h;
};

TEST_F(PartnersTest, AddSavesTheDefaultsOfEachTwin) {
    h.show("Form5");
    h.click("Form5", "cmdaction", 0);
    h.click("Form5", "cmdaction", 0);
    std::vector<std::string> row;
    for (const char* f : {"SALES_MAN", "PHONE", "FAX", "ADDRESS", "MONEY", "NOTE"})
        row.push_back(toText(h.cell("SUPPLIER", 3, f)));
    EXPECT_EQ(row, (std::vector<std::string>{".", "0", "0", ".", "0", "."}));

    h.show("Form6");
    h.click("Form6", "cmdaction", 0);
    h.type("Form6", "Text1", "Hala", 0);
    h.click("Form6", "cmdaction", 0);
    EXPECT_EQ(toText(h.cell("BUYER", 0, "BUYER")), "Hala");
    EXPECT_EQ(toText(h.cell("BUYER", 0, "PHONE")), ".");
}

TEST_F(PartnersTest, ASearchThatFindsNothingStaysOnTheShownRow) {
    h.show("Form5");
    h.app.navigate(h.form("Form5").adodc("Adodc1"), Nav::Next);
    h.answerInput("omega");  // letter case counts
    h.menu("Form5", "SALES");
    EXPECT_EQ(h.lastMessage(), " unable to find that item ");
    EXPECT_EQ(h.text("Form5", "Text1", 0), "Delta");

    // Delete then takes that row, and only on a Yes.
    h.click("Form5", "Command1");
    EXPECT_EQ(h.count("SUPPLIER"), 3);
    h.answer(answer::Yes);
    h.click("Form5", "Command1");
    EXPECT_EQ(h.lastMessage(), "Dealer will be deleted");
    auto names = h.column("SUPPLIER", "SALES_MAN");
    EXPECT_EQ(toText(names[0]) + "," + toText(names[1]), "Nour,Omega");
}

TEST(Partners, TheCustomersWindowFromTheMenuKeepsAnEditedPhone) {
    test::Harness h;
    h.exec("UPDATE DIM SET COMP=1, SECURITY=0");
    h.exec("INSERT INTO BUYER (BUYER, PHONE, MONEY) VALUES ('Hala', '111', 5), ('Omar', '222', 7)");
    startProgram(h.app);
    h.click("Form16", "Command1");
    h.menu("Form1", "BUYER");
    ASSERT_TRUE(h.form("Form6").visible());
    // Wherever the totals left the window, an edit never silently drops.
    if (h.text("Form6", "Text1", 0).empty()) {
        h.click("Form6", "cmdaction", 2);
        EXPECT_EQ(h.lastMessage(), "No record is shown: nothing was changed.");
        h.app.navigate(h.form("Form6").adodc("Adodc1"), Nav::First);
    }
    h.click("Form6", "cmdaction", 2);
    ASSERT_TRUE(h.type("Form6", "Text1", "0100 555", 1));
    h.click("Form6", "cmdaction", 2);
    EXPECT_EQ(toText(h.cell("BUYER", 0, "PHONE")), "0100 555");
    EXPECT_EQ(toText(h.cell("BUYER", 1, "PHONE")), "222");
}

}  // namespace
}  // namespace mk
