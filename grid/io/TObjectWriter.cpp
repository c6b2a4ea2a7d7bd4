#include "grid/io/TObjectWriter.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

namespace {

void Append32(QByteArray& b, qint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

} // namespace

void TObjectWriter::ShortString(const QString& s)
{
    // Names are ASCII identifiers; longer ones are cut at 255 bytes.
    const QByteArray latin = s.toLatin1().left(255);
    m_bytes.append(char(latin.size()));
    m_bytes.append(latin);
}

void TObjectWriter::IntValue(qint64 value)
{
    if (value >= -128 && value <= 127) {
        m_bytes.append(vaInt8);
        m_bytes.append(char(qint8(value)));
    } else if (value >= -32768 && value <= 32767) {
        m_bytes.append(vaInt16);
        char raw[2];
        qToLittleEndian(qint16(value), raw);
        m_bytes.append(raw, 2);
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        m_bytes.append(vaInt32);
        Append32(m_bytes, qint32(value));
    } else {
        m_bytes.append(vaInt64);
        char raw[8];
        qToLittleEndian(value, raw);
        m_bytes.append(raw, 8);
    }
}

void TObjectWriter::StringValue(const QString& s)
{
    bool ascii = true;
    for (QChar c : s)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii) {
        const QByteArray utf8 = s.toUtf8();
        m_bytes.append(vaUTF8String);
        Append32(m_bytes, qint32(utf8.size()));
        m_bytes.append(utf8);
        return;
    }
    const QByteArray latin = s.toLatin1();
    if (latin.size() <= 255) {
        m_bytes.append(vaString);
        m_bytes.append(char(latin.size()));
    } else {
        m_bytes.append(vaLString);
        Append32(m_bytes, qint32(latin.size()));
    }
    m_bytes.append(latin);
}

void TObjectWriter::BeginRecord(const QString& className, const QString& name)
{
    m_bytes.append("TPF0", 4);
    ShortString(className);
    ShortString(name);
}

void TObjectWriter::EndRecord()
{
    m_bytes.append(char(0)); // end of properties
    m_bytes.append(char(0)); // end of children
}

void TObjectWriter::Integer(const QString& name, qint64 value)
{
    ShortString(name);
    IntValue(value);
}

void TObjectWriter::Boolean(const QString& name, bool value)
{
    ShortString(name);
    m_bytes.append(value ? vaTrue : vaFalse);
}

void TObjectWriter::String(const QString& name, const QString& value)
{
    ShortString(name);
    StringValue(value);
}

void TObjectWriter::Float(const QString& name, double value)
{
    ShortString(name);
    m_bytes.append(vaExtended);
    m_bytes.append(Extended(value));
}

void TObjectWriter::Ident(const QString& name, const QString& ident)
{
    ShortString(name);
    m_bytes.append(vaIdent);
    ShortString(ident);
}

void TObjectWriter::Set(const QString& name, const QStringList& idents)
{
    ShortString(name);
    m_bytes.append(vaSet);
    for (const QString& i : idents) ShortString(i);
    m_bytes.append(char(0));
}

void TObjectWriter::Binary(const QString& name, const QByteArray& bytes)
{
    ShortString(name);
    m_bytes.append(vaBinary);
    Append32(m_bytes, qint32(bytes.size()));
    m_bytes.append(bytes);
}

void TObjectWriter::StringList(const QString& name, const QStringList& items)
{
    ShortString(name);
    m_bytes.append(vaList);
    for (const QString& s : items) StringValue(s);
    m_bytes.append(vaNull);
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
