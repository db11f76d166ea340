// kill -9 at random moments of the layer's operations: the next start reads the folder, and it holds
// every operation completed before the kill, and of the one under way either all or nothing (a recall
// may have stored its run and not yet left the queue; its next recall does not store it twice).
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"

namespace {
struct TCount {
    int runs = 0, held = 0;
    bool operator==(const TCount&) const = default;
};

TCount Count() {
    TCount c;
    for (const auto& a : ListAnalytes.Items) c.runs += a->Count();
    c.held = Fifo.Count();
    return c;
}

// The cycle of operations the child repeats; each returns whether it was done.
constexpr int Steps = 5;
bool Step(int i, const std::string& media) {
    TOperations& ops = Operations();
    TAnalyte& a = ListAnalytes[0];
    const TDateTime day = 50000 + i;
    switch (i % Steps) {
    case 0:
        return ops.AcceptRun(a, MakeRun(day, {1.0 + i % 7})).Ok();
    case 1: {
        TResu r = MakeRun(day, {2.0 + i % 5});
        r.AnalyteName = a.Name;
        return ops.HoldRun(r).Ok();
    }
    case 2: {
        // The held run may be the one a kill interrupted: then there is nothing to recall.
        if (Fifo.Count() == 0) return true;
        TAnalyte* an = nullptr;
        TResu r;
        return ops.RecallRun(an, r).Ok() && ops.ConcludeRecall(*an, r, true).Ok();
    }
    case 3:
        return ops.DeletePoints(a, {0}, "duplicate").Ok();
    default:
        TBackupChoice yes;
        yes.ReplaceLarger = true;
        return ops.Backup(media, yes).Ok();
    }
}

// What the operation under way may have left, from the counts before it.
std::vector<TCount> Possible(int i, TCount c) {
    switch (i % Steps) {
    case 0:
        return {c, {c.runs + 1, c.held}};
    case 1:
        return {c, {c.runs, c.held + 1}};
    case 2:
        return {c, {c.runs + 1, c.held}, {c.runs + 1, c.held - 1}};
    case 3:
        return {c, {c.runs - 1, c.held}};
    default:
        return {c};
    }
}
} // namespace

TEST(Crash, KillNineAtAnyMomentLosesNoCompletedOperation) {
    TTempFolder folder;
    const std::string media = folder.File("media/");
    std::filesystem::create_directory(media);
    TOpenOptions options;
    options.SampleOnFirstRun = false;
    ASSERT_TRUE(Operations().Open(folder.Path(), TOpenMode::Writer, options).Opened);
    ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 1, 1));
    for (int k = 0; k < 20; ++k) ListAnalytes[0].AddPoint(MakeRun(40000 + k, {5.0}));
    WriteAllData();
    Operations().Close();

    std::mt19937 random(20261208);
    int next = 0; // the index of the next operation of the cycle
    for (int round = 0; round < 40; ++round) {
        TOpenReport report = Operations().Open(folder.Path(), TOpenMode::Writer, options);
        ASSERT_TRUE(report.Opened) << "round " << round << ": " << report.Message;
        ASSERT_FALSE(report.DataUnreadable) << "round " << round;
        const TCount start = Count();
        Operations().Close();

        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(progress[0]);
            Operations().Open(folder.Path(), TOpenMode::Writer, options);
            for (int i = next;; ++i) {
                bool done = Step(i, media);
                TCount c = Count();
                char line[64];
                int n = std::snprintf(line, sizeof line, "%d %d %d %d\n", i, done ? 1 : 0, c.runs, c.held);
                if (::write(progress[1], line, static_cast<size_t>(n)) != n) ::_exit(1);
            }
        }
        ::close(progress[1]);
        ::usleep(std::uniform_int_distribution<useconds_t>(1000, 40000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = ::read(progress[0], buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<size_t>(n));
        ::close(progress[0]);

        // The last operation reported done, and the counts it left.
        int last = next - 1;
        TCount before = start;
        for (size_t at = 0; at < text.size();) {
            size_t end = text.find('\n', at);
            if (end == std::string::npos) break;
            int i, done, runs, held;
            if (std::sscanf(text.c_str() + at, "%d %d %d %d", &i, &done, &runs, &held) == 4) {
                ASSERT_EQ(done, 1) << "operation " << i << " failed without a fault";
                last = i;
                before = {runs, held};
            }
            at = end + 1;
        }
        report = Operations().Open(folder.Path(), TOpenMode::Writer, options);
        ASSERT_TRUE(report.Opened) << "round " << round << ": the next start could not open the folder";
        ASSERT_FALSE(report.DataUnreadable) << "round " << round;
        const TCount after = Count();
        const std::vector<TCount> allowed = Possible(last + 1, before);
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), after), allowed.end())
            << "round " << round << ": after operation " << last << " the folder holds " << after.runs
            << " runs and " << after.held << " held, from " << before.runs << " and " << before.held;
        // A recall whose queue write was lost: the next recall finds the run stored and does not add it.
        if ((last + 1) % Steps == 2 && after.runs == before.runs + 1 && after.held == before.held) {
            TAnalyte* an = nullptr;
            TResu r;
            ASSERT_TRUE(Operations().RecallRun(an, r).Ok());
            ASSERT_TRUE(Operations().ConcludeRecall(*an, r, true).Ok());
            EXPECT_EQ(Count().runs, after.runs) << "round " << round << ": the recalled run stored twice";
        }
        Operations().Close();
        next = last + 2; // the cycle goes on after the one under way
    }
}
