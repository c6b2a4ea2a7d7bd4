#include "protocol/StreamCodecs.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QByteArray RandomBytes(qsizetype n, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i) b[i] = char(rng.bounded(256));
    return b;
}

// Runs a stream codec over byte arrays, with the output already holding
// `prefix` and positioned after it. The zlib codecs rewind their output; the
// Base64 ones leave it after what they wrote.
template <typename Codec>
QByteArray RunStream(Codec codec, QByteArray input, const QByteArray& prefix = {}, qint64 inputPos = 0,
                     bool rewinds = true)
{
    QBuffer in(&input);
    in.open(QIODevice::ReadOnly);
    in.seek(inputPos);
    QByteArray outBytes = prefix;
    QBuffer out(&outBytes);
    out.open(QIODevice::ReadWrite);
    out.seek(prefix.size());
    codec(in, out);
    EXPECT_EQ(out.pos(), rewinds ? 0 : outBytes.size());
    return outBytes;
}

QByteArray Unbroken(QByteArray b) { return b.replace("\r\n", ""); }

} // namespace

TEST(Zlib, RoundTrips)
{
    const QList<QByteArray> samples = {QByteArray(), QByteArray("x"), RandomBytes(256, 1), RandomBytes(100000, 2),
                                       QByteArray(3 * 1024 * 1024, 'a') + RandomBytes(70000, 3)};
    for (const QByteArray& s : samples) {
        const QByteArray packed = ZCompress(s);
        ASSERT_GE(packed.size(), 2);
        EXPECT_EQ(quint8(packed[0]), 0x78) << "zlib header";
        EXPECT_EQ(quint8(packed[1]), 0xDA) << "level 9";
        EXPECT_EQ(ZDecompress(packed), s);
    }
    EXPECT_EQ(ZCompress(QByteArray()).size(), 8) << "an empty body is still a complete zlib stream";
}

TEST(Zlib, StreamsStartFromTheInputStartAndRewindTheOutput)
{
    const QByteArray body("<vxp><prop.get/></vxp>");
    // The input is positioned at its end: compression still reads all of it.
    const QByteArray packed = RunStream(CompressStream, body, QByteArray(), body.size());
    EXPECT_EQ(ZDecompress(packed), body);

    const QByteArray out =
        RunStream([](QIODevice& i, QIODevice& o) { DecompressStream(i, o); }, packed, QByteArray("KEEP"), 3);
    EXPECT_EQ(out, QByteArray("KEEP") + body) << "written at the output's position";
}

TEST(Zlib, EmptyInputInflatesToNothing)
{
    const QByteArray out =
        RunStream([](QIODevice& i, QIODevice& o) { DecompressStream(i, o); }, QByteArray(), QByteArray("pre"));
    EXPECT_EQ(out, QByteArray("pre"));
}

TEST(Zlib, BadDataRaisesAndWritesNothing)
{
    QByteArray outBytes("pre");
    for (const QByteArray& bad : {QByteArray("hello"), ZCompress(RandomBytes(5000, 4)).left(100),
                                  QByteArray("\x78\xDA", 2), QByteArray("\x78\x9C\xFF\xFF\xFF\xFF", 6)}) {
        QByteArray input = bad;
        QBuffer in(&input);
        in.open(QIODevice::ReadOnly);
        QBuffer out(&outBytes);
        out.open(QIODevice::ReadWrite);
        out.seek(3);
        EXPECT_THROW(DecompressStream(in, out), EZDecompressionError) << bad.toHex().toStdString();
        EXPECT_EQ(outBytes, QByteArray("pre"));
    }
}

TEST(Zlib, InflatedSizeIsCapped)
{
    const QByteArray big(1 << 20, '\0');
    const QByteArray packed = ZCompress(big);
    EXPECT_LT(packed.size(), 2000);
    EXPECT_EQ(ZDecompress(packed, big.size()).size(), big.size()) << "exactly at the cap is allowed";
    try {
        ZDecompress(packed, big.size() - 1);
        FAIL() << "no exception past the cap";
    } catch (const EZDecompressionError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("1048575"))) << e.Message().toStdString();
    }
    EXPECT_THROW(ZDecompress(ZCompress("ab"), 0), EZDecompressionError);
    EXPECT_TRUE(ZDecompress(ZCompress(QByteArray()), 0).isEmpty());

    // A large expansion from a tiny body inflates in few steps and fully.
    const QByteArray huge(40 * 1024 * 1024, 'q');
    const QByteArray bomb = ZCompress(huge);
    EXPECT_EQ(ZDecompress(bomb), huge);
    EXPECT_THROW(ZDecompress(bomb, 16 * 1024 * 1024), EZDecompressionError);
}

TEST(Base64, LineRules)
{
    EXPECT_EQ(MimeEncode(QByteArray("abc")), QByteArray("YWJj"));
    EXPECT_EQ(MimeEncode(QByteArray()), QByteArray());
    EXPECT_EQ(MimeEncode(QByteArray("a")), QByteArray("YQ=="));
    EXPECT_EQ(MimeEncode(QByteArray("ab")), QByteArray("YWI="));

    const QByteArray b57 = RandomBytes(57, 5);
    const QByteArray e57 = MimeEncode(b57);
    EXPECT_EQ(e57.size(), 76);
    EXPECT_FALSE(e57.contains('\r'));
    EXPECT_EQ(e57, b57.toBase64());

    const QByteArray b58 = RandomBytes(58, 6);
    const QByteArray e58 = MimeEncode(b58);
    EXPECT_EQ(e58.size(), 76 + 2 + 4);
    EXPECT_EQ(e58.mid(76, 2), QByteArray("\r\n"));
    EXPECT_TRUE(e58.endsWith("=="));
    EXPECT_EQ(Unbroken(e58), b58.toBase64());

    const QByteArray b59 = RandomBytes(59, 7);
    EXPECT_TRUE(MimeEncode(b59).endsWith("=") && !MimeEncode(b59).endsWith("=="));
}

TEST(Base64, WholeBlocksEndWithALineBreak)
{
    const QByteArray block = RandomBytes(10944, 8);
    const QByteArray e = MimeEncode(block);
    EXPECT_EQ(e.size(), 14976);
    EXPECT_TRUE(e.endsWith("\r\n"));
    const QList<QByteArray> lines = e.split('\n');
    ASSERT_EQ(lines.size(), 193);
    for (int i = 0; i < 192; ++i) ASSERT_EQ(lines[i].size(), 77) << "76 characters and CR, line " << i;
    EXPECT_TRUE(lines.last().isEmpty());
    EXPECT_EQ(Unbroken(e), block.toBase64());

    const QByteArray more = block + QByteArray("z");
    const QByteArray e2 = MimeEncode(more);
    EXPECT_EQ(e2.size(), 14976 + 4);
    EXPECT_TRUE(e2.endsWith("eg=="));

    const QByteArray two = RandomBytes(2 * 10944, 9);
    EXPECT_TRUE(MimeEncode(two).endsWith("\r\n"));
    EXPECT_EQ(MimeEncode(two).size(), 2 * 14976);

    const QByteArray mid = RandomBytes(10944 + 57 * 3, 10);
    const QByteArray e3 = MimeEncode(mid);
    EXPECT_FALSE(e3.endsWith("\r\n")) << "the last block's final line has no break";
    EXPECT_EQ(e3.size(), 14976 + 3 * 76 + 2 * 2);
}

TEST(Base64, EncodingStartsAtTheCurrentPosition)
{
    const QByteArray out = RunStream(MimeEncodeStream, QByteArray("skipABC"), QByteArray(), 4, false);
    EXPECT_EQ(out, QByteArray("QUJD"));
}

TEST(Base64, DecodingSkipsWhatIsNotInTheAlphabet)
{
    EXPECT_EQ(MimeDecode("QUJD"), QByteArray("ABC"));
    EXPECT_EQ(MimeDecode("QU\r\nJD"), QByteArray("ABC")) << "split over lines";
    EXPECT_EQ(MimeDecode(" Q U J D \t"), QByteArray("ABC"));
    EXPECT_EQ(MimeDecode("QQ"), QByteArray("A")) << "two characters without pad";
    EXPECT_EQ(MimeDecode("QUI"), QByteArray("AB"));
    EXPECT_EQ(MimeDecode("QUJDR"), QByteArray("ABC")) << "a lone trailing character is dropped";
    EXPECT_EQ(MimeDecode("QQ=="), QByteArray("A"));
    EXPECT_EQ(MimeDecode("QQ==QUJD"), QByteArray("\x41\x04\x14\x24", 4))
        << "a pad in the middle is skipped like any other outsider";
    EXPECT_EQ(MimeDecode("*\xFF\x80!"), QByteArray());
    EXPECT_EQ(MimeDecode(QByteArray()), QByteArray());
}

TEST(Base64, RoundTripsAcrossBlocks)
{
    for (qsizetype n :
         {qsizetype(0), qsizetype(1), qsizetype(56), qsizetype(10943), qsizetype(10945), qsizetype(200000)}) {
        const QByteArray data = RandomBytes(n, quint32(n + 11));
        const QByteArray text = MimeEncode(data);
        EXPECT_EQ(MimeDecode(text), data) << n;
        const QByteArray viaStream = RunStream(MimeDecodeStream, text, QByteArray("p"), 0, false);
        EXPECT_EQ(viaStream, QByteArray("p") + data);
    }
}
