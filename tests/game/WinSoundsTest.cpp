#include "game/WinSounds.h"
#include "platform/FileSystem.h"
#include "platform/RecordingWaveDevice.h"
#include "platform/WindowsDirectory.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/WaveImage.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace brisvale;
using platform::RecordingWaveDevice;
using platform::WaveError;
namespace fs = platform::fs;
namespace wave = brisvale::test::wave;

namespace {

class WinSoundsTest : public ::testing::Test {
protected:
    WinSoundsTest()
    {
        auto device = std::make_unique<RecordingWaveDevice>();
        device_ = device.get();
        sounds_ = std::make_unique<WinSounds>(std::move(device));
        fs::setCurrentDirectory(cwd_);
    }
    ~WinSoundsTest() override
    {
        fs::setCurrentDirectory(savedCwd_);
        qputenv("BRISVALE_WINDIR", savedWindir_);
    }

    QString writeSound(const QString &folder, const QString &name)
    {
        const QString path = fs::join(folder, name);
        EXPECT_TRUE(wave::writeFile(path, wave::validSound()));
        return path;
    }
    void chooseForEveryRank(const QString &name)
    {
        sounds_->setReader([name](int) { return name; });
        sounds_->reload();
    }
    // Points the Windows directory at an empty folder: no chime anywhere.
    void removeChime() { qputenv("BRISVALE_WINDIR", QFile::encodeName(test::freshFolder("nowin"))); }

    const QString savedCwd_ = fs::currentDirectory();
    const QByteArray savedWindir_ = qgetenv("BRISVALE_WINDIR");
    const QString cwd_ = test::freshFolder(QStringLiteral("cwd"));
    RecordingWaveDevice *device_ = nullptr;
    std::unique_ptr<WinSounds> sounds_;
};

TEST_F(WinSoundsTest, FallsBackFromTheChosenFileToCoinsHereThenShippedToTheChimeToThePreviousName)
{
    const QString shipped = platform::windowsDirectory();
    ASSERT_TRUE(fs::fileExists(fs::join(shipped, QStringLiteral("CHIMES.WAV"))))
        << "the shipped chime belongs in the Windows directory";
    ASSERT_TRUE(fs::fileExists(fs::join(shipped, QStringLiteral("coins.Wav"))))
        << "the shipped coins belong in the Windows directory";
    // A Windows directory of our own, whose files this test may remove.
    const QString windir = test::freshFolder(QStringLiteral("windir"));
    for (const char *name : {"CHIMES.WAV", "coins.Wav"})
        QFile::copy(fs::join(shipped, QLatin1String(name)), fs::join(windir, QLatin1String(name)));
    qputenv("BRISVALE_WINDIR", QFile::encodeName(windir));
    const QString chime = fs::join(windir, QStringLiteral("CHIMES.WAV"));
    const QString chosen = writeSound(test::freshFolder(QStringLiteral("mine")), QStringLiteral("win.wav"));
    writeSound(cwd_, QStringLiteral("coins.Wav"));
    chooseForEveryRank(chosen);

    // The chosen file wins over coins.Wav.
    EXPECT_TRUE(sounds_->playWin(3, true).played);
    EXPECT_EQ(device_->fileName(), chosen);

    // Chosen file gone: coins.Wav of the current directory.
    QFile::remove(chosen);
    EXPECT_TRUE(sounds_->playWin(3, true).played);
    EXPECT_EQ(device_->fileName(), QStringLiteral("coins.Wav"));

    // No coins.Wav in the current directory: the one shipped in the Windows
    // directory (the program's data folder).
    QFile::remove(fs::join(cwd_, QStringLiteral("coins.Wav")));
    const QString shippedCoins = fs::join(windir, QStringLiteral("coins.Wav"));
    EXPECT_TRUE(sounds_->playWin(3, true).played);
    EXPECT_EQ(device_->fileName(), shippedCoins);

    // No coins.Wav anywhere: the chime of the Windows directory.
    QFile::remove(shippedCoins);
    EXPECT_TRUE(sounds_->playWin(3, true).played);
    EXPECT_EQ(device_->fileName(), chime);

    // Nothing at all: the device is reopened on the name it already had.
    removeChime();
    device_->clearLog();
    EXPECT_TRUE(sounds_->playWin(3, true).played);
    EXPECT_EQ(device_->log(), QStringList({"cut " + chime, "close", "open " + chime, "play " + chime}));
}

TEST_F(WinSoundsTest, WithNothingToPlayTheFirstWinFailsToOpen)
{
    removeChime();
    const WinSoundResult r = sounds_->playWin(1, true);
    EXPECT_FALSE(r.opened);
    EXPECT_FALSE(r.played);
    EXPECT_EQ(r.failureText, QStringLiteral("Unable to play sound file error code:  1\n"
                                            "The sound file was not found."));
}

TEST_F(WinSoundsTest, CoinsAreLookedUpInWhateverFolderIsCurrentUnderAnyCase)
{
    removeChime();
    const QString other = test::freshFolder(QStringLiteral("browsed"));
    writeSound(other, QStringLiteral("COINS.WAV"));
    EXPECT_FALSE(sounds_->playWin(2, true).opened);

    // The player browsed to another folder for a picture or a sound.
    fs::setCurrentDirectory(other);
    EXPECT_TRUE(sounds_->playWin(2, true).played);
    EXPECT_EQ(device_->log().last(), QStringLiteral("play coins.Wav"));
}

TEST_F(WinSoundsTest, EachRankPlaysItsOwnEntry)
{
    const QString folder = test::freshFolder(QStringLiteral("ranks"));
    QStringList names;
    for (int k = 1; k <= 9; ++k)
        names << writeSound(folder, QStringLiteral("rank%1.wav").arg(k));
    sounds_->setReader([&](int k) { return names[k - 1]; });
    sounds_->reload();
    for (int k = 1; k <= 9; ++k) {
        sounds_->playWin(k, true);
        EXPECT_EQ(sounds_->currentName(), names[k - 1]);
        EXPECT_EQ(device_->fileName(), names[k - 1]);
    }
}

TEST_F(WinSoundsTest, ReloadTakesWhatIsStoredWhole)
{
    EXPECT_EQ(sounds_->entry(1), QStringLiteral("Error"));
    // With nowhere to read from, what was chosen stays.
    sounds_->setEntry(2, QStringLiteral("chosen.wav"));
    sounds_->reload();
    EXPECT_EQ(sounds_->entry(2), QStringLiteral("chosen.wav"));
    EXPECT_EQ(sounds_->entry(9), QStringLiteral("Error"));

    // A path far beyond 80 characters still names its file.
    QString deep = cwd_;
    for (int i = 0; i < 6; ++i)
        deep = fs::join(deep, QStringLiteral("a-folder-with-a-rather-long-name-%1").arg(i));
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString longPath = writeSound(deep, QStringLiteral("victory.wav"));
    ASSERT_GT(longPath.size(), 200);

    int calls = 0;
    sounds_->setReader([&](int k) {
        ++calls;
        return k == 4 ? longPath : QStringLiteral("Error");
    });
    sounds_->reload();
    EXPECT_EQ(calls, 9);
    EXPECT_EQ(sounds_->entry(2), QStringLiteral("Error"));
    EXPECT_EQ(sounds_->entry(4), longPath);
    EXPECT_TRUE(sounds_->playWin(4, true).played);
    EXPECT_EQ(device_->fileName(), longPath);
}

TEST_F(WinSoundsTest, TheWordErrorIsNeverTakenForAFile)
{
    writeSound(cwd_, QStringLiteral("Error"));
    writeSound(cwd_, QStringLiteral("coins.Wav"));
    sounds_->playWin(5, true);
    EXPECT_EQ(device_->fileName(), QStringLiteral("coins.Wav"));
}

TEST_F(WinSoundsTest, SoundOffStillOpensTheDeviceButPlaysNothing)
{
    writeSound(cwd_, QStringLiteral("coins.Wav"));
    const WinSoundResult r = sounds_->playWin(2, false);
    EXPECT_TRUE(r.opened);
    EXPECT_FALSE(r.played);
    EXPECT_TRUE(r.failureText.isEmpty());
    EXPECT_EQ(device_->log(), QStringList({"open coins.Wav"}));
    EXPECT_TRUE(device_->isOpen());
}

TEST_F(WinSoundsTest, AFileThatIsNoWaveFailsToOpenWithNumberAndReason)
{
    const QString bogus = fs::join(cwd_, QStringLiteral("bogus.wav"));
    ASSERT_TRUE(wave::writeFile(bogus, QByteArray("RIFF\x04\0\0\0AVI ", 12)));
    chooseForEveryRank(bogus);
    for (bool soundOn : {true, false}) {
        const WinSoundResult r = sounds_->playWin(6, soundOn);
        EXPECT_FALSE(r.opened);
        EXPECT_FALSE(r.played);
        EXPECT_EQ(r.failureText, QStringLiteral("Unable to play sound file error code:  5\n"
                                                "The file is a RIFF file but holds no wave sound."));
    }
    EXPECT_EQ(device_->log(), QStringList({"open failed " + bogus, "open failed " + bogus}));
}

TEST_F(WinSoundsTest, ASecondWinCutsTheFirstSound)
{
    const QString folder = test::freshFolder(QStringLiteral("quick"));
    const QString pair = writeSound(folder, QStringLiteral("pair.wav"));
    const QString flush = writeSound(folder, QStringLiteral("flush.wav"));
    sounds_->setReader([&](int k) { return k == 1 ? pair : flush; });
    sounds_->reload();

    sounds_->playWin(1, true);
    ASSERT_TRUE(device_->isPlaying());
    sounds_->playWin(5, true);
    EXPECT_EQ(device_->log(),
              QStringList({"open " + pair, "play " + pair, "cut " + pair, "close", "open " + flush, "play " + flush}));
    EXPECT_TRUE(device_->isPlaying());

    // A sound that ended is not cut by the next win.
    device_->finishSound();
    device_->clearLog();
    sounds_->playWin(5, true);
    EXPECT_EQ(device_->log(), QStringList({"close", "open " + flush, "play " + flush}));
}

TEST_F(WinSoundsTest, APlayThatFailsIsReportedButTheDeviceStaysOpen)
{
    writeSound(cwd_, QStringLiteral("coins.Wav"));
    device_->setPlayFailure(WaveError::NoOutputDevice);
    const WinSoundResult r = sounds_->playWin(7, true);
    EXPECT_TRUE(r.opened);
    EXPECT_FALSE(r.played);
    EXPECT_EQ(r.failureText, QStringLiteral("Unable to play sound file error code:  15\n"
                                            "No audio output device is available."));
}

} // namespace
