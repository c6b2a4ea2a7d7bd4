#include "protocol/xml/TInputBuffer.h"
#include "protocol/xml/XMLEncoding_p.h"

#include <QBuffer>
#include <QIODevice>

void TInputBuffer::Reset(const QByteArray& bytes)
{
    m_bytes = bytes;
    // Raw bytes of the caller's may go before what is read from them.
    if (!m_bytes.data_ptr().isMutable() && !m_bytes.isEmpty()) m_bytes.detach();
    m_data = reinterpret_cast<const uint8_t*>(m_bytes.constData());
    m_end = m_bytes.size();
    m_pos = 0;
    m_lowHalf = 0;
    m_h = 0;
    for (auto& h : m_hist) h = 0;
    IsUTF16 = false;
    BigEndian = false;
    HasByteOrderMark = false;
    Encoding = US_ASCII;
    if (m_end >= 2 && m_data[0] == 0xFF && m_data[1] == 0xFE) {
        IsUTF16 = true;
        BigEndian = false;
        Encoding = UTF_16;
        HasByteOrderMark = true;
        m_pos = 2;
    } else if (m_end >= 2 && m_data[0] == 0xFE && m_data[1] == 0xFF) {
        IsUTF16 = true;
        BigEndian = true;
        Encoding = UTF_16;
        HasByteOrderMark = true;
        m_pos = 2;
    } else if (m_end >= 3 && m_data[0] == 0xEF && m_data[1] == 0xBB && m_data[2] == 0xBF) {
        Encoding = UTF_8;
        HasByteOrderMark = true;
        m_pos = 3;
    }
}

void TInputBuffer::SetStream(QIODevice* stream)
{
    Stream = stream;
    QByteArray bytes;
    if (stream) {
        if (auto* buffer = qobject_cast<QBuffer*>(stream)) {
            bytes = buffer->data();
        } else {
            if (!stream->isSequential()) stream->seek(0);
            bytes = stream->readAll();
        }
    }
    Reset(bytes);
}

void TInputBuffer::SetBytes(const QByteArray& bytes)
{
    Stream = nullptr;
    Reset(bytes);
}

uint8_t TInputBuffer::NextByte()
{
    if (m_pos >= m_end) return 0;
    return m_data[m_pos++];
}

char16_t TInputBuffer::DecodeSlow(uint8_t b)
{
    if (Encoding == UTF_8) {
        if (b < 0x80) {
            ++m_pos;
            return b;
        }
        if ((b & 0xE0) == 0xC0) {
            const uint8_t b2 = ByteAt(m_pos + 1);
            m_pos = qMin(m_pos + 2, m_end);
            return char16_t(((b & 0x1F) << 6) + (b2 & 0x3F));
        }
        if ((b & 0xF0) == 0xE0) {
            const uint8_t b2 = ByteAt(m_pos + 1);
            const uint8_t b3 = ByteAt(m_pos + 2);
            m_pos = qMin(m_pos + 3, m_end);
            return char16_t(((b & 0x0F) << 12) + ((b2 & 0x3F) << 6) + (b3 & 0x3F));
        }
        if ((b & 0xF8) == 0xF0) {
            // A character above 0xFFFF: its high half now, the low half at
            // the next read, which then moves past the four bytes.
            if (const char32_t c = FourByteCharAt(m_pos)) {
                if (m_lowHalf) {
                    m_lowHalf = 0;
                    m_pos += 4;
                    return LowSurrogateOf(c);
                }
                m_lowHalf = kLowHalf;
                return HighSurrogateOf(c);
            }
        }
        ++m_pos;
        return b;
    }
    ++m_pos;
    if (b == 0) return 0;
    return XmlByteToChar(b, Encoding);
}

char32_t TInputBuffer::FourByteCharAt(qsizetype pos) const
{
    if (m_end - pos < 4) return 0;
    return Utf8FourByteChar(m_data[pos], m_data[pos + 1], m_data[pos + 2], m_data[pos + 3]);
}

void TInputBuffer::StepBack()
{
    const qsizetype h = m_hist[(--m_h) & 7];
    m_pos = h & ~kLowHalf;
    m_lowHalf = h & kLowHalf;
}

QString TInputBuffer::ReadChars(int n)
{
    QString s;
    s.reserve(n);
    for (int i = 0; i < n; ++i) s.append(QChar(NextChar()));
    return s;
}

void TInputBuffer::StepBackChars(int n)
{
    for (int i = 0; i < n; ++i) StepBack();
}

void TInputBuffer::SetEncoding(TEncoding encoding)
{
    // Text read one byte per character so far cannot turn into UTF-16.
    if (HasByteOrderMark || IsUTF16 || encoding == UTF_16 || encoding == n_sup) return;
    Encoding = encoding;
}

void TInputBuffer::ForceEncoding(TEncoding encoding, bool bigEndian)
{
    Encoding = encoding;
    IsUTF16 = encoding == UTF_16;
    BigEndian = bigEndian;
}
