#pragma once
// A character reference ("#233", "#xE9"): always resolves to one character
// ("_" and listed when the number is no XML character).

#include "protocol/xml/TCustomReference.h"

class TCharReference : public TCustomReference {
public:
    TCharReference(const QString& name, TXMLDocument* document);
    ~TCharReference() override;
    bool Resolve() override;
};
