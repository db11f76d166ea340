// Instrument readers on analysers' files: delimited text, ASTM and HL7, whole, damaged and split.
#include <cstdio>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "UInstrument.h"
#include "UInstrumentAstm.h"
#include "UInstrumentHl7.h"

namespace {

std::string Fixture(const std::string& name) {
    std::ifstream f(std::string(VARNHOLT_TEST_DATA) + "/instrument/" + name, std::ios::binary);
    EXPECT_TRUE(f) << name;
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// test|control|level|value text|value|yyyy-MM-dd HH:mm:ss|operator|instrument|comment|message
std::string Describe(const TInstrumentResult& r) {
    TRegional iso{"yyyy-MM-dd", "HH:mm:ss", '.'};
    std::ostringstream s;
    s << r.TestCode << '|' << r.Control << '|' << r.Level << '|' << r.ValueText << '|' << r.Value << '|'
      << iso.DateTimeToText(r.DateTime) << '|' << r.Operator << '|' << r.Instrument << '|' << r.Comment << '|'
      << r.MessageId;
    return s.str();
}

const char* const SemicolonSource =
    "id=MW\nseparator=semicolon\ncolumn.instrument=Instrument\ncolumn.test=test\n"
    "column.control=Lot\ncolumn.level=LEVEL\ncolumn.value=Result\ncolumn.date=Date\n"
    "column.time=Time\ncolumn.operator=Operator\ndecimal=,\ndateformat=dd.MM.yyyy\n";
const char* const TabSource = "id=AN\nheader=no\ncolumn.instrument=1\ncolumn.test=2\ncolumn.control=3\n"
                              "column.level=4\ncolumn.value=5\ncolumn.date=6\ncolumn.operator=7\n";

struct TFileCase {
    const char* file;
    const char* source; // TInstrumentSource text
    TInstrumentFormat format;
    std::vector<std::string> results; // Describe of each result
    std::vector<int> faultLines;
    int skipped;
};

} // namespace

TEST(InstrumentReaders, AnalysersFilesGiveTheirQcResults) {
    using F = TInstrumentFormat;
    const TFileCase cases[] = {
        {"astm_chemistry_crlf.astm",
         "id=CX",
         F::Astm,
         {"GLU|QC-N^LOT4471|0|5.43|5.43|2024-03-05 08:12:00|OPR1|CX-4000|Lot changed | new vial^rack "
          "2|MSG-0305-01",
          // No completion time: the start time.
          "CREA|QC-N^LOT4471|0|88.2|88.2|2024-03-05 08:12:15|OPR1|CX-4000||MSG-0305-01",
          "GLU|QC-P^LOT4472|0|15.1|15.1|2024-03-05 08:13:00|OPR1|CX-4000||MSG-0305-01"},
         {9}, // a test that could not be done has no value; the patient order is skipped
         1},
        // Other delimiters, QC by the header's processing id, level from O-3.2, repeats, Windows-1252.
        {"astm_hematology_lf.astm",
         "astm.level=O-3.2",
         F::Astm,
         {"WBC|HEMA-CTRL^2^LOT2231|2|7.85|7.85|2024-03-06 13:59:12|M\xfcller|HEMA-5D||",
          "RBC|HEMA-CTRL^2^LOT2231|2|4.61|4.61|2024-03-06 13:59:12|M\xfcller|HEMA-5D||"},
         {6, 7},
         0},
        // Low-level frames: a record over two frames, a frame sent twice counts once.
        {"astm_framed.astm",
         "",
         F::Astm,
         {"TSH|QC-TSH-L1|0|0.52|0.52|2024-03-07 10:05:00|LAB7|IMMUNO-2||",
          "TSH|QC-TSH-L2|0|5.87|5.87|2024-03-07 10:06:00|LAB7|IMMUNO-2||"},
         {},
         0},
        // A damaged frame never resent: its message gives nothing.
        {"astm_framed_badchecksum.astm", "", F::Astm, {}, {5}, 0},
        // MLLP, SPM-11 "Q", lot from INV-16, UTF-8; a specimen observation and a patient message are not
        // results.
        {"hl7_oul_r22_mllp.hl7",
         "",
         F::Hl7,
         {"GLU|LOT-778|0|5.43|5.43|2024-03-05 09:12:00|JK|AX-01||MSG00017",
          // No OBX-14: the analysis time OBX-19.
          "CREA|LOT-778|0|88.2|88.2|2024-03-05 09:12:30|JK|AX-01|Checked by J\xfcrgen|MSG00017"},
         {11}, // a decimal comma is not an HL7 number
         1},
        // Escapes, repeats, structured numerics, OBR-7 for a missing OBX-14, control chosen by prefix.
        {"hl7_oru_r01_crlf.hl7",
         "qc.prefixes=qc",
         F::Hl7,
         {"NA|QC-LOT88|0|140.2|140.2|2024-03-08 11:55:00|OP|9|CHEM-8|Vial ^2 & rack~A \\ note  "
          "forged|C8-5501",
          "K|QC-LOT88|0|4.15|4.15|2024-03-08 11:56:12||CHEM-8||C8-5501"},
         {7, 8},
         1},
        // Windows-1252 by MSH-18, LF, control in SPM-2 after the results.
        {"hl7_oru_r01_cp1252_lf.hl7",
         "hl7.control=SPM-2.1.1",
         F::Hl7,
         {"PT|CTRL-PT-N|0|12.4|12.4|2024-03-09 06:55:10|M\xfcller|COAG-1||COAG-77"},
         {},
         0},
        // Quoted separators, decimal comma, fraction of a second, blank line skipped.
        {"delimited_semicolon_crlf.csv",
         SemicolonSource,
         F::Delimited,
         {"GLU|LOT;4471|1|5,43|5.43|2024-03-05 08:12:00|M\xfcller|CX-4000||",
          "GLU|LOT;4472|2|15,1|15.1|2024-03-05 08:13:00|M\xfcller|CX-4000||",
          "CREA|LOT;4471|1|88,2|88.2|2024-03-05 08:12:15||CX-4000||"},
         {5, 6, 8},
         0},
        // No header, columns by number, date and time in one column, UTF-8, a quoted quote.
        {"delimited_tab_lf.txt",
         TabSource,
         F::Delimited,
         {"HBA1C|HB-CTRL-1|0|5.6|5.6|2024-03-10 09:00:00|J\xfcrgen|AN-2||",
          "HBA1C|HB-CTRL-2|0|10.2|10.2|2024-03-10 09:01:00|Jo \"JJ\" N|AN-2||",
          "HBA1C|HB-CTRL-1|0|5.7|5.7|2024-03-10 00:00:00||AN-2||"},
         {4},
         0},
    };
    for (const TFileCase& c : cases) {
        SCOPED_TRACE(c.file);
        TInstrumentSource source = TInstrumentSource::FromText(c.source);
        const std::string bytes = Fixture(c.file);
        TInstrumentBatch b = ReadInstrumentFile(bytes, source);
        EXPECT_EQ(b.Format, c.format);
        std::vector<std::string> got;
        for (const TInstrumentResult& r : b.Results) {
            got.push_back(Describe(r));
            EXPECT_EQ(r.Source, source.Id);
        }
        EXPECT_EQ(got, c.results);
        std::vector<int> lines;
        for (const TInstrumentFault& f : b.Faults) lines.push_back(f.Line);
        EXPECT_EQ(lines, c.faultLines);
        EXPECT_EQ(b.Skipped, c.skipped);
        EXPECT_EQ(b.Fingerprint, InstrumentFingerprint(bytes, b.MessageIds));
    }
}

TEST(InstrumentReaders, FaultsNameTheProblemInPlainWords) {
    TInstrumentBatch b = ReadInstrumentFile(Fixture("delimited_semicolon_crlf.csv"),
                                            TInstrumentSource::FromText(SemicolonSource));
    ASSERT_EQ(b.Faults.size(), 3u);
    EXPECT_EQ(FaultText(b.Faults[0]), "line 5: value \"<10\" is not a number");
    EXPECT_EQ(FaultText(b.Faults[1]), "line 6: date \"31.02.2024\" cannot be read as dd.MM.yyyy");
    EXPECT_EQ(FaultText(b.Faults[2]), "line 8: the line has 7 fields; the mapping reads field 8");
    b = ReadInstrumentFile(Fixture("astm_framed_badchecksum.astm"), {});
    ASSERT_EQ(b.Faults.size(), 1u);
    EXPECT_EQ(b.Faults[0].Reason, "frame 3 has checksum \"00\", its text gives D0; its message is left out");
}

TEST(InstrumentReaders, ValuesAreNumbersOrFaults) {
    const std::pair<const char*, const char*> cases[] = {
        {"5.43", "5.43"},
        {" -0.5 ", "-0.5"},
        {"1.5e2", "150"},
        {"<0.5", "value \"<0.5\" is not a number"},
        {"5,4", "value \"5,4\" is not a number"},
        {"nan", "value \"nan\" is not a number"},
        {"", "no value"},
        {"1e39", "value \"1e39\" is out of range"},
        {"5e99999999999999999999", "value \"5e99999999999999999999\" is out of range"},
    };
    TInstrumentSource qc;
    qc.AllResultsAreQc = true;
    for (const auto& [text, expected] : cases) {
        TInstrumentBatch b =
            ReadAstmText(std::string("H|\\^&\rO|1\rR|1|^^^GLU|") + text + "||||||||20240301\rL|1\r", qc);
        std::ostringstream got;
        if (!b.Results.empty()) got << b.Results[0].Value;
        for (const TInstrumentFault& f : b.Faults) got << f.Reason;
        EXPECT_EQ(got.str(), expected) << text;
    }
}

// A message cut between two files: the first waits, the second cannot stand alone, both together read
// as the whole message did.
TEST(InstrumentReaders, MessageSplitAcrossFiles) {
    struct TSplit {
        const char* first;
        const char* second;
        const char* whole;
        size_t wholeResults;
    };
    const TSplit cases[] = {
        {"astm_split_1.astm", "astm_split_2.astm", "astm_chemistry_crlf.astm", 3},
        {"hl7_split_1.hl7", "hl7_split_2.hl7", "hl7_oul_r22_mllp.hl7", 2},
    };
    for (const TSplit& c : cases) {
        SCOPED_TRACE(c.first);
        TInstrumentSource source;
        EXPECT_THROW(ReadInstrumentFile(Fixture(c.first), source), ETruncatedFile);
        try {
            ReadInstrumentFile(Fixture(c.second), source);
            ADD_FAILURE() << "the second half was read";
        } catch (const ETruncatedFile&) {
            ADD_FAILURE() << "the second half was taken as truncated";
        } catch (const EQcError& e) {
            EXPECT_NE(std::string(e.what()).find("split across files"), std::string::npos) << e.what();
        }
        TInstrumentBatch joined = ReadInstrumentFile(Fixture(c.first) + Fixture(c.second), source);
        TInstrumentBatch whole = ReadInstrumentFile(Fixture(c.whole), source);
        ASSERT_EQ(joined.Results.size(), std::min(c.wholeResults, whole.Results.size()));
        for (size_t k = 0; k < joined.Results.size(); ++k)
            EXPECT_EQ(ResultKey(joined.Results[k]), ResultKey(whole.Results[k]));
    }
    // Delimited text whose last line stops short without a line end is still being written.
    EXPECT_THROW(
        ReadInstrumentFile(Fixture("delimited_tab_partial.txt"), TInstrumentSource::FromText(TabSource)),
        ETruncatedFile);
}

TEST(InstrumentReaders, DamagedMessagesGiveNoResult) {
    TInstrumentSource qc;
    qc.AllResultsAreQc = true;
    const std::string h = "H|\\^&|||A\r", o = "O|1|QC1||^^^GLU\r",
                      r = "R|1|^^^GLU|5.1||||||||20240301080000\r";
    struct TCase {
        const char* name;
        std::string text;
        size_t results;
        std::vector<int> faultLines;
    };
    const TCase cases[] = {
        {"no terminator before the next header", h + o + r + h + o + r + "L|1|N\r", 1, {1}},
        {"terminator says aborted", h + o + r + "L|1|T\r", 0, {4}},
        {"record after the terminator", h + o + r + "L|1|N\r" + r, 1, {5}},
        {"result before any order", h + r + "L|1\r", 0, {2}},
        {"header without delimiters", "H|\\\r" + o + r + "L|1\r" + h + o + r + "L|1\r", 1, {1}},
        {"HL7 segment that is not one",
         "MSH|^~\\&|A||||||ORU^R01|1\rOBR|1\rOBX|1|NM|GLU||5.1|||||||||20240301\r\x01z\r",
         0,
         {4}},
        {"MLLP block without its own header",
         "\x0BMSH|^~\\&|A||||||ORU^R01|1\rOBR|1\rOBX|1|NM|GLU||5.1|||||||||20240301\r\x1C\r"
         "\x0BOBX|2|NM|GLU||5.2|||||||||20240301\r\x1C\r",
         1,
         {5}},
        {"HL7 text outside the MLLP blocks",
         "\x0BMSH|^~\\&|A||||||ORU^R01|1\rOBR|1\rOBX|1|NM|GLU||5.1|||||||||20240301\r\x1C\rOBX|2\r",
         1,
         {5}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TInstrumentBatch b = ReadInstrumentFile(c.text, qc);
        EXPECT_EQ(b.Results.size(), c.results);
        std::vector<int> lines;
        for (const TInstrumentFault& f : b.Faults) lines.push_back(f.Line);
        EXPECT_EQ(lines, c.faultLines);
    }
    // HL7 without MLLP must end its last segment: a file cut mid-segment waits.
    EXPECT_THROW(ReadHl7Text("MSH|^~\\&|A||||||ORU^R01|1\rOBR|1\rOBX|1|NM|GLU||5.", qc), ETruncatedFile);
    // A framed message without its terminator: a fault once the sender closed the session, else it waits.
    std::string framed = Fixture("astm_framed.astm");
    framed.erase(framed.find("\x02"
                             "0L|1|N"),
                 std::string_view("\x02"
                                  "0L|1|N\r\x03"
                                  "03\r\n")
                     .size());
    TInstrumentBatch closed = ReadAstmText(framed, {});
    EXPECT_TRUE(closed.Results.empty());
    ASSERT_EQ(closed.Faults.size(), 1u);
    EXPECT_EQ(closed.Faults[0].Line, 1);
    EXPECT_THROW(ReadAstmText(framed.substr(0, framed.size() - 1), {}), ETruncatedFile);
    // A frame cut short at the end of the file waits as well.
    EXPECT_THROW(ReadAstmText("\x05\x02"
                              "1H|\\^&\r\x03",
                              qc),
                 ETruncatedFile);
}

// Escaped line ends and raw control characters must not forge a line in any text the results keep.
TEST(InstrumentReaders, NoFieldHoldsAControlCharacter) {
    TInstrumentSource qc;
    qc.AllResultsAreQc = true;
    const std::pair<std::string, std::string> cases[] = {
        {"H|\\^&|||A&X0D0A&B\rO|1|Q\x01"
         "C\rR|1|^^^G&X0A&LU|5|||||||Op\x1b|20240301\rC|1||x&X0D&y\rL|1\r",
         "G LU"},
        {"MSH|^~\\&|A\\X0D\\B||||||ORU^R01|1\rOBR|1|Q\\X0A\\C\rOBX|1|NM|G\\X0D0A\\LU||5|||||||||20240301||"
         "O\x7fp\r"
         "NTE|||line\\.br\\next\\X09\\tab\r",
         "G  LU"},
    };
    for (const auto& [text, code] : cases) {
        TInstrumentBatch b = ReadInstrumentFile(text, qc);
        ASSERT_EQ(b.Results.size(), 1u) << text;
        const TInstrumentResult& r = b.Results[0];
        for (const std::string& s : {r.Instrument, r.TestCode, r.Control, r.Operator, r.Comment})
            for (char c : s) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << s;
        EXPECT_EQ(r.TestCode, code);
    }
}

TEST(InstrumentReaders, TextIsKeptAsWindows1252WhateverTheFileEncoding) {
    const TInstrumentSource tab = TInstrumentSource::FromText(TabSource);
    const std::string utf8 = Fixture("delimited_tab_lf.txt");
    // The same file as UTF-16 with a byte order mark, little and big endian.
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (size_t i = 0; i < utf8.size();) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        unsigned c = b < 0x80 ? b : ((b & 0x1F) << 6) | (utf8[i + 1] & 0x3F); // the file holds no wider ones
        i += b < 0x80 ? 1 : 2;
        le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    }
    const std::string bom = "\xEF\xBB\xBF" + utf8;
    for (const std::string& text : {utf8, le, be, bom}) {
        TInstrumentBatch b = ReadInstrumentFile(text, tab);
        ASSERT_EQ(b.Results.size(), 3u);
        EXPECT_EQ(b.Results[0].Operator, "J\xfcrgen");
        EXPECT_EQ(b.Results[0].Line, 1);
    }
    // Forced to Windows-1252, the UTF-8 bytes stay as they are.
    TInstrumentSource forced = tab;
    forced.Encoding = "windows-1252";
    EXPECT_EQ(ReadInstrumentFile(utf8, forced).Results[0].Operator, "J\xc3\xbcrgen");
}

namespace {

// One low-level frame as a sender writes it: STX, number, text, ETX or ETB, checksum, CR LF.
std::string Frame(int number, const std::string& text, bool last = true, bool breakSum = false) {
    std::string body = std::to_string(number % 8) + text + (last ? '\x03' : '\x17');
    unsigned sum = 0;
    for (char c : body) sum += static_cast<unsigned char>(c);
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", (sum + (breakSum ? 1 : 0)) & 0xFF);
    return "\x02" + body + hex + "\r\n";
}

// A message of one QC result, a frame per record numbered from 1.
std::string FramedMessage(const std::string& value, int badFrame = 0) {
    const std::string records[] = {"H|\\^&|||AN-1|||||||Q\r", "O|1|QC-1||^^^GLU\r",
                                   "R|1|^^^GLU|" + value + "||||||||20240301080000\r", "L|1|N\r"};
    std::string out;
    for (int k = 0; k < 4; ++k) out += Frame(k + 1, records[k], true, k + 1 == badFrame);
    return out;
}

} // namespace

// A serial log or a middleware's capture: frames numbered per message, session bytes, LF between frames;
// a broken frame loses its own message only.
TEST(InstrumentReaders, CapturedSessionsAsTheyCome) {
    struct TCase {
        const char* name;
        std::string bytes;
        std::vector<std::string> values;
        std::vector<int> faultLines;
    };
    const TCase cases[] = {
        {"three messages in one session",
         "\x05" + FramedMessage("5.1") + FramedMessage("5.2") + FramedMessage("5.3") + "\x04",
         {"5.1", "5.2", "5.3"},
         {}},
        {"acknowledgements logged between frames",
         "\x05\x06" + FramedMessage("5.1") + "\x06" + FramedMessage("5.2") + "\x06\x04",
         {"5.1", "5.2"},
         {}},
        {"a bad checksum in the middle message",
         "\x05" + FramedMessage("5.1") + FramedMessage("5.2", 3) + FramedMessage("5.3") + "\x04",
         {"5.1", "5.3"},
         {13}},
        {"the terminator of the first message lost",
         "\x05" + FramedMessage("5.1", 4) + FramedMessage("5.2") + "\x04",
         {"5.2"},
         {7, 1}},
        {"a frame missing mid-message",
         "\x05" + Frame(1, "H|\\^&|||AN-1|||||||Q\r") + Frame(3, "R|1|^^^GLU|5.0||||||||20240301\r") +
             Frame(4, "L|1|N\r") + FramedMessage("5.2") + "\x04",
         {"5.2"},
         {3}},
        {"a frame sent twice counts once",
         "\x05" + Frame(1, "H|\\^&|||AN-1|||||||Q\r") + FramedMessage("5.4") + "\x04",
         {"5.4"},
         {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TInstrumentBatch b = ReadInstrumentFile(c.bytes, {});
        std::vector<std::string> values;
        for (const TInstrumentResult& r : b.Results) values.push_back(r.ValueText);
        EXPECT_EQ(values, c.values);
        std::vector<int> lines;
        for (const TInstrumentFault& f : b.Faults) lines.push_back(f.Line);
        EXPECT_EQ(lines, c.faultLines);
    }
}

// Coded values, times, identifiers and the analyser's supplemental observations beside each test are
// not results; the supplemental target and SD stay with the result.
TEST(InstrumentReaders, OnlyValuesAreResults) {
    const std::string oul = "MSH|^~\\&|CHEM||||20250701191500||OUL^R22|M1|P|2.5.1\r"
                            "SPM|1||||||||||Q\r"
                            "INV|LOT-9|OK\r"
                            "OBR|1||||||20250701191426\r"
                            "OBX|0|NM|GLU^Glucose||5.43|mmol/L|||||F\r"
                            "OBX|1|CE|GLU-FLAG^Flag|||||||F\r"
                            "OBX|2|DTM|PIPT^Pipetting time||20250701191426||||||F\r"
                            "OBX|3|EI|CALID^Calibration||CAL-77||||||F\r"
                            "OBX|4|NM|QC_TARGET^Target^IHELAW^^Other Supplemental||5.40|mmol/L|||||F\r"
                            "OBX|5|NM|QC_SD_RANGE^SD^IHELAW^^Other Supplemental||0.12|mmol/L|||||F\r"
                            "OBX|6|ST|NOTE^Note||see manual||||||F\r"
                            "OBX|7|ST|CREA^Creatinine||88.2|umol/L|||||F\r";
    TInstrumentBatch b = ReadHl7Text(oul, {});
    EXPECT_TRUE(b.Faults.empty()) << (b.Faults.empty() ? "" : b.Faults[0].Reason);
    ASSERT_EQ(b.Results.size(), 2u);
    EXPECT_EQ(b.Results[0].TestCode, "GLU");
    EXPECT_EQ(b.Results[0].AnalyserLimits, "target 5.40, SD 0.12");
    EXPECT_EQ(b.Results[1].TestCode, "CREA");
    EXPECT_EQ(b.Results[1].Value, 88.2);
    // ASTM: the reference range of the result record.
    TInstrumentBatch a = ReadAstmText("H|\\^&|||A|||||||Q\rO|1|QC1\rR|1|^^^GLU|5.1|mmol/L|4.9^5.3|N||||||"
                                      "20240301\rL|1\r",
                                      {});
    ASSERT_EQ(a.Results.size(), 1u);
    EXPECT_EQ(a.Results[0].AnalyserLimits, "range 4.9^5.3");
}

// What the laboratory mapped is QC whatever the message says; what is left out is counted and
// explained, never kept.
TEST(InstrumentReaders, MappedControlsAreQcAndTheRestIsExplained) {
    const std::string astm = "H|\\^&|||A|||||||P\rO|1|QC-N||^^^GLU\rR|1|^^^GLU|5.1||||||||20240301\r"
                             "O|2|S-1234||^^^GLU\rR|1|^^^GLU|7.9||||||||20240301\r"
                             "O|3|||^^^GLU\rR|1|^^^GLU|6.0||||||||20240301\rL|1\r";
    const TQcMapping mapped = [](const TInstrumentResult& r) {
        return r.TestCode == "GLU" && r.Control == "QC-N";
    };
    TInstrumentBatch b = ReadAstmText(astm, {}, mapped);
    ASSERT_EQ(b.Results.size(), 1u);
    EXPECT_EQ(b.Results[0].Value, 5.1);
    EXPECT_EQ(b.Skipped, 2);
    EXPECT_EQ(b.SkippedWithoutControl, 1);
    EXPECT_EQ(SkippedText(b),
              "1 result has no control identification: patient result? set the source's control field\n"
              "1 result is not marked as QC and its control is not mapped: patient result? map its control "
              "or set the source's QC options");
    TInstrumentBatch none = ReadAstmText(astm, {});
    EXPECT_TRUE(none.Results.empty());
    EXPECT_EQ(none.Skipped, 3);
    EXPECT_EQ(SkippedText(none).substr(0, 60),
              "1 result has no control identification: patient result? set ");
    // An HL7 haematology message marking QC nowhere the reader looks: counted, and taken once mapped.
    const std::string oru = "MSH|^~\\&|HEMA||||20240301||ORU^R01|H1|P|2.5\rPID|1|LOT-55\r"
                            "OBR|1|||LQC|||20240301080000\rOBX|1|NM|WBC||7.1||||||F\r"
                            "OBX|2|NM|RBC||4.5||||||F\r";
    TInstrumentBatch h = ReadHl7Text(oru, TInstrumentSource::FromText("hl7.control=PID-2"));
    EXPECT_EQ(h.Skipped, 2);
    EXPECT_EQ(SkippedText(h),
              "2 results are not marked as QC and their controls are not mapped: patient results? map their "
              "controls or set the source's QC options");
    h = ReadHl7Text(oru, TInstrumentSource::FromText("hl7.control=PID-2"),
                    [](const TInstrumentResult& r) { return r.Control == "LOT-55" && r.TestCode == "WBC"; });
    ASSERT_EQ(h.Results.size(), 1u);
    EXPECT_EQ(h.Skipped, 1);
}
