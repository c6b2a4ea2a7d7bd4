#pragma once
// A comment (node type 5).

#include "protocol/xml/TXMLText.h"

class TXMLComment : public TXMLText {
public:
    TXMLComment(const QString& value, TXMLDocument* document);
    ~TXMLComment() override;

    void Expand() override { }
    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;
};
