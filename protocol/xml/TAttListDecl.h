#pragma once
// An attribute-list declaration (node type 18): the element's name and its
// attribute definitions, in the order declared.

#include "protocol/xml/TNodeList.h"
#include "protocol/xml/TXMLNode.h"

class TAttDef;
class TErrorsList;
class TXMLElement;

class TAttListDecl : public TXMLNode {
public:
    TAttListDecl(const QString& elementName, TXMLDocument* document);
    ~TAttListDecl() override;

    TNodeList* OwnedList() const override { return const_cast<TNodeList*>(&m_definitions); }
    TNodeList& Definitions() { return m_definitions; }
    const TNodeList& Definitions() const { return m_definitions; }

    TAttDef* Definition(const QString& name) const;
    // Appends the definition unless one of that name exists (the first
    // definition counts); tells whether it was added.
    bool AddDefinition(TAttDef* definition);

    // "[Element: ... Attribute: ...]: Element does not contain #REQUIRED
    // attribute." for each required definition the element lacks.
    void CheckRequired(TXMLElement* element, TErrorsList& errors) const;

    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;

private:
    TNodeList m_definitions;
};
