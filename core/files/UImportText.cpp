// Reading the tab-separated exchange text (spreadsheet files, the clipboard) into runs for the import.
#include "UImportText.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

#include "UCodePage.h"
#include "URegional.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {

std::string_view TrimSpaces(std::string_view s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

bool IsBlank(std::string_view s) {
    return s.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// A finite number that fits a single; anything else is no number.
bool ReadValue(std::string_view field, char separator, float& value) {
    long double v = 0;
    if (!ParseDecimal(field, separator, v) || !InValueRange(v)) return false;
    value = static_cast<float>(v);
    // Too small to be kept: refused rather than taken as zero.
    return value != 0 || v == 0;
}

// A field's text as a note quotes it: control characters blanked, long texts cut.
std::string Quote(std::string_view field) {
    constexpr size_t Longest = 40;
    std::string s = "'" + BlankControlChars(field.substr(0, Longest));
    if (field.size() > Longest) s += "...";
    return s + "'";
}

std::string NumberExample(char separator) {
    return std::string("12") + separator + "5";
}

std::string LevelName(int k) {
    return "QC" + std::to_string(k + 1);
}

// The fields of one line, the first seven cut out (date, time, three values, operator, comment); `count`
// counts them up to eight. A quoted field (a spreadsheet quotes text cells) loses its quotes.
struct TLineFields {
    static constexpr size_t Kept = 7;
    std::string_view field[Kept];
    size_t count = 0;
    std::vector<std::string> unquoted; // the texts of a line with quotes, which the fields view
};

void CutFields(std::string_view line, TLineFields& f) {
    f.count = 0;
    if (line.find('"') != std::string_view::npos) {
        bool unclosed = false;
        f.unquoted = SplitQuoted(line, '\t', unclosed);
        f.count = std::min<size_t>(f.unquoted.size(), TLineFields::Kept + 1);
        for (size_t i = 0; i < std::min(f.count, TLineFields::Kept); ++i) f.field[i] = f.unquoted[i];
        return;
    }
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        if (f.count < TLineFields::Kept)
            f.field[f.count] = line.substr(start, tab == std::string_view::npos ? tab : tab - start);
        ++f.count;
        if (tab == std::string_view::npos || f.count > TLineFields::Kept) return;
        start = tab + 1;
    }
}

// The date pattern with day and month exchanged (dd/MM/yyyy and MM/dd/yyyy), the order a file of
// another locale may have; empty for a pattern that starts with the year or lacks either field.
std::string OtherDateOrder(const std::string& pattern) {
    if (pattern.empty() || pattern[0] == 'y' || pattern.find('d') == std::string::npos ||
        pattern.find('M') == std::string::npos)
        return {};
    std::string out;
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        size_t j = i;
        while (j < pattern.size() && pattern[j] == c) ++j;
        if (c == 'd' || c == 'M')
            out.append(std::min<size_t>(j - i, 2),
                       c == 'd' ? 'M' : 'd'); // a month's name is written as a number
        else
            out.append(pattern, i, j - i);
        i = j;
    }
    return out;
}

// Whether a value written with the other decimal mark can be read in this line: every field read holds
// that mark at most once, and none holds it besides the values or holds the regional mark.
bool OtherMarkIsDecimal(const TLineFields& f, char separator, char other) {
    for (size_t i = 0; i < std::min<size_t>(f.count, 5); ++i) {
        size_t marks = static_cast<size_t>(std::count(f.field[i].begin(), f.field[i].end(), other));
        if (i < 2 ? marks > 0 : marks > 1 || f.field[i].find(separator) != std::string_view::npos)
            return false;
    }
    return true;
}

// The notes of the line being read, joined by "; " when it ends.
class TReport {
public:
    explicit TReport(TImportText& out) : out_(out) {}
    void Part(std::string text) { parts_.push_back(std::move(text)); }
    void SetFirst(std::string text) { parts_.front() = std::move(text); }
    void DropFirst() { parts_.erase(parts_.begin()); }
    bool Empty() const { return parts_.empty(); }
    void EndLine(size_t line) {
        if (parts_.empty()) return;
        if (out_.Notes.size() < TImportText::MaxNotes) {
            std::string parts;
            for (size_t i = 0; i < parts_.size(); ++i) parts += (i ? "; " : "") + parts_[i];
            out_.Notes.push_back(Fill(QT_TRANSLATE_NOOP("Core", "line %1: %2"), std::to_string(line), parts));
        } else {
            ++out_.NotesLeftOut;
        }
        parts_.clear();
    }

private:
    TImportText& out_;
    std::vector<std::string> parts_;
};

} // namespace

std::string TImportText::ImportPreviewLine(const TResu& run, TImportShape shape, int decimals) {
    const int fields = std::min<int>(shape.Fields, 6);
    std::string line;
    for (int f = 0; f < fields && f < 5; ++f) {
        if (f == 0)
            line += Regional.DateToText(DatePart(run.DateTime));
        else if (f == 1)
            line += shape.TimeRead ? Regional.TimeToText(run.DateTime) : "12:00:00";
        else if (const LevelValue& lv = run.Levels[static_cast<size_t>(f - 2)]; lv.State != psEmpty)
            line += FormatFixed(lv.Value, 8, decimals);
        if (f + 1 < fields) line += '\t';
    }
    return line;
}

TImportText ParseImportText(std::string_view text, int decimals, int levels,
                            const std::function<bool(size_t, size_t)>& progress) {
    TImportText out;
    out.Decimals = decimals;
    levels = std::clamp(levels, 1, MaxLevels);
    if (text.size() > MaxImportBytes) {
        out.Refused = true;
        out.NothingRead =
            Fill(QT_TRANSLATE_NOOP("Core", "The text is larger than an import takes (%1 MB at most)"),
                 std::to_string(MaxImportBytes >> 20));
        return out;
    }
    const size_t zero = text.find('\0');
    const bool cut = zero != std::string_view::npos;
    if (cut) text = text.substr(0, zero);
    // A file written in UTF-8 (by the export, or a spreadsheet) is read as the program's own text.
    std::string converted;
    text = ExchangeTextAsCp1252(text, converted);
    // Text from Linux programs ends its lines with line feeds only.
    const char eol = text.find('\r') == std::string_view::npos ? '\n' : '\r';
    const char separator = Regional.DecimalSeparator;
    const char other = separator == '.' ? ',' : separator == ',' ? '.' : 0;
    const std::string expectedNumber = NumberExample(separator);
    out.Runs.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), eol)));

    // Dates that fit only the other order of day and month betray a file of another locale: it is read
    // whole or not at all, never with some dates swapped.
    TRegional otherOrder = Regional;
    otherOrder.ShortDateFormat = OtherDateOrder(Regional.ShortDateFormat);
    size_t onlyExpected = 0, onlyOther = 0;
    std::string onlyExpectedText, onlyOtherText;

    TReport report(out);
    TLineFields f;
    size_t pos = 0, lineNumber = 0, told = 0;
    while (pos < text.size()) {
        if (progress && pos - told >= (size_t{1} << 20)) {
            told = pos;
            if (!progress(pos, text.size())) {
                TImportText cancelled;
                cancelled.Decimals = decimals;
                cancelled.Cancelled = true;
                return cancelled;
            }
        }
        size_t end = text.find(eol, pos);
        ++lineNumber;
        if (end != std::string_view::npos && end - pos > MaxImportLineBytes) {
            // Nothing of it is quoted: a hostile line costs its length once, not once per note.
            report.Part(Fill(QT_TRANSLATE_NOOP("Core", "longer than %1 bytes, not read"),
                             std::to_string(MaxImportLineBytes)));
            report.EndLine(lineNumber);
            ++out.LinesSkipped;
            pos = end + 1;
            if (eol == '\r')
                while (pos < text.size() && text[pos] == '\n') ++pos;
            continue;
        }
        if (end == std::string_view::npos) {
            // A field that ends with the text ends no line.
            if (!IsBlank(text.substr(pos))) {
                // Reading stops at a zero byte: a line it cuts is said to be cut there.
                report.Part(
                    TranslatedText(cut ? QT_TRANSLATE_NOOP("Core", "a zero byte ends the text here, not read")
                                       : QT_TRANSLATE_NOOP("Core", "no line end, not read")));
                report.EndLine(lineNumber);
                ++out.LinesSkipped;
            }
            break;
        }
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (eol == '\r')
            while (pos < text.size() && text[pos] == '\n') ++pos;

        CutFields(line, f);
        const std::string_view dateText = TrimSpaces(f.field[0]);
        auto date = Regional.TextToDate(dateText);
        if (!otherOrder.ShortDateFormat.empty() && !IsBlank(dateText)) {
            const bool other = otherOrder.TextToDate(dateText).has_value();
            if (date && !other && onlyExpected == 0) {
                onlyExpected = lineNumber;
                onlyExpectedText = Quote(dateText);
            } else if (!date && other && onlyOther == 0) {
                onlyOther = lineNumber;
                onlyOtherText = Quote(dateText);
            }
        }
        if (!date) date = IsoTextToDate(dateText);
        if (!date) {
            if (!IsBlank(line)) {
                report.Part(Fill(QT_TRANSLATE_NOOP("Core", "%1 is not a date (expected %2)"), Quote(dateText),
                                 Regional.WrittenDateFormat()));
                report.EndLine(lineNumber);
                ++out.LinesSkipped;
            }
            continue;
        }

        TResu run;
        TImportShape shape;
        shape.Fields = static_cast<uint8_t>(std::min<size_t>(f.count, 6));
        shape.Line = static_cast<uint32_t>(std::min<size_t>(lineNumber, UINT32_MAX));
        run.DateTime = *date;
        std::string_view timeText;
        if (f.count >= 2) {
            timeText = TrimSpaces(f.field[1]);
            auto time = Regional.TextToTime(timeText);
            shape.TimeRead = time.has_value();
            run.DateTime = ComposeDateTime(run.DateTime, time ? *time : 0.5);
        }
        // The time matters only to a line that is read: its note comes first, written once it is known.
        const bool timeNote = f.count >= 3 && !shape.TimeRead;
        if (timeNote) report.Part("");
        int values = 0, taken = 0;
        int otherMark = -1; // whether the other decimal mark is read in this line, once asked
        for (int k = 0; k < MaxLevels; ++k) {
            LevelValue& lv = run.Levels[static_cast<size_t>(k)];
            lv = {0, psEmpty};
            if (static_cast<size_t>(k) + 2 >= f.count) continue;
            const std::string_view field = TrimSpaces(f.field[k + 2]);
            float v = 0;
            bool read = ReadValue(field, separator, v);
            if (!read && other != 0 && field.find(other) != std::string_view::npos) {
                if (otherMark < 0) otherMark = OtherMarkIsDecimal(f, separator, other);
                read = otherMark && ReadValue(field, other, v);
            }
            if (read) {
                lv = {v, psInControl};
                ++values;
                if (k < levels)
                    ++taken;
                else
                    report.Part(Fill(
                        levels == 1
                            ? QT_TRANSLATE_NOOP("Core", "%1 for %2 is not taken: the analyte has %3 level")
                            : QT_TRANSLATE_NOOP("Core", "%1 for %2 is not taken: the analyte has %3 levels"),
                        Quote(field), LevelName(k), std::to_string(levels)));
            } else if (!field.empty() && k < levels) {
                if (field.find_first_of("0123456789") != std::string_view::npos &&
                    field.find_first_of(".,") != std::string_view::npos)
                    report.Part(
                        Fill(QT_TRANSLATE_NOOP("Core", "%1 is not a number for %2 (expected a number as %3)"),
                             Quote(field), LevelName(k), expectedNumber));
                else
                    report.Part(Fill(QT_TRANSLATE_NOOP("Core", "%1 is not a number for %2"), Quote(field),
                                     LevelName(k)));
            }
        }
        // The operator and the comment follow the analyte's levels, as the export writes them.
        if (const size_t at = static_cast<size_t>(levels) + 2; at < f.count && at < TLineFields::Kept)
            run.Operator = std::string(TrimSpaces(f.field[at]));
        if (const size_t at = static_cast<size_t>(levels) + 3; at < f.count && at < TLineFields::Kept)
            run.Comment = std::string(TrimSpaces(f.field[at]));
        if (values > 0) {
            out.Runs.push_back(std::move(run));
            out.Shapes.push_back(shape);
        }
        if (taken > 0) {
            ++out.LinesRead;
            if (timeNote)
                report.SetFirst(
                    timeText.empty()
                        ? TranslatedText(QT_TRANSLATE_NOOP("Core", "no time, 12:00:00 taken"))
                        : Fill(QT_TRANSLATE_NOOP("Core", "%1 is not a time (expected %2), 12:00:00 taken"),
                               Quote(timeText), Regional.TimeFormat));
        } else {
            if (timeNote) report.DropFirst();
            report.Part(TranslatedText(report.Empty() ? QT_TRANSLATE_NOOP("Core", "no value, line skipped")
                                                      : QT_TRANSLATE_NOOP("Core", "line skipped")));
            ++out.LinesSkipped;
        }
        report.EndLine(lineNumber);
    }

    if (onlyOther > 0) {
        out.Runs.clear();
        out.Shapes.clear();
        out.LinesRead = 0;
        out.Refused = true;
        const std::string expected = Regional.WrittenDateFormat(), other = otherOrder.WrittenDateFormat();
        out.NothingRead =
            onlyExpected > 0
                ? Fill(QT_TRANSLATE_NOOP("Core",
                                         "Nothing imported: the dates are written in two orders. The date "
                                         "of line %1 (%2) fits only %3, that of line %4 (%5) only %6."),
                       std::to_string(onlyExpected), onlyExpectedText, expected, std::to_string(onlyOther),
                       onlyOtherText, other)
                : Fill(QT_TRANSLATE_NOOP("Core",
                                         "Nothing imported: the dates are written as %1, not as %2 (line "
                                         "%3: %4); read the file with the date format %1."),
                       other, expected, std::to_string(onlyOther), onlyOtherText);
    } else if (out.LinesRead == 0) {
        if (IsBlank(text)) {
            out.NothingRead =
                TranslatedText(QT_TRANSLATE_NOOP("Core", "Nothing to import: the text is empty."));
        } else {
            const char* fields = levels == 1   ? QT_TRANSLATE_NOOP("Core", "third field")
                                 : levels == 2 ? QT_TRANSLATE_NOOP("Core", "third or fourth field")
                                               : QT_TRANSLATE_NOOP("Core", "third, fourth or fifth field");
            out.NothingRead = Fill(
                QT_TRANSLATE_NOOP("Core", "Nothing to import: a line is read when its first field is a date "
                                          "written as %1 and its %2 a number written as %3, the fields "
                                          "separated by tabs and the line ended by a line break."),
                Regional.WrittenDateFormat(), TranslatedText(fields), expectedNumber);
        }
    }
    return out;
}
