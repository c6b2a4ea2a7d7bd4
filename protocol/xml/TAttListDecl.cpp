#include "protocol/xml/TAttListDecl.h"

#include "platform/core/Format.h"
#include "protocol/xml/TAttDef.h"
#include "protocol/xml/TErrorsList.h"
#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLOutput.h"

TAttListDecl::TAttListDecl(const QString& elementName, TXMLDocument* document)
    : TXMLNode(elementName, document, nt::AttList), m_definitions(document, this)
{ }

TAttListDecl::~TAttListDecl() = default;

TAttDef* TAttListDecl::Definition(const QString& name) const
{
    return static_cast<TAttDef*>(m_definitions.getNamedItem(name, nt::AttDef));
}

bool TAttListDecl::AddDefinition(TAttDef* definition)
{
    if (Definition(definition->getNodeName())) return false;
    m_definitions.setNamedItem(definition);
    return true;
}

void TAttListDecl::CheckRequired(TXMLElement* element, TErrorsList& errors) const
{
    for (TXMLNode* n = m_definitions.getFirstOfType(nt::AttDef); n; n = n->nextSameTypeSibling()) {
        const auto* def = static_cast<const TAttDef*>(n);
        if (def->DefaultKind == dkRequired && !element->getAttributeNode(def->getNodeName()))
            errors.Add(Format(QStringLiteral("[Element: \"%s\" Attribute: \"%s\"]: Element does not contain #REQUIRED "
                                             "attribute."),
                              {element->getTagName(), def->getNodeName()}),
                       element);
    }
}

void TAttListDecl::WriteTo(TXMLOutput& out, int indent) const
{
    out.AppendSpaces(indent);
    out.Append("<!ATTLIST ");
    out.Append(getNodeName());
    for (TXMLNode* n = m_definitions.first(); n; n = n->nextSibling()) n->WriteTo(out, indent);
    out.Append(u'>');
    out.AppendCRLF();
}

TXMLNode* TAttListDecl::CloneNode() const
{
    auto* copy = new TAttListDecl(getNodeName(), getOwnerDocument());
    copy->setNodeValue(getNodeValue());
    return copy;
}
