#include "platform/WaveConverter.h"
#include "tests/support/WaveImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace brisvale::platform;
namespace wave = brisvale::test::wave;

namespace {

template <typename T>
std::vector<T> samplesOf(const QByteArray &bytes)
{
    std::vector<T> out(size_t(bytes.size()) / sizeof(T));
    std::memcpy(out.data(), bytes.constData(), out.size() * sizeof(T));
    return out;
}

template <typename T>
QByteArray bytesOf(std::initializer_list<T> values)
{
    QByteArray out;
    for (T v : values)
        out += QByteArray(reinterpret_cast<const char *>(&v), sizeof v);
    return out;
}

std::vector<std::int16_t> toInt16(const wave::Layout &layout, const QByteArray &samples, int channels = -1,
                                  int rate = -1)
{
    const WaveFile w = WaveFile::parse(wave::image(layout, samples));
    EXPECT_TRUE(w.isValid());
    const OutputFormat out{SampleType::Int16, channels < 0 ? layout.channels : channels,
                           rate < 0 ? int(layout.rate) : rate};
    QByteArray pcm;
    EXPECT_EQ(WaveConverter::convert(w, out, pcm), WaveError::None);
    return samplesOf<std::int16_t>(pcm);
}

TEST(WaveConverter, ScalesEveryIntegerSizeToTheSameLevels)
{
    using V = std::vector<std::int16_t>;
    // Smallest, middle and largest value of each size.
    EXPECT_EQ(toInt16({1, 1, 8000, 8}, QByteArray("\x00\x80\xFF", 3)), (V{-32768, 0, 32512}));
    EXPECT_EQ(toInt16({1, 1, 8000, 16}, bytesOf<std::int16_t>({-32768, 0, 32767})), (V{-32768, 0, 32767}));
    // 24-bit samples are sign-extended: 0x800000 is the most negative.
    EXPECT_EQ(toInt16({1, 1, 8000, 24}, QByteArray("\x00\x00\x80"
                                                   "\x00\x00\x00"
                                                   "\xFF\xFF\x7F",
                                                   9)),
              (V{-32768, 0, 32767}));
    EXPECT_EQ(toInt16({1, 1, 8000, 32}, bytesOf<std::int32_t>({std::numeric_limits<std::int32_t>::min(), 1 << 30, 0})),
              (V{-32768, 16384, 0}));
}

TEST(WaveConverter, FloatOutOfRangeIsClampedAndNotANumberSilenced)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(toInt16({3, 1, 8000, 32}, bytesOf<float>({0.5f, 2.0f, -7.0f, inf, -inf, nan})),
              (std::vector<std::int16_t>{16384, 32767, -32768, 32767, -32768, 0}));
    EXPECT_EQ(toInt16({3, 1, 8000, 64}, bytesOf<double>({-0.5, std::nan("")})), (std::vector<std::int16_t>{-16384, 0}));
}

TEST(WaveConverter, SpreadsMonoAndMixesStereoDown)
{
    using V = std::vector<std::int16_t>;
    EXPECT_EQ(toInt16({1, 1, 8000, 16}, bytesOf<std::int16_t>({100, -200}), 2), (V{100, 100, -200, -200}));
    EXPECT_EQ(toInt16({1, 2, 8000, 16}, bytesOf<std::int16_t>({100, 300, -200, 0}), 1), (V{200, -100}));
    // Surround outputs: the sound on the front pair, silence elsewhere.
    EXPECT_EQ(toInt16({1, 2, 8000, 16}, bytesOf<std::int16_t>({100, 300}), 4), (V{100, 300, 0, 0}));
}

TEST(WaveConverter, ChangesTheRateByInterpolating)
{
    using V = std::vector<std::int16_t>;
    EXPECT_EQ(toInt16({1, 1, 8000, 16}, bytesOf<std::int16_t>({0, 1000, 2000}), 1, 16000),
              (V{0, 500, 1000, 1500, 2000, 2000}));
    EXPECT_EQ(toInt16({1, 1, 16000, 16}, bytesOf<std::int16_t>({0, 1, 2, 3, 4, 5}), 1, 8000), (V{0, 2, 4}));
}

TEST(WaveConverter, WritesEveryOutputType)
{
    const wave::Layout layout{1, 1, 8000, 16};
    const WaveFile w = WaveFile::parse(wave::image(layout, bytesOf<std::int16_t>({-16384, 16384})));
    QByteArray pcm;
    ASSERT_EQ(WaveConverter::convert(w, {SampleType::UInt8, 1, 8000}, pcm), WaveError::None);
    EXPECT_EQ(samplesOf<std::uint8_t>(pcm), (std::vector<std::uint8_t>{64, 192}));
    ASSERT_EQ(WaveConverter::convert(w, {SampleType::Int32, 1, 8000}, pcm), WaveError::None);
    EXPECT_EQ(samplesOf<std::int32_t>(pcm), (std::vector<std::int32_t>{-(1 << 30), 1 << 30}));
    ASSERT_EQ(WaveConverter::convert(w, {SampleType::Float, 1, 8000}, pcm), WaveError::None);
    EXPECT_EQ(samplesOf<float>(pcm), (std::vector<float>{-0.5f, 0.5f}));
}

TEST(WaveConverter, NativeFormatKeepsTheSamplesAsTheyAre)
{
    for (const wave::Layout &layout : {wave::Layout{1, 1, 11025, 8}, wave::Layout{1, 2, 44100, 16},
                                       wave::Layout{1, 2, 48000, 32}, wave::Layout{3, 1, 96000, 32}}) {
        const QByteArray samples = wave::ramp(layout, 20);
        const WaveFile w = WaveFile::parse(wave::image(layout, samples));
        const OutputFormat native = WaveConverter::nativeFormat(w.format());
        EXPECT_EQ(native.channels, layout.channels);
        EXPECT_EQ(native.sampleRate, int(layout.rate));
        QByteArray pcm;
        ASSERT_EQ(WaveConverter::convert(w, native, pcm), WaveError::None);
        EXPECT_EQ(pcm, samples) << layout.bits;
    }
    // 24-bit has no output type of its own; it widens to 32.
    EXPECT_EQ(WaveConverter::nativeFormat({WaveEncoding::Pcm, 1, 8000, 24}).type, SampleType::Int32);
}

TEST(WaveConverter, RefusesUnusableLayoutsAndUnboundedGrowth)
{
    const WaveFile small = WaveFile::parse(wave::validSound(4));
    QByteArray pcm("stale");
    EXPECT_EQ(WaveConverter::convert(small, {SampleType::Int16, 0, 8000}, pcm), WaveError::OutputRefused);
    EXPECT_EQ(WaveConverter::convert(small, {SampleType::Int16, 9, 8000}, pcm), WaveError::OutputRefused);
    EXPECT_EQ(WaveConverter::convert(small, {SampleType::Int16, 2, 0}, pcm), WaveError::OutputRefused);
    EXPECT_TRUE(pcm.isEmpty());

    // 50,000 frames at 4000 Hz asked for at the highest rate on eight float
    // channels would need 307 MB.
    const wave::Layout slow{1, 1, 4000, 16};
    const WaveFile w = WaveFile::parse(wave::image(slow, QByteArray(100000, '\0')));
    ASSERT_TRUE(w.isValid());
    EXPECT_EQ(WaveConverter::convert(w, {SampleType::Float, 8, WaveConverter::kMaxOutputRate}, pcm),
              WaveError::TooLongToPlay);
    EXPECT_TRUE(pcm.isEmpty());

    const WaveFile bad = WaveFile::parse("not a wave");
    EXPECT_EQ(WaveConverter::convert(bad, {}, pcm), WaveError::NotRiff);
}

} // namespace
