#include "grid/text/CellLinks.h"

#include "grid/text/TextChars.h"
#include "platform/core/SysUtils.h"

bool IsURL(const QString& text) { return text.contains(u"://") || text.contains(u"mailto:"); }

void StripURLProtocol(QString& text)
{
    int p = 0;
    if (VarPos(QStringLiteral("://"), text, p) > 0) {
        text.remove(0, p + 2);
        return;
    }
    if (VarPos(QStringLiteral("mailto:"), text, p) > 0) text.remove(0, p + 6);
}

bool ParseRCReference(const QString& text, TPoint& cell)
{
    const QString s = UpperCase(text);
    if (s.size() < 4 || s[0] != u'R') return false;
    // s[0] is "R", so the first "C" follows it.
    const int c = CharPos(u'C', s);
    if (c == 0) return false;
    int row = 0;
    int col = 0;
    if (!TryStrToInt(s.mid(1, c - 2), row) || !TryStrToInt(s.mid(c), col)) return false;
    cell = TPoint(col, row);
    return true;
}
