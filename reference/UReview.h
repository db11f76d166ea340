// TWinReview: the review of a period before sign-off, and the sign-off with operator code and password.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class TAnalyte;
class TDatePicker;

class TWinReview : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinReview)
public:
    explicit TWinReview(QWidget* parent = nullptr);
    // Opens on the current analyte and the previous calendar month.
    void Execute(const TAnalyte* current);
    void FormActivate(const TAnalyte* current);
    std::vector<TAnalyte*> ChosenAnalytes() const;
    // The report of the chosen analytes and period.
    void BtShowClick();
    // Signs the period of each chosen analyte; true when all were signed.
    bool BtSignClick();
    // Prints the report of the chosen analytes with their sign-off lines.
    void BtPrintClick();

    QListWidget* LBAnalytes;
    TDatePicker* DateFrom;
    TDatePicker* DateTo;
    QPushButton* BtShow;
    QPlainTextEdit* Report;
    QComboBox* CBReviewer;
    QLineEdit* EditPassword;
    QPushButton* BtSign;
    QPushButton* BtPrint;
    QPushButton* BtClose;
};
