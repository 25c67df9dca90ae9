#include <gtest/gtest.h>

#include "access/access_steps.h"

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

}  // namespace
}  // namespace mk
