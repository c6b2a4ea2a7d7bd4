#pragma once
// A CDATA section (node type 4); its data is written as it stands.

#include "protocol/xml/TXMLText.h"

class TXMLCData : public TXMLText {
public:
    TXMLCData(const QString& value, TXMLDocument* document);
    ~TXMLCData() override;

    void Expand() override { }
    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;
};
