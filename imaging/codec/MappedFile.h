#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace brisvale::codec {

// A regular file mapped read-only: its bytes cost memory only as a reader
// touches them, so a file padded far beyond its picture costs nothing for
// the padding. A pipe, a device or a folder is refused without waiting.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    // kOk, kCannotOpen or kTooLarge. An empty file maps to no bytes at all.
    int open(const std::string &path);
    const uint8_t *data() const { return data_; }
    size_t size() const { return size_; }

private:
    void close();

    const uint8_t *data_ = nullptr;
    size_t size_ = 0;
};

} // namespace brisvale::codec
