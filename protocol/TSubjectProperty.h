#pragma once
// The connection that finds a property: "prop.search" with the values typed
// into the search form (answered by "prop.list" or "prop.data") and
// "prop.get" for one chosen property (answered by "prop.data"). It reads the
// values from the text fields bound to it, keeps a history of the distinct
// searches made, and reads the answer: the text of a named element and the
// sold price.

#include "protocol/TSearchRec.h"
#include "protocol/TTextField.h"
#include "protocol/TvxCustomConnection.h"

#include <QPointer>
#include <vector>

class TSubjectProperty : public TvxCustomConnection {
public:
    explicit TSubjectProperty(QObject* owner = nullptr);
    ~TSubjectProperty() override;

    // The bound fields; a field that is destroyed is forgotten. FieldCounty
    // is only stored.
    QPointer<TTextField> FieldStreetDir;
    QPointer<TTextField> FieldCounty;
    QPointer<TTextField> FieldStreetSuffix;
    QPointer<TTextField> FieldStreetUnit;
    QPointer<TTextField> FieldApn;
    QPointer<TTextField> FieldMls;
    QPointer<TTextField> FieldFirstName;
    QPointer<TTextField> FieldLastName;
    QPointer<TTextField> FieldStreetName;
    QPointer<TTextField> FieldStreetNumber;
    QPointer<TTextField> FieldCity;
    QPointer<TTextField> FieldState;
    QPointer<TTextField> FieldZip;

    // The current search values.
    TSearchRec Values;

    // Sends "prop.search"; the answer's type ("prop.list" or "prop.data"),
    // empty after a "message" answer.
    QString Search(qint32 County, qint32 UserId);
    // Sends "prop.get"; the answer stays in the document.
    void GetProperty(qint32 County, qint32 Parcel, qint32 Order, qint32 UserId);

    // The text of the answer element's first child element of that name;
    // empty when there is none or it has no text.
    QString ElementText(const QString& Name) const;
    // The price of the first recorded transaction ("$" and "," removed), 0
    // when there is none or it is not a number.
    qint32 SoldPrice() const;

    // The bound fields' trimmed texts into Values (unbound fields leave
    // their values), and back.
    void ReadFields();
    void WriteFields();
    // Empties Values and the fields; the history stays.
    void Clear();
    void HistoryBack();
    void HistoryForward();

    const std::vector<TSearchRec>& History() const { return m_history; }
    int HistoryIndex() const { return m_historyIndex; }

private:
    void AddToHistory();

    std::vector<TSearchRec> m_history;
    int m_historyIndex = 0;
};
