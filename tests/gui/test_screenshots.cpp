// Renders the main window with sample data and each small window; writes PNG files when
// VARNHOLT_SCREENSHOTS names a folder (scripts/screenshots.sh), else only checks that each renders.
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <cmath>

#include "GuiTestHelpers.h"
#include "UAbout.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "ULogoCQ.h"
#include "UMain.h"
#include "UMotPass.h"
#include "UNewPsw.h"
#include "UOptions.h"
#include "USetUp.h"
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
} // namespace

class TestScreenshots : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestResources(); }

    void everyWindowRenders() {
        TGuiFolder folder;
        TWinMain::ScreenMetricsSource = [] { return TScreenMetrics{96, 1024, 768}; };
        BuildSampleData(); // the program's own first-run data
        Fifo.ClearQueue();
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
};

QTEST_MAIN(TestScreenshots)
#include "test_screenshots.moc"
