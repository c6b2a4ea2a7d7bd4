#include "protocol/TvxRptGen.h"

#include "protocol/FieldTexts.h"
#include "protocol/TvxpDocument.h"
#include "protocol/WireNumbers.h"
#include "protocol/xml/TXMLElement.h"

#include <memory>

namespace {

std::unique_ptr<TXMLElement> NewElement(const QString& name, TXMLElement* parent)
{
    return std::make_unique<TXMLElement>(name, parent->getOwnerDocument());
}

void Append(TXMLElement* parent, std::unique_ptr<TXMLElement> child)
{
    parent->appendChild(child.get());
    child.release();
}

} // namespace

TvxRptGen::TvxRptGen(QObject* owner) : TvxCustomConnection(owner) { }

TvxRptGen::~TvxRptGen() = default;

QString TvxRptGen::Execute()
{
    TXMLElement* request = BeginRequest(QStringLiteral("rptgen.request"));
    request->setAttribute(QStringLiteral("county"), QString::number(County));
    request->setAttribute(QStringLiteral("userid"), QString::number(UserId));

    if (IncludeCensus) {
        auto census = NewElement(QStringLiteral("census"), request);
        census->setAttribute(QStringLiteral("county"), QString::number(County));
        census->setAttribute(QStringLiteral("tract"), XmlEscape(CensusTract));
        Append(request, std::move(census));
    }
    auto area = [&](const QString& name, const QString& city, const QString& zip, const QString& andOr,
                    const QString& areaText) {
        auto part = NewElement(name, request);
        AppendTextElement(part.get(), QStringLiteral("lat"), WireFloatToStr(Latitude));
        AppendTextElement(part.get(), QStringLiteral("lon"), WireFloatToStr(Longitude));
        AppendTextElement(part.get(), QStringLiteral("city"), city);
        AppendTextElement(part.get(), QStringLiteral("zip"), zip);
        AppendTextElement(part.get(), QStringLiteral("andor"), andOr);
        AppendTextElement(part.get(), QStringLiteral("area"), areaText);
        Append(request, std::move(part));
    };
    if (IncludeSchool) area(QStringLiteral("school"), SchoolCity, SchoolZip, SchoolAndOr, QStringLiteral("8.0"));
    if (IncludeServices)
        area(QStringLiteral("services"), ServicesCity, ServicesZip, ServicesAndOr, WireFloatToStr(ServicesArea));
    if (IncludePhotos && !PhotoApns.isEmpty()) {
        auto photos = NewElement(QStringLiteral("photos"), request);
        for (const QString& apn : PhotoApns) AppendTextElement(photos.get(), QStringLiteral("apn"), apn);
        Append(request, std::move(photos));
    }
    if (HazardMap || StreetMap) {
        auto map = NewElement(QStringLiteral("map"), request);
        map->setAttribute(QStringLiteral("mapid"), QString::number(MapId));
        map->setAttribute(QStringLiteral("street"), BoolToYN(StreetMap));
        map->setAttribute(QStringLiteral("hazard"), BoolToYN(HazardMap));
        Append(request, std::move(map));
    }

    if (!PostDocument()) return QString();
    return Document().VxpTypeName;
}
