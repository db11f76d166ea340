// The monthly summary of an analyte: per month and level, and over all the chosen months, the figures
// against the quality goal and the values judged warnings and rejects; shown, printed, exported as CSV.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <string>
#include <vector>

#include "UAnalyteHandle.h"
#include "UQcSummary.h"

class QLabel;
class QPushButton;
class QTableWidget;
class TDatePicker;
class TPrintCanvas;

const std::vector<std::string>& SummaryHeader();
// One row per month and level, then one per level over all the months; cells as SummaryHeader.
std::vector<std::vector<std::string>> SummaryRows(const TAnalyte& a, const TSummary& s);
// The same rows as CSV: UTF-8 with a byte-order mark, ';' between fields, the regional decimal mark,
// lines ended by CR LF, the analyte's name first on each line; a figure not available is empty.
std::string SummaryCsv(const TAnalyte& a, const TSummary& s);
void PrintSummary(TPrintCanvas& canvas, const TAnalyte& a, const TSummary& s);

class TWinMonthlySummary : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinMonthlySummary)
public:
    explicit TWinMonthlySummary(QWidget* parent = nullptr);
    // "No analyte." without one; the months shown start as the six up to the last point's.
    int Execute(const TAnalyte* analyte);

    void Refill();
    void BtPrnClick();
    void BtExportClick();

    TDatePicker* DateFrom;
    TDatePicker* DateTo;
    QTableWidget* Grid;
    QLabel* LblGoal;
    QPushButton* BtPrn;
    QPushButton* BtExport;
    QPushButton* BtClose;

    const TSummary& Summary() const { return summary_; }

private:
    TMonth From() const;
    TMonth To() const;
    TConstAnalyteHandle analyte_;
    TSummary summary_;
};
