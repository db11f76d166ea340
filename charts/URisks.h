// The statistical-risks window: the rows of the t table behind the warning and action limits.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <functional>
#include <memory>

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
    // Opens the window over the current analyte (none when the list is empty). The rows clicked are
    // tried on a copy of the analyte; the settings are left alone until OK writes the rows chosen
    // through the layer.
    int Execute(TAnalyte* current);
    // Called with the copy computed with the rows tried, so that its chart is drawn in place of the
    // analyte's; with none when the rows in force are shown again (or the analyte is gone).
    std::function<void(std::shared_ptr<const TAnalyte>)> ShowPreview;
    // The rows the window shows: those in force at opening, or those tried since.
    TRiskRows Tried() const { return tried_; }

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
    void Preview();
    // The analyte previewed: one of the list found by its handle each time, as a reload from the
    // server may take it away, or one given from outside the list.
    const TAnalyte* Shown() const;
    TAnalyteId uid_ = 0;
    TAnalyte* outside_ = nullptr;
    TRiskRows saved_, tried_;
    bool previewing_ = false;
};
