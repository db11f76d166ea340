// The main window's lock, fix and erase pages: per-level limit modes and the archiving of levels.
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <cmath>

#include "UArchive.h"
#include "UDataLoadSave.h"
#include "UEntryFlow.h"
#include "UMain.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UQcError.h"
#include "USpecialComponents.h"
#include "UUtilitaires.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UMainPages)
};
} // namespace

namespace {
bool ReadsBackAs(std::string text, long double value) {
    try {
        return ReadRealText(text, false) == value;
    } catch (const EQcError&) {
        return false;
    }
}

// A fixed limit as the fix page shows it: with the specified digits when they hold the stored value,
// else with as many more decimals as it needs, so that fixing the level again keeps it unchanged.
QString StoredLimitText(long double value, int decimals) {
    std::string text = FormatFixed(value, 6, decimals);
    if (ReadsBackAs(text, value) || !std::isfinite(static_cast<double>(value))) return ToQ(text);
    for (int d = decimals; d <= decimals + 20; ++d) {
        text = FormatFixed(value, 21, d);
        if (ReadsBackAs(text, value)) return ToQ(text);
    }
    // Closest text: the trailing zeros beyond the analyte's decimals add nothing.
    const size_t sep = text.find(Regional.DecimalSeparator);
    if (sep != std::string::npos && text.find('E') == std::string::npos)
        while (text.size() > sep + 1 + static_cast<size_t>(decimals) && text.back() == '0') text.pop_back();
    return ToQ(text);
}

constexpr int GridRowHeight = 18;

QString MaterialName(const TAnalyte& a, int level) {
    return ToQ(ListSerum.FindMaterial(a.MaterialId[static_cast<size_t>(level)]).Name);
}

QString PointDate(const TAnalyte& a, int index) {
    if (index < 0 || index >= a.Count()) return QString();
    return DateText(a.Points[static_cast<size_t>(index)].DateTime);
}

QLabel* DatePanel(QWidget* parent, const char* name, int x, int y) {
    auto* l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(x, y, 100, 18);
    l->setAutoFillBackground(true);
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, Qt::yellow);
    pal.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(pal);
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

void SetCell(QTableWidget* grid, int row, int column, const QString& text) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem();
        grid->setItem(row, column, item);
    }
    item->setText(text);
    // Read-only; headings on the button face as a fixed row and column.
    item->setFlags(Qt::ItemIsEnabled);
    if (row == 0 || column == 0) {
        item->setBackground(grid->palette().button());
        item->setTextAlignment(Qt::AlignCenter);
    } else {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

bool SameLevelLimits(const TLimitSnapshot& s, const TAnalyte& a, size_t k) {
    if (s.Mode[k] != a.LimitMode[k] || s.LockFirst[k] != a.LockFirst[k] || s.LockLast[k] != a.LockLast[k])
        return false;
    const LevelStats &before = s.Limits[k], &now = a.Limits[k];
    return before.Mean == now.Mean && before.WarnDev == now.WarnDev && before.ActionDev == now.ActionDev;
}
} // namespace

void TWinMain::buildPageContents(QWidget* page, int tag) {
    for (int k = 0; k < MaxLevels; ++k) {
        auto idx = static_cast<size_t>(k);
        if (tag == ptLock) {
            auto* g = GBLocked[idx] = new TGBLockedParam(page, k);
            connect(g->BtLock, &QPushButton::clicked, this, [this, k] { LockLevelClick(k); });
            connect(g->BtUnLock, &QPushButton::clicked, this, [this, k] { UnlockLevelClick(k); });
            g->hide();
        } else if (tag == ptFix) {
            auto* g = GBFixed[idx] = new TGBFixedParam(page, k);
            connect(g->BtFix, &QPushButton::clicked, this, [this, k] { FixLevelClick(k); });
            connect(g->BtUnfix, &QPushButton::clicked, this, [this, k] { UnfixLevelClick(k); });
            g->hide();
        } else {
            auto* g = GBArchi[idx] = new TGBArchivage(page, k);
            connect(g->BtArchi, &QPushButton::clicked, this, [this, k] { EraseToggleClick(k); });
            g->hide();
        }
    }
    connect(this, &TWinMain::pageEntered, this, [this, tag](int entered) {
        if (entered != tag) return;
        if (tag == ptLock)
            PrepareLockPage();
        else if (tag == ptFix)
            PrepareFixPage();
        else
            PrepareErasePage();
    });
    if (tag != ptLock) return;

    (new QLabel(tr("From"), page))->setGeometry(8, 30, 30, 18);
    PanelFirstDate = DatePanel(page, "PanelFirstDate", 44, 30);
    (new QLabel(QStringLiteral("to"), page))->setGeometry(8, 52, 30, 18);
    PanelLastDate = DatePanel(page, "PanelLastDate", 44, 52);
    auto* title = new QLabel(tr("Partial statistics for the interval"), page);
    title->setObjectName(QStringLiteral("LblPartialStats"));
    title->setGeometry(4, 78, 184, 16);

    GrilleLock = new QTableWidget(MaxLevels + 1, 4, page);
    GrilleLock->setObjectName(QStringLiteral("GrilleLock"));
    GrilleLock->horizontalHeader()->hide();
    GrilleLock->verticalHeader()->hide();
    GrilleLock->verticalHeader()->setMinimumSectionSize(1);
    GrilleLock->verticalHeader()->setDefaultSectionSize(GridRowHeight + 1);
    GrilleLock->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GrilleLock->setSelectionMode(QAbstractItemView::NoSelection);
    GrilleLock->setFocusPolicy(Qt::NoFocus);
    GrilleLock->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    GrilleLock->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int widths[4] = {24, 70, 46, 36};
    for (int c = 0; c < 4; ++c) GrilleLock->setColumnWidth(c, widths[c]);
    const char* headings[4] = {"#", "m", "CV", "N"};
    for (int c = 0; c < 4; ++c) SetCell(GrilleLock, 0, c, QLatin1String(headings[c]));
    for (int k = 0; k < MaxLevels; ++k) SetCell(GrilleLock, k + 1, 0, QStringLiteral("C%1").arg(k + 1));
    GrilleLock->setGeometry(4, 96, 180, (MaxLevels + 1) * (GridRowHeight + 1) + 4);

    connect(this, &TWinMain::intervalChanged, this, &TWinMain::ShowIntervalStats);
}

// ---------------------------------------------------------------- lock page

namespace {
void ShowLockState(TGBLockedParam* g, const TAnalyte& a, int k) {
    auto idx = static_cast<size_t>(k);
    switch (a.LimitMode[idx]) {
    case lmLocked:
        g->BtUnLock->setEnabled(true);
        g->SetState(TUnitTexts::tr("Locked from ") + PointDate(a, a.LockFirst[idx]) + TUnitTexts::tr(" to ") +
                    PointDate(a, a.LockLast[idx]));
        break;
    case lmFixed:
        g->BtUnLock->setEnabled(false);
        g->SetState(TUnitTexts::tr("Fixed limits"));
        break;
    default:
        g->BtUnLock->setEnabled(false);
        g->SetState(TUnitTexts::tr("Mobile limits"));
        break;
    }
}
} // namespace

void TWinMain::PrepareLockPage() {
    if (SelectedPoint >= 0) {
        SelectedPoint = -1;
        RepaintCharts();
    }
    ShowIntervalStats();
    int levels = CurrentAnalyte ? CurrentAnalyte->NbLevels : 0;
    for (int k = 0; k < MaxLevels; ++k) {
        TGBLockedParam* g = GBLocked[static_cast<size_t>(k)];
        if (k >= levels) {
            g->hide();
            continue;
        }
        const TAnalyte& a = *CurrentAnalyte;
        g->Init(MaterialName(a, k));
        g->move(4, 190 + 75 * k);
        // Only a level with counted values can be locked.
        g->setVisible(a.AllStats[static_cast<size_t>(k)].N > 0);
        ShowLockState(g, a, k);
    }
    BtOKLock->setFocus();
}

void TWinMain::ShowIntervalStats() {
    int levels = CurrentAnalyte ? CurrentAnalyte->NbLevels : 0;
    GrilleLock->setRowCount(levels + 1);
    GrilleLock->setFixedHeight((levels + 1) * (GridRowHeight + 1) + 4);
    bool selected = CurrentAnalyte && IntervalStart >= 0 && IntervalStart <= IntervalEnd &&
                    IntervalEnd < CurrentAnalyte->Count();
    PanelFirstDate->setText(selected ? PointDate(*CurrentAnalyte, IntervalStart) : QString());
    PanelLastDate->setText(selected ? PointDate(*CurrentAnalyte, IntervalEnd) : QString());
    for (int k = 0; k < levels; ++k) {
        int row = k + 1;
        // Rows dropped for an analyte with fewer levels take their headings with them.
        SetCell(GrilleLock, row, 0, QStringLiteral("C%1").arg(row));
        if (!selected) {
            SetCell(GrilleLock, row, 1, QString());
            SetCell(GrilleLock, row, 2, QString());
            SetCell(GrilleLock, row, 3, QStringLiteral("0"));
            continue;
        }
        const TAnalyte& a = *CurrentAnalyte;
        LevelStats& s = PartialStats[static_cast<size_t>(k)];
        a.ComputeStats(k, IntervalStart, IntervalEnd, s);
        SetCell(GrilleLock, row, 1, s.N > 0 ? ToQ(FormatFixed(s.Mean, 8, a.Decimals + 1)) : QString());
        SetCell(GrilleLock, row, 2, s.State != 6 ? ToQ(FormatFixed(s.CV, 8, 1)) : QString());
        SetCell(GrilleLock, row, 3, QString::number(s.N));
    }
}

void TWinMain::LockLevelClick(int level) {
    if (!LimitTrial || level < 0 || level >= LimitTrial->NbLevels) return;
    TAnalyte& a = *LimitTrial;
    auto k = static_cast<size_t>(level);
    if (IntervalStart < 0 || IntervalEnd < IntervalStart || IntervalEnd >= a.Count()) {
        ShowMessageBox(
            mkError, mbYes,
            FromQ(tr("Define a date interval at the bottom of the charts\r - click on one end of the "
                     "interval, then Shift+click on the other end\r - or click on one end and glide "
                     "to the other end;\rThe selected date interval is spotted in light blue.")));
        BtOKLock->setFocus();
        return;
    }
    // The level's limits are remembered too: the trial computation overwrites them, and fixed limits
    // could not be recomputed from anything else.
    int32_t first = a.LockFirst[k], last = a.LockLast[k];
    LimitMode mode = a.LimitMode[k];
    LevelStats limits = a.Limits[k];
    a.LockFirst[k] = IntervalStart;
    a.LockLast[k] = IntervalEnd;
    a.LimitMode[k] = lmLocked;
    a.RecalcAll();
    if (a.LimitMode[k] == lmMobile) {
        a.LockFirst[k] = first;
        a.LockLast[k] = last;
        a.LimitMode[k] = mode;
        a.Limits[k] = limits;
        a.RecalcAll();
        ShowMessageBox(
            mkError, mbYes,
            FillQ(tr("Not enough QC points in the dates interval for %1"), FromQ(GBLocked[k]->title())));
    } else {
        ShowLockState(GBLocked[k], a, level);
        RepaintCharts();
    }
    BtOKLock->setFocus();
}

void TWinMain::UnlockLevelClick(int level) {
    if (!LimitTrial || level < 0 || level >= LimitTrial->NbLevels) return;
    TAnalyte& a = *LimitTrial;
    auto k = static_cast<size_t>(level);
    a.LockFirst[k] = a.LockLast[k] = -1;
    a.LimitMode[k] = lmMobile;
    a.RecalcAll();
    ShowLockState(GBLocked[k], a, level);
    RepaintCharts();
    BtOKLock->setFocus();
}

// ---------------------------------------------------------------- fix page

void TWinMain::PrepareFixPage() {
    if (SelectedPoint >= 0) {
        SelectedPoint = -1;
        RepaintCharts();
    }
    IntervalStart = IntervalEnd = IntervalAnchor = -1;
    RedrawChartsOnly();
    int levels = CurrentAnalyte ? CurrentAnalyte->NbLevels : 0;
    for (int k = 0; k < MaxLevels; ++k) {
        auto idx = static_cast<size_t>(k);
        TGBFixedParam* g = GBFixed[idx];
        if (k >= levels) {
            g->hide();
            continue;
        }
        const TAnalyte& a = *CurrentAnalyte;
        g->show();
        g->Init(MaterialName(a, k), ToQ(a.Unit));
        g->move(11, 205 - 60 * levels + 130 * k);
        bool fixed = a.LimitMode[idx] == lmFixed;
        g->BtUnfix->setEnabled(fixed);
        const LevelStats& l = a.Limits[idx];
        g->EditTarget->setText(fixed ? StoredLimitText(l.Mean, a.Decimals) : QString());
        g->EditWarning->setText(fixed ? StoredLimitText(l.WarnDev, a.Decimals + 1) : QString());
        g->EditAction->setText(fixed ? StoredLimitText(l.ActionDev, a.Decimals + 1) : QString());
    }
    BtOKFix->setFocus();
}

void TWinMain::FixLevelClick(int level) {
    if (!LimitTrial || level < 0 || level >= LimitTrial->NbLevels) return;
    TAnalyte& a = *LimitTrial;
    auto k = static_cast<size_t>(level);
    long double target = 0, warning = 0, action = 0;
    if (GBFixed[k]->GetFields(target, warning, action)) {
        a.Limits[k].Mean = target;
        a.Limits[k].WarnDev = warning;
        a.Limits[k].ActionDev = action;
        a.LimitMode[k] = lmFixed;
        GBFixed[k]->BtUnfix->setEnabled(true);
        a.RecalcAll();
        RepaintCharts();
    }
    BtOKFix->setFocus();
}

void TWinMain::UnfixLevelClick(int level) {
    if (!LimitTrial || level < 0 || level >= LimitTrial->NbLevels) return;
    TAnalyte& a = *LimitTrial;
    auto k = static_cast<size_t>(level);
    a.LimitMode[k] = lmMobile;
    GBFixed[k]->BtUnfix->setEnabled(false);
    a.RecalcAll();
    RepaintCharts();
    BtOKFix->setFocus();
}

bool TWinMain::LimitsChangedOnPage() const {
    if (!LimitTrial) return false;
    for (int k = 0; k < LimitTrial->NbLevels; ++k)
        if (!SameLevelLimits(LimitSnapshot, *LimitTrial, static_cast<size_t>(k))) return true;
    return false;
}

// ---------------------------------------------------------------- erase page

namespace {
const QString EraseCaption = TUnitTexts::tr("Erase/archive data");
const QString UneraseCaption = TUnitTexts::tr("Un-erase data");

bool HasValues(const TAnalyte& a, int k) {
    const LevelStats& s = a.AllStats[static_cast<size_t>(k)];
    return s.N + s.NDiscarded > 0;
}
} // namespace

void TWinMain::PrepareErasePage() {
    IntervalStart = IntervalEnd = IntervalAnchor = -1;
    RedrawChartsOnly();
    int levels = CurrentAnalyte ? CurrentAnalyte->NbLevels : 0;
    for (int k = 0; k < MaxLevels; ++k) {
        TGBArchivage* g = GBArchi[static_cast<size_t>(k)];
        if (k >= levels) {
            g->hide();
            continue;
        }
        const TAnalyte& a = *CurrentAnalyte;
        g->show();
        g->Init(MaterialName(a, k));
        g->move(10, 120 * k - 40 * levels + 160);
        g->BtArchi->setText(EraseCaption);
        g->BtArchi->setEnabled(HasValues(a, k));
    }
    if (SelectedPoint >= 0) {
        SelectedPoint = -1;
        RepaintCharts();
    }
    GBArchi[0]->BtArchi->setFocus();
}

void TWinMain::EraseToggleClick(int level) {
    if (!CurrentAnalyte || level < 0 || level >= CurrentAnalyte->NbLevels) return;
    auto k = static_cast<size_t>(level);
    if (!HasValues(*CurrentAnalyte, level)) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Nothing to archive")));
        return;
    }
    QPushButton* b = GBArchi[k]->BtArchi;
    bool mark = b->text() == EraseCaption;
    b->setText(mark ? UneraseCaption : EraseCaption);
    EraseMarks[k] = mark;
    RepaintCharts();
}

void TWinMain::BtValidEraseClick() {
    if (!CurrentAnalyte) return;
    TAnalyte& a = *CurrentAnalyte;
    int count = 0;
    for (int k = 0; k < a.NbLevels; ++k) count += EraseMarks[static_cast<size_t>(k)] ? 1 : 0;
    if (count == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Nothing to erase")));
        return;
    }
    if (ShowMessageBox(mkConfirmation, mbOK | mbCancel,
                       FillQ(tr("You are going to erase/archive the data of %1 QC level(s) for %2\r"),
                             std::to_string(count), a.Name)) != mbOK)
        return;
    // Each level's archive file is written before the data file stops holding its values; a level that
    // fails is untouched and those archived before it are still saved.
    // Points inside a signed review are erased only with a reason, which reopens the review.
    std::string reason;
    std::vector<TDateTime> times;
    for (const ControlPoint& p : a.Points) times.push_back(p.DateTime);
    if (!Operations().SignedReviewsAt(a, times).empty() &&
        !AskReasonText(FillQ(tr("Points of %1 in a reviewed and signed period are erased: why?"), a.Name),
                       reason))
        return;
    TOutcome out = Operations().EraseLevels(a, EraseMarks, nullptr, reason);
    if (!ShowOutcome(out)) return;
    SelectedPoint = -1;
    UpdateVisibleStretch();
    SwitchPage(ptEnter);
}
