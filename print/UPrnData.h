// The QC data printout: one line per point of an interval with marked values and statistics lines.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <string>
#include <vector>

#include "UAnalyteHandle.h"
#include "UPrnTable.h"
#include "UStructures.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QPushButton;

// The points of an analyte dated from day d1 to day d2 (whole days, in either order).
struct TPointInterval {
    int First = 0;
    int Last = -1;
    int Count = 0;
};
TPointInterval PointInterval(const TAnalyte& a, TDateTime d1, TDateTime d2);

// The mark of a value cell from the state of the level's value.
uint8_t ValueMark(PointState s);

// The table of the data printout: heading row, one line per point, optional statistics lines.
struct TDataTable {
    std::vector<std::string> HeaderLines;
    std::vector<TPrnCell> Cells;
    int NCols = 0;
    std::vector<int> Widths;
};
TDataTable BuildDataTable(const TAnalyte& a, int first, int last, bool stats);

// Prints the data of points first to last on the canvas; the caller owns the print job.
void PrintQCData(TPrintCanvas& canvas, const TAnalyte& a, int first, int last, bool stats);

class TWinPrnData : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinPrnData)
public:
    explicit TWinPrnData(QWidget* parent = nullptr);
    // Opens the window for the analyte; "Nothing to print" when it has no point.
    int Execute(TAnalyte* analyte);

    void FormActivate();
    void CountNbLines();
    void BtPrintClick();

    QDateEdit* DatePicker1;
    QDateEdit* DatePicker2;
    QLabel* PanelNbLines;
    QCheckBox* CBPrnStats;
    QPushButton* BtPrint;
    QPushButton* BtCancel;

private:
    TAnalyteHandle analyte_;
};
