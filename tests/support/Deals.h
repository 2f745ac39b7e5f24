#pragma once

#include "game/Deck.h"
#include "game/Settlement.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace brisvale::test {

// A pay table from its nine multipliers, jacks or better first.
inline PayoutTable payTable(std::array<std::int32_t, 9> h)
{
    PayoutTable t;
    std::copy(h.begin(), h.end(), t.h.begin() + 1);
    return t;
}

// The tables players know by their full house and flush.
inline const PayoutTable kNineSix = payTable({0, 1, 2, 3, 5, 8, 24, 49, 799});
inline const PayoutTable kEightFive = payTable({0, 1, 2, 3, 4, 7, 24, 49, 799});

// Calls `visit` with each of the 2,598,960 five-card deals, cards in deck order.
template <class Visit>
void forEveryDeal(Visit &&visit)
{
    Hand h{};
    for (int a = 1; a <= 52; ++a)
        for (int b = a + 1; b <= 52; ++b)
            for (int c = b + 1; c <= 52; ++c)
                for (int d = c + 1; d <= 52; ++d)
                    for (int e = d + 1; e <= 52; ++e) {
                        h = {cdCardDeck(a), cdCardDeck(b), cdCardDeck(c), cdCardDeck(d), cdCardDeck(e)};
                        visit(std::as_const(h));
                    }
}

} // namespace brisvale::test
