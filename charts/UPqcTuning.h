// Tuning a patient-based QC procedure on the laboratory's own stream: the moving average, moving median
// and EWMA, each with limits proposed from the stream, simulated under the biases asked for; a table of
// false alarms and patients affected before detection, the bias detection curve, and the line chosen.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QRect>
#include <optional>
#include <vector>

#include "UPatientQc.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QSpinBox;
class QTableWidget;

// ANPed against the bias, one line per procedure (moving average blue, median green, EWMA orange); a
// bias its procedure does not detect within the stream is drawn at the top.
void DrawPqcTuningCurve(QPainter& p, const QRect& r, const std::vector<TPqcTuningLine>& lines);

class TWinPqcTuning : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinPqcTuning)
public:
    explicit TWinPqcTuning(QWidget* parent = nullptr);
    // `base` gives N, lambda and truncation; the stream is simulated on. `decimals` of the analyte's values.
    int Execute(const TPqcSettings& base, const std::vector<TPatientResult>& stream, int decimals);
    // The table made again from the boxes.
    void BtSimulateClick();
    // The settings of the line chosen with Use, nothing when the window was closed without.
    const std::optional<TPqcSettings>& Chosen() const { return chosen_; }
    const std::vector<TPqcTuningLine>& Lines() const { return lines_; }

    QLineEdit* EdBiases;
    QComboBox* CBBiasUnit;
    QSpinBox* EdRuns;
    QSpinBox* EdSeed;
    QPushButton* BtSimulate;
    QTableWidget* Grid;
    QWidget* PBoxCurve;
    QLabel* LblNote;
    QPushButton* BtUse;
    QPushButton* BtClose;

private:
    void Fill();
    TPqcSettings base_;
    std::vector<TPatientResult> stream_;
    int decimals_ = 2;
    std::vector<TPqcTuningLine> lines_;
    std::optional<TPqcSettings> chosen_;
};
