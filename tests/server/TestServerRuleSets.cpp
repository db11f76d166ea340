// An analyte's own rule set moves with its folder to a server and back, and judges the runs there.
#include <gtest/gtest.h>

#include "ServerHelpers.h"
#include "TestHelpers.h"
#include "TestSeams.h"
#include "UGlobaleSettings.h"
#include "UMigrate.h"
#include "UOperations.h"

namespace {

class ServerRuleSets_ : public ::testing::Test {
protected:
    TServerDatabase db;
    TTempFolder lab;
    TOperations& ops = Operations();
    void TearDown() override { ops.Close(); }
    TAnalyte& Glucose() { return *ListAnalytes.FindByName("Glucose"); }
    // Level 1 `sd` SD above its mean, classified as a bench enters it.
    TResu Entered(TDateTime at, long double sd) {
        const LevelStats& l = Glucose().Limits[0];
        const double v = static_cast<double>(l.Mean + sd * l.WarnDev / TQuantile(Settings.AlertRow, l.DF));
        TResu r = MakeRun(at, {v});
        Glucose().ClassifyRun(r.Levels);
        return r;
    }
    std::string RunJournal() {
        TPgResult r =
            db.Admin().Exec("SELECT after FROM journal WHERE kind LIKE 'run%' ORDER BY id DESC LIMIT 1");
        return r.Rows() ? r.Text(0, 0) : "";
    }
};

} // namespace

TEST_F(ServerRuleSets_, AMigratedFolderKeepsItsRuleSetsWhichJudgeOnTheServer) {
    SKIP_WITHOUT_SERVER(db);
    TOpenOptions o;
    o.SampleOnFirstRun = false;
    ASSERT_TRUE(ops.Open(lab.Path(), TOpenMode::Writer, o).Opened);
    std::vector<double> values;
    for (int k = 0; k < 20; ++k) values.push_back(k % 2 ? 5.1 : 4.9);
    for (const char* name : {"Glucose", "Urea"}) {
        auto a = std::make_unique<TAnalyte>(AnalyteWithValues(values));
        a->Name = name;
        a->Options = TAnalyte::OptMultirules;
        ListAnalytes.Add(std::move(a));
    }
    WriteAllData(ops);
    const TQcRuleSet own = MakeQcRuleSet("Strict", "1:2.5s, R:4s", "1:2s");
    ASSERT_TRUE(ops.SetRuleSet("Glucose", own).Ok());
    ops.Close();

    ASSERT_NO_THROW(MigrateFolderToServer(lab.Path(), db.Conninfo()));
    EXPECT_EQ(db.Admin().Exec("SELECT count(*) FROM rule_set").Int(0, 0), 1);
    TTempFolder station;
    TOpenOptions onServer;
    onServer.Server = db.Conninfo();
    ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, onServer).Opened);
    EXPECT_EQ(ops.RuleSet("Glucose"), own);
    EXPECT_TRUE(ops.RuleSet("Urea").Empty());
    // 2.7 SD: a 1:2s warning under the multirules, a 1:2.5s reject under the set of its own.
    const TOutcome out = ops.AcceptRun(Glucose(), Entered(1030, 2.7L));
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_TRUE(out.Notes.empty());
    EXPECT_NE(RunJournal().find("1:2.5s"), std::string::npos) << RunJournal();
    ops.Close();

    // And back into a new folder with the server's data.
    const std::string back = lab.Path() + "back";
    ASSERT_NO_THROW(MigrateServerToFolder(db.Conninfo(), back, std::nullopt, ""));
    ASSERT_TRUE(ops.Open(back, TOpenMode::Writer, o).Opened);
    EXPECT_EQ(ops.RuleSet("Glucose"), own);
    EXPECT_TRUE(ops.RuleSet("Urea").Empty());
}
