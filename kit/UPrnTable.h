// The table printer of every tabular printout: title box, banner, header lines, paged grid, footers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "URegional.h"

class QFont;
class QPaintDevice;
class TPrintCanvas;

// Marks stored with a cell: background and extra drawing.
enum TCellMark : uint8_t {
    cmNone = 0,
    cmSilver = 1,
    cmUp = 2,
    cmUpUp = 3,
    cmDown = 4,
    cmDownDown = 5,
    cmPlain = 6,
    cmCross = 7
};

// One cell: its text (Windows-1252 bytes, as the model keeps texts) and its mark.
struct TPrnCell {
    std::string Text;
    uint8_t Mark = cmNone;
};

struct TTextExtent {
    int cx = 0;
    int cy = 0;
};

// What the layout needs to know of the page and of the Arial font at its sizes.
struct TTableMetrics {
    int W = 0;                                                                 // printable width
    int H = 0;                                                                 // printable height
    int CharHeight = 0;                                                        // Arial 8
    int AvgCharWidth = 0;                                                      // Arial 8
    std::function<TTextExtent(const std::string& text, int pointSize)> Extent; // Arial regular
};

// A rectangle as the printer's rectangle call takes it: its outline runs from Left/Top to Right - 1
// and Bottom - 1, so that neighbouring cells share their border line.
struct TTableRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TTableRect&) const = default;
};

struct TLaidCell {
    TTableRect Rect;
    int Row = 0;
    int Col = 0;
};

struct TTablePage {
    std::vector<TLaidCell> Cells; // in drawing order
};

// Where everything of one PrintTable call goes, computed without a printer.
struct TTableLayout {
    std::string PaddedTitle; // "  " + title + "  ", empty for an empty title
    bool HasTitle = false;
    TTableRect TitleBox, TitleText;
    bool HasBanner = false;
    bool BannerSilver = false;
    TTableRect BannerBox, BannerText;
    int HeaderX = 0;
    std::vector<int> HeaderY;
    std::vector<int> Widths; // device units, NCols entries
    int TableLeft = 0;
    int RowHeight = 0;
    int PageLimit = 0;    // L: a row ending at or below it ends the page
    int FormulaTotal = 0; // the page total by the estimate from the room of the pages
    std::vector<TTablePage> Pages;
    int ResultY = 0; // one row height below the last row printed
};

extern const char* const ArchiveBannerText;

TTableLayout LayoutTable(const TTableMetrics& m, const std::string& title,
                         const std::vector<std::string>& headerLines, const std::vector<TPrnCell>& cells,
                         int nCols, const std::vector<int>& widths, bool archive);

// "- Page n/total - " + padded title + " - Printed on " + date + " -".
std::string TableFooterText(int page, int total, const std::string& paddedTitle, TDateTime day);

// Arrows drawn in a cell for marks 2 to 5 (UTF-8), empty for the other marks.
const char* ArrowText(uint8_t mark);

// The average character width of a font on a device as the printer reports it for the table and
// chart layouts: the letter-frequency weighted width of the lower-case letters and the space. (The
// average over every glyph of a modern font is a third wider and would push tables off the page.)
int AverageCharWidth(const QFont& font, QPaintDevice* device);

// The measures of the canvas: printable area and the Arial font on its device.
TTableMetrics TableMetrics(TPrintCanvas& canvas);

// Prints the table from the canvas's current page on, starting further pages itself; returns the
// y one row height below the bottom of the last row printed.
int PrintTable(TPrintCanvas& canvas, const std::string& title, const std::vector<std::string>& headerLines,
               const std::vector<TPrnCell>& cells, int nCols, const std::vector<int>& widths, bool archive);
