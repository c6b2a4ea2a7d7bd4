#pragma once
// The report pages of the login answer with the user's choices.

#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

struct TReportPageRec {
    int Id = 0; // the page's numeric id
    QString Name;
    bool Selected = false;
    qint16 Order = 0; // the position in the report
};

class TReportPageList {
public:
    int Count() const { return int(m_items.size()); }
    // The page at index; raises EListError outside the list.
    TReportPageRec& Items(int index);
    const TReportPageRec& Items(int index) const;

    // Appends a page, selected when the flag is "Y"; returns its index.
    int AddPage(int id, qint16 order, const QString& name, const QString& selectedFlag);
    // Whether some page with this id is listed and selected.
    bool IsPageOn(int id) const;
    // Stable sort by Order, ascending.
    void SortByOrder();
    void Clear() { m_items.clear(); }

private:
    std::vector<TReportPageRec> m_items;
};
