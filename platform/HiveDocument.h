#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace brisvale::platform {

// The text of a registry hive in the REGEDIT4 export format: a signature
// line, then key blocks headed "[HKEY_CURRENT_USER\Key\Sub]" holding values
// "Name"="text" (with \\ and \" escaped), "Name"=dword:..., "Name"=hex(n):...
//
// Only what the program reads and writes is interpreted; every other line is
// kept byte for byte, so a hive edited by hand or by another program comes
// back as it was apart from the values set here. Key paths are given below
// HKEY_CURRENT_USER ("MORVEL\Bet"); key and value names match without regard
// to letter case, as they do in the registry.
class HiveDocument {
public:
    enum class ValueKind {
        String,    // REG_SZ, written as "text" or hex(1)
        OtherType, // dword, hex, hex(n) other than 1
        Corrupt,   // a string value whose data cannot be decoded
    };
    struct Value {
        ValueKind kind = ValueKind::String;
        QString text; // for String
    };

    // Never fails: what cannot be understood is kept as an opaque line.
    static HiveDocument parse(const QByteArray &bytes);
    QByteArray serialize() const;

    // True when the key or any key below it has a block in the hive.
    bool hasKey(const QString &path) const;
    // Adds an empty block for the key when it has none; true when the
    // document changed.
    bool addKey(const QString &path);

    // The value as the last block that holds it says, or nothing.
    std::optional<Value> value(const QString &key, const QString &name) const;
    // Sets a string value, adding the key when it is missing; true when the
    // document changed.
    bool setString(const QString &key, const QString &name, const QString &text);

private:
    enum class EntryKind { Header, Value, Other };
    struct Entry {
        EntryKind kind = EntryKind::Other;
        std::vector<QByteArray> lines; // as read, without the '\n'
        // Header: owned when it names a key below HKEY_CURRENT_USER (not
        // another root, not a deletion); key is the path below it.
        bool owned = false;
        QString key;
        // Value: its name and data.
        QString name;
        Value value;
    };

    Entry valueEntry(const QString &name, const QString &text) const;
    QByteArray newLine(const QByteArray &text) const;
    // For each entry, the index of the owned header whose block holds it,
    // or -1.
    std::vector<int> owners() const;
    int lastHeader(const QString &path) const;
    int appendHeader(const QString &path);

    std::vector<Entry> entries_;
    bool crlf_ = false;
};

} // namespace brisvale::platform
