#pragma once
// A popup menu of the class library, shown through the dialog layer (so that
// tests choose its entries): captions by position, "-" for a separator, and
// an event fired with the chosen entry. A QObject, so that the controls it
// is assigned to hold it by a guarded pointer and forget it when it goes.

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <functional>

class QWidget;

class TPopupMenu : public QObject {
    Q_OBJECT
public:
    explicit TPopupMenu(QObject* parent = nullptr) : QObject(parent) { }
    explicit TPopupMenu(const QStringList& items, QObject* parent = nullptr) : QObject(parent), m_items(items) { }

    const QStringList& Items() const { return m_items; }
    void SetItems(const QStringList& items) { m_items = items; }
    void Add(const QString& caption) { m_items.append(caption); }
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }

    // Shows the menu at a screen point; fires OnClick with the chosen index
    // and returns it, or -1 when nothing was chosen.
    int Popup(const QPoint& screenPos, QWidget* owner = nullptr);

    std::function<void(QObject* sender, int index)> OnClick;

private:
    QStringList m_items;
};
