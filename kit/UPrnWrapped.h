// The table printer of the records with long texts (the journal, the Sigma figures): cells that wrap
// over the whole width; and the page numbering of a printout made of several parts.
#pragma once

#include <string>
#include <vector>

#include "UPrintJob.h"
#include "UPrnTable.h"

// A table whose cells wrap, over the whole printable width: column k takes widths[k] / (sum of widths)
// of it; texts are left-aligned and broken between words (a word wider than its column anywhere); a
// row is as tall as its tallest cell and is not split over two pages. The first nCols cells are the
// heading row, repeated at the top of every page. The title box as PrintTable prints it and the
// header lines (wrapped), from the top of the canvas's current page; each page has the footer
// "- Page n/total - ...". Returns the y one line below the last row.
int PrintWrappedTable(TPrintCanvas& canvas, const std::string& title,
                      const std::vector<std::string>& headerLines, const std::vector<TPrnCell>& cells,
                      int nCols, const std::vector<int>& widths);

// The footer of the canvas's current page, TableFooterText centred at the bottom: `page` of `total`,
// or the page in the whole printout while a TPrintoutPages counts it.
void PrintPageFooter(TPrintCanvas& canvas, int page, int total, const std::string& paddedTitle);
// The rule that opens the footer band of a page, across the canvas's whole width: every page shows
// the margins it keeps. `textTop` is the top of the footer's text.
void PrintFooterRule(TPrintCanvas& canvas, int textTop);
// The journal's head ("Journal ID:HASH"), small, at the right of the footer band; nothing without a
// journal. Drawn by PrintFooterRule, so every footer carries it.
void PrintJournalHead(TPrintCanvas& canvas, int textTop);

// While one lives, the footers of the table printers number their pages in the whole printout (the
// limits and the goals' pages after them) instead of among each table's own pages. The pages are
// counted by drawing the printout once, on a page like the canvas's, into a document thrown away.
class TPrintoutPages {
public:
    TPrintoutPages(TPrintCanvas& canvas, const TPrintDrawer& draw);
    ~TPrintoutPages();
    TPrintoutPages(const TPrintoutPages&) = delete;
    TPrintoutPages& operator=(const TPrintoutPages&) = delete;
};
// The pages of the printout being drawn; 0 outside a TPrintoutPages.
int PrintoutPages();
