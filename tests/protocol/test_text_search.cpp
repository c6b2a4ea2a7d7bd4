#include "protocol/TextSearch.h"

#include <QLocale>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QString S(const char16_t* text) { return QString::fromUtf16(text); }

// Straightforward left-to-right replace-all, to check the fast one against.
QString NaiveReplace(const QString& source, const QString& find, const QString& replace, bool caseSensitive)
{
    if (source.isEmpty() || find.isEmpty() || find.size() > source.size()) return source;
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QString out;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype hit = source.indexOf(find, pos, cs);
        if (hit < 0) break;
        out += source.mid(pos, hit - pos) + replace;
        pos = hit + find.size();
    }
    return out + source.mid(pos);
}

} // namespace

TEST(BMTable, ZeroLengthRaises)
{
    TBMTable t;
    try {
        MakeBMTable("x", 0, t);
        FAIL() << "no exception";
    } catch (const EBMError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Buffer length is 0"));
    }
    EXPECT_THROW(MakeBMTableNoCase("x", 0, t), EBMError);
}

TEST(BMTable, ShiftsFromTheLastOccurrenceBeforeTheEnd)
{
    TBMTable t;
    MakeBMTable("abcab", 5, t);
    EXPECT_EQ(t['a'], 1u);
    EXPECT_EQ(t['b'], 3u);
    EXPECT_EQ(t['c'], 2u);
    EXPECT_EQ(t['z'], 5u);
    EXPECT_EQ(t[0], 5u);

    MakeBMTable("q", 1, t);
    for (auto v : t) ASSERT_EQ(v, 1u);

    MakeBMTableNoCase("ab", 2, t);
    EXPECT_EQ(t['A'], 1u) << "the no-case table is indexed by the upper-cased byte";
    EXPECT_EQ(t['a'], 2u);
}

TEST(BMPos, FindsFirstMatchOrNone)
{
    const char* text = "the cat sat on the mat";
    const auto n = qsizetype(strlen(text));
    TBMTable t;
    MakeBMTable("at", 2, t);
    EXPECT_EQ(BMPos("at", text, 2, t, n), 5);
    MakeBMTable("mat", 3, t);
    EXPECT_EQ(BMPos("mat", text, 3, t, n), 19) << "match at the very end";
    MakeBMTable("the", 3, t);
    EXPECT_EQ(BMPos("the", text, 3, t, n), 0);
    MakeBMTable("dog", 3, t);
    EXPECT_EQ(BMPos("dog", text, 3, t, n), -1);
    MakeBMTable("the cat sat on the mat!", 23, t);
    EXPECT_EQ(BMPos("the cat sat on the mat!", text, 23, t, n), -1) << "pattern longer than the text";
    MakeBMTable("THE", 3, t);
    EXPECT_EQ(BMPos("THE", text, 3, t, n), -1);
}

TEST(BMPos, NoCaseFoldsLettersOfTheCodePage)
{
    const char text[] = "Caf\xC9 au LAIT"; // E acute in upper case
    TBMTable t;
    MakeBMTableNoCase("caf\xE9", 4, t);
    EXPECT_EQ(BMPosNoCase("caf\xE9", text, 4, t, qsizetype(sizeof text - 1)), 0);
    MakeBMTableNoCase("lait", 4, t);
    EXPECT_EQ(BMPosNoCase("lait", text, 4, t, qsizetype(sizeof text - 1)), 8);
    MakeBMTableNoCase("tea", 3, t);
    EXPECT_EQ(BMPosNoCase("tea", text, 3, t, qsizetype(sizeof text - 1)), -1);
}

TEST(FastReplace, DocumentedResults)
{
    EXPECT_EQ(FastReplace(QStringLiteral("aaaa"), QStringLiteral("aa"), QStringLiteral("b")), QStringLiteral("bb"));
    EXPECT_EQ(FastReplace(QStringLiteral("aaa"), QStringLiteral("aa"), QStringLiteral("b")), QStringLiteral("ba"))
        << "non-overlapping, left to right";
    EXPECT_EQ(FastReplace(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
    EXPECT_EQ(FastReplace(QString(), QStringLiteral("a"), QStringLiteral("x")), QString());
    EXPECT_EQ(FastReplace(QStringLiteral("ab"), QStringLiteral("abc"), QStringLiteral("x")), QStringLiteral("ab"));
    EXPECT_EQ(FastReplace(FastReplace(QStringLiteral("$1,234,567"), QStringLiteral("$"), QString()),
                          QStringLiteral(","), QString()),
              QStringLiteral("1234567"));
    const QString hundred(100, u'z');
    EXPECT_EQ(FastReplace(QStringLiteral("a"), QStringLiteral("a"), hundred), hundred);
    EXPECT_EQ(FastReplace(QStringLiteral("xaxbx"), QStringLiteral("x"), QStringLiteral("<->")),
              QStringLiteral("<->a<->b<->"));
}

TEST(FastReplace, CaseSensitivity)
{
    const QString text = QStringLiteral("Hello HELLO hello");
    EXPECT_EQ(FastReplace(text, QStringLiteral("hello"), QStringLiteral("bye"), false), QStringLiteral("bye bye bye"));
    EXPECT_EQ(FastReplace(text, QStringLiteral("hello"), QStringLiteral("bye"), true),
              QStringLiteral("Hello HELLO bye"));
    EXPECT_EQ(FastReplace(S(u"\u00C9T\u00C9 \u00e9t\u00e9"), S(u"\u00e9t\u00e9"), QStringLiteral("x"), false),
              QStringLiteral("x x"));
}

TEST(FastReplace, UnitsSharingALowByteDoNotConfuseTheSearch)
{
    // U+0141 and "A" share the low byte 0x41 of the shift table.
    EXPECT_EQ(FastReplace(S(u"\u0141AxA\u0141"), QStringLiteral("xA"), QStringLiteral("-")), S(u"\u0141A-\u0141"));
    EXPECT_EQ(FastReplace(S(u"A\u0141A\u0141"), S(u"A\u0141"), QStringLiteral("."), true), QStringLiteral(".."));
}

TEST(FastReplace, AgreesWithAPlainReplaceOnRandomTexts)
{
    QRandomGenerator rng(20240611);
    const QString alphabet = S(u"aAb\u00e9\u00c9\u0141\u0142 ");
    auto randomText = [&](int maxLen) {
        QString s;
        const int len = int(rng.bounded(maxLen + 1));
        for (int i = 0; i < len; ++i) s += alphabet[int(rng.bounded(int(alphabet.size())))];
        return s;
    };
    for (int round = 0; round < 3000; ++round) {
        const QString source = randomText(40);
        const QString find = randomText(4);
        const QString repl = randomText(3);
        const bool cs = round % 2 == 0;
        ASSERT_EQ(FastReplace(source, find, repl, cs), NaiveReplace(source, find, repl, cs))
            << "source=" << source.toStdString() << " find=" << find.toStdString() << " cs=" << cs;
    }
}

TEST(FastReplace, LongText)
{
    QString big;
    for (int i = 0; i < 50000; ++i) big += QStringLiteral("$1,000 ");
    const QString out = FastReplace(FastReplace(big, QStringLiteral("$"), QString()), QStringLiteral(","), QString());
    EXPECT_EQ(out.size(), 50000 * 5);
    EXPECT_TRUE(out.startsWith(QStringLiteral("1000 1000 ")));
}
