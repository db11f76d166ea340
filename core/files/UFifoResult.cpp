// The result queue and its file.
#include "UFifoResult.h"

#include <cmath>

#include "UAtomicFile.h"
#include "UBinary.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UQcError.h"
#include "UTexts.h"
#include "UUtilitaires.h"

TFifo Fifo;

std::string QueueFileName() {
    return BaseName + ".fif";
}

void TFifo::Push(TResu entry) {
    // The queue file counts its texts, but the runs go on to exchange and archive lines.
    for (std::string* text : {&entry.Comment, &entry.Operator, &entry.AnalyteName})
        *text = BlankControlChars(*text);
    entries_.push_back(std::move(entry));
}

std::optional<TResu> TFifo::Pop() {
    if (entries_.empty()) return std::nullopt;
    TResu head = std::move(entries_.front());
    entries_.pop_front();
    ++changes_;
    return head;
}

std::string QueueImage(const std::deque<TResu>& entries, size_t from) {
    TByteWriter w;
    for (size_t k = from; k < entries.size(); ++k) {
        const TResu& e = entries[k];
        w.Double(e.DateTime);
        for (const LevelValue& lv : e.Levels) {
            w.Single(lv.Value);
            w.U8(lv.State);
            w.Zeros(3);
        }
        w.LongText(e.Comment);
        w.LongText(e.Operator);
        w.LongText(e.AnalyteName);
    }
    return std::move(w.Data());
}

std::vector<TResu> ParseQueueImage(std::string_view bytes) {
    // Counted as read: a queue of as many entries as the writer allows is read whatever its texts hold.
    TByteReader r(bytes);
    std::vector<TResu> out;
    while (!r.AtEnd()) {
        TResu e;
        e.DateTime = r.Double();
        if (!std::isfinite(e.DateTime))
            throw EQcError(QT_TRANSLATE_NOOP("Core", "Damaged queue file: date is not a number"));
        for (LevelValue& lv : e.Levels) {
            float v = r.Single();
            uint8_t state = r.U8();
            r.Skip(3);
            if (state > psEmpty)
                throw EQcError(QT_TRANSLATE_NOOP("Core", "Damaged queue file: state out of range"));
            if (!std::isfinite(v)) {
                if (state != psEmpty)
                    throw EQcError(QT_TRANSLATE_NOOP("Core", "Damaged queue file: value is not a number"));
                v = 0;
            }
            lv = {v, static_cast<PointState>(state)};
        }
        e.Comment = r.LongText();
        e.Operator = r.LongText();
        e.AnalyteName = r.LongText();
        if (e.AnalyteName.empty())
            throw EQcError(QT_TRANSLATE_NOOP("Core", "Damaged queue file: an entry without an analyte"));
        if (out.size() == MaxQueueEntries)
            throw EQcError(
                QT_TRANSLATE_NOOP("Core", "Damaged queue file: more entries than any queue holds"));
        out.push_back(std::move(e));
    }
    return out;
}
