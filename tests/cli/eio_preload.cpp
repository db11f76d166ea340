// Loaded into the companion by the tests (LD_PRELOAD): opening a file or folder whose path ends with
// the text of VARNHOLT_TEST_EIO fails with EIO, as on a failing disk; the first VARNHOLT_TEST_EIO_SKIP
// such opens succeed.
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>

namespace {
bool Failing(const char* path) {
    const char* end = std::getenv("VARNHOLT_TEST_EIO");
    if (!end || !*end || !path) return false;
    const size_t n = std::strlen(path), m = std::strlen(end);
    if (n < m || std::strcmp(path + n - m, end) != 0) return false;
    static int skip =
        std::getenv("VARNHOLT_TEST_EIO_SKIP") ? std::atoi(std::getenv("VARNHOLT_TEST_EIO_SKIP")) : 0;
    if (skip > 0) {
        --skip;
        return false;
    }
    errno = EIO;
    return true;
}

template <typename F> F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

int ModeOf(int flags, va_list ap) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(ap, int) : 0;
}
} // namespace

extern "C" {
int open(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    const int mode = ModeOf(flags, ap);
    va_end(ap);
    if (Failing(path)) return -1;
    static auto real = Next<int (*)(const char*, int, ...)>("open");
    return real(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    const int mode = ModeOf(flags, ap);
    va_end(ap);
    if (Failing(path)) return -1;
    static auto real = Next<int (*)(const char*, int, ...)>("open64");
    return real(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    const int mode = ModeOf(flags, ap);
    va_end(ap);
    if (Failing(path)) return -1;
    static auto real = Next<int (*)(int, const char*, int, ...)>("openat");
    return real(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    const int mode = ModeOf(flags, ap);
    va_end(ap);
    if (Failing(path)) return -1;
    static auto real = Next<int (*)(int, const char*, int, ...)>("openat64");
    return real(dir, path, flags, mode);
}

// What fortified callers call when the flags are not known at compile time.
int __open_2(const char* path, int flags) {
    if (Failing(path)) return -1;
    static auto real = Next<int (*)(const char*, int)>("__open_2");
    return real(path, flags);
}

int __open64_2(const char* path, int flags) {
    if (Failing(path)) return -1;
    static auto real = Next<int (*)(const char*, int)>("__open64_2");
    return real(path, flags);
}

DIR* opendir(const char* path) {
    if (Failing(path)) return nullptr;
    static auto real = Next<DIR* (*)(const char*)>("opendir");
    return real(path);
}
}
