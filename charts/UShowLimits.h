// The control-limits view of the current analyte: one column per QC level, common CV, printout.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QSize>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "UPrnTable.h"
#include "UQualityGoals.h"

class QCheckBox;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QToolButton;
class QWidget;
class TAnalyte;
class TPrintCanvas;
class TSigmaPages;

constexpr int LimitsRows = 10;

// The texts of the view: LimitsRows rows of NbLevels + 1 columns, labels in column 0.
std::vector<std::vector<std::string>> LimitsTexts(const TAnalyte& a);
// The printed table: every cell of the view, row 0 and column 0 on silver.
std::vector<TPrnCell> LimitsCells(const TAnalyte& a);
// The chosen risks, the common-CV state and the multirule switch, above the table.
std::vector<std::string> LimitsHeaderLines(const TAnalyte& a);
void PrintLimits(TPrintCanvas& canvas, const TAnalyte& a);

class TWinShowLimits : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinShowLimits)
public:
    explicit TWinShowLimits(QWidget* parent = nullptr);
    ~TWinShowLimits() override;
    // "No analyte." without an analyte. The window shows a copy of the analyte, on which the common-CV
    // method is tried; OK writes the method chosen through the layer, any other close drops the copy.
    int Execute(TAnalyte* analyte);
    // Called with the copy whenever the method tried changes its limits, so that its chart is drawn
    // in place of the analyte's; with none when the window closes.
    std::function<void(std::shared_ptr<const TAnalyte>)> ShowPreview;
    // The points in view in the main window, for the figures of levels without a locked interval;
    // every point when not set.
    std::function<TPeriod(const TAnalyte&)> ViewPeriod;

    void FormCreate();
    void FormShow();
    void FormActivate();
    void CBCommonCVClick();
    void BtCleClick();
    void BtPrnClick();
    void FormClose(int result);

    // The table of limits, then the quality goals and Sigma figures, then their charts.
    QTabWidget* PageControl;
    TSigmaPages* Sigma;
    QTableWidget* Grid;
    QWidget* PanelBottom;
    QCheckBox* CBCommonCV;
    QPushButton* BtOK;
    QPushButton* BtCancel;
    QPushButton* BtPrn;
    QToolButton* BtCle;

private:
    // Widens the columns to their longest texts and sizes the grid, the bottom panel and the window.
    void FitColumns();
    // The window to the page shown: the limits, or the larger pages of the goals.
    void FitWindow();
    QSize limitsSize_;
    // The copy shown, and the analyte it was made of: one of the list found by its handle at OK, as a
    // reload from the server may take it away, or one given from outside the list.
    std::shared_ptr<TAnalyte> copy_;
    TAnalyte* analyte_ = nullptr;
    TAnalyteId uid_ = 0;
    TAnalyte* outside_ = nullptr;
    bool savedCommonCV_ = false;
    bool previewing_ = false;
};
