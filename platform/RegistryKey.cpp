#include "platform/RegistryKey.h"

#include "platform/RegistryError.h"

#include <QStringList>

namespace brisvale::platform {

namespace {

// Names the one-line text format cannot carry. Key names also may not
// contain the separator '\' or a closing ']'.
bool usableName(const QString &name, bool keyName)
{
    for (const QChar c : name) {
        if (c.unicode() < 0x20)
            return false;
        if (keyName && (c == u']' || c == u'\\'))
            return false;
    }
    return !keyName || !name.isEmpty();
}

bool usableKeyPath(const QString &path)
{
    const QStringList parts = path.split(u'\\');
    for (const QString &part : parts) {
        if (!usableName(part, true))
            return false;
    }
    return true;
}

} // namespace

RegistryKey::RegistryKey(const RegistryHive &hive, QString path) : hive_(hive), path_(std::move(path)) {}

RegistryKey RegistryKey::openOrCreate(const RegistryHive &hive, const QString &path)
{
    if (!usableKeyPath(path))
        throw RegistryError::createFailed(path);
    const std::optional<HiveDocument> doc = hive.read();
    if (!doc)
        throw RegistryError::createFailed(path);
    if (!doc->hasKey(path)) {
        if (!hive.modify([&path](HiveDocument &d) { return d.addKey(path); }))
            throw RegistryError::createFailed(path);
    }
    return RegistryKey(hive, path);
}

QString RegistryKey::childPath(const QString &name) const { return path_ + u'\\' + name; }

std::optional<RegistryKey> RegistryKey::openSubKey(const QString &name) const
{
    if (!open_ || !usableKeyPath(name))
        return std::nullopt;
    const std::optional<HiveDocument> doc = hive_.read();
    if (!doc || !doc->hasKey(childPath(name)))
        return std::nullopt;
    return RegistryKey(hive_, childPath(name));
}

RegistryKey RegistryKey::createSubKey(const QString &name) const
{
    if (!open_ || !usableKeyPath(name))
        throw RegistryError::createFailed(name);
    const QString path = childPath(name);
    const std::optional<HiveDocument> doc = hive_.read();
    if (!doc)
        throw RegistryError::createFailed(name);
    if (!doc->hasKey(path)) {
        if (!hive_.modify([&path](HiveDocument &d) { return d.addKey(path); }))
            throw RegistryError::createFailed(name);
    }
    return RegistryKey(hive_, path);
}

std::optional<QString> RegistryKey::queryString(const QString &ident) const
{
    if (!open_)
        throw RegistryError::getFailed(ident);
    const std::optional<HiveDocument> doc = hive_.read();
    if (!doc)
        throw RegistryError::getFailed(ident);
    const std::optional<HiveDocument::Value> value = doc->value(path_, ident);
    if (!value)
        return std::nullopt;
    switch (value->kind) {
    case HiveDocument::ValueKind::String: return value->text;
    case HiveDocument::ValueKind::OtherType: throw RegistryError::invalidType(ident);
    case HiveDocument::ValueKind::Corrupt: break;
    }
    throw RegistryError::getFailed(ident);
}

void RegistryKey::setString(const QString &ident, const QString &value) const
{
    if (!open_ || !usableName(ident, false))
        throw RegistryError::setFailed(ident);
    const QString &path = path_;
    if (!hive_.modify([&](HiveDocument &d) { return d.setString(path, ident, value); }))
        throw RegistryError::setFailed(ident);
}

void RegistryKey::flush() const
{
    if (open_)
        hive_.flush();
}

void RegistryKey::close() { open_ = false; }

} // namespace brisvale::platform
