// TWinArchives: the archives of an analyte, one summary line each, to show, print or delete.
#include "UArchives.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UQcError.h"
#include "URefCommon.h"
#include "UShowArchive.h"
#include "UStructures.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UArchives)
};
} // namespace

using namespace refui;

TWinArchives::TWinArchives(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinArchives"));
    setFixedSize(540, 360);

    LBArchi = MakeRowList13(this, "LBArchi", {60, 120, 220, 290, 340, 370}, true);
    LBArchi->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LBArchi->setGeometry(10, 30, 410, 320);
    PlaceColumnTitles(this, LBArchi,
                      {QT_TRANSLATE_NOOP("URefPrintout", "Begin"), QT_TRANSLATE_NOOP("URefPrintout", "End"),
                       QT_TRANSLATE_NOOP("URefPrintout", "Control material"),
                       QT_TRANSLATE_NOOP("URefPrintout", "Lot"), QT_TRANSLATE_NOOP("URefPrintout", "Mean"),
                       QT_TRANSLATE_NOOP("URefPrintout", "CV"), QT_TRANSLATE_NOOP("URefPrintout", "N")},
                      {0, 60, 120, 220, 290, 340, 370});

    auto button = [this](QPushButton*& b, const char* name, const QString& text, int y) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(430, y, 100, 27);
        b->setAutoDefault(false);
    };
    button(BtShowArchive, "BtShowArchive", tr("&Show QC points"), 30);
    button(BtDelete, "BtDelete", tr("&Delete selection"), 65);
    button(BtUndo, "BtUndo", tr("&Undo"), 100);
    button(BtImprimer, "BtImprimer", tr("&Print"), 135);
    BtCle = MakeKeyButton(this);
    BtCle->setGeometry(430, 175, 36, 30);
    button(BtOK, "BtOK", QStringLiteral("OK"), 285);
    button(BtCancel, "BtCancel", tr("Cancel"), 320);

    WinShowArchive = new TWinShowArchive(this);

    connect(BtShowArchive, &QPushButton::clicked, this, &TWinArchives::BtShowArchiveClick);
    connect(LBArchi, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex&) { BtShowArchiveClick(); });
    connect(BtDelete, &QPushButton::clicked, this, &TWinArchives::BtDeleteClick);
    connect(BtUndo, &QPushButton::clicked, this, &TWinArchives::BtUndoClick);
    connect(BtImprimer, &QPushButton::clicked, this, &TWinArchives::BtImprimerClick);
    PrintHook = [this](const TTablePrintout& t) { PrintTablePrintout(this, t); };
    connect(BtCle, &QPushButton::clicked, this, &TWinArchives::BtCleClick);
    connect(BtOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TWinArchives::Execute(TAnalyte& analyte) {
    Open(analyte);
    return exec() == QDialog::Accepted;
}

void TWinArchives::Open(TAnalyte& analyte) {
    analyte_ = &analyte;
    pending_.clear();
    FormActivate();
}

void TWinArchives::SetLocked(bool locked) {
    BtDelete->setEnabled(!locked);
    BtUndo->setEnabled(!locked);
    BtCle->setVisible(locked);
}

void TWinArchives::FormActivate() {
    SetLocked(!Settings.Password.empty());
    FillList();
    setWindowTitle(tr("QC archives for %1").arg(ToQt(analyte_->Name)));
}

void TWinArchives::FillList() {
    entries_.clear();
    // The list shows each archive's summary line: only the start of each file is read.
    for (int32_t n : analyte_->ArchiveNumbers) {
        try {
            entries_.push_back({n, Operations().ReadArchive(n, TArchiveParts::Head)});
        } catch (const EQcError&) {
            continue; // a missing or unreadable archive is left out without a message
        }
    }
    LBArchi->Rows()->Reset(static_cast<int>(entries_.size()), [this](int entry) {
        return ArchiveLineText(entries_[static_cast<size_t>(entry)].File.SummaryLine, {0, 1});
    });
    // The first entry is the one shown until another is clicked, without being selected.
    if (LBArchi->Count() > 0)
        LBArchi->selectionModel()->setCurrentIndex(LBArchi->model()->index(0, 0),
                                                   QItemSelectionModel::NoUpdate);
}

void TWinArchives::BtDeleteClick() {
    const std::vector<int> rows = LBArchi->SelectedRows();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) pending_.push_back(LBArchi->Rows()->Key(*row));
    LBArchi->Rows()->RemoveRows(rows);
    LBArchi->setFocus();
}

void TWinArchives::BtUndoClick() {
    pending_.clear();
    FillList();
}

std::vector<int32_t> TWinArchives::PendingDeletions() const {
    std::vector<int32_t> numbers;
    for (int entry : pending_) numbers.push_back(entries_[static_cast<size_t>(entry)].Number);
    return numbers;
}

void TWinArchives::BtShowArchiveClick() {
    if (LBArchi->Count() == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Nothing to show")));
        return;
    }
    const int row = std::clamp(LBArchi->CurrentRow(), 0, LBArchi->Count() - 1);
    const int32_t number = entries_[static_cast<size_t>(LBArchi->Rows()->Key(row))].Number;
    // The point lines are read when the archive is shown, not for the list.
    TArchiveFile archive;
    try {
        archive = Operations().ReadArchive(number, TArchiveParts::Lines);
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbYes, e.what());
        return;
    }
    WinShowArchive->Fill(analyte_->Name, std::move(archive));
    WinShowArchive->move(pos() + QPoint(100, 20));
    WinShowArchive->exec();
    LBArchi->setFocus();
}

TTablePrintout TWinArchives::Printout() const {
    TTablePrintout t;
    t.JobTitle = FromQ(tr("Printing QC archives"));
    t.Title = FillQ(tr("Archived statistics for %1"), analyte_->Name);
    t.NCols = static_cast<int>(TArchiveFile::SummaryFieldCount);
    t.Widths = {9, 9, 18, 8, 10, 8, 8};
    for (const char* h : {QT_TRANSLATE_NOOP("UArchives", "Begin"), QT_TRANSLATE_NOOP("UArchives", "End"),
                          QT_TRANSLATE_NOOP("UArchives", "Name"), QT_TRANSLATE_NOOP("UArchives", "Lot"),
                          QT_TRANSLATE_NOOP("UArchives", "Mean"), QT_TRANSLATE_NOOP("UArchives", "CV"),
                          QT_TRANSLATE_NOOP("UArchives", "Number")})
        t.Cells.push_back({FromQ(TUnitTexts::tr(h)), 1});
    for (int row = 0; row < LBArchi->Count(); ++row) {
        const auto& s = entries_[static_cast<size_t>(LBArchi->Rows()->Key(row))].File.Summary;
        for (size_t k = 0; k < s.size(); ++k)
            t.Cells.push_back({k < 2 ? FromQ(WrittenDateText(s[k])) : s[k], 0});
    }
    return t;
}

void TWinArchives::BtImprimerClick() {
    if (LBArchi->Count() == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Nothing to print")));
        return;
    }
    if (PrintHook) PrintHook(Printout());
}

void TWinArchives::BtCleClick() {
    if (AskPassword()) SetLocked(false);
}

void TWinArchives::ApplyPending() {
    // The data file stops naming the archives before their files go.
    const std::vector<int32_t> numbers = PendingDeletions();
    if (numbers.empty()) return;
    std::string reason;
    if (!AskReasonText(
            FillQ(tr("Why are %n archives of %1 deleted?", nullptr, static_cast<int>(numbers.size())),
                  analyte_->Name),
            reason))
        return;
    ShowOutcome(Operations().DeleteArchives(*analyte_, numbers, reason));
}

void TWinArchives::done(int r) {
    if (r == QDialog::Accepted && analyte_) ApplyPending();
    pending_.clear();
    QDialog::done(r);
}

void TWinArchives::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete && BtDelete->isEnabled()) {
        BtDeleteClick();
        return;
    }
    QDialog::keyPressEvent(e);
}
