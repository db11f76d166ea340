// Measurement uncertainty from the control results (lots pooled, bias components, the goal), EQA
// figures and the EQA file import through the operations layer.
#include <gtest/gtest.h>

#include <cmath>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UEqa.h"
#include "UUncertainty.h"

namespace {

double D(const std::optional<long double>& v) {
    return v ? static_cast<double>(*v) : NAN;
}

TLotValues Lot(const std::string& lot, std::vector<long double> values) {
    return {"Control", lot, false, std::move(values)};
}

} // namespace

// Lot 1: 9, 10, 11 (CV 10 %); lot 2: 18, 20, 22, 20, 20 (CV 7.0711 %): u(Rw) = sqrt((2 x 100 + 4 x 50) / 6).
TEST(Uncertainty, PoolsLotsAndCombinesTheBias) {
    const std::vector<TLotValues> lots = {Lot("1", {9, 10, 11}), Lot("2", {18, 20, 22, 20, 20})};
    TBiasInput bias{TBiasSource::Target, 3, {}};
    const TLevelUncertainty u = LevelUncertainty(0, lots, bias, {std::nullopt, 20}, 2);
    ASSERT_TRUE(u.Gap.empty()) << u.Gap;
    ASSERT_EQ(u.Lots.size(), 2u);
    EXPECT_EQ(u.Lots[0].N, 3);
    EXPECT_NEAR(D(u.Lots[0].CVPct), 10.0, 1e-9);
    EXPECT_NEAR(D(u.Lots[1].CVPct), 7.0710678, 1e-6);
    EXPECT_EQ(u.N, 8);
    EXPECT_NEAR(D(u.URwPct), 8.1649658, 1e-6);
    EXPECT_NEAR(D(u.UcPct), std::sqrt(400.0 / 6 + 9), 1e-9);
    EXPECT_NEAR(D(u.UPct), 2 * std::sqrt(400.0 / 6 + 9), 1e-9);
    // Derived from CVI 20 %: k x 0.5 x 20 = 20 %, met by U = 17.4 %; a goal set in percent comes first.
    EXPECT_NEAR(D(u.MaxUPct), 20.0, 1e-12);
    EXPECT_EQ(u.Meets, true);
    const TLevelUncertainty strict = LevelUncertainty(0, lots, bias, {15, 20}, 2);
    EXPECT_NEAR(D(strict.MaxUPct), 15.0, 1e-12);
    EXPECT_EQ(strict.Meets, false);
    // k = 3 widens U only.
    const TLevelUncertainty wide = LevelUncertainty(0, lots, bias, {}, 3);
    EXPECT_NEAR(D(wide.UPct), 3 * D(u.UcPct), 1e-9);
    EXPECT_FALSE(wide.Meets.has_value());
}

TEST(Uncertainty, LotsThatCannotBePooledAndMissingFigures) {
    // A lot with one value is shown but left out, with a note.
    const TLevelUncertainty one = LevelUncertainty(0, {Lot("1", {5}), Lot("2", {4, 5, 6})}, {}, {}, 2);
    ASSERT_EQ(one.Lots.size(), 2u);
    EXPECT_FALSE(one.Lots[0].Pooled);
    EXPECT_EQ(one.N, 3);
    EXPECT_NEAR(D(one.URwPct), 20.0, 1e-9);
    EXPECT_NEAR(D(one.UPct), 40.0, 1e-9); // no bias component
    ASSERT_EQ(one.Notes.size(), 1u);
    EXPECT_EQ(one.Notes[0], "Lot Control 1: fewer than two values in the period, left out");

    const struct {
        std::vector<TLotValues> lots;
        TBiasInput bias;
        const char* gap;
        bool uRw;
    } cases[] = {
        {{}, {}, "No value in the period", false},
        {{Lot("1", {5}), Lot("2", {6})}, {}, "No lot holds two values in the period", false},
        {{Lot("1", {-1, 0, 1})}, {}, "No lot holds two values in the period", false}, // mean 0: no CV
        {{Lot("1", {4, 5, 6})},
         {TBiasSource::Target, std::nullopt, {}},
         "No stated uncertainty of the target is given",
         true},
        {{Lot("1", {4, 5, 6})}, {TBiasSource::Eqa, std::nullopt, {}}, "No EQA result in the period", true},
    };
    for (const auto& c : cases) {
        const TLevelUncertainty u = LevelUncertainty(0, c.lots, c.bias, {10, std::nullopt}, 2);
        EXPECT_EQ(u.Gap, c.gap);
        EXPECT_EQ(u.URwPct.has_value(), c.uRw) << c.gap;
        EXPECT_FALSE(u.UPct || u.Meets) << c.gap;
    }
}

TEST(Uncertainty, BiasFromEvidenceAndTheDefaultPeriod) {
    // RMS of +2 and -2 is 2, the mean uncertainty of the references 1: sqrt(4 + 1).
    EXPECT_NEAR(D(BiasUncertaintyPct({{2, 0.5}, {-2, 1.5}})), std::sqrt(5.0), 1e-12);
    EXPECT_FALSE(BiasUncertaintyPct({}).has_value());
    // Six months back, the day kept where the month has it.
    const struct {
        TDateParts today, from;
    } periods[] = {
        {{2026, 12, 9}, {2026, 6, 9}}, {{2026, 3, 15}, {2025, 9, 15}}, {{2026, 8, 31}, {2026, 2, 28}}};
    for (const auto& p : periods) {
        const TUncertaintyRequest r =
            DefaultUncertaintyRequest(EncodeDate(p.today.Year, p.today.Month, p.today.Day) + 0.5);
        EXPECT_EQ(r.From, EncodeDate(p.from.Year, p.from.Month, p.from.Day));
        EXPECT_EQ(r.To, EncodeDate(p.today.Year, p.today.Month, p.today.Day));
        EXPECT_EQ(r.K, 2);
    }
}

TEST(Eqa, ZScoreBandsAndRelativeBias) {
    const struct {
        long double result;
        int participants;
        TEqaBand band;
    } cases[] = {
        {10.0, 20, TEqaBand::Acceptable},   {11.0, 20, TEqaBand::Acceptable},
        {11.2, 20, TEqaBand::Questionable}, {8.8, 20, TEqaBand::Questionable},
        {11.5, 20, TEqaBand::Unacceptable}, {7.0, 20, TEqaBand::Unacceptable},
        {11.5, 4, TEqaBand::None},          {11.5, 5, TEqaBand::Unacceptable},
    };
    for (const auto& c : cases) {
        const TEqaFigures f = EqaFigures({"S", "1", "A", 0, "Glucose", c.result, 10, 0.5, c.participants});
        EXPECT_EQ(f.Band, c.band) << static_cast<double>(c.result) << " " << c.participants;
        EXPECT_EQ(f.Z.has_value(), c.participants >= 5);
        if (f.Z) {
            EXPECT_NEAR(D(f.Z), static_cast<double>((c.result - 10) / 0.5), 1e-9);
        }
        EXPECT_NEAR(D(f.BiasPct), static_cast<double>(10 * (c.result - 10)), 1e-9);
    }
    const TEqaFigures f = EqaFigures({"S", "1", "A", 0, "Glucose", 10.5, 10, 0.5, 25});
    EXPECT_NEAR(D(f.UAssignedPct), 1.0, 1e-12); // 0.5 / sqrt(25) / 10
    EXPECT_FALSE(EqaFigures({"S", "1", "A", 0, "Glucose", 0.1, 0, 0.5, 25}).BiasPct.has_value());
}

namespace {

class Assessment : public ::testing::Test {
protected:
    TOpenFolder folder;
    void SetUp() override {
        ListAnalytes.Clear();
        ListSerum.Clear();
        ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2));
        ListAnalytes.Add(std::make_unique<TAnalyte>("Sodium", "mmol/L", 0, 1));
        WriteAllData();
    }
    static int Stored() { return static_cast<int>(Operations().EqaResults().size()); }
    static TOutcome Import(const std::string& text, std::vector<TRefusedLine>* refused = nullptr) {
        return Operations().ImportEqa(text, nullptr, refused);
    }
};

const std::string Header = "scheme,distribution,sample,date,analyte,result,assigned,sd,participants\n";

} // namespace

TEST_F(Assessment, LevelLotsFromTheArchivesAndThePoints) {
    TAnalyte& a = *ListAnalytes.FindByName("Glucose");
    const int32_t low = ListSerum.AddMaterial("Low", "A1");
    const int32_t high = ListSerum.AddMaterial("High", "H1");
    a.MaterialId = {low, high, -1};
    // Lot A1 (9, 10, 11; an older point out of the period), then archived; lot A2 (18 ... 20) after it.
    const TDateTime day = EncodeDate(2026, 3, 1);
    a.AddPoint(MakeRun(day - 200, {50, 50}));
    for (int k = 0; k < 3; ++k) a.AddPoint(MakeRun(day + k, {9.0 + k, 100}));
    a.RecalcAll();
    WriteAllData();
    ASSERT_TRUE(Operations().EraseLevels(a, {true, false, false}).Ok());
    for (TSerum& s : ListSerum.Items)
        if (s.Id == low) s.Lot = "A2";
    const double second[] = {18, 20, 22, 20, 20};
    for (int k = 0; k < 5; ++k) a.AddPoint(MakeRun(day + 10 + k, {second[k], NAN}));
    a.RecalcAll();

    TUncertaintyRequest r;
    r.From = day - 30;
    r.To = day + 30;
    std::vector<TLevelUncertainty> levels;
    const TOutcome out = Operations().Uncertainty(a, r, levels);
    ASSERT_TRUE(out.Ok()) << out.Message;
    ASSERT_EQ(levels.size(), 2u);
    ASSERT_EQ(levels[0].Lots.size(), 2u);
    EXPECT_FALSE(levels[0].Lots[0].Current);
    EXPECT_EQ(levels[0].Lots[0].N, 3);
    EXPECT_TRUE(levels[0].Lots[1].Current);
    EXPECT_EQ(levels[0].Lots[1].N, 5);
    EXPECT_NEAR(D(levels[0].URwPct), 8.1649658, 1e-5);
    // Level 2: one lot of four values, all 100 but for the point out of the period.
    EXPECT_EQ(levels[1].N, 3);
    EXPECT_NEAR(D(levels[1].URwPct), 0.0, 1e-12);

    // The whole history takes the early point into level 1's archived lot.
    r.From = day - 365;
    ASSERT_TRUE(Operations().Uncertainty(a, r, levels).Ok());
    EXPECT_EQ(levels[0].Lots[0].N, 4);

    const struct {
        long double k;
        TDateTime from, to;
        const char* message;
    } refused[] = {{0, day, day, "The coverage factor must be above zero"},
                   {2, day, day - 1, "The period ends before it starts"}};
    for (const auto& c : refused) {
        TUncertaintyRequest bad;
        bad.K = c.k;
        bad.From = c.from;
        bad.To = c.to;
        EXPECT_EQ(Operations().Uncertainty(a, bad, levels).Message, c.message);
    }
}

TEST_F(Assessment, EqaFileRecordedAndJournaled) {
    const std::string file = "\xEF\xBB\xBF"
                             "Scheme;Distribution;Sample;Date;Analyte;Result;Assigned;SD;Participants\r\n"
                             "Chem;2026-1;A;2026-02-03;glucose;5,4;5,0;0,2;40\r\n"
                             "Chem;2026-1;B;2026-02-03;Glucose;10.2;10.0;0.4;40\r\n";
    int count = 0;
    const TOutcome out = Operations().ImportEqa(file, &count);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_EQ(count, 2);
    const std::vector<TEqaResult> kept = Operations().EqaResults("GLUCOSE");
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].Analyte, "Glucose");
    EXPECT_EQ(kept[0].Sample, "A");
    EXPECT_EQ(kept[0].Date, EncodeDate(2026, 2, 3));
    EXPECT_NEAR(static_cast<double>(kept[0].Result), 5.4, 1e-12);
    EXPECT_EQ(kept[1].Participants, 40);
    EXPECT_TRUE(Operations().EqaResults("Sodium").empty());
    TJournalFilter f;
    f.Kind = jk::EqaRecorded;
    const auto entries = Operations().Journal(f);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Analyte, "Glucose");
    EXPECT_EQ(entries[0].After, "Chem 2026-1 A 2026-02-03: result 5.4, assigned 5, SD 0.2, 40 participants");
    // Kept after a new start, and the same file again is refused whole.
    folder.Reopen();
    EXPECT_EQ(Stored(), 2);
    std::vector<TRefusedLine> refused;
    EXPECT_EQ(Import(file, &refused).Status, TStatus::Refused);
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0].Reason, "This sample is already recorded");
    EXPECT_EQ(Stored(), 2);
}

TEST_F(Assessment, BadEqaFilesRecordNothing) {
    const struct {
        std::string text;
        std::vector<std::pair<int, std::string>> refused;
    } cases[] = {
        {"scheme,sample,date,analyte,result,assigned\nS,A,2026-01-01,Glucose,1,1\n",
         {{1, "Missing columns: distribution, sd, participants"}}},
        {"", {{0, "The file is empty"}}},
        {Header, {{0, "The file holds no result"}}},
        {Header + "S,1,A,2026-01-01,Glucose,5.1,5.0,0.2,30\n"   // good, but its file is refused
                  "S,1,B,2026-01-01,Glucose,abc,5.0,0.2,30\n"   // a result that is no number
                  "S,1,C,2026-01-01,Glucose,5.1,5.0,0,30\n"     // SD 0
                  "S,1,D,2026-01-01,Glucose,5.1,5.0,-1,30\n"    // SD below 0
                  "S,1,E,2026-01-01,Potassium,5.1,5.0,0.2,30\n" // unknown analyte
                  "S,1,A,2026-01-01,GLUCOSE,5.1,5.0,0.2,30\n"   // the same sample again
                  "S,1,F,01/02/2026,Glucose,5.1,5.0,0.2,30\n"   // not an ISO date
                  "S,1,G,2026-01-01,Glucose,5.1,5.0,0.2,2.5\n"  // participants not whole
                  "S,1,H,2026-01-01,,5.1,5.0,0.2,30\n"          // no analyte
                  "S,1,I,2026-01-01,Glucose,5.1\n",             // a short line
         {{3, "result is not a number: abc"},
          {4, "The SD must be above zero"},
          {5, "The SD must be above zero"},
          {6, "Unknown analyte: Potassium"},
          {7, "The same sample as line 2"},
          {8, "Not an ISO date (yyyy-mm-dd): 01/02/2026"},
          {9, "participants is not a whole number of at least 1: 2.5"},
          {10, "No analyte"},
          {11, "assigned is not a number: "}}},
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
    EXPECT_EQ(Import(Header + "S,1,B,2026-01-01,Glucose,abc,5.0,0.2,30\n").Message,
              "Refused lines: 1. Nothing was imported");
}

// A result typed in goes the way of a file's line; an unacceptable one is answered with the corrective
// action, journaled as its own entry, the latest shown.
TEST_F(Assessment, TypedResultsAndTheCorrectiveActionOfAnUnacceptableOne) {
    const std::vector<std::string> typed = {
        "Ring \"North\", 2026", "1", "A", "2026-03-02", "Sodium", "110", "100", "2.5", "25"};
    ASSERT_TRUE(Operations().AddEqaResult(typed).Ok());
    ASSERT_TRUE(Operations()
                    .AddEqaResult({"Ring", "1", "B", "2026-03-02", "Sodium", "101", "100", "2.5", "25"})
                    .Ok());
    EXPECT_EQ(Operations().AddEqaResult(typed).Message, "This sample is already recorded");
    EXPECT_EQ(Operations().AddEqaResult({"Ring", "1", "C"}).Message, "An EQA result has 9 fields");
    const std::vector<TEqaResult> kept = Operations().EqaResults("Sodium");
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].Scheme, "Ring \"North\", 2026");
    ASSERT_EQ(EqaFigures(kept[0]).Band, TEqaBand::Unacceptable); // z = 4
    TEqaResult other = kept[0];
    other.Sample = "Z";
    const struct {
        TEqaResult result;
        std::string action, refusal;
    } refused[] = {
        {kept[0], " \t ", "An unacceptable EQA result is answered with the corrective action taken"},
        {other, "Recalibrated", "No EQA result of Sodium is recorded for Ring \"North\", 2026 / 1 / Z"},
        {kept[1], "Recalibrated", "The EQA result Ring / 1 / B of Sodium is not unacceptable"},
    };
    for (const auto& c : refused)
        EXPECT_EQ(Operations().RecordEqaAction(c.result, c.action).Message, c.refusal);
    EXPECT_TRUE(Operations().EqaActions("Sodium").empty());

    TEqaResult asTyped = kept[0];
    asTyped.Sample = "a"; // samples are told apart without regard to case
    ASSERT_TRUE(Operations().RecordEqaAction(asTyped, "Calibrator lot replaced").Ok());
    ASSERT_TRUE(Operations().RecordEqaAction(kept[0], "Recalibrated; controls repeated").Ok());
    folder.Reopen();
    const auto actions = Operations().EqaActions("Sodium");
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions.at(EqaSampleKey(kept[0])), "Recalibrated; controls repeated");
    TJournalFilter f;
    f.Kind = jk::EqaAction;
    const auto entries = Operations().Journal(f);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Analyte, "Sodium");
    EXPECT_EQ(entries[0].Before, "unacceptable");
    EXPECT_EQ(entries[0].After, "Ring \"North\", 2026 / 1 / A");
    EXPECT_EQ(entries[0].Reason, "Calibrator lot replaced");
    EXPECT_TRUE(Operations().CheckJournal().Whole);
    // A folder open for reading records nothing.
    folder.Reopen(TOpenMode::Reader);
    EXPECT_EQ(Operations().RecordEqaAction(kept[0], "Again").Status, TStatus::Refused);
    EXPECT_EQ(Operations()
                  .AddEqaResult({"Ring", "1", "D", "2026-03-02", "Sodium", "101", "100", "2.5", "25"})
                  .Status,
              TStatus::Refused);
}

TEST_F(Assessment, EqaResultsAsTheBiasOfTheUncertainty) {
    TAnalyte& a = *ListAnalytes.FindByName("Sodium");
    const TDateTime day = EncodeDate(2026, 3, 1);
    for (int k = 0; k < 3; ++k) a.AddPoint(MakeRun(day + k, {139.0 + k}));
    a.RecalcAll();
    WriteAllData();
    // Biases +2 % and -2 %, u(assigned) 0.5 % and 1.5 %; the result out of the period does not count.
    ASSERT_TRUE(Import(Header + "S,1,A,2026-03-02,Sodium,102,100,2.5,25\n"
                                "S,1,B,2026-03-03,Sodium,98,100,7.5,25\n"
                                "S,0,A,2025-01-01,Sodium,150,100,1,25\n")
                    .Ok());
    TUncertaintyRequest r;
    r.From = day - 10;
    r.To = day + 10;
    r.BiasSource = TBiasSource::Eqa;
    std::vector<TLevelUncertainty> levels;
    ASSERT_TRUE(Operations().Uncertainty(a, r, levels).Ok());
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_NEAR(D(levels[0].UBiasPct), std::sqrt(5.0), 1e-9);
    const double cv = 100.0 / 140;
    EXPECT_NEAR(D(levels[0].UPct), 2 * std::sqrt(cv * cv + 5), 1e-6);
}
