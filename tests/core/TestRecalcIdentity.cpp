// The statistics as computed on reading and recomputation, checked bit for bit against a plain
// reference copy of the computation, on random analytes and data files of many shapes.
#include <cmath>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

#include "TestHelpers.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"

namespace {

// ---------------------------------------------------------------- reference

// The straightforward computation: one walk per level and per interval, fields of the target
// updated as it goes. Every optimised path must give exactly these bits.
void RefComputeStats(const TAnalyte& a, int level, int first, int last, LevelStats& s) {
    s.N = 0;
    s.NDiscarded = 0;
    s.Min = 1e10L;
    s.Max = -1e10L;
    long double shift = 0, S = 0, Q = 0;
    if (first < 0) first = 0;
    if (last > a.Count() - 1) last = a.Count() - 1;
    for (int k = first; k <= last; ++k) {
        const LevelValue& lv = a.Points[static_cast<size_t>(k)].Levels[level];
        if (lv.State == psDiscarded) {
            ++s.NDiscarded;
            continue;
        }
        if (lv.State == psEmpty) continue;
        long double v = lv.Value;
        if (s.N == 0) shift = s.Min = s.Max = v;
        ++s.N;
        long double d = v - shift;
        S += d;
        Q += d * d;
        if (v < s.Min) s.Min = v;
        if (v > s.Max) s.Max = v;
    }
    if (s.N == 0) {
        s.Mean = 0;
        s.RangeLow = -1;
        s.RangeHigh = 1;
        s.WarnDev = 0.5L;
        s.ActionDev = 0.8L;
        s.DF = 0;
        s.State = 6;
        return;
    }
    s.Mean = shift + S / s.N;
    if (s.Max - s.Min < 1e-10L) {
        s.State = 6;
        s.DF = 0;
        if (std::fabs(s.Mean) < 1e-10L) {
            s.Mean = 0;
            s.RangeLow = -1;
            s.RangeHigh = 1;
            s.WarnDev = 0.5L;
            s.ActionDev = 0.8L;
        } else {
            long double m = std::fabs(s.Mean);
            s.RangeLow = s.Mean - m;
            s.RangeHigh = s.Mean + m;
            s.WarnDev = 0.5L * m;
            s.ActionDev = 0.8L * m;
        }
        return;
    }
    s.RangeLow = s.Min;
    s.RangeHigh = s.Max;
    s.DF = s.N - 1;
    long double ss = Q - S * S / s.N;
    if (ss < 0) ss = 0;
    long double sd = std::sqrt(ss / (s.N - 1));
    if (std::fabs(s.Mean) < 1e-10L) {
        s.State = 6;
    } else {
        s.CV = static_cast<float>(sd * 100 / std::fabs(s.Mean));
        s.State = 0;
    }
    s.WarnDev = TQuantile(Settings.AlertRow, s.DF) * sd;
    s.ActionDev = TQuantile(Settings.ActionRow, s.DF) * sd;
}

void RefWiden(LevelStats& l) {
    if (l.N < 1) return;
    l.RangeHigh = std::max(l.RangeHigh, l.Mean + l.ActionDev);
    l.RangeLow = std::min(l.RangeLow, l.Mean - l.ActionDev);
}

void RefRecalcLevel(TAnalyte& a, int level) {
    RefComputeStats(a, level, 0, a.Count() - 1, a.AllStats[level]);
    LevelStats& lim = a.Limits[level];
    if (a.LimitMode[level] == lmLocked) {
        bool inside = a.LockFirst[level] >= 0 && a.LockLast[level] < a.Count() &&
                      a.LockFirst[level] <= a.LockLast[level];
        if (inside) RefComputeStats(a, level, a.LockFirst[level], a.LockLast[level], lim);
        if (!inside || lim.State == 6) {
            a.LimitMode[level] = lmMobile;
            a.LockFirst[level] = a.LockLast[level] = -1;
        } else {
            lim.RangeLow = a.AllStats[level].RangeLow;
            lim.RangeHigh = a.AllStats[level].RangeHigh;
            RefWiden(lim);
            return;
        }
    }
    if (a.LimitMode[level] == lmFixed) {
        lim.State = 0;
        lim.RangeHigh = lim.Mean + lim.ActionDev;
        lim.RangeLow = lim.Mean - lim.ActionDev;
        const LevelStats& all = a.AllStats[level];
        if (all.N + all.NDiscarded >= 1) {
            lim.RangeHigh = std::max(lim.RangeHigh, all.Max);
            lim.RangeLow = std::min(lim.RangeLow, all.Min);
        }
        return;
    }
    lim = a.AllStats[level];
    RefWiden(lim);
}

void RefApplyCommonCV(TAnalyte& a) {
    long double dfc = 0, v = 0;
    for (int i = 0; i < a.NbLevels; ++i) {
        const LevelStats& l = a.Limits[i];
        if (a.LimitMode[i] == lmFixed || l.State != 0) continue;
        long double cv = l.CV / 100.0L;
        dfc += l.N - 1;
        v += cv * cv * (l.N - 1);
    }
    if (dfc < 1) return;
    long double cvc = std::sqrt(v / dfc);
    int df = static_cast<int>(dfc);
    for (int i = 0; i < a.NbLevels; ++i) {
        LevelStats& l = a.Limits[i];
        if (a.LimitMode[i] == lmFixed || l.N <= 0) continue;
        long double sd = cvc * std::fabs(l.Mean);
        l.State = 0;
        l.CV = static_cast<float>(cvc * 100);
        l.WarnDev = TQuantile(Settings.AlertRow, df) * sd;
        l.ActionDev = TQuantile(Settings.ActionRow, df) * sd;
        l.DF = df;
        l.RangeHigh = l.Max >= l.Mean + l.ActionDev ? l.Max : l.Mean + l.ActionDev;
        l.RangeLow = l.Min > l.Mean - l.ActionDev ? l.Mean - l.ActionDev : l.Min;
    }
}

void RefRecalcAll(TAnalyte& a) {
    for (int i = 0; i < a.NbLevels; ++i) RefRecalcLevel(a, i);
    if (a.CommonCVOn()) RefApplyCommonCV(a);
}

// ---------------------------------------------------------------- comparison

// The 80 bits of an extended value (the rest of its storage is padding).
bool SameBits(long double x, long double y) {
    return std::memcmp(&x, &y, 10) == 0;
}

std::string StatsDifference(const LevelStats& got, const LevelStats& want) {
    std::ostringstream out;
    auto ext = [&](const char* name, long double g, long double w) {
        if (!SameBits(g, w))
            out << name << " " << static_cast<double>(g) << " != " << static_cast<double>(w) << "; ";
    };
    ext("Mean", got.Mean, want.Mean);
    ext("WarnDev", got.WarnDev, want.WarnDev);
    ext("ActionDev", got.ActionDev, want.ActionDev);
    ext("Min", got.Min, want.Min);
    ext("Max", got.Max, want.Max);
    ext("RangeLow", got.RangeLow, want.RangeLow);
    ext("RangeHigh", got.RangeHigh, want.RangeHigh);
    if (got.N != want.N) out << "N " << got.N << " != " << want.N << "; ";
    if (got.NDiscarded != want.NDiscarded) out << "NDiscarded; ";
    if (got.DF != want.DF) out << "DF; ";
    if (std::memcmp(&got.CV, &want.CV, sizeof got.CV) != 0)
        out << "CV " << got.CV << " != " << want.CV << "; ";
    if (got.State != want.State) out << "State; ";
    return out.str();
}

// Every level's records, modes and intervals; empty when they all agree.
std::string AnalyteDifference(const TAnalyte& got, const TAnalyte& want) {
    std::string diff;
    for (int i = 0; i < MaxLevels; ++i) {
        std::string l = StatsDifference(got.Limits[i], want.Limits[i]);
        std::string s = StatsDifference(got.AllStats[i], want.AllStats[i]);
        if (!l.empty()) diff += "level " + std::to_string(i) + " Limits: " + l + "\n";
        if (!s.empty()) diff += "level " + std::to_string(i) + " AllStats: " + s + "\n";
        if (got.LimitMode[i] != want.LimitMode[i] || got.LockFirst[i] != want.LockFirst[i] ||
            got.LockLast[i] != want.LockLast[i])
            diff += "level " + std::to_string(i) + " mode or interval\n";
    }
    return diff;
}

// ---------------------------------------------------------------- random analytes

// Value series of the shapes that decide the arithmetic: ordinary results, large means with small
// spread, signs, mixed magnitudes (rounding in the sums), equal values, values near zero, values
// beyond the starting marks of Min and Max, and arbitrary finite bit patterns.
class TShapes {
public:
    explicit TShapes(uint64_t seed) : rng_(seed) {}

    float Value(int shape, float mean, int decimals) {
        std::normal_distribution<double> n01(0, 1);
        switch (shape) {
        case 0: { // a result rounded to the analyte's decimals
            double p = std::pow(10.0, decimals);
            return static_cast<float>(std::round((mean + mean * 0.03 * n01(rng_)) * p) / p);
        }
        case 1:
            return static_cast<float>(1e6 + 0.05 * n01(rng_));
        case 2:
            return static_cast<float>(-40 + 1.5 * n01(rng_));
        case 3: { // magnitudes from 1e-30 to 1e30, either sign
            double e = std::uniform_real_distribution<double>(-30, 30)(rng_);
            return static_cast<float>((Coin() ? -1 : 1) * std::pow(10.0, e));
        }
        case 4:
            return mean;
        case 5:
            return static_cast<float>(1e-12 * n01(rng_));
        case 6:
            return static_cast<float>((Coin() ? -1 : 1) * (1e10 + 1e9 * std::fabs(n01(rng_))));
        case 7: { // any finite single
            for (;;) {
                uint32_t bits = static_cast<uint32_t>(rng_());
                float f;
                std::memcpy(&f, &bits, 4);
                if (std::isfinite(f)) return f;
            }
        }
        case 8:
            return static_cast<float>(Int(0, 3)); // few distinct small integers, zeros
        case 10: { // zeros of both signs among a few values: Min and Max depend on the order
            const float values[] = {0.0f, -0.0f, 1.5f, -2.0f};
            return values[Int(0, 3)];
        }
        case 9:
            return static_cast<float>(mean * (1 + 1e-7 * n01(rng_))); // spread near an ulp
        default:                                                      // nothing but zeros, of either sign
            return Coin() ? 0.0f : -0.0f;
        }
    }

    TAnalyte Analyte(bool forFile) {
        // The reader's starting point: every record at its default, then the stored fields.
        TAnalyte a;
        a.Name = "A" + std::to_string(Int(0, 999));
        a.Unit = "u";
        a.Decimals = Int(0, 3);
        a.NbLevels = Int(1, 3);
        a.MaterialId = {Int(-1, 5), Int(-1, 5), Int(-1, 5)};
        a.Options = static_cast<uint8_t>(Int(0, 7));
        const int sizes[] = {0, 1, 2, 3, 31, 36, Int(4, 600), Int(4, 600), 3000};
        int count = sizes[Int(0, 8)];
        std::array<int, MaxLevels> shape{}, emptyPercent{}, discardPercent{};
        std::array<float, MaxLevels> mean{};
        for (int i = 0; i < MaxLevels; ++i) {
            shape[i] = Int(0, 11);
            const int empties[] = {0, 0, 5, 50, 97, 100};
            emptyPercent[i] = empties[Int(0, 5)];
            discardPercent[i] = Coin() ? 0 : Int(1, 30);
            mean[i] = static_cast<float>(Int(1, 500)) / 7;
        }
        for (int k = 0; k < count; ++k) {
            ControlPoint& p = a.Points.emplace_back();
            p.DateTime = 40000 + k * 0.7;
            for (int i = 0; i < MaxLevels; ++i) {
                LevelValue& lv = p.Levels[i];
                lv.Value = Value(shape[i], mean[i], a.Decimals);
                int r = Int(0, 99);
                if (r < emptyPercent[i])
                    lv.State = psEmpty;
                else if (r < emptyPercent[i] + discardPercent[i])
                    lv.State = psDiscarded;
                else
                    lv.State = static_cast<PointState>(Int(0, 4));
                // An empty level's value means nothing; in memory it may be anything.
                if (lv.State == psEmpty && !forFile && Int(0, 3) == 0) lv.Value = NAN;
                // Values that are not numbers never reach a file, but the computation must still
                // treat them alike in memory.
                if (!forFile && Int(0, 499) == 0) lv.Value = Coin() ? NAN : (Coin() ? INFINITY : -INFINITY);
                if (lv.State == psEmpty && Coin()) lv.Value = 0;
            }
            p.CommentId = Int(-1, 3);
            p.Operator.Assign(std::string("OPERATOR").substr(0, static_cast<size_t>(Int(0, 5))));
        }
        for (int i = 0; i < MaxLevels; ++i) {
            int mode = Int(0, 2);
            a.LimitMode[i] = static_cast<LimitMode>(mode);
            if (mode == lmLocked) {
                switch (Int(0, 4)) {
                case 0: // the whole series
                    a.LockFirst[i] = 0;
                    a.LockLast[i] = count - 1;
                    break;
                case 1: // outside the stored points, or reversed
                    a.LockFirst[i] = Int(-3, count + 3);
                    a.LockLast[i] = Int(-3, count + 3);
                    break;
                default: {
                    int f = Int(0, std::max(0, count - 1));
                    a.LockFirst[i] = f;
                    a.LockLast[i] = Int(f, std::max(f, count - 1));
                }
                }
            }
            LevelStats& l = a.Limits[i];
            if (mode == lmFixed || Coin()) {
                l.Mean = static_cast<long double>(mean[i]) + Int(0, 9) / 3.0L;
                l.WarnDev = Int(1, 9) / 7.0L;
                l.ActionDev = l.WarnDev * 1.5L;
            }
        }
        return a;
    }

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Coin() { return Int(0, 1) == 1; }
    std::mt19937_64& Rng() { return rng_; }

private:
    std::mt19937_64 rng_;
};

// Records holding leftovers of earlier computations: fields a computation leaves alone (CV when
// there are no usable statistics) must stay as they were, in both computations alike.
void Scribble(TAnalyte& a, TShapes& shapes) {
    for (int i = 0; i < MaxLevels; ++i)
        for (LevelStats* s : {&a.Limits[i], &a.AllStats[i]}) {
            s->CV = static_cast<float>(shapes.Int(0, 1000)) / 10;
            s->Min = shapes.Int(-5, 5);
            s->Max = shapes.Int(-5, 5);
            s->DF = shapes.Int(0, 9);
        }
}

void SetRows(TShapes& shapes) {
    Settings.AlertRow = static_cast<uint8_t>(shapes.Int(0, 1));
    Settings.ActionRow = static_cast<uint8_t>(shapes.Int(2, 4));
}

// What reading a stored analyte must give: the reader's starting point (defaults, the stored
// fields, the stored limits) recomputed by the reference.
TAnalyte ReferenceAfterReading(const TAnalyte& s) {
    TAnalyte want;
    want.NbLevels = s.NbLevels;
    want.Options = s.Options;
    want.LimitMode = s.LimitMode;
    want.LockFirst = s.LockFirst;
    want.LockLast = s.LockLast;
    want.Points = s.Points;
    for (int i = 0; i < MaxLevels; ++i) {
        want.Limits[i].Mean = s.Limits[i].Mean;
        want.Limits[i].WarnDev = s.Limits[i].WarnDev;
        want.Limits[i].ActionDev = s.Limits[i].ActionDev;
    }
    RefRecalcAll(want);
    return want;
}

// Where analyte k's image starts in the data file written from the lists in memory (one material).
size_t AnalyteOffset(int k) {
    size_t at = 4 + MaterialRecordSize + 4;
    for (int j = 0; j < k; ++j) {
        TByteWriter w;
        WriteAnalyteImage(w, ListAnalytes[j]);
        at += w.Data().size();
    }
    return at;
}

class RecalcIdentity : public ::testing::Test {
protected:
    TTempFolder folder;
};

} // namespace

TEST_F(RecalcIdentity, RecalcAllMatchesTheReferenceBitForBit) {
    TShapes shapes(20261208);
    for (int round = 0; round < 2000; ++round) {
        SetRows(shapes);
        TAnalyte a = shapes.Analyte(false);
        Scribble(a, shapes);
        TAnalyte want = a;
        RefRecalcAll(want);
        a.RecalcAll();
        ASSERT_EQ(AnalyteDifference(a, want), "") << "round " << round;
        // Recomputing a recomputed analyte, as every change of points does.
        a.RecalcAll();
        RefRecalcAll(want);
        ASSERT_EQ(AnalyteDifference(a, want), "") << "round " << round << ", again";
    }
}

TEST_F(RecalcIdentity, ComputeStatsOverAnyIntervalMatchesTheReference) {
    TShapes shapes(77);
    for (int round = 0; round < 500; ++round) {
        SetRows(shapes);
        TAnalyte a = shapes.Analyte(false);
        for (int t = 0; t < 10; ++t) {
            int level = shapes.Int(0, MaxLevels - 1);
            int first = shapes.Int(-2, a.Count() + 1), last = shapes.Int(-2, a.Count() + 1);
            LevelStats got, want;
            got.CV = want.CV = 12.5f;
            a.ComputeStats(level, first, last, got);
            RefComputeStats(a, level, first, last, want);
            ASSERT_EQ(StatsDifference(got, want), "")
                << "round " << round << " level " << level << " " << first << ".." << last;
        }
    }
}

// Random data files: the statistics after reading are the reference's on the stored fields, and
// writing what was read gives back the same bytes.
TEST_F(RecalcIdentity, ReadingGivesTheReferenceStatisticsAndTheSameBytes) {
    TShapes shapes(4242);
    const std::string path = folder.File("shapes.qcf"), again = folder.File("again.qcf");
    for (int file = 0; file < 60; ++file) {
        SetRows(shapes);
        ListSerum.Clear();
        ListAnalytes.Clear();
        ListSerum.AddMaterial("M", "1");
        std::vector<TAnalyte> stored;
        int analytes = shapes.Int(0, 12);
        for (int k = 0; k < analytes; ++k) {
            TAnalyte a = shapes.Analyte(true);
            a.RecalcAll();
            if (shapes.Coin()) a.Comments.AddText("comment " + std::to_string(k));
            stored.push_back(a);
            ListAnalytes.Add(std::make_unique<TAnalyte>(a));
        }
        WriteDataFile(path);
        ListAnalytes.Clear();
        ReadDataFile(path);
        ASSERT_EQ(ListAnalytes.Count(), analytes);
        for (int k = 0; k < analytes; ++k) {
            const TAnalyte& s = stored[static_cast<size_t>(k)];
            TAnalyte want = ReferenceAfterReading(s);
            const TAnalyte& got = ListAnalytes[k];
            ASSERT_EQ(AnalyteDifference(got, want), "") << "file " << file << " analyte " << k;
            ASSERT_EQ(got.Points.size(), s.Points.size());
            for (size_t p = 0; p < s.Points.size(); ++p) {
                const ControlPoint &g = got.Points[p], &w = s.Points[p];
                ASSERT_TRUE(g.DateTime == w.DateTime && g.CommentId == w.CommentId &&
                            g.Operator == w.Operator)
                    << "file " << file << " analyte " << k << " point " << p;
                for (int i = 0; i < MaxLevels; ++i) {
                    ASSERT_EQ(g.Levels[i].State, w.Levels[i].State);
                    ASSERT_EQ(std::memcmp(&g.Levels[i].Value, &w.Levels[i].Value, 4), 0);
                }
            }
        }
        WriteDataFile(again);
        ASSERT_EQ(ReadWholeFile(again), ReadWholeFile(path)) << "file " << file;
    }
}

// Point records are decoded in runs: a damaged record anywhere in a long series is refused, and the
// refusal names the damage as the field by field checks do.
TEST_F(RecalcIdentity, DamagedPointsDeepInALongSeriesAreNamed) {
    ListSerum.Clear();
    ListAnalytes.Clear();
    ListSerum.AddMaterial("M", "1");
    TAnalyte a("Long", "u", 2, 3);
    for (int k = 0; k < 300; ++k) a.AddPoint(MakeRun(1000 + k, {5.0 + k % 7, 10.0, NAN}));
    a.RecalcAll();
    ListAnalytes.Add(std::make_unique<TAnalyte>(a));
    const std::string path = folder.File("long.qcf");
    WriteDataFile(path);
    const std::string good = ReadWholeFile(path);
    const size_t point0 = 4 + MaterialRecordSize + 4 + 4;
    auto damaged = [&](size_t point, size_t field, const void* bytes, size_t n) {
        std::string bad = good;
        std::memcpy(bad.data() + point0 + point * PointRecordSize + field, bytes, n);
        AtomicWriteFile(path, bad);
    };
    const float inf = INFINITY;
    const double nan = NAN;
    const uint8_t seven = 7;
    struct Case {
        size_t point, field;
        const void* bytes;
        size_t n;
        const char* message;
    } cases[] = {
        {200, 12 + 8, &seven, 1, "point state out of range"},
        {255, 8, &inf, 4, "value is not a number"},
        {129, 0, &nan, 8, "point date is not a number"},
        {299, 12 + 16, &seven, 1, "point state out of range"},
    };
    for (const Case& c : cases) {
        damaged(c.point, c.field, c.bytes, c.n);
        try {
            ReadDataFile(path);
            ADD_FAILURE() << c.message << " at point " << c.point << " was read";
        } catch (const EQcError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(ListAnalytes[0].Count(), 300) << "the lists in memory stay";
    }
    // A non-number in an empty level is read as 0, wherever it stands.
    damaged(250, 8 + 16, &inf, 4);
    ReadDataFile(path);
    EXPECT_EQ(ListAnalytes[0].Points[250].Levels[2], (LevelValue{0, psEmpty}));
    EXPECT_EQ(ListAnalytes[0].Points[251].Levels[0], a.Points[251].Levels[0]);
}

// A file large enough for its analytes to be read on several cores gives what reading in order
// gives: the reference statistics for every analyte, and the first damage in the file named.
TEST_F(RecalcIdentity, LargeFilesReadOnSharedCoresAsInOrder) {
    TShapes shapes(90210);
    SetRows(shapes);
    ListSerum.Clear();
    ListAnalytes.Clear();
    ListSerum.AddMaterial("M", "1");
    std::vector<TAnalyte> stored;
    size_t points = 0;
    while (points < 40000) {
        TAnalyte a = shapes.Analyte(true);
        // Longer series than the shapes give, so that the file passes the sharing threshold.
        while (a.Count() < 400) a.Points.push_back(a.Points.empty() ? ControlPoint{} : a.Points.back());
        for (ControlPoint& p : a.Points)
            for (LevelValue& lv : p.Levels)
                if (lv.State != psEmpty && !std::isfinite(lv.Value)) lv.Value = 1;
        a.RecalcAll();
        points += a.Points.size();
        stored.push_back(a);
        ListAnalytes.Add(std::make_unique<TAnalyte>(a));
    }
    const std::string path = folder.File("large.qcf");
    WriteDataFile(path);
    ListAnalytes.Clear();
    ReadDataFile(path);
    ASSERT_EQ(ListAnalytes.Count(), static_cast<int>(stored.size()));
    for (size_t k = 0; k < stored.size(); ++k) {
        const TAnalyte& s = stored[k];
        TAnalyte want = ReferenceAfterReading(s);
        const TAnalyte& got = ListAnalytes[static_cast<int>(k)];
        ASSERT_EQ(AnalyteDifference(got, want), "") << "analyte " << k;
        ASSERT_EQ(got.Points.size(), s.Points.size()) << "analyte " << k;
    }
    const std::string again = folder.File("again.qcf");
    WriteDataFile(again);
    ASSERT_EQ(ReadWholeFile(again), ReadWholeFile(path));

    // Damage late in the file, then also early: the early one is named, and nothing changes.
    const std::string good = ReadWholeFile(path);
    auto pointAt = [&](size_t analyte, size_t point) {
        return AnalyteOffset(static_cast<int>(analyte)) + 4 + point * PointRecordSize;
    };
    const size_t last = stored.size() - 1;
    std::string bad = good;
    bad[pointAt(last, 300) + 12] = 9; // a state out of range
    AtomicWriteFile(path, bad);
    const int before = ListAnalytes.Count();
    try {
        ReadDataFile(path);
        ADD_FAILURE() << "a damaged state late in the file was read";
    } catch (const EQcError& e) {
        EXPECT_NE(std::string(e.what()).find("point state out of range"), std::string::npos) << e.what();
    }
    const double nan = NAN;
    std::memcpy(bad.data() + pointAt(1, 10), &nan, 8);
    AtomicWriteFile(path, bad);
    try {
        ReadDataFile(path);
        ADD_FAILURE() << "a damaged date early in the file was read";
    } catch (const EQcError& e) {
        EXPECT_NE(std::string(e.what()).find("point date is not a number"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ListAnalytes.Count(), before) << "the lists in memory stay";
    EXPECT_EQ(ListAnalytes[0].Name, stored[0].Name);
    EXPECT_EQ(ListAnalytes[static_cast<int>(last)].Points.size(), stored[last].Points.size());
}

// A large file is read in pieces while its analytes are finished: cut anywhere, damaged in a
// frame late in the file, or grown since, it is refused and the lists in memory stay.
TEST_F(RecalcIdentity, LargeFilesCutOrDamagedAnywhereAreRefused) {
    ListSerum.Clear();
    ListAnalytes.Clear();
    ListSerum.AddMaterial("M", "1");
    for (int k = 0; k < 60; ++k) {
        auto a = std::make_unique<TAnalyte>("A" + std::to_string(k), "u", 1, 2);
        for (int p = 0; p < 400; ++p) a->AddPoint(MakeRun(40000 + p, {5.0 + p % 9 * 0.1, 10.0 + k % 5, NAN}));
        a->Comments.AddText("comment " + std::to_string(k));
        a->RecalcAll();
        ListAnalytes.Add(std::move(a));
    }
    const std::string path = folder.File("large.qcf");
    WriteDataFile(path);
    const std::string good = ReadWholeFile(path);
    ReadDataFile(path);
    ASSERT_EQ(ListAnalytes.Count(), 60);

    auto refused = [&](const std::string& bytes, const std::string& what) {
        AtomicWriteFile(path, bytes);
        try {
            ReadDataFile(path);
            ADD_FAILURE() << what << " was read";
            return std::string();
        } catch (const EQcError& e) {
            EXPECT_EQ(ListAnalytes.Count(), 60) << what << ": the lists in memory stay";
            EXPECT_EQ(ListAnalytes[59].Count(), 400) << what;
            return std::string(e.what());
        }
    };
    // Cut in the materials, in point blocks, in frames, at piece boundaries and in the trailer.
    for (size_t cut : {size_t{20}, size_t{4096}, size_t{262143}, size_t{262144}, size_t{262150},
                       good.size() / 2, good.size() - 300, good.size() - SignatureSize - 1, good.size() - 1})
        refused(good.substr(0, cut), "a file cut at " + std::to_string(cut));
    // Bytes appended: the trailer is no longer the last signature.
    refused(good + std::string(100, 'x'), "a file with bytes appended");
    // The number of levels of the last analyte out of range, well after the first pieces.
    size_t header = AnalyteOffset(59) + 4 + 400 * PointRecordSize;
    std::string bad = good;
    const size_t levels = header + 1 + TAnalyte::NameRoom + 1 + TAnalyte::UnitRoom + 1 + 4;
    bad[levels] = 9;
    std::string message = refused(bad, "a damaged header");
    EXPECT_NE(message.find("number of levels out of range"), std::string::npos) << message;
    // A file that grows while it is read, as when another program writes to it in place: the copy
    // read is not the file, even where the bytes read so far form a whole file.
    AtomicWriteFile(path, good);
    bool grown = false;
    try {
        ReadDataFile(path, [&](std::string_view) {
            if (!grown) std::ofstream(path, std::ios::binary | std::ios::app) << std::string(1000, '\0');
            grown = true;
        });
        ADD_FAILURE() << "a file growing while read was read";
    } catch (const EQcError& e) {
        EXPECT_NE(std::string(e.what()).find("changed while it was read"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(grown);
    // And the good file still reads.
    AtomicWriteFile(path, good);
    ReadDataFile(path);
    EXPECT_EQ(ListAnalytes[59].Name, "A59");
}
