#include "protocol/xml/TXMLNode.h"

#include "protocol/xml/EDOMException.h"
#include "protocol/xml/TNodeList.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLOutput.h"
#include "protocol/xml/XMLChars.h"
#include "protocol/xml/XMLExpand_p.h"

#include "platform/core/Format.h"

#include <mutex>
#include <new>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAMSEL_PLAIN_NODE_ALLOCATION 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TAMSEL_PLAIN_NODE_ALLOCATION 1
#endif

namespace {

#if !defined(TAMSEL_PLAIN_NODE_ALLOCATION)
// Blocks of 16-byte size classes up to 512 bytes, carved from chunks that
// live as long as the process; each thread keeps its own free lists.
constexpr size_t kClassCount = 33;
constexpr size_t kChunkSize = 256 * 1024;

struct FreeBlock {
    FreeBlock* next;
};

struct NodePool {
    FreeBlock* free[kClassCount] = {};
    char* cursor = nullptr;
    char* end = nullptr;
};

thread_local NodePool t_pool;

std::mutex& chunkMutex()
{
    static std::mutex m;
    return m;
}
std::vector<void*>& chunks()
{
    static std::vector<void*>* all = new std::vector<void*>();  // never freed: blocks outlive every static
    return *all;
}

void* newChunk()
{
    void* chunk = ::operator new(kChunkSize);
    std::lock_guard<std::mutex> lock(chunkMutex());
    chunks().push_back(chunk);
    return chunk;
}
#endif

} // namespace

void* TXMLNode::operator new(size_t size)
{
#if defined(TAMSEL_PLAIN_NODE_ALLOCATION)
    return ::operator new(size);
#else
    const size_t cls = (size + 15) >> 4;
    if (cls >= kClassCount) return ::operator new(size);
    NodePool& pool = t_pool;
    if (FreeBlock* b = pool.free[cls]) {
        pool.free[cls] = b->next;
        return b;
    }
    const size_t bytes = cls << 4;
    if (size_t(pool.end - pool.cursor) < bytes) {
        pool.cursor = static_cast<char*>(newChunk());
        pool.end = pool.cursor + kChunkSize;
    }
    void* p = pool.cursor;
    pool.cursor += bytes;
    return p;
#endif
}

void TXMLNode::operator delete(void* p, size_t size)
{
#if defined(TAMSEL_PLAIN_NODE_ALLOCATION)
    ::operator delete(p);
    (void)size;
#else
    if (!p) return;
    const size_t cls = (size + 15) >> 4;
    if (cls >= kClassCount) {
        ::operator delete(p);
        return;
    }
    auto* b = static_cast<FreeBlock*>(p);
    b->next = t_pool.free[cls];
    t_pool.free[cls] = b;
#endif
}

TXMLNode::TXMLNode(const QString& name, TXMLDocument* ownerDocument, uint8_t nodeType, TNameCheck check)
    : m_name(name), m_type(nodeType), m_ownerDocument(ownerDocument)
{
    if (check == TNameCheck::Checked && !IsValidName(name))
        throw EDOMException(EDOMException::INVALID_CHARACTER_ERR,
                            Format(QStringLiteral("TXMLDocument.TXMLNode.Create(\"%s\"): invalid character(s) for name"),
                                   {name}));
}

TXMLNode::TXMLNode(const QString& name, const QString& value, TXMLDocument* ownerDocument, uint8_t nodeType,
                   TNameCheck check)
    : m_name(name), m_value(value), m_type(nodeType), m_ownerDocument(ownerDocument)
{
    if (check == TNameCheck::Checked && !IsValidName(name))
        throw EDOMException(EDOMException::INVALID_CHARACTER_ERR,
                            Format(QStringLiteral("TXMLDocument.TXMLNode.Create(\"%s\"): invalid character(s) for name"),
                                   {name}));
}

TXMLNode::~TXMLNode()
{
    if (m_parentList) m_parentList->removeChild(this);
}

void TXMLNode::setNodeType(uint8_t type)
{
    if (m_parentList && (m_type == 2) != (type == 2)) m_parentList->m_attributeCount += type == 2 ? 1 : -1;
    m_type = type;
}

TXMLNode* TXMLNode::getParentNode() const
{
    return m_parentList ? m_parentList->getOwnerNode() : nullptr;
}

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
    out.Append(m_name);
    out.Append(u' ');
    out.Append(m_value);
    out.LastWasText = false;
}

void TXMLNode::Validate() {}

void TXMLNode::Expand()
{
    m_value = xmlexpand::ExpandDeclarationValue(m_value, m_ownerDocument);
}

TXMLNode* TXMLNode::CloneNode() const
{
    TXMLNode* copy = new TXMLNode(m_name, m_ownerDocument, m_type, TNameCheck::Unchecked);
    copy->m_value = m_value;
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
