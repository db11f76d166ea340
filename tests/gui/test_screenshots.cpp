// Renders the main window with sample data and each small window; writes PNG files when
// VARNHOLT_SCREENSHOTS names a folder (scripts/screenshots.sh), else only checks that each renders.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "GuiTestHelpers.h"
#include "UAbout.h"
#include "UDataLoadSave.h"
#include "UDisplaySize.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "ULogoCQ.h"
#include "UMain.h"
#include "UMotPass.h"
#include "UNewPsw.h"
#include "UOptions.h"
#include "USetUp.h"
#include "UValidCQ.h"
#include "UWinComment.h"

namespace {

void Save(QWidget* w, const char* name) {
    QPixmap shot = w->grab();
    QVERIFY(!shot.isNull());
    QVERIFY(shot.width() > 50 && shot.height() > 20);
    QString folder = qEnvironmentVariable("VARNHOLT_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        QVERIFY(shot.save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png")));
    }
}
// Runs a command of the main window, saves the first modal window it opens and closes it again.
bool SaveModal(const std::function<void()>& command, const char* name) {
    bool saved = false;
    OnNextModal([&](QDialog* dlg) {
        if (QTest::qWaitForWindowExposed(dlg)) {
            Save(dlg, name);
            saved = !QTest::currentTestFailed();
        }
        dlg->reject();
    });
    command();
    return saved;
}
} // namespace

class TestScreenshots : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        InitTestResources();
        QApplication::setFont(ProgramFont()); // as the program's start sets it
    }

    void everyWindowRenders() {
        TGuiFolder folder;
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
        BuildSampleData(); // the program's own first-run data, its five held runs in the queue
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        SelectedPoint = 40;
        w.UpdateVisibleStretch();
        w.RepaintCharts();
        Save(&w, "main-window");

        // The point pop-up beside its point.
        QTest::mouseClick(w.PBox, Qt::RightButton, {}, QPoint(40 + 15 * 25, w.ChartsTop + 60));
        QVERIFY(WinComment && WinComment->isVisible());
        Save(WinComment, "point-popup");
        WinComment->hide();

        // The lock page with a selected interval.
        w.MnuLock->trigger();
        w.IntervalStart = 20;
        w.IntervalEnd = 28;
        w.UpdateIntervalStats();
        w.RepaintCharts();
        Save(&w, "main-window-lock-page");
        w.SwitchPage(ptEnter);
        w.MnuFix->trigger();
        Save(&w, "main-window-fix-page");
        w.MnuErase->trigger();
        w.EraseToggleClick(1);
        Save(&w, "main-window-erase-page");
        w.SwitchPage(ptEnter);

        TWinLogoCQ splash;
        splash.show();
        Save(&splash, "splash");
        TWinEntryPsw psw(&w);
        TWinNewPsw newPsw(&w);
        TWinOptions options(&w);
        TWinAbout about(&w);
        TWinSetUp setUp(&w);
        for (auto [dlg, name] : {std::pair<QWidget*, const char*>{&psw, "password"},
                                 {&newPsw, "new-password"},
                                 {&options, "backup-options"},
                                 {&about, "about"},
                                 {&setUp, "setup"}}) {
            dlg->show();
            QVERIFY(QTest::qWaitForWindowExposed(dlg));
            Save(dlg, name);
            dlg->hide();
        }
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    // The main window at the display size the scale factor gives (QT_SCALE_FACTOR, as the program sets
    // it at start), as the manual shows it at 100, 150 and 200 %; and the display size window.
    void mainWindowAtDisplaySize() {
        TGuiFolder folder;
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
        BuildSampleData();
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int percent =
            qRound(qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble() * 100);
        const QPixmap shot = w.grab();
        QCOMPARE(qRound(shot.width() / (w.width() * percent / 100.0) * 100), 100); // scaled as a whole
        Save(&w, qPrintable(QStringLiteral("main-window-%1").arg(percent)));
        TWinDisplaySize size(&w);
        size.show();
        QVERIFY(QTest::qWaitForWindowExposed(&size));
        if (percent == 100) Save(&size, "display-size");
        size.hide();
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    // The windows of the user manual, opened the way the user opens them.
    void manualWindowsRender() {
        TGuiFolder folder;
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
        BuildSampleData();
        Fifo.ClearQueue();
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(CurrentAnalyte && CurrentAnalyte->NbLevels == 3);
        TAnalyte& a = *CurrentAnalyte;

        // A run after the last point: level 1 in its warning zone, level 2 beyond its action limit.
        {
            const TDateTime when = a.Points[a.Count() - 1].DateTime + 1;
            const LevelStats* l = a.Limits.data();
            TResu run =
                TestRun(when,
                        {double(l[0].Mean + (l[0].WarnDev + l[0].ActionDev) / 2),
                         double(l[1].Mean + l[1].ActionDev * 1.2L), double(l[2].Mean + l[2].WarnDev * 0.3L)},
                        "", "JD");
            a.ClassifyRun(run.Levels);
            TWinValidCQ valid(&w);
            valid.PrepareValidation(a, run);
            valid.FormActivate();
            valid.show();
            QVERIFY(QTest::qWaitForWindowExposed(&valid));
            Save(&valid, "validation");
            const QString before = valid.RejectButtons[1]->text();
            valid.RejectButtonClick(1);
            QVERIFY(valid.RejectButtons[1]->text() != before);
            Save(&valid, "validation-rejected");
            valid.hide();
        }

        QVERIFY(SaveModal([&] { w.BtDataClick(); }, "data-table"));
        QVERIFY(SaveModal([&] { w.BtLimitsClick(); }, "limits"));
        QVERIFY(SaveModal([&] { w.MnuRisksClick(); }, "risks"));
        QVERIFY(SaveModal([&] { w.BtPrnGraphClick(); }, "print-charts"));
        // The print preview of the charts, opened from their window's Print button.
        {
            bool previewed = false;
            OnNextModal([&](QDialog* charts) {
                OnNextModal([&](QDialog* preview) {
                    if (QTest::qWaitForWindowExposed(preview)) {
                        preview->resize(560, 700);
                        QTest::qWait(50);
                        Save(preview, "print-preview");
                        previewed = !QTest::currentTestFailed();
                    }
                    preview->reject();
                });
                charts->findChild<QPushButton*>(QStringLiteral("BtPrint"))->click();
                charts->reject();
            });
            w.BtPrnGraphClick();
            QVERIFY(previewed);
        }
        QVERIFY(SaveModal([&] { w.BtDailyClick(); }, "daily-qc"));
        QVERIFY(SaveModal([&] { w.MnuAnalytesClick(); }, "analytes"));
        QVERIFY(SaveModal([&] { w.MnuSerumClick(); }, "materials"));
        QVERIFY(SaveModal([&] { w.BtAffectationClick(); }, "assign-lots"));
        QVERIFY(SaveModal([&] { w.MnuEmployeesClick(); }, "operators"));
        QVERIFY(SaveModal([&] { w.MnuRandomGeneratorClick(); }, "random"));
        w.MnuCopyClick();
        QVERIFY(SaveModal([&] { w.MnuPasteClick(); }, "import-preview"));

        // Erasing level 2 writes an archive, which the archives list then shows.
        const size_t archives = a.ArchiveNumbers.size();
        w.MnuErase->trigger();
        w.EraseToggleClick(1);
        TDialogScript::AnswerNext(mbOK);
        w.BtValidEraseClick();
        QCOMPARE(a.ArchiveNumbers.size(), archives + 1);
        QVERIFY(SaveModal([&] { w.BtArchivesClick(); }, "archives"));

        // The about window as an installed program shows it (replaces the shot above, which names
        // the test's temporary folder).
        {
            const std::string testFolder = ProgramFolder;
            ProgramFolder = "/home/lab/.local/share/Varnholt/";
            TWinAbout about(&w);
            ProgramFolder = testFolder;
            about.show();
            QVERIFY(QTest::qWaitForWindowExposed(&about));
            Save(&about, "about");
        }

        TDialogScript::AnswerNext(mbOK);
        w.close();
    }
};

QTEST_MAIN(TestScreenshots)
#include "test_screenshots.moc"
