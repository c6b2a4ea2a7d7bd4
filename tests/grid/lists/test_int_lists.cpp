#include "grid/lists/TSortIndexList.h"
#include "platform/core/Exception.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

TEST(IntList, ChangesAreNotifiedOncePerAddDeleteAndWrite)
{
    TIntList list(7, 9);
    int calls = 0;
    list.OnChange = [&](TIntList* sender, int p1, int p2) {
        EXPECT_EQ(sender, &list);
        EXPECT_EQ(p1, 7);
        EXPECT_EQ(p2, 9);
        ++calls;
    };
    list.Add(3);
    list.Add(10);
    EXPECT_EQ(calls, 2);
    list.Insert(1, -1);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(list.CommaText(), "3,-1,10");
    list.SetItem(0, 4);
    list.Delete(2);
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(list.CommaText(), "4,-1");
    EXPECT_THROW(list.Item(2), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_EQ(calls, 4);
}

TEST(IntList, CommaTextIsReadAsTheStringListReadsIt)
{
    TIntList list;
    EXPECT_EQ(list.CommaText(), "");
    int calls = 0;
    list.OnChange = [&](TIntList*, int, int) { ++calls; };
    list.SetCommaText("5, 6");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0), 5);
    EXPECT_EQ(list.Item(1), 6);
    EXPECT_EQ(calls, 2);
    list.SetCommaText("1 2,\"3\"");
    EXPECT_EQ(list.CommaText(), "1,2,3");
    // A piece that is no integer stops the reading there.
    EXPECT_THROW(list.SetCommaText("8,x,9"), EConvertError);
    EXPECT_EQ(list.CommaText(), "8");
    EXPECT_THROW(list.SetCommaText("8,"), EConvertError);
}

TEST(SortIndexList, DirectionLivesInTheTopBit)
{
    TSortIndexList list;
    int calls = 0;
    list.OnChange = [&](TIntList*, int, int) { ++calls; };
    list.AddIndex(2, true);
    list.AddIndex(4, false);
    EXPECT_EQ(unsigned(list.Item(1)), 0x80000004u);
    EXPECT_EQ(list.FindIndex(4), 1);
    EXPECT_EQ(list.FindIndex(5), -1);
    EXPECT_FALSE(TSortIndexList::IsAscending(list.Item(1)));
    list.ToggleIndex(4);
    EXPECT_EQ(list.Item(1), 4);
    EXPECT_EQ(calls, 3);
    list.ToggleIndex(9);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(TSortIndexList::ColumnOf(int(0x80000007u)), 7);
}
