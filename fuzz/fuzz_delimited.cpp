// Fuzz target: delimited instrument text read through a column mapping chosen by the first byte.
#include "FuzzInstrument.h"
#include "UInstrumentDelimited.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    TInstrumentSource s;
    s.Id = "fuzz";
    const uint8_t k = data[0];
    s.Separator = "\0\t;,"[k & 3];
    s.HeaderLine = (k & 4) != 0;
    s.DecimalMark = (k & 8) ? ',' : '.';
    s.DateFormat = (k & 16) ? "dd.MM.yyyy" : "yyyy-MM-dd";
    s.Encoding = (k & 32) ? "auto" : "utf-8";
    if (s.HeaderLine && (k & 64)) {
        s.Columns = {"Instrument", "Test", "Lot", "Level", "Value", "Date", "Time", "Operator"};
    } else {
        s.Columns = {"1", "2", "3", "4", "5", "6", (k & 128) ? "7" : "", "8"};
    }
    CheckBatch([&](std::string_view text) { return ReadDelimitedText(text, s); }, data + 1, size - 1);
    return 0;
}
