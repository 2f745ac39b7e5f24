#include "imaging/codec/MappedFile.h"

#include "imaging/codec/Status.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brisvale::codec {

namespace {

// Closes the descriptor however the mapping went; the mapping outlives it.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

MappedFile::~MappedFile() { close(); }

void MappedFile::close()
{
    if (data_)
        ::munmap(const_cast<uint8_t *>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

int MappedFile::open(const std::string &path)
{
    close();
    // Not waiting in open() is what keeps a named pipe from hanging the read.
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0)
        return kCannotOpen;
    struct stat st {};
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0)
        return kCannotOpen;
    if (uint64_t(st.st_size) > SIZE_MAX)
        return kTooLarge;
    if (st.st_size == 0)
        return kOk;
    const size_t size = size_t(st.st_size);
    void *p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.fd, 0);
    if (p == MAP_FAILED)
        return kCannotOpen;
    data_ = static_cast<const uint8_t *>(p);
    size_ = size;
    return kOk;
}

} // namespace brisvale::codec
