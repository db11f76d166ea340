// Imports of hostile sizes and orders: runs in any order land where adding them one by one puts them,
// in linear time; overlong lines are skipped without being quoted; a long reading can be cancelled.
#include <chrono>
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "UImportText.h"

namespace {
class ImportHostile : public ::testing::Test {
protected:
    TOpenFolder folder;
    TOperations& ops = Operations();
    void SetUp() override { folder.Reopen(TOpenMode::Writer, true); }
};

void ExpectSamePoints(const TAnalyte& got, const TAnalyte& expected) {
    ASSERT_EQ(got.Count(), expected.Count());
    for (int i = 0; i < got.Count(); ++i) {
        const ControlPoint &g = got.Points[static_cast<size_t>(i)],
                           &e = expected.Points[static_cast<size_t>(i)];
        ASSERT_EQ(g.DateTime, e.DateTime) << i;
        ASSERT_EQ(g.Levels[0].Value, e.Levels[0].Value) << i;
        ASSERT_EQ(g.CommentId, e.CommentId) << i;
        ASSERT_EQ(std::string(g.Operator.View()), std::string(e.Operator.View())) << i;
    }
    EXPECT_EQ(got.LockFirst, expected.LockFirst);
    EXPECT_EQ(got.LockLast, expected.LockLast);
}
} // namespace

// Runs before, between and after the stored points, at their moments and at each other's, in reverse
// and mixed order, with and without a locked period: the same points, comments and bounds as one by one.
TEST_F(ImportHostile, RunsInAnyOrderLandWhereOneByOneWouldPutThem) {
    for (bool locked : {false, true}) {
        SCOPED_TRACE(locked);
        TAnalyte& a = ListAnalytes[0];
        ASSERT_GE(a.Count(), 10);
        for (auto& mode : a.LimitMode) mode = lmMobile;
        if (locked) {
            a.LimitMode[0] = lmLocked;
            a.LockFirst[0] = 3;
            a.LockLast[0] = 7;
        }
        const TDateTime first = a.Points.front().DateTime, mid = a.Points[5].DateTime,
                        last = a.Points.back().DateTime;
        std::vector<TResu> runs;
        int n = 0;
        for (TDateTime t :
             {last + 3, mid, first - 2, last + 1, mid, first, mid + 0.5, last, first - 2, last + 3}) {
            ++n;
            runs.push_back(MakeRun(t, {100.0 + n}, n % 3 ? "note " + std::to_string(n) : "", "OP"));
        }
        TAnalyte expected = a;
        for (const TResu& r : runs) expected.AddPoint(r);
        ASSERT_TRUE(ops.ImportRuns(a, runs).Ok());
        ExpectSamePoints(a, expected);
    }
}

TEST_F(ImportHostile, ReverseOrderImportIsLinear) {
    TAnalyte& a = ListAnalytes[0];
    std::vector<TResu> runs;
    const TDateTime start = a.Points.back().DateTime + 1;
    for (int k = 100000; k > 0; --k) runs.push_back(MakeRun(start + k / 96.0, {5.0 + k % 7}));
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(ops.ImportRuns(a, runs).Ok());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    // One by one this took over 30 s; in time order well under one.
    EXPECT_LT(seconds, 10.0);
    for (int i = 1; i < a.Count(); ++i)
        ASSERT_LE(a.Points[static_cast<size_t>(i - 1)].DateTime, a.Points[static_cast<size_t>(i)].DateTime);
}

TEST(ImportTextCaps, OverlongLineSkippedUnquotedAndReadingCancellable) {
    const std::string huge(MaxImportLineBytes + 1, 'x');
    const std::string text =
        "2024-02-01\t08:30\t5.1\r\n2024-02-01\t" + huge + "\t5.2\r\n2024-02-02\t09:00\t5.3\r\n";
    TImportText t = ParseImportText(text, 1);
    ASSERT_EQ(t.Runs.size(), 2u);
    EXPECT_EQ(t.LinesSkipped, 1u);
    ASSERT_EQ(t.Notes.size(), 1u);
    EXPECT_NE(t.Notes[0].find("line 2: longer than"), std::string::npos) << t.Notes[0].substr(0, 200);
    EXPECT_LT(t.Notes[0].size(), 200u) << "the line is not quoted";

    std::string many;
    for (int k = 0; k < 100000; ++k) many += "2024-02-01\t08:30\t5.1\r\n";
    size_t calls = 0, lastDone = 0;
    TImportText whole = ParseImportText(many, 1, 1, [&](size_t done, size_t total) {
        EXPECT_EQ(total, many.size());
        EXPECT_GT(done, lastDone);
        lastDone = done;
        ++calls;
        return true;
    });
    EXPECT_GT(calls, 0u);
    EXPECT_EQ(whole.Runs.size(), 100000u);
    TImportText stopped = ParseImportText(many, 1, 1, [](size_t, size_t) { return false; });
    EXPECT_TRUE(stopped.Cancelled);
    EXPECT_TRUE(stopped.Runs.empty());
}
