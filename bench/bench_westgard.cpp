// One multirule evaluation against a long history: values on every level, and one level always empty.
#include <benchmark/benchmark.h>

#include "UStructures.h"
#include "UUtilitaires.h"
#include "UWestgard.h"

namespace {

constexpr long double Means[MaxLevels] = {100, 50, 200};
constexpr long double Sds[MaxLevels] = {2, 1, 4};

// Three levels with normal values around their means, one run a day; with emptyLevel >= 0 that
// level has no value in any stored point, so its walks go back to the first point.
TAnalyte History(int points, int emptyLevel) {
    RandomSeed(20240601);
    TAnalyte a("Bench", "u", 2, MaxLevels);
    a.Points.reserve(static_cast<size_t>(points));
    for (int k = 0; k < points; ++k) {
        ControlPoint p;
        p.DateTime = 1000.0 + k;
        for (int i = 0; i < MaxLevels; ++i) {
            if (i == emptyLevel)
                p.Levels[i] = {0, psEmpty};
            else
                p.Levels[i] = {static_cast<float>(RandomNormal(Means[i], Sds[i])), psInControl};
        }
        a.Points.push_back(p);
    }
    a.RecalcAll();
    a.ClassifyAllPoints();
    // The empty level keeps limits in force (as locked before its values were erased), so it takes
    // part and its run value is judged against the whole history.
    if (emptyLevel >= 0) {
        LevelStats& l = a.Limits[emptyLevel];
        l.Mean = Means[emptyLevel];
        l.WarnDev = 2 * Sds[emptyLevel];
        l.ActionDev = 3 * Sds[emptyLevel];
        l.State = 0;
    }
    return a;
}

// A run beyond the warning deviation on every level, so every rule reads the history.
TResu NewRun(const TAnalyte& a) {
    TResu run;
    run.DateTime = a.Points.back().DateTime + 1;
    for (int i = 0; i < MaxLevels; ++i)
        run.Levels[i] = {static_cast<float>(a.Limits[i].Mean + 1.5L * a.Limits[i].WarnDev), psInControl};
    a.ClassifyRun(run.Levels);
    return run;
}

void Evaluate(benchmark::State& state, int emptyLevel) {
    const TAnalyte a = History(static_cast<int>(state.range(0)), emptyLevel);
    const TResu run = NewRun(a);
    const int previous = PreviousIndex(a, run.DateTime);
    for (auto _ : state) {
        TMultiruleResult r = EvaluateMultirules(a, run, previous, {}, true);
        benchmark::DoNotOptimize(r);
    }
}

void BM_EvaluateValuesOnEveryLevel(benchmark::State& state) {
    Evaluate(state, -1);
}
void BM_EvaluateOneLevelAlwaysEmpty(benchmark::State& state) {
    Evaluate(state, 2);
}

} // namespace

BENCHMARK(BM_EvaluateValuesOnEveryLevel)->Arg(1000)->Arg(100000);
BENCHMARK(BM_EvaluateOneLevelAlwaysEmpty)->Arg(1000)->Arg(100000);

BENCHMARK_MAIN();
