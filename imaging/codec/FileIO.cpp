#include "imaging/codec/FileIO.h"

#include "imaging/codec/Status.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace brisvale::codec {

namespace {
// No picture file we accept comes near this; larger files are refused before
// anything is read.
constexpr uint64_t kMaxFileBytes = uint64_t(1) << 31;
}

int loadFile(const std::string &path, FileData &out)
{
    out = FileData();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return kCannotOpen;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kCannotOpen;
    }
    if (uint64_t(st.st_size) > kMaxFileBytes) {
        ::close(fd);
        return kTooLarge;
    }
    const size_t size = size_t(st.st_size);
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size ? size : 1]);
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
    FILE *f = std::fopen(path.c_str(), "rbe");
    if (!f)
        return kCannotOpen;
    struct stat st {};
    if (::fstat(::fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(f);
        return kCannotOpen;
    }
    if (uint64_t(st.st_size) > kMaxFileBytes) {
        std::fclose(f);
        return kTooLarge;
    }
    std::setvbuf(f, nullptr, _IOFBF, 1 << 16);
    out = f;
    return kOk;
}

OutputFile::OutputFile(const std::string &path) : path_(path)
{
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".~XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return;
    temp_ = name.data();
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        ::close(fd);
        ::unlink(temp_.c_str());
        temp_.clear();
        return;
    }
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
}

OutputFile::~OutputFile()
{
    if (file_) {
        std::fclose(file_);
        ::unlink(temp_.c_str());
    }
}

bool OutputFile::write(const void *data, size_t size)
{
    if (!file_ || failed_)
        return false;
    if (size && std::fwrite(data, 1, size, file_) != size)
        failed_ = true;
    return !failed_;
}

bool OutputFile::commit()
{
    if (!file_)
        return false;
    bool ok = !failed_ && std::fflush(file_) == 0 && !std::ferror(file_);
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    if (ok && ::rename(temp_.c_str(), path_.c_str()) == 0)
        return true;
    ::unlink(temp_.c_str());
    return false;
}

} // namespace brisvale::codec
