// Predecessor file import: files built byte by byte from the layout, conversions and refusals.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "UAtomicFile.h"
#include "UCompatibilityDrovanta.h"
#include "UDataLoadSave.h"

namespace {

struct V2Point {
    double date;
    std::array<float, 3> value;
    std::array<uint8_t, 3> code;
    int32_t comment = -1;
};

struct V2Analyte {
    std::string name = "Glucose";
    std::string unit = "mmol/L";
    int32_t decimals = 2;
    std::vector<V2Point> points;
    std::array<int32_t, 3> lockFirst{-1, -1, -1};
    std::array<int32_t, 3> lockLast{-1, -1, -1};
    int32_t otherRecords = 0;
    std::vector<std::pair<int32_t, std::string>> comments;
};

std::string Image(const V2Analyte& a) {
    TByteWriter w;
    w.I32(static_cast<int32_t>(a.points.size()));
    for (const V2Point& p : a.points) {
        w.Double(p.date);
        for (int i = 0; i < 3; ++i) {
            w.Single(p.value[i]);
            w.U8(p.code[i]);
            w.Bytes("\x55\x55\x55"); // padding is not read
        }
        w.I32(p.comment);
    }
    w.ShortString(a.name, 10);
    w.ShortString(a.unit, 12);
    w.I32(a.decimals);
    w.Bytes(std::string(80, '\x77'));
    for (int32_t v : a.lockFirst) w.I32(v);
    for (int32_t v : a.lockLast) w.I32(v);
    w.I32(a.otherRecords);
    w.Bytes(std::string(68 * static_cast<size_t>(a.otherRecords), '\x66'));
    w.I32(a.comments.empty() ? 0 : a.comments.back().first + 1);
    w.I32(static_cast<int32_t>(a.comments.size()));
    for (const auto& [id, text] : a.comments) {
        w.I32(id);
        w.ShortString(text, 23);
    }
    return w.Data();
}

std::string Trailer() {
    return std::string(PredecessorSignature.begin(), PredecessorSignature.end());
}

std::string File(const std::vector<V2Analyte>& analytes, int32_t materials = 2) {
    TByteWriter w;
    w.I32(materials);
    w.Bytes(std::string(27 * static_cast<size_t>(materials), '\x44'));
    w.I32(static_cast<int32_t>(analytes.size()));
    for (const V2Analyte& a : analytes) w.Bytes(Image(a));
    return w.Data() + Trailer();
}

const double Day0 = EncodeDate(2001, 5, 14);

V2Analyte WithPoints(int n, const std::string& name = "Glucose") {
    V2Analyte a;
    a.name = name;
    for (int k = 0; k < n; ++k)
        a.points.push_back({Day0 + k, {5.0f + 0.1f * (k % 5), 10.0f + 0.2f * (k % 3), 0}, {0, 0, 1}});
    return a;
}

class PredecessorTest : public ::testing::Test {
protected:
    TTempFolder folder;
    TListAnalytes list;
};

} // namespace

TEST_F(PredecessorTest, PointsBecomeThreeLevelRunsAtNoonWithTheirComments) {
    V2Analyte a;
    a.name = "Cholesterol"; // cut to 10 by the short string
    a.unit = "mmol/Lx";     // cut to 6 by the program
    a.decimals = 3;
    a.otherRecords = 2;
    a.comments = {{1, "New reagent"}, {4, "Wrong calibrator"}, {9, "Lot change"}};
    a.points = {
        {Day0 + 2, {5.25f, 99.0f, 7.5f}, {0, 1, 2}, 4},
        {Day0, {5.0f, 6.0f, 8.0f}, {0, 0, 0}, -1},      // earlier date: placed first
        {Day0 + 1, {5.1f, 6.1f, 8.1f}, {7, 0, 255}, 5}, // unknown codes and comment
    };
    ASSERT_EQ(ImportPredecessorBytes(File({a}), list), 1);
    ASSERT_EQ(list.Count(), 1);
    const TAnalyte& r = list[0];
    EXPECT_EQ(r.Name, "Cholestero");
    EXPECT_EQ(r.Unit, "mmol/L");
    EXPECT_EQ(r.Decimals, 3);
    EXPECT_EQ(r.NbLevels, 3);
    ASSERT_EQ(r.Count(), 3);

    const ControlPoint& p = r.Points[2];
    EXPECT_DOUBLE_EQ(p.DateTime, Day0 + 2.5);
    EXPECT_EQ(Regional.TimeToText(p.DateTime), "12:00:00");
    EXPECT_NE(p.Levels[0].State, psEmpty);
    EXPECT_NE(p.Levels[0].State, psDiscarded);
    EXPECT_FLOAT_EQ(p.Levels[0].Value, 5.25f);
    EXPECT_EQ(p.Levels[1].State, psEmpty);
    EXPECT_EQ(p.Levels[2].State, psDiscarded);
    EXPECT_FLOAT_EQ(p.Levels[2].Value, 7.5f);
    EXPECT_EQ(r.CommentText(p.CommentId), "Wrong calibrator");
    EXPECT_TRUE(p.Operator.View().empty());

    EXPECT_EQ(r.Points[0].CommentId, -1);
    EXPECT_EQ(r.Points[1].Levels[0].State, psEmpty);
    EXPECT_EQ(r.Points[1].Levels[2].State, psEmpty);
    EXPECT_EQ(r.CommentText(r.Points[1].CommentId), "");

    // Recomputed: the discarded value is not counted.
    EXPECT_EQ(r.AllStats[0].N, 2);
    EXPECT_EQ(r.AllStats[2].N, 1);
    EXPECT_EQ(r.AllStats[2].NDiscarded, 1);
}

TEST_F(PredecessorTest, LockedIntervalsAreTakenAsTheyAreOrFallBackToMobile) {
    V2Analyte usable = WithPoints(20, "Usable");
    usable.lockFirst = {0, 0, 5};
    usable.lockLast = {19, 19, 30};
    V2Analyte outside = WithPoints(5, "Outside");
    outside.lockFirst = {0, -1, 3};
    outside.lockLast = {19, 4, 1};
    ASSERT_EQ(ImportPredecessorBytes(File({usable, outside}), list), 2);

    const TAnalyte& u = list[0];
    EXPECT_EQ(u.LimitMode[0], lmLocked);
    EXPECT_EQ(u.LockFirst[0], 0);
    EXPECT_EQ(u.LockLast[0], 19);
    EXPECT_EQ(u.Limits[0].N, 20);
    // Level 2 holds no value there, level 3 an interval beyond the points: both mobile.
    EXPECT_EQ(u.LimitMode[1], lmLocked);
    EXPECT_EQ(u.LimitMode[2], lmMobile);
    EXPECT_EQ(u.LockFirst[2], -1);

    const TAnalyte& o = list[1];
    EXPECT_EQ(o.LimitMode[0], lmMobile); // 0..19 over 5 points
    EXPECT_EQ(o.LimitMode[1], lmMobile); // not locked
    EXPECT_EQ(o.LimitMode[2], lmMobile); // reversed interval
    EXPECT_EQ(o.Limits[0].N, 5);
}

TEST_F(PredecessorTest, ForeignTrailersAndEmptyFilesChangeNothing) {
    list.Add(std::make_unique<TAnalyte>("Kept", "g/L", 1, 1));
    std::string good = File({WithPoints(3)});

    std::string version32 = good;
    version32[version32.size() - 8] = '3';
    version32[version32.size() - 7] = '2';
    try {
        ImportPredecessorBytes(version32, list);
        FAIL() << "version 32 accepted";
    } catch (const EPredecessorImport& e) {
        EXPECT_EQ(e.Imported, 0);
        EXPECT_STREQ(e.what(), "Cannot read data");
    }
    for (size_t i = 0; i < 9; ++i) {
        std::string bad = good;
        bad[bad.size() - 9 + i] ^= 0x01;
        EXPECT_THROW(ImportPredecessorBytes(bad, list), EPredecessorImport) << "trailer byte " << i;
    }
    EXPECT_THROW(ImportPredecessorBytes("", list), EPredecessorImport);
    EXPECT_THROW(ImportPredecessorBytes(Trailer().substr(1), list), EPredecessorImport);
    EXPECT_EQ(list.Count(), 1);

    EXPECT_EQ(ImportPredecessorBytes(File({}), list), 0);
    EXPECT_EQ(ImportPredecessorBytes(File({}, 0), list), 0);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(PredecessorTest, DamagePartWayKeepsTheAnalytesConvertedBefore) {
    list.Add(std::make_unique<TAnalyte>("Kept", "g/L", 1, 1));
    std::vector<V2Analyte> three = {WithPoints(4, "One"), WithPoints(6, "Two"), WithPoints(8, "Three")};
    std::string body = File(three);
    body.resize(body.size() - 9);
    size_t startOfThird = body.size() - Image(three[2]).size();

    // The file cut inside the third image, its trailer kept.
    try {
        ImportPredecessorBytes(body.substr(0, startOfThird + 50) + Trailer(), list);
        FAIL() << "damaged file accepted";
    } catch (const EPredecessorImport& e) {
        EXPECT_EQ(e.Imported, 2);
    }
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1].Name, "One");
    EXPECT_EQ(list[2].Name, "Two");
    EXPECT_EQ(list[2].Count(), 6);

    // Cut at every offset: never more than the complete images, and the count reported is what came in.
    size_t imageEnds[3];
    imageEnds[0] = 4 + 2 * 27 + 4 + Image(three[0]).size();
    imageEnds[1] = imageEnds[0] + Image(three[1]).size();
    imageEnds[2] = body.size();
    for (size_t cut = 0; cut < body.size(); ++cut) {
        TListAnalytes into;
        int imported = -1;
        try {
            imported = ImportPredecessorBytes(body.substr(0, cut) + Trailer(), into);
        } catch (const EPredecessorImport& e) {
            imported = e.Imported;
        }
        int complete = static_cast<int>(cut >= imageEnds[0]) + static_cast<int>(cut >= imageEnds[1]);
        ASSERT_EQ(imported, complete) << "cut at " << cut;
        ASSERT_EQ(into.Count(), imported);
    }
}

TEST_F(PredecessorTest, EveryFlippedByteIsReadOrRefusedWithTheCountThatCameIn) {
    V2Analyte a = WithPoints(3, "One");
    a.lockFirst = {0, -1, -1};
    a.lockLast = {2, -1, -1};
    a.comments = {{0, "c"}};
    a.points[1].comment = 0;
    const std::string good = File({a, WithPoints(2, "Two")});
    for (size_t i = 0; i < good.size(); ++i) {
        for (uint8_t mask : {0x01, 0x80, 0xFF}) {
            std::string bad = good;
            bad[i] = static_cast<char>(bad[i] ^ mask);
            TListAnalytes into;
            int imported = -1;
            try {
                imported = ImportPredecessorBytes(bad, into);
            } catch (const EPredecessorImport& e) {
                imported = e.Imported;
            }
            ASSERT_EQ(into.Count(), imported) << "byte " << i;
            ASSERT_LE(imported, 2) << "byte " << i;
            for (const auto& r : into.Items) {
                ASSERT_GE(r->Decimals, 0);
                ASSERT_LE(r->Decimals, 3);
                for (const ControlPoint& p : r->Points) ASSERT_TRUE(std::isfinite(p.DateTime));
            }
        }
    }
}

TEST_F(PredecessorTest, CountsAndValuesThatCannotBeTrueAreRefused) {
    std::string body = File({WithPoints(2)});
    body.resize(body.size() - 9);
    const size_t analyteCountAt = 4 + 2 * 27;
    const size_t pointCountAt = analyteCountAt + 4;
    auto withI32 = [&](size_t at, int32_t v) {
        std::string b = body;
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
        return b + Trailer();
    };
    // Too many analytes: the ones present come in, then the import fails.
    for (int32_t huge : {0x7FFFFFFF, -1, 1000}) {
        for (size_t at : {size_t{0}, analyteCountAt, pointCountAt}) {
            TListAnalytes into;
            try {
                ImportPredecessorBytes(withI32(at, huge), into);
                ADD_FAILURE() << "count " << huge << " at " << at << " accepted";
            } catch (const EPredecessorImport& e) {
                EXPECT_EQ(e.Imported, at == analyteCountAt && huge > 0 ? 1 : 0);
                EXPECT_EQ(into.Count(), e.Imported);
            }
        }
    }

    // Values the program's own data file would refuse do not come in.
    V2Analyte nan = WithPoints(2);
    nan.points[1].value[0] = std::numeric_limits<float>::quiet_NaN();
    V2Analyte inf = WithPoints(2);
    inf.points[0].value[2] = std::numeric_limits<float>::infinity();
    inf.points[0].code[2] = 2;
    V2Analyte badDate = WithPoints(2);
    badDate.points[0].date = 1e300;
    V2Analyte decimals = WithPoints(2);
    decimals.decimals = 9;
    for (const V2Analyte& a : {nan, inf, badDate, decimals})
        EXPECT_THROW(ImportPredecessorBytes(File({a}), list), EPredecessorImport);
    EXPECT_EQ(list.Count(), 0);

    // A non-finite value on a level without a value is not read.
    V2Analyte unused = WithPoints(2);
    unused.points[0].value[2] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ImportPredecessorBytes(File({unused}), list), 1);
}

TEST_F(PredecessorTest, FileImportAppendsToTheGlobalList) {
    ListAnalytes.Clear();
    AtomicWriteFile(folder.File("OLD.DAT"), File({WithPoints(3, "A"), WithPoints(2, "B")}));
    EXPECT_EQ(ImportPredecessorFile(folder.File("OLD.DAT")), 2);
    EXPECT_EQ(ImportPredecessorFile(folder.File("OLD.DAT")), 2); // no check for names already there
    EXPECT_EQ(ListAnalytes.Count(), 4);
    try {
        ImportPredecessorFile(folder.File("missing.dat"));
        FAIL() << "missing file accepted";
    } catch (const EPredecessorImport& e) {
        EXPECT_EQ(e.Imported, 0);
    }
    EXPECT_EQ(ListAnalytes.Count(), 4);
    ListAnalytes.Clear();
}
