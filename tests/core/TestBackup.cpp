// Backup to and restore from the backup folder: rotation, failures that keep earlier backups,
// the waiting box, confirmations and refusals.
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

#include "TestHelpers.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"

namespace {
class TRecordedCopyWindow : public TCopyProgress {
public:
    void Show(const std::string& warning) override { events.push_back("show " + warning); }
    void Close() override { events.push_back("close"); }
    std::vector<std::string> events;
};

class Backup : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string media;
    TRecordedCopyWindow window;
    TCopyProgress* previous = nullptr;
    void SetUp() override {
        media = folder.File("media/");
        std::filesystem::create_directory(media);
        previous = SetCopyProgress(&window);
        RandomSeed(3);
        BuildSampleData();
        Fifo.ClearQueue();
    }
    void TearDown() override {
        SetCopyProgress(previous);
        ListAnalytes.Clear();
        ListSerum.Clear();
        WriteFaults() = {};
    }
    std::string Image() const { return DataImage(ListSerum, ListAnalytes); }
    std::string MessageOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const EQcError& e) {
            return e.what();
        }
        return "";
    }
};
} // namespace

TEST_F(Backup, TwoBackupsLeaveTheFirstAsOldAndTheSecondAsSav) {
    Settings.LastBackup = 1;
    TScriptedPrompt prompt;
    prompt.Answer(mbOK);
    prompt.Answer(mbYes);
    BackupData(media);
    const std::string first = Image();
    EXPECT_EQ(ReadWholeFile(BackupFileName(media)), first);
    EXPECT_EQ(Settings.LastBackup, Today());
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].text, "Confirm data backup");
    EXPECT_EQ(prompt.shown[0].buttons, unsigned(mbOK | mbCancel));
    EXPECT_EQ(prompt.shown[1].text, "Backup OK");
    EXPECT_EQ(prompt.shown[1].kind, mkInformation);
    EXPECT_EQ(window.events,
              (std::vector<std::string>{"show Backuping data to " + BackupFileName(media), "close"}));

    ListAnalytes[0].AddPoint(MakeRun(Today() + 1, {3, 5, 12}));
    prompt.Answer(mbOK);
    prompt.Answer(mbYes);
    BackupData(media);
    EXPECT_EQ(ReadWholeFile(OldBackupFileName(media)), first);
    EXPECT_EQ(ReadWholeFile(BackupFileName(media)), Image());
    EXPECT_FALSE(FileExists(TempBackupFileName(media)));
}

TEST_F(Backup, FailedBackupKeepsEarlierBackups) {
    std::ofstream(BackupFileName(media)) << "second";
    std::ofstream(OldBackupFileName(media)) << "first";
    for (TWriteStep step : {TWriteStep::Open, TWriteStep::Write, TWriteStep::Sync, TWriteStep::Rename}) {
        TScriptedPrompt prompt;
        prompt.Answer(mbOK);
        Settings.LastBackup = 1;
        WriteFaults() = {true, step, 100};
        std::string message = MessageOf([&] { BackupData(media); });
        WriteFaults() = {};
        EXPECT_NE(message.find("Varnholt.tmp"), std::string::npos) << message;
        EXPECT_EQ(ReadWholeFile(BackupFileName(media)), "second");
        EXPECT_EQ(ReadWholeFile(OldBackupFileName(media)), "first");
        EXPECT_FALSE(FileExists(TempBackupFileName(media)));
        EXPECT_EQ(Settings.LastBackup, 1);
        EXPECT_EQ(prompt.shown.size(), 1u) << "no Backup OK";
        EXPECT_EQ(window.events.back(), "close");
    }
    if (geteuid() != 0) {
        std::filesystem::permissions(media,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        TScriptedPrompt prompt;
        prompt.Answer(mbOK);
        EXPECT_NE(MessageOf([&] { BackupData(media); }), "");
        std::filesystem::permissions(media, std::filesystem::perms::owner_all);
        EXPECT_EQ(ReadWholeFile(BackupFileName(media)), "second");
        EXPECT_EQ(ReadWholeFile(OldBackupFileName(media)), "first");
    }
}

TEST_F(Backup, AbsentFolderAndRefusedConfirmationAbort) {
    const std::string absent = folder.File("unplugged/");
    TScriptedPrompt prompt;
    prompt.Answer(mbRetry);
    prompt.Answer(mbCancel);
    EXPECT_EQ(MessageOf([&] { BackupData(absent); }), "Backup aborted");
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].text, "No diskette in drive " + absent);
    EXPECT_EQ(prompt.shown[1].text, prompt.shown[0].text);
    EXPECT_EQ(prompt.shown[0].buttons, unsigned(mbCancel | mbRetry));
    EXPECT_EQ(prompt.shown[0].kind, mkError);

    // The medium arrives while the box is up.
    prompt.shown.clear();
    prompt.Answer(mbCancel); // no to the confirmation
    EXPECT_EQ(MessageOf([&] { BackupData(media); }), "Backup aborted");
    EXPECT_FALSE(FileExists(BackupFileName(media)));
    EXPECT_TRUE(window.events.empty());

    prompt.Answer(mbCancel);
    EXPECT_EQ(MessageOf([&] { RestoreData(absent); }), "Restore aborted");
    EXPECT_EQ(MessageOf([&] { BackupData(""); }), "Backup aborted");
}

TEST_F(Backup, RestoreReplacesTheListsOrChangesNothing) {
    const std::string before = Image();
    TScriptedPrompt prompt;
    EXPECT_EQ(MessageOf([&] { RestoreData(media); }), "No backup file to restore");
    EXPECT_TRUE(prompt.shown.empty()) << "no confirmation before the file is found";

    // A ".Sav" that is not a data file.
    std::ofstream(BackupFileName(media)) << "this is not a data file at all";
    prompt.Answer(mbOK);
    EXPECT_EQ(MessageOf([&] { RestoreData(media); }), "Impossible to restore");
    EXPECT_EQ(Image(), before);
    EXPECT_EQ(window.events.back(), "close");
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Confirm data restore from diskette. The date of source file is : " +
                                        Regional.DateToText(Today()));

    // A real backup of other data, refused once and then restored.
    TListAnalytes saved = std::move(ListAnalytes);
    ListAnalytes.Clear();
    ListAnalytes.Add(std::make_unique<TAnalyte>(AnalyteWithValues({1, 2, 3})));
    prompt.Answer(mbOK);
    prompt.Answer(mbYes);
    BackupData(media);
    const std::string backup = Image();
    ListAnalytes = std::move(saved);
    prompt.Answer(mbCancel);
    EXPECT_EQ(MessageOf([&] { RestoreData(media); }), "Restore aborted");
    EXPECT_EQ(Image(), before);
    prompt.Answer(mbOK);
    RestoreData(media);
    EXPECT_EQ(Image(), backup);
    EXPECT_EQ(window.events.back(), "close");
    EXPECT_EQ(window.events[window.events.size() - 2], "show Restoring data from " + BackupFileName(media));
}
