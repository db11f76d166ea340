// Patient-based QC alarms: journaled as results raise them, acknowledged with the corrective action
// (kept, journaled, no longer open, refused with nothing changed when they cannot be), and carried with
// the analyte's stream through renames and deletions.
#include <gtest/gtest.h>

#include <cmath>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UDataLoadSave.h"

namespace {

class PatientQcAlarms : public ::testing::Test {
protected:
    TOpenFolder folder;
    std::vector<TDateTime> times; // of the results imported, whole seconds
    void SetUp() override {
        ListAnalytes.Clear();
        ListSerum.Clear();
        ListAnalytes.Add(std::make_unique<TAnalyte>("Sodium", "mmol/L", 0, 1));
        ListAnalytes.Add(std::make_unique<TAnalyte>("Potassium", "mmol/L", 1, 1));
        WriteAllData();
        // 140 throughout, but two blocks at 150: the moving average of 5 leaves 138..142 twice.
        std::string text;
        const TDateTime start = std::floor((Now() - 2) * 86400) / 86400;
        for (int i = 0; i < 60; ++i) {
            const bool high = (i >= 20 && i < 30) || (i >= 45 && i < 55);
            times.push_back(start + i / 144.0);
            text += IsoRegional().DateTimeToText(times.back()) + "\t" + (high ? "150" : "140") + "\n";
        }
        ASSERT_TRUE(Operations().ImportPatientResults(A("Sodium"), text).Ok());
        // The moments as the stream keeps them, read back from their text.
        times.clear();
        for (const TPatientResult& r : Operations().PatientStream(A("Sodium"))) times.push_back(r.Time);
        ASSERT_EQ(times.size(), 60u);
        TPqcSettings s;
        s.N = 5;
        s.Target = 140;
        s.Low = 138;
        s.High = 142;
        ASSERT_TRUE(Operations().SetPatientQcProcedure(A("Sodium"), s).Ok());
    }
    static const TAnalyte& A(const char* name) { return *ListAnalytes.FindByName(name); }
    static std::vector<TJournalEntry> Entries(const char* kind) {
        std::vector<TJournalEntry> out;
        for (const TJournalEntry& e : Operations().Journal())
            if (e.Kind == kind) out.push_back(e);
        return out;
    }
    static std::vector<TJournalEntry> Acknowledgements() { return Entries(jk::PatientQcAcknowledged); }
    // Results every ten minutes after the fixture's.
    std::string After(const std::vector<const char*>& values) const {
        std::string text;
        for (size_t k = 0; k < values.size(); ++k)
            text += IsoRegional().DateTimeToText(times.back() + static_cast<double>(k + 1) / 144.0) + "\t" +
                    values[k] + "\n";
        return text;
    }
    static TAnalyteEdit::TLine Line(const std::string& name, const std::string& as) {
        const TAnalyte* a = ListAnalytes.FindByName(name);
        return {a->Uid, as, a->Unit, a->Decimals, a->NbLevels};
    }
};

TEST_F(PatientQcAlarms, AcknowledgedWithActionNoLongerOpen) {
    std::vector<TPqcAlarm> alarms = Operations().PatientQcAlarms(A("Sodium"));
    ASSERT_EQ(alarms.size(), 2u);
    // The first average above 142 takes two results of the block ((3 * 140 + 2 * 150) / 5 = 144).
    EXPECT_EQ(alarms[0].Time, times[21]);
    EXPECT_EQ(alarms[1].Time, times[46]);
    EXPECT_FALSE(alarms[0].Acknowledged);
    EXPECT_EQ(Operations().PatientQcOpenAlarms(), std::vector<std::string>{"Sodium"});

    // The alarm as the companion names it (to the second) is the alarm.
    ASSERT_TRUE(Operations()
                    .AcknowledgePatientQcAlarm(A("Sodium"), alarms[0].Time + 0.3 / 86400,
                                               "  Analyser recalibrated\tpatients re-run ", "ab")
                    .Ok());
    ASSERT_TRUE(
        Operations().AcknowledgePatientQcAlarm(A("Sodium"), alarms[1].Time, "Reagent lot changed").Ok());
    folder.Reopen();
    alarms = Operations().PatientQcAlarms(A("Sodium"));
    ASSERT_EQ(alarms.size(), 2u);
    EXPECT_TRUE(alarms[0].Acknowledged);
    EXPECT_EQ(alarms[0].Action, "Analyser recalibrated patients re-run");
    EXPECT_EQ(alarms[0].Operator, "ab");
    EXPECT_EQ(alarms[0].AcknowledgedUtc.size(), 20u);
    EXPECT_EQ(alarms[1].Operator, Operations().OperatorCode());
    EXPECT_TRUE(Operations().PatientQcOpenAlarms().empty());

    const std::vector<TJournalEntry> logged = Acknowledgements();
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].Analyte, "Sodium");
    EXPECT_EQ(logged[0].Operator, "ab");
    EXPECT_EQ(logged[0].Reason, "Analyser recalibrated patients re-run");
    EXPECT_EQ(logged[0].Point, JournalDateTime(times[21]));

    // A procedure that no longer alarms there keeps the acknowledgements all the same.
    TPqcSettings wide = *Operations().PatientQcProcedure(A("Sodium"));
    wide.High = 160;
    ASSERT_TRUE(Operations().SetPatientQcProcedure(A("Sodium"), wide).Ok());
    EXPECT_TRUE(Operations().PatientQcAlarms(A("Sodium")).empty());
    EXPECT_EQ(Operations().PatientQcAcknowledgements(A("Sodium")).size(), 2u);
}

TEST_F(PatientQcAlarms, RefusalsChangeNothing) {
    const TDateTime first = Operations().PatientQcAlarms(A("Sodium")).at(0).Time;
    ASSERT_TRUE(Operations().AcknowledgePatientQcAlarm(A("Sodium"), first, "Recalibrated").Ok());
    struct Case {
        const char* analyte;
        TDateTime at;
        const char* action;
        const char* says;
    };
    for (const Case& c : {Case{"Sodium", first, "Again", "already"},
                          Case{"Sodium", times[25], "Not an alarm", "no patient-based QC alarm"},
                          Case{"Sodium", first + 2.0 / 86400, "Two seconds off", "no patient-based QC alarm"},
                          Case{"Potassium", first, "No procedure", "no patient-based QC alarm"},
                          Case{"Sodium", times[46], " \t ", "corrective action"}}) {
        const TOutcome out = Operations().AcknowledgePatientQcAlarm(A(c.analyte), c.at, c.action);
        EXPECT_FALSE(out.Changed()) << c.action;
        EXPECT_NE(out.Message.find(c.says), std::string::npos) << out.Message;
    }
    EXPECT_EQ(Acknowledgements().size(), 1u);
    EXPECT_EQ(Operations().PatientQcOpenAlarms(), std::vector<std::string>{"Sodium"});

    // A folder open for reading shows the alarms and takes no acknowledgement.
    Operations().Close();
    TOpenOptions read;
    read.ReadDatabase = true;
    ASSERT_TRUE(Operations().Open(folder.Path(), TOpenMode::Reader, read).Opened);
    EXPECT_EQ(Operations().PatientQcAlarms(A("Sodium")).size(), 2u);
    EXPECT_FALSE(Operations().AcknowledgePatientQcAlarm(A("Sodium"), times[46], "Recalibrated").Changed());
    EXPECT_EQ(Operations().PatientQcAcknowledgements(A("Sodium")).size(), 1u);
}

// Results that arrive with the procedure set raise their alarms in the journal once, as they arrive.
TEST_F(PatientQcAlarms, NewResultsJournalTheAlarmsTheyRaise) {
    // The history was loaded before the procedure: its alarms were never raised as such.
    EXPECT_TRUE(Entries(jk::PatientQcAlarm).empty());
    TPqcRecordReport r;
    ASSERT_TRUE(Operations().ImportPatientResults(A("Sodium"), After({"150", "150", "150", "140"}), &r).Ok());
    // (4 * 140 + 150) / 5 = 142 is within the limits; the second result takes it out.
    ASSERT_EQ(r.Alarms.size(), 1u);
    EXPECT_NEAR(r.Alarms[0], times.back() + 2.0 / 144, 0.5 / 86400);
    std::vector<TJournalEntry> raised = Entries(jk::PatientQcAlarm);
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].Analyte, "Sodium");
    EXPECT_EQ(raised[0].Point, JournalDateTime(r.Alarms[0]));
    EXPECT_EQ(raised[0].After, "ma statistic 144.00 outside 138..142");
    EXPECT_EQ(Operations().PatientQcAlarms(A("Sodium")).size(), 3u);

    // The same results again, and results that keep the statistic out, raise nothing new.
    ASSERT_TRUE(Operations().ImportPatientResults(A("Sodium"), After({"150", "150", "150", "140"}), &r).Ok());
    EXPECT_EQ(r.Added, 0);
    EXPECT_TRUE(r.Alarms.empty());
    EXPECT_EQ(Entries(jk::PatientQcAlarm).size(), 1u);
}

TEST_F(PatientQcAlarms, StreamProcedureAndAlarmsFollowARenameAndGoWithADeletion) {
    ASSERT_TRUE(Operations().MapPatientResults("chem", "NA", "Sodium").Ok());
    ASSERT_TRUE(
        Operations().RecordPatientResults("chem", "NA", {{times[0] + 1.0 / 1440, "<100", "A1", false}}).Ok());
    const TDateTime first = Operations().PatientQcAlarms(A("Sodium")).at(0).Time;
    ASSERT_TRUE(Operations().AcknowledgePatientQcAlarm(A("Sodium"), first, "Recalibrated").Ok());
    TPqcSettings other;
    other.Procedure = TPqcProcedure::Ewma;
    other.Target = 4;
    other.Low = 3;
    other.High = 5;
    ASSERT_TRUE(Operations().SetPatientQcProcedure(A("Potassium"), other).Ok());

    // The two swap names: each keeps its own patient-QC data under its new name.
    TAnalyteEdit swap;
    swap.Lines = {Line("Sodium", "Potassium"), Line("Potassium", "Sodium")};
    TOutcome out = Operations().ApplyAnalyteEdit(swap);
    ASSERT_TRUE(out.Ok()) << out.Message;
    folder.Reopen();
    const TAnalyte& renamed = A("Potassium");
    EXPECT_EQ(renamed.Unit, "mmol/L");
    EXPECT_EQ(renamed.Decimals, 0); // the former Sodium
    EXPECT_EQ(Operations().PatientStream(renamed).size(), 60u);
    EXPECT_EQ(Operations().PatientExcluded(renamed).Censored, 1);
    EXPECT_EQ(Operations().PatientQcProcedure(renamed)->Procedure, TPqcProcedure::MovingAverage);
    EXPECT_EQ(Operations().PatientQcProcedure(A("Sodium"))->Procedure, TPqcProcedure::Ewma);
    EXPECT_TRUE(Operations().PatientStream(A("Sodium")).empty());
    EXPECT_EQ(Operations().PatientResultsAnalyte("chem", "NA"), "Potassium");
    std::vector<TPqcAlarm> alarms = Operations().PatientQcAlarms(renamed);
    ASSERT_EQ(alarms.size(), 2u);
    EXPECT_TRUE(alarms[0].Acknowledged);
    EXPECT_EQ(alarms[0].Action, "Recalibrated");
    EXPECT_EQ(Operations().PatientQcOpenAlarms(), std::vector<std::string>{"Potassium"});
    // The hand-loaded history is the renamed analyte's own: loaded again, nothing is taken twice.
    std::string history;
    for (TDateTime t : times) history += IsoRegional().DateTimeToText(t) + "\t140\n";
    TPqcRecordReport r;
    ASSERT_TRUE(Operations().ImportPatientResults(renamed, history, &r).Ok());
    EXPECT_EQ(r.Duplicates, 40);
    EXPECT_EQ(r.Added, 20); // where the history had 150

    // Deleted, its results, mapping, procedure and acknowledgements go, journaled; an analyte made with
    // the same name in the same edit starts without them.
    TAnalyteEdit del;
    del.Lines = {Line("Sodium", "Sodium"), {0, "Potassium", "mmol/L", 1, 1}};
    del.Deleted = {renamed.Uid};
    out = Operations().ApplyAnalyteEdit(del);
    ASSERT_TRUE(out.Ok()) << out.Message;
    folder.Reopen();
    EXPECT_TRUE(Operations().PatientStream(A("Potassium")).empty());
    EXPECT_FALSE(Operations().PatientQcProcedure(A("Potassium")));
    EXPECT_TRUE(Operations().PatientQcAcknowledgements(A("Potassium")).empty());
    EXPECT_EQ(Operations().PatientExcluded(A("Potassium")).Censored, 0);
    EXPECT_FALSE(Operations().PatientResultsAnalyte("chem", "NA"));
    EXPECT_TRUE(Operations().PatientQcOpenAlarms().empty());
    EXPECT_EQ(Operations().PatientQcProcedure(A("Sodium"))->Procedure, TPqcProcedure::Ewma);
    TStatement rows = Operations().Database().Prepare(
        "SELECT (SELECT count(*) FROM pqc_result) + (SELECT count(*) FROM pqc_map) + "
        "(SELECT count(*) FROM pqc_ack) + (SELECT count(*) FROM pqc_excluded)");
    ASSERT_TRUE(rows.Step());
    EXPECT_EQ(rows.Int(0), 0);
    bool journaled = false;
    for (const TJournalEntry& e : Entries(jk::PatientQcChanged))
        journaled |= e.After == "removed with the analyte" &&
                     e.Before == "Potassium: 80 patient results, 2 streams mapped, a procedure";
    EXPECT_TRUE(journaled);
}

} // namespace
