#include "grid/text/CellLinks.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

TEST(CellLinks, LinksAndCellReferences)
{
    EXPECT_TRUE(IsURL("http://x"));
    EXPECT_TRUE(IsURL("mailto:a@b"));
    EXPECT_FALSE(IsURL("MAILTO:a@b"));
    QString url = "http://host/a://b";
    StripURLProtocol(url);
    EXPECT_EQ(url, "host/a://b");
    url = "mailto:a@b";
    StripURLProtocol(url);
    EXPECT_EQ(url, "a@b");

    TPoint cell(-1, -1);
    ASSERT_TRUE(ParseRCReference("r12c3", cell));
    EXPECT_EQ(cell, TPoint(3, 12));
    EXPECT_FALSE(ParseRCReference("R1C", cell));
    EXPECT_FALSE(ParseRCReference("X12C3", cell));
    EXPECT_FALSE(ParseRCReference("R12", cell));
    EXPECT_FALSE(ParseRCReference("R1Cx", cell));
    EXPECT_EQ(cell, TPoint(3, 12));
}
