#include "protocol/xml/TXMLNode.h"

#include "protocol/xml/EDOMException.h"
#include "protocol/xml/TNodeList.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLOutput.h"
#include "protocol/xml/XMLChars.h"
#include "protocol/xml/XMLExpand_p.h"

#include "platform/core/Format.h"

#include "protocol/xml/TNodeArena_p.h"

#include <utility>
#include <vector>

void* TXMLNode::operator new(size_t size) { return TNodeArena::Allocate(nullptr, size); }

void* TXMLNode::operator new(size_t size, TXMLDocument* document)
{
    return TNodeArena::Allocate(document ? document->NodeArena() : nullptr, size);
}

void TXMLNode::operator delete(void* p) { TNodeArena::Free(p); }

void TXMLNode::operator delete(void* p, TXMLDocument*) { TNodeArena::Free(p); }

namespace {

[[noreturn]] void InvalidName(const QString& name)
{
    throw EDOMException(
        EDOMException::INVALID_CHARACTER_ERR,
        Format(QStringLiteral("TXMLDocument.TXMLNode.Create(\"%s\"): invalid character(s) for name"), {name}));
}

} // namespace

TXMLNode::TXMLNode(const QString& name, TXMLDocument* ownerDocument, uint8_t nodeType, TNameCheck check)
    : m_name(nullptr), m_type(nodeType), m_ownerDocument(ownerDocument)
{
    if (check == TNameCheck::Checked && !IsValidName(name)) InvalidName(name);
    m_name = new QString(name);
}

TXMLNode::TXMLNode(const QString& name, const QString& value, TXMLDocument* ownerDocument, uint8_t nodeType,
                   TNameCheck check)
    : m_name(nullptr), m_value(value), m_type(nodeType), m_ownerDocument(ownerDocument)
{
    if (check == TNameCheck::Checked && !IsValidName(name)) InvalidName(name);
    m_name = new QString(name);
}

TXMLNode::TXMLNode(const QString& name, QString&& value, TXMLDocument* ownerDocument, uint8_t nodeType,
                   TNameCheck check)
    : m_name(nullptr), m_value(std::move(value)), m_type(nodeType), m_ownerDocument(ownerDocument)
{
    if (check == TNameCheck::Checked && !IsValidName(name)) InvalidName(name);
    m_name = new QString(name);
}

TXMLNode::TXMLNode(const QString* sharedName, TXMLDocument* ownerDocument, uint8_t nodeType, const char* raw,
                   qsizetype rawLength)
    : m_name(sharedName),
      m_raw(raw),
      m_rawLength(uint32_t(rawLength)),
      m_type(nodeType),
      m_ownsName(false),
      m_ownerDocument(ownerDocument)
{ }

TXMLNode::TXMLNode(const QString* sharedName, TXMLDocument* ownerDocument, uint8_t nodeType, QString value)
    : m_name(sharedName), m_value(std::move(value)), m_type(nodeType), m_ownsName(false), m_ownerDocument(ownerDocument)
{ }

void TXMLNode::MakeValue() const
{
    m_value = QString::fromLatin1(std::exchange(m_raw, nullptr), qsizetype(m_rawLength));
}

TXMLNode::~TXMLNode()
{
    if (m_parentList) m_parentList->removeChild(this);
    if (m_ownsName) delete m_name;
}

void TXMLNode::setNodeType(uint8_t type)
{
    if (m_parentList && type != m_type) {
        if ((m_type == 2) != (type == 2)) m_parentList->m_attributeCount += type == 2 ? 1 : -1;
        const bool was = TNodeList::IsIndexedType(m_type), is = TNodeList::IsIndexedType(type);
        if (was != is) m_parentList->m_indexedCount += is ? 1 : -1;
        m_parentList->DropIndex();
    }
    m_type = type;
}

void TXMLNode::setNodeName(const QString& name)
{
    if (m_ownsName) {
        *const_cast<QString*>(m_name) = name;
    } else {
        m_name = new QString(name);
        m_ownsName = true;
    }
    if (m_parentList) m_parentList->Renamed(this);
}

TXMLNode* TXMLNode::getParentNode() const { return m_parentList ? m_parentList->getOwnerNode() : nullptr; }

TXMLNode* TXMLNode::nextSameTypeSibling() const
{
    TXMLNode* n = m_next;
    while (n && n->m_type != m_type) n = n->m_next;
    return n;
}

TXMLNode* TXMLNode::previousSameTypeSibling() const
{
    TXMLNode* n = m_prev;
    while (n && n->m_type != m_type) n = n->m_prev;
    return n;
}

void TXMLNode::WriteTo(TXMLOutput& out, int /*indent*/) const
{
    out.Append(*m_name);
    out.Append(u' ');
    out.Append(getNodeValue());
    out.LastWasText = false;
}

void TXMLNode::Validate() { }

void TXMLNode::Expand()
{
    QString expanded = xmlexpand::ExpandDeclarationValue(getNodeValue(), m_ownerDocument);
    m_value = std::move(expanded);
}

TXMLNode* TXMLNode::CloneNode() const
{
    TXMLNode* copy = new TXMLNode(*m_name, m_ownerDocument, m_type, TNameCheck::Unchecked);
    copy->m_value = getNodeValue();
    return copy;
}

TXMLNode* TXMLNode::Clone() const
{
    TXMLNode* root = CloneNode();
    // Pairs of (original list, copy's list) still to fill, walked without
    // recursion.
    std::vector<std::pair<const TNodeList*, TNodeList*>> pending;
    if (TNodeList* src = OwnedList(); src && !src->isEmpty()) pending.emplace_back(src, root->OwnedList());
    try {
        while (!pending.empty()) {
            auto [src, dst] = pending.back();
            pending.pop_back();
            for (TXMLNode* n = src->first(); n; n = n->nextSibling()) {
                TXMLNode* copy = n->CloneNode();
                dst->setNamedItem(copy);
                if (TNodeList* l = n->OwnedList(); l && !l->isEmpty()) pending.emplace_back(l, copy->OwnedList());
            }
        }
    } catch (...) {
        delete root;
        throw;
    }
    return root;
}

void TXMLNode::setOwnerDocumentDeep(TXMLDocument* document)
{
    std::vector<TXMLNode*> pending{this};
    while (!pending.empty()) {
        TXMLNode* n = pending.back();
        pending.pop_back();
        n->m_ownerDocument = document;
        if (TNodeList* l = n->OwnedList()) {
            l->setOwnerDocument(document);
            for (TXMLNode* c = l->first(); c; c = c->m_next) pending.push_back(c);
        }
        n->OwnerDocumentChanged();
    }
}

bool TXMLNode::IsAncestorOf(const TXMLNode* node) const
{
    for (const TXMLNode* n = node; n; n = n->getParentNode())
        if (n == this) return true;
    return false;
}
