// Day-count date-times and the regional date and time texts.
#include <cmath>
#include <gtest/gtest.h>

#include "TestHelpers.h"

TEST(DateTime, KnownDayCounts) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_EQ(EncodeDate(1800, 1, 1), -36522.0);
    EXPECT_EQ(EncodeTime(12, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(9, 0, 0), 0.375);
}

TEST(DateTime, DecodesBothSidesOfTheEpoch) {
    // Before the epoch the time is added to the magnitude: -1.25 is 29 December 1899 at 06:00.
    TDateParts d = DecodeDate(-1.25);
    EXPECT_EQ(d.Year, 1899);
    EXPECT_EQ(d.Month, 12);
    EXPECT_EQ(d.Day, 29);
    EXPECT_EQ(DecodeTime(-1.25).Hour, 6);
    EXPECT_EQ(ComposeDateTime(-1, 0.25), -1.25);
    EXPECT_EQ(ComposeDateTime(36526, 0.25), 36526.25);

    for (int y : {1753, 1899, 1900, 1970, 2000, 2024, 2099, 9999}) {
        for (int m : {1, 2, 12}) {
            for (int day : {1, 28}) {
                TDateTime dt = ComposeDateTime(EncodeDate(y, m, day), EncodeTime(13, 45, 30));
                TDateParts p = DecodeDate(dt);
                TTimeParts t = DecodeTime(dt);
                ASSERT_EQ(p.Year, y);
                ASSERT_EQ(p.Month, m);
                ASSERT_EQ(p.Day, day);
                ASSERT_EQ(t.Hour, 13);
                ASSERT_EQ(t.Minute, 45);
                ASSERT_EQ(t.Second, 30);
            }
        }
    }
    // Damaged dates give some text, never an overflow.
    for (TDateTime bad : {1e300, -1e300, std::nan("")}) EXPECT_FALSE(TRegional().DateToText(bad).empty());
    // A time a hair before midnight rounds onto the next day consistently.
    TDateTime late = EncodeDate(2024, 2, 28) + 0.99999999999;
    EXPECT_EQ(DecodeDate(late).Day, 29);
    EXPECT_EQ(DecodeTime(late).Hour, 0);
}

TEST(Regional, FormatsAndParsesWhatItWrites) {
    TRegional dayFirst; // the documented default: dd/MM/yyyy HH:mm:ss, point decimal
    TRegional monthFirst{"M/d/yy", "h:mm:ss AP", '.'};
    TRegional iso{"yyyy-MM-dd", "HH:mm", ','};
    TDateTime dt = ComposeDateTime(EncodeDate(2026, 3, 1), EncodeTime(9, 5, 7));
    EXPECT_EQ(dayFirst.DateToText(dt), "01/03/2026");
    EXPECT_EQ(dayFirst.TimeToText(dt), "09:05:07");
    EXPECT_EQ(monthFirst.DateToText(dt), "3/1/2026"); // two-digit years are written with four
    EXPECT_EQ(monthFirst.TimeToText(dt), "9:05:07 AM");
    EXPECT_EQ(monthFirst.TimeToText(dt + 0.5), "9:05:07 PM");
    EXPECT_EQ(iso.DateToText(dt), "2026-03-01");
    for (const TRegional* r : {&dayFirst, &monthFirst, &iso}) {
        for (TDateTime t : {dt, dt + 0.5, EncodeDate(1899, 12, 30), EncodeDate(1850, 7, 14) - 0.75}) {
            auto date = r->TextToDate(r->DateToText(t));
            auto time = r->TextToTime(r->TimeToText(t));
            ASSERT_TRUE(date && time) << r->DateToText(t) << " " << r->TimeToText(t);
            EXPECT_EQ(*date, DatePart(t));
            EXPECT_EQ(r->TimeToText(*time), r->TimeToText(t));
        }
    }
    EXPECT_FALSE(dayFirst.TextToDate("31/02/2026"));
    EXPECT_FALSE(dayFirst.TextToDate("1/3"));
    EXPECT_FALSE(dayFirst.TextToDate("aa/bb/cccc"));
    EXPECT_FALSE(dayFirst.TextToTime("25:00"));
    EXPECT_FALSE(dayFirst.TextToTime("9:61"));
    EXPECT_EQ(*dayFirst.TextToTime("9:30"), EncodeTime(9, 30, 0));
    EXPECT_EQ(*dayFirst.TextToDate("1-3-2026"), EncodeDate(2026, 3, 1));
}

TEST(Regional, YearsAreReadAsWrittenOrRefused) {
    const TRegional dayFirst;
    const TRegional iso{"yyyy-MM-dd", "HH:mm:ss", '.'};
    struct Case {
        const TRegional* regional;
        const char* text;
        int year; // 0: refused
    };
    const Case cases[] = {
        {&dayFirst, "09/12/2026", 2026}, {&dayFirst, "09/12/26", 2026}, {&dayFirst, "9/12/5", 2005},
        {&dayFirst, "09/12/0026", 26},   {&dayFirst, "09/12/0000", 0},  {&dayFirst, "09/12/226", 0},
        {&iso, "2026-12-09", 2026},      {&iso, "1000-01-01", 1000},    {&iso, "9999-12-31", 9999},
        {&iso, "0000-01-01", 0},         {&iso, "0026-12-09", 0},       {&iso, "0226-12-09", 0},
        {&iso, "26-12-09", 0},           {&iso, "226-12-09", 0},
    };
    for (const Case& c : cases) {
        auto date = c.regional->TextToDate(c.text);
        EXPECT_EQ(date ? DecodeDate(*date).Year : 0, c.year) << c.text;
    }
    EXPECT_EQ(IsoTextToDate("2026-12-09"), EncodeDate(2026, 12, 9));
    for (const char* bad : {"0226-12-09", "2026-1-09", "2026-02-30", " 2026-12-09", "2026/12/09", "20261209"})
        EXPECT_FALSE(IsoTextToDate(bad)) << bad;
}

TEST(Regional, ChangedPatternsAreSeenAtOnce) {
    // The settings' fields are assigned directly, even changed in place: the next text follows them.
    TRegional r;
    const TDateTime dt = ComposeDateTime(EncodeDate(2026, 12, 9), EncodeTime(15, 4, 5));
    EXPECT_EQ(r.DateToText(dt), "09/12/2026");
    r.ShortDateFormat[2] = '.';
    r.ShortDateFormat[5] = '.';
    EXPECT_EQ(r.DateToText(dt), "09.12.2026");
    EXPECT_EQ(*r.TextToDate("9.12.2026"), EncodeDate(2026, 12, 9));
    r.TimeFormat = "h:mm 'Uhr' ap";
    EXPECT_EQ(r.TimeToText(dt), "3:04 Uhr pm");
    // More patterns in turn than are kept compiled.
    const char* patterns[] = {"d/M/yyyy", "yyyy-MM-dd", "dd.MM.yy", "M/d/yyyy", "'D'd", "dd MM yyyy"};
    const char* texts[] = {"9/12/2026", "2026-12-09", "09.12.2026", "12/9/2026", "D9", "09 12 2026"};
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 6; ++i) {
            TRegional other{patterns[i], "HH:mm", '.'};
            EXPECT_EQ(other.DateToText(dt), texts[i]);
            EXPECT_EQ(other.TimeToText(dt), "15:04");
        }
    }
}
