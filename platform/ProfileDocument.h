#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace brisvale::platform {

// The text of a private-profile (INI) file: "[Section]" headers and
// "key=value" lines. Section and key names match without regard to letter
// case; the first section and the first key of a name win. A header's name
// runs to the ']' that ends its line, so it may hold ']' itself; a UTF-8
// byte-order mark before the first line is kept and ignored for matching. Every line that is
// not touched by a change (comments, blank lines, lines without '=', other
// sections) is kept byte for byte and in order.
class ProfileDocument {
public:
    // Never fails: what cannot be understood is kept as an opaque line. The
    // document shares the bytes (which must own their data) rather than
    // copying them line by line.
    static ProfileDocument parse(const QByteArray &bytes);
    QByteArray serialize() const;
    // Hands the serialized text to `sink` in pieces, as long runs of the
    // bytes read where nothing changed; false when `sink` failed.
    bool writeTo(const std::function<bool(const char *, qsizetype)> &sink) const;

    // The value with surrounding blanks removed, and one pair of enclosing
    // quotes; nothing when the section or key is absent.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // Sets the value, appending the key to its section and the section to the
    // file when missing; true when the text changed.
    bool setValue(const QString &section, const QString &key, const QString &value);
    // True when the value of some key, in any section, ends with `tail`
    // (letters A to Z in either case). A quick look over a large file for
    // whether anything still names a file.
    bool anyValueEndsWith(const QString &tail) const;
    // The same for many tails at once, in one pass: one answer per tail.
    std::vector<bool> namedByValues(const QStringList &tails) const;
    // Removes the key's line; true when there was one.
    bool removeKey(const QString &section, const QString &key);

private:
    struct Line {
        QByteArray raw;    // as read, without the line end
        QByteArray ending; // "\n", "\r\n", or "" for a last line without one
        bool header = false;
        QString name; // section of a header
        bool isKey = false;
        // Still where parse() found it, line end included, in the bytes read.
        bool inPlace = false;
    };
    // Index of the section's header, or -1.
    int findSection(const QString &section) const;
    // Index of the key's line inside the section starting after `header`, or -1.
    int findKey(int header, const QString &key) const;
    static qsizetype separatorOf(const QByteArray &text);
    static qsizetype valueStart(const Line &line, const QString &key);
    // One past the last line of the section whose header is at `header`.
    int sectionEnd(int header) const;

    // The bytes parsed; untouched lines are views into them.
    QByteArray source_;
    std::vector<Line> lines_;
    // Indices of the header lines, in order.
    std::vector<int> headers_;
    // Moves the header indices at or after `from` by `by` lines.
    void shiftHeaders(int from, int by);
    // Given to new lines: the file's first line end.
    QByteArray lineEnd_ = "\n";
    // Appends a line, giving the old last line an end when it had none.
    void append(Line line);
};

} // namespace brisvale::platform
