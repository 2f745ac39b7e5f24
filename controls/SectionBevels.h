#pragma once

#include <cstdint>

namespace brisvale {

// One bevel of a panel edge.
enum class TBevelCut { bvNone, bvLowered, bvRaised };

// The bevel styles a status-bar section can take; each names an outer and an
// inner bevel.
enum class TSectionBevels : std::uint8_t {
    sbLow,
    sbLowest,
    sbHigh,
    sbHighest,
    sbIsUpDown,
    sbIsDownUp,
    sbNone,
};

struct SectionBevel {
    TBevelCut outer;
    TBevelCut inner;
    friend bool operator==(const SectionBevel &, const SectionBevel &) = default;
};

SectionBevel sectionBevel(TSectionBevels style);

} // namespace brisvale
