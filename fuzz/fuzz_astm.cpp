// Fuzz target: ASTM messages, plain or framed, with the control field and QC option chosen by the first byte.
#include "FuzzInstrument.h"
#include "UInstrumentAstm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    TInstrumentSource s;
    s.Id = "fuzz";
    const uint8_t k = data[0];
    s.AstmControlField = (k & 1) ? "O-3" : "P-3.2";
    s.AstmLevelField = (k & 2) ? "O-3.2" : "";
    s.AllResultsAreQc = (k & 4) != 0;
    s.Encoding = (k & 8) ? "auto" : "windows-1252";
    CheckBatch([&](std::string_view text) { return ReadAstmText(text, s); }, data + 1, size - 1);
    return 0;
}
