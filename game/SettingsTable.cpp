#include "game/SettingsTable.h"

#include "game/SettingsStore.h"

#include <stdexcept>

namespace brisvale {

namespace {

SettingId ranked(SettingId first, int rank)
{
    if (rank < 1 || rank > 9)
        throw std::out_of_range("hand rank out of range");
    return SettingId(int(first) + rank - 1);
}

const Setting &typed(SettingId id, SettingType type)
{
    const Setting &s = setting(id);
    if (s.type != type)
        throw std::logic_error("setting used with the wrong type");
    return s;
}

} // namespace

SettingId pictureFlagSetting(int rank) { return ranked(SettingId::Picture1, rank); }

SettingId payoutSetting(int rank) { return ranked(SettingId::H1, rank); }

SettingId waveFileSetting(int rank) { return ranked(SettingId::WavFile1, rank); }

std::int32_t readIntegerSetting(SettingsStore &store, SettingId id)
{
    const Setting &s = typed(id, SettingType::Integer);
    return store.readInteger(s.section, s.ident, s.integerDefault);
}

bool readBoolSetting(SettingsStore &store, SettingId id)
{
    const Setting &s = typed(id, SettingType::Boolean);
    return store.readBool(s.section, s.ident, s.integerDefault != 0);
}

QString readStringSetting(SettingsStore &store, SettingId id)
{
    const Setting &s = typed(id, SettingType::String);
    return store.readString(s.section, s.ident, s.textDefault);
}

void writeIntegerSetting(SettingsStore &store, SettingId id, std::int32_t value)
{
    const Setting &s = typed(id, SettingType::Integer);
    store.writeInteger(s.section, s.ident, value);
}

void writeBoolSetting(SettingsStore &store, SettingId id, bool value)
{
    const Setting &s = typed(id, SettingType::Boolean);
    store.writeBool(s.section, s.ident, value);
}

void writeStringSetting(SettingsStore &store, SettingId id, const QString &value)
{
    const Setting &s = typed(id, SettingType::String);
    store.writeString(s.section, s.ident, value);
}

} // namespace brisvale
