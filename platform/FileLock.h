#pragma once

#include <QString>
#include <functional>

namespace brisvale::platform {

// An exclusive advisory lock (flock) on a lock file, held for the object's
// lifetime. Programs that change one file take the same lock file beside it,
// so their read-change-write steps never interleave. The lock file may lie in
// a folder anyone fills: it is never opened through a link, and a pipe,
// device or folder in its place is refused without waiting.
//
// The lock file is made readable and writable by all the umask allows and is
// never removed (a removed lock file lets two programs hold "the" lock at
// once); it is locked through a read-only descriptor, so any user who may
// read it can take the lock. A lock held elsewhere is waited for a bounded
// time only, never for ever.
class FileLock {
public:
    // How long a lock held by another program is waited for.
    static constexpr int kWaitMs = 3000;

    // `whileWaiting` is called now and then while the lock is held elsewhere
    // (a window keeps answering there); false gives up at once. A relative
    // path is taken in the folder of the descriptor `folder`.
    explicit FileLock(const QString &lockPath, const std::function<bool()> &whileWaiting = {}, int folder = -100);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace brisvale::platform
