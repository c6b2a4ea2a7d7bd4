#include "protocol/TvxComps.h"

#include "protocol/FieldTexts.h"
#include "protocol/TvxpDocument.h"
#include "protocol/WireNumbers.h"
#include "protocol/xml/TXMLElement.h"

#include <memory>

TvxComps::TvxComps(QObject* owner) : TvxCustomConnection(owner) { }

TvxComps::~TvxComps() = default;

void TvxComps::SetPrice(qint32 value)
{
    if (value != m_price) m_price = value;
}

void TvxComps::SetPriceType(TParamType value)
{
    if (value != m_priceType) m_priceType = value;
}

void TvxComps::SetParcelID(qint32 value)
{
    if (value != m_parcelId) m_parcelId = value;
}

TParamType TvxComps::IndexToParamType(int index)
{
    switch (index) {
    case 0: return ptAboveBelow;
    case 1: return ptRange;
    case 2: return ptPercent;
    default: return ptIgnore;
    }
}

void TvxComps::LoadRecords()
{
    Records.Clear();
    const TvxpDocument& document = Document();
    Records.SetSource(&document);
    const TXMLElement* answer = document.RequestElement();
    if (!answer) return;
    for (TXMLElement* e = answer->getFirstChildElement(); e; e = e->getNextSiblingElement()) Records.Add(e);
}

QString TvxComps::GetComps()
{
    Records.Clear();
    TXMLElement* request = BeginRequest(QStringLiteral("prop.getcomps"));
    request->setAttribute(QStringLiteral("county"), QString::number(County));
    request->setAttribute(QStringLiteral("userid"), QString::number(UserId));
    request->setAttribute(QStringLiteral("parcel"), QString::number(m_parcelId));
    request->setAttribute(QStringLiteral("order"), QString::number(OrderID));

    TXMLDocument* doc = request->getOwnerDocument();
    auto search = std::make_unique<TXMLElement>(QStringLiteral("search"), doc);
    auto num = [](qint64 v) { return QString::number(v); };
    auto yn = [](bool v) { return ::BoolToYN(v); };
    const std::pair<const char*, QString> fields[] = {
        {"sp_beds", num(Beds)},
        {"sp_baths", WireFormatOneDecimal(Baths)},
        {"sp_sqft", num(Sqft)},
        {"sp_lot", num(LotSqft)},
        {"sp_price", num(m_price)},
        {"bedlow", num(BedLow)},
        {"bedhi", num(BedHigh)},
        {"bedtype", num(BedType)},
        {"bathlow", WireFormatOneDecimal(BathLow)},
        {"bathhi", WireFormatOneDecimal(BathHigh)},
        {"bathtype", num(BathType)},
        {"sqftlow", num(SqftLow)},
        {"sqfthi", num(SqftHigh)},
        {"sqfttype", num(SqftType)},
        {"lotlow", num(LotLow)},
        {"lothi", num(LotHigh)},
        {"lottype", num(LotSqftType)},
        {"pricelow", num(PriceLow)},
        {"pricehi", num(PriceHigh)},
        {"pricetype", num(m_priceType)},
        {"srchtype", num(SearchType)},
        {"structtype", num(StructType)},
        {"area", WireFormatOneDecimal(Radius)},
        {"days", num(DaysBack)},
        {"zero", yn(ZeroPrice)},
        {"useactive", yn(PActiveUse)},
        {"active", num(PActive)},
        {"usepend", yn(PPendingUse)},
        {"pend", num(PPending)},
        {"usesold", yn(PSoldUse)},
        {"sold", num(PSold)},
        {"useexp", yn(PExpiredUse)},
        {"exp", num(PExpired)},
        {"srchfor", num(SearchFor)},
        {"lat", WireFloatToStr(Latitude)},
        {"lon", WireFloatToStr(Longitude)},
        {"book", ApnBook},
        {"mlsid", UseMls ? MlsId : QString()},
    };
    for (const auto& [name, value] : fields) AppendTextElement(search.get(), QLatin1String(name), value);
    request->appendChild(search.get());
    search.release();

    auto sbparams = std::make_unique<TXMLElement>(QStringLiteral("sbparams"), doc);
    for (const QString& line : SearchByParams) AppendTextElement(sbparams.get(), QStringLiteral("param"), line);
    request->appendChild(sbparams.get());
    sbparams.release();

    if (!PostDocument()) return QString();
    TvxpDocument& document = Document();
    if (document.VxpTypeName != QLatin1String("comps.result")) throw Exception(QStringLiteral("Invalid document type"));
    LoadRecords();
    Records.First();
    const QString type = document.VxpTypeName;
    DoRecievedDoc();
    return type;
}
