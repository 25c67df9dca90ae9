// Every report the program opens: its table's rows, one heading over each
// column, pages with their headers and numbers, and the reports it cannot
// show refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "reports/opener.h"
#include "support/steps.h"

namespace mk {
namespace {

using test::Harness;

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
    ASSERT_EQ(reportLayouts().size(), 16u);
    for (const ReportLayout& l : reportLayouts()) {
        SCOPED_TRACE(l.name);
        h.machine.action([&] { openReport(h.app, l.name); });
        const RenderedReport& r = *h.app.report(l.name);
        EXPECT_EQ(static_cast<long>(r.rows.size()), h.count(l.table));
        // The columns are the detail's fields, left to right, and each
        // heading stands over its own: the nearest box to the i-th heading
        // is the i-th.
        std::vector<std::pair<double, std::string>> boxes;
        for (const ReportItem& it : l.detail.items)
            if (it.kind == ReportItem::Kind::Field) boxes.emplace_back(l.margin + it.left, it.text);
        std::sort(boxes.begin(), boxes.end());
        ASSERT_EQ(r.columns.size(), boxes.size());
        for (size_t i = 0; i < boxes.size(); ++i) EXPECT_EQ(r.columns[i], boxes[i].second);
        const auto heads = headings(r, l);
        ASSERT_EQ(heads.size(), boxes.size());
        for (size_t i = 0; i < heads.size(); ++i) {
            auto nearest = std::min_element(boxes.begin(), boxes.end(), [&](auto& a, auto& b) {
                return std::abs(a.first - heads[i]->x) < std::abs(b.first - heads[i]->x);
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
    EXPECT_EQ(h.app.report("DataReport2")->rows[0], (std::vector<std::string>{"Ali", "0123", "", ""}));
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
    // Pages are laid out as they are read, and a copy shares them.
    EXPECT_EQ(r.pages.laidOutCount(), 0u);
    const RenderedReport copy = r;
    EXPECT_FALSE(copy.pages.back().texts.empty());
    EXPECT_EQ(r.pages.laidOutCount(), 1u);
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
    ReportLayout noField = *findReportLayout("DataReport2");
    noField.detail.items.push_back(ReportItem::field("NO_FIELD", 0, 100));
    EXPECT_EQ(test::errorNumber([&] { renderReport(noField, h.db(), 0); }), err::FieldNotFound);
}

}  // namespace
}  // namespace mk
