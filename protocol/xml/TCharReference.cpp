#include "protocol/xml/TCharReference.h"

#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/XMLChars.h"

TCharReference::TCharReference(const QString& name, TXMLDocument* document)
    : TCustomReference(name, document, rkCharacter)
{ }

TCharReference::~TCharReference() = default;

bool TCharReference::Resolve()
{
    const TEncoding encoding = getOwnerDocument() ? getOwnerDocument()->getEncoding() : UTF_8;
    setNodeValue(QString(QChar(CharReferenceValue(getNodeName(), encoding))));
    return true;
}
