#pragma once
// Entity expansion with its guards. One context is shared by a parse and by
// every parse nested in it (an entity's content, a DTD file): a budget of
// characters produced by expansion (the larger of 1 Mi and ten times the
// input) and of expansions, the nesting depth of entity expansions and of
// elements, and the rules for external files. A declaration is marked while
// its replacement text is expanded or read; a reference to it then is
// recursive.

#include <QString>

class TCustomEntityDecl;
class TDocumentType;
class TGEntityDecl;
class TPEntityDecl;
class TXMLDocument;
class TXMLNode;
class TXMLParser;

namespace xmlentities {

// Deepest nesting of entity expansions inside one another.
constexpr int MaxEntityDepth = 40;
// Deepest nesting of elements in a document.
constexpr int MaxElementDepth = 1000;
// Deepest nesting of groups in a content model.
constexpr int MaxModelDepth = 256;
// Most attributes of one element.
constexpr int MaxAttributes = 10000;
// Most markup declarations (elements, attribute lists and definitions,
// entities, notations) of one document, its external files included.
constexpr qint64 MaxDeclarations = 100000;
// Largest external DTD or entity file read.
constexpr qint64 MaxExternalFileSize = 8 * 1024 * 1024;

struct TParseContext {
    qint64 CharBudget = 0;
    qint64 CharsUsed = 0;
    qint64 CountBudget = 0;
    qint64 CountUsed = 0;
    int EntityDepth = 0;
    int ElementDepth = 0;
    int NestedParses = 0;
    qint64 Declarations = 0;
    // External files: only when allowed, only under BaseDir.
    bool AllowExternal = false;
    QString BaseDir;
    // The parser of the outermost parse (its OnFileNotFound is called).
    TXMLParser* Parser = nullptr;
    // The document type that the content of an entity parsed on its own
    // resolves its references against, and the entity it belongs to.
    TDocumentType* EntityDocType = nullptr;
    // Set by a resolution whose text holds markup, taken by the parse of
    // that text.
    TGEntityDecl* PendingDecl = nullptr;
    QString PendingValue;
};

// The context of the parse under way, or none.
TParseContext* Current();

// Makes a context current for its lifetime unless one is: a new one sized
// for an input of inputSize bytes (budgets), or the one already current.
class TContextScope {
public:
    explicit TContextScope(qint64 inputSize, TXMLParser* parser = nullptr);
    ~TContextScope();
    TContextScope(const TContextScope&) = delete;
    TContextScope& operator=(const TContextScope&) = delete;
    TParseContext& Context() { return *m_context; }
    bool Outermost() const { return m_owned != nullptr; }

private:
    TParseContext* m_context;
    TParseContext* m_owned = nullptr;
};

// Counts characters produced by one expansion; past the budget raises
// "Entity expansion limit exceeded.".
void Charge(qint64 chars);

// Marks decl as being expanded (raising "Recursive reference to entity
// "%s"." when it already is, and the limit error when expansions nest too
// deep) and unmarks it.
void BeginExpansion(TCustomEntityDecl* decl, const QString& name);
void EndExpansion(TCustomEntityDecl* decl);
class TExpansionGuard {
public:
    TExpansionGuard(TCustomEntityDecl* decl, const QString& name) : m_decl(decl) { BeginExpansion(decl, name); }
    ~TExpansionGuard() { EndExpansion(m_decl); }
    TExpansionGuard(const TExpansionGuard&) = delete;
    TExpansionGuard& operator=(const TExpansionGuard&) = delete;

private:
    TCustomEntityDecl* m_decl;
};

TGEntityDecl* FindGeneralEntity(const TDocumentType* docType, const QString& name);
TPEntityDecl* FindParameterEntity(const TDocumentType* docType, const QString& name);

// How an entity value is expanded:
//  - evDeclaration: a literal being declared: white space folded, "%"
//    references included, general ones kept as written;
//  - evParameterUse: a parameter entity's text where it is referred to:
//    "%" references included (white space was folded when it was declared,
//    and an external entity's line breaks stay);
//  - evGeneralUse: a general entity's text where it is referred to: "%" is
//    an ordinary character, and declared general entities are included in
//    turn (the five predefined and undeclared ones are kept as written).
// Character references are resolved in each.
enum TExpandMode { evDeclaration, evParameterUse, evGeneralUse };
QString ExpandEntityValue(const QString& value, TXMLDocument* document, TExpandMode mode);

// The replacement text of the parameter entity of that name (expanded),
// and its declaration; false when it is not declared.
bool ResolveParameterEntity(TXMLDocument* document, const QString& name, QString& value, TCustomEntityDecl*& decl);

// The replacement text of the general entity of that name where it is
// referred to, and its declaration; false when it is not declared. An
// external entity reads its file first.
bool ResolveGeneralEntity(TXMLDocument* document, const QString& name, QString& value, TGEntityDecl*& decl);

// UTF-16 bytes (little-endian, no mark) of text.
QByteArray Utf16Bytes(const QString& text);

// The file an external identifier names, when external files are allowed
// and it is a regular file under the base directory within the size cap;
// empty otherwise. Tries the public identifier first, then the system one.
QString ExternalFile(const QString& publicId, const QString& systemId);
// Reads an allowed file (charged to the budget); raises EFOpenError when it
// cannot be opened.
QByteArray ReadExternalFile(const QString& path, const QString& name);
// Calls OnFileNotFound of the parser of sender's document (or of the parse
// under way) when assigned.
void FileNotFound(TXMLNode* sender, const QString& fileName);

} // namespace xmlentities
