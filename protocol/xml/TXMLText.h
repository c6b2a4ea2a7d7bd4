#pragma once
// A text node (node type 3).

#include "protocol/xml/TCharacterData.h"

class TXMLText : public TCharacterData {
public:
    TXMLText(const QString& value, TXMLDocument* document);
    ~TXMLText() override;

    // Text expand: every "&" opens a reference up to the next ";".
    // "&" with no ";" after it: EXMLParserError "Illegal character in the
    // text value '&&'."; "#..." a character reference; amp, apos, quot, lt,
    // gt (any case) the predefined characters; a declared general entity its
    // text (text holding both "<" and ">" is parsed as markup and its nodes
    // go in place of the reference: when the text is linked, the text after
    // the reference moves to a new text node after them); an unparsed
    // entity: "Reference to an unparsed entity is not allowed in the
    // character data."; anything else stays as written.
    void Expand() override;

    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;

protected:
    // Under a static name (CDATA sections, comments).
    TXMLText(const QString* sharedName, const QString& value, TXMLDocument* document, uint8_t nodeType);

private:
    friend class TXMLParser;
    // Text the parser read that holds no "&": taken over as it is, already
    // in its expanded form.
    struct Plain { };
    TXMLText(QString&& value, TXMLDocument* document, Plain);
    // The same, kept as the length input bytes at raw (one-byte characters)
    // until it is read; the bytes outlive the node (the document's arena
    // holds them).
    TXMLText(const char* raw, qsizetype length, TXMLDocument* document, Plain);

    // The value just expanded, with where the references it kept begin.
    void SetExpanded(std::vector<qsizetype>&& kept);

    // The references of the value kept as written (KeptReferences form).
    TKeptReferences m_kept;
};
