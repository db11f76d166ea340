// The journal's head kept outside the database: the printed anchor, its check against a journal
// rewritten and chained anew or cut short, and a new journal over existing data said at the start.
#include <filesystem>
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "UDatabase.h"
#include "UJournal.h"

namespace {
class JournalAnchor : public ::testing::Test {
protected:
    TOpenFolder folder;
    TOperations& ops = Operations();
    void SetUp() override {
        folder.Reopen(TOpenMode::Program, true);
        ops.SetOperator("QCAB");
    }
    static TResu Run(int day) {
        TAnalyte& a = ListAnalytes[0];
        TResu r = MakeRun(a.Points.back().DateTime + day, {}, "", "");
        for (int k = 0; k < a.NbLevels; ++k)
            r.Levels[k] = {static_cast<float>(a.Limits[k].Mean), psInControl};
        r.AnalyteName = a.Name;
        a.ClassifyRun(r.Levels);
        return r;
    }
    // What someone with write access to the database can do: the chain made whole again over a change.
    void Rechain() {
        TDatabase& db = ops.Database();
        std::string previous = FirstPreviousHash;
        int64_t last = 0;
        for (TJournalEntry e : ops.Journal()) {
            e.Hash = JournalHash(previous, e);
            TStatement st = db.Prepare("UPDATE journal SET hash = ? WHERE id = ?");
            st.Bind(1, e.Hash).Bind(2, e.Id);
            st.Step();
            previous = e.Hash;
            last = e.Id;
        }
        db.SetMeta("journal_head", std::to_string(last) + " " + previous);
        db.Exec("DELETE FROM meta WHERE key = 'journal_verified'");
    }
};
} // namespace

TEST_F(JournalAnchor, APrintedHeadShowsARewrittenOrShortenedJournal) {
    for (int d = 1; d <= 4; ++d) ASSERT_TRUE(ops.AcceptRun(ListAnalytes[0], Run(d)).Ok());
    const std::string anchor = ops.JournalAnchor();
    const size_t colon = anchor.find(':');
    ASSERT_NE(colon, std::string::npos) << anchor;
    EXPECT_EQ(anchor.substr(0, colon), std::to_string(ops.Journal().back().Id));
    EXPECT_EQ(anchor.substr(colon + 1), ops.Journal().back().Hash.substr(0, 16));
    EXPECT_TRUE(ops.CheckJournalAnchor(anchor).Whole);
    EXPECT_TRUE(ops.CheckJournalAnchor(anchor.substr(colon + 1, 8)).Whole) << "the hash alone, 8 digits";
    // Later entries leave an earlier anchor valid.
    ASSERT_TRUE(ops.AcceptRun(ListAnalytes[0], Run(5)).Ok());
    EXPECT_TRUE(ops.CheckJournalAnchor(anchor).Whole);

    const int64_t anchored = std::stoll(anchor.substr(0, colon));
    struct Case {
        const char* what;
        std::string sql;
    };
    const Case cases[] = {
        {"an entry before the head edited", "UPDATE journal SET operator = 'ZZ' WHERE id = 2"},
        {"entries from the head on removed", "DELETE FROM journal WHERE id >= " + std::to_string(anchored)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ops.Database().Exec("SAVEPOINT tamper");
        ops.Database().Exec(c.sql);
        Rechain();
        EXPECT_TRUE(ops.CheckJournal().Whole) << "the chain alone cannot tell";
        const TJournalCheck check = ops.CheckJournalAnchor(anchor);
        EXPECT_FALSE(check.Whole);
        EXPECT_NE(check.Message.find(anchor), std::string::npos) << check.Message;
        ops.Database().Exec("ROLLBACK TO tamper");
        ops.Database().Exec("RELEASE tamper");
    }
    EXPECT_TRUE(ops.CheckJournalAnchor(anchor).Whole);
    for (const char* bad : {"", "12:", "abc", "1:xyz12345", "x:0123456789abcdef"})
        EXPECT_THROW(ops.CheckJournalAnchor(bad), EQcError) << bad;
}

TEST_F(JournalAnchor, ANewJournalOverExistingDataIsSaid) {
    const auto notes = [](const TOpenReport& r) {
        std::string all;
        for (const std::string& n : r.Notes) all += n + "\n";
        return all;
    };
    ops.Close();
    for (const char* side : {"", "-wal", "-shm"})
        std::filesystem::remove(folder.File(std::string(TDatabase::FileName) + side));
    TOpenReport report = folder.Reopen(TOpenMode::Program);
    ASSERT_TRUE(report.Opened);
    EXPECT_NE(notes(report).find("a new journal starts here, without the entries before it"),
              std::string::npos)
        << notes(report);
    const std::vector<TJournalEntry> all = ops.Journal();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all[0].Kind, jk::JournalStarted);
    EXPECT_NE(all[0].After.find("the earlier journal is missing"), std::string::npos) << all[0].After;
    // Said once, when it happens; an empty folder starts its journal without alarm.
    EXPECT_EQ(notes(folder.Reopen(TOpenMode::Program)).find("new journal"), std::string::npos);
}
