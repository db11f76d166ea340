// Reading HL7 v2.5.1 result messages (OUL^R22, ORU^R01), with or without MLLP framing.
#include "UInstrumentHl7.h"

#include <map>

#include "UInstrumentText.h"
#include "UTexts.h"
#include "UUtilitaires.h"

using namespace instrument;

namespace {

constexpr char VT = '\x0B', FS = '\x1C';

struct TSegment {
    std::string_view Name;
    TRecord Fields;
    int Line;
};

bool SegmentName(std::string_view t, char sep) {
    auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return t.size() >= 3 && upper(t[0]) && (upper(t[1]) || digit(t[1])) && (upper(t[2]) || digit(t[2])) &&
           (t.size() == 3 || t[3] == sep);
}

// Segments an analyser glued together without their CR: a known segment's name and the field separator
// start a segment of its own where that segment can begin: a header with the message's delimiters, a
// segment numbered by its first field with that number, and the other known ones after a field of the
// segment before.
std::vector<TPiece> Unglue(const TPiece& p, std::string_view delimiters) {
    const std::string_view t = p.Text;
    const char sep = delimiters[0];
    auto numbered = [&](size_t k) {
        size_t j = k + 4;
        while (j < t.size() && j < k + 8 && t[j] >= '0' && t[j] <= '9') ++j;
        const bool glued = j + 3 < t.size() && t[j] >= 'A' && t[j] <= 'Z' && t[j + 3] == sep;
        return j > k + 4 && (j == t.size() || t[j] == sep || glued);
    };
    auto starts = [&](size_t k) {
        const std::string_view name = t.substr(k, 3);
        if (name == "MSH") return t.substr(k + 3, delimiters.size()) == delimiters;
        for (std::string_view n : {"PID", "PV1", "OBR", "OBX", "NTE", "SPM", "TQ1", "NK1"})
            if (name == n) return numbered(k);
        for (std::string_view n : {"ORC", "INV", "EQU", "SAC", "PD1", "PV2", "TCD"})
            if (name == n) return delimiters.substr(1).find(t[k - 1]) == std::string_view::npos;
        return false;
    };
    std::vector<TPiece> out;
    size_t from = 0;
    for (size_t k = 1; k + 3 < t.size(); ++k)
        if (t[k + 3] == sep && starts(k)) {
            out.push_back({t.substr(from, k - from), p.Offset + from});
            from = k;
        }
    out.push_back({t.substr(from), p.Offset + from});
    return out;
}

// What an observation is: a value to read as a result, the analyser's supplemental information on the
// result (its control target and SD, IHE LAW "Other Supplemental"), or something else: a coded
// value, a time, an identifier, text.
enum class TObservation { Value, Supplemental, Other };

TObservation KindOf(const TRecord& obx, TEncoding enc) {
    for (int c = 1; c <= 6; ++c) {
        const std::string part = UpperCase(obx.Text(3, c, 0, enc));
        if (part.find("SUPPLEMENTAL") != std::string::npos || part.starts_with("QC_TARGET") ||
            part.starts_with("QC_SD"))
            return TObservation::Supplemental;
    }
    const std::string type = UpperCase(obx.Text(2, 1, 0, enc));
    // An observation with neither type nor value only accompanies the others.
    if (type.empty() && Trim(obx.Field(5)).empty()) return TObservation::Other;
    if (type.empty() || type == "NM" || type == "SN") return TObservation::Value;
    if (type == "ST") {
        // Text is a result only when it holds a number alone.
        double v = 0;
        std::string why;
        return ReadValue(obx.Text(5, 1, 0, enc), '.', v, why) ? TObservation::Value : TObservation::Other;
    }
    return TObservation::Other;
}

// "target 5.4" for QC_TARGET, "SD 0.12" for QC_SD_RANGE, else the observation's code and value.
std::string SupplementalText(const TRecord& obx, TEncoding enc) {
    const std::string code = obx.Text(3, 1, 0, enc), value = obx.Text(5, 0, 0, enc);
    if (value.empty()) return {};
    const std::string upper = UpperCase(code);
    const std::string name = upper.starts_with("QC_TARGET") ? "target"
                             : upper.starts_with("QC_SD")   ? "SD"
                                                            : code;
    return name + " " + value;
}

bool IsBatchSegment(std::string_view name) {
    return name == "FHS" || name == "BHS" || name == "BTS" || name == "FTS";
}

// The delimiters an MSH segment defines; nothing when they are missing or not distinct punctuation.
std::optional<TDelimiters> HeaderDelimiters(std::string_view t) {
    if (t.size() < 7) return std::nullopt;
    TDelimiters d;
    d.Field = t[3];
    size_t end = t.find(d.Field, 4);
    std::string_view enc = t.substr(4, end == std::string_view::npos ? std::string_view::npos : end - 4);
    if (enc.size() < 3) return std::nullopt;
    enc = enc.substr(0, 4); // a fifth character (truncation, v2.7) is not used here
    std::string all = std::string(1, d.Field) + std::string(enc);
    for (size_t a = 0; a < all.size(); ++a) {
        unsigned char c = static_cast<unsigned char>(all[a]);
        if (c <= ' ' || c >= 0x7F || std::isalnum(c)) return std::nullopt;
        for (size_t b = 0; b < a; ++b)
            if (all[a] == all[b]) return std::nullopt;
    }
    d.Component = enc[0];
    d.Repeat = enc[1];
    d.Escape = enc[2];
    d.Sub = enc.size() > 3 ? enc[3] : 0;
    return d;
}

struct TMessage {
    std::vector<TSegment> Segments; // MSH first
    bool Damaged = false;
};

class TReader {
public:
    TReader(const TInstrumentSource& source, const TQcMapping& mapped, TEncoding fileEncoding,
            TInstrumentBatch& batch)
        : source_(source), mapped_(mapped), fileEncoding_(fileEncoding), batch_(batch),
          controlRef_(ParseFieldRef(source.Hl7ControlField,
                                    QT_TRANSLATE_NOOP("Core", "The source's HL7 control field"))),
          levelRef_(ParseFieldRef(source.Hl7LevelField,
                                  QT_TRANSLATE_NOOP("Core", "The source's HL7 level field"))) {}

    void Read(const TMessage& m);

private:
    void EnterGroup(const TMessage& m, size_t from, size_t scan, bool oul);
    const TSegment* Find(const TMessage& m, const std::string& name);
    std::string Pick(const TMessage& m, const std::optional<TFieldRef>& ref, size_t obx, size_t obr);

    const TInstrumentSource& source_;
    const TQcMapping& mapped_;
    TEncoding fileEncoding_;
    TEncoding enc_ = TEncoding::Cp1252;
    TInstrumentBatch& batch_;
    std::optional<TFieldRef> controlRef_, levelRef_;
    // The group of segments that describe the current result, and the lookups made in it (a group may
    // hold thousands of results).
    size_t from_ = 0, to_ = 0;
    std::map<std::string, const TSegment*> found_;
};

// The specimen (OUL) or the order (ORU) that begins at `from`; it ends before the next one, looked for
// after `scan` (the order's OBR).
void TReader::EnterGroup(const TMessage& m, size_t from, size_t scan, bool oul) {
    if (from == from_ && to_ > from_) return;
    from_ = from;
    to_ = scan + 1;
    found_.clear();
    const size_t n = m.Segments.size();
    auto ends = [&](std::string_view name) {
        return oul ? name == "SPM" : name == "OBR" || name == "ORC" || name == "PID";
    };
    while (to_ < n && !ends(m.Segments[to_].Name)) ++to_;
}

// The first segment `name` of the group, else the last one before it (PID, MSH).
const TSegment* TReader::Find(const TMessage& m, const std::string& name) {
    auto it = found_.find(name);
    if (it != found_.end()) return it->second;
    const TSegment* s = nullptr;
    for (size_t k = from_; k < to_ && !s; ++k)
        if (m.Segments[k].Name == name) s = &m.Segments[k];
    for (size_t k = from_; k-- > 0 && !s;)
        if (m.Segments[k].Name == name) s = &m.Segments[k];
    return found_[name] = s;
}

std::string TReader::Pick(const TMessage& m, const std::optional<TFieldRef>& ref, size_t obx, size_t obr) {
    if (!ref) return {};
    const TSegment* s = ref->Name == "OBX"   ? &m.Segments[obx]
                        : ref->Name == "OBR" ? &m.Segments[obr]
                                             : Find(m, ref->Name);
    return s ? s->Fields.Text(ref->Field, ref->Component, ref->Sub, enc_) : std::string();
}

void TReader::Read(const TMessage& m) {
    const TRecord& msh = m.Segments[0].Fields;
    enc_ = fileEncoding_;
    if (source_.Encoding == "auto") {
        std::string charset = UpperCase(msh.Text(18, 1, 0, TEncoding::Cp1252));
        if (charset.find("UTF-8") != std::string::npos) enc_ = TEncoding::Utf8;
        if (charset.find("8859") != std::string::npos || charset == "ASCII") enc_ = TEncoding::Cp1252;
    }
    const std::string type = msh.Text(9, 1, 0, enc_);
    const std::string id = msh.Text(10, 0, 0, enc_);
    if (!id.empty()) batch_.MessageIds.push_back(id);
    if (type != "ORU" && type != "OUL") return; // acknowledgements, queries: no results
    const bool oul = type == "OUL";
    from_ = to_ = 0;

    std::vector<TInstrumentResult> results;
    std::vector<size_t> orderOf;          // the OBR of each result
    std::map<size_t, std::string> limits; // the analyser's limits given in an order
    TSkips skips;
    std::optional<size_t> lastObr, lastSpm;
    const size_t n = m.Segments.size();
    for (size_t i = 1; i < n; ++i) {
        const TSegment& seg = m.Segments[i];
        if (seg.Name == "OBR") lastObr = i;
        if (seg.Name == "SPM") lastSpm = i;
        if (seg.Name != "OBX") continue;
        if (!lastObr) {
            if (!lastSpm)
                batch_.Faults.push_back({seg.Line, TranslatedText(QT_TRANSLATE_NOOP(
                                                       "Core", "observation (OBX) outside an order (OBR)"))});
            continue;
        }
        if (lastSpm && *lastSpm > *lastObr) continue; // an observation on the specimen, not a result
        const TRecord& obx = seg.Fields;
        const TObservation kind = KindOf(obx, enc_);
        if (kind == TObservation::Supplemental) {
            if (std::string t = SupplementalText(obx, enc_); !t.empty()) {
                std::string& l = limits[*lastObr];
                l += (l.empty() ? "" : ", ") + t;
            }
            continue;
        }
        if (kind == TObservation::Other) continue;

        // The group whose segments describe this result: the specimen (OUL) or the order (ORU).
        if (oul) {
            EnterGroup(m, lastSpm ? *lastSpm : 1, lastSpm ? *lastSpm : 1, true);
        } else {
            size_t from = *lastObr;
            if (from > 1 && m.Segments[from - 1].Name == "ORC") --from;
            EnterGroup(m, from, *lastObr, false);
        }
        const TRecord& obr = m.Segments[*lastObr].Fields;
        TInstrumentResult r;
        r.Source = source_.Id;
        r.MessageId = id;
        r.Line = seg.Line;
        if (oul) {
            if (const TSegment* inv = Find(m, "INV")) {
                r.Control = inv->Fields.Text(16, 0, 0, enc_);
                if (r.Control.empty()) r.Control = inv->Fields.Text(1, 1, 0, enc_);
            }
        }
        if (r.Control.empty()) r.Control = Pick(m, controlRef_, i, *lastObr);
        const TSegment* spm = Find(m, "SPM");
        r.TestCode = obx.Text(3, 1, 0, enc_);
        if (obx.Text(2, 1, 0, enc_) == "SN") {
            // Structured numeric: comparator ^ number ^ separator ^ number; only "=5.4" or "5.4" is a value.
            std::string comparator = obx.Text(5, 1, 0, enc_);
            r.ValueText = (comparator == "=" ? "" : comparator) + obx.Text(5, 2, 0, enc_) +
                          obx.Text(5, 3, 0, enc_) + obx.Text(5, 4, 0, enc_);
        } else {
            r.ValueText = obx.Text(5, 1, 0, enc_);
        }
        r.Instrument = obx.Text(18, 1, 0, enc_);
        if (r.Instrument.empty())
            if (const TSegment* equ = Find(m, "EQU")) r.Instrument = equ->Fields.Text(1, 1, 0, enc_);
        if (r.Instrument.empty()) r.Instrument = msh.Text(3, 1, 0, enc_);
        std::string when;
        for (std::string t : {obx.Text(14, 1, 0, enc_), obx.Text(19, 1, 0, enc_), obr.Text(7, 1, 0, enc_)})
            if (when.empty()) when = t;
        if (!TakeAsQc(spm && spm->Fields.Text(11, 1, 0, enc_) == "Q", r, source_, mapped_, skips)) {
            KeepPatient(batch_, r.TestCode, r.ValueText, when, r.Instrument, obx.Text(11, 1, 0, enc_));
            continue;
        }
        r.Units = obx.Text(6, 1, 0, enc_);
        if (std::string range = obx.Text(7, 0, 0, enc_); !range.empty()) r.AnalyserLimits = "range " + range;
        r.Operator = obx.Text(16, 1, 0, enc_);
        if (r.Operator.empty()) r.Operator = obx.Text(16, 2, 0, enc_);
        r.Level = LevelOf(Pick(m, levelRef_, i, *lastObr));
        for (size_t k = i + 1; k < n && m.Segments[k].Name == "NTE"; ++k)
            AppendComment(r.Comment, m.Segments[k].Fields.Joined(3, ' ', enc_));

        if (std::string reasons; !CheckResult(r, when, reasons)) {
            batch_.Faults.push_back({r.Line, reasons});
            continue;
        }
        results.push_back(std::move(r));
        orderOf.push_back(*lastObr);
    }
    for (size_t k = 0; k < results.size(); ++k)
        if (auto it = limits.find(orderOf[k]); it != limits.end())
            results[k].AnalyserLimits =
                it->second + (results[k].AnalyserLimits.empty() ? "" : ", ") + results[k].AnalyserLimits;
    if (m.Damaged) return;
    instrument::CheckFileResults(batch_, results.size());
    for (TInstrumentResult& r : results) batch_.Results.push_back(std::move(r));
    skips.AddTo(batch_);
}

} // namespace

TInstrumentBatch ReadHl7Text(std::string_view bytes, const TInstrumentSource& source,
                             const TQcMapping& mapped) {
    TInstrumentBatch batch;
    batch.Format = TInstrumentFormat::Hl7;
    TReader reader(source, mapped, ChooseEncoding(bytes, source.Encoding), batch);
    const TLineIndex index(bytes);
    size_t offset = 0;
    std::string_view body = SkipBom(bytes, offset);

    // The segments of every block: MLLP blocks when the file has them, else the whole file.
    std::vector<TPiece> segments;
    std::vector<int> blocks; // the block of each segment: a block holds one message
    // Whether the block's last segment lacks its terminator.
    auto addBlock = [&](std::string_view block, size_t at) {
        bool ended = false;
        std::vector<TPiece> pieces = SplitLines(block, at, ended);
        const int number = blocks.empty() ? 0 : blocks.back() + 1;
        // The header's delimiters (field separator and encoding characters) tell glued segments apart.
        std::string_view delimiters;
        for (const TPiece& p : pieces) {
            if (Trim(p.Text).empty()) continue;
            if (p.Text.starts_with("MSH") && p.Text.size() > 8) delimiters = p.Text.substr(3, 5);
            for (const TPiece& q : delimiters.empty() ? std::vector<TPiece>{p} : Unglue(p, delimiters)) {
                if (q.Text.starts_with("MSH") && q.Text.size() > 8) delimiters = q.Text.substr(3, 5);
                segments.push_back(q);
                blocks.push_back(number);
            }
        }
        return !ended && !Trim(pieces.back().Text).empty();
    };
    // Text between blocks would be lost without a word.
    auto outside = [&](size_t from, size_t to) {
        std::string_view gap = body.substr(from, to - from);
        size_t k = gap.find_first_not_of(" \r\n\t");
        if (k != std::string_view::npos)
            batch.Faults.push_back(
                {index.LineOf(offset + from + k),
                 TranslatedText(QT_TRANSLATE_NOOP("Core", "text outside the MLLP blocks is not read"))});
    };
    if (body.find(VT) != std::string_view::npos) {
        size_t last = 0;
        for (size_t i = 0; (i = body.find(VT, i)) != std::string_view::npos;) {
            outside(last, i);
            size_t end = body.find(FS, i + 1);
            if (end == std::string_view::npos)
                throw ETruncatedFile(
                    Fill(QT_TRANSLATE_NOOP("Core", "The MLLP block at line %1 is not closed: the "
                                                   "rest of the message may come in a later file."),
                         std::to_string(index.LineOf(offset + i))));
            // The block ends at FS; a VT before it starts another block, leaving this one cut short.
            size_t next = body.find(VT, i + 1);
            if (next < end) {
                batch.Faults.push_back(
                    {index.LineOf(offset + i),
                     TranslatedText(QT_TRANSLATE_NOOP("Core", "MLLP block is not closed before the "
                                                              "next one; its message is left out"))});
                i = last = next;
                continue;
            }
            addBlock(body.substr(i + 1, end - i - 1), offset + i + 1);
            i = last = end + 1;
        }
        outside(last, body.size());
    } else if (addBlock(body, offset)) {
        throw ETruncatedFile(
            Fill(QT_TRANSLATE_NOOP("Core", "The last segment (line %1) has no terminator: the file "
                                           "may still be being written."),
                 std::to_string(index.LineOf(segments.back().Offset))));
    }

    std::optional<TMessage> message;
    std::optional<TDelimiters> d;
    bool skipping = false;
    // The open message: where it began, and its observations.
    size_t messageStart = 0, observations = 0;
    int messageLine = 0;
    for (size_t k = 0; k < segments.size(); ++k) {
        const TPiece& p = segments[k];
        const int line = index.LineOf(p.Offset);
        std::string_view t = p.Text;
        CheckFieldSizes(t, d ? d->Field : '|', line);
        if (k > 0 && blocks[k] != blocks[k - 1]) {
            if (message) reader.Read(*message);
            message.reset();
            skipping = false;
        }
        if (t.starts_with("MSH")) {
            if (message) reader.Read(*message);
            message.reset();
            d = HeaderDelimiters(t);
            skipping = !d;
            if (!d) {
                batch.Faults.push_back(
                    {line,
                     TranslatedText(QT_TRANSLATE_NOOP(
                         "Core", "message header (MSH) has no valid delimiters; its message is left out"))});
                continue;
            }
            message.emplace();
            message->Segments.push_back({t.substr(0, 3), TRecord(t, *d, true), line});
            messageStart = p.Offset;
            messageLine = line;
            observations = 0;
            continue;
        }
        const char sep = d ? d->Field : '|';
        if (SegmentName(t, sep) && IsBatchSegment(t.substr(0, 3))) {
            if (message) reader.Read(*message);
            message.reset();
            continue;
        }
        if (!message) {
            if (skipping) continue;
            if (!d)
                throw EQcError(QT_TRANSLATE_NOOP(
                    "Core", "The file begins inside an HL7 message: its first segment is not a header (MSH). "
                            "It may be the rest of a message split across files."));
            batch.Faults.push_back(
                {line, TranslatedText(QT_TRANSLATE_NOOP("Core", "segment outside a message"))});
            continue;
        }
        if (!SegmentName(t, sep)) {
            batch.Faults.push_back(
                {line,
                 Fill(QT_TRANSLATE_NOOP("Core", "not a segment: %1; its message is left out"), Quoted(t))});
            message->Damaged = true;
            continue;
        }
        if (t.starts_with("OBX")) ++observations;
        CheckMessageSize(p.Offset + t.size() - messageStart, observations, messageLine);
        message->Segments.push_back({t.substr(0, 3), TRecord(t, *d, false), line});
    }
    if (message) reader.Read(*message);
    batch.Fingerprint = InstrumentFingerprint(bytes, batch.MessageIds);
    return batch;
}
