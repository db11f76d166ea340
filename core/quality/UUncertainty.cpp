#include "UUncertainty.h"

#include <cmath>

#include "UTexts.h"

std::optional<TBiasSource> BiasSourceOfName(const std::string& name) {
    if (name == "none") return TBiasSource::None;
    if (name == "target") return TBiasSource::Target;
    if (name == "peer") return TBiasSource::Peer;
    if (name == "eqa") return TBiasSource::Eqa;
    return std::nullopt;
}

const char* BiasSourceName(TBiasSource source) {
    switch (source) {
    case TBiasSource::Target:
        return "target";
    case TBiasSource::Peer:
        return "peer";
    case TBiasSource::Eqa:
        return "eqa";
    default:
        return "none";
    }
}

namespace {

TLotFigures FiguresOf(const TLotValues& lot) {
    TLotFigures f;
    f.Material = lot.Material;
    f.Lot = lot.Lot;
    f.Current = lot.Current;
    f.N = static_cast<int>(lot.Values.size());
    if (f.N == 0) return f;
    long double sum = 0;
    for (long double v : lot.Values) sum += v;
    const long double mean = sum / f.N;
    f.Mean = mean;
    if (f.N < 2) return f;
    long double squares = 0;
    for (long double v : lot.Values) squares += (v - mean) * (v - mean);
    f.SD = std::sqrt(squares / (f.N - 1));
    if (mean != 0) f.CVPct = 100 * *f.SD / std::fabs(mean);
    f.Pooled = f.CVPct.has_value();
    return f;
}

std::string LotName(const TLotFigures& f) {
    return f.Lot.empty() ? f.Material : f.Material + " " + f.Lot;
}

} // namespace

std::optional<long double> BiasUncertaintyPct(const std::vector<TBiasEvidence>& evidence) {
    if (evidence.empty()) return std::nullopt;
    long double squares = 0, reference = 0;
    for (const TBiasEvidence& e : evidence) {
        squares += e.BiasPct * e.BiasPct;
        reference += e.UReferencePct;
    }
    const long double n = static_cast<long double>(evidence.size());
    const long double meanReference = reference / n;
    return std::sqrt(squares / n + meanReference * meanReference);
}

TLevelUncertainty LevelUncertainty(int level, const std::vector<TLotValues>& lots, const TBiasInput& bias,
                                   const TUncertaintyGoal& goal, long double k) {
    TLevelUncertainty u;
    u.Level = level;
    u.K = k;
    u.BiasSource = bias.Source;
    long double weighted = 0;
    int degrees = 0;
    for (const TLotValues& lot : lots) {
        TLotFigures f = FiguresOf(lot);
        if (f.N == 0) continue;
        if (f.Pooled) {
            weighted += (f.N - 1) * *f.CVPct * *f.CVPct;
            degrees += f.N - 1;
            u.N += f.N;
        } else if (f.N < 2) {
            u.Notes.push_back(
                Fill(QT_TRANSLATE_NOOP("Core", "Lot %1: fewer than two values in the period, left out"),
                     LotName(f)));
        } else {
            u.Notes.push_back(
                Fill(QT_TRANSLATE_NOOP("Core", "Lot %1: a mean of zero has no CV, left out"), LotName(f)));
        }
        u.Lots.push_back(std::move(f));
    }
    if (u.Lots.empty()) {
        u.Gap = TranslatedText(QT_TRANSLATE_NOOP("Core", "No value in the period"));
        return u;
    }
    if (degrees == 0) {
        u.Gap = TranslatedText(QT_TRANSLATE_NOOP("Core", "No lot holds two values in the period"));
        return u;
    }
    u.URwPct = std::sqrt(weighted / degrees);

    switch (bias.Source) {
    case TBiasSource::None:
        u.UBiasPct = 0;
        break;
    case TBiasSource::Target:
        if (bias.TargetUPct)
            u.UBiasPct = *bias.TargetUPct;
        else
            u.Gap = TranslatedText(QT_TRANSLATE_NOOP("Core", "No stated uncertainty of the target is given"));
        break;
    case TBiasSource::Peer:
    case TBiasSource::Eqa:
        u.UBiasPct = BiasUncertaintyPct(bias.Evidence);
        if (!u.UBiasPct)
            u.Gap = TranslatedText(bias.Source == TBiasSource::Eqa
                                       ? QT_TRANSLATE_NOOP("Core", "No EQA result in the period")
                                       : QT_TRANSLATE_NOOP("Core", "No peer statistics in the period"));
        break;
    }
    if (!u.UBiasPct) return u;
    u.UcPct = std::sqrt(*u.URwPct * *u.URwPct + *u.UBiasPct * *u.UBiasPct);
    u.UPct = k * *u.UcPct;
    if (goal.MaxUPct)
        u.MaxUPct = *goal.MaxUPct;
    else if (goal.CviPct)
        u.MaxUPct = k * 0.5L * *goal.CviPct;
    if (u.MaxUPct) u.Meets = *u.UPct <= *u.MaxUPct;
    return u;
}

TUncertaintyRequest DefaultUncertaintyRequest(TDateTime today) {
    const TDateParts d = DecodeDate(today);
    int year = d.Year, month = d.Month - 6;
    if (month < 1) {
        month += 12;
        --year;
    }
    int day = d.Day;
    while (day > 28 && !IsValidDate(year, month, day)) --day;
    TUncertaintyRequest r;
    r.From = EncodeDate(year, month, day);
    r.To = DatePart(today);
    return r;
}
