#pragma once
// A node with one list holding its attributes (type 2) and its children (all
// other types) together, in the order they were added. The container is the
// parent of both and deletes the list with itself. Base of elements and of
// the document.

#include "protocol/xml/TNodeList.h"
#include "protocol/xml/TXMLNode.h"

class TXMLAttr;

class TContainer : public TXMLNode {
public:
    TContainer(const QString& name, TXMLDocument* ownerDocument, uint8_t nodeType,
               TNameCheck check = TNameCheck::Checked);
    ~TContainer() override;

    TNodeList* OwnedList() const override { return const_cast<TNodeList*>(&m_list); }
    TNodeList& getChildNodes() { return m_list; }
    const TNodeList& getChildNodes() const { return m_list; }

    // Appends the node at the end (errors of TNodeList). Returns it.
    TXMLNode* appendChild(TXMLNode* node);
    // Unlinks and returns it (errors of TNodeList::removeChild).
    TXMLNode* removeChild(TXMLNode* node);

    // Appends an attribute. Errors in this order: the same name present:
    // code 15 "TContainer.setAttributeNode: element already contains the
    // attribute "%s""; already in a list: 10 "TContainer.setAttributeNode:
    // attribute already in use"; of another document: 4
    // "TContainer.setAttributeNode: wrong document in attribute node".
    TXMLAttr* setAttributeNode(TXMLAttr* attribute);
    // The attribute of exactly that name, or none.
    TXMLAttr* getAttributeNode(const QString& name) const;
    TXMLAttr* getFirstAttribute() const;

    // The first child of the type, or none; whether one exists.
    TXMLNode* getFirstOfType(uint8_t type) const { return m_list.getFirstOfType(type); }
    bool hasChildOfType(uint8_t type) const { return m_list.getFirstOfType(type) != nullptr; }
    // Whether the container has any child that the writer writes as content
    // (element, text, CDATA, comment, processing instruction).
    bool hasContent() const;

protected:
    // Under a name that outlives the node (see TXMLNode).
    TContainer(const QString* sharedName, TXMLDocument* ownerDocument, uint8_t nodeType);

    void OwnerDocumentChanged() override;

    TNodeList m_list;
};
