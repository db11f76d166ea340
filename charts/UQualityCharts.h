// Charts of the quality goals: power function, method decision chart, z-score chart and Youden plot,
// each drawn into a rectangle of any QPainter (window, image or printed page).
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "UPatientQc.h"
#include "UPowerFunction.h"
#include "UQcSummary.h"
#include "UQualityGoals.h"
#include "URunPlanning.h"

class QPainter;

// A level's critical systematic error, marked on the power function.
struct TPowerMark {
    int Level = 0;
    long double Shift = 0;
};

// Probability of rejection (0 to 1) against systematic error 0 to 5 SD: the program's rules, and
// 1:3s and 1:2s alone; each level's critical error marked.
void DrawPowerFunction(QPainter& p, const QRect& r, const std::vector<TPowerPoint>& power,
                       const std::vector<TPowerMark>& marks);

// Bias against CV with the lines of Sigma 2 to 6; each level a point (hollow when its bias is not known).
void DrawDecisionChart(QPainter& p, const QRect& r, const TDecisionChart& chart);

// The maximum run size (patients between QC events, log scale 1 to 10000) against Sigma, one curve per
// rule set, curve `inForce` drawn bold; each level's Sigma marked (a mark's Shift is its Sigma).
void DrawRunSizeNomogram(QPainter& p, const QRect& r, const TNomogram& g, size_t inForce,
                         const std::vector<TPowerMark>& sigmas);

// Every level's z in time order on one chart with the lines at 0, +-1, +-2 and +-3 SD; a warning is
// drawn yellow, a reject red, a discarded value as a cross. `levels` in use; dates under the axis.
void DrawZChart(QPainter& p, const QRect& r, const std::vector<TZPoint>& z, int levels);

// z of level B against z of level A, the +-2 and +-3 SD squares, the points joined in time order
// (the newest ringed); a pair beyond the squares' range is drawn at the edge.
void DrawYoudenPlot(QPainter& p, const QRect& r, const std::vector<TYoudenPoint>& pairs, int levelA,
                    int levelB);

// A patient-based QC statistic in time order with its target (green) and control limits (red dashed), a
// point outside the limits red; each alarm a vertical line, red while open, grey once acknowledged.
void DrawPqcChart(QPainter& p, const QRect& r, const std::vector<TPqcPoint>& points, const TPqcSettings& s,
                  const std::vector<TPqcAlarm>& alarms);

// Text with n decimals (regional decimal mark), for the charts' axes and the views' figures.
QString FixedText(long double v, int decimals);

// A white box whose picture is drawn by a function at each paint: the windows' chart areas.
class TChartBox : public QWidget {
public:
    TChartBox(QWidget* parent, std::function<void(QPainter&, const QRect&)> draw);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::function<void(QPainter&, const QRect&)> draw_;
};
