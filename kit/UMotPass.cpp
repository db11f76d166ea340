// The password prompt shown before a protected command.
#include "UMotPass.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

TWinEntryPsw* WinEntryPsw = nullptr;

TWinEntryPsw::TWinEntryPsw(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinEntryPsw"));
    setWindowTitle(tr("QC : enter password"));
    Label1 = new QLabel(tr("&Password : "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Password = new QLineEdit(this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setEchoMode(QLineEdit::Password);
    Label1->setBuddy(Password);
    BtOK = new QPushButton(QStringLiteral("OK"), this);
    BtOK->setObjectName(QStringLiteral("BtOK"));
    BtOK->setDefault(true);
    BitBtn2 = new QPushButton(tr("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Password, 0, 1, 1, 2);
    grid->addWidget(BtOK, 1, 1);
    grid->addWidget(BitBtn2, 1, 2);
    connect(BtOK, &QPushButton::clicked, this, &TWinEntryPsw::BtOKClick);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    WinEntryPsw = this;
}

TWinEntryPsw::~TWinEntryPsw() {
    if (WinEntryPsw == this) WinEntryPsw = nullptr;
}

void TWinEntryPsw::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Password->clear();
    Password->setFocus();
}

void TWinEntryPsw::BtOKClick() {
    // Blanks are kept: only the case is ignored.
    if (Operations().SettingsPasswordIs(UpperCase(FromQ(Password->text())))) {
        accept();
        return;
    }
    Password->clear();
    Password->setFocus();
}

bool PasswordGranted() {
    return AskPassword();
}
