#pragma once
// Page 50, "MARKET SUMMARY": the comps marked for use, two lines each, in
// groups of the same listing status, each group under a band and a heading
// row and closed, once, by an averages row laid out by the group's own
// structure type.

#include <QString>

class TBaseReport;
class TReportContext;
class TReportShell;

class TMarketSummaryPage {
public:
    explicit TMarketSummaryPage(TReportContext& context) : m_context(context) {}
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);
    void RowAfter(TBaseReport& report, TReportShell& shell, bool& valid);
    // The nine column stops in style 0 (boxed heading), 1 (averages, line
    // above) or 3 (data); any other style adds none.
    static void SetMarketSummaryTabs(TBaseReport& report, int style);

private:
    void PrintAverages(TBaseReport& report);

    TReportContext& m_context;
    // The structure type of the group's comps, and whether its averages row
    // is still to come.
    int m_groupStructure = 0;
    bool m_groupOpen = false;
};
