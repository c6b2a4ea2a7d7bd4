#include "report/TMarketSummaryPage.h"

#include "platform/core/FloatFormat.h"
#include "platform/core/SysUtils.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TReportShell.h"
#include "protocol/TCompsRecords.h"
#include "report/RptTools.h"
#include "report/TReportContext.h"

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

int StructureType(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

QString StatusDateHeading(const QString& status)
{
    if (status == QLatin1String("8")) return L("Sold Date");
    if (status == QLatin1String("3")) return L("Exp Date");
    if (status == QLatin1String("9")) return L("With Date");
    if (status == QLatin1String("7")) return L("Pend Date");
    return QString();
}

} // namespace

void TMarketSummaryPage::SetMarketSummaryTabs(TBaseReport& report, int style)
{
    if (style != 0 && style != 1 && style != 3)
        return;
    const double heading[] = {1.45, 1.0, 0.54, 0.6, 0.4, 0.68, 0.68, 0.85, 0.85};
    const double data[] = {1.45, 1.0, 0.5, 0.6, 0.4, 0.7, 0.7, 0.85, 0.85};
    for (int i = 0; i < 9; ++i) {
        int lines = 0;
        if (style == 0)
            lines = kLineTop | kLineBottom | (i == 0 ? kLineLeft : 0u) | (i == 8 ? kLineRight : 0u);
        else if (style == 1)
            lines = kLineTop;
        const double width = style == 0 ? heading[i] : data[i];
        const double margin = (i == 0 || i == 8) ? 5 : 0;
        SetTabLines(report, i == 0 ? 0.75 : tabAfterPrevious, i == 0 ? TTabJustify::tjLeft : TTabJustify::tjRight, width, margin, lines, 0);
    }
}

void TMarketSummaryPage::RowPrint(TBaseReport& report, TReportShell& shell, bool&)
{
    TReportContext& c = m_context;
    TCompsRecords& r = *c.Records;
    if (c.FirstComp) {
        c.FirstComp = false;
        c.GroupStatus.clear();
        m_groupOpen = false;
    }
    if (!r.IsUsed(r.Index()))
        return;
    const QString status = r.Field(L("status"));
    const int structure = StructureType(r.Field(L("struct_type")));
    const bool county106 = c.CountyId() == 106;
    const bool heading = status != c.GroupStatus || shell.FirstRow();
    if (heading) {
        const QString caption = StatusCodeName(status)
                                + (status == c.GroupStatus ? L(" Properties - cont.") : L(" Properties"));
        c.DrawGroupBand(report, caption, c.Settings.Color(rcMarketSumBar));
        report.NewLine();
        c.GroupStatus = status;
    }
    m_groupOpen = true;
    m_groupStructure = structure;
    report.ClearTabs();
    SetMarketSummaryTabs(report, 0);
    if (heading) {
        report.SetFont(L("Arial"), 10);
        report.SetTabShade(c.Settings.TabShade);
        report.PrintTab(L("Address"));
        switch (structure) {
        case 1: case 2: case 4:
            report.PrintTab(L("Beds"));
            report.PrintTab(county106 ? L("Fixtures") : L("Baths"));
            report.PrintTab(L("Est SF"));
            break;
        case 3: case 5:
            report.PrintTab(L("GSI"));
            report.PrintTab(L("Zoning"));
            report.PrintTab(L("Est SF"));
            break;
        case 6:
            report.PrintTab(L("APN"));
            report.PrintTab(L("Acreage"));
            report.PrintTab(L("Lot Size"));
            break;
        default:
            for (int i = 0; i < 3; ++i)
                report.PrintTab(QString());
        }
        report.PrintTab(L("DOM"));
        report.PrintTab(L("List Date"));
        report.PrintTab(StatusDateHeading(status));
        report.PrintTab(L("List Price"));
        report.PrintTab(status == QLatin1String("8") ? L("Sale Price") : QString());
        report.SetBold(false);
        report.SetFont(L("Arial"), 10);
        report.NewLine();
        report.SetTabShade(0);
    }
    report.ClearTabs();
    SetMarketSummaryTabs(report, 3);
    report.SetFont(L("Arial"), 10);
    for (int i = 0; i < 4; ++i)
        report.PrintTab(QString());
    report.PrintLeft(r.Field(L("address")) + L("   ") + r.Field(L("city")), 0.79);
    report.NewLine();

    report.PrintTab(QString());
    switch (structure) {
    case 1: case 2: case 4:
        report.PrintTab(r.Field(L("bed")));
        report.PrintTab(r.Field(county106 ? L("partial_baths") : L("bath")));
        report.PrintTab(r.Field(L("house_sqft")));
        break;
    case 3: case 5:
        report.PrintTab(r.Field(L("annual_gross")));
        report.PrintTab(r.Field(L("zoning")));
        report.PrintTab(r.Field(L("house_sqft")));
        break;
    case 6:
        report.PrintTab(r.Field(L("apn_index")));
        report.PrintTab(r.Field(L("acres")));
        report.PrintTab(r.Field(L("lot_sqft")));
        break;
    default:
        for (int i = 0; i < 3; ++i)
            report.PrintTab(QString());
    }
    report.PrintTab(r.Field(L("dom")));
    report.PrintTab(r.Field(L("list_date")));
    const QChar first = status.isEmpty() ? QChar() : status.at(0);
    if (first == QLatin1Char('8') || first == QLatin1Char('3') || first == QLatin1Char('9'))
        report.PrintTab(r.Field(L("search_date")));
    else if (first == QLatin1Char('7'))
        report.PrintTab(r.Field(L("close_date")));
    else
        report.PrintTab(QString());
    report.PrintTab(r.Field(L("list_price")));
    report.PrintTab(status == QLatin1String("8") ? r.Field(L("sold_price")) : QString());

    report.Brush().SetColor(0x808080);
    TReportContext::ShadedBox(report, 0.75, report.YPos(), 7.8, report.YPos() + 0.002);
    report.Brush().SetColor(clWhite);
    report.NewLine();
}

void TMarketSummaryPage::PrintAverages(TBaseReport& report)
{
    TReportContext& c = m_context;
    const int slot = StatusCodeIndex(c.GroupStatus);
    m_groupOpen = false;
    // A group of a status without statistics (unknown code) has no averages.
    if (slot < 0)
        return;
    const TStatusStats& s = c.Stats[size_t(slot)];
    if (s.RecordCount <= 1)
        return;
    report.ClearTabs();
    SetMarketSummaryTabs(report, 1);
    report.SetBold(true);
    report.PrintTab(L("Average"));
    switch (m_groupStructure) {
    case 1: case 2: case 4:
        report.PrintTab(FormatFloat(L("#.#"), s.Bed.Average));
        report.PrintTab(FormatFloat(L("#.#"), s.Bath.Average));
        report.PrintTab(FormatFloat(L("#,###"), s.HouseSqft.Average));
        break;
    case 3:
        report.PrintTab(QString());
        report.PrintTab(QString());
        report.PrintTab(FormatFloat(L("#,###"), s.HouseSqft.Average));
        break;
    case 5:
        report.PrintTab(FormatMoney(L("#,###"), s.AnnualGross.Average));
        report.PrintTab(QString());
        report.PrintTab(FormatFloat(L("#,###"), s.HouseSqft.Average));
        break;
    case 6:
        report.PrintTab(QString());
        report.PrintTab(QString());
        report.PrintTab(FormatFloat(L("#,###"), s.LotSqft.Average));
        break;
    default:
        for (int i = 0; i < 3; ++i)
            report.PrintTab(QString());
    }
    report.PrintTab(FormatFloat(L("#"), s.Dom.Average));
    report.PrintTab(QString());
    report.PrintTab(QString());
    report.PrintTab(FormatMoney(L("#,###"), s.ListPrice.Average));
    report.PrintTab(c.GroupStatus == QLatin1String("8") ? FormatMoney(L("#,###"), s.SoldPrice.Average) : QString());
    report.SetBold(false);
    report.NewLine();
}

void TMarketSummaryPage::RowAfter(TBaseReport& report, TReportShell&, bool& valid)
{
    TReportContext& c = m_context;
    TCompsRecords& r = *c.Records;
    r.Next();
    valid = !r.Eof();
    // The group ends at a record of another status, or with the records;
    // its averages row comes once.
    if (m_groupOpen && !(valid && r.Field(L("status")) == c.GroupStatus))
        PrintAverages(report);
    if (valid && report.LinesLeft() < 10)
        report.NewPage();
}
