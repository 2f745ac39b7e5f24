#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace brisvale::platform {

// Why a wave sound could not be opened or played. The numbers reach the
// player in failure messages, so they never change meaning.
enum class WaveError : int {
    None = 0,
    FileNotFound = 1,
    ReadFailed = 2,
    FileTooLarge = 3,
    NotRiff = 4,
    NotWave = 5,
    Truncated = 6,
    NoFormatChunk = 7,
    NoDataChunk = 8,
    BadFormat = 9,
    UnsupportedEncoding = 10,
    UnsupportedChannels = 11,
    UnsupportedBits = 12,
    UnsupportedRate = 13,
    NotOpen = 14,
    NoOutputDevice = 15,
    OutputRefused = 16,
    OutputFailed = 17,
    TooLongToPlay = 18,
};

// One sentence for the player; never empty.
QString waveErrorText(WaveError error);

enum class WaveEncoding { Pcm, Float };

struct WaveFormat {
    WaveEncoding encoding = WaveEncoding::Pcm;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;

    int bytesPerFrame() const { return channels * (bitsPerSample / 8); }
};

// A RIFF/WAVE file image checked and taken apart: integer PCM of 8, 16, 24 or
// 32 bits or IEEE float of 32 or 64 bits (plain or extensible header), one or
// two channels. Anything else, and anything cut short or self-contradictory,
// is refused with a reason; nothing is read outside the given bytes.
class WaveFile {
public:
    static constexpr qsizetype kMaxFileBytes = qsizetype(64) * 1024 * 1024;
    static constexpr int kMinSampleRate = 4000;
    static constexpr int kMaxSampleRate = 192000;

    static WaveFile parse(const QByteArray &bytes);
    // A result that carries only a reason, for failures found before parsing.
    static WaveFile failed(WaveError error);

    bool isValid() const { return error_ == WaveError::None; }
    WaveError error() const { return error_; }
    const WaveFormat &format() const { return format_; }
    // The sample data, whole frames only.
    QByteArrayView samples() const;
    qint64 frameCount() const;

private:
    WaveFile() = default;

    WaveError error_ = WaveError::None;
    WaveFormat format_;
    QByteArray bytes_;
    qsizetype dataOffset_ = 0;
    qsizetype dataSize_ = 0;
};

} // namespace brisvale::platform
