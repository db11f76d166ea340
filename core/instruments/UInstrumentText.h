// Pieces the instrument readers share: line numbers, text encodings, escapes, field references, dates.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "UInstrument.h"

namespace instrument {

// Line numbers of byte offsets; CR, LF and CRLF each end a line.
class TLineIndex {
public:
    explicit TLineIndex(std::string_view bytes);
    int LineOf(size_t offset) const;

private:
    std::vector<size_t> starts_;
};

// A piece of the buffer with the offset where it starts.
struct TPiece {
    std::string_view Text;
    size_t Offset = 0;
};
// Cuts at CR, LF and CRLF; a piece after the last line end is kept. `ended` tells whether the buffer
// ends with a line end.
std::vector<TPiece> SplitLines(std::string_view bytes, size_t offset, bool& ended);

enum class TEncoding { Cp1252, Utf8 };
// The setting ("utf-8", "windows-1252") or, for "auto", UTF-8 when the bytes carry a byte order mark
// or are valid UTF-8 with at least one multi-byte character.
TEncoding ChooseEncoding(std::string_view bytes, const std::string& setting);
bool IsValidUtf8(std::string_view bytes);
std::string_view SkipBom(std::string_view bytes, size_t& offset);
// UTF-16 with a byte order mark as UTF-8; nothing for other text.
std::optional<std::string> Utf16ToUtf8(std::string_view bytes);

// A field's text as results keep it: Windows-1252, control characters blanked (no field may forge a
// line), surrounding spaces trimmed.
std::string CleanText(std::string_view text, TEncoding encoding);

struct TDelimiters {
    char Field = '|', Repeat = '\\', Component = '^', Escape = '&', Sub = 0; // Sub 0: none
};
// Resolves escape sequences: F, S, R, E (and T for subcomponents), X with hex digits; others (formatting,
// character sets) are dropped; an escape without its closing character stays as it is.
std::string Unescape(std::string_view text, const TDelimiters& d);

// Cuts at every `sep`; k separators give k + 1 pieces.
std::vector<std::string_view> Split(std::string_view text, char sep);

// A record or segment cut into fields.
class TRecord {
public:
    // `shifted`: the first piece is field 1 (ASTM records, where the type is field 1; HL7 MSH, FHS and BHS,
    // where the field separator itself is field 1); otherwise the first piece is the segment name, field 0.
    TRecord(std::string_view text, const TDelimiters& d, bool shifted);
    std::string_view Name() const { return fields_.empty() ? std::string_view() : fields_[0]; }
    // Field n as the standard numbers it; empty when absent.
    std::string_view Field(int n) const;
    // Component c (1-based, 0 for the whole first repetition) and subcomponent s (0 for all) of the
    // field's first repetition, escapes resolved, cleaned.
    std::string Text(int field, int component, int sub, TEncoding enc) const;
    // The components of the field's first repetition, each as Text gives it, joined by `joint`.
    std::string Joined(int field, char joint, TEncoding enc) const;

private:
    std::vector<std::string_view> fields_;
    TDelimiters d_;
    int shift_ = 0;
};

// "O-3", "OBR-3.1", "SPM-2.1.1": record type or segment name, field, component, subcomponent.
struct TFieldRef {
    std::string Name;
    int Field = 0, Component = 0, Sub = 0;
};
// Nothing for an empty text; EQcError naming `what` for a malformed one.
std::optional<TFieldRef> ParseFieldRef(std::string_view text, const char* what);

// YYYYMMDD[HH[MM[SS[.s...]]]][+/-ZZZZ] as ASTM and HL7 write date-times; the zone is not applied
// (the laboratory's own clock).
std::optional<TDateTime> ReadCompactDateTime(std::string_view text);
// A finite number within float range written with `mark`; otherwise a reason.
bool ReadValue(std::string_view text, char mark, double& value, std::string& reason);
// The first number in a text ("2", "L2", "Level 2"), 0 when none.
int LevelOf(std::string_view text);
// Whether the result is QC by the source's prefixes or its take-all option.
bool QcByOptions(const TInstrumentSource& source, const std::string& control);
// Results of one message left out as patient results.
struct TSkips {
    int All = 0, WithoutControl = 0;
    void AddTo(TInstrumentBatch& batch) const {
        batch.Skipped += All;
        batch.SkippedWithoutControl += WithoutControl;
    }
};
// Whether a result (source, test code and control set) is QC: `marked` so by its message, by the
// source's options or by the laboratory's mapping. A result that is not is counted in `skips`.
bool TakeAsQc(bool marked, const TInstrumentResult& result, const TInstrumentSource& source,
              const TQcMapping& mapped, TSkips& skips);
// A patient result for the patient-QC streams, when its date-time can be read. `status` is the
// analyser's result status: X (cannot be done), W (wrong) and D (deleted) flag the value.
void KeepPatient(TInstrumentBatch& batch, const std::string& code, const std::string& value,
                 const std::string& when, const std::string& instrument, const std::string& status);
// The checks every ASTM and HL7 result passes: a test code, a number, a date-time (`when` as the
// message writes it). Sets Value and DateTime, or gives the reasons, "; "-joined.
bool CheckResult(TInstrumentResult& result, const std::string& when, std::string& reasons);
// Appends a comment's text after a blank; a result keeps at most MaxComment characters of comments.
constexpr size_t MaxComment = 1000;
void AppendComment(std::string& comment, const std::string& text);
// What one instrument file may hold: beyond it the file is refused (EQcError naming the line and the
// cap, never the content), so that a hostile file costs bounded time and memory.
constexpr size_t MaxFieldBytes = 64 * 1024;
constexpr size_t MaxMessageBytes = 16 * 1024 * 1024;
constexpr size_t MaxMessageResults = 100000; // results (HL7 OBX, ASTM R) in one message
// Results (QC and patients' kept) in one file: an inbox pass holds what it reads in memory.
constexpr size_t MaxFileResults = 250000;
// Throws when a field of the record (fields cut at `sep`) is longer than MaxFieldBytes.
void CheckFieldSizes(std::string_view record, char sep, int line);
// Throws when the message begun at `line` has grown beyond MaxMessageBytes or MaxMessageResults.
void CheckMessageSize(size_t bytes, size_t results, int line);
// Throws when the batch has reached MaxFileResults and `more` results are to join it.
void CheckFileResults(const TInstrumentBatch& batch, size_t more = 1);
// Quotes a text for a reason: "<text>", cut after 40 characters.
std::string Quoted(std::string_view text);

} // namespace instrument
