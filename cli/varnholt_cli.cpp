// varnholt-cli: the program's data, figures and exchanges from the command line, computed by the
// same core operations as the windows.
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "UArchive.h"
#include "UAtomicFile.h"
#include "UCliJson.h"
#include "UCliReport.h"
#include "UCodePage.h"
#include "UCompatibilityDrovanta.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UFolderLock.h"
#include "UGlobale.h"
#include "UImportText.h"
#include "UOperations.h"
#include "UQcError.h"
#include "UUtilitaires.h"
#include "UWestgard.h"

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitLocked = 3;
constexpr int ExitPartial = 4;

// A refusal of the command line or of the data: a one-line message and exit status 2.
struct ECliError {
    std::string message;
    int status = ExitUsage;
};

[[noreturn]] void Refuse(const std::string& message, int status = ExitUsage) {
    throw ECliError{message, status};
}

std::string Flatten(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

// A refusal carries the layer's message; a change saved with a later failure ends with status 4.
int Finish(const TOutcome& out) {
    for (const std::string& note : out.Notes)
        std::cerr << "varnholt-cli: " << Cp1252ToUtf8(Flatten(note)) << "\n";
    if (out.Status == TStatus::Refused) Refuse(out.Message);
    if (out.Status == TStatus::Partial) {
        std::cerr << "varnholt-cli: " << Cp1252ToUtf8(Flatten(out.Message)) << "\n";
        return ExitPartial;
    }
    return 0;
}

struct TArgs {
    std::vector<std::string> positional;
    std::vector<int> rejects;
    std::optional<bool> rules;
    std::string op, comment;
    std::string pdf, from, to;
    std::string analyte, reason, action, reviewer;
    bool help = false;
    bool force = false;
};

const char* Usage =
    "usage: varnholt-cli [--home DIR] [--init] COMMAND [ARGS]\n"
    "commands:\n"
    "  analytes                          list the analytes (JSON)\n"
    "  limits ANALYTE                    statistics and limits in force (JSON)\n"
    "  points ANALYTE                    stored points (JSON)\n"
    "  judge ANALYTE DATE TIME V1 [V2 [V3]] [--reject K]... [--rules on|off]\n"
    "                                    classify a run and evaluate the rules (JSON)\n"
    "  add ANALYTE DATE TIME V1 [V2 [V3]] [--operator X] [--comment T] [--reject K]...\n"
    "                                    accept a run and write the data file\n"
    "  queue list | queue add ...        the held runs\n"
    "  import ANALYTE FILE               add the runs of an exchange text file\n"
    "  export ANALYTE                    print the exchange text\n"
    "  import-predecessor FILE           import a predecessor data or backup file\n"
    "  archive ANALYTE LEVEL             erase a level into a new archive file\n"
    "  backup DIR [--force] | restore DIR  back up the data to / restore it from DIR\n"
    "  report ANALYTE --pdf FILE [--from DATE] [--to DATE]\n"
    "                                    charts and data of an interval as one PDF\n"
    "  journal [--analyte A] [--from DATE] [--to DATE] | journal verify\n"
    "                                    the journal of changes (JSON), or check its chain\n"
    "  review sign ANALYTE --from DATE --to DATE --reviewer XX | review list\n"
    "                                    sign a period as reviewed (password on standard input)\n"
    "Writing commands take --operator X (who makes the change, written in the journal;\n"
    "the system user name cut to 4 characters by default) and --reason T (needed inside a\n"
    "signed review); add takes --action T, the corrective action of a run a rule rejects.\n"
    "Dates are ISO (2026-03-01), times HH:MM, values use a point; '-' is no value.\n"
    "Levels are numbered 1 to 3. --init makes a missing or empty folder a program folder\n"
    "(with the sample data of a first start) before a writing command.\n"
    "Exit status: 0 done, 2 refused (nothing changed), 3 folder in use,\n"
    "4 saved, but a later step failed (the message says which).\n";

const std::map<std::string, std::string> CommandHelp = {
    {"analytes", "varnholt-cli analytes\n  Prints {\"analytes\":[...]} in list order.\n"},
    {"limits",
     "varnholt-cli limits ANALYTE\n  Prints the statistics (AllStats) and limits in force of each level.\n"},
    {"points", "varnholt-cli points ANALYTE\n  Prints every stored point.\n"},
    {"judge", "varnholt-cli judge ANALYTE DATE TIME V1 [V2 [V3]] [--reject K]... [--rules on|off]\n"
              "  Classifies the run and evaluates the multirules as the validation window does;\n"
              "  stores nothing. --rules defaults to the analyte's own switch.\n"},
    {"add", "varnholt-cli add ANALYTE DATE TIME V1 [V2 [V3]] [--operator X] [--comment T] [--reject K]...\n"
            "  Accepts the run (rejected levels stored as discarded) and writes the data file.\n"},
    {"queue", "varnholt-cli queue list\nvarnholt-cli queue add ANALYTE DATE TIME V1 [V2 [V3]] [--operator X] "
              "[--comment T]\n  Lists the held runs, or holds a run for validation in the program.\n"},
    {"import", "varnholt-cli import ANALYTE FILE\n  Adds the runs of an exchange text file; the three level "
               "modes return to mobile limits.\n"},
    {"export", "varnholt-cli export ANALYTE\n  Prints the exchange text the program's export writes "
               "(Windows-1252, no final zero byte).\n"},
    {"import-predecessor", "varnholt-cli import-predecessor FILE\n  Appends the analytes of a predecessor "
                           "data (.dat) or backup (.sav) file.\n"},
    {"archive", "varnholt-cli archive ANALYTE LEVEL\n  Writes the level to a new archive file, erases it and "
                "prints the archive number.\n"},
    {"backup", "varnholt-cli backup DIR [--force]\n  Writes the backup Varnholt.Sav in DIR (the previous one "
               "kept as Varnholt.Old).\n  A backup holding more runs than the data is replaced only with "
               "--force.\n"},
    {"restore", "varnholt-cli restore DIR\n  Replaces the data by the backup Varnholt.Sav of DIR.\n"},
    {"report", "varnholt-cli report ANALYTE --pdf FILE [--from DATE] [--to DATE]\n  Prints the charts and "
               "the data table of the points from DATE to DATE (the first and last point's days by\n"
               "  default) into one PDF file, without a display.\n"},
    {"journal", "varnholt-cli journal [--analyte A] [--from DATE] [--to DATE]\n  Prints {\"entries\":[...]}: "
                "every change to the stored data, oldest first (dates of the changes, both included).\n"
                "varnholt-cli journal verify\n  Checks the hash chain: exit 0 when whole, 1 naming the first "
                "entry that does not match.\n"},
    {"review", "varnholt-cli review sign ANALYTE --from DATE --to DATE --reviewer XX\n  Signs the period as "
               "reviewed; the reviewer's password is read from standard input.\nvarnholt-cli review list\n"
               "  Prints {\"reviews\":[...]}.\n"},
};

TArgs ParseArgs(const std::vector<std::string>& args) {
    TArgs a;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) Refuse("missing value after " + s);
            return args[++i];
        };
        if (s == "--help" || s == "-h")
            a.help = true;
        else if (s == "--force")
            a.force = true;
        else if (s == "--reject") {
            std::string v = value();
            if (v.size() != 1 || v[0] < '1' || v[0] > '3') Refuse("level out of range: " + v + " (1 to 3)");
            a.rejects.push_back(v[0] - '1');
        } else if (s == "--rules") {
            std::string v = value();
            if (v != "on" && v != "off") Refuse("--rules takes on or off, not " + v);
            a.rules = v == "on";
        } else if (s == "--operator")
            a.op = Utf8ToCp1252(value());
        else if (s == "--comment")
            a.comment = Utf8ToCp1252(value());
        else if (s == "--analyte")
            a.analyte = value();
        else if (s == "--reason")
            a.reason = Utf8ToCp1252(value());
        else if (s == "--action")
            a.action = Utf8ToCp1252(value());
        else if (s == "--reviewer")
            a.reviewer = Utf8ToCp1252(value());
        else if (s == "--pdf")
            a.pdf = value();
        else if (s == "--from")
            a.from = value();
        else if (s == "--to")
            a.to = value();
        else if (s.size() > 2 && s.rfind("--", 0) == 0)
            Refuse("unknown option " + s);
        else
            a.positional.push_back(s);
    }
    return a;
}

TAnalyte& FindAnalyte(const std::string& utf8Name) {
    TAnalyte* a = ListAnalytes.FindByName(Utf8ToCp1252(utf8Name));
    if (!a) Refuse("unknown analyte: " + utf8Name);
    return *a;
}

TDateTime ParseIsoDateTime(const std::string& date, const std::string& time) {
    TRegional iso{"yyyy-MM-dd", "HH:mm:ss", '.'};
    auto d = iso.TextToDate(date);
    if (!d || date.size() != 10) Refuse("not an ISO date (YYYY-MM-DD): " + date);
    auto t = iso.TextToTime(time);
    if (!t) Refuse("not a time (HH:MM): " + time);
    return ComposeDateTime(*d, *t);
}

// The run of a judge, add or queue add command: ANALYTE DATE TIME V1 [V2 [V3]].
TResu RunFromArgs(const TArgs& a, const std::string& analyteName, size_t first) {
    if (a.positional.size() < first + 3) Refuse("expected DATE TIME and at least one value");
    if (a.positional.size() > first + 5) Refuse("at most three values");
    TResu r;
    r.AnalyteName = Utf8ToCp1252(analyteName);
    r.DateTime = ParseIsoDateTime(a.positional[first], a.positional[first + 1]);
    for (size_t k = first + 2; k < a.positional.size(); ++k) {
        const std::string& v = a.positional[k];
        int level = static_cast<int>(k - first - 2);
        if (v == "-") continue;
        long double x = 0;
        if (!ParseDecimal(v, '.', x) || std::fabs(x) > FLT_MAX)
            Refuse("level " + std::to_string(level + 1) + ": not a finite number: " + v);
        r.Levels[level] = {static_cast<float>(x), psInControl};
    }
    r.Operator = a.op;
    r.Comment = Trim(a.comment);
    return r;
}

void CheckRunFits(const TAnalyte& an, const TResu& r, const TArgs& a) {
    for (int i = an.NbLevels; i < MaxLevels; ++i)
        if (r.Levels[i].State != psEmpty)
            Refuse("level " + std::to_string(i + 1) + " is not in use for " + an.Name);
    bool any = false;
    for (int i = 0; i < an.NbLevels; ++i) any |= r.Levels[i].State != psEmpty;
    if (!any) Refuse("Enter data");
    for (int k : a.rejects)
        if (k >= an.NbLevels) Refuse("level out of range: " + std::to_string(k + 1));
}

void WriteLevelStats(TJsonWriter& j, const LevelStats& s) {
    j.BeginObject();
    j.Key("Mean").Real(s.Mean).Key("WarnDev").Real(s.WarnDev).Key("ActionDev").Real(s.ActionDev);
    j.Key("Min").Real(s.Min).Key("Max").Real(s.Max).Key("RangeLow").Real(s.RangeLow);
    j.Key("RangeHigh").Real(s.RangeHigh).Key("N").Int(s.N).Key("NDiscarded").Int(s.NDiscarded);
    j.Key("DF").Int(s.DF).Key("CV");
    if (s.State == 6)
        j.Null();
    else
        j.Real(s.CV);
    j.Key("State").Int(s.State);
    j.EndObject();
}

void WriteLevelValue(TJsonWriter& j, const LevelValue& v) {
    j.BeginObject().Key("Value");
    if (v.State == psEmpty)
        j.Text("-");
    else
        j.Real(v.Value);
    j.Key("State").Int(v.State).EndObject();
}

const char* RuleName(RuleStatus s) {
    switch (s) {
    case rsWarning:
        return "rsWarning";
    case rsReject:
        return "rsReject";
    default:
        return "rsClear";
    }
}

// ---------------------------------------------------------------- commands

int CmdAnalytes(const TArgs&) {
    TJsonWriter j;
    j.BeginObject().Key("analytes").BeginArray();
    for (const auto& p : ListAnalytes.Items) {
        const TAnalyte& a = *p;
        j.BeginObject().Key("Name").Text(a.Name).Key("Unit").Text(a.Unit).Key("Decimals").Int(a.Decimals);
        j.Key("NbLevels").Int(a.NbLevels).Key("Points").Int(a.Count()).Key("Options").Int(a.Options);
        j.Key("MaterialId").BeginArray();
        for (int id : a.MaterialId) j.Int(id);
        j.EndArray().Key("LimitMode").BeginArray();
        for (auto m : a.LimitMode) j.Int(m);
        j.EndArray().EndObject();
    }
    j.EndArray().EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

int CmdLimits(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: limits ANALYTE");
    const TAnalyte& an = FindAnalyte(a.positional[0]);
    TJsonWriter j;
    j.BeginObject().Key("Name").Text(an.Name).Key("levels").BeginArray();
    for (int i = 0; i < an.NbLevels; ++i) {
        j.BeginObject().Key("LimitMode").Int(an.LimitMode[i]).Key("LockFirst").Int(an.LockFirst[i]);
        j.Key("LockLast").Int(an.LockLast[i]).Key("AllStats");
        WriteLevelStats(j, an.AllStats[i]);
        j.Key("Limits");
        WriteLevelStats(j, an.Limits[i]);
        j.EndObject();
    }
    j.EndArray().EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

int CmdPoints(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: points ANALYTE");
    const TAnalyte& an = FindAnalyte(a.positional[0]);
    TJsonWriter j;
    j.BeginObject().Key("points").BeginArray();
    for (const ControlPoint& p : an.Points) {
        j.BeginObject().Key("DateTime").Real(p.DateTime).Key("Levels").BeginArray();
        for (int i = 0; i < an.NbLevels; ++i) WriteLevelValue(j, p.Levels[i]);
        j.EndArray().Key("CommentId").Int(p.CommentId).Key("Comment").Text(an.CommentText(p.CommentId));
        j.Key("Operator").Text(p.Operator.View()).EndObject();
    }
    j.EndArray().EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

int CmdJudge(const TArgs& a) {
    if (a.positional.empty()) Refuse("usage: judge ANALYTE DATE TIME V1 [V2 [V3]]");
    TAnalyte& an = FindAnalyte(a.positional[0]);
    TResu r = RunFromArgs(a, a.positional[0], 1);
    CheckRunFits(an, r, a);
    an.ClassifyRun(r.Levels);
    TRejectToggles rejected{};
    for (int k : a.rejects) rejected[k] = true;
    bool rules = a.rules.value_or(an.MultirulesOn());
    TMultiruleResult out = EvaluateMultirules(an, r, PreviousIndex(an, r.DateTime), rejected, rules);

    TJsonWriter j;
    j.BeginObject().Key("States").BeginArray();
    for (int i = 0; i < an.NbLevels; ++i) j.Int(r.Levels[i].State);
    j.EndArray().Key("TakesPart").BeginArray();
    for (int i = 0; i < an.NbLevels; ++i) j.Bool(out.TakesPart[i]);
    j.EndArray().Key("n").Int(out.N).Key("PerLevel").BeginArray();
    for (int i = 0; i < an.NbLevels; ++i) {
        if (!out.TakesPart[i]) {
            j.Null();
            continue;
        }
        j.BeginArray();
        for (int k = 0; k < RuleCount; ++k) j.Text(RuleName(out.Level[i][k]));
        j.EndArray();
    }
    j.EndArray().Key("Across").BeginObject();
    if (out.AcrossShown())
        for (int k = FirstAcrossRule; k < RuleCount; ++k)
            j.Key(std::to_string(k)).Text(RuleName(out.Across[k]));
    j.EndObject().Key("AcrossNames").BeginArray();
    for (int k = FirstAcrossRule; k < RuleCount; ++k) j.Text(out.AcrossNames()[k]);
    j.EndArray().EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

int CmdAdd(const TArgs& a) {
    if (a.positional.empty()) Refuse("usage: add ANALYTE DATE TIME V1 [V2 [V3]]");
    TAnalyte& an = FindAnalyte(a.positional[0]);
    TResu r = RunFromArgs(a, a.positional[0], 1);
    CheckRunFits(an, r, a);
    an.ClassifyRun(r.Levels);
    for (int k : a.rejects)
        if (r.Levels[k].State != psEmpty) r.Levels[k].State = psDiscarded;
    TRunNote note;
    note.CorrectiveAction = a.action;
    note.Reason = a.reason;
    return Finish(Operations().AcceptRun(an, r, nullptr, note));
}

int CmdQueue(const TArgs& a) {
    if (a.positional.empty()) Refuse("usage: queue list | queue add ANALYTE DATE TIME V1 [V2 [V3]]");
    if (a.positional[0] == "list") {
        TJsonWriter j;
        j.BeginObject().Key("queue").BeginArray();
        for (const TResu& r : Fifo.Entries()) {
            j.BeginObject().Key("AnalyteName").Text(r.AnalyteName).Key("DateTime").Real(r.DateTime);
            j.Key("Levels").BeginArray();
            for (const LevelValue& v : r.Levels) WriteLevelValue(j, v);
            j.EndArray().Key("Comment").Text(r.Comment).Key("Operator").Text(r.Operator).EndObject();
        }
        j.EndArray().EndObject();
        std::cout << j.Str() << "\n";
        return 0;
    }
    if (a.positional[0] != "add" || a.positional.size() < 2) Refuse("usage: queue list | queue add ...");
    TAnalyte& an = FindAnalyte(a.positional[1]);
    TResu r = RunFromArgs(a, a.positional[1], 2);
    r.AnalyteName = an.Name;
    CheckRunFits(an, r, a);
    an.ClassifyRun(r.Levels);
    return Finish(Operations().HoldRun(r));
}

int CmdImport(const TArgs& a) {
    if (a.positional.size() != 2) Refuse("usage: import ANALYTE FILE");
    TAnalyte& an = FindAnalyte(a.positional[0]);
    std::string text;
    try {
        text = ReadWholeFile(a.positional[1]);
    } catch (const EQcError& e) {
        Refuse(e.what());
    }
    TImportText parsed = ParseImportText(text, an.Decimals, an.NbLevels);
    // What was skipped, line by line, before what was done.
    for (const std::string& note : parsed.Notes) std::cerr << "varnholt-cli: " << Cp1252ToUtf8(note) << "\n";
    if (parsed.NotesLeftOut > 0)
        std::cerr << "varnholt-cli: " << parsed.NotesLeftOut << " more lines skipped\n";
    if (parsed.LinesRead == 0)
        Refuse("no readable line in " + a.positional[1] +
               (parsed.NothingRead.empty() ? "" : ": " + parsed.NothingRead));
    TImportCount count;
    int status = Finish(Operations().ImportRuns(an, parsed.Runs, &count, a.reason));
    std::cout << count.Added << "\n";
    return status;
}

int CmdExport(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: export ANALYTE");
    std::string text = FindAnalyte(a.positional[0]).PointsAsText();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int CmdImportPredecessor(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: import-predecessor FILE");
    int imported = 0;
    TOutcome out = Operations().ImportPredecessor(a.positional[0], &imported);
    if (!out.Reason.empty())
        out.Message += ": " + out.Reason + " (" + std::to_string(imported) + " analytes imported)";
    int status = Finish(out);
    std::cout << imported << "\n";
    return status;
}

int CmdArchive(const TArgs& a) {
    if (a.positional.size() != 2) Refuse("usage: archive ANALYTE LEVEL");
    TAnalyte& an = FindAnalyte(a.positional[0]);
    const std::string& l = a.positional[1];
    if (l.size() != 1 || l[0] < '1' || l[0] - '1' >= an.NbLevels)
        Refuse("level out of range: " + l + " (1 to " + std::to_string(an.NbLevels) + ")");
    std::array<bool, MaxLevels> levels{};
    levels[static_cast<size_t>(l[0] - '1')] = true;
    std::vector<int32_t> numbers;
    int status = Finish(Operations().EraseLevels(an, levels, &numbers, a.reason));
    for (int32_t n : numbers) std::cout << n << "\n";
    return status;
}

int CmdBackup(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: backup DIR [--force]");
    TBackupChoice choice;
    choice.ReplaceLarger = a.force;
    return Finish(Operations().Backup(a.positional[0], choice));
}

int CmdRestore(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: restore DIR");
    return Finish(Operations().Restore(a.positional[0]));
}

int CmdReport(const TArgs& a) {
    if (a.positional.size() != 1 || a.pdf.empty())
        Refuse("usage: report ANALYTE --pdf FILE [--from DATE] [--to DATE]");
    const TAnalyte& an = FindAnalyte(a.positional[0]);
    if (an.Count() == 0) Refuse("Nothing to print");
    TDateTime d1 = a.from.empty() ? an.Points.front().DateTime : ParseIsoDateTime(a.from, "00:00");
    TDateTime d2 = a.to.empty() ? an.Points.back().DateTime : ParseIsoDateTime(a.to, "00:00");
    int n = WriteReportPdf(a.pdf, an, d1, d2);
    TJsonWriter j;
    j.BeginObject().Key("pdf").Text(Utf8ToCp1252(a.pdf)).Key("points").Int(n).EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

std::optional<TDateTime> IsoDay(const std::string& text, const char* option) {
    if (text.empty()) return std::nullopt;
    auto d = IsoTextToDate(text);
    if (!d) Refuse(std::string(option) + ": not an ISO date (YYYY-MM-DD): " + text);
    return d;
}

int CmdJournal(const TArgs& a) {
    if (!a.positional.empty() && a.positional[0] == "verify") {
        if (a.positional.size() != 1) Refuse("usage: journal verify");
        TJournalCheck check = Operations().CheckJournal();
        if (!check.Whole) {
            std::cerr << "varnholt-cli: " << check.Message << "\n";
            return 1;
        }
        std::cout << "The journal is whole: " << check.Entries << (check.Entries == 1 ? " entry" : " entries")
                  << "\n";
        return 0;
    }
    if (!a.positional.empty())
        Refuse("usage: journal [--analyte A] [--from DATE] [--to DATE] | journal verify");
    TJournalFilter f;
    f.Analyte = a.analyte;
    f.From = IsoDay(a.from, "--from");
    f.To = IsoDay(a.to, "--to");
    TJsonWriter j;
    j.BeginObject().Key("entries").BeginArray();
    // The journal is UTF-8; the writer takes the program's Windows-1252, which every entry came from.
    for (const TJournalEntry& e : Operations().Journal(f)) {
        j.BeginObject().Key("id").Int(e.Id).Key("time").Text(e.TimeUtc).Key("operator");
        j.Text(Utf8ToCp1252(e.Operator))
            .Key("kind")
            .Text(e.Kind)
            .Key("analyte")
            .Text(Utf8ToCp1252(e.Analyte));
        j.Key("level");
        if (e.Level > 0)
            j.Int(e.Level);
        else
            j.Null();
        j.Key("point").Text(e.Point).Key("before").Text(Utf8ToCp1252(e.Before));
        j.Key("after").Text(Utf8ToCp1252(e.After)).Key("reason").Text(Utf8ToCp1252(e.Reason));
        j.Key("hash").Text(e.Hash).EndObject();
    }
    j.EndArray().EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

std::string IsoDayText(TDateTime d) {
    return JournalDateTime(d).substr(0, 10);
}

int CmdReview(const TArgs& a) {
    if (a.positional.empty())
        Refuse("usage: review sign ANALYTE --from DATE --to DATE --reviewer XX | review list");
    if (a.positional[0] == "list") {
        TJsonWriter j;
        j.BeginObject().Key("reviews").BeginArray();
        for (const TReview& r : Operations().Reviews(a.analyte.empty() ? "" : Utf8ToCp1252(a.analyte))) {
            j.BeginObject().Key("id").Int(r.Id).Key("analyte").Text(r.Analyte).Key("from").Text(
                IsoDayText(r.First));
            j.Key("to")
                .Text(IsoDayText(r.Last))
                .Key("reviewer")
                .Text(r.Reviewer)
                .Key("signed")
                .Text(r.SignedLocal);
            j.Key("reopened").Text(r.ReopenedUtc).Key("reason").Text(r.ReopenedReason).EndObject();
        }
        j.EndArray().EndObject();
        std::cout << j.Str() << "\n";
        return 0;
    }
    if (a.positional[0] != "sign" || a.positional.size() != 2 || a.from.empty() || a.to.empty() ||
        a.reviewer.empty())
        Refuse("usage: review sign ANALYTE --from DATE --to DATE --reviewer XX");
    const TAnalyte& an = FindAnalyte(a.positional[1]);
    std::string password;
    std::getline(std::cin, password);
    while (!password.empty() && (password.back() == '\r' || password.back() == '\n')) password.pop_back();
    return Finish(Operations().SignReview(an, *IsoDay(a.from, "--from"), *IsoDay(a.to, "--to"), a.reviewer,
                                          Utf8ToCp1252(password)));
}

struct TCommand {
    std::function<int(const TArgs&)> run;
    // Whether the command changes the folder: it then takes the lock and writes what it changed.
    std::function<bool(const TArgs&)> writes;
    // Whether it shows stored data, which a folder without a data file does not have.
    bool needsData = false;
    // Whether it reads the database (the journal, reviews).
    bool readsDatabase = false;
};

const auto Reads = [](const TArgs&) { return false; };
const auto Writes = [](const TArgs&) { return true; };

const std::map<std::string, TCommand> Commands = {
    {"analytes", {CmdAnalytes, Reads}},
    {"limits", {CmdLimits, Reads, true}},
    {"points", {CmdPoints, Reads, true}},
    {"judge", {CmdJudge, Reads}},
    {"add", {CmdAdd, Writes}},
    // Listing the held runs reads only: it works while the program runs.
    {"queue", {CmdQueue, [](const TArgs& a) { return a.positional.empty() || a.positional[0] != "list"; }}},
    {"import", {CmdImport, Writes}},
    {"export", {CmdExport, Reads, true}},
    {"import-predecessor", {CmdImportPredecessor, Writes}},
    {"archive", {CmdArchive, Writes}},
    {"backup", {CmdBackup, Writes}},
    {"restore", {CmdRestore, Writes}},
    {"report", {CmdReport, Reads, true, true}},
    {"journal", {CmdJournal, Reads, false, true}},
    {"review",
     {CmdReview, [](const TArgs& a) { return a.positional.empty() || a.positional[0] != "list"; }, false,
      true}},
};

// Opens the folder through the operations layer: writing commands take the lock; a missing folder, or a
// folder without the program's files, is refused unless --init makes it a program folder. A damaged or
// missing data file is refused rather than replaced, so that nothing on disk changes.
void OpenProgramFolder(const std::string& folder, bool writes, bool init, bool needsData,
                       bool readsDatabase) {
    TOpenOptions options;
    options.ReadDatabase = readsDatabase;
    options.CreateFolder = init;
    options.SampleOnFirstRun = init || !writes;
    TOpenReport report = Operations().Open(folder, writes ? TOpenMode::Writer : TOpenMode::Reader, options);
    if (!report.Opened) {
        if (report.FolderMissing)
            Refuse("the folder " + folder + " does not exist" +
                   (writes ? " (--init makes it a program folder)" : ""));
        Refuse(report.Message.empty() ? "Cannot open " + folder : report.Message,
               report.LockedElsewhere ? ExitLocked : ExitUsage);
    }
    for (const std::string& note : report.Notes)
        std::cerr << "varnholt-cli: " << Cp1252ToUtf8(Flatten(note)) << "\n";
    if (report.FirstRun && !init) {
        if (writes || needsData) {
            Operations().Close();
            Refuse("no Varnholt data in " + ProgramFolder +
                   (writes ? " (--init makes it a program folder)" : ""));
        }
        std::cerr << "varnholt-cli: no data file in " << ProgramFolder
                  << ": the sample data of a first start is shown\n";
    }
}

int Run(std::vector<std::string> args) {
    std::string home;
    bool init = false;
    while (!args.empty() && (args[0] == "--home" || args[0] == "--init")) {
        if (args[0] == "--init") {
            init = true;
            args.erase(args.begin());
            continue;
        }
        if (args.size() < 2) Refuse("missing value after --home");
        home = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << Usage;
        return args.empty() ? ExitUsage : 0;
    }
    auto it = Commands.find(args[0]);
    if (it == Commands.end()) Refuse("unknown command: " + args[0] + " (see --help)");
    TArgs a = ParseArgs(std::vector<std::string>(args.begin() + 1, args.end()));
    if (a.help) {
        std::cout << CommandHelp.at(args[0]);
        return 0;
    }
    const bool writes = it->second.writes(a);
    if (home.empty()) home = FindProgramFolder(ExecutableFolder());
    if (home.empty()) Refuse("no program folder: HOME is not set (give --home DIR or set VARNHOLT_HOME)");
    OpenProgramFolder(home, writes, init, it->second.needsData, it->second.readsDatabase);
    if (writes) Operations().SetOperator(a.op);
    int status = it->second.run(a);
    Operations().Close();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const ECliError& e) {
        std::cerr << "varnholt-cli: " << Cp1252ToUtf8(Flatten(e.message)) << "\n";
        return e.status;
    } catch (const EQcError& e) {
        std::cerr << "varnholt-cli: " << Cp1252ToUtf8(Flatten(e.what())) << "\n";
        return ExitUsage;
    }
}
