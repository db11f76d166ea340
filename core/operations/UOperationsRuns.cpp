// The operations layer: runs accepted, held, recalled, imported or made up, and points deleted or edited.
#include "UOperations.h"
#include "UOperationsCommon.h"
#include "UOperationsStores.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <xxhash.h>

#include "UArchive.h"
#include "UAtomicFile.h"
#include "UCompatibilityDrovanta.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UJournalTexts.h"
#include "URandom.h"
#include "UTexts.h"
#include "UUtilitaires.h"

using namespace ops_common;

// A recall whose queue write was lost after the data file took the run finds it so, and does not add
// it twice; so does the inbox placing a run a second time after a crash.
bool HoldsRun(const TAnalyte& a, const TResu& run) {
    int i = a.FindInsertIndex(run.DateTime);
    for (int k = i - 1; k >= 0; --k) {
        const ControlPoint& p = a.Points[static_cast<size_t>(k)];
        if (p.DateTime != run.DateTime) break;
        bool same = p.Operator.View() == std::string_view(run.Operator).substr(0, 4);
        for (int l = 0; l < MaxLevels && same; ++l) {
            const LevelValue &x = p.Levels[l], &y = run.Levels[l];
            same = (x.State == psEmpty) == (y.State == psEmpty) && (x.State == psEmpty || x.Value == y.Value);
        }
        if (same) return true;
    }
    return false;
}

// ---------------------------------------------------------------- runs

namespace {
// The earliest date of a run: 1 January 1900. Before 30 December 1899 the stored number no longer grows
// with the time of day, so the points of such days would not sort in time.
constexpr TDateTime EarliestRunDate = 2;
const char* const EarlyRunText = QT_TRANSLATE_NOOP("Core", "Runs before 1 January 1900 cannot be stored");
} // namespace

TOutcome TOperations::AcceptRun(TAnalyte& a, const TResu& run, int* index, const TRunNote& note) {
    if (!(run.DateTime >= EarliestRunDate)) return TOutcome::Refuse(EarlyRunText);
    try {
        CheckReviews(a, {run.DateTime}, note.Reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    LogAcceptedRun(a, run, note);
    TAnalyte before = a;
    if (note.Multirules && *note.Multirules != a.MultirulesOn()) {
        const uint8_t options = a.Options ^ TAnalyte::OptMultirules;
        Log(jk::OptionsChanged, &a, 0, std::nullopt, OptionsText(a.Options), OptionsText(options));
        a.Options = options;
    }
    a.AddPoint(run);
    a.RecalcAll();
    TOutcome saved = SaveData(&a, [&] { a = std::move(before); });
    if (!saved.Ok()) return saved;
    // Its place among what was stored (on a server also the runs other benches added meanwhile).
    if (index) *index = a.FindInsertIndex(run.DateTime) - 1;
    Notify(ckPoints, &a);
    return saved; // with what a server said of runs other benches added meanwhile
}

namespace {
// The analyte a held run names, or a stand-in of three levels when there is none yet.
const TAnalyte& AnalyteOfRun(const TResu& run, std::optional<TAnalyte>& standIn) {
    if (const TAnalyte* a = ListAnalytes.FindByName(run.AnalyteName)) return *a;
    standIn.emplace(run.AnalyteName, "", 2, MaxLevels);
    return *standIn;
}
} // namespace

TOutcome TOperations::HoldRun(const TResu& run) {
    if (!(run.DateTime >= EarliestRunDate)) return TOutcome::Refuse(EarlyRunText);
    std::optional<TAnalyte> standIn;
    const TAnalyte& qa = AnalyteOfRun(run, standIn);
    Log(jk::RunHeld, &qa, 0, run.DateTime, "", RunText(qa, run.Levels, Trim(run.Operator), run.Comment), "",
        run.Operator);
    Fifo.Push(run);
    try {
        WriteQueue();
    } catch (const EQcError& e) {
        Fifo.DropLast();
        TOutcome out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1"), e.what());
        return out;
    }
    Notify(ckQueue);
    return {};
}

TOutcome TOperations::RecallRun(TAnalyte*& analyte, TResu& run) {
    analyte = nullptr;
    if (Fifo.Count() == 0) return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Nothing hold in the queue"));
    run = Fifo.Entries().front();
    TAnalyte* a = ListAnalytes.FindByName(run.AnalyteName);
    bool created = false;
    std::optional<TAnalyte> before;
    if (!a) {
        a = &ListAnalytes.Add(std::make_unique<TAnalyte>(run.AnalyteName, "mmol/L", 2, 3));
        created = true;
    }
    // The count rises to the highest slot holding a value, so that no held value is dropped as beyond
    // the levels in use.
    int needed = a->NbLevels;
    for (int k = a->NbLevels; k < MaxLevels; ++k)
        if (run.Levels[static_cast<size_t>(k)].State != psEmpty) needed = k + 1;
    if (needed > a->NbLevels) {
        if (!created) before = *a;
        a->NbLevels = needed;
        a->RecalcAll();
    }
    if (created || before) {
        Log(jk::AnalyteChanged, a, 0, std::nullopt,
            created ? "" : std::to_string(before->NbLevels) + " levels",
            created
                ? "made for a held run: unit mmol/L, 2 decimals, " + std::to_string(a->NbLevels) + " levels"
                : std::to_string(a->NbLevels) + " levels, to hold the values of a held run");
        if (TOutcome unsaved = SaveData(created ? nullptr : a,
                                        [&] {
                                            if (created)
                                                ListAnalytes.Items.pop_back();
                                            else
                                                *a = std::move(*before);
                                        });
            !unsaved.Ok())
            return unsaved;
        Notify(ckAnalytes, a);
    }
    a->ClassifyRun(run.Levels);
    analyte = a;
    recallOpen_ = true;
    return {};
}

TOutcome TOperations::ConcludeRecall(TAnalyte& a, const TResu& run, bool accepted, int* index,
                                     const TRunNote& note) {
    recallOpen_ = false;
    if (Fifo.Count() == 0) return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Nothing hold in the queue"));
    TOutcome out;
    if (accepted) {
        if (!HoldsRun(a, run)) {
            out = AcceptRun(a, run, index, note);
            if (!out.Changed()) return out; // still held, at the head of the queue
        } else if (index) {
            *index = a.FindInsertIndex(run.DateTime) - 1;
        }
        Log(jk::RunRecalled, &a, 0, run.DateTime, "held", "accepted; left the queue", "", run.Operator);
        TResu head = *Fifo.Pop();
        try {
            WriteQueue();
        } catch (const EQcError& e) {
            // The run is in the data file; the queue file still holds it, and a later recall finds it
            // stored already instead of adding it twice.
            out = TOutcome::FromError(e, TStatus::Partial);
            out.Message = Fill(
                QT_TRANSLATE_NOOP("Core", "The run was saved, but the queue file could not be written:\r%1"),
                e.what());
        }
        Notify(ckQueue);
        return out;
    }
    // Held again, at the tail.
    Log(jk::RunRecalled, &a, 0, run.DateTime, "held", "not accepted; held again at the end of the queue", "",
        run.Operator);
    TResu head = *Fifo.Pop();
    Fifo.Push(run);
    try {
        WriteQueue();
    } catch (const EQcError& e) {
        Fifo.DropLast();
        Fifo.PushFront(std::move(head));
        out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1"), e.what());
        return out;
    }
    Notify(ckQueue);
    return out;
}

void TOperations::SettleRecall(TOpenReport& report) {
    const std::deque<TResu> before = Fifo.Entries();
    while (Fifo.Count() > 0) {
        const TResu& head = Fifo.Entries().front();
        const TAnalyte* a = ListAnalytes.FindByName(head.AnalyteName);
        if (!a || !HoldsRun(*a, head)) break;
        Log(jk::RunRecalled, a, 0, head.DateTime, "held", "accepted; left the queue", "", head.Operator);
        Fifo.Pop();
    }
    if (Fifo.Count() == static_cast<int>(before.size())) return;
    try {
        WriteQueue();
    } catch (const EQcError& e) {
        // Still held; the next recall finds the run stored and does not add it twice.
        Fifo.ClearQueue();
        for (const TResu& r : before) Fifo.Push(r);
        report.Notes.push_back(Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1"), e.what()));
    }
}

TOutcome TOperations::ClearQueue() {
    if (Fifo.Count() == 0) return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Nothing hold in the queue."));
    std::deque<TResu> before = Fifo.Entries();
    Log(jk::QueueCleared, nullptr, 0, std::nullopt, RunsText(static_cast<int64_t>(before.size())) + " held",
        "no run held");
    Fifo.ClearQueue();
    try {
        WriteQueue();
    } catch (const EQcError& e) {
        for (TResu& r : before) Fifo.Push(std::move(r));
        TOutcome out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1"), e.what());
        return out;
    }
    Notify(ckQueue);
    return {};
}

namespace {
// The runs where adding them one by one (TAnalyte::AddPoint) puts them: after the points of the same
// moment, equal moments in the order given, comments numbered in that order, a locked period's bounds
// moved by each point added before them. In time proportional to the points and runs, whatever their
// order (one by one, runs in reverse order cost the square of their number).
void AddPointsInTimeOrder(TAnalyte& a, const std::vector<TResu>& runs) {
    if (runs.empty()) return;
    std::vector<ControlPoint> added;
    added.reserve(runs.size());
    for (const TResu& run : runs) {
        ControlPoint p;
        p.DateTime = run.DateTime;
        p.Levels = run.Levels;
        p.Operator.Assign(BlankControlChars(run.Operator.substr(0, 4)));
        p.CommentId = run.Comment.empty() ? -1 : a.Comments.AddText(BlankControlChars(run.Comment));
        added.push_back(std::move(p));
    }
    auto earlier = [](const ControlPoint& x, const ControlPoint& y) { return x.DateTime < y.DateTime; };
    std::stable_sort(added.begin(), added.end(), earlier);
    // The j-th run in time order lands after the points up to its moment and the j runs before it.
    size_t before = 0;
    for (size_t j = 0; j < added.size(); ++j) {
        while (before < a.Points.size() && a.Points[before].DateTime <= added[j].DateTime) ++before;
        const int index = static_cast<int>(before + j);
        for (int k = 0; k < a.NbLevels; ++k) {
            const auto l = static_cast<size_t>(k);
            if (a.LimitMode[l] != lmLocked) continue;
            if (a.LockFirst[l] >= index) {
                ++a.LockFirst[l];
                ++a.LockLast[l];
            } else if (a.LockLast[l] >= index) {
                ++a.LockLast[l];
            }
        }
    }
    std::vector<ControlPoint> merged;
    merged.reserve(a.Points.size() + added.size());
    // Points already there come first among equal moments.
    std::merge(std::make_move_iterator(a.Points.begin()), std::make_move_iterator(a.Points.end()),
               std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()),
               std::back_inserter(merged), earlier);
    a.Points = std::move(merged);
}
} // namespace

TOutcome TOperations::ImportRuns(TAnalyte& a, const std::vector<TResu>& runs, TImportCount* count,
                                 const std::string& reason) {
    std::vector<TDateTime> times;
    for (const TResu& r : runs) times.push_back(r.DateTime);
    try {
        CheckReviews(a, times, reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    TImportCount c;
    TAnalyte before = a;
    std::vector<TResu> taken;
    taken.reserve(runs.size());
    for (TResu run : runs) {
        // Values of level slots the analyte does not use would be stored unseen and uncounted, and a run
        // left with no value in its levels would be an empty point: neither is taken.
        bool any = false;
        for (int k = 0; k < MaxLevels; ++k) {
            LevelValue& lv = run.Levels[static_cast<size_t>(k)];
            if (k >= a.NbLevels) lv = {0, psEmpty};
            any = any || lv.State != psEmpty;
        }
        if (!any) {
            ++c.Skipped;
            continue;
        }
        taken.push_back(std::move(run));
        ++c.Added;
    }
    AddPointsInTimeOrder(a, taken);
    if (count) *count = c;
    if (c.Added == 0) {
        staged_.clear();
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "No run with a value in the levels of %1"), a.Name));
    }
    Log(jk::Import, &a, 0, std::nullopt, RunsText(before.Count()),
        RunsText(c.Added) + " added, " + RunsText(c.Skipped) + " skipped; every level on mobile limits",
        reason);
    for (auto& mode : a.LimitMode) mode = lmMobile;
    a.RecalcAll();
    a.ClassifyAllPoints();
    if (TOutcome unsaved = SaveData(&a,
                                    [&] {
                                        a = std::move(before);
                                        if (count) *count = {};
                                    });
        !unsaved.Ok())
        return unsaved;
    Notify(ckPoints, &a);
    return {};
}

TOutcome TOperations::AddRandomRuns(TAnalyte& a, int count, const TLevelValues& means,
                                    const TLevelValues& cvs, TDateTime first, bool toQueue, int* lastIndex,
                                    const std::string& reason) {
    if (toQueue) {
        Log(jk::RandomRuns, &a, 0, first, "", RunsText(count) + " random runs held in the queue");
        size_t held = Fifo.Entries().size();
        for (int k = 0; k < count; ++k) Fifo.Push(MakeRandomEntry(a, means, cvs, first + k));
        try {
            WriteQueue();
        } catch (const EQcError& e) {
            while (Fifo.Entries().size() > held) Fifo.DropLast();
            TOutcome out = TOutcome::FromError(e);
            out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1"), e.what());
            return out;
        }
        Notify(ckQueue);
        return {};
    }
    std::vector<TDateTime> days;
    for (int k = 0; k < count; ++k) days.push_back(first + k);
    try {
        CheckReviews(a, days, reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Log(jk::RandomRuns, &a, 0, first, RunsText(a.Count()), RunsText(count) + " random runs added");
    TAnalyte before = a;
    int last = GenerateRandomPoints(a, count, means, cvs, first);
    if (TOutcome unsaved = SaveData(&a, [&] { a = std::move(before); }); !unsaved.Ok()) return unsaved;
    if (lastIndex) *lastIndex = last;
    Notify(ckPoints, &a);
    return {};
}

TOutcome TOperations::ImportPredecessor(const std::string& path, int* imported) {
    const size_t before = ListAnalytes.Items.size();
    TOutcome out;
    int n = 0;
    try {
        n = ImportPredecessorFile(path);
    } catch (const EPredecessorImport& e) {
        // Analytes converted before the damage stay; say how many came in.
        n = e.Imported;
        out.Status = n > 0 ? TStatus::Partial : TStatus::Refused;
        out.Message = QT_TRANSLATE_NOOP("Core", "Cannot read data");
        out.File = path;
        out.Reason = e.Detail;
    }
    if (imported) *imported = n;
    if (n == 0) {
        if (out.Ok()) out = TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "No analyte in %1"), path));
        return out;
    }
    Log(jk::Import, nullptr, 0, std::nullopt, "",
        std::to_string(n) + (n == 1 ? " analyte" : " analytes") + " imported from the predecessor file " +
            path);
    if (TOutcome unsaved = SaveData(nullptr,
                                    [&] {
                                        ListAnalytes.Items.resize(before);
                                        if (imported) *imported = 0;
                                    });
        !unsaved.Ok())
        return unsaved;
    Notify(ckAnalytes);
    return out;
}

// ---------------------------------------------------------------- points

TOutcome TOperations::DeletePoints(TAnalyte& a, const std::vector<int>& indices, const std::string& reason) {
    if (indices.empty()) return {};
    if (Trim(reason).empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Give a reason for deleting points"));
    // The points as each deletion finds them.
    std::vector<int> order(static_cast<size_t>(a.Count()));
    for (int i = 0; i < a.Count(); ++i) order[static_cast<size_t>(i)] = i;
    std::vector<int> gone;
    for (int index : indices) {
        if (index < 0 || index >= static_cast<int>(order.size()))
            return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "No point to delete"));
        gone.push_back(order[static_cast<size_t>(index)]);
        order.erase(order.begin() + index);
    }
    std::vector<TDateTime> times;
    for (int i : gone) times.push_back(a.Points[static_cast<size_t>(i)].DateTime);
    try {
        CheckReviews(a, times, reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    for (int i : gone) {
        const ControlPoint& p = a.Points[static_cast<size_t>(i)];
        Log(jk::PointDeleted, &a, 0, p.DateTime,
            RunText(a, p.Levels, std::string(p.Operator.View()), a.CommentText(p.CommentId)), "deleted",
            reason);
    }
    TAnalyte before = a;
    for (int index : indices) a.DeletePoint(index);
    a.RecalcAll();
    if (TOutcome unsaved = SaveData(&a, [&] { a = std::move(before); }); !unsaved.Ok()) return unsaved;
    Notify(ckPoints, &a);
    return {};
}

TOutcome TOperations::TakePointForEdit(TAnalyte& a, int index, TResu& run, const std::string& reason) {
    if (index < 0 || index >= a.Count())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "No point to edit"));
    if (Trim(reason).empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Give a reason for correcting the point"));
    const ControlPoint& p = a.Points[static_cast<size_t>(index)];
    try {
        CheckReviews(a, {p.DateTime}, reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Log(jk::PointEdited, &a, 0, p.DateTime,
        RunText(a, p.Levels, std::string(p.Operator.View()), a.CommentText(p.CommentId)),
        "taken out for correction; the corrected run is accepted again", reason);
    run = a.PointAsEntry(index);
    // Kept first: a crash after the data file lost the point must find it here.
    EnsureDatabase();
    if (db_.IsOpen()) {
        try {
            TDatabase::TTransaction t(db_);
            db_.Exec("DELETE FROM pending_edit");
            TStatement st = db_.Prepare("INSERT INTO pending_edit(analyte, run, stored_utc) VALUES(?, ?, ?)");
            st.Bind(1, a.Name).Bind(2, QueueImage({run})).Bind(3, UtcTimeText());
            st.Step();
            t.Commit();
        } catch (const EQcError&) {
            // Without the database the point lives in the entry fields only, as it always did.
        }
    }
    TAnalyte before = a;
    a.DeletePoint(index);
    a.RecalcAll();
    if (TOutcome unsaved = SaveData(&a,
                                    [&] {
                                        a = std::move(before);
                                        DropPointInEdit();
                                    });
        !unsaved.Ok())
        return unsaved;
    Notify(ckPoints, &a);
    return {};
}

void TOperations::DropPointInEdit() {
    if (!db_.IsOpen() || mode_ == TOpenMode::Reader) return;
    try {
        db_.Exec("DELETE FROM pending_edit");
    } catch (const EQcError&) {
    }
}

void TOperations::RecoverPointsInEdit(TOpenReport& report) {
    if (!db_.IsOpen()) return;
    std::vector<TResu> runs;
    try {
        TStatement st = db_.Prepare("SELECT run FROM pending_edit ORDER BY id");
        while (st.Step())
            for (TResu& r : ParseQueueImage(st.Text(0))) runs.push_back(std::move(r));
    } catch (const EQcError&) {
        return;
    }
    int queued = 0;
    for (const TResu& r : runs) {
        const TAnalyte* a = ListAnalytes.FindByName(r.AnalyteName);
        if (a && HoldsRun(*a, r)) continue; // the data file never lost it
        Fifo.Push(r);
        ++queued;
    }
    try {
        if (queued > 0) WriteQueue();
        DropPointInEdit();
    } catch (const EQcError& e) {
        report.Notes.push_back(e.what());
        return;
    }
    if (queued > 0)
        report.Notes.push_back(QT_TRANSLATE_NOOP(
            "Core", "A point taken out for correction when Varnholt last ended was put in the queue."));
}
