// Quality > Patient-based QC: the procedure proposed and saved from the window, its chart, the alarms
// acknowledged with a corrective action and an operator, and the main window's notice of open alarms.
// Its tuning window: the three procedures simulated on the stream, the chosen line taken into the boxes.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>
#include <cmath>

#include "GuiTestHelpers.h"
#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UDrawChart.h"
#include "UGlobale.h"
#include "UMain.h"
#include "UOperations.h"
#include "UPatientQcView.h"
#include "UPqcTuning.h"
#include "UQualityCharts.h"

namespace {

// 160 results every ten minutes two days ago, 139 to 141, but 150 from result 100 to 109 and 130 to 139.
std::vector<TDateTime> Sodium() {
    ListAnalytes.Add(std::make_unique<TAnalyte>("Sodium", "mmol/L", 0, 1));
    WriteAllData();
    std::vector<TDateTime> times;
    std::string text;
    const TDateTime start = std::floor((Now() - 2) * 86400) / 86400;
    for (int i = 0; i < 160; ++i) {
        const bool high = (i >= 100 && i < 110) || (i >= 130 && i < 140);
        times.push_back(start + i / 144.0);
        text += IsoRegional().DateTimeToText(times.back()) + "\t" +
                (high ? std::string("150") : std::to_string(139 + i % 3)) + "\n";
    }
    text += IsoRegional().DateTimeToText(start) + "\t<120\n";
    if (!Operations().ImportPatientResults(*ListAnalytes.FindByName("Sodium"), text).Ok()) return {};
    // The moments as the stream keeps them, read back from their text.
    times.clear();
    for (const TPatientResult& r : Operations().PatientStream(*ListAnalytes.FindByName("Sodium")))
        times.push_back(r.Time);
    return times;
}

int Pixels(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == colour;
    return count;
}

} // namespace

class TestPatientQc : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestResources(); }

    void procedureChartAndAcknowledgedAlarms() {
        TGuiFolder folder;
        const std::vector<TDateTime> times = Sodium();
        QCOMPARE(times.size(), size_t(160));
        QVERIFY(Operations().SetOperators({"AB", "CD"}).Ok());
        TWinMain w;
        w.FillAnalyteList();
        w.show();
        auto* notice = w.findChild<QToolButton*>("BtPatientQcAlarm");
        QVERIFY(notice);
        QVERIFY(notice->isHidden());

        QString title, before, after;
        QStringList states;
        bool lambdaForMa = true, proposed = false;
        QImage chart;
        OnNextModal([&](QDialog* d) {
            auto* win = dynamic_cast<TWinPatientQc*>(d);
            QVERIFY(win);
            title = win->windowTitle();
            before = win->LblCounts->text();
            QVERIFY(!win->BtAcknowledge->isEnabled());
            // A proposal from the stream fills the boxes; nothing is kept before Save.
            win->EdN->setValue(5);
            win->BtPropose->click();
            proposed = !win->EdTarget->text().isEmpty() && !win->EdHigh->text().isEmpty();
            QVERIFY(!Operations().PatientQcProcedure(*CurrentAnalyte));
            lambdaForMa = win->EdLambda->isEnabled();
            // A limit that is no number is refused, naming the box; nothing is kept.
            win->EdTarget->setText("140");
            win->EdLow->setText("138");
            win->EdHigh->setText("abc");
            TDialogScript::AnswerNext(mbOK);
            win->BtSave->click();
            QVERIFY(!Operations().PatientQcProcedure(*CurrentAnalyte));
            win->EdHigh->setText("142");
            win->EdTruncLow->clear();
            win->EdTruncHigh->clear();
            win->BtSave->click();
            after = win->LblCounts->text();
            for (int r = 0; r < win->GridAlarms->rowCount(); ++r)
                states << win->GridAlarms->item(r, 1)->text();
            chart = win->PBoxPqc->grab().toImage();
            win->grab().save("/tmp/varnholt_patientqc.png");
            // The first alarm acknowledged by CD with the first corrective action and a note.
            win->CBOperator->setCurrentText("CD");
            TDialogScript::ReasonNext("patients of the hour re-run");
            QVERIFY(win->BtAcknowledge->isEnabled());
            win->BtAcknowledge->click();
            states << win->GridAlarms->item(0, 1)->text() << win->GridAlarms->item(0, 2)->text();
            // The next open alarm is chosen at once.
            QCOMPARE(win->GridAlarms->currentRow(), 1);
            win->accept();
        });
        w.findChild<QAction*>("MnuPatientQc")->trigger();
        QCOMPARE(title, QString("Patient-based QC of Sodium"));
        QVERIFY2(before.contains("Results: 160; left out by rule: 0 not numeric, 1 censored, 0 flagged"),
                 qPrintable(before));
        QVERIFY(before.contains("No procedure is kept for Sodium"));
        QVERIFY(proposed);
        QVERIFY(!lambdaForMa);
        QCOMPARE(ShownTexts().size(), size_t(1));
        QVERIFY2(QString::fromStdString(ShownTexts()[0]).contains("Upper control limit"),
                 ShownTexts()[0].c_str());
        QVERIFY2(after.contains("outside the truncation limits: 0"), qPrintable(after));
        QCOMPARE(states,
                 (QStringList{"open", "open", "acknowledged",
                              "Repeated the control and it was in range; patients of the hour re-run"}));
        // The statistic drawn in the first level's colour, the limits and the open alarm in red.
        QVERIFY(Pixels(chart, QColor(0, 0, 192)) > 100);
        QVERIFY(Pixels(chart, QColor(255, 0, 0)) > 100);

        const std::vector<TPqcAlarm> alarms = Operations().PatientQcAlarms(*CurrentAnalyte);
        QCOMPARE(alarms.size(), size_t(2));
        QCOMPARE(alarms[0].Operator, std::string("CD"));
        QVERIFY(alarms[0].Time == times[101]);
        QVERIFY(!alarms[1].Acknowledged);
        // The main window names the analyte with an open alarm; the notice opens the window.
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text(), QString("Patient QC alarm: Sodium"));
        QCoreApplication::processEvents();
        w.grab().save("/tmp/varnholt_patientqc_main.png");

        OnNextModal([&](QDialog* d) {
            auto* win = dynamic_cast<TWinPatientQc*>(d);
            QVERIFY(win);
            TDialogScript::ReasonNext("Recalibrated");
            win->BtAcknowledge->click();
            QVERIFY(!win->BtAcknowledge->isEnabled());
            win->accept();
        });
        notice->click();
        QVERIFY(Operations().PatientQcOpenAlarms().empty());
        QVERIFY(notice->isHidden());
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    // The main window: the strip with the current analyte's statistic under the window while it has a
    // procedure, and its alarms as dashed lines between the runs around them (red, grey once acknowledged).
    void mainWindowStripAndAlarmsBetweenTheRuns() {
        TGuiFolder folder;
        const std::vector<TDateTime> times = Sodium();
        QCOMPARE(times.size(), size_t(160));
        TAnalyte& sodium = *ListAnalytes.FindByName("Sodium");
        for (TDateTime t : {times[0] - 1 / 24.0, times[80], times[120], times[159] + 1 / 24.0})
            sodium.AddPoint(TestRun(t, {140}));
        ListAnalytes.Add(std::make_unique<TAnalyte>("Potassium", "mmol/L", 1, 1));
        WriteAllData();
        TPqcSettings s;
        s.N = 5;
        s.Target = 140;
        s.Low = 138;
        s.High = 142;
        QVERIFY(Operations().SetPatientQcProcedure(sodium, s).Ok());
        const std::vector<TPqcAlarm> alarms = Operations().PatientQcAlarms(sodium);
        QCOMPARE(alarms.size(), size_t(2));
        QVERIFY(alarms[0].Time > times[100] && alarms[0].Time < times[110]);
        QVERIFY(alarms[1].Time > times[130] && alarms[1].Time < times[140]);
        QVERIFY(Operations().SetOperators({"AB"}).Ok());

        TWinMain w;
        w.FillAnalyteList();
        w.show();
        auto* strip = w.findChild<QWidget*>("PBoxPatientQc");
        QVERIFY(strip);
        auto select = [&w](const QString& name) {
            const auto items = w.LBAnalytes->findItems(name, Qt::MatchExactly);
            QCOMPARE(items.size(), 1);
            w.LBAnalytes->setCurrentItem(items[0]);
            w.LBAnalytesClick();
        };
        // Red and grey pixels down the column of the line between runs 1 and 2, and 2 and 3.
        auto column = [&w](int k, const QColor& c) {
            const QImage img = w.PBox->grab().toImage();
            int n = 0;
            for (int y = 0; y < img.height(); ++y) n += img.pixelColor(ChartLeft + k * PointStep + 7, y) == c;
            return n;
        };
        const QColor red(255, 0, 0), grey(128, 128, 128);
        select("Sodium");
        QVERIFY(strip->isVisible());
        QCOMPARE(w.centralWidget()->size(), QSize(792, 526 + 150));
        QVERIFY(column(1, red) > 40 && column(2, red) > 40);
        const QImage drawn = strip->grab().toImage();
        QVERIFY(Pixels(drawn, red) > 100);

        // Acknowledged in the patient-based QC window: grey from then on.
        OnNextModal([&](QDialog* d) {
            auto* win = dynamic_cast<TWinPatientQc*>(d);
            QVERIFY(win);
            win->GridAlarms->setCurrentCell(0, 0);
            win->CBOperator->setCurrentText("AB");
            TDialogScript::ReasonNext("recalibrated");
            win->BtAcknowledge->click();
            win->accept();
        });
        w.findChild<QAction*>("MnuPatientQc")->trigger();
        QVERIFY(Operations().PatientQcAlarms(sodium)[0].Acknowledged);
        QVERIFY(column(1, red) < 10 && column(1, grey) > 40);
        QVERIFY(column(2, red) > 40);

        // An analyte without a procedure: no strip, the window its own size again.
        select("Potassium");
        QVERIFY(strip->isHidden());
        QCOMPARE(w.centralWidget()->size(), QSize(792, 526));
        QVERIFY(column(1, red) < 10 && column(2, red) < 10);
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    void tuningOnTheStreamGivesTheLineChosen() {
        TGuiFolder folder;
        QCOMPARE(Sodium().size(), size_t(160));
        const std::vector<TPatientResult> stream =
            Operations().PatientStream(*ListAnalytes.FindByName("Sodium"));
        TPqcSettings base;
        base.N = 10;
        const std::vector<TPqcTuningLine> expected = TunePqc(base, stream, {{-5, true}, {5, true}}, 50, 3);
        TWinMain w;
        w.FillAnalyteList();
        QStringList procedures, anped, falseAlarms;
        int rowsAfterRefusal = -1;
        bool useBefore = true;
        QString title, note;
        int procedure = -1;
        QString low, high;
        OnNextModal([&](QDialog* d) {
            auto* win = dynamic_cast<TWinPatientQc*>(d);
            QVERIFY(win);
            win->EdN->setValue(10);
            OnNextModal([&](QDialog* t) {
                auto* tune = dynamic_cast<TWinPqcTuning*>(t);
                QVERIFY(tune);
                title = tune->windowTitle();
                tune->EdBiases->setText("5 abc");
                tune->BtSimulate->click();
                rowsAfterRefusal = tune->Grid->rowCount();
                tune->EdBiases->setText("-5 5");
                tune->EdRuns->setValue(50);
                tune->EdSeed->setValue(3);
                tune->BtSimulate->click();
                for (int r = 0; r < tune->Grid->rowCount(); ++r) {
                    procedures << tune->Grid->item(r, 0)->text() + " " + tune->Grid->item(r, 5)->text();
                    falseAlarms << tune->Grid->item(r, 6)->text();
                    anped << tune->Grid->item(r, 7)->text();
                }
                note = tune->LblNote->text();
                useBefore = tune->BtUse->isEnabled();
                tune->Grid->setCurrentCell(5, 0);
                tune->BtUse->click();
            });
            win->BtTune->click();
            procedure = win->CBProcedure->currentIndex();
            low = win->EdLow->text();
            high = win->EdHigh->text();
            win->accept();
        });
        TDialogScript::Reset();
        w.findChild<QAction*>("MnuPatientQc")->trigger();
        QCOMPARE(title, QString("Tuning by simulation on 160 results"));
        QCOMPARE(rowsAfterRefusal, 0);
        QCOMPARE(ShownTexts().size(), size_t(1));
        QVERIFY(ShownTexts()[0].rfind("Biases: ", 0) == 0);
        QCOMPARE(procedures,
                 (QStringList{"Moving average -5.0 %", "Moving average +5.0 %", "Moving median -5.0 %",
                              "Moving median +5.0 %", "EWMA -5.0 %", "EWMA +5.0 %"}));
        // The figures of the layer's own tuning with the same stream, settings, runs and seed.
        QCOMPARE(size_t(anped.size()), expected.size());
        for (size_t k = 0; k < expected.size(); ++k) {
            QVERIFY2(expected[k].Message.empty(), expected[k].Message.c_str());
            QCOMPARE(anped[int(k)], FixedText(expected[k].Simulation.ANPed, 1));
            QCOMPARE(falseAlarms[int(k)], FixedText(expected[k].Simulation.FalseAlarmsPer1000, 2));
        }
        QVERIFY(note.startsWith("50 runs per line, seed 3"));
        QVERIFY(!useBefore);
        // The EWMA line under +5 % in the boxes, not yet saved.
        QCOMPARE(procedure, 2);
        QCOMPARE(low, FixedText(expected[5].Settings.Low, 1));
        QCOMPARE(high, FixedText(expected[5].Settings.High, 1));
        QVERIFY(!Operations().PatientQcProcedure(*ListAnalytes.FindByName("Sodium")));
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }
};

QTEST_MAIN(TestPatientQc)
#include "test_patientqc.moc"
