#include "protocol/xml/TDTDParser.h"

#include "platform/core/Format.h"
#include "protocol/xml/LexChars_p.h"
#include "protocol/xml/TAttDef.h"
#include "protocol/xml/TAttListDecl.h"
#include "protocol/xml/TContentModelParser.h"
#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TElementDecl.h"
#include "protocol/xml/TEnumeration.h"
#include "protocol/xml/TGEntityDecl.h"
#include "protocol/xml/TNotation.h"
#include "protocol/xml/TPEntityDecl.h"
#include "protocol/xml/TXMLComment.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLPI.h"
#include "protocol/xml/TokenKinds.h"
#include "protocol/xml/XMLChars.h"
#include "protocol/xml/XmlEntities_p.h"

#include <QBuffer>

using lexchars::SameText;

TDTDParser::TDTDParser(QObject* owner) : TLexAnalyzer(owner) { m_expandsReferences = true; }

TDTDParser::~TDTDParser() = default;

TDocumentType* TDTDParser::DocType()
{
    TDocumentType* docType = m_document ? m_document->getDocType() : nullptr;
    if (!docType) Error(QStringLiteral("Document type declaration not found."));
    return docType;
}

void TDTDParser::ParseInternalSubset(TLexState& state, TXMLDocument* document)
{
    RestoreState(state);
    m_document = document;
    ParseDeclarations();
    SaveState(state);
}

void TDTDParser::ParseFile(const QString& path, const QString& sourceName, TXMLDocument* document)
{
    QBuffer buffer;
    buffer.setData(xmlentities::ReadExternalFile(path, sourceName));
    buffer.open(QIODevice::ReadOnly);
    m_sourceName = sourceName;
    ParseStream(&buffer, document);
}

void TDTDParser::ParseStream(QIODevice* stream, TXMLDocument* document)
{
    const QString source = m_sourceName;
    TLexSession session = OpenLexer();
    m_sourceName = source;
    m_document = document;
    try {
        m_main->SetStream(stream);
        NextToken();
        ParseTextDecl();
        ParseDeclarations();
    } catch (...) {
        session.Close();
        m_dropped.reset();
        throw;
    }
}

// ---------------------------------------------------------------- tokens

void TDTDParser::NextToken()
{
    ShiftToken();
    do m_curChar = NextChar();
    while (!ScanToken(true));
}

// ---------------------------------------------------------------- grammar

void TDTDParser::ParseDeclarations()
{
    for (;;) {
        switch (m_token->Kind) {
        case tk::ElementDecl: ParseElementDecl(); break;
        case tk::AttlistDecl: ParseAttlistDecl(); break;
        case tk::EntityDecl: ParseEntityDecl(); break;
        case tk::NotationDecl: ParseNotationDecl(); break;
        case tk::PIStart: ParsePI(); break;
        case tk::CommentStart: ParseComment(); break;
        case '%': ExpandPEReference(); break;
        default: return;
        }
    }
}

void TDTDParser::ParseElementDecl()
{
    Match(tk::ElementDecl);
    Match(tk::Name);
    BeginNode(8, m_prev->Text);
    TLexState state;
    SaveState(state);
    {
        TContentModelParser model;
        model.ParseModel(state, m_document);
    }
    RestoreState(state);
    BeginNode(8, QString());
    Match(tk::TagEnd);
}

void TDTDParser::ParseAttlistDecl()
{
    Match(tk::AttlistDecl);
    Match(tk::Name);
    BeginNode(18, m_prev->Text);
    while (IsKind(tk::Name)) {
        Match(tk::Name);
        BeginNode(9, m_prev->Text);
        ExpandPending(0);
        BeginNode(25, m_token->Text);
        auto* def = static_cast<TAttDef*>(m_stack->Top());
        if (def->AttType == atNOTATION || def->AttType == atEnumeration) {
            if (def->AttType == atNOTATION) Match(tk::Name);
            Match('(');
            MatchEither(tk::Name, tk::Nmtoken);
            BeginNode(24, m_prev->Text);
            while (IsKind('|')) {
                Match('|');
                MatchEither(tk::Name, tk::Nmtoken);
                BeginNode(24, m_prev->Text);
            }
            Match(')');
        } else {
            Match(tk::Name);
        }
        if (IsKind(tk::Required) || IsKind(tk::Implied)) {
            Match(m_token->Kind);
            AddNode(9, m_prev->Text, QString());
        } else if (IsKind(tk::Fixed)) {
            Match(tk::Fixed);
            Match(tk::Literal);
            AddNode(9, QStringLiteral("#FIXED"), m_prev->Text);
        } else if (IsKind(tk::Literal)) {
            Match(tk::Literal);
            AddNode(9, QString(), m_prev->Text);
        } else {
            Error(QStringLiteral("Attribute defaults required or incorrect."));
        }
    }
    Match(tk::TagEnd);
    BeginNode(26, QString());
}

void TDTDParser::ParseEntityDecl()
{
    Match(tk::EntityDecl);
    bool parameter = false;
    if (m_token->Kind == '%') {
        MatchText(QStringLiteral("%"));
        parameter = true;
    }
    Match(tk::Name);
    AddNode(10, m_prev->Text, parameter ? QStringLiteral("%") : QString());
    if (IsKind(tk::Literal)) {
        Match(tk::Literal);
        BeginNode(27, m_prev->Text);
    } else if (IsKind(tk::Name)) {
        ParseExternalID();
        if (IsText(QStringLiteral("NDATA"))) {
            MatchText(QStringLiteral("NDATA"));
            Match(tk::Name);
            BeginNode(30, m_prev->Text);
        }
    } else {
        Error(Format(QStringLiteral("Illegal occurence of \"%s\"."), {m_token->Text}));
    }
    Match(tk::TagEnd);
    BeginNode(19, QString());
}

void TDTDParser::ParseNotationDecl()
{
    Match(tk::NotationDecl);
    Match(tk::Name);
    BeginNode(11, m_prev->Text);
    ParseExternalID();
    Match(tk::TagEnd);
    BeginNode(11, QString());
}

// ---------------------------------------------------------------- builder

void TDTDParser::CountDeclaration()
{
    xmlentities::TParseContext* c = xmlentities::Current();
    qint64& count = c ? c->Declarations : m_declarations;
    if (++count > xmlentities::MaxDeclarations)
        Error(Format(QStringLiteral("The document type holds more than %d declarations."),
                     {xmlentities::MaxDeclarations}));
}

namespace {

// The parts of an entity or notation declaration on top of the stack.
void SetEntityValue(TXMLNode* top, const QString& value)
{
    if (auto* entity = dynamic_cast<TCustomEntityDecl*>(top)) entity->SetValue(value);
}

// A system identifier makes an entity external and the document not
// standalone.
void SetSystemId(TXMLNode* top, TXMLDocument* document, const QString& value)
{
    auto* external = dynamic_cast<TExternalNode*>(top);
    if (!external) return;
    external->SystemId = value;
    if (auto* entity = dynamic_cast<TCustomEntityDecl*>(top)) entity->IsInternal = false;
    document->setStandalone(false);
}

void SetPublicId(TXMLNode* top, const QString& value)
{
    auto* external = dynamic_cast<TExternalNode*>(top);
    if (!external) return;
    external->PublicId = value;
    if (auto* entity = dynamic_cast<TCustomEntityDecl*>(top)) entity->IsInternal = false;
}

// NDATA: a general entity becomes unparsed.
void SetNotationName(TXMLNode* top, const QString& value)
{
    auto* entity = dynamic_cast<TCustomEntityDecl*>(top);
    if (!entity) return;
    entity->NotationName = value;
    if (auto* general = dynamic_cast<TGEntityDecl*>(entity)) general->IsUnparsed = true;
}

void AddEnumerationValue(TXMLNode* top, const QString& value)
{
    if (auto* def = dynamic_cast<TAttDef*>(top); def && def->Enumeration()) def->Enumeration()->AddValue(value);
}

} // namespace

void TDTDParser::BeginDeclaration(TXMLNode* decl)
{
    DocType()->AddDeclaration(decl);
    m_stack->Push(decl);
}

void TDTDParser::SetAttType(TXMLNode* top, const QString& value)
{
    auto* def = static_cast<TAttDef*>(top);
    TAttType type = atCDATA;
    if (!TAttDef::TypeFromText(value, type)) Error(Format(QStringLiteral("Unknown attribute type: \"%s\"."), {value}));
    def->AttType = type;
    if (type == atNOTATION || type == atEnumeration) def->NewEnumeration();
}

void TDTDParser::BeginAttList(const QString& element)
{
    // Several lists for one element add to the first.
    TDocumentType* docType = DocType();
    auto* list = dynamic_cast<TAttListDecl*>(docType->getAttList(element));
    if (!list) {
        list = new TAttListDecl(element, m_document);
        docType->AddAttList(list);
    }
    m_stack->Push(list);
}

void TDTDParser::BeginAttDef(TXMLNode* top, const QString& name)
{
    // A second definition of a name is read and dropped.
    auto* list = static_cast<TAttListDecl*>(top);
    auto* def = new TAttDef(name, m_document);
    if (list->Definition(name))
        m_dropped.reset(def);
    else
        list->AddDefinition(def);
    m_stack->Push(def);
}

void TDTDParser::BeginNode(int nodeKind, const QString& value)
{
    TXMLNode* top = m_stack->Top();
    if (!value.isEmpty() && (nodeKind == 8 || nodeKind == 18 || nodeKind == 9 || nodeKind == 11)) CountDeclaration();
    switch (nodeKind) {
    case 5: DocType()->getDeclarations().setNamedItem(new TXMLComment(value, m_document)); break;
    case 8:
        if (!value.isEmpty())
            BeginDeclaration(new TElementDecl(value, m_document));
        else
            m_stack->Pop();
        break;
    case 18: BeginAttList(value); break;
    case 9: BeginAttDef(top, value); break;
    case 25: SetAttType(top, value); break;
    case 24: AddEnumerationValue(top, value); break;
    case 26: m_stack->Pop(); break;
    case 27: SetEntityValue(top, value); break;
    case 28: SetSystemId(top, m_document, value); break;
    case 29: SetPublicId(top, value); break;
    case 30: SetNotationName(top, value); break;
    case 19:
        // External entities are read when first referred to.
        m_stack->Pop();
        if (m_dropped.get() == top) m_dropped.reset();
        break;
    case 11:
        if (!value.isEmpty())
            BeginDeclaration(new TNotation(value, m_document));
        else
            m_stack->Pop();
        break;
    default: break;
    }
}

void TDTDParser::AddNode(int nodeKind, const QString& name, const QString& value)
{
    TXMLNode* top = m_stack->Top();
    switch (nodeKind) {
    case 2:
        if (SameText(name, u"encoding")) {
            const TEncoding encoding = EncodingFromName(value);
            if (encoding == n_sup)
                Error(Format(QStringLiteral("Encoding '%s' is not supported in this version of XMLParser."), {value}));
            // A DTD file may switch; a parameter entity's text is decoded.
            if (!InEntity()) m_current->SetEncoding(encoding);
        }
        break;
    case 6: DocType()->getDeclarations().setNamedItem(m_document->createProcessingInstruction(name, value)); break;
    case 9: {
        auto* def = static_cast<TAttDef*>(top);
        if (name.isEmpty())
            def->DefaultKind = dkValue;
        else if (SameText(name, u"#REQUIRED"))
            def->DefaultKind = dkRequired;
        else if (SameText(name, u"#IMPLIED"))
            def->DefaultKind = dkImplied;
        else
            def->DefaultKind = dkFixed;
        def->DefaultValue = value;
        m_stack->Pop();
        if (m_dropped.get() == def) m_dropped.reset();
        break;
    }
    case 10: {
        CountDeclaration();
        TCustomEntityDecl* decl = nullptr;
        if (value == u"%")
            decl = new TPEntityDecl(name, m_document);
        else
            decl = new TGEntityDecl(name, m_document);
        if (!DocType()->AddEntityDecl(decl)) m_dropped.reset(decl);
        m_stack->Push(decl);
        break;
    }
    default: break;
    }
}
