#include "grid/text/CellLinks.h"

#include "platform/core/SysUtils.h"

bool IsURL(const QString& text) { return text.contains(u"://") || text.contains(u"mailto:"); }

void StripURLProtocol(QString& text)
{
    qsizetype p = text.indexOf(u"://");
    if (p >= 0) {
        text.remove(0, p + 3);
        return;
    }
    p = text.indexOf(u"mailto:");
    if (p >= 0) text.remove(0, p + 7);
}

bool ParseRCReference(const QString& text, TPoint& cell)
{
    const QString s = UpperCase(text);
    if (s.size() < 4 || s[0] != u'R') return false;
    const qsizetype c = s.indexOf(u'C', 1);
    if (c < 0) return false;
    int row = 0;
    int col = 0;
    if (!TryStrToInt(s.mid(1, c - 1), row) || !TryStrToInt(s.mid(c + 1), col)) return false;
    cell = TPoint(col, row);
    return true;
}
