#include "report/TSchoolPage.h"

#include "platform/report/TBaseReport.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/XMLQuery.h"
#include "report/TReportContext.h"

#include <algorithm>

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

QString BlankIfMinus99(const QString& text) { return text == QLatin1String("-99") ? QString() : text; }

int IntOrZero(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

} // namespace

void TSchoolPage::CloseBox(TBaseReport& report, double y0)
{
    report.Pen().SetColor(clBlack);
    report.Pen().SetWidth(2);
    report.Brush().SetStyle(TBrushStyle::bsClear);
    report.Rectangle(0.75, y0, 7.8, report.YPos());
    report.Pen().SetWidth(1);
    report.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TSchoolPage::NextPage(TBaseReport& report)
{
    // Each page's footer once: the section's report footer draws the last
    // page's, the page itself every other page's as it leaves it.
    m_context.PageFooter(report);
    report.NewPage();
    m_context.PageHeader(report);
}

void TSchoolPage::DataFont(TBaseReport& report) { TReportContext::UseFont(report, m_context.Settings.DataFont); }

void TSchoolPage::DrawDistrictTitle(TBaseReport& report)
{
    const TReportFontSetting& font = m_context.Settings.DistFont;
    report.GotoXY(0.75, 0.75);
    int size = font.Size;
    report.SetFont(font.Name, size);
    report.SetBold(true);
    // The name keeps clear of the box's sides.
    constexpr double pad = 0.05;
    while (report.TextWidth(m_districtName.trimmed()) > 7.05 - 2 * pad && size > 1) {
        --size;
        report.SetFont(font.Name, size);
        report.SetBold(true);
    }
    report.SetFontColor(font.Color);
    report.SetBold(true);
    // The box from 0.5 holds the name's whole height with a gap above and
    // below, so neither of its lines crosses the text.
    const double textBottom = 0.5 + pad + (0.75 - TReportContext::TextTop(report, 0.75));
    report.GotoXY(0.75, std::max(0.75, textBottom));
    report.Pen().SetColor(clBlack);
    report.Pen().SetWidth(2);
    report.Brush().SetStyle(TBrushStyle::bsClear);
    report.Rectangle(0.75, 0.5, 7.8, report.YPos() + pad);
    report.Pen().SetWidth(1);
    report.Brush().SetStyle(TBrushStyle::bsSolid);
    report.PrintCenter(m_districtName, 4.275);
    report.SetBold(false);
    report.GotoXY(0.75, report.YPos() + pad);
    report.NewLine();
}

void TSchoolPage::PrintDistrictPersonnel(TBaseReport& report, const TXMLElement* personel, int limit)
{
    DrawDistrictTitle(report);
    m_context.DrawGroupBand(report, L("District Personnel"), m_context.Settings.Color(rcSchoolBar));
    report.NewLine();
    const double y0 = report.LineTop();
    DataFont(report);
    report.NewLine();
    report.ClearTabs();
    SetTabLines(report, 0.75, TTabJustify::tjLeft, 2.9, 10, 0, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, 2.6, 0, 0, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, 1.9, 0, 0, 0);
    int row = 1;
    for (const TXMLElement* p = personel->getFirstChildElement(); p; p = p->getNextSiblingElement()) {
        // Each text keeps a gap to the next column and the box.
        report.PrintTab(TReportContext::FitText(report, p->getAttribute(L("job")), 2.9 - 0.1 - 0.08));
        report.PrintTab(TReportContext::FitText(report, p->getAttribute(L("name")), 2.6 - 0.08));
        report.PrintTab(TReportContext::FitText(report, p->getAttribute(L("phone")), 1.9 - 0.1));
        ++row;
        if (row >= limit || !p->getNextSiblingElement()) break;
        report.NewLine();
    }
    report.ClearTabs();
    CloseBox(report, y0);
    report.NewLine();
    report.NewLine();
}

void TSchoolPage::SetSchoolTabs(TBaseReport& report, double first, double second, double third)
{
    report.ClearTabs();
    SetTabLines(report, 0.75, TTabJustify::tjLeft, first, 10, 0, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, second, 0, 0, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, third, 0, 0, 0);
}

void TSchoolPage::PrintSchoolRows(TBaseReport& report, const TXMLElement* school, const QString& name)
{
    DataFont(report);
    SetSchoolTabs(report, 2.8, 1.8, 2.3);
    report.NewLine();
    // The texts of a row keep a gap to the next column and the box.
    const double widths[] = {2.8 - 0.1 - 0.08, 1.8 - 0.08, 2.3 - 0.1};
    int column = 0;
    auto cell = [&](const QString& text) {
        report.PrintTab(TReportContext::FitText(report, text, widths[column++ % 3]));
    };
    cell(name);
    cell(ChildTextNoCase(school, L("phone")));
    cell(L("Principal, ") + ChildTextNoCase(school, L("princ")));
    report.NewLine();
    const QString pop = ChildTextNoCase(school, L("pop"));
    cell(ChildTextNoCase(school, L("addr")));
    cell(QString());
    cell(pop.isEmpty() ? QString() : pop + L(" students"));
    report.NewLine();
    cell(ChildTextNoCase(school, L("city")));
    cell(QString());
    cell(ChildTextNoCase(school, L("grade")));
}

void TSchoolPage::PrintPrimarySchool(TBaseReport& report, const TXMLElement* school)
{
    const QString name = ChildTextNoCase(school, L("NAME"));
    if (name.isEmpty()) return;
    m_context.DrawGroupBand(report, L("District Primary School"), m_context.Settings.Color(rcSchoolBar));
    report.NewLine();
    const double y0 = report.LineTop();
    report.Pen().SetColor(clBlack);
    PrintSchoolRows(report, school, name);
    CloseBox(report, y0);
    report.NewLine();
    if (const TXMLElement* sat = ChildElement(school, L("sat"))) PrintSatScores(report, sat, name);
}

void TSchoolPage::PrintSatScores(TBaseReport& report, const TXMLElement* sat, const QString& schoolName)
{
    report.SetFont(L("Arial"), 10);
    report.SetBold(true);
    report.Pen().SetColor(clBlack);
    report.ClearTabs();
    report.NewLine();
    SetTabLines(report, 0.75, TTabJustify::tjLeft, 2.4, 5, 13, 0);
    for (int i = 0; i < 5; ++i) SetTabLines(report, tabAfterPrevious, TTabJustify::tjCenter, 0.93, 0, 12, 0);
    report.SetTabShade(10);
    for (const char* h : {"SAT Scores", "% Grad", "% Taking Sat", "Avg Math", "Avg Verbal", "Avg Total"})
        report.PrintTab(L(h));
    report.SetFontColor(clBlack);
    report.SetBold(false);
    report.SetTabShade(0);
    report.SetFont(L("Arial"), 8);
    report.NewLine();
    const QString math = BlankIfMinus99(ChildTextNoCase(sat, L("avg_sat_math")));
    const QString verbal = BlankIfMinus99(ChildTextNoCase(sat, L("avg_sat_verbal")));
    report.PrintTab(schoolName);
    report.PrintTab(BlankIfMinus99(ChildTextNoCase(sat, L("pct_grad"))));
    report.PrintTab(BlankIfMinus99(ChildTextNoCase(sat, L("pct_taking_sat"))));
    report.PrintTab(math);
    report.PrintTab(verbal);
    report.PrintTab(QString::number(IntOrZero(math) + IntOrZero(verbal)));
    report.ClearTabs();
    report.NewLine();
    report.NewLine();
}

void TSchoolPage::PrintDistrictSchools(TBaseReport& report, const TXMLElement* schools)
{
    const TColor color = m_context.Settings.Color(rcSchoolBar);
    m_context.DrawGroupBand(report, L("District Schools"), color);
    report.NewLine();
    DataFont(report);
    for (const TXMLElement* s = schools->getFirstChildElement(); s; s = s->getNextSiblingElement()) {
        const double y0 = report.LineTop();
        PrintSchoolRows(report, s, ChildTextNoCase(s, L("name")));
        CloseBox(report, y0);
        report.NewLine();
        report.NewLine();
        if (s->getNextSiblingElement() && report.LinesLeft() < 13) {
            NextPage(report);
            DrawDistrictTitle(report);
            m_context.DrawGroupBand(report, L("District Schools - cont."), color);
            report.NewLine();
            DataFont(report);
        }
    }
}

void TSchoolPage::RowPrint(TBaseReport& report, TReportShell&, bool& valid)
{
    valid = false;
    const TXMLElement* root = m_context.RootChild(L("short_school"));
    if (!root) return;
    bool first = true;
    for (const TXMLElement* district = root->getFirstChildElement(); district;
         district = district->getNextSiblingElement()) {
        // A district without its information has nothing to head a page:
        // it is passed over.
        const TXMLElement* info = ChildElement(district, L("dist_info"));
        if (!info) continue;
        if (!first) NextPage(report);
        first = false;
        m_districtName = ChildTextNoCase(info, L("name"));
        if (m_districtName.isEmpty()) return;
        if (const TXMLElement* personel = ChildElement(district, L("personel")))
            PrintDistrictPersonnel(report, personel, 10);
        if (const TXMLElement* primary = ChildElement(district, L("primary_school")))
            PrintPrimarySchool(report, primary);
        if (const TXMLElement* schools = ChildElement(district, L("schools"))) PrintDistrictSchools(report, schools);
    }
}
