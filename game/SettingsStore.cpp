#include "game/SettingsStore.h"

#include "platform/RegistryKey.h"

#include <limits>

namespace brisvale {

using platform::RegistryKey;

namespace {

std::optional<std::uint32_t> parseHex(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        int d;
        if (u >= u'0' && u <= u'9')
            d = u - u'0';
        else if (u >= u'a' && u <= u'f')
            d = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            d = u - u'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + std::uint64_t(d);
        if (value > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
    }
    return std::uint32_t(value);
}

} // namespace

SettingsStore::SettingsStore() : hive_(platform::RegistryHive::defaultPath()) {}

SettingsStore::SettingsStore(platform::RegistryHive hive) : hive_(std::move(hive)) {}

std::optional<std::int32_t> SettingsStore::parseInteger(const QString &text)
{
    if (text.size() > 2 && (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")))) {
        const std::optional<std::uint32_t> hex = parseHex(QStringView(text).mid(2));
        if (!hex)
            return std::nullopt;
        return std::int32_t(*hex);
    }

    // Leading blanks are allowed, trailing ones are not.
    QStringView rest(text);
    while (!rest.isEmpty() && rest.front() == u' ')
        rest = rest.mid(1);
    bool negative = false;
    if (!rest.isEmpty() && (rest.front() == u'-' || rest.front() == u'+')) {
        negative = rest.front() == u'-';
        rest = rest.mid(1);
    }
    if (!rest.isEmpty() && rest.front() == u'$') {
        const std::optional<std::uint32_t> hex = parseHex(rest.mid(1));
        if (!hex)
            return std::nullopt;
        const std::uint32_t magnitude = *hex;
        return std::int32_t(negative ? 0u - magnitude : magnitude);
    }
    if (rest.isEmpty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const QChar c : rest) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(value);
}

QString SettingsStore::readString(const QString &section, const QString &ident, const QString &def)
{
    RegistryKey root = RegistryKey::openOrCreate(hive_, QLatin1String(kRootKey));
    std::optional<QString> value;
    if (std::optional<RegistryKey> key = root.openSubKey(section)) {
        value = key->queryString(ident);
        key->close();
    }
    root.close();
    return value.value_or(def);
}

std::int32_t SettingsStore::readInteger(const QString &section, const QString &ident, std::int32_t def)
{
    const QString text = readString(section, ident, QString());
    return parseInteger(text).value_or(def);
}

bool SettingsStore::readBool(const QString &section, const QString &ident, bool def)
{
    return readInteger(section, ident, def ? 1 : 0) != 0;
}

void SettingsStore::writeString(const QString &section, const QString &ident, const QString &value)
{
    RegistryKey root = RegistryKey::openOrCreate(hive_, QLatin1String(kRootKey));
    RegistryKey key = root.createSubKey(section);
    key.setString(ident, value);
    key.flush();
    key.close();
    root.close();
}

void SettingsStore::writeInteger(const QString &section, const QString &ident, std::int32_t value)
{
    writeString(section, ident, QString::number(value));
}

void SettingsStore::writeBool(const QString &section, const QString &ident, bool value)
{
    writeString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace brisvale
