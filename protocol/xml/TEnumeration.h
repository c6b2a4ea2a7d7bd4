#pragma once
// The allowed values of an enumerated or NOTATION attribute (node type 23):
// plain nodes of type 24 whose names are the values.

#include "protocol/xml/TNodeList.h"
#include "protocol/xml/TXMLNode.h"

class TEnumeration : public TXMLNode {
public:
    explicit TEnumeration(TXMLDocument* document);
    ~TEnumeration() override;

    TNodeList* OwnedList() const override { return const_cast<TNodeList*>(&m_values); }
    TNodeList& Values() { return m_values; }
    const TNodeList& Values() const { return m_values; }

    void AddValue(const QString& value);
    bool Contains(const QString& value) const;

    // " (" + the values separated by "|" + ")".
    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;

private:
    TNodeList m_values;
};
