#include "platform/ProfileDocument.h"

#include <QHash>

#include <algorithm>
#include <cstring>

namespace brisvale::platform {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
const QByteArray kLf = QByteArray::fromRawData("\n", 1);
const QByteArray kCrLf = QByteArray::fromRawData("\r\n", 2);

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QByteArray trimmedLine(const QByteArray &raw) { return raw.endsWith('\r') ? raw.chopped(1).trimmed() : raw.trimmed(); }

} // namespace

ProfileDocument ProfileDocument::parse(const QByteArray &bytes)
{
    // Lines point into the bytes, which the document keeps: a large file is
    // not copied line by line.
    ProfileDocument doc;
    doc.source_ = bytes;
    const char *data = doc.source_.constData();
    const qsizetype size = doc.source_.size();
    const qsizetype firstEnd = doc.source_.indexOf('\n');
    if (firstEnd > 0 && data[firstEnd - 1] == '\r')
        doc.lineEnd_ = kCrLf;
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = doc.source_.indexOf('\n', start);
        Line line;
        qsizetype last = end < 0 ? size : end;
        if (end < 0) {
            end = size;
        } else {
            line.ending = kLf;
            if (last > start && data[last - 1] == '\r') {
                --last;
                line.ending = kCrLf;
            }
        }
        line.raw = QByteArray::fromRawData(data + start, last - start);
        line.inPlace = true;
        qsizetype from = start;
        qsizetype to = last;
        // A byte-order mark some editors put first is kept but is no part of a name.
        if (start == 0 && doc.source_.startsWith(kByteOrderMark))
            from += qsizetype(sizeof kByteOrderMark) - 1;
        while (from < to && isBlank(data[from]))
            ++from;
        while (to > from && isBlank(data[to - 1]))
            --to;
        if (from < to && data[from] == '[') {
            const QByteArray text(data + from, to - from);
            // Folder names may hold ']': a header that ends in one closes there.
            const qsizetype close = text.endsWith(']') ? text.size() - 1 : text.indexOf(']');
            line.header = true;
            line.name = QString::fromUtf8(close < 0 ? text.mid(1) : text.mid(1, close - 1)).trimmed();
        } else if (from < to && data[from] != ';' && data[from] != '=') {
            line.isKey = std::memchr(data + from, '=', size_t(to - from)) != nullptr;
        }
        if (line.header)
            doc.headers_.push_back(int(doc.lines_.size()));
        doc.lines_.push_back(std::move(line));
        start = end + 1;
    }
    return doc;
}

QByteArray ProfileDocument::serialize() const
{
    QByteArray out;
    qsizetype size = 0;
    for (const Line &line : lines_)
        size += line.raw.size() + line.ending.size();
    out.reserve(size);
    writeTo([&out](const char *data, qsizetype length) {
        out.append(data, length);
        return true;
    });
    return out;
}

bool ProfileDocument::writeTo(const std::function<bool(const char *, qsizetype)> &sink) const
{
    const char *run = nullptr;
    qsizetype runLength = 0;
    const auto flushRun = [&] {
        const bool ok = runLength == 0 || sink(run, runLength);
        runLength = 0;
        return ok;
    };
    for (const Line &line : lines_) {
        if (line.inPlace) {
            if (runLength > 0 && run + runLength == line.raw.constData()) {
                runLength += line.raw.size() + line.ending.size();
                continue;
            }
            if (!flushRun())
                return false;
            run = line.raw.constData();
            runLength = line.raw.size() + line.ending.size();
            continue;
        }
        if (!flushRun() || (!line.raw.isEmpty() && !sink(line.raw.constData(), line.raw.size()))
            || (!line.ending.isEmpty() && !sink(line.ending.constData(), line.ending.size())))
            return false;
    }
    return flushRun();
}

void ProfileDocument::append(Line line)
{
    if (!lines_.empty() && lines_.back().ending.isEmpty()) {
        lines_.back().ending = lineEnd_;
        lines_.back().inPlace = false;
    }
    if (line.header)
        headers_.push_back(int(lines_.size()));
    lines_.push_back(std::move(line));
}

void ProfileDocument::shiftHeaders(int from, int by)
{
    for (int &header : headers_) {
        if (header >= from)
            header += by;
    }
}

int ProfileDocument::findSection(const QString &section) const
{
    const QString wanted = section.trimmed();
    for (const int header : headers_)
        if (sameName(lines_[size_t(header)].name, wanted))
            return header;
    return -1;
}

int ProfileDocument::sectionEnd(int header) const
{
    const auto next = std::upper_bound(headers_.begin(), headers_.end(), header);
    return next == headers_.end() ? int(lines_.size()) : *next;
}

// Where a key line's '=' stands. Names may hold '=' (a picture "a=b.jpg", a
// folder "x=y") and values are names without one: the key ends at the last
// '='. A value that is a full path may hold one in its folder, so where a
// path or the end of the line follows an '=', the last such one ends the key.
qsizetype ProfileDocument::separatorOf(const QByteArray &text)
{
    qsizetype found = -1;
    for (qsizetype i = text.indexOf('='); i >= 0; i = text.indexOf('=', i + 1)) {
        qsizetype next = i + 1;
        while (next < text.size() && (text[next] == ' ' || text[next] == '\t'))
            ++next;
        if (next == text.size() || text[next] == '/')
            found = i;
    }
    return found >= 0 ? found : text.lastIndexOf('=');
}

// Where the value starts when the line holds the key, else -1.
qsizetype ProfileDocument::valueStart(const Line &line, const QString &key)
{
    if (!line.isKey)
        return -1;
    QByteArray text = trimmedLine(line.raw);
    if (text.startsWith(kByteOrderMark))
        text = text.mid(qsizetype(sizeof kByteOrderMark) - 1).trimmed();
    const QByteArray name = key.trimmed().toUtf8();
    const qsizetype separator = separatorOf(text);
    qsizetype end = separator;
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    if (end != name.size() || QString::fromUtf8(text.left(end)).compare(key.trimmed(), Qt::CaseInsensitive) != 0)
        return -1;
    return separator + 1;
}

int ProfileDocument::findKey(int header, const QString &key) const
{
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (valueStart(lines_[i], key) >= 0)
            return i;
    return -1;
}

std::optional<QString> ProfileDocument::value(const QString &section, const QString &key) const
{
    const int header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const int at = findKey(header, key);
    if (at < 0)
        return std::nullopt;
    QByteArray text = trimmedLine(lines_[at].raw);
    if (text.startsWith(kByteOrderMark))
        text = text.mid(qsizetype(sizeof kByteOrderMark) - 1).trimmed();
    QByteArray v = text.mid(valueStart(lines_[at], key)).trimmed();
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return QString::fromUtf8(v);
}

bool ProfileDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    Line line;
    line.isKey = true;
    line.name = key.trimmed();
    line.raw = line.name.toUtf8() + '=' + value.toUtf8();
    line.ending = lineEnd_;

    int header = findSection(section);
    if (header < 0) {
        Line head;
        head.header = true;
        head.name = section.trimmed();
        head.raw = '[' + head.name.toUtf8() + ']';
        head.ending = lineEnd_;
        append(std::move(head));
        append(std::move(line));
        return true;
    }
    const int at = findKey(header, key);
    if (at >= 0) {
        if (lines_[at].raw == line.raw)
            return false;
        line.ending = lines_[at].ending.isEmpty() ? QByteArray() : lines_[at].ending;
        lines_[at] = std::move(line);
        return true;
    }
    // After the section's last non-blank line, so blank separators stay put.
    int end = sectionEnd(header);
    while (end > header + 1 && trimmedLine(lines_[end - 1].raw).isEmpty())
        --end;
    if (end == int(lines_.size())) {
        append(std::move(line));
        return true;
    }
    lines_.insert(lines_.begin() + end, std::move(line));
    shiftHeaders(end, 1);
    return true;
}

bool ProfileDocument::anyValueEndsWith(const QString &tail) const { return namedByValues({tail}).front(); }

std::vector<bool> ProfileDocument::namedByValues(const QStringList &tails) const
{
    // Each tail is looked up by the part after its last '/', so one pass over
    // a large file answers for all of them.
    std::vector<bool> found(size_t(tails.size()), false);
    std::vector<QByteArray> wanted;
    QHash<QByteArray, std::vector<size_t>> byName;
    for (const QString &tail : tails) {
        wanted.push_back(tail.toUtf8());
        const QByteArray &w = wanted.back();
        if (!w.isEmpty())
            byName[w.mid(w.lastIndexOf('/') + 1).toLower()].push_back(wanted.size() - 1);
    }
    for (const Line &line : lines_) {
        if (!line.isKey)
            continue;
        const char *text = line.raw.constData();
        qsizetype end = line.raw.size();
        while (end > 0 && std::strchr(" \t\r\"'", text[end - 1]) != nullptr)
            --end;
        qsizetype start = end;
        while (start > 0 && text[start - 1] != '/' && text[start - 1] != '=')
            --start;
        const auto it = byName.constFind(QByteArray(text + start, end - start).toLower());
        if (it == byName.constEnd())
            continue;
        for (const size_t i : *it) {
            const QByteArray &w = wanted[i];
            if (end >= w.size() && qstrnicmp(text + end - w.size(), w.constData(), w.size()) == 0)
                found[i] = true;
        }
    }
    return found;
}

bool ProfileDocument::removeKey(const QString &section, const QString &key)
{
    const int header = findSection(section);
    if (header < 0)
        return false;
    const int at = findKey(header, key);
    if (at < 0)
        return false;
    lines_.erase(lines_.begin() + at);
    shiftHeaders(at, -1);
    return true;
}

} // namespace brisvale::platform
