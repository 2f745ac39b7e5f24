#include "imaging/codec/ByteSource.h"

#include "imaging/codec/Status.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brisvale::codec {

namespace {
// Reads go ahead by this much, so byte-by-byte decoders cost few calls.
constexpr size_t kReadAhead = size_t(256) * 1024;
} // namespace

ByteSource::ByteSource(const uint8_t *data, size_t size) : memory_(data), size_(size) {}

ByteSource::~ByteSource()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int ByteSource::open(const std::string &path)
{
    // The open itself does not wait, so a named pipe or a device under a
    // picture's name is refused at once instead of blocking.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return kCannotOpen;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kCannotOpen;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    fd_ = fd;
    size_ = uint64_t(st.st_size);
    return kOk;
}

int ByteSource::openSame(const ByteSource &other)
{
    memory_ = other.memory_;
    size_ = other.size_;
    if (other.fd_ >= 0) {
        fd_ = ::fcntl(other.fd_, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0)
            return kCannotOpen;
    }
    return kOk;
}

bool ByteSource::fill(uint64_t offset, size_t length)
{
    const size_t want = size_t(std::min<uint64_t>(std::max(length, kReadAhead), left(offset)));
    if (want < length)
        return false;
    if (window_.size() < want) {
        // Grown to what is asked, never to the file.
        std::vector<uint8_t>().swap(window_);
        window_.resize(want);
    }
    size_t got = 0;
    while (got < want) {
        const ssize_t n = ::pread(fd_, window_.data() + got, want - got, off_t(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += size_t(n);
    }
    windowStart_ = offset;
    windowLength_ = got;
    if (got < want)
        size_ = offset + got; // the file shrank while being read
    return got >= length;
}

const uint8_t *ByteSource::at(uint64_t offset, size_t length)
{
    if (length > left(offset))
        return nullptr;
    if (memory_)
        return memory_ + offset;
    if (offset < windowStart_ || offset - windowStart_ + length > windowLength_) {
        // A file read from its end back (a BMP's rows are stored bottom up)
        // gets its window before the place asked for, not after it.
        const uint64_t end = offset + length;
        const bool backwards = windowLength_ > 0 && offset < windowStart_;
        const uint64_t start = backwards ? std::min(offset, end - std::min<uint64_t>(end, kReadAhead)) : offset;
        if (!fill(start, size_t(end - start)))
            return nullptr;
    }
    return window_.data() + size_t(offset - windowStart_);
}

const uint8_t *ByteSource::span(uint64_t offset, size_t most, size_t &got)
{
    got = 0;
    const size_t n = size_t(std::min<uint64_t>(most, left(offset)));
    if (n == 0)
        return nullptr;
    if (memory_) {
        got = n;
        return memory_ + offset;
    }
    if (offset >= windowStart_ && offset - windowStart_ < windowLength_) {
        got = std::min(n, size_t(windowStart_ + windowLength_ - offset));
        return window_.data() + size_t(offset - windowStart_);
    }
    const uint8_t *p = at(offset, n);
    if (p)
        got = n;
    return p;
}

size_t ByteSource::read(uint64_t offset, uint8_t *out, size_t length)
{
    const size_t n = size_t(std::min<uint64_t>(length, left(offset)));
    if (n == 0)
        return 0;
    if (memory_) {
        std::memcpy(out, memory_ + offset, n);
        return n;
    }
    // Large reads go straight to the caller; small ones through the window.
    if (n >= kReadAhead) {
        size_t got = 0;
        while (got < n) {
            const ssize_t r = ::pread(fd_, out + got, n - got, off_t(offset + got));
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                break;
            got += size_t(r);
        }
        return got;
    }
    const uint8_t *p = at(offset, n);
    if (!p)
        return 0;
    std::memcpy(out, p, n);
    return n;
}

} // namespace brisvale::codec
