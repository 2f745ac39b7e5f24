#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace brisvale {

// A message file's text is bad (a number that is not a number, too few lines).
class MessageFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a message file may ask for. Bigger values are brought back to these, so
// a small file cannot make the band a picture of hundreds of megabytes: fonts
// of at most 200 points or 270 pixels, speeds 0 to 1000, at most 1000
// characters of text per message or line and 255 of face name.
struct MessageBounds {
    static constexpr int kMaxPoints = 200;
    static constexpr int kMaxPixels = 270;
    static constexpr int kMaxSpeed = 1000;
    static constexpr int kMaxText = 1000;
    static constexpr int kMaxFace = 255;
};

// How scrolling messages look. It outlives one file: fields a file leaves
// empty keep what the previous file set.
struct MessageSettings {
    int fontColor = 255;  // 0x00BBGGRR
    int fontHeight = -13; // negative: character height in pixels
    QString fontFace = QStringLiteral("SYSTEM");
    int fontSize = 0; // points; 0 while the height rules (a later height wins over an earlier size)
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int background = 128; // 0x00BBGGRR
    int speed = 1;
    QString message;   // the sideways message
    QStringList lines; // the upward messages
};

// The sideways kind: tagged fields "/fc|" .. "/eo|" in a fixed order.
void parseSideways(const QByteArray &text, MessageSettings &settings);

// The upward kind: line 1 ignored, lines 2-8 the look, every later line one
// message. The whole file is read; it stops at a zero byte. Lines end at CR
// LF, LF or a lone CR.
void parseUpward(const QByteArray &text, MessageSettings &settings);

// Style flags from up to four characters, each "1" for on: bold, italic,
// underline, strike-out.
void applyStyle(const QString &flags, MessageSettings &settings);

} // namespace brisvale
