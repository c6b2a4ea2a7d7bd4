#include "grid/io/TObjectWriter.h"

#include "platform/core/LargeBuffer.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

void TObjectWriter::Grow(qsizetype count)
{
    m_bytes.resize(std::max(m_size + count, std::max<qsizetype>(2 * m_size, 256)));
    m_room = m_bytes.size();
    m_data = m_bytes.data();
    AdviseLargeBuffer(m_data, size_t(m_room));
}

void TObjectWriter::Reserve(qsizetype more)
{
    if (more > m_room - m_size) Grow(more);
}

const QByteArray& TObjectWriter::Bytes() const
{
    if (m_bytes.size() != m_size) {
        m_bytes.resize(m_size);
        m_room = m_size;
    }
    return m_bytes;
}

bool TObjectWriter::CopyAscii(char* out, QStringView s)
{
    const char16_t* u = s.utf16();
    char16_t seen = 0;
    for (qsizetype i = 0, n = s.size(); i < n; ++i) {
        seen |= u[i];
        out[i] = char(u[i]);
    }
    return seen < 0x80;
}

void TObjectWriter::ShortString(const QString& s) { ShortString(QByteArrayView(s.toLatin1())); }

void TObjectWriter::WideIntValue(qint64 value)
{
    if (value >= -32768 && value <= 32767) {
        char* p = Extend(3);
        p[0] = vaInt16;
        qToLittleEndian(qint16(value), p + 1);
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        char* p = Extend(5);
        p[0] = vaInt32;
        qToLittleEndian(qint32(value), p + 1);
    } else {
        char* p = Extend(9);
        p[0] = vaInt64;
        qToLittleEndian(value, p + 1);
    }
}

void TObjectWriter::StringValue(const QString& s)
{
    // The header first, the characters after it; a text that proves not to
    // be ASCII is written again as UTF-8.
    const qsizetype start = m_size;
    const qsizetype n = s.size();
    if (n <= 255) {
        char* p = Extend(2);
        p[0] = vaString;
        p[1] = char(n);
    } else {
        char* p = Extend(5);
        p[0] = vaLString;
        qToLittleEndian(qint32(n), p + 1);
    }
    if (CopyAscii(Extend(n), s)) return;
    m_size = start;
    const QByteArray utf8 = s.toUtf8();
    char* p = Extend(5 + utf8.size());
    p[0] = vaUTF8String;
    qToLittleEndian(qint32(utf8.size()), p + 1);
    std::memcpy(p + 5, utf8.constData(), size_t(utf8.size()));
}

void TObjectWriter::Float(QByteArrayView name, double value)
{
    ShortString(name);
    const QByteArray extended = Extended(value);
    char* p = Extend(1 + extended.size());
    p[0] = vaExtended;
    std::memcpy(p + 1, extended.constData(), size_t(extended.size()));
}

void TObjectWriter::Ident(QByteArrayView name, const QString& ident)
{
    ShortString(name);
    *Extend(1) = vaIdent;
    ShortString(ident);
}

void TObjectWriter::Set(QByteArrayView name, const QStringList& idents)
{
    ShortString(name);
    *Extend(1) = vaSet;
    for (const QString& i : idents) ShortString(i);
    *Extend(1) = 0;
}

void TObjectWriter::Binary(QByteArrayView name, const QByteArray& bytes)
{
    ShortString(name);
    char* p = Extend(5 + bytes.size());
    p[0] = vaBinary;
    qToLittleEndian(qint32(bytes.size()), p + 1);
    if (!bytes.isEmpty()) std::memcpy(p + 5, bytes.constData(), size_t(bytes.size()));
}

void TObjectWriter::StringList(QByteArrayView name, const QStringList& items)
{
    ShortString(name);
    *Extend(1) = vaList;
    for (const QString& s : items) StringValue(s);
    *Extend(1) = vaNull;
}

QByteArray TObjectWriter::Extended(double value)
{
    // Sign and 15-bit exponent over a 64-bit mantissa with an explicit
    // leading one.
    QByteArray out(10, '\0');
    quint64 mantissa = 0;
    quint16 se = 0;
    if (value != 0 && std::isfinite(value)) {
        int exp = 0;
        const double frac = std::frexp(std::fabs(value), &exp); // 0.5 <= frac < 1
        mantissa = quint64(std::ldexp(frac, 64));
        se = quint16(exp - 1 + 16383);
    } else if (!std::isfinite(value)) {
        se = 0x7FFF;
        mantissa = std::isnan(value) ? 0xC000000000000000ull : 0x8000000000000000ull;
    }
    if (std::signbit(value)) se |= 0x8000;
    qToLittleEndian(mantissa, out.data());
    qToLittleEndian(se, out.data() + 8);
    return out;
}
