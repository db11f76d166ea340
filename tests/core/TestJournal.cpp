// The journal of changes: entries written with each change, reasons, the hash chain and its check,
// reviews and operators' passwords, and a journal that agrees with the files after kill -9.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UReviewReport.h"

namespace {
class Journal : public ::testing::Test {
protected:
    TOpenFolder folder;
    void SetUp() override {
        folder.Reopen(TOpenMode::Writer, true);
        Operations().SetOperator("QCAB");
    }
    void TearDown() override { WriteFaults() = {}; }
    static TAnalyte& A() { return ListAnalytes[0]; }
    // A run near the level means, after every stored point.
    static TResu Ordinary(int day) {
        TAnalyte& a = A();
        TResu r = MakeRun(a.Points.back().DateTime + day, {}, "", "");
        for (int k = 0; k < a.NbLevels; ++k)
            r.Levels[k] = {static_cast<float>(a.Limits[k].Mean), psInControl};
        r.AnalyteName = a.Name;
        a.ClassifyRun(r.Levels);
        return r;
    }
    static std::vector<TJournalEntry> Of(const std::string& kind) {
        TJournalFilter f;
        f.Kind = kind;
        return Operations().Journal(f);
    }
    static void Sql(const std::string& sql) { Operations().Database().Exec(sql); }
};

TEST_F(Journal, EachChangeWritesItsEntriesWithOperatorAndChain) {
    TAnalyte& a = A();
    ASSERT_TRUE(Operations().AcceptRun(a, Ordinary(1)).Ok());
    // A value far beyond the action limits: accepted with violations, the corrective action kept.
    TResu bad = Ordinary(2);
    bad.Levels[0].Value = static_cast<float>(a.Limits[0].Mean + 20 * a.Limits[0].ActionDev);
    bad.Operator = "ZZ";
    a.ClassifyRun(bad.Levels);
    ASSERT_TRUE(RunIsRejected(a, bad, true));
    TRunNote note;
    note.CorrectiveAction = "Recalibrated";
    note.Text = "after the lamp change";
    ASSERT_TRUE(Operations().AcceptRun(a, bad, nullptr, note).Ok());
    ASSERT_TRUE(Operations().HoldRun(Ordinary(3)).Ok());
    ASSERT_TRUE(Operations().DeletePoints(a, {0}, "entered twice").Ok());
    ASSERT_TRUE(Operations().ChangeSettings([](TSettings& s) { s.Password = "SECRET"; }).Ok());
    ASSERT_TRUE(Operations().SetOperators({"QCAB", "ZZ"}).Ok());

    std::vector<TJournalEntry> all = Operations().Journal();
    ASSERT_GE(all.size(), 7u);
    EXPECT_EQ(all[0].Kind, jk::JournalStarted);
    for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i].Id, static_cast<int64_t>(i + 1));

    ASSERT_EQ(Of(jk::RunAccepted).size(), 1u);
    EXPECT_EQ(Of(jk::RunAccepted)[0].Operator, "QCAB");
    auto violated = Of(jk::RunWithViolations);
    ASSERT_EQ(violated.size(), 1u);
    EXPECT_EQ(violated[0].Operator, "ZZ") << "a run's own operator is the one recorded";
    EXPECT_EQ(violated[0].Reason, "Corrective action: Recalibrated; after the lamp change");
    EXPECT_NE(violated[0].After.find("1:3s reject"), std::string::npos) << violated[0].After;
    EXPECT_EQ(violated[0].Point, JournalDateTime(bad.DateTime));
    EXPECT_EQ(Of(jk::RunHeld).size(), 1u);
    auto deleted = Of(jk::PointDeleted);
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].Reason, "entered twice");
    EXPECT_NE(deleted[0].Before.find("L1 "), std::string::npos);
    auto password = Of(jk::PasswordChanged);
    ASSERT_EQ(password.size(), 1u);
    EXPECT_EQ(password[0].After.find("SECRET"), std::string::npos) << "no password in the journal";
    EXPECT_EQ(Of(jk::OperatorsChanged).size(), 1u);
    EXPECT_TRUE(Operations().CheckJournal().Whole);

    // The filters of the journal window and the companion.
    TJournalFilter byAnalyte;
    byAnalyte.Analyte = a.Name;
    for (const TJournalEntry& e : Operations().Journal(byAnalyte)) EXPECT_EQ(e.Analyte, a.Name);
    TJournalFilter tomorrow;
    tomorrow.From = Today() + 1;
    EXPECT_TRUE(Operations().Journal(tomorrow).empty());
}

TEST_F(Journal, ChangesThatNeedAReasonAreRefusedWithoutOneAndChangeNothing) {
    TAnalyte& a = A();
    const std::string image = ReadWholeFile(DataFileName());
    const size_t entries = Operations().Journal().size();
    TResu taken;
    EXPECT_EQ(Operations().DeletePoints(a, {0}, "  ").Status, TStatus::Refused);
    EXPECT_EQ(Operations().TakePointForEdit(a, 0, taken, "").Status, TStatus::Refused);
    std::array<bool, MaxLevels> first{true, false, false};
    std::vector<int32_t> numbers;
    ASSERT_TRUE(Operations().EraseLevels(a, first, &numbers).Ok());
    EXPECT_EQ(Operations().DeleteArchives(a, numbers, "").Status, TStatus::Refused);
    TMaterialEdit edit;
    edit.Lines.push_back({ListSerum.Items[0].Id, "NEW", "L2", true});
    EXPECT_EQ(Operations().ApplyMaterials(edit).Status, TStatus::Refused);
    EXPECT_EQ(Operations().Journal().size(), entries + 1) << "only the erase was recorded";
    EXPECT_EQ(Of(jk::LevelArchived).at(0).After, "archive " + std::to_string(numbers[0]));
    (void)image;
    // With reasons they go through, each with its entry.
    ASSERT_TRUE(Operations().DeleteArchives(a, numbers, "lot expired").Ok());
    ASSERT_TRUE(Operations().ApplyMaterials(edit, "new lot").Ok());
    EXPECT_EQ(Of(jk::ArchiveDeleted).at(0).Reason, "lot expired");
    EXPECT_FALSE(Of(jk::MaterialChanged).empty());
}

TEST_F(Journal, AFailedWriteLeavesNoEntryAndAJournalFailureRefusesTheChange) {
    TAnalyte& a = A();
    const size_t entries = Operations().Journal().size();
    WriteFaults() = {true, TWriteStep::Rename, 0, "Varnholt.qcf"};
    EXPECT_EQ(Operations().AcceptRun(a, Ordinary(1)).Status, TStatus::Refused);
    WriteFaults() = {};
    EXPECT_EQ(Operations().Journal().size(), entries);
    TStatement pending = Operations().Database().Prepare("SELECT count(*) FROM journal_pending");
    pending.Step();
    EXPECT_EQ(pending.Int(0), 0);
    // A write that fails before the journal is reached leaves no entry for the next write to carry.
    ASSERT_TRUE(Operations().AcceptRun(a, Ordinary(2)).Ok());
    const size_t perRun = Operations().Journal().size() - entries;
    WriteFaults() = {true, TWriteStep::Write, 100, "Varnholt.qcf"};
    EXPECT_EQ(Operations().AcceptRun(a, Ordinary(3)).Status, TStatus::Refused);
    WriteFaults() = {};
    ASSERT_TRUE(Operations().AcceptRun(a, Ordinary(4)).Ok());
    EXPECT_EQ(Operations().Journal().size(), entries + 2 * perRun);
    // A journal that cannot be written: the change is refused rather than made unrecorded.
    const std::string image = ReadWholeFile(DataFileName());
    Sql("CREATE TRIGGER no_entries BEFORE INSERT ON journal_pending BEGIN SELECT RAISE(ABORT, 'full'); END");
    TOutcome out = Operations().AcceptRun(a, Ordinary(1));
    EXPECT_EQ(out.Status, TStatus::Refused);
    EXPECT_NE(out.Message.find("journal"), std::string::npos) << out.Message;
    EXPECT_TRUE(ReadWholeFile(DataFileName()) == image);
}

TEST_F(Journal, TheCheckNamesTheFirstEntryChangedRemovedOrInserted) {
    for (int d = 1; d <= 5; ++d) ASSERT_TRUE(Operations().AcceptRun(A(), Ordinary(d)).Ok());
    ASSERT_TRUE(Operations().CheckJournal().Whole);
    struct Case {
        const char* what;
        const char* sql;
        int64_t firstBad;
    };
    const Case cases[] = {
        {"edited", "UPDATE journal SET after = 'L1 1.00 in control' WHERE id = 3", 3},
        {"removed", "DELETE FROM journal WHERE id = 4", 4},
        {"inserted",
         "INSERT INTO journal SELECT 7, time_utc, time_local, operator, kind, analyte, level, point,"
         " before, after, reason, hash FROM journal WHERE id = 6",
         7},
        {"last removed", "DELETE FROM journal WHERE id = 6", 6},
    };
    for (const Case& c : cases) {
        Sql("BEGIN");
        Sql(c.sql);
        TJournalCheck check = Operations().CheckJournal();
        Sql("ROLLBACK");
        EXPECT_FALSE(check.Whole) << c.what;
        EXPECT_EQ(check.FirstBad, c.firstBad) << c.what << ": " << check.Message;
        EXPECT_NE(check.Message.find("entry " + std::to_string(c.firstBad)), std::string::npos)
            << check.Message;
    }
    EXPECT_TRUE(Operations().CheckJournal().Whole);
    auto named = [](const TOpenReport& report, int64_t id) {
        bool found = false;
        for (const std::string& n : report.Notes)
            found |= n.find("Journal entry " + std::to_string(id) + " ") != std::string::npos;
        return found;
    };
    // The program's start checks only the entries added since the chain was found whole: an entry
    // changed after that is reported and kept, and the data stays usable.
    ASSERT_TRUE(Operations().AcceptRun(A(), Ordinary(8)).Ok());
    const int64_t added = Operations().Journal().back().Id;
    const std::string op = Operations().Journal().back().Operator;
    Sql("UPDATE journal SET operator = 'XX' WHERE id = " + std::to_string(added));
    TOpenReport report = folder.Reopen(TOpenMode::Program);
    ASSERT_TRUE(report.Opened);
    EXPECT_TRUE(named(report, added));
    EXPECT_TRUE(Operations().AcceptRun(A(), Ordinary(9)).Ok());
    Sql("UPDATE journal SET operator = '" + op + "' WHERE id = " + std::to_string(added));
    ASSERT_TRUE(Operations().CheckJournal().Whole) << Operations().CheckJournal().Message;
    // An entry changed before the verified one is left to the whole check (a review, journal verify),
    // and so is the verified entry's record itself; a changed verified entry is checked whole at once.
    Sql("UPDATE journal SET operator = 'XX' WHERE id = 2");
    report = folder.Reopen(TOpenMode::Program);
    EXPECT_FALSE(named(report, 2));
    EXPECT_EQ(Operations().CheckJournal().FirstBad, 2);
    const int64_t last = Operations().Journal().back().Id;
    EXPECT_EQ(VerifyJournalAdded(Operations().Database()).Entries, last);
    Sql("UPDATE journal SET operator = 'XX' WHERE id = " + std::to_string(last));
    report = folder.Reopen(TOpenMode::Program);
    EXPECT_TRUE(named(report, 2)) << "the verified entry no longer matches its record";
}

TEST_F(Journal, ADamagedDatabaseIsKeptAsideAndTheNewJournalSaysSo) {
    Operations().Close();
    AtomicWriteFile(folder.File("Varnholt.db"),
                    std::string("SQLite format 3\0", 16) + std::string(4096, 'x'));
    ::unlink(folder.File("Varnholt.db-wal").c_str());
    TOpenReport report = folder.Reopen(TOpenMode::Program);
    ASSERT_TRUE(report.Opened);
    std::vector<TJournalEntry> all = Operations().Journal();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].Kind, jk::JournalStarted);
    EXPECT_NE(all[0].After.find("damaged database was kept as"), std::string::npos) << all[0].After;
}

TEST_F(Journal, ARestoreKeepsTheJournalAndRecordsItself) {
    const std::string media = folder.File("media/");
    std::filesystem::create_directory(media);
    ASSERT_TRUE(Operations().Backup(media).Ok());
    ASSERT_TRUE(Operations().AcceptRun(A(), Ordinary(1)).Ok());
    const size_t before = Operations().Journal().size();
    ASSERT_TRUE(Operations().Restore(media).Ok());
    std::vector<TJournalEntry> all = Operations().Journal();
    ASSERT_EQ(all.size(), before + 1);
    EXPECT_EQ(all.back().Kind, jk::Restore);
    EXPECT_EQ(Of(jk::Backup).size(), 1u);
    EXPECT_TRUE(Operations().CheckJournal().Whole) << Operations().CheckJournal().Message;
}

TEST_F(Journal, ASignedReviewNeedsThePasswordAndALaterChangeInsideItAReason) {
    TAnalyte& a = A();
    ASSERT_TRUE(Operations().SetOperators({"RV", "QCAB"}).Ok());
    ASSERT_TRUE(Operations().SetOperatorPassword("rv", "correct horse").Ok());
    EXPECT_TRUE(Operations().OperatorHasPassword("RV"));
    const TDateTime first = DatePart(a.Points.front().DateTime), last = DatePart(a.Points.back().DateTime);
    EXPECT_EQ(Operations().SignReview(a, first, last, "RV", "wrong").Status, TStatus::Refused);
    EXPECT_EQ(Operations().SignReview(a, first, last, "NOPE", "").Status, TStatus::Refused);
    EXPECT_EQ(Operations().SignReview(a, last, first, "RV", "correct horse").Status, TStatus::Refused);
    EXPECT_TRUE(Operations().Reviews().empty());
    ASSERT_TRUE(Operations().SignReview(a, first, last, "RV", "correct horse").Ok());
    ASSERT_EQ(Operations().Reviews(a.Name).size(), 1u);
    EXPECT_EQ(Of(jk::ReviewSigned).at(0).Operator, "RV");

    // Operators without their own password use the program's.
    ASSERT_TRUE(Operations().ChangeSettings([](TSettings& s) { s.Password = "PROG"; }).Ok());
    EXPECT_TRUE(Operations().OperatorPasswordMatches("QCAB", "prog"));
    EXPECT_FALSE(Operations().OperatorPasswordMatches("RV", "prog"));
    // The same period again names who signed it first; a period without runs has nothing to sign.
    TOutcome again = Operations().SignReview(a, first + 1, last, "QCAB", "prog");
    EXPECT_EQ(again.Status, TStatus::Refused);
    EXPECT_NE(again.Message.find("already reviewed and signed by RV on "), std::string::npos)
        << again.Message;
    TOutcome empty = Operations().SignReview(a, last + 1, last + 30, "QCAB", "prog");
    EXPECT_NE(empty.Message.find("has no runs from"), std::string::npos) << empty.Message;
    EXPECT_EQ(Operations().Reviews(a.Name).size(), 1u);

    // Inside the signed period: refused without a reason; with one, the review is reopened.
    const int count = a.Count();
    EXPECT_EQ(Operations().DeletePoints(a, {1}, "").Status, TStatus::Refused);
    const TLevelValues means = a.Points[0].Levels;
    EXPECT_EQ(Operations().AddRandomRuns(a, 2, means, means, first + 0.5, false).Status, TStatus::Refused);
    TResu inside = a.PointAsEntry(1);
    inside.DateTime += 0.01;
    a.ClassifyRun(inside.Levels);
    TOutcome refused = Operations().AcceptRun(a, inside);
    EXPECT_EQ(refused.Status, TStatus::Refused);
    EXPECT_NE(refused.Message.find("reviewed and signed by RV"), std::string::npos) << refused.Message;
    EXPECT_EQ(a.Count(), count);
    TRunNote late;
    late.Reason = "late result from the night shift";
    ASSERT_TRUE(Operations().AcceptRun(a, inside, nullptr, late).Ok());
    std::vector<TReview> reviews = Operations().Reviews(a.Name);
    ASSERT_EQ(reviews.size(), 1u);
    EXPECT_TRUE(reviews[0].Reopened());
    EXPECT_EQ(reviews[0].ReopenedReason, "late result from the night shift");
    EXPECT_EQ(Of(jk::ReviewReopened).size(), 1u);
    // A reopened review asks no more; after the last day nothing is asked either.
    EXPECT_TRUE(Operations().AcceptRun(a, Ordinary(5)).Ok());
    EXPECT_TRUE(Operations().CheckJournal().Whole);
}

// Without a password anywhere, or by a code not in the operator list, a signature proves nothing.
TEST_F(Journal, ASignatureNeedsAListedOperatorAndSomePassword) {
    TAnalyte& a = A();
    const TDateTime first = DatePart(a.Points.front().DateTime), last = DatePart(a.Points.back().DateTime);
    struct {
        std::vector<std::string> operators;
        const char *program, *reviewer, *typed, *refusal;
    } const cases[] = {
        {{}, "", "ZZZZ", "anything", "Unknown operator: ZZZZ"},
        {{"SUP"}, "", "SUP", "", "SUP has no password and the program has none"},
        {{"SUP"}, "LAB", "zzzz", "lab", "Unknown operator: ZZZZ"},
        {{"SUP"}, "LAB", "sup", "bad", "Wrong password for SUP"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Operations().SetOperators(c.operators).Ok());
        ASSERT_TRUE(Operations().ChangeSettings([&c](TSettings& s) { s.Password = c.program; }).Ok());
        TOutcome out = Operations().SignReview(a, first, last, c.reviewer, c.typed);
        EXPECT_EQ(out.Status, TStatus::Refused) << c.refusal;
        EXPECT_EQ(out.Message.find(c.refusal), 0u) << out.Message;
    }
    EXPECT_TRUE(Operations().Reviews().empty());
    EXPECT_TRUE(Operations().SignReview(a, first, last, "sup", "lab").Ok());
}

TEST_F(Journal, TheReviewReportListsRunsOutcomesActionsAndChangesOfThePeriod) {
    TAnalyte& a = A();
    TResu bad = Ordinary(1);
    bad.Levels[0].Value = static_cast<float>(a.Limits[0].Mean + 20 * a.Limits[0].ActionDev);
    a.ClassifyRun(bad.Levels);
    TRunNote note;
    note.CorrectiveAction = "New control vial";
    ASSERT_TRUE(Operations().AcceptRun(a, bad, nullptr, note).Ok());
    ASSERT_TRUE(Operations().DeletePoints(a, {a.Count() - 2}, "wrong tube").Ok());
    const TDateTime day = DatePart(bad.DateTime);
    TJournalFilter f;
    f.Analyte = a.Name;
    const TReviewSummary s = ReviewReport(a, day - 1, day, Operations().Journal(f), Operations().Reviews());
    EXPECT_EQ(s.Runs, 1);
    EXPECT_GE(s.Rejects, 1);
    auto after = [&s](const std::string& heading) {
        auto it = std::find(s.Lines.begin(), s.Lines.end(), heading);
        return it == s.Lines.end() || it + 1 == s.Lines.end() ? std::string() : *(it + 1);
    };
    EXPECT_NE(after("Runs and rule outcomes:").find("REJECT 1:2s,1:3s"), std::string::npos)
        << after("Runs and rule outcomes:");
    EXPECT_NE(after("Corrective actions:").find("Corrective action: New control vial   (QCAB)"),
              std::string::npos)
        << after("Corrective actions:");
    EXPECT_NE(after("Changes in the journal:").find("point deleted of "), std::string::npos);
    EXPECT_NE(after("Changes in the journal:").find("(reason: wrong tube)"), std::string::npos);
    EXPECT_EQ(after("Sign-offs:"), "  none");
    // Every count in its own number: "1 run", "1 reject", "0 discarded values".
    const auto head = std::find_if(s.Lines.begin(), s.Lines.end(), [](const std::string& l) {
        return l.find(": 1 run, ") != std::string::npos;
    });
    ASSERT_NE(head, s.Lines.end());
    const std::string rejects = std::to_string(s.Rejects) + (s.Rejects == 1 ? " reject, " : " rejects, ");
    EXPECT_NE(head->find(rejects), std::string::npos) << *head;
    EXPECT_TRUE(head->ends_with(", 0 discarded values")) << *head;
}

TEST_F(Journal, CorrectiveActionsAreKeptAndEditable) {
    std::vector<std::string> actions = Operations().CorrectiveActions();
    ASSERT_EQ(actions.size(), 6u);
    EXPECT_EQ(actions.front(), "Repeated the control and it was in range");
    EXPECT_EQ(Operations().SetCorrectiveActions({" ", ""}).Status, TStatus::Refused);
    ASSERT_TRUE(
        Operations().SetCorrectiveActions({"Recalibrated", "Called the service", "Recalibrated"}).Ok());
    EXPECT_EQ(Operations().CorrectiveActions(),
              (std::vector<std::string>{"Recalibrated", "Called the service"}));
    EXPECT_EQ(Of(jk::CorrectiveActions).size(), 1u);
}

TEST(JournalCsv, QuotesWhatNeedsQuotingAndKeepsUtf8) {
    TJournalEntry e;
    e.Id = 1;
    e.Kind = "point deleted";
    e.Analyte = "Glucose \xc3\xa9";
    e.Reason = "said \"twice\", then\nagain";
    std::string csv = JournalCsv({e});
    EXPECT_NE(csv.find(",Glucose \xc3\xa9,"), std::string::npos);
    EXPECT_NE(csv.find("\"said \"\"twice\"\", then\nagain\""), std::string::npos) << csv;
}

// A process making changes in a loop is killed at random moments; after each kill the next open
// settles the journal with the files: every stored run has its entry and every entry its change.
TEST(JournalCrash, KillNineAtRandomMomentsLeavesFilesAndJournalInAgreement) {
    TTempFolder folder;
    const std::string path = folder.Path();
    int initialPoints = 0, initialHeld = 0;
    {
        ASSERT_TRUE(Operations().Open(path, TOpenMode::Writer).Opened);
        initialPoints = ListAnalytes[0].Count();
        initialHeld = static_cast<int>(Fifo.Count());
        Operations().Close();
    }
    std::mt19937 random(12345);
    int total = 0;
    for (int round = 0; round < 12; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Operations().Open(path, TOpenMode::Writer);
            Operations().SetOperator("KILL");
            TAnalyte& a = ListAnalytes[0];
            for (int i = 0;; ++i) {
                TResu r = a.PointAsEntry(a.Count() - 1);
                r.DateTime += 1;
                r.AnalyteName = a.Name;
                if (i % 7 == 6)
                    Operations().ChangeSettings([i](TSettings& s) { s.BackupInterval = 1 + i % 90; });
                else if (i % 4 == 3)
                    Operations().HoldRun(r);
                else if (i % 5 == 4)
                    Operations().DeletePoints(a, {0}, "crash test");
                else
                    Operations().AcceptRun(a, r);
            }
        }
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(20, 150)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        TOpenReport report = Operations().Open(path, TOpenMode::Writer);
        ASSERT_TRUE(report.Opened) << report.Message;
        TStatement pending = Operations().Database().Prepare("SELECT count(*) FROM journal_pending");
        pending.Step();
        EXPECT_EQ(pending.Int(0), 0);
        TJournalCheck check = Operations().CheckJournal();
        EXPECT_TRUE(check.Whole) << check.Message;
        auto count = [](const char* kind) {
            TJournalFilter f;
            f.Kind = kind;
            return static_cast<int>(Operations().Journal(f).size());
        };
        const int points = ListAnalytes[0].Count();
        const int accepted = count(jk::RunAccepted) + count(jk::RunWithViolations);
        EXPECT_EQ(points, initialPoints + accepted - count(jk::PointDeleted)) << "round " << round;
        EXPECT_EQ(static_cast<int>(Fifo.Count()), initialHeld + count(jk::RunHeld)) << "round " << round;
        // The settings file holds what the last settings entry says it became.
        TJournalFilter settings;
        settings.Kind = jk::SettingsChanged;
        std::vector<TJournalEntry> changes = Operations().Journal(settings);
        if (!changes.empty()) {
            EXPECT_EQ(changes.back().After,
                      "backup interval (days): " + std::to_string(Settings.BackupInterval))
                << "round " << round;
        }
        total += accepted;
        Operations().Close();
    }
    EXPECT_GT(total, 0) << "the child made changes before it was killed";
}
} // namespace
