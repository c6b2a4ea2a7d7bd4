#pragma once
// Reports made in the output tests, and the poppler tools that read what
// the PDF writer and the printer wrote.

#include "platform/core/AtomicFile.h"
#include "platform/print/TRenderPDF.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TPageRenderer.h"
#include "platform/report/TReportFileReader.h"
#include "platform/report/TReportFileWriter.h"
#include "tests/platform/readers/WmfBuilder.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace outputtest {

inline QByteArray Record(const std::function<void(TBaseReport&)>& print, const QString& title = QStringLiteral("test"))
{
    TReportFileWriter writer;
    writer.Title = title;
    writer.OnPrint = print;
    return writer.Record();
}

// The report rendered to "report.pdf" in dir at the quality; its path.
// Every PDF made so must pass qpdf's check clean.
inline QString RenderToPdf(const QString& dir, const QByteArray& report, int quality = 90)
{
    QByteArray bytes = report;
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    TRenderPDF pdf;
    pdf.ImageQuality = quality;
    const QString name = dir + QStringLiteral("/report.pdf");
    pdf.Render(stream, name);
    EXPECT_EQ(testsupport::PdfCheckProblems(name), QString());
    return name;
}

inline QString Write(const QString& path, const std::function<void(TBaseReport&)>& print)
{
    AtomicFile::WriteAll(path, Record(print));
    return path;
}

struct ToolResult {
    int Exit = -1;
    QString Out, Err;
};

// Runs a poppler tool to its end.
inline ToolResult RunTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    ToolResult r;
    if (!p.waitForFinished(60000)) return r;
    r.Exit = p.exitCode();
    r.Out = QString::fromUtf8(p.readAllStandardOutput());
    r.Err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The first page as the preview draws it.
inline QImage PreviewPage(const QByteArray& report, int dpi)
{
    TReportFileReader reader;
    reader.LoadFromBytes(report);
    const QSizeF inches = reader.PageSize(0);
    QImage image(qRound(inches.width() * dpi), qRound(inches.height() * dpi), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TPageRenderer renderer(painter, dpi);
    reader.PlayPage(0, renderer);
    painter.end();
    return image;
}

// The first page of the PDF as a reader (pdftoppm) draws it.
inline QImage PdfPage(const QString& pdf, int dpi)
{
    QTemporaryDir dir;
    const ToolResult r = RunTool(QStringLiteral("pdftoppm"),
                                 {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-singlefile"), pdf,
                                  dir.filePath(QStringLiteral("page"))});
    if (r.Exit != 0) return {};
    return QImage(dir.filePath(QStringLiteral("page.ppm"))).convertToFormat(QImage::Format_RGB32);
}

// Cells of 4 x 4 pixels with ink in either page, and those whose ink
// differs (antialiasing may differ, glyphs and their places may not; with
// slack, b's ink may stand that many pixels off).
struct Comparison {
    int Inked = 0, Differing = 0;
};
inline Comparison Compare(const QImage& a, const QImage& b, int slack = 0)
{
    Comparison c;
    const int cell = 4;
    const auto ink = [&](const QImage& image, int x0, int y0) {
        double sum = 0;
        for (int y = y0; y < y0 + cell; ++y)
            for (int x = x0; x < x0 + cell; ++x) sum += 255 - qGray(image.pixel(x, y));
        return sum / (cell * cell);
    };
    const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
    for (int y = slack; y + cell + slack <= h; y += cell)
        for (int x = slack; x + cell + slack <= w; x += cell) {
            const double p = ink(a, x, y);
            if (p < 8 && ink(b, x, y) < 8) continue;
            ++c.Inked;
            double closest = 255;
            for (int dy = -slack; dy <= slack; ++dy)
                for (int dx = -slack; dx <= slack; ++dx)
                    closest = std::min(closest, std::fabs(ink(b, x + dx, y + dy) - p));
            c.Differing += closest > 48;
        }
    return c;
}

// A page a reader drew at dpi against the preview's first page: more than
// minInked cells with ink, under one in fifty of them differing.
inline void ExpectPageAsPreview(const QImage& ours, const QByteArray& report, int dpi, int minInked)
{
    const QImage preview = PreviewPage(report, dpi);
    ASSERT_FALSE(ours.isNull());
    ASSERT_EQ(ours.size(), preview.size());
    const Comparison c = Compare(ours, preview);
    EXPECT_GT(c.Inked, minInked);
    EXPECT_LT(c.Differing, c.Inked / 50) << c.Differing << " of " << c.Inked << " cells differ";
}

// The PDF's first page drawn (by pdftoppm) as the preview draws the report.
inline void ExpectDrawnAsPreview(const QByteArray& report, const QString& pdf, int minInked)
{
    const int dpi = 144;
    ExpectPageAsPreview(PdfPage(pdf, dpi), report, dpi, minInked);
}

// mupdf draws the PDF without a word of error (its fonts load).
inline void ExpectMupdfLoads(const QString& pdf)
{
    QTemporaryDir dir;
    const ToolResult mutool =
        RunTool(QStringLiteral("mutool"),
                {QStringLiteral("draw"), QStringLiteral("-o"), dir.filePath(QStringLiteral("mu.png")),
                 QStringLiteral("-r"), QStringLiteral("30"), pdf});
    EXPECT_EQ(mutool.Exit, 0);
    EXPECT_FALSE(mutool.Err.contains(QLatin1String("error"), Qt::CaseInsensitive)) << mutool.Err.toStdString();
}

// A 1-bit map sheet: white (index 0), with a black line every tenth row
// and column.
inline QImage Sheet(int w, int h)
{
    QImage image(w, h, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < h; ++y) {
        uchar* row = image.scanLine(y);
        for (int b = 0; b < image.bytesPerLine(); ++b) row[b] = y % 10 == 0 ? 0xFF : 0;
        if (y % 10)
            for (int x = 0; x < w; x += 10) row[x / 8] |= uchar(0x80 >> (x % 8));
    }
    return image;
}

inline QImage Photo(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb((x * 3 + y) & 255, (y * 2) & 255, (x ^ y) & 255));
    return image;
}

// A street map of 1000 x 500 units: a black road and its name in Arial.
inline QByteArray StreetMap(const QByteArray& name = "Elm Street")
{
    Wmf w;
    QByteArray face("Arial");
    face.append('\0');
    w.Rec(0x020C, {500, 1000})         // window extent
        .Rec(0x02FA, {0, 10, 0, 0, 0}) // solid black pen, 10 units
        .Rec(0x012D, {0})
        .Rec(0x0325, {3, 0, 250, 500, 250, 1000, 250}) // the road
        .Rec(0x02FB, {quint16(-60), 0, 0, 0, 400, 0, 0, 0, 0}, face)
        .Rec(0x012D, {1})
        .Rec(0x0102, {1})  // transparent text
        .Rec(0x012E, {24}) // on the base line
        .Rec(0x0521, {quint16(name.size())},
             name + (name.size() % 2 ? QByteArray(1, '\0') : QByteArray()) +
                 QByteArray("\xC8\x00\x64\x00", 4)); // y 200, x 100
    return w.Bytes();
}

} // namespace outputtest
