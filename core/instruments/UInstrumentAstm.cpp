// Reading ASTM E1394 / LIS2-A2 result messages, plain or in low-level frames.
#include "UInstrumentAstm.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "UInstrumentText.h"
#include "UTexts.h"
#include "UUtilitaires.h"

using namespace instrument;

namespace {

constexpr char STX = '\x02', ETX = '\x03', EOT = '\x04', ENQ = '\x05', ETB = '\x17';
// What ends a frame's text; a new STX means the frame lost its end.
constexpr char FrameEnds[] = {ETX, ETB, STX};

struct TAstmRecord {
    std::string Text;
    size_t Offset = 0;
    bool Damaged = false; // a frame of its message was lost
};

// 'H' and the field delimiter: the first record of a message.
bool StartsHeader(std::string_view text) {
    return text.size() >= 2 && (text[0] == 'H' || text[0] == 'h') &&
           static_cast<unsigned char>(text[1]) > ' ' && static_cast<unsigned char>(text[1]) < 0x7F &&
           !std::isalnum(static_cast<unsigned char>(text[1]));
}

void AddRecords(std::vector<TAstmRecord>& records, std::string_view text, size_t offset, bool damaged) {
    bool ended = false;
    for (const TPiece& p : SplitLines(text, 0, ended))
        if (!p.Text.empty()) records.push_back({std::string(p.Text), offset, damaged});
}

// The sequence number of the record starting at `at` (its type letter), if it has one: digits ended by
// a field, the text, or the type letter of a record glued after a record of no other field.
std::optional<long> SequenceAt(std::string_view text, size_t at, char field) {
    size_t j = at + 2;
    while (j < text.size() && j < at + 8 && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
    const bool glued =
        j + 1 < text.size() && std::isupper(static_cast<unsigned char>(text[j])) && text[j + 1] == field;
    if (j == at + 2 || (j < text.size() && text[j] != field && !glued)) return std::nullopt;
    return std::stol(std::string(text.substr(at + 2, j - at - 2)));
}

// Records an analyser glued together without their CR. A record starts where its type letter and the
// field delimiter come in the order of a message (a patient after the header, a result after its order,
// ...) with the sequence number that follows on from the record before of that type, or the terminator
// closes the message, or a header with the message's delimiters starts the next one.
class TUnglue {
public:
    std::vector<TAstmRecord> Split(std::vector<TAstmRecord> records) {
        std::vector<TAstmRecord> out;
        for (TAstmRecord& rec : records) {
            const std::string_view t = rec.Text;
            if (StartsHeader(t) && t.size() >= 5) delimiters_ = std::string(t.substr(1, 4));
            Enter(t, 0);
            size_t from = 0;
            for (size_t k = 1; !delimiters_.empty() && k + 1 < t.size(); ++k)
                if (t[k + 1] == delimiters_[0] && Starts(t, k)) {
                    out.push_back({std::string(t.substr(from, k - from)), rec.Offset + from, rec.Damaged});
                    from = k;
                    Enter(t, k);
                }
            out.push_back({std::string(t.substr(from)), rec.Offset + from, rec.Damaged});
        }
        return out;
    }

private:
    bool Starts(std::string_view t, size_t k) const {
        const char c = t[k];
        if (c == 'H') return t.substr(k + 1, 4) == delimiters_;
        if (type_ == 0 || type_ == 'L') return false;
        // A header's fields (its processing id "P" and version "1") are not records.
        if (type_ == 'H' && t[k - 1] == delimiters_[0]) return false;
        const std::optional<long> n = SequenceAt(t, k, delimiters_[0]);
        if (!n) return false;
        if (c == 'L') {
            // The terminator's own fields are short: its sequence number and a termination code.
            const size_t end = t.find('H', k + 2);
            const std::string_view rest = t.substr(k, end == std::string_view::npos ? t.size() - k : end - k);
            return *n == 1 && rest.size() <= 5 && (end == std::string_view::npos || Starts(t, end));
        }
        static const std::map<char, std::string_view> next = {{'H', "PQCM"},  {'P', "OCMP"},   {'O', "RCOPM"},
                                                              {'R', "RCOPM"}, {'C', "RCOPMQ"}, {'M', "POCRM"},
                                                              {'Q', "QC"}};
        const auto it = next.find(type_);
        if (it == next.end() || it->second.find(c) == std::string_view::npos) return false;
        const auto last = sequence_.find(c);
        return *n == 1 || (last != sequence_.end() && *n == last->second + 1);
    }
    void Enter(std::string_view t, size_t k) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t[k])));
        type_ = c;
        if (c == 'H') sequence_.clear();
        // A record's children number from 1 again under it.
        for (char child : std::string_view(c == 'P' ? "ORC" : c == 'O' ? "RC" : c == 'R' ? "C" : ""))
            sequence_.erase(child);
        if (!delimiters_.empty())
            if (const std::optional<long> n = SequenceAt(t, k, delimiters_[0])) sequence_[c] = *n;
    }
    std::string delimiters_; // field, repeat, component and escape delimiters of the last header
    char type_ = 0;
    std::map<char, long> sequence_;
};

// Joins the frames' texts into records. A frame whose checksum fails is taken from its retransmission
// (the next frame with the same number); otherwise its loss, like a skipped frame number, marks the next
// record damaged so that its message is left out. `closed` tells whether an EOT ended the last session.
std::vector<TAstmRecord> Unframe(std::string_view bytes, const TLineIndex& index, TInstrumentBatch& batch,
                                 bool& closed) {
    std::vector<TAstmRecord> records;
    std::string pending; // a record continued over ETB frames
    size_t pendingOffset = 0;
    bool damaged = false;
    int expected = 1, lastNumber = -1;
    std::string lastText;
    struct TBad {
        int Number;
        size_t Offset;
        std::string Reason;
    };
    std::optional<TBad> bad;
    auto lose = [&](size_t offset, const std::string& reason) {
        batch.Faults.push_back(
            {index.LineOf(offset), Fill(QT_TRANSLATE_NOOP("Core", "%1; its message is left out"), reason)});
        damaged = true;
    };
    // A loss before a new message or session belongs to the message before it, not to the next one.
    auto closeMessage = [&]() {
        if (bad) lose(bad->Offset, bad->Reason);
        bad.reset();
        if (damaged && !records.empty()) {
            records.back().Damaged = true;
            damaged = false;
        }
    };
    size_t i = 0;
    while (i < bytes.size()) {
        char ch = bytes[i];
        if (ch == ENQ || ch == EOT) {
            // A new session numbers its frames from 1; a record still open was cut off.
            if (!pending.empty())
                lose(pendingOffset, TranslatedText(QT_TRANSLATE_NOOP(
                                        "Core", "record continued over frames is not finished")));
            pending.clear();
            closeMessage();
            expected = 1;
            lastNumber = -1;
            closed = ch == EOT;
            ++i;
            continue;
        }
        if (ch != STX) {
            ++i; // ACK, NAK and line ends between frames
            continue;
        }
        closed = false;
        const size_t start = i;
        size_t end = bytes.find_first_of(std::string_view(FrameEnds, 3), i + 1);
        if (end == std::string_view::npos || end + 2 >= bytes.size())
            throw ETruncatedFile(
                Fill(QT_TRANSLATE_NOOP("Core", "The file ends inside the frame at line %1: the "
                                               "transmission may still be being written."),
                     std::to_string(index.LineOf(start))));
        if (bytes[end] == STX) {
            lose(start, TranslatedText(QT_TRANSLATE_NOOP("Core", "frame has no end (ETX or ETB)")));
            i = end;
            continue;
        }
        unsigned sum = 0;
        for (size_t k = start + 1; k <= end; ++k) sum += static_cast<unsigned char>(bytes[k]);
        char computed[3];
        std::snprintf(computed, sizeof computed, "%02X", sum & 0xFF);
        std::string read = UpperCase(bytes.substr(end + 1, 2));
        std::string_view body = bytes.substr(start + 1, end - start - 1);
        const bool last = bytes[end] == ETX;
        i = end + 3;
        if (body.empty() || body[0] < '0' || body[0] > '7') {
            lose(start, TranslatedText(QT_TRANSLATE_NOOP("Core", "frame has no frame number")));
            continue;
        }
        const int number = body[0] - '0';
        std::string_view text = body.substr(1);
        // Many senders number each message's frames from 1 within one session.
        if (number == 1 && pending.empty() && lastNumber >= 0 && StartsHeader(text) && read == computed &&
            !(number == lastNumber && text == lastText)) {
            if (bad && bad->Number == number) bad.reset(); // this frame is its retransmission
            closeMessage();
            expected = 1;
            lastNumber = -1;
        }
        if (read != computed) {
            if (bad) lose(bad->Offset, bad->Reason);
            bad = TBad{number, start,
                       Fill(QT_TRANSLATE_NOOP("Core", "frame %1 has checksum %2, its text gives %3"),
                            std::to_string(number), Quoted(read), computed)};
            continue;
        }
        if (bad) {
            if (bad->Number != number) {
                lose(bad->Offset, bad->Reason);
                expected = (bad->Number + 1) % 8; // the gap is that frame's
            }
            bad.reset(); // else this frame is its retransmission
        } else if (number == lastNumber && text == lastText) {
            continue; // sent again after a lost acknowledgement
        }
        // Some analysers number the frames of their manufacturer records (histograms) apart; those
        // records carry no result, and the numbering goes on from them.
        const bool manufacturer =
            text.size() >= 2 && text[0] == 'M' && !std::isalnum(static_cast<unsigned char>(text[1]));
        if (number != expected && lastNumber >= 0 && !manufacturer)
            lose(start, Fill(QT_TRANSLATE_NOOP("Core", "frame %1 came where frame %2 was due"),
                             std::to_string(number), std::to_string(expected)));
        expected = (number + 1) % 8;
        lastNumber = number;
        lastText = std::string(text);
        if (pending.empty()) pendingOffset = start;
        pending += text;
        if (last) {
            size_t before = records.size();
            AddRecords(records, pending, pendingOffset, false);
            if (damaged && records.size() > before) {
                records[before].Damaged = true;
                damaged = false;
            }
            pending.clear();
        }
    }
    if (!pending.empty())
        throw ETruncatedFile(
            Fill(QT_TRANSLATE_NOOP("Core", "The file ends inside a record continued over frames "
                                           "(line %1)."),
                 std::to_string(index.LineOf(pendingOffset))));
    if (bad) lose(bad->Offset, bad->Reason);
    if (damaged && !records.empty()) records.back().Damaged = true;
    return records;
}

// The record type or the letter a field reference names.
const TRecord* RecordFor(char type, const std::optional<TRecord>& h, const std::optional<TRecord>& p,
                         const std::optional<TRecord>& o, const TRecord& r) {
    switch (type) {
    case 'H':
        return h ? &*h : nullptr;
    case 'P':
        return p ? &*p : nullptr;
    case 'O':
        return o ? &*o : nullptr;
    case 'R':
        return &r;
    default:
        return nullptr;
    }
}

std::optional<TFieldRef> AstmRef(const std::string& text, const char* what) {
    std::optional<TFieldRef> ref = ParseFieldRef(text, what);
    if (ref &&
        (ref->Name.size() != 1 || std::string_view("HPOR").find(ref->Name[0]) == std::string_view::npos))
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "%1 \"%2\" names no H, P, O or R record."),
                            TranslatedText(what), text));
    return ref;
}

} // namespace

TInstrumentBatch ReadAstmText(std::string_view bytes, const TInstrumentSource& source,
                              const TQcMapping& mapped) {
    TInstrumentBatch batch;
    batch.Format = TInstrumentFormat::Astm;
    const std::optional<TFieldRef> controlRef =
        AstmRef(source.AstmControlField, QT_TRANSLATE_NOOP("Core", "The source's ASTM control field"));
    const std::optional<TFieldRef> levelRef =
        AstmRef(source.AstmLevelField, QT_TRANSLATE_NOOP("Core", "The source's ASTM level field"));
    const TEncoding enc = ChooseEncoding(bytes, source.Encoding);
    const TLineIndex index(bytes);
    size_t offset = 0;
    std::string_view body = SkipBom(bytes, offset);

    std::vector<TAstmRecord> records;
    bool closed = false; // the transmission ended (EOT): an open message will not be continued
    if (body.find(STX) != std::string_view::npos) {
        records = Unframe(bytes, index, batch, closed);
    } else {
        bool ended = false;
        for (const TPiece& p : SplitLines(body, offset, ended)) {
            std::string_view t = p.Text;
            while (!t.empty() && (t[0] == ENQ || t[0] == EOT || t[0] == '\x06' || t[0] == '\x15'))
                t.remove_prefix(1);
            if (!Trim(t).empty()) records.push_back({std::string(t), p.Offset, false});
        }
    }

    records = TUnglue().Split(std::move(records));

    // The open message.
    bool open = false, damaged = false, skipping = false;
    int messageLine = 0;
    TDelimiters d;
    std::optional<TRecord> h, p, o;
    std::string id, sender, processing, headerTime;
    bool orderQc = false;
    std::vector<TInstrumentResult> results;
    TSkips skips;
    bool lastWasResult = false;

    size_t messageStart = 0, messageResults = 0;
    for (const TAstmRecord& rec : records) {
        const int line = index.LineOf(rec.Offset);
        const char type = static_cast<char>(std::toupper(static_cast<unsigned char>(rec.Text[0])));
        CheckFieldSizes(rec.Text, open ? d.Field : '|', line);
        if (type == 'H') {
            messageStart = rec.Offset;
            messageResults = 0;
        } else if (open) {
            messageResults += type == 'R';
            CheckMessageSize(rec.Offset + rec.Text.size() - std::min(messageStart, rec.Offset),
                             messageResults, messageLine);
        }
        if (type == 'H') {
            if (open)
                batch.Faults.push_back({messageLine, TranslatedText(QT_TRANSLATE_NOOP(
                                                         "Core", "message has no terminator record (L) "
                                                                 "before the next header; its results "
                                                                 "are left out"))});
            const std::string_view t = rec.Text;
            bool valid = t.size() >= 5;
            for (size_t a = 1; valid && a < 5; ++a) {
                unsigned char c = static_cast<unsigned char>(t[a]);
                valid = c > ' ' && c < 0x7F && !std::isalnum(c);
                for (size_t b = 1; valid && b < a; ++b) valid = t[a] != t[b];
            }
            results.clear();
            skips = {};
            p.reset();
            o.reset();
            open = valid;
            skipping = !valid;
            if (!valid) {
                batch.Faults.push_back(
                    {line,
                     TranslatedText(QT_TRANSLATE_NOOP(
                         "Core", "header record has no delimiter definition; its message is left out"))});
                continue;
            }
            d = TDelimiters{t[1], t[2], t[3], t[4], 0};
            h.emplace(rec.Text, d, true);
            messageLine = line;
            damaged = rec.Damaged;
            id = h->Text(3, 0, 0, enc);
            sender = h->Text(5, 1, 0, enc);
            processing = h->Text(12, 1, 0, enc);
            headerTime = h->Text(14, 1, 0, enc);
            if (!id.empty()) batch.MessageIds.push_back(id);
            lastWasResult = false;
            continue;
        }
        if (!open) {
            if (skipping) continue;
            if (!h)
                throw EQcError(QT_TRANSLATE_NOOP(
                    "Core", "The file begins inside an ASTM message: its first record is not a header (H) "
                            "record. It may be the rest of a message split across files."));
            batch.Faults.push_back(
                {line, TranslatedText(QT_TRANSLATE_NOOP(
                           "Core", "record outside a message (after its terminator record)"))});
            continue;
        }
        damaged = damaged || rec.Damaged;
        if (damaged && type != 'L') continue; // its results are left out; the damage is the fault
        TRecord r(rec.Text, d, true);
        const bool wasResult = lastWasResult;
        lastWasResult = false;
        switch (type) {
        case 'P':
            p = r;
            o.reset();
            break;
        case 'O':
            o = r;
            orderQc = o->Text(12, 1, 0, enc) == "Q";
            break;
        case 'R': {
            if (!o) {
                batch.Faults.push_back({line, TranslatedText(QT_TRANSLATE_NOOP(
                                                  "Core", "result record without an order record (O)"))});
                break;
            }
            auto pick = [&](const std::optional<TFieldRef>& ref) {
                const TRecord* from = ref ? RecordFor(ref->Name[0], h, p, o, r) : nullptr;
                return from ? from->Text(ref->Field, ref->Component, ref->Sub, enc) : std::string();
            };
            TInstrumentResult res;
            res.Source = source.Id;
            res.MessageId = id;
            res.Line = line;
            res.Control = pick(controlRef);
            // The universal test id's fourth component is the analyser's own code.
            res.TestCode = r.Text(3, 4, 0, enc);
            for (int c = 1; c <= 8 && res.TestCode.empty(); ++c) res.TestCode = r.Text(3, c, 0, enc);
            std::string when;
            for (std::string t : {r.Text(13, 1, 0, enc), r.Text(12, 1, 0, enc), o->Text(8, 1, 0, enc),
                                  o->Text(7, 1, 0, enc), headerTime})
                if (when.empty()) when = t;
            res.Instrument = r.Text(14, 1, 0, enc);
            if (res.Instrument.empty()) res.Instrument = sender;
            if (!TakeAsQc(orderQc || processing == "Q", res, source, mapped, skips)) {
                KeepPatient(batch, res.TestCode, r.Text(4, 1, 0, enc), when, res.Instrument,
                            r.Text(9, 1, 0, enc));
                break;
            }
            res.ValueText = r.Text(4, 1, 0, enc);
            res.Units = r.Text(5, 1, 0, enc);
            if (std::string range = r.Text(6, 0, 0, enc); !range.empty())
                res.AnalyserLimits = "range " + range;
            res.Operator = r.Text(11, 1, 0, enc);
            res.Level = LevelOf(pick(levelRef));
            if (std::string reasons; !CheckResult(res, when, reasons)) {
                batch.Faults.push_back({line, reasons});
                break;
            }
            results.push_back(std::move(res));
            lastWasResult = true;
            break;
        }
        case 'C':
            if (wasResult) {
                AppendComment(results.back().Comment, r.Joined(4, ' ', enc));
                lastWasResult = true;
            }
            break;
        case 'L': {
            const std::string code = r.Text(3, 1, 0, enc);
            open = false;
            if (code == "T" || code == "R" || code == "E") {
                batch.Faults.push_back(
                    {line,
                     Fill(QT_TRANSLATE_NOOP("Core", "message ended with termination code %1 (aborted); its "
                                                    "results are left out"),
                          code)});
            } else if (!damaged) {
                instrument::CheckFileResults(batch, results.size());
                for (TInstrumentResult& res : results) batch.Results.push_back(std::move(res));
                skips.AddTo(batch);
            }
            results.clear();
            break;
        }
        case 'Q':
        case 'M':
        case 'S':
            break; // requests, manufacturer's and scientific records carry no QC result
        default:
            batch.Faults.push_back({line, Fill(QT_TRANSLATE_NOOP("Core", "unknown record type %1"),
                                               Quoted(rec.Text.substr(0, 1)))});
        }
    }
    if (open && closed)
        batch.Faults.push_back(
            {messageLine, TranslatedText(QT_TRANSLATE_NOOP(
                              "Core", "message has no terminator record (L) before the end of "
                                      "the transmission; its results are left out"))});
    else if (open)
        throw ETruncatedFile(
            Fill(QT_TRANSLATE_NOOP("Core", "The file ends inside the message begun at line %1 (no "
                                           "terminator record L): the rest may come in a later file."),
                 std::to_string(messageLine)));
    batch.Fingerprint = InstrumentFingerprint(bytes, batch.MessageIds);
    return batch;
}
