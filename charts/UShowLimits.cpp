// The control-limits view of the current analyte: one column per QC level, common CV, printout.
#include "UShowLimits.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <numeric>

#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UPrnReview.h"
#include "UPrnWrapped.h"
#include "URisks.h"
#include "USigmaView.h"
#include "UStructures.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UShowLimits)
};
} // namespace

namespace {

const char* const RowLabels[LimitsRows] = {QT_TRANSLATE_NOOP("UShowLimits", "Control materials"),
                                           QT_TRANSLATE_NOOP("UShowLimits", "Lots"),
                                           QT_TRANSLATE_NOOP("UShowLimits", "QC mode"),
                                           QT_TRANSLATE_NOOP("UShowLimits", "Target"),
                                           QT_TRANSLATE_NOOP("UShowLimits", "Warning limits"),
                                           QT_TRANSLATE_NOOP("UShowLimits", "Action limits"),
                                           QT_TRANSLATE_NOOP("UShowLimits", "Dates ref interval"),
                                           QT_TRANSLATE_NOOP("UShowLimits", "# points in ref interval"),
                                           QT_TRANSLATE_NOOP("UShowLimits", "Reference CV"),
                                           QT_TRANSLATE_NOOP("UShowLimits", "# degrees of freedom")};

constexpr int ColumnWidth = 110;
constexpr int RowHeight = 22;

std::string PointDate(const TAnalyte& a, int index) {
    if (index < 0 || index >= a.Count()) return std::string();
    return FromQString(DateText(a.Points[static_cast<size_t>(index)].DateTime));
}

} // namespace

std::vector<std::vector<std::string>> LimitsTexts(const TAnalyte& a) {
    const int n = a.NbLevels;
    std::vector<std::vector<std::string>> t(LimitsRows, std::vector<std::string>(static_cast<size_t>(n) + 1));
    for (int r = 0; r < LimitsRows; ++r) t[static_cast<size_t>(r)][0] = FromQ(TUnitTexts::tr(RowLabels[r]));
    for (int i = 0; i < n; ++i) {
        const size_t c = static_cast<size_t>(i) + 1;
        const LevelStats& l = a.Limits[static_cast<size_t>(i)];
        const LimitMode mode = a.LimitMode[static_cast<size_t>(i)];
        const bool fixed = mode == lmFixed;
        const bool cvMissing = l.State == 6;
        const TSerum& s = ListSerum.FindMaterial(a.MaterialId[static_cast<size_t>(i)]);
        auto value = [&a](long double v) { return FormatFixed(v, 8, a.Decimals + 1); };
        t[0][c] = s.Name;
        t[1][c] = s.Lot;
        t[2][c] = mode <= lmFixed ? LimitModeNames[mode] : "";
        if (l.N > 0 || fixed) t[3][c] = value(l.Mean) + " " + a.Unit;
        if (!cvMissing || fixed) {
            t[4][c] = value(l.Mean - l.WarnDev) + "  /  " + value(l.Mean + l.WarnDev);
            t[5][c] = value(l.Mean - l.ActionDev) + "  /  " + value(l.Mean + l.ActionDev);
        }
        if (mode == lmMobile) {
            if (a.Count() > 0) t[6][c] = PointDate(a, 0) + " - " + PointDate(a, a.Count() - 1);
        } else if (mode == lmLocked) {
            t[6][c] = PointDate(a, a.LockFirst[static_cast<size_t>(i)]) + " - " +
                      PointDate(a, a.LockLast[static_cast<size_t>(i)]);
        }
        if (!fixed) {
            t[7][c] = std::to_string(l.N);
            if (!cvMissing) {
                t[8][c] = FormatFixed(l.CV, 5, 1) + " %";
                t[9][c] = std::to_string(l.DF);
            }
        }
    }
    return t;
}

std::vector<TPrnCell> LimitsCells(const TAnalyte& a) {
    std::vector<TPrnCell> cells;
    const auto t = LimitsTexts(a);
    for (size_t r = 0; r < t.size(); ++r)
        for (size_t c = 0; c < t[r].size(); ++c)
            cells.push_back({t[r][c], (r == 0 || c == 0) ? cmSilver : cmNone});
    return cells;
}

std::vector<std::string> LimitsHeaderLines(const TAnalyte& a) {
    static const char* const alert[] = {"5% ( m \xb1 1.96s )", "2% ( m \xb1 2.32s )"};
    static const char* const action[] = {"1% ( m \xb1 2.56s )", "0.5% ( m \xb1 2.81s )",
                                         "0.2% ( m \xb1 3.09s )"};
    const int al = Settings.AlertRow, ac = Settings.ActionRow - 2;
    const std::string on = FromQ(TUnitTexts::tr("on")), off = FromQ(TUnitTexts::tr("off"));
    return {FillQ(TUnitTexts::tr("Risks: alert limits %1, action limits %2"),
                  al >= 0 && al < 2 ? alert[al] : "?", ac >= 0 && ac < 3 ? action[ac] : "?"),
            FillQ(TUnitTexts::tr("Common CV: %1    Westgard multirules: %2"), a.CommonCVOn() ? on : off,
                  a.MultirulesOn() ? on : off)};
}

namespace {
std::vector<int> LimitsWidths(const TTableMetrics& m, const std::vector<TPrnCell>& cells, int nCols) {
    // 20 characters a column, more for a column whose texts need it (two dates, long limits), as long
    // as the table stays on the page.
    std::vector<int> widths(static_cast<size_t>(nCols), 20);
    const int unit = std::max(1, (4 * m.AvgCharWidth) / 3);
    for (size_t k = 0; k < cells.size(); ++k) {
        const int need = (m.Extent(cells[k].Text, 8).cx + 2 * m.AvgCharWidth + unit - 1) / unit;
        int& w = widths[k % static_cast<size_t>(nCols)];
        w = std::max(w, need);
    }
    const int room = m.W / unit, sum = std::accumulate(widths.begin(), widths.end(), 0);
    if (sum > room)
        for (int& w : widths) w = std::max(1, w * room / sum);
    return widths;
}
} // namespace

void PrintLimits(TPrintCanvas& canvas, const TAnalyte& a) {
    const std::vector<TPrnCell> cells = LimitsCells(a);
    const int y =
        PrintTable(canvas, FillQ(TUnitTexts::tr("QC limits for %1"), a.Name), LimitsHeaderLines(a), cells,
                   a.NbLevels + 1, LimitsWidths(TableMetrics(canvas), cells, a.NbLevels + 1), false);
    if (a.Count() > 0)
        PrintReviewLine(canvas, y, &a, a.Points.front().DateTime, a.Points.back().DateTime);
    else
        PrintReviewLine(canvas, y, nullptr, 0, 0);
}

TWinShowLimits::TWinShowLimits(QWidget* parent) : QDialog(parent) {
    setObjectName("WinShowLimits");
    PageControl = new QTabWidget(this);
    PageControl->setObjectName("PageControl");
    auto* limitsPage = new QWidget;
    limitsPage->setObjectName("TabLimits");
    Sigma = new TSigmaPages(nullptr);
    PageControl->addTab(limitsPage, tr("&Limits"));
    PageControl->addTab(Sigma->Figures, tr("&Quality goals and Sigma"));
    PageControl->addTab(Sigma->Charts, tr("Po&wer function and decision chart"));
    // The period's boxes sit in a sentence ("from ... to ..."): named for what they hold.
    Sigma->DateFrom->setAccessibleName(tr("First date of the period"));
    Sigma->DateTo->setAccessibleName(tr("Last date of the period"));
    Sigma->GridSigma->setAccessibleName(tr("Sigma metrics"));
    Sigma->MemoAdvice->setAccessibleName(tr("Advice on the control rules"));
    // Figures and the simulation are computed when their page is first shown in a visit.
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
        if (!analyte_) return;
        FitWindow();
        if (index == 1) Sigma->Fill();
        if (index == 2) Sigma->FillCharts();
    });
    Grid = new QTableWidget(LimitsRows, 2, limitsPage);
    Grid->setObjectName("Grid");
    Grid->setAccessibleName(tr("Control limits per level"));
    Grid->horizontalHeader()->hide();
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    Grid->verticalHeader()->setDefaultSectionSize(RowHeight);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette pal = Grid->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::ToolTipBase));
    Grid->setPalette(pal);
    PanelBottom = new QWidget(this);
    PanelBottom->setObjectName("PanelBottom");
    CBCommonCV = new QCheckBox(tr("&Common CV method"), PanelBottom);
    CBCommonCV->setObjectName("CBCommonCV");
    BtOK = new QPushButton(tr("OK"), PanelBottom);
    BtOK->setObjectName("BtOK");
    BtCancel = new QPushButton(tr("Cancel"), PanelBottom);
    BtCancel->setObjectName("BtCancel");
    BtPrn = new QPushButton(tr("&Print"), PanelBottom);
    BtPrn->setObjectName("BtPrn");
    BtCle = CreateKeyButton(PanelBottom);
    for (QPushButton* b : {BtOK, BtCancel, BtPrn}) b->resize(70, 25);
    BtCle->resize(26, 26);
    BtOK->setDefault(true);
    connect(CBCommonCV, &QCheckBox::clicked, this, &TWinShowLimits::CBCommonCVClick);
    connect(BtOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtPrn, &QPushButton::clicked, this, &TWinShowLimits::BtPrnClick);
    connect(BtCle, &QToolButton::clicked, this, &TWinShowLimits::BtCleClick);
    FormCreate();
}

TWinShowLimits::~TWinShowLimits() {
    delete Sigma;
}

void TWinShowLimits::FormCreate() {
    for (int r = 0; r < LimitsRows; ++r)
        Grid->setItem(r, 0, new QTableWidgetItem(TUnitTexts::tr(RowLabels[r])));
}

int TWinShowLimits::Execute(TAnalyte* analyte) {
    if (!analyte) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("No analyte.")));
        return QDialog::Rejected;
    }
    uid_ = analyte->Uid;
    outside_ = Operations().Find(uid_) != analyte ? analyte : nullptr;
    copy_ = std::make_shared<TAnalyte>(*analyte);
    analyte_ = copy_.get();
    previewing_ = false;
    Sigma->Reset(analyte_, ViewPeriod);
    PageControl->setCurrentIndex(0);
    FormShow();
    FormActivate();
    int result = exec();
    FormClose(result);
    Sigma->Reset(nullptr, ViewPeriod);
    analyte_ = nullptr;
    copy_.reset();
    outside_ = nullptr;
    uid_ = 0;
    return result;
}

void TWinShowLimits::FormShow() {
    const TAnalyte& a = *analyte_;
    const int n = a.NbLevels;
    Grid->setColumnCount(n + 1);
    setWindowTitle(tr("Control limits for %1").arg(ToQString(a.Name)));
    savedCommonCV_ = a.CommonCVOn();
    CBCommonCV->setChecked(savedCommonCV_);
    Grid->clearSelection();
    Grid->setCurrentItem(nullptr);
    const int ok = 56 * n - 52;
    CBCommonCV->move(ok + 74, 8);
    BtCle->move(ok + 15, 5);
    BtOK->move(ok, 40);
    BtCancel->move(ok + 74, 40);
    BtPrn->move(ok + 149, 40);
    bool anyNotFixed = false;
    for (int i = 0; i < n; ++i) anyNotFixed = anyNotFixed || a.LimitMode[static_cast<size_t>(i)] != lmFixed;
    const bool locked = !Settings.Password.empty();
    CBCommonCV->setVisible(anyNotFixed);
    CBCommonCV->setEnabled(!locked);
    BtCle->setVisible(anyNotFixed && locked);
    BtCle->setChecked(false);
}

void TWinShowLimits::FormActivate() {
    if (!analyte_) return;
    const auto t = LimitsTexts(*analyte_);
    for (int r = 0; r < LimitsRows; ++r)
        for (int c = 1; c < static_cast<int>(t[static_cast<size_t>(r)].size()); ++c)
            Grid->setItem(r, c,
                          new QTableWidgetItem(ToQString(t[static_cast<size_t>(r)][static_cast<size_t>(c)])));
    FitColumns();
}

void TWinShowLimits::FitColumns() {
    // Columns are at least the default width; a longer label or date interval widens its column.
    const QFontMetrics fm = Grid->fontMetrics();
    const int padding = 2 * (Grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, Grid) + 1) + 4;
    int width = 0;
    for (int c = 0; c < Grid->columnCount(); ++c) {
        int column = ColumnWidth;
        for (int r = 0; r < LimitsRows; ++r)
            if (QTableWidgetItem* it = Grid->item(r, c))
                column = std::max(column, fm.horizontalAdvance(it->text()) + padding);
        Grid->setColumnWidth(c, column);
        width += column + 1;
    }
    const int gridHeight = LimitsRows * (RowHeight + 1) + 2;
    Grid->setGeometry(0, 0, width, gridHeight);
    limitsSize_ = QSize(width, gridHeight);
    FitWindow();
}

void TWinShowLimits::FitWindow() {
    // The table of limits keeps the window as small as it is specified; the goals' pages widen it.
    const QSize page =
        PageControl->currentIndex() == 0 ? limitsSize_ : TSigmaPages::PageSize().expandedTo(limitsSize_);
    const int tabBar = PageControl->tabBar()->sizeHint().height();
    PageControl->setGeometry(0, 0, page.width() + 6, page.height() + tabBar + 6);
    PanelBottom->setGeometry(0, PageControl->height(), page.width(), 72);
    setFixedSize(page.width() + 6, PageControl->height() + 72);
    // Grown while shown, it stays on the screen: moved left or up as far as it overflows.
    if (isVisible() && screen()) {
        const QRect area = screen()->availableGeometry(), frame = frameGeometry();
        const QPoint to(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())),
                        std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
        if (to != frame.topLeft()) move(pos() + (to - frame.topLeft()));
    }
}

void TWinShowLimits::CBCommonCVClick() {
    if (!analyte_) return;
    if (CBCommonCV->isChecked())
        analyte_->Options |= TAnalyte::OptCommonCV;
    else
        analyte_->Options &= static_cast<uint8_t>(~TAnalyte::OptCommonCV);
    analyte_->RecalcAll();
    previewing_ = true;
    if (ShowPreview) ShowPreview(copy_);
    FormActivate();
    // The limits' degrees of freedom set the rules' factors: the figures are computed again.
    Sigma->Invalidate();
    if (PageControl->currentIndex() == 1) Sigma->Fill();
    if (PageControl->currentIndex() == 2) Sigma->FillCharts();
}

void TWinShowLimits::BtCleClick() {
    if (AskPassword()) {
        CBCommonCV->setEnabled(true);
        BtCle->hide();
    }
    BtCle->setChecked(false);
}

void TWinShowLimits::BtPrnClick() {
    if (!analyte_) return;
    const TAnalyte& a = *analyte_;
    TPrintJobSpec job;
    job.FileName = TPrintJob::SafeFileName(tr("QC limits for %1").arg(ToQString(a.Name)));
    // The goals' pages follow the limits when the analyte has a goal.
    const bool goal = Sigma->HasGoal();
    if (goal) {
        Sigma->Power();
        Sigma->Nomogram();
    }
    const TPrintDrawer draw = [&a, goal, this](TPrintCanvas& canvas) {
        PrintLimits(canvas, a);
        if (!goal) return;
        canvas.NewPage();
        PrintSigma(canvas, a, Sigma->Report(), Sigma->Plans(), Sigma->Power(), Sigma->Nomogram(),
                   Sigma->Period());
    };
    TPrintJob::Print(this, job, [&](TPrintCanvas& canvas) {
        if (!goal) return draw(canvas);
        // The limits and the goals' pages are numbered as one printout.
        const TPrintoutPages pages(canvas, draw);
        draw(canvas);
    });
    BtOK->setFocus();
}

void TWinShowLimits::FormClose(int result) {
    if (previewing_) {
        previewing_ = false;
        if (ShowPreview) ShowPreview(nullptr);
    }
    if (result != QDialog::Accepted || !analyte_ || analyte_->CommonCVOn() == savedCommonCV_) return;
    // The method tried is written now; a failed write leaves the analyte as it was.
    TAnalyte* target = outside_ ? outside_ : Operations().Find(uid_);
    if (!target) return;
    ShowOutcome(Operations().SetAnalyteOptions(*target, analyte_->Options));
}
