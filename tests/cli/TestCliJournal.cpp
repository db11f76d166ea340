// The companion's journal and review commands, and the journal entries of its writing commands.
#include <gtest/gtest.h>

#include "CliSupport.h"
#include "TestHelpers.h"
#include "UDatabase.h"

namespace {
TRun Cli(const std::string& home, const std::vector<std::string>& args, const std::string& input = "") {
    return RunCompanion(input.empty() ? "" : "printf '%s\\n' " + Quote(input) + " | ", home, args);
}

class CompanionJournal : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string home = folder.Path();
    // The sample data of a first start, written.
    void SetUp() override {
        ASSERT_TRUE(Operations().Open(home, TOpenMode::Writer).Opened);
        Operations().Close();
    }
};

TEST_F(CompanionJournal, WritingCommandsAreJournaledAndTheJournalPrintsAndVerifies) {
    // A far value: a rule rejects it; the corrective action goes into the journal.
    ASSERT_EQ(Cli(home, {"add", "Glucose", "2030-01-01", "08:00", "50", "--operator", "ZZ", "--action",
                         "Recalibrated"})
                  .status,
              0);
    ASSERT_EQ(Cli(home, {"archive", "Calcium", "1", "--operator", "QCAB"}).status, 0);
    TRun j = Cli(home, {"journal", "--analyte", "Glucose"});
    ASSERT_EQ(j.status, 0) << j.err;
    EXPECT_EQ(j.out.rfind("{\"entries\":[{\"id\":2,\"time\":\"", 0), 0u) << j.out;
    EXPECT_NE(
        j.out.find("\"operator\":\"ZZ\",\"kind\":\"run accepted with violations\",\"analyte\":\"Glucose\","
                   "\"level\":null,\"point\":\"2030-01-01T08:00\""),
        std::string::npos)
        << j.out;
    EXPECT_NE(j.out.find("\"reason\":\"Corrective action: Recalibrated\""), std::string::npos);
    EXPECT_EQ(j.out.find("Calcium"), std::string::npos) << "filtered by analyte";
    EXPECT_NE(Cli(home, {"journal"}).out.find("\"operator\":\"QCAB\",\"kind\":\"level erased and archived\""),
              std::string::npos);
    EXPECT_EQ(Cli(home, {"journal", "--from", "2999-01-01"}).out, "{\"entries\":[]}\n");
    EXPECT_EQ(Cli(home, {"journal", "--from", "01/02/2030"}).status, 2);

    TRun ok = Cli(home, {"journal", "verify"});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out.rfind("{\"whole\":true,\"entries\":", 0), 0u) << ok.out;
    EXPECT_NE(ok.out.find(",\"firstBad\":null}"), std::string::npos) << ok.out;
    {
        TDatabase db;
        db.Open(home + "Varnholt.db", false);
        db.Exec("UPDATE journal SET reason = 'none' WHERE id = 2");
    }
    TRun bad = Cli(home, {"journal", "verify"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("Journal entry 2 does not match"), std::string::npos) << bad.err;
    EXPECT_NE(bad.out.find("{\"whole\":false,"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find(",\"firstBad\":2}"), std::string::npos) << bad.out;
}

// Points, queue and judgement: ISO date-times, values as typed, null for an empty level, outcome words.
TEST_F(CompanionJournal, TheJsonKeepsOneConvention) {
    ASSERT_EQ(Cli(home, {"add", "Glucose", "2030-01-02", "09:15", "5.4", "-", "12.3"}).status, 0);
    ASSERT_EQ(Cli(home, {"queue", "add", "Glucose", "2030-01-03", "07:05", "0.1", "-"}).status, 0);
    const std::string points = Cli(home, {"points", "Glucose"}).out;
    const size_t last = points.rfind("{\"DateTime\":");
    ASSERT_NE(last, std::string::npos) << points;
    EXPECT_EQ(
        points.substr(last).rfind("{\"DateTime\":\"2030-01-02T09:15:00\",\"DayCount\":47485.385416666664,"
                                  "\"Levels\":[{\"Value\":5.4,",
                                  0),
        0u)
        << points.substr(last);
    EXPECT_NE(points.find("{\"Value\":null,\"State\":", last), std::string::npos);
    EXPECT_NE(points.find("{\"Value\":12.3,", last), std::string::npos);
    const std::string queue = Cli(home, {"queue", "list"}).out;
    EXPECT_NE(queue.find("\"DateTime\":\"2030-01-03T07:05:00\""), std::string::npos) << queue;
    EXPECT_NE(queue.find("[{\"Value\":0.1,"), std::string::npos) << queue;
    EXPECT_NE(queue.find("{\"Value\":null,"), std::string::npos) << queue;
    // Three far values: rules fire across the levels, named by the rule.
    const std::string judged = Cli(home, {"judge", "Glucose", "2030-01-04", "08:00", "50", "50", "50"}).out;
    EXPECT_NE(judged.find("\"Across\":{\"2:2s\":\"reject\","), std::string::npos) << judged;
    for (const std::string& json : {points, queue, judged}) {
        EXPECT_EQ(json.find("00000"), std::string::npos) << json;
        EXPECT_EQ(json.find("99999"), std::string::npos) << json;
        EXPECT_EQ(json.find("\"rs"), std::string::npos) << json;
        EXPECT_EQ(json.find("\"-\""), std::string::npos) << json;
    }
}

TEST_F(CompanionJournal, ReviewSignReadsThePasswordAndListsTheSignOff) {
    // The program password serves an operator without one of their own.
    {
        ASSERT_TRUE(Operations().Open(home, TOpenMode::Writer).Opened);
        ASSERT_TRUE(Operations().SetOperators({"RV"}).Ok());
        ASSERT_TRUE(Operations().ChangeSettings([](TSettings& s) { s.Password = "LAB"; }).Ok());
        Operations().Close();
    }
    const std::vector<std::string> sign = {"review", "sign",       "Glucose",    "--from", "2025-01-01",
                                           "--to",   "2035-12-31", "--reviewer", "RV"};
    TRun wrong = Cli(home, sign, "nope");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("Wrong password for RV"), std::string::npos) << wrong.err;
    EXPECT_EQ(Cli(home, {"review", "list"}).out, "{\"reviews\":[]}\n");
    TRun signedOff = Cli(home, sign, "lab");
    ASSERT_EQ(signedOff.status, 0) << signedOff.err;
    EXPECT_EQ(signedOff.out.find(
                  "{\"signed\":{\"analyte\":\"Glucose\",\"from\":\"2025-01-01\",\"to\":\"2035-12-31\","
                  "\"runs\":"),
              0u)
        << signedOff.out;
    TRun twice = Cli(home, sign, "lab");
    EXPECT_EQ(twice.status, 2);
    EXPECT_NE(twice.err.find("already reviewed and signed by RV on "), std::string::npos) << twice.err;
    TRun list = Cli(home, {"review", "list"});
    EXPECT_NE(list.out.find("{\"id\":1,\"analyte\":\"Glucose\",\"from\":\"2025-01-01\",\"to\":\"2035-12-31\","
                            "\"reviewer\":\"RV\""),
              std::string::npos)
        << list.out;
    // A later change inside the period needs a reason, and reopens the review.
    EXPECT_EQ(Cli(home, {"archive", "Glucose", "1"}).status, 2);
    ASSERT_EQ(Cli(home, {"archive", "Glucose", "1", "--reason", "lot change"}).status, 0);
    EXPECT_NE(Cli(home, {"review", "list"}).out.find("\"reason\":\"lot change\""), std::string::npos);
}
} // namespace

// The head printed on a printout checks the journal later: entries changed and chained anew, or cut
// from the end, are found; a text that is no head is refused.
TEST_F(CompanionJournal, APrintedHeadIsCheckedAgainstTheJournal) {
    ASSERT_EQ(Cli(home, {"add", "Glucose", "2030-01-01", "08:00", "5", "--operator", "QCAB"}).status, 0);
    TRun first = Cli(home, {"journal", "verify"});
    ASSERT_EQ(first.status, 0) << first.err;
    const size_t at = first.out.find("\"head\":\"");
    ASSERT_NE(at, std::string::npos) << first.out;
    const std::string head = first.out.substr(at + 8, first.out.find('"', at + 8) - at - 8);
    ASSERT_NE(head.find(':'), std::string::npos) << head;
    ASSERT_EQ(Cli(home, {"add", "Glucose", "2030-01-02", "08:00", "5", "--operator", "QCAB"}).status, 0);
    EXPECT_EQ(Cli(home, {"journal", "verify", "--head", head}).status, 0);
    {
        // Everything from the printed head on removed, the record of the last entry made to fit.
        TDatabase db;
        db.Open(home + "Varnholt.db", false);
        const std::string id = head.substr(0, head.find(':'));
        db.Exec("DELETE FROM journal WHERE id >= " + id);
        TStatement last = db.Prepare("SELECT id, hash FROM journal ORDER BY id DESC LIMIT 1");
        ASSERT_TRUE(last.Step());
        db.SetMeta("journal_head", std::to_string(last.Int(0)) + " " + last.Text(1));
        db.Exec("DELETE FROM meta WHERE key = 'journal_verified'");
    }
    EXPECT_EQ(Cli(home, {"journal", "verify"}).status, 0) << "the chain alone cannot tell";
    TRun cut = Cli(home, {"journal", "verify", "--head", head});
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("no entry with the head " + head), std::string::npos) << cut.err;
    EXPECT_EQ(Cli(home, {"journal", "verify", "--head", "not-a-head"}).status, 2);
}
