// Tests of the road of a run and the queue commands: what reaches the analyte, the data file and the queue
// file.
#include <QTest>
#include <cmath>

#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UEntryFlow.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "UValidCQ.h"
#include "support_prompt.h"
#include "support_reference.h"
#include "support_valid.h"

namespace {
TEntryFields Fields(int day, std::array<std::string, MaxLevels> values) {
    TEntryFields f;
    f.Date = EncodeDate(2024, 1, 1) + day;
    f.Time = EncodeTime(10, 30, 0);
    f.Values = std::move(values);
    f.Operator = "  AB ";
    f.Comment = " new lot ";
    return f;
}

// Accepts or cancels without showing a window, recording the run it was given.
struct TAnswer {
    explicit TAnswer(bool answer) : ok(answer) {}
    bool ok;
    int calls = 0;
    TResu seen;
    bool operator()(TAnalyte&, TResu& r) {
        ++calls;
        seen = r;
        return ok;
    }
};

// Write failures of the atomic writer for the life of the object.
struct TFailingWrites {
    TFailingWrites() {
        WriteFaults().enabled = true;
        WriteFaults().failAt = TWriteStep::Write;
        WriteFaults().failAfterBytes = 10;
    }
    ~TFailingWrites() { WriteFaults().enabled = false; }
};
} // namespace

class TestEntryFlow : public QObject {
    Q_OBJECT
    TGuiTempFolder folder;

private slots:
    void init() {
        RefResetLists();
        Fifo.ClearQueue();
        std::remove(DataFileName().c_str());
        std::remove(QueueFileName().c_str());
        Settings.LastBackup = Today();
    }

    void acceptedRunIsAddedSelectedAndWritten() {
        TAnalyte& a = RefAddAnalyte("Glucose", 3);
        for (int d = 0; d < 5; ++d) RefAddPoint(a, d * 2, {5.0f + d * 0.1f, 10.0f, 20.0f});
        TWinValidCQ win;
        TValidDriver drive(win);
        // Back-dated between the second and third points, the third level empty.
        TRunOutcome out = EnterRun(a, Fields(3, {"5.3", "10,5", ""}), std::ref(drive));
        QCOMPARE(drive.shown, 1);
        QVERIFY(out.Accepted && out.Saved && out.ResetFields && !out.QueueChanged);
        QCOMPARE(out.SelectedPoint, 2);
        QCOMPARE(a.Count(), 6);
        const ControlPoint& p = a.Points[2];
        QCOMPARE(p.Levels[1].Value, 10.5f); // comma read as the decimal mark
        QCOMPARE(p.Levels[2].State, psEmpty);
        QCOMPARE(p.Operator.Str(), std::string("AB"));
        QCOMPARE(a.CommentText(p.CommentId), std::string("new lot"));
        QCOMPARE(p.DateTime, EncodeDate(2024, 1, 4) + EncodeTime(10, 30, 0));
        auto onDisk = ValidDataFileAnalytes(DataFileName());
        QCOMPARE(onDisk.size(), size_t(1));
        QCOMPARE(onDisk[0]->Count(), 6);
        QCOMPARE(onDisk[0]->Points[2].Levels[0].Value, 5.3f);
        QCOMPARE(a.Limits[0].N, 6); // recomputed
    }

    void rejectedLevelIsStoredDiscarded() {
        TAnalyte& a = RefAddAnalyte("Iron", 2);
        TWinValidCQ win;
        TValidDriver drive(win);
        drive.act = [](TWinValidCQ& w) { w.RejectButtons[1]->click(); };
        EnterRun(a, Fields(0, {"1", "2", ""}), std::ref(drive));
        QCOMPARE(a.Points[0].Levels[1].State, psDiscarded);
        QCOMPARE(ValidDataFileAnalytes(DataFileName())[0]->Points[0].Levels[1].State, psDiscarded);
        // Rejected and cancelled: queued with the level as classified.
        drive.pressOK = false;
        EnterRun(a, Fields(1, {"1", "2", ""}), std::ref(drive));
        QCOMPARE(Fifo.Count(), 1);
        QCOMPARE(Fifo.Entries().front().Levels[1].State, psInControl);
    }

    void refusedEntriesChangeNothing() {
        TAnalyte& a = RefAddAnalyte("Urea", 2);
        RefAddPoint(a, 0, {1.0f, 2.0f});
        TScriptedAnswers answers;
        TAnswer ok{true};
        for (const char* bad : {"abc", "inf", "nan", "1e99", "1.2.3"}) {
            TRunOutcome out = EnterRun(a, Fields(1, {"1", bad, ""}), std::ref(ok));
            QVERIFY2(out.Refused, bad);
            QCOMPARE(out.BadLevel, 1);
            QCOMPARE(answers.shown.back().text, std::string("Incorrect floating number"));
            QCOMPARE(answers.shown.back().buttons, unsigned(mbOK));
            QCOMPARE(answers.shown.back().kind, mkError);
        }
        TRunOutcome out = EnterRun(a, Fields(1, {" ", "", "7"}), std::ref(ok)); // slot 3 not in use
        QVERIFY(out.Refused);
        QCOMPARE(out.BadLevel, -1);
        QCOMPARE(answers.LastText(), std::string("Enter data"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
        QCOMPARE(ok.calls, 0);
        QCOMPARE(a.Count(), 1);
        QCOMPARE(Fifo.Count(), 0);
        QVERIFY(!FileExists(DataFileName()));
        QVERIFY(!FileExists(QueueFileName()));
    }

    void failedDataWriteIsReportedAndTheRunKept() {
        TAnalyte& a = RefAddAnalyte("Calcium", 1);
        TScriptedAnswers answers;
        TAnswer ok{true};
        EnterRun(a, Fields(0, {"2.1", "", ""}), std::ref(ok));
        const std::string before = ReadWholeFile(DataFileName());
        TRunOutcome out;
        {
            TFailingWrites failing;
            out = EnterRun(a, Fields(1, {"2.2", "", ""}), std::ref(ok));
        }
        // Not taken: the box says why and the fields keep the run for another try.
        QVERIFY(!out.Accepted && !out.Saved && !out.ResetFields);
        QCOMPARE(answers.shown.back().kind, mkError);
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
        QVERIFY(answers.LastText().rfind("Cannot save data\r", 0) == 0);
        QCOMPARE(a.Count(), 1);
        QCOMPARE(ReadWholeFile(DataFileName()), before); // the earlier file intact
        out = EnterRun(a, Fields(1, {"2.2", "", ""}), std::ref(ok));
        QVERIFY(out.Accepted && out.Saved);
        QCOMPARE(ValidDataFileAnalytes(DataFileName())[0]->Count(), 2);
    }

    void cancelledRunIsQueuedAndItsFileWritten() {
        TAnalyte& a = RefAddAnalyte("Glucose", 2);
        TAnswer cancel{false};
        TRunOutcome out = EnterRun(a, Fields(0, {"5", "", ""}), std::ref(cancel));
        QVERIFY(out.QueueChanged && !out.Accepted && out.ResetFields);
        QCOMPARE(out.SelectedPoint, -1);
        QCOMPARE(a.Count(), 0);
        QCOMPARE(Fifo.Count(), 1);
        QCOMPARE(QueueButtonCaption(Fifo.Count()), std::string("Q&ueue : 1"));
        auto held = ValidQueueFile();
        QCOMPARE(held.size(), size_t(1));
        QCOMPARE(held[0].AnalyteName, std::string("Glucose"));
        QCOMPARE(held[0].Levels[0].Value, 5.0f);
        QCOMPARE(held[0].Levels[1].State, psEmpty);
        QVERIFY(!FileExists(DataFileName()));
    }

    void recallFromAnEmptyQueue() {
        TScriptedAnswers answers;
        TAnswer ok{true};
        Settings.LastBackup = Today() - 7;
        Settings.BackupInterval = 7;
        TRecallOutcome out = RecallQueuedRun(std::ref(ok));
        QCOMPARE(answers.LastText(), std::string("Nothing hold in the queue"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
        QVERIFY(!out.Analyte && !out.QueueChanged);
        QVERIFY(out.BackupDue); // checked in every case
        QCOMPARE(ok.calls, 0);
    }

    void recallCreatesTheMissingAnalyteAndAcceptsTheRun() {
        TResu r;
        r.AnalyteName = "Ferritin";
        r.DateTime = EncodeDate(2024, 2, 1);
        r.Levels[0] = {30.0f, psInControl};
        Fifo.Push(r);
        AtomicWriteFile(QueueFileName(), QueueImage(Fifo.Entries()));
        TWinValidCQ win;
        TValidDriver drive(win);
        TAnalyte* shownAnalyte = nullptr;
        bool refill = false;
        TRecallOutcome out = RecallQueuedRun(std::ref(drive), [&](TAnalyte& an, bool changed) {
            shownAnalyte = &an;
            refill = changed;
        });
        QCOMPARE(ListAnalytes.Count(), 1);
        TAnalyte& a = ListAnalytes[0];
        QCOMPARE(out.Analyte, &a);
        QCOMPARE(shownAnalyte, &a);
        QVERIFY(refill && out.ListChanged);
        QCOMPARE(a.Name, std::string("Ferritin"));
        QCOMPARE(a.Unit, std::string("mmol/L"));
        QCOMPARE(a.Decimals, 2);
        QCOMPARE(a.NbLevels, 3);
        QVERIFY(out.Accepted && out.Saved);
        QCOMPARE(out.SelectedPoint, 0);
        QCOMPARE(Fifo.Count(), 0);
        QVERIFY(ValidQueueFile().empty());
        QCOMPARE(ValidDataFileAnalytes(DataFileName())[0]->Count(), 1);
    }

    void recallGrowsTheLevelsAndCancelPutsItBehind() {
        TAnalyte& a = RefAddAnalyte("Lipids", 2);
        TResu first = ValidRun(a, 0, {1.0f, 2.0f, 3.0f});
        TResu later = ValidRun(a, 1, {1.5f, NAN, NAN});
        Fifo.Push(first);
        Fifo.Push(later);
        TAnswer cancel{false};
        TRecallOutcome out = RecallQueuedRun(std::ref(cancel));
        QCOMPARE(a.NbLevels, 3);
        QVERIFY(out.ListChanged);
        QCOMPARE(cancel.seen.Levels[2].Value, 3.0f);
        QCOMPARE(Fifo.Count(), 2);
        QCOMPARE(Fifo.Entries().front().DateTime, later.DateTime);
        QCOMPARE(Fifo.Entries().back().DateTime, first.DateTime);
        QCOMPARE(ValidQueueFile().back().DateTime, first.DateTime);
        // A value in slot 2 of a one-level analyte with slot 1 empty: the count reaches slot 2, so
        // the value is not dropped.
        TAnalyte& b = RefAddAnalyte("Single", 1);
        Fifo.ClearQueue();
        Fifo.Push(ValidRun(b, 0, {1.0f, NAN, 9.0f}));
        TAnswer ok{true};
        RecallQueuedRun(std::ref(ok));
        QCOMPARE(b.NbLevels, 3);
        QCOMPARE(b.Points[0].Levels[2].Value, 9.0f);
        QCOMPARE(b.Points[0].Levels[1].State, psEmpty);
    }

    void recalledRunWithAFailedWriteStaysInTheQueueFile() {
        TAnalyte& a = RefAddAnalyte("Calcium", 1);
        Fifo.Push(ValidRun(a, 0, {2.0f}));
        AtomicWriteFile(QueueFileName(), QueueImage(Fifo.Entries()));
        TScriptedAnswers answers;
        TAnswer ok{true};
        TRecallOutcome out;
        {
            TFailingWrites failing;
            out = RecallQueuedRun(std::ref(ok));
        }
        QVERIFY(!out.Accepted && !out.Saved);
        QVERIFY(answers.LastText().rfind("Cannot save data", 0) == 0);
        QCOMPARE(a.Count(), 0);
        QCOMPARE(Fifo.Count(), 1); // still held, at the head
        QCOMPARE(ValidQueueFile().size(), size_t(1));
    }

    void clearingTheQueue() {
        TScriptedAnswers answers;
        QVERIFY(!ClearQueueCommand());
        QCOMPARE(answers.LastText(), std::string("Nothing hold in the queue."));
        TAnalyte& a = RefAddAnalyte("Glucose", 1);
        for (int d = 0; d < 3; ++d) Fifo.Push(ValidRun(a, d, {1.0f}));
        AtomicWriteFile(QueueFileName(), QueueImage(Fifo.Entries()));
        Settings.Password = "SECRET";
        answers.AnswerPassword(false);
        QVERIFY(!ClearQueueCommand());
        QCOMPARE(answers.passwordQuestions, 1);
        QCOMPARE(Fifo.Count(), 3);
        answers.AnswerPassword(true);
        answers.Answer(mbCancel);
        QVERIFY(!ClearQueueCommand());
        QCOMPARE(answers.LastText(), std::string("Erase 3 control points in the queue ?"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbOK | mbCancel));
        QCOMPARE(Fifo.Count(), 3);
        QCOMPARE(ValidQueueFile().size(), size_t(3));
        answers.AnswerPassword(true);
        answers.Answer(mbOK);
        QVERIFY(ClearQueueCommand());
        QCOMPARE(Fifo.Count(), 0);
        QVERIFY(ValidQueueFile().empty());
        Settings.Password.clear();
    }

    void backupReminderRule() {
        Settings.BackupInterval = 7;
        Settings.LastBackup = Today() - 7;
        QVERIFY(BackupIsDue());
        Settings.LastBackup = Today() - 6;
        QVERIFY(!BackupIsDue());
    }
};

QTEST_MAIN(TestEntryFlow)
#include "test_entryflow.moc"
