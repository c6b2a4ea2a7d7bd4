#pragma once
// Page 70, "SUMMARY ANALYSIS": the category summaries (one line per listing
// status) and the analysis of the sold comps marked for use, closed by an
// averages row over the sold comps.

class TBaseReport;
class TReportContext;
class TReportShell;

class TSummaryAnalysisPage {
public:
    explicit TSummaryAnalysisPage(TReportContext& context) : m_context(context) { }
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);
    void RowAfter(TBaseReport& report, TReportShell& shell, bool& valid);
    // Clears the stops, then adds those of style 4 to 8; any other style
    // leaves none.
    static void SetSummaryAnalysisTabs(TBaseReport& report, int style);

private:
    TReportContext& m_context;
};
