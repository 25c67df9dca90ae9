// Printed reports: layouts declared as data (bands of labels, field boxes
// and lines placed in twips), laid out into pages of positioned text runs
// and lines that the front end draws and prints and tests read.
#pragma once

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

struct RenderedReport {
    std::string name;
    std::string caption;
    std::string fontName;
    double pageWidth = 0, pageHeight = 0;  // twips
    bool landscape = false;
    std::vector<RenderedPage> pages;
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
