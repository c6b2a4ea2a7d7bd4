#pragma once
// Writes records in the class library's binary object stream: per record
// the signature "TPF0", the class name and the component name as short
// strings (a class name of 240 bytes or more after an empty set of filer
// flags, whose byte its length would otherwise be taken for), then each property as its name and a typed value, a zero byte
// closing the properties and another closing the (empty) child list.
// Nested properties are written with dotted names ("CellProperties.Alignment").
//
// Integers take the smallest of the 8-, 16- and 32-bit forms; texts of
// ASCII characters are short or long strings, any other text a UTF-8 string;
// floating values the 10-byte extended form.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstring>

class TObjectWriter {
public:
    // Value type bytes of the stream.
    enum : char {
        vaNull = 0,
        vaList = 1,
        vaInt8 = 2,
        vaInt16 = 3,
        vaInt32 = 4,
        vaExtended = 5,
        vaString = 6,
        vaIdent = 7,
        vaFalse = 8,
        vaTrue = 9,
        vaBinary = 10,
        vaSet = 11,
        vaLString = 12,
        vaNil = 13,
        vaCollection = 14,
        vaSingle = 15,
        vaCurrency = 16,
        vaDate = 17,
        vaWString = 18,
        vaInt64 = 19,
        vaUTF8String = 20
    };

    // Class and property names are ASCII identifiers. The writing of
    // records, integers, booleans and strings is inline: a cell stream
    // writes millions of them.
    void BeginRecord(QByteArrayView className, QByteArrayView name = {})
    {
        std::memcpy(Extend(4), "TPF0", 4);
        // A length byte of 0xF0 or more would read as filer flags: such a
        // name follows an empty set of flags.
        if (className.size() >= 0xF0) *Extend(1) = char(0xF0);
        ShortString(className);
        ShortString(name);
    }
    void EndRecord()
    {
        char* p = Extend(2);
        p[0] = 0; // end of properties
        p[1] = 0; // end of children
    }

    void Integer(QByteArrayView name, qint64 value)
    {
        ShortString(name);
        IntValue(value);
    }
    void Boolean(QByteArrayView name, bool value)
    {
        ShortString(name);
        *Extend(1) = value ? vaTrue : vaFalse;
    }
    void String(QByteArrayView name, const QString& value)
    {
        ShortString(name);
        StringValue(value);
    }
    void Float(QByteArrayView name, double value);
    void Ident(QByteArrayView name, const QString& ident);
    void Set(QByteArrayView name, const QStringList& idents);
    void Binary(QByteArrayView name, const QByteArray& bytes);
    void StringList(QByteArrayView name, const QStringList& items);

    // Room for that many bytes more, so that a large stream is not moved
    // while it grows.
    void Reserve(qsizetype more);
    // The stream written so far, and its size.
    const QByteArray& Bytes() const;
    qsizetype Size() const { return m_size; }

    // The 10-byte extended form of a double, little-endian.
    static QByteArray Extended(double value);
    // Copies s to out (room for s.size() bytes) as single bytes; whether
    // every character of it was ASCII.
    static bool CopyAscii(char* out, QStringView s);

private:
    // The next count bytes of the stream, to be filled by the caller.
    char* Extend(qsizetype count)
    {
        if (count > m_room - m_size) Grow(count);
        char* p = m_data + m_size;
        m_size += count;
        return p;
    }
    void Grow(qsizetype count);
    void ShortString(QByteArrayView s)
    {
        // Longer names are cut at 255 bytes.
        const qsizetype n = s.size() < 255 ? s.size() : 255;
        char* p = Extend(n + 1);
        p[0] = char(n);
        if (n > 0) std::memcpy(p + 1, s.data(), size_t(n));
    }
    void ShortString(const QString& s);
    void IntValue(qint64 value)
    {
        if (value >= -128 && value <= 127) {
            char* p = Extend(2);
            p[0] = vaInt8;
            p[1] = char(qint8(value));
        } else {
            WideIntValue(value);
        }
    }
    void WideIntValue(qint64 value);
    void StringValue(const QString& s);
    // Filled to m_size of m_room bytes; Bytes() cuts it to what is written
    // (the next write then makes room again, in a copy of its own).
    mutable QByteArray m_bytes;
    mutable qsizetype m_room = 0;
    qsizetype m_size = 0;
    char* m_data = nullptr;
};
