#pragma once
// Page 100, "SCHOOL REPORT": one page or more per school district of the
// report data: the district's name, its personnel, its primary school with
// SAT scores and its other schools.

#include <QString>

class TBaseReport;
class TReportContext;
class TReportShell;
class TXMLElement;

class TSchoolPage {
public:
    explicit TSchoolPage(TReportContext& context) : m_context(context) { }
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);

private:
    void DrawDistrictTitle(TBaseReport& report);
    void PrintDistrictPersonnel(TBaseReport& report, const TXMLElement* personel, int limit);
    void PrintPrimarySchool(TBaseReport& report, const TXMLElement* school);
    void PrintSatScores(TBaseReport& report, const TXMLElement* sat, const QString& schoolName);
    void PrintDistrictSchools(TBaseReport& report, const TXMLElement* schools);
    void SetSchoolTabs(TBaseReport& report, double first, double second, double third);
    void PrintSchoolRows(TBaseReport& report, const TXMLElement* school, const QString& name);
    void DataFont(TBaseReport& report);
    // The footer of this page, a new page and its header.
    void NextPage(TBaseReport& report);
    static void CloseBox(TBaseReport& report, double y0);

    TReportContext& m_context;
    QString m_districtName;
};
