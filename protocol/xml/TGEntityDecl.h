#pragma once
// A general entity declaration; unparsed when it names a notation (NDATA).

#include "protocol/xml/TCustomEntityDecl.h"

class TErrorsList;

class TGEntityDecl : public TCustomEntityDecl {
public:
    TGEntityDecl(const QString& name, TXMLDocument* document);
    ~TGEntityDecl() override;

    bool IsParameter() const override { return false; }

    bool IsUnparsed = false;

    // "[Unparsed entity declaration: ...]: Notation name ... is not
    // declared." when the notation is missing.
    void CheckNotation(TErrorsList& errors);

    TXMLNode* CloneNode() const override;
};
