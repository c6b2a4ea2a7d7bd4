#include "protocol/xml/TCustomEntityDecl.h"

#include "platform/core/AnsiCodePage.h"
#include "protocol/xml/DTDWriting_p.h"
#include "protocol/xml/EXMLParserError.h"
#include "protocol/xml/XMLChars.h"
#include "protocol/xml/XmlEntities_p.h"

TCustomEntityDecl::TCustomEntityDecl(const QString& name, TXMLDocument* document)
    : TExternalNode(name, document, nt::EntityDecl)
{ }

TCustomEntityDecl::~TCustomEntityDecl() = default;

void TCustomEntityDecl::SetValue(const QString& text)
{
    if (!IsInternal) throw EXMLParserError(QStringLiteral("Can not set a value of an external entity."));
    setNodeValue(text);
    Expand();
    m_literal = text;
    m_literalValue = getNodeValue();
}

void TCustomEntityDecl::Expand()
{
    setNodeValue(xmlentities::ExpandEntityValue(getNodeValue(), getOwnerDocument(), xmlentities::evDeclaration));
}

// The file's lines joined with line feeds (a final line break ends the last
// line), read in the platform's ANSI code page.
void TCustomEntityDecl::LoadExternal()
{
    if (m_loaded || IsInternal) return;
    m_loaded = true;
    const QString path = xmlentities::ExternalFile(PublicId, SystemId);
    if (path.isEmpty()) {
        xmlentities::FileNotFound(this, SystemId.isEmpty() ? PublicId : SystemId);
        return;
    }
    const QString text = AnsiToWide(xmlentities::ReadExternalFile(path, SystemId.isEmpty() ? PublicId : SystemId));
    QString value;
    value.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
            if (i + 1 < n) value.append(u'\n');
            continue;
        }
        value.append(c);
    }
    setNodeValue(value);
}

void TCustomEntityDecl::CopyTo(TCustomEntityDecl* copy) const
{
    copy->setNodeValue(getNodeValue());
    copy->SystemId = SystemId;
    copy->PublicId = PublicId;
    copy->IsInternal = IsInternal;
    copy->NotationName = NotationName;
    copy->m_loaded = m_loaded;
    copy->m_literal = m_literal;
    copy->m_literalValue = m_literalValue;
}

namespace {

// Whether a value written with "&" and the double quote escaped expands
// back to itself: no white space but single spaces (expansion folds the
// rest), no "%" or double quote, and every "&" begins a reference to a
// general entity, which stays as written (a character reference would be
// resolved, a lone "&" comes back as "&amp;").
bool ReadsBackAsWritten(QStringView value)
{
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = value[i].unicode();
        if (c == u'\r' || c == u'\n' || c == u'\t' || c == u'%' || c == u'"') return false;
        if (c == u' ' && i > 0 && value[i - 1] == u' ') return false;
        if (c == u'&' && (i + 1 >= n || value[i + 1] == u'#' || ReferenceEnd(value, int(i + 2)) == 0)) return false;
    }
    return true;
}

} // namespace

// Writing never creates a file: an external entity is written with its
// identifiers only.
void TCustomEntityDecl::WriteTo(TXMLOutput& out, int indent) const
{
    out.AppendSpaces(indent);
    out.Append("<!ENTITY ");
    if (IsParameter()) out.Append("% ");
    out.Append(getNodeName());
    out.Append(u' ');
    if (PublicId.isEmpty() && SystemId.isEmpty()) {
        out.Append(u'"');
        if (!m_literal.isNull() && getNodeValue() == m_literalValue && !ReadsBackAsWritten(m_literalValue)) {
            // A double quote of a literal in apostrophes as the reference
            // that gives it back.
            const qsizetype n = m_literal.size();
            qsizetype from = 0;
            for (qsizetype i = 0; i < n; ++i) {
                if (m_literal[i] != u'"') continue;
                out.Append(QStringView(m_literal).mid(from, i - from));
                out.Append("&#34;");
                from = i + 1;
            }
            out.Append(QStringView(m_literal).mid(from));
        } else {
            out.AppendEscaped(getNodeValue(), esEntityValue);
        }
        out.Append(u'"');
    } else {
        if (!PublicId.isEmpty()) {
            out.Append(" PUBLIC ");
            AppendDTDLiteral(out, PublicId);
            out.Append(u' ');
            AppendDTDLiteral(out, SystemId);
        } else {
            out.Append(" SYSTEM ");
            AppendDTDLiteral(out, SystemId);
        }
        if (!NotationName.isEmpty()) {
            out.AppendCRLF();
            out.AppendSpaces(indent + 10);
            out.Append("NDATA ");
            out.Append(NotationName);
        }
    }
    out.Append(u'>');
    out.AppendCRLF();
}
