// The texts the journal gives runs, levels, rules and limits (Windows-1252, as the program's texts).
#pragma once

#include <string>

#include "URunJudgement.h"
#include "UStructures.h"
#include "UWestgard.h"

const char* StateName(PointState s);
// A level's value with its state: "5.12 high warning", or "no value".
std::string LevelText(const TAnalyte& a, const LevelValue& v);
// Every level in use of a run or point: "L1 5.12 in control; L2 ...", then the operator and comment.
std::string RunText(const TAnalyte& a, const TLevelValues& levels, const std::string& op = "",
                    const std::string& comment = "");
// The rules a run breaks, as the validation window shows them: "L1 1:3s reject, across 2:2s warning".
std::string RulesText(const TMultiruleResult& r);
// The same of a run judged by the analyte's own rule set or the multirules.
std::string RulesText(const TRunVerdict& v);
TRejectToggles DiscardedLevels(const TResu& run);
// The limit mode of a level with its interval or fixed figures.
std::string LimitsText(const TAnalyte& a, const TLimitState& state, int level);
std::string OptionsText(uint8_t options);
