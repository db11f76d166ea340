// The control-limits view's pages of the quality goals: each level's figures against the goal, the rule
// advice beside the applied rules, the power function and the method decision chart, and their printout.
#pragma once

#include <QCoreApplication>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "UAnalyteHandle.h"
#include "UPrnTable.h"
#include "URunPlanning.h"
#include "USigmaReport.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class TDatePicker;
class TPrintCanvas;

constexpr int SigmaRows = 19;

// The power and run size of the rules in force at each level of a report (PlanLevels).
struct TSigmaPlans {
    TQcRuleSet Set;
    int N = 0;
    int Trials = 0;
    std::vector<std::optional<TRulePlan>> Levels; // one per level of the report
};
TSigmaPlans SigmaPlans(const TAnalyte& a, const TSigmaReport& r, const TQcRuleSet& own, int trials);
// The simulated runs of the plans in words, or that their figures are exact.
std::string PlansText(const TSigmaPlans& plans);

// The figures table: SigmaRows rows of NbLevels + 1 columns, labels in column 0.
std::vector<std::vector<std::string>> SigmaTexts(const TAnalyte& a, const TSigmaReport& r,
                                                 const TSigmaPlans& plans);
// "Level 1: <material>" for each level: the table's column titles.
std::vector<std::string> SigmaColumnTitles(const TAnalyte& a);
// The goal in one line, or how to set one.
std::string GoalText(const TAnalyte& a, const TQualityGoal& g);
// Per level: the advice beside the applied rules in words, and the notes on what is not available.
std::string AdviceText(const TAnalyte& a, const TSigmaReport& r);
// The period the figures cover, in words.
std::string PeriodText(const std::optional<std::pair<TDateTime, TDateTime>>& dates);

// The level whose advice "Use these rules" applies: of the advised levels the one with the lowest
// Sigma, whose rules are the most demanding; nullptr when no level has advice.
const TLevelSigma* AdviceToApply(const TSigmaReport& r);

// The printed pages: the figures table, the advice, the formulas and the three charts.
void PrintSigma(TPrintCanvas& canvas, const TAnalyte& a, const TSigmaReport& r, const TSigmaPlans& plans,
                const std::vector<TPowerPoint>& power, const TNomogram& nomogram, const std::string& period);

// The two pages of the view; the view shows them as tabs beside its table of limits.
class TSigmaPages {
    Q_DECLARE_TR_FUNCTIONS(TSigmaPages)
public:
    explicit TSigmaPages(QWidget* parent);
    QWidget* Figures; // "TabSigma": goal, period, figures, advice
    QWidget* Charts;  // "TabSigmaCharts": power function, decision chart and run-size nomogram
    QLabel* LblGoal;
    QRadioButton* RBReference;
    QRadioButton* RBDates;
    TDatePicker* DateFrom;
    TDatePicker* DateTo;
    QTableWidget* GridSigma;
    QPlainTextEdit* MemoAdvice;
    QPushButton* BtUseRules; // the advised rules become the analyte's own rule set
    QWidget* PBoxPower;
    QWidget* PBoxDecision;
    QWidget* PBoxNomogram;

    // A new analyte (or its limits changed): the figures are computed again when next shown.
    void Reset(const TAnalyte* a, std::function<TPeriod(const TAnalyte&)> viewPeriod);
    void Invalidate();
    // Computes what is not computed yet and fills the pages.
    void Fill();
    void FillCharts();
    const TSigmaReport& Report();
    const std::vector<TPowerPoint>& Power();
    const TSigmaPlans& Plans();
    const TNomogram& Nomogram();
    std::string Period() const;
    bool HasGoal() const;
    // Stores the advice of AdviceToApply as the analyte's own rule set, after the password and a
    // confirmation naming the rules and the advised runs.
    void UseAdvisedRules();
    // The pages' size; the view grows to hold it.
    static QSize PageSize();

private:
    void Compute();
    TConstAnalyteHandle analyte_;
    std::function<TPeriod(const TAnalyte&)> viewPeriod_;
    std::optional<TSigmaReport> report_;
    std::optional<std::vector<TPowerPoint>> power_;
    std::optional<TSigmaPlans> plans_;
    std::optional<TNomogram> nomogram_;
};
