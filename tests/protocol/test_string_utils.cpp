#include "protocol/StringUtils.h"

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
    const char text[] = "Caf\xC9 au LAIT";  // E acute in upper case
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
    EXPECT_EQ(FastReplace(text, QStringLiteral("hello"), QStringLiteral("bye"), true), QStringLiteral("Hello HELLO bye"));
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

TEST(XmlEscape, FiveEntitiesInOrder)
{
    EXPECT_EQ(XmlEscape(QStringLiteral("a&b\"c'd<e>f")), QStringLiteral("a&amp;b&quot;c&apos;d&lt;e&gt;f"));
    EXPECT_EQ(XmlEscape(QStringLiteral("&amp;")), QStringLiteral("&amp;amp;")) << "an entity in the input is escaped again";
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

TEST(StrToFloatDefault, AcceptsOnlyWholeNumbers)
{
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("2.5"), -1), 2.5);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("-118.2437"), 0), -118.2437);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("+3"), 0), 3);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral(".5"), 0), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("5."), 0), 5);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("1e5"), 0), 1e5);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("-1.5E-3"), 0), -1.5e-3);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("1e-400"), 7), 0) << "underflow is zero";

    for (const char* bad : {"", "2,5", " 2.5", "2.5 ", "inf", "-inf", "INF", "nan", "NaN", "Infinity", "0x1A",
                            "$10", "1e", "1e+", ".", "-", "+", "1.2.3", "1e400", "12a", "--1", "1 000"}) {
        EXPECT_DOUBLE_EQ(StrToFloatDefault(QString::fromLatin1(bad), -7), -7) << "text: '" << bad << "'";
    }
    EXPECT_DOUBLE_EQ(StrToFloatDefault(S(u"\u0661\u0662"), -7), -7) << "only ASCII digits";
}

TEST(WireNumbers, GeneralFormUsesPointAndShortestDigits)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(WireFloatToStr(34.0522), QStringLiteral("34.0522"));
    EXPECT_EQ(WireFloatToStr(-118.2437), QStringLiteral("-118.2437"));
    EXPECT_EQ(WireFloatToStr(0), QStringLiteral("0"));
    EXPECT_EQ(WireFloatToStr(2), QStringLiteral("2"));
    EXPECT_EQ(WireFloatToStr(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(WireFloatToStr(0.1 + 0.2), QStringLiteral("0.3")) << "15 significant digits";
    EXPECT_EQ(WireFloatToStr(0.00001), QStringLiteral("0.00001"));
    EXPECT_EQ(WireFloatToStr(0.000001), QStringLiteral("1E-6"));
    EXPECT_EQ(WireFloatToStr(123456789012345.0), QStringLiteral("123456789012345"));
    EXPECT_EQ(WireFloatToStr(1e15), QStringLiteral("1E15"));
    EXPECT_EQ(WireFloatToStr(-2.5e20), QStringLiteral("-2.5E20"));
    QLocale::setDefault(saved);
}

TEST(WireNumbers, OneDecimalRoundsHalfAwayFromZero)
{
    EXPECT_EQ(WireFormatOneDecimal(2), QStringLiteral("2.0"));
    EXPECT_EQ(WireFormatOneDecimal(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(WireFormatOneDecimal(0.25), QStringLiteral("0.3"));
    EXPECT_EQ(WireFormatOneDecimal(0.15), QStringLiteral("0.2"));
    EXPECT_EQ(WireFormatOneDecimal(2.45), QStringLiteral("2.5"));
    EXPECT_EQ(WireFormatOneDecimal(0.05), QStringLiteral("0.1"));
    EXPECT_EQ(WireFormatOneDecimal(0.04), QStringLiteral("0.0"));
    EXPECT_EQ(WireFormatOneDecimal(-0.04), QStringLiteral("0.0"));
    EXPECT_EQ(WireFormatOneDecimal(-0.25), QStringLiteral("-0.3"));
    EXPECT_EQ(WireFormatOneDecimal(9.95), QStringLiteral("10.0"));
    EXPECT_EQ(WireFormatOneDecimal(99.96), QStringLiteral("100.0"));
    EXPECT_EQ(WireFormatOneDecimal(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(WireFormatOneDecimal(0), QStringLiteral("0.0"));
    EXPECT_EQ(WireFormatOneDecimal(100), QStringLiteral("100.0"));
}
