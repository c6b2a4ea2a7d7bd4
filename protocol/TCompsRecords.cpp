#include "protocol/TCompsRecords.h"

#include "platform/core/Exception.h"
#include "protocol/TvxpDocument.h"

TCompsRecords::TCompsRecords() = default;

TCompsRecords::~TCompsRecords() = default;

void TCompsRecords::Clear()
{
    m_list.clear();
    m_eof = true;
    m_bof = true;
}

void TCompsRecords::SetSource(const TvxpDocument* document)
{
    m_source = document;
    m_hasSource = document != nullptr;
    m_generation = document ? document->TreeGeneration() : 0;
}

bool TCompsRecords::Stale() const
{
    if (!m_hasSource) return false;
    return !m_source || m_source->TreeGeneration() != m_generation;
}

int TCompsRecords::Count() const { return Stale() ? 0 : int(m_list.size()); }

void TCompsRecords::Add(TXMLElement* element)
{
    m_list.push_back(std::make_unique<TCompsRec>(element));
    m_index = int(m_list.size()) - 1;
}

void TCompsRecords::First()
{
    m_index = 0;
    m_bof = true;
    m_eof = Count() == 0;
}

void TCompsRecords::Next()
{
    if (m_index < LastIndex())
        ++m_index;
    else
        m_eof = true;
    m_bof = false;
}

TCompsRec& TCompsRecords::Rec(int index) const
{
    if (index < 0 || index >= Count()) throw EListError::IndexOutOfBounds(index);
    return *m_list[size_t(index)];
}

QString TCompsRecords::Field(const QString& name) const
{
    if (Count() == 0) return QString();
    return Rec(m_index).GetValue(name);
}

bool TCompsRecords::IsUsed(int index) const
{
    if (Count() == 0) return false;
    return Rec(index).GetValue(QStringLiteral("use_rec")) == QLatin1String("Y");
}

void TCompsRecords::SetUsed(int index, bool used)
{
    if (Count() == 0) return;
    Rec(index).SetValue(QStringLiteral("use_rec"), used ? QStringLiteral("Y") : QStringLiteral("N"));
}
