// Results from the instruments: reading options as text, format detection, fingerprints and runs.
#include "UInstrument.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "UInbox.h"

#include "UInstrumentAstm.h"
#include "UInstrumentDelimited.h"
#include "UInstrumentHl7.h"
#include "UInstrumentText.h"
#include "UListener.h"
#include "UTexts.h"
#include "UUtilitaires.h"

using namespace instrument;

std::string FaultText(const TInstrumentFault& fault) {
    return fault.Line > 0
               ? Fill(QT_TRANSLATE_NOOP("Core", "line %1: %2"), std::to_string(fault.Line), fault.Reason)
               : fault.Reason;
}

// ---------------------------------------------------------------- reading options as text

namespace {

std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return out;
}

const char* SeparatorName(char c) {
    switch (c) {
    case '\t':
        return "tab";
    case ';':
        return "semicolon";
    case ',':
        return "comma";
    default:
        return "auto";
    }
}

bool YesNo(const std::string& key, const std::string& v) {
    if (v == "yes") return true;
    if (v == "no") return false;
    throw EQcError(
        Fill(QT_TRANSLATE_NOOP("Core", "Reading options: %1 must be yes or no, not \"%2\"."), key, v));
}

} // namespace

std::string TInstrumentSource::ToText() const {
    std::string prefixes, allow;
    for (const std::string& p : ControlPrefixes) prefixes += (prefixes.empty() ? "" : ",") + p;
    for (const std::string& a : Allow) allow += (allow.empty() ? "" : ",") + a;
    const std::pair<const char*, std::string> lines[] = {
        {"id", Id},
        {"encoding", Encoding},
        {"separator", SeparatorName(Separator)},
        {"header", HeaderLine ? "yes" : "no"},
        {"column.instrument", Columns.Instrument},
        {"column.test", Columns.TestCode},
        {"column.control", Columns.Control},
        {"column.level", Columns.Level},
        {"column.value", Columns.Value},
        {"column.date", Columns.Date},
        {"column.time", Columns.Time},
        {"column.operator", Columns.Operator},
        {"decimal", std::string(1, DecimalMark)},
        {"dateformat", DateFormat},
        {"astm.control", AstmControlField},
        {"astm.level", AstmLevelField},
        {"hl7.control", Hl7ControlField},
        {"hl7.level", Hl7LevelField},
        {"qc.prefixes", prefixes},
        {"qc.all", AllResultsAreQc ? "yes" : "no"},
        {"listen", Listen},
        {"protocol", Protocol},
        {"allow", allow},
        {"listen.maxbytes", std::to_string(ListenMaxBytes)},
        {"listen.connections", std::to_string(ListenConnections)},
        {"listen.idle", std::to_string(ListenIdleSeconds)},
        {"listen.capture", ListenCapture ? "yes" : "no"},
    };
    std::string out;
    for (const auto& [key, value] : lines) out += std::string(key) + "=" + OneLine(value) + "\n";
    return out;
}

TInstrumentSource TInstrumentSource::FromText(std::string_view text) {
    TInstrumentSource s;
    bool ended = false;
    for (const TPiece& line : SplitLines(text, 0, ended)) {
        size_t eq = line.Text.find('=');
        if (eq == std::string_view::npos) continue;
        std::string key = Trim(line.Text.substr(0, eq));
        std::string v = Trim(line.Text.substr(eq + 1));
        auto bad = [&]() {
            return EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Reading options: %1 cannot be \"%2\"."), key, v));
        };
        if (key == "id") {
            s.Id = v;
        } else if (key == "encoding") {
            if (v != "auto" && v != "utf-8" && v != "windows-1252") throw bad();
            s.Encoding = v;
        } else if (key == "separator") {
            if (v == "auto")
                s.Separator = 0;
            else if (v == "tab")
                s.Separator = '\t';
            else if (v == "semicolon")
                s.Separator = ';';
            else if (v == "comma")
                s.Separator = ',';
            else
                throw bad();
        } else if (key == "header") {
            s.HeaderLine = YesNo(key, v);
        } else if (key.starts_with("column.")) {
            std::string* target = nullptr;
            std::string name = key.substr(7);
            if (name == "instrument") target = &s.Columns.Instrument;
            if (name == "test") target = &s.Columns.TestCode;
            if (name == "control") target = &s.Columns.Control;
            if (name == "level") target = &s.Columns.Level;
            if (name == "value") target = &s.Columns.Value;
            if (name == "date") target = &s.Columns.Date;
            if (name == "time") target = &s.Columns.Time;
            if (name == "operator") target = &s.Columns.Operator;
            if (target) *target = v;
        } else if (key == "decimal") {
            if (v != "." && v != ",") throw bad();
            s.DecimalMark = v[0];
        } else if (key == "dateformat") {
            if (v.find('d') == std::string::npos || v.find('M') == std::string::npos ||
                v.find('y') == std::string::npos)
                throw bad();
            s.DateFormat = v;
        } else if (key == "astm.control" || key == "astm.level" || key == "hl7.control" ||
                   key == "hl7.level") {
            ParseFieldRef(v, QT_TRANSLATE_NOOP("Core", "Reading options: the field"));
            std::string& target = key == "astm.control"  ? s.AstmControlField
                                  : key == "astm.level"  ? s.AstmLevelField
                                  : key == "hl7.control" ? s.Hl7ControlField
                                                         : s.Hl7LevelField;
            target = v;
        } else if (key == "qc.prefixes") {
            s.ControlPrefixes.clear();
            for (std::string_view p : Split(v, ','))
                if (!Trim(p).empty()) s.ControlPrefixes.push_back(Trim(p));
        } else if (key == "qc.all") {
            s.AllResultsAreQc = YesNo(key, v);
        } else if (key == "listen") {
            if (!v.empty() && !ParseListenAddress(v)) throw bad();
            s.Listen = v;
        } else if (key == "protocol") {
            if (v != "mllp" && v != "astm") throw bad();
            s.Protocol = v;
        } else if (key == "allow") {
            s.Allow.clear();
            for (std::string_view p : Split(v, ','))
                if (std::string a = Trim(p); !a.empty()) {
                    if (!IsNumericAddress(a)) throw bad();
                    s.Allow.push_back(a);
                }
        } else if (key == "listen.capture") {
            s.ListenCapture = YesNo(key, v);
        } else if (key == "listen.maxbytes" || key == "listen.connections" || key == "listen.idle") {
            const bool bytes = key == "listen.maxbytes", idle = key == "listen.idle";
            const int low = bytes ? 64 : 1;
            const int high = bytes ? static_cast<int>(MaxInboxFileSize) : idle ? 86400 : 1000;
            int n = 0;
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
            if (ec != std::errc() || end != v.data() + v.size() || n < low || n > high) throw bad();
            (bytes ? s.ListenMaxBytes : idle ? s.ListenIdleSeconds : s.ListenConnections) = n;
        }
        // Keys of later versions are left for them.
    }
    return s;
}

// ---------------------------------------------------------------- detection and dispatch

namespace {

bool IsPunct(unsigned char c) {
    return c > ' ' && c < 0x7F && !std::isalnum(c);
}

bool StartsHl7Header(std::string_view line) {
    return line.size() >= 4 &&
           (line.starts_with("MSH") || line.starts_with("FHS") || line.starts_with("BHS")) &&
           IsPunct(static_cast<unsigned char>(line[3]));
}

// 'H' and four distinct delimiters.
bool StartsAstmHeader(std::string_view line) {
    if (line.size() < 5 || line[0] != 'H') return false;
    for (size_t i = 1; i < 5; ++i) {
        if (!IsPunct(static_cast<unsigned char>(line[i]))) return false;
        for (size_t k = 1; k < i; ++k)
            if (line[k] == line[i]) return false;
    }
    return true;
}

bool Upper(char c) {
    return c >= 'A' && c <= 'Z';
}

} // namespace

TInstrumentFormat DetectInstrumentFormat(std::string_view bytes) {
    if (std::optional<std::string> utf8 = Utf16ToUtf8(bytes)) return DetectInstrumentFormat(*utf8);
    size_t offset = 0;
    bytes = SkipBom(bytes, offset);
    size_t i = 0;
    // Line ends, blanks and the link characters of a captured ASTM session (ENQ, EOT, ACK, NAK).
    while (i < bytes.size() &&
           std::string_view("\r\n \x05\x04\x06\x15").find(bytes[i]) != std::string_view::npos)
        ++i;
    if (i == bytes.size())
        throw ETruncatedFile(TranslatedText(QT_TRANSLATE_NOOP("Core", "The file is empty.")));
    if (bytes[i] == '\x0B') return TInstrumentFormat::Hl7;
    if (bytes[i] == '\x02') return TInstrumentFormat::Astm;
    std::string_view line = bytes.substr(i);
    line = line.substr(0, line.find_first_of("\r\n"));
    if (StartsHl7Header(line)) return TInstrumentFormat::Hl7;
    // A header record with damaged delimiters is still ASTM: the reader names the fault.
    if (StartsAstmHeader(line) ||
        (line.size() >= 2 && line[0] == 'H' && IsPunct(static_cast<unsigned char>(line[1]))))
        return TInstrumentFormat::Astm;
    if (line.size() >= 2 && Upper(line[0]) && line[1] == '|')
        throw EQcError(QT_TRANSLATE_NOOP(
            "Core", "The file begins inside an ASTM message: its first record is not a header (H) record. "
                    "It may be the rest of a message split across files."));
    if (line.size() >= 4 && Upper(line[0]) &&
        (Upper(line[1]) || std::isdigit(static_cast<unsigned char>(line[1]))) &&
        (Upper(line[2]) || std::isdigit(static_cast<unsigned char>(line[2]))) && line[3] == '|')
        throw EQcError(QT_TRANSLATE_NOOP(
            "Core", "The file begins inside an HL7 message: its first segment is not a header (MSH). "
                    "It may be the rest of a message split across files."));
    if (line.find_first_of("\t;,") != std::string_view::npos) return TInstrumentFormat::Delimited;
    throw EQcError(QT_TRANSLATE_NOOP(
        "Core",
        "Unknown format: the file is neither delimited text (tab, semicolon or comma), ASTM nor HL7."));
}

TInstrumentBatch ReadInstrumentFile(std::string_view bytes, const TInstrumentSource& source,
                                    const TQcMapping& mapped) {
    if (std::optional<std::string> utf8 = Utf16ToUtf8(bytes)) {
        TInstrumentSource s = source;
        s.Encoding = "utf-8";
        TInstrumentBatch b = ReadInstrumentFile(*utf8, s, mapped);
        b.Fingerprint = InstrumentFingerprint(bytes, b.MessageIds);
        return b;
    }
    switch (DetectInstrumentFormat(bytes)) {
    case TInstrumentFormat::Astm:
        return ReadAstmText(bytes, source, mapped);
    case TInstrumentFormat::Hl7:
        return ReadHl7Text(bytes, source, mapped);
    case TInstrumentFormat::Delimited:
        break;
    }
    return ReadDelimitedText(bytes, source);
}

std::string SkippedText(const TInstrumentBatch& b) {
    std::string out;
    const int without = b.SkippedWithoutControl, other = b.Skipped - b.SkippedWithoutControl;
    if (without == 1)
        out = TranslatedText(QT_TRANSLATE_NOOP(
            "Core",
            "1 result has no control identification: patient result? set the source's control field"));
    else if (without > 1)
        out =
            Fill(QT_TRANSLATE_NOOP("Core", "%1 results have no control identification: patient results? set "
                                           "the source's control field"),
                 std::to_string(without));
    if (other > 0) {
        if (!out.empty()) out += "\n";
        out +=
            other == 1
                ? TranslatedText(QT_TRANSLATE_NOOP(
                      "Core", "1 result is not marked as QC and its control is not mapped: patient "
                              "result? map its control or set the source's QC options"))
                : Fill(QT_TRANSLATE_NOOP("Core", "%1 results are not marked as QC and their controls are not "
                                                 "mapped: patient results? map their controls or set the "
                                                 "source's QC options"),
                       std::to_string(other));
    }
    return out;
}

// ---------------------------------------------------------------- fingerprints

uint64_t Fnv1a64(std::string_view bytes, uint64_t hash) {
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

uint64_t InstrumentFingerprint(std::string_view bytes, const std::vector<std::string>& messageIds) {
    uint64_t h = Fnv1a64(bytes);
    for (const std::string& id : messageIds) h = Fnv1a64(std::string_view(id.c_str(), id.size() + 1), h);
    return h;
}

uint64_t ResultKey(const TInstrumentResult& r) {
    const std::string parts[] = {r.Source,    r.Instrument,
                                 r.MessageId, r.TestCode,
                                 r.Control,   std::to_string(r.Level),
                                 r.ValueText, std::to_string(std::llround(r.DateTime * 86400000.0))};
    uint64_t h = Fnv1a64("");
    for (const std::string& p : parts) h = Fnv1a64(std::string_view(p.c_str(), p.size() + 1), h);
    return h;
}

// ---------------------------------------------------------------- runs

TRunGrouping GroupInstrumentRuns(const std::vector<TInstrumentResult>& results, const TResultMapper& mapper,
                                 double windowMinutes) {
    TRunGrouping out;
    struct TItem {
        size_t Index;
        int Level;
    };
    std::map<std::pair<std::string, std::string>, std::vector<TItem>> byAnalyte;
    for (size_t i = 0; i < results.size(); ++i) {
        const TInstrumentResult& r = results[i];
        std::optional<TMappedResult> m = mapper(r);
        if (!m) {
            out.NotMapped.push_back(i);
            continue;
        }
        int level = m->Level > 0 ? m->Level : r.Level;
        int levels = std::clamp(m->NbLevels, 1, MaxLevels);
        if (level < 1 || level > levels) {
            out.Faults.push_back(
                {r.Line, level == 0
                             ? Fill(QT_TRANSLATE_NOOP("Core", "no level given for %1"), m->Analyte)
                             : Fill(levels == 1 ? QT_TRANSLATE_NOOP("Core", "level %1: %2 has %3 level")
                                                : QT_TRANSLATE_NOOP("Core", "level %1: %2 has %3 levels"),
                                    std::to_string(level), m->Analyte, std::to_string(levels))});
            continue;
        }
        byAnalyte[{r.Source, m->Analyte}].push_back({i, level});
    }
    const long long window = std::llround(windowMinutes * 60000.0);
    auto ms = [](TDateTime t) { return std::llround(t * 86400000.0); };
    for (auto& [key, items] : byAnalyte) {
        std::stable_sort(items.begin(), items.end(), [&](const TItem& a, const TItem& b) {
            return results[a.Index].DateTime < results[b.Index].DateTime;
        });
        TInstrumentRun* run = nullptr;
        for (const TItem& item : items) {
            const TInstrumentResult& r = results[item.Index];
            const size_t slot = static_cast<size_t>(item.Level - 1);
            if (!run || ms(r.DateTime) - ms(run->Run.DateTime) > window ||
                run->Run.Levels[slot].State != psEmpty) {
                out.Runs.push_back({});
                run = &out.Runs.back();
                run->Run.DateTime = r.DateTime;
                run->Run.AnalyteName = key.second;
                run->Source = key.first;
            }
            run->Run.Levels[slot] = {static_cast<float>(r.Value), psInControl};
            if (run->Run.Operator.empty()) run->Run.Operator = r.Operator;
            run->Results.push_back(item.Index);
        }
    }
    std::stable_sort(out.Runs.begin(), out.Runs.end(), [](const TInstrumentRun& a, const TInstrumentRun& b) {
        return a.Run.DateTime < b.Run.DateTime;
    });
    return out;
}
