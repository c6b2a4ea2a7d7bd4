#pragma once
// The look of the report: fonts, sizes, font colours, page colours and the
// tab shade, read from "DEDureva.ini" in the program's directory before
// every report and every PDF rendering (never written). A missing file or
// key gives the default. The reading also takes the report date.

#include "platform/core/DateTime.h"
#include "platform/graphics/Color.h"

#include <QString>
#include <array>

struct TReportFontSetting {
    QString Name;
    int Size = 0;
    TColor Color = 0;
};

// The REPORT COLORS keys in file order.
enum TReportColorIndex : int {
    rcProfileBar,
    rcProfileTitle,
    rcStreetBar,
    rcStreetTitle,
    rcDetailsBar,
    rcDetailsTitle,
    rcCensusBar,
    rcCensusTitle,
    rcCommunityBar,
    rcCommunityTitle,
    rcSchoolBar,
    rcSchoolTitle,
    rcHazardsBar,
    rcHazardsTitle,
    rcMarketSumBar,
    rcMarketSumTitle,
    rcSumAnalysisBar,
    rcSumAnalysisTitle,
    rcAgentBar,
    rcAgentTitle,
    rcColorCount
};

class TReportSettings {
public:
    TReportSettings();

    // Sets every value to its default and the report date to today.
    void Reset();
    // The report date := today; then every key of iniFile with its default.
    void Load(const QString& iniFile);

    // The report date as the pages print it, "mm/dd/yyyy".
    QString ReportDateText() const;

    TDateTime ReportDate = 0;
    // Grey percentage of the shaded table headings, always 0..100.
    int TabShade = 10;
    int MaxRows = 31;
    TColor SqFtGraphColor = 65280;
    TColor DomGraphColor = 255;
    TReportFontSetting LargeFont, MiddleFont, SmallFont;
    TReportFontSetting GroupFont;
    TReportFontSetting DistFont, TextFont, DataFont;
    std::array<TColor, rcColorCount> Colors{};
    QString cpImage31, cpLogo31;

    TColor Color(TReportColorIndex index) const { return Colors[size_t(index)]; }
};
