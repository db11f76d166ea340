// The patients' result streams and procedures kept by the operations layer: screened, kept without
// identity, purged after the retention, refused whole on a bad line.
#include <gtest/gtest.h>

#include <cmath>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"

namespace {

const TRegional Iso{"yyyy-MM-dd", "HH:mm:ss", '.'};

// A history line at `days` before now (whole seconds).
std::string Line(double days, const std::string& value, const std::string& rest = "") {
    const TDateTime t = std::floor((Now() - days) * 86400) / 86400;
    return Iso.DateTimeToText(t) + "\t" + value + rest + "\n";
}

class PatientQcStore : public ::testing::Test {
protected:
    TOpenFolder folder;
    void SetUp() override {
        ListAnalytes.Clear();
        ListSerum.Clear();
        ListAnalytes.Add(std::make_unique<TAnalyte>("Sodium", "mmol/L", 0, 1));
        ListAnalytes.Add(std::make_unique<TAnalyte>("Potassium", "mmol/L", 1, 1));
        WriteAllData();
    }
    static const TAnalyte& A(const char* name) { return *ListAnalytes.FindByName(name); }
    static size_t PurgeEntries() {
        size_t n = 0;
        for (const TJournalEntry& e : Operations().Journal())
            n += e.Kind == jk::PatientQcChanged && e.After == "purged, 90 days kept";
        return n;
    }
    static int64_t Kept() {
        TStatement st = Operations().Database().Prepare("SELECT count(*) FROM pqc_result");
        return st.Step() ? st.Int(0) : -1;
    }
    // Every byte the database keeps, its log included.
    std::string DatabaseBytes() const {
        std::string bytes;
        for (const char* side : {"", "-wal"})
            if (FileExists(folder.File(std::string(TDatabase::FileName) + side)))
                bytes += ReadWholeFile(folder.File(std::string(TDatabase::FileName) + side));
        return bytes;
    }
};

TEST_F(PatientQcStore, HistoryIsScreenedKeptWithoutIdentityAndPurged) {
    std::string text = Line(200, "139") + Line(3, "140", "\tPID-4711\tDOE^JANE\tS-0815") + Line(2, "<120") +
                       Line(2, ">180") + Line(2, "haemolysed") + "\r\n" + Line(1, "141\r");
    TPqcRecordReport r;
    TOutcome out = Operations().ImportPatientResults(A("Sodium"), text, &r);
    ASSERT_TRUE(out.Ok()) << out.Message;
    // The result older than the 90 days kept by default is gone at once; two are kept.
    EXPECT_EQ(r.Added, 3);
    EXPECT_EQ(r.Purged, 1);
    EXPECT_EQ(PurgeEntries(), 1u);
    EXPECT_EQ(r.Censored, 2);
    EXPECT_EQ(r.NotNumeric, 1);
    std::vector<TPatientResult> stream = Operations().PatientStream(A("Sodium"));
    ASSERT_EQ(stream.size(), 2u);
    EXPECT_EQ(stream[0].Value, 140);
    EXPECT_EQ(stream[1].Value, 141);
    EXPECT_LT(stream[0].Time, stream[1].Time);
    EXPECT_TRUE(Operations().PatientStream(A("Potassium")).empty());

    // The same history again adds nothing; the counts of what was left out add up.
    ASSERT_TRUE(Operations().ImportPatientResults(A("Sodium"), text, &r).Ok());
    EXPECT_EQ(r.Added, 1); // the old one, purged again
    EXPECT_EQ(r.Duplicates, 2);
    EXPECT_EQ(Operations().PatientExcluded(A("Sodium")).Censored, 4);

    // Nothing that names the patient or the sample reaches the database.
    folder.Reopen();
    const std::string bytes = DatabaseBytes();
    ASSERT_FALSE(bytes.empty());
    for (const char* identity : {"PID-4711", "DOE", "JANE", "S-0815"})
        EXPECT_EQ(bytes.find(identity), std::string::npos) << identity;

    // A shorter retention purges at once; a reading opening sees the stream as it is.
    EXPECT_EQ(Operations().PatientRetentionDays(), 90);
    EXPECT_FALSE(Operations().SetPatientRetentionDays(0).Changed());
    ASSERT_TRUE(Operations().SetPatientRetentionDays(2).Ok());
    TOpenOptions read;
    read.ReadDatabase = true;
    Operations().Close();
    ASSERT_TRUE(Operations().Open(folder.Path(), TOpenMode::Reader, read).Opened);
    EXPECT_EQ(Operations().PatientRetentionDays(), 2);
    EXPECT_EQ(Operations().PatientStream(A("Sodium")).size(), 1u);
    EXPECT_FALSE(Operations().ImportPatientResults(A("Sodium"), Line(1, "140"), &r).Changed());
}

TEST_F(PatientQcStore, PurgeKeepsWholeDaysIsJournaledAndHappensAtOpening) {
    // The retention keeps from the start of the day 90 days ago.
    const TDateTime start = Today() - 90;
    const std::string text = IsoRegional().DateTimeToText(start) + "\t140\n" +
                             IsoRegional().DateTimeToText(start - 1.0 / 86400) + "\t141\n" + Line(1, "142");
    TPqcRecordReport r;
    ASSERT_TRUE(Operations().ImportPatientResults(A("Sodium"), text, &r).Ok());
    EXPECT_EQ(r.Added, 3);
    EXPECT_EQ(r.Purged, 1);
    std::vector<TPatientResult> stream = Operations().PatientStream(A("Sodium"));
    ASSERT_EQ(stream.size(), 2u);
    EXPECT_EQ(stream[0].Value, 140);
    std::vector<TJournalEntry> purges;
    for (const TJournalEntry& e : Operations().Journal())
        if (e.Kind == jk::PatientQcChanged) purges.push_back(e);
    ASSERT_EQ(purges.size(), 1u);
    EXPECT_EQ(purges[0].Analyte, "Sodium");
    EXPECT_EQ(purges[0].Before, "patient results before " + IsoRegional().DateToText(start) + ": 1");
    EXPECT_EQ(purges[0].After, "purged, 90 days kept");

    // What the retention lets go while the folder is closed is never read, and is purged when the folder
    // next opens for writing.
    Operations().Close();
    {
        TDatabase db;
        db.Open(folder.Path() + TDatabase::FileName);
        db.Exec("UPDATE pqc_result SET time = time - 2 WHERE value = 140");
        db.Close();
    }
    TOpenOptions read;
    read.ReadDatabase = true;
    ASSERT_TRUE(Operations().Open(folder.Path(), TOpenMode::Reader, read).Opened);
    EXPECT_EQ(Operations().PatientStream(A("Sodium")).size(), 1u);
    EXPECT_EQ(Kept(), 2);
    EXPECT_EQ(PurgeEntries(), 1u);
    folder.Reopen();
    EXPECT_EQ(Kept(), 1);
    EXPECT_EQ(PurgeEntries(), 2u);
    folder.Reopen();
    EXPECT_EQ(PurgeEntries(), 2u);
}

TEST_F(PatientQcStore, BadInputChangesNothing) {
    ASSERT_TRUE(Operations().ImportPatientResults(A("Sodium"), Line(1, "140")).Ok());
    // One line without a readable date-time refuses the whole text, naming the line.
    for (const std::string& bad :
         {std::string("2026-13-01 08:00:00\t140\n"), std::string("2026-03-01\t140\n"),
          std::string("2026-03-01 08:00:00 140\n"), std::string("yesterday\t140\n")}) {
        TOutcome out = Operations().ImportPatientResults(A("Sodium"), Line(1, "141") + bad);
        EXPECT_FALSE(out.Changed()) << bad;
        EXPECT_NE(out.Message.find("Line 2"), std::string::npos) << out.Message;
    }
    EXPECT_EQ(Operations().PatientStream(A("Sodium")).size(), 1u);

    // Results of a source and code nobody mapped, or mapped to an unknown analyte, are refused.
    EXPECT_FALSE(Operations().RecordPatientResults("lab", "NA", {{Now(), "140", "A1", false}}).Changed());
    EXPECT_FALSE(Operations().MapPatientResults("lab", "NA", "Chloride").Changed());
    EXPECT_FALSE(Operations().MapPatientResults("", "NA", "Sodium").Changed());
    ASSERT_TRUE(Operations().MapPatientResults("lab", "NA", "sodium").Ok());
    TPqcRecordReport r;
    ASSERT_TRUE(
        Operations()
            .RecordPatientResults("lab", "NA", {{Now(), "142", "A1", false}, {Now(), "143", "A1", true}}, &r)
            .Ok());
    EXPECT_EQ(r.Added, 1);
    EXPECT_EQ(r.Flagged, 1);
    const std::vector<TPatientResult> stream = Operations().PatientStream(A("Sodium"));
    ASSERT_EQ(stream.size(), 2u);
    EXPECT_EQ(stream.back().Instrument, "A1");

    // A procedure is kept as set, and a bad one refused with the reason.
    TPqcSettings s;
    s.Procedure = TPqcProcedure::Ewma;
    s.N = 5;
    s.Lambda = 0.2;
    s.TruncLow = 120;
    s.Truncation = TPqcTruncation::Winsorise;
    s.Target = 140;
    s.Low = 138.5;
    s.High = 141.5;
    ASSERT_TRUE(Operations().SetPatientQcProcedure(A("Sodium"), s).Ok());
    TPqcSettings bad = s;
    bad.Lambda = 2;
    EXPECT_FALSE(Operations().SetPatientQcProcedure(A("Sodium"), bad).Changed());
    // The journal holds the mapping and the change, and only the ones that were made.
    std::vector<TJournalEntry> changes;
    for (const TJournalEntry& e : Operations().Journal())
        if (e.Kind == jk::PatientQcChanged) changes.push_back(e);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].Analyte, "Sodium");
    EXPECT_EQ(changes[0].After, "patient results lab NA mapped");
    EXPECT_EQ(changes[1].Analyte, "Sodium");
    EXPECT_EQ(changes[1].After,
              "ewma N 5 lambda 0.2, truncation 120..- winsorise, target 140, limits 138.5..141.5");
    folder.Reopen();
    const std::optional<TPqcSettings> kept = Operations().PatientQcProcedure(A("Sodium"));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->Procedure, TPqcProcedure::Ewma);
    EXPECT_EQ(kept->N, 5);
    EXPECT_EQ(kept->Lambda, 0.2);
    EXPECT_EQ(kept->TruncLow, 120);
    EXPECT_FALSE(kept->TruncHigh);
    EXPECT_EQ(kept->Truncation, TPqcTruncation::Winsorise);
    EXPECT_EQ(kept->Low, 138.5);
    EXPECT_EQ(kept->High, 141.5);
    EXPECT_FALSE(Operations().PatientQcProcedure(A("Potassium")));

    // A stream no longer mapped takes no more results; those kept stay.
    using TStreams = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(Operations().PatientStreams(A("Sodium")), (TStreams{{"import", "Sodium"}, {"lab", "NA"}}));
    EXPECT_FALSE(Operations().UnmapPatientResults("lab", "K").Changed());
    ASSERT_TRUE(Operations().UnmapPatientResults("lab", "NA").Ok());
    EXPECT_EQ(Operations().PatientStreams(A("Sodium")), (TStreams{{"import", "Sodium"}}));
    EXPECT_FALSE(Operations().RecordPatientResults("lab", "NA", {{Now(), "144", "A1", false}}).Changed());
    EXPECT_EQ(Operations().PatientStream(A("Sodium")).size(), 2u);
    EXPECT_EQ(Operations().Journal().back().Before, "patient results lab NA mapped");
    EXPECT_EQ(Operations().Journal().back().After, "not mapped");
}

} // namespace
