// Archive numbering, the erase-and-archive of a level, and the archive reader of the archives window.
#include <cmath>
#include <fstream>

#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UArchive.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"

namespace {

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ListAnalytes.Clear();
        ListSerum.Clear();
    }
    void TearDown() override {
        WriteFaults() = TWriteFaults{};
        ListAnalytes.Clear();
        ListSerum.Clear();
    }
    void Touch(const std::string& name) { std::ofstream(folder.File(name)) << "x"; }
    TTempFolder folder;
};

const double Day0 = EncodeDate(2024, 3, 1);
const double NaN = std::nan("");

// Level 2 (index 1) holds values on points 1..5 only; points 0 and 6 hold other levels.
TAnalyte ThreeLevelAnalyte() {
    TAnalyte a("Glucose", "mmol/L", 2, 3);
    a.MaterialId[1] = ListSerum.AddMaterial("Lyphochek", "L123");
    double t = 9.0 / 24;
    a.AddPoint(MakeRun(Day0 + t, {4.0, NaN, 7.0}));
    a.AddPoint(MakeRun(Day0 + 1 + t, {4.1, 5.5, NaN}, "first", "AB"));
    a.AddPoint(MakeRun(Day0 + 2 + t, {NaN, 5.7, NaN}));
    TResu discarded = MakeRun(Day0 + 3 + t, {NaN, 9.9, NaN});
    discarded.Levels[1].State = psDiscarded;
    a.AddPoint(discarded);
    a.AddPoint(MakeRun(Day0 + 4 + t, {4.2, NaN, 7.2}));
    a.AddPoint(MakeRun(Day0 + 5 + t, {NaN, 5.6, NaN}, "last"));
    a.AddPoint(MakeRun(Day0 + 6 + t, {NaN, NaN, 7.1}));
    a.RecalcAll();
    return a;
}

} // namespace

TEST_F(ArchiveTest, NextNumberFollowsTheLargestArchiveAndSkipsForeignNames) {
    EXPECT_EQ(NextArchiveNumber(), 1);
    Touch("QC000001.qca");
    Touch("QC000003.qca");
    EXPECT_EQ(NextArchiveNumber(), 4);

    // Names of the pattern that are not numbers, and other names, do not stop the numbering.
    Touch("QCabcdef.qca");
    Touch("QC00000x.qca");
    Touch("QC000050.txt");
    Touch("XQ000060.qca");
    EXPECT_EQ(NextArchiveNumber(), 4);

    // Deleting the highest archive frees its number.
    std::filesystem::remove(folder.File("QC000003.qca"));
    EXPECT_EQ(NextArchiveNumber(), 2);

    // A number an analyte still holds is not given again, even when its file is gone.
    auto held = std::make_unique<TAnalyte>("Calcium", "mmol/L", 2, 1);
    held->ArchiveNumbers = {7};
    ListAnalytes.Add(std::move(held));
    EXPECT_EQ(NextArchiveNumber(), 8);
}

TEST_F(ArchiveTest, ArchivingAMiddleLevelWritesItsPointsAndErasesOnlyThatLevel) {
    TAnalyte a = ThreeLevelAnalyte();
    a.LimitMode[0] = lmLocked;
    a.LockFirst[0] = 0;
    a.LockLast[0] = 1;
    a.LimitMode[1] = lmFixed;
    a.Limits[1].Mean = 5;
    a.Limits[1].WarnDev = 1;
    a.Limits[1].ActionDev = 2;
    a.RecalcAll();
    ASSERT_EQ(a.LimitMode[0], lmLocked);

    EXPECT_EQ(ArchiveLevel(a, 1), 1);

    // Leading and trailing points without a level-2 value are left out; the empty one between them is
    // written with an empty value field; the discarded value is written and not counted in N.
    EXPECT_EQ(ReadWholeFile(folder.File("QC000001.qca")),
              "Glucose\r\nmmol/L\r\n"
              "02/03/2024\t06/03/2024\tLyphochek\tL123\t5.600\t1.8\t3\r\n"
              "02/03/2024\t09:00:00\t5.50\tAB\tfirst\r\n"
              "03/03/2024\t09:00:00\t5.70\t\t\r\n"
              "04/03/2024\t09:00:00\tDiscarded\t\t\r\n"
              "05/03/2024\t09:00:00\t\t\t\r\n"
              "06/03/2024\t09:00:00\t5.60\t\tlast\r\n");
    EXPECT_EQ(a.ArchiveNumbers, std::vector<int32_t>{1});

    // Points whose only value was on level 2 are gone; the others stay with level 2 empty.
    ASSERT_EQ(a.Count(), 4);
    const double expectedDays[] = {0, 1, 4, 6};
    for (int k = 0; k < 4; ++k) {
        EXPECT_DOUBLE_EQ(DatePart(a.Points[k].DateTime), Day0 + expectedDays[k]);
        EXPECT_EQ(a.Points[k].Levels[1].State, psEmpty);
    }
    EXPECT_FLOAT_EQ(a.Points[1].Levels[0].Value, 4.1f);
    EXPECT_EQ(a.CommentText(a.Points[1].CommentId), "first");
    EXPECT_FLOAT_EQ(a.Points[3].Levels[2].Value, 7.1f);

    // The archived level is back to mobile limits with empty statistics; level 1 keeps its interval.
    EXPECT_EQ(a.LimitMode[1], lmMobile);
    EXPECT_EQ(a.LockFirst[1], -1);
    EXPECT_EQ(a.AllStats[1].N, 0);
    EXPECT_EQ(a.AllStats[1].NDiscarded, 0);
    EXPECT_EQ(a.LimitMode[0], lmLocked);
    EXPECT_EQ(a.LockFirst[0], 0);
    EXPECT_EQ(a.LockLast[0], 1);

    // The next archive takes the next number.
    EXPECT_EQ(ArchiveLevel(a, 2), 2);
    EXPECT_EQ(a.ArchiveNumbers, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(a.Count(), 3); // the point with only a level-3 value is gone
}

TEST_F(ArchiveTest, MaterialMissingFromTheListIsWrittenAsUnknown) {
    TAnalyte a("Urea", "g/L", 0, 1);
    a.MaterialId[0] = 42;
    a.AddPoint(MakeRun(Day0, {12}));
    ArchiveLevel(a, 0);
    TArchiveFile f = ReadArchiveFile(folder.File("QC000001.qca"));
    EXPECT_EQ(f.Summary[2], "Unknown");
    EXPECT_EQ(f.Summary[3], "");
    EXPECT_EQ(f.Summary[4], "12.0");
    EXPECT_EQ(a.Count(), 0);
}

TEST_F(ArchiveTest, RefusedArchiveChangesNothing) {
    TAnalyte a = ThreeLevelAnalyte();
    TAnalyte before = a;
    TAnalyte emptyLevel("Urea", "g/L", 0, 2);
    emptyLevel.AddPoint(MakeRun(Day0, {12, NaN}));

    EXPECT_THROW(ArchiveLevel(emptyLevel, 1), EQcError); // no value on the level
    EXPECT_THROW(ArchiveLevel(emptyLevel, 2), EQcError); // level not in use
    EXPECT_THROW(ArchiveLevel(a, -1), EQcError);
    EXPECT_EQ(emptyLevel.Count(), 1);
    EXPECT_TRUE(emptyLevel.ArchiveNumbers.empty());

    // A failed write keeps the points and takes no number, at every step of the write.
    for (TWriteStep step : {TWriteStep::Open, TWriteStep::Write, TWriteStep::Sync, TWriteStep::Rename}) {
        WriteFaults() = TWriteFaults{true, step, 10};
        EXPECT_THROW(ArchiveLevel(a, 1), EQcError);
        WriteFaults() = TWriteFaults{};
        EXPECT_TRUE(a.ArchiveNumbers.empty());
        EXPECT_EQ(a.Count(), before.Count());
        EXPECT_EQ(a.Points[2].Levels[1], before.Points[2].Levels[1]);
        EXPECT_EQ(a.LimitMode, before.LimitMode);
        EXPECT_FALSE(FileExists(folder.File("QC000001.qca")));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 0);

    // Once the folder is writable again the same number is used, and only by this analyte.
    EXPECT_EQ(ArchiveLevel(a, 1), 1);
    EXPECT_EQ(a.ArchiveNumbers, std::vector<int32_t>{1});
}

TEST_F(ArchiveTest, ReaderSplitsLinesAndSummaryAsTheArchivesWindowShowsThem) {
    TAnalyte a = ThreeLevelAnalyte();
    ArchiveLevel(a, 1);
    TArchiveFile f = ReadArchiveFile(folder.File("QC000001.qca"));
    EXPECT_EQ(f.Name, "Glucose");
    EXPECT_EQ(f.Unit, "mmol/L");
    EXPECT_EQ(f.SummaryLine, "02/03/2024\t06/03/2024\tLyphochek\tL123\t5.600\t1.8\t3");
    EXPECT_EQ(f.Summary, (std::array<std::string, 7>{"02/03/2024", "06/03/2024", "Lyphochek", "L123", "5.600",
                                                     "1.8", "3"}));
    ASSERT_EQ(f.PointLines.size(), 5u);
    EXPECT_EQ(f.PointLines[2], "04/03/2024\t09:00:00\tDiscarded\t\t");
    EXPECT_EQ(f.PointFields[0], (std::vector<std::string>{"02/03/2024", "09:00:00", "5.50", "AB", "first"}));
    EXPECT_EQ(f.PointFields[3], (std::vector<std::string>{"05/03/2024", "09:00:00", "", "", ""}));

    // Line ends of any kind; a short summary leaves the missing fields empty; no points.
    TArchiveFile g = ParseArchiveFile("Name\rUnit\n01/01/2024\t\tMat");
    EXPECT_EQ(g.Unit, "Unit");
    EXPECT_EQ(g.Summary[2], "Mat");
    EXPECT_EQ(g.Summary[1], "");
    EXPECT_EQ(g.Summary[6], "");
    EXPECT_TRUE(g.PointLines.empty());
    EXPECT_EQ(ParseArchiveFile("a\r\nb\r\nc\r\n\r\n").PointLines, std::vector<std::string>{""});

    // Missing files and files of fewer than three lines are unreadable.
    EXPECT_THROW(ReadArchiveFile(folder.File("QC000009.qca")), EQcError);
    EXPECT_THROW(ParseArchiveFile(""), EQcError);
    EXPECT_THROW(ParseArchiveFile("Name\r\nUnit\r\n"), EQcError);
}

// The archives list reads only the start of each file, whatever follows; the viewer reads the lines
// without cutting them.
TEST_F(ArchiveTest, HeadAndLinesAloneAsTheListAndTheViewerReadThem) {
    const std::string summary = "01/01/2024\t02/01/2024\tMat\tL1\t5.0\t1.0\t2";
    const std::string points = "01/01/2024\t08:00:00\t5.0\tAB\tok\r\n";
    struct Case {
        std::string bytes;
        std::string summaryLine; // "" when unreadable
    } cases[] = {
        // A CR LF across the end of the first 4096 bytes read is one line end.
        {std::string(4095, 'N') + "\r\nUnit\r\n" + summary + "\r\n" + points, summary},
        {"Name\r\n" + std::string(4089, 'u') + "\r\n" + summary + "\r\n" + points, summary},
        {"Name\r\n" + std::string(9000, 'u') + "\r\n" + summary, summary}, // ends without a line end
        {"Name\rUnit\r" + summary + "\r" + points, summary},
        {"Name\r\nUnit\r\n", ""},
        {"Name\r\n" + std::string(9000, 'u') + "\r\n", ""},
    };
    for (const Case& c : cases) {
        AtomicWriteFile(folder.File("QC000002.qca"), c.bytes);
        if (c.summaryLine.empty()) {
            EXPECT_THROW(ReadArchiveFile(folder.File("QC000002.qca"), TArchiveParts::Head), EQcError);
            continue;
        }
        const TArchiveFile head = ReadArchiveFile(folder.File("QC000002.qca"), TArchiveParts::Head);
        EXPECT_EQ(head.SummaryLine, c.summaryLine);
        EXPECT_EQ(head.Summary[2], "Mat");
        EXPECT_TRUE(head.PointLines.empty());
        const TArchiveFile all = ReadArchiveFile(folder.File("QC000002.qca"));
        EXPECT_EQ(head.Unit, all.Unit);
        const TArchiveFile lines = ReadArchiveFile(folder.File("QC000002.qca"), TArchiveParts::Lines);
        EXPECT_EQ(lines.PointLines, all.PointLines);
        EXPECT_TRUE(lines.PointFields.empty());
    }
}
