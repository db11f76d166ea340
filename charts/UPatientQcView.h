// Patient-based QC of an analyte: its procedure and settings, the statistic's chart with its target,
// limits and alarms, the results left out, and the alarms acknowledged with the corrective action.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <vector>

#include "UAnalyteHandle.h"
#include "UOperations.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class TWinPqcTuning;

class TWinPatientQc : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinPatientQc)
public:
    explicit TWinPatientQc(QWidget* parent = nullptr);
    // "No analyte." without one; else the analyte's procedure as kept, its chart and alarms.
    int Execute(const TAnalyte* analyte);
    // Everything read again from the stream and the procedure kept.
    void Refill();
    // The settings proposed from the stream's own history into the boxes (not yet saved).
    void BtProposeClick();
    // The boxes' settings kept as the analyte's procedure.
    void BtSaveClick();
    // The tuning window on the stream with the boxes' window and truncation; the line chosen there goes
    // into the boxes (not yet saved).
    void BtTuneClick();
    // The chosen open alarm acknowledged with the corrective action asked for, by the operator chosen.
    void BtAcknowledgeClick();

    QComboBox* CBProcedure;
    QSpinBox* EdN;
    QLineEdit* EdLambda;
    QLineEdit* EdTruncLow;
    QLineEdit* EdTruncHigh;
    QComboBox* CBTruncation;
    QLineEdit* EdTarget;
    QLineEdit* EdLow;
    QLineEdit* EdHigh;
    QPushButton* BtPropose;
    QPushButton* BtSave;
    QPushButton* BtTune;
    TWinPqcTuning* WinTuning;
    QWidget* PBoxPqc;
    QLabel* LblCounts;
    QTableWidget* GridAlarms;
    QComboBox* CBOperator;
    QPushButton* BtAcknowledge;
    QPushButton* BtClose;

    const TPqcRun& Run() const { return run_; }
    const std::vector<TPqcAlarm>& Alarms() const { return alarms_; }

private:
    void ShowSettings(const TPqcSettings& s);
    // The boxes read; false (and the reason shown) when one cannot be.
    bool ReadSettings(TPqcSettings& s, bool withLimits);
    void UpdateButtons();
    TConstAnalyteHandle analyte_;
    std::optional<TPqcSettings> kept_;
    TPqcRun run_;
    std::vector<TPqcAlarm> alarms_;
};
