#pragma once
// Reads records of the class library's binary object stream (see
// TObjectWriter.h) from bytes that may come from anywhere: every length
// and count is checked against what remains, lists nest at most a few
// levels, and anything that does not read raises EReadError with nothing
// half-done for the caller to undo.

#include "platform/core/Exception.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class EReadError : public Exception {
public:
    using Exception::Exception;
};

struct TStreamValue {
    enum Kind { Null, Integer, Boolean, String, Float, Ident, Set, Binary, List };
    Kind kind = Null;
    qint64 integer = 0;
    double number = 0;
    bool boolean = false;
    QString text;      // Ident
    QStringList items; // Set, List of strings
    QByteArray bytes;  // Binary
    // A String as it stands in the bytes read, with its value type byte;
    // decoded by TStreamRecord::Str.
    QByteArrayView raw;
    char encoding = 0;
};

// One record. Its class, component and property names and its strings are
// views into the bytes read: a record lives no longer than they do.
struct TStreamRecord {
    QByteArrayView className;
    QByteArrayView name;
    std::vector<std::pair<QByteArrayView, TStreamValue>> properties;

    // The property of that name, nullptr when the record has none.
    const TStreamValue* Find(QByteArrayView property) const;
    // Typed reading; the default when absent; EReadError when the value
    // has another type.
    qint64 Int(QByteArrayView property, qint64 defaultValue = 0) const;
    bool Bool(QByteArrayView property, bool defaultValue = false) const;
    QString Str(QByteArrayView property) const;
    double Float(QByteArrayView property, double defaultValue = 0) const;
};

class TObjectReader {
public:
    explicit TObjectReader(const QByteArray& bytes) : m_bytes(bytes) { }

    // Bytes not read yet.
    qsizetype Remaining() const { return m_bytes.size() - m_pos; }
    TStreamRecord ReadRecord();
    // Reads the next record into one read before (its room is used again).
    void ReadRecord(TStreamRecord& record);

    static double FromExtended(const char* tenBytes);
    // The text of a string value of that type byte.
    static QString DecodeString(char type, QByteArrayView raw);

private:
    [[noreturn]] static void Overrun();
    quint8 Byte()
    {
        if (m_pos >= m_bytes.size()) Overrun();
        return quint8(m_bytes.constData()[m_pos++]);
    }
    const char* Take(qsizetype count)
    {
        if (count < 0 || count > Remaining()) Overrun();
        const char* p = m_bytes.constData() + m_pos;
        m_pos += count;
        return p;
    }
    QByteArrayView Name()
    {
        const int n = Byte();
        return QByteArrayView(Take(n), n);
    }
    QString ShortString();
    void Value(TStreamValue& v, int depth);
    QByteArrayView RawString(char type);
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};
