#include "protocol/xml/TXMLAttr.h"

#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TXMLDTDHooks.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLOutput.h"
#include "protocol/xml/XMLExpand_p.h"

#include <cstring>

TXMLAttr::TXMLAttr(const QString& name, TXMLDocument* document, const QString& value)
    : TXMLNode(name, value, document, 2, TNameCheck::Checked)
{
    Expand();
}

TXMLAttr::TXMLAttr(const QString& name, TXMLDocument* document, const QString& value, NoExpand)
    : TXMLNode(name, value, document, 2, TNameCheck::Checked)
{ }

TXMLAttr::TXMLAttr(const QString* sharedName, TXMLDocument* document, const char* raw, qsizetype length, Plain)
    : TXMLNode(sharedName, document, 2, raw, length)
{
    setValueForm(TValueForm::Expanded);
}

TXMLAttr::~TXMLAttr() = default;

TXMLElement* TXMLAttr::getOwnerElement() const
{
    TXMLNode* p = getParentNode();
    return (p && p->getNodeType() == 1) ? static_cast<TXMLElement*>(p) : nullptr;
}

void TXMLAttr::Expand() { ExpandValue(true); }

void TXMLAttr::ExpandValue(bool normalizeWhiteSpace)
{
    bool tokenized = false;
    if (TXMLDTDHooks* hooks = TXMLDTDHooks::Current()) {
        TXMLDocument* doc = getOwnerDocument();
        TDocumentType* dt = doc ? doc->getDocType() : nullptr;
        const TXMLElement* e = getOwnerElement();
        if (dt && e) tokenized = hooks->IsTokenizedAttribute(dt, e->getTagName(), getNodeName());
    }
    QString value;
    std::vector<qsizetype> kept;
    if (xmlexpand::ExpandAttribute(getNodeValue(), getOwnerDocument(), tokenized, &value, normalizeWhiteSpace, &kept))
        setNodeValue(value);
    setValueForm(kept.empty() ? TValueForm::Expanded : TValueForm::KeptReferences);
    m_kept.Set(std::move(kept));
}

void TXMLAttr::WriteTo(TXMLOutput& out, int /*indent*/) const
{
    out.Append(u' ');
    out.Append(getNodeName());
    out.Append(" = \"");
    // Bytes the parser kept hold nothing an attribute escapes but quotes.
    qsizetype length;
    const char* raw = RawValue(length);
    if (raw && getValueForm() == TValueForm::Expanded && !std::memchr(raw, '"', size_t(length)))
        out.AppendBytes(raw, length);
    else
        out.AppendValue(getNodeValue(), esAttribute, getValueForm(), &m_kept);
    out.Append(u'"');
    out.LastWasText = false;
}

TXMLNode* TXMLAttr::CloneNode() const
{
    TXMLAttr* a = new TXMLAttr(getNodeName(), getOwnerDocument(), getNodeValue(), NoExpand{});
    a->m_specified = m_specified;
    a->setValueForm(getValueForm());
    a->m_kept = m_kept;
    return a;
}
