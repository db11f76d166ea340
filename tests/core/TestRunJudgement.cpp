// A run judged by its analyte's own rule set wherever a run is judged (the rejected flag, the journal,
// the inbox), and by the multirules as before for an analyte without one.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include <cmath>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UGlobaleSettings.h"
#include "UInboxJudge.h"
#include "URunJudgement.h"

namespace {

// Glucose on two levels with locked limits, multirules on; runs are typed in SD units of those limits.
class RunJudgement : public ::testing::Test {
protected:
    TOpenFolder folder;
    std::array<double, 2> mean{}, sd{};
    void SetUp() override {
        ListAnalytes.Clear();
        ListSerum.Clear();
        auto a = std::make_unique<TAnalyte>("Glucose", "mmol/L", 1, 2);
        a->Options = TAnalyte::OptMultirules;
        const double base[] = {99, 101, 100, 98.5, 101.5, 100, 99.5, 100.5, 100, 99, 101, 100};
        for (int k = 0; k < 12; ++k) a->AddPoint(MakeRun(46000 + k, {base[k], base[(k + 4) % 12] * 2}));
        a->LimitMode = {lmLocked, lmLocked, lmMobile};
        a->LockFirst = {0, 0, -1};
        a->LockLast = {11, 11, -1};
        a->RecalcAll();
        for (size_t i = 0; i < 2; ++i) {
            mean[i] = static_cast<double>(a->Limits[i].Mean);
            sd[i] = static_cast<double>(a->Limits[i].WarnDev / TQuantile(Settings.AlertRow, a->Limits[i].DF));
        }
        ListAnalytes.Add(std::move(a));
        WriteAllData();
    }
    static TAnalyte& A() { return *ListAnalytes.FindByName("Glucose"); }
    TResu At(int day, double z1, double z2) {
        TResu r = MakeRun(46100 + day, {mean[0] + z1 * sd[0], mean[1] + z2 * sd[1]});
        r.AnalyteName = "Glucose";
        for (size_t i = 0; i < 2; ++i)
            if (std::isnan(i ? z2 : z1)) r.Levels[i] = {};
        A().ClassifyRun(r.Levels);
        return r;
    }
    void SetRules(const char* reject, const char* warn) {
        ASSERT_TRUE(Operations().SetRuleSet("Glucose", MakeQcRuleSet("", reject, warn)).Ok());
    }
    // The run judged as the program judges it: by the analyte's own set when it has one.
    static TRunVerdict Judge(const TResu& run, bool on) {
        return JudgeAnalyteRun(A(), Operations().RuleSet("Glucose"), run, PreviousIndex(A(), run.DateTime),
                               {}, on);
    }
    static std::string Marks(const TRunVerdict& v) {
        std::string s;
        for (const TRunMark& m : v.Marks)
            s += (s.empty() ? "" : " ") + m.Rule + "@" + (m.Level < 0 ? "X" : std::to_string(m.Level + 1)) +
                 (m.Status == rsReject ? "/R" : "/W");
        return s;
    }
};

} // namespace

TEST_F(RunJudgement, AnOwnSetJudgesInPlaceOfTheMultirules) {
    // Level 1 at +2.5 SD yesterday and today: a 2:2s pattern, beyond the warning limits (2.2 SD with
    // these limits), well inside the action limits.
    ASSERT_TRUE(Operations().AcceptRun(A(), At(0, 2.5, 0)).Ok());
    const TResu run = At(1, 2.6, 0.2);
    ASSERT_EQ(run.Levels[0].State, psHighWarning);
    struct Case {
        const char* reject;
        const char* warn;
        bool rejected;
        RuleStatus worst;
        std::string marks;
    } cases[] = {
        {"", "", true, rsReject, "1:2s@1/W 2:2s@1/R"}, // the multirules, as before
        {"1:3s", "", false, rsClear, ""},
        {"1:3s, 2of3:2s", "", true, rsReject, "2of3:2s@1/R 2of3:2s@X/R"},
        {"1:3s", "2:2s, 1:2s", false, rsWarning, "1:2s@1/W 2:2s@1/W"},
        {"1:2.5s", "", true, rsReject, "1:2.5s@1/R"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.reject) + " | " + c.warn);
        if (*c.reject) SetRules(c.reject, c.warn);
        const TRunVerdict v = Judge(run, true);
        EXPECT_EQ(v.OwnRules, *c.reject != 0);
        EXPECT_EQ(v.Rejected(), c.rejected);
        EXPECT_EQ(v.RulesWorst, c.worst);
        EXPECT_EQ(Marks(v), c.marks);
        EXPECT_EQ(RunIsRejected(A(), run, true, Operations().RuleSet("Glucose")), c.rejected);
        // The multirule switch is not read with a set of its own.
        if (*c.reject) {
            EXPECT_EQ(Judge(run, false).Rejected(), c.rejected);
        }
    }
}

TEST_F(RunJudgement, WithoutAnOwnSetTheMultirulesJudgeAsBefore) {
    ASSERT_TRUE(Operations().AcceptRun(A(), At(0, 2.5, -2.4)).Ok());
    struct Case {
        double z1, z2;
        bool on;
        bool rejected;
        std::string marks;
    } cases[] = {
        {0.3, -0.2, true, false, ""},
        {2.6, 0.1, true, true, "1:2s@1/W 2:2s@1/R"},
        {2.6, 0.1, false, false, ""}, // switched off: the limits alone
        {0.1, 8, false, true, ""},    // beyond the action limits rejects even then
        {2.6, -2.5, true, true, "1:2s@1/W 2:2s@1/R 1:2s@2/W 2:2s@2/R R:4s@X/R"},
        {-2.3, 0.1, true, true, "1:2s@1/W R:4s@1/R"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.z1) + " " + std::to_string(c.z2) + (c.on ? " on" : " off"));
        const TResu run = At(1, c.z1, c.z2);
        const TRunVerdict v = JudgeAnalyteRun(A(), {}, run, PreviousIndex(A(), run.DateTime), {}, c.on);
        EXPECT_FALSE(v.OwnRules);
        EXPECT_EQ(v.Rejected(), c.rejected);
        EXPECT_EQ(RunIsRejected(A(), run, c.on), c.rejected);
        EXPECT_EQ(Marks(v), c.marks);
        const TMultiruleResult m = EvaluateMultirules(A(), run, PreviousIndex(A(), run.DateTime), {}, c.on);
        EXPECT_EQ(v.Multirules.Level, m.Level);
        EXPECT_EQ(v.Multirules.Across, m.Across);
    }
}

TEST_F(RunJudgement, TheJournalAndTheInboxVerdictFollowTheOwnSet) {
    SetRules("1:3s, 2of3:2s", "1:2s");
    ASSERT_TRUE(Operations().AcceptRun(A(), At(0, 2.5, 0)).Ok());
    ASSERT_TRUE(Operations().AcceptRun(A(), At(1, 2.6, 0)).Ok());
    TJournalFilter f;
    f.Kind = jk::RunWithViolations;
    const std::vector<TJournalEntry> violated = Operations().Journal(f);
    ASSERT_EQ(violated.size(), 1u);
    EXPECT_NE(violated[0].After.find("rules: L1 2of3:2s reject, L1 1:2s warning"), std::string::npos)
        << violated[0].After;

    // The inbox: warnings of the set, a reject of the set, and the action limits that always reject.
    SetRules("1:3s", "");
    struct Case {
        double z1, z2;
        std::string text;
    } cases[] = {
        {2.7, 0.1, "no warning"}, // beyond the warning limit, which the set does not read
        {3.05, 0.1, "reject (1:3s L1)"},
        {0.2, 3.5, "reject (1:3s L2)"},
    };
    for (const Case& c : cases) {
        TResu run = At(2, c.z1, c.z2);
        EXPECT_EQ(JudgeInboxRun(A(), run, Operations().RuleSet("Glucose")).Text, c.text);
    }
    SetRules("2:2s", "1:2s");
    TResu far = At(2, 0.2, 8);
    EXPECT_EQ(JudgeInboxRun(A(), far, Operations().RuleSet("Glucose")).Text,
              "reject (1:2s L2; action limit L2)");
    TResu near = At(2, 0.2, 1.1);
    EXPECT_TRUE(JudgeInboxRun(A(), near, Operations().RuleSet("Glucose")).Clear());
}

TEST_F(RunJudgement, TheInboxAutoAcceptsWhatTheOwnSetClears) {
    namespace fs = std::filesystem;
    const std::string inbox = folder.Path() + "inbox/";
    fs::create_directories(inbox);
    TInboxSettings s;
    s.Folder = inbox;
    s.AutoAccept = true;
    ASSERT_TRUE(Operations().SetInboxSettings(s).Ok());
    TInstrumentSource src = TInstrumentSource::FromText("separator=semicolon\ncolumn.test=test\n"
                                                        "column.control=control\ncolumn.value=value\n"
                                                        "column.date=date\ncolumn.time=time\n");
    src.Id = DefaultSourceId;
    ASSERT_TRUE(Operations().SetInboxSource(src).Ok());
    ASSERT_TRUE(Operations().MapInstrumentResults({"default", "GLU", "QC-N", "Glucose", 1}).Ok());
    // 2.7 SD on level 1: a 1:2s warning under the multirules, clear for a set of 1:3s alone.
    auto write = [&](const std::string& name, const std::string& day) {
        std::ofstream(inbox + name) << "test;control;value;date;time\nGLU;QC-N;" << mean[0] + 2.7 * sd[0]
                                    << ";" << day << ";08:00\n";
    };
    write("a.csv", "2026-03-05");
    TInboxReport r;
    ASSERT_TRUE(Operations().ReadInbox(&r).Ok());
    EXPECT_EQ(r.Accepted, 0);
    EXPECT_EQ(r.Queued, 1);
    SetRules("1:3s", "");
    write("b.csv", "2026-03-06");
    TInboxReport r2;
    ASSERT_TRUE(Operations().ReadInbox(&r2).Ok());
    EXPECT_EQ(r2.Accepted, 1);
    ASSERT_EQ(A().Count(), 13);
    EXPECT_EQ(A().CommentText(A().Points.back().CommentId), "Inbox default: no warning");
}
