#include "protocol/xml/TXMLParser.h"

#include "platform/core/Format.h"
#include "protocol/xml/EDOMException.h"
#include "protocol/xml/LexChars_p.h"
#include "protocol/xml/TAttDef.h"
#include "protocol/xml/TAttListDecl.h"
#include "protocol/xml/TDTDParser.h"
#include "protocol/xml/TDocumentType.h"
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
#include <memory>
#include <vector>

using lexchars::SameText;

TXMLParser::TXMLParser(QObject* owner) : TLexAnalyzer(owner), Version(QStringLiteral("1.0"))
{
    InstallXmlDTDHooks();
}

TXMLParser::~TXMLParser() = default;

void TXMLParser::DocumentUnconverted(const QString& message)
{
    if (OnUnconverted) OnUnconverted(this, message);
}

void TXMLParser::SetDefaultEncoding(TEncoding encoding)
{
    m_defaultEncoding = encoding == n_sup ? US_ASCII : encoding;
}

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
            if (k == tk::TagEnd || k == tk::EmptyTagEnd || k == tk::PIEnd || k == tk::CommentEnd
                || k == tk::CDataEnd) {
                // The content of an entity ends where its text ends.
                ScanText(m_mode == u'e');
                return;
            }
        }
    } while (!ScanToken(false));
}

// ---------------------------------------------------------------- loading

bool TXMLParser::LoadFromStream(QIODevice* stream, TXMLDocument*& document)
{
    if (!document) document = new TXMLDocument();
    else document->Clear();
    m_document = document;
    document->SetParser(this);
    if (m_mode == u'e' && m_entityEncoding != n_sup) document->setEncodingValue(m_entityEncoding);

    TLexSession session = OpenLexer();
    m_main->SetStream(stream);
    xmlentities::TContextScope scope(m_main->Size(), this);
    const bool nested = !scope.Outermost();
    const int depthBefore = scope.Context().ElementDepth;

    if (HasOwner()) {
        if (m_main->IsUTF16) {
            document->setEncodingValue(UTF_16);
        } else if (m_main->HasByteOrderMark) {
            document->setEncodingValue(m_main->Encoding);
        } else {
            if (m_defaultEncoding == UTF_16) m_main->ForceEncoding(UTF_16, false);
            else m_main->SetEncoding(m_defaultEncoding);
            document->setEncodingValue(m_defaultEncoding);
        }
    }

    // A nested parse keeps the list of the parse around it and adds to it.
    TUnconvertedListState outer;
    if (nested) outer = SaveUnconvertedList();
    ClearUnconvertedList();
    auto restoreList = [&] {
        if (!nested) return;
        const TUnconvertedListState inner = SaveUnconvertedList();
        RestoreUnconvertedList(std::move(outer));
        for (uint32_t ch : inner) ListUnconverted(ch);
    };

    m_errors.Clear();
    m_contentEnabled = false;
    m_inContent = false;
    m_inPIData = false;
    m_depth = 0;
    try {
        if (m_mode == u'e') ParseEntityText();
        else ParseDocument();
    } catch (EXMLParserError& e) {
        const qint32 line = e.Line ? e.Line : m_line;
        const QString source = e.Line ? e.Source : m_sourceName;
        const QString message = e.Message();
        const qint32 position = e.Position;
        session.Close();
        scope.Context().ElementDepth = depthBefore;
        document->Clear();
        restoreList();
        throw EXMLParserError(message, line, position, source);
    } catch (EDOMException& e) {
        const uint8_t code = e.Code();
        const QString message = e.Message();
        session.Close();
        scope.Context().ElementDepth = depthBefore;
        document->Clear();
        restoreList();
        throw EDOMException::WithMessage(code, message);
    } catch (...) {
        session.Close();
        scope.Context().ElementDepth = depthBefore;
        document->Clear();
        restoreList();
        throw;
    }
    session.Close();
    scope.Context().ElementDepth = depthBefore;

    if (nested) {
        restoreList();
    } else {
        // A parse nested in another shows no box: its characters are reported
        // by the outer one.
        if (!UnconvertedListIsEmpty()) DocumentUnconverted(UnconvertedMessage(document->getEncoding()));
        ClearUnconvertedList();
    }
    return ValidateDocument ? Validate(document) : true;
}

void TXMLParser::ParseDocument()
{
    NextToken();
    ParseProlog();
    m_contentEnabled = true;
    ParseElement();
    ParseMisc();
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
    m_stack->Pop();
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

void TXMLParser::ParseMisc()
{
    for (;;) {
        if (m_token->Kind == tk::CommentStart) ParseComment();
        else if (m_token->Kind == tk::PIStart) ParsePI();
        else return;
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
        case tk::TagStart:
            return false;
        case tk::PIStart:
            ParsePI();
            break;
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
        case tk::CommentStart:
            ParseComment();
            break;
        default:
            return true;
        }
    }
}

void TXMLParser::ParseElement()
{
    QString name;
    bool empty = false;
    ParseStartTag(name, empty);
    if (empty) return;
    std::vector<QString> open{name};
    while (!open.empty()) {
        if (ParseContentItems()) {
            ParseEndTag(open.back());
            open.pop_back();
            continue;
        }
        ParseStartTag(name, empty);
        if (!empty) open.push_back(name);
    }
}

// ---------------------------------------------------------------- builder

namespace {

// Links a new node under the open node (or the document); the node is owned
// here until it is linked, so a refused node is freed.
TXMLNode* AppendTo(TXMLNode* top, TXMLDocument* document, std::unique_ptr<TXMLNode> node)
{
    if (!top) document->appendChild(node.get());
    else if (top->getNodeType() == nt::Element) static_cast<TContainer*>(top)->appendChild(node.get());
    else if (top->getNodeType() == nt::DocumentType)
        static_cast<TDocumentType*>(top)->getDeclarations().setNamedItem(node.get());
    else document->appendChild(node.get());
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
            m_stack->Pop();
        }
        break;
    case 15:
        m_stack->Pop();
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
    default:
        break;
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
                if (element->getChildNodes().attributeCount() >= xmlentities::MaxAttributes
                    && !element->getAttributeNode(name))
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
    default:
        break;
    }
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
