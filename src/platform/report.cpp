#include "platform/report.h"

#include <algorithm>
#include <map>

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

RenderedReport renderReport(const ReportLayout& layout, Database& db, double now) {
    // The rows are only read: they stream from SQL, only the fields shown.
    const TableInfo& info = db.tableInfo(layout.table);
    std::vector<const ReportItem*> fields;
    std::vector<int> shown;  // table field index of each column read
    std::map<const ReportItem*, int> columnOf;
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
            columnOf[&it] = static_cast<int>(at - shown.begin());
            if (at == shown.end()) shown.push_back(f);
        }
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
    std::vector<std::string> current(shown.size());  // texts of the row being placed
    auto readRow = [&] {
        for (size_t i = 0; i < shown.size(); ++i)
            current[i] = reportText(
                st->column(static_cast<int>(i), info.fields[static_cast<size_t>(shown[i])].type));
    };
    // Fields outside the detail band show the row being placed (the first
    // row in the headers); with no row at hand they show nothing.
    bool onRow = st->step();
    if (onRow) readRow();
    auto fieldText = [&](const ReportItem& it) -> std::string {
        if (!onRow) return {};
        return current[static_cast<size_t>(columnOf.at(&it))];
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

    double y = m;
    int detailsOnPage = 0;
    const std::string shortDate = formatShortDate(now);
    const std::string longDate = formatLongDate(now);

    auto place = [&](const ReportBand& band, double top) {
        RenderedPage& page = out.pages.back();
        const int pageNo = static_cast<int>(out.pages.size());
        for (const ReportItem& it : band.items) {
            double x = m + it.left, yy = top + it.top;
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
                        t.text = fieldText(it);
                        t.fromField = true;
                    } else {
                        t.text = it.text;
                        replaceAll(t.text, "%d", shortDate);
                        replaceAll(t.text, "%D", longDate);
                        replaceAll(t.text, "%p", std::to_string(pageNo));
                        replaceAll(t.text, "%P", kPagesMark);
                    }
                    page.texts.push_back(std::move(t));
                    break;
                }
            }
        }
    };
    auto newPage = [&] {
        out.pages.emplace_back();
        y = m;
        detailsOnPage = 0;
        if (out.pages.size() > 1 && layout.pageHeader.height > 0) {
            place(layout.pageHeader, y);
            y += layout.pageHeader.height;
        }
    };
    auto finishPage = [&] {
        if (layout.pageFooter.height > 0) place(layout.pageFooter, footerTop);
    };

    out.pages.emplace_back();
    if (layout.reportHeader.height > 0) {
        place(layout.reportHeader, y);
        y += layout.reportHeader.height;
    }
    if (layout.pageHeader.height > 0) {
        place(layout.pageHeader, y);
        y += layout.pageHeader.height;
    }
    for (; onRow; onRow = st->step() && (readRow(), true)) {
        if (y + layout.detail.height > footerTop && detailsOnPage > 0) {
            finishPage();
            newPage();
        }
        if (layout.detail.height > 0) place(layout.detail, y);
        y += layout.detail.height;
        ++detailsOnPage;
        std::vector<std::string> row;
        row.reserve(fields.size());
        for (const ReportItem* f : fields) row.push_back(fieldText(*f));
        out.rows.push_back(std::move(row));
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

    const std::string total = std::to_string(out.pages.size());
    for (RenderedPage& p : out.pages)
        for (RenderedText& t : p.texts) replaceAll(t.text, kPagesMark, total);
    return out;
}

}  // namespace mk
