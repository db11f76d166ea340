// Simulated control results for training and demonstration.
#pragma once

#include "UStructures.h"

// One level value drawn around the mean with the CV (percent); empty when either is missing.
LevelValue DrawLevelValue(const LevelValue& mean, const LevelValue& cv);

// A run of the analyte at dt with its levels drawn; empty comment and operator.
TResu MakeRandomEntry(const TAnalyte& a, const TLevelValues& means, const TLevelValues& cvs, TDateTime dt);

// Adds count runs, one per day from first, then puts every level in mobile mode and recomputes and
// reclassifies the analyte. Returns the index of the last run added (-1 when none).
int GenerateRandomPoints(TAnalyte& a, int count, const TLevelValues& means, const TLevelValues& cvs,
                         TDateTime first);
