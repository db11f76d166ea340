// The windows and the companion are callers of one operations layer: the same inputs through the main
// window's handlers and through varnholt-cli leave byte-identical data, queue and archive files.
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "../cli/CliSupport.h"
#include "GuiTestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UExchangeCommands.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "UImport.h"
#include "UMain.h"
#include "UOperations.h"
#include "UValidCQ.h"

namespace {
// Presses OK or Cancel of the validation window once it is shown modally.
void AnswerValidation(bool ok) {
    auto* timer = new QTimer();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, ok] {
        auto* v = dynamic_cast<TWinValidCQ*>(QApplication::activeModalWidget());
        if (!v) return;
        timer->stop();
        timer->deleteLater();
        (ok ? v->BtOK : v->BtCancel)->click();
    });
    timer->start();
}

void TypeRun(TWinMain& w, const QDate& day, const QStringList& values, const char* op, const char* comment) {
    w.DatePicker->setDate(day);
    w.TimePicker->setTime(QTime(9, 30));
    for (int k = 0; k < values.size(); ++k) w.EntryRows[static_cast<size_t>(k)].Value->setText(values[k]);
    w.CBOperator->setEditText(QString::fromLatin1(op));
    w.EditComment->setText(QString::fromLatin1(comment));
}

// Values in a level Calcium does not use, an empty line and a line with no value in its levels.
const char* ImportText = "2030-02-01\t08:00:00\t2.41\t2.62\t9.9\r\n"
                         "\r\n"
                         "2030-02-02\t08:00:00\t\t\t9.9\r\n"
                         "2030-02-03\t08:00:00\t2.39\t\t\r\n";

std::vector<std::string> StoredFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        std::string n = e.path().filename();
        if (n == "Varnholt.qcf" || n == "Varnholt.fif" || e.path().extension() == ".qca") names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

class TestSameFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
    }

    void windowsAndCompanionWriteTheSameFiles() {
        TGuiFolder folder;
        Settings.LastBackup = Today();
        Settings.ShowAboutAtStart = false;
        AddTestAnalyte("Glucose", 3, 12);
        AddTestAnalyte("Calcium", 2, 8, 2.5);
        WriteAllData();
        const std::string cli = folder.File("cli/"), media = folder.File("media/"),
                          media2 = folder.File("media2/");
        for (const std::string& d : {cli, media, media2}) std::filesystem::create_directory(d);
        AtomicWriteFile(cli + "Varnholt.qcf", ReadWholeFile(DataFileName()));
        AtomicWriteFile(folder.File("import.txt"), ImportText);

        // Through the windows.
        Settings.BackupFolder = media;
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LBAnalytes->setCurrentRow(0);
        TypeRun(w, QDate(2030, 1, 2), {"3.1", "5.2", "12.4"}, "JD", "first");
        AnswerValidation(true);
        w.BtOKEnter->click();
        TypeRun(w, QDate(2030, 1, 3), {"3.0", "", "12.1"}, "AB", "held");
        AnswerValidation(false);
        w.BtOKEnter->click();
        QCOMPARE(Fifo.Count(), 1);
        AnswerValidation(true);
        w.BtFifo->click();
        QCOMPARE(Fifo.Count(), 0);
        TypeRun(w, QDate(2030, 1, 4), {"2.9", "5.0", "12.0"}, "CD", "kept");
        AnswerValidation(false);
        w.BtOKEnter->click();
        w.LBAnalytes->setCurrentRow(1);
        ExchangeDialogHook() = [&](TExchangeDialog, const QString&) {
            return QString::fromStdString(folder.File("import.txt"));
        };
        TDialogScript::AnswerNext(mbOK); // add the runs dated after today
        TDialogScript::AnswerNext(mbOK); // add to the previous points
        QTimer::singleShot(50, [&w] { w.WinImport->BtAdd->click(); });
        w.MnuImport->trigger();
        ExchangeDialogHook() = nullptr;
        w.LBAnalytes->setCurrentRow(0);
        w.MnuErase->trigger();
        w.EraseToggleClick(1);
        TDialogScript::AnswerNext(mbOK);
        w.BtValidEraseClick();
        TDialogScript::AnswerNext(mbOK); // confirm the backup
        w.BtBackup->click();
        TDialogScript::AnswerNext(mbOK); // confirm the restore
        w.Disketterestore1Click();
        QVERIFY(!ListAnalytes.FindByName("Calcium")->Points.empty());
        TDialogScript::AnswerNext(mbOK);
        w.close();

        // Through the companion, the same inputs.
        const std::vector<std::vector<std::string>> commands = {
            {"add", "Glucose", "2030-01-02", "09:30", "3.1", "5.2", "12.4", "--operator", "JD", "--comment",
             "first"},
            {"queue", "add", "Glucose", "2030-01-03", "09:30", "3.0", "-", "12.1", "--operator", "AB",
             "--comment", "held"},
            {"queue", "recall"},
            {"queue", "add", "Glucose", "2030-01-04", "09:30", "2.9", "5.0", "12.0", "--operator", "CD",
             "--comment", "kept"},
            {"import", "Calcium", folder.File("import.txt"), "--future"},
            {"archive", "Glucose", "2"},
            {"backup", media2},
            {"restore", media2},
        };
        for (const auto& args : commands) {
            TRun r = RunCompanion("", cli, args);
            QVERIFY2(r.status == 0, (args[0] + ": " + r.err).c_str());
        }

        const std::vector<std::string> files = StoredFiles(folder.Path());
        QCOMPARE(files, (std::vector<std::string>{"QC000001.qca", "Varnholt.fif", "Varnholt.qcf"}));
        QCOMPARE(StoredFiles(cli), files);
        for (const std::string& f : files)
            QVERIFY2(ReadWholeFile(folder.File(f)) == ReadWholeFile(cli + f), f.c_str());
        QVERIFY(ReadWholeFile(media + "Varnholt.Sav") == ReadWholeFile(media2 + "Varnholt.Sav"));
    }
};

QTEST_MAIN(TestSameFiles)
#include "test_samefiles.moc"
