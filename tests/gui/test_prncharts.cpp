// Chart printout: stretches and page breaks, the printed PDF's pages and texts, colour and
// black-and-white inks, and the window that prints it.
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>
#include <cmath>

#include "UDataLoadSave.h"
#include "UDrawChart.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UPrintJob.h"
#include "UPrnCharts.h"
#include "support_print.h"
#include "support_prompt.h"

namespace {

const TDateTime Day1 = EncodeDate(2025, 3, 1);

// n points, one a day from 1 March 2025, on up to three levels whose materials are "Lypho 1"
// (lot L123), "Norm" (no lot) and "Highx" (lot H9). Values alternate around 5, 10 and 15.
TAnalyte Analyte(int n, int levels) {
    ListSerum.Clear();
    TAnalyte a("GLU", "mmol/l", 2, levels);
    a.MaterialId[0] = ListSerum.AddMaterial("Lypho 1", "L123");
    if (levels > 1) a.MaterialId[1] = ListSerum.AddMaterial("Norm", "");
    if (levels > 2) a.MaterialId[2] = ListSerum.AddMaterial("Highx", "H9");
    for (int k = 0; k < n; ++k) {
        double d = (k % 3 - 1) * 0.2;
        PrnAddPoint(a, Day1 + k + 0.4, {5 + d, 10 + 2 * d, 15 + 3 * d});
    }
    a.RecalcAll();
    return a;
}

std::vector<std::string> PdfPages(const QString& pdf) {
    std::vector<std::string> pages;
    std::string text = PrnPdfText(pdf);
    size_t start = 0;
    for (size_t ff = text.find('\f'); ff != std::string::npos; ff = text.find('\f', start)) {
        pages.push_back(text.substr(start, ff - start));
        start = ff + 1;
    }
    return pages;
}

QString WriteCharts(const std::string& folder, const std::string& name, const TAnalyte& a, int first,
                    int last, const TChartPrintOptions& o) {
    QString pdf = QString::fromStdString(folder + name);
    TPrintJob::WritePdf(pdf, TPrintJobSpec{}, [&](TPrintCanvas& c) { PrintCharts(c, a, first, last, o); });
    return pdf;
}

// The measures of the PDF page the tests print on.
TChartMetrics PdfMetrics(const std::string& folder) {
    TChartMetrics m;
    TPrintJob::WritePdf(QString::fromStdString(folder + "metrics.pdf"), TPrintJobSpec{},
                        [&](TPrintCanvas& c) { m = ChartMetrics(c); });
    return m;
}

struct TInk {
    int navy = 0, lime = 0, yellow = 0, red = 0, black = 0, buttonFace = 0;
    // Rows crossed by a dotted line (many short dark runs) and by a dashed one (fewer, longer runs).
    int dottedRows = 0, dashedRows = 0;
};

bool Near(QRgb p, int r, int g, int b, int tol = 40) {
    return std::abs(qRed(p) - r) <= tol && std::abs(qGreen(p) - g) <= tol && std::abs(qBlue(p) - b) <= tol;
}

// Counts the inks of a rendered chart and the rows crossed by a dotted line (many short dark runs).
TInk Inks(const QImage& img) {
    TInk ink;
    for (int y = 0; y < img.height(); ++y) {
        int runs = 0;
        bool dark = false;
        for (int x = 0; x < img.width(); ++x) {
            QRgb p = img.pixel(x, y);
            ink.navy += Near(p, 0, 0, 128);
            ink.lime += Near(p, 0, 255, 0, 60);
            ink.yellow += Near(p, 255, 255, 0, 60);
            ink.red += Near(p, 255, 0, 0);
            ink.black += Near(p, 0, 0, 0);
            ink.buttonFace += Near(p, 212, 208, 200, 6);
            bool d = qGray(p) < 128;
            if (d && !dark) ++runs;
            dark = d;
        }
        if (runs > 300) ++ink.dottedRows;
        if (runs > 100 && runs <= 300) ++ink.dashedRows;
    }
    return ink;
}

} // namespace

class TestPrnCharts : public QObject {
    Q_OBJECT
private slots:
    void stretchesOf31Points();
    void pageBreaksAndStatisticsRoom();
    void printed62And63Points();
    void statisticsMoveToNewPageInPdf();
    void colourAndBlackAndWhiteInks();
    void windowStateAndUncheckedLevels();
    void windowNothingToPrint();
    void legendWrapsInsideThePage();
};

void TestPrnCharts::stretchesOf31Points() {
    TChartMetrics m{4724, 6567, 77, 33, 192};
    auto ranges = [&](int first, int last) {
        std::vector<std::pair<int, int>> r;
        for (const TChartStretch& s : PlanChartPages(m, 1, 1, first, last, false).Stretches)
            r.emplace_back(s.First, s.Last);
        return r;
    };
    using R = std::vector<std::pair<int, int>>;
    QCOMPARE(ranges(0, 61), (R{{0, 30}, {31, 61}}));
    QCOMPARE(ranges(0, 62), (R{{0, 30}, {31, 61}, {62, 62}}));
    QCOMPARE(ranges(10, 40), (R{{10, 40}}));
    // An interval without points prints one stretch of empty charts.
    QCOMPARE(ranges(5, 4), (R{{5, 4}}));

    TChartPlan p = PlanChartPages(m, 1, 1, 0, 0, false);
    QCOMPARE(p.ChartLeft, 330);
    QCOMPARE(p.ChartRight, 4535);
    QCOMPARE(p.ChartHeight, 907);
    QCOMPARE(PrintedPointX(p, 0), 330);
    QCOMPARE(PrintedPointX(p, 30), 4535);
    QCOMPARE(PrintedPointX(p, 1), 330 + 4205 / 30);
}

void TestPrnCharts::pageBreaksAndStatisticsRoom() {
    // Stretch height with L levels: L * (3h + 907) + 6h; the title leaves y = 480.
    TChartMetrics m{4724, 6567, 77, 33, 192};
    // Three levels: one stretch per page; every further page starts at the top edge.
    TChartPlan three = PlanChartPages(m, 3, 3, 0, 92, true);
    QCOMPARE(three.Stretches.size(), size_t(3));
    QCOMPARE(three.Stretches[0].Page, 0);
    QCOMPARE(three.Stretches[0].Top, 480);
    QCOMPARE(three.Stretches[1].Page, 1);
    QCOMPARE(three.Stretches[1].Top, 0);
    QCOMPARE(three.Stretches[2].Page, 2);
    QCOMPARE(three.StatsPage, 2);
    QCOMPARE(three.StatsTop, 3876);
    QCOMPARE(three.Pages, 3);
    // One level: three stretches fit on the first page, the fourth goes to the second.
    TChartPlan one = PlanChartPages(m, 1, 1, 0, 123, false);
    QCOMPARE(one.Stretches[2].Page, 0);
    QCOMPARE(one.Stretches[2].Top, 480 + 2 * 1600);
    QCOMPARE(one.Stretches[3].Page, 1);
    QCOMPARE(one.Stretches[3].Top, 0);
    // Two of three levels: after two stretches 611 units remain. The table keeps room for every level
    // of the analyte (4 rows of 131 plus 2h = 678), so it moves to a new page; with two levels in all
    // (547) it stays.
    TChartPlan moved = PlanChartPages(m, 2, 3, 0, 61, true);
    QCOMPARE(moved.Stretches[1].Page, 0);
    QCOMPARE(moved.StatsPage, 1);
    QCOMPARE(moved.StatsTop, 0);
    QCOMPARE(moved.Pages, 2);
    TChartPlan stays = PlanChartPages(m, 2, 2, 0, 61, true);
    QCOMPARE(stays.StatsPage, 0);
    QCOMPARE(stays.StatsTop, 480 + 2 * 2738);
    // The limits in force, the legend and the sign-off line then need a page of their own.
    QCOMPARE(stays.AuditPage, 1);
    QCOMPARE(stays.AuditTop, 0);
    QCOMPARE(stays.Pages, 2);
    // Without the statistics the last stretch ends the charts whatever room is left; the limits in
    // force (three rows here) follow where they fit.
    TChartPlan noStats = PlanChartPages(m, 2, 3, 0, 61, false);
    QCOMPARE(noStats.Stretches.back().Page, 0);
    QCOMPARE(noStats.Pages, 2);
    QCOMPARE(noStats.AuditPage, 1);
}

void TestPrnCharts::printed62And63Points() {
    TGuiTempFolder folder;
    const TChartMetrics m = PdfMetrics(folder.Path());
    TChartPrintOptions o;
    TAnalyte a62 = Analyte(62, 2);
    std::string t62 = PrnPdfText(WriteCharts(folder.Path(), "c62.pdf", a62, 0, 61, o));
    QCOMPARE(PrnCount(t62, "Lypho 1 (L123)"), 2);
    QCOMPARE(PrnCount(t62, "Norm ()"), 2);
    QCOMPARE(PrnCount(t62, "GLU QC charts"), 1);

    // Two levels of 63 points: the third stretch, of one point, does not fit on the first page.
    TAnalyte a = Analyte(63, 2);
    const TChartPlan plan = PlanChartPages(m, 2, 2, 0, 62, true);
    QCOMPARE(plan.Stretches.size(), size_t(3));
    QVERIFY(plan.Stretches[2].Page > 0);
    QCOMPARE(plan.Stretches[2].Top, 0);
    QString pdf = WriteCharts(folder.Path(), "c63.pdf", a, 0, 62, o);
    std::vector<std::string> pages = PdfPages(pdf);
    QCOMPARE(int(pages.size()), plan.Pages);
    std::string text;
    for (const std::string& p : pages) text += p;
    // Three stretches, each with its level headings; the title on the first page only.
    QCOMPARE(PrnCount(text, "Lypho 1 (L123)"), 3);
    QCOMPARE(PrnCount(text, "Norm ()"), 3);
    QCOMPARE(PrnCount(text, "GLU QC charts"), 1);
    QCOMPARE(PrnCount(pages[0], "GLU QC charts"), 1);
    for (size_t k = 0; k < pages.size(); ++k)
        QVERIFY(pages[k].find("- Page " + std::to_string(k + 1) + " - GLU QC - Printed on " +
                              Regional.DateToText(Today()) + " -") != std::string::npos);
    // The third stretch holds the single point of 2 May 2025, whose month label starts anew.
    const std::string& third = pages[static_cast<size_t>(plan.Stretches[2].Page)];
    QCOMPARE(PrnCount(third, "Lypho 1 (L123)"), 1);
    QCOMPARE(PrnCount(third, "May"), 1);
    QCOMPARE(PrnCount(text, "Mar"), 1);
    // Statistics over the 63 points: the mean has one decimal more than the analyte's.
    const std::string& last = pages.back();
    QCOMPARE(PrnCount(last, "Statistics"), 1);
    QCOMPARE(PrnCount(last, "m (mmol/l)"), 1);
    QCOMPARE(PrnCount(last, "C.V. (%)"), 1);
    QVERIFY(last.find("5.000") != std::string::npos);
    QVERIFY(last.find("10.000") != std::string::npos);
    QCOMPARE(PrnCount(last, "63"), 2);
}

void TestPrnCharts::statisticsMoveToNewPageInPdf() {
    TGuiTempFolder folder;
    const TChartMetrics m = PdfMetrics(folder.Path());
    // The first printout, with one or two of three levels, after which a table for three levels no
    // longer fits below the last stretch.
    int n = 0, levels = 0;
    TChartPlan plan;
    for (int l = 2; l >= 1 && n == 0; --l)
        for (int k = 1; k <= 12 && n == 0; ++k) {
            TChartPlan p = PlanChartPages(m, l, 3, 0, 31 * k - 1, true);
            if (p.StatsTop == 0) {
                n = 31 * k;
                levels = l;
                plan = p;
            }
        }
    QVERIFY(n > 0);
    QVERIFY(plan.StatsPage > plan.Stretches.back().Page);
    TAnalyte a = Analyte(n, 3);
    TChartPrintOptions o;
    o.Levels = {levels == 2, false, true};
    QString pdf = WriteCharts(folder.Path(), "stats.pdf", a, 0, n - 1, o);
    std::vector<std::string> pages = PdfPages(pdf);
    QCOMPARE(int(pages.size()), plan.Pages);
    const std::string& last = pages.back();
    const std::string& before = pages[pages.size() - 2];
    // The table's page holds no chart; the page before ends with the last stretch and no table.
    QCOMPARE(PrnCount(last, "Statistics"), 1);
    QCOMPARE(PrnCount(last, "Highx (H9)"), 0);
    // Each printed level twice: in the statistics and in the limits in force.
    QCOMPARE(PrnCount(last, "Highx"), 2);
    QCOMPARE(PrnCount(last, "Lypho 1"), levels == 2 ? 2 : 0);
    QCOMPARE(PrnCount(before, "Statistics"), 0);
    QVERIFY(PrnCount(before, "Highx (H9)") >= 1);
    // The unchecked level appears neither in the charts nor in the table.
    for (const std::string& p : pages) QCOMPARE(PrnCount(p, "Norm"), 0);
    QVERIFY(last.find("- Page " + std::to_string(plan.Pages) + " - GLU QC") != std::string::npos);
}

void TestPrnCharts::colourAndBlackAndWhiteInks() {
    TGuiTempFolder folder;
    TAnalyte a = Analyte(31, 1);
    a.Points[5].Levels[0].State = psDiscarded;
    a.RecalcAll();
    const TChartMetrics m = PdfMetrics(folder.Path());
    const TChartPlan plan = PlanChartPages(m, 1, 1, 0, 30, false);
    // The first chart in pixels of a 600-dpi rendering: device units plus the page's margins.
    const QMargins border = TPrintJob::PdfPageLayout(TPrintJobSpec{}).marginsPixels(600);
    const int top = plan.Stretches[0].Top + 3 * m.CharHeight;
    const QRect chart(plan.ChartLeft + border.left(), top + border.top(),
                      plan.ChartRight - plan.ChartLeft + 1, plan.ChartHeight + 1);

    TChartPrintOptions o;
    o.Colour = true;
    const QImage colourImage =
        PrnRenderPage(WriteCharts(folder.Path(), "colour.pdf", a, 0, 30, o), 1, 600, chart);
    TInk colour = Inks(colourImage);
    o.Colour = false;
    const QImage bwImage = PrnRenderPage(WriteCharts(folder.Path(), "bw.pdf", a, 0, 30, o), 1, 600, chart);
    TInk bw = Inks(bwImage);
    // The discarded value (5.2, between the mean and the upper warning line) in the cropped images.
    const LevelStats& lim = a.Limits[0];
    TChartScale s;
    s.Low = lim.RangeLow;
    s.High = lim.RangeHigh;
    s.Mean = lim.Mean;
    s.Top = top;
    s.Bottom = top + plan.ChartHeight;
    s.Scale = plan.ChartHeight / (s.High - s.Low);
    const QPoint discarded(PrintedPointX(plan, 5) - plan.ChartLeft,
                           s.ValueToY(a.Points[5].Levels[0].Value) - top);
    // A cross: ink at its centre, none straight beside it where a disc would be.
    auto isCross = [&](const QImage& img) {
        const int beside = (m.AvgCharWidth * 3) / 4;
        return qGray(img.pixel(discarded)) < 160 && qGray(img.pixel(discarded + QPoint(beside, 0))) > 200 &&
               qGray(img.pixel(discarded - QPoint(beside, 0))) > 200;
    };

    QVERIFY(colour.navy > 1000);  // discs and joining line
    QVERIFY(colour.red > 200);    // the discarded value and the action lines
    QVERIFY(colour.lime > 100);   // mean line
    QVERIFY(colour.yellow > 100); // warning lines
    QCOMPARE(colour.dottedRows, 0);
    QCOMPARE(colour.dashedRows, 0);
    QVERIFY(isCross(colourImage));

    QCOMPARE(bw.navy, 0);
    QCOMPARE(bw.red, 0);
    QCOMPARE(bw.lime, 0);
    QCOMPARE(bw.yellow, 0);
    QVERIFY(bw.black > 1000);
    // Two warning lines dotted, two action lines dashed; the discarded value a black cross.
    QVERIFY(bw.dottedRows >= 2);
    QVERIFY(bw.dashedRows >= 2);
    QCOMPARE(bw.buttonFace, 0); // no grey disc
    QVERIFY(isCross(bwImage));
}

void TestPrnCharts::windowStateAndUncheckedLevels() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    TAnalyte a = Analyte(40, 3);
    QString pdf = QString::fromStdString(folder.Path()) + "win.pdf";
    SetTestOutput(pdf);
    Settings.ColourPrint = false;
    TWinPrnCharts win;
    QString caption, count, reversedCount;
    bool states[3][3] = {};
    bool statChecked = false, colourShown = true, colourStored = false;
    QString level2;
    PrnWhenModal([&] {
        caption = win.windowTitle();
        count = win.PanelNbPoints->text();
        for (int i = 0; i < 3; ++i) {
            QCheckBox* cb = win.findChild<QCheckBox*>(QStringLiteral("CBLevel%1").arg(i + 1));
            states[i][0] = cb->isVisibleTo(&win);
            states[i][1] = cb->isEnabled();
            states[i][2] = cb->isChecked();
        }
        level2 = win.CBLevels[1]->text();
        statChecked = win.CBStat->isChecked();
        colourShown = win.CBColor->isChecked();
        // The colour choice is kept in the settings at once.
        win.CBColor->click();
        colourStored = Settings.ColourPrint;
        win.CBColor->click();
        colourStored = colourStored && !Settings.ColourPrint;
        // Dates in either order; only the points of 3 to 12 March.
        win.DatePicker1->setDate(QDate(2025, 3, 12));
        win.DatePicker2->setDate(QDate(2025, 3, 3));
        reversedCount = win.PanelNbPoints->text();
        win.CBLevels[1]->setChecked(false);
        QTest::mouseClick(win.BtPrint, Qt::LeftButton);
    });
    QVERIFY(win.Execute(a));
    SetTestOutput(QString());
    QCOMPARE(caption, QString("Print QC charts for GLU"));
    QCOMPARE(count, QString("40"));
    QCOMPARE(reversedCount, QString("10"));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(states[i][0]);
        QVERIFY(states[i][1]);
        QVERIFY(states[i][2]);
    }
    QCOMPARE(level2, QString("Norm"));
    QVERIFY(statChecked);
    QVERIFY(!colourShown);
    QVERIFY(colourStored);
    QVERIFY(answers.shown.empty());
    QCOMPARE(TPrintJob::LastSpec().JobTitle, QString("Printing QC charts"));
    QCOMPARE(TPrintJob::LastSpec().Orientation, QPageLayout::Portrait);
    std::string text = PrnPdfText(pdf);
    QCOMPARE(PrnCount(text, "Lypho 1 (L123)"), 1);
    QCOMPARE(PrnCount(text, "Highx (H9)"), 1);
    QCOMPARE(PrnCount(text, "Norm"), 0);
    // Ten points: days 3 to 12 on the date axis, N = 10 in the table.
    QVERIFY(text.find("Statistics") != std::string::npos);
    QVERIFY(text.find(" 10 ") != std::string::npos || text.find(" 10\n") != std::string::npos);

    // A single level cannot be unchecked; levels the analyte lacks are hidden. An empty lot still
    // gets its parentheses.
    TAnalyte one = Analyte(3, 1);
    one.MaterialId[0] = ListSerum.AddMaterial("Solo & Co", "");
    one.Name = "WMWMWMWMWMWMWMW"; // the window is wide enough for its whole title
    SetTestOutput(pdf);
    bool hidden2 = false, enabled1 = true;
    QString solo;
    int width = 0;
    PrnWhenModal([&] {
        width = win.width();
        hidden2 = !win.CBLevels[1]->isVisibleTo(&win) && !win.CBLevels[2]->isVisibleTo(&win);
        enabled1 = win.CBLevels[0]->isEnabled();
        solo = win.CBLevels[0]->text();
        QTest::mouseClick(win.BtPrint, Qt::LeftButton);
    });
    QVERIFY(win.Execute(one));
    SetTestOutput(QString());
    QVERIFY(hidden2);
    QVERIFY(!enabled1);
    QVERIFY(width >= TitleBarWidth(QStringLiteral("Print QC charts for WMWMWMWMWMWMWMW")));
    QCOMPARE(solo, QString("Solo && Co"));
    QVERIFY(PrnPdfText(pdf).find("Solo & Co ()") != std::string::npos);
}

void TestPrnCharts::windowNothingToPrint() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    QString pdf = QString::fromStdString(folder.Path()) + "none.pdf";
    SetTestOutput(pdf);
    TWinPrnCharts win;
    TAnalyte empty("NA", "mmol/l", 0, 1);
    QVERIFY(!win.Execute(empty));
    QCOMPARE(answers.LastText(), std::string("Nothing to print"));
    QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));

    // No level checked: the box, then the window closes without a printout.
    TAnalyte a = Analyte(5, 2);
    PrnWhenModal([&] {
        win.CBLevels[0]->setChecked(false);
        win.CBLevels[1]->setChecked(false);
        QTest::mouseClick(win.BtPrint, Qt::LeftButton);
    });
    QVERIFY(!win.Execute(a));
    QCOMPARE(answers.shown.size(), size_t(2));
    QCOMPARE(answers.LastText(), std::string("Nothing to print"));
    QVERIFY(!win.isVisible());
    QVERIFY(!QFile::exists(pdf));

    // An interval without points prints one stretch of empty charts (and its statistics table).
    PrnWhenModal([&] {
        win.DatePicker1->setDate(QDate(2026, 1, 1));
        win.DatePicker2->setDate(QDate(2026, 1, 2));
        QTest::mouseClick(win.BtPrint, Qt::LeftButton);
    });
    QVERIFY(win.Execute(a));
    SetTestOutput(QString());
    QCOMPARE(PrnPdfPages(pdf), 1);
    std::string text = PrnPdfText(pdf);
    QCOMPARE(PrnCount(text, "Lypho 1 (L123)"), 1);
    QCOMPARE(PrnCount(text, "Norm ()"), 1);
    QCOMPARE(PrnCount(text, "Mar"), 0);

    // A printout that could not be written is no success: the window stays open for another try.
    SetTestOutput(QString::fromStdString(folder.Path()) + "no-such-folder/charts.pdf");
    bool stayed = false;
    PrnWhenModal([&] {
        QTest::mouseClick(win.BtPrint, Qt::LeftButton);
        stayed = win.isVisible();
        QTest::mouseClick(win.BtCancel, Qt::LeftButton);
    });
    const size_t boxes = answers.shown.size();
    QVERIFY(!win.Execute(a));
    SetTestOutput(QString());
    QVERIFY(stayed);
    QCOMPARE(answers.shown.size(), boxes + 1);
    QCOMPARE(answers.shown.back().kind, mkError);
}

namespace {
// Lengthens the legend's texts, as a translation may.
class TLongLegend : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
        if (qstrcmp(context, "TChartPrinter") != 0) return {};
        for (const char* t : {"value", "discarded", "mean", "warning limits", "action limits",
                              "locked interval", "reviewed and signed"})
            if (qstrcmp(source, t) == 0)
                return QString::fromLatin1(source) + QStringLiteral(" of the laboratory");
        return {};
    }
};
} // namespace

// A legend longer than the page is wide goes on in a further line: no ink in the right margin.
void TestPrnCharts::legendWrapsInsideThePage() {
    TGuiTempFolder folder;
    TAnalyte a = Analyte(10, 1);
    TLongLegend longer;
    QCoreApplication::installTranslator(&longer);
    const QString pdf = WriteCharts(folder.Path(), "legend.pdf", a, 0, 9, TChartPrintOptions{});
    QCoreApplication::removeTranslator(&longer);
    QCOMPARE(PrnCount(PrnPdfText(pdf), "laboratory"), 7);
    for (int page = 1; page <= PrnPdfPages(pdf); ++page) {
        const QImage img = PrnRenderPage(pdf, page, 72);
        // The outer 3 mm of the margin.
        for (int x = img.width() - 8; x < img.width(); ++x)
            for (int y = 0; y < img.height(); ++y)
                QVERIFY2(qGray(img.pixel(x, y)) > 200, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }
}

QTEST_MAIN(TestPrnCharts)
#include "test_prncharts.moc"
