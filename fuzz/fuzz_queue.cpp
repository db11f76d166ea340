// Fuzz target: the queue file reader on any bytes; what it accepts must write and read back the same.
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string_view>

#include "UFifoResult.h"
#include "UQcError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<TResu> entries;
    try {
        entries = ParseQueueImage(bytes);
    } catch (const EQcError&) {
        return 0;
    }
    std::string once = QueueImage(std::deque<TResu>(entries.begin(), entries.end()));
    std::vector<TResu> again = ParseQueueImage(once);
    if (again.size() != entries.size() || QueueImage(std::deque<TResu>(again.begin(), again.end())) != once)
        std::abort();
    return 0;
}
