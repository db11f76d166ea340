// Backup to and restore from the backup folder through the operations layer: rotation, failures at
// every step that keep earlier backups, backups that never shrink unasked, the newest complete backup.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"

namespace {
class Backup : public ::testing::Test {
protected:
    TOpenFolder folder;
    std::string media;
    void SetUp() override {
        media = folder.File("media/");
        std::filesystem::create_directory(media);
        RandomSeed(3);
        BuildSampleData();
        Fifo.ClearQueue();
        WriteAllData();
    }
    void TearDown() override { WriteFaults() = {}; }
    static std::string Image() { return DataImage(ListSerum, ListAnalytes); }
    static std::string Bytes(const std::string& path) {
        return FileExists(path) ? ReadWholeFile(path) : "<none>";
    }
    // The lists a data file image gives, as an image again (the reader recomputes the statistics).
    static std::string Reread(const std::string& image) {
        TListSerum serum;
        TListAnalytes analytes;
        ParseDataImage(image, serum, analytes);
        return DataImage(serum, analytes);
    }
    TOutcome Add(TDateTime day) { return Operations().AcceptRun(ListAnalytes[0], MakeRun(day, {3, 5, 12})); }
};
} // namespace

TEST_F(Backup, TwoBackupsLeaveTheFirstAsOldAndTheSecondAsSav) {
    Settings.LastBackup = 1;
    ASSERT_TRUE(Operations().Backup(media).Ok());
    const std::string first = Image();
    EXPECT_TRUE(Bytes(BackupFileName(media)) == first);
    EXPECT_EQ(Settings.LastBackup, Today());
    EXPECT_TRUE(TDatabase::LooksLikeDatabase(media + "Varnholt.db.Sav"))
        << "the database travels with the data";
    ASSERT_TRUE(Add(Today() + 1).Ok());
    ASSERT_TRUE(Operations().Backup(media).Ok());
    EXPECT_TRUE(Bytes(OldBackupFileName(media)) == first);
    EXPECT_TRUE(Bytes(BackupFileName(media)) == Image());
    EXPECT_FALSE(FileExists(TempBackupFileName(media)));
    // The date of the backup is in the settings file at once.
    TSettings read;
    std::vector<std::string> ops;
    ASSERT_TRUE(ParseSettingsImage(ReadWholeFile(SettingsFileName()), read, ops));
    EXPECT_EQ(read.LastBackup, Today());
}

// A failure at any step, of the temporary file or of either rename, leaves both earlier generations as
// they were, and the date of the last backup unchanged; nothing is left behind. A retry then works.
TEST_F(Backup, FailureAtEveryStepKeepsEarlierBackups) {
    ASSERT_TRUE(Operations().Backup(media).Ok());
    ASSERT_TRUE(Add(Today() + 1).Ok());
    ASSERT_TRUE(Operations().Backup(media).Ok());
    const std::string sav = Bytes(BackupFileName(media)), old = Bytes(OldBackupFileName(media));
    ASSERT_TRUE(Add(Today() + 2).Ok());
    for (TWriteStep step : {TWriteStep::Open, TWriteStep::Write, TWriteStep::Sync, TWriteStep::Rename}) {
        Settings.LastBackup = 1;
        WriteFaults() = {true, step, 100, "Varnholt.tmp"};
        TOutcome out = Operations().Backup(media);
        WriteFaults() = {};
        EXPECT_EQ(out.Status, TStatus::Refused);
        EXPECT_NE(out.Message.find("Varnholt.tmp"), std::string::npos) << out.Message;
        EXPECT_TRUE(Bytes(BackupFileName(media)) == sav);
        EXPECT_TRUE(Bytes(OldBackupFileName(media)) == old);
        EXPECT_FALSE(FileExists(TempBackupFileName(media)));
        EXPECT_EQ(Settings.LastBackup, 1);
    }
    // The rename of the new generation over ".Sav" fails: a folder of that name stands in its way.
    std::filesystem::rename(BackupFileName(media), folder.File("aside"));
    std::filesystem::create_directory(BackupFileName(media));
    std::filesystem::create_directory(BackupFileName(media) + "/blocker");
    EXPECT_EQ(Operations().Backup(media).Status, TStatus::Refused);
    EXPECT_TRUE(Bytes(OldBackupFileName(media)) == old);
    std::filesystem::remove_all(BackupFileName(media));
    std::filesystem::rename(folder.File("aside"), BackupFileName(media));

    ASSERT_TRUE(Operations().Backup(media).Ok());
    EXPECT_TRUE(Bytes(OldBackupFileName(media)) == sav);
    EXPECT_TRUE(Bytes(BackupFileName(media)) == Image());
}

// Either rename of the rotation failing leaves both earlier generations as they were, on a file system
// with hard links and on one without (FAT media); the next backup then rotates normally.
TEST_F(Backup, FailedRenameOfTheRotationKeepsBothGenerations) {
    ASSERT_TRUE(Operations().Backup(media).Ok());
    ASSERT_TRUE(Add(Today() + 1).Ok());
    ASSERT_TRUE(Operations().Backup(media).Ok());
    struct Case {
        bool links;
        const char* failing; // the rename whose target ends so
    } cases[] = {{true, "Varnholt.Sav"},
                 {false, "Varnholt.Old.prev"},
                 {false, "Varnholt.Old"},
                 {false, "Varnholt.Sav"}};
    int day = 2;
    for (const Case& c : cases) {
        const std::string sav = Bytes(BackupFileName(media)), old = Bytes(OldBackupFileName(media));
        ASSERT_TRUE(Add(Today() + day++).Ok());
        WriteFaults() = {true, TWriteStep::Rename, 0, c.failing, !c.links, 1};
        TOutcome out = Operations().Backup(media);
        WriteFaults() = {};
        EXPECT_EQ(out.Status, TStatus::Refused) << c.failing;
        EXPECT_TRUE(Bytes(BackupFileName(media)) == sav) << c.failing;
        EXPECT_TRUE(Bytes(OldBackupFileName(media)) == old) << c.failing;
        for (const char* leftover : {"Varnholt.tmp", "Varnholt.Old.next", "Varnholt.Old.prev"})
            EXPECT_FALSE(FileExists(media + leftover)) << c.failing << " left " << leftover;
        WriteFaults() = {true, TWriteStep::Open, 0, "no such file", !c.links};
        ASSERT_TRUE(Operations().Backup(media).Ok());
        WriteFaults() = {};
        EXPECT_TRUE(Bytes(OldBackupFileName(media)) == sav);
        EXPECT_TRUE(Bytes(BackupFileName(media)) == Image());
    }
}

// A backup never replaces one holding more runs unless asked to; the refusal names both counts.
TEST_F(Backup, SmallerDataNeverReplacesALargerBackupUnasked) {
    ASSERT_TRUE(Operations().Backup(media).Ok());
    const std::string full = Bytes(BackupFileName(media));
    const int64_t runs = Operations().PlanBackup(media).RunsInData;
    ASSERT_TRUE(Operations().DeletePoints(ListAnalytes[0], {0, 0}, "test").Ok());
    TBackupPlan plan = Operations().PlanBackup(media);
    EXPECT_EQ(plan.RunsInBackup, runs);
    EXPECT_EQ(plan.RunsInData, runs - 2);
    TOutcome out = Operations().Backup(media);
    EXPECT_EQ(out.Status, TStatus::Refused);
    EXPECT_NE(out.Message.find(std::to_string(runs) + " runs"), std::string::npos) << out.Message;
    EXPECT_NE(out.Message.find(std::to_string(runs - 2) + " runs"), std::string::npos) << out.Message;
    EXPECT_TRUE(Bytes(BackupFileName(media)) == full);
    TBackupChoice yes;
    yes.ReplaceLarger = true;
    EXPECT_TRUE(Operations().Backup(media, yes).Ok());
    EXPECT_TRUE(Bytes(BackupFileName(media)) == Image());
    EXPECT_TRUE(Bytes(OldBackupFileName(media)) == full);
}

TEST_F(Backup, RestoreReplacesTheListsOrChangesNothing) {
    const std::string before = Image();
    EXPECT_EQ(Operations().Restore(media).Message, "No backup file to restore");
    EXPECT_EQ(Operations().Restore(folder.File("unplugged/")).Message, "Restore aborted");
    std::ofstream(BackupFileName(media)) << "this is not a data file at all";
    EXPECT_EQ(Operations().Restore(media).Message, "Impossible to restore");
    EXPECT_TRUE(Image() == before);

    // A real backup of other data, then a write failure: nothing changes; then the restore.
    std::filesystem::remove(BackupFileName(media));
    ASSERT_TRUE(Operations().Backup(media).Ok());
    const std::string backup = Image();
    ASSERT_TRUE(Add(Today() + 5).Ok());
    const std::string now = Image();
    WriteFaults() = {true, TWriteStep::Rename, 0, "Varnholt.qcf"};
    EXPECT_EQ(Operations().Restore(media).Status, TStatus::Refused);
    WriteFaults() = {};
    EXPECT_TRUE(Image() == now);
    EXPECT_TRUE(ReadWholeFile(DataFileName()) == now);
    const TAnalyte* shown = Operations().Current();
    ASSERT_TRUE(Operations().Restore(media).Ok());
    EXPECT_TRUE(Image() == Reread(backup));
    EXPECT_TRUE(ReadWholeFile(DataFileName()) == Image()) << "the restored data is on disk at once";
    // The analyte shown before is shown again, found by its name in the new list.
    ASSERT_NE(Operations().Current(), nullptr);
    EXPECT_NE(Operations().Current(), shown);
    EXPECT_EQ(Operations().Current()->Name, "Glucose");
}

// A backup killed between its renames leaves the finished temporary file: restore finds the newest
// complete backup, and never a damaged one.
TEST_F(Backup, RestoreTakesTheNewestCompleteBackup) {
    ASSERT_TRUE(Operations().Backup(media).Ok());
    const std::string older = Image();
    ASSERT_TRUE(Add(Today() + 1).Ok());
    const std::string newer = Image();
    AtomicWriteFile(TempBackupFileName(media), newer);
    std::filesystem::rename(BackupFileName(media), OldBackupFileName(media));
    EXPECT_EQ(Operations().NewestBackup(media), TempBackupFileName(media));
    ASSERT_TRUE(Add(Today() + 2).Ok());
    // The killed backup had not yet copied the database: the one there was made with the older data.
    TOutcome out = Operations().Restore(media);
    ASSERT_EQ(out.Status, TStatus::Partial) << out.Message;
    EXPECT_NE(out.Message.find("No database backup in "), std::string::npos) << out.Message;
    EXPECT_TRUE(Image() == Reread(newer));
    ASSERT_EQ(out.Notes.size(), 1u);
    // A damaged temporary file is passed over for ".Old".
    AtomicWriteFile(TempBackupFileName(media), newer.substr(0, newer.size() / 2));
    EXPECT_EQ(Operations().NewestBackup(media), OldBackupFileName(media));
    ASSERT_TRUE(Operations().Restore(media).Changed());
    EXPECT_TRUE(Image() == Reread(older));
}

namespace {
bool NamesChangedDataFile(const TOpenReport& r) {
    for (const std::string& n : r.Notes)
        if (n.find("is not the one Varnholt last wrote") != std::string::npos) return true;
    return false;
}
} // namespace

// The database's backup is one file that opens without a log beside it (a read-only medium), and a
// completed restore is no alarm at the next start: the record of the data file is the restored one's.
TEST_F(Backup, TheDatabaseCopyIsOneFileAndARestoreRaisesNoAlarm) {
    ASSERT_TRUE(Operations().Backup(media).Ok());
    const std::string copy = ReadWholeFile(media + "Varnholt.db.Sav");
    ASSERT_GT(copy.size(), 100u);
    EXPECT_EQ(copy[18], 1);
    EXPECT_EQ(copy[19], 1);
    ASSERT_TRUE(Add(Today() + 1).Ok());
    ASSERT_TRUE(Operations().Restore(media).Ok());
    EXPECT_FALSE(std::filesystem::exists(media + "Varnholt.db.Sav-wal"));
    EXPECT_FALSE(NamesChangedDataFile(folder.Reopen()));
    EXPECT_TRUE(Operations().CheckJournal().Whole) << Operations().CheckJournal().Message;
}

// A restore killed at any moment leaves a whole journal with every entry it had, and the restore's own
// entry once the restore was reported done.
TEST_F(Backup, RestoreKilledAtAnyMomentKeepsTheJournal) {
    Operations().SetOperator("QCAB");
    ASSERT_TRUE(Operations().Backup(media).Ok());
    for (int k = 1; k <= 3; ++k) ASSERT_TRUE(Add(Today() + k).Ok());
    auto restores = [] {
        TJournalFilter f;
        f.Kind = jk::Restore;
        return Operations().Journal(f).size();
    };
    std::mt19937 random(40);
    for (int round = 0; round < 60; ++round) {
        const size_t entries = Operations().Journal().size(), restored = restores();
        Operations().Close();
        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(progress[0]);
            folder.Reopen();
            for (;;)
                if (!Operations().Restore(media).Ok() || ::write(progress[1], "r", 1) != 1) ::_exit(1);
        }
        ::close(progress[1]);
        ::usleep(std::uniform_int_distribution<useconds_t>(2000, 60000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        size_t done = 0;
        char buffer[256];
        for (ssize_t n; (n = ::read(progress[0], buffer, sizeof buffer)) > 0;) done += static_cast<size_t>(n);
        ::close(progress[0]);
        ASSERT_TRUE(folder.Reopen().Opened) << "round " << round;
        EXPECT_GE(Operations().Journal().size(), entries + done) << "round " << round;
        EXPECT_GE(restores(), restored + done) << "round " << round;
        const TJournalCheck check = Operations().CheckJournal();
        ASSERT_TRUE(check.Whole) << "round " << round << ": " << check.Message;
    }
}

namespace {
std::string LastBackupEntry() {
    TJournalFilter f;
    f.Kind = jk::Backup;
    const std::vector<TJournalEntry> all = Operations().Journal(f);
    return all.empty() ? "" : all.back().After;
}
} // namespace

// The journal says what the backup wrote; what killed backups left on the medium is cleaned away.
TEST_F(Backup, TheJournalSaysWhatWasWrittenAndLeftoversGo) {
    WriteFaults() = {true, TWriteStep::Rename, 0, "Varnholt.db.tmp"};
    TOutcome out = Operations().Backup(media);
    WriteFaults() = {};
    EXPECT_EQ(out.Status, TStatus::Partial);
    EXPECT_EQ(LastBackupEntry().find("and database"), std::string::npos) << LastBackupEntry();
    EXPECT_EQ(LastBackupEntry().rfind("data backed up to ", 0), 0u) << LastBackupEntry();

    for (const char* left :
         {"Varnholt.tmp.tmp-123-abcdef01", "Varnholt.db.tmp", "Varnholt.db.tmp.tmp-9-0123abcd",
          "Varnholt.Old.next", "Varnholt.db.Old.prev", "Varnholt.tmp"})
        AtomicWriteFile(media + left, "left by a killed backup");
    ASSERT_TRUE(Add(Today() + 1).Ok());
    ASSERT_TRUE(Operations().Backup(media).Ok());
    EXPECT_EQ(LastBackupEntry().find("data and database backed up to "), 0u) << LastBackupEntry();
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(media)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Varnholt.Old", "Varnholt.Sav", "Varnholt.db.Sav"}));
}

// A small medium (a file system of its own, where the test may mount one): the older generations are
// removed only when the room then suffices for both copies; otherwise nothing is touched.
TEST_F(Backup, ASmallMediumLosesNoGenerationForABackupThatCannotFit) {
    const std::string stick = folder.File("stick/");
    std::filesystem::create_directory(stick);
    if (::mount("none", stick.c_str(), "tmpfs", 0, "size=4m") != 0) GTEST_SKIP() << "no tmpfs mount here";
    struct TUnmount {
        std::string at;
        ~TUnmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{stick};
    ASSERT_TRUE(Operations().Backup(stick).Ok());
    ASSERT_TRUE(Add(Today() + 1).Ok());
    ASSERT_TRUE(Operations().Backup(stick).Ok());
    ASSERT_TRUE(Add(Today() + 2).Ok());
    auto freeBytes = [&] {
        struct statvfs vfs;
        EXPECT_EQ(::statvfs(stick.c_str(), &vfs), 0);
        return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
    };
    auto fill = [&](int64_t leave) {
        std::filesystem::remove(stick + "filler");
        const int64_t size = freeBytes() - leave;
        ASSERT_GT(size, 0);
        std::ofstream(stick + "filler", std::ios::binary) << std::string(static_cast<size_t>(size), 'f');
    };
    const std::string older = Bytes(OldBackupFileName(stick)), olderDb = Bytes(stick + "Varnholt.db.Old");
    const size_t entries = Operations().Journal().size();
    fill(16384);
    TOutcome out = Operations().Backup(stick);
    EXPECT_EQ(out.Status, TStatus::Refused);
    EXPECT_NE(out.Message.find("not enough room"), std::string::npos) << out.Message;
    EXPECT_TRUE(Bytes(OldBackupFileName(stick)) == older);
    EXPECT_TRUE(Bytes(stick + "Varnholt.db.Old") == olderDb);
    EXPECT_EQ(Operations().Journal().size(), entries);
    // Room for both once the older generations go.
    fill(3 * 65536);
    out = Operations().Backup(stick);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_EQ(out.Notes.size(), 2u);
    EXPECT_TRUE(ReadWholeFile(BackupFileName(stick)) == Image());
    EXPECT_EQ(LastBackupEntry().find("data and database backed up to "), 0u) << LastBackupEntry();
}

namespace {
// The TEa of the first analyte's goal: something the database holds and the data file does not.
std::optional<long double> StoredTea() {
    return Operations().Goal(ListAnalytes[0].Name).TEa;
}
void SetTea(long double tea) {
    TQualityGoal g;
    g.Analyte = ListAnalytes[0].Name;
    g.TEa = tea;
    ASSERT_TRUE(Operations().SetGoal(g).Ok());
}
} // namespace

// A damaged ".Sav" is named, and the older backup replaces the data only when asked for.
TEST_F(Backup, DamagedNewestBackupGivesTheOlderOnlyWhenAsked) {
    ASSERT_TRUE(Operations().Backup(media).Ok());
    const std::string older = Image();
    const int64_t olderRuns = Operations().PlanBackup(media).RunsInData;
    ASSERT_TRUE(Add(Today() + 1).Ok());
    ASSERT_TRUE(Operations().Backup(media).Ok());
    EXPECT_TRUE(Operations().PlanRestore(media).Damaged.empty());
    std::filesystem::resize_file(BackupFileName(media), 3000);
    ASSERT_TRUE(Add(Today() + 2).Ok());
    const std::string now = Image();

    TRestorePlan plan = Operations().PlanRestore(media);
    EXPECT_EQ(plan.Source, OldBackupFileName(media));
    EXPECT_EQ(plan.Damaged, BackupFileName(media));
    EXPECT_EQ(plan.Runs, olderRuns);
    TOutcome out = Operations().Restore(media);
    EXPECT_EQ(out.Status, TStatus::Refused);
    EXPECT_EQ(out.Message, "The newest backup " + BackupFileName(media) + " is damaged. Restore aborted");
    EXPECT_TRUE(Image() == now);
    EXPECT_TRUE(ReadWholeFile(DataFileName()) == now);

    out = Operations().Restore(media, true);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_TRUE(Image() == Reread(older));
}

// A restore takes a data file and a database of one backup: also after a backup of unchanged data,
// which keeps the data's generation, and whichever of the two generations it takes. Reading the backup
// writes nothing on the medium.
TEST_F(Backup, DataAndDatabaseOfOneBackupGoTogether) {
    SetTea(10);
    ASSERT_TRUE(Operations().Backup(media).Ok());
    const std::string first = Image();
    ASSERT_TRUE(Add(Today() + 1).Ok());
    SetTea(20);
    ASSERT_TRUE(Operations().Backup(media).Ok());
    const std::string second = Image();
    SetTea(30);
    ASSERT_TRUE(Operations().Backup(media).Ok()); // the data unchanged: its generation stays
    EXPECT_TRUE(Bytes(OldBackupFileName(media)) == first);

    SetTea(40);
    ASSERT_TRUE(Add(Today() + 2).Ok());
    TOutcome out = Operations().Restore(media);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_TRUE(Image() == Reread(second));
    EXPECT_EQ(StoredTea(), 30.0L);

    std::filesystem::resize_file(BackupFileName(media), 3000);
    out = Operations().Restore(media, true);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_TRUE(Image() == Reread(first));
    EXPECT_EQ(StoredTea(), 10.0L);

    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(media))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names,
              (std::set<std::string>{"Varnholt.Sav", "Varnholt.Old", "Varnholt.db.Sav", "Varnholt.db.Old"}));
}

// A database backup that belongs to no data backup is not taken: the data is restored and the restore
// says that the database was not.
TEST_F(Backup, ADatabaseOfAnotherBackupIsNotRestored) {
    SetTea(10);
    ASSERT_TRUE(Operations().Backup(media).Ok());
    const std::string first = Bytes(BackupFileName(media));
    ASSERT_TRUE(Add(Today() + 1).Ok());
    SetTea(20);
    ASSERT_TRUE(Operations().Backup(media).Ok());
    std::filesystem::remove(media + "Varnholt.db.Old");
    AtomicWriteFile(BackupFileName(media), first); // the data of the first backup, the database of the second
    SetTea(30);
    TOutcome out = Operations().Restore(media);
    EXPECT_EQ(out.Status, TStatus::Partial);
    EXPECT_EQ(out.Message, "The data was restored, but not the database:\rNo database backup in " + media +
                               " was made with " + BackupFileName(media) + ".");
    EXPECT_TRUE(Image() == Reread(first));
    EXPECT_EQ(StoredTea(), 30.0L);
}
