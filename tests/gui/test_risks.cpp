// Statistical-risks window: rows applied live, Undo, Cancel restoring, OK writing the settings.
#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>
#include <cmath>

#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UGlobale.h"
#include "URisks.h"
#include "UUtilitaires.h"
#include "support_print.h"
#include "support_prompt.h"

namespace {

// One level of 31 points (30 degrees of freedom), common CV off.
TAnalyte ThirtyOnePoints(long double& sd) {
    TAnalyte a("GLU", "mmol/l", 2, 1);
    a.Options = TAnalyte::OptMultirules;
    long double s = 0, q = 0;
    for (int i = 0; i < 31; ++i) {
        double v = 5.0 + 0.1 * ((i * 7) % 11 - 5);
        PrnAddPoint(a, EncodeDate(2025, 1, 1) + i, {v});
        s += static_cast<float>(v);
    }
    long double mean = s / 31;
    for (const ControlPoint& p : a.Points) q += (p.Levels[0].Value - mean) * (p.Levels[0].Value - mean);
    sd = std::sqrt(q / 30);
    a.RecalcAll();
    return a;
}

QRadioButton* Item(TWinRisks& w, const char* name) {
    return w.findChild<QRadioButton*>(name);
}

} // namespace

class TestRisks : public QObject {
    Q_OBJECT
private slots:
    void rowsApplyLiveAndCancelRestores();
    void undoThenOKWritesSettings();
    void passwordLocksOKUntilKey();
    void failedSettingsWriteIsShown();
};

void TestRisks::rowsApplyLiveAndCancelRestores() {
    TGuiTempFolder folder;
    long double sd = 0;
    TAnalyte a = ThirtyOnePoints(sd);
    const LevelStats before = a.Limits[0];
    TWinRisks win;
    int repaints = 0;
    win.RepaintChart = [&] { ++repaints; };
    long double warn = 0, action = 0;
    bool shownRows = false;
    PrnWhenModal([&] {
        shownRows = Item(win, "RGAlertItem0")->isChecked() && Item(win, "RGActionItem2")->isChecked();
        QTest::mouseClick(Item(win, "RGAlertItem1"), Qt::LeftButton);
        QTest::mouseClick(Item(win, "RGActionItem0"), Qt::LeftButton);
        warn = a.Limits[0].WarnDev;
        action = a.Limits[0].ActionDev;
        QCOMPARE(Settings.AlertRow, uint8_t(1));
        // The first action item is row 2 of the t table.
        QCOMPARE(Settings.ActionRow, uint8_t(2));
        QTest::mouseClick(win.BtCancel, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Rejected));
    QVERIFY(shownRows);
    // 2 % with 30 degrees of freedom: mean +/- 2.457 SD.
    QVERIFY(std::fabs(static_cast<double>(warn / sd) - 2.457) < 1e-3);
    QVERIFY(std::fabs(static_cast<double>(action - TQuantile(2, 30) * sd)) < 1e-9);
    QCOMPARE(Settings.AlertRow, uint8_t(0));
    QCOMPARE(Settings.ActionRow, uint8_t(4));
    QCOMPARE(a.Limits[0].WarnDev, before.WarnDev);
    QCOMPARE(a.Limits[0].ActionDev, before.ActionDev);
    QCOMPARE(repaints, 3);
    QVERIFY(!QFile::exists(QString::fromStdString(SettingsFileName())));

    // Without analytes the rows still change, with nothing to recompute.
    PrnWhenModal([&] {
        QTest::mouseClick(Item(win, "RGAlertItem1"), Qt::LeftButton);
        win.reject();
    });
    win.Execute(nullptr);
    QCOMPARE(Settings.AlertRow, uint8_t(0));
}

void TestRisks::undoThenOKWritesSettings() {
    TGuiTempFolder folder;
    long double sd = 0;
    TAnalyte a = ThirtyOnePoints(sd);
    const LevelStats before = a.Limits[0];
    TWinRisks win;
    bool undone = false;
    PrnWhenModal([&] {
        QTest::mouseClick(Item(win, "RGAlertItem1"), Qt::LeftButton);
        QTest::mouseClick(Item(win, "RGActionItem1"), Qt::LeftButton);
        QTest::mouseClick(win.BtUndo, Qt::LeftButton);
        undone = Settings.AlertRow == 0 && Settings.ActionRow == 4 &&
                 Item(win, "RGAlertItem0")->isChecked() && Item(win, "RGActionItem2")->isChecked() &&
                 a.Limits[0].WarnDev == before.WarnDev;
        QTest::mouseClick(Item(win, "RGActionItem1"), Qt::LeftButton);
        QTest::mouseClick(win.BtOK, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Accepted));
    QVERIFY(undone);
    QCOMPARE(Settings.ActionRow, uint8_t(3));
    QVERIFY(std::fabs(static_cast<double>(a.Limits[0].ActionDev - TQuantile(3, 30) * sd)) < 1e-9);
    // The settings file holds the new rows.
    Settings.ActionRow = 4;
    LoadSettings();
    QCOMPARE(Settings.AlertRow, uint8_t(0));
    QCOMPARE(Settings.ActionRow, uint8_t(3));
}

void TestRisks::passwordLocksOKUntilKey() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    Settings.Password = "SECRET";
    long double sd = 0;
    TAnalyte a = ThirtyOnePoints(sd);
    TWinRisks win;
    bool lockedOK = false, keyShown = false, undoWorks = false, unlocked = false;
    answers.AnswerPassword(true);
    PrnWhenModal([&] {
        lockedOK = !win.BtOK->isEnabled();
        keyShown = win.BtCle->isVisible();
        QTest::mouseClick(Item(win, "RGAlertItem1"), Qt::LeftButton);
        QTest::mouseClick(win.BtUndo, Qt::LeftButton);
        undoWorks = Settings.AlertRow == 0;
        QTest::mouseClick(Item(win, "RGAlertItem1"), Qt::LeftButton);
        QTest::mouseClick(win.BtCle, Qt::LeftButton);
        unlocked = win.BtOK->isEnabled() && !win.BtCle->isVisible() && !win.BtCle->isChecked();
        QTest::mouseClick(win.BtOK, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Accepted));
    QVERIFY(lockedOK);
    QVERIFY(keyShown);
    QVERIFY(undoWorks);
    QVERIFY(unlocked);
    QCOMPARE(answers.passwordQuestions, 1);
    QCOMPARE(Settings.AlertRow, uint8_t(1));
}

void TestRisks::failedSettingsWriteIsShown() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    long double sd = 0;
    TAnalyte a = ThirtyOnePoints(sd);
    TWinRisks win;
    WriteFaults() = {true, TWriteStep::Rename, 0};
    PrnWhenModal([&] {
        QTest::mouseClick(Item(win, "RGAlertItem1"), Qt::LeftButton);
        QTest::mouseClick(win.BtOK, Qt::LeftButton);
    });
    win.Execute(&a);
    WriteFaults() = {};
    QCOMPARE(answers.shown.size(), size_t(1));
    QCOMPARE(answers.shown[0].kind, mkError);
    QVERIFY(answers.LastText().find("Varnholt.cfr") != std::string::npos);
    // Nothing changed: the former rows are back, and nothing was written.
    QCOMPARE(Settings.AlertRow, uint8_t(0));
    QVERIFY(!QFile::exists(QString::fromStdString(SettingsFileName())));
}

QTEST_MAIN(TestRisks)
#include "test_risks.moc"
