// The operations layer's peer comparison: the peer statistics the store keeps (the folder's over its
// database here) and the laboratory's own figures of a month against them.
#include <algorithm>
#include <cmath>
#include <map>

#include "UOperations.h"
#include "UOperationsStores.h"

#include "UJournal.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {

constexpr const char* SelectPeer =
    "SELECT analyte, material, lot, level, month, mean, sd, n, labs FROM peer_stat";

TPeerStat PeerOfRow(const TStatement& st) {
    TPeerStat s;
    s.Analyte = st.Text(0);
    s.Material = st.Text(1);
    s.Lot = st.Text(2);
    s.Level = static_cast<int>(st.Int(3));
    s.Month = st.Text(4);
    s.Mean = st.Real(5);
    s.Sd = st.Real(6);
    s.N = static_cast<int>(st.Int(7));
    s.Labs = static_cast<int>(st.Int(8));
    return s;
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

bool SameLot(const std::string& material, const std::string& lot, const TPeerStat& s) {
    return UpperCase(material) == UpperCase(s.Material) && UpperCase(lot) == UpperCase(s.Lot);
}

} // namespace

std::vector<TPeerStat> TOperations::PeerStats(const std::string& analyte) const {
    return store_->PeerStats(analyte);
}

std::vector<TPeerStat> TFolderStore::PeerStats(const std::string& analyte) const {
    const TDatabase& db = ops_.db_;
    std::vector<TPeerStat> out;
    // A database read for the companion may predate the part: it is read, never brought up to date.
    if (!db.IsOpen() || db.Version("assessment") == 0) return out;
    TStatement st = db.Prepare(std::string(SelectPeer) + (analyte.empty() ? "" : " WHERE analyte = ?1") +
                               " ORDER BY month, level, material, lot, id");
    if (!analyte.empty()) st.Bind(1, analyte);
    while (st.Step()) out.push_back(PeerOfRow(st));
    return out;
}

void TFolderStore::PutPeerStats(const std::vector<TPeerStat>& stats) {
    TStatement put =
        ops_.db_.Prepare("INSERT INTO peer_stat(analyte, material, lot, level, month, mean, sd, n, "
                         "labs, recorded_utc) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    const std::string stamp = UtcTimeText();
    for (const TPeerStat& s : stats) {
        put.Reset();
        put.Bind(1, s.Analyte).Bind(2, s.Material).Bind(3, s.Lot).Bind(4, static_cast<int64_t>(s.Level));
        put.Bind(5, s.Month).Bind(6, static_cast<double>(s.Mean)).Bind(7, static_cast<double>(s.Sd));
        put.Bind(8, static_cast<int64_t>(s.N)).Bind(9, static_cast<int64_t>(s.Labs)).Bind(10, stamp);
        put.Step();
    }
}

void TFolderStore::AddPeerStats(const std::vector<TPeerStat>& stats) {
    Record([&] { PutPeerStats(stats); });
}

TOutcome TOperations::ImportPeer(const std::string& bytes, int* count, std::vector<TRefusedLine>* refused) {
    if (count) *count = 0;
    if (refused) refused->clear();
    if (std::optional<TOutcome> refusal = AssessmentImportRefused(
            QT_TRANSLATE_NOOP("Core", "Cannot record peer statistics: the folder is open for reading"),
            QT_TRANSLATE_NOOP("Core", "Peer statistics cannot be kept: the database %1%2 is not available")))
        return *refusal;
    TPeerFile file = ParsePeerFile(bytes);
    std::vector<const TAnalyte*> analytes;
    {
        // The rows kept of each analyte the file names, read once.
        std::map<std::string, std::vector<TPeerStat>> kept;
        for (size_t k = 0; k < file.Stats.size(); ++k) {
            TPeerStat& s = file.Stats[k];
            const TAnalyte* a = ListAnalytes.FindByName(s.Analyte);
            analytes.push_back(a);
            if (!a) {
                file.Refused.push_back(
                    {file.Lines[k], Fill(QT_TRANSLATE_NOOP("Core", "Unknown analyte: %1"), s.Analyte)});
                continue;
            }
            s.Analyte = a->Name;
            if (s.Level > a->NbLevels) {
                file.Refused.push_back({file.Lines[k], Fill(QT_TRANSLATE_NOOP("Core", "%1 has no level %2"),
                                                            a->Name, std::to_string(s.Level))});
                continue;
            }
            auto [at, fresh] = kept.try_emplace(UpperCase(a->Name));
            if (fresh) at->second = store_->PeerStats(a->Name);
            if (std::any_of(at->second.begin(), at->second.end(), [&](const TPeerStat& o) {
                    return o.Level == s.Level && o.Month == s.Month && SameLot(s.Material, s.Lot, o);
                }))
                file.Refused.push_back({file.Lines[k], TranslatedText(QT_TRANSLATE_NOOP(
                                                           "Core", "This row is already recorded"))});
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
    // The journal's entries go in the rows' transaction: the rows and their entries are kept together.
    for (size_t k = 0; k < file.Stats.size(); ++k) {
        const TPeerStat& s = file.Stats[k];
        Log(jk::PeerRecorded, analytes[k], s.Level - 1, std::nullopt, "",
            s.Month + " " + s.Material + " " + s.Lot + ": mean " + Number(s.Mean) + ", SD " + Number(s.Sd) +
                ", n " + std::to_string(s.N) + ", " + std::to_string(s.Labs) + " laboratories");
    }
    TOutcome out;
    try {
        store_->AddPeerStats(file.Stats);
    } catch (const EQcError& e) {
        staged_.clear();
        out = TOutcome::FromError(e);
    }
    if (!out.Ok()) return out;
    if (count) *count = static_cast<int>(file.Stats.size());
    Notify(ckGoals);
    return out;
}

TOutcome TOperations::PeerComparison(const TAnalyte& a, const std::string& monthText,
                                     std::vector<TPeerComparison>& rows) const {
    rows.clear();
    const std::optional<TPeerMonth> month = MonthOfText(monthText);
    if (!month)
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "Not a month (yyyy-mm): %1"), monthText));
    for (const TPeerStat& s : PeerStats(a.Name))
        if (s.Month == month->Text && s.Level <= a.NbLevels) rows.push_back({s, {}});
    if (rows.empty()) return {};
    auto inMonth = [&](TDateTime dt) {
        const TDateTime day = DatePart(dt);
        return day >= month->First && day <= month->Last;
    };
    std::vector<std::vector<long double>> values(rows.size());
    TOutcome out;
    try {
        // Archived lots: an archive's material and lot (its head) name the rows it belongs to.
        for (int32_t number : a.ArchiveNumbers) {
            const TArchiveFile head = ReadArchive(number, TArchiveParts::Head);
            const std::optional<TDateTime> first = Regional.TextToDate(head.Summary[0]);
            const std::optional<TDateTime> last = Regional.TextToDate(head.Summary[1]);
            if (first && last && (*last < month->First || *first > month->Last)) continue;
            bool wanted = false;
            for (const TPeerComparison& r : rows)
                wanted = wanted || SameLot(head.Summary[2], head.Summary[3], r.Peer);
            if (!wanted) continue;
            const TArchiveFile file = ReadArchive(number, TArchiveParts::Fields);
            std::vector<long double> kept;
            int unread = 0;
            for (const std::vector<std::string>& f : file.PointFields) {
                if (f.size() < 3 || Trim(f[2]).empty() || f[2] == "Discarded") continue;
                const std::optional<TDateTime> day = Regional.TextToDate(f[0]);
                long double v = 0;
                if (!day || !ParseDecimal(Trim(f[2]), Regional.DecimalSeparator, v)) {
                    ++unread;
                    continue;
                }
                if (inMonth(*day)) kept.push_back(v);
            }
            if (unread > 0)
                out.Notes.push_back(Fill(QT_TRANSLATE_NOOP("Core", "Archive %1: %2 lines could not be read"),
                                         std::to_string(number), std::to_string(unread)));
            for (size_t r = 0; r < rows.size(); ++r)
                if (SameLot(head.Summary[2], head.Summary[3], rows[r].Peer))
                    values[r].insert(values[r].end(), kept.begin(), kept.end());
        }
    } catch (const EQcError& e) {
        rows.clear();
        return TOutcome::FromError(e);
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        const size_t k = static_cast<size_t>(rows[r].Peer.Level - 1);
        const TSerum& material = ListSerum.FindMaterial(a.MaterialId[k]);
        if (SameLot(material.Name, material.Lot, rows[r].Peer))
            for (const ControlPoint& p : a.Points) {
                const LevelValue& v = p.Levels[k];
                if (v.State < psDiscarded && inMonth(p.DateTime)) values[r].push_back(v.Value);
            }
        rows[r].Lab = PeerFigures(values[r], rows[r].Peer);
    }
    return out;
}

void TOperations::MeasureBias(const TAnalyte& a, TQualityGoal& goal) const {
    goal.MeasuredBiasPct = {};
    const TUncertaintyRequest period = DefaultUncertaintyRequest(Today());
    const int nbLevels = std::clamp(a.NbLevels, 0, MaxLevels);
    std::array<std::vector<long double>, MaxLevels> biases;
    if (goal.BiasFrom == biasPeer) {
        std::vector<std::string> months;
        for (const TPeerStat& s : PeerStats(a.Name)) {
            const std::optional<TPeerMonth> m = MonthOfText(s.Month);
            if (m && m->Last >= period.From && m->First <= period.To &&
                std::find(months.begin(), months.end(), s.Month) == months.end())
                months.push_back(s.Month);
        }
        std::vector<TPeerComparison> rows;
        for (const std::string& month : months) {
            if (!PeerComparison(a, month, rows).Ok()) continue;
            for (const TPeerComparison& r : rows)
                if (r.Lab.BiasPct) biases[static_cast<size_t>(r.Peer.Level - 1)].push_back(*r.Lab.BiasPct);
        }
    } else if (goal.BiasFrom == biasEqa) {
        for (const TEqaResult& r : EqaResults(a.Name)) {
            const TDateTime day = DatePart(r.Date);
            if (day < period.From || day > period.To) continue;
            if (const std::optional<long double> bias = EqaFigures(r).BiasPct)
                for (int k = 0; k < nbLevels; ++k) biases[static_cast<size_t>(k)].push_back(*bias);
        }
    }
    for (int k = 0; k < nbLevels; ++k) {
        const std::vector<long double>& b = biases[static_cast<size_t>(k)];
        if (b.empty()) continue;
        long double sum = 0;
        for (long double v : b) sum += v;
        goal.MeasuredBiasPct[static_cast<size_t>(k)] = sum / static_cast<long double>(b.size());
    }
}
