#include <gtest/gtest.h>

#include "access/standins.h"

namespace mk {
namespace {

using test::Harness;

// Stands in for a dealings view until the real one is registered: just its
// data control on BUYER_DEALS.
class DealingsStandIn : public Form {
public:
    DealingsStandIn(Application& a, std::string name) : Form(a, std::move(name)) {
        Adodc2 = add<Adodc>("Adodc2", -1, Geometry{0, 0, 2400, 375});
    }
    void Form_Load() override { bindTable(*Adodc2, "BUYER_DEALS"); }
    Adodc* Adodc2;
};

struct PartnersTest : ::testing::Test {
    PartnersTest() {
        test::registerStandIns(h.app);
        h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Nour', 5), ('Delta', 7), "
               "('Omega', 9)");
    }
    Harness h;
};

TEST_F(PartnersTest, AddSavesTheDefaultsOfEachTwin) {
    Form& f = h.show("Form5");
    EXPECT_EQ(f.caption, " بيانات الموردين ل" + companyTitle(h.app));
    EXPECT_TRUE(f.textBox("Text1", 0).locked);
    h.click("Form5", "cmdaction", 0);
    EXPECT_FALSE(f.textBox("Text1", 0).locked);
    h.click("Form5", "cmdaction", 0);
    ASSERT_EQ(h.count("SUPPLIER"), 4);
    for (auto [field, text] : {std::pair{"SALES_MAN", "."}, {"PHONE", "0"}, {"FAX", "0"},
                               {"ADDRESS", "."}, {"NOTE", "."}})
        EXPECT_EQ(toText(h.cell("SUPPLIER", 3, field)), text) << field;
    EXPECT_EQ(toDouble(h.cell("SUPPLIER", 3, "MONEY")), 0);

    h.show("Form6");
    h.click("Form6", "cmdaction", 0);
    h.type("Form6", "Text1", "Hala", 0);
    h.click("Form6", "cmdaction", 0);
    EXPECT_EQ(toText(h.cell("BUYER", 0, "BUYER")), "Hala");
    EXPECT_EQ(toText(h.cell("BUYER", 0, "PHONE")), ".");
    EXPECT_EQ(toText(h.cell("BUYER", 0, "FAX")), ".");
}

TEST_F(PartnersTest, ASearchThatFindsNothingStaysOnTheShownRow) {
    h.show("Form5");
    Adodc& data = h.form("Form5").adodc("Adodc1");
    h.app.navigate(data, Nav::Next);
    ASSERT_EQ(h.text("Form5", "Text1", 0), "Delta");

    h.answerInput("omega");  // letter case counts
    h.menu("Form5", "SALES");
    EXPECT_EQ(h.lastMessage(), " unable to find that item ");
    EXPECT_EQ(h.text("Form5", "Text1", 0), "Delta");

    // Delete then acts on that row, and on nothing without a Yes.
    h.click("Form5", "Command1");
    EXPECT_EQ(h.count("SUPPLIER"), 3);
    h.answer(answer::Yes);
    h.click("Form5", "Command1");
    EXPECT_EQ(h.lastMessage(), "Dealer will be deleted");
    EXPECT_EQ(h.lastTitle(), "Deleting");
    auto names = h.column("SUPPLIER", "SALES_MAN");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(toText(names[0]), "Nour");
    EXPECT_EQ(toText(names[1]), "Omega");

    h.answerInput("Omega");
    h.menu("Form5", "SALES");
    EXPECT_EQ(h.text("Form5", "Text1", 0), "Omega");
}

TEST_F(PartnersTest, CancelAndEditFollowTheEditingButtons) {
    h.show("Form5");
    EXPECT_TRUE(h.form("Form5").button("cmdaction", 1).enabled);
    h.answer(answer::Yes);
    h.click("Form5", "cmdaction", 1);
    EXPECT_FALSE(h.form("Form5").button("cmdaction", 1).enabled);

    h.click("Form5", "cmdaction", 2);
    h.type("Form5", "Text2", "12.5");
    h.click("Form5", "cmdaction", 2);
    EXPECT_EQ(toDouble(h.cell("SUPPLIER", 0, "MONEY")), 12.5);
    EXPECT_EQ(h.caption("Form5", "cmdaction", 2), "&edit");
}

TEST_F(PartnersTest, TheDealingsButtonCleansTheScratchTableAndShowsItsView) {
    for (const char* n : {"Form40", "Form46"})
        if (!h.app.isRegistered(n))
            h.app.registerForm(n, [n](Application& a) {
                return std::make_unique<DealingsStandIn>(a, n);
            });
    for (int i = 0; i < 4; ++i) h.exec("INSERT INTO BUYER_DEALS (ID) VALUES (1)");
    h.exec("UPDATE FLAGS SET BUYER_DEALS = 0, COUNTER_BUYER_DEALS = 5");
    h.show("Form6");
    h.click("Form6", "Command2");
    EXPECT_TRUE(h.app.isLoaded("Form40"));
    EXPECT_EQ(h.cell("FLAGS", 0, "BUYER_DEALS"), Value(false));
    // The real view refills the table when it is painted.
    if (dynamic_cast<DealingsStandIn*>(&h.form("Form40"))) {
        EXPECT_EQ(h.count("BUYER_DEALS"), 1);
    }
}

}  // namespace
}  // namespace mk
