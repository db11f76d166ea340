// The about window: name, version, credits, free-use notice, the data folder in use and the "do not show
// again" box.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

class TWinAbout : public QDialog {
    Q_OBJECT
public:
    explicit TWinAbout(QWidget* parent = nullptr);
    ~TWinAbout() override;

    QLabel* LblTitle;
    QLabel* LblVersion;
    QLabel* LblCredits;
    QLabel* LblNotice;
    QLabel* LblFolder; // the program folder in use, so that users know what to back up
    QCheckBox* CBDontShow;
    QPushButton* BtOK;

    // Shows the window modally, naming the current program folder; returns whether "&Do not show this window
    // again" was ticked.
    bool Execute(bool checkBoxEnabled);
};

extern TWinAbout* WinAbout;

// The notice label's text is kept scrambled in the program and built when the window is made.
QString UnscrambleNotice(const char* scrambled, int key);
