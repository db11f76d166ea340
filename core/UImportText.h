// Reading the tab-separated exchange text (spreadsheet files, the clipboard) into runs for the import.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "UTypes.h"

// The runs of the accepted lines and, for each, the line the import preview shows:
// date, tab, time, tab, then the texts of the value fields separated by tabs.
struct TImportText {
    std::vector<TResu> Runs; // DateTime and the three levels filled; a level without a number is psEmpty
    std::vector<std::string> Lines;
};

// Parses exchange text with the regional date, time and decimal formats; `decimals` is the number of
// decimals of the values in the display lines (the current analyte's). Reading stops at the first
// zero byte. A line ends at a carriage return (line feeds right after it are skipped); when the text
// holds no carriage return at all, at a line feed. Text after the last line end is not taken. A line
// is taken when its first field is a date and at least one of fields 3 to 5 is a number.
TImportText ParseImportText(std::string_view text, int decimals);
