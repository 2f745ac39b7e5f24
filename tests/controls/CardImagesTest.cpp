#include "controls/CardImages.h"
#include "controls/Cards.h"

#include <QFile>
#include <QPainter>
#include <QtEndian>
#include <gtest/gtest.h>
#include <set>

namespace brisvale {
namespace {

// The identifier every value must have, built from the naming rule rather
// than copied from the table.
QString expectedName(int value)
{
    static const char *const ranks[] = {"Ace", "2", "3", "4", "5", "6", "7", "8", "9", "10", "Jack", "Queen", "King"};
    static const char *const suits[] = {"Spades", "Hearts", "Clubs", "Diamonds"};
    if (value >= 1 && value <= 52)
        return QStringLiteral("cd%1of%2")
            .arg(QLatin1String(ranks[(value - 1) % 13]), QLatin1String(suits[(value - 1) / 13]));
    if (value == 53)
        return QStringLiteral("CdJoker");
    if (value >= 54 && value <= 62)
        return QStringLiteral("cdCardBack%1").arg(value - 53);
    if (value == 63)
        return QStringLiteral("ttanvik");
    return QString::asprintf("$%.8x", unsigned(value));
}

// Two colours for Ace..10 of Spades and of Clubs, sixteen for the rest.
int expectedDepth(int value)
{
    const int suit = CardSuit(value);
    return (suit == 1 || suit == 3) && CardRank(value) <= 10 ? 1 : 4;
}

quint32 le32(const QByteArray &b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }

quint16 le16(const QByteArray &b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

QImage over(const QImage &art, const QColor &background)
{
    QImage out(art.size(), QImage::Format_RGB32);
    out.fill(background);
    QPainter p(&out);
    p.drawImage(0, 0, art);
    return out;
}

// Mean difference per channel inside the card, away from the corners.
double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    int n = 0;
    for (int row = 3; row < x.height() - 3; ++row) {
        for (int col = 3; col < x.width() - 3; ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
            n += 3;
        }
    }
    return sum / n;
}

bool hasStrongRed(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 90 && c.blue() < 90)
                return true;
        }
    }
    return false;
}

TEST(CardImageName, NamesEveryByteValue)
{
    for (int value = 0; value <= 255; ++value)
        EXPECT_EQ(CardImageName(value), expectedName(value)) << value;
    EXPECT_EQ(CardImageName(0), QStringLiteral("$00000000"));
    EXPECT_EQ(CardImageName(64), QStringLiteral("$00000040"));
    EXPECT_EQ(CardImageName(255), QStringLiteral("$000000ff"));
    EXPECT_EQ(CardImageName(36), QStringLiteral("cd10ofClubs"));
}

TEST(CardImages, EveryCardHasItsBitmapAtTheRightDepth)
{
    for (int value = 1; value <= kCardValueCount; ++value) {
        const QString name = CardImageName(value);
        SCOPED_TRACE(name.toStdString());
        const QString path = CardImages::bitmapPath(name);
        ASSERT_FALSE(path.isEmpty());
        EXPECT_TRUE(path.endsWith(name.toUpper() + QStringLiteral(".BMP")));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bmp = file.readAll();
        ASSERT_GE(bmp.size(), 54);
        const int depth = expectedDepth(value);
        const int colours = 1 << depth;
        const int stride = (71 * depth + 31) / 32 * 4;
        EXPECT_EQ(bmp.left(2), QByteArray("BM"));
        EXPECT_EQ(le32(bmp, 2), quint32(bmp.size()));
        EXPECT_EQ(le32(bmp, 10), quint32(54 + 4 * colours)); // pixels follow the palette
        EXPECT_EQ(le32(bmp, 14), 40u);
        EXPECT_EQ(le32(bmp, 18), 71u);
        EXPECT_EQ(le32(bmp, 22), 96u);
        EXPECT_EQ(le16(bmp, 26), 1);
        EXPECT_EQ(le16(bmp, 28), depth);
        EXPECT_EQ(le32(bmp, 30), 0u); // uncompressed
        EXPECT_EQ(bmp.size(), 54 + 4 * colours + stride * 96);
        // Small enough to load on every paint.
        EXPECT_LE(bmp.size(), 3600);

        const QImage image = CardImages::bitmap(name);
        ASSERT_EQ(image.size(), QSize(71, 96));
        EXPECT_LE(image.colorCount(), colours);
    }
}

TEST(CardImages, FacesAreRedOrBlackBySuit)
{
    for (int value = 1; value <= 52; ++value) {
        const QImage image = CardImages::bitmap(CardImageName(value)).convertToFormat(QImage::Format_RGB32);
        const bool red = CardSuit(value) == 2 || CardSuit(value) == 4;
        // The corner index: rank and suit, in the suit's colour.
        EXPECT_EQ(hasStrongRed(image, QRect(1, 2, 12, 22)), red) << CardImageName(value).toStdString();
    }
}

TEST(CardImages, EveryImageIsItsOwn)
{
    std::set<QByteArray> seen;
    for (int value = 1; value <= kCardValueCount; ++value) {
        const QImage image = CardImages::bitmap(CardImageName(value)).convertToFormat(QImage::Format_RGB32);
        const QByteArray pixels(reinterpret_cast<const char *>(image.constBits()), int(image.sizeInBytes()));
        EXPECT_TRUE(seen.insert(pixels).second) << CardImageName(value).toStdString() << " repeats another image";
    }
}

TEST(CardImages, LookupIgnoresCase)
{
    const QImage ace = CardImages::bitmap(QStringLiteral("CDACEOFSPADES"));
    ASSERT_FALSE(ace.isNull());
    EXPECT_EQ(CardImages::bitmap(QStringLiteral("cdAceofSpades")), ace);
    EXPECT_EQ(CardImages::bitmap(QStringLiteral("cdaceofspades")), ace);
    EXPECT_EQ(CardImages::bitmap(QStringLiteral("CdJoker")), CardImages::bitmap(QStringLiteral("cdjoker")));
    EXPECT_EQ(CardImages::rendition(QStringLiteral("ttanvik"), 3), CardImages::rendition(QStringLiteral("TTANVIK"), 3));
    EXPECT_FALSE(CardImages::rendition(QStringLiteral("TtAnViK"), 2).isNull());
}

TEST(CardImages, OtherNamesFindNothing)
{
    for (const char *name : {"$00000000", "$000000ff", "", "cdAceofSpade", "cdAceofSpades.BMP", "2x/CDACEOFSPADES",
                             "../cards/CDACEOFSPADES", "cards.qrc", "CDACEOFSPADES\n"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(CardImages::bitmapPath(QString::fromLatin1(name)).isEmpty());
        EXPECT_TRUE(CardImages::bitmap(QString::fromLatin1(name)).isNull());
        for (int scale = 1; scale <= 3; ++scale)
            EXPECT_TRUE(CardImages::rendition(QString::fromLatin1(name), scale).isNull());
    }
    EXPECT_TRUE(CardImages::rendition(QStringLiteral("cdAceofSpades"), 0).isNull());
    EXPECT_TRUE(CardImages::rendition(QStringLiteral("cdAceofSpades"), 4).isNull());
}

TEST(CardImages, RenditionsDrawTheSameDesignLarger)
{
    std::vector<QImage> small;
    for (int value = 1; value <= kCardValueCount; ++value)
        small.push_back(over(CardImages::rendition(CardImageName(value), 1), Qt::white));
    for (int value = 1; value <= kCardValueCount; ++value) {
        const QString name = CardImageName(value);
        SCOPED_TRACE(name.toStdString());
        const QImage one = CardImages::rendition(name, 1);
        ASSERT_EQ(one.size(), QSize(71, 96));
        // The twelve corner pixels are see-through, the rest of the card is not.
        for (const QPoint &pt : CardImages::cornerPixels(71, 96))
            EXPECT_EQ(qAlpha(one.pixel(pt)), 0);
        EXPECT_EQ(qAlpha(one.pixel(1, 1)), 255);
        EXPECT_EQ(qAlpha(one.pixel(2, 0)), 255);
        for (int scale = 2; scale <= 3; ++scale) {
            const QImage large = CardImages::rendition(name, scale);
            ASSERT_EQ(large.size(), QSize(71 * scale, 96 * scale));
            EXPECT_EQ(qAlpha(large.pixel(0, 0)), 0);
            EXPECT_EQ(qAlpha(large.pixel(large.width() / 2, large.height() / 2)), 255);
            // Brought down to 71 x 96 it matches its own card better than any other.
            const QImage reduced = over(large, Qt::white)
                                       .scaled(71, 96, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const double own = meanDifference(reduced, small[value - 1]);
            for (int other = 1; other <= kCardValueCount; ++other) {
                if (other != value) {
                    EXPECT_LT(own, meanDifference(reduced, small[other - 1])) << "looks like " << other;
                }
            }
        }
    }
}

TEST(CardImages, BestScaleCoversTheSlotWithoutEnlarging)
{
    EXPECT_EQ(CardImages::bestScale(QSize(10, 14)), 1);
    EXPECT_EQ(CardImages::bestScale(QSize(71, 96)), 1);
    EXPECT_EQ(CardImages::bestScale(QSize(72, 96)), 2);
    EXPECT_EQ(CardImages::bestScale(QSize(71, 97)), 2);
    EXPECT_EQ(CardImages::bestScale(QSize(142, 192)), 2);
    EXPECT_EQ(CardImages::bestScale(QSize(143, 192)), 3);
    EXPECT_EQ(CardImages::bestScale(QSize(1420, 1920)), 3);
}

} // namespace
} // namespace brisvale
