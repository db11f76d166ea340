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
#include "UGlobale.h"
#include "ULogoCQ.h"
#include "UMain.h"
#include "UMotPass.h"
#include "UNewPsw.h"
#include "UOptions.h"
#include "USetUp.h"
#include "UWinComment.h"
#if __has_include("UFifoResult.h")
#include "UFifoResult.h"
#endif

namespace {
#if !__has_include("UFifoResult.h")
// Sample analytes for the pictures when the program's own are not built in: three levels with a comment, a
// discarded value and a locked level.
void FillSampleAnalytes() {
    int32_t low = ListSerum.AddMaterial("Lyphochek N", "40861");
    int32_t high = ListSerum.AddMaterial("Lyphochek P", "40862");
    auto a = std::make_unique<TAnalyte>("Glucose", "mmol/l", 2, 3);
    a->MaterialId = {low, high, -1};
    TDateTime day = EncodeDate(2024, 10, 14);
    RandomSeed(7);
    for (int i = 0; i < 45; ++i) {
        double z = static_cast<double>(RandomNormal(0, 1));
        a->AddPoint(TestRun(day + i + 0.35,
                            {5.5 + 0.12 * z, 12.0 + 0.3 * static_cast<double>(RandomNormal(0, 1)),
                             i % 7 == 3 ? NAN : 20.0 + 0.5 * z},
                            i == 30 ? "new reagent lot" : "", i % 3 ? "AB" : "CD"));
    }
    a->Points[38].Levels[0].State = psDiscarded;
    a->LimitMode[1] = lmLocked;
    a->LockFirst[1] = 16;
    a->LockLast[1] = 35;
    a->RecalcAll();
    ListAnalytes.Add(std::move(a));
    auto b = std::make_unique<TAnalyte>("Calcium", "mmol/l", 2, 2);
    for (int i = 0; i < 20; ++i)
        b->AddPoint(TestRun(day + i, {2.3 + 0.02 * std::sin(i), 3.1 + 0.03 * std::cos(i)}));
    b->RecalcAll();
    ListAnalytes.Add(std::move(b));
}
#endif

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
#if __has_include("UFifoResult.h")
        BuildSampleData(); // the program's own first-run data
        Fifo.ClearQueue();
#else
        FillSampleAnalytes();
#endif
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
        w.RepaintCharts();
        Save(&w, "main-window-lock-page");
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
