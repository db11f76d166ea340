// What the archive and import windows hand on: table printouts for PrintTable, and 13-pixel tab lists.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One printed cell: Windows-1252 text and its mark (0 plain, 1 shaded), as PrintTable takes them.
struct TPrintoutCell {
    std::string Text;
    uint8_t Mark = 0;
};

// Everything one PrintTable call and its print job need.
struct TTablePrintout {
    std::string JobTitle;         // empty: the job title the printer has
    bool KeepOrientation = false; // true: the orientation the printer has; false: portrait
    std::string Title;            // PrintTable's title
    std::vector<std::string> HeaderLines;
    std::vector<TPrintoutCell> Cells; // row by row
    int NCols = 0;
    std::vector<int> Widths; // in characters
    bool Archive = false;    // the archive banner
};

using TTablePrintHook = std::function<void(const TTablePrintout&)>;

class QWidget;
class TRowList;
// Prints the table in one print job (preview, then the printer or a PDF file); true when it went out.
bool PrintTablePrintout(QWidget* parent, const TTablePrintout& t);

namespace refui {
// An owner-drawn tab list of many rows, 13 pixels high, whose texts are made only when drawn;
// `markSelection` false draws selected entries as the others (lists that only show).
TRowList* MakeRowList13(QWidget* parent, const char* name, std::vector<int> tabStops, bool markSelection);
// Column titles above a tab list: one label per title at the list's left + the given offsets.
void PlaceColumnTitles(QWidget* parent, const QWidget* list, const std::vector<const char*>& titles,
                       const std::vector<int>& offsets);
} // namespace refui
