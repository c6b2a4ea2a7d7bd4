#include "protocol/xml/TStringBuffer.h"

TStringBuffer::TStringBuffer(qsizetype initialCapacity)
{
    m_cap = initialCapacity > 0 ? initialCapacity : 16;
    m_store.resize(m_cap);
    m_data = reinterpret_cast<char16_t*>(m_store.data());
}

void TStringBuffer::Grow(qsizetype needed)
{
    qsizetype cap = m_cap + (m_cap > 1024 ? m_cap : 1024);
    if (cap < m_pos + needed) cap = m_pos + needed + 1024;
    m_store.resize(cap);
    m_data = reinterpret_cast<char16_t*>(m_store.data());
    m_cap = cap;
}

QString TStringBuffer::Take()
{
    m_store.truncate(m_pos);
    QString out = std::move(m_store);
    m_store = QString();
    m_cap = 16;
    m_store.resize(m_cap);
    m_data = reinterpret_cast<char16_t*>(m_store.data());
    m_pos = 0;
    return out;
}
