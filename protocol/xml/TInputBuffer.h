#pragma once
// The input of a parse: the bytes of a stream turned into 16-bit characters in
// the current encoding, one character at a time, with a few characters of
// look-back. A UTF-8 character above 0xFFFF is read as its two surrogate
// halves, one at a time. The whole stream is held (a memory stream's bytes are shared, not
// copied), so stepping back never depends on where a read ended. Every read
// after the end of the input returns 0.

#include "protocol/xml/XMLEncoding.h"

#include <QByteArray>
#include <cstdint>

class QIODevice;

class TInputBuffer {
public:
    TInputBuffer() = default;

    // Reads the stream from its start. A byte-order mark is recognised and
    // skipped: FF FE (UTF-16, little-endian), FE FF (UTF-16, big-endian),
    // EF BB BF (UTF-8); without one the encoding is US-ASCII.
    void SetStream(QIODevice* stream);
    // The same for bytes in memory.
    void SetBytes(const QByteArray& bytes);

    uint8_t NextByte();
    inline char16_t NextChar();
    // Un-reads the character read last (up to eight in a row).
    void StepBack();
    QString ReadChars(int n);
    void StepBackChars(int n);
    // Changes how the rest of the input is decoded. Ignored when a byte-order
    // mark fixed the encoding, and from one byte per character to UTF-16:
    // switching such input could only garble it.
    void SetEncoding(TEncoding encoding);
    // Forces the encoding and byte order (a re-encoded entity value).
    void ForceEncoding(TEncoding encoding, bool bigEndian);

    TEncoding Encoding = US_ASCII;
    bool IsUTF16 = false;
    bool BigEndian = false;
    bool HasByteOrderMark = false;
    QIODevice* Stream = nullptr;

    qsizetype Size() const { return m_end; }
    qsizetype Pos() const { return m_pos; }
    bool AtEnd() const { return m_pos >= m_end; }
    // Fast scanners: raw bytes from the current position. A byte in 0x20 to
    // 0x7E (and tab, LF, CR) is its own character in every byte encoding.
    bool ByteEncoded() const { return !IsUTF16; }
    const uint8_t* Bytes() const { return m_data; }
    // The bytes read (they own their data: raw bytes were copied).
    const QByteArray& Data() const { return m_bytes; }
    // Where the character read last began (both halves of a pair begin at
    // its four bytes).
    qsizetype LastStart() const { return m_hist[(m_h - 1) & 7] & ~kLowHalf; }
    // Consumes n one-byte characters that the caller has read from Bytes().
    void SkipAscii(qsizetype n)
    {
        if (n <= 0) return;
        m_lowHalf = 0;
        m_pos += n;
        const qsizetype k = n < 8 ? n : 8;
        for (qsizetype i = k; i >= 1; --i) m_hist[(m_h++) & 7] = m_pos - i;
    }

    // Goes on reading at byte pos of a one-byte-per-character input (a
    // reader that took characters from Bytes() itself); earlier characters
    // can no longer be stepped back over.
    void Seek(qsizetype pos)
    {
        m_pos = pos;
        m_lowHalf = 0;
        for (auto& h : m_hist) h = pos;
    }

private:
    void Reset(const QByteArray& bytes);
    char16_t DecodeSlow(uint8_t b);
    // The character of the UTF-8 four-byte sequence at pos; 0 when none is.
    char32_t FourByteCharAt(qsizetype pos) const;
    inline uint8_t ByteAt(qsizetype i) const { return i < m_end ? m_data[i] : 0; }

    // The bit of a position that says the next character is the low half of
    // the pair whose bytes begin there.
    static constexpr qsizetype kLowHalf = qsizetype(1) << 62;

    QByteArray m_bytes;
    const uint8_t* m_data = nullptr;
    qsizetype m_pos = 0; // next byte to read
    qsizetype m_end = 0;
    // kLowHalf when the high half of the pair at m_pos has been read.
    qsizetype m_lowHalf = 0;
    // Where the characters read last began, each with its kLowHalf bit.
    qsizetype m_hist[8] = {};
    unsigned m_h = 0;
};

inline char16_t TInputBuffer::NextChar()
{
    m_hist[(m_h++) & 7] = m_pos | m_lowHalf;
    if (m_pos >= m_end) return 0;
    if (IsUTF16) {
        const uint8_t b1 = m_data[m_pos];
        const uint8_t b2 = ByteAt(m_pos + 1);
        m_pos += 2;
        if (m_pos > m_end) m_pos = m_end;
        return BigEndian ? char16_t((b1 << 8) | b2) : char16_t((b2 << 8) | b1);
    }
    // With a pair half read, the byte there is its lead: not plain.
    const uint8_t b = m_data[m_pos];
    if (b >= 0x20 && b < 0x7F) {
        ++m_pos;
        return b;
    }
    return DecodeSlow(b);
}
