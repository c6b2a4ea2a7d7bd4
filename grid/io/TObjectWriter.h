#pragma once
// Writes records in the class library's binary object stream: per record
// the signature "TPF0", the class name and the component name as short
// strings, then each property as its name and a typed value, a zero byte
// closing the properties and another closing the (empty) child list.
// Nested properties are written with dotted names ("CellProperties.Alignment").
//
// Integers take the smallest of the 8-, 16- and 32-bit forms; texts of
// ASCII characters are short or long strings, any other text a UTF-8 string;
// floating values the 10-byte extended form.

#include <QByteArray>
#include <QString>
#include <QStringList>

class TObjectWriter {
public:
    // Value type bytes of the stream.
    enum : char {
        vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6,
        vaIdent = 7, vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11, vaLString = 12, vaNil = 13,
        vaCollection = 14, vaSingle = 15, vaCurrency = 16, vaDate = 17, vaWString = 18, vaInt64 = 19,
        vaUTF8String = 20
    };

    void BeginRecord(const QString& className, const QString& name = QString());
    void EndRecord();

    void Integer(const QString& name, qint64 value);
    void Boolean(const QString& name, bool value);
    void String(const QString& name, const QString& value);
    void Float(const QString& name, double value);
    void Ident(const QString& name, const QString& ident);
    void Set(const QString& name, const QStringList& idents);
    void Binary(const QString& name, const QByteArray& bytes);
    void StringList(const QString& name, const QStringList& items);

    const QByteArray& Bytes() const { return m_bytes; }

    // The 10-byte extended form of a double, little-endian.
    static QByteArray Extended(double value);

private:
    void ShortString(const QString& s);
    void IntValue(qint64 value);
    void StringValue(const QString& s);
    QByteArray m_bytes;
};
