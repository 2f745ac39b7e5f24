#include "game/TableSettings.h"

#include "game/SettingsStore.h"
#include "game/SettingsTable.h"
#include "platform/RegistryError.h"

namespace brisvale {

namespace {

// Runs one registry access; remembers the first failure and goes on.
template <typename F>
void attempt(std::optional<QString> &firstError, F &&access)
{
    try {
        access();
    } catch (const platform::RegistryError &e) {
        if (!firstError)
            firstError = e.text();
    }
}

} // namespace

std::optional<QString> TableSettings::load(SettingsStore &store)
{
    std::optional<QString> error;
    auto integer = [&](std::int32_t &target, SettingId id) {
        attempt(error, [&] { target = readIntegerSetting(store, id); });
    };
    auto boolean = [&](bool &target, SettingId id) { attempt(error, [&] { target = readBoolSetting(store, id); }); };

    integer(formColor, SettingId::FormColor);
    integer(pieColor, SettingId::PieColor);
    integer(amountColor, SettingId::AmountColor);
    integer(totalColor, SettingId::TotalColor);
    for (int rank = 1; rank < kHandRankCount; ++rank)
        boolean(pictureFlags[rank], pictureFlagSetting(rank));
    boolean(sound, SettingId::Sound);
    boolean(warnCostlyDraw, SettingId::WarnCostlyDraw);
    for (int rank = 1; rank < kHandRankCount; ++rank)
        integer(payouts[rank], payoutSetting(rank));
    integer(betAmount, SettingId::BetAmount);
    integer(total, SettingId::BetTotal);
    return error;
}

std::optional<QString> TableSettings::save(SettingsStore &store) const
{
    std::optional<QString> error;
    auto integer = [&](SettingId id, std::int32_t value) {
        attempt(error, [&] { writeIntegerSetting(store, id, value); });
    };
    auto colour = [&](SettingId id, std::int32_t value) {
        if (value > 0)
            integer(id, value);
    };

    integer(SettingId::BetAmount, betAmount);
    integer(SettingId::BetTotal, total);
    colour(SettingId::FormColor, formColor);
    colour(SettingId::PieColor, pieColor);
    colour(SettingId::AmountColor, amountColor);
    colour(SettingId::TotalColor, totalColor);
    attempt(error, [&] { writeBoolSetting(store, SettingId::Sound, sound); });
    for (int rank = 1; rank < kHandRankCount; ++rank)
        attempt(error, [&] { writeBoolSetting(store, pictureFlagSetting(rank), pictureFlags[rank]); });
    for (int rank = 1; rank < kHandRankCount; ++rank) {
        if (payouts[rank] >= 0)
            integer(payoutSetting(rank), payouts[rank]);
    }
    // The trainer's own setting comes after what the table always kept.
    attempt(error, [&] { writeBoolSetting(store, SettingId::WarnCostlyDraw, warnCostlyDraw); });
    return error;
}

} // namespace brisvale
