#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brisvale::codec {

// The bytes of a picture file as readers take them: from memory, or from an
// open file through a window of bounded size, so that what a read costs
// depends on the picture and not on how long the file is. Bytes after the
// picture are never read.
class ByteSource {
public:
    ByteSource(const uint8_t *data, size_t size);
    ByteSource() = default;
    ~ByteSource();
    ByteSource(const ByteSource &) = delete;
    ByteSource &operator=(const ByteSource &) = delete;

    // Opens a regular file; kOk, kCannotOpen or kTooLarge. Anything that is
    // not a regular file is refused without waiting.
    int open(const std::string &path);
    // The same bytes as `other`, read through a window of their own, for a
    // reader that reads two places of one file by turns; kOk or kCannotOpen.
    int openSame(const ByteSource &other);

    uint64_t size() const { return size_; }
    uint64_t left(uint64_t offset) const { return offset < size_ ? size_ - offset : 0; }

    // `length` bytes from `offset`, valid until the next call; nullptr when the
    // file ends first. Ask for small pieces: the window grows to the largest.
    const uint8_t *at(uint64_t offset, size_t length);
    // Up to `most` bytes from `offset` without copying, valid until the next
    // call: those already read when there are any, else a new window's.
    // `got` tells how many; 0 at the end of the file.
    const uint8_t *span(uint64_t offset, size_t most, size_t &got);
    // Copies up to `length` bytes from `offset`; answers how many there were.
    size_t read(uint64_t offset, uint8_t *out, size_t length);
    // One byte, or -1 past the end.
    int byteAt(uint64_t offset)
    {
        if (offset >= windowStart_ && offset < windowStart_ + windowLength_)
            return window_[size_t(offset - windowStart_)];
        const uint8_t *p = at(offset, 1);
        return p ? *p : -1;
    }

private:
    bool fill(uint64_t offset, size_t length);

    const uint8_t *memory_ = nullptr;
    int fd_ = -1;
    uint64_t size_ = 0;
    std::vector<uint8_t> window_;
    uint64_t windowStart_ = 0;
    size_t windowLength_ = 0;
};

// Reads bytes one after another from a source, as stream decoders want them.
class ByteCursor {
public:
    ByteCursor(ByteSource &source, uint64_t offset) : source_(source), pos_(offset) {}
    int next()
    {
        const int b = source_.byteAt(pos_);
        if (b >= 0)
            ++pos_;
        return b;
    }
    uint64_t position() const { return pos_; }
    void skip(uint64_t n) { pos_ += n; }
    // The bytes from here on as ByteSource::span gives them; not taken yet.
    const uint8_t *span(size_t most, size_t &got) { return source_.span(pos_, most, got); }
    bool atEnd() const { return source_.left(pos_) == 0; }
    ByteSource &source() { return source_; }

private:
    ByteSource &source_;
    uint64_t pos_;
};

} // namespace brisvale::codec
