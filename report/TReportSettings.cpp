#include "report/TReportSettings.h"

#include "platform/core/IniFile.h"

#include <QRegularExpression>
#include <algorithm>
#include <string>

namespace {

struct ColorKey {
    const char* Key;
    TColor Default;
};

const std::array<ColorKey, rcColorCount> kColorKeys = {{
    {"ProfileBar", 53247},        {"ProfileTitle", 8421504},     {"StreetBar", 14070478},   {"StreetTitle", 8421504},
    {"DetailsBar", 189},          {"DetailsTitle", 8421504},     {"CensusBar", 9217791},    {"CensusTitle", 8421504},
    {"CommunityBar", 10275740},   {"CommunityTitle", 8421504},   {"SchoolBar", 15707755},   {"SchoolTitle", 8421504},
    {"HazardsBar", 64000},        {"HazardsTitle", 8421504},     {"MarketSumBar", 7697664}, {"MarketSumTitle", 8421504},
    {"SumAnalysisBar", 16744576}, {"SumAnalysisTitle", 8421504}, {"AgentBar", 10485760},    {"AgentTitle", 8421504},
}};

QString S(const char* text) { return QString::fromLatin1(text); }

TColor ReadColor(const TIniFile& ini, const char* section, const char* key, TColor def)
{
    return TColor(ini.ReadInteger(S(section), S(key), int(def)));
}

void ReadFont(const TIniFile& ini, const char* section, const char* prefix, TReportFontSetting& font, const char* name,
              int size)
{
    const QString p = S(prefix);
    font.Name = ini.ReadString(S(section), p + QStringLiteral("Font"), S(name)).left(255);
    font.Size = ini.ReadInteger(S(section), p + QStringLiteral("FontSize"), size);
    font.Color = ReadColor(ini, section, (prefix + std::string("FontColor")).c_str(), 8388608);
}

// Any whole number is taken, however large, and brought into 0..100; a text
// that is no number gives the default.
int ReadShade(const TIniFile& ini)
{
    const QString text = ini.ReadString(QStringLiteral("REPORT"), QStringLiteral("TabShade"), QString()).trimmed();
    static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
    int value = 10;
    if (decimal.match(text).hasMatch()) {
        const bool negative = text.startsWith(QLatin1Char('-'));
        bool ok = false;
        const qlonglong v = text.toLongLong(&ok);
        if (!ok)
            value = negative ? 0 : 100;
        else
            value = int(std::clamp<qlonglong>(v, 0, 100));
    } else {
        value = ini.ReadInteger(QStringLiteral("REPORT"), QStringLiteral("TabShade"), 10);
    }
    return std::clamp(value, 0, 100);
}

} // namespace

TReportSettings::TReportSettings() { Reset(); }

void TReportSettings::Reset() { Load(QString()); }

void TReportSettings::Load(const QString& iniFile)
{
    ReportDate = Date();
    // An empty name reads as a missing file: every default.
    const TIniFile ini(iniFile);
    TabShade = ReadShade(ini);
    MaxRows = ini.ReadInteger(QStringLiteral("STREETMAP"), QStringLiteral("MaxRows"), 31);
    SqFtGraphColor = ReadColor(ini, "STREETMAP", "SqFtGraphColor", 65280);
    DomGraphColor = ReadColor(ini, "STREETMAP", "DomGraphColor", 255);
    ReadFont(ini, "HEADER", "Large", LargeFont, "Times New Roman", 24);
    ReadFont(ini, "HEADER", "Middle", MiddleFont, "Arial", 12);
    ReadFont(ini, "HEADER", "Small", SmallFont, "Arial", 9);
    ReadFont(ini, "GROUPBAND", "Group", GroupFont, "Times New Roman", 14);
    ReadFont(ini, "SCHOOL", "Dist", DistFont, "Arial", 20);
    ReadFont(ini, "SCHOOL", "Text", TextFont, "Arial", 12);
    ReadFont(ini, "SCHOOL", "Data", DataFont, "Arial", 12);
    for (size_t i = 0; i < kColorKeys.size(); ++i)
        Colors[i] = ReadColor(ini, "REPORT COLORS", kColorKeys[i].Key, kColorKeys[i].Default);
    cpImage31 = ini.ReadString(QStringLiteral("TITLE COVER"), QStringLiteral("cpImage31"), QString());
    cpLogo31 = ini.ReadString(QStringLiteral("TITLE COVER"), QStringLiteral("cpLogo31"), QString());
}

QString TReportSettings::ReportDateText() const { return FormatDateTime(QStringLiteral("mm/dd/yyyy"), ReportDate); }
