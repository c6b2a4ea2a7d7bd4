#include "protocol/xml/TContentModelParser.h"

#include "platform/core/Format.h"
#include "protocol/xml/EDOMException.h"
#include "protocol/xml/LexChars_p.h"
#include "protocol/xml/TContentModel.h"
#include "protocol/xml/TElementDecl.h"
#include "protocol/xml/TokenKinds.h"
#include "protocol/xml/XMLChars.h"
#include "protocol/xml/XmlEntities_p.h"

using lexchars::SameText;

TContentModelParser::TContentModelParser(QObject* owner) : TLexAnalyzer(owner)
{
    m_expandsReferences = true;
    m_illegalWithStop = true;
}

TContentModelParser::~TContentModelParser() = default;

void TContentModelParser::NextToken()
{
    ShiftToken();
    do {
        m_curChar = NextChar();
        // A content model holds no markup and no literals: "<" and quotes are
        // tokens of their own.
        if (m_curChar == u'<' || m_curChar == u'"' || m_curChar == u'\'') {
            SetCharToken(m_curChar);
            return;
        }
    } while (!ScanToken(true));
}

void TContentModelParser::ParseModel(TLexState& state, TXMLDocument* document)
{
    RestoreState(state);
    m_document = document;
    m_groupDepth = 0;
    if (IsKind(tk::Name)) {
        const QString keyword = m_token->Text;
        if (!SameText(keyword, u"EMPTY") && !SameText(keyword, u"ANY")) IllegalOccurrence();
        BeginNode(20, keyword);
        Match(tk::Name);
    } else {
        Match('(');
        if (IsKind(tk::PCData)) {
            Match(tk::PCData);
            BeginNode(20, QStringLiteral("#PCDATA"));
            while (IsKind('|')) {
                Match('|');
                BeginNode(22, QStringLiteral("|"));
                Match(tk::Name);
                AddNode(17, m_prev->Text, QString());
            }
            Match(')');
            BeginNode(21, QStringLiteral(")"));
            if (IsKind('*')) Match('*');
        } else {
            BeginNode(20, QStringLiteral("("));
            ParseGroup();
        }
    }
    SaveState(state);
}

// Group nesting is bounded, so the recursion is too.
void TContentModelParser::ParseGroup()
{
    if (++m_groupDepth > xmlentities::MaxModelDepth) Error(QStringLiteral("Content model nesting is too deep."));
    ParseParticle();
    const char16_t separator = IsKind('|') ? u'|' : u',';
    while (IsKind(separator)) {
        Match(separator);
        BeginNode(22, QString(QChar(separator)));
        ParseParticle();
    }
    Match(')');
    BeginNode(21, OptionalSign());
    --m_groupDepth;
}

void TContentModelParser::ParseParticle()
{
    if (IsKind('(')) {
        Match('(');
        BeginNode(20, QStringLiteral("("));
        ParseGroup();
        return;
    }
    Match(tk::Name);
    const QString name = m_prev->Text;
    AddNode(17, name, OptionalSign());
}

QString TContentModelParser::OptionalSign()
{
    if (IsKind('?') || IsKind('*') || IsKind('+')) {
        const int kind = m_token->Kind;
        Match(kind);
        return m_prev->Text;
    }
    return QString();
}

void TContentModelParser::BeginNode(int nodeKind, const QString& value)
{
    TXMLNode* top = m_stack->Top();
    switch (nodeKind) {
    case 20:
        if (auto* decl = dynamic_cast<TElementDecl*>(top)) {
            auto* model = new TContentModel(QString(), m_document);
            if (SameText(value, u"EMPTY"))
                model->Kind = ckEmpty;
            else if (SameText(value, u"ANY"))
                model->Kind = ckAny;
            else if (value == u"#PCDATA")
                model->Kind = ckMixed;
            else
                model->Kind = ckChildren;
            decl->SetContentModel(model);
            if (model->Kind == ckMixed || model->Kind == ckChildren) m_stack->Push(model);
        } else if (auto* parent = dynamic_cast<TContentModel*>(top)) {
            auto* group = new TContentModel(QString(), m_document);
            group->Kind = ckChildren;
            parent->Children().setNamedItem(group);
            m_stack->Push(group);
        }
        break;
    case 22:
        if (auto* model = dynamic_cast<TContentModel*>(top); model && !value.isEmpty())
            model->Separator = value[0].unicode();
        break;
    case 21:
        if (auto* model = dynamic_cast<TContentModel*>(top)) {
            model->Occurrence = TContentModel::OccurrenceOf(value);
            m_stack->Pop();
        }
        break;
    default: break;
    }
}

void TContentModelParser::AddNode(int nodeKind, const QString& name, const QString& value)
{
    if (nodeKind != 17) return;
    auto* model = dynamic_cast<TContentModel*>(m_stack->Top());
    if (!model) return;
    if (model->Kind == ckMixed && model->HasName(name))
        throw EDOMException(14, QStringLiteral("Duplicate typesdeclaration is not allowed in mixed content."));
    auto* particle = new TContentModel(name, m_document);
    particle->Occurrence = TContentModel::OccurrenceOf(value);
    model->Children().setNamedItem(particle);
}
