#include "controls/CardImages.h"
#include "controls/ClickPanel.h"
#include "controls/TCardDeck.h"
#include "game/RandomGenerator.h"
#include "game/TForm1.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace brisvale {
namespace {

class CardSlotsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TForm1>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->RadioButton4->setChecked(true); // no picture pause after a win
        randomGenerator().setSeed(0);
    }

    // The slot as it appears in the window.
    QImage slotShot(int k) const
    {
        const TCardDeck *card = form->CardDeck[k];
        const QRect where(card->mapTo(form.get(), QPoint(0, 0)), card->size());
        return form->grab(where).toImage().convertToFormat(QImage::Format_RGB32);
    }

    // The card image as drawn from the rendition at `scale`, for comparison.
    static QImage drawnFrom(const QString &name, int scale, QSize size, const QColor &table)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(table);
        QPainter(&image).drawImage(
            0, 0, CardImages::rendition(name, scale).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        return image;
    }

    static double meanDifference(const QImage &a, const QImage &b)
    {
        double sum = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
            }
        }
        return sum / (3.0 * a.width() * a.height());
    }

    QColor tableColour() const
    {
        const QWidget *table = form->CardDeck[0]->parentWidget();
        return table->palette().color(table->backgroundRole());
    }

    void expectSlotShows(int k, const QString &name)
    {
        const QImage shot = slotShot(k);
        const int scale = CardImages::bestScale(shot.size());
        EXPECT_LT(meanDifference(shot, drawnFrom(name, scale, shot.size(), tableColour())), 1.0)
            << "slot " << k + 1 << " should show " << name.toStdString();
    }

    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

    std::unique_ptr<TForm1> form;
};

TEST_F(CardSlotsTest, ShowTheHouseBackBeforeTheFirstDealAndTheDealtCardsAfter)
{
    for (int k = 0; k < 5; ++k) {
        EXPECT_TRUE(form->CardDeck[k]->Stretch());
        expectSlotShows(k, QStringLiteral("ttanvik"));
    }
    click(form->Shuffle);
    for (int k = 0; k < 5; ++k)
        expectSlotShows(k, CardImageName(form->CardDeck[k]->Value()));
}

TEST_F(CardSlotsTest, ACardClickTogglesItsPanelAlsoWhenThePanelIsDisabled)
{
    click(form->Shuffle);
    click(form->CardDeck[2]);
    EXPECT_EQ(form->HoldPanel[2]->text(), QStringLiteral("Hold"));
    click(form->CardDeck[2]);
    EXPECT_EQ(form->HoldPanel[2]->text(), QStringLiteral("Draw"));
    click(form->CardDeck[2]);
    click(form->Second);
    ASSERT_FALSE(form->HoldPanel[2]->isEnabled());
    EXPECT_EQ(form->HoldPanel[2]->text(), QStringLiteral("Over"));
    click(form->CardDeck[2]);
    EXPECT_EQ(form->HoldPanel[2]->text(), QStringLiteral("Draw"));
    click(form->CardDeck[2]);
    EXPECT_EQ(form->HoldPanel[2]->text(), QStringLiteral("Hold"));
    EXPECT_FALSE(form->HoldPanel[2]->isEnabled());
}

TEST_F(CardSlotsTest, ALargeTableDrawsFromTheLargestRenditionAndStaysCrisp)
{
    form->resize(1600, 1200);
    QApplication::processEvents();
    const QImage shot = slotShot(0);
    ASSERT_GT(shot.width(), 142);
    ASSERT_EQ(CardImages::bestScale(shot.size()), 3);
    const double fromLarge = meanDifference(shot, drawnFrom(QStringLiteral("ttanvik"), 3, shot.size(), tableColour()));
    const double fromSmall = meanDifference(shot, drawnFrom(QStringLiteral("ttanvik"), 1, shot.size(), tableColour()));
    EXPECT_LT(fromLarge, 1.0);
    EXPECT_GT(fromSmall, 3 * fromLarge + 1.0); // an enlarged small image would look blurred
}

} // namespace
} // namespace brisvale
