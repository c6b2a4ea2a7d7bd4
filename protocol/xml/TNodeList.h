#pragma once
// The doubly linked list of a node's children. Linking a node makes the
// list's owner node its parent and moves it (with what it owns) to the list's
// document. The list owns its nodes and deletes them with itself, iteratively.
//
// Misuse raises EDOMException and changes nothing:
//  - a node already in a list: 10 (INUSE_ATTRIBUTE_ERR);
//  - a reference node that is not in this list: 8 (NOT_FOUND_ERR);
//  - a node that is the list's owner or one of its ancestors: 3
//    (HIERARCHY_REQUEST_ERR);
//  - removing none, a node in no list or in another list: 12.

#include <QString>
#include <cstdint>
#include <memory>

class TXMLNode;
class TXMLDocument;
struct TNodeNameIndex;

class TNodeList {
public:
    explicit TNodeList(TXMLDocument* ownerDocument = nullptr, TXMLNode* ownerNode = nullptr);
    ~TNodeList();
    TNodeList(const TNodeList&) = delete;
    TNodeList& operator=(const TNodeList&) = delete;

    TXMLNode* first() const { return m_first; }
    TXMLNode* last() const { return m_last; }
    TXMLNode* getOwnerNode() const { return m_ownerNode; }
    TXMLDocument* getOwnerDocument() const { return m_ownerDocument; }
    void setOwnerDocument(TXMLDocument* document) { m_ownerDocument = document; }
    bool isEmpty() const { return m_first == nullptr; }

    // The index-th node (1-based) of the type, following same-type siblings
    // from the first node of that type; none past the end.
    TXMLNode* item(int index, uint8_t type = 0) const;
    // The number of nodes reached from the first node by same-type siblings.
    int getLength() const;
    // The number of nodes in the list, of any type, and of attributes.
    int count() const { return m_count; }
    int attributeCount() const { return m_attributeCount; }

    // Unlinks and returns the node; the caller owns it again.
    TXMLNode* removeChild(TXMLNode* node);
    // Finds (getNamedItem) and removes; none when absent.
    TXMLNode* removeNamedItem(const QString& name, uint8_t type);

    // Links the node before / after the reference (at the end when the
    // reference is none). Returns the node.
    TXMLNode* insertBefore(TXMLNode* node, TXMLNode* reference);
    TXMLNode* insertAfter(TXMLNode* node, TXMLNode* reference);
    // Appends at the end. Returns the node.
    TXMLNode* setNamedItem(TXMLNode* node);

    // The first node of the type (type 0: the first node).
    TXMLNode* getFirstOfType(uint8_t type) const;
    // From the first node of the type along same-type siblings, the first
    // whose name equals name exactly.
    TXMLNode* getNamedItem(const QString& name, uint8_t type) const;
    // The next node after node of its type and exactly its name, or none.
    TXMLNode* nextNamedItem(const TXMLNode* node) const;
    // Whether named lookups of that type go through a hashed index once the
    // list is long: attributes and declarations (not elements, text and the
    // other content, which are walked).
    static bool IsIndexedType(uint8_t type) { return type == 2 || type >= 8; }

    // Deletes every node (and everything they own) without recursion.
    void Clear();

private:
    enum class Op { SetNamedItem, InsertBefore, InsertAfter };
    // The index of named lookups, built on the first lookup past a length
    // and kept up to date by appends; any other change drops it.
    TNodeNameIndex* Index() const;
    void DropIndex() const;
    void Renamed(TXMLNode* node);
    void CheckInsert(TXMLNode* node, TXMLNode* reference, Op op) const;
    void Link(TXMLNode* node, TXMLNode* before);

    friend class TXMLNode;
    // Links the nodes it has just made with Link alone: a new node of the
    // list's document, in no list and owning nothing, needs none of the
    // checks.
    friend class TXMLParser;

    TXMLNode* m_first = nullptr;
    TXMLNode* m_last = nullptr;
    // Kept so that walks over the attributes of a container with many
    // children stop after the last attribute.
    int m_count = 0;
    int m_attributeCount = 0;
    int m_indexedCount = 0;
    mutable std::unique_ptr<TNodeNameIndex> m_index;
    TXMLNode* m_ownerNode;
    TXMLDocument* m_ownerDocument;
};
