#pragma once

#include "platform/RegistryHive.h"

#include <QString>
#include <optional>

namespace brisvale::platform {

// An open key of the current user's registry, named by its path below
// HKEY_CURRENT_USER ("MORVEL\Bet"). The handle holds no copy of the hive:
// every call goes to the file afresh. Failures throw RegistryError with the
// text the player is shown.
class RegistryKey {
public:
    // Opens the key, creating it when it is missing ("Failed to create key
    // <path>" when that is impossible).
    static RegistryKey openOrCreate(const RegistryHive &hive, const QString &path);

    const QString &path() const { return path_; }
    bool isOpen() const { return open_; }

    // The subkey when it exists; never creates it. A hive that cannot be
    // read has no subkeys.
    std::optional<RegistryKey> openSubKey(const QString &name) const;
    // Opens the subkey, creating it when missing ("Failed to create key <name>").
    RegistryKey createSubKey(const QString &name) const;

    // The string value, or nothing when the key has no such value. Throws
    // "Invalid data type for '<ident>'" for a value of another type and
    // "Failed to get data for '<ident>'" when it cannot be read.
    std::optional<QString> queryString(const QString &ident) const;
    // Throws "Failed to set data for '<ident>'" when the value cannot be
    // written. Other programs see the value as soon as this returns.
    void setString(const QString &ident, const QString &value) const;

    // Makes the changes made so far survive a power loss. A failure here
    // loses nothing that was read back already, so it is not reported.
    void flush() const;
    void close();

private:
    RegistryKey(const RegistryHive &hive, QString path);
    QString childPath(const QString &name) const;

    RegistryHive hive_;
    QString path_;
    bool open_ = true;
};

} // namespace brisvale::platform
