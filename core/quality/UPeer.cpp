#include "UPeer.h"

#include <cmath>
#include <map>

#include "UTexts.h"
#include "UUtilitaires.h"

std::optional<TPeerMonth> MonthOfText(std::string_view text) {
    const std::string t = Trim(text);
    if (t.size() != 7 || t[4] != '-') return std::nullopt;
    const std::optional<TDateTime> first = IsoTextToDate(t + "-01");
    if (!first) return std::nullopt;
    const int year = std::stoi(t.substr(0, 4)), month = std::stoi(t.substr(5, 2));
    const TDateTime next = month == 12 ? EncodeDate(year + 1, 1, 1) : EncodeDate(year, month + 1, 1);
    return TPeerMonth{t, *first, next - 1};
}

const std::vector<const char*>& PeerColumns() {
    static const std::vector<const char*> columns = {"analyte", "material", "lot", "level", "month",
                                                     "mean",    "sd",       "n",   "labs"};
    return columns;
}

const char* PeerBandName(TPeerBand band) {
    switch (band) {
    case TPeerBand::Good:
        return "good";
    case TPeerBand::Watch:
        return "watch";
    case TPeerBand::Act:
        return "act";
    default:
        return "none";
    }
}

namespace {

enum PeerColumn { pcAnalyte, pcMaterial, pcLot, pcLevel, pcMonth, pcMean, pcSd, pcN, pcLabs };

// A whole number from `least` to a million.
std::optional<int> WholeNumber(const std::string& text, int least) {
    const std::optional<long double> v = CsvNumber(text, '.');
    if (!v || *v != std::floor(*v) || *v < least || *v > 1e6) return std::nullopt;
    return static_cast<int>(*v);
}

} // namespace

TPeerFile ParsePeerFile(std::string_view bytes) {
    TPeerFile out;
    const TCsvFile file = ReadCsvText(bytes);
    std::vector<int> place;
    if (std::optional<TRefusedLine> refused = PlaceColumns(file, PeerColumns(), place)) {
        out.Refused.push_back(std::move(*refused));
        return out;
    }
    bool unclosed = false;
    std::map<std::string, int> seen; // analyte, material, lot, level and month -> line
    for (size_t k = 1; k < file.Lines.size(); ++k) {
        const int line = static_cast<int>(k + 1);
        if (Trim(file.Lines[k]).empty()) continue;
        const std::vector<std::string> f = SplitQuoted(file.Lines[k], file.Separator, unclosed);
        if (unclosed) {
            out.Refused.push_back({line, TranslatedText(QT_TRANSLATE_NOOP("Core", "A quote is not closed"))});
            continue;
        }
        auto field = [&](PeerColumn c) {
            const size_t at = static_cast<size_t>(place[c]);
            return at < f.size() ? Trim(f[at]) : std::string();
        };
        std::string reason;
        for (PeerColumn c : {pcAnalyte, pcMaterial, pcLot})
            if (reason.empty() && field(c).empty())
                reason = Fill(QT_TRANSLATE_NOOP("Core", "No %1"), std::string(PeerColumns()[c]));
        const std::optional<int> level = WholeNumber(field(pcLevel), 1);
        if (reason.empty() && (!level || *level > MaxLevels))
            reason = Fill(QT_TRANSLATE_NOOP("Core", "level is not 1, 2 or 3: %1"), field(pcLevel));
        const std::optional<TPeerMonth> month = MonthOfText(field(pcMonth));
        if (reason.empty() && !month)
            reason = Fill(QT_TRANSLATE_NOOP("Core", "Not a month (yyyy-mm): %1"), field(pcMonth));
        const std::optional<long double> mean = CsvNumber(field(pcMean), file.Separator);
        const std::optional<long double> sd = CsvNumber(field(pcSd), file.Separator);
        for (const auto& [value, c] : {std::pair{mean, pcMean}, std::pair{sd, pcSd}})
            if (reason.empty() && !value)
                reason = Fill(QT_TRANSLATE_NOOP("Core", "%1 is not a number: %2"),
                              std::string(PeerColumns()[c]), field(c));
        if (reason.empty() && !(*sd > 0))
            reason = TranslatedText(QT_TRANSLATE_NOOP("Core", "The SD must be above zero"));
        const std::optional<int> n = WholeNumber(field(pcN), 2);
        if (reason.empty() && !n)
            reason = Fill(QT_TRANSLATE_NOOP("Core", "n is not a whole number of at least 2: %1"), field(pcN));
        const std::optional<int> labs = WholeNumber(field(pcLabs), 1);
        if (reason.empty() && !labs)
            reason = Fill(QT_TRANSLATE_NOOP("Core", "labs is not a whole number of at least 1: %1"),
                          field(pcLabs));
        if (!reason.empty()) {
            out.Refused.push_back({line, std::move(reason)});
            continue;
        }
        TPeerStat s{
            field(pcAnalyte), field(pcMaterial), field(pcLot), *level, month->Text, *mean, *sd, *n, *labs};
        const std::string key = UpperCase(s.Analyte) + '\t' + UpperCase(s.Material) + '\t' +
                                UpperCase(s.Lot) + '\t' + std::to_string(s.Level) + '\t' + s.Month;
        if (const auto [at, fresh] = seen.emplace(key, line); !fresh) {
            out.Refused.push_back({line, Fill(QT_TRANSLATE_NOOP("Core", "The same row as line %1"),
                                              std::to_string(at->second))});
            continue;
        }
        out.Stats.push_back(std::move(s));
        out.Lines.push_back(line);
    }
    if (out.Stats.empty() && out.Refused.empty())
        out.Refused.push_back({0, TranslatedText(QT_TRANSLATE_NOOP("Core", "The file holds no row"))});
    return out;
}

TPeerFigures PeerFigures(const std::vector<long double>& labValues, const TPeerStat& peer) {
    TPeerFigures f;
    f.LabN = static_cast<int>(labValues.size());
    if (labValues.empty()) return f;
    long double sum = 0;
    for (long double v : labValues) sum += v;
    const long double mean = sum / f.LabN;
    f.LabMean = mean;
    if (peer.Sd > 0) {
        f.Sdi = (mean - peer.Mean) / peer.Sd;
        const long double z = std::fabs(*f.Sdi);
        f.Band = z <= 1 ? TPeerBand::Good : z <= 2 ? TPeerBand::Watch : TPeerBand::Act;
    }
    if (peer.Mean != 0) f.BiasPct = 100 * (mean - peer.Mean) / std::fabs(peer.Mean);
    if (f.LabN >= 2) {
        long double squares = 0;
        for (long double v : labValues) squares += (v - mean) * (v - mean);
        f.LabSD = std::sqrt(squares / (f.LabN - 1));
        if (mean != 0 && peer.Mean != 0 && peer.Sd > 0)
            f.Cvr = (*f.LabSD / std::fabs(mean)) / (peer.Sd / std::fabs(peer.Mean));
    }
    return f;
}
