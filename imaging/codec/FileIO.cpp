#include "imaging/codec/FileIO.h"

#include "imaging/codec/Codec.h"
#include "imaging/codec/Status.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace brisvale::codec {

namespace {
// No picture file read whole comes near this; larger files are refused
// before anything is read.
constexpr uint64_t kMaxFileBytes = uint64_t(1) << 31;

// Opens a regular file for reading. The open itself does not wait, so a named
// pipe or a device under a picture's name is refused at once instead of
// blocking until something writes to it.
int openRegular(const std::string &path, int &fd, uint64_t &size, bool whole)
{
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return kCannotOpen;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fd = -1;
        return kCannotOpen;
    }
    if (whole && uint64_t(st.st_size) > kMaxFileBytes) {
        ::close(fd);
        fd = -1;
        return kTooLarge;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    size = uint64_t(st.st_size);
    return kOk;
}

// A large file's bytes go into huge pages where the system grants them:
// faulting in a photograph's worth of small pages one by one costs more than
// decoding it.
std::unique_ptr<uint8_t, FileBytesFree> allocateBytes(size_t size)
{
    constexpr size_t kLarge = size_t(4) << 20;
    if (size >= kLarge) {
        void *p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
#ifdef MADV_HUGEPAGE
            ::madvise(p, size, MADV_HUGEPAGE);
#endif
            return std::unique_ptr<uint8_t, FileBytesFree>(static_cast<uint8_t *>(p), FileBytesFree{size});
        }
    }
    return std::unique_ptr<uint8_t, FileBytesFree>(new (std::nothrow) uint8_t[size ? size : 1]);
}

} // namespace

void FileBytesFree::operator()(uint8_t *p) const
{
    if (mapped)
        ::munmap(p, mapped);
    else
        delete[] p;
}

int loadFile(const std::string &path, FileData &out, size_t atMost)
{
    out = FileData();
    int fd = -1;
    uint64_t fileSize = 0;
    if (const int rc = openRegular(path, fd, fileSize, atMost == SIZE_MAX); rc != kOk)
        return rc;
    out.fileSize = fileSize;
    const size_t size = size_t(std::min<uint64_t>(fileSize, atMost));
    auto bytes = allocateBytes(size);
    if (!bytes) {
        ::close(fd);
        return kOutOfMemory;
    }
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, bytes.get() + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += size_t(n);
    }
    ::close(fd);
    out.bytes = std::move(bytes);
    out.size = got;
    return kOk;
}

int openFile(const std::string &path, FILE *&out)
{
    out = nullptr;
    int fd = -1;
    uint64_t size = 0;
    // A stream is read only as far as its picture goes, whatever follows.
    if (const int rc = openRegular(path, fd, size, false); rc != kOk)
        return rc;
    FILE *f = ::fdopen(fd, "rb");
    if (!f) {
        ::close(fd);
        return kCannotOpen;
    }
    out = f;
    return kOk;
}

namespace {

// The file a path finally names: a symbolic link is followed (even one whose
// target does not exist yet), so a save replaces the target and keeps the link.
std::string finalTarget(const std::string &path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::vector<char> buffer(size_t(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size() - 1);
        if (n < 0)
            return current;
        std::string target(buffer.data(), size_t(n));
        if (!target.empty() && target[0] != '/') {
            const size_t slash = current.rfind('/');
            if (slash != std::string::npos)
                target.insert(0, current, 0, slash + 1);
        }
        current = target;
    }
    return current;
}

} // namespace

namespace {
thread_local int tLastWriteError = 0;
} // namespace

int lastWriteError() { return tLastWriteError; }

void OutputFile::fail(int error)
{
    if (!error_)
        error_ = error ? error : EIO;
    tLastWriteError = error_;
}

OutputFile::OutputFile(const std::string &path) : path_(finalTarget(path))
{
    tLastWriteError = 0;
    // The temporary sits beside the target and is named after it, unless the
    // name leaves no room for the suffix within a file name's 255 bytes.
    const char suffix[] = ".~XXXXXX";
    const size_t slash = path_.rfind('/');
    const size_t base = slash == std::string::npos ? 0 : slash + 1;
    const size_t stem = path_.size() - base + sizeof suffix - 1 > 255 ? base : path_.size();
    std::vector<char> name(path_.begin(), path_.begin() + std::ptrdiff_t(stem));
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        fail(errno);
        return;
    }
    temp_ = name.data();
    // A file that is replaced keeps its permissions (and owner, where we may
    // set it); a new one gets the usual ones.
    struct stat old {};
    if (::stat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd, old.st_mode & 07777);
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Not ours to give away: the file stays ours, with the old mode.
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        fail(errno);
        ::close(fd);
        ::unlink(temp_.c_str());
        temp_.clear();
        return;
    }
    // A buffer of our own: given none, the C library takes a few KiB.
    buffer_ = std::make_unique<char[]>(kFileBlock);
    std::setvbuf(file_, buffer_.get(), _IOFBF, kFileBlock);
}

OutputFile::OutputFile(int descriptor)
{
    const int fd = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return;
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        ::close(fd);
        return;
    }
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
}

OutputFile::~OutputFile()
{
    if (file_) {
        // A library that wrote through the handle itself met the failure there.
        if (std::ferror(file_))
            fail(errno);
        std::fclose(file_);
        if (!temp_.empty())
            ::unlink(temp_.c_str());
    }
}

bool OutputFile::write(const void *data, size_t size)
{
    if (!file_ || failed_)
        return false;
    if (size && std::fwrite(data, 1, size, file_) != size) {
        failed_ = true;
        fail(errno);
    }
    return !failed_;
}

bool OutputFile::commit()
{
    if (!file_)
        return false;
    if (temp_.empty()) {
        const bool flushed = !failed_ && std::fflush(file_) == 0 && !std::ferror(file_);
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return flushed && closed;
    }
    // On disk before it takes the old file's place, so a crash right after
    // leaves the old picture or the new one, never an empty file.
    bool ok = !failed_ && std::fflush(file_) == 0 && !std::ferror(file_) && ::fsync(::fileno(file_)) == 0;
    if (!ok && !failed_)
        fail(errno);
    if (std::fclose(file_) != 0 && ok) {
        fail(errno);
        ok = false;
    }
    file_ = nullptr;
    if (ok && ::rename(temp_.c_str(), path_.c_str()) == 0)
        return true;
    if (ok)
        fail(errno);
    ::unlink(temp_.c_str());
    return false;
}

} // namespace brisvale::codec
