#pragma once
// Reads markup declarations into the document type of a document: from the
// internal subset (borrowing the XML parser's input) or from an external DTD
// file. Parameter-entity references are expanded wherever a match fails on
// them.

#include "protocol/xml/TLexAnalyzer.h"

#include <memory>

class QIODevice;
class TDocumentType;
class TXMLNode;

class TDTDParser : public TLexAnalyzer {
public:
    explicit TDTDParser(QObject* owner = nullptr);
    ~TDTDParser() override;

    // Reads declarations from the handed-over input; the state goes back
    // into state for the caller to take.
    void ParseInternalSubset(TLexState& state, TXMLDocument* document);
    // Reads an external DTD file (an allowed path); errors name sourceName.
    void ParseFile(const QString& path, const QString& sourceName, TXMLDocument* document);
    void ParseStream(QIODevice* stream, TXMLDocument* document);

    void NextToken() override;
    void BeginNode(int nodeKind, const QString& value) override;
    void AddNode(int nodeKind, const QString& name, const QString& value) override;

private:
    void ParseDeclarations();
    void ParseElementDecl();
    void ParseAttlistDecl();
    void ParseEntityDecl();
    void ParseNotationDecl();
    TDocumentType* DocType();
    // The builder's steps: an element or notation declaration added to the
    // document type and pushed; the attribute-list declaration of an element
    // pushed; an attribute definition added to the list on top and pushed.
    void BeginDeclaration(TXMLNode* decl);
    void BeginAttList(const QString& element);
    void BeginAttDef(TXMLNode* top, const QString& name);
    // The type of the definition on top, by its keyword.
    void SetAttType(TXMLNode* top, const QString& value);

    // A declaration read only to be dropped (the first one counts).
    std::unique_ptr<TXMLNode> m_dropped;
    // Counts a markup declaration against the document's cap.
    void CountDeclaration();
    qint64 m_declarations = 0; // when no parse context counts them
};
