// Peer-group comparison: SDI, CVR and their bands, the peer file and its refusals, and the month's
// figures of each level gathered from its points and archived lots.
#include <gtest/gtest.h>

#include <cmath>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UPeer.h"

namespace {

double D(const std::optional<long double>& v) {
    return v ? static_cast<double>(*v) : NAN;
}

TPeerStat Peer(long double mean, long double sd) {
    return {"Glucose", "Low", "A1", 1, "2026-11", mean, sd, 40, 12};
}

} // namespace

// Hand-computed: 4, 5, 6 has mean 5, SD 1, CV 20 %; 10, 12 has mean 11, SD sqrt 2.
TEST(Peer, SdiCvrAndBands) {
    const struct {
        std::vector<long double> values;
        long double peerMean, peerSd;
        double sdi, cvr;
        TPeerBand band;
    } cases[] = {
        {{4, 5, 6}, 4.5, 0.5, 1.0, 1.8, TPeerBand::Good}, // |SDI| 1 is still good; CVR 0.2 / (0.5 / 4.5)
        {{4, 5, 6}, 5.5, 0.5, -1.0, 2.2, TPeerBand::Good},
        {{4, 5, 6}, 4.25, 0.5, 1.5, 1.7, TPeerBand::Watch},
        {{4, 5, 6}, 6.0, 0.5, -2.0, 2.4, TPeerBand::Watch}, // |SDI| 2 is still watch
        {{10, 12}, 10, 0.4, 2.5, 3.5355339 / 1.1, TPeerBand::Act},
        {{5}, 4, 0.5, 2.0, NAN, TPeerBand::Watch},          // one value: no SD, no CVR
        {{-1, 0, 1}, 0.5, 0.5, -1.0, NAN, TPeerBand::Good}, // lab mean 0: no CV
    };
    for (const auto& c : cases) {
        const TPeerFigures f = PeerFigures(c.values, Peer(c.peerMean, c.peerSd));
        EXPECT_EQ(f.LabN, static_cast<int>(c.values.size()));
        EXPECT_NEAR(D(f.Sdi), c.sdi, 1e-9) << static_cast<double>(c.peerMean);
        EXPECT_EQ(f.Band, c.band) << static_cast<double>(c.peerMean);
        if (std::isnan(c.cvr)) {
            EXPECT_FALSE(f.Cvr.has_value());
        } else {
            EXPECT_NEAR(D(f.Cvr), c.cvr, 1e-6) << static_cast<double>(c.peerMean);
        }
    }
    const TPeerFigures none = PeerFigures({}, Peer(5, 1));
    EXPECT_FALSE(none.LabMean || none.Sdi || none.Cvr);
    EXPECT_EQ(none.Band, TPeerBand::None);
    EXPECT_NEAR(D(PeerFigures({4, 5, 6}, Peer(4, 1)).BiasPct), 25.0, 1e-9);
}

TEST(Peer, FileColumnsNumbersAndMonths) {
    const TPeerFile f = ParsePeerFile("\xEF\xBB\xBF"
                                      "Labs;N;SD;Mean;Month;Level;Lot;Material;Analyte\r\n"
                                      "12;40;0,5;4,5;2026-11;1;A1;Low;Glucose\r\n");
    ASSERT_TRUE(f.Refused.empty()) << f.Refused[0].Reason;
    ASSERT_EQ(f.Stats.size(), 1u);
    const TPeerStat& s = f.Stats[0];
    EXPECT_EQ(s.Analyte, "Glucose");
    EXPECT_EQ(s.Material, "Low");
    EXPECT_EQ(s.Lot, "A1");
    EXPECT_EQ(s.Level, 1);
    EXPECT_EQ(s.Month, "2026-11");
    EXPECT_NEAR(static_cast<double>(s.Mean), 4.5, 1e-12);
    EXPECT_NEAR(static_cast<double>(s.Sd), 0.5, 1e-12);
    EXPECT_EQ(s.N, 40);
    EXPECT_EQ(s.Labs, 12);
    EXPECT_EQ(f.Lines, std::vector<int>{2});

    const std::optional<TPeerMonth> feb = MonthOfText("2028-02");
    ASSERT_TRUE(feb);
    EXPECT_EQ(feb->First, EncodeDate(2028, 2, 1));
    EXPECT_EQ(feb->Last, EncodeDate(2028, 2, 29));
    EXPECT_EQ(MonthOfText("2026-12")->Last, EncodeDate(2026, 12, 31));
    for (const char* bad : {"2026-13", "2026-00", "2026-1", "26-11", "2026-11-01", "", "2026/11"})
        EXPECT_FALSE(MonthOfText(bad).has_value()) << bad;
}

namespace {

class PeerStore : public ::testing::Test {
protected:
    TOpenFolder folder;
    void SetUp() override {
        ListAnalytes.Clear();
        ListSerum.Clear();
        ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2));
        ListAnalytes.Add(std::make_unique<TAnalyte>("Sodium", "mmol/L", 0, 1));
        WriteAllData();
    }
    static int Stored() { return static_cast<int>(Operations().PeerStats().size()); }
    static TOutcome Import(const std::string& text, std::vector<TRefusedLine>* refused = nullptr) {
        return Operations().ImportPeer(text, nullptr, refused);
    }
};

const std::string Header = "analyte,material,lot,level,month,mean,sd,n,labs\n";

} // namespace

TEST_F(PeerStore, BadFilesRecordNothing) {
    const struct {
        std::string text;
        std::vector<std::pair<int, std::string>> refused;
    } cases[] = {
        {"analyte,lot,level,month,mean\nGlucose,A1,1,2026-11,4\n",
         {{1, "Missing columns: material, sd, n, labs"}}},
        {"", {{0, "The file is empty"}}},
        {Header, {{0, "The file holds no row"}}},
        {Header + "Glucose,Low,A1,1,2026-11,4.5,0.5,40,12\n"   // good, but its file is refused
                  "Glucose,Low,A1,2,2026-11,abc,0.5,40,12\n"   // mean no number
                  "Glucose,Low,A1,2,2026-11,4.5,0,40,12\n"     // SD 0
                  "Glucose,Low,A1,2,2026-10,4.5,-1,40,12\n"    // SD below 0
                  "Potassium,Low,A1,1,2026-11,4.5,0.5,40,12\n" // unknown analyte
                  "GLUCOSE,low,a1,1,2026-11,4.6,0.5,40,12\n"   // the same row again
                  "Glucose,Low,A1,1,11/2026,4.5,0.5,40,12\n"   // not a month
                  "Glucose,Low,A1,4,2026-11,4.5,0.5,40,12\n"   // no such level anywhere
                  "Sodium,Na,N1,2,2026-11,140,1,40,12\n"       // a level Sodium does not have
                  "Glucose,Low,A1,2,2026-09,4.5,0.5,1,12\n"    // n below 2
                  "Glucose,Low,A1,2,2026-08,4.5,0.5,40,0\n"    // no laboratory
                  "Glucose,,A1,2,2026-07,4.5,0.5,40,12\n"      // no material
                  "Glucose,Low,A1\n",                          // a short line
         {{3, "mean is not a number: abc"},
          {4, "The SD must be above zero"},
          {5, "The SD must be above zero"},
          {6, "Unknown analyte: Potassium"},
          {7, "The same row as line 2"},
          {8, "Not a month (yyyy-mm): 11/2026"},
          {9, "level is not 1, 2 or 3: 4"},
          {10, "Sodium has no level 2"},
          {11, "n is not a whole number of at least 2: 1"},
          {12, "labs is not a whole number of at least 1: 0"},
          {13, "No material"},
          {14, "level is not 1, 2 or 3: "}}},
    };
    for (const auto& c : cases) {
        std::vector<TRefusedLine> refused;
        const TOutcome out = Import(c.text, &refused);
        EXPECT_EQ(out.Status, TStatus::Refused);
        std::vector<std::pair<int, std::string>> got;
        for (const TRefusedLine& l : refused) got.emplace_back(l.Line, l.Reason);
        EXPECT_EQ(got, c.refused) << c.text;
        EXPECT_EQ(Stored(), 0);
    }
    EXPECT_EQ(Import(Header + "Glucose,Low,A1,2,2026-11,abc,0.5,40,12\n").Message,
              "Refused lines: 1. Nothing was imported");
}

TEST_F(PeerStore, RecordedJournaledAndRefusedTwice) {
    const std::string file = Header + "glucose,Low,A1,1,2026-11,4.5,0.5,40,12\n"
                                      "Glucose,High,H1,2,2026-11,10,0.4,38,11\n";
    int count = 0;
    const TOutcome out = Operations().ImportPeer(file, &count);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_EQ(count, 2);
    const std::vector<TPeerStat> kept = Operations().PeerStats("GLUCOSE");
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].Analyte, "Glucose");
    EXPECT_EQ(kept[1].Level, 2);
    EXPECT_EQ(kept[1].N, 38);
    TJournalFilter f;
    f.Kind = jk::PeerRecorded;
    const auto entries = Operations().Journal(f);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Analyte, "Glucose");
    EXPECT_EQ(entries[0].After, "2026-11 Low A1: mean 4.5, SD 0.5, n 40, 12 laboratories");
    folder.Reopen();
    EXPECT_EQ(Stored(), 2);
    std::vector<TRefusedLine> refused;
    EXPECT_EQ(Import(file, &refused).Status, TStatus::Refused);
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0].Reason, "This row is already recorded");
    EXPECT_EQ(Stored(), 2);
}

TEST_F(PeerStore, MonthFiguresFromPointsAndArchivedLots) {
    TAnalyte& a = *ListAnalytes.FindByName("Glucose");
    const int32_t low = ListSerum.AddMaterial("Low", "A0");
    const int32_t high = ListSerum.AddMaterial("High", "H1");
    a.MaterialId = {low, high, -1};
    const TDateTime nov = EncodeDate(2026, 11, 1);
    // Lot A0 in November (2, 3, 4), then archived; lot A1 after it (4, 5, 6, one discarded and one in
    // December); level 2 all in lot H1 (10, 12).
    for (int k = 0; k < 3; ++k) a.AddPoint(MakeRun(nov + k, {2.0 + k, k == 0 ? 10.0 : k == 1 ? 12.0 : NAN}));
    a.RecalcAll();
    WriteAllData();
    ASSERT_TRUE(Operations().EraseLevels(a, {true, false, false}).Ok());
    for (TSerum& s : ListSerum.Items)
        if (s.Id == low) s.Lot = "A1";
    for (int k = 0; k < 4; ++k) a.AddPoint(MakeRun(nov + 10 + k, {4.0 + k, NAN}));
    a.AddPoint(MakeRun(EncodeDate(2026, 12, 1) + 0.5, {50, NAN}));
    a.Points[a.Points.size() - 2].Levels[0].State = psDiscarded; // the 7
    a.RecalcAll();
    WriteAllData();
    ASSERT_TRUE(Import(Header + "Glucose,Low,A1,1,2026-11,4.5,0.5,40,12\n"
                                "Glucose,Low,A0,1,2026-11,3.5,0.5,40,12\n"
                                "Glucose,High,H1,2,2026-11,10,0.4,38,11\n"
                                "Glucose,High,H1,2,2026-10,10,0.4,38,11\n")
                    .Ok());
    std::vector<TOperations::TPeerComparison> rows;
    const TOutcome out = Operations().PeerComparison(a, "2026-11", rows);
    ASSERT_TRUE(out.Ok()) << out.Message;
    ASSERT_EQ(rows.size(), 3u);
    const struct {
        const char* lot;
        int n;
        double mean, sdi, cvr;
        TPeerBand band;
    } expected[] = {
        {"A0", 3, 3.0, -1.0, (1.0 / 3) / (0.5 / 3.5), TPeerBand::Good},
        {"A1", 3, 5.0, 1.0, 0.2 / (0.5 / 4.5), TPeerBand::Good},
        {"H1", 2, 11.0, 2.5, (std::sqrt(2.0) / 11) / 0.04, TPeerBand::Act},
    };
    for (const auto& e : expected) {
        const auto* row = [&]() -> const TOperations::TPeerComparison* {
            for (const auto& r : rows)
                if (r.Peer.Lot == e.lot) return &r;
            return nullptr;
        }();
        ASSERT_NE(row, nullptr) << e.lot;
        EXPECT_EQ(row->Lab.LabN, e.n) << e.lot;
        EXPECT_NEAR(D(row->Lab.LabMean), e.mean, 1e-6) << e.lot;
        EXPECT_NEAR(D(row->Lab.Sdi), e.sdi, 1e-6) << e.lot;
        EXPECT_NEAR(D(row->Lab.Cvr), e.cvr, 1e-6) << e.lot;
        EXPECT_EQ(row->Lab.Band, e.band) << e.lot;
    }
    // A month without peer rows gives none; a month that is no month is refused.
    EXPECT_TRUE(Operations().PeerComparison(a, "2026-09", rows).Ok());
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(Operations().PeerComparison(a, "2026-9", rows).Message, "Not a month (yyyy-mm): 2026-9");
}

// 4, 5, 6: CV 20 %; TEa 50 %, target 4.5 (bias 11.11 %): the bias the goal names decides Sigma.
TEST(Peer, SigmaTakesTheBiasFromTheGoalsSource) {
    TAnalyte a = AnalyteWithValues({4, 5, 6});
    const struct {
        TBiasFrom from;
        std::optional<long double> measured;
        bool known;
        double bias, sigma;
        TGap gap;
    } cases[] = {
        {biasTarget, -30, true, 100.0 / 9, (50 - 100.0 / 9) / 20, gapNone}, // the measured bias is not used
        {biasPeer, -10, true, -10, 2.0, gapNone},
        {biasEqa, 5, true, 5, 2.25, gapNone},
        {biasPeer, std::nullopt, false, NAN, 2.5, gapNoBiasData}, // no data: Sigma for a bias of 0, marked
    };
    for (const auto& c : cases) {
        TQualityGoal goal = ParseGoalLine("x;50;4.5");
        goal.BiasFrom = c.from;
        goal.MeasuredBiasPct[0] = c.measured;
        const TLevelFigures f = LevelFigures(a, 0, {0, 2}, goal);
        EXPECT_EQ(f.BiasFrom, c.from);
        EXPECT_EQ(f.BiasKnown, c.known) << BiasFromName(c.from);
        EXPECT_EQ(f.BiasPct.Gap, c.gap) << BiasFromName(c.from);
        if (c.known) {
            EXPECT_NEAR(static_cast<double>(f.BiasPct.Value), c.bias, 1e-6) << BiasFromName(c.from);
        }
        EXPECT_NEAR(static_cast<double>(f.Sigma.Value), c.sigma, 1e-6) << BiasFromName(c.from);
    }
    // The peer's bias is taken without a target, and one that reaches the TEa leaves no Sigma.
    TQualityGoal noTarget = ParseGoalLine("x;50");
    noTarget.BiasFrom = biasPeer;
    noTarget.MeasuredBiasPct[0] = 60;
    EXPECT_EQ(LevelFigures(a, 0, {0, 2}, noTarget).Sigma.Gap, gapBiasBeyondTea);
    for (TBiasFrom f : {biasTarget, biasPeer, biasEqa}) EXPECT_EQ(BiasFromOfName(BiasFromName(f)), f);
    EXPECT_FALSE(BiasFromOfName("none").has_value());
}

TEST_F(PeerStore, GoalKeepsItsBiasSourceAndMeasuresIt) {
    TAnalyte& a = *ListAnalytes.FindByName("Glucose");
    a.MaterialId = {ListSerum.AddMaterial("Low", "A1"), ListSerum.AddMaterial("High", "H1"), -1};
    // A month well inside the six months to today: level 1 at 4, 5, 6 (mean 5), level 2 at 10, 12.
    const TDateParts m = DecodeDate(Today() - 45);
    const TDateTime first = EncodeDate(m.Year, m.Month, 1);
    const std::string month = IsoRegional().DateToText(first).substr(0, 7);
    a.AddPoint(MakeRun(first + 1, {4, 10}));
    a.AddPoint(MakeRun(first + 2, {5, 12}));
    a.AddPoint(MakeRun(first + 3, {6, NAN}));
    a.RecalcAll();
    WriteAllData();
    // Peer means 4 (+25 %) and 12 (-8.33 %); a month a year back does not count.
    ASSERT_TRUE(Import(Header + "Glucose,Low,A1,1," + month + ",4,0.5,40,12\n" + "Glucose,High,H1,2," +
                       month + ",12,0.5,40,12\n" + "Glucose,Low,A1,1," +
                       IsoRegional().DateToText(first - 365).substr(0, 7) + ",2,0.5,40,12\n")
                    .Ok());
    ASSERT_TRUE(Operations().ImportGoals("Glucose;50;4.5;11").Ok());
    TQualityGoal g = Operations().Goal("Glucose");
    EXPECT_EQ(g.BiasFrom, biasTarget);
    EXPECT_FALSE(g.MeasuredBiasPct[0].has_value());
    g.BiasFrom = biasPeer;
    ASSERT_TRUE(Operations().SetGoal(g).Ok());
    folder.Reopen();
    g = Operations().Goal("Glucose");
    EXPECT_EQ(g.BiasFrom, biasPeer);
    EXPECT_NEAR(D(g.MeasuredBiasPct[0]), 25.0, 1e-6);
    EXPECT_NEAR(D(g.MeasuredBiasPct[1]), -100.0 / 12, 1e-6);
    // A goal file sets TEa and targets; the source stays the analyte's.
    ASSERT_TRUE(Operations().ImportGoals("Glucose;40;4.5;11").Ok());
    EXPECT_EQ(Operations().Goal("Glucose").BiasFrom, biasPeer);
    TJournalFilter f;
    f.Kind = jk::GoalChanged;
    const auto entries = Operations().Journal(f);
    ASSERT_FALSE(entries.empty());
    EXPECT_NE(entries.back().After.find("bias from peer"), std::string::npos) << entries.back().After;

    // EQA results of the period: the mean of +2 % and -1 % for every level.
    ASSERT_TRUE(Operations()
                    .ImportEqa("scheme,distribution,sample,date,analyte,result,assigned,sd,participants\n"
                               "S,1,A," +
                               IsoRegional().DateToText(first + 5) + ",Glucose,10.2,10,0.2,30\n" + "S,1,B," +
                               IsoRegional().DateToText(first + 5) + ",Glucose,9.9,10,0.2,30\n")
                    .Ok());
    g.BiasFrom = biasEqa;
    g.TEa = 40;
    ASSERT_TRUE(Operations().SetGoal(g).Ok());
    g = Operations().Goal("Glucose");
    EXPECT_NEAR(D(g.MeasuredBiasPct[0]), 0.5, 1e-6);
    EXPECT_NEAR(D(g.MeasuredBiasPct[1]), 0.5, 1e-6);
}
