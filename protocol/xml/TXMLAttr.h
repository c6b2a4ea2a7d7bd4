#pragma once
// An attribute (node type 2): name, value and a "specified" flag.

#include "protocol/xml/TXMLNode.h"

class TXMLElement;

class TXMLAttr : public TXMLNode {
public:
    // Validates the name (code 5), sets specified and expands the value.
    TXMLAttr(const QString& name, TXMLDocument* document, const QString& value);
    ~TXMLAttr() override;

    bool getSpecified() const { return m_specified; }
    void setSpecified(bool specified) { m_specified = specified; }
    const QString& getValue() const { return getNodeValue(); }
    // The element the attribute belongs to, or none.
    TXMLElement* getOwnerElement() const;

    // Attribute expand: predefined entities, character references and
    // declared general entities resolved, undeclared references kept.
    // Parser errors (EXMLParserError): a "<": "Illegal character in the
    // attribute value '<'."; an "&" without ";": "Illegal character in the
    // attribute value '&&'."; an unparsed entity: "Reference to an unparsed
    // entity is not allowed in the attribute value."; an external one:
    // "Reference to an external entity is not allowed in the attribute
    // value.". Tab, CR and LF become a space (CR LF one space); when the
    // attribute is declared with a type other than CDATA, the value is also
    // trimmed and runs of spaces collapse to one.
    void Expand() override;
    // The same; without normalizeWhiteSpace tab, CR and LF stay in the value
    // (a value the program sets: the writer writes them as character
    // references, so they come back as they were).
    void ExpandValue(bool normalizeWhiteSpace);

    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;

private:
    friend class TXMLElement;
    friend class TXMLParser;
    struct NoExpand { };
    TXMLAttr(const QString& name, TXMLDocument* document, const QString& value, NoExpand);
    // A value the parser read that expanding would leave as it is (no "&",
    // "<", tab, LF or CR, no document type), under a name it read: kept as
    // the length input bytes at raw (one-byte characters) until it is read.
    // The name and the bytes outlive the node (the document's arena holds
    // them).
    struct Plain { };
    TXMLAttr(const QString* sharedName, TXMLDocument* document, const char* raw, qsizetype length, Plain);

    bool m_specified = true;
    // The references of the value kept as written (KeptReferences form).
    TKeptReferences m_kept;
};
