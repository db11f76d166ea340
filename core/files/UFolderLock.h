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
    // True when the last Acquire failed because another program holds the folder, false when it
    // failed for another reason (a read-only or missing folder): the two call for different messages.
    bool HeldElsewhere() const { return heldElsewhere_; }

    // Whether another holds the folder's lock now; tells without taking it (false when there is no lock
    // file to ask).
    static bool HeldByAnother(const std::string& folder);

    static constexpr const char* LockFileName = "Varnholt.lock";

private:
    int fd_ = -1;
    bool heldElsewhere_ = false;
};
