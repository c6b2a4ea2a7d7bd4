#include "protocol/xml/TXMLOutput.h"

TXMLOutput::TXMLOutput(bool formated, qsizetype initialCapacity) : Formated(formated), m_buffer(initialCapacity) { }

TXMLOutput::TXMLOutput(bool formated, TEncoding encoding, bool bigEndian, QByteArray* bytes)
    : Formated(formated), m_buffer(kFlushAt + 4096), m_bytes(bytes), m_encoding(encoding), m_bigEndian(bigEndian)
{ }

void TXMLOutput::Flush()
{
    if (!m_bytes) return;
    AppendWideToBytes(*m_bytes, m_buffer.View(), m_encoding, m_bigEndian);
    m_buffer.Clear();
}

void TXMLOutput::AppendRun(QStringView s)
{
    // A long run written to bytes goes straight into them.
    if (m_bytes && s.size() >= kFlushAt) {
        Flush();
        AppendWideToBytes(*m_bytes, s, m_encoding, m_bigEndian);
        return;
    }
    m_buffer.Append(s);
}

void TXMLOutput::AppendBytes(const char* s, qsizetype n)
{
    if (m_bytes && n >= kFlushAt) {
        AppendRun(QString::fromLatin1(s, n));
        return;
    }
    m_buffer.AppendLatin1(s, n);
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
        AppendRun(QStringView(p + run, i - run));
        m_buffer.Append(EntityOf(c));
        run = i + 1;
    }
    AppendRun(QStringView(p + run, n - run));
}

void TXMLOutput::AppendValue(QStringView s, TEscapeSet set, TXMLNode::TValueForm form, const TKeptReferences* kept)
{
    const bool attribute = set == esAttribute;
    if (form == TXMLNode::TValueForm::AsSet && !attribute) {
        AppendEscaped(s, set);
        return;
    }
    // A value set as it stands keeps whatever is shaped like a reference; a
    // value read keeps only the references it kept (an "&" that came from
    // "&amp;" is a character, whatever follows it), and of those only the
    // ones written as a reader takes them back.
    const bool asSet = form == TXMLNode::TValueForm::AsSet;
    const std::vector<qsizetype>* keptAt =
        form == TXMLNode::TValueForm::KeptReferences && kept ? kept->Positions() : nullptr;
    size_t nextKept = 0;
    const auto keptReference = [&](qsizetype i) {
        if (!keptAt) return false;
        while (nextKept < keptAt->size() && (*keptAt)[nextKept] < i) ++nextKept;
        return nextKept < keptAt->size() && (*keptAt)[nextKept] == i;
    };
    const char16_t* p = s.utf16();
    const qsizetype n = s.size();
    qsizetype run = 0;
    for (qsizetype i = 0; i < n; ++i) {
        // Text escapes only "&" and "<": skip to the next of them (or quote).
        if (!attribute && (i = FindEscapeCandidate(p, i, n)) == n) break;
        const char16_t c = p[i];
        if (c > u'<') continue;
        QStringView entity;
        switch (c) {
        case u'&':
            if ((asSet || keptReference(i)) && IsReferenceAt(s, i)) continue;
            entity = EntityOf(c);
            break;
        case u'<': entity = EntityOf(c); break;
        case u'"':
            if (!attribute) continue;
            entity = EntityOf(c);
            break;
        case u'\t':
            if (!attribute) continue;
            entity = u"&#9;";
            break;
        case u'\n':
            if (!attribute) continue;
            entity = u"&#10;";
            break;
        case u'\r':
            if (!attribute) continue;
            entity = u"&#13;";
            break;
        default: continue;
        }
        AppendRun(QStringView(p + run, i - run));
        m_buffer.Append(entity);
        run = i + 1;
    }
    AppendRun(QStringView(p + run, n - run));
}
