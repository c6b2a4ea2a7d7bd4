#pragma once
// Prints a report through the file writer, reads the file back and gives
// its text dump: what a page holds, operation by operation, in inches.

#include "platform/graphics/Graphic.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TPageDrawable.h"
#include "platform/report/TReportDump.h"
#include "platform/report/TReportFileReader.h"
#include "platform/report/TReportFileWriter.h"
#include "tests/support/PrintQString.h"

#include <QStringList>
#include <functional>

inline QByteArray RecordReport(const std::function<void(TBaseReport&)>& print)
{
    TReportFileWriter writer;
    writer.Title = QStringLiteral("test");
    writer.OnPrint = print;
    return writer.Record();
}

// The dump's lines without the report's header line.
inline QStringList DumpReport(const std::function<void(TBaseReport&)>& print)
{
    TReportFileReader reader;
    reader.LoadFromBytes(RecordReport(print));
    QStringList lines = TReportDump::Text(reader).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeFirst();
    return lines;
}

// Only the lines starting with prefix ("text", "page", ...).
inline QStringList Only(const QStringList& lines, const QString& prefix)
{
    QStringList out;
    for (const QString& l : lines)
        if (l.startsWith(prefix + QLatin1Char(' ')) || l == prefix) out << l;
    return out;
}

struct DumpedText {
    double X = -1, Y = -1;
    bool Found = false;
};

// Where the dump's first text run with exactly this text starts.
inline DumpedText FindText(const QStringList& lines, const QString& text)
{
    const QString tail = QStringLiteral(" \"") + text + QLatin1Char('"');
    for (const QString& l : lines) {
        if (l.startsWith(QLatin1String("text ")) && l.endsWith(tail)) {
            const QStringList f = l.mid(5, l.size() - 5 - tail.size()).split(QLatin1Char(' '));
            return DumpedText{f.value(0).toDouble(), f.value(1).toDouble(), true};
        }
    }
    return {};
}

// The texts of the dump's text runs, in order.
inline QStringList Texts(const QStringList& lines)
{
    QStringList out;
    for (const QString& l : lines)
        if (l.startsWith(QLatin1String("text "))) out << l.mid(l.indexOf(QLatin1Char('"')) + 1).chopped(1);
    return out;
}

// A picture that draws itself as page operations, through a function.
class DrawnPicture : public TGraphic, public TPageDrawable {
public:
    explicit DrawnPicture(std::function<void(TPagePainter&, const QRectF&)> draw) : m_draw(std::move(draw)) { }
    void Draw(TCanvas&, const TRect&) const override { }
    bool Empty() const override { return false; }
    int Width() const override { return 100; }
    int Height() const override { return 100; }
    void SetWidth(int) override { }
    void SetHeight(int) override { }
    void LoadFromStream(QIODevice&) override { }
    void SaveToStream(QIODevice&) const override { }
    void DrawPage(TPagePainter& p, const QRectF& r) const override { m_draw(p, r); }

private:
    std::function<void(TPagePainter&, const QRectF&)> m_draw;
};
