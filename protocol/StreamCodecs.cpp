#include "protocol/StreamCodecs.h"

#include "platform/core/Format.h"
#include "protocol/ProtocolTables_p.h"

#include <QBuffer>
#include <algorithm>
#include <climits>
#include <zlib.h>

namespace {

constexpr qsizetype kGroupBytes = 57; // input bytes per line
constexpr qsizetype kLineChars = 76;  // characters per line
constexpr qsizetype kBlockLines = 192;
constexpr qsizetype kBlockBytes = kGroupBytes * kBlockLines;      // 10944
constexpr qsizetype kBlockChars = (kLineChars + 2) * kBlockLines; // 14976

void RequireReadable(QIODevice& device)
{
    if (!device.isReadable()) throw EStreamError(QStringLiteral("Stream read error"));
}

void WriteAll(QIODevice& output, const char* data, qint64 size)
{
    while (size > 0) {
        const qint64 written = output.write(data, size);
        if (written <= 0) throw EStreamError(QStringLiteral("Stream write error"));
        data += written;
        size -= written;
    }
}

QByteArray ReadWhole(QIODevice& input)
{
    RequireReadable(input);
    if (!input.isSequential()) input.seek(0);
    return input.readAll();
}

void Rewind(QIODevice& device)
{
    if (!device.isSequential()) device.seek(0);
}

// Reads until the buffer is full or the input ends.
qsizetype ReadFull(QIODevice& input, char* buffer, qsizetype size)
{
    qsizetype got = 0;
    while (got < size) {
        const qint64 n = input.read(buffer + got, size - got);
        if (n <= 0) break;
        got += static_cast<qsizetype>(n);
    }
    return got;
}

// Runs a stream codec over a byte array.
QByteArray ThroughStreams(QByteArray data, void (*codec)(QIODevice& input, QIODevice& output))
{
    QBuffer in(&data);
    in.open(QIODevice::ReadOnly);
    QByteArray result;
    QBuffer out(&result);
    out.open(QIODevice::WriteOnly);
    codec(in, out);
    return result;
}

// Encodes n bytes (n > 0) as lines of 76 characters; with `finalBreak` every
// line ends with CR LF, otherwise CR LF only separates them. Returns the
// number of characters written to out.
qsizetype EncodeLines(const unsigned char* in, qsizetype n, char* out, bool finalBreak)
{
    using protocol_tables::kBase64Alphabet;
    char* p = out;
    qsizetype done = 0;
    while (done < n) {
        const qsizetype lineBytes = std::min(kGroupBytes, n - done);
        const unsigned char* s = in + done;
        qsizetype i = 0;
        for (; i + 3 <= lineBytes; i += 3) {
            const unsigned v = (unsigned(s[i]) << 16) | (unsigned(s[i + 1]) << 8) | s[i + 2];
            *p++ = kBase64Alphabet[(v >> 18) & 63];
            *p++ = kBase64Alphabet[(v >> 12) & 63];
            *p++ = kBase64Alphabet[(v >> 6) & 63];
            *p++ = kBase64Alphabet[v & 63];
        }
        if (lineBytes - i == 1) {
            const unsigned v = unsigned(s[i]) << 16;
            *p++ = kBase64Alphabet[(v >> 18) & 63];
            *p++ = kBase64Alphabet[(v >> 12) & 63];
            *p++ = '=';
            *p++ = '=';
        } else if (lineBytes - i == 2) {
            const unsigned v = (unsigned(s[i]) << 16) | (unsigned(s[i + 1]) << 8);
            *p++ = kBase64Alphabet[(v >> 18) & 63];
            *p++ = kBase64Alphabet[(v >> 12) & 63];
            *p++ = kBase64Alphabet[(v >> 6) & 63];
            *p++ = '=';
        }
        done += lineBytes;
        if (finalBreak || done < n) {
            *p++ = '\r';
            *p++ = '\n';
        }
    }
    return p - out;
}

// Ends the inflate stream on every path.
struct InflateGuard {
    z_stream* stream;
    ~InflateGuard() { inflateEnd(stream); }
};

} // namespace

QByteArray ZCompress(const QByteArray& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    QByteArray out;
    out.resize(static_cast<qsizetype>(size));
    const int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                             reinterpret_cast<const Bytef*>(data.constData()), static_cast<uLong>(data.size()), 9);
    if (rc != Z_OK) throw EZCompressionError(QString::fromLatin1(zError(rc)));
    out.resize(static_cast<qsizetype>(size));
    return out;
}

QByteArray ZDecompress(const QByteArray& data, qint64 maxOutput)
{
    if (data.isEmpty()) return {};
    maxOutput = std::max<qint64>(maxOutput, 0);

    z_stream s{};
    if (inflateInit(&s) != Z_OK) throw EZDecompressionError(QStringLiteral("zlib initialisation failed"));
    InflateGuard guard{&s};

    // The buffer starts at the input size and doubles; it never grows past
    // one byte more than the cap, which is how an oversized answer shows.
    const qint64 ceiling = maxOutput + 1;
    QByteArray out;
    out.resize(static_cast<qsizetype>(std::min<qint64>(((data.size() + 255) / 256) * 256, ceiling)));
    const char* in = data.constData();
    qint64 inLeft = data.size();
    qint64 produced = 0;

    for (;;) {
        if (produced == out.size()) {
            if (out.size() >= ceiling) break;
            out.resize(static_cast<qsizetype>(std::min<qint64>(qint64(out.size()) * 2, ceiling)));
        }
        if (s.avail_in == 0 && inLeft > 0) {
            const auto chunk = static_cast<uInt>(std::min<qint64>(inLeft, UINT_MAX));
            s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
            s.avail_in = chunk;
            in += chunk;
            inLeft -= chunk;
        }
        const auto room = static_cast<uInt>(std::min<qint64>(out.size() - produced, UINT_MAX));
        s.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        s.avail_out = room;
        const int rc = inflate(&s, Z_NO_FLUSH);
        produced += room - s.avail_out;
        if (rc == Z_STREAM_END) break;
        if (rc == Z_OK) continue;
        if (rc == Z_BUF_ERROR && (s.avail_out == 0 || (s.avail_in == 0 && inLeft > 0))) continue;
        if (rc == Z_BUF_ERROR) throw EZDecompressionError(QStringLiteral("unexpected end of compressed data"));
        throw EZDecompressionError(QString::fromLatin1(s.msg ? s.msg : zError(rc)));
    }
    if (produced > maxOutput)
        throw EZDecompressionError(Format(QStringLiteral("decompressed data exceeds %d bytes"), {maxOutput}));
    out.resize(static_cast<qsizetype>(produced));
    return out;
}

void CompressStream(QIODevice& input, QIODevice& output)
{
    const QByteArray packed = ZCompress(ReadWhole(input));
    WriteAll(output, packed.constData(), packed.size());
    Rewind(output);
}

void DecompressStream(QIODevice& input, QIODevice& output, qint64 maxOutput)
{
    QByteArray plain = ZDecompress(ReadWhole(input), maxOutput);
    // An empty memory stream takes the inflated bytes over instead of a copy
    // of them: a large answer is held once.
    if (auto* buffer = qobject_cast<QBuffer*>(&output); buffer && buffer->size() == 0) {
        const QIODevice::OpenMode mode = buffer->openMode();
        buffer->close();
        buffer->setData(std::move(plain));
        if (!buffer->open(mode == QIODevice::NotOpen ? QIODevice::ReadWrite : mode))
            throw EStreamError(QStringLiteral("Stream write error"));
        buffer->seek(0);
        return;
    }
    WriteAll(output, plain.constData(), plain.size());
    Rewind(output);
}

void MimeEncodeStream(QIODevice& input, QIODevice& output)
{
    RequireReadable(input);
    QByteArray inBuf(kBlockBytes, Qt::Uninitialized);
    QByteArray outBuf(kBlockChars, Qt::Uninitialized);
    auto* in = reinterpret_cast<const unsigned char*>(inBuf.constData());
    for (;;) {
        const qsizetype n = ReadFull(input, inBuf.data(), kBlockBytes);
        if (n == 0) break;
        const bool full = n == kBlockBytes;
        const qsizetype chars = EncodeLines(in, n, outBuf.data(), full);
        WriteAll(output, outBuf.constData(), chars);
        if (!full) break;
    }
}

void MimeDecodeStream(QIODevice& input, QIODevice& output)
{
    using protocol_tables::kBase64Value;
    RequireReadable(input);
    QByteArray inBuf(kBlockBytes, Qt::Uninitialized);
    QByteArray outBuf(kBlockBytes, Qt::Uninitialized);
    unsigned accumulator = 0;
    int pending = 0;
    for (;;) {
        const qsizetype n = ReadFull(input, inBuf.data(), kBlockBytes);
        if (n == 0) break;
        char* p = outBuf.data();
        for (qsizetype i = 0; i < n; ++i) {
            const unsigned v = kBase64Value[static_cast<unsigned char>(inBuf[i])];
            if (v > 63) continue;
            accumulator = (accumulator << 6) | v;
            if (++pending == 4) {
                *p++ = static_cast<char>((accumulator >> 16) & 0xFF);
                *p++ = static_cast<char>((accumulator >> 8) & 0xFF);
                *p++ = static_cast<char>(accumulator & 0xFF);
                accumulator = 0;
                pending = 0;
            }
        }
        WriteAll(output, outBuf.constData(), p - outBuf.constData());
        if (n < kBlockBytes) break;
    }
    char tail[2];
    if (pending == 3) {
        tail[0] = static_cast<char>((accumulator >> 10) & 0xFF);
        tail[1] = static_cast<char>((accumulator >> 2) & 0xFF);
        WriteAll(output, tail, 2);
    } else if (pending == 2) {
        tail[0] = static_cast<char>((accumulator >> 4) & 0xFF);
        WriteAll(output, tail, 1);
    }
}

QByteArray MimeEncode(const QByteArray& data) { return ThroughStreams(data, MimeEncodeStream); }

QByteArray MimeDecode(const QByteArray& text) { return ThroughStreams(text, MimeDecodeStream); }
