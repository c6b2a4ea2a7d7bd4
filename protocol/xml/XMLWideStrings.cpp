#include "protocol/xml/XMLWideStrings.h"

#include <algorithm>

namespace {
inline bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
inline char16_t upperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }
} // namespace

qsizetype WideLength(QStringView s)
{
    const qsizetype i = s.indexOf(QChar(0));
    return i < 0 ? s.size() : i;
}

int WideCompare(QStringView a, QStringView b)
{
    if (a.size() != b.size()) return 1;
    return std::equal(a.utf16(), a.utf16() + a.size(), b.utf16()) ? 0 : 1;
}

int WideCompareText(QStringView a, QStringView b)
{
    if (a.size() != b.size()) return 1;
    const char16_t* p = a.utf16();
    const char16_t* q = b.utf16();
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = p[i];
        char16_t y = q[i];
        if (x == y) continue;
        if (x < 256 && y < 256) {
            x = upperAscii(x);
            y = upperAscii(y);
            if (x == y) continue;
        }
        return 1;
    }
    return 0;
}

QString WideTrim(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b].unicode())) ++b;
    while (e > b && isBlank(s[e - 1].unicode())) --e;
    return s.mid(b, e - b).toString();
}

bool WideIsBlank(QStringView s)
{
    for (QChar c : s)
        if (!isBlank(c.unicode())) return false;
    return true;
}

QString WideCopy(QStringView s) { return s.left(WideLength(s)).toString(); }
