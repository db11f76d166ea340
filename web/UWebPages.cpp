// Pages of the web view.
#include "UWebPages.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "UCliJson.h"
#include "UCodePage.h"
#include "UJournal.h"
#include "UJournalTexts.h"
#include "URegional.h"
#include "UUtilitaires.h"
#include "UWebAssets.h"

std::string Html(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            // Control characters other than tab and line ends have no place in a page.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                out += "&#xFFFD;";
            else
                out += c;
        }
    return out;
}

std::string HtmlCp(std::string_view cp1252) {
    return Html(Cp1252ToUtf8(cp1252));
}

std::string UrlPart(std::string_view s) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

namespace {

std::string Figure(long double v, int decimals) {
    if (!std::isfinite(static_cast<double>(v))) return "";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 6), static_cast<double>(v));
    return buf;
}

const char* StateClass(PointState s) {
    switch (s) {
    case psHighWarning:
    case psLowWarning:
        return "warn";
    case psHighAction:
    case psLowAction:
        return "action";
    case psDiscarded:
        return "discarded";
    default:
        return "ok";
    }
}

std::string Day(TDateTime d) {
    return JournalDateTime(d).substr(0, 10);
}

} // namespace

std::string Page(const TPageFrame& frame, const std::string& body) {
    std::string p =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + Html(frame.Title) +
        " - Varnholt</title><link rel=\"stylesheet\" href=\"/style.css\"><script src=\"/live.js\" "
        "defer></script>" +
        (frame.Charts && WebAsset("charts.js")
             ? "<link rel=\"stylesheet\" href=\"" + ChartLibraryPath() + "uPlot.min.css\"><script src=\"" +
                   ChartLibraryPath() +
                   "uPlot.iife.min.js\" defer></script><script src=\"/charts.js\" "
                   "defer></script>"
             : std::string()) +
        "</head><body" + (frame.Here.empty() ? std::string() : " data-here=\"" + Html(frame.Here) + "\"") +
        ">";
    p += "<nav><a href=\"/\">Today</a><a href=\"/journal\">Journal</a><span>" + Html(frame.Account.Code) +
         " (" + RoleName(frame.Account.Role) + ")</span>";
    p += "<form method=\"post\" action=\"/logout\"><input type=\"hidden\" name=\"csrf\" value=\"" +
         Html(frame.Csrf) + "\"><button type=\"submit\">Sign out</button></form></nav><main><h1>" +
         Html(frame.Title) + "</h1>" + body + "</main></body></html>\n";
    return p;
}

std::string SignInPage(const std::string& message) {
    std::string p =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Sign in - "
        "Varnholt</title><link rel=\"stylesheet\" href=\"/style.css\"></head><body><main><h1>Sign "
        "in</h1>";
    if (!message.empty()) p += "<p class=\"notice\" role=\"alert\">" + Html(message) + "</p>";
    p += "<form method=\"post\" action=\"/login\"><p><label for=\"code\">Operator code</label> <input "
         "id=\"code\" "
         "name=\"code\" autocomplete=\"username\" required></p><p><label for=\"password\">Password</label> "
         "<input id=\"password\" name=\"password\" type=\"password\" autocomplete=\"current-password\" "
         "required></p><p><button type=\"submit\">Sign in</button></p></form></main></body></html>\n";
    return p;
}

std::string TodayBody(const TListAnalytes& analytes, const std::deque<TResu>& held, const TInboxAlarms& inbox,
                      const std::vector<TAnalyteRules>& own) {
    auto ownSet = [&own](const TAnalyte& a) {
        for (const TAnalyteRules& r : own)
            if (UpperCase(r.Analyte) == UpperCase(a.Name)) return r.Set;
        return TQcRuleSet{};
    };
    std::string b = "<p class=\"" + std::string(inbox.NotMapped ? "notice warn" : "notice") +
                    "\" id=\"inbox\">Runs held: " + std::to_string(held.size()) +
                    " (from the instruments: " + std::to_string(inbox.FromInbox) +
                    "). Results waiting for a mapping: " + std::to_string(inbox.NotMapped) + ".</p>";
    b += "<table><thead><tr><th scope=\"col\">Analyte</th><th scope=\"col\">Last run</th>"
         "<th scope=\"col\">Levels</th><th scope=\"col\">Judgement</th><th scope=\"col\">Rules fired</th>"
         "<th scope=\"col\">Runs held</th></tr></thead><tbody>";
    for (const auto& p : analytes.Items) {
        const TAnalyte& a = *p;
        const int waiting = static_cast<int>(std::count_if(
            held.begin(), held.end(), [&a](const TResu& r) { return r.AnalyteName == a.Name; }));
        b += "<tr><td><a href=\"/analyte?name=" + UrlPart(Cp1252ToUtf8(a.Name)) + "\">" + HtmlCp(a.Name) +
             "</a></td>";
        if (a.Points.empty()) {
            b += "<td>no runs</td><td></td><td></td><td></td>";
        } else {
            const ControlPoint& last = a.Points.back();
            b += "<td>" + Html(JournalDateTime(last.DateTime)) + "</td><td>";
            for (int i = 0; i < a.NbLevels; ++i) {
                const LevelValue& v = last.Levels[static_cast<size_t>(i)];
                if (v.State == psEmpty) continue;
                b += std::string("<span class=\"") + StateClass(v.State) + "\">L" + std::to_string(i + 1) +
                     " " + Figure(v.Value, a.Decimals) + " " + HtmlCp(a.Unit) + " (" + StateName(v.State) +
                     ")</span> ";
            }
            const TPointJudgement j = JudgePoint(a, a.Count() - 1, ownSet(a));
            TPointOutcome worst = ocEmpty;
            std::string fired;
            for (int i = 0; i < a.NbLevels; ++i) {
                const TPointOutcome o = j.Level[static_cast<size_t>(i)];
                worst = std::max(worst, o == ocDiscarded ? ocReject : o);
                const std::string names = PointRuleNames(j, i, ", ");
                if (!names.empty())
                    fired += (fired.empty() ? "L" : "; L") + std::to_string(i + 1) + " " + names;
            }
            const char* judged = worst == ocReject    ? "rejected"
                                 : worst == ocWarning ? "accepted with a warning"
                                 : worst == ocClear   ? "accepted"
                                                      : "";
            b += std::string("</td><td class=\"") +
                 (worst == ocReject    ? "action"
                  : worst == ocWarning ? "warn"
                                       : "ok") +
                 "\">" + judged + "</td><td>" + (fired.empty() ? std::string("none") : Html(fired)) + "</td>";
        }
        b += "<td>" + std::to_string(waiting) + "</td></tr>";
    }
    b += "</tbody></table>";
    return b;
}

std::string LeveyJenningsSvg(const TAnalyte& a, int level, const std::vector<TReview>& reviews) {
    const LevelStats& s = a.Limits[static_cast<size_t>(level)];
    std::vector<std::pair<TDateTime, const LevelValue*>> pts;
    for (const ControlPoint& p : a.Points)
        if (p.Levels[static_cast<size_t>(level)].State != psEmpty)
            pts.emplace_back(p.DateTime, &p.Levels[static_cast<size_t>(level)]);
    const double w = 720, h = 240, left = 60, right = 10, top = 10, bottom = 30;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"720\" height=\"240\" role=\"img\" "
                      "aria-label=\"Levey-Jennings chart of level " +
                      std::to_string(level + 1) + "\">";
    const bool limits = s.State == 0 && std::isfinite(static_cast<double>(s.Mean)) && s.ActionDev > 0;
    double lo = 0, hi = 1;
    if (limits) {
        lo = static_cast<double>(s.Mean - s.ActionDev * 4 / 3);
        hi = static_cast<double>(s.Mean + s.ActionDev * 4 / 3);
    } else if (!pts.empty()) {
        lo = hi = pts.front().second->Value;
    }
    // With limits the chart spans about four SD either side, as a Levey-Jennings chart does; a point
    // beyond is drawn on the edge (its value in its title).
    if (!limits)
        for (const auto& p : pts) {
            lo = std::min(lo, static_cast<double>(p.second->Value));
            hi = std::max(hi, static_cast<double>(p.second->Value));
        }
    if (!(hi > lo)) {
        lo -= 1;
        hi += 1;
    }
    const double first = pts.empty() ? 0 : pts.front().first, last = pts.empty() ? 1 : pts.back().first;
    const double span = last > first ? last - first : 1;
    auto X = [&](double t) { return left + (t - first) / span * (w - left - right); };
    auto Y = [&](double v) { return top + (hi - std::clamp(v, lo, hi)) / (hi - lo) * (h - top - bottom); };
    char buf[256];
    // Signed periods behind everything.
    for (const TReview& r : reviews) {
        if (r.Reopened() || r.Last + 1 < first || r.First > last) continue;
        const double x1 = X(std::max<double>(r.First, first)), x2 = X(std::min<double>(r.Last + 1, last));
        std::snprintf(buf, sizeof buf,
                      "<rect class=\"signed\" x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" "
                      "fill=\"#e0f0e0\"><title>",
                      x1, top, std::max(1.0, x2 - x1), h - top - bottom);
        svg += buf +
               Html("signed by " + Cp1252ToUtf8(r.Reviewer) + " for " + Day(r.First) + " to " + Day(r.Last)) +
               "</title></rect>";
    }
    if (limits) {
        const std::pair<long double, const char*> lines[] = {{s.Mean, "#000"},
                                                             {s.Mean + s.WarnDev, "#c90"},
                                                             {s.Mean - s.WarnDev, "#c90"},
                                                             {s.Mean + s.ActionDev, "#c00"},
                                                             {s.Mean - s.ActionDev, "#c00"}};
        for (const auto& [v, colour] : lines) {
            const double y = Y(static_cast<double>(v));
            std::snprintf(
                buf, sizeof buf,
                "<line class=\"limit\" x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"%s\"/>"
                "<text x=\"2\" y=\"%.1f\" font-size=\"10\">",
                left, w - right, y, y, colour, y + 3);
            svg += buf + Figure(v, a.Decimals) + "</text>";
        }
    }
    std::string path;
    for (const auto& [t, v] : pts) {
        const double x = X(t), y = Y(v->Value);
        std::snprintf(buf, sizeof buf, "%s%.1f,%.1f", path.empty() ? "M" : " L", x, y);
        path += buf;
    }
    if (!path.empty()) svg += "<path d=\"" + path + "\" fill=\"none\" stroke=\"#456\"/>";
    for (const auto& [t, v] : pts) {
        const char* fill = v->State == psInControl ? "#246" : v->State == psDiscarded ? "#fff" : "#c00";
        std::snprintf(buf, sizeof buf,
                      "<circle class=\"point %s\" cx=\"%.1f\" cy=\"%.1f\" r=\"3\" fill=\"%s\" "
                      "stroke=\"#246\"><title>",
                      StateClass(v->State), X(t), Y(v->Value), fill);
        svg += buf +
               Html(JournalDateTime(t) + " " + Figure(v->Value, a.Decimals) + " " + StateName(v->State)) +
               "</title></circle>";
    }
    if (!pts.empty()) {
        std::snprintf(buf, sizeof buf, "<text x=\"%.1f\" y=\"%.1f\" font-size=\"10\">", left, h - 8);
        svg += buf + Day(first) + "</text>";
        std::snprintf(buf, sizeof buf, "<text x=\"%.1f\" y=\"%.1f\" font-size=\"10\" text-anchor=\"end\">",
                      w - right, h - 8);
        svg += buf + Day(last) + "</text>";
    }
    return svg + "</svg>";
}

std::string LeveyJenningsData(const TAnalyte& a, int level, const std::vector<TReview>& reviews) {
    const LevelStats& s = a.Limits[static_cast<size_t>(level)];
    // Seconds since 1970 of the lab's own clock, read by the chart as UTC so it shows the times as typed.
    auto seconds = [](TDateTime t) { return std::llround((static_cast<double>(t) - 25569.0) * 86400.0); };
    TJsonWriter j;
    j.BeginObject().Key("Level").Int(level + 1).Key("Unit").Text(a.Unit).Key("Decimals").Int(a.Decimals);
    j.Key("Limits");
    if (s.State == 0 && std::isfinite(static_cast<double>(s.Mean)) && s.ActionDev > 0)
        j.BeginObject()
            .Key("Mean")
            .Real(s.Mean)
            .Key("WarnDev")
            .Real(s.WarnDev)
            .Key("ActionDev")
            .Real(s.ActionDev)
            .EndObject();
    else
        j.Null();
    TDateTime first = 0, last = 0;
    bool any = false;
    j.Key("Points").BeginArray();
    for (const ControlPoint& p : a.Points) {
        const LevelValue& v = p.Levels[static_cast<size_t>(level)];
        if (v.State == psEmpty) continue;
        if (!any) first = p.DateTime;
        last = p.DateTime;
        any = true;
        j.BeginArray()
            .Int(seconds(p.DateTime))
            .Real(v.Value)
            .Text(StateClass(v.State))
            .Text(StateName(v.State));
        j.EndArray();
    }
    j.EndArray().Key("Signed").BeginArray();
    for (const TReview& r : reviews) {
        if (!any || r.Reopened() || r.Last + 1 < first || r.First > last) continue;
        j.BeginArray().Int(seconds(r.First)).Int(seconds(r.Last + 1));
        j.Text("signed by " + r.Reviewer + " for " + Day(r.First) + " to " + Day(r.Last)).EndArray();
    }
    j.EndArray().EndObject();
    return j.Str();
}

std::string ChartLibraryPath() {
    return "/vendor/uplot-" VARNHOLT_CHART_LIBRARY_VERSION "/";
}

std::string AnalyteBody(const TAnalyte& a, const std::vector<TReview>& reviews, bool supervisor,
                        const std::string& csrf, const std::string& notice, const std::string& figures) {
    std::string b;
    if (!notice.empty()) b += "<p class=\"notice\" role=\"status\">" + Html(notice) + "</p>";
    for (int i = 0; i < a.NbLevels; ++i) {
        const LevelStats& s = a.Limits[static_cast<size_t>(i)];
        b += "<h2>Level " + std::to_string(i + 1) + "</h2><p>" +
             HtmlCp(LimitModeNames[std::min<size_t>(a.LimitMode[static_cast<size_t>(i)], 2)]);
        if (s.State == 0)
            b += ": mean " + Figure(s.Mean, a.Decimals + 1) + ", warning &#177;" +
                 Figure(s.WarnDev, a.Decimals + 1) + ", action &#177;" + Figure(s.ActionDev, a.Decimals + 1) +
                 " " + HtmlCp(a.Unit) + ", n " + std::to_string(s.N);
        b += "</p><figure class=\"lj\"" +
             (WebAsset("charts.js") ? " data-chart=\"" + Html(LeveyJenningsData(a, i, reviews)) + "\"" : "") +
             ">" + LeveyJenningsSvg(a, i, reviews) + "</figure>";
    }
    b += figures;
    b += "<h2>Reviews</h2><table><thead><tr><th scope=\"col\">From</th><th scope=\"col\">To</th><th "
         "scope=\"col\">Reviewer</th><th scope=\"col\">Signed</th><th "
         "scope=\"col\">Reopened</th></tr></thead><tbody>";
    for (const TReview& r : reviews)
        b += "<tr><td>" + Day(r.First) + "</td><td>" + Day(r.Last) + "</td><td>" + HtmlCp(r.Reviewer) +
             "</td><td>" + Html(r.SignedLocal) + "</td><td>" + Html(r.ReopenedUtc) +
             (r.ReopenedReason.empty() ? "" : ": ") + HtmlCp(r.ReopenedReason) + "</td></tr>";
    b += "</tbody></table>";
    if (supervisor)
        b +=
            "<h2>Sign a review</h2><form method=\"post\" action=\"/review\"><input type=\"hidden\" "
            "name=\"csrf\" "
            "value=\"" +
            Html(csrf) + "\"><input type=\"hidden\" name=\"name\" value=\"" + HtmlCp(a.Name) +
            "\"><p><label for=\"from\">From</label> <input id=\"from\" name=\"from\" type=\"date\" required> "
            "<label for=\"to\">To</label> <input id=\"to\" name=\"to\" type=\"date\" required></p><p><label "
            "for=\"password\">Your password</label> <input id=\"password\" name=\"password\" "
            "type=\"password\" "
            "autocomplete=\"current-password\" required></p><p><button type=\"submit\">Sign as "
            "reviewed</button></p></form>";
    return b;
}

std::string JournalBody(const std::vector<TJournalEntry>& entries, const TJournalFields& f) {
    auto input = [](const char* id, const char* label, const std::string& value, const char* type) {
        return std::string("<label for=\"") + id + "\">" + label + "</label> <input id=\"" + id +
               "\" name=\"" + id + "\" type=\"" + type + "\" value=\"" + Html(value) + "\"> ";
    };
    std::string b =
        "<form method=\"get\" action=\"/journal\">" + input("analyte", "Analyte", f.Analyte, "text") +
        input("operator", "Operator", f.Operator, "text") + input("from", "From", f.From, "date") +
        input("to", "To", f.To, "date") +
        "<label for=\"kind\">Kind</label> <select id=\"kind\" name=\"kind\"><option value=\"\">all</option>";
    for (const std::string& k : JournalKinds())
        b += "<option" + std::string(k == f.Kind ? " selected" : "") + ">" + Html(k) + "</option>";
    b +=
        "</select> <button type=\"submit\">Show</button></form><table><thead><tr><th scope=\"col\">#</th><th "
        "scope=\"col\">Time</th><th scope=\"col\">Operator</th><th scope=\"col\">Kind</th><th "
        "scope=\"col\">Analyte</th><th scope=\"col\">Level</th><th scope=\"col\">Point</th><th "
        "scope=\"col\">Before</th><th scope=\"col\">After</th><th "
        "scope=\"col\">Reason</th></tr></thead><tbody>";
    // Newest first; the journal's texts are UTF-8.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const TJournalEntry& e = *it;
        b += "<tr><td>" + std::to_string(e.Id) + "</td><td>" + Html(e.TimeLocal) + "</td><td>" +
             Html(e.Operator) + "</td><td>" + Html(e.Kind) + "</td><td>" + Html(e.Analyte) + "</td><td>" +
             (e.Level ? std::to_string(e.Level) : "") + "</td><td>" + Html(e.Point) + "</td><td>" +
             Html(e.Before) + "</td><td>" + Html(e.After) + "</td><td>" + Html(e.Reason) + "</td></tr>";
    }
    return b + "</tbody></table>";
}

namespace {

std::string Fixed(long double v, int decimals) {
    return FormatFixed(v, 12, decimals, '.');
}

// A figure, or why it is missing.
std::string Shown(const TFigure& f, int decimals, const char* suffix = "") {
    return f.Ok() ? Fixed(f.Value, decimals) + suffix : std::string("n/a: ") + GapText(f.Gap);
}

} // namespace

std::string MonthText(TMonth m) {
    char t[16];
    std::snprintf(t, sizeof t, "%04d-%02d", m.Year, m.Month);
    return t;
}

std::pair<TMonth, TMonth> DefaultMonths(const TAnalyte& a) {
    const TDateParts d = DecodeDate(a.Count() > 0 ? a.Points.back().DateTime : Today());
    TMonth to{d.Year, d.Month}, from = to;
    for (int i = 0; i < 5; ++i)
        from = from.Month == 1 ? TMonth{from.Year - 1, 12} : TMonth{from.Year, from.Month - 1};
    return {from, to};
}

std::string SigmaTable(const TAnalyte& a, const TSigmaReport& r) {
    const TQualityGoal& g = r.Goal;
    std::string b = "<h2>Quality goal and Sigma</h2><p id=\"goal\">";
    const bool any = g.TEa || std::any_of(g.Target.begin(), g.Target.end(), [](const auto& t) { return t; });
    if (!any) {
        b += "No quality goal set.";
    } else {
        b += "TEa " +
             (g.TEa ? Fixed(*g.TEa, 2) + (g.TEaKind == teaUnit ? " " + HtmlCp(g.TEaUnit) : std::string(" %"))
                    : std::string("not set"));
        for (int i = 0; i < a.NbLevels; ++i) {
            const auto& t = g.Target[static_cast<size_t>(i)];
            b += "; target " + std::to_string(i + 1) + ": " +
                 (t ? Fixed(*t, a.Decimals + 2) : std::string("none"));
        }
        b += ".";
    }
    b += "</p><table id=\"sigma\"><thead><tr><th scope=\"col\">Level</th><th scope=\"col\">TEa</th><th "
         "scope=\"col\">Bias</th><th scope=\"col\">CV</th><th scope=\"col\">Sigma</th><th "
         "scope=\"col\">Advice</th></tr></thead><tbody>";
    bool unknownBias = false;
    for (const TLevelSigma& l : r.Levels) {
        const TLevelFigures& f = l.Figures;
        std::string tea = Shown(f.TEaPct, 2, " %");
        if (f.TEaPct.Ok() && g.TEaKind == teaUnit && g.TEa)
            tea = Fixed(*g.TEa, a.Decimals + 2) + " " + Cp1252ToUtf8(g.TEaUnit) + " = " + tea;
        const std::string bias =
            f.Target.Gap == gapNoTarget ? "not known (no target)" : Shown(f.BiasPct, 2, " %");
        std::string sigma = Shown(f.Sigma, 2);
        if (f.Sigma.Ok() && !f.BiasKnown) {
            sigma += " *";
            unknownBias = true;
        }
        std::string advice;
        if (l.MissesGoal) {
            advice = "none: the goal is not met";
        } else if (l.Advised) {
            for (const std::string& rule : l.Advice.Rules) advice += (advice.empty() ? "" : "/") + rule;
            std::string plans;
            for (const TRunPlan& p : l.Advice.Plans)
                plans += (plans.empty() ? "" : " or ") +
                         ("N=" + std::to_string(p.N) + ", R=" + std::to_string(p.R));
            if (!plans.empty()) advice += " (" + plans + ")";
        } else {
            advice = std::string("n/a: ") + GapText(f.Sigma.Gap);
        }
        b += "<tr><th scope=\"row\">" + std::to_string(f.Level + 1) + "</th><td>" + Html(tea) + "</td><td>" +
             Html(bias) + "</td><td>" + Html(Shown(f.CV, 2, " %")) + (f.CommonCV ? " (common CV)" : "") +
             "</td><td>" + Html(sigma) + "</td><td>" + Html(advice) + "</td></tr>";
    }
    b += "</tbody></table>";
    if (unknownBias) b += "<p>* No target: the bias is not known; Sigma is computed with a bias of 0.</p>";
    return b;
}

std::string SummaryTable(const TAnalyte& a, const TSummary* s, const std::string& from, const std::string& to,
                         const std::string& notice) {
    std::string b =
        "<h2>Monthly summary</h2><form method=\"get\" action=\"/analyte\"><input type=\"hidden\" "
        "name=\"name\" value=\"" +
        HtmlCp(a.Name) +
        "\"><label for=\"months-from\">From</label> <input id=\"months-from\" name=\"from\" "
        "type=\"month\" value=\"" +
        Html(from) +
        "\"> <label for=\"months-to\">To</label> <input id=\"months-to\" name=\"to\" type=\"month\" "
        "value=\"" +
        Html(to) + "\"> <button type=\"submit\">Show</button></form>";
    if (!notice.empty()) b += "<p class=\"notice\" role=\"alert\">" + Html(notice) + "</p>";
    if (!s) return b;
    b += "<table id=\"summary\"><thead><tr>";
    for (const char* h :
         {"Month", "Level", "N", "Mean", "SD", "CV %", "Bias %", "Sigma", "Warnings", "Rejects", "Discarded"})
        b += std::string("<th scope=\"col\">") + h + "</th>";
    b += "</tr></thead><tbody>";
    const int d = a.Decimals + 2;
    auto cell = [](const TFigure& f, int decimals) {
        return f.Ok() ? Fixed(f.Value, decimals) : std::string("n/a");
    };
    auto row = [&](const std::string& month, const TMonthLevel& l) {
        const TLevelFigures& f = l.Figures;
        std::string sigma = cell(f.Sigma, 2);
        if (f.Sigma.Ok() && !f.BiasKnown) sigma += " *";
        b += "<tr><td>" + month + "</td><td>" + std::to_string(f.Level + 1) + "</td><td>" +
             std::to_string(f.N) + "</td><td>" + cell(f.Mean, d) + "</td><td>" + cell(f.SD, d) + "</td><td>" +
             cell(f.CV, 2) + "</td><td>" + cell(f.BiasPct, 2) + "</td><td>" + sigma + "</td><td>" +
             std::to_string(l.Warnings) + "</td><td>" + std::to_string(l.Rejects) + "</td><td>" +
             std::to_string(l.Discarded) + "</td></tr>";
    };
    for (const TMonthSummary& m : s->Months)
        for (const TMonthLevel& l : m.Levels) row(MonthText(m.Month), l);
    if (!s->Months.empty())
        for (const TMonthLevel& l : s->Cumulative)
            row(MonthText(s->Months.front().Month) + " to " + MonthText(s->Months.back().Month), l);
    return b + "</tbody></table>";
}
