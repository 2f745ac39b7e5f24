#include "imaging/CodecBridge.h"
#include "imaging/TImageView.h"
#include "picture/TPicture.h"
#include "tests/imaging/CodecTestSupport.h"
#include "tests/picture/PictureWindowFixture.h"
#include "tests/support/Soon.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <utility>

using namespace brisvale;
using test::meanDifference;
using test::PictureWindowTest;

namespace {

QImage shot(TPicture &window) { return window.ImageView1->grab().toImage().convertToFormat(QImage::Format_RGB32); }

} // namespace

// A large JPEG is shown from a decode as large as the window shows it, and
// looks as it did when it was decoded whole: after a flip and a turn too, and
// zoomed past that size once the whole picture has come. Save Image writes
// every pixel of the turned picture.
TEST_F(PictureWindowTest, ALargeJpegShowsAsBeforeAndIsSavedWhole)
{
    QImage art(2400, 1600, QImage::Format_RGB32);
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x)
            art.setPixel(x, y, qRgb(x * 255 / 2400, y * 255 / 1600, ((x / 100 + y / 100) % 2) * 200));
    Bitmap source;
    source.setImage(art);
    const QString path = folder + QStringLiteral("/big.jpg");
    ASSERT_TRUE(WriteJPGFile(path, 90, 0, 24, source, {}));
    remember(path, 1);

    auto reduced = open();
    auto whole = open();
    whole->ImageView1->setShownSize({}); // decoded whole, as before
    reduced->FormActivate();
    whole->FormActivate();
    ASSERT_TRUE(reduced->ImageView1->Picture().reduced());
    ASSERT_FALSE(whole->ImageView1->Picture().reduced());

    const auto expectAlike = [&](double most) {
        EXPECT_EQ(reduced->ImageView1->geometry(), whole->ImageView1->geometry());
        EXPECT_EQ(reduced->ImageView1->Picture().size(), whole->ImageView1->Picture().size());
        EXPECT_LT(meanDifference(shot(*reduced), shot(*whole)), most);
    };
    expectAlike(2.0);
    for (TPicture *w : {reduced.get(), whole.get()}) {
        w->Flip1Click();
        w->Rotate1Click();
    }
    expectAlike(2.0);
    EXPECT_TRUE(reduced->ImageView1->Picture().reduced());

    for (int i = 0; i < 40; ++i)
        for (TPicture *w : {reduced.get(), whole.get()})
            w->ZoomClick();
    ASSERT_SOON(!reduced->ImageView1->Picture().reduced(), 20000);
    expectAlike(0.5);

    // Saved whole, turned as shown: a fresh window's picture is saved at once.
    auto fresh = open();
    fresh->FormActivate();
    fresh->Rotate1Click();
    ASSERT_TRUE(fresh->ImageView1->Picture().reduced());
    const QString saved = folder + QStringLiteral("/saved.bmp");
    ASSERT_TRUE(fresh->ImageView1->SaveAsBMP(saved));
    const QImage back(saved);
    EXPECT_EQ(back.size(), QSize(1600, 2400));
    EXPECT_LT(meanDifference(back.convertToFormat(QImage::Format_RGB32),
                             art.transformed(QTransform().rotate(90)).convertToFormat(QImage::Format_RGB32)),
              2.0);
}

// A picture wider than any row the toolkit holds (here 2^27 x 1, within the
// pixel limit) is shown from its rows shrunk as they come, not refused; what
// needs it whole (Save Image) says it is too large.
TEST_F(PictureWindowTest, APictureTooWideToHoldWholeIsShownShrunk)
{
    constexpr qint64 width = qint64(1) << 27;
    QByteArray runs; // RLE8: runs of colour 1, then the end of the picture
    for (qint64 left = width; left > 0; left -= 255) {
        runs += char(std::min<qint64>(255, left));
        runs += char(1);
    }
    runs += QByteArray("\0\1", 2);
    QByteArray palette(1024, '\0'); // 256 colours
    palette[4 + 2] = char(255);     // colour 1: red
    const auto le = [](QByteArray &out, quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += char(v >> (8 * i));
    };
    const quint32 offset = 14 + 40 + quint32(palette.size());
    QByteArray file("BM");
    le(file, offset + quint32(runs.size()), 4);
    le(file, 0, 4);
    le(file, offset, 4);
    for (const auto &[v, n] : {std::pair<quint32, int>{40, 4},
                               {quint32(width), 4},
                               {1, 4},
                               {1, 2},
                               {8, 2},
                               {1, 4},
                               {quint32(runs.size()), 4},
                               {2835, 4},
                               {2835, 4},
                               {256, 4},
                               {0, 4}})
        le(file, v, n);
    const QString path = folder + QStringLiteral("/strip.bmp");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file + palette + runs);
    out.close();
    remember(path, 1);

    auto window = open();
    window->FormActivate();
    EXPECT_EQ(script.texts(), QStringList());
    ASSERT_TRUE(window->ImageView1->Picture().reduced());
    EXPECT_EQ(window->ImageView1->Picture().size(), QSize(int(width), 1));
    const QImage shown = window->ImageView1->Picture().bitmap.image();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.pixel(shown.width() / 2, 0), qRgb(255, 0, 0));

    EXPECT_FALSE(window->ImageView1->SaveAsBMP(folder + QStringLiteral("/saved.bmp")));
    EXPECT_TRUE(script.texts().join(u'\n').contains(QStringLiteral("The picture is too large")))
        << script.texts().join(u'|').toStdString();
}
