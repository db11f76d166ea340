// Exchange text reading: export then import under several regional settings, and the line rules.
#include <cmath>

#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "UImportText.h"

namespace {

const double NaN = std::nan("");

class ImportTextTest : public ::testing::Test {
protected:
    TTempFolder folder; // also resets the regional settings
};

struct TRegionalCase {
    const char* name;
    TRegional regional;
};

void ExpectRoundTrip(const TAnalyte& a) {
    TImportText parsed = ParseImportText(a.PointsAsText(), a.Decimals, a.NbLevels);
    ASSERT_EQ(parsed.Runs.size(), static_cast<size_t>(a.Count()));
    ASSERT_EQ(parsed.Shapes.size(), parsed.Runs.size());
    for (int k = 0; k < a.Count(); ++k) {
        const ControlPoint& p = a.Points[k];
        const TResu& r = parsed.Runs[k];
        EXPECT_EQ(Regional.DateTimeToText(r.DateTime), Regional.DateTimeToText(p.DateTime)) << k;
        EXPECT_NEAR(r.DateTime, p.DateTime, 1e-8) << k;
        for (int i = 0; i < MaxLevels; ++i) {
            const LevelValue& lv = p.Levels[i];
            if (i >= a.NbLevels || lv.State == psEmpty || lv.State == psDiscarded) {
                EXPECT_EQ(r.Levels[i].State, psEmpty) << k << "/" << i;
                continue;
            }
            EXPECT_EQ(r.Levels[i].State, psInControl) << k << "/" << i;
            // The value as written: rounded to the analyte's decimals.
            EXPECT_EQ(FormatFixed(r.Levels[i].Value, 8, a.Decimals), FormatFixed(lv.Value, 8, a.Decimals));
            EXPECT_NEAR(r.Levels[i].Value, lv.Value, 0.5 * std::pow(10.0, -a.Decimals) + 1e-6);
        }
        EXPECT_EQ(r.Comment, a.CommentText(p.CommentId)) << k;
        EXPECT_EQ(r.Operator, std::string(p.Operator.View())) << k;
    }
}

} // namespace

TEST_F(ImportTextTest, ExportedPointsReadBackUnderEachRegionalSetting) {
    const TRegionalCase cases[] = {
        {"day-first, comma", {"dd.MM.yyyy", "HH:mm:ss", ','}},
        {"month-first, point", {"M/d/yyyy", "h:mm:ss AP", '.'}},
        {"default", {}},
    };
    for (const TRegionalCase& c : cases) {
        SCOPED_TRACE(c.name);
        Regional = c.regional;
        TAnalyte three("Glucose", "mmol/L", 2, 3);
        three.AddPoint(
            MakeRun(EncodeDate(2024, 1, 5) + EncodeTime(8, 15, 30), {5.123, -0.5, 1234.5}, "note", "AB"));
        TResu discarded =
            MakeRun(EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 59), {5.2, 6.0, 7.0}, "", "CD");
        discarded.Levels[1].State = psDiscarded;
        three.AddPoint(discarded);
        three.AddPoint(MakeRun(EncodeDate(2025, 2, 28) + EncodeTime(0, 0, 0), {NaN, NaN, 0.004}));
        three.AddPoint(MakeRun(EncodeDate(2025, 3, 1) + EncodeTime(12, 0, 1), {99999.99, NaN, NaN}));
        ExpectRoundTrip(three);

        // Two levels: the operator code stands in the third value field, and reads as no value there.
        TAnalyte two("Calcium", "mg/L", 0, 2);
        two.AddPoint(MakeRun(EncodeDate(2023, 6, 7) + EncodeTime(13, 45, 0), {96, 102}, "x", "OPR"));
        two.AddPoint(MakeRun(EncodeDate(2023, 6, 8) + EncodeTime(7, 5, 9), {NaN, 101.4}));
        ExpectRoundTrip(two);

        TAnalyte one("Urea", "g/L", 3, 1);
        one.AddPoint(MakeRun(EncodeDate(2022, 10, 10) + EncodeTime(10, 10, 10), {0.3333}));
        ExpectRoundTrip(one);
    }
}

TEST_F(ImportTextTest, DisplayLinesFollowTheFieldsOfEachLine) {
    TImportText t = ParseImportText("01/02/2024\t08:30\t5.1\t\tDiscarded\tAB\tcomment\r\n"
                                    "02/02/2024\tlate\t6\r\n"
                                    "03/02/2024\t09:00:00\t 7.25 \t8\r\n",
                                    2);
    ASSERT_EQ(t.Runs.size(), 3u);
    EXPECT_EQ(t.Line(0), "01/02/2024\t08:30:00\t5.10\t\t\t");
    EXPECT_EQ(t.Line(1), "02/02/2024\t12:00:00\t6.00");
    EXPECT_EQ(t.Line(2), "03/02/2024\t09:00:00\t7.25\t8.00");

    EXPECT_DOUBLE_EQ(t.Runs[0].DateTime, EncodeDate(2024, 2, 1) + EncodeTime(8, 30, 0));
    EXPECT_EQ(t.Runs[0].Levels[1].State, psEmpty);
    EXPECT_EQ(t.Runs[0].Levels[2].State, psEmpty); // "Discarded" is no number
    // A wrong time sets noon; levels whose fields are missing are empty, also after a fuller line.
    EXPECT_DOUBLE_EQ(t.Runs[1].DateTime, EncodeDate(2024, 2, 2) + 0.5);
    EXPECT_EQ(t.Runs[1].Levels[1].State, psEmpty);
    EXPECT_FLOAT_EQ(t.Runs[2].Levels[1].Value, 8.0f);
    EXPECT_EQ(t.Runs[2].Levels[2].State, psEmpty);
}

TEST_F(ImportTextTest, LinesWithoutDateOrValueOrLineEndAreDropped) {
    const char text[] = "Date\tTime\tQC1\r\n"         // heading: no date
                        "05/05/2024\t10:00:00\r\n"    // no value
                        "not a date\t10:00\t5\r\n"    // no date, rest skipped
                        "06/05/2024\t10:00:00\t5\r\n" // taken
                        "\r\n"                        // empty line
                        "07/05/2024\t10:00:00\tx\ty\tz\r\n"
                        "31/02/2024\t10:00:00\t5\r\n" // no such date
                        "08/05/2024\t10:00:00\t7";    // no carriage return at the end
    TImportText t = ParseImportText(text, 1);
    ASSERT_EQ(t.Runs.size(), 1u);
    EXPECT_DOUBLE_EQ(DatePart(t.Runs[0].DateTime), EncodeDate(2024, 5, 6));

    EXPECT_TRUE(ParseImportText("", 1).Runs.empty());
    EXPECT_TRUE(ParseImportText("\t\t\r\r\r\n\n", 1).Runs.empty());
}

// A value too small for the data file is refused rather than taken as zero; a zero byte ends the text,
// and the line it cuts is said to be cut there.
TEST_F(ImportTextTest, TinyValuesAndZeroBytesAreNotTakenSilently) {
    TImportText tiny = ParseImportText("06/05/2024\t10:00\t1e-320\t0\t1e-40\r\n", 1);
    ASSERT_EQ(tiny.Runs.size(), 1u);
    EXPECT_EQ(tiny.Runs[0].Levels[0].State, psEmpty);
    EXPECT_EQ(tiny.Runs[0].Levels[1].State, psInControl);
    EXPECT_EQ(tiny.Runs[0].Levels[2].State, psInControl);
    EXPECT_GT(tiny.Runs[0].Levels[2].Value, 0.0f);

    TImportText cut = ParseImportText(
        std::string("06/05/2024\t10:00\t5\r\n07/05/2024\t10") + std::string(1, '\0') + ":00\t6\r\n", 1);
    ASSERT_EQ(cut.Runs.size(), 1u);
    ASSERT_EQ(cut.Notes.size(), 1u);
    EXPECT_NE(cut.Notes[0].find("a zero byte ends the text here"), std::string::npos) << cut.Notes[0];
}

TEST_F(ImportTextTest, CarriageReturnsRuleWhereverTheyOccur) {
    // Line feeds not after a carriage return stay inside the fields: here they join two lines into
    // one whose third field "5\n09/05/2024" and fourth "11:00" are no numbers; the fifth is read.
    TImportText joined = ParseImportText("08/05/2024\t10:00\t5\n09/05/2024\t11:00\t6\r\n", 0);
    ASSERT_EQ(joined.Runs.size(), 1u);
    EXPECT_EQ(joined.Runs[0].Levels[0].State, psEmpty);
    EXPECT_EQ(joined.Runs[0].Levels[1].State, psEmpty);
    EXPECT_FLOAT_EQ(joined.Runs[0].Levels[2].Value, 6.0f);

    // Carriage returns alone end lines, and every line feed after one is skipped.
    TImportText mac =
        ParseImportText("08/05/2024\t10:00\t5\r09/05/2024\t11:00\t6\r\n\n\n10/05/2024\t\t7\r", 0);
    ASSERT_EQ(mac.Runs.size(), 3u);
    EXPECT_DOUBLE_EQ(mac.Runs[2].DateTime, EncodeDate(2024, 5, 10) + 0.5);

    // Text without any carriage return: line feeds end the lines.
    TImportText unix = ParseImportText("08/05/2024\t10:00\t5\n09/05/2024\t11:00\t6\n10/05/2024\t12:00\t7", 0);
    ASSERT_EQ(unix.Runs.size(), 2u);
    EXPECT_FLOAT_EQ(unix.Runs[1].Levels[0].Value, 6.0f);
}

TEST_F(ImportTextTest, ReadingStopsAtTheFirstZeroByte) {
    std::string text = std::string("08/05/2024\t10:00\t5\r\n") + '\0' + "09/05/2024\t11:00\t6\r\n";
    EXPECT_EQ(ParseImportText(text, 0).Runs.size(), 1u);
    // A zero inside the first line leaves it without its carriage return.
    text = std::string("08/05/2024\t10:00\t5") + '\0' + "\r\n";
    EXPECT_TRUE(ParseImportText(text, 0).Runs.empty());
}

TEST_F(ImportTextTest, NumbersThatDoNotFitASingleAreNoNumbers) {
    TImportText t = ParseImportText("08/05/2024\t10:00\tinf\t1e39\t3.4e38\r\n"
                                    "09/05/2024\t10:00\tnan\t-1e39\t1.5.\r\n"
                                    "10/05/2024\t10:00\t1e-50\t-0\t+2.5e1\r\n",
                                    1);
    ASSERT_EQ(t.Runs.size(), 2u);
    EXPECT_EQ(t.Runs[0].Levels[0].State, psEmpty);
    EXPECT_EQ(t.Runs[0].Levels[1].State, psEmpty);
    EXPECT_EQ(t.Runs[0].Levels[2].State, psInControl);
    EXPECT_FLOAT_EQ(t.Runs[0].Levels[2].Value, 3.4e38f);
    EXPECT_TRUE(std::isfinite(t.Runs[0].Levels[2].Value));
    EXPECT_FLOAT_EQ(t.Runs[1].Levels[0].Value, 0.0f);
    EXPECT_FLOAT_EQ(t.Runs[1].Levels[2].Value, 25.0f);

    // Under a comma separator a point is no decimal mark.
    Regional.DecimalSeparator = ',';
    TImportText c = ParseImportText("08/05/2024\t10:00\t1.5\t1,5\r\n", 1);
    ASSERT_EQ(c.Runs.size(), 1u);
    EXPECT_EQ(c.Runs[0].Levels[0].State, psEmpty);
    EXPECT_FLOAT_EQ(c.Runs[0].Levels[1].Value, 1.5f);
    EXPECT_EQ(c.Line(0), "08/05/2024\t10:00:00\t\t1,5");
}

TEST_F(ImportTextTest, EachSkippedLineIsReportedWithItsReason) {
    TImportText t = ParseImportText("Date\tTime\tQC1\r\n"
                                    "05/05/2024\t10:00:00\r\n"
                                    "06/05/2024\tlate\tabc\t5\r\n"
                                    " \t \r\n"
                                    "07/05/2024\tlate\t1,5x\t\tDiscarded\r\n"
                                    "\x1b[2J\t10:00\t5\r\n"
                                    "08/05/2024\t\t4\r\n"
                                    "09/05/2024\t10:00\t4",
                                    1);
    ASSERT_EQ(t.Runs.size(), 2u);
    EXPECT_EQ(t.Notes,
              (std::vector<std::string>{
                  "line 1: 'Date' is not a date (expected dd/MM/yyyy)",
                  "line 2: no value, line skipped",
                  "line 3: 'late' is not a time (expected HH:mm:ss), 12:00:00 taken; 'abc' is not a "
                  "number for QC1",
                  "line 5: '1,5x' is not a number for QC1 (expected a number as 12.5); 'Discarded' is "
                  "not a number for QC3; line skipped",
                  "line 6: ' [2J' is not a date (expected dd/MM/yyyy)",
                  "line 7: no time, 12:00:00 taken",
                  "line 8: no line end, not read",
              }));
    EXPECT_EQ(t.LinesRead, 2u);
    EXPECT_EQ(t.LinesSkipped, 5u);
    EXPECT_TRUE(t.NothingRead.empty());
}

TEST_F(ImportTextTest, TheLevelsOfTheAnalyteShapeTheReport) {
    // A two-level export holds the operator where a third value would stand: no note for it. A third
    // value is noted as not taken, and a line with nothing else is skipped.
    TImportText t = ParseImportText("05/05/2024\t10:00\t5.1\t6.2\tAB\tnote\r\n"
                                    "06/05/2024\t10:00\t5.1\t\t9.9\r\n"
                                    "07/05/2024\t10:00\t\t\t9.9\r\n",
                                    1, 2);
    EXPECT_EQ(t.Runs.size(), 3u); // the preview shows them all
    EXPECT_EQ(t.Notes, (std::vector<std::string>{
                           "line 2: '9.9' for QC3 is not taken: the analyte has 2 levels",
                           "line 3: '9.9' for QC3 is not taken: the analyte has 2 levels; line skipped",
                       }));
    EXPECT_EQ(t.LinesRead, 2u);
    EXPECT_EQ(ParseImportText("07/05/2024\t10:00\t\t\t9.9\r\n", 1, 2).LinesRead, 0u);
}

TEST_F(ImportTextTest, NothingReadSaysWhatWasExpected) {
    EXPECT_EQ(ParseImportText("", 1).NothingRead, "Nothing to import: the text is empty.");
    EXPECT_EQ(ParseImportText("\r\n \t\n", 1).NothingRead, "Nothing to import: the text is empty.");
    EXPECT_EQ(ParseImportText("abc\r\n", 1).NothingRead,
              "Nothing to import: a line is read when its first field is a date written as dd/MM/yyyy and "
              "its third, fourth or fifth field a number written as 12.5, the fields separated by tabs and "
              "the line ended by a line break.");
    Regional = TRegional{"dd.MM.yyyy", "HH:mm:ss", ','};
    std::string why = ParseImportText("08.12.2026\t10:00\tx\r\n", 1, 1).NothingRead;
    EXPECT_NE(why.find("as dd.MM.yyyy and its third field a number written as 12,5"), std::string::npos)
        << why;

    // A long report keeps its first notes and counts the others.
    std::string many;
    for (int i = 0; i < 1500; ++i) many += "x\r\n";
    TImportText t = ParseImportText(many, 1);
    EXPECT_EQ(t.Notes.size(), TImportText::MaxNotes);
    EXPECT_EQ(t.NotesLeftOut, 500u);
    EXPECT_EQ(t.LinesSkipped, 1500u);
}

TEST_F(ImportTextTest, TextOfAnotherLocaleIsReadWhereUnambiguous) {
    struct Case {
        const char* name;
        char separator;
        const char* line;
        float values[3]; // NAN: empty
    };
    const Case cases[] = {
        {"comma decimals under a point",
         '.',
         "08/12/2026\t10:00\t3,1\t4,25\t\tAB\tlot 5, new\r\n",
         {3.1f, 4.25f, NAN}},
        {"a point beside: the comma may group", '.', "08/12/2026\t10:00\t3,1\t4.25\r\n", {NAN, 4.25f, NAN}},
        {"two commas", '.', "08/12/2026\t10:00\t1,234,5\t7\r\n", {NAN, 7, NAN}},
        {"a comma in the time", '.', "08/12/2026\t10,00\t3,1\t7\r\n", {NAN, 7, NAN}},
        {"point decimals under a comma", ',', "25/10/2026\t10:00:00\t3.0\t4.5\t5\r\n", {3.0f, 4.5f, 5}},
        {"a dotted date: the point may group", ',', "08.12.2026\t10:00\t3.5\r\n", {NAN, NAN, NAN}},
        {"an ISO date", '.', "2026-12-08\t10:00\t3.1\r\n", {3.1f, NAN, NAN}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Regional.DecimalSeparator = c.separator;
        TImportText t = ParseImportText(c.line, 2);
        bool any = false;
        for (float v : c.values) any = any || !std::isnan(v);
        ASSERT_EQ(t.Runs.size(), any ? 1u : 0u);
        if (!any) continue;
        EXPECT_EQ(DatePart(t.Runs[0].DateTime),
                  EncodeDate(2026, c.separator == ',' ? 10 : 12, c.separator == ',' ? 25 : 8));
        for (int k = 0; k < 3; ++k) {
            if (std::isnan(c.values[k]))
                EXPECT_EQ(t.Runs[0].Levels[k].State, psEmpty) << k;
            else
                EXPECT_EQ(t.Runs[0].Levels[k].Value, c.values[k]) << k;
        }
    }
    // The preview writes what was read in the regional formats; what could not be read says so.
    Regional.DecimalSeparator = '.';
    TImportText t = ParseImportText(
        "2026-12-08\t10:00\t3,1\t4,25\r\n0226-12-08\t10:00\t1\r\n08/12/2026\t10:00\t3,1\t4.2\r\n", 2);
    ASSERT_EQ(t.Runs.size(), 2u);
    EXPECT_EQ(t.Line(0), "08/12/2026\t10:00:00\t3.10\t4.25");
    EXPECT_EQ(t.Notes, (std::vector<std::string>{
                           "line 2: '0226-12-08' is not a date (expected dd/MM/yyyy)",
                           "line 3: '3,1' is not a number for QC1 (expected a number as 12.5)",
                       }));
    // A pattern with the month's name is written, and asked for, with the month as a number.
    Regional.ShortDateFormat = "d MMM yyyy";
    t = ParseImportText("hello\r\n5 12 2026\t10:00:00\t1.5\r\n", 1);
    ASSERT_EQ(t.Runs.size(), 1u);
    EXPECT_EQ(t.Line(0).substr(0, 9), "5 12 2026");
    EXPECT_EQ(t.Notes, std::vector<std::string>{"line 1: 'hello' is not a date (expected d MM yyyy)"});
}

TEST_F(ImportTextTest, ExportsTravelBetweenLocales) {
    const TRegional german{"dd.MM.yyyy", "HH:mm:ss", ','};
    const TRegional british{"dd/MM/yyyy", "HH:mm:ss", '.'};
    for (bool fromGerman : {true, false}) {
        SCOPED_TRACE(fromGerman ? "de_DE to en_GB" : "en_GB to de_DE");
        Regional = fromGerman ? german : british;
        TAnalyte a("Creatinine", "mg/dL", 3, 3);
        a.AddPoint(MakeRun(EncodeDate(2026, 12, 8) + EncodeTime(8, 15, 30), {1.234, 0.5, 1234.5678},
                           "lot 7, new", "AB"));
        a.AddPoint(MakeRun(EncodeDate(2026, 12, 9) + EncodeTime(23, 59, 59), {0.001, NaN, 99999.999}));
        const std::string text = a.PointsAsText();
        Regional = fromGerman ? british : german;
        TImportText t = ParseImportText(text, a.Decimals, a.NbLevels);
        ASSERT_EQ(t.Runs.size(), 2u);
        EXPECT_TRUE(t.Notes.empty());
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(t.Runs[k].DateTime, a.Points[k].DateTime);
            for (int i = 0; i < 3; ++i) {
                const LevelValue& lv = a.Points[k].Levels[i];
                ASSERT_EQ(t.Runs[k].Levels[i].State, lv.State == psEmpty ? psEmpty : psInControl);
                if (lv.State != psEmpty) {
                    EXPECT_EQ(FormatFixed(t.Runs[k].Levels[i].Value, 8, 3), FormatFixed(lv.Value, 8, 3));
                }
            }
        }
    }
}

// A file of another locale whose dates fit only the other order of day and month is refused whole, never
// read with some dates swapped; dates that fit both orders alone are read in the expected one.
TEST_F(ImportTextTest, DatesInTheOtherOrderAreRefusedWhole) {
    Regional = TRegional{"M/d/yyyy", "h:mm:ss AP", '.'};
    TAnalyte us("Glucose", "mmol/L", 1, 1);
    for (int day = 1; day <= 24; ++day)
        us.AddPoint(MakeRun(EncodeDate(2025, 1, day) + 0.5, {5.0 + day / 10.0}));
    const std::string monthFirst = us.PointsAsText();
    Regional = TRegional{"dd/MM/yyyy", "HH:mm:ss", '.'};
    struct Case {
        const char* name;
        std::string text;
        const char* reason; // empty: read
    };
    const Case cases[] = {
        {"month first under day first", monthFirst,
         "Nothing imported: the dates are written as MM/dd/yyyy, not as dd/MM/yyyy (line 13: '1/13/2025'); "
         "read the file with the date format MM/dd/yyyy."},
        {"both orders in one file",
         "25/10/2026\t10:00\t1\r\n01/02/2026\t10:00\t2\r\n10/26/2026\t10:00\t3\r\n",
         "Nothing imported: the dates are written in two orders. The date of line 1 ('25/10/2026') fits only "
         "dd/MM/yyyy, that of line 3 ('10/26/2026') only MM/dd/yyyy."},
        {"every date fits both", "01/02/2026\t10:00\t1\r\n03/04/2026\t10:00\t2\r\n", ""},
        {"ISO beside day first", "2026-10-25\t10:00\t1\r\n26/10/2026\t10:00\t2\r\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TImportText t = ParseImportText(c.text, 1, 1);
        EXPECT_EQ(t.Refused, *c.reason != 0);
        EXPECT_EQ(t.NothingRead, c.reason);
        EXPECT_EQ(t.Runs.empty(), *c.reason != 0);
    }
    EXPECT_EQ(DatePart(ParseImportText(cases[2].text, 1, 1).Runs[0].DateTime), EncodeDate(2026, 2, 1));
    // The same file read as it was written.
    Regional = TRegional{"MM/dd/yyyy", "HH:mm:ss", '.'};
    EXPECT_EQ(ParseImportText(monthFirst, 1, 1).Runs.size(), 24u);
}

// A spreadsheet saving the export back quotes its text cells; the quotes go, a quoted tab stays in its
// field, and each line's number is kept for messages.
TEST_F(ImportTextTest, QuotedFieldsAreRead) {
    const TImportText t =
        ParseImportText("\"26/10/2026\"\t\"10:00:00\"\t3.1\t\"4.5\"\t\"AB\"\t\"lot \"\"5\"\"\tnew\"\r\n"
                        "\r\n27/10/2026\t11:00:00\t3.2\r\n",
                        1, 2);
    ASSERT_EQ(t.Runs.size(), 2u);
    EXPECT_TRUE(t.Notes.empty());
    EXPECT_EQ(t.Runs[0].DateTime, EncodeDate(2026, 10, 26) + EncodeTime(10, 0, 0));
    EXPECT_EQ(t.Runs[0].Levels[1].Value, 4.5f);
    EXPECT_EQ(t.Runs[0].Operator, "AB");
    EXPECT_EQ(t.Runs[0].Comment, "lot \"5\"\tnew");
    EXPECT_EQ(t.Shapes[1].Line, 3u);
}

// Values are written with the analyte's decimals and with every digit the stored single holds.
TEST_F(ImportTextTest, ExportKeepsTheStoredDigits) {
    struct Case {
        float value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {3.05f, 1, "3.05"},           {3.1f, 2, "3.10"}, {5.4f, 1, "5.4"}, {-0.5f, 0, "-0.5"},
        {1234.5677f, 2, "1234.5677"}, {120, 0, "120"}};
    for (const Case& c : cases) EXPECT_EQ(FormatStoredValue(c.value, c.decimals), c.text) << c.value;
    TAnalyte a("Calcium", "mmol/L", 1, 1);
    a.AddPoint(MakeRun(EncodeDate(2026, 10, 26) + 0.5, {3.05}));
    const TImportText t = ParseImportText(a.PointsAsText(), a.Decimals, 1);
    ASSERT_EQ(t.Runs.size(), 1u);
    EXPECT_EQ(t.Runs[0].Levels[0].Value, a.Points[0].Levels[0].Value);
    // A date pattern a spreadsheet keeps as text gives ISO dates, which every locale reads back.
    Regional.ShortDateFormat = "d MMM yyyy";
    EXPECT_EQ(a.PointsAsText(), "2026-10-26\t12:00:00\t3.05\t\t\r\n");
    EXPECT_EQ(ParseImportText(a.PointsAsText(), 1, 1).Runs.size(), 1u);
}
