// A run's road through the main window: typed, validated or held, recalled, saved to disk.
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "GuiTestHelpers.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "UMain.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UValidCQ.h"

namespace {
// Presses OK or Cancel of the validation window as soon as it is shown modally (the entry first
// lets pending events run, so the answer waits for the window).
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

void TypeRun(TWinMain& w, const QDate& day, const char* value, const char* op) {
    w.DatePicker->setDate(day);
    w.TimePicker->setTime(QTime(9, 30));
    w.EntryRows[0].Value->setText(QString::fromLatin1(value));
    w.CBOperator->setEditText(QString::fromLatin1(op));
}
} // namespace

class TestMainRoad : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
    }

    void acceptedRunIsSavedAndHeldRunComesBack() {
        TGuiFolder folder;
        Settings.LastBackup = Today();
        TAnalyte& a = AddTestAnalyte("Glucose", 1, 12);
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.BtFifo->text(), QStringLiteral("Q&ueue : 0"));

        // Accepted: in the analyte, selected, and in the data file on disk.
        TypeRun(w, QDate(2030, 1, 2), "101,5", "JD");
        AnswerValidation(true);
        w.BtOKEnter->click();
        QCOMPARE(a.Count(), 13);
        QCOMPARE(SelectedPoint, 12);
        QCOMPARE(a.Points.back().Levels[0].Value, 101.5f);
        QVERIFY(w.EntryRows[0].Value->text().isEmpty()); // fields cleared for the next run
        ReadDataFile(DataFileName());
        QCOMPARE(ListAnalytes[0].Count(), 13);
        TAnalyte& reread = ListAnalytes[0];
        CurrentAnalyte = nullptr;
        w.FillAnalyteList();

        // Cancelled: held in the queue, the button counts it and its indicator blinks.
        TypeRun(w, QDate(2030, 1, 3), "99", "");
        AnswerValidation(false);
        w.BtOKEnter->click();
        QCOMPARE(Fifo.Count(), 1);
        QCOMPARE(w.BtFifo->text(), QStringLiteral("Q&ueue : 1"));
        QVERIFY(w.TimerBtFifo->isActive());
        QCOMPARE(reread.Count(), 13);

        // Recalled and accepted: the queue empties, the indicator rests lime, the run is stored.
        AnswerValidation(true);
        w.BtFifo->click();
        QCOMPARE(Fifo.Count(), 0);
        QVERIFY(!w.TimerBtFifo->isActive());
        QCOMPARE(w.ShapeFifo->property("fill").toString(), QStringLiteral("lime"));
        QCOMPARE(reread.Count(), 14);
        ReadDataFile(DataFileName());
        QCOMPARE(ListAnalytes[0].Count(), 14);
        CurrentAnalyte = nullptr;
        w.FillAnalyteList();

        // A refused value changes nothing and says why.
        TDialogScript::Reset();
        TypeRun(w, QDate(2030, 1, 4), "12abc", "");
        w.BtOKEnter->click();
        QCOMPARE(ListAnalytes[0].Count(), 14);
        QCOMPARE(TDialogScript::Shown().back().text, std::string("Incorrect floating number"));
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    // Fields left as they were cleared take the time the run is entered; a date or time the user set
    // is kept.
    void entryTimeIsTheTimeOfOK() {
        TGuiFolder folder;
        Settings.LastBackup = Today();
        TAnalyte& a = AddTestAnalyte("Glucose", 1, 3);
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.ResetEntryFields();
        {
            // The fields as they were cleared an hour ago (no user change).
            QSignalBlocker blockDate(w.DatePicker), blockTime(w.TimePicker);
            TTimeParts t = DecodeTime(Now() - 1.0 / 24);
            w.TimePicker->setTime(QTime(t.Hour, t.Minute, t.Second));
        }
        w.EntryRows[0].Value->setText(QStringLiteral("100"));
        AnswerValidation(true);
        w.BtOKEnter->click();
        QVERIFY(std::fabs(a.Points.back().DateTime - Now()) < 2.0 / 1440);
        w.DatePicker->setDate(QDate(2030, 5, 6));
        w.TimePicker->setTime(QTime(7, 15));
        w.EntryRows[0].Value->setText(QStringLiteral("101"));
        AnswerValidation(true);
        w.BtOKEnter->click();
        QCOMPARE(a.Points.back().DateTime, EncodeDate(2030, 5, 6) + EncodeTime(7, 15, 0));
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    // A point taken back shows the analyte's decimals; left as shown it is entered with its stored value.
    void pointTakenBackShowsDecimalsKeepsItsValue() {
        TGuiFolder folder;
        Settings.LastBackup = Today();
        TAnalyte& a = AddTestAnalyte("Glucose", 1, 3);
        a.Decimals = 1;
        a.Points[1].Levels[0].Value = 3.1096501f;
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (const char* typed : {"", "3.2"}) {
            const TDateTime when = a.Points[1].DateTime;
            w.MovePointToEntryFields(1);
            QCOMPARE(w.EntryRows[0].Value->text(), QStringLiteral("3.1"));
            TResu taken;
            QVERIFY(Operations().TakePointForEdit(a, 1, taken, "typing error").Ok());
            if (*typed) w.EntryRows[0].Value->setText(QString::fromLatin1(typed));
            AnswerValidation(true);
            w.BtOKEnter->click();
            QCOMPARE(a.Count(), 3);
            QCOMPARE(a.Points[1].DateTime, when);
            QCOMPARE(a.Points[1].Levels[0].Value, *typed ? 3.2f : 3.1096501f);
        }
        // Typed into cleared fields, the same text is taken as typed.
        w.EntryRows[0].Value->setText(QStringLiteral("3.1"));
        AnswerValidation(true);
        w.BtOKEnter->click();
        QCOMPARE(a.Points.back().Levels[0].Value, 3.1f);
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    void dueBackupBlinksUntilDone() {
        TGuiFolder folder;
        Settings.BackupInterval = 7;
        Settings.LastBackup = Today() - 7;
        std::string media = ProgramFolder + "media/";
        QDir().mkpath(QString::fromStdString(media));
        Settings.BackupFolder = media;
        AddTestAnalyte("Glucose", 1, 5);
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.TimerBackUp->isActive());
        TDialogScript::AnswerNext(mbOK); // "Confirm data backup"
        w.BtBackup->click();
        QVERIFY(QFile::exists(QString::fromStdString(media + "Varnholt.Sav")));
        QVERIFY(!w.TimerBackUp->isActive());
        QCOMPARE(w.ShapeBackUp->property("fill").toString(), QStringLiteral("lime"));
        QCOMPARE(Settings.LastBackup, Today());
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }
};

QTEST_MAIN(TestMainRoad)
#include "test_mainroad.moc"
