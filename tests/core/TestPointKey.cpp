// Points named by what they hold: pending edits find their points after the list moved under them.
#include <functional>
#include <gtest/gtest.h>
#include <optional>

#include "TestHelpers.h"
#include "UPointKey.h"

namespace {
// Five runs a day apart; days 102 and 103 are two equal runs at one moment.
TAnalyte Runs() {
    TAnalyte a("Glucose", "mmol/L", 1, 2);
    a.AddPoint(MakeRun(100, {5.0, 9.0}, "", "AB"));
    a.AddPoint(MakeRun(101, {5.1, 9.1}, "new lot", "AB"));
    a.AddPoint(MakeRun(102, {5.2, 9.2}, "", "AB"));
    a.AddPoint(MakeRun(102, {5.2, 9.2}, "", "AB"));
    a.AddPoint(MakeRun(104, {5.4, 9.4}, "", "CD"));
    return a;
}
} // namespace

TEST(PointKey, KeysFollowTheirPointsWhereverTheListMoved) {
    const TAnalyte marked = Runs();
    const std::vector<TPointKey> keys = {KeyOfPoint(marked, 4), KeyOfPoint(marked, 1)};
    struct TCase {
        const char* what;
        std::function<void(TAnalyte&)> change;
        std::optional<std::vector<int>> expected;
    };
    const std::vector<TCase> cases = {
        {"unchanged", [](TAnalyte&) {}, std::vector<int>{1, 4}},
        {"an earlier run added elsewhere",
         [](TAnalyte& a) {
             a.AddPoint(MakeRun(50, {4.0, 8.0}));
         },
         std::vector<int>{2, 5}},
        {"a run between them added",
         [](TAnalyte& a) {
             a.AddPoint(MakeRun(103, {5.3, 9.3}));
         },
         std::vector<int>{1, 5}},
        {"the first point deleted", [](TAnalyte& a) { a.DeletePoint(0); }, std::vector<int>{0, 3}},
        {"a marked point deleted", [](TAnalyte& a) { a.DeletePoint(1); }, std::nullopt},
        {"a marked point's value changed", [](TAnalyte& a) { a.Points[4].Levels[1].Value = 8.4f; },
         std::nullopt},
        {"a marked point's state changed", [](TAnalyte& a) { a.Points[4].Levels[0].State = psDiscarded; },
         std::nullopt},
        {"a marked point's operator changed",
         [](TAnalyte& a) { a.Points[4].Operator = std::string_view("XY"); }, std::nullopt},
        {"everything gone", [](TAnalyte& a) { a.Points.clear(); }, std::nullopt},
    };
    for (const TCase& c : cases) {
        TAnalyte a = Runs();
        c.change(a);
        EXPECT_EQ(FindPoints(a, keys), c.expected) << c.what;
    }
    EXPECT_EQ(FindPoints(marked, {}), std::vector<int>{});
}

TEST(PointKey, EqualPointsAreTakenOncePerKey) {
    TAnalyte a = Runs();
    const TPointKey twin = KeyOfPoint(a, 2);
    ASSERT_EQ(twin, KeyOfPoint(a, 3));
    EXPECT_EQ(FindPoints(a, {twin}), std::vector<int>{2});
    EXPECT_EQ(FindPoints(a, {twin, twin}), (std::vector<int>{2, 3}));
    a.DeletePoint(3);
    EXPECT_EQ(FindPoints(a, {twin, twin}), std::nullopt);
}
