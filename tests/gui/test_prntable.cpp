// Table printer: layout, pagination and merging as computations, and the PDF it produces.
#include <QtTest>

#include "UPrintJob.h"
#include "UPrnTable.h"
#include "support_print.h"
#include "support_prompt.h"

namespace {

// A page of 2000 x 3000 units; Arial 8 is 40 high and 20 wide; a text is 1 unit per point and
// character wide and 5 units per point high.
TTableMetrics FixedMetrics(int H = 3000) {
    TTableMetrics m;
    m.W = 2000;
    m.H = H;
    m.CharHeight = 40;
    m.AvgCharWidth = 20;
    m.Extent = [](const std::string& text, int size) {
        return TTextExtent{static_cast<int>(text.size()) * size, 5 * size};
    };
    return m;
}

// Rows of three columns: the first two texts given, the third the row number.
std::vector<TPrnCell> Rows(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::vector<TPrnCell> cells = {{"Date", cmSilver}, {"Time", cmSilver}, {"Value", cmSilver}};
    int i = 1;
    for (const auto& [a, b] : rows) {
        cells.push_back({a, cmNone});
        cells.push_back({b, cmNone});
        cells.push_back({std::to_string(i++), cmNone});
    }
    return cells;
}

std::vector<TLaidCell> CellsOfColumn(const TTablePage& page, int col) {
    std::vector<TLaidCell> out;
    for (const TLaidCell& c : page.Cells)
        if (c.Col == col) out.push_back(c);
    return out;
}

} // namespace

class TestPrnTable : public QObject {
    Q_OBJECT
private slots:
    void titleBannerAndHeaderLinesWithoutDataRows();
    void firstColumnRunsMergeAndSecondOnlyInsideThem();
    void pageBreakClosesRunAndRepeatsHeading();
    void pageTotalMatchesPagesLaidOut();
    void footerTexts();
    void pdfPagesFootersAndHeadings();
    void pdfSilverCellsAndMarks();
    void widestTableFitsThePage();
    void columnsWidenToTheirTextsWithinThePage();
};

void TestPrnTable::titleBannerAndHeaderLinesWithoutDataRows() {
    std::vector<TPrnCell> heading = {{"A", cmSilver}, {"B", cmSilver}, {"C", cmSilver}};
    TTableLayout lay = LayoutTable(FixedMetrics(), "T", {"one", "two"}, heading, 3, {10, 10, 10}, true);
    // Title "  T  ": 100 x 100, centred; y below it is 2.5 text heights.
    QCOMPARE(lay.PaddedTitle, std::string("  T  "));
    QVERIFY((lay.TitleBox == TTableRect{949, 49, 1051, 201}));
    QVERIFY((lay.TitleText == TTableRect{950, 50, 1050, 200}));
    // The banner sits at the right edge beside the first header line, on the title's silver brush.
    QVERIFY(lay.HasBanner && lay.BannerSilver);
    QVERIFY((lay.BannerBox == TTableRect{2000 - 360 - 1, 249, 2001, 250 + 90 + 1}));
    QCOMPARE(lay.HeaderY, (std::vector<int>{250, 310}));
    // Widths of 10 characters are 266 units; the table is centred and the header lines start
    // half-way to its left edge.
    QCOMPARE(lay.Widths, (std::vector<int>{266, 266, 266}));
    QCOMPARE(lay.TableLeft, (2000 - 798) / 2);
    QCOMPARE(lay.HeaderX, lay.TableLeft / 2);
    // No data row: one page without any cell, not even the heading row.
    QCOMPARE(lay.Pages.size(), size_t(1));
    QVERIFY(lay.Pages[0].Cells.empty());
    QCOMPARE(lay.ResultY, 410 + 80);

    TTableLayout plain = LayoutTable(FixedMetrics(), "", {}, heading, 3, {10, 10, 10}, true);
    QVERIFY(!plain.HasTitle);
    QVERIFY(!plain.BannerSilver);
    QCOMPARE(plain.BannerBox.Top, -1);
}

void TestPrnTable::firstColumnRunsMergeAndSecondOnlyInsideThem() {
    auto cells = Rows({{"A", "x"}, {"A", "x"}, {"A", "y"}, {"B", "y"}});
    TTableLayout lay = LayoutTable(FixedMetrics(), "T", {}, cells, 3, {10, 10, 10}, false);
    QCOMPARE(lay.Pages.size(), size_t(1));
    const int y0 = 250, rh = 80, x0 = lay.TableLeft;
    auto col0 = CellsOfColumn(lay.Pages[0], 0);
    // Heading, one cell for the three "A" rows, one for "B".
    QCOMPARE(col0.size(), size_t(3));
    QVERIFY((col0[1].Rect == TTableRect{x0, y0 + rh, x0 + 267, y0 + 4 * rh + 1}));
    QCOMPARE(col0[1].Row, 3);
    QVERIFY((col0[2].Rect == TTableRect{x0, y0 + 4 * rh, x0 + 267, y0 + 5 * rh + 1}));
    auto col1 = CellsOfColumn(lay.Pages[0], 1);
    // "x x" merge inside the run; the "y" of row 3 closes with the run although row 4 is "y" too.
    QCOMPARE(col1.size(), size_t(4));
    QVERIFY((col1[1].Rect == TTableRect{x0 + 266, y0 + rh, x0 + 533, y0 + 3 * rh + 1}));
    QCOMPARE(col1[2].Row, 3);
    QCOMPARE(col1[2].Rect.Top, y0 + 3 * rh);
    QCOMPARE(col1[3].Row, 4);
    // Further columns: one cell per row, sharing borders with their neighbours.
    auto col2 = CellsOfColumn(lay.Pages[0], 2);
    QCOMPARE(col2.size(), size_t(5));
    QCOMPARE(col2[1].Rect.Top, col2[0].Rect.Bottom - 1);
    QCOMPARE(lay.ResultY, y0 + 5 * rh + rh);
}

void TestPrnTable::pageBreakClosesRunAndRepeatsHeading() {
    std::vector<std::pair<std::string, std::string>> rows(100, {"D", "t"});
    TTableLayout lay = LayoutTable(FixedMetrics(), "T", {}, Rows(rows), 3, {10, 10, 10}, false);
    QVERIFY(lay.Pages.size() >= 3);
    int dataRows = 0;
    for (size_t p = 0; p < lay.Pages.size(); ++p) {
        const TTablePage& page = lay.Pages[p];
        // Every page opens with the heading row; pages after the first start one row from the top.
        QCOMPARE(page.Cells.front().Row, 0);
        if (p > 0) QCOMPARE(page.Cells.front().Rect.Top, lay.RowHeight);
        int headings = 0;
        for (const TLaidCell& c : page.Cells) headings += c.Row == 0;
        QCOMPARE(headings, 3);
        // The run of equal dates is closed at the last row of each page: heading + one cell.
        auto col0 = CellsOfColumn(page, 0);
        QCOMPARE(col0.size(), size_t(2));
        QVERIFY(col0[1].Rect.Bottom - 1 >= lay.PageLimit || p + 1 == lay.Pages.size());
        dataRows += static_cast<int>(CellsOfColumn(page, 2).size()) - 1;
    }
    QCOMPARE(dataRows, 100);
}

void TestPrnTable::pageTotalMatchesPagesLaidOut() {
    // Rooms that are not multiples of the row height: the estimate and the pages agree.
    for (int R = 0; R <= 200; ++R) {
        std::vector<std::pair<std::string, std::string>> rows(static_cast<size_t>(R), {"a", "b"});
        TTableLayout lay = LayoutTable(FixedMetrics(), "T", {}, Rows(rows), 3, {10, 10, 10}, false);
        QCOMPARE(static_cast<int>(lay.Pages.size()), lay.FormulaTotal);
    }
    // A first page whose room is exactly 35 rows holds 34 data rows: 35 rows need two pages,
    // although the estimate says one. The pages laid out are what the footers count.
    std::vector<std::pair<std::string, std::string>> rows(35, {"a", "b"});
    TTableLayout lay = LayoutTable(FixedMetrics(3040), "", {}, Rows(rows), 3, {10, 10, 10}, false);
    QCOMPARE(lay.FormulaTotal, 1);
    QCOMPARE(lay.Pages.size(), size_t(2));
    QCOMPARE(static_cast<int>(CellsOfColumn(lay.Pages[1], 2).size()), 2);
}

void TestPrnTable::footerTexts() {
    TGuiTempFolder folder;
    const TDateTime day = EncodeDate(2026, 12, 8);
    QCOMPARE(TableFooterText(1, 1, "", day), std::string("- Page 1/1 -  - Printed on 08/12/2026 -"));
    QCOMPARE(TableFooterText(2, 3, "  QC  ", day),
             std::string("- Page 2/3 -   QC   - Printed on 08/12/2026 -"));
}

void TestPrnTable::pdfPagesFootersAndHeadings() {
    TGuiTempFolder folder;
    QString pdf = QString::fromStdString(folder.Path()) + "table.pdf";
    std::vector<std::pair<std::string, std::string>> rows;
    for (int i = 0; i < 150; ++i) rows.push_back({"Day " + std::to_string(i / 4), "t" + std::to_string(i)});
    auto cells = Rows(rows);
    TTableLayout lay;
    TPrintJobSpec job;
    TPrintJob::WritePdf(pdf, job, [&](TPrintCanvas& c) {
        lay = LayoutTable(TableMetrics(c), "Big table", {"first line"}, cells, 3, {10, 10, 10}, true);
        PrintTable(c, "Big table", {"first line"}, cells, 3, {10, 10, 10}, true);
    });
    const int pages = PrnPdfPages(pdf);
    QVERIFY(pages >= 3);
    QCOMPARE(pages, static_cast<int>(lay.Pages.size()));
    std::string text = PrnPdfText(pdf);
    const std::string today = Regional.DateToText(Today());
    for (int p = 1; p <= pages; ++p) {
        // pdftotext writes runs of spaces as one.
        std::string footer = "- Page " + std::to_string(p) + "/" + std::to_string(pages) +
                             " - Big table - Printed on " + today + " -";
        QVERIFY2(PrnCount(text, footer) == 1, footer.c_str());
    }
    // The heading row on every page, the title box and the banner on the first only.
    QCOMPARE(PrnCount(text, "Value"), pages);
    QCOMPARE(PrnCount(text, "Archive document - Keep it"), 1);
    QCOMPARE(PrnCount(text, "first line"), 1);
    QCOMPARE(PrnCount(text, "t149"), 1);
}

void TestPrnTable::pdfSilverCellsAndMarks() {
    TGuiTempFolder folder;
    QString pdf = QString::fromStdString(folder.Path()) + "marks.pdf";
    std::vector<TPrnCell> cells = {{"H1", cmSilver}, {"H2", cmSilver}, {"H3", cmSilver},
                                   {"a", cmNone},    {"b", cmNone},    {"12.5", cmUpUp},
                                   {"c", cmNone},    {"d", cmSilver},  {"7.25", cmCross}};
    TTableLayout lay;
    TPrintJobSpec job;
    TPrintJob::WritePdf(pdf, job, [&](TPrintCanvas& c) {
        lay = LayoutTable(TableMetrics(c), "Marks", {}, cells, 3, {10, 10, 10}, false);
        PrintTable(c, "Marks", {}, cells, 3, {10, 10, 10}, false);
    });
    std::string text = PrnPdfText(pdf);
    QVERIFY(text.find("\u2191\u2191") != std::string::npos);
    QVERIFY(text.find("7.25") != std::string::npos);

    const int dpi = 600; // one device unit per pixel
    const QMarginsF margins = TPrintJob::PdfPageLayout(job).margins(QPageLayout::Inch);
    // The table's region of the page: origin of the printable area plus the table's extent.
    const QPoint origin(static_cast<int>(margins.left() * dpi), static_cast<int>(margins.top() * dpi));
    QImage img = PrnRenderPage(pdf, 1, dpi, QRect(origin, QSize(lay.TableLeft + 1400, lay.ResultY + 50)));
    QVERIFY(!img.isNull());
    auto pixelAt = [&](const TLaidCell& c, double fx, double fy) {
        double x = c.Rect.Left + fx * (c.Rect.Right - c.Rect.Left);
        double y = c.Rect.Top + fy * (c.Rect.Bottom - c.Rect.Top);
        return img.pixelColor(static_cast<int>(x), static_cast<int>(y));
    };
    const auto& page = lay.Pages[0].Cells;
    auto cellOf = [&](int row, int col) {
        for (const TLaidCell& c : page)
            if (c.Row == row && c.Col == col) return c;
        return TLaidCell{};
    };
    QCOMPARE(pixelAt(cellOf(0, 0), 0.1, 0.2), QColor(192, 192, 192));
    QCOMPARE(pixelAt(cellOf(2, 1), 0.1, 0.2), QColor(192, 192, 192));
    QCOMPARE(pixelAt(cellOf(1, 0), 0.1, 0.2), QColor(Qt::white));
    // The crossed cell has a dark pixel on its diagonal, away from its text.
    const TLaidCell crossed = cellOf(2, 2);
    int darkest = 255;
    for (int dx = -3; dx <= 3; ++dx)
        for (int dy = -3; dy <= 3; ++dy) {
            const TTableRect& r = crossed.Rect;
            int x = r.Left + 60 + dx;
            int y = r.Top + 60 * (r.Bottom - r.Top - 1) / (r.Right - r.Left - 1) + dy;
            darkest = std::min(darkest, img.pixelColor(x, y).lightness());
        }
    QVERIFY(darkest < 128);
}

void TestPrnTable::widestTableFitsThePage() {
    TGuiTempFolder folder;
    // Arial 8 at 600 dpi: the printer's average character width is 0.44 em, about 29 units.
    TTableMetrics m;
    std::vector<TPrnCell> heading(7, {"H", cmSilver});
    TTableLayout lay;
    TPrintJob::WritePdf(QString::fromStdString(folder.Path()) + "wide.pdf", TPrintJobSpec{},
                        [&](TPrintCanvas& c) {
                            m = TableMetrics(c);
                            lay = LayoutTable(m, "Wide", {}, heading, 7, {17, 9, 12, 12, 12, 9, 24}, true);
                        });
    QVERIFY(m.AvgCharWidth >= 28 && m.AvgCharWidth <= 31);
    // The daily table, the widest of the printouts, stays inside the printable width.
    QVERIFY(lay.TableLeft > 0);
}

// A text wider than its column (a date with the month's name) widens the column, never past the page.
void TestPrnTable::columnsWidenToTheirTextsWithinThePage() {
    std::vector<TPrnCell> cells = {{"Date", cmSilver},      {"Time", cmSilver}, {"Value", cmSilver},
                                   {"10 Nov 2026", cmNone}, {"10:00", cmNone},  {"5.1", cmNone}};
    TTableLayout lay = LayoutTable(FixedMetrics(), "T", {}, cells, 3, {2, 10, 10}, false);
    QCOMPARE(lay.Widths, (std::vector<int>{11 * 8 + 20, 266, 266}));
    QCOMPARE(lay.TableLeft, (2000 - 108 - 2 * 266) / 2);
    cells[3].Text = std::string(300, 'x');
    lay = LayoutTable(FixedMetrics(), "T", {}, cells, 3, {2, 10, 10}, false);
    QCOMPARE(lay.Widths, (std::vector<int>{2000 - 2 * 266, 266, 266}));
    QCOMPARE(lay.TableLeft, 0);
}

QTEST_MAIN(TestPrnTable)
#include "test_prntable.moc"
