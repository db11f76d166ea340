// The companion built for the tests: VARNHOLT_FAULT=STEP:TARGET (open, write, sync, rename or link; the
// end of the target's name) makes that step of the matching writes fail in the whole process, so that
// a test can fail each write of a command. The installed companion has no such setting.
#include <cstdlib>
#include <string_view>
#include <utility>

#include "TestSeams.h"

namespace {
TWriteFaults FaultsFromEnvironment() {
    TWriteFaults f;
    const char* setting = std::getenv("VARNHOLT_FAULT");
    if (!setting || !*setting) return f;
    std::string_view s(setting);
    const std::string_view step = s.substr(0, s.find(':'));
    const std::pair<std::string_view, TWriteStep> steps[] = {{"open", TWriteStep::Open},
                                                             {"write", TWriteStep::Write},
                                                             {"sync", TWriteStep::Sync},
                                                             {"rename", TWriteStep::Rename},
                                                             {"link", TWriteStep::Link}};
    for (const auto& [name, value] : steps)
        if (name == step) {
            f.enabled = true;
            f.failAt = value;
        }
    if (s.find(':') != std::string_view::npos) f.onlyTarget = std::string(s.substr(s.find(':') + 1));
    f.noLinks = f.enabled && f.failAt == TWriteStep::Link;
    return f;
}

const bool installed = (WriteFaults() = FaultsFromEnvironment(), true);
} // namespace
