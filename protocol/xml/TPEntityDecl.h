#pragma once
// A parameter entity declaration ("<!ENTITY % name ...>").

#include "protocol/xml/TCustomEntityDecl.h"

class TPEntityDecl : public TCustomEntityDecl {
public:
    TPEntityDecl(const QString& name, TXMLDocument* document);
    ~TPEntityDecl() override;

    bool IsParameter() const override { return true; }

    TXMLNode* CloneNode() const override;
};
