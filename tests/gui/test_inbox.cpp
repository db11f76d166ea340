// The inbox in the windows: options, the main window's panel and watch, the mapping window.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "GuiTestHelpers.h"
#include "UAtomicFile.h"
#include "UFifoResult.h"
#include "UInboxMapping.h"
#include "UInboxOptions.h"
#include "UInboxWatch.h"
#include "UMain.h"
#include "UOperations.h"

namespace fs = std::filesystem;

namespace {
// An inbox beside the program folder with delimited files of the default source and Glucose mapped on
// its first level.
std::string MakeInbox(const std::string& home) {
    const std::string inbox = home + "inbox/";
    fs::create_directories(inbox);
    TInboxSettings s;
    s.Folder = inbox;
    if (!Operations().SetInboxSettings(s).Ok()) return "";
    TInstrumentSource src = TInstrumentSource::FromText("separator=semicolon\ncolumn.test=test\n"
                                                        "column.control=control\ncolumn.value=value\n"
                                                        "column.date=date\ncolumn.time=time\n");
    src.Id = DefaultSourceId;
    Operations().SetInboxSource(src);
    Operations().MapInstrumentResults({DefaultSourceId, "GLU", "QC-N", "Glucose", 1});
    return inbox;
}

void Drop(const std::string& path, const std::string& lines) {
    std::ofstream(path, std::ios::binary) << "test;control;value;date;time\n" << lines;
    // Written a while ago: nothing waits for it to settle.
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::minutes(1));
}
} // namespace

class TestInbox : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        InitTestResources();
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
    }

    void optionsStoreTheFolderAndShowThePanel() {
        TGuiFolder folder;
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.InboxWatch->BtInbox->isHidden());
        const std::string inbox = folder.Path() + "in/";
        fs::create_directories(inbox);
        bool refused = false;
        OnNextModal([&](QDialog* d) {
            auto* o = static_cast<TWinInboxOptions*>(d);
            QVERIFY(!o->CBAutoAccept->isChecked()); // off until chosen
            QCOMPARE(o->EditWindow->value(), 10);
            // The program folder is refused, and the window stays open.
            o->EditFolder->setText(QString::fromStdString(folder.Path()));
            o->BtOK->click();
            refused = o->isVisible();
            o->EditFolder->setText(QString::fromStdString(inbox));
            o->CBAutoAccept->setChecked(true);
            o->EditWindow->setValue(15);
            o->BtOK->click();
        });
        w.findChild<QAction*>(QStringLiteral("MnuInbox"))->trigger();
        QVERIFY(refused);
        QCOMPARE(ShownTexts().size(), size_t(1));
        const TInboxSettings s = Operations().InboxSettings();
        QCOMPARE(s.Folder, inbox);
        QVERIFY(s.AutoAccept);
        QCOMPARE(s.WindowMinutes, 15.0);
        QVERIFY(w.InboxWatch->BtInbox->isVisible());
        QCOMPARE(w.InboxWatch->BtInbox->text(), QStringLiteral("Inbox: 0 new"));
    }

    void theOpenWindowReadsDroppedFilesButNotUnderADialog() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 2, 20);
        const std::string inbox = MakeInbox(folder.Path());
        QVERIFY(!inbox.empty());
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // The watcher sees the file and the window reads it.
        Drop(inbox + "a.csv", "GLU;QC-N;100.0;2026-03-05;08:00\nCHOL;C1;4.0;2026-03-05;08:00\n");
        QTRY_VERIFY_WITH_TIMEOUT(!FileExists(inbox + "a.csv"), 5000);
        QCOMPARE(Fifo.Count(), 1);
        QCOMPARE(w.BtFifo->text(), QStringLiteral("Q&ueue : 1"));
        QCOMPARE(w.InboxWatch->BtInbox->text(), QStringLiteral("Inbox: 1 new, 1 not mapped"));
        QVERIFY(w.InboxWatch->BtInbox->toolTip().contains(QStringLiteral("1 run(s) to the queue")));

        // A dialog is open: nothing is read until it closes.
        QDialog dialog(&w);
        dialog.setModal(true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        Drop(inbox + "b.csv", "GLU;QC-N;101.0;2026-03-06;08:00\n");
        w.InboxWatch->ReadNow();
        QTest::qWait(700);
        QVERIFY(FileExists(inbox + "b.csv"));
        dialog.close();
        QTRY_VERIFY_WITH_TIMEOUT(!FileExists(inbox + "b.csv"), 5000);
        QCOMPARE(Fifo.Count(), 2);
        // A file that cannot be read is counted until someone takes it out of failed/.
        Drop(inbox + "c.csv", "GLU;QC-N;high;2026-03-07;08:00\n");
        QTRY_VERIFY_WITH_TIMEOUT(w.InboxWatch->BtInbox->text().endsWith(QStringLiteral(", 1 failed")), 5000);
        QVERIFY(w.InboxWatch->BtInbox->toolTip().contains(QStringLiteral("c.csv to failed: line 2")));
    }

    // A reading that lasts shows its bar; Cancel leaves every file waiting and the inbox alone for a while.
    void cancellingALongReadingLeavesTheFilesWaiting() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 2, 20);
        const std::string inbox = MakeInbox(folder.Path());
        QVERIFY(!inbox.empty());
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.InboxWatch->ProgressAfterMs = 0; // shown at the second word of progress
        for (int k = 0; k < 3; ++k)
            Drop(inbox + "r" + std::to_string(k) + ".csv",
                 "GLU;QC-N;10" + std::to_string(k) + ".0;2026-03-0" + std::to_string(k + 1) + ";08:00\n");
        // The first events taken are those the bar lets through once it is up.
        bool shown = false;
        QTimer::singleShot(0, &w, [&] {
            auto* bar = w.findChild<QProgressDialog*>(QStringLiteral("InboxProgress"));
            shown = bar && bar->isVisible() && bar->isModal();
            if (bar) bar->cancel();
        });
        w.InboxWatch->ReadNow();
        QVERIFY(shown);
        QVERIFY(!w.findChild<QProgressDialog*>(QStringLiteral("InboxProgress")));
        QCOMPARE(Fifo.Count(), 0);
        for (int k = 0; k < 3; ++k) QVERIFY(FileExists(inbox + "r" + std::to_string(k) + ".csv"));
        QVERIFY(w.InboxWatch->BtInbox->toolTip().contains(QStringLiteral("cancelled: the files wait until")));
        // Not read again at once, whatever wakes the watch.
        w.InboxWatch->ReadNow();
        QTest::qWait(700);
        QVERIFY(FileExists(inbox + "r0.csv"));
        QCOMPARE(Fifo.Count(), 0);
    }

    void mappingOneBringsItsWaitingResultsIn() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 2, 20);
        const std::string inbox = MakeInbox(folder.Path());
        Drop(inbox + "a.csv", "GLU;QC-P;200.0;2026-03-05;08:00\nGLU;QC-P;201.0;2026-03-06;08:00\n");
        QVERIFY(Operations().ReadInbox().Ok());
        QCOMPARE(Fifo.Count(), 0);
        TWinInboxMapping m;
        m.FormActivate();
        QCOMPARE(m.NotMapped->rowCount(), 2);
        QCOMPARE(m.NotMapped->data(m.NotMapped->index(0, 7), Qt::DisplayRole).toString(),
                 QStringLiteral("no mapping"));
        QCOMPARE(m.EditCode->text(), QStringLiteral("GLU"));
        QCOMPARE(m.EditControl->text(), QStringLiteral("QC-P"));
        QCOMPARE(m.GridMappings->rowCount(), 1);
        m.CBAnalyte->setCurrentText(QStringLiteral("Glucose"));
        m.CBLevel->setCurrentIndex(1);
        m.BtMap->click();
        QCOMPARE(Fifo.Count(), 2);
        QCOMPARE(m.NotMapped->rowCount(), 0);
        QCOMPARE(m.GridMappings->rowCount(), 2);
        QVERIFY(m.LblStatus->text().startsWith(QStringLiteral("Mapped: 2 run(s) to the queue")));
        // A level the analyte does not have is refused with a box; nothing is stored.
        m.EditSource->setText(QStringLiteral("default"));
        m.EditCode->setText(QStringLiteral("GLU"));
        m.EditControl->setText(QStringLiteral("QC-X"));
        m.CBLevel->setCurrentIndex(2);
        m.BtMap->click();
        QCOMPARE(ShownTexts().size(), size_t(1));
        QCOMPARE(m.GridMappings->rowCount(), 2);
        // Reading options that do not read are refused; good ones are stored for the source.
        m.CBSource->setCurrentText(QStringLiteral("cx"));
        m.MemoOptions->setPlainText(QStringLiteral("separator=colon\n"));
        m.BtSaveOptions->click();
        QCOMPARE(ShownTexts().size(), size_t(2));
        m.MemoOptions->setPlainText(QStringLiteral("separator=tab\nheader=no\n"));
        m.BtSaveOptions->click();
        QCOMPARE(Operations().InboxSource("cx").Separator, '\t');
        QVERIFY(!Operations().InboxSource("cx").HeaderLine);
        // Removing a mapping.
        m.GridMappings->selectRow(1);
        m.BtRemove->click();
        QCOMPARE(Operations().InboxMappings().size(), size_t(1));
    }

    // The files the reading put into failed/ are listed with their reasons, read again or removed; the
    // results of a file that will never map are discarded with a reason.
    void failedFilesAndResultsNotMappedAreClearedAway() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 2, 20);
        const std::string inbox = MakeInbox(folder.Path());
        Drop(inbox + "c.csv", "GLU;QC-N;high;2026-03-07;08:00\n");
        Drop(inbox + "d.csv", "CHOL;C1;4.0;2026-03-05;08:00\nCHOL;C1;4.1;2026-03-06;08:00\n");
        Operations().ReadInbox();
        TWinInboxMapping m;
        m.FormActivate();
        QCOMPARE(m.GridFailed->rowCount(), 1);
        QCOMPARE(m.GridFailed->item(0, 1)->text(), QStringLiteral("c.csv"));
        QVERIFY2(m.GridFailed->item(0, 2)->text().contains(QStringLiteral("line 2")),
                 qPrintable(m.GridFailed->item(0, 2)->text()));
        m.BtReadAgain->click();
        QVERIFY(FileExists(inbox + "c.csv"));
        QCOMPARE(m.GridFailed->rowCount(), 0);
        Operations().ReadInbox();
        m.FormActivate();
        QCOMPARE(m.GridFailed->rowCount(), 1);
        // Removing asks why; cancelled, the file stays.
        TDialogScript::ReasonNext(QString());
        m.BtRemoveFailed->click();
        QCOMPARE(m.GridFailed->rowCount(), 1);
        TDialogScript::ReasonNext(QStringLiteral("typing error of the night shift"));
        m.BtRemoveFailed->click();
        QCOMPARE(m.GridFailed->rowCount(), 0);
        QVERIFY(Operations().FailedInboxFiles().empty());

        QCOMPARE(m.NotMapped->rowCount(), 2);
        m.GridNotMapped->selectRow(0);
        TDialogScript::ReasonNext(QStringLiteral("patient results, no QC"));
        m.BtDiscard->click();
        QCOMPARE(TDialogScript::ReasonQuestions().back(),
                 std::string("Why are the 2 results of d.csv that wait for a mapping thrown away?"));
        QCOMPARE(m.NotMapped->rowCount(), 0);
        QCOMPARE(m.LblStatus->text(), QStringLiteral("Discarded: 2 result(s) of d.csv"));
        QCOMPARE(Operations().Journal().back().Reason, std::string("patient results, no QC"));
    }

    // The panel keeps its text whole or shortens it with its whole text in the hint; never cut.
    void thePanelTextFitsTheBar() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 2, 20);
        const std::string inbox = MakeInbox(folder.Path());
        Drop(inbox + "c.csv", "GLU;QC-N;high;2026-03-07;08:00\n");
        Drop(inbox + "d.csv", "CHOL;C1;4.0;2026-03-05;08:00\n");
        Operations().ReadInbox();
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QToolButton* b = w.InboxWatch->BtInbox;
        w.InboxWatch->Refresh();
        const QString full = b->property("fullText").toString();
        QCOMPARE(full, QStringLiteral("Inbox: 0 new, 1 not mapped, 1 failed"));
        QTRY_VERIFY(b->width() >= b->sizeHint().width());
        QVERIFY(b->text() == full || (b->text().endsWith(QChar(0x2026)) && b->toolTip().startsWith(full)));
    }

    // Reopened after mapping the high control to level 2: Enter in another field maps nothing, and
    // moving the control to level 1 is confirmed first.
    void replacingAMappingIsConfirmed() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 2, 20);
        MakeInbox(folder.Path());
        QVERIFY(Operations().MapInstrumentResults({DefaultSourceId, "GLU", "QC-P", "Glucose", 2}).Ok());
        TWinInboxMapping m;
        m.FormActivate();
        m.show();
        QVERIFY(m.EditControl->text().isEmpty()); // not the last control beside level 1
        m.EditSource->setText(QStringLiteral("default"));
        m.EditCode->setText(QStringLiteral("GLU"));
        m.EditControl->setText(QStringLiteral("QC-P"));
        m.CBAnalyte->setCurrentText(QStringLiteral("Glucose"));
        m.CBLevel->setCurrentIndex(0);
        m.CBSource->setFocus();
        QTest::keyClick(m.CBSource->lineEdit(), Qt::Key_Return);
        QVERIFY(ShownTexts().empty());
        QCOMPARE(Operations().InboxMappingOf("default", "GLU", "QC-P")->Level, 2);
        m.BtMap->click(); // the question answered Cancel
        QCOMPARE(ShownTexts().size(), size_t(1));
        QCOMPARE(
            ShownTexts()[0],
            std::string("default GLU QC-P is mapped to Glucose level 2. Map it to Glucose level 1 instead?"));
        QCOMPARE(Operations().InboxMappingOf("default", "GLU", "QC-P")->Level, 2);
        TDialogScript::AnswerNext(mbOK);
        m.BtMap->click();
        QCOMPARE(Operations().InboxMappingOf("default", "GLU", "QC-P")->Level, 1);
        QVERIFY(ShownTexts().back().find("Runs already held in the queue") == 0);
    }

    // A source that listens is served by the open program: a message sent with Debian's HL7 library is
    // acknowledged once its result is held, and under an open dialog its sender waits for the answer.
    void theOpenProgramTakesLiveMessages() {
        if (!QFileInfo::exists(QStringLiteral("/usr/bin/python3")) ||
            QProcess::execute(QStringLiteral("/usr/bin/python3"), {"-c", "import hl7.client"}) != 0)
            QSKIP("python3-hl7 is not installed (apt-get install python3-hl7)");
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 2, 20);
        const std::string inbox = MakeInbox(folder.Path());
        TInstrumentSource live = TInstrumentSource::FromText("listen=127.0.0.1:0\nprotocol=mllp\n");
        live.Id = "an";
        QVERIFY(Operations().SetInboxSource(live).Ok());
        QVERIFY(Operations().MapInstrumentResults({"an", "GLU", "QC-N", "Glucose", 1}).Ok());
        std::ofstream(folder.File("send.py"))
            << "import sys, hl7\nfrom hl7.client import MLLPClient\n"
               "m = ('MSH|^~\\\\&|AN|LAB|LIS|LAB|20260305090000||OUL^R22^OUL_R22|%s|P|2.5.1\\r'\n"
               "     'SPM|1|||QC|||||||Q\\rINV|QC-N\\rOBR|1|||GLU\\r'\n"
               "     'OBX|1|NM|GLU^Glucose||%s|mmol/L|||||F|||20260305%s00\\r') % tuple(sys.argv[2:5])\n"
               "with MLLPClient('127.0.0.1', int(sys.argv[1])) as c:\n"
               "    r = hl7.parse(c.send_message(m).strip(b'\\x0b\\x1c\\r').decode())\n"
               "    print('%s|%s' % (r.segment('MSA')[1], r.segment('MSA')[2]))\n";
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int port = w.InboxWatch->ListeningPort("an");
        QVERIFY(port > 0);
        QVERIFY(w.InboxWatch->BtInbox->toolTip().contains(
            QStringLiteral("an listens on port %1 (mllp)").arg(port)));
        auto send = [&](QProcess& p, const char* id, const char* value, const char* time) {
            p.start(QStringLiteral("/usr/bin/python3"),
                    {QString::fromStdString(folder.File("send.py")), QString::number(port), id, value, time});
            QVERIFY(p.waitForStarted());
        };
        const int before = Fifo.Count();
        QProcess first;
        first.setProcessChannelMode(QProcess::ForwardedErrorChannel); // a failed send says why
        send(first, "M1", "5.02", "0800");
        QTRY_VERIFY_WITH_TIMEOUT(first.state() == QProcess::NotRunning, 10000);
        QCOMPARE(first.readAllStandardOutput(), QByteArray("AA|M1\n"));
        QCOMPARE(Fifo.Count(), before + 1);
        QVERIFY(w.InboxWatch->BtInbox->toolTip().contains(QStringLiteral("1 run(s) to the queue")));

        QDialog dialog(&w);
        dialog.setModal(true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QProcess second;
        send(second, "M2", "5.10", "0900");
        QTest::qWait(800);
        QCOMPARE(second.state(), QProcess::Running);
        QCOMPARE(Fifo.Count(), before + 1);
        dialog.close();
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 10000);
        QCOMPARE(second.readAllStandardOutput(), QByteArray("AA|M2\n"));
        QCOMPARE(Fifo.Count(), before + 2);
        QVERIFY(fs::exists(inbox + "an/processed"));

        // A connection that ends inside a message: its bytes kept in failed/, and counted.
        QProcess half;
        half.start(QStringLiteral("/usr/bin/python3"),
                   {"-c", QStringLiteral("import socket; s = socket.create_connection(('127.0.0.1', %1)); "
                                         "s.sendall(b'\\x0bMSH|half'); s.close()")
                              .arg(port)});
        QVERIFY(half.waitForFinished(10000));
        QTRY_VERIFY_WITH_TIMEOUT(w.InboxWatch->BtInbox->text().endsWith(QStringLiteral(", 1 failed")), 5000);
        const std::vector<TFailedInboxFile> failed = Operations().FailedInboxFiles();
        QCOMPARE(failed.size(), size_t(1));
    }

    // With a password set, what the inbox accepts changes only once it is given.
    void acceptanceIsBehindThePassword() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 2, 20);
        MakeInbox(folder.Path());
        Settings.Password = "SECRET";
        TScriptedAnswers answers;
        TWinInboxMapping m;
        m.FormActivate();
        m.EditSource->setText(QStringLiteral("default"));
        m.EditCode->setText(QStringLiteral("GLU"));
        m.EditControl->setText(QStringLiteral("QC-P"));
        m.CBAnalyte->setCurrentText(QStringLiteral("Glucose"));
        answers.AnswerPassword(false);
        m.BtMap->click();
        m.GridMappings->selectRow(0);
        answers.AnswerPassword(false);
        m.BtRemove->click();
        m.CBSource->setCurrentText(QStringLiteral("default"));
        m.MemoOptions->setPlainText(QStringLiteral("separator=tab\n"));
        answers.AnswerPassword(false);
        m.BtSaveOptions->click();
        TWinInboxOptions o;
        o.FormActivate();
        o.CBAutoAccept->setChecked(true);
        answers.AnswerPassword(false);
        o.BtOK->click();
        QCOMPARE(answers.passwordQuestions, 4);
        QCOMPARE(Operations().InboxMappings().size(), size_t(1));
        QCOMPARE(Operations().InboxSource("default").Separator, ';');
        QVERIFY(!Operations().InboxSettings().AutoAccept);
        // The time window alone asks nothing; auto-accept with the password is stored.
        o.FormActivate();
        o.EditWindow->setValue(20);
        o.BtOK->click();
        QCOMPARE(answers.passwordQuestions, 4);
        QCOMPARE(Operations().InboxSettings().WindowMinutes, 20.0);
        o.FormActivate();
        o.CBAutoAccept->setChecked(true);
        answers.AnswerPassword(true);
        o.BtOK->click();
        QVERIFY(Operations().InboxSettings().AutoAccept);
        Settings.Password.clear();
    }
};

QTEST_MAIN(TestInbox)
#include "test_inbox.moc"
