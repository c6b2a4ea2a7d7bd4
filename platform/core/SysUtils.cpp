#include "platform/core/SysUtils.h"

#include "platform/core/Format.h"

#include <limits>

namespace {

char16_t AsciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

// Reads an integer text into a value of at most `bits` bits (32 or 64).
bool ParseInteger(const QString& text, int bits, qint64& out)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == u' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && text[i] == u'$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    } else if (i < n && (text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    }
    if (i >= n) return false;
    if (hex) {
        const quint64 limit = bits == 32 ? quint64(0xFFFFFFFFu) : std::numeric_limits<quint64>::max();
        quint64 v = 0;
        for (; i < n; ++i) {
            const int d = HexDigitValue(text[i].unicode());
            if (d < 0) return false;
            if (v > (limit >> 4)) return false;
            v = (v << 4) | quint64(d);
        }
        if (bits == 32) {
            qint64 s = qint32(quint32(v));
            out = negative ? qint64(qint32(quint32(0) - quint32(v))) : s;
        } else {
            out = qint64(negative ? quint64(0) - v : v);
        }
        return true;
    }
    const quint64 limit = bits == 32 ? (negative ? quint64(2147483648u) : quint64(2147483647u))
                                     : (negative ? quint64(1) << 63 : (quint64(1) << 63) - 1);
    quint64 v = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return false;
        const quint64 d = c - u'0';
        if (v > (limit - d) / 10) return false;
        v = v * 10 + d;
    }
    out = negative ? qint64(quint64(0) - v) : qint64(v);
    return true;
}

[[noreturn]] void InvalidInteger(const QString& text)
{
    throw EConvertError(Format(QStringLiteral("'%s' is not a valid integer value"), {text}));
}

} // namespace

QString UpperCase(const QString& s)
{
    QString r = s;
    for (QChar& c : r) c = QChar(AsciiUpper(c.unicode()));
    return r;
}

QString LowerCase(const QString& s)
{
    QString r = s;
    for (QChar& c : r) c = QChar(AsciiLower(c.unicode()));
    return r;
}

QString AnsiUpperCase(const QString& s) { return s.toUpper(); }

QString AnsiLowerCase(const QString& s) { return s.toLower(); }

QString Trim(const QString& s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s[first].unicode() <= u' ') ++first;
    while (last > first && s[last - 1].unicode() <= u' ') --last;
    return s.mid(first, last - first);
}

QString TrimLeft(const QString& s)
{
    qsizetype first = 0;
    while (first < s.size() && s[first].unicode() <= u' ') ++first;
    return s.mid(first);
}

QString TrimRight(const QString& s)
{
    qsizetype last = s.size();
    while (last > 0 && s[last - 1].unicode() <= u' ') --last;
    return s.left(last);
}

int CompareText(const QString& a, const QString& b)
{
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int d = int(AsciiUpper(a[i].unicode())) - int(AsciiUpper(b[i].unicode()));
        if (d != 0) return d;
    }
    return int(a.size() - b.size());
}

bool SameText(const QString& a, const QString& b) { return a.size() == b.size() && CompareText(a, b) == 0; }

QString QuotedStr(const QString& s)
{
    QString r = s;
    r.replace(u'\'', QStringLiteral("''"));
    return u'\'' + r + u'\'';
}

QString StringReplace(const QString& s, const QString& oldPattern, const QString& newPattern, TReplaceFlags flags)
{
    if (oldPattern.isEmpty()) return s;
    const Qt::CaseSensitivity cs = (flags & rfIgnoreCase) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    QString out;
    qsizetype from = 0;
    while (true) {
        const qsizetype at = s.indexOf(oldPattern, from, cs);
        if (at < 0) break;
        out += QStringView(s).mid(from, at - from);
        out += newPattern;
        from = at + oldPattern.size();
        if (!(flags & rfReplaceAll)) break;
    }
    out += QStringView(s).mid(from);
    return out;
}

bool TryStrToInt(const QString& text, int& value)
{
    qint64 v = 0;
    if (!ParseInteger(text, 32, v)) return false;
    value = int(v);
    return true;
}

int StrToInt(const QString& text)
{
    int v = 0;
    if (!TryStrToInt(text, v)) InvalidInteger(text);
    return v;
}

int StrToIntDef(const QString& text, int defaultValue)
{
    int v = 0;
    return TryStrToInt(text, v) ? v : defaultValue;
}

bool TryStrToInt64(const QString& text, qint64& value) { return ParseInteger(text, 64, value); }

qint64 StrToInt64(const QString& text)
{
    qint64 v = 0;
    if (!TryStrToInt64(text, v)) InvalidInteger(text);
    return v;
}

qint64 StrToInt64Def(const QString& text, qint64 defaultValue)
{
    qint64 v = 0;
    return TryStrToInt64(text, v) ? v : defaultValue;
}

QString IntToHex32(quint32 value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(qMax(0, digits), u'0');
}

QString IntToHex64(quint64 value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(qMax(0, digits), u'0');
}

int HexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}
