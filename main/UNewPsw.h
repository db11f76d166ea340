// The window that sets, changes or removes the password.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TWinNewPsw : public QDialog {
    Q_OBJECT
public:
    explicit TWinNewPsw(QWidget* parent = nullptr);
    ~TWinNewPsw() override;

    QLabel *Label1, *Label2, *Label3, *Label4;
    QLineEdit *EditOldPsw, *EditNewPsw, *EditConfirm;
    QPushButton *BtOK, *BtCancel;

    void BtOKClick();

protected:
    void showEvent(QShowEvent* e) override;
};

extern TWinNewPsw* WinNewPsw;
