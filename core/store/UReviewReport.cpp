// The review report: runs judged as the validation window would, corrective actions, journal changes.
#include "UReviewReport.h"

#include "UCodePage.h"
#include "UJournalTexts.h"
#include "UQcSummary.h"
#include "UTexts.h"

namespace {
std::string Day(TDateTime d) {
    return JournalDateTime(d).substr(0, 10);
}

const char* OutcomeText(TPointOutcome o) {
    switch (o) {
    case ocWarning:
        return QT_TRANSLATE_NOOP("Core", "warning");
    case ocReject:
        return QT_TRANSLATE_NOOP("Core", "REJECT");
    case ocDiscarded:
        return QT_TRANSLATE_NOOP("Core", "discarded");
    case ocEmpty:
        return "-";
    default:
        return QT_TRANSLATE_NOOP("Core", "ok");
    }
}

bool InPeriod(const std::string& isoDateTime, TDateTime first, TDateTime last) {
    auto d = IsoTextToDate(std::string_view(isoDateTime).substr(0, 10));
    return d && *d >= first && *d <= last;
}
} // namespace

TReviewSummary ReviewReport(const TAnalyte& a, TDateTime first, TDateTime last,
                            const std::vector<TJournalEntry>& journal, const std::vector<TReview>& reviews,
                            const TQcRuleSet& own) {
    first = DatePart(first);
    last = DatePart(last);
    TReviewSummary s;
    std::vector<std::string> runs;
    for (int i = 0; i < a.Count(); ++i) {
        const ControlPoint& p = a.Points[static_cast<size_t>(i)];
        if (p.DateTime < first || p.DateTime >= last + 1) continue;
        ++s.Runs;
        const TPointJudgement j = JudgePoint(a, i, own);
        std::string line = "  " + JournalDateTime(p.DateTime);
        for (int k = 0; k < a.NbLevels; ++k) {
            const auto l = static_cast<size_t>(k);
            const LevelValue& v = p.Levels[l];
            // Each level in a column of its own, so that the levels line up from run to run.
            std::string cell = "L" + std::to_string(k + 1) + " ";
            cell += v.State == psEmpty ? std::string("-") : JournalValue(v.Value, a.Decimals);
            cell += " " + TranslatedText(OutcomeText(j.Level[l]));
            const std::string rules = PointRuleNames(j, k);
            if (!rules.empty() && (j.Level[l] == ocWarning || j.Level[l] == ocReject)) cell += " " + rules;
            if (cell.size() < 28) cell.resize(28, ' ');
            line += "   " + cell;
            s.Warnings += j.Level[l] == ocWarning;
            s.Rejects += j.Level[l] == ocReject;
            s.Discarded += j.Level[l] == ocDiscarded;
        }
        if (!p.Operator.View().empty()) line += "   " + std::string(p.Operator.View());
        runs.push_back(line);
    }
    const std::string none = "  " + TranslatedText(QT_TRANSLATE_NOOP("Core", "none"));
    // Each count in its own singular or plural.
    auto count = [](int n, const char* one, const char* more) {
        return Fill(n == 1 ? one : more, std::to_string(n));
    };
    s.Lines.push_back(Fill(
        QT_TRANSLATE_NOOP("Core", "%1 (%2), %3 to %4: %5, %6, %7, %8"), a.Name, a.Unit, Day(first), Day(last),
        count(s.Runs, QT_TRANSLATE_NOOP("Core", "%1 run"), QT_TRANSLATE_NOOP("Core", "%1 runs")),
        count(s.Warnings, QT_TRANSLATE_NOOP("Core", "%1 warning"), QT_TRANSLATE_NOOP("Core", "%1 warnings")),
        count(s.Rejects, QT_TRANSLATE_NOOP("Core", "%1 reject"), QT_TRANSLATE_NOOP("Core", "%1 rejects")),
        count(s.Discarded, QT_TRANSLATE_NOOP("Core", "%1 discarded value"),
              QT_TRANSLATE_NOOP("Core", "%1 discarded values"))));
    s.Lines.push_back(TranslatedText(QT_TRANSLATE_NOOP("Core", "Runs and rule outcomes:")));
    if (runs.empty()) s.Lines.push_back(none);
    s.Lines.insert(s.Lines.end(), runs.begin(), runs.end());

    std::vector<std::string> actions, changes;
    for (const TJournalEntry& e : journal) {
        const bool about =
            e.Point.empty() ? InPeriod(e.TimeLocal, first, last) : InPeriod(e.Point, first, last);
        if (!about) continue;
        const std::string who = Utf8ToCp1252(e.Operator);
        if (e.Kind == jk::RunWithViolations) {
            actions.push_back("  " + e.Point + "   " +
                              (e.Reason.empty()
                                   ? TranslatedText(QT_TRANSLATE_NOOP("Core", "no corrective action given"))
                                   : Utf8ToCp1252(e.Reason)) +
                              "   (" + who + ")");
            continue;
        }
        if (e.Kind == jk::RunAccepted || e.Kind == jk::RunHeld || e.Kind == jk::RunRecalled) continue;
        std::string line =
            "  #" + std::to_string(e.Id) + " " + e.TimeLocal.substr(0, 16) + " " + who + " " + e.Kind;
        if (e.Level > 0) line += " L" + std::to_string(e.Level);
        if (!e.Point.empty()) line += Fill(QT_TRANSLATE_NOOP("Core", " of %1"), e.Point);
        if (!e.Before.empty()) line += ": " + Utf8ToCp1252(e.Before);
        if (!e.After.empty()) line += " -> " + Utf8ToCp1252(e.After);
        if (!e.Reason.empty())
            line += Fill(QT_TRANSLATE_NOOP("Core", " (reason: %1)"), Utf8ToCp1252(e.Reason));
        changes.push_back(line);
    }
    s.Lines.push_back(TranslatedText(QT_TRANSLATE_NOOP("Core", "Corrective actions:")));
    if (actions.empty()) s.Lines.push_back(none);
    s.Lines.insert(s.Lines.end(), actions.begin(), actions.end());
    s.Lines.push_back(TranslatedText(QT_TRANSLATE_NOOP("Core", "Changes in the journal:")));
    if (changes.empty()) s.Lines.push_back(none);
    s.Lines.insert(s.Lines.end(), changes.begin(), changes.end());
    s.Lines.push_back(TranslatedText(QT_TRANSLATE_NOOP("Core", "Sign-offs:")));
    bool any = false;
    for (const TReview& r : reviews) {
        if (r.Last < first || r.First > last) continue;
        any = true;
        std::string line = "  " + Fill(QT_TRANSLATE_NOOP("Core", "%1 to %2 signed by %3 on %4"), Day(r.First),
                                       Day(r.Last), r.Reviewer, r.SignedLocal.substr(0, 16));
        if (r.Reopened())
            line += Fill(QT_TRANSLATE_NOOP("Core", "; reopened %1: %2"), r.ReopenedUtc.substr(0, 10),
                         r.ReopenedReason);
        s.Lines.push_back(line);
    }
    if (!any) s.Lines.push_back(none);
    return s;
}
