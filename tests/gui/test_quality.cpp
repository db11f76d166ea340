// The quality windows: normalised charts (z-scores, Youden plot), the monthly summary with its printout
// and CSV file, and the Quality menu's import of a goal file.
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>
#include <cmath>

#include "GuiTestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UMain.h"
#include "UMainQuality.h"
#include "UMonthlySummary.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UUtilitaires.h"
#include "UZScores.h"
#include "support_print.h"

namespace {

// Glucose, two levels: five runs in March 2026 (the manual's example, locked), a warning and a
// discarded value in April, its goal TEa 10 % with targets 5 and 15.
TAnalyte& Glucose() {
    auto& a = ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 3, 2));
    const double l1[] = {4.949, 4.949, 5.05, 5.151, 5.151};
    const double l2[] = {15.147, 15.147, 15.3, 15.453, 15.453};
    const TDateTime march = EncodeDate(2026, 3, 2);
    for (int k = 0; k < 5; ++k) PrnAddPoint(a, march + k, {l1[k], l2[k]});
    a.LimitMode = {lmLocked, lmLocked, lmMobile};
    a.LockFirst = {0, 0, -1};
    a.LockLast = {4, 4, -1};
    a.RecalcAll();
    const TDateTime april = EncodeDate(2026, 4, 1);
    PrnAddPoint(a, april, {5.3, 15.3});
    PrnAddPoint(a, april + 1, {5.0, 18.0}, {psInControl, psDiscarded});
    a.RecalcAll();
    a.ClassifyAllPoints();
    WriteAllData();
    if (!Operations().ImportGoals("Glucose;10;5;15").Ok()) qFatal("goal not kept");
    return a;
}

} // namespace

class TestQuality : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestResources(); }

    void zScoresAgainstTheReferenceAndYoudenPairs() {
        TGuiFolder folder;
        TAnalyte& a = Glucose();
        a.Options &= ~TAnalyte::OptCommonCV; // first each level with its own SD, as in the manual
        a.RecalcAll();
        TWinZScores win;
        QCOMPARE(win.Execute(nullptr, {}), int(QDialog::Rejected));
        QCOMPARE(ShownTexts(), std::vector<std::string>{"No analyte."});

        std::vector<TZPoint> z;
        std::vector<TYoudenPoint> pairs;
        QString basis;
        int pairsOneDay = -1;
        OnNextModal([&](QDialog*) {
            z = win.View().Points;
            pairs = win.Pairs();
            basis = win.LblBasis->text();
            win.DateFrom->setDate(QDate(2026, 4, 1));
            win.DateTo->setDate(QDate(2026, 4, 1));
            pairsOneDay = static_cast<int>(win.Pairs().size());
            win.accept();
        });
        win.Execute(&a, {0, a.Count() - 1});
        QCOMPARE(z.size(), size_t(7));
        // Level 1's mean and SD are the locked interval's: 5.05 and 0.101; 5.3 lies 2.475 SD above.
        QVERIFY(std::fabs(z[5].Z[0] - (5.3 - 5.05) / 0.101) < 1e-4);
        QVERIFY(z[6].Has[1]);
        QCOMPARE(z[6].Judgement.Level[1], ocDiscarded);
        // The discarded value of level 2 leaves its run out of the Youden plot.
        QCOMPARE(pairs.size(), size_t(6));
        QCOMPARE(pairsOneDay, 1);
        QVERIFY2(basis.contains("Level 1: mean 5.05000, SD 0.10100 over 5 values"), qPrintable(basis));

        // With the common CV on, z is counted in the SD the limits use, and the basis says so.
        a.Options |= TAnalyte::OptCommonCV;
        a.RecalcAll();
        const long double sd = a.Limits[0].WarnDev / TQuantile(Settings.AlertRow, a.Limits[0].DF);
        const TZView common =
            ZView(a, a.Points.front().DateTime, a.Points.back().DateTime, {0, a.Count() - 1});
        QVERIFY(std::fabs(common.Points[5].Z[0] - (5.3 - 5.05) / static_cast<double>(sd)) < 1e-4);
        const std::string line = ZBasisLines(a, common)[0];
        QVERIFY2(line.find("SD " + FormatFixed(sd, 12, 5) + " of the common CV over 5 values") !=
                     std::string::npos,
                 line.c_str());
    }

    void oneLevelHasNoYoudenPlotAndPrintsTheZChart() {
        TGuiFolder folder;
        TAnalyte& a = ListAnalytes.Add(std::make_unique<TAnalyte>("Iron", "umol/L", 1, 1));
        for (int k = 0; k < 6; ++k) PrnAddPoint(a, EncodeDate(2026, 5, 1) + k, {20.0 + k % 3});
        a.RecalcAll();
        const QString pdf = QString::fromStdString(folder.Path()) + "z.pdf";
        SetTestOutput(pdf);
        TWinZScores win;
        bool comboEnabled = true;
        OnNextModal([&](QDialog*) {
            comboEnabled = win.CBLevelB->isEnabled();
            win.BtPrn->click();
            win.accept();
        });
        win.Execute(&a, {0, a.Count() - 1});
        SetTestOutput(QString());
        QVERIFY(!comboEnabled);
        const std::string text = PrnPdfText(pdf);
        QCOMPARE(PrnCount(text, "Normalised charts of Iron"), 2); // title and footer
        QCOMPARE(PrnCount(text, "z-scores of all levels"), 1);
        QCOMPARE(PrnCount(text, "Youden plot"), 0);
    }

    void zChartAndYoudenPlotArePrinted() {
        TGuiFolder folder;
        TAnalyte& a = Glucose();
        const QString pdf = QString::fromStdString(folder.Path()) + "zy.pdf";
        SetTestOutput(pdf);
        TWinZScores win;
        OnNextModal([&](QDialog*) {
            win.BtPrn->click();
            win.accept();
        });
        win.Execute(&a, {0, a.Count() - 1});
        SetTestOutput(QString());
        const std::string text = PrnPdfText(pdf);
        QCOMPARE(PrnPdfPages(pdf), 1);
        QCOMPARE(PrnCount(text, "Youden plot"), 1);
        QCOMPARE(PrnCount(text, "z of Level 1"), 1);
        // The warning of level 1 in April is drawn yellow on the page.
        const QImage page = PrnRenderPage(pdf, 1, 100);
        int yellow = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) yellow += page.pixelColor(x, y) == QColor(255, 255, 0);
        QVERIFY(yellow > 10);
    }

    void monthlySummaryWindowPrintoutAndCsv() {
        TGuiFolder folder;
        TAnalyte& a = Glucose();
        TWinMonthlySummary win;
        std::vector<std::vector<std::string>> rows;
        QString refused;
        bool printAfterRefusal = true;
        const std::string csv = folder.File("summary.csv");
        const QString pdf = QString::fromStdString(folder.Path()) + "summary.pdf";
        SetTestOutput(pdf);
        OnNextModal([&](QDialog*) {
            win.DateFrom->setDate(QDate(2026, 3, 1));
            win.DateTo->setDate(QDate(2026, 4, 1));
            rows = SummaryRows(a, win.Summary());
            QCOMPARE(win.Grid->rowCount(), 6);
            QCOMPARE(win.Grid->item(0, 7)->text(), QString("4.50"));
            TDialogScript::FileNext(QString::fromStdString(csv));
            win.BtExport->click();
            win.BtPrn->click();
            // The last month before the first: no figures, the reason instead, nothing to print.
            win.DateTo->setDate(QDate(2026, 2, 1));
            refused = win.LblGoal->text();
            printAfterRefusal = win.BtPrn->isEnabled();
            win.accept();
        });
        win.Execute(&a);
        SetTestOutput(QString());
        QCOMPARE(rows.size(), size_t(6));
        // March: the worked example; April: one counted value each, a warning and a discarded value.
        QCOMPARE(rows[0], (std::vector<std::string>{"2026-03", "1", "5", "5.05000", "0.10100", "2.00", "1.00",
                                                    "4.50", "0", "0", "0", ""}));
        QCOMPARE(rows[3][10], std::string("1"));
        QCOMPARE(rows[3][4], std::string("n/a"));
        QCOMPARE(rows[3][11], std::string("fewer than two values"));
        QCOMPARE(rows[4][0], std::string("2026-03 to 2026-04"));
        QCOMPARE(rows[4][2], std::string("7"));
        QCOMPARE(refused, QString("The last month is before the first"));
        QVERIFY(!printAfterRefusal);

        const std::string file = ReadWholeFile(csv);
        QVERIFY(file.starts_with(
            "\xEF\xBB\xBF"
            "Analyte;Month;Level;N;Mean;SD;CV %;Bias %;Sigma;Warnings;Rejects;Discarded;Notes\r\n"
            "Glucose;2026-03;1;5;5.05000;0.10100;2.00;1.00;4.50;0;0;0;\r\n"));
        QVERIFY(file.find("Glucose;2026-04;2;1;15.30000;;;;;0;0;1;fewer than two values\r\n") !=
                std::string::npos);
        const std::string text = PrnPdfText(pdf);
        QCOMPARE(PrnCount(text, "Monthly summary of Glucose"), 2);
        QCOMPARE(PrnCount(text, "2026-03 to 2026-04"), 2); // header line, and the cumulative rows' one cell
        // It ends, as every QC printout, with the sign-off line (to sign by hand: no review covers it).
        QCOMPARE(PrnCount(text, "Reviewed by ____"), 1);
    }

    void qualityMenuOpensTheWindowsAndImportsGoals() {
        TGuiFolder folder;
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
        Glucose();
        TWinMain w;
        w.FillAnalyteList();
        auto* menu = w.findChild<QMenu*>("MnuQuality");
        QVERIFY(menu);
        QString title;
        OnNextModal([&](QDialog* d) {
            title = d->windowTitle();
            d->accept();
        });
        w.findChild<QAction*>("MnuMonthlySummary")->trigger();
        QCOMPARE(title, QString("Monthly summary of Glucose"));
        OnNextModal([&](QDialog* d) {
            title = d->windowTitle();
            d->accept();
        });
        w.findChild<QAction*>("MnuZScores")->trigger();
        QCOMPARE(title, QString("Normalised charts of Glucose"));

        // A bad file changes nothing and says why; a good one says how many goals it set.
        AtomicWriteFile(folder.File("bad.csv"), "Glucose;12;5\nGlucose;0\n");
        AtomicWriteFile(folder.File("good.csv"), "Glucose;12;5\nSodium;4\n");
        TDialogScript::Reset();
        TDialogScript::FileNext(QString::fromStdString(folder.File("bad.csv")));
        w.findChild<QAction*>("MnuImportGoals")->trigger();
        QCOMPARE(ShownTexts(),
                 std::vector<std::string>{"Line 2: TEa must be above zero, not 0: nothing was imported"});
        QCOMPARE(TDialogScript::Shown().back().buttons, unsigned(mbOK)); // a new message's button
        QVERIFY(Operations().Goal("Glucose").Target[1].has_value());
        TDialogScript::Reset();
        TDialogScript::FileNext(QString::fromStdString(folder.File("good.csv")));
        w.findChild<QAction*>("MnuImportGoals")->trigger();
        QCOMPARE(ShownTexts(), (std::vector<std::string>{"Skipped, no analyte of that name: Sodium",
                                                         "1 quality goal imported"}));
        QVERIFY(!Operations().Goal("Glucose").Target[1].has_value());
        QCOMPARE(double(*Operations().Goal("Glucose").TEa), 12.0);
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }
};

QTEST_MAIN(TestQuality)
#include "test_quality.moc"
