// The external quality assessment of an analyte: its EQA results with the z-score, band, relative bias
// and corrective action, a chart of the z-scores over the distributions, results typed in or imported,
// and the corrective action asked for each unacceptable one.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QRect>
#include <map>
#include <string>
#include <vector>

#include "UAnalyteHandle.h"
#include "UEqa.h"

class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QTableWidget;

// The z-scores by date, one mark per result (green acceptable, orange questionable, red unacceptable;
// a hollow mark at 0 for a result without a z-score), with lines at 0, +-2 and +-3.
void DrawEqaChart(QPainter& p, const QRect& r, const std::vector<TEqaResult>& results);

// One result typed in: the scheme's fields of the sample, the analyte's given.
class TWinEqaAdd : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinEqaAdd)
public:
    explicit TWinEqaAdd(QWidget* parent = nullptr);
    // The fields in the order of EqaColumns (UTF-8, numbers with a point).
    std::vector<std::string> Fields(const std::string& analyte) const;

    QLineEdit *EdScheme, *EdDistribution, *EdSample, *EdDate, *EdResult, *EdAssigned, *EdSd, *EdParticipants;
    QPushButton *BtOk, *BtCancel;
};

class TWinEqa : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinEqa)
public:
    explicit TWinEqa(QWidget* parent = nullptr);
    // "No analyte." without one; the analyte's results, the latest selected.
    int Execute(const TAnalyte* analyte);
    void Refill();

    QTableWidget* Grid;
    QWidget* PBoxEqa;
    QLabel* LblNote;
    QPushButton *BtAdd, *BtImport, *BtAction, *BtClose;
    // The typing window, opened by Add.
    TWinEqaAdd* WinAdd;

    const std::vector<TEqaResult>& Results() const { return results_; }

private:
    void BtAddClick();
    void BtImportClick();
    void BtActionClick();
    // Asks the corrective action of an unacceptable result until one is given or the user cancels.
    void AskAction(const TEqaResult& r);
    // The samples among `before` and now that are new and unacceptable.
    std::vector<TEqaResult> NewUnacceptable(const std::vector<TEqaResult>& before) const;
    void UpdateButtons();

    TConstAnalyteHandle analyte_;
    std::vector<TEqaResult> results_;
    std::map<std::string, std::string> actions_;
};
