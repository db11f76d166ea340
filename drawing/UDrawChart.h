// Levey-Jennings control charts of one analyte, drawn on any QPainter (screen, image or printer).
#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "UStructures.h"

// The charts' colours, shared by the screen drawing and the printed charts.
namespace chartcolour {
inline const QColor PaleCyan(176, 255, 255);
inline const QColor Silver(192, 192, 192);
inline const QColor Lime(0, 255, 0);
inline const QColor Yellow(255, 255, 0);
inline const QColor Red(255, 0, 0);
inline const QColor Navy(0, 0, 128);
inline const QColor Blue(0, 0, 255);
inline const QColor Green(0, 128, 0);
} // namespace chartcolour

class QPainter;

// Chart geometry in device pixels, fixed for the program's life.
constexpr int ChartLeft = 40;
constexpr int PointStep = 15;
constexpr int ChartRight = ChartLeft + 30 * PointStep;
constexpr int ChartHeight = 120;
constexpr int PointRadius = 3;
constexpr int SelectedRadius = PointRadius + 1;

// The vertical scale of one level's chart.
struct TChartScale {
    long double Low = 0, High = 0, Scale = 2, Mean = 0;
    int Top = 0, Bottom = ChartHeight;
    // Values strictly inside the range are mapped (rounding half to even); others are pinned to the
    // top edge when above the target, else to the bottom edge.
    int ValueToY(long double v) const;
};
TChartScale MakeChartScale(const LevelStats& limits, int top);

struct TAxisLabel {
    long double Value;
    std::string Text;
};
// The value-axis labels of a display range; a range narrower than 1e-5 gets one label, at the target,
// written with targetDecimals.
std::vector<TAxisLabel> ValueAxisLabels(long double low, long double high, long double target,
                                        int targetDecimals);

// Whether the silver frame lines are drawn: never over an action line lying on the edge.
bool DrawsTopFrame(const TChartScale& s, const LevelStats& limits);
bool DrawsBottomFrame(const TChartScale& s, const LevelStats& limits);

// mode 1 draws the level in silver (marked for erasure). selected is the highlighted point or -1.
void DrawLevelChart(QPainter& canvas, const TAnalyte& a, int selected, int mode, int level, int first,
                    int last, int top);
// The name of a limit mode (lmMobile, lmLocked, lmFixed) in the user's language.
QString LimitModeText(int mode);
// The short name of a month (1 to 12) under the date axis, in the user's language.
QString MonthAbbreviation(int month);
// Uses the top and text metrics left by the preceding DrawLevelChart.
void DrawLevelLegend(QPainter& canvas, const TAnalyte& a, int level);
void DrawDateAxis(QPainter& canvas, const TAnalyte& a, int first, int last, int selStart, int selEnd, int y);
// The month and year labels under the days of the date axis: a month at its first point, or at the
// first point after it where it does not run into the label before; a year under its month's first
// label. Row 1 holds the months, row 2 the years; left edges in device pixels.
struct TDateAxisLabel {
    QString Text;
    int Row;
    int Left, Width;
};
std::vector<TDateAxisLabel> DateAxisLabels(const TAnalyte& a, int first, int last,
                                           const std::function<int(int index)>& xOf,
                                           const std::function<int(const QString&)>& textWidth);
void DrawCommentMarks(QPainter& canvas, const TAnalyte& a, int y, int first, int last);
// The band under the date axis drawn at dateAxisY, over the points a signed review covers (reviews given
// as their first and last days, both included).
void DrawReviewBand(QPainter& canvas, const TAnalyte& a, int first, int last, int dateAxisY,
                    const std::vector<std::pair<TDateTime, TDateTime>>& signedDays);
// Events between the runs (patient-based QC alarms) fall between the columns of the runs around them.
// The span of time the visible stretch first..last covers: from the run before it (or the beginning)
// to the run after it (or the end).
std::pair<TDateTime, TDateTime> StretchTimes(const TAnalyte& a, int first, int last);
// Where an event at `t` is drawn: halfway between the columns of the last run before it and the next;
// none outside the stretch's span.
std::optional<int> EventX(const TAnalyte& a, TDateTime t, int first, int last);
// Each alarm (its time, and whether it is still open) as a dashed line across the charts from `top` to
// `bottom`, red while open and grey once acknowledged, under a "P".
void DrawPatientQcMarks(QPainter& canvas, const TAnalyte& a,
                        const std::vector<std::pair<TDateTime, bool>>& alarms, int top, int bottom, int first,
                        int last);

// Top of the first chart for an analyte with n levels.
inline int FirstChartTop(int nbLevels) {
    return 18 + (3 - nbLevels) * 60;
}
