// Quality > Measurement uncertainty: the analyte preselected over the last six months, the figures of
// the core per level, a level without enough data saying why, bad input refused, and the printout.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "GuiTestHelpers.h"
#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UMain.h"
#include "UMuView.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UPrnUncertainty.h"
#include "support_print.h"
#include "support_script.h"

namespace {

// Sodium first, then Glucose: level 1 holds 4, 5, 6 (CV 20 %) in the period and 50 a year before,
// level 2 one value only.
TAnalyte& Glucose() {
    ListAnalytes.Add(std::make_unique<TAnalyte>("Sodium", "mmol/L", 1, 1));
    auto& a = ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2));
    a.MaterialId = {ListSerum.AddMaterial("Low", "A1"), ListSerum.AddMaterial("High", "H1"), -1};
    const TDateTime day = Today() - 30;
    PrnAddPoint(a, day - 365, {50, NAN}, {psInControl, psEmpty});
    PrnAddPoint(a, day, {4, 10});
    PrnAddPoint(a, day + 1, {5, NAN}, {psInControl, psEmpty});
    PrnAddPoint(a, day + 2, {6, NAN}, {psInControl, psEmpty});
    a.RecalcAll();
    WriteAllData();
    return a;
}

QStringList Row(QTableWidget* grid, int r) {
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c) cells << grid->item(r, c)->text();
    return cells;
}

} // namespace

class TestUncertainty : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestResources(); }

    void figuresGapsBadInputAndPrintout() {
        TGuiFolder folder;
        TAnalyte& glucose = Glucose();
        TWinMain w;
        w.FillAnalyteList();
        CurrentAnalyte = &glucose;
        const QString pdf = QString::fromStdString(folder.File("mu.pdf"));
        std::vector<TLevelUncertainty> core;
        QVERIFY(Operations().Uncertainty(glucose, DefaultUncertaintyRequest(Today()), core).Ok());
        QCOMPARE(core.size(), size_t(2));
        QVERIFY(core[0].URwPct);

        QString title, analyte, gapNote, badNote, targetU;
        QStringList none, target, level2, bad;
        QDate from, to;
        double k = 0;
        bool printEnabled = true;
        OnNextModal([&](QDialog* d) {
            auto* win = dynamic_cast<TWinMu*>(d);
            QVERIFY(win);
            title = win->windowTitle();
            analyte = win->CBAnalyte->currentText();
            from = win->DateFrom->date();
            to = win->DateTo->date();
            k = win->EditK->value();
            none = Row(win->Grid, 0);
            level2 = Row(win->Grid, 1);
            gapNote = win->LblNote->text();
            win->grab().save("/tmp/hA_mu.png");
            // The target's stated uncertainty enters u(bias), and a maximum U is compared.
            win->CBBias->setCurrentIndex(win->CBBias->findText("target"));
            win->EditTargetU->setText("15");
            win->EditMaxU->setText("45");
            win->Refill();
            target = Row(win->Grid, 0);
            SetTestOutput(pdf);
            win->BtPrint->click();
            SetTestOutput(QString());
            // A maximum that is no number: no figure at all, and why.
            win->EditMaxU->setText("4x");
            win->Refill();
            badNote = win->LblNote->text();
            printEnabled = win->BtPrint->isEnabled();
            bad << QString::number(win->Grid->rowCount());
            win->EditMaxU->setText("45");
            win->EditCvi->setText("10");
            win->Refill();
            bad << win->LblNote->text().section('\n', 0, 0);
            QTest::keyClick(win, Qt::Key_Escape);
        });
        w.findChild<QAction*>("MnuUncertainty")->trigger();
        QCOMPARE(title, QString("Measurement uncertainty of Glucose"));
        QCOMPARE(analyte, QString("Glucose"));
        QCOMPARE(to, QDate::currentDate());
        QCOMPARE(from, QDate::currentDate().addMonths(-6));
        QCOMPARE(k, 2.0);
        // Level, lots, N, u(Rw), u(bias), source, u_c, U, max U, met: the old value left out of the period.
        QCOMPARE(none, (QStringList{"1", "Low A1: n 3, CV 20.00 %", "3", "20.00", "0.00", "none", "20.00",
                                    "40.00", "-", "-"}));
        QCOMPARE(none[3], TUncertaintyTexts::Pct(core[0].URwPct));
        QCOMPARE(level2,
                 (QStringList{"2", "High H1: n 1 (left out)", "0", "-", "-", "none", "-", "-", "-", "-"}));
        QVERIFY(gapNote.contains("Level 2: no uncertainty: No lot holds two values in the period"));
        // u_c = sqrt(20^2 + 15^2) = 25, U = 50 above 45.
        QCOMPARE(target, (QStringList{"1", "Low A1: n 3, CV 20.00 %", "3", "20.00", "15.00", "target",
                                      "25.00", "50.00", "45.00", "no"}));
        QVERIFY(badNote.startsWith("The maximum U must be a number above zero"));
        QVERIFY(!printEnabled);
        QCOMPARE(bad, (QStringList{"0", "Give the maximum U or the CVI, not both"}));

        const std::string text = PrnPdfText(pdf);
        for (const char* expected : {"Measurement uncertainty of Glucose", "Low A1: n 3, CV 20.00 %", "25.00",
                                     "50.00", "45.00", "No lot holds two values in the period",
                                     "Source of the bias: the target's stated standard uncertainty, 15.00 %",
                                     "U = k x u_c with k = 2.00", "Printed on"})
            QVERIFY2(PrnCount(text, expected) >= 1, expected);
        QVERIFY(PrnCount(text, FromQString(DateText(Today()))) >= 1);
        w.close();
    }
};

QTEST_MAIN(TestUncertainty)
#include "test_uncertainty.moc"
