#pragma once
// What every parser of the XML reader reads with: the input buffers, the
// symbol table, the current and the previous token, the stack of open nodes,
// the line counter and the source name; the token-matching operations that
// raise the parse errors, the character scanners the token readers are built
// from, the grammar pieces all parsers share, and the expansion of
// parameter-entity references. Each parser supplies its token reader and its
// builder callbacks.

#include "protocol/xml/EXMLParserError.h"
#include "protocol/xml/TInputBuffer.h"
#include "protocol/xml/TSTEntry.h"
#include "protocol/xml/TSymTab.h"
#include "protocol/xml/TXMLStack.h"

#include <QObject>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

class TXMLDocument;
class TCustomEntityDecl;

// A parameter entity whose replacement text is being read.
struct TPEFrame {
    std::unique_ptr<TInputBuffer> Buffer;
    TCustomEntityDecl* Decl = nullptr;
};

// The objects one parse reads with. The parser that begins a parse owns them
// (OpenLexer); a sub-parser borrows them through SaveState and RestoreState.
struct TLexParts {
    TLexParts();
    ~TLexParts(); // ends the expansions still open
    TLexParts(const TLexParts&) = delete;
    TLexParts& operator=(const TLexParts&) = delete;

    TInputBuffer Main;
    TSymTab SymTab;
    TSTEntry Prev;
    TSTEntry Token;
    TXMLStack Stack;
    std::vector<TPEFrame> Entities;
};

// The lexer objects a parser hands to a sub-parser and takes back.
struct TLexState {
    TInputBuffer* MainBuffer = nullptr;
    TInputBuffer* EntityBuffer = nullptr;
    TInputBuffer* CurrentBuffer = nullptr;
    TSymTab* SymTab = nullptr;
    TSTEntry* PrevToken = nullptr;
    TSTEntry* Token = nullptr;
    char16_t CurChar = 0;
    TXMLStack* Stack = nullptr;
    qint32 Line = 1;
    QString SourceName;
    std::vector<TPEFrame>* Entities = nullptr;
};

class TLexAnalyzer : public QObject {
public:
    explicit TLexAnalyzer(QObject* owner = nullptr);
    ~TLexAnalyzer() override;

    // The component's owner, if any (an owned parser applies its default
    // encoding; one without an owner reads US-ASCII).
    QObject* Owner() const { return parent(); }
    bool HasOwner() const { return parent() != nullptr; }

    virtual void Match(int kind);
    virtual void MatchText(const QString& text);
    virtual void MatchEither(int kind1, int kind2);
    virtual void NextToken() = 0;
    virtual void BeginNode(int nodeKind, const QString& value) = 0;
    virtual void AddNode(int nodeKind, const QString& name, const QString& value) = 0;

    // Begins a parse: fresh lexer parts, owned by the returned session and
    // released when it closes or goes, whatever ends the parse.
    class TLexSession {
    public:
        explicit TLexSession(TLexAnalyzer& lexer) : m_lexer(&lexer) { }
        TLexSession(TLexSession&& other) noexcept : m_lexer(std::exchange(other.m_lexer, nullptr)) { }
        TLexSession(const TLexSession&) = delete;
        TLexSession& operator=(const TLexSession&) = delete;
        TLexSession& operator=(TLexSession&&) = delete;
        ~TLexSession() { Close(); }
        void Close();

    private:
        TLexAnalyzer* m_lexer;
    };
    [[nodiscard]] TLexSession OpenLexer();
    void SaveState(TLexState& state) const;
    void RestoreState(const TLexState& state);
    // Leaves the replacement text being read for the text that referred to it.
    void SwitchBuffer();

    bool IsKind(int kind);
    bool IsText(const QString& text);
    // Matches without parameter-entity expansion and without leaving an
    // entity's text.
    void MatchStrict(int kind);
    void MatchStrictText(const QString& text);

    void ParseComment();
    void ParsePI();
    void ParseExternalID();
    bool ParsePseudoAttribute(const QString& name);
    void ParseTextDecl();
    void ExpandPEReference();

    qint32 Line() const { return m_line; }
    const QString& SourceName() const { return m_sourceName; }
    TXMLDocument* Document() const { return m_document; }

    // Raises the parse error with the current line and source.
    [[noreturn]] void Error(const QString& message) const;

protected:
    // Scanners: each starts at CurChar, leaves the input just after the text
    // it returns, and sets Token (ScanName as a name, kind 300).
    void ScanMarkup();
    void ScanClose();
    void ScanText(bool endEndsText);
    void ScanComment();
    void ScanCDATA();
    void ScanPIData();
    void ScanQuoted();
    void ScanName();
    void ScanHashKeyword();
    // What every token reader does with CurChar once its own cases are done:
    // the text after "<!--" or a PI target, markup, close-tag punctuation,
    // '#' keywords, quoted literals, the end of the input, names (with
    // nameTokens also name tokens, as Nmtoken), and any other character as a
    // token of its own. False for a line feed (counted) and, outside content,
    // a blank: the reader reads on.
    bool ScanToken(bool nameTokens);

    char16_t NextChar() { return m_current->NextChar(); }
    void StepBack() { m_current->StepBack(); }
    // Sets Token to the entry of a keyword kind.
    void SetKeyword(int kind);
    // PrevToken := Token (the two entries trade places; the reader then
    // fills Token anew).
    void ShiftToken() { std::swap(m_prev, m_token); }
    void SetTextToken(int kind);
    void SetNameToken();
    void SetCharToken(char16_t c);
    void SetEndToken();
    bool PrevIs(int kind) const { return m_prev->Kind == kind; }
    void AfterMatch();
    // Whether the current buffer holds a parameter entity's replacement text.
    bool InEntity() const { return m_current != m_main; }

    TInputBuffer* m_current = nullptr;
    TInputBuffer* m_main = nullptr;
    TInputBuffer* m_entity = nullptr;
    TSymTab* m_symtab = nullptr;
    TSTEntry* m_prev = nullptr;
    TSTEntry* m_token = nullptr;
    char16_t m_curChar = 0;
    TXMLStack* m_stack = nullptr;
    qint32 m_line = 1;
    QString m_sourceName;
    std::vector<TPEFrame>* m_entities = nullptr;
    TXMLDocument* m_document = nullptr;
    bool m_inPIData = false;
    bool m_contentEnabled = false;
    bool m_inContent = false;

    // The DTD and content-model parsers expand a parameter-entity reference
    // met where a match fails.
    bool m_expandsReferences = false;
    // The content-model parser ends "Illegal occurence" with a full stop.
    bool m_illegalWithStop = false;
    [[noreturn]] void IllegalOccurrence() const;
    // Expands references at the lookahead (when this parser does).
    void ExpandPending(int unless);

    // Scratch text of the scanners, reused so that no token costs more than
    // the one string it becomes.
    std::vector<char16_t> m_text;

private:
    void CloseLexer();
    std::unique_ptr<TLexParts> m_parts;
};
