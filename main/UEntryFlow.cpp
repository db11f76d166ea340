// The road of a run and the queue and backup commands, as plain functions the main window calls.
#include "UEntryFlow.h"

#include <algorithm>
#include <memory>

#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "UQcError.h"
#include "URandom.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

namespace {
int LevelsInUse(const TAnalyte& a) {
    return std::clamp(a.NbLevels, 1, MaxLevels);
}

// The validated run: on OK added and written, on Cancel held again at the tail of the queue.
void Conclude(TAnalyte& a, TResu& run, bool ok, TRunOutcome& out) {
    if (ok) {
        out.SelectedPoint = a.AddPoint(run);
        a.RecalcAll();
        out.Accepted = true;
        out.Saved = SaveDataAfterRun();
    } else {
        Fifo.Push(std::move(run));
        Fifo.SaveQueue();
        out.QueueChanged = true;
    }
    out.ResetFields = true;
}
} // namespace

bool SaveDataAfterRun() {
    try {
        WriteDataFile(DataFileName());
        return true;
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbYes, std::string("Cannot save data\r") + e.what());
        return false;
    }
}

bool BackupIsDue() {
    return Today() - Settings.LastBackup >= Settings.BackupInterval;
}

std::string QueueButtonCaption(int count) {
    return "&Queue : " + std::to_string(count);
}

TRunOutcome EnterRun(TAnalyte& analyte, const TEntryFields& fields, const TValidateRun& validate) {
    TRunOutcome out;
    TResu run;
    run.AnalyteName = analyte.Name;
    run.Comment = Trim(fields.Comment);
    run.Operator = Trim(fields.Operator);
    run.DateTime = ComposeDateTime(DatePart(fields.Date), TimePart(fields.Time));
    const int levels = LevelsInUse(analyte);
    bool any = false;
    for (int k = 0; k < levels; ++k) {
        const size_t ki = static_cast<size_t>(k);
        try {
            run.Levels[ki] = ReadValueText(fields.Values[ki]);
        } catch (const EConvertError& e) {
            ShowMessageBox(mkError, mbOK, e.what());
            out.Refused = true;
            out.BadLevel = k;
            return out;
        }
        if (run.Levels[ki].State != psEmpty) any = true;
    }
    if (!any) {
        ShowMessageBox(mkError, mbYes, "Enter data");
        out.Refused = true;
        return out;
    }
    analyte.ClassifyRun(run.Levels);
    Conclude(analyte, run, validate(analyte, run), out);
    out.BackupDue = BackupIsDue();
    return out;
}

TRecallOutcome RecallQueuedRun(const TValidateRun& validate,
                               const std::function<void(TAnalyte&, bool)>& showAnalyte) {
    TRecallOutcome out;
    if (Fifo.Count() == 0) {
        ShowMessageBox(mkError, mbYes, "Nothing hold in the queue");
        out.BackupDue = BackupIsDue();
        return out;
    }
    TResu run = *Fifo.Pop();
    out.QueueChanged = true;
    TAnalyte* a = ListAnalytes.FindByName(run.AnalyteName);
    if (!a) {
        a = &ListAnalytes.Add(std::make_unique<TAnalyte>(run.AnalyteName, "mmol/L", 2, 3));
        out.ListChanged = true;
    }
    // The count rises to the highest slot holding a value, so that no held value is dropped as
    // beyond the levels in use.
    int needed = a->NbLevels;
    for (int k = a->NbLevels; k < MaxLevels; ++k)
        if (run.Levels[static_cast<size_t>(k)].State != psEmpty) needed = k + 1;
    if (needed > a->NbLevels) {
        a->NbLevels = needed;
        a->RecalcAll();
        out.ListChanged = true;
    }
    out.Analyte = a;
    if (showAnalyte) showAnalyte(*a, out.ListChanged);
    a->ClassifyRun(run.Levels);
    const bool ok = validate(*a, run);
    Conclude(*a, run, ok, out);
    // The queue file loses the run only once the data file holds it.
    if (ok && out.Saved) Fifo.SaveQueue();
    out.BackupDue = BackupIsDue();
    return out;
}

bool ClearQueueCommand() {
    if (Fifo.Count() == 0) {
        ShowMessageBox(mkError, mbYes, "Nothing hold in the queue.");
        return false;
    }
    if (!Settings.Password.empty() && !AskPassword()) return false;
    if (ShowMessageBox(mkConfirmation, mbOK | mbCancel,
                       "Erase " + std::to_string(Fifo.Count()) + " control points in the queue ?") != mbOK)
        return false;
    Fifo.ClearQueue();
    Fifo.SaveQueue();
    return true;
}

bool BackupCommand() {
    try {
        BackupData(Settings.BackupFolder);
        return true;
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbYes, e.what());
        return false;
    }
}

bool RestoreCommand() {
    try {
        RestoreData(Settings.BackupFolder);
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbYes, e.what());
        return false;
    }
    ShowMessageBox(mkInformation, mbYes, "Restore OK");
    return true;
}

TRandomOutcome RandomGeneratorCommand(TAnalyte* current, TWinRandom& window) {
    TRandomOutcome out;
    if (!current) {
        ShowMessageBox(mkError, mbOK, "No analyte");
        return out;
    }
    if (!window.Execute(*current)) return out;
    out.Done = true;
    out.ToQueue = window.QueueChosen();
    if (out.ToQueue)
        Fifo.SaveQueue();
    else
        out.SelectedPoint = window.LastIndex;
    return out;
}
