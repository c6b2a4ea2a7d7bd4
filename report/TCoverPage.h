#pragma once
// Page 10, "MARKET SPECIALIST": the agent's photo, name, company, address and
// telephones, and when a customer was entered a "PREPARED FOR" block.

class TBaseReport;
class TReportContext;
class TReportShell;

class TCoverPage {
public:
    explicit TCoverPage(TReportContext& context) : m_context(context) { }
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);
    // One row only.
    void RowAfter(TBaseReport& report, TReportShell& shell, bool& valid);

private:
    TReportContext& m_context;
};
