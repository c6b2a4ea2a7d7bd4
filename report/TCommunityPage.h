#pragma once
// Page 80, "COMMUNITY SERVICES": the services near the subject by category,
// each under a band with a table of name, address, phone and distance,
// continued on further pages as needed.

class TBaseReport;
class TReportContext;
class TReportShell;

class TCommunityPage {
public:
    explicit TCommunityPage(TReportContext& context) : m_context(context) { }
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);
    static void PrintServicesHeader(TBaseReport& report);
    static void SetServicesTabs(TBaseReport& report);

private:
    TReportContext& m_context;
};
