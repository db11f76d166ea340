// The inbox read through the operations layer: runs into the queue, mapping, bad input, nothing twice.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UFifoResult.h"
#include "UInbox.h"
#include "UJournal.h"
#include "UOperations.h"

namespace fs = std::filesystem;

namespace {

std::string Fixture(const std::string& name) {
    std::ifstream f(std::string(VARNHOLT_TEST_DATA) + "/instrument/" + name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

void Write(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> FilesUnder(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file()) out.push_back(fs::relative(e.path(), folder).string());
    std::sort(out.begin(), out.end());
    return out;
}

const char* const Header = "test;control;value;date;time\n";

// A laboratory with Glucose on two levels (mean 5 and 10, multirules on), the delimited reading options
// of the inbox's own files, and a mapping of both controls.
class Inbox : public ::testing::Test {
protected:
    void SetUp() override {
        auto a = std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2);
        a->Options = TAnalyte::OptMultirules;
        for (int k = 0; k < 20; ++k) a->AddPoint(MakeRun(45900 + k, {k % 2 ? 5.1 : 4.9, k % 2 ? 10.2 : 9.8}));
        a->RecalcAll();
        ListAnalytes.Add(std::move(a));
        WriteAllData();
        inbox = folder.Path() + "inbox/";
        fs::create_directories(inbox);
        TInboxSettings s;
        s.Folder = inbox;
        ASSERT_TRUE(Operations().SetInboxSettings(s).Ok());
        TInstrumentSource src = TInstrumentSource::FromText(
            "separator=semicolon\ncolumn.test=test\ncolumn.control=control\ncolumn.value=value\n"
            "column.date=date\ncolumn.time=time\n");
        src.Id = DefaultSourceId;
        ASSERT_TRUE(Operations().SetInboxSource(src).Ok());
        ASSERT_TRUE(Operations().MapInstrumentResults({"default", "GLU", "QC-N", "Glucose", 1}).Ok());
        ASSERT_TRUE(Operations().MapInstrumentResults({"default", "GLU", "QC-P", "Glucose", 2}).Ok());
    }
    TInboxReport Read(TStatus expected = TStatus::Done) {
        TInboxReport r;
        TOutcome out = Operations().ReadInbox(&r);
        std::string files;
        for (const TInboxFileOutcome& f : r.Files) files += f.Name + ": " + f.Detail + "\n";
        EXPECT_EQ(out.Status, expected) << out.Message << "\n" << files;
        return r;
    }
    const TInboxFileOutcome* Outcome(const TInboxReport& r, const std::string& name) {
        for (const TInboxFileOutcome& f : r.Files)
            if (f.Name == name) return &f;
        ADD_FAILURE() << "no outcome for " << name;
        static TInboxFileOutcome none;
        return &none;
    }
    const TAnalyte& Glucose() { return *ListAnalytes.FindByName("Glucose"); }
    std::string Processed(const std::string& name) {
        return inbox + "processed/" + DayFolderName(Today()) + "/" + name;
    }

    TOpenFolder folder;
    std::string inbox;
};

} // namespace

TEST_F(Inbox, ResultsBecomeOneJudgedRunInTheQueueAndAreTakenOnce) {
    const std::string file =
        std::string(Header) + "GLU;QC-N;5.02;2026-03-05;08:00\nGLU;QC-P;10.01;2026-03-05;08:04\n";
    Write(inbox + "a.csv", file);
    TInboxReport r = Read();
    ASSERT_EQ(Fifo.Count(), 1);
    const TResu& run = Fifo.Entries().front();
    EXPECT_EQ(run.AnalyteName, "Glucose");
    EXPECT_FLOAT_EQ(run.Levels[0].Value, 5.02f);
    EXPECT_FLOAT_EQ(run.Levels[1].Value, 10.01f);
    EXPECT_EQ(run.DateTime, EncodeDate(2026, 3, 5) + EncodeTime(8, 0, 0));
    EXPECT_EQ(run.Comment, "Inbox default: no warning");
    EXPECT_EQ(r.Queued, 1);
    EXPECT_EQ(Operations().HeldFromInbox(), 1);
    EXPECT_TRUE(FileExists(Processed("a.csv")));
    EXPECT_FALSE(FileExists(inbox + "a.csv"));
    // The queue file holds it for the next start.
    folder.Reopen();
    ASSERT_EQ(Fifo.Count(), 1);

    // The same file again, and a later file that repeats its results with one more: only the new result.
    Write(inbox + "a.csv", file);
    Write(inbox + "b.csv", file + "GLU;QC-N;5.25;2026-03-06;08:00\n");
    r = Read();
    ASSERT_EQ(r.Files.size(), 2u);
    EXPECT_EQ(r.Files[0].Kind, TInboxFileOutcome::ReadBefore);
    EXPECT_EQ(r.Files[1].Repeated, 2);
    EXPECT_EQ(r.Files[1].Results, 1);
    ASSERT_EQ(Fifo.Count(), 2);
    EXPECT_EQ(Fifo.Entries().back().Comment, "Inbox default: warning (1:2s L1)");
    EXPECT_TRUE(FileExists(Processed("a-2.csv")));
    EXPECT_TRUE(FileExists(Processed("b.csv")));
    EXPECT_EQ(FilesUnder(inbox).size(), 3u);
    EXPECT_EQ(Glucose().Count(), 20);
}

TEST_F(Inbox, LevelsInLaterFilesCompleteTheHeldRunWithinTheWindow) {
    Write(inbox + "1.csv", std::string(Header) + "GLU;QC-N;5.55;2026-03-05;08:00\n");
    Read();
    ASSERT_EQ(Fifo.Count(), 1);
    EXPECT_EQ(Fifo.Entries().front().Comment, "Inbox default: reject (1:2s L1; 1:3s L1)");
    Write(inbox + "2.csv", std::string(Header) + "GLU;QC-P;10.0;2026-03-05;08:09\n");
    TInboxReport r = Read();
    EXPECT_EQ(r.Merged, 1);
    ASSERT_EQ(Fifo.Count(), 1);
    EXPECT_EQ(Fifo.Entries().front().Levels[1].State, psInControl);
    EXPECT_FLOAT_EQ(Fifo.Entries().front().Levels[1].Value, 10.0f);
    // Beyond the window, or a level already held: a run of its own.
    Write(inbox + "3.csv", std::string(Header) + "GLU;QC-P;10.1;2026-03-05;08:11\n");
    Read();
    EXPECT_EQ(Fifo.Count(), 2);
    EXPECT_EQ(Operations().HeldFromInbox(), 2);
}

// Many held runs completed in one pass, in the middle of the queue: each in its place, and a failed
// queue write puts the queue back as it was.
TEST_F(Inbox, ManyHeldRunsCompletedInOnePassKeepTheirPlaces) {
    auto day = [](int d, const char* level, const char* value, const char* time) {
        return std::string("GLU;") + level + ";" + value + ";2026-03-" + (d < 10 ? "0" : "") +
               std::to_string(d) + ";" + time + "\n";
    };
    std::string first = Header, second = Header;
    for (int d = 1; d <= 12; ++d) {
        first += day(d, "QC-N", "5.0", "08:00");
        second += day(d, "QC-P", "10.0", "08:05");
    }
    Write(inbox + "1.csv", first);
    Read();
    ASSERT_EQ(Fifo.Count(), 12);
    const std::deque<TResu> before = Fifo.Entries();
    Write(inbox + "2.csv", second);
    WriteFaults() = {.enabled = true, .failAt = TWriteStep::Rename, .onlyTarget = ".fif"};
    Read(TStatus::Partial);
    WriteFaults() = {};
    ASSERT_EQ(Fifo.Count(), 12);
    for (size_t k = 0; k < before.size(); ++k) {
        EXPECT_EQ(QueueImage({Fifo.Entries()[k]}), QueueImage({before[k]})) << k;
    }
    TInboxReport r = Read();
    EXPECT_EQ(r.Merged, 12);
    ASSERT_EQ(Fifo.Count(), 12);
    for (int k = 0; k < 12; ++k) {
        const TResu& run = Fifo.Entries()[static_cast<size_t>(k)];
        EXPECT_EQ(run.DateTime, EncodeDate(2026, 3, k + 1) + EncodeTime(8, 0, 0)) << k;
        EXPECT_EQ(run.Levels[1].State, psInControl) << k;
    }
    EXPECT_EQ(Operations().HeldFromInbox(), 12);
}

TEST_F(Inbox, NotMappedResultsWaitUntilAMappingBringsThemIn) {
    Write(inbox + "a.csv",
          std::string(Header) + "CHOL;LOT9;4.2;2026-03-05;08:00\nGLU;QC-N;5.0;2026-03-05;08:00\n");
    TInboxReport r = Read();
    EXPECT_EQ(r.NotMapped, 1);
    ASSERT_EQ(Fifo.Count(), 1);
    std::vector<TWaitingResult> waiting = Operations().NotMappedResults();
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].Result.TestCode, "CHOL");
    EXPECT_EQ(waiting[0].Reason, "no mapping");
    EXPECT_EQ(waiting[0].File, "a.csv");

    auto chol = std::make_unique<TAnalyte>("Cholesterol", "mmol/L", 2, 1);
    ListAnalytes.Add(std::move(chol));
    // A level the analyte does not have is refused; the result keeps waiting.
    EXPECT_EQ(Operations().MapInstrumentResults({"default", "CHOL", "LOT9", "Cholesterol", 2}).Status,
              TStatus::Refused);
    EXPECT_EQ(Operations().MapInstrumentResults({"default", "CHOL", "LOT9", "Nothing", 1}).Status,
              TStatus::Refused);
    EXPECT_EQ(Operations().NotMappedResults().size(), 1u);
    ASSERT_TRUE(Operations().MapInstrumentResults({"default", "CHOL", "LOT9", "Cholesterol", 1}).Ok());
    EXPECT_TRUE(Operations().NotMappedResults().empty());
    ASSERT_EQ(Fifo.Count(), 2);
    EXPECT_EQ(Fifo.Entries().back().AnalyteName, "Cholesterol");
    EXPECT_EQ(Fifo.Entries().back().Comment, "Inbox default: no warning, not judged: no limits for L1");
    // Mapped with "the file's level" where the file gives none: it waits, with that reason.
    Write(inbox + "b.csv", std::string(Header) + "GLU;QC-X;5.0;2026-03-05;09:00\n");
    Read();
    ASSERT_TRUE(Operations().MapInstrumentResults({"default", "GLU", "QC-X", "Glucose", 0}).Ok());
    ASSERT_EQ(Operations().NotMappedResults().size(), 1u);
    EXPECT_EQ(Operations().NotMappedResults()[0].Reason, "no level given for Glucose");
    EXPECT_EQ(Fifo.Count(), 2);
}

// Moving a control to another level is asked for, journaled with both mappings, and leaves the runs
// already held as they were read.
TEST_F(Inbox, ReplacingAMappingNeedsConsentAndIsJournaled) {
    Write(inbox + "a.csv", std::string(Header) + "GLU;QC-P;10.1;2026-03-05;08:00\n");
    Read();
    ASSERT_EQ(Fifo.Count(), 1);
    const TResu held = Fifo.Entries().front();
    const TInboxMapping high{"default", "GLU", "QC-P", "Glucose", 1};
    TOutcome refused = Operations().MapInstrumentResults(high);
    EXPECT_EQ(refused.Status, TStatus::Refused);
    EXPECT_EQ(refused.Message.find("default GLU QC-P is already mapped to Glucose level 2"), 0u)
        << refused.Message;
    EXPECT_EQ(Operations().InboxMappingOf("default", "GLU", "QC-P")->Level, 2);
    // The same mapping again is no replacement.
    EXPECT_TRUE(Operations().MapInstrumentResults({"default", "GLU", "QC-P", "glucose", 2}).Notes.empty());
    const size_t entries = Operations().Journal().size();
    TOutcome moved = Operations().MapInstrumentResults(high, nullptr, true);
    ASSERT_TRUE(moved.Ok()) << moved.Message;
    ASSERT_EQ(moved.Notes.size(), 1u);
    EXPECT_EQ(
        moved.Notes[0].find("Runs already held in the queue from default GLU QC-P stay as they were read"),
        0u);
    EXPECT_EQ(Operations().InboxMappingOf("default", "GLU", "QC-P")->Level, 1);
    const std::vector<TJournalEntry> journal = Operations().Journal();
    ASSERT_EQ(journal.size(), entries + 1);
    EXPECT_EQ(journal.back().Kind, jk::MappingChanged);
    EXPECT_EQ(journal.back().Before, "default GLU QC-P -> Glucose level 2");
    EXPECT_EQ(journal.back().After, "default GLU QC-P -> Glucose level 1");
    ASSERT_EQ(Fifo.Count(), 1);
    EXPECT_EQ(Fifo.Entries().front().Levels[1].Value, held.Levels[1].Value);
}

// What the reading could not take is not left for good: a failed file is read again once its options
// are mended, or removed with a reason; results that will never map are discarded with one.
TEST_F(Inbox, FailedFilesAndResultsNotMappedCanBeClearedAway) {
    Write(inbox + "comma.csv", "test,control,value,date,time\nGLU,QC-N,5.0,2026-03-05,08:00\n");
    Write(inbox + "other.csv",
          std::string(Header) + "CHOL;LOT9;4.2;2026-03-05;08:00\nCHOL;LOT9;4.3;2026-03-06;08:00\n");
    Read();
    std::vector<TFailedInboxFile> failed = Operations().FailedInboxFiles();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].Name, "comma.csv");
    EXPECT_EQ(failed[0].Source, DefaultSourceId);
    EXPECT_FALSE(failed[0].Reason.empty());
    TInstrumentSource src = Operations().InboxSource(DefaultSourceId);
    src.Separator = ',';
    ASSERT_TRUE(Operations().SetInboxSource(src).Ok());
    ASSERT_TRUE(Operations().ReadFailedInboxFileAgain(failed[0]).Ok());
    EXPECT_TRUE(Operations().FailedInboxFiles().empty());
    EXPECT_FALSE(fs::exists(failed[0].Path + ".reason"));
    Read();
    EXPECT_EQ(Fifo.Count(), 1);

    Write(inbox + "junk.txt", "just some words\n");
    Read();
    failed = Operations().FailedInboxFiles();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(Operations().RemoveFailedInboxFile(failed[0], " ").Status, TStatus::Refused);
    EXPECT_TRUE(fs::exists(failed[0].Path));
    ASSERT_TRUE(Operations().RemoveFailedInboxFile(failed[0], "a note from the engineer").Ok());
    EXPECT_FALSE(fs::exists(failed[0].Path));
    EXPECT_FALSE(fs::exists(failed[0].Path + ".reason"));
    TJournalEntry removed = Operations().Journal().back();
    EXPECT_EQ(removed.Kind, jk::InboxDiscarded);
    EXPECT_EQ(removed.Before.rfind("default failed/junk.txt: ", 0), 0u) << removed.Before;
    EXPECT_EQ(removed.After, "removed");
    EXPECT_EQ(removed.Reason, "a note from the engineer");

    ASSERT_EQ(Operations().NotMappedCount(), 2);
    int discarded = 0;
    ASSERT_TRUE(Operations().DiscardNotMappedResults("other.csv", "not QC results", &discarded).Ok());
    EXPECT_EQ(discarded, 2);
    EXPECT_EQ(Operations().NotMappedCount(), 0);
    TJournalEntry thrown = Operations().Journal().back();
    EXPECT_EQ(thrown.Before, "other.csv: 2 results not mapped");
    EXPECT_EQ(thrown.Reason, "not QC results");
    EXPECT_EQ(Operations().DiscardNotMappedResults("other.csv", "again").Status, TStatus::Refused);
    EXPECT_TRUE(Operations().CheckJournal().Whole);
}

TEST_F(Inbox, BadFilesGoToFailedWithTheirReasonAndChangeNothing) {
    struct TCase {
        const char* name;
        std::string bytes;
        const char* reason; // in the .reason file
    };
    const TCase cases[] = {
        {"unknown.txt", "just some words\n", "Unknown format"},
        {"value.csv", std::string(Header) + "GLU;QC-P;<0.5;2026-03-05;08:01\n", "line 2: value \"<0.5\""},
        {"date.csv", std::string(Header) + "GLU;QC-N;5.0;2026-02-31;08:00\n", "line 2: date \"2026-02-31\""},
        {"begins-inside.hl7", Fixture("hl7_split_2.hl7"), "split across files"},
    };
    const std::string queueBefore = FileExists(QueueFileName()) ? ReadWholeFile(QueueFileName()) : "";
    const std::string dataBefore = ReadWholeFile(DataFileName());
    for (const TCase& c : cases) Write(inbox + c.name, c.bytes);
    // Still being written: stays.
    Write(inbox + "partial.csv", std::string(Header) + "GLU;QC-N;5.0;2026-03");
    TInboxReport r = Read();
    EXPECT_EQ(Fifo.Count(), 0);
    EXPECT_EQ(FileExists(QueueFileName()) ? ReadWholeFile(QueueFileName()) : "", queueBefore);
    EXPECT_EQ(ReadWholeFile(DataFileName()), dataBefore);
    EXPECT_TRUE(Operations().NotMappedResults().empty());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(FileExists(inbox + c.name));
        ASSERT_TRUE(FileExists(inbox + "failed/" + c.name));
        EXPECT_EQ(ReadWholeFile(inbox + "failed/" + c.name), c.bytes);
        EXPECT_NE(ReadWholeFile(inbox + "failed/" + c.name + ".reason").find(c.reason), std::string::npos)
            << ReadWholeFile(inbox + "failed/" + c.name + ".reason");
    }
    EXPECT_TRUE(FileExists(inbox + "partial.csv"));
    EXPECT_EQ(Outcome(r, "partial.csv")->Kind, TInboxFileOutcome::Waiting);
    // A file with one bad line: the others are taken, the file goes to failed/ naming the line; dropped
    // again corrected, only the corrected line is taken.
    Write(inbox + "mixed.csv",
          std::string(Header) + "GLU;QC-N;5.0;2026-03-05;08:00\nGLU;QC-P;1O.0;2026-03-05;08:01\n");
    r = Read();
    EXPECT_EQ(Outcome(r, "mixed.csv")->Kind, TInboxFileOutcome::Failed);
    EXPECT_EQ(Outcome(r, "mixed.csv")->Results, 1);
    ASSERT_EQ(Fifo.Count(), 1);
    EXPECT_EQ(Fifo.Entries().front().Levels[1].State, psEmpty);
    EXPECT_NE(ReadWholeFile(inbox + "failed/mixed.csv.reason").find("line 3: value \"1O.0\""),
              std::string::npos);
    Write(inbox + "mixed.csv",
          std::string(Header) + "GLU;QC-N;5.0;2026-03-05;08:00\nGLU;QC-P;10.0;2026-03-05;08:01\n");
    r = Read();
    EXPECT_EQ(Outcome(r, "mixed.csv")->Repeated, 1);
    ASSERT_EQ(Fifo.Count(), 1);
    EXPECT_FLOAT_EQ(Fifo.Entries().front().Levels[1].Value, 10.0f);
    EXPECT_TRUE(FileExists(Processed("mixed.csv")));
}

TEST_F(Inbox, AMessageSplitAcrossFilesIsReadWhenItsRestArrives) {
    ASSERT_TRUE(Operations().MapInstrumentResults({"default", "GLU", "LOT-778", "Glucose", 1}).Ok());
    Write(inbox + "m1.hl7", Fixture("hl7_split_1.hl7"));
    TInboxReport r = Read();
    ASSERT_EQ(r.Files.size(), 1u);
    EXPECT_EQ(r.Files[0].Kind, TInboxFileOutcome::Waiting);
    EXPECT_TRUE(FileExists(inbox + "m1.hl7"));
    // Written a moment later, so that it is read after the first part.
    Write(inbox + "m2.hl7", Fixture("hl7_split_2.hl7"));
    fs::last_write_time(inbox + "m2.hl7", fs::last_write_time(inbox + "m1.hl7") + std::chrono::seconds(1));
    r = Read();
    ASSERT_EQ(r.Files.size(), 1u);
    EXPECT_EQ(r.Files[0].Name, "m1.hl7 + m2.hl7");
    EXPECT_EQ(Fifo.Count(), 1);
    // Creatinine has no mapping; the urea value "6,1" is not a number, so both files go to failed/.
    EXPECT_EQ(Operations().NotMappedResults().size(), 1u);
    EXPECT_EQ(r.Files[0].Kind, TInboxFileOutcome::Failed);
    EXPECT_TRUE(FileExists(inbox + "failed/m1.hl7"));
    EXPECT_TRUE(FileExists(inbox + "failed/m2.hl7.reason"));
}

TEST_F(Inbox, AutoAcceptStoresOnlyClearRuns) {
    TInboxSettings s = Operations().InboxSettings();
    EXPECT_FALSE(s.AutoAccept);
    s.AutoAccept = true;
    ASSERT_TRUE(Operations().SetInboxSettings(s).Ok());
    Write(inbox + "a.csv", std::string(Header) +
                               "GLU;QC-N;5.02;2026-03-05;08:00\nGLU;QC-P;10.01;2026-03-05;08:01\n"
                               "GLU;QC-N;5.25;2026-03-06;08:00\n");
    TInboxReport r = Read();
    EXPECT_EQ(r.Accepted, 1);
    EXPECT_EQ(r.Queued, 1);
    ASSERT_EQ(Glucose().Count(), 21);
    EXPECT_FLOAT_EQ(Glucose().Points.back().Levels[1].Value, 10.01f);
    EXPECT_EQ(Glucose().CommentText(Glucose().Points.back().CommentId), "Inbox default: no warning");
    ASSERT_EQ(Fifo.Count(), 1);
    folder.Reopen();
    EXPECT_EQ(Glucose().Count(), 21);
}

TEST_F(Inbox, AFailedQueueWriteKeepsTheResultsForTheNextReading) {
    Write(inbox + "a.csv", std::string(Header) + "GLU;QC-N;5.0;2026-03-05;08:00\n");
    WriteFaults() = {.enabled = true, .failAt = TWriteStep::Rename, .onlyTarget = ".fif"};
    TInboxReport r = Read(TStatus::Partial);
    WriteFaults() = {};
    EXPECT_EQ(Fifo.Count(), 0);
    EXPECT_TRUE(FileExists(inbox + "a.csv"));
    // The next start places the recorded run; the next reading moves the file without taking it again.
    folder.Reopen();
    EXPECT_EQ(Fifo.Count(), 1);
    r = Read();
    EXPECT_EQ(r.Files[0].Kind, TInboxFileOutcome::ReadBefore);
    EXPECT_EQ(Fifo.Count(), 1);
    EXPECT_TRUE(FileExists(Processed("a.csv")));
}

TEST_F(Inbox, SettingsAndSourcesAreChecked) {
    TInboxSettings s;
    s.Folder = folder.Path();
    EXPECT_EQ(Operations().SetInboxSettings(s).Status, TStatus::Refused);
    s.Folder = folder.Path() + "missing";
    EXPECT_EQ(Operations().SetInboxSettings(s).Status, TStatus::Refused);
    s.Folder = inbox;
    s.WindowMinutes = 0;
    EXPECT_EQ(Operations().SetInboxSettings(s).Status, TStatus::Refused);
    EXPECT_EQ(Operations().InboxSettings().Folder, inbox);
    TInstrumentSource bad;
    for (const char* id : {"", "processed", "failed", "a/b", ".."}) {
        bad.Id = id;
        EXPECT_EQ(Operations().SetInboxSource(bad).Status, TStatus::Refused) << id;
    }
    // A subfolder is a source of its own, read with its own options and mapping.
    TInstrumentSource cx;
    cx.Id = "cx";
    cx.ControlPrefixes = {"QC-"};
    ASSERT_TRUE(Operations().SetInboxSource(cx).Ok());
    EXPECT_EQ(Operations().InboxSource("cx").ControlPrefixes, cx.ControlPrefixes);
    Write(inbox + "cx/run.astm", Fixture("astm_chemistry_crlf.astm"));
    TInboxReport r = Read();
    ASSERT_EQ(r.Files.size(), 1u);
    EXPECT_EQ(r.Files[0].Source, "cx");
    EXPECT_EQ(r.NotMapped, 3);
    // A test that could not be done has no value: its line is named, the file kept in cx/failed/.
    EXPECT_NE(ReadWholeFile(inbox + "cx/failed/run.astm.reason").find("line 9: no value"), std::string::npos);
    // The program folder is never read as an inbox, also when given for one reading.
    TInboxReadOptions here;
    here.Folder = folder.Path();
    EXPECT_EQ(Operations().ReadInbox(nullptr, here).Status, TStatus::Refused);
    EXPECT_TRUE(FileExists(DataFileName()));
}

TEST_F(Inbox, AFileJustWrittenWaitsToSettle) {
    Write(inbox + "a.csv", std::string(Header) + "GLU;QC-N;5.0;2026-03-05;08:00\n");
    TInboxReadOptions settle;
    settle.SettleSeconds = 30;
    TInboxReport r;
    ASSERT_TRUE(Operations().ReadInbox(&r, settle).Ok());
    ASSERT_EQ(r.Files.size(), 1u);
    EXPECT_EQ(r.Files[0].Kind, TInboxFileOutcome::Waiting);
    fs::last_write_time(inbox + "a.csv", fs::file_time_type::clock::now() - std::chrono::minutes(1));
    ASSERT_TRUE(Operations().ReadInbox(&r, settle).Ok());
    EXPECT_EQ(Fifo.Count(), 1);
}

// The queue file holds as many runs as its reader takes: the inbox stops holding there and says so,
// the runs it could not hold wait for room, and a full queue is never read as damaged.
TEST_F(Inbox, AFullQueueKeepsTheRestWaitingAndStaysReadable) {
    for (size_t k = 0; k + 1 < MaxQueueEntries; ++k) {
        TResu run = MakeRun(40000 + static_cast<double>(k) * 0.001, {5, 10}, "", "OP");
        run.AnalyteName = "Glucose";
        Fifo.Push(std::move(run));
    }
    AtomicWriteFile(QueueFileName(), QueueImage(Fifo.Entries()));
    folder.Reopen();
    ASSERT_EQ(Fifo.Count(), static_cast<int>(MaxQueueEntries) - 1);
    Write(inbox + "a.csv", std::string(Header) +
                               "GLU;QC-N;5.0;2026-03-05;08:00\nGLU;QC-N;5.1;2026-03-07;08:00\n" +
                               "GLU;QC-N;5.2;2026-03-09;08:00\n");
    TInboxReport r;
    TOutcome out = Operations().ReadInbox(&r);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_EQ(r.Queued, 1);
    ASSERT_EQ(out.Notes.size(), 1u);
    EXPECT_NE(out.Notes[0].find("2 runs from the instruments wait"), std::string::npos) << out.Notes[0];
    EXPECT_EQ(Fifo.Count(), static_cast<int>(MaxQueueEntries));
    // A run held by hand is refused, with the limit said.
    TOutcome held = Operations().HoldRun(MakeRun(Today(), {5, 10}));
    EXPECT_EQ(held.Status, TStatus::Refused);
    EXPECT_NE(held.Message.find("at most 100000 runs"), std::string::npos) << held.Message;

    TOpenReport report = folder.Reopen();
    EXPECT_EQ(Fifo.Count(), static_cast<int>(MaxQueueEntries));
    for (const std::string& n : report.Notes) EXPECT_EQ(n.find("damaged"), std::string::npos) << n;
    // Room again: the waiting runs are held at the next reading.
    Fifo.Pop();
    Fifo.Pop();
    AtomicWriteFile(QueueFileName(), QueueImage(Fifo.Entries()));
    folder.Reopen();
    Read();
    EXPECT_EQ(Fifo.Count(), static_cast<int>(MaxQueueEntries));
    EXPECT_EQ(Fifo.Entries().back().DateTime, EncodeDate(2026, 3, 9) + EncodeTime(8, 0, 0));
}

// A mapping stored while the queue could not be written is a partial success, not a refusal: the run
// it brings in is held at the next start.
TEST_F(Inbox, AMappingStoredWithoutItsQueueWriteIsPartial) {
    Write(inbox + "a.csv", std::string(Header) + "GLU;QC-X;5.0;2026-03-05;08:00\n");
    Read();
    ASSERT_EQ(Operations().NotMappedResults().size(), 1u);
    WriteFaults() = {.enabled = true, .failAt = TWriteStep::Rename, .onlyTarget = ".fif"};
    const TOutcome out = Operations().MapInstrumentResults({"default", "GLU", "QC-X", "Glucose", 1});
    WriteFaults() = {};
    EXPECT_EQ(out.Status, TStatus::Partial) << out.Message;
    EXPECT_TRUE(Operations().NotMappedResults().empty());
    folder.Reopen();
    ASSERT_EQ(Fifo.Count(), 1);
    EXPECT_FLOAT_EQ(Fifo.Entries().front().Levels[0].Value, 5.0f);
}

// Links in the inbox are not followed: a linked file is not read, a linked folder is no source, and
// nothing outside the inbox is read or moved.
TEST_F(Inbox, LinksOutOfTheInboxAreNotFollowed) {
    const std::string outside = folder.Path() + "outside/";
    Write(outside + "secrets.csv", "password=S3cret;QC-N;5.0;2026-03-05;08:00\n");
    Write(outside + "run.csv", std::string(Header) + "GLU;QC-N;5.0;2026-03-05;08:00\n");
    fs::create_symlink(outside + "secrets.csv", inbox + "s.csv");
    fs::create_symlink(outside + "run.csv", inbox + "r.csv");
    fs::create_symlink(outside, inbox + "docs");
    const std::vector<std::string> before = FilesUnder(outside);
    TInboxReport r = Read();
    EXPECT_TRUE(r.Files.empty());
    EXPECT_EQ(Fifo.Count(), 0);
    EXPECT_EQ(FilesUnder(outside), before);
    EXPECT_FALSE(fs::exists(inbox + "failed"));
    EXPECT_TRUE(fs::is_symlink(inbox + "s.csv"));
}

// A mapped control is QC although the message says patient; the result without a control is left out,
// counted and explained, and never kept.
TEST_F(Inbox, MappedControlsAreTakenAndPatientResultsExplained) {
    ASSERT_TRUE(Operations().MapInstrumentResults({"an", "GLU", "QC-N", "Glucose", 1}).Ok());
    Write(inbox + "an/a.astm",
          "H|\\^&|||AN-1|||||||P\rO|1|QC-N||^^^GLU\rR|1|^^^GLU|5.02||||||||20260305080000\r"
          "O|2|||^^^GLU\rR|1|^^^GLU|7.77||||||||20260305080100\rL|1\r");
    TInboxReport r = Read();
    const TInboxFileOutcome* f = Outcome(r, "a.astm");
    EXPECT_EQ(f->Kind, TInboxFileOutcome::Read);
    EXPECT_EQ(f->Results, 1);
    EXPECT_EQ(f->Detail,
              "1 result has no control identification: patient result? set the source's control field");
    ASSERT_EQ(Fifo.Count(), 1);
    EXPECT_FLOAT_EQ(Fifo.Entries().front().Levels[0].Value, 5.02f);
    EXPECT_EQ(Operations().NotMappedCount(), 0);
    EXPECT_EQ(ReadWholeFile(folder.Path() + "Varnholt.db").find("7.77"), std::string::npos);
}

// A file that gave nothing is read again, with its source's options and mappings as they are now.
TEST_F(Inbox, AFileThatGaveNothingIsReadAgain) {
    const std::string oru = "MSH|^~\\&|HEMA||||20260305||ORU^R01|H1|P|2.5\rPID|1|QC-N\r"
                            "OBR|1|||LQC|||20260305080000\rOBX|1|NM|GLU||5.02||||||F\r";
    auto drop = [&] {
        Write(inbox + "hema/h.hl7", oru);
        return *Outcome(Read(), "h.hl7");
    };
    TInboxFileOutcome f = drop();
    EXPECT_EQ(f.Kind, TInboxFileOutcome::Read);
    EXPECT_EQ(f.Results, 0);
    EXPECT_NE(f.Detail.find("1 result has no control identification"), std::string::npos) << f.Detail;
    EXPECT_EQ(drop().Kind, TInboxFileOutcome::Read); // nothing taken: read again, not "read before"

    TInstrumentSource hema = TInstrumentSource::FromText("hl7.control=PID-2\nqc.all=yes\n");
    hema.Id = "hema";
    ASSERT_TRUE(Operations().SetInboxSource(hema).Ok());
    ASSERT_TRUE(Operations().MapInstrumentResults({"hema", "GLU", "QC-N", "Glucose", 1}).Ok());
    f = drop();
    EXPECT_EQ(f.Kind, TInboxFileOutcome::Read);
    EXPECT_EQ(f.Results, 1);
    ASSERT_EQ(Fifo.Count(), 1);
    // Its result is known by its own key: dropped again, nothing is taken twice.
    f = drop();
    EXPECT_EQ(f.Repeated, 1);
    EXPECT_EQ(f.Results, 0);
    EXPECT_EQ(Fifo.Count(), 1);
}

// A pass holds what it reads: once its files hold MaxResults results the rest wait. Reading the whole
// inbox goes on with further passes; a caller that reads a few files at a time is told there is more.
TEST_F(Inbox, APassTakesSoManyResultsAndTheNextPassesTheRest) {
    // Four files of two results each, a run per file on a day of the month given.
    auto drop = [&](const std::string& prefix, int month) {
        for (int k = 0; k < 4; ++k) {
            const std::string day = "2026-0" + std::to_string(month) + "-0" + std::to_string(k + 1);
            Write(inbox + prefix + std::to_string(k) + ".csv",
                  std::string(Header) + "GLU;QC-N;5.0;" + day + ";08:00\nGLU;QC-P;10.0;" + day + ";08:01\n");
        }
    };
    struct TCase {
        size_t MaxFiles;
        std::vector<size_t> FilesPerCall; // the files read by each call until none is left
    } cases[] = {{0, {4}}, {10, {2, 2}}, {1, {1, 1, 1, 1}}};
    int queued = 0, month = 3;
    for (const TCase& c : cases) {
        drop("p" + std::to_string(c.MaxFiles) + "-", month++);
        TInboxReadOptions options;
        options.MaxFiles = c.MaxFiles;
        options.MaxResults = 3;
        for (size_t call = 0; call < c.FilesPerCall.size(); ++call) {
            TInboxReport r;
            ASSERT_TRUE(Operations().ReadInbox(&r, options).Ok());
            EXPECT_EQ(r.Files.size(), c.FilesPerCall[call]) << c.MaxFiles << " call " << call;
            EXPECT_EQ(r.More, call + 1 < c.FilesPerCall.size()) << c.MaxFiles << " call " << call;
            for (const TInboxFileOutcome& f : r.Files) EXPECT_EQ(f.Kind, TInboxFileOutcome::Read) << f.Name;
        }
        queued += 4;
        EXPECT_EQ(Fifo.Count(), queued) << c.MaxFiles;
        EXPECT_EQ(FilesUnder(inbox).size(), static_cast<size_t>(queued)) << "all in processed/";
    }
}

// The progress told grows to its total; a "no" while files are read or runs planned leaves everything as
// it was, and once the runs are recorded the answer no longer stops them.
TEST_F(Inbox, AReadingTellsItsProgressAndCancelsBeforeAnythingIsRecorded) {
    for (int k = 0; k < 3; ++k)
        Write(inbox + "c" + std::to_string(k) + ".csv", std::string(Header) + "GLU;QC-N;5.0" +
                                                            std::to_string(k) + ";2026-04-0" +
                                                            std::to_string(k + 1) + ";08:00\n");
    // Cancelled at the first, second... call: before each file, then before the runs are recorded.
    for (int stopAt = 1; stopAt <= 4; ++stopAt) {
        int calls = 0;
        TInboxReadOptions options;
        options.Progress = [&](size_t, size_t, bool) { return ++calls < stopAt; };
        TInboxReport r;
        const TOutcome out = Operations().ReadInbox(&r, options);
        EXPECT_EQ(out.Status, TStatus::Refused) << stopAt;
        EXPECT_NE(out.Message.find("cancelled"), std::string::npos) << out.Message;
        EXPECT_TRUE(r.Cancelled);
        EXPECT_EQ(calls, stopAt);
        EXPECT_EQ(Fifo.Count(), 0);
        EXPECT_EQ(Operations().HeldFromInbox(), 0);
        EXPECT_EQ(FilesUnder(inbox).size(), 3u) << "the files wait in the inbox";
        for (const TInboxFileOutcome& f : r.Files) EXPECT_EQ(f.Kind, TInboxFileOutcome::Waiting) << f.Name;
    }
    std::vector<std::pair<size_t, bool>> told;
    size_t total = 0;
    TInboxReadOptions options;
    options.Progress = [&](size_t done, size_t of, bool cancellable) {
        told.push_back({done, cancellable});
        total = of;
        return cancellable; // "no" as soon as it cannot cancel: the runs are placed all the same
    };
    TInboxReport r;
    ASSERT_TRUE(Operations().ReadInbox(&r, options).Ok());
    EXPECT_FALSE(r.Cancelled);
    EXPECT_EQ(Fifo.Count(), 3);
    ASSERT_GE(told.size(), 5u);
    for (size_t k = 1; k < told.size(); ++k) EXPECT_LE(told[k - 1].first, told[k].first);
    EXPECT_EQ(told.back(), std::make_pair(total, false));
    EXPECT_TRUE(told[3].second) << "the last word before anything is recorded";
}
