// The display size window: the windows' scale, chosen in percent or taken from the desktop.
#pragma once

#include <QDialog>
#include <QSize>
#include <functional>
#include <optional>

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

    // The screen in device pixels, whatever the scaling; tests give their own.
    static std::function<QSize()> ScreenSource;

protected:
    void showEvent(QShowEvent* e) override;
};

// The sizes known, in percent; 0 follows the desktop.
QList<int> DisplaySizeChoices();
// Those that leave the windows the 800 x 600 pixels they need on a screen of that many device pixels.
bool DisplaySizeFits(int percent, QSize screen);
QList<int> DisplaySizeChoices(QSize screen);

// The display size is the station's own (each user's, on each computer), kept under the user's
// configuration folder: a size that suits one screen must not lock another bench out of a shared folder.
// None stored: the size a former version kept in the folder's settings, if any.
std::optional<int> StationDisplaySize();
// False with the reason when the choice could not be written.
bool SetStationDisplaySize(int percent, QString& why);
QString StationSettingsFile();

// Before the QApplication is made: the station's display size put into Qt's scaling variables (the
// whole layout scaled, fonts with it). "Follow the desktop" leaves Qt's own scaling from the desktop in
// place. Returns the size applied (0 for none).
int PrepareDisplaySize();
// Once the QApplication exists: the scaling variables set by PrepareDisplaySize are taken back, so
// that programs started from this one (the manual's browser) keep the desktop's scaling.
void RestoreScalingEnvironment();
// Once the QApplication exists: when the size applied leaves the windows less than they need on this
// screen, the program starts again at 100 % (argv is the program's own). Returns only when it fits.
void RestartIfDisplaySizeDoesNotFit(char** argv);
// The stored size this start left aside because it did not fit the screen, once; 0 when none.
int TakeDisplaySizeLeftAside();
