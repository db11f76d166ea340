// Benchmark: parsing exchange text of 100,000 lines, as an import of a large spreadsheet does, and
// formatting its preview lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include "UImportText.h"
#include "UOperations.h"
#include "UStructures.h"

namespace {

// The exported text of an analyte with 100,000 three-level runs, a few discarded or empty values.
const std::string& ExchangeText() {
    static const std::string text = [] {
        RandomSeed(42);
        TAnalyte a("Glucose", "mmol/L", 2, 3);
        a.Points.reserve(100000);
        TDateTime day = EncodeDate(2000, 1, 1);
        for (int k = 0; k < 100000; ++k) {
            TResu r;
            r.DateTime = day + k / 4 + 0.25 + 0.125 * (k % 4);
            for (int i = 0; i < 3; ++i)
                r.Levels[i] = {static_cast<float>(RandomNormal(5.0L * (i + 1), 0.2L)), psInControl};
            if (k % 50 == 0) r.Levels[1].State = psDiscarded;
            if (k % 70 == 0) r.Levels[2].State = psEmpty;
            r.Operator = "AB";
            a.Points.push_back({r.DateTime, r.Levels, -1, TShortString<4>(r.Operator)});
        }
        return a.PointsAsText();
    }();
    return text;
}

void BM_ParseImportText100k(benchmark::State& state) {
    const std::string& text = ExchangeText();
    size_t runs = 0;
    for (auto _ : state) {
        TImportText t = ParseImportText(text, 2);
        runs = t.Runs.size();
        benchmark::DoNotOptimize(t);
    }
    state.counters["lines"] = static_cast<double>(runs);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseImportText100k)->Unit(benchmark::kMillisecond);

// The preview lines of all 100,000 runs, formatted as a window that shows them all at once does.
void BM_ImportPreviewLines100k(benchmark::State& state) {
    const TImportText t = ParseImportText(ExchangeText(), 2);
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (size_t i = 0; i < t.Runs.size(); ++i) bytes += t.Line(i).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["lines"] = static_cast<double>(t.Runs.size());
}
BENCHMARK(BM_ImportPreviewLines100k)->Unit(benchmark::kMillisecond);

// An import of state.range(0) lines, newest first (as some instruments export), parsed and stored by
// the companion's path on the sample data of a fresh folder: linear in the lines.
void BM_ImportLines(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::string text;
    text.reserve(static_cast<size_t>(n) * 40);
    char line[96];
    for (int k = n; k > 0; --k) {
        const int minutes = 10 * k;
        std::snprintf(line, sizeof line, "%04d-%02d-%02d\t%02d:%02d\t%d.%d\t%d.%d\t%d.%d\r\n",
                      1990 + minutes / 525600, 1 + minutes / 43800 % 12, 1 + minutes / 1440 % 28,
                      minutes / 60 % 24, minutes % 60, 5, k % 10, 10, k % 7, 15, k % 3);
        text += line;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const char* parent = std::getenv("VARNHOLT_BENCH_TMP");
        std::string folder = std::string(parent && *parent ? parent : "/var/tmp") + "/varnholt-import-XXXXXX";
        if (!mkdtemp(folder.data())) throw std::runtime_error("Cannot create " + folder);
        folder += "/";
        TOpenOptions options;
        options.SampleOnFirstRun = true;
        Operations().Open(folder, TOpenMode::Writer, options);
        TAnalyte& a = ListAnalytes[0];
        state.ResumeTiming();
        const TImportText t = ParseImportText(text, a.Decimals, a.NbLevels);
        if (!Operations().ImportRuns(a, t.Runs).Ok()) state.SkipWithError("not imported");
        state.PauseTiming();
        Operations().Close();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        state.ResumeTiming();
    }
    state.counters["lines"] = n;
}
BENCHMARK(BM_ImportLines)
    ->Arg(30000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
