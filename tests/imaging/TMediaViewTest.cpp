#include "imaging/TMediaView.h"

#include "imaging/MediaTypes.h"
#include "imaging/TMediaPlayer.h"
#include "platform/ScriptedDialogService.h"
#include "tests/support/Soon.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/WaveImage.h"

#include <QMediaPlayer>
#include <QTest>
#include <gtest/gtest.h>

using namespace brisvale;
using platform::ScriptedDialogService;
namespace wave = brisvale::test::wave;

namespace {

class MediaViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDialogService(&script);
        SetMediaHandlerProbe([](const QString &ext) { return ext == u"WAV" || ext == u"AVI"; });
        folder = test::freshFolder(QStringLiteral("media"));
        box.setImageReadRes(TLoadResolution::lColorTrue);
        box.setMediaPlayer(&player);
        player.hide();
        TMediaView::setProgressNotifier([this](int32_t percent) {
            reported.push_back(percent);
            return 1;
        });
    }
    void TearDown() override
    {
        TMediaView::setProgressNotifier({});
        SetMediaHandlerProbe({});
        platform::setDialogService(nullptr);
    }

    QString picture(const QString &name, QSize size = QSize(12, 8))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString path = folder + u'/' + name;
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }
    // A mono 16-bit sound of about `ms` milliseconds.
    QString sound(const QString &name, int ms)
    {
        const wave::Layout layout;
        const QString path = folder + u'/' + name;
        EXPECT_TRUE(wave::writeFile(path, wave::image(layout, wave::ramp(layout, int(layout.rate) * ms / 1000))));
        return path;
    }

    ScriptedDialogService script;
    QString folder;
    TMediaView box;
    TMediaPlayer player;
    std::vector<int> reported;
};

} // namespace

TEST_F(MediaViewTest, SoundIsOpenedInTheShownPlayerAndWaits)
{
    const QString path = sound(QStringLiteral("a.wav"), 300);
    box.setMediaName(path);
    EXPECT_EQ(box.statusText(), path.toUpper());
    EXPECT_TRUE(player.isVisible());
    EXPECT_TRUE(player.isOpen());
    EXPECT_EQ(player.FileName(), path);
    EXPECT_EQ(player.Display(), &box);
    EXPECT_EQ(player.DisplayRect(), box.rect());
    EXPECT_TRUE(box.mediaTimerActive());
    QTest::qWait(100);
    EXPECT_NE(player.Mode(), TMediaPlayer::TMPModes::mpPlaying);

    // The display follows the control's size.
    box.show();
    box.resize(200, 150);
    EXPECT_EQ(player.DisplayRect(), QRect(0, 0, 200, 150));
}

TEST_F(MediaViewTest, AutoReplayReportsProgressAndStartsAgain)
{
    box.setAutoPlayMedia(true);
    box.setAutoRePlayMedia(true);
    box.setMediaName(sound(QStringLiteral("short.wav"), 1200));
    if (!QTest::qWaitFor([&] { return player.Mode() == TMediaPlayer::TMPModes::mpPlaying; }, 5000))
        GTEST_SKIP() << "the media backend plays no sound on this machine";

    // Progress comes every half second; once 100 is reached it starts over.
    const bool restarted = QTest::qWaitFor(
        [&] {
            auto full = std::find_if(reported.begin(), reported.end(), [](int p) { return p >= 100; });
            return full != reported.end() && std::any_of(full, reported.end(), [](int p) { return p < 100; });
        },
        10000);
    std::string seen;
    for (int p : reported)
        seen += std::to_string(p) + ' ';
    EXPECT_TRUE(restarted) << seen;
    EXPECT_TRUE(std::any_of(reported.begin(), reported.end(), [](int p) { return p > 0 && p < 100; })) << seen;
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(MediaViewTest, PictureAfterMediaHidesThePlayerAndReportsZero)
{
    box.setAutoHideMediaPlayer(true);
    box.setMediaName(sound(QStringLiteral("clip.wav"), 300));
    ASSERT_TRUE(player.isVisible());
    reported.clear();

    box.setMediaName(picture(QStringLiteral("after.bmp"), QSize(40, 30)));
    EXPECT_FALSE(player.isOpen());
    EXPECT_FALSE(player.isVisible());
    EXPECT_FALSE(box.mediaTimerActive());
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.front(), 0);
    EXPECT_EQ(box.Picture().size(), QSize(40, 30));
}

TEST_F(MediaViewTest, KindsAreTheWholeExtension)
{
    box.setMediaName(picture(QStringLiteral("first.bmp")));
    ASSERT_EQ(box.Picture().size(), QSize(12, 8));

    // ".jpeg" is no kind of this control, and previews are not read either.
    for (const char *name : {"a.jpeg", "b.thb"}) {
        const QString path = picture(QString::fromLatin1(name), QSize(20, 20));
        box.setMediaName(path);
        EXPECT_EQ(box.Picture().size(), QSize(12, 8)) << name;
        EXPECT_EQ(box.statusText(), path.toUpper()) << name;
    }

    // A media kind is tried by the backend, whatever the toolkit lists; one
    // it cannot open says so, naming the file.
    const QString mid = folder + QStringLiteral("/tune.mid");
    ASSERT_TRUE(wave::writeFile(mid, "MThd"));
    box.setMediaName(mid);
    EXPECT_TRUE(player.isOpen());
    EXPECT_EQ(box.statusText(), mid.toUpper());
    ASSERT_SOON(!script.texts().isEmpty(), 10000);
    EXPECT_TRUE(script.texts().first().endsWith(u'\n' + mid)) << script.texts().first().toStdString();
}

TEST_F(MediaViewTest, ReadersReportToTheNotifierWhichCanStopThem)
{
    const QString path = picture(QStringLiteral("big.bmp"), QSize(400, 300));
    box.setMediaName(path);
    EXPECT_GT(reported.size(), 2u);
    EXPECT_EQ(box.Picture().size(), QSize(400, 300));

    TMediaView::setProgressNotifier([](int32_t percent) { return percent > 0 ? 0 : 1; });
    box.setMediaName(path);
    EXPECT_TRUE(box.Picture().isEmpty());
    EXPECT_TRUE(script.texts().last().endsWith(QStringLiteral("\nReading bmp file failed")));
}

TEST_F(MediaViewTest, AStreamErrorReportedTwiceShowsOneBoxPerOpenedFile)
{
    const QString path = sound(QStringLiteral("b.wav"), 300);
    box.setMediaName(path);
    ASSERT_TRUE(player.isOpen());
    auto *backend = player.findChild<QMediaPlayer *>();
    ASSERT_NE(backend, nullptr);
    script.clear();
    for (int k = 0; k < 2; ++k)
        emit backend->errorOccurred(QMediaPlayer::ResourceError, QStringLiteral("Internal data stream error."));
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("Internal data stream error.\n") + path});
    EXPECT_TRUE(player.isOpen()); // what could be shown stays

    // The next file has its own.
    box.setMediaName(sound(QStringLiteral("c.wav"), 300));
    emit backend->errorOccurred(QMediaPlayer::ResourceError, QStringLiteral("Internal data stream error."));
    EXPECT_EQ(script.texts().size(), 2);
}
