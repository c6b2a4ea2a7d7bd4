#pragma once
// A parameter-entity reference: resolves to the entity's text, expanded.

#include "protocol/xml/TCustomReference.h"

class TCustomEntityDecl;

class TPEntityReference : public TCustomReference {
public:
    TPEntityReference(const QString& name, TXMLDocument* document);
    ~TPEntityReference() override;
    bool Resolve() override;
    // The declaration the last Resolve used.
    TCustomEntityDecl* Declaration() const { return m_decl; }

private:
    TCustomEntityDecl* m_decl = nullptr;
};
