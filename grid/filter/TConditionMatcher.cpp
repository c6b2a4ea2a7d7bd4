#include "grid/filter/TConditionMatcher.h"

#include "grid/text/TextChars.h"
#include "platform/core/SysUtils.h"

namespace {

constexpr char16_t Operators[] = u"&;^|=";
constexpr QStringView Joins = u"&;^|";

QString Normalised(const QString& condition)
{
    QString s = Trim(condition);
    for (const char16_t* op = Operators; *op; ++op) {
        const QString before = QString(u' ') + QChar(*op);
        while (s.contains(before)) s.replace(before, QString(QChar(*op)));
    }
    for (const char16_t* op = Operators; *op; ++op) {
        const QString after = QString(QChar(*op)) + u' ';
        while (s.contains(after)) s.replace(after, QString(QChar(*op)));
    }
    QString result;
    result.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'=' && !(i > 0 && (s[i - 1] == u'>' || s[i - 1] == u'<'))) continue;
        result += s[i];
    }
    return result;
}

} // namespace

TConditionMatcher::TConditionMatcher(const QString& condition, bool caseSensitive) : m_caseSensitive(caseSensitive)
{
    QString s = Normalised(condition);
    if (!caseSensitive) s = AnsiUpperCase(s);
    // Split at each joining operator, left to right.
    bool joinedByAnd = false;
    for (;;) {
        const QChar op = FirstCharOfSet(Joins, s);
        if (op.isNull()) break;
        const int at = CharPos(op, s);
        m_parts.push_back(TPart{TFilterPattern(s.left(at - 1)), joinedByAnd});
        joinedByAnd = op == u'&';
        s.remove(0, at);
    }
    m_parts.push_back(TPart{TFilterPattern(s), joinedByAnd});
}

bool TConditionMatcher::Match(const QString& text) const
{
    if (m_parts.empty()) return MatchFilterPart(QString(), text, m_caseSensitive);
    const QString t = m_caseSensitive ? text : AnsiUpperCase(text);
    bool result = false;
    for (size_t i = 0; i < m_parts.size(); ++i) {
        const TPart& part = m_parts[i];
        if (i == 0) {
            result = part.pattern.Match(t);
        } else if (part.joinedByAnd) {
            // A part that cannot change the result is not matched.
            result = result && part.pattern.Match(t);
        } else {
            result = result || part.pattern.Match(t);
        }
    }
    return result;
}

bool MatchFilterCondition(const QString& condition, const QString& text, bool caseSensitive)
{
    return TConditionMatcher(condition, caseSensitive).Match(text);
}

bool MatchFilterPart(const QString& part, const QString& text, bool caseSensitive)
{
    if (caseSensitive) return MatchPattern(part, text);
    return MatchPattern(AnsiUpperCase(part), AnsiUpperCase(text));
}
