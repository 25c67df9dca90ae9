// Printed reports: layouts declared as data (bands of labels, field boxes
// and lines placed in twips), laid out into pages of positioned text runs
// and lines that the front end draws and prints and tests read.
#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/value.h"

namespace mk {

class Database;

enum class ReportColor { Default, Blue, DarkBlue, Red, DarkGrey };

// 0xRRGGBB of a report colour.
unsigned rgbOf(ReportColor c);

struct ReportItem {
    enum class Kind { Label, Field, HLine, VLine };
    Kind kind = Kind::Label;
    std::string text;  // label text or field name
    double left = 0, top = 0, width = 0, height = 240;
    double fontSize = 0;  // 0: the band's or report's size
    bool bold = false;
    ReportColor color = ReportColor::Default;

    static ReportItem label(std::string text, double left, double width, double top = 0,
                            double height = 240, ReportColor color = ReportColor::Default);
    static ReportItem field(std::string name, double left, double width, double top = 0,
                            double height = 240, ReportColor color = ReportColor::Default);
    static ReportItem hline(double left, double width, double top);
    static ReportItem vline(double left, double top, double height);
};

struct ReportBand {
    double height = 0;
    double fontSize = 0;  // size of the band's items that name none
    bool bold = false;
    std::vector<ReportItem> items;
};

struct ReportLayout {
    std::string name;     // DataReport3
    std::string caption;  // the preview window's title
    std::string command;  // the table command it shows
    std::string table;    // the command's table
    double width = 0;     // twips
    double margin = 1440;
    std::string fontName = "Arial";
    double fontSize = 8.25;
    ReportBand reportHeader, pageHeader, detail, pageFooter, reportFooter;
};

struct RenderedText {
    double x = 0, y = 0, width = 0, height = 0;  // twips on the page
    std::string text;
    double fontSize = 8.25;
    bool bold = false;
    ReportColor color = ReportColor::Default;
    bool fromField = false;
};

struct RenderedLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct RenderedPage {
    std::vector<RenderedText> texts;
    std::vector<RenderedLine> lines;
};

// Walks a container read by index; Reference is what reading gives.
template <class Container, class Reference>
class IndexIterator {
public:
    using value_type = std::remove_cvref_t<Reference>;
    using reference = Reference;
    using pointer = void;
    using difference_type = std::ptrdiff_t;
    using iterator_category = std::input_iterator_tag;
    IndexIterator(const Container* c, size_t i) : c_(c), i_(i) {}
    Reference operator*() const { return (*c_)[i_]; }
    IndexIterator& operator++() {
        ++i_;
        return *this;
    }
    bool operator==(const IndexIterator& o) const { return i_ == o.i_; }
    bool operator!=(const IndexIterator& o) const { return i_ != o.i_; }

private:
    const Container* c_;
    size_t i_;
};

// The pages of a rendered report. A page is laid out when it is read,
// from the rows it shows, read from the report's table then; the last few
// pages read are kept, so a reference to a page stays good until
// kKeptPages other pages have been read. Copies share the pages. Read
// like a vector of pages.
class RenderedPages {
public:
    struct Plan;  // where every band of every page goes, and the rows
    static constexpr size_t kKeptPages = 8;

    RenderedPages() = default;
    explicit RenderedPages(std::shared_ptr<Plan> plan);

    size_t size() const;
    bool empty() const { return size() == 0; }
    const RenderedPage& operator[](size_t i) const;
    const RenderedPage& at(size_t i) const;
    const RenderedPage& front() const { return (*this)[0]; }
    const RenderedPage& back() const { return (*this)[size() - 1]; }
    // Pages made by hand (no plan) are added as they are, and kept.
    void push_back(RenderedPage page);
    // How many laid-out pages are held now.
    size_t laidOutCount() const;

    using const_iterator = IndexIterator<RenderedPages, const RenderedPage&>;
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    struct Held {
        std::vector<std::unique_ptr<RenderedPage>> byHand;
        std::vector<std::pair<size_t, std::unique_ptr<RenderedPage>>> recent;  // newest last
    };
    std::shared_ptr<Plan> plan_;
    std::shared_ptr<Held> held_ = std::make_shared<Held>();
};

// The field texts of each detail row, in row order, left to right (for
// reading back); a row is read from the report's table when it is asked for.
class ReportRows {
public:
    using Row = std::vector<std::string>;
    ReportRows() = default;
    explicit ReportRows(std::shared_ptr<RenderedPages::Plan> plan) : plan_(std::move(plan)) {}

    size_t size() const;
    bool empty() const { return size() == 0; }
    Row operator[](size_t i) const;
    Row front() const { return (*this)[0]; }
    Row back() const { return (*this)[size() - 1]; }
    std::vector<Row> toVector() const;
    bool operator==(const std::vector<Row>& rows) const { return toVector() == rows; }

    using const_iterator = IndexIterator<ReportRows, Row>;
    using iterator = const_iterator;
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    std::shared_ptr<RenderedPages::Plan> plan_;
};

struct RenderedReport {
    std::string name;
    std::string caption;
    std::string title;  // the report header's heading (else the caption)
    std::string fontName;
    double pageWidth = 0, pageHeight = 0;  // twips
    bool landscape = false;
    RenderedPages pages;
    ReportRows rows;
    std::vector<std::string> columns;  // field names of the detail band, left to right
};

// The report of the layout's table as it stands now: its pages are
// counted now, and each page's rows are read when the page is laid out.
// The report keeps showing the table as it stood when it was made: rows
// changed or deleted since are kept as they were, rows added since are
// left out. "%d", "%D", "%p" and "%P" in labels become the short date, the
// long date, the page number and the number of pages. Fails on a missing
// table or field.
RenderedReport renderReport(const ReportLayout& layout, Database& db, double now);

// How a field value prints in a report box.
std::string reportText(const Value& v);

}  // namespace mk
