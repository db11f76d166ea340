// Records and segments glued together without their CR read as the analyser meant them.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "UInstrument.h"

namespace {

std::string Fixture(const std::string& name) {
    std::ifstream f(std::string(VARNHOLT_TEST_DATA) + "/instrument/" + name, std::ios::binary);
    EXPECT_TRUE(f) << name;
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// The line ends between records (in MLLP files, inside the blocks) taken out; the file's last one stays.
std::string Glued(const std::string& bytes) {
    std::string out;
    const bool mllp = bytes.find('\x0B') != std::string::npos;
    bool inside = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\x0B') inside = true;
        if (c == '\x1C') inside = false;
        const bool lineEnd = c == '\r' || c == '\n';
        if (lineEnd && (mllp ? inside : bytes.find_first_not_of("\r\n", i) != std::string::npos)) continue;
        out += c;
    }
    return out;
}

std::vector<std::string> Describe(const TInstrumentBatch& b) {
    std::vector<std::string> out;
    for (const TInstrumentResult& r : b.Results)
        out.push_back(r.TestCode + "|" + r.Control + "|" + std::to_string(r.Level) + "|" + r.ValueText + "|" +
                      std::to_string(r.DateTime) + "|" + r.Operator + "|" + r.Instrument + "|" + r.Comment +
                      "|" + r.MessageId + "|" + r.AnalyserLimits);
    return out;
}

} // namespace

TEST(InstrumentGlued, RecordsWithoutTheirCrGiveWhatTheLinesGive) {
    const std::pair<const char*, const char*> cases[] = {
        {"astm_chemistry_crlf.astm", "id=CX"},
        {"astm_hematology_lf.astm", "astm.level=O-3.2"},
        {"hl7_oul_r22_mllp.hl7", ""},
        {"hl7_oru_r01_crlf.hl7", "qc.prefixes=qc"},
        {"hl7_oru_r01_cp1252_lf.hl7", "hl7.control=SPM-2.1.1"},
    };
    for (const auto& [file, options] : cases) {
        SCOPED_TRACE(file);
        const TInstrumentSource source = TInstrumentSource::FromText(options);
        const std::string bytes = Fixture(file);
        const TInstrumentBatch lines = ReadInstrumentFile(bytes, source);
        const std::string glued = Glued(bytes);
        ASSERT_LT(glued.size(), bytes.size());
        const TInstrumentBatch together = ReadInstrumentFile(glued, source);
        ASSERT_FALSE(lines.Results.empty());
        EXPECT_EQ(Describe(together), Describe(lines));
        EXPECT_EQ(together.Faults.size(), lines.Faults.size());
        EXPECT_EQ(together.Skipped, lines.Skipped);
        EXPECT_EQ(together.MessageIds, lines.MessageIds);
    }
}

// What only looks like the start of a record inside a field stays in its field: a reference range of
// "1" after the units, a date after a name ending in a record letter, segment names as values.
TEST(InstrumentGlued, FieldsThatLookLikeRecordsStayWhole) {
    const TInstrumentBatch astm = ReadInstrumentFile(
        "H|\\^&|||AN-1|||||||Q|1|20260305090000\rP|1\rO|1|QC-N||^^^GLU\r"
        "R|1|^^^GLU|5.02|mmol/L|1|N||F||OPERATOR|20260305080000|20260305080000|AN-1\rL|1|N\r",
        TInstrumentSource{});
    ASSERT_EQ(astm.Results.size(), 1u);
    EXPECT_EQ(astm.Results[0].Operator, "OPERATOR");
    EXPECT_EQ(astm.Results[0].AnalyserLimits, "range 1");
    EXPECT_TRUE(astm.Faults.empty());

    const TInstrumentBatch hl7 = ReadInstrumentFile(
        "MSH|^~\\&|AN|LAB|||20260305090000||OUL^R22|M1|P|2.5.1\rSPM|1|||QC|||||||Q\rINV|QC-N\r"
        "OBR|1|||GLU\rOBX|1|NM|GLU||5.02|mmol/L|||||F|||20260305080000||^EQU|OBX|AN-7\r",
        TInstrumentSource{});
    ASSERT_EQ(hl7.Results.size(), 1u);
    EXPECT_EQ(hl7.Results[0].Operator, "EQU");
    EXPECT_EQ(hl7.Results[0].Instrument, "AN-7");
}
