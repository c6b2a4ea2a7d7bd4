#include "grid/hidden/TColumnMap.h"

#include <gtest/gtest.h>

TEST(ColumnMap, IndicesMapBothWaysAroundHiddenColumns)
{
    TColumnMap map;
    map.Rebuild(6);
    EXPECT_EQ(map.RealColIndex(3), 3);
    EXPECT_EQ(map.DisplColIndex(3), 3);
    ASSERT_TRUE(map.SetVisible(1, false));
    ASSERT_TRUE(map.SetVisible(3, false));
    EXPECT_FALSE(map.SetVisible(3, false)); // hidden once
    EXPECT_EQ(map.HiddenCount(), 2);
    map.Rebuild(6);
    // Visible real columns 0, 2, 4, 5.
    const int realOf[] = {0, 2, 4, 5};
    for (int d = 0; d < 4; ++d) {
        EXPECT_EQ(map.RealColIndex(d), realOf[d]);
        EXPECT_EQ(map.DisplColIndex(realOf[d]), d);
    }
    // A hidden column counts at the place of the next visible one.
    EXPECT_EQ(map.DisplColIndex(3), 2);
    // Past the visible columns there is no real column.
    EXPECT_EQ(map.RealColIndex(4), -1);
    EXPECT_EQ(map.RealColIndex(-1), -1);
    EXPECT_TRUE(map.IsHidden(1));
    EXPECT_FALSE(map.Visible(3));

    ASSERT_TRUE(map.SetVisible(1, true));
    map.Rebuild(6);
    EXPECT_EQ(map.RealColIndex(1), 1);
    EXPECT_EQ(map.RealColIndex(3), 4);
    EXPECT_EQ(map.HiddenCount(), 1);
}

TEST(ColumnMap, AnyColumnCanBeHidden)
{
    TColumnMap map;
    EXPECT_TRUE(map.SetVisible(600, false));
    EXPECT_TRUE(map.IsHidden(600));
    EXPECT_FALSE(map.IsHidden(599));
    EXPECT_EQ(map.HiddenCount(), 1);
    map.Rebuild(700);
    EXPECT_EQ(map.RealColIndex(600), 601);
    map.SetSavedWidth(600, 40);
    EXPECT_EQ(map.SavedWidth(600), 40);
    EXPECT_EQ(map.SavedWidth(5000), 0);
    map.SetSavedWidth(5, -3);
    EXPECT_EQ(map.SavedWidth(5), 0);
}
