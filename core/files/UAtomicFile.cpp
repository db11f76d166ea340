// Atomic saves with POSIX calls, so that fsync and rename are really done.
#include "UAtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/random.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "UQcError.h"
#include "UTexts.h"

namespace {
// None in the program: only tests install faults.
TWriteFaults* installedFaults = nullptr;
} // namespace

void SetWriteFaults(TWriteFaults* faults) {
    installedFaults = faults;
}

namespace {
[[noreturn]] void Fail(const std::string& path, int err) {
    throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: %2"), path, std::strerror(err)), path,
                   std::strerror(err));
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}
} // namespace

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {
// Reads a whole file into a buffer with data(), size() and Grow(size) that keeps what it holds.
template <typename Buffer> void ReadInto(const std::string& path, Buffer& data, int flags = 0) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0)
        throw EUnreadable(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1: %2"), path, std::strerror(errno)),
                          path, std::strerror(errno));
    // Read straight into a buffer of the file's size (one more byte shows whether it grew since).
    struct stat st;
    size_t room = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 65536;
    data.Grow(room);
    size_t done = 0;
    for (;;) {
        if (done == data.size()) data.Grow(data.size() * 2);
        ssize_t n = ::read(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            throw EUnreadable(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1: %2"), path, std::strerror(err)),
                              path, std::strerror(err));
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    data.Shrink(done);
}

struct TStringBuffer {
    std::string s;
    char* data() { return s.data(); }
    size_t size() const { return s.size(); }
    void Grow(size_t n) { s.resize(n); }
    void Shrink(size_t n) { s.resize(n); }
};
} // namespace

// The buffer is not cleared before the read fills it: for a large file, clearing costs about as
// much as the read itself.
struct TFileBytes::TBuffer {
    TFileBytes& f;
    size_t room = 0;
    char* data() { return f.data_.get(); }
    size_t size() const { return room; }
    void Grow(size_t n) {
        std::unique_ptr<char[]> bigger(new char[n]);
        if (f.data_) std::memcpy(bigger.get(), f.data_.get(), room);
        f.data_ = std::move(bigger);
        room = n;
    }
    void Shrink(size_t n) { f.size_ = n; }
};

TFileBytes ReadFileBytes(const std::string& path) {
    TFileBytes f;
    TFileBytes::TBuffer buffer{f};
    ReadInto(path, buffer);
    return f;
}

std::string ReadWholeFile(const std::string& path) {
    TStringBuffer buffer;
    ReadInto(path, buffer);
    return std::move(buffer.s);
}

std::string ReadWholeFileNoLink(const std::string& path) {
    TStringBuffer buffer;
    ReadInto(path, buffer, O_NOFOLLOW);
    return std::move(buffer.s);
}

namespace {
// The file a write lands in: the target itself, or the file a symbolic link named as target points to.
std::string RealTarget(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: it is a link to a missing file"), path), path,
            "");
    std::string real = resolved;
    std::free(resolved);
    return real;
}

std::string RandomSuffix() {
    uint32_t r = 0;
    if (::getrandom(&r, sizeof r, 0) != static_cast<ssize_t>(sizeof r))
        r = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", r);
    return hex;
}

// A replaced file is freed at the last close of it: for a large file that takes about as long as
// writing it did (its cached pages and its blocks), so a thread of its own closes it.
void CloseReplacedLater(int fd) {
    try {
        std::thread([fd] { ::close(fd); }).detach();
    } catch (const std::system_error&) {
        ::close(fd);
    }
}

// Files that replace one at least this large are written with the care below (blocks reserved at
// once, written on a thread of the writer's, the replaced file freed on a thread).
constexpr size_t LargeFile = size_t{4} << 20;

// All n bytes to the file at its end; 0 or the errno of the failure.
int WriteAll(int fd, const char* bytes, size_t n) {
    for (size_t done = 0; done < n;) {
        ssize_t got = ::write(fd, bytes + done, n - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<size_t>(got);
    }
    return 0;
}

// A large file goes to the disk while the rest of it is still being made: the sync at the end then
// waits only for the last part.
constexpr size_t WritebackStep = size_t{8} << 20;

mode_t CurrentUmask() {
    mode_t m = ::umask(022);
    ::umask(m);
    return m;
}
} // namespace

mode_t PrivateMode(mode_t mode) {
    mode &= ~static_cast<mode_t>(0007);
    // The group keeps its access only where it may write (a folder shared by a group, umask 002).
    if ((mode & 0020) == 0) mode &= ~static_cast<mode_t>(0070);
    return mode;
}

mode_t PrivateNewFileMode() {
    return PrivateMode(0666 & ~CurrentUmask());
}

namespace {
bool InjectedFor(const std::string& target, TWriteStep step) {
    if (!installedFaults) return false;
    TWriteFaults& f = *installedFaults;
    if (!f.enabled || f.failAt != step || f.remaining == 0 ||
        !(f.onlyTarget.empty() || target.ends_with(f.onlyTarget)))
        return false;
    if (f.remaining > 0) --f.remaining;
    return true;
}
} // namespace

void AppendToFile(const std::string& path, uint64_t size, std::string_view bytes) {
    if (InjectedFor(path, TWriteStep::Open)) Fail(path, EACCES);
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) Fail(path, errno);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) != size) {
        ::close(fd);
        Fail(path, ESTALE);
    }
    size_t limit = bytes.size();
    int err = 0;
    const bool exits = installedFaults && installedFaults->exitInstead;
    if (installedFaults && InjectedFor(path, TWriteStep::Write)) {
        limit = std::min(limit, installedFaults->failAfterBytes);
        err = ENOSPC;
    }
    for (size_t done = 0; done < limit;) {
        ssize_t got = ::pwrite(fd, bytes.data() + done, limit - done, static_cast<off_t>(size + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        done += static_cast<size_t>(got);
    }
    if (err && exits) ::_exit(9);
    if (!err && InjectedFor(path, TWriteStep::Sync)) {
        if (exits) ::_exit(9);
        err = EIO;
    }
    if (!err && ::fdatasync(fd) != 0) err = errno;
    if (err) {
        // The file as it was: its reader would take the cut entry for damage.
        if (::ftruncate(fd, static_cast<off_t>(size)) == 0) ::fdatasync(fd);
        ::close(fd);
        Fail(path, err);
    }
    if (::close(fd) != 0) Fail(path, errno);
}

int RenameFile(const std::string& from, const std::string& to) {
    if (InjectedFor(to, TWriteStep::Rename)) return EIO;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int LinkFile(const std::string& from, const std::string& to) {
    if (InjectedFor(to, TWriteStep::Link) ||
        (installedFaults && installedFaults->enabled && installedFaults->noLinks))
        return EPERM;
    return ::link(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool IsOwnTemporaryName(std::string_view name) {
    size_t at = name.rfind(".tmp-");
    if (at == std::string_view::npos || at == 0) return false;
    std::string_view rest = name.substr(at + 5);
    size_t dash = rest.find('-');
    if (dash == std::string_view::npos || dash == 0 || rest.size() - dash - 1 != 8) return false;
    for (size_t i = 0; i < rest.size(); ++i) {
        char c = rest[i];
        if (i < dash ? !(c >= '0' && c <= '9')
                     : i > dash && !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

std::vector<std::string> RemoveLeftoverTemporaryFiles(const std::string& folder) {
    std::vector<std::string> removed;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!IsOwnTemporaryName(name)) continue;
        struct stat st;
        if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (::unlink(it->path().c_str()) == 0) removed.push_back(name);
    }
    return removed;
}

void AtomicWriteFile(const std::string& path, std::string_view bytes, TWriteOptions options) {
    TAtomicWriter file(path, options);
    file.Write(bytes);
    file.Commit();
}

// A large file is written on a thread of its own while the caller makes the next pieces: the copy into
// the page cache and the start of its write-back then cost the caller nothing. Pieces are gathered in
// buffers of a megabyte; a few at most wait for the thread.
struct TAtomicWriter::TBackground {
    static constexpr size_t Buffer = size_t{1} << 20;
    static constexpr size_t MostWaiting = 4;
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::string> full;
    std::vector<std::string> spare;
    std::string current;
    bool ending = false;
    int error = 0;
    std::thread thread;
};

TAtomicWriter::TAtomicWriter(const std::string& path, TWriteOptions options)
    : path_(path), target_(RealTarget(path)) {
    struct stat old;
    const bool replacing = ::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    mode_t mode = replacing ? (old.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (options.NoOthers) mode = PrivateMode(mode);
    replacedSize_ = replacing ? static_cast<size_t>(old.st_size) : 0;

    for (int attempt = 0; fd_ < 0 && attempt < 16; ++attempt) {
        tmp_ = target_ + ".tmp-" + std::to_string(::getpid()) + "-" + RandomSuffix();
        fd_ = InjectedFor(path_, TWriteStep::Open)
                  ? (errno = EACCES, -1)
                  : ::open(tmp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        const int err = errno;
        tmp_.clear();
        Fail(path_, err);
    }
    // Mode, owner and group of the file replaced (or the umask's mode for a new file); a user who
    // may not give the file away keeps at least its group when a member of it.
    if (replacing && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        ::fchown(fd_, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] int groupOnly = ::fchown(fd_, static_cast<uid_t>(-1), old.st_gid);
    }
    ::fchmod(fd_, mode);
    injectWrite_ = InjectedFor(path_, TWriteStep::Write);
    // The blocks of a large file reserved at once, as many as the file replaced had (a new image is
    // about as large): its writes then skip the reservation of every page. What is left over beyond
    // the end is given back before the sync; a file system that cannot reserve is simply written.
    if (replacedSize_ >= LargeFile) {
        [[maybe_unused]] int reserved =
            ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(replacedSize_));
        try {
            auto b = std::make_unique<TBackground>();
            b->current.reserve(TBackground::Buffer);
            b->thread = std::thread([this, raw = b.get()] { WriteInBackground(*raw); });
            background_ = std::move(b);
        } catch (const std::system_error&) {
            // No thread: written by the caller.
        }
    }
}

TAtomicWriter::~TAtomicWriter() {
    StopBackground();
    if (syncing_.joinable()) syncing_.join();
    if (fd_ >= 0) ::close(fd_);
    if (!tmp_.empty()) ::unlink(tmp_.c_str());
}

void TAtomicWriter::Abandon(int err) {
    StopBackground();
    if (syncing_.joinable()) syncing_.join();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tmp_.empty()) ::unlink(tmp_.c_str());
    tmp_.clear();
    Fail(path_, err);
}

void TAtomicWriter::Write(std::string_view bytes) {
    if (fd_ < 0 || synced_ || syncing_.joinable()) Abandon(EBADF);
    size_t limit = bytes.size();
    const size_t failAfter = injectWrite_ && installedFaults ? installedFaults->failAfterBytes : 0;
    const size_t allowed = failAfter > written_ ? failAfter - written_ : 0;
    const bool fails = injectWrite_ && allowed < limit;
    if (fails) limit = allowed;
    if (background_) {
        Hand(bytes.data(), limit);
    } else if (int err = WriteAll(fd_, bytes.data(), limit)) {
        Abandon(err);
    } else if (observer_) {
        observer_(bytes.substr(0, limit));
    }
    written_ += limit;
    if (fails) Abandon(ENOSPC);
    if (!background_ && written_ - writebackFrom_ >= WritebackStep) {
        ::sync_file_range(fd_, static_cast<off_t>(writebackFrom_),
                          static_cast<off_t>(written_ - writebackFrom_), SYNC_FILE_RANGE_WRITE);
        writebackFrom_ = written_;
    }
}

// Copies the bytes into the buffers of the writing thread, handing it each one filled.
void TAtomicWriter::Hand(const char* bytes, size_t n) {
    TBackground& b = *background_;
    while (n > 0) {
        const size_t m = std::min(n, TBackground::Buffer - b.current.size());
        b.current.append(bytes, m);
        bytes += m;
        n -= m;
        if (b.current.size() < TBackground::Buffer) break;
        int error = 0;
        {
            std::unique_lock lock(b.m);
            b.cv.wait(lock, [&b] { return b.full.size() < TBackground::MostWaiting || b.error != 0; });
            error = b.error;
            if (!error) {
                b.full.push_back(std::move(b.current));
                if (b.spare.empty()) {
                    b.current = std::string();
                } else {
                    b.current = std::move(b.spare.back());
                    b.spare.pop_back();
                }
            }
        }
        if (error) Abandon(error);
        b.cv.notify_all();
        if (b.current.capacity() < TBackground::Buffer) b.current.reserve(TBackground::Buffer);
    }
}

// The writing thread: the buffers in order, each returned empty; it stops at the first failure.
void TAtomicWriter::WriteInBackground(TBackground& b) {
    size_t done = 0, writebackFrom = 0;
    for (;;) {
        std::string piece;
        {
            std::unique_lock lock(b.m);
            b.cv.wait(lock, [&b] { return !b.full.empty() || b.ending; });
            if (b.full.empty()) return;
            piece = std::move(b.full.front());
            b.full.pop_front();
        }
        const int error = WriteAll(fd_, piece.data(), piece.size());
        if (!error && observer_) observer_(piece);
        done += piece.size();
        if (!error && done - writebackFrom >= WritebackStep) {
            ::sync_file_range(fd_, static_cast<off_t>(writebackFrom),
                              static_cast<off_t>(done - writebackFrom), SYNC_FILE_RANGE_WRITE);
            writebackFrom = done;
        }
        {
            std::lock_guard lock(b.m);
            piece.clear();
            b.spare.push_back(std::move(piece));
            if (error) {
                b.error = error;
                b.full.clear();
            }
        }
        b.cv.notify_all();
        if (error) return;
    }
}

// Hands over what is left, waits for the thread to write it all, and reports its failure.
void TAtomicWriter::FinishBackground() {
    if (!background_) return;
    TBackground& b = *background_;
    {
        std::lock_guard lock(b.m);
        if (!b.current.empty() && b.error == 0) b.full.push_back(std::move(b.current));
        b.ending = true;
    }
    b.cv.notify_all();
    b.thread.join();
    const int error = b.error;
    background_.reset();
    if (error) Abandon(error);
}

// Stops the thread, dropping what it was still to write.
void TAtomicWriter::StopBackground() {
    if (!background_) return;
    TBackground& b = *background_;
    {
        std::lock_guard lock(b.m);
        b.full.clear();
        b.ending = true;
    }
    b.cv.notify_all();
    b.thread.join();
    background_.reset();
}

void TAtomicWriter::StartSync() {
    if (synced_ || syncing_.joinable() || fd_ < 0) return; // Sync reports those
    FinishBackground();
    if (injectWrite_) return;
    // Blocks reserved beyond the end (see the constructor) are given back first.
    if (written_ < replacedSize_ && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0) Abandon(errno);
    if (InjectedFor(path_, TWriteStep::Sync)) Abandon(EIO);
    try {
        syncing_ = std::thread([this] { syncError_ = ::fsync(fd_) == 0 ? 0 : errno; });
    } catch (const std::system_error&) {
        // No thread: Sync does it when called.
    }
}

void TAtomicWriter::Sync() {
    if (synced_) return;
    if (syncing_.joinable()) {
        syncing_.join();
        if (syncError_ != 0) Abandon(syncError_);
    } else {
        if (fd_ < 0) Abandon(EBADF);
        if (injectWrite_) Abandon(ENOSPC);
        FinishBackground();
        if (written_ < replacedSize_ && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0) Abandon(errno);
        if (InjectedFor(path_, TWriteStep::Sync)) Abandon(EIO);
        if (::fsync(fd_) != 0) Abandon(errno);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Abandon(errno);
    synced_ = true;
}

void TAtomicWriter::Commit() {
    Sync();
    // Held open across the rename, so that freeing a large replaced file does not delay the save.
    const int replaced = replacedSize_ >= LargeFile ? ::open(target_.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    const bool renameFails = InjectedFor(path_, TWriteStep::Rename);
    if (renameFails || ::rename(tmp_.c_str(), target_.c_str()) != 0) {
        const int err = renameFails ? EXDEV : errno;
        if (replaced >= 0) ::close(replaced);
        Abandon(err);
    }
    tmp_.clear();
    // The rename is durable only once the folder itself is synced. The new file is in place by now:
    // a failure here is not reported as a failed write, which would tell the caller that the old
    // contents are still there.
    int dfd = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        if (!InjectedFor(path_, TWriteStep::SyncFolder)) ::fsync(dfd);
        ::close(dfd);
    }
    if (replaced >= 0) CloseReplacedLater(replaced);
}
