#include "platform/FileLock.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brisvale::platform {

namespace {

// Between two tries while the lock is held elsewhere.
constexpr int kPollMs = 20;

bool tryLock(int fd)
{
    int rc = 0;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

} // namespace

FileLock::FileLock(const QString &lockPath, const std::function<bool()> &whileWaiting, int folder)
{
    static_assert(AT_FDCWD == -100, "the default folder is the current one");
    const int fd = ::openat(folder, QFile::encodeName(lockPath).constData(),
                            O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0666);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    QElapsedTimer waited;
    waited.start();
    while (!tryLock(fd)) {
        if (errno != EWOULDBLOCK || waited.elapsed() >= kWaitMs || (whileWaiting && !whileWaiting())) {
            ::close(fd);
            return;
        }
        ::usleep(kPollMs * 1000);
    }
    fd_ = fd;
}

FileLock::~FileLock()
{
    if (fd_ >= 0)
        ::close(fd_); // closing the last descriptor releases the lock
}

} // namespace brisvale::platform
