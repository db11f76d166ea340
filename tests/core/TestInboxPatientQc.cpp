// The inbox's patient results into the patient-QC streams: value, time and instrument only.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UInbox.h"
#include "UOperations.h"

namespace fs = std::filesystem;

namespace {

void Write(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every byte the program folder holds (the database, its journal files, the legacy files) but the
// analysers' own files in the inbox.
std::string FolderBytes(const std::string& folder) {
    std::string all;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file() && fs::relative(e.path(), folder).begin()->string() != "inbox")
            all += ReadWholeFile(e.path().string());
    return all;
}

// Sodium with a moving average of 2 results between 135 and 145, its patient results mapped from the
// source "chem".
class InboxPatientQc : public ::testing::Test {
protected:
    void SetUp() override {
        ListAnalytes.Add(std::make_unique<TAnalyte>("Sodium", "mmol/L", 2, 1));
        WriteAllData();
        TInboxSettings s;
        inbox = folder.Path() + "inbox/";
        fs::create_directories(inbox);
        s.Folder = inbox;
        ASSERT_TRUE(Operations().SetInboxSettings(s).Ok());
        ASSERT_TRUE(Operations().MapPatientResults("chem", "NA", "Sodium").Ok());
        TPqcSettings p;
        p.N = 2;
        p.Target = 140;
        p.Low = 135;
        p.High = 145;
        ASSERT_TRUE(Operations().SetPatientQcProcedure(Sodium(), p).Ok());
    }
    const TAnalyte& Sodium() { return *ListAnalytes.FindByName("Sodium"); }
    TOutcome Read(TInboxReport& r) { return Operations().ReadInbox(&r); }
    int64_t Rows(const char* sql) {
        TStatement st = Operations().Database().Prepare(sql);
        return st.Step() ? st.Int(0) : -1;
    }

    TOpenFolder folder;
    std::string inbox;
};

// Identities a message carries around its patients' results: none of them may be kept anywhere.
const char* const Identities[] = {"DOE", "JANE", "PAT4711", "SMP0815", "ORD2323", "19700101"};

// Patient results are kept for the retention (90 days): the messages are of yesterday.
std::string Yesterday() {
    return TRegional{"yyyyMMdd", "HHmmss", '.'}.DateToText(Today() - 1);
}
std::string OfYesterday(std::string text) {
    for (size_t at; (at = text.find("20260305")) != std::string::npos;) text.replace(at, 8, Yesterday());
    return text;
}

const std::string Oru = "MSH|^~\\&|CHEM|LAB|||20260305090000||ORU^R01|M1|P|2.5\r"
                        "PID|1||PAT4711^^^HOSP||DOE^JANE||19700101|F\r"
                        "OBR|1|ORD2323|SMP0815|NA|||20260305080000\r"
                        "OBX|1|NM|NA||140.2|mmol/L|||||F|||20260305080000||||AN-7\r"
                        "OBX|2|NM|NA||139.8|mmol/L|||||F|||20260305080500||||AN-7\r"
                        "OBX|3|NM|NA||<100|mmol/L|||||F|||20260305081000||||AN-7\r"
                        "OBX|4|NM|NA||150.0|mmol/L|||||X|||20260305081500||||AN-7\r"
                        "OBX|5|NM|NA||152.0|mmol/L|||||F|||20260305082000||||AN-7\r"
                        "OBX|6|NM|NA||153.0|mmol/L|||||F|||20260305082500||||AN-7\r"
                        "OBX|7|NM|K||4.44|mmol/L|||||F|||20260305080000||||AN-7\r";

} // namespace

TEST_F(InboxPatientQc, PatientResultsFeedTheStreamWithoutIdentityAndRaiseTheAlarm) {
    Write(inbox + "chem/a.hl7", OfYesterday(Oru));
    TInboxReport r;
    TOutcome out = Read(r);
    ASSERT_TRUE(out.Ok()) << out.Message;
    // The censored and the flagged results are left out by rule; the stream keeps value, time, instrument.
    EXPECT_EQ(r.PatientResults, 4);
    const std::vector<TPatientResult> stream = Operations().PatientStream(Sodium());
    ASSERT_EQ(stream.size(), 4u);
    EXPECT_DOUBLE_EQ(stream[0].Value, 140.2);
    EXPECT_EQ(stream[0].Time, Today() - 1 + EncodeTime(8, 0, 0));
    EXPECT_EQ(stream[0].Instrument, "AN-7");
    EXPECT_DOUBLE_EQ(stream[3].Value, 153.0);
    const TPqcRecordReport excluded = Operations().PatientExcluded(Sodium());
    EXPECT_EQ(excluded.Censored, 1);
    EXPECT_EQ(excluded.Flagged, 1);
    // The moving average of 139.8 and 152 left 135..145 with the result of 08:20.
    std::string notes;
    for (const std::string& n : out.Notes) notes += n + "\n";
    EXPECT_NE(notes.find("Patient-based QC alarm for Sodium (ma): the statistic left its limits at " +
                         TRegional{"yyyy-MM-dd", "HH:mm", '.'}.DateToText(Today() - 1) + " 08:20"),
              std::string::npos)
        << notes;

    // No patient identity, no sample or order id in any file of the program folder, in the outcome or
    // in the journal; the potassium result, whose stream nobody mapped, is not kept at all.
    const std::string bytes = FolderBytes(folder.Path());
    std::string said = out.Message + notes;
    for (const TInboxFileOutcome& f : r.Files) said += f.Detail;
    for (const TJournalEntry& e : Operations().Journal({}))
        said += e.Analyte + e.Point + e.Before + e.After + e.Reason;
    for (const char* id : Identities) {
        EXPECT_EQ(bytes.find(id), std::string::npos) << id;
        EXPECT_EQ(said.find(id), std::string::npos) << id;
    }
    EXPECT_EQ(Rows("SELECT count(*) FROM pqc_result"), 4);

    // The same results again (a file that gave no QC result is read again) are not taken twice, and
    // raise no alarm again.
    Write(inbox + "chem/b.hl7", OfYesterday(Oru));
    out = Read(r);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_EQ(r.PatientResults, 0);
    EXPECT_TRUE(out.Notes.empty());
    EXPECT_EQ(Operations().PatientStream(Sodium()).size(), 4u);
}

// ASTM patient results (the message not marked QC) go the same way; a source without a stream keeps
// nothing of its patients.
TEST_F(InboxPatientQc, AstmPatientResultsOfAMappedStreamOnly) {
    const std::string astm = "H|\\^&|||AN-1|||||||P|1|20260305090000\rP|1||PAT4711||DOE^JANE\r"
                             "O|1|SMP0815||^^^NA\rR|1|^^^NA|141.5|mmol/L||N||F||||20260305080000\rL|1\r";
    Write(inbox + "chem/a.astm", OfYesterday(astm));
    Write(inbox + "other/a.astm", OfYesterday(astm));
    TInboxReport r;
    ASSERT_TRUE(Read(r).Ok());
    EXPECT_EQ(r.PatientResults, 1);
    const std::vector<TPatientResult> stream = Operations().PatientStream(Sodium());
    ASSERT_EQ(stream.size(), 1u);
    EXPECT_DOUBLE_EQ(stream[0].Value, 141.5);
    EXPECT_EQ(stream[0].Instrument, "AN-1");
    EXPECT_EQ(Rows("SELECT count(*) FROM pqc_result"), 1);
    const std::string bytes = FolderBytes(folder.Path());
    for (const char* id : Identities) EXPECT_EQ(bytes.find(id), std::string::npos) << id;
}
