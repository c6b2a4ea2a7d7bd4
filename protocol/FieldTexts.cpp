#include "protocol/FieldTexts.h"

QString XmlEscape(const QString& text)
{
    if (text.isEmpty()) return text;
    // One pass gives what the five replacements in their order give: "&" is
    // handled first there, so the entities added later are not escaped again.
    qsizetype specials = 0;
    for (QChar c : text)
        if (c == u'&' || c == u'"' || c == u'\'' || c == u'<' || c == u'>') ++specials;
    if (specials == 0) return text;
    QString out;
    out.reserve(text.size() + specials * 5);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        case u'\'': out += QLatin1String("&apos;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        default: out += c;
        }
    }
    return out;
}

QString BoolToYN(bool value) { return value ? QStringLiteral("Y") : QStringLiteral("N"); }

bool YNToBool(const QString& text) { return text == u"Y"; }

QString MoneyToInt(const QString& text)
{
    QString out;
    const QStringView in = QStringView(text).left(255);
    out.reserve(in.size());
    for (QChar c : in)
        if (c != u'$' && c != u',') out += c;
    return out;
}

QString ExpandListingAbbrev(const QString& text)
{
    if (text == u"F") return QStringLiteral("Full");
    if (text == u"P") return QStringLiteral("Partial");
    return text.left(255);
}
