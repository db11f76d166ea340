// The main window's records commands: the journal of changes, the review sign-off, the corrective actions.
#include <QAction>
#include <QMenu>

#include "UCorrectiveActions.h"
#include "UMain.h"
#include "UReview.h"
#include "UShowJournal.h"

void TWinMain::CreateRecordsMenu() {
    MnuJournal = MnuRecords->addAction(tr("&Journal of changes"));
    MnuJournal->setObjectName(QStringLiteral("MnuJournal"));
    MnuReview = MnuRecords->addAction(tr("&Review and sign-off"));
    MnuReview->setObjectName(QStringLiteral("MnuReview"));
    MnuCorrective = MnuConfiguration->addAction(tr("&Corrective actions"));
    MnuCorrective->setObjectName(QStringLiteral("MnuCorrective"));
    connect(MnuJournal, &QAction::triggered, this, [this] {
        if (!WinShowJournal) WinShowJournal = new TWinShowJournal(this);
        WinShowJournal->Execute();
    });
    connect(MnuReview, &QAction::triggered, this, [this] {
        if (!WinReview) WinReview = new TWinReview(this);
        WinReview->Execute(CurrentAnalyte);
        // A sign-off draws its band under the dates.
        RepaintCharts();
    });
    connect(MnuCorrective, &QAction::triggered, this, [this] {
        if (!WinCorrectiveActions) WinCorrectiveActions = new TWinCorrectiveActions(this);
        WinCorrectiveActions->Execute();
    });
}
