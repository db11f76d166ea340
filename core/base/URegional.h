// Regional formats (dates, times, decimal mark) and the day-count date-times of the program's files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Date-times are day counts since 30 December 1899; the fraction is the time of day.
// For days before that date the count is negative and the time is added to its magnitude
// (-1.25 is 29 December 1899 at 06:00), the convention of the files the program exchanges.
using TDateTime = double;

struct TDateParts {
    int Year = 1899, Month = 12, Day = 30;
};
struct TTimeParts {
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond = 0);
// Joins a whole-day count and a time of day (0 <= time < 1) as the file convention wants.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);
TDateParts DecodeDate(TDateTime dt);
TTimeParts DecodeTime(TDateTime dt);
// The whole-day part and the time of day of a date-time.
TDateTime DatePart(TDateTime dt);
TDateTime TimePart(TDateTime dt);
bool IsValidDate(int year, int month, int day);

// The local date at 00:00 and the local date-time now.
TDateTime Today();
TDateTime Now();

// Patterns use d, dd, M, MM, yy, yyyy for dates (yy is widened to yyyy: records outlive a century),
// and H, HH, h, hh, m, mm, s, ss, AP, ap for times; other characters are copied. The fields may be
// assigned at any time: a pattern is compiled when its text is first used and looked up by that text.
struct TRegional {
    std::string ShortDateFormat = "dd/MM/yyyy";
    std::string TimeFormat = "HH:mm:ss";
    char DecimalSeparator = '.';

    std::string DateToText(TDateTime dt) const;
    std::string TimeToText(TDateTime dt) const;
    std::string DateTimeToText(TDateTime dt) const { return DateToText(dt) + " " + TimeToText(dt); }
    // Parse what the matching writer produced (lenient about leading zeros); empty result when the
    // text is not a valid date or time. A year of one or two digits is this century's (26 is 2026),
    // one of four digits is taken as written (0001 to 9999), one of three digits is refused; when the
    // pattern starts with the year, as ISO dates do, the year needs four digits and at least 1000.
    std::optional<TDateTime> TextToDate(std::string_view text) const;
    std::optional<TDateTime> TextToTime(std::string_view text) const;
    // The date pattern as DateToText writes it, for messages: the month is always a number, so "MMM"
    // and "MMMM" read "MM" ("d MMM yyyy" gives "d MM yyyy").
    std::string WrittenDateFormat() const;
    // The formats of the exchange text: these, except a date pattern with the month's name or with
    // spaces between its fields, which spreadsheets cannot read as a date: ISO dates then.
    TRegional ForExchange() const;
};

// ISO dates and times (yyyy-MM-dd HH:mm:ss), as the companion, the journal and the instrument notes write
// them.
const TRegional& IsoRegional();

// An ISO date exactly as yyyy-mm-dd, years 1000 to 9999; empty result otherwise.
std::optional<TDateTime> IsoTextToDate(std::string_view text);

// The program-wide regional settings: the fixed default above until the program fills them from
// the system locale at start; tests set them explicitly.
extern TRegional Regional;
