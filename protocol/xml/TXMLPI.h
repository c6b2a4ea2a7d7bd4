#pragma once
// A processing instruction (node type 6): name = target, value = data.
// TXMLDocument::createProcessingInstruction makes them.

#include "protocol/xml/TXMLNode.h"

class TXMLPI : public TXMLNode {
public:
    // The target must be a valid name (code 5).
    TXMLPI(const QString& target, const QString& data, TXMLDocument* document);
    ~TXMLPI() override;

    const QString& getTarget() const { return getNodeName(); }
    const QString& getData() const { return getNodeValue(); }

    void Expand() override { }
    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;
};
