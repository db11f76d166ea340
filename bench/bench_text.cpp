// Benchmark: number, date and time texts and the number reader against their former versions
// (ReferenceText.h). `bench_text --verify=N` first compares N random values of each kind with the
// former routines and N / 100 exchange texts, and stops at a difference.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "TextExactness.h"

namespace {

struct TValueCase {
    long double value;
    int precision, decimals;
};

// What the program writes: QC values of 1 to 3 decimals, means with one decimal more, CVs, limits.
const std::vector<TValueCase>& ProgramValues() {
    static const std::vector<TValueCase> cases = [] {
        std::mt19937_64 g(7);
        std::normal_distribution<double> qc(5.0, 0.2);
        std::vector<TValueCase> v;
        for (int i = 0; i < 4096; ++i) {
            int d = 1 + i % 3;
            double scale = i % 5 == 0 ? 100 : 1;
            switch (i % 4) {
            case 0:
            case 1:
                v.push_back({static_cast<float>(qc(g) * scale), 8, d});
                break;
            case 2:
                v.push_back({static_cast<long double>(qc(g)) * scale / 3, 8, d + 1});
                break;
            default:
                v.push_back({static_cast<long double>(qc(g)) / 2.7L, i % 8 < 4 ? 8 : 6, 1});
                break;
            }
        }
        return v;
    }();
    return cases;
}

const std::vector<TValueCase>& AnyValues() {
    static const std::vector<TValueCase> cases = [] {
        std::mt19937_64 g(8);
        std::vector<TValueCase> v;
        for (int i = 0; i < 4096; ++i) v.push_back({exactness::RandomValue(g), 8, static_cast<int>(g() % 5)});
        return v;
    }();
    return cases;
}

template <class F> void RunValues(benchmark::State& state, const std::vector<TValueCase>& cases, F format) {
    size_t i = 0;
    for (auto _ : state) {
        const TValueCase& c = cases[i++ & 4095];
        std::string s = format(c.value, c.precision, c.decimals, '.');
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_FormatFixed(benchmark::State& state) {
    RunValues(state, ProgramValues(),
              [](long double v, int p, int d, char s) { return FormatFixed(v, p, d, s); });
}
void BM_FormatFixedFormer(benchmark::State& state) {
    RunValues(state, ProgramValues(), reference::FormatFixed);
}
void BM_FormatFixedAnyValue(benchmark::State& state) {
    RunValues(state, AnyValues(),
              [](long double v, int p, int d, char s) { return FormatFixed(v, p, d, s); });
}
void BM_FormatFixedAnyValueFormer(benchmark::State& state) {
    RunValues(state, AnyValues(), reference::FormatFixed);
}
BENCHMARK(BM_FormatFixed);
BENCHMARK(BM_FormatFixedFormer);
BENCHMARK(BM_FormatFixedAnyValue);
BENCHMARK(BM_FormatFixedAnyValueFormer);

const std::vector<TDateTime>& DateTimes() {
    static const std::vector<TDateTime> v = [] {
        std::mt19937_64 g(9);
        std::vector<TDateTime> d;
        for (int i = 0; i < 4096; ++i)
            d.push_back(EncodeDate(2000, 1, 1) + static_cast<double>(g() % 10000) +
                        EncodeTime(static_cast<int>(g() % 24), static_cast<int>(g() % 60),
                                   static_cast<int>(g() % 60)));
        return d;
    }();
    return v;
}

template <class F> void RunDates(benchmark::State& state, F format) {
    const TRegional r{"dd/MM/yyyy", "HH:mm:ss", '.'};
    size_t i = 0;
    for (auto _ : state) {
        std::string s = format(r, DateTimes()[i++ & 4095]);
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_DateToText(benchmark::State& state) {
    RunDates(state, [](const TRegional& r, TDateTime dt) { return r.DateToText(dt); });
}
void BM_DateToTextFormer(benchmark::State& state) {
    RunDates(state, reference::DateToText);
}
void BM_TimeToText(benchmark::State& state) {
    RunDates(state, [](const TRegional& r, TDateTime dt) { return r.TimeToText(dt); });
}
void BM_TimeToTextFormer(benchmark::State& state) {
    RunDates(state, reference::TimeToText);
}
BENCHMARK(BM_DateToText);
BENCHMARK(BM_DateToTextFormer);
BENCHMARK(BM_TimeToText);
BENCHMARK(BM_TimeToTextFormer);

const std::vector<std::string>& NumberTexts() {
    static const std::vector<std::string> v = [] {
        std::vector<std::string> t;
        for (const TValueCase& c : ProgramValues())
            t.push_back(FormatFixed(c.value, c.precision, c.decimals, '.'));
        return t;
    }();
    return v;
}

template <class F> void RunParse(benchmark::State& state, F parse) {
    size_t i = 0;
    for (auto _ : state) {
        long double v = 0;
        benchmark::DoNotOptimize(parse(NumberTexts()[i++ & 4095], '.', v));
        benchmark::DoNotOptimize(v);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_ParseDecimal(benchmark::State& state) {
    RunParse(state, ParseDecimal);
}
void BM_ParseDecimalFormer(benchmark::State& state) {
    RunParse(state, reference::ParseDecimal);
}
BENCHMARK(BM_ParseDecimal);
BENCHMARK(BM_ParseDecimalFormer);

bool Verify(size_t count) {
    struct Step {
        const char* name;
        exactness::TOutcome (*check)(size_t, uint64_t);
        size_t count;
    };
    const Step steps[] = {{"FormatFixed", exactness::CheckFormatFixed, count},
                          {"DateToText/TimeToText", exactness::CheckDates, count},
                          {"ParseDecimal", exactness::CheckParseDecimal, count},
                          {"ParseImportText", exactness::CheckImportText, count / 100}};
    bool ok = true;
    for (const Step& s : steps) {
        exactness::TOutcome o = s.check(s.count, 1000 + static_cast<uint64_t>(&s - steps));
        std::printf("%-22s %zu compared: %s\n", s.name, o.compared,
                    o.mismatch.empty() ? "as before" : o.mismatch.c_str());
        std::fflush(stdout);
        ok = ok && o.mismatch.empty();
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--verify=", 9) == 0) {
            if (!Verify(std::strtoull(argv[i] + 9, nullptr, 10))) return 1;
            for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            --i;
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
