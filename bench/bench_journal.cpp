// The journal's cost: an accepted run with its entry (pending, file, completion) against the file write
// alone, the hash of one entry, and the check of a chain of many entries.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
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

// The check the program makes at every start, on a journal of state.range(0) entries.
void BM_CheckJournal(benchmark::State& state) {
    TBenchFolder folder;
    Operations().Open(folder.Path, TOpenMode::Writer);
    Operations().SetCorrectiveActions({"first"}); // opens the database and starts the journal
    TDatabase& db = Operations().Database();
    db.Exec("BEGIN");
    std::string previous;
    {
        TStatement last = db.Prepare("SELECT hash FROM journal ORDER BY id DESC LIMIT 1");
        last.Step();
        previous = last.Text(0);
    }
    TStatement insert = db.Prepare("INSERT INTO journal VALUES(?,?,?,?,?,?,?,?,?,?,?,?)");
    for (int64_t id = 3; id < state.range(0) + 3; ++id) {
        TJournalEntry e;
        e.Id = id;
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
    db.SetMeta("journal_head", std::to_string(state.range(0) + 2) + " " + previous);
    db.Exec("COMMIT");
    for (auto _ : state) {
        TJournalCheck c = Operations().CheckJournal();
        if (!c.Whole) state.SkipWithError(c.Message.c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CheckJournal)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
