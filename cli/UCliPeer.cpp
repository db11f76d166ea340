#include "UCliPeer.h"

#include <iostream>

#include "UAtomicFile.h"
#include "UCliJson.h"
#include "UCliShared.h"
#include "UCodePage.h"
#include "UOperations.h"
#include "UQcError.h"

const char* const PeerHelp =
    "varnholt-cli peer import FILE\n"
    "  Records the peer-group statistics of a CSV file (columns analyte, material, lot, level, month,\n"
    "  mean, sd, n, labs; month as YYYY-MM) and prints {\"imported\":N}. A file with a refused line\n"
    "  records nothing: each refused line and its reason is written on standard error.\n"
    "varnholt-cli peer ANALYTE --month YYYY-MM\n"
    "  Each level's values of the month of the peer row's material and lot (archived lots included)\n"
    "  against the peer group (JSON): LabN, LabMean, LabSD, PeerMean, PeerSD, SDI = (lab mean - peer\n"
    "  mean) / peer SD, CVR = lab CV / peer CV and the band (|SDI| <= 1 good, up to 2 watch, above 2\n"
    "  act). A figure that is not available is null.\n"
    "varnholt-cli peer list [ANALYTE]\n"
    "  The peer statistics kept (JSON).\n";

namespace {

[[noreturn]] void Refuse(const std::string& message) {
    throw EQcError(message);
}

void WritePeer(TJsonWriter& j, const TPeerStat& s) {
    j.Key("Level").Int(s.Level).Key("Material").Text(s.Material).Key("Lot").Text(s.Lot);
    j.Key("Month").Text(s.Month).Key("PeerMean").Real(s.Mean).Key("PeerSD").Real(s.Sd);
    j.Key("PeerN").Int(s.N).Key("Labs").Int(s.Labs);
}

} // namespace

bool CliPeerWrites(const TPeerArgs& a) {
    return !a.Positional.empty() && a.Positional[0] == "import";
}

int CliPeer(const TPeerArgs& a) {
    if (a.Positional.empty())
        Refuse("usage: peer import FILE | peer ANALYTE --month YYYY-MM | peer list [ANALYTE]");
    if (a.Positional[0] == "import") {
        if (a.Positional.size() != 2) Refuse("usage: peer import FILE");
        const std::string text = ReadWholeFile(a.Positional[1]);
        int count = 0;
        const TOutcome out = Operations().ImportPeer(text, &count);
        Notes(out);
        if (!out.Ok()) Refuse(out.Message);
        TJsonWriter j;
        j.BeginObject().Key("imported").Int(count).EndObject();
        std::cout << j.Str() << "\n";
        return 0;
    }
    if (a.Positional[0] == "list") {
        if (a.Positional.size() > 2) Refuse("usage: peer list [ANALYTE]");
        const std::string analyte = a.Positional.size() == 2 ? FindAnalyte(a.Positional[1]).Name : "";
        TJsonWriter j;
        j.BeginObject().Key("peer").BeginArray();
        for (const TPeerStat& s : Operations().PeerStats(analyte)) {
            j.BeginObject().Key("Analyte").Text(s.Analyte);
            WritePeer(j, s);
            j.EndObject();
        }
        j.EndArray().EndObject();
        std::cout << j.Str() << "\n";
        return 0;
    }
    if (a.Positional.size() != 1 || !a.Month) Refuse("usage: peer ANALYTE --month YYYY-MM");
    const TAnalyte& an = FindAnalyte(a.Positional[0]);
    std::vector<TOperations::TPeerComparison> rows;
    const TOutcome out = Operations().PeerComparison(an, *a.Month, rows);
    Notes(out);
    if (!out.Ok()) Refuse(out.Message);
    TJsonWriter j;
    j.BeginObject().Key("Name").Text(an.Name).Key("Month").Text(*a.Month).Key("levels").BeginArray();
    for (const TOperations::TPeerComparison& r : rows) {
        j.BeginObject();
        WritePeer(j, r.Peer);
        j.Key("LabN").Int(r.Lab.LabN).Key("LabMean");
        Optional(j, r.Lab.LabMean);
        j.Key("LabSD");
        Optional(j, r.Lab.LabSD);
        j.Key("SDI");
        Optional(j, r.Lab.Sdi);
        j.Key("CVR");
        Optional(j, r.Lab.Cvr);
        j.Key("Band").Text(PeerBandName(r.Lab.Band)).EndObject();
        if (r.Lab.LabN == 0)
            std::cerr << "varnholt-cli: level " << r.Peer.Level << ": no value of "
                      << Cp1252ToUtf8(r.Peer.Material) << " lot " << Cp1252ToUtf8(r.Peer.Lot) << " in "
                      << *a.Month << "\n";
    }
    j.EndArray().EndObject();
    if (rows.empty()) std::cerr << "varnholt-cli: no peer statistics for " << *a.Month << "\n";
    std::cout << j.Str() << "\n";
    return 0;
}
