#include "report/TCensusPage.h"

#include "platform/report/TBaseReport.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/XMLQuery.h"
#include "report/TReportContext.h"

#include <vector>

namespace {

struct Figure {
    const char* Label;
    const char* Attribute;
};

struct Block {
    const char* Group;
    double Y;
    const char* Caption;
    double X, LabelX, ValueX;
    std::vector<Figure> Rows;
    // The employment block's second column, from y 7.35.
    std::vector<Figure> Second;
};

const std::vector<Block>& Blocks()
{
    static const std::vector<Block> blocks = {
        {"population",
         0.75,
         "POPULATION",
         1.0,
         1.0,
         2.3,
         {{"Total Population:", "total"},
          {"Ages: 0 - 13:", "p0_13"},
          {"Ages: 14 - 24:", "p14_24"},
          {"Ages: 25 - 34:", "p25_34"},
          {"Ages: 35 - 44:", "p35_44"},
          {"Ages: 45 - 59:", "p45_59"},
          {"Ages: 60 - 64:", "p60_64"},
          {"Ages: 65+:", "over_65"}},
         {}},
        {"education",
         0.75,
         "EDUCATION",
         3.3,
         3.3,
         4.5,
         {{"No Diploma:", "no_diploma"},
          {"HS Diploma:", "hs_diploma"},
          {"Assc. Degree:", "assc_degree"},
          {"Some College:", "some_college"},
          {"Bach Degree:", "bach_degree"},
          {"Grad Degree:", "grad_degree"}},
         {}},
        {"income",
         0.75,
         "INCOME",
         5.5,
         5.5,
         7.0,
         {{"$0 - $15,000:", "i0_15K"},
          {"$15,000 - $25,000:", "i15_25K"},
          {"$25,000 - $35,000:", "i25_35K"},
          {"$35,000 - $50,000:", "i35_50K"},
          {"$50,000 - $75,000:", "i50_75K"},
          {"$75,000 - $100,000:", "i75_100K"},
          {"$100,000+:", "over_100K"}},
         {}},
        {"tenure",
         4.0,
         "YEAR BUILT",
         1.0,
         1.0,
         2.0,
         {{"1989 - 2000:", "d1989_1990"},
          {"1985 - 1988:", "d1985_1988"},
          {"1980 - 1984:", "d1980_1984"},
          {"1970 - 1979:", "d1970_1979"},
          {"1960 - 1969:", "d1960_1969"},
          {"Before 1959:", "before_1959"}},
         {}},
        {"families",
         4.0,
         "FAMILIES",
         3.8,
         3.8,
         6.3,
         {{"Total Population:", "total"},
          {"Family Households:", "family"},
          {"Non Family Households:", "non_family"},
          {"Married:", "married"},
          {"Single:", "single"}},
         {}},
        {"employment",
         7.0,
         "EMPLOYMENT BY INDUSTRY",
         1.0,
         1.0,
         3.5,
         {{"Administration and Management:", "admin_mgt"},
          {"Professional Specialty:", "prof"},
          {"Technical Support:", "tech"},
          {"Sales:", "sales"},
          {"Administrative and Clerical:", "clerical"},
          {"Private Household Occupation:", "household"},
          {"Protective Services:", "protective"}},
         {{"Other Services:", "other"},
          {"Farming, Forestry and Fishing:", "farming"},
          {"Precision Craft and Repair:", "craft"},
          {"Operator and Assemblers:", "operator"},
          {"Transportation and Moving:", "tran"},
          {"Hand and Help Labores:", "labor"}}},
    };
    return blocks;
}

void PrintCensusPair(TBaseReport& report, const QString& label, const QString& value, double labelX, double valueX)
{
    report.SetBold(true);
    report.PrintLeft(label, labelX);
    report.SetBold(false);
    report.PrintLeft(value, valueX);
}

void PrintRows(TBaseReport& report, const TXMLElement* group, const std::vector<Figure>& rows, double labelX,
               double valueX)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) report.NewLine();
        PrintCensusPair(report, QString::fromLatin1(rows[i].Label),
                        group->getAttribute(QString::fromLatin1(rows[i].Attribute)).left(255), labelX, valueX);
    }
}

} // namespace

void TCensusPage::RowPrint(TBaseReport& report, TReportShell&, bool&)
{
    const TXMLElement* census = m_context.RootChild(QStringLiteral("census"));
    const TReportSettings& s = m_context.Settings;
    for (const Block& b : Blocks()) {
        const TXMLElement* group = ChildElement(census, QString::fromLatin1(b.Group));
        if (!group) continue;
        report.GotoXY(0, b.Y);
        const QString caption = QString::fromLatin1(b.Caption);
        TReportContext::UseFont(report, s.GroupFont);
        report.SetBold(true);
        report.PrintLeft(caption, b.X);
        const double w = report.TextWidth(caption);
        report.Brush().SetColor(s.Color(rcCensusBar));
        TReportContext::ShadedBox(report, b.X, report.YPos() - 0.01, b.X + w, report.YPos() + 0.03);
        report.Brush().SetColor(clBlack);
        report.NewLine();
        report.NewLine();
        report.SetFont(QStringLiteral("Arial"), 10);
        PrintRows(report, group, b.Rows, b.LabelX, b.ValueX);
        if (!b.Second.empty()) {
            report.GotoXY(0, 7.35);
            PrintRows(report, group, b.Second, 4.5, 7.0);
        }
    }
}

void TCensusPage::RowAfter(TBaseReport&, TReportShell&, bool& valid) { valid = false; }
