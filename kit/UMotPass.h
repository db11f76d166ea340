// The password prompt shown before a protected command.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TWinEntryPsw : public QDialog {
    Q_OBJECT
public:
    explicit TWinEntryPsw(QWidget* parent = nullptr);
    ~TWinEntryPsw() override;

    QLabel* Label1;
    QLineEdit* Password;
    QPushButton* BtOK;
    QPushButton* BitBtn2;

    void BtOKClick();

protected:
    void showEvent(QShowEvent* e) override;
};

extern TWinEntryPsw* WinEntryPsw;

// Asks for the password when one is set; true when none is set or the right one was typed.
bool PasswordGranted();
