// A run from the instruments judged by the analyte's own rule set.
#pragma once

#include "UInbox.h"
#include "URunJudgement.h"

// JudgeInboxRun with the analyte's own rule set: when not empty it judges in place of the multirules
// on the levels it reads; a value beyond its action limits always rejects.
TInboxVerdict JudgeInboxRun(const TAnalyte& a, TResu& run, const TQcRuleSet& own);
