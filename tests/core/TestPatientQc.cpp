// Patient-based QC: the statistics against a plain implementation, screening, proposals, simulation and
// the tuning table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>
#include <random>

#include "UPatientQc.h"
#include "UQcError.h"

namespace {

// Values from a normal distribution by Box-Muller on a generator the standard fixes: the same on every
// library.
std::vector<double> Normal(size_t n, double mean, double sd, uint64_t seed) {
    std::mt19937_64 g(seed);
    auto uniform = [&] { return (static_cast<double>(g() >> 11) + 0.5) / 9007199254740992.0; };
    std::vector<double> out;
    while (out.size() < n) {
        const double r = std::sqrt(-2 * std::log(uniform())), t = 2 * std::numbers::pi * uniform();
        out.push_back(mean + sd * r * std::cos(t));
        out.push_back(mean + sd * r * std::sin(t));
    }
    out.resize(n);
    return out;
}

std::vector<TPatientResult> Stream(const std::vector<double>& values) {
    std::vector<TPatientResult> out;
    for (size_t i = 0; i < values.size(); ++i)
        out.push_back({46000 + static_cast<double>(i) / 1440, values[i], "A1"});
    return out;
}

TPqcSettings Settings(TPqcProcedure p, int n, double low = -1e9, double high = 1e9) {
    TPqcSettings s;
    s.Procedure = p;
    s.N = n;
    s.Target = 100;
    s.Low = low;
    s.High = high;
    return s;
}

// Each statistic recomputed from scratch over the values the truncation lets through.
std::vector<double> Plain(const TPqcSettings& s, const std::vector<double>& values) {
    std::vector<double> out;
    std::deque<double> window;
    double ewma = s.Target;
    int taken = 0;
    for (double v : values) {
        if ((s.TruncLow && v < *s.TruncLow) || (s.TruncHigh && v > *s.TruncHigh)) {
            if (s.Truncation == TPqcTruncation::Exclude) continue;
            v = std::clamp(v, *s.TruncLow, *s.TruncHigh);
        }
        ++taken;
        ewma = s.Lambda * v + (1 - s.Lambda) * ewma;
        window.push_back(v);
        if (static_cast<int>(window.size()) > s.N) window.pop_front();
        if (taken < s.N) continue;
        if (s.Procedure == TPqcProcedure::Ewma) {
            out.push_back(ewma);
        } else if (s.Procedure == TPqcProcedure::MovingAverage) {
            double sum = 0;
            for (double w : window) sum += w;
            out.push_back(sum / static_cast<double>(window.size()));
        } else {
            std::vector<double> sorted(window.begin(), window.end());
            std::sort(sorted.begin(), sorted.end());
            const size_t m = sorted.size();
            out.push_back(m % 2 ? sorted[m / 2] : (sorted[m / 2 - 1] + sorted[m / 2]) / 2);
        }
    }
    return out;
}

TEST(PatientQc, StatisticsAgreeWithAPlainImplementation) {
    const std::vector<double> values = Normal(3000, 100, 12, 1);
    struct TCase {
        TPqcProcedure procedure;
        int n;
        double lambda;
        std::optional<double> low, high;
        TPqcTruncation truncation;
    };
    const TCase cases[] = {
        {TPqcProcedure::MovingAverage, 20, 0, std::nullopt, std::nullopt, TPqcTruncation::Exclude},
        {TPqcProcedure::MovingAverage, 7, 0, 85.0, 115.0, TPqcTruncation::Exclude},
        {TPqcProcedure::MovingAverage, 50, 0, 85.0, 115.0, TPqcTruncation::Winsorise},
        {TPqcProcedure::Ewma, 1, 0.1, std::nullopt, std::nullopt, TPqcTruncation::Exclude},
        {TPqcProcedure::Ewma, 10, 0.35, 80.0, 120.0, TPqcTruncation::Winsorise},
        {TPqcProcedure::Ewma, 5, 1.0, 80.0, 120.0, TPqcTruncation::Exclude},
        {TPqcProcedure::MovingMedian, 9, 0, std::nullopt, std::nullopt, TPqcTruncation::Exclude},
        {TPqcProcedure::MovingMedian, 10, 0, 90.0, 110.0, TPqcTruncation::Winsorise},
    };
    for (const TCase& c : cases) {
        TPqcSettings s = Settings(c.procedure, c.n);
        s.Lambda = c.lambda > 0 ? c.lambda : 0.1;
        s.TruncLow = c.low;
        s.TruncHigh = c.high;
        s.Truncation = c.truncation;
        const TPqcRun run = RunPqc(s, Stream(values));
        const std::vector<double> expected = Plain(s, values);
        ASSERT_EQ(run.Points.size(), expected.size()) << PqcProcedureName(c.procedure) << " " << c.n;
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_NEAR(run.Points[i].Statistic, expected[i], 1e-9)
                << PqcProcedureName(c.procedure) << " at " << i;
        if (c.low) {
            EXPECT_GT(run.Truncated, 0);
        }
    }
}

TEST(PatientQc, AlarmsAreTheMomentsTheStatisticLeavesItsLimits) {
    // MA of 2 with limits 90..110: out at the 4th result, back in, out again at the 8th and stays out.
    const std::vector<double> values = {100, 100, 100, 130, 100, 100, 70, 60, 60};
    const std::vector<TPatientResult> stream = Stream(values);
    const TPqcRun run = RunPqc(Settings(TPqcProcedure::MovingAverage, 2, 90, 110), stream);
    ASSERT_EQ(run.Points.size(), 8u);
    EXPECT_EQ(run.Alarms, (std::vector<TDateTime>{stream[3].Time, stream[6].Time}));
    EXPECT_TRUE(run.Alarm());
    EXPECT_FALSE(
        RunPqc(Settings(TPqcProcedure::MovingAverage, 2, 90, 110), Stream({100, 100, 130, 70})).Alarm());
}

TEST(PatientQc, ScreeningExcludesByRuleAndCounts) {
    const std::vector<TPatientReading> readings = {
        {1, "5.2", "A1", false},  {2, " 6 ", "A1", false},   {3, "<0.5", "A1", false},
        {4, ">500", "A1", false}, {5, "abc", "A1", false},   {6, "", "A1", false},
        {7, "nan", "A1", false},  {8, "1e999", "A1", false}, {9, "5,2", "A1", false},
        {10, "7.1", "A1", true},  {11, "> 5", "A1", false},  {12, "-1.5e1", "A2", false},
    };
    const TPqcScreened s = ScreenReadings(readings);
    ASSERT_EQ(s.Results.size(), 3u);
    EXPECT_EQ(s.Results[0].Value, 5.2);
    EXPECT_EQ(s.Results[1].Value, 6);
    EXPECT_EQ(s.Results[2].Value, -15);
    EXPECT_EQ(s.Results[2].Instrument, "A2");
    EXPECT_EQ(s.Censored, 3);
    EXPECT_EQ(s.NotNumeric, 5);
    EXPECT_EQ(s.Flagged, 1);
}

TEST(PatientQc, BadSettingsAreRefusedWithTheReason) {
    struct TCase {
        const char* what;
        std::function<void(TPqcSettings&)> change;
        const char* says;
    };
    const double nan = std::nan("");
    const TCase cases[] = {
        {"N 0", [](TPqcSettings& s) { s.N = 0; }, "N must be"},
        {"N huge", [](TPqcSettings& s) { s.N = 10001; }, "N must be"},
        {"lambda 0",
         [](TPqcSettings& s) {
             s.Procedure = TPqcProcedure::Ewma;
             s.Lambda = 0;
         },
         "Lambda"},
        {"lambda above 1",
         [](TPqcSettings& s) {
             s.Procedure = TPqcProcedure::Ewma;
             s.Lambda = 1.5;
         },
         "Lambda"},
        {"truncation reversed",
         [](TPqcSettings& s) {
             s.TruncLow = 5;
             s.TruncHigh = 5;
         },
         "truncation"},
        {"truncation nan", [nan](TPqcSettings& s) { s.TruncLow = nan; }, "truncation"},
        {"limits reversed",
         [](TPqcSettings& s) {
             s.Low = 110;
             s.High = 90;
         },
         "control limits"},
        {"limit infinite", [](TPqcSettings& s) { s.High = INFINITY; }, "control limits"},
        {"target nan", [nan](TPqcSettings& s) { s.Target = nan; }, "control limits"},
    };
    EXPECT_EQ(CheckPqcSettings(Settings(TPqcProcedure::MovingAverage, 20, 90, 110)), "");
    const std::vector<TPatientResult> stream = Stream(Normal(1000, 100, 10, 3));
    for (const TCase& c : cases) {
        TPqcSettings s = Settings(TPqcProcedure::MovingAverage, 20, 90, 110);
        c.change(s);
        EXPECT_NE(CheckPqcSettings(s).find(c.says), std::string::npos) << c.what;
        EXPECT_THROW(SimulatePqc(s, stream, {10, true}, 10, 1), EQcError) << c.what;
    }
    // The simulation's own bounds.
    const TPqcSettings good = Settings(TPqcProcedure::MovingAverage, 20, 90, 110);
    EXPECT_THROW(SimulatePqc(good, stream, {10, true}, 0, 1), EQcError);
    EXPECT_THROW(SimulatePqc(good, stream, {nan, true}, 10, 1), EQcError);
    EXPECT_THROW(SimulatePqc(good, Stream(Normal(150, 100, 10, 3)), {10, true}, 10, 1), EQcError);
}

TEST(PatientQc, ProposalFromTheTruncatedHistory) {
    // Too few results, or none that vary, say so instead of proposing limits.
    TPqcProposal few =
        ProposePqc(Settings(TPqcProcedure::MovingAverage, 20), Stream(Normal(199, 100, 10, 4)));
    EXPECT_FALSE(few.Ok);
    EXPECT_NE(few.Message.find("199, at least 200"), std::string::npos) << few.Message;
    TPqcSettings fixed = Settings(TPqcProcedure::MovingAverage, 20);
    fixed.TruncLow = 0;
    fixed.TruncHigh = 200;
    TPqcProposal flat = ProposePqc(fixed, Stream(std::vector<double>(500, 4.2)));
    EXPECT_FALSE(flat.Ok);
    EXPECT_NE(flat.Message.find("vary too little"), std::string::npos);

    // Given truncation limits are kept, and the mean and SD are those of the values within them.
    std::vector<double> values = Normal(2000, 100, 10, 5);
    values[10] = 10000; // a value no sound limit would take in
    fixed.TruncLow = 70;
    fixed.TruncHigh = 130;
    const TPqcProposal ma = ProposePqc(fixed, Stream(values));
    ASSERT_TRUE(ma.Ok) << ma.Message;
    std::vector<double> inside;
    for (double v : values)
        if (v >= 70 && v <= 130) inside.push_back(v);
    double mean = 0, squares = 0;
    for (double v : inside) mean += v / static_cast<double>(inside.size());
    for (double v : inside) squares += (v - mean) * (v - mean);
    const double sd = std::sqrt(squares / static_cast<double>(inside.size() - 1));
    EXPECT_EQ(ma.Used, static_cast<int>(inside.size()));
    EXPECT_NEAR(ma.Mean, mean, 1e-9);
    EXPECT_NEAR(ma.SD, sd, 1e-9);
    EXPECT_NEAR(ma.Settings.Target, mean, 1e-9);
    EXPECT_NEAR(ma.Settings.High - mean, 3 * sd / std::sqrt(20.0), 1e-9);
    EXPECT_NEAR(mean - ma.Settings.Low, 3 * sd / std::sqrt(20.0), 1e-9);
    EXPECT_EQ(CheckPqcSettings(ma.Settings), "");

    // Without truncation limits the 1st and 99th percentiles are proposed; an EWMA's limits are narrower
    // with a smaller lambda.
    TPqcSettings ewma = Settings(TPqcProcedure::Ewma, 10);
    ewma.Lambda = 0.05;
    const TPqcProposal e = ProposePqc(ewma, Stream(values));
    ASSERT_TRUE(e.Ok) << e.Message;
    ASSERT_TRUE(e.Settings.TruncLow && e.Settings.TruncHigh);
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(*e.Settings.TruncLow, sorted[19]);
    EXPECT_EQ(*e.Settings.TruncHigh, sorted[1979]);
    EXPECT_NEAR(e.Settings.High - e.Mean, 3 * e.SD * std::sqrt(0.05 / 1.95), 1e-9);
}

TEST(PatientQc, SimulationIsReproducibleAndGrowsWithTheBias) {
    const std::vector<TPatientResult> stream = Stream(Normal(4000, 100, 10, 6));
    const TPqcProposal p = ProposePqc(Settings(TPqcProcedure::MovingAverage, 20), stream);
    ASSERT_TRUE(p.Ok) << p.Message;
    const TPqcSimulation a = SimulatePqc(p.Settings, stream, {5, true}, 500, 42);
    const TPqcSimulation b = SimulatePqc(p.Settings, stream, {5, true}, 500, 42);
    const TPqcSimulation c = SimulatePqc(p.Settings, stream, {5, true}, 500, 43);
    EXPECT_EQ(a.ANPed, b.ANPed);
    EXPECT_EQ(a.ANPed95, b.ANPed95);
    EXPECT_EQ(a.Runs, 500);
    EXPECT_EQ(a.Seed, 42u);
    EXPECT_NE(a.ANPed, c.ANPed);
    // A larger error is found sooner, one of either sign is found, and the 95th percentile is no lower
    // than the mean of a skewed count.
    const TPqcSimulation large = SimulatePqc(p.Settings, stream, {15, true}, 500, 42);
    const TPqcSimulation down = SimulatePqc(p.Settings, stream, {-15, true}, 500, 42);
    const TPqcSimulation units = SimulatePqc(p.Settings, stream, {15, false}, 500, 42);
    EXPECT_LT(large.ANPed, a.ANPed);
    EXPECT_GE(a.ANPed95, a.ANPed);
    EXPECT_EQ(large.Undetected + down.Undetected, 0);
    EXPECT_LT(down.ANPed, a.ANPed);
    EXPECT_EQ(units.Undetected, 0);
    EXPECT_LT(units.ANPed, a.ANPed);
}

TEST(PatientQc, TuningTableSimulatesEachProcedureWithItsProposedLimits) {
    const std::vector<TPatientResult> stream = Stream(Normal(3000, 100, 10, 8));
    TPqcSettings base = Settings(TPqcProcedure::Ewma, 10);
    base.Lambda = 0.2;
    const std::vector<TPqcBias> biases = {{-5, true}, {10, true}};
    const std::vector<TPqcTuningLine> lines = TunePqc(base, stream, biases, 200, 5);
    ASSERT_EQ(lines.size(), 6u);
    const TPqcProcedure order[] = {TPqcProcedure::MovingAverage, TPqcProcedure::MovingMedian,
                                   TPqcProcedure::Ewma};
    for (size_t k = 0; k < lines.size(); ++k) {
        const TPqcTuningLine& l = lines[k];
        ASSERT_TRUE(l.Message.empty()) << l.Message;
        EXPECT_EQ(l.Settings.Procedure, order[k / 2]);
        EXPECT_EQ(l.Bias.Size, biases[k % 2].Size);
        // The figures are those of the candidate's own proposal, simulated with the runs and seed given.
        TPqcSettings s = base;
        s.Procedure = order[k / 2];
        const TPqcProposal p = ProposePqc(s, stream);
        EXPECT_EQ(l.Settings.N, 10);
        EXPECT_EQ(l.Settings.Low, p.Settings.Low);
        const TPqcSimulation sim = SimulatePqc(p.Settings, stream, biases[k % 2], 200, 5);
        EXPECT_EQ(l.Simulation.ANPed, sim.ANPed);
        EXPECT_EQ(l.Simulation.FalseAlarmsPer1000, sim.FalseAlarmsPer1000);
        EXPECT_EQ(l.Simulation.Seed, 5u);
    }
    // The larger bias is found sooner by every procedure.
    for (size_t k = 0; k < lines.size(); k += 2)
        EXPECT_LT(lines[k + 1].Simulation.ANPed, lines[k].Simulation.ANPed);

    // A stream too short for a proposal gives the reason on each line instead of figures.
    for (const TPqcTuningLine& l : TunePqc(base, Stream(Normal(50, 100, 10, 8)), biases, 200, 5))
        EXPECT_NE(l.Message.find("Too few results"), std::string::npos) << l.Message;
    // What cannot be simulated at all is refused.
    EXPECT_THROW(TunePqc(base, stream, {}, 200, 5), EQcError);
    EXPECT_THROW(TunePqc(base, stream, {{0, true}}, 200, 5), EQcError);
    EXPECT_THROW(TunePqc(base, stream, {{-100, true}}, 200, 5), EQcError);
    EXPECT_THROW(TunePqc(base, stream, {{5, true}}, 0, 5), EQcError);
}

TEST(PatientQc, AShiftIsFoundWithinThePredictedNumberAndNotBefore) {
    // The procedures are tuned on a history long enough to state their false alarm rate, then watch
    // 5,000 new results of the same distribution with +10 % from result 3,001 on.
    const std::vector<TPatientResult> history = Stream(Normal(20000, 100, 8, 1));
    std::vector<double> values = Normal(5000, 100, 8, 2026);
    for (size_t i = 3000; i < values.size(); ++i) values[i] *= 1.10;
    const std::vector<TPatientResult> stream = Stream(values);
    const TDateTime shift = stream[3000].Time;
    for (TPqcProcedure procedure :
         {TPqcProcedure::MovingAverage, TPqcProcedure::Ewma, TPqcProcedure::MovingMedian}) {
        const char* name = PqcProcedureName(procedure);
        TPqcSettings s = Settings(procedure, procedure == TPqcProcedure::Ewma ? 5 : 20);
        s.Lambda = 0.1;
        const TPqcProposal p = ProposePqc(s, history);
        ASSERT_TRUE(p.Ok) << p.Message;
        const TPqcSimulation sim = SimulatePqc(p.Settings, history, {10, true}, 2000, 7);
        EXPECT_EQ(sim.Undetected, 0) << name;
        const TPqcRun run = RunPqc(p.Settings, stream);
        // Before the shift: no more false alarms than the stated rate lets one expect (Poisson, 3 SD).
        const auto judged = std::count_if(run.Points.begin(), run.Points.end(),
                                          [&](const TPqcPoint& q) { return q.Time < shift; });
        const auto before =
            std::count_if(run.Alarms.begin(), run.Alarms.end(), [&](TDateTime t) { return t < shift; });
        const double expected = sim.FalseAlarmsPer1000 * static_cast<double>(judged) / 1000;
        EXPECT_LE(static_cast<double>(before), expected + 3 * std::sqrt(expected) + 1) << name;
        // After it: the statistic is out of its limits within the number of results predicted.
        const auto found = std::find_if(run.Points.begin(), run.Points.end(),
                                        [&](const TPqcPoint& q) { return q.Time >= shift && !q.InLimits; });
        ASSERT_NE(found, run.Points.end()) << name;
        const auto at =
            std::find_if(stream.begin(), stream.end(), [&](const auto& r) { return r.Time == found->Time; });
        const double affected = static_cast<double>(at - stream.begin()) - 3000 + 1;
        EXPECT_GE(affected, 1);
        EXPECT_LE(affected, sim.ANPed95) << name << " ANPed " << sim.ANPed;
    }
}

} // namespace
