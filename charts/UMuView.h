// The measurement uncertainty of an analyte over a period: per level the lots pooled with their n and
// CV, u(Rw), u(bias) and its source, u_c and U at the chosen k, the allowable U and whether it is met.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <vector>

#include "UOperations.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TDatePicker;

class TWinMu : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinMu)
public:
    explicit TWinMu(QWidget* parent = nullptr);
    // The analyte given preselected (the first without one), the last six months, k = 2.
    int Execute(const TAnalyte* analyte);
    void Refill();
    void BtPrintClick();

    QComboBox* CBAnalyte;
    TDatePicker* DateFrom;
    TDatePicker* DateTo;
    QDoubleSpinBox* EditK;
    QComboBox* CBBias;
    QLineEdit* EditTargetU;
    QLineEdit* EditMaxU;
    QLineEdit* EditCvi;
    QTableWidget* Grid;
    QLabel* LblNote;
    QPushButton* BtPrint;
    QPushButton* BtClose;

    const std::vector<TLevelUncertainty>& Levels() const { return levels_; }

private:
    // The request the controls give; false with the reason in `why` for a value that is no number.
    bool Request(TUncertaintyRequest& r, QString& why) const;
    const TAnalyte* Analyte() const;
    TUncertaintyRequest request_;
    std::vector<TLevelUncertainty> levels_;
    std::vector<std::string> notes_;
};
