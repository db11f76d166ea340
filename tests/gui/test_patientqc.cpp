// Quality > Patient-based QC: the procedure proposed and saved from the window, its chart, the alarms
// acknowledged with a corrective action and an operator, and the main window's notice of open alarms.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>
#include <cmath>

#include "GuiTestHelpers.h"
#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UMain.h"
#include "UOperations.h"
#include "UPatientQcView.h"

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
};

QTEST_MAIN(TestPatientQc)
#include "test_patientqc.moc"
