// Data file reader and writer, start and end of the data, sample data, backup and restore.
#include "UDataLoadSave.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "UAtomicFile.h"
#include "UExtended.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "UQcError.h"
#include "URandom.h"
#include "UTexts.h"

TListAnalytes ListAnalytes;
TListSerum ListSerum;
std::string FileVersion = "32";

namespace {

[[noreturn]] void Damaged(const std::string& what) {
    throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Damaged data file: %1"), what));
}

void ExpectSignature(TByteReader& r, const char* section) {
    if (!SignatureMagicMatches(r.Bytes(SignatureSize)))
        Damaged(std::string("bad signature after ") + section);
}

void WriteSignature(TByteWriter& w) {
    w.Bytes(std::string_view(reinterpret_cast<const char*>(ProgramSignature.data()), SignatureSize));
}

long double ReadExtended(TByteReader& r) {
    return ImageToExtended(reinterpret_cast<const uint8_t*>(r.Bytes(10).data()));
}

void WriteExtended(TByteWriter& w, long double v) {
    TExtendedImage img = ExtendedToImage(v);
    w.Bytes(std::string_view(reinterpret_cast<const char*>(img.data()), img.size()));
}

// Little-endian loads from a checked block.
template <typename T> T LoadLE(const char* b) {
    T v;
    std::memcpy(&v, b, sizeof v);
    if constexpr (std::endian::native == std::endian::big) {
        auto* bytes = reinterpret_cast<unsigned char*>(&v);
        std::reverse(bytes, bytes + sizeof v);
    }
    return v;
}

template <typename T> void StoreLE(char* b, T v) {
    if constexpr (std::endian::native == std::endian::big) {
        auto* bytes = reinterpret_cast<unsigned char*>(&v);
        std::reverse(bytes, bytes + sizeof v);
    }
    std::memcpy(b, &v, sizeof v);
}

// One level of a point record: the single value, the state byte, 3 padding bytes.
LevelValue DecodeLevelValue(const char* b) {
    float v = LoadLE<float>(b);
    uint8_t state = static_cast<uint8_t>(b[4]);
    if (state > psEmpty) Damaged("point state out of range");
    // An empty level's value means nothing; only values that take part must be numbers.
    if (!std::isfinite(v)) {
        if (state != psEmpty) Damaged("value is not a number");
        v = 0;
    }
    return {v, static_cast<PointState>(state)};
}

// The checks of a damaged point record, one field after the other, naming what is wrong.
[[noreturn]] void RefusePoint(const char* b) {
    if (!std::isfinite(LoadLE<double>(b))) Damaged("point date is not a number");
    for (int i = 0; i < MaxLevels; ++i) DecodeLevelValue(b + 8 + 8 * i);
    Damaged("point record");
}

// One point record, the bulk of the file. Its first 36 bytes are the memory image of the date,
// the levels and the comment on a little-endian machine: copied whole, then checked without a
// branch per field; false when the checks fail, and RefusePoint then names the damage.
bool DecodePoint(const char* b, ControlPoint& p) {
    static_assert(sizeof(TDateTime) == 8 && sizeof(TLevelValues) == 24 && sizeof(LevelValue) == 8 &&
                  offsetof(LevelValue, State) == 4 && sizeof(p.CommentId) == 4);
    std::memcpy(&p.DateTime, b, 8);
    std::memcpy(p.Levels.data(), b + 8, 24);
    std::memcpy(&p.CommentId, b + 32, 4);
    if constexpr (std::endian::native == std::endian::big) {
        p.DateTime = LoadLE<double>(b);
        p.CommentId = LoadLE<int32_t>(b + 32);
        for (int i = 0; i < MaxLevels; ++i) p.Levels[i].Value = LoadLE<float>(b + 8 + 8 * i);
    }
    // Finiteness from the exponent bits, which are all ones only for infinities and NaNs.
    uint64_t date = std::bit_cast<uint64_t>(p.DateTime);
    bool ok = (date & 0x7FF0000000000000ULL) != 0x7FF0000000000000ULL;
    bool allFinite = true;
    auto check = [&](const LevelValue& lv) {
        bool finite = (std::bit_cast<uint32_t>(lv.Value) & 0x7F800000U) != 0x7F800000U;
        // An empty level's value means nothing; only values that take part must be numbers.
        ok &= static_cast<uint8_t>(lv.State) <= psEmpty && (finite || lv.State == psEmpty);
        allFinite &= finite;
    };
    static_assert(MaxLevels == 3);
    check(p.Levels[0]);
    check(p.Levels[1]);
    check(p.Levels[2]);
    if (!allFinite) [[unlikely]]
        for (LevelValue& lv : p.Levels)
            if (!std::isfinite(lv.Value)) lv.Value = 0;
    p.Operator.AssignImage(b + 36);
    return ok;
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

void SyncFolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string LocalStamp() {
    std::time_t now = std::time(nullptr);
    std::tm lt{};
    localtime_r(&now, &lt);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &lt);
    return buf;
}
} // namespace

std::string DataFileName() {
    return BaseName + ".qcf";
}

// ---------------------------------------------------------------- analyte image

namespace {
// What follows an analyte's point records: header, limits, archive numbers, comments.
std::unique_ptr<TAnalyte> ReadAnalyteTail(TByteReader& r, bool v30) {
    auto a = std::make_unique<TAnalyte>();
    TByteReader h(r.Bytes(v30 ? HeaderSizeV30 : HeaderSize));
    a->Name = h.ShortString(TAnalyte::NameRoom);
    a->Unit = h.ShortString(TAnalyte::UnitRoom);
    h.Skip(1);
    a->Decimals = h.I32();
    a->NbLevels = h.I32();
    if (a->NbLevels < 1 || a->NbLevels > MaxLevels) Damaged("number of levels out of range");
    if (a->Decimals < 0 || a->Decimals > 3) Damaged("decimals out of range");
    for (int32_t& id : a->MaterialId) id = h.I32();
    for (::LimitMode& m : a->LimitMode) {
        uint8_t mode = h.U8();
        if (mode > lmFixed) Damaged("limit mode out of range");
        m = static_cast<::LimitMode>(mode);
    }
    h.Skip(1);
    for (int32_t& f : a->LockFirst) f = h.I32();
    for (int32_t& l : a->LockLast) l = h.I32();
    if (v30) {
        a->Options = 7;
        a->Reserved = 10;
    } else {
        h.Skip(4);
        a->Options = h.U8();
        h.Skip(3);
        a->Reserved = h.I32();
    }

    for (int i = 0; i < MaxLevels; ++i) {
        LevelStats& l = a->Limits[i];
        l.Mean = ReadExtended(r);
        l.WarnDev = ReadExtended(r);
        l.ActionDev = ReadExtended(r);
        if (std::isfinite(l.Mean) && std::isfinite(l.WarnDev) && std::isfinite(l.ActionDev)) continue;
        // Only a fixed level's limits are the user's; the others are recomputed from the points.
        if (a->LimitMode[i] == lmFixed) Damaged("fixed limits are not numbers");
        l.Mean = 0;
        l.WarnDev = 0.5L;
        l.ActionDev = 0.8L;
    }
    ExpectSignature(r, "the limits");

    size_t archives = r.Count(4);
    a->ArchiveNumbers.resize(archives);
    for (int32_t& n : a->ArchiveNumbers) n = r.I32();
    ExpectSignature(r, "the archive numbers");

    a->Comments.LoadFromFile(r);
    ExpectSignature(r, "the comments");
    return a;
}

// An analyte's image but for its point records, whose block is only checked for size: the
// records are decoded once every frame of the file is read (FinishAnalyte).
std::unique_ptr<TAnalyte> ReadAnalyteFrame(TByteReader& r, bool v30, std::string_view& block) {
    size_t count = r.Count(PointRecordSize);
    block = r.Bytes(count * PointRecordSize);
    return ReadAnalyteTail(r, v30);
}

// Decodes records into points[0, n): false, with `failed` the damaged record, when one is refused.
bool DecodePoints(const char* records, size_t n, ControlPoint* points, const char*& failed) {
    for (size_t k = 0; k < n; ++k)
        if (!DecodePoint(records + k * PointRecordSize, points[k])) {
            failed = records + k * PointRecordSize;
            return false;
        }
    return true;
}

// The points from their records, then the statistics.
void FinishAnalyte(TAnalyte& a, std::string_view block) {
    size_t count = block.size() / PointRecordSize;
    // Sized first: the loop then writes each point in place, with no bookkeeping of the vector's
    // end at every record.
    a.Points.resize(count);
    const char* failed = nullptr;
    if (!DecodePoints(block.data(), count, a.Points.data(), failed)) RefusePoint(failed);
    a.RecalcAll();
}

// What CheckWritable asks of each point, without naming the fault.
inline bool PointWritable(const ControlPoint& p) {
    bool ok = std::isfinite(p.DateTime);
    for (const LevelValue& lv : p.Levels)
        ok &= lv.State == psEmpty || (lv.State < psEmpty && std::isfinite(lv.Value));
    return ok;
}

// One point record: the date, each level's single, state byte and 3 zero bytes, the comment,
// the operator as a short string; `b` is zero-filled.
void EncodePoint(const ControlPoint& p, char* b) {
    StoreLE(b, p.DateTime);
    for (int i = 0; i < MaxLevels; ++i) {
        StoreLE(b + 8 + 8 * i, p.Levels[i].Value);
        b[12 + 8 * i] = static_cast<char>(p.Levels[i].State);
    }
    StoreLE(b + 32, p.CommentId);
    std::string_view op = p.Operator.View();
    b[36] = static_cast<char>(op.size());
    std::memcpy(b + 37, op.data(), op.size());
}

// WriteAnalyteImage, calling `full` between batches of point records so that the caller can hand
// on what the buffer holds.
template <typename Full> void WriteAnalyte(TByteWriter& w, const TAnalyte& a, Full full) {
    CheckWritableHeader(a);
    w.I32(a.Count());
    // The records are laid out straight into the buffer, a batch at a time: the writer's bulk.
    constexpr size_t Batch = 2048;
    const size_t count = a.Points.size();
    for (size_t k = 0; k < count;) {
        const size_t n = std::min(Batch, count - k);
        std::string& d = w.Data();
        const size_t at = d.size();
        d.resize(at + n * PointRecordSize);
        char* out = d.data() + at;
        // The points are checked in the same pass as they are encoded: one read of them from memory.
        // A fault found is named as CheckWritable names it, the records made being dropped.
        bool writable = true;
        for (size_t j = 0; j < n; ++j) {
            const ControlPoint& p = a.Points[k + j];
            writable &= PointWritable(p);
            EncodePoint(p, out + j * PointRecordSize);
        }
        if (!writable) CheckWritable(a);
        k += n;
        full();
    }

    w.ShortString(a.Name, TAnalyte::NameRoom);
    w.ShortString(a.Unit, TAnalyte::UnitRoom);
    w.Zeros(1);
    w.I32(a.Decimals);
    w.I32(a.NbLevels);
    for (int32_t id : a.MaterialId) w.I32(id);
    for (::LimitMode m : a.LimitMode) w.U8(m);
    w.Zeros(1);
    for (int32_t f : a.LockFirst) w.I32(f);
    for (int32_t l : a.LockLast) w.I32(l);
    w.I32(0);
    w.U8(a.Options);
    w.Zeros(3);
    w.I32(a.Reserved);
    // Image of level 1's limits as the header has always carried it; readers ignore it.
    const LevelStats& l1 = a.Limits[0];
    WriteExtended(w, l1.Mean);
    WriteExtended(w, l1.WarnDev);
    WriteExtended(w, l1.ActionDev);
    WriteExtended(w, l1.Min);
    TExtendedImage max = ExtendedToImage(l1.Max);
    w.Bytes(std::string_view(reinterpret_cast<const char*>(max.data()), 9));

    for (const LevelStats& l : a.Limits) {
        WriteExtended(w, l.Mean);
        WriteExtended(w, l.WarnDev);
        WriteExtended(w, l.ActionDev);
    }
    WriteSignature(w);
    w.I32(static_cast<int32_t>(a.ArchiveNumbers.size()));
    for (int32_t n : a.ArchiveNumbers) w.I32(n);
    WriteSignature(w);
    a.Comments.SaveToFile(w);
    WriteSignature(w);
}
} // namespace

namespace {
[[noreturn]] void RefuseAnalyte(const TAnalyte& a, const std::string& what) {
    throw EUnwritable("analyte " + a.Name + ": " + what);
}
} // namespace

void CheckWritableHeader(const TAnalyte& a) {
    auto refuse = [&](const std::string& what) { RefuseAnalyte(a, what); };
    if (a.NbLevels < 1 || a.NbLevels > MaxLevels || a.Decimals < 0 || a.Decimals > 3)
        refuse("levels or decimals out of range");
    for (int i = 0; i < MaxLevels; ++i) {
        if (a.LimitMode[i] > lmFixed) refuse("limit mode out of range");
        const LevelStats& l = a.Limits[i];
        if (a.LimitMode[i] == lmFixed &&
            !(std::isfinite(l.Mean) && std::isfinite(l.WarnDev) && std::isfinite(l.ActionDev)))
            refuse("fixed limits are not numbers");
    }
}

void CheckWritable(const TAnalyte& a) {
    auto refuse = [&](const std::string& what) { RefuseAnalyte(a, what); };
    CheckWritableHeader(a);
    for (const ControlPoint& p : a.Points) {
        if (!std::isfinite(p.DateTime)) refuse("a date is not a number");
        for (const LevelValue& lv : p.Levels)
            if (lv.State > psEmpty || (lv.State != psEmpty && !std::isfinite(lv.Value)))
                refuse("a value is not a number");
    }
}

void WriteAnalyteImage(TByteWriter& w, const TAnalyte& a) {
    WriteAnalyte(w, a, [] {});
}

// ---------------------------------------------------------------- whole file

namespace {
template <typename Full>
void WriteLists(TByteWriter& w, const TListSerum& serum, const TListAnalytes& analytes, Full full) {
    w.I32(serum.Count());
    for (const TSerum& s : serum.Items) {
        w.I32(s.Id);
        w.I32(s.EraseMark);
        w.ShortString(s.Name, TListSerum::NameRoom);
        w.ShortString(s.Lot, TListSerum::LotRoom);
        w.Zeros(1);
    }
    w.I32(analytes.Count());
    for (const auto& a : analytes.Items) {
        WriteAnalyte(w, *a, full);
        full();
    }
    WriteSignature(w);
}
} // namespace

std::string DataImage(const TListSerum& serum, const TListAnalytes& analytes) {
    size_t points = 0;
    for (const auto& a : analytes.Items) points += a->Points.size();
    TByteWriter w;
    w.Data().reserve(64 + serum.Items.size() * MaterialRecordSize + points * PointRecordSize +
                     analytes.Items.size() * 512);
    WriteLists(w, serum, analytes, [] {});
    return std::move(w.Data());
}

void WriteDataImage(const TListSerum& serum, const TListAnalytes& analytes, const TPieceSink& sink) {
    // Small enough to stay in the core's cache between its making and its copy to the file.
    constexpr size_t Piece = 256 * 1024;
    thread_local TByteWriter w;
    w.Data().clear();
    w.Data().reserve(Piece + 2048 * PointRecordSize + 4096);
    auto full = [&sink] {
        if (w.Data().size() < Piece) return;
        sink(w.Data());
        w.Data().clear();
    };
    try {
        WriteLists(w, serum, analytes, full);
        if (!w.Data().empty()) sink(w.Data());
    } catch (...) {
        w.Data().clear();
        throw;
    }
    w.Data().clear();
}

namespace {
// Sets FileVersion from the trailer, the file's last signature; true for a "30" file, whose
// headers are shorter.
bool TrailerIsV30(std::string_view trailer) {
    FileVersion = std::string(trailer.substr(1, 2));
    if (!SignatureMagicMatches(trailer)) Damaged("not a data file");
    return FileVersion == "30";
}

constexpr size_t SmallestAnalyte =
    4 + HeaderSizeV30 + 3 * LevelBlockSize + SignatureSize + 4 + SignatureSize + 4 + SignatureSize;

// The materials.
void ReadMaterials(TByteReader& r, TListSerum& serum) {
    size_t materials = r.Count(MaterialRecordSize);
    serum.Items.reserve(materials);
    int32_t largest = -1;
    for (size_t i = 0; i < materials; ++i) {
        TSerum s;
        s.Id = r.I32();
        s.EraseMark = r.I32();
        s.Name = r.ShortString(TListSerum::NameRoom);
        s.Lot = r.ShortString(TListSerum::LotRoom);
        r.Skip(1);
        // The program never makes negative identifiers, and the next one must stay representable.
        if (s.Id < 0 || s.Id == INT32_MAX) Damaged("material identifier out of range");
        largest = std::max(largest, s.Id);
        serum.Items.push_back(std::move(s));
    }
    serum.NextId = largest + 1;
}

// The materials, then the number of analytes (checked against what remains).
size_t ReadPrelude(TByteReader& r, TListSerum& serum) {
    ReadMaterials(r, serum);
    return r.Count(SmallestAnalyte);
}
} // namespace

void ParseDataImage(std::string_view bytes, TListSerum& serum, TListAnalytes& analytes) {
    if (bytes.size() < SignatureSize) Damaged("file too short");
    bool v30 = TrailerIsV30(bytes.substr(bytes.size() - SignatureSize));
    TByteReader r(bytes);
    size_t count = ReadPrelude(r, serum);
    analytes.Items.reserve(count);
    std::vector<std::string_view> blocks(count);
    for (size_t i = 0; i < count; ++i) analytes.Add(ReadAnalyteFrame(r, v30, blocks[i]));
    ExpectSignature(r, "the analytes");
    for (size_t i = 0; i < count; ++i) FinishAnalyte(*analytes.Items[i], blocks[i]);
}

namespace {
// The data file read front to back through one buffer of a few hundred kilobytes, reused for the
// whole read: the file's bytes are never all in memory, only the points they become.
class TPieceInput {
public:
    static constexpr size_t Piece = 256 * 1024;

    TPieceInput(int fd, size_t size, const TPieceSink* seen)
        : fd_(fd), size_(size), seen_(seen), buffer_(new char[Piece]), room_(Piece) {}

    // File offset of the next byte to parse, and the bytes of the file after it.
    size_t Position() const { return read_ - (end_ - begin_); }
    size_t Remaining() const { return size_ - Position(); }
    // The bytes from the position on that are in the buffer: at least n of them, or all that remain
    // of the file when fewer. The buffer grows for a window larger than it.
    std::string_view Window(size_t n) {
        n = std::min(n, Remaining());
        if (end_ - begin_ < n) Fill(n);
        return {buffer_.get() + begin_, end_ - begin_};
    }
    void Advance(size_t n) { begin_ += n; }

    // An image part parsed by `step` from a TByteReader over the window, the window widened until
    // the part fits in it; ETruncated only when the part runs beyond the end of the file.
    template <typename Step> auto Parse(Step step) {
        size_t want = 4096;
        for (;;) {
            const std::string_view w = Window(want);
            TByteReader r(w);
            try {
                auto result = step(r);
                Advance(r.Position());
                return result;
            } catch (const ETruncated&) {
                if (w.size() >= Remaining()) throw;
                want = 2 * w.size();
            }
        }
    }

private:
    void Fill(size_t n) {
        // What is left moves to the front; the rest of the buffer takes the next bytes.
        const size_t kept = end_ - begin_;
        if (n > room_) {
            std::unique_ptr<char[]> bigger(new char[std::max(n, 2 * room_)]);
            std::memcpy(bigger.get(), buffer_.get() + begin_, kept);
            buffer_ = std::move(bigger);
            room_ = std::max(n, 2 * room_);
        } else if (begin_ > 0) {
            std::memmove(buffer_.get(), buffer_.get() + begin_, kept);
        }
        begin_ = 0;
        end_ = kept;
        while (end_ < n) {
            const size_t want = std::min(room_ - end_, size_ - read_);
            ssize_t got = ::read(fd_, buffer_.get() + end_, want);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) throw EUnreadable(std::strerror(errno));
            if (got == 0) Damaged("the file changed while it was read");
            if (seen_) (*seen_)(std::string_view(buffer_.get() + end_, static_cast<size_t>(got)));
            end_ += static_cast<size_t>(got);
            read_ += static_cast<size_t>(got);
        }
    }

    int fd_;
    size_t size_, read_ = 0;
    const TPieceSink* seen_;
    std::unique_ptr<char[]> buffer_;
    size_t room_, begin_ = 0, end_ = 0;
};

// The last SignatureSize bytes of a file of `size` bytes; how many there were.
size_t ReadTrailer(int fd, size_t size, char* trailer) {
    size_t done = 0;
    while (done < SignatureSize) {
        ssize_t got = ::pread(fd, trailer + done, SignatureSize - done,
                              static_cast<off_t>(size - SignatureSize + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw EUnreadable(std::strerror(errno));
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

// A count read as a 32-bit number, checked against the bytes left in the file.
size_t CheckedCount(int32_t n, size_t remaining, size_t recordSize) {
    if (n < 0 || static_cast<size_t>(n) > remaining / recordSize) throw ETruncated();
    return static_cast<size_t>(n);
}

// Reads a regular file as ParseDataImage reads its bytes, each analyte's points decoded as their
// records come in and its statistics computed once its image is complete.
void ReadDataStream(int fd, size_t size, const TPieceSink* seen, TListSerum& serum, TListAnalytes& analytes) {
    if (size < SignatureSize) Damaged("file too short");
    char trailer[SignatureSize];
    if (ReadTrailer(fd, size, trailer) != SignatureSize) Damaged("the file changed while it was read");
    const bool v30 = TrailerIsV30(std::string_view(trailer, SignatureSize));

    TPieceInput in(fd, size, seen);
    in.Parse([&serum](TByteReader& r) {
        TListSerum s;
        ReadMaterials(r, s);
        serum = std::move(s);
        return 0;
    });
    auto count32 = [&in](size_t recordSize) {
        const int32_t n = in.Parse([](TByteReader& r) { return r.I32(); });
        return CheckedCount(n, in.Remaining(), recordSize);
    };
    const size_t count = count32(SmallestAnalyte);
    analytes.Items.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t n = count32(PointRecordSize);
        std::vector<ControlPoint> points(n);
        for (size_t k = 0; k < n;) {
            const std::string_view w = in.Window(PointRecordSize);
            const size_t m = std::min(n - k, w.size() / PointRecordSize);
            const char* failed = nullptr;
            if (!DecodePoints(w.data(), m, points.data() + k, failed)) RefusePoint(failed);
            in.Advance(m * PointRecordSize);
            k += m;
        }
        std::unique_ptr<TAnalyte> a = in.Parse([v30](TByteReader& r) { return ReadAnalyteTail(r, v30); });
        a->Points = std::move(points);
        a->RecalcAll();
        analytes.Add(std::move(a));
    }
    in.Parse([](TByteReader& r) {
        ExpectSignature(r, "the analytes");
        return 0;
    });
    // Bytes after it were never read as data; they are read through, for the observer.
    while (in.Remaining() > 0) in.Advance(in.Window(in.Remaining()).size());
    // The end of the file is where it was, and its trailer what it was.
    char now[SignatureSize], more;
    if (ReadTrailer(fd, size, now) != SignatureSize || std::memcmp(now, trailer, SignatureSize) != 0 ||
        ::read(fd, &more, 1) != 0)
        Damaged("the file changed while it was read");
}
} // namespace

void ReadDataFile(const std::string& path, const TPieceSink& seen) {
    TListSerum serum;
    TListAnalytes analytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const std::string reason = std::strerror(errno);
        throw EUnreadable(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1: %2"), path, reason), path, reason);
    }
    std::unique_ptr<const int, void (*)(const int*)> closer(&fd, [](const int* f) { ::close(*f); });
    auto unreadable = [&path](const EQcError& e) {
        return EUnreadable(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1: %2"), path, e.what()), path,
                           e.what());
    };
    auto damaged = [&path](const EQcError& e) {
        return EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1: %2"), path, e.what()));
    };
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        try {
            ReadDataStream(fd, static_cast<size_t>(st.st_size), seen ? &seen : nullptr, serum, analytes);
        } catch (const EUnreadable& e) {
            throw unreadable(e);
        } catch (const EQcError& e) {
            throw damaged(e);
        }
    } else {
        // Not a plain file: its bytes as they come.
        TFileBytes bytes = ReadFileBytes(path);
        if (seen) seen(bytes.View());
        try {
            ParseDataImage(bytes.View(), serum, analytes);
        } catch (const EQcError& e) {
            throw damaged(e);
        }
    }
    ListSerum = std::move(serum);
    ListAnalytes = std::move(analytes);
}

void WriteDataFile(const std::string& path) {
    TAtomicWriter file(path);
    try {
        WriteDataImage(ListSerum, ListAnalytes, [&file](std::string_view piece) { file.Write(piece); });
    } catch (const EUnwritable& e) {
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: %2"), path, e.what()));
    }
    file.Commit();
}

// ---------------------------------------------------------------- start and end

std::string KeepUnreadableFile(const std::string& path) {
    if (!FileExists(path)) return "";
    std::string base = path + ".unreadable-" + LocalStamp();
    std::string name = base;
    for (int n = 2; FileExists(name); ++n) name = base + "-" + std::to_string(n);
    if (::rename(path.c_str(), name.c_str()) == 0) {
        SyncFolderOf(name);
        return name;
    }
    try {
        AtomicWriteFile(name, ReadWholeFile(path));
        return name;
    } catch (const EQcError&) {
        return "";
    }
}

// ---------------------------------------------------------------- sample data

void BuildSampleData() {
    TDateTime today = Today();
    for (int i = 1; i <= 3; ++i) {
        int lot = static_cast<int>(RandomUniform() * 1000000);
        ListSerum.AddMaterial("Lyphocheck " + std::to_string(i), std::to_string(lot));
    }
    auto given = [](std::initializer_list<float> values) {
        TLevelValues out{};
        int i = 0;
        for (float v : values) out[i++] = {v, psInControl};
        return out;
    };

    auto glucose = std::make_unique<TAnalyte>("Glucose", "mmol/L", 1, 3);
    glucose->MaterialId = {0, 1, 2};
    TLevelValues gMeans = given({3.0f, 5.0f, 12.0f}), gCVs = given({3, 3, 3});
    GenerateRandomPoints(*glucose, 45, gMeans, gCVs, today + 0.5 - 44);
    for (int i = 0; i < MaxLevels; ++i) {
        glucose->LockFirst[i] = 0;
        glucose->LockLast[i] = 25;
        glucose->LimitMode[i] = lmLocked;
    }
    glucose->RecalcAll();
    glucose->ClassifyAllPoints();
    ControlPoint& wrong = glucose->Points[30];
    wrong.Levels = {LevelValue{0.6f, psDiscarded}, LevelValue{1.0f, psDiscarded},
                    LevelValue{3.5f, psDiscarded}};
    wrong.CommentId = 0;
    glucose->Comments.AddText("Wrong calibrator");
    glucose->Points[35].CommentId = 1;
    glucose->Comments.AddText("New reagent");
    // The figures count the discarded run out, as every later start computes them.
    glucose->RecalcAll();
    for (int j = 1; j <= 5; ++j) Fifo.Push(MakeRandomEntry(*glucose, gMeans, gCVs, today + j + 0.375));
    ListAnalytes.Add(std::move(glucose));

    auto calcium = std::make_unique<TAnalyte>("Calcium", "mmol/L", 2, 2);
    calcium->Options &= static_cast<uint8_t>(~TAnalyte::OptCommonCV);
    calcium->MaterialId = {0, 1, 2};
    GenerateRandomPoints(*calcium, 25, given({2.4f, 2.6f}), given({4.0f, 3.5f}), today + 10.0 / 24 - 24);
    ListAnalytes.Add(std::move(calcium));

    auto albumin = std::make_unique<TAnalyte>("Albumin", "g/L", 0, 1);
    albumin->MaterialId = {0, 1, 2};
    GenerateRandomPoints(*albumin, 50, given({40.0f}), given({4.0f}), today + 16.0 / 24 - 49);
    albumin->LimitMode[0] = lmFixed;
    albumin->Limits[0].Mean = 42.0L;
    albumin->Limits[0].WarnDev = 2.0L;
    albumin->Limits[0].ActionDev = 3.0L;
    albumin->RecalcAll();
    albumin->ClassifyAllPoints();
    ListAnalytes.Add(std::move(albumin));
}

// ---------------------------------------------------------------- backup names

std::string BackupFileName(const std::string& folder) {
    return WithSlash(folder) + "Varnholt.Sav";
}
std::string OldBackupFileName(const std::string& folder) {
    return WithSlash(folder) + "Varnholt.Old";
}
std::string TempBackupFileName(const std::string& folder) {
    return WithSlash(folder) + "Varnholt.tmp";
}
