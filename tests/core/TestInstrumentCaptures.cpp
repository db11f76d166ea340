// Captures of real analysers, read with the options a laboratory would set for them.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "UInstrument.h"

namespace {

std::string Capture(const std::string& name) {
    std::ifstream f(std::string(VARNHOLT_TEST_DATA) + "/captures/" + name, std::ios::binary);
    EXPECT_TRUE(f) << name;
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

struct TCapture {
    const char* file;
    const char* source; // TInstrumentSource text
    size_t results;
    // code|control|value|limits of the first and the last result
    std::string first, last;
    int skipped;
};

std::string Brief(const TInstrumentResult& r) {
    std::ostringstream s;
    s << r.TestCode << '|' << r.Control << '|' << r.Value << '|' << r.AnalyserLimits;
    return s.str();
}

} // namespace

TEST(InstrumentCaptures, RealAnalysersGiveTheirControlResults) {
    const TCapture cases[] = {
        {"haematology-astm/h500_qc.astm", "", 21, "MCV|PX440N|90.6|range 84.0 - 94.0^REFERENCE_RANGE",
         "EOS%|PX440N|5|range 0.3 - 7.1^REFERENCE_RANGE", 0},
        // QC is marked where the reader does not look: the laboratory says so in the source's options.
        {"haematology-hl7/hemoscreen_qc.hl7", "hl7.control=PID-2\nqc.all=yes", 20,
         "WBC|PIX240205N|11|range 5.9-9.3", "BAS%|PIX240205N|1.2|range 0-1", 0},
        // Without them every result is left out, and counted.
        {"haematology-hl7/hemoscreen_qc.hl7", "", 0, "", "", 20},
    };
    for (const TCapture& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.source);
        TInstrumentBatch b = ReadInstrumentFile(Capture(c.file), TInstrumentSource::FromText(c.source));
        EXPECT_TRUE(b.Faults.empty()) << (b.Faults.empty() ? "" : FaultText(b.Faults[0]));
        ASSERT_EQ(b.Results.size(), c.results);
        EXPECT_EQ(b.Skipped, c.skipped);
        if (c.results == 0) continue;
        EXPECT_EQ(Brief(b.Results.front()), c.first);
        EXPECT_EQ(Brief(b.Results.back()), c.last);
    }
}
