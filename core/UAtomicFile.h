// Whole-file reads and atomic whole-file writes: temporary file, fsync, rename, fsync of the folder.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

// Reads a whole file; throws EQcError naming the file and the system's reason.
std::string ReadWholeFile(const std::string& path);

// A whole file's bytes, read without clearing the buffer first (for large files).
class TFileBytes {
public:
    std::string_view View() const { return {data_.get(), size_}; }

private:
    friend TFileBytes ReadFileBytes(const std::string& path);
    struct TBuffer;
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
};
// As ReadWholeFile.
TFileBytes ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);

// Writes bytes to path so that the file is either the old one or the complete new one, never a
// truncated mix. Throws EQcError naming the file and the reason; the temporary file is removed.
void AtomicWriteFile(const std::string& path, const std::string& bytes);

// Fault injection for tests: the step at which the next writes fail.
enum class TWriteStep { Open, Write, Sync, Rename, SyncFolder };
struct TWriteFaults {
    bool enabled = false;
    TWriteStep failAt = TWriteStep::Write;
    size_t failAfterBytes = 0; // for Write: bytes written before the failure
};
TWriteFaults& WriteFaults();
