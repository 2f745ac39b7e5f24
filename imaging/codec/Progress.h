#pragma once

#include <cstdint>
#include <functional>

namespace brisvale::codec {

// Told the share done in percent; answers non-zero to go on, zero to stop.
using Progress = std::function<int32_t(int32_t)>;

// Calls the caller's progress only when the percentage changes, and remembers
// a stop answer so the reader can leave at its next row.
class ProgressReporter {
public:
    explicit ProgressReporter(const Progress *progress) : progress_(progress) {}

    // False once the caller has answered zero.
    bool report(uint64_t done, uint64_t total);
    bool stopped() const { return stopped_; }

private:
    const Progress *progress_;
    int last_ = -1;
    bool stopped_ = false;
};

} // namespace brisvale::codec
