// Quality goals kept by the operations layer: written at once, refused whole, imported from a goal file,
// carried through renames and deletions of analytes, and the report gathered from them.
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "USigmaReport.h"

namespace {

double D(long double v) {
    return static_cast<double>(v);
}

TQualityGoal Goal(const std::string& name, long double tea,
                  std::initializer_list<std::optional<long double>> t = {}) {
    TQualityGoal g;
    g.Analyte = name;
    g.TEa = tea;
    size_t k = 0;
    for (const auto& v : t) g.Target[k++] = v;
    return g;
}

// The goal as "TEa|unit|t1|t2|t3", "-" for what is not set: one text to compare.
std::string Text(const TQualityGoal& g) {
    auto num = [](const std::optional<long double>& v) {
        return v ? std::to_string(D(*v)) : std::string("-");
    };
    std::string s = num(g.TEa) + "|" + (g.TEaKind == teaUnit ? g.TEaUnit : "%");
    for (const auto& t : g.Target) s += "|" + num(t);
    return s;
}

class GoalsStore : public ::testing::Test {
protected:
    TOpenFolder folder;
    void SetUp() override {
        ListAnalytes.Clear();
        ListSerum.Clear();
        ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2));
        ListAnalytes.Add(std::make_unique<TAnalyte>("Calcium", "mmol/L", 2, 3));
        ListAnalytes.Add(std::make_unique<TAnalyte>("Albumin", "g/L", 1, 1));
        WriteAllData();
    }
    static std::string Stored(const std::string& name) { return Text(Operations().Goal(name)); }
    // Applies the list as the analytes window would: every analyte listed, in order, with changes.
    static TOutcome Edit(const std::vector<TAnalyteEdit::TLine>& lines,
                         std::vector<std::string> deleted = {}) {
        TAnalyteEdit e;
        e.Lines = lines;
        for (const std::string& n : deleted) e.Deleted.push_back(ListAnalytes.FindByName(n)->Uid);
        return Operations().ApplyAnalyteEdit(e);
    }
    static TAnalyteEdit::TLine Line(const std::string& name, const std::string& as,
                                    const std::string& unit = "", int levels = 0) {
        const TAnalyte* a = ListAnalytes.FindByName(name);
        return {a->Uid, as, unit.empty() ? a->Unit : unit, a->Decimals, levels ? levels : a->NbLevels};
    }
};

} // namespace

TEST_F(GoalsStore, SetIsWrittenAtOnceAndReadWithoutRegardToCase) {
    EXPECT_EQ(Stored("Glucose"), "-|%|-|-|-");
    ASSERT_TRUE(Operations().SetGoal(Goal("GLUCOSE", 10, {5.0L, 15.5L})).Ok());
    TQualityGoal unit = Goal("albumin", 2.5L);
    unit.TEaKind = teaUnit;
    unit.TEaUnit = "g/L";
    ASSERT_TRUE(Operations().SetGoal(unit).Ok());
    folder.Reopen();
    EXPECT_EQ(Stored("glucose"), Text(Goal("", 10, {5.0L, 15.5L})));
    EXPECT_EQ(Operations().Goal("glucose").Analyte, "Glucose"); // the analyte's own spelling
    EXPECT_EQ(Stored("Albumin"), "2.500000|g/L|-|-|-");
    EXPECT_EQ(Operations().Goals().size(), 2u);
    // A goal without TEa and targets takes the goal away.
    TQualityGoal none;
    none.Analyte = "Albumin";
    ASSERT_TRUE(Operations().SetGoal(none).Ok());
    EXPECT_EQ(Operations().Goals().size(), 1u);

    // A reading companion sees them; without the database asked for, it sees none.
    folder.Reopen(TOpenMode::Reader);
    EXPECT_EQ(Stored("Glucose"), "-|%|-|-|-");
    Operations().Close();
    TOpenOptions read;
    read.ReadDatabase = true;
    ASSERT_TRUE(Operations().Open(folder.Path(), TOpenMode::Reader, read).Opened);
    EXPECT_EQ(Stored("Glucose"), Text(Goal("", 10, {5.0L, 15.5L})));
    EXPECT_EQ(Operations().SetGoal(Goal("Glucose", 5)).Status, TStatus::Refused);
}

TEST_F(GoalsStore, BadGoalsAreRefusedWholeAndChangeNothing) {
    ASSERT_TRUE(Operations().SetGoal(Goal("Glucose", 10, {5.0L})).Ok());
    const std::string before = Stored("Glucose");
    TQualityGoal wrongUnit = Goal("Glucose", 0.3L);
    wrongUnit.TEaKind = teaUnit;
    wrongUnit.TEaUnit = "mg/dL";
    struct Case {
        TQualityGoal goal;
        const char* message;
    };
    const Case cases[] = {
        {Goal("Glucose", 0), "TEa must be above zero"},
        {Goal("Glucose", -3), "TEa must be above zero"},
        {Goal("Glucose", 10, {0.0L}), "target of level 1 is zero"},
        {Goal("Albumin", 10, {1.0L, 2.0L}), "no target for level 2"},
        {wrongUnit, "the analyte's unit is mmol/L"},
        {Goal("Sodium", 3), "Unknown analyte: Sodium"},
    };
    for (const Case& c : cases) {
        // Refused together with a good goal: that one is not kept either.
        const TOutcome out = Operations().SetGoals({Goal("Calcium", 4), c.goal});
        EXPECT_EQ(out.Status, TStatus::Refused) << c.message;
        EXPECT_NE(out.Message.find(c.message), std::string::npos) << out.Message;
    }
    EXPECT_EQ(Operations().SetGoals({Goal("Calcium", 4), Goal("calcium", 5)}).Status, TStatus::Refused);
    EXPECT_EQ(Stored("Glucose"), before);
    EXPECT_EQ(Stored("Calcium"), "-|%|-|-|-");
}

TEST_F(GoalsStore, ImportSetsWholeGoalsSkipsUnknownAnalytesAndRefusesABadFile) {
    ASSERT_TRUE(Operations().SetGoal(Goal("Glucose", 7, {1.0L, 2.0L})).Ok());
    ASSERT_TRUE(Operations().SetGoal(Goal("Albumin", 9)).Ok());
    int count = -1;
    TOutcome out = Operations().ImportGoals("\xEF\xBB\xBF"
                                            "analyte;TEa;target1;target2;target3\r\n"
                                            "glucose;10;5,0\r\n"
                                            "Calcium;0.1 mmol/L;2.2;;3.1\r\n"
                                            "Sodium;4;140\r\n",
                                            &count);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_EQ(count, 2);
    ASSERT_EQ(out.Notes.size(), 1u);
    EXPECT_NE(out.Notes[0].find("Sodium"), std::string::npos);
    // The line replaces the whole goal: level 2's former target is gone.
    EXPECT_EQ(Stored("Glucose"), Text(Goal("", 10, {5.0L})));
    EXPECT_EQ(Stored("Calcium"), "0.100000|mmol/L|2.200000|-|3.100000");
    EXPECT_EQ(Stored("Albumin"), Text(Goal("", 9))); // not in the file: kept

    // Names in UTF-8 or in Windows-1252 find the same analyte.
    ListAnalytes.Add(std::make_unique<TAnalyte>("\xB5-Alb", "mg/L", 1, 1));
    ASSERT_TRUE(Operations().ImportGoals("\xC2\xB5-Alb;3\n").Ok());
    EXPECT_EQ(Stored("\xB5-Alb"), Text(Goal("", 3)));
    ASSERT_TRUE(Operations().ImportGoals("\xB5-Alb;4\n").Ok());
    EXPECT_EQ(Stored("\xB5-Alb"), Text(Goal("", 4)));

    const std::string before = Stored("Glucose") + Stored("Calcium");
    for (const char* bad : {"Glucose;12\nCalcium;-1\n", "Glucose;12\nAlbumin;5;1;2\n",
                            "Glucose;12\nglucose;13\n", "Sodium;3\n", ""}) {
        out = Operations().ImportGoals(bad, &count);
        EXPECT_EQ(out.Status, TStatus::Refused) << bad;
        EXPECT_EQ(count, 0);
    }
    // The refusal names the line and says that nothing was imported, also for a goal that does not fit
    // its analyte.
    const std::string negative = Operations().ImportGoals("Glucose;12\nCalcium;-1\n").Message;
    EXPECT_TRUE(negative.starts_with("Line 2: TEa must be above zero") &&
                negative.ends_with(": nothing was imported"))
        << negative;
    EXPECT_EQ(Operations().ImportGoals("Glucose;12\n\nAlbumin;5;1;2\n").Message,
              "Line 3: Albumin has 1 level(s): no target for level 2: nothing was imported");
    EXPECT_EQ(Stored("Glucose") + Stored("Calcium"), before);
}

TEST_F(GoalsStore, GoalsFollowRenamesAndGoWithDeletedAnalytes) {
    TQualityGoal unit = Goal("Calcium", 0.1L, {2.2L, 2.6L, 3.1L});
    unit.TEaKind = teaUnit;
    unit.TEaUnit = "mmol/L";
    ASSERT_TRUE(Operations().SetGoals({Goal("Glucose", 10, {5.0L}), unit, Goal("Albumin", 8)}).Ok());

    // Glucose and Albumin swap names; Calcium is relabelled mg/dL and loses level 3.
    ASSERT_TRUE(
        Edit({Line("Glucose", "Albumin"), Line("Calcium", "Calcium", "mg/dL", 2), Line("Albumin", "Glucose")})
            .Ok());
    EXPECT_EQ(Stored("Albumin"), Text(Goal("", 10, {5.0L})));
    EXPECT_EQ(Stored("Glucose"), Text(Goal("", 8)));
    EXPECT_EQ(Stored("Calcium"), "0.100000|mg/dL|2.200000|2.600000|-");

    // A deleted analyte's goal goes; a new analyte of that name does not inherit it.
    ASSERT_TRUE(Edit({Line("Albumin", "Albumin"), Line("Calcium", "Calcium"), {0, "Glucose", "g/L", 1, 1}},
                     {"Glucose"})
                    .Ok());
    EXPECT_EQ(Stored("Glucose"), "-|%|-|-|-");
    EXPECT_EQ(Operations().Goals().size(), 2u);
    folder.Reopen();
    EXPECT_EQ(Stored("Albumin"), Text(Goal("", 10, {5.0L})));
}

// The manual's worked example through the layer: the goal stored, the report gathered from it.
TEST_F(GoalsStore, ReportOfTheWorkedExample) {
    TAnalyte& a = *ListAnalytes.FindByName("Glucose");
    const double l1[] = {4.949, 4.949, 5.05, 5.151, 5.151};
    const double l2[] = {15.147, 15.147, 15.3, 15.453, 15.453};
    for (int k = 0; k < 5; ++k) a.AddPoint(MakeRun(45000 + k, {l1[k], l2[k]}));
    a.Options &= ~TAnalyte::OptCommonCV; // each level its own SD, as in the manual
    a.RecalcAll();
    ASSERT_TRUE(Operations().ImportGoals("Glucose;10;5.0;15.0\n").Ok());
    TSimulation sim;
    sim.Trials = 2000;
    const TSigmaReport r =
        SigmaReport(a, Operations().Goal("Glucose"), std::nullopt, {0, a.Count() - 1}, sim);
    ASSERT_EQ(r.Levels.size(), 2u);
    EXPECT_EQ(r.RuleLevels, 2);
    const double sigma[] = {4.5, 8.0};
    const char* rules[] = {"1:3s/2:2s/R:4s/4:1s", "1:3s"};
    for (size_t i = 0; i < 2; ++i) {
        const TLevelSigma& l = r.Levels[i];
        EXPECT_NEAR(D(l.Figures.Sigma.Value), sigma[i], 1e-4);
        ASSERT_TRUE(l.Advised);
        std::string joined;
        for (const std::string& s : l.Advice.Rules) joined += (joined.empty() ? "" : "/") + s;
        EXPECT_EQ(joined, rules[i]);
        EXPECT_NEAR(D(l.Detection.DeltaSEcrit.Value), sigma[i] - 1.65, 1e-4);
        EXPECT_TRUE(l.Detection.Ped.Ok());
    }
    // A period with one point: no SD, no Sigma, no advice, the reason kept.
    const TSigmaReport one = SigmaReport(a, Operations().Goal("Glucose"), TPeriod{2, 2}, {0, 4}, sim);
    EXPECT_FALSE(one.Levels[0].Advised);
    EXPECT_EQ(one.Levels[0].Figures.Sigma.Gap, gapFewPoints);
    EXPECT_EQ(one.Levels[0].Detection.Ped.Gap, gapFewPoints);
}
