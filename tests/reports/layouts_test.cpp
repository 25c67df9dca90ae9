#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "reports/opener.h"
#include "support/harness.h"

namespace mk {
namespace {

using test::Harness;

struct Expected {
    const char* report;
    const char* table;
    std::vector<std::string> fields;    // the detail boxes, left to right
    std::vector<std::string> headings;  // the page header, left to right
};

const std::vector<Expected>& expectedLayouts() {
    static const std::vector<Expected> all = {
        {"DataReport3", "SALES_INVO_GROUP", {"INVO_NO", "DATES", "SALES_MAN", "TOTAL_SUM"},
         {"رقم الفاتورة", "تاريخ الفاتورة", "أسم المشترى", "إجمالى الفاتورة"}},
        {"DataReport11", "SALES_INVO_GROUP", {"INVO_NO", "SALES_MAN", "DATES", "TOTAL_SUM"},
         {"INVO_NO:", "SALES_MAN:", "DATES:", "TOTAL_SUM:"}},
        {"DataReport13", "COAST_INVO_GROUP", {"INVO_NO", "SALES_MAN", "DATES", "TOTAL_SUM"},
         {"INVO_NO:", "SALES_MAN:", "DATES:", "TOTAL_SUM:"}},
        {"RETURN_INVOICE", "RETURN_INVOICE", {"INVO_NO", "DATES", "BUYER"},
         {"رقم الفاتورة", "تاريخ الفاتورة", "أسم العميل"}},
        {"DataReport4", "BUY_INVOICE", {"INVO_NO", "SALES_MAN", "DATES", "PHONE"},
         {"رقم الفاتورة", "أسم الشركة  المشترية", "تاريخ الفاتورة", "رقم التليفون"}},
        {"DataReport10", "DAILY_TRADE", {"END_DAY_Q", "OUTPUT", "INPUT", "STARY_DAY_Q", "DESC"},
         {"الكمية فى نهاية اليوم", "كمية المباع", "كمية الوارد", "الكمية فى بدء اليوم",
          "أسم الصنف"}},
        {"DataReport14", "PRODUCT_BUY", {"INVO_NO", "SUPPLIER_NAME", "DATES", "QUANTITY"},
         {"INVO_NO:", "SUPPLIER_NAME:", "DATES:", "QUANTITY:"}},
        {"DataReport16", "VALIDITY_DATE", {"DATE", "QUANTITY", "SUB_TYPE", "QQQ", "ID"},
         {"التاريخ", "الكمية", "أسم الصنف", "أسم المجموعة", "الرقم"}},
        {"DATA_SUPPLIER", "SUPPLIER", {"SALES_MAN", "PHONE", "FAX", "ADDRESS"},
         {"أسم البائع", "رقم التليفون", "رقم الفاكس ", "العنوان"}},
        {"DataReport2", "BUYER", {"BUYER", "PHONE", "FAX", "ADDRESS"},
         {"أسم المشترى", "رقم التليفون", "رقم الفاكس", "العنوان"}},
        {"DataReport15", "BUYER_DEALS", {"INVO_NO", "TOTAL", "DATES", "NOTES"},
         {"INVO_NO:", "TOTAL MONEY", "DATES:", "NOTES"}},
        {"DataReport8", "BOX",
         {"emplyee_name", "MONEY", "MONEY_OUT", "MONEY_RECIVED", "IN_INVOICE", "OUT_INVOICE",
          "OUT_INV", "RECEIVED_INV", "DATE"},
         {"مرتب العامل ", "إجمالى المبلغ", "المبلغ المنصرف", "المبلغ الوارد", "ف الوارد",
          "ف بيع", "إذن صرف", "إذن إستلام", "التاريخ"}},
        {"DataReport7", "DAY_OUTPUT",
         {"DAY_NO", "STORE_OUT", "CAR_OUT", "HOME_OUT", "OTHER", "DAYLY", "TOTALDAY_OUT"},
         {"اليوم", "مصاريف المخزن", "مصاريف العربية", "مصاريف البيت", "مصاريف نثرية", "يومية",
          "اجمالى المصاريف"}},
        {"DataReport6", "MONTH_OUTPUT",
         {"MONTH_NO", "ELECTRIC_FEE", "PLACE_FEE", "PHONE_FEE", "SALERY", "DALIY_OUT",
          "TOTAL_OUT"},
         {"الشهر", "فاتورة الكهرباء", "ايجار المكان", "فاتورة التلبفون", "المرتبات",
          "المصاريف اليومية", "أجمالى المصروفات"}},
        {"DataReport5", "YEAR_OUTPUT",
         {"YEAR", "GAIN_SELL", "TAX", "LOSES", "MAINTENANCE", "MONTH_COST", "NET_GAIN"},
         {"السنة", "الربح", "الضرائب", "الخسائر", "الصيانة", "المصاريف الشهرية",
          "صافى الارباح"}},
        {"DataReport12", "emplyee",
         {"Job_ title", "sallery", "phone", "emplyee_date", "address", "name"},
         {"أسم الوظيفة", "أساسى المرتب", "رقم التليفون", "تاريخ إستلام العمل", "العنوان",
          "الأسم"}},
    };
    return all;
}

// Texts placed on a page, read left to right within a band of rows.
std::vector<std::string> textsBetween(const RenderedPage& page, double top, double bottom) {
    std::vector<const RenderedText*> in;
    for (const RenderedText& t : page.texts)
        if (t.y >= top && t.y < bottom && !t.fromField) in.push_back(&t);
    std::stable_sort(in.begin(), in.end(),
                     [](const RenderedText* a, const RenderedText* b) { return a->x < b->x; });
    std::vector<std::string> out;
    for (const RenderedText* t : in) out.push_back(t->text);
    return out;
}

bool hasText(const RenderedPage& page, const std::string& text) {
    return std::any_of(page.texts.begin(), page.texts.end(),
                       [&](const RenderedText& t) { return t.text == text; });
}

TEST(ReportLayouts, EveryReportListsItsTableUnderItsHeadingsInOrder) {
    Harness h;
    h.exec("INSERT INTO SALES_INVO_GROUP (INVO_NO, DATES, SALES_MAN, TOTAL_SUM) "
           "VALUES (3, '2026-12-01', 'Ali', 150.5)");
    h.exec("INSERT INTO BUYER (BUYER, PHONE) VALUES ('Ali', '0123')");
    h.exec("INSERT INTO emplyee (name, \"Job_ title\") VALUES ('Sami', 'clerk')");
    ASSERT_EQ(reportLayouts().size(), expectedLayouts().size());
    for (const Expected& e : expectedLayouts()) {
        SCOPED_TRACE(e.report);
        h.machine.action([&] { openReport(h.app, e.report); });
        const RenderedReport* r = h.app.report(e.report);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(findReportLayout(e.report)->table, e.table);
        EXPECT_EQ(r->columns, e.fields);
        EXPECT_EQ(static_cast<long>(r->rows.size()), h.count(e.table));
        const ReportLayout& l = *findReportLayout(e.report);
        const double top = l.margin + l.reportHeader.height;
        EXPECT_EQ(textsBetween(r->pages[0], top, top + l.pageHeader.height), e.headings);
    }
    EXPECT_EQ(h.app.report("DataReport3")->rows[0],
              (std::vector<std::string>{"3", "01/12/2026", "Ali", "150.5"}));
    EXPECT_EQ(h.app.report("DataReport11")->rows[0],
              (std::vector<std::string>{"3", "Ali", "01/12/2026", "150.5"}));
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
