#pragma once
// The document type declaration (node type 12): the declared root name, the
// external identifiers and the declarations of the DTD in its own list
// (element declarations 8, attribute lists 18, entity declarations 10,
// notations 11, comments and processing instructions), which it owns.
//
// The declaration classes belong to the DTD side; this class keeps them as
// nodes. Loading the external DTD and validating go through TXMLDTDHooks.
//
// Writing: "<!DOCTYPE " + name, then the external identifier when there is
// one (PUBLIC "pub" "sys" or SYSTEM "sys"; an empty system identifier is
// written as the root name + ".dtd"), then the declarations, each with
// indent 3, between " [" CR LF and "]", and ">" CR LF. Writing never creates
// or touches any file.

#include "protocol/xml/TExternalNode.h"
#include "protocol/xml/TNodeList.h"

class TDocumentType : public TExternalNode {
public:
    TDocumentType(const QString& rootName, TXMLDocument* document);
    ~TDocumentType() override;

    TNodeList* OwnedList() const override { return const_cast<TNodeList*>(&m_declarations); }
    TNodeList& getDeclarations() { return m_declarations; }
    const TNodeList& getDeclarations() const { return m_declarations; }

    // The first declaration of that node type and exact name, or none.
    TXMLNode* FindDeclaration(const QString& name, uint8_t nodeType) const;
    TXMLNode* getElementDecl(const QString& name) const { return FindDeclaration(name, 8); }
    TXMLNode* getAttList(const QString& elementName) const { return FindDeclaration(elementName, 18); }
    TXMLNode* getNotation(const QString& name) const { return FindDeclaration(name, 11); }

    // Appends an element declaration, a notation or any other declaration.
    void AddDeclaration(TXMLNode* declaration);
    // An attribute list for an element that already has one: every
    // definition (type 9 in the new list's OwnedList) whose name is not yet
    // defined there moves into the existing list (the first definition of a
    // name wins) and the result is false; the new list stays the caller's,
    // with the definitions that were not moved. Otherwise the list is
    // appended and the result is true.
    bool AddAttList(TXMLNode* attList);
    // Appends the entity declaration unless one of the same name and the
    // same class (general or parameter) exists (the first wins); tells
    // whether it was added. A declaration not added stays the caller's.
    bool AddEntityDecl(TXMLNode* declaration);

    void LoadExternal() override;
    void Validate() override;
    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;

protected:
    void OwnerDocumentChanged() override;

private:
    TNodeList m_declarations;
};
