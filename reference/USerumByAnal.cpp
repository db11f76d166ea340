// TWinSerumByAnal: the control material (name and lot) of each QC level of the current analyte.
#include "USerumByAnal.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QFrame>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

#include "UArrowBtn.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UQcError.h"
#include "URefCommon.h"
#include "USharedImages.h"
#include "UUserPrompt.h"

using namespace refui;

namespace {
const char* const MaterialMime = "application/x-varnholt-material";
} // namespace

TSerumDragList::TSerumDragList(QWidget* parent) : QListWidget(parent) {
    setDragEnabled(true);
}

void TSerumDragList::startDrag(Qt::DropActions) {
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(QLatin1String(MaterialMime), QByteArray());
    drag->setMimeData(mime);
    drag->setDragCursor(CursorDragLot().pixmap(), Qt::CopyAction);
    drag->setDragCursor(CursorNoDropLot().pixmap(), Qt::IgnoreAction);
    drag->exec(Qt::CopyAction);
}

TLevelBox::TLevelBox(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
}

void TLevelBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm(font());
    p.setPen(Qt::black);
    p.drawText(5, fm.ascent(), name);
    p.drawText(5, 14 + fm.ascent(), lot);
}

void TLevelBox::dragEnterEvent(QDragEnterEvent* e) {
    e->acceptProposedAction();
}

void TLevelBox::dragMoveEvent(QDragMoveEvent* e) {
    e->acceptProposedAction();
}

void TLevelBox::dropEvent(QDropEvent* e) {
    e->acceptProposedAction();
    if (OnDrop) OnDrop();
}

TWinSerumByAnal::TWinSerumByAnal(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinSerumByAnal"));
    setWindowTitle(tr("Assignment of control materials"));
    setFixedSize(520, 330);

    Panel9 = new QLabel(this);
    Panel9->setObjectName(QStringLiteral("Panel9"));
    Panel9->setTextFormat(Qt::PlainText);
    // Two lines when the analyte's name does not fit beside the title.
    Panel9->setGeometry(5, 2, 200, 32);
    Panel9->setWordWrap(true);
    Panel9->setFrameShape(QFrame::Panel);
    Panel9->setAlignment(Qt::AlignCenter);

    for (int i = 0; i < 3; ++i) {
        auto* b = new TArrowButton(this);
        b->setObjectName(QStringLiteral("ArrowLevel%1").arg(i + 1));
        b->setGeometry(5, 35 + 50 * i, 60, 40);
        b->SetDirection(btnRIGHT);
        b->SetButtonColor(QColor(255, 255, 0));
        b->SetCaption(tr("Level &%1").arg(i + 1));
        connect(b, &TArrowButton::clicked, this, [this, i] { AssignLevel(i); });
        LevelButtons[static_cast<size_t>(i)] = b;

        auto* panel = new QFrame(this);
        panel->setObjectName(QStringLiteral("PanelLevel%1").arg(i + 1));
        panel->setGeometry(75, 40 + 50 * i, 110, 31);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setAutoFillBackground(true);
        LevelPanels[static_cast<size_t>(i)] = panel;
        auto* box = new TLevelBox(panel);
        box->setObjectName(QStringLiteral("PBoxLevel%1").arg(i + 1));
        box->setGeometry(1, 1, 108, 29);
        box->OnDrop = [this, i] { AssignLevel(i); };
        LevelBoxes[static_cast<size_t>(i)] = box;

        auto* sc = new QShortcut(QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + i)), this);
        connect(sc, &QShortcut::activated, this, [this, i] { AssignLevel(i); });
    }

    auto* title = new QLabel(tr("List of registered control materials"), this);
    title->setGeometry(210, 5, 300, 20);
    LBSerum = new TSerumDragList(this);
    LBSerum->setObjectName(QStringLiteral("LBSerum"));
    auto* d = new TTabListDelegate(LBSerum);
    d->SetTabStops({130});
    LBSerum->setItemDelegate(d);
    LBSerum->setUniformItemSizes(true);
    LBSerum->setSelectionMode(QAbstractItemView::SingleSelection);
    LBSerum->setGeometry(210, 26, 300, 200);

    auto button = [this](QPushButton*& b, const char* name, const QString& text, int x, int y, int w) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, y, w, 26);
    };
    button(BitBtn1, "BitBtn1", tr("Change only the assignment of materials"), 5, 240, 290);
    button(BtErase, "BtErase", tr("Change and &erase former data"), 5, 272, 290);
    button(BtUndo, "BtUndo", tr("&Undo"), 320, 240, 90);
    button(Cancel, "Cancel", tr("Cancel"), 420, 240, 90);
    BtCle = MakeKeyButton(this);
    BtCle->setGeometry(300, 270, 36, 30);

    connect(BitBtn1, &QPushButton::clicked, this, &TWinSerumByAnal::BtChangeClick);
    connect(BtErase, &QPushButton::clicked, this, &TWinSerumByAnal::BtEraseClick);
    connect(BtUndo, &QPushButton::clicked, this, &TWinSerumByAnal::BtUndoClick);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtCle, &QPushButton::clicked, this, &TWinSerumByAnal::BtCleClick);
}

bool TWinSerumByAnal::Execute(TAnalyte& analyte) {
    Open(analyte);
    return exec() == QDialog::Accepted;
}

void TWinSerumByAnal::Open(TAnalyte& analyte) {
    analyte_ = &analyte;
    InitForm();
}

bool TWinSerumByAnal::Differs(int level) const {
    return working_[static_cast<size_t>(level)] != analyte_->MaterialId[static_cast<size_t>(level)];
}

void TWinSerumByAnal::ShowLevel(int level) {
    const size_t i = static_cast<size_t>(level);
    const TSerum& s = ListSerum.FindMaterial(working_[i]);
    LevelBoxes[i]->name = ToQt(s.Name);
    LevelBoxes[i]->lot = ToQt(s.Lot);
    QPalette pal = LevelPanels[i]->palette();
    pal.setColor(QPalette::Window, Differs(level) ? QColor(255, 255, 0) : QColor(255, 255, 255));
    LevelPanels[i]->setPalette(pal);
    LevelPanels[i]->update();
    LevelBoxes[i]->update();
}

void TWinSerumByAnal::InitForm() {
    const bool locked = !Settings.Password.empty();
    BtErase->setEnabled(!locked);
    BtCle->setVisible(locked);
    working_ = analyte_->MaterialId;
    Panel9->setText(tr("QC materials for ") + ToQt(analyte_->Name));
    for (int i = 0; i < 3; ++i) {
        const bool used = i < analyte_->NbLevels;
        LevelButtons[static_cast<size_t>(i)]->setVisible(used);
        LevelPanels[static_cast<size_t>(i)]->setVisible(used);
        ShowLevel(i);
    }
    LBSerum->clear();
    for (const TSerum& s : ListSerum.Items) {
        const QString line = ToQt(s.Name) + '\t' + ToQt(s.Lot);
        int row = 0;
        while (row < LBSerum->count() &&
               QString::compare(LBSerum->item(row)->text(), line, Qt::CaseInsensitive) <= 0)
            ++row;
        auto* it = new QListWidgetItem(line);
        it->setData(AttachRole, s.Id);
        LBSerum->insertItem(row, it);
    }
    LBSerum->setCurrentRow(-1);
    LBSerum->clearSelection();
    LBSerum->setFocus();
}

void TWinSerumByAnal::AssignLevel(int level) {
    // A level beyond the analyte's levels has no button or panel and takes no material.
    if (!analyte_ || level < 0 || level >= analyte_->NbLevels) return;
    const int row = SelectedRow(LBSerum);
    if (row < 0 || LBSerum->count() == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("No control material selected")));
        return;
    }
    working_[static_cast<size_t>(level)] = LBSerum->item(row)->data(AttachRole).toInt();
    ShowLevel(level);
}

void TWinSerumByAnal::BtChangeClick() {
    bool changed = false;
    for (int i = 0; i < analyte_->NbLevels; ++i) changed = changed || Differs(i);
    if (changed)
        ShowOutcome(Operations().ApplyAssignment(*analyte_, working_, false));
    else
        ShowMessageBox(mkInformation, mbYes, FromQ(tr("Nothing Changed")));
    accept();
}

void TWinSerumByAnal::BtEraseClick() {
    std::string list;
    for (int i = 0; i < analyte_->NbLevels; ++i)
        if (Differs(i)) {
            const TSerum& s = ListSerum.FindMaterial(analyte_->MaterialId[static_cast<size_t>(i)]);
            list += "\r  - " + s.Name + " (" + s.Lot + ")";
        }
    if (list.empty()) {
        ShowMessageBox(mkInformation, mbYes, FromQ(tr("Nothing Changed")));
        return;
    }
    if (ShowMessageBox(mkConfirmation, mbOK | mbCancel,
                       FillQ(tr("Delete and archive %1 QC data for control material(s) : %2"), analyte_->Name,
                             list)) == mbOK) {
        // Each changed level is archived before it takes its new material; a level whose archive fails
        // keeps its former material.
        ShowOutcome(Operations().ApplyAssignment(*analyte_, working_, true));
    }
    accept();
}

void TWinSerumByAnal::BtUndoClick() {
    InitForm();
}

void TWinSerumByAnal::BtCleClick() {
    if (AskPassword()) {
        BtErase->setEnabled(true);
        BtCle->hide();
    }
}
