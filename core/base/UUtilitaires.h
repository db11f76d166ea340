// Common operations: entry checks, long texts, random draws, tab splitting, Student's t, number texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "UBinary.h"
#include "UTypes.h"

// Texts keyed by an increasing identifier (the comments of an analyte's points).
class TListIDString {
public:
    struct Entry {
        int32_t Id;
        std::string Text;
    };

    int32_t AddText(const std::string& text);
    // Binary search over the ascending identifiers; -1 when not found.
    int FindIndex(int32_t id) const;
    std::string TextOf(int32_t id) const;
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    const Entry& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
    int32_t NextId() const { return nextId_; }

    void SaveToFile(TByteWriter& w) const;
    // Appends the entries read; the next identifier follows the last one read. Identifiers that do
    // not ascend are refused (EQcError), as lookups rely on their order.
    void LoadFromFile(TByteReader& r);

private:
    std::vector<Entry> items_;
    int32_t nextId_ = 0;
};

// A message on one line: a title and its reason, which the windows show on two lines, are joined by
// ": " ("Cannot save data: ..."), lines that end a sentence by a space.
std::string Flatten(const std::string& s);
std::string Trim(std::string_view s);
std::string UpperCase(std::string_view s);
// The text with every control character (below 0x20, and DEL) replaced by a blank, so that a comment,
// an operator or a name can neither break an exchange or archive line nor drive a terminal.
std::string BlankControlChars(std::string_view s);
// Now in UTC as the database and the journal keep times: 2026-12-09T03:05:00Z.
std::string UtcTimeText();

// Integer entry: the trimmed text converted and checked against min..max. Throws EConvertError with
// the message of the box; on success `text` becomes the trimmed text (written back into the box).
int CheckIntegerText(std::string& text, int min, int max);
// True for a value that a stored single holds: finite and within +-FLT_MAX. Every field that takes a QC
// value, a limit or a target checks its number with it.
bool InValueRange(long double v);
// QC value entry: empty gives psEmpty; the other decimal mark is replaced by the regional one.
// Throws EConvertError("Incorrect floating number") for text that is not a finite single-size number.
LevelValue ReadValueText(const std::string& text);
// Real entry: throws EConvertError naming the text for no number or one beyond InValueRange; nonNegative
// refuses values below 0. On success
// `text` becomes the trimmed text with its decimal mark replaced.
long double ReadRealText(std::string& text, bool nonNegative);
// Parses a decimal number written with the given separator (optional sign and exponent); false for
// anything else, including inf and nan, values beyond the long double range and exponents beyond
// +-99999. Values below the range read as zero.
bool ParseDecimal(std::string_view text, char separator, long double& value);

// The program's random generator: reseeded from the clock at start, seedable for tests.
void Randomize();
void RandomSeed(uint64_t seed);
double RandomUniform(); // [0, 1)
// Box-Muller normal draw; a U1 of exactly 0 is drawn again.
long double RandomNormal(long double mean, long double sd);

// Cuts a line at every tab; a line with k tabs gives k + 1 pieces, empty ones included.
void SplitTabs(std::string_view line, std::vector<std::string>& pieces);
// Cuts a line at `sep` outside double quotes, as spreadsheets and instruments quote text: a quoted field
// loses its quotes and "" reads as one quote; `unclosed` tells a quote left open at the line's end.
std::vector<std::string> SplitQuoted(std::string_view line, char sep, bool& unclosed);

// Student's t quantile of row 0..4 for df >= 1 degrees of freedom, interpolated between columns.
long double TQuantile(int row, int df);
// The table entry of row r at column c (df 1..30, 40, 60, 120, infinity for c = 0..33).
long double TTableEntry(int row, int column);
constexpr int TTableRows = 5;
constexpr int TTableColumns = 34;
int TTableDegrees(int column); // 0 for the infinity column

// Fixed notation with `decimals` digits after the regional separator, the value first rounded to
// `precision` significant digits; scientific notation when the integer part needs more digits.
std::string FormatFixed(long double value, int precision, int decimals);
std::string FormatFixed(long double value, int precision, int decimals, char separator);
// A stored value in fixed notation with at least `decimals` decimals, and more where the single holds
// more (3.05 stays 3.05 for a one-decimal analyte): the text reads back to the same value.
std::string FormatStoredValue(float value, int decimals);
