#pragma once
// A general entity reference: the five predefined names resolve to their
// characters, a declared entity to its replacement text.

#include "protocol/xml/TCustomReference.h"

class TGEntityReference : public TCustomReference {
public:
    TGEntityReference(const QString& name, TXMLDocument* document);
    ~TGEntityReference() override;
    bool Resolve() override;
};
