// Quality figures: the power function simulation, the figures of a level and the monthly summary of a
// long history.
#include <benchmark/benchmark.h>

#include "UPowerFunction.h"
#include "UQcSummary.h"
#include "UQualityGoals.h"
#include "URandom.h"
#include "UUtilitaires.h"

namespace {

// Three levels, four runs a day, in control around their means.
TAnalyte History(int points) {
    RandomSeed(20240601);
    TAnalyte a("Bench", "u", 2, MaxLevels);
    GenerateRandomPoints(a, points, {LevelValue{100, psInControl}, {50, psInControl}, {200, psInControl}},
                         {LevelValue{2, psInControl}, {3, psInControl}, {1.5f, psInControl}}, 40000);
    for (int k = 0; k < a.Count(); ++k) a.Points[static_cast<size_t>(k)].DateTime = 40000 + k / 4.0;
    a.RecalcAll();
    a.ClassifyAllPoints();
    return a;
}

TQualityGoal Goal() {
    TQualityGoal g;
    g.TEa = 10;
    g.Target = {100.0L, 50.0L, 200.0L};
    return g;
}

// The 51 points of the graph with the default number of trials.
void BM_PowerFunction(benchmark::State& state) {
    TRuleSet rules;
    rules.Levels = static_cast<int>(state.range(0));
    const std::vector<long double> shifts = PowerShifts();
    for (auto _ : state) benchmark::DoNotOptimize(SimulatePower(rules, shifts));
}

void BM_ErrorDetection(benchmark::State& state) {
    TRuleSet rules;
    rules.Levels = 3;
    for (auto _ : state) benchmark::DoNotOptimize(ErrorDetection(rules, TFigure::Of(4.2L)));
}

void BM_AnalyteFigures(benchmark::State& state) {
    const TAnalyte a = History(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(AnalyteFigures(a, Goal(), {0, a.Count() - 1}));
}

// Every point judged again, month by month.
void BM_MonthlySummary(benchmark::State& state) {
    const TAnalyte a = History(static_cast<int>(state.range(0)));
    TDateParts first = DecodeDate(a.Points.front().DateTime), last = DecodeDate(a.Points.back().DateTime);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            MonthlySummary(a, Goal(), {first.Year, first.Month}, {last.Year, last.Month}));
}

} // namespace

BENCHMARK(BM_PowerFunction)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ErrorDetection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalyteFigures)->Arg(1000)->Arg(100000);
BENCHMARK(BM_MonthlySummary)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
