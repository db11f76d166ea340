// The window that sets, changes or removes the password.
#include "UNewPsw.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UUtilitaires.h"

TWinNewPsw* WinNewPsw = nullptr;

namespace {
template <class T> T* Named(T* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}
} // namespace

TWinNewPsw::TWinNewPsw(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinNewPsw"));
    setWindowTitle(tr("Change password"));
    Label1 = Named(new QLabel(tr("&Old password"), this), "Label1");
    Label2 = Named(new QLabel(tr("&New password"), this), "Label2");
    Label4 = Named(new QLabel(tr("&Confirm password"), this), "Label4");
    Label3 = Named(new QLabel(tr("( maximum 10 characters)"), this), "Label3");
    EditOldPsw = Named(new QLineEdit(this), "EditOldPsw");
    EditNewPsw = Named(new QLineEdit(this), "EditNewPsw");
    EditConfirm = Named(new QLineEdit(this), "EditConfirm");
    for (QLineEdit* e : {EditOldPsw, EditNewPsw, EditConfirm}) e->setMaxLength(10);
    Label1->setBuddy(EditOldPsw);
    Label2->setBuddy(EditNewPsw);
    Label4->setBuddy(EditConfirm);
    BtOK = Named(new QPushButton(QStringLiteral("OK"), this), "BtOK");
    BtOK->setDefault(true);
    BtCancel = Named(new QPushButton(tr("Cancel"), this), "BtCancel");
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(EditOldPsw, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(EditNewPsw, 1, 1);
    grid->addWidget(Label4, 2, 0);
    grid->addWidget(EditConfirm, 2, 1);
    grid->addWidget(Label3, 3, 0, 1, 2);
    grid->addWidget(BtOK, 4, 0);
    grid->addWidget(BtCancel, 4, 1);
    connect(BtOK, &QPushButton::clicked, this, &TWinNewPsw::BtOKClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    WinNewPsw = this;
}

TWinNewPsw::~TWinNewPsw() {
    if (WinNewPsw == this) WinNewPsw = nullptr;
}

void TWinNewPsw::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    EditOldPsw->clear();
    EditNewPsw->clear();
    EditConfirm->clear();
    bool hasPassword = !Settings.Password.empty();
    EditOldPsw->setVisible(hasPassword);
    (hasPassword ? EditOldPsw : EditNewPsw)->setFocus();
}

void TWinNewPsw::BtOKClick() {
    std::string old = UpperCase(Trim(FromQ(EditOldPsw->text())));
    if (!Operations().SettingsPasswordIs(old)) {
        EditOldPsw->setFocus();
        EditOldPsw->selectAll();
        return;
    }
    std::string neu = UpperCase(Trim(FromQ(EditNewPsw->text())));
    std::string confirm = UpperCase(Trim(FromQ(EditConfirm->text())));
    if (neu != confirm) {
        EditNewPsw->selectAll();
        EditNewPsw->setFocus();
        return;
    }
    if (!ShowOutcome(Operations().ChangeSettings([&](TSettings& s) { s.Password = neu.substr(0, 10); })))
        return;
    accept();
}
