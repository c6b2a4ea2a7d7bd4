#include "grid/text/QuotedFields.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

TEST(QuotedFields, QuotesOfDelimitedFields)
{
    EXPECT_EQ(FindSingleChar(u'\'', "ab'c"), 3);
    EXPECT_EQ(FindSingleChar(u'\'', "a''b"), 0);
    EXPECT_EQ(FindSingleChar(u'\'', "ab''"), 4);
    EXPECT_EQ(FindSingleChar(u'\'', "a'''b"), 4);
    EXPECT_EQ(FindSingleChar(u'\'', ""), 0);
    EXPECT_EQ(CountSingleChars(u'"', "a\"b\"c"), 2);
    EXPECT_EQ(CountSingleChars(u'"', "a\"\"b"), 0);
    QString undoubled;
    UndoubleChar(u'"', "say \"\"hi\"\"\"", undoubled);
    EXPECT_EQ(undoubled, "say \"hi\"");
    UndoubleChar(u'"', "plain", undoubled);
    EXPECT_EQ(undoubled, "plain");
}
