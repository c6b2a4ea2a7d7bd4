#include "forms/ServerCellText.h"

#include "grid/text/CellText.h"

QString ServerCellText(const QString& text)
{
    // Plain text is drawn without prefix characters: an "&" shows as it is.
    if (GetTextKind(text, true) == tkPlain && !text.contains(u'<')) return text;
    QString escaped;
    escaped.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'&')
            escaped += QStringLiteral("&amp;");
        else if (c == u'<')
            escaped += QStringLiteral("&lt;");
        else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        else if (c == u'\r' || c == u'\n')
            escaped += QStringLiteral("<BR>");
        else
            escaped += c;
    }
    return QStringLiteral("<FONT>") + escaped + QStringLiteral("</FONT>");
}
