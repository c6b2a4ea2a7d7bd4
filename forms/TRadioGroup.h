#pragma once
// The class library's radio group: a captioned box of radio buttons built
// from a list of item texts, one column; ItemIndex is the checked item (-1:
// none). Setting the items leaves none checked; setting the index by code
// fires no event, a click by the user fires OnClick.

#include <QGroupBox>
#include <QStringList>
#include <functional>

class QButtonGroup;

class TRadioGroup : public QGroupBox {
public:
    TRadioGroup(QWidget* parent, const QString& name, const QString& caption);

    QStringList Items() const { return m_items; }
    void SetItems(const QStringList& items);
    int ItemIndex() const;
    void SetItemIndex(int index);

    std::function<void(QObject* sender)> OnClick;

private:
    QButtonGroup* m_group = nullptr;
    QStringList m_items;
};
