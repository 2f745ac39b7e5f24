#include "platform/WaveConverter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace brisvale::platform {

namespace {

// One source sample as a value in -1..1.
double readSample(const unsigned char *p, const WaveFormat &format)
{
    if (format.encoding == WaveEncoding::Float) {
        double v = 0.0;
        if (format.bitsPerSample == 32) {
            float f;
            std::memcpy(&f, p, sizeof f);
            v = f;
        } else {
            std::memcpy(&v, p, sizeof v);
        }
        if (std::isnan(v))
            return 0.0;
        return std::clamp(v, -1.0, 1.0);
    }
    switch (format.bitsPerSample) {
    case 8: return (int(p[0]) - 128) / 128.0;
    case 16: return std::int16_t(std::uint16_t(p[0] | (p[1] << 8))) / 32768.0;
    case 24: {
        const std::uint32_t u = std::uint32_t(p[0]) << 8 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 24;
        return std::int32_t(u) / 2147483648.0;
    }
    default: {
        const std::uint32_t u = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                                | std::uint32_t(p[3]) << 24;
        return std::int32_t(u) / 2147483648.0;
    }
    }
}

void writeSample(char *p, SampleType type, double v)
{
    switch (type) {
    case SampleType::UInt8: {
        const auto s = std::uint8_t(std::clamp(std::lround(v * 128.0) + 128, 0L, 255L));
        std::memcpy(p, &s, sizeof s);
        break;
    }
    case SampleType::Int16: {
        const auto s = std::int16_t(std::clamp(std::lround(v * 32768.0), -32768L, 32767L));
        std::memcpy(p, &s, sizeof s);
        break;
    }
    case SampleType::Int32: {
        const auto s = std::int32_t(std::clamp(std::llround(v * 2147483648.0), -2147483648LL, 2147483647LL));
        std::memcpy(p, &s, sizeof s);
        break;
    }
    case SampleType::Float: {
        const auto s = float(v);
        std::memcpy(p, &s, sizeof s);
        break;
    }
    }
}

} // namespace

int OutputFormat::bytesPerSample() const
{
    switch (type) {
    case SampleType::UInt8: return 1;
    case SampleType::Int16: return 2;
    case SampleType::Int32:
    case SampleType::Float: return 4;
    }
    return 0;
}

OutputFormat WaveConverter::nativeFormat(const WaveFormat &format)
{
    OutputFormat out;
    out.channels = format.channels;
    out.sampleRate = format.sampleRate;
    if (format.encoding == WaveEncoding::Float)
        out.type = SampleType::Float;
    else if (format.bitsPerSample == 8)
        out.type = SampleType::UInt8;
    else if (format.bitsPerSample == 16)
        out.type = SampleType::Int16;
    else
        out.type = SampleType::Int32;
    return out;
}

WaveError WaveConverter::convert(const WaveFile &wave, const OutputFormat &format, QByteArray &out)
{
    out.clear();
    if (!wave.isValid())
        return wave.error();
    if (format.channels < 1 || format.channels > kMaxOutputChannels || format.sampleRate < 1
        || format.sampleRate > kMaxOutputRate)
        return WaveError::OutputRefused;

    const WaveFormat &in = wave.format();
    const qint64 inFrames = wave.frameCount();
    const qint64 srcRate = in.sampleRate;
    const qint64 dstRate = format.sampleRate;
    // Both rates and the frame count are bounded, so these products fit.
    const qint64 outFrames = srcRate == dstRate ? inFrames : (inFrames * dstRate + srcRate - 1) / srcRate;
    if (outFrames > kMaxOutputBytes / format.bytesPerFrame())
        return WaveError::TooLongToPlay;

    out.resize(qsizetype(outFrames * format.bytesPerFrame()));
    if (outFrames == 0)
        return WaveError::None;

    const auto *src = reinterpret_cast<const unsigned char *>(wave.samples().data());
    const int inFrame = in.bytesPerFrame();
    const int inSample = in.bitsPerSample / 8;
    auto frameAt = [&](qint64 index, double(&v)[2]) {
        const unsigned char *f = src + std::min(index, inFrames - 1) * inFrame;
        v[0] = readSample(f, in);
        v[1] = in.channels == 2 ? readSample(f + inSample, in) : v[0];
    };

    char *dst = out.data();
    const int outSample = format.bytesPerSample();
    for (qint64 j = 0; j < outFrames; ++j) {
        double lr[2];
        if (srcRate == dstRate) {
            frameAt(j, lr);
        } else {
            const qint64 num = j * srcRate;
            const qint64 i = num / dstRate;
            const double frac = double(num % dstRate) / double(dstRate);
            double a[2], b[2];
            frameAt(i, a);
            frameAt(i + 1, b);
            lr[0] = a[0] + (b[0] - a[0]) * frac;
            lr[1] = a[1] + (b[1] - a[1]) * frac;
        }
        if (format.channels == 1) {
            writeSample(dst, format.type, in.channels == 2 ? (lr[0] + lr[1]) / 2.0 : lr[0]);
        } else {
            writeSample(dst, format.type, lr[0]);
            writeSample(dst + outSample, format.type, lr[1]);
            // Surround outputs get the sound on the front pair only.
            for (int c = 2; c < format.channels; ++c)
                writeSample(dst + qsizetype(c) * outSample, format.type, 0.0);
        }
        dst += format.bytesPerFrame();
    }
    return WaveError::None;
}

} // namespace brisvale::platform
