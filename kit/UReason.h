// The window that asks why a change is made: a reason, or a corrective action from the list with free text.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The longest reason or corrective action text; the journal keeps it whole.
constexpr int MaxReasonLength = 5000;

class TWinReason : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinReason)
public:
    explicit TWinReason(QWidget* parent = nullptr);
    // With `choices` a corrective action must be chosen ("Other" also needs the text); without, the text
    // may not be empty. False when cancelled.
    bool Execute(const std::string& question, const std::vector<std::string>& choices, std::string& choice,
                 std::string& text);

    QLabel* LblQuestion = nullptr;
    QComboBox* CBAction = nullptr;
    QLineEdit* EditReason = nullptr;
    QPushButton* BtOK = nullptr;
    QPushButton* BtCancel = nullptr;

    // Accepts unless the text is longer than MaxReasonLength, which is said.
    void BtOKClick();

private:
    void UpdateOK();
};
