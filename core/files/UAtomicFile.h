// Whole-file reads and atomic whole-file writes: temporary file, fsync, rename, fsync of the folder.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <thread>
#include <vector>

#include "UQcError.h"

// A file that could not be read (the system's error, an I/O error say): nothing is known of its
// contents, so it is never taken for a damaged file.
class EUnreadable : public EQcError {
public:
    using EQcError::EQcError;
};

// Reads a whole file; throws EUnreadable naming the file and the system's reason.
std::string ReadWholeFile(const std::string& path);
// The same, refusing a path that is a symbolic link (ELOOP).
std::string ReadWholeFileNoLink(const std::string& path);

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
// The temporary file has an unpredictable name beside the target and is created exclusively, never
// through a link. A new file is created with the process's umask; a replaced file keeps its mode,
// owner and group as far as the system allows. A target that is a symbolic link is updated at the
// file it points to, so the link stays.
// Secrets (settings, database and its copies): no access for others, and none for the group unless
// it may write too: 0600 under umask 022, 0660 under 002.
mode_t PrivateMode(mode_t mode);
// The mode of a new private file under the present umask.
mode_t PrivateNewFileMode();

struct TWriteOptions {
    // Others get no access (the settings file holds the password): 0600, or 0660 with a group umask.
    bool NoOthers = false;
};
void AtomicWriteFile(const std::string& path, std::string_view bytes, TWriteOptions options = {});

// Appends bytes to an existing file that holds `size` bytes, and syncs it. A file of another size is
// refused; on a failure the file is cut back to `size` as far as the system allows. For files whose
// reader tells a cut entry from a whole one and whose writer recorded `size` before (see the queue file).
// Throws EQcError naming the file and the reason.
void AppendToFile(const std::string& path, uint64_t size, std::string_view bytes);

// The same write with the bytes handed over in pieces, so that a large file never needs its whole
// image in memory: the temporary file is made at construction, each Write appends to it, Commit
// syncs it and renames it over the target. Destroyed without Commit, or after any failure, the
// temporary file is removed and the target left as it was. Throws EQcError as AtomicWriteFile.
class TAtomicWriter {
public:
    explicit TAtomicWriter(const std::string& path, TWriteOptions options = {});
    ~TAtomicWriter();
    TAtomicWriter(const TAtomicWriter&) = delete;
    TAtomicWriter& operator=(const TAtomicWriter&) = delete;

    void Write(std::string_view bytes);
    // Hands the bytes to `observer` in order as they reach the file, from now on: on a thread of the
    // writer's for a large file; all of them by the time StartSync or Sync returns.
    void Observe(std::function<void(std::string_view)> observer) { observer_ = std::move(observer); }
    // Bytes written so far.
    size_t Size() const { return written_; }
    // Syncs the temporary file; the target is still the old file. Commit calls it when not done.
    void Sync();
    // Starts Sync on a thread of its own, so that the wait for the disk goes with other work (the
    // journal's own sync); Sync and Commit wait for it and report its failure. No Write after it.
    void StartSync();
    // Renames the temporary file over the target and syncs the folder.
    void Commit();

private:
    struct TBackground;
    [[noreturn]] void Abandon(int err);
    void Hand(const char* bytes, size_t n);
    void WriteInBackground(TBackground& b);
    void FinishBackground();
    void StopBackground();
    std::string path_, target_, tmp_;
    int fd_ = -1;
    bool injectWrite_ = false, synced_ = false;
    size_t written_ = 0, writebackFrom_ = 0, replacedSize_ = 0;
    std::thread syncing_;
    int syncError_ = 0;
    std::function<void(std::string_view)> observer_;
    std::unique_ptr<TBackground> background_;
};

// True for the names of the program's own temporary files: name + ".tmp-" + digits + "-" + 8 hex
// digits, as AtomicWriteFile makes them.
bool IsOwnTemporaryName(std::string_view fileName);
// Removes the program's temporary files that a killed save left in the folder; returns their names.
std::vector<std::string> RemoveLeftoverTemporaryFiles(const std::string& folder);

// rename() and link() as the backup rotation uses them, with the fault injection below; 0 or errno.
int RenameFile(const std::string& from, const std::string& to);
int LinkFile(const std::string& from, const std::string& to);

// Fault injection, installed by tests only: the step at which the next writes fail. Rename and Link also fail
// the two calls above when their target matches.
enum class TWriteStep { Open, Write, Sync, Rename, SyncFolder, Link };
struct TWriteFaults {
    bool enabled = false;
    TWriteStep failAt = TWriteStep::Write;
    size_t failAfterBytes = 0; // for Write: bytes written before the failure
    // Only writes whose target name ends with this text fail (all when empty).
    std::string onlyTarget{};
    // LinkFile fails as on a file system without hard links, whatever failAt says.
    bool noLinks = false;
    // How many more injected failures (-1: every matching step fails), so that a rollback's own
    // step can be let through.
    int remaining = -1;
    // AppendToFile ends the process (_exit) where its failure would be, as a kill at that moment.
    bool exitInstead = false;
};
// Installs the faults every later write consults (not owned); nullptr, as in the program, injects none.
void SetWriteFaults(TWriteFaults* faults);
