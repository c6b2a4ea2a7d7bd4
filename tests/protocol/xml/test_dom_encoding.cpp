// Encodings: names, the code-page tables against fixed values and the round
// trip of every mapped byte, UTF-8 and UTF-16, the list of unconvertible
// characters, and the wide-string routines.

#include "protocol/xml/XMLEncoding.h"
#include "protocol/xml/XMLWideStrings.h"

#include "platform/core/AnsiCodePage.h"

#include <gtest/gtest.h>

namespace {
struct ListReset {
    ListReset() { ClearUnconvertedList(); }
    ~ListReset() { ClearUnconvertedList(); }
};
const uint8_t* bytesOf(const QByteArray& b) { return reinterpret_cast<const uint8_t*>(b.constData()); }
} // namespace

TEST(XmlEncoding, Names)
{
    EXPECT_EQ(EncodingName(n_sup), QStringLiteral("not supported"));
    EXPECT_EQ(EncodingName(i8859_10), QStringLiteral("ISO-8859-10"));
    EXPECT_EQ(EncodingName(US_ASCII), QStringLiteral("US-ASCII"));
    EXPECT_EQ(EncodingName(UTF_16), QStringLiteral("UTF-16"));
    for (int e = i8859_1; e <= UTF_16; ++e) {
        EXPECT_EQ(EncodingFromName(EncodingName(TEncoding(e))), TEncoding(e));
        EXPECT_EQ(EncodingFromName(EncodingName(TEncoding(e)).toLower()), TEncoding(e));
    }
    EXPECT_EQ(EncodingFromName(u"utf-8"), UTF_8);
    EXPECT_EQ(EncodingFromName(u"UTF8"), n_sup);
    EXPECT_EQ(EncodingFromName(u"windows-1252"), n_sup);
    EXPECT_EQ(EncodingFromName(u"cp1252"), n_sup);
    EXPECT_EQ(EncodingFromName(u"not supported"), n_sup);
    EXPECT_EQ(EncodingFromName(u"ISO-8859-1 "), n_sup);
    EXPECT_EQ(EncodingFromName(u""), n_sup);
}

TEST(XmlEncoding, SpotValuesOfTheTables)
{
    ListReset reset;
    EXPECT_EQ(CharToByte(0x0164, i8859_2), 0xAB);
    EXPECT_EQ(ByteToChar(0xAB, i8859_2), 0x0164);
    EXPECT_EQ(ByteToChar(0x09, i8859_1), 0x09);
    EXPECT_EQ(ByteToChar(0x0A, i8859_1), 0x0A);
    EXPECT_EQ(ByteToChar(0x0D, i8859_1), 0x0D);
    EXPECT_EQ(ByteToChar(0xE9, i8859_1), 0x00E9);
    EXPECT_EQ(ByteToChar(0xA1, i8859_7), 0x02BD);
    EXPECT_EQ(ByteToChar(0xA2, i8859_7), 0x02BC);
    EXPECT_EQ(ByteToChar(0xAF, i8859_8), 0x203E);
    EXPECT_EQ(ByteToChar(0xC0, i8859_5), 0x0420);
    EXPECT_EQ(ByteToChar(0xC7, i8859_6), 0x0627);
    EXPECT_EQ(ByteToChar(0xD0, i8859_9), 0x011E);
    EXPECT_EQ(ByteToChar(0xA1, i8859_10), 0x0104);
    EXPECT_EQ(ByteToChar(0x41, US_ASCII), 0x41);
    EXPECT_EQ(ByteToChar(0x01, US_ASCII), 0x01);
    EXPECT_EQ(ByteToChar(0x7F, US_ASCII), 0x7F);
    EXPECT_TRUE(UnconvertedListIsEmpty());

    // Unmapped: the C1 controls, the gaps of the parts, the 1987 edition of
    // part 7 and the marks of part 8.
    struct Gap {
        TEncoding e;
        uint8_t b;
    };
    for (Gap g : {Gap{i8859_1, 0x85}, Gap{i8859_1, 0x7F}, Gap{i8859_1, 0x01}, Gap{i8859_3, 0xA5}, Gap{i8859_7, 0xA4},
                  Gap{i8859_7, 0xA5}, Gap{i8859_7, 0xAA}, Gap{i8859_8, 0xFD}, Gap{i8859_8, 0xFE}, Gap{US_ASCII, 0x80},
                  Gap{US_ASCII, 0xFF}}) {
        EXPECT_EQ(CodePageTable(g.e)[g.b], 0) << int(g.e) << " " << int(g.b);
        EXPECT_EQ(ByteToChar(g.b, g.e), u'_');
    }
    // Reading 0x85 lists the character of that byte in the ANSI code page.
    EXPECT_TRUE(IsListed(0x2026));
    EXPECT_EQ(AnsiCharOf(0x85), 0x2026);
    EXPECT_EQ(AnsiCharOf(0x80), 0x20AC);
    EXPECT_EQ(AnsiCharOf(0x81), 0x0081);
    EXPECT_EQ(AnsiCharOf(0xE9), 0x00E9);
    EXPECT_EQ(CodePageTable(UTF_8), nullptr);
}

TEST(XmlEncoding, EveryMappedByteRoundTrips)
{
    ListReset reset;
    for (int e = i8859_1; e <= US_ASCII; ++e) {
        const TEncoding enc = TEncoding(e);
        const char16_t* table = CodePageTable(enc);
        int mapped = 0;
        for (int b = 0; b < 256; ++b) {
            const char16_t c = table[b];
            if (!c) continue;
            ++mapped;
            EXPECT_EQ(ByteToChar(uint8_t(b), enc), c);
            if (c == 0x7F) continue; // DEL is never written as itself
            EXPECT_EQ(CharToByte(c, enc), b) << e << " " << b;
            EXPECT_EQ(WideToBytes(QString(QChar(c)), enc), QByteArray(1, char(b)));
        }
        EXPECT_GT(mapped, 90) << e;
        // All of the table's text back and forth at once.
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            if (table[b] && table[b] != 0x7F) all.append(char(b));
        EXPECT_EQ(WideToBytes(BytesToWide(all, enc), enc), all);
    }
    EXPECT_TRUE(UnconvertedListIsEmpty());
}

TEST(XmlEncoding, UnconvertibleCharactersAreListedOnce)
{
    ListReset reset;
    const QString text = QString::fromUtf8("caf\u00e9 \u00e9 \u00f1\u0164");
    EXPECT_EQ(WideToBytes(text, US_ASCII), QByteArray("caf_ _ __"));
    EXPECT_EQ(UnconvertedList(), QStringLiteral("(0x00E9), (0x00F1), (0x0164)"));
    EXPECT_TRUE(IsListed(0xE9));
    EXPECT_FALSE(IsListed(0x41));
    // Controls below 0x7F are their own bytes; 0x7F never is.
    ClearUnconvertedList();
    EXPECT_EQ(CharToByte(0x01, i8859_1), 0x01);
    EXPECT_EQ(CharToByte(0x7F, US_ASCII), '_');
    EXPECT_EQ(UnconvertedList(), QStringLiteral("(0x007F)"));
    EXPECT_EQ(UnconvertedMessage(US_ASCII),
              QStringLiteral("The file contains the following characters that are illegal in the US-ASCII encoding "
                             "scheme: \r\n\r\n[(0x007F)]\r\n\r\nThey have been replaced with the default underscore "
                             "placeholder char '_' (0x005F)!"));
}

TEST(XmlEncoding, SaveAndRestoreTheListAroundNestedWork)
{
    ListReset reset;
    ListUnconverted(0xE9);
    {
        TUnconvertedListGuard guard;
        EXPECT_TRUE(UnconvertedListIsEmpty());
        ListUnconverted(0x41);
        ClearUnconvertedList();
    }
    EXPECT_EQ(UnconvertedList(), QStringLiteral("(0x00E9)"));
    TUnconvertedListState saved = SaveUnconvertedList();
    ClearUnconvertedList();
    ListUnconverted(0x20AC);
    RestoreUnconvertedList(saved);
    EXPECT_EQ(UnconvertedList(), QStringLiteral("(0x00E9)"));
    try {
        TUnconvertedListGuard guard;
        ListUnconverted(0x1);
        throw 1;
    } catch (int) { }
    EXPECT_EQ(UnconvertedList(), QStringLiteral("(0x00E9)"));
}

TEST(XmlEncoding, Utf8)
{
    EXPECT_EQ(EncodeUTF8(0x41), QByteArray("A"));
    EXPECT_EQ(EncodeUTF8(0x7F), QByteArray("\x7F"));
    EXPECT_EQ(EncodeUTF8(0x80), QByteArray("\xC2\x80"));
    EXPECT_EQ(EncodeUTF8(0xE9), QByteArray("\xC3\xA9"));
    EXPECT_EQ(EncodeUTF8(0x7FF), QByteArray("\xDF\xBF"));
    EXPECT_EQ(EncodeUTF8(0x800), QByteArray("\xE0\xA0\x80"));
    EXPECT_EQ(EncodeUTF8(0x20AC), QByteArray("\xE2\x82\xAC"));
    EXPECT_EQ(EncodeUTF8(0xFFFF), QByteArray("\xEF\xBF\xBF"));
    for (uint32_t c = 1; c <= 0xFFFF; ++c) {
        const QByteArray b = EncodeUTF8(char16_t(c));
        ASSERT_EQ(UTF8SequenceLength(uint8_t(b[0])), b.size());
        ASSERT_EQ(DecodeUTF8(bytesOf(b), int(b.size())), char16_t(c));
    }
    // No check of continuation bytes; other lead bytes are their own code.
    const uint8_t loose[] = {0xC3, 0x29};
    EXPECT_EQ(DecodeUTF8(loose, 2), char16_t(((0xC3 & 0x1F) << 6) + (0x29 & 0x3F)));
    const uint8_t lone[] = {0x80};
    EXPECT_EQ(DecodeUTF8(lone, 1), 0x80);
    const uint8_t four[] = {0xF0};
    EXPECT_EQ(DecodeUTF8(four, 1), 0xF0);

    const QString text = QString::fromUtf8("A\u00e9\u20ac\xF0\x9F\x98\x80z");
    EXPECT_EQ(BytesToWide(WideToBytes(text, UTF_8), UTF_8), text);
}

TEST(XmlEncoding, Utf8BeyondTheSixteenBitCharacters)
{
    // A surrogate pair is its character's four bytes both ways, as every
    // other program writes and reads it.
    const QString grin = QString::fromUtf8("\xF0\x9F\x98\x80");
    ASSERT_EQ(grin.size(), 2);
    EXPECT_EQ(EncodeUTF8(0x1F600), QByteArray("\xF0\x9F\x98\x80"));
    EXPECT_EQ(EncodeUTF8(0x10000), QByteArray("\xF0\x90\x80\x80"));
    EXPECT_EQ(EncodeUTF8(0x10FFFF), QByteArray("\xF4\x8F\xBF\xBF"));
    const QByteArray four("\xF0\x9F\x98\x80");
    EXPECT_EQ(UTF8SequenceLength(uint8_t(four[0])), 4);
    EXPECT_EQ(DecodeUTF8(bytesOf(four), 4), char32_t(0x1F600));
    const QString mixed = QStringLiteral("demo") + grin + QString::fromUtf8("\u0928\u092e\xF0\x9D\x84\x9E\u05e9");
    const QByteArray bytes = WideToBytes(mixed, UTF_8);
    EXPECT_EQ(bytes, mixed.toUtf8());
    EXPECT_EQ(BytesToWide(bytes, UTF_8), mixed);
    // Written a piece at a time, a pair split between two pieces still
    // gives the bytes of its halves (nothing is lost).
    QByteArray pieces;
    AppendWideToBytes(pieces, QStringView(grin).left(1), UTF_8);
    AppendWideToBytes(pieces, QStringView(grin).mid(1), UTF_8);
    EXPECT_EQ(BytesToWide(pieces, UTF_8), grin);

    // Older files hold each half as three bytes: they read as the pair.
    EXPECT_EQ(BytesToWide(QByteArray("\xED\xA0\xBD\xED\xB8\x80"), UTF_8), grin);
    // A half met alone keeps its three bytes.
    EXPECT_EQ(WideToBytes(QString(QChar(0xD83D)) + QLatin1Char('x'), UTF_8), QByteArray("\xED\xA0\xBDx"));
    EXPECT_EQ(WideToBytes(QString(QChar(0xDE00)), UTF_8), QByteArray("\xED\xB8\x80"));

    // Four bytes that are no such character: the lead stands for itself and
    // what follows is read as it is; markup after it is never swallowed.
    EXPECT_EQ(BytesToWide(QByteArray("\xF0<a>"), UTF_8), QString(QChar(0xF0)) + QStringLiteral("<a>"));
    EXPECT_EQ(BytesToWide(QByteArray("\xF4\x90\x80\x80"), UTF_8).at(0), QChar(0xF4)); // past 0x10FFFF
    EXPECT_EQ(BytesToWide(QByteArray("\xF0\x8F\xBF\xBF"), UTF_8).at(0), QChar(0xF0)); // overlong
    const uint8_t cut[] = {0xF0, 0x9F, 0x98};
    EXPECT_EQ(DecodeUTF8(cut, 3), char32_t(0xF0));
}

TEST(XmlEncoding, Utf16)
{
    const QString text = QString::fromUtf8("A\u00e9\u20ac");
    EXPECT_EQ(WideToBytes(text, UTF_16, true), QByteArray("\0A\0\xE9\x20\xAC", 6));
    EXPECT_EQ(WideToBytes(text, UTF_16, false), QByteArray("A\0\xE9\0\xAC\x20", 6));
    EXPECT_EQ(BytesToWide(QByteArray("\0A\0\xE9\x20\xAC", 6), UTF_16, true), text);
    EXPECT_EQ(BytesToWide(QByteArray("A\0\xE9\0\xAC\x20", 6), UTF_16, false), text);
    EXPECT_EQ(MakeWord(0x20, 0xAC), 0x20AC);
}

TEST(XmlEncoding, DecodeBytesKeepsIncompleteSequences)
{
    const QByteArray bytes("a\xC3\xA9\xE2\x82", 5);
    char16_t out[8] = {};
    qsizetype used = 0;
    qsizetype n = DecodeBytes(UTF_8, false, bytesOf(bytes), bytes.size(), out, &used, false);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(used, 3);
    EXPECT_EQ(out[1], 0xE9);
    n = DecodeBytes(UTF_8, false, bytesOf(bytes), bytes.size(), out, &used, true);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(used, 5);
    EXPECT_EQ(out[2], char16_t((0x2 << 12) + (0x02 << 6))); // missing byte read as 0

    // A four-byte character waits for its last bytes, then gives its pair.
    const QByteArray grin("x\xF0\x9F\x98\x80", 5);
    n = DecodeBytes(UTF_8, false, bytesOf(grin), 4, out, &used, false);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(used, 1);
    n = DecodeBytes(UTF_8, false, bytesOf(grin), grin.size(), out, &used, false);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(used, 5);
    EXPECT_EQ(out[1], 0xD83D);
    EXPECT_EQ(out[2], 0xDE00);
    // At the end, cut short, its lead is a character by itself.
    n = DecodeBytes(UTF_8, false, bytesOf(grin), 4, out, &used, true);
    EXPECT_EQ(used, 4);
    EXPECT_EQ(out[1], 0xF0);

    const QByteArray odd("\0A\0", 3);
    n = DecodeBytes(UTF_16, true, bytesOf(odd), odd.size(), out, &used, false);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(used, 2);
    n = DecodeBytes(UTF_16, true, bytesOf(odd), odd.size(), out, &used, true);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(out[1], 0);

    ClearUnconvertedList();
    const QByteArray latin("\xE9\x85", 2);
    n = DecodeBytes(i8859_1, false, bytesOf(latin), latin.size(), out, &used, true);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(out[0], 0xE9);
    EXPECT_EQ(out[1], u'_');
    EXPECT_TRUE(IsListed(0x2026));
    ClearUnconvertedList();
}

TEST(XmlWideStrings, Routines)
{
    EXPECT_EQ(WideLength(u"abc"), 3);
    EXPECT_EQ(WideLength(QStringView(u"ab\0cd", 5)), 2);
    EXPECT_EQ(WideCopy(QStringView(u"ab\0cd", 5)), QStringLiteral("ab"));
    EXPECT_EQ(WideCompare(u"abc", u"abc"), 0);
    EXPECT_EQ(WideCompare(u"abc", u"abC"), 1);
    EXPECT_EQ(WideCompare(u"abc", u"abcd"), 1);
    EXPECT_EQ(WideCompareText(u"DocType", u"DOCTYPE"), 0);
    EXPECT_EQ(WideCompareText(u"doctype", u"DOCTYPE"), 0);
    EXPECT_EQ(WideCompareText(u"\u00e9", u"\u00c9"), 1); // no folding beyond ASCII
    EXPECT_EQ(WideCompareText(u"\u0101", u"\u0100"), 1);
    EXPECT_EQ(WideCompareText(u"ab", u"abc"), 1);
    EXPECT_EQ(WideTrim(u" \t\r\n a b \n"), QStringLiteral("a b"));
    EXPECT_EQ(WideTrim(u" \t\r\n"), QString());
    EXPECT_EQ(WideTrim(u"\u00a0x\u00a0"), QString::fromUtf8("\u00a0x\u00a0")); // not Unicode white space
    EXPECT_EQ(WideTrim(u"\fx"), QStringLiteral("\fx"));
    EXPECT_TRUE(WideIsBlank(u" \r\n\t"));
    EXPECT_FALSE(WideIsBlank(u" x "));
    EXPECT_EQ(WideCharOf(0x41), QChar(u'A'));
}
