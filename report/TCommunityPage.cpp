#include "report/TCommunityPage.h"

#include "platform/report/TBaseReport.h"
#include "protocol/xml/TXMLElement.h"
#include "report/TReportContext.h"

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

void SetTabs(TBaseReport& report, int lines)
{
    SetTabLines(report, 0.75, TTabJustify::tjLeft, 2.5, 10, lines, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, 2.85, 10, lines, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, 1.15, 10, lines, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjRight, 0.55, 10, lines, 0);
}

} // namespace

void TCommunityPage::PrintServicesHeader(TBaseReport& report)
{
    report.ClearTabs();
    SetTabs(report, kLineLeft | kLineRight | kLineTop | kLineBottom);
    report.SetFont(L("Arial black"), 10);
    report.SetTabShade(10);
    report.SetBold(true);
    for (const char* h : {"Name", "Address", "Phone", "Dist."}) report.PrintTab(L(h));
    report.SetBold(false);
    report.SetFont(L("Arial"), 9);
    report.NewLine();
    report.SetTabShade(0);
}

void TCommunityPage::SetServicesTabs(TBaseReport& report)
{
    report.ClearTabs();
    SetTabs(report, 0);
}

void TCommunityPage::RowPrint(TBaseReport& report, TReportShell&, bool& valid)
{
    TReportContext& c = m_context;
    const TColor color = c.Settings.Color(rcCommunityBar);
    const TXMLElement* services = c.RootChild(L("services"));
    for (const TXMLElement* category = services ? services->getFirstChildElement() : nullptr; category;
         category = category->getNextSiblingElement()) {
        const TXMLElement* s = category->getFirstChildElement();
        if (!s) continue;
        const QString name = category->getAttribute(L("name"));
        c.DrawGroupBand(report, name, color);
        report.NewLine();
        PrintServicesHeader(report);
        report.NewLine();
        SetServicesTabs(report);
        // Each cell's text stays inside its margins (0.1 on either side).
        auto cell = [&](const QString& text, double width) {
            report.PrintTab(TReportContext::FitText(report, text, width - 0.2));
        };
        for (; s; s = s->getNextSiblingElement()) {
            cell(s->getAttribute(L("name")), 2.5);
            cell(s->getAttribute(L("street")) + L(", ") + s->getAttribute(L("city")), 2.85);
            cell(s->getAttribute(L("phone")), 1.15);
            cell(s->getAttribute(L("distance")), 0.55);
            report.NewLine();
            if (report.LinesLeft() >= 12) continue;
            // Near the page end: the band goes on only for another service
            // of the category; another category starts on the next page.
            if (!s->getNextSiblingElement()) {
                if (category->getNextSiblingElement()) report.NewPage();
                continue;
            }
            {
                report.NewPage();
                c.DrawGroupBand(report, name + L(" - Cont."), color);
                report.NewLine();
                PrintServicesHeader(report);
                report.NewLine();
                SetServicesTabs(report);
            }
        }
    }
    report.ClearTabs();
    valid = false;
}
