// Patient-based QC alarms acknowledged with the corrective action: kept, journaled, no longer open,
// and refused with nothing changed when they cannot be.
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
    static std::vector<TJournalEntry> Acknowledgements() {
        std::vector<TJournalEntry> out;
        for (const TJournalEntry& e : Operations().Journal())
            if (e.Kind == jk::PatientQcAcknowledged) out.push_back(e);
        return out;
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

} // namespace
