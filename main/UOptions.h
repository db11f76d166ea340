// The backup options window: the backup folder and the interval between backup reminders.
#pragma once

#include <QDialog>
#include <QStringList>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TWinOptions : public QDialog {
    Q_OBJECT
public:
    explicit TWinOptions(QWidget* parent = nullptr);
    ~TWinOptions() override;

    QLabel *Label1, *Label2, *Label3;
    QLineEdit* EditDelay;
    // The backup folder, offered from the mounted removable media; any folder may be typed or chosen.
    QComboBox* CBDrive;
    QPushButton *BtBrowse, *BtOK, *BtCancel, *BtUndo;

    void FormActivate();
    void BtOKClick();
    void BtUndoClick();
    void BtBrowseClick();
    // An empty folder is refused; one that does not exist is kept only when the user confirms.
    bool FolderAccepted(const std::string& folder);

protected:
    void showEvent(QShowEvent* e) override;
};

extern TWinOptions* WinOptions;

// Mount points of removable media (under /media, /run/media and /mnt), read from a mount table.
QStringList RemovableMediaFolders(const QString& mountTable = QStringLiteral("/proc/mounts"));
