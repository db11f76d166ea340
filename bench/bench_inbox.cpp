// An inbox pass against the queue it finds: one file of one run with 0 to 33k runs already held from the
// inbox, and one large file of many runs on an empty queue. Each pass is a real one: the file read,
// the runs recorded, the queue file written, the file moved to processed/.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

#include "UAtomicFile.h"
#include "UFifoResult.h"
#include "UOperations.h"

namespace {
// A program folder on the machine's disk (fsync costs what it costs), removed at the end.
struct TBenchFolder {
    std::string Path, Inbox;
    TBenchFolder() {
        const char* parent = std::getenv("VARNHOLT_BENCH_TMP");
        std::string tmpl = std::string(parent && *parent ? parent : "/var/tmp") + "/varnholt-inbox-XXXXXX";
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("Cannot create " + tmpl);
        Path = tmpl + "/";
        Inbox = Path + "inbox/";
        std::filesystem::create_directories(Inbox);
        Operations().Open(Path, TOpenMode::Writer);
        TInboxSettings s;
        s.Folder = Inbox;
        TInstrumentSource src = TInstrumentSource::FromText(
            "separator=semicolon\ncolumn.test=test\ncolumn.control=control\ncolumn.value=value\n"
            "column.date=date\ncolumn.time=time\n");
        src.Id = DefaultSourceId;
        const TAnalyte& a = ListAnalytes[0];
        if (!Operations().SetInboxSettings(s).Ok() || !Operations().SetInboxSource(src).Ok() ||
            !Operations().MapInstrumentResults({DefaultSourceId, "T", "C1", a.Name, 1}).Ok() ||
            !Operations().MapInstrumentResults({DefaultSourceId, "T", "C2", a.Name, 2}).Ok())
            throw std::runtime_error("Cannot set the inbox up");
    }
    ~TBenchFolder() {
        Operations().Close();
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
};

// Runs `first` to `first + count - 1`, an hour apart, each of `levels` results: each its own held run.
std::string Runs(int first, int count, int levels) {
    std::string out = "test;control;value;date;time\n";
    char line[80];
    for (int k = first; k < first + count; ++k) {
        // 2000-01-01 plus k hours, in months of 28 days.
        const int day = k / 24, hour = k % 24;
        const int year = 2000 + day / 336, month = 1 + day % 336 / 28, dom = 1 + day % 28;
        for (int level = 1; level <= levels; ++level) {
            std::snprintf(line, sizeof line, "T;C%d;%d.%d;%04d-%02d-%02d;%02d:%02d\n", level, 4 + k % 3,
                          k % 10, year, month, dom, hour, level);
            out += line;
        }
    }
    return out;
}

// One pass over a file holding `count` runs; false when the runs did not all reach the queue.
bool Pass(const TBenchFolder& folder, int first, int count, int levels = 1) {
    std::ofstream(folder.Inbox + "runs-" + std::to_string(first) + ".csv", std::ios::binary)
        << Runs(first, count, levels);
    TInboxReport r;
    return Operations().ReadInbox(&r).Ok() && r.Queued == count;
}

// One single-run file on a queue holding range(0) runs from the inbox.
void BM_OneRunOnHeldQueue(benchmark::State& state) {
    TBenchFolder folder;
    const int held = static_cast<int>(state.range(0));
    if (held > 0 && !Pass(folder, 0, held)) {
        state.SkipWithError("the held runs were not placed");
        return;
    }
    int next = held;
    for (auto _ : state)
        if (!Pass(folder, next++, 1)) {
            state.SkipWithError("the run was not placed");
            break;
        }
    state.counters["held"] = static_cast<double>(Fifo.Count());
}
BENCHMARK(BM_OneRunOnHeldQueue)
    ->Arg(0)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(33000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

// The floor of a pass that holds a run: the queue file alone written, at range(0) held runs.
void BM_QueueFileWriteAlone(benchmark::State& state) {
    TBenchFolder folder;
    const int held = static_cast<int>(state.range(0));
    if (held > 0 && !Pass(folder, 0, held)) {
        state.SkipWithError("the held runs were not placed");
        return;
    }
    for (auto _ : state) AtomicWriteFile(QueueFileName(), QueueImage(Fifo.Entries()));
}
BENCHMARK(BM_QueueFileWriteAlone)->Arg(0)->Arg(33000)->Unit(benchmark::kMillisecond)->MinTime(2);

// One file of range(0) results, runs of two levels, on an empty queue.
void BM_LargeFileOnEmptyQueue(benchmark::State& state) {
    const int results = static_cast<int>(state.range(0));
    TBenchFolder folder;
    for (auto _ : state)
        if (!Pass(folder, 0, results / 2, 2)) state.SkipWithError("the runs were not all placed");
    state.SetItemsProcessed(state.iterations() * results);
}
BENCHMARK(BM_LargeFileOnEmptyQueue)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
