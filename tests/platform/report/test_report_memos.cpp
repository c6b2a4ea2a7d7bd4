// Memo buffers: word wrap between two x positions, hard breaks, words
// longer than the line, MemoLines.

#include "tests/platform/report/ReportFixture.h"
#include "platform/report/ReportFonts.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

namespace {

struct MemoRun {
    QStringList Lines; // the printed texts
    QStringList Dump;  // the whole page
    int Counted = -1;  // MemoLines before printing
    int Left = -1;     // characters left after printing
    double YAfter = 0;
};

MemoRun PrintMemo(const QString& text, double start, double end, int lines = 0)
{
    MemoRun run;
    run.Dump = DumpReport([&](TBaseReport& r) {
        r.SetFont(QStringLiteral("Arial"), 10);
        r.GotoXY(0, 1);
        TMemoBuf memo(text);
        memo.SetPrintStart(start);
        memo.SetPrintEnd(end);
        run.Counted = r.MemoLines(memo);
        r.PrintMemo(memo, lines, false);
        run.Left = memo.Size() - memo.Pos();
        run.YAfter = r.YPos();
    });
    run.Lines = Texts(run.Dump);
    return run;
}

double Width(const QString& text)
{
    return QFontMetricsF(ReportFonts::QtFont(ReportFonts::Resolve(QStringLiteral("Arial"), 10)))
               .horizontalAdvance(text) /
        ReportFonts::ReferenceDpi;
}

} // namespace

TEST(ReportMemos, WrapsWordsBetweenItsPositions)
{
    const QString text = QStringLiteral("The quick brown fox jumps over the lazy dog and keeps running far away");
    const MemoRun run = PrintMemo(text, 1.0, 2.5);
    ASSERT_GT(run.Lines.size(), 2);
    EXPECT_EQ(run.Counted, run.Lines.size());
    EXPECT_EQ(run.Left, 0);
    EXPECT_EQ(run.Lines.join(QLatin1Char(' ')), text); // no word lost or split
    for (qsizetype i = 0; i < run.Lines.size(); ++i) {
        EXPECT_LE(Width(run.Lines[i]), 1.5 + 1e-9) << qPrintable(run.Lines[i]);
        // The next word would not have fitted.
        if (i + 1 < run.Lines.size()) {
            EXPECT_GT(Width(run.Lines[i] + QLatin1Char(' ') + run.Lines[i + 1].section(QLatin1Char(' '), 0, 0)), 1.5);
        }
        EXPECT_NEAR(FindText(run.Dump, run.Lines[i]).X, 1.0, 1e-9);
    }
    // Each line is followed by NewLine: one line below the last.
    EXPECT_NEAR(run.YAfter, 1 + run.Lines.size() / 6.0, 1e-9);
}

TEST(ReportMemos, HardBreaksStartNewLines)
{
    const MemoRun run = PrintMemo(QStringLiteral("one\r\ntwo\nthree\r\rfive\n"), 1, 7);
    EXPECT_EQ(run.Lines, QStringList({"one", "two", "three", "five"}));
    EXPECT_EQ(run.Counted, 5); // the empty fourth line counts
    EXPECT_NEAR(run.YAfter, 1 + 5 / 6.0, 1e-9);
}

TEST(ReportMemos, AWordLongerThanTheLineIsBroken)
{
    const QString word(300, QLatin1Char('W'));
    const MemoRun run = PrintMemo(QStringLiteral("short ") + word + QStringLiteral(" end"), 1, 2);
    EXPECT_EQ(run.Left, 0);
    ASSERT_GE(run.Lines.size(), 3);
    EXPECT_EQ(run.Lines.first(), QStringLiteral("short"));
    EXPECT_EQ(run.Lines.last(), QStringLiteral("end"));
    EXPECT_EQ(run.Lines.mid(1, run.Lines.size() - 2).join(QString()), word);
    for (const QString& l : run.Lines) EXPECT_LE(Width(l), 1.0 + 1e-9);
    EXPECT_EQ(run.Counted, run.Lines.size());

    // No room at all: one character a line, still ending.
    const MemoRun narrow = PrintMemo(QStringLiteral("abc de"), 3, 3);
    EXPECT_EQ(narrow.Lines, QStringList({"a", "b", "c", "d", "e"}));
    EXPECT_EQ(narrow.Counted, 5);
    const MemoRun backwards = PrintMemo(QStringLiteral("xy"), 3, 1);
    EXPECT_EQ(backwards.Lines, QStringList({"x", "y"}));
}

TEST(ReportMemos, PrintsAGivenNumberOfLinesAndKeepsTheRest)
{
    const QString text = QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu");
    int first = 0, rest = 0, before = 0, after = 0;
    QStringList lines = Texts(DumpReport([&](TBaseReport& r) {
        r.SetFont(QStringLiteral("Arial"), 10);
        r.GotoXY(0, 1);
        TMemoBuf memo(text);
        memo.SetPrintStart(1);
        memo.SetPrintEnd(2);
        before = r.MemoLines(memo);
        r.PrintMemo(memo, 1, false);
        first = memo.Pos();
        after = r.MemoLines(memo);
        memo.SetPrintStart(0.5);
        r.PrintMemo(memo, 0, false);
        rest = memo.Pos();
    }));
    EXPECT_GT(first, 0);
    EXPECT_LT(first, text.size());
    EXPECT_EQ(after, before - 1);
    EXPECT_EQ(rest, text.size());
    EXPECT_EQ(lines.join(QLatin1Char(' ')), text);
}

TEST(ReportMemos, TabsPrintAsBlanksUnlessExpanded)
{
    const QStringList plain = Texts(DumpReport([&](TBaseReport& r) {
        TMemoBuf memo(QStringLiteral("a\tb"));
        memo.SetPrintStart(1);
        memo.SetPrintEnd(7);
        r.PrintMemo(memo, 0, false);
    }));
    EXPECT_EQ(plain, QStringList({"a b"}));
    const QStringList dump = DumpReport([&](TBaseReport& r) {
        r.SetTab(5, TTabJustify::tjLeft, 1, 0, {}, 0);
        TMemoBuf memo(QStringLiteral("a\tb"));
        memo.SetPrintStart(1);
        memo.SetPrintEnd(7);
        r.PrintMemo(memo, 0, true);
    });
    EXPECT_NEAR(FindText(dump, QStringLiteral("b")).X, 5, 1e-9);
}

TEST(ReportMemos, EmptyMemoPrintsNothing)
{
    const MemoRun run = PrintMemo(QString(), 1, 2);
    EXPECT_TRUE(run.Lines.isEmpty());
    EXPECT_EQ(run.Counted, 0);
    EXPECT_DOUBLE_EQ(run.YAfter, 1);
}
