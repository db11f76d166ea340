#include "UCliAssessment.h"

#include <cmath>
#include <iostream>

#include "UAtomicFile.h"
#include "UCliJson.h"
#include "UCliShared.h"
#include "UCodePage.h"
#include "UOperations.h"
#include "UQcError.h"
#include "UUtilitaires.h"

const char* const UncertaintyHelp =
    "varnholt-cli uncertainty ANALYTE [--from DATE] [--to DATE] [--k K] [--bias none|target|eqa]\n"
    "                         [--target-u PCT] [--max-u PCT | --cvi PCT]\n"
    "  The measurement uncertainty of each level from its control values of the period (the six\n"
    "  months to today by default), archived lots included: per lot N, mean, SD and CV; u(Rw) pooled\n"
    "  over the lots, u(bias) from the source (none by default; target: the target's stated standard\n"
    "  uncertainty --target-u in percent; eqa: the EQA results of the period), u_c and U = k u_c\n"
    "  (k 2 by default), compared with the maximum allowable U: --max-u in percent, or k x 0.5 CVI\n"
    "  from --cvi. mu is the same command. A figure that is not available is null, its reason on\n"
    "  standard error.\n";

const char* const EqaHelp =
    "varnholt-cli eqa add SCHEME DISTRIBUTION SAMPLE DATE ANALYTE RESULT ASSIGNED SD PARTICIPANTS\n"
    "  Records one EQA result as typed, the fields in the order of the file's columns (DATE as\n"
    "  YYYY-MM-DD, numbers with a point), checked as a file's line is; prints {\"added\":1}.\n"
    "varnholt-cli eqa import FILE\n"
    "  Records the EQA results of a CSV file (columns scheme, distribution, sample, date, analyte,\n"
    "  result, assigned, sd, participants) and prints {\"imported\":N}. A file with a refused line\n"
    "  records nothing: each refused line and its reason is written on standard error.\n"
    "varnholt-cli eqa action SCHEME DISTRIBUTION SAMPLE ANALYTE TEXT\n"
    "  Journals the corrective action taken for an unacceptable result; prints {\"recorded\":1}.\n"
    "varnholt-cli eqa list [ANALYTE] | varnholt-cli eqa ANALYTE\n"
    "  The results kept, by date, with the z-score and its band (none with fewer than 5\n"
    "  participants), the relative bias and the latest corrective action (null when none) (JSON).\n";

namespace {

[[noreturn]] void Refuse(const std::string& message) {
    throw EQcError(message);
}

long double NumberOption(const std::optional<std::string>& v, const char* option, bool zeroAllowed) {
    long double x = 0;
    if (!ParseDecimal(*v, '.', x) || !InValueRange(x) || x < 0 || (!zeroAllowed && x == 0))
        Refuse(std::string("--") + option + " takes a number above zero" + (zeroAllowed ? " or zero" : "") +
               ", not " + *v);
    return x;
}

TDateTime IsoDay(const std::string& text, const char* option) {
    const std::optional<TDateTime> d = IsoTextToDate(text);
    if (!d) Refuse(std::string(option) + ": not an ISO date (YYYY-MM-DD): " + text);
    return *d;
}

std::string IsoDayText(TDateTime d) {
    return IsoRegional().DateToText(d);
}

void WriteEqa(TJsonWriter& j, const TEqaResult& r, const std::map<std::string, std::string>& actions) {
    const TEqaFigures f = EqaFigures(r);
    j.BeginObject().Key("Scheme").Text(r.Scheme).Key("Distribution").Text(r.Distribution);
    j.Key("Sample").Text(r.Sample).Key("Date").Text(IsoDayText(r.Date)).Key("Analyte").Text(r.Analyte);
    j.Key("Result").Real(r.Result).Key("Assigned").Real(r.Assigned).Key("SD").Real(r.Sd);
    j.Key("Participants").Int(r.Participants).Key("Z");
    Optional(j, f.Z);
    j.Key("Band").Text(EqaBandName(f.Band)).Key("BiasPct");
    Optional(j, f.BiasPct);
    j.Key("Action");
    if (const auto at = actions.find(EqaSampleKey(r)); at != actions.end())
        j.Text(at->second);
    else
        j.Null();
    j.EndObject();
}

} // namespace

int CliUncertainty(const TAssessmentArgs& a) {
    if (a.Positional.size() != 1)
        Refuse("usage: uncertainty ANALYTE [--from DATE] [--to DATE] [--k K] [--bias SOURCE] [--max-u PCT]");
    const TAnalyte& an = FindAnalyte(a.Positional[0]);
    TUncertaintyRequest r = DefaultUncertaintyRequest(Today());
    if (!a.To.empty()) r.To = IsoDay(a.To, "--to");
    if (!a.From.empty()) r.From = IsoDay(a.From, "--from");
    if (a.K) r.K = NumberOption(a.K, "k", false);
    if (a.Bias) {
        const std::optional<TBiasSource> source = BiasSourceOfName(*a.Bias);
        if (!source || *source == TBiasSource::Peer)
            Refuse("--bias takes none, target or eqa, not " + *a.Bias);
        r.BiasSource = *source;
    }
    if (a.TargetU) {
        if (r.BiasSource != TBiasSource::Target) Refuse("--target-u goes with --bias target");
        r.TargetUPct = NumberOption(a.TargetU, "target-u", true);
    }
    if (a.MaxU && a.Cvi) Refuse("give --max-u or --cvi, not both");
    if (a.MaxU) r.Goal.MaxUPct = NumberOption(a.MaxU, "max-u", false);
    if (a.Cvi) r.Goal.CviPct = NumberOption(a.Cvi, "cvi", false);

    std::vector<TLevelUncertainty> levels;
    const TOutcome out = Operations().Uncertainty(an, r, levels);
    Notes(out);
    if (!out.Ok()) Refuse(out.Message);
    TJsonWriter j;
    j.BeginObject().Key("Name").Text(an.Name).Key("From").Text(IsoDayText(r.From));
    j.Key("To").Text(IsoDayText(r.To)).Key("BiasSource").Text(BiasSourceName(r.BiasSource));
    j.Key("levels").BeginArray();
    for (const TLevelUncertainty& u : levels) {
        j.BeginObject().Key("Level").Int(u.Level + 1).Key("N").Int(u.N).Key("Lots").BeginArray();
        for (const TLotFigures& l : u.Lots) {
            j.BeginObject().Key("Material").Text(l.Material).Key("Lot").Text(l.Lot);
            j.Key("Current").Bool(l.Current).Key("N").Int(l.N).Key("Mean");
            Optional(j, l.Mean);
            j.Key("SD");
            Optional(j, l.SD);
            j.Key("CVPct");
            Optional(j, l.CVPct);
            j.Key("Pooled").Bool(l.Pooled).EndObject();
        }
        j.EndArray().Key("uRwPct");
        Optional(j, u.URwPct);
        j.Key("uBiasPct");
        Optional(j, u.UBiasPct);
        j.Key("ucPct");
        Optional(j, u.UcPct);
        j.Key("UPct");
        Optional(j, u.UPct);
        j.Key("k").Real(u.K).Key("MaxUPct");
        Optional(j, u.MaxUPct);
        j.Key("Meets");
        if (u.Meets)
            j.Bool(*u.Meets);
        else
            j.Null();
        j.EndObject();
        for (const std::string& note : u.Notes)
            std::cerr << "varnholt-cli: level " << u.Level + 1 << ": " << Cp1252ToUtf8(note) << "\n";
        if (!u.Gap.empty())
            std::cerr << "varnholt-cli: level " << u.Level + 1
                      << ": uncertainty not available: " << Cp1252ToUtf8(u.Gap) << "\n";
    }
    j.EndArray().EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

bool CliEqaWrites(const TAssessmentArgs& a) {
    return !a.Positional.empty() &&
           (a.Positional[0] == "import" || a.Positional[0] == "add" || a.Positional[0] == "action");
}

namespace {

// One typed result recorded as the one line of a file would be, with the same checks.
int AddEqa(const std::vector<std::string>& fields) {
    const TOutcome out = Operations().AddEqaResult(fields);
    if (!out.Ok()) Refuse(out.Message);
    TJsonWriter j;
    j.BeginObject().Key("added").Int(1).EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

} // namespace

int CliEqa(const TAssessmentArgs& a) {
    if (a.Positional.empty())
        Refuse("usage: eqa add ... | eqa import FILE | eqa list [ANALYTE] | eqa ANALYTE");
    if (a.Positional[0] == "add") {
        if (a.Positional.size() != 1 + EqaColumns().size())
            Refuse("usage: eqa add SCHEME DISTRIBUTION SAMPLE DATE ANALYTE RESULT ASSIGNED SD PARTICIPANTS");
        return AddEqa({a.Positional.begin() + 1, a.Positional.end()});
    }
    if (a.Positional[0] == "action") {
        if (a.Positional.size() != 6) Refuse("usage: eqa action SCHEME DISTRIBUTION SAMPLE ANALYTE TEXT");
        TEqaResult r;
        r.Scheme = Utf8ToCp1252(a.Positional[1]);
        r.Distribution = Utf8ToCp1252(a.Positional[2]);
        r.Sample = Utf8ToCp1252(a.Positional[3]);
        r.Analyte = FindAnalyte(a.Positional[4]).Name;
        const TOutcome out = Operations().RecordEqaAction(r, Utf8ToCp1252(a.Positional[5]));
        if (!out.Ok()) Refuse(out.Message);
        TJsonWriter j;
        j.BeginObject().Key("recorded").Int(1).EndObject();
        std::cout << j.Str() << "\n";
        return 0;
    }
    if (a.Positional[0] == "import") {
        if (a.Positional.size() != 2) Refuse("usage: eqa import FILE");
        const std::string text = ReadWholeFile(a.Positional[1]);
        int count = 0;
        // A refused file: each refused line on standard error, then the refusal.
        const TOutcome out = Operations().ImportEqa(text, &count);
        Notes(out);
        if (!out.Ok()) Refuse(out.Message);
        TJsonWriter j;
        j.BeginObject().Key("imported").Int(count).EndObject();
        std::cout << j.Str() << "\n";
        return 0;
    }
    std::string analyte;
    if (a.Positional[0] == "list") {
        if (a.Positional.size() > 2) Refuse("usage: eqa list [ANALYTE]");
        if (a.Positional.size() == 2) analyte = FindAnalyte(a.Positional[1]).Name;
    } else {
        if (a.Positional.size() != 1) Refuse("usage: eqa ANALYTE");
        analyte = FindAnalyte(a.Positional[0]).Name;
    }
    TJsonWriter j;
    j.BeginObject().Key("results").BeginArray();
    std::map<std::string, std::map<std::string, std::string>> actions; // by analyte
    for (const TEqaResult& r : Operations().EqaResults(analyte)) {
        auto [at, fresh] = actions.try_emplace(r.Analyte);
        if (fresh) at->second = Operations().EqaActions(r.Analyte);
        WriteEqa(j, r, at->second);
    }
    j.EndArray().EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}
