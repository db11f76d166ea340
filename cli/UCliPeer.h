// The companion's peer comparison commands.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct TPeerArgs {
    std::vector<std::string> Positional; // after the command word
    std::optional<std::string> Month;    // YYYY-MM
};

// peer import FILE | peer ANALYTE --month YYYY-MM | peer list [ANALYTE]. Throws EQcError (exit 2) for a
// refusal.
int CliPeer(const TPeerArgs& a);
// Whether the peer command line changes the folder.
bool CliPeerWrites(const TPeerArgs& a);

extern const char* const PeerHelp;
