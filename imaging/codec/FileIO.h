#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace brisvale::codec {

// Frees a file's bytes however they were allocated.
struct FileBytesFree {
    size_t mapped = 0; // bytes of an anonymous mapping, 0 for new[]
    void operator()(uint8_t *p) const;
};

// A whole file in memory; readers parse it with every access bounded by size.
struct FileData {
    std::unique_ptr<uint8_t, FileBytesFree> bytes;
    size_t size = 0;       // bytes read
    uint64_t fileSize = 0; // the file's whole length
};

// Reads a regular file, or its first `atMost` bytes; kOk, kCannotOpen or
// kTooLarge (a whole file past 2 GiB). Anything that is not a regular file is
// refused without waiting.
int loadFile(const std::string &path, FileData &out, size_t atMost = SIZE_MAX);

// Opens a regular file of any length for reading; kOk or kCannotOpen.
int openFile(const std::string &path, FILE *&out);

// Writes go to a temporary file beside the target, which replaces the target
// only when commit() succeeds, so a failed write never destroys an older file.
// Given an open descriptor instead, the writes go straight into that file,
// which the caller has made and puts in place itself: commit() only flushes
// (nothing is renamed, nothing is synced, the descriptor stays open).
class OutputFile {
public:
    explicit OutputFile(const std::string &path);
    explicit OutputFile(int descriptor);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    bool isOpen() const { return file_ != nullptr; }
    FILE *handle() const { return file_; }
    bool write(const void *data, size_t size);
    bool put(uint8_t byte) { return write(&byte, 1); }
    bool failed() const { return failed_; }
    // Flushes, closes and moves the file into place; false on any earlier or late failure.
    bool commit();

private:
    // Keeps the system's first reason for this file's failure for lastWriteError().
    void fail(int error);

    std::string path_;
    std::string temp_;
    FILE *file_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    bool failed_ = false;
    int error_ = 0;
};

// What a file is read and written in: few system calls for a picture.
constexpr size_t kFileBlock = size_t(512) * 1024;

inline uint16_t le16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t le32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void putLe16(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void putLe32(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

} // namespace brisvale::codec
