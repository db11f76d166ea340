// The queue file of a folder: written whole when held runs change, appended to when runs are only
// added, and an append cut by a crash undone at the next open.
#include <cinttypes>
#include <cstdio>
#include <sys/stat.h>

#include "UOperations.h"
#include "UOperationsCommon.h"
#include "UTexts.h"

using namespace ops_common;

namespace {
// Recorded in the database, in the transaction of the append's journal entries, before the file grows:
// the file's size and hash before the append, and its size after it.
constexpr std::string_view QueueAppendKey = "queue_append";

struct TAppendRecord {
    uint64_t From = 0, To = 0;
    std::string FromHash;
};

std::string RecordText(const TAppendRecord& r) {
    return std::to_string(r.From) + " " + r.FromHash + " " + std::to_string(r.To);
}

std::optional<TAppendRecord> ParseRecord(const std::string& text) {
    TAppendRecord r;
    char hash[33] = {};
    if (std::sscanf(text.c_str(), "%" SCNu64 " %32s %" SCNu64, &r.From, hash, &r.To) != 3 || r.To <= r.From)
        return std::nullopt;
    r.FromHash = hash;
    return r;
}
} // namespace

void TOperations::QueueFileTook(std::string_view bytes) {
    TQueueFileState& q = queueFile_;
    q.Known = false;
    struct stat st;
    if (::stat(QueueFileName().c_str(), &st) != 0 || static_cast<uint64_t>(st.st_size) != bytes.size())
        return;
    q.Hash = TFileStateHasher();
    q.Hash.Update(bytes);
    q.Changes = Fifo.Changes();
    q.Entries = Fifo.Entries().size();
    q.Size = bytes.size();
    q.Device = st.st_dev;
    q.Inode = st.st_ino;
    q.Known = true;
}

void TOperations::SaveQueueFile() {
    const std::string path = QueueFileName();
    TQueueFileState& q = queueFile_;
    // Only runs pushed since the file was last read or written, and the file still that one: appended.
    struct stat st;
    const bool append = q.Known && db_.IsOpen() && q.Changes == Fifo.Changes() &&
                        q.Entries <= Fifo.Entries().size() && ::stat(path.c_str(), &st) == 0 &&
                        static_cast<uint64_t>(st.st_size) == q.Size && st.st_dev == q.Device &&
                        st.st_ino == q.Inode;
    q.Known = false; // until the write is through
    if (!append) {
        const std::string bytes = QueueImage(Fifo.Entries());
        WriteJournaled(path, bytes);
        QueueFileTook(bytes);
        return;
    }
    const std::string tail = QueueImage(Fifo.Entries(), q.Entries);
    TFileStateHasher after = q.Hash;
    after.Update(tail);
    const TAppendRecord record{q.Size, q.Size + tail.size(), q.Hash.Text()};
    bool recorded = false;
    WriteJournaled(
        path, after.Text(),
        [&] {
            // Without the record a cut append could not be told from damage: written whole instead.
            if (recorded)
                AppendToFile(path, record.From, tail);
            else
                AtomicWriteFile(path, QueueImage(Fifo.Entries()));
        },
        [&] {
            if (tail.empty()) return;
            db_.SetMeta(QueueAppendKey, RecordText(record));
            recorded = true;
        });
    if (!recorded && !tail.empty()) {
        QueueFileTook(QueueImage(Fifo.Entries()));
        return;
    }
    q.Hash = std::move(after);
    q.Size = record.To;
    q.Entries = Fifo.Entries().size();
    q.Known = true;
}

void TOperations::SettleQueueFile(TOpenReport& report) {
    std::optional<std::string> unread = std::move(queueUnread_);
    queueUnread_.reset();
    const std::string path = QueueFileName();
    std::optional<TAppendRecord> record;
    if (db_.IsOpen()) try {
            if (std::optional<std::string> text = db_.Meta(QueueAppendKey)) record = ParseRecord(*text);
        } catch (const EQcError&) {
        }
    // Cut: longer than before the append and shorter than after it (or unreadable at up to that size),
    // and up to the size before it the very file that was there.
    const uint64_t size = unread ? unread->size() : queueFile_.Known ? queueFile_.Size : 0;
    if (record && size > record->From && (size < record->To || (unread && size <= record->To))) try {
            const std::string bytes = unread ? *unread : ReadWholeFile(path);
            const std::string_view before = std::string_view(bytes).substr(0, record->From);
            if (bytes.size() > record->From && FileStateHash(before) == record->FromHash) {
                std::vector<TResu> entries = ParseQueueImage(before);
                // The runs of the append were not held yet: their journal entries are dropped with it,
                // and runs from the inbox are still pending in the database.
                AtomicWriteFile(path, before);
                Fifo.ClearQueue();
                for (TResu& e : entries) Fifo.Push(std::move(e));
                QueueFileTook(before);
                return;
            }
        } catch (const EQcError&) {
        }
    if (!unread) return;
    // The held runs are not lost with the queue: the damaged file is kept for the laboratory.
    std::string kept = KeepUnreadableFile(path);
    report.Notes.push_back(
        kept.empty()
            ? Fill(QT_TRANSLATE_NOOP("Core", "The damaged queue file %1 could not be kept aside."), path)
            : Fill(QT_TRANSLATE_NOOP("Core", "The damaged queue file was kept as %1"), kept));
}
