// The operations layer: every change written when it returns, nothing changed by a failed write, the
// order of writes, the current analyte's handle, the notification, and the folder's files and modes.
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UArchive.h"
#include "UAtomicFile.h"
#include "UCompatibilityDrovanta.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UImportText.h"
#include "UJournal.h"
#include "UJournalTexts.h"

namespace {
namespace fs = std::filesystem;

class Operations_ : public ::testing::Test {
protected:
    TOpenFolder folder;
    TOperations& ops = Operations();
    void SetUp() override {
        RandomSeed(11);
        BuildSampleData();
        Fifo.ClearQueue(); // one held run, below
        WriteAllData(ops);
        ASSERT_TRUE(ops.HoldRun(MakeHeld("Glucose", 2000.5)).Ok());
        ASSERT_TRUE(ops.SetOperators({"AB", "CD"}).Ok());
    }
    void TearDown() override { WriteFaults() = {}; }

    static TResu MakeHeld(const std::string& analyte, TDateTime dt) {
        TResu r = MakeRun(dt, {3.1, 5.2, 12.4}, "held", "OP");
        r.AnalyteName = analyte;
        return r;
    }
    TAnalyte& Glucose() { return *ListAnalytes.FindByName("Glucose"); }
    // Everything the layer keeps, in memory and on disk.
    struct TState {
        std::string data, queue, settings, fileData, fileQueue, fileSettings;
        std::vector<std::string> files;
        bool operator==(const TState&) const = default;
    };
    TState State() const {
        TState s;
        s.data = DataImage(ListSerum, ListAnalytes);
        s.queue = QueueImage(Fifo.Entries());
        s.settings = SettingsImage(Settings, Operators);
        auto read = [](const std::string& p) {
            return FileExists(p) ? ReadWholeFile(p) : std::string("<none>");
        };
        s.fileData = read(DataFileName());
        s.fileQueue = read(QueueFileName());
        s.fileSettings = read(SettingsFileName());
        for (const auto& e : fs::directory_iterator(folder.Path()))
            if (e.path().extension() != ".db-wal" && e.path().extension() != ".db-shm")
                s.files.push_back(e.path().filename());
        std::sort(s.files.begin(), s.files.end());
        return s;
    }
};

} // namespace

// Each operation has written what it changed when it returns: the files read back give the memory.
TEST_F(Operations_, EveryChangeIsOnDiskWhenTheOperationReturns) {
    TAnalyte& g = Glucose();
    const int before = g.Count();
    int index = -1;
    ASSERT_TRUE(ops.AcceptRun(g, MakeRun(Today() + 3, {3, 5, 12}), &index).Ok());
    ASSERT_TRUE(ops.AddRandomRuns(g, 3, g.Points[0].Levels, g.Points[0].Levels, Today() + 10, false).Ok());
    ASSERT_TRUE(ops.DeletePoints(g, {0}, "duplicate").Ok());
    g.LimitMode[1] = lmFixed;
    g.Limits[1].Mean = 5;
    ASSERT_TRUE(ops.SaveLimits(g, TLimitState::Of(g)).Ok());
    ASSERT_TRUE(ops.ChangeSettings([](TSettings& s) { s.BackupInterval = 30; }).Ok());
    EXPECT_EQ(g.Count(), before + 3);
    EXPECT_TRUE(ReadWholeFile(DataFileName()) == DataImage(ListSerum, ListAnalytes));
    EXPECT_TRUE(ReadWholeFile(QueueFileName()) == QueueImage(Fifo.Entries()));
    TSettings read;
    std::vector<std::string> ops_;
    ASSERT_TRUE(ParseSettingsImage(ReadWholeFile(SettingsFileName()), read, ops_));
    EXPECT_EQ(read.BackupInterval, 30);
    EXPECT_EQ(ops_, (std::vector<std::string>{"AB", "CD"}));
}

// A write that fails changes nothing: neither the memory nor any file, for every operation.
TEST_F(Operations_, AFailedWriteChangesNothingInMemoryOrOnDisk) {
    // A predecessor file with two analytes, from the fuzz target's seeds.
    const std::string pred = folder.File("old.dat");
    AtomicWriteFile(pred, ReadWholeFile(std::string(VARNHOLT_TEST_DATA) +
                                        "/../../fuzz/corpus/fuzz_predecessor/two_analytes.dat"));
    const std::string media = folder.File("media/");
    fs::create_directory(media);
    ASSERT_TRUE(ops.Backup(media).Ok());
    ASSERT_TRUE(ops.EraseLevels(Glucose(), {false, false, true}).Ok());
    const int32_t archive = Glucose().ArchiveNumbers.back();

    TMaterialEdit materials;
    for (const TSerum& s : ListSerum.Items) materials.Lines.push_back({s.Id, s.Name, s.Lot + "X", s.Id == 0});
    TAnalyteEdit analytes;
    for (const auto& a : ListAnalytes.Items) analytes.Lines.push_back({a->Uid, a->Name + "2", a->Unit, 1, 3});
    analytes.Deleted.push_back(ListAnalytes[1].Uid);
    TLevelValues means = Glucose().Points[0].Levels;
    const std::vector<std::pair<const char*, std::function<TOutcome()>>> operations = {
        {"accept",
         [&] {
             return ops.AcceptRun(Glucose(), MakeRun(Today() + 1, {3, 5, 12}));
         }},
        {"hold", [&] { return ops.HoldRun(MakeHeld("Glucose", 2001)); }},
        {"recall",
         [&] {
             TAnalyte* a = nullptr;
             TResu r;
             ops.RecallRun(a, r);
             return ops.ConcludeRecall(*a, r, true);
         }},
        {"hold again",
         [&] {
             TAnalyte* a = nullptr;
             TResu r;
             ops.RecallRun(a, r);
             return ops.ConcludeRecall(*a, r, false);
         }},
        {"import",
         [&] {
             return ops.ImportRuns(Glucose(), {MakeRun(Today() + 2, {1, 2, 3})});
         }},
        {"random", [&] { return ops.AddRandomRuns(Glucose(), 2, means, means, Today() + 5, false); }},
        {"random queue", [&] { return ops.AddRandomRuns(Glucose(), 2, means, means, Today() + 5, true); }},
        {"delete",
         [&] {
             return ops.DeletePoints(Glucose(), {1, 1}, "duplicate");
         }},
        {"edit",
         [&] {
             TResu r;
             return ops.TakePointForEdit(Glucose(), 2, r, "typing error");
         }},
        {"options", [&] { return ops.SetAnalyteOptions(Glucose(), 0); }},
        {"erase",
         [&] {
             return ops.EraseLevels(Glucose(), {true, false, false});
         }},
        {"delete archive", [&] { return ops.DeleteArchives(Glucose(), {archive}, "obsolete"); }},
        {"materials", [&] { return ops.ApplyMaterials(materials, "new lot"); }},
        {"assign",
         [&] {
             return ops.ApplyAssignment(Glucose(), {2, 1, 0}, true);
         }},
        {"risk rows",
         [&] { return ops.ChangeSettings([](TSettings& s) { s.ActionRow = s.ActionRow == 4 ? 2 : 4; }); }},
        {"limits tried on a copy",
         [&] {
             TAnalyte copy = Glucose();
             copy.LimitMode[0] = copy.LimitMode[0] == lmFixed ? lmMobile : lmFixed;
             copy.Limits[0].Mean = 4;
             copy.Limits[0].ActionDev = 1;
             return ops.ApplyLimits(Glucose(), TLimitState::Of(copy));
         }},
        {"analytes", [&] { return ops.ApplyAnalyteEdit(analytes); }},
        {"operators", [&] { return ops.SetOperators({"XY"}); }},
        {"settings", [&] { return ops.ChangeSettings([](TSettings& s) { s.Password = "NEW"; }); }},
        {"predecessor", [&] { return ops.ImportPredecessor(pred); }},
        {"restore", [&] { return ops.Restore(media); }},
        {"clear queue", [&] { return ops.ClearQueue(); }},
    };
    for (TWriteStep step : {TWriteStep::Open, TWriteStep::Write, TWriteStep::Rename}) {
        for (const auto& [name, run] : operations) {
            const TState before = State();
            WriteFaults() = {true, step, 10};
            TOutcome out = run();
            WriteFaults() = {};
            EXPECT_EQ(out.Status, TStatus::Refused) << name;
            EXPECT_FALSE(out.Message.empty()) << name;
            EXPECT_TRUE(State() == before) << name << ": something changed";
        }
    }
    // And each works once the disk does.
    for (const auto& [name, run] : operations) {
        TOutcome out = run();
        EXPECT_TRUE(out.Changed()) << name << ": " << out.Message;
    }
}

// An archive file is written before the data file names it, and goes again when that write fails, so
// no archive is left unlisted and no number is taken twice.
TEST_F(Operations_, ArchivesComeBeforeAndGoAfterTheDataFileNamesThem) {
    TAnalyte& g = Glucose();
    WriteFaults() = {true, TWriteStep::Rename, 0, "Varnholt.qcf"};
    EXPECT_EQ(ops.EraseLevels(g, {true, true, false}).Status, TStatus::Refused);
    WriteFaults() = {};
    EXPECT_FALSE(FileExists(ArchiveFileName(1)));
    EXPECT_FALSE(FileExists(ArchiveFileName(2)));
    std::vector<int32_t> numbers;
    ASSERT_TRUE(ops.EraseLevels(g, {true, true, false}, &numbers).Ok());
    EXPECT_EQ(numbers, (std::vector<int32_t>{1, 2}));
    // The data file names them now.
    {
        TListSerum serum;
        TListAnalytes read;
        ParseDataImage(ReadWholeFile(DataFileName()), serum, read);
        EXPECT_EQ(read.FindByName("Glucose")->ArchiveNumbers, numbers);
    }
    // Deleted: the data file stops naming the archive first, then its file goes.
    ASSERT_TRUE(ops.DeleteArchives(g, {1}, "obsolete").Ok());
    EXPECT_FALSE(FileExists(ArchiveFileName(1)));
    EXPECT_EQ(g.ArchiveNumbers, std::vector<int32_t>{2});
    // A deleted analyte's archives go once the data file no longer holds it.
    TAnalyteEdit edit;
    for (const auto& a : ListAnalytes.Items)
        edit.Lines.push_back({a->Uid, a->Name, a->Unit, a->Decimals, a->NbLevels});
    edit.Deleted.push_back(g.Uid);
    ASSERT_TRUE(ops.ApplyAnalyteEdit(edit).Ok());
    EXPECT_FALSE(FileExists(ArchiveFileName(2)));
    EXPECT_EQ(ListAnalytes.FindByName("Glucose"), nullptr);
}

// The recall's run enters the data file first; when the queue write then fails the run is not lost,
// and the next start lets it go from the queue with the recall's entry, without adding it twice.
TEST_F(Operations_, ARecallWhoseQueueWriteFailedIsSettledAtTheNextStart) {
    TJournalFilter recalls;
    recalls.Kind = jk::RunRecalled;
    TAnalyte* a = nullptr;
    TResu run;
    ASSERT_EQ(Fifo.Count(), 1);
    ASSERT_TRUE(ops.RecallRun(a, run).Ok());
    const int before = a->Count();
    const size_t entries = ops.Journal(recalls).size();
    WriteFaults() = {true, TWriteStep::Rename, 0, "Varnholt.fif"};
    TOutcome out = ops.ConcludeRecall(*a, run, true);
    WriteFaults() = {};
    EXPECT_EQ(out.Status, TStatus::Partial) << out.Message;
    EXPECT_EQ(a->Count(), before + 1);
    ASSERT_EQ(ParseQueueImage(ReadWholeFile(QueueFileName())).size(), 1u) << "still held on disk";
    folder.Reopen();
    EXPECT_EQ(Glucose().Count(), before + 1);
    EXPECT_EQ(Fifo.Count(), 0);
    EXPECT_TRUE(ParseQueueImage(ReadWholeFile(QueueFileName())).empty());
    ASSERT_EQ(ops.Journal(recalls).size(), entries + 1);
    EXPECT_EQ(ops.Journal(recalls).back().After, "accepted; left the queue");
    EXPECT_TRUE(ops.CheckJournal().Whole);
    // A later start has nothing more to settle.
    folder.Reopen();
    EXPECT_EQ(ops.Journal(recalls).size(), entries + 1);
}

// A point taken out for correction is kept in the database until it is entered again: a crash in
// between puts it in the queue at the next start; one never taken out of the data file is not doubled.
TEST_F(Operations_, APointTakenForCorrectionSurvivesACrash) {
    ASSERT_TRUE(ops.ClearQueue().Ok());
    TResu taken;
    ASSERT_TRUE(ops.TakePointForEdit(Glucose(), 3, taken, "typing error").Ok());
    const int count = Glucose().Count();
    TOpenReport report = folder.Reopen(); // no DropPointInEdit: the program ended there
    ASSERT_EQ(Fifo.Count(), 1);
    EXPECT_EQ(Fifo.Entries()[0].DateTime, taken.DateTime);
    EXPECT_EQ(Glucose().Count(), count);
    ASSERT_EQ(report.Notes.size(), 1u);
    EXPECT_TRUE(folder.Reopen().Notes.empty()) << "recovered once";
    // Entered again: nothing left to recover.
    ASSERT_TRUE(ops.TakePointForEdit(Glucose(), 3, taken, "typing error").Ok());
    ASSERT_TRUE(ops.AcceptRun(Glucose(), taken).Ok());
    ops.DropPointInEdit();
    EXPECT_TRUE(folder.Reopen().Notes.empty());
    EXPECT_EQ(Fifo.Count(), 1);
}

// The current analyte is a handle: whatever replaces the list, it never dangles.
TEST_F(Operations_, TheCurrentAnalyteSurvivesEveryReplacementOfTheList) {
    std::vector<TChange> told;
    int id = ops.Subscribe([&](const TChange& c) { told.push_back(c); });
    ops.SetCurrent(&ListAnalytes[1]);
    EXPECT_EQ(ops.Current()->Name, "Calcium");
    TAnalyteEdit edit;
    for (const auto& a : ListAnalytes.Items)
        edit.Lines.push_back({a->Uid, a->Name, a->Unit, a->Decimals, a->NbLevels});
    std::swap(edit.Lines[0], edit.Lines[1]);
    ASSERT_TRUE(ops.ApplyAnalyteEdit(edit).Ok());
    EXPECT_EQ(ops.Current()->Name, "Calcium") << "found again after the reordering";
    EXPECT_EQ(&ListAnalytes[0], ops.Current());
    edit.Lines.erase(edit.Lines.begin());
    edit.Deleted.push_back(ops.Current()->Uid);
    ASSERT_TRUE(ops.ApplyAnalyteEdit(edit).Ok());
    EXPECT_EQ(ops.Current(), &ListAnalytes[0]) << "the first analyte once it is gone";
    ASSERT_FALSE(told.empty());
    EXPECT_TRUE(told.back().Kinds & ckAnalytes);
    ops.Unsubscribe(id);
    const size_t heard = told.size();
    ops.AcceptRun(ListAnalytes[0], MakeRun(Today() + 1, {1, 2, 3}));
    EXPECT_EQ(told.size(), heard) << "no call after leaving";
}

// Other rows of the t table change the limits of every analyte, not only of the one on screen, and a
// page's limits tried on a copy reach the analyte only through the layer.
TEST_F(Operations_, RiskRowsAndLimitsTriedOnACopyReachEveryAnalyteThroughTheLayer) {
    std::vector<TChange> told;
    int id = ops.Subscribe([&](const TChange& c) { told.push_back(c); });
    ASSERT_TRUE(ops.ChangeSettings([](TSettings& s) { s.ActionRow = 2; }).Ok());
    ASSERT_FALSE(told.empty());
    EXPECT_TRUE(told.back().Kinds & ckPoints);
    EXPECT_EQ(told.back().Analyte, TAnalyteId{0}) << "every analyte";
    for (int i = 0; i < ListAnalytes.Count(); ++i) {
        TAnalyte again = ListAnalytes[i];
        again.RecalcAll(TRiskRows{Settings.AlertRow, 2});
        for (int k = 0; k < again.NbLevels; ++k)
            EXPECT_EQ(ListAnalytes[i].Limits[k].ActionDev, again.Limits[k].ActionDev) << ListAnalytes[i].Name;
    }
    told.clear();
    ASSERT_TRUE(ops.ChangeSettings([](TSettings& s) { s.BackupInterval = 12; }).Ok());
    ASSERT_EQ(told.size(), size_t(1));
    EXPECT_FALSE(told.back().Kinds & ckPoints) << "other settings leave the limits alone";

    TAnalyte& g = Glucose();
    const TLimitState was = TLimitState::Of(g);
    TAnalyte trial = g;
    trial.LimitMode[1] = lmFixed;
    trial.Limits[1].Mean = 5;
    trial.Limits[1].WarnDev = 0.2L;
    trial.Limits[1].ActionDev = 0.3L;
    trial.RecalcAll();
    EXPECT_EQ(g.LimitMode[1], was.Mode[1]) << "the trial is a copy";
    EXPECT_NE(was.Mode[1], lmFixed);
    ASSERT_TRUE(ops.ApplyLimits(g, TLimitState::Of(trial)).Ok());
    EXPECT_EQ(g.LimitMode[1], lmFixed);
    EXPECT_EQ(g.Limits[1].Mean, 5);
    EXPECT_TRUE(ReadWholeFile(DataFileName()) == DataImage(ListSerum, ListAnalytes));

    // The validation window's multirule switch reaches the analyte with its run, journaled.
    const bool multirules = g.MultirulesOn();
    TRunNote note;
    note.Multirules = !multirules;
    ASSERT_TRUE(ops.AcceptRun(g, MakeRun(Today() + 2, {3, 5, 12}), nullptr, note).Ok());
    EXPECT_NE(g.MultirulesOn(), multirules);
    const std::vector<TJournalEntry> entries = ops.Journal({});
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [&](const TJournalEntry& e) {
        return e.Kind == jk::OptionsChanged && e.Analyte == g.Name && e.After == OptionsText(g.Options) &&
               e.Before == OptionsText(g.Options ^ TAnalyte::OptMultirules);
    }));
    ops.Unsubscribe(id);
}

// Values of levels the analyte does not use are dropped, and runs left without a value skipped.
TEST_F(Operations_, ImportTakesOnlyTheLevelsInUse) {
    TAnalyte& calcium = *ListAnalytes.FindByName("Calcium"); // two levels
    const int before = calcium.Count();
    TImportText parsed = ParseImportText("03/09/2026\t08:00:00\t2.4\t2.6\t9.9\r\n"
                                         "\r\n"
                                         "04/09/2026\t08:00:00\t\t\t9.9\r\n",
                                         calcium.Decimals, calcium.NbLevels);
    TImportCount count;
    ASSERT_TRUE(ops.ImportRuns(calcium, parsed.Runs, &count).Ok());
    EXPECT_EQ(count.Added, 1);
    EXPECT_EQ(count.Skipped, 1);
    ASSERT_EQ(calcium.Count(), before + 1);
    for (const ControlPoint& p : calcium.Points) EXPECT_EQ(p.Levels[2].State, psEmpty);
}

// Files of a killed save are removed when the folder is taken; nothing else is.
TEST_F(Operations_, LeftoversOfAKilledSaveAreRemovedAtTheNextStart) {
    const std::vector<std::string> leftovers = {"Varnholt.qcf.tmp-123-0a1b2c3d",
                                                "QC000004.qca.tmp-9-ffffffff"};
    const std::vector<std::string> kept = {"Varnholt.qcf.tmp-123", "notes.tmp-1-0a1b2c3", "mine.txt"};
    for (const auto& n : leftovers) AtomicWriteFile(folder.File(n), "x");
    for (const auto& n : kept) AtomicWriteFile(folder.File(n), "x");
    folder.Reopen();
    for (const auto& n : leftovers) EXPECT_FALSE(FileExists(folder.File(n))) << n;
    for (const auto& n : kept) EXPECT_TRUE(FileExists(folder.File(n))) << n;
    // Reading takes no lock and removes nothing.
    AtomicWriteFile(folder.File(leftovers[0]), "x");
    folder.Reopen(TOpenMode::Reader);
    EXPECT_TRUE(FileExists(folder.File(leftovers[0])));
}

// New files honour the umask (a group-shared folder gets group-writable files, the settings file none
// for others); a replaced file keeps its mode; a symbolic link stays a link, its target updated.
TEST_F(Operations_, ModesOfNewAndReplacedFilesAndLinks) {
    auto mode = [](const std::string& p) {
        struct stat st;
        return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 0777 : 0u;
    };
    mode_t old = ::umask(002);
    fs::remove(DataFileName());
    fs::remove(SettingsFileName());
    ASSERT_TRUE(ops.AcceptRun(Glucose(), MakeRun(Today() + 1, {1, 2, 3})).Ok());
    ASSERT_TRUE(ops.SetOperators({"EF"}).Ok());
    EXPECT_EQ(mode(DataFileName()), 0664u);
    EXPECT_EQ(mode(SettingsFileName()), 0660u);
    ::umask(old);
    fs::permissions(DataFileName(), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(ops.AcceptRun(Glucose(), MakeRun(Today() + 2, {1, 2, 3})).Ok());
    EXPECT_EQ(mode(DataFileName()), 0600u);

    const std::string target = folder.File("elsewhere.qcf");
    fs::rename(DataFileName(), target);
    fs::create_symlink(target, DataFileName());
    ASSERT_TRUE(ops.AcceptRun(Glucose(), MakeRun(Today() + 3, {1, 2, 3})).Ok());
    EXPECT_TRUE(fs::is_symlink(DataFileName()));
    EXPECT_TRUE(ReadWholeFile(target) == DataImage(ListSerum, ListAnalytes));
}

// Damaged files are kept aside and named at the start; the settings' loss is said in words.
TEST_F(Operations_, DamagedSettingsAndDatabaseAreKeptAsideAndNamed) {
    const std::string settings = ReadWholeFile(SettingsFileName());
    AtomicWriteFile(SettingsFileName(), settings.substr(0, 20));
    TOpenReport report = folder.Reopen();
    ASSERT_EQ(report.Notes.size(), 1u);
    EXPECT_NE(report.Notes[0].find("The damaged settings file was kept as"), std::string::npos);
    EXPECT_NE(report.Notes[0].find("password, the operators and the backup folder"), std::string::npos);
    EXPECT_TRUE(Operators.empty());
    EXPECT_FALSE(report.FirstRun);

    ops.Close();
    AtomicWriteFile(folder.File("Varnholt.db"), std::string(4096, 'x'));
    report = folder.Reopen();
    ASSERT_EQ(report.Notes.size(), 1u) << report.Notes[0];
    EXPECT_NE(report.Notes[0].find("The damaged database was kept as"), std::string::npos);
    EXPECT_TRUE(ops.Database().IsOpen());
    EXPECT_TRUE(ListAnalytes.Count() > 0) << "the data is read as ever";
}

// A database written by a newer program is not changed, and without it no change goes unjournaled:
// the data is read, and a change is refused with the reason.
TEST_F(Operations_, ANewerDatabaseIsNotTouchedAndChangesAreRefused) {
    ops.Database().Exec("INSERT INTO schema(part, version) VALUES('later', 1)");
    ops.Close();
    const std::string bytes = ReadWholeFile(folder.File("Varnholt.db"));
    const std::string data = ReadWholeFile(DataFileName());
    auto queue = [] { return FileExists(QueueFileName()) ? ReadWholeFile(QueueFileName()) : ""; };
    const std::string held = queue();
    TOpenReport report = folder.Reopen();
    ASSERT_EQ(report.Notes.size(), 1u);
    EXPECT_NE(report.Notes[0].find("newer Varnholt"), std::string::npos);
    EXPECT_FALSE(ops.Database().IsOpen());
    const int count = Glucose().Count();
    TOutcome out = ops.AcceptRun(Glucose(), MakeRun(Today() + 1, {1, 2, 3}));
    EXPECT_EQ(out.Status, TStatus::Refused);
    EXPECT_NE(out.Message.find("the journal could not be written"), std::string::npos) << out.Message;
    EXPECT_NE(out.Message.find("newer Varnholt"), std::string::npos) << out.Message;
    EXPECT_EQ(Glucose().Count(), count);
    EXPECT_EQ(ops.HoldRun(MakeRun(Today() + 2, {1, 2, 3})).Status, TStatus::Refused);
    EXPECT_EQ(ops.EraseLevels(Glucose(), {true, false, false}).Status, TStatus::Refused);
    EXPECT_FALSE(FileExists(ArchiveFileName(1)));
    ops.Close();
    EXPECT_TRUE(ReadWholeFile(folder.File("Varnholt.db")) == bytes);
    EXPECT_TRUE(ReadWholeFile(DataFileName()) == data);
    EXPECT_TRUE(queue() == held);
}

// A database whose log is a planted link cannot be opened: the change is refused, not made unjournaled.
TEST_F(Operations_, ADatabaseThatCannotBeOpenedRefusesChanges) {
    ops.Close();
    fs::create_symlink(folder.File("elsewhere"), folder.File("Varnholt.db-wal"));
    const std::string data = ReadWholeFile(DataFileName());
    folder.Reopen();
    EXPECT_FALSE(ops.Database().IsOpen());
    TOutcome out = ops.AcceptRun(Glucose(), MakeRun(Today() + 1, {1, 2, 3}));
    EXPECT_EQ(out.Status, TStatus::Refused);
    EXPECT_NE(out.Message.find("the journal could not be written"), std::string::npos) << out.Message;
    ops.Close();
    EXPECT_TRUE(ReadWholeFile(DataFileName()) == data);
    EXPECT_FALSE(fs::exists(folder.File("elsewhere")));
}

// A data file that is not the one the program last wrote is named at the start.
TEST_F(Operations_, ADataFileChangedOutsideIsNamed) {
    EXPECT_TRUE(folder.Reopen().Notes.empty());
    std::string bytes = ReadWholeFile(DataFileName());
    bytes[bytes.size() / 2] ^= 1;
    AtomicWriteFile(DataFileName(), bytes);
    TOpenReport report = folder.Reopen();
    bool named = false;
    for (const std::string& n : report.Notes)
        named |= n.find("changed outside Varnholt, or damaged") != std::string::npos;
    EXPECT_TRUE(named || report.DataUnreadable);
}

// Before 1 January 1900 the stored day count runs against the time of day: such a run is refused,
// accepted or held, with everything left as it was.
TEST_F(Operations_, RunsBeforeTheEarliestDateAreRefused) {
    const TState before = State();
    for (TDateTime day : {EncodeDate(1899, 2, 28), EncodeDate(1899, 12, 31) + 0.5, -0.0}) {
        TOutcome accepted = ops.AcceptRun(Glucose(), MakeHeld("Glucose", day));
        EXPECT_EQ(accepted.Status, TStatus::Refused) << day;
        EXPECT_EQ(accepted.Message, "Runs before 1 January 1900 cannot be stored");
        EXPECT_EQ(ops.HoldRun(MakeHeld("Glucose", day)).Status, TStatus::Refused) << day;
    }
    EXPECT_TRUE(State() == before);
    EXPECT_TRUE(ops.AcceptRun(Glucose(), MakeHeld("Glucose", EncodeDate(1900, 1, 1))).Ok());
}

// A conflict is told by the outcome's kind, never by its text: a refusal that names an analyte called
// "... on another bench" is no conflict, and a conflict stays one whatever language its message is in.
TEST_F(Operations_, AConflictIsAKindNotAText) {
    TQualityGoal goal;
    goal.Analyte = "Changed on another bench";
    goal.TEa = 10;
    TOutcome unknown = ops.SetGoal(goal);
    ASSERT_EQ(unknown.Status, TStatus::Refused);
    EXPECT_NE(unknown.Message.find("on another bench"), std::string::npos) << unknown.Message;
    EXPECT_FALSE(unknown.Conflict());
    EXPECT_TRUE(
        TOutcome::FromError(EServerConflict("Glucose wurde an einem anderen Platz geändert")).Conflict());
    // A conflict in a later step of a saved change leaves the change saved: not a refusal to repeat.
    EXPECT_FALSE(TOutcome::FromError(EServerConflict("x"), TStatus::Partial).Conflict());
}
