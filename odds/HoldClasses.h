#pragma once

#include "odds/HoldOdds.h"

#include <QString>
#include <array>
#include <cstdint>

namespace brisvale {

// The kinds of hold a strategy chart names, in the words players use: made
// hands, draws to a royal flush, straight flush, flush or straight, high
// cards, and discarding everything. A hold belongs to up to three classes,
// from the finest (with the cards discarded beside it that change its chances,
// the "penalty cards") through one naming its ranks to the broadest, so a
// chart can be exact where that pays and short where it does not. Which
// classes a hold belongs to depends on the cards alone, never on a pay table.
namespace holdclass {

// A class, as a small number: 0 is none.
using Key = std::uint16_t;
inline constexpr int kKeyCount = 1 << 16;

// The classes of one hold, finest first; unused places are 0.
using Keys = std::array<Key, 3>;
Keys Classify(const Hand &dealt, HoldMask mask);

// The next broader class, or 0 for a broadest one.
Key Parent(Key key);
// "4 to a royal flush", "Suited J Q (flush penalty)", "Discard everything".
QString Describe(Key key);

} // namespace holdclass
} // namespace brisvale
