// Atomic saves with POSIX calls, so that fsync and rename are really done.
#include "UAtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "UQcError.h"

TWriteFaults& WriteFaults() {
    static TWriteFaults faults;
    return faults;
}

namespace {
[[noreturn]] void Fail(const std::string& path, int err) {
    throw EQcError("Cannot write " + path + ": " + std::strerror(err));
}

bool Injected(TWriteStep step) {
    return WriteFaults().enabled && WriteFaults().failAt == step;
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
template <typename Buffer> void ReadInto(const std::string& path, Buffer& data) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw EQcError("Cannot read " + path + ": " + std::strerror(errno));
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
            throw EQcError("Cannot read " + path + ": " + std::strerror(err));
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

void AtomicWriteFile(const std::string& path, const std::string& bytes) {
    std::string tmp = path + ".tmp-" + std::to_string(::getpid());
    int fd = Injected(TWriteStep::Open) ? (errno = EACCES, -1)
                                        : ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail(path, errno);
    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(tmp.c_str());
        Fail(path, err);
    };
    size_t limit = bytes.size();
    bool injectWrite = Injected(TWriteStep::Write);
    if (injectWrite && WriteFaults().failAfterBytes < limit) limit = WriteFaults().failAfterBytes;
    size_t done = 0;
    while (done < limit) {
        ssize_t n = ::write(fd, bytes.data() + done, limit - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            abandon(errno);
        }
        done += static_cast<size_t>(n);
    }
    if (injectWrite) abandon(ENOSPC);
    if (Injected(TWriteStep::Sync) || ::fsync(fd) != 0) abandon(Injected(TWriteStep::Sync) ? EIO : errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        Fail(path, err);
    }
    if (Injected(TWriteStep::Rename) || ::rename(tmp.c_str(), path.c_str()) != 0) {
        int err = Injected(TWriteStep::Rename) ? EXDEV : errno;
        ::unlink(tmp.c_str());
        Fail(path, err);
    }
    // The rename is durable only once the folder itself is synced.
    int dfd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        bool failed = Injected(TWriteStep::SyncFolder) || ::fsync(dfd) != 0;
        int err = Injected(TWriteStep::SyncFolder) ? EIO : errno;
        ::close(dfd);
        if (failed) Fail(path, err);
    }
}
