// Results from the instruments: the common result record, a source's reading options, format detection,
// the file fingerprint and the grouping of mapped results into runs.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "UPatientQc.h"
#include "UQcError.h"
#include "UTypes.h"

enum class TInstrumentFormat { Delimited, Astm, Hl7 };

// One result as an instrument file gives it, before any mapping. Text is Windows-1252, control
// characters blanked, surrounding spaces trimmed.
struct TInstrumentResult {
    std::string Source;     // the source's id (TInstrumentSource::Id)
    std::string Instrument; // the analyser's identification, when the file gives one
    std::string TestCode;
    std::string Control;   // control material or lot identification
    int Level = 0;         // the level the file gives (first number of the level field), 0 when none
    std::string ValueText; // the value as written
    double Value = 0;      // ValueText read as a number: always finite, within float range
    std::string Units;
    TDateTime DateTime = 0;
    std::string Operator;
    std::string Comment;   // comment records or segments that follow the result
    std::string MessageId; // ASTM H-3 / HL7 MSH-10 of the result's message; empty for delimited text
    int Line = 0;          // line of the result's record in the file (CR, LF and CRLF each end a line)
    // The analyser's own limits for the control, as "target 5.4, SD 0.12" or "range 4.5^6.0"; kept in
    // the run's note, never used to judge.
    std::string AnalyserLimits;
};

// A fault of one line, record or segment; Line 0 when it concerns no line in particular.
struct TInstrumentFault {
    int Line = 0;
    std::string Reason;
};
// "line 12: value "<0.5" is not a number", as the failed file's reason names it.
std::string FaultText(const TInstrumentFault& fault);

// What a file gave. A result with a fault is not in Results; its fault names its line.
// A result left out as a patient's, as a patient-QC stream may keep it: its test code, value, time and
// instrument only, nothing that names the patient or the sample.
struct TPatientObservation {
    std::string TestCode;
    TPatientReading Reading;
};

struct TInstrumentBatch {
    TInstrumentFormat Format = TInstrumentFormat::Delimited;
    std::vector<TInstrumentResult> Results;
    std::vector<TInstrumentFault> Faults;
    std::vector<std::string> MessageIds;       // control ids of the messages read, in file order
    int Skipped = 0;                           // results the file does not mark as QC (patient samples)
    int SkippedWithoutControl = 0;             // of them, those with no control identification at all
    std::vector<TPatientObservation> Patients; // of them, those with a test code and a date-time
    uint64_t Fingerprint = 0;                  // InstrumentFingerprint of the file's bytes
};

// A file that ends inside a message (or before its last line is whole): it may still be being
// written, or the rest of the message comes in a later file. The caller leaves it waiting.
class ETruncatedFile : public EQcError {
public:
    explicit ETruncatedFile(const std::string& message) : EQcError(message) {}
};

// How one source's files are read; persisted by the store as ToText().
struct TInstrumentSource {
    std::string Id;
    std::string Encoding = "auto"; // auto, utf-8 or windows-1252

    // Delimited text. Columns are 1-based numbers or, with a header line, column names (any case);
    // empty when the file has no such column. Test code, value and date are required.
    char Separator = 0; // '\t', ';' or ','; 0: the most frequent of them in the first line
    bool HeaderLine = true;
    struct TColumns {
        std::string Instrument, TestCode, Control, Level, Value, Date, Time, Operator;
        bool operator==(const TColumns&) const = default;
    } Columns;
    char DecimalMark = '.';
    std::string DateFormat = "yyyy-MM-dd"; // TRegional pattern; the date column may also hold the time

    // ASTM and HL7: where the control identification and the level stand, as "O-3", "OBR-3.1" or
    // "SPM-2.1.1" (record or segment, field, component, subcomponent). In OUL messages the INV segment
    // gives the lot (INV-16, else INV-1.1); the HL7 field serves messages without INV.
    std::string AstmControlField = "O-3";
    std::string AstmLevelField;
    std::string Hl7ControlField = "OBR-3.1";
    std::string Hl7LevelField;
    // A result is QC when its message marks it so (ASTM O-12 or H-12 "Q", HL7 SPM-11 "Q"), when its
    // control identification starts with one of these prefixes, or when every result is taken as QC.
    // Delimited text is always QC.
    std::vector<std::string> ControlPrefixes;
    bool AllResultsAreQc = false;

    // A live connection beside the folder: "HOST:PORT" ("[ADDR]:PORT" for IPv6; a port alone listens on
    // 127.0.0.1), empty for none. Each message received is read as a file of this source.
    std::string Listen;
    std::string Protocol = "mllp";  // mllp: HL7 in MLLP blocks; astm: ASTM in E1381 frames
    std::vector<std::string> Allow; // numeric addresses of the peers allowed; empty: every peer
    int ListenMaxBytes = 1048576;   // a message larger than this is refused and its connection closed
    int ListenConnections = 8;      // connections at once; more are closed at once
    int ListenIdleSeconds = 60;     // a connection silent this long is closed
    bool ListenCapture = false;     // every byte each connection sends kept as it came (TConnectionCaptures)

    // Lines "key=value"; FromText ignores unknown keys and throws EQcError for a bad value.
    std::string ToText() const;
    static TInstrumentSource FromText(std::string_view text);
    bool operator==(const TInstrumentSource&) const = default;
};

// Whether the laboratory mapped the result's (source, test code, control): such a result is QC whatever
// its message says. Asked of results the message does not mark as QC; empty: none is mapped.
using TQcMapping = std::function<bool(const TInstrumentResult&)>;

// Why results were left out as patient results ("14 results have no control identification: ..."),
// one sentence a line; empty when none was.
std::string SkippedText(const TInstrumentBatch& batch);

// The format by content; EQcError for an unknown format or a file that begins inside a message,
// ETruncatedFile for an empty file.
TInstrumentFormat DetectInstrumentFormat(std::string_view bytes);
// Detects the format and reads the file with the matching reader (UTF-16 with a byte order mark is
// read as its UTF-8 text). Throws as the readers do.
TInstrumentBatch ReadInstrumentFile(std::string_view bytes, const TInstrumentSource& source,
                                    const TQcMapping& mapped = {});

// FNV-1a, 64 bits: a stable hash for recognising a file or a result seen before (not a defence
// against a forger).
uint64_t Fnv1a64(std::string_view bytes, uint64_t hash = 0xcbf29ce484222325ULL);
// The file's fingerprint: FNV-1a 64 over its bytes followed by each message control id and a zero byte.
uint64_t InstrumentFingerprint(std::string_view bytes, const std::vector<std::string>& messageIds);
// A result's identity across files: FNV-1a 64 over source, instrument, message id, test code, control,
// level, value text and date-time to the millisecond, each followed by a zero byte.
uint64_t ResultKey(const TInstrumentResult& result);

// What the store's mapping says of a result: the analyte, its level and the analyte's number of levels.
// Level 0 takes the level the file gives.
struct TMappedResult {
    std::string Analyte;
    int Level = 0;
    int NbLevels = 1;
};
using TResultMapper = std::function<std::optional<TMappedResult>(const TInstrumentResult&)>;

struct TInstrumentRun {
    TResu Run; // at the first result's date-time, operator of the first result that names one
    std::string Source;
    std::vector<size_t> Results; // indices into the grouped results
};
struct TRunGrouping {
    std::vector<TInstrumentRun> Runs;
    std::vector<size_t> NotMapped;
    std::vector<TInstrumentFault> Faults; // a level the analyte does not have
};

// Results of one analyte from one source form one run while they fall within `windowMinutes` of the
// run's first result and each level has one value; a second value of a level starts the next run.
TRunGrouping GroupInstrumentRuns(const std::vector<TInstrumentResult>& results, const TResultMapper& mapper,
                                 double windowMinutes = 10);
