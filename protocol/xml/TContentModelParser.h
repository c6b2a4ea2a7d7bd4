#pragma once
// Reads the content model of an element declaration (EMPTY, ANY,
// mixed content or a group of children) into a tree of TContentModel nodes
// under the declaration on top of the lexer's stack.

#include "protocol/xml/TLexAnalyzer.h"

class TContentModelParser : public TLexAnalyzer {
public:
    explicit TContentModelParser(QObject* owner = nullptr);
    ~TContentModelParser() override;

    // Reads one content model from the handed-over input; the state
    // goes back into state.
    void ParseModel(TLexState& state, TXMLDocument* document);

    void NextToken() override;
    void BeginNode(int nodeKind, const QString& value) override;
    void AddNode(int nodeKind, const QString& name, const QString& value) override;

private:
    // A group whose "(" has been matched.
    void ParseGroup();
    void ParseParticle();
    QString OptionalSign();

    int m_groupDepth = 0;
};
