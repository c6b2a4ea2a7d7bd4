#include "grid/filter/TFilterPattern.h"

#include "grid/text/CellText.h"
#include "platform/core/FloatFormat.h"
#include "platform/core/RegionalSettings.h"

namespace {

template <typename T>
int Sign(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

TFilterPattern::TFilterPattern(const QString& pattern)
    : m_pattern(pattern),
      m_dateFormat(RegionalSettings::ShortDateFormat()),
      m_dateSeparator(RegionalSettings::DateSeparator())
{
    const qsizetype n = m_pattern.size();
    m_segments.push_back(TSegment{});
    for (qsizetype i = 0; i < n;) {
        if (m_pattern[i] != u'*') {
            ++i;
            continue;
        }
        while (i < n && m_pattern[i] == u'*') ++i;
        m_segments.push_back(TSegment{i, {}, {}});
    }
    for (TSegment& segment : m_segments) {
        const qsizetype gt = m_pattern.indexOf(u'>', segment.start);
        const qsizetype lt = m_pattern.indexOf(u'<', segment.start);
        if (gt >= 0) segment.greater = ReadOperand(m_pattern, gt, m_dateFormat, m_dateSeparator);
        if (lt >= 0) segment.less = ReadOperand(m_pattern, lt, m_dateFormat, m_dateSeparator);
    }
}

std::optional<TFilterPattern::TOperand> TFilterPattern::ReadOperand(const QString& pattern, qsizetype sign,
                                                                    const QString& dateFormat, QChar dateSeparator)
{
    const qsizetype n = pattern.size();
    TOperand operand;
    qsizetype i = sign + 1;
    if (i < n && pattern[i] == u'=') {
        operand.inclusive = true;
        ++i;
    }
    while (i < n && pattern[i] == u' ') ++i;
    qsizetype end = i;
    while (end < n && pattern[end] != u' ' && pattern[end] != u'&' && pattern[end] != u'|') ++end;
    QStringView text = QStringView(pattern).mid(i, end - i);
    if (text.startsWith(u'"')) text = text.mid(1);
    if (text.endsWith(u'"')) text.chop(1);
    operand.text = text.toString();
    double number = 0;
    if (TryStrToFloat(operand.text, number)) operand.number = number;
    TDateTime date = 0;
    if (ParseShortDate(operand.text, date, dateFormat, dateSeparator)) operand.date = date;
    return operand;
}

bool TFilterPattern::Relational(const TSegment& segment, QStringView text) const
{
    if (!segment.greater && !segment.less) return false;
    // The text is read as a number or a date at most once.
    const QString t = text.toString();
    std::optional<std::optional<double>> number;
    std::optional<std::optional<TDateTime>> date;
    const auto compare = [&](const TOperand& operand) {
        if (operand.number) {
            if (!number) {
                double v = 0;
                number = TryStrToFloat(t, v) ? std::optional<double>(v) : std::nullopt;
            }
            if (*number) return Sign(**number, *operand.number);
        }
        if (operand.date) {
            if (!date) {
                TDateTime v = 0;
                date = ParseShortDate(t, v, m_dateFormat, m_dateSeparator) ? std::optional<TDateTime>(v) : std::nullopt;
            }
            if (*date) return Sign(**date, *operand.date);
        }
        const int c = QStringView(t).left(255).compare(QStringView(operand.text).left(255));
        return Sign(c, 0);
    };
    if (segment.greater) {
        const int c = compare(*segment.greater);
        if (segment.greater->inclusive ? c >= 0 : c > 0) return true;
    }
    if (segment.less) {
        const int c = compare(*segment.less);
        if (segment.less->inclusive ? c <= 0 : c < 0) return true;
    }
    return false;
}

bool TFilterPattern::MatchSegment(const TSegment& segment, QStringView text, qsizetype from,
                                  const std::vector<char>* nextTail) const
{
    if (Relational(segment, text.mid(from))) return true;
    const qsizetype n = m_pattern.size();
    const qsizetype m = text.size();
    bool negate = false;
    qsizetype p = segment.start;
    qsizetype t = from;
    bool result = false;
    for (;;) {
        if (p >= n) {
            result = t >= m;
            break;
        }
        const QChar c = m_pattern[p];
        if (c == u'*') {
            // The tail after the stars, tried from every position of the rest.
            result = (*nextTail)[size_t(t)] != 0;
            break;
        }
        if (c == u'"') {
            ++p;
            continue;
        }
        if (t >= m) {
            result = false;
            break;
        }
        if (c == u'!') {
            negate = true;
            ++p;
        } else if (c == u'?' || c == text[t]) {
            ++p;
            ++t;
        } else {
            result = false;
            break;
        }
    }
    return negate != result;
}

bool TFilterPattern::Match(QStringView text) const
{
    if (m_segments.size() == 1) return MatchSegment(m_segments[0], text, 0, nullptr);
    // tail[k]: the segment after the current one matches from some position
    // at or after k. Built from the last segment back to the second.
    const size_t m = size_t(text.size());
    std::vector<char> tail(m + 2, 0);
    std::vector<char> current(m + 2, 0);
    for (size_t s = m_segments.size() - 1; s >= 1; --s) {
        const std::vector<char>* next = s + 1 < m_segments.size() ? &tail : nullptr;
        current[m + 1] = 0;
        for (size_t k = m + 1; k-- > 0;)
            current[k] = char(current[k + 1] || MatchSegment(m_segments[s], text, qsizetype(k), next));
        tail.swap(current);
    }
    return MatchSegment(m_segments[0], text, 0, &tail);
}

bool MatchPattern(const QString& pattern, const QString& text) { return TFilterPattern(pattern).Match(text); }
