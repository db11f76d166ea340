// The reason window: OK only once the change has its reason or corrective action.
#include "UReason.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "UMessages.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

TWinReason::TWinReason(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinReason"));
    auto* layout = new QVBoxLayout(this);
    LblQuestion = new QLabel(this);
    LblQuestion->setObjectName(QStringLiteral("LblQuestion"));
    LblQuestion->setWordWrap(true);
    LblQuestion->setTextFormat(Qt::PlainText);
    layout->addWidget(LblQuestion);
    CBAction = new QComboBox(this);
    CBAction->setObjectName(QStringLiteral("CBAction"));
    layout->addWidget(CBAction);
    EditReason = new QLineEdit(this);
    EditReason->setObjectName(QStringLiteral("EditReason"));
    // Nothing is cut in silence: a text longer than a reason may be is refused on OK.
    EditReason->setMaxLength(MaxReasonLength * 4);
    layout->addWidget(EditReason);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BtOK = new QPushButton(QStringLiteral("OK"), this);
    BtOK->setObjectName(QStringLiteral("BtOK"));
    BtOK->setDefault(true);
    BtCancel = new QPushButton(tr("Cancel"), this);
    BtCancel->setObjectName(QStringLiteral("BtCancel"));
    buttons->addWidget(BtOK);
    buttons->addWidget(BtCancel);
    layout->addLayout(buttons);
    connect(BtOK, &QPushButton::clicked, this, [this] { BtOKClick(); });
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(EditReason, &QLineEdit::textChanged, this, [this] { UpdateOK(); });
    connect(CBAction, &QComboBox::currentIndexChanged, this, [this] { UpdateOK(); });
    resize(420, 150);
}

void TWinReason::BtOKClick() {
    const qsizetype length = EditReason->text().trimmed().size();
    if (length > MaxReasonLength) {
        ShowMessageBox(mkError, mbOK,
                       FromQ(tr("The text has %1 characters; it may have %2. Shorten it.")
                                 .arg(length)
                                 .arg(MaxReasonLength)));
        EditReason->setFocus();
        return;
    }
    accept();
}

void TWinReason::UpdateOK() {
    const bool text = !EditReason->text().trimmed().isEmpty();
    if (!CBAction->isVisible() && CBAction->count() == 0) {
        BtOK->setEnabled(text);
        return;
    }
    // "Other" asks for a text, whether the list holds it in English or in the user's language.
    const QString picked = CBAction->currentText();
    const bool other = picked.compare(QStringLiteral("Other"), Qt::CaseInsensitive) == 0 ||
                       picked.compare(CoreTextQ("Other"), Qt::CaseInsensitive) == 0;
    BtOK->setEnabled(CBAction->currentIndex() >= 0 && (text || !other));
}

bool TWinReason::Execute(const std::string& question, const std::vector<std::string>& choices,
                         std::string& choice, std::string& text) {
    setWindowTitle(choices.empty() ? tr("Reason for the change") : tr("Corrective action"));
    LblQuestion->setText(ToQ(question));
    CBAction->clear();
    for (const std::string& c : choices) CBAction->addItem(ToQ(c));
    CBAction->setVisible(!choices.empty());
    CBAction->setCurrentIndex(choices.empty() ? -1 : 0);
    EditReason->clear();
    EditReason->setPlaceholderText(choices.empty() ? tr("Reason") : tr("What was done"));
    UpdateOK();
    EditReason->setFocus();
    if (exec() != QDialog::Accepted) return false;
    choice = choices.empty() ? std::string() : FromQ(CBAction->currentText());
    text = Trim(FromQ(EditReason->text()));
    return true;
}
