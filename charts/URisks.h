// The statistical-risks window: the rows of the t table behind the warning and action limits.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <functional>

#include "UStructures.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;

// The two-state key button of the windows whose commands the password protects.
QToolButton* CreateKeyButton(QWidget* parent);

class TWinRisks : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinRisks)
public:
    explicit TWinRisks(QWidget* parent = nullptr);
    // Opens the window over the current analyte (none when the list is empty). On OK the rows stay
    // in the settings and the settings file is written; any other close restores the former rows.
    int Execute(TAnalyte* current);
    // Called after every live recomputation of the current analyte, so that its chart is repainted.
    std::function<void()> RepaintChart;

    void FormShow();
    void FormActivate();
    void RGAlertClick();
    void RGActionClick();
    void BtUndoClick();
    void BtCleClick();
    void FormClose(int result);

    QLabel* LblInfo;
    QGroupBox* RGAlert;
    QGroupBox* RGAction;
    QButtonGroup* RGAlertItems;
    QButtonGroup* RGActionItems;
    QPushButton* BtOK;
    QPushButton* BtCancel;
    QPushButton* BtUndo;
    QToolButton* BtCle;

private:
    void Recalc();
    // The analyte tried live: one of the list found by its handle each time, as a reload from the
    // server may take it away, or one given from outside the list.
    TAnalyte* Shown() const;
    TAnalyteId uid_ = 0;
    TAnalyte* outside_ = nullptr;
    uint8_t savedAlert_ = 0;
    uint8_t savedAction_ = 4;
};
