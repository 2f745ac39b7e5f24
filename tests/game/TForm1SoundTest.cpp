#include "controls/ClickPanel.h"
#include "controls/TEStatusBar.h"
#include "game/HandEvaluation.h"
#include "game/RandomGenerator.h"
#include "game/TForm1.h"
#include "odds/HoldOdds.h"
#include "odds/TrainerTexts.h"
#include "platform/FileSystem.h"
#include "platform/RecordingWaveDevice.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Soon.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/WaveImage.h"

#include <QFontMetrics>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace brisvale;
using platform::RecordingWaveDevice;
namespace fs = platform::fs;
namespace wave = brisvale::test::wave;

namespace {

class TForm1SoundTest : public ::testing::Test {
protected:
    TForm1SoundTest()
    {
        fs::setCurrentDirectory(cwd_);
        auto device = std::make_unique<RecordingWaveDevice>();
        device_ = device.get();
        form_.winSounds().setDevice(std::move(device));
        // No pause and no picture window after a win.
        form_.RadioButton4->setChecked(true);
        randomGenerator().setSeed(20240611);
    }
    ~TForm1SoundTest() override { fs::setCurrentDirectory(savedCwd_); }

    void holdAll()
    {
        form_.Panel6Click();
        form_.Panel7Click();
        form_.Panel8Click();
        form_.Panel9Click();
        form_.Panel10Click();
    }
    // Plays hands, keeping every dealt card, until one is won; returns its rank.
    int playUntilWin()
    {
        for (int hand = 0; hand < 500; ++hand) {
            form_.ShuffleClick();
            const Evaluation dealt = Evaluate(form_.game().hand());
            holdAll();
            form_.SecondClick();
            if (dealt.won())
                return dealt.rank;
        }
        ADD_FAILURE() << "no winning hand in 500 deals";
        return 0;
    }
    // Plays hands until one is lost; the device log then holds only that hand.
    void playOneLoss()
    {
        for (int hand = 0; hand < 500; ++hand) {
            form_.ShuffleClick();
            const bool won = Evaluate(form_.game().hand()).won();
            holdAll();
            if (!won)
                device_->clearLog();
            form_.SecondClick();
            if (!won)
                return;
        }
        ADD_FAILURE() << "no losing hand in 500 deals";
    }
    void soundsForEveryRank(const QString &name)
    {
        form_.winSounds().setReader([name](int) { return name; });
        form_.FormActivate();
    }
    QString coins()
    {
        const QString path = fs::join(cwd_, QStringLiteral("coins.Wav"));
        EXPECT_TRUE(wave::writeFile(path, wave::validSound()));
        return path;
    }

    const QString savedCwd_ = fs::currentDirectory();
    const QString cwd_ = test::freshFolder(QStringLiteral("table"));
    TForm1 form_;
    RecordingWaveDevice *device_ = nullptr;
};

TEST_F(TForm1SoundTest, AFileThatIsNoWaveSwitchesSoundOffAndTheHandIsStillSettled)
{
    const QString bogus = fs::join(cwd_, QStringLiteral("applause.wav"));
    ASSERT_TRUE(wave::writeFile(bogus, "This is a text file, not a sound."));
    soundsForEveryRank(bogus);
    ASSERT_TRUE(form_.RadioButton1->isChecked());

    const int rank = playUntilWin();
    ASSERT_GE(rank, 1);

    // Neither switch is selected now.
    EXPECT_FALSE(form_.RadioButton1->isChecked());
    EXPECT_FALSE(form_.RadioButton2->isChecked());
    // Said on a line of its own, whole; the status bar stays the trainer's.
    const QString failure = QStringLiteral("Unable to play sound file error code:  4 "
                                           "The file is not a wave sound file.");
    EXPECT_EQ(form_.Panel4->text(), failure);
    EXPECT_FALSE(form_.EStatusBar1->message().contains(QStringLiteral("Unable")));

    // The hand was settled and shown as always.
    EXPECT_EQ(form_.game().counters().wins, 1);
    EXPECT_TRUE(form_.Cash->text().endsWith(QStringLiteral("Total is now ") + QString::number(form_.game().total())));
    EXPECT_EQ(form_.Panel5->text(), QString::number(form_.game().total()));
    for (ClickPanel *panel : form_.HoldPanel)
        EXPECT_EQ(panel->text(), QStringLiteral("Over"));
    EXPECT_EQ(device_->log(), QStringList({"open failed " + bogus}));

    // The next win still opens the device, but plays nothing.
    playUntilWin();
    EXPECT_EQ(device_->log(), QStringList({"open failed " + bogus, "open failed " + bogus}));
    EXPECT_FALSE(form_.RadioButton1->isChecked());
}

TEST_F(TForm1SoundTest, SoundOffStillOpensTheDeviceAtEveryWin)
{
    coins();
    form_.RadioButton2->setChecked(true);
    playUntilWin();
    playUntilWin();
    EXPECT_EQ(device_->log(), QStringList({"open coins.Wav", "close", "open coins.Wav"}));
    EXPECT_TRUE(form_.RadioButton2->isChecked());
    EXPECT_TRUE(form_.EStatusBar1->message().isEmpty());
}

TEST_F(TForm1SoundTest, TwoQuickWinsTheSecondSoundCutsTheFirst)
{
    coins();
    playUntilWin();
    ASSERT_TRUE(device_->isPlaying());
    playUntilWin();
    EXPECT_EQ(device_->log(), QStringList({"open coins.Wav", "play coins.Wav", "cut coins.Wav", "close",
                                           "open coins.Wav", "play coins.Wav"}));
    EXPECT_TRUE(form_.RadioButton1->isChecked());
}

TEST_F(TForm1SoundTest, ALostHandPlaysNothing)
{
    coins();
    playOneLoss();
    EXPECT_TRUE(device_->log().isEmpty());
}

TEST_F(TForm1SoundTest, BecomingActiveReloadsTheSoundTable)
{
    const QString folder = test::freshFolder(QStringLiteral("chosen"));
    const QString first = fs::join(folder, QStringLiteral("first.wav"));
    const QString second = fs::join(folder, QStringLiteral("second.wav"));
    ASSERT_TRUE(wave::writeFile(first, wave::validSound()));
    ASSERT_TRUE(wave::writeFile(second, wave::validSound()));

    QString stored = first;
    form_.winSounds().setReader([&](int) { return stored; });
    form_.FormActivate();
    playUntilWin();
    EXPECT_EQ(device_->fileName(), first);

    // Chosen elsewhere (the payouts dialog), seen once the table is active again.
    stored = second;
    playUntilWin();
    EXPECT_EQ(device_->fileName(), first);
    form_.FormActivate();
    playUntilWin();
    EXPECT_EQ(device_->fileName(), second);
}

TEST_F(TForm1SoundTest, APlayThatFailsIsShownAndSoundStaysOn)
{
    coins();
    device_->setPlayFailure(platform::WaveError::NoOutputDevice);
    playUntilWin();
    EXPECT_TRUE(form_.RadioButton1->isChecked());
    const QString failure = QStringLiteral("Unable to play sound file error code:  15 "
                                           "No audio output device is available.");
    EXPECT_EQ(form_.Panel4->text(), failure);
    EXPECT_EQ(form_.game().counters().wins, 1);

    // The trainer's word on the hold has the status bar to itself; the
    // failure fits its panel whole even at the table's design size.
    const Hand held = form_.game().hand();
    const HoldAnalysis odds = *HoldOdds::shared().analyse(held, form_.game().payouts());
    const QString cost = HoldCostText(odds, held, 0b11111);
    ASSERT_FALSE(cost.isEmpty());
    ASSERT_SOON(form_.EStatusBar1->message().startsWith(cost), 30000);
    EXPECT_FALSE(form_.EStatusBar1->message().contains(QStringLiteral("Unable")));
    form_.show();
    form_.resize(640, 480);
    QCoreApplication::processEvents();
    EXPECT_LE(QFontMetrics(form_.Panel4->fittedFont()).horizontalAdvance(failure),
              form_.Panel4->contentsRect().width());

    // A device that is still missing is not told again.
    playUntilWin();
    EXPECT_FALSE(form_.Panel4->text().startsWith(QStringLiteral("Unable")));
}

} // namespace
