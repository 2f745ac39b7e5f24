#pragma once

#include <QString>

namespace brisvale::platform {

// An exclusive advisory lock (flock) on a lock file, held for the object's
// lifetime. Programs that change one file take the same lock file beside it,
// so their read-change-write steps never interleave. The lock file may lie in
// a folder anyone fills: it is never opened through a link, and a pipe,
// device or folder in its place is refused without waiting.
class FileLock {
public:
    explicit FileLock(const QString &lockPath);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace brisvale::platform
