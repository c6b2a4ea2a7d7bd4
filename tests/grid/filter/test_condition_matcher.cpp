#include "grid/filter/TConditionMatcher.h"
#include "platform/core/RegionalSettings.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

// The wildcard matcher written as a recursion: stars try the rest of the
// pattern from the end of the text back. Exponential, used here only on
// short inputs to check that the compiled matcher gives the same answers.
bool Reference(QStringView p, QStringView t)
{
    bool negate = false;
    qsizetype i = 0;
    qsizetype j = 0;
    for (;;) {
        if (i >= p.size()) return negate != (j >= t.size());
        const QChar c = p[i];
        if (c == u'*') {
            while (i < p.size() && p[i] == u'*') ++i;
            for (qsizetype k = t.size(); k >= j; --k) {
                if (Reference(p.mid(i), t.mid(k))) return !negate;
            }
            return negate;
        }
        if (c == u'"') {
            ++i;
            continue;
        }
        if (j >= t.size()) return negate;
        if (c == u'!') {
            negate = true;
            ++i;
        } else if (c == u'?' || c == t[j]) {
            ++i;
            ++j;
        } else
            return negate;
    }
}

} // namespace

TEST(FilterCondition, ConditionsCombineLeftToRight)
{
    EXPECT_TRUE(MatchFilterCondition("> 5 & < 10", "7", false));
    EXPECT_FALSE(MatchFilterCondition("> 5 & < 10", "12", false));
    EXPECT_TRUE(MatchFilterCondition("A*", "abc", false));
    EXPECT_FALSE(MatchFilterCondition("A*", "abc", true));
    EXPECT_FALSE(MatchFilterCondition("!A*", "abc", false));
    EXPECT_TRUE(MatchFilterCondition("!A*", "xbc", false));
    EXPECT_TRUE(MatchFilterCondition("=", "", false));
    EXPECT_FALSE(MatchFilterCondition("=", "x", false));
    EXPECT_TRUE(MatchFilterCondition("a;b", "b", false));
    EXPECT_TRUE(MatchFilterCondition("1^2", "2", false));
    EXPECT_TRUE(MatchFilterCondition("1 | 2", "1", false));
    EXPECT_TRUE(MatchFilterCondition(" = Smith ", "smith", false));
    // No precedence: (a | b) & c.
    EXPECT_FALSE(MatchFilterCondition("a|b&c", "a", false));
    EXPECT_TRUE(MatchFilterCondition("a|b&?", "a", false));
}

TEST(FilterCondition, InclusiveComparisonsKeepTheirEqualsSign)
{
    EXPECT_TRUE(MatchFilterCondition(">=5", "5", false));
    EXPECT_TRUE(MatchFilterCondition("> = 5", "5", false));
    EXPECT_TRUE(MatchFilterCondition("<=5", "5", false));
    EXPECT_FALSE(MatchFilterCondition(">5", "5", false));
}

TEST(FilterCondition, ComparisonsAreNumericThenDatesThenTexts)
{
    TFormatSettings us;
    us.ShortDateFormat = QStringLiteral("M/d/yyyy");
    ScopedRegionalSettings settings(us);
    EXPECT_FALSE(MatchPattern(">10", "9"));
    EXPECT_TRUE(MatchPattern(">10", "10.5"));
    EXPECT_TRUE(MatchPattern(">B", "abc"));
    EXPECT_FALSE(MatchPattern(">b", "abc"));
    EXPECT_TRUE(MatchPattern(">\"9\"", "10"));
    EXPECT_TRUE(MatchPattern(">1/31/2003", "2/1/2003"));
    EXPECT_FALSE(MatchPattern("<1/31/2003", "2/1/2003"));
    // As texts "2/1/2003" sorts after "12/1/2003"; as dates it does not.
    EXPECT_FALSE(MatchPattern(">12/1/2003", "2/1/2003"));
}

TEST(FilterCondition, WildcardsMatchTheirTexts)
{
    EXPECT_TRUE(MatchPattern("a?c", "abc"));
    EXPECT_FALSE(MatchPattern("a?c", "ac"));
    EXPECT_TRUE(MatchPattern("*c", "abc"));
    EXPECT_TRUE(MatchPattern("a*b*c", "aXbYc"));
    EXPECT_FALSE(MatchPattern("a*b*c", "aXcYb"));
    EXPECT_TRUE(MatchPattern("\"abc", "abc"));
    EXPECT_FALSE(MatchPattern("abc", "abcd"));
    EXPECT_TRUE(MatchPattern("", ""));
}

TEST(FilterCondition, ATrailingStarOrQuoteMatchesTheEndOfTheText)
{
    EXPECT_TRUE(MatchPattern("abc*", "abc"));
    EXPECT_TRUE(MatchPattern("\"abc\"", "abc"));
    EXPECT_TRUE(MatchFilterCondition("Smith*", "SMITH", false));
    EXPECT_FALSE(MatchPattern("abc*d", "abc"));
}

TEST(FilterCondition, CompiledMatcherAgreesWithTheRecursiveOne)
{
    // Every pattern over a small alphabet up to length 4 against every text
    // of "a" and "b" up to length 4.
    const QString alphabet = QStringLiteral("ab?*!");
    std::function<void(QString, int, std::function<void(const QString&)>)> all =
        [&](QString prefix, int length, std::function<void(const QString&)> visit) {
            visit(prefix);
            if (length == 0) return;
            for (QChar c : alphabet) all(prefix + c, length - 1, visit);
        };
    int checked = 0;
    all(QString(), 4, [&](const QString& pattern) {
        all(QString(), 4, [&](const QString& text) {
            if (text.contains(u'?') || text.contains(u'*') || text.contains(u'!')) return;
            EXPECT_EQ(MatchPattern(pattern, text), Reference(pattern, text))
                << pattern.toStdString() << " / " << text.toStdString();
            ++checked;
        });
    });
    EXPECT_GT(checked, 1000);
}

TEST(FilterCondition, ManyStarsAreMatchedWithoutBacktrackingBlowUp)
{
    // The recursive matcher needs longer than the age of the world for this.
    const QString pattern = QStringLiteral("*a").repeated(30) + u'b';
    const QString text = QString(200, u'a');
    const TFilterPattern compiled(pattern);
    EXPECT_FALSE(compiled.Match(text));
    EXPECT_TRUE(compiled.Match(text + u'b'));
}
