#include "protocol/xml/TEnumeration.h"

#include "protocol/xml/TXMLOutput.h"

TEnumeration::TEnumeration(TXMLDocument* document)
    : TXMLNode(QString(), document, nt::Enumeration, TNameCheck::Unchecked), m_values(document, this)
{ }

TEnumeration::~TEnumeration() = default;

void TEnumeration::AddValue(const QString& value)
{
    m_values.setNamedItem(new TXMLNode(value, getOwnerDocument(), nt::EnumerationValue, TNameCheck::Unchecked));
}

bool TEnumeration::Contains(const QString& value) const
{
    for (TXMLNode* n = m_values.first(); n; n = n->nextSibling())
        if (n->getNodeName() == value) return true;
    return false;
}

void TEnumeration::WriteTo(TXMLOutput& out, int /*indent*/) const
{
    out.Append(" (");
    for (TXMLNode* n = m_values.first(); n; n = n->nextSibling()) {
        if (n != m_values.first()) out.Append(u'|');
        out.Append(n->getNodeName());
    }
    out.Append(u')');
}

TXMLNode* TEnumeration::CloneNode() const
{
    auto* copy = new TEnumeration(getOwnerDocument());
    copy->setNodeValue(getNodeValue());
    return copy;
}
