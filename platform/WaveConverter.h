#pragma once

#include "platform/WaveFile.h"

#include <QByteArray>

namespace brisvale::platform {

enum class SampleType { UInt8, Int16, Int32, Float };

// A raw sample layout an audio output accepts: interleaved, native byte order.
struct OutputFormat {
    SampleType type = SampleType::Int16;
    int channels = 2;
    int sampleRate = 44100;

    int bytesPerSample() const;
    int bytesPerFrame() const { return channels * bytesPerSample(); }
    bool operator==(const OutputFormat &) const = default;
};

// Turns the samples of a wave file into the layout an output accepts: sample
// type, channel count (mono is spread, stereo is mixed down) and rate (linear
// interpolation). Float input that is out of range, infinite or not a number
// is clamped or silenced rather than trusted.
class WaveConverter {
public:
    // Upper bound of a converted sound, so a short file asked to play at a
    // much higher rate cannot exhaust memory.
    static constexpr qint64 kMaxOutputBytes = qint64(256) * 1024 * 1024;
    static constexpr int kMaxOutputChannels = 8;
    static constexpr int kMaxOutputRate = 768000;

    // The output layout that needs no conversion at all.
    static OutputFormat nativeFormat(const WaveFormat &format);

    // Fills `out` and answers WaveError::None, or answers why it cannot
    // (OutputRefused for an unusable layout, TooLongToPlay beyond the bound).
    static WaveError convert(const WaveFile &wave, const OutputFormat &format, QByteArray &out);
};

} // namespace brisvale::platform
