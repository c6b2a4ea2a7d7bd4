#include "protocol/xml/TXMLParser.h"

#include "platform/core/Format.h"
#include "protocol/xml/EDOMException.h"
#include "protocol/xml/LexChars_p.h"
#include "protocol/xml/TAttDef.h"
#include "protocol/xml/TAttListDecl.h"
#include "protocol/xml/TDTDParser.h"
#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TNodeArena_p.h"
#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLCData.h"
#include "protocol/xml/TXMLComment.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLPI.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/TokenKinds.h"
#include "protocol/xml/XMLChars.h"
#include "protocol/xml/XMLWideStrings.h"
#include "protocol/xml/XmlDTDHooks_p.h"
#include "protocol/xml/XmlEntities_p.h"

#include <QIODevice>
#include <QVarLengthArray>
#include <cstring>
#include <memory>
#include <vector>

using lexchars::SameText;

TXMLParser::TXMLParser(QObject* owner) : TLexAnalyzer(owner), Version(QStringLiteral("1.0")) { InstallXmlDTDHooks(); }

TXMLParser::~TXMLParser() = default;

void TXMLParser::DocumentUnconverted(const QString& message)
{
    if (OnUnconverted) OnUnconverted(this, message);
}

void TXMLParser::SetDefaultEncoding(TEncoding encoding) { m_defaultEncoding = encoding == n_sup ? US_ASCII : encoding; }

// ---------------------------------------------------------------- tokens

void TXMLParser::NextToken()
{
    ShiftToken();
    do {
        m_curChar = NextChar();
        if (m_prev->Kind == tk::CDataStart) {
            ScanCDATA();
            return;
        }
        if (m_inContent && IsCharDataStart(m_curChar)) {
            const int k = m_prev->Kind;
            if (k == tk::TagEnd || k == tk::EmptyTagEnd || k == tk::PIEnd || k == tk::CommentEnd || k == tk::CDataEnd) {
                // The content of an entity ends where its text ends.
                ScanText(m_mode == u'e');
                return;
            }
        }
    } while (!ScanToken(false));
}

// ---------------------------------------------------------------- loading

namespace {

// A nested parse adds what it listed to the list of the parse around it.
void AddToOuterList(TUnconvertedListState outer)
{
    const TUnconvertedListState inner = SaveUnconvertedList();
    RestoreUnconvertedList(std::move(outer));
    for (uint32_t ch : inner) ListUnconverted(ch);
}

} // namespace

void TXMLParser::PrepareDocument(TXMLDocument*& document)
{
    if (!document)
        document = new TXMLDocument();
    else
        document->Clear();
    m_document = document;
    document->SetParser(this);
    if (m_mode == u'e' && m_entityEncoding != n_sup) document->setEncodingValue(m_entityEncoding);
}

void TXMLParser::TakeInputEncoding(TXMLDocument* document)
{
    if (m_main->IsUTF16) {
        document->setEncodingValue(UTF_16);
    } else if (m_main->HasByteOrderMark) {
        document->setEncodingValue(m_main->Encoding);
    } else {
        if (m_defaultEncoding == UTF_16)
            m_main->ForceEncoding(UTF_16, false);
        else
            m_main->SetEncoding(m_defaultEncoding);
        document->setEncodingValue(m_defaultEncoding);
    }
}

void TXMLParser::ResetParseState()
{
    m_errors.Clear();
    m_sharedNames.clear();
    m_nameSlots.clear();
    m_namesArena = nullptr;
    m_contentEnabled = false;
    m_inContent = false;
    m_inPIData = false;
    m_depth = 0;
}

std::exception_ptr TXMLParser::PassedOnError(const std::exception_ptr& error) const
{
    try {
        std::rethrow_exception(error);
    } catch (EXMLParserError& e) {
        const qint32 line = e.Line ? e.Line : m_line;
        const QString source = e.Line ? e.Source : m_sourceName;
        return std::make_exception_ptr(EXMLParserError(e.Message(), line, e.Position, source));
    } catch (EDOMException& e) {
        return std::make_exception_ptr(EDOMException::WithMessage(e.Code(), e.Message()));
    } catch (...) {
        return error;
    }
}

void TXMLParser::ReportUnconverted(TXMLDocument* document)
{
    if (!UnconvertedListIsEmpty()) DocumentUnconverted(UnconvertedMessage(document->getEncoding()));
    ClearUnconvertedList();
}

bool TXMLParser::LoadFromStream(QIODevice* stream, TXMLDocument*& document)
{
    PrepareDocument(document);
    TLexSession session = OpenLexer();
    m_main->SetStream(stream);
    xmlentities::TContextScope scope(m_main->Size(), this);
    const bool nested = !scope.Outermost();
    const int depthBefore = scope.Context().ElementDepth;
    if (HasOwner()) TakeInputEncoding(document);

    // A nested parse keeps the list of the parse around it and adds to it.
    TUnconvertedListState outer;
    if (nested) outer = SaveUnconvertedList();
    ClearUnconvertedList();

    ResetParseState();
    try {
        if (m_mode == u'e')
            ParseEntityText();
        else
            ParseDocument();
    } catch (...) {
        // The error is taken as it is passed on while the lexer still tells
        // where the parse stood.
        const std::exception_ptr error = PassedOnError(std::current_exception());
        session.Close();
        scope.Context().ElementDepth = depthBefore;
        document->Clear();
        if (nested) AddToOuterList(std::move(outer));
        std::rethrow_exception(error);
    }
    session.Close();
    scope.Context().ElementDepth = depthBefore;

    // A parse nested in another shows no box: its characters are reported by
    // the outer one.
    if (nested)
        AddToOuterList(std::move(outer));
    else
        ReportUnconverted(document);
    return ValidateDocument ? Validate(document) : true;
}

void TXMLParser::ParseDocument()
{
    NextToken();
    ParseProlog();
    m_contentEnabled = true;
    ParseElement();
    ParseMisc(true);
}

void TXMLParser::ParseEntityText()
{
    // The first token is read as content, and the end of the input ends it.
    if (const int gt = m_symtab->Lookup(u">")) *m_token = m_symtab->Entry(gt);
    m_contentEnabled = true;
    m_inContent = true;
    NextToken();
    ParseTextDecl();
    BeginNode(1, QStringLiteral("_root"));
    std::vector<QString> open{QStringLiteral("_root")};
    for (;;) {
        if (ParseContentItems()) {
            if (open.size() == 1) break;
            ParseEndTag(open.back());
            open.pop_back();
            continue;
        }
        QString name;
        bool empty = false;
        ParseStartTag(name, empty);
        if (!empty) open.push_back(name);
    }
    if (m_token->Kind != tk::EndOfInput) IllegalOccurrence();
    m_stack->Drop();
    if (auto* c = xmlentities::Current(); c && c->ElementDepth > 0) --c->ElementDepth;
}

void TXMLParser::ParseProlog()
{
    if (m_token->Kind == tk::XmlDeclStart) ParseXMLDecl();
    ParseMisc();
    if (m_token->Kind == tk::Doctype) {
        if (RefuseDocType) IllegalOccurrence();
        ParseDoctype();
    }
}

void TXMLParser::ParseXMLDecl()
{
    MatchStrict(tk::XmlDeclStart);
    if (!ParsePseudoAttribute(QStringLiteral("version")))
        Error(QStringLiteral("XML declaration: version declaration required"));
    const QString version = m_prev->Text;
    if (lexchars::IsAllBlank(version)) Error(QStringLiteral("Version declaration: version number required"));
    if (version != u"1.0")
        Error(Format(QStringLiteral("Version declaration: version \"%s\" is not supported."), {version}));
    if (StandardXML) {
        ParsePseudoAttribute(QStringLiteral("encoding"));
        if (ParsePseudoAttribute(QStringLiteral("standalone"))) {
            const QString value = m_prev->Text;
            if (!SameText(value, u"yes") && !SameText(value, u"no"))
                Error(QStringLiteral("Standalone declaration: incorrect attribute value"));
        }
    } else {
        while (m_token->Kind == tk::Name) ParsePseudoAttribute(m_token->Text);
    }
    MatchStrict(tk::PIEnd);
}

void TXMLParser::ParseMisc(bool afterRoot)
{
    for (;;) {
        // After the root the reader is in content mode, so the white space
        // between the trailing items comes as text; it is no content.
        if (afterRoot && m_token->Kind == tk::Text && lexchars::IsAllBlank(m_token->Text))
            MatchStrict(tk::Text);
        else if (m_token->Kind == tk::CommentStart)
            ParseComment();
        else if (m_token->Kind == tk::PIStart)
            ParsePI();
        else
            return;
    }
}

void TXMLParser::ParseDoctype()
{
    MatchStrict(tk::Doctype);
    MatchStrict(tk::Name);
    BeginNode(12, m_prev->Text);
    if (m_token->Kind == tk::Name) ParseExternalID();
    if (m_token->Kind == '[') {
        MatchStrictText(QStringLiteral("["));
        TLexState state;
        SaveState(state);
        {
            TDTDParser dtd;
            dtd.ParseInternalSubset(state, m_document);
        }
        RestoreState(state);
        MatchStrictText(QStringLiteral("]"));
    }
    BeginNode(12, QString());
    MatchStrict(tk::TagEnd);
    ParseMisc();
}

void TXMLParser::ParseStartTag(QString& name, bool& empty)
{
    MatchStrict(tk::TagStart);
    MatchStrict(tk::Name);
    name = m_prev->Text;
    BeginNode(1, name);
    while (m_token->Kind == tk::Name) {
        MatchStrict(tk::Name);
        const QString attribute = m_prev->Text;
        MatchStrict('=');
        if (m_token->Kind != tk::Literal) Error(QStringLiteral("Attribute value required or incorrect"));
        MatchStrict(tk::Literal);
        AddNode(2, attribute, m_prev->Text);
    }
    if (m_token->Kind == tk::EmptyTagEnd) {
        MatchStrict(tk::EmptyTagEnd);
        BeginNode(15, name);
        empty = true;
        return;
    }
    MatchStrict(tk::TagEnd);
    empty = false;
}

void TXMLParser::ParseEndTag(const QString& name)
{
    MatchStrict(tk::EndTagStart);
    if (m_token->Kind == tk::Name || StandardXML) {
        MatchStrict(tk::Name);
        if (WideCompare(name, m_prev->Text) != 0)
            Error(Format(QStringLiteral("Start-tag name \"%s\" does not match end-tag name \"%s\""),
                         {name, m_prev->Text}));
    }
    BeginNode(15, m_prev->Text);
    MatchStrict(tk::TagEnd);
}

bool TXMLParser::ParseContentItems()
{
    for (;;) {
        switch (m_token->Kind) {
        case tk::TagStart: return false;
        case tk::PIStart: ParsePI(); break;
        case tk::Text:
            MatchStrict(tk::Text);
            BeginNode(3, m_prev->Text);
            break;
        case tk::CDataStart:
            MatchStrict(tk::CDataStart);
            MatchStrict(tk::Text);
            BeginNode(4, m_prev->Text);
            MatchStrict(tk::CDataEnd);
            break;
        case tk::CommentStart: ParseComment(); break;
        default: return true;
        }
    }
}

void TXMLParser::ParseElement()
{
    QString name;
    bool empty = false;
    ParseStartTag(name, empty);
    if (empty) return;
    // The open elements (their names end them).
    std::vector<TXMLNode*> open{m_stack->Top()};
    // Documents read one byte per character take the byte path wherever a
    // tag begins.
    const bool bytes = m_mode == u'd' && m_current == m_main && m_main->ByteEncoded();
    // Set when the byte path read nothing at the lookahead: the token path
    // takes that tag.
    bool stuck = false;
    while (!open.empty()) {
        const int kind = m_token->Kind;
        if (kind != tk::TagStart && kind != tk::EndTagStart) {
            // Text and other content up to the next tag; anything else is
            // reported by the end tag expected.
            if (ParseContentItems() && m_token->Kind != tk::EndTagStart) {
                ParseEndTag(open.back()->getNodeName());
                open.pop_back();
            }
            continue;
        }
        if (bytes && !stuck) {
            stuck = !ParseContentBytes(open);
            continue;
        }
        stuck = false;
        if (kind == tk::EndTagStart) {
            ParseEndTag(open.back()->getNodeName());
            open.pop_back();
        } else {
            ParseStartTag(name, empty);
            if (!empty) open.push_back(m_stack->Top());
        }
    }
}

// ---------------------------------------------------------------- builder

namespace {

// Links a new node under the open node (or the document); the node is owned
// here until it is linked, so a refused node is freed.
TXMLNode* AppendTo(TXMLNode* top, TXMLDocument* document, std::unique_ptr<TXMLNode> node)
{
    if (!top)
        document->appendChild(node.get());
    else if (top->getNodeType() == nt::Element)
        static_cast<TContainer*>(top)->appendChild(node.get());
    else if (top->getNodeType() == nt::DocumentType)
        static_cast<TDocumentType*>(top)->getDeclarations().setNamedItem(node.get());
    else
        document->appendChild(node.get());
    return node.release();
}

} // namespace

void TXMLParser::BeginNode(int nodeKind, const QString& value)
{
    TXMLNode* top = m_stack->Top();
    switch (nodeKind) {
    case 1: {
        if (auto* c = xmlentities::Current()) {
            if (c->ElementDepth >= xmlentities::MaxElementDepth) Error(QStringLiteral("Element nesting is too deep."));
            ++c->ElementDepth;
        }
        std::unique_ptr<TXMLNode> element(new (m_document) TXMLElement(value, m_document));
        TXMLNode* linked = element.get();
        if (top) {
            AppendTo(top, m_document, std::move(element));
        } else {
            m_document->setDocumentElement(static_cast<TXMLElement*>(linked));
            element.release();
        }
        m_stack->Push(linked);
        break;
    }
    case 3:
        if (top && !lexchars::IsAllBlank(value)) {
            try {
                static_cast<TXMLElement*>(top)->appendText(new (m_document) TXMLText(value, m_document));
            } catch (EXMLParserError& e) {
                // Errors of an entity's text are reported at the reference.
                e.Line = m_line;
                e.Source = m_sourceName;
                throw;
            }
        }
        break;
    case 4:
        if (top) AppendTo(top, m_document, std::unique_ptr<TXMLNode>(new (m_document) TXMLCData(value, m_document)));
        break;
    case 5:
        AppendTo(top, m_document, std::unique_ptr<TXMLNode>(new (m_document) TXMLComment(value, m_document)));
        break;
    case 12:
        if (!value.isEmpty()) {
            TDocumentType* docType = m_document->getDocType();
            if (!docType)
                docType = static_cast<TDocumentType*>(
                    AppendTo(nullptr, m_document, std::make_unique<TDocumentType>(value, m_document)));
            else
                docType->setNodeName(value);
            m_stack->Push(docType);
        } else {
            m_stack->Drop();
        }
        break;
    case 15:
        m_stack->Drop();
        if (auto* c = xmlentities::Current(); c && c->ElementDepth > 0) --c->ElementDepth;
        break;
    case 28:
        if (top && top->getNodeType() == nt::DocumentType) {
            auto* external = static_cast<TExternalNode*>(top);
            external->SystemId = value;
            external->LoadExternal();
        }
        break;
    case 29:
        if (top && top->getNodeType() == nt::DocumentType) static_cast<TExternalNode*>(top)->PublicId = value;
        break;
    default: break;
    }
}

void TXMLParser::AddNode(int nodeKind, const QString& name, const QString& value)
{
    TXMLNode* top = m_stack->Top();
    switch (nodeKind) {
    case 2:
        try {
            if (top && top->getNodeType() == nt::Element) {
                auto* element = static_cast<TXMLElement*>(top);
                if (element->getChildNodes().attributeCount() >= xmlentities::MaxAttributes &&
                    !element->getAttributeNode(name))
                    Error(Format(QStringLiteral("Element \"%s\" has more than %d attributes."),
                                 {element->getTagName(), xmlentities::MaxAttributes}));
                // A repeated attribute is expanded like a new one.
                element->setParsedAttribute(name, value);
            } else if (SameText(name, u"encoding")) {
                const TEncoding encoding = EncodingFromName(value);
                if (encoding == n_sup)
                    Error(Format(QStringLiteral("Encoding '%s' is not supported in this version of XMLParser."),
                                 {value}));
                // Entity text was re-encoded already: checked, not switched.
                if (m_mode != u'e') {
                    m_document->setEncoding(value);
                    m_current->SetEncoding(encoding);
                }
            } else if (TXMLAttr* existing = m_document->getAttributeNode(name)) {
                existing->setNodeValue(value);
            } else {
                auto attribute = std::make_unique<TXMLAttr>(name, m_document, value);
                m_document->setAttributeNode(attribute.get());
                attribute.release();
            }
        } catch (EXMLParserError& e) {
            e.Line = m_line;
            e.Source = m_sourceName;
            throw;
        }
        break;
    case 6:
        AppendTo(top, m_document, std::unique_ptr<TXMLNode>(m_document->createProcessingInstruction(name, value)));
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- bytes

namespace {

// Blanks inside a tag that leave the line count as it is.
inline bool TagBlank(uint8_t b) { return b == ' ' || b == '\t' || b == '\r'; }

// A value that attribute expansion leaves as it is (undeclared attributes).
inline bool PlainValue(const uint8_t* p, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i) {
        const uint8_t c = p[i];
        if (c <= '<' && (c == '&' || c == '<' || c == '\t' || c == '\n' || c == '\r')) return false;
    }
    return true;
}

} // namespace

namespace {

// Bytes 0x80 and up of text in encoding: the length in characters of the
// whole text when every one of them decodes as the input reader decodes it
// and lists nothing (UTF-8 sequences of two or three bytes, whole and not
// overlong; table characters that are mapped), -1 otherwise.
qsizetype DecodedLength(const uint8_t* text, qsizetype length, TEncoding encoding)
{
    const char16_t* table = encoding == UTF_8 ? nullptr : CodePageTable(encoding);
    if (encoding != UTF_8 && !table) return -1;
    qsizetype chars = 0;
    for (qsizetype i = 0; i < length; ++chars) {
        const uint8_t b = text[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (table) {
            if (!table[b]) return -1;
            ++i;
            continue;
        }
        auto follows = [&](qsizetype k) { return i + k < length && (text[i + k] & 0xC0) == 0x80; };
        if (b >= 0xC2 && b <= 0xDF && follows(1)) {
            i += 2;
        } else if ((b & 0xF0) == 0xE0 && follows(1) && follows(2) && (b != 0xE0 || text[i + 1] >= 0xA0)) {
            i += 3;
        } else {
            return -1;
        }
    }
    return chars;
}

} // namespace

void TXMLParser::LinkNew(TXMLNode* element, TXMLNode* node)
{
    static_cast<TContainer*>(element)->getChildNodes().Link(node, nullptr);
}

const QString* TXMLParser::SharedName(const uint8_t* text, qsizetype length, const uint8_t* end, int& index)
{
    // The first eight bytes (fewer when the name is shorter) pick a slot.
    uint64_t head = 0;
    if (end - text >= 8) {
        std::memcpy(&head, text, 8);
        if (length < 8) head &= (uint64_t(1) << (8 * length)) - 1;
    } else {
        std::memcpy(&head, text, size_t(length < 8 ? length : 8));
    }
    constexpr size_t kSlots = 512;
    if (m_nameSlots.empty()) m_nameSlots.resize(kSlots);
    TNameSlot& slot = m_nameSlots[size_t(((head + uint64_t(length)) * 0x9E3779B97F4A7C15ull) >> 55) & (kSlots - 1)];
    if (slot.head == head && slot.length == length) {
        const char16_t* s = reinterpret_cast<const char16_t*>(slot.name->constData());
        qsizetype k = 8;
        while (k < length && s[k] == text[k]) ++k;
        if (k >= length) {
            index = slot.index;
            return slot.name;
        }
    }
    const QString& name = m_symtab->InternName(text, length, index);
    if (size_t(index) >= m_sharedNames.size()) m_sharedNames.resize(size_t(index) + 64, nullptr);
    const QString*& shared = m_sharedNames[size_t(index)];
    if (!shared) shared = m_namesArena->KeepName(name);
    slot = {head, length, index, shared};
    return shared;
}

void TXMLParser::AppendParsedText(const uint8_t* text, qsizetype length, bool plain, bool hasAmp)
{
    const char* const chars = reinterpret_cast<const char*>(text);
    const void* amp = hasAmp ? std::memchr(text, '&', size_t(length)) : nullptr;
    if (plain && !amp) {
        // Kept as the input bytes (which the arena holds) until it is read.
        std::unique_ptr<TXMLNode> node(
            length <= qsizetype(UINT32_MAX)
                ? new (m_document) TXMLText(chars, length, m_document, TXMLText::Plain{})
                : new (m_document) TXMLText(QString::fromLatin1(chars, length), m_document, TXMLText::Plain{}));
        LinkNew(m_stack->Top(), node.release());
        return;
    }
    // Text whose references are all predefined entities and character
    // references is expanded here, as the text's own expand would do it, and
    // decoded with it into the one string it becomes; anything else is
    // decoded and left to that expand. (The bytes of "&" and ";" are those
    // characters in every encoding read here, and in no longer sequence.)
    bool expand = amp != nullptr;
    const uint8_t* const end = text + length;
    for (const uint8_t* a = static_cast<const uint8_t*>(amp); a;
         a = static_cast<const uint8_t*>(std::memchr(a + 1, '&', size_t(end - a - 1)))) {
        const void* semi = std::memchr(a + 1, ';', size_t(end - a - 1));
        const qsizetype n = semi ? static_cast<const uint8_t*>(semi) - a - 1 : -1;
        if (n < 1 || (a[1] != '#' && !lexchars::PredefinedEntity(a + 1, n))) {
            expand = false;
            break;
        }
        a += n + 1;
        if (a + 1 >= end) break;
    }
    const TEncoding encoding = m_main->Encoding;
    const char16_t* table = encoding == UTF_8 ? nullptr : CodePageTable(encoding);
    QString value(length, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(value.data());
    qsizetype o = 0;
    for (qsizetype i = 0; i < length; ++i) {
        const uint8_t b = text[i];
        if (b >= 0x80) {
            if (table) {
                out[o++] = table[b];
            } else if (b < 0xE0) {
                out[o++] = char16_t(((b & 0x1F) << 6) | (text[i + 1] & 0x3F));
                i += 1;
            } else {
                out[o++] = char16_t(((b & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F));
                i += 2;
            }
            continue;
        }
        if (b != '&' || !expand) {
            out[o++] = b;
            continue;
        }
        const qsizetype semi =
            static_cast<const uint8_t*>(std::memchr(text + i + 1, ';', size_t(length - i - 1))) - text;
        if (text[i + 1] == '#') {
            QVarLengthArray<char16_t, 16> name;
            for (qsizetype k = i + 1; k < semi; ++k) name.append(text[k]);
            out[o++] = CharReferenceValue(QStringView(name.constData(), name.size()), m_document->getEncoding());
        } else {
            out[o++] = lexchars::PredefinedEntity(text + i + 1, semi - i - 1);
        }
        i = semi;
    }
    value.truncate(o);
    if (amp && !expand) {
        BeginNode(3, value);
        return;
    }
    // Expanded text that is blank is no node.
    if (lexchars::IsAllBlank(value)) return;
    LinkNew(m_stack->Top(), new (m_document) TXMLText(std::move(value), m_document, TXMLText::Plain{}));
}

// What the byte path reads with: the main input's bytes up to e, the
// limits of the parse, whether attribute values are linked as they are.
namespace xmlbytes {

struct TInput {
    const uint8_t* d;
    qsizetype e;
    xmlentities::TParseContext* context;
    bool plainAttributes;
};

// An attribute of a start tag: where its name and its value lie.
struct TAttribute {
    qsizetype name, nameEnd, value, valueEnd;
};

struct TAttributes : QVarLengthArray<TAttribute, 32> { };

} // namespace xmlbytes

namespace {

inline qsizetype SkipTagBlanks(const uint8_t* d, qsizetype e, qsizetype q)
{
    while (q < e && TagBlank(d[q])) ++q;
    return q;
}

// The end tag at p of the element named name: that name exactly, blanks and
// ">". next: the position after the ">".
inline bool ScanEndTagBytes(const uint8_t* d, qsizetype e, qsizetype p, const QString& name, qsizetype& next)
{
    const char16_t* s = reinterpret_cast<const char16_t*>(name.constData());
    const qsizetype n = name.size();
    const qsizetype q = p + 2;
    if (e - q <= n) return false;
    qsizetype i = 0;
    while (i < n && d[q + i] == s[i]) ++i;
    if (i < n) return false;
    const qsizetype close = SkipTagBlanks(d, e, q + n);
    if (close == e || d[close] != '>') return false;
    next = close + 1;
    return true;
}

// One attribute at q, its name's first byte: the name, blanks, "=", blanks
// and a quoted value of plain bytes; q goes on past the closing quote.
inline bool ScanAttributeBytes(const uint8_t* d, qsizetype e, qsizetype& q, xmlbytes::TAttribute& a)
{
    using lexchars::AsciiNameByte;
    a.name = q;
    while (q < e && AsciiNameByte(d[q])) ++q;
    a.nameEnd = q;
    q = SkipTagBlanks(d, e, q);
    if (q == e || d[q] != '=') return false;
    q = SkipTagBlanks(d, e, q + 1);
    if (q == e || (d[q] != '"' && d[q] != '\'')) return false;
    const uint8_t quote = d[q++];
    a.value = q;
    while (q < e && d[q] != quote && lexchars::PlainByte(d[q])) ++q;
    if (q == e || d[q] != quote) return false;
    a.valueEnd = q++;
    return true;
}

// The start tag at p ("<" and a name's first byte), on one line: its name
// ends at nameEnd, its attributes, whether it is an empty-element tag; next:
// the position after its ">" or "/>". False when it is left to the token
// path.
inline bool ScanStartTagBytes(const uint8_t* d, qsizetype e, qsizetype p, qsizetype& nameEnd,
                              xmlbytes::TAttributes& attributes, bool& empty, qsizetype& next)
{
    using lexchars::AsciiNameByte;
    qsizetype q = p + 2;
    while (q < e && AsciiNameByte(d[q])) ++q;
    nameEnd = q;
    attributes.clear();
    empty = false;
    while (q < e) {
        const uint8_t c = d[q];
        if (c == '>') {
            next = q + 1;
            return true;
        }
        if (c == '/') {
            if (e - q < 2 || d[q + 1] != '>') return false;
            empty = true;
            next = q + 2;
            return true;
        }
        if (!TagBlank(c)) return false;
        q = SkipTagBlanks(d, e, q);
        if (q == e) return false;
        const uint8_t after = d[q];
        if (after == '>' || after == '/') continue;
        if (!lexchars::AsciiNameStart(after)) return false;
        xmlbytes::TAttribute a;
        if (!ScanAttributeBytes(d, e, q, a)) return false;
        attributes.append(a);
    }
    return false;
}

// The end of the text at p: the next "<" (stop). False when none follows.
inline bool FindTextEnd(const uint8_t* d, qsizetype e, qsizetype p, qsizetype& stop)
{
    // Most texts are short: looked through here before memchr.
    stop = p;
    const qsizetype near = e - p > 32 ? p + 32 : e;
    while (stop < near && d[stop] != '<') ++stop;
    if (stop < near) return true;
    const void* lt = std::memchr(d + stop, '<', size_t(e - stop));
    if (!lt) return false;
    stop = static_cast<const uint8_t*>(lt) - d;
    return true;
}

// The character that the bytes at p begin, of a byte encoding or UTF-8.
inline char16_t FirstCharOf(const uint8_t* p, TEncoding encoding)
{
    if (const char16_t* table = CodePageTable(encoding)) return table[p[0]];
    if (p[0] < 0xE0) return char16_t(((p[0] & 0x1F) << 6) | (p[1] & 0x3F));
    return char16_t(((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
}

// Text that is not all plain bytes is decoded on the byte path when it
// decodes as the reader would decode it: no control characters or 0x7F, no
// byte the reader lists, and it begins with a character of a document.
[[gnu::noinline]] bool DecodesOnBytePath(const uint8_t* d, qsizetype p, qsizetype stop, TEncoding encoding)
{
    for (qsizetype i = p; i < stop; ++i)
        if ((d[i] < 0x20 && !lexchars::IsBlank(d[i])) || d[i] == 0x7F) return false;
    if (DecodedLength(d + p, stop - p, encoding) < 0) return false;
    return d[p] < 0x80 || IsXMLChar(FirstCharOf(d + p, encoding));
}

// As BeginNode(15).
inline void CloseElement(TXMLStack& stack, xmlentities::TParseContext* context)
{
    stack.Drop();
    if (context && context->ElementDepth > 0) --context->ElementDepth;
}

} // namespace

// The steps of the byte path are used by ParseContentBytes alone and inlined
// into it, so that its loop stays one loop over the bytes.

void TXMLParser::ShareNamesIn(TNodeArena* arena)
{
    if (arena != m_namesArena) {
        m_sharedNames.clear();
        m_nameSlots.clear();
        m_namesArena = arena;
    }
}

[[gnu::always_inline]] inline TXMLElement* TXMLParser::OpenElementBytes(const xmlbytes::TInput& in, qsizetype p,
                                                                        qsizetype nameEnd)
{
    int index = -1;
    const QString* name = SharedName(in.d + p + 1, nameEnd - (p + 1), in.d + in.e, index);
    // As BeginNode(1).
    if (in.context) {
        if (in.context->ElementDepth >= xmlentities::MaxElementDepth)
            Error(QStringLiteral("Element nesting is too deep."));
        ++in.context->ElementDepth;
    }
    auto* element = new (m_document) TXMLElement(name, m_document, TXMLElement::ParsedName{});
    LinkNew(m_stack->Top(), element);
    m_stack->Push(element);
    return element;
}

[[gnu::always_inline]] inline void TXMLParser::AddAttributeBytes(const xmlbytes::TInput& in, TXMLElement* element,
                                                                 const xmlbytes::TAttribute& a)
{
    int index = -1;
    const QString* attribute = SharedName(in.d + a.name, a.nameEnd - a.name, in.d + in.e, index);
    if (size_t(index) >= m_nameStamps.size()) m_nameStamps.resize(size_t(index) + 64, 0u);
    const bool repeated = m_nameStamps[size_t(index)] == m_tagStamp;
    m_nameStamps[size_t(index)] = m_tagStamp;
    const char* value = reinterpret_cast<const char*>(in.d + a.value);
    const qsizetype length = a.valueEnd - a.value;
    if (in.plainAttributes && !repeated && element->getChildNodes().attributeCount() < xmlentities::MaxAttributes &&
        length <= qsizetype(UINT32_MAX) && PlainValue(in.d + a.value, length)) {
        // Kept as the input bytes until it is read.
        LinkNew(element, new (m_document) TXMLAttr(attribute, m_document, value, length, TXMLAttr::Plain{}));
    } else {
        AddNode(2, *attribute, QString::fromLatin1(value, length));
    }
}

[[gnu::always_inline]] inline bool TXMLParser::ReadStartTagBytes(const xmlbytes::TInput& in, qsizetype p,
                                                                 std::vector<TXMLNode*>& open,
                                                                 xmlbytes::TAttributes& attributes, qsizetype& next)
{
    // A start tag is read whole before anything is built.
    qsizetype nameEnd = 0;
    bool empty = false;
    if (!ScanStartTagBytes(in.d, in.e, p, nameEnd, attributes, empty, next)) return false;
    TXMLElement* element = OpenElementBytes(in, p, nameEnd);
    // Attributes: a new name with a value expanding leaves alone is linked as
    // it is; the rest, and the one past the cap, as AddNode does it.
    if (!attributes.isEmpty() && ++m_tagStamp == 0) {
        std::fill(m_nameStamps.begin(), m_nameStamps.end(), 0u);
        m_tagStamp = 1;
    }
    for (const xmlbytes::TAttribute& a : attributes) AddAttributeBytes(in, element, a);
    if (empty)
        CloseElement(*m_stack, in.context);
    else
        open.push_back(element);
    return true;
}

[[gnu::always_inline]] inline bool TXMLParser::TakeTextBytes(const xmlbytes::TInput& in, qsizetype p, qsizetype& next)
{
    const uint8_t* const d = in.d;
    qsizetype stop = 0;
    if (!FindTextEnd(d, in.e, p, stop)) return false;
    // One branch-free pass: are all bytes plain, how many are LFs, and is
    // there an "&".
    qint32 lines = 0;
    unsigned plain = 1;
    unsigned amp = 0;
    for (qsizetype i = p; i < stop; ++i) {
        const uint8_t c = d[i];
        lines += c == '\n';
        amp |= unsigned(c == '&');
        plain &= unsigned((c >= 0x20) & (c < 0x7F)) | unsigned(c == '\t') | unsigned(c == '\n') | unsigned(c == '\r');
    }
    if (!plain && !DecodesOnBytePath(d, p, stop, m_main->Encoding)) return false;
    // The token path lists what it cannot convert in the markup after a text
    // before what the text's references list: a text with references before
    // such markup is left to it.
    if (stop + 1 < in.e && !lexchars::PlainByte(d[stop + 1]) && amp) return false;
    m_line += lines;
    qsizetype first = p;
    while (first < stop && lexchars::IsBlank(d[first])) ++first;
    if (first < stop) AppendParsedText(d + p, stop - p, plain != 0, amp != 0);
    next = stop;
    return true;
}

bool TXMLParser::ParseContentBytes(std::vector<TXMLNode*>& open)
{
    TInputBuffer& buffer = *m_main;
    // Attribute values are expanded alike only without a document type.
    const xmlbytes::TInput in{buffer.Bytes(), buffer.Size(), xmlentities::Current(), !m_document->getDocType()};
    // The lookahead began at its "<" (unless its characters were sequences
    // of more than one byte each: the token path reads that one).
    const bool end = m_token->Kind == tk::EndTagStart;
    const qsizetype start = buffer.Pos() - (end ? 2 : 1);
    if (start < 0 || in.d[start] != '<' || (end && in.d[start + 1] != '/')) return false;
    // Nodes keep their names and plain values in the document's arena.
    TNodeArena* const arena = m_document->NodeArena();
    ShareNamesIn(arena);
    arena->HoldBytes(buffer.Data());
    xmlbytes::TAttributes attributes;
    // p is at a "<"; each tag is followed by the text up to the next "<",
    // when all of it is read here.
    qsizetype p = start;
    for (;;) {
        if (in.e - p < 2) break;
        const uint8_t b = in.d[p + 1];
        if (b == '/') {
            // The end tag of the open element.
            if (!ScanEndTagBytes(in.d, in.e, p, open.back()->getNodeName(), p)) break;
            CloseElement(*m_stack, in.context);
            open.pop_back();
            if (open.empty()) break;
        } else if (!lexchars::AsciiNameStart(b) || !ReadStartTagBytes(in, p, open, attributes, p)) {
            break;
        }
        if (p < in.e && in.d[p] != '<' && !TakeTextBytes(in, p, p)) break;
    }
    // The token path goes on at p, after a ">" or at a "<".
    buffer.Seek(p);
    SetKeyword(tk::TagEnd);
    m_inContent = true;
    NextToken();
    return p != start;
}

// ---------------------------------------------------------------- validation

bool TXMLParser::Validate(TXMLDocument*& document)
{
    m_errors.Clear();
    if (!document) {
        m_errors.Add(QStringLiteral("[XML]: The document is empty."), nullptr);
        return false;
    }
    document->SetParser(this);
    const QString version = document->getVersion();
    if (WideTrim(version).isEmpty()) {
        m_errors.Add(QStringLiteral("[XML]: The document does not have a proper version declaration."), document);
        return false;
    }
    if (version != u"1.0") {
        m_errors.Add(Format(QStringLiteral("[XML]: Unsupported version number \"%s\"."), {version}), document);
        return false;
    }
    TDocumentType* docType = document->getDocType();
    if (!docType) {
        m_errors.Add(QStringLiteral("[XML]: Document type declaration not found."), document);
        return false;
    }
    try {
        docType->Validate();
        if (TXMLElement* root = document->getDocumentElement()) {
            GatherIdAttributes(document, root);
            root->Validate();
            document->FreeIdList();
        }
    } catch (const std::exception& e) {
        // Validation reports; it never raises.
        document->FreeIdList();
        m_errors.Add(QString::fromUtf8(e.what()), document);
    }
    return m_errors.IsEmpty();
}
