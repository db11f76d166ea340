// Statistics and control limits: the worked cases, the modes, common CV and numerical precision.
#include <cmath>
#include <gtest/gtest.h>
#include <random>

#include "TestHelpers.h"

namespace {
constexpr double Tol = 1e-12;

double D(long double v) {
    return static_cast<double>(v);
}
} // namespace

class Stats : public ::testing::Test {
protected:
    TTempFolder folder;
};

TEST_F(Stats, LevelWithoutValues) {
    TAnalyte a("A", "u", 1, 1);
    const LevelStats& l = a.Limits[0];
    EXPECT_EQ(l.State, 6);
    EXPECT_EQ(l.Mean, 0);
    EXPECT_EQ(D(l.WarnDev), 0.5);
    EXPECT_EQ(D(l.ActionDev), 0.8);
    EXPECT_EQ(l.RangeLow, -1);
    EXPECT_EQ(l.RangeHigh, 1);
}

TEST_F(Stats, OneValueAndEqualValues) {
    TAnalyte a = AnalyteWithValues({5.0});
    const LevelStats& l = a.AllStats[0];
    EXPECT_EQ(l.State, 6);
    EXPECT_EQ(l.N, 1);
    EXPECT_EQ(l.DF, 0);
    EXPECT_EQ(D(l.RangeLow), 0.0);
    EXPECT_EQ(D(l.RangeHigh), 10.0);
    EXPECT_EQ(D(l.WarnDev), 2.5);
    EXPECT_EQ(D(l.ActionDev), 4.0);

    TAnalyte neg = AnalyteWithValues({-4.0, -4.0});
    EXPECT_EQ(D(neg.AllStats[0].RangeLow), -8.0);
    EXPECT_EQ(D(neg.AllStats[0].RangeHigh), 0.0);
    EXPECT_EQ(D(neg.AllStats[0].WarnDev), 2.0);

    TAnalyte zero = AnalyteWithValues({0.0, 0.0, 0.0});
    EXPECT_EQ(zero.AllStats[0].State, 6);
    EXPECT_EQ(D(zero.AllStats[0].ActionDev), 0.8);
}

TEST_F(Stats, ThreeValuesWithDefaultRows) {
    TAnalyte a = AnalyteWithValues({1, 2, 3});
    const LevelStats& l = a.AllStats[0];
    EXPECT_EQ(l.N, 3);
    EXPECT_EQ(l.DF, 2);
    EXPECT_EQ(l.State, 0);
    EXPECT_NEAR(D(l.Mean), 2.0, Tol);
    EXPECT_NEAR(D(l.WarnDev), 4.3027, Tol);
    EXPECT_NEAR(D(l.ActionDev), 22.326, Tol);
    EXPECT_FLOAT_EQ(l.CV, 50.0f);
    // Mobile limits widen the display range to the action limits.
    EXPECT_NEAR(D(a.Limits[0].RangeHigh), 2 + 22.326, Tol);
    EXPECT_NEAR(D(a.Limits[0].RangeLow), 2 - 22.326, Tol);
    // Other risk rows.
    Settings.AlertRow = 1;
    Settings.ActionRow = 2;
    a.RecalcAll();
    EXPECT_NEAR(D(a.Limits[0].WarnDev), 6.9646, Tol);
    EXPECT_NEAR(D(a.Limits[0].ActionDev), 9.9248, Tol);
}

TEST_F(Stats, DegreesOfFreedomPickTheRightColumn) {
    std::vector<double> v31, v36;
    for (int i = 0; i < 31; ++i) v31.push_back(i % 2 ? 9.0 : 11.0);
    for (int i = 0; i < 36; ++i) v36.push_back(i % 2 ? 9.0 : 11.0);
    TAnalyte a = AnalyteWithValues(v31);
    LevelStats l = a.AllStats[0];
    EXPECT_EQ(l.DF, 30);
    long double sdExact = l.WarnDev / 2.0423L;
    EXPECT_NEAR(D(l.ActionDev), D(3.385L * sdExact), 1e-12);
    TAnalyte b = AnalyteWithValues(v36);
    EXPECT_EQ(b.AllStats[0].DF, 35);
    long double sd36 = std::sqrt(36.0L / 35); // 36 values at +-1 around 10, mean exactly 10
    EXPECT_NEAR(D(b.AllStats[0].WarnDev), D((2.0423L + 2.0211L) / 2 * sd36), 1e-12);
}

TEST_F(Stats, DiscardedAndEmptyValuesDoNotCount) {
    TAnalyte a = AnalyteWithValues({1, 2, 3, 100});
    a.Points[3].Levels[0].State = psDiscarded;
    a.AddPoint(MakeRun(2000, {NAN}));
    a.RecalcAll();
    const LevelStats& l = a.AllStats[0];
    EXPECT_EQ(l.N, 3);
    EXPECT_EQ(l.NDiscarded, 1);
    EXPECT_NEAR(D(l.Mean), 2.0, Tol);
    EXPECT_NEAR(D(l.WarnDev), 4.3027, Tol);
    EXPECT_EQ(D(l.Max), 3.0);
}

TEST_F(Stats, LockedIntervalAndItsFallBack) {
    TAnalyte a = AnalyteWithValues({1, 2, 3, 10, 20, 30});
    a.Options &= ~TAnalyte::OptCommonCV;
    a.LimitMode[0] = lmLocked;
    a.LockFirst[0] = 0;
    a.LockLast[0] = 2;
    a.RecalcAll();
    EXPECT_EQ(a.LimitMode[0], lmLocked);
    EXPECT_NEAR(D(a.Limits[0].Mean), 2.0, Tol);
    EXPECT_EQ(a.Limits[0].N, 3);
    // The chart range covers every point, widened to the locked action limits.
    EXPECT_NEAR(D(a.Limits[0].RangeHigh), 30.0, Tol);
    EXPECT_NEAR(D(a.Limits[0].RangeLow), 2 - 22.326, Tol);

    // An interval lying wholly on empty values falls back to mobile limits and loses its interval.
    TAnalyte b("B", "u", 1, 2);
    for (int k = 0; k < 4; ++k) b.AddPoint(MakeRun(1000 + k, {NAN, 1.0 + k}));
    b.AddPoint(MakeRun(1010, {5, 1}));
    b.LimitMode[0] = lmLocked;
    b.LockFirst[0] = 0;
    b.LockLast[0] = 3;
    b.RecalcAll();
    EXPECT_EQ(b.LimitMode[0], lmMobile);
    EXPECT_EQ(b.LockFirst[0], -1);
    EXPECT_EQ(b.LockLast[0], -1);

    // An interval reaching beyond the stored points (a damaged file) also falls back.
    TAnalyte c = AnalyteWithValues({1, 2, 3});
    c.LimitMode[0] = lmLocked;
    c.LockFirst[0] = 1;
    c.LockLast[0] = 7;
    c.RecalcAll();
    EXPECT_EQ(c.LimitMode[0], lmMobile);
    EXPECT_NEAR(D(c.Limits[0].Mean), 2.0, Tol);
}

TEST_F(Stats, FixedLevelKeepsItsTargets) {
    TAnalyte a("A", "u", 0, 1);
    a.LimitMode[0] = lmFixed;
    a.Limits[0].Mean = 42;
    a.Limits[0].WarnDev = 2;
    a.Limits[0].ActionDev = 3;
    a.RecalcAll();
    EXPECT_EQ(a.Limits[0].State, 0);
    EXPECT_EQ(D(a.Limits[0].RangeLow), 39.0);
    EXPECT_EQ(D(a.Limits[0].RangeHigh), 45.0);
    a.AddPoint(MakeRun(1000, {50}));
    a.AddPoint(MakeRun(1001, {30}));
    a.Points[1].Levels[0].State = psDiscarded;
    a.RecalcAll();
    EXPECT_EQ(D(a.Limits[0].Mean), 42.0);
    EXPECT_EQ(D(a.Limits[0].RangeHigh), 50.0);
    EXPECT_EQ(D(a.Limits[0].RangeLow), 39.0); // the discarded 30 is not a counted minimum
}

TEST_F(Stats, CommonCVPoolsTheLevels) {
    // Two levels: N 21 with CV 2 % and N 11 with CV 4 %: DFc 30, CVc = sqrt((0.0004*20 + 0.0016*10)/30).
    TAnalyte a("A", "u", 2, 3);
    a.Options |= TAnalyte::OptCommonCV;
    a.RecalcAll();
    a.Limits[0].N = 21;
    a.Limits[0].CV = 2;
    a.Limits[0].State = 0;
    a.Limits[0].Mean = 100;
    a.Limits[1].N = 11;
    a.Limits[1].CV = 4;
    a.Limits[1].State = 0;
    a.Limits[1].Mean = 50;
    a.LimitMode[2] = lmFixed; // fixed levels neither pool nor change
    a.Limits[2].N = 5;
    a.Limits[2].CV = 50;
    a.Limits[2].State = 0;
    a.Limits[2].WarnDev = 7;
    a.ApplyCommonCV();
    long double cvc = std::sqrt((0.0004L * 20 + 0.0016L * 10) / 30);
    EXPECT_NEAR(a.Limits[0].CV, D(cvc * 100), 1e-5);
    EXPECT_NEAR(D(cvc * 100), 2.828, 1e-3);
    EXPECT_EQ(a.Limits[0].DF, 30);
    EXPECT_NEAR(D(a.Limits[0].WarnDev), D(2.0423L * cvc * 100), 1e-5);
    EXPECT_NEAR(D(a.Limits[1].ActionDev), D(3.385L * cvc * 50), 1e-5);
    EXPECT_EQ(D(a.Limits[2].WarnDev), 7.0);
    EXPECT_EQ(a.Limits[2].CV, 50);
}

TEST_F(Stats, CommonCVKeepsLimitsOrderedForNegativeMeans) {
    // Base excess around -3 and +2: the deviations must stay positive on the negative level.
    TAnalyte a("BE", "mmol/L", 1, 2);
    a.Options |= TAnalyte::OptCommonCV;
    const double lo[] = {-3.1, -2.9, -3.0, -3.2, -2.8};
    const double hi[] = {2.1, 1.9, 2.0, 2.2, 1.8};
    for (int k = 0; k < 5; ++k) a.AddPoint(MakeRun(1000 + k, {lo[k], hi[k]}));
    a.RecalcAll();
    for (int i = 0; i < 2; ++i) {
        EXPECT_GT(a.Limits[i].WarnDev, 0) << i;
        EXPECT_GT(a.Limits[i].ActionDev, a.Limits[i].WarnDev) << i;
        EXPECT_LT(a.Limits[i].RangeLow, a.Limits[i].Mean - a.Limits[i].ActionDev + 1e-9L);
        EXPECT_GT(a.Limits[i].RangeHigh, a.Limits[i].Mean + a.Limits[i].ActionDev - 1e-9L);
    }
    // A value of -3.0 is in control on the negative level, not an action.
    TLevelValues run{LevelValue{-3.0f, psInControl}, LevelValue{2.0f, psInControl}};
    a.ClassifyRun(run);
    EXPECT_EQ(run[0].State, psInControl);
}

TEST_F(Stats, CommonCVWithoutEnoughDegreesChangesNothing) {
    TAnalyte a = AnalyteWithValues({5.0});
    a.Options |= TAnalyte::OptCommonCV;
    a.RecalcAll();
    EXPECT_EQ(a.Limits[0].State, 6);
    EXPECT_EQ(D(a.Limits[0].WarnDev), 2.5);
}

// Against a straightforward two-pass computation, also where a plain sum of squares loses digits.
TEST_F(Stats, MatchesTwoPassComputationOnRandomSeries) {
    std::mt19937_64 rng(7);
    struct Series {
        double mean, sd;
    };
    const Series kinds[] = {{5.0, 0.2}, {1e6, 0.05}, {1e6, 3.0}, {-40.0, 1.5}, {0.001, 0.0001}};
    double worst = 0;
    for (int n : {2, 3, 10, 100, 1000, 10000}) {
        for (const Series& s : kinds) {
            std::normal_distribution<double> dist(s.mean, s.sd);
            TAnalyte a("R", "u", 3, 1);
            std::vector<float> values;
            for (int k = 0; k < n; ++k) {
                float v = static_cast<float>(dist(rng));
                values.push_back(v);
                TResu r;
                r.DateTime = 1000 + k;
                r.Levels[0] = {v, psInControl};
                a.AddPoint(r);
            }
            a.RecalcAll();
            long double sum = 0;
            for (float v : values) sum += v;
            long double mean = sum / n;
            long double ss = 0;
            for (float v : values) ss += (v - mean) * (v - mean);
            long double sd = std::sqrt(ss / (n - 1));
            const LevelStats& l = a.AllStats[0];
            ASSERT_EQ(l.N, n);
            ASSERT_NEAR(D(l.Mean), D(mean), std::fabs(D(mean)) * 1e-17 + 1e-300);
            if (sd == 0) continue;
            long double gotSd = l.WarnDev / TQuantile(0, n - 1);
            double rel = D(std::fabs(gotSd - sd) / sd);
            worst = std::max(worst, rel);
            ASSERT_LT(rel, 1e-15) << "n " << n << " mean " << s.mean << " sd " << s.sd;
        }
    }
    RecordProperty("worst_relative_sd_error", std::to_string(worst));
}

TEST_F(Stats, ValuesBeyondTheStartingMarksKeepMinAndMax) {
    TAnalyte one = AnalyteWithValues({2e10});
    EXPECT_EQ(one.AllStats[0].State, 6);
    EXPECT_EQ(D(one.AllStats[0].Min), D(one.AllStats[0].Max));
    EXPECT_TRUE(std::isfinite(D(one.Limits[0].WarnDev)));

    TAnalyte low = AnalyteWithValues({-3e10, -1e11});
    EXPECT_EQ(low.AllStats[0].State, 0);
    EXPECT_EQ(D(low.AllStats[0].Max), double(-3e10f));
    EXPECT_EQ(D(low.AllStats[0].Min), double(-1e11f));
    EXPECT_TRUE(std::isfinite(D(low.Limits[0].ActionDev)));
}
