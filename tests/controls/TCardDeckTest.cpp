#include "controls/TCardDeck.h"

#include "controls/CardImages.h"

#include <QAccessible>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace brisvale {
namespace {

const QColor kFelt(0, 128, 64);
const QColor kStripeA(200, 40, 40);
const QColor kStripeB(40, 40, 200);

// A table painted as a one-pixel checkerboard, so no two neighbouring
// pixels have the same colour.
class Checkered : public QWidget {
public:
    using QWidget::QWidget;

    static QColor at(int x, int y) { return (x + y) % 2 == 0 ? kStripeA : kStripeB; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QImage image(size(), QImage::Format_RGB32);
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                image.setPixel(x, y, at(x, y).rgb());
        QPainter(this).drawImage(0, 0, image);
    }
};

class CountingCard : public TCardDeck {
public:
    using TCardDeck::TCardDeck;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        TCardDeck::paintEvent(event);
    }
};

class CardDeckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        felt.resize(400, 400);
        felt.setAutoFillBackground(true);
        QPalette pal = felt.palette();
        pal.setColor(QPalette::Window, kFelt);
        felt.setPalette(pal);
        checkered.resize(400, 400);
    }

    void show(QWidget &table)
    {
        table.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&table));
    }

    // What the player sees of the table, card included.
    static QImage shot(QWidget &table) { return table.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // Checks the card drawn at `at` in the shot: the bitmap, with its twelve
    // corner pixels in `corner`.
    static void expectCard(const QImage &shot, QPoint at, const QString &name, const QColor &corner)
    {
        const QImage bitmap = CardImages::bitmap(name).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(bitmap.isNull());
        const auto corners = CardImages::cornerPixels(71, 96);
        int wrong = 0;
        for (int y = 0; y < 96; ++y) {
            for (int x = 0; x < 71; ++x) {
                const bool isCorner = std::find(corners.begin(), corners.end(), QPoint(x, y)) != corners.end();
                const QRgb want = isCorner ? corner.rgb() : bitmap.pixel(x, y);
                if (shot.pixel(at + QPoint(x, y)) != want)
                    ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << name.toStdString();
    }

    QWidget felt;
    Checkered checkered;
};

TEST_F(CardDeckTest, StartsAsTheAceOfSpadesAtItsOwnSize)
{
    TCardDeck card;
    EXPECT_EQ(card.Value(), 1);
    EXPECT_FALSE(card.Stretch());
    EXPECT_EQ(card.size(), QSize(71, 96));
    EXPECT_EQ(card.property("Value").toInt(), 1);
}

TEST_F(CardDeckTest, CornersTakeTheTableColour)
{
    auto *card = new TCardDeck(&felt);
    card->move(20, 30);
    show(felt);
    for (cdCardDeck value : {1, 25, 53, 63}) {
        card->setValue(value);
        expectCard(shot(felt), QPoint(20, 30), CardImageName(value), kFelt);
    }
}

TEST_F(CardDeckTest, CornersTakeTheColourUnderTheTopLeftPixelOnAPattern)
{
    // Placed so the pixel under the card's top-left is kStripeB; half of the
    // other corner pixels lie over kStripeA.
    auto *card = new TCardDeck(&checkered);
    card->move(21, 30);
    card->setValue(40);
    show(checkered);
    const QImage image = shot(checkered);
    ASSERT_EQ(Checkered::at(21, 30), kStripeB);
    expectCard(image, QPoint(21, 30), CardImageName(40), kStripeB);
    // Around the card the pattern is untouched.
    EXPECT_EQ(image.pixel(20, 30), Checkered::at(20, 30).rgb());
    EXPECT_EQ(image.pixel(21 + 71, 30), Checkered::at(21 + 71, 30).rgb());

    card->move(22, 30);
    QApplication::processEvents();
    expectCard(shot(checkered), QPoint(22, 30), CardImageName(40), kStripeA);
}

TEST_F(CardDeckTest, EqualValueDoesNotRepaintAndANewOneRepaintsAtOnce)
{
    auto *card = new CountingCard(&felt);
    card->move(10, 10);
    show(felt);
    QApplication::processEvents();
    card->paints = 0;

    card->setValue(1);
    QApplication::processEvents();
    EXPECT_EQ(card->paints, 0);

    card->setValue(5);
    EXPECT_EQ(card->paints, 1); // before any event is processed
    EXPECT_EQ(card->Value(), 5);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(card)->text(QAccessible::Name), QStringLiteral("5 of Spades"));
    expectCard(shot(felt), QPoint(10, 10), QStringLiteral("cd5ofSpades"), kFelt);

    card->paints = 0;
    card->setValue(5);
    QApplication::processEvents();
    EXPECT_EQ(card->paints, 0);
}

TEST_F(CardDeckTest, StretchSizeRules)
{
    TCardDeck card;
    card.resize(200, 250);
    card.setStretch(true); // on keeps the size
    EXPECT_TRUE(card.Stretch());
    EXPECT_EQ(card.size(), QSize(200, 250));
    card.resize(150, 150);
    card.setStretch(false); // off resets it
    EXPECT_FALSE(card.Stretch());
    EXPECT_EQ(card.size(), QSize(71, 96));
    card.resize(100, 120);
    card.setStretch(false); // already off: nothing changes
    EXPECT_EQ(card.size(), QSize(100, 120));
}

TEST_F(CardDeckTest, UnstretchedOnALargerControlDrawsTheImageAtTheTopLeft)
{
    auto *card = new TCardDeck(&felt);
    card->setGeometry(30, 40, 120, 150);
    card->setValue(26);
    show(felt);
    const QImage image = shot(felt);
    // Bottom corners at rows 94 and 95 of the image, not of the control.
    expectCard(image, QPoint(30, 40), CardImageName(26), kFelt);
    for (const QPoint &pt : {QPoint(71, 0), QPoint(119, 0), QPoint(0, 96), QPoint(70, 149), QPoint(119, 149)})
        EXPECT_EQ(image.pixelColor(QPoint(30, 40) + pt), kFelt) << pt.x() << "," << pt.y();
}

TEST_F(CardDeckTest, ValueWithoutAnImageLeavesTheTableShowing)
{
    auto *card = new TCardDeck(&checkered);
    card->move(21, 31);
    show(checkered);
    for (bool stretch : {false, true}) {
        card->setStretch(stretch);
        card->resize(142, 192);
        for (cdCardDeck value : {0, 64, 255}) {
            card->setValue(value);
            QApplication::processEvents();
            const QImage image = shot(checkered);
            int wrong = 0;
            for (int y = 31; y < 31 + 192; ++y)
                for (int x = 21; x < 21 + 142; ++x)
                    wrong += image.pixel(x, y) != Checkered::at(x, y).rgb();
            EXPECT_EQ(wrong, 0) << int(value) << (stretch ? " stretched" : "");
        }
    }
}

TEST_F(CardDeckTest, StretchedDrawsTheRenditionThatFitsWithCornersInTheTableColour)
{
    auto *card = new TCardDeck(&checkered);
    card->setStretch(true);
    card->setValue(12);
    card->move(21, 30);
    show(checkered);
    for (int scale : {2, 3}) {
        card->resize(71 * scale, 96 * scale);
        QApplication::processEvents();
        const QImage image = shot(checkered).copy(QRect(QPoint(21, 30), card->size()));
        // Exactly the rendition, laid on the colour under the top-left pixel.
        QImage want(card->size(), QImage::Format_RGB32);
        want.fill(kStripeB);
        QPainter(&want).drawImage(0, 0, CardImages::rendition(QStringLiteral("cdQueenofSpades"), scale));
        EXPECT_EQ(image, want) << scale;
        for (const QPoint &pt : {QPoint(1, 0), QPoint(0, 1), QPoint(image.width() - 1, image.height() - 2)})
            EXPECT_EQ(image.pixelColor(pt), kStripeB);
    }
    // At its own size a stretched card looks as an unstretched one.
    card->resize(71, 96);
    QApplication::processEvents();
    expectCard(shot(checkered), QPoint(21, 30), QStringLiteral("cdQueenofSpades"), kStripeB);
}

TEST_F(CardDeckTest, StretchedBetweenSizesIsScaledSmoothly)
{
    auto *card = new TCardDeck(&felt);
    card->setStretch(true);
    card->setValue(63);
    card->setGeometry(5, 5, 180, 243);
    show(felt);
    const QImage image = shot(felt).copy(card->geometry());
    const QImage large = CardImages::rendition(QStringLiteral("ttanvik"), 3);
    QImage want(card->size(), QImage::Format_RGB32);
    want.fill(kFelt);
    QPainter(&want).drawImage(0, 0, large.scaled(card->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    EXPECT_EQ(image, want);
}

TEST_F(CardDeckTest, ClicksNeedTheLeftButtonPressedAndReleasedOnTheCard)
{
    auto *card = new TCardDeck(&felt);
    show(felt);
    QSignalSpy clicked(card, &TCardDeck::clicked);
    QSignalSpy down(card, &TCardDeck::mouseDown);
    QSignalSpy up(card, &TCardDeck::mouseUp);
    const QPoint centre(35, 48);

    QTest::mouseClick(card, Qt::LeftButton, {}, centre);
    EXPECT_EQ(clicked.count(), 1);
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(down.at(0).at(2).toPoint(), centre);
    EXPECT_EQ(up.count(), 1);

    QTest::mouseClick(card, Qt::RightButton, Qt::ShiftModifier, centre);
    EXPECT_EQ(clicked.count(), 1);
    ASSERT_EQ(down.count(), 2);
    EXPECT_EQ(down.at(1).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(down.at(1).at(1).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);

    // Pressed on the card, released off it.
    QTest::mousePress(card, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(card, Qt::LeftButton, {}, QPoint(200, 48));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(up.count(), 3);
}

TEST_F(CardDeckTest, DoubleClickReportsBothClicksAndTheDoubleClick)
{
    auto *card = new TCardDeck(&felt);
    show(felt);
    QSignalSpy clicked(card, &TCardDeck::clicked);
    QSignalSpy doubled(card, &TCardDeck::doubleClicked);
    QSignalSpy moved(card, &TCardDeck::mouseMove);
    const QPointF at(30, 40);
    const QPointF global = card->mapToGlobal(at);
    auto send = [&](QEvent::Type type, Qt::MouseButton button) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, at, global, button, held, Qt::NoModifier);
        QApplication::sendEvent(card, &event);
    };
    send(QEvent::MouseMove, Qt::NoButton);
    EXPECT_EQ(moved.count(), 1); // tracked without a button held
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::LeftButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(doubled.count(), 1);
    // Each click of the pair toggles a hold, as on the hold panel.
    EXPECT_EQ(clicked.count(), 2);
}

} // namespace
} // namespace brisvale
