// Reading delimited text from an instrument's middleware through a column mapping.
#include "UInstrumentDelimited.h"

#include <algorithm>
#include <span>

#include "UInstrumentText.h"
#include "UTexts.h"
#include "UUtilitaires.h"

using namespace instrument;

namespace {

// The most frequent of tab, semicolon and comma outside quotes (tab first on a tie); 0 when none.
char DetectSeparator(std::string_view line) {
    const char candidates[] = {'\t', ';', ','};
    size_t counts[3] = {};
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        for (size_t k = 0; k < 3 && !quoted; ++k)
            if (c == candidates[k]) ++counts[k];
    }
    size_t best = 0;
    for (size_t k = 1; k < 3; ++k)
        if (counts[k] > counts[best]) best = k;
    return counts[best] > 0 ? candidates[best] : 0;
}

// Drops a fraction of a second ("08:15:30.250"), which the time reader does not take.
std::string DropFraction(std::string t) {
    int groups = 0;
    for (size_t i = 0; i < t.size();) {
        if (!std::isdigit(static_cast<unsigned char>(t[i]))) {
            ++i;
            continue;
        }
        ++groups;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
        if (groups == 3 && i + 1 < t.size() && (t[i] == '.' || t[i] == ',') &&
            std::isdigit(static_cast<unsigned char>(t[i + 1]))) {
            size_t j = i + 1;
            while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) ++j;
            t.erase(i, j - i);
        }
    }
    return t;
}

struct TColumn {
    const std::string* Ref;
    const char* What;
    bool Required;
    int Index = -1; // 0-based, -1 when the file has no such column
};

// Each mapped column's place, by number or by the header's name; the number of fields a line needs.
// Throws EQcError for a required column left unmapped or a mapping that names no column.
size_t PlaceMappedColumns(std::span<TColumn> columns, const TInstrumentSource& source,
                          const std::vector<std::string>& header) {
    size_t needed = 0;
    for (TColumn& col : columns) {
        std::string ref = Trim(*col.Ref);
        if (ref.empty()) {
            if (col.Required)
                throw EQcError(
                    Fill(QT_TRANSLATE_NOOP("Core", "The column mapping gives no column for the %1."),
                         TranslatedText(col.What)));
            continue;
        }
        if (std::all_of(ref.begin(), ref.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
            if (ref.size() > 4 || std::stoi(ref) < 1)
                throw EQcError(Fill(
                    QT_TRANSLATE_NOOP("Core", "The column mapping's %1 column %2 is not a column number."),
                    TranslatedText(col.What), ref));
            col.Index = std::stoi(ref) - 1;
        } else {
            if (!source.HeaderLine)
                throw EQcError(Fill(
                    QT_TRANSLATE_NOOP(
                        "Core",
                        "The column mapping names the %1 column \"%2\", but the files have no header line."),
                    TranslatedText(col.What), ref));
            auto it = std::find(header.begin(), header.end(), UpperCase(ref));
            if (it == header.end())
                throw EQcError(
                    Fill(QT_TRANSLATE_NOOP("Core", "The header line has no column \"%1\" (the %2)."), ref,
                         TranslatedText(col.What)));
            col.Index = static_cast<int>(it - header.begin());
        }
        needed = std::max(needed, static_cast<size_t>(col.Index) + 1);
    }
    return needed;
}

} // namespace

TInstrumentBatch ReadDelimitedText(std::string_view bytes, const TInstrumentSource& source) {
    TInstrumentBatch batch;
    batch.Format = TInstrumentFormat::Delimited;
    batch.Fingerprint = InstrumentFingerprint(bytes, {});
    const TEncoding enc = ChooseEncoding(bytes, source.Encoding);
    const TLineIndex index(bytes);
    size_t offset = 0;
    std::string_view body = SkipBom(bytes, offset);
    bool ended = false;
    std::vector<TPiece> rows;
    for (const TPiece& p : SplitLines(body, offset, ended))
        if (!Trim(p.Text).empty()) rows.push_back(p);
    if (rows.empty()) return batch;

    const char sep = source.Separator ? source.Separator : DetectSeparator(rows[0].Text);
    if (sep == 0)
        throw EQcError(
            QT_TRANSLATE_NOOP("Core", "No column separator (tab, semicolon or comma) in the first line."));
    std::vector<std::string> header;
    if (source.HeaderLine) {
        bool unclosed = false;
        for (const std::string& f : SplitQuoted(rows[0].Text, sep, unclosed))
            header.push_back(UpperCase(CleanText(f, enc)));
    }

    const auto& c = source.Columns;
    TColumn columns[] = {{&c.Instrument, QT_TRANSLATE_NOOP("Core", "instrument"), false},
                         {&c.TestCode, QT_TRANSLATE_NOOP("Core", "test code"), true},
                         {&c.Control, QT_TRANSLATE_NOOP("Core", "control"), false},
                         {&c.Level, QT_TRANSLATE_NOOP("Core", "level"), false},
                         {&c.Value, QT_TRANSLATE_NOOP("Core", "value"), true},
                         {&c.Date, QT_TRANSLATE_NOOP("Core", "date"), true},
                         {&c.Time, QT_TRANSLATE_NOOP("Core", "time"), false},
                         {&c.Operator, QT_TRANSLATE_NOOP("Core", "operator"), false}};
    const size_t needed = PlaceMappedColumns(columns, source, header);
    auto [instrument, test, control, level, value, date, time, op] = columns;
    TRegional dates;
    dates.ShortDateFormat = source.DateFormat;

    for (size_t k = source.HeaderLine ? 1 : 0; k < rows.size(); ++k) {
        const bool last = k + 1 == rows.size() && !ended;
        const int line = index.LineOf(rows[k].Offset);
        bool unclosed = false;
        std::vector<std::string> fields = SplitQuoted(rows[k].Text, sep, unclosed);
        if (last && (unclosed || fields.size() < needed))
            throw ETruncatedFile(
                Fill(QT_TRANSLATE_NOOP("Core", "The last line (%1) stops short of its columns: the "
                                               "file may still be being written."),
                     std::to_string(line)));
        if (unclosed) {
            batch.Faults.push_back(
                {line, TranslatedText(QT_TRANSLATE_NOOP("Core", "a quoted field is not closed"))});
            continue;
        }
        if (std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return Trim(f).empty(); }))
            continue;
        if (fields.size() < needed) {
            batch.Faults.push_back(
                {line, Fill(QT_TRANSLATE_NOOP("Core", "the line has %1 fields; the mapping reads "
                                                      "field %2"),
                            std::to_string(fields.size()), std::to_string(needed))});
            continue;
        }
        auto get = [&](const TColumn& col) {
            return col.Index < 0 ? std::string() : CleanText(fields[static_cast<size_t>(col.Index)], enc);
        };
        TInstrumentResult r;
        r.Source = source.Id;
        r.Instrument = get(instrument);
        r.TestCode = get(test);
        r.Control = get(control);
        r.Level = LevelOf(get(level));
        r.ValueText = get(value);
        r.Operator = get(op);
        r.Line = line;
        std::vector<std::string> reasons;
        if (r.TestCode.empty()) reasons.push_back(TranslatedText(QT_TRANSLATE_NOOP("Core", "no test code")));
        std::string why;
        if (!ReadValue(r.ValueText, source.DecimalMark, r.Value, why)) reasons.push_back(why);

        std::string dateText = get(date), timeText = get(time);
        if (time.Index < 0) {
            // Date and time in one column: "2024-03-05 08:15" or "2024-03-05T08:15:00".
            for (size_t i = 1; i < dateText.size(); ++i) {
                if ((dateText[i] == ' ' || dateText[i] == 'T') &&
                    std::isdigit(static_cast<unsigned char>(dateText[i - 1]))) {
                    timeText = Trim(dateText.substr(i + 1));
                    dateText = dateText.substr(0, i);
                    break;
                }
            }
        }
        std::optional<TDateTime> day = dates.TextToDate(dateText);
        std::optional<TDateTime> clock =
            timeText.empty() ? std::optional<TDateTime>(0.0) : dates.TextToTime(DropFraction(timeText));
        if (dateText.empty())
            reasons.push_back(TranslatedText(QT_TRANSLATE_NOOP("Core", "no date")));
        else if (!day)
            reasons.push_back(Fill(QT_TRANSLATE_NOOP("Core", "date %1 cannot be read as %2"),
                                   Quoted(dateText), source.DateFormat));
        if (time.Index >= 0 && timeText.empty())
            reasons.push_back(TranslatedText(QT_TRANSLATE_NOOP("Core", "no time")));
        else if (!clock)
            reasons.push_back(Fill(QT_TRANSLATE_NOOP("Core", "time %1 cannot be read"), Quoted(timeText)));
        if (!reasons.empty()) {
            std::string text;
            for (const std::string& s : reasons) text += (text.empty() ? "" : "; ") + s;
            batch.Faults.push_back({line, text});
            continue;
        }
        r.DateTime = ComposeDateTime(*day, *clock);
        instrument::CheckFileResults(batch);
        batch.Results.push_back(std::move(r));
    }
    return batch;
}
