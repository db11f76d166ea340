// varnholt-cli pbrtqc: patient-based QC from the command line, through the operations layer.
#include "UCliPbrtqc.h"

#include <cmath>
#include <cstdlib>

#include "UAtomicFile.h"
#include "UCliJson.h"
#include "UCodePage.h"
#include "UQcError.h"
#include "UUtilitaires.h"

const char* PbrtqcUsage =
    "usage: pbrtqc map SOURCE CODE ANALYTE | pbrtqc unmap SOURCE CODE | pbrtqc import ANALYTE FILE | "
    "pbrtqc set ANALYTE [--procedure ma|mm|ewma] [--n N] "
    "[--lambda L] [--truncate LOW HIGH] [--truncation exclude|winsorise] [--limits LOW "
    "HIGH] | pbrtqc retention [DAYS] | pbrtqc ack ANALYTE DATETIME ACTION | pbrtqc ANALYTE "
    "[--simulate BIAS_PCT [--runs R] [--seed S]]";

const char* PbrtqcHelp =
    "varnholt-cli pbrtqc map SOURCE CODE ANALYTE\n"
    "  The patients' results of the inbox source SOURCE (its folder's name, \"default\" for the inbox\n"
    "  folder itself) and test code CODE feed the analyte's stream from now on: value, time and\n"
    "  instrument only. Journaled. Prints the analyte's streams.\n"
    "varnholt-cli pbrtqc unmap SOURCE CODE\n"
    "  That source and code feed no stream any more; the results kept stay in their analyte's stream.\n"
    "varnholt-cli pbrtqc import ANALYTE FILE\n"
    "  Adds the patients' results of FILE (lines YYYY-MM-DD HH:MM:SS<TAB>value; further fields are\n"
    "  ignored and never kept) to the analyte's stream. Non-numeric and censored values (\"<0.5\",\n"
    "  \">500\") are left out and counted; results older than the retention are purged. A line whose\n"
    "  date-time cannot be read imports nothing. Prints {\"Added\":N,...,\"Alarms\":[...]}: the alarms\n"
    "  of the analyte's procedure that the added results raised.\n"
    "varnholt-cli pbrtqc set ANALYTE [--procedure ma|mm|ewma] [--n N] [--lambda L]\n"
    "                    [--truncate LOW HIGH] [--truncation exclude|winsorise] [--limits LOW HIGH]\n"
    "  Sets the analyte's procedure: moving average, moving median or EWMA (lambda, 0.1 by default),\n"
    "  the window N (for the EWMA the results taken before it is judged), the truncation limits and\n"
    "  what becomes of values outside them (left out by default), and the control limits. Settings not\n"
    "  given are kept; truncation limits never set are proposed (the 1st and 99th percentiles of the\n"
    "  analyte's stream), and the control limits are proposed anew from the stream (the mean +/- 3 SD\n"
    "  of the statistic) unless --limits gives them.\n"
    "varnholt-cli pbrtqc retention [DAYS]\n"
    "  Shows or sets how many days patients' results are kept (90 by default).\n"
    "varnholt-cli pbrtqc ack ANALYTE DATETIME ACTION [--operator X]\n"
    "  Acknowledges the alarm at DATETIME (YYYY-MM-DDTHH:MM:SS, as Alarms lists it) with the corrective\n"
    "  action taken; it is then no longer open. Journaled.\n"
    "varnholt-cli pbrtqc ANALYTE\n"
    "  Runs the procedure over the stream: prints Procedure, N, Statistic (the latest), Low, High,\n"
    "  Alarm (the statistic is outside its limits now), Alarms (the date-times it left them) and\n"
    "  Acknowledged (the alarms acknowledged: Alarm, Action, Operator, Time).\n"
    "varnholt-cli pbrtqc ANALYTE --simulate BIAS_PCT [--runs R] [--seed S]\n"
    "  Introduces a bias of BIAS_PCT percent at R random points of the stream (1000, seed 1 by\n"
    "  default) and prints the false alarms per 1,000 results, the average number of results affected\n"
    "  before the alarm (ANPed) and its 95th percentile (ANPed95); the same seed gives the same figures.\n";

namespace {

[[noreturn]] void Fail(const std::string& message) {
    throw EQcError(message);
}

double Number(const std::string& text, const std::string& what) {
    long double v = 0;
    if (!ParseDecimal(text, '.', v) || !InValueRange(v)) Fail(what + ": not a number: " + text);
    return static_cast<double>(v);
}

long long Whole(const std::string& text, const std::string& what, long long low, long long high) {
    long double v = 0;
    if (!ParseDecimal(text, '.', v) || v != std::floor(v) || v < low || v > high)
        Fail(what + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
             ", not " + text);
    return static_cast<long long>(v);
}

const TAnalyte& Analyte(const std::string& utf8Name) {
    const TAnalyte* a = ListAnalytes.FindByName(Utf8ToCp1252(utf8Name));
    if (!a) Fail("unknown analyte: " + Utf8ToCp1252(utf8Name));
    return *a;
}

void WriteProcedure(TJsonWriter& j, const TPqcSettings& s) {
    j.Key("Procedure").Text(PqcProcedureName(s.Procedure)).Key("N").Int(s.N).Key("Lambda");
    if (s.Procedure == TPqcProcedure::Ewma)
        j.Real(s.Lambda);
    else
        j.Null();
    j.Key("TruncateLow");
    s.TruncLow ? j.Real(*s.TruncLow) : j.Null();
    j.Key("TruncateHigh");
    s.TruncHigh ? j.Real(*s.TruncHigh) : j.Null();
    j.Key("Truncation").Text(s.Truncation == TPqcTruncation::Winsorise ? "winsorise" : "exclude");
    j.Key("Target").Real(s.Target).Key("Low").Real(s.Low).Key("High").Real(s.High);
}

TPbrtqcResult Import(const TPbrtqcArgs& a) {
    if (a.Positional.size() != 3) Fail(PbrtqcUsage);
    const TAnalyte& an = Analyte(a.Positional[1]);
    std::string text;
    try {
        text = ReadWholeFile(a.Positional[2]);
    } catch (const EQcError& e) {
        Fail(e.what());
    }
    TPqcRecordReport r;
    TPbrtqcResult out{Operations().ImportPatientResults(an, text, &r), ""};
    TJsonWriter j;
    j.BeginObject()
        .Key("Analyte")
        .Text(an.Name)
        .Key("Added")
        .Int(r.Added)
        .Key("Duplicates")
        .Int(r.Duplicates);
    j.Key("NotNumeric").Int(r.NotNumeric).Key("Censored").Int(r.Censored).Key("Flagged").Int(r.Flagged);
    j.Key("Purged").Int(r.Purged).Key("Results").Int(
        static_cast<long long>(Operations().PatientStream(an).size()));
    // The alarms the added results raised (journaled), as `pbrtqc ANALYTE` lists them.
    j.Key("Alarms").BeginArray();
    for (TDateTime t : r.Alarms) j.DateTime(t);
    j.EndArray();
    j.EndObject();
    out.Json = j.Str();
    return out;
}

std::string Code(const std::string& utf8, const char* what) {
    if (const std::optional<std::string> bad = FirstUnencodable(utf8))
        Fail(std::string(what) + ": the character " + *bad + " cannot be stored (Windows-1252 text)");
    return Utf8ToCp1252(utf8);
}

void WriteStreams(TJsonWriter& j, const TAnalyte& an) {
    j.Key("Streams").BeginArray();
    for (const auto& [source, code] : Operations().PatientStreams(an))
        j.BeginObject().Key("Source").Text(source).Key("Code").Text(code).EndObject();
    j.EndArray();
}

TPbrtqcResult Map(const TPbrtqcArgs& a) {
    if (a.Positional.size() != 4) Fail(PbrtqcUsage);
    const std::string source = Code(a.Positional[1], "SOURCE"), code = Code(a.Positional[2], "CODE");
    const TAnalyte& an = Analyte(a.Positional[3]);
    TPbrtqcResult out{Operations().MapPatientResults(source, code, an.Name), ""};
    TJsonWriter j;
    j.BeginObject().Key("Analyte").Text(an.Name);
    WriteStreams(j, an);
    j.EndObject();
    out.Json = j.Str();
    return out;
}

TPbrtqcResult Unmap(const TPbrtqcArgs& a) {
    if (a.Positional.size() != 3) Fail(PbrtqcUsage);
    const std::string source = Code(a.Positional[1], "SOURCE"), code = Code(a.Positional[2], "CODE");
    const std::optional<std::string> was = Operations().PatientResultsAnalyte(source, code);
    TPbrtqcResult out{Operations().UnmapPatientResults(source, code), ""};
    TJsonWriter j;
    j.BeginObject().Key("Source").Text(source).Key("Code").Text(code).Key("Analyte");
    was ? j.Text(*was) : j.Null();
    j.EndObject();
    out.Json = j.Str();
    return out;
}

TPbrtqcResult Set(const TPbrtqcArgs& a) {
    if (a.Positional.size() != 2) Fail(PbrtqcUsage);
    const TAnalyte& an = Analyte(a.Positional[1]);
    TPqcSettings s = Operations().PatientQcProcedure(an).value_or(TPqcSettings{});
    if (a.Procedure) {
        const std::optional<TPqcProcedure> p = PqcProcedureByName(*a.Procedure);
        if (!p) Fail("--procedure takes ma, mm or ewma, not " + *a.Procedure);
        s.Procedure = *p;
    }
    if (a.N) s.N = static_cast<int>(Whole(*a.N, "--n", 1, 10000));
    if (a.Lambda) s.Lambda = Number(*a.Lambda, "--lambda");
    if (a.Truncation) {
        if (*a.Truncation != "exclude" && *a.Truncation != "winsorise")
            Fail("--truncation takes exclude or winsorise, not " + *a.Truncation);
        s.Truncation = *a.Truncation == "winsorise" ? TPqcTruncation::Winsorise : TPqcTruncation::Exclude;
    }
    if (a.Truncate) {
        s.TruncLow = Number(a.Truncate->first, "--truncate");
        s.TruncHigh = Number(a.Truncate->second, "--truncate");
    }
    // The limits given, or proposed from the stream for the procedure as it is now.
    const TPqcProposal proposal = ProposePqc(s, Operations().PatientStream(an));
    if (a.Limits) {
        s.Low = Number(a.Limits->first, "--limits");
        s.High = Number(a.Limits->second, "--limits");
        s.Target = proposal.Ok ? proposal.Mean : (s.Low + s.High) / 2;
        if (!a.Truncate && proposal.Ok) {
            s.TruncLow = proposal.Settings.TruncLow;
            s.TruncHigh = proposal.Settings.TruncHigh;
        }
    } else {
        if (!proposal.Ok) Fail(an.Name + ": " + proposal.Message + " (give --limits LOW HIGH)");
        s = proposal.Settings;
    }
    TPbrtqcResult out{Operations().SetPatientQcProcedure(an, s), ""};
    TJsonWriter j;
    j.BeginObject().Key("Analyte").Text(an.Name);
    WriteProcedure(j, Operations().PatientQcProcedure(an).value_or(s));
    j.EndObject();
    out.Json = j.Str();
    return out;
}

TPbrtqcResult Retention(const TPbrtqcArgs& a) {
    if (a.Positional.size() > 2) Fail(PbrtqcUsage);
    TPbrtqcResult out;
    if (a.Positional.size() == 2)
        out.Outcome = Operations().SetPatientRetentionDays(
            static_cast<int>(Whole(a.Positional[1], "retention", 1, 36500)));
    TJsonWriter j;
    j.BeginObject().Key("RetentionDays").Int(Operations().PatientRetentionDays()).EndObject();
    out.Json = j.Str();
    return out;
}

// "YYYY-MM-DDTHH:MM:SS" as the alarms are listed, or with a blank for the T.
TDateTime AlarmTime(const std::string& text) {
    const std::string t = Trim(text);
    const std::optional<TDateTime> day = t.size() == 19 && (t[10] == 'T' || t[10] == ' ')
                                             ? IsoTextToDate(std::string_view(t).substr(0, 10))
                                             : std::nullopt;
    const std::optional<TDateTime> time = day ? IsoRegional().TextToTime(t.substr(11)) : std::nullopt;
    if (!time) Fail("the alarm's date-time is YYYY-MM-DDTHH:MM:SS, not " + text);
    return ComposeDateTime(*day, *time);
}

TPbrtqcResult Acknowledge(const TPbrtqcArgs& a) {
    if (a.Positional.size() != 4) Fail(PbrtqcUsage);
    const TAnalyte& an = Analyte(a.Positional[1]);
    const TDateTime at = AlarmTime(a.Positional[2]);
    if (const std::optional<std::string> bad = FirstUnencodable(a.Positional[3]))
        Fail("ACTION: the character " + *bad + " cannot be stored (Windows-1252 text)");
    TPbrtqcResult out{Operations().AcknowledgePatientQcAlarm(an, at, Utf8ToCp1252(a.Positional[3])), ""};
    TJsonWriter j;
    j.BeginObject().Key("Analyte").Text(an.Name).Key("Alarm").DateTime(at).EndObject();
    out.Json = j.Str();
    return out;
}

TPbrtqcResult Show(const TPbrtqcArgs& a) {
    if (a.Positional.size() != 1) Fail(PbrtqcUsage);
    const TAnalyte& an = Analyte(a.Positional[0]);
    const std::optional<TPqcSettings> s = Operations().PatientQcProcedure(an);
    if (!s) Fail("no patient-based QC procedure for " + an.Name + " (pbrtqc set " + an.Name + " ...)");
    const std::vector<TPatientResult> stream = Operations().PatientStream(an);
    TJsonWriter j;
    j.BeginObject().Key("Analyte").Text(an.Name);
    if (a.Simulate) {
        const double bias = Number(*a.Simulate, "--simulate");
        const int runs = a.Runs ? static_cast<int>(Whole(*a.Runs, "--runs", 1, 100000)) : 1000;
        const uint64_t seed =
            a.Seed ? static_cast<uint64_t>(Whole(*a.Seed, "--seed", 0, 9007199254740991LL)) : 1;
        const TPqcSimulation sim = SimulatePqc(*s, stream, {bias, true}, runs, seed);
        j.Key("Procedure").Text(PqcProcedureName(s->Procedure)).Key("N").Int(s->N).Key("BiasPct").Real(bias);
        j.Key("Results").Int(static_cast<long long>(stream.size())).Key("Runs").Int(sim.Runs);
        j.Key("Seed")
            .Int(static_cast<long long>(sim.Seed))
            .Key("FalseAlarmsPer1000")
            .Real(sim.FalseAlarmsPer1000);
        j.Key("ANPed").Real(sim.ANPed).Key("ANPed95").Real(sim.ANPed95).Key("Undetected").Int(sim.Undetected);
        j.EndObject();
        return {{}, j.Str()};
    }
    if (a.Runs || a.Seed) Fail("--runs and --seed go with --simulate");
    const TPqcRun run = RunPqc(*s, stream);
    WriteProcedure(j, *s);
    WriteStreams(j, an);
    j.Key("Statistic");
    run.Points.empty() ? j.Null() : j.Real(run.Points.back().Statistic);
    j.Key("Alarm").Bool(run.Alarm()).Key("Alarms").BeginArray();
    for (TDateTime t : run.Alarms) j.DateTime(t);
    j.EndArray().Key("Acknowledged").BeginArray();
    for (const TPqcAlarm& k : Operations().PatientQcAcknowledgements(an)) {
        j.BeginObject().Key("Alarm").DateTime(k.Time).Key("Action").Text(k.Action);
        j.Key("Operator").Text(k.Operator).Key("Time").DateTimeText(k.AcknowledgedUtc).EndObject();
    }
    j.EndArray();
    const TPqcRecordReport excluded = Operations().PatientExcluded(an);
    j.Key("Results").Int(static_cast<long long>(stream.size())).Key("Truncated").Int(run.Truncated);
    j.Key("NotNumeric").Int(excluded.NotNumeric).Key("Censored").Int(excluded.Censored);
    j.Key("Flagged").Int(excluded.Flagged).EndObject();
    return {{}, j.Str()};
}

} // namespace

bool PbrtqcWrites(const std::vector<std::string>& positional) {
    if (positional.empty()) return false;
    const std::string& what = positional[0];
    return what == "import" || what == "set" || what == "ack" || what == "map" || what == "unmap" ||
           (what == "retention" && positional.size() > 1);
}

TPbrtqcResult RunPbrtqc(const TPbrtqcArgs& a) {
    if (a.Positional.empty()) Fail(PbrtqcUsage);
    const std::string& what = a.Positional[0];
    const bool set = what == "set";
    if (!set && (a.Procedure || a.N || a.Lambda || a.Truncation || a.Truncate || a.Limits))
        Fail("--procedure, --n, --lambda, --truncate, --truncation and --limits go with pbrtqc set");
    if (what != "import" && !set && what != "retention" && what != "ack" && what != "map" && what != "unmap")
        return Show(a);
    if (a.Simulate || a.Runs || a.Seed) Fail("--simulate, --runs and --seed go with pbrtqc ANALYTE");
    if (what == "import") return Import(a);
    if (set) return Set(a);
    if (what == "ack") return Acknowledge(a);
    if (what == "map") return Map(a);
    if (what == "unmap") return Unmap(a);
    return Retention(a);
}
