// Normalised charts of an analyte: every level's z-scores on one chart, and the Youden plot of two
// levels, over a chosen period, shown and printed.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <string>
#include <vector>

#include "UAnalyteHandle.h"
#include "UQcSummary.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class TDatePicker;
class TPrintCanvas;

// The z-scores of the points in [from, to] (whole days), each level against its reference figures.
struct TZView {
    std::vector<TLevelFigures> Figures;
    std::vector<TZPoint> Points;
};
TZView ZView(const TAnalyte& a, TDateTime from, TDateTime to, TPeriod inView);
// "Level 1: mean 5.05, SD 0.101 over 5 values (01/03/2026 - 05/03/2026)" or why it has no z.
std::vector<std::string> ZBasisLines(const TAnalyte& a, const TZView& v);
// Both charts on one page: title, the basis lines, the z chart, the Youden plot of levels a and b
// (when the analyte has two levels).
void PrintZScores(TPrintCanvas& canvas, const TAnalyte& a, const TZView& v, int levelA, int levelB,
                  const std::string& period);

class TWinZScores : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinZScores)
public:
    explicit TWinZScores(QWidget* parent = nullptr);
    // "No analyte." without one. `inView`: the main window's points in view, for the levels without a
    // locked interval; the period shown starts as those points' days.
    int Execute(const TAnalyte* analyte, TPeriod inView);

    void Refill();
    void BtPrnClick();

    TDatePicker* DateFrom;
    TDatePicker* DateTo;
    QComboBox* CBLevelA;
    QComboBox* CBLevelB;
    QTabWidget* PageControl;
    QWidget* PBoxZ;
    QWidget* PBoxYouden;
    QLabel* LblBasis;
    QPushButton* BtPrn;
    QPushButton* BtClose;

    const TZView& View() const { return view_; }
    std::vector<TYoudenPoint> Pairs() const;

private:
    TConstAnalyteHandle analyte_;
    TPeriod inView_;
    TZView view_;
};
