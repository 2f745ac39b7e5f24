#include "platform/HiveDocument.h"

#include <QByteArrayList>

namespace brisvale::platform {

namespace {

constexpr char kSignature[] = "REGEDIT4";
constexpr char kUserRoot[] = "HKEY_CURRENT_USER";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray trimBlanks(const QByteArray &s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && (isBlank(s[end - 1]) || s[end - 1] == '\r'))
        --end;
    return s.mid(begin, end - begin);
}

bool startsWithNoCase(const QByteArray &s, const char *prefix)
{
    const qsizetype n = qsizetype(qstrlen(prefix));
    return s.size() >= n && qstrnicmp(s.constData(), prefix, n) == 0;
}

bool sameName(const QString &a, const QString &b) { return QString::compare(a, b, Qt::CaseInsensitive) == 0; }

// Reads a quoted text starting at s[pos] == '"' with \\ and \" escaped. On
// success pos is just past the closing quote.
std::optional<QByteArray> unquote(const QByteArray &s, qsizetype &pos)
{
    if (pos >= s.size() || s[pos] != '"')
        return std::nullopt;
    QByteArray out;
    for (qsizetype i = pos + 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c == '\\') {
            if (i + 1 >= s.size())
                return std::nullopt;
            const char next = s[++i];
            if (next != '\\' && next != '"')
                out.append('\\');
            out.append(next);
            continue;
        }
        out.append(c);
    }
    return std::nullopt;
}

QByteArray quote(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '\\' || c == '"')
            out.append('\\');
        out.append(c);
    }
    out.append('"');
    return out;
}

// "Name"= or @= at the start of a value line; on success pos is just past
// the '=' and any blanks after it.
std::optional<QString> valueName(const QByteArray &line, qsizetype &pos)
{
    pos = 0;
    QString name;
    if (line.startsWith('@')) {
        pos = 1;
    } else {
        const std::optional<QByteArray> quoted = unquote(line, pos);
        if (!quoted)
            return std::nullopt;
        name = QString::fromUtf8(*quoted);
    }
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    if (pos >= line.size() || line[pos] != '=')
        return std::nullopt;
    ++pos;
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    return name;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "41,00,42,00": the bytes, or nothing when a token is not a hex byte.
std::optional<QByteArray> hexBytes(const QByteArray &list)
{
    QByteArray out;
    const QList<QByteArray> tokens = list.split(',');
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QByteArray token = trimBlanks(tokens[i]);
        if (token.isEmpty() && i == tokens.size() - 1)
            break; // a trailing comma
        if (token.isEmpty() || token.size() > 2)
            return std::nullopt;
        int byte = 0;
        for (const char c : token) {
            const int d = hexDigit(c);
            if (d < 0)
                return std::nullopt;
            byte = byte * 16 + d;
        }
        out.append(char(byte));
    }
    return out;
}

// A line that can carry on the byte list of the line before it. Anything
// else (a blank line, a header, the next value) ends the value, even after a
// '\' at the end of the line before.
bool isHexContinuation(const QByteArray &line)
{
    const QByteArray text = trimBlanks(line);
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (hexDigit(c) < 0 && c != ',' && c != '\\' && !isBlank(c))
            return false;
    }
    return true;
}

// Decodes the data of a hex or hex(n) value; nothing when the text is not
// one at all.
std::optional<HiveDocument::Value> hexValue(const QByteArray &data)
{
    qsizetype pos = 3; // past "hex"
    long type = 3;     // plain hex: binary data
    if (pos < data.size() && data[pos] == '(') {
        const qsizetype close = data.indexOf(')', pos);
        if (close < 0 || close == pos + 1 || close - pos > 9)
            return std::nullopt;
        type = 0;
        for (qsizetype i = pos + 1; i < close; ++i) {
            const int d = hexDigit(data[i]);
            if (d < 0)
                return std::nullopt;
            type = type * 16 + d;
        }
        pos = close + 1;
    }
    if (pos >= data.size() || data[pos] != ':')
        return std::nullopt;
    HiveDocument::Value value;
    if (type != 1) {
        value.kind = HiveDocument::ValueKind::OtherType;
        return value;
    }
    // hex(1) is a plain string held as UTF-16 with its terminating zero.
    const std::optional<QByteArray> bytes = hexBytes(data.mid(pos + 1));
    if (!bytes || bytes->size() % 2 != 0) {
        value.kind = HiveDocument::ValueKind::Corrupt;
        return value;
    }
    QString text;
    for (qsizetype i = 0; i + 1 < bytes->size(); i += 2) {
        const char16_t unit = char16_t(uchar((*bytes)[i]) | (uchar((*bytes)[i + 1]) << 8));
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    value.text = text;
    return value;
}

QByteArray hexEncoded(const QString &text)
{
    QByteArray out = "hex(1):";
    const auto unit = [&out](char16_t u) {
        out.append(QByteArray::number(u & 0xFF, 16).rightJustified(2, '0'));
        out.append(',');
        out.append(QByteArray::number(u >> 8, 16).rightJustified(2, '0'));
    };
    for (const QChar c : text) {
        unit(c.unicode());
        out.append(',');
    }
    unit(0);
    return out;
}

// Text that a quoted REGEDIT4 string cannot carry on one line.
bool needsHex(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 && c != u'\t')
            return true;
    }
    return false;
}

} // namespace

HiveDocument HiveDocument::parse(const QByteArray &bytes)
{
    HiveDocument doc;
    QList<QByteArray> lines = bytes.split('\n');
    if (bytes.endsWith('\n') || bytes.isEmpty())
        lines.removeLast();
    // Lines are kept with any '\r' they end in; new lines follow the first.
    doc.crlf_ = !lines.isEmpty() && lines.first().endsWith('\r');

    for (qsizetype i = 0; i < lines.size(); ++i) {
        Entry entry;
        entry.lines.push_back(lines[i]);
        const QByteArray text = trimBlanks(lines[i]);

        if (text.startsWith('[') && text.endsWith(']') && text.size() >= 2) {
            entry.kind = EntryKind::Header;
            const QByteArray inner = text.mid(1, text.size() - 2);
            if (inner.compare(kUserRoot, Qt::CaseInsensitive) == 0) {
                entry.owned = true;
            } else if (startsWithNoCase(inner, kUserRoot) && inner.size() > qsizetype(sizeof kUserRoot)
                       && inner[qsizetype(sizeof kUserRoot) - 1] == '\\') {
                entry.owned = true;
                entry.key = QString::fromUtf8(inner.mid(sizeof kUserRoot));
            }
            doc.entries_.push_back(std::move(entry));
            continue;
        }

        qsizetype pos = 0;
        const std::optional<QString> name = valueName(text, pos);
        if (name) {
            QByteArray data = text.mid(pos);
            std::optional<Value> value;
            if (startsWithNoCase(data, "hex")) {
                // Long binary data continues on the next lines after a '\'.
                while (data.endsWith('\\') && i + 1 < lines.size() && isHexContinuation(lines[i + 1])) {
                    data.chop(1);
                    ++i;
                    entry.lines.push_back(lines[i]);
                    data.append(trimBlanks(lines[i]));
                }
                value = hexValue(data);
            } else if (startsWithNoCase(data, "dword:")) {
                value = Value{ValueKind::OtherType, {}};
            } else if (data.startsWith('"')) {
                qsizetype end = 0;
                const std::optional<QByteArray> quoted = unquote(data, end);
                if (quoted && end == data.size())
                    value = Value{ValueKind::String, QString::fromUtf8(*quoted)};
            }
            if (value) {
                entry.kind = EntryKind::Value;
                entry.name = *name;
                entry.value = *value;
            }
        }
        doc.entries_.push_back(std::move(entry));
    }
    return doc;
}

QByteArray HiveDocument::serialize() const
{
    QByteArray out;
    for (const Entry &entry : entries_) {
        for (const QByteArray &line : entry.lines) {
            out.append(line);
            out.append('\n');
        }
    }
    return out;
}

std::vector<int> HiveDocument::owners() const
{
    std::vector<int> result(entries_.size(), -1);
    int header = -1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].kind == EntryKind::Header)
            header = entries_[i].owned ? int(i) : -1;
        result[i] = header;
    }
    return result;
}

bool HiveDocument::hasKey(const QString &path) const
{
    const QString below = path + u'\\';
    for (const Entry &entry : entries_) {
        if (entry.kind == EntryKind::Header && entry.owned
            && (sameName(entry.key, path) || entry.key.startsWith(below, Qt::CaseInsensitive)))
            return true;
    }
    return false;
}

int HiveDocument::lastHeader(const QString &path) const
{
    for (int i = int(entries_.size()) - 1; i >= 0; --i) {
        const Entry &entry = entries_[std::size_t(i)];
        if (entry.kind == EntryKind::Header && entry.owned && sameName(entry.key, path))
            return i;
    }
    return -1;
}

int HiveDocument::appendHeader(const QString &path)
{
    auto other = [this](const QByteArray &line) {
        Entry e;
        e.lines.push_back(newLine(line));
        return e;
    };
    if (entries_.empty())
        entries_.push_back(other(kSignature));
    if (!trimBlanks(entries_.back().lines.back()).isEmpty())
        entries_.push_back(other(QByteArray()));
    Entry header;
    header.kind = EntryKind::Header;
    header.owned = true;
    header.key = path;
    header.lines.push_back(newLine('[' + QByteArray(kUserRoot) + '\\' + path.toUtf8() + ']'));
    entries_.push_back(std::move(header));
    return int(entries_.size()) - 1;
}

bool HiveDocument::addKey(const QString &path)
{
    if (hasKey(path))
        return false;
    appendHeader(path);
    return true;
}

std::optional<HiveDocument::Value> HiveDocument::value(const QString &key, const QString &name) const
{
    std::optional<Value> found;
    const std::vector<int> owner = owners();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry &entry = entries_[i];
        if (entry.kind == EntryKind::Value && owner[i] >= 0 && sameName(entries_[std::size_t(owner[i])].key, key)
            && sameName(entry.name, name))
            found = entry.value;
    }
    return found;
}

QByteArray HiveDocument::newLine(const QByteArray &text) const { return crlf_ ? text + '\r' : text; }

HiveDocument::Entry HiveDocument::valueEntry(const QString &name, const QString &text) const
{
    Entry entry;
    entry.kind = EntryKind::Value;
    entry.name = name;
    entry.value = Value{ValueKind::String, text};
    const QByteArray quotedName = name.isEmpty() ? QByteArray("@") : quote(name);
    entry.lines.push_back(newLine(quotedName + '=' + (needsHex(text) ? hexEncoded(text) : quote(text))));
    return entry;
}

bool HiveDocument::setString(const QString &key, const QString &name, const QString &text)
{
    const std::vector<int> owner = owners();
    for (int i = int(entries_.size()) - 1; i >= 0; --i) {
        Entry &entry = entries_[std::size_t(i)];
        if (entry.kind != EntryKind::Value || owner[std::size_t(i)] < 0
            || !sameName(entries_[std::size_t(owner[std::size_t(i)])].key, key) || !sameName(entry.name, name))
            continue;
        if (entry.value.kind == ValueKind::String && entry.value.text == text && entry.name == name)
            return false;
        entry = valueEntry(name, text);
        return true;
    }

    int header = lastHeader(key);
    if (header < 0)
        header = appendHeader(key);
    // New values go after the last value of the key's block, ahead of any
    // blank or foreign lines that close it.
    std::size_t at = std::size_t(header) + 1;
    for (std::size_t i = at; i < entries_.size() && entries_[i].kind != EntryKind::Header; ++i) {
        if (entries_[i].kind == EntryKind::Value)
            at = i + 1;
    }
    entries_.insert(entries_.begin() + std::ptrdiff_t(at), valueEntry(name, text));
    return true;
}

} // namespace brisvale::platform
