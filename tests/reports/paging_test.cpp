// Reports read the rows of a page when the page is laid out: page for
// page the same as a report read whole when it opens, on random shops and
// random band heights, and still the table as it stood when the report
// opened after its rows change, roll back or are restored.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "reports/opener.h"
#include "support/steps.h"

namespace mk {
namespace {

using test::Harness;

void replaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
        s.replace(pos, from.size(), to);
}

// The pages of a report read whole, row after row, as reports were laid
// out before they read their rows by the page.
std::vector<RenderedPage> wholeReport(const ReportLayout& layout, Database& db, double now,
                                      double pageHeight) {
    const TableInfo& info = db.tableInfo(layout.table);
    std::vector<std::vector<std::string>> rows;
    {
        auto st = db.prepare("SELECT * FROM " + quoteName(info.name) + " ORDER BY rowid");
        while (st->step()) {
            std::vector<std::string> row;
            for (size_t i = 0; i < info.fields.size(); ++i)
                row.push_back(reportText(st->column(static_cast<int>(i), info.fields[i].type)));
            rows.push_back(std::move(row));
        }
    }
    struct Placed {
        const ReportBand* band;
        double top;
        long row;
    };
    std::vector<std::vector<Placed>> pages(1);
    const double m = layout.margin, footerTop = pageHeight - m - layout.pageFooter.height;
    double y = m;
    int onPage = 0;
    long row = rows.empty() ? -1 : 0;
    auto place = [&](const ReportBand& b, double top) { pages.back().push_back({&b, top, row}); };
    auto finishPage = [&] {
        if (layout.pageFooter.height > 0) place(layout.pageFooter, footerTop);
    };
    auto newPage = [&] {
        pages.emplace_back();
        y = m;
        onPage = 0;
        if (layout.pageHeader.height > 0) {
            place(layout.pageHeader, y);
            y += layout.pageHeader.height;
        }
    };
    if (layout.reportHeader.height > 0) {
        place(layout.reportHeader, y);
        y += layout.reportHeader.height;
    }
    if (layout.pageHeader.height > 0) {
        place(layout.pageHeader, y);
        y += layout.pageHeader.height;
    }
    for (; row >= 0; row = row + 1 < static_cast<long>(rows.size()) ? row + 1 : -1) {
        if (y + layout.detail.height > footerTop && onPage > 0) {
            finishPage();
            newPage();
        }
        if (layout.detail.height > 0) place(layout.detail, y);
        y += layout.detail.height;
        ++onPage;
    }
    if (layout.reportFooter.height > 0) {
        if (y + layout.reportFooter.height > footerTop) {
            finishPage();
            newPage();
        }
        place(layout.reportFooter, y);
    }
    finishPage();

    std::vector<RenderedPage> out;
    for (size_t p = 0; p < pages.size(); ++p) {
        RenderedPage page;
        for (const Placed& at : pages[p])
            for (const ReportItem& it : at.band->items) {
                const double x = m + it.left, yy = at.top + it.top;
                if (it.kind == ReportItem::Kind::HLine) {
                    page.lines.push_back({x, yy, x + it.width, yy});
                    continue;
                }
                if (it.kind == ReportItem::Kind::VLine) {
                    page.lines.push_back({x, yy, x, yy + it.height});
                    continue;
                }
                RenderedText t;
                t.x = x;
                t.y = yy;
                t.width = it.width;
                t.height = it.height;
                t.fontSize = it.fontSize > 0         ? it.fontSize
                             : at.band->fontSize > 0 ? at.band->fontSize
                                                     : layout.fontSize;
                t.bold = it.bold || at.band->bold;
                t.color = it.color;
                if (it.kind == ReportItem::Kind::Field) {
                    if (at.row >= 0)
                        t.text = rows[static_cast<size_t>(at.row)]
                                     [static_cast<size_t>(info.fieldIndex(it.text))];
                    t.fromField = true;
                } else {
                    t.text = it.text;
                    replaceAll(t.text, "%d", formatShortDate(now));
                    replaceAll(t.text, "%D", formatLongDate(now));
                    replaceAll(t.text, "%p", std::to_string(p + 1));
                    replaceAll(t.text, "%P", std::to_string(pages.size()));
                }
                page.texts.push_back(std::move(t));
            }
        out.push_back(std::move(page));
    }
    return out;
}

void expectSamePages(const RenderedReport& report, const std::vector<RenderedPage>& whole,
                     std::mt19937& random) {
    ASSERT_EQ(report.pages.size(), whole.size());
    // Pages are read in order, as a report written whole reads them, then
    // in any order, some more than once.
    std::vector<size_t> order(whole.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::vector<size_t> shuffled = order;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    order.insert(order.end(), shuffled.begin(), shuffled.end());
    order.insert(order.end(), shuffled.begin(), shuffled.begin() + static_cast<long>(shuffled.size() / 3));
    for (size_t p : order) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        const RenderedPage& page = report.pages[p];
        ASSERT_EQ(page.texts.size(), whole[p].texts.size());
        for (size_t i = 0; i < page.texts.size(); ++i) {
            const RenderedText &a = page.texts[i], &b = whole[p].texts[i];
            EXPECT_EQ(a.text, b.text);
            EXPECT_EQ(std::tie(a.x, a.y, a.width, a.height, a.fontSize, a.bold, a.fromField),
                      std::tie(b.x, b.y, b.width, b.height, b.fontSize, b.bold, b.fromField));
            EXPECT_EQ(a.color, b.color);
        }
        ASSERT_EQ(page.lines.size(), whole[p].lines.size());
        for (size_t i = 0; i < page.lines.size(); ++i)
            EXPECT_EQ(std::tie(page.lines[i].x1, page.lines[i].y1, page.lines[i].x2, page.lines[i].y2),
                      std::tie(whole[p].lines[i].x1, whole[p].lines[i].y1, whole[p].lines[i].x2,
                               whole[p].lines[i].y2));
    }
    EXPECT_LE(report.pages.laidOutCount(), RenderedPages::kKeptPages);
}

std::string randomText(std::mt19937& random) {
    static const std::vector<std::string> words = {"مؤسسة", "الأمل", "للتجارة", "bolt", "Nut",
                                                   "والتوريدات", "12", "", "a'b", "ص"};
    std::string s;
    for (int n = std::uniform_int_distribution<int>(0, 4)(random); n > 0; --n)
        s += words[std::uniform_int_distribution<size_t>(0, words.size() - 1)(random)] + " ";
    return s;
}

std::string randomValue(const FieldInfo& f, std::mt19937& random) {
    if (std::uniform_int_distribution<int>(0, 7)(random) == 0) return "NULL";
    switch (f.type) {
        case FieldType::Text:
        case FieldType::Memo: {
            std::string t = randomText(random);
            if (f.size > 0 && t.size() > static_cast<size_t>(f.size)) t = "x";
            replaceAll(t, "'", "''");
            return "'" + t + "'";
        }
        case FieldType::Date:
            return "'2026-" + std::to_string(std::uniform_int_distribution<int>(10, 12)(random)) + "-" +
                   std::to_string(std::uniform_int_distribution<int>(10, 28)(random)) + "'";
        case FieldType::YesNo: return std::to_string(std::uniform_int_distribution<int>(0, 1)(random));
        case FieldType::Int16:
        case FieldType::Int32:
        case FieldType::AutoNumber:
            return std::to_string(std::uniform_int_distribution<int>(-50, 30000)(random));
        case FieldType::Single:
        case FieldType::Double:
            return std::to_string(std::uniform_int_distribution<int>(-100000, 100000000)(random) / 100.0);
    }
    return "NULL";
}

void addRandomRows(Harness& h, const std::string& table, int n, std::mt19937& random) {
    const TableInfo& info = h.db().tableInfo(table);
    const bool own = !h.db().inTransaction();
    if (own) h.exec("BEGIN");
    for (int i = 0; i < n; ++i) {
        std::string names, values;
        for (const FieldInfo& f : info.fields) {
            if (f.type == FieldType::AutoNumber) continue;
            names += std::string(names.empty() ? "" : ", ") + quoteName(f.name);
            values += std::string(values.empty() ? "" : ", ") + randomValue(f, random);
        }
        try {
            h.exec("INSERT INTO " + quoteName(info.name) + " (" + names + ") VALUES (" + values + ")");
        } catch (const RuntimeError&) {
            // a value its unique index refuses
        }
    }
    if (own) h.exec("COMMIT");
}

// A layout with random band heights, and a field of its table in the page
// header and footer too.
ReportLayout shaken(ReportLayout l, Database& db, std::mt19937& random) {
    auto pick = [&](std::initializer_list<double> options) {
        std::vector<double> v(options);
        return v[std::uniform_int_distribution<size_t>(0, v.size() - 1)(random)];
    };
    l.detail.height = pick({l.detail.height, 320, 1000, 6000, 13000});
    l.reportHeader.height = pick({l.reportHeader.height, 0, 9000});
    l.pageHeader.height = pick({l.pageHeader.height, 0, 700});
    l.reportFooter.height = pick({l.reportFooter.height, 0, 4000, 12000});
    l.pageFooter.height = pick({l.pageFooter.height, 0, 500});
    const std::string field = db.tableInfo(l.table).fields.back().name;
    l.pageHeader.items.push_back(ReportItem::field(field, 0, 900));
    l.pageFooter.items.push_back(ReportItem::field(field, 900, 900));
    return l;
}

TEST(ReportPaging, EveryLayoutGivesThePagesOfTheReportReadWhole) {
    std::mt19937 random(20261206);
    for (const ReportLayout& layout : reportLayouts()) {
        Harness h;
        for (int round = 0; round < 3; ++round) {
            SCOPED_TRACE(layout.name + " round " + std::to_string(round));
            h.exec("DELETE FROM " + quoteName(layout.table));
            const int rows = std::uniform_int_distribution<int>(0, 3)(random) == 0
                                 ? std::uniform_int_distribution<int>(0, 2)(random)
                                 : std::uniform_int_distribution<int>(20, 260)(random);
            addRandomRows(h, layout.table, rows, random);
            const ReportLayout l = round == 0 ? layout : shaken(layout, h.db(), random);
            const RenderedReport report = renderReport(l, h.db(), h.clock.now());
            expectSamePages(report, wholeReport(l, h.db(), h.clock.now(), report.pageHeight), random);
            EXPECT_EQ(static_cast<long>(report.rows.size()), h.count(layout.table));
        }
    }
}

TEST(ReportPaging, AnOpenReportKeepsItsRowsThroughChangesRollbacksAndARestore) {
    std::mt19937 random(7);
    const ReportLayout& layout = *findReportLayout("DataReport8");
    Harness h;
    addRandomRows(h, "BOX", 2500, random);
    const double now = h.clock.now();
    const RenderedReport report = renderReport(layout, h.db(), now);
    const auto whole = wholeReport(layout, h.db(), now, report.pageHeight);
    const auto firstRows = report.rows[0];
    // Pages read before the changes, the later ones with the rows of the
    // pages after them.
    for (size_t p : {3, 4, 5}) EXPECT_FALSE(report.pages[p].texts.empty());

    // Rows changed, deleted (the last one too), added in a gap and at the
    // end, a row number moved; committed, then a rolled-back action.
    h.exec("UPDATE BOX SET MONEY = 1, emplyee_name = 'changed' WHERE rowid % 3 = 0");
    h.exec("DELETE FROM BOX WHERE rowid % 7 = 0 OR rowid = (SELECT max(rowid) FROM BOX)");
    h.exec("INSERT INTO BOX (rowid, MONEY) VALUES (14, 99)");
    h.exec("UPDATE BOX SET rowid = 100000 WHERE rowid = 20");
    addRandomRows(h, "BOX", 30, random);
    EXPECT_THROW(h.machine.action([&] {
        h.db().beginWrite();
        h.exec("DELETE FROM BOX");
        throw RuntimeError(err::DatabaseError, "failed half way");
    }),
                 RuntimeError);
    expectSamePages(report, whole, random);
    EXPECT_EQ(report.rows[0], firstRows);

    // The whole file replaced by a copy of an empty shop.
    Harness empty;
    const auto copy = h.root.path() / "empty.mdb";
    empty.db().backupTo(copy);
    h.db().restoreFrom(copy);
    EXPECT_EQ(h.count("BOX"), empty.count("BOX"));
    expectSamePages(report, whole, random);
}

TEST(ReportPaging, AReportOpenedByAnActionThatRollsBackKeepsTheRowsItShowed) {
    std::mt19937 random(11);
    Harness h;
    addRandomRows(h, "DAILY_TRADE", 90, random);
    const ReportLayout& layout = *findReportLayout("DataReport10");
    std::vector<RenderedPage> whole;
    EXPECT_THROW(h.machine.action([&] {
        h.db().beginWrite();
        addRandomRows(h, "DAILY_TRADE", 60, random);
        openReport(h.app, "DataReport10");
        whole = wholeReport(layout, h.db(), h.clock.now(), h.app.report("DataReport10")->pageHeight);
        throw RuntimeError(err::DatabaseError, "failed after the report opened");
    }),
                 RuntimeError);
    EXPECT_EQ(h.count("DAILY_TRADE"), 90);
    ASSERT_NE(h.app.report("DataReport10"), nullptr);
    expectSamePages(*h.app.report("DataReport10"), whole, random);
    EXPECT_EQ(h.app.report("DataReport10")->rows.size(), 150u);
}

}  // namespace
}  // namespace mk
