// The data file: layout, version "30" files, damaged files, start and end, sample data, safe saving.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <unistd.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "URandom.h"

namespace {

// A data file written byte by byte from the layout table, independent of the writer. It records the
// offsets whose damage a reader must notice (counts, magic bytes, range-checked fields).
struct TFileBuilder {
    std::string b;
    std::set<size_t> mustRefuse;

    void u8(int v) { b.push_back(static_cast<char>(v)); }
    void zeros(size_t n) { b.append(n, '\0'); }
    void i32(int32_t v) {
        for (int i = 0; i < 4; ++i) u8((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    }
    void checkedI32(int32_t v) {
        for (size_t i = 0; i < 4; ++i) mustRefuse.insert(b.size() + i);
        i32(v);
    }
    void f32(float f) {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        i32(static_cast<int32_t>(u));
    }
    void f64(double d) {
        uint64_t u;
        std::memcpy(&u, &d, 8);
        for (int i = 0; i < 8; ++i) u8((u >> (8 * i)) & 0xFF);
    }
    void ss(const std::string& s, size_t room) {
        u8(static_cast<int>(s.size()));
        b += s;
        zeros(room - s.size());
    }
    void ext(uint16_t signExp, uint64_t mant) {
        for (int i = 0; i < 8; ++i) u8((mant >> (8 * i)) & 0xFF);
        u8(signExp & 0xFF);
        u8(signExp >> 8);
    }
    void sig(const char* version = "32") {
        u8(8);
        u8(version[0]);
        u8(version[1]);
        for (size_t i = 0; i < 6; ++i) mustRefuse.insert(b.size() + i);
        for (int c : {0xB5, 0xFE, 0x70, 0x6F, 0x34, 0x35}) u8(c);
    }
    void level(float v, int state) {
        f32(v);
        mustRefuse.insert(b.size());
        u8(state);
        zeros(3);
    }
};

// Exact extended images of the values used.
constexpr uint16_t E42 = 0x4004, E2 = 0x4000, E3 = 0x4000, E5 = 0x4001, E025 = 0x3FFD, E05 = 0x3FFE;
constexpr uint64_t M42 = 0xA800000000000000ULL, M2 = 0x8000000000000000ULL, M3 = 0xC000000000000000ULL,
                   M5 = 0xA000000000000000ULL, MHalf = 0x8000000000000000ULL;

void Header(TFileBuilder& f, const std::string& name, const std::string& unit, int decimals, int levels,
            std::array<int32_t, 3> materials, bool v30, int options, bool level1Image) {
    f.ss(name, 15);
    f.ss(unit, 6);
    f.zeros(1);
    f.checkedI32(decimals);
    f.checkedI32(levels);
    for (int32_t m : materials) f.i32(m);
    for (int i = 0; i < 3; ++i) {
        f.mustRefuse.insert(f.b.size());
        f.u8(lmFixed);
    }
    f.zeros(1);
    for (int i = 0; i < 6; ++i) f.i32(-1);
    if (v30) {
        f.zeros(3);
        return;
    }
    f.i32(0);
    f.u8(options);
    f.zeros(3);
    f.i32(10);
    if (level1Image) {
        f.ext(E42, M42);
        f.ext(E2, M2);
        f.ext(E3, M3);
        f.zeros(10 + 9); // Min 0 and the first 9 bytes of Max 0
    } else {
        f.zeros(49);
    }
}

// Two materials; "Glucose" with two points, all levels fixed, two archive numbers and a comment;
// "Empty" with nothing at all.
std::string BuildFile(const char* version = "32", int options = 3, std::set<size_t>* mustRefuse = nullptr) {
    bool v30 = std::string(version) == "30";
    TFileBuilder f;
    f.checkedI32(2);
    f.i32(5), f.i32(0), f.ss("Lyph A", 15), f.ss("L1", 10), f.zeros(1);
    f.i32(2), f.i32(1), f.ss("Lyph B", 15), f.ss("L2", 10), f.zeros(1);
    f.checkedI32(2);

    f.checkedI32(2);
    f.f64(45000.5), f.level(41.5f, psInControl), f.level(5.5f, psHighWarning), f.level(0, psEmpty);
    f.i32(0), f.ss("AB", 4), f.zeros(3);
    f.f64(45001.25), f.level(44.0f, psHighAction), f.level(4.0f, psDiscarded), f.level(0, psEmpty);
    f.i32(-1), f.ss("", 4), f.zeros(3);
    Header(f, "Glucose", "mmol/L", 1, 2, {5, 2, -1}, v30, options, true);
    f.ext(E42, M42), f.ext(E2, M2), f.ext(E3, M3);
    f.ext(E5, M5), f.ext(E025, M2), f.ext(E05, MHalf);
    f.zeros(30);
    f.sig();
    f.checkedI32(2), f.i32(7), f.i32(12);
    f.sig();
    f.checkedI32(1), f.i32(0), f.checkedI32(16), f.b += "Wrong calibrator";
    f.sig();

    f.checkedI32(0);
    Header(f, "Empty", "g/L", 0, 1, {-1, -1, -1}, v30, options, false);
    f.zeros(90);
    f.sig();
    f.checkedI32(0);
    f.sig();
    f.checkedI32(0);
    f.sig();

    f.sig(version);
    if (mustRefuse) *mustRefuse = f.mustRefuse;
    return f.b;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Bytes(const std::string& path) {
    return ReadWholeFile(path);
}

std::string MemoryImage() {
    return DataImage(ListSerum, ListAnalytes);
}

// Some data in memory that a refused read must leave alone.
void FillSentinel() {
    ListAnalytes.Clear();
    ListSerum.Clear();
    Fifo.ClearQueue();
    RandomSeed(11);
    BuildSampleData();
    Fifo.ClearQueue();
}

class DataFile : public ::testing::Test {
protected:
    TTempFolder folder;
    void TearDown() override {
        ListAnalytes.Clear();
        ListSerum.Clear();
        Fifo.ClearQueue();
        WriteFaults() = {};
    }
};

} // namespace

TEST_F(DataFile, ReadsAFileBuiltFromTheLayout) {
    WriteBytes(folder.File("a.qcf"), BuildFile());
    ReadDataFile(folder.File("a.qcf"));
    EXPECT_EQ(FileVersion, "32");
    ASSERT_EQ(ListSerum.Count(), 2);
    EXPECT_EQ(ListSerum.Items[0].Id, 5);
    EXPECT_EQ(ListSerum.Items[0].Name, "Lyph A");
    EXPECT_EQ(ListSerum.Items[1].Lot, "L2");
    EXPECT_EQ(ListSerum.Items[1].EraseMark, 1);
    EXPECT_EQ(ListSerum.NextId, 6); // largest identifier + 1, whatever the order

    ASSERT_EQ(ListAnalytes.Count(), 2);
    const TAnalyte& g = ListAnalytes[0];
    EXPECT_EQ(g.Name, "Glucose");
    EXPECT_EQ(g.Unit, "mmol/L");
    EXPECT_EQ(g.Decimals, 1);
    EXPECT_EQ(g.NbLevels, 2);
    EXPECT_EQ(g.MaterialId, (std::array<int32_t, 3>{5, 2, -1}));
    EXPECT_EQ(g.Options, 3);
    EXPECT_EQ(g.Reserved, 10);
    ASSERT_EQ(g.Count(), 2);
    EXPECT_EQ(g.Points[0].DateTime, 45000.5);
    EXPECT_EQ(g.Points[0].Levels[1], (LevelValue{5.5f, psHighWarning}));
    EXPECT_EQ(g.Points[0].Operator.Str(), "AB");
    EXPECT_EQ(g.CommentText(g.Points[0].CommentId), "Wrong calibrator");
    // Stored states stay as read: 44 against 42 +- 3 would now be a warning.
    EXPECT_EQ(g.Points[1].Levels[0].State, psHighAction);
    EXPECT_EQ(g.Points[1].Levels[1].State, psDiscarded);
    EXPECT_EQ(g.Limits[0].Mean, 42.0L);
    EXPECT_EQ(g.Limits[0].ActionDev, 3.0L);
    EXPECT_EQ(g.Limits[1].WarnDev, 0.25L);
    EXPECT_EQ(g.ArchiveNumbers, (std::vector<int32_t>{7, 12}));
    EXPECT_EQ(g.Comments.NextId(), 1);
    EXPECT_EQ(ListAnalytes[1].Name, "Empty");
    EXPECT_EQ(ListAnalytes[1].Count(), 0);
}

TEST_F(DataFile, WritesTheLayoutByteForByte) {
    std::string expected = BuildFile();
    WriteBytes(folder.File("a.qcf"), expected);
    ReadDataFile(folder.File("a.qcf"));
    WriteDataFile(folder.File("b.qcf"));
    EXPECT_EQ(Bytes(folder.File("b.qcf")), expected);

    // An analyte with nothing in it; the three level blocks are there although it has one level.
    TByteWriter w;
    WriteAnalyteImage(w, ListAnalytes[1]);
    EXPECT_EQ(w.Data().size(), 4u + 133 + 90 + 9 + 4 + 9 + 4 + 9);
}

TEST_F(DataFile, Version30IsReadAndWrittenBackAs32) {
    WriteBytes(folder.File("old.qcf"), BuildFile("30"));
    ReadDataFile(folder.File("old.qcf"));
    EXPECT_EQ(FileVersion, "30");
    EXPECT_EQ(ListAnalytes[0].Options, 7);
    EXPECT_EQ(ListAnalytes[0].Reserved, 10);
    EXPECT_EQ(ListAnalytes[0].Limits[0].Mean, 42.0L);
    EXPECT_EQ(ListAnalytes[1].Name, "Empty");
    WriteDataFile(folder.File("new.qcf"));
    EXPECT_EQ(Bytes(folder.File("new.qcf")), BuildFile("32", 7));

    // Any other version characters mean the 133-byte headers; only the magic is compared.
    WriteBytes(folder.File("other.qcf"), BuildFile("9x"));
    ReadDataFile(folder.File("other.qcf"));
    EXPECT_EQ(FileVersion, "9x");
    EXPECT_EQ(ListAnalytes[0].Options, 3);
}

TEST_F(DataFile, GeneratedDataRoundTripsAndStatisticsAreRecomputed) {
    FillSentinel();
    WriteDataFile(folder.File("a.qcf"));
    ReadDataFile(folder.File("a.qcf"));
    const std::string image = MemoryImage();
    WriteDataFile(folder.File("b.qcf"));
    ReadDataFile(folder.File("b.qcf"));
    EXPECT_EQ(MemoryImage(), image);

    // A mobile level's stored limits are replaced by those of its points, even when not numbers.
    ListSerum.Clear();
    ListAnalytes.Clear();
    ListAnalytes.Add(std::make_unique<TAnalyte>(AnalyteWithValues({10, 11, 12, 13, 14})));
    WriteDataFile(folder.File("m.qcf"));
    std::string bytes = Bytes(folder.File("m.qcf"));
    const size_t level1Mean = 4 + 4 + 4 + 5 * 44 + 133;
    for (uint8_t exponent : {0x44, 0xFF}) { // a far larger mean, then no number at all
        bytes[level1Mean + 8] = static_cast<char>(0xFF);
        bytes[level1Mean + 9] = static_cast<char>(exponent);
        WriteBytes(folder.File("m.qcf"), bytes);
        ReadDataFile(folder.File("m.qcf"));
        EXPECT_NEAR(static_cast<double>(ListAnalytes[0].Limits[0].Mean), 12.0, 1e-9);
    }
}

TEST_F(DataFile, DamagedFilesAreRefusedAndMemoryIsKept) {
    std::set<size_t> mustRefuse;
    const std::string good = BuildFile("32", 3, &mustRefuse);
    FillSentinel();
    std::string before = MemoryImage();
    const std::string path = folder.File("d.qcf");
    auto refused = [&](const std::string& bytes) {
        WriteBytes(path, bytes);
        try {
            ReadDataFile(path);
        } catch (const EQcError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
            return true;
        }
        return false;
    };

    for (size_t cut = 0; cut < good.size(); ++cut) {
        ASSERT_TRUE(refused(good.substr(0, cut))) << "cut at " << cut;
        ASSERT_EQ(MemoryImage(), before) << "cut at " << cut;
    }
    for (size_t pos = 0; pos < good.size(); ++pos) {
        std::string bad = good;
        bad[pos] = static_cast<char>(bad[pos] ^ 0xFF);
        if (refused(bad)) {
            ASSERT_EQ(MemoryImage(), before) << "flip at " << pos;
        } else {
            EXPECT_FALSE(mustRefuse.count(pos)) << "flip at " << pos << " was accepted";
            before = MemoryImage();
        }
    }

    // Counts far beyond the file: refused before anything is allocated for them.
    const size_t pointCount = 4 + 2 * 36 + 4;
    for (int32_t huge : {0x7FFFFFFF, 0x10000000, -1}) {
        std::string bad = good;
        for (int i = 0; i < 4; ++i)
            bad[pointCount + i] = static_cast<char>((static_cast<uint32_t>(huge) >> (8 * i)));
        EXPECT_TRUE(refused(bad));
    }
    EXPECT_EQ(MemoryImage(), before);
    EXPECT_TRUE(refused("")) << "empty file";
    EXPECT_TRUE(refused(std::string(5000, '\0')));
}

TEST_F(DataFile, FieldsOutOfRangeAreRefused) {
    const std::string good = BuildFile();
    FillSentinel();
    const std::string before = MemoryImage();
    const size_t point0 = 4 + 2 * 36 + 4 + 4;
    const size_t header = point0 + 2 * 44;
    auto with = [&](size_t offset, std::initializer_list<uint8_t> bytes) {
        std::string bad = good;
        size_t i = offset;
        for (uint8_t c : bytes) bad[i++] = static_cast<char>(c);
        return bad;
    };
    float inf = INFINITY;
    uint8_t infBytes[4];
    std::memcpy(infBytes, &inf, 4);
    double nan = NAN;
    uint8_t nanBytes[8];
    std::memcpy(nanBytes, &nan, 8);
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"no levels", with(header + 28, {0, 0, 0, 0})},
        {"four levels", with(header + 28, {4, 0, 0, 0})},
        {"negative decimals", with(header + 24, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"four decimals", with(header + 24, {4, 0, 0, 0})},
        {"limit mode 3", with(header + 46, {3})},
        {"state 7", with(point0 + 20, {7})},
        {"infinite value", with(point0 + 8, {infBytes[0], infBytes[1], infBytes[2], infBytes[3]})},
        {"nan date", with(point0, {nanBytes[0], nanBytes[1], nanBytes[2], nanBytes[3], nanBytes[4],
                                   nanBytes[5], nanBytes[6], nanBytes[7]})},
        {"nan limit", with(header + 133 + 8, {0xFF, 0xFF})},
        {"comment identifiers out of order",
         with(good.size() - 9 - 262 - 9 - 16 - 4 - 4, {0xFF, 0xFF, 0xFF, 0x7F})},
    };
    for (const Case& c : cases) {
        WriteBytes(folder.File("f.qcf"), c.bytes);
        EXPECT_THROW(ReadDataFile(folder.File("f.qcf")), EQcError) << c.what;
        EXPECT_EQ(MemoryImage(), before) << c.what;
    }

    // An empty level's value means nothing: a non-number there is read as 0.
    WriteBytes(folder.File("e.qcf"), with(point0 + 24, {infBytes[0], infBytes[1], infBytes[2], infBytes[3]}));
    ReadDataFile(folder.File("e.qcf"));
    EXPECT_EQ(ListAnalytes[0].Points[0].Levels[2], (LevelValue{0, psEmpty}));
}

TEST_F(DataFile, LockedIntervalOutsideThePointsFallsBackToMobile) {
    TAnalyte a("Lock", "u", 1, 1);
    for (int k = 0; k < 5; ++k) a.AddPoint(MakeRun(1000 + k, {10.0 + k}));
    a.LimitMode[0] = lmLocked;
    a.LockFirst[0] = 2;
    a.LockLast[0] = 40;
    ListSerum.Clear();
    ListAnalytes.Clear();
    ListAnalytes.Add(std::make_unique<TAnalyte>(a));
    WriteDataFile(folder.File("l.qcf"));
    ReadDataFile(folder.File("l.qcf"));
    EXPECT_EQ(ListAnalytes[0].LimitMode[0], lmMobile);
    EXPECT_NEAR(static_cast<double>(ListAnalytes[0].Limits[0].Mean), 12.0, 1e-9);
}

TEST_F(DataFile, SampleDataAsListed) {
    TOpenReport report = Operations().Open(folder.Path(), TOpenMode::Program);
    EXPECT_TRUE(report.FirstRun);
    EXPECT_TRUE(report.Notes.empty()) << "the sample data appear silently";
    ASSERT_EQ(ListSerum.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ListSerum.Items[i].Id, i);
        EXPECT_EQ(ListSerum.Items[i].Name, "Lyphocheck " + std::to_string(i + 1));
        int lot = std::stoi(ListSerum.Items[i].Lot);
        EXPECT_TRUE(lot >= 0 && lot <= 999999);
    }
    ASSERT_EQ(ListAnalytes.Count(), 3);
    const TDateTime today = Today();

    const TAnalyte& g = ListAnalytes[0];
    EXPECT_EQ(g.Name, "Glucose");
    EXPECT_EQ(g.Unit, "mmol/L");
    EXPECT_EQ(g.Decimals, 1);
    EXPECT_EQ(g.NbLevels, 3);
    ASSERT_EQ(g.Count(), 45);
    EXPECT_DOUBLE_EQ(g.Points[0].DateTime, today + 0.5 - 44);
    EXPECT_DOUBLE_EQ(g.Points[44].DateTime, today + 0.5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g.MaterialId[i], i);
        EXPECT_EQ(g.LimitMode[i], lmLocked);
        EXPECT_EQ(g.LockFirst[i], 0);
        EXPECT_EQ(g.LockLast[i], 25);
        EXPECT_EQ(g.Points[30].Levels[i].State, psDiscarded);
    }
    EXPECT_EQ(g.Points[30].Levels[0].Value, 0.6f);
    EXPECT_EQ(g.Points[30].Levels[2].Value, 3.5f);
    EXPECT_EQ(g.CommentText(g.Points[30].CommentId), "Wrong calibrator");
    EXPECT_EQ(g.CommentText(g.Points[35].CommentId), "New reagent");
    EXPECT_EQ(g.Points[30].CommentId, 0);
    EXPECT_EQ(g.Points[35].CommentId, 1);
    // The statistics count point 30 out as soon as it is discarded, as every later start does.
    EXPECT_EQ(g.AllStats[0].NDiscarded, 1);

    const TAnalyte& c = ListAnalytes[1];
    EXPECT_EQ(c.Name, "Calcium");
    EXPECT_EQ(c.Decimals, 2);
    EXPECT_EQ(c.NbLevels, 2);
    EXPECT_FALSE(c.CommonCVOn());
    EXPECT_EQ(c.Count(), 25);
    EXPECT_DOUBLE_EQ(c.Points[0].DateTime, today + 10.0 / 24 - 24);
    EXPECT_EQ(c.Points[0].Levels[2].State, psEmpty);
    EXPECT_EQ(c.LimitMode[0], lmMobile);

    const TAnalyte& a = ListAnalytes[2];
    EXPECT_EQ(a.Name, "Albumin");
    EXPECT_EQ(a.Unit, "g/L");
    EXPECT_EQ(a.Count(), 50);
    EXPECT_DOUBLE_EQ(a.Points[0].DateTime, today + 16.0 / 24 - 49);
    EXPECT_EQ(a.LimitMode[0], lmFixed);
    EXPECT_EQ(a.Limits[0].Mean, 42.0L);
    EXPECT_EQ(a.Limits[0].WarnDev, 2.0L);
    EXPECT_EQ(a.Limits[0].ActionDev, 3.0L);

    ASSERT_EQ(Fifo.Count(), 5);
    for (int j = 1; j <= 5; ++j) {
        TResu r = *Fifo.Pop();
        EXPECT_DOUBLE_EQ(r.DateTime, today + j + 0.375);
        EXPECT_EQ(r.AnalyteName, "Glucose");
        EXPECT_EQ(r.Levels[0].State, psInControl);
    }

    // The discarded run is counted out from the first start on, as every later start counts it.
    EXPECT_EQ(ListAnalytes[0].AllStats[0].N, 44);
    const LevelStats first = ListAnalytes[0].AllStats[1];

    // The first start wrote the folder; the next start reads it back without the first-run path.
    Operations().Close();
    EXPECT_EQ(ListAnalytes.Count(), 0);
    report = Operations().Open(folder.Path(), TOpenMode::Program);
    EXPECT_FALSE(report.FirstRun);
    EXPECT_TRUE(report.Notes.empty());
    ASSERT_EQ(ListAnalytes.Count(), 3);
    EXPECT_EQ(Fifo.Count(), 5);
    EXPECT_EQ(ListAnalytes[2].Name, "Albumin");
    EXPECT_EQ(ListAnalytes[0].Points[30].Levels[0], (LevelValue{0.6f, psDiscarded}));
    EXPECT_EQ(ListAnalytes[0].AllStats[1].N, first.N);
    EXPECT_EQ(ListAnalytes[0].AllStats[1].CV, first.CV);
    Operations().Close();
}

// Settings without a data file: the program says "Cannot read data" and starts empty; a companion
// refuses the folder.
TEST_F(DataFile, MissingFileWithSettingsReportsAndStartsEmpty) {
    AtomicWriteFile(SettingsFileName(), SettingsImage(TSettings{}, {}));
    TOpenReport report = Operations().Open(folder.Path(), TOpenMode::Program);
    EXPECT_TRUE(report.Opened && report.DataUnreadable && report.DataMissing);
    EXPECT_EQ(ListAnalytes.Count(), 0);
    EXPECT_EQ(ListSerum.Count(), 0);
    EXPECT_EQ(Fifo.Count(), 0);
    Operations().Close();
    for (TOpenMode mode : {TOpenMode::Writer, TOpenMode::Reader}) {
        report = Operations().Open(folder.Path(), mode);
        EXPECT_FALSE(report.Opened);
        EXPECT_EQ(report.Message.rfind("Cannot read data", 0), 0u) << report.Message;
    }
}

TEST_F(DataFile, UnreadableFileIsKeptBeforeAnythingOverwritesIt) {
    const std::string damaged = BuildFile().substr(0, 300) + std::string(9, 'x');
    for (bool first : {false, true}) {
        std::filesystem::remove(SettingsFileName());
        if (!first) AtomicWriteFile(SettingsFileName(), SettingsImage(TSettings{}, {}));
        WriteBytes(DataFileName(), damaged);
        TOpenReport report = Operations().Open(folder.Path(), TOpenMode::Program);
        EXPECT_EQ(report.DataUnreadable, !first);
        ASSERT_EQ(report.Notes.size(), 1u);
        const std::string& text = report.Notes[0];
        const std::string prefix = "The unreadable data file was kept as ";
        ASSERT_EQ(text.substr(0, prefix.size()), prefix);
        std::string kept = text.substr(prefix.size());
        EXPECT_EQ(kept.rfind(DataFileName() + ".unreadable-", 0), 0u) << kept;
        EXPECT_EQ(Bytes(kept), damaged);
        EXPECT_EQ(ListAnalytes.Count(), first ? 3 : 0);
        Operations().Close();
        EXPECT_EQ(Bytes(kept), damaged);
        std::filesystem::remove(kept);
        std::filesystem::remove(DataFileName());
    }
}

TEST_F(DataFile, FailedSavesLeaveThePreviousFileIntact) {
    FillSentinel();
    const std::string path = DataFileName();
    WriteDataFile(path);
    const std::string previous = Bytes(path);
    ListAnalytes[0].AddPoint(MakeRun(Today() + 3, {3.0, 5.0, 12.0}));
    const size_t size = MemoryImage().size();

    struct Fault {
        TWriteStep step;
        size_t after;
    } faults[] = {{TWriteStep::Open, 0},         {TWriteStep::Write, 0},        {TWriteStep::Write, 1},
                  {TWriteStep::Write, size / 2}, {TWriteStep::Write, size - 1}, {TWriteStep::Sync, 0},
                  {TWriteStep::Rename, 0}};
    for (const Fault& f : faults) {
        WriteFaults() = {true, f.step, f.after};
        EXPECT_THROW(WriteDataFile(path), EQcError);
        WriteFaults() = {};
        EXPECT_EQ(Bytes(path), previous);
        size_t files = 0;
        for (const auto& e : std::filesystem::directory_iterator(folder.Path())) (void)e, ++files;
        EXPECT_EQ(files, 1u) << "a temporary file was left behind";
    }

    // A folder that cannot hold the file.
    WriteBytes(folder.File("plain"), "x");
    EXPECT_THROW(WriteDataFile(folder.File("plain/Varnholt.qcf")), EQcError);
    if (geteuid() != 0) {
        std::filesystem::permissions(folder.Path(),
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_THROW(WriteDataFile(path), EQcError);
        std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_all);
        EXPECT_EQ(Bytes(path), previous);
    }
}

// A file of many pieces (about 1 MB): written in pieces, it is the image byte for byte; a write that
// fails in a later piece leaves the previous file and no temporary file.
TEST_F(DataFile, LargeFilesAreWrittenInPieces) {
    FillSentinel();
    const std::string path = DataFileName();
    WriteDataFile(path);
    const std::string previous = Bytes(path);
    TAnalyte& a = ListAnalytes[0];
    for (int k = 0; k < 24000; ++k)
        a.AddPoint(MakeRun(50000.0 + k / 7.0, {1.0 + k % 13, 2.5, 3.0}, "", "OP"));
    const std::string image = MemoryImage();
    ASSERT_GT(image.size(), 1000000u);
    for (size_t after : {size_t{300000}, image.size() / 2, image.size() - 1, image.size()}) {
        WriteFaults() = {true, TWriteStep::Write, after};
        EXPECT_THROW(WriteDataFile(path), EQcError);
        WriteFaults() = {};
        EXPECT_EQ(Bytes(path), previous);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    }
    WriteDataFile(path);
    EXPECT_EQ(Bytes(path), image);
}

// A file of many pieces (about 1.7 MB, comments longer than a piece): the observer sees the file's
// bytes; damage, truncation and a change during the read are refused wherever they fall, the lists
// in memory kept.
TEST_F(DataFile, LargeFilesAreReadInPieces) {
    FillSentinel();
    TAnalyte& a = ListAnalytes[0];
    for (int k = 0; k < 24000; ++k) a.AddPoint(MakeRun(50000.0 + k / 7.0, {1.0 + k % 13, 2.5, 3.0}));
    for (char c : {'a', 'b', 'c'}) a.Comments.AddText(std::string(300000, c));
    a.RecalcAll();
    const std::string path = folder.File("big.qcf");
    WriteDataFile(path);
    ReadDataFile(path); // what the sample data keeps in memory beyond the file is gone
    const std::string image = MemoryImage();
    WriteDataFile(path);
    std::string seen;
    ReadDataFile(path, [&seen](std::string_view piece) { seen += piece; });
    EXPECT_TRUE(seen == image);
    EXPECT_TRUE(MemoryImage() == image);

    const std::string kept = MemoryImage();
    auto refused = [&](const std::string& bytes, const std::string& why, const TPieceSink& during = {}) {
        WriteBytes(path, bytes);
        try {
            ReadDataFile(path, during);
            ADD_FAILURE() << "read: " << why;
        } catch (const EQcError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot read " + path + ": " + why);
        }
        EXPECT_EQ(MemoryImage(), kept);
    };
    for (size_t cut : {size_t{300000}, image.size() / 2, image.size() - 10})
        refused(image.substr(0, cut), "Damaged data file: not a data file");
    std::string bad = image;
    bad[4 + 3 * MaterialRecordSize + 4 + 4 + 10000 * PointRecordSize + 12] = 9; // the 10,001st point's state
    refused(bad, "Damaged data file: point state out of range");
    // The file grows or shrinks while it is read.
    refused(image, "Damaged data file: the file changed while it was read",
            [&](std::string_view) { std::ofstream(path, std::ios::app) << 'x'; });
    refused(image, "Damaged data file: the file changed while it was read",
            [&](std::string_view) { std::filesystem::resize_file(path, 100000); });
}

// The layer records the hash of the file it wrote: the next start finds it unchanged, and notices a
// change made outside the program.
TEST(DataFileState, TheHashOfTheWrittenFileIsRecorded) {
    TOpenFolder folder;
    RandomSeed(5);
    BuildSampleData();
    for (int k = 0; k < 12000; ++k) ListAnalytes[1].AddPoint(MakeRun(50000.0 + k, {2.4, 2.6}));
    WriteAllData();
    auto changedNote = [](const TOpenReport& r) {
        for (const std::string& n : r.Notes)
            if (n.find("is not the one Varnholt last wrote") != std::string::npos) return true;
        return false;
    };
    EXPECT_FALSE(changedNote(folder.Reopen()));
    ASSERT_EQ(ListAnalytes[1].Count(), 12025);
    std::string bytes = Bytes(DataFileName());
    bytes[4 + 3 * MaterialRecordSize + 4 + 4 + 8] ^= 1; // the last bit of the first value
    WriteBytes(DataFileName(), bytes);
    const TOpenReport changed = folder.Reopen();
    EXPECT_TRUE(changed.Opened);
    EXPECT_TRUE(changedNote(changed));
}

// Writes that never reached the file, one after another, leave the file found the one last written.
TEST(DataFileState, WritesLostInARowAreNoAlarm) {
    TOpenFolder folder;
    RandomSeed(5);
    BuildSampleData();
    WriteAllData();
    for (int k = 0; k < 3; ++k) {
        WriteFaults() = {true, TWriteStep::Rename, 0, "Varnholt.qcf"};
        EXPECT_EQ(Operations().AcceptRun(ListAnalytes[0], MakeRun(Today() + k, {3, 5, 12})).Status,
                  TStatus::Refused);
        WriteFaults() = {};
    }
    for (const std::string& n : folder.Reopen().Notes)
        EXPECT_EQ(n.find("is not the one Varnholt last wrote"), std::string::npos) << n;
}

TEST_F(DataFile, WriterRefusesWhatItsReaderWouldRefuse) {
    FillSentinel();
    const std::string path = DataFileName();
    WriteDataFile(path);
    const std::string previous = Bytes(path);
    ListAnalytes[1].Points[3].Levels[0] = {INFINITY, psInControl};
    try {
        WriteDataFile(path);
        FAIL() << "written";
    } catch (const EQcError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot write " + path + ": analyte Calcium: a value is not a number");
    }
    EXPECT_EQ(Bytes(path), previous);
    ListAnalytes[1].Points[3].Levels[0] = {INFINITY, psEmpty}; // an empty level's value is not stored
    EXPECT_NO_THROW(WriteDataFile(path));
}
