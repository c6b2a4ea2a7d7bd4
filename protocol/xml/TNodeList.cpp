#include "protocol/xml/TNodeList.h"

#include "protocol/xml/EDOMException.h"
#include "protocol/xml/TXMLNode.h"

#include <QHash>
#include <QVarLengthArray>

#include <algorithm>

// Every indexed node of the list by type and name, each name's nodes in list
// order.
struct TNodeNameIndex {
    struct Key {
        uint8_t type;
        QString name;
        bool operator==(const Key& other) const { return type == other.type && name == other.name; }
    };
    friend size_t qHash(const Key& key, size_t seed = 0) { return qHash(key.name, seed) ^ key.type; }
    QHash<Key, QVarLengthArray<TXMLNode*, 1>> nodes;
};

namespace {
// Below this many indexed nodes a walk is as fast as a hash.
constexpr int kIndexFrom = 12;
} // namespace

TNodeList::TNodeList(TXMLDocument* ownerDocument, TXMLNode* ownerNode)
    : m_ownerNode(ownerNode), m_ownerDocument(ownerDocument)
{ }

TNodeList::~TNodeList() { Clear(); }

TNodeNameIndex* TNodeList::Index() const
{
    if (m_index) return m_index.get();
    if (m_indexedCount < kIndexFrom) return nullptr;
    m_index = std::make_unique<TNodeNameIndex>();
    m_index->nodes.reserve(m_indexedCount);
    for (TXMLNode* n = m_first; n; n = n->m_next)
        if (IsIndexedType(n->m_type)) m_index->nodes[{n->m_type, *n->m_name}].append(n);
    return m_index.get();
}

void TNodeList::DropIndex() const { m_index.reset(); }

void TNodeList::Renamed(TXMLNode* node)
{
    if (IsIndexedType(node->m_type)) DropIndex();
}

void TNodeList::Clear()
{
    // Every node of the list and of the lists they own is gathered into one
    // chain (through the next links) and deleted from its head: no
    // recursion on siblings or on depth.
    TXMLNode* chain = m_first;
    m_first = m_last = nullptr;
    m_count = m_attributeCount = m_indexedCount = 0;
    m_index.reset();
    while (chain) {
        TXMLNode* n = chain;
        chain = n->m_next;
        if (TNodeList* owned = n->OwnedList(); owned && owned->m_first) {
            owned->m_last->m_next = chain;
            chain = owned->m_first;
            owned->m_first = owned->m_last = nullptr;
            owned->m_count = owned->m_attributeCount = owned->m_indexedCount = 0;
            owned->m_index.reset();
        }
        n->m_parentList = nullptr;
        n->m_next = n->m_prev = nullptr;
        delete n;
    }
}

TXMLNode* TNodeList::getFirstOfType(uint8_t type) const
{
    TXMLNode* n = m_first;
    if (type == 0) return n;
    if (type == 2 && m_attributeCount == 0) return nullptr;
    while (n && n->m_type != type) n = n->m_next;
    return n;
}

TXMLNode* TNodeList::getNamedItem(const QString& name, uint8_t type) const
{
    if (IsIndexedType(type))
        if (const TNodeNameIndex* index = Index()) {
            const auto it = index->nodes.constFind({type, name});
            return it == index->nodes.cend() ? nullptr : it->front();
        }
    if (type == 2) {
        // Attributes: stop after the last one instead of walking the children.
        int left = m_attributeCount;
        for (TXMLNode* n = m_first; n && left > 0; n = n->m_next) {
            if (n->m_type != 2) continue;
            if (*n->m_name == name) return n;
            --left;
        }
        return nullptr;
    }
    for (TXMLNode* n = getFirstOfType(type); n; n = n->nextSameTypeSibling())
        if (*n->m_name == name) return n;
    return nullptr;
}

TXMLNode* TNodeList::nextNamedItem(const TXMLNode* node) const
{
    if (!node || node->m_parentList != this) return nullptr;
    if (IsIndexedType(node->m_type))
        if (const TNodeNameIndex* index = Index()) {
            const auto it = index->nodes.constFind({node->m_type, *node->m_name});
            if (it == index->nodes.cend()) return nullptr;
            const auto at = std::find(it->cbegin(), it->cend(), node);
            return (at == it->cend() || at + 1 == it->cend()) ? nullptr : *(at + 1);
        }
    for (TXMLNode* n = node->nextSameTypeSibling(); n; n = n->nextSameTypeSibling())
        if (*n->m_name == *node->m_name) return n;
    return nullptr;
}

TXMLNode* TNodeList::item(int index, uint8_t type) const
{
    if (index < 1) return nullptr;
    TXMLNode* n = getFirstOfType(type);
    for (int i = 1; n && i < index; ++i) n = n->nextSameTypeSibling();
    return n;
}

int TNodeList::getLength() const
{
    int count = 0;
    for (TXMLNode* n = m_first; n; n = n->nextSameTypeSibling()) ++count;
    return count;
}

TXMLNode* TNodeList::removeChild(TXMLNode* node)
{
    if (!node)
        throw EDOMException(EDOMException::INVALID_POINTER_ERR,
                            QStringLiteral("TNodeList.removeChild: you are trying to remove not exist child"));
    if (node->m_parentList != this)
        throw EDOMException(EDOMException::INVALID_POINTER_ERR,
                            QStringLiteral("TNodeList.removeChild: you are trying to remove child out of list."));
    if (node->m_prev)
        node->m_prev->m_next = node->m_next;
    else
        m_first = node->m_next;
    if (node->m_next)
        node->m_next->m_prev = node->m_prev;
    else
        m_last = node->m_prev;
    node->m_prev = node->m_next = nullptr;
    node->m_parentList = nullptr;
    --m_count;
    if (node->m_type == 2) --m_attributeCount;
    if (IsIndexedType(node->m_type)) {
        --m_indexedCount;
        if (m_index) {
            const auto it = m_index->nodes.find({node->m_type, *node->m_name});
            if (it != m_index->nodes.end()) {
                it->removeOne(node);
                if (it->isEmpty()) m_index->nodes.erase(it);
            }
        }
    }
    return node;
}

TXMLNode* TNodeList::removeNamedItem(const QString& name, uint8_t type)
{
    TXMLNode* n = getNamedItem(name, type);
    return n ? removeChild(n) : nullptr;
}

void TNodeList::CheckInsert(TXMLNode* node, TXMLNode* reference, Op op) const
{
    static const char* const kWhere[3] = {"TNamedNodeMap.setNamedItem", "TNodeList.insertBefore",
                                          "TNodeList.insertAfter"};
    // Built only on the way to an error: inserting is on every parse's path.
    auto where = [op] { return QString::fromLatin1(kWhere[int(op)]); };
    if (!node) throw EDOMException(EDOMException::INVALID_POINTER_ERR, where() + QStringLiteral(": no node given"));
    if (node->m_parentList) {
        if (op == Op::SetNamedItem)
            throw EDOMException(EDOMException::INUSE_ATTRIBUTE_ERR,
                                QStringLiteral("TNamedNodeMap.setNamedItem: attribute \"") + *node->m_name +
                                    QStringLiteral("\" already in use (use clone)"));
        throw EDOMException(EDOMException::INUSE_ATTRIBUTE_ERR,
                            where() + QStringLiteral(": attribute already in use (use clone)"));
    }
    if (reference && reference->m_parentList != this)
        throw EDOMException(EDOMException::NOT_FOUND_ERR,
                            where() + QStringLiteral(": the reference node is not in this list"));
    // A node can only contain the list's owner when it owns nodes itself (or
    // is the owner): the walk up is skipped for fresh leaves.
    if (m_ownerNode) {
        const TNodeList* owned = node->OwnedList();
        if (node == m_ownerNode || (owned && owned->m_first && node->IsAncestorOf(m_ownerNode)))
            throw EDOMException(EDOMException::HIERARCHY_REQUEST_ERR,
                                where() + QStringLiteral(": a node can not be inserted into itself or its descendant"));
    }
}

void TNodeList::Link(TXMLNode* node, TXMLNode* before)
{
    node->m_parentList = this;
    ++m_count;
    if (node->m_type == 2) ++m_attributeCount;
    if (IsIndexedType(node->m_type)) {
        ++m_indexedCount;
        // Appended nodes come last among their namesakes; one linked in
        // between would have to be placed among them: the index goes.
        if (m_index) {
            if (before)
                m_index.reset();
            else
                m_index->nodes[{node->m_type, *node->m_name}].append(node);
        }
    }
    if (before) {
        node->m_next = before;
        node->m_prev = before->m_prev;
        if (before->m_prev)
            before->m_prev->m_next = node;
        else
            m_first = node;
        before->m_prev = node;
    } else {
        node->m_prev = m_last;
        node->m_next = nullptr;
        if (m_last)
            m_last->m_next = node;
        else
            m_first = node;
        m_last = node;
    }
    if (node->m_ownerDocument != m_ownerDocument && m_ownerDocument) node->setOwnerDocumentDeep(m_ownerDocument);
}

TXMLNode* TNodeList::insertBefore(TXMLNode* node, TXMLNode* reference)
{
    CheckInsert(node, reference, Op::InsertBefore);
    Link(node, reference);
    return node;
}

TXMLNode* TNodeList::insertAfter(TXMLNode* node, TXMLNode* reference)
{
    CheckInsert(node, reference, Op::InsertAfter);
    Link(node, reference ? reference->m_next : nullptr);
    return node;
}

TXMLNode* TNodeList::setNamedItem(TXMLNode* node)
{
    CheckInsert(node, nullptr, Op::SetNamedItem);
    Link(node, nullptr);
    return node;
}
