#include "platform/WaveFile.h"

#include <cstdint>
#include <cstring>

namespace brisvale::platform {

namespace {

constexpr std::uint16_t kTagPcm = 0x0001;
constexpr std::uint16_t kTagFloat = 0x0003;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
constexpr qsizetype kBasicFormatSize = 16;
constexpr qsizetype kExtensibleFormatSize = 40;
// The sub-format identifier of an extensible header is the plain format tag
// followed by these fixed fourteen bytes.
constexpr unsigned char kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                              0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t u16(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return std::uint16_t(b[0] | (b[1] << 8));
}

std::uint32_t u32(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24);
}

bool isId(const char *p, const char (&id)[5]) { return std::memcmp(p, id, 4) == 0; }

struct FormatChunk {
    std::uint16_t tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bits = 0;
};

// Reads the format chunk, resolving an extensible header to the plain tag it
// wraps. Returns false when the chunk is too short for the header it claims.
bool readFormat(const char *p, qsizetype size, FormatChunk &fmt)
{
    if (size < kBasicFormatSize)
        return false;
    fmt.tag = u16(p);
    fmt.channels = u16(p + 2);
    fmt.sampleRate = u32(p + 4);
    fmt.blockAlign = u16(p + 12);
    fmt.bits = u16(p + 14);
    if (fmt.tag != kTagExtensible)
        return true;
    if (size < kExtensibleFormatSize || u16(p + 16) < 22)
        return false;
    const std::uint16_t subTag = u16(p + 24);
    fmt.tag = std::memcmp(p + 26, kSubFormatTail, sizeof kSubFormatTail) == 0 ? subTag : 0;
    return true;
}

WaveError checkFormat(const FormatChunk &fmt, WaveFormat &out)
{
    if (fmt.tag == kTagPcm)
        out.encoding = WaveEncoding::Pcm;
    else if (fmt.tag == kTagFloat)
        out.encoding = WaveEncoding::Float;
    else
        return WaveError::UnsupportedEncoding;

    if (fmt.channels == 0)
        return WaveError::BadFormat;
    if (fmt.channels > 2)
        return WaveError::UnsupportedChannels;

    const bool bitsOk = out.encoding == WaveEncoding::Pcm
                            ? (fmt.bits == 8 || fmt.bits == 16 || fmt.bits == 24 || fmt.bits == 32)
                            : (fmt.bits == 32 || fmt.bits == 64);
    if (fmt.bits == 0)
        return WaveError::BadFormat;
    if (!bitsOk)
        return WaveError::UnsupportedBits;

    if (fmt.sampleRate == 0)
        return WaveError::BadFormat;
    if (fmt.sampleRate < std::uint32_t(WaveFile::kMinSampleRate)
        || fmt.sampleRate > std::uint32_t(WaveFile::kMaxSampleRate))
        return WaveError::UnsupportedRate;

    out.channels = fmt.channels;
    out.bitsPerSample = fmt.bits;
    out.sampleRate = int(fmt.sampleRate);
    if (fmt.blockAlign != out.bytesPerFrame())
        return WaveError::BadFormat;
    return WaveError::None;
}

} // namespace

QString waveErrorText(WaveError error)
{
    switch (error) {
    case WaveError::None: return QStringLiteral("The operation completed successfully.");
    case WaveError::FileNotFound: return QStringLiteral("The sound file was not found.");
    case WaveError::ReadFailed: return QStringLiteral("The sound file could not be read.");
    case WaveError::FileTooLarge: return QStringLiteral("The sound file is too large to be played.");
    case WaveError::NotRiff: return QStringLiteral("The file is not a wave sound file.");
    case WaveError::NotWave: return QStringLiteral("The file is a RIFF file but holds no wave sound.");
    case WaveError::Truncated: return QStringLiteral("The wave sound file is incomplete or damaged.");
    case WaveError::NoFormatChunk: return QStringLiteral("The wave sound file does not describe its sound format.");
    case WaveError::NoDataChunk: return QStringLiteral("The wave sound file holds no sound data.");
    case WaveError::BadFormat: return QStringLiteral("The wave sound file describes its sound format inconsistently.");
    case WaveError::UnsupportedEncoding:
        return QStringLiteral("The wave sound file is compressed or encoded in a way that cannot be played.");
    case WaveError::UnsupportedChannels: return QStringLiteral("Only mono and stereo wave sounds can be played.");
    case WaveError::UnsupportedBits: return QStringLiteral("The sample size of the wave sound cannot be played.");
    case WaveError::UnsupportedRate: return QStringLiteral("The sample rate of the wave sound cannot be played.");
    case WaveError::NotOpen: return QStringLiteral("No sound file is open.");
    case WaveError::NoOutputDevice: return QStringLiteral("No audio output device is available.");
    case WaveError::OutputRefused:
        return QStringLiteral("The audio output device accepts none of the formats offered.");
    case WaveError::OutputFailed: return QStringLiteral("The audio output device failed to play the sound.");
    case WaveError::TooLongToPlay: return QStringLiteral("The sound is too long to be played on this audio output.");
    }
    return QStringLiteral("Unknown sound error.");
}

WaveFile WaveFile::failed(WaveError error)
{
    WaveFile f;
    f.error_ = error;
    return f;
}

WaveFile WaveFile::parse(const QByteArray &bytes)
{
    const qsizetype size = bytes.size();
    if (size > kMaxFileBytes)
        return failed(WaveError::FileTooLarge);
    const char *p = bytes.constData();
    if (size < 12) {
        // A short prefix of a real header is a cut file; anything else is not a wave file.
        const bool riffPrefix = std::memcmp(p, "RIFF", size < 4 ? size_t(size) : 4) == 0;
        return failed(riffPrefix && size > 0 ? WaveError::Truncated : WaveError::NotRiff);
    }
    if (!isId(p, "RIFF"))
        return failed(WaveError::NotRiff);
    if (!isId(p + 8, "WAVE"))
        return failed(WaveError::NotWave);

    // Writers get the RIFF size wrong often enough that it does not bound the
    // walk; whether the sound is whole is decided by its own chunks. It only
    // tells a file cut before a chunk we need from one that never had it.
    const bool shortOfRiffSize = std::uint64_t(u32(p + 4)) + 8 > std::uint64_t(size);
    bool haveFormat = false;
    FormatChunk fmt;
    qsizetype dataOffset = -1;
    qsizetype dataSize = 0;
    bool cut = false;

    qsizetype pos = 12;
    while (pos < size && !(haveFormat && dataOffset >= 0)) {
        if (size - pos < 8) {
            cut = true;
            break;
        }
        const char *chunk = p + pos;
        const std::uint64_t chunkSize = u32(chunk + 4);
        const qsizetype body = pos + 8;
        if (chunkSize > std::uint64_t(size - body)) {
            cut = true;
            break;
        }
        if (isId(chunk, "fmt ") && !haveFormat) {
            if (!readFormat(p + body, qsizetype(chunkSize), fmt))
                return failed(WaveError::BadFormat);
            haveFormat = true;
        } else if (isId(chunk, "data") && dataOffset < 0) {
            dataOffset = body;
            dataSize = qsizetype(chunkSize);
        }
        // Chunks are padded to an even length; a missing pad byte at the very
        // end is harmless.
        pos = body + qsizetype(chunkSize) + qsizetype(chunkSize & 1);
    }

    if (cut || ((!haveFormat || dataOffset < 0) && shortOfRiffSize))
        return failed(WaveError::Truncated);
    if (!haveFormat)
        return failed(WaveError::NoFormatChunk);

    WaveFile wave;
    const WaveError formatError = checkFormat(fmt, wave.format_);
    if (formatError != WaveError::None)
        return failed(formatError);
    if (dataOffset < 0)
        return failed(WaveError::NoDataChunk);

    wave.bytes_ = bytes;
    wave.dataOffset_ = dataOffset;
    const qsizetype frame = wave.format_.bytesPerFrame();
    wave.dataSize_ = dataSize - dataSize % frame;
    return wave;
}

QByteArrayView WaveFile::samples() const { return QByteArrayView(bytes_.constData() + dataOffset_, dataSize_); }

qint64 WaveFile::frameCount() const
{
    const int frame = format_.bytesPerFrame();
    return frame > 0 ? dataSize_ / frame : 0;
}

} // namespace brisvale::platform
