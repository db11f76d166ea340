#include "UEqa.h"

#include <cmath>
#include <map>
#include <set>

#include "UCodePage.h"
#include "UTexts.h"
#include "UUtilitaires.h"

const char* EqaBandName(TEqaBand band) {
    switch (band) {
    case TEqaBand::Acceptable:
        return "acceptable";
    case TEqaBand::Questionable:
        return "questionable";
    case TEqaBand::Unacceptable:
        return "unacceptable";
    default:
        return "none";
    }
}

std::string EqaSampleText(const TEqaResult& r) {
    return r.Scheme + " / " + r.Distribution + " / " + r.Sample;
}

std::string EqaSampleKey(const TEqaResult& r) {
    return UpperCase(r.Scheme) + '\t' + UpperCase(r.Distribution) + '\t' + UpperCase(r.Sample);
}

TEqaFigures EqaFigures(const TEqaResult& r) {
    TEqaFigures f;
    const long double difference = r.Result - r.Assigned;
    if (r.Participants >= EqaMinParticipants && r.Sd > 0) {
        f.Z = difference / r.Sd;
        const long double z = std::fabs(*f.Z);
        f.Band = z <= 2 ? TEqaBand::Acceptable : z < 3 ? TEqaBand::Questionable : TEqaBand::Unacceptable;
    }
    if (r.Assigned != 0) {
        f.BiasPct = 100 * difference / std::fabs(r.Assigned);
        if (r.Participants > 0)
            f.UAssignedPct =
                100 * r.Sd / std::sqrt(static_cast<long double>(r.Participants)) / std::fabs(r.Assigned);
    }
    return f;
}

TCsvFile ReadCsvText(std::string_view bytes) {
    std::string converted;
    std::string_view text = ExchangeTextAsCp1252(bytes, converted);
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    TCsvFile file;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        file.Lines.emplace_back(text.substr(start, end - start));
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    while (!file.Lines.empty() && Trim(file.Lines.back()).empty()) file.Lines.pop_back();
    if (!file.Lines.empty() && file.Lines.front().find(';') != std::string::npos) file.Separator = ';';
    return file;
}

std::optional<TRefusedLine> PlaceColumns(const TCsvFile& file, const std::vector<const char*>& columns,
                                         std::vector<int>& place) {
    if (file.Lines.empty())
        return TRefusedLine{0, TranslatedText(QT_TRANSLATE_NOOP("Core", "The file is empty"))};
    bool unclosed = false;
    const std::vector<std::string> header = SplitQuoted(file.Lines[0], file.Separator, unclosed);
    place.assign(columns.size(), -1);
    for (size_t k = 0; k < header.size(); ++k) {
        const std::string name = UpperCase(Trim(header[k]));
        for (size_t c = 0; c < columns.size(); ++c)
            if (name == UpperCase(columns[c]) && place[c] < 0) place[c] = static_cast<int>(k);
    }
    std::string missing;
    for (size_t c = 0; c < place.size(); ++c)
        if (place[c] < 0) missing += (missing.empty() ? "" : ", ") + std::string(columns[c]);
    if (!missing.empty())
        return TRefusedLine{1, Fill(QT_TRANSLATE_NOOP("Core", "Missing columns: %1"), missing)};
    return std::nullopt;
}

std::optional<long double> CsvNumber(std::string_view text, char separator) {
    const std::string t = Trim(text);
    long double v = 0;
    if (ParseDecimal(t, '.', v) && InValueRange(v)) return v;
    if (separator == ';' && ParseDecimal(t, ',', v) && InValueRange(v)) return v;
    return std::nullopt;
}

const std::vector<const char*>& EqaColumns() {
    static const std::vector<const char*> columns = {
        "scheme", "distribution", "sample", "date", "analyte", "result", "assigned", "sd", "participants"};
    return columns;
}

namespace {

enum EqaColumn {
    ecScheme,
    ecDistribution,
    ecSample,
    ecDate,
    ecAnalyte,
    ecResult,
    ecAssigned,
    ecSd,
    ecParticipants
};

} // namespace

TEqaFile ParseEqaFile(std::string_view bytes) {
    TEqaFile out;
    const TCsvFile file = ReadCsvText(bytes);
    std::vector<int> place;
    if (std::optional<TRefusedLine> refused = PlaceColumns(file, EqaColumns(), place)) {
        out.Refused.push_back(std::move(*refused));
        return out;
    }
    bool unclosed = false;
    std::map<std::string, int> seen; // scheme, distribution, sample and analyte -> line
    for (size_t k = 1; k < file.Lines.size(); ++k) {
        const int line = static_cast<int>(k + 1);
        if (Trim(file.Lines[k]).empty()) continue;
        const std::vector<std::string> f = SplitQuoted(file.Lines[k], file.Separator, unclosed);
        auto refuse = [&](std::string reason) { out.Refused.push_back({line, std::move(reason)}); };
        if (unclosed) {
            refuse(TranslatedText(QT_TRANSLATE_NOOP("Core", "A quote is not closed")));
            continue;
        }
        auto field = [&](EqaColumn c) {
            const size_t at = static_cast<size_t>(place[c]);
            return at < f.size() ? Trim(f[at]) : std::string();
        };
        TEqaResult r;
        r.Scheme = field(ecScheme);
        r.Distribution = field(ecDistribution);
        r.Sample = field(ecSample);
        r.Analyte = field(ecAnalyte);
        std::string reason;
        for (EqaColumn c : {ecScheme, ecDistribution, ecSample, ecAnalyte})
            if (reason.empty() && field(c).empty())
                reason = Fill(QT_TRANSLATE_NOOP("Core", "No %1"), std::string(EqaColumns()[c]));
        const std::optional<TDateTime> date = IsoTextToDate(field(ecDate));
        if (reason.empty() && !date)
            reason = Fill(QT_TRANSLATE_NOOP("Core", "Not an ISO date (yyyy-mm-dd): %1"), field(ecDate));
        std::optional<long double> numbers[3];
        const EqaColumn numberColumns[3] = {ecResult, ecAssigned, ecSd};
        for (int n = 0; n < 3; ++n) {
            numbers[n] = CsvNumber(field(numberColumns[n]), file.Separator);
            if (reason.empty() && !numbers[n])
                reason = Fill(QT_TRANSLATE_NOOP("Core", "%1 is not a number: %2"),
                              std::string(EqaColumns()[numberColumns[n]]), field(numberColumns[n]));
        }
        const std::optional<long double> participants = CsvNumber(field(ecParticipants), '.');
        if (reason.empty() && (!participants || *participants != std::floor(*participants) ||
                               *participants < 1 || *participants > 1e6))
            reason = Fill(QT_TRANSLATE_NOOP("Core", "participants is not a whole number of at least 1: %1"),
                          field(ecParticipants));
        if (reason.empty() && !(*numbers[2] > 0))
            reason = TranslatedText(QT_TRANSLATE_NOOP("Core", "The SD must be above zero"));
        if (!reason.empty()) {
            refuse(reason);
            continue;
        }
        r.Date = *date;
        r.Result = *numbers[0];
        r.Assigned = *numbers[1];
        r.Sd = *numbers[2];
        r.Participants = static_cast<int>(*participants);
        const std::string key = UpperCase(r.Scheme) + '\t' + UpperCase(r.Distribution) + '\t' +
                                UpperCase(r.Sample) + '\t' + UpperCase(r.Analyte);
        if (const auto [at, fresh] = seen.emplace(key, line); !fresh) {
            refuse(Fill(QT_TRANSLATE_NOOP("Core", "The same sample as line %1"), std::to_string(at->second)));
            continue;
        }
        out.Results.push_back(std::move(r));
        out.Lines.push_back(line);
    }
    if (out.Results.empty() && out.Refused.empty())
        out.Refused.push_back({0, TranslatedText(QT_TRANSLATE_NOOP("Core", "The file holds no result"))});
    return out;
}
