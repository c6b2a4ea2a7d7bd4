#pragma once
// Page 50, "MARKET SUMMARY": the comps marked for use, two lines each, in
// groups of the same listing status and structure kind, each group under
// one band and heading row (repeated, "- cont.", on a new page) and closed,
// once, by an averages row laid out by the group's own structure type.

#include "report/TStatusStats.h"

#include <QString>
#include <cstdint>
#include <vector>

class TBaseReport;
class TReportContext;
class TReportShell;

class TMarketSummaryPage {
public:
    explicit TMarketSummaryPage(TReportContext& context) : m_context(context) { }
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);
    void RowAfter(TBaseReport& report, TReportShell& shell, bool& valid);
    // The nine column stops in style 0 (boxed heading), 1 (averages, line
    // above) or 3 (data); any other style adds none.
    static void SetMarketSummaryTabs(TBaseReport& report, int style);

private:
    // The kinds of structure whose comps share a band and its headings:
    // residential (1, 2, 4), income (3, 5), land (6) and any other.
    static int StructureKind(int structure);
    // The used comps in the order they are printed: grouped by status and
    // structure kind, the groups in the order of their first comp, the comps
    // of a group in the order of the records.
    void MakeOrder();
    // The statistics of the comps of the group at m_order[from, to).
    TStatusStats GroupStats(size_t from, size_t to) const;
    // The averages row closing that group (none for one comp or a status
    // without statistics).
    void PrintAverages(TBaseReport& report, size_t from, size_t to);

    struct Entry;
    // The band of the entry's group, "- cont." when it goes on after a
    // page break.
    void PrintGroupBand(TBaseReport& report, const Entry& e);
    // The boxed heading row of the group, by the entry's structure type and
    // status.
    void PrintHeadingRow(TBaseReport& report, const Entry& e);
    // The two lines of the entry and the rule under them.
    void PrintEntry(TBaseReport& report, const Entry& e);
    // A cell's text into the next tab, cut so that it keeps its margin and
    // a gap to the next.
    static void PrintCell(TBaseReport& report, const QString& text, const double* widths, int& column);

    TReportContext& m_context;
    struct Entry {
        int Index;
        QString Status;
        int Kind;
        int Structure;
        size_t Group; // the first entry of its group
    };
    std::vector<Entry> m_order;
    // The entry of the current row.
    size_t m_pos = 0;
    // The group whose band was printed last: its first entry.
    size_t m_bandGroup = SIZE_MAX;
};