#include "controls/SectionBevels.h"

namespace brisvale {

SectionBevel sectionBevel(TSectionBevels style)
{
    using enum TBevelCut;
    switch (style) {
    case TSectionBevels::sbLow: return {bvLowered, bvNone};
    case TSectionBevels::sbLowest: return {bvLowered, bvLowered};
    case TSectionBevels::sbHigh: return {bvRaised, bvNone};
    case TSectionBevels::sbHighest: return {bvRaised, bvRaised};
    case TSectionBevels::sbIsUpDown: return {bvRaised, bvLowered};
    case TSectionBevels::sbIsDownUp: return {bvLowered, bvRaised};
    case TSectionBevels::sbNone: break;
    }
    return {bvNone, bvNone};
}

} // namespace brisvale
