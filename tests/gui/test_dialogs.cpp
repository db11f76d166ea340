// Password, new password, backup options and about windows; the entry checks of edit boxes.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <iostream>

#include "GuiTestHelpers.h"
#include "TestSeams.h"
#include "UAbout.h"
#include "UAtomicFile.h"
#include "UDatabase.h"
#include "UGlobale.h"
#include "UMotPass.h"
#include "UNewPsw.h"
#include "UOperations.h"
#include "UOptions.h"
#include "UQcError.h"
#include "UReason.h"

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
        QVERIFY(Operations().SettingsPasswordIs("ABC")); // blanks removed here
        QVERIFY(Settings.Password != "ABC");             // kept as a hash, not in clear

        // With a password set the old one must match; both new boxes empty remove it.
        w.show();
        QVERIFY(!w.EditOldPsw->isHidden());
        QTest::keyClicks(w.EditOldPsw, "wrong");
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(w.isVisible());
        QVERIFY(Operations().SettingsPasswordIs("ABC"));
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
        const QString medium = QString::fromStdString(folder.File("medium"));
        QVERIFY(QDir().mkpath(medium));
        TDialogScript::FileNext(medium);
        QTest::mouseClick(w.BtBrowse, Qt::LeftButton);
        w.EditDelay->setText(QStringLiteral("999"));
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(Settings.BackupInterval, 999);
        QCOMPARE(QString::fromStdString(Settings.BackupFolder), medium);
        // Cancel stores nothing.
        w.show();
        w.EditDelay->setText(QStringLiteral("1"));
        QTest::mouseClick(w.BtCancel, Qt::LeftButton);
        QCOMPARE(Settings.BackupInterval, 999);
    }

    // A folder that does not exist is said when chosen and kept only on OK; none at all is refused.
    void optionsFolderIsChecked() {
        TGuiFolder folder;
        Settings.BackupFolder = folder.Path();
        TWinOptions w;
        w.show();
        const std::string absent = folder.File("not-mounted");
        const std::string asked =
            "The backup folder " + absent +
            " does not exist (a removable medium not mounted?)\rKeep it as the backup folder ?";
        w.CBDrive->setEditText(QString::fromStdString(absent));
        TDialogScript::AnswerNext(mbCancel);
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(w.isVisible());
        QCOMPARE(ShownTexts().back(), asked);
        QCOMPARE(TDialogScript::Shown().back().buttons, unsigned(mbOK | mbCancel));
        QCOMPARE(Settings.BackupFolder, folder.Path());
        QVERIFY(w.CBDrive->hasFocus() || w.focusWidget() == w.CBDrive);
        w.CBDrive->setEditText(QStringLiteral("  "));
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(w.isVisible());
        QCOMPARE(ShownTexts().back(), std::string("No backup folder is chosen."));
        QCOMPARE(Settings.BackupFolder, folder.Path());
        w.CBDrive->setEditText(QString::fromStdString(absent));
        TDialogScript::AnswerNext(mbOK);
        QTest::mouseClick(w.BtOK, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(Settings.BackupFolder, absent);
    }

    // Reopened, the window waits in the interval whatever button closed it.
    void optionsReopenWithFocusOnTheInterval() {
        TGuiFolder folder;
        Settings.BackupFolder = folder.Path();
        TWinOptions w;
        for (QPushButton* closer : {w.BtCancel, w.BtOK}) {
            w.show();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QCOMPARE(QApplication::focusWidget(), w.EditDelay);
            QCOMPARE(w.EditDelay->selectedText(), w.EditDelay->text());
            QTest::mouseClick(closer, Qt::LeftButton);
            QVERIFY(!w.isVisible());
        }
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClicks(QApplication::focusWidget(), "12");
        QCOMPARE(w.EditDelay->text(), QStringLiteral("12"));
    }

    // A box with a short text is still as wide as its title needs; its text is plain.
    void messageBoxFitsItsTitle() {
        for (TMsgKind kind : {mkError, mkWarning, mkInformation, mkConfirmation}) {
            QMessageBox box;
            PrepareMessageBox(box, kind, mbOK, "OK");
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            QVERIFY2(box.width() >= TitleBarWidth(box.windowTitle()), qPrintable(box.windowTitle()));
            QVERIFY(TitleBarWidth(box.windowTitle()) >
                    QFontMetrics(box.font()).horizontalAdvance(box.windowTitle()));
        }
        QMessageBox box;
        PrepareMessageBox(box, mkError, mbOK, "Why is A<i>B&C deleted?");
        QCOMPARE(box.textFormat(), Qt::PlainText);
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

    // Another program writing the database (the companion, sqlite3) after a file dialog listed the
    // program folder: the program still writes into the database's real log files.
    void fileDialogKeepsTheDatabaseHeld() {
        TGuiFolder folder;
        const QString db = QString::fromStdString(folder.File("Varnholt.db"));
        auto other = [&](const char* sql) {
            QProcess p;
            p.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--sql"), db, QString::fromUtf8(sql)});
            if (!p.waitForFinished(20000) || p.exitCode() != 0) return QStringLiteral("failed");
            return QString::fromUtf8(p.readAllStandardOutput());
        };
        QVERIFY(Operations().SetOperators({"AB"}).Ok()); // journaled: the database is open
        Operations().Database().SetMeta("probe", "1");
        TDialogScript::SetActive(false);
        QVERIFY(QFileInfo::exists(db));
        OnNextModal([](QDialog* d) {
            QTest::qWait(1500); // the folder listed, with the types and icons of its files
            d->reject();
        });
        QCOMPARE(AskSaveFileName(nullptr, QStringLiteral("Save"), QString::fromStdString(folder.Path()),
                                 QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf")),
                 QString());
        TDialogScript::SetActive(true);
        QCOMPARE(other("UPDATE meta SET value = value WHERE key = 'probe'"), QString());
        // Written after the other program closed: into the database's log, not into a deleted one.
        Operations().Database().SetMeta("probe", "2");
        QCOMPARE(other("SELECT value FROM meta WHERE key = 'probe'"), QStringLiteral("2"));
    }

    // A long reason is kept whole; one beyond the limit is refused with a word, not cut.
    void longReasonsAreKeptWholeOrRefused() {
        TGuiFolder folder;
        TWinReason w;
        std::string choice, text;
        QString typed;
        while (typed.size() < 1997) typed += QStringLiteral("Recalibrated after the lot change; ");
        typed.truncate(1997);
        auto answer = [&](const QString& reason, bool staysOpen) {
            OnNextModal([&w, reason, staysOpen](QDialog*) {
                w.EditReason->setText(reason);
                w.BtOK->click();
                QCOMPARE(w.isVisible(), staysOpen);
                if (staysOpen) w.reject();
            });
        };
        answer(typed, false);
        QVERIFY(w.Execute("Why?", {}, choice, text));
        QCOMPARE(text.size(), size_t(1997));
        answer(QString(MaxReasonLength + 1, QLatin1Char('y')), true);
        QVERIFY(!w.Execute("Why?", {}, choice, text));
        QCOMPARE(ShownTexts().back(),
                 std::string("The text has 5001 characters; it may have 5000. Shorten it."));
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

// Run as the other program of fileDialogKeepsTheDatabaseHeld: one statement, its first value printed.
int main(int argc, char** argv) {
    if (argc == 4 && std::string_view(argv[1]) == "--sql") {
        TDatabase db;
        db.Open(argv[2], false);
        TStatement st = db.Prepare(argv[3]);
        if (st.Step()) std::cout << st.Text(0);
        return 0;
    }
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestDialogs t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_dialogs.moc"
