// The web view's pages: HTML written on the server, every stored text escaped, the charts as SVG (drawn
// again by the charting library in the browser, when the build has it).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "UJournal.h"
#include "UQcSummary.h"
#include "UServerStore.h"
#include "USigmaReport.h"
#include "UStructures.h"

// UTF-8 text escaped for HTML content and attribute values.
std::string Html(std::string_view utf8);
// Windows-1252 text (as the data holds it) escaped for HTML.
std::string HtmlCp(std::string_view cp1252);
// A value for a URL's query or path, percent-encoded.
std::string UrlPart(std::string_view utf8);

struct TPageFrame {
    std::string Title; // UTF-8
    TAccount Account;  // who is signed in
    std::string Csrf;  // for the sign-out form
    std::string Here; // the address that shows the page again, when it is not the request's (a form's answer)
    bool Charts = false; // the page draws its charts with the charting library, when the build has it
};
// A whole page around `body`.
std::string Page(const TPageFrame& frame, const std::string& body);
std::string SignInPage(const std::string& message);

// The inbox's alarms, then each analyte's last run, its states and the runs held for it.
struct TInboxAlarms {
    int NotMapped = 0; // results waiting for a mapping
    int FromInbox = 0; // held runs that came from the instruments
};
// Each last run is judged with its analyte's own rule set from `own` (the multirules without one), and
// the rules it breaks are named per level.
std::string TodayBody(const TListAnalytes& analytes, const std::deque<TResu>& held, const TInboxAlarms& inbox,
                      const std::vector<TAnalyteRules>& own);
// The analyte's Levey-Jennings charts per level with their limits and signed periods, its latest
// points, and for a supervisor the sign-off form. `notice` is shown above (an outcome, UTF-8).
// `figures` (HTML) follows the charts: the Sigma and monthly-summary tables.
std::string AnalyteBody(const TAnalyte& a, const std::vector<TReview>& reviews, bool supervisor,
                        const std::string& csrf, const std::string& notice, const std::string& figures = "");
// Per level TEa, bias, CV, Sigma and the advised rules, under the goal they are measured against.
std::string SigmaTable(const TAnalyte& a, const TSigmaReport& r);
// The months' figures and judged values per level, then all the months', under the form choosing them
// (its fields as typed, UTF-8); `s` null when the months could not be taken (`notice` says why).
std::string SummaryTable(const TAnalyte& a, const TSummary* s, const std::string& from, const std::string& to,
                         const std::string& notice);
// The months the analyte page summarises unless told: the last six up to its last point's (or today's).
std::pair<TMonth, TMonth> DefaultMonths(const TAnalyte& a);
// "YYYY-MM".
std::string MonthText(TMonth m);
// The chart of one level as an SVG element.
std::string LeveyJenningsSvg(const TAnalyte& a, int level, const std::vector<TReview>& reviews);
// The chart of one level as its figures for the charting library (JSON): the limits (null without),
// each point as [seconds, value, state class, state name], each signed period as [from, to, text].
std::string LeveyJenningsData(const TAnalyte& a, int level, const std::vector<TReview>& reviews);
// Where the charting library's files are served; its version in the path lets browsers keep them.
std::string ChartLibraryPath();
// The journal, newest first, under its filter form; the filter's fields as typed (UTF-8).
struct TJournalFields {
    std::string Analyte, Kind, Operator, From, To;
};
std::string JournalBody(const std::vector<TJournalEntry>& entries, const TJournalFields& fields);
