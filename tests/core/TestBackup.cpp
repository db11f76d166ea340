// Backup to and restore from the backup folder through the operations layer: rotation, failures at
// every step that keep earlier backups, backups that never shrink unasked, the newest complete backup.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
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
    TOutcome out = Operations().Restore(media);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_TRUE(Image() == Reread(newer));
    ASSERT_EQ(out.Notes.size(), 1u);
    // A damaged temporary file is passed over for ".Old".
    AtomicWriteFile(TempBackupFileName(media), newer.substr(0, newer.size() / 2));
    EXPECT_EQ(Operations().NewestBackup(media), OldBackupFileName(media));
    ASSERT_TRUE(Operations().Restore(media).Changed());
    EXPECT_TRUE(Image() == Reread(older));
}
