#pragma once
// The words of a report's PDF as pdftotext -bbox reads them, in inches from
// each page's top-left corner, and the lines they stand on.

#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

// A word of the PDF in inches from the page's top-left corner.
struct Word {
    double X1, Y1, X2, Y2;
    QString Text;
};
using PdfPage = std::vector<Word>;

// The words of each page. pdftotext drops a word drawn again over itself
// (as for fake bold); asked for every run, it keeps each word as often as
// it was drawn, in drawing order.
inline std::vector<PdfPage> PdfWords(const QString& pdf, bool everyRun = false)
{
    EXPECT_EQ(testsupport::PdfCheckProblems(pdf), QString());
    QStringList args{QStringLiteral("-bbox"), pdf, QStringLiteral("-")};
    if (everyRun) args.prepend(QStringLiteral("-raw"));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<PdfPage> pages;
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    for (const QString& chunk : out.split(QStringLiteral("<page ")).mid(1)) {
        PdfPage page;
        for (auto m = word.globalMatch(chunk); m.hasNext();) {
            const auto w = m.next();
            QString text = w.captured(5);
            text.replace(QLatin1String("&amp;"), QLatin1String("&"))
                .replace(QLatin1String("&lt;"), QLatin1String("<"))
                .replace(QLatin1String("&gt;"), QLatin1String(">"))
                .replace(QLatin1String("&quot;"), QLatin1String("\""));
            page.push_back(Word{w.captured(1).toDouble() / 72, w.captured(2).toDouble() / 72,
                                w.captured(3).toDouble() / 72, w.captured(4).toDouble() / 72, text});
        }
        pages.push_back(page);
    }
    return pages;
}

// The header bar spells the title down the right edge, one letter a line.
inline bool InTitleBar(const Word& w) { return w.X1 >= 7.84; }

// The same text in the same box: a word printed twice over itself.
inline bool SameWord(const Word& a, const Word& b)
{
    return a.Text == b.Text && a.X1 == b.X1 && a.Y1 == b.Y1 && a.X2 == b.X2 && a.Y2 == b.Y2;
}

// Two words that cover each other: across, and down by more than the room
// lines of a small line height leave between their boxes.
inline bool Overlap(const Word& a, const Word& b)
{
    const double across = std::min(a.X2, b.X2) - std::max(a.X1, b.X1);
    const double down = std::min(a.Y2, b.Y2) - std::max(a.Y1, b.Y1);
    const double lower = std::min(a.Y2 - a.Y1, b.Y2 - b.Y1);
    return across > 0.5 / 72 && down > 0.4 * lower;
}

// The line a word stands on: words of one line share their bottom. Lines
// from the top, words from the left: the page in reading order.
inline std::vector<std::vector<Word>> Lines(const PdfPage& page)
{
    std::map<long, std::vector<Word>> byBottom;
    for (const Word& w : page)
        if (!InTitleBar(w)) byBottom[std::lround(w.Y2 * 144)].push_back(w);
    std::vector<std::vector<Word>> out;
    for (auto& [bottom, words] : byBottom) {
        std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) { return a.X1 < b.X1; });
        out.push_back(words);
    }
    return out;
}

inline QString LineText(const std::vector<Word>& line)
{
    QStringList parts;
    for (const Word& w : line) parts << w.Text;
    return parts.join(QLatin1Char(' '));
}
