#pragma once

#include <QLatin1String>
#include <QString>
#include <array>
#include <cstdint>

namespace brisvale {

class SettingsStore;

// Every ident the program keeps in the settings store, declared once here
// with its section, type and default. Integer colours use the form
// red + 256 * green + 65536 * blue.
enum class SettingType { Integer, Boolean, String };

struct Setting {
    QLatin1String section;
    QLatin1String ident;
    SettingType type;
    std::int32_t integerDefault; // Integer; Boolean as 1 or 0
    QLatin1String textDefault;   // String
};

enum class SettingId : int {
    FormColor,
    PieColor,
    AmountColor,
    TotalColor,
    Sound,
    Picture1,
    Picture2,
    Picture3,
    Picture4,
    Picture5,
    Picture6,
    Picture7,
    Picture8,
    Picture9,
    H1,
    H2,
    H3,
    H4,
    H5,
    H6,
    H7,
    H8,
    H9,
    BetAmount,
    BetTotal,
    WavFile1,
    WavFile2,
    WavFile3,
    WavFile4,
    WavFile5,
    WavFile6,
    WavFile7,
    WavFile8,
    WavFile9,
    PictureFile,
    PictureMode,
    WarnCostlyDraw,
    Count
};

namespace detail {
constexpr Setting integer(const char *section, const char *ident, std::int32_t def)
{
    return {QLatin1String(section), QLatin1String(ident), SettingType::Integer, def, QLatin1String()};
}
constexpr Setting boolean(const char *section, const char *ident, bool def)
{
    return {QLatin1String(section), QLatin1String(ident), SettingType::Boolean, def ? 1 : 0, QLatin1String()};
}
constexpr Setting text(const char *section, const char *ident, const char *def)
{
    return {QLatin1String(section), QLatin1String(ident), SettingType::String, 0, QLatin1String(def)};
}
} // namespace detail

// In the order of SettingId.
inline constexpr std::array<Setting, std::size_t(SettingId::Count)> kSettingsTable{{
    detail::integer("Settings", "FormColor", -1),
    detail::integer("Settings", "PieColor", -1),
    detail::integer("Settings", "AmountColor", -1),
    detail::integer("Settings", "TotalColor", -1),
    detail::boolean("Settings", "Sound", true),
    detail::boolean("ShowPicture", "Picture1", true),
    detail::boolean("ShowPicture", "Picture2", true),
    detail::boolean("ShowPicture", "Picture3", true),
    detail::boolean("ShowPicture", "Picture4", true),
    detail::boolean("ShowPicture", "Picture5", true),
    detail::boolean("ShowPicture", "Picture6", true),
    detail::boolean("ShowPicture", "Picture7", true),
    detail::boolean("ShowPicture", "Picture8", true),
    detail::boolean("ShowPicture", "Picture9", true),
    detail::integer("Payouts", "H1", -1),
    detail::integer("Payouts", "H2", -1),
    detail::integer("Payouts", "H3", -1),
    detail::integer("Payouts", "H4", -1),
    detail::integer("Payouts", "H5", -1),
    detail::integer("Payouts", "H6", -1),
    detail::integer("Payouts", "H7", -1),
    detail::integer("Payouts", "H8", -1),
    detail::integer("Payouts", "H9", -1),
    detail::integer("Bet", "Amount", -1),
    detail::integer("Bet", "Total", -1),
    detail::text("Sound", "WAVFILE1", "Error"),
    detail::text("Sound", "WAVFILE2", "Error"),
    detail::text("Sound", "WAVFILE3", "Error"),
    detail::text("Sound", "WAVFILE4", "Error"),
    detail::text("Sound", "WAVFILE5", "Error"),
    detail::text("Sound", "WAVFILE6", "Error"),
    detail::text("Sound", "WAVFILE7", "Error"),
    detail::text("Sound", "WAVFILE8", "Error"),
    detail::text("Sound", "WAVFILE9", "Error"),
    // A path is "Error" when no file was chosen: it never names a file.
    detail::text("Picture", "BMPFILE", "Error"),
    // 1 fixed picture, 2 random pictures, 3 sequential; anything else keeps
    // the picture window's own mode.
    detail::integer("Picture", "Mode", -1),
    // Ask before a draw on a hold worth less than the best.
    detail::boolean("Trainer", "WarnCostlyDraw", false),
}};

constexpr const Setting &setting(SettingId id) { return kSettingsTable[std::size_t(id)]; }

// The per-rank settings of hand ranks 1..9.
SettingId pictureFlagSetting(int rank);
SettingId payoutSetting(int rank);
SettingId waveFileSetting(int rank);

// Reads and writes through the store with the table's section, ident and
// default. The setting must be of the type the function names.
std::int32_t readIntegerSetting(SettingsStore &store, SettingId id);
bool readBoolSetting(SettingsStore &store, SettingId id);
QString readStringSetting(SettingsStore &store, SettingId id);
void writeIntegerSetting(SettingsStore &store, SettingId id, std::int32_t value);
void writeBoolSetting(SettingsStore &store, SettingId id, bool value);
void writeStringSetting(SettingsStore &store, SettingId id, const QString &value);

} // namespace brisvale
