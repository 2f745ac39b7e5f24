#pragma once

#include "game/HandEvaluation.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace brisvale {

class SettingsStore;

// What the game table keeps between runs. Read at start-up as stored (the
// table decides what to take); written at close from the table's state.
struct TableSettings {
    std::int32_t formColor = -1;
    std::int32_t pieColor = -1;
    std::int32_t amountColor = -1;
    std::int32_t totalColor = -1;
    // Index 0 unused; ranks 1..9.
    std::array<bool, kHandRankCount> pictureFlags{false, true, true, true, true, true, true, true, true, true};
    bool sound = true;
    bool warnCostlyDraw = false;
    std::array<std::int32_t, kHandRankCount> payouts{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    std::int32_t betAmount = -1;
    std::int32_t total = -1;

    // Reads the colours, picture flags, sound switch, payouts, bet amount and
    // total, in that order. Each setting is read on its own: one that cannot
    // be read keeps its default and the others are still read. Returns the
    // text of the first registry error, if any.
    std::optional<QString> load(SettingsStore &store);

    // Writes the bet amount, the total, the colours that are set (> 0), the
    // sound switch, the picture flags and the payouts that are >= 0, in that
    // order. The total is always written, so a player who stopped with
    // little or nothing left starts afresh next time instead of with an older
    // total. A setting that cannot be written is skipped and the others are
    // still written. Returns the text of the first registry error, if any.
    std::optional<QString> save(SettingsStore &store) const;
};

} // namespace brisvale
