// The operations layer's patient-based QC: the patients' result streams in the database (value, time
// and instrument only), their mapping to analytes, the procedure per analyte and the retention.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "UOperations.h"

#include "UCodePage.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {

constexpr const char* RetentionKey = "pqc.retention_days";
constexpr int DefaultRetentionDays = 90;
// The source and test code of a history loaded by hand: one stream per analyte.
constexpr const char* ImportSource = "import";

std::string Number(double v) {
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    return std::string(buf, end);
}

// A procedure as the journal shows it: "ewma N 5 lambda 0.2, truncation 120..- winsorise, target 140,
// limits 138.5..141.5".
std::string ProcedureText(const TPqcSettings& s) {
    std::string text = std::string(PqcProcedureName(s.Procedure)) + " N " + std::to_string(s.N);
    if (s.Procedure == TPqcProcedure::Ewma) text += " lambda " + Number(s.Lambda);
    text += ", truncation " + (s.TruncLow ? Number(*s.TruncLow) : "-") + ".." +
            (s.TruncHigh ? Number(*s.TruncHigh) : "-") +
            (s.Truncation == TPqcTruncation::Winsorise ? " winsorise" : " exclude");
    return text + ", target " + Number(s.Target) + ", limits " + Number(s.Low) + ".." + Number(s.High);
}

} // namespace

void TOperations::CheckPatientQcWritable() {
    if (!store_->KeepsPatientQc())
        throw EQcError(QT_TRANSLATE_NOOP("Core", "Patient-based QC is kept only in a folder's database"));
    if (mode_ == TOpenMode::Reader)
        throw EQcError(
            QT_TRANSLATE_NOOP("Core", "Cannot write the patient-based QC: the folder is open for reading"));
    EnsureDatabase();
    if (!db_.IsOpen())
        throw EQcError(Fill(
            QT_TRANSLATE_NOOP("Core", "Patient-based QC cannot be kept: the database %1%2 is not available"),
            ProgramFolder, TDatabase::FileName));
}

bool TOperations::PatientQcReadable() const {
    // A database read for the companion may predate the part: it is read, never brought up to date.
    return store_->KeepsPatientQc() && db_.IsOpen() && db_.Version("patient_qc") > 0;
}

int TOperations::PatientRetentionDays() const {
    if (!PatientQcReadable()) return DefaultRetentionDays;
    const std::optional<std::string> v = db_.Meta(RetentionKey);
    long double days = 0;
    if (!v || !ParseDecimal(*v, '.', days) || days < 1 || days != std::floor(days))
        return DefaultRetentionDays;
    return static_cast<int>(days);
}

TOutcome TOperations::SetPatientRetentionDays(int days) {
    if (days < 1 || days > 36500)
        return TOutcome::Refuse(
            TranslatedText(QT_TRANSLATE_NOOP("Core", "The retention must be from 1 to 36500 days")));
    try {
        CheckPatientQcWritable();
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    const int before = PatientRetentionDays();
    return RecordInDatabase([&] {
        db_.SetMeta(RetentionKey, std::to_string(days));
        PurgePatientResults();
        Log(jk::PatientQcChanged, nullptr, 0, std::nullopt, "retention " + std::to_string(before) + " days",
            "retention " + std::to_string(days) + " days");
    });
}

TDateTime TOperations::PatientRetentionStart() const {
    // Whole days, so that a purge happens (and is journaled) about once a day, not at every reading.
    return Today() - PatientRetentionDays();
}

int TOperations::PurgePatientResults() {
    const TDateTime start = PatientRetentionStart();
    TStatement count = db_.Prepare(
        "SELECT analyte, count(*) FROM pqc_result WHERE time < ? GROUP BY analyte ORDER BY analyte");
    count.Bind(1, start);
    int total = 0;
    const std::string kept = "purged, " + std::to_string(PatientRetentionDays()) + " days kept";
    while (count.Step()) {
        const std::string name = count.Text(0);
        const int64_t n = count.Int(1);
        total += static_cast<int>(n);
        const TAnalyte* a = ListAnalytes.FindByName(name);
        Log(jk::PatientQcChanged, a, 0, std::nullopt,
            (a ? "" : name + ": ") + "patient results before " + IsoRegional().DateToText(start) + ": " +
                std::to_string(n),
            kept);
    }
    if (total == 0) return 0;
    TStatement st = db_.Prepare("DELETE FROM pqc_result WHERE time < ?");
    st.Bind(1, start);
    st.Step();
    return total;
}

void TOperations::PurgePatientResultsAtOpen(TOpenReport& report) {
    if (mode_ == TOpenMode::Reader || !PatientQcReadable()) return;
    if (TOutcome out = RecordInDatabase([this] { PurgePatientResults(); }); !out.Ok())
        report.Notes.push_back(out.Message);
}

std::vector<TPatientResult> TOperations::PatientStream(const TAnalyte& a) const {
    std::vector<TPatientResult> out;
    if (!PatientQcReadable()) return out;
    // What the retention has let go is no longer part of the stream, also before it is purged.
    TStatement st = db_.Prepare(
        "SELECT time, value, instrument FROM pqc_result WHERE analyte = ? AND time >= ? ORDER BY time, id");
    st.Bind(1, a.Name).Bind(2, PatientRetentionStart());
    while (st.Step()) out.push_back({st.Real(0), st.Real(1), st.Text(2)});
    return out;
}

TPqcRecordReport TOperations::PatientExcluded(const TAnalyte& a) const {
    TPqcRecordReport r;
    if (!PatientQcReadable()) return r;
    TStatement st = db_.Prepare("SELECT not_numeric, censored, flagged FROM pqc_excluded WHERE analyte = ?");
    st.Bind(1, a.Name);
    if (st.Step()) {
        r.NotNumeric = static_cast<int>(st.Int(0));
        r.Censored = static_cast<int>(st.Int(1));
        r.Flagged = static_cast<int>(st.Int(2));
    }
    return r;
}

TOutcome TOperations::MapPatientResults(const std::string& source, const std::string& code,
                                        const std::string& analyte) {
    const TAnalyte* a = ListAnalytes.FindByName(analyte);
    if (!a) return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "Unknown analyte: %1"), analyte));
    if (Trim(source).empty() || Trim(code).empty())
        return TOutcome::Refuse(TranslatedText(
            QT_TRANSLATE_NOOP("Core", "A patient result stream needs a source and a test code")));
    try {
        CheckPatientQcWritable();
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    const std::optional<std::string> before = PatientResultsAnalyte(source, code);
    if (before == a->Name) return {};
    const std::string stream = Trim(source) + " " + Trim(code);
    return RecordInDatabase([&] {
        TStatement st = db_.Prepare("INSERT INTO pqc_map(source, code, analyte) VALUES(?1, ?2, ?3) "
                                    "ON CONFLICT(source, code) DO UPDATE SET analyte = ?3");
        st.Bind(1, Trim(source)).Bind(2, Trim(code)).Bind(3, a->Name);
        st.Step();
        // The analyte's own hand-loaded stream is made with its first import, not by a person's choice.
        if (Trim(source) != ImportSource)
            Log(jk::PatientQcChanged, a, 0, std::nullopt,
                before ? "patient results " + stream + " of " + *before : "",
                "patient results " + stream + " mapped");
    });
}

TOutcome TOperations::UnmapPatientResults(const std::string& source, const std::string& code) {
    const std::optional<std::string> before = PatientResultsAnalyte(source, code);
    if (!before)
        return TOutcome::Refuse(Fill(
            QT_TRANSLATE_NOOP("Core", "No analyte is mapped to the patient results %1 %2"), source, code));
    try {
        CheckPatientQcWritable();
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    // The results already kept stay in the analyte's stream; no new ones join it.
    return RecordInDatabase([&] {
        TStatement st = db_.Prepare("DELETE FROM pqc_map WHERE source = ? AND code = ?");
        st.Bind(1, Trim(source)).Bind(2, Trim(code));
        st.Step();
        Log(jk::PatientQcChanged, ListAnalytes.FindByName(*before), 0, std::nullopt,
            "patient results " + Trim(source) + " " + Trim(code) + " mapped", "not mapped");
    });
}

std::vector<std::pair<std::string, std::string>> TOperations::PatientStreams(const TAnalyte& a) const {
    std::vector<std::pair<std::string, std::string>> out;
    if (!PatientQcReadable()) return out;
    TStatement st = db_.Prepare("SELECT source, code FROM pqc_map WHERE analyte = ? ORDER BY source, code");
    st.Bind(1, a.Name);
    while (st.Step()) out.emplace_back(st.Text(0), st.Text(1));
    return out;
}

std::optional<std::string> TOperations::PatientResultsAnalyte(const std::string& source,
                                                              const std::string& code) const {
    if (!PatientQcReadable()) return std::nullopt;
    TStatement st = db_.Prepare("SELECT analyte FROM pqc_map WHERE source = ? AND code = ?");
    st.Bind(1, Trim(source)).Bind(2, Trim(code));
    if (!st.Step()) return std::nullopt;
    return st.Text(0);
}

TOutcome TOperations::RecordPatientResults(const std::string& source, const std::string& code,
                                           const std::vector<TPatientReading>& readings,
                                           TPqcRecordReport* report) {
    TPqcRecordReport rep;
    if (report) *report = rep;
    const std::optional<std::string> name = PatientResultsAnalyte(source, code);
    const TAnalyte* a = name ? ListAnalytes.FindByName(*name) : nullptr;
    if (!a)
        return TOutcome::Refuse(Fill(
            QT_TRANSLATE_NOOP("Core", "No analyte is mapped to the patient results %1 %2"), source, code));
    const TPqcScreened screened = ScreenReadings(readings);
    rep.NotNumeric = screened.NotNumeric;
    rep.Censored = screened.Censored;
    rep.Flagged = screened.Flagged;
    // Entries another change staged for its file stay staged: only this recording's go with it.
    std::vector<TStaged> others = std::move(staged_);
    staged_.clear();
    struct TRestore {
        std::vector<TStaged>& Staged;
        std::vector<TStaged>& Others;
        ~TRestore() { Staged = std::move(Others); }
    } restore{staged_, others};
    try {
        CheckPatientQcWritable();
        TDatabase::TTransaction t(db_);
        // Only the value, its time and the instrument are kept: nothing that could name a patient.
        TStatement put =
            db_.Prepare("INSERT OR IGNORE INTO pqc_result(analyte, source, code, time, value, instrument) "
                        "VALUES(?, ?, ?, ?, ?, ?)");
        TStatement changes = db_.Prepare("SELECT changes()");
        std::optional<TDateTime> firstAdded;
        for (const TPatientResult& r : screened.Results) {
            put.Reset();
            put.Bind(1, a->Name).Bind(2, Trim(source)).Bind(3, Trim(code)).Bind(4, r.Time).Bind(5, r.Value);
            put.Bind(6, r.Instrument);
            put.Step();
            changes.Reset();
            changes.Step();
            if (changes.Int(0)) {
                ++rep.Added;
                firstAdded = std::min(firstAdded.value_or(r.Time), r.Time);
            } else
                ++rep.Duplicates;
        }
        TStatement count = db_.Prepare(
            "INSERT INTO pqc_excluded(analyte, not_numeric, censored, flagged) VALUES(?1, ?2, ?3, ?4) "
            "ON CONFLICT(analyte) DO UPDATE SET not_numeric = not_numeric + ?2, censored = censored + ?3, "
            "flagged = flagged + ?4");
        count.Bind(1, a->Name).Bind(2, static_cast<int64_t>(rep.NotNumeric));
        count.Bind(3, static_cast<int64_t>(rep.Censored)).Bind(4, static_cast<int64_t>(rep.Flagged));
        count.Step();
        rep.Purged = PurgePatientResults();
        if (firstAdded) rep.Alarms = JournalNewPatientQcAlarms(*a, *firstAdded);
        CompleteStaged();
        t.Commit();
    } catch (const EQcError& e) {
        staged_.clear();
        return TOutcome::FromError(e);
    }
    if (report) *report = rep;
    return {};
}

std::vector<TDateTime> TOperations::JournalNewPatientQcAlarms(const TAnalyte& a, TDateTime since) {
    std::vector<TDateTime> out;
    const std::optional<TPqcSettings> s = PatientQcProcedure(a);
    if (!s || !CheckPqcSettings(*s).empty()) return out;
    const TPqcRun run = RunPqc(*s, PatientStream(a));
    const int decimals = std::clamp(a.Decimals + 2, 0, 9);
    auto fixed = [decimals](double v) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
        return std::string(buf);
    };
    for (size_t k = 0; k < run.Points.size(); ++k) {
        const TPqcPoint& p = run.Points[k];
        if (p.InLimits || (k > 0 && !run.Points[k - 1].InLimits) || p.Time < since) continue;
        out.push_back(p.Time);
        Log(jk::PatientQcAlarm, &a, 0, p.Time, "",
            std::string(PqcProcedureName(s->Procedure)) + " statistic " + fixed(p.Statistic) + " outside " +
                Number(s->Low) + ".." + Number(s->High));
    }
    return out;
}

TOutcome TOperations::ImportPatientResults(const TAnalyte& a, const std::string& text,
                                           TPqcRecordReport* report) {
    if (report) *report = {};
    std::vector<TPatientReading> readings;
    try {
        readings = ParsePatientResultLines(text);
    } catch (const EQcError& e) {
        TOutcome out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "%1: nothing was imported"), out.Message);
        return out;
    }
    // The analyte's own stream of hand-loaded results.
    if (PatientResultsAnalyte(ImportSource, a.Name) != a.Name)
        if (TOutcome out = MapPatientResults(ImportSource, a.Name, a.Name); !out.Ok()) return out;
    return RecordPatientResults(ImportSource, a.Name, readings, report);
}

std::optional<TPqcSettings> TOperations::PatientQcProcedure(const TAnalyte& a) const {
    if (!PatientQcReadable()) return std::nullopt;
    TStatement st =
        db_.Prepare("SELECT procedure, n, lambda, trunc_low, trunc_high, truncation, target, low, "
                    "high FROM pqc_procedure WHERE analyte = ?");
    st.Bind(1, a.Name);
    if (!st.Step()) return std::nullopt;
    TPqcSettings s;
    const std::optional<TPqcProcedure> p = PqcProcedureByName(st.Text(0));
    if (!p) return std::nullopt; // written by a newer program: not used
    s.Procedure = *p;
    s.N = static_cast<int>(st.Int(1));
    s.Lambda = st.Real(2);
    if (!st.IsNull(3)) s.TruncLow = st.Real(3);
    if (!st.IsNull(4)) s.TruncHigh = st.Real(4);
    s.Truncation = st.Text(5) == "winsorise" ? TPqcTruncation::Winsorise : TPqcTruncation::Exclude;
    s.Target = st.Real(6);
    s.Low = st.Real(7);
    s.High = st.Real(8);
    return s;
}

TOutcome TOperations::SetPatientQcProcedure(const TAnalyte& a, const TPqcSettings& s) {
    if (const std::string why = CheckPqcSettings(s); !why.empty())
        return TOutcome::Refuse(a.Name + ": " + why);
    try {
        CheckPatientQcWritable();
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    const std::optional<TPqcSettings> before = PatientQcProcedure(a);
    return RecordInDatabase([&] {
        TStatement st =
            db_.Prepare("INSERT INTO pqc_procedure(analyte, procedure, n, lambda, trunc_low, trunc_high, "
                        "truncation, target, "
                        "low, high, changed_utc) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11) ON "
                        "CONFLICT(analyte) "
                        "DO UPDATE SET procedure = ?2, n = ?3, lambda = ?4, trunc_low = ?5, trunc_high = ?6, "
                        "truncation = ?7, target = ?8, low = ?9, high = ?10, changed_utc = ?11");
        st.Bind(1, a.Name).Bind(2, PqcProcedureName(s.Procedure)).Bind(3, static_cast<int64_t>(s.N));
        st.Bind(4, s.Lambda);
        if (s.TruncLow)
            st.Bind(5, *s.TruncLow);
        else
            st.BindNull(5);
        if (s.TruncHigh)
            st.Bind(6, *s.TruncHigh);
        else
            st.BindNull(6);
        st.Bind(7, s.Truncation == TPqcTruncation::Winsorise ? "winsorise" : "exclude");
        st.Bind(8, s.Target).Bind(9, s.Low).Bind(10, s.High).Bind(11, UtcTimeText());
        st.Step();
        Log(jk::PatientQcChanged, &a, 0, std::nullopt, before ? ProcedureText(*before) : "",
            ProcedureText(s));
    });
}

// ---------------------------------------------------------------- alarms and their acknowledgement

namespace {
// Alarms are matched to the second: the companion and the windows show them so.
constexpr double AlarmTolerance = 0.5 / 86400;
} // namespace

std::vector<TPqcAlarm> TOperations::PatientQcAcknowledgements(const TAnalyte& a) const {
    std::vector<TPqcAlarm> out;
    if (!PatientQcReadable() || db_.Version("pqc_ack") == 0) return out;
    TStatement st = db_.Prepare(
        "SELECT alarm, action, operator, acknowledged_utc FROM pqc_ack WHERE analyte = ? ORDER BY alarm");
    st.Bind(1, a.Name);
    while (st.Step())
        out.push_back({st.Real(0), true, Utf8ToCp1252(st.Text(1)), Utf8ToCp1252(st.Text(2)), st.Text(3)});
    return out;
}

std::vector<TPqcAlarm> TOperations::PatientQcAlarms(const TAnalyte& a) const {
    const std::optional<TPqcSettings> s = PatientQcProcedure(a);
    if (!s || !CheckPqcSettings(*s).empty()) return {};
    return PatientQcAlarms(a, *s, RunPqc(*s, PatientStream(a)));
}

std::vector<TPqcAlarm> TOperations::PatientQcAlarms(const TAnalyte& a, const TPqcSettings& s,
                                                    const TPqcRun& run) const {
    std::vector<TPqcAlarm> out;
    if (!CheckPqcSettings(s).empty()) return out;
    const std::vector<TPqcAlarm> acks = PatientQcAcknowledgements(a);
    for (TDateTime t : run.Alarms) {
        TPqcAlarm alarm{t, false, "", "", ""};
        for (const TPqcAlarm& k : acks)
            if (std::fabs(k.Time - t) < AlarmTolerance) {
                alarm = k;
                alarm.Time = t;
            }
        out.push_back(alarm);
    }
    return out;
}

std::vector<std::string> TOperations::PatientQcOpenAlarms() const {
    std::vector<std::string> out;
    if (!PatientQcReadable()) return out;
    for (const auto& a : ListAnalytes.Items) {
        const std::vector<TPqcAlarm> alarms = PatientQcAlarms(*a);
        if (std::any_of(alarms.begin(), alarms.end(), [](const TPqcAlarm& k) { return !k.Acknowledged; }))
            out.push_back(a->Name);
    }
    return out;
}

TOutcome TOperations::AcknowledgePatientQcAlarm(const TAnalyte& a, TDateTime alarm, const std::string& action,
                                                const std::string& op) {
    const std::string what = Trim(BlankControlChars(action));
    if (what.empty())
        return TOutcome::Refuse(TranslatedText(
            QT_TRANSLATE_NOOP("Core", "An alarm is acknowledged with the corrective action taken")));
    try {
        CheckPatientQcWritable();
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    const std::vector<TPqcAlarm> alarms = PatientQcAlarms(a);
    const auto found = std::find_if(alarms.begin(), alarms.end(), [&](const TPqcAlarm& k) {
        return std::fabs(k.Time - alarm) < AlarmTolerance;
    });
    if (found == alarms.end())
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "%1 has no patient-based QC alarm at %2"),
                                     a.Name, IsoRegional().DateTimeToText(alarm)));
    if (found->Acknowledged)
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "The alarm of %1 at %2 was acknowledged already"), a.Name,
                 IsoRegional().DateTimeToText(alarm)));
    const std::string who =
        Trim(BlankControlChars(op)).empty() ? operator_ : Trim(BlankControlChars(op)).substr(0, 4);
    return RecordInDatabase([&] {
        TStatement st = db_.Prepare(
            "INSERT INTO pqc_ack(analyte, alarm, action, operator, acknowledged_utc) VALUES(?, ?, ?, ?, ?)");
        st.Bind(1, a.Name).Bind(2, found->Time).Bind(3, Cp1252ToUtf8(what)).Bind(4, Cp1252ToUtf8(who));
        st.Bind(5, UtcTimeText());
        st.Step();
        Log(jk::PatientQcAcknowledged, &a, 0, found->Time, "alarm open", "acknowledged", what, who);
    });
}

// ---------------------------------------------------------------- analytes renamed and deleted

void TOperations::CarryPatientQc(const std::vector<std::pair<std::string, const TAnalyte*>>& kept,
                                 const std::vector<std::string>& deleted, TOutcome& out) {
    if (mode_ == TOpenMode::Reader || !PatientQcReadable()) return;
    std::vector<const char*> tables = {"pqc_map", "pqc_result", "pqc_excluded", "pqc_procedure"};
    if (db_.Version("pqc_ack") > 0) tables.push_back("pqc_ack");
    auto same = [](const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); };
    auto rows = [this](const char* sql, const std::string& name) {
        TStatement st = db_.Prepare(sql);
        st.Bind(1, name);
        return st.Step() ? st.Int(0) : 0;
    };
    // Every row of an analyte, and the test code of its own hand-loaded stream, to another name.
    auto carry = [&](const std::string& from, const std::string& to) {
        for (const char* table : tables) {
            TStatement st = db_.Prepare("UPDATE OR REPLACE " + std::string(table) +
                                        " SET analyte = ?1 WHERE analyte = ?2");
            st.Bind(1, to).Bind(2, from);
            st.Step();
        }
        for (const char* table : {"pqc_map", "pqc_result"}) {
            TStatement st = db_.Prepare("UPDATE OR REPLACE " + std::string(table) +
                                        " SET code = ?1 WHERE source = ?3 AND code = ?2");
            st.Bind(1, to).Bind(2, from).Bind(3, ImportSource);
            st.Step();
        }
    };
    TOutcome carried = RecordInDatabase([&] {
        // A deleted analyte's patients' results go with it (a later analyte of its name starts afresh),
        // unless another analyte keeps that very name.
        for (const std::string& name : deleted) {
            if (std::any_of(kept.begin(), kept.end(),
                            [&](const auto& k) { return same(k.first, name) && same(k.second->Name, name); }))
                continue;
            const int64_t results = rows("SELECT count(*) FROM pqc_result WHERE analyte = ?", name);
            const int64_t maps = rows("SELECT count(*) FROM pqc_map WHERE analyte = ?", name);
            const int64_t procedures = rows("SELECT count(*) FROM pqc_procedure WHERE analyte = ?", name);
            if (results == 0 && maps == 0 && procedures == 0) continue;
            for (const char* table : tables) {
                TStatement st = db_.Prepare("DELETE FROM " + std::string(table) + " WHERE analyte = ?");
                st.Bind(1, name);
                st.Step();
            }
            Log(jk::PatientQcChanged, nullptr, 0, std::nullopt,
                name + ": " + std::to_string(results) + " patient results, " + std::to_string(maps) +
                    " streams mapped, " + (procedures ? "a procedure" : "no procedure"),
                "removed with the analyte");
        }
        // Through names no analyte can have, so that names swapped in one edit keep their own data.
        std::vector<std::pair<std::string, const TAnalyte*>> moving;
        for (const auto& [former, a] : kept)
            if (former != a->Name) {
                moving.emplace_back("\x1f" + std::to_string(moving.size()), a);
                carry(former, moving.back().first);
            }
        for (const auto& [through, a] : moving) carry(through, a->Name);
    });
    if (carried.Ok()) return;
    out.Status = TStatus::Partial;
    out.Message += (out.Message.empty() ? "" : "\r");
    out.Message += Fill(QT_TRANSLATE_NOOP("Core", "The analytes were saved, but their patient-based QC was "
                                                  "not carried over:\r%1"),
                        carried.Message);
}
