// The peer comparison of an analyte: per month and level the laboratory's mean and SD beside the peer
// group's, the SDI, the CVR and the band, and a chart of both intervals.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QRect>
#include <vector>

#include "UAnalyteHandle.h"
#include "UOperations.h"

class QComboBox;
class QLabel;
class QPainter;
class QPushButton;
class QTableWidget;

// Each row a column: the peer interval (mean +- SD, grey) and the laboratory's (blue), in peer SDs
// about the peer mean, with the lines at +-1 and +-2 SDI; a row without lab values shows the peer's only.
void DrawPeerChart(QPainter& p, const QRect& r, const std::vector<TOperations::TPeerComparison>& rows);

class TWinPeer : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinPeer)
public:
    explicit TWinPeer(QWidget* parent = nullptr);
    // "No analyte." without one; the months of the analyte's peer statistics, the latest chosen.
    int Execute(const TAnalyte* analyte);
    void Refill();

    QComboBox* CBMonth;
    QTableWidget* Grid;
    QWidget* PBoxPeer;
    QLabel* LblNote;
    QPushButton* BtClose;

    const std::vector<TOperations::TPeerComparison>& Rows() const { return rows_; }

private:
    TConstAnalyteHandle analyte_;
    std::vector<TOperations::TPeerComparison> rows_;
};
