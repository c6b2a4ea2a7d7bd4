#pragma once
// An element (node type 1): tag name, attributes and children in one list.

#include "protocol/xml/TContainer.h"

class TXMLAttr;
class TXMLText;

class TXMLElement : public TContainer {
public:
    // A new, unlinked element; the tag name must be a valid name (code 5).
    TXMLElement(const QString& tagName, TXMLDocument* document);
    ~TXMLElement() override;

    const QString& getTagName() const { return getNodeName(); }

    // The value of the attribute of that exact name; empty when absent.
    QString getAttribute(const QString& name) const;
    // Sets the value of an existing attribute unchanged (no expand), or
    // appends a new attribute whose value has its references resolved
    // (TXMLAttr::ExpandValue); tab, CR and LF stay in it, and the writer
    // writes them as character references. Returns the attribute.
    TXMLAttr* setAttribute(const QString& name, const QString& value);
    // For the parser: a new or existing attribute gets the value expanded
    // with its white space normalized, as markup is read (TXMLAttr::Expand).
    TXMLAttr* setParsedAttribute(const QString& name, const QString& rawValue);

    // Appends the text node and resolves the references in it (text expand;
    // a declared entity holding markup adds its nodes in its place). When
    // the text is then empty or only blanks, the node is removed and
    // deleted: blank text never becomes a child. Returns the text node when
    // it stays, none when it was deleted. The element takes the node over:
    // when the expand raises, the node is deleted before the error passes.
    TXMLText* appendText(TXMLText* text);

    TXMLElement* getFirstChildElement() const;
    TXMLElement* getNextSiblingElement() const;
    TXMLText* getFirstTextNode() const;
    bool hasTextNode() const { return hasChildOfType(3); }
    bool hasElementNode() const { return hasChildOfType(1); }
    bool hasCDataNode() const { return hasChildOfType(4); }
    bool hasCommentNode() const { return hasChildOfType(5); }
    bool hasPINode() const { return hasChildOfType(6); }

    // Checks the element against the document type and collects errors in
    // the document's parser (through the DTD side, TXMLDTDHooks), then its
    // child elements.
    void Validate() override;
    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;

private:
    friend class TXMLParser;
    // An element under a name the parser read (a valid name already), which
    // the document's arena keeps.
    struct ParsedName { };
    TXMLElement(const QString* tagName, TXMLDocument* document, ParsedName);

    // Appends a new attribute and expands its value (normalized when parsed).
    TXMLAttr* addAttribute(const QString& name, const QString& value, bool parsed);
};
