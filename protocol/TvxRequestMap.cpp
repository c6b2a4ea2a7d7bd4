#include "protocol/TvxRequestMap.h"

#include "protocol/TvxpDocument.h"

TvxRequestMap::TvxRequestMap(QObject* owner) : TvxCustomConnection(owner) { }

TvxRequestMap::~TvxRequestMap() = default;

void TvxRequestMap::Execute()
{
    TvxpDocument& document = Document();
    if (!document.RequestElement()) throw Exception(QStringLiteral("Document has not been created for this method"));
    if (document.VxpTypeName != QLatin1String("map.request"))
        throw Exception(QStringLiteral("Invalid document type for this component"));
    if (PostDocument()) DoRecievedDoc();
}
