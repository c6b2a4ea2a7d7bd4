#include "protocol/xml/TXMLCData.h"

#include "protocol/xml/TXMLOutput.h"

namespace {
const QString& cdataName()
{
    static const QString name = QStringLiteral("#cdata-section");
    return name;
}
} // namespace

TXMLCData::TXMLCData(const QString& value, TXMLDocument* document) : TXMLText(&cdataName(), value, document, 4) { }

TXMLCData::~TXMLCData() = default;

void TXMLCData::WriteTo(TXMLOutput& out, int indent) const
{
    out.NewLine(indent);
    out.Append("<![CDATA[");
    out.Append(getNodeValue());
    out.Append("]]>");
    out.LastWasText = false;
}

TXMLNode* TXMLCData::CloneNode() const { return new TXMLCData(getNodeValue(), getOwnerDocument()); }
