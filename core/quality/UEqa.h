// External quality assessment (proficiency testing): the figures of one EQA sample and the reading of
// the CSV files that schemes' reports are copied into.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "URegional.h"

// One EQA sample of one analyte as the scheme reported it. Texts are Windows-1252, as the program's.
struct TEqaResult {
    std::string Scheme, Distribution, Sample;
    TDateTime Date = 0; // the day
    std::string Analyte;
    long double Result = 0;   // the laboratory's
    long double Assigned = 0; // the assigned value
    long double Sd = 0;       // the evaluation SD, above zero
    int Participants = 0;
};

// A z-score needs this many participants.
inline constexpr int EqaMinParticipants = 5;

enum class TEqaBand {
    None,         // no z-score: fewer than EqaMinParticipants participants
    Acceptable,   // |z| <= 2
    Questionable, // 2 < |z| < 3
    Unacceptable  // |z| >= 3
};
const char* EqaBandName(TEqaBand band); // "acceptable", ..., "none"

struct TEqaFigures {
    std::optional<long double> Z; // (result - assigned) / SD
    TEqaBand Band = TEqaBand::None;
    std::optional<long double> BiasPct; // 100 (result - assigned) / |assigned|; none for an assigned 0
    // The relative standard uncertainty of the assigned value, SD / sqrt(participants) / |assigned|.
    std::optional<long double> UAssignedPct;
};
TEqaFigures EqaFigures(const TEqaResult& r);
// The sample as the journal names it: "scheme / distribution / sample".
std::string EqaSampleText(const TEqaResult& r);
// The sample without regard to case, as the store tells samples apart.
std::string EqaSampleKey(const TEqaResult& r);

// A line of an imported file that was refused, with the reason (the program's text).
struct TRefusedLine {
    int Line = 0; // 1-based; 0 for the file as a whole
    std::string Reason;
};

// The lines of a CSV file (UTF-8 taken to Windows-1252, a byte order mark dropped, CR LF, LF or CR) and
// its separator, found in the header: a semicolon when the header holds one, else a comma. Fields may
// be quoted as spreadsheets quote them.
struct TCsvFile {
    std::vector<std::string> Lines;
    char Separator = ',';
};
TCsvFile ReadCsvText(std::string_view bytes);

// The header of such a file: each column's place among `columns` (by name, without regard to case; the
// first of a name given twice), or a refusal of the file (empty, or naming the missing columns).
std::optional<TRefusedLine> PlaceColumns(const TCsvFile& file, const std::vector<const char*>& columns,
                                         std::vector<int>& place);

// A number of such a file: a point, or also a comma when the separator is a semicolon.
std::optional<long double> CsvNumber(std::string_view text, char separator);

// An EQA file: a header naming the columns scheme, distribution, sample, date (ISO yyyy-mm-dd),
// analyte, result, assigned, sd, participants (in any order, without regard to case), then one line
// per sample. Lines that cannot be read, a SD of zero or below, fewer than one participant and a
// sample given twice are refused with their reason; missing columns refuse the file (line 0).
struct TEqaFile {
    std::vector<TEqaResult> Results;
    std::vector<int> Lines; // the line of each result
    std::vector<TRefusedLine> Refused;
};
TEqaFile ParseEqaFile(std::string_view bytes);

// The columns of the file, in the order of the manual.
const std::vector<const char*>& EqaColumns();
