#pragma once
// The parser component: reads XML text from a stream into a TXMLDocument,
// hands the internal subset of a document type declaration to the DTD
// parser, and validates the result against the DTD when asked.
//
// Owner: a parser placed on a form (created with an owner) reads the input
// in its DefaultEncoding unless a byte-order mark says otherwise and gives
// the document that encoding; a parser made without an owner (the parse of
// an entity's content) reads US-ASCII and leaves the document's encoding.
//
// External files: DTD and entity files named by a document are read only
// when AllowExternalFiles is set, only regular files below ExternalBaseDir
// named by a relative name without "..", up to 8 MiB, and entity files only
// when the entity is first referred to. Otherwise an external identifier
// counts as a file not found (OnFileNotFound).

#include "protocol/xml/TErrorsList.h"
#include "protocol/xml/TLexAnalyzer.h"
#include "protocol/xml/TXMLDocumentOwner.h"
#include "protocol/xml/XMLEncoding.h"

#include <QString>
#include <exception>
#include <functional>
#include <vector>

class QIODevice;
class TNodeArena;
class TXMLDocument;
class TXMLElement;
class TXMLNode;
namespace xmlbytes {
struct TInput;
struct TAttribute;
struct TAttributes;
} // namespace xmlbytes

class TXMLParser : public TLexAnalyzer, public TXMLDocumentOwner {
public:
    // Sender: the declaration whose external file is missing; FileName: the
    // identifier that named it.
    using TFileNotFoundEvent = std::function<void(TXMLNode* Sender, const QString& FileName)>;

    explicit TXMLParser(QObject* owner = nullptr);
    ~TXMLParser() override;

    // Strict XML declaration and end tags.
    bool StandardXML = false;
    // Validate after parsing.
    bool ValidateDocument = false;
    // Indent written documents (read by the document writer).
    bool FormatedOutput = true;
    // The version text of the parser package; no effect on parsing.
    QString Version;
    TFileNotFoundEvent OnFileNotFound;
    // Characters that had to be replaced with '_' by a parse (not one nested
    // in another) or a save of a document of this parser; Message is the text
    // the user is told. The service document shows it in an information box.
    using TUnconvertedEvent = std::function<void(TXMLParser* Sender, const QString& Message)>;
    TUnconvertedEvent OnUnconverted;

    bool AllowExternalFiles = false;
    QString ExternalBaseDir;
    // Refuse a document type declaration as a parse error before any of it is
    // read (documents from the network are read without DTD processing).
    bool RefuseDocType = false;

    TEncoding DefaultEncoding() const { return m_defaultEncoding; }
    // n_sup stores US_ASCII.
    void SetDefaultEncoding(TEncoding encoding);

    // Parses the stream into document (created when none, cleared
    // otherwise). Raises EXMLParserError or EDOMException, the document
    // cleared. Returns Validate(document) when ValidateDocument, else true.
    bool LoadFromStream(QIODevice* stream, TXMLDocument*& document);
    // 'd' parses a document; 'e' the content of an entity under "_root".
    void SetMode(char16_t mode) { m_mode = mode; }
    // Mode 'e': the encoding of the document the entity belongs to, which
    // the content's character references map through.
    void SetEntityEncoding(TEncoding encoding) { m_entityEncoding = encoding; }
    char16_t Mode() const { return m_mode; }

    // The validation problems of the last validation.
    TErrorsList& Errors() { return m_errors; }
    const TErrorsList& Errors() const { return m_errors; }
    // Checks the document against its DTD; true when nothing was found.
    // Never raises.
    bool Validate(TXMLDocument*& document);

    void NextToken() override;
    void BeginNode(int nodeKind, const QString& value) override;
    void AddNode(int nodeKind, const QString& name, const QString& value) override;

    bool DocumentFormatedOutput() const override { return FormatedOutput; }
    void DocumentUnconverted(const QString& message) override;

private:
    // The steps of LoadFromStream: the document created or cleared for this
    // parse; its encoding from the input's mark or DefaultEncoding (a parser
    // with an owner); the state of the last parse forgotten; the error passed
    // on for the one that ended the parse (a parse error carrying the line
    // and source where it stood); the unconverted characters reported.
    void PrepareDocument(TXMLDocument*& document);
    void TakeInputEncoding(TXMLDocument* document);
    void ResetParseState();
    std::exception_ptr PassedOnError(const std::exception_ptr& error) const;
    void ReportUnconverted(TXMLDocument* document);
    void ParseDocument();
    void ParseEntityText();
    void ParseProlog();
    void ParseXMLDecl();
    // Comments and processing instructions; afterRoot: those after the
    // root element, white space between them passed over.
    void ParseMisc(bool afterRoot = false);
    void ParseDoctype();
    // One element with everything in it, without recursion.
    void ParseElement();
    // Content items up to the first token that is none; false at an element
    // start (the caller opens it).
    bool ParseContentItems();
    void ParseStartTag(QString& name, bool& empty);
    void ParseEndTag(const QString& name);
    // Reads start tags, end tags and text of the main input straight from its
    // bytes, building what the token path would build, up to the first thing
    // it leaves to that path (markup other than tags, characters other than
    // plain one-byte ones, a tag across lines, anything amiss); the lookahead
    // token is then read again there. Called at a "<" or "</" lookahead;
    // false when it read nothing.
    bool ParseContentBytes(std::vector<TXMLNode*>& open);
    // The steps of the byte path; each is false, next left alone, when what
    // it reads is left to the token path. The start tag at p ("<" and a
    // name's first byte) opens its element (an empty-element tag closes it
    // again); next: the position after the tag.
    bool ReadStartTagBytes(const xmlbytes::TInput& in, qsizetype p, std::vector<TXMLNode*>& open,
                           xmlbytes::TAttributes& attributes, qsizetype& next);
    // The element of the start tag at p whose name ends at nameEnd, made,
    // linked and pushed as BeginNode(1) does it.
    TXMLElement* OpenElementBytes(const xmlbytes::TInput& in, qsizetype p, qsizetype nameEnd);
    void AddAttributeBytes(const xmlbytes::TInput& in, TXMLElement* element, const xmlbytes::TAttribute& a);
    // The text at p up to the next "<" appended as BeginNode(3) would; next:
    // the position of that "<".
    bool TakeTextBytes(const xmlbytes::TInput& in, qsizetype p, qsizetype& next);
    // Starts the shared names anew when the document's arena is another.
    void ShareNamesIn(TNodeArena* arena);
    // Appends text of the main input that is not blank to the open element,
    // as BeginNode(3) does; plain: all of it plain bytes, otherwise bytes the
    // byte path decodes; hasAmp: it holds an "&".
    void AppendParsedText(const uint8_t* text, qsizetype length, bool plain, bool hasAmp);
    // Appends a node just made for the document to the open element (see
    // TNodeList's friends).
    static void LinkNew(TXMLNode* element, TXMLNode* node);
    // The name of length bytes at text as the document's arena keeps it;
    // index receives its name number. The input goes on to end at least.
    const QString* SharedName(const uint8_t* text, qsizetype length, const uint8_t* end, int& index);

    TEncoding m_defaultEncoding = US_ASCII;
    char16_t m_mode = u'd';
    TEncoding m_entityEncoding = n_sup;
    TErrorsList m_errors;
    qint32 m_depth = 0;
    // Repeated attribute names of one tag on the byte path: the stamp of the
    // tag each name was last seen in, by name number.
    std::vector<uint32_t> m_nameStamps;
    uint32_t m_tagStamp = 0;
    // The names of the document read, as its arena keeps them, by name
    // number (of this parse's symbol table).
    std::vector<const QString*> m_sharedNames;
    TNodeArena* m_namesArena = nullptr;
    // The names met lately, by their first eight bytes and length: most
    // names are found here without hashing them whole.
    struct TNameSlot {
        uint64_t head = 0;
        qsizetype length = -1;
        int index = 0;
        const QString* name = nullptr;
    };
    std::vector<TNameSlot> m_nameSlots;
};
