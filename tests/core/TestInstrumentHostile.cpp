// Instrument files of hostile sizes: refused with the line and the cap, never their content; a large
// message read in time proportional to its size.
#include <chrono>
#include <gtest/gtest.h>
#include <string>

#include "UInstrument.h"
#include "UInstrumentText.h"

namespace {
TInstrumentSource AllQc() {
    TInstrumentSource s;
    s.Id = "S";
    s.AllResultsAreQc = true;
    return s;
}

// One ORU message of `n` observations, each padded with a comment field of `pad` bytes.
std::string Hl7(size_t n, const std::string& value = "5.1", size_t pad = 0) {
    std::string m = "MSH|^~\\&|AN|LAB|||20260301080000||ORU^R01|M1|P|2.5.1\r"
                    "OBR|1||QC-N|GLU|||20260301080000\r";
    for (size_t k = 0; k < n; ++k)
        m += "OBX|" + std::to_string(k + 1) + "|NM|GLU||" + value + "|mmol/L|||||F|||20260301080000|" +
             std::string(pad, 'x') + "\r";
    return m;
}

std::string Astm(size_t n, const std::string& value = "5.1") {
    std::string m = "H|\\^&|||AN\rP|1\rO|1|QC-N||^^^GLU|||20260301080000\r";
    for (size_t k = 0; k < n; ++k) m += "R|" + std::to_string(k + 1) + "|^^^GLU|" + value + "|mmol/L\r";
    return m + "L|1|N\r";
}

std::string Refusal(const std::string& bytes) {
    try {
        ReadInstrumentFile(bytes, AllQc());
    } catch (const ETruncatedFile&) {
        return "truncated";
    } catch (const EQcError& e) {
        return e.what();
    }
    return "";
}
} // namespace

// Past each cap the file is refused, naming the line and the cap and quoting nothing of the field;
// at the cap it is read.
TEST(InstrumentHostile, FieldsAndMessagesBeyondTheirCapsAreRefused) {
    const std::string secret = "SECRET" + std::string(instrument::MaxFieldBytes, 'x');
    struct TCase {
        std::string Bytes, Reason;
    } cases[] = {
        {Hl7(1, secret), "Line 3: a field is longer than 64 KiB"},
        {Astm(1, secret), "Line 4: a field is longer than 64 KiB"},
        {Hl7(instrument::MaxMessageResults + 1), "The message at line 1 holds more than 100000 results"},
        {Astm(instrument::MaxMessageResults + 1), "The message at line 1 holds more than 100000 results"},
        {Hl7(400, "5.1", 60000) /* 24 MB of fields under the field cap */,
         "The message at line 1 is larger than 16 MB"},
    };
    for (const TCase& c : cases) {
        const std::string why = Refusal(c.Bytes);
        EXPECT_EQ(why.rfind(c.Reason, 0), 0u) << why.substr(0, 200);
        EXPECT_EQ(why.find("SECRET"), std::string::npos);
        EXPECT_LT(why.size(), 200u);
    }
    EXPECT_EQ(Refusal(Hl7(1, std::string(instrument::MaxFieldBytes - 10, '7'))).find("field"),
              std::string::npos);
    EXPECT_EQ(ReadInstrumentFile(Astm(3), AllQc()).Results.size(), 3u);
}

// 100,000 observations in one message: every one read, in about ten times the time of 10,000.
TEST(InstrumentHostile, AMessageOfManyObservationsIsReadInLinearTime) {
    auto timed = [](size_t n) {
        const std::string bytes = Hl7(n);
        const auto start = std::chrono::steady_clock::now();
        const TInstrumentBatch b = ReadInstrumentFile(bytes, AllQc());
        EXPECT_EQ(b.Results.size(), n);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const double small = timed(10000), large = timed(100000);
    EXPECT_LT(large, 30 * small + 0.05) << small << " s for 10k, " << large << " s for 100k";
}

// A file may hold MaxFileResults results, in one message or many: beyond, it is refused before it is
// held whole in memory.
TEST(InstrumentHostile, AFileOfTooManyResultsIsRefused) {
    const size_t cap = instrument::MaxFileResults;
    std::string delimited = "test;control;value;date;time\n";
    for (size_t k = 0; k <= cap; ++k) delimited += "GLU;QC-N;5.1;2026-03-01;08:00\n";
    std::string messages;
    for (size_t k = 0; k * 90000 <= cap; ++k) messages += Hl7(90000);
    TInstrumentSource delimitedSource = AllQc();
    delimitedSource.Separator = ';';
    delimitedSource.Columns = {"", "test", "control", "", "value", "date", "time", ""};
    for (const std::string& bytes : {delimited, messages}) {
        std::string why;
        try {
            ReadInstrumentFile(bytes, bytes == delimited ? delimitedSource : AllQc());
        } catch (const EQcError& e) {
            why = e.what();
        }
        EXPECT_EQ(why.rfind("The file holds more than 250000 results", 0), 0u) << why;
    }
    delimited.resize(delimited.size() - std::string("GLU;QC-N;5.1;2026-03-01;08:00\n").size());
    EXPECT_EQ(ReadInstrumentFile(delimited, delimitedSource).Results.size(), cap);
}
