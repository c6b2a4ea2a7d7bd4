#include "controls/HTMLText.h"

#include "platform/graphics/Themes.h"

#include <iterator>

namespace {

struct NamedColor {
    const char* name;
    quint32 value;
};

// Plain colours: red + green * 256 + blue * 65536.
constexpr NamedColor kPlainColors[] = {
    {"clred", 0x0000FF},    {"clblack", 0x000000},  {"clblue", 0xFF0000},    {"clgreen", 0x008000},
    {"claqua", 0xFFFF00},   {"clyellow", 0x00FFFF}, {"clfuchsia", 0xFF00FF}, {"clwhite", 0xFFFFFF},
    {"clsilver", 0xC0C0C0}, {"clgray", 0x808080},   {"clolive", 0x008080},   {"clnavy", 0x800000},
    {"clpurple", 0x800080}, {"clteal", 0x808000},   {"clmaroon", 0x000080},  {"cllime", 0x00FF00},
};

// System colours: 0xFF000000 + the system colour index.
constexpr NamedColor kSystemColors[] = {
    {"clbackground", 1},
    {"clactivecaption", 2},
    {"clinactivecaption", 3},
    {"clmenu", 4},
    {"clwindow", 5},
    {"clwindowframe", 6},
    {"clmenutext", 7},
    {"clwindowtext", 8},
    {"clcaptiontext", 9},
    {"clactiveborder", 10},
    {"clinactiveborder", 11},
    {"clappworkspace", 12},
    {"clhighlight", 13},
    {"clhighlighttext", 14},
    {"clbtnface", 15},
    {"clbtnshadow", 16},
    {"clgraytext", 17},
    {"clbtntext", 18},
    {"clinactivecaptiontext", 19},
    {"clbtnhighlight", 20},
    {"cl3ddkshadow", 21},
    {"cl3dlight", 22},
    {"clinfotext", 23},
    {"clinfobk", 24},
};

bool SameLatin1(QStringView s, const char* name)
{
    qsizetype i = 0;
    for (; name[i]; ++i) {
        if (i >= s.size() || s[i].unicode() != char16_t(static_cast<unsigned char>(name[i]))) return false;
    }
    return i == s.size();
}

struct Entity {
    QStringView name;        // without case
    QStringView replacement; // the character of the entity's code-page byte, as Unicode
};

// The code-page characters of the entities: 0xA7, 0x89, 0xAE, 0xA9, 0xB6,
// 0x99 and 0x80 of Windows-1252 are U+00A7, U+2030, U+00AE, U+00A9, U+00B6,
// U+2122 and U+20AC.
const Entity kEntities[] = {
    {u"&amp;", u"&&"},        {u"&quot;", u"\""},      {u"&sect;", u"\u00A7"},
    {u"&permil;", u"\u2030"}, {u"&reg;", u"\u00AE"},   {u"&copy;", u"\u00A9"},
    {u"&para;", u"\u00B6"},   {u"&trade;", u"\u2122"}, {u"&euro;", u"\u20AC"},
};

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    return 0;
}

// Position of key in upper (already upper-cased) outside double-quoted values.
qsizetype FindKeyOutsideQuotes(QStringView upper, QStringView key)
{
    bool quoted = false;
    for (qsizetype i = 0; i < upper.size(); ++i) {
        const QChar c = upper[i];
        if (c == u'"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && upper.mid(i).startsWith(key)) return i;
    }
    return -1;
}

QString QuotedValueAfter(QStringView tag, QStringView upper, QStringView key)
{
    const qsizetype k = FindKeyOutsideQuotes(upper, key);
    if (k < 0) return QString();
    const qsizetype open = tag.indexOf(u'"', k);
    if (open < 0) return QString();
    qsizetype close = tag.indexOf(u'"', open + 1);
    if (close < 0) close = tag.size();
    return tag.mid(open + 1, close - open - 1).toString();
}

// Decodes what SetControlValue encodes.
QString DecodeControlValue(const QString& v)
{
    if (!v.contains(u'&')) return v;
    QString out;
    out.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        const QStringView rest = QStringView(v).mid(i);
        if (rest.startsWith(u"&lt;")) {
            out += u'<';
            i += 3;
        } else if (rest.startsWith(u"&gt;")) {
            out += u'>';
            i += 3;
        } else if (rest.startsWith(u"&#34;")) {
            out += u'"';
            i += 4;
        } else {
            out += v[i];
        }
    }
    return out;
}

} // namespace

TColor TextToColor(QStringView name)
{
    quint32 value = 0;
    for (const NamedColor& c : kPlainColors)
        if (SameLatin1(name, c.name)) {
            value = c.value;
            break;
        }
    if (value == 0) {
        for (const NamedColor& c : kSystemColors)
            if (SameLatin1(name, c.name)) {
                value = 0xFF000000u + c.value;
                break;
            }
    }
    return TColor(value);
}

int HexVal(QStringView text)
{
    if (text.size() < 2) return 0;
    return HexDigit(text[0]) * 16 + HexDigit(text[1]);
}

TColor HexToColor(QStringView text)
{
    const int r = HexVal(text.mid(qMin<qsizetype>(1, text.size())));
    const int g = HexVal(text.mid(qMin<qsizetype>(3, text.size())));
    const int b = HexVal(text.mid(qMin<qsizetype>(5, text.size())));
    return TColor(quint32(r) + quint32(g) * 256u + quint32(b) * 65536u);
}

bool ReplaceEntity(QStringView pattern, QStringView replacement, QString& text)
{
    const qsizetype at = text.indexOf(pattern, 0, Qt::CaseInsensitive);
    if (at < 0) return false;
    text.replace(at, pattern.size(), replacement.data(), replacement.size());
    return true;
}

void ReplaceEntities(QString& text)
{
    // One scan replaces every entity. "&amp;" gives "&&", whose second "&"
    // may start a new entity with the text after it; the scan goes on from
    // that "&" at once instead of in a later round. The result is the same
    // as replacing one occurrence per entity per round until none applies.
    if (!text.contains(u'&')) return;
    auto match = [](QStringView at) -> const Entity* {
        for (const Entity& e : kEntities)
            if (at.startsWith(e.name, Qt::CaseInsensitive)) return &e;
        return nullptr;
    };
    // The entity that a carried "&" and the text at `at` spell, if any.
    auto matchCarried = [](QStringView at) -> const Entity* {
        for (const Entity& e : kEntities)
            if (at.startsWith(e.name.mid(1), Qt::CaseInsensitive)) return &e;
        return nullptr;
    };
    for (;;) {
        const QStringView src(text);
        qsizetype amp = src.indexOf(u'&');
        if (amp < 0) return;
        QString out;
        out.reserve(text.size());
        bool replaced = false;
        qsizetype copied = 0;
        while (amp >= 0) {
            const Entity* hit = match(src.mid(amp));
            if (!hit) {
                amp = src.indexOf(u'&', amp + 1);
                continue;
            }
            out.append(src.mid(copied, amp - copied));
            replaced = true;
            qsizetype next = amp + hit->name.size();
            // A replacement ending in "&" carries it into the following text.
            while (hit && hit->replacement.endsWith(u'&')) {
                out.append(hit->replacement.chopped(1));
                hit = matchCarried(src.mid(next));
                if (hit)
                    next += hit->name.size() - 1;
                else
                    out.append(u'&');
            }
            if (hit) out.append(hit->replacement);
            copied = next;
            amp = src.indexOf(u'&', copied);
        }
        if (!replaced) return;
        out.append(src.mid(copied));
        text.swap(out);
    }
}

QString UnwrapHashTag(const QString& text)
{
    const qsizetype at = text.indexOf(u"<#");
    if (at < 0) return text;
    QString out = text;
    const qsizetype gt = out.indexOf(u'>', at + 2);
    if (gt >= 0) out.remove(gt, 1);
    out.remove(at, 1);
    return out;
}

QString LineBreaksToBR(const QString& text, bool toBR)
{
    if (!text.contains(u'\r') && !text.contains(u'\n')) return text;
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (c == u'\r') {
            if (toBR) out += QStringLiteral("<BR>");
        } else if (c != u'\n') {
            out += c;
        }
    }
    return out;
}

QString DecodeAngleEntities(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    out.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    return out;
}

QString EncodeAngleBrackets(const QString& text)
{
    QString out = text;
    out.replace(u'<', QStringLiteral("&lt;"));
    out.replace(u'>', QStringLiteral("&gt;"));
    return out;
}

TControlTag ParseControlTag(QStringView tag)
{
    const QString upper = tag.toString().toUpper();
    TControlTag t;
    t.Type = QuotedValueAfter(tag, upper, u"TYPE=").toUpper();
    t.Width = QuotedValueAfter(tag, upper, u"WIDTH=");
    t.ID = QuotedValueAfter(tag, upper, u"ID=");
    t.Value = DecodeControlValue(QuotedValueAfter(tag, upper, u"VALUE="));
    return t;
}

bool SetControlValue(QString& html, const QString& id, const QString& value)
{
    // A double quote would end the value early; "&#34;" is left alone by the
    // entity pass of the renderer and decoded by ParseControlTag.
    QString encoded = EncodeAngleBrackets(value);
    encoded.replace(u'"', QStringLiteral("&#34;"));

    qsizetype from = 0;
    for (;;) {
        const qsizetype start = html.indexOf(QStringLiteral("<CONTROL "), from, Qt::CaseInsensitive);
        if (start < 0) return false;
        const qsizetype attrs = start + 8; // after "<CONTROL"
        const qsizetype gt = html.indexOf(u'>', attrs);
        if (gt < 0) return false;
        const TControlTag tag = ParseControlTag(QStringView(html).mid(attrs, gt - attrs));
        if (tag.ID == id) {
            const QString replacement = QStringLiteral("CONTROL ID=\"") + id + QStringLiteral("\" VALUE=\"") + encoded +
                QStringLiteral("\" WIDTH=\"") + tag.Width + QStringLiteral("\" TYPE=\"") + tag.Type +
                QStringLiteral("\">");
            html.replace(start + 1, gt - start, replacement);
            return true;
        }
        from = gt + 1;
    }
}

QString HTMLStrip(const QString& html)
{
    QString s = html;
    s.replace(QStringLiteral("<BR>"), QStringLiteral("\r\n"), Qt::CaseInsensitive);
    s.replace(QStringLiteral("<HR>"), QStringLiteral("\r\n"), Qt::CaseInsensitive);
    QString out;
    out.reserve(s.size());
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype lt = s.indexOf(u'<', i);
        if (lt < 0) {
            out.append(QStringView(s).mid(i));
            break;
        }
        out.append(QStringView(s).mid(i, lt - i));
        const qsizetype gt = s.indexOf(u'>', lt);
        if (gt < 0) {
            out.append(QStringView(s).mid(lt));
            break;
        }
        i = gt + 1;
    }
    return out;
}

bool IsWinXPOrLater()
{
    const int major = Win32MajorVersion();
    return major >= 6 || (major == 5 && Win32MinorVersion() != 0);
}
