// The road of a run and the queue and backup commands, as plain functions the main window calls.
#include "UEntryFlow.h"

#include <QCoreApplication>
#include <algorithm>
#include <ctime>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

#include "../main/URandom.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UQcError.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UEntryFlow)
};
} // namespace

namespace {
int LevelsInUse(const TAnalyte& a) {
    return std::clamp(a.NbLevels, 1, MaxLevels);
}
} // namespace

bool BackupIsDue() {
    return Today() - Settings.LastBackup >= Settings.BackupInterval;
}

std::string QueueButtonCaption(int count) {
    return FillQ(TUnitTexts::tr("Q&ueue : %1"), std::to_string(count));
}

namespace {
int runsBeingJudged = 0;
struct TJudging {
    TJudging() { ++runsBeingJudged; }
    ~TJudging() { --runsBeingJudged; }
    TJudging(const TJudging&) = delete;
    TJudging& operator=(const TJudging&) = delete;
};

// A save a server refused as judged otherwise: the analyte brought to what the server holds, found
// again by name (a reload of the lists may have replaced it); nullptr when that failed.
TAnalyte* ShownRejudged(const TOutcome& saved, const std::string& name, const TReopenRejudged& reopen) {
    if (!reopen || saved.Status != TStatus::Refused || saved.Refusal != TRefusal::Rejudged) return nullptr;
    if (!Operations().PollServer().Ok()) return nullptr;
    TAnalyte* a = ListAnalytes.FindByName(name);
    // The reason alone, without the line that the data could not be saved.
    const size_t reason = saved.Message.find('\r');
    if (a) reopen(reason == std::string::npos ? saved.Message : saved.Message.substr(reason + 1));
    return a;
}
} // namespace

bool RunBeingJudged() {
    return runsBeingJudged > 0;
}

TRunOutcome EnterRun(TAnalyte& analyte, const TEntryFields& fields, const TValidateRun& validate,
                     const TRunNoteOf& note, const TReopenRejudged& reopen) {
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
        ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("Enter data")));
        out.Refused = true;
        return out;
    }
    const TResu entered = run;
    const TJudging judging;
    TAnalyte* a = &analyte;
    a->ClassifyRun(run.Levels);
    for (;;) {
        if (!validate(*a, run)) {
            if (ShowOutcome(Operations().HoldRun(run))) {
                out.QueueChanged = true;
                out.ResetFields = true;
                Operations().DropPointInEdit();
            }
            break;
        }
        int index = -1;
        const TOutcome saved = Operations().AcceptRun(*a, run, &index, note ? note() : TRunNote{});
        if (TAnalyte* shown = ShownRejudged(saved, a->Name, reopen)) {
            // Judged again on the server's history: the same values, classified there.
            a = shown;
            run = entered;
            a->ClassifyRun(run.Levels);
            continue;
        }
        if (ShowOutcome(saved)) {
            out.Accepted = out.Saved = true;
            out.SelectedPoint = index;
            out.ResetFields = true;
            Operations().DropPointInEdit();
        }
        break;
    }
    // A run that could not be saved stays in the fields, to be entered again.
    out.BackupDue = BackupIsDue();
    return out;
}

TRecallOutcome RecallQueuedRun(const TValidateRun& validate,
                               const std::function<void(TAnalyte&, bool)>& showAnalyte,
                               const TRunNoteOf& note, const TReopenRejudged& reopen) {
    TRecallOutcome out;
    const TJudging judging;
    const int analytesBefore = ListAnalytes.Count();
    TAnalyte* a = nullptr;
    TResu run;
    if (Fifo.Count() > 0) {
        const TAnalyte* named = ListAnalytes.FindByName(Fifo.Entries().front().AnalyteName);
        out.ListChanged = !named;
        if (named) {
            for (int k = named->NbLevels; k < MaxLevels; ++k)
                out.ListChanged |= Fifo.Entries().front().Levels[static_cast<size_t>(k)].State != psEmpty;
        }
    }
    for (;;) {
        if (!ShowOutcome(Operations().RecallRun(a, run)) || !a) {
            out.ListChanged = ListAnalytes.Count() != analytesBefore;
            out.BackupDue = BackupIsDue();
            return out;
        }
        out.Analyte = a;
        if (showAnalyte) showAnalyte(*a, out.ListChanged);
        const bool ok = validate(*a, run);
        int index = -1;
        TOutcome concluded =
            Operations().ConcludeRecall(*a, run, ok, &index, ok && note ? note() : TRunNote{});
        // Still held at the head of the queue: recalled again on the server's history.
        if (ok && ShownRejudged(concluded, a->Name, reopen)) continue;
        if (ShowOutcome(concluded)) {
            out.QueueChanged = true;
            out.ResetFields = true;
            out.Accepted = ok;
            out.Saved = ok;
            out.SelectedPoint = ok ? index : -1;
        }
        break;
    }
    out.BackupDue = BackupIsDue();
    return out;
}

bool ClearQueueCommand() {
    if (Fifo.Count() == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("Nothing hold in the queue.")));
        return false;
    }
    if (!Settings.Password.empty() && !AskPassword()) return false;
    if (ShowMessageBox(mkConfirmation, mbOK | mbCancel,
                       FillQ(TUnitTexts::tr("Erase %1 control points in the queue ?"),
                             std::to_string(Fifo.Count()))) != mbOK)
        return false;
    return ShowOutcome(Operations().ClearQueue());
}

namespace {
// The backup folder stands for the removable medium: absent until the user mounts it or cancels.
bool WaitForFolder(const std::string& folder) {
    if (folder.empty()) {
        ShowMessageBox(mkError, mbOK, FromQ(TUnitTexts::tr("No backup folder is chosen.")));
        return false;
    }
    for (;;) {
        std::error_code ec;
        if (std::filesystem::is_directory(folder, ec)) return true;
        if (ShowMessageBox(
                mkError, mbCancel | mbRetry,
                FillQ(TUnitTexts::tr("The backup folder %1 does not exist (a removable medium not mounted?)"),
                      folder)) != mbRetry)
            return false;
    }
}

std::string ModificationDateText(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return "";
    std::tm lt{};
    localtime_r(&st.st_mtime, &lt);
    // As every window shows a date, the month as the locale writes it.
    return FromQ(DateText(EncodeDate(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday)));
}

std::string ModificationDateTimeText(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return "";
    std::tm lt{};
    localtime_r(&st.st_mtime, &lt);
    char time[16];
    std::strftime(time, sizeof time, "%H:%M", &lt);
    return ModificationDateText(path) + " " + time;
}

// The copy window is shown for the length of one backup or restore, also when it fails.
class TCopyWindowScope {
public:
    TCopyWindowScope(TCopyProgress* window, const std::string& warning) : window_(window) {
        if (window_) window_->Show(warning);
    }
    ~TCopyWindowScope() {
        if (window_) window_->Close();
    }

private:
    TCopyProgress* window_;
};

TCopyProgress* CopyWindow = nullptr;
} // namespace

TCopyProgress* SetCopyProgress(TCopyProgress* progress) {
    TCopyProgress* previous = CopyWindow;
    CopyWindow = progress;
    return previous;
}

bool BackupCommand() {
    const std::string folder = Settings.BackupFolder;
    if (!WaitForFolder(folder) || ShowMessageBox(mkConfirmation, mbOK | mbCancel,
                                                 FromQ(TUnitTexts::tr("Confirm data backup"))) != mbOK) {
        ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("Backup aborted")));
        return false;
    }
    TBackupChoice choice;
    TBackupPlan plan = Operations().PlanBackup(folder);
    if (plan.RunsInBackup > plan.RunsInData) {
        // Never replace a backup holding more runs without the user's explicit yes.
        if (ShowMessageBox(
                mkConfirmation, mbOK | mbCancel,
                FillQ(TUnitTexts::tr(
                          "The backup in %1 holds %2 runs, the data now only %3.\rReplace the backup "
                          "with less data ?"),
                      folder, std::to_string(plan.RunsInBackup), std::to_string(plan.RunsInData))) != mbOK) {
            ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("Backup aborted")));
            return false;
        }
        choice.ReplaceLarger = true;
    }
    TOutcome out;
    {
        TCopyWindowScope window(CopyWindow,
                                FillQ(TUnitTexts::tr("Backuping data to %1"), BackupFileName(folder)));
        out = Operations().Backup(folder, choice);
    }
    if (!ShowOutcome(out)) return false;
    if (out.Ok()) ShowMessageBox(mkInformation, mbYes, FromQ(TUnitTexts::tr("Backup OK")));
    return true;
}

bool RestoreCommand() {
    const std::string folder = Settings.BackupFolder;
    if (!WaitForFolder(folder)) {
        ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("Restore aborted")));
        return false;
    }
    if (!FileExists(BackupFileName(folder)) && !FileExists(OldBackupFileName(folder)) &&
        !FileExists(TempBackupFileName(folder))) {
        ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("No backup file to restore")));
        return false;
    }
    // The newest complete backup: ".Sav", or what a backup killed between its renames left.
    const TRestorePlan plan = Operations().PlanRestore(folder);
    const std::string source = plan.Source.empty() ? BackupFileName(folder) : plan.Source;
    const bool older = !plan.Damaged.empty();
    // Older data never replaces the data unasked: the damaged backup is named, and the older one with
    // its date, time and runs.
    const std::string question =
        older ? FillQ(TUnitTexts::tr("The newest backup %1 is damaged.\rRestore the older backup %2 of %3, "
                                     "holding %4, instead ?"),
                      plan.Damaged, source, ModificationDateTimeText(source),
                      FromQ(TUnitTexts::tr("%n run(s)", nullptr, static_cast<int>(plan.Runs))))
              : FillQ(TUnitTexts::tr("Confirm data restore from diskette. The date of source file is : %1"),
                      ModificationDateText(source));
    if (ShowMessageBox(older ? mkWarning : mkConfirmation, mbOK | mbCancel, question) != mbOK) {
        ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("Restore aborted")));
        return false;
    }
    TOutcome out;
    {
        TCopyWindowScope window(CopyWindow, FillQ(TUnitTexts::tr("Restoring data from %1"), source));
        out = Operations().Restore(folder, older);
    }
    if (!ShowOutcome(out)) return false;
    ShowMessageBox(mkInformation, mbYes, FromQ(TUnitTexts::tr("Restore OK")));
    return true;
}

TRandomOutcome RandomGeneratorCommand(TAnalyte* current, TWinRandom& window) {
    TRandomOutcome out;
    if (!current) {
        ShowMessageBox(mkError, mbOK, FromQ(TUnitTexts::tr("No analyte")));
        return out;
    }
    if (!window.Execute(*current)) return out;
    out.Done = true;
    out.ToQueue = window.QueueChosen();
    if (!out.ToQueue) out.SelectedPoint = window.LastIndex;
    return out;
}
