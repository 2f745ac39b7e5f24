#pragma once

#include <QString>
#include <stdexcept>

namespace brisvale::platform {

// A registry operation that could not be carried out. The text is the one the
// player sees in the error box.
class RegistryError : public std::runtime_error {
public:
    explicit RegistryError(const QString &text) : std::runtime_error(text.toStdString()), text_(text) {}

    QString text() const { return text_; }

    static RegistryError invalidType(const QString &ident)
    {
        return RegistryError(QStringLiteral("Invalid data type for '%1'").arg(ident));
    }
    static RegistryError getFailed(const QString &ident)
    {
        return RegistryError(QStringLiteral("Failed to get data for '%1'").arg(ident));
    }
    static RegistryError setFailed(const QString &ident)
    {
        return RegistryError(QStringLiteral("Failed to set data for '%1'").arg(ident));
    }
    static RegistryError createFailed(const QString &key)
    {
        return RegistryError(QStringLiteral("Failed to create key %1").arg(key));
    }

private:
    QString text_;
};

} // namespace brisvale::platform
