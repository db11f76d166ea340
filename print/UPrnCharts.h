// The chart printout: the Levey-Jennings charts of an interval in stretches of 31 points, with statistics.
#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QDialog>
#include <array>
#include <vector>

#include "UAnalyteHandle.h"
#include "UStructures.h"

class QCheckBox;
class QDateEdit;
class QFrame;
class QLabel;
class QPushButton;
class TPrintCanvas;

// What one chart printout contains.
struct TChartPrintOptions {
    std::array<bool, MaxLevels> Levels{true, true, true}; // levels beyond NbLevels are ignored
    bool Stats = true;
    bool Colour = false;
};

// The measures the page layout depends on, in printer device units.
struct TChartMetrics {
    int W = 0;          // printable width
    int H = 0;          // printable height
    int CharHeight = 0; // Arial 8
    int AvgCharWidth = 0;
    int TitleHeight = 0; // the title's text height (Arial 20)
};

// Where the charts of points First to Last go: their page (0-based) and the y above their headings.
struct TChartStretch {
    int First = 0;
    int Last = -1;
    int Page = 0;
    int Top = 0;
};

struct TChartPlan {
    int ChartLeft = 0, ChartRight = 0, ChartHeight = 0;
    std::vector<TChartStretch> Stretches;
    bool Stats = false;
    int StatsPage = 0, StatsTop = 0;
    // The limits in force, the legend of the symbols and the review sign-off.
    int AuditPage = 0, AuditTop = 0;
    int Pages = 1;
};

// The x of the k-th point column (0 to 30) of a stretch.
int PrintedPointX(const TChartPlan& plan, int k);

// Lays out the printout of points first to last with `levels` charts per stretch; nbLevels is the
// analyte's level count, which sizes the room kept for the statistics table. An interval without
// points still gets one stretch of empty charts.
TChartPlan PlanChartPages(const TChartMetrics& m, int levels, int nbLevels, int first, int last, bool stats);

// The measures of the canvas's page and of the printout's fonts on its device.
TChartMetrics ChartMetrics(TPrintCanvas& canvas);

// Prints the charts of points first to last on the canvas from its current page on; the caller owns
// the print job.
void PrintCharts(TPrintCanvas& canvas, const TAnalyte& a, int first, int last, const TChartPrintOptions& o);

class TWinPrnCharts : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinPrnCharts)
public:
    explicit TWinPrnCharts(QWidget* parent = nullptr);
    // Opens the window for the analyte ("Nothing to print" when it has no point); true when a
    // printout went out.
    bool Execute(TAnalyte& analyte);

    void FormCreate();
    void FormActivate();
    void CountNbPoints();
    void CBColorClick();
    void BtPrintClick();

    QFrame* Panel1;
    QDateEdit* DatePicker1;
    QDateEdit* DatePicker2;
    QLabel* PanelNbPoints;
    std::array<QCheckBox*, MaxLevels> CBLevels{};
    QCheckBox* CBStat;
    QCheckBox* CBColor;
    QPushButton* BtPrint;
    QPushButton* BtCancel;

private:
    TAnalyteHandle analyte_;
    bool printed_ = false;
};
