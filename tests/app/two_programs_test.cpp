// Two programs on one data root: a second start is told and opens nothing
// while the first works there; and two connections posting to one file,
// one of them waiting on its part payment question while the other posts,
// each building on what the other committed.
#include <gtest/gtest.h>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;
namespace fs = std::filesystem;

TEST(TwoPrograms, ASecondStartOnDataInUseIsToldAndOpensNothing) {
    TempRoot root;
    FakeClock clock{defaultStart()};
    ScriptedDialogs dialogs;
    const fs::path file = root.path() / "C" / "INVENT.MDB";
    {
        Machine first(root.path());
        ASSERT_TRUE(prepareMachineOrSay(first, clock, dialogs));
        ASSERT_EQ(followStartCheck(first, dialogs, true), StartCheck::Passed);
        EXPECT_TRUE(dialogs.messages().empty());

        Machine second(root.path());
        EXPECT_FALSE(prepareMachineOrSay(second, clock, dialogs));
        ASSERT_EQ(dialogs.messages().size(), 1u);
        const std::string said = dialogs.messages()[0].prompt;
        EXPECT_EQ(said.rfind("البرنامج مفتوح بالفعل على هذه البيانات", 0), 0u) << said;
        EXPECT_TRUE(toldInArabic(said));
        EXPECT_EQ(dialogs.messages()[0].style, mb::Critical);
        EXPECT_EQ(second.openDatabaseAt(file), nullptr);
        EXPECT_NE(logText(root.path()).find("in use by another program"), std::string::npos);
    }
    // Once the first has ended, the data root is free again.
    dialogs.clear();
    Machine again(root.path());
    EXPECT_TRUE(prepareMachineOrSay(again, clock, dialogs));
    EXPECT_TRUE(dialogs.messages().empty());
}

// The program started, on the first harness's file, and its main window up.
void enterSecond(Harness& b) {
    begin(b);
    for (const char* button : {"Command1", "Command2"})
        if (b.form("Form16").control(button).visible) {
            b.click("Form16", button);
            break;
        }
    ASSERT_TRUE(b.form("Form1").visible());
}

// A wholesale invoice of two bolts to Hala, part paid: saved, and while
// its amount is asked, the other program does its work.
void partPaidSale(Harness& a, const std::function<void()>& meanwhile) {
    a.menu("Form1", "saleslarge");
    a.choose("Form42", "DataCombo3", "G1");
    enterWholesale(a, "Form42", {{"bolt", "2"}});
    a.choose("Form42", "DataCombo2", "Hala");
    a.click("Form42", "Option3");
    a.dialogs.onShown = [&](const ScriptedDialogs::Shown& s) {
        if (!s.input) return;
        a.dialogs.onShown = nullptr;
        meanwhile();
    };
    a.answerInput("10");
    a.dialogs.clear();
    a.click("Form42", "cmdaction", 0);
}

TEST(TwoPrograms, APostingBuildsOnWhatAnotherProgramCommittedWhileItAsked) {
    // bolt: stock 10, wholesale 15; Hala owes 40; the cash box holds 1000.
    Harness a;
    startTradingDay(a);
    Harness b(Harness::SecondProgram{a});
    enterSecond(b);
    partPaidSale(a, [&] {
        // A retail sale of three bolts at 20, and a receipt of 5 from Hala.
        b.menu("Form1", "SALES_IN");
        b.choose("Form3", "DataCombo3", "G1");
        enterLines(b, {{"bolt", "3"}});
        save(b);
        b.menu("Form1", "PAY");
        b.click("Form35", "cmdaction", 0);
        b.choose("Form35", "DataCombo1", "Hala");
        b.type("Form35", "Text2", "5");
        b.click("Form35", "Command2");
    });
    EXPECT_EQ(a.messageTexts().at(0), cashSaid(10, "Hala"));
    // Each posting moved what it sold and paid from what the other left.
    EXPECT_EQ(row(a, "G1", 0, {"DESC", "ONSTOCK"}), "bolt|5");
    EXPECT_EQ(a.committed("SELECT OUTPUT FROM DAILY_TRADE WHERE \"DESC\" = 'bolt'"), 5);
    EXPECT_EQ(debtOf(a, "Hala"), 40 - 5 + (30 - 10));
    EXPECT_EQ(col(a, "BOX", "MONEY"), "0|1000|1060|1065|1075");
}

TEST(TwoPrograms, ADocumentNumberAnotherProgramTookMeanwhileIsRefused) {
    Harness a;
    startTradingDay(a);
    Harness b(Harness::SecondProgram{a});
    enterSecond(b);
    const std::string before = wholesaleTables(a);
    partPaidSale(a, [&] {
        // The same next number, on a credit sale to Sami.
        b.menu("Form1", "saleslarge");
        b.choose("Form42", "DataCombo3", "G1");
        enterWholesale(b, "Form42", {{"nut", "1"}});
        b.choose("Form42", "DataCombo2", "Sami");
        b.click("Form42", "Option2");
        b.click("Form42", "cmdaction", 0);
    });
    const std::string number = a.text("Form42", "Text1", 0);
    EXPECT_EQ(col(a, "SALES_INVO_GROUP", "INVO_NO"), number);
    EXPECT_EQ(a.lastMessage(), "الرقم " + number +
                                   " سجل به مستند آخر فى هذه الأثناء، ولم يحفظ شيء. غير الرقم ثم "
                                   "احفظ من جديد");
    // Nothing of the refused save was stored; its document is still open.
    EXPECT_EQ(debtOf(a, "Hala"), 40);
    EXPECT_EQ(row(a, "G1", 0, {"DESC", "ONSTOCK"}), "bolt|10");
    EXPECT_EQ(a.caption("Form42", "cmdaction", 0), "&save");
    EXPECT_NE(wholesaleTables(a), before);  // the other program's sale
}

}  // namespace
}  // namespace mk
