#include "platform/report/TReportDump.h"

#include "platform/report/TReportFileReader.h"

namespace {

const char* const penStyles[] = {"solid", "dash", "dot", "dashdot", "dashdotdot", "clear", "insideframe"};
const char* const penModes[] = {"black",       "white",      "nop",         "not",        "copy",  "notcopy",
                                "mergepennot", "maskpennot", "mergenotpen", "masknotpen", "merge", "notmerge",
                                "mask",        "notmask",    "xor",         "notxor"};
const char* const brushStyles[] = {"solid",     "clear",     "horizontal", "vertical",
                                   "fdiagonal", "bdiagonal", "cross",      "diagcross"};

QString Colour(TColor c) { return QStringLiteral("$%1").arg(c & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper(); }

QString Quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\') + c;
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

QString Box(const QRectF& r)
{
    return TReportDump::Number(r.left()) + QLatin1Char(' ') + TReportDump::Number(r.top()) + QLatin1Char(' ') +
        TReportDump::Number(r.right()) + QLatin1Char(' ') + TReportDump::Number(r.bottom());
}

QString Points(const QPointF* points, int count)
{
    QString out;
    for (int i = 0; i < count; ++i)
        out += QLatin1Char(' ') + TReportDump::Number(points[i].x()) + QLatin1Char(',') +
            TReportDump::Number(points[i].y());
    return out;
}

} // namespace

QString TReportDump::Number(double inches)
{
    QString s = QString::number(inches, 'f', 4);
    while (s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    if (s == QLatin1String("-0")) s = QStringLiteral("0");
    return s;
}

QStringList TReportDump::PageLines(const TReportFileReader& reader, int page)
{
    TReportDump dump;
    reader.PlayPage(page, dump);
    return dump.m_lines;
}

QString TReportDump::Text(const TReportFileReader& reader)
{
    QString out = QStringLiteral("report %1 version %2, %3 pages, %4 pictures\n")
                      .arg(Quoted(reader.Title()))
                      .arg(reader.Version())
                      .arg(reader.PageCount())
                      .arg(reader.ImageCount());
    for (int i = 0; i < reader.PageCount(); ++i) {
        const QSizeF size = reader.PageSize(i);
        out += QStringLiteral("page %1 %2 x %3\n").arg(i + 1).arg(Number(size.width()), Number(size.height()));
        for (const QString& line : PageLines(reader, i)) out += line + QLatin1Char('\n');
    }
    return out;
}

void TReportDump::BeginPage(int, QSizeF) { }
void TReportDump::EndPage() { }

void TReportDump::SetFont(const TPageFont& font)
{
    QString line = QStringLiteral("font %1 %2").arg(Quoted(font.Family), Number(font.Size));
    if (font.Bold) line += QStringLiteral(" bold");
    if (font.Italic) line += QStringLiteral(" italic");
    if (font.Underline) line += QStringLiteral(" underline");
    if (font.StrikeOut) line += QStringLiteral(" strikeout");
    line += QLatin1Char(' ') + Colour(font.Color);
    if (font.Angle) line += QStringLiteral(" angle %1").arg(font.Angle);
    m_lines << line;
}

void TReportDump::SetPen(const TPagePen& pen)
{
    m_lines << QStringLiteral("pen %1 %2 %3 %4")
                   .arg(Colour(pen.Color), QLatin1String(penStyles[int(pen.Style) % 7]))
                   .arg(pen.Width)
                   .arg(QLatin1String(penModes[int(pen.Mode) % 16]));
}

void TReportDump::SetBrush(const TPageBrush& brush, const QImage*)
{
    QString line =
        QStringLiteral("brush %1 %2").arg(Colour(brush.Color), QLatin1String(brushStyles[int(brush.Style) % 8]));
    if (brush.Pattern >= 0) line += QStringLiteral(" pattern #%1").arg(brush.Pattern);
    m_lines << line;
}

void TReportDump::SetClip(const QRectF* r)
{
    m_lines << (r ? QStringLiteral("clip ") + Box(*r) : QStringLiteral("clip off"));
}

void TReportDump::DrawText(QPointF origin, const QString& text)
{
    m_lines << QStringLiteral("text %1 %2 %3").arg(Number(origin.x()), Number(origin.y()), Quoted(text));
}

void TReportDump::DrawLine(QPointF from, QPointF to)
{
    m_lines
        << QStringLiteral("line %1 %2 %3 %4").arg(Number(from.x()), Number(from.y()), Number(to.x()), Number(to.y()));
}

void TReportDump::DrawRectangle(const QRectF& r) { m_lines << QStringLiteral("rect ") + Box(r); }
void TReportDump::DrawEllipse(const QRectF& r) { m_lines << QStringLiteral("ellipse ") + Box(r); }

void TReportDump::DrawPolyline(const QPointF* points, int count)
{
    m_lines << QStringLiteral("polyline") + Points(points, count);
}

void TReportDump::DrawPolygon(const QPointF* points, int count, bool winding)
{
    m_lines << (winding ? QStringLiteral("polygon winding") : QStringLiteral("polygon")) + Points(points, count);
}

void TReportDump::FillRect(const QRectF& r, TColor color)
{
    m_lines << QStringLiteral("fill ") + Box(r) + QLatin1Char(' ') + Colour(color);
}

void TReportDump::DrawImage(const QRectF& r, const QImage& image, int imageIndex)
{
    QString line = QStringLiteral("image ") + Box(r) + QStringLiteral(" #%1").arg(imageIndex);
    line += image.isNull() ? QStringLiteral(" undecodable")
                           : QStringLiteral(" %1x%2").arg(image.width()).arg(image.height());
    m_lines << line;
}
