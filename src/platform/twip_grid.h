// Where a window's controls stand: a grid of cells in twips, laid out right
// to left as the windows read. Column 0 is the rightmost and the columns
// go leftwards; rows run down. A window declares a grid per region (its
// caption-and-box rows, its row of buttons, its line rows) and puts each
// control in a cell, so every spacing is said once, by name.
#pragma once

#include <vector>

#include "platform/controls.h"

namespace mk {

struct TwipGrid {
    double right = 0;    // the right edge of column 0
    double top = 0;      // the top of row 0
    double colStep = 0;  // from a column's right edge to the next one's, leftwards
    double rowStep = 0;  // from a row's top to the next one's
    double width = 0;    // of a cell
    double height = 0;

    // The cell at column col, row row.
    constexpr Geometry cell(int col, int row) const { return cell(col, row, width, height); }
    // A control of its own size in that cell: its right edge and top are
    // the cell's.
    constexpr Geometry cell(int col, int row, double w) const { return cell(col, row, w, height); }
    constexpr Geometry cell(int col, int row, double w, double h) const {
        return {right - colStep * col - w, top + rowStep * row, w, h};
    }
    // The cells from (col, row) over `cols` columns leftwards and `rows`
    // rows down as one.
    constexpr Geometry span(int col, int row, int cols, int rows = 1) const {
        const double w = width + colStep * (cols - 1);
        return {right - colStep * col - w, top + rowStep * row, w,
                height + rowStep * (rows - 1)};
    }
    // The grid of the captions beside boxes of this grid: a caption's line
    // of text (285 high) sits 30 lower than its box, on the box's baseline.
    constexpr TwipGrid captions() const { return rowsAt(top + kCaptionDrop, kCaptionHeight); }
    // The same columns and steps with row 0 at `rowTop`, cells h high (the
    // headings over a table's rows, a row of totals under it).
    constexpr TwipGrid rowsAt(double rowTop, double h) const {
        return {right, rowTop, colStep, rowStep, width, h};
    }

    static constexpr double kCaptionDrop = 30, kCaptionHeight = 285;
};

// The columns of a table: right to left from `row`'s right edge, each as
// wide as given and `gap` apart, with `row`'s top, steps and height.
inline std::vector<TwipGrid> tableColumns(const TwipGrid& row, const std::vector<double>& widths,
                                          double gap) {
    std::vector<TwipGrid> columns;
    double right = row.right;
    for (double w : widths) {
        TwipGrid c = row;
        c.right = right;
        c.width = w;
        columns.push_back(c);
        right -= w + gap;
    }
    return columns;
}

// A frame's caption takes its top: the controls it holds start this far
// below the frame's top edge.
inline constexpr double kFrameCaption = 480;

// The place of a control that stands nowhere in particular: one the window
// never shows (a data control, a carrier box, a flag).
inline constexpr Geometry kNoPlace{0, 0, 600, 315};

// Moves a control to g (its design place stays where it was).
inline void placeAt(Control& c, const Geometry& g) {
    c.left = g.left;
    c.top = g.top;
    c.width = g.width;
    c.height = g.height;
}

}  // namespace mk
