// The main window's Quality menu: normalised charts, monthly summary and the import of a goal file.
#include "UMainQuality.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "UDrawChart.h"
#include "UEqaView.h"
#include "UMain.h"
#include "UMessages.h"
#include "UMonthlySummary.h"
#include "UMuView.h"
#include "UPatientQcView.h"
#include "UPeerView.h"
#include "UQualityCharts.h"
#include "UZScores.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UMainQuality)
};
} // namespace

namespace {
template <typename T> T* Window(TWinMain& w, const char* name) {
    T* win = w.findChild<T*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    return win ? win : new T(&w);
}
} // namespace

QMenu* AddQualityMenu(TWinMain& w) {
    auto* menu = new QMenu(TUnitTexts::tr("&Quality"), &w);
    menu->setObjectName(QStringLiteral("MnuQuality"));
    w.menuBar()->insertMenu(w.MnuHelp->menuAction(), menu);
    QAction* z = menu->addAction(TUnitTexts::tr("&Z-scores and Youden plot"));
    z->setObjectName(QStringLiteral("MnuZScores"));
    QAction* summary = menu->addAction(TUnitTexts::tr("&Monthly summary"));
    summary->setObjectName(QStringLiteral("MnuMonthlySummary"));
    QAction* peer = menu->addAction(TUnitTexts::tr("&Peer comparison"));
    peer->setObjectName(QStringLiteral("MnuPeer"));
    QAction* eqa = menu->addAction(TUnitTexts::tr("E&xternal quality assessment"));
    eqa->setObjectName(QStringLiteral("MnuEqa"));
    QAction* mu = menu->addAction(TUnitTexts::tr("Measurement &uncertainty"));
    mu->setObjectName(QStringLiteral("MnuUncertainty"));
    QAction* patientQc = menu->addAction(TUnitTexts::tr("P&atient-based QC"));
    patientQc->setObjectName(QStringLiteral("MnuPatientQc"));
    QAction* import = menu->addAction(TUnitTexts::tr("&Import quality goals..."));
    import->setObjectName(QStringLiteral("MnuImportGoals"));
    // Beside the import of goals: the File menu keeps its own commands.
    QAction* importPeer = menu->addAction(TUnitTexts::tr("Import p&eer statistics..."));
    importPeer->setObjectName(QStringLiteral("MnuImportPeer"));
    QObject::connect(peer, &QAction::triggered, &w, [&w] {
        w.LeaveLimitPage();
        Window<TWinPeer>(w, "WinPeer")->Execute(CurrentAnalyte);
    });
    QObject::connect(eqa, &QAction::triggered, &w, [&w] {
        w.LeaveLimitPage();
        Window<TWinEqa>(w, "WinEqa")->Execute(CurrentAnalyte);
    });
    QObject::connect(mu, &QAction::triggered, &w, [&w] {
        w.LeaveLimitPage();
        Window<TWinMu>(w, "WinMu")->Execute(CurrentAnalyte);
    });
    QObject::connect(importPeer, &QAction::triggered, &w, [&w] { ImportPeerFile(w); });
    QObject::connect(patientQc, &QAction::triggered, &w, [&w] {
        w.LeaveLimitPage();
        Window<TWinPatientQc>(w, "WinPatientQc")->Execute(CurrentAnalyte);
        RefreshPatientQcNotice(w);
        UpdatePatientQcStrip(w, true);
    });
    AddPatientQcNotice(w);
    AddPatientQcStrip(w);
    QObject::connect(z, &QAction::triggered, &w, [&w] {
        w.LeaveLimitPage();
        Window<TWinZScores>(w, "WinZScores")->Execute(CurrentAnalyte, TPeriod{w.FirstVisible, w.LastVisible});
    });
    QObject::connect(summary, &QAction::triggered, &w, [&w] {
        w.LeaveLimitPage();
        Window<TWinMonthlySummary>(w, "WinMonthlySummary")->Execute(CurrentAnalyte);
    });
    QObject::connect(import, &QAction::triggered, &w, [&w] { ImportGoalFile(w); });
    return menu;
}

void ImportGoalFile(TWinMain& w) {
    w.LeaveLimitPage();
    const std::optional<std::string> bytes =
        AskFileBytes(&w, TUnitTexts::tr("Import quality goals"),
                     TUnitTexts::tr("Goal files (*.csv *.txt);;All files (*)"));
    if (!bytes) return;
    int count = 0;
    const TOutcome out = Operations().ImportGoals(*bytes, &count);
    if (!ShowOutcome(out, mbOK)) return;
    ShowMessageBox(mkInformation, mbOK,
                   FillQ(count == 1 ? TUnitTexts::tr("%1 quality goal imported")
                                    : TUnitTexts::tr("%1 quality goals imported"),
                         std::to_string(count)));
}

void ImportPeerFile(TWinMain& w) {
    w.LeaveLimitPage();
    const std::optional<std::string> bytes =
        AskFileBytes(&w, TUnitTexts::tr("Import peer statistics"),
                     TUnitTexts::tr("Peer files (*.csv *.txt);;All files (*)"));
    if (!bytes) return;
    int count = 0;
    const TOutcome out = Operations().ImportPeer(*bytes, &count);
    if (!out.Ok()) {
        ShowRefusedFile(out);
        return;
    }
    ShowMessageBox(mkInformation, mbOK,
                   FillQ(count == 1 ? TUnitTexts::tr("%1 row of peer statistics imported")
                                    : TUnitTexts::tr("%1 rows of peer statistics imported"),
                         std::to_string(count)));
}

void AddPatientQcNotice(TWinMain& w) {
    auto* notice = new QToolButton(w.Panel1);
    notice->setObjectName(QStringLiteral("BtPatientQcAlarm"));
    notice->setAutoRaise(true);
    notice->setStyleSheet(QStringLiteral("color: red"));
    notice->hide();
    // Beside the queue indicator, as the inbox's panel.
    auto* bar = static_cast<QHBoxLayout*>(w.Panel1->layout());
    bar->insertWidget(bar->indexOf(w.ShapeFifo) + 1, notice);
    QObject::connect(notice, &QToolButton::clicked, &w,
                     [&w] { w.findChild<QAction*>(QStringLiteral("MnuPatientQc"))->trigger(); });
    // Patients' results arrive through the inbox and the companion: read again now and then too.
    auto* timer = new QTimer(notice);
    timer->setObjectName(QStringLiteral("TimerPatientQc"));
    timer->setInterval(60000);
    QObject::connect(timer, &QTimer::timeout, &w, [&w] {
        RefreshPatientQcNotice(w);
        UpdatePatientQcStrip(w, true);
    });
    timer->start();
    // Not at every change: the procedures are run over whole streams. A folder opened, the analytes or the
    // queue changed (an inbox reading) are read at once.
    const int subscription = Operations().Subscribe([&w](const TChange& c) {
        if (c.Kinds & (ckAnalytes | ckQueue | ckSettings)) {
            RefreshPatientQcNotice(w);
            UpdatePatientQcStrip(w, true);
        }
    });
    QObject::connect(notice, &QObject::destroyed, [subscription] { Operations().Unsubscribe(subscription); });
    RefreshPatientQcNotice(w);
}

void RefreshPatientQcNotice(TWinMain& w) {
    auto* notice = w.findChild<QToolButton*>(QStringLiteral("BtPatientQcAlarm"));
    if (!notice) return;
    const std::vector<std::string> open =
        Operations().IsOpen() ? Operations().PatientQcOpenAlarms() : std::vector<std::string>{};
    notice->setVisible(!open.empty());
    if (open.empty()) return;
    QStringList names;
    for (const std::string& name : open) names << ToQ(name);
    // Short beside the bar's buttons; the whole list in the hint.
    const QString text = TUnitTexts::tr("Patient QC alarm: %1").arg(names.join(QStringLiteral(", ")));
    notice->setText(notice->fontMetrics().elidedText(text, Qt::ElideRight, 170));
    notice->setToolTip(text + QLatin1Char('\n') +
                       TUnitTexts::tr("An alarm of the patients' results is open until it is acknowledged "
                                      "with the corrective action (Quality > Patient-based QC)"));
}

void AddPatientQcStrip(TWinMain& w) {
    // The window's fixed client, with the strip under it in one column that keeps the window's size fitted.
    QWidget* client = w.takeCentralWidget();
    auto* frame = new QWidget;
    frame->setObjectName(QStringLiteral("ClientFrame"));
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(client);
    auto* strip = new TChartBox(frame, [&w](QPainter& p, const QRect& r) {
        if (!w.PatientQcShown || !CurrentAnalyte) return;
        const auto& shown = *w.PatientQcShown;
        const auto [from, to] = StretchTimes(*CurrentAnalyte, w.FirstVisible, w.LastVisible);
        std::vector<TPqcPoint> points;
        for (const TPqcPoint& pt : shown.Run.Points)
            if (pt.Time >= from && pt.Time < to) points.push_back(pt);
        DrawPqcChart(p, r, points, shown.Settings, shown.Alarms);
    });
    strip->setObjectName(QStringLiteral("PBoxPatientQc"));
    strip->setAccessibleName(TUnitTexts::tr("Patient-based QC chart"));
    strip->setToolTip(
        TUnitTexts::tr("The patients' results between the runs in view (Quality > Patient-based "
                       "QC: the procedure and its alarms)"));
    strip->setFixedSize(TWinMain::ClientWidth, 150);
    strip->hide();
    column->addWidget(strip);
    w.PBoxPatientQc = strip;
    w.setCentralWidget(frame);
}

void UpdatePatientQcStrip(TWinMain& w, bool again) {
    QWidget* strip = w.PBoxPatientQc;
    if (!strip) return;
    const std::string name = CurrentAnalyte ? CurrentAnalyte->Name : std::string();
    if (again || name != w.PatientQcShownFor) {
        w.PatientQcShownFor = name;
        w.PatientQcShown.reset();
        if (CurrentAnalyte && Operations().IsOpen())
            if (const std::optional<TPqcSettings> s = Operations().PatientQcProcedure(*CurrentAnalyte)) {
                TWinMain::TPatientQcShown shown{
                    name, *s, RunPqc(*s, Operations().PatientStream(*CurrentAnalyte)), {}};
                shown.Alarms = Operations().PatientQcAlarms(*CurrentAnalyte, *s, shown.Run);
                w.PatientQcShown = std::move(shown);
            }
        if (strip->isVisibleTo(&w) != w.PatientQcShown.has_value()) {
            strip->setVisible(w.PatientQcShown.has_value());
            // The window fitted to it at once, not at the next turn of the event loop.
            w.centralWidget()->layout()->activate();
            w.layout()->activate();
        }
        w.PBox->update();
    }
    strip->update();
}
