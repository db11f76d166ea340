// Fuzz target: HL7 messages, with or without MLLP blocks, the control field and QC option chosen by the
// first byte.
#include "FuzzInstrument.h"
#include "UInstrumentHl7.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    TInstrumentSource s;
    s.Id = "fuzz";
    const uint8_t k = data[0];
    s.Hl7ControlField = (k & 1) ? "OBR-3.1" : "SPM-2.1.1";
    s.Hl7LevelField = (k & 2) ? "OBX-4" : "";
    s.AllResultsAreQc = (k & 4) != 0;
    s.Encoding = (k & 8) ? "auto" : "windows-1252";
    CheckBatch([&](std::string_view text) { return ReadHl7Text(text, s); }, data + 1, size - 1);
    return 0;
}
