#pragma once
// Page 90, "DEMOGRAPHICS": the census figures of the subject's area in six
// blocks at fixed places (population, education, income, year built,
// families, employment by industry), each figure the text the service sent.

class TBaseReport;
class TReportContext;
class TReportShell;

class TCensusPage {
public:
    explicit TCensusPage(TReportContext& context) : m_context(context) { }
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);
    void RowAfter(TBaseReport& report, TReportShell& shell, bool& valid);

private:
    TReportContext& m_context;
};
