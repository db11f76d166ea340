// The statistical-risks window: the rows of the t table behind the warning and action limits.
#include "URisks.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "UGlobale.h"
#include "UOperations.h"
#include "UQcError.h"
#include "URefCommon.h"
#include "UStructures.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(URisks)
};
} // namespace

namespace {

QGroupBox* RadioGroup(QWidget* parent, const char* name, const QString& caption, QButtonGroup*& items,
                      std::initializer_list<const char*> texts) {
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    items = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    int i = 0;
    for (const char* t : texts) {
        auto* rb = new QRadioButton(QString::fromUtf8(t), box);
        rb->setObjectName(QString(name) + "Item" + QString::number(i));
        items->addButton(rb, i++);
        layout->addWidget(rb);
    }
    return box;
}

} // namespace

QToolButton* CreateKeyButton(QWidget* parent) {
    auto* bt = new QToolButton(parent);
    bt->setObjectName("BtCle");
    bt->setCheckable(true);
    bt->setIcon(QIcon(refui::KeyPicture()));
    bt->setIconSize(QSize(20, 20));
    bt->setToolTip(TUnitTexts::tr("Unlock with the password"));
    return bt;
}

TWinRisks::TWinRisks(QWidget* parent) : QDialog(parent) {
    setObjectName("WinRisks");
    setWindowTitle(tr("Varnholt : Statistical parameters"));
    LblInfo = new QLabel(
        tr("The control limits displayed in the panes are valid only for  long QC reference periods \n"
           "(>30 points). If shorter, Student's t is used with the relevant degrees of freedom."),
        this);
    LblInfo->setObjectName("LblInfo");
    LblInfo->setFrameShape(QFrame::Panel);
    LblInfo->setFrameShadow(QFrame::Sunken);
    LblInfo->setMargin(6);
    RGAlert = RadioGroup(this, "RGAlert", tr(" &Alert limits "), RGAlertItems,
                         {"5% ( m \u00b1 1.96s )", "2% ( m \u00b1 2.32s )"});
    RGAction = RadioGroup(this, "RGAction", tr(" A&ction limits "), RGActionItems,
                          {"1% ( m \u00b1 2.56s )", "0.5% ( m \u00b1 2.81s )", "0.2% ( m \u00b1 3.09s )"});
    connect(RGAlertItems, &QButtonGroup::idClicked, this, &TWinRisks::RGAlertClick);
    connect(RGActionItems, &QButtonGroup::idClicked, this, &TWinRisks::RGActionClick);
    BtOK = new QPushButton(tr("OK"), this);
    BtOK->setObjectName("BtOK");
    BtCancel = new QPushButton(tr("Cancel"), this);
    BtCancel->setObjectName("BtCancel");
    BtUndo = new QPushButton(tr("&Undo"), this);
    BtUndo->setObjectName("BtUndo");
    BtCle = CreateKeyButton(this);
    connect(BtOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtUndo, &QPushButton::clicked, this, &TWinRisks::BtUndoClick);
    connect(BtCle, &QToolButton::clicked, this, &TWinRisks::BtCleClick);

    auto* groups = new QHBoxLayout;
    groups->addWidget(RGAlert);
    groups->addWidget(RGAction);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtCle);
    buttons->addStretch();
    buttons->addWidget(BtUndo);
    buttons->addWidget(BtOK);
    buttons->addWidget(BtCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblInfo);
    layout->addLayout(groups);
    layout->addLayout(buttons);
}

int TWinRisks::Execute(TAnalyte* current) {
    uid_ = current ? current->Uid : 0;
    outside_ = current && Operations().Find(uid_) != current ? current : nullptr;
    FormShow();
    FormActivate();
    int result = exec();
    FormClose(result);
    if (result == QDialog::Accepted && tried_ != saved_) {
        // The rows chosen are written through the layer, which computes every analyte's limits again.
        const TRiskRows chosen = tried_;
        if (!ShowOutcome(Operations().ChangeSettings([&](TSettings& s) {
                s.AlertRow = chosen.Alert;
                s.ActionRow = chosen.Action;
            })))
            result = QDialog::Rejected;
        if (outside_) outside_->RecalcAll();
    }
    uid_ = 0;
    outside_ = nullptr;
    return result;
}

const TAnalyte* TWinRisks::Shown() const {
    if (outside_) return outside_;
    return uid_ ? Operations().Find(uid_) : nullptr;
}

void TWinRisks::FormShow() {
    saved_ = tried_ = RiskRowsInForce();
    previewing_ = false;
    const bool locked = !Settings.Password.empty();
    BtOK->setEnabled(!locked);
    BtCle->setVisible(locked);
    BtCle->setChecked(false);
}

void TWinRisks::FormActivate() {
    if (auto* b = RGAlertItems->button(tried_.Alert)) b->setChecked(true);
    if (auto* b = RGActionItems->button(tried_.Action - 2)) b->setChecked(true);
    if (auto* b = RGAlertItems->checkedButton())
        b->setFocus();
    else
        RGAlert->setFocus();
}

void TWinRisks::Preview() {
    const TAnalyte* current = Shown();
    std::shared_ptr<TAnalyte> copy;
    if (current && tried_ != saved_) {
        copy = std::make_shared<TAnalyte>(*current);
        copy->RecalcAll(tried_);
    }
    if (!copy && !previewing_) return;
    previewing_ = copy != nullptr;
    if (ShowPreview) ShowPreview(std::move(copy));
}

void TWinRisks::RGAlertClick() {
    int item = RGAlertItems->checkedId();
    if (item < 0 || item > 1) return;
    tried_.Alert = static_cast<uint8_t>(item);
    Preview();
}

void TWinRisks::RGActionClick() {
    int item = RGActionItems->checkedId();
    if (item < 0 || item > 2) return;
    // The first action item stands for row 2 of the t table.
    tried_.Action = static_cast<uint8_t>(item + 2);
    Preview();
}

void TWinRisks::BtUndoClick() {
    tried_ = saved_;
    Preview();
    FormActivate();
}

void TWinRisks::BtCleClick() {
    if (AskPassword()) {
        BtOK->setEnabled(true);
        BtCle->hide();
    }
    BtCle->setChecked(false);
}

void TWinRisks::FormClose(int) {
    // The analyte is drawn as it stands again: after OK the layer has computed it with the new rows.
    if (!previewing_) return;
    previewing_ = false;
    if (ShowPreview) ShowPreview(nullptr);
}
