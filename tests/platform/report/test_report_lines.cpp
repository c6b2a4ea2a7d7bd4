// The line model of the page surface, checked through the text dump.

#include "tests/platform/report/ReportFixture.h"
#include "platform/report/ReportFonts.h"
#include "platform/report/TReportShell.h"

#include <QFontMetricsF>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

double DescentOf(const QString& name, double size)
{
    return QFontMetricsF(ReportFonts::QtFont(ReportFonts::Resolve(name, size))).descent() / ReportFonts::ReferenceDpi;
}

} // namespace

TEST(ReportLines, PositionsLineHeightAndTextOnTheDescentLine)
{
    double top = 0, lineHeight = 0, afterNewLine = 0, xAfter = 0, endOfText = 0;
    const QStringList lines = DumpReport([&](TBaseReport& r) {
        lineHeight = r.LineHeight();
        r.SetFont(QStringLiteral("Arial"), 10);
        r.GotoXY(1.0, 2.0);
        top = r.LineTop();
        r.PrintLeft(QStringLiteral("left"), 1.25);
        endOfText = r.XPos();
        r.NewLine();
        afterNewLine = r.YPos();
        xAfter = r.XPos();
        r.SetLineHeight(0.25);
        r.SetLineHeight(0); // ignored
        r.NewLine();
        r.PrintRight(QStringLiteral("right"), 7.8);
        r.PrintCenter(QStringLiteral("centre"), 4.0);
    });
    EXPECT_DOUBLE_EQ(lineHeight, 1.0 / 6.0);
    EXPECT_DOUBLE_EQ(top, 2.0 - 1.0 / 6.0);
    EXPECT_DOUBLE_EQ(afterNewLine, 2.0 + 1.0 / 6.0);
    EXPECT_DOUBLE_EQ(xAfter, 0.5);

    const double descent = DescentOf(QStringLiteral("Arial"), 10);
    const DumpedText left = FindText(lines, QStringLiteral("left"));
    ASSERT_TRUE(left.Found);
    EXPECT_DOUBLE_EQ(left.X, 1.25);
    EXPECT_NEAR(left.Y, 2.0 - descent, 1e-4);
    EXPECT_GT(endOfText, 1.25);

    const double y3 = 2.0 + 1.0 / 6.0 + 0.25;
    const DumpedText right = FindText(lines, QStringLiteral("right"));
    const DumpedText centre = FindText(lines, QStringLiteral("centre"));
    ASSERT_TRUE(right.Found && centre.Found);
    EXPECT_NEAR(right.Y, y3 - descent, 1e-4);
    EXPECT_LT(right.X, 7.8);
    EXPECT_GT(right.X, 7.3);
    EXPECT_LT(centre.X, 4.0);
    EXPECT_GT(centre.X, 3.6);
}

TEST(ReportLines, MeasurementIsTheReferenceMeasurement)
{
    QStringList lines;
    double width = 0, wide = 0, black = 0;
    lines = DumpReport([&](TBaseReport& r) {
        r.SetFont(QStringLiteral("Times New Roman"), 12);
        width = r.TextWidth(QStringLiteral("Comparable sales"));
        r.PrintRight(QStringLiteral("Comparable sales"), 5.0);
        r.SetFont(QStringLiteral("Arial"), 12);
        wide = r.TextWidth(QStringLiteral("Comparable sales"));
        r.SetFont(QStringLiteral("Arial Black"), 12);
        black = r.TextWidth(QStringLiteral("Comparable sales"));
        EXPECT_TRUE(r.Bold());
    });
    const QFont serif = ReportFonts::QtFont(ReportFonts::Resolve(QStringLiteral("Times New Roman"), 12));
    EXPECT_EQ(serif.family(), QStringLiteral("Liberation Serif"));
    EXPECT_NEAR(width, QFontMetricsF(serif).horizontalAdvance(QStringLiteral("Comparable sales")) / 1440.0, 1e-9);
    EXPECT_NEAR(FindText(lines, QStringLiteral("Comparable sales")).X, 5.0 - width, 1e-4);
    EXPECT_GT(wide, width); // the sans face runs wider than the serif
    EXPECT_GT(black, wide); // and its bold wider still
    EXPECT_TRUE(lines.contains(QStringLiteral("font \"Liberation Serif\" 12 $000000")));
}

TEST(ReportLines, WidthsKeptWhileMeasuringStayThoseOfEachFaceAndText)
{
    // The surface keeps what it measured: going back and forth between
    // faces and sizes, each text still measures as shaped in its own face.
    const QString text = QStringLiteral("Sold 1,250,000");
    const auto shaped = [&](const QString& name, double size, bool bold, const QString& t) {
        TPageFont f = ReportFonts::Resolve(name, size);
        f.Bold = f.Bold || bold;
        return QFontMetricsF(ReportFonts::QtFont(f)).horizontalAdvance(t) / ReportFonts::ReferenceDpi;
    };
    DumpReport([&](TBaseReport& r) {
        for (int round = 0; round < 3; ++round) {
            r.SetFont(QStringLiteral("Arial"), 8);
            EXPECT_NEAR(r.TextWidth(text), shaped(QStringLiteral("Arial"), 8, false, text), 1e-12);
            r.SetBold(true);
            EXPECT_NEAR(r.TextWidth(text), shaped(QStringLiteral("Arial"), 8, true, text), 1e-12);
            r.SetBold(false);
            r.SetFontSize(10);
            EXPECT_NEAR(r.TextWidth(text), shaped(QStringLiteral("Arial"), 10, false, text), 1e-12);
            r.SetFont(QStringLiteral("Times New Roman"), 8);
            EXPECT_NEAR(r.TextWidth(text), shaped(QStringLiteral("Times New Roman"), 8, false, text), 1e-12);
            // A text that differs only at its end is measured on its own.
            EXPECT_NEAR(r.TextWidth(text + QLatin1Char('W')),
                        shaped(QStringLiteral("Times New Roman"), 8, false, text + QLatin1Char('W')), 1e-12);
        }
        // More texts than are kept: still each its own width.
        r.SetFont(QStringLiteral("Arial"), 8);
        for (int i = 0; i < 20000; i += 997) {
            const QString t = QString::number(i) + QStringLiteral(" Main St");
            EXPECT_NEAR(r.TextWidth(t), shaped(QStringLiteral("Arial"), 8, false, t), 1e-12);
        }
        for (int i = 0; i < 20000; ++i) r.TextWidth(QString::number(i));
        EXPECT_NEAR(r.TextWidth(text), shaped(QStringLiteral("Arial"), 8, false, text), 1e-12);
    });
}

TEST(ReportLines, SetFontResetsColourAndStylesAndIgnoresSizesNotAboveZero)
{
    bool boldAfterReset = true;
    const QStringList lines = DumpReport([&](TBaseReport& r) {
        r.SetFont(QStringLiteral("Arial"), 14);
        r.SetBold(true);
        r.SetUnderline(true);
        r.SetFontColor(0x0000FF);
        r.PrintLeft(QStringLiteral("red"), 1);
        r.SetFont(QStringLiteral("Times New Roman"), 0);
        r.SetFont(QStringLiteral("Times New Roman"), -3);
        r.PrintLeft(QStringLiteral("still red"), 1);
        r.SetFont(QStringLiteral("Arial"), 9);
        boldAfterReset = r.Bold();
        r.PrintLeft(QStringLiteral("plain"), 1);
        r.SetFontSize(0);
        r.SetFontSize(11);
        r.PrintLeft(QStringLiteral("eleven"), 1);
    });
    EXPECT_FALSE(boldAfterReset);
    EXPECT_EQ(Only(lines, QStringLiteral("font")),
              QStringList({QStringLiteral("font \"Liberation Sans\" 14 bold underline $0000FF"),
                           QStringLiteral("font \"Liberation Sans\" 9 $000000"),
                           QStringLiteral("font \"Liberation Sans\" 11 $000000")}));
}

TEST(ReportLines, LinesLeftAndAutomaticPageBreaks)
{
    int leftAtTop = 0, leftNearBottom = 0, pages = 0;
    double yAfterBreak = 0;
    const QStringList lines = DumpReport([&](TBaseReport& r) {
        r.SetLineHeight(0.25);
        r.GotoXY(0, 0.5);
        leftAtTop = r.LinesLeft(); // (10.5 - 0.5) / 0.25
        r.GotoXY(0, 10.0);
        leftNearBottom = r.LinesLeft();
        r.NewLine(); // ends at 10.25
        r.NewLine(); // ends at 10.5: still fits
        r.PrintLeft(QStringLiteral("last"), 1);
        r.NewLine(); // would end at 10.75: a new page
        yAfterBreak = r.YPos();
        r.PrintLeft(QStringLiteral("first"), 1);
        pages = r.PageNumber();
    });
    EXPECT_EQ(leftAtTop, 40);
    EXPECT_EQ(leftNearBottom, 2);
    EXPECT_EQ(pages, 2);
    EXPECT_DOUBLE_EQ(yAfterBreak, 0.75);
    EXPECT_EQ(Only(lines, QStringLiteral("page")).size(), 2);
    EXPECT_LT(lines.indexOf(QRegularExpression(QStringLiteral("^text .* \"last\"$"))),
              lines.indexOf(QStringLiteral("page 2 8.5 x 11")));
    EXPECT_GT(lines.indexOf(QRegularExpression(QStringLiteral("^text .* \"first\"$"))),
              lines.indexOf(QStringLiteral("page 2 8.5 x 11")));
}

TEST(ReportLines, HeadersAndFootersFrameEveryPageAndNeverBreakThemselves)
{
    TReportShell shell;
    int row = 0;
    shell.OnPageHeader = [](TBaseReport& r) {
        r.GotoXY(0, 0.75);
        r.PrintLeft(QStringLiteral("header"), 1);
    };
    shell.OnPageFooter = [](TBaseReport& r) {
        // A footer below the bottom limit prints where it is told.
        r.GotoXY(0, 10.4);
        for (int i = 0; i < 4; ++i) {
            r.NewLine();
            r.PrintLeft(QStringLiteral("footer %1").arg(i), 1);
        }
    };
    shell.OnRowPrint = [&](TBaseReport& r, TReportShell&, bool& valid) {
        r.NewLine();
        r.PrintLeft(QStringLiteral("row %1").arg(++row), 1);
        valid = row < 120;
    };
    const QStringList lines = DumpReport([&](TBaseReport& r) { shell.Execute(r); });

    const QStringList texts = Texts(lines);
    const int pages = int(Only(lines, QStringLiteral("page")).size());
    EXPECT_EQ(pages, 3); // 58 rows a page from 0.92 to 10.42 in steps of 1/6
    EXPECT_EQ(texts.count(QStringLiteral("header")), pages);
    EXPECT_EQ(texts.count(QStringLiteral("footer 3")), pages);
    // Each page: header first, footer last, rows in between in order.
    int page = 0;
    QString previous;
    for (const QString& l : lines) {
        if (l.startsWith(QLatin1String("page "))) {
            if (page) { EXPECT_EQ(previous, QStringLiteral("footer 3")); }
            ++page;
            previous.clear();
            continue;
        }
        if (!l.startsWith(QLatin1String("text "))) continue;
        const QString t = Texts({l}).value(0);
        if (previous.isEmpty()) { EXPECT_EQ(t, QStringLiteral("header")) << "page " << page; }
        previous = t;
    }
    EXPECT_EQ(previous, QStringLiteral("footer 3"));
    const DumpedText first = FindText(lines, QStringLiteral("row 1"));
    const DumpedText afterBreak = FindText(lines, QStringLiteral("row 59"));
    EXPECT_NEAR(afterBreak.Y, first.Y, 1e-9); // the first line after the header
}

TEST(ReportLines, NewPageStartsAtTheTopMargin)
{
    double x = 0, y = 0;
    const QStringList lines = DumpReport([&](TBaseReport& r) {
        r.GotoXY(3, 7);
        r.NewPage();
        x = r.XPos();
        y = r.YPos();
        r.NewPage();
    });
    EXPECT_DOUBLE_EQ(x, 0.5);
    EXPECT_DOUBLE_EQ(y, 0.5);
    EXPECT_EQ(Only(lines, QStringLiteral("page")).size(), 3);
}

TEST(ReportLines, SymbolFontLegendCharactersBecomeUnicodeSymbols)
{
    double width = 0;
    const QStringList lines = DumpReport([&](TBaseReport& r) {
        r.SetFont(QStringLiteral("WingDings"), 12);
        width = r.TextWidth(QStringLiteral("n"));
        r.PrintCenter(QStringLiteral("nu\u00ABl"), 6.95);
        r.SetFont(QStringLiteral("Tahoma"), 8);
        r.PrintLeft(QStringLiteral("n"), 1);
    });
    EXPECT_TRUE(lines.contains(QStringLiteral("font \"DejaVu Sans\" 12 $000000")));
    EXPECT_TRUE(FindText(lines, QString::fromUtf8("\u25A0\u25C6\u2605\u25CF")).Found);
    EXPECT_TRUE(lines.contains(QStringLiteral("font \"Liberation Sans\" 8 $000000")));
    EXPECT_TRUE(FindText(lines, QStringLiteral("n")).Found); // other fonts keep their letters
    const QFont symbols = ReportFonts::QtFont(ReportFonts::Resolve(QStringLiteral("WingDings"), 12));
    EXPECT_NEAR(width, QFontMetricsF(symbols).horizontalAdvance(QChar(0x25A0)) / 1440.0, 1e-9);
}
