// Password, new password, backup options and about windows; the entry checks of edit boxes.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "GuiTestHelpers.h"
#include "TestSeams.h"
#include "UAbout.h"
#include "UAtomicFile.h"
#include "UGlobale.h"
#include "UMotPass.h"
#include "UNewPsw.h"
#include "UOperations.h"
#include "UOptions.h"
#include "UQcError.h"

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestResources(); }

    void passwordPromptIgnoresCaseButKeepsBlanks() {
        TGuiFolder folder;
        Settings.Password = "SECRET";
        TWinEntryPsw w;
        w.show();
        QTest::keyClicks(w.Password, "secret ");
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(w.isVisible()); // trailing blank: refused, box emptied, nothing said
        QVERIFY(w.Password->text().isEmpty());
        QVERIFY(TDialogScript::Shown().empty());
        QTest::keyClicks(w.Password, "SeCrEt");
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        // No password set: nothing is asked.
        Settings.Password.clear();
        QVERIFY(PasswordGranted());
    }

    void newPasswordWindow() {
        TGuiFolder folder;
        TWinNewPsw w;
        w.show();
        QVERIFY(w.EditOldPsw->isHidden()); // none set: the old box is hidden
        QTest::keyClicks(w.EditNewPsw, " abc ");
        QTest::keyClicks(w.EditConfirm, "abd");
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(w.isVisible());
        QCOMPARE(w.EditNewPsw->selectedText(), QStringLiteral(" abc "));
        QVERIFY(Settings.Password.empty());
        w.EditConfirm->setText(QStringLiteral("ABC"));
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(QString::fromStdString(Settings.Password), QStringLiteral("ABC")); // blanks removed here

        // With a password set the old one must match; both new boxes empty remove it.
        w.show();
        QVERIFY(!w.EditOldPsw->isHidden());
        QTest::keyClicks(w.EditOldPsw, "wrong");
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(w.isVisible());
        QCOMPARE(QString::fromStdString(Settings.Password), QStringLiteral("ABC"));
        w.EditOldPsw->setText(QStringLiteral("abc"));
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(Settings.Password.empty());
        QCOMPARE(w.EditNewPsw->maxLength(), 10);
    }

    void optionsIntervalIsChecked() {
        TGuiFolder folder;
        Settings.BackupInterval = 7;
        Settings.BackupFolder = "/media/usb";
        TWinOptions w;
        w.show();
        QCOMPARE(w.EditDelay->text(), QStringLiteral("7"));
        QCOMPARE(w.CBDrive->currentText(), QStringLiteral("/media/usb"));
        for (const char* bad : {"0", "abc"}) {
            w.EditDelay->setText(QString::fromLatin1(bad));
            QTest::mouseClick(w.BtOK, Qt::LeftButton);
            QVERIFY(w.isVisible());
            QCOMPARE(w.EditDelay->selectedText(), QString::fromLatin1(bad));
        }
        QCOMPARE(ShownTexts().at(0), std::string("0 is too low\n\rMinimum allowed = 1"));
        QCOMPARE(TDialogScript::Shown().at(0).buttons, unsigned(mbOK));
        QCOMPARE(Settings.BackupInterval, 7);
        QCOMPARE(w.EditDelay->maxLength(), 3); // 1500 cannot even be typed
        // Undo shows the stored values again.
        w.CBDrive->setEditText(QStringLiteral("/tmp/elsewhere"));
        QTest::mouseClick(w.BtUndo, Qt::LeftButton);
        QCOMPARE(w.EditDelay->text(), QStringLiteral("7"));
        QCOMPARE(w.CBDrive->currentText(), QStringLiteral("/media/usb"));
        // The folder chooser goes through the dialog hook.
        TDialogScript::FileNext(QStringLiteral("/mnt/backup"));
        QTest::mouseClick(w.BtBrowse, Qt::LeftButton);
        w.EditDelay->setText(QStringLiteral("999"));
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(Settings.BackupInterval, 999);
        QCOMPARE(QString::fromStdString(Settings.BackupFolder), QStringLiteral("/mnt/backup"));
        // Cancel stores nothing.
        w.show();
        w.EditDelay->setText(QStringLiteral("1"));
        QTest::mouseClick(w.BtCancel, Qt::LeftButton);
        QCOMPARE(Settings.BackupInterval, 999);
    }

    void removableMediaFromMountTable() {
        TGuiFolder folder;
        std::string table = folder.File("mounts");
        AtomicWriteFile(table, "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /media/user/USB\\040KEY vfat rw 0 0\n"
                               "proc /proc proc rw 0 0\n/dev/sdc1 /run/media/user/DISK ext4 rw 0 0\n");
        QCOMPARE(RemovableMediaFolders(QString::fromStdString(table)),
                 (QStringList{"/media/user/USB KEY", "/run/media/user/DISK"}));
    }

    void entryChecksSelectFocusAndTell() {
        TGuiFolder folder;
        QWidget top;
        auto* edit = new QLineEdit(&top);
        top.show();
        edit->setText(QStringLiteral(" 12 "));
        QCOMPARE(CheckIntegerEdit(edit, 1, 1000), 12);
        QCOMPARE(edit->text(), QStringLiteral("12"));
        edit->setText(QStringLiteral("1001"));
        QVERIFY_THROWS_EXCEPTION(EConvertError, CheckIntegerEdit(edit, 1, 1000));
        QCOMPARE(edit->selectedText(), QStringLiteral("1001"));
        QCOMPARE(ShownTexts().back(), std::string("1001 is too high\n\rMaximum allowed = 1000"));
        QCOMPARE(TDialogScript::Shown().back().kind, mkError);

        edit->setText(QStringLiteral("2,5"));
        LevelValue v = ReadValueEdit(edit);
        QCOMPARE(v.Value, 2.5f);
        QCOMPARE(v.State, psInControl);
        edit->setText(QStringLiteral("  "));
        QCOMPARE(ReadValueEdit(edit).State, psEmpty);
        edit->setText(QStringLiteral("2.5x"));
        QVERIFY_THROWS_EXCEPTION(EConvertError, ReadValueEdit(edit));
        QCOMPARE(ShownTexts().back(), std::string("Incorrect floating number"));
        QCOMPARE(edit->selectedText(), QStringLiteral("2.5x"));

        edit->setText(QStringLiteral("-1"));
        QVERIFY_THROWS_EXCEPTION(EConvertError, ReadRealEdit(edit, true));
        QCOMPARE(ShownTexts().back(), std::string("-1 is a negative value (not allowed)"));
        edit->setText(QStringLiteral(" 1,5 "));
        QCOMPARE(static_cast<double>(ReadRealEdit(edit, true)), 1.5);
        QCOMPARE(edit->text(), QStringLiteral("1.5"));
    }

    void aboutWindowReturnsItsCheckBox() {
        TGuiFolder folder;
        TWinAbout w;
        // The licence reads as the package's copyright file, the metainfo and the README state it.
        QVERIFY(w.LblNotice->text().contains(QStringLiteral("GNU General Public License, version 3 or")));
        QVERIFY(
            w.LblNotice->text().endsWith(QStringLiteral("(GPL-3.0-or-later). It comes with no warranty.")));
        OnNextModal([](QDialog* d) {
            auto* box = d->findChild<QCheckBox*>(QStringLiteral("CBDontShow"));
            QVERIFY(box->isEnabled());
            // The folder in use is named, so that users know where their data is.
            QCOMPARE(d->findChild<QLabel*>(QStringLiteral("LblFolder"))->text(),
                     QStringLiteral("Data folder:\n") + QString::fromStdString(ProgramFolder));
            box->setChecked(true);
            d->accept();
        });
        QVERIFY(w.Execute(true));
        OnNextModal([](QDialog* d) {
            QVERIFY(!d->findChild<QCheckBox*>(QStringLiteral("CBDontShow"))->isEnabled());
            d->reject(); // the close box
        });
        QVERIFY(!w.Execute(false));
    }

    void failedSettingsWriteIsShown() {
        TGuiFolder folder;
        WriteFaults() = {true, TWriteStep::Open, 0};
        auto change = [] { return Operations().ChangeSettings([](TSettings& s) { s.BackupInterval = 9; }); };
        QVERIFY(!ShowOutcome(change()));
        WriteFaults() = {};
        QCOMPARE(TDialogScript::Shown().size(), size_t(1));
        QCOMPARE(TDialogScript::Shown()[0].kind, mkError);
        QVERIFY(ShownTexts()[0].find(folder.File("Varnholt.cfr")) != std::string::npos);
        QCOMPARE(Settings.BackupInterval, 7); // put back
        QVERIFY(ShowOutcome(change()));
        QCOMPARE(TDialogScript::Shown().size(), size_t(1));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
