// Prints the rejection probability of a rule set and its standard error, for a check written apart.
// Usage: rule_set_power REJECT_RULES N SHIFT TRIALS
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "URunPlanning.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: rule_set_power REJECT_RULES N SHIFT TRIALS\n");
        return 2;
    }
    try {
        const TQcRuleSet set = MakeQcRuleSet("", argv[1], "");
        const TRejection r =
            RuleSetRejection(set, std::atoi(argv[2]), std::strtold(argv[3], nullptr), std::atoi(argv[4]));
        std::printf("%.6Lf %.6Lf\n", r.P, r.StdError);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
