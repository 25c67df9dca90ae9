// The returns window: totals rounded line by line, counters raised and
// stock left alone, and every save it must refuse. (What one return stores
// and says is followed through the working day.)
#include <gtest/gtest.h>

#include <tuple>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

struct ReturnsTest : ::testing::Test {
    ReturnsTest() {
        startTradingDay(h);
        h.menu("Form1", "returne");
        h.choose("Form28", "DataCombo3", "G1");
    }
    // Add, then each line on the row the stepping shows: item, quantity
    // and the typed price.
    void enter(const std::vector<std::tuple<std::string, std::string, std::string>>& lines) {
        h.click("Form28", "cmdaction", 0);
        const int start = static_cast<int>(leadingNumber(h.text("Form28", "Text5")));
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) h.click("Form28", "Command1");
            const int row = start + static_cast<int>(i);
            h.type("Form28", "Text3", std::get<1>(lines[i]), row);
            h.type("Form28", "Text6", std::get<2>(lines[i]), row);
            h.choose("Form28", "DataCombo1", std::get<0>(lines[i]), row);
        }
    }
    void save(int another = answer::No) {
        h.answer(answer::OK);
        h.answer(another);
        h.dialogs.clear();
        h.click("Form28", "cmdaction", 0);
    }
    std::string tables() {
        std::string out = wholesaleTables(h);
        Recordset rs(h.db(), "RETURN_INVOICE");
        for (; !rs.eof(); rs.moveNext())
            for (const FieldInfo& f : rs.fields()) out += toText(rs.field(f.name)) + "|";
        return out;
    }
    Harness h;
};

TEST_F(ReturnsTest, TotalsRoundHalfToEvenLineByLineAndOneItemOnTwoLinesCountsTwice) {
    enter({{"bolt", "1", "2.5"}, {"bolt", "1", "3.5"}});
    save(answer::Yes);
    EXPECT_EQ(lastBox(h, "MONEY_OUT"), 6);  // 2.5 gives 2, then 5.5 gives 6
    EXPECT_EQ(col(h, "G1", "RETURN"), "2|0");
    EXPECT_FALSE(h.type("Form28", "Text6", "9", 0));  // prices are locked once saved
    h.menu("Form28", "REPORT");
    ASSERT_NE(h.app.report("RETURN_INVOICE"), nullptr);
    EXPECT_EQ(h.app.report("RETURN_INVOICE")->rows.size(), 1u);
    // Cancel leaves the group as chosen; Yes had opened it for a new pick.
    EXPECT_TRUE(h.form("Form28").dataCombo("DataCombo3").enabled);
    h.choose("Form28", "DataCombo3", "G1");
    h.click("Form28", "cmdaction", 0);
    cancel(h, "Form28");
    EXPECT_FALSE(h.form("Form28").dataCombo("DataCombo3").enabled);
    EXPECT_EQ(h.caption("Form28", "Label4"), "3");
    h.menu("Form28", "EXITE");
    EXPECT_FALSE(h.app.isLoaded("Form28"));
}

TEST_F(ReturnsTest, RefusalsChangeNothingAndPayNothing) {
    enter({{"bolt", "1", "1"}});
    save(answer::Yes);  // 3, posted
    h.choose("Form28", "DataCombo3", "G1");
    enter({{"bolt", "2", "5"}});
    auto refused = [&](const std::string& why, const std::string& message) {
        expectRefused(h, "Form28", [&] { return tables(); }, why, message);
    };
    h.type("Form28", "Text1", "3", 0);
    refused("posted duplicate", "لقد تم إضافة فاتورة المرتجعات سابقا .");
    EXPECT_EQ(h.lastTitle(), "Attention");
    h.type("Form28", "Text1", "4", 0);
    const int row = static_cast<int>(leadingNumber(h.text("Form28", "Text5")));
    const std::string line = std::to_string(row + 1);
    h.type("Form28", "Text3", "2.5", row);
    refused("fraction", "الكمية فى السطر " + line + " يجب أن تكون عددا صحيحا من 0 إلى 32767");
    h.type("Form28", "Text3", "2", row);
    h.type("Form28", "Text6", "20000", row);
    refused("total of 40000", "إجمالى الفاتورة أكبر من 32767 ولا يمكن حفظها");
    h.type("Form28", "Text6", "5", row);
    h.type("Form28", "DataCombo1", ".", row);
    refused("no item", "السطر " + line + " له كمية بدون صنف، أختر الصنف أو أجعل الكمية صفرا");
    h.type("Form28", "DataCombo1", "bolt", row);
    h.exec("UPDATE G1 SET \"RETURN\"=32766 WHERE \"DESC\"='bolt'");
    refused("counter full",
            "لا يمكن ترحيل السطر " + line + " (bolt): عدد المرتجع تتجاوز الحد المسموح به");
    h.exec("UPDATE G1 SET \"RETURN\"=1 WHERE \"DESC\"='bolt'");
    save();
    EXPECT_EQ(h.count("RETURN_INVOICE"), 2);
    EXPECT_EQ(lastBox(h, "MONEY"), 1000 - 1 - 10);
    EXPECT_EQ(toInt32(h.cell("G1", 0, "RETURN")), 3);
}

}  // namespace
}  // namespace mk
