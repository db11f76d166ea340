// Analytes' own rule sets kept by the operations layer: written at once and journaled, refused whole,
// carried through renames and deletions of analytes.
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UDatabase.h"

namespace {

class RuleSetsStore : public ::testing::Test {
protected:
    TOpenFolder folder;
    void SetUp() override {
        ListAnalytes.Clear();
        ListSerum.Clear();
        ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2));
        ListAnalytes.Add(std::make_unique<TAnalyte>("Calcium", "mmol/L", 2, 3));
        WriteAllData();
    }
    // "reject | warn": one text to compare.
    static std::string Stored(const std::string& name) {
        const TQcRuleSet s = Operations().RuleSet(name);
        return QcRulesText(s.Reject) + " | " + QcRulesText(s.Warn);
    }
    static std::vector<TJournalEntry> Entries() {
        TJournalFilter f;
        f.Kind = jk::GoalChanged;
        return Operations().Journal(f);
    }
};

} // namespace

TEST_F(RuleSetsStore, SetIsKeptJournaledAndReadWithoutRegardToCase) {
    EXPECT_TRUE(Operations().RuleSet("Glucose").Empty());
    ASSERT_TRUE(Operations().SetRuleSet("GLUCOSE", MakeQcRuleSet("", "2of3:2s, 1:3s, R:4s", "1:2s")).Ok());
    folder.Reopen();
    EXPECT_EQ(Stored("glucose"), "1:3s, 2of3:2s, R:4s | 1:2s");
    ASSERT_EQ(Operations().RuleSets().size(), 1u);
    EXPECT_EQ(Operations().RuleSets()[0].Analyte, "Glucose"); // the analyte's own spelling
    EXPECT_EQ(Stored("Calcium"), " | ");

    // The same set again writes nothing; a change and a removal are journaled with before and after.
    ASSERT_TRUE(Operations().SetRuleSet("Glucose", MakeQcRuleSet("", "1:3s, 2of3:2s, R:4s", "1:2s")).Ok());
    ASSERT_TRUE(Operations().SetRuleSet("Glucose", MakeQcRuleSet("", "1:3s", "")).Ok());
    ASSERT_TRUE(Operations().SetRuleSet("Glucose", {}).Ok());
    const std::vector<TJournalEntry> e = Entries();
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].Before, "");
    EXPECT_EQ(e[0].After, "rules 1:3s, 2of3:2s, R:4s; warn 1:2s");
    EXPECT_EQ(e[1].Before, e[0].After);
    EXPECT_EQ(e[1].After, "rules 1:3s");
    EXPECT_EQ(e[2].After, "rules removed");
    EXPECT_EQ(e[2].Analyte, "Glucose");
    EXPECT_TRUE(Operations().CheckJournal().Whole);
    EXPECT_TRUE(Operations().RuleSets().empty());

    // A reader sees them when it reads the database, and writes none.
    ASSERT_TRUE(Operations().SetRuleSet("Calcium", MakeQcRuleSet("", "1:2.5s", "")).Ok());
    Operations().Close();
    TOpenOptions read;
    read.ReadDatabase = true;
    ASSERT_TRUE(Operations().Open(folder.Path(), TOpenMode::Reader, read).Opened);
    EXPECT_EQ(Stored("Calcium"), "1:2.5s | ");
    EXPECT_EQ(Operations().SetRuleSet("Calcium", {}).Status, TStatus::Refused);
    EXPECT_EQ(Stored("Calcium"), "1:2.5s | ");
}

TEST_F(RuleSetsStore, BadSetsAreRefusedAndChangeNothing) {
    ASSERT_TRUE(Operations().SetRuleSet("Glucose", MakeQcRuleSet("", "1:3s", "1:2s")).Ok());
    TQcRuleSet warnOnly;
    warnOnly.Warn = {qr12s};
    TQcRuleSet both;
    both.Reject = {qr13s, qr22s};
    both.Warn = {qr22s};
    TQcRuleSet unknown;
    unknown.Reject = {static_cast<QcRule>(QcRuleCount)};
    struct Case {
        const char* analyte;
        TQcRuleSet set;
        const char* message;
    };
    const Case cases[] = {
        {"Glucose", warnOnly, "A rule set needs at least one reject rule"},
        {"Glucose", both, "2:2s cannot both reject and warn"},
        {"Glucose", unknown, "Unknown rule: 14"},
        {"Sodium", MakeQcRuleSet("", "1:3s", ""), "Unknown analyte: Sodium"},
    };
    for (const Case& c : cases) {
        const TOutcome out = Operations().SetRuleSet(c.analyte, c.set);
        EXPECT_EQ(out.Status, TStatus::Refused) << c.message;
        EXPECT_EQ(out.Message, c.message);
    }
    EXPECT_EQ(Stored("Glucose"), "1:3s | 1:2s");
    EXPECT_EQ(Entries().size(), 1u);

    // A row naming a rule this program does not know (a newer program's) is not applied in part.
    TDatabase db;
    db.Open(folder.Path() + TDatabase::FileName);
    db.Exec("UPDATE rule_set SET reject = '1:3s, 5:x'");
    db.Close();
    folder.Reopen();
    EXPECT_TRUE(Operations().RuleSet("Glucose").Empty());
}

TEST_F(RuleSetsStore, SetsFollowRenamesAndGoWithDeletedAnalytes) {
    ASSERT_TRUE(Operations().SetRuleSet("Glucose", MakeQcRuleSet("", "1:3s", "")).Ok());
    ASSERT_TRUE(Operations().SetRuleSet("Calcium", MakeQcRuleSet("", "1:2.5s", "")).Ok());
    auto line = [](const std::string& name, const std::string& as) {
        const TAnalyte* a = ListAnalytes.FindByName(name);
        return TAnalyteEdit::TLine{a->Uid, as, a->Unit, a->Decimals, a->NbLevels};
    };
    // The two swap names: each set follows its analyte.
    TAnalyteEdit swap;
    swap.Lines = {line("Glucose", "Calcium"), line("Calcium", "Glucose")};
    ASSERT_TRUE(Operations().ApplyAnalyteEdit(swap).Ok());
    EXPECT_EQ(Stored("Calcium"), "1:3s | ");
    EXPECT_EQ(Stored("Glucose"), "1:2.5s | ");

    // A deleted analyte's set goes; a new analyte of that name does not inherit it.
    TAnalyteEdit del;
    del.Lines = {line("Calcium", "Calcium"), {0, "Glucose", "g/L", 1, 1}};
    del.Deleted = {ListAnalytes.FindByName("Glucose")->Uid};
    ASSERT_TRUE(Operations().ApplyAnalyteEdit(del).Ok());
    folder.Reopen();
    EXPECT_EQ(Stored("Glucose"), " | ");
    EXPECT_EQ(Stored("Calcium"), "1:3s | ");
}
