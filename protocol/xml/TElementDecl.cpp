#include "protocol/xml/TElementDecl.h"

#include "platform/core/Format.h"
#include "protocol/xml/TContentModel.h"
#include "protocol/xml/TContentModelAnalyzer.h"
#include "protocol/xml/TErrorsList.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLOutput.h"

TElementDecl::TElementDecl(const QString& name, TXMLDocument* document) : TXMLNode(name, document, nt::ElementDecl) { }

TElementDecl::~TElementDecl() = default;

void TElementDecl::SetContentModel(TContentModel* model) { m_model.reset(model); }

void TElementDecl::OwnerDocumentChanged()
{
    if (m_model) m_model->setOwnerDocumentDeep(getOwnerDocument());
}

void TElementDecl::CheckContent(TXMLElement* element, TErrorsList& errors) const
{
    if (!m_model) return;
    const QString& name = element->getTagName();
    switch (m_model->Kind) {
    case ckEmpty:
        if (element->hasElementNode() || element->hasCDataNode() || element->hasPINode() || element->hasTextNode())
            errors.Add(
                Format(QStringLiteral("[Element \"%s\"]: Element declared as EMPTY can not have a content."), {name}),
                element);
        break;
    case ckMixed:
        if (element->hasPINode())
            errors.Add(
                Format(QStringLiteral("[Element \"%s\"]: Element declared as MIXED has improper content."), {name}),
                element);
        for (TXMLElement* child = element->getFirstChildElement(); child; child = child->getNextSiblingElement())
            if (!m_model->HasName(child->getTagName()))
                errors.Add(Format(QStringLiteral("[Element \"%s\"]: Element is not declared as a child of \"%s\"."),
                                  {child->getTagName(), name}),
                           child);
        break;
    case ckChildren: {
        if (element->hasTextNode() || element->hasCDataNode() || element->hasPINode())
            errors.Add(
                Format(QStringLiteral("[Element \"%s\"]: Element declared as CHILDREN has improper content."), {name}),
                element);
        const TContentModelAnalyzer analyzer(m_model.get());
        if (!analyzer.Match(element->getChildNodes()))
            errors.Add(
                Format(QStringLiteral("[Element \"%s\"]: Content of the element does not match its declaration."),
                       {name}),
                element);
        break;
    }
    case ckAny: break;
    }
}

void TElementDecl::WriteTo(TXMLOutput& out, int indent) const
{
    out.AppendSpaces(indent);
    out.Append("<!ELEMENT ");
    out.Append(getNodeName());
    out.Append(u' ');
    if (m_model) m_model->WriteTo(out, 0);
    out.Append(u'>');
    out.AppendCRLF();
}

TXMLNode* TElementDecl::CloneNode() const
{
    auto* copy = new TElementDecl(getNodeName(), getOwnerDocument());
    copy->setNodeValue(getNodeValue());
    if (m_model) copy->SetContentModel(static_cast<TContentModel*>(m_model->Clone()));
    return copy;
}
