#include "thumbs/ThumbGridModel.h"

#include <gtest/gtest.h>

namespace brisvale {
namespace {

TEST(ThumbGridModel, RowCountFollowsTheFolderOnlyAboveTenRows)
{
    struct Case {
        int files, before, rows;
    };
    for (const Case c : {Case{25, 10, 10}, Case{26, 10, 10}, Case{27, 10, 12}, Case{30, 10, 13}, Case{31, 10, 13},
                         Case{3, 17, 17}, Case{27, 17, 12}, Case{0, 13, 13}})
        EXPECT_EQ(ThumbGridModel::rowsFor(c.files, c.before), c.rows) << c.files << " after " << c.before;
}

TEST(ThumbGridModel, SlotsPairCellsAndFillInReadingOrder)
{
    ThumbGridModel grid;
    grid.setRows(13);
    // Image and caption cell name the same slot; the unpaired last row has none.
    EXPECT_EQ(grid.slotAt(2, 4), grid.slotAt(2, 5));
    EXPECT_FALSE(grid.slotAt(0, 12).has_value());
    EXPECT_FALSE(grid.isFreeAt(0, 12));

    int filled = 0;
    while (const auto slot = grid.firstFreeSlot()) {
        if (filled == 6) {
            EXPECT_EQ(*slot, (ThumbSlot{1, 3}));
        }
        grid.setCaption(*slot, QStringLiteral("p%1.jpg").arg(filled++));
    }
    EXPECT_EQ(filled, 30);
    EXPECT_EQ(grid.data(grid.index(11, 4), Qt::DisplayRole).toString(), QStringLiteral("p29.jpg"));
    EXPECT_EQ(grid.data(grid.index(10, 4), Qt::DisplayRole).toString(), QString());
    EXPECT_EQ(grid.findCaption(QStringLiteral("p7.jpg")), (ThumbSlot{2, 3}));

    grid.setCaption({2, 3}, QString());
    EXPECT_EQ(grid.firstFreeSlot(), (ThumbSlot{2, 3}));
    EXPECT_EQ(grid.takenSlots().size(), 29u);
    grid.clearCaptions();
    EXPECT_TRUE(grid.takenSlots().empty());
}

TEST(ThumbGridModel, ImageCellsAreReadByTheirPicture)
{
    ThumbGridModel grid;
    grid.setCaption({2, 3}, QStringLiteral("sunset.jpg"));
    // The image cell above the caption and the caption itself.
    EXPECT_EQ(grid.data(grid.index(2, 2), Qt::AccessibleTextRole).toString(), QStringLiteral("sunset.jpg"));
    EXPECT_EQ(grid.data(grid.index(3, 2), Qt::AccessibleTextRole).toString(), QStringLiteral("sunset.jpg"));
    EXPECT_EQ(grid.data(grid.index(0, 0), Qt::AccessibleTextRole).toString(), QStringLiteral("Free"));
}

} // namespace
} // namespace brisvale
