#pragma once
// A growable 16-bit string used while scanning, escaping and writing. It
// grows geometrically (at least by 1,024 characters), so appending is
// amortized constant and never reallocates per character.

#include <QString>
#include <QStringView>

#include <algorithm>

class TStringBuffer {
public:
    explicit TStringBuffer(qsizetype initialCapacity = 1024);

    void Append(char16_t c)
    {
        if (m_pos == m_cap) Grow(1);
        m_data[m_pos++] = c;
    }
    void Append(QChar c) { Append(c.unicode()); }
    void Append(QStringView s)
    {
        const qsizetype n = s.size();
        if (m_cap - m_pos < n) Grow(n);
        if (n) std::copy_n(s.utf16(), n, m_data + m_pos);
        m_pos += n;
    }
    // ASCII text.
    void AppendLatin1(const char* s, qsizetype n)
    {
        if (m_cap - m_pos < n) Grow(n);
        for (qsizetype i = 0; i < n; ++i) m_data[m_pos + i] = char16_t(uint8_t(s[i]));
        m_pos += n;
    }
    void AppendRepeated(char16_t c, qsizetype n)
    {
        if (n <= 0) return;
        if (m_cap - m_pos < n) Grow(n);
        std::fill_n(m_data + m_pos, n, c);
        m_pos += n;
    }
    // Room for n more characters; returns where they go. Commit(n) after
    // writing them.
    char16_t* Reserve(qsizetype n)
    {
        if (m_cap - m_pos < n) Grow(n);
        return m_data + m_pos;
    }
    void Commit(qsizetype n) { m_pos += n; }

    qsizetype Length() const { return m_pos; }
    const char16_t* Data() const { return m_data; }
    QStringView View() const { return QStringView(m_data, m_pos); }
    // The characters written so far (a copy).
    QString Text() const { return QString(reinterpret_cast<const QChar*>(m_data), m_pos); }
    // The characters written so far, leaving the buffer empty.
    QString Take();
    void Clear() { m_pos = 0; }

private:
    void Grow(qsizetype needed);

    QString m_store;
    char16_t* m_data = nullptr;
    qsizetype m_pos = 0;
    qsizetype m_cap = 0;
};
