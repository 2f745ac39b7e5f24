#pragma once

#include "platform/RegistryHive.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace brisvale {

// Everything the program remembers between runs, kept in the current user's
// registry below the key MORVEL. A section is a subkey of MORVEL, an ident a
// string value in it; integers and booleans are stored as text. Every call
// opens MORVEL afresh (creating it) and closes it again, so two running copies
// see each other's changes. Registry failures throw platform::RegistryError.
class SettingsStore {
public:
    static constexpr auto kRootKey = "MORVEL";

    // The current user's hive.
    SettingsStore();
    explicit SettingsStore(platform::RegistryHive hive);

    QString readString(const QString &section, const QString &ident, const QString &def);
    std::int32_t readInteger(const QString &section, const QString &ident, std::int32_t def);
    bool readBool(const QString &section, const QString &ident, bool def);

    void writeString(const QString &section, const QString &ident, const QString &value);
    void writeInteger(const QString &section, const QString &ident, std::int32_t value);
    void writeBool(const QString &section, const QString &ident, bool value);

    // Stored integer text: "0x"/"0X" followed by hexadecimal digits when the
    // text is longer than two characters; otherwise a signed decimal number,
    // or "$" and hexadecimal digits after the optional sign. Hexadecimal
    // numbers of up to 32 bits wrap into the signed range. Nothing for any
    // other text.
    static std::optional<std::int32_t> parseInteger(const QString &text);

private:
    platform::RegistryHive hive_;
};

} // namespace brisvale
