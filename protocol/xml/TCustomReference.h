#pragma once
// A reference met in a value (node type 7): its name is the reference
// without "&" (or "%") and ";", its value the resolved text. What it refers
// to is fixed when it is made.

#include "protocol/xml/DTDTypes.h"
#include "protocol/xml/TXMLNode.h"

class TCustomReference : public TXMLNode {
public:
    TCustomReference(const QString& name, TXMLDocument* document, TRefKind kind);
    ~TCustomReference() override;

    TRefKind RefKind() const { return m_refKind; }
    // Resolves the reference into the value; false when it cannot be.
    virtual bool Resolve() = 0;

private:
    TRefKind m_refKind;
};
