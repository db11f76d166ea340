// The main window's Quality menu: normalised charts, monthly summary and the import of a goal file.
#include "UMainQuality.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include "UAtomicFile.h"
#include "UMain.h"
#include "UMessages.h"
#include "UMonthlySummary.h"
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
    QAction* import = menu->addAction(TUnitTexts::tr("&Import quality goals..."));
    import->setObjectName(QStringLiteral("MnuImportGoals"));
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
    const QString path = AskOpenFileName(&w, TUnitTexts::tr("Import quality goals"), ToQ(ProgramFolder),
                                         TUnitTexts::tr("Goal files (*.csv *.txt);;All files (*)"));
    if (path.isEmpty()) return;
    std::string bytes;
    try {
        bytes = ReadWholeFile(path.toStdString());
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbOK, e.what());
        return;
    }
    int count = 0;
    const TOutcome out = Operations().ImportGoals(bytes, &count);
    if (!ShowOutcome(out, mbOK)) return;
    ShowMessageBox(mkInformation, mbOK,
                   FillQ(count == 1 ? TUnitTexts::tr("%1 quality goal imported")
                                    : TUnitTexts::tr("%1 quality goals imported"),
                         std::to_string(count)));
}
