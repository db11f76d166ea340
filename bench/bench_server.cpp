// The accepted run's time on a PostgreSQL server against the folder: VARNHOLT_BENCH_DB names an empty
// server database (e.g. one of scripts/pg-cluster.sh); without it only the folder is measured.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UOperations.h"
#include "URandom.h"

namespace {

void AcceptRun(benchmark::State& state, bool onServer) {
    const char* db = std::getenv("VARNHOLT_BENCH_DB");
    if (onServer && !db) {
        state.SkipWithError("VARNHOLT_BENCH_DB is not set");
        return;
    }
    std::string tmpl = (std::filesystem::temp_directory_path() / "varnholt-bench-XXXXXX").string();
    const std::string folder = std::string(::mkdtemp(tmpl.data())) + "/";
    TOpenOptions options;
    options.SampleOnFirstRun = false;
    if (onServer) options.Server = db;
    TOperations& ops = Operations();
    if (!ops.Open(folder, TOpenMode::Writer, options).Opened) {
        state.SkipWithError("cannot open the store");
        return;
    }
    RandomSeed(3);
    BuildSampleData();
    WriteAllData(ops);
    TAnalyte& a = *ListAnalytes.FindByName("Glucose");
    TDateTime when = Today() + 1;
    for (auto _ : state) {
        TResu run;
        run.DateTime = when;
        when += 1.0 / 1440;
        for (int k = 0; k < a.NbLevels; ++k) run.Levels[k] = {5.0f + 0.1f * k, psInControl};
        if (!ops.AcceptRun(a, run).Ok()) state.SkipWithError("refused");
    }
    ops.Close();
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK_CAPTURE(AcceptRun, folder, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AcceptRun, server, true)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
