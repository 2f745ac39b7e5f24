#include "game/RandomGenerator.h"

#include <QDateTime>

namespace brisvale {

std::uint32_t RandomGenerator::seedFor(const QTime &utcTime)
{
    return std::uint32_t(((utcTime.hour() * 60 + utcTime.minute()) * 60 + utcTime.second()) * 1000 + utcTime.msec());
}

void RandomGenerator::seedFromClock() { seedFromTime(QDateTime::currentDateTimeUtc().time()); }

std::uint32_t RandomGenerator::drawBelow(std::uint32_t n)
{
    seed_ = seed_ * 134775813u + 1u; // wraps modulo 2^32
    return std::uint32_t((std::uint64_t(seed_) * n) >> 32);
}

RandomGenerator &randomGenerator()
{
    static RandomGenerator generator;
    return generator;
}

} // namespace brisvale
