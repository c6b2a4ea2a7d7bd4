#pragma once
// The comparable sales marked for use, summed up per listing status: counts,
// totals and averages of their price, size and income figures, and the
// highest and lowest price. The market pages print these.

#include <array>

class TCompsRecords;

struct TStatFigure {
    int Count = 0;
    double Total = 0;
    double Average = 0;
};

struct TStatusStats {
    // Lowest price before any priced comp.
    static constexpr double kNoMinimum = 2000000000.0;

    TStatFigure Bed, Bath, HouseSqft, Dom, ListPrice, SoldPrice, Ppsf, Change, LotSqft, AnnualGross;
    int RecordCount = 0;
    double MaxPrice = 0;
    double MinPrice = kNoMinimum;
    // A priced comp of this status set the lowest price.
    bool HasMinPrice() const { return MinPrice < kNoMinimum; }
};

// One slot per status index 0..10 ("0".."9", "U").
using TStatusStatsList = std::array<TStatusStats, 11>;

// Resets every slot; unless compsFound is false, sums up the records marked
// for use. A record whose status is none of the eleven codes is left out.
// The cursor is left on the first record.
void CalcCompStatistics(TCompsRecords& records, bool compsFound, TStatusStatsList& stats);

// Adds the current record to the figures of a slot (slot 8 is Sold), and
// turns the totals of a slot into averages once every record is added.
void AddCompStatistics(const TCompsRecords& records, int slot, TStatusStats& s);
void AverageCompStatistics(TStatusStats& s);
