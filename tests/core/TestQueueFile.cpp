// The result queue: order, file round trip, damaged files kept aside, failed saves reported.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "TestHelpers.h"
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
    std::vector<TResu> in = {Entry(45000.375, "Glucose", "", ""),
                             Entry(45001.5, "Calcium", std::string(300, 'c'), "OPER"),
                             Entry(-1.25, "", "r\xE9sultat", "")};
    for (const TResu& e : in) Fifo.Push(e);
    EXPECT_TRUE(Fifo.SaveQueue());
    // The layout: 32 bytes of date-time and levels, then three counted texts; no header.
    std::string bytes = ReadWholeFile(QueueFileName());
    EXPECT_EQ(bytes.size(), 3 * (32 + 12) + 7 + 7 + 300 + 4 + 8);
    EXPECT_EQ(bytes.substr(32, 4), std::string(4, '\0'));
    Fifo.ClearQueue();
    TScriptedPrompt prompt;
    Fifo.LoadQueue();
    EXPECT_TRUE(prompt.shown.empty());
    ASSERT_EQ(Fifo.Count(), 3);
    for (const TResu& e : in) EXPECT_TRUE(Same(*Fifo.Pop(), e));

    // An empty queue gives an empty file, and an empty file an empty queue.
    EXPECT_TRUE(Fifo.SaveQueue());
    EXPECT_EQ(ReadWholeFile(QueueFileName()), "");
    Fifo.Push(Entry(1, "X", "", ""));
    Fifo.LoadQueue();
    EXPECT_EQ(Fifo.Count(), 0);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(Queue, DamagedFileGivesAnEmptyQueueAndIsKept) {
    std::deque<TResu> entries = {Entry(1, "A", "one", "X"), Entry(2, "B", "two", "Y"), Entry(3, "C", "", "")};
    const std::string good = QueueImage(entries);
    const size_t first = 32 + 4 + 3 + 4 + 1 + 4 + 1;
    double nan = NAN;
    std::string nanDate(reinterpret_cast<const char*>(&nan), 8);
    std::string badState = good;
    badState[12] = 9;
    std::string cases[] = {good.substr(0, first + 20), good.substr(0, good.size() - 1),
                           nanDate + good.substr(8), badState,
                           good.substr(0, first) + std::string("\xFF\xFF\xFF\x7F", 4)};
    for (const std::string& bad : cases) {
        std::ofstream(QueueFileName(), std::ios::binary) << bad;
        TScriptedPrompt prompt;
        Fifo.Push(Entry(9, "Z", "", ""));
        Fifo.LoadQueue();
        EXPECT_EQ(Fifo.Count(), 0);
        ASSERT_EQ(prompt.shown.size(), 1u);
        const std::string prefix = "The damaged queue file was kept as ";
        ASSERT_EQ(prompt.shown[0].text.substr(0, prefix.size()), prefix);
        std::string kept = prompt.shown[0].text.substr(prefix.size());
        EXPECT_EQ(ReadWholeFile(kept), bad);
        EXPECT_FALSE(FileExists(QueueFileName()));
        std::filesystem::remove(kept);
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

TEST_F(Queue, FailedSaveIsReportedAndKeepsThePreviousFile) {
    Fifo.Push(Entry(1, "A", "", ""));
    ASSERT_TRUE(Fifo.SaveQueue());
    const std::string previous = ReadWholeFile(QueueFileName());
    Fifo.Push(Entry(2, "B", "", ""));
    TScriptedPrompt prompt;
    WriteFaults() = {true, TWriteStep::Write, 5};
    EXPECT_FALSE(Fifo.SaveQueue());
    WriteFaults() = {};
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].kind, mkError);
    EXPECT_EQ(prompt.shown[0].buttons, unsigned(mbYes));
    EXPECT_EQ(prompt.shown[0].text, "Unable to save fifo");
    EXPECT_EQ(ReadWholeFile(QueueFileName()), previous);
    EXPECT_EQ(Fifo.Count(), 2);
}
