// Results from the instruments through the operations layer: the inbox read once, the mapping, and
// the order of writes that keeps every result exactly once through a crash at any moment.
//
// A pass: (1) runs recorded by an interrupted pass are placed first; (2) each waiting file is read; a
// file read before (its bytes' fingerprint recorded) goes to processed/ untouched, a file with a fault
// to failed/ with its reason, a file ending inside a message stays; (3) one transaction records the new
// runs as pending, the results "not mapped", the result keys, file fingerprints and message ids; (4)
// the data file (auto-accepted runs) and the queue file are written, and the runs marked placed; (5)
// the files move to processed/. A crash before (3) leaves the files to be read again; between (3) and
// (4) the pending runs are placed at the next start or pass, each checked against the data and queue
// so that it is not added twice; after (4) the recorded fingerprints move the files without adding
// anything.
//
// On a server the bench reads its own inbox folder; mappings, results not mapped and held runs are
// shared by all benches. A pass: (1) each waiting file is read as above, those read before and results
// taken before (on any bench) are known from the server; (2) ONE server transaction plans the runs
// against the shared mapping and held runs, places them (queue rows, analyte rows under their
// versions), records the result keys, fingerprints, message ids, waiting results and placed runs, and
// the journal entries, then commits; (3) the files move to processed/. A crash before the commit leaves
// nothing on the server and the files to be read again; after it, the recorded fingerprints move the
// files without adding anything. Two benches never place one result twice: its key is inserted in the
// same transaction, and a key another bench took meanwhile (waited for, then found) refuses the whole
// transaction, so that the next pass finds it taken.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_set>

#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UFifoResult.h"
#include "UInboxJudge.h"
#include "UOperations.h"
#include "UServerStore.h"

#include "UJournal.h"
#include "UJournalTexts.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {
constexpr const char* EndsInsideAMessage = QT_TRANSLATE_NOOP("Core", "it ends inside a message");
std::string Param(int64_t v) {
    return std::to_string(v);
}
std::string Param(double v) {
    char b[40];
    auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

// The analyte a held run names, or a stand-in of three levels when there is none yet.
const TAnalyte& AnalyteOfRun(const TResu& run, std::optional<TAnalyte>& standIn) {
    if (const TAnalyte* a = ListAnalytes.FindByName(run.AnalyteName)) return *a;
    standIn.emplace(run.AnalyteName, "", 2, MaxLevels);
    return *standIn;
}

std::string EntryImage(const TResu& run) {
    return QueueImage(std::deque<TResu>{run});
}

TResu EntryOf(std::string_view image) {
    std::vector<TResu> runs = ParseQueueImage(image);
    if (runs.size() != 1) throw EQcError(QT_TRANSLATE_NOOP("Core", "Damaged inbox record in the database"));
    return runs.front();
}

int64_t Signed(uint64_t v) {
    return static_cast<int64_t>(v);
}

// A result's key, counted within its file: the same result twice in one file (a repeat that gave the
// same value in the same minute) is two results, and a file read again gives the same keys.
uint64_t SeenKey(const TInstrumentResult& r, int occurrence) {
    const std::string n = std::to_string(occurrence);
    return Fnv1a64(std::string_view(n.c_str(), n.size() + 1), ResultKey(r));
}

std::string DateTimeText(TDateTime t) {
    return IsoRegional().DateTimeToText(t);
}

std::string Describe(const TInstrumentResult& r, const std::string& origin) {
    return origin + " line " + std::to_string(r.Line) + ": " + r.TestCode + " " + r.Control +
           (r.Level > 0 ? " level " + std::to_string(r.Level) : "") + " = " + r.ValueText + " at " +
           DateTimeText(r.DateTime) +
           (r.AnalyserLimits.empty() ? "" : " (analyser: " + r.AnalyserLimits + ")");
}

bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code ec1, ec2;
    auto x = std::filesystem::weakly_canonical(a, ec1), y = std::filesystem::weakly_canonical(b, ec2);
    if (ec1 || ec2) return false;
    auto strip = [](std::filesystem::path p) {
        std::string s = p.string();
        while (s.size() > 1 && s.back() == '/') s.pop_back();
        return s;
    };
    return strip(x) == strip(y);
}

// The inbox may hold neither the program folder nor be it: its files would be read as instrument files
// and moved away.
void CheckInboxFolder(const std::string& inbox) {
    std::string program = ProgramFolder;
    while (program.size() > 1 && program.back() == '/') program.pop_back();
    if (SameFolder(inbox, program) ||
        SameFolder(inbox, std::filesystem::path(program).parent_path().string()))
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP(
                     "Core", "The inbox folder %1 cannot be the program folder or the folder holding it"),
                 inbox));
}

const char* const SettingFolder = "inbox.folder";
const char* const SettingAutoAccept = "inbox.autoaccept";
const char* const SettingWindow = "inbox.window";

TInstrumentResult WaitingRow(const TStatement& st, int c) {
    TInstrumentResult r;
    r.Source = st.Text(c);
    r.Instrument = st.Text(c + 1);
    r.TestCode = st.Text(c + 2);
    r.Control = st.Text(c + 3);
    r.Level = static_cast<int>(st.Int(c + 4));
    r.ValueText = st.Text(c + 5);
    r.Value = st.Real(c + 6);
    r.Units = st.Text(c + 7);
    r.DateTime = st.Real(c + 8);
    r.Operator = st.Text(c + 9);
    r.Comment = st.Text(c + 10);
    r.MessageId = st.Text(c + 11);
    r.Line = static_cast<int>(st.Int(c + 13));
    return r;
}
// A result waiting for a mapping into the statement of WaitingColumns and its time of receipt.
void BindWaiting(TStatement& st, const TInstrumentResult& r, const std::string& file,
                 const std::string& reason, const std::string& received) {
    st.Reset();
    st.Bind(1, r.Source).Bind(2, r.Instrument).Bind(3, r.TestCode).Bind(4, r.Control);
    st.Bind(5, static_cast<int64_t>(r.Level)).Bind(6, r.ValueText).Bind(7, r.Value).Bind(8, r.Units);
    st.Bind(9, r.DateTime).Bind(10, r.Operator).Bind(11, r.Comment).Bind(12, r.MessageId);
    st.Bind(13, file).Bind(14, static_cast<int64_t>(r.Line)).Bind(15, reason).Bind(16, received);
    st.Step();
}
constexpr const char* WaitingColumns = "source, instrument, code, control, level, value_text, value, units, "
                                       "date_time, operator, comment, message_id, file, line, reason";

} // namespace

// ---------------------------------------------------------------- settings, sources, mapping

TInboxSettings TOperations::InboxSettings() const {
    TInboxSettings s;
    if (server_) {
        try {
            TPgResult r = server_->Connection().Exec(
                "SELECT folder, auto_accept, window_minutes FROM inbox_setting WHERE station = $1",
                {ServerStation()});
            if (r.Rows() == 1) {
                s.Folder = r.Text(0, 0);
                s.AutoAccept = r.Text(0, 1) == "t";
                if (const double w = r.Real(0, 2); w > 0 && w <= 1440) s.WindowMinutes = w;
            }
        } catch (const EQcError&) {
        }
        return s;
    }
    if (!db_.IsOpen() || db_.Version("inbox") == 0) return s;
    s.Folder = db_.Meta(SettingFolder).value_or("");
    s.AutoAccept = db_.Meta(SettingAutoAccept).value_or("no") == "yes";
    long double w = 0;
    if (auto text = db_.Meta(SettingWindow); text && ParseDecimal(*text, '.', w) && w > 0 && w <= 1440)
        s.WindowMinutes = static_cast<double>(w);
    return s;
}

TOutcome TOperations::SetInboxSettings(const TInboxSettings& settings) {
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    EnsureDatabase();
    if (!server_ && !db_.IsOpen())
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "The inbox settings need the database %1"), db_.Path()));
    if (!(settings.WindowMinutes > 0 && settings.WindowMinutes <= 1440))
        return TOutcome::Refuse(QT_TRANSLATE_NOOP(
            "Core", "The time window of a run must be more than 0 and at most 1440 minutes"));
    const std::string folder = Trim(settings.Folder);
    if (!folder.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(folder, ec))
            return TOutcome::Refuse(
                Fill(QT_TRANSLATE_NOOP("Core", "The inbox folder %1 does not exist"), folder));
        try {
            CheckInboxFolder(folder);
        } catch (const EQcError& e) {
            return TOutcome::Refuse(e.what());
        }
    }
    const std::string logged = "folder " + folder + ", auto-accept " + (settings.AutoAccept ? "on" : "off") +
                               ", runs within " + FormatFixed(settings.WindowMinutes, 15, 0) + " min";
    if (server_) {
        Log(jk::InboxChanged, nullptr, 0, std::nullopt, "", logged);
        return ChangeInboxOnServer("inbox settings", [&] {
            server_->Connection().Exec(
                "INSERT INTO inbox_setting VALUES($1, $2, $3, $4) ON CONFLICT(station) DO UPDATE SET "
                "folder = $2, auto_accept = $3, window_minutes = $4",
                {ServerStation(), folder, settings.AutoAccept ? "t" : "f", Param(settings.WindowMinutes)});
        });
    }
    try {
        TDatabase::TTransaction t(db_);
        db_.SetMeta(SettingFolder, folder);
        db_.SetMeta(SettingAutoAccept, settings.AutoAccept ? "yes" : "no");
        db_.SetMeta(SettingWindow, FormatFixed(settings.WindowMinutes, 15, 3));
        Log(jk::InboxChanged, nullptr, 0, std::nullopt, "", logged);
        CompleteStaged();
        t.Commit();
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}

TInstrumentSource TOperations::InboxSource(const std::string& id) const {
    TInstrumentSource s;
    if (server_) {
        try {
            TPgResult r = server_->Connection().Exec("SELECT options FROM inbox_source WHERE id = $1",
                                                     {ServerText(id)});
            if (r.Rows() == 1) s = TInstrumentSource::FromText(LocalText(r.View(0, 0)));
        } catch (const EQcError&) {
            s = {};
        }
    } else if (db_.IsOpen() && db_.Version("inbox") > 0) {
        TStatement st = db_.Prepare("SELECT options FROM inbox_source WHERE id = ?");
        st.Bind(1, id);
        if (st.Step()) try {
                s = TInstrumentSource::FromText(st.Text(0));
            } catch (const EQcError&) {
                s = {};
            }
    }
    s.Id = id;
    return s;
}

std::vector<TInstrumentSource> TOperations::InboxSources() const {
    std::vector<TInstrumentSource> out;
    if (server_) {
        try {
            TPgResult r = server_->Connection().Exec("SELECT id FROM inbox_source ORDER BY id");
            for (int i = 0; i < r.Rows(); ++i) out.push_back(InboxSource(LocalText(r.View(i, 0))));
        } catch (const EQcError&) {
        }
        return out;
    }
    if (!db_.IsOpen() || db_.Version("inbox") == 0) return out;
    TStatement st = db_.Prepare("SELECT id FROM inbox_source ORDER BY id");
    while (st.Step()) out.push_back(InboxSource(st.Text(0)));
    return out;
}

TOutcome TOperations::SetInboxSource(const TInstrumentSource& source) {
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    if (!IsValidSourceId(source.Id))
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "\"%1\" cannot name a source: it names a subfolder of the inbox"),
                 source.Id));
    EnsureDatabase();
    if (!server_ && !db_.IsOpen())
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "The reading options need the database %1"), db_.Path()));
    try {
        // What is stored must read back as it is.
        const std::string text = source.ToText();
        if (!(TInstrumentSource::FromText(text) == source))
            return TOutcome::Refuse(Fill(
                QT_TRANSLATE_NOOP("Core", "The reading options of %1 do not read back as given"), source.Id));
        if (server_) {
            Log(jk::InboxChanged, nullptr, 0, std::nullopt, "",
                "reading options of " + source.Id + ": " + text);
            return ChangeInboxOnServer("inbox source " + source.Id, [&] {
                server_->Connection().Exec("INSERT INTO inbox_source(id, options) VALUES($1, $2) "
                                           "ON CONFLICT(id) DO UPDATE SET options = $2",
                                           {ServerText(source.Id), ServerText(text)});
            });
        }
        TDatabase::TTransaction t(db_);
        TStatement st = db_.Prepare("INSERT INTO inbox_source(id, options) VALUES(?1, ?2) "
                                    "ON CONFLICT(id) DO UPDATE SET options = ?2");
        st.Bind(1, source.Id).Bind(2, text);
        st.Step();
        Log(jk::InboxChanged, nullptr, 0, std::nullopt, "", "reading options of " + source.Id + ": " + text);
        CompleteStaged();
        t.Commit();
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}

std::vector<TInboxMapping> TOperations::InboxMappings() const {
    std::vector<TInboxMapping> out;
    if (server_) {
        try {
            TPgResult r = server_->Connection().Exec(
                "SELECT source, code, control, analyte, level FROM inbox_map ORDER BY source, code, control");
            for (int i = 0; i < r.Rows(); ++i)
                out.push_back({LocalText(r.View(i, 0)), LocalText(r.View(i, 1)), LocalText(r.View(i, 2)),
                               LocalText(r.View(i, 3)), static_cast<int>(r.Int(i, 4))});
        } catch (const EQcError&) {
        }
        return out;
    }
    if (!db_.IsOpen() || db_.Version("inbox") == 0) return out;
    TStatement st = db_.Prepare(
        "SELECT source, code, control, analyte, level FROM inbox_map ORDER BY source, code, control");
    while (st.Step())
        out.push_back({st.Text(0), st.Text(1), st.Text(2), st.Text(3), static_cast<int>(st.Int(4))});
    return out;
}

std::vector<TWaitingResult> TOperations::NotMappedResults() const {
    std::vector<TWaitingResult> out;
    if (server_) {
        try {
            TPgResult r = server_->Connection().Exec(std::string("SELECT id, ") + WaitingColumns +
                                                     ", received_utc FROM inbox_waiting ORDER BY id");
            for (int i = 0; i < r.Rows(); ++i) {
                TWaitingResult w;
                w.Id = r.Int(i, 0);
                w.Result = ServerWaitingRow(r, i, 1);
                w.File = LocalText(r.View(i, 13));
                w.Reason = LocalText(r.View(i, 15));
                w.ReceivedUtc = r.Text(i, 16);
                out.push_back(std::move(w));
            }
        } catch (const EQcError&) {
        }
        return out;
    }
    if (!db_.IsOpen() || db_.Version("inbox") == 0) return out;
    TStatement st = db_.Prepare(std::string("SELECT id, ") + WaitingColumns +
                                ", received_utc FROM inbox_waiting ORDER BY id");
    while (st.Step()) {
        TWaitingResult w;
        w.Id = st.Int(0);
        w.Result = WaitingRow(st, 1);
        w.File = st.Text(13);
        w.Reason = st.Text(15);
        w.ReceivedUtc = st.Text(16);
        out.push_back(std::move(w));
    }
    return out;
}

int TOperations::NotMappedCount() const {
    if (server_) try {
            return static_cast<int>(
                server_->Connection().Exec("SELECT count(*) FROM inbox_waiting").Int(0, 0));
        } catch (const EQcError&) {
            return 0;
        }
    if (!db_.IsOpen() || db_.Version("inbox") == 0) return 0;
    TStatement st = db_.Prepare("SELECT count(*) FROM inbox_waiting");
    return st.Step() ? static_cast<int>(st.Int(0)) : 0;
}

TOutcome TOperations::DiscardNotMappedResults(const std::string& file, const std::string& reason,
                                              int* discarded) {
    if (discarded) *discarded = 0;
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    if (Trim(reason).empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Give a reason for discarding results"));
    EnsureDatabase();
    if (!server_ && !db_.IsOpen())
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "The mapping needs the database %1"), db_.Path()));
    const auto noneFrom = [&] {
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "No results of %1 wait for a mapping"), file));
    };
    const auto logged = [&](int64_t n) {
        Log(jk::InboxDiscarded, nullptr, 0, std::nullopt,
            file + ": " + std::to_string(n) + " results not mapped", "discarded", reason);
    };
    if (server_) {
        int64_t n = 0;
        try {
            n = server_->Connection()
                    .Exec("SELECT count(*) FROM inbox_waiting WHERE file = $1", {ServerText(file)})
                    .Int(0, 0);
        } catch (const EQcError& e) {
            return TOutcome::FromError(e);
        }
        if (n == 0) return noneFrom();
        logged(n);
        TOutcome out = ChangeInboxOnServer("inbox discard", [&] {
            server_->Connection().Exec("DELETE FROM inbox_waiting WHERE file = $1", {ServerText(file)});
        });
        if (out.Ok() && discarded) *discarded = static_cast<int>(n);
        return out;
    }
    try {
        TDatabase::TTransaction t(db_);
        TStatement st = db_.Prepare("DELETE FROM inbox_waiting WHERE file = ?");
        st.Bind(1, file);
        st.Step();
        TStatement n = db_.Prepare("SELECT changes()");
        n.Step();
        const int64_t count = n.Int(0);
        if (count == 0) return noneFrom();
        logged(count);
        CompleteStaged();
        t.Commit();
        if (discarded) *discarded = static_cast<int>(count);
    } catch (const EQcError& e) {
        staged_.clear();
        return TOutcome::FromError(e);
    }
    Notify(ckQueue);
    return {};
}

std::vector<TFailedInboxFile> TOperations::FailedInboxFiles() const {
    const std::string folder = open_ ? InboxSettings().Folder : std::string();
    if (folder.empty()) return {};
    try {
        return ListFailedInboxFiles(folder);
    } catch (const EQcError&) {
        return {};
    }
}

TOutcome TOperations::ReadFailedInboxFileAgain(const TFailedInboxFile& file) {
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    try {
        // Forgotten as read, so that it is read with the options as they are now; its results taken
        // before are known by their own record and not taken twice.
        const int64_t hash = Signed(Fnv1a64(ReadWholeFile(file.Path)));
        if (server_) {
            server_->Connection().Exec("DELETE FROM inbox_file WHERE source = $1 AND hash = $2",
                                       {ServerText(file.Source), Param(hash)});
        } else {
            EnsureDatabase();
            if (db_.IsOpen() && db_.Version("inbox") > 0) {
                TStatement st = db_.Prepare("DELETE FROM inbox_file WHERE source = ? AND hash = ?");
                st.Bind(1, file.Source).Bind(2, hash);
                st.Step();
            }
        }
        MoveBackFromFailed(file);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    return {};
}

TOutcome TOperations::RemoveFailedInboxFile(const TFailedInboxFile& file, const std::string& reason) {
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    if (Trim(reason).empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Give a reason for removing a file"));
    std::string first = file.Reason.substr(0, file.Reason.find('\n'));
    Log(jk::InboxDiscarded, nullptr, 0, std::nullopt,
        file.Source + " failed/" + file.Name + ": " + Utf8ToCp1252(first), "removed", reason);
    if (server_) return ChangeInboxOnServer("inbox failed file", [&] { RemoveFailedFile(file); });
    try {
        EnsureDatabase();
        if (db_.IsOpen()) {
            TDatabase::TTransaction t(db_);
            CompleteStaged();
            RemoveFailedFile(file);
            t.Commit();
        } else {
            staged_.clear();
            RemoveFailedFile(file);
        }
    } catch (const EQcError& e) {
        staged_.clear();
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}

TOutcome TOperations::RemoveInboxMapping(const std::string& source, const std::string& code,
                                         const std::string& control) {
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    EnsureDatabase();
    if (!server_ && !db_.IsOpen())
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "The mapping needs the database %1"), db_.Path()));
    if (server_) {
        Log(jk::MappingChanged, nullptr, 0, std::nullopt, source + " " + code + " " + control, "removed");
        return ChangeInboxOnServer("inbox mapping", [&] {
            if (server_->Connection()
                    .Exec(
                        "DELETE FROM inbox_map WHERE source = $1 AND code = $2 AND control = $3 RETURNING 1",
                        {ServerText(source), ServerText(code), ServerText(control)})
                    .Rows() == 0)
                throw EQcError(
                    Fill(QT_TRANSLATE_NOOP("Core", "No mapping for %1 %2 %3"), source, code, control));
        });
    }
    try {
        TDatabase::TTransaction t(db_);
        TStatement st = db_.Prepare("DELETE FROM inbox_map WHERE source = ? AND code = ? AND control = ?");
        st.Bind(1, source).Bind(2, code).Bind(3, control);
        st.Step();
        TStatement n = db_.Prepare("SELECT changes()");
        n.Step();
        if (n.Int(0) == 0)
            return TOutcome::Refuse(
                Fill(QT_TRANSLATE_NOOP("Core", "No mapping for %1 %2 %3"), source, code, control));
        Log(jk::MappingChanged, nullptr, 0, std::nullopt, source + " " + code + " " + control, "removed");
        CompleteStaged();
        t.Commit();
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}

// ---------------------------------------------------------------- planning runs

struct TOperations::TInboxPlan {
    struct TRun {
        TResu Run;
        std::string Source, Analyte;
        TDateTime First = 0, Last = 0;
        std::string Replaces;              // queue image of the held run this one completes
        std::vector<int64_t> ReplacedRows; // its rows
        std::string Note;
        TInboxVerdict Verdict;
        bool ToData = false;
    };
    // A held run from the inbox that a new result of its analyte and source may complete.
    struct THeld {
        int64_t Row = 0;
        std::string Source, Analyte, Image, Note;
        TResu Run;
        TDateTime First = 0, Last = 0;
        int Planned = -1; // the planned run it became
    };
    std::vector<TRun> Runs;
    std::vector<THeld> Held;
    std::vector<int64_t> Gone; // placed rows no longer in the queue
    struct TWaiting {
        size_t Index; // in the planned results
        TInstrumentResult Result;
        std::string Origin, Reason;
    };
    std::vector<TWaiting> Waiting;
    std::vector<int64_t> Mapped; // waiting rows brought in
    // What was read: result keys, files (source, fingerprint, name, results), message ids.
    std::vector<uint64_t> Seen;
    struct TFile {
        std::string Source, Name;
        uint64_t Hash;
        int Results;
        std::string Faults; // its lines that gave no result
    };
    std::vector<TFile> Files;
    std::vector<std::pair<std::string, std::string>> Messages; // source, control id
    std::vector<std::string> MessageFiles;
};

// What a pass on a server changed in memory, put back when its transaction is refused.
struct TOperations::TInboxUndo {
    bool Refreshed = false; // the queue was brought up to the server's: told even when refused
    bool Saved = false;
    std::deque<TResu> Queue;
    std::map<TAnalyteId, TAnalyte> Analytes;
    bool QueueChanged = false;
    int Queued = 0, Accepted = 0, Merged = 0;
};

// The queue as a pass changes it: the queue it found, untouched and not copied, and the pass's
// changes beside it. Runs are looked up by image, but an entry's image is made only when a run of the
// same time is looked for, so that a pass costs what it reads and not what the queue holds.
class TOperations::TPassQueue {
public:
    // The queue from its entry `from` on; it must not change while this lives.
    explicit TPassQueue(const std::deque<TResu>& queue, size_t from = 0)
        : base_(queue), from_(std::min(from, queue.size())), count_(queue.size() - from_) {}
    // An entry: kept (of the queue found), completed or added by the pass.
    struct TEntry {
        size_t At; // in the queue found; beyond it, in the added runs
        const TResu& Run;
        bool New;
    };
    // The entry holding this image; a damaged image is held by none.
    std::optional<size_t> Find(const std::string& image) {
        double time = 0;
        try {
            time = EntryOf(image).DateTime;
        } catch (const EQcError&) {
            return std::nullopt;
        }
        // A few lookups scan the times; more build an index of them.
        if (++lookups_ > 8 && byTime_.empty()) IndexTimes();
        auto matches = [&](size_t at) {
            if (!Live(at) || RunAt(at).DateTime != time) return false;
            std::string& own = images_[at];
            if (own.empty()) own = EntryImage(RunAt(at));
            return own == image;
        };
        if (!byTime_.empty()) {
            auto [first, last] = byTime_.equal_range(time);
            for (auto it = first; it != last; ++it)
                if (matches(it->second)) return it->second;
            return std::nullopt;
        }
        for (size_t at = from_; at < base_.size() + added_.size(); ++at)
            if (matches(at)) return at;
        return std::nullopt;
    }
    void Add(const TResu& run, std::string image) {
        const size_t at = base_.size() + added_.size();
        added_.push_back(run);
        images_[at] = std::move(image);
        if (!byTime_.empty()) byTime_.emplace(run.DateTime, at);
        ++count_;
    }
    void Replace(size_t at, const TResu& run, std::string image) {
        if (at >= base_.size()) {
            added_[at - base_.size()] = run;
        } else {
            replaced_[at] = run;
            Mark(at, kReplaced);
        }
        images_[at] = std::move(image);
        if (!byTime_.empty()) byTime_.emplace(run.DateTime, at);
    }
    void Erase(size_t at) {
        if (at >= base_.size())
            gone_.insert(at);
        else
            Mark(at, kGone);
        --count_;
    }
    size_t Count() const { return count_; }
    // Each live entry in the queue's order.
    template <class F> void ForEach(F&& f) const {
        for (size_t at = from_; at < base_.size() + added_.size(); ++at)
            if (Live(at)) f(TEntry{at, RunAt(at), at >= base_.size() || State(at) == kReplaced});
    }
    // Into the result queue, which must be the queue found from its first entry. Runs only added are
    // pushed after the others; any other change rebuilds the queue. Returns what puts it back.
    std::function<void()> PutInto(TFifo& fifo) const {
        if (state_.empty()) {
            for (const TResu& r : added_) fifo.Push(r);
            return [&fifo, n = added_.size()] {
                for (size_t k = 0; k < n; ++k) fifo.DropLast();
            };
        }
        std::deque<TResu> before = base_, after;
        ForEach([&](const TEntry& e) { after.push_back(e.Run); });
        fifo.ClearQueue();
        for (TResu& r : after) fifo.Push(std::move(r));
        return [&fifo, before = std::move(before)] {
            fifo.ClearQueue();
            for (const TResu& r : before) fifo.Push(r);
        };
    }

private:
    static constexpr uint8_t kKept = 0, kGone = 1, kReplaced = 2;
    bool Live(size_t at) const { return at >= base_.size() ? !gone_.count(at) : State(at) != kGone; }
    uint8_t State(size_t at) const { return state_.empty() ? kKept : state_[at]; }
    void Mark(size_t at, uint8_t state) {
        if (state_.empty()) state_.assign(base_.size(), kKept);
        state_[at] = state;
    }
    const TResu& RunAt(size_t at) const {
        if (at >= base_.size()) return added_[at - base_.size()];
        return State(at) == kReplaced ? replaced_.at(at) : base_[at];
    }
    void IndexTimes() {
        for (size_t at = from_; at < base_.size() + added_.size(); ++at)
            if (Live(at)) byTime_.emplace(RunAt(at).DateTime, at);
    }
    const std::deque<TResu>& base_;
    size_t from_, count_;
    std::deque<TResu> added_;
    std::vector<uint8_t> state_; // of the queue found; empty while nothing of it changed
    std::unordered_map<size_t, TResu> replaced_;
    std::unordered_set<size_t> gone_; // added runs taken away again
    std::unordered_map<size_t, std::string> images_;
    std::unordered_multimap<double, size_t> byTime_;
    size_t lookups_ = 0;
};

// Held runs from the inbox still in the queue may be completed; the others are gone. Only those that
// a new run could complete are read: of its source and analyte, within the window of its times. The
// head is not touched while it is being validated.
void TOperations::FindHeldInboxRuns(TInboxPlan& plan, const TRunGrouping& grouping,
                                    const std::vector<TInstrumentResult>& results,
                                    const TInboxSettings& settings) {
    const double reach = settings.WindowMinutes / 1440.0 + 1.0 / 1440;
    std::map<std::pair<std::string, std::string>, std::pair<TDateTime, TDateTime>> bounds;
    for (const TInstrumentRun& g : grouping.Runs)
        for (size_t i : g.Results) {
            const TDateTime t = results[i].DateTime;
            auto [it, added] = bounds.try_emplace({g.Source, g.Run.AnalyteName}, t, t);
            it->second = {std::min(it->second.first, t), std::max(it->second.second, t)};
        }
    TPassQueue queued(Fifo.Entries(), recallOpen_ ? 1 : 0);
    std::deque<TResu> validated, elsewhere;
    if (recallOpen_ && Fifo.Count() > 0) validated.push_back(Fifo.Entries().front());
    // On a server a held run is gone when no bench holds it any more, whatever this one last saw.
    if (server_) elsewhere = server_->QueueNow();
    TPassQueue head(validated), others(elsewhere);
    std::vector<TInboxPlan::THeld> placed;
    // Those starting at most `reach` before the first new result and ending at most `reach` after the
    // last one: no other could take a new result within the window.
    constexpr const char* Placed = "SELECT id, source, analyte, entry, first_time, last_time, note FROM "
                                   "inbox_run WHERE state = 'placed' AND target = 'queue'";
    for (const auto& [key, span] : bounds) {
        const std::string low = Param(span.first - reach), high = Param(span.second + reach);
        if (server_) {
            TPgResult r = server_->Connection().Exec(
                std::string(Placed) + " AND source = $1 AND analyte = $2 AND first_time >= $3 AND "
                                      "last_time <= $4 ORDER BY id",
                {ServerText(key.first), ServerText(key.second), low, high});
            for (int i = 0; i < r.Rows(); ++i)
                placed.push_back({r.Int(i, 0),
                                  LocalText(r.View(i, 1)),
                                  LocalText(r.View(i, 2)),
                                  r.Bytes(i, 3),
                                  LocalText(r.View(i, 6)),
                                  {},
                                  r.Real(i, 4),
                                  r.Real(i, 5)});
        } else {
            TStatement st = db_.Prepare(
                std::string(Placed) +
                " AND source = ? AND analyte = ? AND first_time >= ? AND last_time <= ? ORDER BY id");
            st.Bind(1, key.first)
                .Bind(2, key.second)
                .Bind(3, span.first - reach)
                .Bind(4, span.second + reach);
            while (st.Step())
                placed.push_back(
                    {st.Int(0), st.Text(1), st.Text(2), st.Text(3), st.Text(6), {}, st.Real(4), st.Real(5)});
        }
    }
    std::sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) { return a.Row < b.Row; });
    for (TInboxPlan::THeld& h : placed) {
        const bool inQueue = queued.Find(h.Image).has_value();
        if (!inQueue && !head.Find(h.Image) && !others.Find(h.Image)) {
            plan.Gone.push_back(h.Row);
            continue;
        }
        if (!inQueue) continue;
        h.Run = EntryOf(h.Image);
        plan.Held.push_back(std::move(h));
    }
}

void TOperations::PlanInboxRuns(TInboxPlan& plan, const std::vector<TInstrumentResult>& results,
                                const std::vector<std::string>& origins, const TInboxSettings& settings) {
    // The mapping, and why a result is not mapped.
    std::map<std::tuple<std::string, std::string, std::string>, std::pair<std::string, int>> map;
    if (server_) {
        TPgResult r =
            server_->Connection().Exec("SELECT source, code, control, analyte, level FROM inbox_map");
        for (int i = 0; i < r.Rows(); ++i)
            map[{LocalText(r.View(i, 0)), LocalText(r.View(i, 1)), LocalText(r.View(i, 2))}] = {
                LocalText(r.View(i, 3)), static_cast<int>(r.Int(i, 4))};
    } else {
        TStatement st = db_.Prepare("SELECT source, code, control, analyte, level FROM inbox_map");
        while (st.Step())
            map[{st.Text(0), st.Text(1), st.Text(2)}] = {st.Text(3), static_cast<int>(st.Int(4))};
    }
    std::vector<std::optional<TMappedResult>> mapped(results.size());
    for (size_t i = 0; i < results.size(); ++i) {
        const TInstrumentResult& r = results[i];
        auto it = map.find({r.Source, r.TestCode, r.Control});
        std::string reason;
        if (it == map.end()) {
            reason = TranslatedText(QT_TRANSLATE_NOOP("Core", "no mapping"));
        } else if (TAnalyte* a = ListAnalytes.FindByName(it->second.first); !a) {
            reason = Fill(QT_TRANSLATE_NOOP("Core", "the analyte %1 does not exist"), it->second.first);
        } else {
            const int level = it->second.second > 0 ? it->second.second : r.Level;
            const int levels = std::clamp(a->NbLevels, 1, MaxLevels);
            if (level < 1)
                reason = Fill(QT_TRANSLATE_NOOP("Core", "no level given for %1"), a->Name);
            else if (level > levels)
                reason = Fill(levels == 1 ? QT_TRANSLATE_NOOP("Core", "level %1: %2 has %3 level")
                                          : QT_TRANSLATE_NOOP("Core", "level %1: %2 has %3 levels"),
                              std::to_string(level), a->Name, std::to_string(levels));
            else
                mapped[i] = TMappedResult{a->Name, level, levels};
        }
        if (!mapped[i]) plan.Waiting.push_back({i, r, origins[i], reason});
    }
    const TRunGrouping grouping = GroupInstrumentRuns(
        results, [&](const TInstrumentResult& r) { return mapped[static_cast<size_t>(&r - results.data())]; },
        settings.WindowMinutes);

    FindHeldInboxRuns(plan, grouping, results, settings);
    const long long window = std::llround(settings.WindowMinutes * 60000.0);
    auto ms = [](TDateTime t) { return std::llround(t * 86400000.0); };
    auto fits = [&](const TResu& held, TDateTime first, TDateTime last, const TResu& run, TDateTime f2,
                    TDateTime l2) {
        for (int k = 0; k < MaxLevels; ++k)
            if (held.Levels[static_cast<size_t>(k)].State != psEmpty &&
                run.Levels[static_cast<size_t>(k)].State != psEmpty)
                return false;
        return ms(std::max(last, l2)) - ms(std::min(first, f2)) <= window;
    };

    for (const TInstrumentRun& g : grouping.Runs) {
        TDateTime first = results[g.Results.front()].DateTime, last = first;
        std::string note;
        for (size_t i : g.Results) {
            first = std::min(first, results[i].DateTime);
            last = std::max(last, results[i].DateTime);
            note += (note.empty() ? "" : "\n") + Describe(results[i], origins[i]);
        }
        TInboxPlan::TRun* into = nullptr;
        for (TInboxPlan::THeld& h : plan.Held) {
            if (h.Source != g.Source || h.Analyte != g.Run.AnalyteName) continue;
            const bool planned = h.Planned >= 0;
            TInboxPlan::TRun* current = planned ? &plan.Runs[static_cast<size_t>(h.Planned)] : nullptr;
            const TResu& held = planned ? current->Run : h.Run;
            if (!fits(held, planned ? current->First : h.First, planned ? current->Last : h.Last, g.Run,
                      first, last))
                continue;
            if (!planned) {
                plan.Runs.push_back({});
                TInboxPlan::TRun& r = plan.Runs.back();
                r.Run = h.Run;
                r.Source = h.Source;
                r.Analyte = h.Analyte;
                r.First = h.First;
                r.Last = h.Last;
                r.Replaces = h.Image;
                r.ReplacedRows = {h.Row};
                r.Note = h.Note;
                h.Planned = static_cast<int>(plan.Runs.size() - 1);
            }
            into = &plan.Runs[static_cast<size_t>(h.Planned)];
            break;
        }
        if (!into) {
            plan.Runs.push_back({});
            into = &plan.Runs.back();
            into->Run = g.Run;
            into->Source = g.Source;
            into->Analyte = g.Run.AnalyteName;
            into->First = first;
            into->Last = last;
            into->Note = note;
            continue;
        }
        for (int k = 0; k < MaxLevels; ++k)
            if (g.Run.Levels[static_cast<size_t>(k)].State != psEmpty)
                into->Run.Levels[static_cast<size_t>(k)] = g.Run.Levels[static_cast<size_t>(k)];
        into->First = std::min(into->First, first);
        into->Last = std::max(into->Last, last);
        into->Run.DateTime = into->First;
        if (into->Run.Operator.empty()) into->Run.Operator = g.Run.Operator;
        into->Note += "\n" + note;
    }
    for (TInboxPlan::TRun& r : plan.Runs) {
        TAnalyte* a = ListAnalytes.FindByName(r.Analyte);
        if (!a) continue; // mapped above, so it exists
        r.Verdict = JudgeInboxRun(*a, r.Run, RuleSet(a->Name));
        r.Run.Comment = InboxComment(r.Source, r.Verdict);
        r.ToData = settings.AutoAccept && r.Verdict.Clear();
    }
}

void TOperations::RecordInboxPlan(const TInboxPlan& plan) {
    const std::string now = UtcTimeText();
    TStatement run = db_.Prepare("INSERT INTO inbox_run(source, analyte, target, entry, replaces, "
                                 "first_time, last_time, state, verdict, "
                                 "note, made_utc) VALUES(?, ?, ?, ?, ?, ?, ?, 'pending', ?, ?, ?)");
    for (const TInboxPlan::TRun& r : plan.Runs) {
        run.Reset();
        run.Bind(1, r.Source)
            .Bind(2, r.Analyte)
            .Bind(3, r.ToData ? "data" : "queue")
            .Bind(4, EntryImage(r.Run));
        if (r.Replaces.empty())
            run.BindNull(5);
        else
            run.Bind(5, r.Replaces);
        run.Bind(6, r.First).Bind(7, r.Last).Bind(8, r.Verdict.Text).Bind(9, r.Note).Bind(10, now);
        run.Step();
    }
    TStatement state = db_.Prepare("UPDATE inbox_run SET state = ? WHERE id = ?");
    for (const TInboxPlan::TRun& r : plan.Runs)
        for (int64_t row : r.ReplacedRows) {
            state.Reset();
            state.Bind(1, "replaced").Bind(2, row);
            state.Step();
        }
    for (int64_t row : plan.Gone) {
        state.Reset();
        state.Bind(1, "gone").Bind(2, row);
        state.Step();
    }
    TStatement waiting =
        db_.Prepare(std::string("INSERT INTO inbox_waiting(") + WaitingColumns +
                    ", received_utc) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const TInboxPlan::TWaiting& w : plan.Waiting)
        BindWaiting(waiting, w.Result, w.Origin, w.Reason, now);
    TStatement mapped = db_.Prepare("DELETE FROM inbox_waiting WHERE id = ?");
    for (int64_t id : plan.Mapped) {
        mapped.Reset();
        mapped.Bind(1, id);
        mapped.Step();
    }
    TStatement seen = db_.Prepare("INSERT OR IGNORE INTO inbox_seen(key) VALUES(?)");
    for (uint64_t key : plan.Seen) {
        seen.Reset();
        seen.Bind(1, Signed(key));
        seen.Step();
    }
    TStatement file = db_.Prepare("INSERT OR IGNORE INTO inbox_file(source, hash, name, results, faults, "
                                  "read_utc) VALUES(?, ?, ?, ?, ?, ?)");
    for (const TInboxPlan::TFile& f : plan.Files) {
        file.Reset();
        file.Bind(1, f.Source)
            .Bind(2, Signed(f.Hash))
            .Bind(3, f.Name)
            .Bind(4, static_cast<int64_t>(f.Results));
        file.Bind(5, f.Faults).Bind(6, now);
        file.Step();
    }
    TStatement message =
        db_.Prepare("INSERT OR IGNORE INTO inbox_message(source, id, file, read_utc) VALUES(?, ?, ?, ?)");
    for (size_t i = 0; i < plan.Messages.size(); ++i) {
        message.Reset();
        message.Bind(1, plan.Messages[i].first)
            .Bind(2, plan.Messages[i].second)
            .Bind(3, plan.MessageFiles[i]);
        message.Bind(4, now);
        message.Step();
    }
}

// ---------------------------------------------------------------- placing runs

namespace {
// A run recorded by a reading and not yet placed.
struct TPending {
    int64_t Row;
    std::string Analyte;
    bool ToData;
    TResu Run;
    std::string Image, Replaces;
    bool Waits = false; // not held: the queue is full
};

std::vector<TPending> PendingRuns(TDatabase& db) {
    std::vector<TPending> pending;
    if (!db.IsOpen() || db.Version("inbox") == 0) return pending;
    TStatement st = db.Prepare("SELECT id, analyte, target, entry, replaces FROM inbox_run "
                               "WHERE state = 'pending' ORDER BY id");
    while (st.Step()) {
        TPending p{st.Int(0), st.Text(1), st.Text(2) == "data", {}, st.Text(3), st.Text(4)};
        p.Run = EntryOf(p.Image);
        pending.push_back(std::move(p));
    }
    return pending;
}

// The runs in the files marked placed; those that wait for room in the queue stay pending.
TOutcome MarkPlaced(TDatabase& db, const std::vector<TPending>& pending) {
    try {
        TDatabase::TTransaction t(db);
        TStatement st = db.Prepare("UPDATE inbox_run SET state = 'placed' WHERE id = ?");
        for (const TPending& p : pending) {
            if (p.Waits) continue;
            st.Reset();
            st.Bind(1, p.Row);
            st.Step();
        }
        t.Commit();
    } catch (const EQcError& e) {
        // The runs are in the files; placing them again finds them there and adds nothing.
        TOutcome out = TOutcome::FromError(e, TStatus::Partial);
        out.Message =
            Fill(QT_TRANSLATE_NOOP("Core", "The runs from the instruments were saved, but not marked so "
                                           "in the database:\r%1"),
                 e.what());
        return out;
    }
    return {};
}
} // namespace

TOutcome TOperations::PlacePendingInboxRuns(TInboxReport* report) {
    std::vector<TPending> pending;
    try {
        pending = PendingRuns(db_);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    if (pending.empty()) return {};

    std::map<TAnalyteId, TAnalyte> analytesBefore;
    // The queue as it will be.
    TPassQueue queue(Fifo.Entries());
    bool queueChanged = false;
    int queued = 0, accepted = 0, merged = 0, waiting = 0;
    // A folder's queue file holds so many runs at most; the rest stay pending until runs are recalled.
    const size_t room = server_ ? SIZE_MAX : MaxQueueEntries;
    for (TPending& p : pending) {
        TAnalyte* a = p.ToData ? ListAnalytes.FindByName(p.Analyte) : nullptr;
        if (a) {
            // Stored directly; the held run it completes leaves the queue.
            if (!HoldsRun(*a, p.Run)) {
                if (!analytesBefore.count(a->Uid)) analytesBefore.emplace(a->Uid, *a);
                a->AddPoint(p.Run);
            }
            if (!p.Replaces.empty())
                if (std::optional<size_t> at = queue.Find(p.Replaces)) {
                    queue.Erase(*at);
                    queueChanged = true;
                }
            ++accepted;
            continue;
        }
        if (queue.Find(p.Image)) { // placed before a crash
            ++queued;
            continue;
        }
        if (!p.Replaces.empty())
            if (std::optional<size_t> at = queue.Find(p.Replaces)) {
                queue.Replace(*at, p.Run, p.Image);
                queueChanged = true;
                ++queued;
                ++merged;
                continue;
            }
        if (queue.Count() >= room) {
            p.Waits = true;
            ++waiting;
            continue;
        }
        ++queued;
        queue.Add(p.Run, p.Image);
        queueChanged = true;
    }
    // The queue first: a held run that a stored run completes leaves the queue before the data file takes
    // the stored one, so that no value is ever in both files; until the data file is written the value
    // is in the database's pending run, which the next start or reading places.
    if (queueChanged) {
        // The journal's entries go with the file that takes the runs.
        LogNewlyHeld(queue);
        const std::function<void()> putBack = queue.PutInto(Fifo);
        try {
            WriteQueue();
        } catch (const EQcError& e) {
            putBack();
            for (auto& [uid, before] : analytesBefore)
                if (TAnalyte* a = ListAnalytes.Find(uid)) *a = before;
            TOutcome out = TOutcome::FromError(e);
            out.Message =
                Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1\rThe results from the instruments "
                                               "are kept and placed at the next reading."),
                     e.what());
            return out;
        }
    }
    if (!analytesBefore.empty()) {
        for (const TPending& p : pending)
            if (const TAnalyte* a = p.ToData ? ListAnalytes.FindByName(p.Analyte) : nullptr;
                a && analytesBefore.count(a->Uid))
                LogAcceptedRun(analytesBefore.at(a->Uid), p.Run, TRunNote{});
        for (auto& [uid, before] : analytesBefore)
            if (TAnalyte* a = ListAnalytes.Find(uid)) a->RecalcAll();
        try {
            WriteData();
        } catch (const EQcError& e) {
            for (auto& [uid, before] : analytesBefore)
                if (TAnalyte* a = ListAnalytes.Find(uid)) *a = before;
            TOutcome out = TOutcome::FromError(e, queueChanged ? TStatus::Partial : TStatus::Refused);
            out.Message =
                Fill(QT_TRANSLATE_NOOP("Core", "Cannot save data\r%1\rThe results from the instruments are "
                                               "kept and placed at the next reading."),
                     e.what());
            if (queueChanged) Notify(ckQueue);
            return out;
        }
    }
    TOutcome out = MarkPlaced(db_, pending);
    if (report) {
        report->Queued += queued;
        report->Accepted += accepted;
        report->Merged += merged;
    }
    if (waiting > 0)
        out.Notes.push_back(
            Fill(QT_TRANSLATE_NOOP("Core", "The queue is full (%1 held runs): %2 runs from the "
                                           "instruments wait until held runs are recalled."),
                 std::to_string(MaxQueueEntries), std::to_string(waiting)));
    for (auto& [uid, before] : analytesBefore) Notify(ckPoints, ListAnalytes.Find(uid));
    if (queueChanged) Notify(ckQueue);
    return out;
}

void TOperations::LogNewlyHeld(const TPassQueue& queue) {
    queue.ForEach([&](const TPassQueue::TEntry& e) {
        if (!e.New) return;
        std::optional<TAnalyte> standIn;
        const TAnalyte& qa = AnalyteOfRun(e.Run, standIn);
        Log(jk::RunHeld, &qa, 0, e.Run.DateTime, "",
            RunText(qa, e.Run.Levels, Trim(e.Run.Operator), e.Run.Comment), "", e.Run.Operator);
    });
}

void TOperations::RecoverInbox(TOpenReport& report) {
    TOutcome out = PlacePendingInboxRuns(nullptr);
    if (!out.Ok()) report.Notes.push_back(out.Message);
    for (const std::string& note : out.Notes) report.Notes.push_back(note);
}

int TOperations::HeldFromInbox() const {
    if (server_ && Fifo.Count() > 0) try {
            std::unordered_multiset<std::string> queued;
            for (const TResu& e : Fifo.Entries()) queued.insert(EntryImage(e));
            int n = 0;
            TPgResult r = server_->Connection().Exec(
                "SELECT entry FROM inbox_run WHERE state = 'placed' AND target = 'queue'");
            for (int i = 0; i < r.Rows(); ++i) n += static_cast<int>(queued.count(r.Bytes(i, 0)));
            return n;
        } catch (const EQcError&) {
            return 0;
        }
    if (!db_.IsOpen() || Fifo.Count() == 0) return 0;
    try {
        if (db_.Version("inbox") == 0) return 0;
        std::unordered_multiset<std::string> queued;
        for (const TResu& e : Fifo.Entries()) queued.insert(EntryImage(e));
        int n = 0;
        TStatement st =
            db_.Prepare("SELECT entry FROM inbox_run WHERE state = 'placed' AND target = 'queue'");
        while (st.Step()) n += static_cast<int>(queued.count(st.Text(0)));
        return n;
    } catch (const EQcError&) {
        return 0;
    }
}

// ---------------------------------------------------------------- mapping

namespace {
std::string MappingText(const TInboxMapping& m) {
    return m.Source + " " + m.Code + " " + m.Control + " -> " + m.Analyte + " level " +
           std::to_string(m.Level);
}
// Level 0: the level each result's file gives.
std::string MappedLevel(int level) {
    return level > 0 ? std::to_string(level) : TranslatedText(QT_TRANSLATE_NOOP("Core", "given by the file"));
}
} // namespace

std::optional<TInboxMapping> TOperations::InboxMappingOf(const std::string& source, const std::string& code,
                                                         const std::string& control) const {
    for (const TInboxMapping& m : InboxMappings())
        if (m.Source == Trim(source) && m.Code == Trim(code) && m.Control == Trim(control)) return m;
    return std::nullopt;
}

TOutcome TOperations::MapInstrumentResults(const TInboxMapping& mapping, TInboxReport* report, bool replace) {
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    TInboxMapping m = mapping;
    m.Source = Trim(m.Source);
    m.Code = Trim(m.Code);
    m.Control = Trim(m.Control);
    if (m.Source.empty() || m.Code.empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "A mapping needs a source and a test code"));
    const TAnalyte* a = ListAnalytes.FindByName(m.Analyte);
    if (!a) return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "Unknown analyte: %1"), m.Analyte));
    m.Analyte = a->Name;
    if (m.Level < 0 || m.Level > a->NbLevels)
        return TOutcome::Refuse(Fill(a->NbLevels == 1
                                         ? QT_TRANSLATE_NOOP("Core", "Level %1: %2 has %3 level")
                                         : QT_TRANSLATE_NOOP("Core", "Level %1: %2 has %3 levels"),
                                     std::to_string(m.Level), a->Name, std::to_string(a->NbLevels)));
    EnsureDatabase();
    if (!server_ && !db_.IsOpen())
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "The mapping needs the database %1"), db_.Path()));
    // A control mapped elsewhere is moved only when the user confirmed it.
    const std::optional<TInboxMapping> former = InboxMappingOf(m.Source, m.Code, m.Control);
    const bool replacing = former && (former->Analyte != m.Analyte || former->Level != m.Level);
    if (replacing && !replace)
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "%1 %2 %3 is already mapped to %4 level %5: "
                                                               "replacing that mapping needs a confirmation"),
                                     m.Source, m.Code, m.Control, former->Analyte,
                                     MappedLevel(former->Level)));
    const std::string before = former ? MappingText(*former) : "";
    auto noteHeld = [&](TOutcome out) {
        if (replacing && out.Ok())
            out.Notes.push_back(
                Fill(QT_TRANSLATE_NOOP("Core", "Runs already held in the queue from %1 %2 %3 "
                                               "stay as they were read under the former "
                                               "mapping (%4 level %5): check them there before "
                                               "accepting them."),
                     m.Source, m.Code, m.Control, former->Analyte, MappedLevel(former->Level)));
        return out;
    };
    TInboxReport rep;
    if (server_) {
        TOutcome out = MapOnServer(m, before, rep);
        if (report) *report = rep;
        return noteHeld(out);
    }
    try {
        // Whatever an interrupted reading left is placed before new runs are planned against the queue.
        if (TOutcome placed = PlacePendingInboxRuns(&rep); !placed.Ok()) return placed;
        TDatabase::TTransaction t(db_);
        TStatement st = db_.Prepare("INSERT INTO inbox_map(source, code, control, analyte, level) "
                                    "VALUES(?1, ?2, ?3, ?4, ?5) ON CONFLICT(source, code, control) "
                                    "DO UPDATE SET analyte = ?4, level = ?5");
        st.Bind(1, m.Source).Bind(2, m.Code).Bind(3, m.Control).Bind(4, m.Analyte);
        st.Bind(5, static_cast<int64_t>(m.Level));
        st.Step();
        Log(jk::MappingChanged, ListAnalytes.FindByName(m.Analyte), m.Level, std::nullopt, before,
            MappingText(m));

        // The results waiting for this mapping.
        TStatement w =
            db_.Prepare(std::string("SELECT id, ") + WaitingColumns +
                        " FROM inbox_waiting WHERE source = ? AND code = ? AND control = ? ORDER BY id");
        w.Bind(1, m.Source).Bind(2, m.Code).Bind(3, m.Control);
        std::vector<TInstrumentResult> results;
        std::vector<std::string> origins;
        std::vector<int64_t> rows;
        while (w.Step()) {
            rows.push_back(w.Int(0));
            results.push_back(WaitingRow(w, 1));
            origins.push_back(w.Text(13));
        }
        TInboxPlan plan;
        PlanInboxRuns(plan, results, origins, InboxSettings());
        // Results that still do not map (a level the analyte lacks) keep waiting with the new reason.
        TStatement reason = db_.Prepare("UPDATE inbox_waiting SET reason = ? WHERE id = ?");
        std::vector<bool> waits(results.size());
        for (const TInboxPlan::TWaiting& still : plan.Waiting) {
            waits[still.Index] = true;
            reason.Reset();
            reason.Bind(1, still.Reason).Bind(2, rows[still.Index]);
            reason.Step();
        }
        for (size_t i = 0; i < results.size(); ++i)
            if (!waits[i]) plan.Mapped.push_back(rows[i]);
        rep.NotMapped = static_cast<int>(plan.Waiting.size());
        plan.Waiting.clear();
        RecordInboxPlan(plan);
        // The mapping's entry goes with the mapping, whether or not results were waiting for it.
        CompleteStaged();
        t.Commit();
    } catch (const EQcError& e) {
        staged_.clear();
        return TOutcome::FromError(e);
    }
    TOutcome out = PlacePendingInboxRuns(&rep);
    // The mapping is stored whatever the placing did: its runs are placed at the next reading or start.
    if (out.Status == TStatus::Refused) out.Status = TStatus::Partial;
    if (report) *report = rep;
    return noteHeld(out);
}

// ---------------------------------------------------------------- reading the inbox

// One pass of ReadInbox: the files read into units, their results taken, the runs recorded and placed,
// the files moved, each file's outcome in the report.
class TOperations::TInboxPass {
public:
    TInboxPass(TOperations& ops, TInboxReport& rep, const TInboxReadOptions& options)
        : ops_(ops), rep_(rep), options_(options), day_(DayFolderName(Today())),
          mappings_(ops.InboxMappings()),
          mapped_([this](const TInstrumentResult& r) { return IsMapped(mappings_, r); }) {}
    // The waiting files into units of complete messages; throws EQcError when a source cannot be read.
    void ReadFiles(const std::vector<TInboxFile>& files);
    // The units' results not taken before; false when none was read.
    bool TakeResults();
    // The runs planned, recorded and placed; the files moved where they go.
    TOutcome Place(const TInboxSettings& settings);
    // The files read back to waiting: nothing of them was stored.
    void KeepWaiting() {
        for (size_t u : taken_) rep_.Files[outcomeOf_[u]].Kind = TInboxFileOutcome::Waiting;
    }

private:
    struct TUnit {
        std::vector<TInboxFile> Files;
        std::vector<uint64_t> Hashes;
        std::string Bytes;
        TInstrumentBatch Batch;
    };
    size_t Outcome(TInboxFileOutcome::TKind kind, const std::vector<TInboxFile>& fs,
                   const std::string& detail);
    void MoveProcessed(const std::vector<TInboxFile>& fs, size_t at);
    void Fail(const std::vector<TInboxFile>& fs, const std::string& reason, size_t at = SIZE_MAX);
    std::optional<std::string> Known(const std::string& source, uint64_t hash);
    bool SeenBefore(uint64_t key);
    bool Full() const { return options_.MaxFiles > 0 && leaving_ >= options_.MaxFiles; }
    void ReadFile(const TInboxFile& f, const TInstrumentSource& reading, int64_t nowNs,
                  std::optional<TUnit>& open);
    void TakeUnit(size_t u);
    void MoveFiles();

    TOperations& ops_;
    TInboxReport& rep_;
    const TInboxReadOptions& options_;
    const std::string day_;
    // The laboratory's mapping: a mapped result is QC whatever its message says.
    const std::vector<TInboxMapping> mappings_;
    const TQcMapping mapped_;
    std::vector<TUnit> units_;
    std::set<std::pair<std::string, uint64_t>> hashesThisPass_;
    // Files that leave the inbox in this pass, counted against MaxFiles; waiting ones do not count.
    size_t leaving_ = 0;
    std::vector<TInstrumentResult> results_;
    std::vector<std::string> origins_;
    std::vector<size_t> unitOf_, taken_, outcomeOf_;
    std::vector<std::string> faults_;
    TInboxPlan plan_;
    std::unordered_set<uint64_t> seenThisPass_;
    std::optional<TStatement> seenStatement_;
};

size_t TOperations::TInboxPass::Outcome(TInboxFileOutcome::TKind kind, const std::vector<TInboxFile>& fs,
                                        const std::string& detail) {
    TInboxFileOutcome o;
    o.Kind = kind;
    o.Source = fs.front().Source;
    for (const TInboxFile& f : fs) o.Name += (o.Name.empty() ? "" : " + ") + Utf8ToCp1252(f.Name);
    o.Detail = detail;
    rep_.Files.push_back(o);
    return rep_.Files.size() - 1;
}

void TOperations::TInboxPass::MoveProcessed(const std::vector<TInboxFile>& fs, size_t at) {
    for (const TInboxFile& f : fs) try {
            rep_.Files[at].MovedTo = MoveToProcessed(f, day_);
        } catch (const EQcError& e) {
            // Recorded as read: the next pass moves it without reading it again.
            rep_.Files[at].Detail = e.what();
        }
}

// To failed/ with the reason. `at` is the file's outcome when some of its results were taken.
void TOperations::TInboxPass::Fail(const std::vector<TInboxFile>& fs, const std::string& reason, size_t at) {
    const bool partly = at != SIZE_MAX;
    if (!partly) at = Outcome(TInboxFileOutcome::Failed, fs, reason);
    // What was left out as patient results stays said beside the faults.
    rep_.Files[at].Detail =
        partly && !rep_.Files[at].Detail.empty() ? reason + "\n" + rep_.Files[at].Detail : reason;
    std::string text;
    for (size_t i = 0; i < fs.size(); ++i) text += (i ? " + " : "") + fs[i].Name;
    // The reason file is UTF-8, and so are the files' names.
    text = Substitute(
        Cp1252ToUtf8(TranslatedText(
            !partly
                ? QT_TRANSLATE_NOOP("Core", "%1 (source %2): nothing of it was taken.")
                : QT_TRANSLATE_NOOP("Core", "%1 (source %2): its other results were taken; the lines below "
                                            "were not. Correct them and drop the file again: what was taken "
                                            "is not taken twice."))),
        {text, Cp1252ToUtf8(fs.front().Source)});
    text += "\n";
    text += Cp1252ToUtf8(reason) + "\n";
    for (const TInboxFile& f : fs) try {
            rep_.Files[at].MovedTo = MoveToFailed(f, text);
        } catch (const EQcError& e) {
            rep_.Files[at].Detail += "\r" + std::string(e.what());
        }
}

// A file read before: the faults of its lines, if it had any. One that gave no result is read again.
std::optional<std::string> TOperations::TInboxPass::Known(const std::string& source, uint64_t hash) {
    if (ops_.server_) {
        TPgResult r = ops_.server_->Connection().Exec(
            "SELECT faults FROM inbox_file WHERE source = $1 AND hash = $2 AND results > 0",
            {ServerText(source), Param(Signed(hash))});
        if (r.Rows() == 0) return std::nullopt;
        return LocalText(r.View(0, 0));
    }
    TStatement st =
        ops_.db_.Prepare("SELECT faults FROM inbox_file WHERE source = ? AND hash = ? AND results > 0");
    st.Bind(1, source).Bind(2, Signed(hash));
    if (!st.Step()) return std::nullopt;
    return st.Text(0);
}

// Taken before, here or (on a server) on any bench.
bool TOperations::TInboxPass::SeenBefore(uint64_t key) {
    if (ops_.server_)
        return ops_.server_->Connection()
                   .Exec("SELECT 1 FROM inbox_seen WHERE key = $1", {Param(Signed(key))})
                   .Rows() > 0;
    if (!seenStatement_) seenStatement_.emplace(ops_.db_.Prepare("SELECT 1 FROM inbox_seen WHERE key = ?"));
    seenStatement_->Reset();
    seenStatement_->Bind(1, Signed(key));
    return seenStatement_->Step();
}

void TOperations::TInboxPass::ReadFiles(const std::vector<TInboxFile>& files) {
    std::map<std::string, TInstrumentSource> sources;
    const int64_t nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    for (size_t i = 0; i < files.size() && !Full();) {
        const std::string source = files[i].Source;
        if (!sources.count(source)) sources[source] = ops_.InboxSource(source);
        const TInstrumentSource& reading = sources[source];
        std::optional<TUnit> open; // files that end inside a message, waiting for the rest
        for (; i < files.size() && files[i].Source == source && !Full(); ++i)
            ReadFile(files[i], reading, nowNs, open);
        if (open) Outcome(TInboxFileOutcome::Waiting, open->Files, TranslatedText(EndsInsideAMessage));
    }
}

void TOperations::TInboxPass::ReadFile(const TInboxFile& f, const TInstrumentSource& reading, int64_t nowNs,
                                       std::optional<TUnit>& open) {
    const std::string& source = f.Source;
    const int64_t age = nowNs - f.ModifiedNs;
    // A time far in the future (a writer's clock that is wrong) does not keep a file waiting.
    if (options_.SettleSeconds > 0 && age < int64_t{options_.SettleSeconds} * 1000000000 &&
        age > -int64_t{60} * 1000000000) {
        rep_.Files[Outcome(TInboxFileOutcome::Waiting, {f},
                           TranslatedText(QT_TRANSLATE_NOOP("Core", "it is being written")))]
            .Settling = true;
        return;
    }
    ++leaving_; // unless it waits
    if (f.Size > MaxInboxFileSize) {
        Fail({f}, Fill(QT_TRANSLATE_NOOP("Core", "The file is larger than %1 MB: no instrument file is."),
                       std::to_string(MaxInboxFileSize / 1048576)));
        return;
    }
    std::string bytes;
    try {
        bytes = ReadWholeFileNoLink(f.Path);
    } catch (const EQcError& e) {
        Outcome(TInboxFileOutcome::Waiting, {f}, e.what());
        --leaving_;
        return;
    }
    const uint64_t hash = Fnv1a64(bytes);
    if (hashesThisPass_.count({source, hash})) {
        MoveProcessed({f}, Outcome(TInboxFileOutcome::ReadBefore, {f}, ""));
        return;
    }
    if (std::optional<std::string> faults = Known(source, hash)) {
        // Read before a crash kept it from being moved: it goes where it was to go.
        size_t at = Outcome(TInboxFileOutcome::ReadBefore, {f}, "");
        if (faults->empty())
            MoveProcessed({f}, at);
        else
            Fail({f}, *faults, at);
        return;
    }
    hashesThisPass_.insert({source, hash});
    // 0: read, 1: ends inside a message, 2: a fault.
    auto read = [&](const std::string& b, TInstrumentBatch& batch) -> int {
        try {
            batch = ReadInstrumentFile(b, reading, mapped_);
            return 0;
        } catch (const ETruncatedFile&) {
            return 1;
        }
    };
    TUnit alone{{f}, {hash}, bytes, {}};
    std::string why;
    int state = 2;
    try {
        state = read(bytes, alone.Batch);
    } catch (const EQcError& e) {
        why = e.what();
    }
    if (state == 0) {
        units_.push_back(std::move(alone));
        return;
    }
    if (state == 1) {
        // A new message that is not complete yet; an earlier incomplete one keeps waiting.
        if (open) Outcome(TInboxFileOutcome::Waiting, open->Files, TranslatedText(EndsInsideAMessage));
        open = std::move(alone);
        --leaving_;
        return;
    }
    if (open) {
        // Perhaps the rest of the waiting message.
        TUnit joined = *open;
        joined.Files.push_back(f);
        joined.Hashes.push_back(hash);
        joined.Bytes += bytes;
        int joinedState = 2;
        try {
            joinedState = read(joined.Bytes, joined.Batch);
        } catch (const EQcError&) {
        }
        if (joinedState == 0) {
            leaving_ += joined.Files.size() - 1; // the parts that waited leave with it
            units_.push_back(std::move(joined));
            open.reset();
            return;
        }
        if (joinedState == 1) {
            open = std::move(joined);
            --leaving_;
            return;
        }
    }
    Fail({f}, why);
}

// A line with a fault gives no result; the file's other results are taken, and it goes to failed/ with
// the lines named, so that the corrected file can be dropped again.
bool TOperations::TInboxPass::TakeResults() {
    outcomeOf_.resize(units_.size());
    faults_.resize(units_.size());
    try {
        for (size_t u = 0; u < units_.size(); ++u) TakeUnit(u);
    } catch (const EQcError&) {
        KeepWaiting();
        throw;
    }
    return !taken_.empty();
}

void TOperations::TInboxPass::TakeUnit(size_t u) {
    TUnit& unit = units_[u];
    const size_t shown = std::min<size_t>(unit.Batch.Faults.size(), 50);
    for (size_t k = 0; k < shown; ++k) faults_[u] += (k ? "\n" : "") + FaultText(unit.Batch.Faults[k]);
    if (unit.Batch.Faults.size() > shown)
        faults_[u] += "\n" + std::to_string(unit.Batch.Faults.size() - shown) + " more faults";
    outcomeOf_[u] = Outcome(TInboxFileOutcome::Read, unit.Files, SkippedText(unit.Batch));
    taken_.push_back(u);
    std::map<uint64_t, int> occurrences;
    const std::string origin = rep_.Files[outcomeOf_[u]].Name;
    for (TInstrumentResult& r : unit.Batch.Results) {
        const uint64_t key = SeenKey(r, occurrences[ResultKey(r)]++);
        if (SeenBefore(key) || !seenThisPass_.insert(key).second) {
            ++rep_.Files[outcomeOf_[u]].Repeated;
            continue;
        }
        plan_.Seen.push_back(key);
        results_.push_back(r);
        origins_.push_back(origin);
        unitOf_.push_back(outcomeOf_[u]);
        ++rep_.Files[outcomeOf_[u]].Results;
    }
    for (size_t k = 0; k < unit.Files.size(); ++k)
        plan_.Files.push_back({unit.Files[k].Source, Utf8ToCp1252(unit.Files[k].Name), unit.Hashes[k],
                               static_cast<int>(unit.Batch.Results.size()), faults_[u]});
    for (const std::string& id : unit.Batch.MessageIds)
        if (!id.empty()) {
            plan_.Messages.push_back({unit.Files.front().Source, id});
            plan_.MessageFiles.push_back(origin);
        }
}

TOutcome TOperations::TInboxPass::Place(const TInboxSettings& settings) {
    auto notMapped = [&] {
        for (const TInboxPlan::TWaiting& w : plan_.Waiting) ++rep_.Files[unitOf_[w.Index]].NotMapped;
        rep_.NotMapped += static_cast<int>(plan_.Waiting.size());
    };
    if (ops_.server_) {
        TInboxUndo undo;
        try {
            ops_.server_->InTransaction("inbox", [&] {
                ops_.LockInboxOnServer(undo);
                ops_.PlanInboxRuns(plan_, results_, origins_, settings);
                ops_.PlaceOnServer(plan_, undo);
            });
        } catch (const EQcError& e) {
            // Nothing was stored: the files stay and are read again.
            ops_.UndoOnServer(undo);
            KeepWaiting();
            return TOutcome::FromError(e);
        }
        notMapped();
        ops_.PlacedOnServer(undo, rep_);
        MoveFiles();
        return {};
    }
    try {
        TDatabase::TTransaction t(ops_.db_);
        ops_.PlanInboxRuns(plan_, results_, origins_, settings);
        notMapped();
        ops_.RecordInboxPlan(plan_);
        t.Commit();
    } catch (const EQcError& e) {
        // Nothing was recorded: the files stay and are read again.
        KeepWaiting();
        return TOutcome::FromError(e);
    }
    TOutcome placed = ops_.PlacePendingInboxRuns(&rep_);
    if (!placed.Ok()) {
        // Recorded: the runs are placed, and the files moved, at the next reading.
        placed.Status = TStatus::Partial;
        KeepWaiting();
        return placed;
    }
    MoveFiles();
    return placed;
}

void TOperations::TInboxPass::MoveFiles() {
    for (size_t u : taken_)
        if (faults_[u].empty())
            MoveProcessed(units_[u].Files, outcomeOf_[u]);
        else {
            rep_.Files[outcomeOf_[u]].Kind = TInboxFileOutcome::Failed;
            Fail(units_[u].Files, faults_[u], outcomeOf_[u]);
        }
}

TOutcome TOperations::ReadInbox(TInboxReport* report, const TInboxReadOptions& options) {
    TInboxReport rep;
    auto finish = [&](TOutcome out) {
        if (report) *report = rep;
        return out;
    };
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP(
            "Core", "The inbox is read by the program or a writing command, not by a reading one"));
    EnsureDatabase();
    if (!server_ && !db_.IsOpen())
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "The inbox needs the database %1%2"),
                                     ProgramFolder, TDatabase::FileName));
    const TInboxSettings settings = InboxSettings();
    const std::string folder = options.Folder.empty() ? settings.Folder : options.Folder;
    if (folder.empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP(
            "Core", "No inbox folder is set: choose one in Configuration > Inbox (or give --inbox DIR)"));
    std::vector<TInboxFile> files;
    try {
        CheckInboxFolder(folder);
        files = ListInboxFiles(folder);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    // An interrupted reading is finished before anything new is read; on a server, what other benches
    // changed is brought in first, so that the runs are planned on what the server holds.
    if (TOutcome placed = server_ ? PollServer() : PlacePendingInboxRuns(&rep); !placed.Ok())
        return finish(placed);
    TInboxPass pass(*this, rep, options);
    try {
        pass.ReadFiles(files);
        if (!pass.TakeResults()) return finish({});
    } catch (const EQcError& e) {
        return finish(TOutcome::FromError(e));
    }
    return finish(pass.Place(settings));
}

// ---------------------------------------------------------------- on a server

TOutcome TOperations::ChangeInboxOnServer(const std::string& what, const std::function<void()>& body) {
    HandJournalToServer();
    try {
        server_->InTransaction(what, body);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}

void TOperations::LockInboxOnServer(TInboxUndo& undo) {
    // One bench at a time plans runs against the shared mapping and held runs, until its commit, on the
    // queue as the server holds it (the run out for validation keeps it as it is).
    server_->Connection().Exec("SELECT pg_advisory_xact_lock(7163002)");
    if (recallOpen_) return;
    std::deque<TResu> queue;
    server_->ReloadQueue(queue);
    Fifo.ClearQueue();
    for (TResu& r : queue) Fifo.Push(std::move(r));
    undo.Refreshed = true;
}

void TOperations::PlaceOnServer(const TInboxPlan& plan, TInboxUndo& undo) {
    // In memory as PlacePendingInboxRuns places pending runs, then written in the open transaction.
    undo.Queue = Fifo.Entries();
    undo.Saved = true;
    TPassQueue queue(undo.Queue);
    std::vector<std::pair<TAnalyte*, const TResu*>> accepted;
    for (const TInboxPlan::TRun& r : plan.Runs) {
        if (TAnalyte* a = r.ToData ? ListAnalytes.FindByName(r.Analyte) : nullptr) {
            if (!undo.Analytes.count(a->Uid)) undo.Analytes.emplace(a->Uid, *a);
            a->AddPoint(r.Run);
            accepted.push_back({a, &r.Run});
            if (!r.Replaces.empty())
                if (std::optional<size_t> at = queue.Find(r.Replaces)) {
                    queue.Erase(*at);
                    undo.QueueChanged = true;
                }
            ++undo.Accepted;
            continue;
        }
        ++undo.Queued;
        if (!r.Replaces.empty())
            if (std::optional<size_t> at = queue.Find(r.Replaces)) {
                queue.Replace(*at, r.Run, EntryImage(r.Run));
                undo.QueueChanged = true;
                ++undo.Merged;
                continue;
            }
        queue.Add(r.Run, EntryImage(r.Run));
        undo.QueueChanged = true;
    }
    if (undo.QueueChanged) {
        LogNewlyHeld(queue);
        queue.PutInto(Fifo);
        WriteQueue();
    }
    if (!undo.Analytes.empty()) {
        for (const auto& [a, run] : accepted) LogAcceptedRun(undo.Analytes.at(a->Uid), *run, TRunNote{});
        for (auto& [uid, before] : undo.Analytes)
            if (TAnalyte* a = ListAnalytes.Find(uid)) a->RecalcAll();
        WriteData();
    }
    RecordOnServer(plan);
}

void TOperations::RecordOnServer(const TInboxPlan& plan) {
    TPgConnection& c = server_->Connection();
    const std::string now = UtcTimeText();
    auto taken = [] {
        return EServerConflict("The results from the instruments were taken on another bench meanwhile: "
                               "nothing was saved. They are read again at the next reading.");
    };
    for (const TInboxPlan::TRun& r : plan.Runs)
        c.Exec(
            "INSERT INTO inbox_run(source, analyte, target, entry, replaces, first_time, last_time, state, "
            "verdict, note, made_utc) VALUES($1, $2, $3, $4, $5, $6, $7, 'placed', $8, $9, $10)",
            {ServerText(r.Source), ServerText(r.Analyte), r.ToData ? "data" : "queue",
             TPgConnection::HexBytes(EntryImage(r.Run)),
             r.Replaces.empty() ? TPgParam() : TPgParam(TPgConnection::HexBytes(r.Replaces)), Param(r.First),
             Param(r.Last), ServerText(r.Verdict.Text), ServerText(r.Note), now});
    // A held run completed here: completed on another bench meanwhile, nothing of this is stored.
    for (const TInboxPlan::TRun& r : plan.Runs)
        for (int64_t row : r.ReplacedRows)
            if (c.Exec(
                     "UPDATE inbox_run SET state = 'replaced' WHERE id = $1 AND state = 'placed' RETURNING 1",
                     {Param(row)})
                    .Rows() == 0)
                throw taken();
    for (int64_t row : plan.Gone) c.Exec("UPDATE inbox_run SET state = 'gone' WHERE id = $1", {Param(row)});
    for (const TInboxPlan::TWaiting& w : plan.Waiting) {
        const TInstrumentResult& r = w.Result;
        c.Exec(std::string("INSERT INTO inbox_waiting(") + WaitingColumns +
                   ", received_utc, station) VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, "
                   "$14, $15, $16, $17)",
               {ServerText(r.Source), ServerText(r.Instrument), ServerText(r.TestCode), ServerText(r.Control),
                Param(int64_t{r.Level}), ServerText(r.ValueText), Param(r.Value), ServerText(r.Units),
                Param(r.DateTime), ServerText(r.Operator), ServerText(r.Comment), ServerText(r.MessageId),
                ServerText(w.Origin), Param(int64_t{r.Line}), ServerText(w.Reason), now, ServerStation()});
    }
    auto array = [](const auto& values) {
        std::string text = "{";
        for (const auto& v : values) text += (text.size() > 1 ? "," : "") + std::to_string(v);
        return text + "}";
    };
    // Results brought in by a mapping here and not on another bench at the same time.
    if (!plan.Mapped.empty() &&
        c.Exec("DELETE FROM inbox_waiting WHERE id = ANY($1::bigint[]) RETURNING id", {array(plan.Mapped)})
                .Rows() != static_cast<int>(plan.Mapped.size()))
        throw taken();
    // Each result once on the whole server: a key another bench inserted meanwhile is waited for, then
    // found, and refuses this transaction whole.
    if (!plan.Seen.empty()) {
        std::vector<int64_t> keys;
        for (uint64_t k : plan.Seen) keys.push_back(Signed(k));
        std::sort(keys.begin(), keys.end()); // in one order on every bench: no deadlock
        if (c.Exec("INSERT INTO inbox_seen SELECT unnest($1::bigint[]) ON CONFLICT DO NOTHING RETURNING key",
                   {array(keys)})
                .Rows() != static_cast<int>(keys.size()))
            throw taken();
    }
    for (const TInboxPlan::TFile& f : plan.Files)
        c.Exec("INSERT INTO inbox_file(source, hash, name, results, faults, read_utc) VALUES($1, $2, $3, $4, "
               "$5, "
               "$6) ON CONFLICT DO NOTHING",
               {ServerText(f.Source), Param(Signed(f.Hash)), ServerText(f.Name), Param(int64_t{f.Results}),
                ServerText(f.Faults), now});
    for (size_t i = 0; i < plan.Messages.size(); ++i)
        c.Exec("INSERT INTO inbox_message(source, id, file, read_utc) VALUES($1, $2, $3, $4) ON CONFLICT DO "
               "NOTHING",
               {ServerText(plan.Messages[i].first), ServerText(plan.Messages[i].second),
                ServerText(plan.MessageFiles[i]), now});
}

void TOperations::UndoOnServer(const TInboxUndo& undo) {
    staged_.clear();
    if (undo.Refreshed) Notify(ckQueue);
    if (!undo.Saved) return;
    Fifo.ClearQueue();
    for (const TResu& r : undo.Queue) Fifo.Push(r);
    for (const auto& [uid, before] : undo.Analytes)
        if (TAnalyte* a = ListAnalytes.Find(uid)) *a = before;
}

void TOperations::PlacedOnServer(const TInboxUndo& undo, TInboxReport& rep) {
    rep.Queued += undo.Queued;
    rep.Accepted += undo.Accepted;
    rep.Merged += undo.Merged;
    for (const auto& [uid, before] : undo.Analytes) Notify(ckPoints, ListAnalytes.Find(uid));
    if (undo.QueueChanged || undo.Refreshed) Notify(ckQueue);
}

TOutcome TOperations::MapOnServer(const TInboxMapping& m, const std::string& before, TInboxReport& rep) {
    TInboxUndo undo;
    TInboxPlan plan;
    try {
        server_->InTransaction("inbox mapping", [&] {
            LockInboxOnServer(undo);
            TPgConnection& c = server_->Connection();
            c.Exec("INSERT INTO inbox_map(source, code, control, analyte, level) VALUES($1, $2, $3, $4, $5) "
                   "ON CONFLICT(source, code, control) DO UPDATE SET analyte = $4, level = $5",
                   {ServerText(m.Source), ServerText(m.Code), ServerText(m.Control), ServerText(m.Analyte),
                    Param(int64_t{m.Level})});
            Log(jk::MappingChanged, ListAnalytes.FindByName(m.Analyte), m.Level, std::nullopt, before,
                MappingText(m));
            HandJournalToServer();
            // The results waiting for this mapping, held against another bench mapping them meanwhile.
            TPgResult w = c.Exec(std::string("SELECT id, ") + WaitingColumns +
                                     " FROM inbox_waiting WHERE source = $1 AND code = $2 AND control = $3 "
                                     "ORDER BY id FOR UPDATE",
                                 {ServerText(m.Source), ServerText(m.Code), ServerText(m.Control)});
            std::vector<TInstrumentResult> results;
            std::vector<std::string> origins;
            std::vector<int64_t> rows;
            for (int i = 0; i < w.Rows(); ++i) {
                rows.push_back(w.Int(i, 0));
                results.push_back(ServerWaitingRow(w, i, 1));
                origins.push_back(LocalText(w.View(i, 13)));
            }
            PlanInboxRuns(plan, results, origins, InboxSettings());
            // Results that still do not map (a level the analyte lacks) keep waiting with the new reason.
            std::vector<bool> waits(results.size());
            for (const TInboxPlan::TWaiting& still : plan.Waiting) {
                waits[still.Index] = true;
                c.Exec("UPDATE inbox_waiting SET reason = $1 WHERE id = $2",
                       {ServerText(still.Reason), Param(rows[still.Index])});
            }
            for (size_t i = 0; i < results.size(); ++i)
                if (!waits[i]) plan.Mapped.push_back(rows[i]);
            rep.NotMapped = static_cast<int>(plan.Waiting.size());
            plan.Waiting.clear();
            PlaceOnServer(plan, undo);
        });
    } catch (const EQcError& e) {
        UndoOnServer(undo);
        return TOutcome::FromError(e);
    }
    PlacedOnServer(undo, rep);
    Notify(ckSettings);
    return {};
}

// ---------------------------------------------------------------- moving in and out

TStoreInbox TOperations::FolderInboxRecords() const {
    TStoreInbox out;
    if (!db_.IsOpen() || db_.Version("inbox") == 0) return out;
    if (db_.Meta(SettingFolder)) out.Settings = InboxSettings();
    TStatement src = db_.Prepare("SELECT id, options FROM inbox_source ORDER BY id");
    while (src.Step()) out.Sources.emplace_back(src.Text(0), src.Text(1));
    out.Mappings = InboxMappings();
    out.Waiting = NotMappedResults();
    TStatement seen = db_.Prepare("SELECT key FROM inbox_seen ORDER BY key");
    while (seen.Step()) out.Seen.push_back(seen.Int(0));
    TStatement f = db_.Prepare("SELECT source, hash, name, results, faults, read_utc FROM inbox_file ORDER "
                               "BY read_utc, source, hash");
    while (f.Step()) out.Files.push_back({f.Text(0), f.Int(1), f.Text(2), f.Int(3), f.Text(4), f.Text(5)});
    TStatement m =
        db_.Prepare("SELECT source, id, file, read_utc FROM inbox_message ORDER BY read_utc, source, id");
    while (m.Step()) out.Messages.push_back({m.Text(0), m.Text(1), m.Text(2), m.Text(3)});
    TStatement r =
        db_.Prepare("SELECT source, analyte, target, entry, replaces, first_time, last_time, state, "
                    "verdict, note, made_utc, replaces IS NULL FROM inbox_run ORDER BY id");
    while (r.Step()) {
        TStoreInbox::TRun run{r.Text(0), r.Text(1), r.Text(2), r.Text(3), std::nullopt, r.Real(5),
                              r.Real(6), r.Text(7), r.Text(8), r.Text(9), r.Text(10)};
        if (r.Int(11) == 0) run.Replaces = r.Text(4);
        out.Runs.push_back(std::move(run));
    }
    return out;
}

void TOperations::PutFolderInbox(const TStoreInbox& in) {
    TStatement any =
        db_.Prepare("SELECT (SELECT count(*) FROM inbox_map) + (SELECT count(*) FROM inbox_seen) + "
                    "(SELECT count(*) FROM inbox_run) + (SELECT count(*) FROM inbox_waiting)");
    if (any.Step() && any.Int(0) > 0 && (!in.Mappings.empty() || !in.Seen.empty() || !in.Runs.empty()))
        // Said by the companion's migration only, which speaks English.
        throw EQcError("The folder " + ProgramFolder + " already keeps inbox records of its own");
    if (in.Settings) {
        db_.SetMeta(SettingFolder, in.Settings->Folder);
        db_.SetMeta(SettingAutoAccept, in.Settings->AutoAccept ? "yes" : "no");
        db_.SetMeta(SettingWindow, FormatFixed(in.Settings->WindowMinutes, 15, 3));
    }
    TStatement src = db_.Prepare("INSERT OR REPLACE INTO inbox_source(id, options) VALUES(?, ?)");
    for (const auto& [id, options] : in.Sources) {
        src.Reset();
        src.Bind(1, id).Bind(2, options);
        src.Step();
    }
    TStatement map =
        db_.Prepare("INSERT INTO inbox_map(source, code, control, analyte, level) VALUES(?, ?, ?, ?, ?)");
    for (const TInboxMapping& m : in.Mappings) {
        map.Reset();
        map.Bind(1, m.Source).Bind(2, m.Code).Bind(3, m.Control).Bind(4, m.Analyte);
        map.Bind(5, static_cast<int64_t>(m.Level));
        map.Step();
    }
    TStatement waiting =
        db_.Prepare(std::string("INSERT INTO inbox_waiting(") + WaitingColumns +
                    ", received_utc) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const TWaitingResult& w : in.Waiting)
        BindWaiting(waiting, w.Result, w.File, w.Reason, w.ReceivedUtc);
    TStatement seen = db_.Prepare("INSERT INTO inbox_seen(key) VALUES(?)");
    for (int64_t key : in.Seen) {
        seen.Reset();
        seen.Bind(1, key);
        seen.Step();
    }
    TStatement file = db_.Prepare(
        "INSERT INTO inbox_file(source, hash, name, results, faults, read_utc) VALUES(?, ?, ?, ?, ?, ?)");
    for (const TStoreInbox::TFile& f : in.Files) {
        file.Reset();
        file.Bind(1, f.Source).Bind(2, f.Hash).Bind(3, f.Name).Bind(4, f.Results).Bind(5, f.Faults);
        file.Bind(6, f.ReadUtc);
        file.Step();
    }
    TStatement message =
        db_.Prepare("INSERT INTO inbox_message(source, id, file, read_utc) VALUES(?, ?, ?, ?)");
    for (const TStoreInbox::TMessage& m : in.Messages) {
        message.Reset();
        message.Bind(1, m.Source).Bind(2, m.Id).Bind(3, m.File).Bind(4, m.ReadUtc);
        message.Step();
    }
    TStatement run =
        db_.Prepare("INSERT INTO inbox_run(source, analyte, target, entry, replaces, first_time, "
                    "last_time, state, verdict, note, made_utc) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const TStoreInbox::TRun& r : in.Runs) {
        run.Reset();
        run.Bind(1, r.Source).Bind(2, r.Analyte).Bind(3, r.Target).Bind(4, r.Entry);
        if (r.Replaces)
            run.Bind(5, *r.Replaces);
        else
            run.BindNull(5);
        run.Bind(6, r.First).Bind(7, r.Last).Bind(8, r.State).Bind(9, r.Verdict).Bind(10, r.Note);
        run.Bind(11, r.MadeUtc);
        run.Step();
    }
}
