#include "report/THazardPage.h"

#include "state/TAppState.h"
#include "platform/report/TBaseReport.h"
#include "protocol/xml/XMLQuery.h"
#include "report/TReportContext.h"

#include <QFile>
#include <vector>

static void InitReportPictures() { Q_INIT_RESOURCE(ReportPictures); }

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

const char* const kProviderName = "QUAIL RIDGE NATURAL HAZARD DISCLOSURES";
const char* const kProviderStreet = "1650 Quail Ridge Parkway, Suite 210, Fresno, CA 93711";
const char* const kProviderPhone = "(559) 555-0177";
const char* const kProviderWeb = "www.quailridgehazards.example";

struct LegendRow {
    const char* Name;
    TColor Color;
    const char* Symbol;
};
struct LegendTable {
    double Y;
    const char* Heading;
    std::vector<LegendRow> Rows;
};

// The three boxed tables of the first page's legend.
const std::vector<LegendTable>& LegendTables()
{
    static const std::vector<LegendTable> tables = {
        {5.1,
         "Water Hazards",
         {{"Special Flood Hazard Area", 0xFF0000, "dam"}, {"Area of Potential Flooding", 0x800080, "flood"}}},
        {6.2,
         "Fire Hazards",
         {{"Wildland - State Responsibility Area", 0x0000FF, "fire"},
          {"Very High Fire Hazard Severity Zone", 0x0000FF, "highfire"}}},
        {7.3,
         "Earthquake & Seismic Hazards",
         {{"Earthquake Fault Zone", 0xFF00FF, "fault"},
          {"Seismic Hazard Zone - Liquefaction", 0x008000, "liquid"},
          {"Seismic Hazard Zone - Landslide", 0x008000, "landslide"}}},
    };
    return tables;
}

struct Section {
    const char* Heading;
    TColor Color;
    // The lines of the section: a bullet starts with "*", its further
    // lines do not.
    std::vector<const char*> Lines;
};

const std::vector<Section>& Sections()
{
    static const std::vector<Section> sections = {
        {"SPECIAL FLOOD HAZARD AREA",
         0xFF0000,
         {"*Designated by the Federal Emergency Management Agency (FEMA).",
          "*Identified on the Flood Insurance Rate Maps of the National Flood Insurance Program.",
          "*An area with a one percent chance of flooding in any given year (the \"100-year flood\").",
          "*Lenders require flood insurance for loans on structures in the area.",
          "*Disclosure required by California Government Code Section 8589.3.",
          "The owner or agent must tell a buyer when the property lies in such an area."}},
        {"AREA OF POTENTIAL FLOODING",
         0x800080,
         {"*Designated by the California Office of Emergency Services.",
          "*Identified on dam inundation maps prepared under Government Code Section 8589.5.",
          "*An area that may flood on the total or partial failure of a dam upstream;",
          "the maps show where the water would go, not how likely a failure is.",
          "*Disclosure required by California Government Code Section 8589.4.",
          "The seller or agent must disclose it on the natural hazard disclosure statement."}},
        {"WILDLAND - STATE RESPONSIBILITY AREA",
         0x0000FF,
         {"*Designated by the California Department of Forestry and Fire Protection (CAL FIRE).",
          "*Identified on the maps of state responsibility areas under Public Resources Code Section 4125.",
          "*An owner must maintain the property: clear brush and flammable growth around structures,",
          "keep roofs and chimneys clear, and give fire fighters access to the property.",
          "The state provides fire protection of structures in the area only by agreement with",
          "a local agency; the state does not protect buildings otherwise.",
          "*The area may contain substantial forest fire risks and hazards.",
          "*Disclosure required by California Public Resources Code Section 4136.",
          "The disclosure is made before the transfer of the property."}},
        {"VERY HIGH FIRE HAZARD SEVERITY ZONE",
         0x0000FF,
         {"*Designated by the California Department of Forestry and Fire Protection with local agencies.",
          "*Identified on maps of very high fire hazard severity zones under Government Code Section 51178.",
          "*The zones are found by statewide criteria: fuels, terrain, weather and fire history.",
          "*An owner must maintain the property: a firebreak around structures, clearing of",
          "flammable vegetation and of roofs, and a spark arrester on every chimney.",
          "*Disclosure required by California Government Code Section 51183.5.",
          "The seller or agent must disclose the zone to a prospective buyer,",
          "together with the maintenance duties that go with it."}},
        {"EARTHQUAKE FAULT ZONE",
         0xFF00FF,
         {"*Designated by the California Geological Survey under the Alquist-Priolo Act.",
          "*Identified on the official earthquake fault zone maps; the zones show only known \"active\" faults,",
          "those displaced within the past 10,000-11,000 years; other faults are not zoned.",
          "Building in a zone may require a geologic report before construction.",
          "*Disclosure required by California Public Resources Code Section 2621.9.",
          "The seller or agent must disclose the zone to a prospective buyer."}},
        {"SEISMIC HAZARD ZONE - LIQUEFACTION AND LANDSLIDE",
         0x008000,
         {"*Designated by the California Geological Survey under the Seismic Hazards Mapping Act.",
          "*Identified on seismic hazard zone maps; only portions of the state have been mapped so far,",
          "so an unmapped area is not known to be free of the hazard.",
          "*Disclosure required by California Public Resources Code Section 2694.",
          "The seller or agent must disclose the zone to a prospective buyer."}},
    };
    return sections;
}

} // namespace

QImage THazardPage::ResourcePicture(const QString& name)
{
    InitReportPictures();
    QImage image(QStringLiteral(":/report/") + name, "BMP");
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

bool THazardPage::LoadHazardMap(QImage& picture, QString& error) const
{
    error.clear();
    const QString text = ElementText(m_context.FindMapNode(L("hazard")));
    if (text.isEmpty()) return false;
    QImage decoded;
    if (!TReportContext::DecodeJpegPicture(text, decoded, error)) return false;
    picture = decoded.convertToFormat(QImage::Format_RGB32);
    return true;
}

void THazardPage::SetHazardLegendTabs(TBaseReport& report, double x, double y)
{
    report.GotoXY(x, y);
    report.ClearTabs();
    report.SetBold(true);
    const int box = kLineLeft | kLineRight | kLineTop | kLineBottom;
    SetTabLines(report, x, TTabJustify::tjLeft, 1.0, 5, box, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, 2.6, 5, box, 0);
}

void THazardPage::PrintHazardSymbol(TBaseReport& report, const QString& name)
{
    const QImage symbol = ResourcePicture(name);
    if (!symbol.isNull())
        TReportContext::PrintImageFit(report, 0.76, report.LineTop() + 0.01, 1.74, report.YPos() - 0.01, symbol);
}

void THazardPage::SetHazardHeadingTab(TBaseReport& report)
{
    report.ClearTabs();
    report.SetFont(L("arial"), 11);
    report.SetBold(true);
    SetTabLines(report, 0.75, TTabJustify::tjLeft, 7.05, 10, kLineLeft | kLineRight | kLineTop | kLineBottom, 0);
}

void THazardPage::SetHazardBulletTabs(TBaseReport& report)
{
    report.ClearTabs();
    report.SetFont(L("arial"), 10);
    SetTabLines(report, 0.75, TTabJustify::tjCenter, 0.4, 0, 0, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, 7.0, 0, 0, 0);
}

void THazardPage::PrintHazardBullet(TBaseReport& report, const QString& bullet, const QString& text)
{
    report.NewLine();
    report.SetBold(true);
    report.PrintTab(bullet);
    report.SetBold(false);
    report.PrintTab(text);
}

void THazardPage::PrintHazardNote(TBaseReport& report)
{
    report.GotoXY(0.75, 0.75);
    report.SetFont(L("Arial"), 11);
    report.SetBold(true);
    report.PrintLeft(L("NOTE:"), 0.75);
    report.SetBold(false);
    report.PrintLeft(L("The location of the subject property, streets, and natural hazard as depicted below are"),
                     1.25);
    report.NewLine();
    report.PrintLeft(L("approximations only.  These representations are FOR INFORMATIONAL PURPOSES ONLY and"), 0.75);
    report.NewLine();
    report.PrintLeft(
        L("should not to be relied upon for the purpose of satisfying disclosure required by California law."), 0.75);
    report.NewLine();
}

void THazardPage::PrintHazardTitles(TBaseReport& report)
{
    report.GotoXY(1.0, 5.0);
    report.SetFont(L("arial"), 12);
    report.SetBold(true);
    report.PrintCenter(L("SELECTED NATURAL HAZARDS MAPPED BY FEDERAL & STATE AGENCIES"), 4.0);
    report.SetFont(L("arial"), 12);
    report.SetBold(true);
    report.GotoXY(1.0, 5.4);
    report.PrintCenter(L("Natural hazard data provided"), 6.0);
    report.NewLine();
    report.PrintCenter(L("courtesy of"), 6.0);
}

void THazardPage::PrintHazardLegend(TBaseReport& report)
{
    report.SetFont(L("Arial"), 10);
    report.SetLineHeight(report.LineHeight() * 1.5);
    report.SetBold(true);
    report.NewLine();
    for (const LegendTable& t : LegendTables()) {
        SetHazardLegendTabs(report, 0.75, t.Y);
        report.SetTabShade(10);
        report.SetFontColor(clBlack);
        report.NewLine();
        report.PrintTab(L("Map Symbol"));
        report.PrintTab(L(t.Heading));
        report.SetTabShade(0);
        for (const LegendRow& row : t.Rows) {
            report.NewLine();
            report.PrintTab(QString());
            report.SetFontColor(row.Color);
            report.PrintTab(L(row.Name));
            PrintHazardSymbol(report, L(row.Symbol));
        }
    }
    report.ClearTabs();
    report.SetLineHeight(0.17);
}

void THazardPage::PrintProviderBlock(TBaseReport& report)
{
    report.SetFontColor(0xFF0000);
    report.GotoXY(1.0, 9.35);
    report.SetFont(L("arial"), 12);
    report.SetFontColor(0xFF0000);
    report.SetBold(true);
    QString spaced;
    for (const QChar ch : L(kProviderName)) spaced += spaced.isEmpty() ? QString(ch) : QStringLiteral(" ") + ch;
    report.PrintCenter(spaced, 4.0);
    report.SetFont(L("arial"), 10);
    report.SetFontColor(0xFF0000);
    report.SetBold(true);
    report.NewLine();
    report.PrintCenter(L(kProviderStreet), 4.0);
    report.NewLine();
    report.NewLine();
    report.PrintLeft(L(kProviderPhone), 0.75);
    report.PrintRight(L(kProviderWeb), 7.8);
}

void THazardPage::PrintOrderNumber(TBaseReport& report)
{
    report.SetFont(L("Arial"), 10);
    report.GotoXY(100, 7.6);
    for (const char* line : {"For the full natural hazard disclosure", "report of this property, call us",
                             "and give the order number below."}) {
        report.PrintCenter(L(line), 6.0);
        report.NewLine();
    }
    report.NewLine();
    report.SetUnderline(true);
    report.PrintCenter(L("Order Number"), 6.0);
    report.SetUnderline(false);
    report.NewLine();
    report.SetBold(true);
    report.PrintCenter(QString::number(AppState().MapId), 6.0);
    report.SetBold(false);
}

void THazardPage::PrintHazardMap(TBaseReport& report)
{
    // The map at its own proportions, clear of the note above it and of the
    // title below it (whose text starts about 0.19 above its line at 5.0).
    QImage map;
    QString error;
    if (LoadHazardMap(map, error))
        TReportContext::PrintImageFit(report, 0.75, 1.25, 7.8, 4.7, map);
    else if (!error.isEmpty())
        TReportContext::PictureLeftOut(report, L("The hazard map"), error);
}

void THazardPage::PrintProviderLogo(TBaseReport& report)
{
    // The provider's logo beside its name (printed from 6.0), not under it.
    const QImage logo = ResourcePicture(L("qrnlogo"));
    if (!logo.isNull()) TReportContext::PrintImageFit(report, 4.8, 5.9, 5.9, 7.33, logo);
    report.SetFont(L("arial"), 12);
    report.SetBold(true);
    report.SetFontColor(0xFF0000);
    report.GotoXY(1.0, 6.45);
    for (const char* line : {"QUAIL RIDGE", "NATURAL HAZARD", "DISCLOSURES"}) {
        report.PrintLeft(L(line), 6.0);
        report.NewLine();
    }
}

void THazardPage::PrintFirstPage(TBaseReport& report)
{
    PrintHazardNote(report);
    PrintHazardTitles(report);
    PrintHazardLegend(report);
    PrintProviderBlock(report);
    PrintOrderNumber(report);
    PrintHazardMap(report);
    PrintProviderLogo(report);
    report.NewPage();
}

void THazardPage::PrintSecondPage(TBaseReport& report)
{
    report.SetFont(L("arial"), 14);
    report.SetBold(true);
    report.NewLine();
    report.PrintCenter(L("IMPORTANT FACTS ABOUT MAPPED NATURAL HAZARDS"), 3.9);
    report.SetFont(L("arial"), 12);
    report.NewLine();
    report.NewLine();
    bool first = true;
    for (const Section& s : Sections()) {
        SetHazardHeadingTab(report);
        if (!first) report.NewLine();
        first = false;
        report.SetFontColor(s.Color);
        report.PrintTab(L(s.Heading));
        report.SetFontColor(clBlack);
        SetHazardBulletTabs(report);
        for (const char* line : s.Lines) {
            const QString text = QString::fromUtf8(line);
            if (text.startsWith(QLatin1Char('*')))
                PrintHazardBullet(report, QStringLiteral("\u00B7"), text.mid(1));
            else
                PrintHazardBullet(report, QString(), text);
        }
    }
    report.ClearTabs();
    report.NewLine();
    report.NewLine();
    report.PrintLeft(L("To find out more about California natural hazards and their disclosure, visit "), 0.75);
    report.SetUnderline(true);
    report.SetFontColor(0xFF0000);
    report.Print(L(kProviderWeb));
    report.SetFont(L("arial"), 8);
    report.Print(L("."));
    report.NewLine();
    report.NewLine();
    report.SetBold(true);
    report.PrintCenter(L("CONTENT PROVIDED FOR INFORMATIONAL PURPOSES ONLY."), 4.0);
}

void THazardPage::RowPrint(TBaseReport& report, TReportShell&, bool& valid)
{
    PrintFirstPage(report);
    PrintSecondPage(report);
    valid = false;
}
