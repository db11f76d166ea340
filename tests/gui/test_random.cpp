// Tests of the random generator window: the grid, its checks and questions, both destinations.
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "../../main/URandom.h"
#include "UDataLoadSave.h"
#include "UEntryFlow.h"
#include "UFifoResult.h"
#include "support_prompt.h"
#include "support_reference.h"
#include "support_valid.h"

namespace {
void Cell(TWinRandom& w, int column, int row, const QString& text) {
    w.Grille->item(row, column)->setText(text);
}
} // namespace

class TestRandom : public QObject {
    Q_OBJECT
    TGuiTempFolder folder;
    TWinRandom* w = nullptr;

private slots:
    void init() {
        RefResetLists();
        Fifo.ClearQueue();
        RandomSeed(7);
        w = new TWinRandom;
    }
    void cleanup() { delete w; }

    void gridFollowsTheAnalyte() {
        const int id = ListSerum.AddMaterial("Control N", "L1");
        TAnalyte& a = RefAddAnalyte("Glucose", 2);
        a.MaterialId[0] = id;
        w->SetAnalyte(a);
        w->FormActivate();
        QCOMPARE(w->windowTitle(), QStringLiteral("Random data generator for Glucose"));
        QCOMPARE(w->Grille->columnCount(), 3);
        QCOMPARE(w->Grille->rowCount(), 3);
        QCOMPARE(w->Grille->item(0, 0)->text(), QStringLiteral("Control material"));
        QCOMPARE(w->Grille->item(1, 0)->text(), QStringLiteral("m (g/L)"));
        QCOMPARE(w->Grille->item(2, 0)->text(), QStringLiteral("C.V. (%)"));
        QCOMPARE(w->Grille->item(0, 1)->text(), QStringLiteral("Control N"));
        QCOMPARE(w->Grille->item(0, 2)->text(), QStringLiteral("Unknown"));
        QVERIFY(w->RBCharts->isChecked());
        QVERIFY(w->EditNumber->text().isEmpty());
        QCOMPARE(w->DatePicker->date(), QDate::currentDate());
        QCOMPARE(w->Grille->currentRow(), 1);
        QCOMPARE(w->Grille->currentColumn(), 1);
    }

    // Keys typed at once after a click on a cell reach it: the grid shows its editors at all times.
    void fastTypingInTheGridIsKept() {
        TAnalyte& a = RefAddAnalyte("Glucose", 2);
        w->SetAnalyte(a);
        w->FormActivate();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        auto typeInto = [this](int row, int column, const QString& text) {
            const QRect cell = w->Grille->visualItemRect(w->Grille->item(row, column));
            QTest::mouseClick(w->Grille->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::keyClicks(QApplication::focusWidget(), text);
        };
        typeInto(1, 1, QStringLiteral("3.5"));
        typeInto(2, 1, QStringLiteral("4"));
        typeInto(1, 2, QStringLiteral("7"));
        // Focus given to the grid goes on to the current cell's editor.
        w->EditNumber->setFocus();
        w->Grille->setFocus();
        QCOMPARE(QApplication::focusWidget(), w->Grille->indexWidget(w->Grille->currentIndex()));
        TScriptedAnswers answers;
        w->EditNumber->setText(QStringLiteral("2"));
        w->BtOKClick();
        QVERIFY2(answers.shown.empty(), answers.shown.empty() ? "" : answers.LastText().c_str());
        QCOMPARE(a.Count(), 2);
        QCOMPARE(a.Points[0].Levels[1].State, psEmpty); // a mean without its CV
        QCOMPARE(w->Grille->item(1, 1)->text(), QStringLiteral("3.5"));
    }

    void refusedParametersGenerateNothing() {
        TAnalyte& a = RefAddAnalyte("Glucose", 2);
        w->SetAnalyte(a);
        w->FormActivate();
        TScriptedAnswers answers;
        for (const char* n : {"0", "1001", "x"}) {
            w->EditNumber->setText(QString::fromLatin1(n));
            w->BtOKClick();
            QCOMPARE(answers.shown.back().buttons, unsigned(mbOK));
        }
        QCOMPARE(answers.shown[0].text, std::string("0 is too low\n\rMinimum allowed = 1"));
        QCOMPARE(answers.shown[1].text, std::string("1001 is too high\n\rMaximum allowed = 1000"));
        // A mean without its CV on every level fills nothing.
        w->EditNumber->setText(QStringLiteral("5"));
        Cell(*w, 1, 1, QStringLiteral("5"));
        Cell(*w, 2, 1, QStringLiteral("8"));
        w->BtOKClick();
        QCOMPARE(answers.LastText(), std::string("Fill in the grid"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
        // A cell that is no number: its message, and the cell made current.
        Cell(*w, 2, 2, QStringLiteral("abc"));
        w->BtOKClick();
        QCOMPARE(answers.LastText(), std::string("Incorrect floating number"));
        QCOMPARE(w->Grille->currentRow(), 2);
        QCOMPARE(w->Grille->currentColumn(), 2);
        QCOMPARE(w->result(), int(QDialog::Rejected));
        QCOMPARE(a.Count(), 0);
        QCOMPARE(Fifo.Count(), 0);
    }

    void pointsToTheChartsOnePerDay() {
        TAnalyte& a = RefAddAnalyte("Calcium", 3);
        a.LimitMode[1] = lmFixed;
        a.Options &= uint8_t(~TAnalyte::OptCommonCV); // a pooled CV would give level 1 limits
        w->SetAnalyte(a);
        w->FormActivate();
        TScriptedAnswers answers;
        w->EditNumber->setText(QStringLiteral(" 10 "));
        w->DatePicker->setDate(QDate(2024, 3, 1));
        w->TimePicker->setTime(QTime(9, 0));
        Cell(*w, 1, 1, QStringLiteral("2.5"));
        Cell(*w, 1, 2, QStringLiteral("0"));
        Cell(*w, 3, 1, QStringLiteral("10"));
        Cell(*w, 3, 2, QStringLiteral("5"));
        w->BtOKClick();
        QVERIFY(answers.shown.empty()); // no points yet: no question
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(a.Count(), 10);
        QCOMPARE(w->LastIndex, 9);
        for (int k = 0; k < 10; ++k) {
            const ControlPoint& p = a.Points[size_t(k)];
            QCOMPARE(p.DateTime, EncodeDate(2024, 3, 1 + k) + EncodeTime(9, 0, 0));
            QCOMPARE(p.Levels[0].Value, 2.5f); // CV 0: every value on the mean
            QCOMPARE(p.Levels[1].State, psEmpty);
            QVERIFY(p.Levels[2].State != psEmpty);
        }
        QCOMPARE(int(a.Limits[0].State), 6); // all values equal
        for (int k = 0; k < 3; ++k) QCOMPARE(a.LimitMode[size_t(k)], lmMobile);
        // With points present the question names them.
        w->FormActivate();
        w->EditNumber->setText(QStringLiteral("2"));
        w->DatePicker->setDate(QDate(2024, 3, 1));
        Cell(*w, 1, 1, QStringLiteral("2,5"));
        Cell(*w, 1, 2, QStringLiteral("1"));
        answers.Answer(mbCancel);
        w->BtOKClick();
        QCOMPARE(answers.LastText(), std::string("Create 2 random QC points from 01/03/2024\r"
                                                 "Add the new random points to the previous ones."));
        QCOMPARE(a.Count(), 10);
        QCOMPARE(w->result(), int(QDialog::Rejected));
    }

    void runsToTheQueueThroughTheCommand() {
        TAnalyte& a = RefAddAnalyte("Urea", 1);
        RefAddPoint(a, 0, {4.0f});
        TScriptedAnswers answers;
        // Without an analyte the window does not open.
        TRandomOutcome none = RandomGeneratorCommand(nullptr, *w);
        QVERIFY(!none.Done);
        QCOMPARE(answers.LastText(), std::string("No analyte"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbOK));
        answers.Answer(mbOK);
        QTimer::singleShot(0, w, [this] {
            w->EditNumber->setText(QStringLiteral("3"));
            w->DatePicker->setDate(QDate(2024, 5, 2));
            w->RBFifo->setChecked(true);
            Cell(*w, 1, 1, QStringLiteral("4"));
            // The CV typed in the grid's open editor, then Enter in the grid runs OK.
            QVERIFY(QTest::qWaitForWindowActive(w));
            w->Grille->setFocus();
            w->Grille->setCurrentCell(2, 1);
            QWidget* editor = w->Grille->indexWidget(w->Grille->currentIndex());
            QVERIFY(editor);
            QTest::keyClicks(editor, QStringLiteral("3"));
            QTest::keyClick(editor, Qt::Key_Return);
        });
        TRandomOutcome out = RandomGeneratorCommand(&a, *w);
        QVERIFY(out.Done && out.ToQueue);
        QCOMPARE(
            answers.LastText(),
            std::string("Create 3 random QC points from 02/05/2024\rAdd the new random points in the fifo."));
        QCOMPARE(a.Count(), 1);
        QCOMPARE(Fifo.Count(), 3);
        QCOMPARE(Fifo.Entries().front().DateTime, EncodeDate(2024, 5, 2) + EncodeTime(9, 0, 0));
        QCOMPARE(Fifo.Entries().back().DateTime, EncodeDate(2024, 5, 4) + EncodeTime(9, 0, 0));
        QCOMPARE(Fifo.Entries().front().AnalyteName, std::string("Urea"));
        QCOMPARE(ValidQueueFile().size(), size_t(3));
        // Escape in the grid closes the window.
        QTimer::singleShot(0, w, [this] { QTest::keyClick(w->Grille, Qt::Key_Escape); });
        QVERIFY(!RandomGeneratorCommand(&a, *w).Done);
    }
};

QTEST_MAIN(TestRandom)
#include "test_random.moc"
