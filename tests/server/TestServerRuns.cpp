// Runs added on several benches to one analyte: each stored once among the others' in date order,
// judged again on the server's history where others' runs arrived, refused when that judgement differs.
#include <gtest/gtest.h>
#include <poll.h>

#include "ServerHelpers.h"
#include "TestHelpers.h"
#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UOperations.h"

namespace {

// Another bench: the store alone, on the lists it loaded.
struct TOtherBench {
    TServerStore Store;
    TListSerum Serum;
    TListAnalytes Analytes;
    explicit TOtherBench(const std::string& conninfo) : Store(conninfo) {
        Store.Connect(true);
        std::deque<TResu> queue;
        TSettings settings;
        std::vector<std::string> operators;
        bool has = false;
        Store.Load(Serum, Analytes, queue, settings, operators, has);
    }
    void Add(TResu run) {
        Change([&run](TAnalyte& a) {
            a.ClassifyRun(run.Levels);
            a.AddPoint(run);
        });
    }
    void Change(const std::function<void(TAnalyte&)>& change) {
        TAnalyte& a = *Analytes.FindByName("Glucose");
        change(a);
        a.RecalcAll();
        Store.WriteData(Serum, Analytes, &a, {});
    }
};

class ServerRuns_ : public ::testing::Test {
protected:
    TServerDatabase db;
    TTempFolder station;
    TOperations& ops = Operations();
    void SetUp() override {
        if (!db.Ready()) return;
        TOpenOptions o;
        o.SampleOnFirstRun = false;
        o.Server = db.Conninfo();
        ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, o).Opened);
        // Twenty days alternating about 5.0: mean 5.0, the limits mobile.
        std::vector<double> values;
        for (int k = 0; k < 20; ++k) values.push_back(k % 2 ? 5.1 : 4.9);
        auto a = std::make_unique<TAnalyte>(AnalyteWithValues(values));
        a->Name = "Glucose";
        ListAnalytes.Add(std::move(a));
        WriteAllData(ops);
    }
    void TearDown() override { ops.Close(); }
    TAnalyte& Glucose() { return *ListAnalytes.FindByName("Glucose"); }
    // The run as a bench enters it: classified on the history it shows.
    TResu Entered(TDateTime at, double value) {
        TResu r = MakeRun(at, {value});
        Glucose().ClassifyRun(r.Levels);
        return r;
    }
    std::vector<double> ServerTimes() {
        TPgResult r = db.Admin().Exec("SELECT at FROM point ORDER BY ord");
        std::vector<double> out;
        for (int i = 0; i < r.Rows(); ++i) out.push_back(r.Real(i, 0));
        return out;
    }
    int64_t RunEntries() {
        return db.Admin().Exec("SELECT count(*) FROM journal WHERE kind LIKE 'run%'").Int(0, 0);
    }
    std::string ServerImage() {
        TOtherBench now(db.Conninfo());
        return DataImage(now.Serum, now.Analytes);
    }
};

} // namespace

TEST_F(ServerRuns_, RunsAddedOnTwoBenchesFromOneStateAreEachStoredOnceInDateOrder) {
    SKIP_WITHOUT_SERVER(db);
    TOtherBench other(db.Conninfo());
    other.Add(MakeRun(1030.5, {5.0}));
    const int64_t entries = RunEntries();
    // This bench has not seen the other's run; its own is earlier, so the other's moves up one place.
    TOutcome out = ops.AcceptRun(Glucose(), Entered(1030.25, 5.02));
    ASSERT_TRUE(out.Ok()) << out.Message;
    ASSERT_EQ(out.Notes.size(), 1u);
    EXPECT_NE(out.Notes[0].find("Runs of other benches reached Glucose"), std::string::npos) << out.Notes[0];
    EXPECT_EQ(RunEntries(), entries + 1);
    const std::vector<double> times = ServerTimes();
    ASSERT_EQ(times.size(), 22u);
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
    EXPECT_EQ(times[20], 1030.25);
    EXPECT_EQ(times[21], 1030.5);
    // The bench shows what the server holds, limits computed from all of it.
    EXPECT_EQ(Glucose().Count(), 22);
    EXPECT_EQ(DataImage(ListSerum, ListAnalytes), ServerImage());
    // The other bench is told within a second and shows the same points and limits.
    bool told = false;
    for (int k = 0; k < 10 && !told; ++k) {
        told = other.Store.TakeNews().Any();
        pollfd p{other.Store.Socket(), POLLIN, 0};
        if (!told) ::poll(&p, 1, 100);
    }
    EXPECT_TRUE(told);
    other.Store.Reload(other.Serum, other.Analytes);
    EXPECT_EQ(DataImage(other.Serum, other.Analytes), DataImage(ListSerum, ListAnalytes));
    // The other bench adds again; so does this one, where the next run needs no merge.
    other.Add(MakeRun(1031, {4.98}));
    TOutcome next = ops.AcceptRun(Glucose(), Entered(1032, 5.01));
    ASSERT_TRUE(next.Ok()) << next.Message;
    ASSERT_TRUE(ops.AcceptRun(Glucose(), Entered(1033, 5.0)).Ok());
    EXPECT_EQ(ServerTimes().size(), 25u);
    EXPECT_EQ(DataImage(ListSerum, ListAnalytes), ServerImage());
    EXPECT_EQ(RunEntries(), entries + 3);
    // An import of runs meets the other bench's run the same way.
    other.Add(MakeRun(1034, {5.03}));
    TOutcome imported = ops.ImportRuns(Glucose(), {MakeRun(1033.5, {4.97}), MakeRun(1035, {5.0})});
    ASSERT_TRUE(imported.Changed()) << imported.Message;
    const std::vector<double> all = ServerTimes();
    EXPECT_EQ(all.size(), 28u);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
    EXPECT_EQ(DataImage(ListSerum, ListAnalytes), ServerImage());
}

TEST_F(ServerRuns_, ARunJudgedOtherwiseOnTheServersHistoryIsRefusedAndNothingIsStored) {
    SKIP_WITHOUT_SERVER(db);
    // Between the warning and the action limit: alone a 1:2s warning, after another such run 2:2s.
    const LevelStats& l = Glucose().Limits[0];
    const double high = static_cast<double>(l.Mean + (l.WarnDev + l.ActionDev) / 2);
    TOtherBench other(db.Conninfo());
    other.Add(MakeRun(1030.5, {high}));
    const int64_t entries = RunEntries();
    const TResu mine = Entered(1031, high);
    ASSERT_EQ(mine.Levels[0].State, psHighWarning);
    TOutcome out = ops.AcceptRun(Glucose(), mine);
    EXPECT_EQ(out.Status, TStatus::Refused);
    EXPECT_TRUE(out.Conflict());
    EXPECT_NE(out.Message.find("judged otherwise"), std::string::npos) << out.Message;
    EXPECT_NE(out.Message.find("2:2s"), std::string::npos) << out.Message;
    EXPECT_EQ(Glucose().Count(), 20);
    EXPECT_EQ(ServerTimes().size(), 21u);
    EXPECT_EQ(RunEntries(), entries);
    // Shown the server's history, the bench judges it there and stores it.
    ASSERT_TRUE(ops.PollServer().Ok());
    EXPECT_EQ(Glucose().Count(), 21);
    TOutcome again = ops.AcceptRun(Glucose(), Entered(1031, high));
    ASSERT_TRUE(again.Ok()) << again.Message;
    EXPECT_TRUE(again.Notes.empty());
    EXPECT_EQ(ServerTimes().size(), 22u);
    EXPECT_EQ(db.Admin().Exec("SELECT count(*) FROM journal WHERE after LIKE '%2:2s%'").Int(0, 0), 1);
}

// Two benches change the same thing of one analyte: the later is refused, nothing of it stored, and its
// message names both sides (what the bench wanted, what the server holds instead), so that the change is
// not lost unseen; the bench then shows the server's state.
TEST_F(ServerRuns_, AnEditConflictNamesWhatTheBenchWantedAndWhatTheServerHoldsAndKeepsTheLoser) {
    SKIP_WITHOUT_SERVER(db);
    struct TCase {
        const char* name;
        std::function<void(TAnalyte&)> other;
        std::function<TOutcome(TOperations&, TAnalyte&)> mine;
        const char* wanted;
        const char* holds;
    };
    const TCase cases[] = {
        {"the same point deleted and corrected", [](TAnalyte& a) { a.Points.erase(a.Points.begin() + 3); },
         [](TOperations& o, TAnalyte& a) {
             TResu taken;
             return o.TakePointForEdit(a, 3, taken, "typing error");
         },
         "the point of 1902-09-29 00:00 L1 5.10", "the point of 1902-09-29 00:00 L1 5.10"},
        {"limits locked on both",
         [](TAnalyte& a) {
             a.LimitMode[0] = lmFixed;
             a.Limits[0].Mean = 5;
             a.Limits[0].WarnDev = 0.2L;
             a.Limits[0].ActionDev = 0.3L;
         },
         [](TOperations& o, TAnalyte& a) {
             const TLimitState before = TLimitState::Of(a);
             a.LimitMode[0] = lmLocked;
             a.LockFirst[0] = 0;
             a.LockLast[0] = 9;
             a.RecalcAll();
             return o.SaveLimits(a, before, "new lot");
         },
         "L1 Locked limits 1902-09-26 00:00 to 1902-10-06 00:00", "L1 Fixed limits: mean 5"},
        {"the definition edited on both", [](TAnalyte& a) { a.Unit = "mg/dL"; },
         [](TOperations& o, TAnalyte& a) {
             return o.SetAnalyteOptions(a, static_cast<uint8_t>(a.Options ^ TAnalyte::OptCommonCV));
         },
         "common CV", "unit mg/dL"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(ops.PollServer().Ok());
        TOtherBench other(db.Conninfo());
        other.Change(c.other);
        const std::string server = ServerImage();
        const int64_t entries = db.Admin().Exec("SELECT count(*) FROM journal").Int(0, 0);
        const TOutcome out = c.mine(ops, Glucose());
        EXPECT_EQ(out.Status, TStatus::Refused);
        EXPECT_EQ(out.Refusal, TRefusal::Conflict);
        const size_t wanted = out.Message.find("This bench wanted: "),
                     holds = out.Message.find("The server holds instead: ");
        ASSERT_NE(wanted, std::string::npos) << out.Message;
        ASSERT_NE(holds, std::string::npos) << out.Message;
        EXPECT_NE(out.Message.substr(wanted, holds - wanted).find(c.wanted), std::string::npos)
            << out.Message;
        EXPECT_NE(out.Message.find(c.holds, holds), std::string::npos) << out.Message;
        EXPECT_EQ(ServerImage(), server);
        // The lost edit is kept in the journal, both sides named, and nothing else is written.
        const TPgResult kept =
            db.Admin().Exec("SELECT kind, analyte, before, after FROM journal WHERE id > $1 ORDER BY id",
                            {std::to_string(entries)});
        ASSERT_EQ(kept.Rows(), 1);
        EXPECT_EQ(kept.Text(0, 0), jk::EditRefused);
        EXPECT_EQ(kept.Text(0, 1), "Glucose");
        EXPECT_NE(kept.Text(0, 2).find(c.holds), std::string::npos) << kept.Text(0, 2);
        EXPECT_NE(kept.Text(0, 3).find(c.wanted), std::string::npos) << kept.Text(0, 3);
        ASSERT_TRUE(ops.PollServer().Ok());
        EXPECT_EQ(DataImage(ListSerum, ListAnalytes), server);
    }
}

// A run added after another bench changed more than runs (the unit, a point deleted, a run with a comment) is
// stored among what the server holds all the same: the bench then shows exactly the server's state.
TEST_F(ServerRuns_, ARunAddedAfterAnotherBenchsEditMeetsTheServersWholeState) {
    SKIP_WITHOUT_SERVER(db);
    const std::function<void(TAnalyte&)> others[] = {
        [](TAnalyte& a) { a.Unit = "mg/dL"; },
        [](TAnalyte& a) { a.DeletePoint(2); },
        [](TAnalyte& a) {
            TResu r = MakeRun(1030.5, {5.0});
            r.Comment = "new lot";
            a.ClassifyRun(r.Levels);
            a.AddPoint(r);
        },
        [](TAnalyte& a) { a.AddPoint(MakeRun(1000.5, {5.02})); },
    };
    double at = 1040;
    for (const auto& change : others) {
        TOtherBench other(db.Conninfo());
        other.Change(change);
        const int count = static_cast<int>(ServerTimes().size());
        TOutcome out = ops.AcceptRun(Glucose(), Entered(at += 1, 5.01));
        ASSERT_TRUE(out.Ok()) << out.Message;
        EXPECT_EQ(static_cast<int>(ServerTimes().size()), count + 1);
        EXPECT_EQ(DataImage(ListSerum, ListAnalytes), ServerImage());
    }
    EXPECT_EQ(Glucose().Unit, "mg/dL");
}
