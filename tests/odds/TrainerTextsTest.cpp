#include "odds/TrainerTexts.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace brisvale;

TEST(TrainerTexts, NoCostIsToldForAnyOfSeveralEquallyGoodHolds)
{
    PayoutTable nineSix;
    nineSix.h = {0, 0, 1, 2, 3, 5, 8, 24, 49, 799};
    // Four aces and a king: with or without the kicker the hand stays four of a kind.
    const Hand quads{1, 14, 27, 40, 13};
    const HoldAnalysis a = *HoldOdds::shared().analyse(quads, nineSix);
    EXPECT_EQ(HoldCostText(a, quads, 0b11111), QString());
    EXPECT_EQ(HoldCostText(a, quads, 0b01111), QString());
    // Keeping only three of them is a mistake, and the text names a best hold.
    EXPECT_EQ(HoldCostText(a, quads, 0b00111).left(15), QStringLiteral("Your hold cost "));
    EXPECT_TRUE(HoldCostText(a, quads, 0b00111).contains(QStringLiteral("best: AS AH AC AD")));
    EXPECT_EQ(HoldCardsText(quads, 0), QStringLiteral("nothing"));
}
