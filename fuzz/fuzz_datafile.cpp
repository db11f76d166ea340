// Fuzz target: the data file reader on any bytes; what it accepts must write and read back the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "UDataLoadSave.h"
#include "UQcError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TListSerum serum;
    TListAnalytes analytes;
    try {
        ParseDataImage(bytes, serum, analytes);
    } catch (const EQcError&) {
        return 0;
    }
    // Once written by the program, a file reads back to exactly the same image.
    std::string once = DataImage(serum, analytes);
    TListSerum serum2;
    TListAnalytes analytes2;
    ParseDataImage(once, serum2, analytes2);
    if (DataImage(serum2, analytes2) != once) std::abort();
    return 0;
}
