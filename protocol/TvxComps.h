#pragma once
// The connection of the comparable-sales search: the subject property's
// figures and the search rules go out as "prop.getcomps"; the "comps.result"
// answer becomes Records, one record per answer element. Numbers are written
// with "." as the decimal point whatever the regional settings.

#include "protocol/TCompsRecords.h"
#include "protocol/TvxCustomConnection.h"

#include <QStringList>

// How a range rule is applied, sent as its ordinal.
enum TParamType : quint8 { ptAboveBelow = 0, ptRange = 1, ptPercent = 2, ptIgnore = 3 };

class TvxComps : public TvxCustomConnection {
public:
    explicit TvxComps(QObject* owner = nullptr);
    ~TvxComps() override;

    // The subject property.
    qint32 Sqft = 0;                         // sp_sqft
    qint32 LotSqft = 0;                      // sp_lot
    qint32 Beds = 0;                         // sp_beds
    double Baths = 0;                        // sp_baths
    qint32 Price() const { return m_price; } // sp_price
    virtual void SetPrice(qint32 value);

    // The ranges and how they apply.
    qint32 BedLow = 0, BedHigh = 0;
    double BathLow = 0, BathHigh = 0;
    qint32 SqftLow = 0, SqftHigh = 0;
    qint32 LotLow = 0, LotHigh = 0;
    qint32 PriceLow = 0, PriceHigh = 0;
    TParamType BedType = ptIgnore;
    TParamType BathType = ptIgnore;
    TParamType SqftType = ptIgnore;
    TParamType LotSqftType = ptIgnore;
    TParamType PriceType() const { return m_priceType; }
    virtual void SetPriceType(TParamType value);

    qint32 SearchFor = 1;
    qint32 PActive = 0, PPending = 0, PSold = 20, PExpired = 0;
    bool PActiveUse = false, PPendingUse = false, PSoldUse = true, PExpiredUse = false;
    bool ZeroPrice = false;
    qint32 DaysBack = 180;
    double Radius = 0.5;
    qint32 SearchType = 0;
    qint32 StructType = 1;
    qint32 OrderID = 0;
    qint32 ParcelID() const { return m_parcelId; }
    virtual void SetParcelID(qint32 value);
    QString ApnBook;
    QString MlsId;
    bool UseMls = false;
    // File of the named parameter sets (not sent).
    QString ParamFile = QStringLiteral("ss.xml");

    // Set by the caller before each search.
    qint32 County = 0;
    qint32 UserId = 0;
    double Latitude = 0;
    double Longitude = 0;
    // One "param" element each, in order.
    QStringList SearchByParams;

    TCompsRecords Records;

    // Sends the search; "comps.result" when records were loaded, empty after
    // a "message" answer. Another answer type raises "Invalid document type".
    QString GetComps();
    // One record per child element of the answer element, in document order.
    void LoadRecords();

    // 0 ptAboveBelow, 1 ptRange, 2 ptPercent, anything else ptIgnore.
    static TParamType IndexToParamType(int index);

private:
    qint32 m_price = 0;
    TParamType m_priceType = ptIgnore;
    qint32 m_parcelId = 0;
};
