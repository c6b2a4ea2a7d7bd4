#include "protocol/xml/TNotation.h"

#include "protocol/xml/DTDWriting_p.h"

TNotation::TNotation(const QString& name, TXMLDocument* document) : TExternalNode(name, document, nt::Notation) { }

TNotation::~TNotation() = default;

void TNotation::WriteTo(TXMLOutput& out, int indent) const
{
    out.AppendSpaces(indent);
    out.Append("<!NOTATION ");
    out.Append(getNodeName());
    if (!PublicId.isEmpty()) {
        out.AppendCRLF();
        out.AppendSpaces(indent + 10);
        out.Append("PUBLIC ");
        AppendDTDLiteral(out, PublicId);
        if (!SystemId.isEmpty()) {
            out.Append(u' ');
            AppendDTDLiteral(out, SystemId);
        }
    } else if (!SystemId.isEmpty()) {
        out.AppendCRLF();
        out.AppendSpaces(indent + 10);
        out.Append("SYSTEM ");
        AppendDTDLiteral(out, SystemId);
    }
    out.Append(u'>');
    out.AppendCRLF();
}

TXMLNode* TNotation::CloneNode() const
{
    auto* copy = new TNotation(getNodeName(), getOwnerDocument());
    copy->setNodeValue(getNodeValue());
    copy->SystemId = SystemId;
    copy->PublicId = PublicId;
    return copy;
}
