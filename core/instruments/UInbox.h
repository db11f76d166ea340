// The inbox of instrument files: which files wait in it, where a read file goes, and how a run from the
// instruments is judged and described in the result queue.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "UInstrument.h"
#include "UStructures.h"
#include "UTypes.h"
#include "UWestgard.h"

// Files directly in the inbox are read with the options of this source; a subfolder of the inbox
// holds the files of the source of its name.
inline constexpr const char* DefaultSourceId = "default";
// Folders of each source folder that hold what was read; they are never sources.
inline constexpr const char* ProcessedFolderName = "processed";
inline constexpr const char* FailedFolderName = "failed";
// A file larger than this is no instrument file: it is refused rather than read into memory.
inline constexpr int64_t MaxInboxFileSize = 64 * 1024 * 1024;

struct TInboxFile {
    std::string Path;   // the file
    std::string Name;   // its name
    std::string Folder; // the source folder holding it, ending with '/'
    std::string Source; // the source's id: the folder's name as Windows-1252 text, or DefaultSourceId
    int64_t Size = 0;
    int64_t ModifiedNs = 0;
};

// Names a writer uses while a file is not complete, or that are not instrument files: hidden files,
// editor and download leftovers (~, .tmp, .part, .partial, .crdownload, .swp) and reason files.
bool IsIgnoredInboxName(std::string_view name);
// A source id can name a subfolder of the inbox: not empty, no '/', no control character, not "." or
// "..", not the processed or failed folder's name.
bool IsValidSourceId(std::string_view id);

// The waiting files, source by source (the inbox itself first, then its subfolders by name), each
// source's files by modification time and then name. Only regular files; ignored names left out.
// Throws EQcError when the inbox cannot be listed.
std::vector<TInboxFile> ListInboxFiles(const std::string& inbox);

// Moves a read file into <source folder>/processed/<day>/ (day as YYYY-MM-DD); a name already taken
// there gets "-2", "-3"... before its extension, so that nothing is written over. Returns the new path;
// throws EQcError.
std::string MoveToProcessed(const TInboxFile& file, const std::string& day);
// Writes <source folder>/failed/<name>.reason (UTF-8 text), then moves the file beside it. Returns the
// new path; throws EQcError.
std::string MoveToFailed(const TInboxFile& file, const std::string& reasonUtf8);
// The folder of `source` in the inbox at `inboxFolder` (its root for the default source), made when
// missing, ending with '/'. Throws EQcError when there is no inbox or it cannot be made.
std::string SourceFolderOf(const std::string& inboxFolder, const TInstrumentSource& source);
// A name "PREFIX-DATE-TIME-TAG-N.EXT" (UTC time, N counting up in this process) that neither `folder`
// nor its failed/ folder holds, also as a hidden name: for bytes a connection brought.
std::string ReceivedFileName(const std::string& folder, const std::string& prefix, const std::string& tag,
                             const std::string& ext);
// The bytes a source's connection sent that were not taken as messages, kept in that source's failed/
// folder of the inbox as "connection-DATE-TIME-PEER-N.hl7" (".astm" for ASTM) beside the reason; gives
// where. Read again from there, they are read as a file of the source. Throws EQcError when they
// cannot be written, or when the source's failed/ already holds `maxKept` connections' bytes or
// `maxBytes` of them (a peer sending nothing but rubbish cannot fill the disk).
std::string KeepConnectionBytes(const std::string& inboxFolder, const TInstrumentSource& source,
                                const std::string& peer, const std::string& bytes, const std::string& why,
                                size_t maxKept = 500, uintmax_t maxBytes = uintmax_t(256) << 20);
// The raw captures of the connections of sources with listen.capture=yes: every byte a connection sent,
// as it came, in <source folder>/processed/<day>/capture-DATE-TIME-PEER-N.hl7 (.astm), a file per
// connection (a new one past 64 MB); processed/ is never read. A capture read again as a file of its
// source gives the messages its session sent (an E1381 session's control bytes are passed over).
class TConnectionCaptures {
public:
    // Appends the bytes to the connection's capture; throws EQcError when they cannot be written.
    void Append(const std::string& inboxFolder, const TInstrumentSource& source, const std::string& peer,
                uint64_t connection, std::string_view bytes);
    // The connection closed: its capture is whole.
    void End(uint64_t connection) { files_.erase(connection); }
    // Where the connection's capture is, empty before its first bytes.
    std::string PathOf(uint64_t connection) const;

private:
    struct TFile {
        std::string Path;
        uintmax_t Bytes = 0;
    };
    std::map<uint64_t, TFile> files_;
};

// A file the reading put into a source's failed/ folder, with the reason written beside it.
struct TFailedInboxFile {
    std::string Source; // the source's id
    std::string Folder; // the source folder, ending with '/'
    std::string Name;   // the file's name in failed/
    std::string Path;   // the file
    std::string Reason; // the text of its reason file (UTF-8), empty when there is none
};
// The failed files of every source, in the order of ListInboxFiles, each source's by name. Throws
// EQcError when the inbox cannot be listed.
std::vector<TFailedInboxFile> ListFailedInboxFiles(const std::string& inbox);
// Moves a failed file back into its source folder (a name taken there gets "-2", ...) and removes its
// reason file. Returns the new path; throws EQcError.
std::string MoveBackFromFailed(const TFailedInboxFile& file);
// Removes a failed file and its reason file; throws EQcError.
void RemoveFailedFile(const TFailedInboxFile& file);
// The day's folder name: YYYY-MM-DD of a date.
std::string DayFolderName(TDateTime day);

// How a run from the instruments came out of the rules, as the validation window would judge it.
struct TInboxVerdict {
    RuleStatus Worst = rsClear; // the worst of the level states and the rule outcomes
    bool AllJudged = true;      // false when a value's level has no limits to be judged against
    std::string Text;           // "no warning", "warning (1:2s L1)", "reject (1:3s L2; R:4s across)"
    // A run the auto-accept option may store directly: judged throughout, no warning, no reject.
    bool Clear() const { return Worst == rsClear && AllJudged; }
};

// Classifies the run's values (ClassifyRun) and evaluates the multirules as the validation window does
// when the run is recalled: the analyte's own switch, nothing rejected, the points before the run's
// date-time.
TInboxVerdict JudgeInboxRun(const TAnalyte& a, TResu& run);
// The held run's comment: "Inbox <source>: <verdict>".
std::string InboxComment(const std::string& source, const TInboxVerdict& verdict);

// ---------------------------------------------------------------- what the store keeps

struct TInboxSettings {
    std::string Folder;        // the inbox (file system path); empty when none is set
    bool AutoAccept = false;   // runs judged throughout with no warning and no reject go into the data
    double WindowMinutes = 10; // results of one analyte and source this close form one run
};

// (source, test code, control) -> (analyte, level). Level 0 takes the level the file gives.
struct TInboxMapping {
    std::string Source, Code, Control, Analyte;
    int Level = 0;
};

// A result kept "not mapped" until a mapping brings it in.
struct TWaitingResult {
    int64_t Id = 0;
    TInstrumentResult Result;
    std::string File;   // the file it came from
    std::string Reason; // why it is waiting: no mapping, an analyte that does not exist, a level it lacks
    std::string ReceivedUtc;
};

// Whether the mappings name the result's (source, test code, control).
bool IsMapped(const std::vector<TInboxMapping>& mappings, const TInstrumentResult& result);

// What became of one file (or of a message split across several: Name lists them).
struct TInboxFileOutcome {
    enum TKind {
        Read,       // moved to processed/: its results are in the queue, the data or "not mapped"
        ReadBefore, // the same file was read before: moved to processed/, nothing added
        Failed,     // moved to failed/ with its reason: nothing taken, or (Results > 0) all but the
                    // lines named
        Waiting,    // left in the inbox: it ends inside a message, or cannot be read now
    };
    TKind Kind = Read;
    std::string Source, Name, MovedTo;
    std::string Detail;    // the reason (failed, waiting)
    int Results = 0;       // results taken
    int NotMapped = 0;     // of them, kept "not mapped"
    int Repeated = 0;      // results read before in other files, not taken again
    bool Settling = false; // waiting only because it changed a moment ago
};

struct TInboxReport {
    std::vector<TInboxFileOutcome> Files;
    int Queued = 0;         // runs placed in the queue (merged ones included)
    int Accepted = 0;       // runs stored directly (auto-accept)
    int Merged = 0;         // of the queued runs, those that completed a held run from the inbox
    int NotMapped = 0;      // results kept "not mapped"
    int PatientResults = 0; // patients' results added to the patient-QC streams
    // Files were left for another pass: this one had read as many results as a pass takes.
    bool More = false;
    // The reading was cancelled (TInboxReadOptions::Progress): nothing of its last pass was recorded.
    bool Cancelled = false;
    bool Empty() const { return Files.empty() && Queued == 0 && Accepted == 0; }
};

struct TInboxReadOptions {
    std::string Folder;  // instead of the stored inbox folder
    size_t MaxFiles = 0; // read at most this many files in one pass (0: all); the rest wait
    // Once the files read hold this many results, the rest wait for another pass (TInboxReport::More):
    // a pass holds what it reads in memory.
    size_t MaxResults = 100000;
    // A file changed less than this many seconds ago may still be being written: it waits. (Writers
    // that write a temporary name and then rename need no such wait.)
    int SettleSeconds = 0;
    // Only this file of the inbox is read (a message received live, written whole): its source's id
    // and its name. Empty: every file.
    std::string OnlySource, OnlyName;
    // Told how far the reading is (done of total). While the files are read and the runs planned
    // (`cancellable`), false cancels: nothing of that pass is recorded, its files wait. Once recorded, the
    // runs are placed whatever it answers.
    std::function<bool(size_t done, size_t total, bool cancellable)> Progress;
};
