// One program per folder: an open-file-description lock on the folder's lock file.
#pragma once

#include <string>

// The system releases the lock when the process ends, so a crash leaves nothing stale; a second
// program, on this workstation or another one sharing the folder, is refused.
class TFolderLock {
public:
    TFolderLock() = default;
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;
    ~TFolderLock() { Release(); }

    // Takes the lock of the folder; false with a message in error when another holds it or the
    // lock file cannot be opened.
    bool Acquire(const std::string& folder, std::string& error);
    void Release();
    bool Held() const { return fd_ >= 0; }

    static constexpr const char* LockFileName = "Varnholt.lock";

private:
    int fd_ = -1;
};
