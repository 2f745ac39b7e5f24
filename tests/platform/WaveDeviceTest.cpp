#include "platform/WaveDevice.h"
#include "platform/QtWaveDevice.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/WaveImage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

using namespace brisvale::platform;
namespace wave = brisvale::test::wave;
using brisvale::test::freshFolder;

namespace {

TEST(WaveDeviceLoad, ReadsAFileUnderAnyCaseOfItsName)
{
    const QString dir = freshFolder(QStringLiteral("load"));
    ASSERT_TRUE(wave::writeFile(dir + QStringLiteral("/Coins.WAV"), wave::validSound(10)));
    const WaveFile w = WaveDevice::load(dir + QStringLiteral("/coins.wav"));
    ASSERT_TRUE(w.isValid());
    EXPECT_EQ(w.frameCount(), 10);
}

TEST(WaveDeviceLoad, MissingFoldersPipesAndHugeFilesFailWithoutReading)
{
    const QString dir = freshFolder(QStringLiteral("load"));
    EXPECT_EQ(WaveDevice::load(dir + QStringLiteral("/absent.wav")).error(), WaveError::FileNotFound);
    EXPECT_EQ(WaveDevice::load(QString()).error(), WaveError::FileNotFound);
    EXPECT_EQ(WaveDevice::load(dir).error(), WaveError::FileNotFound);

    // Opening a pipe for reading would wait for a writer that never comes.
    const QString fifo = dir + QStringLiteral("/pipe.wav");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(WaveDevice::load(fifo).error(), WaveError::ReadFailed);

    // A sparse file just over the limit: refused by its size.
    QFile big(dir + QStringLiteral("/big.wav"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(WaveFile::kMaxFileBytes + 1));
    big.close();
    EXPECT_EQ(WaveDevice::load(big.fileName()).error(), WaveError::FileTooLarge);
}

class QtWaveDeviceTest : public ::testing::Test {
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir_ + u'/' + name;
        EXPECT_TRUE(wave::writeFile(path, bytes));
        return path;
    }
    const QString dir_ = freshFolder(QStringLiteral("device"));
};

TEST_F(QtWaveDeviceTest, OpenChecksTheFileAndCloseLetsGo)
{
    QtWaveDevice device{QAudioDevice()};
    const QString good = write(QStringLiteral("good.wav"), wave::validSound());
    const QString text = write(QStringLiteral("text.wav"), "not a sound at all");

    EXPECT_FALSE(device.isOpen());
    ASSERT_TRUE(device.open(good));
    EXPECT_TRUE(device.isOpen());
    EXPECT_EQ(device.fileName(), good);
    EXPECT_EQ(device.error(), WaveError::None);

    // A failed open leaves the device closed, naming the file it was given.
    EXPECT_FALSE(device.open(text));
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(device.fileName(), text);
    EXPECT_EQ(device.error(), WaveError::NotRiff);
    EXPECT_EQ(device.errorText(), waveErrorText(WaveError::NotRiff));

    ASSERT_TRUE(device.open(good));
    device.close();
    EXPECT_FALSE(device.isOpen());
    EXPECT_FALSE(device.play());
    EXPECT_EQ(device.error(), WaveError::NotOpen);
}

TEST_F(QtWaveDeviceTest, PlayWithoutAnAudioOutputFailsAndSaysSo)
{
    QtWaveDevice device{QAudioDevice()};
    ASSERT_TRUE(device.open(write(QStringLiteral("good.wav"), wave::validSound())));
    EXPECT_FALSE(device.play());
    EXPECT_EQ(device.error(), WaveError::NoOutputDevice);
    EXPECT_FALSE(device.isPlaying());
    // Still open: the next win reopens it anyway, and nothing was lost.
    EXPECT_TRUE(device.isOpen());
}

bool waitUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

TEST_F(QtWaveDeviceTest, PlaysOnTheDefaultOutputWhereThereIsOne)
{
    if (QMediaDevices::defaultAudioOutput().isNull())
        GTEST_SKIP() << "this machine has no audio output";
    QtWaveDevice device;
    // Half a second of a layout outputs seldom take as it is.
    const wave::Layout odd{1, 1, 11025, 24};
    ASSERT_TRUE(device.open(write(QStringLiteral("odd.wav"), wave::image(odd, wave::ramp(odd, 5512)))));
    ASSERT_TRUE(device.play()) << int(device.error());
    EXPECT_TRUE(waitUntil([&] { return device.isPlaying(); }, 2000));
    // The sound runs out by itself and lets the output go.
    EXPECT_TRUE(waitUntil([&] { return !device.isPlaying(); }, 5000));

    // A second play cuts the first; close stops the sound at once.
    ASSERT_TRUE(device.play());
    ASSERT_TRUE(device.play());
    EXPECT_TRUE(waitUntil([&] { return device.isPlaying(); }, 2000));
    device.close();
    EXPECT_FALSE(device.isPlaying());
    EXPECT_FALSE(device.isOpen());
}

} // namespace
