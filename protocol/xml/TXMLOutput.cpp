#include "protocol/xml/TXMLOutput.h"

TXMLOutput::TXMLOutput(bool formated, qsizetype initialCapacity)
    : Formated(formated), m_buffer(initialCapacity)
{
}

void TXMLOutput::AppendEscaped(QStringView s, TEscapeSet set)
{
    const char16_t* p = s.utf16();
    const qsizetype n = s.size();
    qsizetype run = 0;
    for (qsizetype i = 0; (i = FindEscapeCandidate(p, i, n)) < n; ++i) {
        const char16_t c = p[i];
        if (c == u'<' && set == esEntityValue) continue;
        if (c == u'"' && set == esText) continue;
        if (c == u'&' && IsReferenceAt(s, i)) continue;
        m_buffer.Append(QStringView(p + run, i - run));
        m_buffer.Append(EntityOf(c));
        run = i + 1;
    }
    m_buffer.Append(QStringView(p + run, n - run));
}
