// The companion's rule sets and run planning, run as a separate program.
#include <charconv>
#include <gtest/gtest.h>

#include "CliSupport.h"
#include "TestHelpers.h"
#include "UDataLoadSave.h"
#include "UGlobaleSettings.h"
#include "UQualityGoals.h"
#include "URunPlanning.h"

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

class CompanionRules : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string home = folder.Path();
    void SetUp() override {
        ListAnalytes.Clear();
        ListSerum.Clear();
        ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 1, 2));
        WriteDataFile(DataFileName());
    }
};

} // namespace

TEST_F(CompanionRules, RulesAreShownSetInPartsAndRefusedWithoutChange) {
    TRun r = Cli(home, {"rules", "glucose"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"Name\":\"Glucose\",\"Reject\":[],\"Warn\":[]}\n");
    r = Cli(home, {"rules", "Glucose", "--set", "R:4s 1:3s,2of3:2s", "--warn", "1:2S"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"Name\":\"Glucose\",\"Reject\":[\"1:3s\",\"2of3:2s\",\"R:4s\"],\"Warn\":[\"1:2s\"]}\n");
    // The part not given is kept; "" gives none.
    r = Cli(home, {"rules", "Glucose", "--warn", ""});
    EXPECT_EQ(r.out, "{\"Name\":\"Glucose\",\"Reject\":[\"1:3s\",\"2of3:2s\",\"R:4s\"],\"Warn\":[]}\n");
    const std::string stored = Cli(home, {"rules", "Glucose"}).out;
    EXPECT_EQ(stored, r.out);

    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case bad[] = {
        {{"rules", "Glucose", "--set", ""}, "A rule set needs at least one reject rule"},
        {{"rules", "Glucose", "--set", "1:3s, 7:x"}, "Unknown rule: 7:x"},
        {{"rules", "Glucose", "--warn", "R:4s"}, "R:4s cannot both reject and warn"},
        {{"rules", "Glucose", "--clear", "--set", "1:3s"}, "--clear takes no --set or --warn"},
        {{"rules", "Sodium", "--set", "1:3s"}, "unknown analyte: Sodium"},
    };
    for (const Case& c : bad) {
        const TRun b = Cli(home, c.args);
        EXPECT_EQ(b.status, 2) << c.message;
        EXPECT_EQ(b.err, std::string("varnholt-cli: ") + c.message + "\n");
    }
    EXPECT_EQ(Cli(home, {"rules", "Glucose"}).out, stored);
    r = Cli(home, {"rules", "Glucose", "--clear"});
    EXPECT_EQ(r.out, "{\"Name\":\"Glucose\",\"Reject\":[],\"Warn\":[]}\n");
    // A set given to an analyte with none needs its reject rules.
    EXPECT_EQ(Cli(home, {"rules", "Glucose", "--warn", "1:2s"}).status, 2);
}

TEST_F(CompanionRules, PlanGivesTheCoreFiguresPerLevelAndRefusesBadInput) {
    // Two values a day around 100 with an SD near 1, a TEa of 5 %: Sigma near 8.
    TAnalyte& a = ListAnalytes[0];
    const double values[] = {99, 101, 100, 98.8, 101.2, 100, 99.5, 100.5, 100, 99, 101, 100};
    for (int k = 0; k < 12; ++k) a.AddPoint(MakeRun(46000 + k, {values[k], values[(k + 5) % 12] + 100}));
    a.RecalcAll();
    WriteDataFile(DataFileName());
    EXPECT_EQ(Cli(home, {"plan", "Glucose"}).err,
              "varnholt-cli: Glucose: no level has a Sigma (a TEa and two values or more are needed)\n");
    ASSERT_EQ(Cli(home, {"goal", "Glucose", "--tea", "5"}).status, 0);

    // The figures are those of the core for the Sigma of each level; 1:3s alone is a closed form.
    TRun r = Cli(home, {"plan", "Glucose", "--rules", "1:3s", "--n", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<TLevelFigures> f = AnalyteFigures(a, ParseGoalLine("Glucose;5"), {0, a.Count() - 1});
    ASSERT_EQ(f.size(), 2u);
    for (const TLevelFigures& l : f) {
        ASSERT_TRUE(l.Sigma.Ok());
        const TRulePlan p = PlanRuns(MakeQcRuleSet("", "1:3s", ""), 2, l.Sigma.Value);
        const std::string want = "{\"Level\":" + std::to_string(l.Level + 1) +
                                 ",\"Sigma\":" + Single(l.Sigma.Value) + ",\"Pfr\":" + Single(p.Pfr.P) +
                                 ",\"PfrSE\":0,\"Ped\":" + Single(p.Ped.P) +
                                 ",\"PedSE\":0,\"MaxENuf\":" + Single(p.MaxENuf) +
                                 ",\"MaxRunSize\":" + std::to_string(p.MaxRunSize) + "}";
        EXPECT_NE(r.out.find(want), std::string::npos) << want << "\n" << r.out;
    }
    EXPECT_TRUE(r.out.starts_with("{\"Name\":\"Glucose\",\"Reject\":[\"1:3s\"],\"N\":2,\"Trials\":20000,"))
        << r.out;

    // Without --rules: the analyte's own set, else the multirules; a simulated set has standard errors.
    r = Cli(home, {"plan", "Glucose", "--trials", "400"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"Reject\":[\"1:3s\",\"2:2s\",\"R:4s\",\"4:1s\",\"10:x\"],\"N\":2,\"Trials\":400"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("\"PfrSE\":0,"), std::string::npos) << r.out;
    ASSERT_EQ(Cli(home, {"rules", "Glucose", "--set", "1:2.5s"}).status, 0);
    const std::string plan = Cli(home, {"plan", "Glucose"}).out;
    EXPECT_NE(plan.find("\"Reject\":[\"1:2.5s\"],"), std::string::npos);

    // sigma gives each level the plan of the rules in force, figure for figure.
    r = Cli(home, {"sigma", "Glucose"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"RulesInForce\":{\"Reject\":[\"1:2.5s\"],\"Warn\":[],\"N\":2,\"Trials\":20000}"),
              std::string::npos)
        << r.out;
    for (size_t at = plan.find("\"Pfr\":"), k = 0; k < 2; ++k, at = plan.find("\"Pfr\":", at + 1)) {
        ASSERT_NE(at, std::string::npos) << plan;
        const std::string figures = plan.substr(at, plan.find('}', at) - at);
        EXPECT_NE(r.out.find("\"Plan\":{" + figures + "}"), std::string::npos) << figures << "\n" << r.out;
    }

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"plan", "Glucose", "--n", "0"},
                                                {"plan", "Glucose", "--n", "7"},
                                                {"plan", "Glucose", "--n", "2.5"},
                                                {"plan", "Glucose", "--rules", "1:3s, 5:x"},
                                                {"plan", "Glucose", "--trials", "10"},
                                                {"plan", "Sodium"}}) {
        const TRun b = Cli(home, bad);
        EXPECT_EQ(b.status, 2) << bad.back();
        EXPECT_TRUE(b.out.empty());
        EXPECT_FALSE(b.err.empty());
    }
}

TEST_F(CompanionRules, JudgeUsesTheAnalytesOwnSet) {
    TAnalyte& a = ListAnalytes[0];
    a.Options = TAnalyte::OptMultirules;
    const double values[] = {99, 101, 100, 98.8, 101.2, 100, 99.5, 100.5, 100, 99, 101, 100};
    for (int k = 0; k < 12; ++k) a.AddPoint(MakeRun(46000 + k, {values[k], values[(k + 5) % 12] + 100}));
    a.RecalcAll();
    WriteDataFile(DataFileName());
    // 2.7 SD above the mean of level 1: a 1:2s warning under the multirules.
    const std::string high =
        Single(a.Limits[0].Mean + 2.7L * a.Limits[0].WarnDev / TQuantile(Settings.AlertRow, a.Limits[0].DF));
    const std::vector<std::string> judge = {"judge", "Glucose", "2026-02-01", "09:00", high, "200"};
    EXPECT_NE(Cli(home, judge).out.find("\"PerLevel\":[[\"warning\","), std::string::npos);

    ASSERT_EQ(Cli(home, {"rules", "Glucose", "--set", "1:3s"}).status, 0);
    TRun r = Cli(home, judge);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "{\"States\":[1,0],\"TakesPart\":[true,true],\"n\":2,\"RuleSet\":{\"Name\":\"1:3s\","
        "\"Reject\":[\"1:3s\"],\"Warn\":[]},\"Marks\":[],\"Worst\":\"no warning\",\"Rejected\":false}\n");
    ASSERT_EQ(Cli(home, {"rules", "Glucose", "--set", "1:2.5s", "--warn", "1:2s"}).status, 0);
    r = Cli(home, judge);
    EXPECT_NE(
        r.out.find("\"Marks\":[{\"Rule\":\"1:2.5s\",\"Level\":1,\"Status\":\"reject\"},{\"Rule\":\"1:2s\","
                   "\"Level\":1,\"Status\":\"warning\"}],\"Worst\":\"reject\",\"Rejected\":true}"),
        std::string::npos)
        << r.out;
    // add stores the run and journals it as the set judges it.
    ASSERT_EQ(
        Cli(home, {"add", "Glucose", "2026-02-01", "09:00", high, "200", "--action", "Recalibrated"}).status,
        0);
    const std::string journal = Cli(home, {"journal", "--analyte", "Glucose"}).out;
    EXPECT_NE(journal.find("run accepted with violations"), std::string::npos) << journal;
    EXPECT_NE(journal.find("rules: L1 1:2.5s reject, L1 1:2s warning"), std::string::npos) << journal;
}
