#include "report/TSummaryAnalysisPage.h"

#include "platform/core/FloatFormat.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TReportShell.h"
#include "protocol/TCompsRecords.h"
#include "report/ListingStatus.h"
#include "report/ReportNumbers.h"
#include "report/TReportContext.h"

namespace {
QString L(const char* text) { return QString::fromLatin1(text); }
} // namespace

void TSummaryAnalysisPage::SetSummaryAnalysisTabs(TBaseReport& report, int style)
{
    report.ClearTabs();
    if (style < 4 || style > 8) return;
    const bool summary = style == 4 || style == 5;
    const double summaryWidths[] = {1.44, 1.4, 1.4, 1.4, 1.4};
    const double soldWidths[] = {1.64, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9};
    const int count = summary ? 5 : 7;
    const bool boxed = style == 4 || style == 6;
    for (int i = 0; i < count; ++i) {
        int lines = 0;
        if (boxed)
            lines = kLineTop | kLineBottom | (i == 0 ? kLineLeft : 0u) | (i == count - 1 ? kLineRight : 0u);
        else if (style == 8)
            lines = kLineTop;
        SetTabLines(report, i == 0 ? 0.75 : tabAfterPrevious, i == 0 ? TTabJustify::tjLeft : TTabJustify::tjRight,
                    summary ? summaryWidths[i] : soldWidths[i], (i == 0 || i == count - 1) ? 5 : 0, lines, 0);
    }
}

void TSummaryAnalysisPage::RowPrint(TBaseReport& report, TReportShell& shell, bool&)
{
    TReportContext& c = m_context;
    TCompsRecords& r = *c.Records;
    const TColor band = c.Settings.Color(rcSumAnalysisBar);
    const bool firstComp = c.FirstComp;
    if (firstComp) {
        c.DrawGroupBand(report, L("Category Summaries"), band);
        report.NewLine();
        SetSummaryAnalysisTabs(report, 4);
        report.SetFont(L("Arial"), 10);
        report.SetTabShade(c.Settings.TabShade);
        for (const char* h :
             {"Listing Category", "Lowest Price", "Highest Price", "Average Price", "Average Price SqFt"})
            report.PrintTab(L(h));
        report.NewLine();
        report.ClearTabs();
        report.SetTabShade(0);
        SetSummaryAnalysisTabs(report, 5);
        for (int status = 0; status <= 9; ++status) {
            const TStatusStats& s = c.Stats[size_t(status)];
            if (s.RecordCount <= 0) continue;
            report.PrintTab(StatusIndexName(status) + L(" Listings"));
            report.PrintTab(s.HasMinPrice() ? FormatMoney(L("#,###"), s.MinPrice) : QString());
            report.PrintTab(FormatMoney(L("#,###"), s.MaxPrice));
            report.PrintTab(FormatMoney(L("#,###"), status == 8 ? s.SoldPrice.Average : s.ListPrice.Average));
            report.PrintTab(FormatMoney(L("#0.00"), s.Ppsf.Average));
            report.NewLine();
        }
    }
    if (shell.FirstRow() || firstComp) {
        c.FirstComp = false;
        report.NewLine();
        c.DrawGroupBand(report, L("Analysis of Sold Properties"), band);
        report.NewLine();
        SetSummaryAnalysisTabs(report, 6);
        report.SetFont(L("Arial"), 10);
        report.SetTabShade(c.Settings.TabShade);
        for (const char* h : {"Address", "List Price", "Sale Price", "Change", "DOM", "SqFt", "Price SqFt"})
            report.PrintTab(L(h));
        report.NewLine();
        report.SetTabShade(0);
    }
    if (r.Field(L("status")) == QLatin1String("8") && r.IsUsed(r.Index())) {
        SetSummaryAnalysisTabs(report, 7);
        report.SetFont(L("Arial"), 10);
        report.PrintLeft(
            TReportContext::FitText(report, r.Field(L("address")) + L("   ") + r.Field(L("city")), 7.8 - 0.8), 0.8);
        report.NewLine();
        report.PrintTab(QString());
        report.PrintTab(r.Field(L("list_price")));
        report.PrintTab(r.Field(L("sold_price")));
        const QString change = r.Field(L("change"));
        report.PrintTab(change.isEmpty() ? QString() : change + L("%"));
        report.PrintTab(r.Field(L("dom")));
        report.PrintTab(r.Field(L("house_sqft")));
        report.PrintTab(r.Field(L("ppsf")));
        report.Brush().SetColor(0x808080);
        TReportContext::ShadedBox(report, 0.75, report.YPos(), 7.8, report.YPos() + 0.002);
        report.Brush().SetColor(clWhite);
        report.NewLine();
    }
}

void TSummaryAnalysisPage::RowAfter(TBaseReport& report, TReportShell&, bool& valid)
{
    TReportContext& c = m_context;
    TCompsRecords& r = *c.Records;
    r.Next();
    if (r.Eof()) {
        const TStatusStats& s = c.Stats[8];
        SetSummaryAnalysisTabs(report, 8);
        report.SetBold(true);
        report.PrintTab(L("Average"));
        report.PrintTab(FormatMoney(L("#,###"), s.ListPrice.Average));
        report.PrintTab(FormatMoney(L("#,###"), s.SoldPrice.Average));
        report.PrintTab(FormatFloat(L("0.0"), s.Change.Average) + L("%"));
        report.PrintTab(FormatFloat(L("#"), s.Dom.Average));
        report.PrintTab(FormatFloat(L("#,###"), s.HouseSqft.Average));
        report.PrintTab(FormatMoney(L("#0.00"), s.Ppsf.Average));
        report.SetBold(false);
        report.NewLine();
        valid = false;
        return;
    }
    valid = true;
    if (report.LinesLeft() < 12) report.NewPage();
}
