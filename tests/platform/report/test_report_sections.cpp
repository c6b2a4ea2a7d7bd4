// Sections: the order of their events and the first-row flag.

#include "tests/platform/report/ReportFixture.h"
#include "platform/report/TReportShell.h"

#include <gtest/gtest.h>

namespace {

// A section that logs its events and prints each row on its own line.
struct LoggedShell {
    TReportShell shell;
    QStringList log;
    int rows = 0;
    int breakAfter = -1; // NewPage in row-after of this row

    explicit LoggedShell(int count)
    {
        shell.OnReportHeader = [this](TBaseReport&) { log << QStringLiteral("report header"); };
        shell.OnPageHeader = [this](TBaseReport& r) { log << QStringLiteral("page header %1").arg(r.PageNumber()); };
        shell.OnPageFooter = [this](TBaseReport& r) { log << QStringLiteral("page footer %1").arg(r.PageNumber()); };
        shell.OnReportFooter = [this](TBaseReport&) { log << QStringLiteral("report footer"); };
        shell.OnRowPrint = [this, count](TBaseReport& r, TReportShell& s, bool& valid) {
            ++rows;
            log << QStringLiteral("row %1%2").arg(rows).arg(s.FirstRow() ? QStringLiteral(" first") : QString());
            r.NewLine();
            valid = rows < count;
        };
        shell.OnRowAfter = [this](TBaseReport& r, TReportShell&, bool&) {
            if (rows == breakAfter) r.NewPage();
        };
    }
};

} // namespace

TEST(ReportSections, EventsInTheirOrder)
{
    LoggedShell s(3);
    DumpReport([&](TBaseReport& r) { s.shell.Execute(r); });
    EXPECT_EQ(s.log,
              QStringList({"report header", "page header 1", "row 1 first", "row 2", "row 3", "page footer 1",
                           "report footer"}));
}

TEST(ReportSections, FirstRowAfterEachPageBreak)
{
    LoggedShell s(5);
    s.breakAfter = 2;
    DumpReport([&](TBaseReport& r) { s.shell.Execute(r); });
    EXPECT_EQ(s.log,
              QStringList({"report header", "page header 1", "row 1 first", "row 2", "page footer 1", "page header 2",
                           "row 3 first", "row 4", "row 5", "page footer 2", "report footer"}));
}

TEST(ReportSections, AutomaticBreakInsideARowMarksTheNextRowFirst)
{
    LoggedShell s(70);
    DumpReport([&](TBaseReport& r) { s.shell.Execute(r); });
    // 60 lines fit from the top margin (0.5 to 10.5 in sixths of an inch).
    EXPECT_EQ(s.log.indexOf(QStringLiteral("page footer 1")), s.log.indexOf(QStringLiteral("row 61")) + 1);
    EXPECT_TRUE(s.log.contains(QStringLiteral("row 62 first")));
    EXPECT_EQ(s.log.filter(QStringLiteral("first")).size(), 2);
}

TEST(ReportSections, RowAfterEndsTheRows)
{
    TReportShell shell;
    int printed = 0;
    shell.OnRowPrint = [&](TBaseReport&, TReportShell&, bool&) { ++printed; };
    shell.OnRowAfter = [&](TBaseReport&, TReportShell&, bool& valid) { valid = printed < 4; };
    DumpReport([&](TBaseReport& r) { shell.Execute(r); });
    EXPECT_EQ(printed, 4);
}

TEST(ReportSections, NoRowsWithoutRowPrintAndTheSurfaceIsReleased)
{
    TReportShell empty;
    int after = 0, footers = 0;
    empty.OnRowAfter = [&](TBaseReport&, TReportShell&, bool&) { ++after; };
    empty.OnPageFooter = [&](TBaseReport&) { ++footers; };
    int pages = 0;
    DumpReport([&](TBaseReport& r) {
        empty.Execute(r);
        r.NewPage(); // outside the section: its footer no longer fires
        pages = r.PageNumber();
    });
    EXPECT_EQ(after, 0);
    EXPECT_EQ(footers, 1);
    EXPECT_EQ(pages, 2);
}

TEST(ReportSections, AnErrorOfAnEventPassesThroughAndReleasesTheSurface)
{
    TReportShell shell;
    int headers = 0;
    shell.OnPageHeader = [&](TBaseReport&) { ++headers; };
    shell.OnRowPrint = [](TBaseReport&, TReportShell&, bool&) { throw Exception(QStringLiteral("boom")); };
    TReportFileWriter writer;
    writer.OnPrint = [&](TBaseReport& r) {
        EXPECT_THROW(shell.Execute(r), Exception);
        r.NewPage();
    };
    writer.Record();
    EXPECT_EQ(headers, 1);
}
