#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "reports/opener.h"
#include "support/harness.h"

namespace mk {
namespace {

using test::Harness;

// Each report's table and its detail boxes, left to right.
const std::map<std::string, std::pair<std::string, std::string>> kExpected = {
    {"DataReport3", {"SALES_INVO_GROUP", "INVO_NO DATES SALES_MAN TOTAL_SUM"}},
    {"DataReport11", {"SALES_INVO_GROUP", "INVO_NO SALES_MAN DATES TOTAL_SUM"}},
    {"DataReport13", {"COAST_INVO_GROUP", "INVO_NO SALES_MAN DATES TOTAL_SUM"}},
    {"RETURN_INVOICE", {"RETURN_INVOICE", "INVO_NO DATES BUYER"}},
    {"DataReport4", {"BUY_INVOICE", "INVO_NO SALES_MAN DATES PHONE"}},
    {"DataReport10", {"DAILY_TRADE", "END_DAY_Q OUTPUT INPUT STARY_DAY_Q DESC"}},
    {"DataReport14", {"PRODUCT_BUY", "INVO_NO SUPPLIER_NAME DATES QUANTITY"}},
    {"DataReport16", {"VALIDITY_DATE", "DATE QUANTITY SUB_TYPE QQQ ID"}},
    {"DATA_SUPPLIER", {"SUPPLIER", "SALES_MAN PHONE FAX ADDRESS"}},
    {"DataReport2", {"BUYER", "BUYER PHONE FAX ADDRESS"}},
    {"DataReport15", {"BUYER_DEALS", "INVO_NO TOTAL DATES NOTES"}},
    {"DataReport8",
     {"BOX", "emplyee_name MONEY MONEY_OUT MONEY_RECIVED IN_INVOICE OUT_INVOICE OUT_INV "
             "RECEIVED_INV DATE"}},
    {"DataReport7", {"DAY_OUTPUT", "DAY_NO STORE_OUT CAR_OUT HOME_OUT OTHER DAYLY TOTALDAY_OUT"}},
    {"DataReport6",
     {"MONTH_OUTPUT", "MONTH_NO ELECTRIC_FEE PLACE_FEE PHONE_FEE SALERY DALIY_OUT TOTAL_OUT"}},
    {"DataReport5",
     {"YEAR_OUTPUT", "YEAR GAIN_SELL TAX LOSES MAINTENANCE MONTH_COST NET_GAIN"}},
    {"DataReport12", {"emplyee", "Job_ title sallery phone emplyee_date address name"}},
};

std::string joined(const std::vector<std::string>& v) {
    std::string out;
    for (const auto& s : v) out += (out.empty() ? "" : " ") + s;
    return out;
}

bool hasText(const RenderedPage& page, const std::string& text) {
    return std::any_of(page.texts.begin(), page.texts.end(),
                       [&](const RenderedText& t) { return t.text == text; });
}

// The page header's labels, left to right.
std::vector<const RenderedText*> headings(const RenderedReport& r, const ReportLayout& l) {
    const double top = l.margin + l.reportHeader.height;
    std::vector<const RenderedText*> out;
    for (const RenderedText& t : r.pages[0].texts)
        if (t.y >= top && t.y < top + l.pageHeader.height) out.push_back(&t);
    std::stable_sort(out.begin(), out.end(),
                     [](const RenderedText* a, const RenderedText* b) { return a->x < b->x; });
    return out;
}

TEST(ReportLayouts, EveryReportListsItsTableUnderOneHeadingPerColumn) {
    Harness h;
    h.exec("INSERT INTO SALES_INVO_GROUP (INVO_NO, DATES, SALES_MAN, TOTAL_SUM) "
           "VALUES (3, '2026-12-01', 'Ali', 150.5)");
    h.exec("INSERT INTO BUYER (BUYER, PHONE) VALUES ('Ali', '0123')");
    h.exec("INSERT INTO emplyee (name, \"Job_ title\") VALUES ('Sami', 'clerk')");
    ASSERT_EQ(reportLayouts().size(), kExpected.size());
    for (const auto& [name, expected] : kExpected) {
        SCOPED_TRACE(name);
        h.machine.action([&] { openReport(h.app, name); });
        const RenderedReport& r = *h.app.report(name);
        const ReportLayout& l = *findReportLayout(name);
        EXPECT_EQ(l.table, expected.first);
        EXPECT_EQ(joined(r.columns), expected.second);
        EXPECT_EQ(static_cast<long>(r.rows.size()), h.count(l.table));
        // Each heading stands over its own column: the nearest detail box
        // to the i-th heading is the i-th box.
        std::vector<double> boxes;
        for (const ReportItem& it : l.detail.items)
            if (it.kind == ReportItem::Kind::Field) boxes.push_back(l.margin + it.left);
        std::sort(boxes.begin(), boxes.end());
        const auto heads = headings(r, l);
        ASSERT_EQ(heads.size(), boxes.size());
        for (size_t i = 0; i < heads.size(); ++i) {
            auto nearest = std::min_element(boxes.begin(), boxes.end(), [&](double a, double b) {
                return std::abs(a - heads[i]->x) < std::abs(b - heads[i]->x);
            });
            EXPECT_EQ(static_cast<size_t>(nearest - boxes.begin()), i) << heads[i]->text;
        }
    }
    auto texts = [&](const char* name) {
        std::vector<std::string> out;
        for (const RenderedText* t : headings(*h.app.report(name), *findReportLayout(name)))
            out.push_back(t->text);
        return out;
    };
    EXPECT_EQ(texts("DataReport3"), (std::vector<std::string>{"رقم الفاتورة", "تاريخ الفاتورة",
                                                              "أسم المشترى", "إجمالى الفاتورة"}));
    EXPECT_EQ(texts("DataReport16"), (std::vector<std::string>{"التاريخ", "الكمية", "أسم الصنف",
                                                               "أسم المجموعة", "الرقم"}));
    EXPECT_EQ(texts("DataReport8")[0], "مرتب العامل ");
    EXPECT_EQ(h.app.report("DataReport3")->rows[0],
              (std::vector<std::string>{"3", "01/12/2026", "Ali", "150.5"}));
    EXPECT_EQ(h.app.report("DataReport2")->rows[0],
              (std::vector<std::string>{"Ali", "0123", "", ""}));
    EXPECT_EQ(h.app.report("DataReport12")->rows[0][0], "clerk");
    EXPECT_TRUE(h.app.report("DataReport12")->landscape);
    EXPECT_FALSE(h.app.report("DataReport14")->landscape);
}

TEST(ReportLayouts, ALongReportRunsOverPagesWithItsHeadersAndPageNumbers) {
    Harness h;
    for (int i = 1; i <= 120; ++i)
        h.exec("INSERT INTO SALES_INVO_GROUP (INVO_NO, SALES_MAN) VALUES (" + std::to_string(i) +
               ", 'c" + std::to_string(i) + "')");
    h.machine.action([&] { openReport(h.app, "DataReport3"); });
    const RenderedReport& r = *h.app.report("DataReport3");
    ASSERT_GT(r.pages.size(), 2u);
    const std::string count = std::to_string(r.pages.size());
    for (size_t p = 0; p < r.pages.size(); ++p) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(hasText(r.pages[p], "رقم الفاتورة"));  // the page header repeats
        EXPECT_TRUE(hasText(r.pages[p], "صفحة رقم"));
        EXPECT_TRUE(hasText(r.pages[p], std::to_string(p + 1)));
        EXPECT_EQ(hasText(r.pages[p], "عدد صفحات التقرير"), p + 1 == r.pages.size());
        for (const RenderedText& t : r.pages[p].texts) {
            EXPECT_EQ(t.text.find('%'), std::string::npos);
            EXPECT_LE(t.y + t.height, r.pageHeight - 1440 + 1);  // inside the margins
        }
    }
    EXPECT_TRUE(hasText(r.pages.back(), count));
    EXPECT_TRUE(hasText(r.pages.front(), "06/12/2026"));  // "%d"
    EXPECT_EQ(r.rows.size(), 120u);
    EXPECT_EQ(r.rows.back()[2], "c120");
}

TEST(ReportLayouts, TheOpenerReadsTheRowsOfTheMomentAndRefusesWhatItCannotShow) {
    Harness h;
    h.machine.action([&] { openReport(h.app, "DATA_SUPPLIER"); });
    EXPECT_TRUE(h.app.report("DATA_SUPPLIER")->rows.empty());
    h.exec("INSERT INTO SUPPLIER (SALES_MAN) VALUES ('Nour')");
    h.machine.action([&] { openReport(h.app, "DATA_SUPPLIER"); });
    EXPECT_EQ(h.app.openedReports().size(), 1u);  // one preview per report
    EXPECT_EQ(h.app.report("DATA_SUPPLIER")->rows.size(), 1u);

    EXPECT_THROW(openReport(h.app, "DataReport9"), RuntimeError);
    h.exec("DROP TABLE VALIDITY_DATE");
    EXPECT_THROW(openReport(h.app, "DataReport16"), RuntimeError);
    EXPECT_EQ(h.app.report("DataReport16"), nullptr);
}

}  // namespace
}  // namespace mk
