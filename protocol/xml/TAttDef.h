#pragma once
// One attribute definition of an ATTLIST declaration (node type 9): its
// type, its default and, for NOTATION and enumerated types, the allowed
// values (owned).

#include "protocol/xml/DTDTypes.h"
#include "protocol/xml/TXMLNode.h"

#include <memory>

class TEnumeration;
class TErrorsList;
class TXMLAttr;
class TXMLElement;

class TAttDef : public TXMLNode {
public:
    TAttDef(const QString& name, TXMLDocument* document);
    ~TAttDef() override;

    TAttType AttType = atCDATA;
    TDefaultKind DefaultKind = dkImplied;
    QString DefaultValue;

    TEnumeration* Enumeration() const { return m_enumeration.get(); }
    // Starts a new, empty enumeration (owned).
    TEnumeration* NewEnumeration();

    // The checks of one attribute of element that this definition declares.
    void CheckValue(TXMLAttr* attribute, TXMLElement* element, TErrorsList& errors) const;

    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;

    // The type keyword of a definition ("CDATA", ... , "(" for an
    // enumeration), any case; false for other text.
    static bool TypeFromText(const QString& text, TAttType& type);

protected:
    void OwnerDocumentChanged() override;

private:
    std::unique_ptr<TEnumeration> m_enumeration;
};
