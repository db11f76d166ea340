// The main window's commands that open the reference, data, print and exchange windows.
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QTimeEdit>

#include "../main/URandom.h"
#include "UAnimCopyFic.h"
#include "UArchives.h"
#include "UDailyQC.h"
#include "UDataLoadSave.h"
#include "UDefAnalytes.h"
#include "UDefSerum.h"
#include "UEmployees.h"
#include "UEntryFlow.h"
#include "UExchangeCommands.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "UImport.h"
#include "UMain.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UPrnCharts.h"
#include "UPrnData.h"
#include "UQcError.h"
#include "URisks.h"
#include "USerumByAnal.h"
#include "UShowData.h"
#include "UShowLimits.h"
#include "UValidCQ.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UMainCommands)
};
} // namespace

namespace {
bool NoAnalyte(unsigned button) {
    if (CurrentAnalyte) return false;
    ShowMessageBox(mkError, button, FromQ(TUnitTexts::tr("No analyte.")));
    return true;
}
} // namespace

void TWinMain::CreateChildWindows() {
    if (!WinImport) WinImport = new TWinImport(this);
    if (!WinSerumByAnal) WinSerumByAnal = new TWinSerumByAnal(this);
    if (!WinRisks) WinRisks = new TWinRisks(this);
    if (!WinDefAnalytes) WinDefAnalytes = new TWinDefAnalytes(this);
    if (!WinDefSerum) WinDefSerum = new TWinDefSerum(this);
    if (!WinEmployees) WinEmployees = new TWinEmployees(this);
    if (!WinPrnData) WinPrnData = new TWinPrnData(this);
    if (!WinShowData) WinShowData = new TWinShowData(this);
    if (!WinShowLimits) WinShowLimits = new TWinShowLimits(this);
    if (!WinDailyQC) WinDailyQC = new TWinDailyQC(this);
    if (!WinArchives) WinArchives = new TWinArchives(this);
    if (!WinValidCQ) WinValidCQ = new TWinValidCQ(this);
    if (!WinPrnCharts) WinPrnCharts = new TWinPrnCharts(this);
    if (!WinRandom) WinRandom = new TWinRandom(this);
    if (!WinAnimCopyFic) {
        WinAnimCopyFic = new TWinAnimCopyFic(this);
        SetCopyProgress(WinAnimCopyFic);
    }
    auto preview = [this](std::shared_ptr<const TAnalyte> copy) { ShowChartPreview(std::move(copy)); };
    WinRisks->ShowPreview = preview;
    WinShowLimits->ShowPreview = preview;
    WinShowLimits->ViewPeriod = [this](const TAnalyte&) { return TPeriod{FirstVisible, LastVisible}; };
    WinShowData->PrintHook = [this](TAnalyte& a, const std::string&) { WinPrnData->Execute(&a); };
}

void TWinMain::LoadOperatorChoices() {
    QString typed = CBOperator->currentText();
    CBOperator->clear();
    for (const std::string& op : Operators) CBOperator->addItem(ToQ(op));
    CBOperator->setEditText(typed);
}

void TWinMain::MovePointToEntryFields(int index) {
    TEditFields f = EditFieldsOfPoint(*CurrentAnalyte, index);
    DatePicker->setDate(QDateOf(f.DateTime));
    TTimeParts t = DecodeTime(f.DateTime);
    TimePicker->setTime(QTime(t.Hour, t.Minute, t.Second));
    CBOperator->setEditText(ToQ(f.Operator));
    for (int k = 0; k < MaxLevels; ++k) {
        TEntryRow& r = EntryRows[static_cast<size_t>(k)];
        r.HeldShown = ToQ(f.Values[k]);
        r.HeldExact = ToQ(f.Exact[k]);
        r.Value->setText(r.HeldShown);
    }
    EditComment->setMaxLength(f.CommentMaxLength);
    EditComment->setText(ToQ(f.Comment));
    EntryTimeSet = true; // the point's own date and time
}

void TWinMain::MnuAnalytesClick() {
    LeaveLimitPage();
    CreateChildWindows();
    // The window applies its edit through the layer, which tells this window what changed.
    WinDefAnalytes->Execute();
}

void TWinMain::MnuSerumClick() {
    CreateChildWindows();
    WinDefSerum->Execute();
}

void TWinMain::MnuEmployeesClick() {
    CreateChildWindows();
    WinEmployees->Execute();
}

void TWinMain::MnuRisksClick() {
    CreateChildWindows();
    // The window previews the rows on a copy; at OK the layer writes them and computes every analyte's
    // limits again.
    if (WinRisks->Execute(CurrentAnalyte) != QDialog::Accepted) {
        RepaintCharts();
        return;
    }
    FillAnalyteList();
    RepaintCharts();
}

void TWinMain::MnuExportClick() {
    ExchangeExport(this, CurrentAnalyte);
}

void TWinMain::MnuImportClick() {
    LeaveLimitPage();
    CreateChildWindows();
    switch (ExchangeImport(this, CurrentAnalyte, *WinImport)) {
    case TImportOutcome::PointsAdded:
        SelectedPoint = -1;
        IntervalStart = IntervalEnd = -1;
        UpdateVisibleStretch();
        RepaintCharts();
        break;
    case TImportOutcome::AnalytesAdded:
        break;
    case TImportOutcome::Nothing:
        break;
    }
}

void TWinMain::MnuCopyClick() {
    ExchangeCopy(CurrentAnalyte);
}

void TWinMain::MnuPasteClick() {
    LeaveLimitPage();
    CreateChildWindows();
    if (!ExchangePaste(CurrentAnalyte, *WinImport)) return;
    SelectedPoint = -1;
    IntervalStart = IntervalEnd = -1;
    UpdateVisibleStretch();
    RepaintCharts();
}

void TWinMain::BtDataClick() {
    if (NoAnalyte(mbYes)) return;
    LeaveLimitPage();
    CreateChildWindows();
    if (!WinShowData->Execute(*CurrentAnalyte, SelectedPoint)) return;
    std::string reason;
    // The point to edit is one of the table's analyte, which is still the current one.
    if (int i = WinShowData->PointToEdit();
        i >= 0 && CurrentAnalyte && CurrentAnalyte->Uid == WinShowData->Analyte() &&
        i < CurrentAnalyte->Count() &&
        AskReasonText(FillQ(tr("Why is the point of %1 corrected?"), CurrentAnalyte->Name), reason)) {
        MovePointToEntryFields(i);
        TResu taken;
        // A point that cannot be taken out stays stored: the fields must not offer it a second time.
        if (!ShowOutcome(Operations().TakePointForEdit(*CurrentAnalyte, i, taken, reason)))
            ResetEntryFields();
    }
    SelectedPoint = -1;
    UpdateVisibleStretch();
    RepaintCharts();
}

void TWinMain::BtPrnGraphClick() {
    if (!CurrentAnalyte || CurrentAnalyte->Count() == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Nothing to print")));
        return;
    }
    CreateChildWindows();
    WinPrnCharts->Execute(*CurrentAnalyte);
}

void TWinMain::BtArchivesClick() {
    if (NoAnalyte(mbYes)) return;
    CreateChildWindows();
    // Deleted archives leave the analyte's list and the data file when the window closes with OK.
    WinArchives->Execute(*CurrentAnalyte);
}

void TWinMain::BtDailyClick() {
    CreateChildWindows();
    WinDailyQC->Execute(ListAnalytes);
}

void TWinMain::BtLimitsClick() {
    if (NoAnalyte(mbYes)) return;
    CreateChildWindows();
    WinShowLimits->Execute(CurrentAnalyte);
    RepaintCharts();
}

void TWinMain::BtAffectationClick() {
    if (NoAnalyte(mbYes)) return;
    CreateChildWindows();
    WinSerumByAnal->Execute(*CurrentAnalyte);
}

namespace {
void FocusAndSelect(QLineEdit* edit) {
    edit->setFocus();
    edit->selectAll();
}
} // namespace

void TWinMain::BtOKEnterClick() {
    if (!CurrentAnalyte) return;
    CreateChildWindows();
    // A field being edited is finished first; a date it refused stops the entry.
    auto* picker = dynamic_cast<TDatePicker*>(DatePicker);
    const int refusals = picker ? picker->Refusals() : 0;
    EntryRows[0].Value->setFocus();
    QCoreApplication::processEvents();
    if (picker && picker->Refusals() != refusals) {
        DatePicker->setFocus();
        return;
    }
    // Fields left as they were cleared take the time of this OK, not the time they were cleared.
    if (!EntryTimeSet) ResetEntryTime();
    TEntryFields fields;
    QDate d = DatePicker->date();
    QTime t = TimePicker->time();
    fields.Date = DayOf(d);
    fields.Time = EncodeTime(t.hour(), t.minute(), t.second());
    for (int k = 0; k < MaxLevels; ++k) {
        const TEntryRow& r = EntryRows[static_cast<size_t>(k)];
        const QString text = r.Value->text();
        fields.Values[k] = FromQ(!text.isEmpty() && text == r.HeldShown ? r.HeldExact : text);
    }
    fields.Comment = FromQ(EditComment->text());
    fields.Operator = FromQ(CBOperator->currentText());
    TRunOutcome out = EnterRun(
        *CurrentAnalyte, fields, [this](TAnalyte& a, TResu& r) { return WinValidCQ->Execute(a, r); },
        [this] { return WinValidCQ->Note(); },
        [this](const std::string& message) { WinValidCQ->ReopenRejudged(message); });
    if (out.Refused) {
        if (out.BadLevel >= 0)
            FocusAndSelect(EntryRows[static_cast<size_t>(out.BadLevel)].Value);
        else
            DatePicker->setFocus();
        return;
    }
    if (out.Accepted) {
        SelectedPoint = out.SelectedPoint;
        UpdateVisibleStretch();
        RepaintCharts();
    }
    if (out.QueueChanged) UpdateQueueButton();
    if (out.ResetFields) ResetEntryFields();
    if (out.BackupDue) UpdateBackupReminder();
}

void TWinMain::BtFifoClick() {
    CreateChildWindows();
    LeaveLimitPage();
    TRecallOutcome out =
        RecallQueuedRun([this](TAnalyte& a, TResu& r) { return WinValidCQ->Execute(a, r); },
                        [this](TAnalyte& a, bool listChanged) {
                            bool other = CurrentAnalyte != &a;
                            CurrentAnalyte = &a;
                            if (listChanged || other) FillAnalyteList();
                        },
                        [this] { return WinValidCQ->Note(); },
                        [this](const std::string& message) { WinValidCQ->ReopenRejudged(message); });
    UpdateQueueButton();
    if (out.Accepted) {
        SelectedPoint = out.SelectedPoint;
        UpdateVisibleStretch();
        RepaintCharts();
    }
    if (out.ResetFields) ResetEntryFields();
    UpdateBackupReminder();
}

void TWinMain::MnuClearFifoClick() {
    if (ClearQueueCommand()) UpdateQueueButton();
}

void TWinMain::BtBackupClick() {
    CreateChildWindows();
    if (BackupCommand()) UpdateBackupReminder();
}

void TWinMain::Disketterestore1Click() {
    LeaveLimitPage();
    CreateChildWindows();
    // The lists are replaced only on success; the layer has told this window, which shows the list
    // again before "Restore OK" is shown. The row shown before stays selected.
    int row = LBAnalytes->currentRow();
    if (!RestoreCommand()) return;
    SelectedPoint = -1;
    if (row >= 0 && row < ListAnalytes.Count()) LBAnalytes->setCurrentRow(row);
    RepaintCharts();
}

void TWinMain::MnuRandomGeneratorClick() {
    CreateChildWindows();
    TRandomOutcome out = RandomGeneratorCommand(CurrentAnalyte, *WinRandom);
    if (!out.Done) return;
    if (out.ToQueue) {
        UpdateQueueButton();
        return;
    }
    if (CurrentPage() != ptEnter) SwitchPage(ptEnter);
    IntervalStart = IntervalEnd = -1;
    SelectedPoint = out.SelectedPoint;
    UpdateVisibleStretch();
    RepaintCharts();
}
