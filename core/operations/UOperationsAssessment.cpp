// The operations layer's measurement uncertainty and EQA results: the lots of a level gathered from its
// points and archives, and the EQA results the store keeps (the folder's over its database here).
#include <algorithm>
#include <cmath>
#include <map>

#include "UOperations.h"
#include "UOperationsStores.h"

#include "UCodePage.h"
#include "UJournal.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {

bool InPeriod(TDateTime dt, const TUncertaintyRequest& r) {
    const TDateTime day = DatePart(dt);
    return day >= r.From && day <= r.To;
}

// The lots of a level, in the order their values first come (archives oldest first, then the level as
// it stands); values of the same material and lot go together.
class TLotGathering {
public:
    TLotValues& Of(const std::string& material, const std::string& lot, bool current) {
        const std::string key = UpperCase(material) + '\t' + UpperCase(lot);
        auto [at, fresh] = index_.emplace(key, lots_.size());
        if (fresh) lots_.push_back({material, lot, current, {}});
        TLotValues& l = lots_[at->second];
        l.Current = l.Current || current;
        return l;
    }
    const std::vector<TLotValues>& Lots() const { return lots_; }

private:
    std::map<std::string, size_t> index_;
    std::vector<TLotValues> lots_;
};

constexpr const char* SelectEqa =
    "SELECT scheme, distribution, sample, day, analyte, result, assigned, sd, participants FROM eqa_result";

TEqaResult EqaOfRow(const TStatement& st) {
    TEqaResult r;
    r.Scheme = st.Text(0);
    r.Distribution = st.Text(1);
    r.Sample = st.Text(2);
    r.Date = st.Real(3);
    r.Analyte = st.Text(4);
    r.Result = st.Real(5);
    r.Assigned = st.Real(6);
    r.Sd = st.Real(7);
    r.Participants = static_cast<int>(st.Int(8));
    return r;
}

std::string IsoDateText(TDateTime day) {
    return IsoRegional().DateToText(day);
}

// A figure as the journal shows it: no trailing zeros.
std::string Number(long double v) {
    std::string t = FormatFixed(v, 15, 6, '.');
    if (t.find('.') != std::string::npos) {
        while (t.back() == '0') t.pop_back();
        if (t.back() == '.') t.pop_back();
    }
    return t;
}

} // namespace

TOutcome TOperations::Uncertainty(const TAnalyte& a, const TUncertaintyRequest& request,
                                  std::vector<TLevelUncertainty>& levels) const {
    levels.clear();
    if (!(request.K > 0) || !std::isfinite(static_cast<double>(request.K)))
        return TOutcome::Refuse(
            TranslatedText(QT_TRANSLATE_NOOP("Core", "The coverage factor must be above zero")));
    if (request.To < request.From)
        return TOutcome::Refuse(
            TranslatedText(QT_TRANSLATE_NOOP("Core", "The period ends before it starts")));
    const int nbLevels = std::clamp(a.NbLevels, 0, MaxLevels);
    std::vector<TLotGathering> gathered(static_cast<size_t>(nbLevels));
    TOutcome out;
    try {
        // Archives first, oldest first: each goes to the one level whose material bears its material's name.
        for (int32_t number : a.ArchiveNumbers) {
            const TArchiveFile head = ReadArchive(number, TArchiveParts::Head);
            const std::optional<TDateTime> first = Regional.TextToDate(head.Summary[0]);
            const std::optional<TDateTime> last = Regional.TextToDate(head.Summary[1]);
            if (first && last && (*last < request.From || *first > request.To)) continue;
            int level = -1, matches = 0;
            for (int k = 0; k < nbLevels; ++k)
                if (UpperCase(ListSerum.FindMaterial(a.MaterialId[static_cast<size_t>(k)]).Name) ==
                    UpperCase(head.Summary[2])) {
                    level = k;
                    ++matches;
                }
            const TArchiveFile file = ReadArchive(number, TArchiveParts::Fields);
            std::vector<long double> values;
            int unread = 0;
            for (const std::vector<std::string>& f : file.PointFields) {
                if (f.size() < 3 || Trim(f[2]).empty() || f[2] == "Discarded") continue;
                const std::optional<TDateTime> day = Regional.TextToDate(f[0]);
                long double v = 0;
                if (!day || !ParseDecimal(Trim(f[2]), Regional.DecimalSeparator, v)) {
                    ++unread;
                    continue;
                }
                if (InPeriod(*day, request)) values.push_back(v);
            }
            if (values.empty()) continue;
            const std::string name = std::to_string(number);
            if (matches != 1) {
                out.Notes.push_back(Fill(
                    matches == 0
                        ? QT_TRANSLATE_NOOP("Core", "Archive %1: no level uses its material %2 now, left out")
                        : QT_TRANSLATE_NOOP("Core",
                                            "Archive %1: several levels use its material %2, left out"),
                    name, head.Summary[2]));
                continue;
            }
            if (unread > 0)
                out.Notes.push_back(Fill(QT_TRANSLATE_NOOP("Core", "Archive %1: %2 lines could not be read"),
                                         name, std::to_string(unread)));
            TLotValues& lot =
                gathered[static_cast<size_t>(level)].Of(head.Summary[2], head.Summary[3], false);
            lot.Values.insert(lot.Values.end(), values.begin(), values.end());
        }
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    for (int k = 0; k < nbLevels; ++k) {
        const TSerum& material = ListSerum.FindMaterial(a.MaterialId[static_cast<size_t>(k)]);
        std::vector<long double> values;
        for (const ControlPoint& p : a.Points) {
            const LevelValue& v = p.Levels[static_cast<size_t>(k)];
            if (v.State < psDiscarded && InPeriod(p.DateTime, request)) values.push_back(v.Value);
        }
        if (values.empty()) continue;
        TLotValues& lot = gathered[static_cast<size_t>(k)].Of(material.Name, material.Lot, true);
        lot.Values.insert(lot.Values.end(), values.begin(), values.end());
    }

    TBiasInput bias;
    bias.Source = request.BiasSource;
    bias.TargetUPct = request.TargetUPct;
    if (request.BiasSource == TBiasSource::Eqa)
        for (const TEqaResult& r : EqaResults(a.Name)) {
            if (!InPeriod(r.Date, request)) continue;
            const TEqaFigures f = EqaFigures(r);
            if (f.BiasPct && f.UAssignedPct) bias.Evidence.push_back({*f.BiasPct, *f.UAssignedPct});
        }
    for (int k = 0; k < nbLevels; ++k)
        levels.push_back(
            LevelUncertainty(k, gathered[static_cast<size_t>(k)].Lots(), bias, request.Goal, request.K));
    return out;
}

std::optional<TOutcome> TOperations::AssessmentImportRefused(const char* readOnly, const char* noDatabase) {
    if (mode_ == TOpenMode::Reader) return TOutcome::Refuse(TranslatedText(readOnly));
    if (!store_->RecordsOpen()) return TOutcome::Refuse(Fill(noDatabase, ProgramFolder, TDatabase::FileName));
    return std::nullopt;
}

std::vector<TEqaResult> TOperations::EqaResults(const std::string& analyte) const {
    return store_->EqaResults(analyte);
}

std::vector<TEqaResult> TFolderStore::EqaResults(const std::string& analyte) const {
    const TDatabase& db = ops_.db_;
    std::vector<TEqaResult> out;
    // A database read for the companion may predate the part: it is read, never brought up to date.
    if (!db.IsOpen() || db.Version("assessment") == 0) return out;
    TStatement st = db.Prepare(std::string(SelectEqa) + (analyte.empty() ? "" : " WHERE analyte = ?1") +
                               " ORDER BY day, id");
    if (!analyte.empty()) st.Bind(1, analyte);
    while (st.Step()) out.push_back(EqaOfRow(st));
    return out;
}

void TFolderStore::PutEqaResults(const std::vector<TEqaResult>& results) {
    TStatement put = ops_.db_.Prepare(
        "INSERT INTO eqa_result(scheme, distribution, sample, day, analyte, result, assigned, sd, "
        "participants, recorded_utc) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    const std::string stamp = UtcTimeText();
    for (const TEqaResult& r : results) {
        put.Reset();
        put.Bind(1, r.Scheme).Bind(2, r.Distribution).Bind(3, r.Sample).Bind(4, static_cast<double>(r.Date));
        put.Bind(5, r.Analyte)
            .Bind(6, static_cast<double>(r.Result))
            .Bind(7, static_cast<double>(r.Assigned));
        put.Bind(8, static_cast<double>(r.Sd)).Bind(9, static_cast<int64_t>(r.Participants)).Bind(10, stamp);
        put.Step();
    }
}

void TFolderStore::AddEqaResults(const std::vector<TEqaResult>& results) {
    Record([&] { PutEqaResults(results); });
}

TOutcome TOperations::ImportEqa(const std::string& bytes, int* count, std::vector<TRefusedLine>* refused) {
    if (count) *count = 0;
    if (refused) refused->clear();
    if (std::optional<TOutcome> refusal = AssessmentImportRefused(
            QT_TRANSLATE_NOOP("Core", "Cannot record EQA results: the folder is open for reading"),
            QT_TRANSLATE_NOOP("Core", "EQA results cannot be kept: the database %1%2 is not available")))
        return *refusal;
    TEqaFile file = ParseEqaFile(bytes);
    // What the list and the store say of each line the file itself accepted.
    std::vector<const TAnalyte*> analytes;
    {
        std::map<std::string, std::vector<TEqaResult>> kept; // of each analyte the file names, read once
        for (size_t k = 0; k < file.Results.size(); ++k) {
            TEqaResult& r = file.Results[k];
            const TAnalyte* a = ListAnalytes.FindByName(r.Analyte);
            analytes.push_back(a);
            if (!a) {
                file.Refused.push_back(
                    {file.Lines[k], Fill(QT_TRANSLATE_NOOP("Core", "Unknown analyte: %1"), r.Analyte)});
                continue;
            }
            r.Analyte = a->Name;
            auto [at, fresh] = kept.try_emplace(UpperCase(a->Name));
            if (fresh) at->second = store_->EqaResults(a->Name);
            if (std::any_of(at->second.begin(), at->second.end(),
                            [&](const TEqaResult& o) { return EqaSampleKey(o) == EqaSampleKey(r); }))
                file.Refused.push_back({file.Lines[k], TranslatedText(QT_TRANSLATE_NOOP(
                                                           "Core", "This sample is already recorded"))});
        }
    }
    if (!file.Refused.empty()) {
        std::sort(file.Refused.begin(), file.Refused.end(),
                  [](const TRefusedLine& x, const TRefusedLine& y) { return x.Line < y.Line; });
        TOutcome out =
            TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "Refused lines: %1. Nothing was imported"),
                                  std::to_string(file.Refused.size())));
        for (const TRefusedLine& l : file.Refused)
            out.Notes.push_back(
                l.Line > 0 ? Fill(QT_TRANSLATE_NOOP("Core", "Line %1: "), std::to_string(l.Line)) + l.Reason
                           : l.Reason);
        if (refused) *refused = std::move(file.Refused);
        return out;
    }
    // The journal's entries go in the results' transaction: the results and their entries are kept
    // together.
    for (size_t k = 0; k < file.Results.size(); ++k) {
        const TEqaResult& r = file.Results[k];
        Log(jk::EqaRecorded, analytes[k], 0, std::nullopt, "",
            r.Scheme + " " + r.Distribution + " " + r.Sample + " " + IsoDateText(r.Date) + ": result " +
                Number(r.Result) + ", assigned " + Number(r.Assigned) + ", SD " + Number(r.Sd) + ", " +
                std::to_string(r.Participants) + " participants");
    }
    TOutcome out;
    try {
        store_->AddEqaResults(file.Results);
    } catch (const EQcError& e) {
        staged_.clear();
        out = TOutcome::FromError(e);
    }
    if (!out.Ok()) return out;
    if (count) *count = static_cast<int>(file.Results.size());
    // The figures that take the bias from EQA results change with them.
    Notify(ckGoals);
    return out;
}

TOutcome TOperations::AddEqaResult(const std::vector<std::string>& fields) {
    if (fields.size() != EqaColumns().size())
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "An EQA result has %1 fields"),
                                     std::to_string(EqaColumns().size())));
    // The line of a file with the result's fields, each quoted as a spreadsheet quotes it.
    std::string csv;
    for (const char* column : EqaColumns()) csv += std::string(csv.empty() ? "" : ",") + column;
    csv += "\n";
    for (size_t k = 0; k < fields.size(); ++k) {
        std::string quoted = "\"";
        for (char c : fields[k]) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        csv += (k ? "," : "") + quoted + "\"";
    }
    csv += "\n";
    std::vector<TRefusedLine> refused;
    TOutcome out = ImportEqa(csv, nullptr, &refused);
    if (!out.Ok() && !refused.empty()) return TOutcome::Refuse(refused.front().Reason);
    return out;
}

TOutcome TOperations::RecordEqaAction(const TEqaResult& r, const std::string& action) {
    const std::string what = Trim(BlankControlChars(action));
    if (what.empty())
        return TOutcome::Refuse(TranslatedText(QT_TRANSLATE_NOOP(
            "Core", "An unacceptable EQA result is answered with the corrective action taken")));
    if (std::optional<TOutcome> refusal = AssessmentImportRefused(
            QT_TRANSLATE_NOOP("Core", "Cannot record EQA results: the folder is open for reading"),
            QT_TRANSLATE_NOOP("Core", "EQA results cannot be kept: the database %1%2 is not available")))
        return *refusal;
    const TAnalyte* a = ListAnalytes.FindByName(r.Analyte);
    const std::vector<TEqaResult> kept = a ? store_->EqaResults(a->Name) : std::vector<TEqaResult>{};
    const auto found = std::find_if(kept.begin(), kept.end(),
                                    [&](const TEqaResult& o) { return EqaSampleKey(o) == EqaSampleKey(r); });
    if (found == kept.end())
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "No EQA result of %1 is recorded for %2"),
                                     r.Analyte, EqaSampleText(r)));
    if (EqaFigures(*found).Band != TEqaBand::Unacceptable)
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "The EQA result %1 of %2 is not unacceptable"),
                                     EqaSampleText(r), r.Analyte));
    Log(jk::EqaAction, a, 0, std::nullopt, "unacceptable", EqaSampleText(*found), what);
    TOutcome out;
    try {
        // No result is added: the entry goes in a transaction of its own.
        store_->AddEqaResults({});
    } catch (const EQcError& e) {
        staged_.clear();
        out = TOutcome::FromError(e);
    }
    if (out.Ok()) Notify(ckGoals);
    return out;
}

std::map<std::string, std::string> TOperations::EqaActions(const std::string& analyte) const {
    std::map<std::string, std::string> out;
    const std::vector<TEqaResult> results = store_->EqaResults(analyte);
    TJournalFilter f;
    f.Analyte = Cp1252ToUtf8(analyte);
    f.Kind = jk::EqaAction;
    // Entries come in order: a later action replaces an earlier one.
    for (const TJournalEntry& e : Journal(f))
        for (const TEqaResult& r : results)
            if (UpperCase(Utf8ToCp1252(e.After)) == UpperCase(EqaSampleText(r)))
                out[EqaSampleKey(r)] = Utf8ToCp1252(e.Reason);
    return out;
}
