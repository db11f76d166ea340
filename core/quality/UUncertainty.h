// Measurement uncertainty of a level estimated top-down from internal QC: the long-term imprecision
// pooled over the control lots of the period, a bias component, combined and expanded.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "URegional.h"

// Where the bias component comes from.
enum class TBiasSource {
    None,   // no bias component
    Target, // the stated standard uncertainty of the target (a reference material), in percent
    Peer,   // the monthly differences from a peer group
    Eqa     // the laboratory's EQA results
};
// "none", "target", "peer", "eqa"; nullopt for another name.
std::optional<TBiasSource> BiasSourceOfName(const std::string& name);
const char* BiasSourceName(TBiasSource source);

// The values of one control lot of a level inside the period (the level's current data or archives).
struct TLotValues {
    std::string Material, Lot;
    bool Current = false; // the level's data as it stands, not an archive
    std::vector<long double> Values;
};

// One piece of bias evidence: a relative bias and the relative standard uncertainty of the value the
// laboratory was compared with (an EQA sample's assigned value, a peer mean), both in percent.
struct TBiasEvidence {
    long double BiasPct = 0;
    long double UReferencePct = 0;
};

struct TBiasInput {
    TBiasSource Source = TBiasSource::None;
    std::optional<long double> TargetUPct; // Source Target
    std::vector<TBiasEvidence> Evidence;   // Source Peer or Eqa
};

// The maximum allowable expanded uncertainty: set in percent, or derived from the within-subject
// biological variation as k x 0.5 CVI.
struct TUncertaintyGoal {
    std::optional<long double> MaxUPct;
    std::optional<long double> CviPct;
};

struct TLotFigures {
    std::string Material, Lot;
    bool Current = false;
    int N = 0;
    std::optional<long double> Mean, SD, CVPct; // SD and CV for N >= 2, CV for a mean not zero
    bool Pooled = false;                        // enters u(Rw)
};

struct TLevelUncertainty {
    int Level = 0; // 0-based
    std::vector<TLotFigures> Lots;
    int N = 0; // values of the pooled lots
    std::optional<long double> URwPct, UBiasPct, UcPct, UPct, MaxUPct;
    std::optional<bool> Meets;
    long double K = 2;
    TBiasSource BiasSource = TBiasSource::None;
    std::string Gap;                // why there is no uncertainty (the program's text); empty when there is
    std::vector<std::string> Notes; // lots left out and why, a thin bias evidence
};

// u(Rw) = sqrt(sum (n_i - 1) CV_i^2 / sum (n_i - 1)) over the lots with n >= 2 and a mean not zero;
// u(bias) from the source; u_c = sqrt(u(Rw)^2 + u(bias)^2); U = k u_c, compared with the goal.
TLevelUncertainty LevelUncertainty(int level, const std::vector<TLotValues>& lots, const TBiasInput& bias,
                                   const TUncertaintyGoal& goal, long double k = 2);

// u(bias) = sqrt(RMS(bias)^2 + mean(u(reference))^2); nullopt without evidence.
std::optional<long double> BiasUncertaintyPct(const std::vector<TBiasEvidence>& evidence);

// What the uncertainty of an analyte's levels is computed over, and how.
struct TUncertaintyRequest {
    TDateTime From = 0, To = 0; // days, both included
    long double K = 2;          // the coverage factor
    TBiasSource BiasSource = TBiasSource::None;
    std::optional<long double> TargetUPct; // the target's stated standard uncertainty (BiasSource Target)
    TUncertaintyGoal Goal;
};
// The default period: the six months that end with `today` (from the same day six months before).
TUncertaintyRequest DefaultUncertaintyRequest(TDateTime today);
