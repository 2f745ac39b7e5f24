#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <cstdint>
#include <initializer_list>

// Builds RIFF/WAVE file images in memory, right or deliberately wrong, for
// the tests of the wave reader and of everything that opens sounds.
namespace brisvale::test::wave {

struct Layout {
    std::uint16_t tag = 1; // 1 integer PCM, 3 IEEE float
    std::uint16_t channels = 1;
    std::uint32_t rate = 22050;
    std::uint16_t bits = 16;
    bool extensible = false; // wrap the tag in an extensible header
    int blockAlignDelta = 0; // to write an inconsistent block size
};

inline QByteArray le16(std::uint16_t v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

inline QByteArray le32(std::uint32_t v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// A chunk whose size field says `declared` (its real size when negative).
inline QByteArray chunk(const char *id, const QByteArray &body, qint64 declared = -1)
{
    QByteArray c(id, 4);
    c += le32(std::uint32_t(declared < 0 ? body.size() : declared));
    c += body;
    if (body.size() % 2)
        c += '\0';
    return c;
}

inline QByteArray formatBody(const Layout &s)
{
    const std::uint16_t align = std::uint16_t(s.channels * (s.bits / 8) + s.blockAlignDelta);
    QByteArray b;
    b += le16(s.extensible ? 0xFFFE : s.tag);
    b += le16(s.channels);
    b += le32(s.rate);
    b += le32(s.rate * align);
    b += le16(align);
    b += le16(s.bits);
    if (s.extensible) {
        b += le16(22);
        b += le16(s.bits);
        b += le32(s.channels == 2 ? 3 : 4);
        b += le16(s.tag);
        b += QByteArray("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }
    return b;
}

// "RIFF" <size> "WAVE" followed by the chunks; the RIFF size is right unless given.
inline QByteArray riff(std::initializer_list<QByteArray> chunks, qint64 declared = -1)
{
    QByteArray body("WAVE");
    for (const QByteArray &c : chunks)
        body += c;
    QByteArray file("RIFF");
    file += le32(std::uint32_t(declared < 0 ? body.size() : declared));
    return file + body;
}

// A well-formed file: a format chunk and a data chunk.
inline QByteArray image(const Layout &s, const QByteArray &samples)
{
    return riff({chunk("fmt ", formatBody(s)), chunk("data", samples)});
}

// `frames` frames of a quiet rising ramp in the layout of `s`.
inline QByteArray ramp(const Layout &s, int frames)
{
    QByteArray out;
    const int bytes = s.bits / 8;
    for (int i = 0; i < frames * s.channels; ++i) {
        if (s.tag == 3 && s.bits == 32) {
            float v = float(i % 100) / 1000.0f;
            out += QByteArray(reinterpret_cast<const char *>(&v), 4);
        } else if (s.tag == 3) {
            double v = double(i % 100) / 1000.0;
            out += QByteArray(reinterpret_cast<const char *>(&v), 8);
        } else {
            for (int k = 0; k < bytes; ++k)
                out += char(k == bytes - 1 ? (i % 16) : 0);
        }
    }
    return out;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A small playable sound.
inline QByteArray validSound(int frames = 64)
{
    const Layout s;
    return image(s, ramp(s, frames));
}

} // namespace brisvale::test::wave
