// Results from the instruments: format detection, reading options as text, fingerprints, runs.
#include <gtest/gtest.h>

#include "UInstrument.h"

TEST(Instrument, DetectsTheFormatByContent) {
    using F = TInstrumentFormat;
    const std::pair<std::string, F> known[] = {
        {"\r\nH|\\^&|||A\rL|1\r", F::Astm},
        {"\x05\x02"
         "1H|\\^&\r\x03"
         "00\r\n",
         F::Astm},
        {"\xEF\xBB\xBFMSH|^~\\&|A\r", F::Hl7},
        {"\x0BMSH|^~\\&|A\r\x1C\r", F::Hl7},
        {"BHS|^~\\&\rMSH|^~\\&|A\r", F::Hl7},
        {"Test;Value;Date\r\n", F::Delimited},
        {"GLU\t5.1\t2024-03-01\n", F::Delimited},
        {std::string("\xFF\xFEH\0|\0\\\0^\0&\0", 12), F::Astm},
        {"Hb,Result,Date\n", F::Delimited}, // an H without delimiters is a column name
    };
    for (const auto& [text, format] : known) EXPECT_EQ(DetectInstrumentFormat(text), format) << text;

    EXPECT_THROW(DetectInstrumentFormat("\r\n \r\n"), ETruncatedFile);
    const std::pair<const char*, const char*> refused[] = {
        {"R|1|^^^GLU|5.1\rL|1\r", "ASTM message"},
        {"OBX|1|NM|GLU||5.1\r", "HL7 message"},
        {"just some words\n", "Unknown format"},
        {"%PDF-1.4\n", "Unknown format"},
    };
    for (const auto& [text, words] : refused) {
        try {
            DetectInstrumentFormat(text);
            ADD_FAILURE() << text;
        } catch (const ETruncatedFile&) {
            ADD_FAILURE() << text;
        } catch (const EQcError& e) {
            EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
        }
    }
}

TEST(Instrument, ReadingOptionsSurviveTheirText) {
    TInstrumentSource s;
    s.Id = "Chemistry bench";
    s.Encoding = "windows-1252";
    s.Separator = '\t';
    s.HeaderLine = false;
    s.Columns = {"1", "2", "Lot no.", "4", "5", "6", "7", "8"};
    s.DecimalMark = ',';
    s.DateFormat = "dd.MM.yyyy";
    s.AstmControlField = "P-3.2";
    s.AstmLevelField = "O-3.2";
    s.Hl7ControlField = "SPM-2.1.1";
    s.Hl7LevelField = "OBX-4";
    s.ControlPrefixes = {"QC", "CTRL"};
    s.AllResultsAreQc = true;
    EXPECT_EQ(TInstrumentSource::FromText(s.ToText()), s);
    EXPECT_EQ(TInstrumentSource::FromText(TInstrumentSource().ToText()), TInstrumentSource());
    // A line end in a value cannot forge another key.
    s.Id = "A\nqc.all=no";
    EXPECT_TRUE(TInstrumentSource::FromText(s.ToText()).AllResultsAreQc);
    // Keys of a later version are left alone; bad values are refused.
    EXPECT_EQ(TInstrumentSource::FromText("later.key=1\nid=X\n").Id, "X");
    for (const char* bad :
         {"separator=pipe", "decimal=;", "header=maybe", "encoding=latin9", "astm.control=3",
          "hl7.control=OBX-0", "hl7.level=OBX-3.x", "dateformat=HH:mm", "qc.all=1"})
        EXPECT_THROW(TInstrumentSource::FromText(bad), EQcError) << bad;
    // A field reference naming no ASTM record is refused when a file is read.
    EXPECT_THROW(ReadInstrumentFile("H|\\^&\rL|1\r", TInstrumentSource::FromText("astm.control=OBR-3")),
                 EQcError);
}

TEST(Instrument, MappingThatDoesNotFitTheFileIsRefused) {
    const std::string csv = "Test;Value;Date\nGLU;5.1;2024-03-01\n";
    const std::pair<const char*, const char*> cases[] = {
        {"column.test=Test\ncolumn.date=Date", "no column for the value"},
        {"column.test=Test\ncolumn.value=Result\ncolumn.date=Date", "no column \"Result\""},
        {"header=no\ncolumn.test=Test\ncolumn.value=2\ncolumn.date=3", "no header line"},
        {"column.test=0\ncolumn.value=2\ncolumn.date=3", "not a column number"},
        {"separator=tab\ncolumn.test=Test\ncolumn.value=Value\ncolumn.date=Date", "no column \"Test\""},
    };
    for (const auto& [options, words] : cases) {
        try {
            ReadInstrumentFile(csv, TInstrumentSource::FromText(options));
            ADD_FAILURE() << options;
        } catch (const EQcError& e) {
            EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
        }
    }
    TInstrumentBatch b =
        ReadInstrumentFile(csv, TInstrumentSource::FromText("column.test=1\ncolumn.value=2\ncolumn.date=3"));
    ASSERT_EQ(b.Results.size(), 1u);
    EXPECT_EQ(b.Results[0].DateTime, EncodeDate(2024, 3, 1));
}

// The same message with other line ends or framing is another file but the same results.
TEST(Instrument, FingerprintsTellFilesAndResultsApart) {
    TInstrumentSource qc;
    qc.AllResultsAreQc = true;
    const std::string cr = "MSH|^~\\&|A||||||ORU^R01|M1\rOBR|1\rOBX|1|NM|GLU||5.1|||||||||20240301\r";
    std::string crlf;
    for (char c : cr) crlf += c == '\r' ? std::string("\r\n") : std::string(1, c);
    const std::string mllp = "\x0B" + cr + "\x1C\r";
    TInstrumentBatch a = ReadInstrumentFile(cr, qc), b = ReadInstrumentFile(crlf, qc),
                     c = ReadInstrumentFile(mllp, qc);
    ASSERT_EQ(a.Results.size(), 1u);
    ASSERT_EQ(b.Results.size(), 1u);
    ASSERT_EQ(c.Results.size(), 1u);
    EXPECT_EQ(a.MessageIds, std::vector<std::string>{"M1"});
    EXPECT_EQ(ReadInstrumentFile(cr, qc).Fingerprint, a.Fingerprint);
    EXPECT_NE(a.Fingerprint, b.Fingerprint);
    EXPECT_NE(a.Fingerprint, c.Fingerprint);
    EXPECT_EQ(ResultKey(a.Results[0]), ResultKey(b.Results[0]));
    EXPECT_EQ(ResultKey(a.Results[0]), ResultKey(c.Results[0]));
    // Another message id, value or source is another result.
    TInstrumentResult r = a.Results[0];
    for (auto change : {+[](TInstrumentResult& x) { x.MessageId = "M2"; },
                        +[](TInstrumentResult& x) { x.ValueText = "5.10"; },
                        +[](TInstrumentResult& x) { x.Source = "B"; }}) {
        TInstrumentResult other = r;
        change(other);
        EXPECT_NE(ResultKey(other), ResultKey(r));
    }
    // The published FNV-1a 64 values, so that stored fingerprints stay valid.
    EXPECT_EQ(Fnv1a64(""), 0xcbf29ce484222325ULL);
    EXPECT_EQ(Fnv1a64("a"), 0xaf63dc4c8601ec8cULL);
    EXPECT_EQ(Fnv1a64("foobar"), 0x85944171f73967e8ULL);
}

namespace {

TInstrumentResult At(const char* source, const char* code, int minute, double value, int level = 0,
                     const char* op = "") {
    TInstrumentResult r;
    r.Source = source;
    r.TestCode = code;
    r.Control = code;
    r.Level = level;
    r.Value = value;
    r.DateTime = EncodeDate(2024, 3, 5) + EncodeTime(8, 0, 0) + minute / 1440.0;
    r.Operator = op;
    r.Line = minute + 1;
    return r;
}

} // namespace

TEST(Instrument, GroupsResultsIntoRuns) {
    // GLU1/GLU2/GLU3: levels of glucose (2 levels); UREA: level from the file; OTHER: not mapped.
    TResultMapper mapper = [](const TInstrumentResult& r) -> std::optional<TMappedResult> {
        if (r.TestCode.starts_with("GLU")) return TMappedResult{"Glucose", r.TestCode.back() - '0', 2};
        if (r.TestCode == "UREA") return TMappedResult{"Urea", 0, 3};
        return std::nullopt;
    };
    std::vector<TInstrumentResult> in = {
        At("A", "GLU2", 4, 15.1, 0, "OP1"),
        At("A", "GLU1", 0, 5.4),
        At("A", "GLU1", 7, 5.5),  // a level already in the run: the next run
        At("A", "GLU1", 18, 5.6), // more than 10 minutes after the run began
        At("B", "GLU1", 1, 5.3),  // another source, another run
        At("A", "GLU3", 2, 9.9),  // glucose has no level 3
        At("A", "UREA", 3, 6.0, 3),
        At("A", "UREA", 5, 6.1, 0), // the file gives no level
        At("A", "OTHER", 3, 1.0),
    };
    TRunGrouping g = GroupInstrumentRuns(in, mapper);
    struct TRun {
        const char* analyte;
        const char* source;
        int minute;
        std::vector<size_t> results;
        float l1, l2, l3; // 0 for an empty level
        const char* op;
    };
    const TRun expected[] = {
        {"Glucose", "A", 0, {1, 0}, 5.4f, 15.1f, 0, "OP1"},
        {"Glucose", "B", 1, {4}, 5.3f, 0, 0, ""},
        {"Urea", "A", 3, {6}, 0, 0, 6.0f, ""},
        {"Glucose", "A", 7, {2}, 5.5f, 0, 0, ""},
        {"Glucose", "A", 18, {3}, 5.6f, 0, 0, ""},
    };
    ASSERT_EQ(g.Runs.size(), std::size(expected));
    for (size_t k = 0; k < g.Runs.size(); ++k) {
        SCOPED_TRACE(k);
        const TInstrumentRun& run = g.Runs[k];
        const TRun& e = expected[k];
        EXPECT_EQ(run.Run.AnalyteName, e.analyte);
        EXPECT_EQ(run.Source, e.source);
        EXPECT_EQ(run.Run.DateTime, in[e.results[0]].DateTime);
        EXPECT_EQ(run.Results, e.results);
        const float levels[] = {e.l1, e.l2, e.l3};
        for (size_t l = 0; l < 3; ++l) {
            EXPECT_EQ(run.Run.Levels[l].State, levels[l] == 0 ? psEmpty : psInControl);
            EXPECT_EQ(run.Run.Levels[l].Value, levels[l]);
        }
        EXPECT_EQ(run.Run.Operator, e.op);
    }
    EXPECT_EQ(g.NotMapped, std::vector<size_t>{8});
    ASSERT_EQ(g.Faults.size(), 2u);
    EXPECT_EQ(FaultText(g.Faults[0]), "line 3: level 3: Glucose has 2 levels");
    EXPECT_EQ(FaultText(g.Faults[1]), "line 6: no level given for Urea");

    // Exactly at the window's end is still within it; a wider window joins the late value.
    std::vector<TInstrumentResult> edge = {At("A", "GLU1", 0, 1), At("A", "GLU2", 10, 2),
                                           At("A", "GLU2", 20, 3)};
    EXPECT_EQ(GroupInstrumentRuns(edge, mapper).Runs.size(), 2u);
    EXPECT_EQ(GroupInstrumentRuns(edge, mapper, 30).Runs.size(), 2u); // GLU2 twice: still two runs
    EXPECT_EQ(GroupInstrumentRuns({edge[0], edge[2]}, mapper, 30).Runs.size(), 1u);
}
