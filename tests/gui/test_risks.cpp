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
    void rowsArePreviewedOnACopyAndCancelChangesNothing();
    void undoThenOKWritesSettings();
    void passwordLocksOKUntilKey();
    void failedSettingsWriteIsShown();
};

void TestRisks::rowsArePreviewedOnACopyAndCancelChangesNothing() {
    TGuiTempFolder folder;
    long double sd = 0;
    TAnalyte a = ThirtyOnePoints(sd);
    const LevelStats before = a.Limits[0];
    TWinRisks win;
    std::vector<std::shared_ptr<const TAnalyte>> previews;
    win.ShowPreview = [&](std::shared_ptr<const TAnalyte> copy) { previews.push_back(std::move(copy)); };
    bool shownRows = false, settingsKept = false, analyteKept = false;
    PrnWhenModal([&] {
        shownRows = Item(win, "RGAlertItem0")->isChecked() && Item(win, "RGActionItem2")->isChecked();
        QTest::mouseClick(Item(win, "RGAlertItem1"), Qt::LeftButton);
        QTest::mouseClick(Item(win, "RGActionItem0"), Qt::LeftButton);
        // The first action item is row 2 of the t table.
        QVERIFY((win.Tried() == TRiskRows{1, 2}));
        settingsKept = Settings.AlertRow == 0 && Settings.ActionRow == 4;
        analyteKept = a.Limits[0].WarnDev == before.WarnDev && a.Limits[0].ActionDev == before.ActionDev;
        QTest::mouseClick(win.BtCancel, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Rejected));
    QVERIFY(shownRows);
    QVERIFY(settingsKept);
    QVERIFY(analyteKept);
    // Each click previews a copy computed with the rows tried; closing draws the analyte again.
    QCOMPARE(previews.size(), size_t(3));
    QVERIFY(previews[0] && previews[1] && previews[0].get() != &a);
    QVERIFY(!previews[2]);
    // 2 % with 30 degrees of freedom: mean +/- 2.457 SD.
    QVERIFY(std::fabs(static_cast<double>(previews[0]->Limits[0].WarnDev / sd) - 2.457) < 1e-3);
    QCOMPARE(previews[0]->Limits[0].ActionDev, before.ActionDev);
    QVERIFY(std::fabs(static_cast<double>(previews[1]->Limits[0].ActionDev - TQuantile(2, 30) * sd)) < 1e-9);
    QCOMPARE(Settings.AlertRow, uint8_t(0));
    QCOMPARE(Settings.ActionRow, uint8_t(4));
    QCOMPARE(a.Limits[0].WarnDev, before.WarnDev);
    QVERIFY(!QFile::exists(QString::fromStdString(SettingsFileName())));

    // Without analytes the rows still change, with nothing to preview.
    previews.clear();
    PrnWhenModal([&] {
        QTest::mouseClick(Item(win, "RGAlertItem1"), Qt::LeftButton);
        win.reject();
    });
    win.Execute(nullptr);
    QVERIFY(previews.empty());
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
        undone = (win.Tried() == TRiskRows{0, 4}) && Settings.AlertRow == 0 && Settings.ActionRow == 4 &&
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
        undoWorks = win.Tried().Alert == 0;
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
