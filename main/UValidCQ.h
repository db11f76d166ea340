// TWinValidCQ: the validation window of a run, with a level bar per QC level and the Westgard marks.
#pragma once

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <vector>

#include "UAnalyteHandle.h"
#include "UOperations.h"
#include "URunJudgement.h"
#include "UStructures.h"
#include "UWestgard.h"

class TWinValidCQ;

// What one level bar showed at its last paint, kept so that tests can read what was drawn.
struct TLevelBarPicture {
    enum TKind { bkNoData, bkDiscarded, bkZones };
    TKind Kind = bkNoData;
    std::array<int, 6> ZoneEdges{}; // x of 20, m - a, m - w, m + w, m + a, width - 20
    bool MarksShown = false;
    TRuleRow Marks{};
    // With a rule set of the analyte's own: its rules in the set's order and their outcomes at the level.
    std::vector<std::pair<std::string, RuleStatus>> OwnMarks;
    struct Tick {
        long double Value;
        int X;
        std::string Text;
    };
    std::vector<Tick> Ticks; // the bar scale, empty when no scale is drawn
    int MarkerX = 0;
};

// The bar of one level: the run's value against the warning and action zones of the level.
class TPBoxValidCQ : public QWidget {
public:
    TPBoxValidCQ(TWinValidCQ* owner, int tag, QWidget* parent);

    // Loads the level's limits and the run's value (LoadLevelBar of the window).
    void Load(const LevelStats& limits, const LevelValue& value);
    // The bar's x of a value, rounded half to even: m - h maps to 20, m + h to the width - 20.
    int X(long double x) const;
    // The ticks of the bar scale as (value, decimals); empty without a scale.
    std::vector<std::pair<long double, int>> ScaleTicks() const;

    int Tag;
    long double M = 0, W = 0, A = 0, H = 1, V = 0;
    bool ScaleShown = false;
    TLevelBarPicture Picture; // of the last paint

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TWinValidCQ* owner_;
};

class TWinValidCQ : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinValidCQ)
public:
    explicit TWinValidCQ(QWidget* parent = nullptr);

    // Prepares and shows the window modally for the run of the analyte; true on OK, after which the
    // run's rejected levels are psDiscarded and the analyte's multirule switch follows CBWestg.
    bool Execute(TAnalyte& analyte, TResu& run);

    // The next showing is the run again after the server refused it as judged otherwise on runs other
    // benches added meanwhile: the window says so (`message`) and keeps the levels rejected at the last OK.
    void ReopenRejudged(const std::string& message);

    void PrepareValidation(TAnalyte& analyte, TResu& run);
    void FormActivate();
    // Applies the rejections and the multirule switch when the window closed with OK.
    void FormClose(bool ok);
    void CBWestgClick();
    void RejectButtonClick(int k);
    void PaintLevelBar(TPBoxValidCQ& bar, QPainter& p);
    void PBoxWGAcrossPaint(QPainter& p);

    const TRejectToggles& Rejected() const { return rejected_; }
    // What OK learnt for the journal: the corrective action of a run a rule rejects, levels rejected and
    // retrieved, the reason for a run inside a signed review.
    const TRunNote& Note() const { return note_; }
    bool AskNote();
    // The marks the across row drew at its last paint (positions 2 to 5); empty when hidden.
    std::vector<std::pair<std::string, RuleStatus>> AcrossPicture;

    QLabel* Panel1;
    QLabel* LblUnite;
    QWidget* Panel2;
    QLabel* Label1;
    QLabel* PanelDate;
    QLabel* LblOperator;
    QLabel* PanelOperator;
    QLabel* LblComment;
    QLabel* PanelComment;
    std::array<QLabel*, MaxLevels> MaterialLabels{};
    std::array<TPBoxValidCQ*, MaxLevels> LevelBars{};
    std::array<QLabel*, MaxLevels> ModeLabels{};
    std::array<QPushButton*, MaxLevels> RejectButtons{};
    QWidget* PanelWGAcross;
    QLabel* Label3;
    QWidget* PBoxWGAcross;
    QWidget* Panel3;
    QPushButton* BtOK;
    QPushButton* BtCancel;
    QCheckBox* CBWestg;
    // In place of CBWestg for an analyte with a rule set of its own: the set's name.
    QLabel* LblRuleSet;
    // Shown when the window opened again on a run the server judged otherwise: why, and what changed.
    QLabel* LblRejudged;

    void done(int r) override;

private:
    int LevelsInUse() const;
    void Evaluate(bool multirulesOn);
    void ApplyHeight();
    void RepaintAll();

    TAnalyteHandle analyte_;
    TResu* run_ = nullptr;
    int previousIndex_ = -1;
    TRejectToggles rejected_{};
    TRejectToggles everRejected_{};
    TRunNote note_;
    TRuleLevels levels_;
    TMultiruleResult result_;
    TQcRuleSet own_;      // the analyte's own rule set; empty: the multirules judge
    TRunVerdict verdict_; // of the own set
    bool placed_ = false;
    std::string rejudged_; // the message of the next showing, see ReopenRejudged
    bool rejudgedShown_ = false;
    int x_ = 0;
};

// Draws one rule mark: an ellipse in the status colour with the rule's name.
void DrawRuleMark(QPainter& p, int x, int y, RuleStatus status, const char* name);
