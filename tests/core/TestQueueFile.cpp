// The result queue: order, file round trip, damaged files kept aside, failed saves reported.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UFifoResult.h"

namespace {
class Queue : public ::testing::Test {
protected:
    TTempFolder folder;
    void TearDown() override {
        Fifo.ClearQueue();
        WriteFaults() = {};
    }
};

TResu Entry(TDateTime dt, const std::string& analyte, const std::string& comment, const std::string& op) {
    TResu r = MakeRun(dt, {1.5, NAN, -2.25}, comment, op);
    r.Levels[2].State = psDiscarded;
    r.AnalyteName = analyte;
    return r;
}

TOpenOptions NoSample() {
    TOpenOptions o;
    o.SampleOnFirstRun = false;
    return o;
}

bool Same(const TResu& a, const TResu& b) {
    return a.DateTime == b.DateTime && a.Levels == b.Levels && a.Comment == b.Comment &&
           a.Operator == b.Operator && a.AnalyteName == b.AnalyteName;
}
} // namespace

TEST_F(Queue, PopsInArrivalOrder) {
    TFifo q;
    q.Push(Entry(1, "A", "", ""));
    q.Push(Entry(2, "B", "", ""));
    EXPECT_EQ(q.Count(), 2);
    EXPECT_EQ(q.Pop()->AnalyteName, "A");
    EXPECT_EQ(q.Pop()->AnalyteName, "B");
    EXPECT_FALSE(q.Pop().has_value());
    EXPECT_EQ(q.Count(), 0);
}

TEST_F(Queue, FileRoundTripKeepsEntriesAndTexts) {
    std::deque<TResu> in = {Entry(45000.375, "Glucose", "", ""),
                            Entry(45001.5, "Calcium", std::string(300, 'c'), "OPER"),
                            Entry(-1.25, "X", "r\xE9sultat", "")};
    // The layout: 32 bytes of date-time and levels, then three counted texts; no header.
    std::string bytes = QueueImage(in);
    EXPECT_EQ(bytes.size(), 3 * (32 + 12) + 7 + 7 + 300 + 4 + 8 + 1);
    EXPECT_EQ(bytes.substr(32, 4), std::string(4, '\0'));
    AtomicWriteFile(QueueFileName(), bytes);
    TOpenReport report = Operations().Open(folder.Path(), TOpenMode::Reader, NoSample());
    EXPECT_TRUE(report.Notes.empty());
    ASSERT_EQ(Fifo.Count(), 3);
    for (const TResu& e : in) EXPECT_TRUE(Same(*Fifo.Pop(), e));
    Operations().Close();
    // An empty queue gives an empty file, and an empty file an empty queue.
    EXPECT_EQ(QueueImage({}), "");
    EXPECT_TRUE(ParseQueueImage("").empty());
}

// A damaged queue file is kept aside at the start, named in a note, and the queue starts empty. Among
// the damaged: entries without an analyte (a zero-filled file) and more entries than any queue holds.
TEST_F(Queue, DamagedFileGivesAnEmptyQueueAndIsKept) {
    std::deque<TResu> entries = {Entry(1, "A", "one", "X"), Entry(2, "B", "two", "Y"), Entry(3, "C", "", "")};
    const std::string good = QueueImage(entries);
    const size_t first = 32 + 4 + 3 + 4 + 1 + 4 + 1;
    double nan = NAN;
    std::string nanDate(reinterpret_cast<const char*>(&nan), 8);
    std::string badState = good;
    badState[12] = 9;
    std::string cases[] = {good.substr(0, good.size() - 1),
                           nanDate + good.substr(8),
                           badState,
                           good.substr(0, first) + std::string("\xFF\xFF\xFF\x7F", 4),
                           std::string(44 * 50, '\0'),
                           std::string(44 * (MaxQueueEntries + 1), '\0')};
    for (const std::string& bad : cases) {
        std::ofstream(QueueFileName(), std::ios::binary) << bad;
        TOpenReport report = Operations().Open(folder.Path(), TOpenMode::Writer, NoSample());
        EXPECT_EQ(Fifo.Count(), 0);
        ASSERT_EQ(report.Notes.size(), 1u);
        const std::string prefix = "The damaged queue file was kept as ";
        ASSERT_EQ(report.Notes[0].substr(0, prefix.size()), prefix);
        std::string kept = report.Notes[0].substr(prefix.size());
        EXPECT_EQ(ReadWholeFile(kept), bad);
        EXPECT_FALSE(FileExists(QueueFileName()));
        std::filesystem::remove(kept);
        Operations().Close();
    }
    // Every cut of a valid file is either a whole number of entries or refused, never a crash.
    for (size_t cut = 0; cut <= good.size(); ++cut) {
        try {
            size_t n = ParseQueueImage(std::string_view(good).substr(0, cut)).size();
            EXPECT_TRUE(cut == 0 || cut == first || cut == good.size() || n == 2) << cut;
        } catch (const EQcError&) {
        }
    }
}

// A held run whose queue file cannot be written is not held: the file and the queue stay as they were.
TEST_F(Queue, FailedSaveIsReportedAndKeepsThePreviousFile) {
    Operations().Open(folder.Path(), TOpenMode::Writer, NoSample());
    ASSERT_TRUE(Operations().HoldRun(Entry(46001, "A", "", "")).Ok());
    const std::string previous = ReadWholeFile(QueueFileName());
    WriteFaults() = {true, TWriteStep::Write, 5};
    TOutcome out = Operations().HoldRun(Entry(46002, "B", "", ""));
    WriteFaults() = {};
    EXPECT_EQ(out.Status, TStatus::Refused);
    EXPECT_EQ(out.Message.rfind("Unable to save fifo\r", 0), 0u) << out.Message;
    EXPECT_EQ(ReadWholeFile(QueueFileName()), previous);
    EXPECT_EQ(Fifo.Count(), 1);
    Operations().Close();
}

namespace {
ino_t InodeOf(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

int HeldEntries(const std::string& analyte) {
    TJournalFilter f;
    int n = 0;
    for (const TJournalEntry& e : Operations().Journal(f)) n += e.Kind == jk::RunHeld && e.Analyte == analyte;
    return n;
}
} // namespace

// Runs only added are appended to the file as it is; any other change writes it whole. The file is
// the queue's image either way, and a file replaced by another program is written whole.
TEST_F(Queue, AddedRunsAreAppendedOtherChangesWriteTheFileWhole) {
    Operations().Open(folder.Path(), TOpenMode::Writer, NoSample());
    ASSERT_TRUE(Operations().HoldRun(Entry(46001, "A", "", "")).Ok());
    const ino_t first = InodeOf(QueueFileName());
    ASSERT_TRUE(Operations().HoldRun(Entry(46002, "B", "two", "OP")).Ok());
    EXPECT_EQ(InodeOf(QueueFileName()), first);
    EXPECT_EQ(ReadWholeFile(QueueFileName()), QueueImage(Fifo.Entries()));

    ASSERT_TRUE(Operations().ClearQueue().Ok());
    ASSERT_TRUE(Operations().HoldRun(Entry(46003, "C", "", "")).Ok());
    EXPECT_NE(InodeOf(QueueFileName()), first);
    EXPECT_EQ(ReadWholeFile(QueueFileName()), QueueImage(Fifo.Entries()));

    // Another program's file of the same size: the next hold writes the queue as the program holds it.
    const std::string mine = ReadWholeFile(QueueFileName());
    AtomicWriteFile(QueueFileName(), QueueImage({Entry(46009, "X", "", "")}));
    ASSERT_TRUE(Operations().HoldRun(Entry(46004, "D", "", "")).Ok());
    EXPECT_EQ(ReadWholeFile(QueueFileName()), QueueImage(Fifo.Entries()));
    EXPECT_EQ(ReadWholeFile(QueueFileName()).substr(0, mine.size()), mine);
    Operations().Close();

    TOpenReport report = Operations().Open(folder.Path(), TOpenMode::Writer, NoSample());
    EXPECT_TRUE(report.Notes.empty());
    ASSERT_EQ(Fifo.Count(), 2);
    EXPECT_TRUE(Operations().CheckJournal().Whole);
    Operations().Close();
}

// A hold killed in the middle of its append, wherever it is cut (none of the run written, part of it,
// at a whole entry of a longer append, all of it but unsynced): the next open has the queue before
// the hold, or after it when the file took all of it, with the journal to match and nothing kept aside.
TEST_F(Queue, AppendKilledAnywhereLeavesTheQueueBeforeOrAfter) {
    const TResu b = Entry(46002, "B", "", ""), c = Entry(46003, "C", "", ""), d = Entry(46004, "D", "", "");
    const size_t entry = QueueImage({b}).size();
    struct TCut {
        TWriteStep At;
        size_t Bytes;
        bool Held; // the hold reached the file whole
    } cuts[] = {{TWriteStep::Write, 0, false},
                {TWriteStep::Write, 7, false},
                {TWriteStep::Write, entry, false}, // B whole, C and D not
                {TWriteStep::Write, 3 * entry - 1, false},
                {TWriteStep::Sync, 0, true}};
    for (const TCut& cut : cuts) {
        TTempFolder home;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Operations().Open(home.Path(), TOpenMode::Writer, NoSample());
            if (!Operations().HoldRun(Entry(46001, "A", "", "")).Ok()) ::_exit(2);
            // Two runs in memory that the next save takes along: one append of three entries.
            Fifo.Push(b);
            Fifo.Push(c);
            WriteFaults() = {true, cut.At, cut.Bytes, ".fif"};
            WriteFaults().exitInstead = true;
            Operations().HoldRun(d);
            ::_exit(3);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << status;

        TOpenReport report = Operations().Open(home.Path(), TOpenMode::Writer, NoSample());
        EXPECT_TRUE(report.Notes.empty()) << report.Notes[0];
        ASSERT_EQ(Fifo.Count(), cut.Held ? 4 : 1) << cut.Bytes;
        EXPECT_EQ(ReadWholeFile(QueueFileName()), QueueImage(Fifo.Entries()));
        EXPECT_EQ(HeldEntries("D"), cut.Held ? 1 : 0);
        EXPECT_TRUE(Operations().CheckJournal().Whole);
        // And the queue goes on from there.
        ASSERT_TRUE(Operations().HoldRun(Entry(46005, "E", "", "")).Ok());
        Operations().Close();
        Operations().Open(home.Path(), TOpenMode::Writer, NoSample());
        EXPECT_EQ(Fifo.Count(), cut.Held ? 5 : 2);
        Operations().Close();
    }
}
