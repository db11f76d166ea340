// Reading the tab-separated exchange text (spreadsheet files, the clipboard) into runs for the import.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "UTypes.h"

// What an accepted line held, all its preview line needs beside the run.
struct TImportShape {
    uint8_t Fields = 0;    // the line's fields, counted up to 6
    bool TimeRead = false; // false when the time field was no time and noon was taken
    uint32_t Line = 0;     // the line's number in the text, from 1
};

// The runs of the accepted lines, what the preview shows of them, and a report of what was skipped.
struct TImportText {
    std::vector<TResu> Runs; // DateTime and the three levels filled; a level without a number is psEmpty
    std::vector<TImportShape> Shapes; // one per run
    int Decimals = 0;                 // of the values in the preview lines

    // One note per line that was skipped or only partly read, in line order ("line 7: 'abc' is not a
    // number for QC1"); blank lines get none. At most MaxNotes are kept, the others only counted.
    static constexpr size_t MaxNotes = 1000;
    std::vector<std::string> Notes;
    size_t NotesLeftOut = 0;
    size_t LinesRead = 0;    // lines that give a run with a value in the analyte's levels
    size_t LinesSkipped = 0; // lines with something in them that give none
    // When no line was read: why, with the date format and decimal mark expected; or why the whole text
    // was refused, no run kept (dates in the other order of day and month). Empty otherwise.
    std::string NothingRead;
    bool Refused = false;   // the whole text was refused although lines were readable
    bool Cancelled = false; // the reading was stopped by its progress callback: no run kept

    // The preview line of run i: date, tab, time, tab, then the texts of the value fields separated by
    // tabs, in the regional formats in force when it is called.
    std::string Line(size_t i) const { return ImportPreviewLine(Runs[i], Shapes[i], Decimals); }
    static std::string ImportPreviewLine(const TResu& run, TImportShape shape, int decimals);
};

// Parses exchange text with the regional date, time and decimal formats; `decimals` is the number of
// decimals of the values in the preview lines (the current analyte's). Reading stops at the first zero
// byte. Text in UTF-8 (with its byte order mark, or valid UTF-8 beyond ASCII) is read as Windows-1252
// text. A line ends at a carriage return (line feeds right after it are skipped); when the text holds
// no carriage return at all, at a line feed. Text after the last line end is not taken. A line is taken
// when its first field is a date and at least one of fields 3 to 5 is a number.
// Text written under another locale is read where it cannot be mistaken: an ISO date (yyyy-mm-dd) when
// the first field is no regional date, and a value written with the other decimal mark (a comma where
// a point is expected, or the reverse) when it holds that mark once and no other field read of the
// line holds that mark or a regional one, which rules out thousands separators.
// Dates are never read in part with day and month exchanged: when a line's date fits only the other
// order (MM/dd/yyyy where dd/MM/yyyy is expected, or the reverse), the whole text is refused, no run kept.
// Quoted fields lose their quotes. The field after the analyte's levels is the run's operator, the next
// its comment. A discarded value (written "Discarded", without its value) reads as no value.
// `levels` (the analyte's, 1 to 3) places the operator and comment and shapes the report: values of the
// levels beyond are noted as not taken, as the caller leaves them out. The runs keep them, as the preview
// shows them.
// A text larger than MaxImportBytes is refused whole; a line longer than MaxImportLineBytes is skipped
// with a note (its fields are not quoted). `progress`, when given, is told the bytes read and their
// total now and then; returning false stops the reading (Cancelled, no run kept).
inline constexpr size_t MaxImportBytes = size_t{256} << 20;
inline constexpr size_t MaxImportLineBytes = size_t{64} << 10;
TImportText ParseImportText(std::string_view text, int decimals, int levels = MaxLevels,
                            const std::function<bool(size_t done, size_t total)>& progress = {});
