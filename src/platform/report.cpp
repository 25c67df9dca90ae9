#include "platform/report.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string_view>

#include "platform/recordset.h"

namespace mk {

namespace {

// A4 in twips.
constexpr double kA4Short = 11906;
constexpr double kA4Long = 16838;
const std::string kPagesMark = "\x01P\x01";

void replaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
        s.replace(pos, from.size(), to);
}

}  // namespace

unsigned rgbOf(ReportColor c) {
    switch (c) {
        case ReportColor::Blue: return 0x0000FF;
        case ReportColor::DarkBlue: return 0x000080;
        case ReportColor::Red: return 0xFF0000;
        case ReportColor::DarkGrey: return 0x404040;
        case ReportColor::Default: break;
    }
    return 0x000000;
}

ReportItem ReportItem::label(std::string text, double left, double width, double top,
                             double height, ReportColor color) {
    ReportItem i;
    i.kind = Kind::Label;
    i.text = std::move(text);
    i.left = left;
    i.width = width;
    i.top = top;
    i.height = height;
    i.color = color;
    return i;
}

ReportItem ReportItem::field(std::string name, double left, double width, double top,
                             double height, ReportColor color) {
    ReportItem i = label(std::move(name), left, width, top, height, color);
    i.kind = Kind::Field;
    return i;
}

ReportItem ReportItem::hline(double left, double width, double top) {
    ReportItem i;
    i.kind = Kind::HLine;
    i.left = left;
    i.width = width;
    i.top = top;
    i.height = 0;
    return i;
}

ReportItem ReportItem::vline(double left, double top, double height) {
    ReportItem i;
    i.kind = Kind::VLine;
    i.left = left;
    i.top = top;
    i.height = height;
    i.width = 0;
    return i;
}

std::string reportText(const Value& v) { return toText(v); }

struct RenderedPages::Plan {
    ReportLayout layout;
    std::string shortDate, longDate, total;
    // One band placed on a page: its top and the row its fields show
    // (-1: none).
    struct Placement {
        const ReportBand* band;
        double top;
        long row;
    };
    std::vector<Placement> placements;
    std::vector<size_t> pageStart;  // placements of page i: [pageStart[i], pageStart[i+1])
    // The texts of the fields read, row after row.
    size_t columns = 0;
    std::string texts;
    std::vector<uint32_t> cellStart;  // where each cell starts, row after row
    std::map<const ReportItem*, size_t> columnOf;

    std::string_view cell(long row, size_t column) const {
        const size_t at = static_cast<size_t>(row) * columns + column;
        const size_t end = at + 1 < cellStart.size() ? cellStart[at + 1] : texts.size();
        return std::string_view(texts).substr(cellStart[at], end - cellStart[at]);
    }
    void layOut(size_t index, RenderedPage& page) const;
};

void RenderedPages::Plan::layOut(size_t index, RenderedPage& page) const {
    const double m = layout.margin;
    const std::string pageNo = std::to_string(index + 1);
    for (size_t k = pageStart[index]; k < pageStart[index + 1]; ++k) {
        const Placement& at = placements[k];
        const ReportBand& band = *at.band;
        for (const ReportItem& it : band.items) {
            double x = m + it.left, yy = at.top + it.top;
            switch (it.kind) {
                case ReportItem::Kind::HLine:
                    page.lines.push_back({x, yy, x + it.width, yy});
                    break;
                case ReportItem::Kind::VLine:
                    page.lines.push_back({x, yy, x, yy + it.height});
                    break;
                case ReportItem::Kind::Label:
                case ReportItem::Kind::Field: {
                    RenderedText t;
                    t.x = x;
                    t.y = yy;
                    t.width = it.width;
                    t.height = it.height;
                    t.fontSize = it.fontSize > 0     ? it.fontSize
                                 : band.fontSize > 0 ? band.fontSize
                                                     : layout.fontSize;
                    t.bold = it.bold || band.bold;
                    t.color = it.color;
                    if (it.kind == ReportItem::Kind::Field) {
                        // With no row at hand a field shows nothing.
                        if (at.row >= 0) t.text = cell(at.row, columnOf.at(&it));
                        t.fromField = true;
                    } else {
                        t.text = it.text;
                        replaceAll(t.text, "%d", shortDate);
                        replaceAll(t.text, "%D", longDate);
                        replaceAll(t.text, "%p", pageNo);
                        replaceAll(t.text, "%P", kPagesMark);
                    }
                    replaceAll(t.text, kPagesMark, total);
                    page.texts.push_back(std::move(t));
                    break;
                }
            }
        }
    }
}

RenderedPages::RenderedPages(std::shared_ptr<const Plan> plan) : plan_(std::move(plan)) {}

size_t RenderedPages::size() const {
    return plan_ ? plan_->pageStart.size() - 1 : laidOut_->size();
}

const RenderedPage& RenderedPages::operator[](size_t i) const {
    auto& pages = *laidOut_;
    if (pages.size() <= i) pages.resize(size());
    if (!pages[i]) {
        auto page = std::make_unique<RenderedPage>();
        if (plan_) plan_->layOut(i, *page);
        pages[i] = std::move(page);
    }
    return *pages[i];
}

const RenderedPage& RenderedPages::at(size_t i) const {
    if (i >= size()) throw std::out_of_range("no such report page");
    return (*this)[i];
}

size_t RenderedPages::laidOutCount() const {
    return static_cast<size_t>(std::count_if(laidOut_->begin(), laidOut_->end(),
                                             [](const auto& p) { return p != nullptr; }));
}

void RenderedPages::push_back(RenderedPage page) {
    laidOut_->push_back(std::make_unique<RenderedPage>(std::move(page)));
}

RenderedReport renderReport(const ReportLayout& source, Database& db, double now) {
    auto plan = std::make_shared<RenderedPages::Plan>();
    plan->layout = source;
    const ReportLayout& layout = plan->layout;

    // The rows are only read: they stream from SQL, only the fields shown.
    const TableInfo& info = db.tableInfo(layout.table);
    std::vector<const ReportItem*> fields;
    std::vector<int> shown;  // table field index of each column read
    for (const ReportBand* b : {&layout.reportHeader, &layout.pageHeader, &layout.detail,
                                &layout.pageFooter, &layout.reportFooter})
        for (const ReportItem& it : b->items) {
            if (it.kind != ReportItem::Kind::Field) continue;
            const int f = info.fieldIndex(it.text);
            if (f < 0)
                throw RuntimeError(err::FieldNotFound, "The report " + layout.name +
                                                           " shows the field '" + it.text +
                                                           "', which the table " + info.name +
                                                           " does not have.");
            auto at = std::find(shown.begin(), shown.end(), f);
            plan->columnOf[&it] = static_cast<size_t>(at - shown.begin());
            if (at == shown.end()) shown.push_back(f);
        }
    plan->columns = shown.size();
    for (const ReportItem& it : layout.detail.items)
        if (it.kind == ReportItem::Kind::Field) fields.push_back(&it);
    std::stable_sort(fields.begin(), fields.end(),
                     [](const ReportItem* a, const ReportItem* b) { return a->left < b->left; });

    std::string sql = "SELECT ";
    for (size_t i = 0; i < shown.size(); ++i)
        sql += (i ? ", " : "") + quoteName(info.fields[static_cast<size_t>(shown[i])].name);
    if (shown.empty()) sql += "1";
    sql += " FROM " + quoteName(info.name) + " ORDER BY rowid";
    auto st = db.prepare(sql);
    long rowCount = 0;
    auto readRow = [&] {
        for (size_t i = 0; i < shown.size(); ++i) {
            plan->cellStart.push_back(static_cast<uint32_t>(plan->texts.size()));
            plan->texts += reportText(
                st->column(static_cast<int>(i), info.fields[static_cast<size_t>(shown[i])].type));
        }
        return rowCount++;
    };

    RenderedReport out;
    out.name = layout.name;
    out.caption = layout.caption;
    out.fontName = layout.fontName;
    for (const ReportItem* f : fields) out.columns.push_back(f->text);
    // A report a little wider than a portrait page may reach a short way
    // into the right margin rather than turn the page.
    constexpr double kMarginSlack = 180;
    out.landscape = layout.width + 2 * layout.margin > kA4Short + kMarginSlack;
    out.pageWidth = out.landscape ? kA4Long : kA4Short;
    out.pageHeight = out.landscape ? kA4Short : kA4Long;
    const double m = layout.margin;
    const double footerTop = out.pageHeight - m - layout.pageFooter.height;
    plan->shortDate = formatShortDate(now);
    plan->longDate = formatLongDate(now);

    // Pagination: where each band goes, and the row its fields show (the
    // row being placed; the first row in the headers).
    double y = m;
    int detailsOnPage = 0;
    long row = st->step() ? readRow() : -1;
    auto place = [&](const ReportBand& band, double top) {
        plan->placements.push_back({&band, top, row});
    };
    auto newPage = [&] {
        plan->pageStart.push_back(plan->placements.size());
        y = m;
        detailsOnPage = 0;
        if (plan->pageStart.size() > 1 && layout.pageHeader.height > 0) {
            place(layout.pageHeader, y);
            y += layout.pageHeader.height;
        }
    };
    auto finishPage = [&] {
        if (layout.pageFooter.height > 0) place(layout.pageFooter, footerTop);
    };

    plan->pageStart.push_back(0);
    if (layout.reportHeader.height > 0) {
        place(layout.reportHeader, y);
        y += layout.reportHeader.height;
    }
    if (layout.pageHeader.height > 0) {
        place(layout.pageHeader, y);
        y += layout.pageHeader.height;
    }
    for (; row >= 0; row = st->step() ? readRow() : -1) {
        if (y + layout.detail.height > footerTop && detailsOnPage > 0) {
            finishPage();
            newPage();
        }
        if (layout.detail.height > 0) place(layout.detail, y);
        y += layout.detail.height;
        ++detailsOnPage;
        std::vector<std::string> texts;
        texts.reserve(fields.size());
        for (const ReportItem* f : fields) texts.emplace_back(plan->cell(row, plan->columnOf.at(f)));
        out.rows.push_back(std::move(texts));
    }
    if (layout.reportFooter.height > 0) {
        if (y + layout.reportFooter.height > footerTop) {
            finishPage();
            newPage();
        }
        place(layout.reportFooter, y);
        y += layout.reportFooter.height;
    }
    finishPage();
    plan->pageStart.push_back(plan->placements.size());
    plan->total = std::to_string(plan->pageStart.size() - 1);
    out.pages = RenderedPages(std::move(plan));
    return out;
}

}  // namespace mk
