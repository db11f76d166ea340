// The main window's commands that open the reference, data, print and exchange windows.
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTimeEdit>

#include "UArchives.h"
#include "UDailyQC.h"
#include "UDataLoadSave.h"
#include "UDefAnalytes.h"
#include "UDefSerum.h"
#include "UEmployees.h"
#include "UExchangeCommands.h"
#include "UGlobale.h"
#include "UImport.h"
#include "UMain.h"
#include "UMessages.h"
#include "UPrnData.h"
#include "UQcError.h"
#include "URisks.h"
#include "USerumByAnal.h"
#include "UShowData.h"
#include "UShowLimits.h"

namespace {
bool NoAnalyte(unsigned button) {
    if (CurrentAnalyte) return false;
    ShowMessageBox(mkError, button, "No analyte.");
    return true;
}

QDate QDateOfDay(TDateTime dt) {
    TDateParts d = DecodeDate(dt);
    return QDate(d.Year, d.Month, d.Day);
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
    WinRisks->RepaintChart = [this] { RepaintCharts(); };
    WinShowLimits->RepaintChart = [this] { RepaintCharts(); };
    WinShowData->PrintHook = [this](TAnalyte& a, const std::string&) { WinPrnData->Execute(&a); };
}

bool TWinMain::SaveDataNow() {
    try {
        WriteDataFile(DataFileName());
        return true;
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbYes, std::string("Cannot save data\r") + e.what());
        return false;
    }
}

void TWinMain::LoadOperatorChoices() {
    QString typed = CBOperator->currentText();
    CBOperator->clear();
    for (const std::string& op : Operators) CBOperator->addItem(ToQ(op));
    CBOperator->setEditText(typed);
}

void TWinMain::MovePointToEntryFields(int index) {
    TEditFields f = EditFieldsOfPoint(*CurrentAnalyte, index);
    DatePicker->setDate(QDateOfDay(f.DateTime));
    TTimeParts t = DecodeTime(f.DateTime);
    TimePicker->setTime(QTime(t.Hour, t.Minute, t.Second));
    CBOperator->setEditText(ToQ(f.Operator));
    for (int k = 0; k < MaxLevels; ++k) EntryRows[static_cast<size_t>(k)].Value->setText(ToQ(f.Values[k]));
    EditComment->setMaxLength(f.CommentMaxLength);
    EditComment->setText(ToQ(f.Comment));
}

void TWinMain::MnuAnalytesClick() {
    LeaveLimitPage();
    CreateChildWindows();
    if (!WinDefAnalytes->Execute()) return;
    // The current analyte may have been deleted: only its address is compared.
    if (ListAnalytes.IndexOf(CurrentAnalyte) < 0) CurrentAnalyte = nullptr;
    if (ListAnalytes.Count() > 0 && CurrentAnalyte) CurrentAnalyte->RecalcAll();
    FillAnalyteList();
    RepaintCharts();
}

void TWinMain::MnuSerumClick() {
    CreateChildWindows();
    if (!WinDefSerum->Execute()) return;
    FillAnalyteList();
    RepaintCharts();
}

void TWinMain::MnuEmployeesClick() {
    CreateChildWindows();
    if (!WinEmployees->Execute()) return;
    LoadOperatorChoices();
    SaveSettingsOrWarn();
}

void TWinMain::MnuRisksClick() {
    CreateChildWindows();
    // The window applies the rows live, restores them on any close but OK and writes the settings.
    if (WinRisks->Execute(CurrentAnalyte) != QDialog::Accepted) {
        RepaintCharts();
        return;
    }
    if (ListAnalytes.Count() > 0 && CurrentAnalyte) CurrentAnalyte->RecalcAll();
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
        FillAnalyteList();
        RepaintCharts();
        SaveDataNow();
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
    if (int i = WinShowData->PointToEdit(); i >= 0 && i < CurrentAnalyte->Count()) {
        MovePointToEntryFields(i);
        CurrentAnalyte->DeletePoint(i);
    }
    CurrentAnalyte->RecalcAll();
    SelectedPoint = -1;
    UpdateVisibleStretch();
    RepaintCharts();
}

void TWinMain::BtArchivesClick() {
    if (NoAnalyte(mbYes)) return;
    CreateChildWindows();
    // Deleted archives leave the analyte's list at once, so the data file follows.
    if (WinArchives->Execute(*CurrentAnalyte)) SaveDataNow();
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
    if (!WinSerumByAnal->Execute(*CurrentAnalyte)) return;
    FillAnalyteList();
    RepaintCharts();
}
