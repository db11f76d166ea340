// The corrective-actions list, edited as text and kept in the database by the layer.
#include "UCorrectiveActions.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "UMessages.h"
#include "UOperations.h"
#include "UUserPrompt.h"

TWinCorrectiveActions::TWinCorrectiveActions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinCorrectiveActions"));
    setWindowTitle(tr("Corrective actions"));
    resize(420, 300);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Offered when a rule rejects a run, one per line:"), this));
    EditActions = new QPlainTextEdit(this);
    EditActions->setObjectName(QStringLiteral("EditActions"));
    layout->addWidget(EditActions, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BtOK = new QPushButton(QStringLiteral("OK"), this);
    BtOK->setObjectName(QStringLiteral("BtOK"));
    BtCancel = new QPushButton(tr("Cancel"), this);
    BtCancel->setObjectName(QStringLiteral("BtCancel"));
    buttons->addWidget(BtOK);
    buttons->addWidget(BtCancel);
    layout->addLayout(buttons);
    connect(BtOK, &QPushButton::clicked, this, &TWinCorrectiveActions::BtOKClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TWinCorrectiveActions::Execute() {
    QStringList lines;
    for (const std::string& a : Operations().CorrectiveActions()) lines << ToQ(a);
    EditActions->setPlainText(lines.join(QLatin1Char('\n')));
    return exec() == QDialog::Accepted;
}

void TWinCorrectiveActions::BtOKClick() {
    // A changed list is a protected change, as the password and the operators are.
    if (!AskPassword()) return;
    std::vector<std::string> actions;
    for (const QString& line : EditActions->toPlainText().split(QLatin1Char('\n')))
        actions.push_back(FromQ(line));
    if (ShowOutcome(Operations().SetCorrectiveActions(actions), mbOK)) accept();
}
