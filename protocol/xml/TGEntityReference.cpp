#include "protocol/xml/TGEntityReference.h"

#include "protocol/xml/TGEntityDecl.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/XmlEntities_p.h"

namespace {
TRefKind KindOf(const QString& name, TXMLDocument* document)
{
    const TGEntityDecl* decl = xmlentities::FindGeneralEntity(document ? document->getDocType() : nullptr, name);
    if (!decl) return rkNotDeclared;
    if (decl->IsUnparsed) return rkUnparsedGeneral;
    return decl->IsInternal ? rkInternalGeneral : rkExternalGeneral;
}

QString Predefined(const QString& name)
{
    if (name.compare(u"amp", Qt::CaseInsensitive) == 0) return QStringLiteral("&");
    if (name.compare(u"apos", Qt::CaseInsensitive) == 0) return QStringLiteral("'");
    if (name.compare(u"quot", Qt::CaseInsensitive) == 0) return QStringLiteral("\"");
    if (name.compare(u"lt", Qt::CaseInsensitive) == 0) return QStringLiteral("<");
    if (name.compare(u"gt", Qt::CaseInsensitive) == 0) return QStringLiteral(">");
    return QString();
}
} // namespace

TGEntityReference::TGEntityReference(const QString& name, TXMLDocument* document)
    : TCustomReference(name, document, KindOf(name, document))
{ }

TGEntityReference::~TGEntityReference() = default;

bool TGEntityReference::Resolve()
{
    const QString predefined = Predefined(getNodeName());
    if (!predefined.isEmpty()) {
        setNodeValue(predefined);
        return true;
    }
    QString value;
    TGEntityDecl* decl = nullptr;
    xmlentities::TContextScope scope(0);
    if (!xmlentities::ResolveGeneralEntity(getOwnerDocument(), getNodeName(), value, decl)) return false;
    setNodeValue(value);
    return true;
}
