// Peer-group comparison: the monthly statistics of a control lot across laboratories, read from CSV
// files, and the laboratory's own figures of the month against them (SDI, CVR).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "UEqa.h"

// One month of one control lot at one level of an analyte, as the peer group reported it. Texts are
// Windows-1252, as the program's.
struct TPeerStat {
    std::string Analyte, Material, Lot;
    int Level = 1;     // 1 to 3
    std::string Month; // "YYYY-MM"
    long double Mean = 0;
    long double Sd = 0; // above zero
    int N = 0;          // the peer group's values, at least 2
    int Labs = 0;       // laboratories, at least 1
};

// "YYYY-MM" with a month 01 to 12; nullopt otherwise. Also gives the first and last day.
struct TPeerMonth {
    std::string Text;
    TDateTime First = 0, Last = 0;
};
std::optional<TPeerMonth> MonthOfText(std::string_view text);

// A peer file: a header naming the columns analyte, material, lot, level, month, mean, sd, n, labs (in
// any order, without regard to case), then one line per lot, level and month. Lines that cannot be
// read (a non-number, a SD of zero or below, a level outside 1 to 3, a month not YYYY-MM, fewer than 2
// values or no laboratory) and a row given twice are refused with their reason; missing columns
// refuse the file (line 1).
struct TPeerFile {
    std::vector<TPeerStat> Stats;
    std::vector<int> Lines; // the line of each row
    std::vector<TRefusedLine> Refused;
};
TPeerFile ParsePeerFile(std::string_view bytes);
const std::vector<const char*>& PeerColumns();

enum class TPeerBand {
    None,  // no SDI
    Good,  // |SDI| <= 1
    Watch, // 1 < |SDI| <= 2
    Act    // |SDI| > 2
};
const char* PeerBandName(TPeerBand band); // "good", "watch", "act", "none"

// The laboratory's figures of a month against one peer row.
struct TPeerFigures {
    int LabN = 0;
    std::optional<long double> LabMean, LabSD; // mean for N >= 1, SD for N >= 2
    std::optional<long double> Sdi;            // (lab mean - peer mean) / peer SD
    std::optional<long double> Cvr;            // lab CV / peer CV; none for a mean of zero
    std::optional<long double> BiasPct;        // 100 (lab mean - peer mean) / |peer mean|
    TPeerBand Band = TPeerBand::None;
};
TPeerFigures PeerFigures(const std::vector<long double>& labValues, const TPeerStat& peer);
