#include "state/TReportPageList.h"

#include "platform/core/Exception.h"

#include <algorithm>

TReportPageRec& TReportPageList::Items(int index)
{
    if (index < 0 || index >= Count()) throw EListError::IndexOutOfBounds(index);
    return m_items[size_t(index)];
}

const TReportPageRec& TReportPageList::Items(int index) const
{
    if (index < 0 || index >= Count()) throw EListError::IndexOutOfBounds(index);
    return m_items[size_t(index)];
}

int TReportPageList::AddPage(int id, qint16 order, const QString& name, const QString& selectedFlag)
{
    TReportPageRec rec;
    rec.Id = id;
    rec.Order = order;
    rec.Name = name;
    rec.Selected = selectedFlag == QLatin1String("Y");
    m_items.push_back(std::move(rec));
    return Count() - 1;
}

bool TReportPageList::IsPageOn(int id) const
{
    return std::any_of(m_items.begin(), m_items.end(),
                       [id](const TReportPageRec& p) { return p.Id == id && p.Selected; });
}

void TReportPageList::SortByOrder()
{
    // Equal orders keep their relative position, as the passes of exchanges
    // of neighbours do.
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const TReportPageRec& a, const TReportPageRec& b) { return a.Order < b.Order; });
}
