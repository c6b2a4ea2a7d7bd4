#include "platform/print/PdfOutput_p.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";
constexpr qint64 Powers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// Writes the digits of v (not negative) backwards from end; returns the
// first digit.
char* Digits(quint64 v, char* end)
{
    do {
        *--end = char('0' + v % 10);
        v /= 10;
    } while (v);
    return end;
}

bool Regular(char c)
{
    // Not white space, not a delimiter, printable ASCII, not the escape.
    if (c <= ' ' || c > '~') return false;
    switch (c) {
    case '(':
    case ')':
    case '<':
    case '>':
    case '[':
    case ']':
    case '{':
    case '}':
    case '/':
    case '%':
    case '#': return false;
    default: return true;
    }
}

} // namespace

void PdfOutput::Reserve(qsizetype bytes)
{
    if (bytes > m_capacity) Grow(bytes - m_size);
}

void PdfOutput::Grow(qsizetype n)
{
    const qsizetype needed = m_size + n;
    m_bytes.resize(qMax(needed, qMax<qsizetype>(256, m_capacity * 2)));
    m_data = m_bytes.data();
    m_capacity = m_bytes.size();
}

QByteArray PdfOutput::Take()
{
    m_bytes.resize(m_size);
    QByteArray out = std::move(m_bytes);
    m_bytes = QByteArray();
    m_data = nullptr;
    m_size = m_capacity = 0;
    return out;
}

PdfOutput& PdfOutput::Int(qint64 v)
{
    char buffer[24];
    char* end = buffer + sizeof buffer;
    const bool negative = v < 0;
    char* p = Digits(negative ? quint64(0) - quint64(v) : quint64(v), end);
    if (negative) *--p = '-';
    Append(p, end - p);
    return *this;
}

PdfOutput& PdfOutput::Num(double v, int decimals)
{
    if (std::isnan(v)) v = 0;
    v = std::clamp(v, -MaxNumber, MaxNumber);
    decimals = std::clamp(decimals, 0, 6);
    const qint64 scale = Powers[decimals];
    qint64 scaled = std::llround(v * double(scale));
    const bool negative = scaled < 0;
    if (negative) scaled = -scaled;
    qint64 whole = scaled / scale, fraction = scaled % scale;
    // Trailing zeros of the fraction go.
    int places = decimals;
    while (places > 0 && fraction % 10 == 0) {
        fraction /= 10;
        --places;
    }
    char buffer[40];
    char* end = buffer + sizeof buffer;
    char* p = end;
    if (places > 0) {
        for (int i = 0; i < places; ++i) {
            *--p = char('0' + fraction % 10);
            fraction /= 10;
        }
        *--p = '.';
    }
    p = Digits(quint64(whole), p);
    if (negative) *--p = '-';
    Append(p, end - p);
    return *this;
}

PdfOutput& PdfOutput::Ref(int object)
{
    Int(object);
    return *this << " 0 R";
}

PdfOutput& PdfOutput::Name(QByteArrayView name)
{
    *this << '/';
    for (const char c : name) {
        if (Regular(c)) {
            *this << c;
        } else {
            const uchar u = uchar(c);
            const char escaped[3] = {'#', HexDigits[u >> 4], HexDigits[u & 15]};
            Append(escaped, 3);
        }
    }
    return *this;
}

PdfOutput& PdfOutput::String(QByteArrayView text)
{
    *this << '(';
    for (const char c : text) {
        const uchar u = uchar(c);
        if (c == '(' || c == ')' || c == '\\') {
            *this << '\\' << c;
        } else if (u < 32 || u == 127) {
            const char octal[4] = {'\\', char('0' + (u >> 6)), char('0' + ((u >> 3) & 7)), char('0' + (u & 7))};
            Append(octal, 4);
        } else {
            *this << c;
        }
    }
    *this << ')';
    return *this;
}

PdfOutput& PdfOutput::TextString(const QString& text)
{
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
    if (ascii) return String(text.toLatin1());
    QByteArray utf16;
    utf16.reserve(2 + 2 * text.size());
    utf16.append(char(0xFE)).append(char(0xFF));
    for (const QChar c : text) utf16.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    return Hex(utf16);
}

PdfOutput& PdfOutput::Hex(QByteArrayView bytes)
{
    *this << '<';
    for (const char c : bytes) {
        const uchar u = uchar(c);
        const char pair[2] = {HexDigits[u >> 4], HexDigits[u & 15]};
        Append(pair, 2);
    }
    *this << '>';
    return *this;
}
