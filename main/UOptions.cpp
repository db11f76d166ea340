// The backup options window: the backup folder and the interval between backup reminders.
#include "UOptions.h"

#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UQcError.h"
#include "UUtilitaires.h"

TWinOptions* WinOptions = nullptr;

namespace {
template <class T> T* Named(T* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}
} // namespace

QStringList RemovableMediaFolders(const QString& mountTable) {
    QStringList out;
    QFile f(mountTable);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return out;
    for (const QByteArray& line : f.readAll().split('\n')) {
        QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 2) continue;
        // The mount table escapes blanks in paths as \040.
        QString mount = QString::fromUtf8(fields[1]).replace(QStringLiteral("\\040"), QStringLiteral(" "));
        if (mount.startsWith(QStringLiteral("/media/")) || mount.startsWith(QStringLiteral("/run/media/")) ||
            mount.startsWith(QStringLiteral("/mnt/")))
            out << mount;
    }
    return out;
}

TWinOptions::TWinOptions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinOptions"));
    setWindowTitle(tr("Backup / restore options"));
    Label2 = Named(new QLabel(tr("&Interval between backups"), this), "Label2");
    EditDelay = Named(new QLineEdit(this), "EditDelay");
    EditDelay->setMaxLength(3);
    Label2->setBuddy(EditDelay);
    Label3 = Named(new QLabel(QStringLiteral("days"), this), "Label3");
    Label1 = Named(new QLabel(tr("&Backup / restore folder"), this), "Label1");
    CBDrive = Named(new QComboBox(this), "CBDrive");
    CBDrive->setEditable(true);
    CBDrive->setMinimumWidth(240);
    Label1->setBuddy(CBDrive);
    BtBrowse = Named(new QPushButton(QStringLiteral("..."), this), "BtBrowse");
    BtBrowse->setToolTip(tr("Choose the backup folder"));
    BtOK = Named(new QPushButton(QStringLiteral("OK"), this), "BtOK");
    BtOK->setDefault(true);
    BtCancel = Named(new QPushButton(tr("Cancel"), this), "BtCancel");
    BtUndo = Named(new QPushButton(tr("&Undo"), this), "BtUndo");
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(EditDelay, 0, 1);
    grid->addWidget(Label3, 0, 2);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(CBDrive, 1, 1, 1, 2);
    grid->addWidget(BtBrowse, 1, 3);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(BtOK);
    buttons->addWidget(BtCancel);
    buttons->addWidget(BtUndo);
    grid->addLayout(buttons, 2, 0, 1, 4);
    connect(BtOK, &QPushButton::clicked, this, &TWinOptions::BtOKClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtUndo, &QPushButton::clicked, this, &TWinOptions::BtUndoClick);
    connect(BtBrowse, &QPushButton::clicked, this, &TWinOptions::BtBrowseClick);
    WinOptions = this;
}

TWinOptions::~TWinOptions() {
    if (WinOptions == this) WinOptions = nullptr;
}

void TWinOptions::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
    // Once shown, the dialog gives the focus back to the widget that had it: the interval takes it again.
    QTimer::singleShot(0, EditDelay, [this] {
        EditDelay->setFocus(Qt::OtherFocusReason);
        EditDelay->selectAll();
    });
}

void TWinOptions::FormActivate() {
    CBDrive->clear();
    CBDrive->addItems(RemovableMediaFolders());
    CBDrive->setEditText(ToQ(Settings.BackupFolder));
    EditDelay->setText(QString::number(Settings.BackupInterval));
    // Typing goes to the interval, not to the button that closed the window last time.
    EditDelay->setFocus(Qt::OtherFocusReason);
    EditDelay->selectAll();
}

bool TWinOptions::FolderAccepted(const std::string& folder) {
    auto refuse = [this] {
        CBDrive->setFocus();
        CBDrive->lineEdit()->selectAll();
        return false;
    };
    if (folder.empty()) {
        ShowMessageBox(mkError, mbOK, FromQ(tr("No backup folder is chosen.")));
        return refuse();
    }
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return true;
    // A removable medium may be mounted later: the user decides.
    if (ShowMessageBox(mkConfirmation, mbOK | mbCancel,
                       FillQ(tr("The backup folder %1 does not exist (a removable medium not mounted?)\rKeep "
                                "it as the backup folder ?"),
                             folder)) == mbOK)
        return true;
    return refuse();
}

void TWinOptions::BtOKClick() {
    int interval = 0;
    try {
        interval = CheckIntegerEdit(EditDelay, 1, 1000);
    } catch (const EConvertError&) {
        return; // the box has said why; nothing is stored
    }
    const std::string folder = Trim(FromQ(CBDrive->currentText()));
    if (!FolderAccepted(folder)) return;
    if (!ShowOutcome(Operations().ChangeSettings([&](TSettings& s) {
            s.BackupInterval = interval;
            s.BackupFolder = folder;
        })))
        return;
    accept();
}

void TWinOptions::BtUndoClick() {
    FormActivate();
    EditDelay->setFocus();
}

void TWinOptions::BtBrowseClick() {
    QString folder = AskExistingFolder(this, tr("Backup / restore folder"), CBDrive->currentText());
    if (!folder.isEmpty()) CBDrive->setEditText(folder);
}
