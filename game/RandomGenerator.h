#pragma once

#include <QTime>
#include <cstdint>

namespace brisvale {

// The process-wide 32-bit linear congruential generator. The deck and the
// picture window's random mode share one stream, so both draw from
// randomGenerator().
class RandomGenerator {
public:
    std::uint32_t seed() const { return seed_; }
    void setSeed(std::uint32_t seed) { seed_ = seed; }

    // Milliseconds since midnight of the given UTC time of day.
    static std::uint32_t seedFor(const QTime &utcTime);
    // Seeds from the system clock's UTC time of day.
    void seedFromClock();
    void seedFromTime(const QTime &utcTime) { seed_ = seedFor(utcTime); }

    // 0..n-1 (0 when n is 0); always advances the generator one step.
    std::uint32_t drawBelow(std::uint32_t n);

private:
    std::uint32_t seed_ = 0;
};

RandomGenerator &randomGenerator();

} // namespace brisvale
