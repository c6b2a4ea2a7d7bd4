#pragma once
// Reads records of the class library's binary object stream (see
// TObjectWriter.h) from bytes that may come from anywhere: every length
// and count is checked against what remains, lists nest at most a few
// levels, and anything that does not read raises EReadError with nothing
// half-done for the caller to undo.

#include "platform/core/Exception.h"

#include <QByteArray>
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
    QString text;        // String, Ident
    QStringList items;   // Set, List of strings
    QByteArray bytes;    // Binary
};

struct TStreamRecord {
    QString className;
    QString name;
    std::vector<std::pair<QString, TStreamValue>> properties;

    // The property of that name, nullptr when the record has none.
    const TStreamValue* Find(const QString& property) const;
    // Typed reading; the default when absent; EReadError when the value
    // has another type.
    qint64 Int(const QString& property, qint64 defaultValue = 0) const;
    bool Bool(const QString& property, bool defaultValue = false) const;
    QString Str(const QString& property) const;
    double Float(const QString& property, double defaultValue = 0) const;
};

class TObjectReader {
public:
    explicit TObjectReader(const QByteArray& bytes) : m_bytes(bytes) {}

    // Bytes not read yet.
    qsizetype Remaining() const { return m_bytes.size() - m_pos; }
    TStreamRecord ReadRecord();

    static double FromExtended(const char* tenBytes);

private:
    quint8 Byte();
    const char* Take(qsizetype count);
    QString ShortString();
    TStreamValue Value(int depth);
    QString StringOf(char type);
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};
