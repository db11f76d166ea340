// The companion's patient-based QC: a history loaded, a procedure set, alarms shown and a simulation
// repeated, run as a separate program.
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

#include "CliSupport.h"
#include "TestHelpers.h"
#include "UAtomicFile.h"

namespace {

TRun Cli(const std::string& home, const std::vector<std::string>& args) {
    return RunCompanion("", home, args);
}

// Results every ten minutes up to now, normal around 100 (SD 5), +15 % from result `shift` on; each
// line carries what a laboratory system's export may add after the value.
std::vector<std::string> History(int count, int shift) {
    const TRegional iso{"yyyy-MM-dd", "HH:mm:ss", '.'};
    std::mt19937_64 g(11);
    auto uniform = [&] { return (static_cast<double>(g() >> 11) + 0.5) / 9007199254740992.0; };
    std::vector<std::string> lines;
    const TDateTime start = std::floor(Now() * 1440) / 1440 - count / 144.0;
    for (int i = 0; i < count; ++i) {
        const double z = std::sqrt(-2 * std::log(uniform())) * std::cos(2 * std::numbers::pi * uniform());
        const double v = (100 + 5 * z) * (i >= shift ? 1.15 : 1);
        lines.push_back(iso.DateTimeToText(start + i / 144.0) + "\t" +
                        std::to_string(std::round(v * 10) / 10) + "\tPID" + std::to_string(900000 + i) +
                        "\tMUSTERMANN^ERIKA\tSAMPLE-" + std::to_string(i) + "\n");
    }
    return lines;
}

std::string Text(const std::vector<std::string>& lines, size_t count) {
    std::string text;
    for (size_t k = 0; k < count && k < lines.size(); ++k) text += lines[k];
    return text;
}

std::string Field(const std::string& json, const std::string& key) {
    const size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return "";
    const size_t from = at + key.size() + 3;
    return json.substr(from, json.find_first_of(",}", from) - from);
}

TEST(CliPbrtqc, HistoryProcedureAlarmsAndSimulation) {
    TTempFolder home;
    const std::string file = home.File("history.txt");
    // 2,000 results as they were, then 100 with the error.
    const std::vector<std::string> lines = History(2100, 2000);
    AtomicWriteFile(file, Text(lines, 2000) + "2026-02-30 08:00:00\t100\n");
    // A line that cannot be read imports nothing.
    TRun r = Cli(home.Path(), {"--init", "pbrtqc", "import", "Glucose", file});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Line 2001"), std::string::npos) << r.err;
    AtomicWriteFile(file, Text(lines, 2000) + lines[0].substr(0, 19) + "\t<0.5\n");
    r = Cli(home.Path(), {"pbrtqc", "import", "Glucose", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Field(r.out, "Added"), "2000") << r.out;
    EXPECT_EQ(Field(r.out, "Censored"), "1");

    // No procedure yet; then one proposed from the history.
    r = Cli(home.Path(), {"pbrtqc", "Glucose"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no patient-based QC procedure"), std::string::npos) << r.err;
    r = Cli(home.Path(), {"pbrtqc", "set", "Glucose", "--procedure", "ma", "--n", "20"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli(home.Path(), {"pbrtqc", "Glucose"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* key : {"Procedure", "N", "Statistic", "Low", "High", "Alarm", "Alarms"})
        EXPECT_NE(Field(r.out, key), "") << key << " in " << r.out;
    EXPECT_EQ(Field(r.out, "Procedure"), "\"ma\"");
    EXPECT_EQ(Field(r.out, "Alarm"), "false");
    const double low = std::stod(Field(r.out, "Low")), high = std::stod(Field(r.out, "High"));
    EXPECT_NEAR((low + high) / 2, 100, 1);

    // The simulation states its count and seed and gives the same figures for them.
    const std::vector<std::string> simulate = {"pbrtqc", "Glucose", "--simulate", "15",
                                               "--runs", "300",     "--seed",     "9"};
    const TRun s1 = Cli(home.Path(), simulate), s2 = Cli(home.Path(), simulate);
    ASSERT_EQ(s1.status, 0) << s1.err;
    EXPECT_EQ(s1.out, s2.out);
    EXPECT_EQ(Field(s1.out, "Runs"), "300");
    EXPECT_EQ(Field(s1.out, "Seed"), "9");
    const double anped95 = std::stod(Field(s1.out, "ANPed95"));
    EXPECT_GE(anped95, std::stod(Field(s1.out, "ANPed")));
    EXPECT_NE(Field(s1.out, "FalseAlarmsPer1000"), "");

    // Results shifted by +15 % after the history raise the alarm within the predicted number.
    AtomicWriteFile(file, Text(lines, lines.size()));
    r = Cli(home.Path(), {"pbrtqc", "import", "Glucose", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Field(r.out, "Added"), "100");
    EXPECT_EQ(Field(r.out, "Duplicates"), "2000");
    r = Cli(home.Path(), {"pbrtqc", "Glucose"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Field(r.out, "Alarm"), "true") << r.out;
    const size_t alarmAt = r.out.find("\"Alarms\":[");
    ASSERT_NE(alarmAt, std::string::npos);
    const std::string alarms = r.out.substr(alarmAt, r.out.find(']', alarmAt) - alarmAt);
    bool inTime = false;
    for (size_t k = 2000; k < 2000 + static_cast<size_t>(anped95); ++k) {
        std::string stamp = lines[k].substr(0, 19);
        stamp[10] = 'T';
        inTime |= alarms.find(stamp) != std::string::npos;
    }
    EXPECT_TRUE(inTime) << alarms;

    // Nothing that names a patient or a sample reached the database.
    std::string bytes;
    for (const char* side : {"", "-wal"})
        if (FileExists(home.File(std::string("Varnholt.db") + side)))
            bytes += ReadWholeFile(home.File(std::string("Varnholt.db") + side));
    ASSERT_FALSE(bytes.empty());
    for (const char* identity : {"PID9", "MUSTERMANN", "ERIKA", "SAMPLE-"})
        EXPECT_EQ(bytes.find(identity), std::string::npos) << identity;

    // Bad command lines change nothing.
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"pbrtqc", "set", "Glucose", "--procedure", "cusum"},
             {"pbrtqc", "set", "Glucose", "--n", "0"},
             {"pbrtqc", "set", "Glucose", "--procedure", "ewma", "--lambda", "1.5"},
             {"pbrtqc", "set", "Glucose", "--limits", "110", "90"},
             {"pbrtqc", "set", "Calcium", "--n", "20"},
             {"pbrtqc", "Glucose", "--simulate", "abc"},
             {"pbrtqc", "Glucose", "--seed", "3"},
             {"pbrtqc", "Glucose", "--n", "3"},
             {"pbrtqc", "retention", "0"},
             {"pbrtqc", "Nothing"}}) {
        r = Cli(home.Path(), bad);
        EXPECT_EQ(r.status, 2) << bad.back() << ": " << r.out;
        EXPECT_FALSE(r.err.empty());
    }
    r = Cli(home.Path(), {"pbrtqc", "Glucose"});
    EXPECT_EQ(Field(r.out, "N"), "20");
    EXPECT_EQ(Field(r.out, "Procedure"), "\"ma\"");
}

TEST(CliPbrtqc, AlarmAcknowledgedWithItsAction) {
    TTempFolder home;
    const std::string file = home.File("history.txt");
    const TRegional iso{"yyyy-MM-dd", "HH:mm:ss", '.'};
    const TDateTime start = std::floor((Now() - 1) * 1440) / 1440;
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += iso.DateTimeToText(start + i / 144.0) + (i >= 20 && i < 30 ? "\t150\n" : "\t140\n");
    AtomicWriteFile(file, text);
    TRun r = Cli(home.Path(), {"--init", "pbrtqc", "import", "Glucose", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"Alarms\":[]"), std::string::npos) << "no procedure yet: " << r.out;
    r = Cli(home.Path(), {"pbrtqc", "set", "Glucose", "--n", "5", "--limits", "138", "142"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Results loaded later are judged as they come: the import names the alarm they raise.
    std::string later;
    for (int i = 40; i < 50; ++i) later += iso.DateTimeToText(start + i / 144.0) + "\t150\n";
    AtomicWriteFile(file, later);
    r = Cli(home.Path(), {"pbrtqc", "import", "Glucose", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"Alarms\":[\""), std::string::npos) << r.out;
    r = Cli(home.Path(), {"pbrtqc", "Glucose"});
    const size_t at = r.out.find("\"Alarms\":[\"");
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string alarm = r.out.substr(at + 11, 19);
    EXPECT_NE(r.out.find("\"Acknowledged\":[]"), std::string::npos) << r.out;

    // Bad acknowledgements change nothing.
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"pbrtqc", "ack", "Glucose", alarm},
             {"pbrtqc", "ack", "Glucose", "yesterday", "Recalibrated"},
             {"pbrtqc", "ack", "Glucose", alarm.substr(0, 10), "Recalibrated"},
             {"pbrtqc", "ack", "Glucose", iso.DateTimeToText(start), "Recalibrated"},
             {"pbrtqc", "ack", "Glucose", alarm, " "},
             {"pbrtqc", "ack", "Glucose", alarm, "Recalibrated \xe2\x9c\x93"}}) {
        r = Cli(home.Path(), bad);
        EXPECT_NE(r.status, 0) << bad.back();
        EXPECT_FALSE(r.err.empty()) << bad.back();
    }
    r = Cli(home.Path(),
            {"pbrtqc", "ack", "Glucose", alarm, "Recalibrated, patients re-run", "--operator", "KM"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Cli(home.Path(), {"pbrtqc", "ack", "Glucose", alarm, "Again"}).status, 0);
    r = Cli(home.Path(), {"pbrtqc", "Glucose"});
    EXPECT_NE(r.out.find("\"Alarms\":[\"" + alarm + "\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Acknowledged\":[{\"Alarm\":\"" + alarm +
                         "\",\"Action\":\"Recalibrated, patients re-run\",\"Operator\":\"KM\",\"Time\":\""),
              std::string::npos)
        << r.out;
}

// The inbox's patient results reach an analyte's stream once the companion has mapped their source
// and test code, with no identity kept, and stop once it has unmapped them.
TEST(CliPbrtqc, InboxPatientResultsFeedTheStreamTheCompanionMapped) {
    TTempFolder home;
    const std::string inbox = home.Path() + "in/";
    std::filesystem::create_directories(inbox + "chem");
    ASSERT_EQ(Cli(home.Path(), {"--init", "inbox", "set", "--folder", inbox}).status, 0);
    const std::string day = TRegional{"yyyyMMdd", "HHmmss", '.'}.DateToText(Today() - 1);
    auto message = [&](const std::string& id, const std::string& hour,
                       const std::vector<const char*>& values) {
        std::string m = "MSH|^~\\&|CHEM|LAB|||" + day + hour + "0000||ORU^R01|" + id +
                        "|P|2.5\r"
                        "PID|1||PAT4711^^^HOSP||DOE^JANE||19700101|F\r"
                        "OBR|1|ORD2323|SMP0815|GLU|||" +
                        day + hour + "0000\r";
        for (size_t k = 0; k < values.size(); ++k)
            m += "OBX|" + std::to_string(k + 1) + "|NM|GLU||" + values[k] + "|mmol/L|||||F|||" + day + hour +
                 std::to_string(10 + k) + "00||||AN-7\r";
        return m;
    };
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"pbrtqc", "map", "chem", "GLU"},
                                               {"pbrtqc", "map", "chem", "GLU", "Nothing"},
                                               {"pbrtqc", "map", "", "GLU", "Glucose"},
                                               {"pbrtqc", "unmap", "chem", "GLU"}}) {
        const TRun r = Cli(home.Path(), bad);
        EXPECT_NE(r.status, 0) << bad.back() << ": " << r.out;
        EXPECT_FALSE(r.err.empty()) << bad.back();
    }
    TRun r = Cli(home.Path(), {"pbrtqc", "map", "chem", "GLU", "Glucose"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"Streams\":[{\"Source\":\"chem\",\"Code\":\"GLU\"}]"), std::string::npos) << r.out;

    AtomicWriteFile(inbox + "chem/a.hl7", message("M1", "08", {"5.1", "5.3", "<0.5", "5.2"}));
    r = Cli(home.Path(), {"inbox", "--once"});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(Cli(home.Path(), {"pbrtqc", "set", "Glucose", "--n", "2", "--limits", "4", "7"}).status, 0);
    r = Cli(home.Path(), {"pbrtqc", "Glucose"});
    EXPECT_EQ(Field(r.out, "Results"), "3") << r.out;
    EXPECT_EQ(Field(r.out, "Censored"), "1") << r.out;
    EXPECT_NE(r.out.find("{\"Source\":\"chem\",\"Code\":\"GLU\"}"), std::string::npos) << r.out;

    r = Cli(home.Path(), {"pbrtqc", "unmap", "chem", "GLU"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Field(r.out, "Analyte"), "\"Glucose\"");
    AtomicWriteFile(inbox + "chem/b.hl7", message("M2", "09", {"5.0", "5.4"}));
    ASSERT_EQ(Cli(home.Path(), {"inbox", "--once"}).status, 0);
    r = Cli(home.Path(), {"pbrtqc", "Glucose"});
    EXPECT_EQ(Field(r.out, "Results"), "3") << "results kept, none added: " << r.out;
    EXPECT_NE(r.out.find("\"Streams\":[]"), std::string::npos) << r.out;

    // Nothing of the patients' identities in the program folder.
    for (const auto& e : std::filesystem::recursive_directory_iterator(home.Path())) {
        if (!e.is_regular_file() || e.path().string().rfind(inbox, 0) == 0) continue;
        const std::string bytes = ReadWholeFile(e.path().string());
        for (const char* id : {"DOE", "PAT4711", "SMP0815", "ORD2323"})
            EXPECT_EQ(bytes.find(id), std::string::npos) << id << " in " << e.path();
    }
}

} // namespace
