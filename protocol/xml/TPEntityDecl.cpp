#include "protocol/xml/TPEntityDecl.h"

TPEntityDecl::TPEntityDecl(const QString& name, TXMLDocument* document) : TCustomEntityDecl(name, document) { }

TPEntityDecl::~TPEntityDecl() = default;

TXMLNode* TPEntityDecl::CloneNode() const
{
    auto* copy = new TPEntityDecl(getNodeName(), getOwnerDocument());
    CopyTo(copy);
    return copy;
}
