#include "protocol/xml/TGEntityDecl.h"

#include "platform/core/Format.h"
#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TErrorsList.h"
#include "protocol/xml/TXMLDocument.h"

TGEntityDecl::TGEntityDecl(const QString& name, TXMLDocument* document) : TCustomEntityDecl(name, document) { }

TGEntityDecl::~TGEntityDecl() = default;

void TGEntityDecl::CheckNotation(TErrorsList& errors)
{
    if (!IsUnparsed) return;
    TDocumentType* docType = getOwnerDocument() ? getOwnerDocument()->getDocType() : nullptr;
    if (!docType || !docType->getNotation(NotationName))
        errors.Add(
            Format(QStringLiteral("[Unparsed entity declaration: \"%s\"]: Notation name \"%s\" is not declared."),
                   {getNodeName(), NotationName}),
            this);
}

TXMLNode* TGEntityDecl::CloneNode() const
{
    auto* copy = new TGEntityDecl(getNodeName(), getOwnerDocument());
    CopyTo(copy);
    copy->IsUnparsed = IsUnparsed;
    return copy;
}
