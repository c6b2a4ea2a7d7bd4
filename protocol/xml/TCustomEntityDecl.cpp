#include "protocol/xml/TCustomEntityDecl.h"

#include "platform/core/AnsiCodePage.h"
#include "protocol/xml/DTDWriting_p.h"
#include "protocol/xml/EXMLParserError.h"
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
}

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
        out.AppendEscaped(getNodeValue(), esEntityValue);
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
