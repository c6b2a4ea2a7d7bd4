#include "protocol/xml/TPEntityReference.h"

#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/XmlEntities_p.h"

TPEntityReference::TPEntityReference(const QString& name, TXMLDocument* document)
    : TCustomReference(name, document,
                       xmlentities::FindParameterEntity(document ? document->getDocType() : nullptr, name)
                           ? rkParameterEntity
                           : rkNotDeclared)
{ }

TPEntityReference::~TPEntityReference() = default;

bool TPEntityReference::Resolve()
{
    QString value;
    xmlentities::TContextScope scope(0);
    if (!xmlentities::ResolveParameterEntity(getOwnerDocument(), getNodeName(), value, m_decl)) return false;
    setNodeValue(value);
    return true;
}
