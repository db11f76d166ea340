// The journal's cost: an accepted run with its entry (pending, file, completion) against the file write
// alone, the hash of one entry, the check of a chain of many entries, and a start and an add whatever
// the journal's length.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UJournalPages.h"
#include "UOperations.h"

namespace {
// A program folder on the machine's disk (fsync costs what it costs), removed at the end.
struct TBenchFolder {
    std::string Path;
    TBenchFolder() {
        const char* parent = std::getenv("VARNHOLT_BENCH_TMP");
        std::string tmpl = std::string(parent && *parent ? parent : "/var/tmp") + "/varnholt-journal-XXXXXX";
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("Cannot create " + tmpl);
        Path = tmpl + "/";
    }
    ~TBenchFolder() {
        Operations().Close();
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
};

TResu NextRun(const TAnalyte& a) {
    TResu r = a.PointAsEntry(a.Count() - 1);
    r.DateTime += 1;
    r.AnalyteName = a.Name;
    return r;
}

// Accepting a run on the sample data: the data file and the journal's entry with it.
void BM_AcceptRunJournaled(benchmark::State& state) {
    TBenchFolder folder;
    Operations().Open(folder.Path, TOpenMode::Writer);
    TAnalyte& a = ListAnalytes[0];
    for (auto _ : state)
        if (!Operations().AcceptRun(a, NextRun(a)).Ok()) state.SkipWithError("not accepted");
}
BENCHMARK(BM_AcceptRunJournaled)->Unit(benchmark::kMillisecond);

// The same data file written alone, as before the journal.
void BM_DataFileWriteAlone(benchmark::State& state) {
    TBenchFolder folder;
    Operations().Open(folder.Path, TOpenMode::Writer);
    TAnalyte& a = ListAnalytes[0];
    for (auto _ : state) {
        a.AddPoint(NextRun(a));
        a.RecalcAll();
        AtomicWriteFile(DataFileName(), DataImage(ListSerum, ListAnalytes));
    }
}
BENCHMARK(BM_DataFileWriteAlone)->Unit(benchmark::kMillisecond);

void BM_EntryHash(benchmark::State& state) {
    TJournalEntry e;
    e.Id = 12345;
    e.TimeUtc = "2026-03-01T08:30:00Z";
    e.TimeLocal = "2026-03-01 09:30:00 +01:00";
    e.Operator = "QCAB";
    e.Kind = jk::RunWithViolations;
    e.Analyte = "Glucose";
    e.Point = "2026-03-01 08:30";
    e.After = "L1 5.12 high action; L2 10.40 in control; L3 15.01 in control; rules: L1 1:3s reject";
    e.Reason = "Corrective action: Recalibrated";
    for (auto _ : state) benchmark::DoNotOptimize(JournalHash(FirstPreviousHash, e));
}
BENCHMARK(BM_EntryHash);

// A journal of n entries after the first one, chained, written in one transaction.
void BuildJournal(int64_t n) {
    Operations().SetCorrectiveActions({"first"}); // opens the database and starts the journal
    TDatabase& db = Operations().Database();
    db.Exec("BEGIN");
    std::string previous;
    int64_t id = 0;
    {
        TStatement last = db.Prepare("SELECT id, hash FROM journal ORDER BY id DESC LIMIT 1");
        last.Step();
        id = last.Int(0);
        previous = last.Text(1);
    }
    TStatement insert = db.Prepare("INSERT INTO journal VALUES(?,?,?,?,?,?,?,?,?,?,?,?)");
    for (const int64_t end = id + n; id < end;) {
        TJournalEntry e;
        e.Id = ++id;
        e.TimeUtc = "2026-03-01T08:30:00Z";
        e.TimeLocal = "2026-03-01 09:30:00 +01:00";
        e.Operator = "QCAB";
        e.Kind = jk::RunAccepted;
        e.Analyte = "Glucose";
        e.Point = "2026-03-01 08:30";
        e.After = "L1 5.12 in control; L2 10.40 in control; L3 15.01 in control";
        e.Hash = JournalHash(previous, e);
        previous = e.Hash;
        insert.Reset();
        insert.Bind(1, e.Id).Bind(2, e.TimeUtc).Bind(3, e.TimeLocal).Bind(4, e.Operator).Bind(5, e.Kind);
        insert.Bind(6, e.Analyte).Bind(7, int64_t{0}).Bind(8, e.Point).Bind(9, e.Before).Bind(10, e.After);
        insert.Bind(11, e.Reason).Bind(12, e.Hash);
        insert.Step();
    }
    db.SetMeta("journal_head", std::to_string(id) + " " + previous);
    db.Exec("COMMIT");
}

// The whole check (a review, journal verify) on a journal of state.range(0) entries.
void BM_CheckJournal(benchmark::State& state) {
    TBenchFolder folder;
    Operations().Open(folder.Path, TOpenMode::Writer);
    BuildJournal(state.range(0));
    for (auto _ : state) {
        TJournalCheck c = Operations().CheckJournal();
        if (!c.Whole) state.SkipWithError(c.Message.c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CheckJournal)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The program's start on a journal of state.range(0) entries, the first start after it grew excluded.
void BM_StartAtJournalLength(benchmark::State& state) {
    TBenchFolder folder;
    Operations().Open(folder.Path, TOpenMode::Writer);
    BuildJournal(state.range(0));
    Operations().Close();
    Operations().Open(folder.Path, TOpenMode::Program);
    for (auto _ : state) {
        Operations().Close();
        TOpenReport r = Operations().Open(folder.Path, TOpenMode::Program);
        if (!r.Opened || !r.Notes.empty()) state.SkipWithError("not opened cleanly");
    }
}
BENCHMARK(BM_StartAtJournalLength)->Arg(2)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A companion's add: open for writing, accept one run, close, on a journal of state.range(0) entries.
void BM_AddAtJournalLength(benchmark::State& state) {
    TBenchFolder folder;
    Operations().Open(folder.Path, TOpenMode::Writer);
    BuildJournal(state.range(0));
    Operations().Close();
    for (auto _ : state) {
        Operations().Open(folder.Path, TOpenMode::Writer);
        TAnalyte& a = ListAnalytes[0];
        if (!Operations().AcceptRun(a, NextRun(a)).Ok()) state.SkipWithError("not accepted");
        Operations().Close();
    }
}
BENCHMARK(BM_AddAtJournalLength)->Arg(2)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// What the journal window did on opening and on every filter change: the whole journal read twice.
void BM_JournalWindowReadWhole(benchmark::State& state) {
    TBenchFolder folder;
    Operations().Open(folder.Path, TOpenMode::Writer);
    BuildJournal(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Operations().Journal());
        benchmark::DoNotOptimize(Operations().Journal(TJournalFilter{}));
    }
}
BENCHMARK(BM_JournalWindowReadWhole)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// What it does now: the names for the filters, the count, and the last page (the rows on screen).
void BM_JournalWindowPaged(benchmark::State& state) {
    TBenchFolder folder;
    Operations().Open(folder.Path, TOpenMode::Writer);
    BuildJournal(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(TJournalPages::Analytes());
        benchmark::DoNotOptimize(TJournalPages::Operators());
        TJournalPages pages;
        for (int64_t row = pages.Count() - 40; row < pages.Count(); ++row)
            benchmark::DoNotOptimize(pages.At(row));
    }
}
BENCHMARK(BM_JournalWindowPaged)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A filter change: one kind of entry, counted, and its last page.
void BM_JournalWindowFiltered(benchmark::State& state) {
    TBenchFolder folder;
    Operations().Open(folder.Path, TOpenMode::Writer);
    BuildJournal(state.range(0));
    TJournalFilter f;
    f.Operator = "QCAB";
    for (auto _ : state) {
        TJournalPages pages(f);
        for (int64_t row = pages.Count() - 40; row < pages.Count(); ++row)
            benchmark::DoNotOptimize(pages.At(row));
    }
}
BENCHMARK(BM_JournalWindowFiltered)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
