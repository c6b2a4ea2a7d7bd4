#include "grid/io/TObjectReader.h"

#include "grid/io/TObjectWriter.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

namespace {
constexpr int kMaxDepth = 4;

[[noreturn]] void Fail(const QString& what) { throw EReadError(what); }
} // namespace

const TStreamValue* TStreamRecord::Find(QByteArrayView property) const
{
    for (const auto& [name, value] : properties)
        if (name.size() == property.size() && std::memcmp(name.data(), property.data(), size_t(name.size())) == 0)
            return &value;
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
    return TObjectReader::DecodeString(v->encoding, v->raw);
}

double TStreamRecord::Float(QByteArrayView property, double defaultValue) const
{
    const TStreamValue* v = Find(property);
    if (!v) return defaultValue;
    if (v->kind == TStreamValue::Integer) return double(v->integer);
    if (v->kind != TStreamValue::Float) Fail(QStringLiteral("Invalid property value"));
    return v->number;
}

void TObjectReader::Overrun() { Fail(QStringLiteral("Stream read error")); }

QString TObjectReader::ShortString()
{
    const int n = Byte();
    return QString::fromLatin1(Take(n), n);
}

QByteArrayView TObjectReader::RawString(char type)
{
    switch (type) {
    case TObjectWriter::vaString: {
        const int n = Byte();
        return QByteArrayView(Take(n), n);
    }
    case TObjectWriter::vaLString:
    case TObjectWriter::vaUTF8String: {
        const qint32 n = qFromLittleEndian<qint32>(Take(4));
        return QByteArrayView(Take(n), n);
    }
    case TObjectWriter::vaWString: {
        const qint32 n = qFromLittleEndian<qint32>(Take(4));
        if (n < 0 || n > Remaining() / 2) Fail(QStringLiteral("Stream read error"));
        return QByteArrayView(Take(qsizetype(n) * 2), qsizetype(n) * 2);
    }
    default: Fail(QStringLiteral("Invalid property value"));
    }
}

QString TObjectReader::DecodeString(char type, QByteArrayView raw)
{
    switch (type) {
    case TObjectWriter::vaUTF8String: return QString::fromUtf8(raw);
    case TObjectWriter::vaWString: {
        const qsizetype n = raw.size() / 2;
        QString s(n, Qt::Uninitialized);
        char16_t* out = reinterpret_cast<char16_t*>(s.data());
        for (qsizetype i = 0; i < n; ++i) out[i] = qFromLittleEndian<quint16>(raw.data() + 2 * i);
        return s;
    }
    default: return QString::fromLatin1(raw.data(), raw.size());
    }
}

void TObjectReader::Value(TStreamValue& v, int depth)
{
    // The value may be one read before: nothing of that stays.
    v.kind = TStreamValue::Null;
    v.integer = 0;
    v.number = 0;
    v.boolean = false;
    v.raw = QByteArrayView();
    v.encoding = 0;
    if (!v.text.isNull()) v.text = QString();
    if (!v.items.isEmpty()) v.items.clear();
    if (!v.bytes.isNull()) v.bytes = QByteArray();
    const char type = char(Byte());
    switch (type) {
    case TObjectWriter::vaNull:
    case TObjectWriter::vaNil: v.kind = TStreamValue::Null; break;
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
        v.encoding = type;
        v.raw = RawString(type);
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
            v.items << DecodeString(item.encoding, item.raw);
        }
        break;
    default: Fail(QStringLiteral("Invalid property value"));
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
    // The record's room is used again, property by property.
    record.className = Name();
    record.name = Name();
    size_t count = 0;
    for (QByteArrayView name = Name(); !name.isEmpty(); name = Name()) {
        if (count == record.properties.size()) record.properties.emplace_back();
        auto& property = record.properties[count];
        property.first = name;
        Value(property.second, 0);
        ++count;
    }
    record.properties.resize(count);
    if (Byte() != 0) Fail(QStringLiteral("Invalid stream format")); // no children
}

double TObjectReader::FromExtended(const char* tenBytes)
{
    const quint64 mantissa = qFromLittleEndian<quint64>(tenBytes);
    const quint16 se = qFromLittleEndian<quint16>(tenBytes + 8);
    const bool negative = se & 0x8000;
    const int exp = se & 0x7FFF;
    double v;
    if (exp == 0x7FFF)
        v = (mantissa << 1) ? std::nan("") : HUGE_VAL;
    else if (mantissa == 0)
        v = 0;
    else
        v = std::ldexp(double(mantissa), exp - 16383 - 63);
    return negative ? -v : v;
}
