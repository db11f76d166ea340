// Tests of the backup and restore commands with the copy window: the backup files on disk and the lists.
#include <QTest>
#include <filesystem>

#include "TestSeams.h"
#include "UAnimCopyFic.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UEntryFlow.h"
#include "UGlobale.h"
#include "support_prompt.h"
#include "support_reference.h"
#include "support_valid.h"

namespace fs = std::filesystem;

namespace {
// Records what the copy window showed while the operation ran.
struct TWatchedCopyWindow : TWinAnimCopyFic {
    void Show(const std::string& warning) override {
        TWinAnimCopyFic::Show(warning);
        warnings.push_back(warning);
        visibleAndPlaying = isVisible() && Animate->Playing();
    }
    std::vector<std::string> warnings;
    bool visibleAndPlaying = false;
};

std::string BackupDir(const TGuiTempFolder& f) {
    return f.Path() + "medium/";
}
} // namespace

class TestBackupWin : public QObject {
    Q_OBJECT
    TGuiTempFolder folder;
    TWatchedCopyWindow* copy = nullptr;

private slots:
    void init() {
        RefResetLists();
        fs::remove_all(BackupDir(folder));
        fs::create_directories(BackupDir(folder));
        Settings.BackupFolder = BackupDir(folder);
        Settings.LastBackup = 0;
        copy = new TWatchedCopyWindow;
        SetCopyProgress(copy);
    }
    void cleanup() {
        SetCopyProgress(nullptr);
        delete copy;
        WriteFaults().enabled = false;
    }

    void twoBackupsLeaveOldAndSav() {
        TAnalyte& a = RefAddAnalyte("Glucose", 1);
        RefAddPoint(a, 0, {5.0f});
        TScriptedAnswers answers;
        answers.Answer(mbOK);
        QVERIFY(BackupCommand());
        QCOMPARE(answers.shown[0].text, std::string("Confirm data backup"));
        QCOMPARE(answers.LastText(), std::string("Backup OK"));
        QCOMPARE(copy->warnings.back(), "Backuping data to " + BackupFileName(BackupDir(folder)));
        QVERIFY(copy->visibleAndPlaying);
        QVERIFY(!copy->isVisible());
        QVERIFY(!copy->Animate->Playing());
        QVERIFY(!QApplication::overrideCursor()); // the hourglass ends with the copy
        QCOMPARE(Settings.LastBackup, Today());
        QVERIFY(!BackupIsDue());
        RefAddPoint(a, 1, {5.5f});
        answers.Answer(mbOK);
        QVERIFY(BackupCommand());
        QCOMPARE(ValidDataFileAnalytes(OldBackupFileName(BackupDir(folder)))[0]->Count(), 1);
        QCOMPARE(ValidDataFileAnalytes(BackupFileName(BackupDir(folder)))[0]->Count(), 2);
        QVERIFY(!FileExists(TempBackupFileName(BackupDir(folder))));
    }

    void failedBackupKeepsEarlierBackups() {
        TAnalyte& a = RefAddAnalyte("Glucose", 1);
        RefAddPoint(a, 0, {5.0f});
        TScriptedAnswers answers;
        answers.Answer(mbOK);
        QVERIFY(BackupCommand());
        RefAddPoint(a, 1, {5.5f});
        answers.Answer(mbOK);
        QVERIFY(BackupCommand());
        const std::string sav = ReadWholeFile(BackupFileName(BackupDir(folder)));
        const std::string old = ReadWholeFile(OldBackupFileName(BackupDir(folder)));
        Settings.LastBackup = Today() - 30;
        RefAddPoint(a, 2, {6.0f});
        WriteFaults().enabled = true; // a full medium
        WriteFaults().failAt = TWriteStep::Write;
        WriteFaults().failAfterBytes = 100;
        answers.Answer(mbOK);
        QVERIFY(!BackupCommand());
        WriteFaults().enabled = false;
        QCOMPARE(answers.shown.back().kind, mkError);
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
        QVERIFY(answers.LastText() != "Backup OK");
        QCOMPARE(ReadWholeFile(BackupFileName(BackupDir(folder))), sav);
        QCOMPARE(ReadWholeFile(OldBackupFileName(BackupDir(folder))), old);
        QVERIFY(!FileExists(TempBackupFileName(BackupDir(folder))));
        QVERIFY(BackupIsDue()); // the reminder stays
        QVERIFY(!copy->isVisible());
    }

    void absentMediumAndUnconfirmedBackup() {
        RefAddAnalyte("Glucose", 1);
        fs::remove_all(BackupDir(folder));
        TScriptedAnswers answers;
        answers.Answer(mbRetry); // still absent: the same box again
        answers.Answer(mbCancel);
        QVERIFY(!BackupCommand());
        QCOMPARE(answers.shown.size(), size_t(3));
        QCOMPARE(answers.shown[0].text, "The backup folder " + BackupDir(folder) +
                                            " does not exist (a removable medium not mounted?)");
        QCOMPARE(answers.shown[1].text, answers.shown[0].text);
        QCOMPARE(answers.shown[0].buttons, unsigned(mbCancel | mbRetry));
        QCOMPARE(answers.LastText(), std::string("Backup aborted"));
        QVERIFY(!fs::exists(BackupDir(folder)));
        answers.Answer(mbCancel);
        QVERIFY(!RestoreCommand());
        QCOMPARE(answers.LastText(), std::string("Restore aborted"));
        fs::create_directories(BackupDir(folder));
        answers.Answer(mbCancel); // not confirmed
        QVERIFY(!BackupCommand());
        QCOMPARE(answers.LastText(), std::string("Backup aborted"));
        QVERIFY(!FileExists(BackupFileName(BackupDir(folder))));
        QVERIFY(copy->warnings.empty());
        // No folder chosen at all: said once, no retry loop.
        Settings.BackupFolder.clear();
        QVERIFY(!BackupCommand());
        QCOMPARE(answers.shown[answers.shown.size() - 2].text, std::string("No backup folder is chosen."));
        QCOMPARE(answers.shown[answers.shown.size() - 2].buttons, unsigned(mbOK));
        QCOMPARE(answers.LastText(), std::string("Backup aborted"));
    }

    void restoreReplacesTheListsOnlyFromADataFile() {
        TAnalyte& a = RefAddAnalyte("Glucose", 1);
        RefAddPoint(a, 0, {5.0f});
        TScriptedAnswers answers;
        // No backup file: refused before any confirmation.
        QVERIFY(!RestoreCommand());
        QCOMPARE(answers.shown.size(), size_t(1));
        QCOMPARE(answers.LastText(), std::string("No backup file to restore"));
        answers.Answer(mbOK);
        QVERIFY(BackupCommand());
        RefAddAnalyte("Calcium", 2);
        // Not confirmed: nothing changes.
        answers.Answer(mbCancel);
        QVERIFY(!RestoreCommand());
        QVERIFY(answers.shown[answers.shown.size() - 2].text.rfind(
                    "Confirm data restore from diskette. The date of source file is : ", 0) == 0);
        QCOMPARE(answers.LastText(), std::string("Restore aborted"));
        QCOMPARE(ListAnalytes.Count(), 2);
        answers.Answer(mbOK);
        QVERIFY(RestoreCommand());
        QCOMPARE(answers.LastText(), std::string("Restore OK"));
        QCOMPARE(answers.shown.back().kind, mkInformation);
        QCOMPARE(copy->warnings.back(), "Restoring data from " + BackupFileName(BackupDir(folder)));
        QCOMPARE(ListAnalytes.Count(), 1);
        QCOMPARE(ListAnalytes[0].Count(), 1);
        // A ".Sav" that is not a data file: refused, lists and files unchanged.
        RefAddAnalyte("Calcium", 2);
        AtomicWriteFile(BackupFileName(BackupDir(folder)), "not a data file at all");
        answers.Answer(mbOK);
        QVERIFY(!RestoreCommand());
        QCOMPARE(answers.LastText(), std::string("Impossible to restore"));
        QCOMPARE(answers.shown.back().kind, mkError);
        QCOMPARE(ListAnalytes.Count(), 2);
        QCOMPARE(ReadWholeFile(BackupFileName(BackupDir(folder))), std::string("not a data file at all"));
        QVERIFY(!copy->isVisible());
    }

    // A damaged ".Sav": the question names it and the older backup; only a yes replaces the data.
    void damagedNewestBackupAsksBeforeTheOlder() {
        TAnalyte& a = RefAddAnalyte("Glucose", 1);
        RefAddPoint(a, 0, {5.0f});
        TScriptedAnswers answers;
        answers.Answer(mbOK);
        QVERIFY(BackupCommand());
        RefAddPoint(a, 1, {5.5f});
        answers.Answer(mbOK);
        QVERIFY(BackupCommand());
        const std::string dir = BackupDir(folder);
        fs::resize_file(BackupFileName(dir), 100);
        RefAddPoint(a, 2, {6.0f});

        answers.Answer(mbCancel);
        QVERIFY(!RestoreCommand());
        const TScriptedAnswers::Shown& question = answers.shown[answers.shown.size() - 2];
        QCOMPARE(question.kind, mkWarning);
        QVERIFY2(question.text.rfind("The newest backup " + BackupFileName(dir) +
                                         " is damaged.\rRestore the older "
                                         "backup " +
                                         OldBackupFileName(dir) + " of ",
                                     0) == 0,
                 question.text.c_str());
        QVERIFY2(question.text.find(", holding 1 run") != std::string::npos, question.text.c_str());
        QCOMPARE(answers.LastText(), std::string("Restore aborted"));
        QCOMPARE(a.Count(), 3);

        answers.Answer(mbOK);
        QVERIFY(RestoreCommand());
        QCOMPARE(answers.LastText(), std::string("Restore OK"));
        QCOMPARE(copy->warnings.back(), "Restoring data from " + OldBackupFileName(dir));
        QCOMPARE(ListAnalytes[0].Count(), 1);
    }
};

QTEST_MAIN(TestBackupWin)
#include "test_backupwin.moc"
