#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace brisvale::codec {

// A decoder's finished picture, handed back to the system page by page as
// its rows are laid on ours, so that the two are never whole at once. Only
// for a buffer nothing reads again before its owner frees it: a page handed
// back reads as zeros.
class PagesBehind {
public:
    explicit PagesBehind(const uint8_t *start) : start_(uintptr_t(start)) {}
    // Everything before `offset` from the start has been read.
    void release(size_t offset)
    {
        static const uintptr_t page = uintptr_t(::sysconf(_SC_PAGESIZE));
        const uintptr_t from = (start_ + page - 1) / page * page + released_;
        const uintptr_t to = (start_ + offset) / page * page;
        // In steps of a few megabytes: a call for each row would cost more.
        if (start_ && to > from + (uintptr_t(4) << 20)) {
            ::madvise(reinterpret_cast<void *>(from), to - from, MADV_DONTNEED);
            released_ += to - from;
        }
    }

private:
    uintptr_t start_;
    uintptr_t released_ = 0;
};

} // namespace brisvale::codec
