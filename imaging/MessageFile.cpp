#include "imaging/MessageFile.h"

#include <QRegularExpression>
#include <algorithm>

namespace brisvale {

namespace {

int toInteger(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw MessageFormatError("not an integer: " + text.left(40).toStdString());
    return value;
}

using B = MessageBounds;

int fontHeightOf(const QString &text) { return std::clamp(toInteger(text), -B::kMaxPixels, B::kMaxPixels); }
int fontSizeOf(const QString &text) { return std::clamp(toInteger(text), 0, B::kMaxPoints); }
int speedOf(const QString &text) { return std::clamp(toInteger(text), 0, B::kMaxSpeed); }

} // namespace

void applyStyle(const QString &flags, MessageSettings &settings)
{
    const QString f = flags.left(4);
    settings.bold = f.size() > 0 && f[0] == u'1';
    settings.italic = f.size() > 1 && f[1] == u'1';
    settings.underline = f.size() > 2 && f[2] == u'1';
    settings.strikeOut = f.size() > 3 && f[3] == u'1';
}

void parseSideways(const QByteArray &bytes, MessageSettings &settings)
{
    const QString text = QString::fromLatin1(bytes);
    static const char *const tags[] = {"/fc|", "/fh|", "/fn|", "/fs|", "/ft|", "/bc|", "/sp|", "/sm|", "/eo|"};
    enum Field { FontColor, FontHeight, FontFace, FontSize, FontStyle, Background, Speed, Message };

    for (int field = FontColor; field <= Message; ++field) {
        const QString tag = QLatin1String(tags[field]);
        const QString next = QLatin1String(tags[field + 1]);
        const qsizetype at = text.indexOf(tag);
        const qsizetype end = text.indexOf(next);
        if (at < 0 || end < 0) {
            // Missing: the field's default; size and style stay as they were.
            switch (field) {
            case FontColor: settings.fontColor = 255; break;
            case FontHeight: settings.fontHeight = -13, settings.fontSize = 0; break;
            case FontFace: settings.fontFace = QStringLiteral("SYSTEM"); break;
            case Background: settings.background = 128; break;
            case Speed: settings.speed = 1; break;
            case Message: settings.message = QStringLiteral(" Invallid message format ! "); break;
            default: break;
            }
            continue;
        }
        const qsizetype start = at + tag.size();
        const QString value = end > start ? text.mid(start, end - start) : QString();
        if (value.isEmpty())
            continue;
        switch (field) {
        case FontColor: settings.fontColor = toInteger(value); break;
        case FontHeight: settings.fontHeight = fontHeightOf(value), settings.fontSize = 0; break;
        case FontFace: settings.fontFace = value.left(B::kMaxFace); break;
        case FontSize: settings.fontSize = fontSizeOf(value); break;
        case FontStyle: applyStyle(value, settings); break;
        case Background: settings.background = toInteger(value); break;
        case Speed: settings.speed = speedOf(value); break;
        case Message: settings.message = value.left(B::kMaxText); break;
        default: break;
        }
    }
}

void parseUpward(const QByteArray &bytes, MessageSettings &settings)
{
    settings.lines.clear();
    const qsizetype zero = bytes.indexOf('\0');
    const QString text = QString::fromLatin1(zero >= 0 ? bytes.left(zero) : bytes);
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty() && lines.last().isEmpty() && (text.endsWith(u'\n') || text.endsWith(u'\r')))
        lines.removeLast();
    if (lines.size() < 8)
        throw MessageFormatError("a message file needs at least eight lines");

    settings.fontColor = toInteger(lines[1]);
    settings.fontHeight = fontHeightOf(lines[2]);
    settings.fontFace = lines[3].left(B::kMaxFace);
    settings.fontSize = fontSizeOf(lines[4]);
    applyStyle(lines[5], settings);
    settings.background = toInteger(lines[6]);
    settings.speed = speedOf(lines[7]);
    settings.lines = lines.mid(8);
    for (QString &line : settings.lines)
        line.truncate(B::kMaxText);
}

} // namespace brisvale
