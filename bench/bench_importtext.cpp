// Benchmark: parsing exchange text of 100,000 lines, as an import of a large spreadsheet does, and
// formatting its preview lines.
#include <benchmark/benchmark.h>

#include "UImportText.h"
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

} // namespace

BENCHMARK_MAIN();
