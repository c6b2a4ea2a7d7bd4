#include "report/TStatusStats.h"

#include "platform/core/FloatFormat.h"
#include "protocol/FieldTexts.h"
#include "protocol/TCompsRecords.h"
#include "protocol/WireNumbers.h"
#include "report/ListingStatus.h"
#include "report/ReportNumbers.h"

namespace {

// Money and number texts lose "$" and ","; an integer figure that is not a
// whole number ("2.5") reads as 0.
double FloatField(const TCompsRecords& r, const char* name)
{
    return StrToFloatDefault(MoneyToInt(r.Field(QString::fromLatin1(name))), 0);
}

double IntField(const TCompsRecords& r, const char* name)
{
    bool ok = false;
    const qlonglong v = MoneyToInt(r.Field(QString::fromLatin1(name))).trimmed().toLongLong(&ok);
    return ok ? double(v) : 0.0;
}

void Add(TStatFigure& f, double value)
{
    if (value > 0) {
        f.Total += value;
        ++f.Count;
    }
}

void Average(TStatFigure& f)
{
    if (f.Count > 0) f.Average = f.Total / f.Count;
}

} // namespace

void AddCompStatistics(const TCompsRecords& records, int slot, TStatusStats& s)
{
    const double bed = IntField(records, "bed");
    const double bath = IntField(records, "bath");
    const double sqft = IntField(records, "house_sqft");
    const double dom = IntField(records, "dom");
    const double list = FloatField(records, "list_price");
    const double sold = FloatField(records, "sold_price");
    const double ppsf = FloatField(records, "ppsf");
    const double change = FloatField(records, "change");
    const double lot = IntField(records, "lot_sqft");
    const double gross = FloatField(records, "annual_gross");
    if (slot == 8) {
        if (sold > 0) {
            s.MaxPrice = double(Round(MathMax(sold, s.MaxPrice)));
            s.MinPrice = double(Round(MathMin(sold, s.MinPrice)));
            s.SoldPrice.Total = double(Round(s.SoldPrice.Total + sold));
            ++s.SoldPrice.Count;
        }
        if (!records.Field(QStringLiteral("change")).isEmpty()) {
            s.Change.Total += change;
            ++s.Change.Count;
        }
    } else if (list > 0) {
        s.MaxPrice = double(Round(MathMax(list, s.MaxPrice)));
        s.MinPrice = double(Round(MathMin(list, s.MinPrice)));
    }
    if (list > 0) {
        s.ListPrice.Total = double(Round(s.ListPrice.Total + list));
        ++s.ListPrice.Count;
    }
    Add(s.Ppsf, ppsf);
    Add(s.HouseSqft, sqft);
    Add(s.LotSqft, lot);
    Add(s.Bed, bed);
    Add(s.Bath, bath);
    Add(s.Dom, dom);
    Add(s.AnnualGross, gross);
    ++s.RecordCount;
}

void AverageCompStatistics(TStatusStats& s)
{
    for (TStatFigure* f : {&s.Bed, &s.Bath, &s.HouseSqft, &s.Dom, &s.ListPrice, &s.SoldPrice, &s.Ppsf, &s.Change,
                           &s.LotSqft, &s.AnnualGross})
        Average(*f);
}

void CalcCompStatistics(TCompsRecords& records, bool compsFound, TStatusStatsList& stats)
{
    stats.fill(TStatusStats());
    if (!compsFound) return;
    records.First();
    for (int i = 0; i <= records.LastIndex(); ++i) {
        records.SetIndex(i);
        if (!records.IsUsed(i)) continue;
        const int slot = StatusCodeIndex(records.Field(QStringLiteral("status")));
        if (slot >= 0) AddCompStatistics(records, slot, stats[size_t(slot)]);
    }
    records.First();
    for (TStatusStats& s : stats) AverageCompStatistics(s);
}
