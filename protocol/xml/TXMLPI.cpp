#include "protocol/xml/TXMLPI.h"

#include "protocol/xml/TXMLOutput.h"

TXMLPI::TXMLPI(const QString& target, const QString& data, TXMLDocument* document)
    : TXMLNode(target, data, document, 6, TNameCheck::Checked)
{ }

TXMLPI::~TXMLPI() = default;

void TXMLPI::WriteTo(TXMLOutput& out, int indent) const
{
    out.NewLine(indent);
    out.Append("<?");
    out.Append(getNodeName());
    out.Append(u' ');
    out.Append(getNodeValue());
    out.Append("?>");
    out.LastWasText = false;
}

TXMLNode* TXMLPI::CloneNode() const { return new TXMLPI(getNodeName(), getNodeValue(), getOwnerDocument()); }
