#include "grid/io/TObjectReader.h"

#include "grid/io/TObjectWriter.h"

#include <QtEndian>
#include <cmath>

namespace {
constexpr int kMaxDepth = 4;

[[noreturn]] void Fail(const QString& what) { throw EReadError(what); }
} // namespace

const TStreamValue* TStreamRecord::Find(QByteArrayView property) const
{
    for (const auto& [name, value] : properties)
        if (name == property) return &value;
    return nullptr;
}

qint64 TStreamRecord::Int(QByteArrayView property, qint64 defaultValue) const
{
    const TStreamValue* v = Find(property);
    if (!v) return defaultValue;
    if (v->kind != TStreamValue::Integer) Fail(QStringLiteral("Invalid property value"));
    return v->integer;
}

bool TStreamRecord::Bool(QByteArrayView property, bool defaultValue) const
{
    const TStreamValue* v = Find(property);
    if (!v) return defaultValue;
    if (v->kind != TStreamValue::Boolean) Fail(QStringLiteral("Invalid property value"));
    return v->boolean;
}

QString TStreamRecord::Str(QByteArrayView property) const
{
    const TStreamValue* v = Find(property);
    if (!v) return QString();
    if (v->kind != TStreamValue::String) Fail(QStringLiteral("Invalid property value"));
    return v->text;
}

double TStreamRecord::Float(QByteArrayView property, double defaultValue) const
{
    const TStreamValue* v = Find(property);
    if (!v) return defaultValue;
    if (v->kind == TStreamValue::Integer) return double(v->integer);
    if (v->kind != TStreamValue::Float) Fail(QStringLiteral("Invalid property value"));
    return v->number;
}

const char* TObjectReader::Take(qsizetype count)
{
    if (count < 0 || count > Remaining()) Fail(QStringLiteral("Stream read error"));
    const char* p = m_bytes.constData() + m_pos;
    m_pos += count;
    return p;
}

quint8 TObjectReader::Byte()
{
    if (m_pos >= m_bytes.size()) Fail(QStringLiteral("Stream read error"));
    return quint8(m_bytes.constData()[m_pos++]);
}

QByteArrayView TObjectReader::Name()
{
    const int n = Byte();
    return QByteArrayView(Take(n), n);
}

QString TObjectReader::ShortString()
{
    const int n = Byte();
    return QString::fromLatin1(Take(n), n);
}

QString TObjectReader::StringOf(char type)
{
    switch (type) {
    case TObjectWriter::vaString: {
        const int n = Byte();
        return QString::fromLatin1(Take(n), n);
    }
    case TObjectWriter::vaLString:
    case TObjectWriter::vaUTF8String: {
        const qint32 n = qFromLittleEndian<qint32>(Take(4));
        const char* p = Take(n);
        return type == TObjectWriter::vaUTF8String ? QString::fromUtf8(p, n) : QString::fromLatin1(p, n);
    }
    case TObjectWriter::vaWString: {
        const qint32 n = qFromLittleEndian<qint32>(Take(4));
        if (n < 0 || n > Remaining() / 2) Fail(QStringLiteral("Stream read error"));
        const char* p = Take(qsizetype(n) * 2);
        QString s(n, Qt::Uninitialized);
        for (qint32 i = 0; i < n; ++i) s[i] = QChar(qFromLittleEndian<quint16>(p + 2 * i));
        return s;
    }
    default:
        Fail(QStringLiteral("Invalid property value"));
    }
}

void TObjectReader::Value(TStreamValue& v, int depth)
{
    const char type = char(Byte());
    switch (type) {
    case TObjectWriter::vaNull:
    case TObjectWriter::vaNil:
        v.kind = TStreamValue::Null;
        break;
    case TObjectWriter::vaInt8:
        v.kind = TStreamValue::Integer;
        v.integer = qint8(Byte());
        break;
    case TObjectWriter::vaInt16:
        v.kind = TStreamValue::Integer;
        v.integer = qFromLittleEndian<qint16>(Take(2));
        break;
    case TObjectWriter::vaInt32:
        v.kind = TStreamValue::Integer;
        v.integer = qFromLittleEndian<qint32>(Take(4));
        break;
    case TObjectWriter::vaInt64:
        v.kind = TStreamValue::Integer;
        v.integer = qFromLittleEndian<qint64>(Take(8));
        break;
    case TObjectWriter::vaExtended:
        v.kind = TStreamValue::Float;
        v.number = FromExtended(Take(10));
        break;
    case TObjectWriter::vaFalse:
    case TObjectWriter::vaTrue:
        v.kind = TStreamValue::Boolean;
        v.boolean = type == TObjectWriter::vaTrue;
        break;
    case TObjectWriter::vaIdent:
        v.kind = TStreamValue::Ident;
        v.text = ShortString();
        break;
    case TObjectWriter::vaString:
    case TObjectWriter::vaLString:
    case TObjectWriter::vaUTF8String:
    case TObjectWriter::vaWString:
        v.kind = TStreamValue::String;
        v.text = StringOf(type);
        break;
    case TObjectWriter::vaSet:
        v.kind = TStreamValue::Set;
        for (QString s = ShortString(); !s.isEmpty(); s = ShortString()) v.items << s;
        break;
    case TObjectWriter::vaBinary: {
        v.kind = TStreamValue::Binary;
        const qint32 n = qFromLittleEndian<qint32>(Take(4));
        v.bytes = QByteArray(Take(n), n);
        break;
    }
    case TObjectWriter::vaList:
        if (depth >= kMaxDepth) Fail(QStringLiteral("Stream read error"));
        v.kind = TStreamValue::List;
        while (true) {
            TStreamValue item;
            Value(item, depth + 1);
            if (item.kind == TStreamValue::Null) break;
            if (item.kind != TStreamValue::String) Fail(QStringLiteral("Invalid property value"));
            v.items << item.text;
        }
        break;
    default:
        Fail(QStringLiteral("Invalid property value"));
    }
}

TStreamRecord TObjectReader::ReadRecord()
{
    TStreamRecord record;
    ReadRecord(record);
    return record;
}

void TObjectReader::ReadRecord(TStreamRecord& record)
{
    if (Remaining() < 4 || QByteArrayView(Take(4), 4) != "TPF0") Fail(QStringLiteral("Invalid stream format"));
    // Filer flags may precede the class name.
    if (Remaining() < 1) Fail(QStringLiteral("Stream read error"));
    const quint8 first = quint8(m_bytes.at(m_pos));
    if ((first & 0xF0) == 0xF0) {
        Byte();
        if (first & 0x02) {
            TStreamValue position;
            Value(position, kMaxDepth); // child position
        }
    }
    record.properties.clear();
    record.className = Name();
    record.name = Name();
    for (QByteArrayView name = Name(); !name.isEmpty(); name = Name()) {
        record.properties.emplace_back();
        record.properties.back().first = name;
        Value(record.properties.back().second, 0);
    }
    if (Byte() != 0) Fail(QStringLiteral("Invalid stream format")); // no children
}

double TObjectReader::FromExtended(const char* tenBytes)
{
    const quint64 mantissa = qFromLittleEndian<quint64>(tenBytes);
    const quint16 se = qFromLittleEndian<quint16>(tenBytes + 8);
    const bool negative = se & 0x8000;
    const int exp = se & 0x7FFF;
    double v;
    if (exp == 0x7FFF) v = (mantissa << 1) ? std::nan("") : HUGE_VAL;
    else if (mantissa == 0) v = 0;
    else v = std::ldexp(double(mantissa), exp - 16383 - 63);
    return negative ? -v : v;
}
