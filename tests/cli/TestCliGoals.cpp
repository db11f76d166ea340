// The companion's quality goals, Sigma figures and monthly summary, run as a separate program.
#include <charconv>
#include <cmath>
#include <gtest/gtest.h>

#include "CliSupport.h"
#include "TestHelpers.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UQcSummary.h"
#include "URunPlanning.h"
#include "USigmaReport.h"

namespace {

TRun Cli(const std::string& home, const std::vector<std::string>& args) {
    return RunCompanion("", home, args);
}

// A figure as the companion writes it: the shortest text of the same single.
std::string Single(long double v) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, static_cast<float>(v));
    return std::string(buf, res.ptr);
}

std::string Fig(const TFigure& f) {
    return f.Ok() ? Single(f.Value) : "null";
}

// The manual's worked example: glucose with two levels of five values, in March 2026, a third level
// without values, and a run in April.
void WriteWorkedExample() {
    ListAnalytes.Clear();
    ListSerum.Clear();
    auto a = std::make_unique<TAnalyte>("Glucose", "mmol/L", 3, 3);
    const double l1[] = {4.949, 4.949, 5.05, 5.151, 5.151};
    const double l2[] = {15.147, 15.147, 15.3, 15.453, 15.453};
    const TDateTime march = EncodeDate(2026, 3, 2);
    for (int k = 0; k < 5; ++k) a->AddPoint(MakeRun(march + k, {l1[k], l2[k], NAN}));
    a->AddPoint(MakeRun(EncodeDate(2026, 4, 1), {5.0, 15.0, NAN}));
    a->LimitMode = {lmLocked, lmLocked, lmMobile};
    a->LockFirst = {0, 0, -1};
    a->LockLast = {4, 4, -1};
    a->Options &= ~TAnalyte::OptCommonCV; // each level its own SD, as in the manual
    a->RecalcAll();
    ListAnalytes.Add(std::move(a));
    WriteDataFile(DataFileName());
}

class CompanionGoals : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string home = folder.Path();
};

} // namespace

TEST_F(CompanionGoals, GoalIsShownSetImportedAndRefusedWithoutChange) {
    WriteWorkedExample();
    TRun r = Cli(home, {"goal", "glucose"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"Name\":\"Glucose\",\"TEa\":null,\"TEaUnit\":\"%\",\"Targets\":[null,null,null],"
                     "\"BiasFrom\":\"target\"}\n");
    r = Cli(home, {"goal", "Glucose", "--tea", "10%", "--target", "1", "5.0", "--target", "3", "20"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"Name\":\"Glucose\",\"TEa\":10,\"TEaUnit\":\"%\",\"Targets\":[5,null,20],"
                     "\"BiasFrom\":\"target\"}\n");
    // Other targets are kept; '-' takes one away; a TEa in the unit.
    r = Cli(home, {"goal", "Glucose", "--tea", "0.25 mmol/L", "--target", "2", "15", "--target", "3", "-"});
    EXPECT_EQ(r.out, "{\"Name\":\"Glucose\",\"TEa\":0.25,\"TEaUnit\":\"mmol/"
                     "L\",\"Targets\":[5,15,null],\"BiasFrom\":\"target\"}\n");

    const std::string stored = Cli(home, {"goal", "Glucose"}).out;
    const std::vector<std::vector<std::string>> bad = {
        {"goal", "Glucose", "--tea", "0"},
        {"goal", "Glucose", "--tea", "-5"},
        {"goal", "Glucose", "--tea", "ten"},
        {"goal", "Glucose", "--tea", "3 mg/dL"},
        {"goal", "Glucose", "--target", "1", "0"},
        {"goal", "Glucose", "--target", "4", "1"},
        {"goal", "Glucose", "--target", "1", "abc"},
        {"goal", "Glucose", "--clear", "--tea", "5"},
        {"goal", "Sodium", "--tea", "5"},
        {"goal", "--import", home + "missing.csv"},
    };
    for (const auto& args : bad) {
        TRun b = Cli(home, args);
        EXPECT_EQ(b.status, 2) << args.back();
        EXPECT_FALSE(b.err.empty());
    }
    EXPECT_EQ(Cli(home, {"goal", "Glucose"}).out, stored);
    // A TEa beyond range is said to be so, not taken for one of zero.
    const TRun huge = Cli(home, {"goal", "Glucose", "--tea", "1e400"});
    EXPECT_EQ(huge.status, 2);
    EXPECT_NE(huge.err.find("TEa '1e400' is out of range"), std::string::npos) << huge.err;

    AtomicWriteFile(home + "goals.csv",
                    "analyte;TEa;target1;target2;target3\nGlucose;10;5.0;15.0\nSodium;4;140\n");
    r = Cli(home, {"goal", "--import", home + "goals.csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"imported\":1}\n");
    EXPECT_NE(r.err.find("Sodium"), std::string::npos);
    EXPECT_EQ(Cli(home, {"goal", "Glucose"}).out, "{\"Name\":\"Glucose\",\"TEa\":10,\"TEaUnit\":\"%\","
                                                  "\"Targets\":[5,15,null],\"BiasFrom\":\"target\"}\n");
    AtomicWriteFile(home + "bad.csv", "Glucose;12\nGlucose;0\n");
    EXPECT_EQ(Cli(home, {"goal", "--import", home + "bad.csv"}).status, 2);
    EXPECT_NE(Cli(home, {"goal", "Glucose"}).out.find("\"TEa\":10,"), std::string::npos);
    r = Cli(home, {"goal", "Glucose", "--clear"});
    EXPECT_EQ(r.out, "{\"Name\":\"Glucose\",\"TEa\":null,\"TEaUnit\":\"%\",\"Targets\":[null,null,null],"
                     "\"BiasFrom\":\"target\"}\n");
}

TEST_F(CompanionGoals, SigmaPrintsTheFiguresOfTheCore) {
    WriteWorkedExample();
    ASSERT_EQ(
        Cli(home, {"goal", "Glucose", "--tea", "10", "--target", "1", "5", "--target", "2", "15"}).status, 0);
    TRun r = Cli(home, {"sigma", "Glucose"});
    ASSERT_EQ(r.status, 0) << r.err;

    // The same report in this process, over the locked intervals.
    ReadDataFile(DataFileName());
    const TAnalyte& a = ListAnalytes[0];
    TQualityGoal goal = ParseGoalLine("Glucose;10;5;15");
    const TSigmaReport rep = SigmaReport(a, goal, std::nullopt, {0, a.Count() - 1});
    // With the plan of the rules in force: the multirules with three values per run.
    std::vector<std::optional<long double>> sigmas;
    for (const TLevelSigma& l : rep.Levels)
        sigmas.push_back(l.Figures.Sigma.Ok() ? std::optional(l.Figures.Sigma.Value) : std::nullopt);
    const auto plans = PlanLevels(MultiruleQcRuleSet(a.MultirulesOn()), 3, sigmas);
    std::string want =
        "{\"Name\":\"Glucose\",\"BiasFrom\":\"target\",\"RulesInForce\":{\"Reject\":[\"1:3s\",\"2:2s\","
        "\"R:4s\",\"4:1s\",\"10:x\"],\"Warn\":[\"1:2s\"],\"N\":3,\"Trials\":20000},\"levels\":[";
    for (const TLevelSigma& l : rep.Levels) {
        const auto& p = plans[static_cast<size_t>(l.Figures.Level)];
        auto plan = [&] {
            if (!p)
                return std::string("\"Pfr\":null,\"PfrSE\":null,\"Ped\":null,\"PedSE\":null,\"MaxENuf\":null,"
                                   "\"MaxRunSize\":null");
            return "\"Pfr\":" + Single(p->Pfr.P) + ",\"PfrSE\":" + Single(p->Pfr.StdError) +
                   ",\"Ped\":" + Single(p->Ped.P) + ",\"PedSE\":" + Single(p->Ped.StdError) +
                   ",\"MaxENuf\":" + Single(p->MaxENuf) + ",\"MaxRunSize\":" + std::to_string(p->MaxRunSize);
        };
        const TLevelFigures& f = l.Figures;
        want += std::string(l.Figures.Level ? "," : "") + "{\"N\":" + std::to_string(f.N) +
                ",\"Mean\":" + Fig(f.Mean) + ",\"SD\":" + Fig(f.SD) + ",\"CV\":" + Fig(f.CV) +
                ",\"Target\":" + Fig(f.Target) + ",\"BiasPct\":" + Fig(f.BiasPct) +
                ",\"TEaPct\":" + Fig(f.TEaPct) + ",\"Sigma\":" + Fig(f.Sigma) +
                ",\"BiasKnown\":" + (f.BiasKnown ? "true" : "false") + ",\"Rules\":[";
        for (size_t k = 0; l.Advised && k < l.Advice.Rules.size(); ++k)
            want += (k ? ",\"" : "\"") + l.Advice.Rules[k] + "\"";
        want += "],\"N_per_run\":" + (l.Advised ? std::to_string(l.Advice.Plans[0].N) : "null") +
                ",\"Runs\":" + (l.Advised ? std::to_string(l.Advice.Plans[0].R) : "null") +
                ",\"Ped\":" + Fig(l.Detection.Ped) + ",\"Pfr\":" + Fig(l.Detection.Pfr) + ",\"Plan\":{" +
                plan() + "}}";
    }
    EXPECT_EQ(r.out, want + "]}\n");
    // The worked example's figures, and level 3 without values: null with the reason.
    EXPECT_NE(r.out.find("\"Sigma\":4.49"), std::string::npos) << r.out; // 4.5 to within the single floats
    EXPECT_NE(r.out.find("\"N\":0,\"Mean\":null,\"SD\":null,\"CV\":null,\"Target\":null,\"BiasPct\":null,"
                         "\"TEaPct\":10,\"Sigma\":null,\"BiasKnown\":false,\"Rules\":[],\"N_per_run\":null"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("level 3: Sigma not available: fewer than two values"), std::string::npos) << r.err;

    // A period of dates: the April run alone has too few values.
    r = Cli(home, {"sigma", "Glucose", "--from", "2026-04-01", "--to", "2026-04-30"});
    EXPECT_NE(r.out.find("{\"N\":1,"), std::string::npos) << r.out;
    EXPECT_EQ(Cli(home, {"sigma", "Glucose", "--from", "2026-05-01", "--to", "2026-04-01"}).status, 2);
}

TEST_F(CompanionGoals, SummaryByMonthAndCumulative) {
    WriteWorkedExample();
    ASSERT_EQ(Cli(home, {"goal", "Glucose", "--tea", "10", "--target", "1", "5"}).status, 0);
    TRun r = Cli(home, {"summary", "Glucose", "--from", "2026-02", "--to", "2026-04"});
    ASSERT_EQ(r.status, 0) << r.err;
    ReadDataFile(DataFileName());
    const TSummary s =
        MonthlySummary(ListAnalytes[0], ParseGoalLine("Glucose;10;5"), TMonth{2026, 2}, TMonth{2026, 4});
    auto levels = [](const std::vector<TMonthLevel>& v) {
        std::string t = "\"levels\":[";
        for (size_t i = 0; i < v.size(); ++i) {
            const TLevelFigures& f = v[i].Figures;
            t += std::string(i ? "," : "") + "{\"N\":" + std::to_string(f.N) + ",\"Mean\":" + Fig(f.Mean) +
                 ",\"SD\":" + Fig(f.SD) + ",\"CV\":" + Fig(f.CV) + ",\"BiasPct\":" + Fig(f.BiasPct) +
                 ",\"Sigma\":" + Fig(f.Sigma) + ",\"Warnings\":" + std::to_string(v[i].Warnings) +
                 ",\"Rejects\":" + std::to_string(v[i].Rejects) + "}";
        }
        return t + "]";
    };
    std::string want = "{\"months\":[";
    const char* names[] = {"2026-02", "2026-03", "2026-04"};
    for (size_t m = 0; m < 3; ++m)
        want +=
            std::string(m ? "," : "") + "{\"Month\":\"" + names[m] + "\"," + levels(s.Months[m].Levels) + "}";
    want += "],\"cumulative\":{" + levels(s.Cumulative) + "}}\n";
    EXPECT_EQ(r.out, want);
    EXPECT_NE(r.out.find("{\"Month\":\"2026-02\",\"levels\":[{\"N\":0,\"Mean\":null,"), std::string::npos);
    EXPECT_EQ(s.Cumulative[0].Figures.N, 6);

    for (auto args : {std::vector<std::string>{"summary", "Glucose", "--from", "2026-4", "--to", "2026-05"},
                      std::vector<std::string>{"summary", "Glucose", "--from", "2026-05", "--to", "2026-04"},
                      std::vector<std::string>{"summary", "Glucose", "--from", "2026-05"}})
        EXPECT_EQ(Cli(home, args).status, 2) << args[3];
}
