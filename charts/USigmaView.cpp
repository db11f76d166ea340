// The control-limits view's pages of the quality goals, and their printout.
#include "USigmaView.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "UDataLoadSave.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UPrnWrapped.h"
#include "UQualityCharts.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(USigmaView)
};
} // namespace

namespace {

const char* const RowLabels[SigmaRows] = {QT_TRANSLATE_NOOP("USigmaView", "Period"),
                                          QT_TRANSLATE_NOOP("USigmaView", "N (values counted)"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Mean"),
                                          QT_TRANSLATE_NOOP("USigmaView", "SD"),
                                          QT_TRANSLATE_NOOP("USigmaView", "CV"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Target"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Bias"),
                                          QT_TRANSLATE_NOOP("USigmaView", "TEa"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Sigma"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Advised rules"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Advised run plan"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Critical SE (SD)"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Ped, program's rules"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Pfr, program's rules"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Ped / Pfr, 1:3s alone"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Ped / Pfr, 1:2s alone"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Rules in force"),
                                          QT_TRANSLATE_NOOP("USigmaView", "Ped / Pfr, rules in force"),
                                          QT_TRANSLATE_NOOP("USigmaView", "MaxE(Nuf) / max run size")};

constexpr int PageWidth = 780;
constexpr int PageHeight = 490;
// Runs simulated for the plans of a set of several rules, and for the nomogram's curves: the page is
// filled within a second or so.
constexpr int PlanTrials = 5000;
constexpr int NomogramTrials = 4000;
constexpr int RowHeight = 18;

std::string Na(TGap gap) {
    return FillQ(TUnitTexts::tr("n/a: %1"), FromQ(CoreTextQ(GapText(gap))));
}

std::string Fixed(long double v, int decimals) {
    return FormatFixed(v, 12, decimals);
}

std::string Figure(const TFigure& f, int decimals, const std::string& suffix = "") {
    return f.Ok() ? Fixed(f.Value, decimals) + suffix : Na(f.Gap);
}

std::string PointDay(const TAnalyte& a, int index) {
    if (index < 0 || index >= a.Count()) return "";
    return FromQString(DateText(a.Points[static_cast<size_t>(index)].DateTime));
}

std::string Join(const std::vector<std::string>& v, const char* sep) {
    std::string s;
    for (const std::string& x : v) s += (s.empty() ? "" : sep) + x;
    return s;
}

// Which of the nomogram's curves is the rules in force.
size_t InForceCurve(const TNomogram& g, const TQcRuleSet& set) {
    for (size_t k = 0; k < g.Curves.size(); ++k)
        if (g.Curves[k].Set.Reject == set.Reject) return k;
    return g.Curves.size();
}

std::string NomogramText() {
    return FromQ(TUnitTexts::tr(
        "Maximum run size: the most patient samples between two QC events (one event per run, "
        "bracketing it) keeping MaxE(Nuf), the expected unacceptable patient results reported at the "
        "worst systematic error, at 1 or below (Parvin's model)."));
}

std::string PlanText(const TRuleAdvice& a) {
    std::string s;
    for (const TRunPlan& p : a.Plans)
        s += (s.empty() ? "" : FromQ(TUnitTexts::tr(" or "))) +
             ("N=" + std::to_string(p.N) + ", R=" + std::to_string(p.R));
    return s;
}

} // namespace

std::vector<std::string> SigmaColumnTitles(const TAnalyte& a) {
    std::vector<std::string> t = {""};
    for (int i = 0; i < a.NbLevels; ++i) {
        const int32_t id = a.MaterialId[static_cast<size_t>(i)];
        t.push_back(FillQ(TUnitTexts::tr("Level %1"), std::to_string(i + 1)) +
                    (id < 0 ? "" : ": " + ListSerum.FindMaterial(id).Name));
    }
    return t;
}

TSigmaPlans SigmaPlans(const TAnalyte& a, const TSigmaReport& r, const TQcRuleSet& own, int trials) {
    TSigmaPlans plans;
    plans.Set = RulesInForce(a, own);
    plans.N = PlanValuesPerRun(a);
    plans.Trials = trials;
    std::vector<std::optional<long double>> sigmas;
    for (const TLevelSigma& l : r.Levels)
        sigmas.push_back(l.Figures.Sigma.Ok() ? std::optional(l.Figures.Sigma.Value) : std::nullopt);
    plans.Levels = PlanLevels(plans.Set, plans.N, sigmas, trials);
    return plans;
}

std::string PlansText(const TSigmaPlans& plans) {
    long double se = 0;
    bool any = false;
    for (const auto& p : plans.Levels)
        if (p) {
            any = true;
            se = std::max({se, p->Pfr.StdError, p->Ped.StdError});
        }
    if (!any) return "";
    const std::string rules = QcRulesText(plans.Set.Reject);
    if (se == 0)
        return FillQ(TUnitTexts::tr("Rules in force %1, N=%2: Ped, Pfr and run sizes exact."), rules,
                     std::to_string(plans.N));
    return FillQ(TUnitTexts::tr("Rules in force %1, N=%2: Ped, Pfr and run sizes from %3 simulated runs "
                                "(fixed seed), standard error of Ped and Pfr at most %4."),
                 rules, std::to_string(plans.N), std::to_string(plans.Trials), Fixed(se, 4));
}

std::vector<std::vector<std::string>> SigmaTexts(const TAnalyte& a, const TSigmaReport& r,
                                                 const TSigmaPlans& plans) {
    const size_t n = r.Levels.size();
    std::vector<std::vector<std::string>> t(SigmaRows, std::vector<std::string>(n + 1));
    for (int row = 0; row < SigmaRows; ++row)
        t[static_cast<size_t>(row)][0] = FromQ(TUnitTexts::tr(RowLabels[row]));
    const int d = a.Decimals + 2;
    for (size_t i = 0; i < n; ++i) {
        const TLevelSigma& l = r.Levels[i];
        const TLevelFigures& f = l.Figures;
        const TErrorDetection& e = l.Detection;
        const size_t c = i + 1;
        const int first = std::max(f.Period.First, 0), last = std::min(f.Period.Last, a.Count() - 1);
        t[0][c] = first <= last ? PointDay(a, first) + " - " + PointDay(a, last)
                                : FromQ(TUnitTexts::tr("no point"));
        t[1][c] = std::to_string(f.N);
        t[2][c] = Figure(f.Mean, d);
        const std::string common = f.CommonCV ? FromQ(TUnitTexts::tr(" (common CV)")) : "";
        t[3][c] = Figure(f.SD, d) + common;
        t[4][c] = Figure(f.CV, 2, " %") + common;
        t[5][c] = f.Target.Gap == gapNoTarget ? FromQ(TUnitTexts::tr("none (bias not known)"))
                                              : Figure(f.Target, d);
        t[6][c] = f.Target.Ok() || f.BiasFrom != biasTarget ? Figure(f.BiasPct, 2, " %") : Na(f.BiasPct.Gap);
        if (!f.TEaPct.Ok())
            t[7][c] = Na(f.TEaPct.Gap);
        else if (r.Goal.TEaKind == teaUnit && r.Goal.TEa)
            t[7][c] = Fixed(*r.Goal.TEa, d) + " " + r.Goal.TEaUnit + " = " + Fixed(f.TEaPct.Value, 2) + " %";
        else
            t[7][c] = Fixed(f.TEaPct.Value, 2) + " %";
        t[8][c] = f.Sigma.Ok() ? Fixed(f.Sigma.Value, 2) + (f.BiasKnown ? "" : " *") : Na(f.Sigma.Gap);
        if (l.MissesGoal) {
            t[9][c] = t[10][c] = FromQ(TUnitTexts::tr("none: the goal is not met"));
        } else {
            t[9][c] = l.Advised ? Join(l.Advice.Rules, "/") : Na(f.Sigma.Gap);
            t[10][c] = l.Advised ? PlanText(l.Advice) : Na(f.Sigma.Gap);
        }
        t[11][c] = Figure(e.DeltaSEcrit, 2);
        t[12][c] = Figure(e.Ped, 3);
        t[13][c] = Figure(e.Pfr, 3);
        auto pair = [](const TFigure& ped, const TFigure& pfr) {
            if (!pfr.Ok()) return Na(pfr.Gap);
            return (ped.Ok() ? Fixed(ped.Value, 3) : std::string("n/a")) + " / " + Fixed(pfr.Value, 3);
        };
        t[14][c] = pair(e.Ped13s, e.Pfr13s);
        t[15][c] = pair(e.Ped12s, e.Pfr12s);
        t[16][c] = QcRulesText(plans.Set.Reject) + ", N=" + std::to_string(plans.N);
        const std::optional<TRulePlan>& p = i < plans.Levels.size() ? plans.Levels[i] : std::nullopt;
        if (p) {
            t[17][c] = Fixed(p->Ped.P, 3) + " / " + Fixed(p->Pfr.P, 4);
            t[18][c] =
                Fixed(p->MaxENuf, 3) + " / " +
                (p->MaxRunSize < 0 ? FromQ(TUnitTexts::tr("no limit")) : std::to_string(p->MaxRunSize));
        } else {
            t[17][c] = t[18][c] = Na(f.Sigma.Gap);
        }
    }
    return t;
}

std::string GoalText(const TAnalyte& a, const TQualityGoal& g) {
    const bool any = g.TEa || std::any_of(g.Target.begin(), g.Target.end(), [](const auto& t) { return t; });
    if (!any)
        return FillQ(
            TUnitTexts::tr("No quality goal for %1: set one in Parameters > Analytes, Quality goals."),
            a.Name);
    std::string s = FillQ(TUnitTexts::tr("Quality goal of %1: TEa "), a.Name);
    if (!g.TEa)
        s += FromQ(TUnitTexts::tr("not set"));
    else
        s += Fixed(*g.TEa, 2) + (g.TEaKind == teaUnit ? " " + g.TEaUnit : std::string(" %"));
    for (int i = 0; i < a.NbLevels; ++i) {
        const auto& t = g.Target[static_cast<size_t>(i)];
        s += FillQ(TUnitTexts::tr("; target %1: %2"), std::to_string(i + 1),
                   t ? Fixed(*t, a.Decimals + 2) : FromQ(TUnitTexts::tr("none")));
    }
    return s;
}

const TLevelSigma* AdviceToApply(const TSigmaReport& r) {
    const TLevelSigma* best = nullptr;
    for (const TLevelSigma& l : r.Levels)
        if (l.Advised && (!best || l.Figures.Sigma.Value < best->Figures.Sigma.Value)) best = &l;
    return best;
}

std::string AdviceText(const TAnalyte& a, const TSigmaReport& r) {
    std::string s;
    bool unknownBias = false;
    for (const TLevelSigma& l : r.Levels) {
        const TLevelFigures& f = l.Figures;
        s += FillQ(TUnitTexts::tr("Level %1"), std::to_string(f.Level + 1));
        if (l.MissesGoal) {
            if (f.Sigma.Ok())
                s += ", Sigma " + Fixed(f.Sigma.Value, 2) + (f.BiasKnown ? "" : " *");
            else
                s += FillQ(TUnitTexts::tr(", bias %1 % for a TEa of %2 %"), Fixed(f.BiasPct.Value, 2),
                           Fixed(f.TEaPct.Value, 2));
            s += FromQ(TUnitTexts::tr(": the method does not meet the quality goal, and no QC rule can "
                                      "detect its errors in time. Improve the method (its bias or "
                                      "imprecision) before choosing rules.\n"));
            unknownBias = unknownBias || (f.Sigma.Ok() && !f.BiasKnown);
            continue;
        }
        if (!l.Advised) {
            s += FillQ(TUnitTexts::tr(": no advice, Sigma not available (%1).\n"),
                       FromQ(CoreTextQ(GapText(f.Sigma.Gap))));
            continue;
        }
        s += ", Sigma " + Fixed(f.Sigma.Value, 2) + (f.BiasKnown ? "" : " *") + ":\n" + l.Comparison.Text;
        unknownBias = unknownBias || !f.BiasKnown;
        if (l.Detection.Ped.Ok() && l.Detection.Ped.Value < 0.9L)
            s += FromQ(TUnitTexts::tr(
                "The program's rules detect the critical error in fewer than 90 % of the runs.\n"));
    }
    if (unknownBias)
        s += r.Goal.BiasFrom == biasTarget
                 ? FromQ(TUnitTexts::tr(
                       "* No target: the bias is not known; Sigma is computed with a bias of 0.\n"))
                 : FromQ(TUnitTexts::tr(
                       "* No peer or EQA data: the bias is not known; Sigma is computed with a "
                       "bias of 0.\n"));
    s += FillQ(TUnitTexts::tr("Bias from %1.\n"), FromQ(CoreTextQ(BiasFromText(r.Goal.BiasFrom))));
    s += FillQ(
        TUnitTexts::tr(
            "Ped and Pfr of the program's rules: %1 simulated runs (fixed seed) at the rule set of %2."),
        std::to_string(r.Simulation.Trials), a.Name);
    return s;
}

std::string PeriodText(const std::optional<std::pair<TDateTime, TDateTime>>& dates) {
    if (!dates)
        return FromQ(TUnitTexts::tr(
            "Period: each level's reference points (locked interval, else the points in view)"));
    return FillQ(TUnitTexts::tr("Period: %1 to %2"), FromQString(DateText(dates->first)),
                 FromQString(DateText(dates->second)));
}

void PrintSigma(TPrintCanvas& canvas, const TAnalyte& a, const TSigmaReport& r, const TSigmaPlans& plans,
                const std::vector<TPowerPoint>& power, const TNomogram& nomogram, const std::string& period) {
    const auto texts = SigmaTexts(a, r, plans);
    const auto titles = SigmaColumnTitles(a);
    const int cols = static_cast<int>(titles.size());
    std::vector<TPrnCell> cells;
    for (const std::string& t : titles) cells.push_back({t, cmSilver});
    for (const auto& row : texts)
        for (size_t c = 0; c < row.size(); ++c) cells.push_back({row[c], c == 0 ? cmSilver : cmNone});
    const std::string title = FillQ(TUnitTexts::tr("Quality goals and Sigma for %1"), a.Name);
    int y = PrintWrappedTable(canvas, title, {GoalText(a, r.Goal), period}, cells, cols, {22, 36, 36, 36});

    QPainter& p = canvas.Painter();
    QFont font("Arial");
    font.setPointSize(8);
    p.setFont(font);
    const QFontMetrics fm(font, p.device());
    const int line = fm.height(), W = canvas.Width(), H = canvas.Height();
    // Text lines, then the charts side by side below them; a new page when they do not fit.
    std::vector<std::string> lines;
    std::string advice = AdviceText(a, r) + "\n" + PlansText(plans) + "\n" + NomogramText();
    for (size_t start = 0; start < advice.size();) {
        size_t end = advice.find('\n', start);
        lines.push_back(advice.substr(start, end == std::string::npos ? end : end - start));
        start = end == std::string::npos ? advice.size() : end + 1;
    }
    lines.push_back("");
    lines.push_back(FromQ(TUnitTexts::tr("Formulas:")));
    for (const char* f : SigmaFormulas()) lines.push_back("  " + FromQ(CoreTextQ(f)));
    const std::string footer = FillQ(TUnitTexts::tr("- Quality goals and Sigma for %1 - Printed on %2 -"),
                                     a.Name, FromQString(DateText(Today())));
    auto newPage = [&] {
        canvas.NewPage();
        // Numbered with the limits' pages when the printout knows its pages.
        if (PrintoutPages() > 0)
            PrintPageFooter(canvas, 0, 0, "  " + title + "  ");
        else
            p.drawText(QRect(0, H - line - 2, W, line), Qt::AlignHCenter | Qt::AlignTop, ToQString(footer));
        y = 0;
    };
    p.setPen(Qt::black);
    for (const std::string& l : lines) {
        // A line wider than the page wraps; the page ends where the next would reach the footer.
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const int height = std::max(line, p.boundingRect(QRect(0, 0, W, H), flags, ToQString(l)).height());
        if (y + height > H - 2 * line) newPage();
        p.drawText(QRect(0, y, W, height), flags, ToQString(l));
        y += height;
    }
    // The charts below the text when a fifth of the page is left, else on a page of their own.
    if (H - 3 * line - y < H / 5) newPage();
    y += line;
    const int chartHeight = std::min({W / 2, H / 3, H - 2 * line - y});
    std::vector<TPowerMark> marks;
    for (const TLevelSigma& l : r.Levels)
        if (l.Detection.DeltaSEcrit.Ok()) marks.push_back({l.Figures.Level, l.Detection.DeltaSEcrit.Value});
    DrawPowerFunction(p, QRect(0, y, W / 2 - line, chartHeight), power, marks);
    DrawDecisionChart(p, QRect(W / 2 + line, y, W / 2 - line, chartHeight), r.Chart);
    y += chartHeight + line;
    if (H - 2 * line - y < chartHeight) newPage();
    std::vector<TPowerMark> sigmas;
    for (const TLevelSigma& l : r.Levels)
        if (l.Figures.Sigma.Ok()) sigmas.push_back({l.Figures.Level, l.Figures.Sigma.Value});
    DrawRunSizeNomogram(p, QRect(0, y, W, chartHeight), nomogram, InForceCurve(nomogram, plans.Set), sigmas);
}

TSigmaPages::TSigmaPages(QWidget* parent) {
    Figures = new QWidget(parent);
    Figures->setObjectName("TabSigma");
    Charts = new QWidget(parent);
    Charts->setObjectName("TabSigmaCharts");
    LblGoal = new QLabel(Figures);
    LblGoal->setObjectName("LblGoal");
    LblGoal->setTextFormat(Qt::PlainText);
    LblGoal->setGeometry(6, 4, PageWidth - 12, 16);
    RBReference = new QRadioButton(tr("&Reference points"), Figures);
    RBReference->setObjectName("RBReference");
    RBReference->setGeometry(6, 24, 150, 20);
    RBDates = new QRadioButton(tr("&From"), Figures);
    RBDates->setObjectName("RBDates");
    RBDates->setGeometry(170, 24, 60, 20);
    DateFrom = new TDatePicker(Figures);
    DateFrom->setObjectName("DateFrom");
    DateFrom->setGeometry(232, 23, 110, 22);
    auto* to = new QLabel(tr("to"), Figures);
    to->setGeometry(350, 26, 20, 16);
    DateTo = new TDatePicker(Figures);
    DateTo->setObjectName("DateTo");
    DateTo->setGeometry(372, 23, 110, 22);
    for (TDatePicker* d : {DateFrom, DateTo}) d->setDisplayFormat(DatePickerFormat());
    RBReference->setChecked(true);
    BtUseRules = new QPushButton(tr("&Use these rules"), Figures);
    BtUseRules->setObjectName("BtUseRules");
    BtUseRules->setGeometry(PageWidth - 6 - 170, 22, 170, 24);
    BtUseRules->setEnabled(false);
    QObject::connect(BtUseRules, &QPushButton::clicked, Figures, [this] { UseAdvisedRules(); });
    GridSigma = new QTableWidget(SigmaRows, 2, Figures);
    GridSigma->setObjectName("GridSigma");
    GridSigma->verticalHeader()->hide();
    GridSigma->verticalHeader()->setDefaultSectionSize(RowHeight);
    GridSigma->horizontalHeader()->setFixedHeight(RowHeight + 2);
    GridSigma->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridSigma->setGeometry(6, 50, PageWidth - 12, (SigmaRows + 1) * RowHeight + 6);
    MemoAdvice = new QPlainTextEdit(Figures);
    MemoAdvice->setObjectName("MemoAdvice");
    MemoAdvice->setReadOnly(true);
    const int memoTop = 50 + (SigmaRows + 1) * RowHeight + 10;
    MemoAdvice->setGeometry(6, memoTop, PageWidth - 12, PageHeight - memoTop - 4);

    PBoxPower = new TChartBox(Charts, [this](QPainter& p, const QRect& r) {
        std::vector<TPowerMark> marks;
        if (report_)
            for (const TLevelSigma& l : report_->Levels)
                if (l.Detection.DeltaSEcrit.Ok())
                    marks.push_back({l.Figures.Level, l.Detection.DeltaSEcrit.Value});
        DrawPowerFunction(p, r, power_ ? *power_ : std::vector<TPowerPoint>{}, marks);
    });
    PBoxPower->setObjectName("PBoxPower");
    const int chartsTop = PageHeight * 11 / 20;
    PBoxPower->setGeometry(4, 4, PageWidth / 2 - 6, chartsTop - 8);
    PBoxDecision = new TChartBox(Charts, [this](QPainter& p, const QRect& r) {
        DrawDecisionChart(p, r, report_ ? report_->Chart : TDecisionChart{});
    });
    PBoxDecision->setObjectName("PBoxDecision");
    PBoxDecision->setGeometry(PageWidth / 2 + 2, 4, PageWidth / 2 - 6, chartsTop - 8);
    PBoxNomogram = new TChartBox(Charts, [this](QPainter& p, const QRect& r) {
        std::vector<TPowerMark> marks;
        if (report_)
            for (const TLevelSigma& l : report_->Levels)
                if (l.Figures.Sigma.Ok()) marks.push_back({l.Figures.Level, l.Figures.Sigma.Value});
        const TNomogram none;
        const TNomogram& g = nomogram_ ? *nomogram_ : none;
        DrawRunSizeNomogram(p, r, g, plans_ ? InForceCurve(g, plans_->Set) : g.Curves.size(), marks);
    });
    PBoxNomogram->setObjectName("PBoxNomogram");
    PBoxNomogram->setGeometry(4, chartsTop, PageWidth - 8, PageHeight - chartsTop - 4);

    auto changed = [this] {
        Invalidate();
        Fill();
    };
    QObject::connect(RBReference, &QRadioButton::toggled, Figures, changed);
    QObject::connect(DateFrom, &QDateEdit::dateChanged, Figures, [this, changed] {
        if (RBDates->isChecked()) changed();
    });
    QObject::connect(DateTo, &QDateEdit::dateChanged, Figures, [this, changed] {
        if (RBDates->isChecked()) changed();
    });
}

QSize TSigmaPages::PageSize() {
    return {PageWidth, PageHeight};
}

void TSigmaPages::Reset(const TAnalyte* a, std::function<TPeriod(const TAnalyte&)> viewPeriod) {
    analyte_ = a;
    viewPeriod_ = std::move(viewPeriod);
    {
        const QSignalBlocker b1(RBReference), b2(DateFrom), b3(DateTo);
        RBReference->setChecked(true);
        const TDateTime first = a && a->Count() > 0 ? a->Points.front().DateTime : Today();
        const TDateTime last = a && a->Count() > 0 ? a->Points.back().DateTime : Today();
        DateFrom->setDate(QDateOf(first));
        DateTo->setDate(QDateOf(last));
    }
    Invalidate();
}

void TSigmaPages::Invalidate() {
    report_.reset();
    power_.reset();
    plans_.reset();
    nomogram_.reset();
}

bool TSigmaPages::HasGoal() const {
    if (!analyte_) return false;
    const TQualityGoal g = Operations().Goal(analyte_->Name);
    return g.TEa || std::any_of(g.Target.begin(), g.Target.end(), [](const auto& t) { return t; });
}

std::string TSigmaPages::Period() const {
    if (!RBDates->isChecked()) return PeriodText(std::nullopt);
    return PeriodText(std::make_pair(DayOf(DateFrom->date()), DayOf(DateTo->date())));
}

void TSigmaPages::Compute() {
    if (report_ || !analyte_) return;
    const TAnalyte& a = *analyte_;
    std::optional<TPeriod> period;
    if (RBDates->isChecked()) period = PeriodOfDates(a, DayOf(DateFrom->date()), DayOf(DateTo->date()));
    const TPeriod view = viewPeriod_ ? viewPeriod_(a) : TPeriod{0, a.Count() - 1};
    report_ = SigmaReport(a, Operations().Goal(a.Name), period, view, {}, Operations().RuleSet(a.Name));
}

const TSigmaReport& TSigmaPages::Report() {
    Compute();
    static const TSigmaReport none;
    return report_ ? *report_ : none;
}

const std::vector<TPowerPoint>& TSigmaPages::Power() {
    if (!power_) {
        const TSigmaReport& r = Report();
        power_ = r.Rules.Levels > 0 ? SimulatePower(r.Rules, PowerShifts(), r.Simulation)
                                    : std::vector<TPowerPoint>{};
    }
    return *power_;
}

const TSigmaPlans& TSigmaPages::Plans() {
    if (!plans_) {
        const TSigmaReport& r = Report();
        plans_ = analyte_ ? SigmaPlans(*analyte_, r, Operations().RuleSet(analyte_->Name), PlanTrials)
                          : TSigmaPlans{};
    }
    return *plans_;
}

const TNomogram& TSigmaPages::Nomogram() {
    if (!nomogram_) {
        const TSigmaPlans& plans = Plans();
        const std::vector<long double> sigmas = NomogramSigmas();
        nomogram_ = analyte_ ? RunSizeNomogram(NomogramSets(plans.Set), plans.N, sigmas, NomogramTrials)
                             : TNomogram{};
    }
    return *nomogram_;
}

void TSigmaPages::Fill() {
    if (!analyte_) return;
    const TAnalyte& a = *analyte_;
    const TSigmaReport& r = Report();
    LblGoal->setText(ToQString(GoalText(a, r.Goal)));
    const auto titles = SigmaColumnTitles(a);
    const auto t = SigmaTexts(a, r, Plans());
    GridSigma->setColumnCount(static_cast<int>(titles.size()));
    QStringList header;
    for (const std::string& s : titles) header << ToQString(s);
    GridSigma->setHorizontalHeaderLabels(header);
    for (int row = 0; row < SigmaRows; ++row)
        for (int c = 0; c < static_cast<int>(titles.size()); ++c) {
            auto* it = new QTableWidgetItem(ToQString(t[static_cast<size_t>(row)][static_cast<size_t>(c)]));
            if (c > 0) it->setTextAlignment(Qt::AlignCenter);
            GridSigma->setItem(row, c, it);
        }
    // The label column to its longest label; the levels share the rest, each at least its longest text.
    const QFontMetrics fm = GridSigma->fontMetrics();
    const int padding = 12;
    int used = 0;
    for (int c = 0; c < GridSigma->columnCount(); ++c) {
        int w = 80;
        for (int row = 0; row < SigmaRows; ++row)
            if (QTableWidgetItem* it = GridSigma->item(row, c))
                w = std::max(w, fm.horizontalAdvance(it->text()) + padding);
        w = std::max(w, fm.horizontalAdvance(header[c]) + padding);
        GridSigma->setColumnWidth(c, w);
        used += w;
    }
    const int room = GridSigma->viewport()->width() - used;
    if (room > 0 && GridSigma->columnCount() > 1)
        for (int c = 1; c < GridSigma->columnCount(); ++c)
            GridSigma->setColumnWidth(c, GridSigma->columnWidth(c) + room / (GridSigma->columnCount() - 1));
    const std::string plans = PlansText(Plans());
    MemoAdvice->setPlainText(ToQString(AdviceText(a, r) + (plans.empty() ? "" : "\n" + plans)));
    BtUseRules->setEnabled(AdviceToApply(r) != nullptr && Operations().Mode() != TOpenMode::Reader);
}

void TSigmaPages::UseAdvisedRules() {
    if (!analyte_) return;
    const std::string name = analyte_->Name;
    const TLevelSigma* l = AdviceToApply(Report());
    if (!l) return;
    const TQcRuleSet set = AdvisedRuleSet(l->Advice);
    if (Operations().RuleSet(name) == set) {
        ShowMessageBox(mkInformation, mbOK, FillQ(tr("%1 is already judged by these rules."), name));
        return;
    }
    std::string plans;
    for (const TRunPlan& p : l->Advice.Plans)
        plans += (plans.empty() ? "" : FromQ(tr(" or "))) + "N=" + std::to_string(p.N) +
                 ", R=" + std::to_string(p.R);
    const std::string question =
        FillQ(tr("Judge the runs of %1 from now on by the rules advised for level %2 (Sigma %3): %4?\n"
                 "The multirule switch no longer applies to it. The advice runs %5."),
              name, std::to_string(l->Figures.Level + 1), Fixed(l->Figures.Sigma.Value, 2),
              QcRulesText(set.Reject), plans);
    if (ShowMessageBox(mkConfirmation, mbYes | mbNo, question) != mbYes) return;
    if (!AskPassword()) return;
    if (!ShowOutcome(Operations().SetRuleSet(name, set))) return;
    Invalidate();
    Fill();
}

void TSigmaPages::FillCharts() {
    if (!analyte_) return;
    Power();
    Nomogram();
    PBoxPower->update();
    PBoxDecision->update();
    PBoxNomogram->update();
}
