#pragma once
// Whole-stream codecs of the service: zlib (RFC 1950 format, level 9, one
// call) for request and answer bodies, and Base64 with 76-character lines for
// pictures carried as element text. No state is kept between calls.

#include "platform/core/Exception.h"

#include <QByteArray>
#include <QIODevice>

class EZCompressionError : public Exception {
public:
    using Exception::Exception;
};

// Data that is not a complete zlib stream, or that inflates past the cap.
class EZDecompressionError : public Exception {
public:
    using Exception::Exception;
};

// Default cap of the inflated size: answers of the service never come near it.
inline constexpr qint64 kDefaultInflateLimit = qint64(256) * 1024 * 1024;

// Compresses all of input, from its start, and writes the result at output's
// current position; output is rewound afterwards.
void CompressStream(QIODevice& input, QIODevice& output);

// Inflates all of input, from its start, and writes the result at output's
// current position; output is rewound afterwards. An empty input writes
// nothing. Bad data, or more than maxOutput inflated bytes, raise
// EZDecompressionError and write nothing.
void DecompressStream(QIODevice& input, QIODevice& output, qint64 maxOutput = kDefaultInflateLimit);

// Base64 of input from its current position to its end: lines of 76
// characters separated by CR LF (see MimeEncode).
void MimeEncodeStream(QIODevice& input, QIODevice& output);
// Decodes Base64 text from input's current position to its end; characters
// outside the alphabet (line breaks, blanks, "=") are skipped.
void MimeDecodeStream(QIODevice& input, QIODevice& output);

// The same on byte arrays.
QByteArray ZCompress(const QByteArray& data);
QByteArray ZDecompress(const QByteArray& data, qint64 maxOutput = kDefaultInflateLimit);
// Blocks of 10944 input bytes give 192 lines each ended by CR LF; the last,
// shorter block gives its lines separated by CR LF with none after the last.
QByteArray MimeEncode(const QByteArray& data);
QByteArray MimeDecode(const QByteArray& text);
