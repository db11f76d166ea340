// Analyte point operations, classification, text export and the reference lists.
#include <cmath>
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "UImportText.h"

class Structures : public ::testing::Test {
protected:
    TTempFolder folder;
};

namespace {
TAnalyte LockedAnalyte() {
    TAnalyte a("Glucose", "mmol/L", 1, 1);
    for (int k = 0; k < 10; ++k) a.AddPoint(MakeRun(100 + k, {5.0 + k % 3}));
    a.LimitMode[0] = lmLocked;
    a.LockFirst[0] = 3;
    a.LockLast[0] = 6;
    return a;
}
} // namespace

TEST_F(Structures, CreateCutsTextsAndSetsDefaults) {
    TAnalyte a("A very long analyte name", "mmol/L/x", 2, 3);
    EXPECT_EQ(a.Name, "A very long ana");
    EXPECT_EQ(a.Unit, "mmol/L");
    EXPECT_EQ(a.Options, 7);
    EXPECT_EQ(a.Reserved, 10);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a.MaterialId[i], -1);
        EXPECT_EQ(a.LimitMode[i], lmMobile);
        EXPECT_EQ(a.Limits[i].State, 6);
    }
}

TEST_F(Structures, AddPointKeepsDateOrderAndShiftsLockedIntervals) {
    TAnalyte a = LockedAnalyte();
    // Earlier than everything: index 0, interval shifted.
    EXPECT_EQ(a.AddPoint(MakeRun(50, {1})), 0);
    EXPECT_EQ(a.LockFirst[0], 4);
    EXPECT_EQ(a.LockLast[0], 7);
    // Inside the interval: it grows by one.
    EXPECT_EQ(a.AddPoint(MakeRun(105.5, {1})), 7);
    EXPECT_EQ(a.LockFirst[0], 4);
    EXPECT_EQ(a.LockLast[0], 8);
    // After it: unchanged.
    a.AddPoint(MakeRun(500, {1}));
    EXPECT_EQ(a.LockLast[0], 8);
    // Equal date-time goes after the stored point.
    int idx = a.AddPoint(MakeRun(102, {9}, "", "ABCDEFG"));
    EXPECT_EQ(a.Points[static_cast<size_t>(idx - 1)].DateTime, 102);
    EXPECT_EQ(a.Points[static_cast<size_t>(idx)].Levels[0].Value, 9.0f);
    EXPECT_EQ(a.Points[static_cast<size_t>(idx)].Operator.Str(), "ABCD");
    EXPECT_EQ(a.FindInsertIndex(102), idx + 1);
    EXPECT_EQ(a.FindInsertIndex(0), 0);
    for (int k = 1; k < a.Count(); ++k) EXPECT_LE(a.Points[k - 1].DateTime, a.Points[k].DateTime);

    // Inserted exactly at the first locked place: the interval moves on, keeping the same points.
    TAnalyte b = LockedAnalyte();
    EXPECT_EQ(b.AddPoint(MakeRun(102.5, {1})), 3);
    EXPECT_EQ(b.LockFirst[0], 4);
    EXPECT_EQ(b.LockLast[0], 7);
    EXPECT_EQ(b.Points[4].DateTime, 103);
}

TEST_F(Structures, DeletePointShiftsAndEmptiesIntervals) {
    TAnalyte a = LockedAnalyte();
    a.DeletePoint(0);
    EXPECT_EQ(a.LockFirst[0], 2);
    EXPECT_EQ(a.LockLast[0], 5);
    a.DeletePoint(3); // inside
    EXPECT_EQ(a.LockLast[0], 4);
    a.DeletePoint(8); // after: unchanged
    EXPECT_EQ(a.LockLast[0], 4);
    // A one-point interval: deleting it leaves an empty interval, mobile again at recomputation.
    a.LockFirst[0] = a.LockLast[0] = 1;
    a.DeletePoint(1);
    EXPECT_EQ(a.LockLast[0], a.LockFirst[0] - 1);
    a.RecalcAll();
    EXPECT_EQ(a.LimitMode[0], lmMobile);
    EXPECT_EQ(a.LockFirst[0], -1);
}

TEST_F(Structures, CommentsAndEmptyPoints) {
    TAnalyte a("A", "u", 1, 2);
    a.AddPoint(MakeRun(1, {1, 2}, "same"));
    a.AddPoint(MakeRun(2, {1, 2}, "same"));
    a.AddPoint(MakeRun(3, {NAN, NAN}));
    EXPECT_EQ(a.Points[0].CommentId, 0);
    EXPECT_EQ(a.Points[1].CommentId, 1); // equal texts are not shared
    EXPECT_EQ(a.Points[2].CommentId, -1);
    EXPECT_EQ(a.CommentText(1), "same");
    EXPECT_EQ(a.CommentText(-1), "");
    EXPECT_EQ(a.CommentText(42), "");
    a.Points[1].Levels[0].State = psDiscarded;
    a.Points[1].Levels[1].State = psEmpty;
    EXPECT_FALSE(a.DeleteIfEmpty(1)); // a discarded value keeps the point
    EXPECT_TRUE(a.DeleteIfEmpty(2));
    EXPECT_EQ(a.Count(), 2);
    // The third slot is not read for a two-level analyte.
    a.Points[0].Levels = {LevelValue{0, psEmpty}, LevelValue{0, psEmpty}, LevelValue{3, psInControl}};
    EXPECT_TRUE(a.IsPointEmpty(0));
}

TEST_F(Structures, ClassifyRunIsInclusiveAndSkipsDiscarded) {
    TAnalyte a("A", "u", 1, 3);
    for (int i = 0; i < 3; ++i) {
        a.LimitMode[i] = lmFixed;
        a.Limits[i].Mean = 10;
        a.Limits[i].WarnDev = 2;
        a.Limits[i].ActionDev = 3;
    }
    a.RecalcAll();
    auto classify = [&](float v) {
        TLevelValues r{LevelValue{v, psInControl}, LevelValue{0, psEmpty}, LevelValue{v, psDiscarded}};
        a.ClassifyRun(r);
        EXPECT_EQ(r[1].State, psEmpty);
        EXPECT_EQ(r[2].State, psDiscarded);
        return r[0].State;
    };
    EXPECT_EQ(classify(12), psHighWarning);
    EXPECT_EQ(classify(13), psHighAction);
    EXPECT_EQ(classify(11.99f), psInControl);
    EXPECT_EQ(classify(8), psLowWarning);
    EXPECT_EQ(classify(7), psLowAction);
    EXPECT_EQ(classify(10), psInControl);
    // A mobile level without limits classifies everything in control; a locked or fixed one does not.
    TAnalyte m("M", "u", 1, 1);
    TLevelValues r{LevelValue{1e6f, psInControl}};
    m.ClassifyRun(r);
    EXPECT_EQ(r[0].State, psInControl);
}

TEST_F(Structures, PointsAsTextWritesTheLevelsInUse) {
    TAnalyte a("A", "u", 2, 2);
    TResu r = MakeRun(EncodeDate(2026, 3, 1) + EncodeTime(9, 0, 0), {5.04, 2.5}, "note", "JD");
    r.Levels[2] = {7, psInControl}; // never written for two levels
    a.AddPoint(r);
    TResu d = MakeRun(EncodeDate(2026, 3, 2) + EncodeTime(14, 30, 0), {1, NAN});
    d.Levels[0].State = psDiscarded;
    a.AddPoint(d);
    EXPECT_EQ(a.PointsAsText(), "01/03/2026\t09:00:00\t5.04\t2.50\tJD\tnote\r\n"
                                "02/03/2026\t14:30:00\tDiscarded\t\t\t\r\n");
    Regional = TRegional{"M/d/yyyy", "h:mm AP", ','};
    EXPECT_EQ(a.PointsAsText().substr(0, 30), "3/1/2026\t9:00 AM\t5,04\t2,50\tJD\t");
}

TEST_F(Structures, PointsAsTextHoldsOneLinePerPointWhateverTheComment) {
    TAnalyte a("A", "u", 2, 1);
    // A comment and an operator that would forge a run dated 2030, and a terminal escape.
    a.AddPoint(MakeRun(EncodeDate(2026, 3, 1) + EncodeTime(9, 0, 0), {5.04},
                       "ok\r\n01/01/2030\t10:00:00\t999", "A\tB"));
    a.AddPoint(MakeRun(EncodeDate(2026, 3, 2) + EncodeTime(9, 0, 0), {5.1}, "\x1b]0;x\x07red\x7f", "\x1b"));
    EXPECT_EQ(a.PointsAsText(), "01/03/2026\t09:00:00\t5.04\tA B\tok  01/01/2030 10:00:00 999\r\n"
                                "02/03/2026\t09:00:00\t5.10\t \t ]0;x red \r\n");
    EXPECT_EQ(ParseImportText(a.PointsAsText(), 2).Runs.size(), 2u);
}

TEST_F(Structures, MaterialListSortsByNameAndLot) {
    TListSerum l;
    EXPECT_EQ(l.AddMaterial("B", "1"), 0);
    EXPECT_EQ(l.AddMaterial("A", "2"), 1);
    EXPECT_EQ(l.AddMaterial("a", "1"), 2);
    EXPECT_EQ(l.AddMaterial("Zeta long material", "12345678901"), 3);
    ASSERT_EQ(l.Count(), 4);
    EXPECT_EQ(l.Items[0].Name + l.Items[0].Lot, "a1");
    EXPECT_EQ(l.Items[1].Name + l.Items[1].Lot, "A2");
    EXPECT_EQ(l.Items[2].Name + l.Items[2].Lot, "B1");
    EXPECT_EQ(l.FindMaterial(3).Name, "Zeta long mater");
    EXPECT_EQ(l.FindMaterial(3).Lot, "1234567890");
    EXPECT_EQ(l.FindMaterial(-1).Name, "Unknown");
    l.Remove(2);
    EXPECT_EQ(l.FindMaterial(2).Name, "Unknown");
    EXPECT_EQ(l.AddMaterial("C", ""), 4); // identifiers are never reused

    TListSerum loaded;
    for (int id : {4, 9, 2}) loaded.AppendLoaded({id, 0, "M", ""});
    EXPECT_EQ(loaded.NextId, 10);
    EXPECT_EQ(loaded.Items[0].Id, 4); // file order kept
}

TEST_F(Structures, IdStringListBinarySearch) {
    TListIDString l;
    EXPECT_EQ(l.FindIndex(0), -1);
    EXPECT_EQ(l.TextOf(0), "");
    TByteWriter w;
    w.I32(3);
    for (int id : {0, 1, 5}) {
        w.I32(id);
        w.LongText("t" + std::to_string(id));
    }
    TByteReader r(w.Data());
    l.LoadFromFile(r);
    EXPECT_EQ(l.AddText("new"), 6);
    for (int id : {0, 1, 5, 6}) EXPECT_EQ(l.FindIndex(id) >= 0, true) << id;
    for (int id : {-1, 2, 3, 4, 7, 100}) EXPECT_EQ(l.FindIndex(id), -1) << id;
    EXPECT_EQ(l.TextOf(5), "t5");
    EXPECT_EQ(l.TextOf(7), "");
    // Every size and key of an ascending list.
    for (int n = 0; n < 12; ++n) {
        TListIDString s;
        for (int k = 0; k < n; ++k) s.AddText("x");
        for (int k = -1; k <= n; ++k) EXPECT_EQ(s.FindIndex(k), k >= 0 && k < n ? k : -1);
    }
}

TEST_F(Structures, AnalyteListLookups) {
    TListAnalytes l;
    auto& g = l.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 1, 2));
    auto& c = l.Add(std::make_unique<TAnalyte>("Calcium", "mmol/L", 2, 1));
    g.MaterialId = {3, 4, 7};
    c.MaterialId = {7, 3, 3};
    EXPECT_EQ(l.FindByName("glucose"), &g);
    EXPECT_EQ(l.FindByName("Sodium"), nullptr);
    EXPECT_EQ(l.AnalytesUsingMaterial(3), (std::vector<TAnalyte*>{&g})); // Calcium's level 2 is not in use
    EXPECT_EQ(l.AnalytesUsingMaterial(7), (std::vector<TAnalyte*>{&c})); // Glucose's third slot is not in use
    EXPECT_EQ(l.IndexOf(&c), 1);
}
