#pragma once
// One comparable sale of a comps answer: the answer element whose child
// elements are the record's fields (names chosen by the server, for example
// "use_rec"). It refers to a node of the connection's document.

#include <QString>

class TXMLElement;

class TCompsRec {
public:
    explicit TCompsRec(TXMLElement* element) : m_element(element) { }

    TXMLElement* Element() const { return m_element; }
    // The text of the first child element of that name; empty when there is
    // none or it has no text.
    QString GetValue(const QString& name) const;
    // Makes value the whole text of the first child element of that name,
    // creating the text node, and the element at the end of the record,
    // when missing.
    void SetValue(const QString& name, const QString& value);

private:
    TXMLElement* m_element;
};
