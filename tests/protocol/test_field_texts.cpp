#include "protocol/FieldTexts.h"

#include <gtest/gtest.h>

namespace {

QString S(const char16_t* text) { return QString::fromUtf16(text); }

} // namespace

TEST(XmlEscape, FiveEntitiesInOrder)
{
    EXPECT_EQ(XmlEscape(QStringLiteral("a&b\"c'd<e>f")), QStringLiteral("a&amp;b&quot;c&apos;d&lt;e&gt;f"));
    EXPECT_EQ(XmlEscape(QStringLiteral("&amp;")), QStringLiteral("&amp;amp;"))
        << "an entity in the input is escaped again";
    EXPECT_EQ(XmlEscape(QString()), QString());
    EXPECT_EQ(XmlEscape(QStringLiteral("plain text")), QStringLiteral("plain text"));
    EXPECT_EQ(XmlEscape(S(u"R&D \u00e9")), S(u"R&amp;D \u00e9"));
}

TEST(Flags, YesNo)
{
    EXPECT_EQ(BoolToYN(true), QStringLiteral("Y"));
    EXPECT_EQ(BoolToYN(false), QStringLiteral("N"));
    EXPECT_TRUE(YNToBool(QStringLiteral("Y")));
    EXPECT_FALSE(YNToBool(QStringLiteral("y")));
    EXPECT_FALSE(YNToBool(QStringLiteral("Y ")));
    EXPECT_FALSE(YNToBool(QStringLiteral("Yes")));
    EXPECT_FALSE(YNToBool(QString()));
}

TEST(MoneyToInt, RemovesDollarsAndCommasOnly)
{
    EXPECT_EQ(MoneyToInt(QStringLiteral("$350,000")), QStringLiteral("350000"));
    EXPECT_EQ(MoneyToInt(QStringLiteral("$245.50")), QStringLiteral("245.50"));
    EXPECT_EQ(MoneyToInt(QStringLiteral("n/a")), QStringLiteral("n/a"));
    EXPECT_EQ(MoneyToInt(QString()), QString());
    EXPECT_EQ(MoneyToInt(QString(300, u'1')).size(), 255) << "a short string holds 255 characters";
}

TEST(ExpandListingAbbrev, FullAndPartialOnly)
{
    EXPECT_EQ(ExpandListingAbbrev(QStringLiteral("F")), QStringLiteral("Full"));
    EXPECT_EQ(ExpandListingAbbrev(QStringLiteral("P")), QStringLiteral("Partial"));
    EXPECT_EQ(ExpandListingAbbrev(QStringLiteral("f")), QStringLiteral("f"));
    EXPECT_EQ(ExpandListingAbbrev(QStringLiteral("FP")), QStringLiteral("FP"));
    EXPECT_EQ(ExpandListingAbbrev(QString()), QString());
}
