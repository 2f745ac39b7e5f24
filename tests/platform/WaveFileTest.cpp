#include "platform/WaveFile.h"
#include "tests/support/WaveImage.h"

#include <gtest/gtest.h>

using namespace brisvale::platform;
namespace wave = brisvale::test::wave;

namespace {

struct Accepted {
    const char *name;
    wave::Layout layout;
    WaveEncoding encoding;
};

class WaveFileAccepts : public ::testing::TestWithParam<Accepted> {};

TEST_P(WaveFileAccepts, EverySupportedLayout)
{
    const Accepted &c = GetParam();
    const QByteArray samples = wave::ramp(c.layout, 50);
    const WaveFile w = WaveFile::parse(wave::image(c.layout, samples));
    ASSERT_TRUE(w.isValid()) << int(w.error());
    EXPECT_EQ(w.format().encoding, c.encoding);
    EXPECT_EQ(w.format().channels, c.layout.channels);
    EXPECT_EQ(w.format().sampleRate, int(c.layout.rate));
    EXPECT_EQ(w.format().bitsPerSample, c.layout.bits);
    EXPECT_EQ(w.frameCount(), 50);
    EXPECT_EQ(w.samples().toByteArray(), samples);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, WaveFileAccepts,
    ::testing::Values(Accepted{"pcm8_mono_8000", {1, 1, 8000, 8}, WaveEncoding::Pcm},
                      Accepted{"pcm8_stereo_11025", {1, 2, 11025, 8}, WaveEncoding::Pcm},
                      Accepted{"pcm16_mono_22050", {1, 1, 22050, 16}, WaveEncoding::Pcm},
                      Accepted{"pcm16_stereo_44100", {1, 2, 44100, 16}, WaveEncoding::Pcm},
                      Accepted{"pcm24_mono_48000", {1, 1, 48000, 24}, WaveEncoding::Pcm},
                      Accepted{"pcm24_stereo_96000", {1, 2, 96000, 24}, WaveEncoding::Pcm},
                      Accepted{"pcm32_stereo_32000", {1, 2, 32000, 32}, WaveEncoding::Pcm},
                      Accepted{"float32_mono_44100", {3, 1, 44100, 32}, WaveEncoding::Float},
                      Accepted{"float64_stereo_192000", {3, 2, 192000, 64}, WaveEncoding::Float},
                      Accepted{"extensible_pcm24_stereo", {1, 2, 48000, 24, true}, WaveEncoding::Pcm},
                      Accepted{"extensible_float32_mono", {3, 1, 16000, 32, true}, WaveEncoding::Float}),
    [](const auto &info) { return std::string(info.param.name); });

struct Refused {
    const char *name;
    QByteArray bytes;
    WaveError error;
};

wave::Layout with(const std::function<void(wave::Layout &)> &change)
{
    wave::Layout s;
    change(s);
    return s;
}

QByteArray withFormat(const wave::Layout &s) { return wave::image(s, wave::ramp(wave::Layout{}, 8)); }

QByteArray sound() { return wave::validSound(8); }

class WaveFileRefuses : public ::testing::TestWithParam<Refused> {};

TEST_P(WaveFileRefuses, WithTheRightReason)
{
    const Refused &c = GetParam();
    const WaveFile w = WaveFile::parse(c.bytes);
    EXPECT_FALSE(w.isValid());
    EXPECT_EQ(w.error(), c.error);
    EXPECT_EQ(w.frameCount(), 0);
    EXPECT_TRUE(w.samples().isEmpty());
}

const QByteArray kFmt = wave::chunk("fmt ", wave::formatBody(wave::Layout{}));

INSTANTIATE_TEST_SUITE_P(
    NotWave, WaveFileRefuses,
    ::testing::Values(Refused{"empty", QByteArray(), WaveError::NotRiff},
                      Refused{"text", QByteArray("Congratulations, you won!\n"), WaveError::NotRiff},
                      Refused{"big_endian_riff", "RIFX" + sound().mid(4), WaveError::NotRiff},
                      Refused{"riff_video", sound().left(8) + "AVI " + sound().mid(12), WaveError::NotWave},
                      Refused{"header_only", wave::riff({}), WaveError::NoFormatChunk},
                      Refused{"no_format", wave::riff({wave::chunk("data", QByteArray(8, 'x'))}),
                              WaveError::NoFormatChunk},
                      Refused{"no_data", wave::riff({kFmt, wave::chunk("LIST", "INFO")}), WaveError::NoDataChunk}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Unsupported, WaveFileRefuses,
    ::testing::Values(
        Refused{"adpcm", withFormat(with([](auto &s) { s.tag = 2; })), WaveError::UnsupportedEncoding},
        Refused{"mu_law", withFormat(with([](auto &s) {
                    s.tag = 7;
                    s.bits = 8;
                })),
                WaveError::UnsupportedEncoding},
        Refused{"extensible_unknown_subformat", withFormat(with([](auto &s) {
                    s.extensible = true;
                    s.tag = 0x55;
                })),
                WaveError::UnsupportedEncoding},
        Refused{"six_channels", withFormat(with([](auto &s) { s.channels = 6; })), WaveError::UnsupportedChannels},
        Refused{"pcm12", withFormat(with([](auto &s) { s.bits = 12; })), WaveError::UnsupportedBits},
        Refused{"pcm64", withFormat(with([](auto &s) { s.bits = 64; })), WaveError::UnsupportedBits},
        Refused{"float16", withFormat(with([](auto &s) { s.tag = 3; })), WaveError::UnsupportedBits},
        Refused{"rate_too_low", withFormat(with([](auto &s) { s.rate = 2000; })), WaveError::UnsupportedRate},
        Refused{"rate_too_high", withFormat(with([](auto &s) { s.rate = 1000000; })), WaveError::UnsupportedRate}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Hostile, WaveFileRefuses,
    ::testing::Values(
        Refused{"zero_channels", withFormat(with([](auto &s) { s.channels = 0; })), WaveError::BadFormat},
        Refused{"zero_bits", withFormat(with([](auto &s) { s.bits = 0; })), WaveError::BadFormat},
        Refused{"zero_rate", withFormat(with([](auto &s) { s.rate = 0; })), WaveError::BadFormat},
        Refused{"rate_all_ones", withFormat(with([](auto &s) { s.rate = 0xFFFFFFFFu; })), WaveError::UnsupportedRate},
        Refused{"block_align_lies", withFormat(with([](auto &s) { s.blockAlignDelta = 3; })), WaveError::BadFormat},
        Refused{"format_chunk_too_short",
                wave::riff({wave::chunk("fmt ", wave::formatBody(wave::Layout{}).left(14)), wave::chunk("data", "ab")}),
                WaveError::BadFormat},
        Refused{"extensible_without_extension",
                wave::riff({wave::chunk("fmt ", wave::formatBody(with([](auto &s) { s.extensible = true; })).left(18)),
                            wave::chunk("data", "ab")}),
                WaveError::BadFormat},
        Refused{"data_size_all_ones", wave::riff({kFmt, wave::chunk("data", QByteArray(16, 'x'), 0xFFFFFFFF)}),
                WaveError::Truncated},
        Refused{"format_size_all_ones", wave::riff({wave::chunk("fmt ", wave::formatBody(wave::Layout{}), 0xFFFFFFFF)}),
                WaveError::Truncated},
        Refused{"huge_chunk_before_format",
                wave::riff({wave::chunk("LIST", "INFO", 0x7FFFFFF0), kFmt, wave::chunk("data", "ab")}),
                WaveError::Truncated},
        Refused{"data_claims_more_than_there", wave::riff({kFmt, wave::chunk("data", QByteArray(10, 'x'), 1000)}),
                WaveError::Truncated}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(WaveFile, RefusesAnImageOverTheSizeLimitUnread)
{
    const QByteArray huge(WaveFile::kMaxFileBytes + 1, '\0');
    EXPECT_EQ(WaveFile::parse(huge).error(), WaveError::FileTooLarge);
}

TEST(WaveFile, EveryCutOfAGoodFileIsRefusedAsTruncated)
{
    const QByteArray whole = wave::riff(
        {wave::chunk("LIST", "INFOabc"), kFmt, wave::chunk("data", wave::ramp(wave::Layout{}, 10))});
    ASSERT_TRUE(WaveFile::parse(whole).isValid());
    for (qsizetype n = 1; n < whole.size(); ++n) {
        const WaveFile w = WaveFile::parse(whole.left(n));
        EXPECT_EQ(w.error(), WaveError::Truncated) << "cut at " << n;
    }
}

TEST(WaveFile, ToleratesWhatWritersGetWrong)
{
    const QByteArray samples = wave::ramp(wave::Layout{}, 6);
    const QByteArray data = wave::chunk("data", samples);

    // RIFF size zero (streamed), too large, too small: the chunks decide.
    for (qint64 riffSize : {qint64(0), qint64(0xFFFFFFFF), qint64(20)})
        EXPECT_TRUE(WaveFile::parse(wave::riff({kFmt, data}, riffSize)).isValid()) << riffSize;

    // Data before the format, odd-sized chunks padded, trailing bytes.
    EXPECT_TRUE(WaveFile::parse(wave::riff({data, kFmt})).isValid());
    const WaveFile padded = WaveFile::parse(wave::riff({wave::chunk("junk", "odd"), kFmt, data}) + "tail");
    ASSERT_TRUE(padded.isValid());
    EXPECT_EQ(padded.samples().toByteArray(), samples);

    // A last pad byte missing at the end of the file.
    const QByteArray oddData = wave::riff({kFmt, wave::chunk("data", samples + "z")});
    const WaveFile unpadded = WaveFile::parse(oddData.left(oddData.size() - 1));
    ASSERT_TRUE(unpadded.isValid());
    // A partial last frame is dropped.
    EXPECT_EQ(unpadded.frameCount(), 6);
    EXPECT_EQ(unpadded.samples().size(), samples.size());

    // An empty sound is a sound.
    const WaveFile empty = WaveFile::parse(wave::riff({kFmt, wave::chunk("data", {})}));
    ASSERT_TRUE(empty.isValid());
    EXPECT_EQ(empty.frameCount(), 0);
}

TEST(WaveFile, FirstFormatAndDataChunksCount)
{
    const wave::Layout stereo{1, 2, 44100, 16};
    const QByteArray first = wave::ramp(wave::Layout{}, 4);
    const WaveFile w = WaveFile::parse(
        wave::riff({kFmt, wave::chunk("data", first), wave::chunk("fmt ", wave::formatBody(stereo)),
                    wave::chunk("data", "other")}));
    ASSERT_TRUE(w.isValid());
    EXPECT_EQ(w.format().channels, 1);
    EXPECT_EQ(w.samples().toByteArray(), first);
}

TEST(WaveFile, EveryErrorHasItsOwnDescription)
{
    QStringList seen;
    for (int code = 0; code <= int(WaveError::TooLongToPlay); ++code) {
        const QString text = waveErrorText(WaveError(code));
        EXPECT_FALSE(text.isEmpty()) << code;
        EXPECT_FALSE(seen.contains(text)) << code;
        seen << text;
    }
}

} // namespace
