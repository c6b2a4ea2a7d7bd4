#pragma once
// Bytes of a PDF being written: numbers with a few decimals, names and
// strings escaped, appended to a buffer that keeps its capacity when
// cleared, so a page's content stream costs no allocation once the first
// page has grown it.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstring>

class PdfOutput {
public:
    // Numbers beyond this are written as this: a reader takes them, and no
    // page of ours lies anywhere near.
    static constexpr double MaxNumber = 1e7;

    PdfOutput() = default;
    PdfOutput(const PdfOutput&) = delete;
    PdfOutput& operator=(const PdfOutput&) = delete;

    QByteArrayView View() const { return QByteArrayView(m_data, m_size); }
    qsizetype Size() const { return m_size; }
    // Empties the buffer, keeping its memory.
    void Clear() { m_size = 0; }
    void Reserve(qsizetype bytes);
    // The bytes written; the output is empty after.
    QByteArray Take();

    PdfOutput& operator<<(QByteArrayView text)
    {
        Append(text.data(), text.size());
        return *this;
    }
    PdfOutput& operator<<(const char* text) { return *this << QByteArrayView(text); }
    PdfOutput& operator<<(char c)
    {
        *Room(1) = c;
        ++m_size;
        return *this;
    }
    PdfOutput& operator<<(const QByteArray& text) { return *this << QByteArrayView(text); }

    // An integer.
    PdfOutput& Int(qint64 v);
    // A number rounded to at most decimals places (0..6), without trailing
    // zeros; NaN is written as 0, infinities and huge values as MaxNumber.
    PdfOutput& Num(double v, int decimals = 2);
    // A space and the number: the usual separator of operands.
    PdfOutput& SNum(double v, int decimals = 2) { return (*this << ' ').Num(v, decimals); }
    // "N 0 R".
    PdfOutput& Ref(int object);
    // A name: "/" and name, every byte outside the regular characters as #XX.
    PdfOutput& Name(QByteArrayView name);
    // A literal string "(...)", with ( ) and \ escaped and control bytes octal.
    PdfOutput& String(QByteArrayView text);
    // A text string: plain ASCII as a literal string, anything else as
    // UTF-16BE with its byte order mark, in hex.
    PdfOutput& TextString(const QString& text);
    // A hex string of the bytes "<...>".
    PdfOutput& Hex(QByteArrayView bytes);
    // Four hex digits of a 16-bit value (a two-byte glyph id).
    PdfOutput& Hex4(quint16 v)
    {
        static constexpr char digits[] = "0123456789ABCDEF";
        char* out = Room(4);
        out[0] = digits[v >> 12];
        out[1] = digits[(v >> 8) & 15];
        out[2] = digits[(v >> 4) & 15];
        out[3] = digits[v & 15];
        m_size += 4;
        return *this;
    }

private:
    // Where the next n bytes go, the buffer grown to hold them.
    char* Room(qsizetype n)
    {
        if (m_size + n > m_capacity) Grow(n);
        return m_data + m_size;
    }
    void Grow(qsizetype n);
    void Append(const char* p, qsizetype n)
    {
        if (n <= 0) return;
        std::memcpy(Room(n), p, size_t(n));
        m_size += n;
    }

    // The buffer's whole length is room; m_size of it is written.
    QByteArray m_bytes;
    char* m_data = nullptr;
    qsizetype m_size = 0, m_capacity = 0;
};
