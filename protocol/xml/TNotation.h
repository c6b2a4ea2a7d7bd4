#pragma once
// A notation declaration (node type 11). A notation never loads anything.

#include "protocol/xml/TExternalNode.h"

class TNotation : public TExternalNode {
public:
    TNotation(const QString& name, TXMLDocument* document);
    ~TNotation() override;

    void LoadExternal() override { }
    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;
};
