// Printed reports: layouts declared as data (bands of labels, field boxes
// and lines placed in twips), laid out into pages of positioned text runs
// and lines that the front end draws and prints and tests read.
#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
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

// The pages of a rendered report. A page is laid out when it is first
// read and then kept, so opening a long report costs what the pages shown
// cost. Copies share the pages. Read like a vector of pages.
class RenderedPages {
public:
    struct Plan;  // where every band of every page goes, and the row texts

    RenderedPages() = default;
    explicit RenderedPages(std::shared_ptr<const Plan> plan);

    size_t size() const;
    bool empty() const { return size() == 0; }
    const RenderedPage& operator[](size_t i) const;
    const RenderedPage& at(size_t i) const;
    const RenderedPage& front() const { return (*this)[0]; }
    const RenderedPage& back() const { return (*this)[size() - 1]; }
    // Pages made by hand (no plan) are added as they are.
    void push_back(RenderedPage page);
    // How many pages have been laid out so far.
    size_t laidOutCount() const;

    class const_iterator {
    public:
        using value_type = RenderedPage;
        using reference = const RenderedPage&;
        using pointer = const RenderedPage*;
        using difference_type = std::ptrdiff_t;
        using iterator_category = std::forward_iterator_tag;
        const_iterator(const RenderedPages* pages, size_t i) : pages_(pages), i_(i) {}
        reference operator*() const { return (*pages_)[i_]; }
        pointer operator->() const { return &(*pages_)[i_]; }
        const_iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return i_ == o.i_; }
        bool operator!=(const const_iterator& o) const { return i_ != o.i_; }

    private:
        const RenderedPages* pages_;
        size_t i_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    std::shared_ptr<const Plan> plan_;
    std::shared_ptr<std::vector<std::unique_ptr<RenderedPage>>> laidOut_ =
        std::make_shared<std::vector<std::unique_ptr<RenderedPage>>>();
};

struct RenderedReport {
    std::string name;
    std::string caption;
    std::string fontName;
    double pageWidth = 0, pageHeight = 0;  // twips
    bool landscape = false;
    RenderedPages pages;
    // The field texts of each detail row, in row order (for reading back).
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> columns;  // field names of the detail band, left to right
};

// Reads every row of the layout's table from db now and lays it out.
// "%d", "%D", "%p" and "%P" in labels become the short date, the long
// date, the page number and the number of pages. Fails on a missing
// table or field.
RenderedReport renderReport(const ReportLayout& layout, Database& db, double now);

// How a field value prints in a report box.
std::string reportText(const Value& v);

}  // namespace mk
