// The program folder's lock, with open-file-description locks so that two programs in one process
// tree or on two workstations exclude each other, and a dead process holds nothing.
#include "UFolderLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

bool TFolderLock::Acquire(const std::string& folder, std::string& error) {
    if (Held()) return true;
    heldElsewhere_ = false;
    std::string path = folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += LockFileName;
    // Made with the umask, as every file of the folder: in a folder shared by a group, each member
    // must be able to take the lock after another.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = "Cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;
    if (::fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        int err = errno;
        ::close(fd);
        heldElsewhere_ = err == EAGAIN || err == EACCES;
        if (heldElsewhere_)
            error = "Another Varnholt program is already using the folder " + folder;
        else
            error = "Cannot lock " + path + ": " + std::strerror(err);
        return false;
    }
    fd_ = fd;
    return true;
}

void TFolderLock::Release() {
    if (fd_ < 0) return;
    ::close(fd_); // closing the last descriptor of the description releases the lock
    fd_ = -1;
}

bool TFolderLock::HeldByAnother(const std::string& folder) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += LockFileName;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    const bool held = ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    ::close(fd);
    return held;
}
