#pragma once
// One node of the document model: name, value, node type and its links. A
// node belongs to one document and to at most one list (its parent's).
//
// Ownership: a node linked into a list is owned by that list's owner; a node
// that is not linked belongs to whoever holds it (a removed node goes back to
// the caller). Deleting a linked node unlinks it first. Deleting a node
// deletes the lists it owns (OwnedList) with every node in them, without
// recursion, however deep or long they are.
//
// Nodes the parser makes share their names (one string per name and
// document, kept by the document's arena) and may keep their value as the
// input bytes it was read from: the string is made on the first read of the
// value. Reading a value may thus change the node, so one node is never read
// from two threads at once without a lock.

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class TNodeList;
class TXMLDocument;
class TXMLOutput;

// Node types (8-bit). 0 stands for any type where an operation filters.
namespace nt {
constexpr uint8_t Any = 0;
constexpr uint8_t Element = 1;
constexpr uint8_t Attribute = 2;
constexpr uint8_t Text = 3;
constexpr uint8_t CData = 4;
constexpr uint8_t Comment = 5;
constexpr uint8_t ProcessingInstruction = 6;
constexpr uint8_t Reference = 7;
constexpr uint8_t ElementDecl = 8;
constexpr uint8_t AttDef = 9;
constexpr uint8_t EntityDecl = 10;
constexpr uint8_t Notation = 11;
constexpr uint8_t DocumentType = 12;
constexpr uint8_t Document = 13;
constexpr uint8_t ContentParticle = 17;
constexpr uint8_t AttList = 18;
constexpr uint8_t Enumeration = 23;
constexpr uint8_t EnumerationValue = 24;
} // namespace nt

// Where the references to undeclared entities that a value kept as written
// begin (a value of the KeptReferences form); nothing is held otherwise.
class TKeptReferences {
public:
    TKeptReferences() = default;
    TKeptReferences(const TKeptReferences& other)
        : m_at(other.m_at ? std::make_unique<std::vector<qsizetype>>(*other.m_at) : nullptr)
    { }
    TKeptReferences& operator=(const TKeptReferences& other)
    {
        TKeptReferences copy(other);
        m_at = std::move(copy.m_at);
        return *this;
    }
    void Set(std::vector<qsizetype>&& at)
    {
        m_at = at.empty() ? nullptr : std::make_unique<std::vector<qsizetype>>(std::move(at));
    }
    void Clear() { m_at.reset(); }
    bool Empty() const { return !m_at; }
    // In ascending order; none when empty.
    const std::vector<qsizetype>* Positions() const { return m_at.get(); }

private:
    std::unique_ptr<std::vector<qsizetype>> m_at;
};

class TXMLNode {
public:
    // Checked: the name must be a valid XML name, else EDOMException 5
    // "TXMLDocument.TXMLNode.Create("%s"): invalid character(s) for name".
    // Elements, attributes, processing instructions and declarations are
    // checked; text, comment, CDATA and document nodes (and nodes whose
    // "name" is a value, such as enumeration values) are not.
    enum class TNameCheck { Checked, Unchecked };

    TXMLNode(const QString& name, TXMLDocument* ownerDocument, uint8_t nodeType,
             TNameCheck check = TNameCheck::Checked);
    virtual ~TXMLNode();
    TXMLNode(const TXMLNode&) = delete;
    TXMLNode& operator=(const TXMLNode&) = delete;

    // A node made with its document, new (document) T(...), comes from the
    // document's arena, which goes back to the system with the document's
    // tree; a plain new comes from the heap. Either is freed by delete,
    // wherever the node went since.
    static void* operator new(size_t size);
    static void* operator new(size_t size, TXMLDocument* document);
    static void operator delete(void* p);
    static void operator delete(void* p, TXMLDocument* document);

    const QString& getNodeName() const { return *m_name; }
    // Renames without a check (the parser renames a document type).
    void setNodeName(const QString& name);
    const QString& getNodeValue() const
    {
        if (m_raw) MakeValue();
        return m_value;
    }
    // Sets the value as given (TValueForm::AsSet).
    void setNodeValue(const QString& value)
    {
        m_value = value;
        m_raw = nullptr;
        m_valueForm = TValueForm::AsSet;
    }

    // What an "&" in the value stands for, which the writer needs to know:
    //  - AsSet: the value was set as it stands; an "&" that begins something
    //    shaped like a reference is written as it is, any other escaped;
    //  - Expanded: the value came out of reference resolution (a parsed or
    //    a new attribute, an appended text), so every "&" is a character of
    //    the text and is written escaped;
    //  - KeptReferences: expanded, but references to undeclared entities
    //    were kept as written; the writer keeps those (TKeptReferences
    //    tells where they are) and escapes every other "&", so that what
    //    was read reads back the same.
    enum class TValueForm : uint8_t { AsSet, Expanded, KeptReferences };
    TValueForm getValueForm() const { return m_valueForm; }
    uint8_t getNodeType() const { return m_type; }
    void setNodeType(uint8_t type);
    TXMLDocument* getOwnerDocument() const { return m_ownerDocument; }

    // The list the node is in (none while unlinked), and that list's owner.
    TNodeList* getParentList() const { return m_parentList; }
    TXMLNode* getParentNode() const;

    TXMLNode* nextSibling() const { return m_next; }
    TXMLNode* previousSibling() const { return m_prev; }
    // The nearest following (preceding) sibling of the same node type; the
    // next element of an element skips attributes, text and everything else.
    TXMLNode* nextSameTypeSibling() const;
    TXMLNode* previousSameTypeSibling() const;

    // Writes the node as 16-bit text. The base writes its name, a space and
    // its value.
    virtual void WriteTo(TXMLOutput& out, int indent) const;
    // Empty here; elements and the document type check themselves.
    virtual void Validate();
    // Resolves the references in the value. The base (kept by declarations):
    // tab, CR and space become a space, LF a space unless it follows a CR;
    // "&" references are resolved as in text.
    virtual void Expand();

    // A deep copy: a new node of the same class, name, type, owner document
    // and value, unlinked, with a copy of every node of its owned list.
    // Iterative: depth costs no stack.
    TXMLNode* Clone() const;
    // The copy of this node alone (its owned list left empty); each class
    // overrides it. Nodes it owns outside its list (a content model) are
    // copied by the override.
    virtual TXMLNode* CloneNode() const;

    // The list of children this node owns: attributes and children of
    // elements and the document, declarations of a document type, ... ;
    // none by default. Destruction, cloning and moving between documents
    // walk it without recursion.
    virtual TNodeList* OwnedList() const { return nullptr; }

    // Moves the node and everything it owns to another document (a subtree
    // linked into a list of another document is moved by the list).
    void setOwnerDocumentDeep(TXMLDocument* document);

    // Whether node is this node or lies inside what this node owns.
    bool IsAncestorOf(const TXMLNode* node) const;

protected:
    // A node with its value (saves an assignment on the parser's path).
    TXMLNode(const QString& name, const QString& value, TXMLDocument* ownerDocument, uint8_t nodeType,
             TNameCheck check);
    TXMLNode(const QString& name, QString&& value, TXMLDocument* ownerDocument, uint8_t nodeType, TNameCheck check);
    // A node under a name that outlives it (a static string, or one the
    // node's arena keeps), unchecked; its value, when raw is set, is the
    // rawLength one-byte characters at raw, which outlive the node too.
    TXMLNode(const QString* sharedName, TXMLDocument* ownerDocument, uint8_t nodeType, const char* raw,
             qsizetype rawLength);
    TXMLNode(const QString* sharedName, TXMLDocument* ownerDocument, uint8_t nodeType, QString value);

    // The value still as the input bytes it was read from (none once it was
    // read or set): one-byte characters, each its own code.
    const char* RawValue(qsizetype& length) const
    {
        length = m_rawLength;
        return m_raw;
    }

    // Called for each node of a subtree moved to another document, after its
    // owner document changed; a class with owned nodes outside its list moves
    // them here (with setOwnerDocumentDeep).
    virtual void OwnerDocumentChanged() { }
    void SetOwnerDocumentField(TXMLDocument* document) { m_ownerDocument = document; }
    void setValueForm(TValueForm form) { m_valueForm = form; }

private:
    friend class TNodeList;

    void MakeValue() const;

    // Either a string of the node's own (m_ownsName) or a shared one.
    const QString* m_name;
    mutable QString m_value;
    mutable const char* m_raw = nullptr;
    uint32_t m_rawLength = 0;
    uint8_t m_type;
    TValueForm m_valueForm = TValueForm::AsSet;
    bool m_ownsName = true;
    TNodeList* m_parentList = nullptr;
    TXMLNode* m_next = nullptr;
    TXMLNode* m_prev = nullptr;
    TXMLDocument* m_ownerDocument;
};
