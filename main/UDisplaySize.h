// The display size window: the windows' scale, chosen in percent or taken from the desktop.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

class TWinDisplaySize : public QDialog {
    Q_OBJECT
public:
    explicit TWinDisplaySize(QWidget* parent = nullptr);

    QComboBox* CBDisplaySize;
    QLabel* LblNote;
    QPushButton *BtOK, *BtCancel;

    void FormActivate();
    void BtOKClick();

protected:
    void showEvent(QShowEvent* e) override;
};

// The sizes offered, in percent; 0 follows the desktop.
QList<int> DisplaySizeChoices();

// Before the QApplication is made: the stored display size of the program folder the program will
// open, put into Qt's scaling variables (the whole layout scaled, fonts with it). "Follow the desktop"
// leaves Qt's own scaling from the desktop in place. Returns the size applied (0 for none).
int PrepareDisplaySize();
// Once the QApplication exists: the scaling variables set by PrepareDisplaySize are taken back, so
// that programs started from this one (the manual's browser) keep the desktop's scaling.
void RestoreScalingEnvironment();
