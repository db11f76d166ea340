// Fuzz target: the data file readers on any bytes. The reader of a file in pieces accepts exactly
// what the reader of a whole image accepts, with the same lists; what they accept must write and
// read back the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

#include "UDataLoadSave.h"
#include "UQcError.h"

namespace {
// The bytes as a file, read by ReadDataFile into the global lists; false when refused.
bool ReadAsFile(std::string_view bytes) {
    int fd = ::memfd_create("fuzz_datafile", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<size_t>(n);
    }
    bool read = true;
    try {
        ReadDataFile("/proc/self/fd/" + std::to_string(fd));
    } catch (const EQcError&) {
        read = false;
    }
    ::close(fd);
    return read;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TListSerum serum;
    TListAnalytes analytes;
    bool parsed = true;
    try {
        ParseDataImage(bytes, serum, analytes);
    } catch (const EQcError&) {
        parsed = false;
    }
    if (ReadAsFile(bytes) != parsed) std::abort();
    if (!parsed) return 0;
    // Once written by the program, a file reads back to exactly the same image.
    std::string once = DataImage(serum, analytes);
    if (DataImage(ListSerum, ListAnalytes) != once) std::abort();
    TListSerum serum2;
    TListAnalytes analytes2;
    ParseDataImage(once, serum2, analytes2);
    if (DataImage(serum2, analytes2) != once) std::abort();
    return 0;
}
