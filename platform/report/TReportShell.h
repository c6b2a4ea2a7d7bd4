#pragma once
// A report section: executing it on a page surface fires the report
// header once, the page header at the start and after each page break, the
// row-print and row-after events in turn while both leave their flag true,
// the page footer at each page end and the report footer once. No rows are
// printed without a row-print event.

#include <functional>

class TBaseReport;

class TReportShell {
public:
    using TPageEvent = std::function<void(TBaseReport& report)>;
    // valid starts true; setting it false ends the rows.
    using TRowEvent = std::function<void(TBaseReport& report, TReportShell& shell, bool& valid)>;

    TPageEvent OnReportHeader;
    TPageEvent OnPageHeader;
    TRowEvent OnRowPrint;
    TRowEvent OnRowAfter;
    TPageEvent OnPageFooter;
    TPageEvent OnReportFooter;

    // True for the first row and for the first row after each page break.
    bool FirstRow() const { return m_firstRow; }

    // Runs the section on report; page breaks inside it fire its footer and
    // header. Exceptions of the events pass through, the surface released.
    void Execute(TBaseReport& report);

private:
    bool m_firstRow = true;
};
