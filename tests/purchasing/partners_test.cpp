// The suppliers and customers windows: the defaults add stores, an exact
// search, and a delete that asks first.
#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

TEST(Partners, AddSavesTheDefaultsOfEachTwin) {
    Harness h;
    h.exec("INSERT INTO SUPPLIER (SALES_MAN) VALUES ('Nour')");
    h.show("Form5");
    h.click("Form5", "cmdaction", 0);
    h.click("Form5", "cmdaction", 0);
    EXPECT_EQ(row(h, "SUPPLIER", 1, {"SALES_MAN", "PHONE", "FAX", "ADDRESS", "MONEY", "NOTE"}),
              ".|0|0|.|0|.");
    h.show("Form6");
    h.click("Form6", "cmdaction", 0);
    h.type("Form6", "Text1", "Hala", 0);
    h.click("Form6", "cmdaction", 0);
    EXPECT_EQ(row(h, "BUYER", 0, {"BUYER", "PHONE"}), "Hala|.");
}

TEST(Partners, ASearchThatFindsNothingStaysOnTheShownRowWhichDeleteThenTakes) {
    Harness h;
    h.exec("INSERT INTO SUPPLIER (SALES_MAN) VALUES ('Nour'), ('Delta'), ('Omega')");
    h.show("Form5");
    h.app.navigate(h.form("Form5").adodc("Adodc1"), Nav::Next);
    h.answerInput("omega");  // letter case counts
    h.menu("Form5", "SALES");
    EXPECT_EQ(h.lastMessage(), " unable to find that item ");
    EXPECT_EQ(h.text("Form5", "Text1", 0), "Delta");
    h.click("Form5", "Command1");  // No
    EXPECT_EQ(h.count("SUPPLIER"), 3);
    h.answer(answer::Yes);
    h.click("Form5", "Command1");
    EXPECT_EQ(h.lastMessage(), "Dealer will be deleted");
    EXPECT_EQ(col(h, "SUPPLIER", "SALES_MAN"), "Nour|Omega");
}

}  // namespace
}  // namespace mk
