#include "platform/report/TReportShell.h"

#include "platform/report/TBaseReport.h"

void TReportShell::Execute(TBaseReport& report)
{
    TReportShell* previous = report.m_shell;
    report.m_shell = this;
    m_firstRow = true;
    try {
        if (OnReportHeader) OnReportHeader(report);
        report.FirePageHeader();
        if (OnRowPrint) {
            bool valid = true;
            for (;;) {
                const int breaks = report.m_pageBreaks;
                OnRowPrint(report, *this, valid);
                if (valid && OnRowAfter) OnRowAfter(report, *this, valid);
                m_firstRow = report.m_pageBreaks != breaks;
                if (!valid) break;
            }
        }
        report.FirePageFooter();
        if (OnReportFooter) OnReportFooter(report);
    } catch (...) {
        report.m_shell = previous;
        throw;
    }
    report.m_shell = previous;
}
