// The inbox options window: folder, auto-accept and run window, stored through the operations layer.
#include "UInboxOptions.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <cmath>

#include "UMessages.h"
#include "UOperations.h"
#include "UUserPrompt.h"

TWinInboxOptions* WinInboxOptions = nullptr;

namespace {
template <class T> T* Named(T* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}
} // namespace

TWinInboxOptions::~TWinInboxOptions() {
    if (WinInboxOptions == this) WinInboxOptions = nullptr;
}

TWinInboxOptions::TWinInboxOptions(QWidget* parent) : QDialog(parent) {
    WinInboxOptions = this;
    setObjectName(QStringLiteral("WinInboxOptions"));
    setWindowTitle(tr("Inbox"));
    auto* folderLabel = new QLabel(tr("&Inbox folder of the instruments' files"), this);
    EditFolder = Named(new QLineEdit(this), "EditFolder");
    EditFolder->setMinimumWidth(300);
    EditFolder->setToolTip(tr("Empty: no inbox. Each subfolder is a source of its own."));
    folderLabel->setBuddy(EditFolder);
    BtBrowse = Named(new QPushButton(QStringLiteral("..."), this), "BtBrowse");
    BtBrowse->setToolTip(tr("Choose the inbox folder"));
    CBAutoAccept =
        Named(new QCheckBox(tr("&Accept runs with no warning and no reject without validation"), this),
              "CBAutoAccept");
    auto* windowLabel = new QLabel(tr("Results of one analyte within"), this);
    EditWindow = Named(new QSpinBox(this), "EditWindow");
    EditWindow->setRange(1, 1440);
    windowLabel->setBuddy(EditWindow);
    auto* minutes = new QLabel(tr("minutes form one run"), this);
    BtOK = Named(new QPushButton(QStringLiteral("OK"), this), "BtOK");
    BtOK->setDefault(true);
    BtCancel = Named(new QPushButton(tr("Cancel"), this), "BtCancel");
    auto* grid = new QGridLayout(this);
    grid->addWidget(folderLabel, 0, 0, 1, 3);
    grid->addWidget(EditFolder, 1, 0, 1, 2);
    grid->addWidget(BtBrowse, 1, 2);
    grid->addWidget(CBAutoAccept, 2, 0, 1, 3);
    auto* window = new QHBoxLayout();
    window->addWidget(windowLabel);
    window->addWidget(EditWindow);
    window->addWidget(minutes);
    window->addStretch(1);
    grid->addLayout(window, 3, 0, 1, 3);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(BtOK);
    buttons->addWidget(BtCancel);
    grid->addLayout(buttons, 4, 0, 1, 3);
    connect(BtOK, &QPushButton::clicked, this, &TWinInboxOptions::BtOKClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtBrowse, &QPushButton::clicked, this, &TWinInboxOptions::BtBrowseClick);
}

bool TWinInboxOptions::Execute() {
    FormActivate();
    return exec() == QDialog::Accepted;
}

void TWinInboxOptions::FormActivate() {
    const TInboxSettings s = Operations().InboxSettings();
    EditFolder->setText(QString::fromUtf8(s.Folder));
    CBAutoAccept->setChecked(s.AutoAccept);
    EditWindow->setValue(static_cast<int>(std::lround(s.WindowMinutes)));
}

void TWinInboxOptions::BtOKClick() {
    TInboxSettings s = Operations().InboxSettings();
    // A path is kept as the file system's bytes.
    s.Folder = EditFolder->text().trimmed().toStdString();
    // Runs stored without validation: switching it is protected.
    const bool switched = s.AutoAccept != CBAutoAccept->isChecked();
    s.AutoAccept = CBAutoAccept->isChecked();
    if (switched && !AskPassword()) return;
    if (EditWindow->value() != static_cast<int>(std::lround(s.WindowMinutes)))
        s.WindowMinutes = EditWindow->value();
    if (!ShowOutcome(Operations().SetInboxSettings(s))) return;
    accept();
}

void TWinInboxOptions::BtBrowseClick() {
    QString folder = AskExistingFolder(this, tr("Inbox folder"), EditFolder->text());
    if (!folder.isEmpty()) EditFolder->setText(folder);
}
