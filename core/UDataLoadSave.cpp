// Data file reader and writer, start and end of the data, sample data, backup and restore.
#include "UDataLoadSave.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "UAtomicFile.h"
#include "UExtended.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "UQcError.h"
#include "URandom.h"
#include "UTexts.h"
#include "UUserPrompt.h"

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
// An analyte's image but for its point records, whose block is only checked for size: the
// records are the bulk of the file and are decoded afterwards (FinishAnalyte), possibly alongside
// other analytes'.
std::unique_ptr<TAnalyte> ReadAnalyteFrame(TByteReader& r, bool v30, std::string_view& block) {
    auto a = std::make_unique<TAnalyte>();
    size_t count = r.Count(PointRecordSize);
    block = r.Bytes(count * PointRecordSize);

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

// The points from their records, then the statistics.
void FinishAnalyte(TAnalyte& a, std::string_view block) {
    size_t count = block.size() / PointRecordSize;
    // Sized first: the loop then writes each point in place, with no bookkeeping of the vector's
    // end at every record.
    a.Points.resize(count);
    ControlPoint* out = a.Points.data();
    for (size_t k = 0; k < count; ++k) {
        const char* b = block.data() + k * PointRecordSize;
        if (!DecodePoint(b, out[k])) RefusePoint(b);
    }
    a.RecalcAll();
}

} // namespace

void WriteAnalyteImage(TByteWriter& w, const TAnalyte& a) {
    w.I32(a.Count());
    // Each point record is laid out in a buffer and appended whole: the writer's bulk.
    for (const ControlPoint& p : a.Points) {
        char b[PointRecordSize] = {};
        StoreLE(b, p.DateTime);
        for (int i = 0; i < MaxLevels; ++i) {
            StoreLE(b + 8 + 8 * i, p.Levels[i].Value);
            b[12 + 8 * i] = static_cast<char>(p.Levels[i].State);
        }
        StoreLE(b + 32, p.CommentId);
        std::string_view op = p.Operator.View();
        b[36] = static_cast<char>(op.size());
        std::memcpy(b + 37, op.data(), op.size());
        w.Bytes(std::string_view(b, PointRecordSize));
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

// ---------------------------------------------------------------- whole file

namespace {
// The writer never produces a file that its reader would refuse: the file on disk stays the last
// readable one instead.
void CheckWritable(const TAnalyte& a) {
    auto refuse = [&](const std::string& what) {
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "analyte %1: %2"), a.Name, what));
    };
    if (a.NbLevels < 1 || a.NbLevels > MaxLevels || a.Decimals < 0 || a.Decimals > 3)
        refuse("levels or decimals out of range");
    for (int i = 0; i < MaxLevels; ++i) {
        if (a.LimitMode[i] > lmFixed) refuse("limit mode out of range");
        const LevelStats& l = a.Limits[i];
        if (a.LimitMode[i] == lmFixed &&
            !(std::isfinite(l.Mean) && std::isfinite(l.WarnDev) && std::isfinite(l.ActionDev)))
            refuse("fixed limits are not numbers");
    }
    for (const ControlPoint& p : a.Points) {
        if (!std::isfinite(p.DateTime)) refuse("a date is not a number");
        for (const LevelValue& lv : p.Levels)
            if (lv.State > psEmpty || (lv.State != psEmpty && !std::isfinite(lv.Value)))
                refuse("a value is not a number");
    }
}
} // namespace

std::string DataImage(const TListSerum& serum, const TListAnalytes& analytes) {
    size_t points = 0;
    for (const auto& a : analytes.Items) {
        CheckWritable(*a);
        points += a->Points.size();
    }
    TByteWriter w;
    w.Data().reserve(64 + serum.Items.size() * MaterialRecordSize + points * PointRecordSize +
                     analytes.Items.size() * 512);
    w.I32(serum.Count());
    for (const TSerum& s : serum.Items) {
        w.I32(s.Id);
        w.I32(s.EraseMark);
        w.ShortString(s.Name, TListSerum::NameRoom);
        w.ShortString(s.Lot, TListSerum::LotRoom);
        w.Zeros(1);
    }
    w.I32(analytes.Count());
    for (const auto& a : analytes.Items) WriteAnalyteImage(w, *a);
    WriteSignature(w);
    return std::move(w.Data());
}

namespace {
// Sets FileVersion from the trailer, the file's last signature; true for a "30" file, whose
// headers are shorter.
bool TrailerIsV30(std::string_view trailer) {
    FileVersion = std::string(trailer.substr(1, 2));
    if (!SignatureMagicMatches(trailer)) Damaged("not a data file");
    return FileVersion == "30";
}

// The materials, then the number of analytes (checked against what remains).
size_t ReadPrelude(TByteReader& r, TListSerum& serum) {
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

    constexpr size_t smallestAnalyte =
        4 + HeaderSizeV30 + 3 * LevelBlockSize + SignatureSize + 4 + SignatureSize + 4 + SignatureSize;
    return r.Count(smallestAnalyte);
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
// What the thread reading a large file hands to the threads finishing its analytes.
struct THandOver {
    static constexpr uint64_t Ended = uint64_t{1} << 63;
    std::vector<TAnalyte*> analytes;
    std::vector<std::string_view> blocks;
    std::vector<std::exception_ptr> failures;
    // Frames complete, with Ended once no more will come: one word, so that no wake-up is lost.
    std::atomic<uint64_t> ready{0};
    std::atomic<size_t> next{0};
    std::atomic<bool> abandoned{false};

    void Publish(size_t frames, bool ended) {
        ready.store(frames | (ended ? Ended : 0), std::memory_order_release);
        ready.notify_all();
    }
    // Finishes analytes, each by one thread, as their frames come, until none is left.
    void Drain() {
        for (;;) {
            size_t i = next.fetch_add(1);
            uint64_t r = ready.load(std::memory_order_acquire);
            while ((r & ~Ended) <= i && (r & Ended) == 0) {
                ready.wait(r, std::memory_order_acquire);
                r = ready.load(std::memory_order_acquire);
            }
            if ((r & ~Ended) <= i || abandoned.load()) return;
            try {
                FinishAnalyte(*analytes[i], blocks[i]);
            } catch (...) {
                failures[i] = std::current_exception();
            }
        }
    }
};

// Whatever way the reading ends, the finishing thread is told and waited for.
struct TFinisher {
    THandOver& hand;
    std::thread thread;
    ~TFinisher() {
        if (!thread.joinable()) return;
        if ((hand.ready.load() & THandOver::Ended) == 0) {
            hand.abandoned = true;
            hand.Publish(hand.ready.load() & ~THandOver::Ended, true);
        }
        thread.join();
    }
};

size_t ReadAt(int fd, char* to, size_t n, size_t at) {
    size_t done = 0;
    while (done < n) {
        ssize_t got = ::pread(fd, to + done, n - done, static_cast<off_t>(at + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw EQcError(std::strerror(errno));
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

// A large file is read in pieces while its analytes are finished: this thread parses the frames
// in order as the pieces come in, a second one finishes each analyte once its frame is complete,
// and this one joins it when the reading is done. False, having read nothing, for a small file or
// a single core: reading the whole image first is then as fast.
bool ReadDataFileInPieces(const std::string& path, TListSerum& serum, TListAnalytes& analytes) {
    constexpr size_t SharedFrom = 16384 * PointRecordSize, Piece = 256 * 1024;
    // Asked once: the call reads the system's files every time.
    static const unsigned cores = std::thread::hardware_concurrency();
    if (cores < 2) return false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false; // the whole-image reader says why
    std::unique_ptr<int, void (*)(int*)> closer(&fd, [](int* f) { ::close(*f); });
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<size_t>(st.st_size) < SharedFrom)
        return false;
    const size_t size = static_cast<size_t>(st.st_size);
    auto changed = [] { Damaged("the file changed while it was read"); };

    char trailer[SignatureSize];
    if (ReadAt(fd, trailer, SignatureSize, size - SignatureSize) != SignatureSize) changed();
    const bool v30 = TrailerIsV30(std::string_view(trailer, SignatureSize));

    std::unique_ptr<char[]> bytes(new char[size]);
    TByteReader r(std::string_view(bytes.get(), size));
    THandOver hand;
    TFinisher finisher{hand, {}};
    // Started first, as a thread takes a while to start: it waits for the first frame.
    try {
        finisher.thread = std::thread([&hand] { hand.Drain(); });
    } catch (const std::system_error&) {
        // No second thread: this one finishes every analyte once the reading is done.
    }
    // One step of the parse if its bytes are there; otherwise back to its start for the next piece.
    auto attempt = [&r](auto step) {
        size_t at = r.Position();
        try {
            step();
            return true;
        } catch (const ENotYet&) {
            r.Seek(at);
            return false;
        }
    };
    bool prelude = false, finished = false;
    size_t count = 0, frames = 0, done = 0;
    while (done < size) {
        size_t got = ReadAt(fd, bytes.get() + done, std::min(Piece, size - done), done);
        if (got == 0) changed();
        done += got;
        if (DataFilePieceObserver()) DataFilePieceObserver()(done);
        r.SetAvailable(done);
        if (!prelude && attempt([&] {
                TListSerum s;
                count = ReadPrelude(r, s);
                serum = std::move(s);
            })) {
            prelude = true;
            analytes.Items.reserve(count);
            // Sized before the first frame is handed over: the finishing thread reads them only then.
            hand.analytes.resize(count);
            hand.blocks.resize(count);
            hand.failures.resize(count);
        }
        if (!prelude) continue;
        for (std::unique_ptr<TAnalyte> a; frames < count; ++frames) {
            std::string_view block;
            if (!attempt([&] { a = ReadAnalyteFrame(r, v30, block); })) break;
            hand.analytes[frames] = a.get();
            hand.blocks[frames] = block;
            analytes.Add(std::move(a));
            hand.Publish(frames + 1, false);
        }
        if (frames == count && !finished) finished = attempt([&] { ExpectSignature(r, "the analytes"); });
    }
    char more;
    if (!finished || ReadAt(fd, &more, 1, size) != 0 ||
        std::memcmp(bytes.get() + size - SignatureSize, trailer, SignatureSize) != 0)
        changed();
    hand.Publish(frames, true);
    hand.Drain();
    if (finisher.thread.joinable()) finisher.thread.join();
    for (const std::exception_ptr& f : hand.failures)
        if (f) std::rethrow_exception(f);
    return true;
}
} // namespace

std::function<void(size_t)>& DataFilePieceObserver() {
    static std::function<void(size_t)> observer;
    return observer;
}

void ReadDataFile(const std::string& path) {
    TListSerum serum;
    TListAnalytes analytes;
    bool read = false;
    try {
        read = ReadDataFileInPieces(path, serum, analytes);
    } catch (const EQcError& e) {
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1: %2"), path, e.what()));
    }
    if (!read) {
        TFileBytes bytes = ReadFileBytes(path);
        try {
            ParseDataImage(bytes.View(), serum, analytes);
        } catch (const EQcError& e) {
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1: %2"), path, e.what()));
        }
    }
    ListSerum = std::move(serum);
    ListAnalytes = std::move(analytes);
}

void WriteDataFile(const std::string& path) {
    std::string image;
    try {
        image = DataImage(ListSerum, ListAnalytes);
    } catch (const EQcError& e) {
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: %2"), path, e.what()));
    }
    AtomicWriteFile(path, image);
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
