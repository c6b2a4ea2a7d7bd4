#include "grid/cells/CellGraphic.h"
#include "grid/util/IntList.h"
#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

TEST(CellGraphic, PictureSizesFollowTheStretchMode)
{
    int w = -1;
    int h = -1;
    // Proportional: a 200 x 200 picture in a 100 x 50 cell.
    TCellGraphic::PictureSize(2, 0, 100, 50, 200, 200, w, h);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 50);
    TCellGraphic::PictureSize(1, 4, 100, 50, 10, 10, w, h);
    EXPECT_EQ(w, 96);
    EXPECT_EQ(h, 46);
    TCellGraphic::PictureSize(3, 0, 100, 50, 10, 60, w, h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 50);
    TCellGraphic::PictureSize(3, 0, 100, 50, 10, 20, w, h);
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 20);
    TCellGraphic::PictureSize(4, 0, 100, 50, 10, 20, w, h);
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 20);
    TCellGraphic::PictureSize(4, 0, 100, 50, 400, 50, w, h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 12); // 12.5, halves to even
    TCellGraphic::PictureSize(0, 0, 100, 50, 7, 8, w, h);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 8);
}

TEST(CellGraphic, ZeroAndNegativeSizesAreClampedNotGuessed)
{
    int w = -1;
    int h = -1;
    // A picture without height: its own scale, no undefined factor.
    TCellGraphic::PictureSize(2, 0, 100, 50, 40, 0, w, h);
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 50);
    // A margin larger than the cell and a negative picture size.
    TCellGraphic::PictureSize(1, 80, 60, 50, 10, 10, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    TCellGraphic::PictureSize(0, 0, 60, 50, -5, -7, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    TCellGraphic g;
    g.GetPictureSize(100, 100, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST(CellGraphic, OwnedObjectsAreFreedAndCopiesOwnNothing)
{
    auto* bitmap = new TBitmap(4, 4);
    {
        TCellGraphic owner;
        owner.CellType = ctBitmap;
        owner.Graphic = bitmap;
        owner.CellCreated = true;
        owner.Images().Add(3);
        TCellGraphic copy;
        copy.Assign(owner);
        EXPECT_EQ(copy.Graphic, bitmap);
        EXPECT_FALSE(copy.CellCreated);
        ASSERT_NE(copy.ImagesOrNull(), nullptr);
        EXPECT_EQ(copy.ImagesOrNull()->Item(0), 3);
        EXPECT_NE(copy.ImagesOrNull(), owner.ImagesOrNull());
    } // the sanitizer build catches a second free of the bitmap here
    TCellGraphic borrowed;
    TBitmap kept(2, 2);
    borrowed.CellType = ctBitmap;
    borrowed.Graphic = &kept;
}
