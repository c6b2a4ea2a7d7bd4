#include "protocol/xml/TContainer.h"

#include "protocol/xml/EDOMException.h"
#include "protocol/xml/TXMLAttr.h"

TContainer::TContainer(const QString& name, TXMLDocument* ownerDocument, uint8_t nodeType, TNameCheck check)
    : TXMLNode(name, ownerDocument, nodeType, check), m_list(ownerDocument, this)
{ }

TContainer::TContainer(const QString* sharedName, TXMLDocument* ownerDocument, uint8_t nodeType)
    : TXMLNode(sharedName, ownerDocument, nodeType, nullptr, 0), m_list(ownerDocument, this)
{ }

TContainer::~TContainer() = default;

TXMLNode* TContainer::appendChild(TXMLNode* node) { return m_list.setNamedItem(node); }

TXMLNode* TContainer::removeChild(TXMLNode* node) { return m_list.removeChild(node); }

TXMLAttr* TContainer::setAttributeNode(TXMLAttr* attribute)
{
    if (!attribute)
        throw EDOMException(EDOMException::INVALID_POINTER_ERR,
                            QStringLiteral("TContainer.setAttributeNode: no attribute given"));
    if (getAttributeNode(attribute->getNodeName()))
        throw EDOMException(15,
                            QStringLiteral("TContainer.setAttributeNode: element already contains the attribute \"") +
                                attribute->getNodeName() + u'"');
    if (attribute->getParentList())
        throw EDOMException(EDOMException::INUSE_ATTRIBUTE_ERR,
                            QStringLiteral("TContainer.setAttributeNode: attribute already in use"));
    if (attribute->getOwnerDocument() != m_list.getOwnerDocument())
        throw EDOMException(EDOMException::WRONG_DOCUMENT_ERR,
                            QStringLiteral("TContainer.setAttributeNode: wrong document in attribute node"));
    m_list.setNamedItem(attribute);
    return attribute;
}

TXMLAttr* TContainer::getAttributeNode(const QString& name) const
{
    return static_cast<TXMLAttr*>(m_list.getNamedItem(name, 2));
}

TXMLAttr* TContainer::getFirstAttribute() const { return static_cast<TXMLAttr*>(m_list.getFirstOfType(2)); }

bool TContainer::hasContent() const
{
    if (m_list.count() == m_list.attributeCount()) return false;
    for (TXMLNode* n = m_list.first(); n; n = n->nextSibling()) {
        const uint8_t t = n->getNodeType();
        if (t == 1 || t == 3 || t == 4 || t == 5 || t == 6) return true;
    }
    return false;
}

void TContainer::OwnerDocumentChanged() { m_list.setOwnerDocument(getOwnerDocument()); }
