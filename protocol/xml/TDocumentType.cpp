#include "protocol/xml/TDocumentType.h"

#include "protocol/xml/TXMLDTDHooks.h"
#include "protocol/xml/TXMLOutput.h"

#include <typeinfo>

TDocumentType::TDocumentType(const QString& rootName, TXMLDocument* document)
    : TExternalNode(rootName, document, 12), m_declarations(document, this)
{ }

TDocumentType::~TDocumentType() = default;

TXMLNode* TDocumentType::FindDeclaration(const QString& name, uint8_t nodeType) const
{
    return m_declarations.getNamedItem(name, nodeType);
}

void TDocumentType::AddDeclaration(TXMLNode* declaration) { m_declarations.setNamedItem(declaration); }

bool TDocumentType::AddAttList(TXMLNode* attList)
{
    TXMLNode* existing = FindDeclaration(attList->getNodeName(), 18);
    if (!existing) {
        m_declarations.setNamedItem(attList);
        return true;
    }
    TNodeList* from = attList->OwnedList();
    TNodeList* to = existing->OwnedList();
    if (!from || !to) return false;
    TXMLNode* n = from->first();
    while (n) {
        TXMLNode* next = n->nextSibling();
        if (n->getNodeType() == 9 && !to->getNamedItem(n->getNodeName(), 9)) {
            from->removeChild(n);
            to->setNamedItem(n);
        }
        n = next;
    }
    return false;
}

bool TDocumentType::AddEntityDecl(TXMLNode* declaration)
{
    for (TXMLNode* n = m_declarations.getNamedItem(declaration->getNodeName(), 10); n;
         n = m_declarations.nextNamedItem(n))
        if (typeid(*n) == typeid(*declaration)) return false;
    m_declarations.setNamedItem(declaration);
    return true;
}

void TDocumentType::LoadExternal()
{
    if (TXMLDTDHooks* hooks = TXMLDTDHooks::Current()) hooks->LoadExternal(this);
}

void TDocumentType::Validate()
{
    if (TXMLDTDHooks* hooks = TXMLDTDHooks::Current()) hooks->ValidateDocumentType(this);
}

namespace {
// An identifier as a literal: in double quotes, or in apostrophes when it
// holds a double quote (a literal can hold one kind of quote, not both).
void writeLiteral(TXMLOutput& out, const QString& text)
{
    const char16_t quote = text.contains(u'"') ? u'\'' : u'"';
    out.Append(quote);
    out.Append(text);
    out.Append(quote);
}
} // namespace

void TDocumentType::WriteTo(TXMLOutput& out, int /*indent*/) const
{
    out.Append("<!DOCTYPE ");
    out.Append(getNodeName());
    const bool external = !PublicId.isEmpty() || !SystemId.isEmpty();
    if (external) {
        const QString system = SystemId.isEmpty() ? getNodeName() + QStringLiteral(".dtd") : SystemId;
        if (!PublicId.isEmpty()) {
            out.Append(" PUBLIC ");
            writeLiteral(out, PublicId);
            out.Append(u' ');
        } else {
            out.Append(" SYSTEM ");
        }
        writeLiteral(out, system);
    }
    // The declarations go into the internal subset; nothing is ever written
    // to the files the identifiers name.
    if (!m_declarations.isEmpty() || !external) {
        out.Append(" [");
        if (!m_declarations.isEmpty()) out.AppendCRLF();
        out.LastWasText = false;
        for (const TXMLNode* d = m_declarations.first(); d; d = d->nextSibling()) d->WriteTo(out, 3);
        out.Append(u']');
    }
    out.Append(">\r\n");
    out.LastWasText = false;
}

TXMLNode* TDocumentType::CloneNode() const
{
    TDocumentType* d = new TDocumentType(getNodeName(), getOwnerDocument());
    d->setNodeValue(getNodeValue());
    d->SystemId = SystemId;
    d->PublicId = PublicId;
    return d;
}

void TDocumentType::OwnerDocumentChanged() { m_declarations.setOwnerDocument(getOwnerDocument()); }
