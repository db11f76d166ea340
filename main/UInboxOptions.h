// TWinInboxOptions: the inbox folder of the instruments' files, the direct acceptance of clear runs and
// the time window of one run.
#pragma once

#include <QCoreApplication>
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TWinInboxOptions : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinInboxOptions)
public:
    explicit TWinInboxOptions(QWidget* parent = nullptr);
    ~TWinInboxOptions() override;
    // Shows the window modally; true when OK stored the settings.
    bool Execute();
    void FormActivate();
    void BtOKClick();
    void BtBrowseClick();

    QLineEdit* EditFolder;
    QPushButton* BtBrowse;
    QCheckBox* CBAutoAccept;
    QSpinBox* EditWindow;
    QPushButton *BtOK, *BtCancel;
};

extern TWinInboxOptions* WinInboxOptions;
