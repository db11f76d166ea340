// Reading the tab-separated exchange text (spreadsheet files, the clipboard) into runs for the import.
#include "UImportText.h"

#include <cfloat>
#include <cmath>

#include "URegional.h"
#include "UUtilitaires.h"

namespace {

std::string_view TrimSpaces(std::string_view s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// A finite number that fits a single; anything else is no number.
bool ReadValueField(std::string_view field, float& value) {
    long double v = 0;
    if (!ParseDecimal(TrimSpaces(field), Regional.DecimalSeparator, v) || !(std::fabs(v) <= FLT_MAX))
        return false;
    value = static_cast<float>(v);
    return true;
}

} // namespace

TImportText ParseImportText(std::string_view text, int decimals) {
    TImportText out;
    size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    // Text from Linux programs ends its lines with line feeds only.
    const char eol = text.find('\r') == std::string_view::npos ? '\n' : '\r';

    TResu work;
    int valueCount = 0;
    int fieldIndex = 0;
    std::string display;
    std::string fieldText;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = pos;
        while (end < text.size() && text[end] != '\t' && text[end] != eol) ++end;
        if (end == text.size()) break; // a field that ends with the text ends no line
        std::string_view field = text.substr(pos, end - pos);
        char terminator = text[end];
        pos = end + 1;

        fieldText.clear();
        switch (fieldIndex) {
        case 0: {
            auto date = Regional.TextToDate(std::string(TrimSpaces(field)));
            if (!date) {
                // Not a date: the rest of the line is skipped and the line has no values.
                if (terminator == '\t') {
                    size_t next = text.find(eol, pos);
                    if (next == std::string_view::npos) return out;
                    pos = next + 1;
                    terminator = eol;
                }
            } else {
                work.DateTime = *date;
                fieldText = Regional.DateToText(*date);
            }
            break;
        }
        case 1: {
            auto time = Regional.TextToTime(std::string(TrimSpaces(field)));
            if (time) {
                work.DateTime = ComposeDateTime(work.DateTime, *time);
                fieldText = Regional.TimeToText(work.DateTime);
            } else {
                work.DateTime = ComposeDateTime(work.DateTime, 0.5);
                fieldText = "12:00:00";
            }
            break;
        }
        case 2:
        case 3:
        case 4: {
            LevelValue& lv = work.Levels[static_cast<size_t>(fieldIndex - 2)];
            float v = 0;
            if (ReadValueField(field, v)) {
                lv = {v, psInControl};
                ++valueCount;
                fieldText = FormatFixed(v, 8, decimals);
            } else {
                lv = {0, psEmpty};
            }
            break;
        }
        default:
            break;
        }

        ++fieldIndex;
        if (terminator == '\t') {
            if (fieldIndex <= 5) {
                display += fieldText;
                display += '\t';
            }
            continue;
        }
        // The line ends here.
        if (fieldIndex <= 5) {
            display += fieldText;
            for (int f = fieldIndex; f <= 4; ++f)
                if (f >= 2) work.Levels[static_cast<size_t>(f - 2)] = {0, psEmpty};
        }
        if (valueCount > 0) {
            out.Lines.push_back(display);
            out.Runs.push_back(work);
        }
        valueCount = 0;
        fieldIndex = 0;
        display.clear();
        if (eol == '\r')
            while (pos < text.size() && text[pos] == '\n') ++pos;
    }
    return out;
}
