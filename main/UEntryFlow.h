// The road of a run and the queue and backup commands, as plain functions the main window calls.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "UOperations.h"
#include "UStructures.h"

class TWinRandom;

// The entry page's fields as typed (texts in Windows-1252).
struct TEntryFields {
    TDateTime Date = 0; // the day of the date picker
    TDateTime Time = 0; // the time of day of the time picker
    std::array<std::string, MaxLevels> Values;
    std::string Comment;
    std::string Operator;
};

// Shows the validation window for the run of the analyte; true on OK (TWinValidCQ::Execute).
using TValidateRun = std::function<bool(TAnalyte&, TResu&)>;
// What the validation window learnt on OK for the journal (corrective action, reason).
using TRunNoteOf = std::function<TRunNote()>;
// Readies the validation window to open again on a run a server refused as judged otherwise on runs
// other benches added meanwhile (TWinValidCQ::ReopenRejudged); `message` says what changed.
using TReopenRejudged = std::function<void(const std::string& message)>;

struct TRunOutcome {
    // The entry was refused: BadLevel's value box is to be selected and focused, or, with every box
    // empty, the date picker. Nothing changed.
    bool Refused = false;
    int BadLevel = -1;
    bool Accepted = false;     // the run was added to the analyte
    bool Saved = false;        // and the data file written
    int SelectedPoint = -1;    // the index of the run added, -1 when none
    bool QueueChanged = false; // the queue button needs updating
    bool ResetFields = false;  // the run was handled: clear the entry fields
    bool BackupDue = false;    // start the backup reminder
};

struct TRecallOutcome : TRunOutcome {
    TAnalyte* Analyte = nullptr; // the run's analyte, to be made current; nullptr when nothing recalled
    bool ListChanged = false;    // an analyte was created or grew: refill the analyte list
};

// Entering a run: reads and classifies the fields, validates; on OK the layer accepts the run, on
// Cancel holds it in the queue. A run that cannot be saved is not taken: the box says why and the
// fields keep it, to be entered again. With `reopen`, a run a server judges otherwise on runs of other
// benches is shown again on the server's history, nothing retyped, until saved, held or cancelled.
// A run is between the judgement the user sees and its save or hold (entered, or recalled from the
// queue): what other benches changed is not brought in meanwhile, so that the run is saved under the
// judgement the user saw, or refused by the server as judged otherwise and shown again.
bool RunBeingJudged();

TRunOutcome EnterRun(TAnalyte& analyte, const TEntryFields& fields, const TValidateRun& validate,
                     const TRunNoteOf& note = {}, const TReopenRejudged& reopen = {});

// Recalling the oldest held run. showAnalyte is called before the validation window opens, with the
// run's analyte and whether the analyte list must be refilled, so that the main window can make it
// current.
TRecallOutcome RecallQueuedRun(const TValidateRun& validate,
                               const std::function<void(TAnalyte&, bool listChanged)>& showAnalyte = {},
                               const TRunNoteOf& note = {}, const TReopenRejudged& reopen = {});

// Clearing the queue after the password (when set) and a confirmation; true when it was cleared.
bool ClearQueueCommand();

// The window layer shows its copy window while a backup or a restore runs.
class TCopyProgress {
public:
    virtual ~TCopyProgress() = default;
    virtual void Show(const std::string& warning) = 0;
    virtual void Close() = 0;
};
// Installs the copy window (not owned); nullptr shows nothing. Returns the previous one.
TCopyProgress* SetCopyProgress(TCopyProgress* progress);

// Backup to the chosen backup folder: waits for the folder ("No diskette in drive", Retry), asks
// "Confirm data backup" and, before replacing a backup that holds more runs, asks again; true on
// success (LastBackup is then today: stop the reminder).
bool BackupCommand();
// Restore from the chosen backup folder; true on success, when "Restore OK" was shown. The analyte
// list was replaced: every pointer into the old one is gone (CurrentAnalyte must be chosen again).
bool RestoreCommand();

// Today - LastBackup >= BackupInterval.
bool BackupIsDue();
// "&Queue : " + count.
std::string QueueButtonCaption(int count);

struct TRandomOutcome {
    bool Done = false;      // the window closed with OK
    bool ToQueue = false;   // the runs went to the queue: update the queue button
    int SelectedPoint = -1; // charts: the last point added
};
// The random generator command for the current analyte (nullptr: "No analyte").
TRandomOutcome RandomGeneratorCommand(TAnalyte* current, TWinRandom& window);
